#include "platform/uQvScroll.h"

#include <algorithm>

#include "platform/uQvCaret.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"

namespace {

TQvScrollBar* Bar(HWND Wnd, int Which) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || (Which != SB_HORZ && Which != SB_VERT)) return nullptr;
    return &W->Scroll[Which];
}

void ClampScroll(TQvScrollBar& B) {
    const int64_t Range = int64_t{B.Max} - B.Min + 1;
    if (Range <= 0)
        B.Page = 0;
    else if (B.Page > Range)
        B.Page = static_cast<UINT>(Range);
    const int64_t Upper = int64_t{B.Max} - std::max<int64_t>(int64_t{B.Page} - 1, 0);
    if (B.Pos > Upper) B.Pos = static_cast<int>(std::max<int64_t>(Upper, B.Min));
    if (B.Pos < B.Min) B.Pos = B.Min;
}

// Copies each pixel of Dst from (Dx, Dy) back, within one bitmap. Rows are taken in the
// order that reads every source row before it is written (bottom-up when moving down), and
// each band's source span is read whole before its pieces are written.
void CopyWithin(const TGdiBitmap& B, const TQvRegion& Dst, int Dx, int Dy) {
    const std::vector<TRect>& Rs = Dst.Rects();
    std::vector<std::pair<size_t, size_t>> Bands;
    for (size_t I = 0; I < Rs.size();) {
        size_t J = I;
        while (J < Rs.size() && Rs[J].Top == Rs[I].Top) ++J;
        Bands.emplace_back(I, J);
        I = J;
    }
    if (Dy > 0) std::reverse(Bands.begin(), Bands.end());
    std::vector<uint32_t> Line;
    for (const auto& [I, J] : Bands) {
        const int L = Rs[I].Left, R = Rs[J - 1].Right, Top = Rs[I].Top, Bottom = Rs[I].Bottom;
        Line.resize(static_cast<size_t>(R - L));
        for (int K = 0; K < Bottom - Top; ++K) {
            const int Y = Dy > 0 ? Bottom - 1 - K : Top + K;
            const uint32_t* From = B.Row(Y - Dy) + (L - Dx);
            std::copy(From, From + (R - L), Line.begin());
            uint32_t* To = B.Row(Y);
            for (size_t M = I; M < J; ++M)
                std::copy(Line.begin() + (Rs[M].Left - L), Line.begin() + (Rs[M].Right - L), To + Rs[M].Left);
        }
    }
}

// Moves the pixels of Scroll (target coordinates) by (Dx, Dy) into Clip, within the DC's
// clip; returns the part of Scroll and Clip that got no new pixels (target coordinates).
TQvRegion MovePixels(const TGdiDC& D, int Dx, int Dy, const TRect& Scroll, const TRect& Clip) {
    const TQvRegion& Vis = D.Clip();
    TQvRegion Area = Vis;
    Area &= Scroll;
    TQvRegion Dst = Area;
    Dst.Offset(Dx, Dy);
    Dst &= Clip;
    Dst &= Vis;
    if (const TGdiBitmap* B = D.Target()) CopyWithin(*B, Dst, Dx, Dy);
    Area &= Clip;
    return Area - Dst;
}

void Report(const TQvRegion& Exposed, HRGN UpdateRgn, RECT* UpdateRect) {
    if (UpdateRgn != nullptr) GdiRegionOf(UpdateRgn)->Region = Exposed;
    if (UpdateRect != nullptr) *UpdateRect = Exposed.Bounds();
}

}  // namespace

// ---- Scroll information ----------------------------------------------------------------

int SetScrollInfo(HWND Wnd, int Which, const SCROLLINFO* Info, BOOL) {
    TQvScrollBar* B = Bar(Wnd, Which);
    if (B == nullptr || Info == nullptr) return 0;
    B->Set = true;
    if (Info->fMask & SIF_RANGE) {
        B->Min = Info->nMin;
        B->Max = Info->nMax;
    }
    if (Info->fMask & SIF_PAGE) B->Page = Info->nPage;
    if (Info->fMask & SIF_POS) B->Pos = Info->nPos;
    ClampScroll(*B);
    B->TrackPos = B->Pos;
    return B->Pos;
}

BOOL GetScrollInfo(HWND Wnd, int Which, SCROLLINFO* Info) {
    TQvScrollBar* B = Bar(Wnd, Which);
    if (B == nullptr || Info == nullptr || !B->Set) return FALSE;
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = B->Min;
        Info->nMax = B->Max;
    }
    if (Info->fMask & SIF_PAGE) Info->nPage = B->Page;
    if (Info->fMask & SIF_POS) Info->nPos = B->Pos;
    if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = B->TrackPos;
    return TRUE;
}

int SetScrollPos(HWND Wnd, int Which, int Pos, BOOL Redraw) {
    TQvScrollBar* B = Bar(Wnd, Which);
    if (B == nullptr) return 0;
    const int Old = B->Pos;
    SCROLLINFO Si;
    Si.fMask = SIF_POS;
    Si.nPos = Pos;
    SetScrollInfo(Wnd, Which, &Si, Redraw);
    return Old;
}

