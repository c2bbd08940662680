#include "ProfileDfx.h"

#include "PathsDfx.h"
#include "RegistryDfx.h"

#include "support/StrUtilsDfx.h"

namespace {

const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kEnvironment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char* const kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

// Expansion passes allowed: a value that holds its own token would otherwise
// expand without end.
constexpr int kMaxExpansions = 64;

const std::string* Lookup(const TEnvironmentList& list, const std::string& name) {
    for (const auto& [n, v] : list) {
        if (DfxSameText(n, name)) {
            return &v;
        }
    }
    return nullptr;
}

// The first "%NAME%" (a name of at least one character) at or after `from`.
bool NextToken(const std::string& text, std::size_t from, std::size_t& start, std::size_t& end) {
    for (std::size_t open = text.find('%', from); open != std::string::npos;
         open = text.find('%', open + 1)) {
        std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) {
            return false;
        }
        if (close > open + 1) {
            start = open;
            end = close + 1;
            return true;
        }
    }
    return false;
}

} // namespace

bool ExpandWithEnvironment(std::string& text, const TEnvironmentList& list) {
    std::size_t start = 0;
    std::size_t end = 0;
    for (int pass = 0; NextToken(text, 0, start, end); ++pass) {
        std::string token = DfxUpperCase(text.substr(start, end - start)); // "%NAME%"
        const std::string* value = Lookup(list, token);
        if (value == nullptr || pass == kMaxExpansions) {
            SetLastError(ERROR_NO_TOKEN);
            return false;
        }
        text = DfxReplaceText(text, token, *value);
    }
    return true;
}

bool DfxGetMachineEnvironment(const std::string& machineName, TEnvironmentList& list) {
    list.clear();
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.ConnectMachine(IncludeLeadingBackslashes(machineName)) ||
        !reg.OpenKeyReadOnly(kCurrentVersion) || !reg.ValueExists("SystemRoot")) {
        return false;
    }
    std::string systemRoot = reg.ReadString("SystemRoot");
    list.emplace_back("%SYSTEMROOT%", systemRoot);
    list.emplace_back("%SYSTEMDRIVE%", ExtractFileDrive(systemRoot));
    list.emplace_back("%TMP%", systemRoot + "\\Temp");
    list.emplace_back("%TEMP%", systemRoot + "\\Temp");
    reg.CloseKey();
    if (!reg.OpenKeyReadOnly(kEnvironment) || !reg.ValueExists("windir")) {
        return false;
    }
    std::string windir = reg.ReadString("windir");
    if (!ExpandWithEnvironment(windir, list)) {
        return false;
    }
    list.emplace_back("%WINDIR%", windir);
    if (!reg.ValueExists("comspec")) {
        return false;
    }
    std::string comspec = reg.ReadString("comspec");
    if (!ExpandWithEnvironment(comspec, list)) {
        return false;
    }
    list.emplace_back("%COMSPEC%", comspec);
    return true;
}

bool DfxExpandMachineEnvironment(const std::string& machineName, std::string& text) {
    TEnvironmentList list;
    return DfxGetMachineEnvironment(machineName, list) && ExpandWithEnvironment(text, list);
}

bool ExpandLocalEnvironment(std::string& text) {
    DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    std::string buffer(size + 1, '\0');
    if (ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())) ==
        0) {
        return false;
    }
    text.assign(buffer.c_str());
    return true;
}

bool DfxExpandProfilePath(const std::string& machineName, std::string& text) {
    return machineName.empty() ? ExpandLocalEnvironment(text)
                               : DfxExpandMachineEnvironment(machineName, text);
}

bool DfxGetProfileImagePath(const std::string& machineName, const std::string& accountSid,
                            std::string& profileImagePath) {
    {
        TDfxRegistry reg(KEY_READ);
        reg.SelectRootKey(HKEY_LOCAL_MACHINE);
        bool connected =
            machineName.empty() || reg.ConnectMachine(IncludeLeadingBackslashes(machineName));
        if (!connected || !reg.OpenKeyReadOnly(kProfileList + accountSid) ||
            !reg.ValueExists("ProfileImagePath")) {
            return false;
        }
        profileImagePath = reg.ReadString("ProfileImagePath");
    }
    return DfxExpandProfilePath(machineName, profileImagePath);
}

bool DfxGetProfilesDirectory(const std::string& machineName, const std::string& accountSid,
                             std::string& profilesDirectory) {
    if (!DfxGetProfileImagePath(machineName, accountSid, profilesDirectory)) {
        return false;
    }
    std::string path = ExcludeTrailingBackslash(profilesDirectory);
    std::size_t sep = path.rfind('\\');
    profilesDirectory = sep == std::string::npos ? std::string() : path.substr(0, sep);
    return true;
}
