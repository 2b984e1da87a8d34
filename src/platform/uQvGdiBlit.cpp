#include "platform/uQvGdiBlit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/uQvPixel.h"

namespace {

// Truth-table queries on a ternary operation code (index = pattern * 4 + source * 2 + dest).
unsigned TableOf(DWORD Rop) {
    return (Rop >> 16) & 0xFF;
}
bool ReadsSource(unsigned T) {
    return ((T >> 2) & 0x33) != (T & 0x33);
}
bool ReadsDest(unsigned T) {
    return ((T >> 1) & 0x55) != (T & 0x55);
}
bool ReadsPattern(unsigned T) {
    return ((T >> 4) & 0x0F) != (T & 0x0F);
}

uint32_t Ternary(unsigned T, uint32_t P, uint32_t S, uint32_t D) {
    uint32_t R = 0;
    for (unsigned K = 0; K < 8; ++K) {
        if ((T & (1u << K)) == 0) continue;
        R |= ((K & 4) != 0 ? P : ~P) & ((K & 2) != 0 ? S : ~S) & ((K & 1) != 0 ? D : ~D);
    }
    return R;
}

uint32_t ApplyRop(unsigned T, uint32_t P, uint32_t S, uint32_t D) {
    const uint32_t Colour = Ternary(T, P, S, D) & 0x00FFFFFF;
    uint32_t Alpha;
    if (ReadsSource(T))
        Alpha = Ternary(T, 0xFF000000u, S, D) & 0xFF000000u;
    else if (ReadsDest(T))
        Alpha = D & 0xFF000000u;
    else
        Alpha = 0xFF000000u;
    return Colour | Alpha;
}

// Destination pixels and where each of their columns and rows comes from in the source
// (target coordinates of both). Dst is already limited to the destination clip's box and
// to the pixels whose source exists.
struct TMapping {
    TRect Dst;
    std::vector<int> Cols;
    std::vector<int> Rows;
    bool Straight = false;  // Cols[i + 1] = Cols[i] + 1 everywhere
};

// Nearest-neighbour map of destination steps [From, To) out of Count onto the source run
// [SrcStart, SrcStart + SrcCount), mirrored when Flip. Steps whose source lies outside
// [0, Limit) are cut off the ends (the map is monotone, so they only sit at the ends);
// From and To are narrowed to what is left.
void MapAxis(int Count, int& From, int& To, int SrcStart, int SrcCount, bool Flip, int Limit,
             std::vector<int>& Out) {
    const float Ratio = static_cast<float>(SrcCount) / static_cast<float>(Count);
    auto Source = [&](int I) {
        const int J = Flip ? Count - 1 - I : I;
        if (Count == SrcCount) return int64_t{SrcStart} + J;
        if (Count < 2) return (2 * int64_t{SrcStart} + SrcCount - 1) / 2;
        return int64_t{SrcStart} + static_cast<int64_t>(static_cast<float>(J) * Ratio);
    };
    auto Valid = [&](int I) {
        const int64_t S = Source(I);
        return S >= 0 && S < Limit;
    };
    while (From < To && !Valid(From)) ++From;
    while (To > From && !Valid(To - 1)) --To;
    Out.resize(static_cast<size_t>(To - From));
    for (int I = From; I < To; ++I) Out[static_cast<size_t>(I - From)] = static_cast<int>(Source(I));
}

// Orders a signed extent and tells whether it was mirrored.
bool Normalize(int& Start, int& Size) {
    if (Size >= 0) return false;
    Start += Size;
    Size = -Size;
    return true;
}

// Builds the mapping; false when nothing can be drawn. Without a source only the
// destination is set.
bool Map(const TGdiDC& D, int X, int Y, int W, int H, const TGdiDC* S, int SX, int SY, int SW, int SH,
         TMapping& M) {
    const bool FlipDX = Normalize(X, W), FlipDY = Normalize(Y, H);
    const bool FlipSX = Normalize(SX, SW), FlipSY = Normalize(SY, SH);
    if (W == 0 || H == 0 || SW == 0 || SH == 0) return false;
    const TRect Full =
        D.LogicalToTarget(Rect(X, Y, static_cast<int>(int64_t{X} + W), static_cast<int>(int64_t{Y} + H)));
    TRect Visible;
    if (!IntersectRect(Visible, Full, D.Clip().Bounds())) return false;
    M.Dst = Visible;
    if (S == nullptr) return true;
    const TGdiBitmap* Src = S->Target();
    if (Src == nullptr) return false;
    const TPoint SO = S->LogicalToTarget(TPoint{SX, SY});
    // Steps count from the full rectangle so that clipping never changes the mapping.
    int C0 = Visible.Left - Full.Left, C1 = Visible.Right - Full.Left;
    int R0 = Visible.Top - Full.Top, R1 = Visible.Bottom - Full.Top;
    MapAxis(Full.Width(), C0, C1, SO.X, SW, FlipDX != FlipSX, Src->Width(), M.Cols);
    MapAxis(Full.Height(), R0, R1, SO.Y, SH, FlipDY != FlipSY, Src->Height(), M.Rows);
    if (C0 >= C1 || R0 >= R1) return false;
    M.Dst = {Full.Left + C0, Full.Top + R0, Full.Left + C1, Full.Top + R1};
    M.Straight = Full.Width() == SW && FlipDX == FlipSX;
    return true;
}

// A copy of the source pixels a mapping reads when source and destination share a bitmap,
// so overlapping transfers read the pixels as they were before the call.
struct TSourceView {
    const TGdiBitmap* Bitmap = nullptr;
    std::vector<uint32_t> Copy;
    int Left = 0, Top = 0, Width = 0;
    const uint32_t* Row(int Y) const {
        return Copy.empty() ? Bitmap->Row(Y) : Copy.data() + static_cast<size_t>(Y - Top) * Width - Left;
    }
};

TSourceView ViewOf(const TGdiBitmap* Src, const TGdiBitmap* Dst, const TMapping& M) {
    TSourceView V;
    V.Bitmap = Src;
    if (Src != Dst) return V;
    const auto [L, R] = std::minmax_element(M.Cols.begin(), M.Cols.end());
    const auto [T, B] = std::minmax_element(M.Rows.begin(), M.Rows.end());
    V.Left = *L;
    V.Top = *T;
    V.Width = *R + 1 - *L;
    const int Height = *B + 1 - *T;
    V.Copy.resize(static_cast<size_t>(V.Width) * static_cast<size_t>(Height));
    for (int Y = 0; Y < Height; ++Y)
        std::memcpy(V.Copy.data() + static_cast<size_t>(Y) * V.Width, Src->Row(V.Top + Y) + V.Left,
                    static_cast<size_t>(V.Width) * 4);
    return V;
}

// Calls Fn(Dst, Src, Count, X, Y) for every run of destination pixels inside the clip:
// Dst points at the first destination pixel (target (X, Y)), Src at its Count source
// pixels (gathered when stretched), or null without a source.
template <typename F>
void ForEachRun(const TGdiDC& D, const TMapping& M, const TSourceView* Src, F&& Fn) {
    TGdiBitmap* T = D.Target();
    std::vector<uint32_t> Gathered;
    D.ForEachClipRect(M.Dst, [&](const TRect& R) {
        const size_t C0 = static_cast<size_t>(R.Left - M.Dst.Left);
        const int Count = R.Width();
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* Run = nullptr;
            if (Src != nullptr) {
                const uint32_t* SrcRow = Src->Row(M.Rows[static_cast<size_t>(Y - M.Dst.Top)]);
                if (M.Straight) {
                    Run = SrcRow + M.Cols[C0];
                } else {
                    Gathered.resize(static_cast<size_t>(Count));
                    for (int K = 0; K < Count; ++K) Gathered[static_cast<size_t>(K)] = SrcRow[M.Cols[C0 + K]];
                    Run = Gathered.data();
                }
            }
            Fn(T->Row(Y) + R.Left, Run, Count, R.Left, Y);
        }
    });
}

