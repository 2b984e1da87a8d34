#pragma once
// Formatting of text in a rectangle: line breaks, word wrapping with the Chinese
// punctuation rules, ellipses, '&' prefixes, alignment and the calculated rectangle.
// The layout is a pure function of the text, the flags, the rectangle and the advances of
// the characters; DrawTextW draws it with a device context's font.

#include <functional>
#include <string_view>
#include <vector>

#include "platform/uQvBase.h"
#include "platform/uQvGeometry.h"
#include "platform/uQvHandles.h"

enum : UINT {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
};

// Advances of every UTF-16 unit of a text (see TQvTextFont::Advances).
using TQvAdvanceFunc = std::function<void(std::u16string_view Text, std::vector<int>& Advances)>;

struct TQvTextLine {
    String Text;              // what is drawn, prefixes removed, ellipsis applied
    int X = 0;                // left edge of the line
    int Y = 0;                // top of the line's cell
    int Width = 0;
    int PrefixIndex = -1;     // unit of Text drawn underlined ("&x"), -1 for none
};

struct TQvTextLayout {
    std::vector<TQvTextLine> Lines;
    TRect Bounds;    // with DT_CALCRECT: the calculated rectangle; otherwise the given one
    int Result = 0;  // what the drawing call returns
};

// Lays Text out in R. LineHeight is the font's height (plus its external leading when the
// caller asks for DT_EXTERNALLEADING).
void QvLayoutText(std::u16string_view Text, const TRect& R, UINT Format, int LineHeight,
                  const TQvAdvanceFunc& Advances, TQvTextLayout& Out);

// Character classes of the wrapping rules, exposed for the edit and for tests.
bool QvIsCJKBreakable(char32_t C);       // ideographs, kana, hangul, full-width forms
bool QvIsClosingPunctuation(char32_t C);  // never starts a line
bool QvIsOpeningPunctuation(char32_t C);  // never ends a line
