// Form backgrounds: the shifted colours, the gradient the client area continues, the
// picture caches by fill style, the edge fade (also of small pictures) and the copies
// that paint the client area.

#include "draw/uQvColor32.h"
#include "forms/uPelluxFormBackground.h"
#include "skin/uQvSkinColors.h"
#include "controls/pellux_fixture.h"

namespace {

class FormBackgroundTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"Leaf") Image = &Leaf;
        };
        Look.FormWidth = 300;
        Look.FormHeight = 200;
        Look.MonitorWidth = 1920;
        Look.Title = 30;
        Look.Frame = 2;
        Look.TitlerColor = RGB(20, 90, 200);
        Look.Color = RGB(240, 244, 250);
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
    TPelluxImage Leaf;
    TQvBackgroundLook Look;
    TQvFormBackground Bg;
};

TEST_F(FormBackgroundTest, ColourStyleContinuesTheTitleGradient) {
    Look.ActiveGradient = false;
    Bg.BuildColor(Look);
    EXPECT_EQ(Bg.NCBkColor(), Look.TitlerColor);
    EXPECT_EQ(Bg.ClientBkColor(), Look.Color);
    TSurface32* C = Bg.Picture(ssColor);
    EXPECT_EQ(C->Width(), 310);
    EXPECT_EQ(C->GetPixel(150, 100), Color32(240, 244, 250));
    EXPECT_EQ(C->GetPixel(0, 0), C->GetPixel(309, 209));

    Look.ActiveGradient = true;
    Look.GradientHeight = 120;
    Bg.BuildColor(Look);
    const TSurface32& Strip = Bg.GradientStrip();
    ASSERT_EQ(Strip.Width(), 1930);
    ASSERT_EQ(Strip.Height(), 120);
    EXPECT_EQ(Strip.GetPixel(0, 0), Color32(20, 90, 200));
    EXPECT_EQ(Strip.GetPixel(1929, 77), Strip.GetPixel(0, 77));
    // The client's first row is the strip's row T; below the strip the plain colour.
    EXPECT_EQ(C->GetPixel(5, 0), Strip.GetPixel(5, 30));
    EXPECT_EQ(C->GetPixel(5, 89), Strip.GetPixel(5, 119));
    EXPECT_EQ(C->GetPixel(5, 90), Color32(240, 244, 250));

    Look.HueShift = 40;
    Look.BrightnessShift = -10;
    Bg.BuildColor(Look);
    EXPECT_EQ(Bg.ClientBkColor(), AdjustColorHSB(Look.Color, 40, 0, -10));

    // Painting copies the cache; a form that outgrew it gets a new one.
    TSurface32 Screen;
    Screen.SetSize(400, 300);
    Look.FormWidth = 390;
    Bg.PaintClient(Screen.Handle(), Look);
    EXPECT_EQ(C->Width(), 400);
    EXPECT_EQ(Screen.GetPixel(395, 150), SetAlpha(ToColor32(Bg.ClientBkColor()), 255));
}

TEST_F(FormBackgroundTest, PictureStylesFadeAndAlign) {
    Leaf.SetSize(240, 160);
    for (int Y = 0; Y < 160; ++Y)
        for (int X = 0; X < 240; ++X) Leaf.SetPixel(X, Y, Color32(X, Y, 100));
    Look.Style = ssPicture;
    Look.CustomPicture = u"Leaf";
    Bg.BuildPicture(Look);
    // The average of the gradient picture continues around it; its top-left is intact
    // and its far corner has dissolved into the average.
    EXPECT_EQ(Bg.PictureBgColor(), RGB(119, 79, 100));
    TSurface32* P = Bg.Picture(ssPicture);
    EXPECT_EQ(P->GetPixel(10, 10), Color32(10, 10, 100));
    const TColor32 Far = P->GetPixel(239, 159);
    EXPECT_LE(std::abs(RedComponent(Far) - 119), 2);
    EXPECT_EQ(P->GetPixel(280, 180), Color32(119, 79, 100));

    // Painted with the window's top-left corner as origin.
    TSurface32 Screen;
    Screen.SetSize(300, 200);
    Bg.PaintClient(Screen.Handle(), Look);
    EXPECT_EQ(Screen.GetPixel(0, 0), P->GetPixel(2, 30));

    // Shifts recolour from the picture as found: building twice gives the same pixels.
    Look.HueShift = 60;
    Bg.BuildPicture(Look);
    const TColor32 Once = P->GetPixel(10, 10);
    SkinResManager().OnGetImage = nullptr;
    Bg.BuildPicture(Look);
    EXPECT_EQ(P->GetPixel(10, 10), Once);
    EXPECT_NE(Once, Color32(10, 10, 100));

    // A uniform picture smaller than the fade band stays as it is.
    Leaf.SetSize(40, 30);
    Leaf.Clear(Color32(90, 160, 60));
    TSurface32 Small;
    Small.Assign(&Leaf);
    EXPECT_EQ(TQvFormBackground::FadePictureEdges(Small), RGB(90, 160, 60));
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) ASSERT_EQ(Small.GetPixel(X, Y), Color32(90, 160, 60));

    // Nine-block: exactly the form's size, laid out again at every paint.
    SkinResManager().OnGetImage = [this](TObject*, const String&, TPelluxImage*& Image) { Image = &Leaf; };
    Look.HueShift = 0;
    Look.FillStyle = mfs9Block;
    Bg.BuildPicture(Look);
    EXPECT_EQ(P->Width(), 300);
    EXPECT_EQ(P->Height(), 200);
    Look.FormWidth = 320;
    Bg.PaintClient(Screen.Handle(), Look);
    EXPECT_EQ(P->Width(), 320);
}

}  // namespace
