// Colour and corner buttons: the fill of each state, the icon per state, the press shift,
// a corner button's square and rounded corners with their border, the rounded window of
// a non-smooth round button, and stored values.

#include "controls/uPelluxColorButton.h"
#include "draw/uQvColor32.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvWinPaint.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr TColor32 Background = Color32(30, 60, 90);
constexpr TColor32 IconRed = Color32(250, 0, 0);
constexpr TColor32 IconGreen = Color32(0, 250, 0);

class ColorButtonsTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        Ico.SetSize(4, 4);
        Ico.Clear(IconRed);
        IcoHot.SetSize(4, 4);
        IcoHot.Clear(IconGreen);
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"Ico") Image = &Ico;
            if (Name == u"IcoHot") Image = &IcoHot;
        };
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
    template <typename T>
    T* Place(T* B, TRect R) {
        B->SetBoundsRect(R);
        B->SetParent(Form);
        ProcessMessages();
        return B;
    }
    TColor32 Px(const TControl* B, int X, int Y) {
        ProcessMessages();
        return At(B, X, Y) | 0xFF000000u;
    }
    // The client pixels of B inside a margin, row by row.
    std::vector<TColor32> Block(const TControl* B, int Margin) {
        ProcessMessages();
        std::vector<TColor32> Out;
        for (int Y = Margin; Y < B->Height() - Margin; ++Y)
            for (int X = Margin; X < B->Width() - Margin; ++X) Out.push_back(At(B, X, Y) | 0xFF000000u);
        return Out;
    }
    TPelluxImage Ico, IcoHot;
};

TEST_F(ColorButtonsTest, EachStateFillsWithItsColourAndDisabledIsGrey) {
    auto* B = Place(new TPelluxColorButton(Form), Rect(10, 10, 90, 40));
    EXPECT_EQ(Px(B, 40, 2), Color32(255, 84, 56));
    MoveTo(B, 40, 15);
    EXPECT_EQ(Px(B, 40, 2), Color32(224, 67, 67));
    Headless->Press();
    RunScript();
    EXPECT_EQ(Px(B, 40, 2), Color32(86, 153, 218));
    Headless->Release();
    RunScript();
    EXPECT_EQ(Px(B, 40, 2), Color32(224, 67, 67));
    MoveTo(Form, 300, 250);
    EXPECT_EQ(Px(B, 40, 2), Color32(255, 84, 56));
    B->SetDown(true);
    EXPECT_EQ(Px(B, 40, 2), Color32(86, 153, 218));
    B->SetDown(false);
    // The focus frame inverts every other pixel of the rectangle one pixel inside.
    B->SetShowFocusFrame(true);
    B->SetFocus();
    EXPECT_EQ(Px(B, 1, 1), Color32(0, 171, 199));
    EXPECT_EQ(Px(B, 2, 1), Color32(255, 84, 56));
    EXPECT_EQ(Px(B, 0, 0), Color32(255, 84, 56));

    // Disabled: grey fill; the caption is drawn in grey, nothing darker.
    // Stems of large letters cover whole pixels.
    B->SetBounds(10, 10, 200, 60);
    B->Font()->SetHeight(-40);
    B->SetCaption(u"HHHH");
    B->SetEnabled(false);
    int Grey = 0;
    for (TColor32 P : Block(B, 0)) {
        EXPECT_GE(RedComponent(P), 140);
        Grey += P == Color32(140, 140, 140);
    }
    EXPECT_EQ(Px(B, 2, 2), Color32(211, 211, 211));
    EXPECT_GT(Grey, 0);
}

TEST_F(ColorButtonsTest, HotAndPressedShowHotImageOnlyWhenThereIsOne) {
    auto* B = Place(new TPelluxColorButton(Form), Rect(10, 10, 90, 40));
    B->SetImage(u"Ico");
    B->ImageOffset()->SetX(5);
    B->ImageOffset()->SetY(5);
    EXPECT_EQ(Px(B, 5, 5), IconRed);
    MoveTo(B, 40, 15);
    EXPECT_EQ(Px(B, 5, 5), IconRed);
    B->SetDown(true);
    EXPECT_EQ(Px(B, 6, 6), IconRed);

    B->SetHotImage(u"IcoHot");
    EXPECT_EQ(Px(B, 6, 6), IconGreen);
    B->SetDown(false);
    EXPECT_EQ(Px(B, 5, 5), IconGreen);
    MoveTo(Form, 300, 250);
    EXPECT_EQ(Px(B, 5, 5), IconRed);
}

TEST_F(ColorButtonsTest, PressingMovesCaptionAndIconOnePixelRightAndDown) {
    auto* B = Place(new TPelluxColorButton(Form), Rect(10, 10, 90, 40));
    B->SetPressedColor(B->NormalColor());
    B->HotFont()->Assign(B->Font());
    B->SetCaption(u"Go");
    B->SetImage(u"Ico");
    B->ImageOffset()->SetX(3);
    B->ImageOffset()->SetY(3);
    const std::vector<TColor32> Normal = Block(B, 0);
    B->SetDown(true);
    const std::vector<TColor32> Pressed = Block(B, 0);
    const int W = B->Width(), H = B->Height();
    int Differs = 0;
    for (int Y = 0; Y + 1 < H; ++Y)
        for (int X = 0; X + 1 < W; ++X) {
            ASSERT_EQ(Pressed[(Y + 1) * W + X + 1], Normal[Y * W + X]) << X << "," << Y;
            Differs += Normal[Y * W + X] != Color32(255, 84, 56);
        }
    EXPECT_EQ(Pressed[4 * W + 4], IconRed);
    EXPECT_EQ(Pressed[3 * W + 3], Color32(255, 84, 56));
    EXPECT_GT(Differs, 16);  // the caption, not only the icon
}

