// State the lab keeps for the life of the process: network connections made with
// credentials, counters the tests read, faults the tests inject, and the last
// complaint about a malformed lab file.
#pragma once

#include "../WinApi.h"

#include <string>
#include <string_view>

namespace lab {

void AddConnection(std::string_view machine);
bool RemoveConnection(std::string_view machine);
bool HasConnection(std::string_view machine);

// Records a malformed-file message (printed once to standard error) and
// returns `code` so that callers can write `return Complain(e, ERROR_BADDB);`.
DWORD Complain(const std::string& message, DWORD code);

void CountRemoteConnect();
bool IsKeyProtected(std::string_view fullPath);
int WinsockStartupFault();

// The extended error of the last failing WNet call on this thread.
void SetExtendedError(DWORD code, std::string text, std::string provider);
bool GetExtendedError(DWORD& code, std::string& text, std::string& provider);

// Forgets connections, counters, faults and complaints.
void ResetState();

} // namespace lab
