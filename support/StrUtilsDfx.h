// Text helpers for the single-byte (Windows-1252) texts used below the user
// interface: comparison without regard to case, case conversion, trimming.
#pragma once

#include <string>
#include <string_view>

// Letters of Windows-1252 in upper or lower case, as the user's locale has them.
char DfxUpperChar(char c);
char DfxLowerChar(char c);
std::string DfxUpperCase(std::string_view text);
std::string DfxLowerCase(std::string_view text);

bool DfxSameText(std::string_view a, std::string_view b);
bool DfxStartsText(std::string_view text, std::string_view prefix);
// Whether `needle` occurs in `text`, compared without regard to case.
bool DfxContainsText(std::string_view text, std::string_view needle);
// The first position of `needle` in `text` without regard to case, or npos.
std::size_t DfxFindText(std::string_view text, std::string_view needle, std::size_t from = 0);
// Replaces every occurrence of `from`, compared without regard to case.
std::string DfxReplaceText(std::string_view text, std::string_view from, std::string_view to);

std::string DfxTrim(std::string_view text);
bool DfxTryStrToInt(std::string_view text, int& value);
