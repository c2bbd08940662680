// The system's message text for a Windows error code.
#pragma once

#include "platform/WinApi.h"

#include <string>

// The text without its final line break; "System error N" when the system has none.
// The thread's last-error code is left as it was.
std::string DfxSysErrorMessage(DWORD code);
