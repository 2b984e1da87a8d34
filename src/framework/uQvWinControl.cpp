#include "framework/uQvWinControl.h"

#include <algorithm>
#include <utility>

#include "framework/uQvAlign.h"
#include "framework/uQvApplication.h"
#include "framework/uQvHintCycle.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvDragDrop.h"
#include "platform/uQvColor.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvInput.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

// The window property that leads from a window to its control (hit testing under the
// mouse needs it; messages reach the control through its method).
constexpr Char ControlProp[] = u"QvControl";

TWinControl* ControlOfWindow(HWND H) {
    return static_cast<TWinControl*>(GetProp(H, ControlProp));
}

TControl* ControlAtScreen(TPoint Screen) {
    return FindDragTarget(Screen, false);
}

bool IsMouseMessage(UINT Msg) {
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK && Msg != WM_MOUSEWHEEL;
}

}  // namespace

TControl* FindDragTarget(TPoint Screen, bool AllowDisabled) {
    const HWND H = WindowFromPoint(Screen);
    TWinControl* W = H != nullptr ? ControlOfWindow(H) : nullptr;
    if (W == nullptr) return nullptr;
    if (TControl* G = W->ControlAtPos(W->ScreenToClient(Screen), AllowDisabled)) return G;
    return W;
}

// ---- Construction ---------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    *FAlive = false;
    // Children owned elsewhere leave; the others are this control's to free.
    while (!FControls.empty()) {
        TControl* C = FControls.back();
        if (C->Owner() == nullptr)
            delete C;
        else
            RemoveControl(C);
    }
    DestroyHandle();
    if (Parent() != nullptr) Parent()->RemoveControl(this);
}

// ---- Window ---------------------------------------------------------------------------

HWND TWinControl::Handle() {
    if (FHandle == nullptr) CreateHandle();
    return FHandle;
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParentWindow == Value) return;
    if (Parent() == nullptr) DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = Text();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle().Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = Parent() != nullptr ? Parent()->Handle() : FParentWindow;
    Params.ClassStyle = CS_VREDRAW | CS_HREDRAW;
    if (ControlStyle().Contains(csDoubleClicks)) Params.ClassStyle |= CS_DBLCLKS;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams P;
    CreateParams(P);
    if ((P.Style & WS_CHILD) && P.WndParent == nullptr)
        throw EInvalidOperation(Format(u"Control '%s' has no parent window", {Name()}));
    if (!GetClassInfo(nullptr, P.WinClassName.c_str(), nullptr)) {
        WNDCLASS C;
        C.style = P.ClassStyle;
        C.lpfnWndProc = DefWindowProc;
        C.hbrBackground = P.Background;
        C.lpszClassName = P.WinClassName.c_str();
        RegisterClass(&C);
    }
    const TQvAliveCheck Alive = AliveCheck();
    QvCreateWindowWithMethod(
        P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y, P.Width, P.Height,
        P.WndParent, nullptr,
        [this, Alive](TMessage& M) {
            if (Alive.Alive()) MainWndProc(M);
        },
        &FHandle);
    if (FHandle == nullptr) throw EInvalidOperation(Format(u"Error creating window for '%s'", {Name()}));
}

