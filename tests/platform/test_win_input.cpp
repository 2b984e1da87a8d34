// Input: routing and the non-client protocol, the move/size loop, double clicks, capture
// and leave tracking, activation by click, the wheel and the keyboard.

#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvTimers.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

using Lines = std::vector<std::string>;

namespace {
// A skinned-form-like window: a 30 px caption at the top and a 10 px sizing corner at the
// bottom right, answered by its own hit test.
void CustomFrame(TQvMessageLog& Log, HWND W) {
    Log.On(W, WM_NCHITTEST, [](HWND H, UINT, WPARAM, LPARAM L, LRESULT& R) {
        RECT Wr;
        GetWindowRect(H, &Wr);
        const int X = GET_X_LPARAM(L), Y = GET_Y_LPARAM(L);
        if (!PtInRect(Wr, POINT{X, Y}))
            R = HTNOWHERE;
        else if (X >= Wr.Right - 10 && Y >= Wr.Bottom - 10)
            R = HTBOTTOMRIGHT;
        else if (Y < Wr.Top + 30)
            R = HTCAPTION;
        else
            R = HTCLIENT;
        return true;
    });
}
}  // namespace

class WinInput : public TQvHeadlessTest {};

TEST_F(WinInput, HitTestDecidesBetweenClientAndNonClientMessages) {
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 96},
                           TQvMonitorDesc{Rect(-1920, 0, 0, 1080), Rect(-1920, 0, 0, 1080), 96}});
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(-500, 100, 300, 200));
    CustomFrame(Log, W);
    ProcessMessages();
    Log.Clear();
    Headless->MouseMove(-400, 110);
    Headless->MouseMove(-400, 150);
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_NCHITTEST -400,110",
        "w WM_SETCURSOR hit=2 WM_NCMOUSEMOVE",
        "w WM_NCMOUSEMOVE hit=2 -400,110",
        "w WM_NCHITTEST -400,150",
        "w WM_SETCURSOR hit=1 WM_MOUSEMOVE",
        "w WM_MOUSEMOVE 100,50 keys=0x0",
    }));
    // A probe for another point in between is followed by a fresh hit test for the routed
    // point, right before the mouse message.
    Log.On(W, WM_SETCURSOR, [](HWND, UINT, WPARAM, LPARAM, LRESULT& R) {
        WindowFromPoint(POINT{-499, 101});
        R = TRUE;
        return true;
    });
    Log.Clear();
    Headless->MouseMove(-300, 160);
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_NCHITTEST -300,160",
        "w WM_SETCURSOR hit=1 WM_MOUSEMOVE",
        "w WM_NCHITTEST -499,101",
        "w WM_NCHITTEST -300,160",
        "w WM_MOUSEMOVE 200,60 keys=0x0",
    }));
}

TEST_F(WinInput, CaptionDragRunsTheMoveLoop) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 300, 200));
    CustomFrame(Log, W);
    ProcessMessages();
    Log.Clear();
    Headless->Drag(150, 110, 170, 140, 2);
    RunScript();
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(120, 130, 300, 200));
    EXPECT_EQ(QvJoin(Log.LinesWithout({WM_NCHITTEST, WM_SETCURSOR, WM_NCMOUSEMOVE, WM_CAPTURECHANGED})), QvJoin(Lines{
        "w WM_NCLBUTTONDOWN hit=2 150,110",
        "w WM_SYSCOMMAND 0xF012",
        "w WM_ENTERSIZEMOVE",
        "w WM_MOVING 110,115,410,315",
        "w WM_WINDOWPOSCHANGING flags=0x15 pos=110,115 size=300x200",
        "w WM_WINDOWPOSCHANGED flags=0x15 pos=110,115 size=300x200",
        "w WM_MOVE pos=110,115",
        "w WM_MOVING 120,130,420,330",
        "w WM_WINDOWPOSCHANGING flags=0x15 pos=120,130 size=300x200",
        "w WM_WINDOWPOSCHANGED flags=0x15 pos=120,130 size=300x200",
        "w WM_MOVE pos=120,130",
        "w WM_EXITSIZEMOVE",
    }));
    EXPECT_EQ(GetCapture(), nullptr);
    // A press and release without movement changes nothing.
    Log.Clear();
    Headless->Click(150, 140);
    RunScript();
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(120, 130, 300, 200));
    EXPECT_EQ(Log.Count(W, WM_WINDOWPOSCHANGING), 0u);
}

