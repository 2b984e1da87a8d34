#include "forms/uPelluxNCCtrlBase.h"

#include "draw/uPelluxDPI.h"
#include "forms/uPelluxForm.h"
#include "framework/uQvForms.h"
#include "framework/uQvHints.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

bool PelluxNCCursorShown = false;

// ---- TNCCtrlPos ---------------------------------------------------------------------------

TNCCtrlPos::TNCCtrlPos(TCustomForm* AForm) : FForm(AForm) {}

void TNCCtrlPos::Changed() {
    if (!FLocked && OnChanged) OnChanged(this);
}

void TNCCtrlPos::SetAlign(TNCCtrlAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    Changed();
}

void TNCCtrlPos::SetXValue(int Value) {
    if (FXValue == Value) return;
    FXValue = Value;
    Changed();
}

void TNCCtrlPos::SetYValue(int Value) {
    if (FYValue == Value) return;
    FYValue = Value;
    Changed();
}

int TNCCtrlPos::DisplayWidth() const {
    return ScaleByDPI(FForm, FWidth);
}

int TNCCtrlPos::DisplayHeight() const {
    return ScaleByDPI(FForm, FHeight);
}

int TNCCtrlPos::DisplayX() const {
    switch (FAlign) {
        case caLeft:
            return ScaleByDPI(FForm, FXValue);
        case caRight:
            return (FForm != nullptr ? FForm->Width() : 0) - ScaleByDPI(FForm, FXValue);
    }
    return 0;
}

int TNCCtrlPos::DisplayY() const {
    return ScaleByDPI(FForm, FYValue);
}

void TNCCtrlPos::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TNCCtrlPos*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    const bool Differs = FAlign != From->FAlign || FXValue != From->FXValue || FYValue != From->FYValue;
    FAlign = From->FAlign;
    FXValue = From->FXValue;
    FYValue = From->FYValue;
    FUseDefault = From->FUseDefault;
    if (Differs) Changed();
}

// ---- TPelluxNCCtrlBase --------------------------------------------------------------------

TPelluxNCCtrlBase::TPelluxNCCtrlBase(TComponent* AOwner)
    : TComponent(AOwner),
      FForm(dynamic_cast<TCustomForm*>(AOwner)),
      FPos(std::make_unique<TNCCtrlPos>(FForm)) {
    FPos->OnChanged = [this](TObject*) { PosChanged(); };
    if (ComponentState().Contains(csDesigning)) return;
    FTimer = std::make_unique<TSimpleTimer>(100, [this](TObject*) { DoTimer(); });
    FTimer->SetEnabled(true);
    Register();
}

TPelluxNCCtrlBase::~TPelluxNCCtrlBase() {
    *FAlive = false;
    if (FPress.Inside() && PelluxNCCursorShown) PelluxNCCursorShown = false;
}

void TPelluxNCCtrlBase::PosChanged() {
    FOldPos = TPoint{FPos->XValue(), FPos->YValue()};
}

void TPelluxNCCtrlBase::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Invalidate();
}

void TPelluxNCCtrlBase::SetSourceForm(TCustomForm* Value) {
    if (FSourceForm == Value) return;
    if (FSourceForm != nullptr) RemoveFreeNotification(FSourceForm);
    FSourceForm = Value;
    if (Value != nullptr) FreeNotification(Value);
}

void TPelluxNCCtrlBase::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FSourceForm) FSourceForm = nullptr;
    if (AComponent == FHintWindow) FHintWindow = nullptr;
}

bool TPelluxNCCtrlBase::FormMaximized() const {
    return FForm != nullptr && FForm->HandleAllocated() && IsZoomed(FForm->Handle());
}

void TPelluxNCCtrlBase::Invalidate() {
    if (ComponentState().Contains(csDesigning) || FForm == nullptr || !FForm->HandleAllocated()) return;
    FForm->Perform(MM_NCPAINT, 0, 0);
}

void TPelluxNCCtrlBase::Register() {
    if (FHooked || FForm == nullptr || !FForm->HandleAllocated()) return;
    PostMessage(FForm->Handle(), MM_ADDNCCTRL, reinterpret_cast<WPARAM>(this), 0);
}

void TPelluxNCCtrlBase::RemoveSelf() {
    if (FParentObject != nullptr && FForm != nullptr && FForm->HandleAllocated()) {
        SendMessage(FForm->Handle(), MM_REMOVENCCTRL, reinterpret_cast<WPARAM>(this), 0);
        return;
    }
    // Not listed anywhere: nothing can be dispatching to it.
    delete this;
}

void TPelluxNCCtrlBase::SetTimerInterval(UINT Ms) {
    if (FTimer) FTimer->SetInterval(Ms);
}

void TPelluxNCCtrlBase::Raise(const TNotifyEvent& Event) {
    if (Event) Event(this);
}

bool TPelluxNCCtrlBase::PointInside(TPoint Screen) {
    if (FForm == nullptr || !FForm->HandleAllocated()) return false;
    RECT W;
    GetWindowRect(FForm->Handle(), &W);
    return PtInRect(GetClientRect(), TPoint{Screen.X - W.Left, Screen.Y - W.Top});
}

