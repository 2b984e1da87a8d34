#include "treeview/uQvTreeInput.h"

#include <algorithm>
#include <cmath>

#include "platform/uQvInput.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPos.h"
#include "treeview/uQvBaseTree.h"

namespace {
constexpr WORD KeyF2 = 0x71;
constexpr WORD KeyA = 'A';

bool OnContent(const THitInfo& Hit, bool FullRow) {
    const THitPositions P = Hit.HitPositions;
    return P.Contains(hiOnItemLabel) || P.Contains(hiOnNormalIcon) || P.Contains(hiOnStateIcon) ||
           (FullRow && P.Contains(hiOnItem));
}

int WheelLines() {
    UINT Lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    return static_cast<int>(Lines);
}
}  // namespace

// ---- Mouse ----------------------------------------------------------------------------

void TQvTreeInput::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQvBaseTree* T = FTree;
    const TQvAliveCheck Alive = T->AliveCheck();
    if (T->CanFocus() && !T->Focused()) {
        T->SetFocus();
        if (!Alive.Alive()) return;
    }
    const THitInfo Hit = T->GetHitTestInfoAt(X, Y, true);
    const TQvNodeRef Ref(T, Hit.HitNode);
    const TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    const TQvMiscOptions Misc = T->TreeOptions()->MiscOptions();
    PQvNode N = Hit.HitNode;
    T->FEditor->StopTimer();
    if (Button == mbLeft) {
        FPressedColumn = N != nullptr ? Hit.HitColumn : -2;
        FPressOnFocused = N != nullptr && N == T->FocusedNode();
    }
    if (N != nullptr && Button == mbLeft && Hit.HitPositions.Contains(hiOnItemButton)) {
        T->ToggleNode(N);
        return;
    }
    if (Shift.Contains(ssDouble)) {
        if (Button != mbLeft || N == nullptr) return;
        if (Misc.Contains(toToggleOnDblClick) && OnContent(Hit, Sel.Contains(toFullRowSelect))) {
            T->ToggleNode(N);
            if (!Alive.Alive() || Ref.Node() == nullptr) return;
        }
        T->DoNodeDblClick(Hit);
        if (!Alive.Alive() || Ref.Node() == nullptr) return;
        if (Misc.Contains(toEditOnDblClick) && N == T->FocusedNode() && Hit.HitColumn == T->FocusedColumn())
            T->FEditor->StartTimer();
        return;
    }
    if (N != nullptr && Button == mbLeft && Hit.HitPositions.Contains(hiOnItemCheckbox) &&
        Misc.Contains(toCheckSupport) && !T->IsDisabled(N)) {
        FCheckNode = N;
        FCheckRestore = N->CheckState;
        T->SetCheckState(N, Pressed(N->CheckState));
        return;
    }
    const bool Selects = Button == mbLeft || (Button == mbRight && Sel.Contains(toRightClickSelect)) ||
                         (Button == mbMiddle && Sel.Contains(toMiddleClickSelect));
    if (!Selects) return;
    const bool Multi = Sel.Contains(toMultiSelect);
    if (N == nullptr) {
        // Empty space: a plain press in a multi-selection tree lets go of the selection;
        // the left button starts a rubber band (adding to the selection with Ctrl).
        if (Multi && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift)) T->ClearSelection();
        if (Multi && Button == mbLeft && Alive.Alive()) {
            FBandBase = Shift.Contains(ssCtrl) ? T->SelectedNodes() : std::vector<PQvNode>{};
            FBanding = true;
            FBandStart = FBandEnd = TPoint{X - T->OffsetX(), Y - T->OffsetY()};
        }
        return;
    }
    if (!T->ChangeFocus(N, Hit.HitColumn) || !Alive.Alive()) return;
    N = Ref.Node();
    if (N == nullptr) return;
    if (Multi && Shift.Contains(ssShift)) {
        T->SelectRange(N, Shift.Contains(ssCtrl));
    } else if (Multi && Shift.Contains(ssCtrl)) {
        T->SetSelected(N, !T->Selected(N));
        T->Selection().SetAnchor(N);
    } else if (!(Button == mbRight && T->Selected(N))) {
        // A right press on a selected row keeps the selection for its context menu.
        T->ClearSelection();
        T->SetSelected(N, true);
        T->Selection().SetAnchor(N);
    }
}

