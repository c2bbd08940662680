#include "discovery/EnumNetworkDfx.h"
#include "discovery/MachineEnumByDomainNameFrm.h"
#include "discovery/TreeCommandsDfx.h"
#include "discovery/TreeViewDfx.h"

#include "controls/DialogsDFX.h"
#include "support/LabBuilder.h"
#include "support/LogCapture.h"
#include "support/ModalDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

using testsupport::LabBuilder;
using testsupport::LogCapture;
using testsupport::WhenModal;

namespace {

const char* const kMwn = "Microsoft Windows Network";

class EnumerateCommands : public ::testing::Test {
protected:
    void SetUp() override {
        TDfxMessageSeam::Forget();
        // What the tree held before: a loaded file and machines added by hand.
        ASSERT_EQ("", DfxLoadEnumText(&tree_, testsupport::CrLfLines(
                                                  {"Old Provider", "\tOLD", "\t\tBY-HAND"})));
    }

    TDfxHintSetter Hint() {
        return [this](const std::string& text) { hint_ = text; };
    }

    LabBuilder lab_;
    LogCapture log_;
    TDfxEnumNet net_;
    TDfxTreeView tree_;
    std::string hint_;
};

} // namespace

TEST_F(EnumerateCommands, EnumerateLanReplacesTheWholeTree) {
    lab_.BrowseMachine(kMwn, "CORP", "PC2")
        .BrowseMachine(kMwn, "CORP", "PC1")
        .BrowseMachine(kMwn, "CORP", "PC2")
        .BrowseDomain(kMwn, "EMPTY")
        .BrowseMachine(kMwn, "HOME", "PC3")
        .BrowseDomain("NetWare Services", "NOTHING")
        .Write();
    DfxEnumerateLanCommand(net_, &tree_, Hint());
    EXPECT_EQ("Enumerating LAN for Computers", hint_);
    EXPECT_EQ(nullptr, QApplication::overrideCursor()); // the cursor is back
    EXPECT_EQ(testsupport::CrLfLines(
                  {kMwn, "\tCORP", "\t\tPC2", "\t\tPC1", "\t\tPC2", "\tHOME", "\t\tPC3"}),
              DfxEnumText(&tree_));
    QTreeWidgetItem* machine = tree_.topLevelItem(0)->child(0)->child(1);
    EXPECT_EQ(2, DfxNodeLevel(machine));
    EXPECT_EQ("", TDfxMessageSeam::LastMessage()); // no box for what the network reports
}

TEST_F(EnumerateCommands, AnEmptyOrUnreachableNetworkLeavesTheTreeEmpty) {
    for (const char* openError : {"0", "1222"}) {
        SCOPED_TRACE(openError);
        lab_.NetworkJson("openError", openError).Write();
        ASSERT_EQ("", DfxLoadEnumText(&tree_, testsupport::CrLfLines({"Old Provider"})));
        DfxEnumerateLanCommand(net_, &tree_, nullptr);
        EXPECT_EQ(0, tree_.topLevelItemCount());
    }
    EXPECT_EQ(1u, log_.Lines().size());
}

TEST_F(EnumerateCommands, OneDomainFromTheDialogReplacesTheTree) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").BrowseMachine(kMwn, "HOME", "PC3").Write();
    DfxEnumerateLanCommand(net_, &tree_, Hint());
    QTreeWidgetItem* home = tree_.topLevelItem(0)->child(1);
    home->setSelected(true);
    auto driver = WhenModal<TMachineEnumByDomainNameForm>([](TMachineEnumByDomainNameForm* d) {
        EXPECT_EQ("HOME", d->cbDomain->currentText().toStdString()); // from the selected node
        QTest::mouseClick(d->btOK, Qt::LeftButton);
    });
    hint_.clear();
    EXPECT_TRUE(DfxEnumerateLanViaDomainNameCommand(net_, nullptr, &tree_, Hint(),
                                                    DfxFormClass<TMachineEnumByDomainNameForm>()));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ("Enumerating LAN for Computers", hint_);
    EXPECT_EQ(testsupport::CrLfLines({kMwn, "\tHOME", "\t\tPC3"}), DfxEnumText(&tree_));
}

TEST_F(EnumerateCommands, ADomainWithNothingFoundLeavesOneProviderNode) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").BrowseDomain(kMwn, "EMPTY").Write();
    for (const char* domain : {"EMPTY", "NOWHERE"}) {
        SCOPED_TRACE(domain);
        auto driver =
            WhenModal<TMachineEnumByDomainNameForm>([domain](TMachineEnumByDomainNameForm* d) {
                QTest::keyClicks(d->cbDomain->lineEdit(), domain);
                QTest::mouseClick(d->btOK, Qt::LeftButton);
            });
        EXPECT_TRUE(DfxEnumerateLanViaDomainNameCommand(
            net_, nullptr, &tree_, Hint(), DfxFormClass<TMachineEnumByDomainNameForm>()));
        EXPECT_EQ(testsupport::CrLfLines({kMwn}), DfxEnumText(&tree_));
    }
}

TEST_F(EnumerateCommands, CancellingTheDomainDialogKeepsTheTreeButNotTheHint) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").Write();
    std::string before = DfxEnumText(&tree_);
    auto driver = WhenModal<TMachineEnumByDomainNameForm>(
        [](TMachineEnumByDomainNameForm* d) { QTest::mouseClick(d->btCancel, Qt::LeftButton); });
    EXPECT_FALSE(DfxEnumerateLanViaDomainNameCommand(net_, nullptr, &tree_, Hint(),
                                                     DfxFormClass<TMachineEnumByDomainNameForm>()));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ(before, DfxEnumText(&tree_));
    EXPECT_EQ("Enumerating LAN for Computers", hint_);
}

TEST_F(EnumerateCommands, FillTreeViewShowsWhatTheLastWalkFound) {
    lab_.BrowseMachine(kMwn, "CORP", "PC1").Write();
    net_.EnumerateDomain(kMwn, "CORP");
    net_.FillTreeView(&tree_, 0, 1, 2);
    EXPECT_EQ(testsupport::CrLfLines({kMwn, "\tCORP", "\t\tPC1"}), DfxEnumText(&tree_));
    net_.Clear();
    net_.FillTreeView(&tree_, 0, 1, 2);
    EXPECT_EQ(0, tree_.topLevelItemCount());
}
