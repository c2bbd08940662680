#include "controls/ListView.h"

#include "controls/DialogsDFX.h"
#include "engine/RegistryDfx.h"
#include "support/DataSetDfx.h"
#include "support/LabBuilder.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TListItem Machine(const std::string& name, const std::string& info = "", int image = 2) {
    return TListItem{name, false, image, 0, -1, -1, {{info, -1}}, 0};
}

// The machine queue as the main window sets it up.
class Queue : public ::testing::Test {
protected:
    void SetUp() override {
        TDfxMessageSeam::Forget();
        list.AddColumn("Machine", 200);
        list.AddColumn("Information", 1000);
        list.DragAcceptRudListviewOnly = false;
        for (const char* name : {"PC1", "PC2", "PC3", "PC4"}) {
            list.AddItem(Machine(name));
        }
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const TListItem& i : list.Items()) {
            out.push_back(i.Caption);
        }
        return out;
    }
    TRudListView list;
};

} // namespace

TEST_F(Queue, CopyingRowsOneAndThreeAndPastingAtRowZero) {
    list.SetSelected(1, true);
    list.SetSelected(3, true);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("IMAGEINDEX:2,CAPTION:PC4,\r\nIMAGEINDEX:2,CAPTION:PC2,\r\n",
              QApplication::clipboard()->text().toStdString());
    list.clearSelection();
    list.SetSelected(0, true);
    QTest::keyClick(&list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ((std::vector<std::string>{"PC4", "PC2", "PC1", "PC2", "PC3", "PC4"}), Captions());

    QApplication::clipboard()->setText(
        "IMAGEINDEX:3,CAPTION:PC9,Done\r\nIMAGEINDEX:2\r\nIMAGEINDEX:2,CAPTION:PC10,\r\n");
    list.clearSelection();
    list.PasteFromClipboard(); // stops at the line with a single field
    ASSERT_EQ(7, list.Count());
    EXPECT_EQ("PC9", list.Item(6).Caption);
    EXPECT_EQ(3, list.Item(6).ImageIndex);
    EXPECT_EQ("Done", list.Item(6).SubItems.at(0).Text);

    list.clearSelection();
    list.SetSelected(0, true);
    QTest::keyClick(&list, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(6, list.Count());
    EXPECT_EQ("IMAGEINDEX:2,CAPTION:PC4,\r\n", QApplication::clipboard()->text().toStdString());
}

TEST_F(Queue, DeletingAsksFirst) {
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ("", TDfxMessageSeam::LastMessage()) << "nothing selected: nothing asked";
    list.SetSelected(1, true);
    list.SetSelected(2, true);
    TDfxMessageSeam::SetNextAnswer(mrCancel);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ("OK to delete the selected Items?", TDfxMessageSeam::LastMessage());
    EXPECT_EQ(4, list.Count());
    TDfxMessageSeam::SetNextAnswer(mrOk);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ((std::vector<std::string>{"PC1", "PC4"}), Captions());

    // An event that says it handled the key keeps the built-in action from running.
    int calls = 0;
    list.OnDeleteKeyPress = [&](TRudListView*, bool& handled) {
        ++calls;
        handled = true;
    };
    list.SetSelected(0, true);
    QTest::keyClick(&list, Qt::Key_Delete);
    QTest::keyClick(&list, Qt::Key_Delete, Qt::ShiftModifier); // with a modifier: not the command
    EXPECT_EQ(1, calls);
    EXPECT_EQ(2, list.Count());
}

TEST_F(Queue, SortingTogglesEachColumnsDirection) {
    list.SetSubItemText(0, 0, "done");
    list.SetSubItemText(1, 0, "Error");
    list.SetSubItemText(2, 0, "Action stopped...");
    list.SetSubItemText(3, 0, "");
    list.SetSelected(1, true);
    list.SortByColumn(1);
    EXPECT_EQ((std::vector<std::string>{"PC2", "PC1", "PC3", "PC4"}), Captions())
        << "first: descending";
    EXPECT_TRUE(list.IsSelected(0)) << "the selection follows its item";
    list.SortByColumn(1);
    EXPECT_EQ((std::vector<std::string>{"PC4", "PC3", "PC1", "PC2"}), Captions())
        << "then ascending";
    list.SortByColumn(0);
    EXPECT_EQ((std::vector<std::string>{"PC4", "PC3", "PC2", "PC1"}), Captions())
        << "a column of its own";
    list.SortByColumn(8);
    EXPECT_EQ((std::vector<std::string>{"PC4", "PC3", "PC2", "PC1"}), Captions())
        << "past the eighth: nothing";
    int clicked = -1;
    list.OnColumnClick = [&](TRudListView*, int column) { clicked = column; };
    list.OnCompare = [](const TListItem&, const TListItem&, int) { return 0; };
    emit list.header()->sectionClicked(0);
    EXPECT_EQ(0, clicked);
    EXPECT_EQ("PC4", list.Item(0).Caption) << "with a compare event the list does not sort itself";
}

TEST_F(Queue, CheckBoxEventsOutsideUpdateBrackets) {
    list.SetCheckBoxes(true);
    std::vector<int> changed;
    list.OnCheckChanged = [&](TRudListView*, int item) { changed.push_back(item); };
    list.SetChecked(2, true);
    list.SetChecked(2, true); // no change, no event
    list.BeginUpdate();
    list.SetChecked(3, true);
    list.EndUpdate();
    list.ListModel()->setData(list.ListModel()->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ((std::vector<int>{2, 0}), changed);
    EXPECT_TRUE(list.Item(3).Checked);
    EXPECT_EQ(0, list.RedrawLock());
}

TEST_F(Queue, DraggingBetweenListsCopiesOrWithShiftMoves) {
    TRudListView other;
    other.AddColumn("Machine", 100);
    other.AddColumn("Information", 100);
    other.AddItem(Machine("X1", "Done"));
    other.AddItem(Machine("X2"));
    other.AddItem(Machine("X3"));
    list.DragAcceptRudListviewOnly = true;
    EXPECT_FALSE(list.DragOverFrom(&other)) << "nothing selected over there";
    other.SetSelected(0, true);
    other.SetSelected(2, true);
    EXPECT_FALSE(list.DragOverFrom(&list)) << "not from itself";
    ASSERT_TRUE(list.DragOverFrom(&other));
    list.DropFrom(&other, false);
    EXPECT_EQ((std::vector<std::string>{"PC1", "PC2", "PC3", "PC4", "X3", "X1"}), Captions());
    EXPECT_EQ("Done", list.Item(5).SubItems.at(0).Text);
    EXPECT_EQ(3, other.Count());
    list.DropFrom(&other, true);
    EXPECT_EQ(8, list.Count());
    EXPECT_EQ("X2", other.Item(0).Caption);
    EXPECT_EQ(1, other.Count());

    // The owner decides when the list's own handling is off.
    list.DragAcceptRudListviewOnly = false;
    QObject stranger;
    bool dropped = false;
    list.OnDragOver = [&](TRudListView*, QObject* source, bool& accept) {
        accept = source == &stranger;
    };
    list.OnDragDrop = [&](TRudListView*, QObject*) { dropped = true; };
    EXPECT_FALSE(list.DragOverFrom(&other));
    list.DropFrom(&stranger, false);
    EXPECT_TRUE(dropped);
}

TEST_F(Queue, NothingChangesItsItemsWhileARunIsGoingOn) {
    list.SetEditingLocked(true);
    list.SetSelected(1, true);
    QTest::keyClick(&list, Qt::Key_Delete);
    QTest::keyClick(&list, Qt::Key_X, Qt::ControlModifier);
    QApplication::clipboard()->setText("IMAGEINDEX:2,CAPTION:PC9,\r\n");
    QTest::keyClick(&list, Qt::Key_V, Qt::ControlModifier);
    list.SortByColumn(0);
    EXPECT_THROW(list.AddItem(Machine("PC5")), std::logic_error);
    EXPECT_THROW(list.LoadFromStream(list.SaveToStream(), false), std::logic_error);
    EXPECT_EQ((std::vector<std::string>{"PC1", "PC2", "PC3", "PC4"}), Captions());
    EXPECT_EQ("", TDfxMessageSeam::LastMessage()) << "not even asked";
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("IMAGEINDEX:2,CAPTION:PC2,\r\n", QApplication::clipboard()->text().toStdString());
    list.SetSubItemText(1, 0, "Processing...");
    list.SetImageIndex(1, 3);
    EXPECT_EQ(3, list.Item(1).ImageIndex) << "the runner still writes its results";
}

TEST_F(Queue, FilesLoadAndSave) {
    testsupport::TempDir dir;
    list.SetSubItemText(0, 0, "Done");
    list.SetImageIndex(1, 3);
    const std::string file = dir / "Machines.dat";
    list.SaveToFile(file);
    TRudListView loaded;
    loaded.AddColumn("Machine", 200);
    loaded.AddColumn("Information", 1000);
    loaded.AddItem(Machine("OLD"));
    loaded.LoadFromFile(file, false);
    EXPECT_EQ(list.Items(), loaded.Items());
    testsupport::WriteFile(dir / "Other.dat", "not a machine list");
    EXPECT_THROW(loaded.LoadFromFile(dir / "Other.dat", false), std::exception);
    EXPECT_EQ(list.Items(), loaded.Items()) << "a bad file leaves the queue as it was";
    EXPECT_THROW(loaded.LoadFromFile(dir / "Missing.dat", false), std::runtime_error);
    EXPECT_THROW(list.SaveToFile(dir / "no/such/folder/x.dat"), std::runtime_error);
}

TEST_F(Queue, DataSetsBothWays) {
    TDfxDataSet ds;
    ds.AddField({"ID", "", 5, TFieldKind::AutoInc});
    ds.AddField({"MachineName", "Machine", 20, TFieldKind::String, 60});
    ds.AddField({"ImageIndex", "", 3, TFieldKind::Integer});
    ds.AddField({"Domain", "Domain", 15, TFieldKind::String, 60});
    ds.AddField({"Notes", "", 10, TFieldKind::Memo});
    try {
        list.SaveToDataSet(ds, "MachineName");
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ("Dataset must be Active", e.what());
    }
    ds.Open();
    try {
        list.SaveToDataSet(ds, "Caption");
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ("Dataset does not contain: Caption", e.what());
    }
    list.SaveToDataSet(ds, "MachineName");
    EXPECT_EQ(4, ds.RecordCount());
    ds.First();
    EXPECT_EQ("PC1", ds.Value(1).value_or(""));
    EXPECT_EQ("2", ds.Value(2).value_or(""));

    TRudListView grid;
    grid.LoadFromDataSet(ds, "machinename");
    // ID, Domain and the null memo become columns; IMAGEINDEX does not.
    ASSERT_EQ(4, grid.ColumnCount());
    EXPECT_EQ("Machine", grid.Column(0).Caption);
    EXPECT_EQ("ID", grid.Column(1).Caption);
    EXPECT_EQ("Domain", grid.Column(2).Caption);
    EXPECT_EQ("Notes", grid.Column(3).Caption);
    ASSERT_EQ(4, grid.Count());
    EXPECT_EQ("PC4", grid.Item(3).Caption);
    EXPECT_EQ(2, grid.Item(3).ImageIndex);
    EXPECT_EQ("4", grid.Item(3).SubItems.at(0).Text);
}

TEST(QueueColumns, WidthsKeptInTheRegistry) {
    testsupport::LabBuilder lab;
    lab.Write();
    {
        TRudListView list;
        list.AddColumn("Machine", 210);
        list.AddColumn("Information", 900);
        list.RegistryKeyName = "Software\\Tarvel Quillmark 1.0\\Columns\\Queue";
        list.StoreToRegistry = true;
        list.SetColumnWidth(1, 777);
    }
    TDfxRegistry reg(KEY_READ);
    ASSERT_TRUE(
        reg.OpenKeyReadOnly("\\Software\\Tarvel Quillmark 1.0\\Columns\\Queue\\Information"));
    EXPECT_EQ(777, reg.ReadInteger("width"));
    TRudListView again;
    again.AddColumn("MACHINE", 50);
    again.AddColumn("information", 50);
    again.RegistryKeyName = "Software\\Tarvel Quillmark 1.0\\Columns\\Queue";
    again.StoreToRegistry = true;
    again.Loaded();
    EXPECT_EQ(210, again.Column(0).Width);
    EXPECT_EQ(777, again.Column(1).Width);
}
