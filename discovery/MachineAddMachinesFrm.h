// "Add Machine(s)": typed machine names go into the machine tree under a
// provider and a domain or workgroup, chosen from the tree or typed.
#pragma once

#include "FormClassDfx.h"

#include <QDialog>

#include <string>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDfxTreeView;

class TMachineAddMachinesForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachineAddMachinesForm)

public:
    explicit TMachineAddMachinesForm(QWidget* owner = nullptr);
    ~TMachineAddMachinesForm() override;

    // Fills the fields from the start node (may be none) and the lists from the tree.
    void InitFromTree(const QTreeWidget* tree, const QTreeWidgetItem* startNode);
    // Adds each name of the memo once under the provider and domain, creating
    // them when the tree does not hold them; blank lines are left out.
    void AddMachinesToTree(TDfxTreeView* tree);

    QComboBox* cbProvider;
    QComboBox* cbDomain;
    QPlainTextEdit* Memo1; // typed letters a to z become capitals
    QPushButton* btOK;
    QPushButton* btCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ControlsChanged();

    QWidget* FFirstFocus;
};

// Shows the dialog made by `formClass`, owned by `owner`; true when confirmed,
// the machines then being in the tree.
bool ShowAddMachinesDialog(const TDfxFormClass<TMachineAddMachinesForm>& formClass, QWidget* owner,
                           TDfxTreeView* tree, QTreeWidgetItem* startNode);
