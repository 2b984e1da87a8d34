#include "framework/uQvForms.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/uQvApplication.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

// What a running ShowModal shares with the form: the form writes its result here when it
// is freed inside the loop.
struct TCustomForm::TModalLoop {
    TModalResult Result = mrNone;
};

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
    SetVisible(false);
    SetParentColor(false);
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    EndBeforeDelete();
    if (FModalLoop != nullptr) FModalLoop->Result = FModalResult != mrNone ? FModalResult : mrCancel;
    if (Screen == nullptr) return;
    Screen->RemoveForm(this);
    // Sibling components hear of this form's end only after its window went, and the
    // windows it owns with it: they get their new owners now.
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (Screen->Forms(I)->FPopupParent == this) Screen->Forms(I)->FPopupParent = nullptr;
    for (TCustomForm* F : HandOverOwnedForms()) F->UpdateOwnerWindow();
}

namespace {

HWND OwnerOf(TWinControl* Control) {
    return reinterpret_cast<HWND>(GetWindowLongPtr(Control->Handle(), GWLP_HWNDPARENT));
}

}  // namespace

std::vector<TCustomForm*> TCustomForm::HandOverOwnedForms() {
    std::vector<TCustomForm*> Moved;
    if (!HandleAllocated() || Screen == nullptr) return Moved;
    const HWND Own = Handle();
    const HWND Keeper = Application != nullptr ? Application->Handle() : nullptr;
    for (int I = 0; I < Screen->FormCount(); ++I) {
        TCustomForm* F = Screen->Forms(I);
        if (F == this || !F->HandleAllocated() || F->Parent() != nullptr || OwnerOf(F) != Own) continue;
        SetWindowLongPtr(F->Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Keeper));
        Moved.push_back(F);
    }
    return Moved;
}

void TCustomForm::DestroyWnd() {
    if (Parent() == nullptr) HandOverOwnedForms();
    TWinControl::DestroyWnd();
}

// ---- Frame and placement --------------------------------------------------------------

void TCustomForm::FrameStyles(DWORD& Style, DWORD& ExStyle) const {
    Style = WS_CLIPCHILDREN;
    ExStyle = 0;
    const bool Icons = FBorderIcons.Contains(biSystemMenu);
    switch (FBorderStyle) {
        case bsNone:
            Style |= WS_POPUP;
            break;
        case bsSingle:
        case bsSizeable:
            Style |= WS_CAPTION | (FBorderStyle == bsSizeable ? WS_THICKFRAME : 0);
            if (Icons) {
                Style |= WS_SYSMENU;
                if (FBorderIcons.Contains(biMinimize)) Style |= WS_MINIMIZEBOX;
                if (FBorderIcons.Contains(biMaximize)) Style |= WS_MAXIMIZEBOX;
            }
            break;
        case bsDialog:
            Style |= WS_POPUP | WS_CAPTION | (Icons ? WS_SYSMENU : 0);
            ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
        case bsToolWindow:
        case bsSizeToolWin:
            Style |=
                WS_CAPTION | (FBorderStyle == bsSizeToolWin ? WS_THICKFRAME : 0) | (Icons ? WS_SYSMENU : 0);
            ExStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (FFormStyle == fsStayOnTop) ExStyle |= WS_EX_TOPMOST;
    if (FAlphaBlend || FTransparentColor) ExStyle |= WS_EX_LAYERED;
}

HWND TCustomForm::OwnerWindow() const {
    if (FPopupMode == pmExplicit && FPopupParent != nullptr) return FPopupParent->Handle();
    if (Application == nullptr) return nullptr;
    TCustomForm* Main = Application->MainForm();
    if (Main == nullptr) return Application->Handle();
    if (Main == this) return Application->MainFormOnTaskBar() ? nullptr : Application->Handle();
    if (Application->MainFormOnTaskBar() && Main->HandleAllocated() && Main->Parent() == nullptr)
        return Main->Handle();
    return Application->Handle();
}

void TCustomForm::UpdateOwnerWindow() {
    if (!HandleAllocated() || Parent() != nullptr) return;
    TCreateParams Params;
    CreateParams(Params);
    if (reinterpret_cast<HWND>(GetWindowLongPtr(Handle(), GWLP_HWNDPARENT)) != Params.WndParent)
        SetWindowLongPtr(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Params.WndParent));
}

