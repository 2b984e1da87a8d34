// Controls: making many windowed controls in a shown container, and realigning a panel of
// aligned controls after its container was resized.
#include <benchmark/benchmark.h>

#include <memory>

#include "framework/uQvWinControl.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "support/bench_root.h"
#include "platform/uQvWindows.h"

namespace {

void BM_Create1000ControlsInAShownContainer(benchmark::State& State) {
    QvInstallHeadless();
    for (auto _ : State) {
        TBenchRoot Root(1600, 1000);
        Root.Show();
        for (int I = 0; I < 1000; ++I) {
            auto* C = new TWinControl(&Root);
            C->SetBounds((I % 40) * 40, (I / 40) * 40, 36, 36);
            C->SetParent(&Root);
        }
        benchmark::DoNotOptimize(Root.ControlCount());
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_Create1000ControlsInAShownContainer)->Unit(benchmark::kMillisecond);

void BM_Align200ControlsAfterAResize(benchmark::State& State) {
    QvInstallHeadless();
    {
        TBenchRoot Root(1600, 1000);
        Root.Show();
        static constexpr TAlign Kinds[] = {alTop, alLeft, alBottom, alRight};
        for (int I = 0; I < 200; ++I) {
            auto* C = new TWinControl(&Root);
            C->SetBounds(0, 0, 3, 2);
            C->SetAlign(Kinds[I % 4]);
            C->SetParent(&Root);
        }
        bool Wide = false;
        for (auto _ : State) {
            Wide = !Wide;
            Root.SetBounds(0, 0, Wide ? 1800 : 1600, Wide ? 1100 : 1000);
        }
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_Align200ControlsAfterAResize)->Unit(benchmark::kMicrosecond);

}  // namespace
