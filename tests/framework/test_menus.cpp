// Menus: the popup loop by keyboard and mouse, submenus on hover and arrows, what a
// replacement popup list and a window hook see, presses outside, items that die on the
// way, and stored layouts with nested items.

#include <memory>
#include <string>
#include <vector>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvMenuClasses.h"
#include "framework/uQvMenuLoop.h"
#include "framework/uQvMenus.h"
#include "framework/uQvPopupList.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

namespace {

// Rows of the plain look at 96 dpi: the window's frame is 3 px, rows 24 px high.
constexpr int Frame = 3;
constexpr int Row = 24;
TPoint RowPoint(TPoint MenuAt, int RowIndex) { return {MenuAt.X + 20, MenuAt.Y + Frame + RowIndex * Row + Row / 2}; }

class Menus : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        Menu = std::make_unique<TPopupMenu>(nullptr);
        // Menus pop up from an active window, which the keyboard goes to.
        WNDCLASS C;
        C.lpfnWndProc = DefWindowProc;
        C.lpszClassName = u"MenuTestTarget";
        RegisterClass(&C);
        QvCreateWindowWithMethod(0, u"MenuTestTarget", nullptr, WS_POPUP | WS_VISIBLE, 500, 500, 200, 200, nullptr,
                                 nullptr, [this](TMessage& M) {
                                     if (M.Msg == WM_LBUTTONDOWN) TargetPresses.push_back(M.LParam);
                                     M.Result = DefWindowProc(Target, M.Msg, M.WParam, M.LParam);
                                 }, &Target);
        SetActiveWindow(Target);
    }
    void TearDown() override {
        DestroyWindow(Target);
        Menu.reset();
        TQvHeadlessTest::TearDown();
    }

    TMenuItem* Add(TMenuItem* Parent, const String& Caption) {
        auto* Item = new TMenuItem(nullptr);
        Item->SetCaption(Caption);
        Item->OnClick = [this](TObject* Sender) { Clicks.push_back(StringToUtf8(static_cast<TMenuItem*>(Sender)->Caption())); };
        Parent->Add(Item);
        return Item;
    }
    // Popup, then the queue: OnClick must come only from the queue.
    void PopupAndRun(TPoint At) {
        Menu->Popup(At.X, At.Y);
        ClicksAtReturn = Clicks;
        ProcessMessages();
    }

    static std::vector<TRect> MenuWindowRects() {
        std::vector<TRect> Rects;
        EnumWindows(
            [](HWND Wnd, LPARAM Param) -> BOOL {
                RECT R;
                if (IsWindowVisible(Wnd) && GetClassNameString(Wnd) == MenuWindowClassName && GetWindowRect(Wnd, &R))
                    reinterpret_cast<std::vector<TRect>*>(Param)->push_back(R);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&Rects));
        return Rects;
    }
    static int OpenMenuWindows() {
        int Count = 0;
        EnumWindows(
            [](HWND Wnd, LPARAM Param) -> BOOL {
                if (IsWindowVisible(Wnd) && GetClassNameString(Wnd) == MenuWindowClassName) ++*reinterpret_cast<int*>(Param);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&Count));
        return Count;
    }

    std::unique_ptr<TPopupMenu> Menu;
    HWND Target = nullptr;
    std::vector<LPARAM> TargetPresses;
    std::vector<std::string> Clicks;
    std::vector<std::string> ClicksAtReturn;
};

