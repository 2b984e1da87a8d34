// The composed screen: z-order, opaque normal windows, what changes it, screen DCs, the
// parts presented to the backend and screenshots; the caption text of the plain frame; the
// date and time on the backend clock.

#include "platform/uQvDateTime.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvPicture.h"
#include "platform/uQvPng.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_win_paint_support.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0);
constexpr uint32_t Desktop = QvDesktopPixel;

}  // namespace

class WinScreen : public TQvHeadlessTest {};

TEST_F(WinScreen, WindowsStackInZOrderOpaqueOverTheDesktop) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", Red, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND B = SolidWindow(Log, "b", Blue, WS_POPUP | WS_VISIBLE, Bounds(50, 50, 100, 100));
    ProcessMessages();
    EXPECT_EQ(ScreenAt(10, 10), Px(Red));
    EXPECT_EQ(ScreenAt(60, 60), Px(Blue));
    EXPECT_EQ(ScreenAt(200, 10), Desktop);
    EXPECT_EQ(ScreenAt(1919, 1079), Desktop);
    // Alpha bytes of a normal window do not matter: 0 still shows opaque.
    GdiBitmapOf(QvBackingBitmap(A))->Pixel(5, 5) = 0x00123456;
    HDC Dc = GetDC(A);
    ReleaseDC(A, Dc);
    EXPECT_EQ(ScreenAt(5, 5), 0xFF123456u);
    // Raising, moving, hiding and minimizing change what shows.
    SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ScreenAt(60, 60), Px(Red));
    SetWindowPos(A, nullptr, 300, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ProcessMessages();
    EXPECT_EQ(ScreenAt(10, 10), Desktop);
    EXPECT_EQ(ScreenAt(60, 60), Px(Blue));
    EXPECT_EQ(ScreenAt(310, 10), Px(Red));
    ShowWindow(B, SW_HIDE);
    EXPECT_EQ(ScreenAt(60, 60), Desktop);
    ShowWindow(A, SW_MINIMIZE);
    EXPECT_EQ(ScreenAt(310, 10), Desktop);
    ShowWindow(A, SW_RESTORE);
    ProcessMessages();
    EXPECT_EQ(ScreenAt(310, 10), Px(Red));
    // A child paints into its top-level window; its region clips what shows.
    HWND K = SolidWindow(Log, "k", Green, WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), 0, A);
    ProcessMessages();
    EXPECT_EQ(ScreenAt(320, 20), Px(Green));
    SetWindowRgn(A, CreateRectRgn(0, 0, 15, 100), TRUE);
    ProcessMessages();
    EXPECT_EQ(ScreenAt(320, 20), Desktop);
    EXPECT_EQ(ScreenAt(312, 20), Px(Green));
    DestroyWindow(K);
    DestroyWindow(A);
    EXPECT_EQ(ScreenAt(312, 20), Desktop);
}

