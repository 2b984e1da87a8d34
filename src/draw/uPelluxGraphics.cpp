#include "draw/uPelluxGraphics.h"

#include <algorithm>
#include <cstdint>

#include "draw/uQvSurfaceTransfer.h"
#include "platform/uQvGdiBlit.h"

namespace {

bool HasArea(const TRect& R) {
    return R.Right > R.Left && R.Bottom > R.Top;
}

}  // namespace

void CopyStretched(TSurface32* Src, TSurface32* Dst, const TRect& SrcRect, const TRect& DstRect) {
    if (Src == nullptr || Dst == nullptr || Src->Empty() || Dst->Empty() || !HasArea(SrcRect) ||
        !HasArea(DstRect))
        return;
    StretchBlt(Dst->Handle(), DstRect.Left, DstRect.Top, DstRect.Width(), DstRect.Height(), Src->Handle(),
               SrcRect.Left, SrcRect.Top, SrcRect.Width(), SrcRect.Height(), SRCCOPY);
    Dst->Changed(DstRect, AREAINFO_RECT);
}

// --- nine-grid ------------------------------------------------------------------------------

void DrawNineGrid(TSurface32* Src, TSurface32* Dst, const TRect& InnerRect, bool UseCopy) {
    if (Src == nullptr || Dst == nullptr || Src->Empty() || Dst->Empty()) return;
    const TRect& IR = InnerRect;
    const int SW = Src->Width(), SH = Src->Height(), DW = Dst->Width(), DH = Dst->Height();
    // The inner right and bottom edges in Dst.
    const int DR = DW - (SW - IR.Right), DB = DH - (SH - IR.Bottom);
    struct TPiece {
        TRect Src, Dst;
        bool Tiled;
    };
    const TPiece Pieces[9] = {
        {IR, Rect(IR.Left, IR.Top, DR, DB), false},
        {Rect(0, IR.Top, IR.Left, IR.Bottom), Rect(0, IR.Top, IR.Left, DB), false},
        {Rect(IR.Left, 0, IR.Right, IR.Top), Rect(IR.Left, 0, DR, IR.Top), true},
        {Rect(IR.Right, IR.Top, SW, IR.Bottom), Rect(DR, IR.Top, DW, DB), false},
        {Rect(IR.Left, IR.Bottom, IR.Right, SH), Rect(IR.Left, DB, DR, DH), true},
        {Rect(0, 0, IR.Left, IR.Top), Rect(0, 0, IR.Left, IR.Top), false},
        {Rect(IR.Right, 0, SW, IR.Top), Rect(DR, 0, DW, IR.Top), false},
        {Rect(0, IR.Bottom, IR.Left, SH), Rect(0, DB, IR.Left, DH), false},
        {Rect(IR.Right, IR.Bottom, SW, SH), Rect(DR, DB, DW, DH), false},
    };
    for (const TPiece& P : Pieces) {
        if (!HasArea(P.Src) || !HasArea(P.Dst)) continue;
        if (UseCopy)
            CopyStretched(Src, Dst, P.Src, P.Dst);
        else if (P.Tiled)
            TileRect(Src, Dst, P.Src, P.Dst);
        else
            Dst->Draw(P.Dst, P.Src, Src);
    }
}

void DrawNineGridThirds(TSurface32* Src, TSurface32* Dst, bool UseCopy) {
    if (Src == nullptr || Dst == nullptr) return;
    const int W = std::max(Src->Width() / 3, 1), H = std::max(Src->Height() / 3, 1);
    TRect Cell = Rect(W, H, 2 * W, 2 * H);
    if (Dst->Width() == Src->Width()) Cell = Rect(0, H, 0, 2 * H);
    if (Dst->Height() == Src->Height()) Cell = Rect(W, 0, 2 * W, 0);
    DrawNineGrid(Src, Dst, Cell, UseCopy);
}

std::unique_ptr<TPelluxImage> NineGridResize(TSurface32* Image, int W, int H) {
    if (Image == nullptr) return nullptr;
    auto Result = std::make_unique<TPelluxImage>();
    Image->CopyPropertiesTo(Result.get());
    Result->SetSize(W, H);
    DrawNineGridThirds(Image, Result.get(), true);
    return Result;
}

// --- tiling ---------------------------------------------------------------------------------

void TileRect(TCustomSurface32* Src, TCustomSurface32* Dst, const TRect& SrcRect, const TRect& DstRect) {
    if (Src == nullptr || Dst == nullptr) return;
    const int A = std::max(SrcRect.Width(), 1), B = std::max(SrcRect.Height(), 1);
    const int W = std::max(DstRect.Width(), 0), H = std::max(DstRect.Height(), 0);
    if (A == W) {
        for (int Y = DstRect.Top; Y < DstRect.Bottom; Y += B) {
            const int Rows = std::min(B, DstRect.Bottom - Y);
            Dst->Draw(Rect(DstRect.Left, Y, DstRect.Right, Y + Rows),
                      Rect(SrcRect.Left, SrcRect.Top, SrcRect.Right, SrcRect.Top + Rows), Src);
        }
    } else if (B == H) {
        for (int X = DstRect.Left; X < DstRect.Right; X += A) {
            const int Columns = std::min(A, DstRect.Right - X);
            Dst->Draw(Rect(X, DstRect.Top, X + Columns, DstRect.Bottom),
                      Rect(SrcRect.Left, SrcRect.Top, SrcRect.Left + Columns, SrcRect.Bottom), Src);
        }
    }
}

