#pragma once
// Points, sizes and rectangles with the original platform's rules: rectangles are
// (Left, Top, Right, Bottom) with Right and Bottom exclusive.

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr int Width() const { return cx; }
    constexpr int Height() const { return cy; }
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool operator==(const TRect&) const = default;
};

// The platform's own names for the same layouts.
using POINT = TPoint;
using SIZE = TSize;
using RECT = TRect;

constexpr TPoint Point(int X, int Y) { return {X, Y}; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) {
    return {Left, Top, Left + Width, Top + Height};
}

// Left and top inclusive, right and bottom exclusive.
constexpr bool PtInRect(const TRect& R, const TPoint& P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
// True when the rectangle holds no pixel (Right <= Left or Bottom <= Top).
constexpr bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

// Writes the common part to Dst; an empty result is stored as (0, 0, 0, 0) and gives false.
bool IntersectRect(TRect& Dst, const TRect& A, const TRect& B);
// Writes the bounding box of both to Dst, ignoring empty rectangles; both empty gives
// (0, 0, 0, 0) and false.
bool UnionRect(TRect& Dst, const TRect& A, const TRect& B);
void OffsetRect(TRect& R, int DX, int DY);
void InflateRect(TRect& R, int DX, int DY);
// The centre with truncating halving, as the original computes it.
TPoint CenterPoint(const TRect& R);
