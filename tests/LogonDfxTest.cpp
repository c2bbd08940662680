#include "engine/LogonDfx.h"
#include "engine/ProfileDfx.h"

#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "support/ExceptionDfx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::LabBuilder;

namespace {

const std::string kCorp = "S-1-5-21-1844237615-1256008271-3217446829";
const std::string kJoe = kCorp + "-1107";
const std::string kAnn = kCorp + "-1120";

} // namespace

TEST(UserSidKeyNames, OnlyUserAndDomainAccountSids) {
    struct Case {
        const char* name;
        bool user;
    } cases[] = {
        {"S-1-5-21-1-2-3-1001", true},
        {"s-1-5-21-1-2-3-1001", true},
        {"S-1-5-18", false},
        {".DEFAULT", false},
        {"S-1-5-21-1-2-3-1001_Classes", false},
        {"S-1-5-21-1-2-3-4-5", false},
        {"X-1-5-21-1-2-3-1001", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.user, IsUserSidKeyName(c.name)) << c.name;
    }
}

TEST(SidText, UnsignedPartsAndTheAuthoritysLastByte) {
    // Revision 1, authority 0x0000_0001_0005 (above 255), sub-authorities 2^31 and 2^32-1.
    alignas(4) BYTE sid[16] = {1, 2, 0, 0, 0, 1, 0, 5, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF};
    std::string text;
    ASSERT_TRUE(DfxSidToString(sid, text));
    EXPECT_EQ("S-1-5-2147483648-4294967295", text);
    sid[0] = 3;
    EXPECT_FALSE(DfxSidToString(sid, text));
    EXPECT_EQ("", text);
}

class Logon : public ::testing::Test {
protected:
    void SetUp() override {
        lab.Local("ADMINPC", "NORTHWIND");
        lab.BrowseDomain("Microsoft Windows Network", "NORTHWIND");
        lab.Account("NORTHWIND\\Sales", kCorp + "-1300", "group");
    }
    LabBuilder lab;
};

