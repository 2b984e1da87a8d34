#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "draw/uQvPolygons.h"
#include "draw/uQvRaster.h"
#include "draw/uQvSurface.h"

namespace {

// Every span the rasteriser reports, by row: column -> signed coverage.
using TCoverage = std::map<int, std::map<int, float>>;

TCoverage Rasterize(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& Clip = {0, 0, 64, 64}) {
    TCoverage Result;
    RasterizePolyPolygon(Contours, Clip, [&](const TValueSpan& S, int Y) {
        EXPECT_LE(S.X1, S.X2);
        for (int X = S.X1; X <= S.X2; ++X) {
            const float V = S.Values[X - S.X1];
            if (V != 0.0f) Result[Y][X] = V;
        }
    });
    return Result;
}

float At(const TCoverage& C, int X, int Y) {
    const auto Row = C.find(Y);
    if (Row == C.end()) return 0.0f;
    const auto Cell = Row->second.find(X);
    return Cell == Row->second.end() ? 0.0f : Cell->second;
}

uint8_t G(int I) {
    return CoverageGamma()[I];
}

}  // namespace

TEST(Rasterizer, PixelSquaresAreCoveredExactly) {
    // A rectangle on pixel edges covers whole pixels, nothing more.
    const TCoverage Whole = Rasterize({RectanglePoints({0, 0, 10, 10})});
    ASSERT_EQ(Whole.size(), 10u);
    for (const auto& [Y, Row] : Whole) {
        ASSERT_EQ(Row.size(), 10u) << Y;
        for (const auto& [X, V] : Row) EXPECT_EQ(std::fabs(V), 1.0f) << X << "," << Y;
    }
    // Shifted by half a pixel: edges half, corners a quarter.
    const TCoverage Half = Rasterize({RectanglePoints({0.5f, 0.5f, 10.5f, 10.5f})});
    EXPECT_EQ(std::fabs(At(Half, 0, 0)), 0.25f);
    EXPECT_EQ(std::fabs(At(Half, 10, 10)), 0.25f);
    EXPECT_EQ(std::fabs(At(Half, 5, 0)), 0.5f);
    EXPECT_EQ(std::fabs(At(Half, 10, 5)), 0.5f);
    EXPECT_EQ(std::fabs(At(Half, 5, 5)), 1.0f);
    EXPECT_EQ(At(Half, 11, 5), 0.0f);
    // The sign follows the orientation: a contour whose left edge runs downward is +1.
    EXPECT_EQ(At(Whole, 3, 3), -1.0f);
    const TCoverage Reversed = Rasterize({ReversePoints(RectanglePoints({0, 0, 10, 10}))});
    EXPECT_EQ(At(Reversed, 3, 3), 1.0f);
}

TEST(Rasterizer, SlopedEdgesSplitAreasByColumn) {
    // Dyadic coordinates keep every area exact, so each formula branch shows.
    // Rightward edge across four columns of one row.
    TCoverage C = Rasterize({{{0, 0}, {4, 1}, {0, 1}}});
    EXPECT_EQ(At(C, 0, 0), -0.875f);
    EXPECT_EQ(At(C, 1, 0), -0.625f);
    EXPECT_EQ(At(C, 2, 0), -0.375f);
    EXPECT_EQ(At(C, 3, 0), -0.125f);
    // The same triangle mirrored, so its sloped edge runs leftward.
    C = Rasterize({{{4, 0}, {4, 1}, {0, 1}}});
    EXPECT_EQ(std::fabs(At(C, 0, 0)), 0.125f);
    EXPECT_EQ(std::fabs(At(C, 3, 0)), 0.875f);
    // An edge through several rows: each row gets its own piece.
    C = Rasterize({{{0, 0}, {1, 4}, {0, 4}}});
    EXPECT_EQ(std::fabs(At(C, 0, 0)), 0.125f);
    EXPECT_EQ(std::fabs(At(C, 0, 1)), 0.375f);
    EXPECT_EQ(std::fabs(At(C, 0, 3)), 0.875f);
    EXPECT_EQ(At(C, 1, 3), 0.0f);
    // A triangle whose edge starts and ends inside pixels.
    C = Rasterize({{{0.5f, 0.5f}, {2.5f, 1.5f}, {0.5f, 1.5f}}});
    EXPECT_EQ(std::fabs(At(C, 0, 0)), 0.1875f);
    EXPECT_EQ(std::fabs(At(C, 1, 0)), 0.0625f);
    EXPECT_EQ(std::fabs(At(C, 0, 1)), 0.25f);
    EXPECT_EQ(std::fabs(At(C, 1, 1)), 0.4375f);
    EXPECT_EQ(std::fabs(At(C, 2, 1)), 0.0625f);
}

