// Input method: commits and compositions delivered in order to the focus window, dropped
// for a detached or closed context, turned into characters by DefWindowProc; the
// composition string and window calls.

#include <climits>
#include <memory>

#include "platform/uQvFont.h"
#include "platform/uQvImm.h"
#include "platform/uQvInput.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

using Lines = std::vector<std::string>;

class Imm : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        Log = std::make_unique<TQvMessageLog>();
        W = Log->Create("w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 50));
        SetFocus(W);
    }
    // Reads the strings of WM_IME_COMPOSITION, as an edit does, and answers it itself
    // unless PassOn is set.
    void ReadCompositions(HWND Wnd) {
        Log->On(Wnd, WM_IME_COMPOSITION, [this](HWND H, UINT, WPARAM, LPARAM L, LRESULT& R) {
            const HIMC C = ImmGetContext(H);
            const DWORD Index = (L & GCS_RESULTSTR) ? GCS_RESULTSTR : GCS_COMPSTR;
            Char Buf[32];
            const LONG N = ImmGetCompositionStringW(C, Index, Buf, sizeof Buf);
            Read += StringToUtf8(String(Buf, static_cast<size_t>(N) / sizeof(Char)));
            if (Index == GCS_COMPSTR) Read += "@" + std::to_string(ImmGetCompositionStringW(C, GCS_CURSORPOS, nullptr, 0));
            Read += ";";
            ImmReleaseContext(H, C);
            R = 0;
            return !PassOn;
        });
    }
    std::string Text() const {
        return QvJoin(Log->Lines({WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR}));
    }

    std::unique_ptr<TQvMessageLog> Log;
    HWND W = nullptr;
    std::string Read;
    bool PassOn = false;
};

TEST_F(Imm, CommitKeepsItsPlaceAndBecomesCharactersOnlyWhenPassedOn) {
    ReadCompositions(W);
    Headless->Text(u"a");
    Headless->ImeCommit(u"你好");
    Headless->Text(u"b");
    Headless->Step([this] { PassOn = true; });
    Headless->ImeCommit(u"你𠀀");
    RunScript();
    EXPECT_EQ(Text(), QvJoin(Lines{
        "w WM_CHAR ch=97",
        "w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x800", "w WM_IME_ENDCOMPOSITION",
        "w WM_CHAR ch=98",
        "w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x800",
        "w WM_CHAR ch=20320", "w WM_CHAR ch=55360", "w WM_CHAR ch=56320",
        "w WM_IME_ENDCOMPOSITION",
    }));
    EXPECT_EQ(Read, "你好;你𠀀;");
}

