// The node model: random structure changes with the cached totals and row positions
// checked against a recount, iteration over rows from rows and from hidden nodes, deep
// and wide trees without recursion, free notifications and user data.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "support/qv_error_of.h"
#include "treeview/uQvTreeNodes.h"

namespace {

class TTestHost : public IQvTreeNodesHost {
public:
    int NodeDataSizeNeeded(int Preset) override {
        Presets.push_back(Preset);
        return DataSize < 0 ? Preset : DataSize;
    }
    bool WantsFreeNode() const override { return static_cast<bool>(OnFree); }
    void FreeNode(PQvNode Node) override {
        Freed.push_back(Node);
        if (OnFree) OnFree(Node);
    }
    void SubtreeDetached(PQvNode Node) override { Detached.push_back(Node); }
    void NodeGone(PQvNode) override { ++Gone; }
    void AllNodesGone() override { ++AllGone; }

    int DataSize = -1;
    std::vector<int> Presets;
    std::vector<PQvNode> Freed, Detached;
    std::function<void(PQvNode)> OnFree;
    int Gone = 0, AllGone = 0;
};

bool IsRowByHand(const TQvTreeNodes& T, const TQvNode* N) {
    for (; N != T.Root(); N = N->Parent) {
        if (!N->States.Contains(vsVisible)) return false;
        if (N->Parent != T.Root() && !N->Parent->States.Contains(vsExpanded)) return false;
    }
    return true;
}

// Recounts every node's totals from scratch (no recursion: reverse tree order visits
// children before parents) and checks the cache, the row positions and the lookups.
void ExpectConsistent(TQvTreeNodes& T) {
    std::vector<PQvNode> Order;
    for (PQvNode N = T.GetFirst(); N != nullptr; N = T.GetNext(N)) Order.push_back(N);
    T.ValidateTotals();
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
        PQvNode N = *It;
        uint32_t Count = 1, Children = 0, Index = 0;
        uint64_t Height = 0;
        for (PQvNode C = N->FirstChild; C != nullptr; C = C->NextSibling) {
            ASSERT_EQ(C->Parent, N);
            ASSERT_EQ(C->Index, Index++);
            Count += C->TotalCount;
            ++Children;
            if (C->States.Contains(vsVisible)) Height += C->TotalHeight;
        }
        ASSERT_EQ(N->ChildCount, Children);
        ASSERT_EQ(N->TotalCount, Count);
        ASSERT_EQ(N->TotalHeight, N->NodeHeight + (N->States.Contains(vsExpanded) ? Height : 0));
    }
    ASSERT_EQ(T.Count(), Order.size());
    // Rows in tree order stack up without gaps.
    int64_t Y = 0;
    std::vector<PQvNode> Rows;
    for (PQvNode N : Order) {
        if (!IsRowByHand(T, N)) continue;
        Rows.push_back(N);
        ASSERT_EQ(T.NodeTop(N), Y);
        if (N->NodeHeight > 0) {
            int64_t Top = -1;
            ASSERT_EQ(T.NodeAt(Y, &Top), N);
            ASSERT_EQ(Top, Y);
            ASSERT_EQ(T.NodeAt(Y + N->NodeHeight - 1), N);
        }
        Y += N->NodeHeight;
    }
    ASSERT_EQ(T.ContentHeight(), Y);
    ASSERT_EQ(T.NodeAt(Y), nullptr);
    // The row walks agree with the filter, both ways.
    std::vector<PQvNode> Walk;
    for (PQvNode N = T.GetFirstVisible(); N != nullptr; N = T.GetNextVisible(N)) Walk.push_back(N);
    ASSERT_EQ(Walk, Rows);
    Walk.clear();
    for (PQvNode N = T.GetLastVisible(); N != nullptr; N = T.GetPreviousVisible(N)) Walk.insert(Walk.begin(), N);
    ASSERT_EQ(Walk, Rows);
}

