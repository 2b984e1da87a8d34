#include "treeview/uQvTreePaint.h"

#include <algorithm>

#include "framework/uQvImgList.h"
#include "framework/uQvPictures.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvPixel.h"
#include "treeview/uQvBaseTree.h"
#include "treeview/uQvTreeGlyphs.h"
#include "treeview/uQvTreeInput.h"

namespace {
// What every cell of one row shares: its levels and the vertical alignment offset.
struct TRowInfo {
    PQvNode Node = nullptr;
    int Height = 0;
    int Levels = 0;      // tree levels of the row (slots of Indent pixels in the main column)
    int V = 0;           // alignment offset from the row's top
    bool Selected = false;
};

// A colour mixed over the pixels of R (device coordinates of Buffer) at Alpha / 255.
void BlendRect(TBitmap& Buffer, TRect R, TColor Color, int Alpha) {
    R.Left = std::max(R.Left, 0);
    R.Top = std::max(R.Top, 0);
    R.Right = std::min(R.Right, Buffer.Width());
    R.Bottom = std::min(R.Bottom, Buffer.Height());
    const COLORREF C = ColorToRGB(Color);
    const uint32_t Src[3] = {C >> 16 & 0xFF, C >> 8 & 0xFF, C & 0xFF};  // b, g, r
    const uint32_t A = static_cast<uint32_t>(std::clamp(Alpha, 0, 255));
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        uint32_t* Row = Buffer.ScanLine(Y);
        for (int X = R.Left; X < R.Right; ++X) {
            uint32_t P = Row[X], Out = P & 0xFF000000u;
            for (int K = 0; K < 3; ++K) Out |= MixDiv255(Src[K], P >> (8 * K) & 0xFF, A) << (8 * K);
            Row[X] = Out;
        }
    }
}
}  // namespace

class TQvTreePainter {
public:
    TQvTreePainter(TQvBaseTree& Tree, TCanvas* Target, const TRect& Window, TPoint Origin)
        : T(Tree), FTarget(Target), FWindow(Window), FOrigin(Origin), FAlive(Tree.AliveCheck()) {}

    void Run() {
        if (FWindow.Width() <= 0 || FWindow.Height() <= 0) return;
        if (!T.FRowBuffer) T.FRowBuffer = std::make_unique<TBitmap>();
        FBuffer = T.FRowBuffer.get();
        FPaint = T.TreeOptions()->PaintOptions();
        const TQvSelectionOptions Sel = T.TreeOptions()->SelectionOptions();
        FMisc = T.TreeOptions()->MiscOptions();
        FFocus = T.Focused() || FPaint.Contains(toPopupMode);
        FShowSelection =
            !FPaint.Contains(toAlwaysHideSelection) && (T.Focused() || !FPaint.Contains(toHideSelection));
        FFullRow = Sel.Contains(toFullRowSelect);
        FGridExt = FMisc.Contains(toGridExtensions);
        FRowRight = std::max(T.RangeX(), T.ClientWidth());
        const int Columns = T.ColumnCount();
        FFocusColumn =
            T.FocusedColumn() >= 0 && T.FocusedColumn() < Columns ? T.FocusedColumn() : T.MainColumn();
        if (Columns > 0)
            FOrder = T.Header()->Columns()->VisibleOrder();
        else
            FOrder = {-1};
        FGrid.SetColors(T.Colors()->GridLineColor(), T.Color());
        FLines.SetColors(T.Colors()->TreeLineColor(), T.Color());
        int Top = 0;
        PQvNode N = T.GetNodeAt(0, FWindow.Top, true, Top);
        for (; N != nullptr && Top < FWindow.Bottom; N = T.GetNextVisible(N)) {
            const int H = N->NodeHeight;
            if (H > 0) {
                const TQvNodeRef Ref(&T, N);
                FRef = &Ref;
                if (!PaintRow(N, Top)) return;
            }
            Top += H;
        }
        if (Top < FWindow.Bottom) PaintBelow(std::max(Top, FWindow.Top));
    }

private:
    // ---- Rows ----

