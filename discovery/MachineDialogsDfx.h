// What the dialogs that name a provider and a domain share (add machines, select
// a domain, add an IP range): the check that enables their OK buttons and the
// preparation of their fields from the machine tree.
#pragma once

#include <initializer_list>

class QBoxLayout;
class QComboBox;
class QDialog;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

extern const char* const kDfxDefaultProvider; // "Microsoft Windows Network"

// True when every control holds a value: a text field or combo box a text that
// is not empty (blanks count), a list box an entry. Stops at the first one
// without; any other kind of control raises std::invalid_argument "Unsupported Control".
bool DfxControlsFilled(std::initializer_list<const QWidget*> controls);

// Offers the tree's providers and domains (each text once, of every provider)
// and puts the texts of the start node and its ancestors into the fields; with
// no provider text, the default provider is chosen. Returns the start node's
// level, or -1 without one.
int DfxFillFieldsFromTree(const QTreeWidget* tree, const QTreeWidgetItem* startNode,
                          QComboBox* cbProvider, QComboBox* cbDomain);

// An editable, unsorted drop-down list that keeps typed text out of its list.
QComboBox* DfxNewNameComboBox(QWidget* parent, const char* name);

// The row of a dialog's OK and Cancel buttons at the right, in the Windows order:
// OK is the default button and starts disabled, Cancel (and Escape) rejects.
void DfxAddOkCancelRow(QBoxLayout* layout, QDialog* dialog, const char* okCaption,
                       const char* cancelCaption, QPushButton*& btOK, QPushButton*& btCancel);
