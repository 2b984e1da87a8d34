#include "platform/uQvGdiPrimitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

TRect Ordered(const RECT& R) {
    TRect O = R;
    if (O.Left > O.Right) std::swap(O.Left, O.Right);
    if (O.Top > O.Bottom) std::swap(O.Top, O.Bottom);
    return O;
}

// The brush of a handle, or a solid brush of a system colour for COLOR_* + 1 handles.
std::shared_ptr<TGdiBrush> BrushFrom(HBRUSH Brush) {
    const auto Value = reinterpret_cast<uintptr_t>(Brush);
    if (Value >= 1 && Value <= COLOR_MENUBAR + 1) {
        auto B = std::make_shared<TGdiBrush>();
        B->Color = GetSysColor(static_cast<int>(Value - 1));
        return B;
    }
    std::shared_ptr<TGdiObject> O = GdiLookupShared(Brush);
    if (!O || O->ObjectType() != OBJ_BRUSH) return nullptr;
    return std::static_pointer_cast<TGdiBrush>(std::move(O));
}

// The region moved from logical to target coordinates.
TQvRegion RegionToTarget(const TGdiDC& D, const TQvRegion& R) {
    TQvRegion T = R;
    const TPoint O = D.LogicalOffset();
    T.Offset(O.X, O.Y);
    return T;
}

void FillRegionTarget(const TGdiDC& D, const TQvRegion& R, const TGdiBrush& Brush) {
    for (const TRect& Rc : R.Rects()) GdiFillTarget(D, Rc, Brush);
}

// ---- Painting with raster operations -------------------------------------------------

// The binary raster operation of SetROP2 on the colour bits: code - 1 is a truth table
// indexed by pen bit * 2 + destination bit. Operations that ignore the destination write
// alpha 255; those that read it keep the destination's alpha.
uint32_t Rop2(int Code, uint32_t Pen, uint32_t Dst) {
    if (Code == R2_COPYPEN) return Pen;
    const unsigned T = static_cast<unsigned>(Code - 1);
    uint32_t R = 0;
    if ((T & 8) != 0) R |= Pen & Dst;
    if ((T & 4) != 0) R |= Pen & ~Dst;
    if ((T & 2) != 0) R |= ~Pen & Dst;
    if ((T & 1) != 0) R |= ~Pen & ~Dst;
    const bool ReadsDst = ((T >> 1) & 5) != (T & 5);
    return (R & 0x00FFFFFF) | (ReadsDst ? Dst & 0xFF000000 : 0xFF000000);
}

// What a shape part is painted with: a solid pixel or a brush, through the DC's ROP2.
struct TInk {
    uint32_t Pixel = 0;
    const TGdiBrush* Brush = nullptr;
    int Rop = R2_COPYPEN;
};

// Paints the pixels of R (target coordinates) within the DC's clip.
void Paint(const TGdiDC& D, const TQvRegion& R, const TInk& Ink) {
    TGdiBitmap* T = D.Target();
    if (T == nullptr || R.IsEmpty()) return;
    if (Ink.Brush != nullptr && Ink.Brush->IsNull()) return;
    if (Ink.Rop == R2_NOP) return;
    const TQvRegion Area = R & D.Clip();
    std::array<uint32_t, 64> Pattern;
    TPoint Org;
    if (Ink.Brush != nullptr)
        GdiResolvePattern(D, *Ink.Brush, Pattern, Org);
    else
        Pattern.fill(Ink.Pixel);
    for (const TRect& Rc : Area.Rects())
        for (int Y = Rc.Top; Y < Rc.Bottom; ++Y) {
            const uint32_t* Line = &Pattern[static_cast<size_t>(((Y - Org.Y) % 8 + 8) % 8) * 8];
            uint32_t* Row = T->Row(Y);
            if (Ink.Brush == nullptr && Ink.Rop == R2_COPYPEN) {
                std::fill(Row + Rc.Left, Row + Rc.Right, Ink.Pixel);
                continue;
            }
            for (int X = Rc.Left; X < Rc.Right; ++X)
                Row[X] = Rop2(Ink.Rop, Line[((X - Org.X) % 8 + 8) % 8], Row[X]);
        }
}

TInk BrushInk(const TGdiDC& D) {
    TInk I;
    I.Brush = D.State.Brush.get();
    I.Rop = D.State.Rop2;
    return I;
}

