// The registry of the lab: this computer's hives from its machine folder, the
// current user's hive as one .reg file in the user's configuration folder, and
// every other machine's hives reached through RegConnectRegistryA.
#include "LabRegistry.h"
#include "../LabTest.h"
#include "../WinApi.h"
#include "LabError.h"
#include "LabModel.h"
#include "LabState.h"
#include "LabText.h"
#include "RegFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace lab {

namespace {

struct HiveEntry {
    int64_t mtime = -1;
    int64_t size = -1;
    std::shared_ptr<RegHive> hive;
};

struct CurrentUser {
    std::string path;
    int64_t mtime = -1; // of the file as last read or written; -1 none seen yet
    int64_t size = -1;
    std::shared_ptr<RegHive> hive;
    std::string complaint; // set while the file on disk is malformed
};

struct KeyHandle {
    std::shared_ptr<RegHive> hive;
    RegKey* key = nullptr;
    bool currentUser = false; // the hive is the current user's, the only writable one
    bool remoteRoot = false;
    REGSAM access = 0;
};

std::mutex gRegMutex;  // handles and the current user's hive
std::mutex gHiveMutex; // the cache of read-only hive files
std::map<std::string, HiveEntry> gHives;
CurrentUser gUser;
std::unordered_map<HKEY, std::unique_ptr<KeyHandle>> gHandles;

std::string CurrentUserFile() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.config";
    }
    return base + "/Quillmark/HKCU.reg";
}

std::shared_ptr<RegHive> EmptyHive(const std::string& root) {
    static std::mutex m;
    static std::map<std::string, std::shared_ptr<RegHive>> empties;
    std::lock_guard lock(m);
    auto& hive = empties[root];
    if (!hive) {
        hive = std::make_shared<RegHive>(root);
    }
    return hive;
}

} // namespace

std::shared_ptr<RegHive> HiveFile(const std::string& file, const std::string& root) {
    int64_t mtime = 0;
    int64_t size = 0;
    if (!FileStamp(file, mtime, size)) {
        return EmptyHive(root);
    }
    {
        std::lock_guard lock(gHiveMutex);
        auto it = gHives.find(file);
        if (it != gHives.end() && it->second.mtime == mtime && it->second.size == size) {
            return it->second.hive;
        }
    }
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        throw LabError(file + ": cannot be read");
    }
    std::shared_ptr<RegHive> hive = ParseRegFile(bytes, file, root);
    std::lock_guard lock(gHiveMutex);
    gHives[file] = HiveEntry{mtime, size, hive};
    return hive;
}

namespace {

const char* HiveFileName(HKEY root) {
    return root == HKEY_USERS ? "HKU.reg" : "HKLM.reg";
}
const char* RootName(HKEY root) {
    return root == HKEY_USERS ? "HKEY_USERS" : "HKEY_LOCAL_MACHINE";
}

// The current user's hive, read again when the file changed on disk. Caller holds gRegMutex.
LONG CurrentUserHive(std::shared_ptr<RegHive>& hive) {
    std::string path = CurrentUserFile();
    int64_t mtime = -1;
    int64_t size = -1;
    bool exists = FileStamp(path, mtime, size);
    if (path != gUser.path || !gUser.hive || mtime != gUser.mtime || size != gUser.size) {
        gUser = CurrentUser{path, mtime, size, nullptr, {}};
        if (!exists) {
            gUser.hive = std::make_shared<RegHive>("HKEY_CURRENT_USER");
        } else {
            std::string bytes;
            try {
                if (!ReadWholeFile(path, bytes)) {
                    throw LabError(path + ": cannot be read");
                }
                gUser.hive = ParseRegFile(bytes, path, "HKEY_CURRENT_USER");
            } catch (const LabError& e) {
                gUser.complaint = e.what();
            }
        }
    }
    if (!gUser.hive) {
        // Never written over: the user's settings stay on disk for them to mend.
        return static_cast<LONG>(Complain(gUser.complaint, ERROR_BADDB));
    }
    hive = gUser.hive;
    return ERROR_SUCCESS;
}

// Writes the current user's hive: a temporary file, then a rename, so that a
// crash leaves either the old file or the new one. Caller holds gRegMutex.
LONG SaveCurrentUser() {
    std::string path = gUser.path;
    std::string dir = path.substr(0, path.rfind('/'));
    std::string parent = dir.substr(0, dir.rfind('/'));
    mkdir(parent.c_str(), 0700);
    mkdir(dir.c_str(), 0700);
    std::string temp = path + ".tmp" + std::to_string(getpid());
    std::string text = WriteRegFile(*gUser.hive);
    FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = f != nullptr && std::fflush(f) == 0 && fsync(fileno(f)) == 0 && ok;
    if (f != nullptr) {
        ok = std::fclose(f) == 0 && ok;
    }
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        gUser.hive.reset(); // what is on disk holds; read it again next time
        return ERROR_CANTWRITE;
    }
    FileStamp(path, gUser.mtime, gUser.size);
    return ERROR_SUCCESS;
}

