// The program's four actions for one machine: back up, restore (and copy) and
// clear the logged-on user's shell folder (Favorites: folder index 3).
//
// On false the thread's last error tells why: the resolver's codes when the
// folder cannot be found (see ShellFolderDfx.h), ERROR_INVALID_NAME for a machine
// name that could reach other folders, ERROR_BAD_PATHNAME for a folder that is
// not on a drive of the machine (redirected to a network share),
// ERROR_PATH_NOT_FOUND for a local source folder that does not exist,
// ERROR_CANCELLED when stopped, else that of the last failing file call.
#pragma once

#include "StopRequestDfx.h"

#include <string>

// A queued machine name that names one machine and nothing else: no path
// characters, not "." or "..". An empty name is this computer.
bool DfxIsValidMachineName(const std::string& machineName);

bool DfxBackupUserShellFolder(const std::string& machineName, const std::string& localPath,
                              int folderIndex, bool abortOnFailure, bool replaceExisting,
                              const TDfxStopRequest* stop = nullptr);
bool DfxRestoreUserShellFolder(const std::string& machineName, const std::string& localPath,
                               int folderIndex, const std::string& subFolder, bool abortOnFailure,
                               bool replaceExisting, const TDfxStopRequest* stop = nullptr);
// Deletes the folder's content (and the folder once empty); with `subPath`, only
// that of its subfolder named by the last part of `subPath`.
bool DfxClearUserShellFolder(const std::string& machineName, const std::string& subPath,
                             int folderIndex, const TDfxStopRequest* stop = nullptr);
