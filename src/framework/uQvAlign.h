#pragma once
// Layout arithmetic as pure functions, so it is tested without windows: placing aligned
// children in a client rectangle, and moving an anchored child when its parent is resized.

#include <span>

#include "framework/uQvControlTypes.h"
#include "platform/uQvGeometry.h"

class TSizeConstraints;

struct TQvAlignEntry {
    TAlign Align = alNone;
    TRect Bounds;                                   // parent client coordinates; updated
    TRect Margins;                                  // widths kept free around it (zero: none)
    int Order = 0;                                  // z-order, for ties
    const TSizeConstraints* Constraints = nullptr;  // optional
};

// Places the entries aligned alTop, alBottom, alLeft, alRight and alClient in Client, in
// that order of kinds; within a kind by position (top edges downward, bottom edges upward,
// left edges rightward, right edges leftward), ties by Order. Each placed entry takes its
// constrained size (plus margins) off the room left. Other entries are left as they are.
void QvAlignEntries(TRect Client, std::span<TQvAlignEntry> Entries);

// Where a child anchored by Anchors goes when its parent's client size changes from
// OldParent to NewParent, Original being its bounds at OldParent: an edge anchored on both
// sides stretches, one anchored to the far side follows it, one anchored to neither keeps
// its centre at the same proportion (truncating).
TRect QvAnchoredBounds(const TRect& Original, TSize OldParent, TSize NewParent, TAnchors Anchors);
