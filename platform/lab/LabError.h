// A fault in the lab's own files (a malformed description, hive or folder).
#pragma once

#include <stdexcept>
#include <string>

namespace lab {

class LabError : public std::runtime_error {
public:
    explicit LabError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace lab
