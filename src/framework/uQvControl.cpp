#include "framework/uQvControl.h"

#include <algorithm>

#include "framework/uQvActnList.h"
#include "framework/uQvAlign.h"
#include "framework/uQvDragDrop.h"
#include "framework/uQvMenus.h"
#include "framework/uQvWinControl.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

// The control under the mouse and the windowless control holding the capture. Both are
// cleared when their control dies, so they never dangle.
TControl* GMouseControl = nullptr;
TControl* GCaptureControl = nullptr;

// The window a control's capture is held by: its own, or its parent's for windowless ones.
HWND CaptureWindowOf(TControl* C) {
    if (auto* W = C->AsWinControl()) return W->HandleAllocated() ? W->Handle() : nullptr;
    TWinControl* P = C->Parent();
    return (P != nullptr && P->HandleAllocated()) ? P->Handle() : nullptr;
}

TShiftState ShiftOf(const TMessage& M, bool Double) {
    TShiftState S = KeysToShiftState(M.WParam);
    if (Double) S.Include(ssDouble);
    return S;
}

TPoint PointOf(LPARAM L) {
    return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)};
}

}  // namespace

// The link between a control and its action: a property follows the action while the
// control's own value still equals the action's.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* Client) : FClient(Client) {}

protected:
    bool IsCaptionLinked() const override {
        return TActionLink::IsCaptionLinked() && FClient->Caption() == Act().Caption();
    }
    bool IsEnabledLinked() const override {
        return TActionLink::IsEnabledLinked() && FClient->Enabled() == Act().Enabled();
    }
    bool IsHintLinked() const override {
        return TActionLink::IsHintLinked() && FClient->Hint() == Act().Hint();
    }
    bool IsVisibleLinked() const override {
        return TActionLink::IsVisibleLinked() && FClient->Visible() == Act().Visible();
    }
    void SetCaption(const String& Value) override {
        if (IsCaptionLinked()) FClient->SetCaption(Value);
    }
    void SetEnabled(bool Value) override {
        if (IsEnabledLinked()) FClient->SetEnabled(Value);
    }
    void SetHint(const String& Value) override {
        if (IsHintLinked()) FClient->SetHint(Value);
    }
    void SetVisible(bool Value) override {
        if (IsVisibleLinked()) FClient->SetVisible(Value);
    }

private:
    const TCustomAction& Act() const { return *static_cast<const TCustomAction*>(Action()); }
    TControl* FClient;
};

TControl* QvMouseControl() {
    return GMouseControl;
}
TControl* QvCaptureControl() {
    if (GCaptureControl != nullptr && CaptureWindowOf(GCaptureControl) != GetCapture())
        GCaptureControl = nullptr;
    return GCaptureControl;
}

void QvSetMouseControl(TControl* Control) {
    if (Control == GMouseControl) return;
    TControl* Old = GMouseControl;
    GMouseControl = Control;
    // Either may be freed by the other's handler; the globals are cleared when they die.
    if (Old != nullptr) Old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Old));
    if (Control != nullptr && GMouseControl == Control)
        Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

TWinControl* GetRootControl(const TControl* Control) {
    if (Control == nullptr) return nullptr;
    const TControl* C = Control;
    while (C->Parent() != nullptr) C = C->Parent();
    return const_cast<TControl*>(C)->AsWinControl();
}

// ---- Construction ---------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FMargins(std::make_unique<TMargins>(this)),
      FConstraints(std::make_unique<TSizeConstraints>(this)),
      FFont(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& M) { WndProc(M); };
    FFont->OnChange = [this](TObject*) { FontObjectChanged(); };
    FMargins->OnChange = [this](TObject*) {
        if (FAlignWithMargins) RequestAlign();
    };
    FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
}

TControl::~TControl() {
    *FAlive = false;
    TQvDragDrop::ControlGone(this);
    if (GMouseControl == this) GMouseControl = nullptr;
    if (GCaptureControl == this) {
        GCaptureControl = nullptr;
        if (TWinControl* P = FParent; P != nullptr && P->HandleAllocated() && GetCapture() == P->Handle())
            ReleaseCapture();
    }
    if (FParent != nullptr) FParent->RemoveControl(this);
}

// ---- Parent ---------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent != nullptr) FParent->RemoveControl(this);
    if (AParent != nullptr) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* P = dynamic_cast<TWinControl*>(Value)) SetParent(P);
}

