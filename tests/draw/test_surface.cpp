#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "draw/uQvResamplers.h"
#include "draw/uQvSurface.h"
#include "draw/uQvSurfaceTransfer.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"
#include "support/qv_error_of.h"

namespace {

std::vector<TColor32> Pixels(const TCustomSurface32& S) {
    return std::vector<TColor32>(S.Bits(), S.Bits() + static_cast<size_t>(S.Width()) * S.Height());
}

// A surface of W x H whose pixels all differ.
void FillPattern(TSurface32& S, int W, int H, uint32_t Seed = 1) {
    S.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) S.SetPixel(X, Y, (uint32_t(Y * W + X) + Seed) * 2654435761u);
}

int CountNonZero(const TCustomSurface32& S) {
    int N = 0;
    for (TColor32 P : Pixels(S)) N += P != 0;
    return N;
}

struct TAreaLog {
    std::vector<TRect> Areas;
    int Changes = 0;
    void Attach(TCustomSurface32& S) {
        S.OnAreaChanged = [this](TObject*, const TRect& R, uint32_t Info) {
            EXPECT_EQ(Info, AREAINFO_RECT);
            Areas.push_back(R);
        };
        S.OnChange = [this](TObject*) { ++Changes; };
    }
};

}  // namespace

TEST(SurfaceSize, SetSizeZeroesClipsAndRefusesNonsense) {
    TSurface32 S;
    EXPECT_TRUE(S.Empty());
    EXPECT_EQ(S.DrawMode(), dmOpaque);
    EXPECT_EQ(S.ResamplerClassName(), u"TNearestResampler");
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    S.SetSize(4, 3);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(CountNonZero(S), 0);
    S.Clear(0xFF102030u);
    S.SetClipRect(Rect(1, 1, 100, 100));
    EXPECT_EQ(S.ClipRect(), Rect(1, 1, 4, 3));
    // The same size again still starts over.
    S.SetSize(4, 3);
    EXPECT_EQ(CountNonZero(S), 0);
    EXPECT_EQ(S.ClipRect(), Rect(0, 0, 4, 3));
    // Negative sides count as 0; a zero side leaves the surface empty.
    S.SetSize(-5, 7);
    EXPECT_TRUE(S.Empty());
    EXPECT_EQ(S.Width(), 0);
    EXPECT_EQ(S.Bits(), nullptr);
    // Impossible sizes fail and keep what was there.
    S.SetSize(2, 2);
    S.Clear(0xFFABCDEFu);
    EXPECT_THROW(S.SetSize(40000, 1), EQvError);
    EXPECT_THROW(S.SetSize(20000, 20000), EQvError);
    EXPECT_EQ(QvErrorOf([&] { S.SetSize(1, 32768); }), "Can't allocate the DIB handle");
    EXPECT_EQ(S.Width(), 2);
    EXPECT_EQ(S.GetPixel(1, 1), 0xFFABCDEFu);
}

TEST(SurfaceSize, PlatformDrawingPaintsIntoTheSamePixels) {
    TSurface32 S;
    EXPECT_EQ(S.Handle(), nullptr);
    S.SetSize(4, 3);
    ASSERT_NE(S.Handle(), nullptr);
    EXPECT_EQ(GetObjectType(S.BitmapHandle()), static_cast<DWORD>(OBJ_BITMAP));
    const HBRUSH Brush = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
    const RECT R = Rect(1, 1, 3, 2);
    EXPECT_TRUE(FillRect(S.Handle(), &R, Brush));
    DeleteObject(Brush);
    EXPECT_EQ(S.GetPixel(1, 1), 0xFF112233u);
    EXPECT_EQ(S.GetPixel(2, 1), 0xFF112233u);
    EXPECT_EQ(S.GetPixel(3, 1), 0u);
    // Resizing makes a new bitmap and context and frees the old ones.
    const HDC Old = S.Handle();
    const HBITMAP OldBitmap = S.BitmapHandle();
    S.SetSize(2, 2);
    EXPECT_NE(S.Handle(), Old);
    EXPECT_EQ(GetObjectType(OldBitmap), 0u);
    S.SetSize(0, 0);
    EXPECT_EQ(S.Handle(), nullptr);
}

