#pragma once
// Light timers: plain objects whose platform timers all run on one hidden window, so a
// control may own several timers without a window for each. Each timer runs under an id
// of its own, never reused, and a tick reaches its timer only through the registry of
// live timers: a tick for a timer that is gone, or that is stopped, is dropped.

#include <unordered_map>

#include "framework/uQvClasses.h"
#include "platform/uQvWinTypes.h"

class TSimpleTimer;

// The shared dispatcher: the hidden window and the registry of live timers. One exists
// while a timer lives or while the library's set-up holds it (from its init step to its
// shutdown step). Its window is made by that init step, or on first need when a timer
// starts outside it, and made again when the window system lost it.
class TSimpleTimerHandler : public TObject {
public:
    ~TSimpleTimerHandler() override;

    // The handler now, nullptr when there is none.
    static TSimpleTimerHandler* Instance();

    // The count of timer objects alive; RemoveTimer stops at 0.
    void AddTimer() { ++FRefCount; }
    void RemoveTimer();
    int RefCount() const { return FRefCount; }
    // The count of timers whose platform timer runs.
    int ActiveCount() const { return FActiveCount; }

    // The hidden window, made when there is none; nullptr when it cannot be made.
    HWND Window();
    // The hidden window when it is alive, without making one.
    HWND CurrentWindow() const;

private:
    friend class TSimpleTimer;
    friend void RegisterSimpleTimers();

    TSimpleTimerHandler() = default;
    static TSimpleTimerHandler& Acquire();
    static void ReleaseIfUnused();
    static void WndProc(TMessage& Message);
    static void Dispatch(UINT_PTR Id);
    void Forget();
    void FreeWindow();

    int FRefCount = 0;
    int FActiveCount = 0;
    HWND FWindow = nullptr;
    bool FHeldBySetUp = false;
    std::unordered_map<UINT_PTR, TSimpleTimer*> FTimers;
};

class TSimpleTimer : public TObject {
public:
    // Interval 1000 ms, no handler, disabled.
    TSimpleTimer();
    // The given interval and handler, disabled.
    TSimpleTimer(UINT AInterval, TNotifyEvent AOnTimer);
    ~TSimpleTimer() override;

    // The id of the platform timer on the shared window; unique per timer object.
    UINT_PTR TimerId() const { return FTimerId; }

    bool Enabled() const { return FEnabled; }
    // True starts (restarts a running timer); it fails, leaving Enabled as it was, with
    // Interval 0, and clears Enabled when the platform refuses the timer.
    void SetEnabled(bool Value);
    UINT Interval() const { return FInterval; }
    // A running timer restarts with the new interval; 0 only stops its platform timer,
    // Enabled stays True, so a later non-zero interval starts it again.
    void SetInterval(UINT Value);
    // One-shot: the timer stops (Enabled False) before each OnTimer, which may restart it.
    bool AutoDisable() const { return FAutoDisable; }
    void SetAutoDisable(bool Value) { FAutoDisable = Value; }
    // A setter, unlike other events: an enabled timer's platform timer runs only while it
    // has a handler.
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // Whether the platform timer runs now.
    bool Running() const { return FRunning; }

private:
    friend class TSimpleTimerHandler;

    bool Start();
    void KillPlatformTimer();
    void Tick();

    UINT_PTR FTimerId;
    bool FEnabled = false;
    UINT FInterval;
    bool FAutoDisable = false;
    TNotifyEvent FOnTimer;
    int FTag = 0;
    bool FRunning = false;
};

// Registers the init step (ioLightTimers) that makes the hidden window and the shutdown
// step that stops every timer and frees the window. Calling it again changes nothing.
void RegisterSimpleTimers();
