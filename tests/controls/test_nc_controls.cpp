// Title-bar controls: the system buttons' frames in each state, clicks that need their own
// press, hover and hint ending in the client area, the list of the form skin (once, only
// while alive, removal during a click), places, and dragging by the caption controls.

#include "controls/form_skin_fixture.h"
#include "draw/uPelluxDPI.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCImage.h"
#include "forms/uPelluxNCLabel.h"
#include "framework/uQvHints.h"
#include "platform/uQvMessages.h"
#include "skin/uPelluxResManager.h"

namespace {

constexpr TColor32 Frames[4] = {Color32(200, 0, 0), Color32(0, 200, 0), Color32(0, 0, 200),
                                Color32(90, 90, 90)};

class NCControlsTest : public FormSkinTest {
protected:
    void SetUp() override {
        FormSkinTest::SetUp();
        Strip.SetSize(40, 10);
        for (int I = 0; I < 4; ++I) Strip.FillRect(I * 10, 0, I * 10 + 10, 10, Frames[I]);
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"TestStrip") Image = &Strip;
        };
        F = NewSkinned(Bounds(500, 100, 300, 200));
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        FormSkinTest::TearDown();
    }
    TPelluxSystemButton* NewSystemButton(TSystemButtonKind Kind) {
        auto* B = new TPelluxSystemButton(F);
        for (auto Set : {&TPelluxSystemButton::SetCloseImage, &TPelluxSystemButton::SetMinimizeImage,
                         &TPelluxSystemButton::SetMaximizeImage, &TPelluxSystemButton::SetRestoresizeImage})
            (B->*Set)(u"TestStrip");
        B->Picture()->SetCount(4);
        B->Picture()->SetDisable(3);
        B->SetKind(Kind);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(B); };
        ProcessMessages();
        return B;
    }
    // A point of a control in window coordinates, below the top resize band.
    static TPoint Middle(TPelluxNCCtrlBase* C) {
        const TRect R = C->ClientRect();
        return TPoint{(R.Left + R.Right) / 2, R.Bottom - 2};
    }
    void HoverOver(TPelluxNCCtrlBase* C) {
        const TPoint P = Middle(C);
        MoveToWin(F, P.X, P.Y);
    }
    // The frame a control shows, read off the screen (-1: none of them).
    int Shown(TPelluxNCCtrlBase* C) {
        ProcessMessages();
        const TPoint P = Middle(C);
        const uint32_t Pixel = WinAt(F, P.X, P.Y);
        for (int I = 0; I < 4; ++I) {
            int Off = 0;
            for (int Shift = 0; Shift < 24; Shift += 8)
                Off = std::max(Off, std::abs(static_cast<int>(Pixel >> Shift & 255) -
                                             static_cast<int>(Frames[I] >> Shift & 255)));
            if (Off <= 1) return I;
        }
        return -1;
    }
    TForm* F = nullptr;
    TPelluxImage Strip;
    std::vector<TObject*> Clicks;
};

TEST_F(NCControlsTest, ASystemButtonShowsTheFrameOfEachState) {
    auto* Max = NewSystemButton(bkMaximize);
    EXPECT_EQ(Max->ClientRect(), Rect(300 - 68, -1, 300 - 58, 9));
    EXPECT_EQ(Shown(Max), 0);
    HoverOver(Max);
    EXPECT_EQ(Max->State(), bsHot);
    EXPECT_EQ(Shown(Max), 1);
    Headless->Press();
    RunScript();
    EXPECT_EQ(Shown(Max), 2);
    Headless->Release();
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<TObject*>{Max}));
    ASSERT_TRUE(IsZoomed(F->Handle()));
    // Maximized, the button sits one designed unit further up and to the right.
    EXPECT_EQ(Max->ClientRect(), Rect(1920 - 67, -2, 1920 - 57, 8));
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_EQ(Max->ClientRect(), Rect(300 - 68, -1, 300 - 58, 9));
    // Disabled: its own frame whatever the mouse does, and no click.
    Max->SetEnabled(false);
    HoverOver(Max);
    EXPECT_EQ(Shown(Max), 3);
    Clicks.clear();
    const TPoint S = WinToScreen(F, Middle(Max).X, Middle(Max).Y);
    Headless->Click(S.X, S.Y);
    RunScript();
    EXPECT_TRUE(Clicks.empty());
    EXPECT_FALSE(IsZoomed(F->Handle()));
}