TEST(SurfaceSize, EmptySurfacesDrawNothing) {
    TSurface32 Empty, Dst;
    Empty.SetSize(0, 5);
    Dst.SetSize(3, 3);
    Dst.Clear(0xFF112233u);
    Dst.Draw(0, 0, &Empty);
    Dst.Draw(Rect(0, 0, 3, 3), Rect(0, 0, 0, 5), &Empty);
    Empty.DrawTo(&Dst);
    EXPECT_EQ(Pixels(Dst), std::vector<TColor32>(9, 0xFF112233u));
    // Operations on an empty surface are harmless.
    Empty.FillRectS(0, 0, 10, 10, 0xFFFFFFFFu);
    Empty.LineAS(0, 0, 10, 3, 0xFFFFFFFFu, true);
    Empty.LineFS(0, 0, 10, 3, 0xFFFFFFFFu, true);
    Dst.Draw(0, 0, &Dst);
    EXPECT_THROW(Dst.Draw(0, 0, nullptr), EQvError);
    EXPECT_THROW(Dst.DrawTo(nullptr), EQvError);
}

TEST(SurfaceData, StoredRecordAndItsLimits) {
    TSurface32 S;
    FillPattern(S, 68, 17);
    const std::vector<uint8_t> Data = S.DataRecord();
    ASSERT_EQ(Data.size(), 8u + 4624u);
    EXPECT_EQ(std::vector<uint8_t>(Data.begin(), Data.begin() + 8),
              (std::vector<uint8_t>{0x44, 0, 0, 0, 0x11, 0, 0, 0}));
    const TColor32 P0 = S.GetPixel(0, 0);
    EXPECT_EQ(Data[8], P0 & 0xFF);  // blue first
    EXPECT_EQ(Data[11], P0 >> 24);  // alpha last

    TSurface32 T;
    int Changes = 0;
    T.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_EQ(T.ReadDataRecord(Data.data(), Data.size()), Data.size());
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Pixels(T), Pixels(S));

    // A record whose size its bytes cannot back is refused and changes nothing.
    auto Refused = [&](std::vector<uint8_t> Bad) {
        EXPECT_EQ(QvErrorOf([&] { T.ReadDataRecord(Bad.data(), Bad.size()); }), "Stream read error");
        EXPECT_EQ(T.Width(), 68);
        EXPECT_EQ(Pixels(T), Pixels(S));
    };
    Refused(std::vector<uint8_t>(Data.begin(), Data.end() - 1));
    Refused({1, 2, 3});
    Refused({0x00, 0x80, 0, 0, 1, 0, 0, 0});        // 32768 wide
    Refused({0xFF, 0x7F, 0, 0, 0xFF, 0x7F, 0, 0});  // 32767 x 32767 > 2^28 pixels
    Refused({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0});  // a "negative" width
    // An empty record is a valid empty surface.
    const std::vector<uint8_t> None{0, 0, 0, 0, 9, 0, 0, 0};
    EXPECT_EQ(T.ReadDataRecord(None.data(), None.size()), 8u);
    EXPECT_TRUE(T.Empty());
}

TEST(SurfaceData, PixelsAreBoundByTheSizeAResizeHandlerLeaves) {
    TSurface32 S;
    FillPattern(S, 68, 17);
    const std::vector<uint8_t> Data = S.DataRecord();
    // A handler that shrinks the surface while the record is read: the part it keeps holds
    // the record's pixels at their places, and nothing is written past it.
    TSurface32 T;
    T.OnResize = [&](TObject*) {
        if (T.Width() == 68) T.SetSize(10, 5);
    };
    T.ReadDataRecord(Data.data(), Data.size());
    ASSERT_EQ(T.Width(), 10);
    ASSERT_EQ(T.Height(), 5);
    for (int Y = 0; Y < 5; ++Y)
        for (int X = 0; X < 10; ++X) ASSERT_EQ(T.GetPixel(X, Y), S.GetPixel(X, Y)) << X << " " << Y;
    // One that grows it while another surface is assigned: nothing is read past the source,
    // and what it has no pixels for stays 0.
    TSurface32 U;
    U.OnResize = [&](TObject*) {
        if (U.Width() == 68) U.SetSize(80, 20);
    };
    U.Assign(&S);
    ASSERT_EQ(U.Width(), 80);
    EXPECT_EQ(U.GetPixel(67, 16), S.GetPixel(67, 16));
    EXPECT_EQ(U.GetPixel(68, 0), 0u);
    EXPECT_EQ(U.GetPixel(0, 17), 0u);
}