    bool PaintRow(PQvNode N, int Top) {
        T.InitNode(N);
        if (!FAlive.Alive()) return false;
        TRowInfo Row;
        Row.Node = N;
        Row.Height = N->NodeHeight;
        Row.Levels = T.GetNodeLevel(N) + (FPaint.Contains(toShowRoot) ? 1 : 0);
        Row.V = AlignOffset(N);
        Row.Selected = T.Selected(N);
        const int W = FWindow.Width(), H = Row.Height;
        if (FBuffer->Width() != W || FBuffer->Height() != H) FBuffer->SetSize(W, H);
        TCanvas* C = FBuffer->Canvas();
        const HDC Dc = C->Handle();
        SetViewportOrgEx(Dc, -FWindow.Left, 0, nullptr);
        SetBrushOrgEx(Dc, FWindow.Left & 1, Top & 1, nullptr);
        const TRect Item = Rect(T.OffsetX(), 0, T.OffsetX() + FRowRight, H);
        bool Custom = false;
        if (T.OnBeforeItemPaint) {
            QvRaise(T.OnBeforeItemPaint, &T, C, N, Item, Custom);
            if (!Alive(N)) return false;
        }
        if (!Custom) {
            Erase(C, Row, Item);
            if (!Alive(N)) return false;
            for (int Column : FOrder) {
                TRect Cell = Item;
                if (Column >= 0) {
                    int L, R;
                    T.ColumnSpan(Column, L, R);
                    Cell.Left = L + T.OffsetX();
                    Cell.Right = R + T.OffsetX();
                }
                if (Cell.Left >= FWindow.Right) break;
                if (Cell.Right <= FWindow.Left) continue;
                const int Saved = SaveDC(Dc);
                IntersectClipRect(Dc, std::max(Cell.Left, FWindow.Left), 0,
                                  std::min(Cell.Right, FWindow.Right), H);
                if (!PaintCell(C, Row, Column, Cell)) return false;
                RestoreDC(Dc, Saved);
            }
        }
        if (T.OnAfterItemPaint) {
            QvRaise(T.OnAfterItemPaint, &T, C, N, Item);
            if (!Alive(N)) return false;
        }
        PaintBand(C, Top);
        // Copy the part of the row inside the window.
        SetViewportOrgEx(Dc, 0, 0, nullptr);
        const int From = std::max(Top, FWindow.Top), To = std::min(Top + H, FWindow.Bottom);
        BitBlt(FTarget->Handle(), FOrigin.X, FOrigin.Y + From - FWindow.Top, W, To - From, Dc, 0, From - Top,
               SRCCOPY);
        return true;
    }

    // The tree and the row's node still live (a handler may free either).
    bool Alive(PQvNode) const { return FAlive.Alive() && FRef->Node() != nullptr; }

    int AlignOffset(PQvNode N) const {
        const int H = N->NodeHeight, A = N->Align;
        switch (T.NodeAlignment()) {
            case naFromBottom:
                return H - A;
            case naFromTop:
                return A;
            default:
                break;
        }
        TCustomImageList* List = T.Images() != nullptr ? T.Images() : T.StateImages();
        const int Size = List != nullptr ? List->Height() : FPaint.Contains(toShowButtons) ? QvButtonSize : 0;
        if (Size == 0) return MulDiv(H, A, 100);
        return MulDiv(H - Size, A, 100) + Size / 2;
    }

    void SelectionColors(TCanvas* C) const {
        const TQvTreeColors* K = T.Colors();
        C->Brush()->SetColor(FFocus ? K->FocusedSelectionColor() : K->UnfocusedSelectionColor());
        C->Pen()->SetColor(FFocus ? K->FocusedSelectionBorderColor() : K->UnfocusedSelectionBorderColor());
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
    }

