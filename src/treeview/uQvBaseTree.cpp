#include "treeview/uQvBaseTree.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/uQvGdiDC.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPaint.h"
#include "treeview/uQvTreeInput.h"

namespace {
int Saturate(int64_t V) { return static_cast<int>(std::clamp<int64_t>(V, INT_MIN, INT_MAX)); }
}  // namespace

// ---- Node references ------------------------------------------------------------------

TQvNodeRef::TQvNodeRef(TQvBaseTree* Tree, PQvNode Node)
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

TQvBaseTree::TQvBaseTree(TComponent* AOwner)
    : TCustomControl(AOwner),
      FNodes(this),
      FInput(std::make_unique<TQvTreeInput>(this)),
      FOptions(std::make_unique<TQvTreeOptions>()),
      FColors(std::make_unique<TQvTreeColors>()),
      FScrollBarOptions(std::make_unique<TQvScrollBarOptions>()) {
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    TControlStyle Style = ControlStyle();
    Style.Include(csOpaque);
    SetControlStyle(Style);
    FOptions->OnChange = [this](TObject*) { OptionsChanged(); };
    FColors->OnChange = [this](TObject*) { Invalidate(); };
    FScrollBarOptions->OnChange = [this](TObject*) { UpdateScrollBars(true); };
}

TQvBaseTree::~TQvBaseTree() { FreeAllNodes(); }

void TQvBaseTree::BeforeDestruction() {
    FreeAllNodes();
    TCustomControl::BeforeDestruction();
}

void TQvBaseTree::FreeAllNodes() {
    // A handler failing while the tree goes away cannot be reported to anyone.
    try {
        FNodes.Clear();
    } catch (...) {
    }
    FSelection.AllGone();
    FFocusedNode = FHotNode = nullptr;
}

// ---- Update bracket -------------------------------------------------------------------

void TQvBaseTree::BeginUpdate() {
    if (FUpdateCount++ == 0) FNodes.BeginDefer();
}

void TQvBaseTree::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount > 0) return;
    FNodes.EndDefer();
    ClampOffsets();
    UpdateScrollBars(true);
    Invalidate();
}

void TQvBaseTree::StructureChanged() {
    if (Updating()) return;
    ClampOffsets();
    UpdateScrollBars(true);
    Invalidate();
}

// ---- Nodes ----------------------------------------------------------------------------

int TQvBaseTree::NodeDataSizeNeeded(int Preset) {
    int Size = Preset;
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
    return Size;
}

void TQvBaseTree::CheckUserDataSpace() const {
    if (NodeDataSize() < static_cast<int>(sizeof(void*)))
        throw EQvError("Cannot set initial user data because there is not enough user data space allocated.");
}

PQvNode TQvBaseTree::AddChild(PQvNode Parent, void* UserData) {
    return InsertNode(Parent, amAddChildLast, UserData);
}

PQvNode TQvBaseTree::InsertNode(PQvNode Node, TQvAttachMode Mode, void* UserData) {
    if (FOptions->MiscOptions().Contains(toReadOnly)) return nullptr;
    StructureChanging();
    const bool AsChild = Mode == amAddChildFirst || Mode == amAddChildLast;
    if (AsChild && Node != nullptr && Node != RootNode() && !Node->States.Contains(vsInitialized)) {
        const TQvNodeRef Ref(this, Node);
        InitNode(Node);
        if (Ref.Node() == nullptr) return nullptr;
    }
    if (UserData != nullptr && NodeDataSize() >= 0) CheckUserDataSpace();
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
    StructureChanged();
    return N;
}

void TQvBaseTree::DeleteNode(PQvNode Node, bool ReIndex) {
    if (Node == nullptr || Node == RootNode() || FOptions->MiscOptions().Contains(toReadOnly)) return;
    StructureChanging();
    FNodes.DeleteNode(Node, ReIndex);
    StructureChanged();
}

void TQvBaseTree::DeleteChildren(PQvNode Node) {
    if (FOptions->MiscOptions().Contains(toReadOnly)) return;
    StructureChanging();
    FNodes.DeleteChildren(Node);
    StructureChanged();
}

