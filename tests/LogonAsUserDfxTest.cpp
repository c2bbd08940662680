#include "discovery/LogonAsUserDfx.h"

#include "support/LabBuilder.h"
#include "support/LogCapture.h"

#include "platform/LabTest.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::LabBuilder;
using testsupport::LogCapture;

namespace {

const char* const kLogonFailure = "Logon failure: unknown user name or bad password.";

class Connections : public ::testing::Test {
protected:
    void SetUp() override {
        lab_.Machine("HB-SECURE").Credentials("HARBOR\\administrator", "Lighthouse7");
        lab_.Machine("HB-FRONT01")
            .Credentials("HARBOR\\administrator", "Lighthouse7")
            .RegistryStopped();
        lab_.Machine("HB-LAB02");
        lab_.Machine("NW-OLDPC").Unreachable();
        lab_.Write();
        ConnectionErrorText.clear();
    }

    LabBuilder lab_;
    LogCapture log_;
};

} // namespace

TEST_F(Connections, ConnectsAsTheUserAsTyped) {
    struct Case {
        const char* machine;
        const char* user;
        const char* password;
        bool connected;
        const char* error;
    };
    const Case cases[] = {
        {"HB-SECURE", "HARBOR\\administrator", "Lighthouse7", true, ""},
        {"\\\\HB-SECURE", "administrator", "Lighthouse7", true, ""},
        {"HB-SECURE", "HARBOR\\administrator", "lighthouse7", false, kLogonFailure},
        {"HB-SECURE", "HARBOR\\administrator", "Lighthouse7 ", false, kLogonFailure},
        {"HB-SECURE", " HARBOR\\administrator", "Lighthouse7", false, kLogonFailure},
        {"HB-SECURE", "", "", false, kLogonFailure},
        {"NW-OLDPC", "HARBOR\\administrator", "Lighthouse7", false,
         "The network path was not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.machine) + " " + c.user + " " + c.password);
        std::string error = "untouched";
        EXPECT_EQ(c.connected, DfxConnectMachineAsUser(c.machine, c.user, c.password, error));
        EXPECT_EQ(c.connected ? "untouched" : c.error, error);
        DfxCloseMachineConnection(c.machine);
    }
    EXPECT_TRUE(log_.Lines().empty()); // nothing of it is logged, the password least of all
}

TEST_F(Connections, RegistryOpensUnderTheNewConnection) {
    HKEY key = nullptr;
    EXPECT_EQ(static_cast<LONG>(ERROR_ACCESS_DENIED),
              RegConnectRegistryA("\\\\HB-SECURE", HKEY_LOCAL_MACHINE, &key));
    EXPECT_EQ(DFX_CONNECTED, DfxConnectRegistryAsUser("HB-SECURE", "HARBOR\\administrator",
                                                      "Lighthouse7", HKEY_LOCAL_MACHINE, &key));
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(0, lab::test::OpenRemoteRootCount());
    EXPECT_TRUE(DfxCloseMachineConnection("HB-SECURE"));
}

TEST_F(Connections, AStoppedRegistryAfterGoodCredentialsGivesTwoLines) {
    HKEY key = nullptr;
    EXPECT_EQ(DFX_CONNECT_FAILED,
              DfxConnectRegistryAsUser("HB-FRONT01", "HARBOR\\administrator", "Lighthouse7",
                                       HKEY_LOCAL_MACHINE, &key));
    EXPECT_EQ("Unable to connect to: HB-FRONT01\r\nThe network path was not found.",
              ConnectionErrorText);
    // The network connection made stays in place.
    EXPECT_TRUE(DfxCloseMachineConnection("\\\\HB-FRONT01"));
}

TEST_F(Connections, AWrongPasswordLeavesTheLogonFailureText) {
    HKEY key = nullptr;
    EXPECT_EQ(DFX_CONNECT_FAILED, DfxConnectRegistryAsUser("HB-SECURE", "HARBOR\\administrator",
                                                           "wrong", HKEY_LOCAL_MACHINE, &key));
    EXPECT_EQ(kLogonFailure, ConnectionErrorText);
    EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE")); // nothing was left behind
}

TEST_F(Connections, CloseSaysWhetherThereWasAConnection) {
    EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE"));
    std::string error;
    ASSERT_TRUE(
        DfxConnectMachineAsUser("\\\\HB-SECURE", "HARBOR\\administrator", "Lighthouse7", error));
    EXPECT_TRUE(DfxCloseMachineConnection("HB-SECURE")); // the bare name reaches the same one
    EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE"));
    EXPECT_FALSE(DfxCloseMachineConnection("NO-SUCH-PC"));
}

TEST(WNetErrorText, CodesAndTheExtendedError) {
    LabBuilder lab;
    lab.Machine("PC1")
        .MachineJson("connectError", "1208")
        .MachineJson("extendedError", "\"Server is busy\"");
    lab.Write();
    std::string text = "kept";
    DfxWNetErrorText(NO_ERROR, text);
    EXPECT_EQ("kept", text);
    DfxWNetErrorText(ERROR_LOGON_FAILURE, text);
    EXPECT_EQ(kLogonFailure, text);
    std::string error;
    EXPECT_FALSE(DfxConnectMachineAsUser("PC1", "u", "p", error));
    EXPECT_EQ("Extended Error: Server is busy from Microsoft Windows Network", error);
}

TEST(ScrubText, OverwritesAndEmpties) {
    std::string secret = "Lighthouse7 and a longer tail beyond the short buffer";
    const char* data = secret.data();
    std::size_t size = secret.size();
    DfxScrubText(secret);
    EXPECT_TRUE(secret.empty());
    EXPECT_EQ(std::string(size, '\0'), std::string(data, size)); // the same storage, cleared
}