TEST(TreeNodes, RandomChangesKeepTotalsAndPositionsEqualToARecount) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    std::mt19937 Rng(12345);
    auto Pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    std::vector<PQvNode> Nodes;
    auto Any = [&]() -> PQvNode { return Nodes.empty() ? nullptr : Nodes[Pick(static_cast<int>(Nodes.size()))]; };
    auto Forget = [&](PQvNode Gone) {
        std::erase_if(Nodes, [&](PQvNode N) { return N == Gone || T.IsAncestor(Gone, N); });
    };
    for (int Round = 0; Round < 60; ++Round) {
        const bool Defer = Round % 3 == 1;
        if (Defer) T.BeginDefer();
        for (int Step = 0; Step < 80; ++Step) {
            PQvNode N = Any();
            switch (Pick(10)) {
                case 0:
                case 1:
                case 2: {
                    // Bursts of siblings under one parent build position indexes; going on
                    // under the last node's parent appends to an index in use.
                    if (Pick(2) == 0 && !Nodes.empty())
                        N = Nodes.back()->Parent == T.Root() ? nullptr : Nodes.back()->Parent;
                    const int Burst = Pick(4) == 0 ? 40 : 1;
                    for (int I = 0; I < Burst; ++I) Nodes.push_back(T.AddChild(N));
                    break;
                }
                case 3:
                    if (N != nullptr) {
                        const TQvAttachMode Modes[] = {amInsertBefore, amInsertAfter, amAddChildFirst};
                        Nodes.push_back(T.InsertNode(N, Modes[Pick(3)]));
                    }
                    break;
                case 4:
                    if (N != nullptr && Pick(3) == 0) {
                        Forget(N);
                        T.DeleteNode(N);
                    }
                    break;
                case 5:
                case 6:
                    T.SetExpanded(N, !N || !N->States.Contains(vsExpanded));
                    break;
                case 7:
                    T.SetVisible(N, Pick(4) != 0);
                    break;
                case 8:
                    T.SetNodeHeight(N, Pick(5) * 7);
                    break;
                default:
                    // Reading positions in the middle of a bracket recounts early.
                    if (N != nullptr) T.NodeTop(N);
                    break;
            }
        }
        if (Defer) T.EndDefer();
        ASSERT_NO_FATAL_FAILURE(ExpectConsistent(T)) << "round " << Round;
        if (Round == 40) {
            PQvNode Top = T.GetFirst();
            Forget(Top);
            T.DeleteChildren(Top);
            Nodes.push_back(Top);
            ASSERT_NO_FATAL_FAILURE(ExpectConsistent(T));
        }
    }
    EXPECT_GT(T.Count(), 200u);
    T.Clear();
    EXPECT_EQ(T.Count(), 0u);
    EXPECT_EQ(T.ContentHeight(), 0);
}

TEST(TreeNodes, ChildIndexAgreesWithPlainSumsWhileChildrenAreAppendedAndResized) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    PQvNode P = T.AddChild(nullptr);
    T.SetExpanded(P, true);
    std::mt19937 Rng(7);
    std::vector<PQvNode> Children;
    auto Check = [&] {
        // Every child's top through the index equals the plain sum of those before it.
        int64_t Y = 18;
        for (PQvNode C : Children) {
            if (C->States.Contains(vsVisible)) {
                ASSERT_EQ(T.NodeTop(C), Y);
                if (C->NodeHeight > 0) {
                    ASSERT_EQ(T.NodeAt(Y + C->NodeHeight - 1), C);
                }
                Y += C->NodeHeight;
            }
        }
        ASSERT_EQ(T.ContentHeight(), Y);
    };
    for (int I = 0; I < 40; ++I) Children.push_back(T.AddChild(P));
    ASSERT_NO_FATAL_FAILURE(Check());  // builds the index
    for (int Step = 0; Step < 300; ++Step) {
        switch (Rng() % 3) {
            case 0: Children.push_back(T.AddChild(P)); break;
            case 1: T.SetNodeHeight(Children[Rng() % Children.size()], static_cast<int>(Rng() % 40)); break;
            default: T.SetVisible(Children[Rng() % Children.size()], Rng() % 3 != 0); break;
        }
        ASSERT_NO_FATAL_FAILURE(Check()) << "step " << Step;
    }
}

