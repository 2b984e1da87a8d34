#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "draw/uQvPolygons.h"
#include "draw/uQvSurface.h"
#include "draw/uQvVectors.h"

namespace {

uint8_t G(int I) {
    return CoverageGamma()[I];
}

// An opaque colour of the given coverage index blended onto transparent black.
TColor32 Covered(TColor32 C, int Index) {
    return OverBlend(SetAlpha(C, G(Index)), 0);
}

// A polyline whose middle point turns the direction by Degrees.
TArrayOfFloatPoint Turn(float Degrees) {
    const double A = Degrees * std::numbers::pi / 180;
    return {
        {0, 0}, {10, 0}, {static_cast<float>(10 + 10 * std::cos(A)), static_cast<float>(10 * std::sin(A))}};
}

}  // namespace

TEST(Stroke, HorizontalLinesAndCaps) {
    TSurface32 S;
    S.SetSize(20, 10);
    const TColor32 C = 0xFF204060u;
    // A one-pixel stroke along y = 5 lies half in row 4 and half in row 5.
    StrokePolylineFS(&S, {{2, 5}, {12, 5}}, C);
    for (int X = 2; X < 12; ++X) {
        EXPECT_EQ(S.GetPixel(X, 4), Covered(C, 127)) << X;
        EXPECT_EQ(S.GetPixel(X, 5), Covered(C, 127)) << X;
    }
    // Butt ends stop at the end points.
    EXPECT_EQ(S.GetPixel(1, 5), 0u);
    EXPECT_EQ(S.GetPixel(12, 5), 0u);
    // Along y = 5.5 it fills row 5 alone.
    S.Clear(0);
    StrokePolylineFS(&S, {{2, 5.5f}, {12, 5.5f}}, C);
    EXPECT_EQ(S.GetPixel(6, 5), Covered(C, 255));
    EXPECT_EQ(S.GetPixel(6, 4), 0u);
    EXPECT_EQ(S.GetPixel(6, 6), 0u);
    // A square cap reaches half the width beyond each end.
    S.Clear(0);
    StrokePolylineFS(&S, {{2, 5.5f}, {12, 5.5f}}, C, false, 2.0f, jsMiter, esSquare);
    EXPECT_EQ(S.GetPixel(1, 5), Covered(C, 255));
    EXPECT_EQ(S.GetPixel(12, 5), Covered(C, 255));
    EXPECT_EQ(S.GetPixel(0, 5), 0u);
    EXPECT_EQ(S.GetPixel(13, 5), 0u);
    // A round cap bulges beyond the end, less than a square one at the corners.
    S.Clear(0);
    StrokePolylineFS(&S, {{4, 5}, {12, 5}}, C, false, 6.0f, jsMiter, esRound);
    EXPECT_EQ(S.GetPixel(2, 5), Covered(C, 255));
    EXPECT_EQ(S.GetPixel(1, 8), 0u);
    EXPECT_NE(S.GetPixel(1, 5), 0u);
}

TEST(Stroke, OutlineShapeAndCapPoints) {
    // The outline runs start cap, forward side, end cap, backward side.
    const TArrayOfFloatPoint Line{{0, 0}, {10, 0}};
    EXPECT_EQ(BuildStrokeOutline(Line, 2, jsMiter, esButt),
              (TArrayOfFloatPoint{{0, -1}, {10, -1}, {10, 1}, {0, 1}}));
    EXPECT_EQ(BuildStrokeOutline(Line, 2, jsMiter, esSquare),
              (TArrayOfFloatPoint{{-1, 1}, {-1, -1}, {0, -1}, {10, -1}, {11, -1}, {11, 1}, {10, 1}, {0, 1}}));
    // A round cap of half-width 2 has 6 arc points; of half-width 10, round(pi * sqrt(10)).
    EXPECT_EQ(BuildStrokeOutline(Line, 4, jsMiter, esRound).size(), 4u + 2 * 6);
    EXPECT_EQ(BuildStrokeOutline(Line, 20, jsMiter, esRound).size(), 4u + 2 * 10);
    const TArrayOfFloatPoint Round = BuildStrokeOutline(Line, 4, jsMiter, esRound);
    // The start cap runs behind the start point from one side to the other.
    EXPECT_NEAR(Round[0].X, 0, 1e-5);
    EXPECT_NEAR(Round[0].Y, 2, 1e-5);
    EXPECT_NEAR(Round[2].X, -1.902f, 1e-3);
    EXPECT_NEAR(Round[2].Y, 0.618f, 1e-3);
    EXPECT_NEAR(Round[5].Y, -2, 1e-5);
    // Coinciding points have no direction to stroke.
    EXPECT_TRUE(BuildStrokeOutline({{3, 3}, {3, 3}, {3, 3}}, 2, jsMiter, esRound).empty());
    EXPECT_TRUE(BuildStrokeOutline({{3, 3}}, 2, jsMiter, esRound).empty());
}

