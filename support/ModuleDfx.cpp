#include "ModuleDfx.h"

#include "platform/WinApi.h"

std::string DfxExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2); // cut short: ask again with more room
    }
}
