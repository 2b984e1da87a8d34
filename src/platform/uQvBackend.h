#pragma once
// The display backend: what the window system needs from the machine it runs on. The core
// owns every window semantic (z-order, routing, loops, timers); a backend keeps the clock,
// waits for input, describes the screen and shows pixels, either as one composed screen
// (Present, QvComposedScreen) or as one native window per top-level window (the Window*
// calls and PresentWindow). Backends feed input through platform/uQvInput.h and what a
// window manager does on its own through platform/uQvWinManager.h.
//
// The window system tells a backend about top-level windows when the loop is about to wait
// (and during AnimateWindow): first every change of the windows' state in z-order, then
// the z-order, then the dirty parts of each shown window, then the composed screen's.
// A backend installed after windows exist hears of each of them as created.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uQvColor.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvWinTypes.h"

// One monitor of the virtual screen; the first one a backend lists is the primary.
struct TQvMonitorDesc {
    TRect Bounds;
    TRect Work;
    UINT Dpi = USER_DEFAULT_SCREEN_DPI;
};

// Raised by a waiting loop when nothing can ever wake it: no input will come and no timer
// is pending. Dispatch lets it through, so a stuck loop fails loudly instead of hanging.
class EQvStalled : public EQvError {
public:
    using EQvError::EQvError;
};

// Raised by a waiting loop once the connection to the display is gone (the display server
// ended): nothing can wake the loop any more, so it is let through like EQvStalled and ends
// the program after its shut-down steps ran.
class EQvDisplayLost : public EQvStalled {
public:
    using EQvStalled::EQvStalled;
};

// A top-level window as a backend sees it (message-only windows are never reported).
struct TQvTopLevel {
    HWND Handle = nullptr;
    HWND Owner = nullptr;
    RECT Window{};         // screen coordinates
    DWORD Style = 0;       // WS_VISIBLE, WS_MINIMIZE, WS_MAXIMIZE included
    DWORD ExStyle = 0;
    bool Shown = false;    // visible and not minimized
    BYTE Alpha = 255;      // constant alpha, a running AnimateWindow fade included
    bool UseKey = false;   // pixels of colour Key are transparent
    COLORREF Key = 0;
    bool Pushed = false;   // shows only pixels pushed with UpdateLayeredWindow
    bool PerPixel = false; // the pushed pixels carry premultiplied alpha
    std::optional<TQvRegion> Shape;  // SetWindowRgn, window coordinates
    // The top-level window a modal loop runs this one for, while this one is shown.
    HWND ModalFor = nullptr;
    // The top-level window whose margin this one belongs to (a shadow's side).
    HWND MarginOf = nullptr;
    bool operator==(const TQvTopLevel&) const = default;
};

// What changed of a top-level window since the backend last heard (bits).
enum TQvTopLevelChange : unsigned {
    tcGeometry = 1,
    tcShown = 2,
    tcStyle = 4,
    tcOwner = 8,
    tcLayer = 16,  // Alpha, UseKey, Key, Pushed, PerPixel
    tcShape = 32,
    tcModal = 64,
    tcMargin = 128,
};

// What the display can show; the window system picks its fallbacks from it.
struct TQvDisplayCaps {
    bool Translucency = true;  // constant and per-pixel alpha of whole windows
    bool Shaped = true;        // window regions, colour keys, click-through
    bool PerMonitorDpi = true;
};

class TQvBackend {
public:
    virtual ~TQvBackend() = default;

    // Milliseconds on the backend clock; never goes back.
    virtual uint64_t Now() const = 0;
    // Milliseconds since 1970-01-01 00:00 local time, moving with Now().
    virtual int64_t WallClock() const = 0;
    // Returns when input was fed to the window system or the clock reached Deadline
    // (a Now() value); without a deadline only input ends the wait. Throws EQvStalled when
    // neither can ever happen.
    virtual void Wait(std::optional<uint64_t> Deadline) = 0;
    // Blocks the UI thread for Ms milliseconds; nothing is dispatched meanwhile.
    virtual void Sleep(uint32_t Ms) = 0;
    virtual std::vector<TQvMonitorDesc> Monitors() const = 0;
    virtual TQvDisplayCaps DisplayCaps() const { return {}; }
    // False when the pointer position cannot be read right now.
    virtual bool CursorPosAvailable() const { return true; }
    // The pointer's true screen position, when the backend knows it better than the last
    // input it fed (the pointer left every window of ours).
    virtual std::optional<POINT> PointerPos() const { return std::nullopt; }
    // SetCursorPos: moves the real pointer (the window system then sees it there).
    virtual void WarpPointer(POINT) {}
    // A window took the mouse capture (true) or the capture ended, so the backend can keep
    // receiving the pointer beyond its windows.
    virtual void CaptureChanged(bool Captured) { (void)Captured; }
    // The machine's locale as an LCID; 0 leaves it to the environment (GetSystemDefaultLCID).
    virtual DWORD SystemLCID() const { return 0; }
    // The cursor shape to show changed.
    virtual void CursorChanged(HCURSOR) {}
    // An exception escaped a window procedure; it was caught at dispatch and the loop goes on.
    virtual void ReportException(const std::string& What) = 0;
    // The text on the system clipboard ("" when it holds none), and replacing it ("" empties
    // it).
    virtual String ClipboardText() const = 0;
    virtual void SetClipboardText(const String& Text) = 0;
    // The screen rectangle the input method should keep its candidates clear of, while a
    // window composes text.
    virtual void ImeInputRect(const RECT&) {}
    // ---- Top-level windows ----
    virtual void WindowCreated(const TQvTopLevel&) {}
    // Changes: TQvTopLevelChange bits.
    virtual void WindowChanged(const TQvTopLevel&, unsigned Changes) { (void)Changes; }
    virtual void WindowDestroyed(HWND) {}
    // Every top-level window, topmost first, whenever their order changed.
    virtual void ZOrderChanged(const std::vector<HWND>& TopFirst) { (void)TopFirst; }
    // These parts (window coordinates) of a shown window changed; its pixels are read with
    // QvTopLevelPixels.
    virtual void PresentWindow(HWND, const TQvRegion& Dirty) { (void)Dirty; }
    // These parts of the composed screen (screen coordinates) changed since the last call;
    // a backend that shows the whole screen reads them from QvComposedScreen().
    virtual void Present(const TQvRegion& Changed) { (void)Changed; }
};


// The backend in use. Without an explicit one, a headless backend is installed on first use.
TQvBackend& QvBackend();
// Replaces the backend; the window system keeps its windows. Now() follows the backend's
// wall clock from then on.
void QvSetBackend(std::unique_ptr<TQvBackend> Backend);
