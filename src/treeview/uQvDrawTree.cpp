#include "treeview/uQvDrawTree.h"

int TQvCustomDrawTree::DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas) {
    int Width = 2 * TextMargin();
    if (OnGetNodeWidth) OnGetNodeWidth(this, Canvas, Node, Column, Width);
    return Width;
}

void TQvCustomDrawTree::DoPaintNode(TQvPaintInfo& PaintInfo) {
    if (OnDrawNode) OnDrawNode(this, PaintInfo);
}
