// Files and folders of the lab: machine drives and this computer's own files,
// with Windows attributes, error codes and the read-only rules Windows keeps.
#include "../WinApi.h"
#include "LabHandles.h"
#include "LabMemo.h"
#include "LabPaths.h"
#include "LabText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

using namespace lab;

namespace {

// Hidden, system and archive (and a folder's read-only) live in this attribute.
constexpr const char* kAttributeName = "user.quillmark.attributes";
constexpr DWORD kStoredBits =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

BOOL Fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

void Delay(const HostPath& p) {
    if (p.delayMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(p.delayMs));
    }
}

// The stored bits of files recently read, by inode. Every change of an extended
// attribute changes the inode's ctime, so an entry with the same ctime is current;
// a walk reads each file's attributes several times, and this saves a system call
// for each but the first.
struct InodeKey {
    dev_t dev;
    ino_t ino;
    bool operator==(const InodeKey& o) const { return dev == o.dev && ino == o.ino; }
};
struct InodeHash {
    std::size_t operator()(const InodeKey& k) const {
        return std::hash<uint64_t>()(static_cast<uint64_t>(k.ino) * 31 +
                                     static_cast<uint64_t>(k.dev));
    }
};
struct KnownBits {
    timespec ctime;
    DWORD bits;
};
std::mutex gBitsMutex;
std::unordered_map<InodeKey, KnownBits, InodeHash> gKnownBits;
constexpr std::size_t kMaxKnownBits = 100000;

DWORD StoredBits(const std::string& path, const struct stat& st) {
    InodeKey key{st.st_dev, st.st_ino};
    {
        std::lock_guard lock(gBitsMutex);
        auto it = gKnownBits.find(key);
        if (it != gKnownBits.end() && it->second.ctime.tv_sec == st.st_ctim.tv_sec &&
            it->second.ctime.tv_nsec == st.st_ctim.tv_nsec) {
            return it->second.bits;
        }
    }
    char buf[16] = {};
    ssize_t n = lgetxattr(path.c_str(), kAttributeName, buf, sizeof buf - 1);
    DWORD bits = n > 0 ? static_cast<DWORD>(std::strtoul(buf, nullptr, 10)) : 0;
    std::lock_guard lock(gBitsMutex);
    if (gKnownBits.size() >= kMaxKnownBits) {
        gKnownBits.clear();
    }
    gKnownBits[key] = KnownBits{st.st_ctim, bits};
    return bits;
}

// Stores `bits` (hidden, system, archive, folder read-only); a file system
// without user attributes keeps none of them.
void StoreBits(const std::string& path, const struct stat& st, DWORD bits) {
    {
        std::lock_guard lock(gBitsMutex);
        gKnownBits.erase(InodeKey{st.st_dev, st.st_ino});
    }
    if (bits == 0) {
        lremovexattr(path.c_str(), kAttributeName);
        return;
    }
    std::string text = std::to_string(bits);
    lsetxattr(path.c_str(), kAttributeName, text.data(), text.size(), 0);
}

