#include "engine/FavoritesDfx.h"

#include "engine/ShellFolderDfx.h"
#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using testsupport::LabBuilder;
using testsupport::ReadTree;

namespace {

using Tree = std::map<std::string, std::string>;

const std::string kJoe = "S-1-5-21-1844237615-1256008271-3217446829-1107";
const std::string kShellFolders =
    kJoe + "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kFavorites = "C:\\Documents and Settings\\joe\\Favorites";

class Favorites : public ::testing::Test {
protected:
    void SetUp() override {
        lab.Local("ADMINPC", "NORTHWIND");
        lab.BrowseDomain("Microsoft Windows Network", "NORTHWIND");
        Joe("ADMINPC");
        Joe("PC1");
    }
    // A machine with joe logged on and a small Favorites tree.
    testsupport::LabMachine& Joe(const std::string& name) {
        return lab.Machine(name)
            .User("NORTHWIND\\joe", kJoe)
            .LoggedOn("NORTHWIND\\joe")
            .File(kFavorites + "\\Links\\Portal.url", "portal")
            .File(kFavorites + "\\Links\\Deep\\Wiki.url", "wiki")
            .File(kFavorites + "\\News.url", "news")
            .File(kFavorites + "\\Bank.url", "bank")
            .Attributes(kFavorites + "\\Bank.url", FILE_ATTRIBUTE_READONLY)
            .File(kFavorites + "\\Pay.url", "pay")
            .Attributes(kFavorites + "\\Pay.url", FILE_ATTRIBUTE_HIDDEN);
    }
    Tree FavoritesOf(const std::string& machine) {
        return ReadTree(lab.Machine(machine).HostPath(kFavorites));
    }
    std::string Backups() const { return lab.Scratch() + "/Backups"; }

    LabBuilder lab;
};

const Tree kJoesTree = {
    {"Bank.url", "bank"},
    {"Links", "<folder>"},
    {"Links/Deep", "<folder>"},
    {"Links/Deep/Wiki.url", "wiki"},
    {"Links/Portal.url", "portal"},
    {"News.url", "news"},
    {"Pay.url", "pay"},
};

} // namespace

TEST_F(Favorites, BackUpClearAndRestoreGiveBackTheSameTree) {
    lab.Write();
    std::string local = Backups() + "\\PC1";
    ASSERT_TRUE(DfxBackupUserShellFolder("\\\\PC1", local, DFX_FAVORITES_FOLDER, true, true));
    EXPECT_EQ(kJoesTree, ReadTree(Backups() + "/PC1"));

    ASSERT_TRUE(DfxClearUserShellFolder("PC1", "", DFX_FAVORITES_FOLDER));
    EXPECT_FALSE(testsupport::Exists(lab.Machine("PC1").HostPath(kFavorites)))
        << "a complete clear removes the folder";

    ASSERT_TRUE(DfxRestoreUserShellFolder("PC1", local, DFX_FAVORITES_FOLDER, "", true, true));
    EXPECT_EQ(kJoesTree, FavoritesOf("PC1"));
    // This computer, by an empty name: its own drive paths.
    ASSERT_TRUE(
        DfxBackupUserShellFolder("", Backups() + "\\Local", DFX_FAVORITES_FOLDER, true, true));
    EXPECT_EQ(kJoesTree, ReadTree(Backups() + "/Local"));
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST_F(Favorites, NothingIsTouchedWhenTheFolderCannotBeResolved) {
    lab.Machine("NOBODY").User("NORTHWIND\\joe", kJoe, false).LoggedOn("NORTHWIND\\joe");
    Joe("ROAM").Favorites(kJoe, "\\\\FILES\\Home$\\joe\\Favorites");
    Joe("RELATIVE").Favorites(kJoe, "Favorites");
    lab.Write();
    std::string source = Backups() + "/Source";
    testsupport::WriteFile(source + "/New.url", "new");
    struct Case {
        const char* machine;
        DWORD error;
    } cases[] = {
        {"NOBODY", ERROR_NOT_LOGGED_ON},  {"ROAM", ERROR_BAD_PATHNAME},
        {"RELATIVE", ERROR_BAD_PATHNAME}, {"PC1\\C$\\WINDOWS", ERROR_INVALID_NAME},
        {"..", ERROR_INVALID_NAME},       {"\\\\.", ERROR_INVALID_NAME},
        {"PC1/..", ERROR_INVALID_NAME},   {"PC1:", ERROR_INVALID_NAME},
        {"PC*", ERROR_INVALID_NAME},      {"PC1\t", ERROR_INVALID_NAME},
        {"\"PC1\"", ERROR_INVALID_NAME},
    };
    Tree before = ReadTree(lab.Root());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        std::string local = Backups() + "\\" + c.machine;
        SetLastError(0);
        EXPECT_FALSE(DfxBackupUserShellFolder(c.machine, local, DFX_FAVORITES_FOLDER, true, true));
        EXPECT_EQ(c.error, GetLastError());
        EXPECT_FALSE(
            DfxRestoreUserShellFolder(c.machine, source, DFX_FAVORITES_FOLDER, "", true, true));
        EXPECT_EQ(c.error, GetLastError());
        EXPECT_FALSE(DfxClearUserShellFolder(c.machine, "", DFX_FAVORITES_FOLDER));
        EXPECT_EQ(c.error, GetLastError());
    }
    EXPECT_EQ(before, ReadTree(lab.Root()));
    EXPECT_EQ((Tree{{"Source", "<folder>"}, {"Source/New.url", "new"}}), ReadTree(Backups()));
}

