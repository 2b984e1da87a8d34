#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>

#include "platform/uQvGdiRegions.h"

namespace {

using TPixels = std::set<std::pair<int, int>>;

TPixels PixelsOf(const TQvRegion& R) {
    TPixels P;
    for (const TRect& Rc : R.Rects())
        for (int Y = Rc.Top; Y < Rc.Bottom; ++Y)
            for (int X = Rc.Left; X < Rc.Right; ++X) P.insert({X, Y});
    return P;
}

// The region drawn as text rows over [0, W) x [0, H), '#' for a member pixel.
std::string Picture(const TQvRegion& R, int W, int H) {
    std::string S;
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) S += R.Contains(X, Y) ? '#' : '.';
        S += '\n';
    }
    return S;
}

// Checks the canonical form: bands in order, sorted columns that neither overlap nor
// touch, no two adjacent bands with the same columns.
void ExpectCanonical(const TQvRegion& R) {
    const auto& Rs = R.Rects();
    size_t Start = 0;
    std::vector<std::pair<int, int>> PrevCols;
    int PrevBottom = INT32_MIN;
    while (Start < Rs.size()) {
        size_t End = Start;
        std::vector<std::pair<int, int>> Cols;
        while (End < Rs.size() && Rs[End].Top == Rs[Start].Top) {
            ASSERT_EQ(Rs[End].Bottom, Rs[Start].Bottom);
            ASSERT_LT(Rs[End].Left, Rs[End].Right);
            if (End > Start) {
                ASSERT_LT(Rs[End - 1].Right, Rs[End].Left);
            }
            Cols.push_back({Rs[End].Left, Rs[End].Right});
            ++End;
        }
        ASSERT_LT(Rs[Start].Top, Rs[Start].Bottom);
        ASSERT_GE(Rs[Start].Top, PrevBottom);
        if (Rs[Start].Top == PrevBottom) {
            ASSERT_NE(Cols, PrevCols);
        }
        PrevCols = Cols;
        PrevBottom = Rs[Start].Bottom;
        Start = End;
    }
}

}  // namespace

TEST(GdiRegions, RoundRectWithFourPixelCornersCutsOnePixelEach) {
    // The form's region: a W x H window with CreateRoundRectRgn(0, 0, W + 1, H + 1, 4, 4).
    const int W = 7, H = 5;
    HRGN Rgn = CreateRoundRectRgn(0, 0, W + 1, H + 1, 4, 4);
    TQvRegion R = GdiRegionOf(Rgn)->Region;
    EXPECT_EQ(Picture(R, W + 1, H + 1),
              ".#####..\n"
              "#######.\n"
              "#######.\n"
              "#######.\n"
              ".#####..\n"
              "........\n");
    DeleteObject(Rgn);
}

TEST(GdiRegions, RoundRectEdgeRules) {
    // One pixel less on the right and bottom, as the colour button's frame relies on.
    HRGN Rgn = CreateRoundRectRgn(0, 0, 6, 4, 0, 0);
    RECT Box;
    EXPECT_EQ(GetRgnBox(Rgn, &Box), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(0, 0, 5, 3));
    DeleteObject(Rgn);
    // w or h below 2 gives the plain (shrunk) rectangle.
    Rgn = CreateRoundRectRgn(2, 2, 10, 10, 1, 8);
    EXPECT_EQ(GetRgnBox(Rgn, &Box), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(2, 2, 9, 9));
    DeleteObject(Rgn);
    // Larger corners cut more, symmetric on all four sides.
    const TQvRegion R = TQvRegion::RoundRect(0, 0, 10, 10, 8, 8);
    EXPECT_EQ(Picture(R, 10, 10),
              "..######..\n"
              ".########.\n"
              "##########\n"
              "##########\n"
              "##########\n"
              "##########\n"
              "##########\n"
              "##########\n"
              ".########.\n"
              "..######..\n");
    ExpectCanonical(R);
    // Radii larger than the box are clamped: an ellipse.
    EXPECT_EQ(TQvRegion::RoundRect(0, 0, 5, 3, 100, 100), TQvRegion::RoundRect(0, 0, 5, 3, 5, 3));
    HRGN E = CreateEllipticRgn(0, 0, 6, 4);
    EXPECT_EQ(Picture(GdiRegionOf(E)->Region, 6, 4),
              ".###..\n"
              "#####.\n"
              ".###..\n"
              "......\n");
    DeleteObject(E);
}

