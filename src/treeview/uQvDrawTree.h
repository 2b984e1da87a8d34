#pragma once
// The draw tree: every cell is drawn by OnDrawNode; a node's width is what OnGetNodeWidth
// says (twice the text margin unless it says otherwise).

#include "treeview/uQvBaseTree.h"

class TQvCustomDrawTree : public TQvBaseTree {
public:
    using TQvBaseTree::TQvBaseTree;

    TQvDrawNodeEvent OnDrawNode;
    TQvGetNodeWidthEvent OnGetNodeWidth;

protected:
    int DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas) override;
    void DoPaintNode(TQvPaintInfo& PaintInfo) override;
};

class TQvDrawTree : public TQvCustomDrawTree {
public:
    using TQvCustomDrawTree::TQvCustomDrawTree;
};
