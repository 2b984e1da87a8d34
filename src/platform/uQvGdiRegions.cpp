#include "platform/uQvGdiRegions.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int Clamp(int64_t V) {
    return static_cast<int>(std::clamp<int64_t>(V, -GdiRegionLimit, GdiRegionLimit));
}

TRect Normalized(int L, int T, int R, int B) {
    if (L > R) std::swap(L, R);
    if (T > B) std::swap(T, B);
    return {Clamp(L), Clamp(T), Clamp(R), Clamp(B)};
}

// End (exclusive) of the band starting at index I.
size_t BandEnd(const std::vector<TRect>& Rs, size_t I) {
    const int Top = Rs[I].Top;
    size_t J = I + 1;
    while (J < Rs.size() && Rs[J].Top == Top) ++J;
    return J;
}

bool Inside(int Mode, bool A, bool B) {
    switch (Mode) {
        case RGN_AND:
            return A && B;
        case RGN_OR:
            return A || B;
        case RGN_XOR:
            return A != B;
        default:
            return A && !B;  // RGN_DIFF
    }
}

// The columns of one band of the result, from the columns of A's and B's bands (either
// range may be empty), as x0, x1 pairs in Out.
void CombineColumns(const TRect* A, size_t NA, const TRect* B, size_t NB, int Mode, std::vector<int>& Out) {
    Out.clear();
    size_t I = 0, J = 0;  // edge indexes: 2k = Left of rect k, 2k + 1 = Right
    const size_t EA = NA * 2, EB = NB * 2;
    auto EdgeA = [&](size_t E) { return (E & 1) != 0 ? A[E / 2].Right : A[E / 2].Left; };
    auto EdgeB = [&](size_t E) { return (E & 1) != 0 ? B[E / 2].Right : B[E / 2].Left; };
    bool InA = false, InB = false, InOut = false;
    while (I < EA || J < EB) {
        const int X = std::min(I < EA ? EdgeA(I) : INT_MAX, J < EB ? EdgeB(J) : INT_MAX);
        while (I < EA && EdgeA(I) == X) InA = (++I & 1) != 0;
        while (J < EB && EdgeB(J) == X) InB = (++J & 1) != 0;
        const bool Now = Inside(Mode, InA, InB);
        if (Now != InOut) {
            Out.push_back(X);
            InOut = Now;
        }
    }
}

// Solves the corner test of a round rectangle: with the doubled offsets of a pixel centre
// from the corner ellipse's centre (DX, DY), the pixel lies inside when
// DX^2 * H^2 + DY^2 * W^2 <= W^2 * H^2. Exact in 128-bit integers.
bool InEllipse(int64_t DX, int64_t DY, int64_t W, int64_t H) {
    using I128 = __int128;
    return I128{DX} * DX * H * H + I128{DY} * DY * W * W <= I128{W} * W * H * H;
}

// Pixels cut at each end of a row of a round rectangle whose corner ellipses are W x H,
// for a row whose centre lies DY (doubled) from the ellipse centre.
int CutPixels(int64_t W, int64_t H, int64_t DY) {
    // Column j from the left edge has doubled offset 2j + 1 - W from the ellipse centre;
    // the cut columns form a prefix of those left of the centre.
    auto Cut = [&](int64_t J) { return 2 * J + 1 < W && !InEllipse(2 * J + 1 - W, DY, W, H); };
    const double Rest = 1.0 - static_cast<double>(DY) * DY / (static_cast<double>(H) * H);
    const double Lim = Rest > 0 ? static_cast<double>(W) * std::sqrt(Rest) : 0.0;
    int64_t J = std::max<int64_t>(0, static_cast<int64_t>((static_cast<double>(W) - 1 - Lim) / 2));
    while (J > 0 && !Cut(J - 1)) --J;
    while (Cut(J)) ++J;
    return static_cast<int>(J);
}

int64_t FloorDiv(int64_t A, int64_t B) {  // B > 0
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}
int64_t CeilDiv(int64_t A, int64_t B) {
    return -FloorDiv(-A, B);
}

struct TEdge {
    int64_t X0, Y0, X1, Y1;  // Y0 < Y1
    int Dir;                 // +1 going down in the polygon's order, -1 going up
};

}  // namespace

// ---- TQvRegionBuilder --------------------------------------------------------------------