    void Frame(TCanvas* C, const TRect& R) const {
        const int Radius = T.SelectionCurveRadius();
        if (Radius > 0)
            C->RoundRect(R, Radius, Radius);
        else
            C->Rectangle(R);
    }

    void Erase(TCanvas* C, const TRowInfo& Row, const TRect& Item) {
        TColor Color = T.Color();
        TQvItemEraseAction Action = eaDefault;
        if (T.OnBeforeItemErase) {
            QvRaise(T.OnBeforeItemErase, &T, C, Row.Node, Item, Color, Action);
            if (!Alive(Row.Node)) return;
        }
        const TRect Visible = Rect(FWindow.Left, 0, FWindow.Right, Row.Height);
        if (Action == eaColor) {
            C->Brush()->SetColor(Color);
            C->FillRect(Visible);
        } else if (Action == eaDefault) {
            C->Brush()->SetColor(T.Color());
            C->FillRect(Visible);
            if (Row.Selected && FShowSelection && FFullRow && !FPaint.Contains(toUseBlendedSelection)) {
                TRect R = Item;
                if (FPaint.Contains(toShowHorzGridLines)) --R.Bottom;
                SelectionColors(C);
                Frame(C, R);
            }
        }
        if (T.OnAfterItemErase) QvRaise(T.OnAfterItemErase, &T, C, Row.Node, Item);
    }

    // ---- Cells ----

    // The part of R that NodeWidth takes by the alignment, when it is narrower.
    static TRect Narrowed(TRect R, int NodeWidth, TAlignment A) {
        if (NodeWidth >= R.Width()) return R;
        if (A == taRightJustify) {
            R.Left = R.Right - NodeWidth;
        } else if (A == taCenter) {
            R.Left = (R.Left + R.Right - NodeWidth) / 2;
            R.Right = R.Left + NodeWidth;
        } else {
            R.Right = R.Left + NodeWidth;
        }
        return R;
    }

    int ImageIndex(PQvNode N, int Column, TQvImageInfoIndex Kind, bool& Ghosted) {
        if (T.ImageList(Kind) == nullptr || !T.OnGetImageIndex) return -1;
        int Index = -1;
        if (Kind == iiNormal && T.Selected(N)) Index = T.DoGetImageIndex(N, ikSelected, Column, Ghosted);
        if (Index < 0) Index = T.DoGetImageIndex(N, Kind == iiNormal ? ikNormal : ikState, Column, Ghosted);
        return Index;
    }