// The plain copy of equal sizes, row by row; overlapping parts of one bitmap are copied in
// the order that reads every source row before it is overwritten.
void CopyRows(const TGdiDC& D, const TGdiDC& S, int X, int Y, int W, int H, int SX, int SY) {
    TGdiBitmap* DstBm = D.Target();
    const TGdiBitmap* SrcBm = S.Target();
    if (DstBm == nullptr || SrcBm == nullptr) return;
    const TRect Dt = D.LogicalToTarget(Bounds(X, Y, W, H));
    const TPoint So = S.LogicalToTarget(TPoint{SX, SY});
    const int DX = So.X - Dt.Left, DY = So.Y - Dt.Top;
    // Destination pixels whose source lies inside the source bitmap.
    TRect Area;
    if (!IntersectRect(Area, Dt, Rect(-DX, -DY, SrcBm->Width() - DX, SrcBm->Height() - DY))) return;
    std::vector<TRect> Parts;
    D.ForEachClipRect(Area, [&](const TRect& R) { Parts.push_back(R); });
    // Within one bitmap, rows are copied bottom-up when the source lies above, and the
    // parts of a row right to left when the source lies left on the same row, so no
    // source pixel is overwritten before it is read.
    const bool Up = SrcBm == DstBm && (DY < 0 || (DY == 0 && DX < 0));
    auto CopyPart = [&](const TRect& R, int Y2) {
        std::memmove(DstBm->Row(Y2) + R.Left, SrcBm->Row(Y2 + DY) + R.Left + DX,
                     static_cast<size_t>(R.Width()) * 4);
    };
    if (!Up) {
        for (const TRect& R : Parts)
            for (int Y2 = R.Top; Y2 < R.Bottom; ++Y2) CopyPart(R, Y2);
    } else {
        for (auto It = Parts.rbegin(); It != Parts.rend(); ++It)
            for (int Y2 = It->Bottom - 1; Y2 >= It->Top; --Y2) CopyPart(*It, Y2);
    }
}

