#pragma once
// Regions: sets of pixels stored as y-x bands of rectangles. The same value type serves
// region handles, clipping of device contexts and the window system's update and visible
// regions.
//
// The rectangle list is canonical: bands are sorted from top to bottom, every rectangle of
// a band shares its Top and Bottom, rectangles of a band are sorted by Left and neither
// overlap nor touch, and two vertically adjacent bands never have the same columns (they
// are merged). So two regions cover the same pixels exactly when their lists are equal.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/uQvGdiObjects.h"
#include "platform/uQvGeometry.h"

// Region complexity, as the region calls report it.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
#ifndef ERROR
#define ERROR 0
#endif
// Combination modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Polygon fill modes.
enum : int { ALTERNATE = 1, WINDING = 2 };

// Coordinates of regions are kept within +-GdiRegionLimit; larger values are clamped, so
// arithmetic on them never overflows.
constexpr int GdiRegionLimit = 1 << 27;

class TQvRegion {
public:
    TQvRegion() = default;
    // The pixels of R; an empty rectangle gives the empty region.
    explicit TQvRegion(const TRect& R);
    // The union of many rectangles in one sweep. To take many rectangles out of a region
    // (children out of a parent), subtract their union once: far cheaper than one
    // subtraction each.
    static TQvRegion FromRects(const TRect* Rects, size_t Count);
    static TQvRegion FromRects(const std::vector<TRect>& Rects) {
        return FromRects(Rects.data(), Rects.size());
    }
    // Round rectangle over the box [L, R) x [T, B) with corner ellipses of W x H: a pixel
    // of a corner is left out when its centre lies outside the ellipse inscribed in the
    // corner's W x H box. W or H below 2 gives the plain box; both are clamped to the box.
    // With Rows, only the rows from Rows->Top to Rows->Bottom are built (drawing needs no
    // more than its clip).
    static TQvRegion RoundRect(int L, int T, int R, int B, int W, int H, const TRect* Rows = nullptr);
    // The pixels whose centres lie inside the polygon by the fill rule (ALTERNATE or
    // WINDING); a point on a left or top edge counts as inside, on a right or bottom edge
    // as outside.
    static TQvRegion Polygon(const TPoint* Points, size_t Count, int FillMode, const TRect* Rows = nullptr);
    static TQvRegion PolyPolygon(const TPoint* Points, const int* Counts, size_t Polygons, int FillMode,
                                 const TRect* Rows = nullptr);

    bool IsEmpty() const { return FRects.empty(); }
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int Complexity() const;
    // The bounding box; (0, 0, 0, 0) for the empty region.
    const TRect& Bounds() const { return FBounds; }
    // The canonical rectangle list (see above).
    const std::vector<TRect>& Rects() const { return FRects; }
    size_t Count() const { return FRects.size(); }

    bool Contains(int X, int Y) const;
    bool Contains(const TPoint& P) const { return Contains(P.X, P.Y); }
    // True when some pixel of R belongs to the region.
    bool Intersects(const TRect& R) const;
    // True when every pixel of R belongs to the region (an empty R gives true).
    bool Covers(const TRect& R) const;

    void Clear();
    void SetRect(const TRect& R);
    void Offset(int DX, int DY);

    // The region combined with another: RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (this minus
    // Other) or RGN_COPY (Other).
    static TQvRegion Combine(const TQvRegion& A, const TQvRegion& B, int Mode);
    TQvRegion& operator&=(const TQvRegion& O) { return *this = Combine(*this, O, RGN_AND); }
    TQvRegion& operator|=(const TQvRegion& O) { return *this = Combine(*this, O, RGN_OR); }
    TQvRegion& operator^=(const TQvRegion& O) { return *this = Combine(*this, O, RGN_XOR); }
    TQvRegion& operator-=(const TQvRegion& O) { return *this = Combine(*this, O, RGN_DIFF); }
    TQvRegion& operator&=(const TRect& R);
    TQvRegion& operator|=(const TRect& R) { return *this |= TQvRegion(R); }
    TQvRegion& operator-=(const TRect& R) { return *this -= TQvRegion(R); }
    friend TQvRegion operator&(const TQvRegion& A, const TQvRegion& B) { return Combine(A, B, RGN_AND); }
    friend TQvRegion operator|(const TQvRegion& A, const TQvRegion& B) { return Combine(A, B, RGN_OR); }
    friend TQvRegion operator^(const TQvRegion& A, const TQvRegion& B) { return Combine(A, B, RGN_XOR); }
    friend TQvRegion operator-(const TQvRegion& A, const TQvRegion& B) { return Combine(A, B, RGN_DIFF); }

