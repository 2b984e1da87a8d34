#pragma once
// The drawing calls on device contexts. Coordinates are logical; right and bottom edges
// are exclusive; fills, lines and shapes write their colour with alpha 255. Calls on an
// unknown DC or object return FALSE (0) and draw nothing.

#include "platform/uQvGdiDC.h"

// Brush handles may also be a system colour index + 1 (COLOR_BTNFACE + 1), as the
// window-class and FillRect callers of the original pass them.
BOOL FillRect(HDC Dc, const RECT* R, HBRUSH Brush);
// A one-pixel frame just inside R, drawn with the brush.
BOOL FrameRect(HDC Dc, const RECT* R, HBRUSH Brush);
// The region (logical coordinates) filled with the brush.
BOOL FillRgn(HDC Dc, HRGN Rgn, HBRUSH Brush);
// A W x H frame along the inner edge of the region, drawn with the brush.
BOOL FrameRgn(HDC Dc, HRGN Rgn, HBRUSH Brush, int W, int H);
// Fills the region with the DC's brush.
BOOL PaintRgn(HDC Dc, HRGN Rgn);
