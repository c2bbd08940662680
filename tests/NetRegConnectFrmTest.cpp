#include "discovery/NetRegConnectFrm.h"
#include "discovery/LogonAsUserDfx.h"

#include "platform/LabTest.h"
#include "support/LabBuilder.h"
#include "support/LogCapture.h"
#include "support/ModalDriver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

using testsupport::LabBuilder;
using testsupport::LogCapture;
using testsupport::WhenModal;

namespace {

const char* const kUser = "HARBOR\\administrator";
const char* const kPassword = "Lighthouse7";

class OpenConnection : public ::testing::Test {
protected:
    void SetUp() override {
        lab_.Machine("HB-LAB02");
        lab_.Machine("HB-SECURE").Credentials(kUser, kPassword);
        lab_.Machine("HB-FRONT01").Credentials(kUser, kPassword).RegistryStopped();
        lab_.Write();
        ConnectionErrorText = "from before";
    }
    void TearDown() override {
        EXPECT_EQ(0, lab::test::OpenRemoteRootCount());
        EXPECT_EQ("", log_.Text()); // nothing is logged, the password least of all
    }

    // The dialog class the program passes, counting the dialogs it makes.
    TNetRegConnectFormClass Counted() {
        return [this](QWidget* owner) {
            ++made_;
            return std::make_unique<TNetRegConnectForm>(owner);
        };
    }

    static void Type(TNetRegConnectForm* d, const QString& user, const QString& password) {
        QTest::keyClicks(d->edUserName, user);
        QTest::keyClicks(d->edPassword, password);
    }

    LabBuilder lab_;
    LogCapture log_;
    int made_ = 0;
};

} // namespace

TEST_F(OpenConnection, AMachineThatAnswersNeedsNoDialog) {
    EXPECT_EQ(DFX_CONNECTED, DfxOpenMachineConnection(Counted(), "HB-LAB02"));
    EXPECT_EQ(DFX_CONNECTED, DfxOpenMachineConnection(Counted(), "\\\\HB-LAB02"));
    EXPECT_EQ(0, made_);
    EXPECT_EQ("", ConnectionErrorText);
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
}

TEST_F(OpenConnection, CancelAndEscapeGiveTwo) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape);
        auto driver = WhenModal<TNetRegConnectForm>([escape](TNetRegConnectForm* d) {
            Type(d, kUser, kPassword);
            if (escape) {
                QTest::keyClick(d->edPassword, Qt::Key_Escape);
            } else {
                QTest::mouseClick(d->btCancel, Qt::LeftButton);
            }
        });
        EXPECT_EQ(DFX_CONNECT_CANCELLED, DfxOpenMachineConnection(Counted(), "HB-SECURE"));
        EXPECT_TRUE(driver->Ran());
        EXPECT_EQ("User Cancelled Connection", ConnectionErrorText);
        EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE")); // nothing was connected
    }
}

TEST_F(OpenConnection, AWrongPasswordGivesThreeAndTheLogonFailure) {
    auto driver = WhenModal<TNetRegConnectForm>([](TNetRegConnectForm* d) {
        Type(d, kUser, " Lighthouse7 "); // sent as typed, blanks and all
        QTest::keyClick(d->edPassword, Qt::Key_Return);
    });
    EXPECT_EQ(DFX_CONNECT_FAILED, DfxOpenMachineConnection(Counted(), "HB-SECURE"));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ("Logon failure: unknown user name or bad password.", ConnectionErrorText);
    EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE"));
}

TEST_F(OpenConnection, GoodCredentialsConnectAndTheConnectionStays) {
    auto driver = WhenModal<TNetRegConnectForm>([](TNetRegConnectForm* d) {
        Type(d, "administrator", kPassword);
        QTest::mouseClick(d->btOK, Qt::LeftButton);
    });
    EXPECT_EQ(DFX_CONNECTED, DfxOpenMachineConnection(Counted(), "\\\\HB-SECURE"));
    EXPECT_EQ(1, made_);
    EXPECT_EQ("", ConnectionErrorText);
    // The registry now answers without a dialog, until the connection is closed.
    EXPECT_EQ(DFX_CONNECTED, DfxOpenMachineConnection(Counted(), "HB-SECURE"));
    EXPECT_EQ(1, made_);
    EXPECT_TRUE(DfxCloseMachineConnection("HB-SECURE"));
    EXPECT_FALSE(DfxCloseMachineConnection("HB-SECURE"));
}

TEST_F(OpenConnection, AStoppedRegistryAfterGoodCredentialsGivesTheTwoLineText) {
    auto driver = WhenModal<TNetRegConnectForm>([](TNetRegConnectForm* d) {
        Type(d, kUser, kPassword);
        QTest::mouseClick(d->btOK, Qt::LeftButton);
    });
    EXPECT_EQ(DFX_CONNECT_FAILED, DfxOpenMachineConnection(Counted(), "HB-FRONT01"));
    EXPECT_EQ("Unable to connect to: HB-FRONT01\r\nThe network path was not found.",
              ConnectionErrorText);
    EXPECT_TRUE(DfxCloseMachineConnection("HB-FRONT01")); // the network connection stayed
}

TEST(NetRegConnectForm, LooksAndBehavesAsACredentialsDialog) {
    TNetRegConnectForm form;
    EXPECT_EQ("Connect", form.windowTitle());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(QColor(Qt::white), form.palette().color(QPalette::Window));
    for (QLineEdit* field : {form.edUserName, form.edPassword}) {
        EXPECT_EQ(QColor(193, 224, 255), field->palette().color(QPalette::Base));
    }
    EXPECT_EQ(QLineEdit::Password, form.edPassword->echoMode());
    EXPECT_EQ('*', form.edPassword->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter,
                                                       nullptr, form.edPassword));
    EXPECT_EQ("&OK", form.btOK->text().toStdString());
    EXPECT_EQ("&Cancel", form.btCancel->text().toStdString());
    EXPECT_TRUE(form.btOK->isDefault());

    struct Case {
        const char* user;
        const char* password;
        bool enabled;
    };
    const Case cases[] = {
        {"", "", false},
        {"joe", "", false},
        {"", "secret", false},
        {"  ", "x", false},
        {"joe", " \t ", false},
        {" joe ", " x", true},
        {"HARBOR\\joe", "x", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.user + "' '" + c.password + "'");
        form.edUserName->setText(c.user);
        form.edPassword->setText(c.password);
        EXPECT_EQ(c.enabled, form.btOK->isEnabled());
    }
    form.edPassword->setFocus();
    form.show();
    EXPECT_EQ(form.edUserName, form.focusWidget()); // the user name first, whatever had it
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}
