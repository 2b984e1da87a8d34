// Skin composition: cutting a state-strip frame and drawing it as a nine-grid button, and
// tiling a background over a full-HD surface. No peer: these measure the library's own
// helpers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uPelluxStrips.h"
#include "framework/uQvControl.h"
#include "skin/uPelluxResDM.h"
#include "skin/uPelluxResManager.h"

namespace {

constexpr int FrameW = 40, FrameH = 32, Frames = 5;

// A button strip: five frames with an opaque body, soft corners and a one-pixel
// translucent rim, drawn with dmBlend.
void FillButtonStrip(TSurface32& S) {
    S.SetSize(FrameW * Frames, FrameH);
    for (int Y = 0; Y < FrameH; ++Y)
        for (int X = 0; X < S.Width(); ++X) {
            const int Fx = X % FrameW;
            const int Edge = std::min(std::min(Fx, FrameW - 1 - Fx), std::min(Y, FrameH - 1 - Y));
            const uint32_t A = Edge >= 3 ? 255 : static_cast<uint32_t>(60 + Edge * 60);
            const uint32_t Shade = 0x30 + static_cast<uint32_t>(X / FrameW) * 0x20 + static_cast<uint32_t>(Y);
            S.SetPixel(X, Y, A << 24 | Shade << 16 | Shade << 8 | 0xE0);
        }
    S.SetDrawMode(dmBlend);
}

// Cuts frame 2 into a scratch image as a state strip does at every paint.
void CutButtonFrame(TSurface32& Strip, TPelluxImage& Frame, bool Reference) {
    Strip.CopyPropertiesTo(&Frame);
    Frame.SetSize(FrameW, FrameH);
    const TRect Part = Rect(2 * FrameW, 0, 3 * FrameW, FrameH);
    if (Reference)
        CutFrameByTransform(&Strip, Part, &Frame);
    else
        CutFrame(&Strip, Part, &Frame);
}

void BM_CutStripFrame(benchmark::State& State) {
    TSurface32 Strip;
    FillButtonStrip(Strip);
    TPelluxImage Frame;
    for (auto _ : State) {
        CutButtonFrame(Strip, Frame, State.range(0) == 1);
        benchmark::DoNotOptimize(Frame.Bits());
    }
}
BENCHMARK(BM_CutStripFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawFrameNineGrid120x32(benchmark::State& State) {
    TSurface32 Strip, Button;
    FillButtonStrip(Strip);
    TPelluxImage Frame;
    CutButtonFrame(Strip, Frame, false);
    Button.SetSize(120, 32);
    for (auto _ : State) {
        Button.Clear(0xFFF0F0F0u);
        DrawNineGridThirds(&Frame, &Button, false);
        benchmark::DoNotOptimize(Button.Bits());
    }
}
BENCHMARK(BM_DrawFrameNineGrid120x32)->Unit(benchmark::kMicrosecond);

void BM_CutAndDrawButton120x32(benchmark::State& State) {
    TSurface32 Strip, Button;
    FillButtonStrip(Strip);
    TPelluxImage Frame;
    Button.SetSize(120, 32);
    for (auto _ : State) {
        Button.Clear(0xFFF0F0F0u);
        CutButtonFrame(Strip, Frame, false);
        DrawNineGridThirds(&Frame, &Button, false);
        benchmark::DoNotOptimize(Button.Bits());
    }
}
BENCHMARK(BM_CutAndDrawButton120x32)->Unit(benchmark::kMicrosecond);

// Arg 0: an opaque 64 x 64 tile; 1: the same with soft alpha (dmBlend).
void BM_TileBackground1920x1080(benchmark::State& State) {
    TSurface32 Tile, Screen;
    Tile.SetSize(64, 64);
    for (int Y = 0; Y < 64; ++Y)
        for (int X = 0; X < 64; ++X) {
            const uint32_t A = State.range(0) == 1 ? static_cast<uint32_t>(128 + (X ^ Y) * 2) : 255;
            Tile.SetPixel(
                X, Y,
                A << 24 | static_cast<uint32_t>(X * 4) << 16 | static_cast<uint32_t>(Y * 4) << 8 | 0x80);
        }
    Tile.SetDrawMode(State.range(0) == 1 ? dmBlend : dmOpaque);
    Screen.SetSize(1920, 1080);
    Screen.Clear(0xFF202020u);
    for (auto _ : State) {
        TileDraw(&Tile, &Screen);
        benchmark::DoNotOptimize(Screen.Bits());
    }
    State.SetItemsProcessed(State.iterations() * 1920 * 1080);
}
BENCHMARK(BM_TileBackground1920x1080)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Start-up: the data module filling the built-in list from the packed items.
void BM_LoadBuiltInImageList(benchmark::State& State) {
    for (auto _ : State) {
        TPelluxResDM* DM = Create<TPelluxResDM>(nullptr);
        benchmark::DoNotOptimize(DM->PelluxImageListMain()->GetBitmap(0)->Bits());
        DM->Free();
    }
}
BENCHMARK(BM_LoadBuiltInImageList)->Unit(benchmark::kMillisecond);

// The 200 % variants of all 207 built-in images, made by the manager's lookups as the
// first paint at 192 pixels per inch does.
void BM_MakeDPI200VariantsOfBuiltInList(benchmark::State& State) {
    TControl Dpi(nullptr);
    Dpi.ScaleForPPI(192);
    HighDPIEnabled = true;
    SetDefaultDPIControlSource([&Dpi] { return &Dpi; });
    TPelluxResManager& M = SkinResManager();
    TPelluxBitmapCollection* Items = M.ImageList()->Bitmaps();
    const int Count = Items->Count();
    std::vector<String> Names;
    for (int I = 0; I < Count; ++I) Names.push_back(Items->Items(I)->ResID());
    for (auto _ : State) {
        for (const String& Name : Names) benchmark::DoNotOptimize(M.GetImageByName(Name, true));
        State.PauseTiming();
        while (Items->Count() > Count) Items->Delete(Count);
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Count);
    FreeSkinResManager();
    FreePelluxResDM();
    HighDPIEnabled = false;
    SetDefaultDPIControlSource(nullptr);
}
BENCHMARK(BM_MakeDPI200VariantsOfBuiltInList)->Unit(benchmark::kMillisecond);

}  // namespace
