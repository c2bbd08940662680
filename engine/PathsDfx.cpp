#include "PathsDfx.h"

namespace {
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
} // namespace

std::string IncludeTrailingBackslash(const std::string& path) {
    return !path.empty() && IsSeparator(path.back()) ? path : path + "\\";
}

std::string ExcludeTrailingBackslash(const std::string& path) {
    return !path.empty() && IsSeparator(path.back()) ? path.substr(0, path.size() - 1) : path;
}

std::string ExtractFileName(const std::string& path) {
    std::size_t sep = path.find_last_of("\\/:");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ExtractFileDrive(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2);
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos) {
            return path;
        }
        std::size_t share = path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
}

bool HasDriveLetter(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}
