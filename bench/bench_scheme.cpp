// The skin scheme: one change of the scheme colour, which writes the settings file and
// tints the 58 listed skin images (grey copy from the backup, then the hue and saturation
// shift); the tinting alone; and going back to the default colour, which puts the stored
// images back.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/uProSettings.h"
#include "app/uSkinLib.h"
#include "framework/uQvAppInit.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvPaths.h"
#include "platform/uQvWindows.h"

namespace {

namespace fs = std::filesystem;

// The library headless, the settings file in a folder of its own, and a scheme.
struct TBenchScheme {
    TBenchScheme() {
        Folder = fs::temp_directory_path() / "qv-bench-scheme";
        fs::create_directories(Folder);
        SetTempPathForTests(Utf8ToString(Folder.string()));
        ResetProSettingsForTests();
        QvInstallHeadless();
        AppInit();
        Lib = std::make_unique<TSkinLib>();
    }
    ~TBenchScheme() {
        Lib.reset();
        AppShutdown();
        QvResetWindowSystem();
        ResetProSettingsForTests();
        SetTempPathForTests(u"");
        std::error_code Ignored;
        fs::remove_all(Folder, Ignored);
    }
    fs::path Folder;
    std::unique_ptr<TSkinLib> Lib;
};

void BM_SchemeChange(benchmark::State& State) {
    TBenchScheme B;
    int Index = 5;
    for (auto _ : State) {
        Index = Index == 5 ? 6 : 5;
        B.Lib->SetColorIndex(Index);
        B.Lib->Apply();
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(SchemeImageNames.size()));
}
BENCHMARK(BM_SchemeChange)->Unit(benchmark::kMicrosecond);

// The same without the settings write: Apply alone.
void BM_SchemeApply(benchmark::State& State) {
    TBenchScheme B;
    int Index = 5;
    for (auto _ : State) {
        State.PauseTiming();
        Index = Index == 5 ? 6 : 5;
        B.Lib->SetColorIndex(Index);
        State.ResumeTiming();
        B.Lib->Apply();
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(SchemeImageNames.size()));
}
BENCHMARK(BM_SchemeApply)->Unit(benchmark::kMicrosecond);

void BM_SchemeBackToDefault(benchmark::State& State) {
    TBenchScheme B;
    for (auto _ : State) {
        State.PauseTiming();
        B.Lib->SetColorIndex(5);
        B.Lib->Apply();
        B.Lib->SetColorIndex(0);
        State.ResumeTiming();
        B.Lib->Apply();
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(SchemeImageNames.size()));
}
BENCHMARK(BM_SchemeBackToDefault)->Unit(benchmark::kMicrosecond);

}  // namespace