TEST(TreeNodes, RowWalksStartFromHiddenAndCollapsedNodes) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    PQvNode A = T.AddChild(nullptr);
    PQvNode A1 = T.AddChild(A);
    PQvNode A11 = T.AddChild(A1);
    PQvNode A2 = T.AddChild(A);
    PQvNode B = T.AddChild(nullptr);
    PQvNode B1 = T.AddChild(B);
    PQvNode C = T.AddChild(nullptr);
    T.SetExpanded(A, true);
    T.SetExpanded(B, true);
    T.SetVisible(B, false);
    // Rows: A, A1, A2, C. A11 sits in the collapsed A1, B1 under the hidden B.
    EXPECT_EQ(T.GetNextVisible(A11), A2);
    EXPECT_EQ(T.GetPreviousVisible(A11), A1);
    EXPECT_EQ(T.GetNextVisible(B1), C);
    EXPECT_EQ(T.GetPreviousVisible(B1), A2);
    EXPECT_EQ(T.GetPreviousVisible(B), A2);
    EXPECT_EQ(T.GetNextVisible(A2), C);
    EXPECT_EQ(T.GetLastVisible(), C);
    EXPECT_EQ(T.VisibleCount(), 4u);
    EXPECT_EQ(T.GetNodeLevel(A11), 2);
    EXPECT_EQ(T.GetNodeLevel(C), 0);
    EXPECT_FALSE(T.IsRow(A11));
    T.SetVisible(C, false);
    EXPECT_EQ(T.GetNextVisible(A2), nullptr);
    EXPECT_EQ(T.GetLastVisible(), A2);
    // The last child gone, the parent has no button any more.
    T.DeleteNode(A11);
    EXPECT_FALSE(A1->States.Contains(vsHasChildren));
    ASSERT_NO_FATAL_FAILURE(ExpectConsistent(T));
}

TEST(TreeNodes, DeepAndWideTreesAreWalkedWithoutRecursion) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    constexpr int Depth = 100000;
    T.BeginDefer();
    PQvNode N = nullptr;
    for (int I = 0; I < Depth; ++I) {
        N = T.AddChild(N);
        T.SetExpanded(N, true);
    }
    T.EndDefer();
    const PQvNode Deepest = N;
    EXPECT_EQ(T.GetFirst()->TotalCount, static_cast<uint32_t>(Depth));
    EXPECT_EQ(T.ContentHeight(), int64_t{Depth} * 18);
    EXPECT_EQ(T.NodeAt(int64_t{Depth} * 18 - 1), Deepest);
    EXPECT_EQ(T.NodeTop(Deepest), int64_t{Depth - 1} * 18);
    EXPECT_EQ(T.GetNodeLevel(Deepest), Depth - 1);
    EXPECT_EQ(T.GetLastVisible(), Deepest);
    EXPECT_EQ(T.GetPreviousVisible(T.GetFirst()), nullptr);
    // Collapsing the top hides the whole chain in one step.
    T.SetExpanded(T.GetFirst(), false);
    EXPECT_EQ(T.ContentHeight(), 18);
    EXPECT_EQ(T.GetNextVisible(Deepest), nullptr);
    EXPECT_EQ(T.GetPreviousVisible(Deepest), T.GetFirst());

    // A flat list of the same size under a second top node, found through the index.
    PQvNode Flat = T.AddChild(nullptr);
    T.SetExpanded(Flat, true);
    T.BeginDefer();
    std::vector<PQvNode> Children;
    for (int I = 0; I < Depth; ++I) Children.push_back(T.AddChild(Flat));
    T.EndDefer();
    T.SetNodeHeight(Children[500], 100);
    EXPECT_EQ(T.NodeAt(18 + 18 + 500 * 18 + 99), Children[500]);
    EXPECT_EQ(T.NodeAt(18 + 18 + 500 * 18 + 100), Children[501]);
    EXPECT_EQ(T.NodeTop(Children[Depth - 1]), 18 + 18 + int64_t{Depth - 1} * 18 + 82);
    T.SetVisible(Children[0], false);
    EXPECT_EQ(T.NodeAt(36), Children[1]);

    // Deleting the chain's top frees the whole chain, children first.
    Host.OnFree = [](PQvNode) {};
    for (PQvNode M = T.GetFirst(); M != nullptr && M != Flat; M = M->FirstChild) M->States.Include(vsInitialized);
    T.DeleteNode(T.GetFirst());
    ASSERT_EQ(Host.Freed.size(), static_cast<size_t>(Depth));
    EXPECT_EQ(Host.Freed.front(), Deepest);
    EXPECT_EQ(T.GetFirst(), Flat);
    EXPECT_EQ(Flat->Index, 0u);
    EXPECT_EQ(T.Count(), static_cast<uint32_t>(Depth + 1));
}

