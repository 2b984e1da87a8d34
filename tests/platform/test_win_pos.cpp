// Geometry, z-order, showing, minimize/maximize/restore and activation.

#include "platform/uQvInput.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

using Lines = std::vector<std::string>;

class WinPos : public TQvHeadlessTest {
protected:
    std::vector<HWND> ZOrder() {
        std::vector<HWND> Z;
        for (HWND H = GetTopWindow(nullptr); H != nullptr; H = GetWindow(H, GW_HWNDNEXT)) Z.push_back(H);
        return Z;
    }
};

TEST_F(WinPos, SetWindowPosSendsItsSequenceWithTheFlagsAsGiven) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 80), nullptr, WS_EX_NOACTIVATE);
    Log.Clear();
    SetWindowPos(W, nullptr, 20, 30, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_WINDOWPOSCHANGING flags=0x14 pos=20,30 size=120x90",
        "w WM_NCCALCSIZE 1",
        "w WM_ERASEBKGND",  // the newly exposed part
        "w WM_WINDOWPOSCHANGED flags=0x14 pos=20,30 size=120x90",
        "w WM_MOVE pos=20,30",
        "w WM_SIZE type=0 size=120x90",
    }));
    // A move alone asks for no client rectangle and sends no WM_SIZE; CHANGED carries the
    // final rectangle even with NOSIZE.
    Log.Clear();
    SetWindowPos(W, nullptr, 25, 35, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_WINDOWPOSCHANGING flags=0x15 pos=25,35 size=120x90",
        "w WM_WINDOWPOSCHANGED flags=0x15 pos=25,35 size=120x90",
        "w WM_MOVE pos=25,35",
    }));
    // A handler of WM_WINDOWPOSCHANGING may change the request.
    Log.On(W, WM_WINDOWPOSCHANGING, [](HWND, UINT, WPARAM, LPARAM L, LRESULT&) {
        reinterpret_cast<WINDOWPOS*>(L)->x = 0;
        return true;
    });
    Log.Clear();
    SetWindowPos(W, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(0, 50, 120, 90));
    EXPECT_EQ(Log.Lines({WM_NCCALCSIZE}).size(), 1u);  // SWP_FRAMECHANGED asks again
}

TEST_F(WinPos, ShowAndHideUseTheirFixedFlags) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(10, 10, 100, 80));
    Log.Clear();
    EXPECT_FALSE(ShowWindow(W, SW_SHOW));
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_SHOWWINDOW show=1 status=0",
        "w WM_WINDOWPOSCHANGING flags=0x43 pos=10,10 size=100x80",
        "w WM_ERASEBKGND",
        "w WM_WINDOWPOSCHANGED flags=0x43 pos=10,10 size=100x80",
        "w WM_ACTIVATEAPP 1",
        "w WM_NCACTIVATE 1",
        "w WM_ACTIVATE state=1 other=0",
        "w WM_SETFOCUS other=0",
    }));
    Log.Clear();
    EXPECT_TRUE(ShowWindow(W, SW_HIDE));
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_SHOWWINDOW show=0 status=0",
        "w WM_WINDOWPOSCHANGING flags=0x97 pos=10,10 size=100x80",
        "w WM_WINDOWPOSCHANGED flags=0x97 pos=10,10 size=100x80",
        "w WM_NCACTIVATE 0",
        "w WM_ACTIVATE state=0 other=0",
        "w WM_ACTIVATEAPP 0",
        "w WM_KILLFOCUS other=0",
    }));
    Log.Clear();
    EXPECT_FALSE(ShowWindow(W, SW_SHOWNA));
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_SHOWWINDOW show=1 status=0",
        "w WM_WINDOWPOSCHANGING flags=0x57 pos=10,10 size=100x80",
        "w WM_ERASEBKGND",
        "w WM_WINDOWPOSCHANGED flags=0x57 pos=10,10 size=100x80",
    }));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(ShowWindow(W, SW_HIDE) == FALSE);
    EXPECT_FALSE(ShowWindow(W, SW_HIDE));  // already hidden: nothing
}

