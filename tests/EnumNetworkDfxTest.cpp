#include "discovery/EnumNetworkDfx.h"

#include "support/LabBuilder.h"
#include "support/LogCapture.h"

#include "platform/LabTest.h"
#include "support/LogDFX.h"
#include "support/SysErrorDfx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::LabBuilder;
using testsupport::LogCapture;

namespace {

const std::string kMwn = "Microsoft Windows Network";

// Every name the enumerator kept, one "provider/domain/machine" path a line.
std::vector<std::string> Paths(const TDfxEnumNet& net) {
    std::vector<std::string> out;
    for (const TDfxNetName& p : net.Providers()) {
        out.push_back(p.Name);
        if (!p.Children) {
            continue;
        }
        for (const TDfxNetName& d : *p.Children) {
            out.push_back(p.Name + "/" + d.Name);
            if (!d.Children) {
                continue;
            }
            for (const TDfxNetName& m : *d.Children) {
                out.push_back(p.Name + "/" + d.Name + "/" + m.Name);
            }
        }
    }
    return out;
}

class EnumNet : public ::testing::Test {
protected:
    void SetUp() override {
        DfxLog.Open(); // the log's own file and lock, opened before the handles are counted
        handles_ = lab::test::OpenHandleCount();
    }
    void TearDown() override { EXPECT_EQ(handles_, lab::test::OpenHandleCount()); }

    LabBuilder lab_;
    LogCapture log_;
    TDfxEnumNet net_;
    int handles_ = 0;
};

} // namespace

TEST_F(EnumNet, AnEmptyNetworkGivesNothingAndLogsNothing) {
    lab_.Write();
    net_.Enumerate(2);
    EXPECT_EQ(0, net_.Count());
    EXPECT_EQ(0, net_.DomainCount());
    EXPECT_EQ(0, net_.MachineCount());
    EXPECT_EQ(DfxSysErrorMessage(0), net_.LastError());
    EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(EnumNet, AnUnreachableNetworkIsLoggedWithItsLine) {
    lab_.NetworkJson("openError", "1222").Write();
    net_.Enumerate(2);
    EXPECT_EQ(0, net_.Count());
    EXPECT_EQ("The network is unavailable.", net_.LastError());
    EXPECT_EQ((std::vector<std::string>{
                  "Error in TDfxEnumNet.InternalEnumerate.WNetOpenEnum = The network is "
                  "unavailable. ERROR: The network is not present or not started"}),
              log_.Lines());
}

TEST_F(EnumNet, KeepsOnlyDomainsWithMachinesAndProvidersWithSuchDomains) {
    lab_.BrowseDomain(kMwn, "EMPTY")
        .BrowseMachine(kMwn, "CORP", "PC1")
        .BrowseMachine(kMwn, "CORP", "PC2")
        .BrowseDomain(kMwn, "ALSO EMPTY")
        .BrowseMachine(kMwn, "HOME", "PC3")
        .BrowseDomain("NetWare Services", "NOTHING")
        .Write();
    net_.Enumerate(2);
    EXPECT_EQ((std::vector<std::string>{kMwn, kMwn + "/CORP", kMwn + "/CORP/PC1",
                                        kMwn + "/CORP/PC2", kMwn + "/HOME", kMwn + "/HOME/PC3"}),
              Paths(net_));
    EXPECT_EQ(1, net_.Count());
    EXPECT_EQ(2, net_.DomainCount());
    EXPECT_EQ(3, net_.MachineCount());
    EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(EnumNet, ANameReportedTwiceIsKeptTwiceInTheNetworksOrder) {
    lab_.BrowseMachine(kMwn, "CORP", "PC2")
        .BrowseMachine(kMwn, "CORP", "PC1")
        .BrowseMachine(kMwn, "CORP", "PC2")
        .Write();
    net_.Enumerate(2);
    std::vector<std::string> machines;
    ASSERT_TRUE(net_.GetMachines(kMwn, "CORP", machines));
    EXPECT_EQ((std::vector<std::string>{"PC2", "PC1", "PC2"}), machines); // without backslashes
    EXPECT_EQ(3, net_.MachineCount());
}

TEST_F(EnumNet, ManyMachinesArriveOverSeveralPages) {
    std::vector<std::string> names;
    for (int i = 0; i < 2500; ++i) {
        names.push_back("WORKSTATION-" + std::to_string(i));
        lab_.BrowseMachine(kMwn, "BIG", names.back());
    }
    lab_.Write();
    net_.Enumerate(2);
    std::vector<std::string> machines;
    ASSERT_TRUE(net_.GetMachines(kMwn, "BIG", machines));
    EXPECT_EQ(names, machines);
    EXPECT_EQ(2500, net_.MachineCount());
}

TEST_F(EnumNet, ALevelThatFailsIsDroppedAndLoggedWhileTheOthersGoOn) {
    lab_.NetworkJson("providers", R"([
        {"name": "Microsoft Windows Network", "domains": [
            {"name": "LOCKED", "machines": ["X1"], "openError": 53},
            {"name": "CORP", "machines": ["PC1", "PC2"], "enumError": 1222},
            {"name": "HOME", "machines": ["PC3"]}]},
        {"name": "Broken Provider", "openError": 1222, "domains": []}])")
        .Write();
    net_.Enumerate(2);
    EXPECT_EQ((std::vector<std::string>{kMwn, kMwn + "/CORP", kMwn + "/CORP/PC1",
                                        kMwn + "/CORP/PC2", kMwn + "/HOME", kMwn + "/HOME/PC3"}),
              Paths(net_));
    EXPECT_EQ(
        (std::vector<std::string>{
            "Error in TDfxEnumNet.InternalEnumerate.WNetOpenEnum = The network path was not "
            "found. ERROR: The network path was not found",
            "Error in TDfxEnumNet.InternalEnumerate = The network is unavailable. ERROR: The "
            "network is not present or not started",
            "Error in TDfxEnumNet.InternalEnumerate.WNetOpenEnum = The network is unavailable. "
            "ERROR: The network is not present or not started"}),
        log_.Lines());
    EXPECT_EQ("The network is unavailable.", net_.LastError());
}

TEST_F(EnumNet, MaxLevelLimitsTheWalk) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").BrowseDomain(kMwn, "EMPTY").Write();
    struct Case {
        uint8_t maxLevel;
        std::vector<std::string> paths;
        bool domains;
        bool machines;
    };
    const Case cases[] = {
        {0, {kMwn}, false, false},
        // The level below is still opened: a domain without machines goes at once.
        {1, {kMwn, kMwn + "/CORP"}, true, false},
        {2, {kMwn, kMwn + "/CORP", kMwn + "/CORP/PC1"}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.maxLevel));
        net_.Enumerate(c.maxLevel);
        EXPECT_EQ(c.maxLevel, net_.MaxLevel());
        EXPECT_EQ(c.paths, Paths(net_));
        std::vector<std::string> list{"left over"};
        EXPECT_EQ(c.domains, net_.GetDomains(kMwn, list));
        EXPECT_EQ(c.machines, net_.GetMachines(kMwn, "CORP", list));
    }
}

