#include "controls/base/uQvPaintBox.h"

#include <algorithm>

#include "platform/uQvGdiBlit.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWindows.h"

TQvCustomPaintBox::TQvCustomPaintBox(TComponent* AOwner)
    : TCustomControl(AOwner), FBuffer(std::make_unique<TSurface32>()) {
    SetBounds(Left(), Top(), 192, 192);
}

TQvCustomPaintBox::~TQvCustomPaintBox() = default;

void TQvCustomPaintBox::SetRepaintMode(TRepaintMode Value) {
    if (FRepaintMode == Value) return;
    FRepaintMode = Value;
    ForceFullInvalidate();
}

void TQvCustomPaintBox::Invalidate() {
    FBufferValid = false;
    TCustomControl::Invalidate();
}

void TQvCustomPaintBox::InvalidateArea(const TRect& R) {
    if (!UsesPartialRepaint()) {
        Invalidate();
        return;
    }
    FInvalidRects.push_back(R);
    FBufferValid = false;
    if (HandleAllocated()) InvalidateRect(Handle(), &R, false);
}

void TQvCustomPaintBox::ForceFullInvalidate() {
    FForceFullRepaint = true;
    FInvalidRects.clear();
    Invalidate();
}

void TQvCustomPaintBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FBufferValid = false;
}

void TQvCustomPaintBox::Loaded() {
    TCustomControl::Loaded();
    FBufferValid = false;
}

void TQvCustomPaintBox::Flush() { Flush(GetViewportRect()); }

void TQvCustomPaintBox::Flush(const TRect& SrcRect) {
    if (!HandleAllocated()) return;
    const HWND H = Handle();
    const HDC Dc = GetDC(H);
    FBuffer->Lock();
    BitBlt(Dc, SrcRect.Left, SrcRect.Top, SrcRect.Width(), SrcRect.Height(), FBuffer->Handle(), SrcRect.Left,
           SrcRect.Top, SRCCOPY);
    FBuffer->Unlock();
    ReleaseDC(H, Dc);
}

void TQvCustomPaintBox::RenderBuffer() {
    if (FForceFullRepaint)
        FInvalidRects.clear();
    else
        PrepareDirtyAreas();
    FBufferValid = true;
}

void TQvCustomPaintBox::PaintOverlay(HDC Dc) {
    if (OnGDIOverlay) OnGDIOverlay(this, Dc);
}

void TQvCustomPaintBox::BufferResized(int, int) {}

void TQvCustomPaintBox::MouseEntered() { FMouseInControl = true; }

void TQvCustomPaintBox::MouseLeft() { FMouseInControl = false; }

void TQvCustomPaintBox::ResizeBuffer() {
    const TRect V = GetViewportRect();
    const auto Side = [this](int Current, int Needed) {
        Needed = std::max(Needed, 0);
        int New = Current;
        if (Current < Needed)
            New = Needed + FBufferOversize;
        else if (Current > Needed + FBufferOversize)
            New = Needed;
        return New <= 0 ? 1 : New;
    };
    const int OldW = FBuffer->Width(), OldH = FBuffer->Height();
    const int W = Side(OldW, V.Width()), H = Side(OldH, V.Height());
    if (W == OldW && H == OldH) return;
    FBuffer->Lock();
    FBuffer->SetSize(W, H);
    FBuffer->Unlock();
    BufferResized(OldW, OldH);
    ForceFullInvalidate();
}

void TQvCustomPaintBox::Resize() {
    ResizeBuffer();
    FBufferValid = false;
    TCustomControl::Resize();
}

void TQvCustomPaintBox::PaintWindow(HDC Dc) {
    if (Parent() == nullptr) return;
    const TQvAliveCheck Alive = AliveCheck();
    ResizeBuffer();
    if (!FBufferValid) RenderBuffer();
    if (!Alive.Alive()) return;
    FBuffer->Lock();
    if (FInvalidRects.empty()) {
        const TRect V = GetViewportRect();
        BitBlt(Dc, V.Left, V.Top, V.Width(), V.Height(), FBuffer->Handle(), V.Left, V.Top, SRCCOPY);
    } else {
        for (const TRect& R : FInvalidRects)
            BitBlt(Dc, R.Left, R.Top, R.Width(), R.Height(), FBuffer->Handle(), R.Left, R.Top, SRCCOPY);
    }
    FBuffer->Unlock();
    PaintOverlay(Dc);
    if (!Alive.Alive()) return;
    FInvalidRects.clear();
    FForceFullRepaint = false;
}

void TQvCustomPaintBox::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_PAINT:
            if (UsesPartialRepaint() && !CanPaintPartially() && HandleAllocated())
                InvalidateRect(Handle(), nullptr, false);
            break;
        case WM_ERASEBKGND:
            M.Result = 1;
            return;
        case WM_GETDLGCODE:
            TCustomControl::WndProc(M);
            if (FOptions.Contains(pboWantArrowKeys))
                M.Result |= DLGC_WANTARROWS;
            else
                M.Result &= ~static_cast<LRESULT>(DLGC_WANTARROWS);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (FOptions.Contains(pboAutoFocus) && CanFocus() && !Focused()) SetFocus();
            break;
        case CM_MOUSEENTER:
            TCustomControl::WndProc(M);
            if (M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(this)) MouseEntered();
            return;
        case CM_MOUSELEAVE:
            if (M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(this)) MouseLeft();
            break;
        case CM_INVALIDATE:
            if (UsesPartialRepaint() && HandleAllocated()) {
                PostMessage(Handle(), WM_PAINT, 0, 0);
                return;
            }
            break;
        case CM_ENABLEDCHANGED:
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED: {
            const TQvAliveCheck Alive = AliveCheck();
            TCustomControl::WndProc(M);
            if (Alive.Alive()) Invalidate();
            return;
        }
        case WM_WINDOWPOSCHANGED:
            if (!Designing() && !ComponentState().Contains(csDestroying)) {
                ResizeBuffer();
                FBufferValid = false;
            }
            break;
        default:
            break;
    }
    TCustomControl::WndProc(M);
}
