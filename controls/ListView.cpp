#include "ListView.h"

#include "DialogsDFX.h"
#include "QtTextDfx.h"

#include "engine/RegistryDfx.h"
#include "support/DataSetDfx.h"
#include "support/ExceptionDfx.h"
#include "support/StrUtilsDfx.h"

#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <stdexcept>

namespace {

const QString kMimeType = QStringLiteral("application/x-quillmark-listitems");

const std::string& TextOf(const TListItem& item, int column) {
    static const std::string empty;
    if (column == 0) {
        return item.Caption;
    }
    const auto sub = static_cast<std::size_t>(column - 1);
    return sub < item.SubItems.size() ? item.SubItems[sub].Text : empty;
}

void RefuseWhileLocked(bool locked) {
    if (locked) {
        throw std::logic_error("The list cannot change while an action runs through it");
    }
}

} // namespace

// ---- the model ------------------------------------------------------------------

TRudListModel::TRudListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TRudListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FItems.size());
}

int TRudListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(FColumns.size()));
}

QString TRudListModel::Text(int row, int column) const {
    return ToQt(TextOf(FItems[static_cast<std::size_t>(row)], column));
}

QVariant TRudListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const TListItem& item = FItems[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Text(index.row(), index.column());
    case Qt::DecorationRole: {
        int image = index.column() == 0 ? item.ImageIndex
                    : static_cast<std::size_t>(index.column() - 1) < item.SubItems.size()
                        ? item.SubItems[static_cast<std::size_t>(index.column() - 1)].ImageIndex
                        : -1;
        if (image >= 0 && static_cast<std::size_t>(image) < SmallImages.size()) {
            return SmallImages[static_cast<std::size_t>(image)];
        }
        return {};
    }
    case Qt::CheckStateRole:
        if (CheckBoxes && index.column() == 0) {
            return item.Checked ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    default:
        return {};
    }
}

bool TRudListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0) {
        return false;
    }
    TListItem& item = FItems[static_cast<std::size_t>(index.row())];
    bool checked = value.toInt() == Qt::Checked;
    if (checked == item.Checked) {
        return true;
    }
    item.Checked = checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    if (OnCheckChanged) {
        OnCheckChanged(index.row());
    }
    return true;
}

QVariant TRudListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        static_cast<std::size_t>(section) < FColumns.size()) {
        return ToQt(FColumns[static_cast<std::size_t>(section)].Caption);
    }
    return {};
}

Qt::ItemFlags TRudListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (CheckBoxes && index.column() == 0) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

Qt::DropActions TRudListModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

QStringList TRudListModel::mimeTypes() const {
    return {kMimeType};
}

QMimeData* TRudListModel::mimeData(const QModelIndexList&) const {
    auto* mime = new QMimeData; // the drag owns it; the drop reads the source's selection
    mime->setData(kMimeType, {});
    return mime;
}

