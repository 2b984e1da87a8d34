// The vector and resampling hot paths, each beside the peer library doing the nearest
// equivalent work on the same sizes and the same figures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "draw/uQvPolygons.h"
#include "draw/uQvResamplersEx.h"
#include "draw/uQvSurface.h"
#include "draw/uQvTransforms.h"

#ifdef QV_HAVE_BENCH_PEERS
#include <cairo.h>
#include <pixman.h>
#endif

namespace {

constexpr double Pi = std::numbers::pi;

// A star of Spikes points around (C, C): outer radius R, inner R * 0.45.
TArrayOfFloatPoint Star(int Spikes, float C, float R) {
    TArrayOfFloatPoint P;
    for (int I = 0; I < 2 * Spikes; ++I) {
        const double A = Pi * I / Spikes - Pi / 2;
        const double Radius = (I % 2 == 0) ? R : R * 0.45;
        P.push_back(
            {static_cast<float>(C + Radius * std::cos(A)), static_cast<float>(C + Radius * std::sin(A))});
    }
    return P;
}

// A closed wavy outline of Segments segments: radius 200 + 40 sin(7a) around (256, 256).
TArrayOfFloatPoint Wave(int Segments) {
    TArrayOfFloatPoint P;
    for (int I = 0; I < Segments; ++I) {
        const double A = 2 * Pi * I / Segments;
        const double R = 200 + 40 * std::sin(7 * A);
        P.push_back({static_cast<float>(256 + R * std::cos(A)), static_cast<float>(256 + R * std::sin(A))});
    }
    return P;
}

// A skin-like picture: opaque body, soft edges, colours varying along both axes.
void FillPicture(TCustomSurface32& S) {
    for (int Y = 0; Y < S.Height(); ++Y)
        for (int X = 0; X < S.Width(); ++X) {
            const int Edge = std::min(std::min(X, S.Width() - 1 - X), std::min(Y, S.Height() - 1 - Y));
            const uint32_t A = Edge >= 8 ? 255 : static_cast<uint32_t>(Edge * 32);
            S.SetPixel(X, Y,
                       (A << 24) | (static_cast<uint32_t>(X * 7) & 0xFF) << 16 |
                           (static_cast<uint32_t>(Y * 3) & 0xFF) << 8 | 0x40);
        }
}

void FillOurs(benchmark::State& State, const TArrayOfFloatPoint& Figure, int Size) {
    TSurface32 S;
    S.SetSize(Size, Size);
    S.Clear(0xFFFFFFFFu);
    for (auto _ : State) {
        FillPolygonFS(&S, Figure, 0xFF2060A0u, pfWinding);
        benchmark::DoNotOptimize(S.Bits());
    }
}

void BM_Ours_FillStar20(benchmark::State& State) {
    FillOurs(State, Star(20, 128, 120), 256);
}
BENCHMARK(BM_Ours_FillStar20)->Unit(benchmark::kMicrosecond);

void BM_Ours_FillPath1000(benchmark::State& State) {
    FillOurs(State, Wave(1000), 512);
}
BENCHMARK(BM_Ours_FillPath1000)->Unit(benchmark::kMicrosecond);

// One transform pass of the linear x1.5 scale of a 500 x 300 picture (the work of each of
// the scaling helper's passes).
void BM_Ours_ScaleLinear(benchmark::State& State) {
    TSurface32 Src, Dst;
    Src.SetSize(500, 300);
    FillPicture(Src);
    auto R = std::make_unique<TLinearResampler>();
    R->SetPixelAccessMode(pamTransparentEdge);
    Src.SetResampler(std::move(R));
    Dst.SetSize(750, 450);
    TAffineTransformation T;
    T.SetSrcRect(FloatRect(Src.BoundsRect()));
    T.Scale(1.5f);
    for (auto _ : State) {
        Transform(&Dst, &Src, &T);
        benchmark::DoNotOptimize(Dst.Bits());
    }
    State.SetItemsProcessed(State.iterations() * 750 * 450);
}
BENCHMARK(BM_Ours_ScaleLinear)->Unit(benchmark::kMicrosecond);

#ifdef QV_HAVE_BENCH_PEERS

void FillCairo(benchmark::State& State, const TArrayOfFloatPoint& Figure, int Size) {
    cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Size, Size);
    cairo_t* Cr = cairo_create(S);
    cairo_set_source_rgba(Cr, 1, 1, 1, 1);
    cairo_paint(Cr);
    cairo_set_source_rgba(Cr, 0x20 / 255.0, 0x60 / 255.0, 0xA0 / 255.0, 1);
    cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_WINDING);
    for (auto _ : State) {
        cairo_move_to(Cr, Figure[0].X, Figure[0].Y);
        for (size_t I = 1; I < Figure.size(); ++I) cairo_line_to(Cr, Figure[I].X, Figure[I].Y);
        cairo_close_path(Cr);
        cairo_fill(Cr);
        cairo_surface_flush(S);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(S));
    }
    cairo_destroy(Cr);
    cairo_surface_destroy(S);
}

void BM_Cairo_FillStar20(benchmark::State& State) {
    FillCairo(State, Star(20, 128, 120), 256);
}
BENCHMARK(BM_Cairo_FillStar20)->Unit(benchmark::kMicrosecond);

void BM_Cairo_FillPath1000(benchmark::State& State) {
    FillCairo(State, Wave(1000), 512);
}
BENCHMARK(BM_Cairo_FillPath1000)->Unit(benchmark::kMicrosecond);

// pixman's bilinear scale of the same picture (premultiplied), SRC into 750 x 450.
void BM_Pixman_ScaleBilinear(benchmark::State& State) {
    TSurface32 Pic;
    Pic.SetSize(500, 300);
    FillPicture(Pic);
    std::vector<uint32_t> SrcPx(500 * 300), DstPx(750 * 450);
    for (size_t I = 0; I < SrcPx.size(); ++I) {
        const uint32_t P = Pic.Bits()[I], A = P >> 24;
        auto Pm = [A](uint32_t C) { return (C * A + 127) / 255; };
        SrcPx[I] = (A << 24) | Pm((P >> 16) & 0xFF) << 16 | Pm((P >> 8) & 0xFF) << 8 | Pm(P & 0xFF);
    }
    pixman_image_t* Src = pixman_image_create_bits(PIXMAN_a8r8g8b8, 500, 300, SrcPx.data(), 500 * 4);
    pixman_image_t* Dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, 750, 450, DstPx.data(), 750 * 4);
    pixman_transform_t T;
    pixman_transform_init_scale(&T, pixman_double_to_fixed(1 / 1.5), pixman_double_to_fixed(1 / 1.5));
    pixman_image_set_transform(Src, &T);
    pixman_image_set_filter(Src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : State) {
        pixman_image_composite32(PIXMAN_OP_SRC, Src, nullptr, Dst, 0, 0, 0, 0, 0, 0, 750, 450);
        benchmark::DoNotOptimize(DstPx.data());
    }
    State.SetItemsProcessed(State.iterations() * 750 * 450);
    pixman_image_unref(Src);
    pixman_image_unref(Dst);
}
BENCHMARK(BM_Pixman_ScaleBilinear)->Unit(benchmark::kMicrosecond);

#endif

}  // namespace
