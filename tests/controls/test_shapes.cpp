// Shapes, lines and markers: figure geometry and its opaque outline, which setters
// repaint, the line's gradient pieces, dashes, orientation and thickness, the circle
// shape's picture, and a marker drawn onto a device context.

#include <cmath>

#include "controls/uPelluxCircleShape.h"
#include "controls/uPelluxLine.h"
#include "controls/uPelluxMarker.h"
#include "controls/uPelluxShape.h"
#include "draw/uQvColor32.h"
#include "draw/uQvVectors.h"
#include "skin/uPelluxResManager.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr TColor32 Back = Color32(30, 60, 90);

class ShapesTest : public PelluxTest {
protected:
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
};

// Antialiased fills and strokes blend even opaque colours, so a channel may come out
// a little lower.
bool Near(uint32_t A, uint32_t B, int Off = 1) {
    for (int Shift = 0; Shift < 32; Shift += 8)
        if (std::abs(static_cast<int>(A >> Shift & 255) - static_cast<int>(B >> Shift & 255)) > Off) return false;
    return true;
}

float Reach(const TArrayOfFloatPoint& P, TFloatPoint C) {
    float R = 0;
    for (const TFloatPoint& Q : P) R = std::max(R, std::hypot(Q.X - C.X, Q.Y - C.Y));
    return R;
}

TEST_F(ShapesTest, FiguresAndTheirOpaqueOutline) {
    auto* S = Place<TPelluxShape>(Rect(10, 10, 75, 75));
    EXPECT_NEAR(Reach(S->FigurePoints(), {32.5f, 32.5f}), 31.5f, 1e-4);
    EXPECT_TRUE(Near(At(S, 32, 32), Color32(102, 99, 139)));
    EXPECT_EQ(At(S, 1, 1), Back);

    // A 2-pixel pen shrinks the circle by a pen half and keeps its colour opaque over a
    // translucent fill (whose coverage goes through the fill's gamma).
    S->Pen()->SetVisible(true);
    S->SetAlpha(128);
    ProcessMessages();
    EXPECT_NEAR(Reach(S->FigurePoints(), {32.5f, 32.5f}), 30.5f, 1e-4);
    EXPECT_TRUE(Near(At(S, 62, 32), Color32(248, 111, 86)));
    const uint32_t Mid = At(S, 32, 32);
    EXPECT_GT(RedComponent(Mid), 30 + 10);
    EXPECT_LT(RedComponent(Mid), 102 - 10);
    EXPECT_GT(BlueComponent(Mid), 90 + 5);
    EXPECT_LT(BlueComponent(Mid), 139 - 5);

    // The ellipse's box is offset by a pixel: centre (51, 31), radii (48, 28).
    S->Pen()->SetVisible(false);
    S->SetShape(skEllipse);
    S->SetBounds(10, 10, 100, 60);
    const TArrayOfFloatPoint E = S->FigurePoints();
    ASSERT_FALSE(E.empty());
    EXPECT_FLOAT_EQ(E[0].X, 99);
    EXPECT_FLOAT_EQ(E[0].Y, 31);

    // Rounded square at the top-left; non-positive radii become 1.
    S->SetShape(skRoundSquare);
    S->SetRoundRadius(-4);
    EXPECT_EQ(S->RoundRadius(), 1);
    for (const TFloatPoint& P : S->FigurePoints()) {
        EXPECT_LE(P.X, 59.0f + 1e-4f);
        EXPECT_LE(P.Y, 59.0f + 1e-4f);
    }
}

TEST_F(ShapesTest, SettersRepaintOnlyWhatShows) {
    auto* S = Place<TPelluxShape>(Rect(10, 10, 75, 75));
    int Paints = 0;
    S->OnBackgroundChanged = [&](TObject*, TSurface32*) { ++Paints; };
    S->SetSvgPath(u"M 0 0 L 10 10 Z");
    S->SetRoundRadius(20);
    ProcessMessages();
    EXPECT_EQ(Paints, 0);
    S->SetShape(skSVG);
    ProcessMessages();
    EXPECT_EQ(Paints, 1);
    S->SetSvgPath(u"M 0 0 L 40 0 L 40 40 Z");
    ProcessMessages();
    EXPECT_EQ(Paints, 2);
    EXPECT_NE(At(S, 38, 10), Back);
    // A broken path is refused where it is set; the shape keeps painting the old one.
    EXPECT_ANY_THROW(S->SetSvgPath(u"Q 1 2"));
    EXPECT_EQ(S->SvgPath(), u"M 0 0 L 40 0 L 40 40 Z");
    S->Invalidate();
    ProcessMessages();
    EXPECT_NE(At(S, 38, 10), Back);
}

