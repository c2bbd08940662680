#include "engine/FavoritesDfx.h"
#include "engine/LogonDfx.h"
#include "engine/RegistryDfx.h"
#include "engine/ShellFolderDfx.h"

#include "support/TempDir.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The demo network the build puts beside the executables, copied (with its
// attributes) so that the tests leave the original as it is.
class DemoLab : public ::testing::Test {
protected:
    void SetUp() override {
        std::string copy = "cp -a '" + GetApplicationDir() + "lab' '" + dir_.Path() + "/lab'";
        ASSERT_EQ(0, std::system(copy.c_str()));
        setenv("QUILLMARK_LAB", (dir_.Path() + "/lab").c_str(), 1);
        lab::test::Reset();
        InitLocalMachineName();
    }
    void TearDown() override {
        unsetenv("QUILLMARK_LAB");
        lab::test::Reset();
    }
    testsupport::TempDir dir_;
};

TEST_F(DemoLab, EveryFileIsSound) {
    EXPECT_EQ("", lab::test::CheckLab());
    EXPECT_EQ("\\\\ADMINPC", LocalMachineName);
}

TEST_F(DemoLab, FilesHaveTheirAttributes) {
    const std::string favorites = "\\\\NW-SALES01\\C$\\Documents and Settings\\jsmith\\Favorites\\";
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA((favorites + "Bank Online.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesA((favorites + "Payroll.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              GetFileAttributesA("\\\\NW-ROAM\\C$\\WINDOWS\\system32"));
}

TEST_F(DemoLab, EachMachineShowsItsCase) {
    struct Case {
        const char* machine;
        DWORD error; // 0: the backup works
    } cases[] = {
        {"ADMINPC", 0},
        {"NW-SALES01", 0},
        {"NW-SALES02", ERROR_NOT_LOGGED_ON},
        {"NW-ACCT01", ERROR_NOT_LOGGED_ON},
        {"NW-LEGACY", 0},
        {"NW-DESIGN", 0},
        {"NW-ROAM", ERROR_BAD_PATHNAME},
        {"NW-OLDPC", ERROR_REGISTRY_IO_FAILED},
        {"HB-FRONT01", ERROR_REGISTRY_IO_FAILED},
        {"HB-SECURE", ERROR_REGISTRY_IO_FAILED},
        {"HB-KIOSK", ERROR_ACCESS_DENIED},
        {"HB-LAB02", 0},
        {"HOMEOFFICE", 0},
        {"NW-SPARE", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        SetLastError(0);
        bool ok =
            DfxBackupUserShellFolder(c.machine, "C:\\Backups\\Favorites\\" + std::string(c.machine),
                                     DFX_FAVORITES_FOLDER, false, true);
        EXPECT_EQ(c.error == 0, ok);
        EXPECT_EQ(c.error, ok ? 0 : GetLastError());
    }
    EXPECT_TRUE(DfxHasActiveLogon("NW-ACCT01")) << "tchan's hive is loaded";
    EXPECT_FALSE(DfxHasActiveLogon("NW-SALES02"));
}