void TQvBaseTree::Clear() {
    if (FNodes.Iterating()) throw EQvError("Deleting nodes during tree iteration leads to invalid pointers.");
    BeginUpdate();
    try {
        StructureChanging();
        ClearSelection();
        FSelection.SetAnchor(nullptr);
        FFocusedNode = nullptr;
        FHotNode = nullptr;
        FNodes.Clear();
        FOffsetX = FOffsetY = 0;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void* TQvBaseTree::GetNodeData(PQvNode Node) {
    if (Node == nullptr || Node == RootNode()) return nullptr;
    if (NodeDataSize() <= 0) throw EQvError("NodeDataSize not initialized.");
    Node->States.Include(vsOnFreeNodeCallRequired);
    return FNodes.NodeData(Node);
}

void TQvBaseTree::SetNodeDataSize(int Value) {
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

PQvNode TQvBaseTree::GetFirstChild(PQvNode Node) const {
    return (Node == nullptr ? FNodes.Root() : Node)->FirstChild;
}

PQvNode TQvBaseTree::GetLastChild(PQvNode Node) const {
    return (Node == nullptr ? FNodes.Root() : Node)->LastChild;
}

PQvNode TQvBaseTree::NodeParent(PQvNode Node) const {
    if (Node == nullptr || Node->Parent == FNodes.Root()) return nullptr;
    return Node->Parent;
}

void TQvBaseTree::InitNode(PQvNode Node) {
    if (Node == nullptr || Node == RootNode() || Node->States.Contains(vsInitialized)) return;
    Node->States.Include(vsInitialized);
    DoInitNode(Node);
}

void TQvBaseTree::DoInitNode(PQvNode Node) {
    if (OnInitNode) OnInitNode(this, Node);
}

void TQvBaseTree::DoFreeNode(PQvNode Node) {
    if (OnFreeNode) OnFreeNode(this, Node);
}

void TQvBaseTree::FreeNode(PQvNode Node) { DoFreeNode(Node); }

void TQvBaseTree::SubtreeDetached(PQvNode Node) { FSelection.SubtreeDetached(Node); }

void TQvBaseTree::NodeGone(PQvNode Node) {
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (FHotNode == Node) FHotNode = nullptr;
    FSelection.NodeGone(Node);
    FInput->NodeGone(Node);
    for (TQvNodeRef* R = FRefs; R != nullptr; R = R->FNext)
        if (R->FNode == Node) R->FNode = nullptr;
}

void TQvBaseTree::AllNodesGone() {
    FFocusedNode = FHotNode = nullptr;
    FSelection.AllGone();
    FInput->NodeGone(nullptr);
    for (TQvNodeRef* R = FRefs; R != nullptr; R = R->FNext) R->FNode = nullptr;
}

// ---- Node state -----------------------------------------------------------------------

void TQvBaseTree::SetExpanded(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || Expanded(Node) == Value) return;
    FNodes.SetExpanded(Node, Value);
    StructureChanged();
    if (Value)
        DoExpanded(Node);
    else
        DoCollapsed(Node);
}

void TQvBaseTree::DoExpanded(PQvNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

void TQvBaseTree::DoCollapsed(PQvNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
}

void TQvBaseTree::FullExpand(PQvNode Node) {
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

void TQvBaseTree::FullCollapse(PQvNode Node) {
    BeginUpdate();
    PQvNode Stop = Node != nullptr ? FNodes.GetNextNoChild(Node) : nullptr;
    for (PQvNode N = Node != nullptr ? Node : GetFirst(); N != nullptr && N != Stop; N = GetNext(N))
        FNodes.SetExpanded(N, false);
    EndUpdate();
}

void TQvBaseTree::SetIsVisible(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || IsVisible(Node) == Value) return;
    FNodes.SetVisible(Node, Value);
    StructureChanged();
}

void TQvBaseTree::SetSelected(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || Selected(Node) == Value) return;
    if (Value) {
        if (!FOptions->SelectionOptions().Contains(toMultiSelect)) ClearSelection();
        FSelection.Add(Node);
    } else {
        FSelection.Remove(Node);
    }
    InvalidateNode(Node);
}

void TQvBaseTree::SetIsDisabled(PQvNode Node, bool Value) {
    if (Node == nullptr || Node == RootNode() || IsDisabled(Node) == Value) return;
    if (Value)
        Node->States.Include(vsDisabled);
    else
        Node->States.Exclude(vsDisabled);
    InvalidateNode(Node);
}

void TQvBaseTree::SetHasChildren(PQvNode Node, bool Value) {
    FNodes.SetHasChildren(Node, Value);
    InvalidateNode(Node);
}

void TQvBaseTree::SetNodeHeight(PQvNode Node, int Value) {
    if (Node == nullptr || Node == RootNode() || Node->NodeHeight == std::clamp(Value, 0, 65535)) return;
    FNodes.SetNodeHeight(Node, Value);
    StructureChanged();
}

void TQvBaseTree::SetCheckType(PQvNode Node, TCheckType Value) {
    if (Node == nullptr || Node == RootNode() || Node->CheckType == Value) return;
    Node->CheckType = Value;
    InvalidateNode(Node);
}

void TQvBaseTree::SetCheckState(PQvNode Node, TCheckState Value) {
    if (Node == nullptr || Node == RootNode() || Node->CheckState == Value) return;
    Node->CheckState = Value;
    InvalidateNode(Node);
}

// ---- Focus, selection, hot node -------------------------------------------------------

bool TQvBaseTree::ChangeFocus(PQvNode Node, int Column) {
    if (Node == RootNode()) Node = nullptr;
    if (Node == FFocusedNode && Column == FFocusedColumn) return true;
    const TQvAliveCheck Alive = AliveCheck();
    if (OnFocusChanging) {
        const TQvNodeRef New(this, Node);
        bool Allowed = true;
        OnFocusChanging(this, FFocusedNode, Node, FFocusedColumn, Column, Allowed);
        if (!Alive.Alive() || !Allowed || (Node != nullptr && New.Node() == nullptr)) return false;
    }
    PQvNode Old = FFocusedNode;
    FFocusedNode = Node;
    FFocusedColumn = Column;
    InvalidateNode(Old);
    InvalidateNode(Node);
    if (Node != nullptr && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
        ScrollIntoView(Node, FOptions->SelectionOptions().Contains(toCenterScrollIntoView));
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
    return Alive.Alive();
}

void TQvBaseTree::ClearSelection() {
    const std::vector<PQvNode> Old = FSelection.Clear();
    if (Old.size() > 64) {
        Invalidate();
        return;
    }
    for (PQvNode N : Old) InvalidateNode(N);
}

void TQvBaseTree::SelectAll(bool VisibleOnly) {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect)) return;
    for (PQvNode N = VisibleOnly ? GetFirstVisible() : GetFirst(); N != nullptr;
         N = VisibleOnly ? GetNextVisible(N) : GetNext(N))
        FSelection.Add(N);
    Invalidate();
}

PQvNode TQvBaseTree::GetFirstSelected() const { return FSelection.Empty() ? nullptr : FSelection.Nodes().front(); }

PQvNode TQvBaseTree::GetNextSelected(PQvNode Node) const {
    const auto& S = FSelection.Nodes();
    auto It = std::find(S.begin(), S.end(), Node);
    return It == S.end() || std::next(It) == S.end() ? nullptr : *std::next(It);
}

void TQvBaseTree::SelectRange(PQvNode Node, bool Add) {
    PQvNode Anchor = FSelection.Anchor();
    if (Anchor == nullptr) Anchor = Node;
    const std::vector<PQvNode> Rows = TQvTreeSelection::RowsBetween(FNodes, Anchor, Node);
    if (!Add) ClearSelection();
    for (PQvNode N : Rows)
        if (FSelection.Add(N)) InvalidateNode(N);
    FSelection.SetAnchor(Anchor);
}

void TQvBaseTree::SetHot(PQvNode Node, int Column) {
    if (Node == FHotNode && Column == FHotColumn) return;
    PQvNode Old = FHotNode;
    FHotNode = Node;
    FHotColumn = Column;
    const TQvAliveCheck Alive = AliveCheck();
    const TQvNodeRef OldRef(this, Old), NewRef(this, Node);
    if (OnHotChange) {
        OnHotChange(this, Old, Node);
        if (!Alive.Alive()) return;
    }
    if (FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport)) {
        InvalidateNode(OldRef.Node());
        InvalidateNode(NewRef.Node());
    }
}

