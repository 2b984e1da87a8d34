#include "treeview/uQvTreeNodes.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <vector>

namespace {
// Parents with at least this many children get a position index.
constexpr uint32_t IndexThreshold = 32;
// Every node counts in 32 bits; one less than the most keeps the root's count in range.
constexpr size_t MaxNodes = std::numeric_limits<uint32_t>::max() - 1;
// Large enough for any record plus data, small enough that the size stays an int.
constexpr int MaxNodeDataSize = 1 << 24;

bool IsVisibleNode(const TQvNode* N) { return N->States.Contains(vsVisible); }
bool IsExpandedNode(const TQvNode* N) { return N->States.Contains(vsExpanded); }
}  // namespace

TQvTreeNodes::TQvTreeNodes(IQvTreeNodesHost* Host) : FHost(Host) {
    FRoot.States = {vsInitialized, vsExpanded, vsHasChildren, vsVisible};
    FRoot.TotalCount = 1;
    FRoot.Align = 50;
}

TQvTreeNodes::~TQvTreeNodes() {
    if (FPool.ReleaseAll()) return;
    // Children before parents, without events, as FreeChain walks.
    PQvNode N = FRoot.FirstChild;
    if (N == nullptr) return;
    while (N->FirstChild != nullptr) N = N->FirstChild;
    while (N != nullptr) {
        PQvNode Next;
        if (N->NextSibling != nullptr) {
            Next = N->NextSibling;
            while (Next->FirstChild != nullptr) Next = Next->FirstChild;
        } else {
            Next = N->Parent == &FRoot ? nullptr : N->Parent;
        }
        FPool.Release(N);
        N = Next;
    }
}

// ---- Settings -------------------------------------------------------------------------

void TQvTreeNodes::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    Value = std::min(Value, MaxNodeDataSize);
    if (FRoot.FirstChild != nullptr) throw EQvError("The node data size cannot change while the tree holds nodes.");
    FNodeDataSize = Value;
    if (Value >= 0) FPool.Reset(sizeof(TQvNode) + static_cast<size_t>(Value));
}

void TQvTreeNodes::SetDefaultNodeHeight(int Value) { FDefaultNodeHeight = std::clamp(Value, 0, 65535); }

// ---- Structure ------------------------------------------------------------------------

void TQvTreeNodes::CheckNotIterating() const {
    if (FIterating > 0) throw EQvError("Deleting nodes during tree iteration leads to invalid pointers.");
}

PQvNode TQvTreeNodes::MakeNode() {
    if (FNodeDataSize < 0) {
        int Size = FHost->NodeDataSizeNeeded(static_cast<int>(sizeof(void*)));
        // The handler may have made nodes itself; the size is settled then.
        if (FNodeDataSize < 0) SetNodeDataSize(std::max(Size, 0));
    }
    if (FPool.LiveCount() >= MaxNodes) throw EQvError("The tree cannot hold more nodes.");
    auto* N = static_cast<PQvNode>(FPool.Allocate());
    N->NodeHeight = static_cast<uint16_t>(FDefaultNodeHeight);
    N->States = {vsVisible};
    N->Align = 50;
    N->TotalCount = 1;
    N->TotalHeight = N->NodeHeight;
    return N;
}

PQvNode TQvTreeNodes::InsertNode(PQvNode Node, TQvAttachMode Mode) {
    if (Node == nullptr) Node = &FRoot;
    switch (Mode) {
        case amInsertBefore:
        case amInsertAfter:
            if (Node == &FRoot) return nullptr;
            break;
        case amAddChildFirst:
        case amAddChildLast:
            break;
        default:
            return nullptr;
    }
    PQvNode N = MakeNode();
    Link(N, Node, Mode);
    return N;
}

