// A Windows INI file ([Section] and Key=Value lines), read whole, changed in
// memory and written back whole. Sections and keys compare without regard to case.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TIniFile final {
public:
    // Reads the file when it exists; a missing or unreadable file is an empty one.
    explicit TIniFile(std::string fileName);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);

    // Writes the file (a temporary file, then a rename); false when it cannot.
    bool UpdateFile() const;

private:
    using TSection = std::pair<std::string, std::vector<std::pair<std::string, std::string>>>;
    static std::string Format(const std::vector<TSection>& sections);
    const std::string* Find(const std::string& section, const std::string& key) const;

    std::string FFileName;
    std::vector<TSection> FSections;
};