void TQvTreeInput::MouseMove(TShiftState, int X, int Y) {
    TQvBaseTree* T = FTree;
    if (FBanding) {
        FBandEnd = TPoint{X - T->OffsetX(), Y - T->OffsetY()};
        SelectBandRows();
        T->Invalidate();
        return;
    }
    const THitInfo Hit = T->GetHitTestInfoAt(X, Y, true);
    if (FCheckNode != nullptr) {
        // The pressed look follows whether the pointer is still on the check box.
        const bool On = Hit.HitNode == FCheckNode && Hit.HitPositions.Contains(hiOnItemCheckbox);
        T->SetCheckState(FCheckNode, On ? Pressed(FCheckRestore) : FCheckRestore);
    }
    SetHotButton(Hit.HitPositions.Contains(hiOnItemButtonExact) ? Hit.HitNode : nullptr);
    PQvNode Hot = nullptr;
    if (Hit.HitNode != nullptr &&
        (OnContent(Hit, T->TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) ||
         Hit.HitPositions.Contains(hiOnItemCheckbox)))
        Hot = Hit.HitNode;
    T->SetHot(Hot, Hot != nullptr ? Hit.HitColumn : -1);
}

void TQvTreeInput::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQvBaseTree* T = FTree;
    const TQvAliveCheck Alive = T->AliveCheck();
    if (Button == mbLeft && FBanding) {
        EndBand(false);
        return;
    }
    if (Button == mbLeft && FCheckNode != nullptr) {
        PQvNode N = FCheckNode;
        FCheckNode = nullptr;
        const THitInfo Hit = T->GetHitTestInfoAt(X, Y, true);
        T->SetCheckState(N, FCheckRestore);
        if (Hit.HitNode == N && Hit.HitPositions.Contains(hiOnItemCheckbox))
            ApplyCheck(N, NextCheckState(N->CheckType, FCheckRestore));
        return;
    }
    if (Button != mbLeft) return;
    const THitInfo Hit = T->GetHitTestInfoAt(X, Y, true);
    const int Pressed = FPressedColumn;
    FPressedColumn = -2;
    const TQvNodeRef Ref(T, Hit.HitNode);
    if (Hit.HitNode != nullptr && Pressed != -2 && Hit.HitColumn == Pressed) {
        T->DoColumnClick(Pressed, Shift);
        if (!Alive.Alive()) return;
    }
    if (Hit.HitNode == nullptr || Ref.Node() == nullptr) return;
    T->DoNodeClick(Hit);
    if (!Alive.Alive() || Ref.Node() == nullptr) return;
    // A click on the text of the row that was focused already edits it after a pause.
    if (FPressOnFocused && T->TreeOptions()->MiscOptions().Contains(toEditOnClick) && Hit.HitNode == T->FocusedNode() &&
        OnContent(Hit, T->TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) && T->DoCanEdit(Hit.HitNode, Hit.HitColumn))
        T->FEditor->StartTimer();
}

void TQvTreeInput::MouseLeave() {
    SetHotButton(nullptr);
    FTree->SetHot(nullptr, -1);
}

void TQvTreeInput::SetHotButton(PQvNode Node) {
    if (FHotButton == Node) return;
    PQvNode Old = FHotButton;
    FHotButton = Node;
    if (!FTree->TreeOptions()->PaintOptions().Contains(toHotTrack)) return;
    FTree->InvalidateNode(Old);
    FTree->InvalidateNode(Node);
}

void TQvTreeInput::CancelMode() {
    if (FBanding) EndBand(false);
    if (FCheckNode != nullptr) FTree->SetCheckState(FCheckNode, FCheckRestore);
    FCheckNode = nullptr;
    FPressedColumn = -2;
}