TEST(Stroke, MiterLimitAndJoins) {
    // With limit 4 a miter survives a turn of 150 degrees and is cut at 155.
    auto Grown = [](const TArrayOfFloatPoint& P, TJoinStyle Style, bool Closed, float Limit) {
        return GrowContour(P, ContourNormals(P), 1.0f, Style, Closed, Limit);
    };
    EXPECT_EQ(Grown(Turn(150), jsMiter, false, 4).size(), 3u);
    EXPECT_EQ(Grown(Turn(155), jsMiter, false, 4).size(), 4u);
    EXPECT_EQ(Grown(Turn(155), jsMiter, false, 10).size(), 3u);
    // An open polyline is outlined with limit 4 whatever is passed; a closed one keeps it.
    const auto Open = BuildPolyStrokeOutline({Turn(155)}, false, 2, jsMiter, esButt, 10);
    EXPECT_EQ(Open[0], BuildStrokeOutline(Turn(155), 2, jsMiter, esButt, 4));
    EXPECT_NE(Open[0], BuildStrokeOutline(Turn(155), 2, jsMiter, esButt, 10));
    const TArrayOfFloatPoint Sharp{{0, 0}, {20, 1}, {0, 2}};
    const auto Closed4 = BuildPolyStrokeOutline({Sharp}, true, 2, jsMiter, esButt, 4);
    const auto Closed40 = BuildPolyStrokeOutline({Sharp}, true, 2, jsMiter, esButt, 40);
    ASSERT_EQ(Closed4.size(), 2u);
    EXPECT_GT(Closed40[0].size() + Closed40[1].size(), 0u);
    EXPECT_NE(Closed4, Closed40);
    // Bevel and round joins cut or round only the outer side of a turn.
    const TArrayOfFloatPoint Right{{0, 0}, {10, 0}, {10, 10}};
    const TArrayOfFloatPoint Outer = GrowContour(Right, ContourNormals(Right), 2.0f, jsBevel, false, 4);
    EXPECT_EQ(Outer, (TArrayOfFloatPoint{{0, -2}, {10, -2}, {12, 0}, {12, 10}}));
    const TArrayOfFloatPoint Inner = GrowContour(Right, ContourNormals(Right), -2.0f, jsBevel, false, 4);
    EXPECT_EQ(Inner, (TArrayOfFloatPoint{{0, 2}, {8, 2}, {8, 10}}));
    const TArrayOfFloatPoint Rounded = GrowContour(Right, ContourNormals(Right), 2.0f, jsRound, false, 4);
    ASSERT_GT(Rounded.size(), 4u);
    for (size_t I = 1; I + 1 < Rounded.size(); ++I)
        EXPECT_NEAR(std::hypot(Rounded[I].X - 10, Rounded[I].Y), 2.0, 1e-4) << I;
}

