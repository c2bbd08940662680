#include "engine/FolderTreeDfx.h"

#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

using testsupport::LabBuilder;
using testsupport::ReadTree;

namespace {

using Tree = std::map<std::string, std::string>;

// One file or folder of a test tree; content nullptr makes a folder.
struct Entry {
    const char* path;
    const char* content;
    DWORD attributes = 0;
};

const char* const kFolder = nullptr;

class FolderTree : public ::testing::Test {
protected:
    void SetUp() override { handles_ = lab::test::OpenHandleCount(); }
    void TearDown() override { EXPECT_EQ(handles_, lab::test::OpenHandleCount()); }

    // The tree under C:\Tree of `machine`.
    void Build(const std::string& machine, const std::vector<Entry>& entries) {
        auto& m = lab.Machine(machine);
        m.Folder("C:\\Tree");
        for (const Entry& e : entries) {
            std::string path = std::string("C:\\Tree\\") + e.path;
            if (e.content == kFolder) {
                m.Folder(path);
            } else {
                m.File(path, e.content);
            }
            if (e.attributes != 0) {
                m.Attributes(path, e.attributes);
            }
        }
    }
    Tree Source(const std::string& machine) {
        return ReadTree(lab.Machine(machine).HostPath("C:\\Tree"));
    }
    std::string Dest() const { return lab.Scratch() + "/Dest"; }

    LabBuilder lab;
    int handles_ = 0;
};

const std::vector<Entry> kNested = {
    {"a.url", "A"},
    {"Sub", kFolder},
    {"Sub\\b.url", "B"},
    {"Sub\\Deeper", kFolder},
    {"Sub\\Deeper\\c.url", "C"},
    {"Empty", kFolder},
    {"ro.url", "R", FILE_ATTRIBUTE_READONLY},
    {"hidden.url", "H", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
};

} // namespace

TEST_F(FolderTree, DeletingTables) {
    std::string outside = lab.Scratch() + "/outside";
    testsupport::WriteFile(outside + "/precious.url", "keep");
    struct Case {
        const char* name;
        std::vector<Entry> tree;
        bool link;
        bool abort;
        bool result;
        Tree left; // what stays of the tree; {} when the tree itself is gone
    } cases[] = {
        {"nested, read-only and hidden", kNested, false, true, true, {}},
        {"a file without a dot stays, with the folders above it",
         {{"a.url", "A"}, {"Sub", kFolder}, {"Sub\\README", "R"}, {"Sub\\b.url", "B"}},
         false,
         true,
         true,
         {{"Sub", "<folder>"}, {"Sub/README", "R"}}},
        {"an entry named with one space is skipped, so its folder cannot go",
         {{"Sub", kFolder}, {"Sub\\ ", "S"}, {"Sub\\b.url", "B"}},
         false,
         true,
         false,
         {{"Sub", "<folder>"}, {"Sub/ ", "S"}}},
        {"a link is removed, never entered", {{"a.url", "A"}}, true, true, true, {}},
        {"abort: the first failure ends the walk",
         {{"A", kFolder}, {"A\\a2.url", "2"}, {"B", kFolder}, {"B\\b.url", "B"}, {"top.url", "T"}},
         false,
         true,
         false,
         {{"A", "<folder>"},
          {"A/bad\\x.url", "X"},
          {"B", "<folder>"},
          {"B/b.url", "B"},
          {"top.url", "T"}}},
        {"no abort: every item is tried",
         {{"A", kFolder}, {"A\\a2.url", "2"}, {"B", kFolder}, {"B\\b.url", "B"}, {"top.url", "T"}},
         false,
         false,
         false,
         {{"A", "<folder>"}, {"A/bad\\x.url", "X"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string machine = "PC" + std::to_string(++n);
        std::vector<Entry> tree = c.tree;
        Build(machine, tree);
        if (c.link) {
            lab.Machine(machine).Link("C:\\Tree\\Jump", outside);
        }
        if (c.left.count("A/bad\\x.url") > 0) {
            // No Windows path reaches a name holding a backslash: deleting it always fails.
            lab.Machine(machine).RawFile("C:\\Tree\\A", "bad\\x.url", "X");
        }
        lab.Write();
        std::string root = "\\\\" + machine + "\\C$\\Tree";
        EXPECT_EQ(c.result, DfxDeleteFolderTree(root, "*.*", c.abort));
        EXPECT_EQ(c.left, Source(machine));
        EXPECT_EQ(c.left.empty(), !testsupport::Exists(lab.Machine(machine).HostPath("C:\\Tree")));
    }
    EXPECT_EQ("keep", testsupport::ReadFile(outside + "/precious.url"));
}

TEST_F(FolderTree, CopyingResetsAttributesAndSkipsWhatItMayNotTake) {
    std::string outside = lab.Scratch() + "/outside";
    testsupport::WriteFile(outside + "/elsewhere.url", "not ours");
    std::vector<Entry> tree = kNested;
    tree.push_back({"README", "no dot"});
    tree.push_back({" ", "one space"});
    Build("PC1", tree);
    lab.Machine("PC1").Link("C:\\Tree\\Jump", outside);
    lab.Write();
    ASSERT_TRUE(
        DfxCopyFolderTree("\\\\PC1\\C$\\Tree\\", "*.*", Dest() + "/Backup\\PC1", true, true));
    EXPECT_EQ((Tree{{"Empty", "<folder>"},
                    {"Sub", "<folder>"},
                    {"Sub/Deeper", "<folder>"},
                    {"Sub/Deeper/c.url", "C"},
                    {"Sub/b.url", "B"},
                    {"a.url", "A"},
                    {"hidden.url", "H"},
                    {"ro.url", "R"}}),
              ReadTree(Dest() + "/Backup/PC1"));
    // The source lost its read-only and hidden marks on the way; so has the copy.
    for (const char* name : {"ro.url", "hidden.url"}) {
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL),
                  GetFileAttributesA((std::string("\\\\PC1\\C$\\Tree\\") + name).c_str()));
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL),
                  GetFileAttributesA((Dest() + "/Backup/PC1/" + name).c_str()));
    }
}

