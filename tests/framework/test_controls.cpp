// Controls: alignment and anchors, scaling, windows made when needed, focus and the Tab
// order, dialog keys and mnemonics, context menus, mouse routing to windowless controls,
// and handlers that free the control that raised them.

#include <memory>

#include "framework/uQvActnList.h"
#include "framework/uQvAlign.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvMenus.h"
#include "framework/uQvWinControl.h"
#include "platform/uQvColor.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

namespace {

// A top-level container, as forms are.
class TRoot : public TWinControl {
public:
    explicit TRoot(TComponent* AOwner) : TWinControl(AOwner) {
        SetControlStyle(ControlStyle() + csAcceptsControls);
        SetBounds(100, 100, 400, 300);
        SetVisible(false);  // as forms start
    }

protected:
    void CreateParams(TCreateParams& P) override {
        TWinControl::CreateParams(P);
        P.Style = WS_POPUP | WS_CLIPCHILDREN;
        P.WndParent = nullptr;
    }
    bool CanBeRoot() const override { return true; }
};

class TBox : public TWinControl {
public:
    explicit TBox(TComponent* AOwner, TWinControl* AParent, const String& AName, TRect R, bool Tab = false)
        : TWinControl(AOwner) {
        SetControlStyle(ControlStyle() + csAcceptsControls);
        SetName(AName);
        SetBoundsRect(R);
        SetTabStop(Tab);
        SetParent(AParent);
    }
    std::vector<std::string>* Log = nullptr;
    UINT DlgCode = 0;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_GETDLGCODE) {
            M.Result = DlgCode;
            return;
        }
        if (Log != nullptr && (M.Msg == CM_ENTER || M.Msg == CM_EXIT))
            Log->push_back((M.Msg == CM_ENTER ? "enter " : "exit ") + StringToUtf8(Name()));
        if (M.Msg == CM_DIALOGCHAR && IsAccel(static_cast<WORD>(M.WParam), Caption())) {
            Click();
            M.Result = 1;
            return;
        }
        if (M.Msg == CM_DIALOGKEY && M.WParam == VK_RETURN && Caption() == u"OK") {
            Click();
            M.Result = 1;
            return;
        }
        TWinControl::WndProc(M);
    }
};

class TMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string> Events;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == CM_MOUSEENTER) Events.push_back("enter");
        if (M.Msg == CM_MOUSELEAVE) Events.push_back("leave");
        TGraphicControl::WndProc(M);
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

class Controls : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        Root = std::make_unique<TRoot>(nullptr);
        Root->SetName(u"frmTest");
    }
    void TearDown() override {
        Root.reset();
        TQvHeadlessTest::TearDown();
    }
    void ShowRoot() {
        Root->Show();
        SetActiveWindow(Root->Handle());
        ProcessMessages();
    }
    std::unique_ptr<TRoot> Root;
};

}  // namespace

TEST(Align, KindsInOrderWithMarginsTiesAndConstraints) {
    TSizeConstraints Tall(nullptr);
    Tall.SetMaxHeight(20);
    std::vector<TQvAlignEntry> E(6);
    E[0] = {alBottom, Bounds(0, 0, 10, 30), {}, 0, nullptr};
    E[1] = {alTop, Bounds(0, 50, 10, 40), {}, 1, &Tall};  // capped at 20 high
    E[2] = {alTop, Bounds(0, 10, 10, 25), Rect(2, 3, 4, 5), 2, nullptr};
    E[3] = {alLeft, Bounds(0, 0, 60, 10), {}, 3, nullptr};
    E[4] = {alLeft, Bounds(0, 0, 30, 10), {}, 4, nullptr};  // same left: later in z-order
    E[5] = {alClient, Bounds(0, 0, 1, 1), Rect(1, 1, 1, 1), 5, nullptr};
    QvAlignEntries(Rect(0, 0, 400, 300), E);
    EXPECT_EQ(E[2].Bounds, Rect(2, 3, 396, 28));   // first top, inside its margins
    EXPECT_EQ(E[1].Bounds, Rect(0, 33, 400, 53));  // below it, constrained
    EXPECT_EQ(E[0].Bounds, Rect(0, 270, 400, 300));
    EXPECT_EQ(E[3].Bounds, Rect(0, 53, 60, 270));
    EXPECT_EQ(E[4].Bounds, Rect(60, 53, 90, 270));
    EXPECT_EQ(E[5].Bounds, Rect(91, 54, 399, 269));
    // Anchored to both sides stretches; to the far side follows; to neither keeps the centre.
    const TRect R = Bounds(100, 50, 40, 20);
    EXPECT_EQ(QvAnchoredBounds(R, {400, 300}, {500, 250}, {akLeft, akTop, akRight}),
              Bounds(100, 50, 140, 20));
    EXPECT_EQ(QvAnchoredBounds(R, {400, 300}, {500, 250}, {akRight, akBottom}), Bounds(200, 0, 40, 20));
    EXPECT_EQ(QvAnchoredBounds(R, {400, 300}, {800, 300}, {akTop}), Bounds(220, 50, 40, 20));
}

