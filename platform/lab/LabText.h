// Text helpers of the lab: Windows-style case-insensitive comparison of ANSI
// (Windows-1252) text and conversions from the encodings .reg files come in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lab {

// Folds one Windows-1252 character for comparison without regard to case.
inline unsigned char FoldChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<unsigned char>(c + 32);
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return static_cast<unsigned char>(c + 32);
    }
    return c;
}

bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0 or >0 as `a` sorts before, with or after `b` in capitals, as NTFS orders names.
int CompareNoCase(std::string_view a, std::string_view b);
std::string Folded(std::string_view text);
std::string Upper(std::string_view text);

struct FoldedHash {
    std::size_t operator()(std::string_view text) const;
};

// A Unicode code point as a Windows-1252 byte ('?' when it has none).
unsigned char CodePointToAnsi(uint32_t cp);
uint32_t AnsiToCodePoint(unsigned char c);

// Decodes UTF-16LE (no byte-order mark) or UTF-8 into Windows-1252.
std::string Utf16LeToAnsi(std::string_view bytes);
std::string Utf8ToAnsi(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

} // namespace lab
