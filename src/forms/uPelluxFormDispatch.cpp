// The message dispatch of TPelluxForm (the form skin's window procedure), kept apart
// from its properties and painting in uPelluxForm.cpp.

#include <algorithm>

#include "forms/uPelluxForm.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxNCCtrlBase.h"
#include "forms/uPelluxNCImage.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvApplication.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

// The system's drag-full-windows setting while a drag of ours has changed it.
BOOL SavedDragFullWindows = TRUE;

bool IsMainForm(const TCustomForm* F) {
    return Application != nullptr && Application->MainForm() == F;
}

}  // namespace

void TPelluxForm::NewWndProc(TMessage& M) {
    TCustomForm* F = DestForm();
    if (F == nullptr) return PassOn(M);
    const TQvAliveCheck Alive = AliveCheck();
    switch (M.Msg) {
        case WM_SIZE:
            return WMSize(M);
        case WM_PAINT:
            return WMPaint(M);
        case WM_ERASEBKGND:
            M.Result = 1;
            if (FEraseBackGround) FBackground.PaintErase(reinterpret_cast<HDC>(M.WParam), Look());
            return;
        case WM_SETCURSOR:
            // A title-bar button shows its own cursor.
            if (reinterpret_cast<HWND>(M.WParam) == Wnd() && PelluxNCCursorShown) {
                M.Result = 1;
                return;
            }
            return PassOn(M);
        case WM_GETMINMAXINFO:
            return WMGetMinMaxInfo(M);
        case WM_WINDOWPOSCHANGING:
            return WMWindowPosChanging(M);
        case WM_WINDOWPOSCHANGED:
            return WMWindowPosChanged(M);
        case WM_NCCALCSIZE:
            return WMNCCalcSize(M);
        case WM_NCHITTEST:
            return WMNCHitTest(M);
        case WM_NCPAINT:
        case WM_NCACTIVATE:
            // Without the skin the window paints (and reserves) its own frame.
            if (!FActive) return PassOn(M);
            if (M.Msg == WM_NCPAINT) {
                if (RegionStale()) RebuildRegion();
                PaintNC();
            }
            M.Result = 1;
            return;
        case WM_NCMOUSEMOVE:
            return WMNCMouseMove(M);
        case WM_NCLBUTTONDOWN:
            return WMNCLButtonDown(M);
        case WM_NCLBUTTONUP:
            return WMNCLButtonUp(M);
        case WM_NCLBUTTONDBLCLK:
            return WMNCLButtonDblClk(M);
        case WM_SYSCOMMAND:
            return WMSysCommand(M);
        case WM_TIMER:
            return WMTimer(M);
        case WM_DPICHANGED:
            return WMDpiChanged(M);
        case WM_DWMCOMPOSITIONCHANGED:
            if (FImageBorder != nullptr) FImageBorder->CompositionChanged();
            return PassOn(M);
        case MM_REFRESHSKIN:
            RebuildCaches();
            Repaint();
            return;
        case MM_NCPAINT:
            if (!FActive || Iconic()) return;
            if (RegionStale()) RebuildRegion();
            PaintNC();
            if (Alive.Alive() && FImageBorder != nullptr && !FImageBorder->Transparent())
                if (HWND Top = FImageBorder->TopBorderWindow())
                    SendMessage(Top, MM_NCPAINT, M.WParam, M.LParam);
            return;
        case MM_SKINRESCHANGED:
            FMM_SKINRESCHANGED = true;
            FollowSkinRes();
            if (Alive.Alive()) FMM_SKINRESCHANGED = false;
            return;
        case MM_ADDNCCTRL:
            return AddNCCtrl(M.WParam);
        case MM_REMOVENCCTRL:
            return RemoveNCCtrl(M.WParam);
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            // Alt alone never opens the platform's system menu.
            if (M.Msg == CM_DIALOGKEY && M.WParam == VK_MENU) {
                M.Result = 1;
                return;
            }
            if (FMainMenu->Accelerate(static_cast<WORD>(M.WParam))) {
                if (Alive.Alive()) M.Result = 1;
                return;
            }
            return PassOn(M);
        case MM_MENUCLOSED:
            if (FMainMenu->MenuClosed())
                if (HWND H = Wnd()) SetTimer(H, SkinTimerNextMenu, 20, nullptr);
            return;
        case CM_VISIBLECHANGED:
            PassOn(M);
            if (!Alive.Alive() || FImageBorder == nullptr) return;
            if (F->Visible())
                FImageBorder->Restoring();
            else
                FImageBorder->Minimizing();
            return;
        case CM_SHOWINGCHANGED:
            return CMShowingChanged(M);
        default:
            return PassOn(M);
    }
}

