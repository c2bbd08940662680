#include "ExceptionDfx.h"

#include "LogDFX.h"
#include "SysErrorDfx.h"

EErrorMessageException::EErrorMessageException(const std::string& message)
    : std::runtime_error(message) {
    DfxLogError(message);
}

std::string DfxLastErrorText() {
    DWORD code = GetLastError();
    if (code == 0) {
        return {};
    }
    std::string text = DfxSysErrorMessage(code);
    if (text.size() > 256) {
        text.resize(256);
    }
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

void DfxLogError(const std::string& message) {
    std::string text = DfxLastErrorText();
    DfxLog.WriteLine(text.empty() ? message : message + " ERROR: " + text);
}

void DfxRaiseError(const std::string& message) {
    throw EErrorMessageException(message);
}

void DfxRaiseLastError() {
    DfxRaiseError(DfxLastErrorText());
}