TEST_F(WinScreen, ScreenDCsReadTheComposedScreenInScreenCoordinates) {
    // A second monitor left of the primary: screen coordinates go negative.
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 800, 600), Rect(0, 0, 800, 560), 96},
                           TQvMonitorDesc{Rect(-400, 0, 0, 600), Rect(-400, 0, 0, 600), 96}});
    EXPECT_EQ(QvScreenBounds(), Rect(-400, 0, 800, 600));
    TQvMessageLog Log;
    SolidWindow(Log, "left", Red, WS_POPUP | WS_VISIBLE, Bounds(-300, 50, 100, 100));
    SolidWindow(Log, "right", Blue, WS_POPUP | WS_VISIBLE, Bounds(700, 500, 200, 200));
    ProcessMessages();
    HDC Screen = GetDC(nullptr);
    HDC Display = CreateDC(u"display", nullptr, nullptr, nullptr);
    ASSERT_NE(Screen, nullptr);
    ASSERT_NE(Display, nullptr);
    for (HDC Dc : {Screen, Display}) {
        EXPECT_EQ(GetPixel(Dc, -250, 60), Red);
        EXPECT_EQ(GetPixel(Dc, 750, 550), Blue);
        EXPECT_EQ(GetPixel(Dc, 10, 10), RGB(0x80, 0x80, 0x80));
        EXPECT_EQ(GetPixel(Dc, 850, 550), CLR_INVALID);  // beyond the screen
    }
    // Copying what lies under a popup, as tips do before they show.
    HDC Mem = CreateCompatibleDC(nullptr);
    HBITMAP Bm = CreateCompatibleBitmap(nullptr, 20, 20);
    SelectObject(Mem, Bm);
    ASSERT_TRUE(BitBlt(Mem, 0, 0, 20, 20, Display, -210, 140, SRCCOPY));
    EXPECT_EQ(GdiBitmapOf(Bm)->Pixel(0, 0), Px(Red));
    EXPECT_EQ(GdiBitmapOf(Bm)->Pixel(19, 19), Desktop);
    DeleteDC(Mem);
    DeleteObject(Bm);
    ReleaseDC(nullptr, Screen);
    DeleteDC(Display);
    EXPECT_EQ(CreateDC(u"WINSPOOL", nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateDC(nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WinScreen, ChangedPartsArePresentedWhenTheLoopWaits) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", Red, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    SolidWindow(Log, "b", Blue, WS_POPUP | WS_VISIBLE, Bounds(500, 500, 100, 100));
    Headless->Step([] {});
    RunScript();
    EXPECT_GE(Headless->PresentCount(), 1);
    EXPECT_TRUE(Headless->Presented().Covers(Rect(0, 0, 1920, 1080)));  // the first time, everything
    Headless->ClearPresented();
    HDC Dc = GetDC(A);
    FillDC(Dc, Rect(10, 10, 20, 20), Green);
    ReleaseDC(A, Dc);
    Headless->Step([] {});
    Headless->Step([] {});
    RunScript();
    EXPECT_EQ(Headless->PresentCount(), 1);  // nothing changed before the second wait
    EXPECT_EQ(Headless->Presented().Bounds(), Rect(0, 0, 100, 100));
    Headless->ClearPresented();
    SetWindowPos(A, nullptr, 50, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Headless->Step([] {});
    RunScript();
    EXPECT_TRUE(Headless->Presented().Covers(Rect(0, 0, 150, 100)));
    EXPECT_FALSE(Headless->Presented().Intersects(Rect(500, 500, 600, 600)));
}

TEST_F(WinScreen, ScreenshotsHoldLayeredWindowsAsComposed) {
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 200, 100), Rect(0, 0, 200, 100), 96}});
    TQvMessageLog Log;
    SolidWindow(Log, "back", Blue, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND Keyed = SolidWindow(Log, "keyed", RGB(0xA6, 0xA6, 0xA6), WS_POPUP | WS_VISIBLE,
                             Bounds(50, 0, 100, 50), WS_EX_LAYERED);
    HWND Alpha = Log.Create("alpha", WS_POPUP | WS_VISIBLE, Bounds(0, 50, 200, 50), nullptr, WS_EX_LAYERED);
    ProcessMessages();
    HDC Dc = GetDC(Keyed);
    FillDC(Dc, Rect(0, 0, 10, 50), Green);
    ReleaseDC(Keyed, Dc);
    SetLayeredWindowAttributes(Keyed, RGB(0xA6, 0xA6, 0xA6), 0, LWA_COLORKEY);
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(200, 50, &Bits);
    auto* P = static_cast<uint32_t*>(Bits);
    for (int I = 0; I < 200 * 50; ++I) P[I] = 0x80800000u;  // red at half alpha, premultiplied
    HDC Src = CreateCompatibleDC(nullptr);
    SelectObject(Src, Bm);
    POINT Pos{0, 50}, Zero{0, 0};
    SIZE Size{200, 50};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(Alpha, nullptr, &Pos, &Size, Src, &Zero, 0, &Blend, ULW_ALPHA));
    DeleteDC(Src);
    DeleteObject(Bm);
    Headless->SaveScreenshot(u"screen.png");
    ASSERT_EQ(Headless->Screenshots().size(), 1u);
    const TQvPicture Shot =
        DecodePng(ReadPictureFile(u"screen.png").data(), ReadPictureFile(u"screen.png").size());
    ASSERT_EQ(Shot.Width, 200);
    ASSERT_EQ(Shot.Height, 100);
    auto At = [&](int X, int Y) { return Shot.Frames[0].Pixels[static_cast<size_t>(Y) * 200 + X]; };
    EXPECT_EQ(At(55, 10), Px(Green));
    EXPECT_EQ(At(70, 10), Px(Blue));      // key over the window below
    EXPECT_EQ(At(120, 10), Desktop);      // key over the desktop
    EXPECT_EQ(At(10, 70), 0xFF80007Fu);   // half red over blue
    EXPECT_EQ(At(150, 70), 0xFFC04040u);  // half red over the desktop
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 200; ++X) ASSERT_EQ(At(X, Y), QvComposedScreen().Pixel(X, Y)) << X << "," << Y;
    EXPECT_THROW(Headless->SaveScreenshot(u"no-such-folder/screen.png"), EQvError);
}

