#include "treeview/uQvTreeHitTest.h"

THitPositions QvHitTestCell(const TQvCellGeometry& Cell, int X, int ColumnWidth, bool ReportMode,
                            TAlignment Alignment, const std::function<int()>& NodeWidth) {
    THitPositions Hit{hiOnItem};
    const int Indentation = Cell.Indentation();
    if (Cell.MainColumn && X < Cell.Margin + Indentation) {
        // The whole last indentation level is the button; the button's own width is exact.
        if (Cell.HasButton && X >= Indentation - Cell.Indent) {
            Hit.Include(hiOnItemButton);
            if (X >= Indentation - Cell.ButtonWidth) Hit.Include(hiOnItemButtonExact);
        }
        return Hit;
    }
    if (!Cell.MainColumn && ReportMode) return Hit;
    if (Cell.CheckWidth > 0 && X < Cell.StateLeft()) return THitPositions{hiOnItem, hiOnItemCheckbox};
    if (Cell.StateWidth > 0 && X < Cell.NormalLeft()) return Hit.Include(hiOnStateIcon);
    if (Cell.NormalWidth > 0 && X < Cell.TextLeft()) return Hit.Include(hiOnNormalIcon);
    const int W = NodeWidth ? NodeWidth() : 0;
    const int S = Cell.TextLeft();
    const int R = ColumnWidth;
    if (W > R - S) return Hit.Include(hiOnItemLabel);
    switch (Alignment) {
        case taRightJustify:
            return Hit.Include(X >= R - W ? hiOnItemLabel : hiOnItemLeft);
        case taCenter: {
            const int L = (S + R - W) / 2;
            if (X < L) return Hit.Include(hiOnItemLeft);
            return Hit.Include(X >= L + W ? hiOnItemRight : hiOnItemLabel);
        }
        default:
            return Hit.Include(X >= S + W ? hiOnItemRight : hiOnItemLabel);
    }
}
