#pragma once
// Actions: a command with its caption, state, image and handlers, shared by the controls,
// menu items and toolbar items that show it (its clients). Each client holds an action
// link; the action tells every link of a change before it takes the new value, so a link
// can see whether its client still showed the action's value and only then follow.
//
// A client's side, in short (TControl's link is built this way):
//   - its link derives from TActionLink and overrides the setters it can show
//     (SetCaption: if (IsCaptionLinked()) Client->SetCaption(Value)) and the Is...Linked
//     tests (TActionLink::IsCaptionLinked() && Client->Caption() == action's Caption());
//   - on SetAction it makes the link, calls Link->SetAction(A) and A->FreeNotification
//     (this), takes the action's values it does not have yet, and frees the link when
//     Notification(A, opRemove) comes (the link's Action() is nullptr by then anyway);
//   - its click runs its own OnClick when it has one, else Link->Execute(this). A client
//     never copies OnExecute: handlers are assigned after layouts are read.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/uQvClasses.h"

class TBasicAction;
class TCustomAction;
class TCustomActionList;
class TCustomImageList;
class TChangeLink;

// A key with its modifier bits (scShift, scCtrl, scAlt), as menus show it.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

// ---- Links --------------------------------------------------------------------------

// The tie between an action and one client. Freeing the link leaves the action; freeing
// the action sets the link's Action() to nullptr.
class TBasicActionLink : public TObject {
public:
    TBasicActionLink() = default;
    ~TBasicActionLink() override;

    TBasicAction* Action() const { return FAction; }
    virtual void SetAction(TBasicAction* Value);
    // Runs the action with AComponent as its ActionComponent; false when there is no
    // action or it did nothing. Safe when a handler frees the action, the client or this
    // link.
    virtual bool Execute(TComponent* AComponent = nullptr);
    // Runs the action's update (OnUpdate); false when it has none.
    virtual bool Update();

    // Called with the action after any of its properties changed.
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void Change();
    // Whether the client's click stands for the action's OnExecute.
    virtual bool IsOnExecuteLinked() const { return true; }
    // The action's OnExecute was replaced through TBasicAction::SetOnExecute.
    virtual void SetOnExecute(const TNotifyEvent& Value);

private:
    TBasicAction* FAction = nullptr;
};

// A link that follows the properties of a TCustomAction. Each setter is called with the
// new value while the action still holds the old one. The base tests say only whether
// the action is a TCustomAction; clients add "and I still show its value".
class TActionLink : public TBasicActionLink {
protected:
    friend class TCustomAction;
    virtual bool IsCaptionLinked() const { return IsCustomAction(); }
    virtual bool IsCheckedLinked() const { return IsCustomAction(); }
    virtual bool IsEnabledLinked() const { return IsCustomAction(); }
    virtual bool IsHintLinked() const { return IsCustomAction(); }
    virtual bool IsImageIndexLinked() const { return IsCustomAction(); }
    virtual bool IsShortCutLinked() const { return IsCustomAction(); }
    virtual bool IsVisibleLinked() const { return IsCustomAction(); }
    virtual void SetCaption(const String&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const String&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

private:
    bool IsCustomAction() const;
};

// ---- Actions ------------------------------------------------------------------------

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;

    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();

    // The component that started the running Execute (a link's client), else nullptr.
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value);

    // Assigns OnExecute and tells the links (SetOnExecute), for clients that mirror it.
    void SetOnExecute(const TNotifyEvent& Value);

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every link (its Change).
    virtual void Change();
    std::weak_ptr<char> LifeToken() const { return FLife; }
    // Calls Proc for every link still registered; false when a call freed the action.
    bool ForEachLink(const std::function<void(TBasicActionLink*)>& Proc);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> FClients;
    TComponent* FActionComponent = nullptr;
    // Expires with the action, so code that ran a handler knows whether it may go on.
    std::shared_ptr<char> FLife = std::make_shared<char>();
};

// An action that may belong to an action list, which gets the first say on executing and
// updating it. In a stored layout it sits inside its list.
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    // The action's place in its list; -1 without one.
    int Index() const;
    const String& Category() const { return FCategory; }
    void SetCategory(const String& Value);

    // The list's OnExecute (or OnUpdate) first; the action's own handler when the list
    // did not handle it.
    bool Execute() override;
    bool Update() override;

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    String FCategory;
};

// An action with what a client shows. Setters tell the links first, then store the value.
class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    // An index into the action list's Images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Updates the action, then runs it only when it is enabled.
    bool Execute() override;

private:
    // Tells each TActionLink, then stores and reports the change.
    template <typename V, typename TTell>
    void Set(V& Field, const V& Value, TTell Tell);

    String FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    String FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---- Action lists -------------------------------------------------------------------

// Handlers of a list see each action before it does; setting Handled stops there.
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// The actions of a form or module, with the images they show. A list lists its actions
// but does not own them (their owner does); freeing it takes them out of it.
class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    // Raises "List index out of bounds (%d)" for a bad index.
    TContainedAction* Actions(int Index) const;
    // Followed for changes (OnChange) and forgotten when freed.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // OnExecute / OnUpdate of the list; true when a handler set Handled.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    // The stored layout lists the actions inside their list.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TContainedAction;
    bool RunHandler(const TActionEvent& Handler, TBasicAction* Action);

    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// Registers the action and action list classes with their stored properties (Caption,
// Enabled, ImageIndex, ShortCut, Images, ...). Calling it again does nothing.
void RegisterQvActnList();