TEST_F(WinInput, CornerDragSizesWithinTheTrackSizesAndEscapePutsItBack) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, Bounds(100, 100, 300, 200));
    CustomFrame(Log, W);
    Log.On(W, WM_NCCALCSIZE, [](HWND, UINT, WPARAM, LPARAM, LRESULT& R) { R = 0; return true; });
    Log.On(W, WM_GETMINMAXINFO, [](HWND, UINT, WPARAM, LPARAM L, LRESULT&) {
        reinterpret_cast<MINMAXINFO*>(L)->ptMinTrackSize = POINT{250, 150};
        return true;
    });
    Log.Clear();
    Headless->Drag(395, 295, 415, 305, 1);
    RunScript();
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(100, 100, 320, 210));
    EXPECT_EQ(QvJoin(Log.Lines({WM_SYSCOMMAND, WM_SIZING, WM_SIZE, WM_EXITSIZEMOVE})), QvJoin(Lines{
        "w WM_SYSCOMMAND 0xF008",
        "w WM_SIZING edge=8 100,100,420,310",
        "w WM_SIZE type=0 size=320x210",
        "w WM_EXITSIZEMOVE",
    }));
    // Shrinking stops at the smallest track size; Esc ends the loop and restores.
    Headless->MouseMove(415, 305);
    Headless->Press();
    Headless->MouseMove(200, 150);
    Headless->Step([&] {
        GetWindowRect(W, &R);
        EXPECT_EQ(R, Bounds(100, 100, 250, 150));
    });
    Headless->Key(VK_ESCAPE);
    Headless->Release();
    RunScript();
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(100, 100, 320, 210));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinInput, OutlineDraggingPlacesTheWindowOnlyAtTheEnd) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 300, 200));
    CustomFrame(Log, W);
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    Log.Clear();
    Headless->Drag(150, 110, 190, 110, 4);
    RunScript();
    EXPECT_EQ(Log.Count(W, WM_MOVING), 4u);
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOVE})), QvJoin(Lines{"w WM_MOVE pos=140,100"}));
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
}

TEST_F(WinInput, CancelModeEndsTheLoopAndRestores) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 300, 200));
    CustomFrame(Log, W);
    Headless->MouseMove(150, 110);
    Headless->Press();
    Headless->MouseMove(180, 110);
    Headless->Step([&] { SendMessage(W, WM_CANCELMODE, 0, 0); });
    Headless->Release();
    RunScript();
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(100, 100, 300, 200));
    EXPECT_EQ(Log.Count(W, WM_EXITSIZEMOVE), 1u);
}

TEST_F(WinInput, TitleDoubleClickComesWhateverTheClassStyle) {
    for (UINT ClassStyle : {0u, static_cast<UINT>(CS_DBLCLKS)}) {
        TQvMessageLog Log;
        HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE | WS_MAXIMIZEBOX, Bounds(100, 100, 300, 200), nullptr, 0, ClassStyle);
        CustomFrame(Log, W);
        Log.Clear();
        Headless->DoubleClick(150, 110);
        RunScript();
        EXPECT_EQ(QvJoin(Log.Lines({WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_LBUTTONUP, WM_NCLBUTTONUP})), QvJoin(Lines{
            // The move loop of the first press eats its release.
            "w WM_NCLBUTTONDOWN hit=2 150,110",
            "w WM_NCLBUTTONDBLCLK hit=2 150,110",
            // Maximized by now, so the point lies in the client area.
            "w WM_LBUTTONUP 150,110 keys=0x0",
        })) << "class style " << ClassStyle;
        EXPECT_TRUE(IsZoomed(W));  // DefWindowProc maximizes on a caption double click
        DestroyWindow(W);
    }
}

