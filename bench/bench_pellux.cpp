// Skinned controls: a full repaint of a 1920 × 1080 form holding 300 skinned buttons,
// panels and labels, and the repaint that follows the pointer moving onto or off one
// button.
#include <benchmark/benchmark.h>

#include "controls/uPelluxButton.h"
#include "controls/uPelluxControls.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxPanel.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvInput.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWindows.h"

namespace {

struct TSkinnedForm {
    TSkinnedForm() {
        QvInstallHeadless();
        RegisterPelluxControls();
        AppInit();
        Form = Create<TForm>(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 1920, 1080);
        Form->SetColor(RGB(243, 246, 250));
        // 20 columns × 15 rows of 96 × 72 cells: a button, a panel with a caption and a
        // label, in turn.
        for (int I = 0; I < 300; ++I) {
            const int X = (I % 20) * 96 + 6, Y = (I / 20) * 72 + 6;
            const String Caption = u"项目 " + IntToStr(I);
            TControl* C = nullptr;
            switch (I % 3) {
                case 0: {
                    auto* B = new TPelluxButton(Form);
                    B->SetBounds(X, Y, 84, 28);
                    if (First == nullptr) First = B;
                    C = B;
                    break;
                }
                case 1: {
                    auto* P = new TPelluxPanel(Form);
                    P->SetBounds(X, Y, 84, 60);
                    P->SetCaptionVisible(true);
                    C = P;
                    break;
                }
                default:
                    C = new TPelluxLabel(Form);
                    C->SetBounds(X, Y, 84, 17);
                    break;
            }
            C->SetCaption(Caption);
            C->SetParent(Form);
        }
        Form->Show();
        Application->ProcessMessages();
    }
    ~TSkinnedForm() {
        AppShutdown();
        QvResetWindowSystem();
    }
    TForm* Form = nullptr;
    TPelluxButton* First = nullptr;
};

void BM_FullRepaintOf300SkinnedControls(benchmark::State& State) {
    TSkinnedForm F;
    const HWND H = F.Form->Handle();
    for (auto _ : State) {
        RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Application->ProcessMessages();
    }
    State.SetItemsProcessed(State.iterations() * 300);
}
BENCHMARK(BM_FullRepaintOf300SkinnedControls)->Unit(benchmark::kMillisecond);

void BM_HoverChangeOnOneSkinnedButton(benchmark::State& State) {
    TSkinnedForm F;
    const TPoint Inside = F.First->ClientToScreen(TPoint{40, 14});
    const TPoint Outside{Inside.X, Inside.Y + 40};
    bool In = false;
    int64_t Hot = 0;
    for (auto _ : State) {
        In = !In;
        QvInputMouseMove(In ? POINT{Inside.X, Inside.Y} : POINT{Outside.X, Outside.Y});
        Application->ProcessMessages();
        Hot += In && F.First->VisualState() == TQvVisualState::Hot;
    }
    // 1 when every move onto the button made it hot.
    State.counters["hot"] = benchmark::Counter(static_cast<double>(2 * Hot) / static_cast<double>(State.iterations()));
}
BENCHMARK(BM_HoverChangeOnOneSkinnedButton)->Unit(benchmark::kMicrosecond);

}  // namespace
