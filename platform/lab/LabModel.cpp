#include "LabModel.h"

#include "LabError.h"
#include "LabJson.h"
#include "LabText.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <initializer_list>
#include <map>
#include <mutex>

namespace lab {

namespace {

using Kind = JsonValue::Kind;

// Checks the fields of one description file, failing with its name and line.
class Schema {
public:
    explicit Schema(const std::string& file) : file_(file) {}

    [[noreturn]] void Fail(const JsonValue& at, const std::string& what) const {
        throw LabError(file_ + ":" + std::to_string(at.line) + ": " + what);
    }

    void Expect(const JsonValue& v, Kind kind, const std::string& what) const {
        if (v.kind != kind) {
            Fail(v, what + " must be " + JsonValue::KindName(kind) + ", not " +
                        JsonValue::KindName(v.kind));
        }
    }

    void Known(const JsonValue& object, std::initializer_list<const char*> names) const {
        for (const auto& [name, value] : object.members) {
            bool known = false;
            std::string list;
            for (const char* n : names) {
                known = known || name == n;
                list += list.empty() ? "" : ", ";
                list += n;
            }
            if (!known) {
                Fail(value, "unknown field \"" + name + "\" (fields here: " + list + ")");
            }
        }
    }

    std::string Text(const JsonValue& object, const char* name, bool required) const {
        const JsonValue* v = object.Find(name);
        if (v == nullptr) {
            if (required) {
                Fail(object, std::string("the field \"") + name + "\" is missing");
            }
            return {};
        }
        Expect(*v, Kind::String, std::string("\"") + name + "\"");
        return v->text;
    }

    bool Bool(const JsonValue& object, const char* name, bool fallback) const {
        const JsonValue* v = object.Find(name);
        if (v == nullptr) {
            return fallback;
        }
        Expect(*v, Kind::Bool, std::string("\"") + name + "\"");
        return v->boolean;
    }

    int64_t Int(const JsonValue& object, const char* name, int64_t fallback, int64_t low,
                int64_t high) const {
        const JsonValue* v = object.Find(name);
        if (v == nullptr) {
            return fallback;
        }
        Expect(*v, Kind::Integer, std::string("\"") + name + "\"");
        if (v->integer < low || v->integer > high) {
            Fail(*v, std::string("\"") + name + "\" must lie between " + std::to_string(low) +
                         " and " + std::to_string(high));
        }
        return v->integer;
    }

    const JsonValue* List(const JsonValue& object, const char* name) const {
        const JsonValue* v = object.Find(name);
        if (v != nullptr) {
            Expect(*v, Kind::Array, std::string("\"") + name + "\"");
        }
        return v;
    }

