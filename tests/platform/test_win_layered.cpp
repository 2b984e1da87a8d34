// Layered windows on the composed screen (constant alpha, colour key, pushed premultiplied
// pixels), the mouse passing through what they do not show, and AnimateWindow on the
// virtual clock.

#include <map>
#include <random>

#include "platform/uQvAnimate.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_win_paint_support.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Key = RGB(0xA6, 0xA6, 0xA6);
constexpr uint32_t Desktop = QvDesktopPixel;

// A memory DC over a W x H bitmap of premultiplied pixels, filled by Fn(x, y).
struct TPushed {
    HDC Dc = nullptr;
    HBITMAP Bm = nullptr;
    template <typename F>
    TPushed(int W, int H, F&& Fn) {
        void* Bits = nullptr;
        Bm = GdiCreateBitmap32(W, H, &Bits);
        auto* P = static_cast<uint32_t*>(Bits);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) P[Y * W + X] = Fn(X, Y);
        Dc = CreateCompatibleDC(nullptr);
        SelectObject(Dc, Bm);
    }
    ~TPushed() {
        DeleteDC(Dc);
        DeleteObject(Bm);
    }
};

BOOL Push(HWND W, const TPushed& Src, POINT Pos, SIZE Size, BYTE Constant = 255, bool PerPixel = true) {
    POINT Zero{0, 0};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, Constant, static_cast<BYTE>(PerPixel ? AC_SRC_ALPHA : 0)};
    return UpdateLayeredWindow(W, nullptr, &Pos, &Size, Src.Dc, &Zero, 0, &Blend, ULW_ALPHA);
}

}  // namespace

class WinLayered : public TQvHeadlessTest {};

TEST_F(WinLayered, ConstantAlphaAndColourKeyBlendAsTheScreenComposes) {
    TQvMessageLog Log;
    HWND Back = SolidWindow(Log, "back", Blue, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(50, 0, 100, 100), nullptr, WS_EX_LAYERED);
    Log.On(W, WM_PAINT, [](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(H, &Ps);
        FillDC(Dc, Rect(0, 0, 100, 100), RGB(200, 100, 50));
        FillDC(Dc, Rect(0, 50, 100, 100), Key);
        EndPaint(H, &Ps);
        return true;
    });
    ProcessMessages();
    // Layered without attributes yet: shown as a normal window.
    EXPECT_EQ(ScreenAt(120, 10), Px(RGB(200, 100, 50)));
    EXPECT_TRUE(SetLayeredWindowAttributes(W, Key, 96, LWA_ALPHA | LWA_COLORKEY));
    // (s * 96 + d * 159 + 127) / 255 per byte, over the desktop grey and over the blue window.
    EXPECT_EQ(ScreenAt(120, 10), 0xFF9B7563u);
    EXPECT_EQ(ScreenAt(60, 10), 0xFF4B26B2u);
    // Colour-key pixels show what lies below.
    EXPECT_EQ(ScreenAt(120, 60), Desktop);
    EXPECT_EQ(ScreenAt(60, 60), Px(Blue));
    COLORREF K = 0;
    BYTE A = 0;
    DWORD F = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(W, &K, &A, &F));
    EXPECT_EQ(K, Key);
    EXPECT_EQ(A, 96);
    EXPECT_EQ(F, LWA_ALPHA | LWA_COLORKEY);
    // No longer layered: opaque again, the settings forgotten.
    SetWindowLongPtr(W, GWL_EXSTYLE, 0);
    EXPECT_EQ(ScreenAt(120, 60), Px(Key));
    EXPECT_FALSE(GetLayeredWindowAttributes(W, &K, &A, &F));
    SetWindowLongPtr(W, GWL_EXSTYLE, WS_EX_LAYERED);
    EXPECT_FALSE(GetLayeredWindowAttributes(W, &K, &A, &F));
    // Only layered top-level windows take layered settings.
    HWND Child = Log.Create("child", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), Back, WS_EX_LAYERED);
    EXPECT_FALSE(SetLayeredWindowAttributes(Child, 0, 10, LWA_ALPHA));
    EXPECT_FALSE(SetLayeredWindowAttributes(Back, 0, 10, LWA_ALPHA));
}

