#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/uQvSurface.h"
#include "draw/uQvSvg.h"
#include "platform/uQvStrUtils.h"

namespace {

// The message of the error a path raises, "" when it raises none.
std::string ErrorOf(TQvSVGPathRenderer& R, const std::string& Path) {
    try {
        R.SetPath(Path);
    } catch (const EQvError& E) {
        return E.what();
    }
    return "";
}

int CountNonZero(const TSurface32& S) {
    int N = 0;
    for (int I = 0; I < S.Width() * S.Height(); ++I) N += S.Bits()[I] != 0;
    return N;
}

}  // namespace

TEST(SvgPath, CoordinatesAndTheirShift) {
    TSurface32 S;
    S.SetSize(40, 40);
    TQvSVGPathRenderer R(&S);
    // Every pair after the first move is shifted by 1.5 in x; single numbers are not.
    R.SetPath("M 10 10 L 20 20");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{10, 10}, {21.5f, 20}}));
    R.SetPath("m 5 5 10 0");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{5, 5}, {16.5f, 5}}));
    R.SetPath("M 0 0 H 10");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{0, 0}, {10, 0}}));
    R.SetPath("M 0 0 h 4 v 3 V 7");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{0, 0}, {4, 0}, {4, 3}, {4, 7}}));
    // Pairs take blanks and commas between their numbers; signs and points end numbers.
    R.SetPath("M1,2L3-4 5.5.5\t\r\nl 1,1");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{1, 2}, {4.5f, -4}, {7, 0.5f}, {9.5f, 1.5f}}));
    // Exponents, and an arc that is read but not drawn.
    R.SetPath("M 1e1 2E-1 A 5 5 0 1 0 10 10 L +2.5e0 3");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{10, 0.2f}, {4, 3}}));
    // A move ends the subpath (drawn then) and starts a new one; its pairs continue as
    // lines. Relative moves go from the current point.
    R.SetPath("M 1 1 L 5 5 m 2 0 1 1");
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{10, 5}, {12.5f, 6}}));
    // Z closes; the current point goes back to the subpath's start.
    R.SetPath("M 1 1 L 9 1 L 9 9 Z l 1 0");
    ASSERT_EQ(R.Canvas().Path().Contours().size(), 1u);
    EXPECT_EQ(R.Canvas().Path().Pending(), (TArrayOfFloatPoint{{3.5f, 1}}));
}

TEST(SvgPath, CurvesAndTheirSmoothForms) {
    TSurface32 S;
    S.SetSize(40, 40);
    TQvSVGPathRenderer R(&S);
    R.SetColors({});
    R.SetPath("M 0 0 C -1.5 10 8.5 10 8.5 0");
    const TArrayOfFloatPoint& P = R.Canvas().Path().Pending();
    // The move's point, then the curve's 16 piece starts (the first the same point) and
    // its end.
    ASSERT_EQ(P.size(), 18u);
    EXPECT_EQ(P.back(), (TFloatPoint{10, 0}));
    // s reflects the previous second control point; c is relative to its start.
    R.SetPath("M 0 0 C -1.5 10 8.5 10 8.5 0 s 8.5 -10 8.5 0 c -1.5 0 -1.5 0 -1.5 0");
    EXPECT_EQ(R.Canvas().Path().Pending().back(), (TFloatPoint{20, 0}));
    R.SetPath("M 0 0 Q 2.5 4 6.5 0 T 14.5 0 t 8.5 0");
    EXPECT_EQ(R.Canvas().Path().Pending().back(), (TFloatPoint{26, 0}));
    EXPECT_EQ(R.Canvas().Path().LastControlPoint(), (TFloatPoint{20, 4}));
}

TEST(SvgPath, SyntaxErrors) {
    TSurface32 S;
    S.SetSize(10, 10);
    TQvSVGPathRenderer R(&S);
    EXPECT_EQ(ErrorOf(R, "L 0 0"), "Unknown first command (L)");
    EXPECT_EQ(ErrorOf(R, "  x"), "Unknown first command (x)");
    EXPECT_EQ(ErrorOf(R, "M0,0 L1,1,2,2"), "Unknown command (,)");
    EXPECT_EQ(ErrorOf(R, "M 0 0 K 1 1"), "Unknown command (K)");
    EXPECT_EQ(ErrorOf(R, "M 0"), "No Data");
    EXPECT_EQ(ErrorOf(R, "M 0 0 L 1"), "No Data");
    EXPECT_EQ(ErrorOf(R, "M 0 0 A 1 1 0 1"), "No Data");
    EXPECT_THROW(R.SetPath("M 0 0 L 1e 2"), EConvertError);
    EXPECT_THROW(R.SetPath("M 0 0 L . 2"), EConvertError);
    EXPECT_THROW(R.SetPath("M - 1"), EConvertError);
    // A number after a close has no command to repeat: an error, not an endless loop.
    EXPECT_EQ(ErrorOf(R, "M 0 0 L 5 0 L 5 5 Z 3 3"), "Unknown command (3)");
    EXPECT_EQ(ErrorOf(R, "M 0 0 L 5 0 L 5 5 z -1"), "Unknown command (-)");
    // Empty or blank data is nothing at all.
    EXPECT_EQ(ErrorOf(R, ""), "");
    EXPECT_EQ(ErrorOf(R, " \t\r\n "), "");
    EXPECT_EQ(CountNonZero(S), 0);
}

