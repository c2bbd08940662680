// Who is logged on at a machine, and that user's security identifier, read
// through the machine's registry.
#pragma once

#include "platform/WinApi.h"

#include <set>
#include <string>
#include <vector>

// The form of a user or domain account SID key under HKEY_USERS
// ("S-1-5-21-a-b-c-1001"; not .DEFAULT, not S-1-5-18, not ..._Classes).
bool IsUserSidKeyName(const std::string& name);

// SIDs of the loaded user hives that have a profile entry; true when any.
bool DfxGetLoadedUserSids(std::vector<std::string>& list, const std::string& machineName);
bool DfxHasActiveLogon(const std::string& machineName);
// The Winlogon values of the last interactive logon; true only when both exist.
bool DfxGetDefaultLogonUser(const std::string& machineName, std::string& userName,
                            std::string& domainName);
// Looks an account up (three attempts) and returns its binary SID when its type
// is one of `acceptedTypes`. An empty or "." computer name asks this computer;
// when its name cannot be read, raises the last-error exception.
bool DfxGetAccountSidByName(const std::string& computerOrDomainName, const std::string& userName,
                            std::vector<BYTE>& sid, std::string& referencedDomain,
                            const std::set<SID_NAME_USE>& acceptedTypes);
bool DfxGetAccountSidString(const std::string& computerOrDomainName, const std::string& userName,
                            std::string& sidText);
// "S-1-5-21-..." with the authority's last byte and unsigned sub-authorities;
// false with an empty text for an invalid SID.
bool DfxSidToString(PSID sid, std::string& sidText);
// The Winlogon account, accepted only when its hive is loaded with a profile entry.
bool DfxGetLoggedOnUser(const std::string& machineName, std::string& userName,
                        std::string& domainName, std::string& sidText);
// The logged-on user's SID text, or "" when nobody is logged on.
std::string DfxGetLoggedOnUserSid(const std::string& machineName);
bool GetLocalComputerName(std::string& name);
