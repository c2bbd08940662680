#include "app/MachineSettings.h"
#include "app/SettingsStore.h"

#include "controls/DialogsDFX.h"
#include "controls/EditFieldsDfx.h"
#include "controls/FileDialogDfx.h"
#include "controls/FormPlacementDfx.h"
#include "engine/RegIniFileDfx.h"
#include "engine/RegistryDfx.h"
#include "support/IniFileDfx.h"
#include "support/LabBuilder.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using testsupport::ReadFile;

namespace {

const std::string kSettings = "\\Software\\Tarvel Quillmark 1.0\\Settings";

void StoreText(const std::string& name, const std::string& value) {
    TDfxRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettings, true));
    reg.WriteString(name, value);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        lab.Write();
        TDfxMessageSeam::Forget();
        TDfxFileDialogSeam::Forget();
    }
    std::string CurrentUserFile() const {
        return ReadFile(lab.ConfigHome() + "/Quillmark/HKCU.reg");
    }
    testsupport::LabBuilder lab;
};

} // namespace

TEST_F(Settings, AFirstStartOnACleanAccount) {
    EXPECT_FALSE(IsFirstRun()) << "no key at all: a failure answers false";
    TRegIniFile ini(DFX_PROGRAM_KEY); // as the main window makes it at start
    EXPECT_TRUE(IsFirstRun());
    EXPECT_FALSE(ReadShowTips());
    MarkFirstRun();
    WriteShowTips(true);
    EXPECT_FALSE(IsFirstRun());
    EXPECT_TRUE(ReadShowTips());
    std::string file = CurrentUserFile();
    EXPECT_NE(std::string::npos,
              file.find("[HKEY_CURRENT_USER\\Software\\Tarvel Quillmark 1.0]\r\n"
                        "\"FirstTimeRun\"=\"1\"\r\n\"ShowTipsNextTime\"=dword:00000001\r\n"));
    EXPECT_EQ(std::string::npos, file.find("Settings]"))
        << "the Settings key comes with the first write";
    WriteShowTips(false);
    EXPECT_FALSE(ReadShowTips());
}

TEST_F(Settings, AbortOnFailureReadsAsAnInteger) {
    struct Case {
        const char* stored;
        bool checked;
    } cases[] = {{"1", true}, {"5", true}, {"0", false}, {"yes", false}, {"", false}};
    for (const Case& c : cases) {
        StoreText("AbortOnFailure", c.stored);
        TFrmSettings dialog;
        EXPECT_EQ(c.checked, dialog.cbAbortOnFailure->isChecked()) << c.stored;
    }
}

TEST_F(Settings, AValueOfTheWrongTypeGivesTheReadError) {
    TDfxRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettings, true));
    reg.WriteInteger("DefaultFolder", 7);
    TDfxMessageSeam::SetNextAnswer(mrOk);
    TFrmSettings dialog;
    EXPECT_EQ("Unable to read settings from Registry\n"
              "HKEY_CURRENT_USER\\Software\\Tarvel Quillmark 1.0\\Settings\\",
              TDfxMessageSeam::LastMessage());
    EXPECT_EQ("", dialog.DefaultDirectoryEdit->Text());
}

TEST_F(Settings, OkStoresCancelRestoresTheCloseBoxDoesNeither) {
    StoreText("DefaultFolder", "C:\\Backups");
    TFrmSettings dialog;
    auto edit = [&](const std::string& folder, bool abort) {
        dialog.DefaultDirectoryEdit->SetText(folder);
        dialog.cbAbortOnFailure->setChecked(abort);
    };
    dialog.show();
    edit("\"C:\\Quoted\"", true);
    dialog.btnOk->click();
    EXPECT_NE(std::string::npos,
              CurrentUserFile().find("\"DefaultFolder\"=\"\\\"C:\\\\Quoted\\\"\""));
    EXPECT_NE(std::string::npos, CurrentUserFile().find("\"AbortOnFailure\"=\"1\""));

    dialog.show();
    edit("D:\\Elsewhere", false);
    dialog.btnCancel->click();
    EXPECT_EQ("\"C:\\Quoted\"", dialog.DefaultDirectoryEdit->Text());
    EXPECT_TRUE(dialog.cbAbortOnFailure->isChecked());

    dialog.show();
    edit("E:\\Unsaved", false);
    dialog.close();
    EXPECT_EQ("E:\\Unsaved", dialog.DefaultDirectoryEdit->Text()) << "kept for the action runner";
    EXPECT_NE(std::string::npos,
              CurrentUserFile().find("\"DefaultFolder\"=\"\\\"C:\\\\Quoted\\\"\""));
    TFrmSettings again;
    EXPECT_EQ("\"C:\\Quoted\"", again.DefaultDirectoryEdit->Text());
}