BOOL Transfer(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH, DWORD Rop) {
    TGdiDC* D = GdiDCOf(Dst);
    if (D == nullptr) return FALSE;
    const unsigned T = TableOf(Rop);
    const bool NeedSrc = ReadsSource(T);
    TGdiDC* S = NeedSrc ? GdiDCOf(Src) : nullptr;
    if (NeedSrc && S == nullptr) return FALSE;
    if (Rop == SRCCOPY && W == SW && H == SH && W > 0 && H > 0) {
        CopyRows(*D, *S, X, Y, W, H, SX, SY);
        return TRUE;
    }
    TMapping M;
    if (D->Target() == nullptr || !Map(*D, X, Y, W, H, S, SX, SY, SW, SH, M)) return TRUE;

    if (!ReadsDest(T) && !NeedSrc && !ReadsPattern(T)) {  // BLACKNESS, WHITENESS
        GdiFillTargetSolid(*D, M.Dst, Ternary(T, 0, 0, 0) | 0xFF000000u);
        return TRUE;
    }
    const TGdiBrush* Brush = D->State.Brush.get();
    if (ReadsPattern(T) && (Brush == nullptr || Brush->IsNull())) return TRUE;
    if (T == (PATCOPY >> 16 & 0xFF)) {
        GdiFillTarget(*D, M.Dst, *Brush);
        return TRUE;
    }
    std::array<uint32_t, 64> Pattern{};
    TPoint Org;
    if (ReadsPattern(T)) GdiResolvePattern(*D, *Brush, Pattern, Org);
    auto PatternAt = [&](int PX, int PY) {
        return Pattern[static_cast<size_t>(((PY - Org.Y) % 8 + 8) % 8) * 8 +
                       static_cast<size_t>(((PX - Org.X) % 8 + 8) % 8)];
    };
    if (!NeedSrc) {
        ForEachRun(*D, M, nullptr, [&](uint32_t* Dp, const uint32_t*, int Count, int PX, int PY) {
            for (int K = 0; K < Count; ++K) Dp[K] = ApplyRop(T, PatternAt(PX + K, PY), 0, Dp[K]);
        });
        return TRUE;
    }
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    if (Rop == SRCCOPY) {
        ForEachRun(*D, M, &View, [](uint32_t* Dp, const uint32_t* Sp, int Count, int, int) {
            std::memcpy(Dp, Sp, static_cast<size_t>(Count) * 4);
        });
        return TRUE;
    }
    ForEachRun(*D, M, &View, [&](uint32_t* Dp, const uint32_t* Sp, int Count, int PX, int PY) {
        for (int K = 0; K < Count; ++K) Dp[K] = ApplyRop(T, PatternAt(PX + K, PY), Sp[K], Dp[K]);
    });
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, DWORD Rop) {
    if (W < 0 || H < 0) return FALSE;
    return Transfer(Dst, X, Y, W, H, Src, SX, SY, W, H, Rop);
}