TEST_F(NCControlsTest, AReleaseClicksOnlyTheButtonThatTookThePress) {
    auto* Min = NewSystemButton(bkMinimize);
    auto* Close = NewSystemButton(bkClose);
    HoverOver(Min);
    Headless->Press();
    RunScript();
    HoverOver(Close);
    EXPECT_EQ(Shown(Min), 0);
    Headless->Release();
    RunScript();
    EXPECT_TRUE(Clicks.empty());
    EXPECT_FALSE(IsIconic(F->Handle()));
    EXPECT_TRUE(F->Visible());
    EXPECT_EQ(Shown(Close), 1);
    // A whole click closes.
    Headless->Press();
    Headless->Release();
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<TObject*>{Close}));
    EXPECT_FALSE(F->Visible());
}

TEST_F(NCControlsTest, LeavingIntoTheClientAreaEndsTheHoverAndTheHint) {
    auto* Close = NewSystemButton(bkClose);
    Close->SetHint(u"Close");
    int Left = 0;
    Close->OnMouseLeave = [&](TObject*) { ++Left; };
    HoverOver(Close);
    THintWindow* Hint = nullptr;
    for (int I = 0; I < Close->ComponentCount(); ++I)
        if (auto* H = dynamic_cast<THintWindow*>(Close->Components(I))) Hint = H;
    ASSERT_NE(Hint, nullptr);
    EXPECT_TRUE(Hint->Active());
    const TPoint Cursor = WinToScreen(F, Middle(Close).X, Middle(Close).Y);
    EXPECT_EQ(Hint->BoundsRect().TopLeft(), (TPoint{Cursor.X + 16, Cursor.Y + 16}));
    MoveToWin(F, 150, 100);
    Wait(100);
    EXPECT_FALSE(Close->CursorEnter());
    EXPECT_FALSE(Hint->Active());
    EXPECT_EQ(Left, 1);
    EXPECT_EQ(Shown(Close), 0);
}

TEST_F(NCControlsTest, AControlIsListedOnceAndOnlyWhileItLives) {
    auto* B = new TPelluxNCButton(F);
    ProcessMessages();
    ASSERT_EQ(Skin->NCCtrlList().size(), 1u);
    EXPECT_TRUE(B->Hooked());
    EXPECT_EQ(B->ParentObject(), Skin);
    for (int I = 0; I < 2; ++I) PostMessage(F->Handle(), MM_ADDNCCTRL, reinterpret_cast<WPARAM>(B), 0);
    Wait(300);
    EXPECT_EQ(Skin->NCCtrlList().size(), 1u);
    // A control gone before its post arrives is not taken.
    auto* Gone = new TPelluxNCButton(F);
    delete Gone;
    ProcessMessages();
    EXPECT_EQ(Skin->NCCtrlList().size(), 1u);
    delete B;
    EXPECT_TRUE(Skin->NCCtrlList().empty());
    Skin->InvalidateNC();
    // Made before its form had a window: listed by the first show, not 100 ms later.
    TForm* G = NewSkinned(Bounds(100, 400, 300, 200), bsSizeable, false);
    new TPelluxNCButton(G);
    G->Show();
    ProcessMessages();
    EXPECT_EQ(Skin->NCCtrlList().size(), 1u);
}

