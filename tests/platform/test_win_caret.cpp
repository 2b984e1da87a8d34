// The caret: blinking by inversion on the virtual clock, nesting, and no pixels left behind
// when the window paints, the caret moves, its window moves or scrolls.

#include "platform/uQvCaret.h"
#include "platform/uQvMessages.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_win_paint_support.h"

namespace {
constexpr COLORREF White = 0xFFFFFF, Red = 0x0000FF, Green = 0x00FF00;
constexpr uint32_t Invert = 0x00FFFFFF;

// The box and count of the pixels of the window's client area (a top-level window without
// frame) that differ from Color.
struct TOdd {
    RECT Box;
    int Count = 0;
};
TOdd OddPixels(HWND Top, const RECT& Area, COLORREF Color) {
    const TGdiBitmap& B = *GdiBitmapOf(QvBackingBitmap(Top));
    TOdd O;
    for (int Y = Area.Top; Y < Area.Bottom; ++Y)
        for (int X = Area.Left; X < Area.Right; ++X)
            if (B.Pixel(X, Y) != Px(Color)) {
                UnionRect(O.Box, O.Box, Rect(X, Y, X + 1, Y + 1));
                ++O.Count;
            }
    return O;
}
}  // namespace

class WinCaret : public TQvHeadlessTest {};

TEST_F(WinCaret, BlinksByInvertingOnTheClockAndNests) {
    TQvMessageLog Log;
    HWND W = SolidWindow(Log, "w", White, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 50));
    HWND Other = SolidWindow(Log, "o", White, WS_POPUP | WS_VISIBLE, Bounds(200, 0, 10, 10));
    ProcessMessages();
    EXPECT_FALSE(SetCaretPos(1, 1));  // no caret yet
    EXPECT_EQ(GetCaretBlinkTime(), 530u);
    ASSERT_TRUE(CreateCaret(W, nullptr, 2, 10));
    ASSERT_TRUE(SetCaretPos(10, 5));
    const RECT All = Rect(0, 0, 100, 50);
    EXPECT_EQ(OddPixels(W, All, White).Count, 0);  // made hidden
    ASSERT_TRUE(ShowCaret(W));
    TOdd On = OddPixels(W, All, White);
    EXPECT_EQ(On.Box, Bounds(10, 5, 2, 10));
    EXPECT_EQ(On.Count, 20);
    EXPECT_EQ(ScreenAt(11, 14), Px(White) ^ Invert);
    Headless->Advance(529);
    ProcessMessages();
    EXPECT_EQ(OddPixels(W, All, White).Count, 20);
    Headless->Advance(1);
    ProcessMessages();
    EXPECT_EQ(OddPixels(W, All, White).Count, 0);
    EXPECT_EQ(ScreenAt(11, 14), Px(White));
    Headless->Advance(530 * 3);  // three periods later: on
    ProcessMessages();
    EXPECT_EQ(OddPixels(W, All, White).Count, 20);
    EXPECT_FALSE(HideCaret(Other));
    EXPECT_TRUE(HideCaret(nullptr));
    EXPECT_TRUE(HideCaret(W));
    EXPECT_EQ(OddPixels(W, All, White).Count, 0);
    EXPECT_TRUE(ShowCaret(W));
    EXPECT_EQ(OddPixels(W, All, White).Count, 0);  // still hidden once
    Headless->Advance(265);
    EXPECT_TRUE(ShowCaret(W));
    EXPECT_EQ(OddPixels(W, All, White).Count, 20);  // shown at once, whatever the phase
    POINT P;
    ASSERT_TRUE(GetCaretPos(&P));
    EXPECT_EQ(P, (POINT{10, 5}));
    // Not blinking: on until hidden.
    ASSERT_TRUE(SetCaretBlinkTime(INFINITE));
    Headless->Advance(10000);
    ProcessMessages();
    EXPECT_EQ(OddPixels(W, All, White).Count, 20);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(DestroyCaret());
    EXPECT_EQ(OddPixels(W, All, White).Count, 0);
}

TEST_F(WinCaret, LeavesNoPixelsBehindWhenTheWindowPaintsOrMoves) {
    TQvMessageLog Log;
    HWND Top = SolidWindow(Log, "top", White, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    COLORREF Fill = Red;
    HWND Kid = Log.Create("kid", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 100, 50), Top);
    Log.On(Kid, WM_PAINT, [&](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(H, &Ps);
        FillDC(Dc, Rect(0, 0, 100, 50), Fill);
        EndPaint(H, &Ps);
        return true;
    });
    ProcessMessages();
    ASSERT_TRUE(CreateCaret(Kid, nullptr, 3, 8));
    SetCaretPos(20, 20);
    ShowCaret(Kid);
    const RECT KidArea = Bounds(10, 10, 100, 50);
    auto ExpectCaretAt = [&](int X, int Y, COLORREF Under) {
        const TOdd O = OddPixels(Top, KidArea, Under);
        EXPECT_EQ(O.Box, Bounds(X, Y, 3, 8));
        EXPECT_EQ(O.Count, 24);
    };
    ExpectCaretAt(30, 30, Red);
    // The window paints over the caret: it is taken off and drawn again on the new pixels.
    Fill = Green;
    InvalidateRect(Kid, nullptr, TRUE);
    UpdateWindow(Kid);
    ExpectCaretAt(30, 30, Green);
    EXPECT_EQ(GdiBitmapOf(QvBackingBitmap(Top))->Pixel(31, 31), Px(Green) ^ Invert);
    // Drawing through a window DC, and moving the caret.
    HDC Dc = GetDC(Kid);
    FillDC(Dc, Rect(0, 0, 100, 50), Red);
    ReleaseDC(Kid, Dc);
    ExpectCaretAt(30, 30, Red);
    SetCaretPos(60, 5);
    ExpectCaretAt(70, 15, Red);
    // The window moves: its old place shows the parent, the caret follows.
    Fill = Red;
    SetWindowPos(Kid, nullptr, 50, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ProcessMessages();
    const TOdd Moved = OddPixels(Top, Bounds(50, 40, 100, 50), Red);
    EXPECT_EQ(Moved.Box, Bounds(110, 45, 3, 8));
    EXPECT_EQ(OddPixels(Top, Bounds(0, 0, 200, 40), White).Count, 0);
    // Scrolling carries the caret with the pixels and leaves no trace of its old place.
    ScrollWindowEx(Kid, -30, 10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(Kid);
    POINT P;
    GetCaretPos(&P);
    EXPECT_EQ(P, (POINT{30, 15}));
    const TOdd Scrolled = OddPixels(Top, Bounds(50, 40, 100, 50), Red);
    EXPECT_EQ(Scrolled.Box, Bounds(80, 55, 3, 8));
    EXPECT_EQ(Scrolled.Count, 24);
    // The caret goes with its window.
    DestroyWindow(Kid);
    EXPECT_FALSE(GetCaretPos(&P));
}
