#pragma once
// Platform colours: TColor = 0x00BBGGRR; negative values name system colours
// (0xFF0000nn, nn = index) and resolve through the system colour table.

#include <cstdint>
#include <string_view>

#include "platform/uQvBase.h"

using TColor = int32_t;
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t R, uint8_t G, uint8_t B) {
    return COLORREF{R} | (COLORREF{G} << 8) | (COLORREF{B} << 16);
}
constexpr uint8_t GetRValue(COLORREF C) { return static_cast<uint8_t>(C); }
constexpr uint8_t GetGValue(COLORREF C) { return static_cast<uint8_t>(C >> 8); }
constexpr uint8_t GetBValue(COLORREF C) { return static_cast<uint8_t>(C >> 16); }

constexpr TColor SysColor(int Index) { return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(Index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF,
                 clMedGray = 0xA4A0A0, clLtGray = 0xC0C0C0, clDkGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

enum : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30,
};

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR), clBackground = SysColor(COLOR_BACKGROUND),
                 clActiveCaption = SysColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SysColor(COLOR_INACTIVECAPTION), clMenu = SysColor(COLOR_MENU),
                 clWindow = SysColor(COLOR_WINDOW), clWindowFrame = SysColor(COLOR_WINDOWFRAME),
                 clMenuText = SysColor(COLOR_MENUTEXT), clWindowText = SysColor(COLOR_WINDOWTEXT),
                 clCaptionText = SysColor(COLOR_CAPTIONTEXT),
                 clActiveBorder = SysColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SysColor(COLOR_INACTIVEBORDER),
                 clAppWorkSpace = SysColor(COLOR_APPWORKSPACE), clHighlight = SysColor(COLOR_HIGHLIGHT),
                 clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT), clBtnFace = SysColor(COLOR_BTNFACE),
                 clBtnShadow = SysColor(COLOR_BTNSHADOW), clGrayText = SysColor(COLOR_GRAYTEXT),
                 clBtnText = SysColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SysColor(COLOR_3DDKSHADOW),
                 cl3DLight = SysColor(COLOR_3DLIGHT), clInfoText = SysColor(COLOR_INFOTEXT),
                 clInfoBk = SysColor(COLOR_INFOBK), clHotLight = SysColor(COLOR_HOTLIGHT),
                 clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION),
                 clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION),
                 clMenuHighlight = SysColor(COLOR_MENUHILIGHT), clMenuBar = SysColor(COLOR_MENUBAR);

// The system colour of an index as 0x00BBGGRR; an index without an entry gives 0.
COLORREF GetSysColor(int Index);
// Resolves system colours; other values pass through unchanged.
COLORREF ColorToRGB(TColor Color);

// Colour names ("clWhite", matched without regard to ASCII case) and back.
bool IdentToColor(std::u16string_view Ident, TColor& Color);
// False when the colour has no name.
bool ColorToIdent(TColor Color, String& Ident);
// A colour name, a decimal number or "$" hexadecimal in 0x00BBGGRR; anything else raises
// EConvertError "'%s' is not a valid integer value".
TColor StringToColor(std::u16string_view S);
bool TryStringToColor(std::u16string_view S, TColor& Color);
// The colour's name when it has one, else "$" and eight hexadecimal digits.
String ColorToString(TColor Color);
