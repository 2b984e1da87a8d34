#pragma once
// Geometry, z-order, showing, minimize/maximize/restore, placement and activation.
//
// SetWindowPos sends, in this order: WM_WINDOWPOSCHANGING (DefWindowProc: WM_GETMINMAXINFO
// and clamping when a resizable top-level is sized), WM_NCCALCSIZE (size change or
// SWP_FRAMECHANGED), applies the geometry, WM_WINDOWPOSCHANGED (DefWindowProc: WM_MOVE when
// the client moved, WM_SIZE when it was sized or the state changed), then moves the
// activation when the flags ask for it: the old window gets WM_NCACTIVATE(FALSE) and
// WM_ACTIVATE(WA_INACTIVE), the new one WM_NCACTIVATE(TRUE) and WM_ACTIVATE, then the focus
// moves. The flags reach the handlers as given, except the sets ShowWindow makes:
// hide 0x97, show 0x43, non-activating show 0x57, minimize 0x8170, maximize and restore
// 0x8020 (+0x40 when the window becomes visible, +0x10 when it is not activated).
//
// Z-order: the topmost band lies above the others; an owned window always stays above its
// owner, and raising an owned window raises its owners (which get WM_WINDOWPOSCHANGING /
// WM_WINDOWPOSCHANGED with 0x13). A new window starts at the top of its band.

#include "platform/uQvWinTypes.h"

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL BringWindowToTop(HWND Wnd);
// The entries are applied in order, each with its full message sequence, at the end.
HDWP BeginDeferWindowPos(int NumWindows);
HDWP DeferWindowPos(HDWP Info, HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL EndDeferWindowPos(HDWP Info);

// Returns whether the window was visible before.
BOOL ShowWindow(HWND Wnd, int Cmd);
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);
// Rectangles in screen coordinates for top-level windows, in parent-client coordinates for
// child windows. A minimized window sits at (-32000, -32000) and keeps its normal rectangle.
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);

// Activation applies to visible, enabled top-level windows without WS_EX_NOACTIVATE.
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND Wnd);
HWND GetForegroundWindow();
// The backend lost or regained the application's activation (another program took it).
void QvApplicationDeactivated();

BOOL GetWindowRect(HWND Wnd, RECT* Rect);
BOOL GetClientRect(HWND Wnd, RECT* Rect);
BOOL ClientToScreen(HWND Wnd, POINT* Point);
BOOL ScreenToClient(HWND Wnd, POINT* Point);
// From or To 0 is the screen. Returns MAKELONG(dx, dy) of the offset applied.
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);
// The deepest visible, enabled window under a screen point, skipping windows that answer
// HTTRANSPARENT.
HWND WindowFromPoint(POINT Point);
