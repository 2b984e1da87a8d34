// Windows: creation and destruction order, classes, window data, subclassing, hooks,
// text, message-only windows and windows bound to a method, relations, scroll information,
// the default font, the system locale and metrics.

#include "platform/uQvInput.h"
#include "platform/uQvLocale.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

using Lines = std::vector<std::string>;

class WinCore : public TQvHeadlessTest {};

TEST_F(WinCore, CreationAndDestructionSendTheirMessagesInOrder) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_OVERLAPPED | WS_THICKFRAME, Bounds(10, 20, 300, 200));
    HWND Kid = Log.Create("kid", WS_CHILD | WS_VISIBLE, Bounds(5, 6, 50, 40), Main);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "main WM_GETMINMAXINFO",
        "main WM_NCCREATE",
        "main WM_NCCALCSIZE 0",
        "main WM_CREATE",
        "main WM_SIZE type=0 size=292x192",
        "main WM_MOVE pos=14,24",
        "kid WM_NCCREATE",
        "kid WM_NCCALCSIZE 0",
        "kid WM_CREATE",
        "kid WM_SIZE type=0 size=50x40",
        "kid WM_MOVE pos=5,6",
        "kid WM_SHOWWINDOW show=1 status=0",
        "kid WM_WINDOWPOSCHANGING flags=0x57 pos=5,6 size=50x40",
        "kid WM_WINDOWPOSCHANGED flags=0x57 pos=5,6 size=50x40",
    }));
    HWND Owned = Log.Create("owned", WS_POPUP, Bounds(0, 0, 10, 10), Main);
    EXPECT_EQ(GetWindow(Owned, GW_OWNER), Main);
    EXPECT_EQ(GetParent(Owned), Main);  // a popup reports its owner
    ShowWindow(Main, SW_SHOW);
    Log.Clear();
    EXPECT_TRUE(DestroyWindow(Main));
    EXPECT_EQ(QvJoin(Log.LinesWithout({WM_ACTIVATEAPP})), QvJoin(Lines{
        "owned WM_DESTROY",
        "owned WM_NCDESTROY",
        "main WM_WINDOWPOSCHANGING flags=0x97 pos=10,20 size=300x200",
        "main WM_WINDOWPOSCHANGED flags=0x97 pos=10,20 size=300x200",
        "main WM_NCACTIVATE 0",
        "main WM_ACTIVATE state=0 other=0",
        "main WM_KILLFOCUS other=0",
        "main WM_DESTROY",
        "kid WM_DESTROY",
        "kid WM_NCDESTROY",
        "main WM_NCDESTROY",
    }));
    EXPECT_FALSE(IsWindow(Main));
    EXPECT_FALSE(IsWindow(Kid));
    EXPECT_FALSE(IsWindow(Owned));
    EXPECT_FALSE(DestroyWindow(Main));
    EXPECT_EQ(SendMessage(Main, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessage(Main, WM_USER, 0, 0));
}

TEST_F(WinCore, HandlesAreNeverReused) {
    TQvMessageLog Log;
    std::vector<HWND> Seen;
    for (int I = 0; I < 50; ++I) {
        HWND H = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
        ASSERT_NE(H, nullptr);
        EXPECT_EQ(std::find(Seen.begin(), Seen.end(), H), Seen.end());
        Seen.push_back(H);
        DestroyWindow(H);
    }
}

