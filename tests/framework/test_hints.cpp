// The hint cycle on the virtual clock and the hint window the application shows.

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvHintCycle.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

namespace {

class HintsTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        AppInit();
        Application->CreateForm(Form);
        Form->SetBoundsRect(Bounds(100, 100, 400, 300));
        A = Child(Bounds(10, 10, 120, 30), u"Alpha|The long alpha text");
        B = Child(Bounds(10, 60, 120, 30), u"Beta");
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
    TWinControl* Child(TRect R, const String& Hint) {
        auto* C = new TWinControl(Form);
        C->SetBoundsRect(R);
        C->SetHint(Hint);
        C->SetShowHint(true);
        C->SetParent(Form);
        return C;
    }
    void MoveTo(TPoint P) {
        Headless->MouseMove(P.X, P.Y);
        Headless->RunStep();
        ProcessMessages();
    }
    void Wait(uint64_t Ms) {
        Headless->Advance(Ms);
        ProcessMessages();
    }
    bool Shown() {
        THintWindow* W = Application->HintWindow();
        return W != nullptr && W->Active();
    }
    TRect HintRect() {
        RECT R;
        GetWindowRect(Application->HintWindow()->Handle(), &R);
        return R;
    }
    TForm* Form = nullptr;
    TWinControl* A = nullptr;
    TWinControl* B = nullptr;
};

// Counts its activations; tells a replaced hint window class is the one used.
class TMarkHintWindow : public THintWindow {
public:
    using THintWindow::THintWindow;
    void ActivateHintData(const TRect& Rect, const String& Text, void* Data) override {
        ++Activations;
        THintWindow::ActivateHintData(Rect, Text, Data);
    }
    int Activations = 0;
};

}  // namespace

TEST_F(HintsTest, HintShowsAfterThePauseBelowTheCursorHidesAndComesBackQuicklyOnAnotherControl) {
    const TPoint PA = QvControlCenter(A);
    MoveTo(PA);
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Application->HintWindow()->Caption(), u"Alpha");
    const TRect R = HintRect();
    EXPECT_EQ(R.Left, PA.X);
    EXPECT_EQ(R.Top, PA.Y + 20);
    const TRect Calc = Application->HintWindow()->CalcHintRect(1920, u"Alpha", nullptr);
    EXPECT_EQ(R.Width(), Calc.Width());
    EXPECT_GT(Calc.Width(), 6);

    // Hidden after the hide pause; moving inside the control does not bring it back.
    Wait(2499);
    EXPECT_TRUE(Shown());
    Wait(1);
    EXPECT_FALSE(Shown());
    MoveTo(TPoint{PA.X + 3, PA.Y});
    Wait(1000);
    EXPECT_FALSE(Shown());

    // Another hinted control: the whole pause; while that shows, a third move comes fast.
    const TPoint PB = QvControlCenter(B);
    MoveTo(PB);
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Application->HintWindow()->Caption(), u"Beta");
    MoveTo(PA);
    EXPECT_FALSE(Shown());
    Wait(50);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Application->HintWindow()->Caption(), u"Alpha");

    // A press ends it; the pointer over the form itself (no hint) never shows one.
    Headless->Press();
    Headless->RunStep();
    ProcessMessages();
    EXPECT_FALSE(Shown());
    MoveTo(Form->ClientToScreen(TPoint{300, 200}));
    Wait(3000);
    EXPECT_FALSE(Shown());
}

TEST_F(HintsTest, HintShowMayVetoOrChangeTheTextAndAReplacedWindowClassIsUsed) {
    int Veto = 1;
    const TWndMethod Old = B->WindowProc;
    B->WindowProc = [&, Old](TMessage& M) {
        if (M.Msg == CM_HINTSHOW) {
            auto* Info = reinterpret_cast<THintInfo*>(M.LParam);
            EXPECT_EQ(Info->HintControl, B);
            EXPECT_EQ(Info->HintStr, u"Beta");
            EXPECT_EQ(Info->HideTimeout, 2500);
            Info->HintStr = u"Changed";
            Info->HintPos = TPoint{50, 60};
            M.Result = Veto;
            return;
        }
        Old(M);
    };
    MoveTo(QvControlCenter(B));
    Wait(600);
    EXPECT_FALSE(Shown());

    Application->SetHintWindowClass(&CreateHintWindow<TMarkHintWindow>);
    auto* Mark = dynamic_cast<TMarkHintWindow*>(Application->HintWindow());
    ASSERT_NE(Mark, nullptr);
    EXPECT_EQ(Mark->Owner(), Application);
    Veto = 0;
    MoveTo(QvControlCenter(A));
    MoveTo(QvControlCenter(B));
    Wait(500);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Mark->Activations, 1);
    EXPECT_EQ(Mark->Caption(), u"Changed");
    EXPECT_EQ(HintRect().Left, 50);
    EXPECT_EQ(HintRect().Top, 60);
    B->WindowProc = Old;
}

TEST_F(HintsTest, TheCycleRunsInAModalLoop) {
    TForm* Dlg = nullptr;
    Application->CreateForm(Dlg);
    Dlg->SetBoundsRect(Bounds(600, 100, 200, 120));
    auto* C = new TWinControl(Dlg);
    C->SetBoundsRect(Bounds(10, 10, 100, 30));
    C->SetHint(u"Modal|long");
    C->SetShowHint(true);
    C->SetParent(Dlg);
    bool Early = true, Late = false;
    String Text;
    Headless->Step([&] {
        const TPoint P = QvControlCenter(C);
        QvInputMouseMove(POINT{P.X, P.Y});
    });
    Headless->Delay(400);
    Headless->Step([&] { Early = Shown(); });
    Headless->Delay(200);
    Headless->Step([&] {
        Late = Shown();
        Text = Application->HintWindow()->Caption();
        Dlg->SetModalResult(mrOk);
    });
    EXPECT_EQ(Dlg->ShowModal(), mrOk);
    EXPECT_FALSE(Early);
    EXPECT_TRUE(Late);
    EXPECT_EQ(Text, u"Modal");
}