TEST_F(WinInput, ClientDoubleClickNeedsTheClassStyle) {
    TQvMessageLog Log;
    HWND Plain = Log.Create("plain", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Dbl = Log.Create("dbl", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100), nullptr, 0, CS_DBLCLKS);
    Headless->DoubleClick(50, 50);
    Headless->DoubleClick(250, 50);
    // Too slow, too far, then a third press after a pair starts over.
    Headless->Click(260, 60);
    Headless->Delay(501);
    Headless->Click(260, 60);
    Headless->Click(262, 60);
    Headless->Click(250, 50);
    Headless->Click(250, 50);
    Headless->Click(250, 50);
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})), QvJoin(Lines{
        "plain WM_LBUTTONDOWN 50,50 keys=0x1",
        "plain WM_LBUTTONDOWN 50,50 keys=0x1",
        "dbl WM_LBUTTONDOWN 50,50 keys=0x1",
        "dbl WM_LBUTTONDBLCLK 50,50 keys=0x1",
        "dbl WM_LBUTTONDOWN 60,60 keys=0x1",
        "dbl WM_LBUTTONDOWN 60,60 keys=0x1",
        "dbl WM_LBUTTONDOWN 62,60 keys=0x1",
        "dbl WM_LBUTTONDOWN 50,50 keys=0x1",
        "dbl WM_LBUTTONDBLCLK 50,50 keys=0x1",
        "dbl WM_LBUTTONDOWN 50,50 keys=0x1",
    }));
    (void)Plain;
    (void)Dbl;
}

TEST_F(WinInput, CaptureGetsEverythingInClientCoordinatesAndLeaveIsPostedOnce) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 100, 100));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(300, 100, 100, 100));
    Log.On(A, WM_LBUTTONDOWN, [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        SetCapture(H);
        TRACKMOUSEEVENT T;
        T.dwFlags = TME_LEAVE;
        T.hwndTrack = H;
        EXPECT_TRUE(TrackMouseEvent(&T));
        return true;
    });
    Log.On(A, WM_LBUTTONUP, [](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        ReleaseCapture();
        return true;
    });
    Headless->Click(150, 150);
    Headless->Step([] {});
    Headless->MouseMove(150, 150);
    Headless->Press();
    Headless->MouseMove(50, 40);
    Headless->MouseMove(350, 150);
    Headless->Release();
    Headless->MouseMove(360, 150);
    Log.Clear();
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED, WM_MOUSELEAVE})), QvJoin(Lines{
        "a WM_MOUSEMOVE 50,50 keys=0x0",
        "a WM_LBUTTONDOWN 50,50 keys=0x1",
        "a WM_LBUTTONUP 50,50 keys=0x0",
        "a WM_CAPTURECHANGED new=0",
        "a WM_MOUSEMOVE 50,50 keys=0x0",
        "a WM_LBUTTONDOWN 50,50 keys=0x1",
        "a WM_MOUSEMOVE -50,-60 keys=0x1",
        "a WM_MOUSELEAVE",
        "a WM_MOUSEMOVE 250,50 keys=0x1",
        "a WM_LBUTTONUP 250,50 keys=0x0",
        "a WM_CAPTURECHANGED new=0",
        "b WM_MOUSEMOVE 60,50 keys=0x0",
    }));
    // The first click's TrackMouseEvent found the pointer inside; leaving without capture
    // posts the leave too.
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_LEAVE;
    T.hwndTrack = B;
    EXPECT_TRUE(TrackMouseEvent(&T));
    Log.Clear();
    Headless->MouseMove(1000, 1000);
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{"b WM_MOUSELEAVE"}));
}

