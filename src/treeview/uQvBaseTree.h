#pragma once
// TQvBaseTree: the virtual tree control. It owns the node model, the update bracket, the
// focused, selected and hot nodes, scrolling, geometry (rows, cells, hit testing) and the
// row loop of painting; the mouse and keyboard go through TQvTreeInput. The string and
// draw trees derive from it and supply what cells show.
//
// Handlers may delete nodes or clear the tree from any event but OnFreeNode (where that
// is the iteration error); code that goes on after an event holds its nodes through
// TQvNodeRef, which reads nullptr once the node is gone.
//
// Limits: at most 4,294,967,294 nodes; row heights 0..65535; content taller or wider than
// 2,147,483,647 pixels scrolls only that far.

#include <memory>

#include "framework/uQvForms.h"
#include "framework/uQvWinControl.h"
#include "treeview/uQvTreeHitTest.h"
#include "treeview/uQvTreeNodes.h"
#include "treeview/uQvTreeOptions.h"
#include "treeview/uQvTreeSelection.h"

class TQvBaseTree;
class TQvTreeInput;

// A node held across events: Node() is nullptr once the node (or the tree) is gone.
class TQvNodeRef {
public:
    TQvNodeRef(TQvBaseTree* Tree, PQvNode Node);
    ~TQvNodeRef();
    TQvNodeRef(const TQvNodeRef&) = delete;
    TQvNodeRef& operator=(const TQvNodeRef&) = delete;
    PQvNode Node() const { return FNode; }

private:
    friend class TQvBaseTree;
    TQvBaseTree* FTree;
    TQvAliveCheck FAlive;
    PQvNode FNode;
    TQvNodeRef* FNext = nullptr;
};

class TQvBaseTree : public TCustomControl, private IQvTreeNodesHost {
public:
    explicit TQvBaseTree(TComponent* AOwner);
    ~TQvBaseTree() override;
    // Frees the nodes (with OnFreeNode) while the tree is still whole.
    void BeforeDestruction() override;

    // ---- Update bracket ----
    // While open: no repaint, no scroll-bar update, no automatic sort; the last EndUpdate
    // recounts, updates the scroll bars and repaints.
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

    // ---- Geometry (client coordinates unless said otherwise) ----
    PQvNode GetNodeAt(int X, int Y);
    PQvNode GetNodeAt(TPoint P) { return GetNodeAt(P.X, P.Y); }
    // Relative: X, Y are client coordinates, else content coordinates. NodeTop receives
    // the row's top in the same coordinates.
    PQvNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    THitInfo GetHitTestInfoAt(int X, int Y, bool Relative = true);
    // The node's cell (Column -1: the whole row), or its text part.
    TRect GetDisplayRect(PQvNode Node, int Column, bool TextOnly);
    // Expands the parents and scrolls the row into view (centred when asked); true when
    // the view moved.
    bool ScrollIntoView(PQvNode Node, bool Center, bool Horizontally = false);
    // Content size (saturated to the int range).
    int RangeX() const { return FRangeX; }
    int RangeY();
    // The layout of Node's cell in Column.
    TQvCellGeometry CellGeometry(PQvNode Node, int Column);
    // Node's content width in Column (texts measured, or as the owner draw says).
    int NodeWidth(PQvNode Node, int Column);

    // ---- Scrolling ----
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    // Offsets are 0 or negative and clamped to the content.
    void SetOffsetX(int Value) { SetOffsetXY(Value, FOffsetY); }
    void SetOffsetY(int Value) { SetOffsetXY(FOffsetX, Value); }
    void SetOffsetXY(int X, int Y);
    void UpdateScrollBars(bool DoRepaint);
    virtual void UpdateVerticalScrollBar(bool DoRepaint);
    virtual void UpdateHorizontalScrollBar(bool DoRepaint);

    // ---- Painting ----
    // The node's row (nothing inside an update or before the window exists).
    void InvalidateNode(PQvNode Node);
    // Node's row and everything below it.
    void InvalidateToBottom(PQvNode Node);
    // Paints the rows that meet Window (client coordinates) onto Canvas, Window's top-left
    // going to Target.
    virtual void PaintTree(TCanvas* Canvas, const TRect& Window, TPoint Target);

