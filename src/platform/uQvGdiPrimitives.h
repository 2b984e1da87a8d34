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

// ---- Pens: lines and outlines ----------------------------------------------------------
// A pen of width 1 draws Bresenham lines without antialiasing (ties round towards larger
// coordinates), never drawing the end point of a line. Dashed styles (PS_DASH 18 on, 6
// off; PS_DOT 3, 3; PS_DASHDOT 9, 6, 3, 6; PS_DASHDOTDOT 9, 3, 3, 3, 3, 3) restart at
// every call; their gaps take the background colour in OPAQUE mode. A wider pen draws a
// band of its width centred on the path (the extra row or column of an even width above
// or left) with round ends and joins, always solid. SetROP2 applies to pens and to the
// fills of shapes.

BOOL MoveToEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetCurrentPositionEx(HDC Dc, POINT* Pos);
// A line from the current position to (X, Y), which becomes the current position.
BOOL LineTo(HDC Dc, int X, int Y);
// Connected lines through the points; the last point is not drawn; the current position is
// neither used nor changed.
BOOL Polyline(HDC Dc, const POINT* Points, int Count);
// Lines from the current position through the points; the last becomes the current
// position.
BOOL PolylineTo(HDC Dc, const POINT* Points, DWORD Count);

// ---- Shapes: outline with the pen, inside filled with the brush ------------------------
// Rectangles, round rectangles and ellipses keep their outline within [L, R) x [T, B) (a
// pen of width w takes the w outer pixels); with the null pen the filled area is one pixel
// smaller on the right and bottom, as callers of the original compensate for.

BOOL Rectangle(HDC Dc, int L, int T, int R, int B);
// Corners are the W x H ellipse quarters of TQvRegion::RoundRect.
BOOL RoundRect(HDC Dc, int L, int T, int R, int B, int W, int H);
// The ellipse inscribed in the box (pixel centres inside).
BOOL Ellipse(HDC Dc, int L, int T, int R, int B);
// The inside by the DC's fill mode (pixel centres), then the closed outline with the pen.
BOOL Polygon(HDC Dc, const POINT* Points, int Count);
BOOL PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons);

// ---- Pixels, focus rectangles and edges -----------------------------------------------------

// Sets a pixel (alpha 255) inside the clip and returns the colour set; CLR_INVALID (-1)
// outside it.
COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC Dc, int X, int Y, COLORREF Color);
// The colour of a pixel inside the clip, else CLR_INVALID.
COLORREF GetPixel(HDC Dc, int X, int Y);
// Inverts the red, green and blue of every other pixel of the rectangle's one-pixel
// outline, starting with its top-left pixel; alpha stays. Drawing it twice restores the
// pixels.
BOOL DrawFocusRect(HDC Dc, const RECT* R);
// Inverts red, green and blue inside the rectangle; alpha stays.
BOOL InvertRect(HDC Dc, const RECT* R);

enum : UINT {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    EDGE_RAISED = 0x5,
    EDGE_SUNKEN = 0xA,
    EDGE_ETCHED = 0x6,
    EDGE_BUMP = 0x9,
};
enum : UINT {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = 0x3,
    BF_BOTTOMRIGHT = 0xC,
    BF_RECT = 0xF,
    BF_DIAGONAL = 0x10,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};
// The classic three-dimensional border: an outer and an inner one-pixel ring, light at the
// top and left of a raised edge (3D light outside, button highlight inside) and dark at the
// bottom and right (3D dark shadow outside, button shadow inside); sunken edges swap
// light and dark. BF_SOFT swaps the two top-left colours; BF_FLAT draws the outer ring in
// the button shadow and the inner in the button face colour; BF_MONO in the window frame
// and window colours. BF_MIDDLE fills the inside with the button face (window colour with
// BF_MONO); BF_ADJUST shrinks *R by the rings drawn. Diagonal edges are not supported
// (FALSE).
BOOL DrawEdge(HDC Dc, RECT* R, UINT Edge, UINT Flags);