// ---- Bounds ---------------------------------------------------------------------------

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool Resize = true;
    if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, Resize);
    return Resize;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::CheckNewSize(int& W, int& H) {
    W = std::max(0, W);
    H = std::max(0, H);
    if ((W != FWidth || H != FHeight) && !CanResize(W, H)) {
        W = FWidth;
        H = FHeight;
    }
    int MinW = FConstraints->MinWidth(), MinH = FConstraints->MinHeight();
    int MaxW = FConstraints->MaxWidth(), MaxH = FConstraints->MaxHeight();
    ConstrainedResize(MinW, MinH, MaxW, MaxH);
    if (MaxW > 0) W = std::min(W, MaxW);
    if (MaxH > 0) H = std::min(H, MaxH);
    W = std::max(W, MinW);
    H = std::max(H, MinH);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int W = AWidth, H = AHeight;
    CheckNewSize(W, H);
    if (ALeft == FLeft && ATop == FTop && W == FWidth && H == FHeight) return;
    const bool Sized = W != FWidth || H != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = W;
    FHeight = H;
    Invalidate();
    UpdateAnchorRules();
    RequestAlign();
    if (Sized) Resize();
}

TRect TControl::GetClientRect() const {
    return Rect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value) {
    SetWidth(FWidth - ClientWidth() + Value);
}
void TControl::SetClientHeight(int Value) {
    SetHeight(FHeight - ClientHeight() + Value);
}

TPoint TControl::ClientOrigin() const {
    if (FParent == nullptr) return TPoint{FLeft, FTop};
    const TPoint P = FParent->ClientOrigin();
    return TPoint{P.X + FLeft, P.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) const {
    const TPoint O = ClientOrigin();
    return TPoint{P.X + O.X, P.Y + O.Y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
    const TPoint O = ClientOrigin();
    return TPoint{P.X - O.X, P.Y - O.Y};
}

TRect TControl::ScreenRect() const {
    const TPoint O = FParent != nullptr ? FParent->ClientOrigin() : TPoint{};
    return Bounds(O.X + FLeft, O.Y + FTop, FWidth, FHeight);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

// ---- Layout ---------------------------------------------------------------------------

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    const TAlign Old = FAlign;
    FAlign = Value;
    UpdateAnchorRules();
    // Aligned controls keep the anchors of their side, as the designer sets them.
    if (Old == alNone || FAnchors == AnchorAlign[Old]) FAnchors = AnchorAlign[Value];
    RequestAlign();
}

void TControl::SetAlignWithMargins(bool Value) {
    if (FAlignWithMargins == Value) return;
    FAlignWithMargins = Value;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (FParent == nullptr || FParent->FRealigning) return;
    FAnchorOrigin = BoundsRect();
    const TRect C = FParent->GetClientRect();
    FAnchorParent = TSize{C.Width(), C.Height()};
}

void TControl::ApplyAnchors(TSize NewParent) {
    if (FAlign != alNone || FAnchors == TAnchors{akLeft, akTop}) return;
    if (FAnchorParent.cx <= 0 && FAnchorParent.cy <= 0) return;
    SetBoundsRect(QvAnchoredBounds(FAnchorOrigin, FAnchorParent, NewParent, FAnchors));
}

void TControl::RequestAlign() {
    if (FParent != nullptr) FParent->AlignControl(this);
}

// ---- State ----------------------------------------------------------------------------

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    const TQvAliveCheck Alive = AliveCheck();
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (Alive.Alive()) RequestAlign();
}

void TControl::Show() {
    SetVisible(true);
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

// ---- Looks ----------------------------------------------------------------------------

void TControl::FontObjectChanged() {
    if (!FSettingParentFont) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || FParent == nullptr) return;
    FSettingParentFont = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FSettingParentFont = false;
        throw;
    }
    FSettingParentFont = false;
}

void TControl::SetColor(TColor Value) {
    FParentColor = false;
    if (FColor == Value) return;
    FColor = Value;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || FParent == nullptr || FColor == FParent->Color()) return;
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::SetText(const String& Value) {
    if (FText == Value) return;
    FText = Value;
    if (auto* W = AsWinControl(); W != nullptr && W->HandleAllocated())
        SetWindowText(W->Handle(), FText.c_str());
    Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (FShowHint == Value) return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value && FParent != nullptr && FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu != nullptr) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
}

