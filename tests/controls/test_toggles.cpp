// Check box, radio box and switch: every state frame read off the screen, the
// right-to-left layout, radio groups with their click rule, Space, arrows within a radio
// group and mnemonics, the switch's caption layout.

#include "controls/uPelluxCheckBox.h"
#include "controls/uPelluxPanel.h"
#include "draw/uQvColor32.h"
#include "platform/uQvInput.h"
#include "skin/uPelluxResManager.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr TColor32 Colors[6] = {Color32(200, 0, 0),   Color32(0, 200, 0),   Color32(0, 0, 200),
                                Color32(200, 200, 0), Color32(0, 200, 200), Color32(200, 0, 200)};
constexpr uint32_t Background = 0xFF1E3C5Au;  // the form's RGB(30, 60, 90)

class TogglesTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        // Four 10 x 10 frames and two three-frame strips; 2 leftover columns each, dropped.
        MakeStrip(Four, 0, 4);
        MakeStrip(Off, 0, 3);
        MakeStrip(On, 3, 3);
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"TestStrip") Image = &Four;
            if (Name == u"TestOff") Image = &Off;
            if (Name == u"TestOn") Image = &On;
        };
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
    static void MakeStrip(TPelluxImage& Strip, int First, int Count) {
        Strip.SetSize(Count * 10 + 2, 10);
        Strip.Clear(0xFFFFFFFFu);
        for (int I = 0; I < Count; ++I) Strip.FillRect(I * 10, 0, I * 10 + 10, 10, Colors[First + I]);
    }
    template <typename T>
    T* Add(TWinControl* Parent, TRect R, const String& Caption = u"") {
        auto* C = new T(Form);
        C->SetBoundsRect(R);
        C->SetCaption(Caption);
        C->SetPictures(u"TestStrip");
        C->OnChanged = [this, C](TObject*) { Changes.push_back(C); };
        C->OnClick = [this, C](TObject*) { Clicks.push_back(C); };
        C->SetParent(Parent);
        ProcessMessages();
        return C;
    }
    // Which colour shows at a client point (-1: none of them).
    int Shown(const TControl* C, int X = 5, int Y = 8) {
        ProcessMessages();
        const uint32_t P = At(C, X, Y);
        for (int I = 0; I < 6; ++I)
            if ((P & 0xFFFFFF) == (Colors[I] & 0xFFFFFF)) return I;
        return -1;
    }
    void ClickAt(const TControl* C, int X = 5, int Y = 8) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        Headless->Click(S.X, S.Y);
        RunScript();
    }
    void Key(int Vk) {
        Headless->Key(Vk);
        RunScript();
    }
    TPelluxImage Four, Off, On;
    std::vector<TObject*> Changes, Clicks;
};

TEST_F(TogglesTest, CheckBoxFramesPressSpaceAndRightToLeft) {
    auto* C = Add<TPelluxCheckBox>(Form, Rect(10, 10, 123, 27), u"Mail");
    EXPECT_EQ(Shown(C), 0);
    MoveTo(C, 5, 8);
    EXPECT_EQ(Shown(C), 1);
    // The press toggles (and focuses); the release clicks.
    Headless->Press();
    RunScript();
    EXPECT_TRUE(C->Checked());
    EXPECT_TRUE(C->Focused());
    EXPECT_EQ(Shown(C), 3);
    EXPECT_TRUE(Clicks.empty());
    Headless->Release();
    RunScript();
    EXPECT_EQ(Clicks.size(), 1u);
    MoveTo(Form, 300, 200);
    EXPECT_EQ(Shown(C), 2);
    Key(VK_SPACE);
    EXPECT_FALSE(C->Checked());
    EXPECT_EQ(Shown(C), 0);
    EXPECT_EQ(Changes.size(), 2u);

    // Right to left: the box at the right edge, the caption ending 3 pixels before it.
    C->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(Shown(C, 108), 0);
    EXPECT_EQ(At(C, 5, 8), Background);
    int Rightmost = -1;
    for (int X = 0; X < 103; ++X)
        for (int Y = 0; Y < 17; ++Y)
            if (At(C, X, Y) != Background) Rightmost = X;
    EXPECT_LE(Rightmost, 99);
    EXPECT_GE(Rightmost, 95);

    // Without its image a check box shows only the background, caption included.
    C->SetPictures(u"NoSuchImage");
    ProcessMessages();
    for (int X = 0; X < 113; X += 4) ASSERT_EQ(At(C, X, 8), Background);
}

