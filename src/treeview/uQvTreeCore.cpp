#include "treeview/uQvTreeCore.h"

#include <algorithm>
#include <cstring>

#include "treeview/uQvTreeSort.h"

// ---- Node references ------------------------------------------------------------------

TQvNodeRef::TQvNodeRef(TQvTreeCore* Tree, PQvNode Node)
    : FTree(Tree), FAlive(Tree->AliveCheck()), FNode(Node), FNext(Tree->FRefs) {
    Tree->FRefs = this;
}

TQvNodeRef::~TQvNodeRef() {
    if (!FAlive.Alive()) return;
    for (TQvNodeRef** P = &FTree->FRefs; *P != nullptr; P = &(*P)->FNext)
        if (*P == this) {
            *P = FNext;
            return;
        }
}

// ---- Life -----------------------------------------------------------------------------

TQvTreeCore::TQvTreeCore(TComponent* AOwner)
    : TCustomControl(AOwner),
      FNodes(this),
      FOptions(std::make_unique<TQvTreeOptions>()),
      FColors(std::make_unique<TQvTreeColors>()),
      FScrollBarOptions(std::make_unique<TQvScrollBarOptions>()) {
    FOptions->OnChange = [this](TObject*) { OptionsChanged(); };
    FColors->OnChange = [this](TObject*) { Invalidate(); };
}

TQvTreeCore::~TQvTreeCore() { FreeAllNodes(); }

void TQvTreeCore::BeforeDestruction() {
    FreeAllNodes();
    TCustomControl::BeforeDestruction();
}

void TQvTreeCore::FreeAllNodes() {
    // A handler failing while the tree goes away cannot be reported to anyone.
    try {
        FNodes.Clear();
    } catch (...) {
    }
    FSelection.AllGone();
    FFocusedNode = FHotNode = nullptr;
}

// ---- Update bracket -------------------------------------------------------------------

void TQvTreeCore::BeginUpdate() {
    if (FUpdateCount++ == 0) FNodes.BeginDefer();
}

void TQvTreeCore::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount > 0) return;
    FNodes.EndDefer();
    AutoSort();
    StructureChanged();
}

// ---- Nodes ----------------------------------------------------------------------------

int TQvTreeCore::NodeDataSizeNeeded(int Preset) {
    int Size = Preset;
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
    return Size;
}

void TQvTreeCore::CheckUserDataSpace() const {
    if (NodeDataSize() < static_cast<int>(sizeof(void*)))
        throw EQvError("Cannot set initial user data because there is not enough user data space allocated.");
}

PQvNode TQvTreeCore::AddChild(PQvNode Parent, void* UserData) {
    return InsertNode(Parent, amAddChildLast, UserData);
}

PQvNode TQvTreeCore::InsertNode(PQvNode Node, TQvAttachMode Mode, void* UserData) {
    if (FOptions->MiscOptions().Contains(toReadOnly)) return nullptr;
    StructureChanging();
    const bool AsChild = Mode == amAddChildFirst || Mode == amAddChildLast;
    if (AsChild && Node != nullptr && Node != RootNode() && !Node->States.Contains(vsInitialized)) {
        const TQvNodeRef Ref(this, Node);
        InitNode(Node);
        if (Ref.Node() == nullptr) return nullptr;
    }
    if (UserData != nullptr && NodeDataSize() >= 0) CheckUserDataSpace();
    PQvNode Parent = AsChild && Node != nullptr ? Node : AsChild ? RootNode() : nullptr;
    const bool WasSorted = Parent != nullptr && Parent->SortStamp == FSortGeneration;
    PQvNode N = FNodes.InsertNode(Node, Mode);
    if (N == nullptr) return nullptr;
    if (UserData != nullptr) {
        // The size may have been settled only now, by the first node.
        try {
            CheckUserDataSpace();
        } catch (...) {
            FNodes.DeleteNode(N);
            throw;
        }
        std::memcpy(GetNodeData(N), &UserData, sizeof(void*));
    }
    if (Mode == amAddChildLast && !Updating() && FOptions->AutoOptions().Contains(toAutoSort) && FSortColumn >= -1 &&
        CanCompare()) {
        // Siblings known to be in order take the new node by a binary search; others are
        // sorted once, after which they are known to be.
        const TQvNodeRef Ref(this, N);
        const int Sign = FSortDirection == sdDescending ? -1 : 1;
        if (WasSorted)
            QvPlaceLastChild(FNodes, Parent, [&](PQvNode A, PQvNode B) { return Sign * DoCompare(A, B, FSortColumn); });
        else
            SortChildrenOf(Parent, FSortColumn, FSortDirection);
        Parent->SortStamp = FSortGeneration;
        if (Ref.Node() == nullptr) return nullptr;
    }
    StructureChanged();
    return N;
}

