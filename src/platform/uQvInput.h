#pragma once
// Input: mouse routing, buttons and double clicks, wheel, capture, leave tracking, the
// keyboard and its state, focus and cursors; and the entry points through which a backend
// feeds raw input.
//
// A mouse event becomes a message when it is retrieved: without capture the windows under
// the point are asked WM_NCHITTEST (children before parents, HTTRANSPARENT passes to the
// next); HTCLIENT gives a client message in client coordinates, any other code an NC
// message with the code in wParam and the screen point in lParam. With capture every mouse
// message goes to the capture window in its client coordinates (negative outside). A press
// sends WM_MOUSEACTIVATE first (and activates), then WM_SETCURSOR. A second press of the
// same button on the same window within 500 ms and a 4 x 4 pixel square becomes a double
// click: always in the non-client area, in the client area only with CS_DBLCLKS. Both
// wheels (WM_MOUSEWHEEL, WM_MOUSEHWHEEL) go to the focus window.

#include <string_view>

#include "platform/uQvWinTypes.h"

HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();

// WM_KILLFOCUS(new) to the old window, WM_SETFOCUS(old) to the new one, activating its
// top-level window first. Windows of a WS_EX_NOACTIVATE top-level never take the focus.
HWND SetFocus(HWND Wnd);
HWND GetFocus();

// One window's client area, or with TME_NONCLIENT the rest of it, is tracked at a time.
// TME_LEAVE: one WM_MOUSELEAVE (WM_NCMOUSELEAVE) is posted when the pointer leaves the area,
// also while the mouse is captured, and every kind of tracking ends; posted at once when the
// pointer is not over the area. TME_HOVER: one WM_MOUSEHOVER (wParam MK_* keys, lParam
// client point) or WM_NCMOUSEHOVER (wParam hit code, lParam screen point) once the pointer
// has rested dwHoverTime ms (HOVER_DEFAULT: SPI_GETMOUSEHOVERTIME, 400) inside the hover
// rectangle (SPI_GETMOUSEHOVERWIDTH x HEIGHT, 4 x 4, centred where the rest began). Requests
// for the same window and area add up; TME_CANCEL takes the named ones back; TME_QUERY
// fills in what is tracked.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* Event);

// Negative when the key is down as of the last retrieved message; bit 0 toggles per press.
SHORT GetKeyState(int VirtKey);
// The state as the backend last reported it.
SHORT GetAsyncKeyState(int VirtKey);

BOOL GetCursorPos(POINT* Point);
// Moves the pointer, as a real move would.
BOOL SetCursorPos(int X, int Y);
UINT GetDoubleClickTime();

// The standard cursors (IDC_*); other ids give 0.
HCURSOR LoadCursor(HINSTANCE Instance, int Id);
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
// The IDC_* of a standard cursor, 0 for others.
int QvCursorId(HCURSOR Cursor);

// ---- Raw input from a backend (screen coordinates) --------------------------------------
enum class TQvButton { Left, Right, Middle };
void QvInputMouseMove(POINT Screen);
void QvInputMouseButton(TQvButton Button, bool Down);
// The pointer left every window of ours, now at Screen: the window it was over hears
// WM_MOUSELEAVE (when tracking) and nothing of ours is under it. Ignored while captured.
void QvInputPointerLeft(POINT Screen);
// Delta in 1/120 notches, positive away from the user, or for the horizontal wheel to the
// right.
void QvInputWheel(int Delta, bool Horizontal = false);
void QvInputKey(int VirtKey, UINT ScanCode, bool Down, bool Extended = false);
// One WM_CHAR per UTF-16 unit.
void QvInputText(std::u16string_view Text);
// Input that another platform unit turns into a message when it is retrieved, so it keeps
// its place among the rest (the input method's composition messages). Make gets the
// keyboard target (the focus window, else the active window; may be 0) and fills hwnd,
// message, wParam and lParam; false drops the event.
using TQvInputMaker = std::function<bool(HWND Target, MSG& Msg)>;
void QvInputMessage(TQvInputMaker Make);
// The input message looked at but not taken is made again, for the window that is under
// it by then: a menu loop that saw a press outside its windows gives up the capture and
// leaves the press to the window beneath.
void QvInputRetarget();
