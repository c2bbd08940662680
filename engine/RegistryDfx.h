// The program's registry accessor: a TRegistry that can connect its root key to
// another machine, delete whole key trees, and write typed data; and the
// machine-name helpers used throughout the program.
#pragma once

#include "Registry.h"

#include <string>

class TDfxRegistry : public TRegistry {
public:
    TDfxRegistry();
    explicit TDfxRegistry(REGSAM access);
    // Closes the open key, and a connected root that CloseRootKey did not close.
    ~TDfxRegistry() override;

    virtual void ResetRootKey(HKEY root);
    // Opens (creating when missing) the key, taken from the root; raises
    // "Unable to open Key: %s" with the key as passed.
    virtual void OpenKeyOrRaise(const std::string& key);
    virtual void WriteIntegerValue(const std::string& name, int value);
    virtual void WriteStringValue(const std::string& name, const std::string& value);
    // Kind 1 string, 2 expandable string, 3 binary, 4 integer, any other unknown data.
    virtual void WriteDataValue(const std::string& name, int kind, const void* buffer, int size);
    virtual void CloseRootKey();

    // Connects the current root key to `machineName` (\\NAME form) unless it is
    // this computer; false, with the root unchanged, when that fails.
    bool ConnectMachine(const std::string& machineName);
    static bool IsLocalMachineName(const std::string& name);
    // Deletes the subkey `name` of the open key with everything under it.
    bool DeleteKeyTree(const std::string& name);
};

// Deletes `name` under `parent` with all its subkeys; a key that cannot be
// opened counts as deleted.
bool RegDeleteKeyTree(HKEY parent, const std::string& name);

// PC1, \PC1 and \\PC1 all give \\PC1; an empty name stays empty.
std::string IncludeLeadingBackslashes(const std::string& name);
// \\PC1 gives PC1 (two backslashes removed once); PC1 stays PC1.
std::string ExcludeLeadingBackslashes(const std::string& name);
// The folder of the running executable, with its trailing separator.
std::string GetApplicationDir();

// This computer's name in \\NAME form, set once at start (InitLocalMachineName)
// before any worker thread exists and only read afterwards.
extern std::string LocalMachineName;
void InitLocalMachineName();
