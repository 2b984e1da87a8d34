// The button family: the frame of each state, toggle groups, release outside, the
// drop-down release, auto-repeat on the virtual clock, keys, mnemonics, default and
// cancel, and a button freed by its own click.

#include "controls/uPelluxButton.h"
#include "draw/uQvColor32.h"
#include "framework/uQvMenus.h"
#include "platform/uQvInput.h"
#include "skin/uPelluxResManager.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr TColor32 FrameColors[4] = {Color32(200, 0, 0), Color32(0, 200, 0), Color32(0, 0, 200),
                                     Color32(90, 90, 90)};

class ButtonsTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        Strip.SetSize(40, 10);
        for (int I = 0; I < 4; ++I) Strip.FillRect(I * 10, 0, I * 10 + 10, 10, FrameColors[I]);
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"TestStrip") Image = &Strip;
        };
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
    TPelluxImageButton* NewButton(TRect R, int Group = 0) {
        auto* B = new TPelluxImageButton(Form);
        B->SetBoundsRect(R);
        B->SetGroupIndex(Group);
        TPngPictures* P = B->Pictures();
        P->SetImage(u"TestStrip");
        P->SetCount(4);
        P->SetNormal(0);
        P->SetHot(1);
        P->SetPressed(2);
        P->SetDisable(3);
        P->SetActive(true);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(B); };
        B->SetParent(Form);
        ProcessMessages();
        return B;
    }
    // Which frame the button shows, read off the screen (-1: none of them).
    int Shown(const TControl* B) {
        ProcessMessages();
        // The frame is cut and blended, so a channel may come out one lower.
        const uint32_t P = At(B, 5, 5);
        for (int I = 0; I < 4; ++I) {
            int Off = 0;
            for (int Shift = 0; Shift < 24; Shift += 8)
                Off = std::max(Off, std::abs(static_cast<int>(P >> Shift & 255) -
                                             static_cast<int>(FrameColors[I] >> Shift & 255)));
            if (Off <= 1) return I;
        }
        return -1;
    }
    void ClickAt(const TControl* B, int X, int Y) {
        const TPoint S = B->ClientToScreen(TPoint{X, Y});
        Headless->Click(S.X, S.Y);
        RunScript();
    }
    TPelluxImage Strip;
    std::vector<TObject*> Clicks;
};

TEST_F(ButtonsTest, EveryStateShowsItsFrame) {
    auto* B = NewButton(Rect(10, 10, 20, 20));
    EXPECT_EQ(Shown(B), 0);
    MoveTo(B, 5, 5);
    EXPECT_EQ(B->VisualState(), TQvVisualState::Hot);
    EXPECT_EQ(Shown(B), 1);
    Headless->Press();
    RunScript();
    EXPECT_EQ(Shown(B), 2);
    Headless->Release();
    RunScript();
    EXPECT_EQ(Shown(B), 1);
    EXPECT_EQ(Clicks.size(), 1u);
    // Hovered and disabled shows hot; disabled alone the disabled frame.
    B->SetEnabled(false);
    EXPECT_EQ(Shown(B), 1);
    MoveTo(Form, 200, 200);
    EXPECT_EQ(Shown(B), 3);
    B->SetEnabled(true);
    B->SetDown(true);
    MoveTo(B, 5, 5);
    EXPECT_EQ(Shown(B), 2);
}

TEST_F(ButtonsTest, GroupsLatchToggleAndReleaseOutsideClicksNothing) {
    auto* A = NewButton(Rect(10, 10, 20, 20), 1);
    auto* B = NewButton(Rect(30, 10, 40, 20), 1);
    auto* Plain = NewButton(Rect(50, 10, 60, 20));
    ClickAt(A, 5, 5);
    EXPECT_TRUE(A->Down());
    ClickAt(B, 5, 5);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(Clicks, (std::vector<TObject*>{A, B}));

    B->SetAllowAllUp(true);
    ClickAt(B, 5, 5);
    EXPECT_FALSE(B->Down());
    ClickAt(B, 5, 5);
    EXPECT_TRUE(B->Down());

    Clicks.clear();
    const TPoint In = Plain->ClientToScreen(TPoint{5, 5});
    Headless->Drag(In.X, In.Y, In.X + 100, In.Y + 100);
    RunScript();
    EXPECT_FALSE(Plain->Down());
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(ButtonsTest, ADropDownMenuLeavesTheButtonReleasedWithoutRepeat) {
    TPopupMenu Menu(nullptr);
    auto* Item = new TMenuItem(&Menu);
    Item->SetCaption(u"One");
    Menu.Items()->Add(Item);
    auto* B = NewButton(Rect(10, 10, 60, 30));
    B->OnClick = nullptr;
    B->SetDropdownMenu(&Menu);
    B->SetCycleDownClick(true);
    int Repeats = 0;
    B->OnCycleDownClick = [&](TObject*) { ++Repeats; };
    EXPECT_GT(B->ArrowRect().Width(), 0);
    // Without OnClick a press anywhere opens the menu; Esc closes it.
    const TPoint S = B->ClientToScreen(TPoint{3, 3});
    Headless->Click(S.X, S.Y);
    Headless->Delay(50);
    Headless->Key(VK_ESCAPE);
    RunScript();
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(B->MouseHeld());
    Wait(1000);
    EXPECT_EQ(Repeats, 0);
    EXPECT_EQ(B->VisualState(), TQvVisualState::Hot);
}

TEST_F(ButtonsTest, HoldingRepeatsAfterTheDelayUntilRelease) {
    auto* B = NewButton(Rect(10, 10, 60, 30));
    B->SetCycleDownClick(true);
    int Repeats = 0;
    B->OnCycleDownClick = [&](TObject*) { ++Repeats; };
    MoveTo(B, 5, 5);
    Headless->Press();
    RunScript();
    Wait(299);
    EXPECT_EQ(Repeats, 0);
    Wait(1);
    for (int I = 0; I < 5; ++I) Wait(10);
    EXPECT_EQ(Repeats, 5);
    Headless->Release();
    RunScript();
    Wait(100);
    EXPECT_EQ(Repeats, 5);
}

TEST_F(ButtonsTest, KeysMnemonicsDefaultAndCancel) {
    auto* Ok = NewButton(Rect(10, 10, 60, 30));
    Ok->SetCaption(u"&Save");
    Ok->SetDefault(true);
    auto* Esc = NewButton(Rect(70, 10, 120, 30));
    Esc->SetCancel(true);
    auto* Other = NewButton(Rect(130, 10, 180, 30));
    Form->SetActiveControl(Other);
    ProcessMessages();
    // Space presses on key down and clicks on key up.
    Headless->KeyDown(VK_SPACE);
    RunScript();
    EXPECT_TRUE(Other->Down());
    Headless->KeyUp(VK_SPACE);
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<TObject*>{Other}));
    // Enter goes to the focused button of the family, Esc to the cancel button.
    Clicks.clear();
    Headless->Key(VK_RETURN);
    Headless->Key(VK_ESCAPE);
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<TObject*>{Other, Esc}));
    // Two mnemonic presses within 100 ms click once.
    Clicks.clear();
    Headless->Text(u"ss");
    RunScript();
    Headless->Delay(150);
    Headless->Text(u"s");
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<TObject*>{Ok, Ok}));
}

TEST_F(ButtonsTest, AButtonFreedByItsOwnClickIsNotTouchedAgain) {
    auto* B = NewButton(Rect(10, 10, 60, 30));
    B->OnClick = [B](TObject*) { delete B; };
    ClickAt(B, 5, 5);
    EXPECT_EQ(Form->ControlCount(), 0);
}

}  // namespace
