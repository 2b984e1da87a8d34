// Text drawing: DrawTextW of a 20-character mixed Chinese/Latin line with an end ellipsis
// (the common caption case), against plain measuring and drawing.
#include <benchmark/benchmark.h>

#include "platform/uQvFont.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvGdiDC.h"

namespace {

const String Line = u"微软雅黑Tahoma混排文字测试ABCD";  // 20 characters

struct TSetup {
    HDC Dc;
    HBITMAP Bm;
    HFONT Font;
    TSetup() {
        UseQvPinnedFonts();
        Dc = CreateCompatibleDC(nullptr);
        Bm = GdiCreateBitmap32(400, 40);
        SelectObject(Dc, Bm);
        Font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"微软雅黑");
        SelectObject(Dc, Font);
        SetBkMode(Dc, TRANSPARENT);
    }
    ~TSetup() {
        DeleteDC(Dc);
        DeleteObject(Font);
        DeleteObject(Bm);
    }
};

void BM_DrawTextEndEllipsis(benchmark::State& State) {
    TSetup S;
    static_assert(sizeof(Char) == 2);
    for (auto _ : State) {
        RECT R = Rect(4, 4, 124, 24);
        benchmark::DoNotOptimize(DrawTextW(S.Dc, Line.c_str(), 20, &R,
                                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX));
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_DrawTextEndEllipsis);

void BM_DrawTextCalcRect(benchmark::State& State) {
    TSetup S;
    for (auto _ : State) {
        RECT R = Rect(0, 0, 0, 0);
        benchmark::DoNotOptimize(DrawTextW(S.Dc, Line.c_str(), 20, &R, DT_CALCRECT | DT_SINGLELINE));
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_DrawTextCalcRect);

void BM_TextOut(benchmark::State& State) {
    TSetup S;
    for (auto _ : State) benchmark::DoNotOptimize(TextOutW(S.Dc, 4, 4, Line.c_str(), 20));
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_TextOut);

void BM_GetTextExtent(benchmark::State& State) {
    TSetup S;
    for (auto _ : State) {
        SIZE Size;
        benchmark::DoNotOptimize(GetTextExtentPoint32W(S.Dc, Line.c_str(), 20, &Size));
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_GetTextExtent);

}  // namespace