TEST(Shapes, CirclesEllipsesArcsAndStepCounts) {
    EXPECT_EQ(CircleStepCount(1), 6);
    EXPECT_EQ(CircleStepCount(5), 14);
    EXPECT_EQ(CircleStepCount(10), 19);
    EXPECT_EQ(CircleStepCount(-10), 19);
    EXPECT_EQ(CircleStepCount(50), 44);
    EXPECT_EQ(CircleStepCount(100), 62);
    EXPECT_EQ(CircleStepCount(0.0f), 2);
    const TArrayOfFloatPoint C = CirclePoints({5, 5}, 10);
    ASSERT_EQ(C.size(), 19u);
    EXPECT_EQ(C[0], (TFloatPoint{15, 5}));
    EXPECT_GT(C[1].Y, 5.0f);
    for (const TFloatPoint& P : C) EXPECT_NEAR(std::hypot(P.X - 5, P.Y - 5), 10.0, 1e-4);
    EXPECT_EQ(CirclePoints({0, 0}, 10, 4).size(), 4u);
    const TArrayOfFloatPoint E = EllipsePoints({0, 0}, 20, 5);
    ASSERT_EQ(E.size(), 14u);
    EXPECT_EQ(E[0], (TFloatPoint{20, 0}));
    const TArrayOfFloatPoint Arc = CircularArcPoints({0, 0}, 2, 0, static_cast<float>(std::numbers::pi / 2));
    ASSERT_EQ(Arc.size(), 6u);
    EXPECT_NEAR(Arc.back().X, 0, 1e-5);
    EXPECT_NEAR(Arc.back().Y, 2, 1e-5);
    EXPECT_EQ(RectanglePoints({1, 2, 3, 4}), (TArrayOfFloatPoint{{1, 2}, {3, 2}, {3, 4}, {1, 4}}));
    // A rounded rectangle keeps its straight sides on the rectangle.
    const TArrayOfFloatPoint RR = RoundRectPoints({0, 0, 40, 20}, 5);
    for (const TFloatPoint& P : RR) {
        EXPECT_GE(P.X, -1e-4f);
        EXPECT_LE(P.X, 40 + 1e-4f);
        EXPECT_GE(P.Y, -1e-4f);
        EXPECT_LE(P.Y, 20 + 1e-4f);
    }
    EXPECT_GT(RR.size(), 8u);
    // A radius of half the short side or more gives the stadium: its ends are half circles
    // touching all four sides, for wide and tall boxes alike.
    for (const TFloatRect Box : {TFloatRect{0, 0, 96, 28}, TFloatRect{10, 0, 38, 60}})
        for (const float Radius : {14.0f, 40.0f}) {
            const TArrayOfFloatPoint S = RoundRectPoints(Box, Radius);
            float L = 1e9f, T = 1e9f, R = -1e9f, B = -1e9f;
            for (const TFloatPoint& P : S) {
                L = std::min(L, P.X), T = std::min(T, P.Y), R = std::max(R, P.X), B = std::max(B, P.Y);
                const bool Wide = Box.Right - Box.Left >= Box.Bottom - Box.Top;
                const TFloatPoint C = Wide ? TFloatPoint{std::clamp(P.X, Box.Left + 14, Box.Right - 14), 14}
                                           : TFloatPoint{24, std::clamp(P.Y, 14.0f, 46.0f)};
                EXPECT_NEAR(std::hypot(P.X - C.X, P.Y - C.Y), 14, 1e-3);
            }
            EXPECT_FLOAT_EQ(L, Box.Left);
            EXPECT_FLOAT_EQ(R, Box.Right);
            EXPECT_NEAR(T, Box.Top, 1e-4);
            EXPECT_NEAR(B, Box.Bottom, 1e-4);
        }
}

TEST(Shapes, AbsurdSizesStayBounded) {
    const float NaN = std::numeric_limits<float>::quiet_NaN(), Inf = std::numeric_limits<float>::infinity();
    EXPECT_LE(CirclePoints({0, 0}, 1e30f).size(), static_cast<size_t>(MaxArcPoints));
    EXPECT_LE(CirclePoints({0, 0}, 5, 1 << 30).size(), static_cast<size_t>(MaxArcPoints));
    EXPECT_TRUE(CirclePoints({0, 0}, NaN).empty());
    EXPECT_TRUE(EllipsePoints({0, 0}, Inf, 3).empty());
    EXPECT_EQ(CircleStepCount(NaN), 0);
    EXPECT_EQ(CircleStepCount(1e35f), MaxArcPoints);
    EXPECT_LE(CircularArcPoints({0, 0}, 1e30f, 0, 6).size(), static_cast<size_t>(MaxArcPoints));
    EXPECT_TRUE(CircularArcPoints({0, 0}, 5, 0, Inf).empty());
    // A round join of an enormous width gets a bounded arc.
    const TArrayOfFloatPoint Right{{0, 0}, {10, 0}, {10, 10}};
    const TArrayOfFloatPoint Grown = GrowContour(Right, ContourNormals(Right), 1e9f, jsRound, false, 4);
    EXPECT_LE(Grown.size(), static_cast<size_t>(MaxArcPoints) + 4);
    EXPECT_TRUE(GrowContour(Right, ContourNormals(Right), NaN, jsRound, false, 4).empty());
    EXPECT_TRUE(BuildPolyStrokeOutline({Right}, true, Inf, jsRound, esRound).empty());
}

TEST(PolygonEx, FixedPointContoursFillAndOutline) {
    TPolygonEx P;
    EXPECT_TRUE(P.Closed());
    const TFixedPoint Square[] = {
        {Fixed(1), Fixed(1)}, {Fixed(7), Fixed(1)}, {Fixed(7), Fixed(7)}, {Fixed(1), Fixed(7)}};
    P.AddPoints(Square, 4);
    P.Newline();
    P.Newline();
    const TFixedPoint Hole[] = {
        {Fixed(3), Fixed(3)}, {Fixed(3), Fixed(5)}, {Fixed(5), Fixed(5)}, {Fixed(5), Fixed(3)}};
    P.AddPoints(Hole, 4);
    ASSERT_EQ(P.Contours().size(), 2u);
    EXPECT_EQ(P.FloatContours()[0][1], (TFloatPoint{7, 1}));
    TSurface32 S;
    S.SetSize(10, 10);
    P.Draw(&S, 0x00FFFFFFu, 0xFF336699u);
    EXPECT_EQ(S.GetPixel(2, 2), Covered(0xFF336699u, 255));
    EXPECT_EQ(S.GetPixel(4, 4), 0u);
    EXPECT_EQ(S.GetPixel(0, 0), 0u);
    // An outline of width 1 on the pixel edges covers half of each neighbouring pixel.
    S.Clear(0);
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    P.DrawEdge(&S, 0xFFFFFFFFu);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(S.GetPixel(0, 4), Covered(0xFFFFFFFFu, 127));
    EXPECT_EQ(S.GetPixel(1, 4), Covered(0xFFFFFFFFu, 127));
    // Inside the hole's corner two half bands meet: three quarters.
    EXPECT_EQ(S.GetPixel(4, 4), Covered(0xFFFFFFFFu, 191));
    P.Clear();
    EXPECT_EQ(P.Contours().size(), 1u);
    EXPECT_TRUE(P.FloatContours().empty());
}

