// The main window's skinned frame: the start-up ends in it, its title bar, borders and
// system buttons drive it, its layout follows its state and size, and its colours follow
// the title colour of its skin.

#include <functional>
#include <memory>
#include <vector>

#include "app/dmMain.h"
#include "controls/uPelluxMessageBoxStyle.h"
#include "skin/uPelluxRes.h"
#include "app/frmLogin.h"
#include "app/frmMain.h"
#include "app/uProSettings.h"
#include "app/uProgram.h"
#include "forms/uQvFormLayerWindow.h"
#include "controls/uPelluxButton.h"
#include "controls/uPelluxPanel.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvPaths.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

#include "app/program_fixture.h"

namespace {

class MainWindow : public TProgramTest {
protected:
    // A point of a window in screen coordinates.
    static TPoint OnWindow(TForm* F, int X, int Y) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        return TPoint{W.Left + X, W.Top + Y};
    }
    static TPoint OnButton(TForm* F, TPelluxNCCtrlBase* B) {
        const TRect R = B->ClientRect();
        return OnWindow(F, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2 + 4);
    }
    // The screen's pixel at a client point of Control (0xRRGGBB).
    static uint32_t At(const TControl* Control, int X, int Y) {
        const TPoint S = Control->ClientToScreen(TPoint{X, Y});
        return QvComposedScreen().Pixel(S.X, S.Y) & 0xFFFFFF;
    }
    // Each stage runs once the program waits for input again, 60 ms after the last (past
    // the skin's first-show fade): it checks what the input before it did and gives the
    // next input.
    void Stages(std::vector<std::function<void()>> List) {
        FStages = std::move(List);
        Queue(0);
    }

private:
    void Queue(size_t I) {
        if (I == FStages.size()) return;
        Headless->Delay(60);
        Headless->Step([this, I] {
            FStages[I]();
            Queue(I + 1);
        });
    }
    std::vector<std::function<void()>> FStages;
};

void ExpectSplitterCentred(TMainForm* F) {
    const int Top = (F->pnlLeft->Height() - 2 * 26) / 2 + F->pnlLeft->Top();
    EXPECT_EQ(F->btnShowNAVBar->Top(), Top);
    EXPECT_EQ(F->btnHideNAVBar->Top(), Top + 26);
}