// ---- Geometry -------------------------------------------------------------------------

int TQvBaseTree::RangeY() { return Saturate(FNodes.ContentHeight()); }

int TQvBaseTree::ColumnAt(int, int& Left, int& Right) {
    ColumnSpan(-1, Left, Right);
    return -1;
}

void TQvBaseTree::ColumnSpan(int, int& Left, int& Right) {
    Left = 0;
    Right = std::max(FRangeX, ClientWidth());
}

TAlignment TQvBaseTree::ColumnAlignment(int) const { return taLeftJustify; }

int TQvBaseTree::DoGetNodeWidth(PQvNode, int, TCanvas*) { return 0; }

int TQvBaseTree::ImageWidth(PQvNode, int, TQvImageInfoIndex) { return 0; }

int TQvBaseTree::NodeWidth(PQvNode Node, int Column) { return DoGetNodeWidth(Node, Column, Canvas()); }

TQvCellGeometry TQvBaseTree::CellGeometry(PQvNode Node, int Column) {
    TQvCellGeometry G;
    const TQvPaintOptions Paint = FOptions->PaintOptions();
    G.MainColumn = Column == MainColumn();
    G.Indent = FIndent;
    G.Margin = FMargin;
    G.ButtonWidth = ButtonWidth();
    if (Node == nullptr) return G;
    G.Levels = Paint.Contains(toFixedIndent) ? 1 : GetNodeLevel(Node) + (Paint.Contains(toShowRoot) ? 1 : 0);
    G.HasButton = Paint.Contains(toShowButtons) && HasChildren(Node);
    if (G.MainColumn && FOptions->MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone)
        G.CheckWidth = CheckImageWidth() + 2;
    if (const int W = ImageWidth(Node, Column, iiState); W > 0) G.StateWidth = W + 2;
    if (const int W = ImageWidth(Node, Column, iiNormal); W > 0) G.NormalWidth = W + 2;
    return G;
}

