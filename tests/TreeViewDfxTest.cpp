#include "discovery/TreeViewDfx.h"
#include "discovery/TreeCommandsDfx.h"

#include "controls/DialogsDFX.h"
#include "controls/FileDialogDfx.h"
#include "controls/MachineImagesDfx.h"
#include "engine/RegistryDfx.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const std::string kSample =
    testsupport::CrLfLines({"Microsoft Windows Network", "\tCORP", "\t\tPC1", "\t\tPC2", "\tHOME",
                            "\t\tPC3", "\t\tPC4", "NetWare", "\tTREE"});

class Tree : public ::testing::Test {
protected:
    void SetUp() override {
        TDfxMessageSeam::Forget();
        TDfxFileDialogSeam::Forget();
        ASSERT_EQ("", DfxLoadEnumText(&tree_, kSample));
    }

    QTreeWidgetItem* Node(const char* text, int level) {
        QTreeWidgetItem* node = nullptr;
        EXPECT_TRUE(DfxFindNodeByText(&tree_, text, level, node)) << text;
        return node;
    }

    // Shown, so that the mouse and the keyboard can reach it.
    void Show() {
        tree_.resize(300, 400);
        tree_.show();
        tree_.expandAll();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree_));
    }

    void Click(QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton) {
        QRect r = tree_.visualItemRect(node);
        ASSERT_FALSE(r.isEmpty()) << node->text(0).toStdString();
        QTest::mouseClick(tree_.viewport(), button, modifiers, r.center());
    }

    std::vector<std::string> Selected() {
        std::vector<std::string> texts;
        for (QTreeWidgetItem* n : tree_.Selections()) {
            texts.push_back(DfxNodeText(n));
        }
        return texts;
    }

    TDfxTreeView tree_;
};

} // namespace

TEST_F(Tree, LoadsAnEnumFileAndSavesItBackAsItWas) {
    EXPECT_EQ(2, tree_.topLevelItemCount());
    QTreeWidgetItem* pc3 = Node("PC3", 2);
    EXPECT_EQ("HOME", DfxNodeText(pc3->parent()));
    EXPECT_EQ(kSample, DfxEnumText(&tree_));
    // Spaces indent like TABs; saving writes TABs.
    ASSERT_EQ("", DfxLoadEnumText(&tree_, "P\n D\n  M\n"));
    EXPECT_EQ(testsupport::CrLfLines({"P", "\tD", "\t\tM"}), DfxEnumText(&tree_));
}

TEST_F(Tree, ABadLineStopsTheLoadAndKeepsTheNodesBeforeIt) {
    EXPECT_EQ("Invalid level (3) for item \"deep\"",
              DfxLoadEnumText(&tree_, testsupport::CrLfLines({"A", "\tB", "\t\t\tdeep", "C"})));
    EXPECT_EQ(testsupport::CrLfLines({"A", "\tB"}), DfxEnumText(&tree_));
    EXPECT_EQ("Invalid level (2) for item \"PC1\"",
              DfxLoadEnumText(&tree_, testsupport::CrLfLines({"\tCORP", "\t\tPC1"})));
    EXPECT_EQ(testsupport::CrLfLines({"CORP"}), DfxEnumText(&tree_));
    EXPECT_EQ("", DfxLoadEnumText(&tree_, "")); // an empty file empties the tree
    EXPECT_EQ(0, tree_.topLevelItemCount());
}

TEST_F(Tree, ANodesImageIsItsLevel) {
    ASSERT_EQ("", DfxLoadEnumText(&tree_, testsupport::CrLfLines(
                                              {"0", "\t1", "\t\t2", "\t\t\t3", "\t\t\t\t4"})));
    QTreeWidgetItem* node = tree_.topLevelItem(0);
    for (int level = 0; level <= 4; ++level, node = node->childCount() ? node->child(0) : node) {
        SCOPED_TRACE(level);
        EXPECT_EQ(level, DfxNodeLevel(node));
        QVariant image = node->data(0, Qt::DecorationRole);
        if (level < kDfxMachineImageCount) {
            EXPECT_EQ(DfxMachineImage(level).cacheKey(), image.value<QIcon>().cacheKey());
        } else {
            EXPECT_FALSE(image.isValid()); // drawn without an image
        }
    }
}

