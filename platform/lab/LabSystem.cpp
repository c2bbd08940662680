// The thread's last error, the system's message texts, and what the lab knows of
// this computer and this program.
#include "../WinApi.h"
#include "LabError.h"
#include "LabModel.h"
#include "LabState.h"
#include "LabText.h"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

thread_local DWORD tLastError = 0;

struct MessageText {
    DWORD code;
    const char* text;
};

// The system's texts for the codes the program meets, as Windows XP words them.
constexpr MessageText kMessages[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {13, "The data is invalid."},
    {14, "Not enough storage is available to complete this operation."},
    {18, "There are no more files."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {32, "The process cannot access the file because it is being used by another process."},
    {38, "Reached the end of the file."},
    {50, "The request is not supported."},
    {53, "The network path was not found."},
    {65, "Network access is denied."},
    {67, "The network name cannot be found."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {127, "The specified procedure could not be found."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {258, "The wait operation timed out."},
    {259, "No more data is available."},
    {267, "The directory name is invalid."},
    {288, "Attempt to release mutex not owned by caller."},
    {317, "The system cannot find message text for message number 0x%1 in the message file for "
          "%2."},
    {1008, "An attempt was made to reference a token that does not exist."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1012, "The configuration registry key could not be read."},
    {1013, "The configuration registry key could not be written."},
    {1016, "An I/O operation initiated by the registry failed unrecoverably. The registry could "
           "not read in, or write out, or flush, one of the files that contain the system's "
           "image of the registry."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
    {1200, "The specified device name is invalid."},
    {1203, "No network provider accepted the given network path."},
    {1204, "The specified network provider name is invalid."},
    {1059, "Circular service dependency was specified."},
    {1208, "An extended error has occurred."},
    {1219, "Multiple connections to a server or shared resource by the same user, using more "
           "than one user name, are not allowed. Disconnect all previous connections to the "
           "server or shared resource and try again."},
    {1222, "The network is not present or not started."},
    {1223, "The operation was canceled by the user."},
    {1245, "The operation being requested was not performed because the user has not logged on "
           "to the network. The specified service does not exist."},
    {1326, "Logon failure: unknown user name or bad password."},
    {1332, "No mapping between account names and security IDs was done."},
    {1337, "The security ID structure is invalid."},
    {1460, "This operation returned because the timeout period expired."},
    {1722, "The RPC server is unavailable."},
    {2250, "This network connection does not exist."},
    {10091, "WSAStartup cannot function at this time because the underlying system it uses to "
            "provide network services is currently unavailable."},
    {10092, "The Windows Sockets version requested is not supported."},
    {10093, "Either the application has not called WSAStartup, or WSAStartup failed."},
    {11001, "No such host is known."},
    {11004, "The requested name is valid, but no data of the requested type was found."},
};

std::string ExecutablePath() {
    char buf[4096] = {};
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// This computer's environment: network.json's "environment" first, then the process's own.
bool LookUpVariable(const std::string& name, std::string& value) {
    try {
        auto net = lab::LoadNetwork();
        for (const auto& [n, v] : net->environment) {
            if (lab::EqualsNoCase(n, name)) {
                value = v;
                return true;
            }
        }
    } catch (const lab::LabError& e) {
        lab::Complain(e.what(), ERROR_INVALID_DATA);
    }
    if (const char* v = std::getenv(name.c_str())) {
        value = v;
        return true;
    }
    return false;
}

} // namespace

DWORD WINAPI GetLastError() {
    return tLastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    tLastError = dwErrCode;
}

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer,
                            DWORD nSize, void*) {
    if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (const MessageText& m : kMessages) {
        if (m.code == dwMessageId) {
            std::string text = std::string(m.text) + "\r\n";
            if (text.size() + 1 > nSize) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
            return static_cast<DWORD>(text.size());
        }
    }
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
}

BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
    if (lpBuffer == nullptr || nSize == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name;
    try {
        name = lab::LocalComputerName();
    } catch (const lab::LabError& e) {
        SetLastError(lab::Complain(e.what(), ERROR_INVALID_DATA));
        return FALSE;
    }
    if (*nSize < name.size() + 1) {
        *nSize = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
    *nSize = static_cast<DWORD>(name.size());
    return TRUE;
}

DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // As Windows does: %NAME% of a defined variable is replaced, anything else stays.
    std::string src = lpSrc;
    std::string out;
    std::size_t i = 0;
    while (i < src.size()) {
        std::size_t open = src.find('%', i);
        if (open == std::string::npos) {
            out.append(src, i, std::string::npos);
            break;
        }
        out.append(src, i, open - i);
        std::size_t close = src.find('%', open + 1);
        std::string value;
        if (close != std::string::npos && close > open + 1 &&
            LookUpVariable(src.substr(open + 1, close - open - 1), value)) {
            out += value;
            i = close + 1;
        } else {
            out.push_back('%');
            i = open + 1;
        }
    }
    auto needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst != nullptr && nSize >= needed) {
        std::memcpy(lpDst, out.c_str(), needed);
    }
    return needed;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr || lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = ExecutablePath();
    if (path.size() + 1 > nSize) {
        std::memcpy(lpFilename, path.c_str(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName != nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND); // the lab knows only the program itself
        return nullptr;
    }
    static char self;
    return reinterpret_cast<HMODULE>(&self);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The executable's own exports: it is linked with its symbols exported (-rdynamic).
    void* symbol = dlsym(RTLD_DEFAULT, lpProcName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}
