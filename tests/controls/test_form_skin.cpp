// The form skin on a window: what it reserves and paints, the frame without the skin,
// minimize and restore hiding, the first show, maximizing, the title bar's mouse rules and
// the references it keeps.

#include "controls/form_skin_fixture.h"
#include "draw/uPelluxDPI.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxMenu.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvMenus.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinInternal.h"
#include "skin/uPelluxRes.h"

namespace {

// Value blended over an opaque Base, as the frame lines are.
uint32_t Over(TColor32 Base, TColor32 Value) {
    TSurface32 S;
    S.SetSize(1, 1);
    S.Clear(Base);
    S.SetPixelTS(0, 0, Value);
    return S.GetPixel(0, 0) & 0xFFFFFF;
}

constexpr TColor32 Outer = 0x80000000, Inner = 0xB0FFFFFF;

TEST_F(FormSkinTest, FrameLinesAndCutCornersAreWhereTheyBelong) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200), bsSizeable, false);
    Skin->SetActiveGradient(false);
    Skin->SetTitlerColor(RGB(0, 0, 200));
    Skin->SetColor(RGB(240, 240, 240));
    ShowAndSettle(F);
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 296, 171));
    const TColor32 Title = Color32(0, 0, 200), Client = Color32(240, 240, 240);
    auto At = [&](int X, int Y) { return WinAt(F, X, Y) & 0xFFFFFF; };
    EXPECT_EQ(At(150, 0), Over(Title, Outer));
    EXPECT_EQ(At(150, 1), Over(Title, Inner));
    EXPECT_EQ(At(150, 2), Title & 0xFFFFFF);
    for (int Y : {27, 100, 197}) {
        EXPECT_EQ(At(0, Y), Over(Client, Outer)) << Y;
        EXPECT_EQ(At(1, Y), Over(Client, Inner)) << Y;
        EXPECT_EQ(At(299, Y), Over(Client, Outer)) << Y;
        EXPECT_EQ(At(298, Y), Over(Client, Inner)) << Y;
        EXPECT_EQ(At(2, Y), Client & 0xFFFFFF) << Y;
    }
    EXPECT_EQ(At(150, 199), Over(Client, Outer));
    EXPECT_EQ(At(150, 198), Over(Client, Inner));
    // The window region cuts the four corner pixels: the desktop shows there.
    const uint32_t Desktop = WinAt(F, -50, -50) & 0xFFFFFF;
    for (TPoint P : {TPoint{0, 0}, TPoint{299, 0}, TPoint{0, 199}, TPoint{299, 199}})
        EXPECT_EQ(At(P.X, P.Y), Desktop) << P.X << "," << P.Y;
    EXPECT_NE(At(1, 0), Desktop);
    // Maximized: no frame, no lines, no cut corners.
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ProcessMessages();
    EXPECT_EQ(Skin->FramWidth(), 0);
    EXPECT_EQ(Skin->RealFrameWidth(), 2);
    EXPECT_EQ(At(0, 100), Client & 0xFFFFFF);
    EXPECT_EQ(At(0, 0), Title & 0xFFFFFF);
}

TEST_F(FormSkinTest, WithoutTheSkinTheWindowKeepsAndPaintsItsOwnFrame) {
    TForm* Plain = Create<TForm>(Application);
    Plain->SetBoundsRect(Bounds(500, 500, 300, 200));
    ShowAndSettle(Plain);
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200), bsSizeable, false);
    Skin->SetActive(false);
    ShowAndSettle(F);
    EXPECT_EQ(F->ClientRect(), Plain->ClientRect());
    // The plain frame in both looks: the activation repaints it.
    for (BOOL Active : {FALSE, TRUE}) {
        SendMessage(F->Handle(), WM_NCACTIVATE, Active, 0);
        SendMessage(Plain->Handle(), WM_NCACTIVATE, Active, 0);
        ProcessMessages();
        for (TPoint P : {TPoint{0, 50}, TPoint{150, 5}, TPoint{150, 199}})
            EXPECT_EQ(WinAt(F, P.X, P.Y), WinAt(Plain, P.X, P.Y)) << Active << ": " << P.X << "," << P.Y;
    }
    // Back on, the skin reserves its own frame again.
    Skin->SetActive(true);
    ProcessMessages();
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 296, 171));
}

