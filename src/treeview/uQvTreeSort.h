#pragma once
// Sorting siblings: a stable merge sort of one node's children, and the placing of a new
// last child among siblings already in order with a binary search, so that adding nodes
// one by one to a sorted list costs O(log n) comparisons each instead of a sort each.
// Deleting nodes from the comparison is the iteration error.

#include <functional>

#include "treeview/uQvTreeNodes.h"

// Negative, 0 or positive for A before, equal to or after B.
using TQvNodeCompare = std::function<int(PQvNode A, PQvNode B)>;

// Sorts Parent's children (nullptr: the top level); equal nodes keep their order.
void QvSortChildren(TQvTreeNodes& Nodes, PQvNode Parent, const TQvNodeCompare& Compare);
// Moves Parent's last child behind the last of the siblings before it that do not come
// after it, as a stable sort of the whole list would; the others must be in order.
void QvPlaceLastChild(TQvTreeNodes& Nodes, PQvNode Parent, const TQvNodeCompare& Compare);
