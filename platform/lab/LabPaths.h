// Windows paths to paths of this computer, as the lab's rules have it:
// \\PC1\C$\rest is machines/PC1/C/rest, C:\rest is drive C of the lab's local
// machine, and anything else is a path of this computer with \ or / between parts.
#pragma once

#include "../WinApi.h"

#include <sys/stat.h>

#include <string>

namespace lab {

enum class Access { Read, Write };

struct HostPath {
    std::string path;
    bool inLab = false;  // a lab machine's drive: names match without regard to case
    bool isRoot = false; // the root of a drive
    DWORD delayMs = 0;   // the machine's simulated slowness per file operation
    bool exists = false; // what lstat() said of the path while it was translated
    struct stat st {};
};

// 0 and the host path, or the Windows error code the path gives for that access.
DWORD TranslatePath(const char* windowsPath, Access access, HostPath& out);

// The Windows error code for an errno value met on `hostPath`.
DWORD ErrorFromErrno(int error, const std::string& hostPath);

} // namespace lab