TEST_F(Imm, CompositionInProgressComesBeforeItsCommit) {
    HWND Next = Log->Create("next", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    SetFocus(W);
    ReadCompositions(W);
    Headless->ImeComposition(u"ni");
    Headless->ImeComposition(u"nih");
    Headless->ImeCommit(u"你");
    Headless->ImeComposition(u"x");
    Headless->ImeComposition(u"");
    // The rest of a composition whose window died is dropped.
    Headless->ImeComposition(u"a");
    Headless->Step([&] {
        DestroyWindow(W);
        SetFocus(Next);
    });
    Headless->ImeCommit(u"啊");
    Headless->ImeCommit(u"好");
    RunScript();
    EXPECT_EQ(Text(), QvJoin(Lines{
        "w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x88", "w WM_IME_COMPOSITION flags=0x88",
        "w WM_IME_COMPOSITION flags=0x800", "w WM_IME_ENDCOMPOSITION",
        "w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x88", "w WM_IME_ENDCOMPOSITION",
        "w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x88",
        "next WM_IME_STARTCOMPOSITION", "next WM_IME_COMPOSITION flags=0x800", "next WM_CHAR ch=22909",
        "next WM_IME_ENDCOMPOSITION",
    }));
    EXPECT_EQ(Read, "ni@2;nih@3;你;x@1;a@1;");
}

TEST_F(Imm, DetachedOrClosedContextDropsCommitsUntilRestored) {
    HWND Other = Log->Create("other", WS_POPUP, Bounds(0, 0, 10, 10));
    const HIMC Ctx = ImmGetContext(W);
    ASSERT_NE(Ctx, nullptr);
    EXPECT_EQ(ImmAssociateContext(W, nullptr), Ctx);
    EXPECT_EQ(ImmGetContext(W), nullptr);
    EXPECT_EQ(ImmGetContext(Other), Ctx);
    EXPECT_EQ(ImmAssociateContext(W, reinterpret_cast<HIMC>(uintptr_t{987654})), nullptr);
    Headless->ImeCommit(u"丢");
    Headless->Text(u"x");
    RunScript();
    EXPECT_EQ(Text(), QvJoin(Lines{"w WM_CHAR ch=120"}));

    EXPECT_EQ(ImmAssociateContext(W, Ctx), nullptr);
    EXPECT_EQ(ImmGetContext(W), Ctx);
    ASSERT_TRUE(ImmSetOpenStatus(Ctx, FALSE));
    Headless->ImeCommit(u"丢");
    Headless->Step([Ctx] { ImmSetOpenStatus(Ctx, TRUE); });
    Headless->ImeCommit(u"到");
    Log->Clear();
    RunScript();
    EXPECT_EQ(Text(), QvJoin(Lines{"w WM_IME_STARTCOMPOSITION", "w WM_IME_COMPOSITION flags=0x800",
                                   "w WM_CHAR ch=21040", "w WM_IME_ENDCOMPOSITION"}));

    // A reset forgets detached windows: the next window made may carry the same handle.
    ImmAssociateContext(W, nullptr);
    QvResetWindowSystem();
    TQvMessageLog Fresh;
    HWND Again = Fresh.Create("again", WS_POPUP, Bounds(0, 0, 10, 10));
    EXPECT_NE(ImmGetContext(Again), nullptr);
    EXPECT_EQ(ImmAssociateContext(Again, Ctx), nullptr);  // a context from before the reset
}

TEST_F(Imm, CompositionStringIsCopiedInWholeCharacters) {
    Headless->ImeCommit(u"a😀");
    RunScript();
    const HIMC C = ImmGetContext(W);
    Char Buf[4] = {};
    EXPECT_EQ(ImmGetCompositionStringW(C, GCS_RESULTSTR, nullptr, 0), 6);
    EXPECT_EQ(ImmGetCompositionStringW(C, GCS_RESULTSTR, Buf, 5), 2);
    EXPECT_EQ(ImmGetCompositionStringW(C, GCS_RESULTSTR, Buf, 6), 6);
    EXPECT_EQ(String(Buf, 3), u"a😀");
    EXPECT_EQ(ImmGetCompositionStringW(C, GCS_RESULTSTR, nullptr, 6), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringW(nullptr, GCS_RESULTSTR, Buf, 6), IMM_ERROR_GENERAL);
}

TEST_F(Imm, CompositionWindowIsRecordedAndPassedOnInScreenCoordinates) {
    // What an edit does when a composition starts.
    Log->On(W, WM_IME_STARTCOMPOSITION, [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        const HIMC C = ImmGetContext(H);
        LOGFONTW Font;
        EXPECT_TRUE(ImmSetCompositionFontW(C, &Font));
        COMPOSITIONFORM F{CFS_RECT, POINT{30, 6}, Rect(0, 6, 200, 50)};
        EXPECT_TRUE(ImmSetCompositionWindow(C, &F));
        return true;
    });
    Headless->ImeCommit(u"字");
    RunScript();
    const HIMC C = ImmGetContext(W);
    COMPOSITIONFORM Got;
    ASSERT_TRUE(ImmGetCompositionWindow(C, &Got));
    EXPECT_EQ(Got.dwStyle, CFS_RECT);
    EXPECT_EQ(Got.ptCurrentPos, (POINT{30, 6}));
    EXPECT_EQ(Got.rcArea, Rect(0, 6, 200, 50));
    EXPECT_EQ(Headless->ImeRect(), Rect(130, 106, 300, 150));

    COMPOSITIONFORM F{CFS_POINT, POINT{5, 7}, RECT{}};
    ImmSetCompositionWindow(C, &F);
    EXPECT_EQ(Headless->ImeRect(), Rect(105, 107, 105, 107));
    F = COMPOSITIONFORM{CFS_RECT, POINT{INT_MAX, INT_MIN}, Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX)};
    ImmSetCompositionWindow(C, &F);
    EXPECT_EQ(Headless->ImeRect(), Rect(1 << 27, -(1 << 27), 1 << 27, 1 << 27));
}
