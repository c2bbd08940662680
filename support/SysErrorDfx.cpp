#include "SysErrorDfx.h"

#include "FormatDfx.h"

std::string DfxSysErrorMessage(DWORD code) {
    DWORD saved = GetLastError();
    char buf[1024];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof buf, nullptr);
    SetLastError(saved);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? DfxFormat("System error %u", code) : text;
}
