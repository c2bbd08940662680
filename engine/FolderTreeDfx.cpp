#include "FolderTreeDfx.h"

#include "PathsDfx.h"

#include "platform/WinApi.h"
#include "support/StrUtilsDfx.h"

namespace {

// A directory search that is closed on every path.
class TFindSearch final {
public:
    explicit TFindSearch(const std::string& pattern)
        : FHandle(FindFirstFileA(pattern.c_str(), &FData)) {}
    ~TFindSearch() {
        if (FHandle != INVALID_HANDLE_VALUE) {
            FindClose(FHandle);
        }
    }
    TFindSearch(const TFindSearch&) = delete;
    TFindSearch& operator=(const TFindSearch&) = delete;

    bool Found() const { return FHandle != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& Data() const { return FData; }
    bool Next() { return FindNextFileA(FHandle, &FData) != FALSE; }

private:
    WIN32_FIND_DATAA FData{};
    HANDLE FHandle;
};

// The entries of `dir` whose attributes the mask allows (a search with an
// attribute mask: hidden, system, volume and folder entries only when asked for).
template <class F>
void Search(const std::string& dir, const char* pattern, unsigned mask, F&& take) {
    constexpr unsigned kSpecial = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  0x08 /* volume */ | FILE_ATTRIBUTE_DIRECTORY;
    const unsigned exclude = ~mask & kSpecial;
    TFindSearch search(IncludeTrailingBackslash(dir) + pattern);
    if (!search.Found()) {
        return;
    }
    do {
        if ((search.Data().dwFileAttributes & exclude) == 0) {
            take(search.Data());
        }
    } while (search.Next());
}

bool MatchSet(const std::string& mask, std::size_t& m, char c) {
    // mask[m] == '['; on return m is past the closing ']'
    std::size_t i = m + 1;
    bool negate = i < mask.size() && mask[i] == '!';
    if (negate) {
        ++i;
    }
    bool matched = false;
    bool first = true;
    while (i < mask.size() && (mask[i] != ']' || first)) {
        char low = mask[i];
        char high = low;
        if (i + 2 < mask.size() && mask[i + 1] == '-' && mask[i + 2] != ']') {
            high = mask[i + 2];
            i += 2;
        }
        matched = matched || (c >= low && c <= high);
        ++i;
        first = false;
    }
    m = i < mask.size() ? i + 1 : i; // an unclosed set runs to the end of the mask
    return matched != negate;
}

bool Match(const std::string& mask, std::size_t m, const std::string& name, std::size_t n) {
    while (m < mask.size()) {
        char mc = mask[m];
        if (mc == '*') {
            while (m < mask.size() && mask[m] == '*') {
                ++m;
            }
            if (m == mask.size()) {
                return true;
            }
            for (std::size_t k = n; k <= name.size(); ++k) {
                if (Match(mask, m, name, k)) {
                    return true;
                }
            }
            return false;
        }
        if (n >= name.size()) {
            return false;
        }
        if (mc == '?') {
            ++m;
        } else if (mc == '[') {
            if (!MatchSet(mask, m, name[n])) {
                return false;
            }
        } else {
            if (mc != name[n]) {
                return false;
            }
            ++m;
        }
        ++n;
    }
    return n == name.size();
}

} // namespace

bool DfxIsIgnoredEntryName(const std::string& name) {
    return name == "." || name == ".." || name == " ";
}

bool DfxMatchesMask(const std::string& name, const std::string& mask) {
    return Match(DfxLowerCase(mask), 0, DfxLowerCase(name), 0);
}

void DfxListSubfolders(std::vector<std::string>& list, const std::string& dir) {
    Search(dir, "*.*", kAllEntries, [&](const WIN32_FIND_DATAA& fd) {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            !DfxIsIgnoredEntryName(fd.cFileName)) {
            list.emplace_back(fd.cFileName);
        }
    });
}

