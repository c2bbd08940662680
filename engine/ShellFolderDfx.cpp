#include "ShellFolderDfx.h"

#include "LogonDfx.h"
#include "ProfileDfx.h"
#include "RegistryDfx.h"

#include "support/StrUtilsDfx.h"

#include <algorithm>
#include <vector>

const HKEY DFX_FUNCTION_ROW = reinterpret_cast<HKEY>(static_cast<intptr_t>(-2));

const TShellVarRec ShellVarTable[kShellVarCount] = {
    {"%WINSYSDIR%", 37},
    {"%WINDIR%", 36},
    {"%DESKTOP%", 0},
    {"%PROGRAMS%", 2},
    {"%PERSONAL%", 5},
    {"%FAVORITES%", 6},
    {"%STARTUP%", 7},
    {"%RECENT%", 8},
    {"%SENDTO%", 9},
    {"%STARTMENU%", 11},
    {"%DESKTOPDIRECTORY%", 16},
    {"%NETHOOD%", 19},
    {"%FONTS%", 20},
    {"%TEMPLATES%", 21},
    {"%COMMONSTARTMENU%", 22},
    {"%COMMONPROGRAMS%", 23},
    {"%COMMONSTARTUP%", 24},
    {"%COMMONDESKTOPDIRECTORY%", 25},
    {"%APPDATA%", 26},
    {"%PRINTHOOD%", 27},
    {"%LOCALAPPDATA%", 28},
    {"%COMMONFAVORITES%", 31},
    {"%INTERNETCACHE%", 32},
    {"%COOKIES%", 33},
    {"%HISTORY%", 34},
    {"%COMMONAPPDATA%", 35},
    {"%WINDOWS%", 36},
    {"%SYSTEMROOT%", 36},
    {"%SYSTEM%", 37},
    {"%PROGRAMFILES%", 38},
    {"%MYPICTURES%", 39},
    {"%USERPROFILE%", 40},
    {"%PROFILEDIRECTORY%", 40},
    {"%COMMONTEMPLATES%", 45},
    {"%COMMONDOCUMENTS%", 46},
    {"%COMMONADMINTOOLS%", 47},
    {"%ADMINTOOLS%", 48},
};

namespace {
const char* const A = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const B = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const C = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const D = "SOFTWARE\\Microsoft\\SchedulingAgent";
const char* const E = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";
} // namespace

