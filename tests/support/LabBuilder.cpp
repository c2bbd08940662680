#include "LabBuilder.h"

#include "engine/RegistryDfx.h"
#include "platform/LabTest.h"
#include "platform/lab/RegFile.h"
#include "platform/lab/RegHive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace testsupport {

namespace {

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kWinlogon = kCurrentVersion + "\\Winlogon";
const std::string kProfileList = kCurrentVersion + "\\ProfileList";
const std::string kEnvironment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::string kShellFolders =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kProvider = "Microsoft Windows Network";

std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

void SplitAccount(const std::string& account, std::string& domain, std::string& name) {
    auto slash = account.find('\\');
    domain = slash == std::string::npos ? "" : account.substr(0, slash);
    name = slash == std::string::npos ? account : account.substr(slash + 1);
}

std::string Relative(const std::string& drivePath) {
    // "C:\a\b" -> "C/a/b"
    std::string out;
    out.push_back(static_cast<char>(drivePath.at(0) & ~0x20));
    for (std::size_t i = 2; i < drivePath.size(); ++i) {
        out.push_back(drivePath[i] == '\\' ? '/' : drivePath[i]);
    }
    while (!out.empty() && out.back() == '/') {
        out.pop_back();
    }
    return out;
}

} // namespace

LabMachine::LabMachine(LabBuilder& lab, std::string name)
    : lab_(lab), name_(std::move(name)),
      hklm_(std::make_unique<lab::RegHive>("HKEY_LOCAL_MACHINE")),
      hku_(std::make_unique<lab::RegHive>("HKEY_USERS")) {
    Text(HKEY_LOCAL_MACHINE, kCurrentVersion, "SystemRoot", "C:\\WINDOWS");
    Text(HKEY_LOCAL_MACHINE, kCurrentVersion, "CurrentVersion", "5.1");
    Text(HKEY_LOCAL_MACHINE, kEnvironment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe",
         REG_EXPAND_SZ);
    Text(HKEY_LOCAL_MACHINE, kEnvironment, "windir", "%SystemRoot%", REG_EXPAND_SZ);
    Text(HKEY_LOCAL_MACHINE, kProfileList, "ProfilesDirectory",
         "%SystemDrive%\\Documents and Settings", REG_EXPAND_SZ);
    Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
         "C:\\Program Files");
    Text(HKEY_LOCAL_MACHINE, kProfileList + "\\S-1-5-18", "ProfileImagePath",
         "%SystemRoot%\\system32\\config\\systemprofile", REG_EXPAND_SZ);
    hku_->CreatePath(hku_->Root(), ".DEFAULT\\Software");
    hku_->CreatePath(hku_->Root(), "S-1-5-18\\Software");
    Folder("C:\\WINDOWS\\system32");
}

LabMachine::~LabMachine() = default;

LabMachine& LabMachine::InDomain(const std::string& domain) {
    lab_.BrowseMachine(kProvider, domain, name_);
    return *this;
}

LabMachine& LabMachine::Nt4() {
    nt4_ = true;
    Text(HKEY_LOCAL_MACHINE, kCurrentVersion, "SystemRoot", "C:\\WINNT");
    Text(HKEY_LOCAL_MACHINE, kCurrentVersion, "CurrentVersion", "4.0");
    RemoveValue(HKEY_LOCAL_MACHINE, kProfileList, "ProfilesDirectory");
    Folder("C:\\WINNT\\system32");
    return *this;
}

std::string LabMachine::ProfilePath(const std::string& account) const {
    std::string domain;
    std::string name;
    SplitAccount(account, domain, name);
    return nt4_ ? "C:\\WINNT\\Profiles\\" + name : "C:\\Documents and Settings\\" + name;
}

std::string LabMachine::FavoritesPath(const std::string& account) const {
    return ProfilePath(account) + "\\Favorites";
}

LabMachine& LabMachine::User(const std::string& account, const std::string& sid, bool loaded) {
    std::string domain;
    std::string name;
    SplitAccount(account, domain, name);
    lab_.Account(account, sid);
    std::string stored =
        nt4_ ? "%SystemRoot%\\Profiles\\" + name : "%SystemDrive%\\Documents and Settings\\" + name;
    Text(HKEY_LOCAL_MACHINE, kProfileList + "\\" + sid, "ProfileImagePath", stored, REG_EXPAND_SZ);
    if (loaded) {
        Favorites(sid, FavoritesPath(account));
        hku_->CreatePath(hku_->Root(), sid + "_Classes");
    }
    Folder(FavoritesPath(account));
    return *this;
}

