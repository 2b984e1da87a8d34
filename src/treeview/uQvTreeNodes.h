#pragma once
// The node model of the virtual tree: the hidden root and its nodes, their user data,
// adding, inserting, deleting and clearing, iteration in tree order and over visible
// rows, expansion, visibility, row heights, and the cached totals with the row position
// index. It knows nothing of windows; the tree control owns one and answers its few
// questions through IQvTreeNodesHost.
//
// Totals: every node keeps TotalCount and TotalHeight. Outside a deferral bracket each
// change corrects its ancestors at once (O(depth)). Inside one (the tree's update
// bracket) a change only marks the node and its ancestors stale, which is O(1) amortized,
// so building deep trees stays linear; anything that reads positions recounts the stale
// part first, and closing the bracket does too.
//
// Nothing here recurses: deep trees (hundreds of thousands of levels) are walked with
// loops only.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "treeview/uQvChildIndex.h"
#include "treeview/uQvNodePool.h"
#include "treeview/uQvTreeTypes.h"

class IQvTreeNodesHost {
public:
    // The user data size for the first node when NodeDataSize is -1 (the preset is the
    // size of a pointer, so the initial user data holds a whole pointer).
    virtual int NodeDataSizeNeeded(int Preset) = 0;
    // Whether FreeNode wants to hear of nodes at all (a clear can then drop every node
    // at once).
    virtual bool WantsFreeNode() const = 0;
    // A node that was initialized or whose data was read is about to be freed. Its
    // children are gone already.
    virtual void FreeNode(PQvNode Node) = 0;
    // Node and its subtree have left the tree and will be freed; all of them still live.
    virtual void SubtreeDetached(PQvNode Node) = 0;
    // Node's memory goes now: forget every reference to it. Must not throw.
    virtual void NodeGone(PQvNode Node) = 0;
    // Every node went at once.
    virtual void AllNodesGone() = 0;

protected:
    ~IQvTreeNodesHost() = default;
};

class TQvTreeNodes {
public:
    explicit TQvTreeNodes(IQvTreeNodesHost* Host);
    // Frees the remaining nodes without telling the host.
    ~TQvTreeNodes();
    TQvTreeNodes(const TQvTreeNodes&) = delete;
    TQvTreeNodes& operator=(const TQvTreeNodes&) = delete;

    PQvNode Root() { return &FRoot; }
    const TQvNode* Root() const { return &FRoot; }

    // ---- Settings ----
    // -1: asked from the host when the first node is made. Setting it is allowed only
    // while the tree holds no node; values below -1 count as -1.
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    int DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(int Value);

    // ---- Structure ----
    // A new last child of Parent (nullptr: the root).
    PQvNode AddChild(PQvNode Parent) { return InsertNode(Parent, amAddChildLast); }
    // A new node placed relative to Node; nullptr for amNoWhere or when the place does not
    // exist (a sibling of the root).
    PQvNode InsertNode(PQvNode Node, TQvAttachMode Mode);
    // Removes Node and its subtree (children first, the host's FreeNode for each), then
    // renumbers the following siblings unless ReIndex is false. Nothing for nullptr, the
    // root or a node already being deleted. During an iteration (a free notification
    // included) it raises "Deleting nodes during tree iteration leads to invalid pointers.".
    void DeleteNode(PQvNode Node, bool ReIndex = true);
    // Removes every child of Node (nullptr: the root), as DeleteNode does.
    void DeleteChildren(PQvNode Node);
    void Clear() { DeleteChildren(nullptr); }
    // Puts Parent's children in the given order (the same nodes) and renumbers them.
    void ReorderChildren(PQvNode Parent, const std::vector<PQvNode>& Order);
    // Moves Node in front of its sibling Before (nullptr: to the end) and renumbers.
    void MoveBefore(PQvNode Node, PQvNode Before);
    // Parent's child at Index (through the position index where there is one).
    PQvNode ChildAt(PQvNode Parent, uint32_t Index);
    // Marks a walk over the tree that must not lose nodes under its feet.
    void BeginIteration() { ++FIterating; }
    void EndIteration() { --FIterating; }
    bool Iterating() const { return FIterating > 0; }
    // Nodes in the tree (the root not counted).
    uint32_t Count() const { return static_cast<uint32_t>(FPool.LiveCount()); }
    // Start of the node's user data; nullptr for nullptr, the root or a size of 0.
    void* NodeData(const TQvNode* Node) const;
    static size_t RecordSize() { return sizeof(TQvNode); }

