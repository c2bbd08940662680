// Connections to a machine under another account: a network connection made
// with a user name and password, which the later registry and file calls to the
// machine run under, and its removal.
#pragma once

#include "FormClassDfx.h"

#include "platform/WinApi.h"

#include <string>

class TNetRegConnectForm;

// The description of the last failure of DfxOpenMachineConnection; emptied when
// it starts.
extern std::string ConnectionErrorText;

// Results of DfxOpenMachineConnection.
enum : int {
    DFX_CONNECTED = 1,
    DFX_CONNECT_CANCELLED = 2, // the credentials dialog's cancel result
    DFX_CONNECT_FAILED = 3,
};

// The dialog class argument: makes the credentials dialog (without an owner).
using TNetRegConnectFormClass = TDfxFormClass<TNetRegConnectForm>;

// Proves that the machine's registry can be reached, asking for credentials with
// a dialog of `dialogClass` when it cannot be reached as it is. Shows no message;
// the reason of a failure stays in ConnectionErrorText. Defined with the widgets
// (LogonAsUserOpenDfx.cpp).
int DfxOpenMachineConnection(const TNetRegConnectFormClass& dialogClass,
                             const std::string& machine);

// Removes the connection to the machine even when files are open on it.
bool DfxCloseMachineConnection(const std::string& machine);

// Connects to \\machine as `user` (as typed: a plain account or DOMAIN\name) with
// `password`; false with the reason in `errorText`. Nothing is kept or logged.
bool DfxConnectMachineAsUser(const std::string& machine, const std::string& user,
                             const std::string& password, std::string& errorText);

// The text of a WNet connection error; code 0 leaves `text` as it is.
void DfxWNetErrorText(DWORD code, std::string& text);

// What the credentials dialog does once confirmed: connects as the user, then
// opens the machine's `root`; 1 with the key in `key`, or 3 with the reason in
// ConnectionErrorText. A network connection made stays when the registry fails.
int DfxConnectRegistryAsUser(const std::string& machine, const std::string& user,
                             const std::string& password, HKEY root, HKEY* key);

// Overwrites a text that held a secret, so that it does not linger in freed memory.
void DfxScrubText(std::string& text);
