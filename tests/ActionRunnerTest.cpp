#include "app/ActionRunner.h"

#include "controls/DialogsDFX.h"
#include "controls/EditFieldsDfx.h"
#include "controls/ListView.h"
#include "support/LabBuilder.h"
#include "support/QtWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

using testsupport::LabBuilder;
using testsupport::ReadTree;
using testsupport::WaitFor;

namespace {

const std::string kJoe = "S-1-5-21-1844237615-1256008271-3217446829-1107";
const std::string kFavorites = "C:\\Documents and Settings\\joe\\Favorites";

// The few controls of the main window that the runner reads and writes.
class TestWindow final : public QWidget, public IExecuteWindow {
public:
    TestWindow() {
        cbActions->addItems({"Backup Favorites From Remote Machine(s)",
                             "Restore Favorites To Remote Machine(s)",
                             "Copy Favorites To Remote Machine(s)",
                             "Delete All Files In Favorite Folder On Remote Machine(s)"});
        Queue->AddColumn("Machine", 200);
        Queue->AddColumn("Information", 1000);
    }
    int ActionIndex() const override { return cbActions->currentIndex(); }
    std::string CopyFavoritesFolder() const override { return CopyFolder->Text(); }
    std::string DefaultFolder() const override { return DefaultDirectoryEdit->Text(); }
    bool AbortOnFailure() const override { return cbAbortOnFailure->isChecked(); }
    TRudListView* MachineQueue() const override { return Queue; }
    void SetStatusPaneHint(const std::string& text) override { Hint = text; }
    void SetStartEnabled(bool on) override { StartEnabled = on; }
    void SetStopEnabled(bool on) override { StopEnabled = on; }
    void SetProgress(int percent, bool) override { Progress = percent; }
    void UpdateCommandStates() override { ++CommandStateUpdates; }

    QComboBox* cbActions = new QComboBox(this);
    TDirectoryEdit* CopyFolder = new TDirectoryEdit(this);
    TDirectoryEdit* DefaultDirectoryEdit = new TDirectoryEdit(this);
    QCheckBox* cbAbortOnFailure = new QCheckBox(this);
    TRudListView* Queue = new TRudListView(this);
    std::string Hint;
    bool StartEnabled = false;
    bool StopEnabled = true;
    int Progress = -1;
    int CommandStateUpdates = 0;
};

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        TDfxMessageSeam::Forget();
        lab.Local("ADMINPC", "NORTHWIND");
        lab.BrowseDomain("Microsoft Windows Network", "NORTHWIND");
        runner = std::make_unique<TActionRunner>(window);
        window.DefaultDirectoryEdit->SetText(lab.Scratch() + "/Backups");
    }
    testsupport::LabMachine& Joe(const std::string& name) {
        return lab.Machine(name)
            .User("NORTHWIND\\joe", kJoe)
            .LoggedOn("NORTHWIND\\joe")
            .File(kFavorites + "\\News.url", "news")
            .File(kFavorites + "\\Links\\Portal.url", "portal");
    }
    void Queue(std::initializer_list<const char*> machines) {
        for (const char* m : machines) {
            window.Queue->AddItem(TListItem{m, false, 2, 0, -1, -1, {{"", -1}}, 0});
        }
    }
    void RunToTheEnd() {
        runner->tbStartChangeClick();
        ASSERT_TRUE(WaitFor([&] { return !runner->IsRunning(); }));
        ASSERT_TRUE(WaitFor([] { return !TActionRunner::WorkersStillRunning(); }));
    }
    std::vector<std::pair<std::string, int>> Outcomes() const {
        std::vector<std::pair<std::string, int>> out;
        for (const TListItem& item : window.Queue->Items()) {
            out.emplace_back(item.SubItems.at(0).Text, item.ImageIndex);
        }
        return out;
    }

    LabBuilder lab;
    TestWindow window;
    std::unique_ptr<TActionRunner> runner;
};

} // namespace

TEST_F(Runner, AnEmptyQueueStartsNothing) {
    lab.Write();
    TDfxMessageSeam::SetNextAnswer(mrOk);
    runner->tbStartChangeClick();
    EXPECT_EQ("Machine queue is empty, please drag/drop one or more machines to queue.",
              TDfxMessageSeam::LastMessage());
    EXPECT_FALSE(runner->IsRunning());
}

TEST_F(Runner, EachMachineShowsItsOwnOutcome) {
    Joe("PC1");
    lab.Machine("NOBODY").User("NORTHWIND\\joe", kJoe, false).LoggedOn("NORTHWIND\\joe");
    Joe("DWORD").Value(
        HKEY_USERS,
        kJoe + "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Favorites", REG_DWORD, std::string(4, '\0'));
    Joe("PC2");
    lab.Write();
    Queue({"\\\\PC1", "NOBODY", "DWORD", "PC2", "PC1\\C$"});
    window.Queue->SetImageIndex(3,
                                3); // failed before: "Processing..." marks it as not failed again
    RunToTheEnd();
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"Done", 2},
                                                        {"Error: no user is logged on", 3},
                                                        {"Error", 3},
                                                        {"Done", 2},
                                                        {"Error: invalid machine name", 3}}),
              Outcomes());
    EXPECT_EQ("Action stopped...", window.Hint);
    EXPECT_TRUE(window.StartEnabled);
    EXPECT_FALSE(window.StopEnabled);
    EXPECT_FALSE(window.Queue->EditingLocked());
    // Default folder, one "\", the machine name without its leading backslashes.
    EXPECT_EQ("news", ReadTree(lab.Scratch() + "/Backups/PC1")["News.url"]);
    EXPECT_EQ("portal", ReadTree(lab.Scratch() + "/Backups/PC2")["Links/Portal.url"]);
    EXPECT_FALSE(testsupport::Exists(lab.Scratch() + "/Backups/NOBODY"));
}