void TQvTreeNodes::Link(PQvNode N, PQvNode Target, TQvAttachMode Mode) {
    PQvNode P = (Mode == amInsertBefore || Mode == amInsertAfter) ? Target->Parent : Target;
    PQvNode Before = nullptr;  // the sibling N goes in front of (nullptr: at the end)
    switch (Mode) {
        case amInsertBefore: Before = Target; break;
        case amInsertAfter: Before = Target->NextSibling; break;
        case amAddChildFirst: Before = P->FirstChild; break;
        default: break;
    }
    N->Parent = P;
    N->NextSibling = Before;
    N->PrevSibling = Before != nullptr ? Before->PrevSibling : P->LastChild;
    if (N->PrevSibling != nullptr)
        N->PrevSibling->NextSibling = N;
    else
        P->FirstChild = N;
    if (Before != nullptr)
        Before->PrevSibling = N;
    else
        P->LastChild = N;
    N->Index = N->PrevSibling != nullptr ? N->PrevSibling->Index + 1 : 0;
    for (PQvNode S = Before; S != nullptr; S = S->NextSibling) ++S->Index;
    ++P->ChildCount;
    P->States.Include(vsHasChildren);
    P->SortStamp = 0;

    if (P->TreeFlags & tfIndexed) {
        if (Before == nullptr)
            Index(P)->Append(N, 0);
        else
            DropIndex(P);
    }
    if (FDefer > 0) {
        MarkStale(P);
        return;
    }
    CountChanged(P, N->TotalCount);
    ContributionChanged(N, TQvChildIndex::Contribution(N));
}

void TQvTreeNodes::Unlink(PQvNode N, bool ReIndex) {
    PQvNode P = N->Parent;
    if (N->PrevSibling != nullptr)
        N->PrevSibling->NextSibling = N->NextSibling;
    else
        P->FirstChild = N->NextSibling;
    if (N->NextSibling != nullptr)
        N->NextSibling->PrevSibling = N->PrevSibling;
    else
        P->LastChild = N->PrevSibling;
    if (ReIndex)
        for (PQvNode S = N->NextSibling; S != nullptr; S = S->NextSibling) --S->Index;
    --P->ChildCount;
    if (P->ChildCount == 0 && P != &FRoot) P->States.Exclude(vsHasChildren);
    DropIndex(P);
    if (FDefer > 0) {
        MarkStale(P);
    } else {
        CountChanged(P, -static_cast<int64_t>(N->TotalCount));
        ChildSumChanged(P, -TQvChildIndex::Contribution(N));
    }
    N->Parent = N->PrevSibling = N->NextSibling = nullptr;
}

void TQvTreeNodes::DeleteNode(PQvNode Node, bool ReIndex) {
    if (Node == nullptr || Node == &FRoot || Node->States.Contains(vsDeleting)) return;
    CheckNotIterating();
    Node->States.Include(vsDeleting);
    Unlink(Node, ReIndex);
    FHost->SubtreeDetached(Node);
    FreeChain(Node);
}

void TQvTreeNodes::DeleteChildren(PQvNode Node) {
    if (Node == nullptr) Node = &FRoot;
    if (Node->States.Contains(vsDeleting) || Node->FirstChild == nullptr) return;
    CheckNotIterating();
    // The children leave together: one correction of the totals, one walk.
    PQvNode First = Node->FirstChild;
    const int64_t Count = static_cast<int64_t>(Node->TotalCount) - 1;
    const int64_t Height = ChildSum(Node);
    Node->FirstChild = Node->LastChild = nullptr;
    Node->ChildCount = 0;
    if (Node != &FRoot) Node->States.Exclude(vsHasChildren);
    DropIndex(Node);
    if (FDefer > 0 || (Node->TreeFlags & tfStale)) {
        MarkStale(Node);
    } else {
        CountChanged(Node, -Count);
        ChildSumChanged(Node, -Height);
    }
    for (PQvNode C = First; C != nullptr; C = C->NextSibling) {
        C->States.Include(vsDeleting);
        FHost->SubtreeDetached(C);
    }
    if (Node == &FRoot && !FHost->WantsFreeNode() && FPool.ReleaseAll()) {
        FIndexes.clear();
        FRoot.TreeFlags = 0;
        FRoot.TotalCount = 1;
        FRoot.TotalHeight = 0;
        FHost->AllNodesGone();
        return;
    }
    FreeChain(First);
}

