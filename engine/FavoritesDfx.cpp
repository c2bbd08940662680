#include "FavoritesDfx.h"

#include "FolderTreeDfx.h"
#include "PathsDfx.h"
#include "RegistryDfx.h"
#include "ShellFolderDfx.h"

#include "platform/WinApi.h"

namespace {

bool Fail(DWORD code) {
    SetLastError(code);
    return false;
}

// A folder name below the shell folder: one or more plain parts, never "..".
bool IsPlainSubFolder(const std::string& sub) {
    if (sub.find(':') != std::string::npos || (!sub.empty() && (sub[0] == '\\' || sub[0] == '/'))) {
        return false;
    }
    std::size_t start = 0;
    while (start <= sub.size()) {
        std::size_t end = sub.find_first_of("\\/", start);
        std::string part =
            sub.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "." || part == "..") {
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return true;
}

// The folder on the machine as this computer reaches it: its administrative-share
// path, or its own path for this computer.
bool ResolveFolder(const std::string& machineName, int folderIndex, std::string& path) {
    if (!DfxIsValidMachineName(machineName)) {
        return Fail(ERROR_INVALID_NAME);
    }
    if (!DfxGetShellFolderPath(machineName, folderIndex, path)) {
        return false;
    }
    // A folder redirected to a network share has no administrative-share form,
    // and must never fall back to a folder of this computer.
    if (!HasDriveLetter(path)) {
        return Fail(ERROR_BAD_PATHNAME);
    }
    if (!ExcludeLeadingBackslashes(machineName).empty()) {
        path = DfxLocalPathToAdminShare(machineName, path);
    }
    return true;
}

} // namespace

bool DfxIsValidMachineName(const std::string& machineName) {
    std::size_t start = machineName.find_first_not_of('\\');
    std::string name = start == std::string::npos ? std::string() : machineName.substr(start);
    if (name == "." || name == "..") {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 32 || c == 127 ||
            std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

bool DfxBackupUserShellFolder(const std::string& machineName, const std::string& localPath,
                              int folderIndex, bool abortOnFailure, bool replaceExisting,
                              const TDfxStopRequest* stop) {
    std::string path;
    if (!ResolveFolder(machineName, folderIndex, path)) {
        return false;
    }
    return DfxCopyFolderTree(IncludeTrailingBackslash(path), "*.*", localPath, abortOnFailure,
                             replaceExisting, stop);
}

bool DfxRestoreUserShellFolder(const std::string& machineName, const std::string& localPath,
                               int folderIndex, const std::string& subFolder, bool abortOnFailure,
                               bool replaceExisting, const TDfxStopRequest* stop) {
    if (!IsPlainSubFolder(subFolder)) {
        return Fail(ERROR_INVALID_NAME);
    }
    std::string path;
    if (!ResolveFolder(machineName, folderIndex, path)) {
        return false;
    }
    // Nothing is made on the machine for a source that is not there.
    DWORD source = GetFileAttributesA(localPath.c_str());
    if (source == INVALID_FILE_ATTRIBUTES || (source & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    if (!subFolder.empty()) {
        path = IncludeTrailingBackslash(path) + subFolder;
    }
    return DfxCopyFolderTree(localPath, "*.*", path, abortOnFailure, replaceExisting, stop);
}

bool DfxClearUserShellFolder(const std::string& machineName, const std::string& subPath,
                             int folderIndex, const TDfxStopRequest* stop) {
    std::string last = ExtractFileName(ExcludeTrailingBackslash(subPath));
    if (last == "." || last == "..") {
        return Fail(ERROR_INVALID_NAME);
    }
    std::string path;
    if (!ResolveFolder(machineName, folderIndex, path)) {
        return false;
    }
    return DfxDeleteFolderTree(IncludeTrailingBackslash(path) + last, "*.*", true, stop);
}