TEST_F(WinInput, ClickActivationFollowsMouseActivate) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), A);
    ASSERT_EQ(GetActiveWindow(), B);
    ASSERT_NE(K, nullptr);
    Headless->MouseMove(15, 15);
    RunScript();
    Log.Clear();
    Headless->Press();
    Headless->Release();
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "k WM_NCHITTEST 15,15",
        "k WM_MOUSEACTIVATE hit=1 WM_LBUTTONDOWN",
        "a WM_MOUSEACTIVATE hit=1 WM_LBUTTONDOWN",
        "a WM_WINDOWPOSCHANGING flags=0x13 pos=0,0 size=100x100",
        "a WM_WINDOWPOSCHANGED flags=0x13 pos=0,0 size=100x100",
        "b WM_NCACTIVATE 0",
        "b WM_ACTIVATE state=0 other=a",
        "a WM_NCACTIVATE 1",
        "a WM_ACTIVATE state=2 other=b",
        "b WM_KILLFOCUS other=a",
        "a WM_SETFOCUS other=b",
        "k WM_SETCURSOR hit=1 WM_LBUTTONDOWN",
        "a WM_SETCURSOR hit=1 WM_LBUTTONDOWN",
        "k WM_LBUTTONDOWN 5,5 keys=0x1",
        "k WM_NCHITTEST 15,15",
        "k WM_SETCURSOR hit=1 WM_LBUTTONUP",
        "a WM_SETCURSOR hit=1 WM_LBUTTONUP",
        "k WM_LBUTTONUP 5,5 keys=0x0",
    }));
    // No activation, or the press eaten.
    Log.Answer(B, WM_MOUSEACTIVATE, MA_NOACTIVATE);
    Headless->Click(250, 50);
    RunScript();
    EXPECT_EQ(GetActiveWindow(), A);
    EXPECT_EQ(Log.Count(B, WM_LBUTTONDOWN), 1u);
    Log.Answer(B, WM_MOUSEACTIVATE, MA_ACTIVATEANDEAT);
    Headless->Click(250, 50);
    RunScript();
    EXPECT_EQ(GetActiveWindow(), B);
    EXPECT_EQ(Log.Count(B, WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(Log.Count(B, WM_LBUTTONUP), 2u);
}

TEST_F(WinInput, NoActivateWindowsTakeClicksWithoutActivation) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND List = Log.Create("list", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100), Main, WS_EX_NOACTIVATE);
    Headless->Click(250, 50);
    RunScript();
    EXPECT_EQ(GetActiveWindow(), Main);
    EXPECT_EQ(Log.Count(List, WM_LBUTTONDOWN), 1u);
}

TEST_F(WinInput, PressOnADisabledOwnerRaisesItsEnabledWindow) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 500, 500));
    HWND Dlg = Log.Create("dlg", WS_POPUP | WS_VISIBLE, Bounds(600, 0, 100, 100), Main);
    EnableWindow(Main, FALSE);
    HWND Other = Log.Create("other", WS_POPUP | WS_VISIBLE, Bounds(800, 0, 100, 100));
    ASSERT_EQ(GetActiveWindow(), Other);
    Headless->Click(50, 50);
    RunScript();
    EXPECT_EQ(GetActiveWindow(), Dlg);
    EXPECT_EQ(Log.Count(Main, WM_LBUTTONDOWN), 0u);
    EXPECT_EQ(Log.Count(Main, WM_NCHITTEST), 0u);
}

TEST_F(WinInput, MovesOverOneWindowFoldIntoTheLast) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(100, 0, 100, 100));
    Log.Clear();
    QvInputMouseMove(POINT{10, 10});
    QvInputMouseMove(POINT{20, 10});
    QvInputMouseMove(POINT{30, 10});
    QvInputMouseMove(POINT{110, 10});
    QvInputMouseMove(POINT{120, 10});
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOUSEMOVE})), QvJoin(Lines{"a WM_MOUSEMOVE 30,10 keys=0x0", "b WM_MOUSEMOVE 20,10 keys=0x0"}));
    (void)A;
    (void)B;
}

