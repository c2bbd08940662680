// The program's error exception: its message is the text for the user, and
// making it writes that text to the log file.
#pragma once

#include "FormatDfx.h"

#include <stdexcept>
#include <string>

class EErrorMessageException : public std::runtime_error {
public:
    // Writes the message to the log first; when logging fails, the log's own
    // exception leaves the constructor instead.
    explicit EErrorMessageException(const std::string& message);
};

// "" when the thread's last Windows error is 0, else the system's text for it (at
// most 256 characters, without trailing blanks, control characters and full stops).
std::string DfxLastErrorText();

void DfxLogError(const std::string& message);
template <class... Args>
void DfxLogErrorFmt(std::string_view format, const Args&... args) {
    DfxLogError(DfxFormat(format, args...));
}

[[noreturn]] void DfxRaiseError(const std::string& message);
template <class... Args>
[[noreturn]] void DfxRaiseErrorFmt(std::string_view format, const Args&... args) {
    DfxRaiseError(DfxFormat(format, args...));
}
[[noreturn]] void DfxRaiseLastError();
