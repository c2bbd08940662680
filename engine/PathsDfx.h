// Path helpers for Windows paths, which may also be paths of this computer in the lab.
#pragma once

#include <string>

std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);
// The part after the last "\" (or "/"); the whole text when there is none.
std::string ExtractFileName(const std::string& path);
// "C:" of "C:\WINNT", "\\server\share" of a UNC path, "" otherwise.
std::string ExtractFileDrive(const std::string& path);
// A drive letter and ":" at the start: "C:\...".
bool HasDriveLetter(const std::string& path);
