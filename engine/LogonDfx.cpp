#include "LogonDfx.h"

#include "RegistryDfx.h"

#include "support/ExceptionDfx.h"
#include "support/StrUtilsDfx.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Connects the registry object's root to the machine; an empty name is this computer.
bool ConnectTo(TDfxRegistry& reg, const std::string& machineName) {
    return machineName.empty() || reg.ConnectMachine(IncludeLeadingBackslashes(machineName));
}

} // namespace

bool IsUserSidKeyName(const std::string& name) {
    if (DfxContainsText(name, ".default") || DfxContainsText(name, "classes") ||
        !DfxStartsText(name, "S-")) {
        return false;
    }
    return name.size() > 3 && std::count(name.begin() + 3, name.end(), '-') == 6;
}

bool DfxGetLoadedUserSids(std::vector<std::string>& list, const std::string& machineName) {
    list.clear();
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(HKEY_USERS);
    std::vector<std::string> names;
    if (!ConnectTo(reg, machineName) || !reg.OpenKeyReadOnly("")) {
        return false;
    }
    reg.GetKeyNames(names);
    reg.CloseKey();
    if (names.empty()) {
        return false;
    }
    reg.SelectRootKey(HKEY_LOCAL_MACHINE);
    if (!ConnectTo(reg, machineName) || !reg.OpenKeyReadOnly(kProfileList)) {
        return false;
    }
    for (const std::string& name : names) {
        if (IsUserSidKeyName(name) && reg.KeyExists(name)) {
            list.push_back(name);
        }
    }
    return !list.empty();
}

bool DfxHasActiveLogon(const std::string& machineName) {
    std::vector<std::string> list;
    return DfxGetLoadedUserSids(list, machineName) && !list.empty();
}

bool DfxGetDefaultLogonUser(const std::string& machineName, std::string& userName,
                            std::string& domainName) {
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(HKEY_LOCAL_MACHINE);
    if (!ConnectTo(reg, machineName) || !reg.OpenKeyReadOnly(kWinlogon)) {
        return false;
    }
    bool hasUser = reg.ValueExists("DefaultUserName");
    bool hasDomain = reg.ValueExists("DefaultDomainName");
    userName = hasUser ? reg.ReadString("DefaultUserName") : std::string();
    domainName = hasUser && hasDomain ? reg.ReadString("DefaultDomainName") : std::string();
    return hasUser && hasDomain;
}

bool GetLocalComputerName(std::string& name) {
    char buf[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!GetComputerNameA(buf, &size)) {
        return false;
    }
    name.assign(buf, size);
    return true;
}

bool DfxGetAccountSidByName(const std::string& computerOrDomainName, const std::string& userName,
                            std::vector<BYTE>& sid, std::string& referencedDomain,
                            const std::set<SID_NAME_USE>& acceptedTypes) {
    // One domain buffer and one length counter for all attempts, as the look-ups report them.
    std::string domain(1024, '\0');
    DWORD domainLength = 1024;
    std::string system = ExcludeLeadingBackslashes(computerOrDomainName);
    if (system.empty() || system == ".") {
        if (!GetLocalComputerName(system)) {
            DfxRaiseLastError();
        }
    }
    const std::string domainAndUser = system + "\\" + userName;
    const std::pair<std::string, std::string> attempts[] = {
        {system, userName}, {".", domainAndUser}, {system, domainAndUser}};
    bool found = false;
    for (const auto& [systemName, accountName] : attempts) {
        DWORD sidSize = 0;
        SID_NAME_USE use{};
        if (LookupAccountNameA(systemName.c_str(), accountName.c_str(), nullptr, &sidSize,
                               domain.data(), &domainLength, &use) ||
            GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            continue;
        }
        // The buffer grows when a look-up asks for more than it holds.
        if (domainLength > domain.size()) {
            domain.resize(domainLength);
        }
        std::vector<BYTE> buffer(sidSize, 0);
        if (LookupAccountNameA(systemName.c_str(), accountName.c_str(), buffer.data(), &sidSize,
                               domain.data(), &domainLength, &use) &&
            use <= SidTypeInvalid && acceptedTypes.count(use) > 0) {
            sid = std::move(buffer);
            found = true;
            break;
        }
    }
    std::size_t length = std::min<std::size_t>(domainLength, domain.size());
    referencedDomain.assign(domain.data(), strnlen(domain.data(), length));
    return found;
}

bool DfxGetAccountSidString(const std::string& computerOrDomainName, const std::string& userName,
                            std::string& sidText) {
    std::vector<BYTE> sid;
    std::string domain;
    if (!DfxGetAccountSidByName(computerOrDomainName, userName, sid, domain, {SidTypeUser})) {
        return false;
    }
    return DfxSidToString(sid.data(), sidText);
}

bool DfxSidToString(PSID sid, std::string& sidText) {
    sidText.clear();
    if (sid == nullptr || !IsValidSid(sid)) {
        return false;
    }
    PSID_IDENTIFIER_AUTHORITY authority = GetSidIdentifierAuthority(sid);
    sidText = "S-" + std::to_string(static_cast<unsigned>(*static_cast<const BYTE*>(sid))) + "-" +
              std::to_string(static_cast<unsigned>(authority->Value[5]));
    DWORD count = *GetSidSubAuthorityCount(sid);
    for (DWORD i = 0; i < count; ++i) {
        DWORD part = 0;
        std::memcpy(&part, GetSidSubAuthority(sid, i), sizeof part);
        sidText += '-';
        sidText += std::to_string(part);
    }
    return true;
}

bool DfxGetLoggedOnUser(const std::string& machineName, std::string& userName,
                        std::string& domainName, std::string& sidText) {
    if (!DfxGetDefaultLogonUser(machineName, userName, domainName) ||
        !DfxGetAccountSidString(domainName, userName, sidText)) {
        return false;
    }
    std::vector<std::string> loaded;
    if (!DfxGetLoadedUserSids(loaded, machineName)) {
        return false;
    }
    return std::any_of(loaded.begin(), loaded.end(),
                       [&](const std::string& s) { return DfxSameText(s, sidText); });
}

std::string DfxGetLoggedOnUserSid(const std::string& machineName) {
    std::string user;
    std::string domain;
    std::string sid;
    return DfxGetLoggedOnUser(machineName, user, domain, sid) ? sid : std::string();
}