void TQvTreeInput::NodeGone(PQvNode Node) {
    if (Node == nullptr || Node == FHotButton) FHotButton = nullptr;
    if (Node == nullptr)
        FBandBase.clear();
    else
        std::erase(FBandBase, Node);
    if (Node == nullptr || FCheckNode == Node) {
        FCheckNode = nullptr;
        FSpaceCheck = false;
    }
}

bool TQvTreeInput::SetCursor(TMessage& M) {
    TQvBaseTree* T = FTree;
    const int Hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(M.LParam)));
    if (Hit != HTCLIENT || !T->HandleAllocated() || reinterpret_cast<HWND>(M.WParam) != T->Handle()) return false;
    TCursor Cursor = T->Cursor();
    POINT P;
    GetCursorPos(&P);
    ScreenToClient(T->Handle(), &P);
    if (T->Header()->Visible() && P.Y < 0) {
        // Over the header: the splitter on a column border that resizes.
        if (T->Header()->ResizeColumnAt(P.X) >= 0) Cursor = crHSplit;
        ::SetCursor(CursorHandle(Cursor));
        M.Result = 1;
        return true;
    }
    if (T->TreeOptions()->PaintOptions().Contains(toHotTrack) && T->HotNode() != nullptr &&
        T->HotCursor() != crDefault)
        Cursor = T->HotCursor();
    const TQvAliveCheck Alive = T->AliveCheck();
    T->DoGetCursor(Cursor);
    if (!Alive.Alive()) return true;
    ::SetCursor(CursorHandle(Cursor));
    M.Result = 1;
    return true;
}

// ---- Rubber band ----------------------------------------------------------------------

TRect TQvTreeInput::BandRect() const {
    const int X = FTree->OffsetX(), Y = FTree->OffsetY();
    return Rect(std::min(FBandStart.X, FBandEnd.X) + X, std::min(FBandStart.Y, FBandEnd.Y) + Y,
                std::max(FBandStart.X, FBandEnd.X) + X + 1, std::max(FBandStart.Y, FBandEnd.Y) + Y + 1);
}

void TQvTreeInput::SelectBandRows() {
    TQvBaseTree* T = FTree;
    const std::vector<PQvNode> Base = FBandBase;
    T->ClearSelection();
    for (PQvNode N : Base) T->SetSelected(N, true);
    // Rows whose span meets the band's, top to bottom (content coordinates).
    const int Y0 = std::min(FBandStart.Y, FBandEnd.Y), Y1 = std::max(FBandStart.Y, FBandEnd.Y);
    int Top = 0;
    PQvNode N = T->GetNodeAt(0, Y0, false, Top);
    for (int64_t RowTop = Top; N != nullptr && RowTop <= Y1; N = T->GetNextVisible(N)) {
        if (RowTop + N->NodeHeight > Y0) T->SetSelected(N, true);
        RowTop += N->NodeHeight;
    }
}

void TQvTreeInput::EndBand(bool Restore) {
    if (!FBanding) return;
    FBanding = false;
    if (Restore) {
        const std::vector<PQvNode> Base = FBandBase;
        FTree->ClearSelection();
        for (PQvNode N : Base) FTree->SetSelected(N, true);
    }
    FBandBase.clear();
    FTree->Invalidate();
}

// ---- Scrolling ------------------------------------------------------------------------

void TQvTreeInput::Wheel(TShiftState Shift, int WheelDelta) {
    TQvBaseTree* T = FTree;
    const double Notches = WheelDelta / 120.0;
    const int Lines = WheelLines();
    const bool Page = Lines == static_cast<int>(WHEEL_PAGESCROLL);
    if (T->RangeY() > T->ClientHeight() && !Shift.Contains(ssShift)) {
        const double Step = (Shift.Contains(ssCtrl) || Page) ? Notches * T->ClientHeight()
                                                              : Notches * Lines * T->DefaultNodeHeight();
        T->SetOffsetY(T->OffsetY() + static_cast<int>(std::trunc(Step)));
        return;
    }
    const double Step = Shift.Contains(ssCtrl)
                            ? Notches * T->ClientWidth()
                            : Notches * (Page ? 1 : Lines) * T->ScrollBarOptions()->HorizontalIncrement();
    T->SetOffsetX(T->OffsetX() + static_cast<int>(std::trunc(Step)));
}