TEST_F(WinPos, MinimizeMaximizeRestoreRunTheStateSequence) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 400, 300));
    HWND Tip = Log.Create("tip", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), W, WS_EX_NOACTIVATE);
    Log.On(W, WM_NCCALCSIZE, [](HWND, UINT, WPARAM, LPARAM, LRESULT& R) { R = 0; return true; });  // client = window
    Log.Clear();
    ShowWindow(W, SW_MAXIMIZE);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "w WM_GETMINMAXINFO",
        "w WM_WINDOWPOSCHANGING flags=0x8020 pos=0,0 size=1920x1040",
        "w WM_GETMINMAXINFO",
        "w WM_NCCALCSIZE 1",
        "w WM_ERASEBKGND",
        "w WM_WINDOWPOSCHANGED flags=0x8020 pos=0,0 size=1920x1040",
        "w WM_MOVE pos=0,0",
        "w WM_SIZE type=2 size=1920x1040",
    }));
    EXPECT_TRUE(IsZoomed(W));
    Log.Clear();
    ShowWindow(W, SW_MINIMIZE);
    EXPECT_EQ(QvJoin(Log.LinesWithout({WM_ACTIVATEAPP})), QvJoin(Lines{
        "w WM_GETMINMAXINFO",
        "tip WM_SHOWWINDOW show=0 status=1",
        "tip WM_WINDOWPOSCHANGING flags=0x97 pos=0,0 size=10x10",
        "tip WM_WINDOWPOSCHANGED flags=0x97 pos=0,0 size=10x10",
        "w WM_WINDOWPOSCHANGING flags=0x8170 pos=-32000,-32000 size=160x28",
        "w WM_NCCALCSIZE 1",
        "w WM_NCPAINT",
        "w WM_WINDOWPOSCHANGED flags=0x8170 pos=-32000,-32000 size=160x28",
        "w WM_MOVE pos=-32000,-32000",
        "w WM_SIZE type=1 size=0x0",
        "w WM_NCACTIVATE 0",
        "w WM_ACTIVATE state=0 other=0",
        "w WM_KILLFOCUS other=0",
    }));
    EXPECT_TRUE(IsIconic(W));
    EXPECT_TRUE(IsWindowVisible(W));
    EXPECT_FALSE(IsWindowVisible(Tip));
    WINDOWPLACEMENT P;
    GetWindowPlacement(W, &P);
    EXPECT_EQ(P.rcNormalPosition, Bounds(100, 100, 400, 300));
    EXPECT_EQ(P.flags, WPF_RESTORETOMAXIMIZED);
    // Restoring a window minimized from maximized brings it back maximized, with its owned
    // windows.
    ShowWindow(W, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(W));
    EXPECT_TRUE(IsWindowVisible(Tip));
    EXPECT_EQ(GetActiveWindow(), W);
    Log.Clear();
    SendMessage(W, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(QvJoin(Log.Lines({WM_WINDOWPOSCHANGED, WM_SIZE})), QvJoin(Lines{
        "w WM_WINDOWPOSCHANGED flags=0x8020 pos=100,100 size=400x300",
        "w WM_SIZE type=0 size=400x300",
    }));
}

TEST_F(WinPos, MinMaxInfoClampsSizingAndShapesTheMaximizedRectangle) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_OVERLAPPEDWINDOW, Bounds(0, 0, 50, 20));
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(0, 0, 136, 39));  // the default smallest track size
    Log.On(W, WM_GETMINMAXINFO, [](HWND, UINT, WPARAM, LPARAM L, LRESULT&) {
        auto* M = reinterpret_cast<MINMAXINFO*>(L);
        M->ptMinTrackSize = POINT{200, 150};
        M->ptMaxTrackSize = POINT{800, 600};
        M->ptMaxSize = POINT{1000, 500};
        M->ptMaxPosition = POINT{10, 5};
        return true;
    });
    SetWindowPos(W, nullptr, 0, 0, 1000, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(0, 0, 800, 150));
    ShowWindow(W, SW_SHOWMAXIMIZED);
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(10, 5, 800, 500));
}

