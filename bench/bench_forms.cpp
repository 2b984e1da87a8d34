// Forms: making and showing a form from a stored layout of 200 controls (100 panels holding
// a label each), and repainting all of it.
#include <benchmark/benchmark.h>

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvRegistry.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWindows.h"

namespace {

// Paint calls, to show that a repaint reaches every control.
int Paints = 0;

// A windowed box that fills itself and draws its frame, as a plain panel does.
class TBenchPanel : public TCustomControl {
public:
    explicit TBenchPanel(TComponent* AOwner) : TCustomControl(AOwner) {
        SetControlStyle(ControlStyle() + csAcceptsControls);
    }

protected:
    void Paint() override {
        ++Paints;
        const TRect R = GetClientRect();
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(R);
        Canvas()->FrameRect(R);
    }
};

// A windowless caption painted on its parent, as a plain label does.
class TBenchLabel : public TGraphicControl {
public:
    explicit TBenchLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Font()->Assign(Font());
        Canvas()->TextOut(0, 0, Caption());
    }
};

void RegisterBenchClasses() {
    RegisterClass<TBenchPanel, TCustomControl>(u"TBenchPanel");
    RegisterClass<TBenchLabel, TGraphicControl>(u"TBenchLabel");
}

// 10 × 10 panels of 90 × 40, each with a label, in a 1000 × 480 client area.
String MakeLayout() {
    String T =
        u"object frmBench: TForm\n  Left = 0\n  Top = 0\n  ClientWidth = 1000\n"
        u"  ClientHeight = 480\n  Caption = 'Bench'\n";
    for (int I = 0; I < 100; ++I) {
        const String N = IntToStr(I);
        T += u"  object Panel" + N + u": TBenchPanel\n";
        T += u"    Left = " + IntToStr((I % 10) * 100) + u"\n    Top = " + IntToStr((I / 10) * 48) + u"\n";
        T += u"    Width = 90\n    Height = 40\n    Anchors = [akLeft, akTop, akRight]\n";
        T += u"    Color = " + IntToStr(I % 2 ? 14454598 : 15920353) + u"\n";
        T += u"    object Label" + N + u": TBenchLabel\n      Left = 4\n      Top = 4\n";
        T += u"      Width = 80\n      Height = 16\n      Caption = '项目 " + N + u"'\n    end\n";
        T += u"  end\n";
    }
    return T + u"end\n";
}

// The window system, the application and the classes for one benchmark.
struct TBenchApp {
    TBenchApp() {
        QvInstallHeadless();
        AppInit();
        RegisterBenchClasses();
    }
    ~TBenchApp() {
        AppShutdown();
        QvResetWindowSystem();
    }
};

TForm* ShowLayout(const String& Text) {
    auto* F = Create<TForm>(Application);
    ReadComponentText(F, Text);
    F->Show();
    Application->ProcessMessages();  // the first paint
    return F;
}

void BM_CreateAndShowFormOf200Controls(benchmark::State& State) {
    TBenchApp App;
    const String Text = MakeLayout();
    for (auto _ : State) {
        TForm* F = ShowLayout(Text);
        benchmark::DoNotOptimize(F->ComponentCount());
        State.PauseTiming();
        F->Free();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * 200);
}
BENCHMARK(BM_CreateAndShowFormOf200Controls)->Unit(benchmark::kMillisecond);

void BM_RepaintFormOf200Controls(benchmark::State& State) {
    TBenchApp App;
    TForm* F = ShowLayout(MakeLayout());
    const HWND H = F->Handle();
    Paints = 0;
    for (auto _ : State) {
        RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Application->ProcessMessages();
    }
    State.counters["paints"] = benchmark::Counter(Paints, benchmark::Counter::kAvgIterations);
    State.SetItemsProcessed(State.iterations() * 200);
}
BENCHMARK(BM_RepaintFormOf200Controls)->Unit(benchmark::kMillisecond);

}  // namespace
