#pragma once

#include "RegHive.h"

#include <memory>
#include <string>

namespace lab {

// A read-only hive file, parsed once per modification; an empty hive when the
// file does not exist. Throws LabError when it is malformed.
std::shared_ptr<RegHive> HiveFile(const std::string& file, const std::string& root);

// Drops the cached hives and the current user's hive (they are read again on next use).
void ResetRegistry();

} // namespace lab
