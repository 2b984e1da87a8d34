#include "controls/base/uPelluxCtrls.h"

#include "draw/uQvColor32.h"
#include "framework/uQvForms.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWindows.h"
#include "skin/uQvSkinRegistry.h"

namespace {

// Ends the buffer's update mode however the drawing between leaves.
class TUpdateBracket {
public:
    explicit TUpdateBracket(TSurface32* S) : FSurface(S) { FSurface->BeginUpdate(); }
    ~TUpdateBracket() {
        if (FSurface != nullptr) FSurface->EndUpdate();
    }
    // The control (and its buffer) died meanwhile: nothing to end.
    void Forget() { FSurface = nullptr; }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TSurface32* FSurface;
};

TColor32 Opaque(TColor Color) { return ToColor32(Color) | 0xFF000000u; }

// The parent (a plain window) and its windowless children paint themselves into Surface,
// shifted so that R's top-left lands at the surface's origin.
void PaintParentInto(TWinControl* Parent, TSurface32* Surface, const TRect& R) {
    const HDC Dc = Surface->Handle();
    if (Dc == nullptr) return;
    const int Saved = SaveDC(Dc);
    SetViewportOrgEx(Dc, -R.Left, -R.Top, nullptr);
    const TRect C = Parent->ClientRect();
    IntersectClipRect(Dc, C.Left, C.Top, C.Right, C.Bottom);
    Parent->SetControlState(Parent->ControlState() + csPaintCopy);
    const TQvAliveCheck Alive = Parent->AliveCheck();
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
    if (Alive.Alive()) Parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dc), 0);
    if (Alive.Alive()) Parent->SetControlState(Parent->ControlState() - csPaintCopy);
    RestoreDC(Dc, Saved);
    // What a parent paints is opaque, whatever its drawing did to the alpha bytes.
    Surface->ResetAlpha(255);
    Surface->Changed();
}

}  // namespace

void CopyParentBackground(TControl* Control, TSurface32* Surface, const TRect& R) {
    TWinControl* Parent = Control->Parent();
    if (Parent == nullptr) {
        Surface->Clear(0xFFFFFFFFu);
        return;
    }
    const bool Designing = Control->ComponentState().Contains(csDesigning);
    if (auto* Form = dynamic_cast<TCustomForm*>(Parent); Form != nullptr && !Designing) {
        if (CopyFormSkinBackground(Form, Surface, R)) return;
    } else if (auto* Skinned = dynamic_cast<TPelluxCustomControl*>(Parent);
               Skinned != nullptr && !Designing && R.Width() > 0 && R.Height() > 0) {
        // A parent that has not drawn itself since it changed does so now, so its children
        // never show a stale picture, whatever order the windows paint in.
        Skinned->UpdateBuffer();
        if (TSurface32* P = Skinned->BackgroundPicture()) {
            P->DrawTo(Surface, Surface->ClipRect(), R);
            return;
        }
    }
    PaintParentInto(Parent, Surface, R);
}

TPelluxCustomControl::TPelluxCustomControl(TComponent* AOwner) : TQvCustomPaintBox(AOwner) {
    SetParentColor(false);
    SetColor(clWhite);
    SetBufferOversize(0);
    if (!Designing()) WinControlHelper()->Add(this);
}

TPelluxCustomControl::~TPelluxCustomControl() {
    if (WinControlHelperAssigned()) WinControlHelper()->Remove(this);
}

void TPelluxCustomControl::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TPelluxCustomControl::SetXOffset(int Value) {
    if (FXOffset == Value) return;
    FXOffset = Value;
    Invalidate();
}

void TPelluxCustomControl::SetYOffset(int Value) {
    if (FYOffset == Value) return;
    FYOffset = Value;
    Invalidate();
}

void TPelluxCustomControl::UpdateBuffer() {
    ResizeBuffer();
    if (!BufferValid()) RenderBuffer();
}

void TPelluxCustomControl::RefreshSubControl(bool All) {
    if (Designing() || All) return;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* W = Controls(I)->AsWinControl(); W != nullptr && W->HandleAllocated())
            PostMessage(W->Handle(), MM_REFRESHCONTROL, 0, 0);
}

