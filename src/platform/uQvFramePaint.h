#pragma once
// The plain frame's pixels: border strips in the active or inactive border colour, the
// caption bar with the window text cut with "..." before the close box, and a cross for
// the close box. Drawn through the window DC; nothing when the styles give no frame.

#include "platform/uQvWinTypes.h"

void QvPaintPlainFrame(HWND Wnd, bool Active);
// Fills with a system colour (COLOR_*).
void QvFillSysColor(HDC Dc, const RECT& R, int SysColor);