TEST(TreeNodes, FreeNotificationsComeChildrenFirstAndGuardTheWalk) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    PQvNode A = T.AddChild(nullptr);
    PQvNode A1 = T.AddChild(A);
    PQvNode A2 = T.AddChild(A);
    PQvNode B = T.AddChild(nullptr);
    A->States.Include(vsInitialized);
    A2->States.Include(vsOnFreeNodeCallRequired);
    B->States.Include(vsInitialized);
    // A handler sees its node without the children freed before it, and may not delete.
    std::string Error;
    Host.OnFree = [&](PQvNode N) {
        if (N == A) {
            EXPECT_EQ(A->FirstChild, nullptr);
            EXPECT_EQ(A->ChildCount, 0u);
            Error = QvErrorOf([&] { T.DeleteNode(B); });
        }
    };
    T.DeleteNode(A);
    EXPECT_EQ(Error, "Deleting nodes during tree iteration leads to invalid pointers.");
    // Only initialized nodes and nodes whose data was read are announced.
    EXPECT_EQ(Host.Freed, (std::vector<PQvNode>{A2, A}));
    EXPECT_EQ(Host.Detached, std::vector<PQvNode>{A});
    EXPECT_EQ(Host.Gone, 3);
    EXPECT_EQ(T.GetFirst(), B);
    EXPECT_EQ(B->Index, 0u);
    (void)A1;

    // A handler that throws still lets every node go; the caller hears the failure.
    PQvNode C = T.AddChild(B);
    C->States.Include(vsInitialized);
    Host.OnFree = [](PQvNode) { throw EQvError("boom"); };
    EXPECT_EQ(QvErrorOf([&] { T.Clear(); }), "boom");
    EXPECT_EQ(T.Count(), 0u);
    EXPECT_EQ(T.GetFirst(), nullptr);
    EXPECT_EQ(T.ContentHeight(), 0);
}

TEST(TreeNodes, UserDataHoldsAPointerAndStartsZeroed) {
    TTestHost Host;
    TQvTreeNodes T(&Host);
    PQvNode A = T.AddChild(nullptr);
    ASSERT_EQ(Host.Presets, std::vector<int>{static_cast<int>(sizeof(void*))});
    EXPECT_EQ(T.NodeDataSize(), static_cast<int>(sizeof(void*)));
    void* Data = T.NodeData(A);
    ASSERT_NE(Data, nullptr);
    void* Stored = nullptr;
    std::memcpy(&Stored, Data, sizeof(Stored));
    EXPECT_EQ(Stored, nullptr);
    EXPECT_EQ(T.NodeData(T.Root()), nullptr);
    EXPECT_EQ(T.NodeData(nullptr), nullptr);
    EXPECT_FALSE(QvErrorOf([&] { T.SetNodeDataSize(4); }).empty());

    TTestHost Host32;
    Host32.DataSize = 32;
    TQvTreeNodes T32(&Host32);
    for (int I = 0; I < 3; ++I) {
        auto* Bytes = static_cast<unsigned char*>(T32.NodeData(T32.AddChild(nullptr)));
        for (int K = 0; K < 32; ++K) ASSERT_EQ(Bytes[K], 0);
        std::memset(Bytes, 0xAB, 32);
    }
    T32.Clear();
    // Reused memory is zeroed again.
    auto* Bytes = static_cast<unsigned char*>(T32.NodeData(T32.AddChild(nullptr)));
    for (int K = 0; K < 32; ++K) ASSERT_EQ(Bytes[K], 0);
    EXPECT_EQ(Host32.Presets.size(), 1u);
}

}  // namespace