TEST_F(EnumNet, LookUpsIgnoreCase) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").Write();
    net_.Enumerate(2);
    std::vector<std::string> list;
    EXPECT_TRUE(net_.GetProviders(list));
    EXPECT_EQ(std::vector<std::string>{kMwn}, list);
    EXPECT_TRUE(net_.GetDomains("MICROSOFT windows network", list));
    EXPECT_EQ(std::vector<std::string>{"CORP"}, list);
    EXPECT_TRUE(net_.GetMachines("microsoft windows network", "corp", list));
    EXPECT_EQ(std::vector<std::string>{"PC1"}, list);
    EXPECT_FALSE(net_.GetDomains("NetWare", list));
    EXPECT_FALSE(net_.GetMachines(kMwn, "HOME", list));
}

TEST_F(EnumNet, OneDomainHoldsExactlyThatDomainsMachines) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1")
        .BrowseMachine(kMwn, "CORP", "PC2")
        .BrowseMachine(kMwn, "HOME", "PC3")
        .BrowseDomain(kMwn, "EMPTY")
        .Write();
    net_.EnumerateDomain(kMwn, "corp");
    EXPECT_EQ(
        (std::vector<std::string>{kMwn, kMwn + "/corp", kMwn + "/corp/PC1", kMwn + "/corp/PC2"}),
        Paths(net_));
    EXPECT_EQ(2, net_.MachineCount());
    EXPECT_EQ(2, net_.MaxLevel());

    net_.EnumerateDomain(kMwn, "EMPTY"); // holds no machine: the provider stays alone
    EXPECT_EQ(std::vector<std::string>{kMwn}, Paths(net_));
    EXPECT_TRUE(log_.Lines().empty());

    net_.EnumerateDomain(kMwn, "NOWHERE"); // cannot be opened
    EXPECT_EQ(std::vector<std::string>{kMwn}, Paths(net_));
    EXPECT_EQ(0, net_.MachineCount());
    EXPECT_EQ((std::vector<std::string>{"Error in TDfxEnumNet.InternalEnumerate.WNetOpenEnum = "
                                        "The network path was not found. ERROR: The network "
                                        "path was not found"}),
              log_.Lines());
}

TEST_F(EnumNet, ClearForgetsEverything) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").Write();
    net_.Enumerate(2);
    ASSERT_EQ(1, net_.Count());
    net_.Clear();
    EXPECT_EQ(0, net_.Count());
    EXPECT_EQ(0, net_.DomainCount());
    EXPECT_EQ(0, net_.MachineCount());
}

TEST(EnumNetErrorText, KnownCodesHaveTheirOwnTexts) {
    LabBuilder lab;
    lab.Machine("PC1")
        .MachineJson("connectError", "1208")
        .MachineJson("extendedError",
                     "\"The provider said no, at some length, with a reason that goes on and on "
                     "past eighty characters\"");
    lab.Write();
    EXPECT_EQ("The handle specified by the hEnum parameter is not valid.",
              DfxWNetEnumErrorText(ERROR_INVALID_HANDLE));
    EXPECT_EQ("The network is unavailable.", DfxWNetEnumErrorText(ERROR_NO_NETWORK));
    EXPECT_EQ("The network path was not found.", DfxWNetEnumErrorText(ERROR_BAD_NETPATH));

    std::string remote = "\\\\PC1";
    NETRESOURCEA resource{};
    resource.lpRemoteName = remote.data();
    ASSERT_EQ(static_cast<DWORD>(ERROR_EXTENDED_ERROR),
              WNetAddConnection2A(&resource, "x", "y", 0));
    // The provider's text is cut to the 79 characters its buffer holds.
    EXPECT_EQ("Extended Error: The provider said no, at some length, with a reason that goes on "
              "and on past ei from Provider: Microsoft Windows Network",
              DfxWNetEnumErrorText(ERROR_EXTENDED_ERROR));
}
