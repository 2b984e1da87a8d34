#include "forms/uPelluxFormGeometry.h"

#include <algorithm>

#include "platform/uQvGdiRegions.h"

TRect SkinTitleRect(int Width, const TQvNCMetrics& M) {
    return Rect(0, 0, Width, M.Title);
}

TRect SkinClientArea(int Width, int Height, const TQvNCMetrics& M) {
    return Rect(M.Frame, M.Title, Width - M.Frame, Height - M.Frame);
}

RECT SkinCalcClientRect(const RECT& Proposed, const TQvNCMetrics& M) {
    RECT R = Proposed;
    R.Left += M.Frame;
    R.Top += M.Title;
    R.Right -= M.Frame;
    R.Bottom -= M.Frame;
    R.Right = std::max(R.Right, R.Left);
    R.Bottom = std::max(R.Bottom, R.Top);
    return R;
}

int SkinHitTest(TPoint P, const TQvHitZones& Z, const TQvNCMetrics& M) {
    const int W = Z.Width, H = Z.Height, h = Z.HitTestWidth;
    if (Z.Resizable && !Z.Maximized) {
        struct TZone {
            TRect R;
            int Code;
        };
        const TZone Zones[] = {
            {Rect(0, 0, h, h), HTTOPLEFT},
            {Rect(h, 0, W - h, h), HTTOP},
            {Rect(W - h, 0, W, h), HTTOPRIGHT},
            {Rect(W - h, h, W, H - h), HTRIGHT},
            {Rect(W - h, H - h, W, H), HTBOTTOMRIGHT},
            {Rect(h, H - h, W - h, H), HTBOTTOM},
            {Rect(0, H - h, h, H), HTBOTTOMLEFT},
            {Rect(0, h, h, H - h), HTLEFT},
        };
        for (const TZone& Zone : Zones)
            if (PtInRect(Zone.R, P)) return Zone.Code;
    }
    if (PtInRect(SkinTitleRect(W, M), P)) return HTCAPTION;
    if (PtInRect(SkinClientArea(W, H, M), P)) return HTCLIENT;
    return HTNOWHERE;
}

bool IsSizingHit(int Code) {
    return Code >= HTLEFT && Code <= HTBOTTOMRIGHT;
}

void SkinMinMaxInfo(MINMAXINFO& Info, const TQvMinMaxInput& In) {
    Info.ptMaxPosition = POINT{In.Work.Left - In.Monitor.Left, In.Work.Top - In.Monitor.Top};
    Info.ptMaxSize = POINT{In.Work.Width(), In.Work.Height() - (In.DesignedMaximized ? 1 : 0)};
    Info.ptMinTrackSize.Y = In.MinHeight > 0 ? In.MinHeight : In.Title + (In.FlatFrame ? 30 : 6);
    Info.ptMinTrackSize.X = In.MinWidth > 0 ? In.MinWidth : 120;
    if (In.MaxWidth > 0) Info.ptMaxTrackSize.X = In.MaxWidth;
    if (In.MaxHeight > 0) Info.ptMaxTrackSize.Y = In.MaxHeight;
}

TQvRegionShape SkinRegionShape(bool RoundWindow, bool Maximized, int Frame, bool FlatFrame) {
    if (!RoundWindow || Maximized) return rsRectangle;
    return Frame > 1 || FlatFrame ? rsRoundCorners : rsRoundTop;
}

HRGN CreateSkinRegion(TQvRegionShape Shape, int Width, int Height) {
    if (Shape == rsRectangle) return CreateRectRgn(0, 0, Width + 1, Height + 1);
    // The rounded box covers one pixel less on the right and bottom, hence W + 1, H + 1.
    HRGN Round = CreateRoundRectRgn(0, 0, Width + 1, Height + 1, 4, 4);
    if (Shape == rsRoundTop) {
        HRGN Bottom = CreateRectRgn(0, Height - 10, Width + 1, Height + 1);
        CombineRgn(Round, Round, Bottom, RGN_OR);
        DeleteObject(Bottom);
    }
    return Round;
}
