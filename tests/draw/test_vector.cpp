#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "draw/uQvCanvas.h"
#include "draw/uQvSurface.h"

namespace {

// A path that keeps every point it is given.
class TRecordingPath : public TCustomPath {
public:
    TArrayOfFloatPoint Points;

protected:
    void AddPoint(const TFloatPoint& P) override { Points.push_back(P); }
};

uint8_t G(int I) {
    return CoverageGamma()[I];
}

}  // namespace

TEST(Paths, CurvesFlattenToTheToleranceAndReflectControls) {
    TRecordingPath P;
    P.MoveTo(0, 0);
    // Deviation 40 falls to 10, 2.5, 0.625, 0.156: 16 pieces, their starts and the end.
    P.CurveTo({0, 10}, {10, 10}, {10, 0});
    ASSERT_EQ(P.Points.size(), 17u);
    EXPECT_EQ(P.Points.front(), (TFloatPoint{0, 0}));
    EXPECT_EQ(P.Points.back(), (TFloatPoint{10, 0}));
    // The halving point of the first level is the curve's middle, (5, 7.5).
    EXPECT_EQ(P.Points[8], (TFloatPoint{5, 7.5f}));
    EXPECT_EQ(P.ControlPointOrigin(), cpCubic);
    // Collinear, evenly spaced controls: already flat.
    P.Points.clear();
    P.CurveTo({13, 0}, {16, 0}, {19, 0});
    EXPECT_EQ(P.Points, (TArrayOfFloatPoint{{10, 0}, {19, 0}}));
    // The smooth form mirrors the last control (16, 0) about (19, 0): (22, 0).
    P.Points.clear();
    P.CurveTo({25, 0}, {28, 0});
    EXPECT_EQ(P.Points, (TArrayOfFloatPoint{{19, 0}, {28, 0}}));
    // After a line the smooth form starts at the current point.
    P.LineTo(28, 8);
    P.Points.clear();
    P.CurveTo({40, 12}, {28, 16});
    TRecordingPath Q;
    Q.MoveTo(28, 8);
    Q.CurveTo({28, 8}, {40, 12}, {28, 16});
    EXPECT_EQ(P.Points, Q.Points);
    // Quadratics: deviation |0 + 8 - 2 * 4| + |0 + 0 - 2 * 4| = 8 falls to 2, 0.5, 0.125.
    P.MoveTo(0, 0);
    P.Points.clear();
    P.ConicTo({4, 4}, {8, 0});
    EXPECT_EQ(P.Points.size(), 9u);
    EXPECT_EQ(P.LastControlPoint(), (TFloatPoint{4, 4}));
    P.Points.clear();
    P.ConicTo({16, 0});
    EXPECT_EQ(P.LastControlPoint(), (TFloatPoint{12, -4}));
    EXPECT_EQ(P.Points.size(), 9u);
}

TEST(Paths, AbsurdCurvesEndAndDropNonFinitePoints) {
    const float Inf = std::numeric_limits<float>::infinity();
    TRecordingPath P;
    P.MoveTo(0, 0);
    P.CurveTo({1e30f, -1e30f}, {-1e30f, 1e30f}, {5, 5});
    EXPECT_LE(P.Points.size(), (size_t{1} << MaxFlattenDepth) + 1);
    P.Points.clear();
    P.ConicTo({Inf, 0}, {6, 6});
    EXPECT_EQ(P.Points, (TArrayOfFloatPoint{{6, 6}}));
    TFlattenedPath F;
    F.BeginPath();
    F.MoveTo(1, 1);
    F.LineTo(Inf, 2);
    F.LineTo(3, std::numeric_limits<float>::quiet_NaN());
    F.LineTo(4, 4);
    EXPECT_EQ(F.Pending(), (TArrayOfFloatPoint{{1, 1}, {4, 4}}));
}