TBasicAction* TControl::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
    if (Value == nullptr) {
        if (FActionLink && FActionLink->Action() != nullptr)
            FActionLink->Action()->RemoveFreeNotification(this);
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
    FActionLink->SetAction(Value);
    Value->FreeNotification(this);
    // The control takes what it does not have of its own yet.
    if (const auto* A = dynamic_cast<const TCustomAction*>(Value)) {
        if (FText.empty()) SetCaption(A->Caption());
        if (FHint.empty()) SetHint(A->Hint());
        SetEnabled(A->Enabled());
        SetVisible(A->Visible());
    }
}

// ---- Scaling --------------------------------------------------------------------------

void TControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    const int L = MulDiv(FLeft, M, D), T = MulDiv(FTop, M, D);
    const int W = MulDiv(FLeft + FWidth, M, D) - L, H = MulDiv(FTop + FHeight, M, D) - T;
    FMargins->SetBounds(MulDiv(FMargins->Left(), M, D), MulDiv(FMargins->Top(), M, D),
                        MulDiv(FMargins->Right(), M, D), MulDiv(FMargins->Bottom(), M, D));
    FConstraints->ScaleQuietly(M, D);
    if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    SetBounds(L, T, W, H);
}

void TControl::ScaleForPPI(int NewPPI, int OldPPI) {
    const int Old = OldPPI > 0 ? OldPPI : FCurrentPPI;
    if (NewPPI <= 0 || (NewPPI == Old && NewPPI == FCurrentPPI)) return;
    ChangeScale(NewPPI, Old);
    std::vector<TControl*> Pending{this}, Scaled;
    while (!Pending.empty()) {
        TControl* C = Pending.back();
        Pending.pop_back();
        C->FCurrentPPI = NewPPI;
        Scaled.push_back(C);
        if (auto* W = C->AsWinControl())
            for (TControl* K : W->FControls) Pending.push_back(K);
    }
    // Handlers may free controls of the tree: each is told only while it lives.
    std::vector<TQvAliveCheck> Alive;
    for (TControl* C : Scaled) Alive.push_back(C->AliveCheck());
    for (size_t I = 0; I < Scaled.size(); ++I)
        if (Alive[I].Alive()) Scaled[I]->ScaledForPPI(NewPPI);
}

// ---- Painting -------------------------------------------------------------------------

