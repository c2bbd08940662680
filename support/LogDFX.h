// The log file beside the executable: one line per error, appended by every
// thread of the program and by other copies of it, serialised by a named lock.
#pragma once

#include "platform/WinApi.h"

#include <cstddef>
#include <mutex>
#include <string>

class TDfxLog final {
public:
    explicit TDfxLog(std::string fileName = {});
    ~TDfxLog();
    TDfxLog(const TDfxLog&) = delete;
    TDfxLog& operator=(const TDfxLog&) = delete;

    // Opens the file (emptying it) and the lock; nothing when already open.
    void Open();
    // Closes the file; the lock stays until the next Open or the end of the object.
    void Close();
    void WriteBuffer(const void* bytes, std::size_t length);
    void WriteString(const std::string& text);
    void WriteLine(const std::string& text);

    std::string FileName() const;
    // A different name closes the file, so that the next write opens the new one.
    void SetFileName(const std::string& fileName);
    bool Opened() const;

    // How long a write waits for the lock (1000 ms); a seam for tests.
    void SetLockWaitMs(DWORD milliseconds) { FLockWaitMs = milliseconds; }

    // The lock of a log file: every "\" made ".", in lower case.
    static std::string LockNameFor(const std::string& fileName);

private:
    void OpenLocked();
    void CloseLocked();

    // Keeps two threads from opening at once and a write from meeting a close.
    mutable std::mutex FGuard;
    std::string FFileName;
    HANDLE FFile = INVALID_HANDLE_VALUE;
    HANDLE FLock = nullptr;
    bool FOpened = false;
    DWORD FLockWaitMs = 1000;
};

// The executable's path with its extension replaced by ".Log" (".Log" appended
// when it has none).
std::string DfxLogFileNameFor(const std::string& executable);
std::string DfxDefaultLogFileName();

// The program's log, shared by all threads.
extern TDfxLog DfxLog;