TEST_F(NCControlsTest, RemovingAControlDuringItsOwnEventsWaitsUntilTheyReturn) {
    auto* B = new TPelluxNCButton(F);
    B->SetName(u"Clicked");
    B->Picture()->SetImage(u"TestStrip");
    B->Picture()->SetCount(4);
    B->Pos()->SetXValue(20);
    std::vector<std::string> Events;
    B->OnLMouseUp = [&](TObject*) { Events.push_back("up"); };
    B->OnClick = [&](TObject*) {
        Events.push_back("click");
        B->RemoveSelf();
        EXPECT_EQ(F->FindComponent(u"Clicked"), B);
    };
    ProcessMessages();
    const TPoint S = WinToScreen(F, Middle(B).X, Middle(B).Y);
    Headless->Click(S.X, S.Y);
    RunScript();
    EXPECT_EQ(Events, (std::vector<std::string>{"up", "click"}));
    EXPECT_EQ(F->FindComponent(u"Clicked"), nullptr);
    EXPECT_TRUE(Skin->NCCtrlList().empty());
    // Removed from its own leave event (a timer tick): freed once the tick is over.
    auto* L = new TPelluxNCButton(F);
    L->SetName(u"Leaving");
    L->Picture()->SetImage(u"TestStrip");
    L->Picture()->SetCount(4);
    L->OnMouseLeave = [&](TObject*) { L->RemoveSelf(); };
    ProcessMessages();
    HoverOver(L);
    MoveToWin(F, 150, 100);
    Wait(100);
    EXPECT_EQ(F->FindComponent(u"Leaving"), nullptr);
}

TEST_F(NCControlsTest, PlacesFollowTheEdgeAndTheDpi) {
    F->SetBounds(500, 100, 1000, 300);
    TNCCtrlPos P(F);
    P.SetAlign(caRight);
    P.SetXValue(35);
    EXPECT_EQ(P.DisplayX(), 965);
    HighDPIEnabled = true;
    F->ScaleForPPI(144);
    F->SetBounds(500, 100, 1000, 300);
    EXPECT_EQ(P.DisplayX(), 1000 - 53);
    HighDPIEnabled = false;
}

TEST_F(NCControlsTest, CaptionLabelAndPictureDragTheWindow) {
    auto* Label = new TPelluxNCLabel(F);
    Label->SetCaption(u"Title");
    auto* Picture = new TPelluxNCImage(F);
    Picture->SetPicture(u"TestStrip");
    Picture->Pos()->SetXValue(100);
    ProcessMessages();
    EXPECT_EQ(Label->ClientRect().TopLeft(), (TPoint{5, 5}));
    EXPECT_GT(Label->GetWidth(), 0);
    EXPECT_EQ(Picture->GetWidth(), 40);
    int Presses = 0;
    Picture->OnLMouseDown = [&](TObject*) { ++Presses; };
    for (bool Capture : {true, false}) {
        Picture->SetCaptureMouse(Capture);
        const TRect Before = F->BoundsRect();
        const TPoint S = WinToScreen(F, Middle(Picture).X, Middle(Picture).Y);
        Headless->MouseMove(S.X, S.Y);
        Headless->Drag(S.X, S.Y, S.X + 20, S.Y + 10);
        RunScript();
        EXPECT_EQ(F->BoundsRect(), Bounds(Before.Left + 20, Before.Top + 10, 300, 200)) << Capture;
    }
    // Without CaptureMouse the press went past the picture to the window.
    EXPECT_EQ(Presses, 1);
    const TRect Before = F->BoundsRect();
    const TPoint S = WinToScreen(F, Middle(Label).X, Middle(Label).Y);
    Headless->MouseMove(S.X, S.Y);
    Headless->Drag(S.X, S.Y, S.X - 30, S.Y + 5);
    RunScript();
    EXPECT_EQ(F->BoundsRect(), Bounds(Before.Left - 30, Before.Top + 5, 300, 200));
}

}  // namespace