void TQvTreeCore::DeleteNode(PQvNode Node, bool ReIndex) {
    if (Node == nullptr || Node == RootNode() || FOptions->MiscOptions().Contains(toReadOnly)) return;
    StructureChanging();
    FNodes.DeleteNode(Node, ReIndex);
    StructureChanged();
}

void TQvTreeCore::DeleteChildren(PQvNode Node) {
    if (FOptions->MiscOptions().Contains(toReadOnly)) return;
    StructureChanging();
    FNodes.DeleteChildren(Node);
    StructureChanged();
}

void TQvTreeCore::Clear() {
    if (FNodes.Iterating()) throw EQvError("Deleting nodes during tree iteration leads to invalid pointers.");
    BeginUpdate();
    try {
        StructureChanging();
        ClearSelection();
        FSelection.SetAnchor(nullptr);
        FFocusedNode = nullptr;
        FHotNode = nullptr;
        FNodes.Clear();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void* TQvTreeCore::GetNodeData(PQvNode Node) {
    if (Node == nullptr || Node == RootNode()) return nullptr;
    if (NodeDataSize() <= 0) throw EQvError("NodeDataSize not initialized.");
    Node->States.Include(vsOnFreeNodeCallRequired);
    return FNodes.NodeData(Node);
}

void TQvTreeCore::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == NodeDataSize()) return;
    const uint32_t Count = RootNodeCount();
    BeginUpdate();
    try {
        if (Count > 0) Clear();
        FNodes.SetNodeDataSize(Value);
        for (uint32_t I = 0; I < Count; ++I) FNodes.AddChild(nullptr);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

PQvNode TQvTreeCore::GetFirstChild(PQvNode Node) const {
    return (Node == nullptr ? FNodes.Root() : Node)->FirstChild;
}

PQvNode TQvTreeCore::GetLastChild(PQvNode Node) const {
    return (Node == nullptr ? FNodes.Root() : Node)->LastChild;
}

PQvNode TQvTreeCore::NodeParent(PQvNode Node) const {
    if (Node == nullptr || Node->Parent == FNodes.Root()) return nullptr;
    return Node->Parent;
}

void TQvTreeCore::InitNode(PQvNode Node) {
    if (Node == nullptr || Node == RootNode() || Node->States.Contains(vsInitialized)) return;
    Node->States.Include(vsInitialized);
    DoInitNode(Node);
}

void TQvTreeCore::DoInitNode(PQvNode Node) {
    if (OnInitNode) OnInitNode(this, Node);
}

void TQvTreeCore::DoFreeNode(PQvNode Node) {
    if (OnFreeNode) OnFreeNode(this, Node);
}

void TQvTreeCore::FreeNode(PQvNode Node) { DoFreeNode(Node); }

void TQvTreeCore::SubtreeDetached(PQvNode Node) { FSelection.SubtreeDetached(Node); }

void TQvTreeCore::NodeGone(PQvNode Node) {
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (FHotNode == Node) FHotNode = nullptr;
    FSelection.NodeGone(Node);
    NodeForgotten(Node);
    for (TQvNodeRef* R = FRefs; R != nullptr; R = R->FNext)
        if (R->FNode == Node) R->FNode = nullptr;
}

void TQvTreeCore::AllNodesGone() {
    FFocusedNode = FHotNode = nullptr;
    FSelection.AllGone();
    NodeForgotten(nullptr);
    for (TQvNodeRef* R = FRefs; R != nullptr; R = R->FNext) R->FNode = nullptr;
}

// ---- Node state -----------------------------------------------------------------------

void TQvTreeCore::SetExpanded(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || Expanded(Node) == Value) return;
    FNodes.SetExpanded(Node, Value);
    StructureChanged();
    if (Value)
        DoExpanded(Node);
    else
        DoCollapsed(Node);
}

void TQvTreeCore::DoExpanded(PQvNode Node) {
    QvRaise(OnExpanded, this, Node);
}

void TQvTreeCore::DoCollapsed(PQvNode Node) {
    QvRaise(OnCollapsed, this, Node);
}

void TQvTreeCore::FullExpand(PQvNode Node) {
    BeginUpdate();
    PQvNode Stop = Node != nullptr ? FNodes.GetNextNoChild(Node) : nullptr;
    std::vector<PQvNode> Opened;
    for (PQvNode N = Node != nullptr ? Node : GetFirst(); N != nullptr && N != Stop; N = GetNext(N))
        if (N->FirstChild != nullptr && !Expanded(N)) {
            FNodes.SetExpanded(N, true);
            Opened.push_back(N);
        }
    EndUpdate();
    if (!OnExpanded) return;
    // Handlers may delete nodes: only those still there are announced.
    std::vector<std::unique_ptr<TQvNodeRef>> Refs;
    Refs.reserve(Opened.size());
    for (PQvNode N : Opened) Refs.push_back(std::make_unique<TQvNodeRef>(this, N));
    const TQvAliveCheck Alive = AliveCheck();
    for (auto& R : Refs) {
        if (!Alive.Alive()) return;
        if (R->Node() != nullptr) DoExpanded(R->Node());
    }
}

void TQvTreeCore::FullCollapse(PQvNode Node) {
    BeginUpdate();
    PQvNode Stop = Node != nullptr ? FNodes.GetNextNoChild(Node) : nullptr;
    for (PQvNode N = Node != nullptr ? Node : GetFirst(); N != nullptr && N != Stop; N = GetNext(N))
        FNodes.SetExpanded(N, false);
    EndUpdate();
}

void TQvTreeCore::SetIsVisible(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || IsVisible(Node) == Value) return;
    FNodes.SetVisible(Node, Value);
    StructureChanged();
}