TEST_F(WinInput, HoverComesAfterTheRestInsideTheHoverRectangleOnce) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 100, 100));
    std::vector<uint64_t> HoverAt;
    Log.On(A, WM_MOUSEHOVER, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        HoverAt.push_back(GetTickCount64());
        return true;
    });
    Headless->MouseMove(150, 150);
    RunScript();
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_HOVER | TME_LEAVE;
    T.hwndTrack = A;
    T.dwHoverTime = HOVER_DEFAULT;
    ASSERT_TRUE(TrackMouseEvent(&T));
    const uint64_t Start = GetTickCount64();
    // Within the 4 x 4 rectangle the rest goes on; a move out of it starts it again.
    Headless->Delay(300);
    Headless->MouseMove(151, 151);
    Headless->Delay(50);
    Headless->MouseMove(155, 150);
    Headless->Delay(399);
    Headless->MouseMove(156, 150);
    Headless->Delay(1000);
    Headless->MouseMove(157, 150);
    Log.Clear();
    RunScript();
    ASSERT_EQ(HoverAt.size(), 1u);  // one per request
    EXPECT_EQ(HoverAt[0], Start + 350 + 400);
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOUSEHOVER, WM_MOUSELEAVE})),
              QvJoin(Lines{"a WM_MOUSEHOVER 56,50 keys=0x0"}));
    TRACKMOUSEEVENT Q;
    Q.dwFlags = TME_QUERY;
    ASSERT_TRUE(TrackMouseEvent(&Q));
    EXPECT_EQ(Q.dwFlags, TME_LEAVE);  // leave tracking stays
    EXPECT_EQ(Q.hwndTrack, A);
    // Cancelled hover never comes; leaving ends the tracking with one leave.
    T.dwHoverTime = 100;
    ASSERT_TRUE(TrackMouseEvent(&T));
    T.dwFlags = TME_HOVER | TME_CANCEL;
    ASSERT_TRUE(TrackMouseEvent(&T));
    Headless->Delay(500);
    Headless->MouseMove(500, 500);
    Log.Clear();
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOUSEHOVER, WM_MOUSELEAVE})), QvJoin(Lines{"a WM_MOUSELEAVE"}));
    Q.dwFlags = TME_QUERY;
    ASSERT_TRUE(TrackMouseEvent(&Q));
    EXPECT_EQ(Q.dwFlags, 0u);
}

TEST_F(WinInput, NonClientTrackingHoversAndLeavesTheFrame) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
    Log.On(A, WM_NCMOUSEMOVE, [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        TRACKMOUSEEVENT T;
        T.dwFlags = TME_HOVER | TME_LEAVE | TME_NONCLIENT;
        T.hwndTrack = H;
        T.dwHoverTime = 200;
        TrackMouseEvent(&T);
        return true;
    });
    Headless->MouseMove(200, 110);  // the caption
    Headless->Delay(250);
    Headless->MouseMove(200, 200);  // the client area
    Log.Clear();
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCMOUSEHOVER, WM_NCMOUSELEAVE, WM_MOUSELEAVE})),
              QvJoin(Lines{"a WM_NCMOUSEHOVER hit=2 at=200,110", "a WM_NCMOUSELEAVE"}));
}

