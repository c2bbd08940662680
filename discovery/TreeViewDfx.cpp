#include "TreeViewDfx.h"

#include "EnumFileDfx.h"

#include "controls/MachineImagesDfx.h"
#include "controls/QtTextDfx.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPersistentModelIndex>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

// Deletes a node that no longer hangs in a tree, with its subtree, without
// recursion: a hand-made enum file can nest nodes deeper than the stack allows.
void DeleteDetached(QTreeWidgetItem* top) {
    std::vector<QTreeWidgetItem*> pending{top};
    while (!pending.empty()) {
        QTreeWidgetItem* node = pending.back();
        pending.pop_back();
        const QList<QTreeWidgetItem*> children = node->takeChildren();
        pending.insert(pending.end(), children.begin(), children.end());
        delete node;
    }
}

QChar FoldAZ(QChar c) {
    char16_t u = c.unicode();
    return u >= 'a' && u <= 'z' ? QChar(static_cast<char16_t>(u - 32)) : c;
}

} // namespace

// ---- Nodes ----------------------------------------------------------------------

TDfxTreeNode::TDfxTreeNode(const QString& text) : QTreeWidgetItem(NodeType) {
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    setText(0, text);
}

QVariant TDfxTreeNode::data(int column, int role) const {
    if (column == 0 && role == Qt::DecorationRole) {
        int level = DfxNodeLevel(this);
        return level < kDfxMachineImageCount ? QVariant(DfxMachineImage(level)) : QVariant();
    }
    return QTreeWidgetItem::data(column, role);
}

int DfxNodeLevel(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p != nullptr; p = p->parent()) {
        ++level;
    }
    return level;
}

std::string DfxNodeText(const QTreeWidgetItem* node) {
    return FromQt(node->text(0));
}

bool DfxSameNodeText(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) {
            return false;
        }
    }
    return true;
}

bool DfxFindNodeByText(const QTreeWidget* tree, const std::string& text, int level,
                       QTreeWidgetItem*& node) {
    node = nullptr;
    QString wanted = ToQt(text);
    DfxForEachNode(tree, level, [&](QTreeWidgetItem* n, int l) {
        if (l == level && DfxSameNodeText(n->text(0), wanted)) {
            node = n;
            return false;
        }
        return true;
    });
    return node != nullptr;
}

bool DfxFindChildNodeByText(const QTreeWidgetItem* node, const std::string& text,
                            QTreeWidgetItem*& child) {
    child = nullptr;
    QString wanted = ToQt(text);
    for (int i = 0; i < node->childCount(); ++i) {
        if (DfxSameNodeText(node->child(i)->text(0), wanted)) {
            child = node->child(i);
            return true;
        }
    }
    return false;
}

// ---- The tree -------------------------------------------------------------------

TDfxTreeView::TDfxTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("TreeView");
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setIndentation(19);
    setIconSize(QSize(kDfxMachineImageSize, kDfxMachineImageSize));
    setUniformRowHeights(true);
    // The selection stays visible when the tree loses the focus.
    QPalette p = palette();
    p.setBrush(QPalette::Inactive, QPalette::Highlight,
               p.brush(QPalette::Active, QPalette::Highlight));
    p.setBrush(QPalette::Inactive, QPalette::HighlightedText,
               p.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

TDfxTreeView::~TDfxTreeView() {
    ClearAll();
}

QTreeWidgetItem* TDfxTreeView::AddNode(QTreeWidgetItem* parent, const std::string& text) {
    auto node = std::make_unique<TDfxTreeNode>(ToQt(text));
    QTreeWidgetItem* added = node.get();
    if (parent != nullptr) {
        parent->addChild(node.release());
    } else {
        addTopLevelItem(node.release());
    }
    return added;
}

QList<QTreeWidgetItem*> TDfxTreeView::Selections() const {
    QList<QTreeWidgetItem*> nodes = selectedItems();
    auto stamp = [](const QTreeWidgetItem* n) {
        return n->type() == TDfxTreeNode::NodeType
                   ? static_cast<const TDfxTreeNode*>(n)->FSelectedAt
                   : 0;
    };
    std::stable_sort(
        nodes.begin(), nodes.end(),
        [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return stamp(a) < stamp(b); });
    return nodes;
}

QTreeWidgetItem* TDfxTreeView::SelectedNode() const {
    QTreeWidgetItem* current = currentItem();
    if (current != nullptr && current->isSelected()) {
        return current;
    }
    QList<QTreeWidgetItem*> nodes = Selections();
    return nodes.isEmpty() ? nullptr : nodes.constLast();
}

void TDfxTreeView::DeleteNode(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    QTreeWidgetItem* parent = node->parent();
    QTreeWidgetItem* taken = parent != nullptr ? parent->takeChild(parent->indexOfChild(node))
                                               : takeTopLevelItem(indexOfTopLevelItem(node));
    if (taken != nullptr) {
        DeleteDetached(taken);
    }
}

void TDfxTreeView::ClearSelected() {
    // Held as model positions: a node is looked up again just before it goes.
    std::vector<QPersistentModelIndex> nodes;
    for (QTreeWidgetItem* n : Selections()) {
        nodes.emplace_back(indexFromItem(n));
    }
    TDfxTreeUpdateLock lock(this);
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (it->isValid()) {
            DeleteNode(itemFromIndex(*it));
        }
    }
}

