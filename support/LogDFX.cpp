#include "LogDFX.h"

#include "ExceptionDfx.h"
#include "FormatDfx.h"
#include "ModuleDfx.h"
#include "StrUtilsDfx.h"

#include <stdexcept>

namespace {

[[noreturn]] void RaiseLogError(const char* format) {
    throw std::runtime_error(DfxFormat(format, DfxLastErrorText()));
}

} // namespace

TDfxLog DfxLog(DfxDefaultLogFileName());

std::string DfxDefaultLogFileName() {
    return DfxLogFileNameFor(DfxExecutablePath());
}

std::string DfxLogFileNameFor(const std::string& executable) {
    std::string path = executable;
    std::size_t sep = path.find_last_of("\\/:");
    std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
        path.resize(dot);
    }
    return path + ".Log";
}

TDfxLog::TDfxLog(std::string fileName) : FFileName(std::move(fileName)) {}

TDfxLog::~TDfxLog() {
    CloseLocked();
    if (FLock != nullptr) {
        CloseHandle(FLock);
    }
}

std::string TDfxLog::LockNameFor(const std::string& fileName) {
    std::string name = fileName;
    for (char& c : name) {
        if (c == '\\') {
            c = '.';
        }
    }
    return DfxLowerCase(name);
}

std::string TDfxLog::FileName() const {
    std::lock_guard guard(FGuard);
    return FFileName;
}

void TDfxLog::SetFileName(const std::string& fileName) {
    std::lock_guard guard(FGuard);
    if (fileName != FFileName) {
        FFileName = fileName;
        CloseLocked();
    }
}

bool TDfxLog::Opened() const {
    std::lock_guard guard(FGuard);
    return FOpened;
}

void TDfxLog::Open() {
    std::lock_guard guard(FGuard);
    OpenLocked();
}

void TDfxLog::Close() {
    std::lock_guard guard(FGuard);
    CloseLocked();
}

void TDfxLog::OpenLocked() {
    if (FOpened) {
        return;
    }
    if (FFileName.empty()) {
        throw std::runtime_error("No log file name specified.");
    }
    if (FLock != nullptr) {
        CloseHandle(FLock);
        FLock = nullptr;
    }
    FFile = CreateFileA(FFileName.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (FFile == INVALID_HANDLE_VALUE) {
        RaiseLogError("LogDfx CreateFile, Error: %s");
    }
    FLock = CreateMutexA(nullptr, FALSE, LockNameFor(FFileName).c_str());
    if (FLock == nullptr) {
        std::string text = DfxLastErrorText();
        CloseHandle(FFile); // not left open: the next write tries again from the start
        FFile = INVALID_HANDLE_VALUE;
        throw std::runtime_error(DfxFormat("LogDfx CreateMutex, Error: %s", text));
    }
    FOpened = true;
}

void TDfxLog::CloseLocked() {
    if (FOpened) {
        CloseHandle(FFile);
        FFile = INVALID_HANDLE_VALUE;
        FOpened = false;
    }
}

void TDfxLog::WriteBuffer(const void* bytes, std::size_t length) {
    std::lock_guard guard(FGuard);
    // Logging is a side matter: the caller's last error is the same afterwards.
    DWORD saved = GetLastError();
    OpenLocked();
    if (WaitForSingleObject(FLock, FLockWaitMs) == WAIT_TIMEOUT) {
        RaiseLogError("LogDfx WaitForSingleObject, Error: %s");
    }
    LONG high = 0;
    SetLastError(0);
    if (SetFilePointer(FFile, 0, &high, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        std::string text = DfxLastErrorText();
        ReleaseMutex(FLock);
        throw std::runtime_error(DfxFormat("LogDfx SetFilePointer, Error: %s", text));
    }
    DWORD written = 0;
    if (!WriteFile(FFile, bytes, static_cast<DWORD>(length), &written, nullptr)) {
        std::string text = DfxLastErrorText();
        ReleaseMutex(FLock);
        throw std::runtime_error(DfxFormat("LogDfx WriteFile, Error: %s", text));
    }
    if (!ReleaseMutex(FLock)) {
        RaiseLogError("LogDfx ReleaseMutex, Error: %s");
    }
    SetLastError(saved);
}

void TDfxLog::WriteString(const std::string& text) {
    WriteBuffer(text.data(), text.size());
}

void TDfxLog::WriteLine(const std::string& text) {
    WriteString(text + "\r\n");
}
