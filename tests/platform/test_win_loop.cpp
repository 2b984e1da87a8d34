// The queue and its loops: retrieval order, timers on the virtual clock, modal loops that
// end by scripted input or fail loudly, and exceptions caught at dispatch.

#include <stdexcept>

#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

using Lines = std::vector<std::string>;

namespace {
// A modal loop as the framework runs one: dispatch until Done or WM_QUIT.
void RunModal(const bool& Done) {
    MSG M;
    while (!Done) {
        if (!GetMessage(&M, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(M.wParam));
            return;
        }
        TranslateMessage(&M);
        DispatchMessage(&M);
    }
}
}  // namespace

class WinLoop : public TQvHeadlessTest {};

TEST_F(WinLoop, RetrievalTakesPostedThenQuitThenInputThenTimers) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    ValidateRect(W, nullptr);  // WM_PAINT stays in the queue until painted
    SetTimer(W, 7, 10, nullptr);
    Headless->Advance(10);
    QvInputMouseMove(POINT{5, 5});
    PostMessage(W, WM_USER, 0, 0);
    PostMessage(W, WM_USER + 1, 0, 0);
    PostQuitMessage(3);
    std::vector<UINT> Order;
    MSG M;
    while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) Order.push_back(M.message);
    EXPECT_EQ(Order, (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_MOUSEMOVE, WM_TIMER}));
    // Filters pick later posted messages first; PM_NOREMOVE leaves them.
    PostMessage(W, WM_USER, 0, 0);
    PostMessage(W, WM_APP, 0, 0);
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_APP, WM_APP, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_USER));
    // Messages of a window destroyed meanwhile are dropped.
    PostMessage(W, WM_USER, 0, 0);
    DestroyWindow(W);
    EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinLoop, TimersFireInDeadlineOrderOnTheVirtualClock) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    std::vector<std::pair<UINT_PTR, DWORD>> Ticks;
    bool Done = false;
    const DWORD Start = GetTickCount();
    Log.On(W, WM_TIMER, [&](HWND H, UINT, WPARAM Id, LPARAM, LRESULT&) {
        Ticks.emplace_back(Id, GetTickCount() - Start);
        if (Ticks.size() == 6) {
            KillTimer(H, 1);
            KillTimer(H, 2);
            Done = true;
        }
        return true;
    });
    SetTimer(W, 1, 50, nullptr);
    SetTimer(W, 2, 30, nullptr);
    EXPECT_EQ(SetTimer(W, 3, 5, nullptr), 3u);  // below the floor: runs at 10 ms
    EXPECT_TRUE(KillTimer(W, 3));
    EXPECT_FALSE(KillTimer(W, 3));
    RunModal(Done);
    EXPECT_EQ(Ticks, (std::vector<std::pair<UINT_PTR, DWORD>>{{2, 30}, {1, 50}, {2, 60}, {2, 90}, {1, 100}, {2, 120}}));
}

TEST_F(WinLoop, MissedPeriodsFoldIntoOneTickAndKeepThePhase) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    SetTimer(W, 1, 50, nullptr);
    Headless->Advance(175);
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_TIMER), 1u);
    Headless->Advance(24);
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_TIMER), 1u);
    Headless->Advance(1);  // 200: the next multiple of 50
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_TIMER), 2u);
}

