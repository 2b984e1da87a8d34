#pragma once
// The display backend: what the window system needs from the machine it runs on. The core
// owns every window semantic (z-order, routing, loops, timers); a backend only keeps the
// clock, waits for input, describes the screen and later presents pixels. Backends feed
// input through the functions of platform/uQvInput.h.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    // False when the pointer position cannot be read right now.
    virtual bool CursorPosAvailable() const { return true; }
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
    // These parts of the composed screen (screen coordinates) changed since the last call;
    // a backend that shows the whole screen reads them from QvComposedScreen().
    virtual void Present(const TQvRegion& Changed) { (void)Changed; }
};

// The backend in use. Without an explicit one, a headless backend is installed on first use.
TQvBackend& QvBackend();
// Replaces the backend; the window system keeps its windows. Now() follows the backend's
// wall clock from then on.
void QvSetBackend(std::unique_ptr<TQvBackend> Backend);
