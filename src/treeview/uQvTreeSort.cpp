#include "treeview/uQvTreeSort.h"

#include <algorithm>
#include <vector>

namespace {
// Holds the iteration mark for the time a comparison may run, also when one throws.
class TIterationGuard {
public:
    explicit TIterationGuard(TQvTreeNodes& Nodes) : FNodes(Nodes) { FNodes.BeginIteration(); }
    ~TIterationGuard() { FNodes.EndIteration(); }
    TIterationGuard(const TIterationGuard&) = delete;
    TIterationGuard& operator=(const TIterationGuard&) = delete;

private:
    TQvTreeNodes& FNodes;
};
}  // namespace

void QvSortChildren(TQvTreeNodes& Nodes, PQvNode Parent, const TQvNodeCompare& Compare) {
    if (Parent == nullptr) Parent = Nodes.Root();
    if (Parent->ChildCount < 2) return;
    std::vector<PQvNode> Order;
    Order.reserve(Parent->ChildCount);
    for (PQvNode C = Parent->FirstChild; C != nullptr; C = C->NextSibling) Order.push_back(C);
    {
        // A comparison that throws leaves the chain as it was.
        const TIterationGuard Guard(Nodes);
        std::stable_sort(Order.begin(), Order.end(), [&](PQvNode A, PQvNode B) { return Compare(A, B) < 0; });
    }
    Nodes.ReorderChildren(Parent, Order);
}

void QvPlaceLastChild(TQvTreeNodes& Nodes, PQvNode Parent, const TQvNodeCompare& Compare) {
    if (Parent == nullptr) Parent = Nodes.Root();
    PQvNode New = Parent->LastChild;
    if (New == nullptr || New->PrevSibling == nullptr) return;
    PQvNode Target = nullptr;
    {
        const TIterationGuard Guard(Nodes);
        // In order already: the common case of sorted input costs one comparison.
        if (Compare(New->PrevSibling, New) <= 0) return;
        // The first of the others that comes after the new node (upper bound).
        uint32_t Low = 0, High = Parent->ChildCount - 1;
        while (Low < High) {
            const uint32_t Mid = Low + (High - Low) / 2;
            if (Compare(Nodes.ChildAt(Parent, Mid), New) <= 0)
                Low = Mid + 1;
            else
                High = Mid;
        }
        Target = Nodes.ChildAt(Parent, Low);
    }
    Nodes.MoveBefore(New, Target);
}
