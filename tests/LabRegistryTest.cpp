#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using testsupport::LabBuilder;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

constexpr const char* kJoe = "S-1-5-21-1004336348-1177238915-682003330-1001";

LONG Connect(const char* machine, HKEY root, HKEY& key) {
    return RegConnectRegistryA(machine, root, &key);
}

std::string QueryText(HKEY key, const char* name) {
    char buf[256] = {};
    DWORD size = sizeof buf;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buf), &size));
    return std::string(buf);
}

class LabRegistry : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0, lab::test::OpenKeyCount()); }
    LabBuilder lab;
};

} // namespace

TEST_F(LabRegistry, MachineFaultsGiveTheirWindowsCodes) {
    lab.Local("ADMINPC");
    lab.Machine("PC1");
    lab.Machine("GONE").Unreachable();
    lab.Machine("NOSVC").RegistryStopped();
    lab.Machine("SECURE").Credentials("CORP\\admin", "s3cret");
    lab.Write();
    struct Case {
        const char* machine;
        LONG code;
    } cases[] = {
        {"\\\\PC1", ERROR_SUCCESS},         {"pc1", ERROR_SUCCESS},
        {"\\\\NOWHERE", ERROR_BAD_NETPATH}, {"\\\\GONE", ERROR_BAD_NETPATH},
        {"\\\\NOSVC", ERROR_BAD_NETPATH},   {"\\\\SECURE", ERROR_ACCESS_DENIED},
        {"\\\\PC1\\C$", ERROR_BAD_NETPATH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        HKEY key = nullptr;
        EXPECT_EQ(c.code, Connect(c.machine, HKEY_LOCAL_MACHINE, key));
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
}

TEST_F(LabRegistry, CredentialsHoldUntilCancelled) {
    lab.Machine("SECURE").Credentials("CORP\\admin", "s3cret");
    lab.Write();
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_ANY;
    std::string remote = "\\\\SECURE";
    resource.lpRemoteName = remote.data();
    EXPECT_EQ(ERROR_LOGON_FAILURE, WNetAddConnection2A(&resource, "wrong", "CORP\\admin", 0));
    EXPECT_EQ(ERROR_LOGON_FAILURE, WNetAddConnection2A(&resource, nullptr, nullptr, 0));
    EXPECT_EQ(NO_ERROR, WNetAddConnection2A(&resource, "s3cret", "admin", 0));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Connect("\\\\secure", HKEY_USERS, key));
    RegCloseKey(key);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("\\\\SECURE\\C$\\WINDOWS"));
    EXPECT_EQ(NO_ERROR, WNetCancelConnection2A("\\\\SECURE", 0, TRUE));
    EXPECT_EQ(ERROR_NOT_CONNECTED, WNetCancelConnection2A("\\\\SECURE", 0, TRUE));
    EXPECT_EQ(ERROR_ACCESS_DENIED, Connect("\\\\SECURE", HKEY_USERS, key));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("\\\\SECURE\\C$\\WINDOWS"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(LabRegistry, KeysAndValuesCompareWithoutCaseAndEnumerateInFileOrder) {
    lab.Machine("PC1")
        .User("CORP\\joe", kJoe)
        .Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Order\\Zulu", "x", "1")
        .Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Order\\alpha", "x", "2")
        .Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Order\\Mike", "x", "3");
    lab.Write();
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Connect("\\\\PC1", HKEY_LOCAL_MACHINE, root));
    HKEY order = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, "software\\ORDER", 0, KEY_READ, &order));
    std::string names;
    char name[8];
    DWORD len = sizeof name;
    for (DWORD i = 0;
         RegEnumKeyExA(order, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name) {
        names += std::string(name, len) + ",";
    }
    EXPECT_EQ("Zulu,alpha,Mike,", names);
    len = 2;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumKeyExA(order, 0, name, &len, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumKeyExA(order, 3, name, &len, nullptr, nullptr, nullptr, nullptr));

    HKEY cv = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                           0, KEY_READ, &cv));
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(cv, "systemroot", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(11u, size); // C:\WINDOWS and its terminating zero
    char small[4];
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(cv, "SystemRoot", nullptr, &type,
                                                reinterpret_cast<LPBYTE>(small), &size));
    EXPECT_EQ(11u, size);
    EXPECT_EQ("C:\\WINDOWS", QueryText(cv, "SystemRoot"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(cv, "Missing", nullptr, &type, nullptr, &size));
    HKEY none = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(root, "SOFTWARE\\Nothing", 0, KEY_READ, &none));
    // A remote hive is read, never written.
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegSetValueExA(cv, "SystemRoot", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
    RegCloseKey(cv);
    RegCloseKey(order);
    EXPECT_EQ(1, lab::test::OpenRemoteRootCount());
    RegCloseKey(root);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(root));
}