uint32_t PenPixel(const TGdiDC& D, const TGdiPen& Pen) {
    return GdiPixelOf(Pen.DCColor ? D.State.DCPenColor : Pen.Color);
}

TInk PenInk(const TGdiDC& D) {
    TInk I;
    I.Pixel = PenPixel(D, *D.State.Pen);
    I.Rop = D.State.Rop2;
    return I;
}

bool PenDraws(const TGdiDC& D) {
    return D.State.Pen && !D.State.Pen->IsNull();
}

// ---- Lines ---------------------------------------------------------------------------

// A region built from single pixels in any order.
class TPixelSet {
public:
    void Add(int X, int Y) { FPixels.push_back({Y, X}); }
    bool Empty() const { return FPixels.empty(); }
    TQvRegion Region() {
        std::sort(FPixels.begin(), FPixels.end());
        FPixels.erase(std::unique(FPixels.begin(), FPixels.end()), FPixels.end());
        TQvRegionBuilder B;
        std::vector<int> Xs;
        size_t K = 0;
        while (K < FPixels.size()) {
            const int Y = FPixels[K].first;
            Xs.clear();
            for (; K < FPixels.size() && FPixels[K].first == Y; ++K) {
                const int X = FPixels[K].second;
                if (!Xs.empty() && Xs.back() == X)
                    Xs.back() = X + 1;
                else {
                    Xs.push_back(X);
                    Xs.push_back(X + 1);
                }
            }
            B.AddBand(Y, Y + 1, Xs.data(), Xs.size());
        }
        FPixels.clear();
        return B.Finish();
    }

private:
    std::vector<std::pair<int, int>> FPixels;
};