TEST_F(WinCore, FailedCreationLeavesNoWindow) {
    TQvMessageLog Log;
    Log.Answer(nullptr, WM_CREATE, -1);
    EXPECT_EQ(Log.Create("a", WS_POPUP, Bounds(0, 0, 1, 1)), nullptr);
    EXPECT_EQ(QvJoin(Log.Lines({WM_DESTROY, WM_NCDESTROY})), QvJoin(Lines{"a WM_DESTROY", "a WM_NCDESTROY"}));
    Log.Answer(nullptr, WM_NCCREATE, 0);
    Log.Clear();
    EXPECT_EQ(Log.Create("b", WS_POPUP, Bounds(0, 0, 1, 1)), nullptr);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{"b WM_NCCREATE", "b WM_NCDESTROY"}));
    EXPECT_EQ(CreateWindowEx(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(Log.Create("c", WS_CHILD, Bounds(0, 0, 1, 1)), nullptr);  // a child needs a parent
}

TEST_F(WinCore, WindowsMadeDuringDestroyGoToo) {
    TQvMessageLog Log;
    HWND Main = Log.Create("main", WS_POPUP, Bounds(0, 0, 100, 100));
    HWND Late = nullptr;
    Log.On(Main, WM_DESTROY, [&](HWND W, UINT, WPARAM, LPARAM, LRESULT&) {
        Late = Log.Create("late", WS_CHILD, Bounds(0, 0, 5, 5), W);
        return true;
    });
    DestroyWindow(Main);
    EXPECT_NE(Late, nullptr);
    EXPECT_FALSE(IsWindow(Late));
    EXPECT_EQ(Log.Count(Late, WM_NCDESTROY), 1u);
}

TEST_F(WinCore, ClassesMatchWithoutCaseAndChangeForAllWindows) {
    WNDCLASS C;
    C.lpfnWndProc = DefWindowProc;
    C.lpszClassName = u"Plain";
    C.style = CS_DBLCLKS | CS_DROPSHADOW;
    C.cbWndExtra = 2 * sizeof(LONG_PTR);
    ASSERT_NE(RegisterClass(&C), 0);
    EXPECT_EQ(RegisterClass(&C), 0);
    HWND A = CreateWindowEx(0, u"PLAIN", u"a", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND B = CreateWindowEx(0, u"plain", u"b", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(GetClassNameString(A), u"Plain");
    SetClassLongPtr(A, GCL_STYLE, static_cast<LONG_PTR>(GetClassLongPtr(A, GCL_STYLE) & ~CS_DROPSHADOW));
    EXPECT_EQ(GetClassLongPtr(B, GCL_STYLE), CS_DBLCLKS);
    EXPECT_EQ(SetWindowLongPtr(A, sizeof(LONG_PTR), 77), 0);
    EXPECT_EQ(GetWindowLongPtr(A, sizeof(LONG_PTR)), 77);
    EXPECT_EQ(GetWindowLongPtr(B, sizeof(LONG_PTR)), 0);
    EXPECT_EQ(SetWindowLongPtr(A, 2 * sizeof(LONG_PTR), 1), 0);  // past the extra bytes
    EXPECT_FALSE(UnregisterClass(u"Plain", nullptr));
    DestroyWindow(A);
    DestroyWindow(B);
    EXPECT_TRUE(UnregisterClass(u"Plain", nullptr));
}

namespace {
std::vector<std::string>* Trail = nullptr;
WNDPROC Saved = nullptr;

LRESULT Subclass(HWND W, UINT Msg, WPARAM Wp, LPARAM Lp) {
    if (Msg == WM_USER) {
        Trail->push_back("subclass");
        return 10 + CallWindowProc(Saved, W, Msg, Wp, Lp);
    }
    return CallWindowProc(Saved, W, Msg, Wp, Lp);
}

HHOOK HookA = nullptr;
LRESULT HookProcA(int Code, WPARAM W, LPARAM L) {
    const auto* C = reinterpret_cast<const CWPSTRUCT*>(L);
    if (C->message == WM_USER) Trail->push_back("hookA");
    if (C->message == WM_CREATE) {
        // Subclassing from the hook: the window's own procedure sees WM_CREATE afterwards.
        Saved = reinterpret_cast<WNDPROC>(SetWindowLongPtr(C->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
        Trail->push_back("hooked create");
    }
    return CallNextHookEx(HookA, Code, W, L);
}
HHOOK HookB = nullptr;
LRESULT HookProcB(int Code, WPARAM W, LPARAM L) {
    if (reinterpret_cast<const CWPSTRUCT*>(L)->message == WM_USER) Trail->push_back("hookB");
    return CallNextHookEx(HookB, Code, W, L);
}
}  // namespace

TEST_F(WinCore, HooksSeeSentMessagesNewestFirstAndSubclassingChains) {
    std::vector<std::string> T;
    Trail = &T;
    TQvMessageLog Log;
    HookA = SetWindowsHookEx(WH_CALLWNDPROC, HookProcA, nullptr, 0);
    HookB = SetWindowsHookEx(WH_CALLWNDPROC, HookProcB, nullptr, 0);
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    Log.Answer(W, WM_USER, 5);
    EXPECT_EQ(T, Lines{"hooked create"});
    T.clear();
    EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 15);
    EXPECT_EQ(T, (Lines{"hookB", "hookA", "subclass"}));
    // Posted messages go straight to the procedure.
    T.clear();
    PostMessage(W, WM_USER, 0, 0);
    ProcessMessages();
    EXPECT_EQ(T, Lines{"subclass"});
    EXPECT_TRUE(UnhookWindowsHookEx(HookB));
    EXPECT_TRUE(UnhookWindowsHookEx(HookA));
    EXPECT_FALSE(UnhookWindowsHookEx(HookA));
    SetWindowLongPtr(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Saved));
    T.clear();
    EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 5);
    EXPECT_TRUE(T.empty());
    Trail = nullptr;
}

TEST_F(WinCore, TextGoesThroughMessages) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 1, 1));
    EXPECT_EQ(GetWindowTextString(W), u"w");
    SetWindowText(W, u"确定 OK");
    EXPECT_EQ(GetWindowTextLength(W), 5);
    Char Buf[4];
    EXPECT_EQ(GetWindowText(W, Buf, 4), 3);
    EXPECT_EQ(String(Buf), u"确定 ");
    EXPECT_EQ(SendMessage(W, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(Buf)), 0);
    // A window that keeps its own text answers for it.
    Log.On(W, WM_GETTEXTLENGTH, [](HWND, UINT, WPARAM, LPARAM, LRESULT& R) { R = 2; return true; });
    Log.On(W, WM_GETTEXT, [](HWND, UINT, WPARAM N, LPARAM L, LRESULT& R) {
        auto* B = reinterpret_cast<Char*>(L);
        if (N >= 3) { B[0] = u'h'; B[1] = u'i'; B[2] = 0; R = 2; }
        return true;
    });
    EXPECT_EQ(GetWindowTextString(W), u"hi");
}

