#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

using testsupport::LabBuilder;

namespace {

// All names under `parent` (nullptr: the whole network), with the codes met on the way.
std::vector<std::string> Enumerate(NETRESOURCEA* parent, DWORD& openCode,
                                   std::vector<DWORD>& codes) {
    std::vector<std::string> names;
    HANDLE h = nullptr;
    openCode =
        WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, parent, &h);
    if (openCode != NO_ERROR) {
        return names;
    }
    std::vector<char> buffer(32000);
    for (;;) {
        DWORD count = 1000;
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD rc = WNetEnumResourceA(h, &count, buffer.data(), &size);
        codes.push_back(rc);
        if (rc != NO_ERROR && rc != ERROR_MORE_DATA) {
            break;
        }
        auto* entries = reinterpret_cast<NETRESOURCEA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            names.emplace_back(entries[i].lpRemoteName);
        }
    }
    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), WNetCloseEnum(h));
    return names;
}

NETRESOURCEA Resource(DWORD displayType, std::string& remote, std::string& provider) {
    NETRESOURCEA r{};
    r.dwScope = RESOURCE_GLOBALNET;
    r.dwDisplayType = displayType;
    r.dwUsage = RESOURCEUSAGE_CONTAINER;
    r.lpRemoteName = remote.data();
    r.lpProvider = provider.data();
    return r;
}

bool LookUp(const char* system, const char* account, std::string& sid, std::string& domain,
            SID_NAME_USE& use) {
    DWORD sidSize = 0;
    char domainBuf[64];
    DWORD domainSize = sizeof domainBuf;
    if (LookupAccountNameA(system, account, nullptr, &sidSize, domainBuf, &domainSize, &use) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    sid.assign(sidSize, '\0');
    if (!LookupAccountNameA(system, account, sid.data(), &sidSize, domainBuf, &domainSize, &use)) {
        return false;
    }
    domain.assign(domainBuf, domainSize);
    return true;
}

} // namespace

TEST(LabNetwork, BrowseListIsServedInOrderAndInPages) {
    int handles = lab::test::OpenHandleCount();
    LabBuilder lab;
    lab.BrowseMachine("Microsoft Windows Network", "CORP", "PC2")
        .BrowseMachine("Microsoft Windows Network", "CORP", "PC1")
        .BrowseMachine("Microsoft Windows Network", "CORP", "PC2")
        .BrowseDomain("Microsoft Windows Network", "EMPTY");
    for (int i = 0; i < 1500; ++i) {
        lab.BrowseMachine("Microsoft Windows Network", "BIG", "M" + std::to_string(i));
    }
    lab.BrowseMachine("Other Network", "OTHERDOM", "X1");
    lab.Write();
    DWORD open = 0;
    std::vector<DWORD> codes;
    EXPECT_EQ((std::vector<std::string>{"Microsoft Windows Network", "Other Network"}),
              Enumerate(nullptr, open, codes));
    std::string remote = "Microsoft Windows Network";
    std::string provider = remote;
    NETRESOURCEA network = Resource(RESOURCEDISPLAYTYPE_NETWORK, remote, provider);
    EXPECT_EQ((std::vector<std::string>{"CORP", "EMPTY", "BIG"}), Enumerate(&network, open, codes));
    std::string corp = "corp";
    NETRESOURCEA domain = Resource(RESOURCEDISPLAYTYPE_DOMAIN, corp, provider);
    EXPECT_EQ((std::vector<std::string>{"\\\\PC2", "\\\\PC1", "\\\\PC2"}),
              Enumerate(&domain, open, codes));
    // A large domain comes in several pages: ERROR_MORE_DATA until the last.
    std::string big = "BIG";
    NETRESOURCEA bigDomain = Resource(RESOURCEDISPLAYTYPE_DOMAIN, big, provider);
    codes.clear();
    std::vector<std::string> machines = Enumerate(&bigDomain, open, codes);
    ASSERT_EQ(1500u, machines.size());
    EXPECT_EQ("\\\\M1499", machines.back());
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), codes.front());
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_ITEMS), codes.back());
    std::string nowhere = "NOWHERE";
    NETRESOURCEA missing = Resource(RESOURCEDISPLAYTYPE_DOMAIN, nowhere, provider);
    Enumerate(&missing, open, codes);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), open);
    EXPECT_EQ(handles, lab::test::OpenHandleCount());
}

