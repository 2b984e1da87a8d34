#pragma once
// The position index of the children of one node with many children: the children in
// order and a Fenwick tree over the heights they add to their parent, so that the row
// at a height, and the height above a child, are found in O(log n) among millions of
// siblings, and a child's height change costs O(log n) too. Appending keeps the index;
// other structural changes drop it and it is rebuilt when next needed.

#include <cstdint>
#include <vector>

#include "treeview/uQvTreeTypes.h"

class TQvChildIndex {
public:
    // Indexes the children of Parent, numbering their Index from 0.
    explicit TQvChildIndex(PQvNode Parent);

    uint32_t Count() const { return static_cast<uint32_t>(FChildren.size()); }
    PQvNode Child(uint32_t Index) const { return FChildren[Index]; }
    // The child added as the new last one, adding Height.
    void Append(PQvNode Child, int64_t Height);
    // The child at Index now adds Delta more.
    void Add(uint32_t Index, int64_t Delta);
    // What the first Count children add together.
    int64_t Prefix(uint32_t Count) const;
    // The first child whose span covers Y (0 <= Y < the sum of all): its index, with
    // what the children before it add in Before. Count() when Y lies beyond.
    uint32_t Find(int64_t Y, int64_t& Before) const;

    // What a child adds to its parent's height: nothing while it is hidden.
    static int64_t Contribution(PQvNode Child) {
        return Child->States.Contains(vsVisible) ? static_cast<int64_t>(Child->TotalHeight) : 0;
    }

private:
    std::vector<PQvNode> FChildren;
    std::vector<int64_t> FTree;  // Fenwick tree, 1-based (FTree[0] unused)
    uint32_t FTop = 1;           // highest power of two not above Count()
};
