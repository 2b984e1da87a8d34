#pragma once
// TPelluxStringTree, TPelluxDrawTree: the string and owner-draw trees without platform
// scroll bars or border. Skinned scroll bars placed beside the tree mirror its scroll
// range and scroll it; a bordered panel around it shows the tree's focus and hover in its
// frame. Bars and panel belong to the form; the tree only refers to them.

#include "treeview/uQvDrawTree.h"
#include "treeview/uQvStringTree.h"

class TPelluxBorderPanel;
class TPelluxScrollBar;

// What both skinned trees add to their tree class TTree.
template <class TTree>
class TPelluxSkinnedTree : public TTree {
public:
    explicit TPelluxSkinnedTree(TComponent* AOwner);
    // The bars stop scrolling the tree that is gone.
    ~TPelluxSkinnedTree() override;

    TPelluxScrollBar* VScrollBar() const { return FVScrollBar; }
    // A bar is set up to follow the tree: range 0, auto-hidden, 20-pixel steps, bound to
    // the tree, its OnChange scrolling the tree. nullptr only forgets the bar.
    void SetVScrollBar(TPelluxScrollBar* Value) { SetBar(FVScrollBar, Value, true); }
    TPelluxScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TPelluxScrollBar* Value) { SetBar(FHScrollBar, Value, false); }
    TPelluxBorderPanel* PelluxBorderPanel() const { return FPelluxBorderPanel; }
    // The panel stops tracking the mouse itself: the tree drives its frame.
    void SetPelluxBorderPanel(TPelluxBorderPanel* Value);

    // The tree's own update, then the bar of that direction follows it.
    void UpdateVerticalScrollBar(bool DoRepaint) override;
    void UpdateHorizontalScrollBar(bool DoRepaint) override;

    void WndProc(TMessage& Message) override;

    // After a bar scrolled the tree; the sender is the bar.
    TNotifyEvent OnScrollBarChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void DoScroll(int DeltaX, int DeltaY) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void SetBar(TPelluxScrollBar*& Field, TPelluxScrollBar* Value, bool Vertical);
    // Forgets Field, which no longer scrolls this tree.
    void ReleaseBar(TPelluxScrollBar*& Field);
    // Copies the tree's scroll information of one direction into its bar.
    void MirrorBar(bool Vertical);
    // A bar moved: the tree takes its position as offset.
    void BarChanged(bool Vertical);
    void UpdatePanelFrame(bool ViaMouse, bool InFocus);

    bool FLockUpdate = false;  // a bar is scrolling the tree
    TPelluxScrollBar* FVScrollBar = nullptr;
    TPelluxScrollBar* FHScrollBar = nullptr;
    TPelluxBorderPanel* FPelluxBorderPanel = nullptr;
};

class TPelluxStringTree : public TPelluxSkinnedTree<TQvStringTree> {
public:
    explicit TPelluxStringTree(TComponent* AOwner) : TPelluxSkinnedTree(AOwner) {}
};

class TPelluxDrawTree : public TPelluxSkinnedTree<TQvDrawTree> {
public:
    explicit TPelluxDrawTree(TComponent* AOwner) : TPelluxSkinnedTree(AOwner) {}
};

extern template class TPelluxSkinnedTree<TQvStringTree>;
extern template class TPelluxSkinnedTree<TQvDrawTree>;

// Registers both trees for stored layouts. Calling it again does nothing.
void RegisterPelluxTrees();
