#pragma once
// The plain frame's pixels: border strips in the active or inactive border colour, the
// caption bar with the window text cut with "..." before the close box, and a cross for
// the close box. Drawn through the window DC; nothing when the styles give no frame.

#include "platform/uQvWinTypes.h"

// Rgn (screen coordinates; null or QvWholeWindowRgn for all) limits the painting; it stays
// the caller's.
void QvPaintPlainFrame(HWND Wnd, bool Active, HRGN Rgn = nullptr);
// Draws the frame into Dc, whose origin is taken as the window's outer top-left.
void QvPaintPlainFrameDC(HWND Wnd, HDC Dc, bool Active);
// Fills with a system colour (COLOR_*).
void QvFillSysColor(HDC Dc, const RECT& R, int SysColor);