PQvNode TQvBaseTree::GetNodeAt(int X, int Y) {
    int Top;
    return GetNodeAt(X, Y, true, Top);
}

PQvNode TQvBaseTree::GetNodeAt(int, int Y, bool Relative, int& NodeTop) {
    int64_t Absolute = Relative ? int64_t{Y} - FOffsetY : Y;
    if (Absolute < 0) Absolute = 0;
    int64_t Top = 0;
    PQvNode N = FNodes.NodeAt(Absolute, &Top);
    NodeTop = N == nullptr ? 0 : Saturate(Relative ? Top + FOffsetY : Top);
    return N;
}

THitInfo TQvBaseTree::GetHitTestInfoAt(int X, int Y, bool Relative) {
    THitInfo Hit;
    if (!Relative) {
        X += FOffsetX;
        Y += FOffsetY;
    }
    if (X < 0)
        Hit.HitPositions.Include(hiToLeft);
    else if (X > std::max(ClientWidth(), FRangeX))
        Hit.HitPositions.Include(hiToRight);
    if (Y < 0)
        Hit.HitPositions.Include(hiAbove);
    else if (Y > std::max(ClientHeight(), RangeY()))
        Hit.HitPositions.Include(hiBelow);
    if (!Hit.HitPositions.Empty()) return Hit;
    const int CX = X - FOffsetX;
    PQvNode Node = FNodes.NodeAt(int64_t{Y} - FOffsetY);
    if (Node == nullptr) {
        Hit.HitPositions.Include(hiNowhere);
        return Hit;
    }
    Hit.HitNode = Node;
    int Left = 0, Right = 0;
    Hit.HitColumn = ColumnAt(CX, Left, Right);
    const TQvCellGeometry G = CellGeometry(Node, Hit.HitColumn);
    const int Column = Hit.HitColumn;
    Hit.HitPositions = QvHitTestCell(G, CX - Left, Right - Left, FOptions->MiscOptions().Contains(toReportMode),
                                     ColumnAlignment(Column), [&] { return NodeWidth(Node, Column); });
    return Hit;
}

TRect TQvBaseTree::GetDisplayRect(PQvNode Node, int Column, bool TextOnly) {
    const int64_t Top = FNodes.NodeTop(Node);
    if (Top < 0) return TRect{};
    TRect R;
    R.Top = Saturate(Top + FOffsetY);
    R.Bottom = Saturate(Top + FOffsetY + Node->NodeHeight);
    int Left = 0, Right = 0;
    ColumnSpan(Column, Left, Right);
    if (TextOnly) {
        const TQvCellGeometry G = CellGeometry(Node, Column < 0 ? MainColumn() : Column);
        Left += G.TextLeft();
        Right = std::min(Right, Left + NodeWidth(Node, Column));
    }
    R.Left = Left + FOffsetX;
    R.Right = Right + FOffsetX;
    return R;
}

