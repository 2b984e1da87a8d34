#pragma once
// Shared by the window system's own units only: the window record and the calls the units
// make on each other. Nothing outside src/platform includes this.
//
// Records are freed when their window is destroyed, so code that sends a message must look
// its window up again by handle afterwards (QvWnd) instead of keeping the pointer.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "platform/uQvColor.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvWinTypes.h"

struct TQvClass {
    String Name;
    ATOM Atom = 0;
    UINT Style = 0;
    WNDPROC Proc = nullptr;
    HINSTANCE Instance = nullptr;
    HICON Icon = nullptr;
    HCURSOR Cursor = nullptr;
    HBRUSH Background = nullptr;
    std::vector<BYTE> Extra;
    int WndExtra = 0;
    int Windows = 0;  // live windows of the class
};

struct TQvScrollBar {
    bool Set = false;
    int Min = 0;
    int Max = 0;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
};

// How the screen shows a WS_EX_LAYERED top-level window.
enum TQvLayerMode {
    lmPainted,  // SetLayeredWindowAttributes: what the window paints, keyed and/or with constant alpha
    lmPushed,   // UpdateLayeredWindow: only the pushed pixels
};
struct TQvLayer {
    TQvLayerMode Mode = lmPainted;
    DWORD Flags = 0;          // LWA_COLORKEY | LWA_ALPHA as last set
    bool UseKey = false;
    COLORREF Key = 0;
    BYTE Alpha = 255;         // constant alpha
    bool PerPixel = false;    // pushed pixels carry premultiplied alpha
    std::shared_ptr<TGdiBitmap> Pixels;  // pushed pixels, window coordinates
};

// A window in the middle of AnimateWindow: its fade and the part of it that shows.
struct TQvAnimation {
    BYTE Fade = 255;  // multiplies the window's own opacity
    RECT Part;        // window coordinates of what shows
    POINT Shift;      // where window pixel (0, 0) lands, relative to the window's top-left
    bool operator==(const TQvAnimation&) const = default;
};

struct TQvWnd {
    HWND Handle = nullptr;
    std::shared_ptr<TQvClass> Class;
    WNDPROC Proc = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    TQvWnd* Parent = nullptr;              // null for top-level and message-only windows
    TQvWnd* Owner = nullptr;               // top-level windows only
    HWND ModalFor = nullptr;               // QvSetModalFor; may name a window since destroyed
    HWND MarginOf = nullptr;               // QvSetMarginOf; the same
    std::vector<TQvWnd*> Children;         // z-order, topmost first
    std::vector<TQvWnd*> Owned;            // owned top-levels in z-order, topmost first
    RECT Window;                           // parent-client coordinates (screen for top-levels)
    RECT Client;                           // same coordinates as Window
    String Text;
    HFONT Font = nullptr;                  // WM_SETFONT kept by DefWindowProc
    HINSTANCE Instance = nullptr;
    LONG_PTR Id = 0;
    LONG_PTR UserData = 0;
    std::vector<BYTE> Extra;
    std::vector<std::pair<String, HANDLE>> Props;
    TWndMethod Method;                     // AllocateHWnd, QvCreateWindowWithMethod
    bool MessageOnly = false;
    bool Destroying = false;
    bool Redraw = true;                    // WM_SETREDRAW
    // Placement.
    RECT NormalRect;
    bool RestoreToMaximized = false;
    bool HiddenWithOwner = false;          // hidden because its owner was minimized
    UINT Dpi = USER_DEFAULT_SCREEN_DPI;
    bool ClosePressed = false;             // the default close box was pressed
    // Painting.
    TQvRegion Update;                      // client coordinates
    bool ErasePending = false;
    bool InternalPaint = false;            // RDW_INTERNALPAINT: WM_PAINT without an update region
    bool FramePending = false;
    std::optional<TQvRegion> FramePart;    // window coordinates; none: the whole frame
    HBITMAP Backing = nullptr;             // top-level windows: the outer-size bitmap
    std::optional<TQvRegion> Shape;        // SetWindowRgn, window coordinates
    std::unique_ptr<TQvLayer> Layer;       // layered top-levels once an attribute or pixels were set
    std::optional<TQvAnimation> Animation; // while AnimateWindow runs
    TQvScrollBar Scroll[2];

