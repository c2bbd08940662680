// The lab's description of the network: network.json (this computer, the browse
// list, accounts, host names) and machines/NAME/machine.json (how a machine
// answers), read on demand and cached by modification time.
#pragma once

#include "../WinApi.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lab {

struct Account {
    std::string domain; // domain, workgroup or machine the account belongs to
    std::string name;
    std::string sid; // binary SID
    SID_NAME_USE type = SidTypeUser;
};

struct Domain {
    std::string name;
    std::vector<std::string> machines;
    DWORD openError = 0;
    DWORD enumError = 0;
};

struct Provider {
    std::string name;
    std::vector<Domain> domains;
    DWORD openError = 0;
    DWORD enumError = 0;
};

struct Network {
    std::string localMachine; // as network.json declares it; empty when it does not
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<Provider> providers;
    DWORD openError = 0;
    DWORD enumError = 0;
    std::vector<Account> accounts;
    std::vector<std::pair<uint32_t, std::string>> hosts; // address in network order, host name

    // The browse-list domain that lists `machine`, or empty.
    std::string DomainOf(std::string_view machine) const;
    bool IsDomain(std::string_view name) const;
};

enum class ShareAccess { None, Read, Full };

struct MachineConfig {
    std::string name;   // as its folder is named
    std::string folder; // host path of machines/NAME
    bool reachable = true;
    bool remoteRegistry = true;
    ShareAccess adminShare = ShareAccess::Full;
    bool needsCredentials = false;
    std::string user;
    std::string password;
    std::string domain; // the domain or workgroup it belongs to, when machine.json says
    DWORD fileDelayMs = 0;
    DWORD connectError = 0;    // WNetAddConnection2A fails with this code
    std::string extendedError; // what WNetGetLastErrorA then tells
};

// The lab folder: $QUILLMARK_LAB, else "lab" beside the executable.
std::string LabRoot();

// These throw LabError for a malformed file; the lab's API functions turn that
// into a Windows error code and record the message (see LabState.h).
std::shared_ptr<const Network> LoadNetwork();
// nullptr when the lab has no folder for the machine.
std::shared_ptr<const MachineConfig> LoadMachine(std::string_view name);
// This computer's name: as network.json declares it, else the host name in
// capitals cut to MAX_COMPUTERNAME_LENGTH characters.
std::string LocalComputerName();
bool IsLocalComputer(std::string_view name);

// Forgets every cached description.
void ResetModel();

// Binary SID from its text form ("S-1-5-21-..."); false when malformed.
bool ParseSidText(std::string_view text, std::string& sid);

// Whole-file read; false when the file cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Modification time and size, as a cache key; false when the file does not exist.
bool FileStamp(const std::string& path, int64_t& mtimeNs, int64_t& size);

} // namespace lab
