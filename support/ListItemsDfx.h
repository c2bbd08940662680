// The items of a report list (the machine queue) as plain data, and their two
// outside forms: the binary queue data format of machine list files, and the
// text form of the clipboard.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TListSubItem {
    std::string Text;
    int32_t ImageIndex = -1;
    bool operator==(const TListSubItem&) const = default;
};

struct TListItem {
    std::string Caption;
    bool Checked = false;
    int32_t ImageIndex = 0;
    int32_t Indent = 0;
    int32_t OverlayIndex = -1;
    int32_t StateIndex = -1;
    std::vector<TListSubItem> SubItems;
    intptr_t Data = 0;
    bool operator==(const TListItem&) const = default;
};

// The queue data format: a 38-byte signature, N (sub-items per item) as a signed
// 32-bit number, then the item records up to the end. Items with fewer than N
// sub-items are written with empty ones, so that a saved file always loads again.
std::string DfxSaveQueueData(const std::vector<TListItem>& items, int32_t subItemCount);

// Reads the format into `items` (replacing them unless `append`). The signature
// and the column count are checked before the items are touched, raising
// "Invalid Stream Format" or "Not enough columns for all the items" (logged);
// a record cut short or a length past the end is "Invalid Stream Format", and
// the items read before it stay. Nothing is allocated beyond what `bytes` holds.
void DfxLoadQueueData(std::string_view bytes, int32_t columnCount, std::vector<TListItem>& items,
                      bool append);

// The clipboard form of one item: IMAGEINDEX:n,CAPTION:text[,CHECKBOX:0|1],sub-items...
// with fields quoted as the comma text form quotes them.
std::string DfxItemToClipboardLine(const TListItem& item, bool checkBoxes);
// False for a line that is not in that form (pasting stops there).
bool DfxItemFromClipboardLine(const std::string& line, TListItem& item);
// The comma text form of fields, both ways.
std::string DfxCommaText(const std::vector<std::string>& fields);
std::vector<std::string> DfxSplitCommaText(std::string_view text);
// Lines of a clipboard text: CR LF, CR or LF end a line; a final line end adds none.
std::vector<std::string> DfxSplitLines(std::string_view text);
