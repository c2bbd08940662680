#include "discovery/EnumFileDfx.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using testsupport::TempDir;

namespace {

using Nodes = std::vector<std::pair<std::size_t, std::string>>;

struct Loaded {
    Nodes nodes;
    std::string error;
};

Loaded Read(std::string_view bytes) {
    Loaded out;
    out.error = DfxReadEnumText(bytes, [&](std::size_t level, std::string_view text) {
        out.nodes.emplace_back(level, std::string(text));
    });
    return out;
}

std::string Write(const Nodes& nodes) {
    std::string out;
    for (const auto& [level, text] : nodes) {
        DfxAppendEnumLine(out, level, text);
    }
    return out;
}

using namespace std::string_literals;

struct LineCase {
    const char* what;
    std::string bytes;
    Nodes nodes;
    std::string error;
};

} // namespace

TEST(EnumFile, LinesFindTheirPlaceByTheirIndentation) {
    const LineCase cases[] = {
        {"a provider, its domains and machines",
         "Microsoft Windows Network\r\n\tCORP\r\n\t\tPC1\r\n\t\tPC2\r\n\tHOME\r\n\t\tPC3\r\n",
         {{0, "Microsoft Windows Network"},
          {1, "CORP"},
          {2, "PC1"},
          {2, "PC2"},
          {1, "HOME"},
          {2, "PC3"}},
         ""},
        {"back up two levels to a new root",
         "P\r\n\tD\r\n\t\tM\r\nQ\r\n\tE\r\n",
         {{0, "P"}, {1, "D"}, {2, "M"}, {0, "Q"}, {1, "E"}},
         ""},
        {"the first line is a root however deep",
         "\tCORP\r\n\tPC1\r\n",
         {{0, "CORP"}, {1, "PC1"}},
         ""},
        {"after an indented first line, two TABs jump",
         "\tCORP\r\n\t\tPC1\r\nPC2\r\n",
         {{0, "CORP"}},
         "Invalid level (2) for item \"PC1\""},
        {"a jump of two levels stops the file",
         "A\r\n\tB\r\n\t\t\tC\r\n\tD\r\n",
         {{0, "A"}, {1, "B"}},
         "Invalid level (3) for item \"C\""},
        {"spaces indent like TABs",
         "A\n B\n  C\n\t D\n",
         {{0, "A"}, {1, "B"}, {2, "C"}, {2, "D"}},
         ""},
        {"an empty line is an empty root", "A\r\n\r\nB", {{0, "A"}, {0, ""}, {0, "B"}}, ""},
        {"an empty file is an empty tree", "", {}, ""},
        {"a lone line end is one empty node", "\r\n", {{0, ""}}, ""},
        {"CR, LF and CR LF all end lines",
         "A\rB\nC\r\nD",
         {{0, "A"}, {0, "B"}, {0, "C"}, {0, "D"}},
         ""},
        {"CR CR LF is two line ends", "A\r\r\nB", {{0, "A"}, {0, ""}, {0, "B"}}, ""},
        {"LF CR is two line ends", "A\n\rB", {{0, "A"}, {0, ""}, {0, "B"}}, ""},
        {"a NUL ends the text", "A\r\nB\0\r\n\tC\r\n"s, {{0, "A"}, {0, "B"}}, ""},
        {"text after the indentation stays as it is",
         "A \t\r\n\tB x  \r\n",
         {{0, "A \t"}, {1, "B x  "}},
         ""},
        {"a line of blanks only is an empty node one level down",
         "A\r\n\t\r\n",
         {{0, "A"}, {1, ""}},
         ""},
        {"8-bit characters pass unchanged",
         "\xC9QUIPE\r\n\t\xE9t\xE9\r\n",
         {{0, "\xC9QUIPE"}, {1, "\xE9t\xE9"}},
         ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded loaded = Read(c.bytes);
        EXPECT_EQ(c.nodes, loaded.nodes);
        EXPECT_EQ(c.error, loaded.error);
    }
}

TEST(EnumFile, SavingWritesTabsAndCrLfAndLoadsBackTheSame) {
    Nodes tree = {{0, "Microsoft Windows Network"},
                  {1, "CORP"},
                  {2, "PC1"},
                  {2, "pc 2  "},
                  {1, "WORKGROUP"},
                  {0, "NetWare"},
                  {1, "X"},
                  {2, "Y"},
                  {3, "deeper"}};
    std::string bytes = Write(tree);
    EXPECT_EQ(0u, bytes.find("Microsoft Windows Network\r\n\tCORP\r\n\t\tPC1\r\n\t\tpc 2  \r\n"));
    EXPECT_EQ("\t\t\tdeeper\r\n", bytes.substr(bytes.size() - 11));
    Loaded loaded = Read(bytes);
    EXPECT_EQ("", loaded.error);
    EXPECT_EQ(tree, loaded.nodes);
    EXPECT_EQ("", Write({}));
}

TEST(EnumFile, ATextBeginningWithBlanksComesBackDeeper) {
    Loaded deeper = Read(Write({{0, "A"}, {1, "B"}, {1, " C"}}));
    EXPECT_EQ((Nodes{{0, "A"}, {1, "B"}, {2, "C"}}), deeper.nodes);
    Loaded bad = Read(Write({{0, "A"}, {0, "  B"}}));
    EXPECT_EQ((Nodes{{0, "A"}}), bad.nodes);
    EXPECT_EQ("Invalid level (2) for item \"B\"", bad.error);
}

TEST(EnumFile, DeepAndLongFilesNeedNoStack) {
    // Each line one level deeper than the one before: a chain 5,000 nodes deep.
    const std::size_t depth = 5000;
    std::string chain;
    for (std::size_t i = 0; i < depth; ++i) {
        chain.append(i, ' ');
        chain += "n\n";
    }
    std::size_t count = 0;
    std::size_t deepest = 0;
    EXPECT_EQ("", DfxReadEnumText(chain, [&](std::size_t level, std::string_view) {
                  ++count;
                  deepest = std::max(deepest, level);
              }));
    EXPECT_EQ(depth, count);
    EXPECT_EQ(depth - 1, deepest);

    // A million short lines, and one line of ten million characters.
    std::string flat;
    for (int i = 0; i < 1000000; ++i) {
        flat += "\tM\r\n";
    }
    flat.insert(0, "D\r\n");
    count = 0;
    EXPECT_EQ("", DfxReadEnumText(flat, [&](std::size_t, std::string_view) { ++count; }));
    EXPECT_EQ(1000001u, count);
    std::string wide(10000000, 'x');
    Loaded one = Read(wide);
    ASSERT_EQ(1u, one.nodes.size());
    EXPECT_EQ(wide.size(), one.nodes[0].second.size());
}

TEST(EnumFile, ReadsAndWritesWholeFiles) {
    TempDir dir;
    std::string name = dir / "Machines.dat";
    std::string error;
    std::string bytes(300000, '\t');
    bytes += "end\r\n";
    ASSERT_TRUE(DfxWriteEnumFile(name, bytes, error)) << error;
    std::string back;
    ASSERT_TRUE(DfxReadEnumFile(name, back, error)) << error;
    EXPECT_EQ(bytes, back);
    ASSERT_TRUE(DfxWriteEnumFile(name, "short\r\n", error)); // an existing file is emptied first
    ASSERT_TRUE(DfxReadEnumFile(name, back, error));
    EXPECT_EQ("short\r\n", back);

    std::string missing = dir / "missing.dat";
    EXPECT_FALSE(DfxReadEnumFile(missing, back, error));
    EXPECT_EQ("Cannot open file " + missing, error);
    std::string nowhere = dir / "no folder/Machines.dat";
    EXPECT_FALSE(DfxWriteEnumFile(nowhere, "x", error));
    EXPECT_EQ("Cannot create file " + nowhere, error);
}
