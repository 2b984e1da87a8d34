// Painting: update regions, the paint sequence, the plain frame, and window DCs clipped to
// the window's visible part of its top-level window's backing bitmap.

#include "platform/uQvColor.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvMessages.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_gdi_support.h"

using Lines = std::vector<std::string>;

namespace {

// The pixel a fill of Color writes (B, G, R, A in memory).
uint32_t Px(COLORREF Color) {
    return 0xFF000000u | ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

uint32_t At(HWND Top, int X, int Y) { return GdiBitmapOf(QvBackingBitmap(Top))->Pixel(X, Y); }

void FillDC(HDC Dc, const RECT& R, COLORREF Color) {
    HBRUSH B = CreateSolidBrush(Color);
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

constexpr COLORREF Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00;

}  // namespace

class WinPaint : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        WNDCLASS C;
        C.lpfnWndProc = TQvMessageLog::Proc;
        C.lpszClassName = u"QvBrushed";
        C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
        RegisterClass(&C);
    }
    HWND Brushed(TQvMessageLog& Log, const char* Name, DWORD Style, const RECT& R, HWND Parent = nullptr) {
        const String Text = Utf8ToString(Name);
        HWND H = CreateWindowEx(0, u"QvBrushed", Text.c_str(), Style, R.Left, R.Top, R.Width(), R.Height(), Parent,
                                nullptr, nullptr, nullptr);
        Log.Name(H, Name);
        return H;
    }
};

TEST_F(WinPaint, FrameThenBackgroundThenClientInThePixels) {
    TQvMessageLog Log;
    HWND W = Brushed(Log, "w", WS_OVERLAPPEDWINDOW, Bounds(100, 100, 200, 120));
    Log.On(W, WM_PAINT, [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(H, &Ps);
        FillDC(Dc, Rect(10, 10, 20, 20), Red);
        EndPaint(H, &Ps);
        return true;
    });
    Log.Clear();
    ShowWindow(W, SW_SHOW);
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT})),
              QvJoin(Lines{"w WM_NCPAINT", "w WM_ERASEBKGND", "w WM_PAINT"}));
    EXPECT_EQ(At(W, 0, 60), Px(GetSysColor(COLOR_ACTIVEBORDER)));             // frame
    EXPECT_EQ(At(W, 50, 10), Px(GetSysColor(COLOR_ACTIVECAPTION)));           // caption
    EXPECT_EQ(At(W, 4 + 50, 26 + 50), Px(GetSysColor(COLOR_WINDOW)));         // erased client
    EXPECT_EQ(At(W, 4 + 15, 26 + 15), Px(Red));                               // painted client
    // Deactivation repaints the caption in the inactive colour.
    SetActiveWindow(nullptr);
    HWND Other = Brushed(Log, "other", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    ASSERT_EQ(GetActiveWindow(), Other);
    EXPECT_EQ(At(W, 50, 10), Px(GetSysColor(COLOR_INACTIVECAPTION)));
    // A later frame-and-erase invalidation runs the same order from BeginPaint.
    ProcessMessages();
    Log.Clear();
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT})),
              QvJoin(Lines{"w WM_PAINT", "w WM_NCPAINT", "w WM_ERASEBKGND"}));
}

TEST_F(WinPaint, UpdateRegionsLimitPaintingAndValidateOnce) {
    TQvMessageLog Log;
    HWND W = Brushed(Log, "w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    ProcessMessages();
    RECT Seen{};
    Log.On(W, WM_PAINT, [&](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(H, &Ps);
        Seen = Ps.rcPaint;
        FillDC(Dc, Rect(0, 0, 100, 100), Blue);
        EndPaint(H, &Ps);
        return true;
    });
    InvalidateRect(W, nullptr, FALSE);
    ValidateRect(W, nullptr);
    RECT Box;
    EXPECT_FALSE(GetUpdateRect(W, &Box, FALSE));
    RECT Part = Rect(10, 20, 30, 40);
    InvalidateRect(W, &Part, FALSE);
    Part = Rect(25, 20, 50, 40);
    InvalidateRect(W, &Part, FALSE);
    EXPECT_TRUE(GetUpdateRect(W, &Box, FALSE));
    EXPECT_EQ(Box, Rect(10, 20, 50, 40));
    Log.Clear();
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_PAINT), 1u);
    EXPECT_EQ(Seen, Rect(10, 20, 50, 40));
    EXPECT_EQ(At(W, 10, 20), Px(Blue));
    EXPECT_EQ(At(W, 9, 20), Px(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(At(W, 50, 39), Px(GetSysColor(COLOR_WINDOW)));
    // Suppressed while redraw is off; a window that ignores WM_PAINT is not asked forever.
    SendMessage(W, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(W, nullptr, TRUE);
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_PAINT), 1u);
    SendMessage(W, WM_SETREDRAW, TRUE, 0);
    Log.Answer(W, WM_PAINT, 0);
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_PAINT), 2u);
    UpdateWindow(W);
    EXPECT_EQ(Log.Count(W, WM_PAINT), 2u);
}

