// Panels and labels: fills, border lines and the client inset, the gradient's pieces, the
// bordered panel's hot ring, label alignment and auto-size, the link label's hot font.

#include "controls/uPelluxLabel.h"
#include "controls/uPelluxPanel.h"
#include "draw/uQvColor32.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr TColor32 Back = Color32(30, 60, 90);

int MaxChannelOff(uint32_t A, uint32_t B) {
    int Off = 0;
    for (int Shift = 0; Shift < 24; Shift += 8)
        Off = std::max(Off, std::abs(static_cast<int>(A >> Shift & 255) - static_cast<int>(B >> Shift & 255)));
    return Off;
}

using PanelsTest = PelluxTest;

TEST_F(PanelsTest, FillBordersAndClientInset) {
    auto* P = Place<TPelluxPanel>(Rect(10, 10, 110, 60));
    P->SetAlpha(0);
    P->SetBorderColor(RGB(200, 100, 50));
    ProcessMessages();
    // Alpha 0: only the parent shows inside; outer lines in BorderColor, inner ones white.
    EXPECT_EQ(At(P, 50, 25), Back);
    EXPECT_EQ(At(P, 0, 25), Color32(200, 100, 50));
    EXPECT_EQ(At(P, 99, 25), Color32(200, 100, 50));
    EXPECT_EQ(At(P, 50, 49), Color32(200, 100, 50));
    EXPECT_EQ(At(P, 1, 25), Color32(255, 255, 255));
    EXPECT_EQ(At(P, 98, 25), Color32(255, 255, 255));
    EXPECT_EQ(At(P, 2, 25), Back);

    auto* Child = new TPelluxPanel(P);
    Child->SetAlign(alClient);
    Child->SetParent(P);
    EXPECT_EQ(Child->BoundsRect(), Rect(2, 2, 98, 48));
    P->SetDoubleBorder(false);
    P->SetBorderSides({sdLeft, sdBottom});
    EXPECT_EQ(Child->BoundsRect(), Rect(1, 0, 100, 49));

    // A translucent fill blends Color over the parent; opaque fills ignore OnCustomDraw.
    int CustomDraws = 0;
    P->OnCustomDraw = [&](TObject*, TSurface32*) { ++CustomDraws; };
    P->SetColor(RGB(255, 255, 255));
    P->SetAlpha(128);
    Child->SetVisible(false);
    ProcessMessages();
    EXPECT_LE(MaxChannelOff(At(P, 50, 25), Color32(143, 158, 173)), 1);
    EXPECT_GT(CustomDraws, 0);
    CustomDraws = 0;
    P->SetAlpha(255);
    ProcessMessages();
    EXPECT_EQ(At(P, 50, 25), Color32(255, 255, 255));
    EXPECT_EQ(CustomDraws, 0);

    // One pixel wide: no right line, the left one stays.
    P->SetBorderSides({sdLeft, sdRight});
    P->SetColor(RGB(0, 0, 0));
    P->SetBounds(10, 10, 1, 50);
    ProcessMessages();
    EXPECT_EQ(At(P, 0, 25), Color32(200, 100, 50));
}

TEST_F(PanelsTest, GradientPiecesFollowSizeAndAlign) {
    auto* P = Place<TPelluxPanel>(Rect(10, 10, 110, 110));
    P->SetBorderSides({});
    P->SetAlpha(255);
    P->SetBackgroundFillType(ftGradient);
    P->SetGradientStartColor(RGB(255, 0, 0));
    P->SetGradientEndColor(RGB(0, 0, 255));
    ProcessMessages();
    // Vertical, centred, 60 %: the start colour on the centre row, the upper piece fading
    // upwards from it and the lower one down to the bottom edge.
    EXPECT_LE(MaxChannelOff(At(P, 50, 50), Color32(255, 0, 0)), 8);
    EXPECT_LE(MaxChannelOff(At(P, 50, 49), Color32(255, 0, 0)), 8);
    EXPECT_LE(MaxChannelOff(At(P, 50, 99), Color32(0, 0, 255)), 8);
    const uint32_t Top = At(P, 50, 0);
    EXPECT_GT(BlueComponent(Top), 20);
    EXPECT_GT(RedComponent(Top), 20);

    // Horizontal from the left over 29 %: exactly columns 0 .. 28 carry the gradient.
    P->SetGradientDirection(gdHorizontal);
    P->SetGradientAlign(gaLeft);
    P->SetGradientSize(29);
    ProcessMessages();
    EXPECT_LE(MaxChannelOff(At(P, 0, 50), Color32(255, 0, 0)), 8);
    EXPECT_NE(At(P, 28, 50), Back);
    EXPECT_EQ(At(P, 29, 50), Back);
    EXPECT_EQ(At(P, 99, 99), Back);

    // From the right: the start colour at the right edge.
    P->SetGradientAlign(gaRight);
    ProcessMessages();
    EXPECT_LE(MaxChannelOff(At(P, 99, 50), Color32(255, 0, 0)), 8);
    EXPECT_EQ(At(P, 70, 50), Back);
    EXPECT_NE(At(P, 71, 50), Back);
}