const TSpecialFolderRec SpecialFolderTable[kSpecialFolderCount] = {
    {HKEY_USERS, A, "DeskTop", ""},
    {HKEY_USERS, A, "Programs", ""},
    {HKEY_USERS, A, "Personal", ""},
    {HKEY_USERS, A, "Favorites", ""},
    {HKEY_USERS, A, "Startup", ""},
    {HKEY_USERS, A, "Recent", ""},
    {HKEY_USERS, A, "SendTo", ""},
    {HKEY_USERS, A, "Start Menu", ""},
    {HKEY_USERS, A, "DeskTop", ""},
    {HKEY_USERS, A, "NetHood", ""},
    {HKEY_USERS, A, "Fonts", ""},
    {HKEY_USERS, A, "Templates", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Start Menu", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Programs", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Startup", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Desktop", ""},
    {HKEY_USERS, A, "Appdata", ""},
    {HKEY_USERS, A, "PrintHood", ""},
    {HKEY_USERS, A, "Local AppData", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Favorites", ""},
    {HKEY_USERS, A, "Cache", ""},
    {HKEY_USERS, A, "Cookies", ""},
    {HKEY_USERS, A, "History", ""},
    {HKEY_LOCAL_MACHINE, A, "Common AppData", ""},
    {HKEY_LOCAL_MACHINE, B, "SystemRoot", ""},
    {HKEY_LOCAL_MACHINE, B, "SystemRoot", "\\System32"},
    {HKEY_LOCAL_MACHINE, C, "ProgramFilesDir", ""},
    {HKEY_USERS, A, "My Pictures", ""},
    {DFX_FUNCTION_ROW, "", "DfxGetProfileImagePath", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Templates", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Documents", ""},
    {HKEY_LOCAL_MACHINE, A, "Common Administrative Tools", ""},
    {HKEY_USERS, A, "Administrative Tools", ""},
    {DFX_FUNCTION_ROW, "", "DfxGetProfilesDirectory", ""},
    {HKEY_LOCAL_MACHINE, D, "TasksFolder", ""},
    {HKEY_USERS, E, "Quick Launch", ""},
};

const uint8_t SpecialFolderIds[kSpecialFolderCount] = {
    0,  2,  5,  6,  7,  8,  9,  11, 16, 19, 20, 21, 22, 23, 24, 25, 26, 27,
    28, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 47, 48, 62, 63, 64,
};

namespace {

// The folders being resolved on this thread, to catch tokens that lead back to one.
using TResolving = std::vector<int>;

bool ExpandShellVars(const std::string& machineName, std::string& path, TResolving& resolving);

bool GetShellFolderPath(const std::string& machineName, int index, std::string& path,
                        TResolving& resolving) {
    if (std::find(resolving.begin(), resolving.end(), index) != resolving.end()) {
        SetLastError(ERROR_CIRCULAR_DEPENDENCY);
        return false;
    }
    switch (DfxReadSpecialFolder(machineName, index, path)) {
    case 0:
        break;
    case 1:
        SetLastError(ERROR_NOT_LOGGED_ON);
        return false;
    case 2:
        SetLastError(ERROR_NO_NET_OR_BAD_PATH);
        return false;
    default:
        SetLastError(ERROR_REGISTRY_IO_FAILED);
        return false;
    }
    resolving.push_back(index);
    bool ok = ExpandShellVars(machineName, path, resolving);
    resolving.pop_back();
    return ok;
}

bool ExpandShellVars(const std::string& machineName, std::string& path, TResolving& resolving) {
    bool more = path.find('%') != std::string::npos;
    bool result = !more;
    while (more) {
        more = false;
        std::string varName;
        uint8_t folderId = 0;
        int index = 0;
        if (!DfxFindShellVar(path, varName, folderId) ||
            !DfxFindSpecialFolderIndex(folderId, index)) {
            SetLastError(ERROR_NO_TOKEN);
            return false;
        }
        std::string sub;
        result = GetShellFolderPath(machineName, index, sub, resolving);
        if (result) {
            path = DfxReplaceText(path, varName, sub);
            more = path.find('%') != std::string::npos;
        }
    }
    return result;
}

TProfilePathFunction FindExportedFunction(const char* name) {
    FARPROC proc = GetProcAddress(GetModuleHandleA(nullptr), name);
    // Through void (*)(): the generic function pointer type FARPROC converts to.
    return reinterpret_cast<TProfilePathFunction>(reinterpret_cast<void (*)()>(proc));
}

} // namespace

int DfxReadSpecialFolder(const std::string& machineName, int index, std::string& path) {
    path.clear();
    const TSpecialFolderRec& row = SpecialFolderTable[index];
    if (row.RootKey == DFX_FUNCTION_ROW) {
        std::string sid = DfxGetLoggedOnUserSid(machineName);
        if (sid.empty()) {
            return 1;
        }
        TProfilePathFunction function = FindExportedFunction(row.ValueName);
        return function != nullptr && function(machineName, sid, path) ? 0 : 3;
    }
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(row.RootKey);
    if (!machineName.empty() && !reg.ConnectMachine(IncludeLeadingBackslashes(machineName))) {
        return 3;
    }
    std::string key = row.SubKey;
    if (row.RootKey == HKEY_USERS) {
        std::string sid = DfxGetLoggedOnUserSid(machineName);
        if (sid.empty()) {
            return 1;
        }
        key = sid + "\\" + key;
    }
    if (!reg.OpenKeyReadOnly(key)) {
        return 3;
    }
    if (reg.ValueExists(row.ValueName)) {
        path = reg.ReadString(row.ValueName);
        if (*row.Suffix != '\0') {
            path += row.Suffix;
        }
    }
    return path.empty() ? 2 : 0;
}

bool DfxGetShellFolderPath(const std::string& machineName, int index, std::string& path) {
    TResolving resolving;
    return GetShellFolderPath(machineName, index, path, resolving);
}

bool DfxExpandShellVars(const std::string& machineName, std::string& path) {
    TResolving resolving;
    return ExpandShellVars(machineName, path, resolving);
}

bool DfxFindShellVar(const std::string& text, std::string& varName, uint8_t& folderId) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    for (const TShellVarRec& row : ShellVarTable) {
        if (upper.find(row.VarName) != std::string::npos) {
            varName = row.VarName;
            folderId = row.FolderId;
            return true;
        }
    }
    return false;
}

bool DfxFindSpecialFolderIndex(uint8_t folderId, int& index) {
    for (int i = 0; i < kSpecialFolderCount; ++i) {
        if (SpecialFolderIds[i] == folderId) {
            index = i;
            return true;
        }
    }
    return false;
}

std::string DfxLocalPathToAdminShare(const std::string& machineName, const std::string& localPath) {
    if (localPath.size() < 2 || localPath[1] != ':') {
        return {};
    }
    std::string share = IncludeLeadingBackslashes(machineName);
    if (share.empty() || share.back() != '\\') {
        share += '\\';
    }
    std::string rest = localPath;
    rest[1] = '$';
    return share + rest;
}