void TRudListModel::Reset(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

void TRudListModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TRudListModel::InsertRows(int row, std::vector<TListItem> items) {
    if (items.empty()) {
        return;
    }
    beginInsertRows({}, row, row + static_cast<int>(items.size()) - 1);
    FItems.insert(FItems.begin() + row, std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
    endInsertRows();
}

void TRudListModel::RemoveRow(int row) {
    beginRemoveRows({}, row, row);
    FItems.erase(FItems.begin() + row);
    endRemoveRows();
}

void TRudListModel::ColumnsReset(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

void TRudListModel::Reorder(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<TListItem> sorted;
    sorted.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(FItems[static_cast<std::size_t>(order[i])]));
    }
    FItems = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) {
        to.append(index(newRowOf[static_cast<std::size_t>(i.row())], i.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- the view --------------------------------------------------------------------

TRudListView::TRudListView(QWidget* parent) : QTreeView(parent), FModel(new TRudListModel(this)) {
    setModel(FModel);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // captions are read-only
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(false);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &TRudListView::HeaderClicked);
    connect(header(), &QHeaderView::sectionResized, this, [this](int index, int, int width) {
        if (static_cast<std::size_t>(index) < FModel->Columns().size()) {
            FModel->Columns()[static_cast<std::size_t>(index)].Width = width; // kept on destruction
        }
    });
    FModel->OnCheckChanged = [this](int row) {
        if (FRedrawLock == 0 && OnCheckChanged) {
            OnCheckChanged(this, row);
        }
    };
}

TRudListView::~TRudListView() {
    try {
        SaveColumnWidths();
    } catch (const std::exception&) {
        // The widths are not kept this time; nothing else depends on them.
    }
}

int TRudListView::Count() const {
    return static_cast<int>(FModel->Items().size());
}

const TListItem& TRudListView::Item(int index) const {
    return FModel->Items().at(static_cast<std::size_t>(index));
}

const std::vector<TListItem>& TRudListView::Items() const {
    return FModel->Items();
}

int TRudListView::AddItem(TListItem item) {
    RefuseWhileLocked(FEditingLocked);
    int row = Count();
    FModel->InsertRows(row, {std::move(item)});
    return row;
}

void TRudListView::InsertItem(int index, TListItem item) {
    RefuseWhileLocked(FEditingLocked);
    FModel->InsertRows(std::clamp(index, 0, Count()), {std::move(item)});
}

void TRudListView::DeleteItem(int index) {
    RefuseWhileLocked(FEditingLocked);
    FModel->RemoveRow(index);
}

void TRudListView::Clear() {
    RefuseWhileLocked(FEditingLocked);
    FModel->Reset([this] { FModel->Items().clear(); });
}

void TRudListView::SetSubItemText(int index, int subItem, const std::string& text) {
    auto& subs = FModel->Items().at(static_cast<std::size_t>(index)).SubItems;
    if (static_cast<std::size_t>(subItem) >= subs.size()) {
        subs.resize(static_cast<std::size_t>(subItem) + 1);
    }
    subs[static_cast<std::size_t>(subItem)].Text = text;
    FModel->RowChanged(index);
}

void TRudListView::SetImageIndex(int index, int imageIndex) {
    FModel->Items().at(static_cast<std::size_t>(index)).ImageIndex = imageIndex;
    FModel->RowChanged(index);
}

void TRudListView::SetChecked(int index, bool checked) {
    FModel->setData(FModel->index(index, 0), checked ? Qt::Checked : Qt::Unchecked,
                    Qt::CheckStateRole);
}

void TRudListView::AddColumn(const std::string& caption, int width) {
    FModel->ColumnsReset([&] { FModel->Columns().push_back(TListColumn{caption, width, 0}); });
    for (int i = 0; i < ColumnCount(); ++i) {
        setColumnWidth(i, Column(i).Width);
    }
}

int TRudListView::ColumnCount() const {
    return static_cast<int>(FModel->Columns().size());
}

const TListColumn& TRudListView::Column(int index) const {
    return FModel->Columns().at(static_cast<std::size_t>(index));
}

void TRudListView::SetColumnWidth(int index, int width) {
    FModel->Columns().at(static_cast<std::size_t>(index)).Width = width;
    setColumnWidth(index, width);
}

int TRudListView::SelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

bool TRudListView::IsSelected(int index) const {
    return selectionModel()->isRowSelected(index, QModelIndex());
}

void TRudListView::SetSelected(int index, bool selected) {
    selectionModel()->select(FModel->index(index, 0), (selected ? QItemSelectionModel::Select
                                                                : QItemSelectionModel::Deselect) |
                                                          QItemSelectionModel::Rows);
}

std::vector<int> TRudListView::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) {
        rows.push_back(i.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TRudListView::SetCheckBoxes(bool on) {
    FModel->Reset([&] { FModel->CheckBoxes = on; });
}

bool TRudListView::CheckBoxes() const {
    return FModel->CheckBoxes;
}

void TRudListView::SetSmallImages(std::vector<QIcon> images) {
    FModel->Reset([&] { FModel->SmallImages = std::move(images); });
}

void TRudListView::BeginUpdate() {
    ++FRedrawLock;
}

void TRudListView::EndUpdate() {
    --FRedrawLock;
}

void TRudListView::LoadFromStream(std::string_view bytes, bool append) {
    RefuseWhileLocked(FEditingLocked);
    std::vector<TListItem> items = FModel->Items();
    BeginUpdate();
    struct Close {
        TRudListView* view;
        ~Close() { view->EndUpdate(); }
    } close{this};
    try {
        DfxLoadQueueData(bytes, ColumnCount(), items, append);
    } catch (...) {
        if (items != FModel->Items()) { // what was read before the fault stays
            FModel->Reset([&] { FModel->Items() = std::move(items); });
        }
        throw;
    }
    FModel->Reset([&] { FModel->Items() = std::move(items); });
}

std::string TRudListView::SaveToStream() const {
    return DfxSaveQueueData(FModel->Items(), std::max(0, ColumnCount() - 1));
}

void TRudListView::LoadFromFile(const std::string& fileName, bool append) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        throw std::runtime_error(DfxFormat("Cannot open file %s", fileName));
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        throw std::runtime_error(DfxFormat("Cannot read file %s", fileName));
    }
    LoadFromStream(bytes.str(), append);
}

void TRudListView::SaveToFile(const std::string& fileName) const {
    // Written beside and then renamed over the old file: a failure never leaves a torn file.
    const std::string temp = fileName + ".tmp";
    const std::string bytes = SaveToStream();
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.good()) {
            out.close();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw std::runtime_error(DfxFormat("Cannot create file %s", fileName));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, fileName, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(DfxFormat("Cannot create file %s", fileName));
    }
}

void TRudListView::LoadFromDataSet(TDfxDataSet& dataSet, const std::string& captionField) {
    RefuseWhileLocked(FEditingLocked);
    if (!dataSet.Active()) {
        DfxRaiseError("Dataset must be Active");
    }
    const int caption = dataSet.FindField(captionField);
    if (caption < 0) {
        DfxRaiseErrorFmt("Dataset does not contain: %s", captionField);
    }
    const int imageField = dataSet.FindField("IMAGEINDEX");
    const int checkField = dataSet.FindField("CHECKBOX");
    // A field of its own column: not the caption, not IMAGEINDEX or CHECKBOX, and
    // not a large object unless it is null in the current record.
    auto shown = [&](int f) {
        const TFieldDef& def = dataSet.Field(f);
        return f != caption &&
               std::string("IMAGEINDEX;CHECKBOX").find(DfxUpperCase(def.Name)) ==
                   std::string::npos &&
               (!def.IsLargeObject() || !dataSet.Value(f).has_value());
    };
    BeginUpdate();
    struct Close {
        TRudListView* view;
        ~Close() { view->EndUpdate(); }
    } close{this};
    std::vector<TListColumn> columns;
    std::vector<int> fields;
    const TFieldDef& captionDef = dataSet.Field(caption);
    columns.push_back({captionDef.Label(), captionDef.DisplayWidth * 8, caption});
    for (int f = 0; f < dataSet.FieldCount(); ++f) {
        if (shown(f)) {
            columns.push_back({dataSet.Field(f).Label(), dataSet.Field(f).DisplayWidth * 8, f});
            fields.push_back(f);
        }
    }
    std::vector<TListItem> items;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        TListItem item;
        int image = -1;
        if (imageField >= 0 && dataSet.Value(imageField) &&
            DfxTryStrToInt(*dataSet.Value(imageField), image)) {
            item.ImageIndex = image;
        } else {
            item.ImageIndex = -1;
        }
        item.Caption = dataSet.Value(caption).value_or("");
        int checked = 0;
        item.Checked = CheckBoxes() && checkField >= 0 && dataSet.Value(checkField) &&
                       DfxTryStrToInt(*dataSet.Value(checkField), checked) && checked != 0;
        for (int f : fields) {
            item.SubItems.push_back({dataSet.Value(f).value_or(""), -1});
        }
        items.push_back(std::move(item));
    }
    FModel->Reset([&] {
        FModel->Columns() = std::move(columns);
        FModel->Items() = std::move(items);
    });
    for (int i = 0; i < ColumnCount(); ++i) {
        setColumnWidth(i, Column(i).Width);
    }
}