    // False when painting must stop (the tree or the row went).
    bool PaintCell(TCanvas* C, const TRowInfo& Row, int Column, TRect Cell) {
        PQvNode N = Row.Node;
        const int H = Row.Height;
        TQvTreeColumn* Col = Column >= 0 ? T.Header()->Columns()->Items(Column) : nullptr;
        const bool Main = Column == T.MainColumn();
        const bool Editing = T.IsEditing() && T.FEditor->Node() == N && T.FEditor->Column() == Column;
        TQvPaintInfo Info;
        Info.Canvas = C;
        Info.Node = N;
        Info.Column = Column;
        Info.Position = Col != nullptr ? Col->Position() : 0;
        Info.Alignment = T.ColumnAlignment(Column);
        Info.CaptionAlignment = Col != nullptr ? Col->CaptionAlignment() : taLeftJustify;
        Info.BrushOrigin = TPoint{FWindow.Left & 1, 0};
        if (FShowSelection && Row.Selected && (FFullRow || Column == FFocusColumn) && !Editing)
            Info.PaintOptions.Include(poDrawSelection);
        if (!FPaint.Contains(toHideFocusRect) && FFocus && N == T.FocusedNode() && Column == FFocusColumn)
            Info.PaintOptions.Include(poDrawFocusRect);
        if (FPaint.Contains(toShowHorzGridLines) || FPaint.Contains(toShowVertGridLines))
            Info.PaintOptions.Include(poGridLines);
        if (Col != nullptr && !Col->Options().Contains(coParentColor) &&
            !(Row.Selected && FShowSelection && FFullRow))
            Info.PaintOptions.Include(poColumnColor);

        Info.NodeWidth = T.DoGetNodeWidth(N, Column, C);
        if (!Alive(N)) return false;
        const TQvCellGeometry G = T.CellGeometry(N, Column);
        if (!Alive(N)) return false;
        Info.ContentRect = Rect(Cell.Left + G.TextLeft(), 0, Cell.Right, H);
        bool Ghosted = false;
        const int CheckX = Cell.Left + G.CheckLeft();
        const int StateIndex = G.StateWidth > 0 ? ImageIndex(N, Column, iiState, Ghosted) : -1;
        const int NormalIndex = G.NormalWidth > 0 ? ImageIndex(N, Column, iiNormal, Ghosted) : -1;
        if (!Alive(N)) return false;
        Info.ImageInfo[iiCheck] = {G.CheckWidth > 0 ? int(N->CheckState) : -1, CheckX,
                                   Row.V - QvCheckImageSize / 2};
        Info.ImageInfo[iiState] = {StateIndex, Cell.Left + G.StateLeft(), 0};
        Info.ImageInfo[iiNormal] = {NormalIndex, Cell.Left + G.NormalLeft(), 0, Ghosted};

        // Grid lines take the cell's last row and column.
        if (FPaint.Contains(toShowHorzGridLines)) {
            FGrid.Line(C, Cell.Left, H - 1, Cell.Right, H - 1);
            --Cell.Bottom;
            --Info.ContentRect.Bottom;
        }
        const bool LastAuto = T.Header()->Options().Contains(hoAutoResize) &&
                              Column == T.Header()->Columns()->LastVisibleColumn();
        if (FPaint.Contains(toShowVertGridLines) && !LastAuto) {
            FGrid.Line(C, Cell.Right - 1, 0, Cell.Right - 1, Cell.Bottom);
            --Cell.Right;
            --Info.ContentRect.Right;
        }
        Info.CellRect = Cell;

        if (Info.PaintOptions.Contains(poColumnColor)) {
            C->Brush()->SetColor(Col->Color());
            C->FillRect(Cell);
        }
        if (T.OnBeforeCellPaint) {
            QvRaise(T.OnBeforeCellPaint, &T, C, N, Column, cpmPaint, Cell, Info.ContentRect);
            if (!Alive(N)) return false;
        }
        if (Info.PaintOptions.Contains(poDrawSelection)) {
            const TRect R =
                FFullRow || FGridExt ? Cell : Narrowed(Info.ContentRect, Info.NodeWidth, Info.Alignment);
            SelectionColors(C);
            if (FPaint.Contains(toUseBlendedSelection))
                BlendRect(*FBuffer, Rect(R.Left - FWindow.Left, R.Top, R.Right - FWindow.Left, R.Bottom),
                          C->Brush()->Color(), T.SelectionBlendFactor());
            else
                Frame(C, R);
        }
        if (Info.PaintOptions.Contains(poDrawFocusRect)) {
            const RECT R = FGridExt ? Cell : Narrowed(Info.ContentRect, Info.NodeWidth, Info.Alignment);
            DrawFocusRect(C->Handle(), &R);
        }

        if (Main) PaintMainColumnMarks(C, Row, Cell, G);
        const bool Enabled = T.Enabled() && !T.IsDisabled(N);
        if (StateIndex >= 0) {
            TCustomImageList* L = T.StateImages();
            L->Draw(C, Info.ImageInfo[iiState].XPos, Row.V - L->Height() / 2, StateIndex, Enabled);
        }
        if (NormalIndex >= 0) {
            TCustomImageList* L = T.Images();
            L->Draw(C, Info.ImageInfo[iiNormal].XPos, Row.V - L->Height() / 2, NormalIndex,
                    Enabled && !Ghosted);
        }
        if (!Editing) {
            T.DoPaintNode(Info);
            if (!Alive(N)) return false;
        }
        if (T.OnAfterCellPaint) {
            QvRaise(T.OnAfterCellPaint, &T, C, N, Column, Cell);
            if (!Alive(N)) return false;
        }
        return true;
    }

