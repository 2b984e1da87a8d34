#pragma once
// The horizontal layout of a node's cell and what a point in it hits, as pure functions:
// the indentation, the check box, the state and normal images and the text follow each
// other from the column's left edge, and hit testing reads the same layout.

#include <functional>

#include "treeview/uQvTreeTypes.h"

// Where the parts of a cell start, relative to the column's left edge.
struct TQvCellGeometry {
    bool MainColumn = true;
    int Levels = 0;  // indentation levels of the node (main column)
    int Indent = 18;
    int Margin = 4;
    bool HasButton = false;  // buttons shown and the node has children
    int ButtonWidth = 9;
    int CheckWidth = 0;   // the check image's width + 2; 0 without a check box
    int StateWidth = 0;   // the state image's width + 2; 0 without one
    int NormalWidth = 0;  // the normal image's width + 2; 0 without one

    int Indentation() const { return MainColumn ? Indent * Levels : 0; }
    int CheckLeft() const { return Margin + Indentation(); }
    int StateLeft() const { return CheckLeft() + CheckWidth; }
    int NormalLeft() const { return StateLeft() + StateWidth; }
    int TextLeft() const { return NormalLeft() + NormalWidth; }
};

// What X (relative to the column's left edge) hits in a cell ColumnWidth wide, beside
// hiOnItem. NodeWidth is asked only when the text is reached.
THitPositions QvHitTestCell(const TQvCellGeometry& Cell, int X, int ColumnWidth, bool ReportMode,
                            TAlignment Alignment, const std::function<int()>& NodeWidth);
