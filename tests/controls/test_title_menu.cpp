// Skinned menus: the title-bar menu opened by a click and by its accelerator, sliding from
// one open popup to the next, command entries, the skinned item pixels in the layered menu
// window, menus freed while their loop runs, and the menu effects put back at the end.

#include <vector>

#include "controls/form_skin_fixture.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxMenu.h"
#include "forms/uPelluxMenuHook.h"
#include "forms/uPelluxNCMenuItem.h"
#include "forms/uQvPopupListEx.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvMenuLoop.h"
#include "framework/uQvMenus.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinLayered.h"

namespace {

int Channel(uint32_t Pixel, int Shift) {
    return static_cast<int>(Pixel >> Shift & 255);
}

class TitleMenuTest : public FormSkinTest {
protected:
    void SetUp() override {
        FormSkinTest::SetUp();
        F = NewSkinned(Bounds(200, 100, 520, 320));
        Main = new TMainMenu(F);
        File = Add(Main->Items(), u"文件(&F)");
        Add(File, u"打开(&O)")->SetShortCut(TextToShortCut(u"Ctrl+O"));
        Add(File, u"-");
        Add(File, u"保存(&S)");
        Add(File, u"关闭(&C)")->SetEnabled(false);
        TMenuItem* Edit = Add(Main->Items(), u"编辑(&E)");
        Add(Edit, u"复制(&C)");
        Add(Main->Items(), u"隐藏")->SetVisible(false);
        Add(Main->Items(), u"帮助(&H)");
        Skin->MainMenu()->SetMainMenu(Main);
        Refresh();
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Caption) {
        auto* Item = new TMenuItem(F);
        Item->SetCaption(Caption);
        // Copies in popups and command entries both run it.
        Item->OnClick = [this](TObject* Sender) {
            if (auto* I = dynamic_cast<TMenuItem*>(Sender)) Clicks.push_back(I->Caption());
            if (auto* E = dynamic_cast<TPelluxNCMenuItem*>(Sender)) Clicks.push_back(E->Caption());
        };
        Parent->Add(Item);
        return Item;
    }
    void Refresh() {
        Skin->MainMenu()->Refresh();
        ProcessMessages();
    }
    TPelluxNCMenuItem* Entry(size_t I) const { return Skin->MainMenu()->List().at(I)->NCMenuItem; }
    TPoint EntryPoint(size_t I) const {
        const TRect R = Entry(I)->ClientRect();
        return WinToScreen(F, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
    static std::vector<HWND> MenuWindows() {
        std::vector<HWND> List;
        EnumWindows(
            [](HWND Wnd, LPARAM Param) -> BOOL {
                if (IsWindowVisible(Wnd) && GetClassNameString(Wnd) == MenuWindowClassName)
                    reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&List));
        return List;
    }
    // What is open while the loop runs, recorded from inside it.
    void Record() {
        Headless->Step([this] {
            Open.push_back(MenuWindows().size());
            TPelluxNCMenuItem* Last = Skin->MainMenu()->LastFocusMenu();
            OpenEntry.push_back(Last != nullptr ? Last->Caption() : u"");
        });
    }
    TForm* F = nullptr;
    TMainMenu* Main = nullptr;
    TMenuItem* File = nullptr;
    std::vector<String> Clicks;
    std::vector<size_t> Open;
    std::vector<String> OpenEntry;
};

TEST_F(TitleMenuTest, EntriesOpenByClickAndAcceleratorAndChooseAnItem) {
    // The hidden top-level item has no entry; the others sit one after another.
    ASSERT_EQ(Skin->MainMenu()->List().size(), 3u);
    EXPECT_EQ(Entry(0)->Pos()->XValue(), 5);
    EXPECT_EQ(Entry(1)->Pos()->XValue(), 5 + Entry(0)->Pos()->Width() + 8);
    EXPECT_TRUE(TPopupListEx::Active());

    // A full click opens the popup below the entry; Esc closes it and nothing stays down.
    const TPoint P = EntryPoint(0);
    Headless->Click(P.X, P.Y);
    Record();
    Headless->Key(VK_ESCAPE);
    RunScript();
    ASSERT_EQ(Open, std::vector<size_t>{1});
    EXPECT_EQ(OpenEntry[0], u"文件(&F)");
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_FALSE(Entry(0)->Down());
    EXPECT_EQ(Skin->MainMenu()->LastFocusMenu(), nullptr);

    // Alt+E opens the second entry; Enter on its item runs the source item's handler.
    Headless->KeyDown(VK_MENU);
    Headless->Key('E');
    Headless->KeyUp(VK_MENU);
    Record();
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RETURN);
    RunScript();
    ProcessMessages();
    ASSERT_EQ(OpenEntry.size(), 2u);
    EXPECT_EQ(OpenEntry[1], u"编辑(&E)");
    EXPECT_EQ(Clicks, std::vector<String>{u"复制(&C)"});
}

TEST_F(TitleMenuTest, HoveringAnotherEntrySwitchesTheOpenPopup) {
    const TPoint A = EntryPoint(0), B = EntryPoint(1);
    Headless->Click(A.X, A.Y);
    Record();
    Headless->MouseMove(B.X, B.Y);
    // The entry sees the pointer within 10 ms; the next popup opens 20 ms after the close.
    Headless->Delay(60);
    Record();
    Headless->Key(VK_ESCAPE);
    RunScript();
    ASSERT_EQ(OpenEntry.size(), 2u);
    EXPECT_EQ(OpenEntry[0], u"文件(&F)");
    EXPECT_EQ(OpenEntry[1], u"编辑(&E)");
    EXPECT_EQ(Open[1], 1u);
    EXPECT_FALSE(Entry(0)->Down());
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(TitleMenuTest, ACommandEntryRunsItsHandlerOncePerClickAndLetsGo) {
    const TPoint P = EntryPoint(2);
    Headless->Click(P.X, P.Y);
    // Far enough apart not to make a double click.
    Headless->Delay(1000);
    Headless->Click(P.X, P.Y);
    RunScript();
    EXPECT_EQ(Clicks, (std::vector<String>{u"帮助(&H)", u"帮助(&H)"}));
    EXPECT_FALSE(Entry(2)->Down());
    EXPECT_EQ(Skin->MainMenu()->LastFocusMenu(), nullptr);
    EXPECT_EQ(Entry(2)->State(), bsHot);
}

TEST_F(TitleMenuTest, SkinnedItemsShowNormalHotAndDisabledPixels) {
    auto* MenuSkin = new TPelluxMenu(F);
    Skin->MainMenu()->SetMenuSkin(MenuSkin);
    Refresh();
    const TPoint P = EntryPoint(0);
    Headless->Click(P.X, P.Y);
    // Down to "保存" (the separator is skipped), then probe the window.
    Headless->Key(VK_DOWN);
    Headless->Key(VK_DOWN);
    struct TProbe {
        bool Layered = false, Shadow = true;
        uint32_t Corner = 0, Hot = 0, Normal = 0;
        int DisabledText = 0, DarkerThanGrey = 0, WhiteOnHot = 0;
    } Probe;
    Headless->Step([&] {
        const std::vector<HWND> Wnds = MenuWindows();
        ASSERT_EQ(Wnds.size(), 1u);
        Probe.Layered = (GetWindowLongPtr(Wnds[0], GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        Probe.Shadow = (GetClassLongPtr(Wnds[0], GCL_STYLE) & CS_DROPSHADOW) != 0;
        ASSERT_EQ(MenuSkin->MenuWnds().size(), 1u);
        TSurface32* S = MenuSkin->MenuWnds()[0].hBit.get();
        // What the screen shows of the window, which only the pushed pixels reach.
        RECT W;
        GetWindowRect(Wnds[0], &W);
        const RECT Screen = QvScreenBounds();
        auto Shown = [&](int X, int Y) {
            return QvComposedScreen().Pixel(W.Left + X - Screen.Left, W.Top + Y - Screen.Top);
        };
        // Rows: 打开 (first, taller), separator, 保存 (hot), 关闭 (disabled, last).
        const int B = 6, Row = 22 + B / 2;
        const int SaveTop = 3 + Row + B / 2 + 3, CloseTop = SaveTop + Row;
        Probe.Corner = *S->PixelPtr(0, 0);
        Probe.Hot = Shown(S->Width() - 9, SaveTop + Row / 2);
        Probe.Normal = Shown(S->Width() - 9, 3 + B / 2 + Row / 2);
        for (int Y = CloseTop; Y < CloseTop + Row; ++Y)
            for (int X = 31; X < S->Width() - B; ++X) {
                const uint32_t C = Shown(X, Y);
                Probe.DisabledText += (C & 0xFFFFFF) != 0xFFFFFF;
                // No pixel of the disabled caption is darker than its grey.
                Probe.DarkerThanGrey += Channel(C, 16) < 0xB8 || Channel(C, 8) < 0xC4 || Channel(C, 0) < 0xCC;
                Probe.WhiteOnHot += (Shown(X, Y - Row) & 0xFFFFFF) == 0xFFFFFF;
            }
    });
    Headless->Key(VK_ESCAPE);
    RunScript();
    // The hook took the platform's shadow off; the skin draws its own.
    EXPECT_TRUE(PelluxMenuHookInstalled());
    EXPECT_TRUE(Probe.Layered);
    EXPECT_FALSE(Probe.Shadow);
    // The window's edge is see-through; the highlight is the skin's blue, a plain row white.
    EXPECT_EQ(Probe.Corner >> 24, 0u);
    EXPECT_EQ(Channel(Probe.Hot, 24), 255);
    EXPECT_NEAR(Channel(Probe.Hot, 16), 0x46, 2);
    EXPECT_NEAR(Channel(Probe.Hot, 8), 0x90, 2);
    EXPECT_NEAR(Channel(Probe.Hot, 0), 0xDC, 2);
    EXPECT_EQ(Probe.Normal, 0xFFFFFFFFu);
    EXPECT_GT(Probe.DisabledText, 10);
    EXPECT_EQ(Probe.DarkerThanGrey, 0);
    EXPECT_GT(Probe.WhiteOnHot, 10);
}

TEST_F(TitleMenuTest, MenusFreedDuringTheirLoopEndItSafely) {
    auto* MenuSkin = new TPelluxMenu(F);
    Skin->MainMenu()->SetMenuSkin(MenuSkin);
    Refresh();
    // The skin goes first (its items lose their handlers), then the title-bar menu rebuilds
    // under the open popup, which ends its loop.
    const TPoint P = EntryPoint(0);
    Headless->Click(P.X, P.Y);
    Headless->Step([&] {
        delete MenuSkin;
        EXPECT_FALSE(static_cast<bool>(File->OnAdvancedDrawItem));
        Skin->MainMenu()->Refresh();
    });
    RunScript();
    ProcessMessages();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_FALSE(MenuLoopActive());
    ASSERT_EQ(Skin->MainMenu()->List().size(), 3u);

    // The whole form freed while its popup is open.
    Headless->Click(EntryPoint(1).X, EntryPoint(1).Y);
    Headless->Step([&] { F->Free(); });
    RunScript();
    ProcessMessages();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_FALSE(TPopupListEx::Active());
}

TEST_F(TitleMenuTest, MenuEffectsAreThisProcessesAndComeBackAtTheEnd) {
    AppShutdown();
    for (UINT Set : {SPI_SETMENUFADE, SPI_SETMENUANIMATION, SPI_SETSELECTIONFADE})
        SystemParametersInfo(Set, 0, reinterpret_cast<void*>(1), 0);
    AppInit();
    auto Get = [](UINT Action) {
        BOOL Value = FALSE;
        SystemParametersInfo(Action, 0, &Value, 0);
        return Value;
    };
    EXPECT_FALSE(Get(SPI_GETSELECTIONFADE));
    auto* Owner = new TComponent(nullptr);
    new TPelluxMenu(Owner);
    EXPECT_FALSE(Get(SPI_GETMENUFADE));
    EXPECT_FALSE(Get(SPI_GETMENUANIMATION));
    delete Owner;
    AppShutdown();
    EXPECT_TRUE(Get(SPI_GETMENUFADE));
    EXPECT_TRUE(Get(SPI_GETMENUANIMATION));
    EXPECT_TRUE(Get(SPI_GETSELECTIONFADE));
    AppInit();
}

}  // namespace
