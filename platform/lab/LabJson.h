// JSON values of the lab's description files, each with the line it stands on,
// so that a malformed file is reported by file and line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lab {

struct JsonValue {
    // Declared here and defined with the parser: a constructor defined in the
    // class would need std::pair<std::string, JsonValue> complete while JsonValue
    // is not yet, which clang refuses.
    JsonValue();

    enum class Kind { Null, Bool, Integer, Float, String, Array, Object };
    Kind kind = Kind::Null;
    int line = 0;
    bool boolean = false;
    int64_t integer = 0;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;                           // Array
    std::vector<std::pair<std::string, JsonValue>> members; // Object, in file order

    const JsonValue* Find(std::string_view name) const;
    static const char* KindName(Kind kind);
};

// Parses `text`; on failure throws LabError naming `fileName`, the line and the fault.
JsonValue ParseJson(std::string_view text, const std::string& fileName);

} // namespace lab
