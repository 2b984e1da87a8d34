#pragma once
// 32-bit bitmaps: the one pixel buffer of the system. Pixels are 4 bytes, B, G, R, A in
// memory (0xAARRGGBB read as a little-endian uint32_t), rows of Width * 4 bytes with no
// padding. A bitmap is top-down or bottom-up in memory as created; Row(0) is always the
// top row.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/uQvGdiObjects.h"

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "stored files rely on the 40-byte header");

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {0, 0, 0};
    void* dshSection = nullptr;
    DWORD dsOffset = 0;
};

enum : DWORD { BI_RGB = 0, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// The largest bitmap accepted: each side at most this many pixels ...
constexpr int GdiMaxBitmapSide = 32767;
// ... and at most this many pixels in all (1 GiB of pixel data).
constexpr int64_t GdiMaxBitmapPixels = int64_t{1} << 28;

class TGdiBitmap final : public TGdiObject {
public:
    // A zero-filled bitmap; null when a side is not in 1..GdiMaxBitmapSide, the pixel count
    // is above GdiMaxBitmapPixels or memory is short.
    static std::shared_ptr<TGdiBitmap> Create(int Width, int Height, bool TopDown = true);
    ~TGdiBitmap() override;

    int ObjectType() const override { return OBJ_BITMAP; }
    // BITMAP, or DIBSECTION when Size allows it.
    int Describe(int Size, void* Buffer) const override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool TopDown() const { return FTopDown; }
    // The start of the pixel memory (the bottom row of a bottom-up bitmap).
    uint8_t* Bits() const { return FBits; }
    // Bytes from one row to the row below it: Width * 4, negative for bottom-up bitmaps.
    ptrdiff_t Stride() const { return FTopDown ? ptrdiff_t{FWidth} * 4 : -ptrdiff_t{FWidth} * 4; }
    uint32_t* Row(int Y) const {
        const ptrdiff_t Line = FTopDown ? Y : FHeight - 1 - Y;
        return reinterpret_cast<uint32_t*>(FBits + Line * ptrdiff_t{FWidth} * 4);
    }
    uint32_t& Pixel(int X, int Y) const { return Row(Y)[X]; }
    // A bitmap made from 1-bit data: its pixels are black or white, and a pattern brush
    // made from it draws in the DC's text and background colours.
    bool Monochrome() const { return FMono; }
    void SetMonochrome(bool Mono) { FMono = Mono; }

private:
    TGdiBitmap() = default;
    int FWidth = 0;
    int FHeight = 0;
    bool FTopDown = true;
    bool FMono = false;
    uint8_t* FBits = nullptr;
    uint8_t* FBlock = nullptr;  // the allocation FBits lies in
};

// The bitmap of a handle, or null.
TGdiBitmap* GdiBitmapOf(HBITMAP Bitmap);

// A 32-bit BI_RGB bitmap. A negative biHeight makes it top-down. *Bits (when Bits is not
// null) receives the pixel memory, which stays valid until the bitmap is deleted and no
// device context holds it. Any other format, a zero or absurd size, or a lack of memory
// gives 0 and a null *Bits. Dc, Section and Offset are accepted for compatibility and not
// used.
HBITMAP CreateDIBSection(HDC Dc, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section,
                         DWORD Offset);
// A top-down 32-bit bitmap of the size, zero-filled; a zero side gives a 1 x 1 bitmap, as
// callers that size buffers to empty controls expect; a negative or absurd size gives 0.
HBITMAP CreateCompatibleBitmap(HDC Dc, int Width, int Height);
// A top-down 32-bit bitmap, zero-filled, with *Bits receiving its pixels (when not null);
// 0 on a refused size. The convenient form of CreateDIBSection.
HBITMAP GdiCreateBitmap32(int Width, int Height, void** Bits = nullptr);
