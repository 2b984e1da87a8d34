#pragma once
// The selected nodes of a tree, in the order they were selected, with each node's
// vsSelected state kept in step, and the anchor that Shift ranges start from. The tree
// decides what to select; this only keeps the books, and drops nodes that leave the tree.

#include <vector>

#include "treeview/uQvTreeNodes.h"

class TQvTreeSelection {
public:
    size_t Count() const { return FNodes.size(); }
    bool Empty() const { return FNodes.empty(); }
    const std::vector<PQvNode>& Nodes() const { return FNodes; }
    static bool Contains(const TQvNode* Node) { return Node != nullptr && Node->States.Contains(vsSelected); }

    // False when nothing changed.
    bool Add(PQvNode Node);
    bool Remove(PQvNode Node);
    // Unselects everything and hands back the nodes that were selected.
    std::vector<PQvNode> Clear();

    // Where Shift ranges start; nullptr when none.
    PQvNode Anchor() const { return FAnchor; }
    void SetAnchor(PQvNode Node) { FAnchor = Node; }
    // The rows from one node to another, both included, in row order (a node that is no
    // row counts as the row before which it lies).
    static std::vector<PQvNode> RowsBetween(TQvTreeNodes& Nodes, PQvNode From, PQvNode To);

    // Node's subtree leaves the tree (all of it still alive): its nodes leave the selection.
    void SubtreeDetached(PQvNode Node);
    void NodeGone(PQvNode Node) {
        if (FAnchor == Node) FAnchor = nullptr;
    }
    void AllGone() {
        FNodes.clear();
        FAnchor = nullptr;
    }

private:
    std::vector<PQvNode> FNodes;
    PQvNode FAnchor = nullptr;
};