TEST(MachineImages, FourDistinctPicturesOfSixteenPixels) {
    std::vector<QImage> images;
    for (int i = 0; i < kDfxMachineImageCount; ++i) {
        images.push_back(DfxDrawMachineImage(i));
        EXPECT_EQ(QSize(16, 16), images.back().size());
        EXPECT_FALSE(DfxMachineImage(i).isNull());
    }
    EXPECT_TRUE(DfxDrawMachineImage(4).isNull());
    EXPECT_TRUE(DfxMachineImage(-1).isNull());
    for (std::size_t a = 0; a < images.size(); ++a) {
        for (std::size_t b = a + 1; b < images.size(); ++b) {
            EXPECT_NE(images[a], images[b]) << a << " " << b;
        }
    }
    auto redPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                QColor c = image.pixelColor(x, y);
                n += c.alpha() > 200 && c.red() > 180 && c.green() < 80 && c.blue() < 80;
            }
        }
        return n;
    };
    EXPECT_EQ(0, redPixels(images[2]));
    EXPECT_GT(redPixels(images[3]), 6); // the frame with the red mark
}

TEST_F(Tree, FindsByTextAtTheRightLevelOnly) {
    ASSERT_EQ("", DfxLoadEnumText(&tree_, testsupport::CrLfLines(
                                              {"Microsoft Windows Network", "\tCorp", "\t\tcorp",
                                               "\t\tPC1", "\t\xC9QUIPE", "Other", "\tCORP"})));
    struct Case {
        const char* text;
        int level;
        const char* parent; // of the node found; nullptr: none found
    };
    const Case cases[] = {
        {"CORP", 1, "Microsoft Windows Network"}, // the first in tree order
        {"corp", 2, "Corp"},                      // the machine, found only at level 2
        {"pc1", 2, "Corp"},
        {"PC1", 1, nullptr},
        {"microsoft WINDOWS network", 0, ""},
        {"Corp", 0, nullptr},
        {"\xE9QUIPE", 1, nullptr}, // only A to Z are compared without regard to case
        {"\xC9QUIPE", 1, "Microsoft Windows Network"},
        {"CORP ", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.level));
        QTreeWidgetItem* node = reinterpret_cast<QTreeWidgetItem*>(1);
        bool found = DfxFindNodeByText(&tree_, c.text, c.level, node);
        EXPECT_EQ(c.parent != nullptr, found);
        if (c.parent == nullptr) {
            EXPECT_EQ(nullptr, node);
        } else {
            ASSERT_NE(nullptr, node);
            EXPECT_EQ(c.level, DfxNodeLevel(node));
            EXPECT_EQ(c.parent, node->parent() ? DfxNodeText(node->parent()) : "");
        }
    }
    QTreeWidgetItem* child = nullptr;
    EXPECT_TRUE(DfxFindChildNodeByText(tree_.topLevelItem(0), "CORP", child));
    EXPECT_EQ("Corp", DfxNodeText(child));
    EXPECT_FALSE(DfxFindChildNodeByText(tree_.topLevelItem(0), "PC1", child)); // a grandchild
    EXPECT_EQ(nullptr, child);
}

TEST_F(Tree, IsReadOnlyDraggableAndIndented) {
    EXPECT_EQ(QAbstractItemView::NoEditTriggers, tree_.editTriggers());
    EXPECT_TRUE(tree_.dragEnabled());
    EXPECT_EQ(QAbstractItemView::DragOnly, tree_.dragDropMode());
    EXPECT_EQ(19, tree_.indentation());
    EXPECT_TRUE(tree_.isHeaderHidden());
    QTreeWidgetItem* pc1 = Node("PC1", 2);
    EXPECT_TRUE(pc1->flags() & Qt::ItemIsDragEnabled);
    EXPECT_FALSE(pc1->flags() & Qt::ItemIsEditable);
    pc1->setSelected(true);
    std::unique_ptr<QMimeData> dragged(
        tree_.model()->mimeData(tree_.selectionModel()->selectedIndexes()));
    EXPECT_NE(nullptr, dragged);
}