TEST_F(WinCore, RegisteredMessagesSkipTheMenuNumbers) {
    const UINT A = RegisterWindowMessage(u"Alpha");
    EXPECT_EQ(A, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage(u"ALPHA"), A);
    EXPECT_EQ(RegisterWindowMessage(u""), 0u);
    UINT Last = A;
    for (int I = 0; I < 0xCB60 - 0xC000; ++I) {
        const UINT Id = RegisterWindowMessage(Utf8ToString("m" + std::to_string(I)).c_str());
        EXPECT_TRUE(Id < 0xCB59 || Id > 0xCB5B) << Id;
        EXPECT_GT(Id, Last);
        Last = Id;
    }
}

TEST_F(WinCore, MessageOnlyWindowsCarryAMethodAndStayOutOfTheZOrder) {
    std::vector<UINT> Got;
    HWND W = AllocateHWnd([&](TMessage& M) {
        Got.push_back(M.Msg);
        M.Result = M.Msg == WM_USER ? 42 : 0;
    });
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 42);
    EXPECT_EQ(Got.back(), static_cast<UINT>(WM_USER));
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
    EXPECT_FALSE(ShowWindow(W, SW_SHOW));
    EXPECT_FALSE(IsWindowVisible(W));
    DeallocateHWnd(W);
    EXPECT_FALSE(IsWindow(W));
}

TEST_F(WinCore, RelationsFollowParentsOwnersAndSetParent) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 200));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(400, 100, 200, 200));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), A);
    HWND G = Log.Create("g", WS_CHILD | WS_VISIBLE, Bounds(1, 1, 5, 5), K);
    EXPECT_EQ(GetAncestor(G, GA_ROOT), A);
    EXPECT_TRUE(IsChild(A, G));
    EXPECT_FALSE(IsChild(G, A));
    EXPECT_EQ(SetParent(A, G), nullptr);  // no cycles
    EXPECT_EQ(SetParent(K, B), A);
    EXPECT_EQ(GetParent(K), B);
    POINT P{0, 0};
    ClientToScreen(G, &P);
    EXPECT_EQ(P, (POINT{411, 111}));
    // A child keeps its coordinates, now relative to the new parent; a child made top-level
    // reads them as screen coordinates.
    EXPECT_EQ(SetParent(K, nullptr), B);
    RECT R;
    GetWindowRect(K, &R);
    EXPECT_EQ(R, Bounds(10, 10, 20, 20));
    EXPECT_EQ(GetAncestor(G, GA_ROOT), K);
}

TEST_F(WinCore, DisablingTakesFocusAndCaptureAway) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), A);
    SetFocus(K);
    SetCapture(K);
    Log.Clear();
    EXPECT_FALSE(EnableWindow(K, FALSE));
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{
        "k WM_CANCELMODE",
        "k WM_CAPTURECHANGED new=0",
        "k WM_KILLFOCUS other=0",
        "k WM_ENABLE 0",
    }));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(EnableWindow(K, TRUE));
    EXPECT_TRUE(IsWindowEnabled(K));
}

