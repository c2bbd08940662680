#include "LabJson.h"

#include "LabError.h"

#include <nlohmann/json.hpp>

#include <iterator>

namespace lab {

namespace {

// An input iterator over the text that publishes how far the parser has read,
// so that every value can be given the line it ends on.
struct TrackingIterator {
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* p = nullptr;
    const char** cursor = nullptr;

    reference operator*() const { return *p; }
    TrackingIterator& operator++() {
        ++p;
        *cursor = p;
        return *this;
    }
    TrackingIterator operator++(int) {
        TrackingIterator old = *this;
        ++*this;
        return old;
    }
    bool operator==(const TrackingIterator& other) const { return p == other.p; }
};

class Builder {
public:
    using json = nlohmann::json;

    Builder(std::string_view text, const std::string& fileName)
        : text_(text), fileName_(fileName), cursor_(text.data()), counted_(text.data()) {}

    JsonValue Take() { return std::move(root_); }

    bool null() { return Add(JsonValue{}); }
    bool boolean(bool value) {
        JsonValue v;
        v.kind = JsonValue::Kind::Bool;
        v.boolean = value;
        return Add(std::move(v));
    }
    bool number_integer(json::number_integer_t value) {
        JsonValue v;
        v.kind = JsonValue::Kind::Integer;
        v.integer = value;
        v.number = static_cast<double>(value);
        return Add(std::move(v));
    }
    bool number_unsigned(json::number_unsigned_t value) {
        if (value > static_cast<json::number_unsigned_t>(INT64_MAX)) {
            Fail(CurrentLine(), "number too large");
        }
        return number_integer(static_cast<json::number_integer_t>(value));
    }
    bool number_float(json::number_float_t value, const std::string&) {
        JsonValue v;
        v.kind = JsonValue::Kind::Float;
        v.number = value;
        return Add(std::move(v));
    }
    bool string(std::string& value) {
        JsonValue v;
        v.kind = JsonValue::Kind::String;
        v.text = std::move(value);
        return Add(std::move(v));
    }
    bool binary(json::binary_t&) { return false; }
    bool start_object(std::size_t) {
        JsonValue v;
        v.kind = JsonValue::Kind::Object;
        return Open(std::move(v));
    }
    bool key(std::string& name) {
        JsonValue* object = stack_.back();
        for (const auto& member : object->members) {
            if (member.first == name) {
                Fail(CurrentLine(), "duplicate field \"" + name + "\"");
            }
        }
        pendingKey_ = std::move(name);
        return true;
    }
    bool end_object() {
        stack_.pop_back();
        return true;
    }
    bool start_array(std::size_t) {
        JsonValue v;
        v.kind = JsonValue::Kind::Array;
        return Open(std::move(v));
    }
    bool end_array() {
        stack_.pop_back();
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& ex) {
        std::string what = ex.what();
        // nlohmann's texts start with "[json.exception.parse_error.101] parse error at line 1,
        // column 2: ".
        auto colon = what.find(": ", what.find("parse error"));
        if (colon != std::string::npos) {
            what = what.substr(colon + 2);
        }
        Fail(LineOf(position == 0 ? 0 : position - 1), what);
        return false;
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) const {
        throw LabError(fileName_ + ":" + std::to_string(line) + ": " + what);
    }

    int LineOf(std::size_t offset) const {
        int line = 1;
        for (std::size_t i = 0; i < offset && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
            }
        }
        return line;
    }

    // The line of the token just read: the parser may have looked one character
    // past it (a number is ended by the next character), so step back over that.
    int CurrentLine() {
        while (counted_ < cursor_) {
            if (*counted_++ == '\n') {
                ++line_;
            }
        }
        int line = line_;
        const char* p = cursor_;
        while (p > text_.data() &&
               (p[-1] == ' ' || p[-1] == '\t' || p[-1] == '\r' || p[-1] == '\n' || p[-1] == ',' ||
                p[-1] == '}' || p[-1] == ']')) {
            if (p[-1] == '\n') {
                --line;
            }
            --p;
        }
        return line;
    }

    JsonValue* Place(JsonValue value) {
        value.line = CurrentLine();
        if (stack_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        JsonValue* parent = stack_.back();
        if (parent->kind == JsonValue::Kind::Array) {
            parent->items.push_back(std::move(value));
            return &parent->items.back();
        }
        parent->members.emplace_back(std::move(pendingKey_), std::move(value));
        return &parent->members.back().second;
    }
    bool Add(JsonValue value) {
        Place(std::move(value));
        return true;
    }
    bool Open(JsonValue value) {
        stack_.push_back(Place(std::move(value)));
        return true;
    }

public:
    const char** Cursor() { return &cursor_; }

private:
    std::string_view text_;
    const std::string& fileName_;
    const char* cursor_;
    const char* counted_;
    int line_ = 1;
    JsonValue root_;
    std::vector<JsonValue*> stack_;
    std::string pendingKey_;
};

} // namespace

JsonValue::JsonValue() = default;

const JsonValue* JsonValue::Find(std::string_view name) const {
    for (const auto& member : members) {
        if (member.first == name) {
            return &member.second;
        }
    }
    return nullptr;
}

const char* JsonValue::KindName(Kind kind) {
    switch (kind) {
    case Kind::Null:
        return "null";
    case Kind::Bool:
        return "true or false";
    case Kind::Integer:
        return "a whole number";
    case Kind::Float:
        return "a number";
    case Kind::String:
        return "a text";
    case Kind::Array:
        return "a list";
    case Kind::Object:
        return "an object";
    }
    return "?";
}

JsonValue ParseJson(std::string_view text, const std::string& fileName) {
    Builder builder(text, fileName);
    TrackingIterator first{text.data(), builder.Cursor()};
    TrackingIterator last{text.data() + text.size(), builder.Cursor()};
    // Comments are allowed: a hand-written lab is easier to read with them.
    nlohmann::json::sax_parse(first, last, &builder, nlohmann::json::input_format_t::json, true,
                              true);
    return builder.Take();
}

} // namespace lab
