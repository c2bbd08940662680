#include "RegIniFileDfx.h"

#include "RegistryDfx.h"

#include "support/StrUtilsDfx.h"

TRegIniFile::TRegIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    TDfxRegistry reg;
    reg.OpenKey(SectionKey(""), true); // made now; a failure shows at the first read or write
}

std::string TRegIniFile::SectionKey(const std::string& section) const {
    std::string key = FFileName;
    if (key.empty() || key[0] != '\\') {
        key.insert(key.begin(), '\\');
    }
    if (!section.empty()) {
        if (key.back() != '\\') {
            key += '\\';
        }
        key += section;
    }
    return key;
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& fallback) const {
    TDfxRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(SectionKey(section)) || !reg.ValueExists(ident)) {
        return fallback;
    }
    return reg.ReadString(ident);
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident,
                             int fallback) const {
    TDfxRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(SectionKey(section)) || !reg.ValueExists(ident)) {
        return fallback;
    }
    if (reg.GetDataType(ident) == TRegDataType::Integer) {
        return reg.ReadInteger(ident);
    }
    int value = fallback;
    return DfxTryStrToInt(reg.ReadString(ident), value) ? value : fallback;
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident,
                           bool fallback) const {
    return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    TDfxRegistry reg;
    if (!reg.OpenKey(SectionKey(section), true)) {
        throw ERegistryException("Failed to set data for '" + ident + "'");
    }
    reg.WriteString(ident, value);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, std::to_string(value));
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}