struct Target {
    std::shared_ptr<RegHive> hive;
    RegKey* key = nullptr;
    bool currentUser = false;
    REGSAM access = KEY_ALL_ACCESS;
};

// The key a handle stands for. Caller holds gRegMutex.
LONG Resolve(HKEY hKey, Target& out) {
    if (hKey == HKEY_CURRENT_USER) {
        LONG rc = CurrentUserHive(out.hive);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        out.key = out.hive->Root();
        out.currentUser = true;
        return ERROR_SUCCESS;
    }
    if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_USERS) {
        auto machine = LoadMachine(LocalComputerName());
        out.hive = machine ? HiveFile(machine->folder + "/" + HiveFileName(hKey), RootName(hKey))
                           : EmptyHive(RootName(hKey));
        out.key = out.hive->Root();
        return ERROR_SUCCESS;
    }
    if (hKey == HKEY_CLASSES_ROOT) {
        out.hive = EmptyHive("HKEY_CLASSES_ROOT");
        out.key = out.hive->Root();
        return ERROR_SUCCESS;
    }
    auto it = gHandles.find(hKey);
    if (it == gHandles.end()) {
        return ERROR_INVALID_HANDLE;
    }
    KeyHandle& h = *it->second;
    out.access = h.access;
    out.currentUser = h.currentUser;
    if (h.currentUser) {
        // The file may have been read again since: find the same key in the live hive.
        std::shared_ptr<RegHive> live;
        LONG rc = CurrentUserHive(live);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (live != h.hive) {
            std::string path = h.key->Path();
            h.key = h.key->Deleted() ? nullptr : RegHive::FindPath(live->Root(), path);
            h.hive = live;
            if (h.key == nullptr) {
                return ERROR_KEY_DELETED;
            }
        }
    }
    if (h.key->Deleted()) {
        return ERROR_KEY_DELETED;
    }
    out.hive = h.hive;
    out.key = h.key;
    return ERROR_SUCCESS;
}

HKEY NewHandle(const Target& t, REGSAM access, bool remoteRoot) {
    auto handle = std::make_unique<KeyHandle>();
    handle->hive = t.hive;
    handle->key = t.key;
    handle->currentUser = t.currentUser;
    handle->remoteRoot = remoteRoot;
    handle->access = access;
    HKEY key = reinterpret_cast<HKEY>(handle.get());
    gHandles.emplace(key, std::move(handle));
    return key;
}

// Splits a sub-key path; a leading "\" is refused as Windows refuses it.
bool WalkPath(RegKey* from, const char* subKey, RegKey*& found) {
    found = from;
    if (subKey == nullptr || *subKey == '\0') {
        return true;
    }
    if (*subKey == '\\') {
        found = nullptr;
        return false;
    }
    found = RegHive::FindPath(from, subKey);
    return true;
}

std::string FullPath(const Target& t, const RegKey* key) {
    std::string path = key->Path();
    return t.hive->RootName() + (path.empty() ? "" : "\\" + path);
}