TEST_F(WinPaint, ParentsPaintBeforeChildrenAndClipChildrenDecidesWhoIsInvalidated) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
    HWND K = Brushed(Log, "k", WS_CHILD | WS_VISIBLE, Bounds(50, 50, 50, 50), P);
    Log.Clear();
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_PAINT})), QvJoin(Lines{"p WM_PAINT", "k WM_PAINT"}));
    Log.Clear();
    InvalidateRect(P, nullptr, TRUE);
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_PAINT})), QvJoin(Lines{"p WM_PAINT", "k WM_PAINT"}));
    SetWindowLongPtr(P, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    Log.Clear();
    InvalidateRect(P, nullptr, TRUE);
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_PAINT})), QvJoin(Lines{"p WM_PAINT"}));
    // A child moved away leaves its old place to its parent.
    Log.Clear();
    SetWindowPos(K, nullptr, 120, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT Box;
    ASSERT_TRUE(GetUpdateRect(P, &Box, FALSE));
    EXPECT_EQ(Box, Bounds(50, 50, 50, 50));
    ProcessMessages();
    EXPECT_EQ(QvJoin(Log.Lines({WM_PAINT})), QvJoin(Lines{"p WM_PAINT", "k WM_PAINT"}));
}

TEST_F(WinPaint, WindowDCsClipChildrenAndSiblingsAsTheStylesAsk) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 100));
    HWND A = Brushed(Log, "a", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(10, 10, 40, 40), P);
    HWND B = Brushed(Log, "b", WS_CHILD | WS_VISIBLE, Bounds(30, 30, 40, 40), P);  // above a
    ProcessMessages();
    HDC Dc = GetDC(P);
    FillDC(Dc, Rect(0, 0, 100, 100), Blue);  // no WS_CLIPCHILDREN: over the children too
    ReleaseDC(P, Dc);
    EXPECT_EQ(At(P, 20, 20), Px(Blue));
    Dc = GetDC(A);
    FillDC(Dc, Rect(0, 0, 40, 40), Red);  // a clips b, which lies above it
    ReleaseDC(A, Dc);
    EXPECT_EQ(At(P, 10, 10), Px(Red));
    EXPECT_EQ(At(P, 29, 29), Px(Red));
    EXPECT_EQ(At(P, 30, 30), Px(Blue));
    Dc = GetDC(B);
    FillDC(Dc, Rect(0, 0, 40, 40), Green);  // b is on top and clips nothing
    ReleaseDC(B, Dc);
    EXPECT_EQ(At(P, 30, 30), Px(Green));
    SetWindowLongPtr(P, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    Dc = GetDC(P);
    FillDC(Dc, Rect(0, 0, 100, 100), Red);
    ReleaseDC(P, Dc);
    EXPECT_EQ(At(P, 30, 30), Px(Green));
    EXPECT_EQ(At(P, 5, 5), Px(Red));
    // A window DC starts at the outer top-left; a hidden window's DC draws nothing.
    ShowWindow(B, SW_HIDE);
    Dc = GetWindowDC(B);
    FillDC(Dc, Rect(0, 0, 40, 40), Blue);
    ReleaseDC(B, Dc);
    EXPECT_EQ(At(P, 30, 30), Px(Green));
    EXPECT_EQ(GetDC(AllocateHWnd([](TMessage&) {})), nullptr);
}

