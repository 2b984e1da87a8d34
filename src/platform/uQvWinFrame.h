#pragma once
// DefWindowProc: the default answers to every message, the plain frame and caption a
// window gets from its styles (WS_CAPTION, WS_THICKFRAME, WS_BORDER / WS_DLGFRAME), system
// commands, cursors, and the own move/size loop started from the caption or a sizing
// border.
//
// The move/size loop captures the mouse and sends WM_ENTERSIZEMOVE, then per pointer step
// WM_MOVING or WM_SIZING (lParam: the proposed screen rectangle, which the handler may
// change; sizing is first clamped to the WM_GETMINMAXINFO track sizes) and moves the window
// (only at the end when full-window dragging is off), and WM_EXITSIZEMOVE at the end. It
// ends on the button release; Esc, WM_CANCELMODE or a lost capture put the window back. It
// keeps dispatching every other message meanwhile.

#include "platform/uQvWinTypes.h"

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// The plain frame as pure geometry, so it is tested without pixels.
struct TQvFrameMetrics {
    int Border = 0;   // frame width on every side
    int Caption = 0;  // caption height below the top border
};
TQvFrameMetrics QvFrameMetrics(DWORD Style, UINT Dpi);
// The client rectangle of a window rectangle.
RECT QvFrameClientRect(const RECT& Window, const TQvFrameMetrics& M);
// Hit code of a screen point for a window at Window (screen): sizing borders and corners
// (WS_THICKFRAME), HTBORDER, the close box at the right end of the caption, the caption,
// the client area; HTNOWHERE outside.
int QvFrameHitTest(const RECT& Window, POINT Point, DWORD Style, const TQvFrameMetrics& M);
// Grows a client rectangle to the window rectangle of a window with these styles.
BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);
BOOL AdjustWindowRectExForDpi(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle, UINT Dpi);

// True while the move/size loop runs for a window.
bool QvInMoveSizeLoop(HWND Wnd);
