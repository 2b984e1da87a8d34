// Painting and screen composition: a full repaint of a full-HD window with 200 child
// windows (erase and paint messages, visible regions, fills into the backing bitmap), and
// composing a full-HD screen of five overlapping windows, opaque or partly layered, beside
// the peer library stacking the same pictures.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvMessages.h"
#include "platform/uQvScreen.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

#ifdef QV_HAVE_BENCH_PEERS
#include <pixman.h>
#endif

namespace {

constexpr int FullW = 1920, FullH = 1080;

// Fills the client area with a colour of its own: the work a control's paint does.
LRESULT PaintProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg != WM_PAINT) return DefWindowProc(Wnd, Msg, WParam, LParam);
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(Wnd, &Ps);
    RECT C;
    GetClientRect(Wnd, &C);
    const auto Seed = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Wnd) * 2654435761u);
    HBRUSH B = CreateSolidBrush(Seed & 0xFFFFFF);
    FillRect(Dc, &C, B);
    DeleteObject(B);
    EndPaint(Wnd, &Ps);
    return 0;
}

void Setup() {
    QvInstallHeadless();
    WNDCLASS C;
    C.lpfnWndProc = PaintProc;
    C.lpszClassName = u"QvBenchPaint";
    C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(16));  // button face
    RegisterClass(&C);
}

void DispatchAll() {
    MSG M;
    while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&M);
}

HWND Window(DWORD Style, const RECT& R, HWND Parent = nullptr, DWORD ExStyle = 0) {
    return CreateWindowEx(ExStyle, u"QvBenchPaint", u"", Style, R.Left, R.Top, R.Width(), R.Height(), Parent,
                          nullptr, nullptr, nullptr);
}