TEST_F(WinPaint, ResizingExposesNewPartsOrEverythingWithRedrawStyles) {
    TQvMessageLog Log;
    HWND W = Brushed(Log, "w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HDC Dc = GetDC(W);
    FillDC(Dc, Rect(0, 0, 100, 100), Red);
    ReleaseDC(W, Dc);
    ProcessMessages();
    SetWindowPos(W, nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT Box;
    ASSERT_TRUE(GetUpdateRect(W, &Box, FALSE));
    EXPECT_EQ(Box, Rect(0, 0, 150, 120));
    HRGN R = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(W, R, FALSE), COMPLEXREGION);  // the L-shaped new part only
    EXPECT_FALSE(PtInRegion(R, 50, 50));
    DeleteObject(R);
    EXPECT_EQ(At(W, 50, 50), Px(Red));  // the old pixels stay, anchored top-left
    EXPECT_EQ(At(W, 120, 110), Px(GetSysColor(COLOR_WINDOW)));
    HWND V = CreateWindowEx(0, u"QvLogRedraw", u"v", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ProcessMessages();
    SetWindowPos(V, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    R = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(V, R, FALSE), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(R, 50, 50));
    DeleteObject(R);
}

TEST_F(WinPaint, AWindowRegionClipsPaintingAndHitTesting) {
    TQvMessageLog Log;
    HWND Back = Brushed(Log, "back", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 300));
    HWND W = Brushed(Log, "w", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 40, 30));
    HWND K = Brushed(Log, "k", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), W);
    ProcessMessages();
    Log.Clear();
    // Four-by-four corners cut exactly one pixel each (the region's right and bottom edge
    // lie one pixel in, so W + 1 and H + 1 cover the window).
    EXPECT_EQ(SetWindowRgn(W, CreateRoundRectRgn(0, 0, 41, 31, 4, 4), TRUE), 1);
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCPAINT, WM_ERASEBKGND})), QvJoin(Lines{"w WM_NCPAINT", "w WM_ERASEBKGND"}));
    HDC Dc = GetWindowDC(W);
    FillDC(Dc, Rect(0, 0, 40, 30), Red);
    ReleaseDC(W, Dc);
    for (POINT Cut : {POINT{0, 0}, POINT{39, 0}, POINT{0, 29}, POINT{39, 29}}) {
        EXPECT_NE(At(W, Cut.X, Cut.Y), Px(Red)) << Cut.X << "," << Cut.Y;
        EXPECT_EQ(WindowFromPoint(POINT{100 + Cut.X, 100 + Cut.Y}), Back) << Cut.X << "," << Cut.Y;
    }
    for (POINT In : {POINT{1, 0}, POINT{0, 1}, POINT{38, 29}, POINT{39, 28}}) {
        EXPECT_EQ(At(W, In.X, In.Y), Px(Red)) << In.X << "," << In.Y;
        EXPECT_NE(WindowFromPoint(POINT{100 + In.X, 100 + In.Y}), Back) << In.X << "," << In.Y;
    }
    // The children keep to their parent's shape too.
    Dc = GetDC(K);
    FillDC(Dc, Rect(0, 0, 10, 10), Blue);
    ReleaseDC(K, Dc);
    EXPECT_NE(At(W, 0, 0), Px(Blue));
    EXPECT_EQ(At(W, 1, 1), Px(Blue));
    // A click in a cut corner reaches the window below.
    Headless->Click(100, 100);
    RunScript();
    EXPECT_EQ(Log.Count(Back, WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(Log.Count(W, WM_LBUTTONDOWN) + Log.Count(K, WM_LBUTTONDOWN), 0u);
    HRGN Copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(W, Copy), COMPLEXREGION);
    SetWindowRgn(W, nullptr, FALSE);
    EXPECT_EQ(GetWindowRgn(W, Copy), RGN_ERROR);
    DeleteObject(Copy);
    SetActiveWindow(W);  // the click raised the window below
    EXPECT_EQ(WindowFromPoint(POINT{100, 100}), K);
}

