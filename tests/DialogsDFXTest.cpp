#include "controls/DialogsDFX.h"
#include "controls/MsgDialogLayoutDfx.h"

#include "engine/RegIniFileDfx.h"
#include "support/LabBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

TDfxMsgDialogMeasures Measures() {
    TDfxMsgDialogMeasures m;
    m.CharWidth = 7;
    m.CharHeight = 16;
    m.TextWidth = 200;
    m.TextHeight = 32;
    m.ButtonCaptionWidths = {14, 40};
    m.TitleWidth = 60;
    m.CaptionButtonWidth = 18;
    m.CheckBoxCaptionWidth = 250;
    return m;
}

// Runs `step` inside the dialog's modal loop, once it is up.
void WhenShown(std::function<void()> step) {
    QTimer::singleShot(0, qApp, std::move(step));
}

TDfxMsgDialog* ShownDialog() {
    return qobject_cast<TDfxMsgDialog*>(QApplication::activeModalWidget());
}

} // namespace

TEST(MsgDialogLayout, GeometryFromTheFontMeasures) {
    EXPECT_EQ(18, DfxMulDiv(10, 7, 4)); // 17.5 rounds away from zero
    EXPECT_EQ(-18, DfxMulDiv(-10, 7, 4));

    TDfxMsgDialogLayout plain = DfxMsgDialogLayout(Measures());
    EXPECT_EQ(228, plain.ClientWidth);
    EXPECT_EQ(96, plain.ClientHeight);
    EXPECT_EQ((TDfxRect{14, 8, 200, 32}), plain.Message);
    EXPECT_EQ((std::vector<TDfxRect>{{31, 60, 79, 28}, {117, 60, 79, 28}}), plain.Buttons);

    TDfxMsgDialogMeasures m = Measures();
    m.HasIcon = true;
    TDfxMsgDialogLayout icon = DfxMsgDialogLayout(m);
    EXPECT_EQ(278, icon.ClientWidth);
    EXPECT_EQ((TDfxRect{14, 8, 32, 32}), icon.Icon);
    EXPECT_EQ(64, icon.Message.Left);
    EXPECT_EQ(56, icon.Buttons[0].Left);

    m = Measures();
    m.HasStore = true;
    TDfxMsgDialogLayout store = DfxMsgDialogLayout(m);
    EXPECT_EQ(314, store.ClientWidth);
    EXPECT_EQ(120, store.ClientHeight);
    EXPECT_EQ((TDfxRect{18, 98, 278, 18}), store.Bevel);
    EXPECT_EQ((TDfxRect{20, 104, 278, 14}), store.CheckBox);
    EXPECT_EQ(57, store.Message.Left);
    EXPECT_EQ(74, store.Buttons[0].Left);
    m.CheckBoxHeight = 20; // a larger font: the check box grows, the rest stays
    TDfxMsgDialogLayout taller = DfxMsgDialogLayout(m);
    EXPECT_EQ(126, taller.ClientHeight);
    EXPECT_EQ((TDfxRect{20, 104, 278, 20}), taller.CheckBox);
    EXPECT_EQ(store.Buttons, taller.Buttons);

    m = Measures();
    m.TitleWidth = 400; // a long title widens the dialog beyond what the rest needs
    m.ButtonCaptionWidths = {90};
    TDfxMsgDialogLayout title = DfxMsgDialogLayout(m);
    EXPECT_EQ(464, title.ClientWidth);
    EXPECT_EQ((std::vector<TDfxRect>{{183, 60, 98, 28}}), title.Buttons);
}

class MsgDialog : public ::testing::Test {
protected:
    void SetUp() override { TDfxMessageSeam::Forget(); }
    void TearDown() override { TDfxMsgDialog::SetClock(nullptr); }
};

TEST_F(MsgDialog, CountsDownInTheTitleAndAnswersIgnoreAtTheEnd) {
    int64_t now = 1000000;
    TDfxMsgDialog::SetClock([&] { return now; });
    std::vector<QString> titles;
    WhenShown([&] {
        TDfxMsgDialog* dialog = ShownDialog();
        ASSERT_NE(nullptr, dialog);
        titles.push_back(dialog->windowTitle());
        for (int i = 0; i < 20; ++i) {
            now += 500;
            dialog->Tick();
            if (titles.back() != dialog->windowTitle()) {
                titles.push_back(dialog->windowTitle());
            }
        }
    });
    EXPECT_EQ(mrIgnore,
              DfxMessageDlg("Stop process?", TMsgDlgType::mtConfirmation,
                            DfxButtons({mbOK, mbCancel}), 2, "Quillmark", 10000, nullptr, 0));
    ASSERT_EQ(10u, titles.size());
    for (int s = 10; s >= 1; --s) {
        EXPECT_EQ(QString("Quillmark, time remaining: %1").arg(s),
                  titles[static_cast<std::size_t>(10 - s)]);
    }
}