void TQvRegionBuilder::AddBand(int Top, int Bottom, const int* Xs, size_t Count) {
    if (Count < 2 || Top >= Bottom) return;
    const size_t N = Count / 2;
    if (FHasBand) {
        const size_t LastN = FRects.size() - FLastBand;
        if (FRects[FLastBand].Bottom == Top && LastN == N) {
            bool Same = true;
            for (size_t K = 0; K < N && Same; ++K)
                Same =
                    FRects[FLastBand + K].Left == Xs[2 * K] && FRects[FLastBand + K].Right == Xs[2 * K + 1];
            if (Same) {
                for (size_t K = FLastBand; K < FRects.size(); ++K) FRects[K].Bottom = Bottom;
                return;
            }
        }
    }
    FLastBand = FRects.size();
    FHasBand = true;
    for (size_t K = 0; K < N; ++K) FRects.push_back({Xs[2 * K], Top, Xs[2 * K + 1], Bottom});
}

void TQvRegionBuilder::AddBandRects(int Top, int Bottom, const TRect* Rects, size_t N) {
    if (N == 0 || Top >= Bottom) return;
    if (FHasBand && FRects[FLastBand].Bottom == Top && FRects.size() - FLastBand == N) {
        bool Same = true;
        for (size_t K = 0; K < N && Same; ++K)
            Same =
                FRects[FLastBand + K].Left == Rects[K].Left && FRects[FLastBand + K].Right == Rects[K].Right;
        if (Same) {
            for (size_t K = FLastBand; K < FRects.size(); ++K) FRects[K].Bottom = Bottom;
            return;
        }
    }
    FLastBand = FRects.size();
    FHasBand = true;
    for (size_t K = 0; K < N; ++K) FRects.push_back({Rects[K].Left, Top, Rects[K].Right, Bottom});
}

void TQvRegionBuilder::AppendBands(const TRect* Rects, size_t N) {
    if (N == 0) return;
    size_t First = 1;
    while (First < N && Rects[First].Top == Rects[0].Top) ++First;
    AddBandRects(Rects[0].Top, Rects[0].Bottom, Rects, First);
    if (First == N) return;
    size_t Last = N - 1;
    while (Last > First && Rects[Last - 1].Top == Rects[N - 1].Top) --Last;
    FLastBand = FRects.size() + (Last - First);
    FRects.insert(FRects.end(), Rects + First, Rects + N);
}

TQvRegion TQvRegionBuilder::Finish() {
    TQvRegion R;
    R.FRects = std::move(FRects);
    R.UpdateBounds();
    FRects.clear();
    FHasBand = false;
    FLastBand = 0;
    return R;
}

// ---- TQvRegion ---------------------------------------------------------------------------

TQvRegion::TQvRegion(const TRect& R) {
    SetRect(R);
}

void TQvRegion::UpdateBounds() {
    if (FRects.empty()) {
        FBounds = {};
        return;
    }
    FBounds = {FRects.front().Left, FRects.front().Top, FRects.front().Right, FRects.back().Bottom};
    for (const TRect& R : FRects) {
        FBounds.Left = std::min(FBounds.Left, R.Left);
        FBounds.Right = std::max(FBounds.Right, R.Right);
    }
}