void TPelluxForm::WMSize(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    PassOn(M);
    if (!Alive.Alive()) return;
    FRgnChanged = true;
    if (HWND H = Wnd()) SetTimer(H, SkinTimerNCPaint, 50, nullptr);
    if (FImageBorder != nullptr) FImageBorder->SetBoundsWithForm();
    // However the window left its minimized state (window manager, SW_RESTORE, WindowState),
    // the form must not stay hidden at alpha 0.
    if (M.WParam != SIZE_MINIMIZED && (FFormState & QvFormMinimizing) && !Iconic()) Restoring();
    if (Alive.Alive() && FStyle == ssPicture && (FFillStyle == mfsStretch || FFillStyle == mfs9Block))
        Repaint();
}

void TPelluxForm::WMPaint(TMessage& M) {
    const HWND H = Wnd();
    HDC Dc = reinterpret_cast<HDC>(M.WParam);
    PAINTSTRUCT Ps;
    const bool Own = Dc == nullptr;
    if (Own) {
        if (H == nullptr) return;
        Dc = BeginPaint(H, &Ps);
    }
    const TQvAliveCheck Alive = AliveCheck();
    FBackground.PaintClient(Dc, Look());
    // The form's windowless controls paint over the background.
    TMessage Controls{WM_PAINT, reinterpret_cast<WPARAM>(Dc), 0, 0};
    PassOn(Controls);
    if (Own && IsWindow(H)) EndPaint(H, &Ps);
    if (Alive.Alive()) M.Result = 1;
}

void TPelluxForm::WMGetMinMaxInfo(TMessage& M) {
    auto* Info = reinterpret_cast<MINMAXINFO*>(M.LParam);
    const HWND H = Wnd();
    if (FActive && HasBorder() && Info != nullptr && H != nullptr) {
        MONITORINFO Mi;
        GetMonitorInfo(MonitorFromWindow(H, MONITOR_DEFAULTTONEAREST), &Mi);
        const TSizeConstraints* C = DestForm()->Constraints();
        TQvMinMaxInput In;
        In.Monitor = Mi.rcMonitor;
        In.Work = Mi.rcWork;
        In.DesignedMaximized = FOldWS == wsMaximized;
        In.Title = ScaledTitle();
        In.FlatFrame = FFlatFrame;
        In.MinWidth = C->MinWidth();
        In.MinHeight = C->MinHeight();
        In.MaxWidth = C->MaxWidth();
        In.MaxHeight = C->MaxHeight();
        SkinMinMaxInfo(*Info, In);
        M.Result = 0;
    }
    PassOn(M);
}

void TPelluxForm::WMWindowPosChanging(TMessage& M) {
    TCustomForm* F = DestForm();
    if (const auto* Wp = reinterpret_cast<const WINDOWPOS*>(M.LParam)) {
        const UINT Fl = Wp->flags;
        constexpr UINT Minimize = SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOCOPYBITS;
        constexpr UINT HideMain = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;
        const TQvAliveCheck Alive = AliveCheck();
        if ((Fl & Minimize) == Minimize || ((Fl & HideMain) == HideMain && IsMainForm(F))) {
            if (F->Visible()) Minimizing();
        } else if (!IsMainForm(F) && FImageBorder != nullptr) {
            if (Fl & SWP_HIDEWINDOW) FImageBorder->Minimizing();
            if ((Fl & SWP_SHOWWINDOW) && !Iconic()) FImageBorder->Restoring();
        }
        if (!Alive.Alive()) return;
    }
    PassOn(M);
}

void TPelluxForm::WMWindowPosChanged(TMessage& M) {
    const auto* Wp = reinterpret_cast<const WINDOWPOS*>(M.LParam);
    if (Zoomed() || Iconic()) {
        if (Zoomed()) FFramWidth = 0;
        if (FImageBorder != nullptr) FImageBorder->Hide();
    } else {
        FFramWidth = FRealFrameWidth;
        if (FImageBorder != nullptr && Wp != nullptr) FImageBorder->MoveWithForm(Wp->x, Wp->y);
    }
    PassOn(M);
}

void TPelluxForm::WMNCCalcSize(TMessage& M) {
    if (!FActive || !HasBorder()) return PassOn(M);
    // The frame follows the window's state however it changed (a maximize by ShowWindow
    // too), so the client rectangle always matches what is painted.
    SyncFrame();
    RECT* R = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(M.LParam);
    if (R != nullptr) *R = SkinCalcClientRect(*R, Metrics());
    M.Result = 0;
}