TEST(GdiRegions, CombineModesAndResults) {
    HRGN A = CreateRectRgn(0, 0, 4, 4);
    HRGN B = CreateRectRgn(2, 2, 6, 6);
    HRGN D = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(D, A, B, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(GdiRegionOf(D)->Region, TQvRegion(Rect(2, 2, 4, 4)));
    EXPECT_EQ(CombineRgn(D, A, B, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(PixelsOf(GdiRegionOf(D)->Region).size(), 28u);
    EXPECT_EQ(CombineRgn(D, A, B, RGN_XOR), COMPLEXREGION);
    EXPECT_EQ(PixelsOf(GdiRegionOf(D)->Region).size(), 24u);
    EXPECT_FALSE(GdiRegionOf(D)->Region.Contains(3, 3));
    EXPECT_EQ(CombineRgn(D, A, B, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(PixelsOf(GdiRegionOf(D)->Region).size(), 12u);
    EXPECT_EQ(CombineRgn(D, A, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(EqualRgn(D, A), TRUE);
    EXPECT_EQ(CombineRgn(D, A, A, RGN_DIFF), NULLREGION);
    // Destination equal to a source, and touching rectangles merging into one.
    HRGN C = CreateRectRgn(4, 0, 8, 4);
    EXPECT_EQ(CombineRgn(A, A, C, RGN_OR), SIMPLEREGION);
    RECT Box;
    GetRgnBox(A, &Box);
    EXPECT_EQ(Box, Rect(0, 0, 8, 4));
    // Failures leave the destination alone.
    EXPECT_EQ(CombineRgn(D, A, B, 9), ERROR);
    EXPECT_EQ(CombineRgn(D, A, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(GetRgnBox(D, &Box), NULLREGION);
    for (HRGN R : {A, B, C, D}) DeleteObject(R);
}

TEST(GdiRegions, AlgebraMatchesPixelSets) {
    // Random rectangle soups against a plain pixel-set model.
    std::mt19937 Rng(7);
    std::uniform_int_distribution<int> Coord(-3, 20);
    auto RandomRegion = [&](int N, TPixels& Model) {
        std::vector<TRect> Rs;
        for (int K = 0; K < N; ++K) {
            const TRect R = Rect(Coord(Rng), Coord(Rng), Coord(Rng), Coord(Rng));
            Rs.push_back(R);
            for (int Y = R.Top; Y < R.Bottom; ++Y)
                for (int X = R.Left; X < R.Right; ++X) Model.insert({X, Y});
        }
        return TQvRegion::FromRects(Rs);
    };
    for (int Round = 0; Round < 400; ++Round) {
        TPixels PA, PB;
        const TQvRegion A = RandomRegion(1 + Round % 9, PA);
        const TQvRegion B = RandomRegion(1 + Round % 5, PB);
        ASSERT_EQ(PixelsOf(A), PA);
        ExpectCanonical(A);
        for (int Mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
            TPixels Want;
            for (int Y = -3; Y < 20; ++Y)
                for (int X = -3; X < 20; ++X) {
                    const bool InA = PA.count({X, Y}) != 0, InB = PB.count({X, Y}) != 0;
                    const bool In = Mode == RGN_AND   ? InA && InB
                                    : Mode == RGN_OR  ? InA || InB
                                    : Mode == RGN_XOR ? InA != InB
                                                      : InA && !InB;
                    if (In) Want.insert({X, Y});
                }
            const TQvRegion C = TQvRegion::Combine(A, B, Mode);
            ASSERT_EQ(PixelsOf(C), Want) << "mode " << Mode << " round " << Round;
            ExpectCanonical(C);
        }
        // Same pixels, same list: equality is exact.
        EXPECT_EQ(A | B, B | A);
        EXPECT_EQ((A - B) | (A & B), A);
    }
}

TEST(GdiRegions, QueriesAndOffset) {
    TQvRegion R = TQvRegion(Rect(0, 0, 10, 2)) | TQvRegion(Rect(0, 5, 3, 8)) | TQvRegion(Rect(6, 5, 9, 8));
    EXPECT_TRUE(R.Contains(0, 0));
    EXPECT_FALSE(R.Contains(10, 0));
    EXPECT_FALSE(R.Contains(4, 6));
    EXPECT_TRUE(R.Contains(8, 7));
    EXPECT_FALSE(R.Contains(0, 3));
    EXPECT_TRUE(R.Intersects(Rect(2, 1, 3, 2)));
    EXPECT_FALSE(R.Intersects(Rect(3, 2, 6, 9)));
    EXPECT_FALSE(R.Intersects(Rect(5, 5, 5, 9)));
    EXPECT_TRUE(R.Covers(Rect(1, 0, 9, 2)));
    EXPECT_FALSE(R.Covers(Rect(1, 0, 9, 3)));
    EXPECT_EQ(R.Bounds(), Rect(0, 0, 10, 8));

    HRGN H = GdiCreateRegion(R);
    EXPECT_EQ(OffsetRgn(H, -5, 100), COMPLEXREGION);
    EXPECT_EQ(PtInRegion(H, -5, 100), TRUE);
    EXPECT_EQ(PtInRegion(H, 0, 0), FALSE);
    const RECT In = Rect(3, 106, 4, 107), Out = Rect(-2, 106, 1, 108);
    EXPECT_EQ(RectInRegion(H, &In), TRUE);
    EXPECT_EQ(RectInRegion(H, &Out), FALSE);
    EXPECT_EQ(SetRectRgn(H, 5, 5, 1, 1), TRUE);  // swapped corners are ordered
    RECT Box;
    EXPECT_EQ(GetRgnBox(H, &Box), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(1, 1, 5, 5));
    DeleteObject(H);

    // Offsets beyond the coordinate limit saturate instead of overflowing.
    TQvRegion Far(Rect(0, 0, 4, 4));
    Far.Offset(INT32_MAX, INT32_MIN);
    EXPECT_TRUE(Far.IsEmpty());
    TQvRegion Edge(Rect(0, 0, 10, 1));
    Edge.Offset(GdiRegionLimit - 5, 0);
    EXPECT_EQ(Edge.Bounds(), Rect(GdiRegionLimit - 5, 0, GdiRegionLimit, 1));
}

TEST(GdiRegions, PolygonFillRules) {
    // A five-pointed star drawn in one stroke: the centre pentagon is inside by the
    // winding rule and outside by the alternate rule.
    const POINT Star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    HRGN Alt = CreatePolygonRgn(Star, 5, ALTERNATE);
    HRGN Wind = CreatePolygonRgn(Star, 5, WINDING);
    EXPECT_EQ(PtInRegion(Alt, 10, 10), FALSE);
    EXPECT_EQ(PtInRegion(Wind, 10, 10), TRUE);
    // The points are inside by both rules.
    EXPECT_EQ(PtInRegion(Alt, 10, 3), TRUE);
    EXPECT_EQ(PtInRegion(Wind, 10, 3), TRUE);
    EXPECT_EQ(PtInRegion(Alt, 2, 7), TRUE);
    HRGN Diff = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(Diff, Alt, Wind, RGN_DIFF);
    RECT Box;
    EXPECT_EQ(GetRgnBox(Diff, &Box), NULLREGION);
    for (HRGN R : {Alt, Wind, Diff}) DeleteObject(R);

    // Pixel-centre rule: an axis-aligned polygon covers exactly its rectangle.
    const POINT Square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    HRGN Sq = CreatePolygonRgn(Square, 4, ALTERNATE);
    EXPECT_EQ(GdiRegionOf(Sq)->Region, TQvRegion(Rect(1, 1, 5, 4)));
    DeleteObject(Sq);

    // A right triangle: row y keeps the pixels whose centre lies left of the hypotenuse.
    const POINT Tri[] = {{0, 0}, {4, 4}, {0, 4}};
    TQvRegion T = TQvRegion::Polygon(Tri, 3, ALTERNATE);
    EXPECT_EQ(Picture(T, 5, 5),
              ".....\n"
              "#....\n"
              "##...\n"
              "###..\n"
              ".....\n");
    ExpectCanonical(T);

    EXPECT_EQ(CreatePolygonRgn(Square, 1, ALTERNATE), nullptr);
    EXPECT_EQ(CreatePolygonRgn(Square, 4, 7), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 4, ALTERNATE), nullptr);
}