TEST_F(FormSkinTest, EveryWayOutOfTheMinimizedStateShowsTheFormAgain) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200));
    const HWND H = F->Handle();
    auto Minimize = [&] {
        // The low bits of the command (how it was given) do not matter.
        SendMessage(H, WM_SYSCOMMAND, SC_MINIMIZE | 3, 0);
        ProcessMessages();
        ASSERT_TRUE(IsIconic(H));
        EXPECT_EQ(Skin->FormState() & (QvFormMinimizing | QvFormRestored), QvFormMinimizing);
        EXPECT_TRUE(F->AlphaBlend());
        EXPECT_EQ(F->AlphaBlendValue(), 0);
    };
    auto ExpectShown = [&](const char* How) {
        ProcessMessages();
        EXPECT_FALSE(IsIconic(H)) << How;
        EXPECT_EQ(Skin->FormState() & (QvFormMinimizing | QvFormRestored), QvFormRestored) << How;
        EXPECT_FALSE(F->AlphaBlend()) << How;
        EXPECT_EQ(F->AlphaBlendValue(), 255) << How;
    };
    Minimize();
    SendMessage(H, WM_SYSCOMMAND, SC_RESTORE | 2, 0);
    ExpectShown("SC_RESTORE");
    Minimize();
    ShowWindow(H, SW_RESTORE);
    ExpectShown("SW_RESTORE");
    Minimize();
    F->SetWindowState(wsNormal);
    ExpectShown("WindowState");
    // A minimize by ShowWindow alone is noticed too.
    ShowWindow(H, SW_MINIMIZE);
    ProcessMessages();
    EXPECT_EQ(F->AlphaBlendValue(), 0);
    ShowWindow(H, SW_SHOWNORMAL);
    ExpectShown("SW_SHOWNORMAL");
}

TEST_F(FormSkinTest, FirstShowIsTransparentFor30MsThenTheFormsOwnAlpha) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200), bsSizeable, false);
    F->SetAlphaBlend(true);
    F->SetAlphaBlendValue(200);
    const uint32_t Desktop = QvComposedScreen().Pixel(600, 200);
    F->Show();
    ProcessMessages();
    EXPECT_EQ(F->AlphaBlendValue(), 0);
    EXPECT_EQ(WinAt(F, 100, 100), Desktop);
    Wait(29);
    EXPECT_EQ(F->AlphaBlendValue(), 0);
    Wait(1);
    EXPECT_TRUE(F->AlphaBlend());
    EXPECT_EQ(F->AlphaBlendValue(), 200);
    EXPECT_NE(WinAt(F, 100, 100), Desktop);
    // Later shows are not faded again.
    F->Hide();
    F->Show();
    ProcessMessages();
    EXPECT_EQ(F->AlphaBlendValue(), 200);
}

TEST_F(FormSkinTest, AMaximizedFormShownAgainKeepsItsHeight) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200), bsSizeable, false);
    F->SetWindowState(wsMaximized);
    ShowAndSettle(F);
    // Designed maximized: one short of the work area, grown by one once shown.
    EXPECT_EQ(F->BoundsRect(), Rect(0, 0, 1920, 1040));
    for (int I = 0; I < 3; ++I) {
        F->Hide();
        ShowAndSettle(F);
        EXPECT_EQ(F->BoundsRect(), Rect(0, 0, 1920, 1040));
    }
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_EQ(F->WindowState(), wsNormal);
    EXPECT_EQ(Skin->FramWidth(), 2);
}

TEST_F(FormSkinTest, MaximizeAndRestoreOnASecondaryMonitor) {
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 96},
                           TQvMonitorDesc{Rect(1920, 0, 3200, 1024), Rect(1920, 40, 3200, 1024), 96}});
    TForm* F = NewSkinned(Bounds(2000, 100, 400, 300));
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ProcessMessages();
    EXPECT_EQ(F->BoundsRect(), Rect(1920, 40, 3200, 1024));
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 1280, 984 - 27));
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_EQ(F->BoundsRect(), Bounds(2000, 100, 400, 300));
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 396, 271));
}

TEST_F(FormSkinTest, TitleAndFrameAt144DpiAndTheTrackSizes) {
    HighDPIEnabled = true;
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144}});
    TForm* F = NewSkinned(Bounds(500, 100, 600, 450), bsSizeable, false);
    F->ScaleForPPI(144);
    F->SetBoundsRect(Bounds(500, 100, 600, 450));
    Skin->SetTitleHeight(35);
    ShowAndSettle(F);
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 596, 450 - 53 - 2));  // MulDiv(35, 144, 96) = 53
    auto Hit = [&](int X, int Y) {
        const TPoint S = WinToScreen(F, X, Y);
        return SendMessage(F->Handle(), WM_NCHITTEST, 0, MAKELPARAM(S.X, S.Y));
    };
    EXPECT_EQ(Hit(300, 52), HTCAPTION);
    EXPECT_EQ(Hit(300, 53), HTCLIENT);
    EXPECT_EQ(Hit(597, 200), HTRIGHT);
    const MINMAXINFO Mm = QvGetMinMaxInfo(F->Handle());
    EXPECT_EQ(Mm.ptMinTrackSize, (POINT{120, 59}));
    HighDPIEnabled = false;
}

