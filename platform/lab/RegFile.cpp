#include "RegFile.h"

#include "LabError.h"
#include "LabText.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lab {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

// Predefined key names and the short forms some tools write.
std::string_view CanonicalRoot(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kRoots[] = {
        {"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE"},
        {"HKLM", "HKEY_LOCAL_MACHINE"},
        {"HKEY_USERS", "HKEY_USERS"},
        {"HKU", "HKEY_USERS"},
        {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER"},
        {"HKCU", "HKEY_CURRENT_USER"},
        {"HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT"},
        {"HKCR", "HKEY_CLASSES_ROOT"},
    };
    for (const auto& [alias, canonical] : kRoots) {
        if (EqualsNoCase(alias, name)) {
            return canonical;
        }
    }
    return {};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class Parser {
public:
    Parser(std::string_view text, bool unicodeData, const std::string& fileName,
           const std::string& rootName)
        : text_(text), unicodeData_(unicodeData), fileName_(fileName), rootName_(rootName),
          hive_(std::make_unique<RegHive>(rootName)) {}

    std::unique_ptr<RegHive> Run(std::size_t bodyStart, int bodyLine) {
        pos_ = bodyStart;
        line_ = bodyLine;
        while (pos_ < text_.size()) {
            std::string_view line = NextLine();
            std::size_t i = SkipBlanks(line, 0);
            if (i == line.size() || line[i] == ';') {
                continue;
            }
            if (line[i] == '[') {
                KeyLine(line.substr(i));
            } else if (line[i] == '"' || line[i] == '@') {
                ValueLine(line, i);
            } else {
                Fail("expected a [key] line, a \"value\"= line or a ; comment");
            }
        }
        return std::move(hive_);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw LabError(fileName_ + ":" + std::to_string(lineOfItem_) + ": " + what);
    }

    // The next physical line, without its CR LF or LF.
    std::string_view NextLine() {
        ++line_;
        lineOfItem_ = line_;
        const char* start = text_.data() + pos_;
        const void* nl = std::memchr(start, '\n', text_.size() - pos_);
        std::size_t end =
            nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - text_.data())
                          : text_.size();
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end < text_.size() ? end + 1 : end;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    static std::size_t SkipBlanks(std::string_view s, std::size_t i) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            ++i;
        }
        return i;
    }

    void KeyLine(std::string_view line) {
        std::size_t close = line.rfind(']');
        if (close == std::string_view::npos) {
            Fail("the key line has no closing \"]\"");
        }
        if (SkipBlanks(line, close + 1) != line.size() &&
            line[SkipBlanks(line, close + 1)] != ';') {
            Fail("text after the key's closing \"]\"");
        }
        std::string_view path = line.substr(1, close - 1);
        if (!path.empty() && path[0] == '-') {
            Fail("deleting a key ([-...]) is not supported in a lab hive; remove the key instead");
        }
        std::size_t slash = path.find('\\');
        std::string_view root = path.substr(0, slash);
        if (CanonicalRoot(root) != rootName_) {
            Fail("the key \"" + std::string(path) + "\" is not under " + rootName_);
        }
        // Walk from the longest prefix shared with the previous key: files list a
        // parent's subkeys one after the other, so this is nearly always a step or two.
        std::size_t depth = 0;
        std::size_t start = slash == std::string_view::npos ? path.size() : slash + 1;
        RegKey* key = hive_->Root();
        bool shared = true;
        while (start < path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string_view::npos) {
                end = path.size();
            }
            std::string_view part = path.substr(start, end - start);
            if (part.empty()) {
                Fail("the key \"" + std::string(path) + "\" has an empty name part");
            }
            if (shared && depth < stack_.size() && EqualsNoCase(stack_[depth]->Name(), part)) {
                key = stack_[depth];
            } else {
                shared = false;
                stack_.resize(depth);
                RegKey* child = key->FindChild(part);
                key = child != nullptr ? child : hive_->AddChild(key, part);
                stack_.push_back(key);
            }
            ++depth;
            start = end + 1;
        }
        stack_.resize(depth);
        current_ = key;
    }

    // A quoted text starting at line[i] == '"'; returns the index after the closing quote.
    std::size_t QuotedText(std::string_view line, std::size_t i, std::string& out) {
        out.clear();
        ++i;
        while (i < line.size()) {
            char c = line[i];
            if (c == '"') {
                return i + 1;
            }
            if (c == '\\' && i + 1 < line.size()) {
                char next = line[i + 1];
                if (next == '\\' || next == '"') {
                    out.push_back(next);
                    i += 2;
                    continue;
                }
            }
            out.push_back(c);
            ++i;
        }
        Fail("a quoted text has no closing quote");
    }

    void ValueLine(std::string_view line, std::size_t i) {
        if (current_ == nullptr) {
            Fail("a value comes before the first [key] line");
        }
        std::string name;
        if (line[i] == '@') {
            ++i;
        } else {
            i = QuotedText(line, i, name);
        }
        i = SkipBlanks(line, i);
        if (i >= line.size() || line[i] != '=') {
            Fail("expected \"=\" after the value name");
        }
        i = SkipBlanks(line, i + 1);
        std::string_view rest = line.substr(i);
        if (rest.empty()) {
            Fail("the value \"" + name + "\" has no data");
        }
        if (rest[0] == '-') {
            Fail("deleting a value (=-) is not supported in a lab hive; remove the line instead");
        }
        if (rest[0] == '"') {
            std::string data;
            std::size_t after = QuotedText(rest, 0, data);
            CheckEnd(rest, after);
            data.push_back('\0');
            current_->SetValue(name, 1 /* REG_SZ */, std::move(data));
            return;
        }
        if (StartsNoCase(rest, "dword:")) {
            std::string_view digits = rest.substr(6);
            std::size_t n = 0;
            uint32_t v = 0;
            while (n < digits.size() && HexDigit(digits[n]) >= 0) {
                v = (v << 4) | static_cast<uint32_t>(HexDigit(digits[n]));
                ++n;
            }
            if (n == 0 || n > 8) {
                Fail("dword: needs 1 to 8 hexadecimal digits");
            }
            CheckEnd(digits, n);
            std::string data(4, '\0');
            for (int b = 0; b < 4; ++b) {
                data[b] = static_cast<char>((v >> (8 * b)) & 0xFF);
            }
            current_->SetValue(name, 4 /* REG_DWORD */, std::move(data));
            return;
        }
        if (StartsNoCase(rest, "hex")) {
            HexValue(name, rest);
            return;
        }
        Fail("unknown data for the value \"" + name + "\" (expected \"text\", dword: or hex:)");
    }

    void CheckEnd(std::string_view s, std::size_t i) {
        i = SkipBlanks(s, i);
        if (i != s.size() && s[i] != ';') {
            Fail("unexpected text after the value's data");
        }
    }

    static bool StartsNoCase(std::string_view s, std::string_view prefix) {
        return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
    }

    void HexValue(const std::string& name, std::string_view rest) {
        uint32_t type = 3; // REG_BINARY
        std::size_t i = 3;
        if (i < rest.size() && rest[i] == '(') {
            std::size_t close = rest.find(')', i);
            if (close == std::string_view::npos || close == i + 1 || close > i + 9) {
                Fail("hex(...) needs a type number in hexadecimal");
            }
            type = 0;
            for (std::size_t k = i + 1; k < close; ++k) {
                int d = HexDigit(rest[k]);
                if (d < 0) {
                    Fail("hex(...) needs a type number in hexadecimal");
                }
                type = (type << 4) | static_cast<uint32_t>(d);
            }
            i = close + 1;
        }
        if (i >= rest.size() || rest[i] != ':') {
            Fail("expected \":\" after hex");
        }
        ++i;
        std::string data;
        std::string_view part = rest.substr(i);
        for (;;) {
            bool more = HexBytes(part, data);
            if (!more) {
                break;
            }
            if (pos_ >= text_.size()) {
                Fail("the data of \"" + name + "\" continues past the end of the file");
            }
            part = NextLine();
        }
        bool text = type == 1 || type == 2 || type == 6 || type == 7;
        if (unicodeData_ && text) {
            data = Utf16LeToAnsi(data);
        }
        current_->SetValue(name, type, std::move(data));
    }

    // Appends the bytes of "aa,bb,..." and tells whether a "\" continues them on the next line.
    bool HexBytes(std::string_view s, std::string& out) {
        std::size_t i = SkipBlanks(s, 0);
        bool expectByte = true;
        while (i < s.size()) {
            char c = s[i];
            if (c == '\\') {
                if (SkipBlanks(s, i + 1) != s.size()) {
                    Fail("text after the line-continuing \"\\\"");
                }
                return true;
            }
            if (c == ';') {
                break;
            }
            if (expectByte) {
                int hi = HexDigit(c);
                int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
                if (hi < 0 || lo < 0) {
                    Fail("expected a byte of two hexadecimal digits");
                }
                out.push_back(static_cast<char>((hi << 4) | lo));
                i += 2;
                expectByte = false;
            } else if (c == ',') {
                ++i;
                expectByte = true;
            } else {
                Fail("expected \",\" between the bytes");
            }
            i = SkipBlanks(s, i);
        }
        if (expectByte && !out.empty()) {
            Fail("a \",\" ends the bytes without a following byte");
        }
        return false;
    }

    std::string_view text_;
    bool unicodeData_;
    const std::string& fileName_;
    const std::string& rootName_;
    std::unique_ptr<RegHive> hive_;
    std::size_t pos_ = 0;
    int line_ = 0;
    int lineOfItem_ = 0;
    RegKey* current_ = nullptr;
    std::vector<RegKey*> stack_;
};

void AppendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

// REG_SZ data that the quoted form keeps exactly: one final NUL, no other NUL, no line break.
bool QuotableText(std::string_view data) {
    if (data.empty() || data.back() != '\0') {
        return false;
    }
    data.remove_suffix(1);
    for (char c : data) {
        if (c == '\0' || c == '\r' || c == '\n') {
            return false;
        }
    }
    return true;
}

void AppendHex(std::string& out, std::size_t prefixLength, std::string_view data) {
    static const char* kDigits = "0123456789abcdef";
    std::size_t column = prefixLength;
    for (std::size_t i = 0; i < data.size(); ++i) {
        auto b = static_cast<unsigned char>(data[i]);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
        column += 2;
        if (i + 1 < data.size()) {
            out.push_back(',');
            ++column;
            if (column > 76) { // wrapped as regedit does, under 80 columns
                out += "\\\r\n  ";
                column = 2;
            }
        }
    }
}

void WriteKey(std::string& out, const RegKey& key, const std::string& path) {
    out += '[';
    out += path;
    out += "]\r\n";
    for (const RegValue& value : key.Values()) {
        std::size_t lineStart = out.size();
        if (value.name.empty()) {
            out.push_back('@');
        } else {
            AppendQuoted(out, value.name);
        }
        out.push_back('=');
        if (value.type == 1 && QuotableText(value.data)) {
            AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
        } else if (value.type == 4 && value.data.size() == 4) {
            uint32_t v = 0;
            for (int b = 3; b >= 0; --b) {
                v = (v << 8) | static_cast<unsigned char>(value.data[b]);
            }
            char digits[16];
            std::snprintf(digits, sizeof digits, "dword:%08x", v);
            out += digits;
        } else {
            if (value.type == 3) {
                out += "hex:";
            } else {
                char prefix[24];
                std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
                out += prefix;
            }
            AppendHex(out, out.size() - lineStart, value.data);
        }
        out += "\r\n";
    }
    out += "\r\n";
    for (const RegKey* child : key.Children()) {
        WriteKey(out, *child, path + '\\' + child->Name());
    }
}

} // namespace