void TRudListView::SaveToDataSet(TDfxDataSet& dataSet, const std::string& captionField) const {
    if (!dataSet.Active()) {
        DfxRaiseError("Dataset must be Active");
    }
    const int caption = dataSet.FindField(captionField);
    if (caption < 0) {
        DfxRaiseErrorFmt("Dataset does not contain: %s", captionField);
    }
    const int imageField = dataSet.FindField("IMAGEINDEX");
    const int checkField = dataSet.FindField("CHECKBOX");
    dataSet.DisableControls();
    struct Enable {
        TDfxDataSet& ds;
        ~Enable() { ds.EnableControls(); }
    } enable{dataSet};
    dataSet.EmptyTable();
    for (const TListItem& item : FModel->Items()) {
        dataSet.Append();
        dataSet.SetValue(caption, item.Caption);
        if (imageField >= 0) {
            dataSet.SetValue(imageField, std::to_string(item.ImageIndex));
        }
        if (CheckBoxes() && checkField >= 0) {
            dataSet.SetValue(checkField, item.Checked ? "1" : "0");
        }
        for (std::size_t i = 0; i < item.SubItems.size() && i + 1 < FModel->Columns().size(); ++i) {
            const int field = FModel->Columns()[i + 1].Tag;
            // A column's tag names its field; the caption is never written over.
            if (field >= 0 && field < dataSet.FieldCount() && field != caption) {
                dataSet.SetValue(field, item.SubItems[i].Text);
            }
        }
        dataSet.Post();
    }
}

