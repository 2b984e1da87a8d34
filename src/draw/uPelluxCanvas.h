#pragma once
// Helpers on platform canvases and device contexts for the few effects outside the ARGB
// surfaces, and the desktop work areas.

#include "draw/uQvSurface.h"
#include "draw/uQvVectors.h"

class TBitmap;
class TCanvas;

// A linear gradient from ColorFrom to ColorTo (platform colours, system colours
// resolved) across Rect: along the columns when Horizontal, else the rows. Step i of n
// (n = the width or height, 1 for 0) has each channel From + floor((To - From) * k * i /
// 2^24) with k = round(2^24 / n), in 64 bits and kept within 0..255. The pixels are opaque.
// Nothing for an inverted Rect.
void GradientFillCanvas(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, bool Horizontal,
                        const TRect& Rect);
// Color blended over Rect of Dc with the constant opacity Alpha (0..255) by the platform's
// alpha blend.
void AlphaFillRect(HDC Dc, const TRect& Rect, TColor Color, uint8_t Alpha);
// Every pixel of Bitmap becomes black with alpha Alpha.
void MakeAlphaBitmap(TBitmap* Bitmap, uint8_t Alpha);
// The closed outline of the box (X, Y, W, H) with rounded corners: with d = Size div 2,
// four quarter arcs in d x d squares, clockwise on the screen from the top-left corner's
// left end. A d of 0 gives the four corners.
TArrayOfFloatPoint RoundRectPath(int X, int Y, int W, int H, int Size);
// Image fitted into Rect over BackColor and painted, antialiased, through the ellipse
// inscribed in Rect onto Dc; outside the ellipse Dc is unchanged. An image no larger than
// Rect keeps its size, centred horizontally on the bottom edge; one larger both ways is
// scaled, aspect kept, to Rect's width (landscape or square, on the bottom edge) or height
// (portrait, centred); one larger in one direction is scaled to fit it (a width fitted
// sits on the bottom edge, a height fitted is centred).
void DrawImageInEllipse(HDC Dc, const TRect& Rect, TCustomSurface32* Image, TColor BackColor);
// The work area (or, without UseWorkArea, the whole screen) of the primary monitor.
void GetWorkArea(bool UseWorkArea, TRect& Rect);
// The same of the monitor nearest to Window.
void GetMonitorWorkArea(HWND Window, bool UseWorkArea, TRect& Rect);