TEST_F(WinLayered, PushedPremultipliedPixelsReplaceWhatTheWindowPaints) {
    TQvMessageLog Log;
    HWND W = SolidWindow(Log, "w", Blue, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), WS_EX_LAYERED);
    ProcessMessages();
    // Columns: transparent, half-transparent red, opaque colour, invalid-looking (colour
    // above alpha), all premultiplied.
    TPushed Src(40, 20, [](int X, int) -> uint32_t {
        switch (X / 10) {
            case 0:
                return 0;
            case 1:
                return 0x80800000u;
            case 2:
                return 0xFF0A141Eu;
            default:
                return 0x10FF0000u;
        }
    });
    ASSERT_TRUE(Push(W, Src, POINT{100, 50}, SIZE{40, 20}));
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R, Bounds(100, 50, 40, 20));
    EXPECT_EQ(ScreenAt(105, 55), Desktop);
    EXPECT_EQ(ScreenAt(115, 55), 0xFFC04040u);  // 128 + 128 * 127 / 255 and 128 * 127 / 255
    EXPECT_EQ(ScreenAt(125, 55), 0xFF0A141Eu);
    EXPECT_EQ(ScreenAt(135, 55), 0xFFFF7878u);  // sums are held at 255
    EXPECT_EQ(ScreenAt(5, 5), Desktop);         // the old place is the desktop again
    // Constant alpha 128 scales the pixel and its alpha.
    ASSERT_TRUE(Push(W, Src, POINT{100, 50}, SIZE{40, 20}, 128));
    EXPECT_EQ(ScreenAt(115, 55), 0xFFA06060u);
    // Painting through a DC no longer shows.
    EXPECT_EQ(ScreenAt(125, 55), 0xFF454A4Fu);
    HDC Dc = GetDC(W);
    FillDC(Dc, Rect(0, 0, 40, 20), Red);
    ReleaseDC(W, Dc);
    InvalidateRect(W, nullptr, TRUE);
    ProcessMessages();
    EXPECT_EQ(ScreenAt(125, 55), 0xFF454A4Fu);
    // Without AC_SRC_ALPHA the pixels are opaque with the constant alpha; a null source
    // keeps the pixels and only moves the window; the part beyond the pixels shows nothing.
    ASSERT_TRUE(Push(W, Src, POINT{100, 50}, SIZE{40, 20}, 255, false));
    EXPECT_EQ(ScreenAt(105, 55), 0xFF000000u);
    POINT To{200, 50};
    SIZE Bigger{60, 20};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(W, nullptr, &To, &Bigger, nullptr, nullptr, 0, &Blend, ULW_ALPHA));
    EXPECT_EQ(ScreenAt(225, 55), 0xFF0A141Eu);
    EXPECT_EQ(ScreenAt(250, 55), Desktop);
    EXPECT_EQ(ScreenAt(125, 55), Desktop);
    // Refused: not layered, a bad blend, an empty size, an unknown source DC.
    HWND Plain = Log.Create("plain", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    SIZE Empty{0, 20};
    EXPECT_FALSE(Push(Plain, Src, POINT{0, 0}, SIZE{40, 20}));
    EXPECT_FALSE(UpdateLayeredWindow(W, nullptr, &To, nullptr, Src.Dc, nullptr, 0, nullptr, ULW_ALPHA));
    EXPECT_FALSE(UpdateLayeredWindow(W, nullptr, &To, &Empty, Src.Dc, nullptr, 0, &Blend, ULW_ALPHA));
    EXPECT_FALSE(UpdateLayeredWindow(W, nullptr, &To, &Bigger, reinterpret_cast<HDC>(uintptr_t{0x12345}),
                                     nullptr, 0, &Blend, ULW_ALPHA));
    EXPECT_FALSE(GetLayeredWindowAttributes(W, nullptr, nullptr, nullptr));
}

