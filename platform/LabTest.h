// What tests may ask of the lab beyond the Windows operations: a look inside
// (open handles, connections made) and faults to inject. Lab builds only.
#pragma once

#include <string>

namespace lab::test {

// Registry handles opened (RegOpenKeyExA, RegCreateKeyExA, RegConnectRegistryA)
// and not yet closed.
int OpenKeyCount();
// Of those, the remote root keys returned by RegConnectRegistryA.
int OpenRemoteRootCount();
// Successful RegConnectRegistryA calls to another machine since the last reset.
int RemoteConnectCount();
// Files, searches, locks and enumerations opened and not yet closed.
int OpenHandleCount();

// Forgets connections, counters, faults, cached files and the last complaint.
void Reset();

// RegDeleteKeyA of this key ("HKEY_CURRENT_USER\Software\...") fails with
// ERROR_ACCESS_DENIED, as a key whose permissions forbid deletion.
void ProtectKey(const std::string& fullPath);
// WSAStartup fails with this Windows Sockets code (0: it works).
void FailWinsockStartup(int code);

// The last complaint about a malformed lab file ("file:line: what is wrong").
std::string LastComplaint();
// Loads every file of the lab and returns the first complaint, or "" when all are sound.
std::string CheckLab();

} // namespace lab::test