TEST_F(ShapesTest, LineGradientDashesOrientationAndThickness) {
    auto* L = Place<TPelluxLine>(Rect(10, 10, 265, 13));
    L->SetGradientStartColor(RGB(255, 0, 0));
    L->SetGradientEndColor(RGB(0, 0, 255));
    ProcessMessages();
    // S = 153, c = 127: the start colour on the centre column, fading to both ends.
    EXPECT_EQ(At(L, 126, 1), Color32(255, 0, 0));
    EXPECT_GT(RedComponent(At(L, 127, 1)), 250);
    EXPECT_GT(BlueComponent(At(L, 0, 1)), RedComponent(At(L, 0, 1)));
    EXPECT_GT(RedComponent(At(L, 0, 1)), 20);
    EXPECT_GT(BlueComponent(At(L, 254, 1)), RedComponent(At(L, 254, 1)));
    EXPECT_GT(RedComponent(At(L, 254, 1)), 20);
    EXPECT_EQ(At(L, 126, 2), At(L, 126, 0));

    L->SetGradientSize(150);
    EXPECT_EQ(L->GradientSize(), 60);

    // Dotted, no gradient: 4 on, 2 off in the upper two rows only.
    L->SetActiveGradient(false);
    L->SetColor(RGB(255, 255, 255));
    L->SetStyle(psDot);
    ProcessMessages();
    for (int X = 0; X < 24; ++X) {
        const bool On = X % 6 < 4;
        EXPECT_EQ(Near(At(L, X, 0), Color32(255, 255, 255)), On) << X;
        EXPECT_EQ(Near(At(L, X, 1), Color32(255, 255, 255)), On) << X;
        EXPECT_EQ(At(L, X, 2), Back) << X;
    }

    L->SetKind(lkVertical);
    EXPECT_EQ(L->Width(), 3);
    EXPECT_EQ(L->Height(), 255);
    L->SetKind(lkVertical);
    EXPECT_EQ(L->Width(), 3);
    L->SetKind(lkHorizontal);
    L->SetAutoSize(true);
    L->SetBounds(10, 10, 255, 10);
    EXPECT_EQ(L->Height(), 3);
    L->SetAutoSize(false);
    L->SetBounds(10, 10, 255, 0);
    EXPECT_EQ(L->Height(), 1);
}

TEST_F(ShapesTest, CircleShapeRestsItsPictureOnTheBottomEdge) {
    TPelluxImage Picture;
    Picture.SetSize(40, 40);
    Picture.Clear(Color32(250, 200, 0));
    SkinResManager().OnGetImage = [&](TObject*, const String& Name, TPelluxImage*& Image) {
        if (Name == u"Face") Image = &Picture;
    };
    auto* C = Place<TPelluxCircleShape>(Rect(20, 20, 100, 100));
    EXPECT_EQ(At(C, 40, 40), Back);
    C->SetPicture(u"Face");
    ProcessMessages();
    EXPECT_TRUE(Near(At(C, 40, 60), Color32(250, 200, 0), 2));
    EXPECT_TRUE(Near(At(C, 21, 60), Color32(250, 200, 0), 2));
    EXPECT_TRUE(Near(At(C, 30, 70), Color32(250, 200, 0), 2));
    EXPECT_TRUE(Near(At(C, 15, 60), Color32(28, 183, 235)));
    EXPECT_TRUE(Near(At(C, 40, 10), Color32(28, 183, 235)));
    EXPECT_EQ(At(C, 1, 1), Back);
}

TEST_F(ShapesTest, MarkerDrawsOntoADeviceContext) {
    TSurface32 Host;
    Host.SetSize(40, 30);
    Host.Clear(Color32(255, 255, 255));
    TPelluxCircleMarker M(nullptr);
    M.SetX(5);
    M.SetY(4);
    M.SetWidth(23);
    M.SetHeight(15);
    M.SetRoundSize(12);
    M.SetText(u"");
    M.Pen()->SetStyle(psClear);
    M.Brush()->SetColor(RGB(243, 156, 18));
    M.Draw(Host.Handle());
    M.Draw(nullptr);
    EXPECT_TRUE(Near(Host.GetPixel(16, 11), Color32(243, 156, 18)));
    EXPECT_EQ(Host.GetPixel(5, 4), Color32(255, 255, 255));
    EXPECT_EQ(Host.GetPixel(4, 11), Color32(255, 255, 255));

    // Clear pen and brush: only the text.
    Host.Clear(Color32(255, 255, 255));
    M.Brush()->SetStyle(bsClear);
    M.Font()->SetColor(clBlack);
    M.SetText(u"8");
    M.Draw(Host.Handle());
    int Ink = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) {
            const TColor32 P = Host.GetPixel(X, Y);
            EXPECT_EQ(RedComponent(P), BlueComponent(P));
            Ink += P != Color32(255, 255, 255);
        }
    EXPECT_GT(Ink, 5);
}

}  // namespace
