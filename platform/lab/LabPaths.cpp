#include "LabPaths.h"

#include "LabError.h"
#include "LabMemo.h"
#include "LabModel.h"
#include "LabState.h"
#include "LabText.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace lab {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i])) {
            ++i;
        }
        std::size_t start = i;
        while (i < path.size() && !IsSeparator(path[i])) {
            ++i;
        }
        if (i > start) {
            parts.emplace_back(path.substr(start, i - start));
        }
    }
    return parts;
}

// "." goes, ".." steps back but never above the drive root: a path on a lab
// drive can reach nothing outside that drive's folder.
std::vector<std::string> Normalised(std::vector<std::string> parts) {
    std::vector<std::string> out;
    for (std::string& p : parts) {
        if (p == ".") {
            continue;
        }
        if (p == "..") {
            if (!out.empty()) {
                out.pop_back();
            }
            continue;
        }
        out.push_back(std::move(p));
    }
    return out;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// lstat(), or what this thread saw of the path a moment ago.
bool StatPath(const std::string& path, struct stat& st) {
    if (RecallStat(path, st)) {
        return true;
    }
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    RememberStat(path, st);
    return true;
}

// Finds each part on disk without regard to case; parts not found stay as written.
std::string ResolveInLab(const std::string& base, const std::vector<std::string>& parts,
                         HostPath& out) {
    std::string path = base;
    for (const std::string& p : parts) {
        path += '/';
        path += p;
    }
    out.exists = StatPath(path, out.st);
    if (out.exists) {
        return path;
    }
    path = base;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string exact = path + "/" + parts[i];
        if (!Exists(exact)) {
            std::string match;
            if (DIR* dir = opendir(path.c_str())) {
                while (dirent* e = readdir(dir)) {
                    if (EqualsNoCase(e->d_name, parts[i])) {
                        match = e->d_name;
                        break;
                    }
                }
                closedir(dir);
            }
            if (match.empty()) { // the rest does not exist: keep it as written
                for (std::size_t k = i; k < parts.size(); ++k) {
                    path += "/" + parts[k];
                }
                return path;
            }
            exact = path + "/" + match;
        }
        path = std::move(exact);
    }
    out.exists = StatPath(path, out.st);
    return path;
}

DWORD DrivePath(const MachineConfig& machine, char letter, std::vector<std::string> rest,
                HostPath& out, DWORD missingDrive) {
    std::string drive = machine.folder + "/" + static_cast<char>(letter & ~0x20);
    std::vector<std::string> parts = Normalised(std::move(rest));
    out.isRoot = parts.empty();
    out.path = ResolveInLab(drive, parts, out);
    out.inLab = true;
    if (!out.exists) { // is there such a drive at all?
        struct stat st {};
        if (stat(drive.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return missingDrive;
        }
    }
    return 0;
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

DWORD Translate(std::string_view path, Access access, HostPath& out) {
    out = HostPath{};
    if (path.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::vector<std::string> parts = SplitComponents(path);
        if (parts.size() < 2) {
            return ERROR_BAD_NETPATH;
        }
        auto machine = parts[0].find_first_of(":*?\"<>|") == std::string::npos
                           ? LoadMachine(parts[0])
                           : nullptr;
        if (!machine || !machine->reachable) {
            return ERROR_BAD_NETPATH;
        }
        if (machine->needsCredentials && !HasConnection(machine->name)) {
            return ERROR_ACCESS_DENIED;
        }
        const std::string& share = parts[1];
        if (share.size() != 2 || !IsDriveLetter(share[0]) || share[1] != '$') {
            return ERROR_BAD_NET_NAME;
        }
        if (machine->adminShare == ShareAccess::None ||
            (machine->adminShare == ShareAccess::Read && access == Access::Write)) {
            return ERROR_ACCESS_DENIED;
        }
        out.delayMs = machine->fileDelayMs;
        return DrivePath(*machine, share[0], {parts.begin() + 2, parts.end()}, out,
                         ERROR_BAD_NET_NAME);
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        auto machine = LoadMachine(LocalComputerName());
        if (!machine) {
            return ERROR_PATH_NOT_FOUND;
        }
        return DrivePath(*machine, path[0], SplitComponents(path.substr(2)), out,
                         ERROR_PATH_NOT_FOUND);
    }
    out.path.assign(path);
    for (char& c : out.path) {
        if (c == '\\') {
            c = '/';
        }
    }
    out.isRoot = out.path == "/";
    out.exists = StatPath(out.path, out.st);
    return 0;
}

} // namespace

DWORD TranslatePath(const char* windowsPath, Access access, HostPath& out) {
    if (windowsPath == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        return Translate(windowsPath, access, out);
    } catch (const LabError& e) {
        return Complain(e.what(), ERROR_INVALID_DATA);
    }
}

DWORD ErrorFromErrno(int error, const std::string& hostPath) {
    switch (error) {
    case ENOENT: {
        std::string parent = hostPath.substr(0, hostPath.find_last_of('/'));
        struct stat st {};
        bool parentThere = parent.empty() || hostPath.find('/') == std::string::npos ||
                           (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
        return parentThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_NAME;
    case EMFILE:
    case ENFILE:
        return 4; // ERROR_TOO_MANY_OPEN_FILES
    default:
        return ERROR_WRITE_FAULT;
    }
}

} // namespace lab