int GetScrollPos(HWND Wnd, int Which) {
    TQvScrollBar* B = Bar(Wnd, Which);
    return B ? B->Pos : 0;
}

BOOL SetScrollRange(HWND Wnd, int Which, int Min, int Max, BOOL Redraw) {
    if (Bar(Wnd, Which) == nullptr) return FALSE;
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE;
    Si.nMin = Min;
    Si.nMax = Max;
    SetScrollInfo(Wnd, Which, &Si, Redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND Wnd, int Which, int* Min, int* Max) {
    TQvScrollBar* B = Bar(Wnd, Which);
    if (B == nullptr || Min == nullptr || Max == nullptr) return FALSE;
    *Min = B->Min;
    *Max = B->Max;
    return TRUE;
}


// ---- Moving pixels ---------------------------------------------------------------------

BOOL ScrollDC(HDC Dc, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN UpdateRgn,
              RECT* UpdateRect) {
    const TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || (UpdateRgn != nullptr && GdiRegionOf(UpdateRgn) == nullptr)) return FALSE;
    Dx = QvClampCoord(Dx);
    Dy = QvClampCoord(Dy);
    const TRect S = Scroll ? D->LogicalToTarget(*Scroll) : D->Clip().Bounds();
    const TRect C = Clip ? D->LogicalToTarget(*Clip) : S;
    TQvRegion Exposed = MovePixels(*D, Dx, Dy, S, C);
    Exposed.Offset(-D->DeviceOrigin().X, -D->DeviceOrigin().Y);
    Report(Exposed, UpdateRgn, UpdateRect);
    return TRUE;
}

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN UpdateRgn,
                   RECT* UpdateRect, UINT Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->MessageOnly || (UpdateRgn != nullptr && GdiRegionOf(UpdateRgn) == nullptr))
        return RGN_ERROR;
    Dx = QvClampCoord(Dx);
    Dy = QvClampCoord(Dy);
    const RECT Client = Rect(0, 0, W->Client.Width(), W->Client.Height());
    RECT S = Client, C;
    if (Scroll != nullptr) IntersectRect(S, QvSaneRect(*Scroll), Client);
    if (Clip == nullptr || !IntersectRect(C, QvSaneRect(*Clip), Client)) C = Clip ? RECT{} : S;
    const bool Caret = HideCaret(Wnd) != FALSE;
    TQvRegion Exposed;
    if (HDC Dc = GetDC(Wnd)) {
        const TGdiDC* D = GdiDCOf(Dc);
        Exposed = MovePixels(*D, Dx, Dy, D->LogicalToTarget(S), D->LogicalToTarget(C));
        Exposed.Offset(-D->DeviceOrigin().X, -D->DeviceOrigin().Y);
        ReleaseDC(Wnd, Dc);
    }
    // What was still to be painted moves with the pixels.
    TQvRegion Moving = W->Update;
    Moving &= S;
    Moving &= C;
    if (!Moving.IsEmpty()) {
        W->Update -= Moving;
        Moving.Offset(Dx, Dy);
        Moving &= C;
        W->Update |= Moving;
    }
    std::vector<HWND> Move, Repaint;
    RECT Both;
    for (const TQvWnd* K : W->Children) {
        if ((Flags & SW_SCROLLCHILDREN) && (Scroll == nullptr || IntersectRect(Both, K->Window, S)))
            Move.push_back(K->Handle);
        else if (!(W->Style & WS_CLIPCHILDREN) && K->Visible() && IntersectRect(Both, K->Window, C))
            Repaint.push_back(K->Handle);  // its pixels moved under it
    }
    if ((Flags & SW_INVALIDATE) && !Exposed.IsEmpty()) {
        const HRGN Rgn = GdiCreateRegion(Exposed);
        RedrawWindow(Wnd, nullptr, Rgn, RDW_INVALIDATE | ((Flags & SW_ERASE) ? RDW_ERASE : 0));
        DeleteObject(Rgn);
    }
    for (HWND K : Repaint)
        RedrawWindow(K, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    for (HWND K : Move)
        if (const TQvWnd* Kw = QvWnd(K))
            SetWindowPos(K, nullptr, Kw->Window.Left + Dx, Kw->Window.Top + Dy, 0, 0,
                         SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    if (Caret) {
        POINT P;
        if (GetCaretPos(&P) && PtInRect(S, P)) SetCaretPos(P.X + Dx, P.Y + Dy);
        ShowCaret(Wnd);
    }
    Report(Exposed, UpdateRgn, UpdateRect);
    return Exposed.Complexity();
}

BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip) {
    const UINT Flags = SW_INVALIDATE | SW_ERASE | (Scroll == nullptr ? SW_SCROLLCHILDREN : 0);
    return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, nullptr, nullptr, Flags) != RGN_ERROR;
}
