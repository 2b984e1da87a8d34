#pragma once
// The small pictures a tree draws in its rows and header, in the classic look (no theme
// renderer exists): dotted lines, expand buttons, check boxes and radio buttons, sort
// arrows and the column drop mark. Each draws onto a canvas in its logical coordinates.

#include "framework/uQvGraphics.h"
#include "treeview/uQvTreeTypes.h"

// A brush of alternating pixels: where x + y is odd (device coordinates, counted from the
// brush origin) Line, elsewhere Back. Grid and tree lines are one-pixel rectangles of it.
class TQvDottedBrush {
public:
    TQvDottedBrush();
    ~TQvDottedBrush();
    // Makes the pattern anew only when a colour changed.
    void SetColors(TColor Line, TColor Back);
    // A one-pixel-wide or -high rectangle from (X1, Y1) to (X2, Y2), both end points
    // included.
    void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2);

private:
    std::unique_ptr<TBrush> FBrush;
    TColor FLine = clNone, FBack = clNone;
};

// The side of an expand button and of a check image.
inline constexpr int QvButtonSize = 9;
inline constexpr int QvCheckImageSize = 16;

// A plus (collapsed) or minus (expanded) box at (X, Y), or with bsTriangle a triangle
// pointing right or down. Fill is the box's inside; Sign the colour of the sign.
void QvDrawExpandButton(TCanvas* Canvas, int X, int Y, TQvButtonStyle Style, bool Expanded, TColor Frame,
                        TColor Fill, TColor Sign);
// A check box, tri-state box, radio or push button image for the check state, in a
// QvCheckImageSize square with its top-left at (X, Y).
void QvDrawCheckImage(TCanvas* Canvas, int X, int Y, TCheckType Type, TCheckState State, bool Hot,
                      bool Disabled);
// A small arrow pointing up (ascending) or down, 8 x 5 pixels with its top-left at (X, Y).
void QvDrawSortArrow(TCanvas* Canvas, int X, int Y, bool Ascending, TColor Color);
inline constexpr int QvSortArrowWidth = 8, QvSortArrowHeight = 5;
// The 16-pixel marker of a column drop: a bar with arrows, top-left at (X, Y).
void QvDrawDropMark(TCanvas* Canvas, int X, int Y, TColor Color);
inline constexpr int QvDropMarkSize = 16;