    // A name that Windows would accept as a machine, domain or provider name.
    void CheckName(const JsonValue& at, const std::string& name, const char* what) const {
        if (name.empty()) {
            Fail(at, std::string("a ") + what + " name must not be empty");
        }
        for (unsigned char c : name) {
            if (c < 32 || c == '\\' || c == '/') {
                Fail(at, std::string("the ") + what + " name \"" + name +
                             "\" holds a backslash, slash or control character");
            }
        }
    }

private:
    const std::string& file_;
};

DWORD ErrorCode(const Schema& schema, const JsonValue& object, const char* name) {
    return static_cast<DWORD>(schema.Int(object, name, 0, 0, 0xFFFFFFFFLL));
}

bool ParseAddress(std::string_view text, uint32_t& address) {
    uint32_t parts[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t end = i < 3 ? text.find('.', start) : text.size();
        if (end == std::string_view::npos || end == start || end - start > 3) {
            return false;
        }
        uint32_t v = 0;
        for (std::size_t k = start; k < end; ++k) {
            if (text[k] < '0' || text[k] > '9') {
                return false;
            }
            v = v * 10 + static_cast<uint32_t>(text[k] - '0');
        }
        if (v > 255) {
            return false;
        }
        parts[i] = v;
        start = end + 1;
    }
    // in_addr holds the first octet in its lowest byte (network order on little-endian).
    address = parts[0] | (parts[1] << 8) | (parts[2] << 16) | (parts[3] << 24);
    return true;
}

SID_NAME_USE AccountType(const Schema& schema, const JsonValue& at, const std::string& text) {
    static constexpr std::pair<const char*, SID_NAME_USE> kTypes[] = {
        {"user", SidTypeUser},
        {"group", SidTypeGroup},
        {"domain", SidTypeDomain},
        {"alias", SidTypeAlias},
        {"wellKnownGroup", SidTypeWellKnownGroup},
        {"deletedAccount", SidTypeDeletedAccount},
        {"invalid", SidTypeInvalid},
        {"unknown", SidTypeUnknown},
        {"computer", SidTypeComputer},
    };
    std::string list;
    for (const auto& [name, type] : kTypes) {
        if (text == name) {
            return type;
        }
        list += list.empty() ? "" : ", ";
        list += name;
    }
    schema.Fail(at, "unknown account type \"" + text + "\" (types: " + list + ")");
}

std::shared_ptr<Network> ParseNetwork(const std::string& bytes, const std::string& file) {
    JsonValue root = ParseJson(bytes, file);
    Schema schema(file);
    schema.Expect(root, Kind::Object, "the description");
    schema.Known(root, {"localMachine", "environment", "openError", "enumError", "providers",
                        "accounts", "hosts"});
    auto net = std::make_shared<Network>();
    net->localMachine = schema.Text(root, "localMachine", false);
    if (!net->localMachine.empty()) {
        schema.CheckName(*root.Find("localMachine"), net->localMachine, "machine");
    }
    net->openError = ErrorCode(schema, root, "openError");
    net->enumError = ErrorCode(schema, root, "enumError");
    if (const JsonValue* env = root.Find("environment")) {
        schema.Expect(*env, Kind::Object, "\"environment\"");
        for (const auto& [name, value] : env->members) {
            schema.Expect(value, Kind::String, "the variable \"" + name + "\"");
            net->environment.emplace_back(name, value.text);
        }
    }
    if (const JsonValue* providers = schema.List(root, "providers")) {
        for (const JsonValue& p : providers->items) {
            schema.Expect(p, Kind::Object, "a provider");
            schema.Known(p, {"name", "openError", "enumError", "domains"});
            Provider provider;
            provider.name = schema.Text(p, "name", true);
            schema.CheckName(p, provider.name, "provider");
            provider.openError = ErrorCode(schema, p, "openError");
            provider.enumError = ErrorCode(schema, p, "enumError");
            if (const JsonValue* domains = schema.List(p, "domains")) {
                for (const JsonValue& d : domains->items) {
                    schema.Expect(d, Kind::Object, "a domain");
                    schema.Known(d, {"name", "openError", "enumError", "machines"});
                    Domain domain;
                    domain.name = schema.Text(d, "name", true);
                    schema.CheckName(d, domain.name, "domain");
                    domain.openError = ErrorCode(schema, d, "openError");
                    domain.enumError = ErrorCode(schema, d, "enumError");
                    if (const JsonValue* machines = schema.List(d, "machines")) {
                        for (const JsonValue& m : machines->items) {
                            schema.Expect(m, Kind::String, "a machine name");
                            domain.machines.push_back(m.text);
                        }
                    }
                    provider.domains.push_back(std::move(domain));
                }
            }
            net->providers.push_back(std::move(provider));
        }
    }
    if (const JsonValue* accounts = schema.List(root, "accounts")) {
        for (const JsonValue& a : accounts->items) {
            schema.Expect(a, Kind::Object, "an account");
            schema.Known(a, {"domain", "name", "sid", "type"});
            Account account;
            account.domain = schema.Text(a, "domain", true);
            account.name = schema.Text(a, "name", true);
            std::string sidText = schema.Text(a, "sid", true);
            if (!ParseSidText(sidText, account.sid)) {
                schema.Fail(*a.Find("sid"), "\"" + sidText +
                                                "\" is not a SID (S-1-authority-sub-authorities, "
                                                "at most 15 sub-authorities)");
            }
            std::string type = schema.Text(a, "type", false);
            account.type = type.empty() ? SidTypeUser : AccountType(schema, a, type);
            net->accounts.push_back(std::move(account));
        }
    }
    if (const JsonValue* hosts = root.Find("hosts")) {
        schema.Expect(*hosts, Kind::Object, "\"hosts\"");
        for (const auto& [address, name] : hosts->members) {
            uint32_t a = 0;
            if (!ParseAddress(address, a)) {
                schema.Fail(name, "\"" + address + "\" is not an IPv4 address a.b.c.d");
            }
            schema.Expect(name, Kind::String, "the host name of " + address);
            net->hosts.emplace_back(a, name.text);
        }
    }
    return net;
}

std::shared_ptr<MachineConfig> ParseMachine(const std::string& bytes, const std::string& file) {
    JsonValue root = ParseJson(bytes, file);
    Schema schema(file);
    schema.Expect(root, Kind::Object, "the description");
    schema.Known(root, {"reachable", "remoteRegistry", "adminShare", "credentials", "domain",
                        "fileDelayMs", "connectError", "extendedError"});
    auto m = std::make_shared<MachineConfig>();
    m->reachable = schema.Bool(root, "reachable", true);
    m->remoteRegistry = schema.Bool(root, "remoteRegistry", true);
    std::string share = schema.Text(root, "adminShare", false);
    if (share == "none") {
        m->adminShare = ShareAccess::None;
    } else if (share == "read") {
        m->adminShare = ShareAccess::Read;
    } else if (share.empty() || share == "full") {
        m->adminShare = ShareAccess::Full;
    } else {
        schema.Fail(*root.Find("adminShare"),
                    "\"adminShare\" must be \"none\", \"read\" or \"full\", not \"" + share + "\"");
    }
    if (const JsonValue* creds = root.Find("credentials")) {
        schema.Expect(*creds, Kind::Object, "\"credentials\"");
        schema.Known(*creds, {"user", "password"});
        m->needsCredentials = true;
        m->user = schema.Text(*creds, "user", true);
        m->password = schema.Text(*creds, "password", true);
    }
    m->domain = schema.Text(root, "domain", false);
    m->fileDelayMs = static_cast<DWORD>(schema.Int(root, "fileDelayMs", 0, 0, 60000));
    m->connectError = ErrorCode(schema, root, "connectError");
    m->extendedError = schema.Text(root, "extendedError", false);
    return m;
}

// A parsed file kept while its modification time and size stay the same.
template <class T>
struct CacheEntry {
    int64_t mtime = -1;
    int64_t size = -1;
    std::shared_ptr<T> value;
};

std::mutex gModelMutex;
std::map<std::string, CacheEntry<Network>> gNetworks;
std::map<std::string, CacheEntry<MachineConfig>> gMachines;

// machines/ listings for case-insensitive look-up of machine folders.
struct FolderListing {
    int64_t mtime = -1;
    std::vector<std::string> names;
};
std::map<std::string, FolderListing> gMachineFolders;

// Machines looked up in the last kRecheckAfter: no need to look at their files again.
constexpr auto kRecheckAfter = std::chrono::milliseconds(50);
struct RecentMachine {
    std::chrono::steady_clock::time_point checked;
    std::shared_ptr<const MachineConfig> machine;
};
std::map<std::string, RecentMachine> gRecentMachines;

std::shared_ptr<const MachineConfig> CheckMachine(std::string_view name);

std::string HostName() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) {
        return "LOCALHOST";
    }
    std::string name = Upper(buf);
    if (auto dot = name.find('.'); dot != std::string::npos) {
        name.resize(dot);
    }
    if (name.size() > MAX_COMPUTERNAME_LENGTH) {
        name.resize(MAX_COMPUTERNAME_LENGTH);
    }
    return name;
}