TEST(SurfaceBlend, TheTwoWaysOfPuttingWhiteOnBlack) {
    TSurface32 Src, Dst;
    Src.SetSize(1, 1);
    Src.Clear(0xFFFFFFFFu);
    Src.SetDrawMode(dmBlend);
    Dst.SetSize(1, 1);
    Dst.Clear(0xFF000000u);
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xFFFEFEFEu);
    Dst.Clear(0xFF000000u);
    Dst.SetPixelT(0, 0, 0xFFFFFFFFu);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST(SurfaceBlend, TransparentSourceLeavesTheDestinationBitForBit) {
    TSurface32 Src, Dst;
    FillPattern(Src, 37, 5);
    Src.ResetAlpha(0);
    Src.SetDrawMode(dmBlend);
    FillPattern(Dst, 37, 5, 99);
    const std::vector<TColor32> Before = Pixels(Dst);
    Dst.Draw(0, 0, &Src);
    Dst.Draw(Rect(0, 0, 37, 5), Rect(0, 0, 20, 3), &Src);
    Src.SetCombineMode(cmMerge);
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Pixels(Dst), Before);
}

TEST(SurfaceBlend, DrawModesOfTheBlockTransfer) {
    TSurface32 Src, Dst;
    Src.SetSize(3, 1);
    Src.SetPixel(0, 0, 0x80FF0000u);
    Src.SetPixel(1, 0, 0x12345678u);
    Src.SetPixel(2, 0, 0xC8FFFFFFu);
    auto Fresh = [&] {
        Dst.SetSize(3, 1);
        Dst.Clear(0xFF000000u);
    };
    Fresh();
    Dst.Draw(0, 0, &Src);  // dmOpaque copies, alpha included
    EXPECT_EQ(Pixels(Dst), Pixels(Src));

    Src.SetDrawMode(dmTransparent);
    Src.SetOuterColor(0x12345678u);
    Fresh();
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Pixels(Dst), (std::vector<TColor32>{0x80FF0000u, 0xFF000000u, 0xC8FFFFFFu}));

    Src.SetDrawMode(dmBlend);
    Src.SetMasterAlpha(1);
    Fresh();
    Dst.Draw(0, 0, &Src);  // the run form: ((a + 1) * 1) >> 8 = 0 leaves every pixel
    EXPECT_EQ(Pixels(Dst), std::vector<TColor32>(3, 0xFF000000u));
    Src.SetMasterAlpha(128);
    Fresh();
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Dst.GetPixel(2, 0), WeightedMix(0xC8FFFFFFu, 0xFF000000u, (201 * 128) >> 8));
    Src.SetMasterAlpha(0);
    Fresh();
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Pixels(Dst), std::vector<TColor32>(3, 0xFF000000u));

    Src.SetMasterAlpha(255);
    Src.SetCombineMode(cmMerge);
    Fresh();
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Dst.GetPixel(0, 0), MergeOver(0x80FF0000u, 0xFF000000u));

    Src.SetDrawMode(dmCustom);
    Fresh();
    Dst.Draw(0, 0, &Src);  // no callback: a copy
    EXPECT_EQ(Pixels(Dst), Pixels(Src));
    Src.OnPixelCombine = [](TColor32 F, TColor32& B, TColor32 M) {
        B = (F & 0xFF) | (M << 8) | (B & 0xFF000000u);
    };
    Fresh();
    Dst.Draw(0, 0, &Src);
    EXPECT_EQ(Dst.GetPixel(1, 0), 0xFF00FF78u);
}

TEST(SurfaceTransfer, ClippingOffsetsAndNotification) {
    TSurface32 Src, Dst;
    FillPattern(Src, 4, 4);
    Dst.SetSize(5, 5);
    Dst.SetClipRect(Rect(1, 1, 5, 4));
    TAreaLog Log;
    Log.Attach(Dst);
    // Source rectangle partly outside the source: the destination shifts by the cut.
    Dst.Draw(0, 0, Rect(-1, -1, 3, 3), &Src);
    ASSERT_EQ(Log.Areas.size(), 1u);
    EXPECT_EQ(Log.Areas[0], Rect(1, 1, 4, 4));
    EXPECT_EQ(Dst.GetPixel(1, 1), Src.GetPixel(0, 0));
    EXPECT_EQ(Dst.GetPixel(3, 3), Src.GetPixel(2, 2));
    EXPECT_EQ(Dst.GetPixel(0, 0), 0u);
    EXPECT_EQ(Dst.GetPixel(4, 4), 0u);
    // Far outside: nothing, and no notification.
    Dst.Draw(INT_MAX - 1, 2, &Src);
    Dst.Draw(INT_MIN, INT_MIN, &Src);
    EXPECT_EQ(Log.Areas.size(), 1u);
}

