// Picture codecs on a 512 x 512 picture that looks like a skin screen: flat panels,
// gradients, some noise and translucent edges.
#include <benchmark/benchmark.h>

#include "platform/uQvBmp.h"
#include "platform/uQvJpeg.h"
#include "platform/uQvPng.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

constexpr int Side = 512;

std::vector<uint32_t> ScreenLike() {
    std::vector<uint32_t> P(Side * Side);
    uint32_t Seed = 12345;
    for (int Y = 0; Y < Side; ++Y)
        for (int X = 0; X < Side; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            uint32_t C;
            if (X < 160)
                C = 0xFF2B579Au;  // navigation bar
            else if (Y < 64)
                C = 0xFF000000u | uint32_t(255 - Y) << 16 | uint32_t(200 - Y) << 8 | 255;
            else
                C = 0xFF000000u | (0xF0 - (Seed >> 29)) * 0x010101u;  // lightly noisy page
            if (X % 128 == 127 || Y % 96 == 95) C = (C & 0xFFFFFF) | 0x80000000u;
            P[Y * Side + X] = C;
        }
    return P;
}

std::vector<uint8_t> JpegOf(const std::vector<uint32_t>& Pixels) {
    jpeg_compress_struct C;
    jpeg_error_mgr E;
    C.err = jpeg_std_error(&E);
    jpeg_create_compress(&C);
    unsigned char* Buf = nullptr;
    unsigned long Len = 0;
    jpeg_mem_dest(&C, &Buf, &Len);
    C.image_width = Side;
    C.image_height = Side;
    C.input_components = 4;
    C.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&C);
    jpeg_set_quality(&C, 85, TRUE);
    jpeg_start_compress(&C, TRUE);
    while (C.next_scanline < C.image_height) {
        JSAMPROW Row =
            reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(Pixels.data() + C.next_scanline * Side));
        jpeg_write_scanlines(&C, &Row, 1);
    }
    jpeg_finish_compress(&C);
    std::vector<uint8_t> Out(Buf, Buf + Len);
    jpeg_destroy_compress(&C);
    std::free(Buf);
    return Out;
}

void PixelsPerSecond(benchmark::State& State) {
    State.counters["pixels/s"] =
        benchmark::Counter(double(State.iterations()) * Side * Side, benchmark::Counter::kIsRate);
}

void BM_PngEncode(benchmark::State& State) {
    const std::vector<uint32_t> P = ScreenLike();
    const TQvPngWriteOptions Options{static_cast<TQvPngColorMode>(State.range(0)), false, 9};
    size_t Bytes = 0;
    for (auto _ : State) Bytes = EncodePng(P.data(), Side, Side, Options).size();
    State.counters["file bytes"] = double(Bytes);
    PixelsPerSecond(State);
}
BENCHMARK(BM_PngEncode)->Arg(pcmRGBA)->Arg(pcmRGB)->Arg(pcmPalette)->Unit(benchmark::kMillisecond);

void BM_PngDecode(benchmark::State& State) {
    const std::vector<uint32_t> P = ScreenLike();
    const std::vector<uint8_t> File = EncodePng(P.data(), Side, Side, {pcmRGBA, State.range(0) != 0, 9});
    for (auto _ : State) benchmark::DoNotOptimize(DecodePng(File.data(), File.size()));
    PixelsPerSecond(State);
}
BENCHMARK(BM_PngDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_JpegDecode(benchmark::State& State) {
    const std::vector<uint8_t> File = JpegOf(ScreenLike());
    for (auto _ : State) benchmark::DoNotOptimize(DecodeJpeg(File.data(), File.size()));
    PixelsPerSecond(State);
}
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond);

void BM_BmpRoundTrip(benchmark::State& State) {
    const std::vector<uint32_t> P = ScreenLike();
    for (auto _ : State) {
        const std::vector<uint8_t> File = EncodeBmp32(P.data(), Side, Side, State.range(0) != 0);
        benchmark::DoNotOptimize(DecodeBmp(File.data(), File.size()));
    }
    PixelsPerSecond(State);
}
BENCHMARK(BM_BmpRoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
