#pragma once
// The mouse, keyboard, wheel and scroll-bar handling of a tree: presses on buttons, check
// boxes and rows, clicks on release, hot tracking, the cursor, the navigation keys with
// the selection they carry, and scrolling. Every step that raises an event checks that
// the tree and the nodes it holds still live before it goes on.

#include <vector>

#include "treeview/uQvTreeTypes.h"

class TQvBaseTree;

class TQvTreeInput {
public:
    explicit TQvTreeInput(TQvBaseTree* Tree) : FTree(Tree) {}

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseMove(TShiftState Shift, int X, int Y);
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseLeave();
    void CancelMode();
    void Wheel(TShiftState Shift, int WheelDelta);
    // A scroll-bar message: its code and (for thumb messages) the position.
    void ScrollMessage(bool Vertical, int Code, int Position);
    // WM_SETCURSOR over the client area; true when answered.
    bool SetCursor(TMessage& Message);
    void KeyDown(WORD& Key, TShiftState Shift);
    void KeyUp(WORD& Key, TShiftState Shift);
    void KeyPress(Char& Key);
    // A keyboard context menu: the point at the centre of the focused cell (screen
    // coordinates); false without a focused row.
    bool FocusedCellCentre(TPoint& Screen);
    // A node leaves the tree (nullptr: all of them).
    void NodeGone(PQvNode Node);
    // A rubber band drawn from empty space selects the rows it crosses (toMultiSelect).
    bool Banding() const { return FBanding; }
    // The band in client coordinates.
    TRect BandRect() const;
    // Ends the band; Restore gives back the selection it started from.
    void EndBand(bool Restore);
    // The node whose expand button the mouse is over (nullptr: none).
    PQvNode HotButtonNode() const { return FHotButton; }

private:
    // The number-pad action for *, +, - and /.
    void NumPadKey(WORD Key, TShiftState Shift);
    // Moves the focus by a navigation key; false when the key is no navigation key.
    bool Navigate(WORD Key, TShiftState Shift);
    PQvNode PageTarget(PQvNode From, bool Down);
    // The focused column, or the main column when none is.
    int FocusColumn() const;
    // Moves the focused column by as many columns as fit in the client width.
    void PageColumns(bool Backwards);
    void Focus(PQvNode Node);
    static TCheckState NextCheckState(TCheckType Type, TCheckState State);
    static TCheckState Pressed(TCheckState State);
    static TCheckState Unpressed(TCheckState State);
    // Asks OnChecking, then sets the state.
    void ApplyCheck(PQvNode Node, TCheckState State);
    // Sets the state (unchecking the other radio buttons of the group) and raises OnChecked.
    void SetChecked(PQvNode Node, TCheckState State);

    // Selects the band's start selection and the rows the band crosses.
    void SelectBandRows();

    TQvBaseTree* FTree;
    // Repaints the rows whose button turns hot or cold (toHotTrack).
    void SetHotButton(PQvNode Node);

    PQvNode FHotButton = nullptr;
    bool FBanding = false;
    TPoint FBandStart, FBandEnd;       // content coordinates
    std::vector<PQvNode> FBandBase;    // the selection the band adds to
    PQvNode FCheckNode = nullptr;       // the check box pressed with the mouse or Space
    TCheckState FCheckRestore = csUncheckedNormal;  // its state before the press
    TCheckState FPendingCheck = csUncheckedNormal;  // what Space will apply
    bool FSpaceCheck = false;
    int FPressedColumn = -2;  // the column of the last left press in the rows (-2: none)
    bool FNumPadDown = false;  // a number-pad key went down; its character is no second key
    bool FPressOnFocused = false;  // the last left press hit the node focused before it
};
