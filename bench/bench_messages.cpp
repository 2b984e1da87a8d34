// The message queue: posting and dispatching a million messages, and sending them.

#include <benchmark/benchmark.h>

#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvMessages.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWindows.h"

namespace {

constexpr int Messages = 1000000;
int64_t Received = 0;

LRESULT CountProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_USER) {
        Received += static_cast<int64_t>(WParam);
        return 0;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

HWND MakeWindow() {
    QvInstallHeadless();
    WNDCLASS C;
    C.lpfnWndProc = CountProc;
    C.lpszClassName = u"TBenchWindow";
    RegisterClass(&C);
    return CreateWindowEx(0, u"TBenchWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

void BM_DispatchPostedMessages(benchmark::State& State) {
    const HWND W = MakeWindow();
    for (auto _ : State) {
        Received = 0;
        for (int I = 0; I < Messages; ++I) PostMessage(W, WM_USER, 1, I);
        MSG M;
        while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&M);
        if (Received != Messages) State.SkipWithError("messages lost");
    }
    State.SetItemsProcessed(State.iterations() * Messages);
    QvResetWindowSystem();
}
BENCHMARK(BM_DispatchPostedMessages)->Unit(benchmark::kMillisecond);

void BM_SendMessages(benchmark::State& State) {
    const HWND W = MakeWindow();
    for (auto _ : State) {
        Received = 0;
        for (int I = 0; I < Messages; ++I) SendMessage(W, WM_USER, 1, I);
        benchmark::DoNotOptimize(Received);
    }
    State.SetItemsProcessed(State.iterations() * Messages);
    QvResetWindowSystem();
}
BENCHMARK(BM_SendMessages)->Unit(benchmark::kMillisecond);

}  // namespace