void TQvTreeInput::ScrollMessage(bool Vertical, int Code, int Position) {
    TQvBaseTree* T = FTree;
    const int Line = Vertical ? T->ScrollBarOptions()->VerticalIncrement()
                              : T->ScrollBarOptions()->HorizontalIncrement();
    const int PageSize = Vertical ? T->ClientHeight() : T->ClientWidth();
    const int Range = Vertical ? T->RangeY() : T->RangeX();
    const int Offset = Vertical ? T->OffsetY() : T->OffsetX();
    int New = Offset;
    switch (static_cast<UINT>(Code)) {
        case SB_LINEUP: New = Offset + Line; break;
        case SB_LINEDOWN: New = Offset - Line; break;
        case SB_PAGEUP: New = Offset + PageSize; break;
        case SB_PAGEDOWN: New = Offset - PageSize; break;
        case SB_TOP: New = 0; break;
        case SB_BOTTOM: New = -Range; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The message carries 16 bits; the bar keeps the whole position.
            SCROLLINFO Info;
            Info.fMask = SIF_TRACKPOS;
            New = T->HandleAllocated() && GetScrollInfo(T->Handle(), Vertical ? SB_VERT : SB_HORZ, &Info)
                      ? -Info.nTrackPos
                      : -Position;
            break;
        }
        case SB_ENDSCROLL:
            if (Vertical)
                T->UpdateVerticalScrollBar(true);
            else
                T->UpdateHorizontalScrollBar(true);
            return;
        default: return;
    }
    if (Vertical)
        T->SetOffsetY(New);
    else
        T->SetOffsetX(New);
}

// ---- Keyboard -------------------------------------------------------------------------

void TQvTreeInput::Focus(PQvNode Node) {
    if (Node != nullptr) FTree->ChangeFocus(Node, FTree->FocusedColumn());
}

PQvNode TQvTreeInput::PageTarget(PQvNode From, bool Down) {
    TQvBaseTree* T = FTree;
    if (From == nullptr) return Down ? T->GetLastVisible() : T->GetFirstVisible();
    const int Client = T->ClientHeight();
    int Sum = 0;
    PQvNode N = From;
    for (;;) {
        PQvNode Next = Down ? T->GetNextVisible(N) : T->GetPreviousVisible(N);
        if (Next == nullptr || Sum + N->NodeHeight >= Client) break;
        Sum += N->NodeHeight;
        N = Next;
    }
    return N;
}

int TQvTreeInput::FocusColumn() const {
    const int C = FTree->FocusedColumn();
    return C >= 0 && C < FTree->ColumnCount() ? C : FTree->MainColumn();
}

void TQvTreeInput::PageColumns(bool Backwards) {
    TQvBaseTree* T = FTree;
    const TQvTreeColumns* Cols = T->Header()->Columns();
    int Column = FocusColumn();
    if (Column < 0) return;
    // As many columns as fit in the client width.
    for (int Sum = 0;;) {
        const int Next = Cols->NextVisibleColumn(Column, Backwards);
        if (Next < 0) break;
        Sum += Cols->Items(Next)->Width();
        if (Sum > T->ClientWidth()) break;
        Column = Next;
    }
    T->ChangeFocus(T->FocusedNode(), Column);
}

