// The enum file: the machine tree as indented text. One line per node in tree
// order (parents before children), as many TABs as the node's level, the text,
// CR LF; single-byte ANSI text without a header.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Receives the nodes of an enum file in file order: the level the node takes in
// the tree (0 for a root; at most one below the node handed over before it) and
// its text. A node at level L hangs under the node most recently handed over at
// level L - 1.
using TDfxEnumNodeSink = std::function<void(std::size_t level, std::string_view text)>;

// Places every line of an enum file. Lines end at CR, LF or CR LF, a NUL ends
// the text, and each leading TAB or space counts one level. Returns "" when all
// lines found their place, else the error of the first line that did not
// ("Invalid level (%d) for item "%s""); the nodes before it have been handed over.
// Works line by line with constant extra memory, whatever the file holds.
std::string DfxReadEnumText(std::string_view bytes, const TDfxEnumNodeSink& add);

// Appends one node's line.
void DfxAppendEnumLine(std::string& out, std::size_t level, std::string_view text);

// The whole file, or false with the message for the user ("Cannot open file %s",
// "Stream read error").
bool DfxReadEnumFile(const std::string& fileName, std::string& bytes, std::string& error);
// Creates or empties the file and writes the bytes; false with the message for
// the user ("Cannot create file %s", "Stream write error").
bool DfxWriteEnumFile(const std::string& fileName, std::string_view bytes, std::string& error);
