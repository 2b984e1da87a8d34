#include "platform/uQvGdiPens.h"

#include <cstring>

#include "platform/uQvGdiBitmaps.h"

uint32_t GdiPixelOf(COLORREF Color) {
    const COLORREF C = ColorToRGB(static_cast<TColor>(Color)) & 0xFFFFFF;
    return 0xFF000000u | (uint32_t{GetRValue(C)} << 16) | (uint32_t{GetGValue(C)} << 8) | GetBValue(C);
}

namespace {

template <typename T>
int CopyOut(const T& Value, int Size, void* Buffer) {
    if (Buffer == nullptr) return sizeof(T);
    if (Size < static_cast<int>(sizeof(T))) return 0;
    std::memcpy(Buffer, &Value, sizeof(T));
    return sizeof(T);
}

std::shared_ptr<TGdiPen> MakePen(UINT Style, int Width, COLORREF Color) {
    auto P = std::make_shared<TGdiPen>();
    P->Style = Style;
    P->Width = Width < 1 ? 1 : Width;
    P->Color = Color & 0xFFFFFF;
    return P;
}

std::shared_ptr<TGdiBrush> MakeSolid(UINT Style, COLORREF Color) {
    auto B = std::make_shared<TGdiBrush>();
    B->Style = Style;
    B->Color = Color & 0xFFFFFF;
    return B;
}

}  // namespace

int TGdiPen::Describe(int Size, void* Buffer) const {
    LOGPEN L;
    L.lopnStyle = Style;
    L.lopnWidth = {Width, 0};
    L.lopnColor = Color;
    return CopyOut(L, Size, Buffer);
}

int TGdiBrush::Describe(int Size, void* Buffer) const {
    LOGBRUSH L;
    L.lbStyle = Style;
    L.lbColor = Color;
    L.lbHatch = reinterpret_cast<ULONG_PTR>(PatternBitmap);
    return CopyOut(L, Size, Buffer);
}

TGdiPen* GdiPenOf(HPEN Pen) {
    return GdiLookupAs<TGdiPen>(Pen, OBJ_PEN);
}
TGdiBrush* GdiBrushOf(HBRUSH Brush) {
    return GdiLookupAs<TGdiBrush>(Brush, OBJ_BRUSH);
}

std::shared_ptr<TGdiObject> GdiCreateStockPenOrBrush(int Index) {
    switch (Index) {
        case WHITE_BRUSH:
            return MakeSolid(BS_SOLID, 0xFFFFFF);
        case LTGRAY_BRUSH:
            return MakeSolid(BS_SOLID, 0xC0C0C0);
        case GRAY_BRUSH:
            return MakeSolid(BS_SOLID, 0x808080);
        case DKGRAY_BRUSH:
            return MakeSolid(BS_SOLID, 0x404040);
        case BLACK_BRUSH:
            return MakeSolid(BS_SOLID, 0x000000);
        case NULL_BRUSH:
            return MakeSolid(BS_NULL, 0);
        case WHITE_PEN:
            return MakePen(PS_SOLID, 1, 0xFFFFFF);
        case BLACK_PEN:
            return MakePen(PS_SOLID, 1, 0x000000);
        case NULL_PEN:
            return MakePen(PS_NULL, 1, 0);
        case DC_BRUSH: {
            auto B = MakeSolid(BS_SOLID, 0xFFFFFF);
            B->DCColor = true;
            return B;
        }
        case DC_PEN: {
            auto P = MakePen(PS_SOLID, 1, 0);
            P->DCColor = true;
            return P;
        }
        default:
            return nullptr;
    }
}

HPEN CreatePen(int Style, int Width, COLORREF Color) {
    const UINT S = static_cast<UINT>(Style) & PS_STYLE_MASK;
    if (S > PS_INSIDEFRAME) return nullptr;
    // Colours of pens resolve now, so a later change of the system colours does not
    // repaint old pens.
    return static_cast<HPEN>(GdiAddObject(MakePen(S, Width, GdiColorOf(GdiPixelOf(Color)))));
}

HPEN CreatePenIndirect(const LOGPEN* Pen) {
    return Pen != nullptr ? CreatePen(static_cast<int>(Pen->lopnStyle), Pen->lopnWidth.X, Pen->lopnColor)
                          : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF Color) {
    return static_cast<HBRUSH>(GdiAddObject(MakeSolid(BS_SOLID, GdiColorOf(GdiPixelOf(Color)))));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
    TGdiBitmap* Bm = GdiBitmapOf(Bitmap);
    if (Bm == nullptr) return nullptr;
    auto B = std::make_shared<TGdiBrush>();
    B->Style = BS_PATTERN;
    B->Mono = Bm->Monochrome();
    B->PatternBitmap = Bitmap;
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) {
            const uint32_t P = Bm->Pixel(X % Bm->Width(), Y % Bm->Height());
            B->Pattern[Y * 8 + X] = B->Mono ? ((P & 0xFFFFFF) != 0 ? 1u : 0u) : P;
        }
    return static_cast<HBRUSH>(GdiAddObject(std::move(B)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush) {
    if (Brush == nullptr) return nullptr;
    switch (Brush->lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(Brush->lbColor);
        case BS_NULL:
            return static_cast<HBRUSH>(GdiAddObject(MakeSolid(BS_NULL, 0)));
        case BS_PATTERN:
            return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush->lbHatch));
        default:
            return nullptr;
    }
}

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits) {
    if (Planes != 1 || (BitsPerPixel != 1 && BitsPerPixel != 32)) return nullptr;
    std::shared_ptr<TGdiBitmap> Bm = TGdiBitmap::Create(Width, Height, true);
    if (!Bm) return nullptr;
    if (BitsPerPixel == 1) {
        Bm->SetMonochrome(true);
        if (Bits != nullptr) {
            // Rows are padded to whole 16-bit words.
            const size_t RowBytes = ((static_cast<size_t>(Width) + 15) / 16) * 2;
            const auto* Src = static_cast<const uint8_t*>(Bits);
            for (int Y = 0; Y < Height; ++Y) {
                uint32_t* Row = Bm->Row(Y);
                for (int X = 0; X < Width; ++X) {
                    const bool On = (Src[Y * RowBytes + X / 8] & (0x80 >> (X % 8))) != 0;
                    Row[X] = On ? 0xFFFFFFFFu : 0xFF000000u;
                }
            }
        } else {
            for (int Y = 0; Y < Height; ++Y)
                for (int X = 0; X < Width; ++X) Bm->Row(Y)[X] = 0xFF000000u;
        }
    } else if (Bits != nullptr) {
        std::memcpy(Bm->Bits(), Bits, static_cast<size_t>(Width) * Height * 4);
    }
    return static_cast<HBITMAP>(GdiAddObject(std::move(Bm)));
}
