#pragma once
// The hint cycle: after the pointer rested HintPause over a control that shows hints, the
// control gets CM_HINTSHOW with a THintInfo, then the application's hint window shows the
// text; it hides after the hide timeout, when the pointer leaves the cursor rectangle or
// its control, or at a press or a key. Moving to another hinted control while a hint
// shows brings the new one after HintShortPause. Timers on a window of the cycle's own
// drive it, so it runs in every loop that dispatches timers (Run, modal loops, a test
// pumping messages).

#include "framework/uQvHints.h"

class TApplication;

class TQvHintCycle {
public:
    explicit TQvHintCycle(TApplication* App);
    ~TQvHintCycle();
    TQvHintCycle(const TQvHintCycle&) = delete;
    TQvHintCycle& operator=(const TQvHintCycle&) = delete;

    // An input message reaching Receiver's window: moves start or go on with the cycle,
    // presses and keys end it.
    void InputMessage(TControl* Receiver, const TMessage& Message);
    // Idle check: a pointer outside every control of ours ends the cycle.
    void Idle(TControl* UnderMouse);
    // Hides the hint and forgets the control.
    void Cancel();
    // The control the cycle follows now.
    TControl* HintControl() const { return FControl; }

private:
    void PointerAt(TPoint Pt);
    void Show();
    void Hide();
    void StartTimer(UINT Id, int Ms);
    void StopTimers();
    void SetControl(TControl* Control);

    TApplication* FApp;
    HWND FWindow = nullptr;
    TControl* FControl = nullptr;
    TQvAliveCheck FControlCheck{std::make_shared<const bool>(false)};
    TRect FCursorRect;  // screen
    bool FActive = false;  // a hint shows
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The control whose hint the pointer at Screen shows: the deepest control there, or the
// nearest parent with ShowHint.
TControl* QvHintControlAt(TPoint Screen);
