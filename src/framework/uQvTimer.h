#pragma once
// TTimer: OnTimer every Interval milliseconds while Enabled, on a hidden window of its
// own. A platform timer runs only while it is enabled, the interval is not 0 and there is
// an OnTimer to call, so an idle timer never wakes a waiting loop.

#include <memory>

#include "framework/uQvClasses.h"
#include "platform/uQvWinTypes.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    UINT Interval() const { return FInterval; }
    void SetInterval(UINT Value);
    // A setter, unlike other events: whether a platform timer runs depends on it.
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);
    // Whether a platform timer is running now.
    bool Running() const { return FRunning; }

protected:
    virtual void Timer();

private:
    void UpdateTimer();

    HWND FWindow = nullptr;
    bool FEnabled = true;
    UINT FInterval = 1000;
    bool FRunning = false;
    TNotifyEvent FOnTimer;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