TEST_F(Controls, ChildrenRealignAndReanchorWhenTheParentResizes) {
    ShowRoot();
    TBox Top(nullptr, Root.get(), u"top", Bounds(0, 0, 10, 40));
    Top.SetAlign(alTop);
    TBox Body(nullptr, Root.get(), u"body", Bounds(0, 0, 10, 10));
    Body.SetAlign(alClient);
    TBox Corner(nullptr, &Body, u"corner", Bounds(350, 200, 30, 20));
    Corner.SetAnchors({akRight, akBottom});
    TBox Inner(nullptr, &Body, u"inner", Bounds(0, 0, 50, 10));
    Inner.SetAlign(alLeft);
    Inner.SetAlignWithMargins(true);
    EXPECT_EQ(Top.BoundsRect(), Rect(0, 0, 400, 40));
    EXPECT_EQ(Body.BoundsRect(), Rect(0, 40, 400, 300));
    EXPECT_EQ(Inner.BoundsRect(), Rect(3, 3, 53, 257));
    Root->SetBounds(100, 100, 500, 400);
    EXPECT_EQ(Top.BoundsRect(), Rect(0, 0, 500, 40));
    EXPECT_EQ(Body.BoundsRect(), Rect(0, 40, 500, 400));
    EXPECT_EQ(Corner.BoundsRect(), Bounds(450, 300, 30, 20));
    EXPECT_EQ(Inner.BoundsRect(), Rect(3, 3, 53, 357));
    // The window system agrees with the objects.
    RECT W;
    GetWindowRect(Corner.Handle(), &W);
    EXPECT_EQ(W, Bounds(100 + 450, 100 + 40 + 300, 30, 20));
    // Hidden aligned controls give their room back.
    Top.Hide();
    EXPECT_EQ(Body.BoundsRect(), Rect(0, 0, 500, 400));
}

TEST_F(Controls, ScalingATreeTo144Dpi) {
    TBox Panel(nullptr, Root.get(), u"panel", Bounds(5, 7, 101, 33));
    Panel.SetFont(Root->Font());
    Panel.Font()->SetHeight(-12);
    TBox Kid(nullptr, &Panel, u"kid", Bounds(1, 1, 3, 3));
    Kid.Constraints()->SetMinWidth(11);
    Kid.Margins()->SetBounds(3, 3, 5, 5);
    Root->ScaleForPPI(144);
    EXPECT_EQ(Root->CurrentPPI(), 144);
    EXPECT_EQ(Kid.CurrentPPI(), 144);
    // L' = MulDiv(L, 3, 2), W' = MulDiv(L + W, 3, 2) - L'.
    EXPECT_EQ(Panel.BoundsRect(), Rect(8, 11, 159, 60));
    EXPECT_EQ(Panel.Font()->Height(), -18);
    EXPECT_TRUE(Kid.ParentFont());
    EXPECT_EQ(Kid.Font()->Height(), -18);
    EXPECT_EQ(Kid.Constraints()->MinWidth(), 17);
    EXPECT_EQ(Kid.Width(), 17);
    EXPECT_EQ(Kid.Margins()->AsRect(), Rect(5, 5, 8, 8));
    // A control placed later into the scaled tree is scaled on the way in.
    TBox Late(nullptr, nullptr, u"late", Bounds(10, 10, 20, 20));
    Late.SetParent(&Panel);
    EXPECT_EQ(Late.BoundsRect(), Bounds(15, 15, 30, 30));
}

