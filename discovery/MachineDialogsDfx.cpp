#include "MachineDialogsDfx.h"

#include "TreeViewDfx.h"

#include "controls/QtTextDfx.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextEdit>

#include <stdexcept>

const char* const kDfxDefaultProvider = "Microsoft Windows Network";

namespace {

// The key under which texts count as the same, as DfxSameNodeText compares them.
QString Folded(const QString& text) {
    QString key = text;
    for (QChar& c : key) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z') {
            c = QChar(static_cast<char16_t>(c.unicode() - 32));
        }
    }
    return key;
}

struct TNameList {
    QStringList Names;
    QSet<QString> Keys;
    void Add(const QString& name) {
        if (!Keys.contains(Folded(name))) {
            Keys.insert(Folded(name));
            Names.append(name);
        }
    }
};

void SetFieldText(QComboBox* box, const std::string& text) {
    box->setCurrentIndex(-1);
    box->setEditText(ToQt(text));
}

} // namespace

bool DfxControlsFilled(std::initializer_list<const QWidget*> controls) {
    for (const QWidget* control : controls) {
        bool filled = false;
        if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
            filled = !edit->text().isEmpty();
        } else if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control)) {
            filled = !memo->document()->isEmpty();
        } else if (const auto* rich = qobject_cast<const QTextEdit*>(control)) {
            filled = !rich->document()->isEmpty();
        } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
            filled = !combo->currentText().isEmpty();
        } else if (const auto* list = qobject_cast<const QListView*>(control)) {
            filled = list->model() != nullptr && list->model()->rowCount(list->rootIndex()) > 0;
        } else {
            throw std::invalid_argument("Unsupported Control");
        }
        if (!filled) {
            return false;
        }
    }
    return true;
}

int DfxFillFieldsFromTree(const QTreeWidget* tree, const QTreeWidgetItem* startNode,
                          QComboBox* cbProvider, QComboBox* cbDomain) {
    std::string provider;
    std::string domain;
    int level = -1;
    if (startNode != nullptr) {
        level = DfxNodeLevel(startNode);
        if (level == 0) {
            provider = DfxNodeText(startNode);
        } else if (level == 1) {
            domain = DfxNodeText(startNode);
            provider = DfxNodeText(startNode->parent());
        } else if (level == 2) {
            domain = DfxNodeText(startNode->parent());
            provider = DfxNodeText(startNode->parent()->parent());
        }
    }

    TNameList providers;
    TNameList domains;
    if (tree != nullptr) {
        DfxForEachNode(tree, 1, [&](QTreeWidgetItem* node, int l) {
            (l == 0 ? providers : domains).Add(node->text(0));
            return true;
        });
    }
    providers.Add(ToQt(kDfxDefaultProvider));

    // The lists first: a combo box that gets its first entry selects it.
    cbProvider->clear();
    cbProvider->addItems(providers.Names);
    cbDomain->clear();
    cbDomain->addItems(domains.Names);
    SetFieldText(cbProvider, provider);
    SetFieldText(cbDomain, domain);
    if (provider.empty()) {
        QString wanted = Folded(ToQt(kDfxDefaultProvider));
        for (int i = 0; i < cbProvider->count(); ++i) {
            if (Folded(cbProvider->itemText(i)) == wanted) {
                cbProvider->setCurrentIndex(i);
                break;
            }
        }
    }
    return level;
}

QComboBox* DfxNewNameComboBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    return box;
}

void DfxAddOkCancelRow(QBoxLayout* layout, QDialog* dialog, const char* okCaption,
                       const char* cancelCaption, QPushButton*& btOK, QPushButton*& btCancel) {
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    btOK = new QPushButton(okCaption, dialog);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    btOK->setEnabled(false);
    btCancel = new QPushButton(cancelCaption, dialog);
    btCancel->setObjectName("btCancel");
    row->addWidget(btOK);
    row->addWidget(btCancel);
    layout->addLayout(row);
    QObject::connect(btOK, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(btCancel, &QPushButton::clicked, dialog, &QDialog::reject);
}