    bool IsChild() const { return Parent != nullptr; }
    bool Visible() const { return (Style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (Style & WS_DISABLED) == 0; }
};

// Window coordinates and sizes are kept within +-2^27 so that no sum of them overflows.
inline constexpr int QvCoordLimit = 1 << 27;
inline int QvClampCoord(int64_t V) {
    return static_cast<int>(V < -QvCoordLimit ? -QvCoordLimit : V > QvCoordLimit ? QvCoordLimit : V);
}
// Left, top, width and height clamped into range; a negative size becomes 0.
inline RECT QvSaneBounds(int64_t X, int64_t Y, int64_t Cx, int64_t Cy) {
    const int L = QvClampCoord(X), T = QvClampCoord(Y);
    return RECT{L, T, L + QvClampCoord(Cx < 0 ? 0 : Cx), T + QvClampCoord(Cy < 0 ? 0 : Cy)};
}
// A rectangle a handler returned, made sane: clamped, never inverted.
inline RECT QvSaneRect(const RECT& R) {
    const int L = QvClampCoord(R.Left), T = QvClampCoord(R.Top);
    return RECT{L, T, std::max(L, QvClampCoord(R.Right)), std::max(T, QvClampCoord(R.Bottom))};
}

// ---- uQvWindows ------------------------------------------------------------------------
TQvWnd* QvWnd(HWND Handle);
// Sends through the WH_CALLWNDPROC hooks to the window's procedure; 0 for a dead handle.
LRESULT QvSend(HWND Handle, UINT Msg, WPARAM W, LPARAM L);
// Calls a window procedure directly (the procedure of the window or an AllocateHWnd method).
LRESULT QvCallProc(TQvWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam);
// The top-level window of W (W itself when it is one).
TQvWnd* QvTopLevel(TQvWnd* W);
// True when W and all its parents are visible.
bool QvIsVisible(const TQvWnd* W);
// Screen position of the window's client origin.
POINT QvClientOrigin(const TQvWnd* W);
// Screen rectangle of the window.
RECT QvScreenRect(const TQvWnd* W);
// True when Inner is Outer or lies inside it.
bool QvIsSelfOrDescendant(const TQvWnd* Outer, const TQvWnd* Inner);
// Every live window.
std::vector<TQvWnd*> QvAllWindows();

// ---- uQvWinPos -------------------------------------------------------------------------
// Links a new window into its z-order (top of its band) / unlinks it.
void QvZLink(TQvWnd* W);
void QvZUnlink(TQvWnd* W);
// Takes the window out of its siblings only, keeping its owned windows and the activation
// (before it gets another owner).
void QvZDetach(TQvWnd* W);
// Top-level windows (message-only ones excluded) in z-order, topmost first.
const std::vector<TQvWnd*>& QvZOrder();
// Moves activation away from a window that is hidden, minimized, disabled or destroyed.
void QvActivateOther(HWND Leaving);
// Activates a top-level window (null deactivates the application).
bool QvActivate(HWND Handle, int How, bool MoveFocus);
// The flags and moved/sized outcome of the position change in progress for a window, for
// DefWindowProc(WM_WINDOWPOSCHANGED).
struct TQvPosChange {
    const WINDOWPOS* Pos = nullptr;
    bool Moved = false;
    bool Sized = false;
};
const TQvPosChange* QvCurrentPosChange(const WINDOWPOS* Pos);
// Fills a MINMAXINFO with the defaults for a window and sends WM_GETMINMAXINFO.
MINMAXINFO QvGetMinMaxInfo(HWND Handle);
// Windows that may take a mouse event at a screen point, most preferred first: children
// before parents, upper windows before lower ones. A disabled top-level window ends the
// list (it swallows the point) unless SkipDisabledTops.
std::vector<TQvWnd*> QvHitCandidates(POINT Pt, bool SkipDisabledTops);
// Sends WM_DPICHANGED when a top-level window now lies on a monitor of another dpi.
void QvCheckDpi(HWND Handle);

// ---- uQvInput --------------------------------------------------------------------------
void QvInputWindowGone(TQvWnd* W);
// Converts the next raw input event into a message. False when there is none.
bool QvTakeInput(MSG& Msg, HWND Filter, UINT Min, UINT Max, bool Remove);
bool QvHasInput();
// When the oldest input not yet taken came; none when all was taken.
std::optional<uint64_t> QvInputPendingSince();
// A WM_NCHITTEST was sent for another point than the mouse event being routed.
void QvNoteHitTestProbe();

// ---- uQvTimers -------------------------------------------------------------------------
void QvTimersWindowGone(HWND Handle);
// The next due timer as a WM_TIMER message. False when none is due.
bool QvTakeTimer(MSG& Msg, HWND Filter, UINT Min, UINT Max, bool Remove);
// The earliest deadline of any timer.
std::optional<uint64_t> QvNextTimerDeadline();
// True when a timer (Handle, Id) exists (dispatch drops ticks of killed timers).
bool QvTimerExists(HWND Handle, UINT_PTR Id);
// The procedure the timer was set with, nullptr for none (or no such timer).
TIMERPROC QvTimerProc(HWND Handle, UINT_PTR Id);
// The window system's own one-shot timers (no WM_TIMER): Fire runs once the backend clock
// reaches Due, when the queue is next looked at. Setting a key again replaces its timer.
// Their deadlines count for waiting loops like those of window timers.
enum TQvSysTimer { stCaretBlink, stMouseHover };
void QvSetSysTimer(TQvSysTimer Key, uint64_t Due, std::function<void()> Fire);
void QvKillSysTimer(TQvSysTimer Key);
// Fires the due ones, earliest first, but none due after InputSince (the time of the
// oldest input not yet taken), so they keep their place among the input.
void QvRunSysTimers(std::optional<uint64_t> InputSince);

// ---- uQvMessages -----------------------------------------------------------------------
// Hands an exception caught at dispatch to the handler.
void QvReportDispatchException(std::exception_ptr E);

// ---- uQvMonitors -----------------------------------------------------------------------
UINT QvDpiAt(const RECT& ScreenRect);

// ---- uQvWinPaint -----------------------------------------------------------------------
// The next window to paint as a WM_PAINT message (it stays until validated).
bool QvTakePaint(MSG& Msg, HWND Filter, UINT Min, UINT Max);
// After WM_PAINT was handled: whatever is still invalid counts as painted.
void QvPaintDispatched(HWND Handle);
// After a position change was applied: the backing bitmap follows the size, exposed parts
// are invalidated and the window gets WM_NCPAINT / WM_ERASEBKGND for them.
void QvPaintPosChanged(HWND Handle, const RECT& OldWindow, const RECT& OldClient, bool WasVisible, UINT Flags);
void QvPaintWindowGone(TQvWnd* W);
// True when a screen point lies in the window's rectangle and region.
bool QvWindowHolds(const TQvWnd* W, POINT Screen);
// A DC on the whole window, clipped as GetWindowDC's and to Limit (screen coordinates)
// when given; freed with ReleaseDC.
HDC QvWindowDC(TQvWnd* W, const TQvRegion* Limit);
// The window's visible client area (or Whole: all of it) in its top-level window's
// coordinates, clipped as its DCs are.
TQvRegion QvVisibleRegion(const TQvWnd* W, bool Whole);

// ---- uQvCaret --------------------------------------------------------------------------
// The caret is drawn only while no window DC that could draw over it is held: a DC made on
// Top (Bounds: what it may draw, top-level coordinates) takes the caret's pixels off, and
// releasing the last such DC draws the caret again (a DC deleted without ReleaseDC stops
// holding at the next blink). Since drawing goes through DCs, the inverted pixels stay as
// drawn until the caret takes them back.
void QvCaretHold(HDC Dc, const TQvWnd* Top, const RECT& Bounds);
void QvCaretRelease(HDC Dc);
void QvCaretWindowGone(HWND Handle);

// ---- uQvScreen -------------------------------------------------------------------------
// Pixels of these screen parts may have changed: compose and present them again.
void QvScreenChanged(const TQvRegion& Screen);
void QvScreenChanged(const RECT& Screen);
// Hands what changed since the last call to the backend.
void QvScreenPresent();
// A DC on the composed screen (GetDC(0), CreateDC("DISPLAY")).
HDC QvScreenDC();

// ---- uQvTopLevels ----------------------------------------------------------------------
// Tells the backend what changed of the top-level windows since it last heard, then
// presents the shown windows' parts within ScreenChanged (screen coordinates).
void QvTopLevelsSync(const TQvRegion& ScreenChanged);

// ---- uQvWinLayered ---------------------------------------------------------------------
// False when a layered top-level window lets the screen point through (transparent pixel,
// colour key, constant alpha 0, WS_EX_TRANSPARENT).
bool QvLayerHolds(const TQvWnd* W, POINT Screen);

