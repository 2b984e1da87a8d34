// The skinned control's paint pipeline: what lies under a transparent control, the plain
// fill, the background hooks, controls sticking out of their parent, deferred refresh.

#include "controls/base/uPelluxCtrls.h"
#include "draw/uPelluxDPI.h"
#include "draw/uQvColor32.h"
#include "platform/uQvWinPaint.h"
#include "skin/uQvSkinRegistry.h"
#include "controls/pellux_fixture.h"

namespace {

// Paints a pattern that differs at every pixel, so a copy that is off by one shows.
class TPattern : public TPelluxCustomControl {
public:
    explicit TPattern(TComponent* AOwner) : TPelluxCustomControl(AOwner) { SetTransparent(false); }
    static TColor32 PatternAt(int X, int Y) { return Color32(X * 3 & 255, Y * 5 & 255, (X + Y) & 255); }

protected:
    void DrawSkin(TSurface32* B) override {
        for (int Y = 0; Y < Height(); ++Y)
            for (int X = 0; X < Width(); ++X) B->SetPixel(X, Y, PatternAt(X, Y));
    }
};

// Draws nothing of its own (or a translucent veil) and counts its paints.
class TProbe : public TPelluxCustomControl {
public:
    explicit TProbe(TComponent* AOwner) : TPelluxCustomControl(AOwner) {}
    int Paints = 0, FullPaints = 0;
    bool Veil = false;

protected:
    void DrawSkin(TSurface32* B) override {
        ++Paints;
        if (!StopDrawBody()) ++FullPaints;
        if (Veil) B->FillRectTS(0, 0, Width(), Height(), Color32(255, 255, 255, 128));
    }
};


TEST_F(PelluxTest, TransparentControlsShowExactlyWhatLiesUnderThem) {
    auto* Back = Place<TPattern>(Form, Rect(10, 10, 210, 160));
    auto* OnSkinned = Place<TProbe>(Back, Rect(20, 30, 70, 70));
    auto* OnPlain = Place<TProbe>(Form, Rect(250, 20, 290, 60));
    auto* Opaque = Place<TProbe>(Form, Rect(250, 100, 290, 140));
    Opaque->SetTransparent(false);
    Opaque->SetColor(RGB(200, 10, 20));
    ProcessMessages();
    ASSERT_EQ(OnSkinned->Paints, 1);

    // The parent's own buffer pixels, not blended again; the plain form by its own paint.
    for (int Y = 0; Y < 40; Y += 7)
        for (int X = 0; X < 50; X += 3) ASSERT_EQ(At(OnSkinned, X, Y), TPattern::PatternAt(X + 20, Y + 30));
    EXPECT_EQ(At(OnPlain, 5, 5), 0xFF1E3C5Au);
    EXPECT_EQ(At(Opaque, 39, 39), 0xFFC80A14u);

    // A translucent drawing sits once on the parent's picture.
    OnSkinned->Veil = true;
    OnSkinned->Invalidate();
    ProcessMessages();
    const TColor32 Under = TPattern::PatternAt(20, 30);
    const auto Mix = [](uint32_t C) { return (C * 127 + 255 * 128 + 127) / 255; };
    const uint32_t Got = At(OnSkinned, 0, 0);
    EXPECT_NEAR(static_cast<int>(Got >> 16 & 255), static_cast<int>(Mix(Under >> 16 & 255)), 1);
    EXPECT_NEAR(static_cast<int>(Got & 255), static_cast<int>(Mix(Under & 255)), 1);

    // A handler that paints the background itself leaves the buffer's resize fill.
    OnPlain->SetColor(RGB(0, 128, 0));
    OnPlain->OnBackgroundChanging = [](TObject*, TSurface32*, bool& Handled) { Handled = true; };
    OnPlain->SetBounds(250, 20, 41, 40);
    ProcessMessages();
    EXPECT_EQ(At(OnPlain, 10, 10), 0xFF008000u);
}

TEST_F(PelluxTest, AControlOutsideItsParentRebuildsAtEveryPaintAndNoParentIsWhite) {
    auto* Inside = Place<TProbe>(Form, Rect(10, 10, 50, 50));
    auto* Outside = Place<TProbe>(Form, Rect(380, 10, 420, 50));
    ProcessMessages();
    EXPECT_TRUE(Inside->BufferValid());
    EXPECT_FALSE(Outside->BufferValid());
    InvalidateRect(Outside->Handle(), nullptr, false);
    InvalidateRect(Inside->Handle(), nullptr, false);
    ProcessMessages();
    EXPECT_EQ(Inside->Paints, 1);
    EXPECT_EQ(Outside->Paints, 2);

    TSurface32 S;
    S.SetSize(3, 2);
    TProbe Orphan(nullptr);
    CopyParentBackground(&Orphan, &S, Rect(0, 0, 3, 2));
    EXPECT_EQ(S.GetPixel(2, 1), 0xFFFFFFFFu);
}

TEST_F(PelluxTest, DelayRefreshEndsABurstOfSizesInOneFullPaint) {
    auto* P = Place<TProbe>(Form, Rect(10, 10, 60, 60));
    P->SetDelayRefresh(true);
    ProcessMessages();
    const int Before = P->FullPaints;
    for (int I = 0; I < 10; ++I) {
        P->SetBounds(10, 10, 61 + I, 60);
        Wait(1);
    }
    EXPECT_TRUE(P->StopDrawBody());
    EXPECT_EQ(P->FullPaints, Before);
    Wait(10);
    EXPECT_FALSE(P->StopDrawBody());
    EXPECT_EQ(P->FullPaints, Before + 1);
    Wait(50);
    EXPECT_EQ(P->FullPaints, Before + 1);
}

TEST_F(PelluxTest, ControlsJoinAndLeaveTheSkinnedControlRegistry) {
    auto* P = Place<TProbe>(Form, Rect(0, 0, 10, 10));
    EXPECT_GE(WinControlHelper()->IndexOf(P), 0);
    delete P;
    for (int I = 0; I < WinControlHelper()->GetCount(); ++I) EXPECT_NE(WinControlHelper()->Items(I), P);
}

}  // namespace

namespace {

// Sizes asked for without a control follow the main form's scale.
TEST_F(PelluxTest, ScalesWithoutAControlFollowTheMainForm) {
    HighDPIEnabled = true;
    ASSERT_EQ(Application->MainForm(), Form);
    EXPECT_EQ(GetDPIScale(nullptr), 1.0);
    Form->ScaleForPPI(144);
    EXPECT_EQ(GetDPIScale(nullptr), 1.5);
    EXPECT_TRUE(IsHighDPI());
    EXPECT_EQ(ScaleByDPI(Form, 10), 15);
    HighDPIEnabled = false;
    EXPECT_EQ(GetDPIScale(nullptr), 1.0);
}

}  // namespace
