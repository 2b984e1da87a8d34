// Region algebra on many rectangles (the window system's update and visible regions) and
// full-screen block transfers, beside the peer library doing the same work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiRegions.h"

#ifdef QV_HAVE_BENCH_PEERS
#include <pixman.h>
#endif

namespace {

constexpr int FullW = 1920, FullH = 1080;

// N child-window-like rectangles scattered over a full-HD window.
std::vector<TRect> Children(int N, uint32_t Seed) {
    std::mt19937 Rng(Seed);
    std::uniform_int_distribution<int> X(0, FullW - 1), Y(0, FullH - 1), W(8, 240), H(8, 120);
    std::vector<TRect> Rs;
    for (int K = 0; K < N; ++K) Rs.push_back(Bounds(X(Rng), Y(Rng), W(Rng), H(Rng)));
    return Rs;
}

void BM_Ours_RegionUnion(benchmark::State& State) {
    const auto Rs = Children(static_cast<int>(State.range(0)), 1);
    for (auto _ : State) {
        TQvRegion R = TQvRegion::FromRects(Rs);
        benchmark::DoNotOptimize(R.Count());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Ours_RegionUnion)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

// A visible region: the window minus every child, one subtraction at a time, as the
// window system clips children out of their parent.
void BM_Ours_RegionSubtractEach(benchmark::State& State) {
    const auto Rs = Children(static_cast<int>(State.range(0)), 2);
    for (auto _ : State) {
        TQvRegion R(Rect(0, 0, FullW, FullH));
        for (const TRect& C : Rs) R -= C;
        benchmark::DoNotOptimize(R.Count());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Ours_RegionSubtractEach)->Arg(200)->Unit(benchmark::kMicrosecond);

// Intersecting two complex regions (update region with visible region).
void BM_Ours_RegionIntersect(benchmark::State& State) {
    const TQvRegion A = TQvRegion::FromRects(Children(500, 3));
    const TQvRegion B = TQvRegion(Rect(0, 0, FullW, FullH)) - TQvRegion::FromRects(Children(500, 4));
    for (auto _ : State) {
        TQvRegion R = A & B;
        benchmark::DoNotOptimize(R.Count());
    }
}
BENCHMARK(BM_Ours_RegionIntersect)->Unit(benchmark::kMicrosecond);

#ifdef QV_HAVE_BENCH_PEERS
void BM_Pixman_RegionUnion(benchmark::State& State) {
    const auto Rs = Children(static_cast<int>(State.range(0)), 1);
    std::vector<pixman_box32_t> Boxes;
    for (const TRect& R : Rs) Boxes.push_back({R.Left, R.Top, R.Right, R.Bottom});
    for (auto _ : State) {
        // pixman's own bulk constructor: a sort and a merge, the same job as FromRects.
        pixman_region32_t Out;
        pixman_region32_init_rects(&Out, Boxes.data(), static_cast<int>(Boxes.size()));
        benchmark::DoNotOptimize(pixman_region32_n_rects(&Out));
        pixman_region32_fini(&Out);
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Pixman_RegionUnion)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_Pixman_RegionSubtractEach(benchmark::State& State) {
    const auto Rs = Children(static_cast<int>(State.range(0)), 2);
    for (auto _ : State) {
        pixman_region32_t R, C;
        pixman_region32_init_rect(&R, 0, 0, FullW, FullH);
        for (const TRect& Rc : Rs) {
            pixman_region32_init_rect(&C, Rc.Left, Rc.Top, static_cast<unsigned>(Rc.Width()),
                                      static_cast<unsigned>(Rc.Height()));
            pixman_region32_subtract(&R, &R, &C);
            pixman_region32_fini(&C);
        }
        benchmark::DoNotOptimize(pixman_region32_n_rects(&R));
        pixman_region32_fini(&R);
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Pixman_RegionSubtractEach)->Arg(200)->Unit(benchmark::kMicrosecond);
#endif

struct TScreens {
    HDC SrcDc, DstDc;
    HBITMAP SrcBm, DstBm;
    void* Src = nullptr;
    void* Dst = nullptr;
    TScreens() {
        SrcDc = CreateCompatibleDC(nullptr);
        DstDc = CreateCompatibleDC(nullptr);
        SrcBm = GdiCreateBitmap32(FullW, FullH, &Src);
        DstBm = GdiCreateBitmap32(FullW, FullH, &Dst);
        SelectObject(SrcDc, SrcBm);
        SelectObject(DstDc, DstBm);
        std::mt19937 Rng(5);
        auto* P = static_cast<uint32_t*>(Src);
        for (int K = 0; K < FullW * FullH; ++K) P[K] = Rng();
    }
    ~TScreens() {
        DeleteDC(SrcDc);
        DeleteDC(DstDc);
        DeleteObject(SrcBm);
        DeleteObject(DstBm);
    }
};

void BM_Ours_BitBltFullHD(benchmark::State& State) {
    TScreens S;
    for (auto _ : State) {
        BitBlt(S.DstDc, 0, 0, FullW, FullH, S.SrcDc, 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(S.Dst);
    }
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Ours_BitBltFullHD)->Unit(benchmark::kMicrosecond);

// The same copy through a window-like clip of 200 children cut out.
void BM_Ours_BitBltFullHDClipped(benchmark::State& State) {
    TScreens S;
    const TQvRegion Visible = TQvRegion(Rect(0, 0, FullW, FullH)) - TQvRegion::FromRects(Children(200, 6));
    HRGN Clip = GdiCreateRegion(Visible);
    SelectClipRgn(S.DstDc, Clip);
    for (auto _ : State) {
        BitBlt(S.DstDc, 0, 0, FullW, FullH, S.SrcDc, 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(S.Dst);
    }
    DeleteObject(Clip);
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Ours_BitBltFullHDClipped)->Unit(benchmark::kMicrosecond);

void BM_Ours_StretchBltHalf(benchmark::State& State) {
    TScreens S;
    for (auto _ : State) {
        StretchBlt(S.DstDc, 0, 0, FullW, FullH, S.SrcDc, 0, 0, FullW / 2, FullH / 2, SRCCOPY);
        benchmark::DoNotOptimize(S.Dst);
    }
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Ours_StretchBltHalf)->Unit(benchmark::kMicrosecond);

void BM_Ours_AlphaBlendConstant(benchmark::State& State) {
    TScreens S;
    BLENDFUNCTION Bf;
    Bf.SourceConstantAlpha = 96;
    for (auto _ : State) {
        AlphaBlend(S.DstDc, 0, 0, FullW, FullH, S.SrcDc, 0, 0, FullW, FullH, Bf);
        benchmark::DoNotOptimize(S.Dst);
    }
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Ours_AlphaBlendConstant)->Unit(benchmark::kMicrosecond);

#ifdef QV_HAVE_BENCH_PEERS
void BM_Pixman_BltFullHD(benchmark::State& State) {
    TScreens S;
    for (auto _ : State) {
        pixman_blt(static_cast<uint32_t*>(S.Src), static_cast<uint32_t*>(S.Dst), FullW, FullW, 32, 32, 0, 0,
                   0, 0, FullW, FullH);
        benchmark::DoNotOptimize(S.Dst);
    }
    State.SetBytesProcessed(State.iterations() * FullW * FullH * 4);
}
BENCHMARK(BM_Pixman_BltFullHD)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