TEST(LabNetwork, EnumerationFaultsFromTheDescription) {
    LabBuilder lab;
    lab.BrowseMachine("Microsoft Windows Network", "CORP", "PC1");
    lab.Write();
    testsupport::WriteFile(lab.Root() + "/network.json", R"({
  "providers": [
    { "name": "Microsoft Windows Network", "enumError": 59,
      "domains": [ { "name": "CORP", "openError": 5, "machines": ["PC1"] },
                   { "name": "LAB", "machines": ["PC9"] } ] } ]
})");
    DWORD open = 0;
    std::vector<DWORD> codes;
    std::string remote = "Microsoft Windows Network";
    std::string provider = remote;
    NETRESOURCEA network = Resource(RESOURCEDISPLAYTYPE_NETWORK, remote, provider);
    EXPECT_EQ((std::vector<std::string>{"CORP", "LAB"}), Enumerate(&network, open, codes));
    EXPECT_EQ(59u, codes.back()); // after the entries, the failure
    std::string corp = "CORP";
    NETRESOURCEA domain = Resource(RESOURCEDISPLAYTYPE_DOMAIN, corp, provider);
    Enumerate(&domain, open, codes);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), open);

    testsupport::WriteFile(lab.Root() + "/network.json", R"({ "openError": 1222 })");
    Enumerate(nullptr, open, codes);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_NETWORK), open);
}

TEST(LabNetwork, AccountLookUpFollowsTheBufferProtocolAndTheSearchOrder) {
    LabBuilder lab;
    lab.Local("ADMINPC", "CORP");
    lab.Machine("PC1").InDomain("CORP");
    lab.Machine("HOMEPC");
    lab.Machine("GONE").Unreachable();
    lab.Account("CORP\\joe", "S-1-5-21-100-200-300-1001")
        .Account("CORP\\Staff", "S-1-5-21-100-200-300-513", "group")
        .Account("HOMEPC\\jane", "S-1-5-21-9-8-7-1000")
        .Account("PC1\\joe", "S-1-5-21-5-5-5-1003");
    lab.Write();
    std::string sid;
    std::string domain;
    SID_NAME_USE use{};
    struct Case {
        const char* system;
        const char* account;
        const char* domain; // nullptr: not found
        SID_NAME_USE use;
    } cases[] = {
        {"CORP", "joe", "CORP", SidTypeUser},      {".", "CORP\\joe", "CORP", SidTypeUser},
        {nullptr, "joe", "CORP", SidTypeUser},     {"\\\\PC1", "joe", "PC1", SidTypeUser},
        {"PC1", "CORP\\JOE", "CORP", SidTypeUser}, {"HOMEPC", "jane", "HOMEPC", SidTypeUser},
        {"CORP", "staff", "CORP", SidTypeGroup},   {".", "HOMEPC\\jane", nullptr, SidTypeUser},
        {"CORP", "nobody", nullptr, SidTypeUser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.system != nullptr ? c.system : "(null)") + " " + c.account);
        bool found = LookUp(c.system, c.account, sid, domain, use);
        EXPECT_EQ(c.domain != nullptr, found);
        if (c.domain != nullptr && found) {
            EXPECT_EQ(c.domain, domain);
            EXPECT_EQ(c.use, use);
            EXPECT_TRUE(IsValidSid(sid.data()));
        } else if (!found) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_NONE_MAPPED), GetLastError());
        }
    }
    EXPECT_FALSE(LookUp("NOSUCHPC", "joe", sid, domain, use));
    EXPECT_EQ(static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE), GetLastError());
    EXPECT_FALSE(LookUp("GONE", "joe", sid, domain, use));
    EXPECT_EQ(static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE), GetLastError());
}