TEST_F(LabRegistry, CurrentUserHiveIsWrittenAtomicallyAndReadBack) {
    lab.Write();
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel Quillmark 1.0\\Settings", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    const char folder[] = "C:\\Backup \"quoted\"";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "DefaultFolder", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(folder), sizeof folder));
    DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, "Flag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
    RegCloseKey(key);

    std::string file = lab.ConfigHome() + "/Quillmark/HKCU.reg";
    std::string text = ReadFile(file);
    EXPECT_EQ(0u, text.find("REGEDIT4\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("\"DefaultFolder\"=\"C:\\\\Backup \\\"quoted\\\"\"\r\n"));
    EXPECT_FALSE(testsupport::Exists(file + ".tmp"));

    lab::test::Reset(); // as a new process would: read the file again
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\tarvel quillmark 1.0\\settings", 0,
                            KEY_READ, &key));
    EXPECT_EQ(folder, QueryText(key, "DefaultFolder"));
    // A key opened for reading writes nothing.
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegSetValueExA(key, "Flag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
    RegCloseKey(key);
}

TEST_F(LabRegistry, MalformedCurrentUserFileIsNeverWrittenOver) {
    lab.Write();
    std::string file = lab.ConfigHome() + "/Quillmark/HKCU.reg";
    WriteFile(file, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software]\r\n\"x\"=dword:zz\r\n");
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BADDB, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(file + ":3: dword: needs 1 to 8 hexadecimal digits", lab::test::LastComplaint());
    EXPECT_EQ("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software]\r\n\"x\"=dword:zz\r\n", ReadFile(file));
}

TEST_F(LabRegistry, MalformedMachineHiveFailsTheConnectionWithItsLine) {
    lab.Machine("PC1");
    lab.Write();
    WriteFile(lab.Root() + "/machines/PC1/HKU.reg",
              "REGEDIT4\r\n\r\n[HKEY_USERS\\S-1]\r\n\"v\"=hex:0g\r\n");
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, Connect("\\\\PC1", HKEY_LOCAL_MACHINE, key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_BADDB, Connect("\\\\PC1", HKEY_USERS, key));
    EXPECT_EQ(lab.Root() + "/machines/PC1/HKU.reg:4: expected a byte of two hexadecimal digits",
              lab::test::LastComplaint());
}

TEST_F(LabRegistry, MalformedDescriptionsNameFileAndLine) {
    struct Case {
        const char* file;
        const char* text;
        const char* message;
    } cases[] = {
        {"network.json", "{\n  \"providers\": [\n    {\"name\": 5}\n  ]\n}\n",
         "network.json:3: \"name\" must be a text, not a whole number"},
        {"network.json", "{\n  \"localMachine\": \"A\",\n  \"localMachine\": \"B\"\n}\n",
         "network.json:3: duplicate field \"localMachine\""},
        {"network.json", "{\n  \"provider\": []\n}\n",
         "network.json:2: unknown field \"provider\""},
        {"network.json",
         "{\n  \"accounts\": [{\"domain\": \"C\", \"name\": \"j\",\n \"sid\": \"S-1-x\"}]\n}\n",
         "network.json:3: \"S-1-x\" is not a SID"},
        {"network.json", "{\n  \"hosts\": {\"10.0.0.300\": \"pc\"}\n}\n",
         "network.json:2: \"10.0.0.300\" is not an IPv4 address"},
        {"network.json", "{\n  \"providers\": [\n  ]\n  oops\n}\n", "network.json:4: syntax error"},
        {"machines/PC1/machine.json", "{\n  \"adminShare\": \"write\"\n}\n",
         "machine.json:2: \"adminShare\" must be \"none\", \"read\" or \"full\""},
        {"machines/PC1/machine.json", "{\n  \"fileDelayMs\": -1\n}\n",
         "machine.json:2: \"fileDelayMs\" must lie between 0 and 60000"},
        {"machines/PC1/machine.json", "[1, 2]",
         "machine.json:1: the description must be an object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LabBuilder fresh;
        fresh.Machine("PC1");
        fresh.Write();
        WriteFile(fresh.Root() + "/" + c.file, c.text);
        std::string complaint = lab::test::CheckLab();
        EXPECT_NE(std::string::npos, complaint.find(c.message)) << complaint;
        EXPECT_EQ(0u, complaint.find(fresh.Root())) << complaint;
    }
}