namespace {

// The tiles row by row across the destination, each row of pixels visited once, with the
// combine of a block transfer: the same pixels as drawing tile after tile, in memory order.
void TileRows(TCustomSurface32* Src, TCustomSurface32* Dst, int OffsetX, int OffsetY) {
    TRect Clip;
    if (!IntersectRect(Clip, Dst->ClipRect(), Dst->BoundsRect()) || Src->Empty() ||
        (Src->DrawMode() == dmBlend && Src->MasterAlpha() == 0))
        return;
    const int W = Src->Width(), H = Src->Height();
    const int64_t Columns = Dst->Width() / W, Rows = Dst->Height() / H;
    for (int64_t R = 0; R <= Rows; ++R)
        for (int J = 0; J < H; ++J) {
            const int64_t Y = R * H + OffsetY + J;
            if (Y < Clip.Top || Y >= Clip.Bottom) continue;
            for (int64_t C = 0; C <= Columns; ++C) {
                const int64_t X0 = C * W + OffsetX;
                const int64_t L = std::max<int64_t>(X0, Clip.Left),
                              Rt = std::min<int64_t>(X0 + W, Clip.Right);
                if (L >= Rt) continue;
                CombineRun(*Src, Src->PixelPtr(static_cast<int>(L - X0), J),
                           Dst->PixelPtr(static_cast<int>(L), static_cast<int>(Y)), static_cast<int>(Rt - L));
            }
        }
}

}  // namespace

void TileImage(TCustomSurface32* Src, TCustomSurface32* Dst, int OffsetX, int OffsetY) {
    if (Src == nullptr || Dst == nullptr) return;
    const int W = std::max(Src->Width(), 1), H = std::max(Src->Height(), 1);
    Dst->Lock();
    Dst->BeginUpdate();
    try {
        // A measuring destination reports every tile's area, and a surface tiled over
        // itself reads what it wrote: those go tile by tile.
        if (Src != Dst && !Dst->MeasuringMode())
            TileRows(Src, Dst, OffsetX, OffsetY);
        else
            for (int R = 0; R <= Dst->Height() / H; ++R)
                for (int C = 0; C <= Dst->Width() / W; ++C) Dst->Draw(C * W + OffsetX, R * H + OffsetY, Src);
    } catch (...) {
        Dst->EndUpdate();
        Dst->Unlock();
        throw;
    }
    Dst->EndUpdate();
    Dst->Unlock();
}

void TileDraw(TCustomSurface32* Image, TCustomSurface32* Dst) {
    TileImage(Image, Dst, 0, 0);
}

void DrawImageByMode(TSurface32* Image, TSurface32* Dst, TQvPngFillType FillType) {
    if (Image == nullptr || Dst == nullptr) return;
    switch (FillType) {
        case ftNormal:
            Dst->Draw(0, 0, Image);
            break;
        case ftTile:
            TileDraw(Image, Dst);
            break;
        case ftAutoStretch:
            DrawNineGridThirds(Image, Dst, false);
            break;
        case ftCenter:
            Dst->Draw((Dst->Width() - Image->Width()) / 2, (Dst->Height() - Image->Height()) / 2, Image);
            break;
        case ftStretch:
            Dst->Draw(Dst->BoundsRect(), Image->BoundsRect(), Image);
            break;
        case ftGradient:
            break;
    }
}

// --- colour ---------------------------------------------------------------------------------

void MakeGrayscale(TCustomSurface32* Dst, TCustomSurface32* Src, bool PreserveAlpha) {
    if (Dst == nullptr) throw EQvError("Destination is nil");
    if (Src == nullptr) throw EQvError("The source is nil");
    if (Dst != Src) Dst->SetSize(Src->Width(), Src->Height());
    const size_t N = static_cast<size_t>(Src->Width()) * Src->Height();
    const TColor32* S = Src->Bits();
    TColor32* D = Dst->Bits();
    for (size_t I = 0; I < N; ++I) {
        const TColor32 C = S[I];
        D[I] = Gray32(static_cast<uint8_t>(Intensity(C)), PreserveAlpha ? AlphaComponent(C) : 255);
    }
    Dst->Changed();
}

TColor AverageColor(const TCustomSurface32* Image) {
    if (Image == nullptr || Image->Empty()) return 0;
    const size_t N = static_cast<size_t>(Image->Width()) * Image->Height();
    uint64_t R = 0, G = 0, B = 0;
    const TColor32* P = Image->Bits();
    for (size_t I = 0; I < N; ++I) {
        R += RedComponent(P[I]);
        G += GreenComponent(P[I]);
        B += BlueComponent(P[I]);
    }
    return static_cast<TColor>((B / N) << 16 | (G / N) << 8 | (R / N));
}