TEST(Rasterizer, FillRulesOverlapsAndHoles) {
    const TArrayOfFloatPoint Square = RectanglePoints({2, 2, 8, 8});
    const TArrayOfFloatPoint Inner = ReversePoints(RectanglePoints({4, 4, 6, 6}));
    TSurface32 S;
    S.SetSize(10, 10);
    // Twice over itself: coverage 2, empty by alternation, full by winding.
    FillPolyPolygonFS(&S, {Square, Square}, 0xFF0000FFu, pfAlternate);
    EXPECT_EQ(S.GetPixel(5, 5), 0u);
    FillPolyPolygonFS(&S, {Square, Square}, 0xFF0000FFu, pfWinding);
    EXPECT_EQ(S.GetPixel(5, 5), OverBlend(0xFF0000FFu, 0));
    // An inner contour of opposite orientation is a hole under both rules.
    for (TPolyFillMode Mode : {pfAlternate, pfWinding}) {
        S.Clear(0);
        FillPolyPolygonFS(&S, {Square, Inner}, 0xFF00FF00u, Mode);
        EXPECT_EQ(S.GetPixel(5, 5), 0u) << Mode;
        EXPECT_EQ(S.GetPixel(3, 3), OverBlend(0xFF00FF00u, 0)) << Mode;
    }
}

TEST(Rasterizer, ClippingKeepsEverythingInside) {
    TSurface32 S;
    S.SetSize(20, 20);
    S.SetClipRect(Rect(5, 5, 15, 15));
    std::vector<TRect> Areas;
    S.OnAreaChanged = [&](TObject*, const TRect& R, uint32_t) { Areas.push_back(R); };
    FillPolygonFS(&S, {{-30.4f, -10.6f}, {40.5f, 2}, {12, 50.5f}}, 0xFFFFFFFFu);
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            const bool In = X >= 5 && X < 15 && Y >= 5 && Y < 15;
            if (!In) {
                EXPECT_EQ(S.GetPixel(X, Y), 0u) << X << "," << Y;
            }
        }
    EXPECT_NE(S.GetPixel(10, 10), 0u);
    // The reported area is the figure's bounding box, each side rounded half to even.
    ASSERT_EQ(Areas.size(), 1u);
    EXPECT_EQ(Areas[0], Rect(-30, -11, 40, 50));
    // A figure wholly outside the clip draws nothing but still reports its box.
    const std::vector<TColor32> Before(S.Bits(), S.Bits() + 400);
    FillPolygonFS(&S, RectanglePoints({0, 0, 4, 4}), 0xFFFFFFFFu);
    EXPECT_EQ(std::vector<TColor32>(S.Bits(), S.Bits() + 400), Before);
    EXPECT_EQ(Areas.size(), 2u);
}

TEST(Rasterizer, DegenerateInputDrawsNothing) {
    TSurface32 S;
    S.SetSize(8, 8);
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    FillPolyPolygonFS(&S, {}, 0xFFFFFFFFu);
    FillPolygonFS(&S, {{1, 1}, {5, 5}}, 0xFFFFFFFFu);
    FillPolygonFS(&S, {{3, 3}, {3, 3}, {3, 3}}, 0xFFFFFFFFu);
    FillPolygonFS(&S, RectanglePoints({1, 1, 5, 5}), static_cast<TCustomPolygonFiller*>(nullptr));
    for (int I = 0; I < 64; ++I) EXPECT_EQ(S.Bits()[I], 0u);
    EXPECT_EQ(Changes, 2);
    // An empty surface has nothing to fill and nothing to report.
    TSurface32 Empty;
    Changes = 0;
    Empty.OnChange = [&](TObject*) { ++Changes; };
    FillPolygonFS(&Empty, RectanglePoints({0, 0, 4, 4}), 0xFFFFFFFFu);
    EXPECT_EQ(Changes, 0);
}

