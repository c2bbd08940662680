// JSON values of the lab's description files, each with the line it stands on,
// so that a malformed file is reported by file and line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lab {

struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Bool, Integer, Float, String, Array, Object };
    Kind kind = Kind::Null;
    int line = 0;
    bool boolean = false;
    int64_t integer = 0;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;    // Array
    std::vector<JsonMember> members; // Object, in file order

    const JsonValue* Find(std::string_view name) const;
    static const char* KindName(Kind kind);
};

struct JsonMember {
    std::string first; // the name
    JsonValue second;
};

// Parses `text`; on failure throws LabError naming `fileName`, the line and the fault.
JsonValue ParseJson(std::string_view text, const std::string& fileName);

} // namespace lab
