#pragma once
// Block transfers between device contexts. Destination rectangles are logical coordinates
// of the destination DC and clipped by its clip; source rectangles are logical coordinates
// of the source DC, and destination pixels whose source falls outside the source bitmap
// are left alone. Source and destination may be the same bitmap, overlapping.

#include "platform/uQvGdiDC.h"

// Ternary raster operations: the low 24 bits' third byte is the truth table of pattern
// (brush), source and destination bits.
enum : DWORD {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

// SRCCOPY copies all four bytes. Other operations combine the colour bits by their truth
// table; their alpha byte is the same operation on the alpha bytes (the brush counting as
// 255) when they read the source, 255 when they read neither source nor destination (fills
// such as PATCOPY, BLACKNESS, WHITENESS), and the destination's own otherwise. Operations
// that read no source accept a null source DC.
BOOL BitBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, DWORD Rop);
// BitBlt without a source; a negative width or height extends left or up from (X, Y).
BOOL PatBlt(HDC Dc, int X, int Y, int W, int H, DWORD Rop);

enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
// Every mode stretches by nearest neighbour; the mode is kept only to be reported.
int SetStretchBltMode(HDC Dc, int Mode);
int GetStretchBltMode(HDC Dc);

// Stretches by nearest neighbour: destination column x takes source column
// SX + trunc((x - X) * (SW / W)) with the ratio in single precision (W below 2 takes the
// middle column (2 SX + SW - 1) div 2); rows the same. A negative width or height on one
// side mirrors the picture. Alpha is copied with SRCCOPY, otherwise as BitBlt.
BOOL StretchBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH, DWORD Rop);

struct BLENDFUNCTION {
    BYTE BlendOp = 0;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;
};
enum : BYTE { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };

// Blends the source over the destination (stretched as StretchBlt when the sizes differ).
// With constant alpha a, each of the four bytes becomes (s * a + d * (255 - a) + 127) / 255
// (ConstantBlend). With AC_SRC_ALPHA the source is premultiplied: with k = s.alpha * a / 255,
// each byte becomes s * a / 255 + d * (255 - k) / 255, quotients rounded to nearest and the
// sum held at 255 (PremultipliedBlend). FALSE for another blend operation, negative sizes or
// an unknown DC.
BOOL AlphaBlend(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                BLENDFUNCTION Blend);
// Copies (stretched as StretchBlt) every source pixel whose colour is not Transparent.
BOOL TransparentBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                    UINT Transparent);
// Nothing is queued: drawing is done when a call returns.
inline BOOL GdiFlush() {
    return TRUE;
}
