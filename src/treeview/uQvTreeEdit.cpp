#include "treeview/uQvTreeEdit.h"

#include "platform/uQvTimers.h"
#include "treeview/uQvBaseTree.h"

TQvTreeEditor::~TQvTreeEditor() = default;

bool TQvTreeEditor::Start() {
    TQvBaseTree* T = FTree;
    StopTimer();
    PQvNode Node = T->FocusedNode();
    if (Node == nullptr || T->IsDisabled(Node) || Editing()) return false;
    const int Column = T->FocusedColumn();
    const TQvAliveCheck Alive = T->AliveCheck();
    const TQvNodeRef Ref(T, Node);
    TQvEditLinkPtr Link = T->DoCreateEditor(Node, Column);
    if (!Alive.Alive() || Ref.Node() == nullptr || Link == nullptr) return false;
    T->ScrollIntoView(Node, false);
    if (!Link->PrepareEdit(T, Node, Column) || !Alive.Alive() || Ref.Node() == nullptr) return false;
    FLink = Link;
    FNode = Node;
    FColumn = Column;
    Link->SetBounds(T->GetDisplayRect(Node, Column, false));
    T->InvalidateNode(Node);
    if (!Link->BeginEdit()) {
        if (Alive.Alive()) FLink = nullptr;
        return false;
    }
    return Alive.Alive() && FLink != nullptr;
}

bool TQvTreeEditor::End() {
    return Finish(&IQvEditLink::EndEdit, &TQvBaseTree::DoEdited);
}

bool TQvTreeEditor::Cancel() {
    return Finish(&IQvEditLink::CancelEdit, &TQvBaseTree::DoEditCancelled);
}

bool TQvTreeEditor::Finish(bool (IQvEditLink::*Step)(), void (TQvBaseTree::*Report)(PQvNode, int)) {
    StopTimer();
    if (!Editing()) return true;
    // Hold the link while it works: a handler may end the edit again from inside.
    const TQvEditLinkPtr Link = FLink;
    const TQvAliveCheck Alive = FTree->AliveCheck();
    if (!((*Link).*Step)() || !Alive.Alive()) return false;
    if (FLink != Link) return !Editing();
    PQvNode Node = FNode;
    const int Column = FColumn;
    FLink = nullptr;
    FNode = nullptr;
    FTree->InvalidateNode(Node);
    (FTree->*Report)(Node, Column);
    return true;
}

void TQvTreeEditor::StartTimer() {
    StopTimer();
    if (!FTree->HandleAllocated()) return;
    FTimer = SetTimer(FTree->Handle(), TimerId, static_cast<UINT>(FTree->EditDelay()), nullptr) != 0;
}

void TQvTreeEditor::StopTimer() {
    if (!FTimer) return;
    FTimer = false;
    if (FTree->HandleAllocated()) KillTimer(FTree->Handle(), TimerId);
}

void TQvTreeEditor::TimerFired() {
    if (!FTimer) return;
    StopTimer();
    Start();
}