TEST_F(WinScreen, ThePlainCaptionShowsTheWindowTextUpToTheCloseBox) {
    TQvMessageLog Log;
    HWND W = Log.Create("", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 100));
    ProcessMessages();
    const TQvFrameMetrics M = QvFrameMetrics(WS_OVERLAPPEDWINDOW, 96);
    const int CloseLeft = 300 - M.Border - M.Caption;
    // Pixels of the caption bar left of the close box, and of the close box.
    auto Caption = [&](int From, int To) {
        std::vector<uint32_t> Px;
        for (int Y = M.Border; Y < M.Border + M.Caption; ++Y)
            for (int X = From; X < To; ++X) Px.push_back(ScreenAt(100 + X, 100 + Y));
        return Px;
    };
    auto Inked = [&](const std::vector<uint32_t>& Px, uint32_t Back) {
        return std::count_if(Px.begin(), Px.end(), [&](uint32_t V) { return V != Back; });
    };
    const uint32_t Bar = Px(GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(Inked(Caption(M.Border, CloseLeft), Bar), 0);
    const auto EmptyBox = Caption(CloseLeft, 300 - M.Border);
    // Setting the text shows it at once.
    SetWindowText(W, u"Varnoth 主窗口");
    const auto Short = Caption(M.Border, CloseLeft);
    EXPECT_GT(Inked(Short, Bar), 20);
    EXPECT_EQ(Inked(Caption(M.Border, M.Border + 5), Bar), 0);  // a margin before the text
    // Text too long for the bar stops before the close box, which stays as it was.
    SetWindowText(W, String(200, u'W').c_str());
    EXPECT_GT(Inked(Caption(M.Border, CloseLeft), Bar), Inked(Short, Bar));
    EXPECT_EQ(Caption(CloseLeft, 300 - M.Border), EmptyBox);
    // Inactive: the inactive caption colour behind the text.
    QvApplicationDeactivated();
    const uint32_t Inactive = Px(GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(ScreenAt(100 + M.Border + 1, 100 + M.Border + 1), Inactive);
    EXPECT_GT(Inked(Caption(M.Border, CloseLeft), Inactive), 20);
}

TEST_F(WinScreen, NowFollowsTheVirtualClock) {
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", Now()), u"2024-01-15 09:00:00.000");
    Headless->Advance(90061001);  // 1 day, 1 h, 1 min, 1 s, 1 ms
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", Now()), u"2024-01-16 10:01:01.001");
    Sleep(999);
    EXPECT_EQ(FormatDateTime(u"hh:nn:ss.zzz", Now()), u"10:01:02.000");
}
