#include "discovery/MachineAddMachinesFrm.h"
#include "discovery/MachineDialogsDfx.h"
#include "discovery/MachineEnumByDomainNameFrm.h"
#include "discovery/TreeViewDfx.h"
#include "support/TempDir.h"

#include "controls/QtTextDfx.h"
#include "support/ModalDriver.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using testsupport::WhenModal;

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

const std::string kMwn = "Microsoft Windows Network";

class AddMachines : public ::testing::Test {
protected:
    void Load(const std::string& bytes) { ASSERT_EQ("", DfxLoadEnumText(&tree_, bytes)); }

    QTreeWidgetItem* Node(const char* text, int level) {
        QTreeWidgetItem* node = nullptr;
        EXPECT_TRUE(DfxFindNodeByText(&tree_, text, level, node)) << text;
        return node;
    }

    TDfxTreeView tree_;
};

} // namespace

TEST_F(AddMachines, WithNoNodeTheDefaultProviderIsChosenAndOkWaitsForEveryField) {
    Load(testsupport::CrLfLines({"NetWare", "\tTREE", "\t\tNW1"}));
    auto driver = WhenModal<TMachineAddMachinesForm>([](TMachineAddMachinesForm* d) {
        EXPECT_EQ("Add Machine(s)", d->windowTitle());
        EXPECT_EQ(QString::fromStdString(kMwn), d->cbProvider->currentText());
        EXPECT_EQ(QStringList({"NetWare", QString::fromStdString(kMwn)}), Items(d->cbProvider));
        EXPECT_EQ("", d->cbDomain->currentText());
        EXPECT_EQ(QStringList{"TREE"}, Items(d->cbDomain));
        EXPECT_EQ(d->cbProvider, d->focusWidget());
        EXPECT_FALSE(d->btOK->isEnabled());
        EXPECT_TRUE(d->btOK->isDefault());
        QTest::keyClicks(d->cbDomain->lineEdit(), "corp");
        EXPECT_FALSE(d->btOK->isEnabled()); // no machine yet
        QTest::keyClicks(d->Memo1, "pc1");
        EXPECT_TRUE(d->btOK->isEnabled());
        d->cbProvider->lineEdit()->clear();
        EXPECT_FALSE(d->btOK->isEnabled());
        QTest::keyClicks(d->cbProvider->lineEdit(), "Microsoft Windows Network");
        QTest::mouseClick(d->btOK, Qt::LeftButton);
    });
    EXPECT_TRUE(
        ShowAddMachinesDialog(DfxFormClass<TMachineAddMachinesForm>(), nullptr, &tree_, nullptr));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ(testsupport::CrLfLines({"NetWare", "\tTREE", "\t\tNW1", "Microsoft Windows Network",
                                      "\tcorp", "\t\tPC1"}),
              DfxEnumText(&tree_));
}

TEST_F(AddMachines, ASelectedNodeFillsTheFieldsFromItsAncestors) {
    Load(testsupport::CrLfLines({"Microsoft Windows Network", "\tCORP", "\t\tPC1", "\tcorp",
                                 "Other", "\tHOME", "\t\tX1", "\tCorp"}));
    struct Case {
        const char* node;
        int level;
        const char* provider;
        const char* domain;
        const char* focus;
    };
    const Case cases[] = {
        {"Other", 0, "Other", "", "cbDomain"},
        {"HOME", 1, "Other", "HOME", "Memo1"},
        {"PC1", 2, "Microsoft Windows Network", "CORP", "Memo1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        TMachineAddMachinesForm form;
        form.InitFromTree(&tree_, Node(c.node, c.level));
        EXPECT_EQ(c.provider, FromQt(form.cbProvider->currentText()));
        EXPECT_EQ(c.domain, FromQt(form.cbDomain->currentText()));
        // The domains of every provider, each text once whatever its letter case.
        EXPECT_EQ((QStringList{"CORP", "HOME"}), Items(form.cbDomain));
        EXPECT_EQ((QStringList{QString::fromStdString(kMwn), "Other"}), Items(form.cbProvider));
        form.show();
        EXPECT_EQ(c.focus, form.focusWidget()->objectName().toStdString());
        EXPECT_FALSE(form.btOK->isEnabled()); // the memo is still empty
    }
}

TEST_F(AddMachines, ReusesNodesWhatEverTheirCaseAndAddsEachNameOnce) {
    Load(testsupport::CrLfLines({"Microsoft Windows Network", "\tCORP", "\t\tPC1"}));
    auto driver = WhenModal<TMachineAddMachinesForm>([](TMachineAddMachinesForm* d) {
        d->cbProvider->setEditText("microsoft WINDOWS network");
        d->cbDomain->setEditText("corp");
        QTest::keyClicks(d->Memo1, "pc1");
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClicks(d->Memo1, "pc2");
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClicks(d->Memo1, "Pc2");
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClicks(d->Memo1, "   ");
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClicks(d->Memo1, " ws-3"); // blanks around a name stay
        QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
        QApplication::sendEvent(d->Memo1, &eAcute); // a letter beyond z stays as typed
        QTest::keyClicks(d->Memo1, " ");
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QApplication::clipboard()->setText("pasted-pc\r\npc2");
        d->Memo1->paste(); // pasted letters stay as they are
        EXPECT_EQ("PC1\nPC2\nPC2\n   \n\n WS-3\xe9 \npasted-pc\npc2",
                  FromQt(d->Memo1->toPlainText()));
        QTest::keyClick(d->btOK, Qt::Key_Space);
    });
    EXPECT_TRUE(
        ShowAddMachinesDialog(DfxFormClass<TMachineAddMachinesForm>(), nullptr, &tree_, nullptr));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ(testsupport::CrLfLines({"Microsoft Windows Network", "\tCORP", "\t\tPC1", "\t\tPC2",
                                      "\t\t WS-3\xe9 ", "\t\tpasted-pc"}),
              DfxEnumText(&tree_));
}

TEST_F(AddMachines, CancelEscapeAndTheCloseBoxChangeNothing) {
    Load(testsupport::CrLfLines({"Microsoft Windows Network", "\tCORP"}));
    std::string before = DfxEnumText(&tree_);
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        auto driver = WhenModal<TMachineAddMachinesForm>([way](TMachineAddMachinesForm* d) {
            QTest::keyClicks(d->Memo1, "pc9");
            if (way == 0) {
                QTest::mouseClick(d->btCancel, Qt::LeftButton);
            } else if (way == 1) {
                QTest::keyClick(d, Qt::Key_Escape);
            } else {
                d->close();
            }
        });
        EXPECT_FALSE(ShowAddMachinesDialog(DfxFormClass<TMachineAddMachinesForm>(), nullptr, &tree_,
                                           Node("CORP", 1)));
        EXPECT_TRUE(driver->Ran());
        EXPECT_EQ(before, DfxEnumText(&tree_));
    }
}