TEST_F(Menus, KeyboardAndMouseChooseAndOnClickRunsAfterPopupReturned) {
    TMenuItem* Open = Add(Menu->Items(), u"&Open");
    Open->SetShortCut(TextToShortCut(u"Ctrl+O"));
    Add(Menu->Items(), u"-");
    Add(Menu->Items(), u"&Save");
    Add(Menu->Items(), u"&Disabled")->SetEnabled(false);
    EXPECT_EQ(ShortCutToText(Open->ShortCut()), u"Ctrl+O");
    EXPECT_EQ(ShortCutToText(TextToShortCut(u"shift+ctrl+F5")), u"Shift+Ctrl+F5");

    // Down twice skips the separator; Enter chooses.
    Headless->Key(VK_DOWN);
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RETURN);
    PopupAndRun({100, 100});
    EXPECT_TRUE(ClicksAtReturn.empty());
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Save"});
    EXPECT_EQ(OpenMenuWindows(), 0);

    // Enter on a disabled item chooses nothing; Esc closes; then a mnemonic chooses.
    Clicks.clear();
    Headless->Key('D');
    Headless->Key(VK_RETURN);
    Headless->Key(VK_ESCAPE);
    PopupAndRun({100, 100});
    EXPECT_TRUE(Clicks.empty());
    Headless->Key('O');
    PopupAndRun({100, 100});
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Open"});

    // The mouse: hover, then a click on the third row.
    Clicks.clear();
    const TPoint At{300, 200};
    Headless->MouseMove(RowPoint(At, 0).X, RowPoint(At, 0).Y);
    const TPoint SaveRow{RowPoint(At, 0).X, At.Y + Frame + Row + 7 + Row / 2};
    Headless->Click(SaveRow.X, SaveRow.Y);
    PopupAndRun(At);
    EXPECT_TRUE(ClicksAtReturn.empty());
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Save"});
}

TEST_F(Menus, SubmenusOpenOnHoverAfterTheDelayAndWithTheRightArrow) {
    TMenuItem* File = Add(Menu->Items(), u"&File");
    Add(File, u"&New");
    Add(File, u"&Recent");
    Add(Menu->Items(), u"E&xit");
    const TPoint At{100, 100};
    std::vector<int> Seen;
    Headless->MouseMove(RowPoint(At, 0).X, RowPoint(At, 0).Y);
    Headless->Step([&] { Seen.push_back(OpenMenuWindows()); });
    Headless->Delay(MenuHoverDelay - 1);
    Headless->Step([&] { Seen.push_back(OpenMenuWindows()); });
    Headless->Delay(2);
    Headless->Step([&] { Seen.push_back(OpenMenuWindows()); });
    // Left closes the submenu, Esc the menu.
    Headless->Key(VK_LEFT);
    Headless->Step([&] { Seen.push_back(OpenMenuWindows()); });
    Headless->Key(VK_ESCAPE);
    PopupAndRun(At);
    EXPECT_EQ(Seen, (std::vector<int>{1, 1, 2, 1}));
    EXPECT_TRUE(Clicks.empty());

    // Down selects File, Right opens it with its first item selected, Down, Enter. In the
    // corner of the work area (1920 x 1040) the menu flips up and left, the submenu left.
    std::vector<TRect> Rects;
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RIGHT);
    Headless->Step([&] { Rects = MenuWindowRects(); });
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RETURN);
    PopupAndRun({1910, 1030});
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Recent"});
    ASSERT_EQ(Rects.size(), 2u);
    const TRect& Sub = Rects[0].Left < Rects[1].Left ? Rects[0] : Rects[1];
    const TRect& Top = Rects[0].Left < Rects[1].Left ? Rects[1] : Rects[0];
    EXPECT_EQ(Top.Right, 1910);
    EXPECT_EQ(Top.Bottom, 1030);
    EXPECT_EQ(Top.Height(), 2 * Frame + 2 * Row);
    EXPECT_EQ(Sub.Right, Top.Left + Frame);
    EXPECT_EQ(Sub.Top, Top.Top);
}

// Records the loop's messages, then handles them as the default list does.
class TLoggingPopupList : public TPopupList {
public:
    std::vector<std::string> Log;
    std::vector<TMessage> Raw;
    void WndProc(TMessage& M) override {
        const char* Name = nullptr;
        switch (M.Msg) {
            case WM_ENTERMENULOOP: Name = "enter"; break;
            case WM_INITMENUPOPUP: Name = "init"; break;
            case WM_MEASUREITEM: Name = "measure"; break;
            case WM_DRAWITEM: Name = "draw"; break;
            case WM_MENUSELECT: Name = "select"; break;
            case WM_EXITMENULOOP: Name = "exit"; break;
            case WM_COMMAND: Name = "command"; break;
            default: break;
        }
        if (Name != nullptr && (Log.empty() || Log.back() != Name)) Log.push_back(Name);
        if (Name != nullptr) Raw.push_back(M);
        if (M.Msg == WM_DRAWITEM) {
            const auto* Dis = reinterpret_cast<const DRAWITEMSTRUCT*>(M.LParam);
            DrawnIn = GetClassNameString(WindowFromDC(Dis->hDC));
            if (Dis->itemState & ODS_SELECTED) SelectedRect = Dis->rcItem;
        }
        TPopupList::WndProc(M);
    }
    String DrawnIn;
    TRect SelectedRect;
};