TEST_F(Tree, SelectsSeveralNodesOnlyAmongSiblings) {
    Show();
    Click(Node("PC1", 2));
    Click(Node("PC2", 2), Qt::ControlModifier);
    EXPECT_EQ((std::vector<std::string>{"PC1", "PC2"}), Selected());
    Click(Node("HOME", 1), Qt::ControlModifier); // another parent: it alone stays
    EXPECT_EQ(std::vector<std::string>{"HOME"}, Selected());

    Click(Node("PC1", 2));
    Click(Node("PC4", 2), Qt::ShiftModifier); // a range over two domains
    EXPECT_EQ((std::vector<std::string>{"PC3", "PC4"}), Selected());

    Click(Node("PC4", 2));
    Click(Node("PC3", 2), Qt::ControlModifier);
    EXPECT_EQ((std::vector<std::string>{"PC4", "PC3"}), Selected()); // in the order selected
    Node("PC1", 2)->setSelected(true); // also when selected by the program
    EXPECT_EQ(std::vector<std::string>{"PC1"}, Selected());
}

TEST_F(Tree, ARightClickSelectsTheNodeUnderTheMouse) {
    Show();
    Click(Node("PC1", 2));
    Click(Node("PC2", 2), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(std::vector<std::string>{"PC2"}, Selected());
    EXPECT_EQ(Node("PC2", 2), tree_.SelectedNode());
    Click(Node("PC1", 2), Qt::ControlModifier);
    Click(Node("PC2", 2), Qt::NoModifier, Qt::RightButton); // within the selection: it stays
    EXPECT_EQ((std::vector<std::string>{"PC2", "PC1"}), Selected());
    EXPECT_EQ(Node("PC2", 2), tree_.SelectedNode());

    QMenu menu;
    menu.addAction("Clear Selected");
    tree_.SetPopupMenu(&menu);
    bool shown = false;
    QTimer::singleShot(0, &menu, [&] {
        shown = menu.isVisible();
        menu.close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, tree_.visualItemRect(Node("PC2", 2)).center(),
                            tree_.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(tree_.viewport(), &event);
    EXPECT_TRUE(shown);
}

TEST_F(Tree, DeleteRemovesTheSelectedNodesWithTheirSubtrees) {
    Show();
    tree_.setFocus();
    Click(Node("CORP", 1));
    QTest::keyClick(&tree_, Qt::Key_Delete, Qt::ShiftModifier); // modifiers make no difference
    EXPECT_EQ(testsupport::CrLfLines({"Microsoft Windows Network", "\tHOME", "\t\tPC3", "\t\tPC4",
                                      "NetWare", "\tTREE"}),
              DfxEnumText(&tree_));
    Click(Node("PC4", 2));
    Click(Node("PC3", 2), Qt::ControlModifier);
    tree_.ClearSelected();
    EXPECT_EQ(testsupport::CrLfLines({"Microsoft Windows Network", "\tHOME", "NetWare", "\tTREE"}),
              DfxEnumText(&tree_));
    tree_.ClearSelected(); // nothing selected: nothing happens
    EXPECT_EQ(2, tree_.topLevelItemCount());
    tree_.ClearAll();
    EXPECT_EQ(0, tree_.topLevelItemCount());
    EXPECT_EQ(nullptr, tree_.SelectedNode());
}

TEST_F(Tree, DeepFilesLoadAndClearWithoutRecursion) {
    std::string chain;
    const int depth = 3000;
    for (int i = 0; i < depth; ++i) {
        chain.append(static_cast<std::size_t>(i), ' ');
        chain += "n\r\n";
    }
    ASSERT_EQ("", DfxLoadEnumText(&tree_, chain));
    QTreeWidgetItem* node = tree_.topLevelItem(0);
    int levels = 1;
    while (node->childCount() > 0) {
        node = node->child(0);
        ++levels;
    }
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(depth - 1, DfxNodeLevel(node));
    EXPECT_EQ(0u, DfxEnumText(&tree_).find("n\r\n\tn\r\n\t\tn\r\n"));
    tree_.ClearAll();
    ASSERT_EQ("", DfxLoadEnumText(&tree_, chain)); // freed with the tree at the end
}

TEST_F(Tree, OpenEnumAsksBesideTheProgramAndLoadsTheFile) {
    TempDir dir;
    std::string file = dir / "Network.dat";
    WriteFile(file, testsupport::CrLfLines({"P", "\tD", "\t\tM"}));

    TDfxFileDialogSeam::SetNextFileName(""); // cancelled: nothing changes
    DfxOpenEnumCommand(nullptr, &tree_);
    EXPECT_EQ(kSample, DfxEnumText(&tree_));
    const TDfxFileDialogOptions& asked = TDfxFileDialogSeam::LastOptions();
    EXPECT_EQ(TDfxFileDialogKind::Open, asked.Kind);
    EXPECT_EQ("Enumerate Data|*.dat", asked.Filter);
    EXPECT_EQ("dat", asked.DefaultExt);
    EXPECT_EQ(GetApplicationDir(), asked.InitialDir);

    TDfxFileDialogSeam::SetNextFileName(file);
    DfxOpenEnumCommand(nullptr, &tree_);
    EXPECT_EQ(testsupport::CrLfLines({"P", "\tD", "\t\tM"}), DfxEnumText(&tree_));
    EXPECT_EQ("", TDfxMessageSeam::LastMessage());
}

TEST_F(Tree, OpenEnumShowsWhatWentWrong) {
    TempDir dir;
    struct Case {
        std::string name;
        std::string message;
        std::string treeAfter;
    };
    std::string bad = dir / "bad.dat";
    WriteFile(bad, testsupport::CrLfLines({"A", "\t\tB"}));
    std::string missing = dir / "missing.dat";
    const Case cases[] = {
        {missing, "Cannot open file " + missing, kSample}, // the tree stays as it was
        {bad, "Invalid level (2) for item \"B\"", testsupport::CrLfLines({"A"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ("", DfxLoadEnumText(&tree_, kSample));
        TDfxMessageSeam::Forget();
        TDfxMessageSeam::SetNextAnswer(mrOk);
        TDfxFileDialogSeam::SetNextFileName(c.name);
        DfxOpenEnumCommand(nullptr, &tree_);
        EXPECT_EQ(c.message, TDfxMessageSeam::LastMessage());
        EXPECT_EQ(c.treeAfter, DfxEnumText(&tree_));
    }
}

TEST_F(Tree, SaveEnumAsWritesTheTreeAndAddsTheExtension) {
    TempDir dir;
    TDfxFileDialogSeam::SetNextFileName(dir / "Network");
    DfxSaveEnumAsCommand(nullptr, &tree_);
    const TDfxFileDialogOptions& asked = TDfxFileDialogSeam::LastOptions();
    EXPECT_EQ(TDfxFileDialogKind::Save, asked.Kind);
    EXPECT_TRUE(asked.OverwritePrompt);
    EXPECT_EQ("Enumerate Data|*.dat", asked.Filter);
    EXPECT_EQ(GetApplicationDir(), asked.InitialDir);
    EXPECT_EQ(kSample, ReadFile(dir / "Network.dat"));

    tree_.ClearAll();
    TDfxFileDialogSeam::SetNextFileName(dir / "Network.dat"); // replaced; an empty tree is empty
    DfxSaveEnumAsCommand(nullptr, &tree_);
    EXPECT_EQ("", ReadFile(dir / "Network.dat"));

    std::string nowhere = dir / "no folder/x.dat";
    TDfxMessageSeam::SetNextAnswer(mrOk);
    TDfxFileDialogSeam::SetNextFileName(nowhere);
    DfxSaveEnumAsCommand(nullptr, &tree_);
    EXPECT_EQ("Cannot create file " + nowhere, TDfxMessageSeam::LastMessage());
}

TEST(FileDialog, FiltersAndDefaultExtensions) {
    EXPECT_EQ(QStringList{"Enumerate Data (*.dat)"}, DfxQtNameFilters("Enumerate Data|*.dat"));
    EXPECT_EQ((QStringList{"Queue Data (*.dat)", "All (*.txt *.*)"}),
              DfxQtNameFilters("Queue Data|*.dat|All|*.txt;*.*"));
    EXPECT_EQ("C:\\Tools\\Net.dat", DfxWithDefaultExt("C:\\Tools\\Net", "dat"));
    EXPECT_EQ("C:\\Tools\\Net.txt", DfxWithDefaultExt("C:\\Tools\\Net.txt", "dat"));
    EXPECT_EQ("C:\\My.Tools\\Net.dat", DfxWithDefaultExt("C:\\My.Tools\\Net", "dat"));
    EXPECT_EQ("/tmp/a.b/net.dat", DfxWithDefaultExt("/tmp/a.b/net", "dat"));
    EXPECT_EQ("net", DfxWithDefaultExt("net", ""));
}
