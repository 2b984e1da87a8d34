#include "treeview/uQvStringTree.h"

#include "framework/uQvPictures.h"
#include "treeview/uQvTreeText.h"

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

void TQvCustomStringTree::PrepareText(TCanvas* Canvas, PQvNode Node, int Column, bool SelectedText, bool Hot) {
    Canvas->SetFont(Font());
    if (!Enabled() || IsDisabled(Node)) {
        Canvas->Font()->SetColor(Colors()->DisabledColor());
    } else if (Hot) {
        Canvas->Font()->SetStyle(Canvas->Font()->Style().Include(fsUnderline));
        Canvas->Font()->SetColor(Colors()->HotColor());
    }
    if (SelectedText) Canvas->Font()->SetColor(Colors()->SelectionTextColor());
    QvRaise(OnPaintText, this, Canvas, Node, Column, ttNormal);
}

int TQvCustomStringTree::DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas) {
    if (Canvas == nullptr || !Canvas->HandleAllocated()) Canvas = FMeasure->Canvas();
    const String S = Text(Node, Column);
    const TQvAliveCheck Alive = AliveCheck();
    PrepareText(Canvas, Node, Column, false);
    if (!Alive.Alive()) return 0;
    return Canvas->TextWidth(S) + 2 * TextMargin();
}

String TQvCustomStringTree::ShortenText(TCanvas* Canvas, PQvNode Node, int Column, const String& S, int MaxWidth) {
    if (OnShortenString) {
        String Result;
        bool Done = false;
        QvRaise(OnShortenString, this, Canvas, Node, Column, S, MaxWidth, Result, Done);
        if (Done) return Result;
    }
    return QvShortenText(S, MaxWidth, Canvas->TextWidth(u"..."), [Canvas](const String& P) { return Canvas->TextWidth(P); });
}

void TQvCustomStringTree::DoPaintNode(TQvPaintInfo& Info) {
    const TQvAliveCheck Alive = AliveCheck();
    const TQvNodeRef Ref(this, Info.Node);
    const auto Gone = [&] { return !Alive.Alive() || Ref.Node() == nullptr; };
    TCanvas* C = Info.Canvas;
    const TQvPaintOptions Paint = TreeOptions()->PaintOptions();
    const bool SelectedText =
        Info.PaintOptions.Contains(poDrawSelection) && (Focused() || Paint.Contains(toPopupMode));
    const bool Hot = Paint.Contains(toHotTrack) && Info.Node == HotNode();
    TRect R = Info.ContentRect;
    R.Left += TextMargin();
    R.Right -= TextMargin();
    PrepareText(C, Info.Node, Info.Column, SelectedText, Hot);
    if (Gone()) return;
    const String S = Text(Info.Node, Info.Column);
    if (Gone() || S.empty()) return;
    // The width measured before holds unless a handler may have changed the font.
    const int NodeWidth = OnPaintText ? C->TextWidth(S) + 2 * TextMargin() : Info.NodeWidth;
    String Shown = S;
    TAlignment Alignment = Info.Alignment;
    if (ColumnCount() > 0 && R.Width() < NodeWidth - 2 * TextMargin()) {
        Shown = ShortenText(C, Info.Node, Info.Column, S, R.Width());
        if (Gone()) return;
        if (Alignment != taRightJustify) Alignment = taLeftJustify;
    }
    C->Brush()->SetStyle(bsClear);
    bool DefaultDraw = true;
    if (OnDrawText) {
        OnDrawText(this, C, Info.Node, Info.Column, Shown, R, DefaultDraw);
        if (Gone() || !DefaultDraw) return;
    }
    if (Shown.empty()) return;
    TTextFormat Format{tfSingleLine, tfVerticalCenter, tfNoPrefix};
    if (Alignment == taRightJustify) Format.Include(tfRight);
    if (Alignment == taCenter) Format.Include(tfCenter);
    C->TextRect(R, Shown, Format);
}