TEST_F(WinLoop, NoTickAfterKillOrToADestroyedWindow) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    HWND V = Log.Create("v", WS_POPUP, Bounds(0, 0, 1, 1));
    SetTimer(W, 1, 20, nullptr);
    SetTimer(W, 2, 20, nullptr);
    SetTimer(V, 1, 20, nullptr);
    // Both ticks of W are due; the first kills the second before it is retrieved.
    Log.On(W, WM_TIMER, [](HWND H, UINT, WPARAM Id, LPARAM, LRESULT&) {
        if (Id == 1) KillTimer(H, 2);
        return true;
    });
    Headless->Advance(20);
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_TIMER})), QvJoin(Lines{"w WM_TIMER id=1", "v WM_TIMER id=1"}));
    // A tick already retrieved is dropped at dispatch once its timer is gone.
    Headless->Advance(20);
    MSG M;
    ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(M.hwnd, W);
    KillTimer(W, 1);
    Log.Clear();
    DispatchMessage(&M);
    DestroyWindow(V);
    Headless->Advance(100);
    ProcessMessages();
    EXPECT_TRUE(Log.Lines({WM_TIMER}).empty());
    EXPECT_EQ(SetTimer(V, 1, 10, nullptr), 0u);
}

namespace {
int ProcTicks = 0;
void CountTick(HWND, UINT, UINT_PTR, DWORD) { ++ProcTicks; }
}  // namespace

TEST_F(WinLoop, TimersWithoutAWindowCallTheirProcedure) {
    ProcTicks = 0;
    const UINT_PTR Id = SetTimer(nullptr, 0, 10, CountTick);
    EXPECT_NE(Id, 0u);
    Headless->Advance(10);
    ProcessMessages();
    EXPECT_EQ(ProcTicks, 1);
    EXPECT_EQ(SetTimer(nullptr, Id, 20, CountTick), Id);  // restarts that timer
    EXPECT_TRUE(KillTimer(nullptr, Id));
}

// Only the window system's own ticks call a procedure: a posted WM_TIMER naming one, for a
// timer set without a procedure or with another one, reaches the window as a plain message.
TEST_F(WinLoop, APostedTimerMessageCannotNameAProcedure) {
    ProcTicks = 0;
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    SetTimer(W, 1, 1000, nullptr);
    SetTimer(W, 2, 1000, [](HWND, UINT, UINT_PTR, DWORD) {});
    PostMessage(W, WM_TIMER, 1, reinterpret_cast<LPARAM>(CountTick));
    PostMessage(W, WM_TIMER, 2, reinterpret_cast<LPARAM>(CountTick));
    ProcessMessages();
    EXPECT_EQ(ProcTicks, 0);
    EXPECT_EQ(Log.Lines({WM_TIMER}).size(), 2u);
    SetTimer(W, 3, 10, CountTick);
    Headless->Advance(10);
    ProcessMessages();
    EXPECT_EQ(ProcTicks, 1);
}

TEST_F(WinLoop, SleepMovesTheClockAndDispatchesNothing) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    SetTimer(W, 1, 10, nullptr);
    const uint64_t Before = GetTickCount64();
    Sleep(101);
    EXPECT_EQ(GetTickCount64() - Before, 101u);
    EXPECT_EQ(Log.Count(W, WM_TIMER), 0u);
}

TEST_F(WinLoop, ModalLoopEndsByScriptedInput) {
    TQvMessageLog Log;
    HWND Dlg = Log.Create("dlg", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    HWND Ok = Log.Create("ok", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 20), Dlg);
    bool Done = false;
    Log.On(Ok, WM_LBUTTONUP, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        Done = true;
        return true;
    });
    Headless->Delay(250);
    Headless->Click(120, 115);
    const DWORD Start = GetTickCount();
    RunModal(Done);
    EXPECT_TRUE(Done);
    EXPECT_EQ(GetTickCount() - Start, 250u);
    EXPECT_TRUE(Headless->ScriptDone());
}

TEST_F(WinLoop, NestedLoopsRunInsideHandlers) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    bool InnerDone = false, OuterDone = false;
    std::vector<std::string> Trail;
    Log.On(W, WM_USER, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        Trail.push_back("inner start");
        RunModal(InnerDone);
        Trail.push_back("inner end");
        OuterDone = true;
        return true;
    });
    Log.On(W, WM_USER + 1, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        Trail.push_back("end inner");
        InnerDone = true;
        return true;
    });
    PostMessage(W, WM_USER, 0, 0);
    Headless->Step([&] { PostMessage(W, WM_USER + 1, 0, 0); });
    RunModal(OuterDone);
    EXPECT_EQ(Trail, (Lines{"inner start", "end inner", "inner end"}));
}