TEST(SurfaceTransfer, DrawingOntoItselfReadsTheOriginalPixels) {
    TSurface32 S, Copy;
    FillPattern(S, 6, 6);
    Copy.Assign(&S);
    S.Draw(1, 1, Rect(0, 0, 5, 5), &S);
    Copy.Draw(1, 1, Rect(0, 0, 5, 5), &Copy);  // the same on a surface that is not the source
    TSurface32 Expected;
    FillPattern(Expected, 6, 6);
    TSurface32 Orig;
    FillPattern(Orig, 6, 6);
    Expected.Draw(1, 1, Rect(0, 0, 5, 5), &Orig);
    EXPECT_EQ(Pixels(S), Pixels(Expected));
    // Stretched onto itself as well.
    FillPattern(S, 6, 6);
    FillPattern(Expected, 6, 6);
    S.Draw(Rect(0, 0, 6, 6), Rect(2, 2, 5, 5), &S);
    Expected.Draw(Rect(0, 0, 6, 6), Rect(2, 2, 5, 5), &Orig);
    EXPECT_EQ(Pixels(S), Pixels(Expected));
}

TEST(SurfaceStretch, NearestColumnsAndRows) {
    TSurface32 Src, Dst;
    Src.SetSize(3, 1);
    for (int X = 0; X < 3; ++X) Src.SetPixel(X, 0, 0xFF000000u + X);
    Dst.SetSize(1, 1);
    Dst.Draw(Rect(0, 0, 1, 1), Src.BoundsRect(), &Src);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0xFF000001u);  // the middle column

    Src.SetSize(2, 2);
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 2; ++X) Src.SetPixel(X, Y, 0xFF000000u + Y * 16 + X);
    Dst.SetSize(4, 4);
    Dst.Draw(Dst.BoundsRect(), Src.BoundsRect(), &Src);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            EXPECT_EQ(Dst.GetPixel(X, Y), 0xFF000000u + (Y / 2) * 16 + X / 2) << X << "," << Y;

    // Shrinking 10 -> 3: ratio 3.3333333f, columns trunc(0), trunc(3.33), trunc(6.67).
    Src.SetSize(10, 1);
    for (int X = 0; X < 10; ++X) Src.SetPixel(X, 0, X);
    Dst.SetSize(3, 1);
    Dst.Draw(Dst.BoundsRect(), Src.BoundsRect(), &Src);
    EXPECT_EQ(Pixels(Dst), (std::vector<TColor32>{0, 3, 6}));
    // The product is taken in double with the single-precision ratio: 7 -> 10 has ratio
    // 0.69999999f, so column 10 of a 70 -> 100 stretch lands on source 6, not 7.
    Src.SetSize(70, 1);
    for (int X = 0; X < 70; ++X) Src.SetPixel(X, 0, X);
    Dst.SetSize(100, 1);
    Dst.Draw(Dst.BoundsRect(), Src.BoundsRect(), &Src);
    EXPECT_EQ(Dst.GetPixel(10, 0), 6u);
    EXPECT_EQ(Dst.GetPixel(99, 0), 69u);
}

TEST(SurfaceStretch, TrimmingClippingAndModes) {
    TSurface32 Src, Dst;
    Src.SetSize(4, 1);
    for (int X = 0; X < 4; ++X) Src.SetPixel(X, 0, 0xFF000000u + X);
    Dst.SetSize(8, 1);
    TAreaLog Log;
    Log.Attach(Dst);
    // Source columns -1..3 of 4 to 8 pixels: the left cut of 1 trims ceil(1 * 8 / 5) = 2.
    Dst.Draw(Rect(0, 0, 8, 1), Rect(-1, 0, 4, 1), &Src);
    ASSERT_EQ(Log.Areas.size(), 1u);
    EXPECT_EQ(Log.Areas[0], Rect(2, 0, 8, 1));
    EXPECT_EQ(Dst.GetPixel(1, 0), 0u);
    EXPECT_EQ(Dst.GetPixel(2, 0), 0xFF000000u);
    EXPECT_EQ(Dst.GetPixel(7, 0), 0xFF000003u);
    // The right cut rounds: columns 0..5 of 4 to 9 pixels trims round(2 * 9 / 6) = 3.
    Log.Areas.clear();
    Dst.Draw(Rect(0, 0, 9, 1), Rect(0, 0, 6, 1), &Src);
    EXPECT_EQ(Log.Areas[0], Rect(0, 0, 6, 1));
    // Zero, negative and wholly-outside rectangles draw nothing and report nothing.
    Log.Areas.clear();
    Dst.Draw(Rect(0, 0, 0, 1), Rect(0, 0, 4, 1), &Src);
    Dst.Draw(Rect(8, 0, 0, 1), Rect(0, 0, 4, 1), &Src);
    Dst.Draw(Rect(0, 0, 8, 1), Rect(4, 0, 0, 1), &Src);
    Dst.Draw(Rect(0, 0, 8, 1), Rect(10, 0, 20, 1), &Src);
    Dst.Draw(Rect(0, 0, INT_MAX, 1), Rect(INT_MIN, 0, INT_MAX, 1), &Src);
    EXPECT_TRUE(Log.Areas.size() <= 1u);
    // The clip rectangle limits what is written.
    Dst.Clear(0);
    Dst.SetClipRect(Rect(3, 0, 5, 1));
    Dst.Draw(Rect(0, 0, 8, 1), Src.BoundsRect(), &Src);
    EXPECT_EQ(Pixels(Dst), (std::vector<TColor32>{0, 0, 0, 0xFF000001u, 0xFF000002u, 0, 0, 0}));
    // Blending while stretching uses the same rules as the block transfer.
    Dst.ResetClipRect();
    Dst.Clear(0xFF000000u);
    Src.Clear(0xFFFFFFFFu);
    Src.SetDrawMode(dmBlend);
    Dst.Draw(Rect(0, 0, 8, 1), Src.BoundsRect(), &Src);
    EXPECT_EQ(Pixels(Dst), std::vector<TColor32>(8, 0xFFFEFEFEu));
}