    // ---- Settings ----
    TQvTreeOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(const TQvTreeOptions* Value) { FOptions->Assign(Value); }
    TQvTreeColors* Colors() const { return FColors.get(); }
    void SetColors(const TQvTreeColors* Value) { FColors->Assign(Value); }
    TQvScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    void SetScrollBarOptions(const TQvScrollBarOptions* Value) { FScrollBarOptions->Assign(Value); }
    int DefaultNodeHeight() const { return FNodes.DefaultNodeHeight(); }
    // New nodes get it; existing rows keep their heights.
    void SetDefaultNodeHeight(int Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    TQvNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TQvNodeAlignment Value);
    TQvLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TQvLineStyle Value);
    TQvLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TQvLineMode Value);
    TQvButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TQvButtonStyle Value);
    TQvButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TQvButtonFillMode Value);
    TQvCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TQvCheckImageKind Value);
    int SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(int Value);
    int SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(int Value);
    TQvDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TQvDrawSelectionMode Value);
    TQvHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TQvHintMode Value) { FHintMode = Value; }
    int EditDelay() const { return FEditDelay; }
    void SetEditDelay(int Value) { FEditDelay = Value < 0 ? 0 : Value; }
    TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(TCursor Value) { FHotCursor = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsNone or bsSingle; other values count as bsSingle.
    void SetBorderStyle(TFormBorderStyle Value);

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
    TQvNodeClickEvent OnNodeClick;
    TQvNodeClickEvent OnNodeDblClick;
    TQvColumnClickEvent OnColumnClick;
    TQvGetCursorEvent OnGetCursor;
    TQvScrollEvent OnScroll;
    TQvKeyActionEvent OnKeyAction;

    void WndProc(TMessage& Message) override;

protected:
    friend class TQvTreeInput;
    friend class TQvNodeRef;

    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoEnter() override;
    void DoExit() override;

    // ---- Hooks for derived trees ----
    // Columns: without a header the tree is one column, -1, as wide as the content.
    virtual int ColumnCount() const { return 0; }
    virtual int MainColumn() const { return -1; }
    // The column at content x and its edges (content coordinates).
    virtual int ColumnAt(int X, int& Left, int& Right);
    // A column's edges (content coordinates); -1: the whole row.
    virtual void ColumnSpan(int Column, int& Left, int& Right);
    virtual int ColumnsWidth() const { return 0; }
    virtual TAlignment ColumnAlignment(int Column) const;
    // The width of a node's content in a column; 0 unless a derived tree measures it.
    virtual int DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas);
    // Image widths (0: no image) and the check image width.
    virtual int ImageWidth(PQvNode Node, int Column, TQvImageInfoIndex Kind);
    virtual int CheckImageWidth() const { return 16; }
    virtual int ButtonWidth() const { return 9; }
    // One cell of one row, with the canvas's origin at the row's top.
    virtual void DoPaintNode(TQvPaintInfo& PaintInfo);
    virtual void DoInitNode(PQvNode Node);
    virtual void DoFreeNode(PQvNode Node);
    virtual void DoExpanded(PQvNode Node);
    virtual void DoCollapsed(PQvNode Node);
    // After every scroll, with the change of the offsets.
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoNodeClick(const THitInfo& HitInfo);
    virtual void DoNodeDblClick(const THitInfo& HitInfo);
    virtual void DoColumnClick(int Column, TShiftState Shift);
    virtual void DoChecked(PQvNode Node);
    virtual bool DoChecking(PQvNode Node, TCheckState& NewState);
    virtual void DoGetCursor(TCursor& Cursor);
    // Raised before a structural change; the editor comes later, so nothing yet.
    virtual void StructureChanging() {}
    void OptionsChanged();

    // Focus with OnFocusChanging / OnFocusChanged; false when refused or the tree is gone.
    bool ChangeFocus(PQvNode Node, int Column);
    // The hot node and column, with OnHotChange and the repaints.
    void SetHot(PQvNode Node, int Column);
    // The rows between the anchor and Node become the selection (added to it with Add).
    void SelectRange(PQvNode Node, bool Add);
    // Initializes a node first seen (vsInitialized, OnInitNode).
    void InitNode(PQvNode Node);
    bool Updating() const { return FUpdateCount > 0; }
    // After a structural change outside the bracket: offsets, scroll bars, repaint.
    void StructureChanged();

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
    void ClampOffsets();
    int ClientHeightOrZero() const;
    void ComputeRangeX();
    void FreeAllNodes();

    TQvTreeNodes FNodes;
    TQvTreeSelection FSelection;
    std::unique_ptr<TQvTreeInput> FInput;
    std::unique_ptr<TQvTreeOptions> FOptions;
    std::unique_ptr<TQvTreeColors> FColors;
    std::unique_ptr<TQvScrollBarOptions> FScrollBarOptions;
    TQvNodeRef* FRefs = nullptr;
    int FUpdateCount = 0;
    PQvNode FFocusedNode = nullptr;
    int FFocusedColumn = -1;
    PQvNode FHotNode = nullptr;
    int FHotColumn = -1;
    int FOffsetX = 0, FOffsetY = 0;
    int FRangeX = 0;
    int FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TQvNodeAlignment FNodeAlignment = naProportional;
    TQvLineStyle FLineStyle = lsDotted;
    TQvLineMode FLineMode = lmNormal;
    TQvButtonStyle FButtonStyle = bsRectangle;
    TQvButtonFillMode FButtonFillMode = fmTreeColor;
    TQvCheckImageKind FCheckImageKind = ckSystemDefault;
    int FSelectionCurveRadius = 0;
    int FSelectionBlendFactor = 128;
    TQvDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    TQvHintMode FHintMode = hmDefault;
    int FEditDelay = 1000;
    TCursor FHotCursor = crDefault;
    TFormBorderStyle FBorderStyle = bsSingle;
};
