#include "IniFileDfx.h"

#include "StrUtilsDfx.h"

#include <filesystem>
#include <fstream>

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    std::ifstream in(FFileName, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string trimmed = DfxTrim(line);
        if (trimmed.empty() || trimmed[0] == ';') {
            continue;
        }
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            FSections.emplace_back(trimmed.substr(1, trimmed.size() - 2), TSection::second_type{});
            continue;
        }
        std::size_t eq = trimmed.find('=');
        if (eq == std::string::npos || FSections.empty()) {
            continue; // not a line of this format: left out
        }
        FSections.back().second.emplace_back(DfxTrim(trimmed.substr(0, eq)),
                                             trimmed.substr(eq + 1));
    }
}

const std::string* TIniFile::Find(const std::string& section, const std::string& key) const {
    for (const TSection& s : FSections) {
        if (DfxSameText(s.first, section)) {
            for (const auto& [k, v] : s.second) {
                if (DfxSameText(k, key)) {
                    return &v;
                }
            }
        }
    }
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    const std::string* v = Find(section, key);
    return v != nullptr ? *v : fallback;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    int value = fallback;
    return DfxTryStrToInt(ReadString(section, key, ""), value) ? value : fallback;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    for (TSection& s : FSections) {
        if (DfxSameText(s.first, section)) {
            for (auto& [k, v] : s.second) {
                if (DfxSameText(k, key)) {
                    v = value;
                    return;
                }
            }
            s.second.emplace_back(key, value);
            return;
        }
    }
    FSections.emplace_back(section, TSection::second_type{{key, value}});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

std::string TIniFile::Format(const std::vector<TSection>& sections) {
    std::string out;
    for (const TSection& s : sections) {
        out += "[" + s.first + "]\r\n";
        for (const auto& [k, v] : s.second) {
            out += k + "=" + v + "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

bool TIniFile::UpdateFile() const {
    std::string temp = FFileName + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << Format(FSections);
        if (!out.good()) {
            out.close();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, FFileName, ec); // replaces the old file, also on Windows
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}
