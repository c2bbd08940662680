#include "engine/ShellFolderDfx.h"

#include "engine/Registry.h"
#include "support/LabBuilder.h"

#include "platform/LabTest.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::LabBuilder;

namespace {

const std::string kJoe = "S-1-5-21-1844237615-1256008271-3217446829-1107";
const std::string kShellFolders =
    kJoe + "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

struct Resolved {
    bool ok;
    std::string path;
    DWORD error;
};

Resolved Resolve(const std::string& machine, int index) {
    Resolved r;
    SetLastError(0);
    r.ok = DfxGetShellFolderPath(machine, index, r.path);
    r.error = r.ok ? 0 : GetLastError();
    return r;
}

class ShellFolders : public ::testing::Test {
protected:
    void SetUp() override {
        lab.Local("ADMINPC", "NORTHWIND");
        lab.BrowseDomain("Microsoft Windows Network", "NORTHWIND");
    }
    // A machine with joe logged on and his Favorites value as given.
    testsupport::LabMachine& Joe(const std::string& name, const std::string& favorites,
                                 DWORD type = REG_SZ) {
        return lab.Machine(name)
            .User("NORTHWIND\\joe", kJoe)
            .LoggedOn("NORTHWIND\\joe")
            .Favorites(kJoe, favorites, type);
    }
    LabBuilder lab;
};

} // namespace

TEST_F(ShellFolders, RowsAndTokensResolveOnTheMachine) {
    Joe("PC1", "C:\\Documents and Settings\\joe\\Favorites");
    Joe("PROFILE", "%USERPROFILE%\\Favorites", REG_EXPAND_SZ);
    Joe("LOWER", "%userprofile%\\Favorites", REG_EXPAND_SZ);
    Joe("NT4", "%WINDIR%\\Profiles\\joe\\Favorites", REG_EXPAND_SZ).Nt4();
    lab.Write();
    struct Case {
        const char* machine;
        int index;
        const char* path;
    } cases[] = {
        {"PC1", 3, "C:\\Documents and Settings\\joe\\Favorites"},
        {"\\\\PC1", 3, "C:\\Documents and Settings\\joe\\Favorites"},
        {"PC1", 24, "C:\\WINDOWS"},
        {"PC1", 25, "C:\\WINDOWS\\System32"},
        {"PC1", 28, "C:\\Documents and Settings\\joe"},
        {"PC1", 33, "C:\\Documents and Settings"},
        {"PROFILE", 3, "C:\\Documents and Settings\\joe\\Favorites"},
        {"LOWER", 3, "C:\\Documents and Settings\\joe\\Favorites"},
        {"NT4", 3, "C:\\WINNT\\Profiles\\joe\\Favorites"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.machine) + " " + std::to_string(c.index));
        Resolved r = Resolve(c.machine, c.index);
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_EQ(c.path, r.path);
    }
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST_F(ShellFolders, FailuresCarryTheirCodes) {
    Joe("MISSING", "").RemoveValue(HKEY_USERS, kShellFolders, "Favorites");
    Joe("EMPTY", "");
    Joe("UNKNOWN", "%FOO%\\Favorites");
    Joe("STRAY", "C:\\100%\\Favorites");
    // The earliest-listed token is taken first (%WINDIR%, row 1), not the leftmost.
    Joe("ORDER", "%DESKTOP%\\%WINDIR%")
        .Text(HKEY_LOCAL_MACHINE, kCurrentVersion, "SystemRoot", "%FOO%");
    Joe("SELF", "%FAVORITES%\\More");
    Joe("CYCLE", "%PERSONAL%\\Favorites")
        .Text(HKEY_USERS, kShellFolders, "Personal", "%FAVORITES%\\Docs");
    Joe("NOPROFILE", "%USERPROFILE%\\Favorites")
        .RemoveValue(HKEY_LOCAL_MACHINE, kCurrentVersion + "\\ProfileList\\" + kJoe,
                     "ProfileImagePath");
    Joe("GONE", "C:\\x").Unreachable();
    lab.Machine("NOBODY").User("NORTHWIND\\joe", kJoe, false).LoggedOn("NORTHWIND\\joe");
    lab.Write();
    struct Case {
        const char* machine;
        DWORD error;
    } cases[] = {
        {"MISSING", ERROR_NO_NET_OR_BAD_PATH},
        {"EMPTY", ERROR_NO_NET_OR_BAD_PATH},
        {"UNKNOWN", ERROR_NO_TOKEN},
        {"STRAY", ERROR_NO_TOKEN},
        {"ORDER", ERROR_NO_TOKEN},
        {"SELF", ERROR_CIRCULAR_DEPENDENCY},
        {"CYCLE", ERROR_CIRCULAR_DEPENDENCY},
        {"NOPROFILE", ERROR_REGISTRY_IO_FAILED},
        {"GONE", ERROR_REGISTRY_IO_FAILED},
        {"NOBODY", ERROR_NOT_LOGGED_ON},
        {"NOWHERE", ERROR_REGISTRY_IO_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        Resolved r = Resolve(c.machine, 3);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(c.error, r.error);
    }
    EXPECT_EQ(ERROR_NOT_LOGGED_ON, Resolve("NOBODY", 28).error);
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST_F(ShellFolders, AValueOfAnotherTypeRaises) {
    Joe("DWORD", "").Value(HKEY_USERS, kShellFolders, "Favorites", REG_DWORD, std::string(4, '\0'));
    lab.Write();
    std::string path;
    EXPECT_THROW(DfxGetShellFolderPath("DWORD", 3, path), ERegistryException);
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST(ShellFolderTables, TokensAndIndexes) {
    std::string var;
    uint8_t id = 0;
    ASSERT_TRUE(DfxFindShellVar("x\\%SystemRoot%\\%windir%", var, id));
    EXPECT_EQ("%WINDIR%", var);
    EXPECT_EQ(36, id);
    EXPECT_FALSE(DfxFindShellVar("C:\\%FOO%", var, id));
    for (const TShellVarRec& row : ShellVarTable) {
        int index = -1;
        EXPECT_TRUE(DfxFindSpecialFolderIndex(row.FolderId, index)) << row.VarName;
        EXPECT_EQ(row.FolderId, SpecialFolderIds[index]);
    }
    int index = -1;
    ASSERT_TRUE(DfxFindSpecialFolderIndex(40, index));
    EXPECT_EQ(28, index);
    EXPECT_EQ(DFX_FUNCTION_ROW, SpecialFolderTable[28].RootKey);
    EXPECT_STREQ("Favorites", SpecialFolderTable[DFX_FAVORITES_FOLDER].ValueName);
}

TEST(AdminShare, DrivePathsOnly) {
    struct Case {
        const char* machine;
        const char* path;
        const char* share;
    } cases[] = {
        {"PC1", "C:\\Documents and Settings\\joe\\Favorites",
         "\\\\PC1\\C$\\Documents and Settings\\joe\\Favorites"},
        {"\\\\PC1", "d:\\x:y", "\\\\PC1\\d$\\x:y"},
        {"PC1", "\\\\server\\share\\Favorites", ""},
        {"PC1", "Favorites", ""},
        {"PC1", "C", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.share, DfxLocalPathToAdminShare(c.machine, c.path)) << c.path;
    }
}