int64_t FloorDiv(int64_t A, int64_t B) {  // B > 0
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

// The dash pattern of a pen style, as alternating on and off lengths; empty for solid.
std::vector<int> DashesOf(UINT Style) {
    switch (Style) {
        case PS_DASH:
            return {18, 6};
        case PS_DOT:
            return {3, 3};
        case PS_DASHDOT:
            return {9, 6, 3, 6};
        case PS_DASHDOTDOT:
            return {9, 3, 3, 3, 3, 3};
        default:
            return {};
    }
}

// The pixels of a one-pixel line from A to B, B excluded (target coordinates), limited to
// the steps that can fall inside Box. Pixel k of the line goes to On or, in a dash gap,
// to Off; Phase counts pixels across the segments of one call.
void ThinLine(TPoint A, TPoint B, const TRect& Box, const std::vector<int>& Dashes, int64_t& Phase,
              TPixelSet& On, TPixelSet& Off) {
    const int64_t DX = int64_t{B.X} - A.X, DY = int64_t{B.Y} - A.Y;
    const int64_t N = std::max(std::abs(DX), std::abs(DY));
    if (N == 0) return;
    const bool XMajor = std::abs(DX) >= std::abs(DY);
    // Step i lies at major coordinate A + i * sign; only steps within the box's major
    // range can be visible.
    const int64_t Start = XMajor ? A.X : A.Y;
    const int64_t Sign = (XMajor ? DX : DY) > 0 ? 1 : -1;
    const int64_t Lo = XMajor ? Box.Left : Box.Top, Hi = (XMajor ? Box.Right : Box.Bottom) - 1;
    int64_t First = 0, Last = N - 1;
    if (Sign > 0) {
        First = std::max<int64_t>(First, Lo - Start);
        Last = std::min<int64_t>(Last, Hi - Start);
    } else {
        First = std::max<int64_t>(First, Start - Hi);
        Last = std::min<int64_t>(Last, Start - Lo);
    }
    int64_t Period = 0;
    for (int L : Dashes) Period += L;
    const int64_t Minor = XMajor ? DY : DX;
    for (int64_t I = First; I <= Last; ++I) {
        // Minor offset = round(I * Minor / N), halves up.
        const int64_t M = FloorDiv(2 * I * Minor + N, 2 * N);
        const int64_t X = XMajor ? A.X + I * Sign : A.X + M;
        const int64_t Y = XMajor ? A.Y + M : A.Y + I * Sign;
        bool Lit = true;
        if (Period > 0) {
            int64_t P = (Phase + I) % Period;
            for (size_t K = 0; K < Dashes.size(); ++K) {
                if (P < Dashes[K]) {
                    Lit = K % 2 == 0;
                    break;
                }
                P -= Dashes[K];
            }
        }
        (Lit ? On : Off).Add(static_cast<int>(X), static_cast<int>(Y));
    }
    Phase += N;
}

// Pixels whose centres lie closer than W / 2 to the segment A-B (target coordinates).
// Works in doubled coordinates: pixel centres are odd; an odd width centres the band on
// the pixel centres of the path, an even width on the pixel corners above-left of them.
void WideSegment(TPoint A, TPoint B, int W, const TRect& Box, std::vector<TRect>& Out) {
    const int64_t Shift = W % 2 != 0 ? 1 : 0;
    double AX = 2.0 * A.X + Shift, AY = 2.0 * A.Y + Shift, BX = 2.0 * B.X + Shift, BY = 2.0 * B.Y + Shift;
    // Clip the segment to the box grown by the width, so far-off segments cost nothing;
    // a cut end lies outside the box and its cap is never seen.
    const double L = 2.0 * Box.Left - 2 * W, R = 2.0 * Box.Right + 2 * W;
    const double T = 2.0 * Box.Top - 2 * W, Bt = 2.0 * Box.Bottom + 2 * W;
    double T0 = 0, T1 = 1;
    const double VX = BX - AX, VY = BY - AY;
    auto Cut = [&](double P, double Q) {  // keeps the part where P * t <= Q
        if (P == 0) return Q >= 0;
        const double Tq = Q / P;
        if (P < 0) {
            if (Tq > T1) return false;
            T0 = std::max(T0, Tq);
        } else {
            if (Tq < T0) return false;
            T1 = std::min(T1, Tq);
        }
        return true;
    };
    if (!Cut(-VX, AX - L) || !Cut(VX, R - AX) || !Cut(-VY, AY - T) || !Cut(VY, Bt - AY)) return;
    if (T0 > 0 || T1 < 1) {
        const double NAX = AX + T0 * VX, NAY = AY + T0 * VY;
        BX = AX + T1 * VX;
        BY = AY + T1 * VY;
        AX = NAX;
        AY = NAY;
    }
    // Exact inside test on the (possibly cut, hence rounded) doubled ends.
    const int64_t IAX = std::llround(AX), IAY = std::llround(AY), IBX = std::llround(BX),
                  IBY = std::llround(BY);
    const int64_t SX = IBX - IAX, SY = IBY - IAY, Len2 = SX * SX + SY * SY;
    const __int128 W2 = static_cast<__int128>(W) * W;
    auto Inside = [&](int64_t X, int64_t Y) {
        const int64_t PX = 2 * X + 1 - IAX, PY = 2 * Y + 1 - IAY;
        const int64_t Dot = PX * SX + PY * SY;
        if (Len2 == 0 || Dot <= 0)
            return static_cast<__int128>(PX) * PX + static_cast<__int128>(PY) * PY < W2;
        if (Dot >= Len2) {
            const int64_t QX = 2 * X + 1 - IBX, QY = 2 * Y + 1 - IBY;
            return static_cast<__int128>(QX) * QX + static_cast<__int128>(QY) * QY < W2;
        }
        const __int128 Cross = static_cast<__int128>(PX) * SY - static_cast<__int128>(PY) * SX;
        return Cross * Cross < W2 * Len2;
    };
    const int64_t Y0 = FloorDiv(std::min(IAY, IBY) - W - 1, 2), Y1 = FloorDiv(std::max(IAY, IBY) + W + 1, 2);
    for (int64_t Y = Y0; Y <= Y1; ++Y) {
        // The point of the segment nearest to this row; the row's inside pixels (a convex
        // run) include one of the pixels around it when there are any.
        const double YC = 2.0 * Y + 1;
        double XC = static_cast<double>(IAX);
        if (SY != 0) {
            const double U = std::clamp((YC - IAY) / SY, 0.0, 1.0);
            XC = IAX + U * SX;
        }
        const int64_t XL = static_cast<int64_t>(std::floor((XC - 1) / 2));
        int64_t Seed = INT64_MIN;
        for (int64_t X = XL - 1; X <= XL + 2 && Seed == INT64_MIN; ++X)
            if (Inside(X, Y)) Seed = X;
        if (Seed == INT64_MIN) continue;
        int64_t Left = Seed, Right = Seed;
        while (Left > Box.Left - 1 && Inside(Left - 1, Y)) --Left;
        while (Right < Box.Right && Inside(Right + 1, Y)) ++Right;
        Out.push_back({static_cast<int>(Left), static_cast<int>(Y), static_cast<int>(Right + 1),
                       static_cast<int>(Y + 1)});
    }
}

// Strokes the path through the points (target coordinates) with the DC's pen; Closed adds
// the segment back to the first point.
void Stroke(const TGdiDC& D, const TPoint* Points, size_t Count, bool Closed) {
    if (!PenDraws(D) || Count < 2 || D.Target() == nullptr) return;
    const TGdiPen& Pen = *D.State.Pen;
    const TRect Box = D.Clip().Bounds();
    if (IsRectEmpty(Box)) return;
    const size_t Segments = Closed ? Count : Count - 1;
    if (Pen.Width <= 1) {
        const std::vector<int> Dashes = DashesOf(Pen.Style);
        TPixelSet On, Off;
        int64_t Phase = 0;
        for (size_t K = 0; K < Segments; ++K)
            ThinLine(Points[K], Points[(K + 1) % Count], Box, Dashes, Phase, On, Off);
        Paint(D, On.Region(), PenInk(D));
        if (!Off.Empty() && D.State.BkMode == OPAQUE) {
            TInk Gap;
            Gap.Pixel = GdiPixelOf(D.State.BkColor);
            Gap.Rop = D.State.Rop2;
            Paint(D, Off.Region(), Gap);
        }
        return;
    }
    std::vector<TRect> Rows;
    for (size_t K = 0; K < Segments; ++K)
        WideSegment(Points[K], Points[(K + 1) % Count], Pen.Width, Box, Rows);
    Paint(D, TQvRegion::FromRects(Rows), PenInk(D));
}

std::vector<TPoint> ToTarget(const TGdiDC& D, const POINT* Points, size_t Count) {
    std::vector<TPoint> T(Count);
    for (size_t K = 0; K < Count; ++K) T[K] = D.LogicalToTarget(Points[K]);
    return T;
}

// ---- Shapes ----------------------------------------------------------------------------

// Pixels of R that keep all four neighbours within R after N rounds.
TQvRegion Erode(TQvRegion R, int N) {
    N = std::min(N, std::max(R.Bounds().Width(), R.Bounds().Height()));
    for (int K = 0; K < N && !R.IsEmpty(); ++K) {
        TQvRegion L = R, Rt = R, U = R, Dn = R;
        L.Offset(1, 0);
        Rt.Offset(-1, 0);
        U.Offset(0, 1);
        Dn.Offset(0, -1);
        R &= L;
        R &= Rt;
        R &= U;
        R &= Dn;
    }
    return R;
}

// Draws a box shape (rectangle, round rectangle or ellipse; Make builds it in target
// coordinates for a box, building only the given rows): the outer pen-width pixels with
// the pen, the rest with the brush; with the null pen the shape one pixel smaller on the
// right and bottom is filled.
template <typename F>
BOOL BoxShape(HDC Dc, int L, int T, int R, int B, bool Rectangular, F&& Make) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    const TRect Box = D->LogicalToTarget(Ordered(Rect(L, T, R, B)));
    TRect Rows = D->Clip().Bounds();
    if (IsRectEmpty(Box) || IsRectEmpty(Rows)) return TRUE;
    if (!PenDraws(*D)) {
        Paint(*D, Make(Rect(Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1), Rows), BrushInk(*D));
        return TRUE;
    }
    const int Pen = D->State.Pen->Width;
    TQvRegion Shape, Inner;
    if (Rectangular) {
        Shape = TQvRegion(Box);
        Inner = TQvRegion(Rect(Box.Left + Pen, Box.Top + Pen, Box.Right - Pen, Box.Bottom - Pen));
    } else {
        // Rows just outside the clip still decide which visible pixels lie near the edge,
        // so the shape is built taller by the pen width.
        const int N = std::min(Pen, (std::min(Box.Width(), Box.Height()) + 1) / 2);
        Rows.Top -= N;
        Rows.Bottom += N;
        Shape = Make(Box, Rows);
        Inner = Erode(Shape, N);
    }
    Paint(*D, Inner, BrushInk(*D));
    Paint(*D, Shape - Inner, PenInk(*D));
    return TRUE;
}