TEST_F(Settings, BrowseButtonsFillTheFields) {
    TFrmSettings dialog;
    TDfxFileDialogSeam::SetNextFileName("/data/Machines");
    dialog.edDefaultEnum->BrowseButton()->click();
    EXPECT_EQ("/data/Machines.dat", dialog.edDefaultEnum->Text());
    TDfxFileDialogSeam::SetNextFileName("C:\\Backups\\Favorites");
    dialog.DefaultDirectoryEdit->BrowseButton()->click();
    EXPECT_EQ("C:\\Backups\\Favorites", dialog.DefaultDirectoryEdit->Text());
    TDfxFileDialogSeam::SetNextFileName(""); // cancelled
    dialog.DefaultDirectoryEdit->BrowseButton()->click();
    EXPECT_EQ("C:\\Backups\\Favorites", dialog.DefaultDirectoryEdit->Text())
        << "cancelled: unchanged";
    EXPECT_EQ(TDfxFileDialogKind::Folder, TDfxFileDialogSeam::LastOptions().Kind);
    EXPECT_EQ(QStringList({"Enumerate Data (*.dat)", "All Files (*.* *)"}),
              DfxQtNameFilters("Enumerate Data|*.dat|All Files|*.*;*"));
}

TEST_F(Settings, WindowPlacementPerScreenResolution) {
    std::string file = lab.Scratch() + "/Settings.ini";
    testsupport::WriteFile(file, "[Other]\r\nKeep=me\r\n");
    {
        TIniFile ini(file);
        DfxWritePlacement(ini, "MainForm", 1024, 768, {10, 20, 820, 566, 0});
        DfxWritePlacement(ini, "MainForm", 1920, 1080, {100, 50, 1000, 700, 2});
        ASSERT_TRUE(ini.UpdateFile());
    }
    std::string text = ReadFile(file);
    EXPECT_NE(std::string::npos, text.find("[Other]\r\nKeep=me\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("[MainForm_Positions]\r\nMainForm_1024x768_Left=10\r\n"
                        "MainForm_1024x768_Top=20\r\nMainForm_1024x768_Width=820\r\n"
                        "MainForm_1024x768_Height=566\r\nMainForm_1024x768_State=0\r\n"));
    TIniFile ini(file);
    TWindowPlacement p;
    ASSERT_TRUE(DfxReadPlacement(ini, "MainForm", 1920, 1080, p));
    EXPECT_EQ((TWindowPlacement{100, 50, 1000, 700, 2}), p);
    EXPECT_FALSE(DfxReadPlacement(ini, "MainForm", 800, 600, p));

    struct Case {
        TWindowPlacement stored;
        TWindowPlacement fitted;
    } cases[] = {
        {{10, 20, 820, 566, 0}, {10, 20, 820, 566, 0}},
        {{-500, 5000, 820, 566, 1}, {0, 202, 820, 566, 0}}, // off the screen, minimized
        {{0, 0, 3000, 100, 2}, {0, 0, 1024, 566, 2}},       // too large, too small
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.fitted, DfxFitPlacement(c.stored, {0, 0, 1024, 768}, 820, 566));
    }

    QWidget window;
    window.setMinimumSize(300, 200);
    window.setGeometry(40, 60, 500, 400);
    TFormPlacement placement(lab.Scratch() + "/Placement.ini", "MainForm");
    EXPECT_FALSE(placement.Restore(&window)) << "nothing stored yet";
    ASSERT_TRUE(placement.Save(&window));
    QWidget restored;
    restored.setMinimumSize(300, 200);
    ASSERT_TRUE(placement.Restore(&restored));
    EXPECT_EQ(QSize(500, 400), restored.size());
}
