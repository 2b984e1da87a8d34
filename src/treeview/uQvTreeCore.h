#pragma once
// TQvTreeCore: the part of the tree control that knows nodes and their states, not
// pixels: the node model and the update bracket, the nodes' user data, expansion and
// visibility with their events, sorting, the focused, selected and hot nodes, and the
// option objects. TQvBaseTree adds geometry, scrolling, painting and input, and keeps
// the view in step through the hooks at the end.
//
// Handlers may delete nodes or clear the tree from any event but OnFreeNode (where that
// is the iteration error); code that goes on after an event holds its nodes through
// TQvNodeRef, which reads nullptr once the node is gone.
//
// Limits: at most 4,294,967,294 nodes; row heights 0..65535.

#include <memory>

#include "framework/uQvWinControl.h"
#include "treeview/uQvTreeNodes.h"
#include "treeview/uQvTreeOptions.h"
#include "treeview/uQvTreeSelection.h"

class TQvTreeCore;

// A node held across events: Node() is nullptr once the node (or the tree) is gone.
class TQvNodeRef {
public:
    TQvNodeRef(TQvTreeCore* Tree, PQvNode Node);
    ~TQvNodeRef();
    TQvNodeRef(const TQvNodeRef&) = delete;
    TQvNodeRef& operator=(const TQvNodeRef&) = delete;
    PQvNode Node() const { return FNode; }

private:
    friend class TQvTreeCore;
    TQvTreeCore* FTree;
    TQvAliveCheck FAlive;
    PQvNode FNode;
    TQvNodeRef* FNext = nullptr;
};

class TQvTreeCore : public TCustomControl, private IQvTreeNodesHost {
public:
    explicit TQvTreeCore(TComponent* AOwner);
    ~TQvTreeCore() override;
    // Frees the nodes (with OnFreeNode) while the tree is still whole.
    void BeforeDestruction() override;

    // ---- Update bracket ----
    // While open: no repaint, no scroll-bar update, no automatic sort; the last EndUpdate
    // recounts, sorts (toAutoSort), updates the scroll bars and repaints.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // ---- Nodes ----
    PQvNode RootNode() { return FNodes.Root(); }
    TQvTreeNodes& Nodes() { return FNodes; }
    uint32_t TotalCount() const { return FNodes.Count(); }
    uint32_t RootNodeCount() const { return FNodes.Root()->ChildCount; }
    // A new last child of Parent (nullptr: top level). UserData (a pointer) goes into the
    // first bytes of the node's data. nullptr with toReadOnly.
    PQvNode AddChild(PQvNode Parent, void* UserData = nullptr);
    PQvNode InsertNode(PQvNode Node, TQvAttachMode Mode, void* UserData = nullptr);
    void DeleteNode(PQvNode Node, bool ReIndex = true);
    void DeleteChildren(PQvNode Node);
    // Cancels editing, forgets the selection and the focused and hot nodes, deletes every
    // node and scrolls back to the origin.
    virtual void Clear();
    // The node's user data; nullptr for nullptr or the root. Marks the node for OnFreeNode.
    // "NodeDataSize not initialized." when the tree keeps no data.
    void* GetNodeData(PQvNode Node);
    template <class T>
    T* GetNodeData(PQvNode Node) {
        return static_cast<T*>(GetNodeData(Node));
    }
    int NodeDataSize() const { return FNodes.NodeDataSize(); }
    // On a tree with nodes this rebuilds it: cleared, then as many empty top-level nodes.
    void SetNodeDataSize(int Value);

    // ---- Iteration ----
    PQvNode GetFirst() const { return FNodes.GetFirst(); }
    PQvNode GetLast() const { return FNodes.GetLast(); }
    PQvNode GetNext(PQvNode Node) const { return FNodes.GetNext(Node); }
    PQvNode GetPrevious(PQvNode Node) const { return FNodes.GetPrevious(Node); }
    PQvNode GetFirstChild(PQvNode Node) const;
    PQvNode GetLastChild(PQvNode Node) const;
    PQvNode GetNextSibling(PQvNode Node) const { return Node != nullptr ? Node->NextSibling : nullptr; }
    PQvNode GetPreviousSibling(PQvNode Node) const { return Node != nullptr ? Node->PrevSibling : nullptr; }
    // The parent; nullptr for top-level nodes.
    PQvNode NodeParent(PQvNode Node) const;
    PQvNode GetFirstVisible() const { return FNodes.GetFirstVisible(); }
    PQvNode GetLastVisible() const { return FNodes.GetLastVisible(); }
    PQvNode GetNextVisible(PQvNode Node) const { return FNodes.GetNextVisible(Node); }
    PQvNode GetPreviousVisible(PQvNode Node) const { return FNodes.GetPreviousVisible(Node); }
    PQvNode GetNextVisibleSibling(PQvNode Node) const { return FNodes.GetNextVisibleSibling(Node); }
    PQvNode GetPreviousVisibleSibling(PQvNode Node) const { return FNodes.GetPreviousVisibleSibling(Node); }
    PQvNode GetFirstVisibleChild(PQvNode Node) const { return FNodes.GetFirstVisibleChild(Node); }
    PQvNode GetLastVisibleChild(PQvNode Node) const { return FNodes.GetLastVisibleChild(Node); }
    int GetNodeLevel(PQvNode Node) const { return FNodes.GetNodeLevel(Node); }
    // The node shows as a row (it and every parent visible, every parent expanded).
    bool FullyVisible(PQvNode Node) const { return FNodes.IsRow(Node); }
    uint32_t VisibleCount() const { return FNodes.VisibleCount(); }

