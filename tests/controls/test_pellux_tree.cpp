// The skinned trees (bars that mirror the tree's range and scroll it, the panel frame that
// follows focus and hover) and the menu-like dialog that reports a click outside a popup.

#include "controls/uPelluxButton.h"
#include "controls/uPelluxPanel.h"
#include "controls/uPelluxScrollBar.h"
#include "controls/uPelluxTree.h"
#include "controls/uQvLikeMenuDlg.h"
#include "pellux_fixture.h"
#include "platform/uQvInput.h"
#include "platform/uQvWindows.h"

namespace {

class PelluxTreeTest : public PelluxTest {
protected:
    // A 200 x 100 tree of Rows rows of 20 pixels, with a vertical bar beside it.
    TPelluxStringTree* NewTree(int Rows) {
        auto* T = Place<TPelluxStringTree>(TRect{10, 10, 210, 110});
        Bar = Place<TPelluxScrollBar>(TRect{210, 10, 226, 110});
        Bar->SetKind(sbVertical);
        T->SetDefaultNodeHeight(20);
        T->BeginUpdate();
        for (int I = 0; I < Rows; ++I) T->AddChild(nullptr);
        T->EndUpdate();
        T->SetVScrollBar(Bar);
        ProcessMessages();
        return T;
    }
    TPelluxScrollBar* Bar = nullptr;
};

TEST_F(PelluxTreeTest, TheBarMirrorsTheRangeAndScrollsTheTree) {
    auto* T = NewTree(5);  // the rows fit exactly
    EXPECT_EQ(T->BorderStyle(), bsNone);
    EXPECT_EQ(GetWindowLongPtr(T->Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    EXPECT_EQ(Bar->BindingWinControl(), T);
    EXPECT_EQ(Bar->SmallChange(), 20);
    EXPECT_EQ(Bar->PageSize(), 0);
    EXPECT_FALSE(Bar->Enabled());
    EXPECT_FALSE(Bar->Visible());  // auto-hidden without a page

    // More rows: the bar takes the range and the page, and its last position is the
    // tree's last offset.
    T->BeginUpdate();
    for (int I = 0; I < 10; ++I) T->AddChild(nullptr);
    T->EndUpdate();
    EXPECT_TRUE(Bar->Enabled());
    EXPECT_TRUE(Bar->Visible());
    EXPECT_EQ(Bar->Max(), 299);
    EXPECT_EQ(Bar->PageSize(), 100);
    EXPECT_EQ(Bar->UpperPosition(), 200);

    std::vector<TObject*> Senders;
    T->OnScrollBarChange = [&](TObject* S) {
        Senders.push_back(S);
        EXPECT_EQ(T->OffsetY(), -50);  // already scrolled when the event comes
    };
    Bar->SetPosition(50);
    EXPECT_EQ(T->OffsetY(), -50);
    EXPECT_EQ(Senders, std::vector<TObject*>{Bar});

    // The tree scrolled on its own: the bar follows without scrolling it back.
    Senders.clear();
    T->SetOffsetY(-200);
    EXPECT_EQ(Bar->Position(), 200);
    EXPECT_TRUE(Senders.empty());
    T->SetEnabled(false);
    T->SetOffsetY(0);
    EXPECT_FALSE(Bar->Enabled());
    EXPECT_EQ(Bar->Position(), 200);

    // A freed bar is forgotten; the tree scrolls on.
    delete Bar;
    EXPECT_EQ(T->VScrollBar(), nullptr);
    T->SetEnabled(true);
    T->SetOffsetY(-20);
    EXPECT_EQ(T->OffsetY(), -20);

    // A bar outliving its tree no longer scrolls it.
    auto* Second = Place<TPelluxScrollBar>(TRect{210, 10, 226, 110});
    T->SetVScrollBar(Second);
    EXPECT_EQ(Second->Position(), 20);
    delete T;
    EXPECT_EQ(Second->BindingWinControl(), nullptr);
    Second->SetPosition(40);
}

TEST_F(PelluxTreeTest, ThePanelFrameFollowsTheTreeNotThePanel) {
    auto* Panel = Place<TPelluxBorderPanel>(TRect{10, 150, 210, 250});
    auto* T = Place<TPelluxDrawTree>(Panel, TRect{2, 2, 198, 98});
    auto* Other = Place<TPelluxButton>(TRect{300, 10, 380, 40});
    ProcessMessages();
    T->SetPelluxBorderPanel(Panel);
    EXPECT_FALSE(Panel->CMMouse());

    // The panel's own rim (outside the tree) does not light the frame.
    MoveTo(Panel, 1, 50);
    EXPECT_FALSE(Panel->Hot());
    MoveTo(T, 50, 50);
    EXPECT_TRUE(Panel->OverControl());
    EXPECT_TRUE(Panel->Hot());
    MoveTo(Other, 5, 5);
    EXPECT_FALSE(Panel->Hot());

    T->SetFocus();
    ProcessMessages();
    EXPECT_TRUE(Panel->InControl());
    Other->SetFocus();
    ProcessMessages();
    EXPECT_FALSE(Panel->InControl());
    EXPECT_FALSE(Panel->Hot());

    delete Panel;  // the tree with it; nothing refers to the freed panel
    ProcessMessages();
}

class LikeMenuTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        Application->CreateForm(Popup);
        Popup->SetBorderStyle(bsNone);
        Popup->SetBounds(500, 100, 120, 80);
        Popup->Show();
        ProcessMessages();
        Dlg = new TQvLikeMenuDlg(Form);
        Dlg->OnMouseClickOutside = [this](TObject* S) {
            EXPECT_EQ(S, Dlg);
            ++Outside;
        };
    }
    HWND PopupWnd() const { return Popup->Handle(); }
    TForm* Popup = nullptr;
    TQvLikeMenuDlg* Dlg = nullptr;
    int Outside = 0;
};

TEST_F(LikeMenuTest, CapturesOutsideAndReportsTheOutsideClickOnce) {
    MoveTo(Popup, 30, 30);
    Dlg->Capture(Popup);
    Wait(40);
    EXPECT_EQ(GetCapture(), nullptr);  // the pointer is over the popup

    // A click inside keeps watching.
    Headless->Click(530, 130);
    RunScript();
    Wait(40);
    EXPECT_EQ(Outside, 0);
    EXPECT_FALSE(Dlg->Stopped());

    MoveTo(Form, 50, 50);
    Wait(20);
    EXPECT_EQ(GetCapture(), PopupWnd());
    EXPECT_TRUE(Dlg->Captured());
    Headless->Click(50, 50);
    RunScript();
    EXPECT_EQ(Outside, 1);
    EXPECT_TRUE(Dlg->Stopped());
    EXPECT_EQ(GetCapture(), nullptr);
    Wait(300);
    EXPECT_EQ(Outside, 1);

    // Back over the popup the capture is given back; a new watch starts afresh.
    Dlg->Capture(Popup);
    Wait(20);
    EXPECT_EQ(GetCapture(), PopupWnd());
    MoveTo(Popup, 10, 10);
    Wait(20);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(Dlg->Captured());
}

TEST_F(LikeMenuTest, FollowsTheDeathOfTheWatchedWindowAndLeavesOthersCapture) {
    Dlg->Capture(Popup);
    MoveTo(Form, 50, 50);
    Wait(20);
    ASSERT_TRUE(Dlg->Captured());
    // Another window takes the capture: the dialog neither releases it nor thinks it holds it.
    SetCapture(Form->Handle());
    Dlg->Stop();
    EXPECT_EQ(Outside, 1);
    EXPECT_EQ(GetCapture(), Form->Handle());
    ReleaseCapture();

    Dlg->Capture(Popup);
    delete Popup;
    EXPECT_EQ(Dlg->DestWin(), nullptr);
    Wait(40);  // the capture timer has nothing to watch
    EXPECT_EQ(GetCapture(), nullptr);

    // Freed while watching: the window gets its own procedure back and still works.
    auto* Second = new TForm(Form);
    Second->SetBounds(600, 300, 50, 50);
    Second->Show();
    Dlg->Capture(Second);
    delete Dlg;
    Dlg = nullptr;
    Second->SetCaption(u"still alive");
    EXPECT_EQ(Second->Caption(), u"still alive");
    Headless->Click(620, 320);
    RunScript();
    EXPECT_EQ(Outside, 1);
}

}  // namespace
