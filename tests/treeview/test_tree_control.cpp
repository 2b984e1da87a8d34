// The tree control: focus and selection through keys and clicks (single, Ctrl, Shift
// ranges), the key table's moves, hit testing at the edges of the indentation, the check
// box and the text, node lookup after scrolling, the wheel, and handlers that delete
// nodes, clear the tree or free it from their own events.

#include <cstring>

#include "platform/uQvWindows.h"
#include "platform/uQvScroll.h"
#include "support/qv_error_of.h"
#include "treeview/tree_fixture.h"

namespace {

using Nodes = std::vector<PQvNode>;

TEST_F(TreeTest, KeysMoveTheFocusAndCarryTheSelection) {
    auto* T = NewTree();  // 5 rows of 20 pixels fit
    const Nodes R = AddRows(T, 8, 2);
    std::vector<std::string> Log;
    T->OnFocusChanged = [&](TObject*, PQvNode N, int) { Log.push_back(N == R[0] ? "0" : N == R[1] ? "1" : "?"); };
    Key(VK_DOWN);  // nothing focused: the first row
    EXPECT_EQ(T->FocusedNode(), R[0]);
    EXPECT_EQ(T->SelectedNodes(), Nodes{R[0]});
    Key(VK_RIGHT);  // expands
    EXPECT_TRUE(T->Expanded(R[0]));
    EXPECT_EQ(T->FocusedNode(), R[0]);
    Key(VK_RIGHT);  // into the first child
    EXPECT_EQ(T->FocusedNode(), R[0]->FirstChild);
    Key(VK_BACK);  // back to the parent
    EXPECT_EQ(T->FocusedNode(), R[0]);
    Key(VK_LEFT);  // collapses
    EXPECT_FALSE(T->Expanded(R[0]));
    Key(VK_DOWN);
    EXPECT_EQ(T->FocusedNode(), R[1]);
    EXPECT_EQ(T->SelectedNodes(), Nodes{R[1]});
    EXPECT_EQ(Log, (std::vector<std::string>{"0", "?", "0", "1"}));
    Key(VK_END);
    EXPECT_EQ(T->FocusedNode(), R[7]);
    EXPECT_EQ(T->OffsetY(), -60);  // scrolled into view: 8 rows, 5 shown
    Key(VK_DOWN);  // at the last row nothing moves
    EXPECT_EQ(T->FocusedNode(), R[7]);
    Key(VK_PRIOR);  // a page up: 4 rows whose heights stay below 100
    EXPECT_EQ(T->FocusedNode(), R[3]);
    Key(VK_NEXT);
    EXPECT_EQ(T->FocusedNode(), R[7]);
    Key(VK_HOME);
    EXPECT_EQ(T->FocusedNode(), R[0]);
    EXPECT_EQ(T->OffsetY(), 0);
    Key(VK_MULTIPLY);  // expands the focused node fully
    EXPECT_TRUE(T->Expanded(R[0]));
    Key(VK_DIVIDE);
    EXPECT_FALSE(T->Expanded(R[0]));
    Key(VK_DOWN, {VK_CONTROL});  // Ctrl scrolls by a default row height only
    EXPECT_EQ(T->FocusedNode(), R[0]);
    EXPECT_EQ(T->OffsetY(), -20);

    // Multi-selection: Shift extends from the anchor, Ctrl moves without selecting, a plain
    // move makes the focused row the only selected one.
    TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    T->TreeOptions()->SetSelectionOptions(Sel.Include(toMultiSelect));
    Key(VK_DOWN, {VK_SHIFT});
    Key(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(T->SelectedCount(), 3u);
    EXPECT_EQ(T->RangeAnchor(), R[0]);
    Key(VK_UP, {VK_SHIFT});  // the range shrinks back
    EXPECT_EQ(T->SelectedNodes(), (Nodes{R[0], R[1]}));
    Key(VK_DOWN, {VK_CONTROL});
    EXPECT_EQ(T->SelectedCount(), 2u);
    Key(VK_DOWN);
    EXPECT_EQ(T->SelectedNodes(), Nodes{R[2]});
    Key('A', {VK_CONTROL});
    EXPECT_EQ(T->SelectedCount(), 8u);
}

TEST_F(TreeTest, ClicksFocusSelectAndToggle) {
    auto* T = NewTree();
    TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    T->TreeOptions()->SetSelectionOptions(Sel.Include(toMultiSelect).Include(toFullRowSelect));
    const Nodes R = AddRows(T, 3, 1);
    std::vector<PQvNode> Clicked;
    T->OnNodeClick = [&](TObject*, const THitInfo& H) { Clicked.push_back(H.HitNode); };
    // Indent 18, root shown: a top-level row's button is the first 18 pixels.
    ClickAt(T, 9, 10);
    EXPECT_TRUE(T->Expanded(R[0]));
    EXPECT_EQ(T->FocusedNode(), nullptr);  // a button press only toggles
    ClickAt(T, 100, 50);  // row 2: R[1]
    EXPECT_EQ(T->FocusedNode(), R[1]);
    EXPECT_EQ(T->SelectedNodes(), Nodes{R[1]});
    Headless->KeyDown(VK_CONTROL);
    ClickAt(T, 100, 70);
    ClickAt(T, 100, 10);
    Headless->KeyUp(VK_CONTROL);
    RunScript();
    EXPECT_EQ(T->SelectedNodes(), (Nodes{R[1], R[2], R[0]}));
    Headless->KeyDown(VK_SHIFT);
    ClickAt(T, 100, 70);  // from the anchor R[0] down to R[2], the child included
    Headless->KeyUp(VK_SHIFT);
    RunScript();
    EXPECT_EQ(T->SelectedCount(), 4u);
    EXPECT_TRUE(T->Selected(R[0]->FirstChild));
    ClickAt(T, 100, 95);  // below the last row: a plain press on empty space clears
    EXPECT_EQ(T->SelectedCount(), 0u);
    EXPECT_EQ(Clicked, (Nodes{R[0], R[1], R[2], R[0], R[2]}));
    // A double click on the text toggles with toToggleOnDblClick.
    DoubleClickAt(T, 100, 50);
    EXPECT_TRUE(T->Expanded(R[1]));
}

TEST_F(TreeTest, HitTestingFollowsTheIndentationCheckBoxAndText) {
    auto* T = NewTree();
    TQvMiscOptions Misc = T->TreeOptions()->MiscOptions();
    T->TreeOptions()->SetMiscOptions(Misc.Include(toCheckSupport));
    const Nodes R = AddRows(T, 2, 1);
    T->SetExpanded(R[0], true);
    PQvNode Child = R[0]->FirstChild;
    T->SetCheckType(R[1], ctCheckBox);
    auto At = [&](int X, int Y) { return T->GetHitTestInfoAt(X, Y, true); };
    // Child: level 1 with the root shown, indentation 36; its row has no button.
    EXPECT_EQ(At(34, 30).HitPositions, THitPositions{hiOnItem});
    EXPECT_EQ(At(34, 30).HitNode, Child);
    // R[1] is collapsed with a child: two pixels left of the indentation's end.
    EXPECT_EQ(At(16, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemButton, hiOnItemButtonExact}));
    EXPECT_EQ(At(5, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemButton}));
    // The margin after the indentation still counts as the button; then the check box
    // (16 + 2).
    EXPECT_EQ(At(21, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemButton, hiOnItemButtonExact}));
    EXPECT_EQ(At(22, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemCheckbox}));
    EXPECT_EQ(At(39, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemCheckbox}));
    // No measured text: beyond the text start is right of the text.
    EXPECT_EQ(At(40, 50).HitPositions, (THitPositions{hiOnItem, hiOnItemRight}));
    // Outside the client area and below the rows.
    EXPECT_EQ(At(-1, 5).HitPositions, THitPositions{hiToLeft});
    EXPECT_EQ(At(5, 101).HitPositions, THitPositions{hiBelow});
    EXPECT_EQ(At(5, 70).HitPositions, THitPositions{hiNowhere});
    EXPECT_EQ(At(5, 70).HitNode, nullptr);
    EXPECT_EQ(At(5, 70).HitColumn, -1);

    // A click on the check box checks on release, asking first.
    std::vector<TCheckState> Asked;
    T->OnChecking = [&](TObject*, PQvNode, TCheckState& S, bool&) { Asked.push_back(S); };
    int Checked = 0;
    T->OnChecked = [&](TObject*, PQvNode) { ++Checked; };
    ClickAt(T, 30, 50);
    EXPECT_EQ(T->CheckState(R[1]), csCheckedNormal);
    EXPECT_EQ(Asked, std::vector<TCheckState>{csCheckedNormal});
    EXPECT_EQ(Checked, 1);
    // Space toggles back: asked on the way down, applied on release.
    T->SetFocusedNode(R[1]);
    Key(VK_SPACE);
    EXPECT_EQ(T->CheckState(R[1]), csUncheckedNormal);
    EXPECT_EQ(Checked, 2);
}

