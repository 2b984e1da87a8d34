#pragma once
// TQvLikeMenuDlg: makes a popup window behave like a menu. It watches the mouse around one
// window and reports a click outside it, so the popup can close: while the pointer is
// outside, the window holds the mouse capture, so the next click anywhere reaches it.

#include <memory>

#include "framework/uQvControl.h"

class TTimer;
class TWinControl;

class TQvLikeMenuDlg : public TComponent {
public:
    explicit TQvLikeMenuDlg(TComponent* AOwner);
    // Gives a living watched window its procedure back and releases a capture it holds.
    ~TQvLikeMenuDlg() override;

    // Starts watching DestWin (a window watched before gets its procedure back).
    void Capture(TWinControl* DestWin);
    // Ends watching: the capture is released and OnMouseClickOutside fires.
    void Stop();
    // Whether the pointer lies in the watched window's client area. A pointer position
    // that cannot be read counts as inside: nothing closes on a guess.
    bool MouseIn() const;

    TWinControl* DestWin() const { return FDestWin; }
    bool Captured() const { return FCaptured; }
    bool Stopped() const { return FStop; }

    TNotifyEvent OnMouseClickOutside;

protected:
    // The watched window's procedure while it is hooked.
    virtual void HookWndProc(TMessage& Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Unhook();
    void ReleaseOwnCapture();
    void OutsideCaptureTimer();
    void DoStopTimer();

    std::unique_ptr<TTimer> FOutsideCapture;  // 20 ms: takes or gives back the capture
    std::unique_ptr<TTimer> FDoStop;          // 200 ms: reports a click after watching stopped
    TWinControl* FDestWin = nullptr;
    TWndMethod FOldWindowProc;
    bool FCaptured = false;
    bool FStop = false;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Registers the dialog for stored layouts. Calling it again does nothing.
void RegisterQvLikeMenuDlg();