TEST_F(WinPaint, RedrawFlagsChooseWindowsFrameErasingAndTiming) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 200, 200));
    HWND K = Brushed(Log, "k", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), P);
    ProcessMessages();
    RECT Box;
    // Children follow a parent without WS_CLIPCHILDREN, for validation too.
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE);
    EXPECT_TRUE(GetUpdateRect(K, &Box, FALSE));
    RedrawWindow(P, nullptr, nullptr, RDW_VALIDATE);
    EXPECT_FALSE(GetUpdateRect(K, &Box, FALSE));
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    EXPECT_TRUE(GetUpdateRect(P, &Box, FALSE));
    EXPECT_FALSE(GetUpdateRect(K, &Box, FALSE));
    ValidateRect(P, nullptr);
    SetWindowLongPtr(P, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE);
    EXPECT_FALSE(GetUpdateRect(K, &Box, FALSE));
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    EXPECT_TRUE(GetUpdateRect(K, &Box, FALSE));
    // RDW_ERASENOW erases at once and leaves the painting to the queue; RDW_UPDATENOW does
    // both; the frame only with RDW_FRAME.
    ProcessMessages();
    Log.Clear();
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT})), QvJoin(Lines{"p WM_ERASEBKGND"}));
    RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(QvJoin(Log.Lines({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT})),
              QvJoin(Lines{"p WM_ERASEBKGND", "p WM_NCPAINT", "p WM_PAINT"}));
    // RDW_INTERNALPAINT: one WM_PAINT with nothing to paint; RDW_NOINTERNALPAINT takes it back.
    RECT Seen = Rect(1, 1, 2, 2);
    Log.On(P, WM_PAINT, [&](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        BeginPaint(H, &Ps);
        Seen = Ps.rcPaint;
        EndPaint(H, &Ps);
        return true;
    });
    Log.Clear();
    RedrawWindow(P, nullptr, nullptr, RDW_INTERNALPAINT);
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(Log.Count(P, WM_PAINT), 1u);
    EXPECT_TRUE(IsRectEmpty(Seen));
    RedrawWindow(P, nullptr, nullptr, RDW_INTERNALPAINT);
    RedrawWindow(P, nullptr, nullptr, RDW_NOINTERNALPAINT);
    ProcessMessages();
    EXPECT_EQ(Log.Count(P, WM_PAINT), 1u);
}

TEST_F(WinPaint, NothingIsDrawnWhileRedrawIsOff) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND K = Brushed(Log, "k", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), P);
    ProcessMessages();
    SendMessage(P, WM_SETREDRAW, FALSE, 0);
    for (HWND H : {P, K}) {
        HDC Dc = GetDC(H);
        FillDC(Dc, Rect(0, 0, 100, 100), Red);
        ReleaseDC(H, Dc);
    }
    EXPECT_EQ(At(P, 50, 50), Px(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(At(P, 15, 15), Px(GetSysColor(COLOR_WINDOW)));
    SendMessage(P, WM_SETREDRAW, TRUE, 0);
    HDC Dc = GetDC(K);
    FillDC(Dc, Rect(0, 0, 100, 100), Red);
    ReleaseDC(K, Dc);
    EXPECT_EQ(At(P, 15, 15), Px(Red));
}

TEST_F(WinPaint, NcPaintGetsTheInvalidPartOfTheFrameForGetDCEx) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE | WS_CAPTION, Bounds(20, 20, 100, 50), P);
    std::vector<std::string> Got;
    Log.On(K, WM_NCPAINT, [&](HWND H, UINT, WPARAM W, LPARAM, LRESULT&) {
        const HRGN Rgn = reinterpret_cast<HRGN>(W);
        RECT Box{};
        if (Rgn != QvWholeWindowRgn) GetRgnBox(Rgn, &Box);
        Got.push_back(Rgn == QvWholeWindowRgn
                          ? "whole"
                          : std::to_string(Box.Left) + "," + std::to_string(Box.Top) + "," +
                                std::to_string(Box.Right) + "," + std::to_string(Box.Bottom));
        HDC Dc = GetDCEx(H, Rgn, DCX_WINDOW | DCX_INTERSECTRGN);
        FillDC(Dc, Rect(0, 0, 100, 50), Red);
        ReleaseDC(H, Dc);
        return true;
    });
    ProcessMessages();
    SetWindowPos(K, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(QvJoin(Got), QvJoin(Lines{"whole"}));
    EXPECT_EQ(At(P, 119, 20), Px(Red));
    HDC Dc = GetWindowDC(K);
    FillDC(Dc, Rect(0, 0, 100, 50), Blue);
    ReleaseDC(K, Dc);
    Got.clear();
    // The parent does not clip its children: a part of it covers a part of the child's frame.
    const RECT Part = Rect(0, 0, 60, 25);
    InvalidateRect(P, &Part, TRUE);
    UpdateWindow(P);
    EXPECT_EQ(QvJoin(Got), QvJoin(Lines{"20,20,60,25"}));
    EXPECT_EQ(At(P, 25, 22), Px(Red));
    EXPECT_EQ(At(P, 60, 22), Px(Blue));
    EXPECT_EQ(At(P, 25, 25), Px(Blue));
}