TEST_F(WinInput, WheelGoesToTheFocusAndUpToItsParent) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Edit = Log.Create("edit", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), Main);
    SetFocus(Edit);
    Headless->MouseMove(500, 500);
    Headless->Wheel(-120);
    Headless->HWheel(240);
    Log.Clear();
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOUSEWHEEL, WM_MOUSEHWHEEL})), QvJoin(Lines{
        "edit WM_MOUSEWHEEL delta=-120 at=500,500",
        "main WM_MOUSEWHEEL delta=-120 at=500,500",
        "edit WM_MOUSEHWHEEL delta=240 at=500,500",
        "main WM_MOUSEHWHEEL delta=240 at=500,500",
    }));
    UINT L = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &L, 0);
    EXPECT_EQ(L, 3u);
}

TEST_F(WinInput, KeysReachTheFocusWithTheirStateAndCharacters) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Edit = Log.Create("edit", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), Main);
    SetFocus(Edit);
    ProcessMessages();
    bool CtrlSeen = false;
    Log.On(Edit, WM_KEYDOWN, [&](HWND, UINT, WPARAM W, LPARAM L, LRESULT&) {
        if (W == 'A') CtrlSeen = GetKeyState(VK_CONTROL) < 0 && (L & KF_UP_BIT) == 0;
        return true;
    });
    Log.Clear();
    Headless->Key(VK_RETURN);
    Headless->Text(u"中a");
    Headless->KeyDown(VK_CONTROL);
    Headless->Key('A');
    Headless->KeyUp(VK_CONTROL);
    RunScript();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "edit WM_KEYDOWN vk=0xD",
        "edit WM_CHAR ch=13",
        "edit WM_KEYUP vk=0xD",
        "edit WM_CHAR ch=20013",
        "edit WM_CHAR ch=97",
        "edit WM_KEYDOWN vk=0x11",
        "edit WM_KEYDOWN vk=0x41",
        "edit WM_CHAR ch=1",
        "edit WM_KEYUP vk=0x41",
        "edit WM_KEYUP vk=0x11",
    }));
    EXPECT_TRUE(CtrlSeen);
    EXPECT_FALSE(GetKeyState(VK_CONTROL) < 0);
    // Alt+F4 closes the top-level window through SC_CLOSE.
    Headless->KeyDown(VK_MENU);
    Headless->Key(VK_F4);
    Headless->KeyUp(VK_MENU);
    RunScript();
    EXPECT_FALSE(IsWindow(Main));
    EXPECT_EQ(QvJoin(Log.Lines({WM_SYSCOMMAND, WM_CLOSE})), QvJoin(Lines{"main WM_SYSCOMMAND 0xF060", "main WM_CLOSE"}));
}

TEST_F(WinInput, DefaultCursorsAndContextMenu) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, Bounds(100, 100, 200, 200));
    HWND Kid = Log.Create("kid", WS_CHILD | WS_VISIBLE, Bounds(20, 20, 50, 50), Main);
    Headless->MouseMove(101, 200);
    RunScript();
    EXPECT_EQ(QvCursorId(Headless->Cursor()), IDC_SIZEWE);
    Headless->MouseMove(300 - 2, 300 - 2);
    RunScript();
    EXPECT_EQ(QvCursorId(GetCursor()), IDC_SIZENWSE);
    // A parent answering WM_SETCURSOR decides for its children.
    Log.On(Main, WM_SETCURSOR, [](HWND, UINT, WPARAM, LPARAM, LRESULT& R) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        R = TRUE;
        return true;
    });
    Headless->Click(130, 130, TQvButton::Right);
    RunScript();
    EXPECT_EQ(QvCursorId(GetCursor()), IDC_HAND);
    EXPECT_EQ(QvJoin(Log.Lines({WM_CONTEXTMENU})), QvJoin(Lines{"kid WM_CONTEXTMENU at=130,130", "main WM_CONTEXTMENU at=130,130"}));
    Headless->SetCursorPosFails(true);
    POINT P;
    EXPECT_FALSE(GetCursorPos(&P));
    (void)Kid;
}