    // Tree lines, the expand button and the check box of the main column.
    void PaintMainColumnMarks(TCanvas* C, const TRowInfo& Row, const TRect& Cell, const TQvCellGeometry& G) {
        PQvNode N = Row.Node;
        const int Indent = T.Indent();
        if (Row.Levels > 0 && FPaint.Contains(toShowTreeLines)) PaintTreeLines(C, Row, Cell);
        const bool AllHidden = T.Nodes().GetFirstVisibleChild(N) == nullptr && N->ChildCount > 0;
        if (Row.Levels > 0 && G.HasButton &&
            !(AllHidden && T.TreeOptions()->AutoOptions().Contains(toAutoHideButtons))) {
            const int X = Cell.Left + RoundHalfEven((Indent - QvButtonSize) / 2.0) + 1 +
                          (FPaint.Contains(toFixedIndent) ? 0 : (Row.Levels - 1) * Indent);
            const int Y = Row.V - QvButtonSize / 2 - QvButtonSize % 2;
            TColor Fill = clNone;
            switch (T.ButtonFillMode()) {
                case fmTreeColor:
                    Fill = T.Color();
                    break;
                case fmWindowColor:
                    Fill = clWindow;
                    break;
                case fmShaded:
                    Fill = clBtnFace;
                    break;
                case fmTransparent:
                    break;
            }
            const bool Hot = FPaint.Contains(toHotTrack) && T.FInput->HotButtonNode() == N;
            QvDrawExpandButton(C, X, Y, T.ButtonStyle(), T.Expanded(N), Hot ? clHighlight : clBtnShadow, Fill,
                               Hot ? clHighlight : clWindowText);
        }
        if (G.CheckWidth > 0)
            QvDrawCheckImage(C, Cell.Left + G.CheckLeft(), Row.V - QvCheckImageSize / 2, N->CheckType,
                             N->CheckState,
                             N == T.HotNode() && T.TreeOptions()->MiscOptions().Contains(toCheckSupport),
                             !T.Enabled() || T.IsDisabled(N));
    }

    void PaintTreeLines(TCanvas* C, const TRowInfo& Row, const TRect& Cell) {
        PQvNode N = Row.Node;
        const int Indent = T.Indent(), H = Row.Height, Half = RoundHalfEven(Indent / 2.0);
        const int HY = Row.V - 1;
        const auto VLine = [&](int Slot, int Y1, int Y2) {
            const int X = Cell.Left + Slot * Indent + Half;
            Line(C, X, Y1, X, Y2);
        };
        const int Own = FPaint.Contains(toFixedIndent) ? 0 : Row.Levels - 1;
        const bool Next = T.GetNextVisibleSibling(N) != nullptr;
        if (N->Parent == T.RootNode()) {
            // The top level with the root shown: its first and last rows close the line.
            const bool First = T.GetPreviousVisibleSibling(N) == nullptr;
            if (First && Next)
                VLine(Own, HY, H - 1);
            else if (!First && !Next)
                VLine(Own, 0, HY);
            else if (!First)
                VLine(Own, 0, H - 1);
        } else {
            VLine(Own, 0, Next ? H - 1 : HY);
        }
        Line(C, Cell.Left + Own * Indent + Half, HY, Cell.Left + (Own + 1) * Indent - 1, HY);
        if (FPaint.Contains(toFixedIndent)) return;
        PQvNode A = N->Parent;
        for (int Slot = Own - 1; Slot >= 0 && A != T.RootNode(); --Slot, A = A->Parent)
            if (T.GetNextVisibleSibling(A) != nullptr) VLine(Slot, 0, H - 1);
    }