TEST_F(WinCore, ScrollInformationIsClampedAndKeptWithoutStyles) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 10, 10));
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    EXPECT_FALSE(GetScrollInfo(W, SB_VERT, &Si));
    Si.nMin = 0;
    Si.nMax = 99;
    Si.nPage = 10;
    Si.nPos = 200;
    EXPECT_EQ(SetScrollInfo(W, SB_VERT, &Si, TRUE), 90);
    SCROLLINFO Out;
    Out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(W, SB_VERT, &Out));
    EXPECT_EQ(Out.nPos, 90);
    EXPECT_EQ(Out.nPage, 10u);
    EXPECT_EQ(SetScrollPos(W, SB_VERT, -5, TRUE), 90);
    EXPECT_EQ(GetScrollPos(W, SB_VERT), 0);
    Si.fMask = SIF_PAGE;
    Si.nPage = 500;  // a page larger than the range shrinks to it
    SetScrollInfo(W, SB_VERT, &Si, TRUE);
    GetScrollInfo(W, SB_VERT, &Out);
    EXPECT_EQ(Out.nPage, 100u);
    int Min = -1, Max = -1;
    EXPECT_TRUE(GetScrollRange(W, SB_VERT, &Min, &Max));
    EXPECT_EQ(Max, 99);
    EXPECT_FALSE(GetScrollInfo(W, SB_HORZ, &Out));
}

TEST_F(WinCore, StyleChangesAreAnnouncedButLeaveTopmostAlone) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(0, 0, 10, 10), nullptr, WS_EX_TOPMOST);
    Log.Clear();
    SetWindowLongPtr(W, GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN);
    EXPECT_EQ(QvJoin(Log.Lines()), QvJoin(Lines{"w WM_STYLECHANGING", "w WM_STYLECHANGED"}));
    EXPECT_EQ(GetWindowLongPtr(W, GWL_STYLE), static_cast<LONG_PTR>(WS_POPUP | WS_CLIPCHILDREN));
    SetWindowLongPtr(W, GWL_EXSTYLE, WS_EX_LAYERED);
    EXPECT_EQ(GetWindowLongPtr(W, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_LAYERED | WS_EX_TOPMOST));
}

TEST_F(WinCore, AbsurdGeometryIsClampedInsteadOfOverflowing) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10});
    SetWindowPos(W, nullptr, INT32_MAX - 5, INT32_MIN + 5, INT32_MAX, -100, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_LT(R.Left, R.Right);
    EXPECT_EQ(R.Height(), 0);
    // A handler answering an inverted client rectangle leaves an empty one.
    Log.On(W, WM_NCCALCSIZE, [](HWND, UINT, WPARAM, LPARAM L, LRESULT&) {
        auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(L);
        P->rgrc[0] = RECT{50, 50, 10, 10};
        return true;
    });
    SetWindowPos(W, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(W, &R);
    EXPECT_EQ(R, Rect(0, 0, 0, 0));
    HWND Far = Log.Create("far", WS_POPUP | WS_VISIBLE, RECT{INT32_MAX - 1, 0, INT32_MAX, 10});
    EXPECT_NE(Far, nullptr);
    QvInputMouseMove(POINT{INT32_MAX, INT32_MIN});
    ProcessMessages();
}

TEST_F(WinCore, TextCutShortNeverSplitsASurrogatePair) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, RECT{0, 0, 10, 10});
    SetWindowText(W, u"a\U0001F600b");  // a, a supplementary character (two units), b
    Char Buf[3];
    EXPECT_EQ(GetWindowText(W, Buf, 3), 1);
    EXPECT_EQ(String(Buf), u"a");
    Char Whole[5];
    EXPECT_EQ(GetWindowText(W, Whole, 5), 4);
}

TEST_F(WinCore, SetRedrawIsRememberedPerWindow) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, RECT{0, 0, 10, 10});
    EXPECT_TRUE(QvRedrawEnabled(W));
    SendMessage(W, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(QvRedrawEnabled(W));
    SendMessage(W, WM_SETREDRAW, TRUE, 0);
    EXPECT_TRUE(QvRedrawEnabled(W));
}

namespace {
WNDPROC MethodWindowsProc = nullptr;
int ClassProcCalls = 0;
LRESULT CountingClassProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) {
    ++ClassProcCalls;
    return DefWindowProc(W, M, Wp, Lp);
}
LRESULT SubclassProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) {
    if (M == WM_USER) return 100 + CallWindowProc(MethodWindowsProc, W, M, Wp, Lp);
    return CallWindowProc(MethodWindowsProc, W, M, Wp, Lp);
}
}  // namespace