TEST_F(Controls, WindowsAreMadeWhenNeededAndRecreatedWithTheirState) {
    TBox Box(nullptr, Root.get(), u"box", Bounds(10, 10, 100, 50), true);
    TBox Kid(nullptr, &Box, u"kid", Bounds(5, 5, 20, 20), true);
    EXPECT_FALSE(Box.HandleAllocated());
    ShowRoot();
    ASSERT_TRUE(Box.HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(Kid.Handle()));
    Kid.SetText(u"hello");
    Kid.SetFocus();
    ASSERT_TRUE(Kid.Focused());
    const HWND Old = Box.Handle();
    Box.RecreateWnd();
    EXPECT_NE(Box.Handle(), Old);
    EXPECT_FALSE(IsWindow(Old));
    WCHAR Buf[16];
    GetWindowText(Kid.Handle(), Buf, 16);
    EXPECT_EQ(String(Buf), u"hello");
    EXPECT_EQ(Kid.ScreenRect(), Bounds(100 + 15, 100 + 15, 20, 20));
    EXPECT_TRUE(Kid.Focused());
    EXPECT_TRUE(IsWindowVisible(Kid.Handle()));
    // A child control without a parent window cannot have one.
    TBox Orphan(nullptr, nullptr, u"orphan", Bounds(0, 0, 1, 1));
    EXPECT_THROW(Orphan.Handle(), EInvalidOperation);
    EXPECT_EQ(QvFindControl(u"frmTest"), Root.get());
}

TEST_F(Controls, TabOrderCrossesContainersAndEnterExitFollowTheFocus) {
    std::vector<std::string> Log;
    TBox A(nullptr, Root.get(), u"a", Bounds(0, 0, 100, 100), false);
    TBox A1(nullptr, &A, u"a1", Bounds(0, 0, 10, 10), true);
    TBox A2(nullptr, &A, u"a2", Bounds(0, 20, 10, 10), true);
    TBox B(nullptr, Root.get(), u"b", Bounds(200, 0, 10, 10), true);
    TBox C(nullptr, Root.get(), u"c", Bounds(0, 150, 100, 100), false);
    TBox C1(nullptr, &C, u"c1", Bounds(0, 0, 10, 10), true);
    TBox Off(nullptr, &C, u"off", Bounds(0, 20, 10, 10), true);
    Off.SetEnabled(false);
    for (TBox* X : {&A, &A1, &A2, &B, &C, &C1}) X->Log = &Log;
    A2.SetTabOrder(0);  // a2 before a1
    ShowRoot();
    A2.SetFocus();
    Log.clear();
    std::vector<std::string> Order;
    for (int I = 0; I < 4; ++I) {
        Headless->Key(VK_TAB);
        RunScript();
        Order.push_back(StringToUtf8(Root->ActiveControl()->Name()));
    }
    EXPECT_EQ(Order, (std::vector<std::string>{"a1", "b", "c1", "a2"}));
    EXPECT_EQ(Log,
              (std::vector<std::string>{"exit a2", "enter a1", "exit a1", "exit a", "enter b", "exit b",
                                        "enter c", "enter c1", "exit c1", "exit c", "enter a", "enter a2"}));
    Headless->KeyDown(VK_SHIFT);
    Headless->Key(VK_TAB);
    Headless->KeyUp(VK_SHIFT);
    RunScript();
    EXPECT_EQ(Root->ActiveControl(), &C1);
    // Arrows move among the siblings of the focused control only.
    Headless->Key(VK_DOWN);
    RunScript();
    EXPECT_EQ(Root->ActiveControl(), &C1);
    // A control that wants Tab keeps it.
    C1.DlgCode = DLGC_WANTTAB;
    Headless->Key(VK_TAB);
    RunScript();
    EXPECT_TRUE(C1.Focused());
}