void TQvTreeCore::SetSelected(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || Selected(Node) == Value) return;
    if (Value) {
        if (!FOptions->SelectionOptions().Contains(toMultiSelect)) ClearSelection();
        FSelection.Add(Node);
    } else {
        FSelection.Remove(Node);
    }
    InvalidateNode(Node);
}

void TQvTreeCore::SetIsDisabled(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || IsDisabled(Node) == Value) return;
    if (Value)
        Node->States.Include(vsDisabled);
    else
        Node->States.Exclude(vsDisabled);
    InvalidateNode(Node);
}

void TQvTreeCore::SetHasChildren(PQvNode Node, bool Value) {
    FNodes.SetHasChildren(Node, Value);
    InvalidateNode(Node);
}

void TQvTreeCore::SetNodeHeight(PQvNode Node, int Value) {
    if (Node == nullptr || Node == RootNode() || Node->NodeHeight == std::clamp(Value, 0, 65535)) return;
    FNodes.SetNodeHeight(Node, Value);
    StructureChanged();
}

void TQvTreeCore::SetCheckType(PQvNode Node, TCheckType Value) {
    if (Node == nullptr || Node == RootNode() || Node->CheckType == Value) return;
    Node->CheckType = Value;
    InvalidateNode(Node);
}

void TQvTreeCore::SetCheckState(PQvNode Node, TCheckState Value) {
    if (Node == nullptr || Node == RootNode() || Node->CheckState == Value) return;
    Node->CheckState = Value;
    InvalidateNode(Node);
}

// ---- Sorting --------------------------------------------------------------------------

int TQvTreeCore::DoCompare(PQvNode Node1, PQvNode Node2, int Column) {
    int Result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, Result);
    // Only the sign counts, so that reversing it cannot overflow.
    return (Result > 0) - (Result < 0);
}

void TQvTreeCore::SortChildrenOf(PQvNode Parent, int Column, TQvSortDirection Direction) {
    if (Parent == nullptr) Parent = RootNode();
    const int Sign = Direction == sdDescending ? -1 : 1;
    QvSortChildren(FNodes, Parent, [&](PQvNode A, PQvNode B) { return Sign * DoCompare(A, B, Column); });
    Parent->SortStamp = Column == FSortColumn && Direction == FSortDirection ? FSortGeneration : 0;
}

void TQvTreeCore::Sort(PQvNode Node, int Column, TQvSortDirection Direction) {
    if (Column < -1 || !CanCompare()) return;
    SortChildrenOf(Node, Column, Direction);
    StructureChanged();
}

void TQvTreeCore::SortTree(int Column, TQvSortDirection Direction) {
    if (Column < -1 || TotalCount() < 2 || !CanCompare()) return;
    std::vector<PQvNode> Parents{RootNode()};
    for (PQvNode N = GetFirst(); N != nullptr; N = GetNext(N))
        if (N->ChildCount > 1) Parents.push_back(N);
    for (PQvNode P : Parents) SortChildrenOf(P, Column, Direction);
    StructureChanged();
}

void TQvTreeCore::AutoSort() {
    if (FOptions->AutoOptions().Contains(toAutoSort) && FSortColumn >= -1) SortTree(FSortColumn, FSortDirection);
}