TEST_F(WinInput, DefaultFrameGeometry) {
    const TQvFrameMetrics M = QvFrameMetrics(WS_OVERLAPPEDWINDOW, 96);
    EXPECT_EQ(M.Border, 4);
    EXPECT_EQ(M.Caption, 22);
    EXPECT_EQ(QvFrameMetrics(WS_OVERLAPPEDWINDOW, 144).Caption, 33);
    const RECT W = Bounds(0, 0, 200, 100);
    EXPECT_EQ(QvFrameClientRect(W, M), Rect(4, 26, 196, 96));
    EXPECT_EQ(QvFrameHitTest(W, POINT{0, 0}, WS_OVERLAPPEDWINDOW, M), HTTOPLEFT);
    EXPECT_EQ(QvFrameHitTest(W, POINT{100, 0}, WS_OVERLAPPEDWINDOW, M), HTTOP);
    EXPECT_EQ(QvFrameHitTest(W, POINT{0, 50}, WS_OVERLAPPEDWINDOW, M), HTLEFT);
    EXPECT_EQ(QvFrameHitTest(W, POINT{199, 99}, WS_OVERLAPPEDWINDOW, M), HTBOTTOMRIGHT);
    EXPECT_EQ(QvFrameHitTest(W, POINT{199, 10}, WS_OVERLAPPEDWINDOW, M), HTTOPRIGHT);
    EXPECT_EQ(QvFrameHitTest(W, POINT{100, 10}, WS_OVERLAPPEDWINDOW, M), HTCAPTION);
    EXPECT_EQ(QvFrameHitTest(W, POINT{180, 10}, WS_OVERLAPPEDWINDOW, M), HTCLOSE);
    EXPECT_EQ(QvFrameHitTest(W, POINT{100, 50}, WS_OVERLAPPEDWINDOW, M), HTCLIENT);
    EXPECT_EQ(QvFrameHitTest(W, POINT{200, 50}, WS_OVERLAPPEDWINDOW, M), HTNOWHERE);
    const TQvFrameMetrics Thin = QvFrameMetrics(WS_POPUP | WS_BORDER, 96);
    EXPECT_EQ(QvFrameHitTest(W, POINT{0, 50}, WS_POPUP | WS_BORDER, Thin), HTBORDER);
    EXPECT_EQ(QvFrameMetrics(WS_POPUP, 96).Border, 0);
    RECT A = Rect(4, 26, 196, 96);
    AdjustWindowRectEx(&A, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(A, W);
    // Sizing moves only the named edges; the track sizes hold the opposite edges still.
    const RECT S = Rect(100, 100, 300, 200);
    const POINT Min{120, 50}, Max{400, 150};
    EXPECT_EQ(QvSizedRect(S, WMSZ_LEFT, -30, 99, Min, Max), Rect(70, 100, 300, 200));
    EXPECT_EQ(QvSizedRect(S, WMSZ_TOPLEFT, 150, 90, Min, Max), Rect(180, 150, 300, 200));
    EXPECT_EQ(QvSizedRect(S, WMSZ_BOTTOMRIGHT, 500, 500, Min, Max), Rect(100, 100, 500, 250));
    // A maximum below the minimum counts as the minimum.
    EXPECT_EQ(QvSizedRect(S, WMSZ_TOP, 0, 60, Min, POINT{0, 0}), Rect(100, 150, 220, 200));
}

TEST_F(WinInput, CloseBoxClosesOnReleaseOverIt) {
    WNDCLASS C;
    C.lpfnWndProc = DefWindowProc;
    C.lpszClassName = u"Plain";
    RegisterClass(&C);
    HWND W = CreateWindowEx(0, u"Plain", u"w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                            nullptr, nullptr);
    Headless->MouseMove(285, 110);
    Headless->Press();
    Headless->MouseMove(200, 150);  // released elsewhere: nothing
    Headless->Release();
    RunScript();
    EXPECT_TRUE(IsWindow(W));
    Headless->Click(285, 110);
    RunScript();
    EXPECT_FALSE(IsWindow(W));
}
