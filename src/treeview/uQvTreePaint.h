#pragma once
// The row loop of painting: the background, then every row that meets the window, each
// with the canvas's origin at the row's top and clipped to it, the selection fill, and
// the cell drawn by the tree (text or owner drawing). Lines, buttons, check boxes,
// images and the focus rectangle are drawn on top of this by the full painter.

#include "framework/uQvGraphics.h"

class TQvBaseTree;

// Paints the rows of Tree that meet Window (client coordinates) onto Target, Window's
// top-left going to Origin. A handler may free nodes or the tree; the loop then stops.
void QvPaintTreeRows(TQvBaseTree& Tree, TCanvas* Target, const TRect& Window, TPoint Origin);