TEST_F(PanelsTest, BorderPanelRingTurnsHotOnHoverAndFocus) {
    auto* P = Place<TPelluxBorderPanel>(Rect(20, 20, 120, 80));
    P->SetTabStop(true);
    ProcessMessages();
    const uint32_t Normal = At(P, 0, 30);
    EXPECT_EQ(At(P, 50, 30), Back);
    MoveTo(P, 50, 30);
    ASSERT_TRUE(P->OverControl());
    const uint32_t Hot = At(P, 0, 30);
    EXPECT_NE(Hot, Normal);
    EXPECT_EQ(At(P, 50, 30), Back);
    MoveTo(Form, 300, 250);
    EXPECT_FALSE(P->OverControl());
    EXPECT_EQ(At(P, 0, 30), Normal);
    P->UpdateFrame(false, true);
    ProcessMessages();
    EXPECT_EQ(At(P, 0, 30), Hot);
    P->UpdateFrame(false, false);
    P->SetActiveHotFrame(false);
    P->SetInControl(true);
    ProcessMessages();
    EXPECT_EQ(At(P, 0, 30), Normal);

    auto* Child = new TPelluxPanel(P);
    Child->SetAlign(alClient);
    Child->SetParent(P);
    EXPECT_EQ(Child->BoundsRect(), Rect(2, 2, 98, 58));
}

TEST_F(PanelsTest, LabelAlignmentAutoSizeAndLinkHotFont) {
    auto* L = Place<TPelluxLabel>(Rect(10, 10, 70, 27));
    L->Font()->SetColor(clWhite);
    L->Font()->SetSize(14);
    L->Font()->SetStyle(TFontStyles{fsBold});
    L->SetCaption(u"Settings");
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    Measure.SetFont(L->Font());
    const int W = Measure.TextWidth(u"Settings");
    const int H = Measure.TextHeight(u"Settings");
    EXPECT_EQ(L->Width(), W);
    EXPECT_EQ(L->Height(), H);

    // An ellipsis freezes the size; a longer caption then keeps it.
    L->SetEllipsisPosition(epEndEllipsis);
    L->SetCaption(u"Settings and preferences");
    EXPECT_EQ(L->Width(), W);

    // Bottom alignment draws one line whose glyphs sit in the lowest text line.
    L->SetAutoSize(false);
    L->SetEllipsisPosition(epNone);
    L->SetCaption(u"Ag");
    L->SetBounds(10, 10, 80, 60);
    L->SetAlignmentVertical(taAlignBottom);
    ProcessMessages();
    int FirstInk = -1;
    for (int Y = 0; Y < 60 && FirstInk < 0; ++Y)
        for (int X = 0; X < 80; ++X)
            if (At(L, X, Y) != Back) {
                FirstInk = Y;
                break;
            }
    EXPECT_GE(FirstInk, 60 - H);

    auto* Link = Place<TQvURLButton>(Rect(10, 100, 70, 117));
    Link->Font()->SetColor(clWhite);
    Link->SetCaption(u"Help");
    ProcessMessages();
    const auto HasBlueInk = [&] {
        for (int Y = 0; Y < Link->Height(); ++Y)
            for (int X = 0; X < Link->Width(); ++X) {
                const uint32_t C = At(Link, X, Y);
                if (BlueComponent(C) > 200 && RedComponent(C) < 60) return true;
            }
        return false;
    };
    EXPECT_FALSE(HasBlueInk());
    EXPECT_EQ(Link->Cursor(), crHandPoint);
    MoveTo(Link, 2, 2);
    EXPECT_TRUE(Link->MouseInside());
    EXPECT_TRUE(HasBlueInk());
}

}  // namespace
