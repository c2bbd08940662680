#include "Registry.h"

#include "support/FormatDfx.h"

#include <cstring>

namespace {

bool IsRelative(const std::string& key) {
    return key.empty() || key[0] != '\\';
}

TRegDataType DataTypeOf(DWORD type) {
    switch (type) {
    case REG_SZ:
        return TRegDataType::String;
    case REG_EXPAND_SZ:
        return TRegDataType::ExpandString;
    case REG_DWORD:
        return TRegDataType::Integer;
    case REG_BINARY:
        return TRegDataType::Binary;
    default:
        return TRegDataType::Unknown;
    }
}

// Names by index until the enumeration ends, growing the buffer when a name needs more.
template <class F>
void EnumNames(std::vector<std::string>& names, F&& enumerate) {
    names.clear();
    std::string buf(256, '\0');
    for (DWORD i = 0;;) {
        DWORD length = static_cast<DWORD>(buf.size());
        LONG rc = enumerate(i, buf.data(), &length);
        if (rc == ERROR_MORE_DATA) {
            buf.resize(buf.size() * 2);
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            return;
        }
        names.emplace_back(buf.data(), length);
        ++i;
    }
}

} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SelectRootKey(HKEY root) {
    if (FCloseRootKey) {
        RegCloseKey(FRootKey);
        FCloseRootKey = false;
    }
    FRootKey = root;
    CloseKey();
}

void TRegistry::AdoptConnectedRoot(HKEY root) {
    SelectRootKey(root);
    FCloseRootKey = true;
}

HKEY TRegistry::BaseKey(bool relative) const {
    return relative && FCurrentKey != nullptr ? FCurrentKey : FRootKey;
}

void TRegistry::ChangeKey(HKEY key, const std::string& path) {
    CloseKey();
    FCurrentKey = key;
    FCurrentPath = path;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    bool relative = IsRelative(key);
    std::string sub = relative ? key : key.substr(1);
    HKEY opened = nullptr;
    LONG rc = 0;
    if (canCreate && !sub.empty()) {
        DWORD disposition = 0;
        rc = RegCreateKeyExA(BaseKey(relative), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             FAccess, nullptr, &opened, &disposition);
    } else {
        rc = RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0, FAccess, &opened);
    }
    if (rc != ERROR_SUCCESS) {
        return false;
    }
    std::string path = sub;
    if (relative && FCurrentKey != nullptr) {
        path = sub.empty() ? FCurrentPath : FCurrentPath + "\\" + sub;
    }
    ChangeKey(opened, path);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    REGSAM saved = FAccess;
    bool ok = false;
    for (REGSAM access :
         {static_cast<REGSAM>(KEY_READ), static_cast<REGSAM>(KEY_READ & ~KEY_NOTIFY),
          static_cast<REGSAM>(KEY_QUERY_VALUE)}) {
        FAccess = access;
        if (OpenKey(key, false)) {
            ok = true;
            break;
        }
    }
    FAccess = saved;
    return ok;
}

void TRegistry::CloseKey() {
    if (FCurrentKey != nullptr) {
        RegCloseKey(FCurrentKey);
        FCurrentKey = nullptr;
        FCurrentPath.clear();
    }
}

bool TRegistry::KeyExists(const std::string& key) {
    bool relative = IsRelative(key);
    std::string sub = relative ? key : key.substr(1);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0,
                      STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                      &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

bool TRegistry::QueryValue(const std::string& name, DWORD& type, std::string& data) {
    DWORD size = 0;
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        data.resize(size);
        DWORD got = size;
        LONG rc = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type,
                                   reinterpret_cast<LPBYTE>(data.data()), &got);
        if (rc == ERROR_SUCCESS) {
            data.resize(got);
            return true;
        }
        if (rc != ERROR_MORE_DATA) {
            return false;
        }
        size = got; // it grew meanwhile
    }
}

bool TRegistry::ValueExists(const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    return RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) ==
           ERROR_SUCCESS;
}

void TRegistry::GetKeyNames(std::vector<std::string>& names) {
    EnumNames(names, [this](DWORD i, char* name, DWORD* length) {
        return RegEnumKeyExA(FCurrentKey, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

void TRegistry::GetValueNames(std::vector<std::string>& names) {
    EnumNames(names, [this](DWORD i, char* name, DWORD* length) {
        return RegEnumValueA(FCurrentKey, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return TRegDataType::Unknown;
    }
    return DataTypeOf(type);
}

int TRegistry::GetDataSize(const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<int>(size);
}

std::string TRegistry::ReadString(const std::string& name) {
    DWORD type = 0;
    std::string data;
    if (!QueryValue(name, type, data) || data.empty()) {
        return {};
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryException(DfxFormat("Invalid data type for '%s'", name));
    }
    std::size_t nul = data.find('\0');
    if (nul != std::string::npos) {
        data.resize(nul);
    }
    return data;
}

int TRegistry::ReadInteger(const std::string& name) {
    DWORD type = 0;
    std::string data;
    if (!QueryValue(name, type, data)) {
        throw ERegistryException(DfxFormat("Failed to get data for '%s'", name));
    }
    if (type != REG_DWORD || data.size() != 4) {
        throw ERegistryException(DfxFormat("Invalid data type for '%s'", name));
    }
    int32_t value = 0;
    std::memcpy(&value, data.data(), 4);
    return value;
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size) {
    DWORD type = 0;
    std::string data;
    if (!QueryValue(name, type, data)) {
        throw ERegistryException(DfxFormat("Failed to get data for '%s'", name));
    }
    if (static_cast<int>(data.size()) > size) {
        throw ERegistryException(DfxFormat("Failed to get data for '%s'", name));
    }
    std::memcpy(buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::PutData(const std::string& name, const void* buffer, int size, DWORD type) {
    if (RegSetValueExA(FCurrentKey, name.c_str(), 0, type, static_cast<const BYTE*>(buffer),
                       static_cast<DWORD>(size)) != ERROR_SUCCESS) {
        throw ERegistryException(DfxFormat("Failed to set data for '%s'", name));
    }
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    PutData(name, value.c_str(), static_cast<int>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
    PutData(name, value.c_str(), static_cast<int>(value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    int32_t v = value;
    PutData(name, &v, 4, REG_DWORD);
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size) {
    PutData(name, buffer, size, REG_BINARY);
}

bool TRegistry::DeleteValue(const std::string& name) {
    return RegDeleteValueA(FCurrentKey, name.c_str()) == ERROR_SUCCESS;
}