void TQvTreeNodes::FreeChain(PQvNode First) {
    // Post-order without recursion: from the leftmost leaf, a node's next is the leftmost
    // leaf of its next sibling, or its parent after its last child. Each freed node is
    // unlinked first, so a handler looking at its parent finds no freed children.
    PQvNode Top = First->Parent;  // the chain's parent (nullptr for one detached subtree)
    PQvNode N = First;
    while (N->FirstChild != nullptr) N = N->FirstChild;
    std::exception_ptr Error;
    BeginIteration();
    while (N != nullptr) {
        PQvNode Next;
        if (N->NextSibling != nullptr) {
            Next = N->NextSibling;
            while (Next->FirstChild != nullptr) Next = Next->FirstChild;
        } else {
            Next = N->Parent == Top ? nullptr : N->Parent;
        }
        if (N->TreeFlags & tfIndexed) DropIndex(N);
        if (!Error && (N->States.Contains(vsInitialized) || N->States.Contains(vsOnFreeNodeCallRequired))) {
            try {
                FHost->FreeNode(N);
            } catch (...) {
                // The rest goes without events; the caller hears of the failure.
                Error = std::current_exception();
            }
        }
        if (PQvNode P = N->Parent; P != nullptr && P != Top) {
            P->FirstChild = N->NextSibling;
            if (P->FirstChild == nullptr) P->LastChild = nullptr;
            --P->ChildCount;
        }
        if (N->NextSibling != nullptr) N->NextSibling->PrevSibling = nullptr;
        FHost->NodeGone(N);
        FPool.Release(N);
        N = Next;
    }
    EndIteration();
    if (Error) std::rethrow_exception(Error);
}

void TQvTreeNodes::ReorderChildren(PQvNode Parent, const std::vector<PQvNode>& Order) {
    if (Parent == nullptr) Parent = &FRoot;
    PQvNode Prev = nullptr;
    uint32_t Index = 0;
    for (PQvNode N : Order) {
        N->PrevSibling = Prev;
        N->Index = Index++;
        if (Prev != nullptr)
            Prev->NextSibling = N;
        else
            Parent->FirstChild = N;
        Prev = N;
    }
    if (Prev != nullptr) Prev->NextSibling = nullptr;
    Parent->LastChild = Prev;
    DropIndex(Parent);
}

void TQvTreeNodes::MoveBefore(PQvNode Node, PQvNode Before) {
    if (Node == nullptr || Node == Before || Node->NextSibling == Before) return;
    PQvNode P = Node->Parent;
    // Unlink, then link in front of Before; only the span between the two places renumbers.
    if (Node->PrevSibling != nullptr)
        Node->PrevSibling->NextSibling = Node->NextSibling;
    else
        P->FirstChild = Node->NextSibling;
    if (Node->NextSibling != nullptr)
        Node->NextSibling->PrevSibling = Node->PrevSibling;
    else
        P->LastChild = Node->PrevSibling;
    Node->NextSibling = Before;
    Node->PrevSibling = Before != nullptr ? Before->PrevSibling : P->LastChild;
    if (Node->PrevSibling != nullptr)
        Node->PrevSibling->NextSibling = Node;
    else
        P->FirstChild = Node;
    if (Before != nullptr)
        Before->PrevSibling = Node;
    else
        P->LastChild = Node;
    uint32_t Index = Node->PrevSibling != nullptr ? Node->PrevSibling->Index + 1 : 0;
    for (PQvNode S = Node; S != nullptr; S = S->NextSibling) S->Index = Index++;
    DropIndex(P);
}

