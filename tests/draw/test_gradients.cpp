#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "draw/uPelluxCanvas.h"
#include "draw/uQvGradients.h"
#include "draw/uQvMisc.h"
#include "framework/uQvPictures.h"
#include "support/qv_error_of.h"

namespace {

constexpr TColor32 Black = 0xFF000000u, White = 0xFFFFFFFFu;

struct TRamp {
    TColor32Gradient Gradient;
    TLinearGradientPolygonFiller Filler{&Gradient};
    TRamp(float O1, float O2, TFloatPoint Start, TFloatPoint End) {
        Gradient.AddColorStop(O1, Black);
        Gradient.AddColorStop(O2, White);
        Filler.SetUseLookUpTable(false);
        Filler.SetStartPoint(Start);
        Filler.SetEndPoint(End);
    }
    std::vector<TColor32> Row(int X0, int Y, int Count) {
        std::vector<TColor32> Out(static_cast<size_t>(Count));
        Filler.RowColors(X0, Y, Count, Out.data());
        return Out;
    }
};

}  // namespace

TEST(Gradient, RisingAndFallingRowsStepBetweenTheStops) {
    TRamp Rising(0.2f, 0.8f, {0, 0}, {100, 0});
    std::vector<TColor32> Row = Rising.Row(0, 0, 100);
    // Before 20 % of the way exactly the start colour, from 80 % exactly the end colour.
    EXPECT_EQ(Row[19], Black);
    EXPECT_EQ(Row[20], Black);
    EXPECT_EQ(Row[50], WeightedMix(White, Black, 128));
    EXPECT_EQ(Row[79], WeightedMix(White, Black, 251));
    EXPECT_EQ(Row[80], White);
    for (int X = 1; X < 100; ++X) EXPECT_LE(Row[X - 1] & 0xFF, Row[X] & 0xFF);
    // A run that starts inside the ramp and ends before it.
    EXPECT_EQ(Rising.Row(50, 0, 5)[0], Row[50]);
    EXPECT_EQ(Rising.Row(-10, 0, 5)[4], Black);

    TRamp Falling(0.2f, 0.8f, {100, 0}, {0, 0});
    Row = Falling.Row(0, 0, 100);
    EXPECT_EQ(Row[10], White);
    EXPECT_EQ(Row[90], Black);
    EXPECT_EQ(Row[50], WeightedMix(Black, White, 128));

    // Along a diagonal the stops cross each row further left on lower rows.
    TRamp Diagonal(0.0f, 1.0f, {0, 0}, {10, 10});
    EXPECT_EQ(Diagonal.Row(0, 0, 30)[20], White);
    EXPECT_EQ(Diagonal.Row(0, 10, 30)[0], Diagonal.Row(0, 0, 30)[10]);
    EXPECT_EQ(Diagonal.Row(0, 10, 30)[10], White);
}

TEST(Gradient, RampsShorterThanAPixelNeitherOverflowNorWrap) {
    // The two stops lie 0.15 pixels apart: the per-pixel step is beyond 32 bits.
    TRamp Short(0.499f, 0.5005f, {0, 0}, {100, 0});
    const std::vector<TColor32> Row = Short.Row(0, 0, 100);
    for (int X = 0; X < 100; ++X) EXPECT_EQ(Row[X], X < 50 ? Black : White) << X;
    TRamp Tiny(0.0f, 1.0f, {0, 0}, {0.3f, 0});
    EXPECT_EQ(Tiny.Row(-3, 0, 6), (std::vector<TColor32>{Black, Black, Black, White, White, White}));
}