TEST_F(FormSkinTest, TheTitleBarMovesSizesAndMaximizesTheWindow) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200));
    Skin->Options()->SetDragFullWindows(wkDisable);
    BOOL During = TRUE;
    F->OnResize = [&](TObject*) { SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &During, 0); };
    TPoint S = WinToScreen(F, 150, 10);
    Headless->Drag(S.X, S.Y, S.X + 40, S.Y + 30);
    RunScript();
    EXPECT_EQ(F->BoundsRect(), Bounds(540, 130, 300, 200));
    BOOL After = FALSE;
    SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &After, 0);
    EXPECT_TRUE(After);
    S = WinToScreen(F, 298, 100);
    Headless->Drag(S.X, S.Y, S.X + 50, S.Y);
    RunScript();
    EXPECT_EQ(F->Width(), 350);
    EXPECT_FALSE(During);
    S = WinToScreen(F, 150, 10);
    Headless->DoubleClick(S.X, S.Y);
    RunScript();
    EXPECT_TRUE(IsZoomed(F->Handle()));
    S = WinToScreen(F, 150, 10);
    Headless->DoubleClick(S.X, S.Y);
    RunScript();
    EXPECT_FALSE(IsZoomed(F->Handle()));
    // A form designed without the maximize icon ignores the double click.
    auto* G = Create<TForm>(Application);
    G->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    G->SetBoundsRect(Bounds(500, 500, 300, 200));
    new TPelluxForm(G);
    ShowAndSettle(G);
    S = WinToScreen(G, 150, 10);
    Headless->DoubleClick(S.X, S.Y);
    RunScript();
    EXPECT_FALSE(IsZoomed(G->Handle()));
}

TEST_F(FormSkinTest, ReferencesToFreedComponentsAreCleared) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200));
    auto* Res = new TPelluxRes(F, u"./");
    auto* Border = new TQvFormLayerBorder(F);
    auto* Menu = new TMainMenu(F);
    auto* MenuSkin = new TPelluxMenu(F);
    Skin->SetSkinRes(Res);
    Skin->SetImageBorder(Border);
    Skin->MainMenu()->SetMainMenu(Menu);
    Skin->MainMenu()->SetMenuSkin(MenuSkin);
    EXPECT_TRUE(Border->Shown());
    delete Res;
    delete Border;
    delete Menu;
    delete MenuSkin;
    EXPECT_EQ(Skin->SkinRes(), nullptr);
    EXPECT_EQ(Skin->ImageBorder(), nullptr);
    EXPECT_EQ(Skin->MainMenu()->MainMenu(), nullptr);
    EXPECT_EQ(Skin->MainMenu()->MenuSkin(), nullptr);
    // The skin still works without them.
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_EQ(F->AlphaBlendValue(), 255);
}

TEST_F(FormSkinTest, NestedChangesRepaintOnceAndTheSettingsAreShared) {
    TForm* F = NewSkinned(Bounds(500, 100, 300, 200));
    int Repaints = 0;
    Skin->Changed = [&](TObject*) { ++Repaints; };
    Skin->BeginChange();
    Skin->BeginChange();
    Skin->SetColor(RGB(1, 2, 3));
    Skin->SetFramWidth(-1);
    Skin->EndChange();
    EXPECT_EQ(Repaints, 0);
    Skin->EndChange();
    EXPECT_EQ(Repaints, 1);
    EXPECT_EQ(Skin->FramWidth(), 2);
    EXPECT_EQ(SharedFormSkinRes()->Color(), RGB(1, 2, 3));
    Skin->SetTag(99999);
    Skin->SetColor(RGB(4, 5, 6));
    Skin->Repaint();
    EXPECT_EQ(SharedFormSkinRes()->Color(), RGB(1, 2, 3));
    Skin->SetFramWidth(0);
    EXPECT_TRUE(Skin->FlatFrame());
    static_cast<void>(F);
}

}  // namespace