PQvNode TQvTreeNodes::ChildAt(PQvNode Parent, uint32_t Index) {
    if (Parent == nullptr) Parent = &FRoot;
    if (Index >= Parent->ChildCount) return nullptr;
    if (TQvChildIndex* I = this->Index(Parent)) return I->Child(Index);
    PQvNode N = Parent->FirstChild;
    for (uint32_t K = 0; K < Index && N != nullptr; ++K) N = N->NextSibling;
    return N;
}

void* TQvTreeNodes::NodeData(const TQvNode* Node) const {
    if (Node == nullptr || Node == &FRoot || FNodeDataSize <= 0) return nullptr;
    return reinterpret_cast<std::byte*>(const_cast<TQvNode*>(Node)) + sizeof(TQvNode);
}

// ---- Iteration ------------------------------------------------------------------------

PQvNode TQvTreeNodes::GetLast() const {
    PQvNode N = FRoot.LastChild;
    while (N != nullptr && N->LastChild != nullptr) N = N->LastChild;
    return N;
}

PQvNode TQvTreeNodes::GetNext(PQvNode Node) const {
    if (Node == nullptr) return nullptr;
    if (Node->FirstChild != nullptr) return Node->FirstChild;
    return GetNextNoChild(Node);
}

PQvNode TQvTreeNodes::GetNextNoChild(PQvNode Node) const {
    for (PQvNode N = Node; N != nullptr && N != &FRoot; N = N->Parent)
        if (N->NextSibling != nullptr) return N->NextSibling;
    return nullptr;
}

PQvNode TQvTreeNodes::GetPrevious(PQvNode Node) const {
    if (Node == nullptr || Node == &FRoot) return nullptr;
    if (Node->PrevSibling == nullptr) return Node->Parent == &FRoot ? nullptr : Node->Parent;
    PQvNode N = Node->PrevSibling;
    while (N->LastChild != nullptr) N = N->LastChild;
    return N;
}

int TQvTreeNodes::GetNodeLevel(const TQvNode* Node) const {
    int Level = 0;
    if (Node == nullptr || Node == &FRoot) return 0;
    for (const TQvNode* P = Node->Parent; P != nullptr && P != &FRoot; P = P->Parent) ++Level;
    return Level;
}

bool TQvTreeNodes::IsAncestor(const TQvNode* Ancestor, const TQvNode* Node) const {
    if (Ancestor == nullptr || Node == nullptr) return false;
    for (const TQvNode* P = Node->Parent; P != nullptr; P = P->Parent)
        if (P == Ancestor) return true;
    return false;
}

bool TQvTreeNodes::IsRow(const TQvNode* Node) const {
    if (Node == nullptr || Node == &FRoot || Node->Parent == nullptr) return false;
    for (const TQvNode* N = Node; N != &FRoot; N = N->Parent) {
        if (N == nullptr || !IsVisibleNode(N)) return false;
        if (N->Parent != &FRoot && N->Parent != nullptr && !IsExpandedNode(N->Parent)) return false;
    }
    return true;
}

PQvNode TQvTreeNodes::GetFirstVisible() const {
    for (PQvNode N = FRoot.FirstChild; N != nullptr; N = N->NextSibling)
        if (IsVisibleNode(N)) return N;
    return nullptr;
}

PQvNode TQvTreeNodes::GetLastVisible() const {
    PQvNode N = GetLastVisibleChild(const_cast<PQvNode>(&FRoot));
    return N != nullptr ? GetLastVisibleDescendant(N) : nullptr;
}

PQvNode TQvTreeNodes::GetLastVisibleDescendant(PQvNode Node) const {
    PQvNode N = Node;
    while (N != nullptr && IsExpandedNode(N)) {
        PQvNode C = GetLastVisibleChild(N);
        if (C == nullptr) break;
        N = C;
    }
    return N;
}