    void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
        if (T.LineStyle() != lsSolid) {
            FLines.Line(C, X1, Y1, X2, Y2);
            return;
        }
        C->Brush()->SetColor(T.Colors()->TreeLineColor());
        C->FillRect(Rect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1));
    }

    // ---- Below the rows ----

    void PaintBelow(int Top) {
        const int W = FWindow.Width(), H = FWindow.Bottom - Top;
        if (FBuffer->Width() != W || FBuffer->Height() != H) FBuffer->SetSize(W, H);
        TCanvas* C = FBuffer->Canvas();
        const HDC Dc = C->Handle();
        // Client coordinates for a background handler, row-like ones for the rest.
        SetViewportOrgEx(Dc, -FWindow.Left, -Top, nullptr);
        bool Handled = false;
        if (T.OnPaintBackground) {
            QvRaise(T.OnPaintBackground, &T, C, Rect(FWindow.Left, Top, FWindow.Right, FWindow.Bottom), Handled);
            if (!FAlive.Alive()) return;
        }
        SetViewportOrgEx(Dc, -FWindow.Left, 0, nullptr);
        if (!Handled) FillBelow(C, H);
        PaintBand(C, Top);
        SetViewportOrgEx(Dc, 0, 0, nullptr);
        BitBlt(FTarget->Handle(), FOrigin.X, FOrigin.Y + Top - FWindow.Top, W, H, Dc, 0, 0, SRCCOPY);
    }

    // Each column's colour below the rows (the tree's colour elsewhere).
    void FillBelow(TCanvas* C, int H) {
        C->Brush()->SetColor(T.Color());
        C->FillRect(Rect(FWindow.Left, 0, FWindow.Right, H));
        if (FOrder.front() >= 0) {
            TQvTreeColumns* Cols = T.Header()->Columns();
            for (int Column : FOrder) {
                const TQvTreeColumn* Col = Cols->Items(Column);
                if (Col->Options().Contains(coParentColor)) continue;
                int L, R;
                Cols->GetColumnBounds(Column, L, R);
                C->Brush()->SetColor(Col->Color());
                C->FillRect(Rect(std::max(L, FWindow.Left), 0, std::min(R, FWindow.Right), H));
            }
        }
    }

    // The part of a rubber band in progress on the buffer, whose logical y 0 is client Top.
    void PaintBand(TCanvas* C, int Top) {
        if (!T.FInput->Banding()) return;
        TRect B = T.FInput->BandRect();
        OffsetRect(B, 0, -Top);
        if (T.DrawSelectionMode() == smBlendedRectangle) {
            BlendRect(*FBuffer, Rect(B.Left - FWindow.Left, B.Top, B.Right - FWindow.Left, B.Bottom),
                      T.Colors()->SelectionRectangleBlendColor(), T.SelectionBlendFactor());
            C->Brush()->SetColor(T.Colors()->SelectionRectangleBorderColor());
            C->FrameRect(B);
        } else {
            const RECT R = B;
            DrawFocusRect(C->Handle(), &R);
        }
    }

    TQvBaseTree& T;
    TCanvas* FTarget;
    TRect FWindow;
    TPoint FOrigin;
    TQvAliveCheck FAlive;
    const TQvNodeRef* FRef = nullptr;  // the row being painted
    TBitmap* FBuffer = nullptr;
    TQvPaintOptions FPaint;
    TQvMiscOptions FMisc;
    bool FFocus = false, FShowSelection = false, FFullRow = false, FGridExt = false;
    int FRowRight = 0;
    int FFocusColumn = -1;
    std::vector<int> FOrder;
    TQvDottedBrush FGrid, FLines;
};

void QvPaintTreeRows(TQvBaseTree& Tree, TCanvas* Target, const TRect& Window, TPoint Origin) {
    TQvTreePainter(Tree, Target, Window, Origin).Run();
}