TEST_F(Controls, DialogKeysAndMnemonicsReachTheirControls) {
    TBox Edit(nullptr, Root.get(), u"edit", Bounds(0, 0, 50, 20), true);
    TBox Ok(nullptr, Root.get(), u"ok", Bounds(0, 30, 50, 20), true);
    Ok.SetCaption(u"OK");
    TBox Close(nullptr, Root.get(), u"close", Bounds(0, 60, 50, 20), true);
    Close.SetCaption(u"&Close");
    std::vector<std::string> Clicks;
    Ok.OnClick = [&](TObject*) { Clicks.push_back("ok"); };
    Close.OnClick = [&](TObject*) { Clicks.push_back("close"); };
    std::vector<WORD> Keys;
    Edit.OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Keys.push_back(Key); };
    ShowRoot();
    Edit.SetFocus();
    Headless->Key(VK_RETURN);  // a dialog key: the default button takes it, KeyDown never sees it
    Headless->Key('X');
    Headless->KeyDown(VK_MENU);
    Headless->Key('C');  // Alt+C: the mnemonic
    Headless->KeyUp(VK_MENU);
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<std::string>{"ok", "close"}));
    EXPECT_EQ(Keys, (std::vector<WORD>{'X', VK_MENU, 'C'}));
    // With KeyPreview the root sees the key first and may swallow it.
    Root->SetKeyPreview(true);
    Root->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == 'Y') Key = 0;
    };
    Headless->Key('Y');
    Headless->Key('Z');
    RunScript();
    EXPECT_EQ(Keys, (std::vector<WORD>{'X', VK_MENU, 'C', 'Z'}));
}

TEST_F(Controls, ContextMenusByMouseAndKeyboard) {
    TPopupMenu Menu(nullptr);
    std::vector<TPoint> Shown;
    Menu.OnPopup = [&](TObject*) { Shown.push_back(Menu.PopupPoint()); };
    TBox Box(nullptr, Root.get(), u"box", Bounds(10, 10, 100, 100), true);
    TMark Mark(nullptr);
    Mark.SetBounds(20, 20, 30, 30);
    Mark.SetParent(&Box);
    Mark.SetPopupMenu(&Menu);
    Box.SetPopupMenu(&Menu);
    ShowRoot();
    Headless->Click(135, 135, TQvButton::Right);  // on the mark, through its parent window
    RunScript();
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], (TPoint{135, 135}));
    EXPECT_EQ(Menu.PopupComponent(), &Mark);
    Box.SetFocus();
    Headless->Key(VK_APPS);
    Headless->KeyDown(VK_SHIFT);
    Headless->Key(VK_F10);
    Headless->KeyUp(VK_SHIFT);
    RunScript();
    ASSERT_EQ(Shown.size(), 3u);
    EXPECT_EQ(Shown[1], (TPoint{110, 110}));  // the client origin of the focused control
    EXPECT_EQ(Shown[2], (TPoint{110, 110}));
    EXPECT_EQ(Menu.PopupComponent(), &Box);
    // OnContextPopup may take the request itself.
    Box.OnContextPopup = [](TObject*, TPoint, bool& Handled) { Handled = true; };
    Headless->Key(VK_APPS);
    RunScript();
    EXPECT_EQ(Shown.size(), 3u);
}

TEST_F(Controls, WindowlessChildrenGetMouseInputEnterLeaveAndPaint) {
    TMark Mark(nullptr);
    Mark.SetBounds(50, 50, 40, 40);
    Mark.SetParent(Root.get());
    int Clicks = 0;
    Mark.OnClick = [&](TObject*) { ++Clicks; };
    ShowRoot();
    RunScript();
    const HDC Screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(Screen, 170, 170), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(Screen, 140, 140), ColorToRGB(clWindow));
    ReleaseDC(nullptr, Screen);
    Headless->MouseMove(160, 160);
    Headless->Press();
    Headless->MouseMove(300, 300);  // the mark holds the capture through its parent
    Headless->MouseMove(170, 170);
    Headless->Release();
    Headless->MouseMove(120, 120);
    RunScript();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Mark.Events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
    EXPECT_EQ(QvMouseControl(), Root.get());
}

