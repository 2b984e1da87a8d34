#pragma once
// The string tree: every cell is a text asked from OnGetText, styled in OnPaintText
// (after the tree set its font and colour) and drawn by the tree unless OnDrawText draws
// it. A node's width is its text's width plus the text margin on both sides.

#include <memory>

#include "treeview/uQvBaseTree.h"

class TBitmap;

class TQvCustomStringTree : public TQvBaseTree {
public:
    explicit TQvCustomStringTree(TComponent* AOwner);
    ~TQvCustomStringTree() override;

    // The cell's text (empty without OnGetText).
    String Text(PQvNode Node, int Column, TQvTextType TextType = ttNormal);

    TQvGetTextEvent OnGetText;
    TQvPaintTextEvent OnPaintText;
    TQvDrawTextEvent OnDrawText;
    // May supply the shortened text of a cell too narrow for it.
    TQvShortenStringEvent OnShortenString;

protected:
    virtual void DoGetText(PQvNode Node, int Column, TQvTextType TextType, String& Text);
    // Sets the canvas's font and colour for the cell (the selection's text colour with
    // SelectedText, underlined in the hot colour with Hot), then OnPaintText.
    virtual void PrepareText(TCanvas* Canvas, PQvNode Node, int Column, bool SelectedText, bool Hot = false);
    // The text cut to MaxWidth with "..." behind it (OnShortenString may do it).
    virtual String ShortenText(TCanvas* Canvas, PQvNode Node, int Column, const String& S, int MaxWidth);
    int DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas) override;
    String CellHintText(PQvNode Node, int Column) override { return Text(Node, Column); }
    void DoPaintNode(TQvPaintInfo& PaintInfo) override;

private:
    // Measures outside painting, where the control's canvas has no device.
    std::unique_ptr<TBitmap> FMeasure;
};

class TQvStringTree : public TQvCustomStringTree {
public:
    using TQvCustomStringTree::TQvCustomStringTree;
};
