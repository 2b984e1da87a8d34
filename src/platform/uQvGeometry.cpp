#include "platform/uQvGeometry.h"

#include <algorithm>

bool IntersectRect(TRect& Dst, const TRect& A, const TRect& B) {
    const TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                  std::min(A.Bottom, B.Bottom)};
    if (IsRectEmpty(R)) {
        Dst = TRect{};
        return false;
    }
    Dst = R;
    return true;
}

bool UnionRect(TRect& Dst, const TRect& A, const TRect& B) {
    const bool EmptyA = IsRectEmpty(A);
    const bool EmptyB = IsRectEmpty(B);
    if (EmptyA && EmptyB) {
        Dst = TRect{};
        return false;
    }
    if (EmptyA) {
        Dst = B;
    } else if (EmptyB) {
        Dst = A;
    } else {
        Dst = TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                    std::max(A.Bottom, B.Bottom)};
    }
    return true;
}

void OffsetRect(TRect& R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}

void InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
}

TPoint CenterPoint(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