void TPelluxForm::WMNCHitTest(TMessage& M) {
    const HWND H = Wnd();
    if (!FActive || !HasBorder() || H == nullptr) return PassOn(M);
    RECT W;
    GetWindowRect(H, &W);
    TQvHitZones Z;
    Z.Width = W.Width();
    Z.Height = W.Height();
    Z.HitTestWidth = FHitTestWidth;
    const TFormBorderStyle B = DestForm()->BorderStyle();
    Z.Resizable = B == bsSizeable || B == bsSizeToolWin;
    Z.Maximized = IsZoomed(H);
    const TPoint P{GET_X_LPARAM(M.LParam) - W.Left, GET_Y_LPARAM(M.LParam) - W.Top};
    M.Result = SkinHitTest(P, Z, Metrics());
    FIgnoreNCHit = IsSizingHit(static_cast<int>(M.Result));
}

void TPelluxForm::WMNCMouseMove(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    PassOn(M);
    if (!Alive.Alive()) return;
    const TPoint P{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const TDispatch Dispatch(this);
    const std::vector<TPelluxNCCtrlBase*> List = FNCCtrlList;
    for (TPelluxNCCtrlBase* C : List) {
        if (!Alive.Alive()) return;
        if (Listed(C)) C->NCMouseMove(P);
    }
}

void TPelluxForm::WMNCLButtonDown(TMessage& M) {
    const int Hit = static_cast<int>(M.WParam);
    const TDragFullWindowsKind Drag = FOptions->DragFullWindows();
    bool Changed = false;
    if (Drag != wkSystem && (Hit == HTCAPTION || IsSizingHit(Hit))) {
        SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &SavedDragFullWindows, 0);
        Changed = SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, Drag == wkActive ? 1 : 0, nullptr, 0) != FALSE;
    }
    const TQvAliveCheck Alive = AliveCheck();
    try {
        // The move or size loop runs inside when no title-bar control takes the press.
        if (!(FActive && DispatchClick(true)) && Alive.Alive()) PassOn(M);
    } catch (...) {
        if (Changed) SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, SavedDragFullWindows ? 1 : 0, nullptr, 0);
        throw;
    }
    if (Alive.Alive() && FImageBorder != nullptr)
        FImageBorder->MoveWithForm(DestForm()->Left(), DestForm()->Top());
    if (Changed) SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, SavedDragFullWindows ? 1 : 0, nullptr, 0);
}

void TPelluxForm::WMNCLButtonUp(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    if (!(FActive && DispatchClick(false)) && Alive.Alive()) PassOn(M);
}