void TQvTreeCore::SetSortColumn(int Value) {
    if (Value < -2) Value = -2;
    if (FSortColumn == Value) return;
    FSortColumn = Value;
    ++FSortGeneration;
    if (!Updating()) AutoSort();
}

void TQvTreeCore::SetSortDirection(TQvSortDirection Value) {
    if (FSortDirection == Value) return;
    FSortDirection = Value;
    ++FSortGeneration;
    if (!Updating()) AutoSort();
}

// ---- Focus, selection, hot node -------------------------------------------------------

bool TQvTreeCore::ChangeFocus(PQvNode Node, int Column) {
    if (Node == RootNode()) Node = nullptr;
    if (Node == FFocusedNode && Column == FFocusedColumn) return true;
    const TQvAliveCheck Alive = AliveCheck();
    if (OnFocusChanging) {
        const TQvNodeRef New(this, Node);
        bool Allowed = true;
        QvRaise(OnFocusChanging, this, FFocusedNode, Node, FFocusedColumn, Column, Allowed);
        if (!Alive.Alive() || !Allowed || (Node != nullptr && New.Node() == nullptr)) return false;
    }
    PQvNode Old = FFocusedNode;
    FFocusedNode = Node;
    FFocusedColumn = Column;
    InvalidateNode(Old);
    InvalidateNode(Node);
    if (Node != nullptr && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
        ScrollIntoView(Node, FOptions->SelectionOptions().Contains(toCenterScrollIntoView));
    QvRaise(OnFocusChanged, this, Node, Column);
    return Alive.Alive();
}

void TQvTreeCore::ClearSelection() {
    const std::vector<PQvNode> Old = FSelection.Clear();
    if (Old.size() > 64) {
        Invalidate();
        return;
    }
    for (PQvNode N : Old) InvalidateNode(N);
}

void TQvTreeCore::SelectAll(bool VisibleOnly) {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect)) return;
    for (PQvNode N = VisibleOnly ? GetFirstVisible() : GetFirst(); N != nullptr;
         N = VisibleOnly ? GetNextVisible(N) : GetNext(N))
        FSelection.Add(N);
    Invalidate();
}

PQvNode TQvTreeCore::GetFirstSelected() const { return FSelection.Empty() ? nullptr : FSelection.Nodes().front(); }

PQvNode TQvTreeCore::GetNextSelected(PQvNode Node) const {
    const auto& S = FSelection.Nodes();
    auto It = std::find(S.begin(), S.end(), Node);
    return It == S.end() || std::next(It) == S.end() ? nullptr : *std::next(It);
}

void TQvTreeCore::SelectRange(PQvNode Node, bool Add) {
    PQvNode Anchor = FSelection.Anchor();
    if (Anchor == nullptr) Anchor = Node;
    const std::vector<PQvNode> Rows = TQvTreeSelection::RowsBetween(FNodes, Anchor, Node);
    if (!Add) ClearSelection();
    for (PQvNode N : Rows)
        if (FSelection.Add(N)) InvalidateNode(N);
    FSelection.SetAnchor(Anchor);
}

void TQvTreeCore::SetHot(PQvNode Node, int Column) {
    if (Node == FHotNode && Column == FHotColumn) return;
    PQvNode Old = FHotNode;
    FHotNode = Node;
    FHotColumn = Column;
    const TQvAliveCheck Alive = AliveCheck();
    const TQvNodeRef OldRef(this, Old), NewRef(this, Node);
    if (OnHotChange) {
        QvRaise(OnHotChange, this, Old, Node);
        if (!Alive.Alive()) return;
    }
    if (FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport)) {
        InvalidateNode(OldRef.Node());
        InvalidateNode(NewRef.Node());
    }
}

bool TQvTreeCore::ScrollIntoView(PQvNode, bool, bool) { return false; }

void TQvTreeCore::OptionsChanged() {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect) && FSelection.Count() > 1) {
        // Keep the focused node's selection, drop the rest.
        const bool Keep = Selected(FFocusedNode);
        ClearSelection();
        if (Keep) FSelection.Add(FFocusedNode);
    }
    Invalidate();
}

void TQvTreeCore::DoChecked(PQvNode Node) {
    QvRaise(OnChecked, this, Node);
}

bool TQvTreeCore::DoChecking(PQvNode Node, TCheckState& NewState) {
    bool Allowed = true;
    QvRaise(OnChecking, this, Node, NewState, Allowed);
    return Allowed;
}