bool TQvTreeInput::Navigate(WORD Key, TShiftState Shift) {
    TQvBaseTree* T = FTree;
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool Plain = !Ctrl && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
    PQvNode F = T->FocusedNode();
    switch (Key) {
        case VK_UP:
        case VK_DOWN: {
            if (Ctrl) {
                const int Step = T->DefaultNodeHeight();
                T->SetOffsetY(T->OffsetY() + (Key == VK_UP ? Step : -Step));
                return true;
            }
            PQvNode Target = F == nullptr ? (Key == VK_UP ? T->GetLastVisible() : T->GetFirstVisible())
                                          : (Key == VK_UP ? T->GetPreviousVisible(F) : T->GetNextVisible(F));
            if (Target == nullptr)
                T->InvalidateNode(F);
            else
                Focus(Target);
            return true;
        }
        case VK_PRIOR:
        case VK_NEXT: {
            const int Sign = Key == VK_PRIOR ? 1 : -1;
            if (Ctrl && Shift.Contains(ssShift))
                T->SetOffsetX(T->OffsetX() + Sign * T->ClientWidth());
            else if (Ctrl)
                T->SetOffsetY(T->OffsetY() + Sign * T->ClientHeight());
            else if (Shift.Contains(ssAlt) && Shift.Contains(ssShift))
                PageColumns(Key == VK_PRIOR);
            else
                Focus(PageTarget(F, Key == VK_NEXT));
            return true;
        }
        case VK_HOME:
        case VK_END: {
            const bool Home = Key == VK_HOME;
            const bool Grid = T->TreeOptions()->MiscOptions().Contains(toGridExtensions);
            if (Ctrl && !Grid) {
                T->SetOffsetXY(Home ? 0 : -T->RangeX(), Home ? 0 : -T->RangeY());
                return true;
            }
            PQvNode Row = Home ? T->GetFirstVisible() : T->GetLastVisible();
            if (!Grid) {
                Focus(Row);
                return true;
            }
            // In a grid the column goes to the end; the row only with Ctrl.
            const TQvTreeColumns* Cols = T->Header()->Columns();
            int Column = T->FocusedColumn();
            if (!T->TreeOptions()->SelectionOptions().Contains(toFullRowSelect) && Cols->Count() > 0)
                Column = Home ? Cols->FirstVisibleColumn() : Cols->LastVisibleColumn();
            T->ChangeFocus(Ctrl || F == nullptr ? Row : F, Column);
            return true;
        }
        case VK_LEFT:
        case VK_RIGHT: {
            const bool Left = Key == VK_LEFT;
            if (Ctrl) {
                const int Step = T->ScrollBarOptions()->HorizontalIncrement();
                T->SetOffsetX(T->OffsetX() + (Left ? Step : -Step));
                return true;
            }
            if (F == nullptr) {
                Focus(T->GetFirstVisible());
                return true;
            }
            if (T->TreeOptions()->SelectionOptions().Contains(toExtendedFocus) &&
                T->TreeOptions()->MiscOptions().Contains(toGridExtensions) && T->ColumnCount() > 0) {
                const int Next = T->Header()->Columns()->NextVisibleColumn(FocusColumn(), Left);
                if (Next >= 0) T->ChangeFocus(F, Next);
                return true;
            }
            if (Left) {
                if (Plain && T->Expanded(F) && F->ChildCount > 0)
                    T->SetExpanded(F, false);
                else
                    Focus(T->NodeParent(F));
            } else {
                if (Plain && !T->Expanded(F) && F->ChildCount > 0)
                    T->SetExpanded(F, true);
                else if (T->Expanded(F))
                    Focus(T->GetFirstVisibleChild(F));
            }
            return true;
        }
        case VK_BACK:
            Focus(T->NodeParent(F));
            return true;
        case VK_TAB: {
            if (!T->TreeOptions()->SelectionOptions().Contains(toExtendedFocus) || T->ColumnCount() == 0) return false;
            // The next (Shift: previous) column, going on in the next (previous) row.
            const bool Back = Shift.Contains(ssShift);
            const TQvTreeColumns* Cols = T->Header()->Columns();
            int Column = F == nullptr ? -1 : Cols->NextVisibleColumn(FocusColumn(), Back);
            PQvNode Row = F;
            if (Column < 0) {
                Row = F == nullptr ? T->GetFirstVisible() : Back ? T->GetPreviousVisible(F) : T->GetNextVisible(F);
                Column = Back && F != nullptr ? Cols->LastVisibleColumn() : Cols->FirstVisibleColumn();
            }
            if (Row != nullptr) T->ChangeFocus(Row, Column);
            return true;
        }
        default:
            return false;
    }
}