TEST_F(Logon, TheWinlogonAccountCountsOnlyWhenItsHiveIsLoaded) {
    lab.Machine("PC1").User("NORTHWIND\\joe", kJoe).LoggedOn("NORTHWIND\\joe");
    lab.Machine("PC2")
        .User("NORTHWIND\\ann", kAnn, false)
        .User("NORTHWIND\\joe", kJoe)
        .LoggedOn("NORTHWIND\\ann");
    lab.Machine("PC3").User("NORTHWIND\\ann", kAnn, false).LoggedOn("NORTHWIND\\ann");
    lab.Machine("PC4")
        .User("NORTHWIND\\joe", kJoe)
        .LoggedOn("NORTHWIND\\joe")
        .RemoveValue(HKEY_LOCAL_MACHINE,
                     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                     "DefaultDomainName");
    lab.Machine("PC5").User("NORTHWIND\\joe", kJoe).LoggedOn(".\\joe");
    lab.Machine("PC6").User("NORTHWIND\\joe", kJoe).LoggedOn("joe");
    // A group of the Winlogon name, with a hive of that SID loaded: not a user.
    lab.Machine("PC7")
        .User("NORTHWIND\\joe", kJoe)
        .User("NORTHWIND\\Sales", kCorp + "-1300")
        .LoggedOn("NORTHWIND\\Sales");
    lab.Machine("PC8").User("NORTHWIND\\joe", kJoe).LoggedOn("NORTHWIND\\joe").Unreachable();
    lab.Write();
    struct Case {
        const char* machine;
        const char* sid; // of the logged-on user, "" for none
        bool active;
    } cases[] = {
        {"PC1", kJoe.c_str(), true}, {"\\\\PC2", "", true},       {"PC3", "", false},
        {"PC4", "", true},           {"PC5", kJoe.c_str(), true}, {"PC6", kJoe.c_str(), true},
        {"PC7", "", true},           {"PC8", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        EXPECT_EQ(c.sid, DfxGetLoggedOnUserSid(c.machine));
        EXPECT_EQ(c.active, DfxHasActiveLogon(c.machine));
    }
    std::vector<std::string> loaded;
    ASSERT_TRUE(DfxGetLoadedUserSids(loaded, "PC2"));
    EXPECT_EQ((std::vector<std::string>{kJoe}), loaded);
    std::string user = "untouched";
    std::string domain = "untouched";
    EXPECT_FALSE(DfxGetDefaultLogonUser("PC4", user, domain));
    EXPECT_EQ("joe", user);
    EXPECT_EQ("", domain);
    EXPECT_FALSE(DfxGetDefaultLogonUser("PC8", user, domain));
    EXPECT_EQ("joe", user) << "a failed read leaves the outputs as they were";
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST_F(Logon, ThisComputersNameUnreadableRaisesTheLastError) {
    lab.Write();
    testsupport::WriteFile(lab.Root() + "/network.json", "{ broken");
    std::string sid;
    EXPECT_THROW(DfxGetAccountSidString(".", "joe", sid), EErrorMessageException);
}

TEST(Environment, TokensAreReplacedFromTheList) {
    TEnvironmentList list = {
        {"%SYSTEMROOT%", "C:\\WINNT"}, {"%SYSTEMDRIVE%", "C:"}, {"%LOOP%", "again %LOOP%"}};
    struct Case {
        const char* text;
        bool ok;
        const char* result;
    } cases[] = {
        {"C:\\Documents and Settings\\joe", true, "C:\\Documents and Settings\\joe"},
        {"%SystemDrive%\\Users\\%systemroot%", true, "C:\\Users\\C:\\WINNT"},
        {"%SYSTEMROOT%\\x\\%SYSTEMROOT%", true, "C:\\WINNT\\x\\C:\\WINNT"},
        {"100%% sure", true, "100%% sure"},
        {"%USERPROFILE%\\Favorites", false, "%USERPROFILE%\\Favorites"},
        {"%SYSTEMROOT%\\%NOPE%", false, "C:\\WINNT\\%NOPE%"},
        {"%LOOP%", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        SetLastError(0);
        EXPECT_EQ(c.ok, ExpandWithEnvironment(text, list));
        if (c.result != nullptr) {
            EXPECT_EQ(c.result, text);
        }
        EXPECT_EQ(c.ok ? 0u : static_cast<DWORD>(ERROR_NO_TOKEN), GetLastError());
    }
}

TEST_F(Logon, MachineEnvironmentAndProfilePaths) {
    const std::string env = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const std::string profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    lab.Machine("XP").User("NORTHWIND\\joe", kJoe);
    lab.Machine("NT4").Nt4().User("NORTHWIND\\joe", kJoe);
    lab.Machine("PLAIN")
        .User("NORTHWIND\\joe", kJoe)
        .Text(HKEY_LOCAL_MACHINE, profiles + kJoe, "ProfileImagePath", "D:\\Profiles\\joe\\")
        .Text(HKEY_LOCAL_MACHINE, env, "windir", "C:\\WINDOWS");
    lab.Machine("BADWINDIR")
        .User("NORTHWIND\\joe", kJoe)
        .Text(HKEY_LOCAL_MACHINE, env, "windir", "%COMSPEC%");
    lab.Machine("ADMINPC").User("NORTHWIND\\joe", kJoe);
    lab.NetworkJson("environment", R"({"SystemDrive": "C:"})");
    lab.Write();

    TEnvironmentList list;
    ASSERT_TRUE(DfxGetMachineEnvironment("NT4", list));
    EXPECT_EQ((TEnvironmentList{{"%SYSTEMROOT%", "C:\\WINNT"},
                                {"%SYSTEMDRIVE%", "C:"},
                                {"%TMP%", "C:\\WINNT\\Temp"},
                                {"%TEMP%", "C:\\WINNT\\Temp"},
                                {"%WINDIR%", "C:\\WINNT"},
                                {"%COMSPEC%", "C:\\WINNT\\system32\\cmd.exe"}}),
              list);
    EXPECT_FALSE(DfxGetMachineEnvironment("BADWINDIR", list));

    struct Case {
        const char* machine;
        bool ok;
        const char* image;
        const char* profiles;
    } cases[] = {
        {"XP", true, "C:\\Documents and Settings\\joe", "C:\\Documents and Settings"},
        {"NT4", true, "C:\\WINNT\\Profiles\\joe", "C:\\WINNT\\Profiles"},
        {"PLAIN", true, "D:\\Profiles\\joe\\", "D:\\Profiles"}, // no token: kept as it is
        {"BADWINDIR", false, nullptr, nullptr},
        {"", true, "C:\\Documents and Settings\\joe", "C:\\Documents and Settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        std::string image;
        std::string dir;
        EXPECT_EQ(c.ok, DfxGetProfileImagePath(c.machine, kJoe, image));
        EXPECT_EQ(c.ok, DfxGetProfilesDirectory(c.machine, kJoe, dir));
        if (c.ok) {
            EXPECT_EQ(c.image, image);
            EXPECT_EQ(c.profiles, dir);
        }
    }
    std::string none;
    EXPECT_FALSE(DfxGetProfileImagePath("XP", kCorp + "-9999", none));
    // Both are found by name, as the executable exports them.
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_NE(nullptr, GetProcAddress(self, "DfxGetProfileImagePath"));
    EXPECT_NE(nullptr, GetProcAddress(self, "DfxGetProfilesDirectory"));
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}
