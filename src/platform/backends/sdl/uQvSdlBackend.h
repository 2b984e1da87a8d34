#pragma once
// The SDL backend: our window system on a real display through SDL2.
//
// On X11 (XWayland included) every shown top-level window is a native borderless window
// (uQvSdlWindows.h). On a Wayland-only desktop, where a program may neither place its
// windows nor see the pointer beyond them, one window shows the whole composed screen, as
// the headless backend composes it (virtual-desktop mode).
//
// The loop sleeps on the display connection until an event comes or the next timer is due:
// an idle program makes no wake-ups. Input becomes the window system's raw input in screen
// coordinates; what a window manager does becomes the calls of platform/uQvWinManager.h.
// Once the display connection is lost every wait raises EQvDisplayLost and nothing calls
// the display any more.

#include <SDL.h>

#include <map>
#include <memory>
#include <string>

#include "platform/backends/sdl/uQvSdlMapping.h"
#include "platform/backends/sdl/uQvSdlWindows.h"
#include "platform/uQvBackend.h"

struct TQvSdlOptions {
    const char* Driver = nullptr;  // SDL's video driver; null: SDL chooses
    bool VirtualDesktop = false;   // one window shows the whole screen
};

class TQvSdlBackend : public TQvBackend {
public:
    // Opens the display; null with the reason in Error when it cannot.
    static std::unique_ptr<TQvSdlBackend> Open(const TQvSdlOptions& Options, std::string& Error);
    ~TQvSdlBackend() override;

    uint64_t Now() const override;
    int64_t WallClock() const override;
    void Wait(std::optional<uint64_t> Deadline) override;
    void Sleep(uint32_t Ms) override;
    std::vector<TQvMonitorDesc> Monitors() const override { return FMonitors; }
    TQvDisplayCaps DisplayCaps() const override;
    std::optional<POINT> PointerPos() const override;
    void WarpPointer(POINT Screen) override;
    void CaptureChanged(bool Captured) override;
    void CursorChanged(HCURSOR Cursor) override;
    void ReportException(const std::string& What) override;
    String ClipboardText() const override;
    void SetClipboardText(const String& Text) override;
    void ImeInputRect(const RECT& Screen) override;
    void WindowCreated(const TQvTopLevel& D) override;
    void WindowChanged(const TQvTopLevel& D, unsigned Changes) override;
    void WindowDestroyed(HWND Handle) override;
    void ZOrderChanged(const std::vector<HWND>& TopFirst) override;
    void PresentWindow(HWND Handle, const TQvRegion& Dirty) override;
    void Present(const TQvRegion& Changed) override;

    // Handles one SDL event as a wait does (the end of a batch of events is FinishBatch).
    void Handle(const SDL_Event& Event);
    void FinishBatch();
    // A compositor started (Running) or stopped: the display's capabilities, the native
    // windows and, through WM_DWMCOMPOSITIONCHANGED, the window system follow.
    void CompositorChanged(bool Running);
    // The connection to the display broke: from now on waits raise EQvDisplayLost.
    void DisplayLost();
    bool IsLost() const { return FLost; }
    bool VirtualDesktop() const { return FDesktop != nullptr; }
    TQvSdlWindows& Windows() { return *FWindows; }
    const TQvSdlDisplay& Display() const { return FDisplay; }

private:
    TQvSdlBackend() = default;
    bool Start(const TQvSdlOptions& Options, std::string& Error);
    void ReadMonitors();
    bool Drain();
    void Block(int TimeoutMs);
    HWND TargetOf(Uint32 WindowId) const;
    POINT ScreenPoint(Uint32 WindowId, int X, int Y) const;
    POINT GlobalPoint() const;
    void MoveTo(POINT Screen);
    void ApplyText(const TQvSdlTextAction& A);
    void ApplyImeRect();
    void WindowEvent(const SDL_WindowEvent& E);
    // Whether the display's focus events tell of the user's doing (a window manager runs,
    // or the driver is not X11).
    bool FocusMeans() const { return FDisplay.X11 == nullptr || FDisplay.WindowManager; }

    bool FLost = false;
    bool FVideo = false;  // SDL video was started
    TQvSdlDisplay FDisplay;
    TPoint FOrigin;
    std::string FResources;
    std::vector<TQvMonitorDesc> FMonitors;
    std::unique_ptr<TQvSdlWindows> FWindows;
    SDL_Window* FProbe = nullptr;    // hidden: holds the display connection open
    SDL_Window* FDesktop = nullptr;  // virtual-desktop mode's window
    String FDesktopTitle;
    int FFd = -1;                    // the display connection, -1: wait through SDL
    uint64_t FSettleAt = 0;          // one more wake-up after input, for SDL's late events
    // Input state.
    bool FCaptured = false;
    bool FOutside = true;  // the pointer is over no window of ours
    std::optional<POINT> FLastPoint;
    TQvSdlWheel FWheelY, FWheelX;
    TQvSdlTextState FText;
    std::optional<RECT> FImeRect;
    HWND FFocusGained = nullptr, FFocusLost = nullptr;
    bool FLeft = false;
    std::map<int, SDL_Cursor*> FCursors;
    // QV_SDL_TRACE=1: the wall-clock times of the first frame and of the next frame after
    // each press, and each press's time to it, go to stderr (figures for docs/performance.md).
    bool FTrace = false;
    bool FFirstFrame = true;
    std::optional<uint64_t> FPressAt;
    void Presented();
};