void TQvTreeInput::NumPadKey(WORD Key, TShiftState Shift) {
    TQvBaseTree* T = FTree;
    PQvNode F = T->FocusedNode();
    const bool Ctrl = Shift.Contains(ssCtrl), All = Ctrl && Shift.Contains(ssShift);
    switch (Key) {
        case VK_MULTIPLY:
            if (F != nullptr) T->FullExpand(F);
            break;
        case VK_DIVIDE:
            if (F != nullptr) T->FullCollapse(F);
            break;
        case VK_ADD:
            if (All)
                T->FullExpand();
            else if (Ctrl)
                T->Header()->AutoFitColumns();
            else if (F != nullptr)
                T->SetExpanded(F, true);
            break;
        case VK_SUBTRACT:
            if (All)
                T->FullCollapse();
            else if (Ctrl)
                T->Header()->RestoreColumns();
            else if (F != nullptr)
                T->SetExpanded(F, false);
            break;
        default:
            break;
    }
}

void TQvTreeInput::KeyDown(WORD& Key, TShiftState Shift) {
    TQvBaseTree* T = FTree;
    const TQvAliveCheck Alive = T->AliveCheck();
    if (T->OnKeyAction) {
        bool DoDefault = true;
        QvRaise(T->OnKeyAction, T, Key, Shift, DoDefault);
        if (!Alive.Alive()) return;
        if (!DoDefault || Key == 0) {
            Key = 0;
            return;
        }
    }
    if ((Key == VK_UP || Key == VK_DOWN) && T->IsEditing()) {
        T->EndEditNode();
        if (!Alive.Alive()) return;
    }
    const TQvSelectionOptions Sel = T->TreeOptions()->SelectionOptions();
    const bool Multi = Sel.Contains(toMultiSelect);
    const bool HasNodes = T->GetFirst() != nullptr;
    PQvNode Old = T->FocusedNode();
    const TQvNodeRef OldRef(T, Old);
    if (HasNodes && Navigate(Key, Shift)) {
        if (!Alive.Alive()) return;
        PQvNode F = T->FocusedNode();
        const bool Moved = F != OldRef.Node() || (Old != nullptr && OldRef.Node() == nullptr);
        if (F == nullptr) return;
        if (Multi && Shift.Contains(ssShift)) {
            if (T->RangeAnchor() == nullptr) T->Selection().SetAnchor(OldRef.Node() != nullptr ? OldRef.Node() : F);
            T->SelectRange(F, false);
        } else if (!(Multi && Shift.Contains(ssCtrl)) && (Moved || T->SelectedCount() > 1)) {
            T->ClearSelection();
            T->SetSelected(F, true);
            T->Selection().SetAnchor(F);
        }
        return;
    }
    PQvNode F = T->FocusedNode();
    switch (Key) {
        case VK_SPACE:
            if (T->TreeOptions()->MiscOptions().Contains(toCheckSupport) && F != nullptr && F->CheckType != ctNone &&
                !T->IsDisabled(F)) {
                TCheckState Next = NextCheckState(F->CheckType, F->CheckState);
                const TQvNodeRef Ref(T, F);
                if (!T->DoChecking(F, Next) || !Alive.Alive() || Ref.Node() == nullptr) return;
                FCheckNode = F;
                FCheckRestore = F->CheckState;
                FPendingCheck = Next;
                FSpaceCheck = true;
                T->SetCheckState(F, Pressed(F->CheckState));
            }
            break;
        case VK_ESCAPE:
            if (FBanding)
                EndBand(true);
            else
                T->CancelEditNode();
            break;
        case KeyF2:
            if (Shift.Empty() && F != nullptr && !T->IsEditing() && T->DoCanEdit(F, T->FocusedColumn())) {
                const TQvNodeRef Ref(T, F);
                if (Alive.Alive() && Ref.Node() != nullptr) T->FEditor->Start();
            }
            break;
        case KeyA:
            if (Shift.Contains(ssCtrl) && Multi) T->SelectAll(true);
            break;
        case VK_MULTIPLY:
        case VK_ADD:
        case VK_SUBTRACT:
        case VK_DIVIDE:
            FNumPadDown = true;
            NumPadKey(Key, Shift);
            break;
        default:
            break;
    }
}