TEST_F(WinPos, CustomNcCalcSizeShrinksTheClientArea) {
    TQvMessageLog Log;
    const int F = 3, T = 30;
    Log.On(nullptr, WM_NCCALCSIZE, [&](HWND, UINT, WPARAM W, LPARAM L, LRESULT& Res) {
        RECT* R = W ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(L)->rgrc[0] : reinterpret_cast<RECT*>(L);
        R->Left += F;
        R->Right -= F;
        R->Bottom -= F;
        R->Top += T;
        Res = 0;
        return true;
    });
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 50, 300, 200));
    RECT C;
    GetClientRect(W, &C);
    EXPECT_EQ(C, Rect(0, 0, 294, 167));
    POINT P{0, 0};
    ClientToScreen(W, &P);
    EXPECT_EQ(P, (POINT{103, 80}));
    EXPECT_EQ(QvJoin(Log.Lines({WM_SIZE})), QvJoin(Lines{"w WM_SIZE type=0 size=294x167"}));
    Log.Clear();
    SetWindowPos(W, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(W, &C);
    EXPECT_EQ(C, Rect(0, 0, 394, 267));
    EXPECT_EQ(QvJoin(Log.Lines({WM_SIZE, WM_MOVE})), QvJoin(Lines{"w WM_SIZE type=0 size=394x267"}));
    // The default frame: a caption and a thick frame reserve their room.
    WNDCLASS Plain;
    Plain.lpfnWndProc = DefWindowProc;
    Plain.lpszClassName = u"Plain";
    RegisterClass(&Plain);
    HWND D = CreateWindowEx(0, u"Plain", u"d", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(D, nullptr);
    GetClientRect(D, &C);
    EXPECT_EQ(C, Rect(0, 0, 392, 270));
}

TEST_F(WinPos, ZOrderKeepsBandsAndOwnersBelowTheirOwnedWindows) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    HWND Top = Log.Create("top", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), nullptr, WS_EX_TOPMOST);
    HWND D = Log.Create("d", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), A);  // owned by a
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{Top, D, A, B}));
    // Raising the owned window raises its owner too, which hears of it.
    SetWindowPos(B, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{Top, B, D, A}));
    Log.Clear();
    SetWindowPos(D, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{Top, D, A, B}));
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "d WM_WINDOWPOSCHANGING flags=0x13 pos=0,0 size=10x10",
        "d WM_WINDOWPOSCHANGED flags=0x13 pos=0,0 size=10x10",
        "a WM_WINDOWPOSCHANGING flags=0x13 pos=0,0 size=10x10",
        "a WM_WINDOWPOSCHANGED flags=0x13 pos=0,0 size=10x10",
    }));
    // An owned window never goes below its owner; HWND_TOP keeps the topmost band above.
    SetWindowPos(D, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{Top, D, A, B}));
    // Topmost takes the owned windows along; "behind a window" places directly below it.
    SetWindowPos(A, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{D, A, Top, B}));
    EXPECT_TRUE(GetWindowLongPtr(D, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(B, A, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    SetWindowPos(B, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(B, A, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{D, A, B, Top}));
    EXPECT_EQ(GetWindow(B, GW_HWNDPREV), A);
    SetWindowPos(A, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(), (std::vector<HWND>{B, Top, D, A}));
    EXPECT_FALSE(GetWindowLongPtr(D, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WinPos, ActivationMovesInTheDocumentedOrder) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), A);
    SetFocus(K);
    Log.Clear();
    SetActiveWindow(A);  // already active: nothing
    EXPECT_TRUE(Log.Lines().empty());
    EXPECT_EQ(SetActiveWindow(B), A);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "b WM_WINDOWPOSCHANGING flags=0x13 pos=200,0 size=100x100",
        "b WM_WINDOWPOSCHANGED flags=0x13 pos=200,0 size=100x100",
        "a WM_NCACTIVATE 0",
        "a WM_ACTIVATE state=0 other=b",
        "b WM_NCACTIVATE 1",
        "b WM_ACTIVATE state=1 other=a",
        "k WM_KILLFOCUS other=b",
        "b WM_SETFOCUS other=k",
    }));
    // A WM_ACTIVATE handler that places the focus itself keeps it there; the activation
    // is recorded whatever WM_NCACTIVATE answers.
    Log.Answer(A, WM_NCACTIVATE, 0);
    Log.On(A, WM_ACTIVATE, [&](HWND, UINT, WPARAM W, LPARAM, LRESULT&) {
        if (LOWORD(W) != WA_INACTIVE) SetFocus(K);
        return true;
    });
    Log.Clear();
    SetActiveWindow(A);
    EXPECT_EQ(GetActiveWindow(), A);
    EXPECT_EQ(GetFocus(), K);
    EXPECT_EQ(Log.Count(A, WM_SETFOCUS), 0u);
    // Windows that never activate.
    HWND N = Log.Create("n", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), nullptr, WS_EX_NOACTIVATE);
    EXPECT_EQ(SetActiveWindow(N), nullptr);
    EXPECT_EQ(SetFocus(N), nullptr);
    EXPECT_EQ(GetActiveWindow(), A);
}