TEST_F(AddMachines, TheDialogComesFromItsClassOwnedByTheWindow) {
    QWidget owner;
    QWidget* seenOwner = nullptr;
    auto formClass = [&](QWidget* o) {
        seenOwner = o;
        return std::make_unique<TMachineAddMachinesForm>(o);
    };
    auto driver = WhenModal<TMachineAddMachinesForm>([](TMachineAddMachinesForm* d) {
        EXPECT_TRUE(d->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(d->windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_EQ(d->minimumSize(), d->maximumSize()); // a fixed size
        EXPECT_EQ(QPlainTextEdit::NoWrap, d->Memo1->lineWrapMode());
        d->reject();
    });
    EXPECT_FALSE(ShowAddMachinesDialog(formClass, &owner, &tree_, nullptr));
    EXPECT_EQ(&owner, seenOwner);
    EXPECT_TRUE(owner.findChildren<TMachineAddMachinesForm*>().isEmpty()); // freed after use
}

TEST_F(AddMachines, SelectEnterDomainReturnsTheFieldsAsTheyStand) {
    Load(testsupport::CrLfLines(
        {"Microsoft Windows Network", "\tCORP", "\t\tPC1", "Other", "\tHOME"}));
    auto driver = WhenModal<TMachineEnumByDomainNameForm>([](TMachineEnumByDomainNameForm* d) {
        EXPECT_EQ("Select/Enter Domain", d->windowTitle());
        EXPECT_TRUE(d->btOK->isEnabled()); // a machine node: confirmed at once
        EXPECT_EQ(d->btOK, d->focusWidget());
        QTest::keyClick(d->btOK, Qt::Key_Return);
    });
    std::string provider;
    std::string domain;
    EXPECT_TRUE(ShowEnumByDomainNameDialog(DfxFormClass<TMachineEnumByDomainNameForm>(), nullptr,
                                           &tree_, Node("PC1", 2), provider, domain));
    EXPECT_TRUE(driver->Ran());
    EXPECT_EQ(kMwn, provider);
    EXPECT_EQ("CORP", domain);

    driver = WhenModal<TMachineEnumByDomainNameForm>([](TMachineEnumByDomainNameForm* d) {
        EXPECT_EQ(QString::fromStdString(kMwn), d->cbProvider->currentText());
        EXPECT_EQ((QStringList{"CORP", "HOME"}), Items(d->cbDomain));
        EXPECT_FALSE(d->btOK->isEnabled());
        QTest::keyClicks(d->cbDomain->lineEdit(), "  ");
        EXPECT_TRUE(d->btOK->isEnabled()); // blanks count as text
        QTest::keyClick(d->cbDomain->lineEdit(), Qt::Key_Return);
    });
    EXPECT_TRUE(ShowEnumByDomainNameDialog(DfxFormClass<TMachineEnumByDomainNameForm>(), nullptr,
                                           &tree_, nullptr, provider, domain));
    EXPECT_EQ("  ", domain);

    driver = WhenModal<TMachineEnumByDomainNameForm>(
        [](TMachineEnumByDomainNameForm* d) { QTest::keyClick(d, Qt::Key_Escape); });
    provider = "kept";
    EXPECT_FALSE(ShowEnumByDomainNameDialog(DfxFormClass<TMachineEnumByDomainNameForm>(), nullptr,
                                            &tree_, Node("Other", 0), provider, domain));
    EXPECT_EQ("kept", provider);
}

TEST(ControlsFilled, EachKindOfControlHasItsOwnRule) {
    QLineEdit edit;
    QComboBox combo;
    combo.setEditable(true);
    QPlainTextEdit memo;
    QListWidget list;
    EXPECT_FALSE(DfxControlsFilled({&edit}));
    edit.setText(" ");
    EXPECT_TRUE(DfxControlsFilled({&edit}));
    EXPECT_FALSE(DfxControlsFilled({&edit, &combo}));
    combo.setEditText("x");
    EXPECT_FALSE(DfxControlsFilled({&edit, &combo, &memo}));
    memo.setPlainText("\n");
    EXPECT_FALSE(DfxControlsFilled({&edit, &combo, &memo, &list}));
    list.addItem("one");
    EXPECT_TRUE(DfxControlsFilled({&edit, &combo, &memo, &list}));
    EXPECT_TRUE(DfxControlsFilled({}));

    QCheckBox box;
    try {
        DfxControlsFilled({&edit, &box});
        ADD_FAILURE() << "a check box was accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ("Unsupported Control", e.what());
    }
    combo.setEditText("");
    EXPECT_FALSE(DfxControlsFilled({&combo, &box})); // stops before the check box
}
