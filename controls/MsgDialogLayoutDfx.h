// The arithmetic of the timed message dialog's layout: from the measures of its
// font and texts to the places of its parts, in pixels of the client area.
#pragma once

#include <vector>

struct TDfxRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TDfxRect&) const = default;
};

struct TDfxMsgDialogMeasures {
    int CharWidth = 0;  // width of "A".."Z" and "a".."z" on the form's font, divided by 52
    int CharHeight = 0; // their height
    int TextWidth = 0;  // the message word-wrapped in half the screen's width
    int TextHeight = 0;
    std::vector<int> ButtonCaptionWidths; // single-line caption width of each shown button
    int TitleWidth = 0;                   // the form caption as shown in the title bar
    int CaptionButtonWidth = 0;           // one title-bar button (SM_CXSIZE)
    int CheckBoxCaptionWidth = 0;         // "&Save Response and don't display again", one line
    int CheckBoxHeight = 14;              // what the check box needs; never less than 14
    bool HasIcon = false;
    bool HasStore = false;
};

struct TDfxMsgDialogLayout {
    int ClientWidth = 0;
    int ClientHeight = 0;
    TDfxRect Icon;    // 32 x 32, when there is an icon
    TDfxRect Message; // the word-wrapping label
    std::vector<TDfxRect> Buttons;
    TDfxRect Bevel; // with a store: the line above the check box
    TDfxRect CheckBox;
    bool operator==(const TDfxMsgDialogLayout&) const = default;
};

// a * b / c, rounded half away from zero, as Windows' MulDiv.
int DfxMulDiv(int a, int b, int c);

TDfxMsgDialogLayout DfxMsgDialogLayout(const TDfxMsgDialogMeasures& m);