void TControl::Invalidate() {
    if (FParent == nullptr || !FParent->HandleAllocated() || !FVisible) return;
    const TRect R = BoundsRect();
    InvalidateRect(FParent->Handle(), &R, !FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
    if (FParent != nullptr) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (FParent != nullptr) {
        auto& L = FParent->FControls;
        L.erase(std::find(L.begin(), L.end(), this));
        L.push_back(this);
    }
    if (auto* W = AsWinControl(); W != nullptr && W->HandleAllocated())
        SetWindowPos(W->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (FParent != nullptr) {
        auto& L = FParent->FControls;
        L.erase(std::find(L.begin(), L.end(), this));
        L.insert(L.begin(), this);
    }
    if (auto* W = AsWinControl(); W != nullptr && W->HandleAllocated())
        SetWindowPos(W->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

// ---- Mouse ----------------------------------------------------------------------------

bool TControl::MouseCapture() const {
    return QvCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    GCaptureControl = nullptr;
    if (!Value) {
        ReleaseCapture();
        return;
    }
    HWND H = nullptr;
    if (auto* W = AsWinControl())
        H = W->Handle();
    else if (FParent != nullptr)
        H = FParent->Handle();
    if (H == nullptr) return;
    SetCapture(H);
    if (GetCapture() == H) GCaptureControl = this;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    TQvDragDrop::Begin(this, nullptr, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
    if (Dragging()) TQvDragDrop::End(Drop);
}

bool TControl::Dragging() const {
    const auto* O = dynamic_cast<const TDragControlObject*>(TQvDragDrop::Object());
    return O != nullptr && O->Control() == this;
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::Click() {
    // Called through a copy: a handler may free this control (a form closed and freed from
    // its own button), and with it the handler object that is running.
    if (OnClick) {
        const TNotifyEvent Handler = OnClick;
        Handler(this);
    } else if (FActionLink) {
        FActionLink->Execute(this);
    }
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool Handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
    if (Handled) return true;
    if (WheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Handled);
    if (WheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Handled);
    return Handled;
}

void TControl::SendCancelMode(TControl* Sender) {
    TWinControl* Root = GetRootControl(this);
    if (Root == nullptr) return;
    TWinControl* Focus = Root->FFocusedControl;
    if (Focus != nullptr && Focus != Sender)
        Focus->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

void TControl::HandleMouseMessage(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    const TPoint P = PointOf(M.LParam);
    TMouseButton Button = mbLeft;
    switch (M.Msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            Button = mbRight;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            Button = mbMiddle;
            break;
        default:
            break;
    }
    switch (M.Msg) {
        case WM_MOUSEMOVE:
            MouseMove(ShiftOf(M, false), P.X, P.Y);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: {
            const bool Double =
                M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_RBUTTONDBLCLK || M.Msg == WM_MBUTTONDBLCLK;
            SendCancelMode(this);
            if (!Alive.Alive()) return;
            if (Button == mbLeft && FDragMode == dmAutomatic && !Double) {
                BeginDrag(false);
                return;
            }
            if (Button == mbLeft) {
                if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
                if (FControlStyle.Contains(csClickEvents)) {
                    if (Double)
                        DblClick();
                    else
                        FControlState.Include(csClicked);
                }
                if (!Alive.Alive()) return;
                FControlState.Include(csLButtonDown);
            }
            MouseDown(Button, ShiftOf(M, Double), P.X, P.Y);
            return;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (Button == mbLeft) {
                FControlState.Exclude(csLButtonDown);
                if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
                if (FControlState.Contains(csClicked)) {
                    FControlState.Exclude(csClicked);
                    if (PtInRect(GetClientRect(), P)) Click();
                    if (!Alive.Alive()) return;
                }
            }
            MouseUp(Button, ShiftOf(M, false), P.X, P.Y);
            return;
        default:
            return;
    }
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::HandleContextMenu(TMessage& M) {
    if (M.Result != 0) return;
    const TQvAliveCheck Alive = AliveCheck();
    TPoint Pt = PointOf(M.LParam);
    const bool FromKeyboard = Pt.X == -1 && Pt.Y == -1;
    bool Handled = false;
    DoContextPopup(FromKeyboard ? Pt : ScreenToClient(Pt), Handled);
    if (!Alive.Alive() || Handled) {
        M.Result = 1;
        return;
    }
    TPopupMenu* Menu = FPopupMenu;
    if (Menu == nullptr || !Menu->AutoPopup()) return;
    if (FromKeyboard) Pt = ClientToScreen(TPoint{0, 0});
    Menu->SetPopupComponent(this);
    Menu->Popup(Pt.X, Pt.Y);
    M.Result = 1;
}

// ---- Messages -------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage M{Msg, WParam, LParam, 0};
    // The procedure may be replaced (or the control freed) while it runs: call a copy.
    const TWndMethod Proc = WindowProc;
    if (Proc) Proc(M);
    return M.Result;
}

void TControl::DefaultHandler(TMessage& Message) {
    Message.Result = 0;
}

void TControl::WndProc(TMessage& M) {
    if ((M.Msg >= WM_MOUSEFIRST && M.Msg <= WM_MBUTTONDBLCLK) && M.Msg != WM_MOUSEWHEEL) {
        HandleMouseMessage(M);
        return;
    }
    switch (M.Msg) {
        case WM_CONTEXTMENU:
            HandleContextMenu(M);
            if (M.Result == 0) DefaultHandler(M);
            return;
        case CM_MOUSEENTER:
            if (OnMouseEnter) OnMouseEnter(this);
            return;
        case CM_MOUSELEAVE:
            if (OnMouseLeave) OnMouseLeave(this);
            return;
        case CM_MOUSEWHEEL: {
            const TPoint P = PointOf(M.LParam);
            const int Delta = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(M.WParam)));
            M.Result =
                DoMouseWheel(KeysToShiftState(LOWORD(static_cast<uintptr_t>(M.WParam))), Delta, P) ? 1 : 0;
            return;
        }
        case CM_VISIBLECHANGED:
            if (FParent != nullptr && FParent->HandleAllocated()) {
                const TRect R = BoundsRect();
                InvalidateRect(FParent->Handle(), &R, TRUE);
            }
            return;
        case CM_ENABLEDCHANGED:
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
            Invalidate();
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return;
        case CM_PARENTSHOWHINTCHANGED:
            if (FParentShowHint && FParent != nullptr && FShowHint != FParent->ShowHint()) {
                FShowHint = FParent->ShowHint();
                Perform(CM_SHOWHINTCHANGED);
            }
            return;
        case CM_HITTEST:
            M.Result = HTCLIENT;
            return;
        default:
            DefaultHandler(M);
            return;
    }
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParentFont) ParentFontChanged();
    if (FParentColor) ParentColorChanged();
    UpdateAnchorRules();
    RequestAlign();
}
