// The folders of a machine's logged-on user (Favorites and the other shell
// folders), as paths on that machine and on its administrative share.
#pragma once

#include "platform/WinApi.h"

#include <cstdint>
#include <string>

struct TShellVarRec {
    const char* VarName; // the token, upper case, percent signs included
    uint8_t FolderId;    // the folder it stands for (a CSIDL number)
};

struct TSpecialFolderRec {
    HKEY RootKey;          // HKEY_USERS, HKEY_LOCAL_MACHINE or DFX_FUNCTION_ROW
    const char* SubKey;    // under HKEY_USERS prefixed with the user's SID and "\"
    const char* ValueName; // or, for a function row, the exported function's name
    const char* Suffix;
};

// The root of a row that names an exported function instead of a registry value.
extern const HKEY DFX_FUNCTION_ROW;

constexpr int kShellVarCount = 37;
constexpr int kSpecialFolderCount = 36;
// The folder index of the logged-on user's Favorites.
constexpr int DFX_FAVORITES_FOLDER = 3;

extern const TShellVarRec ShellVarTable[kShellVarCount];
extern const TSpecialFolderRec SpecialFolderTable[kSpecialFolderCount];
extern const uint8_t SpecialFolderIds[kSpecialFolderCount];

// 0 read (not empty); 1 nobody logged on; 2 the value is missing or empty;
// 3 the registry cannot be reached or opened, or the named function failed.
int DfxReadSpecialFolder(const std::string& machineName, int index, std::string& path);
// The token-free path of folder `index` on the machine. On false the thread's
// last error says why: ERROR_NOT_LOGGED_ON, ERROR_NO_NET_OR_BAD_PATH,
// ERROR_REGISTRY_IO_FAILED, ERROR_NO_TOKEN, or ERROR_CIRCULAR_DEPENDENCY for
// tokens that lead back to a folder being resolved.
bool DfxGetShellFolderPath(const std::string& machineName, int index, std::string& path);
bool DfxExpandShellVars(const std::string& machineName, std::string& path);
bool DfxFindShellVar(const std::string& text, std::string& varName, uint8_t& folderId);
bool DfxFindSpecialFolderIndex(uint8_t folderId, int& index);
// C:\rest on PC1 is \\PC1\C$\rest; a path without a drive letter has no such form: "".
std::string DfxLocalPathToAdminShare(const std::string& machineName, const std::string& localPath);
