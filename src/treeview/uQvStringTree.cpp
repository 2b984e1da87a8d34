#include "treeview/uQvStringTree.h"

#include "framework/uQvPictures.h"

TQvCustomStringTree::TQvCustomStringTree(TComponent* AOwner)
    : TQvBaseTree(AOwner), FMeasure(std::make_unique<TBitmap>(1, 1)) {}

TQvCustomStringTree::~TQvCustomStringTree() = default;

String TQvCustomStringTree::Text(PQvNode Node, int Column, TQvTextType TextType) {
    String S;
    if (Node != nullptr && Node != RootNode()) DoGetText(Node, Column, TextType, S);
    return S;
}

void TQvCustomStringTree::DoGetText(PQvNode Node, int Column, TQvTextType TextType, String& Text) {
    if (OnGetText) OnGetText(this, Node, Column, TextType, Text);
}

void TQvCustomStringTree::PrepareText(TCanvas* Canvas, PQvNode Node, int Column, bool Selected) {
    Canvas->SetFont(Font());
    if (IsDisabled(Node))
        Canvas->Font()->SetColor(Colors()->DisabledColor());
    else if (Selected)
        Canvas->Font()->SetColor(Colors()->SelectionTextColor());
    if (OnPaintText) OnPaintText(this, Canvas, Node, Column, ttNormal);
}

int TQvCustomStringTree::DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas) {
    if (Canvas == nullptr || !Canvas->HandleAllocated()) Canvas = FMeasure->Canvas();
    const String S = Text(Node, Column);
    const TQvAliveCheck Alive = AliveCheck();
    PrepareText(Canvas, Node, Column, false);
    if (!Alive.Alive()) return 0;
    return Canvas->TextWidth(S) + 2 * TextMargin();
}

void TQvCustomStringTree::DoPaintNode(TQvPaintInfo& Info) {
    const TQvAliveCheck Alive = AliveCheck();
    const String S = Text(Info.Node, Info.Column);
    if (!Alive.Alive()) return;
    TCanvas* C = Info.Canvas;
    PrepareText(C, Info.Node, Info.Column, Info.PaintOptions.Contains(poDrawSelection));
    if (!Alive.Alive()) return;
    TRect R = Info.ContentRect;
    R.Left += TextMargin();
    bool DefaultDraw = true;
    if (OnDrawText) {
        OnDrawText(this, C, Info.Node, Info.Column, S, R, DefaultDraw);
        if (!Alive.Alive() || !DefaultDraw) return;
    }
    C->Brush()->SetStyle(bsClear);
    TTextFormat Format{tfSingleLine, tfVerticalCenter, tfNoPrefix};
    if (Info.Alignment == taRightJustify) Format.Include(tfRight);
    if (Info.Alignment == taCenter) Format.Include(tfCenter);
    C->TextRect(R, S, Format);
}