TEST(Rasterizer, NonFiniteAndHugeCoordinatesStayInBounds) {
    const float Inf = std::numeric_limits<float>::infinity(), NaN = std::numeric_limits<float>::quiet_NaN();
    TSurface32 A, B;
    A.SetSize(16, 16);
    B.SetSize(16, 16);
    // Points that are not finite are dropped: the figure is the one of its finite points.
    FillPolygonFS(&A, {{2, 2}, {NaN, 4}, {12, 3}, {Inf, -Inf}, {10, 12}, {3, NaN}}, 0xFF808080u);
    FillPolygonFS(&B, {{2, 2}, {12, 3}, {10, 12}}, 0xFF808080u);
    EXPECT_EQ(std::vector<TColor32>(A.Bits(), A.Bits() + 256),
              std::vector<TColor32>(B.Bits(), B.Bits() + 256));
    // Absurdly large coordinates are clipped like any other.
    TSurface32 S;
    S.SetSize(16, 16);
    S.SetClipRect(Rect(2, 2, 14, 14));
    const float Huge = std::numeric_limits<float>::max();
    FillPolygonFS(&S, {{-Huge, -Huge}, {Huge, -1e30f}, {3e37f, Huge}, {-1e38f, 5}}, 0xFFFFFFFFu, pfWinding);
    StrokePolylineFS(&S, {{-1e35f, 8}, {1e36f, 8.5f}, {5, 1e37f}}, 0xFFFF0000u, false, 3.0f, jsRound,
                     esRound);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X)
            if (X < 2 || X >= 14 || Y < 2 || Y >= 14) {
                EXPECT_EQ(S.GetPixel(X, Y), 0u) << X << "," << Y;
            }
}

TEST(Rasterizer, MeasuringReportsWithoutPainting) {
    TSurface32 S;
    S.SetSize(8, 8);
    std::vector<TRect> Areas;
    S.BeginMeasuring([&](TObject*, const TRect& R, uint32_t) { Areas.push_back(R); });
    FillPolygonFS(&S, RectanglePoints({1.4f, 1.6f, 5.5f, 6.5f}), 0xFFFFFFFFu);
    S.EndMeasuring();
    for (int I = 0; I < 64; ++I) EXPECT_EQ(S.Bits()[I], 0u);
    ASSERT_EQ(Areas.size(), 1u);
    EXPECT_EQ(Areas[0], Rect(1, 2, 6, 6));
}

TEST(Coverage, ColourProcedureRoundsDownAndFolds) {
    const TColor32 Opaque = 0xFF102030u;
    // Half coverage of an opaque colour: G[127]; full coverage of alpha 128: G[128].
    EXPECT_EQ(CoverageColorRef(0.5f, Opaque, pfWinding), SetAlpha(Opaque, G(127)));
    EXPECT_EQ(G(127), 84);
    EXPECT_EQ(CoverageColorRef(1.0f, SetAlpha(Opaque, 128), pfWinding) >> 24, 85u);
    // Full coverage reaches 255 with either sign and either rule.
    for (float V : {1.0f, -1.0f})
        for (TPolyFillMode Mode : {pfAlternate, pfWinding})
            EXPECT_EQ(CoverageColorRef(V, Opaque, Mode) >> 24, 255u);
    // Overlaps: winding saturates, alternation folds back.
    EXPECT_EQ(CoverageColorRef(2.0f, Opaque, pfWinding) >> 24, 255u);
    EXPECT_EQ(CoverageColorRef(2.0f, Opaque, pfAlternate) >> 24, 0u);
    EXPECT_EQ(CoverageColorRef(1.5f, Opaque, pfAlternate) >> 24, G(127));
    EXPECT_EQ(CoverageColorRef(-3.0f, Opaque, pfAlternate) >> 24, 255u);
    // round(v * 65536) is the floor: -16384.5 gives 16385 (index 64), +16384.5 gives
    // 16384 (index 63). Rounding to nearest would give 63 for both.
    const float Half = 16384.5f / 65536.0f;
    EXPECT_EQ(CoverageColorRef(-Half, Opaque, pfWinding) >> 24, G(64));
    EXPECT_EQ(CoverageColorRef(Half, Opaque, pfWinding) >> 24, G(63));
    EXPECT_NE(G(63), G(64));
}

TEST(Coverage, WeightProcedureRoundsDownAndFolds) {
    // a = floor(|v| * 256): 0.4999 gives 127, not 128.
    EXPECT_EQ(CoverageWeightRef(0.4999f, pfWinding), G(127));
    EXPECT_EQ(CoverageWeightRef(-0.4999f, pfWinding), G(127));
    EXPECT_EQ(CoverageWeightRef(0.5f, pfWinding), G(128));
    EXPECT_EQ(CoverageWeightRef(1.0f, pfWinding), 255u);
    EXPECT_EQ(CoverageWeightRef(7.0f, pfWinding), 255u);
    EXPECT_EQ(CoverageWeightRef(1.0f, pfAlternate), 255u);
    EXPECT_EQ(CoverageWeightRef(2.0f, pfAlternate), 0u);
    EXPECT_EQ(CoverageWeightRef(1.25f, pfAlternate), G(511 - 320));
}

