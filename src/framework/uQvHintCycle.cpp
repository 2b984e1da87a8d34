#include "framework/uQvHintCycle.h"

#include "framework/uQvApplication.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvInput.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr UINT ShowTimer = 1;
constexpr UINT HideTimer = 2;

// Where the hint goes below the pointer when the control does not say.
constexpr int HintOffsetY = 20;

// A hint text is the control's own, else the nearest parent's.
String HintOf(const TControl* C) {
    for (; C != nullptr; C = C->Parent())
        if (!C->Hint().empty()) return C->Hint();
    return String();
}

}  // namespace

TControl* QvHintControlAt(TPoint Screen) {
    TControl* C = FindDragTarget(Screen, true);
    while (C != nullptr && !C->ShowHint()) C = C->Parent();
    return C;
}

TQvHintCycle::TQvHintCycle(TApplication* App) : FApp(App) {
    const std::shared_ptr<const bool> Alive = FAlive;
    FWindow = AllocateHWnd([this, Alive](TMessage& M) {
        if (!*Alive) return;
        if (M.Msg != WM_TIMER) {
            M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
            return;
        }
        KillTimer(FWindow, M.WParam);
        if (M.WParam == ShowTimer) Show();
        if (M.WParam == HideTimer) {
            Hide();
            FActive = false;
        }
    });
}

TQvHintCycle::~TQvHintCycle() {
    *FAlive = false;
    StopTimers();
    DeallocateHWnd(FWindow);
}

void TQvHintCycle::StartTimer(UINT Id, int Ms) {
    SetTimer(FWindow, Id, static_cast<UINT>(std::max(Ms, 1)), nullptr);
}

void TQvHintCycle::StopTimers() {
    KillTimer(FWindow, ShowTimer);
    KillTimer(FWindow, HideTimer);
}

void TQvHintCycle::SetControl(TControl* Control) {
    FControl = Control;
    FControlCheck = Control != nullptr ? Control->AliveCheck() : TQvAliveCheck(std::make_shared<const bool>(false));
    FCursorRect = TRect();
}

void TQvHintCycle::Hide() {
    if (THintWindow* W = FApp->HintWindow(); W != nullptr && W->Active()) W->ReleaseHandle();
}

void TQvHintCycle::Cancel() {
    StopTimers();
    Hide();
    SetControl(nullptr);
    FActive = false;
}

void TQvHintCycle::InputMessage(TControl* Receiver, const TMessage& M) {
    if (dynamic_cast<THintWindow*>(Receiver) != nullptr) return;
    switch (M.Msg) {
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE: {
            POINT P;
            if (GetCursorPos(&P)) PointerAt(P);
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (FControl != nullptr || FActive) Cancel();
            return;
        default:
            return;
    }
}

void TQvHintCycle::Idle(TControl* UnderMouse) {
    if (UnderMouse == nullptr && FControl != nullptr) Cancel();
}

void TQvHintCycle::PointerAt(TPoint Pt) {
    if (FControl != nullptr && !FControlCheck.Alive()) SetControl(nullptr);
    TControl* New = FApp->ShowHint() ? QvHintControlAt(Pt) : nullptr;
    if (New == nullptr) {
        if (FControl != nullptr || FActive) Cancel();
        return;
    }
    if (New == FControl && PtInRect(FCursorRect, Pt)) return;
    // Resting starts over: a hint already showing makes the next one come quickly.
    const bool WasActive = FActive;
    Cancel();
    FActive = WasActive;
    SetControl(New);
    StartTimer(ShowTimer, WasActive ? FApp->HintShortPause() : FApp->HintPause());
}

void TQvHintCycle::Show() {
    if (FControl == nullptr || !FControlCheck.Alive()) return;
    POINT P;
    if (!GetCursorPos(&P) || !FApp->ShowHint() || GetCapture() != nullptr || GetActiveWindow() == nullptr ||
        QvHintControlAt(P) != FControl) {
        FActive = false;
        return;
    }
    TControl* C = FControl;
    THintInfo Info;
    Info.HintControl = C;
    Info.HintPos = TPoint{P.X, P.Y + HintOffsetY};
    Info.HintMaxWidth = Screen != nullptr ? Screen->Width() : 0;
    Info.CursorRect = C->ClientRect();
    Info.CursorPos = C->ScreenToClient(P);
    Info.HintStr = GetShortHint(HintOf(C));
    Info.HideTimeout = FApp->HintHidePause();
    bool CanShow = C->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
    if (!FControlCheck.Alive() || FControl != C) return;
    if (CanShow && FApp->OnShowHint) FApp->OnShowHint(Info.HintStr, CanShow, Info);
    if (!FControlCheck.Alive() || FControl != C) return;
    const TPoint O = C->ClientToScreen(TPoint{0, 0});
    FCursorRect = Info.CursorRect;
    OffsetRect(FCursorRect, O.X, O.Y);
    THintWindow* W = CanShow && !Info.HintStr.empty() ? FApp->HintWindow() : nullptr;
    if (W == nullptr) {
        Hide();
        FActive = false;
        return;
    }
    TRect R = W->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
    OffsetRect(R, Info.HintPos.X, Info.HintPos.Y);
    W->ActivateHintData(R, Info.HintStr, Info.HintData);
    FActive = true;
    if (Info.HideTimeout > 0) StartTimer(HideTimer, Info.HideTimeout);
    if (Info.ReshowTimeout > 0) StartTimer(ShowTimer, Info.ReshowTimeout);
}
