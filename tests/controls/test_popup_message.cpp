// Popup messages: the stack and its columns at 96 and 144 dpi, a popup at a point, the
// fade and the close pause on the virtual clock, the hover hold, the button, and windows
// that outlive their component.

#include "controls/uPelluxButton.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxPopupMessage.h"
#include "framework/uQvControlFind.h"
#include "platform/uQvHighDpi.h"
#include "controls/pellux_fixture.h"

namespace {

class PopupMessageTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        Messages = new TPelluxPopupMessage(Form);
        Messages->OnClose = [this](TObject* S) { Closed.push_back(S); };
    }
    // The virtual clock in steps of the fade timer, so no tick is merged away.
    void Run(int Ms) {
        for (int T = 0; T < Ms; T += 10) Wait(10);
    }
    TPelluxPopupForm* Short() { return Messages->Popup(u"提示", u"短消息"); }
    TPelluxPopupMessage* Messages = nullptr;
    std::vector<TObject*> Closed;
};

TEST_F(PopupMessageTest, PopupsStackUpwardThenInColumnsToTheLeftAndStartAgainAtTheRight) {
    // 100 + 20 + 27 high, 228 wide, one pixel apart from the corner and from each other.
    TPelluxPopupForm* A = Short();
    TPelluxPopupForm* B = Short();
    EXPECT_EQ(A->BoundsRect(), Bounds(1920 - 229, 1040 - 148, 228, 147));
    EXPECT_EQ(B->BoundsRect(), Bounds(1920 - 229, 1040 - 2 * 148, 228, 147));
    for (int I = 2; I < 7; ++I) Short();
    // The eighth would start above the work area: a new column one width (plus 1) left.
    TPelluxPopupForm* H = Short();
    EXPECT_EQ(H->BoundsRect(), Bounds(1920 - 2 * 229, 1040 - 148, 228, 147));
    EXPECT_EQ(Messages->List().size(), 8u);

    // Without AutoAlign the column starts over at the right edge; with it, a column that
    // would leave the work area at the left does the same.
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 500, 400), Rect(0, 0, 500, 400), 96}});
    auto* Small = new TPelluxPopupMessage(Form);
    Small->SetAutoAlign(false);
    std::vector<TPelluxPopupForm*> P;
    for (int I = 0; I < 3; ++I) P.push_back(Small->Popup(u"提示", u"短消息"));
    EXPECT_EQ(P[2]->Left(), 500 - 229);
    EXPECT_EQ(P[2]->Top(), 400 - 148);
    Small->SetAutoAlign(true);
    P.push_back(Small->Popup(u"提示", u"短消息"));
    P.push_back(Small->Popup(u"提示", u"短消息"));
    EXPECT_EQ(P[4]->Left(), 500 - 2 * 229);
    P.push_back(Small->Popup(u"提示", u"短消息"));
    P.push_back(Small->Popup(u"提示", u"短消息"));
    EXPECT_EQ(P[6]->Left(), 500 - 229);  // not at -187
    EXPECT_EQ(P[6]->Top(), 400 - 148);
}

TEST_F(PopupMessageTest, At144DpiTheHeightThatPlacesAWindowIsItsHeight) {
    HighDPIEnabled = true;
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144}});
    Form->ScaleForPPI(144);
    TPelluxPopupForm* A = Short();
    TPelluxPopupForm* B = Short();
    EXPECT_EQ(A->BoundsRect(), Bounds(2880 - 343, 1560 - 222, 342, 221));
    EXPECT_EQ(B->Top() + B->Height() + 1, A->Top());
    EXPECT_EQ(A->Msg()->Left(), 15);
    EXPECT_EQ(A->Msg()->Width(), 342 - 30);
    // A long text grows the window by its wrapped height, measured in the label's font.
    TPelluxPopupForm* L = Messages->Popup(u"提示", String(200, u'长'), miInformation);
    EXPECT_EQ(L->IconPanel()->BoundsRect(), Bounds(15, 30, 60, 60));
    EXPECT_EQ(L->Msg()->Font()->Height(), MulDiv(Messages->TextFont()->Height(), 144, 96));
    EXPECT_GT(L->Msg()->Height(), 150);
    EXPECT_EQ(L->Height(), L->Msg()->Height() + MulDiv(67, 144, 96));
    EXPECT_EQ(L->Top() + L->Height() + 1, B->Top());
    HighDPIEnabled = false;
}