void TDfxTreeView::ClearAll() {
    TDfxTreeUpdateLock lock(this);
    const QList<QTreeWidgetItem*> roots = invisibleRootItem()->takeChildren();
    for (QTreeWidgetItem* root : roots) {
        DeleteDetached(root);
    }
}

void TDfxTreeView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) { // whatever the modifiers
        ClearSelected();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TDfxTreeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // Select the node under the mouse before the menu opens; a node already
        // in the selection keeps the selection, so the menu acts on all of it.
        if (QTreeWidgetItem* node = itemAt(event->position().toPoint())) {
            setCurrentItem(node, 0,
                           node->isSelected() ? QItemSelectionModel::NoUpdate
                                              : QItemSelectionModel::ClearAndSelect);
        }
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TDfxTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept(); // the press did all a right click does
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void TDfxTreeView::contextMenuEvent(QContextMenuEvent* event) {
    if (FPopupMenu != nullptr) {
        FPopupMenu->exec(event->globalPos());
    }
    event->accept();
}

void TDfxTreeView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    QTreeWidget::selectionChanged(selected, deselected);
    if (FRestrictingSelection) {
        return;
    }
    QTreeWidgetItem* newest = nullptr;
    const QModelIndexList indexes = selected.indexes();
    for (const QModelIndex& index : indexes) {
        QTreeWidgetItem* node = itemFromIndex(index);
        if (node != nullptr && node->type() == TDfxTreeNode::NodeType) {
            static_cast<TDfxTreeNode*>(node)->FSelectedAt = ++FSelectionCounter;
            newest = node;
        }
    }
    if (newest == nullptr) {
        return;
    }
    // The node clicked last decides which siblings may stay; without a click, the
    // node selected last.
    QTreeWidgetItem* reference = selected.contains(currentIndex()) ? currentItem() : newest;
    KeepSiblingsOf(reference);
}

void TDfxTreeView::KeepSiblingsOf(QTreeWidgetItem* reference) {
    QModelIndex parent = indexFromItem(reference).parent();
    std::vector<int> rows;
    bool others = false;
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    for (const QModelIndex& index : indexes) {
        if (index.parent() == parent) {
            rows.push_back(index.row());
        } else {
            others = true;
        }
    }
    if (!others) {
        return;
    }
    // Select the siblings again as runs of rows, which stays quick for many nodes.
    std::sort(rows.begin(), rows.end());
    QItemSelection keep;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] <= rows[j] + 1) {
            ++j;
        }
        keep.append(QItemSelectionRange(model()->index(rows[i], 0, parent),
                                        model()->index(rows[j], 0, parent)));
        i = j + 1;
    }
    FRestrictingSelection = true;
    selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
    FRestrictingSelection = false;
}

// ---- Helpers --------------------------------------------------------------------

TDfxTreeUpdateLock::TDfxTreeUpdateLock(QTreeWidget* tree)
    : FTree(tree), FWasEnabled(tree->updatesEnabled()) {
    FTree->setUpdatesEnabled(false);
}

TDfxTreeUpdateLock::~TDfxTreeUpdateLock() {
    FTree->setUpdatesEnabled(FWasEnabled);
}

TDfxTreeBuilder::~TDfxTreeBuilder() {
    if (FRoots.isEmpty()) {
        return;
    }
    try {
        FTree->addTopLevelItems(FRoots);
    } catch (...) {
        for (QTreeWidgetItem* root : FRoots) {
            if (root->treeWidget() == nullptr) {
                DeleteDetached(root);
            }
        }
    }
}

QTreeWidgetItem* TDfxTreeBuilder::Add(QTreeWidgetItem* parent, const QString& text) {
    auto node = std::make_unique<TDfxTreeNode>(text);
    QTreeWidgetItem* added = node.get();
    if (parent != nullptr) {
        parent->addChild(node.release());
    } else {
        FRoots.append(added);
        node.release();
    }
    return added;
}

// ---- The enum file --------------------------------------------------------------

std::string DfxEnumText(const QTreeWidget* tree) {
    std::string out;
    DfxForEachNode(tree, INT_MAX, [&](QTreeWidgetItem* node, int level) {
        DfxAppendEnumLine(out, static_cast<std::size_t>(level), FromQt(node->text(0)));
        return true;
    });
    return out;
}

std::string DfxLoadEnumText(TDfxTreeView* tree, std::string_view bytes) {
    TDfxTreeUpdateLock lock(tree);
    tree->ClearAll();
    TDfxTreeBuilder builder(tree);
    std::vector<QTreeWidgetItem*> path; // the node last added at each level
    return DfxReadEnumText(bytes, [&](std::size_t level, std::string_view text) {
        path.resize(level);
        QTreeWidgetItem* parent = level > 0 ? path[level - 1] : nullptr;
        path.push_back(builder.Add(parent, ToQt(std::string(text))));
    });
}

bool DfxLoadEnumFile(TDfxTreeView* tree, const std::string& fileName, std::string& error) {
    std::string bytes;
    if (!DfxReadEnumFile(fileName, bytes, error)) {
        return false;
    }
    error = DfxLoadEnumText(tree, bytes);
    return error.empty();
}

bool DfxSaveEnumFile(const QTreeWidget* tree, const std::string& fileName, std::string& error) {
    return DfxWriteEnumFile(fileName, DfxEnumText(tree), error);
}
