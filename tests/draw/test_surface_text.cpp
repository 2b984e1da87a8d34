#include <gtest/gtest.h>

#include <vector>

#include "draw/uQvSurface.h"
#include "platform/uQvFont.h"

namespace {

std::vector<TColor32> Pixels(const TCustomSurface32& S) {
    return std::vector<TColor32>(S.Bits(), S.Bits() + static_cast<size_t>(S.Width()) * S.Height());
}

// The quality the surface's platform font was last made with.
int SelectedQuality(TSurface32& S) {
    LOGFONTW Log;
    GetObjectW(GetCurrentObject(S.Handle(), OBJ_FONT), sizeof Log, &Log);
    return Log.lfQuality;
}

}  // namespace

TEST(SurfaceText, TextoutWritesOnlyGlyphsAndKeepsAlpha) {
    TSurface32 S;
    S.SetSize(40, 20);
    S.Clear(0x00000000u);
    S.Font()->SetColor(clRed);
    S.Textout(2, 2, u"Wg");
    int Red = 0;
    for (TColor32 P : Pixels(S)) {
        EXPECT_EQ(P >> 24, 0u);          // the alpha byte stays as it was
        EXPECT_EQ(P & 0x0000FFFFu, 0u);  // only red was written
        Red += (P >> 16) != 0;
    }
    EXPECT_GT(Red, 5);
    EXPECT_EQ(S.GetPixel(39, 19), 0u);  // no background fill
}

TEST(SurfaceText, MeasuringWorksOnEmptySurfacesAndAddsUp) {
    TSurface32 S;
    S.Font()->SetHeight(-13);
    const TSize Ab = S.TextExtent(u"Ab");
    EXPECT_GT(Ab.cx, 0);
    EXPECT_EQ(Ab.cx, S.TextWidth(u"A") + S.TextWidth(u"b"));
    EXPECT_EQ(S.TextHeight(u"x"), Ab.cy);
    S.SetSize(10, 10);
    EXPECT_EQ(S.TextExtent(u"Ab"), Ab);
    // The surface keeps its own copy of a font it is given.
    {
        TFont Big;
        Big.SetHeight(-30);
        Big.SetColor(clBlue);
        S.SetFont(&Big);
    }
    EXPECT_EQ(S.Font()->Height(), -30);
    EXPECT_EQ(S.Font()->Color(), clBlue);
    EXPECT_GT(S.TextHeight(u"x"), Ab.cy);
}

TEST(SurfaceText, RenderTextTurnsCoverageIntoAlpha) {
    TSurface32 S;
    S.SetSize(60, 24);
    S.Clear(0xFFFFFFFFu);
    S.RenderText(2, 2, u"Hello", 0, 0xFF000000u);
    // Monochrome glyphs: a drawn pixel has coverage 255 and so alpha 255; blending opaque
    // black over white by OverBlend gives 1 in each colour; undrawn pixels stay.
    int Drawn = 0;
    for (TColor32 P : Pixels(S)) {
        ASSERT_TRUE(P == 0xFFFFFFFFu || P == 0xFF010101u) << std::hex << P;
        Drawn += P == 0xFF010101u;
    }
    EXPECT_GT(Drawn, 10);
    // The font is back at the default quality afterwards.
    EXPECT_EQ(S.Font()->Quality(), fqDefault);
    EXPECT_EQ(SelectedQuality(S), 0);

    // A colour with alpha 0 changes nothing.
    const std::vector<TColor32> Before = Pixels(S);
    S.RenderText(2, 2, u"Other", 0, 0x00FF0000u);
    S.RenderText(2, 2, u"Other", 2, 0x00FF0000u);
    S.RenderText(S.BoundsRect(), DT_CENTER, u"Other", 0x00FF0000u);
    EXPECT_EQ(Pixels(S), Before);
    TSurface32 Empty;
    Empty.RenderText(0, 0, u"x", 0, 0xFF000000u);
    EXPECT_TRUE(Empty.Empty());
}