TEST(SurfaceStretch, NearestResamplerRefusesASourceRectangleOutsideItsSurface) {
    TSurface32 Src, Dst;
    Src.SetSize(2, 2);
    Dst.SetSize(4, 4);
    EXPECT_EQ(QvErrorOf([&] {
                  Src.Resampler()->Resample(&Dst, Dst.BoundsRect(), Dst.BoundsRect(), &Src, Rect(0, 0, 3, 2));
              }),
              "Invalid SrcRect");
}

TEST(SurfaceFill, FillsClipAndReportTheRequestedRectangle) {
    TSurface32 S;
    S.SetSize(4, 4);
    TAreaLog Log;
    Log.Attach(S);
    S.FillRectS(0, 0, 0, 10, 0xFFFFFFFFu);
    S.FillRectS(3, 3, 1, 1, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 0);
    EXPECT_TRUE(Log.Areas.empty());
    S.SetClipRect(Rect(1, 1, 3, 3));
    S.FillRectS(-10, -10, 10, 10, 0xFF0000FFu);
    EXPECT_EQ(CountNonZero(S), 4);
    EXPECT_EQ(Log.Areas.back(), Rect(-10, -10, 10, 10));
    S.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFF00FF00u);  // unclipped, but inside the surface
    EXPECT_EQ(Pixels(S), std::vector<TColor32>(16, 0xFF00FF00u));

    // Translucent fills combine by the colour's alpha, or merge.
    S.Clear(0xFF000000u);
    S.FillRectTS(0, 0, 4, 4, 0x80FFFFFFu);
    EXPECT_EQ(S.GetPixel(1, 1), WeightedMix(0x80FFFFFFu, 0xFF000000u, 128));
    EXPECT_EQ(S.GetPixel(0, 0), 0xFF000000u);
    S.FillRectT(0, 0, 4, 4, 0x00FFFFFFu);
    EXPECT_EQ(S.GetPixel(0, 0), 0xFF000000u);
    S.SetCombineMode(cmMerge);
    S.Clear(0x40102030u);
    S.FillRectT(0, 0, 4, 4, 0x80FFFFFFu);
    EXPECT_EQ(S.GetPixel(0, 0), MergeOver(0x80FFFFFFu, 0x40102030u));
}

TEST(SurfaceFill, FramesDrawEachPixelOnce) {
    TSurface32 S;
    S.SetSize(6, 6);
    S.FrameRectS(2, 2, 3, 3, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 1);
    S.Clear(0);
    S.FrameRectS(1, 1, 3, 3, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 4);
    S.Clear(0);
    S.FrameRectS(0, 0, 6, 5, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 6 + 6 + 3 + 3);
    EXPECT_EQ(S.GetPixel(5, 4), 0xFFFFFFFFu);
    EXPECT_EQ(S.GetPixel(2, 2), 0u);
    // A translucent frame one pixel high or wide blends every pixel exactly once.
    S.Clear(0xFF000000u);
    S.FrameRectTS(0, 0, 6, 1, 0x80FFFFFFu);
    S.FrameRectTS(0, 2, 1, 6, 0x80FFFFFFu);
    const TColor32 Once = WeightedMix(0x80FFFFFFu, 0xFF000000u, 128);
    for (int X = 0; X < 6; ++X) EXPECT_EQ(S.GetPixel(X, 0), Once);
    for (int Y = 2; Y < 6; ++Y) EXPECT_EQ(S.GetPixel(0, Y), Once);
    EXPECT_EQ(S.GetPixel(1, 2), 0xFF000000u);
    // Empty or wholly clipped frames draw nothing.
    S.Clear(0);
    S.FrameRectS(3, 3, 3, 5, 0xFFFFFFFFu);
    S.SetClipRect(Rect(0, 0, 2, 2));
    S.FrameRectS(3, 3, 5, 5, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 0);
}

