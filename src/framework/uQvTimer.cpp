#include "framework/uQvTimer.h"

#include "platform/uQvDefWindowProc.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWindows.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    const std::shared_ptr<const bool> Alive = FAlive;
    FWindow = AllocateHWnd([this, Alive](TMessage& M) {
        if (!*Alive) return;
        if (M.Msg == WM_TIMER) {
            Timer();
            return;
        }
        M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
    });
}

TTimer::~TTimer() {
    *FAlive = false;
    if (FRunning) KillTimer(FWindow, 1);
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FRunning) KillTimer(FWindow, 1);
    FRunning = FEnabled && FInterval != 0 && FOnTimer && SetTimer(FWindow, 1, FInterval, nullptr) != 0;
}

void TTimer::Timer() {
    if (FEnabled && FOnTimer) {
        const TNotifyEvent Handler = FOnTimer;
        Handler(this);
    }
}