TEST_F(TogglesTest, RadioFramesGroupsAndTheClickRule) {
    auto* A = Add<TPelluxRadioBox>(Form, Rect(10, 10, 123, 27));
    auto* B = Add<TPelluxRadioBox>(Form, Rect(10, 30, 123, 47));
    auto* Other = Add<TPelluxRadioBox>(Form, Rect(10, 50, 123, 67));
    Other->SetGroupIndex(1);
    Other->SetChecked(true);
    auto* Panel = new TPelluxPanel(Form);
    Panel->SetBoundsRect(Rect(200, 10, 380, 100));
    Panel->SetParent(Form);
    auto* Elsewhere = Add<TPelluxRadioBox>(Panel, Rect(5, 5, 118, 22));
    Elsewhere->SetChecked(true);
    Changes.clear();

    // Frames: unchecked 0, unchecked hot 3, checked 1, checked hot 2.
    EXPECT_EQ(Shown(A), 0);
    MoveTo(A, 5, 8);
    EXPECT_EQ(Shown(A), 3);
    // Checking in code reports a change but no click.
    A->SetChecked(true);
    EXPECT_EQ(Shown(A), 2);
    MoveTo(Form, 150, 280);
    EXPECT_EQ(Shown(A), 1);
    EXPECT_TRUE(Clicks.empty());

    // A click checks B, unchecks A (each told), and reports once; other groups and other
    // parents keep theirs.
    ClickAt(B);
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(A->Checked());
    EXPECT_TRUE(Other->Checked());
    EXPECT_TRUE(Elsewhere->Checked());
    EXPECT_EQ(Changes, (std::vector<TObject*>{A, A, B}));
    EXPECT_EQ(Clicks, (std::vector<TObject*>{B}));
    // Clicking the checked box changes and reports nothing (a second press this soon
    // would be a double click).
    Changes.clear();
    Wait(600);
    ClickAt(B);
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Clicks.size(), 1u);

    // A press released outside checks without a click, and the next click on the checked
    // box still reports nothing.
    const TPoint In = A->ClientToScreen(TPoint{5, 8});
    Headless->Drag(In.X, In.Y, In.X + 150, In.Y + 250);
    RunScript();
    EXPECT_TRUE(A->Checked());
    EXPECT_EQ(Clicks.size(), 1u);
    Wait(600);
    ClickAt(A);
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(TogglesTest, SpaceArrowsAndMnemonics) {
    auto* A = Add<TPelluxRadioBox>(Form, Rect(10, 10, 123, 27));
    auto* Check = Add<TPelluxCheckBox>(Form, Rect(10, 30, 123, 47), u"&Cherry");
    auto* B = Add<TPelluxRadioBox>(Form, Rect(10, 50, 123, 67));
    auto* C = Add<TPelluxRadioBox>(Form, Rect(10, 70, 123, 87));
    auto* Lone = Add<TPelluxRadioBox>(Form, Rect(10, 90, 123, 107));
    Lone->SetGroupIndex(4);
    Form->SetActiveControl(A);
    ProcessMessages();
    Key(VK_SPACE);
    EXPECT_TRUE(A->Checked());
    // Arrows move within the group, past the check box, wrapping, and check as they go.
    Key(VK_DOWN);
    EXPECT_TRUE(B->Focused());
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(A->Checked());
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_TRUE(A->Focused());
    EXPECT_TRUE(A->Checked());
    Key(VK_UP);
    EXPECT_TRUE(C->Focused() && C->Checked());
    EXPECT_TRUE(Clicks.empty());
    // A radio box alone in its group lets the arrows move the focus as usual.
    Lone->SetFocus();
    ProcessMessages();
    Key(VK_UP);
    EXPECT_TRUE(C->Focused());
    EXPECT_TRUE(C->Checked());
    EXPECT_FALSE(Lone->Checked());
    // A mnemonic focuses without changing the state.
    Headless->Text(u"c");
    RunScript();
    EXPECT_TRUE(Check->Focused());
    EXPECT_FALSE(Check->Checked());
}

TEST_F(TogglesTest, SwitchFramesFlipOnPressAndCaptionLayout) {
    auto* S = new TPelluxSwitchButton(Form);
    S->SetBounds(10, 10, 80, 18);
    S->ImageOFF()->SetImage(u"TestOff");
    S->ImageON()->SetImage(u"TestOn");
    int Changed = 0;
    S->OnChanged = [&](TObject*) { ++Changed; };
    S->SetParent(Form);
    EXPECT_EQ(Shown(S), 0);
    MoveTo(S, 5, 8);
    EXPECT_EQ(Shown(S), 1);
    Headless->Press();
    RunScript();
    EXPECT_TRUE(S->Checked());
    EXPECT_TRUE(S->Focused());
    EXPECT_EQ(Shown(S), 5);
    Headless->Release();
    RunScript();
    EXPECT_EQ(Shown(S), 4);
    MoveTo(Form, 300, 200);
    EXPECT_EQ(Shown(S), 3);
    Key(VK_SPACE);
    EXPECT_FALSE(S->Checked());
    EXPECT_EQ(Changed, 2);
    S->SetCanFocused(false);
    Key(VK_SPACE);
    EXPECT_FALSE(S->Checked());

    // The picture after the caption plus 4 + 6 pixels; on the right, 6 after the picture.
    S->SetCaptionVisible(true);
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    Measure.SetFont(S->Font());
    const int TextWidth = Measure.TextWidth(u"关闭");
    EXPECT_EQ(Shown(S, 10 + TextWidth, 8), 0);
    EXPECT_EQ(At(S, 9 + TextWidth, 8) & 0xFFFFFF, Background & 0xFFFFFF);
    S->SetCaptionAlign(sbcaRigth);
    EXPECT_EQ(Shown(S, 0, 8), 0);
    bool TextAfter = false;
    for (int X = 16; X < 80; ++X)
        for (int Y = 0; Y < 18; ++Y) TextAfter = TextAfter || At(S, X, Y) != Background;
    EXPECT_TRUE(TextAfter);
    for (int Y = 0; Y < 18; ++Y) EXPECT_EQ(At(S, 14, Y), Background);
}

}  // namespace
