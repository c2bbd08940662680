// The machine tree: network providers (level 0), their domains or workgroups
// (1) and the domains' machines (2), each node holding only its text. A node's
// image is its level. Loading and saving the tree as an enum file, and the node
// searches the add-machines dialogs use.
#pragma once

#include <QTreeWidget>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QMenu;

// A node of the machine tree. Its image and selected image are its level.
class TDfxTreeNode final : public QTreeWidgetItem {
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 1;
    explicit TDfxTreeNode(const QString& text);

    QVariant data(int column, int role) const override;

private:
    friend class TDfxTreeView;
    uint64_t FSelectedAt = 0; // when it was last selected, for the selection order
};

class TDfxTreeView final : public QTreeWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDfxTreeView)

public:
    explicit TDfxTreeView(QWidget* parent = nullptr);
    ~TDfxTreeView() override;

    // Appends a node as `parent`'s last child, or as the last root.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text);
    // The selected nodes in the order they were selected; all have one parent.
    QList<QTreeWidgetItem*> Selections() const;
    // The node the commands start from: the current node when it is selected,
    // else the one selected last; nullptr when nothing is selected.
    QTreeWidgetItem* SelectedNode() const;
    // Removes the node with its subtree.
    void DeleteNode(QTreeWidgetItem* node);
    // "Clear Selected": every selected node with its subtree, the last selected first.
    void ClearSelected();
    // "Clear All".
    void ClearAll();
    // The context menu, shown once a right click has selected the node under the mouse.
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }
    QMenu* PopupMenu() const { return FPopupMenu; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void KeepSiblingsOf(QTreeWidgetItem* reference);

    QMenu* FPopupMenu = nullptr;
    uint64_t FSelectionCounter = 0;
    bool FRestrictingSelection = false;
};

// Repainting of a tree suspended while nodes change; resumed when the lock goes.
class TDfxTreeUpdateLock final {
public:
    explicit TDfxTreeUpdateLock(QTreeWidget* tree);
    ~TDfxTreeUpdateLock();
    TDfxTreeUpdateLock(const TDfxTreeUpdateLock&) = delete;
    TDfxTreeUpdateLock& operator=(const TDfxTreeUpdateLock&) = delete;

private:
    QTreeWidget* FTree;
    bool FWasEnabled;
};

// Many new nodes for a tree that was just emptied: the subtrees are built apart
// from the view and handed to it at once when the builder goes, also when
// building stopped early.
class TDfxTreeBuilder final {
public:
    explicit TDfxTreeBuilder(QTreeWidget* tree) : FTree(tree) {}
    ~TDfxTreeBuilder();
    TDfxTreeBuilder(const TDfxTreeBuilder&) = delete;
    TDfxTreeBuilder& operator=(const TDfxTreeBuilder&) = delete;

    // `parent` is a node made by this builder, or nullptr for a new root.
    QTreeWidgetItem* Add(QTreeWidgetItem* parent, const QString& text);

private:
    QTreeWidget* FTree;
    QList<QTreeWidgetItem*> FRoots;
};

int DfxNodeLevel(const QTreeWidgetItem* node);
std::string DfxNodeText(const QTreeWidgetItem* node);
// Node texts are compared as the tree finds them: the letters A to Z without
// regard to case, every other character exactly.
bool DfxSameNodeText(const QString& a, const QString& b);

// The first node in tree order at `level` whose text is `text`.
bool DfxFindNodeByText(const QTreeWidget* tree, const std::string& text, int level,
                       QTreeWidgetItem*& node);
// The first direct child of `node` whose text is `text`.
bool DfxFindChildNodeByText(const QTreeWidgetItem* node, const std::string& text,
                            QTreeWidgetItem*& child);

// Calls visit(node, level) for every node down to `maxLevel` in tree order
// (parents before children) without recursion; visit returns false to stop.
template <class Visit>
void DfxForEachNode(const QTreeWidget* tree, int maxLevel, Visit&& visit) {
    std::vector<std::pair<const QTreeWidgetItem*, int>> path; // node, next child
    const QTreeWidgetItem* root = tree->invisibleRootItem();
    path.emplace_back(root, 0);
    while (!path.empty()) {
        auto& [node, next] = path.back();
        if (next >= node->childCount()) {
            path.pop_back();
            continue;
        }
        QTreeWidgetItem* child = node->child(next++);
        int level = static_cast<int>(path.size()) - 1;
        if (!visit(child, level)) {
            return;
        }
        if (level < maxLevel && child->childCount() > 0) {
            path.emplace_back(child, 0);
        }
    }
}

// The tree as the bytes of an enum file.
std::string DfxEnumText(const QTreeWidget* tree);
// Replaces the tree's nodes with those of an enum file's bytes; the error of a
// bad line, or "" (the nodes before a bad line stay).
std::string DfxLoadEnumText(TDfxTreeView* tree, std::string_view bytes);
// Loads an enum file into the tree; false with the message for the user. A file
// that cannot be read leaves the tree as it was.
bool DfxLoadEnumFile(TDfxTreeView* tree, const std::string& fileName, std::string& error);
bool DfxSaveEnumFile(const QTreeWidget* tree, const std::string& fileName, std::string& error);