void TRudListView::CopyToClipboard() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    std::string text;
    BeginUpdate();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) { // last to first
        text += DfxItemToClipboardLine(Item(*it), CheckBoxes()) + "\r\n";
    }
    EndUpdate();
    QApplication::clipboard()->setText(ToQt(text));
}

void TRudListView::CutToClipboard() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    if (FEditingLocked) {
        QApplication::beep();
        return;
    }
    std::string text;
    BeginUpdate();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        text += DfxItemToClipboardLine(Item(*it), CheckBoxes()) + "\r\n";
        FModel->RemoveRow(*it);
    }
    EndUpdate();
    QApplication::clipboard()->setText(ToQt(text));
}

void TRudListView::PasteFromClipboard() {
    if (FEditingLocked) {
        QApplication::beep();
        return;
    }
    const std::vector<int> selected = SelectedRows();
    const int at = selected.empty() ? Count() : selected.front();
    BeginUpdate();
    int k = 0;
    for (const std::string& line : DfxSplitLines(FromQt(QApplication::clipboard()->text()))) {
        TListItem item;
        if (!DfxItemFromClipboardLine(line, item)) {
            break; // not in the clipboard form: pasting stops silently
        }
        FModel->InsertRows(at + k, {std::move(item)});
        ++k;
    }
    EndUpdate();
}

void TRudListView::DeleteSelected() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    if (FEditingLocked) {
        QApplication::beep();
        return;
    }
    if (!DfxConfirmOkCancel("OK to delete the selected Items?", "", 0xFFFFFFFFu, nullptr,
                            DFX_DLG_FOREGROUND)) {
        return;
    }
    BeginUpdate();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        FModel->RemoveRow(*it);
    }
    EndUpdate();
}

void TRudListView::SortByColumn(int column) {
    if (column < 0 || column > 7) {
        return;
    }
    if (FEditingLocked) {
        QApplication::beep();
        return;
    }
    FSortDescending.flip(static_cast<std::size_t>(column));
    const bool descending = FSortDescending[static_cast<std::size_t>(column)];
    const auto& items = FModel->Items();
    // The locale's order of the texts without regard to case: folded first, since
    // some collators (the C locale's) compare code points as they are.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const TListItem& item : items) {
        keys.push_back(collator.sortKey(ToQt(TextOf(item, column)).toCaseFolded()));
    }
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return descending ? c > 0 : c < 0;
    });
    FModel->Reorder(order);
}

void TRudListView::HeaderClicked(int column) {
    if (OnColumnClick) {
        OnColumnClick(this, column);
    }
    if (!OnCompare) {
        SortByColumn(column);
    }
}

