#include "MachineAddMachinesFrm.h"

#include "MachineDialogsDfx.h"
#include "TreeViewDfx.h"

#include "controls/QtTextDfx.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace {

// A memo that turns typed letters a to z into capitals, as machine names are
// written; pasted text stays as it is.
class TCapitalsMemo final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        if (text.size() == 1 && text[0] >= QLatin1Char('a') && text[0] <= QLatin1Char('z')) {
            QKeyEvent upper(event->type(), event->key(), event->modifiers(), text.toUpper(),
                            event->isAutoRepeat(), static_cast<quint16>(event->count()));
            QPlainTextEdit::keyPressEvent(&upper);
            event->setAccepted(upper.isAccepted());
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

QString NameKey(const QString& name) {
    QString key = name;
    for (QChar& c : key) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z') {
            c = QChar(static_cast<char16_t>(c.unicode() - 32));
        }
    }
    return key;
}

} // namespace

TMachineAddMachinesForm::TMachineAddMachinesForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("MachineAddMachinesForm");
    setWindowTitle("Add Machine(s)");

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(4);
    cbProvider = DfxNewNameComboBox(this, "cbProvider");
    cbDomain = DfxNewNameComboBox(this, "cbDomain");
    Memo1 = new TCapitalsMemo(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    Memo1->setFixedSize(280, 150);
    cbProvider->setFixedWidth(280);
    cbDomain->setFixedWidth(280);

    auto* lblProvider = new QLabel("Provider", this);
    auto* lblDomain = new QLabel("Domain/Workgroup", this);
    auto* lblMachines = new QLabel("Enter names for the new Machine(s)", this);
    layout->addWidget(lblProvider);
    layout->addWidget(cbProvider);
    layout->addSpacing(6);
    layout->addWidget(lblDomain);
    layout->addWidget(cbDomain);
    layout->addSpacing(6);
    layout->addWidget(lblMachines);
    layout->addWidget(Memo1);
    layout->addSpacing(6);

    DfxAddOkCancelRow(layout, this, "OK", "Cancel", btOK, btCancel);
    setTabOrder(cbProvider, cbDomain);
    setTabOrder(cbDomain, Memo1);
    setTabOrder(Memo1, btOK);
    setTabOrder(btOK, btCancel);
    FFirstFocus = cbProvider;

    for (QComboBox* box : {cbProvider, cbDomain}) {
        connect(box, &QComboBox::editTextChanged, this, &TMachineAddMachinesForm::ControlsChanged);
        connect(box, &QComboBox::currentIndexChanged, this,
                &TMachineAddMachinesForm::ControlsChanged);
    }
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TMachineAddMachinesForm::ControlsChanged);
}

TMachineAddMachinesForm::~TMachineAddMachinesForm() = default;

void TMachineAddMachinesForm::InitFromTree(const QTreeWidget* tree,
                                           const QTreeWidgetItem* startNode) {
    int level = DfxFillFieldsFromTree(tree, startNode, cbProvider, cbDomain);
    if (level == 0) {
        FFirstFocus = cbDomain;
    } else if (level == 1 || level == 2) {
        FFirstFocus = Memo1;
    }
}

void TMachineAddMachinesForm::AddMachinesToTree(TDfxTreeView* tree) {
    std::string provider = FromQt(cbProvider->currentText());
    std::string domain = FromQt(cbDomain->currentText());
    QTreeWidgetItem* providerNode = nullptr;
    if (!DfxFindNodeByText(tree, provider, 0, providerNode)) {
        providerNode = tree->AddNode(nullptr, provider);
    }
    QTreeWidgetItem* domainNode = nullptr;
    if (!DfxFindChildNodeByText(providerNode, domain, domainNode)) {
        domainNode = tree->AddNode(providerNode, domain);
    }

    TDfxTreeUpdateLock lock(tree);
    // The names under the domain, as DfxFindChildNodeByText compares them, so
    // that a long list of names is checked quickly.
    QSet<QString> present;
    for (int i = 0; i < domainNode->childCount(); ++i) {
        present.insert(NameKey(domainNode->child(i)->text(0)));
    }
    QString text = Memo1->toPlainText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || present.contains(NameKey(line))) {
            continue;
        }
        present.insert(NameKey(line));
        tree->AddNode(domainNode, FromQt(line));
    }
}

void TMachineAddMachinesForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FFirstFocus->setFocus();
}

void TMachineAddMachinesForm::ControlsChanged() {
    btOK->setEnabled(DfxControlsFilled({Memo1, cbProvider, cbDomain}));
}

bool ShowAddMachinesDialog(const TDfxFormClass<TMachineAddMachinesForm>& formClass, QWidget* owner,
                           TDfxTreeView* tree, QTreeWidgetItem* startNode) {
    std::unique_ptr<TMachineAddMachinesForm> dialog = formClass(owner);
    dialog->InitFromTree(tree, startNode);
    if (dialog->exec() != QDialog::Accepted) {
        return false;
    }
    dialog->AddMachinesToTree(tree);
    return true;
}