void DfxListFiles(std::vector<std::string>& list, const std::string& dir, const std::string& mask) {
    Search(dir, "*.*", kFileEntries, [&](const WIN32_FIND_DATAA& fd) {
        if (!DfxIsIgnoredEntryName(fd.cFileName) &&
            (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            DfxMatchesMask(fd.cFileName, mask)) {
            list.emplace_back(fd.cFileName);
        }
    });
}

bool DfxIsFolderEmpty(const std::string& dir) {
    bool empty = true;
    Search(dir, "*", kAllEntries, [&](const WIN32_FIND_DATAA& fd) {
        empty = empty && DfxIsIgnoredEntryName(fd.cFileName);
    });
    return empty;
}

bool DfxRemoveFolderIfEmpty(const std::string& dir) {
    return DfxIsFolderEmpty(dir) && RemoveDirectoryA(dir.c_str());
}

bool DfxProcessFolderTree(TFolderTreeMode mode, const std::string& sourceDir,
                          const std::string& mask, const std::string& destDir, bool abortOnFailure,
                          bool replaceExisting, const TDfxStopRequest* stop) {
    bool overall = true;
    if (mode == TFolderTreeMode::ftmCopy) {
        // Missing parents too; a destination that cannot be made shows as failed copies.
        std::string path = ExcludeTrailingBackslash(destDir);
        std::vector<std::string> missing;
        while (!path.empty() && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            missing.push_back(path);
            std::size_t sep = path.find_last_of("\\/");
            if (sep == std::string::npos || sep == 0 || (sep == 2 && path[1] == ':')) {
                break;
            }
            path.resize(sep);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            CreateDirectoryA(it->c_str(), nullptr);
        }
    }
    std::vector<std::string> work;
    DfxListSubfolders(work, ExcludeTrailingBackslash(sourceDir));
    DfxListFiles(work, IncludeTrailingBackslash(sourceDir), mask);

    const std::string source = IncludeTrailingBackslash(sourceDir);
    for (const std::string& name : work) {
        if (stop != nullptr && stop->Requested()) {
            SetLastError(ERROR_CANCELLED);
            return false;
        }
        const std::string full = source + name;
        const std::string target = destDir + "\\" + name;
        DWORD attributes = GetFileAttributesA(full.c_str());
        bool item = false;
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // A junction or link is never entered: it may lead anywhere.
            if (mode == TFolderTreeMode::ftmDelete) {
                item = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryA(full.c_str())
                                                                    : DeleteFileA(full.c_str());
            } else {
                item = true;
            }
        } else if (attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            item = DfxProcessFolderTree(mode, full, mask, target, abortOnFailure, replaceExisting,
                                        stop);
            if (!item && stop != nullptr && stop->Requested()) {
                SetLastError(ERROR_CANCELLED);
                return false;
            }
        } else {
            item = SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
            if (item) {
                item = mode == TFolderTreeMode::ftmDelete
                           ? DeleteFileA(full.c_str()) != FALSE
                           : CopyFileA(full.c_str(), target.c_str(), !replaceExisting) != FALSE;
            }
        }
        if (!item) {
            overall = false;
            if (abortOnFailure) {
                break;
            }
        }
    }
    if (mode == TFolderTreeMode::ftmDelete && overall && DfxIsFolderEmpty(sourceDir)) {
        overall = SetFileAttributesA(sourceDir.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
        if (overall) {
            overall = DfxRemoveFolderIfEmpty(sourceDir);
        }
    }
    return overall;
}

bool DfxCopyFolderTree(const std::string& sourceDir, const std::string& mask,
                       const std::string& destDir, bool abortOnFailure, bool replaceExisting,
                       const TDfxStopRequest* stop) {
    return DfxProcessFolderTree(TFolderTreeMode::ftmCopy, sourceDir, mask, destDir, abortOnFailure,
                                replaceExisting, stop);
}

bool DfxDeleteFolderTree(const std::string& dir, const std::string& mask, bool abortOnFailure,
                         const TDfxStopRequest* stop) {
    return DfxProcessFolderTree(TFolderTreeMode::ftmDelete, dir, mask, "", abortOnFailure, false,
                                stop);
}
