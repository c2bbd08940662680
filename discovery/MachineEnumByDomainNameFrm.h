// "Select/Enter Domain": names the provider and the domain or workgroup whose
// machines "&Enumerate LAN via &Domain Name" enumerates.
#pragma once

#include "FormClassDfx.h"

#include <QDialog>

#include <string>

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TMachineEnumByDomainNameForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachineEnumByDomainNameForm)

public:
    explicit TMachineEnumByDomainNameForm(QWidget* owner = nullptr);
    ~TMachineEnumByDomainNameForm() override;

    // Fills the fields from the start node (may be none) and the lists from the tree.
    void InitFromTree(const QTreeWidget* tree, const QTreeWidgetItem* startNode);

    QComboBox* cbProvider;
    QComboBox* cbDomain;
    QPushButton* btOK;
    QPushButton* btCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ControlsChanged();

    QWidget* FFirstFocus;
};

// Shows the dialog made by `formClass`, owned by `owner`; true when confirmed,
// with the two fields' texts exactly as they stand.
bool ShowEnumByDomainNameDialog(const TDfxFormClass<TMachineEnumByDomainNameForm>& formClass,
                                QWidget* owner, const QTreeWidget* tree, QTreeWidgetItem* startNode,
                                std::string& provider, std::string& domain);
