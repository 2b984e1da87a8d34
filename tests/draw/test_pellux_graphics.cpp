#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

#include "draw/uPelluxGraphics.h"
#include "draw/uPelluxScale.h"
#include "draw/uPelluxStrips.h"
#include "draw/uQvResamplersEx.h"
#include "draw/uQvTransforms.h"
#include "support/qv_error_of.h"

namespace {

// Opaque pixels that name their own position, so a probe tells which source pixel landed.
constexpr TColor32 At(int X, int Y) {
    return 0xFF000000u | static_cast<TColor32>(X) << 8 | static_cast<TColor32>(Y);
}

void FillCoded(TSurface32& S, int W, int H) {
    S.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) S.SetPixel(X, Y, At(X, Y));
}

}  // namespace

TEST(NineGrid, PiecesLandWhereTheGridSays) {
    TSurface32 Src, Dst;
    FillCoded(Src, 9, 9);
    for (bool UseCopy : {false, true}) {
        SCOPED_TRACE(UseCopy);
        Dst.SetSize(20, 15);
        DrawNineGrid(&Src, &Dst, Rect(3, 3, 6, 6), UseCopy);
        EXPECT_EQ(Dst.GetPixel(0, 0), At(0, 0));
        EXPECT_EQ(Dst.GetPixel(19, 14), At(8, 8));
        EXPECT_EQ(Dst.GetPixel(17, 0), At(6, 0));
        // Centre and left edge stretch: column 3 + trunc(7 * 3 / 14), row 3 + trunc(8 * 3 / 9).
        EXPECT_EQ(Dst.GetPixel(10, 7), At(4, 4));
        EXPECT_EQ(Dst.GetPixel(0, 11), At(0, 5));
        // Top and bottom edges are tiled when drawn, stretched when copied.
        EXPECT_EQ(Dst.GetPixel(16, 0), UseCopy ? At(5, 0) : At(4, 0));
        EXPECT_EQ(Dst.GetPixel(16, 13), UseCopy ? At(5, 7) : At(4, 7));
    }
    // Smaller than the corners: they overlap in order, the bottom-right one last.
    Dst.SetSize(4, 4);
    DrawNineGrid(&Src, &Dst, Rect(3, 3, 6, 6), false);
    EXPECT_EQ(Dst.GetPixel(0, 0), At(0, 0));
    EXPECT_EQ(Dst.GetPixel(1, 1), At(6, 6));
    EXPECT_EQ(Dst.GetPixel(3, 3), At(8, 8));
}

TEST(NineGrid, ThirdsDegenerateToThreeSlices) {
    TSurface32 Src, Dst;
    FillCoded(Src, 30, 30);
    // Same height: ends at their size, the middle third tiled across the 70 columns.
    Dst.SetSize(90, 30);
    DrawNineGridThirds(&Src, &Dst, false);
    EXPECT_EQ(Dst.GetPixel(5, 29), At(5, 29));
    EXPECT_EQ(Dst.GetPixel(45, 15), At(15, 15));
    EXPECT_EQ(Dst.GetPixel(85, 15), At(25, 15));
    // Same width: the middle band stretched between the top and bottom thirds.
    Dst.SetSize(30, 60);
    DrawNineGridThirds(&Src, &Dst, false);
    EXPECT_EQ(Dst.GetPixel(7, 5), At(7, 5));
    EXPECT_EQ(Dst.GetPixel(7, 30), At(7, 15));
    EXPECT_EQ(Dst.GetPixel(7, 55), At(7, 25));
    // A 2 x 2 image: one-pixel thirds, the middle pixel stretched over the rest.
    FillCoded(Src, 2, 2);
    auto Resized = NineGridResize(&Src, 4, 4);
    EXPECT_EQ(Resized->GetPixel(0, 0), At(0, 0));
    EXPECT_EQ(Resized->GetPixel(2, 0), At(1, 0));
    EXPECT_EQ(Resized->GetPixel(0, 2), At(0, 1));
    EXPECT_EQ(Resized->GetPixel(3, 3), At(1, 1));
    EXPECT_EQ(NineGridResize(nullptr, 4, 4), nullptr);
}

TEST(NineGrid, CopyKeepsTranslucentPixelsThatDrawingBlends) {
    TSurface32 Src, Drawn, Copied;
    Src.SetSize(6, 6);
    Src.Clear(0x80FF0000u);
    Src.SetDrawMode(dmBlend);
    Drawn.SetSize(12, 12);
    Copied.SetSize(12, 12);
    DrawNineGridThirds(&Src, &Drawn, false);
    DrawNineGridThirds(&Src, &Copied, true);
    EXPECT_EQ(Copied.GetPixel(6, 6), 0x80FF0000u);
    EXPECT_EQ(Drawn.GetPixel(6, 6), OverBlend(0x80FF0000u, 0));
}

