// The registry-backed INI object: sections are subkeys of one key of the
// current user, values are texts, and numbers and flags are stored as text.
#pragma once

#include <string>

class TRegIniFile final {
public:
    // `fileName` is the key under HKEY_CURRENT_USER ("\Software\Tarvel Quillmark 1.0\"),
    // made when missing.
    explicit TRegIniFile(std::string fileName);

    const std::string& FileName() const { return FFileName; }

    // The default when the section or the value is missing; ERegistryException
    // for a value that is not text.
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& fallback) const;
    // A text that is a whole number, or a REG_DWORD; the default for a text that is not.
    int ReadInteger(const std::string& section, const std::string& ident, int fallback) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool fallback) const;

    // Make the section when missing; ERegistryException when the write fails.
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

private:
    std::string SectionKey(const std::string& section) const;
    std::string FFileName;
};
