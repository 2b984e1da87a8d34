// The virtual tree's node model at sizes a user's data may reach: building a million nodes
// in one bracket (flat, and ten children per level), finding the row at a height, walking
// a page of rows, placing new nodes in a sorted list, and clearing with free notices; and
// painting a visible grid of 30 rows by 5 columns out of a 100,000-node string tree.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "framework/uQvPictures.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "support/bench_root.h"
#include "platform/uQvWindows.h"
#include "treeview/uQvStringTree.h"
#include "treeview/uQvTreeNodes.h"
#include "treeview/uQvTreeSort.h"

namespace {

class THost : public IQvTreeNodesHost {
public:
    int NodeDataSizeNeeded(int Preset) override { return Preset; }
    bool WantsFreeNode() const override { return Notify; }
    void FreeNode(PQvNode) override { ++Freed; }
    void SubtreeDetached(PQvNode) override {}
    void NodeGone(PQvNode) override {}
    void AllNodesGone() override {}
    bool Notify = false;
    size_t Freed = 0;
};

void BuildFlat(TQvTreeNodes& T, int Count) {
    T.BeginDefer();
    for (int I = 0; I < Count; ++I) T.AddChild(nullptr);
    T.EndDefer();
}

// Ten children per level down to Count nodes, every parent expanded.
void BuildTen(TQvTreeNodes& T, int Count) {
    T.BeginDefer();
    std::vector<PQvNode> Level{nullptr};
    int Made = 0;
    while (Made < Count) {
        std::vector<PQvNode> Next;
        for (PQvNode P : Level) {
            T.SetExpanded(P, true);
            for (int K = 0; K < 10 && Made < Count; ++K, ++Made) Next.push_back(T.AddChild(P));
        }
        Level.swap(Next);
    }
    T.EndDefer();
}

void BM_BuildFlat(benchmark::State& S) {
    for (auto _ : S) {
        THost H;
        TQvTreeNodes T(&H);
        BuildFlat(T, static_cast<int>(S.range(0)));
        benchmark::DoNotOptimize(T.ContentHeight());
    }
    S.counters["bytes/node"] = static_cast<double>(TQvTreeNodes::RecordSize() + sizeof(void*));
}
BENCHMARK(BM_BuildFlat)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_BuildTenPerLevel(benchmark::State& S) {
    for (auto _ : S) {
        THost H;
        TQvTreeNodes T(&H);
        BuildTen(T, static_cast<int>(S.range(0)));
        benchmark::DoNotOptimize(T.ContentHeight());
    }
}
BENCHMARK(BM_BuildTenPerLevel)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The row at a random height (the index built once, before timing).
void BM_NodeAt(benchmark::State& S) {
    THost H;
    TQvTreeNodes T(&H);
    if (S.range(1) == 0)
        BuildFlat(T, static_cast<int>(S.range(0)));
    else
        BuildTen(T, static_cast<int>(S.range(0)));
    const int64_t Height = T.ContentHeight();
    T.NodeAt(Height / 2);
    std::mt19937_64 Rng(1);
    for (auto _ : S) benchmark::DoNotOptimize(T.NodeAt(static_cast<int64_t>(Rng() % static_cast<uint64_t>(Height))));
}
BENCHMARK(BM_NodeAt)->Args({1000000, 0})->Args({10000000, 0})->Args({1000000, 1})->Unit(benchmark::kNanosecond);

// A row's top (scroll into view), the rows of a 600-pixel page after it.
void BM_NodeTopAndPage(benchmark::State& S) {
    THost H;
    TQvTreeNodes T(&H);
    BuildFlat(T, static_cast<int>(S.range(0)));
    PQvNode Middle = T.NodeAt(T.ContentHeight() / 2);
    for (auto _ : S) {
        benchmark::DoNotOptimize(T.NodeTop(Middle));
        int Rows = 0;
        for (PQvNode N = Middle; N != nullptr && Rows < 600 / 18; N = T.GetNextVisible(N)) ++Rows;
        benchmark::DoNotOptimize(Rows);
    }
}
BENCHMARK(BM_NodeTopAndPage)->Arg(1000000)->Unit(benchmark::kNanosecond);

uint64_t& KeyOf(TQvTreeNodes& T, PQvNode N) { return *static_cast<uint64_t*>(T.NodeData(N)); }

// New nodes with random keys placed one by one into a sorted list of a million.
void BM_PlaceSorted(benchmark::State& S) {
    THost H;
    TQvTreeNodes T(&H);
    BuildFlat(T, 1000000);
    std::mt19937_64 Rng(2);
    std::vector<PQvNode> Order;
    for (PQvNode N = T.GetFirst(); N != nullptr; N = N->NextSibling) {
        KeyOf(T, N) = Rng();
        Order.push_back(N);
    }
    std::sort(Order.begin(), Order.end(), [&](PQvNode A, PQvNode B) { return KeyOf(T, A) < KeyOf(T, B); });
    T.ReorderChildren(nullptr, Order);
    const TQvNodeCompare Compare = [&](PQvNode A, PQvNode B) {
        const uint64_t KA = KeyOf(T, A), KB = KeyOf(T, B);
        return KA < KB ? -1 : KA > KB ? 1 : 0;
    };
    for (auto _ : S) {
        KeyOf(T, T.AddChild(nullptr)) = Rng();
        QvPlaceLastChild(T, nullptr, Compare);
    }
}
BENCHMARK(BM_PlaceSorted)->Iterations(200)->Unit(benchmark::kMicrosecond);

void BM_SortMillion(benchmark::State& S) {
    THost H;
    TQvTreeNodes T(&H);
    BuildFlat(T, 1000000);
    std::mt19937 Rng(3);
    std::vector<uint32_t> Key(1000000);
    for (auto& K : Key) K = Rng();
    const TQvNodeCompare Compare = [&](PQvNode A, PQvNode B) {
        const uint32_t KA = Key[A->Index], KB = Key[B->Index];
        return KA < KB ? -1 : KA > KB ? 1 : 0;
    };
    for (auto _ : S) {
        S.PauseTiming();
        std::vector<PQvNode> Order;
        for (PQvNode N = T.GetFirst(); N != nullptr; N = N->NextSibling) Order.push_back(N);
        std::shuffle(Order.begin(), Order.end(), Rng);
        T.ReorderChildren(nullptr, Order);
        S.ResumeTiming();
        QvSortChildren(T, nullptr, Compare);
    }
}
BENCHMARK(BM_SortMillion)->Unit(benchmark::kMillisecond);

void BM_ClearWithFreeNotices(benchmark::State& S) {
    for (auto _ : S) {
        S.PauseTiming();
        THost H;
        H.Notify = true;
        TQvTreeNodes T(&H);
        BuildFlat(T, 1000000);
        for (PQvNode N = T.GetFirst(); N != nullptr; N = N->NextSibling) N->States.Include(vsOnFreeNodeCallRequired);
        S.ResumeTiming();
        T.Clear();
        benchmark::DoNotOptimize(H.Freed);
    }
}
BENCHMARK(BM_ClearWithFreeNotices)->Unit(benchmark::kMillisecond);

// An 800 x 600 grid (30 rows of 20 pixels, 5 columns of 160) scrolled to the middle of
// its rows (the second argument, 100,000 by default) with texts, grid lines, tree lines
// and a full-row selection in view; one full paint of the rows into a bitmap per
// iteration. A first argument of 1 cuts every text with "...".
void BM_PaintGrid(benchmark::State& S) {
    QvInstallHeadless();
    {
        TBenchRoot Host(820, 620);
        Host.Show();
        auto* T = new TQvStringTree(&Host);
        T->SetBorderStyle(bsNone);
        T->SetBounds(0, 0, 800, 600);
        T->SetDefaultNodeHeight(20);
        T->SetColor(clWhite);
        T->SetParent(&Host);
        TQvTreeOptions* O = T->TreeOptions();
        O->SetPaintOptions(O->PaintOptions().Include(toShowHorzGridLines).Include(toShowVertGridLines));
        O->SetSelectionOptions(O->SelectionOptions().Include(toFullRowSelect));
        for (int C = 0; C < 5; ++C) T->Header()->Columns()->Add()->SetWidth(160);
        const std::vector<String> Texts{u"Order 1042", u"Shipped to the north warehouse", u"2026-12-10",
                                        u"1,250.00", u"\u5df2\u5b8c\u6210"};
        const String Long = u"A rather long description that never fits its column at all";
        const bool Cut = S.range(0) != 0;
        T->OnGetText = [&](TObject*, PQvNode, int Column, TQvTextType, String& Text) {
            Text = Cut ? Long : Texts[static_cast<size_t>(Column)];
        };
        T->BeginUpdate();
        const int Rows = static_cast<int>(S.range(1));
        for (int I = 0; I < Rows; ++I) T->AddChild(nullptr);
        T->EndUpdate();
        T->SetOffsetY(-(Rows / 2 * 20));
        PQvNode Middle = T->GetNodeAt(0, 300);
        T->SetFocusedNode(Middle);
        T->SetSelected(Middle, true);
        TBitmap B(800, 600);
        for (auto _ : S) T->PaintTree(B.Canvas(), Rect(0, 0, 800, 600), TPoint{0, 0});
    }
    QvResetWindowSystem();
}
BENCHMARK(BM_PaintGrid)
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Args({0, 1000})
    ->Args({0, 1000000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