struct THookRecord {
    static inline std::vector<std::pair<String, UINT>> Creates;  // class name, class style
    static inline HHOOK Hook = nullptr;
    static LRESULT Proc(int Code, WPARAM W, LPARAM L) {
        const auto* Cwp = reinterpret_cast<const CWPSTRUCT*>(L);
        if (Code == HC_ACTION && Cwp->message == WM_CREATE)
            Creates.emplace_back(GetClassNameString(Cwp->hwnd), static_cast<UINT>(GetClassLongPtr(Cwp->hwnd, GCL_STYLE)));
        return CallNextHookEx(Hook, Code, W, L);
    }
};

TEST_F(Menus, AReplacedPopupListHearsTheLoopInOrderAndAHookSeesTheMenuWindowMade) {
    auto Owned = std::make_unique<TLoggingPopupList>();
    TLoggingPopupList* List = Owned.get();
    std::unique_ptr<TPopupList> Old = SetPopupList(std::move(Owned));
    THookRecord::Creates.clear();
    THookRecord::Hook = SetWindowsHookEx(WH_CALLWNDPROC, THookRecord::Proc, nullptr, 0);

    Menu->SetOwnerDraw(true);
    Add(Menu->Items(), u"One");
    TMenuItem* Two = Add(Menu->Items(), u"Two");
    int Measured = 0;
    Two->OnMeasureItem = [&](TObject*, TCanvas*, int& W, int& H) {
        ++Measured;
        W = 150;
        H = 30;
    };
    Headless->Key(VK_DOWN);
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RETURN);
    PopupAndRun({100, 100});
    UnhookWindowsHookEx(THookRecord::Hook);

    EXPECT_EQ(List->Log, (std::vector<std::string>{"enter", "init", "measure", "draw", "select", "draw", "select",
                                                   "draw", "select", "exit", "command"}));
    EXPECT_EQ(Measured, 1);
    EXPECT_EQ(Clicks, std::vector<std::string>{"Two"});
    EXPECT_EQ(List->DrawnIn, MenuWindowClassName);
    // Item boxes sit inside the frame; the measured size counts.
    EXPECT_EQ(List->SelectedRect, (TRect{Frame, Frame + Row, Frame + 150, Frame + Row + 30}));
    // The close: HIWORD 0xFFFF with no menu, just before the exit.
    const TMessage& Close = List->Raw[List->Raw.size() - 3];
    EXPECT_EQ(Close.Msg, static_cast<UINT>(WM_MENUSELECT));
    EXPECT_EQ(HIWORD(Close.WParam), 0xFFFF);
    EXPECT_EQ(Close.LParam, 0);
    ASSERT_EQ(THookRecord::Creates.size(), 1u);
    EXPECT_EQ(THookRecord::Creates[0].first, MenuWindowClassName);
    EXPECT_NE(THookRecord::Creates[0].second & CS_DROPSHADOW, 0u);
    SetPopupList(std::move(Old));
}

TEST_F(Menus, APressOutsideEndsTheLoopAndReachesTheWindowUnderIt) {
    Add(Menu->Items(), u"One");
    Headless->Click(600, 600);
    Menu->Popup(100, 100);
    EXPECT_TRUE(TargetPresses.empty());
    EXPECT_EQ(OpenMenuWindows(), 0);
    RunScript();
    EXPECT_EQ(TargetPresses, std::vector<LPARAM>{MAKELPARAM(100, 100)});

    // WM_CANCELMODE to the popup list ends the loop with nothing chosen.
    Headless->Key(VK_DOWN);
    Headless->Step([] { SendMessage(PopupList()->Window(), WM_CANCELMODE, 0, 0); });
    PopupAndRun({100, 100});
    EXPECT_TRUE(Clicks.empty());
    EXPECT_FALSE(MenuLoopActive());
}

