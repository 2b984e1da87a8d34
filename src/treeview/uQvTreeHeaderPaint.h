#pragma once
// Header painting: the background, then every visible column that meets the painted part,
// left to right, clipped to its rectangle: owner-drawn through OnHeaderDraw, or an edge by
// the header style, the caption, the check box, the sort arrow and the drop mark. The
// header is drawn off screen at its own size and copied in one block.

#include "framework/uQvGraphics.h"

class TQvTreeHeader;

// The edge DrawEdge gives a column, and its border flags, by style and state.
struct TQvHeaderEdge {
    unsigned Edge = 0;
    unsigned Flags = 0;
};
TQvHeaderEdge QvHeaderEdge(int Style, bool Pressed, bool Hot, bool Clickable);

// Paints the part of Header inside R (header coordinates) onto Canvas, R's top-left going
// to Target; RTLOffset moves the columns right.
void QvPaintHeader(TQvTreeHeader& Header, TCanvas* Canvas, const TRect& R, TPoint Target, int RTLOffset);