TEST(SvgPath, SubpathsBeforeAnErrorStayDrawn) {
    TSurface32 S;
    S.SetSize(20, 20);
    TQvSVGPathRenderer R(&S);
    R.SetFillColor(0x0000FF);
    R.SetColors({pcFill});
    EXPECT_THROW(R.SetPath("M 1 1 L 8.5 1 L 8.5 8 L -0.5 8 Z M 12 12 L 18 12 Q"), EQvError);
    EXPECT_EQ(S.GetPixel(4, 4), OverBlend(0xFFFF0000u, 0));
    EXPECT_EQ(S.GetPixel(15, 15), 0u);
}

TEST(SvgPath, FillAndStrokeBrushes) {
    TSurface32 S;
    S.SetSize(60, 60);
    TQvSVGPathRenderer R(&S);
    EXPECT_EQ(R.FillColor(), 0xFFFFFF);
    EXPECT_EQ(R.StrokeColor(), 0xFF0000);
    EXPECT_EQ(R.StrokeWidth(), 1);
    EXPECT_EQ(R.Alpha(), 255);
    EXPECT_TRUE(R.Colors().Contains(pcFill) && R.Colors().Contains(pcStroke));
    // A square from x = 10 to 50 once shifted: fill alpha 128 gives alpha G[128] = 85
    // inside, the stroke along its right edge x = 50 stays opaque.
    R.SetFillColor(0x00FF00);
    R.SetStrokeColor(0x0000FF);
    R.SetStrokeWidth(2);
    R.SetAlpha(128);
    const std::string Square = "M 10 10 L 48.5 10 L 48.5 50 L 8.5 50 Z";
    R.SetPath(Square);
    EXPECT_EQ(S.GetPixel(30, 30), OverBlend(0x5500FF00u, 0));
    EXPECT_EQ(S.GetPixel(30, 30) >> 24, 85u);
    EXPECT_EQ(S.GetPixel(50, 30) >> 24, 255u);
    EXPECT_EQ(S.GetPixel(49, 30) & 0x00FFFFFFu,
              OverBlend(0xFFFF0000u, OverBlend(0x5500FF00u, 0)) & 0x00FFFFFFu);
    // Rendering again on a cleared surface draws the fill once, not once per refresh.
    S.Clear(0);
    R.Refresh();
    EXPECT_EQ(S.GetPixel(30, 30), OverBlend(0x5500FF00u, 0));
    // With no colours the path is read and nothing is painted.
    S.Clear(0);
    R.SetColors({});
    R.SetPath(Square + " ");
    EXPECT_EQ(CountNonZero(S), 0);
    EXPECT_EQ(ErrorOf(R, "M 1 1 Z 2"), "Unknown command (2)");
    // An open subpath is stroked with butt ends and filled as if closed.
    R.SetColors({pcFill, pcStroke});
    R.SetAlpha(255);
    R.SetPath("M 10 5 L 38.5 5 L 38.5 30");
    EXPECT_EQ(S.GetPixel(25, 5), OverBlend(0xFFFF0000u, OverBlend(0xFF00FF00u, 0)));
    EXPECT_EQ(S.GetPixel(8, 5), 0u);
    EXPECT_EQ(S.GetPixel(30, 10), OverBlend(0xFF00FF00u, 0));
}

TEST(QvBrushPen, DefaultsNotificationAndAssign) {
    TQvBrush B;
    EXPECT_EQ(B.Color(), 9134950);
    EXPECT_TRUE(B.Visible());
    int Changes = 0;
    B.OnChanged = [&](TObject*) { ++Changes; };
    B.SetColor(9134950);
    B.SetVisible(true);
    EXPECT_EQ(Changes, 0);
    B.SetColor(0);
    B.SetVisible(false);
    EXPECT_EQ(Changes, 2);
    TQvPen P;
    EXPECT_EQ(P.Width(), 1);
    EXPECT_EQ(P.Style(), psSolid);
    int PenChanges = 0;
    P.OnChanged = [&](TObject*) { ++PenChanges; };
    P.SetWidth(3);
    P.SetStyle(psDash);
    P.SetStyle(psDash);
    EXPECT_EQ(PenChanges, 2);
    TQvPen Q;
    Q.Assign(&P);
    EXPECT_EQ(Q.Width(), 3);
    EXPECT_EQ(Q.Style(), psDash);
    // Assigning equal values raises nothing; a brush carries only its own values.
    P.Assign(&Q);
    EXPECT_EQ(PenChanges, 2);
    P.Assign(&B);
    EXPECT_EQ(P.Color(), 0);
    EXPECT_FALSE(P.Visible());
    EXPECT_EQ(P.Width(), 3);
    EXPECT_EQ(PenChanges, 3);
    TSurface32 NotABrush;
    EXPECT_THROW(B.Assign(&NotABrush), EQvError);
}
