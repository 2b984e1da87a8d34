#pragma once
// DefWindowProc: the default answers to every message: the plain frame and caption a
// window gets from its styles, hit testing, system commands, text, cursors, erasing with
// the class brush, and the move/size loop started from the caption or a sizing border.
//
// WM_SETFONT keeps the font for WM_GETFONT (a TRUE lParam invalidates the window).
// WM_PRINT paints the window into the DC in wParam (origin at its outer top-left) as lParam
// asks: PRF_CHECKVISIBLE (nothing for a hidden window), PRF_NONCLIENT (the plain frame),
// PRF_ERASEBKGND (WM_ERASEBKGND), PRF_CLIENT (WM_PRINTCLIENT), PRF_CHILDREN (WM_PRINT to
// each visible child, lowest first), each with the DC's origin and clip moved to the part.
// WM_PRINTCLIENT sends WM_PAINT with the DC. Both wheels pass to the parent.

#include "platform/uQvWinTypes.h"

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
