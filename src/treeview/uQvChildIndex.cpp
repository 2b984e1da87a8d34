#include "treeview/uQvChildIndex.h"

TQvChildIndex::TQvChildIndex(PQvNode Parent) {
    FChildren.reserve(Parent->ChildCount);
    FTree.reserve(static_cast<size_t>(Parent->ChildCount) + 1);
    FTree.push_back(0);
    uint32_t I = 0;
    for (PQvNode C = Parent->FirstChild; C != nullptr; C = C->NextSibling) {
        C->Index = I++;
        FChildren.push_back(C);
        FTree.push_back(Contribution(C));
    }
    // Linear construction: each cell passes its sum on to the next cell responsible for it.
    const size_t N = FChildren.size();
    for (size_t K = 1; K <= N; ++K) {
        const size_t Up = K + (K & (~K + 1));
        if (Up <= N) FTree[Up] += FTree[K];
    }
    while (static_cast<size_t>(FTop) * 2 <= N) FTop *= 2;
}

void TQvChildIndex::Append(PQvNode Child, int64_t Height) {
    FChildren.push_back(Child);
    const uint32_t K = Count();
    // Cell K covers (K - lowbit(K), K]: the new value plus the sum of the cells before.
    const uint32_t Low = K & (~K + 1);
    FTree.push_back(Height + Prefix(K - 1) - Prefix(K - Low));
    while (FTop * 2 <= K) FTop *= 2;
}

void TQvChildIndex::Add(uint32_t Index, int64_t Delta) {
    const size_t N = FChildren.size();
    for (size_t K = static_cast<size_t>(Index) + 1; K <= N; K += K & (~K + 1)) FTree[K] += Delta;
}

int64_t TQvChildIndex::Prefix(uint32_t Count) const {
    int64_t Sum = 0;
    for (uint32_t K = Count; K > 0; K -= K & (~K + 1)) Sum += FTree[K];
    return Sum;
}

uint32_t TQvChildIndex::Find(int64_t Y, int64_t& Before) const {
    // Binary lifting: the longest prefix whose sum stays at or below Y.
    const uint32_t N = Count();
    uint32_t Pos = 0;
    int64_t Sum = 0;
    for (uint32_t Step = N == 0 ? 0 : FTop; Step > 0; Step /= 2) {
        const uint32_t Next = Pos + Step;
        if (Next <= N && Sum + FTree[Next] <= Y) {
            Pos = Next;
            Sum += FTree[Next];
        }
    }
    Before = Sum;
    return Pos;
}
