// What the last lab calls of this thread saw of the disk, reused by the calls
// that follow at once: a walk asks about each file three times in a row
// (attributes, reset, copy or delete) and searches each folder twice in a row.
// An answer is reused only within a millisecond and while no lab call of any
// thread has changed anything: the same as if the calls had come that much sooner.
#pragma once

#include "../WinApi.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace lab {

// Every call that changes a file or folder says so.
void NoteChange();

bool RecallStat(const std::string& path, struct stat& st);
void RememberStat(const std::string& path, const struct stat& st);

// A search, by its folder (a host path) and pattern.
bool RecallListing(const std::string& search, std::vector<WIN32_FIND_DATAA>& entries);
void RememberListing(const std::string& search, const std::vector<WIN32_FIND_DATAA>& entries);

} // namespace lab