TEST_F(WinPos, ClosingTheActiveWindowActivatesItsOwnerOrTheNextOne) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Other = Log.Create("other", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Dlg = Log.Create("dlg", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50), Main);
    EXPECT_EQ(GetActiveWindow(), Dlg);
    DestroyWindow(Dlg);
    EXPECT_EQ(GetActiveWindow(), Main);
    ShowWindow(Main, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), Other);
    EnableWindow(Other, FALSE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WinPos, DeferredPositionsApplyInOrderAtTheEnd) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP, Bounds(0, 0, 10, 10));
    HWND B = Log.Create("b", WS_POPUP, Bounds(0, 0, 10, 10));
    HDWP D = BeginDeferWindowPos(2);
    D = DeferWindowPos(D, B, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    D = DeferWindowPos(D, A, nullptr, 7, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Log.Clear();
    ASSERT_TRUE(EndDeferWindowPos(D));
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOVE})), QvJoin(Lines{"b WM_MOVE pos=5,5", "a WM_MOVE pos=7,7"}));
    EXPECT_FALSE(EndDeferWindowPos(D));
    EXPECT_EQ(DeferWindowPos(BeginDeferWindowPos(1), reinterpret_cast<HWND>(uintptr_t{12345} << 20), nullptr, 0, 0, 0, 0, 0),
              nullptr);
}

TEST_F(WinPos, WindowFromPointPrefersChildrenAndPassesTransparentWindows) {
    TQvMessageLog Log;
    HWND Back = Log.Create("back", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 300));
    HWND Front = Log.Create("front", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 300, 300));
    HWND Kid = Log.Create("kid", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), Front);
    HWND Off = Log.Create("off", WS_CHILD | WS_VISIBLE | WS_DISABLED, Bounds(100, 100, 50, 50), Front);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), Kid);
    EXPECT_EQ(WindowFromPoint(POINT{210, 210}), Front);  // a disabled child lets its parent have it
    EXPECT_EQ(WindowFromPoint(POINT{50, 50}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{1000, 1000}), nullptr);
    Log.Answer(Front, WM_NCHITTEST, HTTRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{150, 250}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), Kid);
    (void)Off;
}

TEST_F(WinPos, MovingToAMonitorOfAnotherDpiSendsDpiChanged) {
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 96},
                           TQvMonitorDesc{Rect(1920, 0, 3840, 1080), Rect(1920, 0, 3840, 1080), 144}});
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    EXPECT_EQ(GetDpiForWindow(W), 96u);
    Log.Clear();
    SetWindowPos(W, nullptr, 2000, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(QvJoin(Log.Lines({WM_DPICHANGED})), QvJoin(Lines{"w WM_DPICHANGED dpi=144 2000,100,2300,250"}));
    EXPECT_EQ(GetDpiForWindow(W), 144u);
    MONITORINFO Mi;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromWindow(W, MONITOR_DEFAULTTONULL), &Mi));
    EXPECT_EQ(Mi.dwFlags, 0u);
    EXPECT_EQ(MonitorFromPoint(POINT{-50, 10}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONEAREST), MonitorFromWindow(W, MONITOR_DEFAULTTONEAREST));
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3840);
    RECT Work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_EQ(Work, Rect(0, 0, 1920, 1040));
}