    // ---- Node state ----
    bool Expanded(PQvNode Node) const { return Node != nullptr && Node->States.Contains(vsExpanded); }
    // Expanding raises OnExpanded afterwards.
    void SetExpanded(PQvNode Node, bool Value);
    void ToggleNode(PQvNode Node) { SetExpanded(Node, !Expanded(Node)); }
    // Node and all below it (nullptr: the whole tree).
    void FullExpand(PQvNode Node = nullptr);
    void FullCollapse(PQvNode Node = nullptr);
    bool IsVisible(PQvNode Node) const { return Node != nullptr && Node->States.Contains(vsVisible); }
    void SetIsVisible(PQvNode Node, bool Value);
    bool Selected(PQvNode Node) const { return TQvTreeSelection::Contains(Node); }
    // Without toMultiSelect, selecting a node unselects the others.
    void SetSelected(PQvNode Node, bool Value);
    bool IsDisabled(PQvNode Node) const { return Node != nullptr && Node->States.Contains(vsDisabled); }
    void SetIsDisabled(PQvNode Node, bool Value);
    bool HasChildren(PQvNode Node) const { return Node != nullptr && Node->States.Contains(vsHasChildren); }
    void SetHasChildren(PQvNode Node, bool Value);
    int NodeHeight(PQvNode Node) const { return Node != nullptr ? Node->NodeHeight : 0; }
    void SetNodeHeight(PQvNode Node, int Value);
    TCheckType CheckType(PQvNode Node) const { return Node != nullptr ? Node->CheckType : ctNone; }
    void SetCheckType(PQvNode Node, TCheckType Value);
    TCheckState CheckState(PQvNode Node) const { return Node != nullptr ? Node->CheckState : csUncheckedNormal; }
    void SetCheckState(PQvNode Node, TCheckState Value);

    // ---- Sorting ----
    // Orders the children of Node (nullptr: the top level), or every level, with
    // OnCompareNodes; equal nodes keep their order. Column -2 sorts nothing.
    void Sort(PQvNode Node, int Column, TQvSortDirection Direction);
    void SortTree(int Column, TQvSortDirection Direction);
    // The order automatic sorting keeps (toAutoSort): after AddChild outside the update
    // bracket and at its end. Column -1 sorts too (the tree's one column); -2 does not.
    int SortColumn() const { return FSortColumn; }
    void SetSortColumn(int Value);
    TQvSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TQvSortDirection Value);

    // ---- Focus, selection, hot node ----
    PQvNode FocusedNode() const { return FFocusedNode; }
    // Asks OnFocusChanging; when the focus moved, OnFocusChanged follows.
    void SetFocusedNode(PQvNode Node) { ChangeFocus(Node, FFocusedColumn); }
    int FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(int Column) { ChangeFocus(FFocusedNode, Column); }
    void ClearSelection();
    // With toMultiSelect: every node, or every row.
    void SelectAll(bool VisibleOnly);
    size_t SelectedCount() const { return FSelection.Count(); }
    // Selected nodes in the order they were selected.
    const std::vector<PQvNode>& SelectedNodes() const { return FSelection.Nodes(); }
    PQvNode GetFirstSelected() const;
    PQvNode GetNextSelected(PQvNode Node) const;
    // The start of Shift ranges.
    PQvNode RangeAnchor() const { return FSelection.Anchor(); }
    PQvNode HotNode() const { return FHotNode; }
    int HotColumn() const { return FHotColumn; }

    // ---- View hooks (the control answers them) ----
    // Repaints the node's row.
    virtual void InvalidateNode(PQvNode Node) { (void)Node; }
    // Expands the parents and scrolls the row into view; true when the view moved.
    virtual bool ScrollIntoView(PQvNode Node, bool Center, bool Horizontally = false);

    // ---- Settings ----
    TQvTreeOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(const TQvTreeOptions* Value) { FOptions->Assign(Value); }
    TQvTreeColors* Colors() const { return FColors.get(); }
    void SetColors(const TQvTreeColors* Value) { FColors->Assign(Value); }
    TQvScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    void SetScrollBarOptions(const TQvScrollBarOptions* Value) { FScrollBarOptions->Assign(Value); }
    int DefaultNodeHeight() const { return FNodes.DefaultNodeHeight(); }
    // New nodes get it; existing rows keep their heights.
    void SetDefaultNodeHeight(int Value) { FNodes.SetDefaultNodeHeight(Value); }

    // ---- Events ----
    TQvGetNodeDataSizeEvent OnGetNodeDataSize;
    TQvNodeEvent OnFreeNode;
    TQvNodeEvent OnInitNode;
    TQvNodeEvent OnExpanded;
    TQvNodeEvent OnCollapsed;
    TQvNodeEvent OnChecked;
    TQvCheckingEvent OnChecking;
    TQvFocusChangingEvent OnFocusChanging;
    TQvFocusChangedEvent OnFocusChanged;
    TQvHotNodeChangeEvent OnHotChange;
    TQvCompareEvent OnCompareNodes;