TEST(Gradient, VerticalDegenerateAndSingleStopRows) {
    TRamp Vertical(0.2f, 0.8f, {0, 0}, {0, 100});
    EXPECT_EQ(Vertical.Row(0, 50, 2)[1], WeightedMix(White, Black, 127));  // floor(0.5 * 255)
    EXPECT_EQ(Vertical.Row(0, 10, 1)[0], Black);
    // Coinciding points: one colour per row, the start colour above the point.
    TRamp Point(0.2f, 0.8f, {5, 50}, {5, 50});
    EXPECT_EQ(Point.Row(0, 49, 1)[0], Black);
    EXPECT_EQ(Point.Row(0, 50, 1)[0], White);
    TColor32Gradient One;
    One.AddColorStop(0.5f, 0xFF123456u);
    TLinearGradientPolygonFiller Filler(&One);
    Filler.SetUseLookUpTable(false);
    Filler.SetEndPoint({10, 0});
    TColor32 C = 0;
    Filler.RowColors(7, 0, 1, &C);
    EXPECT_EQ(C, 0xFF123456u);
}

TEST(Gradient, StopsAndColoursAtOffsets) {
    TColor32Gradient G;
    int Changes = 0;
    G.OnGradientColorsChanged = [&](TObject*) { ++Changes; };
    G.AddColorStop(0.5f, 0xFF00FF00u);
    G.AddColorStop(0.0f, Black);
    G.AddColorStop(0.5f, White);  // after the equal offset
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(G.GradientEntry(1).Color32, 0xFF00FF00u);
    EXPECT_EQ(G.GradientEntry(2).Color32, White);
    EXPECT_EQ(QvErrorOf([&] { G.GradientEntry(3); }), "Index out of bounds (3)");
    EXPECT_EQ(G.GetColorAt(std::nanf("")), Black);
    EXPECT_EQ(G.GetColorAt(-1), Black);
    EXPECT_EQ(G.GetColorAt(0.25f), WeightedMix(0xFF00FF00u, Black, 127));
    EXPECT_EQ(G.GetColorAt(0.5f), White);
    EXPECT_EQ(G.StartColor(), Black);
    EXPECT_EQ(G.EndColor(), White);
}

TEST(Gradient, PolygonFillBlendsByCoverageAndChecksItsInputs) {
    TRamp Ramp(0.0f, 1.0f, {0, 0}, {10, 0});
    TSurface32 S;
    S.SetSize(12, 4);
    S.Clear(0xFF0000FFu);
    FillPolygonFS(&S, RectanglePoints(FloatRect(0, 0, 10, 4)), &Ramp.Filler);
    const std::vector<TColor32> Row = Ramp.Row(0, 1, 10);
    EXPECT_EQ(S.GetPixel(5, 1), WeightedMix(Row[5], 0xFF0000FFu, 255));
    EXPECT_EQ(S.GetPixel(11, 1), 0xFF0000FFu);

    // With the table the same axis reads the table's entries.
    Ramp.Filler.SetUseLookUpTable(true);
    S.Clear(0xFF0000FFu);
    FillPolygonFS(&S, RectanglePoints(FloatRect(0, 0, 10, 4)), &Ramp.Filler);
    EXPECT_EQ(S.GetPixel(0, 1), WeightedMix(Black, 0xFF0000FFu, 255));

    // Without the table only clamping exists; repeating needs the table.
    Ramp.Filler.SetWrapMode(wmRepeat);
    Ramp.Filler.SetUseLookUpTable(false);
    EXPECT_EQ(Ramp.Filler.WrapMode(), wmClamp);
    Ramp.Filler.SetWrapMode(wmMirror);
    EXPECT_TRUE(Ramp.Filler.UseLookUpTable());
    Ramp.Filler.SetGradientLUT(nullptr);
    EXPECT_EQ(QvErrorOf([&] { FillPolygonFS(&S, RectanglePoints(FloatRect(0, 0, 4, 4)), &Ramp.Filler); }),
              "No TColor32LookupTable object specified");
    Ramp.Filler.SetUseLookUpTable(false);
    Ramp.Filler.SetGradient(nullptr);
    EXPECT_EQ(QvErrorOf([&] { FillPolygonFS(&S, RectanglePoints(FloatRect(0, 0, 4, 4)), &Ramp.Filler); }),
              "No TColor32Gradient specified");
}

