#include "LogonAsUserDfx.h"

#include "engine/RegistryDfx.h"
#include "support/FormatDfx.h"
#include "support/SysErrorDfx.h"

std::string ConnectionErrorText;

bool DfxCloseMachineConnection(const std::string& machine) {
    std::string name = IncludeLeadingBackslashes(machine);
    return WNetCancelConnection2A(name.c_str(), 0, TRUE) == NO_ERROR;
}

bool DfxConnectMachineAsUser(const std::string& machine, const std::string& user,
                             const std::string& password, std::string& errorText) {
    std::string remote = IncludeLeadingBackslashes(machine);
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = remote.data();
    DWORD rc = WNetAddConnection2A(&resource, password.empty() ? nullptr : password.c_str(),
                                   user.empty() ? nullptr : user.c_str(), 0);
    if (rc == NO_ERROR) {
        return true;
    }
    DfxWNetErrorText(rc, errorText);
    return false;
}

void DfxWNetErrorText(DWORD code, std::string& text) {
    if (code == NO_ERROR) {
        return;
    }
    if (code != ERROR_EXTENDED_ERROR) {
        text = DfxSysErrorMessage(code);
        return;
    }
    DWORD error = 0;
    char errorText[80] = {};
    char provider[80] = {};
    if (WNetGetLastErrorA(&error, errorText, sizeof errorText, provider, sizeof provider) !=
        NO_ERROR) {
        text = "WNetGetLastError failed"; // as the enumeration says it
        return;
    }
    errorText[sizeof errorText - 1] = '\0';
    provider[sizeof provider - 1] = '\0';
    text = DfxFormat("Extended Error: %s from %s", errorText, provider);
}

int DfxConnectRegistryAsUser(const std::string& machine, const std::string& user,
                             const std::string& password, HKEY root, HKEY* key) {
    if (!DfxConnectMachineAsUser(machine, user, password, ConnectionErrorText)) {
        return DFX_CONNECT_FAILED;
    }
    std::string name = IncludeLeadingBackslashes(machine);
    LONG rc = RegConnectRegistryA(name.c_str(), root, key);
    if (rc == ERROR_SUCCESS) {
        return DFX_CONNECTED;
    }
    ConnectionErrorText = DfxFormat("Unable to connect to: %s%S%s", machine, "\r\n",
                                    DfxSysErrorMessage(static_cast<DWORD>(rc)));
    return DFX_CONNECT_FAILED;
}

void DfxScrubText(std::string& text) {
    // Through a volatile pointer, so that the stores are not dropped as dead.
    volatile char* p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        p[i] = '\0';
    }
    text.clear();
}