LabMachine& LabMachine::LoggedOn(const std::string& account) {
    std::string domain;
    std::string name;
    SplitAccount(account, domain, name);
    Text(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", name);
    Text(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultDomainName", domain);
    return *this;
}

LabMachine& LabMachine::Favorites(const std::string& sid, const std::string& path, DWORD type) {
    return Text(HKEY_USERS, sid + "\\" + kShellFolders, "Favorites", path, type);
}

LabMachine& LabMachine::Value(HKEY root, const std::string& key, const std::string& name,
                              DWORD type, const std::string& data) {
    lab::RegHive& hive = root == HKEY_USERS ? *hku_ : *hklm_;
    hive.CreatePath(hive.Root(), key)->SetValue(name, type, data);
    return *this;
}

LabMachine& LabMachine::Text(HKEY root, const std::string& key, const std::string& name,
                             const std::string& text, DWORD type) {
    return Value(root, key, name, type, Sz(text));
}

LabMachine& LabMachine::RemoveValue(HKEY root, const std::string& key, const std::string& name) {
    lab::RegHive& hive = root == HKEY_USERS ? *hku_ : *hklm_;
    if (lab::RegKey* k = lab::RegHive::FindPath(hive.Root(), key)) {
        k->DeleteValue(name);
    }
    return *this;
}

LabMachine& LabMachine::RemoveKey(HKEY root, const std::string& key) {
    lab::RegHive& hive = root == HKEY_USERS ? *hku_ : *hklm_;
    if (lab::RegKey* k = lab::RegHive::FindPath(hive.Root(), key)) {
        hive.Remove(k);
    }
    return *this;
}

LabMachine& LabMachine::File(const std::string& drivePath, const std::string& content) {
    files_.emplace_back(drivePath, content.empty() && drivePath.size() > 4 &&
                                           drivePath.substr(drivePath.size() - 4) == ".url"
                                       ? "[InternetShortcut]\r\nURL=http://example.invalid/\r\n"
                                       : content);
    return *this;
}

LabMachine& LabMachine::Folder(const std::string& drivePath) {
    folders_.push_back(drivePath);
    return *this;
}

LabMachine& LabMachine::Attributes(const std::string& drivePath, DWORD attributes) {
    attributes_.emplace_back(drivePath, attributes);
    return *this;
}

LabMachine& LabMachine::RawFile(const std::string& drivePath, const std::string& rawName,
                                const std::string& content) {
    rawFiles_.emplace_back(HostPath(drivePath) + "/" + rawName, content);
    return *this;
}

LabMachine& LabMachine::Link(const std::string& drivePath, const std::string& hostTarget) {
    links_.emplace_back(drivePath, hostTarget);
    return *this;
}

LabMachine& LabMachine::Unreachable() {
    return MachineJson("reachable", "false");
}

LabMachine& LabMachine::RegistryStopped() {
    return MachineJson("remoteRegistry", "false");
}

LabMachine& LabMachine::Share(const std::string& access) {
    return MachineJson("adminShare", "\"" + access + "\"");
}

LabMachine& LabMachine::Credentials(const std::string& user, const std::string& password) {
    nlohmann::json creds = {{"user", user}, {"password", password}};
    return MachineJson("credentials", creds.dump());
}

LabMachine& LabMachine::FileDelay(int milliseconds) {
    return MachineJson("fileDelayMs", std::to_string(milliseconds));
}

LabMachine& LabMachine::MachineJson(const std::string& key, const std::string& rawJsonValue) {
    machineJson_[key] = rawJsonValue;
    return *this;
}

std::string LabMachine::HostPath(const std::string& drivePath) const {
    return lab_.Root() + "/machines/" + name_ + "/" + Relative(drivePath);
}

void LabMachine::Write() {
    std::string folder = lab_.Root() + "/machines/" + name_;
    MakeFolders(folder + "/C");
    WriteFile(folder + "/HKLM.reg", lab::WriteRegFile(*hklm_));
    WriteFile(folder + "/HKU.reg", lab::WriteRegFile(*hku_));
    if (!machineJson_.empty()) {
        std::string text = "{\n";
        bool first = true;
        for (const auto& [key, value] : machineJson_) {
            text += (first ? "  \"" : ",\n  \"") + key + "\": " + value;
            first = false;
        }
        WriteFile(folder + "/machine.json", text + "\n}\n");
    }
    for (const std::string& f : folders_) {
        MakeFolders(HostPath(f));
    }
    for (const auto& [path, content] : files_) {
        WriteFile(HostPath(path), content);
    }
    for (const auto& [path, content] : rawFiles_) {
        WriteFile(path, content);
    }
    for (const auto& [path, target] : links_) {
        MakeFolders(std::filesystem::path(HostPath(path)).parent_path().string());
        unlink(HostPath(path).c_str()); // written again: the same link
        EXPECT_EQ(0, symlink(target.c_str(), HostPath(path).c_str())) << path;
    }
    for (const auto& [path, attributes] : attributes_) {
        EXPECT_TRUE(SetFileAttributesA(HostPath(path).c_str(), attributes)) << path;
    }
}

LabBuilder::LabBuilder() : root_(dir_.Path() + "/lab") {
    MakeFolders(root_ + "/machines");
    MakeFolders(ConfigHome());
    MakeFolders(Scratch());
    setenv("QUILLMARK_LAB", root_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    lab::test::Reset();
}

LabBuilder::~LabBuilder() {
    lab::test::Reset();
    unsetenv("QUILLMARK_LAB");
}

LabBuilder& LabBuilder::Local(const std::string& name, const std::string& domain) {
    local_ = name;
    if (!domain.empty()) {
        BrowseMachine(kProvider, domain, name);
    }
    return *this;
}

LabMachine& LabBuilder::Machine(const std::string& name) {
    if (LabMachine* m = FindMachine(name)) {
        return *m;
    }
    machines_.push_back(std::make_unique<LabMachine>(*this, name));
    return *machines_.back();
}

LabMachine* LabBuilder::FindMachine(const std::string& name) {
    for (auto& m : machines_) {
        if (m->Name() == name) {
            return m.get();
        }
    }
    return nullptr;
}

LabBuilder& LabBuilder::Account(const std::string& account, const std::string& sid,
                                const std::string& type) {
    std::string domain;
    std::string name;
    SplitAccount(account, domain, name);
    for (const auto& a : accounts_) {
        if (a[0] == domain && a[1] == name) {
            return *this;
        }
    }
    accounts_.push_back({domain, name, sid, type});
    return *this;
}

LabBuilder& LabBuilder::Host(const std::string& address, const std::string& name) {
    hosts_.emplace_back(address, name);
    return *this;
}

LabBuilder::BrowseDomainEntry& LabBuilder::DomainEntry(const std::string& provider,
                                                       const std::string& domain) {
    for (auto& d : browse_) {
        if (d.provider == provider && d.domain == domain) {
            return d;
        }
    }
    browse_.push_back({provider, domain, {}});
    return browse_.back();
}

LabBuilder& LabBuilder::BrowseDomain(const std::string& provider, const std::string& domain) {
    DomainEntry(provider, domain);
    return *this;
}

LabBuilder& LabBuilder::BrowseMachine(const std::string& provider, const std::string& domain,
                                      const std::string& machine) {
    DomainEntry(provider, domain).machines.push_back(machine);
    return *this;
}

LabBuilder& LabBuilder::NetworkJson(const std::string& key, const std::string& rawJsonValue) {
    networkJson_[key] = rawJsonValue;
    return *this;
}

void LabBuilder::Write() {
    nlohmann::ordered_json net = nlohmann::ordered_json::object();
    if (!local_.empty()) {
        net["localMachine"] = local_;
    }
    nlohmann::ordered_json providers = nlohmann::ordered_json::array();
    for (const auto& d : browse_) {
        auto it = std::find_if(providers.begin(), providers.end(),
                               [&](const auto& p) { return p["name"] == d.provider; });
        if (it == providers.end()) {
            providers.push_back(
                {{"name", d.provider}, {"domains", nlohmann::ordered_json::array()}});
            it = providers.end() - 1;
        }
        (*it)["domains"].push_back({{"name", d.domain}, {"machines", d.machines}});
    }
    net["providers"] = providers;
    nlohmann::ordered_json accounts = nlohmann::ordered_json::array();
    for (const auto& a : accounts_) {
        accounts.push_back({{"domain", a[0]}, {"name", a[1]}, {"sid", a[2]}, {"type", a[3]}});
    }
    net["accounts"] = accounts;
    nlohmann::ordered_json hosts = nlohmann::ordered_json::object();
    for (const auto& [address, name] : hosts_) {
        hosts[address] = name;
    }
    net["hosts"] = hosts;
    for (const auto& [key, raw] : networkJson_) {
        net[key] = nlohmann::ordered_json::parse(raw);
    }
    WriteFile(root_ + "/network.json", net.dump(2) + "\n");
    for (auto& m : machines_) {
        m->Write();
    }
    lab::test::Reset();
    InitLocalMachineName();
}

} // namespace testsupport