TEST(SurfaceLines, BresenhamEndPointsAndClipping) {
    TSurface32 S;
    S.SetSize(8, 8);
    S.Line(0, 0, 4, 2, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 4);
    EXPECT_EQ(S.GetPixel(4, 2), 0u);
    S.Line(0, 0, 4, 2, 0xFFFFFFFFu, true);
    EXPECT_EQ(S.GetPixel(4, 2), 0xFFFFFFFFu);
    S.Clear(0);
    S.HorzLine(5, 1, 2, 0xFFFFFFFFu);  // inclusive, either order
    S.VertLineS(7, 3, 6, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 4 + 4);

    // A clipped line draws exactly the pixels of the whole line that lie in the clip.
    const TRect Clip = Rect(2, 1, 6, 7);
    for (const TRect& L : {Rect(-3, -2, 11, 9), Rect(9, 0, -1, 7), Rect(1, 9, 6, -4), Rect(7, 7, 0, 1)}) {
        TSurface32 Whole, Part;
        Whole.SetSize(8, 8);
        Part.SetSize(8, 8);
        Part.SetClipRect(Clip);
        Whole.Line(L.Left, L.Top, L.Right, L.Bottom, 0xFFFFFFFFu, true);
        Part.LineS(L.Left, L.Top, L.Right, L.Bottom, 0xFFFFFFFFu, true);
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 8; ++X)
                EXPECT_EQ(Part.GetPixel(X, Y), PtInRect(Clip, Point(X, Y)) ? Whole.GetPixel(X, Y) : 0u)
                    << X << "," << Y;
    }
    // Endless lines only walk what is visible.
    S.Clear(0);
    S.LineS(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFFFFu, true);
    S.LineTS(INT_MIN, 3, INT_MAX, 3, 0xFFFFFFFFu, true);
    EXPECT_EQ(S.GetPixel(0, 3), 0xFFFFFFFFu);
    EXPECT_EQ(S.GetPixel(7, 3), 0xFFFFFFFFu);
    // The pen.
    S.Clear(0);
    S.SetPenColor(0xFF00FF00u);
    S.MoveTo(1, 1);
    S.LineToS(1, 4);
    EXPECT_EQ(S.GetPixel(1, 3), 0xFF00FF00u);
    EXPECT_EQ(S.GetPixel(1, 4), 0u);
    EXPECT_EQ(S.PenPos(), Point(1, 4));
}

TEST(SurfaceLines, AntialiasedIntegerLines) {
    TSurface32 S;
    S.SetSize(8, 8);
    // Horizontal: up to, not including, the end point unless L.
    S.LineAS(1, 2, 5, 2, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 4);
    EXPECT_EQ(S.GetPixel(5, 2), 0u);
    S.LineAS(1, 2, 5, 2, 0xFFFFFFFFu, true);
    EXPECT_EQ(S.GetPixel(5, 2), 0xFFFFFFFFu);
    // 45 degrees: plain pixels.
    S.Clear(0);
    S.LineAS(0, 0, 3, 3, 0xFFFFFFFFu);
    EXPECT_EQ(CountNonZero(S), 3);
    EXPECT_EQ(S.GetPixel(2, 2), 0xFFFFFFFFu);
    // Sloped, from (0, 0) to (4, 1): slope 16384 per column, f = 0, 64, 128, 192.
    S.Clear(0xFF000000u);
    S.LineAS(0, 0, 4, 1, 0xFFFFFFFFu);
    const uint8_t* G = CoverageGamma();
    for (int X = 0; X < 4; ++X) {
        const uint32_t F = 64 * X;
        TColor32 On = 0xFF000000u, Next = 0xFF000000u;
        BlendIntoMaster(0xFFFFFFFFu, On, G[255 - F]);
        BlendIntoMaster(0xFFFFFFFFu, Next, G[F]);
        EXPECT_EQ(S.GetPixel(X, 0), On) << X;
        EXPECT_EQ(S.GetPixel(X, 1), Next) << X;
    }
    EXPECT_EQ(S.GetPixel(4, 1), 0xFF000000u);
    // Upward slope uses a truncated negative step: -1 * 65536 / 3 = -21845.
    S.Clear(0xFF000000u);
    S.LineAS(0, 3, 3, 2, 0xFFFFFFFFu);
    TColor32 Expect = 0xFF000000u;
    const int64_t Pos = (int64_t{3} << 16) - 21845;  // column 1
    BlendIntoMaster(0xFFFFFFFFu, Expect, G[255 - ((Pos >> 8) & 255)]);
    EXPECT_EQ(S.GetPixel(1, static_cast<int>(Pos >> 16)), Expect);
}

