// The framework's canvas and pictures: a caption through TCanvas::TextOut, and pictures
// with alpha drawn onto a canvas (a PNG, whose premultiplied copy is kept between
// drawings, and a bitmap with straight alpha, multiplied out at every drawing).
#include <benchmark/benchmark.h>

#include <vector>

#include "framework/uQvPictures.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvPng.h"

namespace {

// A 256 x 256 picture with an opaque body and soft edges, like most skin pictures.
std::vector<uint32_t> SoftPicture() {
    std::vector<uint32_t> P(256 * 256);
    for (int Y = 0; Y < 256; ++Y)
        for (int X = 0; X < 256; ++X) {
            const int Edge = std::min(std::min(X, 255 - X), std::min(Y, 255 - Y));
            const uint32_t A = Edge >= 16 ? 255u : static_cast<uint32_t>(Edge * 16);
            P[static_cast<size_t>(Y) * 256 + X] =
                A << 24 | static_cast<uint32_t>(X) << 16 | static_cast<uint32_t>(Y) << 8 | 0x40;
        }
    return P;
}

void BM_CanvasTextOut(benchmark::State& State) {
    UseQvPinnedFonts();
    TBitmap Target(200, 24);
    TCanvas* C = Target.Canvas();
    C->Font()->SetName(u"微软雅黑");
    C->Font()->SetHeight(-12);
    C->Brush()->SetStyle(bsClear);
    for (auto _ : State) C->TextOut(4, 4, u"设置 Settings");
}
BENCHMARK(BM_CanvasTextOut);

void BM_DrawPngWithAlpha(benchmark::State& State) {
    const std::vector<uint32_t> Pixels = SoftPicture();
    const std::vector<uint8_t> Png = EncodePng(Pixels.data(), 256, 256);
    TPicture Picture;
    Picture.LoadFromBytes(Png.data(), Png.size());
    TBitmap Target(256, 256);
    for (auto _ : State) Target.Canvas()->Draw(0, 0, Picture.Graphic());
}
BENCHMARK(BM_DrawPngWithAlpha);

void BM_DrawBitmapStraightAlpha(benchmark::State& State) {
    const std::vector<uint32_t> Pixels = SoftPicture();
    TBitmap Source(256, 256);
    std::copy(Pixels.begin(), Pixels.end(), Source.ScanLine(0));
    Source.SetAlphaFormat(afDefined);
    TBitmap Target(256, 256);
    for (auto _ : State) Target.Canvas()->Draw(0, 0, &Source);
}
BENCHMARK(BM_DrawBitmapStraightAlpha);

void BM_DrawBitmapOpaque(benchmark::State& State) {
    TBitmap Source(256, 256), Target(256, 256);
    for (auto _ : State) Target.Canvas()->Draw(0, 0, &Source);
}
BENCHMARK(BM_DrawBitmapOpaque);

}  // namespace
