// The non-client layout rules on their own: hit zones at their edges, the client rectangle
// at 96 and 144 dpi, the maximize and track sizes, and the corners of the window region.

#include <gtest/gtest.h>

#include "draw/uPelluxDPI.h"
#include "forms/uPelluxFormGeometry.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGdiRegions.h"

namespace {

TEST(FormGeometry, HitZonesChangeExactlyAtTheirEdges) {
    const TQvNCMetrics M{27, 2};
    TQvHitZones Z;
    Z.Width = 800;
    Z.Height = 600;
    auto Hit = [&](int X, int Y) { return SkinHitTest(TPoint{X, Y}, Z, M); };
    EXPECT_EQ(Hit(2, 2), HTTOPLEFT);
    EXPECT_EQ(Hit(4, 4), HTTOPLEFT);
    EXPECT_EQ(Hit(5, 4), HTTOP);
    EXPECT_EQ(Hit(400, 2), HTTOP);
    EXPECT_EQ(Hit(794, 4), HTTOP);
    EXPECT_EQ(Hit(795, 4), HTTOPRIGHT);
    EXPECT_EQ(Hit(795, 5), HTRIGHT);
    EXPECT_EQ(Hit(797, 300), HTRIGHT);
    EXPECT_EQ(Hit(799, 595), HTBOTTOMRIGHT);
    EXPECT_EQ(Hit(400, 595), HTBOTTOM);
    EXPECT_EQ(Hit(4, 599), HTBOTTOMLEFT);
    EXPECT_EQ(Hit(4, 594), HTLEFT);
    EXPECT_EQ(Hit(5, 5), HTCAPTION);
    EXPECT_EQ(Hit(400, 26), HTCAPTION);
    EXPECT_EQ(Hit(400, 27), HTCLIENT);
    EXPECT_EQ(Hit(800, 300), HTNOWHERE);
    // Without resizing the frame is no zone of its own, and a maximized window has none.
    Z.Resizable = false;
    EXPECT_EQ(Hit(1, 300), HTNOWHERE);
    EXPECT_EQ(Hit(2, 300), HTCLIENT);
    EXPECT_EQ(Hit(2, 2), HTCAPTION);
    Z.Resizable = true;
    Z.Maximized = true;
    EXPECT_EQ(Hit(2, 2), HTCAPTION);
    EXPECT_EQ(Hit(799, 300), HTNOWHERE);
    EXPECT_TRUE(IsSizingHit(HTLEFT) && IsSizingHit(HTBOTTOMRIGHT));
    EXPECT_FALSE(IsSizingHit(HTCAPTION) || IsSizingHit(HTBORDER));
}

TEST(FormGeometry, ClientRectangleAt96And144DpiNeverInverts) {
    const bool Was = HighDPIEnabled;
    HighDPIEnabled = true;
    const int T96 = ScaleValueByPPI(27, 96), T144 = ScaleValueByPPI(27, 144);
    HighDPIEnabled = Was;
    EXPECT_EQ(T96, 27);
    EXPECT_EQ(T144, 41);  // 40.5 rounds away from zero
    EXPECT_EQ(SkinCalcClientRect(Rect(100, 100, 900, 700), TQvNCMetrics{T96, 2}), Rect(102, 127, 898, 698));
    EXPECT_EQ(SkinCalcClientRect(Rect(100, 100, 900, 700), TQvNCMetrics{T144, 2}), Rect(102, 141, 898, 698));
    EXPECT_EQ(SkinCalcClientRect(Rect(100, 100, 900, 700), TQvNCMetrics{T144, 0}), Rect(100, 141, 900, 700));
    EXPECT_EQ(SkinCalcClientRect(Rect(0, 0, 3, 20), TQvNCMetrics{27, 2}), Rect(2, 27, 2, 27));
    EXPECT_EQ(SkinTitleRect(800, TQvNCMetrics{27, 2}), Rect(0, 0, 800, 27));
}

TEST(FormGeometry, MaximizeGoesToTheWorkAreaOfTheFormsOwnMonitor) {
    TQvMinMaxInput In;
    In.Monitor = Rect(0, 0, 1920, 1080);
    In.Work = Rect(0, 0, 1920, 1040);
    In.Title = 35;
    MINMAXINFO Mm;
    Mm.ptMaxTrackSize = POINT{5000, 4000};
    SkinMinMaxInfo(Mm, In);
    EXPECT_EQ(Mm.ptMaxPosition, (POINT{0, 0}));
    EXPECT_EQ(Mm.ptMaxSize, (POINT{1920, 1040}));
    EXPECT_EQ(Mm.ptMinTrackSize, (POINT{120, 41}));
    EXPECT_EQ(Mm.ptMaxTrackSize, (POINT{5000, 4000}));
    In.FlatFrame = true;
    SkinMinMaxInfo(Mm, In);
    EXPECT_EQ(Mm.ptMinTrackSize, (POINT{120, 65}));
    // A secondary monitor right of the primary with its task bar at the top: the place is
    // relative to that monitor.
    In.Monitor = Rect(1920, 0, 3200, 1024);
    In.Work = Rect(1920, 40, 3200, 1024);
    In.DesignedMaximized = true;
    In.MinWidth = 300;
    In.MaxHeight = 700;
    SkinMinMaxInfo(Mm, In);
    EXPECT_EQ(Mm.ptMaxPosition, (POINT{0, 40}));
    EXPECT_EQ(Mm.ptMaxSize, (POINT{1280, 983}));
    EXPECT_EQ(Mm.ptMinTrackSize, (POINT{300, 65}));
    EXPECT_EQ(Mm.ptMaxTrackSize, (POINT{5000, 700}));
}

TEST(FormGeometry, RegionCutsOnePixelAtEachRoundCorner) {
    EXPECT_EQ(SkinRegionShape(false, false, 2, false), rsRectangle);
    EXPECT_EQ(SkinRegionShape(true, true, 2, false), rsRectangle);
    EXPECT_EQ(SkinRegionShape(true, false, 2, false), rsRoundCorners);
    EXPECT_EQ(SkinRegionShape(true, false, 0, true), rsRoundCorners);
    EXPECT_EQ(SkinRegionShape(true, false, 1, false), rsRoundTop);
    struct TCase {
        TQvRegionShape Shape;
        bool TopCut, BottomCut;
    };
    for (const TCase C : {TCase{rsRectangle, false, false}, TCase{rsRoundCorners, true, true},
                          TCase{rsRoundTop, true, false}}) {
        const HRGN R = CreateSkinRegion(C.Shape, 100, 50);
        EXPECT_EQ(!PtInRegion(R, 0, 0), C.TopCut);
        EXPECT_EQ(!PtInRegion(R, 99, 0), C.TopCut);
        EXPECT_EQ(!PtInRegion(R, 0, 49), C.BottomCut);
        EXPECT_EQ(!PtInRegion(R, 99, 49), C.BottomCut);
        EXPECT_TRUE(PtInRegion(R, 1, 0) && PtInRegion(R, 0, 1) && PtInRegion(R, 98, 49) &&
                    PtInRegion(R, 50, 25));
        // The rounded box stops at the window's edge, the plain rectangle one pixel past it.
        EXPECT_EQ(!PtInRegion(R, 100, 10), C.TopCut);
        DeleteObject(R);
    }
}

}  // namespace