void TCustomForm::SetPopupMode(TPopupMode Value) {
    if (FPopupMode == Value) return;
    FPopupMode = Value;
    UpdateOwnerWindow();
}

void TCustomForm::SetPopupParent(TCustomForm* Value) {
    if (FPopupParent == Value) return;
    // Each window would need the other's to be made first.
    for (const TCustomForm* F = Value; F != nullptr; F = F->FPopupParent)
        if (F == this) throw EInvalidOperation("Circular popup parent reference");
    if (FPopupParent != nullptr) FPopupParent->RemoveFreeNotification(this);
    FPopupParent = Value;
    if (Value != nullptr) {
        Value->FreeNotification(this);
        FPopupMode = pmExplicit;
    }
    UpdateOwnerWindow();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    // Told before the parent's window goes, which would take this one with it.
    if (Operation == opRemove && AComponent == FPopupParent) {
        FPopupParent = nullptr;
        UpdateOwnerWindow();
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (Parent() != nullptr) {
        Params.Style |= WS_CLIPCHILDREN;
        return;
    }
    FrameStyles(Params.Style, Params.ExStyle);
    if (!Enabled()) Params.Style |= WS_DISABLED;
    Params.WndParent = ParentWindow() != nullptr ? ParentWindow() : OwnerWindow();
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (Parent() != nullptr) return;
    if (FFormStyle == fsStayOnTop)
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateLayered();
    // Forms the application window holds (handed over while this window was remade, or
    // made before it existed) may belong to this one now.
    if (Screen == nullptr || Application == nullptr) return;
    for (int I = 0; I < Screen->FormCount(); ++I) {
        TCustomForm* F = Screen->Forms(I);
        if (F != this && F->HandleAllocated() && F->Parent() == nullptr &&
            OwnerOf(F) == Application->Handle())
            F->UpdateOwnerWindow();
    }
}

TSize TCustomForm::FrameSize() const {
    DWORD Style, ExStyle;
    FrameStyles(Style, ExStyle);
    RECT Frame{0, 0, 0, 0};
    AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
    return TSize{Frame.Width(), Frame.Height()};
}

TRect TCustomForm::GetClientRect() const {
    if (HandleAllocated() || Parent() != nullptr) return TWinControl::GetClientRect();
    const TSize Frame = FrameSize();
    return Rect(0, 0, std::max(0, Width() - Frame.cx), std::max(0, Height() - Frame.cy));
}

void TCustomForm::SetClientWidth(int Value) {
    if (HandleAllocated() || Parent() != nullptr)
        TWinControl::SetClientWidth(Value);
    else
        SetWidth(Value + FrameSize().cx);
}

void TCustomForm::SetClientHeight(int Value) {
    if (HandleAllocated() || Parent() != nullptr)
        TWinControl::SetClientHeight(Value);
    else
        SetHeight(Value + FrameSize().cy);
}

void TCustomForm::FrameChanged() {
    if (HandleAllocated() && Parent() == nullptr) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    FrameChanged();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    FrameChanged();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (HandleAllocated() && Parent() == nullptr)
        SetWindowPos(Handle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
    if (FWindowState == Value) return;
    FWindowState = Value;
    if (Showing() && Parent() == nullptr)
        ShowWindow(Handle(), Value == wsMinimized   ? SW_MINIMIZE
                             : Value == wsMaximized ? SW_MAXIMIZE
                                                    : SW_RESTORE);
}

void TCustomForm::ApplyPosition() {
    if (Parent() != nullptr || FPosition == poDesigned || FWindowState != wsNormal) return;
    TCustomForm* Main = Application != nullptr ? Application->MainForm() : nullptr;
    if (Main == this) Main = nullptr;
    TCustomForm* Around = nullptr;
    if (FPosition == poOwnerFormCenter) {
        Around = dynamic_cast<TCustomForm*>(Owner());
        if (Around == nullptr || Around == this) Around = Main;
    } else if (FPosition == poMainFormCenter) {
        Around = Main;
    }
    if (Around != nullptr && !Around->Visible()) Around = nullptr;
    TRect Outer;
    if (Around != nullptr) {
        Outer = Around->ScreenRect();
    } else {
        const HMONITOR M = Main != nullptr && Main->HandleAllocated()
                               ? MonitorFromWindow(Main->Handle(), MONITOR_DEFAULTTOPRIMARY)
                               : QvMonitorAt(0);
        MONITORINFO Info;
        GetMonitorInfo(M, &Info);
        Outer = Info.rcMonitor;
    }
    // Truncating halves, then never above or left of the desktop.
    int X = Outer.Left + (Outer.Width() - Width()) / 2;
    int Y = Outer.Top + (Outer.Height() - Height()) / 2;
    X = std::max(X, GetSystemMetrics(SM_XVIRTUALSCREEN));
    Y = std::max(Y, GetSystemMetrics(SM_YVIRTUALSCREEN));
    SetBounds(X, Y, Width(), Height());
}

TMonitor* TCustomForm::Monitor() const {
    if (Screen == nullptr) return nullptr;
    if (HandleAllocated()) return Screen->MonitorFromWindow(const_cast<TCustomForm*>(this)->Handle());
    return Screen->MonitorFromRect(ScreenRect());
}

// ---- Scaling --------------------------------------------------------------------------

void TCustomForm::SetPixelsPerInch(int Value) {
    if (Value > 0 && ComponentState().Contains(csLoading)) FLayoutPPI = Value;
}

void TCustomForm::Loaded() {
    const int LayoutPPI = std::exchange(FLayoutPPI, 0);
    TWinControl::Loaded();
    if (!FScaled || Parent() != nullptr || Screen == nullptr) return;
    // Layouts are made at 96 dpi unless they say otherwise.
    const int From = LayoutPPI > 0 ? LayoutPPI : USER_DEFAULT_SCREEN_DPI;
    ScaleForPPI(Monitor()->PixelsPerInch(), From);
}

void TCustomForm::DpiChanged(TMessage& M) {
    const int NewPPI = LOWORD(M.WParam);
    const TRect Suggested = *reinterpret_cast<const RECT*>(M.LParam);
    // Sizes not made for a dpi stay as they are. Rescaling moves the window on the way;
    // where it lands for a moment does not count.
    if (!FScaled || NewPPI == CurrentPPI() || FDpiChanging || Parent() != nullptr) return;
    FDpiChanging = true;
    const TQvAliveCheck Alive = AliveCheck();
    try {
        ScaleForPPI(NewPPI);
        if (Alive.Alive()) SetBoundsRect(Suggested);
    } catch (...) {
        if (Alive.Alive()) FDpiChanging = false;
        throw;
    }
    if (!Alive.Alive()) return;
    FDpiChanging = false;
    if (OnDPIChanged) OnDPIChanged(this, NewPPI);
}

// ---- Layered looks --------------------------------------------------------------------

void TCustomForm::UpdateLayered() {
    if (!HandleAllocated() || Parent() != nullptr) return;
    const HWND H = Handle();
    const LONG_PTR Ex = GetWindowLongPtr(H, GWL_EXSTYLE);
    const bool Want = FAlphaBlend || FTransparentColor;
    if (Want != ((Ex & WS_EX_LAYERED) != 0))
        SetWindowLongPtr(H, GWL_EXSTYLE,
                         Want ? (Ex | WS_EX_LAYERED) : (Ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED)));
    if (!Want) return;
    DWORD Flags = 0;
    if (FAlphaBlend) Flags |= LWA_ALPHA;
    if (FTransparentColor) Flags |= LWA_COLORKEY;
    SetLayeredWindowAttributes(H, ColorToRGB(FTransparentColorValue), FAlphaBlend ? FAlphaBlendValue : 255,
                               Flags);
}

void TCustomForm::SetAlphaBlend(bool Value) {
    if (FAlphaBlend == Value) return;
    FAlphaBlend = Value;
    UpdateLayered();
}

void TCustomForm::SetAlphaBlendValue(BYTE Value) {
    if (FAlphaBlendValue == Value) return;
    FAlphaBlendValue = Value;
    UpdateLayered();
}

void TCustomForm::SetTransparentColor(bool Value) {
    if (FTransparentColor == Value) return;
    FTransparentColor = Value;
    UpdateLayered();
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
    if (FTransparentColorValue == Value) return;
    FTransparentColorValue = Value;
    UpdateLayered();
}

// ---- Showing --------------------------------------------------------------------------

void TCustomForm::Show() {
    SetVisible(true);
    if (!HandleAllocated()) return;
    if (Parent() != nullptr) {
        BringToFront();
        return;
    }
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (FWindowState != wsMinimized) SetActiveWindow(Handle());
}

void TCustomForm::ShowingChanged() {
    const TQvAliveCheck Alive = AliveCheck();
    if (Showing()) {
        ApplyPosition();
        DoShow();
        if (!Alive.Alive() || !HandleAllocated()) return;
        if (Parent() != nullptr) {
            ShowWindow(Handle(), SW_SHOWNA);
            return;
        }
        ShowWindow(Handle(), FWindowState == wsMaximized   ? SW_SHOWMAXIMIZED
                             : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                           : SW_SHOW);
    } else {
        DoHide();
        if (Alive.Alive() && HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::SetParent(TWinControl* AParent) {
    // A top-level window cannot become a child one (nor back): the next show makes anew.
    if ((Parent() == nullptr) != (AParent == nullptr)) DestroyHandle();
    TWinControl::SetParent(AParent);
}

// ---- Modal loop -----------------------------------------------------------------------

namespace {

BOOL CollectEnabled(HWND Wnd, LPARAM Param) {
    if (IsWindowVisible(Wnd) && IsWindowEnabled(Wnd))
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
}

}  // namespace

TModalResult TCustomForm::ShowModal() {
    if (Visible() || FModalLoop != nullptr || Parent() != nullptr)
        throw EInvalidOperation("Cannot make a visible window modal");
    const TQvAliveCheck Alive = AliveCheck();
    TModalLoop Loop;
    FModalLoop = &Loop;
    FModalResult = mrNone;
    const HWND Previous = GetActiveWindow();
    if (GetCapture() != nullptr) ReleaseCapture();
    std::vector<HWND> Disabled;
    EnumWindows(CollectEnabled, reinterpret_cast<LPARAM>(&Disabled));
    const HWND Own = Handle();
    Disabled.erase(std::remove(Disabled.begin(), Disabled.end(), Own), Disabled.end());
    for (HWND W : Disabled) EnableWindow(W, FALSE);
    // Whatever ends the loop (a result, termination, the form freed, an exception that
    // escaped the stall check) gives the other windows back.
    struct TRestore {
        std::vector<HWND>& Windows;
        HWND Previous;
        HWND Own;
        ~TRestore() {
            QvSetModalFor(Own, nullptr);
            for (HWND W : Windows)
                if (IsWindow(W)) EnableWindow(W, TRUE);
            if (Previous != nullptr && IsWindow(Previous) && IsWindowVisible(Previous))
                SetActiveWindow(Previous);
        }
    };
    TRestore Restore{Disabled, Previous, Own};
    // A native display keeps the form above the window it was shown modally for.
    QvSetModalFor(Own, Previous != nullptr ? Previous : GetWindow(Own, GW_OWNER));
    try {
        Show();
        // Checked before each wait: a loop begun after Terminate (or given its result while
        // showing) must not wait for input that may never come.
        while (Alive.Alive()) {
            if (Application != nullptr && Application->Terminated()) {
                if (FModalResult == mrNone) FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone) {
                CloseModal();
                if (!Alive.Alive() || FModalResult != mrNone) break;
            }
            if (Application != nullptr) {
                Application->HandleMessage();
            } else {
                MSG M;
                if (!PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
                    WaitMessage();
                } else {
                    TranslateMessage(&M);
                    DispatchMessage(&M);
                }
            }
        }
    } catch (...) {
        if (Alive.Alive()) {
            FModalLoop = nullptr;
            Hide();
        }
        throw;
    }
    if (!Alive.Alive()) return Loop.Result;
    FModalLoop = nullptr;
    const TModalResult Result = FModalResult;
    Hide();
    return Result;
}

void TCustomForm::CloseModal() {
    const TQvAliveCheck Alive = AliveCheck();
    TCloseAction Action = caNone;
    if (CloseQuery()) {
        if (!Alive.Alive()) return;
        Action = caHide;
        DoClose(Action);
    }
    if (!Alive.Alive()) return;
    if (Action == caNone) FModalResult = mrNone;
    if (Action == caFree) Release();
}

// ---- Closing --------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    if (OnCloseQuery) OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
    if (FModalLoop != nullptr) {
        FModalResult = mrCancel;
        return;
    }
    const TQvAliveCheck Alive = AliveCheck();
    if (!CloseQuery() || !Alive.Alive()) return;
    TCloseAction Action = caHide;
    DoClose(Action);
    if (!Alive.Alive() || Action == caNone) return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (Action) {
        case caHide:
            Hide();
            break;
        case caMinimize:
            SetWindowState(wsMinimized);
            break;
        case caFree:
            Release();
            break;
        case caNone:
            break;
    }
}

void TCustomForm::Release() {
    // Posted to the form's own window: a form freed meanwhile takes the post with it.
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

// ---- Events and messages --------------------------------------------------------------

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::WndProc(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    switch (M.Msg) {
        case WM_CLOSE:
            Close();
            return;
        case CM_RELEASE:
            Free();
            return;
        case CM_SHOWINGCHANGED:
            ShowingChanged();
            return;
        case WM_DPICHANGED:
            DpiChanged(M);
            return;
        case WM_SIZE:
            if (Parent() != nullptr) break;
            // The sizes a hidden window is made with leave the state it is to show in.
            if (IsWindowVisible(Handle()))
                FWindowState = M.WParam == SIZE_MINIMIZED   ? wsMinimized
                               : M.WParam == SIZE_MAXIMIZED ? wsMaximized
                                                            : wsNormal;
            if (Application != nullptr && Application->MainForm() == this) {
                Application->MainFormMinimized(FWindowState == wsMinimized);
                if (!Alive.Alive()) return;
            }
            break;
        case WM_ACTIVATE: {
            TWinControl::WndProc(M);
            if (!Alive.Alive()) return;
            const bool Now = LOWORD(M.WParam) != WA_INACTIVE;
            if (Now == FActive) return;
            FActive = Now;
            if (Now) {
                if (Screen != nullptr) Screen->SetActiveForm(this);
                Activate();
            } else {
                Deactivate();
            }
            return;
        }
        default:
            break;
    }
    TWinControl::WndProc(M);
}

// ---- TFrame ---------------------------------------------------------------------------

TFrame::TFrame(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
    SetBounds(0, 0, 320, 240);
}

TCustomForm* GetParentForm(const TControl* Control) {
    TCustomForm* Result = nullptr;
    for (const TControl* C = Control; C != nullptr; C = C->Parent())
        if (auto* F = dynamic_cast<const TCustomForm*>(C)) Result = const_cast<TCustomForm*>(F);
    return Result;
}