TEST(SurfaceLines, FixedPointAntialiasedLine) {
    TSurface32 S;
    S.SetSize(8, 4);
    S.LineXS(0, 0, 196608, 0, 0xFFFFFFFFu);
    TColor32 Expect = 0;
    CombineInto(0xFFFFFFFFu, Expect, 253);
    for (int X = 0; X < 3; ++X) EXPECT_EQ(S.GetPixel(X, 0), Expect) << X;
    EXPECT_EQ(CountNonZero(S), 3);
    S.Clear(0);
    S.LineXS(65536, 65536, 65536, 65536, 0xFFFFFFFFu, true);
    S.LineFS(1.5f, 1.5f, 1.5f, 1.5f, 0xFFFFFFFFu, false);
    EXPECT_EQ(CountNonZero(S), 0);
    // Non-finite ends draw nothing; far ends are clipped, never walked.
    const float Inf = std::numeric_limits<float>::infinity();
    S.LineFS(0, 0, Inf, 1, 0xFFFFFFFFu, true);
    S.LineFS(std::nanf(""), 0, 3, 1, 0xFFFFFFFFu, true);
    EXPECT_EQ(CountNonZero(S), 0);
    S.LineFS(-1e30f, 1.5f, 1e30f, 1.5f, 0xFFFFFFFFu);
    EXPECT_GT(CountNonZero(S), 0);
    EXPECT_EQ(S.GetPixel(0, 3), 0u);
    // A line ending past the clip is drawn through to the clip's edge (L forced on).
    S.Clear(0);
    S.LineXS(0, 0, 20 * 65536, 0, 0xFFFFFFFFu);
    EXPECT_NE(S.GetPixel(7, 0), 0u);
    EXPECT_EQ(S.GetPixel(0, 1), 0u);
    // A translucent colour: weight (a * p * q) >> 16 = (128 * 255 * 255) >> 16 = 127.
    S.Clear(0xFF000000u);
    S.LineXS(0, 0, 196608, 0, 0x80FFFFFFu);
    EXPECT_EQ(S.GetPixel(1, 0), WeightedMix(0x80FFFFFFu, 0xFF000000u, 127));
}

TEST(SurfaceNotify, UpdatesMeasuringAndLock) {
    TSurface32 S;
    S.SetSize(4, 4);
    TAreaLog Log;
    Log.Attach(S);
    S.BeginUpdate();
    S.FillRectS(0, 0, 2, 2, 0xFFFFFFFFu);
    EXPECT_EQ(Log.Changes, 0);
    EXPECT_TRUE(Log.Areas.empty());
    S.EndUpdate();
    EXPECT_EQ(Log.Changes, 0);  // EndUpdate fires nothing
    S.Changed();
    EXPECT_EQ(Log.Changes, 1);
    EXPECT_EQ(QvErrorOf([&] { S.EndUpdate(); }), "Unpaired TThreadPersistent.EndUpdate");
    // Measuring: areas reach the measuring callback, pixels stay.
    S.Clear(0);
    std::vector<TRect> Measured;
    S.BeginMeasuring([&](TObject*, const TRect& R, uint32_t) { Measured.push_back(R); });
    const int Before = Log.Changes;
    S.FillRectS(0, 0, 3, 3, 0xFFFFFFFFu);
    S.LineXS(0, 0, 65536 * 3, 65536, 0xFFFFFFFFu);
    TSurface32 Src;
    Src.SetSize(2, 2);
    Src.Clear(0xFFFFFFFFu);
    S.Draw(1, 1, &Src);
    S.Draw(Rect(0, 0, 4, 4), Src.BoundsRect(), &Src);
    S.EndMeasuring();
    EXPECT_EQ(CountNonZero(S), 0);
    EXPECT_EQ(Log.Changes, Before);
    ASSERT_EQ(Measured.size(), 4u);
    EXPECT_EQ(Measured[2], Rect(1, 1, 3, 3));
    S.FillRectS(0, 0, 1, 1, 0xFFFFFFFFu);
    EXPECT_EQ(Measured.size(), 4u);
    EXPECT_FALSE(Log.Areas.empty());

    S.Lock();
    S.Lock();
    EXPECT_EQ(S.LockCount(), 2);
    S.Unlock();
    S.Unlock();
    EXPECT_EQ(S.LockCount(), 0);
}

