#include "RegistryDfx.h"

#include "support/FormatDfx.h"
#include "support/ModuleDfx.h"
#include "support/StrUtilsDfx.h"

#include <stdexcept>

std::string LocalMachineName;

void InitLocalMachineName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    LocalMachineName = GetComputerNameA(name, &size) ? IncludeLeadingBackslashes(name) : "";
}

TDfxRegistry::TDfxRegistry() = default;

TDfxRegistry::TDfxRegistry(REGSAM access) : TRegistry(access) {}

TDfxRegistry::~TDfxRegistry() {
    CloseKey();
    if (ClosesRootKey()) {
        CloseRootKey();
    }
}

void TDfxRegistry::ResetRootKey(HKEY root) {
    CloseKey();
    SelectRootKey(root);
}

void TDfxRegistry::OpenKeyOrRaise(const std::string& key) {
    std::string path = !key.empty() && key[0] == '\\' ? key : "\\" + key;
    if (!OpenKey(path, true)) {
        throw std::runtime_error(DfxFormat("Unable to open Key: %s", key));
    }
}

void TDfxRegistry::WriteIntegerValue(const std::string& name, int value) {
    WriteInteger(name, value);
}

void TDfxRegistry::WriteStringValue(const std::string& name, const std::string& value) {
    WriteString(name, value);
}

void TDfxRegistry::WriteDataValue(const std::string& name, int kind, const void* buffer, int size) {
    DWORD type = kind == 1   ? REG_SZ
                 : kind == 2 ? REG_EXPAND_SZ
                 : kind == 3 ? REG_BINARY
                 : kind == 4 ? REG_DWORD
                             : REG_NONE;
    PutData(name, buffer, size, type);
}

void TDfxRegistry::CloseRootKey() {
    RegCloseKey(RootKey());
    ForgetConnectedRoot();
}

bool TDfxRegistry::ConnectMachine(const std::string& machineName) {
    if (IsLocalMachineName(machineName)) {
        return true; // this computer: its own registry, no connection
    }
    HKEY remote = nullptr;
    if (RegConnectRegistryA(machineName.c_str(), RootKey(), &remote) != ERROR_SUCCESS) {
        return false;
    }
    AdoptConnectedRoot(remote);
    return true;
}

bool TDfxRegistry::IsLocalMachineName(const std::string& name) {
    return DfxSameText(IncludeLeadingBackslashes(name), LocalMachineName) ||
           ExcludeLeadingBackslashes(name).empty();
}

bool TDfxRegistry::DeleteKeyTree(const std::string& name) {
    return RegDeleteKeyTree(CurrentKey(), name);
}

bool RegDeleteKeyTree(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return true; // nothing there to delete
    }
    // Index 0 every time: each round that succeeds removes the first subkey.
    for (;;) {
        char sub[256];
        DWORD len = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        if (!RegDeleteKeyTree(key, std::string(sub, len))) {
            break;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

std::string IncludeLeadingBackslashes(const std::string& name) {
    if (name.empty()) {
        return name;
    }
    std::string out = name;
    while (out.compare(0, 2, "\\\\") != 0) {
        out.insert(out.begin(), '\\');
    }
    return out;
}

std::string ExcludeLeadingBackslashes(const std::string& name) {
    return name.compare(0, 2, "\\\\") == 0 ? name.substr(2) : name;
}

std::string GetApplicationDir() {
    std::string path = DfxExecutablePath();
    std::size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}
