// Copying and deleting whole folder trees, with the program's rules: subfolders
// before files, each source file's attributes reset before it is touched, every
// item tried unless told to abort, and emptied folders removed when deleting.
#pragma once

#include "StopRequestDfx.h"

#include <string>
#include <vector>

enum class TFolderTreeMode { ftmDelete, ftmCopy };

// Search attribute masks: every entry kind (63), every kind but folders (47).
constexpr unsigned kAllEntries = 63;
constexpr unsigned kFileEntries = 47;

// True when every item succeeded (and, deleting, the emptied folder went).
// Junctions and links are never entered: deleting removes the link itself,
// copying skips it. A stop request, seen before each item, ends the walk with
// false and ERROR_CANCELLED, leaving everything not yet reached untouched.
bool DfxProcessFolderTree(TFolderTreeMode mode, const std::string& sourceDir,
                          const std::string& mask, const std::string& destDir, bool abortOnFailure,
                          bool replaceExisting, const TDfxStopRequest* stop = nullptr);
bool DfxCopyFolderTree(const std::string& sourceDir, const std::string& mask,
                       const std::string& destDir, bool abortOnFailure, bool replaceExisting,
                       const TDfxStopRequest* stop = nullptr);
bool DfxDeleteFolderTree(const std::string& dir, const std::string& mask, bool abortOnFailure,
                         const TDfxStopRequest* stop = nullptr);

// Append names (not paths) in the order the search returns them; a folder that
// cannot be read lists nothing.
void DfxListSubfolders(std::vector<std::string>& list, const std::string& dir);
void DfxListFiles(std::vector<std::string>& list, const std::string& dir, const std::string& mask);
// True also when the folder cannot be searched or does not exist.
bool DfxIsFolderEmpty(const std::string& dir);
bool DfxRemoveFolderIfEmpty(const std::string& dir);

// "*" any run, "?" one character, [a-c] and [!x] sets, the rest itself without
// regard to case; the mask covers the whole name ("*.*" needs a dot).
bool DfxMatchesMask(const std::string& name, const std::string& mask);
// ".", ".." and " ": names every listing skips.
bool DfxIsIgnoredEntryName(const std::string& name);
