// The main window: a full repaint of its skin maximized on a 1920 × 1080 screen (title bar,
// frame, background and every skinned control), and the title bar repainted because the
// pointer moved onto or off its close button.
#include <benchmark/benchmark.h>

#include "app/frmMain.h"
#include "app/uProgram.h"
#include "framework/uQvApplication.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvInput.h"
#include "platform/uQvWindows.h"

namespace {

// The program initialized and its main window shown past its first-show fade.
struct TMainWindow {
    TMainWindow() {
        TQvHeadless& Headless = QvInstallHeadless();
        Headless.SetMonitors({TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080), 96}});
        ProgramInitialization();
        Application->CreateForm(MainForm);
        MainForm->Show();
        Headless.Advance(60);
        Application->ProcessMessages();
    }
    ~TMainWindow() {
        ProgramFinalization();
        QvResetWindowSystem();
    }
};

void BM_RepaintMaximizedMainWindow(benchmark::State& State) {
    TMainWindow Main;
    for (auto _ : State) {
        MainForm->sf1->Repaint();
        Application->ProcessMessages();
    }
}
BENCHMARK(BM_RepaintMaximizedMainWindow)->Unit(benchmark::kMillisecond);

void BM_TitleBarHoverChange(benchmark::State& State) {
    TMainWindow Main;
    const TRect Close = MainForm->systmbtn3->ClientRect();
    const POINT On{(Close.Left + Close.Right) / 2, (Close.Top + Close.Bottom) / 2 + 4};
    const POINT Off{On.X - 200, On.Y};
    bool Inside = false;
    int Changes = 0;
    for (auto _ : State) {
        Inside = !Inside;
        QvInputMouseMove(Inside ? On : Off);
        Application->ProcessMessages();
        Changes += MainForm->systmbtn3->CursorEnter() == Inside;
    }
    State.counters["changes"] = benchmark::Counter(Changes, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TitleBarHoverChange)->Unit(benchmark::kMicrosecond);

}  // namespace
