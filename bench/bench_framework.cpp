// Stored-layout reading and writing, INI lookups and number formatting.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvIniFiles.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvPaths.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvUnicodeCase.h"

namespace {

class TBenchPart : public TComponent {
public:
    using TComponent::TComponent;
    int Left = 0, Top = 0;
    String Caption;
    TColor Color = clWhite;
};

void RegisterBenchClasses() {
    RegisterClass<TBenchPart, TComponent>(u"TBenchPart")
        .Prop(u"Left", [](TBenchPart* P) { return P->Left; }, [](TBenchPart* P, int V) { P->Left = V; })
        .Prop(u"Top", [](TBenchPart* P) { return P->Top; }, [](TBenchPart* P, int V) { P->Top = V; })
        .Prop(u"Caption", [](TBenchPart* P) { return P->Caption; },
              [](TBenchPart* P, const String& V) { P->Caption = V; })
        .Color(u"Color", [](TBenchPart* P) { return P->Color; }, [](TBenchPart* P, TColor V) { P->Color = V; },
               clWhite);
}

// A layout of N components with a few properties each, as a page of the demo has.
String MakeLayout(int N) {
    TComponent Root(nullptr);
    Root.SetName(u"Page");
    for (int I = 0; I < N; ++I) {
        auto* P = new TBenchPart(&Root);
        P->SetName(u"Part" + IntToStr(I));
        P->Left = I * 8;
        P->Top = I * 3;
        P->Caption = u"项目 " + IntToStr(I);
        P->Color = I % 2 ? clRed : 14454598;
    }
    return WriteComponentText(&Root);
}

void BM_ReadLayout(benchmark::State& State) {
    RegisterBenchClasses();
    const String Text = MakeLayout(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        TComponent Root(nullptr);
        ReadComponentText(&Root, Text);
        benchmark::DoNotOptimize(Root.ComponentCount());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_ReadLayout)->Arg(10)->Arg(200);

void BM_WriteLayout(benchmark::State& State) {
    RegisterBenchClasses();
    TComponent Root(nullptr);
    ReadComponentText(&Root, MakeLayout(static_cast<int>(State.range(0))));
    for (auto _ : State) benchmark::DoNotOptimize(WriteComponentText(&Root));
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_WriteLayout)->Arg(10)->Arg(200);

struct TIniFixture {
    TIniFixture() {
        Folder = std::filesystem::temp_directory_path() / ("qv-bench-ini-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Folder);
        Name = Utf8ToString((Folder / "bench.ini").string());
        TIniFile Ini(Name);
        for (int S = 0; S < 4; ++S)
            for (int K = 0; K < 10; ++K) Ini.WriteInteger(u"Section" + IntToStr(S), u"Key" + IntToStr(K), K);
    }
    ~TIniFixture() { std::filesystem::remove_all(Folder); }
    std::filesystem::path Folder;
    String Name;
};

void BM_IniReadInteger(benchmark::State& State) {
    TIniFixture F;
    TIniFile Ini(F.Name);
    for (auto _ : State) benchmark::DoNotOptimize(Ini.ReadInteger(u"Section3", u"Key9", 0));
}
BENCHMARK(BM_IniReadInteger);

void BM_IniWriteInteger(benchmark::State& State) {
    TIniFixture F;
    TIniFile Ini(F.Name);
    int V = 0;
    for (auto _ : State) benchmark::DoNotOptimize(Ini.WriteInteger(u"Section1", u"Key5", ++V));
}
BENCHMARK(BM_IniWriteInteger);

void BM_FormatFixed(benchmark::State& State) {
    double V = 0.125;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Format(u"%.2f%% of %d", {V, 100}));
        V += 0.001;
    }
}
BENCHMARK(BM_FormatFixed);

void BM_AnsiCompareText(benchmark::State& State) {
    const String A = u"Ελληνικά ΚΕΊΜΕΝΟ café", B = u"ελληνικά κείμενο CAFÉ";
    for (auto _ : State) benchmark::DoNotOptimize(AnsiCompareText(A, B));
}
BENCHMARK(BM_AnsiCompareText);

}  // namespace