TEST_F(MainWindow, TheStartUpEndsInTheSkinnedWindowThatItsTitleBarBordersAndButtonsDrive) {
    TRect Moved;
    Stages({
        [&] {
            const TPoint P = QvControlCenter(QvFindControl(u"LoginForm.btn1"));
            Headless->Click(P.X, P.Y);
        },
        [&] {
            // Opened maximized over the work area, under its own title bar and no frame.
            ASSERT_NE(MainForm, nullptr);
            const HWND H = MainForm->Handle();
            ASSERT_TRUE(IsZoomed(H));
            EXPECT_TRUE(MainForm->sf1->Active());
            EXPECT_EQ(MainForm->BoundsRect(), Rect(0, 0, 1920, 1040));
            EXPECT_EQ(MainForm->ClientRect(), Rect(0, 0, 1920, 1040 - 37));
            EXPECT_EQ(MainForm->sf1->FramWidth(), 0);
            EXPECT_FALSE(MainForm->AlphaBlend());
            EXPECT_NE(GetWindowLongPtr(H, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
            EXPECT_EQ(MainForm->pnlLeft->BackgroundOffsetX(), 18);
            EXPECT_EQ(MainForm->pnlLeft->BackgroundOffsetY(), -27);
            ExpectSplitterCentred(MainForm);
            EXPECT_FALSE(MainForm->qvfrmlyrbrdr1->Shown());
            const TPoint P = OnButton(MainForm, MainForm->systmbtn2);
            Headless->Click(P.X, P.Y);
        },
        [&] {
            // Restored, framed again.
            ASSERT_FALSE(IsZoomed(MainForm->Handle()));
            EXPECT_LT(MainForm->Width(), 1920);
            EXPECT_EQ(MainForm->sf1->FramWidth(), 1);
            EXPECT_EQ(MainForm->ClientRect(), Rect(0, 0, MainForm->Width() - 2, MainForm->Height() - 38));
            EXPECT_EQ(MainForm->pnlLeft->BackgroundOffsetX(), 19);
            EXPECT_EQ(MainForm->pnlLeft->BackgroundOffsetY(), -26);
            ExpectSplitterCentred(MainForm);
            // The shadow shows around the restored window, its left side just outside it.
            ASSERT_TRUE(MainForm->qvfrmlyrbrdr1->Shown());
            TqvFormLayerWindow* Left = MainForm->qvfrmlyrbrdr1->SideWindow(mpflLeft);
            ASSERT_NE(Left, nullptr);
            EXPECT_TRUE(IsWindowVisible(Left->Handle()));
            EXPECT_EQ(Left->Left() + Left->Width(), MainForm->Left() + 5);
            Moved = MainForm->BoundsRect();
            Moved = Bounds(Moved.Left + 40, Moved.Top + 30, Moved.Width(), Moved.Height());
            const TPoint P = OnWindow(MainForm, 300, 20);
            Headless->Drag(P.X, P.Y, P.X + 40, P.Y + 30);
        },
        [&] {
            EXPECT_EQ(MainForm->BoundsRect(), Moved);
            const TPoint P = OnWindow(MainForm, MainForm->Width() - 1, 300);
            Headless->Drag(P.X, P.Y, P.X + 50, P.Y);
        },
        [&] {
            EXPECT_EQ(MainForm->Width(), Moved.Width() + 50);
            // The title stays in the middle of the wider bar.
            const TRect R = MainForm->nclbl1->ClientRect();
            EXPECT_LE(std::abs((R.Left + R.Right) - MainForm->Width()), 2);
            ExpectSplitterCentred(MainForm);
            const TPoint P = OnWindow(MainForm, 300, 20);
            Headless->DoubleClick(P.X, P.Y);
        },
        [&] {
            ASSERT_TRUE(IsZoomed(MainForm->Handle()));
            const TPoint P = OnButton(MainForm, MainForm->systmbtn1);
            Headless->Click(P.X, P.Y);
        },
        [&] {
            // Minimized hidden at alpha 0; any way back shows it again as it was.
            const HWND H = MainForm->Handle();
            ASSERT_TRUE(IsIconic(H));
            EXPECT_EQ(MainForm->AlphaBlendValue(), 0);
            SendMessage(H, WM_SYSCOMMAND, SC_RESTORE, 0);
            EXPECT_TRUE(IsZoomed(H));
            EXPECT_EQ(MainForm->AlphaBlendValue(), 255);
            const TPoint P = OnButton(MainForm, MainForm->systmbtn3);
            Headless->Click(P.X, P.Y);
        },
    });
    RunProgram();
    EXPECT_TRUE(LoginAllowed);
    EXPECT_EQ(MainForm, nullptr);
    EXPECT_EQ(Application, nullptr);
    EXPECT_TRUE(Headless->ScriptDone());
}

TEST_F(MainWindow, ColoursFollowTheTitleColourAndTheTitleStaysCentredAt150Percent) {
    ProgramInitialization();
    Application->CreateForm(MainDataModule);
    Application->CreateForm(MainForm);
    MainForm->Show();
    Headless->Advance(60);
    ProcessMessages();
    SendMessage(MainForm->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    // The monitor turns to 150 %: the title bar is measured again at the new dpi, and the
    // label (measured in pixels, placed at 96 dpi) stays in the middle.
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 144}});
    ProcessMessages();
    EXPECT_EQ(MainForm->Height() - MainForm->ClientHeight(), 56 + 1);
    TRect R = MainForm->nclbl1->ClientRect();
    EXPECT_LE(std::abs((R.Left + R.Right) - MainForm->Width()), 3);
    SendMessage(MainForm->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ProcessMessages();
    EXPECT_EQ(MainForm->ClientRect().Height(), 1040 - 56);
    R = MainForm->nclbl1->ClientRect();
    EXPECT_LE(std::abs((R.Left + R.Right) - 1920), 3);

    constexpr TColor Red = RGB(200, 60, 60);
    MainForm->sf1->SetTitlerColor(Red);
    MainForm->sf1->Repaint();
    ProcessMessages();
    for (TPelluxPanel* P : {MainForm->pnlLeft, MainForm->pnl1, MainForm->pnl2, MainForm->pnl3})
        EXPECT_EQ(P->Color(), Red) << StringToUtf8(P->Name());
    EXPECT_EQ(MainForm->sf1->Color(), Red);
    EXPECT_EQ(MainDataModule->qvsknmsgbxstyl1->Form()->TitlerColor(), Red);
    EXPECT_EQ(At(MainForm->pnlLeft, 5, 300), 0xC83C3Cu);
    EXPECT_EQ(At(MainForm->pnl1, 300, 5), 0xC83C3Cu);
    EXPECT_EQ(At(MainForm->pnlSubClient, 300, 300), 0xFFFFFFu);
    ProgramFinalization();
}

}  // namespace
