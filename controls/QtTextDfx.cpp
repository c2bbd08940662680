#include "QtTextDfx.h"

namespace {

// Windows-1252 bytes 0x80..0x9F and their Unicode code points (0: undefined, kept as is).
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString ToQt(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        char16_t u = b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0 ? kHigh[b - 0x80] : b;
        out.append(QChar(u));
    }
    return out;
}

std::string FromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char b = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i)) {
                b = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(b);
    }
    return out;
}
