#include "treeview/uQvTreeHeaderPaint.h"

#include <algorithm>
#include <climits>

#include "framework/uQvPictures.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiPrimitives.h"
#include "treeview/uQvBaseTree.h"
#include "treeview/uQvTreeGlyphs.h"

namespace {
int Shift(int V, int By) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{V} + By, INT_MIN, INT_MAX));
}

void PaintColumn(TQvTreeHeader& H, TCanvas* C, TQvTreeColumn* Col, const TRect& CR, bool Hot, bool Pressed,
                 TQvDropMarkMode Drop) {
    TQvBaseTree* Tree = H.Tree();
    const TQvColumnOptions O = Col->Options();
    const TQvHeaderEdge E =
        QvHeaderEdge(H.Style(), Pressed, Hot, O.Contains(coAllowClick) && O.Contains(coEnabled));
    RECT Edge = CR;
    DrawEdge(C->Handle(), &Edge, E.Edge, E.Flags);

    TRect Area = Rect(CR.Left + 2 + Col->Margin(), CR.Top + 2, CR.Right - 2 - Col->Margin(), CR.Bottom - 2);
    if (Pressed) Area = Rect(Area.Left + 1, Area.Top + 1, Area.Right + 1, Area.Bottom + 1);
    const int Middle = (Area.Top + Area.Bottom) / 2;
    if (H.Options().Contains(hoShowImages) && Col->CheckBox()) {
        QvDrawCheckImage(C, Area.Left, Middle - QvCheckImageSize / 2, Col->CheckType(), Col->CheckState(),
                         Hot && !H.Columns()->CheckBoxHit(), !O.Contains(coEnabled));
        Area.Left += QvCheckImageSize + Col->Spacing();
    }
    if (H.Options().Contains(hoShowSortGlyphs) && Col->Index() == H.SortColumn()) {
        QvDrawSortArrow(C, Area.Right - QvSortArrowWidth, Middle - QvSortArrowHeight / 2,
                        H.SortDirection() == sdAscending, clBtnShadow);
        Area.Right -= QvSortArrowWidth + Col->Spacing();
    }
    if (!Col->Text().empty() && Area.Right > Area.Left) {
        C->SetFont(H.CaptionFont());
        if (!O.Contains(coEnabled))
            C->Font()->SetColor(clGrayText);
        else if (Hot)
            C->Font()->SetColor(Tree->Colors()->HeaderHotColor());
        C->Brush()->SetStyle(bsClear);
        TTextFormat Format{tfSingleLine, tfVerticalCenter, tfNoPrefix};
        const TAlignment A = O.Contains(coUseCaptionAlignment) ? Col->CaptionAlignment() : Col->Alignment();
        if (A == taRightJustify) Format.Include(tfRight);
        if (A == taCenter) Format.Include(tfCenter);
        TRect Text = Area;
        C->TextRect(Text, Col->Text(), Format);
        C->Brush()->SetStyle(bsSolid);
    }
    if (Drop != dmmNone)
        QvDrawDropMark(C, Drop == dmmLeft ? CR.Left : CR.Right - QvDropMarkSize,
                       (CR.Top + CR.Bottom - QvDropMarkSize) / 2, Tree->Colors()->DropMarkColor());
}
}  // namespace

TQvHeaderEdge QvHeaderEdge(int Style, bool Pressed, bool Hot, bool Clickable) {
    // Normal and hot edges close on the right; no tree here has a bevel to spare it.
    switch (Style) {
        case hsThickButtons:
            if (Pressed) return {EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST | BF_FLAT};
            return {EDGE_RAISED, BF_LEFT | BF_TOP | BF_BOTTOM | BF_RIGHT | BF_MIDDLE | BF_SOFT | BF_ADJUST};
        case hsFlatButtons:
            if (Pressed) return {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST};
            return {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_RIGHT | BF_MIDDLE | BF_ADJUST};
        default:
            if (Pressed) return {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST};
            if (Hot && Clickable)
                return {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_RIGHT | BF_MIDDLE | BF_ADJUST};
            return {BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST};
    }
}

void QvPaintHeader(TQvTreeHeader& H, TCanvas* Canvas, const TRect& R, TPoint Target, int RTLOffset) {
    const int W = R.Width(), Ht = R.Height();
    if (W <= 0 || Ht <= 0) return;
    TBitmap Buffer(W, Ht);
    TCanvas* C = Buffer.Canvas();
    const HDC Dc = C->Handle();
    SetViewportOrgEx(Dc, -R.Left, -R.Top, nullptr);
    C->Brush()->SetColor(H.Background());
    C->FillRect(R);
    TQvBaseTree* Tree = H.Tree();
    TQvTreeColumns* Cols = H.Columns();
    const int Offset = Shift(Tree->OffsetX(), RTLOffset);
    const TQvAliveCheck Alive = Tree->AliveCheck();
    // A copy: an owner-draw handler may change the columns.
    const std::vector<int> Order = Cols->VisibleOrder();
    for (int Index : Order) {
        if (Index >= Cols->Count()) break;
        TQvTreeColumn* Col = Cols->Items(Index);
        const TRect CR =
            Rect(Shift(Col->Left(), Offset), 0, Shift(Col->Left() + Col->Width(), Offset), H.Height());
        if (CR.Right <= R.Left) continue;
        if (CR.Left >= R.Right) break;
        const TQvColumnOptions O = Col->Options();
        const bool Hover =
            Index == Cols->HoverColumn() && H.Options().Contains(hoHotTrack) && O.Contains(coEnabled);
        const bool Pressed = Index == Cols->PressedColumn() && !Cols->CheckBoxHit();
        TQvDropMarkMode Drop = dmmNone;
        if (O.Contains(coShowDropMark) && Index == Cols->DropTarget() && Index != Cols->DragColumn())
            Drop = Cols->DropBefore() ? dmmLeft : dmmRight;
        const int Saved = SaveDC(Dc);
        IntersectClipRect(Dc, CR.Left, CR.Top, CR.Right, CR.Bottom);
        if (!Tree->DoHeaderDraw(C, Col, CR, Hover, Pressed, Drop))
            PaintColumn(H, C, Col, CR, Hover, Pressed, Drop);
        if (!Alive.Alive()) return;
        RestoreDC(Dc, Saved);
    }
    SetViewportOrgEx(Dc, 0, 0, nullptr);
    BitBlt(Canvas->Handle(), Target.X, Target.Y, W, Ht, Dc, 0, 0, SRCCOPY);
}