protected:
    friend class TQvNodeRef;

    virtual void DoInitNode(PQvNode Node);
    virtual void DoFreeNode(PQvNode Node);
    virtual void DoExpanded(PQvNode Node);
    virtual void DoCollapsed(PQvNode Node);
    virtual void DoChecked(PQvNode Node);
    virtual bool DoChecking(PQvNode Node, TCheckState& NewState);
    // OnCompareNodes' result (0 without a handler).
    virtual int DoCompare(PQvNode Node1, PQvNode Node2, int Column);
    // Whether comparing can order anything; without it sorting is skipped, as a stable
    // sort of equal nodes changes nothing.
    virtual bool CanCompare() const { return static_cast<bool>(OnCompareNodes); }
    // Raised before a structural change; the editor comes later, so nothing yet.
    virtual void StructureChanging() {}
    // After a structural change outside the bracket, and at the bracket's end.
    virtual void StructureChanged() { Invalidate(); }
    virtual void OptionsChanged();
    // A node leaves the tree (nullptr: every node); the input forgets what it holds.
    virtual void NodeForgotten(PQvNode Node) { (void)Node; }

    // Focus with OnFocusChanging / OnFocusChanged; false when refused or the tree is gone.
    bool ChangeFocus(PQvNode Node, int Column);
    // The hot node and column, with OnHotChange and the repaints.
    void SetHot(PQvNode Node, int Column);
    // The rows between the anchor and Node become the selection (added to it with Add).
    void SelectRange(PQvNode Node, bool Add);
    TQvTreeSelection& Selection() { return FSelection; }
    // Initializes a node first seen (vsInitialized, OnInitNode).
    void InitNode(PQvNode Node);
    bool Updating() const { return FUpdateCount > 0; }

private:
    // IQvTreeNodesHost
    int NodeDataSizeNeeded(int Preset) override;
    bool WantsFreeNode() const override { return static_cast<bool>(OnFreeNode); }
    void FreeNode(PQvNode Node) override;
    void SubtreeDetached(PQvNode Node) override;
    void NodeGone(PQvNode Node) override;
    void AllNodesGone() override;

    // The initial user data needs room for a whole pointer.
    void CheckUserDataSpace() const;
    void FreeAllNodes();
    void AutoSort();
    void SortChildrenOf(PQvNode Parent, int Column, TQvSortDirection Direction);

    TQvTreeNodes FNodes;
    TQvTreeSelection FSelection;
    std::unique_ptr<TQvTreeOptions> FOptions;
    std::unique_ptr<TQvTreeColors> FColors;
    std::unique_ptr<TQvScrollBarOptions> FScrollBarOptions;
    TQvNodeRef* FRefs = nullptr;
    int FUpdateCount = 0;
    PQvNode FFocusedNode = nullptr;
    int FFocusedColumn = -1;
    PQvNode FHotNode = nullptr;
    int FHotColumn = -1;
    int FSortColumn = -1;
    TQvSortDirection FSortDirection = sdAscending;
    uint32_t FSortGeneration = 1;  // children whose SortStamp equals it are in sorted order
};