TEST_F(PopupMessageTest, APopupAtAPointClosesTheOthersAndSitsAboveIt) {
    Short();
    Short();
    TPelluxPopupForm* P = Messages->PopupXY(u"提示", u"短消息", miNone, 3000, 600);
    EXPECT_EQ(Messages->List(), std::vector<TPelluxPopupForm*>{P});
    EXPECT_EQ(Closed.size(), 2u);
    EXPECT_EQ(P->BoundsRect(), Bounds(1920 - 228 - 1, 600 - 148, 228, 147));
}

TEST_F(PopupMessageTest, AMessageFadesInStaysItsPauseFadesOutAndIsFreed) {
    Messages->SetClosePause(1000);
    TPelluxPopupForm* P = Short();
    const TQvAliveCheck Alive = P->AliveCheck();
    EXPECT_EQ(P->Alpha(), 0);
    Run(100);
    EXPECT_EQ(P->Alpha(), 100);
    Run(160);
    EXPECT_EQ(P->Alpha(), 255);
    Run(700);
    EXPECT_FALSE(P->BlendHide());
    Run(100);  // the close check after the pause
    EXPECT_TRUE(P->BlendHide());
    Run(100);
    EXPECT_LT(P->Alpha(), 200);
    Run(200);
    EXPECT_FALSE(Alive.Alive());
    EXPECT_EQ(Closed, std::vector<TObject*>{P});
    EXPECT_TRUE(Messages->List().empty());
}

TEST_F(PopupMessageTest, HoverHoldsTheWindowEvenWhileItFadesOutAndLeavingLetsItGo) {
    Messages->SetClosePause(0);
    TPelluxPopupForm* P = Short();
    const TQvAliveCheck Alive = P->AliveCheck();
    Run(10000);
    EXPECT_TRUE(Alive.Alive());  // a pause of 0 stays
    MoveTo(P->Msg(), 5, 5);
    EXPECT_TRUE(P->Held());
    MoveTo(Form, 5, 5);
    EXPECT_FALSE(P->Held());
    Run(150);
    EXPECT_TRUE(P->BlendHide());
    // Back over it during the fade-out: full opacity, kept.
    MoveTo(P->Msg(), 5, 5);
    EXPECT_EQ(P->Alpha(), 255);
    EXPECT_FALSE(P->BlendHide());
    Run(5000);
    EXPECT_TRUE(Alive.Alive());
    MoveTo(Form, 5, 5);
    Run(500);
    EXPECT_FALSE(Alive.Alive());
    // Hovered as it starts to show: it stays opaque past the skin's first-show hiding.
    TPelluxPopupForm* Early = Short();
    Run(20);
    MoveTo(Early->Msg(), 5, 5);
    Run(100);
    EXPECT_TRUE(Early->Held());
    EXPECT_EQ(Early->AlphaBlendValue(), 255);
}

TEST_F(PopupMessageTest, TheButtonAddsItsRowAndItsClickIsToldThenCloses) {
    Messages->Button()->SetVisible(true);
    Messages->Button()->SetCaption(u"查看");
    std::vector<TObject*> Clicks;
    Messages->OnButtonClick = [&](TObject* S) { Clicks.push_back(S); };
    TPelluxPopupForm* P = Short();
    EXPECT_EQ(P->Height(), 147 + 35);
    TPelluxButton* B = P->MsgButton();
    // Anchored to the bottom, it follows the client area the skin's frame leaves.
    EXPECT_EQ(B->Left(), (228 - 75) / 2);
    EXPECT_GE(B->Top(), P->Msg()->Top() + P->Msg()->Height());
    EXPECT_LE(B->Top() + B->Height(), P->ClientHeight() - 4);
    Run(300);
    const TPoint C = QvControlCenter(B);
    Headless->Click(C.X, C.Y);
    RunScript();
    ProcessMessages();
    EXPECT_EQ(Clicks, std::vector<TObject*>{B});
    EXPECT_TRUE(Messages->List().empty());
}

TEST_F(PopupMessageTest, WindowsOutliveTheirComponentWithoutReachingIt) {
    Messages->SetClosePause(500);
    TPelluxPopupForm* P = Short();
    const TQvAliveCheck Alive = P->AliveCheck();
    Short();
    Messages->Free();
    EXPECT_EQ(P->Source(), nullptr);
    Closed.clear();
    Run(1000);  // they close on their own, telling no one
    EXPECT_FALSE(Alive.Alive());
    EXPECT_TRUE(Closed.empty());
}

}  // namespace