bool TQvBaseTree::ScrollIntoView(PQvNode Node, bool Center, bool Horizontally) {
    if (Node == nullptr || Node == RootNode()) return false;
    if (!FullyVisible(Node)) {
        BeginUpdate();
        for (PQvNode P = Node->Parent; P != nullptr && P != RootNode(); P = P->Parent) {
            FNodes.SetExpanded(P, true);
            FNodes.SetVisible(P, true);
        }
        FNodes.SetVisible(Node, true);
        EndUpdate();
    }
    const int64_t Top = FNodes.NodeTop(Node);
    if (Top < 0) return false;
    const int H = ClientHeightOrZero();
    int64_t Y = FOffsetY;
    const int64_t RowTop = Top + Y, RowBottom = RowTop + Node->NodeHeight;
    if (Center && (RowTop < 0 || RowBottom > H))
        Y = -(Top - (H - Node->NodeHeight) / 2);
    else if (RowTop < 0)
        Y = -Top;
    else if (RowBottom > H)
        Y = -(Top + Node->NodeHeight - H);
    int X = FOffsetX;
    if (Horizontally) {
        const TQvCellGeometry G = CellGeometry(Node, MainColumn());
        const int Text = G.TextLeft() + FOffsetX;
        if (Text < 0 || Text > ClientWidth()) X = -G.TextLeft();
    }
    const int OldX = FOffsetX, OldY = FOffsetY;
    SetOffsetXY(X, Saturate(Y));
    return OldX != FOffsetX || OldY != FOffsetY;
}

// ---- Scrolling ------------------------------------------------------------------------

int TQvBaseTree::ClientHeightOrZero() const { return std::max(ClientHeight(), 0); }

void TQvBaseTree::ClampOffsets() {
    const int MinY = std::min(0, ClientHeightOrZero() - RangeY());
    const int MinX = std::min(0, std::max(ClientWidth(), 0) - FRangeX);
    FOffsetY = std::clamp(FOffsetY, MinY, 0);
    FOffsetX = std::clamp(FOffsetX, MinX, 0);
}

void TQvBaseTree::SetOffsetXY(int X, int Y) {
    const int OldX = FOffsetX, OldY = FOffsetY;
    FOffsetX = X;
    FOffsetY = Y;
    ClampOffsets();
    if (FOffsetX == OldX && FOffsetY == OldY) return;
    if (!Updating()) {
        UpdateScrollBars(true);
        Invalidate();
    }
    DoScroll(FOffsetX - OldX, FOffsetY - OldY);
}

