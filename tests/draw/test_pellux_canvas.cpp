#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "draw/uPelluxCanvas.h"
#include "draw/uPelluxPng.h"
#include "draw/uPelluxText.h"
#include "framework/uQvPictures.h"
#include "framework/uQvStreams.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvPng.h"
#include "support/qv_error_of.h"

namespace {

std::vector<uint8_t> PngOf(const TCustomSurface32& S, bool To8Bit, bool KeepAlpha, TColor Clear = 0) {
    TPngImage Png;
    EXPECT_TRUE(WriteSurfaceToPng(&S, &Png, To8Bit, KeepAlpha, 0, 9, Clear));
    return Png.SaveToBytes();
}

}  // namespace

TEST(PngHelpers, TransparencyKeptAsStored) {
    TSurface32 S, T;
    S.SetSize(2, 1);
    S.SetPixel(0, 0, 0x80102030u);
    S.SetPixel(1, 0, 0xFF405060u);
    bool Has = false;
    std::vector<uint8_t> Bytes = PngOf(S, false, true);
    ReadPngIntoSurface(&T, Bytes.data(), Bytes.size(), Has);
    EXPECT_TRUE(Has);
    EXPECT_EQ(T.GetPixel(0, 0), 0x80102030u);
    // Without alpha the colours stay as they are, opaque.
    Bytes = PngOf(S, false, false);
    TMemoryStream Stream(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
    ReadPngIntoSurface(&T, Stream, Has);
    EXPECT_FALSE(Has);
    EXPECT_EQ(T.GetPixel(0, 0), 0xFF102030u);
    // A palette leaves out the one transparent colour (0x00BBGGRR) and nothing else.
    Bytes = PngOf(S, true, true, 0x605040);
    WritePictureFile(u"clear.png", Bytes);
    ReadPngIntoSurface(&T, String(u"clear.png"), Has);
    EXPECT_TRUE(Has);
    EXPECT_EQ(T.GetPixel(0, 0), 0xFF102030u);
    EXPECT_EQ(T.GetPixel(1, 0), 0x00405060u);
    // Partial palette alphas are not kept.
    const uint32_t Soft[2] = {0x80102030u, 0xFF405060u};
    TQvPngWriteOptions Palette;
    Palette.ColorMode = pcmPalette;
    Bytes = EncodePng(Soft, 2, 1, Palette);
    ReadPngIntoSurface(&T, Bytes.data(), Bytes.size(), Has);
    EXPECT_FALSE(Has);
    EXPECT_EQ(T.GetPixel(0, 0), 0xFF102030u);

    const uint8_t Junk[] = {1, 2, 3, 4};
    EXPECT_NE(QvErrorOf([&] { ReadPngIntoSurface(&T, Junk, sizeof Junk, Has); }), "no error");
    EXPECT_EQ(T.Width(), 2);
    TPngImage Png;
    TSurface32 Empty;
    EXPECT_FALSE(WriteSurfaceToPng(&Empty, &Png));
}

TEST(TextHelpers, BlurGlowAndMeasures) {
    TBitmap Row(5, 1);
    std::fill_n(Row.ScanLine(0), 5, 0xFF000000u);
    Row.ScanLine(0)[2] = 0xFFFF0000u;
    BoxBlurGray(&Row, 1, 1);
    // Red 255 spreads as 85 over three pixels; grey is (85 + 0 + 0) div 3.
    EXPECT_EQ(Row.ScanLine(0)[1], 0xFF1C1C1Cu);
    EXPECT_EQ(Row.ScanLine(0)[3], 0xFF1C1C1Cu);
    EXPECT_EQ(Row.ScanLine(0)[0], 0xFF000000u);

    TBitmap B(60, 24);
    uint32_t* Bits = B.ScanLine(0);
    std::fill_n(Bits, 60 * 24, 0xFFFFFFFFu);
    const UINT Format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    DrawGlowText(B.Canvas(), Rect(0, 0, 60, 24), u"   ", 1, 0, Format);
    DrawGlowText(B.Canvas(), Rect(10, 0, 0, 24), u"Glow", 1, 0, Format);
    EXPECT_EQ(Bits[0], 0xFFFFFFFFu);
    DrawGlowText(B.Canvas(), Rect(0, 0, 60, 24), u"Glow", 1, 0, Format);
    // Far from the text the mask is 255: 255 -> 254 -> 253 in two rounds.
    EXPECT_EQ(Bits[0], 0xFFFDFDFDu);
    EXPECT_LT(*std::min_element(Bits, Bits + 60 * 24) & 0xFF, 0x80u);

    const HDC Dc = B.Canvas()->Handle();
    EXPECT_GT(MeasureTextWidth(Dc, u"Glow"), 0);
    EXPECT_EQ(MeasureTextHeight(Dc, u"A\nB"), 2 * MeasureTextHeight(Dc, u"A"));
    EXPECT_EQ(RectWidth(Rect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeight(Rect(3, 4, 10, 20)), 16);
}

TEST(CanvasHelpers, FillsPathsEllipsesAndWorkAreas) {
    TBitmap B(20, 20);
    uint32_t* Bits = B.ScanLine(0);
    std::fill_n(Bits, 400, 0xFF000000u);
    AlphaFillRect(B.Canvas()->Handle(), Rect(0, 0, 2, 2), 0x0000FF, 128);
    EXPECT_EQ(Bits[0], 0xFF800000u);  // (255 * 128 + 127) div 255
    EXPECT_EQ(Bits[2], 0xFF000000u);
    MakeAlphaBitmap(&B, 77);
    EXPECT_EQ(Bits[399], 0x4D000000u);

    const TArrayOfFloatPoint Path = RoundRectPath(10, 20, 40, 30, 20);
    EXPECT_EQ(Path.front(), FloatPoint(10, 25));  // the left end of the top-left arc, d = 10
    float L = 1e9f, T = 1e9f, R = -1e9f, Bt = -1e9f;
    for (const TFloatPoint& P : Path) {
        L = std::min(L, P.X);
        T = std::min(T, P.Y);
        R = std::max(R, P.X);
        Bt = std::max(Bt, P.Y);
    }
    EXPECT_NEAR(L, 10, 1e-4);
    EXPECT_EQ(T, 20);
    EXPECT_EQ(R, 50);
    EXPECT_EQ(Bt, 50);
    EXPECT_EQ(RoundRectPath(0, 0, 4, 4, 1).size(), 4u);

    std::fill_n(Bits, 400, 0xFF0000FFu);
    TSurface32 Image;
    Image.SetSize(8, 8);
    Image.Clear(0xFF00FF00u);
    DrawImageInEllipse(B.Canvas()->Handle(), Rect(0, 0, 20, 20), &Image, 0xFFFFFF);
    EXPECT_EQ(Bits[0], 0xFF0000FFu);  // outside the ellipse
    // Fully covered pixels take the texture with weight 255: the image (blended over the
    // back colour) on the bottom edge, the back colour above it.
    EXPECT_EQ(Bits[16 * 20 + 10], WeightedMix(OverBlend(0xFF00FF00u, 0xFFFFFFFFu), 0xFF0000FFu, 255));
    EXPECT_EQ(Bits[4 * 20 + 10], WeightedMix(0xFFFFFFFFu, 0xFF0000FFu, 255));

    TRect Work, Screen, Expected;
    GetWorkArea(true, Work);
    GetWorkArea(false, Screen);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Expected, 0);
    EXPECT_EQ(Work, Expected);
    EXPECT_EQ(Screen, Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    TRect Nearest;
    GetMonitorWorkArea(nullptr, true, Nearest);
    EXPECT_EQ(Nearest, Work);
}
