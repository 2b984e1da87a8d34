#include "treeview/uQvTreeSelection.h"

#include <algorithm>

bool TQvTreeSelection::Add(PQvNode Node) {
    if (Node == nullptr || Contains(Node)) return false;
    Node->States.Include(vsSelected);
    FNodes.push_back(Node);
    return true;
}

bool TQvTreeSelection::Remove(PQvNode Node) {
    if (!Contains(Node)) return false;
    Node->States.Exclude(vsSelected);
    if (auto It = std::find(FNodes.rbegin(), FNodes.rend(), Node); It != FNodes.rend()) FNodes.erase(std::next(It).base());
    return true;
}

std::vector<PQvNode> TQvTreeSelection::Clear() {
    std::vector<PQvNode> Old;
    Old.swap(FNodes);
    for (PQvNode N : Old) N->States.Exclude(vsSelected);
    return Old;
}

std::vector<PQvNode> TQvTreeSelection::RowsBetween(TQvTreeNodes& Nodes, PQvNode From, PQvNode To) {
    std::vector<PQvNode> Rows;
    if (From == nullptr || To == nullptr) return Rows;
    auto RowOf = [&](PQvNode N) { return Nodes.IsRow(N) ? N : Nodes.GetNextVisible(N); };
    PQvNode A = RowOf(From), B = RowOf(To);
    if (A == nullptr || B == nullptr) return Rows;
    if (Nodes.NodeTop(A) > Nodes.NodeTop(B)) std::swap(A, B);
    for (PQvNode N = A; N != nullptr; N = Nodes.GetNextVisible(N)) {
        Rows.push_back(N);
        if (N == B) break;
    }
    return Rows;
}

void TQvTreeSelection::SubtreeDetached(PQvNode Node) {
    if (FAnchor != nullptr && (FAnchor == Node || [&] {
            for (PQvNode P = FAnchor->Parent; P != nullptr; P = P->Parent)
                if (P == Node) return true;
            return false;
        }()))
        FAnchor = nullptr;
    if (FNodes.empty()) return;
    // Unmark the subtree's nodes (a walk bounded by the subtree), then drop them in one pass.
    bool Any = false;
    for (PQvNode N = Node; N != nullptr;) {
        if (N->States.Contains(vsSelected)) {
            N->States.Exclude(vsSelected);
            Any = true;
        }
        if (N->FirstChild != nullptr) {
            N = N->FirstChild;
            continue;
        }
        while (N != nullptr && N != Node && N->NextSibling == nullptr) N = N->Parent;
        N = (N == nullptr || N == Node) ? nullptr : N->NextSibling;
    }
    if (Any) std::erase_if(FNodes, [](PQvNode N) { return !N->States.Contains(vsSelected); });
}