void TPelluxNCCtrlBase::NCMouseMove(TPoint P) {
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    const bool Inside = PointInside(P);
    if (Inside) MouseHover();
    if (!Alive.Alive() || Inside == FPress.Inside()) return;
    if (Inside) {
        FPress.Enter();
        MouseEnter();
    } else {
        FPress.Leave();
        MouseLeave();
    }
}

void TPelluxNCCtrlBase::DoTimer() {
    const TBusy Busy(this);
    Register();
    if (!FPress.Inside()) return;
    // Leaving the window, or leaving the control into the form's own client area (no
    // non-client move tells of that), ends the hover.
    POINT Cursor;
    const bool Known = GetCursorPos(&Cursor);
    const bool OnForm =
        Known && FForm != nullptr && FForm->HandleAllocated() && WindowFromPoint(Cursor) == FForm->Handle();
    if (OnForm && PointInside(Cursor)) return;
    FPress.Leave();
    MouseLeave();
}

void TPelluxNCCtrlBase::MouseEnter() {
    if (!FVisible) return;
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    Invalidate();
    if (!FHint.empty()) {
        POINT Cursor;
        if (GetCursorPos(&Cursor)) ShowHintAt(Cursor);
    }
    if (Alive.Alive()) Raise(OnMouseEnter);
}

void TPelluxNCCtrlBase::MouseLeave() {
    if (!FVisible) return;
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    Invalidate();
    HideHint();
    if (Alive.Alive()) Raise(OnMouseLeave);
}

void TPelluxNCCtrlBase::ShowHintAt(TPoint Cursor) {
    if (FHintWindow == nullptr) {
        FHintWindow = new THintWindow(this);
        FreeNotification(FHintWindow);
    }
    const HDC Dc = CreateCompatibleDC(nullptr);
    TCanvas* Canvas = FHintWindow->Canvas();
    Canvas->SetHandle(Dc);
    const TSize Text = Canvas->TextExtent(FHint);
    Canvas->SetHandle(nullptr);
    DeleteDC(Dc);
    const int X = Cursor.X + 16, Y = Cursor.Y + 16;
    FHintWindow->ActivateHint(Rect(X, Y, X + Text.cx + 8, Cursor.Y + Text.cy + 18), FHint);
}

void TPelluxNCCtrlBase::HideHint() {
    if (FHintWindow != nullptr) FHintWindow->ReleaseHandle();
}

int TPelluxNCCtrlBase::GetWidth() {
    return FPos->Width();
}

int TPelluxNCCtrlBase::GetHeight() {
    return FPos->Height();
}

TRect TPelluxNCCtrlBase::GetClientRect() {
    const int X = FPos->DisplayX() + FClientRectOffset.X, Y = FPos->DisplayY() + FClientRectOffset.Y;
    return Rect(X, Y, X + GetWidth(), Y + GetHeight());
}

void TPelluxNCCtrlBase::LMouseDown() {
    const TBusy Busy(this);
    Invalidate();
    Raise(OnLMouseDown);
}

void TPelluxNCCtrlBase::LMouseUp() {
    const TBusy Busy(this);
    Invalidate();
    Raise(OnLMouseUp);
}

void TPelluxNCCtrlBase::Paint(TSurface32*) {
    // One designed unit up and to the side while maximized, where the frame is gone.
    const int Shift = FormMaximized() ? 1 : 0;
    FPos->Lock();
    FPos->SetXValue(FOldPos.X - Shift);
    FPos->SetYValue(FOldPos.Y - Shift);
    FPos->UnLock();
}

void TPelluxNCCtrlBase::DPIChanged() {
    if (OnDPIChanged) OnDPIChanged(this, FForm != nullptr ? FForm->CurrentPPI() : USER_DEFAULT_SCREEN_DPI);
}

// ---- Registration -------------------------------------------------------------------------

void RegisterPelluxNCCtrlBase() {
    RegisterEnum<TNCCtrlAlign>(u"TNCCtrlAlign", {u"caLeft", u"caRight"});
    RegisterEnum<TSideKind>(u"TSideKind", {u"skdTop", u"skdBottom", u"skdLeft", u"skdRight"});
    RegisterClass<TNCCtrlPos, TPersistent>(u"TNCCtrlPos")
        .Prop(u"Align", &TNCCtrlPos::Align, &TNCCtrlPos::SetAlign, caLeft)
        .Prop(u"XValue", &TNCCtrlPos::XValue, &TNCCtrlPos::SetXValue, 0)
        .Prop(u"YValue", &TNCCtrlPos::YValue, &TNCCtrlPos::SetYValue, 0)
        .Prop(u"UseDefault", &TNCCtrlPos::UseDefault, &TNCCtrlPos::SetUseDefault, false);
    RegisterClass<TPelluxNCCtrlBase, TComponent>(u"TPelluxNCCtrlBase")
        .Prop(u"PutSide", &TPelluxNCCtrlBase::PutSide, &TPelluxNCCtrlBase::SetPutSide, skdTop)
        .Object(u"Pos", &TPelluxNCCtrlBase::Pos)
        .Prop(u"Hint", &TPelluxNCCtrlBase::Hint, &TPelluxNCCtrlBase::SetHint, u"")
        .Prop(u"Visible", &TPelluxNCCtrlBase::Visible, &TPelluxNCCtrlBase::SetVisible, true);
}