TEST_F(WinPos, HandlersThatDestroyTheirWindowMidSequenceBreakNothing) {
    TQvMessageLog Log;
    auto Destroyer = [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        DestroyWindow(H);
        return true;
    };
    for (UINT Msg : {static_cast<UINT>(WM_WINDOWPOSCHANGING), static_cast<UINT>(WM_NCCALCSIZE),
                     static_cast<UINT>(WM_WINDOWPOSCHANGED), static_cast<UINT>(WM_SHOWWINDOW), static_cast<UINT>(WM_NCACTIVATE),
                     static_cast<UINT>(WM_ACTIVATE), static_cast<UINT>(WM_SETFOCUS), static_cast<UINT>(WM_GETMINMAXINFO)}) {
        HWND Other = Log.Create("other", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50));
        HWND W = Log.Create("w", WS_OVERLAPPEDWINDOW, Bounds(10, 10, 300, 200));
        Log.On(W, Msg, Destroyer);
        ShowWindow(W, SW_SHOWMAXIMIZED);
        if (IsWindow(W)) SetWindowPos(W, nullptr, 0, 0, 500, 400, SWP_NOZORDER);
        EXPECT_FALSE(IsWindow(W)) << QvMessageName(Msg);
        EXPECT_TRUE(GetActiveWindow() == nullptr || IsWindow(GetActiveWindow()));
        EXPECT_TRUE(GetFocus() == nullptr || IsWindow(GetFocus()));
        DestroyWindow(Other);
    }
    // A window that dies while its mouse message is being routed.
    HWND V = Log.Create("v", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    Log.On(V, WM_SETCURSOR, Destroyer);
    Headless->Click(10, 10);
    RunScript();
    EXPECT_FALSE(IsWindow(V));
    // And one that dies inside its own move loop.
    HWND M = Log.Create("m", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    Log.Answer(M, WM_NCHITTEST, HTCAPTION);
    Log.On(M, WM_MOVING, Destroyer);
    Headless->Drag(10, 10, 50, 50, 2);
    RunScript();
    EXPECT_FALSE(IsWindow(M));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinPos, PlacementRemembersTheNormalRectangle) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(10, 10, 300, 200));
    WINDOWPLACEMENT P;
    ASSERT_TRUE(GetWindowPlacement(W, &P));
    EXPECT_EQ(P.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    P.rcNormalPosition = Bounds(50, 60, 400, 300);
    P.showCmd = SW_SHOWMAXIMIZED;
    ASSERT_TRUE(SetWindowPlacement(W, &P));
    EXPECT_TRUE(IsZoomed(W));
    ShowWindow(W, SW_RESTORE);
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(50, 60, 400, 300));
}

TEST_F(WinPos, LosingTheApplicationActivationTellsEveryWindow) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), nullptr, WS_EX_NOACTIVATE);
    Log.Clear();
    QvApplicationDeactivated();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "a WM_NCACTIVATE 0",
        "a WM_ACTIVATE state=0 other=0",
        "b WM_ACTIVATEAPP 0",
        "a WM_ACTIVATEAPP 0",
        "a WM_KILLFOCUS other=0",
    }));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(SetActiveWindow(A), nullptr);
    EXPECT_EQ(GetActiveWindow(), A);
    (void)B;
}

TEST_F(WinPos, AnOwnedWindowHiddenOnPurposeStaysHiddenAfterItsOwnerIsRestored) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), Main);
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), Main);
    ShowWindow(Main, SW_MINIMIZE);
    ShowWindow(A, SW_HIDE);
    ShowWindow(Main, SW_RESTORE);
    EXPECT_FALSE(IsWindowVisible(A));
    EXPECT_TRUE(IsWindowVisible(B));
}