bool IsDirectoryTarget(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD Attributes(const std::string& path, const struct stat& st) {
    DWORD a = 0;
    if (S_ISLNK(st.st_mode)) {
        // A junction or symbolic link: a reparse point, a folder when its target is one.
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
        if (IsDirectoryTarget(path)) {
            a |= FILE_ATTRIBUTE_DIRECTORY;
        }
        return a;
    }
    DWORD stored = StoredBits(path, st);
    if (S_ISDIR(st.st_mode)) {
        a |= FILE_ATTRIBUTE_DIRECTORY;
        a |= stored & FILE_ATTRIBUTE_READONLY;
    }
    if ((st.st_mode & S_IWUSR) == 0) {
        a |= FILE_ATTRIBUTE_READONLY;
    }
    a |= stored & kStoredBits;
    return a == 0 ? FILE_ATTRIBUTE_NORMAL : a;
}

FILETIME ToFileTime(const timespec& t) {
    // 100-nanosecond intervals since 1601-01-01.
    uint64_t v = (static_cast<uint64_t>(t.tv_sec) + 11644473600ULL) * 10000000ULL +
                 static_cast<uint64_t>(t.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(v & 0xFFFFFFFF), static_cast<DWORD>(v >> 32)};
}

void Fill(WIN32_FIND_DATAA& fd, const std::string& name, const std::string& path,
          const struct stat& st) {
    std::memset(&fd, 0, sizeof fd);
    fd.dwFileAttributes = Attributes(path, st);
    fd.ftCreationTime = ToFileTime(st.st_ctim);
    fd.ftLastAccessTime = ToFileTime(st.st_atim);
    fd.ftLastWriteTime = ToFileTime(st.st_mtim);
    if (S_ISREG(st.st_mode)) {
        auto size = static_cast<uint64_t>(st.st_size);
        fd.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
        fd.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    std::memcpy(fd.cFileName, name.c_str(), std::min<std::size_t>(name.size(), MAX_PATH - 1));
}

// Windows wildcards: * any run, ? one character, letters without regard to case;
// "*.*" matches every name, and a final ".*" also matches a name without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") {
        return true;
    }
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos &&
        WildcardMatch(pattern.substr(0, pattern.size() - 2), name)) {
        return true;
    }
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || FoldChar(static_cast<unsigned char>(pattern[p])) ==
                                      FoldChar(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

struct FindSearch final : LabObject {
    FindSearch() : LabObject(Kind::Find) {}
    std::vector<WIN32_FIND_DATAA> entries;
    std::size_t next = 0;
};

struct OpenFile final : LabObject {
    explicit OpenFile(int descriptor) : LabObject(Kind::File), fd(descriptor) {}
    ~OpenFile() override { close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd;
};

// Translates a path that must name something that exists, after the machine's delay.
DWORD Existing(LPCSTR path, Access access, HostPath& p) {
    if (DWORD rc = TranslatePath(path, access, p)) {
        return rc;
    }
    Delay(p);
    return p.exists ? 0 : ErrorFromErrno(ENOENT, p.path);
}

bool CopyContent(int from, int to) {
    for (;;) {
        ssize_t n = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n == 0) {
            return true;
        }
        if (n > 0) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return false;
        }
        break; // no in-kernel copy between these files: copy through a buffer
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t n = read(from, buf, sizeof buf);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(to, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0) {
                return false;
            }
            done += w;
        }
    }
}

} // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (lpFileName == nullptr || lpFindFileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string text = lpFileName;
    std::size_t sep = text.find_last_of("\\/");
    std::string pattern = sep == std::string::npos ? text : text.substr(sep + 1);
    std::string folder = sep == std::string::npos ? "." : text.substr(0, sep + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HostPath dir;
    if (DWORD rc = TranslatePath(folder.c_str(), Access::Read, dir)) {
        SetLastError(rc);
        return INVALID_HANDLE_VALUE;
    }
    Delay(dir);
    auto search = std::make_unique<FindSearch>();
    bool wildcard = pattern.find_first_of("*?") != std::string::npos;
    if (!wildcard) {
        // One name: the entry itself, found without regard to case on a lab drive.
        HostPath one;
        if (DWORD rc = TranslatePath(text.c_str(), Access::Read, one)) {
            SetLastError(rc);
            return INVALID_HANDLE_VALUE;
        }
        if (!one.exists) {
            SetLastError(ErrorFromErrno(ENOENT, one.path));
            return INVALID_HANDLE_VALUE;
        }
        WIN32_FIND_DATAA fd;
        Fill(fd, one.path.substr(one.path.rfind('/') + 1), one.path, one.st);
        search->entries.push_back(fd);
    } else if (!RecallListing(dir.path + "\n" + pattern, search->entries)) {
        DIR* d = opendir(dir.path.c_str());
        if (d == nullptr) {
            SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                             : ErrorFromErrno(errno, dir.path));
            return INVALID_HANDLE_VALUE;
        }
        int dfd = dirfd(d);
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            bool dots = name == "." || name == "..";
            if ((dots && dir.isRoot) || name.size() >= MAX_PATH || !WildcardMatch(pattern, name)) {
                continue;
            }
            struct stat st {};
            if (fstatat(dfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            WIN32_FIND_DATAA fd;
            Fill(fd, name, dir.path + "/" + name, st);
            search->entries.push_back(fd);
        }
        closedir(d);
        // NTFS lists a folder in the order of its names compared without regard to case.
        std::sort(search->entries.begin(), search->entries.end(),
                  [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
                      return CompareNoCase(a.cFileName, b.cFileName) < 0;
                  });
        RememberListing(dir.path + "\n" + pattern, search->entries);
    }
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = search->entries[0];
    search->next = 1;
    SetLastError(0);
    return AddHandle(std::move(search));
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto* search = Find<FindSearch>(hFindFile, LabObject::Kind::Find);
    if (search == nullptr || lpFindFileData == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (search->next >= search->entries.size()) {
        return Fail(ERROR_NO_MORE_FILES);
    }
    *lpFindFileData = search->entries[search->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    return RemoveHandle(hFindFile, LabObject::Kind::Find) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    HostPath p;
    if (DWORD rc = Existing(lpFileName, Access::Read, p)) {
        SetLastError(rc);
        return INVALID_FILE_ATTRIBUTES;
    }
    return Attributes(p.path, p.st);
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
    HostPath p;
    if (DWORD rc = Existing(lpFileName, Access::Write, p)) {
        return Fail(rc);
    }
    const struct stat& st = p.st;
    if (S_ISLNK(st.st_mode)) {
        return TRUE; // a link keeps no attributes of its own here
    }
    bool readOnly = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    DWORD bits = dwFileAttributes & kStoredBits;
    mode_t mode = st.st_mode;
    if (S_ISDIR(st.st_mode)) {
        // A folder's read-only mark is only a mark on Windows: it never stops
        // files being made inside, so it is not the write bit here.
        bits |= readOnly ? FILE_ATTRIBUTE_READONLY : 0;
        mode |= S_IWUSR;
    } else {
        mode = readOnly ? (st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH))
                        : (st.st_mode | S_IWUSR);
    }
    if ((mode & 07777) != (st.st_mode & 07777)) {
        int rc = chmod(p.path.c_str(), mode & 07777);
        NoteChange();
        if (rc != 0) {
            return Fail(ErrorFromErrno(errno, p.path));
        }
    }
    if (bits != StoredBits(p.path, st)) {
        StoreBits(p.path, st, bits);
        NoteChange();
    }
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
    HostPath src;
    HostPath dst;
    if (DWORD rc = TranslatePath(lpExistingFileName, Access::Read, src)) {
        return Fail(rc);
    }
    if (DWORD rc = TranslatePath(lpNewFileName, Access::Write, dst)) {
        return Fail(rc);
    }
    Delay(src);
    Delay(dst);
    int from = open(src.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return Fail(ErrorFromErrno(errno, src.path));
    }
    struct stat sst {};
    if (fstat(from, &sst) != 0 || S_ISDIR(sst.st_mode)) {
        close(from);
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (dst.exists) {
        const struct stat& dstat = dst.st;
        if (dstat.st_dev == sst.st_dev && dstat.st_ino == sst.st_ino) {
            close(from); // a file copied onto itself would be emptied
            return Fail(ERROR_SHARING_VIOLATION);
        }
        DWORD existing = Attributes(dst.path, dstat);
        if (bFailIfExists) {
            close(from);
            return Fail(ERROR_FILE_EXISTS);
        }
        // Windows will not replace a read-only, hidden or system file, nor a folder.
        if ((existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                         FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            close(from);
            return Fail(ERROR_ACCESS_DENIED);
        }
    }
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (bFailIfExists ? O_EXCL : O_TRUNC);
    int to = open(dst.path.c_str(), flags, 0666);
    NoteChange();
    if (to < 0) {
        DWORD rc = ErrorFromErrno(errno, dst.path);
        close(from);
        return Fail(rc);
    }
    bool ok = CopyContent(from, to);
    DWORD rc = ok ? 0 : ErrorFromErrno(errno, dst.path);
    if (ok) {
        // CopyFile keeps the last-write time and the attributes of the source.
        timespec times[2] = {sst.st_atim, sst.st_mtim};
        futimens(to, times);
        if ((sst.st_mode & S_IWUSR) == 0) {
            fchmod(to, sst.st_mode & 07555);
        }
        DWORD bits = StoredBits(src.path, sst) & kStoredBits;
        struct stat written {};
        if (bits != 0 && fstat(to, &written) == 0) {
            StoreBits(dst.path, written, bits);
        }
    }
    close(to);
    close(from);
    return ok ? TRUE : Fail(rc);
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    HostPath p;
    if (DWORD rc = Existing(lpFileName, Access::Write, p)) {
        return Fail(rc);
    }
    const struct stat& st = p.st;
    if (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)) {
        return Fail(ERROR_ACCESS_DENIED); // a folder, or a read-only file
    }
    int rc = unlink(p.path.c_str());
    NoteChange();
    return rc == 0 ? TRUE : Fail(ErrorFromErrno(errno, p.path));
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    HostPath p;
    if (DWORD rc = TranslatePath(lpPathName, Access::Write, p)) {
        return Fail(rc);
    }
    Delay(p);
    int made = mkdir(p.path.c_str(), 0777);
    NoteChange();
    if (made != 0) {
        return Fail(errno == EEXIST   ? ERROR_ALREADY_EXISTS
                    : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                      : ErrorFromErrno(errno, p.path));
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    HostPath p;
    if (DWORD rc = Existing(lpPathName, Access::Write, p)) {
        return Fail(rc);
    }
    const struct stat& st = p.st;
    if (S_ISLNK(st.st_mode)) {
        // Removing a junction removes the link, never what it points to.
        if (!IsDirectoryTarget(p.path)) {
            return Fail(ERROR_DIRECTORY);
        }
        int rc = unlink(p.path.c_str());
        NoteChange();
        return rc == 0 ? TRUE : Fail(ErrorFromErrno(errno, p.path));
    }
    if (!S_ISDIR(st.st_mode)) {
        return Fail(ERROR_DIRECTORY);
    }
    if ((Attributes(p.path, st) & FILE_ATTRIBUTE_READONLY) != 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    int rc = rmdir(p.path.c_str());
    NoteChange();
    if (rc != 0) {
        return Fail(errno == EEXIST || errno == ENOTEMPTY ? ERROR_DIR_NOT_EMPTY
                                                          : ErrorFromErrno(errno, p.path));
    }
    return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    bool writing = (dwDesiredAccess & GENERIC_WRITE) != 0;
    HostPath p;
    if (DWORD rc = TranslatePath(lpFileName, writing ? Access::Write : Access::Read, p)) {
        SetLastError(rc);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    flags |= writing && (dwDesiredAccess & GENERIC_READ) != 0 ? O_RDWR
             : writing                                        ? O_WRONLY
                                                              : O_RDONLY;
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if ((dwFlagsAndAttributes & FILE_FLAG_WRITE_THROUGH) != 0) {
        flags |= O_DSYNC;
    }
    bool existed = p.exists;
    const struct stat& st = p.st;
    if (existed && (S_ISDIR(st.st_mode) || (writing && (st.st_mode & S_IWUSR) == 0))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(p.path.c_str(), flags, 0666);
    NoteChange();
    if (fd < 0) {
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno, p.path));
        return INVALID_HANDLE_VALUE;
    }
    // As Windows does: opening an existing file to create it leaves ERROR_ALREADY_EXISTS.
    bool creating = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    SetLastError(existed && creating ? ERROR_ALREADY_EXISTS : 0);
    return AddHandle(std::make_unique<OpenFile>(fd));
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED) {
    auto* file = Find<OpenFile>(hFile, LabObject::Kind::File);
    if (file == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    ssize_t n = read(file->fd, lpBuffer, nNumberOfBytesToRead);
    if (n < 0) {
        return Fail(ERROR_READ_FAULT);
    }
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = static_cast<DWORD>(n);
    }
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED) {
    auto* file = Find<OpenFile>(hFile, LabObject::Kind::File);
    if (file == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    NoteChange();
    DWORD done = 0;
    const char* bytes = static_cast<const char*>(lpBuffer);
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = write(file->fd, bytes + done, nNumberOfBytesToWrite - done);
        if (n < 0) {
            if (lpNumberOfBytesWritten != nullptr) {
                *lpNumberOfBytesWritten = done;
            }
            return Fail(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = done;
    }
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
    auto* file = Find<OpenFile>(hFile, LabObject::Kind::File);
    if (file == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh != nullptr) {
        distance = (static_cast<int64_t>(*lpDistanceToMoveHigh) << 32) |
                   static_cast<uint32_t>(lDistanceToMove);
    }
    int whence = dwMoveMethod == FILE_BEGIN     ? SEEK_SET
                 : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
                                                : SEEK_END;
    off_t at = lseek(file->fd, static_cast<off_t>(distance), whence);
    if (at < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh != nullptr) {
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(at) >> 32);
    }
    SetLastError(0);
    return static_cast<DWORD>(static_cast<uint64_t>(at) & 0xFFFFFFFF);
}