TEST_F(ColorButtonsTest, CornerButtonRoundsOnlyItsChosenCorners) {
    auto* B = Place(new TPelluxCornerButton(Form), Rect(10, 10, 70, 40));
    B->SetCorners({TopLeft, BottomLeft});
    const int W = 60, H = 30;
    // Even a fully covered pixel of an antialiased fill is blended, so white lands at 254.
    const TColor32 C = Color32(10, 122, 255), S = Color32(254, 254, 254);
    // Rounded left: outside the arc stays the form's colour.
    EXPECT_EQ(Px(B, 1, 1), Background);
    EXPECT_EQ(Px(B, 1, H - 2), Background);
    // Square right: the corner squares filled opaque, edged by the border lines.
    for (TPoint P : {TPoint{W - 1, 0}, TPoint{W - 2, 0}, TPoint{W - 1, 1}, TPoint{W - 1, H - 1},
                     TPoint{W - 2, H - 1}, TPoint{W - 1, H - 2}, TPoint{0, H / 2}, TPoint{W / 2, 0},
                     TPoint{W / 2, H - 1}, TPoint{W - 1, H / 2}, TPoint{10, 0}})
        EXPECT_EQ(Px(B, P.X, P.Y), C) << P.X << "," << P.Y;
    EXPECT_EQ(Px(B, W - 2, 1), Color32(255, 255, 255));
    EXPECT_EQ(Px(B, W - 2, H - 2), Color32(255, 255, 255));
    for (TPoint P : {TPoint{W / 2, H / 2}, TPoint{1, H / 2}})
        EXPECT_EQ(Px(B, P.X, P.Y), S) << P.X << "," << P.Y;

    // A thicker border is that many lines on each side.
    B->SetBorderWidth(3);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Px(B, W - 1 - I, H / 2), C);
        EXPECT_EQ(Px(B, I, H / 2), C);
        EXPECT_EQ(Px(B, W / 2, I), C);
    }
    EXPECT_EQ(Px(B, W - 4, H / 2), S);
}

TEST_F(ColorButtonsTest, RoundWindowFollowsSizeAndRoundingAndGoesWithIt) {
    auto* B = new TPelluxColorButton(Form);
    B->SetRoundSize(10);
    B->SetSmoothRound(false);
    B->SetRoundFrame(true);
    Place(B, Rect(10, 10, 90, 40));
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    const auto Shaped = [&] { return GetWindowRgn(B->Handle(), Rgn) != ERROR; };
    ASSERT_TRUE(Shaped());
    EXPECT_FALSE(PtInRegion(Rgn, 79, 15));
    EXPECT_FALSE(PtInRegion(Rgn, 1, 0));
    // The fill is square; the window clips it.
    EXPECT_EQ(Px(B, 0, 0), Background);
    EXPECT_EQ(Px(B, 40, 0), Color32(255, 84, 56));

    B->SetBounds(10, 10, 120, 30);
    ASSERT_TRUE(Shaped());
    EXPECT_TRUE(PtInRegion(Rgn, 118, 15));
    EXPECT_FALSE(PtInRegion(Rgn, 119, 15));
    EXPECT_EQ(Px(B, 118, 15), Color32(255, 84, 56));
    B->SetRoundSize(4);
    ASSERT_TRUE(Shaped());
    EXPECT_TRUE(PtInRegion(Rgn, 1, 0));
    EXPECT_FALSE(PtInRegion(Rgn, 0, 0));

    B->SetSmoothRound(true);
    EXPECT_FALSE(Shaped());
    B->SetSmoothRound(false);
    EXPECT_TRUE(Shaped());
    B->SetRoundFrame(false);
    EXPECT_FALSE(Shaped());
    EXPECT_EQ(Px(B, 0, 0), Color32(255, 84, 56));
    // Rounded again after it was painted square: the corners show the form again.
    B->SetRoundFrame(true);
    EXPECT_EQ(Px(B, 0, 0), Background);
    DeleteObject(Rgn);
}

TEST_F(ColorButtonsTest, StoredFormsKeepValuesThatEqualAnotherClassDefault) {
    TPelluxColorButton Color(nullptr);
    Color.SetPressedColor(RGB(157, 26, 26));
    TPelluxColorButton ColorBack(nullptr);
    ReadComponentText(&ColorBack, WriteComponentText(&Color));
    EXPECT_EQ(ColorBack.PressedColor(), RGB(157, 26, 26));

    TPelluxCornerButton Corner(nullptr);
    Corner.SetPressedOffset(1);
    Corner.SetRoundSize(3);
    TPelluxCornerButton CornerBack(nullptr);
    ReadComponentText(&CornerBack, WriteComponentText(&Corner));
    EXPECT_EQ(CornerBack.PressedOffset(), 1);
    EXPECT_EQ(CornerBack.RoundSize(), 3);
}

}  // namespace