std::unique_ptr<RegHive> ParseRegFile(std::string_view bytes, const std::string& fileName,
                                      const std::string& rootName) {
    std::string decoded;
    std::string_view text = bytes;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        decoded = Utf16LeToAnsi(bytes.substr(2));
        text = decoded;
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        decoded = Utf8ToAnsi(bytes.substr(3));
        text = decoded;
    }
    std::size_t firstEnd = text.find('\n');
    std::string_view first = text.substr(0, firstEnd);
    if (!first.empty() && first.back() == '\r') {
        first.remove_suffix(1);
    }
    while (!first.empty() && (first.back() == ' ' || first.back() == '\t')) {
        first.remove_suffix(1);
    }
    bool version5 = first == kHeader5;
    if (!version5 && first != kHeader4) {
        throw LabError(fileName + ":1: the first line must be \"REGEDIT4\" or \"" +
                       std::string(kHeader5) + "\"");
    }
    // A version 5 file without a byte-order mark is taken as UTF-8 when it is valid UTF-8.
    if (version5 && decoded.empty() && IsValidUtf8(bytes)) {
        decoded = Utf8ToAnsi(bytes);
        text = decoded;
        firstEnd = text.find('\n');
    }
    std::size_t bodyStart = firstEnd == std::string_view::npos ? text.size() : firstEnd + 1;
    Parser parser(text, version5, fileName, rootName);
    return parser.Run(bodyStart, 1);
}

std::string WriteRegFile(const RegHive& hive) {
    std::string out;
    out += kHeader4;
    out += "\r\n\r\n";
    WriteKey(out, *hive.Root(), hive.RootName());
    return out;
}

} // namespace lab