void TPelluxForm::WMNCLButtonDblClk(TMessage& M) {
    M.Result = 0;
    for (TPelluxNCCtrlBase* C : FNCCtrlList)
        if (dynamic_cast<TPelluxNCLabel*>(C) == nullptr && dynamic_cast<TPelluxNCImage*>(C) == nullptr &&
            C->Visible() && C->CursorEnter())
            return;
    const HWND H = Wnd();
    const TFormBorderStyle B = DestForm()->BorderStyle();
    if (H == nullptr || !FOldBorderIcons.Contains(biMaximize) || (B != bsSingle && B != bsSizeable)) return;
    RECT W;
    GetWindowRect(H, &W);
    const TPoint P{GET_X_LPARAM(M.LParam) - W.Left, GET_Y_LPARAM(M.LParam) - W.Top};
    if (!PtInRect(Rect(0, 0, W.Width(), ScaledTitle()), P)) return;
    const bool Max = (GetWindowLongPtr(H, GWL_STYLE) & WS_MAXIMIZE) != 0;
    SendMessage(H, WM_SYSCOMMAND, Max ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void TPelluxForm::WMSysCommand(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    TCustomForm* F = DestForm();
    switch (M.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            PassOn(M);
            if (Alive.Alive()) Minimizing();
            return;
        case SC_MAXIMIZE:
            FFramWidth = 0;
            PassOn(M);
            if (Alive.Alive() && FImageBorder != nullptr) FImageBorder->ReAlign();
            return;
        case SC_RESTORE:
            PassOn(M);
            if (!Alive.Alive()) return;
            if (FRealFrameWidth != 0 && !Iconic()) FFramWidth = FRealFrameWidth;
            Restoring();
            if (Alive.Alive() && FImageBorder != nullptr) {
                FImageBorder->ReAlign();
                FImageBorder->MoveWithForm(F->Left(), F->Top());
            }
            return;
        default:
            return PassOn(M);
    }
}

void TPelluxForm::WMTimer(TMessage& M) {
    const HWND H = Wnd();
    TCustomForm* F = DestForm();
    switch (M.WParam) {
        case SkinTimerNCPaint:
            KillTimer(H, SkinTimerNCPaint);
            SendMessage(H, WM_NCPAINT, 1, 0);
            return;
        case SkinTimerShown: {
            KillTimer(H, SkinTimerShown);
            const TQvAliveCheck Alive = AliveCheck();
            if (FImageBorder != nullptr) {
                FImageBorder->CheckFormAlpha(true);
                FImageBorder->ShowWithForm(FNCCtrlList);
            }
            if (FFixedStartFlash) {
                F->SetAlphaBlend(FOldAlphaBlend.Enabled);
                F->SetAlphaBlendValue(FOldAlphaBlend.Value);
            }
            if (!Alive.Alive() || F->WindowState() != wsMaximized || H == nullptr) return;
            // The nudge that makes a form designed maximized take its full height; a form
            // already as high as its work area is left alone, however often it is shown.
            MONITORINFO Mi;
            GetMonitorInfo(MonitorFromWindow(H, MONITOR_DEFAULTTONEAREST), &Mi);
            if (F->Height() < Mi.rcWork.Height()) F->SetHeight(F->Height() + 1);
            return;
        }
        case SkinTimerNextMenu:
            KillTimer(H, SkinTimerNextMenu);
            FMainMenu->OpenNext();
            return;
        case SkinTimerMinimized:
            if (FImageBorder != nullptr && Iconic()) FImageBorder->Minimizing();
            return;
        default:
            return PassOn(M);
    }
}

void TPelluxForm::WMDpiChanged(TMessage& M) {
    const TQvAliveCheck Alive = AliveCheck();
    PassOn(M);
    if (!Alive.Alive()) return;
    {
        const TDispatch Dispatch(this);
        const std::vector<TPelluxNCCtrlBase*> List = FNCCtrlList;
        for (TPelluxNCCtrlBase* C : List) {
            if (!Alive.Alive()) return;
            if (Listed(C)) C->DPIChanged();
        }
    }
    if (!Alive.Alive()) return;
    // The form takes its new size before its new dpi, so the title bar it was given then
    // was measured at the old one: the frame is measured again.
    if (FActive && HasBorder())
        SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Alive.Alive()) return;
    RebuildCaches();
    Repaint();
}

void TPelluxForm::CMShowingChanged(TMessage& M) {
    TCustomForm* F = DestForm();
    const TQvAliveCheck Alive = AliveCheck();
    if (!F->Showing()) {
        PassOn(M);
        if (Alive.Alive() && FImageBorder != nullptr) FImageBorder->Hide();
        return;
    }
    const HWND H = F->Handle();
    TCustomForm* Main = Application != nullptr ? Application->MainForm() : nullptr;
    LONG_PTR Ex = GetWindowLongPtr(H, GWL_EXSTYLE);
    if (FOptions->MinimizeToTaskbar() && Main != nullptr && Main != F) {
        SetWindowLongPtr(H, GWL_EXSTYLE, Ex | WS_EX_APPWINDOW);
        SetWindowLongPtr(H, GWLP_HWNDPARENT, 0);
    }
    Ex = GetWindowLongPtr(H, GWL_EXSTYLE);
    if (FOptions->HideInTaskbar() && Main != nullptr)
        SetWindowLongPtr(H, GWL_EXSTYLE, (Ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
    const LONG_PTR Style = GetWindowLongPtr(H, GWL_STYLE);
    if (Style & WS_SYSMENU) SetWindowLongPtr(H, GWL_STYLE, Style & ~static_cast<LONG_PTR>(WS_SYSMENU));
    if (FImageBorder != nullptr) {
        FImageBorder->InitFrame(F);
        FImageBorder->Show();
    }
    // Title-bar controls made before the window existed have posted nothing yet: they are
    // listed now, so the first frame already shows them.
    for (int I = 0; I < F->ComponentCount(); ++I)
        if (auto* C = dynamic_cast<TPelluxNCCtrlBase*>(F->Components(I)); C != nullptr && !Listed(C))
            AddNCCtrl(reinterpret_cast<WPARAM>(C));
    if (FSkinRes == nullptr) RebuildCaches();
    if (!FFixedStartFlash) {
        // Shown fully transparent: the skin paints before anything appears.
        SaveAlpha();
        F->SetAlphaBlend(true);
        F->SetAlphaBlendValue(0);
        FFixedStartFlash = true;
        if (FImageBorder != nullptr) SetTimer(H, SkinTimerMinimized, 500, nullptr);
    }
    PassOn(M);
    if (!Alive.Alive() || !F->HandleAllocated() || !IsWindowVisible(F->Handle())) return;
    SetTimer(F->Handle(), SkinTimerShown, 30, nullptr);
    if (FOldWS == wsMaximized && IsZoomed(F->Handle())) {
        FOldWS = wsNormal;
        FFramWidth = 0;
    }
}
