#include "ListItemsDfx.h"

#include "ExceptionDfx.h"
#include "StrUtilsDfx.h"

#include <cstring>

namespace {

constexpr std::string_view kSignature = "{31DC1CE5-0D49-4331-ABE0-D37335C0D09F}";

void PutInt(std::string& out, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int b = 0; b < 4; ++b) {
        out.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
    }
}

void PutText(std::string& out, const std::string& text) {
    PutInt(out, static_cast<int32_t>(text.size()));
    out += text;
}

// Reads the format's fields, refusing anything that runs past the end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : FBytes(bytes) {}
    bool AtEnd() const { return FPos == FBytes.size(); }
    int32_t Int() {
        Need(4);
        uint32_t u = 0;
        for (int b = 0; b < 4; ++b) {
            u |= static_cast<uint32_t>(
                     static_cast<unsigned char>(FBytes[FPos + static_cast<std::size_t>(b)]))
                 << (8 * b);
        }
        FPos += 4;
        return static_cast<int32_t>(u);
    }
    uint8_t Byte() {
        Need(1);
        return static_cast<uint8_t>(FBytes[FPos++]);
    }
    std::string Text() {
        int32_t length = Int();
        if (length < 0) {
            Invalid();
        }
        Need(static_cast<std::size_t>(length));
        std::string text(FBytes.substr(FPos, static_cast<std::size_t>(length)));
        FPos += static_cast<std::size_t>(length);
        return text;
    }
    [[noreturn]] static void Invalid() { DfxRaiseError("Invalid Stream Format"); }

private:
    void Need(std::size_t n) const {
        if (n > FBytes.size() - FPos) {
            Invalid();
        }
    }
    std::string_view FBytes;
    std::size_t FPos = 0;
};

bool NeedsQuotes(const std::string& field) {
    for (char c : field) {
        auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || c == '"' || c == ',') {
            return true;
        }
    }
    return false;
}

int IntFrom(const std::string& field, std::size_t start) {
    int value = 0;
    std::string digits = field.size() > start ? field.substr(start, 256) : std::string();
    return DfxTryStrToInt(digits, value) ? value : 0;
}

} // namespace

std::string DfxSaveQueueData(const std::vector<TListItem>& items, int32_t subItemCount) {
    std::string out(kSignature);
    PutInt(out, subItemCount);
    const TListSubItem empty;
    for (const TListItem& item : items) {
        PutText(out, item.Caption);
        out.push_back(item.Checked ? '\1' : '\0');
        PutInt(out, item.ImageIndex);
        PutInt(out, item.Indent);
        PutInt(out, item.OverlayIndex);
        for (int32_t i = 0; i < subItemCount; ++i) {
            const TListSubItem& sub = static_cast<std::size_t>(i) < item.SubItems.size()
                                          ? item.SubItems[static_cast<std::size_t>(i)]
                                          : empty;
            PutText(out, sub.Text);
            PutInt(out, sub.ImageIndex);
        }
    }
    return out;
}

void DfxLoadQueueData(std::string_view bytes, int32_t columnCount, std::vector<TListItem>& items,
                      bool append) {
    if (bytes.size() < kSignature.size() || bytes.substr(0, kSignature.size()) != kSignature) {
        Reader::Invalid();
    }
    Reader reader(bytes.substr(kSignature.size()));
    const int32_t n = reader.Int();
    if (n < 0) {
        Reader::Invalid();
    }
    if (columnCount < static_cast<int64_t>(n) + 1) {
        DfxRaiseError("Not enough columns for all the items");
    }
    if (!append) {
        items.clear();
    }
    while (!reader.AtEnd()) {
        TListItem item;
        item.Caption = reader.Text();
        item.Checked = reader.Byte() != 0;
        item.ImageIndex = reader.Int();
        item.Indent = reader.Int();
        item.OverlayIndex = reader.Int();
        for (int32_t i = 0; i < n; ++i) {
            TListSubItem sub;
            sub.Text = reader.Text();
            sub.ImageIndex = reader.Int();
            item.SubItems.push_back(std::move(sub));
        }
        items.push_back(std::move(item));
    }
}

std::string DfxCommaText(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out.push_back(',');
        }
        const std::string& f = fields[i];
        if (!NeedsQuotes(f)) {
            out += f;
            continue;
        }
        out.push_back('"');
        for (char c : f) {
            if (c == '"') {
                out.push_back('"');
            }
            out.push_back(c);
        }
        out.push_back('"');
    }
    return out;
}

std::vector<std::string> DfxSplitCommaText(std::string_view text) {
    std::vector<std::string> fields;
    std::size_t p = 0;
    auto blank = [&](std::size_t i) {
        return i < text.size() && static_cast<unsigned char>(text[i]) <= ' ';
    };
    while (blank(p)) {
        ++p;
    }
    while (p < text.size()) {
        std::string field;
        if (text[p] == '"') {
            ++p;
            while (p < text.size()) {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        field.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field.push_back(text[p++]);
            }
        } else {
            // An unquoted field ends at a comma or at a blank.
            while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',') {
                field.push_back(text[p++]);
            }
        }
        fields.push_back(std::move(field));
        while (blank(p)) {
            ++p;
        }
        if (p < text.size() && text[p] == ',') {
            if (p + 1 == text.size()) {
                fields.emplace_back(); // a final comma ends with an empty field
            }
            do {
                ++p;
            } while (blank(p));
        }
    }
    return fields;
}

std::vector<std::string> DfxSplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::string DfxItemToClipboardLine(const TListItem& item, bool checkBoxes) {
    std::vector<std::string> fields = {"IMAGEINDEX:" + std::to_string(item.ImageIndex),
                                       "CAPTION:" + item.Caption};
    if (checkBoxes) {
        fields.push_back(std::string("CHECKBOX:") + (item.Checked ? "1" : "0"));
    }
    for (const TListSubItem& sub : item.SubItems) {
        fields.push_back(sub.Text);
    }
    return DfxCommaText(fields);
}

bool DfxItemFromClipboardLine(const std::string& line, TListItem& item) {
    std::vector<std::string> fields = DfxSplitCommaText(line);
    if (fields.size() < 2 || (fields[0].find("IMAGEINDEX:") == std::string::npos &&
                              fields[1].find("CAPTION:") == std::string::npos)) {
        return false;
    }
    item = TListItem{};
    item.ImageIndex = IntFrom(fields[0], 11);
    item.Caption = fields[1].size() > 8 ? fields[1].substr(8, 256) : std::string();
    std::size_t next = 2;
    if (next < fields.size() && fields[next].find("CHECKBOX:") != std::string::npos) {
        item.Checked = IntFrom(fields[next], 9) != 0;
        ++next;
    }
    for (; next < fields.size(); ++next) {
        item.SubItems.push_back(TListSubItem{fields[next], -1});
    }
    return true;
}