TEST(Gradient, CanvasRampStepsInSixtyFourBits) {
    TBitmap B(300, 2);
    GradientFillCanvas(B.Canvas(), 0x000000, 0xFFFFFF, true, Rect(0, 0, 300, 2));
    // 255 * round(2^24 / 300) * 299 is past 32 bits; floor(... / 2^24) = 254.
    EXPECT_EQ(B.ScanLine(1)[299], 0xFFFEFEFEu);
    EXPECT_EQ(B.ScanLine(0)[150], 0xFF7F7F7Fu);
    EXPECT_EQ(B.ScanLine(0)[0], 0xFF000000u);
    GradientFillCanvas(B.Canvas(), 0x0000FF, 0x000000, false, Rect(0, 0, 300, 2));
    EXPECT_EQ(B.ScanLine(0)[7], 0xFFFF0000u);
    EXPECT_EQ(B.ScanLine(1)[7], 0xFF7F0000u);  // 255 + floor(-127.5)
}

TEST(Arcs, BezierPiecesOnTheEllipse) {
    TArrayOfFixedPoint Points;
    // From the end angle 0 counter-clockwise to the start angle 90: the top-right quarter.
    GetArcPoints(FloatRect(0, 0, 100, 100), 90, 0, Points);
    ASSERT_GT(Points.size(), 4u);
    EXPECT_EQ(Points.front(), (TFixedPoint{Fixed(100), Fixed(50)}));
    EXPECT_EQ(Points.back(), (TFixedPoint{Fixed(50), Fixed(0)}));
    for (const TFloatPoint& P : FixedToFloatPoints(Points)) {
        EXPECT_NEAR(std::hypot(P.X - 50, P.Y - 50), 50, 0.05);
        EXPECT_TRUE(P.X >= 50 && P.Y <= 50);
    }
    // On an ellipse the angle is that of the ray from the centre, not the parameter.
    GetArcPoints(FloatRect(0, 0, 200, 100), 45, 0, Points);
    const TFloatPoint End = FixedToFloatPoints(Points).back();
    EXPECT_NEAR(End.X - 100, 50 - End.Y, 1e-3);
    // Equal angles: the whole ellipse, back where it started.
    GetArcPoints(FloatRect(0, 0, 100, 100), 30, 30, Points);
    EXPECT_LE(std::abs(Points.front().X - Points.back().X) + std::abs(Points.front().Y - Points.back().Y), 2);

    std::vector<TPoint> Turned;
    const TPoint Pts[] = {{10, 0}, {3, 4}};
    RotatePoints(Pts, 2, Point(0, 0), std::numbers::pi / 2, Turned);
    EXPECT_EQ(Turned[0], Point(0, -10));
    RotatePoints(Pts, 2, Point(1, 1), 0, Turned);
    EXPECT_EQ(Turned[1], Point(3, 4));
}

TEST(Arcs, GradientFillOfPolygonsFollowsTheAngle) {
    auto Fill = [](double Angle) {
        TSurface32 S;
        S.SetSize(10, 10);
        GradientFillPolygons(&S, {RectanglePoints(FloatRect(0, 0, 10, 10))}, pfAlternate, Angle,
                             {Black, White});
        return std::vector<TColor32>(S.Bits(), S.Bits() + 100);
    };
    const std::vector<TColor32> Right = Fill(0);
    EXPECT_EQ(Right[0], 0xFF0D0D0Du);  // round(0.05 * 255)
    EXPECT_EQ(Right[9], 0xFFF2F2F2u);  // round(0.95 * 255)
    EXPECT_EQ(Right[90], Right[0]);
    EXPECT_EQ(Fill(4), Right);          // within 5 degrees of the axis
    EXPECT_EQ(Fill(180)[0], Right[9]);  // reversed
    const std::vector<TColor32> Down = Fill(270);
    EXPECT_EQ(Down[0], Right[0]);
    EXPECT_EQ(Down[90], Right[9]);
    EXPECT_EQ(Fill(90)[0], Right[9]);
    const std::vector<TColor32> Diagonal = Fill(315);  // towards the bottom right
    EXPECT_EQ(Diagonal[8], Diagonal[80]);
    EXPECT_LT(Diagonal[0] & 0xFF, Diagonal[8] & 0xFF);
    EXPECT_LT(Diagonal[8] & 0xFF, Diagonal[99] & 0xFF);
}
