#pragma once
// Fonts as drawing objects and the text calls of device contexts: creating fonts,
// metrics, measuring, ExtTextOutW/TextOutW and DrawTextW. Text writes the text colour
// weighted by glyph coverage and leaves the alpha byte of the pixels as it was; opaque
// backgrounds are fills and write alpha 255.

#include <memory>

#include "platform/uQvBase.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvGdiDevice.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGlyphOutline.h"
#include "platform/uQvText.h"

using WCHAR = Char;
using LPCWSTR = const Char*;
using LPWSTR = Char*;

constexpr int LF_FACESIZE = 32;

enum : int {
    FW_DONTCARE = 0,
    FW_THIN = 100,
    FW_LIGHT = 300,
    FW_NORMAL = 400,
    FW_MEDIUM = 500,
    FW_SEMIBOLD = 600,
    FW_BOLD = 700,
    FW_HEAVY = 900,
};
enum : BYTE {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    SHIFTJIS_CHARSET = 128,
    HANGUL_CHARSET = 129,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    OEM_CHARSET = 255,
};
enum : BYTE {
    OUT_DEFAULT_PRECIS = 0,
    OUT_TT_PRECIS = 4,
    OUT_TT_ONLY_PRECIS = 7,
    CLIP_DEFAULT_PRECIS = 0,
    DEFAULT_PITCH = 0,
    FIXED_PITCH = 1,
    VARIABLE_PITCH = 2,
    FF_DONTCARE = 0x00,
    FF_ROMAN = 0x10,
    FF_SWISS = 0x20,
    FF_MODERN = 0x30,
};
// tmPitchAndFamily bits (TMPF_FIXED_PITCH set means a variable pitch, as on the original).
enum : BYTE { TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04 };
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_GLYPH_INDEX = 0x0010, ETO_RTLREADING = 0x0080 };

struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// A font drawing object: the request as given and the text engine's font for it.
class TQvGdiFont final : public TGdiObject {
public:
    explicit TQvGdiFont(const LOGFONTW& Log);
    int ObjectType() const override { return OBJ_FONT; }
    // LOGFONTW.
    int Describe(int Size, void* Buffer) const override;

    const LOGFONTW& Log() const { return FLog; }
    const std::shared_ptr<TQvTextFont>& Font() const { return FFont; }

private:
    LOGFONTW FLog;
    std::shared_ptr<TQvTextFont> FFont;
};

// The text engine's request for a LOGFONTW: the face name up to its first NUL, weight 0 as
// 400, italic/underline/strike-out as flags, quality and character set.
TQvFontRequest QvFontRequestOf(const LOGFONTW& Log);
// The font a DC draws with: the selected one, else the default (the "Default" face, -11).
std::shared_ptr<TQvTextFont> QvDCFont(const TGdiDC& Dc);
// The text engine's font of a font handle, or null.
std::shared_ptr<TQvTextFont> QvFontOf(HFONT Font);
// Installs the stock fonts (GetStockObject(DEFAULT_GUI_FONT) and the others); done by
// InitQvFonts, callable again without harm.
void QvInstallStockFonts();

// Null Log or an unusable request gives 0. The width, escapement and orientation are kept
// in the description but text is always drawn upright at the face's own proportions.
HFONT CreateFontIndirectW(const LOGFONTW* Log);
HFONT CreateFontW(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                  DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                  DWORD Quality, DWORD PitchAndFamily, LPCWSTR FaceName);

BOOL GetTextMetricsW(HDC Dc, TEXTMETRICW* Metrics);
// The face name of the DC's font, as requested; returns the characters copied without the
// NUL, or the length needed with a null buffer.
int GetTextFaceW(HDC Dc, int Count, LPWSTR FaceName);
// (sum of the advances, tmHeight); no prefix processing. Count -1 is not allowed here, as
// on the original: a negative count fails.
BOOL GetTextExtentPoint32W(HDC Dc, LPCWSTR Text, int Count, SIZE* Size);
// Measures like GetTextExtentPoint32W and reports how many units fit in MaxExtent (Fit)
// and the extent of every prefix (Dx: Dx[i] = width of the first i + 1 units).
BOOL GetTextExtentExPointW(HDC Dc, LPCWSTR Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size);
// Advances of the characters First..Last.
BOOL GetCharWidth32W(HDC Dc, UINT First, UINT Last, int* Widths);

// Draws Count units of Text with the top-left of the text cell at (X, Y) (the DC's text
// alignment moves that reference point). ETO_OPAQUE fills Rect with the background colour;
// ETO_CLIPPED limits the text to Rect; with the background mode OPAQUE the text cell is
// filled first. Dx, when given, sets the advance of every unit; ETO_GLYPH_INDEX takes the
// units as glyph indexes of the font's first face; ETO_RTLREADING lays the line out right
// to left.
BOOL ExtTextOutW(HDC Dc, int X, int Y, UINT Options, const RECT* Rect, LPCWSTR Text, UINT Count, const int* Dx);
BOOL TextOutW(HDC Dc, int X, int Y, LPCWSTR Text, int Count);

// Formats Text (Count -1: up to its NUL) in Rect with the DT_* flags; returns the height
// of the text (see QvLayoutText), 0 on failure. DT_CALCRECT changes Rect and draws nothing.
int DrawTextW(HDC Dc, LPCWSTR Text, int Count, RECT* Rect, UINT Format);

DWORD GetGlyphOutlineW(HDC Dc, UINT Char, UINT Format, GLYPHMETRICS* Metrics, DWORD BufferSize, void* Buffer,
                       const MAT2* Matrix);
