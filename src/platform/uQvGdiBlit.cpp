#include "platform/uQvGdiBlit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// Truth-table queries on a ternary operation code (index = pattern * 4 + source * 2 + dest).
unsigned TableOf(DWORD Rop) { return (Rop >> 16) & 0xFF; }
bool ReadsSource(unsigned T) { return ((T >> 2) & 0x33) != (T & 0x33); }
bool ReadsDest(unsigned T) { return ((T >> 1) & 0x55) != (T & 0x55); }
bool ReadsPattern(unsigned T) { return ((T >> 4) & 0x0F) != (T & 0x0F); }

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
// (target coordinates of both); -1 marks a column or row outside the source bitmap.
struct TMapping {
    TRect Dst;
    std::vector<int> Cols;
    std::vector<int> Rows;
};

// Nearest-neighbour map of Count destination steps onto the source run [SrcStart,
// SrcStart + SrcCount), mirrored when Flip; entries outside [0, Limit) become -1.
void MapAxis(int Count, int SrcStart, int SrcCount, bool Flip, int Limit, std::vector<int>& Out) {
    Out.resize(static_cast<size_t>(Count));
    const float Ratio = static_cast<float>(SrcCount) / static_cast<float>(Count);
    for (int I = 0; I < Count; ++I) {
        const int J = Flip ? Count - 1 - I : I;
        int64_t S;
        if (Count == SrcCount)
            S = int64_t{SrcStart} + J;
        else if (Count < 2)
            S = (2 * int64_t{SrcStart} + SrcCount - 1) / 2;
        else
            S = int64_t{SrcStart} + static_cast<int64_t>(static_cast<float>(J) * Ratio);
        Out[static_cast<size_t>(I)] = S >= 0 && S < Limit ? static_cast<int>(S) : -1;
    }
}

// Orders a signed extent: returns the start and size, and whether it was mirrored.
bool Normalize(int& Start, int& Size) {
    if (Size >= 0) return false;
    Start += Size;
    Size = -Size;
    return true;
}

// Builds the mapping; false when nothing can be drawn. Source sizes must be positive
// after normalizing; the destination rectangle is kept unclipped (the clip is applied
// while drawing) but limited to what the destination clip can show.
bool Map(const TGdiDC& D, int X, int Y, int W, int H, const TGdiDC* S, int SX, int SY, int SW, int SH,
         TMapping& M) {
    const bool FlipDX = Normalize(X, W), FlipDY = Normalize(Y, H);
    const bool FlipSX = Normalize(SX, SW), FlipSY = Normalize(SY, SH);
    if (W == 0 || H == 0 || SW == 0 || SH == 0) return false;
    const TRect Full = D.LogicalToTarget(Rect(X, Y, X + W, Y + H));
    TRect Visible;
    if (!IntersectRect(Visible, Full, D.Clip().Bounds())) return false;
    M.Dst = Visible;
    if (S == nullptr) return true;
    const TGdiBitmap* Src = S->Target();
    if (Src == nullptr) return false;
    const TPoint SO = S->LogicalToTarget(TPoint{SX, SY});
    std::vector<int> Cols, Rows;
    MapAxis(Full.Width(), SO.X, SW, FlipDX != FlipSX, Src->Width(), Cols);
    MapAxis(Full.Height(), SO.Y, SH, FlipDY != FlipSY, Src->Height(), Rows);
    M.Cols.assign(Cols.begin() + (Visible.Left - Full.Left), Cols.begin() + (Visible.Right - Full.Left));
    M.Rows.assign(Rows.begin() + (Visible.Top - Full.Top), Rows.begin() + (Visible.Bottom - Full.Top));
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
    int L = INT32_MAX, R = INT32_MIN, T = INT32_MAX, B = INT32_MIN;
    for (int C : M.Cols)
        if (C >= 0) {
            L = std::min(L, C);
            R = std::max(R, C + 1);
        }
    for (int Rw : M.Rows)
        if (Rw >= 0) {
            T = std::min(T, Rw);
            B = std::max(B, Rw + 1);
        }
    if (L >= R || T >= B) return V;
    V.Left = L;
    V.Top = T;
    V.Width = R - L;
    V.Copy.resize(static_cast<size_t>(R - L) * static_cast<size_t>(B - T));
    for (int Y = T; Y < B; ++Y)
        std::memcpy(V.Copy.data() + static_cast<size_t>(Y - T) * V.Width, Src->Row(Y) + L,
                    static_cast<size_t>(R - L) * 4);
    return V;
}