TEST(SurfaceCopy, AssignAndProperties) {
    TSurface32 Src, Dst;
    FillPattern(Src, 3, 2);
    Src.SetDrawMode(dmBlend);
    Src.SetCombineMode(cmMerge);
    Src.SetMasterAlpha(77);
    Src.SetOuterColor(0x11111111u);
    Src.SetWrapMode(wmMirror);
    Src.Resampler()->SetPixelAccessMode(pamTransparentEdge);
    Dst.Assign(&Src);
    EXPECT_EQ(Pixels(Dst), Pixels(Src));
    EXPECT_EQ(Dst.DrawMode(), dmBlend);
    EXPECT_EQ(Dst.CombineMode(), cmMerge);
    EXPECT_EQ(Dst.MasterAlpha(), 77);
    EXPECT_EQ(Dst.OuterColor(), 0x11111111u);
    EXPECT_EQ(Dst.WrapMode(), wmMirror);
    // A new resampler of the same class, not the source's own.
    EXPECT_NE(Dst.Resampler(), Src.Resampler());
    EXPECT_EQ(Dst.Resampler()->Bitmap(), &Dst);
    EXPECT_EQ(Dst.Resampler()->PixelAccessMode(), pamSafe);
    EXPECT_THROW(Dst.SetResamplerClassName(u"TNoSuchResampler"), EQvError);
    EXPECT_EQ(Dst.ResamplerClassName(), u"TNearestResampler");
}

TEST(Resamplers, NearestSamplingByPixelAccessMode) {
    TSurface32 S;
    FillPattern(S, 4, 3);
    S.SetOuterColor(0xDEADBEEFu);
    TCustomResampler* R = S.Resampler();
    R->PrepareSampling();
    // 16.16 positions round with an exact half going down.
    EXPECT_EQ(R->GetSampleFixed(65536 + 32768, 0), S.GetPixel(1, 0));
    EXPECT_EQ(R->GetSampleFixed(65536 + 32769, 0), S.GetPixel(2, 0));
    EXPECT_EQ(R->GetSampleInt(3, 2), S.GetPixel(3, 2));
    EXPECT_EQ(R->GetSampleInt(4, 0), 0xDEADBEEFu);  // pamSafe
    EXPECT_TRUE(R->HasBounds());
    R->SetPixelAccessMode(pamTransparentEdge);
    EXPECT_EQ(R->GetSampleInt(-3, 1), SetAlpha(S.GetPixel(0, 1), 0));
    EXPECT_EQ(R->GetSampleInt(2, 1), S.GetPixel(2, 1));
    EXPECT_EQ(R->GetSampleBounds(), FloatRect(-1, -1, 5, 4));
    R->SetPixelAccessMode(pamWrap);
    EXPECT_FALSE(R->HasBounds());
    EXPECT_EQ(R->GetSampleInt(-1, 4), S.GetPixel(3, 1));
    EXPECT_EQ(R->GetSampleFloat(std::nanf(""), 0), 0u);
    // A surface shrunk after PrepareSampling is never read past its end.
    S.SetSize(1, 1);
    R->SetPixelAccessMode(pamSafe);
    EXPECT_EQ(R->GetSampleInt(3, 2), 0xDEADBEEFu);
}

TEST(SurfaceBlend, TransformedSamplesCombineOnePixelAtATime) {
    TSurface32 Src;
    TColor32 D = 0xFF000000u;
    CombineTransformed(Src, 0x40FFFFFFu, D);  // dmOpaque assigns
    EXPECT_EQ(D, 0x40FFFFFFu);
    Src.SetDrawMode(dmBlend);
    Src.SetMasterAlpha(1);
    D = 0xFF000000u;
    CombineTransformed(Src, 0xC8FFFFFFu, D);  // the per-pixel weight ((1 + 1) * 200) >> 8 = 1
    EXPECT_EQ(D, WeightedMix(0xC8FFFFFFu, 0xFF000000u, 1));
    Src.SetCombineMode(cmMerge);
    D = 0x80000000u;
    CombineTransformed(Src, 0xC8FFFFFFu, D);
    EXPECT_EQ(D, MergeOverMaster(0xC8FFFFFFu, 0x80000000u, 1));
    Src.SetDrawMode(dmTransparent);
    Src.SetOuterColor(0xC8FFFFFFu);
    D = 7;
    CombineTransformed(Src, 0xC8FFFFFFu, D);
    EXPECT_EQ(D, 7u);
    Src.SetDrawMode(dmCustom);  // without a callback it blends
    Src.SetCombineMode(cmBlend);
    Src.SetMasterAlpha(255);
    D = 0xFF000000u;
    CombineTransformed(Src, 0xFFFFFFFFu, D);
    EXPECT_EQ(D, 0xFFFEFEFEu);
}