TEST_F(WinLayered, TheMouseFallsThroughWhatALayeredWindowDoesNotShow) {
    TQvMessageLog Log;
    HWND Back = SolidWindow(Log, "back", Blue, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 40, 20), nullptr, WS_EX_LAYERED);
    ProcessMessages();
    // Left half transparent, a one-alpha column, the rest opaque.
    TPushed Src(40, 20, [](int X, int) -> uint32_t {
        return X < 20 ? 0u : X == 20 ? 0x01010000u : 0xFF0000FFu;
    });
    ASSERT_TRUE(Push(W, Src, POINT{10, 10}, SIZE{40, 20}));
    EXPECT_EQ(WindowFromPoint(POINT{15, 15}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{30, 15}), W);
    EXPECT_EQ(WindowFromPoint(POINT{40, 15}), W);
    // Constant alpha 127 takes the one-alpha column below visibility.
    ASSERT_TRUE(Push(W, Src, POINT{10, 10}, SIZE{40, 20}, 127));
    EXPECT_EQ(WindowFromPoint(POINT{30, 15}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{40, 15}), W);
    // A click on a transparent pixel reaches the window below.
    Headless->Click(45, 15);
    Headless->Click(15, 15);
    RunScript();
    EXPECT_EQ(Log.Count(W, WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(Log.Count(Back, WM_LBUTTONDOWN), 1u);
    SetWindowPos(W, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(WindowFromPoint(POINT{45, 15}), W);
    // Constant alpha 0 (a hidden border side) and WS_EX_TRANSPARENT let everything through.
    ASSERT_TRUE(Push(W, Src, POINT{10, 10}, SIZE{40, 20}, 0));
    EXPECT_EQ(WindowFromPoint(POINT{45, 15}), Back);
    ASSERT_TRUE(Push(W, Src, POINT{10, 10}, SIZE{40, 20}, 255));
    SetWindowLongPtr(W, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{45, 15}), Back);
    // Painted windows: colour-key pixels and constant alpha 0 let the point through.
    HWND Keyed = SolidWindow(Log, "keyed", Key, WS_POPUP | WS_VISIBLE, Bounds(100, 0, 50, 50), WS_EX_LAYERED);
    ProcessMessages();
    HDC Dc = GetDC(Keyed);
    FillDC(Dc, Rect(0, 0, 25, 50), Red);
    ReleaseDC(Keyed, Dc);
    EXPECT_EQ(WindowFromPoint(POINT{130, 10}), Keyed);
    SetLayeredWindowAttributes(Keyed, Key, 255, LWA_COLORKEY);
    EXPECT_EQ(WindowFromPoint(POINT{130, 10}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{110, 10}), Keyed);
    SetLayeredWindowAttributes(Keyed, 0, 0, LWA_ALPHA);
    EXPECT_EQ(WindowFromPoint(POINT{110, 10}), Back);
}

TEST_F(WinLayered, AnimateWindowFadesOnTheVirtualClock) {
    TQvMessageLog Log;
    HWND W = SolidWindow(Log, "w", Red, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50), WS_EX_LAYERED);
    SetLayeredWindowAttributes(W, 0, 255, LWA_ALPHA);
    ProcessMessages();
    std::vector<std::pair<uint64_t, uint32_t>> Seen;
    Headless->OnPresent = [&](const TQvRegion&) {
        EXPECT_TRUE(IsWindowVisible(W));  // hidden only after the last frame
        Seen.emplace_back(Headless->Now(), ScreenAt(25, 25));
    };
    // Neither posted messages nor timers run meanwhile.
    Log.Clear();
    PostMessage(W, WM_USER, 0, 0);
    SetTimer(W, 1, 50, nullptr);
    const uint64_t Start = Headless->Now();
    ASSERT_TRUE(AnimateWindow(W, 200, AW_HIDE | AW_BLEND | AW_SLIDE));
    EXPECT_EQ(Headless->Now() - Start, 200u);
    EXPECT_FALSE(IsWindowVisible(W));
    ASSERT_EQ(Seen.size(), 21u);  // every 10 ms, both ends included
    EXPECT_EQ(Seen.front(), std::make_pair(Start, Px(Red)));
    EXPECT_EQ(Seen[10], std::make_pair(Start + 100, 0xFFC04040u));  // fade 128 of 255
    EXPECT_EQ(Seen.back(), std::make_pair(Start + 200, Desktop));
    for (size_t I = 1; I < Seen.size(); ++I)
        EXPECT_LT(Seen[I].second & 0xFF0000, Seen[I - 1].second & 0xFF0000);
    EXPECT_EQ(Log.Count(W, WM_USER) + Log.Count(W, WM_TIMER), 0u);
    EXPECT_EQ(Log.Count(W, WM_SHOWWINDOW), 1u);
    KillTimer(W, 1);
    ProcessMessages();
    EXPECT_EQ(Log.Count(W, WM_USER), 1u);
    Headless->OnPresent = [&](const TQvRegion&) { Seen.emplace_back(Headless->Now(), ScreenAt(25, 25)); };
    // The window keeps its own alpha and shows with it again.
    BYTE A = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(W, nullptr, &A, nullptr));
    EXPECT_EQ(A, 255);
    SetLayeredWindowAttributes(W, 0, 128, LWA_ALPHA);
    Seen.clear();
    ASSERT_TRUE(AnimateWindow(W, 100, AW_BLEND | AW_ACTIVATE));
    EXPECT_EQ(Seen.front().second, Desktop);
    EXPECT_EQ(Seen.back().second, 0xFFC04040u);
    EXPECT_TRUE(IsWindowVisible(W));
    EXPECT_EQ(GetActiveWindow(), W);
    EXPECT_EQ(ScreenAt(25, 25), 0xFFC04040u);
    // Refused: showing a shown window, hiding a hidden one, a child, a roll without a
    // direction.
    EXPECT_FALSE(AnimateWindow(W, 100, AW_BLEND));
    EXPECT_FALSE(AnimateWindow(W, 100, AW_HIDE | AW_SLIDE));
    EXPECT_TRUE(IsWindowVisible(W));
    HWND Child = Log.Create("child", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), W);
    EXPECT_FALSE(AnimateWindow(Child, 100, AW_HIDE | AW_BLEND));
    ShowWindow(W, SW_HIDE);
    EXPECT_FALSE(AnimateWindow(W, 100, AW_HIDE | AW_BLEND));
    EXPECT_EQ(Headless->Now() - Start, 300u);
}