// Calls Fn(DstRow, X, Y, SrcRow, SrcX) for every destination pixel of the mapping inside the
// clip whose source exists.
template <typename F>
void ForEachMapped(const TGdiDC& D, const TMapping& M, const TSourceView* Src, F&& Fn) {
    TGdiBitmap* T = D.Target();
    D.ForEachClipRect(M.Dst, [&](const TRect& R) {
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* SrcRow = nullptr;
            if (Src != nullptr) {
                const int SY = M.Rows[static_cast<size_t>(Y - M.Dst.Top)];
                if (SY < 0) continue;
                SrcRow = Src->Row(SY);
            }
            uint32_t* Row = T->Row(Y);
            for (int X = R.Left; X < R.Right; ++X) {
                int SX = 0;
                if (Src != nullptr) {
                    SX = M.Cols[static_cast<size_t>(X - M.Dst.Left)];
                    if (SX < 0) continue;
                }
                Fn(Row, X, Y, SrcRow, SX);
            }
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
        std::memmove(DstBm->Row(Y2) + R.Left, SrcBm->Row(Y2 + DY) + R.Left + DX, static_cast<size_t>(R.Width()) * 4);
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
        return Pattern[static_cast<size_t>(((PY - Org.Y) % 8 + 8) % 8) * 8 + static_cast<size_t>(((PX - Org.X) % 8 + 8) % 8)];
    };

    if (!NeedSrc) {
        ForEachMapped(*D, M, nullptr, [&](uint32_t* Row, int PX, int PY, const uint32_t*, int) {
            Row[PX] = ApplyRop(T, PatternAt(PX, PY), 0, Row[PX]);
        });
        return TRUE;
    }
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    if (Rop == SRCCOPY) {
        ForEachMapped(*D, M, &View,
                      [](uint32_t* Row, int PX, int, const uint32_t* SrcRow, int SX2) { Row[PX] = SrcRow[SX2]; });
        return TRUE;
    }
    ForEachMapped(*D, M, &View, [&](uint32_t* Row, int PX, int PY, const uint32_t* SrcRow, int SX2) {
        Row[PX] = ApplyRop(T, PatternAt(PX, PY), SrcRow[SX2], Row[PX]);
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

BOOL AlphaBlend(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH, BLENDFUNCTION Blend) {
    TGdiDC* D = GdiDCOf(Dst);
    TGdiDC* S = GdiDCOf(Src);
    if (D == nullptr || S == nullptr || Blend.BlendOp != AC_SRC_OVER || W < 0 || H < 0 || SW < 0 || SH < 0)
        return FALSE;
    TMapping M;
    if (D->Target() == nullptr || !Map(*D, X, Y, W, H, S, SX, SY, SW, SH, M)) return TRUE;
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    const uint32_t A = Blend.SourceConstantAlpha;
    if ((Blend.AlphaFormat & AC_SRC_ALPHA) == 0) {
        // Each byte: (s * a + d * (255 - a) + 127) / 255.
        ForEachMapped(*D, M, &View, [A](uint32_t* Row, int PX, int, const uint32_t* SrcRow, int SX2) {
            const uint32_t Sp = SrcRow[SX2], Dp = Row[PX];
            uint32_t R = 0;
            for (int Shift = 0; Shift < 32; Shift += 8) {
                const uint32_t Sb = (Sp >> Shift) & 0xFF, Db = (Dp >> Shift) & 0xFF;
                R |= ((Sb * A + Db * (255 - A) + 127) / 255) << Shift;
            }
            Row[PX] = R;
        });
        return TRUE;
    }
    // Premultiplied source: s' = (s * a + 127) / 255 per byte, then d = s' + (d * (255 - s'.alpha) + 127) / 255.
    ForEachMapped(*D, M, &View, [A](uint32_t* Row, int PX, int, const uint32_t* SrcRow, int SX2) {
        const uint32_t Sp = SrcRow[SX2], Dp = Row[PX];
        const uint32_t K = (((Sp >> 24) & 0xFF) * A + 127) / 255;
        uint32_t R = 0;
        for (int Shift = 0; Shift < 32; Shift += 8) {
            const uint32_t Sb = (((Sp >> Shift) & 0xFF) * A + 127) / 255, Db = (Dp >> Shift) & 0xFF;
            R |= std::min<uint32_t>(255, Sb + (Db * (255 - K) + 127) / 255) << Shift;
        }
        Row[PX] = R;
    });
    return TRUE;
}

BOOL TransparentBlt(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH, UINT Transparent) {
    TGdiDC* D = GdiDCOf(Dst);
    TGdiDC* S = GdiDCOf(Src);
    if (D == nullptr || S == nullptr || W < 0 || H < 0 || SW < 0 || SH < 0) return FALSE;
    TMapping M;
    if (D->Target() == nullptr || !Map(*D, X, Y, W, H, S, SX, SY, SW, SH, M)) return TRUE;
    const TSourceView View = ViewOf(S->Target(), D->Target(), M);
    const uint32_t Key = GdiPixelOf(Transparent) & 0x00FFFFFF;
    ForEachMapped(*D, M, &View, [Key](uint32_t* Row, int PX, int, const uint32_t* SrcRow, int SX2) {
        if ((SrcRow[SX2] & 0x00FFFFFF) != Key) Row[PX] = SrcRow[SX2];
    });
    return TRUE;
}