TEST(Tiling, PiecesAndEdges) {
    TSurface32 Src, Dst;
    FillCoded(Src, 4, 10);
    // Ten rows into 25: 10, 10 and the top 5.
    Dst.SetSize(4, 25);
    TileRect(&Src, &Dst, Src.BoundsRect(), Dst.BoundsRect());
    EXPECT_EQ(Dst.GetPixel(2, 19), At(2, 9));
    EXPECT_EQ(Dst.GetPixel(2, 20), At(2, 0));
    EXPECT_EQ(Dst.GetPixel(2, 24), At(2, 4));
    // Neither side matching: nothing.
    Dst.SetSize(5, 25);
    TileRect(&Src, &Dst, Src.BoundsRect(), Dst.BoundsRect());
    EXPECT_EQ(Dst.GetPixel(0, 0), 0u);

    FillCoded(Src, 16, 16);
    Dst.SetSize(40, 40);
    TileDraw(&Src, &Dst);
    EXPECT_EQ(Dst.GetPixel(39, 39), At(7, 7));
    Dst.SetSize(40, 40);
    TileImage(&Src, &Dst, 3, 2);
    EXPECT_EQ(Dst.GetPixel(2, 1), 0u);
    EXPECT_EQ(Dst.GetPixel(3, 2), At(0, 0));
    EXPECT_EQ(Dst.GetPixel(39, 39), At(4, 5));
    EXPECT_EQ(Dst.LockCount(), 0);
    EXPECT_EQ(Dst.UpdateCount(), 0);

    // Row by row gives what drawing tile after tile gives, clip and offsets included.
    Src.SetSize(7, 5);
    for (int I = 0; I < 35; ++I) Src.Bits()[I] = static_cast<TColor32>(I + 1) * 2654435761u;
    Src.SetDrawMode(dmBlend);
    TSurface32 Tiles;
    for (TSurface32* D : {&Dst, &Tiles}) {
        D->SetSize(40, 23);
        D->Clear(0xFF336699u);
        D->SetClipRect(Rect(3, 2, 37, 20));
    }
    TileImage(&Src, &Dst, -2, 4);
    for (int R = 0; R <= 23 / 5; ++R)
        for (int C = 0; C <= 40 / 7; ++C) Tiles.Draw(C * 7 - 2, R * 5 + 4, &Src);
    EXPECT_EQ(0, memcmp(Dst.Bits(), Tiles.Bits(), 40 * 23 * sizeof(TColor32)));
}

TEST(Tiling, FillTypes) {
    TSurface32 Image, Dst;
    FillCoded(Image, 5, 5);
    Dst.SetSize(2, 2);
    DrawImageByMode(&Image, &Dst, ftCenter);  // offset (2 - 5) div 2 = -1
    EXPECT_EQ(Dst.GetPixel(0, 0), At(1, 1));
    FillCoded(Image, 2, 2);
    Dst.SetSize(4, 4);
    DrawImageByMode(&Image, &Dst, ftStretch);
    EXPECT_EQ(Dst.GetPixel(3, 2), At(1, 1));
    Dst.SetSize(4, 4);
    DrawImageByMode(&Image, &Dst, ftGradient);
    DrawImageByMode(nullptr, &Dst, ftNormal);
    EXPECT_EQ(Dst.GetPixel(0, 0), 0u);
}

TEST(Colour, GreyAndAverage) {
    TSurface32 S, G;
    S.SetSize(2, 1);
    S.SetPixel(0, 0, Color32(255, 0, 0, 128));
    S.SetPixel(1, 0, Color32(0, 0, 255, 10));
    MakeGrayscale(&G, &S, true);
    EXPECT_EQ(G.GetPixel(0, 0), Gray32(60, 128));
    MakeGrayscale(&S, &S, false);
    EXPECT_EQ(S.GetPixel(1, 0), Gray32(20, 255));
    EXPECT_EQ(QvErrorOf([&] { MakeGrayscale(nullptr, &S, true); }), "Destination is nil");
    EXPECT_EQ(QvErrorOf([&] { MakeGrayscale(&S, nullptr, true); }), "The source is nil");
    S.SetPixel(0, 0, Color32(10, 20, 31));
    S.SetPixel(1, 0, Color32(0, 0, 0, 0));
    EXPECT_EQ(AverageColor(&S), 0x0F0A05);
    EXPECT_EQ(AverageColor(nullptr), 0);
}

