#include "support/ListItemsDfx.h"

#include "support/ExceptionDfx.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Int(int32_t v) {
    std::string s;
    for (int b = 0; b < 4; ++b) {
        s.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * b)) & 0xFF));
    }
    return s;
}

const std::string kSignature = "{31DC1CE5-0D49-4331-ABE0-D37335C0D09F}";

std::string RaisedBy(std::string_view bytes, int columns, std::vector<TListItem>& items) {
    try {
        DfxLoadQueueData(bytes, columns, items, false);
    } catch (const EErrorMessageException& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(QueueData, TheMachineListFileByteForByte) {
    std::vector<TListItem> queue = {
        {"\\\\A", false, 2, 0, -1, -1, {{"Done", -1}}, 0},
        {"B", false, 2, 0, -1, -1, {{"", -1}}, 0},
    };
    std::string expected = kSignature + Int(1) + Int(3) + "\\\\A" + std::string(1, '\0') + Int(2) +
                           Int(0) + Int(-1) + Int(4) + "Done" + Int(-1) + Int(1) + "B" +
                           std::string(1, '\0') + Int(2) + Int(0) + Int(-1) + Int(0) + Int(-1);
    EXPECT_EQ(expected, DfxSaveQueueData(queue, 1));
    std::vector<TListItem> back(1);
    DfxLoadQueueData(expected, 2, back, false);
    EXPECT_EQ(queue, back);

    std::string empty = DfxSaveQueueData({}, 1);
    EXPECT_EQ(42u, empty.size());
    DfxLoadQueueData(empty, 2, back, false);
    EXPECT_TRUE(back.empty());

    // A pasted item with no sub-items is written with an empty one: the file loads again.
    std::vector<TListItem> pasted(1);
    pasted[0].Caption = "PC9";
    DfxLoadQueueData(DfxSaveQueueData(pasted, 1), 2, back, false);
    ASSERT_EQ(1u, back.size());
    EXPECT_EQ((std::vector<TListSubItem>{{"", -1}}), back[0].SubItems);
}

TEST(QueueData, UntrustedFilesAreRefusedCleanly) {
    const std::string record = Int(2) + "PC" + std::string(1, '\1') + Int(3) + Int(0) + Int(-1);
    const std::string good = kSignature + Int(0) + record;
    struct Case {
        std::string name;
        std::string bytes;
        const char* error;
        std::size_t kept; // items in the list afterwards
    } cases[] = {
        {"another signature", "{00000000-0D49-4331-ABE0-D37335C0D09F}" + Int(1),
         "Invalid Stream Format", 1},
        {"shorter than the signature", "{31DC", "Invalid Stream Format", 1},
        {"no column count", kSignature, "Invalid Stream Format", 1},
        {"more sub-items than columns", kSignature + Int(2), "Not enough columns for all the items",
         1},
        {"a negative column count", kSignature + Int(-1), "Invalid Stream Format", 1},
        {"no sub-items", good + record, "", 2},
        {"a record cut short", good + record.substr(0, 7), "Invalid Stream Format", 1},
        {"a length past the end", good + Int(0x7FFFFFF0) + "x", "Invalid Stream Format", 1},
        {"a negative length", good + Int(-5), "Invalid Stream Format", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TListItem> items(1);
        EXPECT_EQ(c.error, RaisedBy(c.bytes, 2, items));
        EXPECT_EQ(c.kept, items.size());
    }
    std::vector<TListItem> items;
    DfxLoadQueueData(good, 1, items, false);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ("PC", items[0].Caption);
    EXPECT_TRUE(items[0].Checked);
    EXPECT_TRUE(items[0].SubItems.empty());
}

TEST(ClipboardForm, LinesBothWays) {
    TListItem item;
    ASSERT_TRUE(DfxItemFromClipboardLine("IMAGEINDEX:2,CAPTION:PC9,Done", item));
    EXPECT_EQ("PC9", item.Caption);
    EXPECT_EQ(2, item.ImageIndex);
    EXPECT_EQ((std::vector<TListSubItem>{{"Done", -1}}), item.SubItems);
    EXPECT_FALSE(DfxItemFromClipboardLine("IMAGEINDEX:2", item));
    EXPECT_FALSE(DfxItemFromClipboardLine("PC1,Done", item));
    ASSERT_TRUE(DfxItemFromClipboardLine("IMAGEINDEX:x,CAPTION:PC1,CHECKBOX:1", item));
    EXPECT_EQ(0, item.ImageIndex);
    EXPECT_TRUE(item.Checked);
    EXPECT_TRUE(item.SubItems.empty());

    TListItem odd{"My \"PC\", the big one",
                  true,
                  3,
                  0,
                  -1,
                  -1,
                  {{"Error: no user is logged on", -1}, {"", -1}, {"x", -1}}};
    std::string line = DfxItemToClipboardLine(odd, true);
    EXPECT_EQ("IMAGEINDEX:3,\"CAPTION:My \"\"PC\"\", the big one\",CHECKBOX:1,"
              "\"Error: no user is logged on\",,x",
              line);
    TListItem back;
    ASSERT_TRUE(DfxItemFromClipboardLine(line, back));
    EXPECT_EQ(odd.Caption, back.Caption);
    EXPECT_EQ(odd.SubItems, back.SubItems);
    // An unquoted field ends at a blank.
    EXPECT_EQ((std::vector<std::string>{"a", "b", "", "c d"}), DfxSplitCommaText(" a b,,\"c d\""));
    EXPECT_EQ((std::vector<std::string>{"a", ""}), DfxSplitCommaText("a,"));
    EXPECT_EQ((std::vector<std::string>{"x", "y", "z"}), DfxSplitLines("x\r\ny\nz\r\n"));
}