TEST(Coverage, RunFormsMatchTheReference) {
    // The run conversion reuses the previous pixel for equal values; it must give the
    // reference colour at every position, also across sign changes and repeats.
    std::mt19937 Rng(7);
    std::uniform_real_distribution<float> D(-2.5f, 2.5f);
    std::vector<float> Values(4000);
    for (size_t I = 0; I < Values.size(); ++I) Values[I] = (I % 7 < 3) ? (I % 2 ? 1.0f : -1.0f) : D(Rng);
    Values[10] = 0.0f;
    Values[11] = -0.0f;
    // Overlaps beyond the vector forms' integer range take their plain path.
    Values[100] = 40000.5f;
    Values[101] = -1e9f;
    Values[102] = 3e38f;
    for (int K = 0; K < CoverageKernelCount(); ++K) {
        const TCoverageKernels& F = CoverageKernelAt(K);
        for (TPolyFillMode Mode : {pfAlternate, pfWinding})
            for (TColor32 C : {0xFF123456u, 0x80FFFFFFu, 0x01000000u, 0x00FFFFFFu}) {
                std::vector<TColor32> Colors(Values.size());
                F.ColorRun(Values.data(), static_cast<int>(Values.size()), C, Mode, Colors.data());
                std::vector<uint32_t> Weights(Values.size());
                F.WeightRun(Values.data(), static_cast<int>(Values.size()), Mode, Weights.data());
                for (size_t I = 0; I < Values.size(); ++I) {
                    ASSERT_EQ(Colors[I], CoverageColorRef(Values[I], C, Mode)) << F.Name << " " << I;
                    ASSERT_EQ(Weights[I], CoverageWeightRef(Values[I], Mode)) << F.Name << " " << I;
                }
            }
    }
}

TEST(Rasterizer, FastRowSumsMatchTheReference) {
    // Random figures, self-intersecting and overlapping, with fractional coordinates:
    // every span must be bit for bit the plain sequential form's.
    std::mt19937 Rng(11);
    std::uniform_real_distribution<float> D(-20.0f, 120.0f);
    for (int Case = 0; Case < 60; ++Case) {
        TArrayOfArrayOfFloatPoint Contours(1 + Case % 3);
        for (TArrayOfFloatPoint& C : Contours) {
            C.resize(3 + Rng() % 40);
            for (TFloatPoint& P : C) P = {D(Rng), D(Rng)};
        }
        std::vector<std::pair<int, std::vector<uint32_t>>> Fast, Ref;
        auto Collect = [](auto& Out) {
            return [&Out](const TValueSpan& S, int Y) {
                std::vector<uint32_t> Bits(static_cast<size_t>(S.X2 - S.X1 + 1));
                std::memcpy(Bits.data(), S.Values, Bits.size() * sizeof(float));
                Bits.push_back(static_cast<uint32_t>(S.X1));
                Out.emplace_back(Y, std::move(Bits));
            };
        };
        const TFloatRect Clip{0, 0, 100, 100};
        RasterizePolyPolygon(Contours, Clip, Collect(Fast));
        RasterizePolyPolygonReference(Contours, Clip, Collect(Ref));
        ASSERT_FALSE(Fast.empty());
        ASSERT_EQ(Fast, Ref) << Case;
    }
}

TEST(Renderer, ColourFillsBlendWithOverBlendWhateverTheModes) {
    TSurface32 S;
    S.SetSize(4, 1);
    S.SetDrawMode(dmOpaque);
    S.SetCombineMode(cmMerge);
    S.Clear(0xFF000000u);
    // An opaque white over opaque black gives 254, the OverBlend result.
    FillPolygonFS(&S, RectanglePoints({0, 0, 2, 1}), 0xFFFFFFFFu);
    EXPECT_EQ(S.GetPixel(0, 0), 0xFFFEFEFEu);
    EXPECT_EQ(S.GetPixel(1, 0), 0xFFFEFEFEu);
    EXPECT_EQ(S.GetPixel(2, 0), 0xFF000000u);
    // Half a pixel of translucent red: alpha G[(128 * 257 * 32768) >> 24] = G[64].
    S.Clear(0xFF0000FFu);
    FillPolygonFS(&S, RectanglePoints({0, 0, 0.5f, 1}), 0x80FF0000u);
    EXPECT_EQ(S.GetPixel(0, 0), OverBlend(SetAlpha(0x80FF0000u, G(64)), 0xFF0000FFu));
    // Setters notify only on a real change.
    TScanlinePolygonRenderer R;
    int Changes = 0;
    R.OnChange = [&](TObject*) { ++Changes; };
    R.SetColor(R.Color());
    R.SetFillMode(pfWinding);
    R.SetFillMode(pfWinding);
    R.SetBitmap(&S);
    EXPECT_EQ(Changes, 2);
}