void TQvBaseTree::DoScroll(int DeltaX, int DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

void TQvBaseTree::ComputeRangeX() {
    if (ColumnCount() > 0) {
        FRangeX = ColumnsWidth();
        return;
    }
    // Without columns: the widest row in view decides.
    int Widest = 0;
    int Top = 0;
    PQvNode N = GetNodeAt(0, 0, true, Top);
    for (int Y = Top; N != nullptr && Y < ClientHeight(); N = GetNextVisible(N)) {
        const TQvCellGeometry G = CellGeometry(N, -1);
        Widest = std::max(Widest, G.TextLeft() + NodeWidth(N, -1));
        Y += N->NodeHeight;
    }
    FRangeX = Widest;
}

void TQvBaseTree::UpdateScrollBars(bool DoRepaint) {
    if (Updating()) return;
    ComputeRangeX();
    ClampOffsets();
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

void TQvBaseTree::UpdateVerticalScrollBar(bool DoRepaint) {
    if (Updating() || !HandleAllocated()) return;
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    const bool Shown = FScrollBarOptions->ScrollBars() == ssVertical || FScrollBarOptions->ScrollBars() == ssBoth;
    Info.nMax = Shown ? RangeY() : 0;
    Info.nPage = static_cast<UINT>(ClientHeightOrZero());
    Info.nPos = -FOffsetY;
    SetScrollInfo(Handle(), SB_VERT, &Info, DoRepaint);
}

void TQvBaseTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    if (Updating() || !HandleAllocated()) return;
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    const bool Shown = FScrollBarOptions->ScrollBars() == ssHorizontal || FScrollBarOptions->ScrollBars() == ssBoth;
    Info.nMax = Shown ? FRangeX : 0;
    Info.nPage = static_cast<UINT>(std::max(ClientWidth(), 0));
    Info.nPos = -FOffsetX;
    SetScrollInfo(Handle(), SB_HORZ, &Info, DoRepaint);
}

// ---- Painting -------------------------------------------------------------------------

void TQvBaseTree::InvalidateNode(PQvNode Node) {
    if (Node == nullptr || Updating() || !HandleAllocated() || !FullyVisible(Node)) return;
    const TRect R = GetDisplayRect(Node, -1, false);
    const RECT Row{0, R.Top, ClientWidth(), R.Bottom};
    InvalidateRect(Handle(), &Row, FALSE);
}

void TQvBaseTree::InvalidateToBottom(PQvNode Node) {
    if (Updating() || !HandleAllocated()) return;
    if (Node == nullptr || !FullyVisible(Node)) {
        Invalidate();
        return;
    }
    const TRect R = GetDisplayRect(Node, -1, false);
    const RECT Rest{0, R.Top, ClientWidth(), ClientHeight()};
    InvalidateRect(Handle(), &Rest, FALSE);
}

void TQvBaseTree::Paint() {
    TCanvas* C = Canvas();
    PaintTree(C, C->ClipRect(), C->ClipRect().TopLeft());
}

void TQvBaseTree::PaintTree(TCanvas* Target, const TRect& Window, TPoint Origin) {
    const HDC Dc = Target->Handle();
    const int Saved = SaveDC(Dc);
    OffsetViewportOrgEx(Dc, Origin.X - Window.Left, Origin.Y - Window.Top, nullptr);
    Target->Brush()->SetColor(Color());
    Target->FillRect(Window);
    const bool Focus = Focused();
    const TQvPaintOptions Paint = FOptions->PaintOptions();
    const bool ShowSelection =
        !Paint.Contains(toAlwaysHideSelection) && (Focus || !Paint.Contains(toHideSelection));
    const bool FullRow = FOptions->SelectionOptions().Contains(toFullRowSelect);
    int Top = 0;
    PQvNode N = GetNodeAt(0, Window.Top, true, Top);
    const TQvAliveCheck Alive = AliveCheck();
    for (; N != nullptr && Top < Window.Bottom; N = GetNextVisible(N)) {
        const int H = N->NodeHeight;
        if (H > 0) {
            InitNode(N);
            if (!Alive.Alive()) return;
            TQvPaintInfo Info;
            Info.Canvas = Target;
            Info.Node = N;
            Info.Column = MainColumn();
            const TQvCellGeometry G = CellGeometry(N, Info.Column);
            const int Right = std::max(FRangeX, ClientWidth());
            Info.CellRect = Rect(FOffsetX, 0, FOffsetX + Right, H);
            Info.ContentRect = Rect(FOffsetX + G.TextLeft(), 0, FOffsetX + Right, H);
            Info.Alignment = ColumnAlignment(Info.Column);
            if (ShowSelection && Selected(N)) Info.PaintOptions.Include(poDrawSelection);
            if (Focus && N == FFocusedNode && !Paint.Contains(toHideFocusRect))
                Info.PaintOptions.Include(poDrawFocusRect);
            const int Row = SaveDC(Dc);
            OffsetViewportOrgEx(Dc, 0, Top, nullptr);
            IntersectClipRect(Dc, Window.Left, 0, Window.Right, H);
            if (Info.PaintOptions.Contains(poDrawSelection)) {
                Target->Brush()->SetColor(Focus ? FColors->FocusedSelectionColor()
                                                : FColors->UnfocusedSelectionColor());
                Target->FillRect(FullRow ? Info.CellRect : Info.ContentRect);
            }
            const TQvNodeRef Ref(this, N);
            DoPaintNode(Info);
            RestoreDC(Dc, Row);
            if (!Alive.Alive()) return;
            if (Ref.Node() == nullptr) break;
        }
        Top += H;
    }
    RestoreDC(Dc, Saved);
}

void TQvBaseTree::DoPaintNode(TQvPaintInfo&) {}

// ---- Settings -------------------------------------------------------------------------

void TQvBaseTree::OptionsChanged() {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect) && FSelection.Count() > 1) {
        // Keep the focused node's selection, drop the rest.
        const bool Keep = Selected(FFocusedNode);
        ClearSelection();
        if (Keep) FSelection.Add(FFocusedNode);
    }
    UpdateScrollBars(true);
    Invalidate();
}

void TQvBaseTree::SetDefaultNodeHeight(int Value) {
    FNodes.SetDefaultNodeHeight(Value);
}

