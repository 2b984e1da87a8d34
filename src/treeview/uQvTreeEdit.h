#pragma once
// In-place editing: the edit link an editor implements, and the tree's editing state
// machine. An edit starts (EditNode, F2, or the edit timer after a click or double click)
// by asking OnCreateEditor for a link, scrolling the node into view, preparing the link
// and, when it agrees, placing it over the cell and beginning; it ends (EndEditNode) or is
// abandoned (CancelEditNode, Esc, any structural change) when the link agrees.

#include <memory>

#include "treeview/uQvTreeTypes.h"

class TQvBaseTree;

class IQvEditLink {
public:
    virtual ~IQvEditLink() = default;
    virtual bool BeginEdit() = 0;
    virtual bool CancelEdit() = 0;
    virtual bool EndEdit() = 0;
    virtual TRect GetBounds() = 0;
    virtual bool PrepareEdit(TQvBaseTree* Tree, PQvNode Node, int Column) = 0;
    virtual void ProcessMessage(TMessage& Message) = 0;
    virtual void SetBounds(TRect R) = 0;
};
// Links are shared: the tree releases its hold when the edit is over.
using TQvEditLinkPtr = std::shared_ptr<IQvEditLink>;

using TQvEditingEvent = std::function<void(TObject* Sender, PQvNode Node, int Column, bool& Allowed)>;
using TQvCreateEditorEvent =
    std::function<void(TObject* Sender, PQvNode Node, int Column, TQvEditLinkPtr& EditLink)>;
using TQvEditChangeEvent = std::function<void(TObject* Sender, PQvNode Node, int Column)>;

class TQvTreeEditor {
public:
    explicit TQvTreeEditor(TQvBaseTree* Tree) : FTree(Tree) {}
    ~TQvTreeEditor();

    bool Editing() const { return FLink != nullptr; }
    PQvNode Node() const { return FNode; }
    int Column() const { return FColumn; }
    const TQvEditLinkPtr& Link() const { return FLink; }

    // Starts editing the focused cell; false when it did not start.
    bool Start();
    // True when nothing is being edited afterwards.
    bool End();
    bool Cancel();
    // The edit timer: started by a click, run out after EditDelay ms.
    void StartTimer();
    void StopTimer();
    void TimerFired();
    static constexpr UINT_PTR TimerId = 0x5145;

private:
    // Ends the edit through the link's Step and reports it with the tree's Report.
    bool Finish(bool (IQvEditLink::*Step)(), void (TQvBaseTree::*Report)(PQvNode, int));

    TQvBaseTree* FTree;
    TQvEditLinkPtr FLink;
    PQvNode FNode = nullptr;
    int FColumn = -1;
    bool FTimer = false;
};