TEST(Paths, FlattenedPathClosesOnMoveAndClose) {
    TFlattenedPath F;
    int Ends = 0;
    F.OnEndPath = [&](TObject*) { ++Ends; };
    F.BeginPath();
    F.MoveTo(0, 0);
    F.LineTo(10, 0);
    F.LineTo(10, 10);
    // A move after an unclosed subpath closes it.
    F.MoveTo(20, 20);
    ASSERT_EQ(F.Contours().size(), 1u);
    EXPECT_EQ(F.Contours()[0].size(), 3u);
    EXPECT_EQ(F.Pending(), (TArrayOfFloatPoint{{20, 20}}));
    F.LineTo(30, 20);
    F.ClosePath();
    EXPECT_EQ(F.CurrentPoint(), (TFloatPoint{20, 20}));
    EXPECT_TRUE(F.Pending().empty());
    F.ClosePath();
    EXPECT_EQ(F.Contours().size(), 2u);
    F.EndPath();
    EXPECT_EQ(Ends, 1);
    F.Polygon({{1, 1}, {2, 1}, {2, 2}});
    EXPECT_EQ(Ends, 2);
    ASSERT_EQ(F.Contours().size(), 1u);
    EXPECT_EQ(F.CurrentPoint(), (TFloatPoint{1, 1}));
}

TEST(Canvas, BrushesRenderClosedAndOpenParts) {
    TSurface32 S;
    S.SetSize(40, 20);
    TSurfaceCanvas C(&S);
    TStrokeBrush* Stroke = C.Brushes().Add<TStrokeBrush>();
    Stroke->SetFillColor(0xFFFF0000u);
    Stroke->SetStrokeWidth(2);
    Stroke->SetFillMode(pfWinding);
    TFlattenedPath& P = C.Path();
    P.BeginPath();
    P.MoveTo(2, 2);
    P.LineTo(12, 2);
    P.LineTo(12, 12);
    // Closed by the move: its stroke includes the edge back to (2, 2).
    P.MoveTo(20, 10);
    P.LineTo(30, 10);
    P.EndPath();
    const TColor32 Full = OverBlend(0xFFFF0000u, 0);
    EXPECT_EQ(S.GetPixel(7, 7), Full);
    // The open part has butt ends: nothing before (20, 10) or after (30, 10).
    EXPECT_EQ(S.GetPixel(25, 9), Full);
    EXPECT_EQ(S.GetPixel(25, 10), Full);
    EXPECT_EQ(S.GetPixel(19, 10), 0u);
    EXPECT_EQ(S.GetPixel(30, 10), 0u);
    // Invisible brushes draw nothing; a fill brush fills the closed and the open parts.
    S.Clear(0);
    Stroke->SetVisible(false);
    TSolidBrush* Fill = C.Brushes().Add<TSolidBrush>();
    Fill->SetFillColor(0x8000FF00u);
    C.DrawPath();
    EXPECT_EQ(S.GetPixel(10, 4), OverBlend(SetAlpha(0x8000FF00u, G(128)), 0));
    EXPECT_EQ(S.GetPixel(25, 9), 0u);
    EXPECT_EQ(C.Brushes().Count(), 2);
    C.Brushes().Delete(0);
    EXPECT_EQ(C.Brushes().Items(0), Fill);
    EXPECT_THROW(C.Brushes().Items(1), EQvError);
}

TEST(Canvas, BrushSettersNotifyOnChangeOnly) {
    TStrokeBrush B;
    EXPECT_EQ(B.FillColor(), 0xFF000000u);
    EXPECT_EQ(B.StrokeWidth(), 1.0f);
    EXPECT_EQ(B.JoinStyle(), jsMiter);
    EXPECT_EQ(B.EndStyle(), esButt);
    EXPECT_EQ(B.MiterLimit(), 4.0f);
    int Changes = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    B.SetStrokeWidth(1);
    B.SetMiterLimit(4);
    B.SetVisible(true);
    B.SetFillMode(pfAlternate);
    EXPECT_EQ(Changes, 0);
    B.SetStrokeWidth(3);
    B.SetEndStyle(esRound);
    B.SetJoinStyle(jsRound);
    B.SetFillColor(0);
    EXPECT_EQ(Changes, 4);
}