TEST(Strips, FrameSizesAndWhatTheyHold) {
    TSurface32 Strip;
    FillCoded(Strip, 68, 17);
    Strip.SetDrawMode(dmBlend);
    TPelluxImageArray Frames;
    SplitStrip(&Strip, 4, Frames);
    ASSERT_EQ(Frames.size(), 4u);
    EXPECT_EQ(Frames[3]->Width(), 17);
    EXPECT_EQ(Frames[3]->DrawMode(), dmBlend);
    // Eight blended passes of an opaque pixel onto 0 reach it exactly.
    EXPECT_EQ(Frames[3]->GetPixel(0, 5), At(51, 5));
    SplitStrip(&Strip, 3, Frames);
    EXPECT_EQ(Frames[2]->Width(), 22);
    EXPECT_EQ(Frames[2]->GetPixel(21, 0), At(65, 0));
    SplitStripVertical(&Strip, 2, Frames);
    EXPECT_EQ(Frames[1]->Height(), 8);
    EXPECT_EQ(Frames[1]->GetPixel(3, 0), At(3, 8));
    // No frames, no division by zero; frames of a too narrow strip are empty.
    SplitStrip(&Strip, 0, Frames);
    EXPECT_TRUE(Frames.empty());
    SplitStripVertical(&Strip, -2, Frames);
    EXPECT_TRUE(Frames.empty());
    SplitStrip(&Strip, 100, Frames);
    ASSERT_EQ(Frames.size(), 100u);
    EXPECT_TRUE(Frames[99]->Empty());
    SplitThreeParts(&Strip, 5, Frames);
    EXPECT_EQ(Frames[1]->Width(), 58);
    EXPECT_EQ(Frames[2]->GetPixel(0, 0), At(63, 0));
    SplitThreeParts(&Strip, 22, Frames);  // not below 68 div 3: thirds
    EXPECT_EQ(Frames[0]->Width(), 22);
    FreeFrames(Frames);
    EXPECT_TRUE(Frames.empty());
}

TEST(Strips, DirectCutMatchesEightTransformsOnEveryAlpha) {
    TSurface32 Strip;
    Strip.SetSize(256, 3);
    for (int X = 0; X < 256; ++X) {
        Strip.SetPixel(X, 0, Color32(200, 100, 50, static_cast<uint8_t>(X)));
        Strip.SetPixel(X, 1, Color32(static_cast<uint8_t>(X), 255, 0, static_cast<uint8_t>(255 - X)));
        Strip.SetPixel(X, 2, Color32(0, 0, 0, static_cast<uint8_t>(X)));
    }
    struct TCase {
        TDrawMode Mode;
        TCombineMode Combine;
        uint8_t Master;
    };
    for (const TCase& C :
         {TCase{dmBlend, cmBlend, 255}, TCase{dmBlend, cmBlend, 200}, TCase{dmBlend, cmMerge, 255},
          TCase{dmOpaque, cmBlend, 255}, TCase{dmTransparent, cmBlend, 255}})
        for (TColor32 Fill : {0u, 0x00F4FFFFu}) {
            SCOPED_TRACE(testing::Message()
                         << C.Mode << " " << C.Combine << " " << int(C.Master) << " " << Fill);
            Strip.SetDrawMode(C.Mode);
            Strip.SetCombineMode(C.Combine);
            Strip.SetMasterAlpha(C.Master);
            Strip.SetOuterColor(Strip.GetPixel(7, 1));
            TSurface32 Fast, Plain;
            for (TSurface32* D : {&Fast, &Plain}) {
                D->SetSize(128, 3);
                D->Clear(Fill);
            }
            const TRect Part = Rect(128, 0, 256, 3);
            CutFrame(&Strip, Part, &Fast);
            CutFrameByTransform(&Strip, Part, &Plain);
            ASSERT_EQ(0, memcmp(Fast.Bits(), Plain.Bits(), 128 * 3 * sizeof(TColor32)));
            CutFrame(&Strip, Rect(0, 0, 128, 3), &Fast);
            CutFrameByTransform(&Strip, Rect(0, 0, 128, 3), &Plain);
            ASSERT_EQ(0, memcmp(Fast.Bits(), Plain.Bits(), 128 * 3 * sizeof(TColor32)));
        }
}