void TWinControl::CreateHandle() {
    if (FHandle != nullptr) return;
    if (Parent() != nullptr) Parent()->HandleNeeded();
    CreateWnd();
    SetProp(FHandle, ControlProp, this);
    if (Parent() == nullptr) QvRootControlShown(this);
    // A child window made late goes behind the windowed siblings in front of it.
    if (TWinControl* P = Parent()) {
        auto& L = P->FControls;
        auto It = std::find(L.begin(), L.end(), this);
        HWND Above = HWND_TOP;
        for (++It; It != L.end(); ++It)
            if (auto* W = (*It)->AsWinControl(); W != nullptr && W->FHandle != nullptr) {
                Above = W->FHandle;
                break;
            }
        if (Above != HWND_TOP)
            SetWindowPos(FHandle, Above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    UpdateBounds();
}

void TWinControl::DestroyWnd() {
    const HWND H = FHandle;
    QvRootControlGone(this);
    RemoveProp(H, ControlProp);
    DestroyWindow(H);
    FHandle = nullptr;
}

void TWinControl::DestroyHandle() {
    if (FHandle == nullptr) return;
    SetControlState(ControlState() + csDestroyingHandle);
    for (TControl* C : FControls)
        if (auto* W = C->AsWinControl()) W->DestroyHandle();
    DestroyWnd();
    FShowing = false;
    SetControlState(ControlState() - csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
    if (FHandle == nullptr) return;
    // The focus may be here or in a child; it comes back to the same control.
    TWinControl* Root = GetRootControl(this);
    TWinControl* Focus = Root != nullptr ? Root->FFocusedControl : nullptr;
    if (Focus != nullptr && !(ContainsControl(Focus) && Focus->Focused())) Focus = nullptr;
    const TQvAliveCheck FocusAlive = (Focus != nullptr ? Focus : this)->AliveCheck();
    SetControlState(ControlState() + csRecreating);
    DestroyHandle();
    UpdateControlState();
    SetControlState(ControlState() - csRecreating);
    if (Focus != nullptr && FocusAlive.Alive()) Focus->SetFocus();
}

bool TWinControl::CanBeRoot() const {
    return FParentWindow != nullptr;
}

void TWinControl::UpdateControlState() {
    bool ChainShows = CanBeRoot() || Parent() != nullptr;
    for (const TWinControl* P = Parent(); P != nullptr && ChainShows; P = P->Parent())
        ChainShows = P->Visible() && (P->Parent() != nullptr || P->CanBeRoot()) && P->FHandle != nullptr;
    UpdateShowing(ChainShows);
}

void TWinControl::UpdateShowing(bool ParentShows) {
    const bool Show = Visible() && ParentShows;
    const TQvAliveCheck Alive = AliveCheck();
    if (Show && FHandle == nullptr) CreateHandle();
    // Children first when showing, so the window appears whole; after when hiding.
    if (Show)
        for (TControl* C : std::vector<TControl*>(FControls))
            if (auto* W = C->AsWinControl(); W != nullptr && W->Parent() == this)
                W->UpdateShowing(true);
    if (!Alive.Alive()) return;
    if (FHandle != nullptr && FShowing != Show) {
        FShowing = Show;
        Perform(CM_SHOWINGCHANGED);
        if (!Alive.Alive()) return;
    }
    if (!Show)
        for (TControl* C : std::vector<TControl*>(FControls))
            if (auto* W = C->AsWinControl(); W != nullptr && W->Parent() == this)
                W->UpdateShowing(false);
}

void TWinControl::UpdateBounds() {
    if (FHandle == nullptr) return;
    RECT R;
    GetWindowRect(FHandle, &R);
    if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
        const HWND P = ::GetParent(FHandle);
        MapWindowPoints(nullptr, P, reinterpret_cast<POINT*>(&R), 2);
    }
    const bool Sized = R.Width() != FWidth || R.Height() != FHeight;
    FLeft = R.Left;
    FTop = R.Top;
    FWidth = R.Width();
    FHeight = R.Height();
    if (Sized) UpdateAnchorRules();
}

// ---- Children -------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) RaiseListIndexError(Index);
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl* C) {
    if (C == nullptr || C->FParent == this) return;
    for (const TControl* P = this; P != nullptr; P = P->Parent())
        if (P == C) throw EInvalidOperation("A control cannot be placed inside itself");
    if (C->FParent != nullptr) C->FParent->RemoveControl(C);
    C->FParent = this;
    FControls.push_back(C);
    auto* W = C->AsWinControl();
    if (W != nullptr) {
        FTabList.push_back(W);
        if (W->FPendingTabOrder >= 0) W->SetTabOrder(std::exchange(W->FPendingTabOrder, -1));
    }
    if (!ComponentState().Contains(csLoading) && C->FCurrentPPI != FCurrentPPI) C->ScaleForPPI(FCurrentPPI);
    C->ParentFontChanged();
    C->ParentColorChanged();
    if (C->FParentShowHint) C->FShowHint = ShowHint();
    C->UpdateAnchorRules();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(C), 1);
    if (W != nullptr) W->UpdateControlState();
    AlignControl(C);
    C->Invalidate();
}