TEST_F(Runner, RestoreHasItsOwnTexts) {
    Joe("PC1");
    Joe("PC2");
    lab.Write();
    testsupport::WriteFile(lab.Scratch() + "/Backups/PC1/Restored.url", "back");
    Queue({"PC1", "PC2"});
    window.cbActions->setCurrentIndex(1);
    RunToTheEnd();
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"Succsessfully Restore The Favorites", 2},
                                                        {TActionRunner::kRestoreFailed, 3}}),
              Outcomes());
    EXPECT_EQ("back",
              testsupport::ReadFile(lab.Machine("PC1").HostPath(kFavorites + "\\Restored.url")));
}

TEST_F(Runner, WithoutADefaultFolderBackupAndRestoreTouchNothing) {
    Joe("PC1");
    lab.Write();
    window.DefaultDirectoryEdit->SetText("");
    Queue({"PC1"});
    for (int action : {0, 1}) {
        window.cbActions->setCurrentIndex(action);
        RunToTheEnd();
        EXPECT_EQ(
            (std::vector<std::pair<std::string, int>>{{"Error: no default folder is set", 3}}),
            Outcomes());
    }
    EXPECT_FALSE(testsupport::Exists("/PC1")) << "never the root of a drive";
    window.cbActions->setCurrentIndex(
        2); // Copy from an empty folder field: the source is not there
    RunToTheEnd();
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{
                  {"Error: The system cannot find the path specified.", 3}}),
              Outcomes());
}

TEST_F(Runner, StopEndsTheRunAfterTheFileAtHand) {
    for (const char* m : {"PC1", "SLOW", "PC3", "PC4"}) {
        Joe(m);
    }
    for (int i = 0; i < 30; ++i) {
        lab.Machine("SLOW").File(kFavorites + "\\Many\\Site" + std::to_string(i) + ".url", "x");
    }
    lab.Machine("SLOW").FileDelay(20);
    lab.Write();
    Queue({"PC1", "SLOW", "PC3", "PC4"});
    runner->tbStartChangeClick();
    ASSERT_TRUE(WaitFor([&] { return window.Queue->Item(1).SubItems[0].Text == "Processing..."; }));
    ASSERT_TRUE(WaitFor([&] { return testsupport::Exists(lab.Scratch() + "/Backups/SLOW/Many"); }));
    QElapsedTimer clock;
    clock.start();
    runner->tbStopChangeClick();
    EXPECT_LT(clock.elapsed(), 100) << "the window does not wait";
    EXPECT_FALSE(runner->IsRunning());
    EXPECT_TRUE(window.StartEnabled);
    EXPECT_FALSE(window.StopEnabled);
    ASSERT_TRUE(WaitFor([] { return !TActionRunner::WorkersStillRunning(); }));
    testsupport::WaitFor([] { return false; }, 100); // any late message would have arrived by now
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{
                  {"Done", 2}, {"Action stopped...", 2}, {"", 2}, {"", 2}}),
              Outcomes());
    EXPECT_EQ("", window.Hint) << "the status pane ends empty";
    EXPECT_EQ(1, window.CommandStateUpdates);
    EXPECT_LT(ReadTree(lab.Scratch() + "/Backups/SLOW/Many").size(), 30u) << "the walk stopped";
    EXPECT_FALSE(testsupport::Exists(lab.Scratch() + "/Backups/PC3"));
}

TEST_F(Runner, TheActionChosenDuringARunCountsFromTheNextMachine) {
    Joe("SLOW").FileDelay(30);
    Joe("PC2");
    lab.Write();
    Queue({"SLOW", "PC2"});
    runner->tbStartChangeClick();
    ASSERT_TRUE(WaitFor([&] { return window.Queue->Item(0).SubItems[0].Text == "Processing..."; }));
    window.cbActions->setCurrentIndex(3); // Clear, for the machines still to come
    EXPECT_TRUE(window.Queue->EditingLocked());
    ASSERT_TRUE(WaitFor([&] { return !runner->IsRunning(); }));
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"Done", 2}, {"Done", 2}}), Outcomes());
    EXPECT_TRUE(testsupport::Exists(lab.Scratch() + "/Backups/SLOW/News.url")) << "backed up";
    EXPECT_FALSE(testsupport::Exists(lab.Scratch() + "/Backups/PC2")) << "not backed up";
    EXPECT_FALSE(testsupport::Exists(lab.Machine("PC2").HostPath(kFavorites))) << "cleared";
}

TEST_F(Runner, ClosingDuringARunEndsPromptly) {
    Joe("SLOW").FileDelay(50);
    for (int i = 0; i < 100; ++i) {
        lab.Machine("SLOW").File(kFavorites + "\\Site" + std::to_string(i) + ".url", "x");
    }
    lab.Write();
    Queue({"SLOW", "SLOW", "SLOW"});
    runner->tbStartChangeClick();
    ASSERT_TRUE(WaitFor([&] { return window.Queue->Item(0).SubItems[0].Text == "Processing..."; }));
    QElapsedTimer clock;
    clock.start();
    runner.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(WaitFor([] { return !TActionRunner::WorkersStillRunning(); }, 2000));
}