// A value's type and bytes into the caller's places, as RegQueryValueExA gives them.
LONG PutValue(const RegValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type != nullptr) {
        *type = value.type;
    }
    auto needed = static_cast<DWORD>(value.data.size());
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value.data.data(), needed);
    }
    if (size != nullptr) {
        *size = needed;
    }
    return ERROR_SUCCESS;
}

// Runs `f` under the registry lock, turning a malformed hive into ERROR_BADDB.
template <class F>
LONG Locked(F&& f) {
    try {
        std::lock_guard lock(gRegMutex);
        return f();
    } catch (const LabError& e) {
        return static_cast<LONG>(Complain(e.what(), ERROR_BADDB));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace

void ResetRegistry() {
    std::lock_guard hives(gHiveMutex);
    std::lock_guard lock(gRegMutex);
    gHives.clear();
    gUser = CurrentUser{};
}

namespace test {

int OpenKeyCount() {
    std::lock_guard lock(gRegMutex);
    return static_cast<int>(gHandles.size());
}

int OpenRemoteRootCount() {
    std::lock_guard lock(gRegMutex);
    int n = 0;
    for (const auto& entry : gHandles) {
        n += entry.second->remoteRoot ? 1 : 0;
    }
    return n;
}

} // namespace test

} // namespace lab

using namespace lab;

LONG WINAPI RegConnectRegistryA(LPCSTR lpMachineName, HKEY hKey, PHKEY phkResult) {
    if (phkResult == nullptr || (hKey != HKEY_LOCAL_MACHINE && hKey != HKEY_USERS)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string name = lpMachineName != nullptr ? lpMachineName : "";
    while (!name.empty() && (name[0] == '\\' || name[0] == '/')) {
        name.erase(0, 1);
    }
    try {
        std::shared_ptr<RegHive> hive;
        bool remote = !name.empty() && !IsLocalComputer(name);
        if (remote) {
            auto machine =
                name.find_first_of("\\/") == std::string::npos ? LoadMachine(name) : nullptr;
            if (!machine || !machine->reachable || !machine->remoteRegistry) {
                return ERROR_BAD_NETPATH;
            }
            if (machine->needsCredentials && !HasConnection(machine->name)) {
                return ERROR_ACCESS_DENIED;
            }
            hive = HiveFile(machine->folder + "/" + HiveFileName(hKey), RootName(hKey));
        }
        return Locked([&]() -> LONG {
            Target t;
            if (remote) {
                t.hive = hive;
                t.key = hive->Root();
                CountRemoteConnect();
            } else {
                LONG rc = Resolve(hKey, t);
                if (rc != ERROR_SUCCESS) {
                    return rc;
                }
            }
            *phkResult = NewHandle(t, KEY_ALL_ACCESS, remote);
            return ERROR_SUCCESS;
        });
    } catch (const LabError& e) {
        return static_cast<LONG>(Complain(e.what(), ERROR_BADDB));
    }
}

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        RegKey* key = nullptr;
        if (!WalkPath(t.key, lpSubKey, key)) {
            return ERROR_BAD_PATHNAME;
        }
        if (key == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        t.key = key;
        *phkResult = NewHandle(t, samDesired, false);
        return ERROR_SUCCESS;
    });
}

LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                            LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (phkResult == nullptr || lpSubKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        RegKey* key = nullptr;
        if (!WalkPath(t.key, lpSubKey, key)) {
            return ERROR_BAD_PATHNAME;
        }
        DWORD disposition = REG_OPENED_EXISTING_KEY;
        if (key == nullptr) {
            if (!t.currentUser || (t.access & KEY_CREATE_SUB_KEY) == 0) {
                return ERROR_ACCESS_DENIED;
            }
            key = t.hive->CreatePath(t.key, lpSubKey);
            disposition = REG_CREATED_NEW_KEY;
            rc = SaveCurrentUser();
            if (rc != ERROR_SUCCESS) {
                return rc;
            }
        }
        if (lpdwDisposition != nullptr) {
            *lpdwDisposition = disposition;
        }
        t.key = key;
        *phkResult = NewHandle(t, samDesired, false);
        return ERROR_SUCCESS;
    });
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_USERS ||
        hKey == HKEY_CLASSES_ROOT) {
        return ERROR_SUCCESS;
    }
    std::lock_guard lock(gRegMutex);
    return gHandles.erase(hKey) > 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) {
    if (lpData != nullptr && lpcbData == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        const RegValue* value = t.key->FindValue(lpValueName != nullptr ? lpValueName : "");
        if (value == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        return PutValue(*value, lpType, lpData, lpcbData);
    });
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                           DWORD cbData) {
    if (lpData == nullptr && cbData != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (!t.currentUser || (t.access & KEY_SET_VALUE) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        t.key->SetValue(lpValueName != nullptr ? lpValueName : "", dwType,
                        std::string(reinterpret_cast<const char*>(lpData), cbData));
        return SaveCurrentUser();
    });
}

LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (!t.currentUser || (t.access & KEY_SET_VALUE) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        if (!t.key->DeleteValue(lpValueName != nullptr ? lpValueName : "")) {
            return ERROR_FILE_NOT_FOUND;
        }
        return SaveCurrentUser();
    });
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (lpSubKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        RegKey* key = nullptr;
        if (!WalkPath(t.key, lpSubKey, key)) {
            return ERROR_BAD_PATHNAME;
        }
        if (key == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (!t.currentUser || key->Parent() == nullptr || !key->Children().empty() ||
            IsKeyProtected(FullPath(t, key))) {
            return ERROR_ACCESS_DENIED;
        }
        t.hive->Remove(key);
        return SaveCurrentUser();
    });
}

LONG WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR,
                          LPDWORD, FILETIME* lpftLastWriteTime) {
    if (lpName == nullptr || lpcchName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        const auto& children = t.key->Children();
        if (dwIndex >= children.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const std::string& name = children[dwIndex]->Name();
        if (*lpcchName < name.size() + 1) {
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpName, name.c_str(), name.size() + 1);
        *lpcchName = static_cast<DWORD>(name.size());
        if (lpftLastWriteTime != nullptr) {
            *lpftLastWriteTime = FILETIME{0, 0};
        }
        return ERROR_SUCCESS;
    });
}

LONG WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                          LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpValueName == nullptr || lpcchValueName == nullptr ||
        (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        const auto& values = t.key->Values();
        if (dwIndex >= values.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const RegValue& v = values[dwIndex];
        if (*lpcchValueName < v.name.size() + 1) {
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpValueName, v.name.c_str(), v.name.size() + 1);
        *lpcchValueName = static_cast<DWORD>(v.name.size());
        return PutValue(v, lpType, lpData, lpcbData);
    });
}

LONG WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                             LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                             LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                             LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime) {
    return Locked([&]() -> LONG {
        Target t;
        LONG rc = Resolve(hKey, t);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        DWORD maxSub = 0;
        for (const RegKey* child : t.key->Children()) {
            maxSub = std::max<DWORD>(maxSub, static_cast<DWORD>(child->Name().size()));
        }
        DWORD maxName = 0;
        DWORD maxData = 0;
        for (const RegValue& v : t.key->Values()) {
            maxName = std::max<DWORD>(maxName, static_cast<DWORD>(v.name.size()));
            maxData = std::max<DWORD>(maxData, static_cast<DWORD>(v.data.size()));
        }
        auto put = [](LPDWORD p, DWORD v) {
            if (p != nullptr) {
                *p = v;
            }
        };
        put(lpcchClass, 0);
        put(lpcSubKeys, static_cast<DWORD>(t.key->Children().size()));
        put(lpcbMaxSubKeyLen, maxSub);
        put(lpcbMaxClassLen, 0);
        put(lpcValues, static_cast<DWORD>(t.key->Values().size()));
        put(lpcbMaxValueNameLen, maxName);
        put(lpcbMaxValueLen, maxData);
        put(lpcbSecurityDescriptor, 0);
        if (lpftLastWriteTime != nullptr) {
            *lpftLastWriteTime = FILETIME{0, 0};
        }
        return ERROR_SUCCESS;
    });
}
