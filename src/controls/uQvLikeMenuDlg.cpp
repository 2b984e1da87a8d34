#include "controls/uQvLikeMenuDlg.h"

#include "framework/uQvRegistry.h"
#include "framework/uQvTimer.h"
#include "framework/uQvWinControl.h"
#include "platform/uQvInput.h"

namespace {
std::unique_ptr<TTimer> MakeTimer(UINT Interval, TNotifyEvent OnTimer) {
    auto T = std::make_unique<TTimer>(nullptr);
    T->SetEnabled(false);
    T->SetInterval(Interval);
    T->SetOnTimer(std::move(OnTimer));
    return T;
}
}  // namespace

TQvLikeMenuDlg::TQvLikeMenuDlg(TComponent* AOwner) : TComponent(AOwner) {
    FOutsideCapture = MakeTimer(20, [this](TObject*) { OutsideCaptureTimer(); });
    FDoStop = MakeTimer(200, [this](TObject*) { DoStopTimer(); });
}

TQvLikeMenuDlg::~TQvLikeMenuDlg() {
    *FAlive = false;
    ReleaseOwnCapture();
    Unhook();
}

void TQvLikeMenuDlg::Unhook() {
    if (FDestWin == nullptr) return;
    if (FOldWindowProc) FDestWin->WindowProc = FOldWindowProc;
    FOldWindowProc = nullptr;
    FDestWin->RemoveFreeNotification(this);
    FDestWin = nullptr;
}

void TQvLikeMenuDlg::Capture(TWinControl* DestWin) {
    ReleaseOwnCapture();
    Unhook();
    FDestWin = DestWin;
    if (DestWin != nullptr) {
        DestWin->FreeNotification(this);
        FOldWindowProc = DestWin->WindowProc;
        // A copy of the procedure kept by a dispatch still running when the dialog goes
        // passes the message to the old procedure instead.
        std::weak_ptr<bool> Alive = FAlive;
        TWndMethod Old = FOldWindowProc;
        DestWin->WindowProc = [this, Alive, Old](TMessage& M) {
            if (const auto A = Alive.lock(); A && *A)
                HookWndProc(M);
            else if (Old)
                Old(M);
        };
    }
    FDoStop->SetEnabled(false);
    FOutsideCapture->SetEnabled(DestWin != nullptr);
    FCaptured = false;
    FStop = false;
}

void TQvLikeMenuDlg::ReleaseOwnCapture() {
    if (FCaptured && FDestWin != nullptr && FDestWin->HandleAllocated() && GetCapture() == FDestWin->Handle())
        ReleaseCapture();
    FCaptured = false;
}

void TQvLikeMenuDlg::Stop() {
    FStop = true;
    FOutsideCapture->SetEnabled(false);
    ReleaseOwnCapture();
    if (OnMouseClickOutside) OnMouseClickOutside(this);
}

bool TQvLikeMenuDlg::MouseIn() const {
    if (FDestWin == nullptr) return false;
    POINT P{};
    if (!GetCursorPos(&P)) return true;
    const TPoint C = FDestWin->ScreenToClient(TPoint{P.X, P.Y});
    return PtInRect(FDestWin->GetClientRect(), C);
}

void TQvLikeMenuDlg::HookWndProc(TMessage& Message) {
    const bool Inside = MouseIn();
    // Both may be freed by an OnMouseClickOutside handler.
    const TWndMethod Old = FOldWindowProc;
    const TQvAliveCheck Window = FDestWin->AliveCheck();
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCACTIVATE:
            if (Inside)
                FOutsideCapture->SetEnabled(true);
            else if (FStop)
                FDoStop->SetEnabled(true);
            else
                Stop();
            break;
        case WM_MOUSEMOVE: FOutsideCapture->SetEnabled(true); break;
        default: break;
    }
    if (Window.Alive() && Old) Old(Message);
}

void TQvLikeMenuDlg::OutsideCaptureTimer() {
    if (FStop || FDestWin == nullptr || !FDestWin->HandleAllocated()) return;
    // Someone else took the capture meanwhile: ours is gone.
    if (FCaptured && GetCapture() != FDestWin->Handle()) FCaptured = false;
    const bool Inside = MouseIn();
    if (!Inside && !FCaptured) {
        SetCapture(FDestWin->Handle());
        FCaptured = true;
    } else if (Inside && FCaptured) {
        ReleaseOwnCapture();
    }
}

void TQvLikeMenuDlg::DoStopTimer() {
    FDoStop->SetEnabled(false);
    Stop();
}

void TQvLikeMenuDlg::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != FDestWin) return;
    // The window and its procedure are gone with it: nothing to give back or release.
    FDestWin = nullptr;
    FOldWindowProc = nullptr;
    FCaptured = false;
    FOutsideCapture->SetEnabled(false);
    FDoStop->SetEnabled(false);
}

void RegisterQvLikeMenuDlg() { RegisterClass<TQvLikeMenuDlg, TComponent>(u"TQvLikeMenuDlg"); }