// The whole window invalidated with its 200 children, erased and painted now. Arg: 1 when
// every window clips its children and siblings, as the skinned controls do.
void BM_RepaintFullHDWith200Children(benchmark::State& State) {
    Setup();
    const DWORD Clip = State.range(0) ? WS_CLIPCHILDREN | WS_CLIPSIBLINGS : 0;
    HWND Top = Window(WS_POPUP | WS_VISIBLE | Clip, Bounds(0, 0, FullW, FullH));
    std::mt19937 Rng(7);
    std::uniform_int_distribution<int> X(0, FullW - 60), Y(0, FullH - 30), W(24, 240), H(16, 120);
    for (int K = 0; K < 200; ++K)
        Window(WS_CHILD | WS_VISIBLE | Clip, Bounds(X(Rng), Y(Rng), W(Rng), H(Rng)), Top);
    DispatchAll();
    for (auto _ : State) {
        RedrawWindow(Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        benchmark::DoNotOptimize(QvBackingBitmap(Top));
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_RepaintFullHDWith200Children)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same repaint followed by composing the screen it changed.
void BM_RepaintAndComposeFullHDWith200Children(benchmark::State& State) {
    Setup();
    HWND Top = Window(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, FullW, FullH));
    std::mt19937 Rng(7);
    std::uniform_int_distribution<int> X(0, FullW - 60), Y(0, FullH - 30), W(24, 240), H(16, 120);
    for (int K = 0; K < 200; ++K)
        Window(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(X(Rng), Y(Rng), W(Rng), H(Rng)), Top);
    DispatchAll();
    for (auto _ : State) {
        RedrawWindow(Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        benchmark::DoNotOptimize(QvComposedScreen().Pixel(0, 0));
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_RepaintAndComposeFullHDWith200Children)->Unit(benchmark::kMicrosecond);

// Five 900 x 600 windows overlapping across the screen; Arg 1 makes the second a constant
// alpha window and the fourth a per-pixel layered one (a soft-edged panel).
const RECT FiveRects[5] = {Bounds(40, 40, 900, 600), Bounds(300, 160, 900, 600), Bounds(560, 280, 900, 600),
                           Bounds(820, 400, 900, 600), Bounds(1000, 60, 900, 600)};

void MakeFive(bool Layered) {
    Setup();
    for (int K = 0; K < 5; ++K) {
        const bool PerPixel = Layered && K == 3, Constant = Layered && K == 1;
        HWND W =
            Window(WS_POPUP | WS_VISIBLE, FiveRects[K], nullptr, (PerPixel || Constant) ? WS_EX_LAYERED : 0);
        if (Constant) SetLayeredWindowAttributes(W, 0, 160, LWA_ALPHA);
        if (!PerPixel) continue;
        void* Bits = nullptr;
        HBITMAP Bm = GdiCreateBitmap32(900, 600, &Bits);
        auto* P = static_cast<uint32_t*>(Bits);
        for (int Y = 0; Y < 600; ++Y)
            for (int X = 0; X < 900; ++X) {
                const int Edge = std::min(std::min(X, 899 - X), std::min(Y, 599 - Y));
                const uint32_t A = Edge >= 16 ? 200 : static_cast<uint32_t>(Edge * 200 / 16);
                P[Y * 900 + X] =
                    (A << 24) | ((A * 0x30 / 255) << 16) | ((A * 0x60 / 255) << 8) | (A * 0xC0 / 255);
            }
        HDC Src = CreateCompatibleDC(nullptr);
        SelectObject(Src, Bm);
        POINT Zero{0, 0};
        BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(W, nullptr, nullptr, nullptr, Src, &Zero, 0, &Blend, ULW_ALPHA);
        DeleteDC(Src);
        DeleteObject(Bm);
    }
    DispatchAll();
}

void BM_ComposeFiveWindows(benchmark::State& State) {
    MakeFive(State.range(0) != 0);
    for (auto _ : State) {
        QvScreenInvalidate(nullptr);
        benchmark::DoNotOptimize(QvComposedScreen().Pixel(0, 0));
    }
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
    QvResetWindowSystem();
}
BENCHMARK(BM_ComposeFiveWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What a moved window costs: only its old and new place are composed again.
void BM_ComposeAfterMovingOneWindow(benchmark::State& State) {
    MakeFive(true);
    HWND Top = GetTopWindow(nullptr);
    int Step = 0;
    for (auto _ : State) {
        SetWindowPos(Top, nullptr, 1000 + (++Step & 1) * 8, 60, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        benchmark::DoNotOptimize(QvComposedScreen().Pixel(0, 0));
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_ComposeAfterMovingOneWindow)->Unit(benchmark::kMicrosecond);

#ifdef QV_HAVE_BENCH_PEERS
// The peer stacking the same five pictures: a desktop fill, then each window copied (SRC)
// bottom to top, or blended (OVER) for the layered ones.
void BM_Pixman_ComposeFiveWindows(benchmark::State& State) {
    const bool Layered = State.range(0) != 0;
    std::vector<uint32_t> Screen(static_cast<size_t>(FullW) * FullH);
    std::vector<std::vector<uint32_t>> Pictures(5, std::vector<uint32_t>(900 * 600));
    std::mt19937 Rng(3);
    for (int K = 0; K < 5; ++K)
        for (uint32_t& P : Pictures[K])
            P = (K == 3 && Layered) ? 0xC8000000u | (Rng() & 0x00303030u) : 0xFF000000u | Rng();
    pixman_image_t* Dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, FullW, FullH, Screen.data(), FullW * 4);
    std::vector<pixman_image_t*> Src;
    for (auto& P : Pictures)
        Src.push_back(pixman_image_create_bits(PIXMAN_a8r8g8b8, 900, 600, P.data(), 900 * 4));
    pixman_color_t Grey{0x8080, 0x8080, 0x8080, 0xFFFF};
    pixman_image_t* Desk = pixman_image_create_solid_fill(&Grey);
    pixman_color_t Half{0, 0, 0, 160 * 257};
    pixman_image_t* Mask = pixman_image_create_solid_fill(&Half);
    for (auto _ : State) {
        pixman_image_composite32(PIXMAN_OP_SRC, Desk, nullptr, Dst, 0, 0, 0, 0, 0, 0, FullW, FullH);
        for (int K = 0; K < 5; ++K) {
            const RECT& R = FiveRects[K];
            const bool Constant = Layered && K == 1, PerPixel = Layered && K == 3;
            pixman_image_composite32(Constant || PerPixel ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, Src[K],
                                     Constant ? Mask : nullptr, Dst, 0, 0, 0, 0, R.Left, R.Top, 900, 600);
        }
        benchmark::DoNotOptimize(Screen.data());
    }
    for (auto* I : Src) pixman_image_unref(I);
    pixman_image_unref(Desk);
    pixman_image_unref(Mask);
    pixman_image_unref(Dst);
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Pixman_ComposeFiveWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
