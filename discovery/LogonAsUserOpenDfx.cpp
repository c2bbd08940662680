// DfxOpenMachineConnection, kept with the widgets: it shows the wait cursor
// and the credentials dialog; the rest of LogonAsUserDfx builds without Qt.
#include "LogonAsUserDfx.h"
#include "NetRegConnectFrm.h"

#include "controls/WaitCursorDfx.h"
#include "engine/RegistryDfx.h"

int DfxOpenMachineConnection(const TNetRegConnectFormClass& dialogClass,
                             const std::string& machine) {
    ConnectionErrorText.clear();
    std::string name = IncludeLeadingBackslashes(machine);
    HKEY key = nullptr;
    LONG rc = ERROR_SUCCESS;
    {
        TDfxWaitCursor wait;
        rc = RegConnectRegistryA(name.c_str(), HKEY_LOCAL_MACHINE, &key);
    }
    int result = DFX_CONNECTED;
    if (rc != ERROR_SUCCESS) {
        key = nullptr;
        std::unique_ptr<TNetRegConnectForm> dialog = dialogClass(nullptr);
        result = dialog->ConnectWithCredentials(machine, HKEY_LOCAL_MACHINE, &key);
    }
    // Only proves that the registry can be reached: the connection stays, the key goes.
    if (result == DFX_CONNECTED && key != nullptr) {
        RegCloseKey(key);
    }
    return result;
}
