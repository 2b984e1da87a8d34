// The surface with the framework's drawing objects: its font, its canvas, and copying
// pixels to and from pictures.
#include <gtest/gtest.h>

#include <vector>

#include "draw/uQvSurface.h"
#include "framework/uQvPictures.h"
#include "platform/uQvPng.h"
#include "platform/uQvStrUtils.h"

namespace {

std::vector<TColor32> Pixels(const TCustomSurface32& S) {
    return std::vector<TColor32>(S.Bits(), S.Bits() + static_cast<size_t>(S.Width()) * S.Height());
}

}  // namespace

TEST(SurfaceFont, ChangesAreSelectedIntoTheContext) {
    TSurface32 S;
    EXPECT_EQ(S.Font()->Name(), u"Tahoma");
    EXPECT_EQ(S.Font()->Height(), -11);
    EXPECT_EQ(S.Font()->Color(), clWindowText);
    S.SetSize(30, 20);
    const HDC Dc = S.Handle();
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_FONT), S.Font()->Handle());
    EXPECT_EQ(GetBkMode(Dc), TRANSPARENT);

    S.Font()->SetColor(clRed);
    EXPECT_EQ(GetTextColor(Dc), ColorToRGB(clRed));
    S.Font()->SetStyle({fsBold});
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_FONT), S.Font()->Handle());
    LOGFONTW Log;
    GetObjectW(GetCurrentObject(Dc, OBJ_FONT), sizeof Log, &Log);
    EXPECT_EQ(Log.lfWeight, FW_BOLD);
    // A new context (a resize) gets the font at once, for callers drawing through it.
    S.SetSize(40, 20);
    EXPECT_NE(S.Handle(), Dc);
    EXPECT_EQ(GetCurrentObject(S.Handle(), OBJ_FONT), S.Font()->Handle());
    EXPECT_EQ(GetTextColor(S.Handle()), ColorToRGB(clRed));

    // Text measures with the font, also on an empty surface.
    TSurface32 Empty;
    const int Small = Empty.TextHeight(u"x");
    Empty.Font()->SetSize(20);
    EXPECT_GT(Empty.TextHeight(u"x"), Small);
}

TEST(SurfaceCanvas, DrawsIntoTheSurfacesPixels) {
    TSurface32 S;
    S.SetSize(8, 6);
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    TCanvas* C = S.Canvas();
    EXPECT_EQ(S.Canvas(), C);
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(2, 1, 5, 3));
    EXPECT_EQ(S.GetPixel(2, 1), 0xFFFF0000u);
    EXPECT_EQ(S.GetPixel(4, 2), 0xFFFF0000u);
    EXPECT_EQ(S.GetPixel(5, 2), 0u);
    EXPECT_EQ(Changes, 1);

    // After a resize the canvas draws into the new pixels.
    S.SetSize(10, 10);
    C->Pen()->SetColor(clLime);
    C->MoveTo(0, 9);
    C->LineTo(9, 9);
    EXPECT_EQ(S.GetPixel(8, 9), 0xFF00FF00u);
    EXPECT_EQ(S.GetPixel(9, 9), 0u);

    // An empty surface's canvas draws nowhere and still measures.
    S.SetSize(0, 0);
    EXPECT_NO_THROW(C->FillRect(Rect(0, 0, 5, 5)));
    EXPECT_GT(C->TextWidth(u"Wg"), 0);
}

TEST(SurfaceCanvas, CanvasTextAndSurfaceTextKeepTheirOwnSettings) {
    TSurface32 S;
    S.SetSize(60, 20);
    S.Font()->SetColor(clBlue);
    TCanvas* C = S.Canvas();
    C->Font()->SetColor(clRed);
    C->Brush()->SetColor(clLime);  // an opaque background for the canvas's text
    C->TextOut(0, 0, u"W");
    EXPECT_EQ(S.GetPixel(0, 0) & 0x00FFFFFFu, 0x0000FF00u);
    // The surface's own text is still drawn in its font's colour, without a background.
    S.Clear(0);
    S.Textout(0, 0, u"W");
    int Blue = 0;
    for (TColor32 P : Pixels(S)) {
        ASSERT_EQ(P & 0xFFFF0000u, 0u) << std::hex << P;
        Blue += (P & 0xFF) != 0;
    }
    EXPECT_GT(Blue, 5);
    // ... and the canvas's text after it again in its own.
    S.Clear(0);
    C->TextOut(0, 0, u"W");
    EXPECT_EQ(S.GetPixel(0, 0) & 0x00FFFFFFu, 0x0000FF00u);
}

TEST(SurfaceAssign, FromAndToPictures) {
    // A PNG is put over white and made opaque: (c*a + 255*(255 - a) + 127) / 255.
    const std::vector<uint32_t> Src = {0x80FF0000u, 0x00123456u, 0xFF0A0B0Cu, 0x40000000u};
    const std::vector<uint8_t> Png = EncodePng(Src.data(), 2, 2);
    TPicture P;
    P.LoadFromBytes(Png.data(), Png.size());
    TSurface32 S;
    S.SetDrawMode(dmBlend);
    S.Assign(&P);
    ASSERT_EQ(S.Width(), 2);
    EXPECT_EQ(Pixels(S), (std::vector<TColor32>{0xFFFF7F7Fu, 0xFFFFFFFFu, 0xFF0A0B0Cu, 0xFFBFBFBFu}));
    EXPECT_EQ(S.DrawMode(), dmBlend);  // the draw properties stay

    // A bitmap keeps its alpha.
    TBitmap Bmp(2, 1);
    Bmp.ScanLine(0)[0] = 0x80FF0000u;
    Bmp.ScanLine(0)[1] = 0x00000000u;
    S.Assign(&Bmp);
    EXPECT_EQ(Pixels(S), (std::vector<TColor32>{0x80FF0000u, 0u}));
    // An empty picture empties the surface.
    TPicture None;
    S.Assign(&None);
    EXPECT_TRUE(S.Empty());

    // Into a bitmap and a picture, alpha and all.
    TSurface32 T;
    T.SetSize(3, 2);
    for (int I = 0; I < 6; ++I) T.Bits()[I] = 0x11223344u * static_cast<uint32_t>(I + 1);
    TBitmap Out;
    int Changes = 0;
    Out.OnChange = [&](TObject*) { ++Changes; };
    Out.Assign(&T);
    ASSERT_EQ(Out.Width(), 3);
    ASSERT_EQ(Out.Height(), 2);
    EXPECT_EQ(std::vector<uint32_t>(Out.PixelData(), Out.PixelData() + 6), Pixels(T));
    EXPECT_GT(Changes, 0);
    TPicture Pic;
    Pic.Assign(&T);
    ASSERT_NE(dynamic_cast<TBitmap*>(Pic.Graphic()), nullptr);
    EXPECT_EQ(std::vector<uint32_t>(Pic.Graphic()->PixelData(), Pic.Graphic()->PixelData() + 6), Pixels(T));
    // ... and back, unchanged.
    TSurface32 Round;
    Round.Assign(&Pic);
    EXPECT_EQ(Pixels(Round), Pixels(T));
    TPngImage NotABitmap;
    EXPECT_THROW(NotABitmap.Assign(&T), EConvertError);
}