TEST_F(Favorites, RestoringFromAFolderThatIsNotThereFails) {
    Joe("EMPTY")
        .RemoveValue(HKEY_USERS, kShellFolders, "Favorites")
        .Favorites(kJoe, "C:\\Documents and Settings\\joe\\Not Yet");
    lab.Write();
    for (const std::string& source : {Backups() + "\\Missing", std::string()}) {
        SetLastError(0);
        EXPECT_FALSE(
            DfxRestoreUserShellFolder("EMPTY", source, DFX_FAVORITES_FOLDER, "", true, true));
        EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    }
    EXPECT_FALSE(testsupport::Exists(
        lab.Machine("EMPTY").HostPath("C:\\Documents and Settings\\joe\\Not Yet")));
}

TEST_F(Favorites, ClearingAndRestoringParts) {
    lab.Machine("PC1").File(kFavorites + "\\Links\\LINKS-README", "no dot");
    lab.Write();
    ASSERT_TRUE(DfxClearUserShellFolder("PC1", "C:\\Anything\\Links\\", DFX_FAVORITES_FOLDER));
    Tree left = kJoesTree;
    left.erase("Links/Portal.url");
    left.erase("Links/Deep/Wiki.url");
    left.erase("Links/Deep");
    left["Links/LINKS-README"] = "no dot"; // kept, and its folder with it
    EXPECT_EQ(left, FavoritesOf("PC1"));
    EXPECT_FALSE(DfxClearUserShellFolder("PC1", "..", DFX_FAVORITES_FOLDER));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());

    // Replacing a read-only favorite fails for that file; the rest arrives.
    std::string source = Backups() + "/Standard";
    testsupport::WriteFile(source + "/Bank.url", "new bank");
    testsupport::WriteFile(source + "/Extra.url", "extra");
    EXPECT_FALSE(DfxRestoreUserShellFolder("PC1", source, DFX_FAVORITES_FOLDER, "", false, true));
    EXPECT_EQ("bank", FavoritesOf("PC1")["Bank.url"]);
    EXPECT_EQ("extra", FavoritesOf("PC1")["Extra.url"]);
    ASSERT_TRUE(
        DfxRestoreUserShellFolder("PC1", source, DFX_FAVORITES_FOLDER, "Company", true, true));
    EXPECT_EQ("extra", FavoritesOf("PC1")["Company/Extra.url"]);
    EXPECT_FALSE(
        DfxRestoreUserShellFolder("PC1", source, DFX_FAVORITES_FOLDER, "..\\..", true, true));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
}

TEST_F(Favorites, BackingUpFromAReadOnlyShareFailsForEveryFile) {
    Joe("KIOSK").Share("read");
    lab.Write();
    EXPECT_FALSE(DfxBackupUserShellFolder("KIOSK", Backups() + "\\KIOSK", DFX_FAVORITES_FOLDER,
                                          false, true));
    EXPECT_EQ((Tree{{"Links", "<folder>"}, {"Links/Deep", "<folder>"}}),
              ReadTree(Backups() + "/KIOSK"));
}