TEST_F(WinLayered, AnimateWindowSlidesAndRollsTheWindowIn) {
    TQvMessageLog Log;
    HWND W = Log.Create("w", WS_POPUP, Bounds(100, 100, 100, 40));
    bool Painted = false;
    Log.On(W, WM_PAINT, [&](HWND H, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(H, &Ps);
        FillDC(Dc, Rect(0, 0, 50, 40), Red);
        FillDC(Dc, Rect(50, 0, 100, 40), Blue);
        EndPaint(H, &Ps);
        Painted = true;
        return true;
    });
    // Screen row y = 120, x = 100..199, by milliseconds since the animation started.
    std::map<uint64_t, std::vector<uint32_t>> Rows;
    uint64_t Start = 0;
    Headless->OnPresent = [&](const TQvRegion&) {
        EXPECT_TRUE(Painted);  // painted before anything shows
        std::vector<uint32_t> Row;
        for (int X = 100; X < 200; ++X) Row.push_back(ScreenAt(X, 120));
        Rows[Headless->Now() - Start] = Row;
    };
    // Sliding in from the left: halfway, the right half of the window (blue) shows at the
    // window's left edge.
    Start = Headless->Now();
    ASSERT_TRUE(AnimateWindow(W, 100, AW_SLIDE | AW_HOR_POSITIVE));
    ASSERT_EQ(Rows.size(), 11u);
    EXPECT_EQ(Rows[50][0], Px(Blue));
    EXPECT_EQ(Rows[50][49], Px(Blue));
    EXPECT_EQ(Rows[50][50], Desktop);
    EXPECT_EQ(Rows[100][0], Px(Red));
    EXPECT_EQ(Rows[100][99], Px(Blue));
    // Rolled out towards the left: halfway, the left half stays in place.
    Rows.clear();
    Start = Headless->Now();
    ASSERT_TRUE(AnimateWindow(W, 100, AW_HIDE | AW_HOR_NEGATIVE));
    ASSERT_EQ(Rows.count(50), 1u);
    EXPECT_EQ(Rows[50][0], Px(Red));
    EXPECT_EQ(Rows[50][49], Px(Red));
    EXPECT_EQ(Rows[50][50], Desktop);
    EXPECT_FALSE(IsWindowVisible(W));
    // From the centre: halfway, the middle half shows.
    Rows.clear();
    Start = Headless->Now();
    ASSERT_TRUE(AnimateWindow(W, 100, AW_CENTER));
    ASSERT_EQ(Rows.count(50), 1u);
    EXPECT_EQ(Rows[50][24], Desktop);
    EXPECT_EQ(Rows[50][25], Px(Red));
    EXPECT_EQ(Rows[50][74], Px(Blue));
    EXPECT_EQ(Rows[50][75], Desktop);
}