TEST_F(TreeTest, LookupsScrollingAndTheWheel) {
    auto* T = NewTree();
    T->SetDefaultNodeHeight(25);
    const Nodes R = AddRows(T, 10);
    EXPECT_EQ(T->RangeY(), 250);
    EXPECT_EQ(T->GetNodeAt(0, 99), R[3]);
    EXPECT_EQ(T->GetNodeAt(0, -5), R[0]);
    T->SetOffsetY(-25);
    EXPECT_EQ(T->GetNodeAt(0, 99), R[4]);
    EXPECT_EQ(T->GetDisplayRect(R[4], -1, false), Rect(0, 75, 200, 100));
    T->SetOffsetY(0);
    // One notch with three lines a notch scrolls three default rows.
    MoveTo(T, 50, 50);
    Headless->Wheel(-120);
    RunScript();
    EXPECT_EQ(T->OffsetY(), -75);
    Headless->Wheel(-600);
    RunScript();
    EXPECT_EQ(T->OffsetY(), -150);  // clamped: the last row at the bottom
    EXPECT_EQ(T->GetNodeAt(0, 1000), nullptr);
    Headless->Wheel(120);
    RunScript();
    EXPECT_EQ(T->OffsetY(), -75);
    // Scroll-bar messages: a line is 20 pixels, the bar follows the offset.
    SendMessage(T->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(T->OffsetY(), -95);
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(T->Handle(), SB_VERT, &Info));
    EXPECT_EQ(Info.nPos, 95);
    EXPECT_EQ(Info.nMax, 249);  // inclusive: 250 pixels of rows
    EXPECT_EQ(Info.nPage, 100u);
    SendMessage(T->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(T->OffsetY(), 0);
    // Deleting rows pulls the view back into the content.
    T->SetOffsetY(-150);
    T->BeginUpdate();
    for (int I = 9; I >= 4; --I) T->DeleteNode(R[I]);
    T->EndUpdate();
    EXPECT_EQ(T->OffsetY(), 0);
}

TEST_F(TreeTest, ScalingMultipliesTheMetricsAndEveryRow) {
    auto* T = NewTree();
    const Nodes R = AddRows(T, 3, 1);
    T->SetNodeHeight(R[1], 21);
    T->ChangeScale(3, 2);
    EXPECT_EQ(T->DefaultNodeHeight(), 30);
    EXPECT_EQ(T->Indent(), 27);
    EXPECT_EQ(T->Margin(), 6);
    EXPECT_EQ(T->TextMargin(), 6);
    EXPECT_EQ(T->NodeHeight(R[1]), 32);  // 31.5 rounds away from zero, as MulDiv does
    EXPECT_EQ(T->NodeHeight(R[0]->FirstChild), 30);
    EXPECT_EQ(T->RangeY(), 30 + 32 + 30);
    T->TreeOptions()->SetAutoOptions(T->TreeOptions()->AutoOptions().Exclude(toAutoChangeScale));
    T->ChangeScale(2, 1);
    EXPECT_EQ(T->DefaultNodeHeight(), 30);
}

TEST_F(TreeTest, DeletedFocusedAndHotNodesAreForgotten) {
    auto* T = NewTree();
    TQvPaintOptions Paint = T->TreeOptions()->PaintOptions();
    T->TreeOptions()->SetPaintOptions(Paint.Include(toHotTrack));
    TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    T->TreeOptions()->SetSelectionOptions(Sel.Include(toFullRowSelect));
    const Nodes R = AddRows(T, 3, 1);
    std::vector<std::pair<PQvNode, PQvNode>> Hot;
    T->OnHotChange = [&](TObject*, PQvNode Old, PQvNode New) { Hot.emplace_back(Old, New); };
    MoveTo(T, 100, 30);
    EXPECT_EQ(T->HotNode(), R[1]);
    T->SetFocusedNode(R[1]);
    T->SetSelected(R[1], true);
    T->DeleteNode(R[1]);
    EXPECT_EQ(T->FocusedNode(), nullptr);
    EXPECT_EQ(T->HotNode(), nullptr);
    EXPECT_EQ(T->SelectedCount(), 0u);
    EXPECT_EQ(Hot.size(), 1u);
    MoveTo(T, 100, 10);
    EXPECT_EQ(T->HotNode(), R[0]);
    Headless->MouseMove(600, 600);  // leaving the tree
    RunScript();
    EXPECT_EQ(T->HotNode(), nullptr);
    EXPECT_EQ(Hot.back(), (std::pair<PQvNode, PQvNode>{R[0], nullptr}));
}

// Every handler here deletes or clears what raised it; the sanitizer build would see a
// use of freed memory.
TEST_F(TreeTest, HandlersMayDeleteTheirNodeClearTheTreeOrFreeIt) {
    auto* T = NewTree();
    Nodes R = AddRows(T, 4, 1);
    T->OnFocusChanged = [&](TObject*, PQvNode N, int) {
        if (N == R[0]) T->DeleteNode(N);
    };
    ClickAt(T, 100, 10);
    EXPECT_EQ(T->FocusedNode(), nullptr);
    EXPECT_EQ(T->GetFirst(), R[1]);
    T->OnFocusChanged = nullptr;

    T->OnNodeClick = [&](TObject*, const THitInfo& H) { T->DeleteNode(H.HitNode); };
    ClickAt(T, 100, 10);
    EXPECT_EQ(T->GetFirst(), R[2]);
    T->OnNodeClick = [&](TObject*, const THitInfo&) { T->Clear(); };
    ClickAt(T, 100, 10);
    EXPECT_EQ(T->TotalCount(), 0u);

    R = AddRows(T, 3, 1);
    T->OnNodeClick = nullptr;
    T->OnExpanded = [&](TObject*, PQvNode N) { T->DeleteNode(N); };
    ClickAt(T, 9, 10);  // the button
    EXPECT_EQ(T->GetFirst(), R[1]);
    T->OnExpanded = nullptr;
    T->OnFocusChanging = [&](TObject*, PQvNode, PQvNode New, int, int, bool&) { T->DeleteNode(New); };
    Key(VK_DOWN);
    EXPECT_EQ(T->FocusedNode(), nullptr);
    EXPECT_EQ(T->GetFirst(), R[2]);
    T->OnFocusChanging = nullptr;
    TQvPaintOptions Paint = T->TreeOptions()->PaintOptions();
    T->TreeOptions()->SetPaintOptions(Paint.Include(toHotTrack));
    TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    T->TreeOptions()->SetSelectionOptions(Sel.Include(toFullRowSelect));
    T->OnHotChange = [&](TObject*, PQvNode, PQvNode New) {
        if (New != nullptr) T->Clear();
    };
    MoveTo(T, 25, 10);
    EXPECT_EQ(T->TotalCount(), 0u);
    EXPECT_EQ(T->HotNode(), nullptr);
    T->OnHotChange = nullptr;

    // Deleting from OnFreeNode is the iteration error; freeing the tree from a click is fine.
    R = AddRows(T, 2);
    std::string Error;
    T->OnFreeNode = [&](TObject*, PQvNode) { Error = QvErrorOf([&] { T->DeleteNode(R[1]); }); };
    T->GetNodeData(R[0]);
    T->DeleteNode(R[0]);
    EXPECT_EQ(Error, "Deleting nodes during tree iteration leads to invalid pointers.");
    T->OnFreeNode = nullptr;
    bool Freed = false;
    T->OnNodeClick = [&](TObject*, const THitInfo&) {
        T->Free();
        Freed = true;
    };
    ClickAt(Form, 10 + 100, 10 + 10);
    EXPECT_TRUE(Freed);
}

TEST_F(TreeTest, UserDataAndItsChecks) {
    auto* T = NewTree();
    std::vector<PQvNode> Freed;
    T->OnFreeNode = [&](TObject*, PQvNode N) { Freed.push_back(N); };
    int Marker = 0;
    PQvNode A = T->AddChild(nullptr, &Marker);
    void* Stored = nullptr;
    std::memcpy(&Stored, T->GetNodeData(A), sizeof(Stored));
    EXPECT_EQ(Stored, &Marker);  // a whole pointer fits

    // Setting the size on a live tree rebuilds it with as many empty top-level nodes.
    T->AddChild(nullptr);
    T->SetNodeDataSize(4);
    EXPECT_EQ(Freed.size(), 1u);  // only the node whose data was read
    EXPECT_EQ(T->RootNodeCount(), 2u);
    EXPECT_EQ(QvErrorOf([&] { T->AddChild(nullptr, &Marker); }),
              "Cannot set initial user data because there is not enough user data space allocated.");
    T->SetNodeDataSize(0);
    EXPECT_EQ(QvErrorOf([&] { T->GetNodeData(T->GetFirst()); }), "NodeDataSize not initialized.");
    EXPECT_EQ(T->GetNodeData(nullptr), nullptr);

    // Destroying the tree announces the nodes as deletion does.
    T->SetNodeDataSize(8);
    T->GetNodeData(T->GetFirst());
    Freed.clear();
    T->Free();
    EXPECT_EQ(Freed.size(), 1u);
}

}  // namespace