void XorOutline(const TGdiDC& D, const TRect& Box, bool Checker) {
    TGdiBitmap* T = D.Target();
    if (T == nullptr || IsRectEmpty(Box)) return;
    TQvRegion Ring = TQvRegion(Box);
    if (Checker) Ring -= TQvRegion(Rect(Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1));
    Ring &= D.Clip();
    for (const TRect& Rc : Ring.Rects())
        for (int Y = Rc.Top; Y < Rc.Bottom; ++Y) {
            uint32_t* Row = T->Row(Y);
            for (int X = Rc.Left; X < Rc.Right; ++X)
                if (!Checker || ((X - Box.Left) + (Y - Box.Top)) % 2 == 0) Row[X] ^= 0x00FFFFFF;
        }
}

}  // namespace

// ---- Rectangles and regions ------------------------------------------------------------

BOOL FillRect(HDC Dc, const RECT* R, HBRUSH Brush) {
    TGdiDC* D = GdiDCOf(Dc);
    std::shared_ptr<TGdiBrush> B = BrushFrom(Brush);
    if (D == nullptr || R == nullptr || !B) return FALSE;
    GdiFillTarget(*D, D->LogicalToTarget(Ordered(*R)), *B);
    return TRUE;
}

BOOL FrameRect(HDC Dc, const RECT* R, HBRUSH Brush) {
    TGdiDC* D = GdiDCOf(Dc);
    std::shared_ptr<TGdiBrush> B = BrushFrom(Brush);
    if (D == nullptr || R == nullptr || !B) return FALSE;
    const TRect T = D->LogicalToTarget(Ordered(*R));
    if (IsRectEmpty(T)) return TRUE;
    GdiFillTarget(*D, {T.Left, T.Top, T.Right, T.Top + 1}, *B);
    if (T.Height() > 1) GdiFillTarget(*D, {T.Left, T.Bottom - 1, T.Right, T.Bottom}, *B);
    if (T.Height() > 2) {
        GdiFillTarget(*D, {T.Left, T.Top + 1, T.Left + 1, T.Bottom - 1}, *B);
        if (T.Width() > 1) GdiFillTarget(*D, {T.Right - 1, T.Top + 1, T.Right, T.Bottom - 1}, *B);
    }
    return TRUE;
}

