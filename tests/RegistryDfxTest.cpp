#include "engine/RegistryDfx.h"

#include "support/LabBuilder.h"

#include "platform/LabTest.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using testsupport::LabBuilder;

class RegistryDfx : public ::testing::Test {
protected:
    void SetUp() override {
        lab.Local("AdminPC");
        lab.Machine("ADMINPC").Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Where", "Is", "local");
        lab.Machine("PC1").Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Where", "Is", "remote");
        lab.Machine("GONE").Unreachable();
        lab.Write();
    }
    void TearDown() override { EXPECT_EQ(0, lab::test::OpenKeyCount()); }
    LabBuilder lab;
};

TEST_F(RegistryDfx, LocalNamesNeverConnect) {
    EXPECT_EQ("\\\\ADMINPC", LocalMachineName);
    for (const char* name : {"", "ADMINPC", "adminpc", "\\ADMINPC", "\\\\AdminPc", "\\\\"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(TDfxRegistry::IsLocalMachineName(name));
        TDfxRegistry reg(KEY_READ);
        reg.SelectRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.ConnectMachine(IncludeLeadingBackslashes(name)));
        ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\Where"));
        EXPECT_EQ("local", reg.ReadString("Is"));
        reg.CloseKey();
        reg.CloseRootKey();
    }
    EXPECT_EQ(0, lab::test::RemoteConnectCount());
    EXPECT_FALSE(TDfxRegistry::IsLocalMachineName("PC1"));
}

TEST_F(RegistryDfx, ConnectsOtherMachinesAndLeavesTheRootOnFailure) {
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.ConnectMachine("\\\\GONE"));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, reg.RootKey());
    ASSERT_TRUE(reg.ConnectMachine("\\\\PC1"));
    EXPECT_NE(HKEY_LOCAL_MACHINE, reg.RootKey());
    ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\Where"));
    EXPECT_EQ("remote", reg.ReadString("Is"));
    EXPECT_EQ("", reg.ReadString("Missing"));
    EXPECT_EQ(1, lab::test::RemoteConnectCount());
    // Switching roots closes the connected handle before the next connection.
    EXPECT_EQ(1, lab::test::OpenRemoteRootCount());
    reg.SelectRootKey(HKEY_USERS);
    EXPECT_EQ(0, lab::test::OpenRemoteRootCount());
    ASSERT_TRUE(reg.ConnectMachine("\\\\PC1"));
    EXPECT_EQ(1, lab::test::OpenRemoteRootCount());
    ASSERT_TRUE(reg.OpenKeyReadOnly(""));
    std::vector<std::string> names;
    reg.GetKeyNames(names);
    EXPECT_EQ((std::vector<std::string>{".DEFAULT", "S-1-5-18"}), names);
    reg.CloseKey();
    reg.CloseRootKey();
    EXPECT_EQ(0, lab::test::OpenRemoteRootCount());
}

TEST_F(RegistryDfx, ObjectGoingAwayReleasesEveryHandle) {
    {
        TDfxRegistry reg(KEY_READ);
        reg.SelectRootKey(HKEY_USERS);
        ASSERT_TRUE(reg.ConnectMachine("\\\\PC1"));
        ASSERT_TRUE(reg.OpenKeyReadOnly("S-1-5-18"));
        EXPECT_EQ(2, lab::test::OpenKeyCount());
    }
    EXPECT_EQ(0, lab::test::OpenKeyCount());
}

TEST_F(RegistryDfx, ReadsOfTheWrongTypeRaise) {
    lab.Machine("PC1").Value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Where", "Number", REG_DWORD,
                             std::string("\x07\0\0\0", 4));
    lab.Write();
    TDfxRegistry reg(KEY_READ);
    reg.SelectRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.ConnectMachine("\\\\PC1"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\Where"));
    EXPECT_EQ(7, reg.ReadInteger("Number"));
    EXPECT_EQ(TRegDataType::Integer, reg.GetDataType("Number"));
    try {
        reg.ReadString("Number");
        ADD_FAILURE() << "read a number as text";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ("Invalid data type for 'Number'", e.what());
    }
    EXPECT_THROW(reg.ReadInteger("Is"), ERegistryException);
    reg.CloseKey();
    reg.CloseRootKey();
}

TEST_F(RegistryDfx, CurrentUserKeysAreOpenedOrMadeAndDeletedAsTrees) {
    TDfxRegistry reg;
    try {
        reg.SelectRootKey(HKEY_LOCAL_MACHINE); // this computer's machine hive is read-only here
        reg.OpenKeyOrRaise("SOFTWARE\\New");
        ADD_FAILURE() << "made a key in a read-only hive";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("Unable to open Key: SOFTWARE\\New", e.what());
    }
    reg.ResetRootKey(HKEY_CURRENT_USER);
    reg.OpenKeyOrRaise("Software\\Columns\\Queue\\Machine");
    reg.WriteDataValue("width", 4, "\xc8\0\0\0", 4);
    reg.OpenKeyOrRaise("\\Software\\Columns\\Queue\\Information");
    reg.WriteIntegerValue("width", 1000);
    reg.WriteStringValue("note", "kept");
    reg.OpenKeyOrRaise("Software\\Columns\\Queue\\Information\\Deeper");
    reg.OpenKeyOrRaise("Software\\Columns");
    EXPECT_TRUE(reg.KeyExists("Queue\\Machine"));
    EXPECT_TRUE(reg.DeleteKeyTree("Nothing Here"));

    lab::test::ProtectKey("HKEY_CURRENT_USER\\Software\\Columns\\Queue\\Information\\Deeper");
    EXPECT_FALSE(reg.DeleteKeyTree("Queue"));
    // Keys ahead of the undeletable one went; it and the keys above it stay.
    EXPECT_FALSE(reg.KeyExists("Queue\\Machine"));
    EXPECT_TRUE(reg.KeyExists("Queue\\Information\\Deeper"));

    lab::test::Reset();
    TDfxRegistry again;
    again.OpenKeyOrRaise("Software\\Columns");
    EXPECT_TRUE(again.DeleteKeyTree("Queue"));
    EXPECT_FALSE(again.KeyExists("Queue"));
}