TEST_F(FolderTree, CopyingFailures) {
    Build("RO", kNested);
    lab.Machine("RO").Share("read");
    Build("PC1", {{"A", kFolder},
                  {"A\\a.url", "new a"},
                  {"A\\b.url", "new b"},
                  {"B", kFolder},
                  {"B\\c.url", "new c"},
                  {"top.url", "new top"}});
    lab.Write();
    // Resetting a source file's attributes needs write access: on a read-only share every file
    // fails.
    EXPECT_FALSE(DfxCopyFolderTree("\\\\RO\\C$\\Tree", "*.*", Dest() + "/ro", false, true));
    EXPECT_EQ((Tree{{"Empty", "<folder>"}, {"Sub", "<folder>"}, {"Sub/Deeper", "<folder>"}}),
              ReadTree(Dest() + "/ro"));

    struct Case {
        const char* name;
        bool abort;
        bool replace;
        bool result;
        Tree after;
    } cases[] = {
        {"replacing overwrites; files only at the destination stay",
         true,
         true,
         true,
         {{"A", "<folder>"},
          {"A/a.url", "new a"},
          {"A/b.url", "new b"},
          {"A/only.url", "mine"},
          {"B", "<folder>"},
          {"B/c.url", "new c"},
          {"top.url", "new top"}}},
        {"not replacing, no abort: the existing file fails, the rest is copied",
         false,
         false,
         false,
         {{"A", "<folder>"},
          {"A/a.url", "old a"},
          {"A/b.url", "new b"},
          {"A/only.url", "mine"},
          {"B", "<folder>"},
          {"B/c.url", "new c"},
          {"top.url", "new top"}}},
        {"not replacing, abort: nothing after the failure is touched",
         true,
         false,
         false,
         {{"A", "<folder>"}, {"A/a.url", "old a"}, {"A/only.url", "mine"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dest = Dest() + "/case" + std::to_string(++n);
        testsupport::WriteFile(dest + "/A/a.url", "old a");
        testsupport::WriteFile(dest + "/A/only.url", "mine");
        EXPECT_EQ(c.result,
                  DfxCopyFolderTree("\\\\PC1\\C$\\Tree", "*.*", dest, c.abort, c.replace));
        EXPECT_EQ(c.after, ReadTree(dest));
    }
}

TEST_F(FolderTree, AStopRequestEndsTheWalkBeforeTheNextItem) {
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("f" + std::to_string(100 + i) + ".url");
    }
    std::vector<Entry> tree;
    for (const std::string& name : names) {
        tree.push_back({name.c_str(), "x"});
    }
    Build("PC1", tree);
    lab.Machine("PC1").FileDelay(10);
    lab.Write();
    Tree before = Source("PC1");

    TDfxStopRequest stop;
    stop.Request();
    EXPECT_FALSE(DfxDeleteFolderTree("\\\\PC1\\C$\\Tree", "*.*", true, &stop));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    EXPECT_EQ(before, Source("PC1"));

    stop.Reset();
    std::thread stopper([&] {
        while (!testsupport::Exists(Dest() + "/f102.url")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        stop.Request();
    });
    EXPECT_FALSE(DfxCopyFolderTree("\\\\PC1\\C$\\Tree", "*.*", Dest(), true, true, &stop));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    stopper.join();
    std::size_t copied = ReadTree(Dest()).size();
    EXPECT_GE(copied, 3u);
    EXPECT_LT(copied, 20u);
}

TEST(FolderTreeMask, ProgramsMaskRules) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"News.url", "*.*", true},
        {"README", "*.*", false},
        {".hidden", "*.*", true},
        {"a.b.c", "*.*", true},
        {"NEWS.URL", "*.url", true},
        {"news.url", "n?ws.*", true},
        {"news.url", "[a-m]*", false},
        {"news.url", "[!a-m]*", true},
        {"x", "[xyz]", true},
        {"", "*", true},
        {"abc", "a*c*", true},
        {"abd", "a*c", false},
        {"a", "[a", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.match, DfxMatchesMask(c.name, c.mask)) << c.name << " " << c.mask;
    }
}