    bool operator==(const TQvRegion& O) const { return FRects == O.FRects; }

private:
    friend class TQvRegionBuilder;
    void UpdateBounds();
    std::vector<TRect> FRects;
    TRect FBounds;
};

// Builds a region band by band, from top to bottom; adjacent equal bands are merged.
class TQvRegionBuilder {
public:
    // Adds the band [Top, Bottom) with the columns [Xs[0], Xs[1]), [Xs[2], Xs[3]), ...:
    // sorted, not overlapping, not touching, below every band added before.
    void AddBand(int Top, int Bottom, const int* Xs, size_t Count);
    // The same with the columns of Count rectangles (only Left and Right are read).
    void AddBandRects(int Top, int Bottom, const TRect* Rects, size_t Count);
    // Whole bands of a canonical region, as they are: only the first may merge with the
    // band added before.
    void AppendBands(const TRect* Rects, size_t Count);
    void Reserve(size_t Rects) { FRects.reserve(Rects); }
    TQvRegion Finish();

private:
    std::vector<TRect> FRects;
    size_t FLastBand = 0;
    bool FHasBand = false;
};

// ---- Region objects --------------------------------------------------------------------

class TGdiRegion final : public TGdiObject {
public:
    TGdiRegion() = default;
    explicit TGdiRegion(TQvRegion R) : Region(std::move(R)) {}
    int ObjectType() const override { return OBJ_REGION; }
    TQvRegion Region;
};

// The region of a handle, or null.
TGdiRegion* GdiRegionOf(HRGN Rgn);
// A new region handle holding R.
HRGN GdiCreateRegion(TQvRegion R);

// [L, R) x [T, B); swapped coordinates are put in order.
HRGN CreateRectRgn(int L, int T, int R, int B);
HRGN CreateRectRgnIndirect(const RECT* R);
// Covers one pixel less on the right and bottom: the box [L, R - 1) x [T, B - 1) with
// W x H corner ellipses (see TQvRegion::RoundRect).
HRGN CreateRoundRectRgn(int L, int T, int R, int B, int W, int H);
// The ellipse of the box, with the same edge rule as CreateRoundRectRgn.
HRGN CreateEllipticRgn(int L, int T, int R, int B);
HRGN CreateEllipticRgnIndirect(const RECT* R);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode);
// Stores Src1 combined with Src2 in Dst (any of them may be the same handle). Returns the
// complexity of the result, ERROR for an unknown handle or mode (Dst is then unchanged).
int CombineRgn(HRGN Dst, HRGN Src1, HRGN Src2, int Mode);
BOOL PtInRegion(HRGN Rgn, int X, int Y);
BOOL RectInRegion(HRGN Rgn, const RECT* R);
// The bounding box and the complexity; ERROR for an unknown handle.
int GetRgnBox(HRGN Rgn, RECT* R);
int OffsetRgn(HRGN Rgn, int DX, int DY);
// TRUE when both cover the same pixels; ERROR (0) when a handle is unknown.
BOOL EqualRgn(HRGN A, HRGN B);
BOOL SetRectRgn(HRGN Rgn, int L, int T, int R, int B);
// The rectangles of the region, for callers that walk them: returns the count.
size_t GdiRegionRects(HRGN Rgn, std::vector<TRect>& Rects);