void TWinControl::RemoveControl(TControl* C) {
    auto It = std::find(FControls.begin(), FControls.end(), C);
    if (It == FControls.end()) return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(C), 0);
    if (auto* W = C->AsWinControl()) {
        if (TWinControl* Root = GetRootControl(this)) {
            if (Root->FFocusedControl != nullptr &&
                (Root->FFocusedControl == W || W->ContainsControl(Root->FFocusedControl)))
                Root->FFocusedControl = nullptr;
            if (Root->FActiveControl != nullptr &&
                (Root->FActiveControl == W || W->ContainsControl(Root->FActiveControl)))
                Root->FActiveControl = nullptr;
        }
        W->DestroyHandle();
        RemoveFromTabList(W);
    } else {
        C->Invalidate();
    }
    if (QvCaptureControl() == C) C->SetMouseCapture(false);
    It = std::find(FControls.begin(), FControls.end(), C);
    if (It != FControls.end()) FControls.erase(It);
    C->FParent = nullptr;
    if (C->Align() != alNone && C->Visible()) Realign();
}

void TWinControl::RemoveFromTabList(TWinControl* W) {
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), W), FTabList.end());
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* C = Control; C != nullptr; C = C->Parent())
        if (C == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        TControl* C = *It;
        if (!AllowWinControls && C->AsWinControl() != nullptr) continue;
        if (!C->Visible() || (!AllowDisabled && !C->Enabled())) continue;
        if (!PtInRect(C->BoundsRect(), Pos)) continue;
        const TPoint Local{Pos.X - C->Left(), Pos.Y - C->Top()};
        if (C->Perform(CM_HITTEST, 0, MAKELPARAM(Local.X, Local.Y)) != 0) return C;
    }
    return nullptr;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TControl* C : FControls)
        if (C->Owner() == Root) Proc(C);
}

// ---- Layout ---------------------------------------------------------------------------

TRect TWinControl::GetClientRect() const {
    if (FHandle == nullptr) return TControl::GetClientRect();
    RECT R;
    ::GetClientRect(FHandle, &R);
    return R;
}