BOOL FillRgn(HDC Dc, HRGN Rgn, HBRUSH Brush) {
    TGdiDC* D = GdiDCOf(Dc);
    TGdiRegion* R = GdiRegionOf(Rgn);
    std::shared_ptr<TGdiBrush> B = BrushFrom(Brush);
    if (D == nullptr || R == nullptr || !B) return FALSE;
    FillRegionTarget(*D, RegionToTarget(*D, R->Region), *B);
    return TRUE;
}

BOOL PaintRgn(HDC Dc, HRGN Rgn) {
    TGdiDC* D = GdiDCOf(Dc);
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (D == nullptr || R == nullptr || !D->State.Brush) return FALSE;
    FillRegionTarget(*D, RegionToTarget(*D, R->Region), *D->State.Brush);
    return TRUE;
}

BOOL FrameRgn(HDC Dc, HRGN Rgn, HBRUSH Brush, int W, int H) {
    TGdiDC* D = GdiDCOf(Dc);
    TGdiRegion* R = GdiRegionOf(Rgn);
    std::shared_ptr<TGdiBrush> B = BrushFrom(Brush);
    if (D == nullptr || R == nullptr || !B || W < 0 || H < 0) return FALSE;
    // The frame is the region minus the region eroded by W horizontally and H vertically:
    // a pixel stays inside when its whole (2W + 1) x (2H + 1) neighbourhood is in the region.
    const TQvRegion& Src = R->Region;
    // Beyond the region's size everything erodes; this also bounds the work.
    W = std::min(W, Src.Bounds().Width());
    H = std::min(H, Src.Bounds().Height());
    TQvRegion Inner = Src;
    for (int K = 1; K <= W; ++K) {
        TQvRegion L = Src, Rt = Src;
        L.Offset(K, 0);
        Rt.Offset(-K, 0);
        Inner &= L;
        Inner &= Rt;
    }
    TQvRegion Rows = Inner;
    for (int K = 1; K <= H; ++K) {
        TQvRegion U = Inner, Dn = Inner;
        U.Offset(0, K);
        Dn.Offset(0, -K);
        Rows &= U;
        Rows &= Dn;
    }
    FillRegionTarget(*D, RegionToTarget(*D, Src - Rows), *B);
    return TRUE;
}