TEST_F(WinCore, AMethodBoundAtCreationHearsEveryMessageAndSurvivesSubclassing) {
    WNDCLASS C;
    C.lpfnWndProc = CountingClassProc;
    C.lpszClassName = u"QvBound";
    ASSERT_TRUE(RegisterClass(&C));
    HWND Handle = nullptr;
    std::vector<std::string> Seen;
    bool HandleKnown = true;
    auto Method = [&](TMessage& M) {
        Seen.push_back(QvMessageName(M.Msg));
        HandleKnown = HandleKnown && Handle != nullptr && IsWindow(Handle);
        if (M.Msg == WM_USER) {
            M.Result = 7;
            return;
        }
        if (M.Msg == WM_USER + 1) {
            DestroyWindow(Handle);  // the method's own window goes while the method runs
            return;
        }
        M.Result = DefWindowProc(Handle, M.Msg, M.WParam, M.LParam);
    };
    const HWND W = QvCreateWindowWithMethod(0, u"QvBound", u"b", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                            nullptr, nullptr, Method, &Handle);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(Handle, W);
    EXPECT_TRUE(HandleKnown);
    ASSERT_GE(Seen.size(), 4u);
    EXPECT_EQ(QvJoin({Seen.begin(), Seen.begin() + 4}),
              QvJoin(Lines{"WM_GETMINMAXINFO", "WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE"}));
    EXPECT_EQ(ClassProcCalls, 0);
    // A subclass in front of the method reaches it through the procedure it replaced, and
    // putting that procedure back leaves the method alone again.
    MethodWindowsProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 107);
    SetWindowLongPtr(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MethodWindowsProc));
    EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 7);
    SendMessage(W, WM_USER + 1, 0, 0);
    EXPECT_FALSE(IsWindow(W));
    EXPECT_EQ(Seen.back(), "WM_NCDESTROY");
    // A refused creation hands back no handle.
    Handle = W;
    EXPECT_EQ(QvCreateWindowWithMethod(0, u"QvBound", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       [](TMessage& M) { M.Result = M.Msg == WM_NCCREATE ? 0 : 1; }, &Handle),
              nullptr);
    EXPECT_EQ(Handle, nullptr);
}

TEST_F(WinCore, DefaultHandlingKeepsTheFontPerWindow) {
    TQvMessageLog Log;
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50));
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, Bounds(100, 0, 50, 50));
    ProcessMessages();
    const HFONT F = reinterpret_cast<HFONT>(uintptr_t{0x1230});
    SendMessage(A, WM_SETFONT, reinterpret_cast<WPARAM>(F), FALSE);
    EXPECT_EQ(SendMessage(A, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(F));
    EXPECT_EQ(SendMessage(B, WM_GETFONT, 0, 0), 0);
    EXPECT_FALSE(GetUpdateRect(A, nullptr, FALSE));
    SendMessage(A, WM_SETFONT, 0, TRUE);  // and redraw
    EXPECT_EQ(SendMessage(A, WM_GETFONT, 0, 0), 0);
    EXPECT_TRUE(GetUpdateRect(A, nullptr, FALSE));
}

TEST_F(WinCore, SystemLocaleAndMetricsAtADpi) {
    EXPECT_EQ(GetSystemDefaultLCID(), 2052u);  // the headless machine is Chinese
    Headless->SetSystemLCID(1033);
    EXPECT_EQ(GetSystemDefaultLCID(), 1033u);
    // LC_ALL overrides LC_MESSAGES, which overrides LANG; unset or empty ones do not count.
    EXPECT_EQ(QvLCIDFromEnvironment(nullptr, "", "zh_CN.UTF-8"), 2052u);
    EXPECT_EQ(QvLCIDFromEnvironment("C", nullptr, "zh_CN.UTF-8"), 1033u);
    EXPECT_EQ(QvLCIDFromEnvironment("", "zh_TW", "en_US"), 2052u);
    EXPECT_EQ(QvLCIDFromEnvironment(nullptr, nullptr, nullptr), 1033u);
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CYCAPTION, 96), GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CYCAPTION, 144), MulDiv(GetSystemMetrics(SM_CYCAPTION), 144, 96));
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CXVSCROLL, 192), 34);
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CXBORDER, 192), 1);
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CXSCREEN, 192), 1920);
}