PQvNode TQvTreeNodes::FirstVisibleAlong(PQvNode From, PQvNode TQvNode::*Link) const {
    for (PQvNode N = From; N != nullptr; N = N->*Link)
        if (IsVisibleNode(N)) return N;
    return nullptr;
}

PQvNode TQvTreeNodes::GetNextVisibleSibling(PQvNode Node) const {
    return Node != nullptr ? FirstVisibleAlong(Node->NextSibling, &TQvNode::NextSibling) : nullptr;
}

PQvNode TQvTreeNodes::GetPreviousVisibleSibling(PQvNode Node) const {
    return Node != nullptr ? FirstVisibleAlong(Node->PrevSibling, &TQvNode::PrevSibling) : nullptr;
}

PQvNode TQvTreeNodes::GetFirstVisibleChild(PQvNode Node) const {
    return Node != nullptr ? FirstVisibleAlong(Node->FirstChild, &TQvNode::NextSibling) : nullptr;
}

PQvNode TQvTreeNodes::GetLastVisibleChild(PQvNode Node) const {
    return Node != nullptr ? FirstVisibleAlong(Node->LastChild, &TQvNode::PrevSibling) : nullptr;
}

namespace {
// For a node that is no row: the highest node on its path from the root that is no row
// either. That one is hidden (the rows go on beside it) or lies in a collapsed row (the
// rows go on after that row, which comes just before the node).
struct TBreak {
    PQvNode From;    // where the search for the next row climbs from
    bool InsideRow;  // From is the collapsed row that holds the node
};
TBreak FindBreak(PQvNode Node, const TQvNode* Root) {
    TBreak B{Node, false};
    for (PQvNode N = Node; N != nullptr && N != Root; N = N->Parent) {
        if (!IsVisibleNode(N)) B = {N, false};
        if (N->Parent != Root && N->Parent != nullptr && !IsExpandedNode(N->Parent)) B = {N->Parent, true};
    }
    return B;
}
}  // namespace

PQvNode TQvTreeNodes::GetNextVisible(PQvNode Node) const {
    if (Node == nullptr || Node == &FRoot) return nullptr;
    PQvNode From = Node;
    if (IsRow(Node)) {
        if (IsExpandedNode(Node))
            if (PQvNode C = GetFirstVisibleChild(Node)) return C;
    } else {
        From = FindBreak(Node, &FRoot).From;
    }
    for (PQvNode N = From; N != nullptr && N != &FRoot; N = N->Parent)
        if (PQvNode S = GetNextVisibleSibling(N)) return S;
    return nullptr;
}

PQvNode TQvTreeNodes::GetPreviousVisible(PQvNode Node) const {
    if (Node == nullptr || Node == &FRoot) return nullptr;
    if (!IsRow(Node)) {
        const TBreak B = FindBreak(Node, &FRoot);
        if (B.InsideRow) return B.From;
        Node = B.From;
    }
    if (PQvNode S = GetPreviousVisibleSibling(Node)) return GetLastVisibleDescendant(S);
    PQvNode P = Node->Parent;
    return P == &FRoot ? nullptr : P;
}

// ---- State ----------------------------------------------------------------------------

void TQvTreeNodes::SetExpanded(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == &FRoot || IsExpandedNode(Node) == Value) return;
    if (Value)
        Node->States.Include(vsExpanded);
    else
        Node->States.Exclude(vsExpanded);
    if (FDefer > 0 || (Node->TreeFlags & tfStale)) {
        MarkStale(Node);
        return;
    }
    int64_t Delta;
    if (Value) {
        Delta = ChildSum(Node);
        Node->TotalHeight += static_cast<uint64_t>(Delta);
    } else {
        Delta = -static_cast<int64_t>(Node->TotalHeight - Node->NodeHeight);
        Node->TotalHeight = Node->NodeHeight;
    }
    if (IsVisibleNode(Node)) ContributionChanged(Node, Delta);
}

