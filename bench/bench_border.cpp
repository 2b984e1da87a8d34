// The layered shadow border: a skinned 1184 × 761 form with its default border, moved one
// pixel (the four sides placed behind it) and resized one pixel (the image rendered around
// the form again, sliced and pushed to the four sides), each with the screen composed.
#include <benchmark/benchmark.h>

#include "controls/uPelluxControls.h"
#include "forms/uPelluxForm.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWindows.h"

namespace {

struct TBorderedForm {
    TBorderedForm() {
        Headless = &QvInstallHeadless();
        RegisterPelluxControls();
        AppInit();
        Form = Create<TForm>(Application);
        Form->SetBounds(100, 80, 1184, 761);
        auto* Skin = new TPelluxForm(Form);
        Border = new TQvFormLayerBorder(Form);
        Skin->SetImageBorder(Border);
        Form->Show();
        Application->ProcessMessages();
        Headless->Advance(40);
        Application->ProcessMessages();
        QvComposedScreen();
    }
    ~TBorderedForm() {
        AppShutdown();
        QvResetWindowSystem();
    }
    TQvHeadless* Headless = nullptr;
    TForm* Form = nullptr;
    TQvFormLayerBorder* Border = nullptr;
};

void BM_MoveBorderedForm(benchmark::State& State) {
    TBorderedForm F;
    int Step = 0;
    for (auto _ : State) {
        F.Form->SetBounds(100 + (++Step & 1), 80, 1184, 761);
        Application->ProcessMessages();
        benchmark::DoNotOptimize(QvComposedScreen().Pixel(0, 0));
    }
    if (!F.Border->Shown()) State.SkipWithError("the border is not shown");
}
BENCHMARK(BM_MoveBorderedForm)->Unit(benchmark::kMicrosecond);

void BM_ResizeBorderedForm(benchmark::State& State) {
    TBorderedForm F;
    int Step = 0;
    for (auto _ : State) {
        F.Form->SetBounds(100, 80, 1184 + (++Step & 1), 761);
        Application->ProcessMessages();
        benchmark::DoNotOptimize(QvComposedScreen().Pixel(0, 0));
    }
    if (!F.Border->Shown()) State.SkipWithError("the border is not shown");
}
BENCHMARK(BM_ResizeBorderedForm)->Unit(benchmark::kMicrosecond);

// The border's own part of a resize step: slicing and pushing the four sides.
void BM_BorderSetBounds(benchmark::State& State) {
    TBorderedForm F;
    int Step = 0;
    for (auto _ : State) F.Border->SetBounds(100, 80, 1184 + (++Step & 1), 761);
}
BENCHMARK(BM_BorderSetBounds)->Unit(benchmark::kMicrosecond);

// The border's own part of a move step: the four sides placed behind the form in one batch.
void BM_BorderMoveWithForm(benchmark::State& State) {
    TBorderedForm F;
    int Step = 0;
    for (auto _ : State) F.Border->MoveWithForm(100 + (++Step & 1), 80);
}
BENCHMARK(BM_BorderMoveWithForm)->Unit(benchmark::kMicrosecond);

}  // namespace