TPoint TWinControl::ClientOrigin() const {
    if (FHandle == nullptr) return TControl::ClientOrigin();
    POINT P{0, 0};
    ::ClientToScreen(FHandle, &P);
    return P;
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::DisableAlign() {
    ++FAlignLevel;
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && ControlState().Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControl(TControl* AControl) {
    if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || FRealigning) {
        SetControlState(ControlState() + csAlignmentNeeded);
        return;
    }
    SetControlState(ControlState() - csAlignmentNeeded);
    TRect R = GetClientRect();
    AdjustClientRect(R);
    AlignControls(AControl, R);
}

void TWinControl::Realign() {
    AlignControl(nullptr);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    FRealigning = true;
    const TQvAliveCheck Alive = AliveCheck();
    try {
        const TRect C = GetClientRect();
        const TSize Now{C.Width(), C.Height()};
        for (TControl* K : std::vector<TControl*>(FControls)) K->ApplyAnchors(Now);
        std::vector<TQvAlignEntry> Entries;
        std::vector<TControl*> Aligned;
        for (size_t I = 0; I < FControls.size(); ++I) {
            TControl* K = FControls[I];
            if (K->Align() == alNone || K->Align() == alCustom || !K->Visible()) continue;
            TQvAlignEntry E;
            E.Align = K->Align();
            E.Bounds = K->BoundsRect();
            E.Margins = K->AlignWithMargins() ? K->Margins()->AsRect() : TRect{};
            E.Order = static_cast<int>(I);
            E.Constraints = K->Constraints();
            Entries.push_back(E);
            Aligned.push_back(K);
        }
        QvAlignEntries(Rect, Entries);
        for (size_t I = 0; I < Aligned.size() && Alive.Alive(); ++I)
            Aligned[I]->SetBoundsRect(Entries[I].Bounds);
    } catch (...) {
        if (Alive.Alive()) FRealigning = false;
        throw;
    }
    if (Alive.Alive()) FRealigning = false;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FHandle == nullptr) {
        const TSize Old{FWidth, FHeight};
        TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (Old != TSize{FWidth, FHeight}) Realign();
        return;
    }
    int W = AWidth, H = AHeight;
    CheckNewSize(W, H);
    if (ALeft == FLeft && ATop == FTop && W == FWidth && H == FHeight) return;
    // The window's WM_WINDOWPOSCHANGED brings the bounds back (UpdateBounds) and WM_SIZE
    // realigns and raises OnResize.
    const TQvAliveCheck Alive = AliveCheck();
    SetWindowPos(FHandle, nullptr, ALeft, ATop, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Alive.Alive()) return;
    UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    DisableAlign();
    try {
        for (TControl* C : std::vector<TControl*>(FControls)) C->ChangeScale(M, D);
        TControl::ChangeScale(M, D);
        // The children were scaled against the old size: anchored ones must not move again
        // when the realignment below sees the new one.
        for (TControl* C : FControls) C->UpdateAnchorRules();
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

// ---- Focus ----------------------------------------------------------------------------

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    const auto& L = Parent()->FTabList;
    return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (Parent() == nullptr) {
        FPendingTabOrder = Value;
        return;
    }
    auto& L = Parent()->FTabList;
    L.erase(std::find(L.begin(), L.end(), this));
    const int N = static_cast<int>(L.size());
    L.insert(L.begin() + std::clamp(Value, 0, N), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* C = this; C != nullptr; C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    return FHandle != nullptr && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) return;
    TWinControl* Root = GetRootControl(this);
    if (Root != this && Root != nullptr && !(Root->FShowing && GetActiveWindow() == Root->FHandle)) {
        Root->FActiveControl = this;
        return;
    }
    ::SetFocus(Handle());
}

void TWinControl::SetActiveControl(TWinControl* Control) {
    if (Control != nullptr && !ContainsControl(Control)) return;
    FActiveControl = Control;
    if (Control != nullptr && FShowing && GetActiveWindow() == FHandle && Control->CanFocus())
        ::SetFocus(Control->Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> L;
    GetTabOrderList(L);
    if (L.empty()) return nullptr;
    const int N = static_cast<int>(L.size());
    int Start = static_cast<int>(std::find(L.begin(), L.end(), CurControl) - L.begin());
    if (Start == N) Start = GoForward ? N - 1 : 0;
    int I = Start;
    do {
        I = GoForward ? (I + 1) % N : (I + N - 1) % N;
        TWinControl* C = L[static_cast<size_t>(I)];
        if (C->CanFocus() && (!CheckTabStop || C->TabStop()) && (!CheckParent || C->Parent() == this))
            return C;
    } while (I != Start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* C = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) C->SetFocus();
}

void TWinControl::FocusChanged(TWinControl* NewFocus) {
    TWinControl* Old = FFocusedControl;
    if (Old == NewFocus) return;
    FFocusedControl = NewFocus;
    if (NewFocus != nullptr) FActiveControl = NewFocus;
    const TQvAliveCheck Alive = AliveCheck();
    // Leave the containers the focus goes out of, innermost first, then enter the new
    // ones, outermost first. Each step re-checks: a handler may move the focus or free us.
    for (TWinControl* C = Old; C != nullptr && !C->ContainsControl(NewFocus); C = C->Parent()) {
        C->Perform(CM_EXIT);
        if (!Alive.Alive() || FFocusedControl != NewFocus) return;
    }
    std::vector<TWinControl*> Enter;
    for (TWinControl* C = NewFocus; C != nullptr && (Old == nullptr || !C->ContainsControl(Old));
         C = C->Parent())
        Enter.push_back(C);
    for (auto It = Enter.rbegin(); It != Enter.rend(); ++It) {
        (*It)->Perform(CM_ENTER);
        if (!Alive.Alive() || FFocusedControl != NewFocus) return;
    }
    TMessage M{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(NewFocus), 0};
    Broadcast(M);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ---- Keys -----------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TMessage& M) {
    return KeyStep<WORD>(
        M, [&](TWinControl* Root) { return Root->DoKeyDown(M); },
        [&](WORD& Key) { KeyDown(Key, KeyDataToShiftState(M.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& M) {
    return KeyStep<WORD>(
        M, [&](TWinControl* Root) { return Root->DoKeyUp(M); },
        [&](WORD& Key) { KeyUp(Key, KeyDataToShiftState(M.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& M) {
    return KeyStep<Char>(
        M, [&](TWinControl* Root) { return Root->DoKeyPress(M); }, [&](Char& Key) { KeyPress(Key); });
}

// True when the root took the key as a dialog key (the focused control did not want it).
bool TWinControl::WantsDialogKey(TMessage& M) {
    UINT Mask = 0;
    switch (M.WParam) {
        case VK_TAB:
            Mask = DLGC_WANTTAB;
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            Mask = DLGC_WANTARROWS;
            break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_MENU:
            Mask = DLGC_WANTALLKEYS;
            break;
        default:
            return false;
    }
    if (Perform(CM_WANTSPECIALKEY, M.WParam, M.LParam) != 0) return false;
    if (static_cast<UINT>(Perform(WM_GETDLGCODE)) & Mask) return false;
    TWinControl* Root = GetRootControl(this);
    return Root != nullptr && Root->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0;
}

void TWinControl::DialogKey(TMessage& M) {
    if (Parent() == nullptr && !KeyDataToShiftState(M.LParam).Contains(ssAlt) &&
        !KeyDataToShiftState(M.LParam).Contains(ssCtrl)) {
        switch (M.WParam) {
            case VK_TAB:
                SelectNext(FFocusedControl, !KeyDataToShiftState(M.LParam).Contains(ssShift), true);
                M.Result = 1;
                return;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (FFocusedControl != nullptr && FFocusedControl->Parent() != nullptr)
                    FFocusedControl->Parent()->SelectNext(FFocusedControl,
                                                          M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
                M.Result = 1;
                return;
            default:
                break;
        }
    }
    Broadcast(M, true);
}

// ---- Messages -------------------------------------------------------------------------

void TWinControl::Broadcast(TMessage& Message, bool StopOnResult) {
    const TQvAliveCheck Alive = AliveCheck();
    const std::vector<TControl*> Snapshot = FControls;
    std::vector<TQvAliveCheck> Checks;
    Checks.reserve(Snapshot.size());
    for (TControl* C : Snapshot) Checks.push_back(C->AliveCheck());
    for (size_t I = 0; I < Snapshot.size(); ++I) {
        if (!Alive.Alive()) return;
        if (!Checks[I].Alive() || Snapshot[I]->Parent() != this) continue;
        Snapshot[I]->WindowProc(Message);
        if (StopOnResult && Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage M{Msg, 0, reinterpret_cast<LPARAM>(this), 0};
    Broadcast(M);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::Invalidate() {
    if (FHandle != nullptr) InvalidateRect(FHandle, nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle != nullptr) UpdateWindow(FHandle);
}

void TWinControl::MainWndProc(TMessage& Message) {
    const TWndMethod Proc = WindowProc;
    if (Proc) Proc(Message);
}

void TWinControl::DefaultHandler(TMessage& M) {
    if (FHandle == nullptr) {
        M.Result = 0;
        return;
    }
    M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
}

void TWinControl::TrackMouse() {
    if (FHandle == nullptr) return;
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_LEAVE;
    T.hwndTrack = FHandle;
    TrackMouseEvent(&T);
}

void TWinControl::ForwardMouse(TMessage& M, bool& Handled) {
    Handled = false;
    TControl* Target = nullptr;
    TControl* Captured = QvCaptureControl();
    const TPoint P{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    if (FHandle != nullptr && GetCapture() == FHandle) {
        if (Captured != nullptr && Captured->Parent() == this) Target = Captured;
    } else {
        Target = ControlAtPos(P, false);
    }
    if (Target == nullptr) return;
    UINT Msg = M.Msg;
    if (!Target->ControlStyle().Contains(csDoubleClicks)) {
        if (Msg == WM_LBUTTONDBLCLK) Msg = WM_LBUTTONDOWN;
        if (Msg == WM_RBUTTONDBLCLK) Msg = WM_RBUTTONDOWN;
        if (Msg == WM_MBUTTONDBLCLK) Msg = WM_MBUTTONDOWN;
    }
    const TQvAliveCheck Alive = AliveCheck();
    M.Result = Target->Perform(Msg, M.WParam, MAKELPARAM(P.X - Target->Left(), P.Y - Target->Top()));
    Handled = true;
    // The window still answers as it would (a right button release asks for a context menu).
    if (Alive.Alive() && M.Result == 0 && FHandle != nullptr)
        M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
}

void TWinControl::SetCursorFor(TMessage& M) {
    const int Hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(M.LParam)));
    // The screen's override first, then a running drag's cursor, then the control's own
    // (the windowless child's under the pointer), else the class cursor.
    if (Hit == HTCLIENT && reinterpret_cast<HWND>(M.WParam) == FHandle) {
        TCursor Cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
        if (Cursor == crDefault) Cursor = TQvDragDrop::Cursor();
        POINT P;
        if (Cursor == crDefault) {
            Cursor = this->Cursor();
            if (GetCursorPos(&P))
                if (TControl* G = ControlAtPos(ScreenToClient(P), false); G != nullptr && G->Cursor() != crDefault)
                    Cursor = G->Cursor();
        }
        if (Cursor != crDefault) {
            ::SetCursor(CursorHandle(Cursor));
            M.Result = 1;
            return;
        }
    }
    DefaultHandler(M);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC Dc, TControl* First) {
    auto It = First != nullptr ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
    const std::vector<TControl*> Rest(It, FControls.end());
    for (TControl* C : Rest) {
        if (C->AsWinControl() != nullptr || !C->Visible()) continue;
        const TRect R = C->BoundsRect();
        if (!RectVisible(Dc, &R)) continue;
        const int Saved = SaveDC(Dc);
        OffsetViewportOrgEx(Dc, R.Left, R.Top, nullptr);
        IntersectClipRect(Dc, 0, 0, R.Width(), R.Height());
        C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dc), 0);
        RestoreDC(Dc, Saved);
    }
}

void TWinControl::PaintHandler(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    if (M.WParam != 0) {
        const HDC Dc = reinterpret_cast<HDC>(M.WParam);
        PaintWindow(Dc);
        if (Alive.Alive()) PaintControls(Dc, nullptr);
        return;
    }
    PAINTSTRUCT Ps;
    const HWND H = FHandle;
    const HDC Dc = BeginPaint(H, &Ps);
    PaintWindow(Dc);
    if (Alive.Alive()) PaintControls(Dc, nullptr);
    EndPaint(H, &Ps);
}

void TWinControl::WndProc(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    if (TQvDragDrop::Dragging() && FHandle != nullptr && TQvDragDrop::InputMessage(FHandle, M)) return;
    if (!Alive.Alive()) return;
    if (TQvHintCycle* Hints = Application != nullptr ? Application->HintCycle() : nullptr;
        Hints != nullptr && (IsMouseMessage(M.Msg) || M.Msg == WM_MOUSELEAVE || M.Msg == WM_KEYDOWN ||
                             M.Msg == WM_SYSKEYDOWN || M.Msg == WM_NCLBUTTONDOWN)) {
        Hints->InputMessage(this, M);
        if (!Alive.Alive()) return;
    }
    switch (M.Msg) {
        case WM_MOUSEMOVE: {
            POINT S{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            if (FHandle != nullptr) ::ClientToScreen(FHandle, &S);
            QvSetMouseControl(ControlAtScreen(S));
            if (!Alive.Alive()) return;
            TrackMouse();
            break;
        }
        case WM_MOUSELEAVE: {
            POINT S;
            QvSetMouseControl(GetCursorPos(&S) ? ControlAtScreen(S) : nullptr);
            return;
        }
        case WM_PAINT:
            PaintHandler(M);
            return;
        case WM_ERASEBKGND: {
            const HDC Dc = reinterpret_cast<HDC>(M.WParam);
            if (Dc == nullptr) return;
            const HBRUSH B = CreateSolidBrush(ColorToRGB(Color()));
            const TRect R = GetClientRect();
            FillRect(Dc, &R, B);
            DeleteObject(B);
            M.Result = 1;
            return;
        }
        case WM_SETCURSOR:
            SetCursorFor(M);
            return;
        case WM_CONTEXTMENU: {
            // A windowless child under the point answers first.
            const TPoint Pt{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            if (!(Pt.X == -1 && Pt.Y == -1))
                if (TControl* G = ControlAtPos(ScreenToClient(Pt), false)) {
                    M.Result = G->Perform(WM_CONTEXTMENU, M.WParam, M.LParam);
                    if (M.Result != 0 || !Alive.Alive()) return;
                }
            break;
        }
        case WM_MOUSEWHEEL:
            M.Result = Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
            if (M.Result != 0 || !Alive.Alive()) return;
            DefaultHandler(M);
            return;
        case WM_WINDOWPOSCHANGED:
            UpdateBounds();
            DefaultHandler(M);
            return;
        case WM_SIZE: {
            DefaultHandler(M);
            if (!Alive.Alive()) return;
            const TRect C = GetClientRect();
            const TSize Now{C.Width(), C.Height()};
            if (Now != FLastClientSize) {
                FLastClientSize = Now;
                Realign();
                if (!Alive.Alive()) return;
            }
            if (!ComponentState().Contains(csLoading)) Resize();
            return;
        }
        case WM_SETFOCUS:
            DefaultHandler(M);
            if (!Alive.Alive()) return;
            if (TWinControl* Root = GetRootControl(this)) {
                if (Root == this && FActiveControl != nullptr && FActiveControl != this &&
                    FActiveControl->CanFocus()) {
                    ::SetFocus(FActiveControl->Handle());
                    return;
                }
                Root->FocusChanged(this);
            }
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (WantsDialogKey(M) || !Alive.Alive()) return;
            if (DoKeyDown(M)) return;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (DoKeyUp(M)) return;
            break;
        case WM_CHAR: {
            TWinControl* Root = GetRootControl(this);
            if (!(static_cast<UINT>(Perform(WM_GETDLGCODE)) & DLGC_WANTCHARS) && Root != nullptr &&
                Root->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0)
                return;
            if (!Alive.Alive() || DoKeyPress(M)) return;
            break;
        }
        case WM_SYSCHAR:
            if (M.WParam != VK_SPACE)
                if (TWinControl* Root = GetRootControl(this);
                    Root != nullptr && Root->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0) {
                    M.Result = 1;
                    return;
                }
            break;
        case WM_NCDESTROY:
            DefaultHandler(M);
            if (FHandle != nullptr) RemoveProp(FHandle, ControlProp);
            QvRootControlGone(this);
            FHandle = nullptr;
            FShowing = false;
            return;
        case CM_DIALOGKEY:
            if (Parent() == nullptr)
                DialogKey(M);
            else
                Broadcast(M, true);
            return;
        case CM_DIALOGCHAR:
            Broadcast(M, true);
            return;
        case CM_ENTER:
            DoEnter();
            return;
        case CM_EXIT:
            DoExit();
            return;
        case CM_FOCUSCHANGED:
            Broadcast(M);
            return;
        case CM_SHOWINGCHANGED:
            if (FHandle == nullptr) return;
            if (FShowing)
                ShowWindow(FHandle, Parent() != nullptr ? SW_SHOWNA : SW_SHOW);
            else if (!Visible() || Parent() == nullptr)
                ShowWindow(FHandle, SW_HIDE);
            return;
        case CM_VISIBLECHANGED:
            UpdateControlState();
            return;
        case CM_ENABLEDCHANGED:
            if (!Enabled() && Focused())
                if (TWinControl* Root = GetRootControl(this); Root != nullptr && Root != this)
                    Root->SelectNext(this, true, true);
            if (FHandle != nullptr) EnableWindow(FHandle, Enabled());
            Invalidate();
            return;
        case CM_COLORCHANGED:
            Invalidate();
            NotifyControls(CM_PARENTCOLORCHANGED);
            return;
        case CM_SHOWHINTCHANGED:
            NotifyControls(CM_PARENTSHOWHINTCHANGED);
            return;
        default:
            break;
    }
    if (IsMouseMessage(M.Msg)) {
        bool Handled;
        ForwardMouse(M, Handled);
        if (Handled || !Alive.Alive()) return;
        // The window's default answer first (a right button release asks for the context
        // menu), then the control's mouse events.
        DefaultHandler(M);
        if (Alive.Alive()) HandleMouseMessage(M);
        return;
    }
    TControl::WndProc(M);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

// ---- TGraphicControl and TCustomControl -----------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& M) {
    if (M.Msg == WM_PAINT && M.WParam != 0) {
        FCanvas->Lock();
        FCanvas->SetHandle(reinterpret_cast<HDC>(M.WParam));
        const TQvAliveCheck Alive = AliveCheck();
        try {
            Paint();
        } catch (...) {
            if (Alive.Alive()) {
                FCanvas->SetHandle(nullptr);
                FCanvas->Unlock();
            }
            throw;
        }
        if (!Alive.Alive()) return;
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        return;
    }
    TControl::WndProc(M);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC Dc) {
    FCanvas->Lock();
    FCanvas->SetHandle(Dc);
    const TQvAliveCheck Alive = AliveCheck();
    try {
        Paint();
    } catch (...) {
        if (Alive.Alive()) {
            FCanvas->SetHandle(nullptr);
            FCanvas->Unlock();
        }
        throw;
    }
    if (!Alive.Alive()) return;
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}