void TRudListView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool plain =
        event->modifiers() == Qt::NoModifier && QApplication::mouseButtons() == Qt::NoButton;
    using Action = void (TRudListView::*)();
    TInternalActionEvent* handler = nullptr;
    Action action = nullptr;
    if (ctrl && event->key() == Qt::Key_C) {
        handler = &OnCopy;
        action = &TRudListView::CopyToClipboard;
    } else if (ctrl && event->key() == Qt::Key_X) {
        handler = &OnCut;
        action = &TRudListView::CutToClipboard;
    } else if (ctrl && event->key() == Qt::Key_V) {
        handler = &OnPaste;
        action = &TRudListView::PasteFromClipboard;
    } else if (plain && event->key() == Qt::Key_Delete) {
        handler = &OnDeleteKeyPress;
        action = &TRudListView::DeleteSelected;
    } else {
        QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
    bool handled = false;
    if (*handler) {
        (*handler)(this, handled);
    }
    if (!handled) {
        (this->*action)();
    }
}

bool TRudListView::DragOverFrom(QObject* source) const {
    if (!DragAcceptRudListviewOnly) {
        bool accept = false;
        if (OnDragOver) {
            OnDragOver(const_cast<TRudListView*>(this), source, accept);
        }
        return accept;
    }
    const auto* list = qobject_cast<const TRudListView*>(source);
    return list != nullptr && list != this && list->SelectedCount() > 0 && !FEditingLocked;
}

void TRudListView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event); // entering is the first move over the list
}

void TRudListView::dragMoveEvent(QDragMoveEvent* event) {
    if (DragOverFrom(event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TRudListView::dropEvent(QDropEvent* event) {
    if (!DragOverFrom(event->source())) {
        event->ignore();
        return;
    }
    // Reported as a copy, so that the dragging view removes nothing itself: a
    // move (Shift) is done here.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    DropFrom(event->source(), (event->modifiers() & Qt::ShiftModifier) != 0);
}

void TRudListView::DropFrom(QObject* source, bool shift) {
    if (!DragOverFrom(source)) {
        return;
    }
    if (!DragAcceptRudListviewOnly) {
        if (OnDragDrop) {
            OnDragDrop(this, source);
        }
        return;
    }
    auto* list = qobject_cast<TRudListView*>(source);
    const std::vector<int> rows = list->SelectedRows();
    BeginUpdate();
    list->BeginUpdate();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) { // last to first
        TransferItem(list, *it, shift && !list->EditingLocked());
    }
    list->EndUpdate();
    EndUpdate();
}

void TRudListView::TransferItem(TRudListView* source, int row, bool move) {
    FModel->InsertRows(Count(), {source->Item(row)});
    if (move) {
        source->FModel->RemoveRow(row);
    }
}

void TRudListView::SaveColumnWidths() {
    if (!StoreToRegistry || RegistryKeyName.empty()) {
        return;
    }
    std::string key = RegistryKeyName;
    while (!key.empty() && key.back() == '\\') {
        key.pop_back();
    }
    const std::size_t sep = key.rfind('\\');
    const std::string parent = sep == std::string::npos ? std::string() : key.substr(0, sep);
    const std::string last = sep == std::string::npos ? key : key.substr(sep + 1);
    const std::string root = parent.empty() || parent[0] == '\\' ? parent : "\\" + parent;
    TDfxRegistry reg;
    if (!reg.OpenKey(root, true) || !reg.DeleteKeyTree(last)) {
        return;
    }
    for (const TListColumn& column : FModel->Columns()) {
        if (!reg.OpenKey(root + "\\" + last + "\\" + column.Caption, true)) {
            return; // the rest is skipped after the first step that fails
        }
        reg.WriteInteger("width", column.Width);
    }
}

void TRudListView::Loaded() {
    if (!StoreToRegistry || RegistryKeyName.empty()) {
        return;
    }
    const std::string key = RegistryKeyName[0] == '\\' ? RegistryKeyName : "\\" + RegistryKeyName;
    try {
        TDfxRegistry reg(KEY_READ);
        if (!reg.OpenKeyReadOnly(key)) {
            return;
        }
        std::vector<std::string> names;
        reg.GetKeyNames(names);
        for (const std::string& name : names) {
            if (!reg.OpenKeyReadOnly(key + "\\" + name)) {
                return;
            }
            const int width = reg.ReadInteger("width");
            for (int i = 0; i < ColumnCount(); ++i) {
                if (DfxSameText(Column(i).Caption, name)) {
                    SetColumnWidth(i, width);
                }
            }
        }
    } catch (const std::exception&) {
        // After the first step that fails the remaining columns keep their widths.
    }
}