// The folder of a machine, matched without regard to case; empty when none.
std::string MachineFolder(const std::string& root, std::string_view name) {
    std::string machines = root + "/machines";
    std::string exact = machines + "/" + std::string(name);
    struct stat st {};
    if (stat(exact.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return exact;
    }
    int64_t mtime = 0;
    int64_t size = 0;
    if (!FileStamp(machines, mtime, size)) {
        return {};
    }
    std::lock_guard lock(gModelMutex);
    FolderListing& listing = gMachineFolders[machines];
    if (listing.mtime != mtime) {
        listing.names.clear();
        listing.mtime = mtime;
        if (DIR* dir = opendir(machines.c_str())) {
            while (dirent* e = readdir(dir)) {
                listing.names.emplace_back(e->d_name);
            }
            closedir(dir);
        }
    }
    for (const std::string& candidate : listing.names) {
        if (EqualsNoCase(candidate, name)) {
            return machines + "/" + candidate;
        }
    }
    return {};
}

} // namespace

void ResetModel() {
    std::lock_guard lock(gModelMutex);
    gNetworks.clear();
    gMachines.clear();
    gMachineFolders.clear();
    gRecentMachines.clear();
}

std::string Network::DomainOf(std::string_view machine) const {
    for (const Provider& p : providers) {
        for (const Domain& d : p.domains) {
            for (const std::string& m : d.machines) {
                if (EqualsNoCase(m, machine)) {
                    return d.name;
                }
            }
        }
    }
    return {};
}

bool Network::IsDomain(std::string_view name) const {
    for (const Provider& p : providers) {
        for (const Domain& d : p.domains) {
            if (EqualsNoCase(d.name, name)) {
                return true;
            }
        }
    }
    return false;
}

std::string LabRoot() {
    const char* env = std::getenv("QUILLMARK_LAB");
    if (env != nullptr && *env != '\0') {
        return env;
    }
    char exe[4096] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string path = n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : std::string(".");
    auto slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/lab";
}

bool FileStamp(const std::string& path, int64_t& mtimeNs, int64_t& size) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    size = st.st_size;
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bytes.clear();
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

