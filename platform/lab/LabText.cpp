#include "LabText.h"

#include <algorithm>

namespace lab {

namespace {

// Windows-1252 bytes 0x80..0x9F and their Unicode code points (0 where undefined).
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(static_cast<unsigned char>(a[i])) !=
            FoldChar(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    auto upper = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ? c - 32 : c;
    };
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int d = upper(static_cast<unsigned char>(a[i])) - upper(static_cast<unsigned char>(b[i]));
        if (d != 0) {
            return d;
        }
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(FoldChar(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
            c = static_cast<char>(u - 32);
        }
    }
    return out;
}

std::size_t FoldedHash::operator()(std::string_view text) const {
    // FNV-1a over the folded characters.
    std::size_t h = 14695981039346656037ULL;
    for (char c : text) {
        h ^= FoldChar(static_cast<unsigned char>(c));
        h *= 1099511628211ULL;
    }
    return h;
}

unsigned char CodePointToAnsi(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<unsigned char>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return '?';
}

uint32_t AnsiToCodePoint(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F && kHighControls[c - 0x80] != 0) {
        return kHighControls[c - 0x80];
    }
    return c;
}

std::string Utf16LeToAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                        (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            i += 2; // a surrogate pair: no Windows-1252 form
            out.push_back('?');
            continue;
        }
        out.push_back(static_cast<char>(CodePointToAnsi(unit)));
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto c = static_cast<unsigned char>(bytes[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size()) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) >> 6) != 2) {
                return false;
            }
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string Utf8ToAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        int extra = (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 0;
        uint32_t cp = extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        std::size_t k = 1;
        for (; k <= static_cast<std::size_t>(extra) && i + k < bytes.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        out.push_back(extra == 0 ? '?' : static_cast<char>(CodePointToAnsi(cp)));
        i += k;
    }
    return out;
}

} // namespace lab