TEST_F(WinLoop, ALoopThatCanNeverEndRaisesAClearError) {
    TQvMessageLog Log;
    Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    bool Done = false;
    Headless->Click(50, 50);  // consumed, but ends nothing
    try {
        RunModal(Done);
        FAIL() << "the loop returned";
    } catch (const EQvStalled& E) {
        EXPECT_NE(std::string(E.what()).find("nothing can ever happen"), std::string::npos) << E.what();
    }
    EXPECT_TRUE(Headless->ScriptDone());
    // A loop kept alive by a timer alone stops too, after the wait limit.
    HWND T = Log.Create("t", WS_POPUP, Bounds(0, 0, 1, 1));
    SetTimer(T, 1, 1000, nullptr);
    Headless->SetWaitLimit(60000);
    EXPECT_THROW(RunModal(Done), EQvStalled);
    EXPECT_GE(Log.Count(T, WM_TIMER), 59u);
}

TEST_F(WinLoop, AStallInsideANestedLoopIsNotSwallowedByDispatch) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    bool Never = false;
    Log.On(W, WM_USER, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        RunModal(Never);
        return true;
    });
    PostMessage(W, WM_USER, 0, 0);
    EXPECT_THROW(RunModal(Never), EQvStalled);
    EXPECT_TRUE(Headless->Exceptions().empty());
}

TEST_F(WinLoop, ExceptionsAreCaughtAtDispatchAndTheLoopGoesOn) {
    ExpectExceptions = true;
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    int After = 0;
    Log.On(W, WM_USER, [](HWND, UINT, WPARAM, LPARAM, LRESULT&) -> bool { throw std::runtime_error("handler failed"); });
    Log.On(W, WM_USER + 1, [&](HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        ++After;
        return true;
    });
    Log.On(W, WM_LBUTTONDOWN, [](HWND, UINT, WPARAM, LPARAM, LRESULT&) -> bool { throw EQvError("click failed"); });
    PostMessage(W, WM_USER, 0, 0);
    PostMessage(W, WM_USER + 1, 0, 0);
    Headless->Click(10, 10);
    RunScript();
    EXPECT_EQ(After, 1);
    EXPECT_EQ(Headless->Exceptions(), (Lines{"handler failed", "click failed"}));
    // A handler installed by the application takes them instead.
    std::vector<std::string> Seen;
    QvSetExceptionHandler([&](std::exception_ptr E) {
        try {
            std::rethrow_exception(E);
        } catch (const std::exception& X) {
            Seen.push_back(X.what());
        }
    });
    PostMessage(W, WM_USER, 0, 0);
    ProcessMessages();
    EXPECT_EQ(Seen, Lines{"handler failed"});
    EXPECT_EQ(Headless->Exceptions().size(), 2u);
    // A sent message is a direct call: the exception reaches the sender.
    EXPECT_THROW(SendMessage(W, WM_USER, 0, 0), std::runtime_error);
}

TEST_F(WinLoop, TranslateMakesControlCharactersAheadOfOtherMessages) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    PostMessage(W, WM_USER, 0, 0);
    MSG Key{W, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    TranslateMessage(&Key);
    MSG Alt{W, WM_SYSKEYDOWN, 'X', 1 | KF_ALTDOWN_BIT, 0, {}};
    TranslateMessage(&Alt);
    MSG Plain{W, WM_KEYDOWN, 'X', 1, 0, {}};
    TranslateMessage(&Plain);  // printable characters come as text input
    Log.Clear();
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{"w WM_SYSCHAR ch=120", "w WM_CHAR ch=27", "w 0x400", "w WM_PAINT"}));
}
