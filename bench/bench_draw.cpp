// The surface's hot paths, each beside the peer library doing the nearest equivalent
// work on the same sizes and the same pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "draw/uQvSurface.h"

#ifdef QV_HAVE_BENCH_PEERS
#include <pixman.h>
#endif

namespace {

constexpr int FullW = 1920, FullH = 1080;

// Straight-alpha pixels with every alpha from 0 to 255, in no order.
void FillNoise(TCustomSurface32& S, uint32_t Seed) {
    std::mt19937 Rng(Seed);
    for (int Y = 0; Y < S.Height(); ++Y)
        for (int X = 0; X < S.Width(); ++X) S.SetPixel(X, Y, Rng());
}

// A skin-like picture: opaque body, transparent corners, soft edges.
void FillSkin(TCustomSurface32& S) {
    for (int Y = 0; Y < S.Height(); ++Y)
        for (int X = 0; X < S.Width(); ++X) {
            const int Edge = std::min(std::min(X, S.Width() - 1 - X), std::min(Y, S.Height() - 1 - Y));
            const uint32_t A = Edge >= 8 ? 255 : static_cast<uint32_t>(Edge * 32);
            S.SetPixel(X, Y,
                       (A << 24) | (static_cast<uint32_t>(X * 7) & 0xFF) << 16 |
                           (static_cast<uint32_t>(Y * 3) & 0xFF) << 8 | 0x40);
        }
}

void BM_Ours_DrawBlend(benchmark::State& State) {
    TSurface32 Src, Dst;
    Src.SetSize(FullW, FullH);
    if (State.range(0) == 0)
        FillNoise(Src, 1);
    else
        FillSkin(Src);
    Src.SetDrawMode(dmBlend);
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 2);
    for (auto _ : State) {
        Dst.Draw(0, 0, &Src);
        benchmark::DoNotOptimize(Dst.Bits());
    }
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Ours_DrawBlend)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Ours_FillRectTS(benchmark::State& State) {
    TSurface32 Dst;
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 3);
    for (auto _ : State) {
        Dst.FillRectTS(0, 0, FullW, FullH, 0x80336699u);
        benchmark::DoNotOptimize(Dst.Bits());
    }
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Ours_FillRectTS)->Unit(benchmark::kMicrosecond);

void BM_Ours_StretchNearest(benchmark::State& State) {
    TSurface32 Src, Dst;
    Src.SetSize(FullW / 2, FullH / 2);
    FillNoise(Src, 4);
    Src.SetDrawMode(State.range(0) == 0 ? dmOpaque : dmBlend);
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 5);
    for (auto _ : State) {
        Dst.Draw(Dst.BoundsRect(), Src.BoundsRect(), &Src);
        benchmark::DoNotOptimize(Dst.Bits());
    }
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Ours_StretchNearest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#ifdef QV_HAVE_BENCH_PEERS

// The peer works on premultiplied pixels; the same straight pixels are converted once.
pixman_image_t* PeerImage(const TCustomSurface32& S, std::vector<uint32_t>& Store) {
    Store.resize(static_cast<size_t>(S.Width()) * S.Height());
    for (size_t I = 0; I < Store.size(); ++I) {
        const uint32_t P = S.Bits()[I], A = P >> 24;
        auto Pre = [A](uint32_t C) { return (C * A + 127) / 255; };
        Store[I] = (A << 24) | (Pre((P >> 16) & 255) << 16) | (Pre((P >> 8) & 255) << 8) | Pre(P & 255);
    }
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, S.Width(), S.Height(), Store.data(), S.Width() * 4);
}

void BM_Peer_CompositeOver(benchmark::State& State) {
    TSurface32 Src, Dst;
    Src.SetSize(FullW, FullH);
    if (State.range(0) == 0)
        FillNoise(Src, 1);
    else
        FillSkin(Src);
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 2);
    std::vector<uint32_t> SrcStore, DstStore;
    pixman_image_t* S = PeerImage(Src, SrcStore);
    pixman_image_t* D = PeerImage(Dst, DstStore);
    for (auto _ : State) {
        pixman_image_composite32(PIXMAN_OP_OVER, S, nullptr, D, 0, 0, 0, 0, 0, 0, FullW, FullH);
        benchmark::DoNotOptimize(DstStore.data());
    }
    pixman_image_unref(S);
    pixman_image_unref(D);
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Peer_CompositeOver)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Peer_FillOver(benchmark::State& State) {
    TSurface32 Dst;
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 3);
    std::vector<uint32_t> DstStore;
    pixman_image_t* D = PeerImage(Dst, DstStore);
    // 0x80336699 premultiplied, in 16 bits per channel.
    const pixman_color_t Colour{0x1A1A, 0x3333, 0x4D4D, 0x8080};
    const pixman_box32_t Box{0, 0, FullW, FullH};
    for (auto _ : State) {
        pixman_image_fill_boxes(PIXMAN_OP_OVER, D, &Colour, 1, &Box);
        benchmark::DoNotOptimize(DstStore.data());
    }
    pixman_image_unref(D);
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Peer_FillOver)->Unit(benchmark::kMicrosecond);

void BM_Peer_StretchNearest(benchmark::State& State) {
    TSurface32 Src, Dst;
    Src.SetSize(FullW / 2, FullH / 2);
    FillNoise(Src, 4);
    Dst.SetSize(FullW, FullH);
    FillNoise(Dst, 5);
    std::vector<uint32_t> SrcStore, DstStore;
    pixman_image_t* S = PeerImage(Src, SrcStore);
    pixman_image_t* D = PeerImage(Dst, DstStore);
    pixman_transform_t Half;
    pixman_transform_init_scale(&Half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(S, &Half);
    pixman_image_set_filter(S, PIXMAN_FILTER_NEAREST, nullptr, 0);
    const pixman_op_t Op = State.range(0) == 0 ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
    for (auto _ : State) {
        pixman_image_composite32(Op, S, nullptr, D, 0, 0, 0, 0, 0, 0, FullW, FullH);
        benchmark::DoNotOptimize(DstStore.data());
    }
    pixman_image_unref(S);
    pixman_image_unref(D);
    State.SetItemsProcessed(State.iterations() * FullW * FullH);
}
BENCHMARK(BM_Peer_StretchNearest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#endif

}  // namespace