TEST_F(MsgDialog, EnterAndEscapeBothAnswerTheFocusedSecondButton) {
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        WhenShown([key] {
            TDfxMsgDialog* dialog = ShownDialog();
            ASSERT_NE(nullptr, dialog);
            EXPECT_EQ("Cancel", dialog->FocusButton()->objectName());
            EXPECT_EQ(dialog->windowTitle(), QApplication::applicationDisplayName());
            QTest::keyClick(dialog, static_cast<Qt::Key>(key));
        });
        EXPECT_EQ(mrCancel, DfxMessageDlg("OK to delete the selected Items?",
                                          TMsgDlgType::mtConfirmation, DfxButtons({mbOK, mbCancel}),
                                          2, "", uint32_t(-1), nullptr, DFX_DLG_FOREGROUND));
    }
    WhenShown([] { QTest::keyClick(ShownDialog(), Qt::Key_Escape); });
    EXPECT_FALSE(DfxConfirmYesNo("Stop process?", "", 0, nullptr, 0));
    WhenShown([] { ShownDialog()->findChild<QPushButton*>("Yes")->click(); });
    EXPECT_TRUE(DfxConfirmYesNo("Stop process?", "", 0, nullptr, 0));
}

TEST_F(MsgDialog, ButtonsCarryTheirNamesCaptionsAndResults) {
    auto dialog = CreateDfxMsgDialog(nullptr, "All of them", TMsgDlgType::mtCustom, 0x7FF, 11, "x",
                                     0, false, 0);
    const char* names[] = {"Yes",    "No",  "OK",      "Cancel",   "Abort", "Retry",
                           "Ignore", "All", "NoToAll", "YesToAll", "Help"};
    const char* captions[] = {"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                              "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
    for (int i = 0; i < 11; ++i) {
        auto* b = dialog->findChild<QPushButton*>(names[i]);
        ASSERT_NE(nullptr, b) << names[i];
        EXPECT_EQ(captions[i], b->text().toStdString());
    }
    EXPECT_EQ("Help", dialog->FocusButton()->objectName());
    EXPECT_EQ(nullptr, dialog->findChild<QLabel*>("Image")) << "a custom message has no icon";
    EXPECT_TRUE(dialog->findChild<QPushButton*>("OK")->isDefault());
    std::vector<int> results;
    bool helped = false;
    QObject::connect(dialog.get(), &TDfxMsgDialog::helpRequested, [&] { helped = true; });
    for (int i = 0; i < 11; ++i) {
        WhenShown([&, i] {
            ShownDialog()->findChild<QPushButton*>(names[i])->click();
            if (i == 10) {
                ShownDialog()->findChild<QPushButton*>("No")->click(); // Help did not close it
            }
        });
        results.push_back(dialog->ShowTimedModal());
    }
    EXPECT_EQ((std::vector<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 7}), results);
    EXPECT_TRUE(helped);
    dialog->show();
    EXPECT_THROW(dialog->ShowTimedModal(), std::logic_error);
    dialog->hide();
}

TEST_F(MsgDialog, SavedResponsesAnswerWithoutAsking) {
    testsupport::LabBuilder lab;
    lab.Write();
    TRegIniFile store("\\Software\\Tarvel Quillmark 1.0\\");
    bool asked = false;
    WhenShown([&] {
        asked = true;
        TDfxMsgDialog* dialog = ShownDialog();
        dialog->findChild<QCheckBox*>("CheckBox")->setChecked(true);
        dialog->findChild<QPushButton*>("Yes")->click();
    });
    EXPECT_EQ(mrYes, DfxMessageDlg("Replace?", TMsgDlgType::mtWarning, DfxButtons({mbYes, mbNo}), 1,
                                   "Replace files", 0, &store, 0));
    EXPECT_TRUE(asked);
    EXPECT_EQ("6", store.ReadString("Saved Dialog Responses", "Replace files", ""));
    asked = false;
    EXPECT_EQ(mrYes, DfxMessageDlg("Replace?", TMsgDlgType::mtWarning, DfxButtons({mbYes, mbNo}), 1,
                                   "Replace files", 0, &store, 0));
    EXPECT_FALSE(asked) << "the saved answer was given";

    for (const char* saved : {"-1", "not a number"}) {
        store.WriteString("Saved Dialog Responses", "Other", saved);
        WhenShown([&] { ShownDialog()->findChild<QPushButton*>("No")->click(); });
        EXPECT_EQ(mrNo, DfxMessageDlg("Other?", TMsgDlgType::mtWarning, DfxButtons({mbYes, mbNo}),
                                      1, "Other", 0, &store, 0));
        EXPECT_EQ(saved, store.ReadString("Saved Dialog Responses", "Other", ""))
            << "unchecked: nothing stored";
    }
}

TEST_F(MsgDialog, TheProgramEndingGivesCancel) {
    WhenShown([] { QCoreApplication::exit(0); });
    EXPECT_EQ(mrCancel, DfxMessageDlg("Still there?", TMsgDlgType::mtInformation,
                                      DfxButtons({mbOK}), 1, "", 0, nullptr, 0));
}

TEST_F(MsgDialog, TheSeamAnswersForTests) {
    TDfxMessageSeam::SetNextAnswer(mrOk);
    EXPECT_TRUE(
        DfxConfirmOkCancel("OK to delete the selected Items?", "", uint32_t(-1), nullptr, 1));
    EXPECT_EQ("OK to delete the selected Items?", TDfxMessageSeam::LastMessage());
}