void TPelluxCustomControl::InvalidateNC() {
    if (!HandleAllocated()) return;
    if (ClientWidth() != Width() || ClientHeight() != Height()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

void TPelluxCustomControl::BackgroundChanging(TSurface32* Buffer, bool& Handled) {
    if (OnBackgroundChanging) OnBackgroundChanging(this, Buffer, Handled);
}

void TPelluxCustomControl::BackgroundChanged(TSurface32* Buffer) {
    if (OnBackgroundChanged) OnBackgroundChanged(this, Buffer);
}

void TPelluxCustomControl::VisibleChanged() {
    if (!Designing() && OnVisibleChanged) OnVisibleChanged(this);
}

void TPelluxCustomControl::CreateParams(TCreateParams& Params) {
    TQvCustomPaintBox::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

void TPelluxCustomControl::RenderBuffer() {
    TSurface32* B = Buffer();
    const TQvAliveCheck Alive = AliveCheck();
    {
        TUpdateBracket Bracket(B);
        bool Handled = false;
        BackgroundChanging(B, Handled);
        if (!Alive.Alive()) return Bracket.Forget();
        if (!Handled) {
            if (FTransparent)
                CopyParentBackground(this, B,
                                     Rect(Left() + FXOffset, Top() + FYOffset, Left() + Width() + FXOffset,
                                          Top() + Height() + FYOffset));
            else
                B->FillRectS(0, 0, Width(), Height(), Opaque(Color()));
        }
        BackgroundChanged(B);
        if (!Alive.Alive()) return Bracket.Forget();
        DrawSkin(B);
        if (!Alive.Alive()) return Bracket.Forget();
    }
    // A control sticking out of its parent rebuilds at every paint: what lies under the
    // part outside is not known.
    const TWinControl* P = Parent();
    SetBufferValid(P != nullptr && P->ClientWidth() >= Left() + Width() && P->ClientHeight() >= Top() + Height());
}

void TPelluxCustomControl::Resize() {
    TSurface32* B = Buffer();
    const TQvAliveCheck Alive = AliveCheck();
    TUpdateBracket Bracket(B);
    TQvCustomPaintBox::Resize();
    if (!Alive.Alive()) return Bracket.Forget();
    B->FillRectS(0, 0, B->Width(), B->Height(), Opaque(Color()));
}

void TPelluxCustomControl::ScaledForPPI(int NewPPI) {
    if (OnDPIChanged) OnDPIChanged(this, NewPPI);
}

void TPelluxCustomControl::WndProc(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    switch (M.Msg) {
        case WM_ERASEBKGND:
            M.Result = 1;
            if (FEraseBackground && M.WParam != 0 && M.LParam == 1) {
                TSurface32* B = Buffer();
                B->Lock();
                BitBlt(reinterpret_cast<HDC>(M.WParam), 0, 0, B->Width(), B->Height(), B->Handle(), 0, 0, SRCCOPY);
                B->Unlock();
            }
            return;
        case CM_VISIBLECHANGED:
            TQvCustomPaintBox::WndProc(M);
            if (Alive.Alive()) VisibleChanged();
            return;
        case WM_MOVE:
            TQvCustomPaintBox::WndProc(M);
            if (Alive.Alive() && FAutoInvalidate) {
                Invalidate();
                RefreshSubControl(false);
            }
            return;
        case WM_SIZE:
            if (FDelayRefresh && !Designing() && HandleAllocated()) {
                FStopDrawBody = true;
                SetTimer(Handle(), DelayRefreshTimer, 10, nullptr);
            }
            break;
        case WM_TIMER:
            if (M.WParam == DelayRefreshTimer) {
                KillTimer(Handle(), DelayRefreshTimer);
                FStopDrawBody = false;
                Invalidate();
                return;
            }
            break;
        case MM_REFRESHCONTROL:
            if (!Designing()) {
                Invalidate();
                InvalidateNC();
            }
            return;
        default:
            break;
    }
    TQvCustomPaintBox::WndProc(M);
}