TEST_F(Menus, ItemsFreedInOnPopupOrBeforeTheirCommandAreSafe) {
    TMenuItem* Keep = Add(Menu->Items(), u"Keep");
    TMenuItem* Doomed = Add(Menu->Items(), u"Doomed");
    Menu->OnPopup = [&](TObject*) { Doomed->Free(); };
    Headless->Key(VK_DOWN);
    Headless->Key(VK_DOWN);  // wraps round to Keep: one item left
    Headless->Key(VK_RETURN);
    Menu->Popup(100, 100);
    // The chosen item dies before its posted command runs: the command is dropped.
    Keep->Free();
    ProcessMessages();
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(Menu->Items()->Count(), 0);

    // A handler may rebuild the menu that just ran.
    Menu->OnPopup = nullptr;
    TMenuItem* Rebuild = Add(Menu->Items(), u"Rebuild");
    Rebuild->OnClick = [&](TObject*) {
        Menu->Items()->Clear();
        Add(Menu->Items(), u"Fresh");
    };
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RETURN);
    PopupAndRun({100, 100});
    ASSERT_EQ(Menu->Items()->Count(), 1);
    EXPECT_EQ(Menu->Items()->Items(0)->Caption(), u"Fresh");
}

class TMenuModule : public TDataModule {
public:
    using TDataModule::TDataModule;
};

TEST_F(Menus, StoredLayoutsHoldMenusWithNestedItems) {
    RegisterQvMenus();
    RegisterClass<TMenuModule, TDataModule>(u"TMenuModule");
    const char16_t* Text =
        u"object Module1: TMenuModule\n"
        u"  object PopupMenu1: TPopupMenu\n"
        u"    AutoHotkeys = maManual\n"
        u"    OwnerDraw = True\n"
        u"    object N1: TMenuItem\n"
        u"      Caption = '   '#24110#21161'   '\n"
        u"      object N3: TMenuItem\n"
        u"        Caption = '&Help'\n"
        u"        ShortCut = 16456\n"
        u"      end\n"
        u"      object N5: TMenuItem\n"
        u"        Caption = '-'\n"
        u"      end\n"
        u"      object N6: TMenuItem\n"
        u"        Tag = 7\n"
        u"        Caption = 'About...'\n"
        u"        Checked = True\n"
        u"        Enabled = False\n"
        u"        GroupIndex = 2\n"
        u"        RadioItem = True\n"
        u"      end\n"
        u"    end\n"
        u"  end\n"
        u"  object MainMenu1: TMainMenu\n"
        u"  end\n"
        u"end\n";
    TComponent Owner(nullptr);
    auto* M = new TMenuModule(&Owner);
    ReadComponentText(M, Text);
    auto* Popup = dynamic_cast<TPopupMenu*>(M->FindComponent(u"PopupMenu1"));
    ASSERT_NE(Popup, nullptr);
    ASSERT_EQ(Popup->Items()->Count(), 1);
    TMenuItem* N1 = Popup->Items()->Items(0);
    EXPECT_EQ(N1->Caption(), u"   帮助   ");
    ASSERT_EQ(N1->Count(), 3);
    EXPECT_EQ(ShortCutToText(N1->Items(0)->ShortCut()), u"Ctrl+H");
    EXPECT_TRUE(N1->Items(1)->IsLine());
    EXPECT_EQ(N1->Items(2)->Tag(), 7);
    EXPECT_EQ(N1->Items(2)->GetParentMenu(), Popup);
    EXPECT_EQ(N1->GetParentComponent(), Popup);
    EXPECT_NE(dynamic_cast<TMainMenu*>(M->FindComponent(u"MainMenu1")), nullptr);
    EXPECT_EQ(StringToUtf8(WriteComponentText(M)), StringToUtf8(Text));
    // Freeing a parent frees its children, which leave their owner.
    N1->Free();
    EXPECT_EQ(M->ComponentCount(), 2);
}

}  // namespace