TEST(Strips, ThreePartStretching) {
    TSurface32 Src;
    FillCoded(Src, 30, 4);
    auto Wide = StretchThreePartsH(&Src, 50, 0);
    ASSERT_EQ(Wide->Width(), 50);
    EXPECT_EQ(Wide->GetPixel(9, 1), At(9, 1));
    EXPECT_EQ(Wide->GetPixel(25, 1), At(15, 1));  // 10 + trunc(15 * 10 / 30)
    EXPECT_EQ(Wide->GetPixel(40, 1), At(20, 1));
    // Not wider than the left part: that part alone, cut.
    auto Narrow = StretchThreePartsH(&Src, 8, 0);
    EXPECT_EQ(Narrow->GetPixel(7, 0), At(7, 0));
    // With a margin, middle and right only when margin + 3 < width.
    auto Tight = StretchThreePartsH(&Src, 6, 4);
    EXPECT_EQ(Tight->GetPixel(3, 0), At(3, 0));
    EXPECT_EQ(Tight->GetPixel(5, 0), 0u);
    auto Margined = StretchThreePartsH(&Src, 40, 4);
    EXPECT_EQ(Margined->GetPixel(36, 0), At(26, 0));
    EXPECT_TRUE(StretchThreePartsH(&Src, 0, 0)->Empty());
    EXPECT_EQ(StretchThreePartsH(nullptr, 10, 0), nullptr);

    FillCoded(Src, 4, 30);
    auto Tall = StretchThreePartsV(&Src, 50);
    EXPECT_EQ(Tall->GetPixel(0, 45), At(0, 25));
    EXPECT_EQ(Tall->GetPixel(0, 25), At(0, 15));  // 10 + trunc(15 * 10 / 30)
    auto Low = StretchThreePartsV(&Src, 3);
    EXPECT_EQ(Low->GetPixel(0, 2), At(0, 6));  // the top third over all: trunc(2 * 10 / 3)

    auto Band = CropMiddleBand(&Src, 10, 3);
    EXPECT_EQ(Band->Width(), 3);
    EXPECT_EQ(Band->GetPixel(2, 0), At(2, 10));
    EXPECT_EQ(CropMiddleBand(&Src, 40, 3)->Height(), 30);
}

TEST(Scaling, SizesRoundHalfToEvenAndTheLinearResamplerStays) {
    TSurface32 Src, Dst;
    Src.SetSize(35, 10);
    Src.Clear(0xFF336699u);
    ScaleImage(&Src, &Dst, 1.5);
    EXPECT_EQ(Dst.Width(), 52);
    EXPECT_EQ(Dst.Height(), 15);
    EXPECT_EQ(Dst.GetPixel(26, 7), 0xFF336699u);
    ASSERT_EQ(typeid(*Src.Resampler()), typeid(TLinearResampler));
    EXPECT_EQ(Src.Resampler()->PixelAccessMode(), pamTransparentEdge);
    Src.SetSize(68, 17);
    ScaleImage(&Src, &Src, 1.5);
    EXPECT_EQ(Src.Width(), 102);
    EXPECT_EQ(Src.Height(), 26);

    Src.SetSize(10, 10);
    Src.Clear(0xFF102030u);
    Dst.SetSize(20, 10);
    DrawZoomedCentered(&Src, &Dst, 0);  // 20 x 20 drawn at (0, -5)
    EXPECT_EQ(Dst.GetPixel(10, 5), 0xFF102030u);
}

TEST(Rotation, TurnsAboutTheCentreTheSameEveryTime) {
    TSurface32 S;
    FillCoded(S, 4, 2);
    RotateImage(&S, true, 0x1FFFFFFF, false, 90);
    ASSERT_EQ(S.Width(), 2);
    ASSERT_EQ(S.Height(), 4);
    // Clockwise on the screen: (x, y) goes to (H - 1 - y, x).
    EXPECT_EQ(S.GetPixel(1, 0), At(0, 0));
    EXPECT_EQ(S.GetPixel(0, 3), At(3, 1));
    EXPECT_EQ(S.OuterColor(), 0xFFFFFFFFu);
    EXPECT_EQ(S.DrawMode(), dmTransparent);
    // In place, a half turn of a square swaps opposite pixels and leaves no fill.
    FillCoded(S, 3, 3);
    RotateImage(&S, 180);
    EXPECT_EQ(S.GetPixel(0, 0), At(2, 2));
    EXPECT_EQ(S.GetPixel(1, 1), At(1, 1));
    EXPECT_EQ(S.GetPixel(2, 0), At(0, 2));
}
