#include "platform/uQvColor.h"

#include <iterator>

#include "platform/uQvStrUtils.h"

namespace {

// The original platform's current default palette, as 0x00BBGGRR.
constexpr COLORREF SysColors[] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
};

struct TColorIdent {
    TColor Value;
    const char16_t* Name;
};

constexpr TColorIdent ColorIdents[] = {
    {clBlack, u"clBlack"}, {clMaroon, u"clMaroon"}, {clGreen, u"clGreen"}, {clOlive, u"clOlive"},
    {clNavy, u"clNavy"}, {clPurple, u"clPurple"}, {clTeal, u"clTeal"}, {clGray, u"clGray"},
    {clSilver, u"clSilver"}, {clRed, u"clRed"}, {clLime, u"clLime"}, {clYellow, u"clYellow"},
    {clBlue, u"clBlue"}, {clFuchsia, u"clFuchsia"}, {clAqua, u"clAqua"}, {clWhite, u"clWhite"},
    {clMoneyGreen, u"clMoneyGreen"}, {clSkyBlue, u"clSkyBlue"}, {clCream, u"clCream"},
    {clMedGray, u"clMedGray"}, {clActiveBorder, u"clActiveBorder"},
    {clActiveCaption, u"clActiveCaption"}, {clAppWorkSpace, u"clAppWorkSpace"},
    {clBackground, u"clBackground"}, {clBtnFace, u"clBtnFace"}, {clBtnHighlight, u"clBtnHighlight"},
    {clBtnShadow, u"clBtnShadow"}, {clBtnText, u"clBtnText"}, {clCaptionText, u"clCaptionText"},
    {clDefault, u"clDefault"}, {clGradientActiveCaption, u"clGradientActiveCaption"},
    {clGradientInactiveCaption, u"clGradientInactiveCaption"}, {clGrayText, u"clGrayText"},
    {clHighlight, u"clHighlight"}, {clHighlightText, u"clHighlightText"}, {clHotLight, u"clHotLight"},
    {clInactiveBorder, u"clInactiveBorder"}, {clInactiveCaption, u"clInactiveCaption"},
    {clInactiveCaptionText, u"clInactiveCaptionText"}, {clInfoBk, u"clInfoBk"},
    {clInfoText, u"clInfoText"}, {clMenu, u"clMenu"}, {clMenuBar, u"clMenuBar"},
    {clMenuHighlight, u"clMenuHighlight"}, {clMenuText, u"clMenuText"}, {clNone, u"clNone"},
    {clScrollBar, u"clScrollBar"}, {cl3DDkShadow, u"cl3DDkShadow"}, {cl3DLight, u"cl3DLight"},
    {clWindow, u"clWindow"}, {clWindowFrame, u"clWindowFrame"}, {clWindowText, u"clWindowText"},
};

}  // namespace

COLORREF GetSysColor(int Index) {
    if (Index < 0 || Index >= static_cast<int>(std::size(SysColors))) return 0;
    return SysColors[Index];
}

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(Color & 0xFF);
    return static_cast<COLORREF>(Color);
}

bool IdentToColor(std::u16string_view Ident, TColor& Color) {
    for (const TColorIdent& E : ColorIdents) {
        if (SameText(Ident, E.Name)) {
            Color = E.Value;
            return true;
        }
    }
    return false;
}

bool ColorToIdent(TColor Color, String& Ident) {
    for (const TColorIdent& E : ColorIdents) {
        if (E.Value == Color) {
            Ident = E.Name;
            return true;
        }
    }
    return false;
}

bool TryStringToColor(std::u16string_view S, TColor& Color) {
    if (IdentToColor(S, Color)) return true;
    int V;
    if (!TryStrToInt(S, V)) return false;
    Color = V;
    return true;
}

TColor StringToColor(std::u16string_view S) {
    TColor C;
    if (IdentToColor(S, C)) return C;
    return StrToInt(S);
}

String ColorToString(TColor Color) {
    String Name;
    if (ColorToIdent(Color, Name)) return Name;
    String Text = u"$";
    Text += IntToHex(static_cast<uint32_t>(Color), 8);
    return Text;
}