// ---- Lines -------------------------------------------------------------------------------

BOOL MoveToEx(HDC Dc, int X, int Y, POINT* Old) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    if (Old != nullptr) *Old = D->State.CurrentPos;
    D->State.CurrentPos = {X, Y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC Dc, POINT* Pos) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Pos == nullptr) return FALSE;
    *Pos = D->State.CurrentPos;
    return TRUE;
}

BOOL LineTo(HDC Dc, int X, int Y) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    const TPoint Path[2] = {D->LogicalToTarget(D->State.CurrentPos), D->LogicalToTarget(TPoint{X, Y})};
    Stroke(*D, Path, 2, false);
    D->State.CurrentPos = {X, Y};
    return TRUE;
}

BOOL Polyline(HDC Dc, const POINT* Points, int Count) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Points == nullptr || Count < 2) return FALSE;
    const std::vector<TPoint> T = ToTarget(*D, Points, static_cast<size_t>(Count));
    Stroke(*D, T.data(), T.size(), false);
    return TRUE;
}

BOOL PolylineTo(HDC Dc, const POINT* Points, DWORD Count) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Points == nullptr || Count < 1) return FALSE;
    std::vector<TPoint> T;
    T.reserve(Count + 1);
    T.push_back(D->LogicalToTarget(D->State.CurrentPos));
    for (DWORD K = 0; K < Count; ++K) T.push_back(D->LogicalToTarget(Points[K]));
    Stroke(*D, T.data(), T.size(), false);
    D->State.CurrentPos = Points[Count - 1];
    return TRUE;
}

// ---- Shapes --------------------------------------------------------------------------------

BOOL Rectangle(HDC Dc, int L, int T, int R, int B) {
    return BoxShape(Dc, L, T, R, B, true, [](const TRect& Box, const TRect&) { return TQvRegion(Box); });
}

BOOL RoundRect(HDC Dc, int L, int T, int R, int B, int W, int H) {
    return BoxShape(Dc, L, T, R, B, false, [W, H](const TRect& Box, const TRect& Rows) {
        return TQvRegion::RoundRect(Box.Left, Box.Top, Box.Right, Box.Bottom, W, H, &Rows);
    });
}

BOOL Ellipse(HDC Dc, int L, int T, int R, int B) {
    return BoxShape(Dc, L, T, R, B, false, [](const TRect& Box, const TRect& Rows) {
        return TQvRegion::RoundRect(Box.Left, Box.Top, Box.Right, Box.Bottom, Box.Width(), Box.Height(),
                                    &Rows);
    });
}

BOOL PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || Points == nullptr || Counts == nullptr || Polygons < 1) return FALSE;
    size_t Total = 0;
    for (int P = 0; P < Polygons; ++P) {
        if (Counts[P] < 2) return FALSE;
        Total += static_cast<size_t>(Counts[P]);
    }
    const std::vector<TPoint> T = ToTarget(*D, Points, Total);
    const TRect Rows = D->Clip().Bounds();
    if (IsRectEmpty(Rows)) return TRUE;
    const TQvRegion Inside =
        TQvRegion::PolyPolygon(T.data(), Counts, static_cast<size_t>(Polygons), D->State.PolyFillMode, &Rows);
    Paint(*D, Inside, BrushInk(*D));
    size_t Base = 0;
    for (int P = 0; P < Polygons; ++P) {
        Stroke(*D, T.data() + Base, static_cast<size_t>(Counts[P]), true);
        Base += static_cast<size_t>(Counts[P]);
    }
    return TRUE;
}

BOOL Polygon(HDC Dc, const POINT* Points, int Count) {
    return PolyPolygon(Dc, Points, &Count, 1);
}

// ---- Pixels, focus rectangles and edges ---------------------------------------------------------

COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Color) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return CLR_INVALID;
    const TPoint P = D->LogicalToTarget(TPoint{X, Y});
    if (!D->Clip().Contains(P)) return CLR_INVALID;
    const uint32_t Pixel = GdiPixelOf(Color);
    D->Target()->Pixel(P.X, P.Y) = Pixel;
    return GdiColorOf(Pixel);
}