    // ---- Iteration (nullptr at the end) ----
    PQvNode GetFirst() const { return FRoot.FirstChild; }
    PQvNode GetLast() const;
    // Tree order: parents before children.
    PQvNode GetNext(PQvNode Node) const;
    PQvNode GetPrevious(PQvNode Node) const;
    // The next node in tree order that is not in Node's subtree.
    PQvNode GetNextNoChild(PQvNode Node) const;
    int GetNodeLevel(const TQvNode* Node) const;
    bool IsAncestor(const TQvNode* Ancestor, const TQvNode* Node) const;

    // Rows: nodes that are visible and whose ancestors are all visible and expanded.
    bool IsRow(const TQvNode* Node) const;
    PQvNode GetFirstVisible() const;
    PQvNode GetLastVisible() const;
    // The next or previous row in tree order (from any node, row or not).
    PQvNode GetNextVisible(PQvNode Node) const;
    PQvNode GetPreviousVisible(PQvNode Node) const;
    PQvNode GetNextVisibleSibling(PQvNode Node) const;
    PQvNode GetPreviousVisibleSibling(PQvNode Node) const;
    PQvNode GetFirstVisibleChild(PQvNode Node) const;
    PQvNode GetLastVisibleChild(PQvNode Node) const;
    // The last row in Node's subtree (Node itself when no row of it follows).
    PQvNode GetLastVisibleDescendant(PQvNode Node) const;

    // ---- State ----
    // Expanding works with or without children; neither raises events.
    void SetExpanded(PQvNode Node, bool Value);
    void SetVisible(PQvNode Node, bool Value);
    // Clamped to 0..65535.
    void SetNodeHeight(PQvNode Node, int Value);
    void SetHasChildren(PQvNode Node, bool Value);

    // ---- Totals and positions ----
    void BeginDefer() { ++FDefer; }
    // The last one recounts what became stale.
    void EndDefer();
    bool Deferring() const { return FDefer > 0; }
    // Recounts stale totals now.
    void ValidateTotals();
    // The height of all rows.
    int64_t ContentHeight();
    // The content y of Node's row top; -1 when Node is not a row.
    int64_t NodeTop(PQvNode Node);
    // The row covering content y (y < 0 counts as 0); nullptr below the last row. RowTop
    // receives that row's top.
    PQvNode NodeAt(int64_t Y, int64_t* RowTop = nullptr);
    // Number of rows.
    uint32_t VisibleCount() const;

private:
    // The first visible node from From on, following Link.
    PQvNode FirstVisibleAlong(PQvNode From, PQvNode TQvNode::*Link) const;
    enum : uint8_t { tfStale = 1, tfIndexed = 2 };

    PQvNode MakeNode();
    void Link(PQvNode Node, PQvNode Target, TQvAttachMode Mode);
    void Unlink(PQvNode Node, bool ReIndex);
    void FreeChain(PQvNode First);
    void CheckNotIterating() const;

    // What a child's contribution change does up the tree (the child itself updated).
    void ContributionChanged(PQvNode Child, int64_t Delta);
    // Parent's children add Delta more.
    void ChildSumChanged(PQvNode Parent, int64_t Delta);
    void CountChanged(PQvNode From, int64_t Delta);
    void MarkStale(PQvNode Node);
    int64_t ChildSum(PQvNode Parent);
    // What the children before Child add to their parent.
    int64_t HeightBefore(PQvNode Child);
    TQvChildIndex* Index(PQvNode Parent);
    void DropIndex(PQvNode Parent);

    IQvTreeNodesHost* FHost;
    TQvNode FRoot{};
    TQvNodePool FPool;
    int FNodeDataSize = -1;
    int FDefaultNodeHeight = 18;
    int FDefer = 0;
    int FIterating = 0;
    std::unordered_map<PQvNode, std::unique_ptr<TQvChildIndex>> FIndexes;
};