#define QV_TREE_SETTER(Name, Type, Field)   \
    void TQvBaseTree::Set##Name(Type Value) { \
        if (Field == Value) return;           \
        Field = Value;                        \
        StructureChanged();                   \
    }
QV_TREE_SETTER(NodeAlignment, TQvNodeAlignment, FNodeAlignment)
QV_TREE_SETTER(LineStyle, TQvLineStyle, FLineStyle)
QV_TREE_SETTER(LineMode, TQvLineMode, FLineMode)
QV_TREE_SETTER(ButtonStyle, TQvButtonStyle, FButtonStyle)
QV_TREE_SETTER(ButtonFillMode, TQvButtonFillMode, FButtonFillMode)
QV_TREE_SETTER(CheckImageKind, TQvCheckImageKind, FCheckImageKind)
QV_TREE_SETTER(SelectionCurveRadius, int, FSelectionCurveRadius)
QV_TREE_SETTER(SelectionBlendFactor, int, FSelectionBlendFactor)
QV_TREE_SETTER(DrawSelectionMode, TQvDrawSelectionMode, FDrawSelectionMode)
QV_TREE_SETTER(Indent, int, FIndent)
QV_TREE_SETTER(Margin, int, FMargin)
QV_TREE_SETTER(TextMargin, int, FTextMargin)
#undef QV_TREE_SETTER

void TQvBaseTree::SetBorderStyle(TFormBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TQvBaseTree::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
}

void TQvBaseTree::Resize() {
    UpdateScrollBars(true);
    TCustomControl::Resize();
}

// ---- Input ----------------------------------------------------------------------------

void TQvBaseTree::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->MouseDown(Button, Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TQvBaseTree::MouseMove(TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->MouseMove(Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseMove(Shift, X, Y);
}

void TQvBaseTree::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->MouseUp(Button, Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TQvBaseTree::KeyPress(Char& Key) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyPress(Key);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyPress(Key);
}

bool TQvBaseTree::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    const TQvAliveCheck Alive = AliveCheck();
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos) || !Alive.Alive()) return true;
    FInput->Wheel(Shift, WheelDelta);
    return true;
}

void TQvBaseTree::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyDown(Key, Shift);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyDown(Key, Shift);
}

void TQvBaseTree::KeyUp(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyUp(Key, Shift);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyUp(Key, Shift);
}

void TQvBaseTree::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TQvBaseTree::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

void TQvBaseTree::DoNodeClick(const THitInfo& HitInfo) {
    if (OnNodeClick) OnNodeClick(this, HitInfo);
}

void TQvBaseTree::DoNodeDblClick(const THitInfo& HitInfo) {
    if (OnNodeDblClick) OnNodeDblClick(this, HitInfo);
}

void TQvBaseTree::DoColumnClick(int Column, TShiftState Shift) {
    if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

void TQvBaseTree::DoChecked(PQvNode Node) {
    if (OnChecked) OnChecked(this, Node);
}

bool TQvBaseTree::DoChecking(PQvNode Node, TCheckState& NewState) {
    bool Allowed = true;
    if (OnChecking) OnChecking(this, Node, NewState, Allowed);
    return Allowed;
}

void TQvBaseTree::DoGetCursor(TCursor& Cursor) {
    if (OnGetCursor) OnGetCursor(this, Cursor);
}

void TQvBaseTree::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_GETDLGCODE:
            M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            if (FOptions->SelectionOptions().Contains(toExtendedFocus) && ColumnCount() > 0)
                M.Result |= DLGC_WANTTAB;
            return;
        case WM_VSCROLL:
        case WM_HSCROLL:
            FInput->ScrollMessage(M.Msg == WM_VSCROLL, LOWORD(static_cast<uintptr_t>(M.WParam)),
                                  static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(M.WParam))));
            M.Result = 0;
            return;
        case WM_SETCURSOR:
            if (FInput->SetCursor(M)) return;
            break;
        case CM_MOUSELEAVE:
            if (M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(this)) {
                const TQvAliveCheck Alive = AliveCheck();
                FInput->MouseLeave();
                if (!Alive.Alive()) return;
            }
            break;
        case WM_CONTEXTMENU:
            // From the keyboard: at the centre of the focused cell.
            if (M.LParam == -1)
                if (TPoint P; FInput->FocusedCellCentre(P)) M.LParam = MAKELPARAM(P.X, P.Y);
            break;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            FInput->CancelMode();
            break;
        default:
            break;
    }
    TCustomControl::WndProc(M);
}