BOOL SetPixelV(HDC Dc, int X, int Y, COLORREF Color) {
    return SetPixel(Dc, X, Y, Color) != CLR_INVALID;
}

COLORREF GetPixel(HDC Dc, int X, int Y) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return CLR_INVALID;
    const TPoint P = D->LogicalToTarget(TPoint{X, Y});
    if (!D->Clip().Contains(P)) return CLR_INVALID;
    return GdiColorOf(D->Target()->Pixel(P.X, P.Y));
}

BOOL DrawFocusRect(HDC Dc, const RECT* R) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || R == nullptr) return FALSE;
    XorOutline(*D, D->LogicalToTarget(Ordered(*R)), true);
    return TRUE;
}

BOOL InvertRect(HDC Dc, const RECT* R) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || R == nullptr) return FALSE;
    XorOutline(*D, D->LogicalToTarget(Ordered(*R)), false);
    return TRUE;
}

BOOL DrawEdge(HDC Dc, RECT* R, UINT Edge, UINT Flags) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || R == nullptr || (Flags & BF_DIAGONAL) != 0) return FALSE;
    // Colours of one ring: top-left and bottom-right, by raised (bit 0) or sunken (bit 1).
    struct TRing {
        int TopLeft, BottomRight;
    };
    const bool Soft = (Flags & BF_SOFT) != 0;
    TRing Rings[2];  // outer, inner
    int Count = 0;
    const UINT Outer = Edge & BDR_OUTER, Inner = Edge & BDR_INNER;
    if ((Flags & BF_MONO) != 0) {
        if (Outer != 0) Rings[Count++] = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        if (Inner != 0) Rings[Count++] = {COLOR_WINDOW, COLOR_WINDOW};
    } else if ((Flags & BF_FLAT) != 0) {
        if (Outer != 0) Rings[Count++] = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        if (Inner != 0) Rings[Count++] = {COLOR_BTNFACE, COLOR_BTNFACE};
    } else {
        if ((Outer & BDR_RAISEDOUTER) != 0)
            Rings[Count++] = {Soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        else if ((Outer & BDR_SUNKENOUTER) != 0)
            Rings[Count++] = {Soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
        if ((Inner & BDR_RAISEDINNER) != 0)
            Rings[Count++] = {Soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
        else if ((Inner & BDR_SUNKENINNER) != 0)
            Rings[Count++] = {Soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    }
    TRect Box = Ordered(*R);
    for (int K = 0; K < Count && !IsRectEmpty(Box); ++K) {
        const TRect T = D->LogicalToTarget(Box);
        const uint32_t TL = GdiPixelOf(GetSysColor(Rings[K].TopLeft));
        const uint32_t BR = GdiPixelOf(GetSysColor(Rings[K].BottomRight));
        // Top and left end one pixel short, so the bottom-right colour owns the corners
        // it shares with them.
        if ((Flags & BF_TOP) != 0) GdiFillTargetSolid(*D, {T.Left, T.Top, T.Right - 1, T.Top + 1}, TL);
        if ((Flags & BF_LEFT) != 0) GdiFillTargetSolid(*D, {T.Left, T.Top, T.Left + 1, T.Bottom - 1}, TL);
        if ((Flags & BF_BOTTOM) != 0) GdiFillTargetSolid(*D, {T.Left, T.Bottom - 1, T.Right, T.Bottom}, BR);
        if ((Flags & BF_RIGHT) != 0) GdiFillTargetSolid(*D, {T.Right - 1, T.Top, T.Right, T.Bottom}, BR);
        if ((Flags & BF_LEFT) != 0) ++Box.Left;
        if ((Flags & BF_TOP) != 0) ++Box.Top;
        if ((Flags & BF_RIGHT) != 0) --Box.Right;
        if ((Flags & BF_BOTTOM) != 0) --Box.Bottom;
    }
    if ((Flags & BF_MIDDLE) != 0 && !IsRectEmpty(Box))
        GdiFillTargetSolid(*D, D->LogicalToTarget(Box),
                           GdiPixelOf(GetSysColor((Flags & BF_MONO) != 0 ? COLOR_WINDOW : COLOR_BTNFACE)));
    if ((Flags & BF_ADJUST) != 0) *R = Box;
    return TRUE;
}