void TQvTreeInput::KeyUp(WORD& Key, TShiftState) {
    if (Key == VK_MULTIPLY || Key == VK_ADD || Key == VK_SUBTRACT || Key == VK_DIVIDE) FNumPadDown = false;
    if (Key != VK_SPACE || !FSpaceCheck) return;
    FSpaceCheck = false;
    PQvNode N = FCheckNode;
    FCheckNode = nullptr;
    if (N == nullptr) return;
    // OnChecking was asked when the key went down.
    FTree->SetCheckState(N, FCheckRestore);
    SetChecked(N, FPendingCheck);
}

void TQvTreeInput::KeyPress(Char& Key) {
    if (FNumPadDown) {
        FNumPadDown = false;
        return;
    }
    WORD Pad = 0;
    switch (Key) {
        case u'*': Pad = VK_MULTIPLY; break;
        case u'+': Pad = VK_ADD; break;
        case u'-': Pad = VK_SUBTRACT; break;
        case u'/': Pad = VK_DIVIDE; break;
        default: return;
    }
    NumPadKey(Pad, KeyboardStateToShiftState());
}

bool TQvTreeInput::FocusedCellCentre(TPoint& Screen) {
    TQvBaseTree* T = FTree;
    PQvNode F = T->FocusedNode();
    if (F == nullptr || !T->FullyVisible(F)) return false;
    const TRect R = T->GetDisplayRect(F, T->FocusedColumn(), false);
    Screen = T->ClientToScreen(TPoint{(std::max(R.Left, 0) + std::min(R.Right, T->ClientWidth())) / 2,
                                      (R.Top + R.Bottom) / 2});
    return true;
}

// ---- Check boxes ----------------------------------------------------------------------

TCheckState TQvTreeInput::Pressed(TCheckState S) {
    switch (S) {
        case csUncheckedNormal: return csUncheckedPressed;
        case csCheckedNormal: return csCheckedPressed;
        case csMixedNormal: return csMixedPressed;
        default: return S;
    }
}

TCheckState TQvTreeInput::Unpressed(TCheckState S) {
    switch (S) {
        case csUncheckedPressed: return csUncheckedNormal;
        case csCheckedPressed: return csCheckedNormal;
        case csMixedPressed: return csMixedNormal;
        default: return S;
    }
}

TCheckState TQvTreeInput::NextCheckState(TCheckType Type, TCheckState State) {
    State = Unpressed(State);
    switch (Type) {
        case ctCheckBox:
        case ctTriStateCheckBox: return State == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
        case ctRadioButton: return csCheckedNormal;
        default: return State;
    }
}

void TQvTreeInput::ApplyCheck(PQvNode Node, TCheckState State) {
    TQvBaseTree* T = FTree;
    const TQvAliveCheck Alive = T->AliveCheck();
    const TQvNodeRef Ref(T, Node);
    if (!T->DoChecking(Node, State) || !Alive.Alive() || Ref.Node() == nullptr) return;
    SetChecked(Node, State);
}

void TQvTreeInput::SetChecked(PQvNode Node, TCheckState State) {
    TQvBaseTree* T = FTree;
    T->SetCheckState(Node, State);
    // One radio button of a group is checked at a time.
    if (Node->CheckType == ctRadioButton && State == csCheckedNormal)
        for (PQvNode S = Node->Parent->FirstChild; S != nullptr; S = S->NextSibling)
            if (S != Node && S->CheckType == ctRadioButton) T->SetCheckState(S, csUncheckedNormal);
    T->DoChecked(Node);
}