std::shared_ptr<const Network> LoadNetwork() {
    std::string file = LabRoot() + "/network.json";
    int64_t mtime = 0;
    int64_t size = 0;
    if (!FileStamp(file, mtime, size)) {
        static const auto kEmpty = std::make_shared<const Network>();
        return kEmpty; // a lab without a description is an empty network
    }
    {
        std::lock_guard lock(gModelMutex);
        auto& entry = gNetworks[file];
        if (entry.value && entry.mtime == mtime && entry.size == size) {
            return entry.value;
        }
    }
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        throw LabError(file + ": cannot be read");
    }
    auto net = ParseNetwork(bytes, file);
    std::lock_guard lock(gModelMutex);
    gNetworks[file] = CacheEntry<Network>{mtime, size, net};
    return net;
}

std::shared_ptr<const MachineConfig> LoadMachine(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    // A walk over a machine's share asks for the machine for every file: what was
    // checked in the last few milliseconds is taken as it is.
    std::string key = LabRoot() + "\n" + Folded(name);
    auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(gModelMutex);
        auto it = gRecentMachines.find(key);
        if (it != gRecentMachines.end() && now - it->second.checked < kRecheckAfter) {
            return it->second.machine;
        }
    }
    auto machine = CheckMachine(name);
    std::lock_guard lock(gModelMutex);
    gRecentMachines[key] = RecentMachine{now, machine};
    return machine;
}

namespace {

std::shared_ptr<const MachineConfig> CheckMachine(std::string_view name) {
    std::string folder = MachineFolder(LabRoot(), name);
    if (folder.empty()) {
        return nullptr;
    }
    std::string file = folder + "/machine.json";
    int64_t mtime = -2;
    int64_t size = -2;
    bool described = FileStamp(file, mtime, size);
    {
        std::lock_guard lock(gModelMutex);
        auto& entry = gMachines[folder];
        if (entry.value && entry.mtime == mtime && entry.size == size) {
            return entry.value;
        }
    }
    std::shared_ptr<MachineConfig> machine;
    if (described) {
        std::string bytes;
        if (!ReadWholeFile(file, bytes)) {
            throw LabError(file + ": cannot be read");
        }
        machine = ParseMachine(bytes, file);
    } else {
        machine = std::make_shared<MachineConfig>(); // a folder alone: a machine that answers
    }
    machine->folder = folder;
    machine->name = folder.substr(folder.rfind('/') + 1);
    std::lock_guard lock(gModelMutex);
    gMachines[folder] = CacheEntry<MachineConfig>{mtime, size, machine};
    return machine;
}

} // namespace

std::string LocalComputerName() {
    std::string declared = LoadNetwork()->localMachine;
    if (declared.empty()) {
        return HostName();
    }
    return Upper(declared.size() > MAX_COMPUTERNAME_LENGTH
                     ? declared.substr(0, MAX_COMPUTERNAME_LENGTH)
                     : declared);
}

bool IsLocalComputer(std::string_view name) {
    return EqualsNoCase(name, LocalComputerName());
}

bool ParseSidText(std::string_view text, std::string& sid) {
    if (text.size() < 2 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') {
        return false;
    }
    std::vector<uint64_t> parts;
    std::size_t i = 2;
    while (i <= text.size()) {
        std::size_t end = text.find('-', i);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view part = text.substr(i, end - i);
        if (part.empty() || part.size() > 18) {
            return false;
        }
        uint64_t v = 0;
        int base = 10;
        std::size_t k = 0;
        if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
            base = 16;
            k = 2;
        }
        for (; k < part.size(); ++k) {
            char c = part[k];
            int d = c >= '0' && c <= '9'                 ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
            if (d < 0) {
                return false;
            }
            v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        }
        parts.push_back(v);
        i = end + 1;
    }
    // revision, authority, then 0 to 15 sub-authorities of 32 bits
    if (parts.size() < 2 || parts.size() > 17 || parts[0] != 1 || parts[1] >= (1ULL << 48)) {
        return false;
    }
    for (std::size_t k = 2; k < parts.size(); ++k) {
        if (parts[k] > 0xFFFFFFFFULL) {
            return false;
        }
    }
    sid.assign(8 + 4 * (parts.size() - 2), '\0');
    sid[0] = static_cast<char>(parts[0]);
    sid[1] = static_cast<char>(parts.size() - 2);
    for (int b = 0; b < 6; ++b) { // the identifier authority is big-endian
        sid[2 + b] = static_cast<char>((parts[1] >> (8 * (5 - b))) & 0xFF);
    }
    for (std::size_t k = 2; k < parts.size(); ++k) { // sub-authorities are little-endian
        auto v = static_cast<uint32_t>(parts[k]);
        for (int b = 0; b < 4; ++b) {
            sid[8 + 4 * (k - 2) + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
        }
    }
    return true;
}

} // namespace lab
