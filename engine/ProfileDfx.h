// A machine's environment and its users' profile folders, read through its registry.
#pragma once

#include "platform/WinApi.h"

#include <string>
#include <utility>
#include <vector>

// Ordered "%NAME%" and value pairs; names are looked up without regard to case.
using TEnvironmentList = std::vector<std::pair<std::string, std::string>>;

bool DfxGetMachineEnvironment(const std::string& machineName, TEnvironmentList& list);
// Replaces %NAME% tokens from the list, left to right. A text without tokens
// stays as it is; a token the list does not define fails with ERROR_NO_TOKEN.
bool ExpandWithEnvironment(std::string& text, const TEnvironmentList& list);
bool DfxExpandMachineEnvironment(const std::string& machineName, std::string& text);
bool ExpandLocalEnvironment(std::string& text);
// The machine's environment for a remote machine, this computer's for an empty name.
bool DfxExpandProfilePath(const std::string& machineName, std::string& text);

// Both are exported by name from the executable: the shell-folder resolver finds
// them there at run time.
DFX_EXPORT bool DfxGetProfileImagePath(const std::string& machineName,
                                       const std::string& accountSid,
                                       std::string& profileImagePath);
// The folder that holds the user's profile folder (C:\Documents and Settings).
DFX_EXPORT bool DfxGetProfilesDirectory(const std::string& machineName,
                                        const std::string& accountSid,
                                        std::string& profilesDirectory);

using TProfilePathFunction = bool (*)(const std::string&, const std::string&, std::string&);
