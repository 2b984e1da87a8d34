#pragma once
// The window system's own move/size loop, started by SC_MOVE / SC_SIZE (a press on the
// caption or a sizing border). It captures the mouse and sends WM_ENTERSIZEMOVE, then per
// pointer step WM_MOVING or WM_SIZING (lParam: the proposed screen rectangle, which the
// handler may change; sizing is first clamped to the WM_GETMINMAXINFO track sizes) and
// moves the window (only at the end when full-window dragging is off), and WM_EXITSIZEMOVE
// at the end. It ends on the button release; Esc, WM_CANCELMODE or a lost capture put the
// window back. It keeps dispatching every other message meanwhile.

#include "platform/uQvWinTypes.h"

// Cmd is the WM_SYSCOMMAND wParam (SC_MOVE, or SC_SIZE plus the WMSZ_ edge).
void QvMoveSizeLoop(HWND Wnd, WPARAM Cmd);
// True while the move/size loop runs for a window.
bool QvInMoveSizeLoop(HWND Wnd);
