#include "framework/uQvAlign.h"

#include <algorithm>
#include <vector>

#include "framework/uQvMargins.h"
#include "platform/uQvBase.h"

namespace {

// The sort key of an entry within its kind: smaller goes first.
int PositionKey(const TQvAlignEntry& E) {
    switch (E.Align) {
        case alTop:
            return E.Bounds.Top;
        case alBottom:
            return -E.Bounds.Bottom;
        case alLeft:
            return E.Bounds.Left;
        case alRight:
            return -E.Bounds.Right;
        default:
            return 0;
    }
}

void Place(TRect& Room, TQvAlignEntry& E) {
    const TRect& M = E.Margins;
    int W = E.Bounds.Width(), H = E.Bounds.Height();
    const int RoomW = std::max(0, Room.Width() - M.Left - M.Right);
    const int RoomH = std::max(0, Room.Height() - M.Top - M.Bottom);
    switch (E.Align) {
        case alTop:
        case alBottom:
            W = RoomW;
            break;
        case alLeft:
        case alRight:
            H = RoomH;
            break;
        case alClient:
            W = RoomW;
            H = RoomH;
            break;
        default:
            return;
    }
    if (E.Constraints != nullptr) E.Constraints->Apply(W, H);
    int L = Room.Left + M.Left, T = Room.Top + M.Top;
    switch (E.Align) {
        case alTop:
            Room.Top = std::min(Room.Bottom, Room.Top + M.Top + H + M.Bottom);
            break;
        case alBottom:
            T = Room.Bottom - M.Bottom - H;
            Room.Bottom = std::max(Room.Top, Room.Bottom - M.Top - H - M.Bottom);
            break;
        case alLeft:
            Room.Left = std::min(Room.Right, Room.Left + M.Left + W + M.Right);
            break;
        case alRight:
            L = Room.Right - M.Right - W;
            Room.Right = std::max(Room.Left, Room.Right - M.Left - W - M.Right);
            break;
        default:
            break;
    }
    E.Bounds = Bounds(L, T, W, H);
}

}  // namespace

void QvAlignEntries(TRect Client, std::span<TQvAlignEntry> Entries) {
    std::vector<TQvAlignEntry*> Kind;
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
        Kind.clear();
        for (TQvAlignEntry& E : Entries)
            if (E.Align == A) Kind.push_back(&E);
        std::stable_sort(Kind.begin(), Kind.end(), [](const TQvAlignEntry* X, const TQvAlignEntry* Y) {
            const int KX = PositionKey(*X), KY = PositionKey(*Y);
            return KX != KY ? KX < KY : X->Order < Y->Order;
        });
        for (TQvAlignEntry* E : Kind) Place(Client, *E);
    }
}

TRect QvAnchoredBounds(const TRect& Original, TSize OldParent, TSize NewParent, TAnchors Anchors) {
    auto Axis = [](int Pos, int Size, int OldP, int NewP, bool Near, bool Far, int& OutPos, int& OutSize) {
        OutPos = Pos;
        OutSize = Size;
        if (Near && Far) {
            OutSize = std::max(0, Size + NewP - OldP);
        } else if (Far) {
            OutPos = Pos + NewP - OldP;
        } else if (!Near && OldP > 0) {
            OutPos = MulDiv(Pos + Size / 2, NewP, OldP) - Size / 2;
        }
    };
    int L, W, T, H;
    Axis(Original.Left, Original.Width(), OldParent.cx, NewParent.cx, Anchors.Contains(akLeft),
         Anchors.Contains(akRight), L, W);
    Axis(Original.Top, Original.Height(), OldParent.cy, NewParent.cy, Anchors.Contains(akTop),
         Anchors.Contains(akBottom), T, H);
    return Bounds(L, T, W, H);
}
