// Reading and writing .reg files: the REGEDIT4 form (ANSI) and the
// "Windows Registry Editor Version 5.00" form (UTF-16LE with a byte-order mark
// as regedit writes it, or UTF-8), so that a real export can be dropped in.
#pragma once

#include "RegHive.h"

#include <memory>
#include <string>
#include <string_view>

namespace lab {

// Parses `bytes` into a hive whose root is `rootName` (every key of the file must
// lie below it). Throws LabError naming `fileName`, the line and the fault.
std::unique_ptr<RegHive> ParseRegFile(std::string_view bytes, const std::string& fileName,
                                      const std::string& rootName);

// The hive in the REGEDIT4 form: ANSI, CR LF line ends, every key in order.
std::string WriteRegFile(const RegHive& hive);

} // namespace lab
