// Sorting: the stable merge sort with its descending reversal at every level, the automatic
// sort after AddChild (a binary placement, not a sort per node) and at the end of an update
// bracket, and the iteration guard while comparing.

#include <algorithm>
#include <random>

#include "support/qv_error_of.h"
#include "treeview/tree_fixture.h"

namespace {

class TreeSortTest : public TreeTest {
protected:
    TQvBaseTree* NewSortedTree() {
        auto* T = NewTree();
        T->SetNodeDataSize(sizeof(void*));
        T->OnCompareNodes = [this](TObject* Sender, PQvNode A, PQvNode B, int, int& Result) {
            auto* Tree = static_cast<TQvBaseTree*>(Sender);
            ++Comparisons;
            Result = static_cast<int>(*Tree->GetNodeData<intptr_t>(A) - *Tree->GetNodeData<intptr_t>(B));
        };
        return T;
    }
    // The value rides in as the initial user data, so an automatic sort sees it.
    static PQvNode Add(TQvBaseTree* T, PQvNode Parent, int Value, int Tag = 0) {
        PQvNode N = T->AddChild(Parent, reinterpret_cast<void*>(static_cast<intptr_t>(Value)));
        N->Align = static_cast<uint8_t>(Tag);  // marks insertion order for the checks
        return N;
    }
    // (value, tag) of the children of Parent, in order, checking their indexes.
    static std::vector<std::pair<int, int>> Order(TQvBaseTree* T, PQvNode Parent) {
        std::vector<std::pair<int, int>> Out;
        uint32_t I = 0;
        for (PQvNode N = T->GetFirstChild(Parent); N != nullptr; N = N->NextSibling) {
            EXPECT_EQ(N->Index, I++);
            Out.emplace_back(static_cast<int>(*T->GetNodeData<intptr_t>(N)), N->Align);
        }
        EXPECT_EQ(T->GetLastChild(Parent) == nullptr ? 0u : T->GetLastChild(Parent)->Index + 1, I);
        return Out;
    }
    int Comparisons = 0;
};

TEST_F(TreeSortTest, SortsAreStableAndDescendingReversesTheComparison) {
    auto* T = NewSortedTree();
    T->TreeOptions()->SetAutoOptions(T->TreeOptions()->AutoOptions().Exclude(toAutoSort));
    PQvNode P = Add(T, nullptr, 5, 0);
    const int Values[] = {3, 1, 3, 2, 1};
    for (int I = 0; I < 5; ++I) Add(T, P, Values[I], I);
    Add(T, nullptr, 1, 1);
    T->SortTree(0, sdAscending);
    EXPECT_EQ(Order(T, P), (std::vector<std::pair<int, int>>{{1, 1}, {1, 4}, {2, 3}, {3, 0}, {3, 2}}));
    EXPECT_EQ(Order(T, nullptr), (std::vector<std::pair<int, int>>{{1, 1}, {5, 0}}));
    T->Sort(P, 0, sdDescending);
    EXPECT_EQ(Order(T, P), (std::vector<std::pair<int, int>>{{3, 0}, {3, 2}, {2, 3}, {1, 1}, {1, 4}}));
    // No column: nothing moves.
    T->Sort(P, -2, sdAscending);
    EXPECT_EQ(Order(T, P).front(), (std::pair<int, int>{3, 0}));
    // Rows follow the new order.
    T->SetExpanded(P, true);
    EXPECT_EQ(*T->GetNodeData<intptr_t>(T->GetNodeAt(0, 45)), 3);

    // Deleting while the comparison runs is refused.
    T->OnCompareNodes = [&](TObject*, PQvNode A, PQvNode, int, int&) { T->DeleteNode(A); };
    EXPECT_EQ(QvErrorOf([&] { T->SortTree(0, sdAscending); }),
              "Deleting nodes during tree iteration leads to invalid pointers.");
    EXPECT_EQ(T->TotalCount(), 7u);
}

TEST_F(TreeSortTest, AutomaticSortPlacesEachNewNodeWithoutSortingAgain) {
    auto* T = NewSortedTree();  // toAutoSort and sort column -1 by default
    std::mt19937 Rng(99);
    std::vector<std::pair<int, int>> Expected;
    constexpr int Count = 3000;
    for (int I = 0; I < Count; ++I) {
        const int V = static_cast<int>(Rng() % 500);
        Add(T, nullptr, V, I % 200);
        Expected.emplace_back(V, I % 200);
    }
    // The Part's order: the stable sort of the insertion sequence.
    std::stable_sort(Expected.begin(), Expected.end(), [](auto& A, auto& B) { return A.first < B.first; });
    EXPECT_EQ(Order(T, nullptr), Expected);
    // A sort per node would take millions of comparisons; a binary placement about 12 each.
    EXPECT_LT(Comparisons, Count * 16);

    // Equal for the tree's one column: insertion order stays.
    T->Clear();
    T->OnCompareNodes = [](TObject*, PQvNode, PQvNode, int Column, int& Result) {
        EXPECT_EQ(Column, -1);
        Result = 0;
    };
    for (int I = 0; I < 5; ++I) Add(T, nullptr, 4 - I, I);
    EXPECT_EQ(Order(T, nullptr), (std::vector<std::pair<int, int>>{{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}));

    // Inside a bracket the sort waits for its end; a sort column of -2 switches it off.
    T->Clear();
    T->OnCompareNodes = [](TObject* Sender, PQvNode A, PQvNode B, int, int& Result) {
        auto* Tree = static_cast<TQvBaseTree*>(Sender);
        Result = static_cast<int>(*Tree->GetNodeData<intptr_t>(A) - *Tree->GetNodeData<intptr_t>(B));
    };
    T->BeginUpdate();
    for (int I = 0; I < 4; ++I) Add(T, nullptr, 3 - I, I);
    EXPECT_EQ(Order(T, nullptr).front(), (std::pair<int, int>{3, 0}));
    T->EndUpdate();
    EXPECT_EQ(Order(T, nullptr), (std::vector<std::pair<int, int>>{{0, 3}, {1, 2}, {2, 1}, {3, 0}}));
    T->SetSortColumn(-2);
    Add(T, nullptr, -1, 9);
    EXPECT_EQ(Order(T, nullptr).back(), (std::pair<int, int>{-1, 9}));
    T->SetSortColumn(-1);  // sorts again at once
    EXPECT_EQ(Order(T, nullptr).front(), (std::pair<int, int>{-1, 9}));
}

}  // namespace