TEST_F(WinLayered, EveryComposedPixelFollowsThePlainFormulas) {
    // Random windows over a random background, against the formulas written out plainly;
    // an odd width leaves rows that do not fill the widest steps.
    constexpr int Wd = 253;
    std::mt19937 Rng(11);
    TQvMessageLog Log;
    HWND Back = Log.Create("back", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 256, 128));
    ProcessMessages();
    TGdiBitmap* Bg = GdiBitmapOf(QvBackingBitmap(Back));
    for (int Y = 0; Y < 128; ++Y)
        for (int X = 0; X < 256; ++X) Bg->Pixel(X, Y) = Rng();
    ReleaseDC(Back, GetDC(Back));
    auto Below = [&](int X, int Y) { return Bg->Pixel(X, Y) | 0xFF000000u; };
    auto Byte = [](uint32_t V, int Shift) { return (V >> Shift) & 0xFF; };
    // Premultiplied pixels, some with colours above their alpha, at three constant alphas.
    std::vector<uint32_t> Pixels(256 * 64);
    for (uint32_t& P : Pixels) {
        const uint32_t A = Rng() % 4 == 0 ? (Rng() % 2) * 255 : Rng() & 0xFF;
        const uint32_t Lim = Rng() % 16 == 0 ? 255 : A;
        P = (A << 24) | (Rng() % (Lim + 1)) << 16 | (Rng() % (Lim + 1)) << 8 | (Rng() % (Lim + 1));
    }
    TPushed Src(256, 64, [&](int X, int Y) { return Pixels[Y * 256 + X]; });
    HWND W = Log.Create("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 253, 64), nullptr, WS_EX_LAYERED);
    for (BYTE Kc : {BYTE{255}, BYTE{200}, BYTE{1}}) {
        ASSERT_TRUE(Push(W, Src, POINT{0, 0}, SIZE{Wd, 64}, Kc));
        EXPECT_EQ(ScreenAt(Wd, 10), Below(Wd, 10));
        for (int Y = 0; Y < 64; ++Y)
            for (int X = 0; X < Wd; ++X) {
                const uint32_t S = Pixels[Y * 256 + X], D = Below(X, Y);
                const uint32_t Ae = (Byte(S, 24) * Kc + 127) / 255;
                uint32_t Want = 0xFF000000u;
                for (int Shift : {0, 8, 16}) {
                    const uint32_t Sb = (Byte(S, Shift) * Kc + 127) / 255;
                    Want |= std::min<uint32_t>(255, Sb + (Byte(D, Shift) * (255 - Ae) + 127) / 255) << Shift;
                }
                ASSERT_EQ(ScreenAt(X, Y), Want) << X << "," << Y << " k=" << int(Kc);
            }
    }
    // With a colour key, pixels of that colour (whatever their alpha) show what is below.
    const uint32_t KeyPixel = Pixels[7 * 256 + 9];
    const COLORREF KeyColor = RGB(Byte(KeyPixel, 16), Byte(KeyPixel, 8), Byte(KeyPixel, 0));
    POINT Zero{0, 0}, Pos{0, 0};
    SIZE Size{Wd, 64};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(W, nullptr, &Pos, &Size, Src.Dc, &Zero, KeyColor, &Blend,
                                    ULW_ALPHA | ULW_COLORKEY));
    for (int Y = 0; Y < 64; ++Y)
        for (int X = 0; X < Wd; ++X)
            if ((Pixels[Y * 256 + X] & 0x00FFFFFF) == (KeyPixel & 0x00FFFFFF)) {
                ASSERT_EQ(ScreenAt(X, Y), Below(X, Y));
            }
    EXPECT_EQ(ScreenAt(9, 7), Below(9, 7));
    // Constant alpha over the same background.
    HWND C = Log.Create("c", WS_POPUP | WS_VISIBLE, Bounds(0, 64, 253, 64), nullptr, WS_EX_LAYERED);
    ProcessMessages();
    TGdiBitmap* Cb = GdiBitmapOf(QvBackingBitmap(C));
    for (int Y = 0; Y < 64; ++Y)
        for (int X = 0; X < Wd; ++X) Cb->Pixel(X, Y) = Rng();
    ReleaseDC(C, GetDC(C));
    for (BYTE A : {BYTE{255}, BYTE{254}, BYTE{128}, BYTE{3}}) {
        SetLayeredWindowAttributes(C, 0, A, LWA_ALPHA);
        for (int Y = 0; Y < 64; ++Y)
            for (int X = 0; X < Wd; ++X) {
                const uint32_t S = Cb->Pixel(X, Y), D = Below(X, 64 + Y);
                uint32_t Want = 0xFF000000u;
                for (int Shift : {0, 8, 16})
                    Want |= ((Byte(S, Shift) * A + Byte(D, Shift) * (255 - A) + 127) / 255) << Shift;
                ASSERT_EQ(ScreenAt(X, 64 + Y), Want) << X << "," << Y << " a=" << int(A);
            }
    }
}
