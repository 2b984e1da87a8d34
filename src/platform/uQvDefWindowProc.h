#pragma once
// DefWindowProc: the default answers to every message: the plain frame and caption a
// window gets from its styles, hit testing, system commands, text, cursors, erasing with
// the class brush, and the move/size loop started from the caption or a sizing border.

#include "platform/uQvWinTypes.h"

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
