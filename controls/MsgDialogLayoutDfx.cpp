#include "MsgDialogLayoutDfx.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

int DfxMulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    int64_t magnitude = (std::abs(product) * 2 + std::abs(static_cast<int64_t>(c))) /
                        (2 * std::abs(static_cast<int64_t>(c)));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

TDfxMsgDialogLayout DfxMsgDialogLayout(const TDfxMsgDialogMeasures& m) {
    const int x = m.CharWidth;
    const int y = m.CharHeight;
    const int hMargin = DfxMulDiv(8, x, 4);
    const int vMargin = DfxMulDiv(4, y, 8);
    const int hSpacing = DfxMulDiv(10, x, 4);
    const int vSpacing = DfxMulDiv(10, y, 8);
    int buttonWidth = DfxMulDiv(45, x, 4);
    for (int w : m.ButtonCaptionWidths) {
        buttonWidth = std::max(buttonWidth, w + 8);
    }
    const int buttonHeight = DfxMulDiv(14, y, 8);
    const int buttonSpacing = DfxMulDiv(4, x, 4);

    const int textIconWidth = m.TextWidth + (m.HasIcon ? 32 + hSpacing : 0);
    const int textIconHeight = m.HasIcon ? std::max(m.TextHeight, 32) : m.TextHeight;
    const int n = static_cast<int>(m.ButtonCaptionWidths.size());
    const int groupWidth = n == 0 ? 0 : n * buttonWidth + (n - 1) * buttonSpacing;

    TDfxMsgDialogLayout l;
    l.ClientWidth = std::max(textIconWidth, groupWidth) + 2 * hMargin;
    // Wide enough for the whole title and the title-bar buttons.
    l.ClientWidth = std::max(l.ClientWidth, m.TitleWidth + 2 * m.CaptionButtonWidth + 2 * hMargin);
    l.ClientHeight = textIconHeight + buttonHeight + vSpacing + 2 * vMargin;
    if (m.HasStore) {
        // A font taller than the classic 8 points needs a taller check box.
        const int extra = std::max(0, m.CheckBoxHeight - 14);
        l.ClientHeight += 24 + extra;
        l.ClientWidth =
            std::max(l.ClientWidth, 2 * hSpacing + m.CheckBoxCaptionWidth + 2 * hMargin);
        l.Bevel = {hSpacing, l.ClientHeight - 22 - extra, l.ClientWidth - 2 * hSpacing, 18};
        l.CheckBox = {hSpacing + 2, l.ClientHeight - 16 - extra, l.ClientWidth - 2 * hSpacing,
                      14 + extra};
    }
    if (m.HasIcon) {
        l.Icon = {hMargin, vMargin, 32, 32};
    }
    int messageLeft = textIconWidth - m.TextWidth + hMargin;
    if (m.HasStore) {
        messageLeft = std::max(messageLeft, (l.ClientWidth - m.TextWidth) / 2);
    }
    l.Message = {messageLeft, vMargin, m.TextWidth, textIconHeight};
    int left = (l.ClientWidth - groupWidth) / 2;
    const int top = textIconHeight + vMargin + vSpacing;
    for (int i = 0; i < n; ++i) {
        l.Buttons.push_back({left, top, buttonWidth, buttonHeight});
        left += buttonWidth + buttonSpacing;
    }
    return l;
}