TEST(SurfaceText, AntialiasedAndSupersampledText) {
    TSurface32 S;
    S.SetSize(60, 24);
    S.Clear(0xFF000000u);
    S.RenderText(2, 2, u"Hello", -1, 0xFFFFFFFFu);
    int Partial = 0;
    for (TColor32 P : Pixels(S)) Partial += (P & 0xFF) != 0 && (P & 0xFF) < 200;
    EXPECT_GT(Partial, 0);  // antialiased edges

    // Supersampled text placed partly off the surface matches the same text drawn fully
    // on a wider one, shifted: only the visible part is made, and made the same.
    TSurface32 Wide, Shifted;
    Wide.SetSize(80, 30);
    Shifted.SetSize(50, 30);
    Wide.RenderText(0, 3, u"Shifted", 2, 0xFF0000FFu);
    Shifted.RenderText(-20, 3, u"Shifted", 2, 0xFF0000FFu);
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 50 && X + 20 < 80; ++X)
            ASSERT_EQ(Shifted.GetPixel(X, Y), Wide.GetPixel(X + 20, Y)) << X << "," << Y;
    int Inked = 0;
    for (TColor32 P : Pixels(Wide)) Inked += P != 0;
    EXPECT_GT(Inked, 10);
    // The same across the tiles the supersampled text is made in.
    const String Across = u"Supersampled text across tiles";
    Wide.SetSize(300, 20);
    Shifted.SetSize(300, 20);
    Wide.RenderText(0, 2, Across, 3, 0xFFFFFFFFu);
    Shifted.RenderText(-7, 2, Across, 3, 0xFFFFFFFFu);
    ASSERT_GT(Wide.TextWidth(Across), 140);
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X + 7 < 300; ++X)
            ASSERT_EQ(Shifted.GetPixel(X, Y), Wide.GetPixel(X + 7, Y)) << X << "," << Y;

    // A text far longer than any surface, supersampled, costs only what is visible.
    const String Long(20000, u'W');
    S.Clear(0);
    EXPECT_NO_THROW(S.RenderText(-100000, 0, Long, 4, 0xFFFFFFFFu));
    EXPECT_NO_THROW(S.RenderText(0, 0, Long, 4, 0xFFFFFFFFu));
    int Lit = 0;
    for (TColor32 P : Pixels(S)) Lit += P != 0;
    EXPECT_GT(Lit, 50);
    S.Clear(0);
    S.RenderText(1000000, 5, Long, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Pixels(S), std::vector<TColor32>(60 * 24, 0u));
    // A surface wider than a supersampled scratch may be: the text is made in tiles.
    TSurface32 Banner;
    Banner.SetSize(3000, 20);
    EXPECT_NO_THROW(Banner.RenderText(0, 0, String(400, u'M'), 4, 0xFFFFFFFFu));
    int FarInk = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 2800; X < 3000; ++X) FarInk += Banner.GetPixel(X, Y) != 0;
    EXPECT_GT(FarInk, 100);
}

TEST(SurfaceText, RectangleFormsLayOutInTheWholeRectangle) {
    TSurface32 Whole, Clipped;
    Whole.SetSize(100, 30);
    Clipped.SetSize(100, 30);
    Clipped.SetClipRect(Rect(40, 0, 70, 30));
    const UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    Whole.RenderText(Rect(0, 0, 100, 30), Flags, u"Centred text", 0xFF00FF00u);
    Clipped.RenderText(Rect(0, 0, 100, 30), Flags, u"Centred text", 0xFF00FF00u);
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 100; ++X)
            ASSERT_EQ(Clipped.GetPixel(X, Y), X >= 40 && X < 70 ? Whole.GetPixel(X, Y) : 0u) << X << "," << Y;
    // Without a level the font stays at the non-antialiased quality; with one it is
    // reset; "Default" is drawn as "MS Sans Serif".
    EXPECT_EQ(Whole.Font()->Quality(), fqNonAntialiased);
    EXPECT_EQ(SelectedQuality(Whole), 3);
    Whole.Font()->SetName(u"Default");
    Whole.RenderText(Rect(0, 0, 100, 30), Flags, u"x", 4, 0xFF00FF00u);
    EXPECT_EQ(Whole.Font()->Quality(), fqDefault);
    EXPECT_EQ(Whole.Font()->Name(), u"MS Sans Serif");
}

TEST(SurfaceText, CopiesToAndFromDeviceContexts) {
    TSurface32 A, B;
    A.SetSize(3, 2);
    for (int I = 0; I < 6; ++I) A.Bits()[I] = 0x10203040u * (I + 1);
    B.SetSize(4, 4);
    A.DrawTo(B.Handle(), 1, 1);
    EXPECT_EQ(B.GetPixel(1, 1), A.GetPixel(0, 0));  // alpha copied too
    EXPECT_EQ(B.GetPixel(3, 2), A.GetPixel(2, 1));
    EXPECT_EQ(B.GetPixel(0, 0), 0u);
    TSurface32 C;
    C.SetSize(6, 2);
    C.Draw(Rect(0, 0, 6, 2), Rect(0, 0, 3, 2), A.Handle());
    EXPECT_EQ(C.GetPixel(1, 0), A.GetPixel(0, 0));
    EXPECT_EQ(C.GetPixel(5, 1), A.GetPixel(2, 1));
}