TEST_F(WinPaint, GetDCExClipsAsItsFlagsSay) {
    TQvMessageLog Log;
    HWND P = Brushed(Log, "p", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND A = Log.Create("a", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), P);
    Log.Create("b", WS_CHILD | WS_VISIBLE, Bounds(40, 40, 50, 50), P);  // above a
    ProcessMessages();
    auto Fill = [](HDC Dc, const RECT& R, COLORREF C) {
        ASSERT_NE(Dc, nullptr);
        FillDC(Dc, R, C);
        ReleaseDC(nullptr, Dc);
    };
    Fill(GetDCEx(P, nullptr, 0), Rect(0, 0, 200, 100), 0xFFFFFF);
    Fill(GetDCEx(A, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS), Rect(0, 0, 50, 50), Red);
    EXPECT_EQ(At(P, 15, 15), Px(Red));
    EXPECT_EQ(At(P, 45, 45), Px(0xFFFFFF));  // b lies there
    Fill(GetDCEx(A, nullptr, DCX_CACHE), Rect(0, 0, 50, 50), Green);
    EXPECT_EQ(At(P, 45, 45), Px(Green));
    Fill(GetDCEx(P, nullptr, DCX_CLIPCHILDREN), Rect(0, 0, 200, 100), Blue);
    EXPECT_EQ(At(P, 15, 15), Px(Green));
    EXPECT_EQ(At(P, 150, 80), Px(Blue));
    // The parent's clip: a child may draw beside itself, with its own origin.
    Fill(GetDCEx(A, nullptr, DCX_PARENTCLIP), Rect(-5, -5, 0, 0), Red);
    EXPECT_EQ(At(P, 7, 7), Px(Red));
    // A region in screen coordinates, taken over by the DC.
    HRGN Hole = CreateRectRgn(150, 50, 160, 60);
    Fill(GetDCEx(P, Hole, DCX_CLIPCHILDREN | DCX_EXCLUDERGN), Rect(100, 0, 200, 100), 0x000000);
    EXPECT_EQ(At(P, 155, 55), Px(Blue));
    EXPECT_EQ(At(P, 170, 55), Px(0x000000));
    EXPECT_EQ(GetObjectType(Hole), 0u);
    Fill(GetDCEx(P, QvWholeWindowRgn, DCX_WINDOW | DCX_INTERSECTRGN), Rect(100, 0, 200, 100), Green);
    EXPECT_EQ(At(P, 155, 55), Px(Green));
    EXPECT_EQ(GetDCEx(P, reinterpret_cast<HRGN>(uintptr_t{0x55}), DCX_INTERSECTRGN), nullptr);
}

TEST_F(WinPaint, PrintPaintsTheWindowAndItsChildrenIntoAnyDC) {
    TQvMessageLog Log;
    HWND W = Brushed(Log, "w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 200, 120));
    HWND K = Log.Create("k", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 30, 30), W);
    Log.On(K, WM_PAINT, [](HWND, UINT, WPARAM Dc, LPARAM, LRESULT&) {
        if (Dc != 0) FillDC(reinterpret_cast<HDC>(Dc), Rect(0, 0, 30, 30), Blue);  // paint into the given DC
        return true;
    });
    ProcessMessages();
    TGdiCanvas C(200, 120);
    SendMessage(W, WM_PRINT, reinterpret_cast<WPARAM>(C.Dc),
                PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(C.At(0, 60), Px(GetSysColor(COLOR_ACTIVEBORDER)));
    EXPECT_EQ(C.At(50, 10), Px(GetSysColor(COLOR_ACTIVECAPTION)));
    EXPECT_EQ(C.At(4 + 100, 26 + 80), Px(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(C.At(4 + 10, 26 + 10), Px(Blue));
    EXPECT_EQ(C.At(4 + 40, 26 + 10), Px(GetSysColor(COLOR_WINDOW)));
    // The window's own pixels are left alone, and a hidden window prints nothing when asked
    // to check.
    EXPECT_NE(At(W, 4 + 10, 26 + 10), Px(Blue));
    ShowWindow(W, SW_HIDE);
    TGdiCanvas Hidden(200, 120);
    SendMessage(W, WM_PRINT, reinterpret_cast<WPARAM>(Hidden.Dc), PRF_CHECKVISIBLE | PRF_ERASEBKGND);
    EXPECT_EQ(Hidden.At(100, 100), 0u);
    SendMessage(W, WM_PRINT, reinterpret_cast<WPARAM>(Hidden.Dc), PRF_ERASEBKGND);
    EXPECT_EQ(Hidden.At(100, 100), Px(GetSysColor(COLOR_WINDOW)));
}
