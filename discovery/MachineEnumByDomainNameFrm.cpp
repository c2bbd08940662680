#include "MachineEnumByDomainNameFrm.h"

#include "MachineDialogsDfx.h"

#include "controls/QtTextDfx.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TMachineEnumByDomainNameForm::TMachineEnumByDomainNameForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("MachineEnumByDomainNameForm");
    setWindowTitle("Select/Enter Domain");

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(4);
    cbProvider = DfxNewNameComboBox(this, "cbProvider");
    cbDomain = DfxNewNameComboBox(this, "cbDomain");
    cbProvider->setFixedWidth(280);
    cbDomain->setFixedWidth(280);
    layout->addWidget(new QLabel("Provider", this));
    layout->addWidget(cbProvider);
    layout->addSpacing(6);
    layout->addWidget(new QLabel("Domain/Workgroup", this));
    layout->addWidget(cbDomain);
    layout->addSpacing(6);
    DfxAddOkCancelRow(layout, this, "OK", "Cancel", btOK, btCancel);
    setTabOrder(cbProvider, cbDomain);
    setTabOrder(cbDomain, btOK);
    setTabOrder(btOK, btCancel);
    FFirstFocus = cbProvider;

    for (QComboBox* box : {cbProvider, cbDomain}) {
        connect(box, &QComboBox::editTextChanged, this,
                &TMachineEnumByDomainNameForm::ControlsChanged);
        connect(box, &QComboBox::currentIndexChanged, this,
                &TMachineEnumByDomainNameForm::ControlsChanged);
    }
}

TMachineEnumByDomainNameForm::~TMachineEnumByDomainNameForm() = default;

void TMachineEnumByDomainNameForm::InitFromTree(const QTreeWidget* tree,
                                                const QTreeWidgetItem* startNode) {
    int level = DfxFillFieldsFromTree(tree, startNode, cbProvider, cbDomain);
    if (level == 0) {
        FFirstFocus = cbDomain;
    } else if (level == 1 || level == 2) {
        btOK->setEnabled(true);
        FFirstFocus = btOK;
    }
}

void TMachineEnumByDomainNameForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FFirstFocus->setFocus();
}

void TMachineEnumByDomainNameForm::ControlsChanged() {
    btOK->setEnabled(DfxControlsFilled({cbProvider, cbDomain}));
}

bool ShowEnumByDomainNameDialog(const TDfxFormClass<TMachineEnumByDomainNameForm>& formClass,
                                QWidget* owner, const QTreeWidget* tree, QTreeWidgetItem* startNode,
                                std::string& provider, std::string& domain) {
    std::unique_ptr<TMachineEnumByDomainNameForm> dialog = formClass(owner);
    dialog->InitFromTree(tree, startNode);
    if (dialog->exec() != QDialog::Accepted) {
        return false;
    }
    provider = FromQt(dialog->cbProvider->currentText());
    domain = FromQt(dialog->cbDomain->currentText());
    return true;
}
