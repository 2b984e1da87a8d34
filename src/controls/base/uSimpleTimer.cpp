#include "controls/base/uSimpleTimer.h"

#include "framework/uQvAppInit.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWindows.h"

namespace {

TSimpleTimerHandler* GHandler = nullptr;

// Ids are never reused, so a tick meant for a freed timer cannot reach a newer one.
UINT_PTR NextTimerId() {
    static UINT_PTR Last = 0;
    return ++Last;
}

}  // namespace

// ---- TSimpleTimerHandler ------------------------------------------------------------------

TSimpleTimerHandler::~TSimpleTimerHandler() {
    FreeWindow();
    if (GHandler == this) GHandler = nullptr;
}

TSimpleTimerHandler* TSimpleTimerHandler::Instance() {
    return GHandler;
}

TSimpleTimerHandler& TSimpleTimerHandler::Acquire() {
    if (GHandler == nullptr) GHandler = new TSimpleTimerHandler();
    return *GHandler;
}

void TSimpleTimerHandler::ReleaseIfUnused() {
    TSimpleTimerHandler* H = GHandler;
    if (H != nullptr && H->FRefCount == 0 && H->FTimers.empty() && !H->FHeldBySetUp) delete H;
}

void TSimpleTimerHandler::RemoveTimer() {
    if (FRefCount > 0) --FRefCount;
}

HWND TSimpleTimerHandler::Window() {
    if (HWND W = CurrentWindow()) return W;
    // The platform timers went with a lost window.
    Forget();
    FWindow = AllocateHWnd(&TSimpleTimerHandler::WndProc);
    return FWindow;
}

HWND TSimpleTimerHandler::CurrentWindow() const {
    return FWindow != nullptr && IsWindow(FWindow) ? FWindow : nullptr;
}

void TSimpleTimerHandler::Forget() {
    for (auto& Entry : FTimers) Entry.second->FRunning = false;
    FActiveCount = 0;
    FWindow = nullptr;
}

void TSimpleTimerHandler::FreeWindow() {
    if (HWND W = CurrentWindow()) DeallocateHWnd(W);
    Forget();
}

void TSimpleTimerHandler::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        Dispatch(Message.WParam);
        return;
    }
    Message.Result = DefWindowProc(GHandler != nullptr ? GHandler->FWindow : nullptr, Message.Msg,
                                   Message.WParam, Message.LParam);
}

void TSimpleTimerHandler::Dispatch(UINT_PTR Id) {
    if (GHandler == nullptr) return;
    const auto It = GHandler->FTimers.find(Id);
    if (It == GHandler->FTimers.end()) return;
    // The tick may free the timer and, with the last one, this handler: nothing after it.
    It->second->Tick();
}

// ---- TSimpleTimer -------------------------------------------------------------------------

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(UINT AInterval, TNotifyEvent AOnTimer)
    : FTimerId(NextTimerId()), FInterval(AInterval), FOnTimer(std::move(AOnTimer)) {
    TSimpleTimerHandler& H = TSimpleTimerHandler::Acquire();
    H.AddTimer();
    H.FTimers.emplace(FTimerId, this);
}

TSimpleTimer::~TSimpleTimer() {
    KillPlatformTimer();
    if (TSimpleTimerHandler* H = GHandler) {
        H->FTimers.erase(FTimerId);
        H->RemoveTimer();
    }
    TSimpleTimerHandler::ReleaseIfUnused();
}

void TSimpleTimer::SetEnabled(bool Value) {
    if (Value) {
        Start();
        return;
    }
    KillPlatformTimer();
    FEnabled = false;
}

void TSimpleTimer::SetInterval(UINT Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    if (!FEnabled) return;
    if (Value == 0)
        KillPlatformTimer();
    else
        Start();
}

void TSimpleTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    if (!FEnabled) return;
    if (!FOnTimer)
        KillPlatformTimer();
    else if (!FRunning)
        Start();
}

bool TSimpleTimer::Start() {
    if (FInterval == 0) return false;
    KillPlatformTimer();
    TSimpleTimerHandler& H = TSimpleTimerHandler::Acquire();
    const HWND W = H.Window();
    if (W == nullptr || SetTimer(W, FTimerId, FInterval, nullptr) == 0) {
        FEnabled = false;
        return false;
    }
    FRunning = true;
    FEnabled = true;
    ++H.FActiveCount;
    return true;
}

void TSimpleTimer::KillPlatformTimer() {
    if (!FRunning) return;
    FRunning = false;
    TSimpleTimerHandler* H = GHandler;
    if (H == nullptr) return;
    if (HWND W = H->CurrentWindow()) KillTimer(W, FTimerId);
    if (H->FActiveCount > 0) --H->FActiveCount;
}

void TSimpleTimer::Tick() {
    // A tick posted before the timer stopped.
    if (!FRunning) return;
    if (FAutoDisable) SetEnabled(false);
    if (!FOnTimer) return;
    // A copy: the handler may free this timer, and its own handler with it.
    const TNotifyEvent Handler = FOnTimer;
    Handler(this);
}

// ---- Set-up -------------------------------------------------------------------------------

void RegisterSimpleTimers() {
    QvRegisterInitStep(
        ioLightTimers, u"light timers",
        [] {
            TSimpleTimerHandler& H = TSimpleTimerHandler::Acquire();
            H.FHeldBySetUp = true;
            H.Window();
        },
        [] {
            TSimpleTimerHandler* H = GHandler;
            if (H == nullptr) return;
            for (auto& Entry : H->FTimers) Entry.second->SetEnabled(false);
            H->FreeWindow();
            H->FHeldBySetUp = false;
            TSimpleTimerHandler::ReleaseIfUnused();
        });
}