TEST_F(Controls, AHandlerMayFreeTheControlThatRaisedIt) {
    auto* Box = new TBox(nullptr, Root.get(), u"box", Bounds(10, 10, 50, 50), true);
    auto* Mark = new TMark(nullptr);
    Mark->SetBounds(100, 10, 50, 50);
    Mark->SetParent(Root.get());
    bool BoxGone = false;
    Box->OnClick = [&](TObject* Sender) {
        BoxGone = true;  // before the delete, which takes this handler with it
        delete static_cast<TBox*>(Sender);
    };
    Mark->OnMouseDown = [](TObject* Sender, TMouseButton, TShiftState, int, int) {
        delete static_cast<TMark*>(Sender);
    };
    ShowRoot();
    Headless->Click(130, 130);
    Headless->Click(220, 130);
    RunScript();
    EXPECT_TRUE(BoxGone);
    EXPECT_EQ(Root->ControlCount(), 0);
    EXPECT_EQ(QvCaptureControl(), nullptr);
}

TEST_F(Controls, AControlFollowsItsActionAndRunsIt) {
    auto* Act = new TAction(nullptr);
    Act->SetCaption(u"&Save");
    int Runs = 0;
    Act->OnExecute = [&](TObject*) { ++Runs; };
    TBox Box(nullptr, Root.get(), u"box", Bounds(10, 10, 50, 50));
    Box.SetAction(Act);
    EXPECT_EQ(Box.Caption(), u"&Save");
    Act->SetCaption(u"Save &as");
    Act->SetEnabled(false);
    EXPECT_EQ(Box.Caption(), u"Save &as");
    EXPECT_FALSE(Box.Enabled());
    Act->SetEnabled(true);
    Box.Click();
    EXPECT_EQ(Runs, 1);
    // A caption of the control's own stops following; its OnClick takes the click.
    Box.SetCaption(u"Mine");
    Act->SetCaption(u"Other");
    EXPECT_EQ(Box.Caption(), u"Mine");
    delete Act;
    EXPECT_EQ(Box.Action(), nullptr);
    Box.Click();
    EXPECT_EQ(Runs, 1);
}

namespace {
class TSwatch : public TCustomControl {
public:
    TSwatch(TWinControl* AParent, TColor AColor, TRect R) : TCustomControl(nullptr), FColor(AColor) {
        SetBoundsRect(R);
        SetParent(AParent);
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(FColor);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }

private:
    TColor FColor;
};
}  // namespace

TEST_F(Controls, PaintingZOrderAndASubclassedWindowProc) {
    TSwatch Blue(Root.get(), clBlue, Bounds(10, 10, 50, 50));
    TSwatch Lime(Root.get(), clLime, Bounds(30, 30, 50, 50));
    // A subclass sees the messages first and hands the rest to the saved procedure.
    int Paints = 0;
    const TWndMethod Old = Blue.WindowProc;
    Blue.WindowProc = [&](TMessage& M) {
        if (M.Msg == WM_PAINT) ++Paints;
        Old(M);
    };
    ShowRoot();
    RunScript();
    auto Pixel = [](int X, int Y) {
        const HDC Screen = GetDC(nullptr);
        const COLORREF C = GetPixel(Screen, X, Y);
        ReleaseDC(nullptr, Screen);
        return C;
    };
    EXPECT_EQ(Pixel(145, 145), RGB(0, 255, 0));  // the later sibling lies in front
    Blue.BringToFront();
    RunScript();
    EXPECT_EQ(Pixel(145, 145), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(175, 175), RGB(0, 255, 0));
    EXPECT_GE(Paints, 1);
    EXPECT_EQ(Root->Controls(Root->ControlCount() - 1), &Blue);
    Blue.WindowProc = Old;
}
