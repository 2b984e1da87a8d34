// Scrolling pixels: ScrollDC against a model of the move, ScrollWindowEx with the window's
// update region, invalidation and child windows.

#include "platform/uQvMessages.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_gdi_support.h"

namespace {
uint32_t Numbered(int X, int Y) { return 0xFF000000u | static_cast<uint32_t>(X << 8 | Y); }

void NumberPixels(const TGdiBitmap& B) {
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X) B.Pixel(X, Y) = Numbered(X, Y);
}
}  // namespace

class WinScroll : public TQvHeadlessTest {};

TEST_F(WinScroll, ScrollDCMovesOnlyVisiblePixelsAndReportsWhatItExposed) {
    const int Moves[][2] = {{0, 1}, {0, -1}, {2, 0}, {-2, 0}, {3, -2}, {-1, 2}};
    for (const auto& M : Moves) {
        TGdiCanvas C(10, 8);
        NumberPixels(*C.B);
        ExcludeClipRect(C.Dc, 4, 0, 5, 3);  // two visible parts on the upper rows: two bands
        SetViewportOrgEx(C.Dc, 1, 0, nullptr);
        const RECT Scroll = Rect(0, 1, 7, 6);  // device (1, 1, 8, 6)
        HRGN Update = CreateRectRgn(0, 0, 0, 0);
        RECT Box;
        ASSERT_TRUE(ScrollDC(C.Dc, M[0], M[1], &Scroll, nullptr, Update, &Box));
        RECT Want{};
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 10; ++X) {
                auto Visible = [](int Px, int Py) {
                    return !(Px == 4 && Py < 3) && Px >= 1 && Px < 8 && Py >= 1 && Py < 6;
                };
                const int SX = X - M[0], SY = Y - M[1];
                const bool Moved = Visible(X, Y) && Visible(SX, SY);
                ASSERT_EQ(C.At(X, Y), Moved ? Numbered(SX, SY) : Numbered(X, Y))
                    << M[0] << "," << M[1] << " at " << X << "," << Y;
                const bool Exposed = Visible(X, Y) && !Moved;
                ASSERT_EQ(PtInRegion(Update, X, Y) != FALSE, Exposed)
                    << M[0] << "," << M[1] << " at " << X << "," << Y;
                if (Exposed) UnionRect(Want, Want, Rect(X, Y, X + 1, Y + 1));
            }
        EXPECT_EQ(Box, Want);
        DeleteObject(Update);
    }
    EXPECT_FALSE(ScrollDC(nullptr, 1, 1, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(WinScroll, ScrollWindowExMovesPixelsAndTheUpdateRegionAndInvalidatesWhatIsExposed) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 60));
    ProcessMessages();
    const TGdiBitmap& B = *GdiBitmapOf(QvBackingBitmap(W));
    NumberPixels(B);
    const RECT Pending = Rect(0, 30, 100, 35);
    InvalidateRect(W, &Pending, FALSE);
    HRGN Exposed = CreateRectRgn(0, 0, 0, 0);
    RECT Box;
    EXPECT_EQ(ScrollWindowEx(W, 0, -10, nullptr, nullptr, Exposed, &Box, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(0, 50, 100, 60));
    EXPECT_EQ(B.Pixel(7, 0), Numbered(7, 10));
    EXPECT_EQ(B.Pixel(7, 49), Numbered(7, 59));
    HRGN Update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(W, Update, FALSE), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(Update, 50, 22));   // the pending strip moved up with its pixels
    EXPECT_FALSE(PtInRegion(Update, 50, 32));
    EXPECT_TRUE(PtInRegion(Update, 50, 55));   // exposed
    // A part of the window, without invalidating: nothing lands outside the scrolled part.
    ValidateRect(W, nullptr);
    const RECT Part = Rect(20, 0, 60, 60);
    EXPECT_EQ(ScrollWindowEx(W, 10, 0, &Part, nullptr, nullptr, &Box, 0), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(20, 0, 30, 60));
    EXPECT_EQ(B.Pixel(30, 0), Numbered(20, 10));
    EXPECT_EQ(B.Pixel(65, 0), Numbered(65, 10));
    EXPECT_FALSE(GetUpdateRect(W, nullptr, FALSE));
    EXPECT_EQ(ScrollWindowEx(W, 1, 1, nullptr, nullptr, reinterpret_cast<HRGN>(uintptr_t{0x77}), nullptr, 0),
              RGN_ERROR);
    DeleteObject(Exposed);
    DeleteObject(Update);
}

TEST_F(WinScroll, ChildrenMoveAlongOrArePaintedAgain) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND In = Log.Create("in", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), W);
    HWND Out = Log.Create("out", WS_CHILD | WS_VISIBLE, Bounds(150, 10, 20, 20), W);
    ProcessMessages();
    const RECT Part = Rect(0, 0, 100, 100);
    Log.Clear();
    ScrollWindowEx(W, 5, 7, &Part, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    EXPECT_EQ(QvJoin(Log.Lines({WM_MOVE})), QvJoin({"in WM_MOVE pos=15,17"}));
    // The child outside the scrolled part stayed, and so did its pixels.
    EXPECT_FALSE(GetUpdateRect(Out, nullptr, FALSE));
    // Without SW_SCROLLCHILDREN a child stays while the pixels below it move: it repaints.
    ProcessMessages();
    ScrollWindowEx(W, 0, 3, nullptr, nullptr, nullptr, nullptr, 0);
    RECT R;
    GetWindowRect(In, &R);
    EXPECT_EQ(R, Bounds(15, 17, 20, 20));
    EXPECT_TRUE(GetUpdateRect(In, nullptr, FALSE));
    // ScrollWindow moves every child when it scrolls the whole client area.
    EXPECT_TRUE(ScrollWindow(W, -5, 0, nullptr, nullptr));
    GetWindowRect(Out, &R);
    EXPECT_EQ(R, Bounds(145, 10, 20, 20));
}
