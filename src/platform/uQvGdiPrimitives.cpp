#include "platform/uQvGdiPrimitives.h"

#include <algorithm>
#include <memory>
#include <utility>

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

}  // namespace

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