TEST(BitmapFiller, TilesThePatternByItsModes) {
    TSurface32 Pattern;
    Pattern.SetSize(2, 2);
    Pattern.SetPixel(0, 0, 0x80FF0000u);
    Pattern.SetPixel(1, 0, 0x8000FF00u);
    Pattern.SetPixel(0, 1, 0x800000FFu);
    Pattern.SetPixel(1, 1, 0x80FFFFFFu);
    TBitmapPolygonFiller F;
    F.SetPattern(&Pattern);
    F.SetOffsetX(1);
    F.SetOffsetY(-3);
    TSurface32 S;
    S.SetSize(6, 4);
    const TArrayOfFloatPoint Box = RectanglePoints({0, 0, 6, 4});
    // dmOpaque: the pattern pixel made opaque, blended by coverage alone.
    FillPolygonFS(&S, Box, &F);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 6; ++X) {
            TColor32 Expected = 0;
            BlendIntoMaster(Pattern.GetPixel(((X - 1) % 2 + 2) % 2, (Y + 3) % 2) | 0xFF000000u, Expected,
                            255);
            EXPECT_EQ(S.GetPixel(X, Y), Expected) << X << "," << Y;
        }
    // dmBlend with a master alpha weighs coverage * MasterAlpha / 255.
    Pattern.SetDrawMode(dmBlend);
    Pattern.SetMasterAlpha(100);
    S.Clear(0xFF000000u);
    FillPolygonFS(&S, Box, &F);
    TColor32 Expected = 0xFF000000u;
    BlendIntoMaster(Pattern.GetPixel(1, 1), Expected, 255 * 100 / 255);
    EXPECT_EQ(S.GetPixel(0, 0), Expected);
    // dmCustom hands the weight to the callback; without one, and for dmTransparent or
    // an empty pattern, nothing is drawn.
    Pattern.SetDrawMode(dmCustom);
    std::vector<uint32_t> Weights;
    Pattern.OnPixelCombine = [&](TColor32, TColor32& B, TColor32 M) {
        Weights.push_back(M);
        B = 0xFFABCDEFu;
    };
    S.Clear(0);
    FillPolygonFS(&S, RectanglePoints({0, 0, 1.5f, 1}), &F);
    EXPECT_EQ(Weights, (std::vector<uint32_t>{100, G(128) * 100u / 255, 0}));
    EXPECT_EQ(S.GetPixel(0, 0), 0xFFABCDEFu);
    Pattern.OnPixelCombine = nullptr;
    Pattern.SetDrawMode(dmTransparent);
    for (int Case = 0; Case < 2; ++Case) {
        S.Clear(0);
        FillPolygonFS(&S, Box, &F);
        for (int I = 0; I < 24; ++I) EXPECT_EQ(S.Bits()[I], 0u);
        Pattern.SetDrawMode(dmOpaque);
        Pattern.SetSize(0, 0);
    }
}

TEST(BitmapFiller, RenderingIsBracketed) {
    // Begin and end are called around every render, also when the filler cannot fill.
    struct TCounting : TCustomPolygonFiller {
        int Begins = 0, Ends = 0, Lines = 0;
        bool CanFill = true;
        void BeginRendering() override { ++Begins; }
        void EndRendering() override { ++Ends; }
        TFillLineEvent FillLine() override {
            if (!CanFill) return {};
            return [this](TColor32*, int, int, int, const uint32_t*) { ++Lines; };
        }
    } F;
    TSurface32 S;
    S.SetSize(5, 5);
    FillPolygonFS(&S, RectanglePoints({0, 0, 5, 3}), &F);
    EXPECT_EQ(F.Begins, 1);
    EXPECT_EQ(F.Ends, 1);
    EXPECT_EQ(F.Lines, 3);
    F.CanFill = false;
    FillPolygonFS(&S, RectanglePoints({0, 0, 5, 3}), &F);
    EXPECT_EQ(F.Ends, 2);
    EXPECT_EQ(F.Lines, 3);
}