BOOL PatBlt(HDC Dc, int X, int Y, int W, int H, DWORD Rop) {
    if (ReadsSource(TableOf(Rop))) return FALSE;
    return Transfer(Dc, X, Y, W, H, nullptr, 0, 0, W, H, Rop);
}

int SetStretchBltMode(HDC Dc, int Mode) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
    const int Old = D->State.StretchMode;
    D->State.StretchMode = Mode;
    return Old;
}

int GetStretchBltMode(HDC Dc) {
    TGdiDC* D = GdiDCOf(Dc);
    return D != nullptr ? D->State.StretchMode : 0;
}

BOOL StretchBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH, DWORD Rop) {
    return Transfer(Dst, X, Y, W, H, Src, SX, SY, SW, SH, Rop);
}

BOOL AlphaBlend(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                BLENDFUNCTION Blend) {
    TGdiDC* D = GdiDCOf(Dst);
    TGdiDC* S = GdiDCOf(Src);
    if (D == nullptr || S == nullptr || Blend.BlendOp != AC_SRC_OVER || W < 0 || H < 0 || SW < 0 || SH < 0)
        return FALSE;
    TMapping M;
    if (D->Target() == nullptr || !Map(*D, X, Y, W, H, S, SX, SY, SW, SH, M)) return TRUE;
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    const uint32_t A = Blend.SourceConstantAlpha;
    // Every byte, alpha included: ConstantBlend, or PremultipliedBlend for a premultiplied
    // source.
    const TPixelKernels& Kernels = PixelKernels();
    const auto Line =
        (Blend.AlphaFormat & AC_SRC_ALPHA) != 0 ? Kernels.PremultipliedBlendLine : Kernels.ConstantBlendLine;
    ForEachRun(*D, M, &View, [A, Line](uint32_t* Dp, const uint32_t* Sp, int Count, int, int) {
        Line(Sp, Dp, Count, A, TLineBlendOptions{});
    });
    return TRUE;
}

BOOL TransparentBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                    UINT Transparent) {
    TGdiDC* D = GdiDCOf(Dst);
    TGdiDC* S = GdiDCOf(Src);
    if (D == nullptr || S == nullptr || W < 0 || H < 0 || SW < 0 || SH < 0) return FALSE;
    TMapping M;
    if (D->Target() == nullptr || !Map(*D, X, Y, W, H, S, SX, SY, SW, SH, M)) return TRUE;
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    const uint32_t Key = GdiPixelOf(Transparent) & 0x00FFFFFF;
    ForEachRun(*D, M, &View, [Key](uint32_t* Dp, const uint32_t* Sp, int Count, int, int) {
        for (int K = 0; K < Count; ++K)
            if ((Sp[K] & 0x00FFFFFF) != Key) Dp[K] = Sp[K];
    });
    return TRUE;
}