void TQvTreeNodes::SetVisible(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == &FRoot || IsVisibleNode(Node) == Value) return;
    if (Value)
        Node->States.Include(vsVisible);
    else
        Node->States.Exclude(vsVisible);
    if (FDefer > 0 || (Node->TreeFlags & tfStale)) {
        MarkStale(Node->Parent);
        return;
    }
    const int64_t H = static_cast<int64_t>(Node->TotalHeight);
    ContributionChanged(Node, Value ? H : -H);
}

void TQvTreeNodes::SetNodeHeight(PQvNode Node, int Value) {
    if (Node == nullptr || Node == &FRoot) return;
    Value = std::clamp(Value, 0, 65535);
    if (Node->NodeHeight == Value) return;
    const int64_t Delta = Value - static_cast<int64_t>(Node->NodeHeight);
    Node->NodeHeight = static_cast<uint16_t>(Value);
    if (FDefer > 0 || (Node->TreeFlags & tfStale)) {
        MarkStale(Node);
        return;
    }
    Node->TotalHeight = static_cast<uint64_t>(static_cast<int64_t>(Node->TotalHeight) + Delta);
    if (IsVisibleNode(Node)) ContributionChanged(Node, Delta);
}

void TQvTreeNodes::SetHasChildren(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == &FRoot) return;
    if (Value)
        Node->States.Include(vsHasChildren);
    else if (Node->ChildCount == 0)
        Node->States.Exclude(vsHasChildren);
}

// ---- Totals ---------------------------------------------------------------------------

void TQvTreeNodes::CountChanged(PQvNode From, int64_t Delta) {
    for (PQvNode A = From; A != nullptr; A = A->Parent)
        A->TotalCount = static_cast<uint32_t>(static_cast<int64_t>(A->TotalCount) + Delta);
}

void TQvTreeNodes::ContributionChanged(PQvNode Child, int64_t Delta) {
    for (PQvNode C = Child; Delta != 0;) {
        PQvNode P = C->Parent;
        if (P == nullptr) return;
        if (P->TreeFlags & tfIndexed) Index(P)->Add(C->Index, Delta);
        if (!IsExpandedNode(P)) return;
        P->TotalHeight = static_cast<uint64_t>(static_cast<int64_t>(P->TotalHeight) + Delta);
        if (!IsVisibleNode(P)) return;
        C = P;
    }
}

void TQvTreeNodes::ChildSumChanged(PQvNode Parent, int64_t Delta) {
    if (Delta == 0 || !IsExpandedNode(Parent)) return;
    Parent->TotalHeight = static_cast<uint64_t>(static_cast<int64_t>(Parent->TotalHeight) + Delta);
    if (IsVisibleNode(Parent)) ContributionChanged(Parent, Delta);
}

void TQvTreeNodes::MarkStale(PQvNode Node) {
    for (PQvNode A = Node; A != nullptr && !(A->TreeFlags & tfStale); A = A->Parent) {
        A->TreeFlags |= tfStale;
        DropIndex(A);
    }
}

void TQvTreeNodes::EndDefer() {
    if (FDefer > 0 && --FDefer == 0) ValidateTotals();
}

void TQvTreeNodes::ValidateTotals() {
    if (!(FRoot.TreeFlags & tfStale)) return;
    // Stale nodes form a tree hanging from the root; recount them children first.
    std::vector<PQvNode> Order;
    std::vector<PQvNode> Stack{&FRoot};
    while (!Stack.empty()) {
        PQvNode N = Stack.back();
        Stack.pop_back();
        Order.push_back(N);
        for (PQvNode C = N->FirstChild; C != nullptr; C = C->NextSibling)
            if (C->TreeFlags & tfStale) Stack.push_back(C);
    }
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
        PQvNode N = *It;
        uint64_t Count = 1;
        int64_t Height = 0;
        for (PQvNode C = N->FirstChild; C != nullptr; C = C->NextSibling) {
            Count += C->TotalCount;
            Height += TQvChildIndex::Contribution(C);
        }
        N->TotalCount = static_cast<uint32_t>(Count);
        N->TotalHeight = N->NodeHeight + static_cast<uint64_t>(IsExpandedNode(N) ? Height : 0);
        N->TreeFlags &= static_cast<uint8_t>(~tfStale);
    }
}

