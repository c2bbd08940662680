// The network of the lab: the browse list served through the WNet enumeration,
// connections made with credentials, and the accounts behind LookupAccountNameA.
#include "../WinApi.h"
#include "LabError.h"
#include "LabHandles.h"
#include "LabModel.h"
#include "LabState.h"
#include "LabText.h"

#include <cstring>
#include <string>
#include <vector>

using namespace lab;

namespace {

struct Entry {
    std::string remoteName;
    std::string provider;
    DWORD displayType = RESOURCEDISPLAYTYPE_GENERIC;
};

struct NetEnum final : LabObject {
    NetEnum() : LabObject(Kind::Enum) {}
    std::vector<Entry> entries;
    std::size_t next = 0;
    DWORD finalError = ERROR_NO_MORE_ITEMS;
};

DWORD Fail(DWORD code) {
    SetLastError(code);
    return code;
}

std::string MachineOfRemoteName(const char* remote) {
    std::string name = remote != nullptr ? remote : "";
    std::size_t start = name.find_first_not_of("\\/");
    if (start == std::string::npos) {
        return {};
    }
    std::size_t end = name.find_first_of("\\/", start);
    return name.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

const Provider* FindProvider(const Network& net, const char* name) {
    for (const Provider& p : net.providers) {
        if (name != nullptr && EqualsNoCase(p.name, name)) {
            return &p;
        }
    }
    return nullptr;
}

DWORD OpenChildren(const Network& net, const NETRESOURCEA* parent, NetEnum& out) {
    if (parent == nullptr) {
        if (net.openError != 0) {
            return net.openError;
        }
        for (const Provider& p : net.providers) {
            out.entries.push_back({p.name, p.name, RESOURCEDISPLAYTYPE_NETWORK});
        }
        out.finalError = net.enumError != 0 ? net.enumError : ERROR_NO_MORE_ITEMS;
        return NO_ERROR;
    }
    const char* remote = parent->lpRemoteName;
    if (remote == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD type = parent->dwDisplayType;
    if (type == RESOURCEDISPLAYTYPE_NETWORK ||
        (type == RESOURCEDISPLAYTYPE_GENERIC && FindProvider(net, remote) != nullptr)) {
        const Provider* p = FindProvider(net, remote);
        if (p == nullptr) {
            return ERROR_BAD_PROVIDER;
        }
        if (p->openError != 0) {
            return p->openError;
        }
        for (const Domain& d : p->domains) {
            out.entries.push_back({d.name, p->name, RESOURCEDISPLAYTYPE_DOMAIN});
        }
        out.finalError = p->enumError != 0 ? p->enumError : ERROR_NO_MORE_ITEMS;
        return NO_ERROR;
    }
    if (type == RESOURCEDISPLAYTYPE_DOMAIN || type == RESOURCEDISPLAYTYPE_GENERIC) {
        for (const Provider& p : net.providers) {
            if (parent->lpProvider != nullptr && !EqualsNoCase(p.name, parent->lpProvider)) {
                continue;
            }
            for (const Domain& d : p.domains) {
                if (!EqualsNoCase(d.name, remote)) {
                    continue;
                }
                if (d.openError != 0) {
                    return d.openError;
                }
                for (const std::string& m : d.machines) {
                    out.entries.push_back({"\\\\" + m, p.name, RESOURCEDISPLAYTYPE_SERVER});
                }
                out.finalError = d.enumError != 0 ? d.enumError : ERROR_NO_MORE_ITEMS;
                return NO_ERROR;
            }
        }
        return ERROR_BAD_NETPATH;
    }
    return NO_ERROR; // a server's shares are not part of the lab: nothing to list
}

// The computer that answers an account look-up, and what it knows.
struct System {
    std::string name; // machine or domain name
    bool isDomain = false;
    std::string domain; // the domain a machine belongs to
};

DWORD ResolveSystem(const Network& net, const char* systemName, System& out) {
    std::string name = systemName != nullptr ? systemName : "";
    while (!name.empty() && (name[0] == '\\' || name[0] == '/')) {
        name.erase(0, 1);
    }
    if (name.empty() || name == ".") {
        name = LocalComputerName();
    }
    auto machine = LoadMachine(name);
    if (IsLocalComputer(name) || machine) {
        if (machine && !IsLocalComputer(name)) {
            if (!machine->reachable) {
                return RPC_S_SERVER_UNAVAILABLE;
            }
            if (machine->needsCredentials && !HasConnection(machine->name)) {
                return ERROR_ACCESS_DENIED;
            }
        }
        out.name = IsLocalComputer(name) ? LocalComputerName() : machine->name;
        out.domain = machine && !machine->domain.empty() ? machine->domain : net.DomainOf(name);
        return NO_ERROR;
    }
    if (net.IsDomain(name)) {
        out.name = name;
        out.isDomain = true;
        return NO_ERROR;
    }
    return RPC_S_SERVER_UNAVAILABLE;
}

const Account* FindAccount(const Network& net, std::string_view domain, std::string_view name) {
    for (const Account& a : net.accounts) {
        if (EqualsNoCase(a.domain, domain) && EqualsNoCase(a.name, name)) {
            return &a;
        }
    }
    return nullptr;
}

const Account* LookUp(const Network& net, const System& system, const std::string& account) {
    std::size_t slash = account.find('\\');
    if (slash != std::string::npos) {
        std::string domain = account.substr(0, slash);
        std::string name = account.substr(slash + 1);
        // A machine's own accounts are known only to that machine.
        bool otherMachine = !EqualsNoCase(domain, system.name) && !net.IsDomain(domain);
        return otherMachine ? nullptr : FindAccount(net, domain, name);
    }
    if (const Account* a = FindAccount(net, system.name, account)) {
        return a;
    }
    return system.domain.empty() ? nullptr : FindAccount(net, system.domain, account);
}

} // namespace

DWORD WINAPI WNetOpenEnumA(DWORD dwScope, DWORD, DWORD, LPNETRESOURCEA lpNetResource,
                           HANDLE* lphEnum) {
    if (lphEnum == nullptr || dwScope != RESOURCE_GLOBALNET) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    try {
        auto net = LoadNetwork();
        auto e = std::make_unique<NetEnum>();
        DWORD rc = OpenChildren(*net, lpNetResource, *e);
        if (rc != NO_ERROR) {
            return Fail(rc);
        }
        *lphEnum = AddHandle(std::move(e));
        return NO_ERROR;
    } catch (const LabError& err) {
        return Fail(Complain(err.what(), ERROR_NO_NETWORK));
    }
}

DWORD WINAPI WNetEnumResourceA(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer,
                               LPDWORD lpBufferSize) {
    auto* e = Find<NetEnum>(hEnum, LabObject::Kind::Enum);
    if (e == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (lpcCount == nullptr || lpBuffer == nullptr || lpBufferSize == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (e->next >= e->entries.size()) {
        *lpcCount = 0;
        return Fail(e->finalError);
    }
    // As Windows lays it out: the structures from the front, their texts from the back.
    auto* base = static_cast<char*>(lpBuffer);
    std::size_t front = 0;
    std::size_t back = *lpBufferSize;
    DWORD wanted = *lpcCount;
    DWORD count = 0;
    while (e->next < e->entries.size() && count < wanted) {
        const Entry& entry = e->entries[e->next];
        std::size_t texts = entry.remoteName.size() + 1 + entry.provider.size() + 1;
        if (front + sizeof(NETRESOURCEA) + texts > back) {
            break;
        }
        back -= entry.remoteName.size() + 1;
        char* remote = base + back;
        std::memcpy(remote, entry.remoteName.c_str(), entry.remoteName.size() + 1);
        back -= entry.provider.size() + 1;
        char* provider = base + back;
        std::memcpy(provider, entry.provider.c_str(), entry.provider.size() + 1);
        NETRESOURCEA r{};
        r.dwScope = RESOURCE_GLOBALNET;
        r.dwType = RESOURCETYPE_ANY;
        r.dwDisplayType = entry.displayType;
        r.dwUsage = RESOURCEUSAGE_CONTAINER;
        r.lpRemoteName = remote;
        r.lpProvider = provider;
        std::memcpy(base + front, &r, sizeof r);
        front += sizeof r;
        ++count;
        ++e->next;
    }
    *lpcCount = count;
    if (count == 0) {
        const Entry& entry = e->entries[e->next];
        *lpBufferSize = static_cast<DWORD>(sizeof(NETRESOURCEA) + entry.remoteName.size() +
                                           entry.provider.size() + 2);
        return Fail(ERROR_MORE_DATA);
    }
    // More entries wait: say so, and the caller asks again.
    return e->next < e->entries.size() ? ERROR_MORE_DATA : NO_ERROR;
}

DWORD WINAPI WNetCloseEnum(HANDLE hEnum) {
    return RemoveHandle(hEnum, LabObject::Kind::Enum) ? NO_ERROR : Fail(ERROR_INVALID_HANDLE);
}

DWORD WINAPI WNetAddConnection2A(LPNETRESOURCEA lpNetResource, LPCSTR lpPassword, LPCSTR lpUserName,
                                 DWORD) {
    if (lpNetResource == nullptr || lpNetResource->lpRemoteName == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    std::string name = MachineOfRemoteName(lpNetResource->lpRemoteName);
    try {
        auto machine = LoadMachine(name);
        if (!machine || !machine->reachable) {
            return Fail(ERROR_BAD_NETPATH);
        }
        if (machine->connectError != 0) {
            SetExtendedError(machine->connectError, machine->extendedError,
                             "Microsoft Windows Network");
            return Fail(machine->connectError == ERROR_EXTENDED_ERROR ? ERROR_EXTENDED_ERROR
                                                                      : machine->connectError);
        }
        if (machine->needsCredentials) {
            std::string user = lpUserName != nullptr ? lpUserName : "";
            std::string password = lpPassword != nullptr ? lpPassword : "";
            const std::string& wanted = machine->user;
            std::size_t slash = wanted.find('\\');
            bool userOk = EqualsNoCase(user, wanted) ||
                          (slash != std::string::npos && user.find('\\') == std::string::npos &&
                           EqualsNoCase(user, std::string_view(wanted).substr(slash + 1)));
            if (!userOk || password != machine->password) {
                return Fail(ERROR_LOGON_FAILURE);
            }
        }
        AddConnection(machine->name);
        return NO_ERROR;
    } catch (const LabError& err) {
        return Fail(Complain(err.what(), ERROR_BAD_NETPATH));
    }
}

DWORD WINAPI WNetCancelConnection2A(LPCSTR lpName, DWORD, BOOL) {
    std::string name = MachineOfRemoteName(lpName);
    try {
        auto machine = LoadMachine(name);
        if (machine && RemoveConnection(machine->name)) {
            return NO_ERROR;
        }
    } catch (const LabError& err) {
        Complain(err.what(), ERROR_NOT_CONNECTED);
    }
    return Fail(ERROR_NOT_CONNECTED);
}

DWORD WINAPI WNetGetLastErrorA(LPDWORD lpError, LPSTR lpErrorBuf, DWORD nErrorBufSize,
                               LPSTR lpNameBuf, DWORD nNameBufSize) {
    if (lpError == nullptr || lpErrorBuf == nullptr || lpNameBuf == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string text;
    std::string provider;
    GetExtendedError(*lpError, text, provider);
    auto copy = [](LPSTR to, DWORD size, const std::string& from) {
        if (size == 0) {
            return;
        }
        std::size_t n = std::min<std::size_t>(from.size(), size - 1);
        std::memcpy(to, from.data(), n);
        to[n] = '\0';
    };
    copy(lpErrorBuf, nErrorBufSize, text);
    copy(lpNameBuf, nNameBufSize, provider);
    return NO_ERROR;
}

BOOL WINAPI LookupAccountNameA(LPCSTR lpSystemName, LPCSTR lpAccountName, PSID Sid, LPDWORD cbSid,
                               LPSTR ReferencedDomainName, LPDWORD cchReferencedDomainName,
                               PSID_NAME_USE peUse) {
    if (lpAccountName == nullptr || cbSid == nullptr || cchReferencedDomainName == nullptr ||
        peUse == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try {
        auto net = LoadNetwork();
        System system;
        if (DWORD rc = ResolveSystem(*net, lpSystemName, system)) {
            SetLastError(rc);
            return FALSE;
        }
        const Account* account = LookUp(*net, system, lpAccountName);
        if (account == nullptr) {
            SetLastError(ERROR_NONE_MAPPED);
            return FALSE;
        }
        auto sidSize = static_cast<DWORD>(account->sid.size());
        auto domainSize = static_cast<DWORD>(account->domain.size() + 1);
        if (Sid == nullptr || *cbSid < sidSize || ReferencedDomainName == nullptr ||
            *cchReferencedDomainName < domainSize) {
            *cbSid = sidSize;
            *cchReferencedDomainName = domainSize;
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(Sid, account->sid.data(), sidSize);
        *cbSid = sidSize;
        std::memcpy(ReferencedDomainName, account->domain.c_str(), domainSize);
        *cchReferencedDomainName = domainSize - 1;
        *peUse = account->type;
        return TRUE;
    } catch (const LabError& err) {
        SetLastError(Complain(err.what(), RPC_S_SERVER_UNAVAILABLE));
        return FALSE;
    }
}

BOOL WINAPI IsValidSid(PSID pSid) {
    auto* bytes = static_cast<const BYTE*>(pSid);
    return bytes != nullptr && bytes[0] == SID_REVISION && bytes[1] <= SID_MAX_SUB_AUTHORITIES;
}

DWORD WINAPI GetLengthSid(PSID pSid) {
    return 8 + 4 * static_cast<DWORD>(*GetSidSubAuthorityCount(pSid));
}

PSID_IDENTIFIER_AUTHORITY WINAPI GetSidIdentifierAuthority(PSID pSid) {
    return reinterpret_cast<PSID_IDENTIFIER_AUTHORITY>(static_cast<BYTE*>(pSid) + 2);
}

PUCHAR WINAPI GetSidSubAuthorityCount(PSID pSid) {
    return static_cast<PUCHAR>(pSid) + 1;
}

PDWORD WINAPI GetSidSubAuthority(PSID pSid, DWORD nSubAuthority) {
    return reinterpret_cast<PDWORD>(static_cast<BYTE*>(pSid) + 8 + 4 * nSubAuthority);
}
