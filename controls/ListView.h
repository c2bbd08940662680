// The report-style list of the machine queue: keyboard commands with a
// confirmation before deleting, the clipboard text form of items, dragging items
// between such lists, a check-box change event, sorting by any of the first
// eight columns with a direction per column, the machine list file format,
// exchange with a data set, and column widths kept in the registry.
#pragma once

#include "support/ListItemsDfx.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QTreeView>

#include <bitset>
#include <functional>
#include <string>
#include <vector>

class TDfxDataSet;

struct TListColumn {
    std::string Caption;
    int Width = 50;
    int Tag = 0; // the data-set field the column shows
};

class TRudListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRudListModel)

public:
    explicit TRudListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    std::vector<TListItem>& Items() { return FItems; }
    const std::vector<TListItem>& Items() const { return FItems; }
    std::vector<TListColumn>& Columns() { return FColumns; }
    const std::vector<TListColumn>& Columns() const { return FColumns; }
    std::vector<QIcon> SmallImages;
    bool CheckBoxes = false;
    std::function<void(int row)> OnCheckChanged; // after a check box changed by the user

    void Reset(const std::function<void()>& change);
    void RowChanged(int row);
    void InsertRows(int row, std::vector<TListItem> items);
    void RemoveRow(int row);
    void ColumnsReset(const std::function<void()>& change);
    // Reorders the items by `order` (new position -> old row), keeping selections on their items.
    void Reorder(const std::vector<int>& order);

private:
    QString Text(int row, int column) const;
    std::vector<TListItem> FItems;
    std::vector<TListColumn> FColumns;
};

class TRudListView final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRudListView)

public:
    using TInternalActionEvent = std::function<void(TRudListView* sender, bool& handled)>;
    using TCheckChangedEvent = std::function<void(TRudListView* sender, int item)>;

    explicit TRudListView(QWidget* parent = nullptr);
    // Keeps the column widths in the registry when asked to.
    ~TRudListView() override;

    // Items: caption, one text per further column, images, check state.
    int Count() const;
    const TListItem& Item(int index) const;
    const std::vector<TListItem>& Items() const;
    int AddItem(TListItem item);
    void InsertItem(int index, TListItem item);
    void DeleteItem(int index);
    void Clear();
    void SetSubItemText(int index, int subItem, const std::string& text);
    void SetImageIndex(int index, int imageIndex);
    void SetChecked(int index, bool checked);

    // Columns.
    void AddColumn(const std::string& caption, int width);
    int ColumnCount() const;
    const TListColumn& Column(int index) const;
    void SetColumnWidth(int index, int width);

    // Selection.
    int SelectedCount() const;
    bool IsSelected(int index) const;
    void SetSelected(int index, bool selected);
    std::vector<int> SelectedRows() const; // ascending

    void SetCheckBoxes(bool on);
    bool CheckBoxes() const;
    void SetSmallImages(std::vector<QIcon> images);

    // An update bracket: check-box events are not raised inside one.
    void BeginUpdate();
    void EndUpdate();
    int RedrawLock() const { return FRedrawLock; }

    void LoadFromStream(std::string_view bytes, bool append);
    std::string SaveToStream() const;
    void LoadFromFile(const std::string& fileName, bool append);
    void SaveToFile(const std::string& fileName) const;
    void LoadFromDataSet(TDfxDataSet& dataSet, const std::string& captionField);
    void SaveToDataSet(TDfxDataSet& dataSet, const std::string& captionField) const;

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Asks "OK to delete the selected Items?" first.
    void DeleteSelected();

    // Sorts by column `column` (0 the caption), toggling that column's direction:
    // the first sort of a column is descending. Columns past the eighth do nothing.
    void SortByColumn(int column);
    bool SortDescending(int column) const {
        return column >= 0 && column < 64 && FSortDescending[column];
    }

    // While a run works through the list, nothing may add, remove or reorder its
    // items; selecting and copying still work.
    void SetEditingLocked(bool locked) { FEditingLocked = locked; }
    bool EditingLocked() const { return FEditingLocked; }

    // Reads the column widths from the registry; the owner calls it once the
    // columns and RegistryKeyName are set.
    void Loaded();

    TInternalActionEvent OnDeleteKeyPress;
    TInternalActionEvent OnPaste;
    TInternalActionEvent OnCopy;
    TInternalActionEvent OnCut;
    TCheckChangedEvent OnCheckChanged;
    // The control's own column-click event, before the list sorts; when a compare
    // event is assigned, the list does not sort by itself.
    std::function<void(TRudListView*, int column)> OnColumnClick;
    std::function<int(const TListItem&, const TListItem&, int column)> OnCompare;
    // The control's own drag events: the drop is accepted when `accept` is set.
    std::function<void(TRudListView*, QObject* source, bool& accept)> OnDragOver;
    std::function<void(TRudListView*, QObject* source)> OnDragDrop;

    bool DragAcceptRudListviewOnly = true;
    std::string RegistryKeyName;
    bool StoreToRegistry = false;

    TRudListModel* ListModel() const { return FModel; }

    // What a drag from `source` over this list and a drop on it do; Shift held
    // makes the drop a move.
    bool DragOverFrom(QObject* source) const;
    void DropFrom(QObject* source, bool shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void TransferItem(TRudListView* source, int row, bool move);
    void HeaderClicked(int column);
    void SaveColumnWidths();

    TRudListModel* FModel;
    int FRedrawLock = 0;
    std::bitset<64> FSortDescending;
    bool FEditingLocked = false;
};
