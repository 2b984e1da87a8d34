#include "treeview/uQvTreePaint.h"

#include <algorithm>

#include "platform/uQvGdiDC.h"
#include "treeview/uQvBaseTree.h"

void QvPaintTreeRows(TQvBaseTree& T, TCanvas* Target, const TRect& Window, TPoint Origin) {
    const HDC Dc = Target->Handle();
    const int Saved = SaveDC(Dc);
    OffsetViewportOrgEx(Dc, Origin.X - Window.Left, Origin.Y - Window.Top, nullptr);
    Target->Brush()->SetStyle(bsSolid);
    Target->Brush()->SetColor(T.Color());
    Target->FillRect(Window);
    const bool Focus = T.Focused();
    const TQvPaintOptions Paint = T.TreeOptions()->PaintOptions();
    const bool ShowSelection =
        !Paint.Contains(toAlwaysHideSelection) && (Focus || !Paint.Contains(toHideSelection));
    const bool FullRow = T.TreeOptions()->SelectionOptions().Contains(toFullRowSelect);
    int Top = 0;
    PQvNode N = T.GetNodeAt(0, Window.Top, true, Top);
    const TQvAliveCheck Alive = T.AliveCheck();
    for (; N != nullptr && Top < Window.Bottom; N = T.GetNextVisible(N)) {
        const int H = N->NodeHeight;
        if (H > 0) {
            T.InitNode(N);
            if (!Alive.Alive()) return;
            TQvPaintInfo Info;
            Info.Canvas = Target;
            Info.Node = N;
            Info.Column = T.MainColumn();
            const TQvCellGeometry G = T.CellGeometry(N, Info.Column);
            const int Right = std::max(T.RangeX(), T.ClientWidth());
            Info.CellRect = Rect(T.OffsetX(), 0, T.OffsetX() + Right, H);
            Info.ContentRect = Rect(T.OffsetX() + G.TextLeft(), 0, T.OffsetX() + Right, H);
            Info.Alignment = T.ColumnAlignment(Info.Column);
            if (ShowSelection && T.Selected(N)) Info.PaintOptions.Include(poDrawSelection);
            if (Focus && N == T.FocusedNode() && !Paint.Contains(toHideFocusRect))
                Info.PaintOptions.Include(poDrawFocusRect);
            const int Row = SaveDC(Dc);
            OffsetViewportOrgEx(Dc, 0, Top, nullptr);
            IntersectClipRect(Dc, Window.Left, 0, Window.Right, H);
            if (Info.PaintOptions.Contains(poDrawSelection)) {
                // A cell drawn before may have left the brush clear.
                Target->Brush()->SetStyle(bsSolid);
                Target->Brush()->SetColor(Focus ? T.Colors()->FocusedSelectionColor()
                                                : T.Colors()->UnfocusedSelectionColor());
                Target->FillRect(FullRow ? Info.CellRect : Info.ContentRect);
            }
            const TQvNodeRef Ref(&T, N);
            T.DoPaintNode(Info);
            RestoreDC(Dc, Row);
            if (!Alive.Alive()) return;
            if (Ref.Node() == nullptr) break;
        }
        Top += H;
    }
    RestoreDC(Dc, Saved);
}

