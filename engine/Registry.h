// A registry key wrapper in the manner of the classic TRegistry: a root key, one
// open key at a time, typed reads and writes that raise ERegistryException.
#pragma once

#include "platform/WinApi.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TRegDataType { Unknown, String, ExpandString, Integer, Binary };

class TRegistry {
public:
    // Full access on HKEY_CURRENT_USER.
    TRegistry();
    // Rights `access` on HKEY_CURRENT_USER.
    explicit TRegistry(REGSAM access);
    virtual ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Makes `root` the root key: closes the open key, and the previous root when
    // it was a connected remote handle.
    void SelectRootKey(HKEY root);
    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM access) { FAccess = access; }

    // A path beginning with "\" is taken from the root key, any other from the
    // open key when there is one.
    bool OpenKey(const std::string& key, bool canCreate);
    // Opens for reading, trying narrower rights when KEY_READ is refused.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();

    bool KeyExists(const std::string& key);
    bool ValueExists(const std::string& name);
    void GetKeyNames(std::vector<std::string>& names);
    void GetValueNames(std::vector<std::string>& names);
    TRegDataType GetDataType(const std::string& name);
    // The size of the value's data in bytes, or -1 when it does not exist.
    int GetDataSize(const std::string& name);

    // The stored text of a string or expandable-string value, unexpanded; "" for
    // a missing or empty value; ERegistryException for a value of another type.
    std::string ReadString(const std::string& name);
    int ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    int ReadBinaryData(const std::string& name, void* buffer, int size);

    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);
    void WriteBool(const std::string& name, bool value);
    void WriteBinaryData(const std::string& name, const void* buffer, int size);
    bool DeleteValue(const std::string& name);

protected:
    // Writes raw data of registry type `type`; raises "Failed to set data for '%s'".
    void PutData(const std::string& name, const void* buffer, int size, DWORD type);
    // Adopts a connected remote root; it is closed when another root is selected.
    void AdoptConnectedRoot(HKEY root);
    bool ClosesRootKey() const { return FCloseRootKey; }
    void ForgetConnectedRoot() { FCloseRootKey = false; }

private:
    HKEY BaseKey(bool relative) const;
    void ChangeKey(HKEY key, const std::string& path);
    bool QueryValue(const std::string& name, DWORD& type, std::string& data);

    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    bool FCloseRootKey = false;
    REGSAM FAccess = KEY_ALL_ACCESS;
    std::string FCurrentPath;
};