TEST(LabNetwork, SidPartsAsWindowsLaysThemOut) {
    LabBuilder lab;
    lab.BrowseDomain("Microsoft Windows Network", "CORP")
        .Account("CORP\\big", "S-1-0x123456789ABC-4294967295-0-2147483648");
    lab.Write();
    std::string sid;
    std::string domain;
    SID_NAME_USE use{};
    ASSERT_TRUE(LookUp("CORP", "big", sid, domain, use));
    PSID p = sid.data();
    EXPECT_EQ(3, *GetSidSubAuthorityCount(p));
    EXPECT_EQ(20u, GetLengthSid(p));
    const BYTE* authority = GetSidIdentifierAuthority(p)->Value;
    EXPECT_EQ(0x12, authority[0]);
    EXPECT_EQ(0xBC, authority[5]);
    EXPECT_EQ(4294967295u, *GetSidSubAuthority(p, 0));
    EXPECT_EQ(2147483648u, *GetSidSubAuthority(p, 2));
    sid[0] = 2;
    EXPECT_FALSE(IsValidSid(p));
}

TEST(LabNetwork, HostNamesComeFromTheDescription) {
    LabBuilder lab;
    lab.Host("10.0.0.11", "pc11.corp.example").Host("192.168.1.5", "PRINTER");
    lab.Write();
    struct AddressCase {
        const char* text;
        uint32_t value;
    } addresses[] = {
        {"10.0.0.11", 0x0B00000A},   {"192.168.1.5", 0x0501A8C0},      {"10.0.1", 0x0100000A},
        {"0x0a.0.0.11", 0x0B00000A}, {"255.255.255.255", INADDR_NONE}, {"10.0.0.256", INADDR_NONE},
        {"", INADDR_NONE},           {"10.0.0.1x", INADDR_NONE},       {"1.2.3.4.5", INADDR_NONE},
    };
    for (const AddressCase& a : addresses) {
        SCOPED_TRACE(a.text);
        EXPECT_EQ(a.value, inet_addr(a.text));
    }
    uint32_t address = inet_addr("10.0.0.11");
    EXPECT_EQ(nullptr, gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET));
    EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    hostent* host = gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
    ASSERT_NE(nullptr, host);
    EXPECT_STREQ("pc11.corp.example", host->h_name);
    in_addr in{};
    in.s_addr = address;
    EXPECT_STREQ("10.0.0.11", inet_ntoa(in));
    uint32_t unknown = inet_addr("10.0.0.12");
    EXPECT_EQ(nullptr, gethostbyaddr(reinterpret_cast<const char*>(&unknown), 4, AF_INET));
    EXPECT_EQ(0, WSACleanup());
    lab::test::FailWinsockStartup(WSASYSNOTREADY);
    EXPECT_EQ(WSASYSNOTREADY, WSAStartup(MAKEWORD(1, 1), &data));
}

extern "C" __attribute__((visibility("default"))) int QuillmarkLabExportedForTest() {
    return 42;
}

TEST(LabSystem, ThisComputerAndThisProgram) {
    LabBuilder lab;
    lab.Write();
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string expected;
    for (char* c = host; *c != '\0' && *c != '.' && expected.size() < MAX_COMPUTERNAME_LENGTH;
         ++c) {
        expected.push_back(static_cast<char>(toupper(static_cast<unsigned char>(*c))));
    }
    EXPECT_EQ(expected, std::string(name, size));

    lab.Local("ADMINISTRATIONPC01").NetworkJson("environment", R"({"Work": "C:\\Work"})");
    lab.Write();
    size = 4;
    EXPECT_FALSE(GetComputerNameA(name, &size));
    EXPECT_EQ(16u, size);
    size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_EQ("ADMINISTRATIONP", std::string(name, size));

    char out[64];
    DWORD needed = ExpandEnvironmentStringsA("%WORK%\\%NoSuchVariable%\\%", out, sizeof out);
    EXPECT_STREQ("C:\\Work\\%NoSuchVariable%\\%", out);
    EXPECT_EQ(std::strlen(out) + 1, needed);
    EXPECT_EQ(needed, ExpandEnvironmentStringsA("%WORK%\\%NoSuchVariable%\\%", out, 2));

    // Through void (*)(): the generic function pointer type, as Windows code casts FARPROC.
    auto f = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA(nullptr), "QuillmarkLabExportedForTest")));
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(42, f());
    EXPECT_EQ(nullptr, GetProcAddress(GetModuleHandleA(nullptr), "NoSuchFunction"));

    char buf[32];
    EXPECT_EQ(0u, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 999999, 0, buf, sizeof buf,
                                 nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND), GetLastError());
    ASSERT_NE(0u,
              FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, buf, sizeof buf, nullptr));
    EXPECT_STREQ("Access is denied.\r\n", buf);
}