int TQvRegion::Complexity() const {
    return FRects.empty() ? NULLREGION : FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void TQvRegion::Clear() {
    FRects.clear();
    FBounds = {};
}

void TQvRegion::SetRect(const TRect& R) {
    Clear();
    const TRect C = {Clamp(R.Left), Clamp(R.Top), Clamp(R.Right), Clamp(R.Bottom)};
    if (IsRectEmpty(C)) return;
    FRects.push_back(C);
    FBounds = C;
}

void TQvRegion::Offset(int DX, int DY) {
    if (FRects.empty()) return;
    // Clamping could merge bands pushed against the limit, so clamp through a rebuild
    // only when the offset reaches it.
    const TRect& B = FBounds;
    const bool Safe = int64_t{B.Left} + DX >= -GdiRegionLimit && int64_t{B.Right} + DX <= GdiRegionLimit &&
                      int64_t{B.Top} + DY >= -GdiRegionLimit && int64_t{B.Bottom} + DY <= GdiRegionLimit;
    if (Safe) {
        for (TRect& R : FRects) {
            R.Left += DX;
            R.Right += DX;
            R.Top += DY;
            R.Bottom += DY;
        }
        FBounds = {B.Left + DX, B.Top + DY, B.Right + DX, B.Bottom + DY};
        return;
    }
    std::vector<TRect> Moved;
    Moved.reserve(FRects.size());
    for (const TRect& R : FRects)
        Moved.push_back({Clamp(int64_t{R.Left} + DX), Clamp(int64_t{R.Top} + DY),
                         Clamp(int64_t{R.Right} + DX), Clamp(int64_t{R.Bottom} + DY)});
    *this = FromRects(Moved);
}

bool TQvRegion::Contains(int X, int Y) const {
    if (!PtInRect(FBounds, {X, Y})) return false;
    auto It =
        std::partition_point(FRects.begin(), FRects.end(), [Y](const TRect& R) { return R.Bottom <= Y; });
    for (; It != FRects.end() && It->Top <= Y; ++It) {
        if (X < It->Left) return false;
        if (X < It->Right) return true;
    }
    return false;
}

bool TQvRegion::Intersects(const TRect& R) const {
    TRect Common;
    if (!IntersectRect(Common, FBounds, R)) return false;
    auto It = std::partition_point(FRects.begin(), FRects.end(),
                                   [&](const TRect& B) { return B.Bottom <= Common.Top; });
    for (; It != FRects.end() && It->Top < Common.Bottom; ++It)
        if (It->Left < Common.Right && It->Right > Common.Left) return true;
    return false;
}

bool TQvRegion::Covers(const TRect& R) const {
    if (IsRectEmpty(R)) return true;
    return Combine(TQvRegion(R), *this, RGN_DIFF).IsEmpty();
}

TQvRegion& TQvRegion::operator&=(const TRect& R) {
    TRect Common;
    if (!IntersectRect(Common, FBounds, R)) {
        Clear();
        return *this;
    }
    // The common case of clipping: the rectangle holds the whole region.
    if (Common == FBounds) return *this;
    return *this &= TQvRegion(R);
}

TQvRegion TQvRegion::Combine(const TQvRegion& A, const TQvRegion& B, int Mode) {
    switch (Mode) {
        case RGN_COPY:
            return B;
        case RGN_AND:
            if (A.IsEmpty() || B.IsEmpty()) return {};
            break;
        case RGN_OR:
        case RGN_XOR:
            if (A.IsEmpty()) return B;
            if (B.IsEmpty()) return A;
            break;
        case RGN_DIFF:
            if (A.IsEmpty() || B.IsEmpty()) return A;
            break;
        default:
            return A;
    }
    if (Mode == RGN_AND || Mode == RGN_DIFF) {
        TRect Both;
        if (!IntersectRect(Both, A.FBounds, B.FBounds)) return Mode == RGN_AND ? TQvRegion{} : A;
    }
    // Sweep down through the bands of both; each stretch of rows where neither changes
    // becomes one band of the result. A's bands wholly above B's first row, and the bands
    // of either left when the other ends, pass through whole (or vanish) without a sweep.
    const std::vector<TRect>& RA = A.FRects;
    const std::vector<TRect>& RB = B.FRects;
    TQvRegionBuilder Out;
    Out.Reserve(Mode == RGN_AND ? std::min(RA.size(), RB.size()) : RA.size() + RB.size());
    const int TopB = RB.front().Top;
    size_t IA = static_cast<size_t>(
        std::partition_point(RA.begin(), RA.end(), [TopB](const TRect& R) { return R.Bottom <= TopB; }) -
        RA.begin());
    if (Mode != RGN_AND) Out.AppendBands(RA.data(), IA);
    std::vector<int> Columns;
    size_t IB = 0;
    int Y = IA < RA.size() ? std::min(RA[IA].Top, TopB) : TopB;
    // The rest of one region once the other has ended: the band Y is inside, from Y on,
    // then the whole bands after it.
    auto PassRest = [&](const std::vector<TRect>& R, size_t I) {
        if (I < R.size() && R[I].Top < Y) {
            const size_t E = BandEnd(R, I);
            Out.AddBandRects(Y, R[I].Bottom, R.data() + I, E - I);
            I = E;
        }
        Out.AppendBands(R.data() + I, R.size() - I);
    };
    while (IA < RA.size() || IB < RB.size()) {
        const bool HasA = IA < RA.size(), HasB = IB < RB.size();
        if (!HasB) {
            if (Mode != RGN_AND) PassRest(RA, IA);
            break;
        }
        if (!HasA) {
            if (Mode == RGN_OR || Mode == RGN_XOR) PassRest(RB, IB);
            break;
        }
        const bool ActiveA = RA[IA].Top <= Y;
        const bool ActiveB = RB[IB].Top <= Y;
        const int Next = std::min(ActiveA ? RA[IA].Bottom : RA[IA].Top, ActiveB ? RB[IB].Bottom : RB[IB].Top);
        if (ActiveA || ActiveB) {
            const size_t EA = ActiveA ? BandEnd(RA, IA) : IA;
            const size_t EB = ActiveB ? BandEnd(RB, IB) : IB;
            if (ActiveA && ActiveB) {
                CombineColumns(RA.data() + IA, EA - IA, RB.data() + IB, EB - IB, Mode, Columns);
                Out.AddBand(Y, Next, Columns.data(), Columns.size());
            } else if (ActiveA) {
                // Rows where only one region has pixels keep them unchanged, or lose them.
                if (Mode != RGN_AND) Out.AddBandRects(Y, Next, RA.data() + IA, EA - IA);
            } else if (Mode == RGN_OR || Mode == RGN_XOR) {
                Out.AddBandRects(Y, Next, RB.data() + IB, EB - IB);
            }
            if (ActiveA && Next == RA[IA].Bottom) IA = EA;
            if (ActiveB && Next == RB[IB].Bottom) IB = EB;
        }
        Y = Next;
    }
    return Out.Finish();
}

TQvRegion TQvRegion::FromRects(const TRect* Rects, size_t Count) {
    // One sweep from top to bottom: between two consecutive edges the same rectangles are
    // active, and their columns, merged, make one band.
    std::vector<TRect> Rs;
    Rs.reserve(Count);
    for (size_t K = 0; K < Count; ++K) {
        const TRect& R = Rects[K];
        const TRect C = {Clamp(R.Left), Clamp(R.Top), Clamp(R.Right), Clamp(R.Bottom)};
        if (!IsRectEmpty(C)) Rs.push_back(C);
    }
    if (Rs.empty()) return {};
    if (Rs.size() == 1) return TQvRegion(Rs[0]);
    std::sort(Rs.begin(), Rs.end(), [](const TRect& A, const TRect& B) { return A.Top < B.Top; });
    std::vector<int> Ys;
    Ys.reserve(Rs.size() * 2);
    for (const TRect& R : Rs) {
        Ys.push_back(R.Top);
        Ys.push_back(R.Bottom);
    }
    std::sort(Ys.begin(), Ys.end());
    Ys.erase(std::unique(Ys.begin(), Ys.end()), Ys.end());

    TQvRegionBuilder Out;
    std::vector<TRect> Active;  // sorted by Left
    std::vector<int> Columns;
    size_t Next = 0;
    for (size_t K = 0; K + 1 < Ys.size(); ++K) {
        const int Y0 = Ys[K], Y1 = Ys[K + 1];
        std::erase_if(Active, [Y0](const TRect& R) { return R.Bottom <= Y0; });
        for (; Next < Rs.size() && Rs[Next].Top <= Y0; ++Next) {
            auto At = std::upper_bound(Active.begin(), Active.end(), Rs[Next],
                                       [](const TRect& A, const TRect& B) { return A.Left < B.Left; });
            Active.insert(At, Rs[Next]);
        }
        if (Active.empty()) continue;
        Columns.clear();
        for (const TRect& R : Active) {
            if (!Columns.empty() && R.Left <= Columns.back())
                Columns.back() = std::max(Columns.back(), R.Right);
            else {
                Columns.push_back(R.Left);
                Columns.push_back(R.Right);
            }
        }
        Out.AddBand(Y0, Y1, Columns.data(), Columns.size());
    }
    return Out.Finish();
}

TQvRegion TQvRegion::RoundRect(int L, int T, int R, int B, int W, int H, const TRect* Rows) {
    const TRect Box = Normalized(L, T, R, B);
    if (IsRectEmpty(Box)) return {};
    W = std::min(std::abs(W), Box.Width());
    H = std::min(std::abs(H), Box.Height());
    if (W < 2 || H < 2) return TQvRegion(Box);
    TQvRegionBuilder Out;
    int Xs[2];
    const int Top = Rows != nullptr ? std::max(Box.Top, Rows->Top) : Box.Top;
    const int Bottom = Rows != nullptr ? std::min(Box.Bottom, Rows->Bottom) : Box.Bottom;
    for (int Y = Top; Y < Bottom; ++Y) {
        // Doubled offset of the row centre from the nearer corner ellipse's centre; rows
        // between the corners are whole.
        const int64_t C2 = 2 * int64_t{Y} + 1;
        int64_t DY = 0;
        if (C2 < 2 * int64_t{Box.Top} + H)
            DY = C2 - (2 * int64_t{Box.Top} + H);
        else if (C2 > 2 * int64_t{Box.Bottom} - H)
            DY = C2 - (2 * int64_t{Box.Bottom} - H);
        const int Cut = DY == 0 ? 0 : CutPixels(W, H, DY);
        Xs[0] = Box.Left + Cut;
        Xs[1] = Box.Right - Cut;
        if (Xs[0] < Xs[1]) Out.AddBand(Y, Y + 1, Xs, 2);
    }
    return Out.Finish();
}

TQvRegion TQvRegion::Polygon(const TPoint* Points, size_t Count, int FillMode, const TRect* Rows) {
    const int N = static_cast<int>(Count);
    return PolyPolygon(Points, &N, Count > 0 && Count <= INT_MAX ? 1 : 0, FillMode, Rows);
}

TQvRegion TQvRegion::PolyPolygon(const TPoint* Points, const int* Counts, size_t Polygons, int FillMode,
                                 const TRect* Rows) {
    std::vector<TEdge> Edges;
    int64_t MinY = INT64_MAX, MaxY = INT64_MIN;
    size_t Base = 0;
    for (size_t P = 0; P < Polygons; ++P) {
        const int N = Counts[P];
        if (N < 0) return {};
        for (int K = 0; K < N; ++K) {
            const TPoint& A = Points[Base + K];
            const TPoint& B = Points[Base + (K + 1) % N];
            TEdge E{Clamp(A.X), Clamp(A.Y), Clamp(B.X), Clamp(B.Y), 1};
            if (E.Y0 == E.Y1) continue;
            if (E.Y0 > E.Y1) {
                std::swap(E.X0, E.X1);
                std::swap(E.Y0, E.Y1);
                E.Dir = -1;
            }
            MinY = std::min(MinY, E.Y0);
            MaxY = std::max(MaxY, E.Y1);
            Edges.push_back(E);
        }
        Base += static_cast<size_t>(N);
    }
    if (Rows != nullptr) {
        MinY = std::max<int64_t>(MinY, Rows->Top);
        MaxY = std::min<int64_t>(MaxY, Rows->Bottom);
    }
    if (Edges.empty()) return {};
    std::sort(Edges.begin(), Edges.end(), [](const TEdge& A, const TEdge& B) { return A.Y0 < B.Y0; });

    // Row y samples the line y + 1/2. An edge crosses it when Y0 <= y + 1/2 < Y1, i.e.
    // Y0 <= y < Y1 for integer ends. Pixel x is inside from the first x whose centre
    // x + 1/2 is at or right of the crossing: x = ceil(crossing - 1/2).
    struct TCross {
        int64_t X;
        int Dir;
    };
    std::vector<const TEdge*> Active;
    std::vector<TCross> Cross;
    std::vector<int> Columns;
    TQvRegionBuilder Out;
    size_t NextEdge = 0;
    for (int64_t Y = MinY; Y < MaxY; ++Y) {
        while (NextEdge < Edges.size() && Edges[NextEdge].Y0 <= Y) Active.push_back(&Edges[NextEdge++]);
        std::erase_if(Active, [Y](const TEdge* E) { return E->Y1 <= Y; });
        Cross.clear();
        for (const TEdge* E : Active) {
            const int64_t D = E->Y1 - E->Y0;
            // 2 * crossing - 1 = ((2 X0 - 1) D + (2 Y + 1 - 2 Y0)(X1 - X0)) / D
            const int64_t Num = (2 * E->X0 - 1) * D + (2 * Y + 1 - 2 * E->Y0) * (E->X1 - E->X0);
            Cross.push_back({CeilDiv(Num, 2 * D), E->Dir});
        }
        std::sort(Cross.begin(), Cross.end(), [](const TCross& A, const TCross& B) { return A.X < B.X; });
        Columns.clear();
        int Wind = 0;
        for (size_t K = 0; K + 1 < Cross.size(); ++K) {
            Wind += FillMode == WINDING ? Cross[K].Dir : 1;
            const bool In = FillMode == WINDING ? Wind != 0 : (Wind & 1) != 0;
            if (!In || Cross[K].X >= Cross[K + 1].X) continue;
            const int X0 = static_cast<int>(Cross[K].X), X1 = static_cast<int>(Cross[K + 1].X);
            if (!Columns.empty() && Columns.back() >= X0)
                Columns.back() = std::max(Columns.back(), X1);
            else {
                Columns.push_back(X0);
                Columns.push_back(X1);
            }
        }
        Out.AddBand(static_cast<int>(Y), static_cast<int>(Y + 1), Columns.data(), Columns.size());
    }
    return Out.Finish();
}

// ---- Region handles ----------------------------------------------------------------------

TGdiRegion* GdiRegionOf(HRGN Rgn) {
    return GdiLookupAs<TGdiRegion>(Rgn, OBJ_REGION);
}

HRGN GdiCreateRegion(TQvRegion R) {
    return static_cast<HRGN>(GdiAddObject(std::make_shared<TGdiRegion>(std::move(R))));
}

HRGN CreateRectRgn(int L, int T, int R, int B) {
    return GdiCreateRegion(TQvRegion(Normalized(L, T, R, B)));
}

HRGN CreateRectRgnIndirect(const RECT* R) {
    return R != nullptr ? CreateRectRgn(R->Left, R->Top, R->Right, R->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int L, int T, int R, int B, int W, int H) {
    const TRect Box = Normalized(L, T, R, B);
    return GdiCreateRegion(TQvRegion::RoundRect(Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1, W, H));
}

HRGN CreateEllipticRgn(int L, int T, int R, int B) {
    const TRect Box = Normalized(L, T, R, B);
    return CreateRoundRectRgn(Box.Left, Box.Top, Box.Right, Box.Bottom, Box.Width(), Box.Height());
}

HRGN CreateEllipticRgnIndirect(const RECT* R) {
    return R != nullptr ? CreateEllipticRgn(R->Left, R->Top, R->Right, R->Bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode) {
    if (Points == nullptr || Count < 2 || (FillMode != ALTERNATE && FillMode != WINDING)) return nullptr;
    return GdiCreateRegion(TQvRegion::Polygon(Points, static_cast<size_t>(Count), FillMode));
}

HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode) {
    if (Points == nullptr || Counts == nullptr || Polygons < 1 ||
        (FillMode != ALTERNATE && FillMode != WINDING))
        return nullptr;
    for (int P = 0; P < Polygons; ++P)
        if (Counts[P] < 2) return nullptr;
    return GdiCreateRegion(TQvRegion::PolyPolygon(Points, Counts, static_cast<size_t>(Polygons), FillMode));
}

int CombineRgn(HRGN Dst, HRGN Src1, HRGN Src2, int Mode) {
    TGdiRegion* D = GdiRegionOf(Dst);
    TGdiRegion* A = GdiRegionOf(Src1);
    if (D == nullptr || A == nullptr || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
    if (Mode == RGN_COPY) {
        D->Region = A->Region;
        return D->Region.Complexity();
    }
    TGdiRegion* B = GdiRegionOf(Src2);
    if (B == nullptr) return ERROR;
    D->Region = TQvRegion::Combine(A->Region, B->Region, Mode);
    return D->Region.Complexity();
}

BOOL PtInRegion(HRGN Rgn, int X, int Y) {
    TGdiRegion* R = GdiRegionOf(Rgn);
    return R != nullptr && R->Region.Contains(X, Y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN Rgn, const RECT* Rc) {
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (R == nullptr || Rc == nullptr) return FALSE;
    return R->Region.Intersects(Normalized(Rc->Left, Rc->Top, Rc->Right, Rc->Bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN Rgn, RECT* Box) {
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (R == nullptr || Box == nullptr) return ERROR;
    *Box = R->Region.Bounds();
    return R->Region.Complexity();
}

int OffsetRgn(HRGN Rgn, int DX, int DY) {
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (R == nullptr) return ERROR;
    R->Region.Offset(DX, DY);
    return R->Region.Complexity();
}

BOOL EqualRgn(HRGN A, HRGN B) {
    TGdiRegion* RA = GdiRegionOf(A);
    TGdiRegion* RB = GdiRegionOf(B);
    if (RA == nullptr || RB == nullptr) return ERROR;
    return RA->Region == RB->Region ? TRUE : FALSE;
}

BOOL SetRectRgn(HRGN Rgn, int L, int T, int R, int B) {
    TGdiRegion* Region = GdiRegionOf(Rgn);
    if (Region == nullptr) return FALSE;
    Region->Region.SetRect(Normalized(L, T, R, B));
    return TRUE;
}

size_t GdiRegionRects(HRGN Rgn, std::vector<TRect>& Rects) {
    Rects.clear();
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (R != nullptr) Rects = R->Region.Rects();
    return Rects.size();
}
