#pragma once
// Pens and brushes.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/uQvColor.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGeometry.h"

enum : UINT {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_STYLE_MASK = 0xF,
};
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3 };

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    ULONG_PTR lbHatch = 0;
};

// The pixel (B, G, R, A = 255 as a little-endian uint32_t) of a colour. System colours
// (0xFF0000nn) are resolved; other high bytes are ignored.
uint32_t GdiPixelOf(COLORREF Color);
// The 0x00BBGGRR colour of a pixel.
inline COLORREF GdiColorOf(uint32_t Pixel) {
    return RGB(static_cast<uint8_t>(Pixel >> 16), static_cast<uint8_t>(Pixel >> 8),
               static_cast<uint8_t>(Pixel));
}

class TGdiPen final : public TGdiObject {
public:
    int ObjectType() const override { return OBJ_PEN; }
    int Describe(int Size, void* Buffer) const override;
    UINT Style = PS_SOLID;  // PS_* without flags
    int Width = 1;          // at least 1
    COLORREF Color = 0;
    // The stock DC_PEN: drawn in the DC's pen colour (SetDCPenColor).
    bool DCColor = false;
    bool IsNull() const { return Style == PS_NULL; }
};

class TGdiBrush final : public TGdiObject {
public:
    int ObjectType() const override { return OBJ_BRUSH; }
    int Describe(int Size, void* Buffer) const override;
    UINT Style = BS_SOLID;
    COLORREF Color = 0;
    // BS_PATTERN: 8 x 8 pixels, row by row. A pattern made from a monochrome bitmap keeps
    // a mask instead (Mono true, Pattern entries 0 or 1): its 0 pixels take the DC's text
    // colour and its 1 pixels the background colour when drawn.
    std::array<uint32_t, 64> Pattern{};
    bool Mono = false;
    HBITMAP PatternBitmap = nullptr;  // the bitmap it was made from, for GetObject
    // The stock DC_BRUSH: drawn in the DC's brush colour (SetDCBrushColor).
    bool DCColor = false;
    bool IsNull() const { return Style == BS_NULL; }
};

TGdiPen* GdiPenOf(HPEN Pen);
TGdiBrush* GdiBrushOf(HBRUSH Brush);
// Creates the stock pen or brush of an index (GetStockObject's helper); null for others.
std::shared_ptr<TGdiObject> GdiCreateStockPenOrBrush(int Index);

// Width 0 means 1. Unknown styles give 0.
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* Pen);
HBRUSH CreateSolidBrush(COLORREF Color);
// An 8 x 8 brush from the top-left of the bitmap (smaller bitmaps repeat). The brush keeps
// a copy: the bitmap may be deleted afterwards. A monochrome bitmap (CreateBitmap with 1
// bit per pixel) makes a brush drawn in the DC's text and background colours.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
// BS_SOLID, BS_NULL and BS_PATTERN (lbHatch = the bitmap); others give 0.
HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush);
// A bitmap from caller bits: 32 bits per pixel (rows of Width * 4 bytes, B, G, R, A) or 1
// bit per pixel (rows padded to 16 bits, most significant bit first, 1 = white); Bits may
// be null for a cleared bitmap. Other formats give 0.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
