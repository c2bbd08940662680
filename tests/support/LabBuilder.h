// Builds a lab (a simulated Windows network) in a temporary folder from a few
// lines of test code, and points the program at it.
//
//   LabBuilder lab;
//   lab.Machine("PC1").InDomain("CORP").User("CORP\\joe", kJoeSid).LoggedOn("CORP\\joe")
//       .File("C:\\Documents and Settings\\joe\\Favorites\\News.url");
//   lab.Write();
#pragma once

#include "TempDir.h"

#include "platform/WinApi.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lab {
class RegHive;
}

namespace testsupport {

class LabBuilder;

class LabMachine {
public:
    LabMachine(LabBuilder& lab, std::string name);
    ~LabMachine();
    LabMachine(const LabMachine&) = delete;
    LabMachine& operator=(const LabMachine&) = delete;

    const std::string& Name() const { return name_; }

    // Listed under this domain of "Microsoft Windows Network" in the browse list.
    LabMachine& InDomain(const std::string& domain);
    // The NT 4 layout: C:\WINNT, profiles under C:\WINNT\Profiles.
    LabMachine& Nt4();
    // An account ("DOMAIN\name") with a profile on this machine; its hive is
    // loaded under HKEY_USERS unless `loaded` is false. Its Favorites value is
    // the profile folder followed by \Favorites, and that folder exists.
    LabMachine& User(const std::string& account, const std::string& sid, bool loaded = true);
    // The Winlogon values of the last interactive logon ("DOMAIN\name").
    LabMachine& LoggedOn(const std::string& account);
    // The user's "Favorites" value under Shell Folders.
    LabMachine& Favorites(const std::string& sid, const std::string& path, DWORD type = REG_SZ);

    // A registry value: `root` is HKEY_LOCAL_MACHINE or HKEY_USERS.
    LabMachine& Value(HKEY root, const std::string& key, const std::string& name, DWORD type,
                      const std::string& data);
    LabMachine& Text(HKEY root, const std::string& key, const std::string& name,
                     const std::string& text, DWORD type = REG_SZ);
    LabMachine& RemoveValue(HKEY root, const std::string& key, const std::string& name);
    LabMachine& RemoveKey(HKEY root, const std::string& key);

    // A file or folder at a drive path of this machine ("C:\...").
    LabMachine& File(const std::string& drivePath, const std::string& content = "");
    LabMachine& Folder(const std::string& drivePath);
    // Windows attributes of a file or folder, set once the lab is written.
    LabMachine& Attributes(const std::string& drivePath, DWORD attributes);
    // A file in the folder at `drivePath` whose name on disk is `rawName` as it
    // stands: a name holding a backslash is one no Windows path can reach.
    LabMachine& RawFile(const std::string& drivePath, const std::string& rawName,
                        const std::string& content);
    // A junction at `drivePath` pointing at a folder of this computer.
    LabMachine& Link(const std::string& drivePath, const std::string& hostTarget);

    LabMachine& Unreachable();
    LabMachine& RegistryStopped();
    LabMachine& Share(const std::string& access); // "none", "read" or "full"
    LabMachine& Credentials(const std::string& user, const std::string& password);
    LabMachine& FileDelay(int milliseconds);
    LabMachine& MachineJson(const std::string& key, const std::string& rawJsonValue);

    // Where a drive path of this machine lies on this computer.
    std::string HostPath(const std::string& drivePath) const;
    // The profile folder of a user made by User(), as Windows writes it (C:\...).
    std::string ProfilePath(const std::string& account) const;
    std::string FavoritesPath(const std::string& account) const;

private:
    friend class LabBuilder;
    void Write();

    LabBuilder& lab_;
    std::string name_;
    bool nt4_ = false;
    std::unique_ptr<lab::RegHive> hklm_;
    std::unique_ptr<lab::RegHive> hku_;
    std::map<std::string, std::string> machineJson_;
    std::vector<std::pair<std::string, std::string>> files_; // drive path, content
    std::vector<std::string> folders_;
    std::vector<std::pair<std::string, DWORD>> attributes_;
    std::vector<std::pair<std::string, std::string>> links_;
    std::vector<std::pair<std::string, std::string>> rawFiles_; // host path, content
};

class LabBuilder {
public:
    // Makes an empty lab and points QUILLMARK_LAB and XDG_CONFIG_HOME into it.
    LabBuilder();
    ~LabBuilder();
    LabBuilder(const LabBuilder&) = delete;
    LabBuilder& operator=(const LabBuilder&) = delete;

    // This computer's name in the lab (and its domain in the browse list).
    LabBuilder& Local(const std::string& name, const std::string& domain = "");
    LabMachine& Machine(const std::string& name);
    LabBuilder& Account(const std::string& account, const std::string& sid,
                        const std::string& type = "user");
    LabBuilder& Host(const std::string& address, const std::string& name);
    // A browse-list domain, created empty when not there yet.
    LabBuilder& BrowseDomain(const std::string& provider, const std::string& domain);
    LabBuilder& BrowseMachine(const std::string& provider, const std::string& domain,
                              const std::string& machine);
    // Raw network.json fields (for faults such as "openError").
    LabBuilder& NetworkJson(const std::string& key, const std::string& rawJsonValue);

    // Writes every file of the lab, forgets what the lab had cached, and sets the
    // program's idea of this computer's name.
    void Write();

    const std::string& Root() const { return root_; }
    std::string ConfigHome() const { return dir_.Path() + "/config"; }
    std::string Scratch() const { return dir_.Path() + "/scratch"; }
    LabMachine* FindMachine(const std::string& name);

private:
    friend class LabMachine;
    struct BrowseDomainEntry {
        std::string provider;
        std::string domain;
        std::vector<std::string> machines;
    };
    BrowseDomainEntry& DomainEntry(const std::string& provider, const std::string& domain);

    TempDir dir_;
    std::string root_;
    std::string local_;
    std::vector<std::unique_ptr<LabMachine>> machines_;
    std::vector<BrowseDomainEntry> browse_;
    std::vector<std::vector<std::string>> accounts_; // domain, name, sid, type
    std::vector<std::pair<std::string, std::string>> hosts_;
    std::map<std::string, std::string> networkJson_;
};

} // namespace testsupport