int64_t TQvTreeNodes::ChildSum(PQvNode Parent) {
    if (Parent->TreeFlags & tfStale) ValidateTotals();
    if (TQvChildIndex* I = Index(Parent)) return I->Prefix(I->Count());
    int64_t Sum = 0;
    for (PQvNode C = Parent->FirstChild; C != nullptr; C = C->NextSibling) Sum += TQvChildIndex::Contribution(C);
    return Sum;
}

TQvChildIndex* TQvTreeNodes::Index(PQvNode Parent) {
    if (Parent->TreeFlags & tfIndexed) return FIndexes.find(Parent)->second.get();
    if (Parent->ChildCount < IndexThreshold || (Parent->TreeFlags & tfStale)) return nullptr;
    auto& Slot = FIndexes[Parent];
    Slot = std::make_unique<TQvChildIndex>(Parent);
    Parent->TreeFlags |= tfIndexed;
    return Slot.get();
}

void TQvTreeNodes::DropIndex(PQvNode Parent) {
    if (!(Parent->TreeFlags & tfIndexed)) return;
    FIndexes.erase(Parent);
    Parent->TreeFlags &= static_cast<uint8_t>(~tfIndexed);
}

int64_t TQvTreeNodes::HeightBefore(PQvNode Child) {
    PQvNode P = Child->Parent;
    if (TQvChildIndex* I = Index(P)) return I->Prefix(Child->Index);
    int64_t Sum = 0;
    for (PQvNode S = Child->PrevSibling; S != nullptr; S = S->PrevSibling) Sum += TQvChildIndex::Contribution(S);
    return Sum;
}

int64_t TQvTreeNodes::ContentHeight() {
    ValidateTotals();
    return static_cast<int64_t>(FRoot.TotalHeight);
}

int64_t TQvTreeNodes::NodeTop(PQvNode Node) {
    if (!IsRow(Node)) return -1;
    ValidateTotals();
    int64_t Y = 0;
    for (PQvNode C = Node; C != &FRoot; C = C->Parent) {
        Y += HeightBefore(C);
        if (C->Parent != &FRoot) Y += C->Parent->NodeHeight;
    }
    return Y;
}

PQvNode TQvTreeNodes::NodeAt(int64_t Y, int64_t* RowTop) {
    ValidateTotals();
    if (Y < 0) Y = 0;
    if (Y >= static_cast<int64_t>(FRoot.TotalHeight)) return nullptr;
    PQvNode P = &FRoot;
    int64_t Rel = Y;  // y relative to the top of P's children
    for (;;) {
        PQvNode C = nullptr;
        if (TQvChildIndex* I = Index(P)) {
            int64_t Before;
            const uint32_t At = I->Find(Rel, Before);
            if (At >= I->Count()) return nullptr;
            C = I->Child(At);
            Rel -= Before;
        } else {
            for (C = P->FirstChild; C != nullptr; C = C->NextSibling) {
                const int64_t H = TQvChildIndex::Contribution(C);
                if (Rel < H) break;
                Rel -= H;
            }
            if (C == nullptr) return nullptr;
        }
        if (Rel < C->NodeHeight) {
            if (RowTop != nullptr) *RowTop = Y - Rel;
            return C;
        }
        Rel -= C->NodeHeight;
        P = C;
    }
}

uint32_t TQvTreeNodes::VisibleCount() const {
    uint32_t Count = 0;
    for (PQvNode N = GetFirstVisible(); N != nullptr; N = GetNextVisible(N)) ++Count;
    return Count;
}
