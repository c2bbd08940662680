#include "StrUtilsDfx.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

char DfxUpperChar(char c) {
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
        return static_cast<char>(u - 32);
    }
    if (u == 0x9A || u == 0x9C || u == 0x9E) { // š œ ž
        return static_cast<char>(u - 16);
    }
    if (u == 0xFF) { // ÿ
        return static_cast<char>(0x9F);
    }
    return c;
}

char DfxLowerChar(char c) {
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
        return static_cast<char>(u + 32);
    }
    if (u == 0x8A || u == 0x8C || u == 0x8E) {
        return static_cast<char>(u + 16);
    }
    if (u == 0x9F) {
        return static_cast<char>(0xFF);
    }
    return c;
}

std::string DfxUpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = DfxUpperChar(c);
    }
    return out;
}

std::string DfxLowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = DfxLowerChar(c);
    }
    return out;
}

bool DfxSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (DfxLowerChar(a[i]) != DfxLowerChar(b[i])) {
            return false;
        }
    }
    return true;
}

bool DfxStartsText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && DfxSameText(text.substr(0, prefix.size()), prefix);
}

std::size_t DfxFindText(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (DfxSameText(text.substr(i, needle.size()), needle)) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool DfxContainsText(std::string_view text, std::string_view needle) {
    return DfxFindText(text, needle) != std::string_view::npos;
}

std::string DfxReplaceText(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string out;
    std::size_t i = 0;
    for (;;) {
        std::size_t at = DfxFindText(text, from, i);
        if (at == std::string_view::npos) {
            out.append(text.substr(i));
            return out;
        }
        out.append(text.substr(i, at - i));
        out.append(to);
        i = at + from.size();
    }
}

std::string DfxTrim(std::string_view text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && static_cast<unsigned char>(text[start]) <= ' ') {
        ++start;
    }
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return std::string(text.substr(start, end - start));
}

bool DfxTryStrToInt(std::string_view text, int& value) {
    std::string s = DfxTrim(text);
    if (s.empty()) {
        return false;
    }
    int base = 10;
    std::size_t skip = 0;
    bool negative = false;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        skip = 1;
    }
    if (s.size() > skip + 1 && s[skip] == '$') { // Pascal-style hexadecimal
        base = 16;
        ++skip;
    } else if (s.size() > skip + 2 && s[skip] == '0' &&
               (s[skip + 1] == 'x' || s[skip + 1] == 'X')) {
        base = 16;
        skip += 2;
    }
    std::string digits = s.substr(skip);
    if (digits.empty()) {
        return false;
    }
    for (char c : digits) {
        bool ok = base == 10 ? (c >= '0' && c <= '9')
                             : ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
                                (c >= 'A' && c <= 'F'));
        if (!ok) {
            return false;
        }
    }
    errno = 0;
    long long v = std::strtoll(digits.c_str(), nullptr, base);
    if (errno == ERANGE) {
        return false;
    }
    v = negative ? -v : v;
    if (v < INT_MIN || v > INT_MAX) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}
