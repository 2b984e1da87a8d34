#pragma once
// Row-buffered painting of a tree. Only the rows that meet the painted area are visited;
// each is drawn into one reused off-screen row bitmap as wide as that area (in client x,
// with the row's top at 0) and copied out in one block: the erase (or the full-row
// selection), then per visible column in display order the grid lines, the column
// colour, the selection and focus rectangles, the tree lines, the expand button, the
// check box, the images and the content (text or owner drawing), with the paint hooks in
// their fixed order. The area below the last row takes each column's colour.
//
// Dotted lines (grid and tree lines) set the pixels where client x + y is odd, so the
// dots line up across rows and a partial repaint gives the same pixels as a full one.

#include "framework/uQvGraphics.h"

class TQvBaseTree;

// Paints the rows of Tree that meet Window (client coordinates) onto Target, Window's
// top-left going to Origin. A handler may free nodes or the tree; the loop then stops.
void QvPaintTreeRows(TQvBaseTree& Tree, TCanvas* Target, const TRect& Window, TPoint Origin);
