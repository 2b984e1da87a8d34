#include "framework/uQvActnList.h"

#include <algorithm>

#include "framework/uQvImgList.h"
#include "framework/uQvRegistry.h"

// ---- TBasicActionLink -----------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
    if (Value != nullptr) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    // Nothing of this link is touched once the action ran: its handler may free the client.
    TBasicAction* A = FAction;
    if (A == nullptr) return false;
    const std::weak_ptr<char> Life = A->FLife;
    A->SetActionComponent(AComponent);
    bool Result = false;
    try {
        Result = A->Execute();
    } catch (...) {
        if (!Life.expired()) A->SetActionComponent(nullptr);
        throw;
    }
    if (!Life.expired()) A->SetActionComponent(nullptr);
    return Result;
}

bool TBasicActionLink::Update() {
    return FAction != nullptr && FAction->Update();
}

void TBasicActionLink::Change() {
    const TNotifyEvent Handler = OnChange;
    if (Handler) Handler(FAction);
}

void TBasicActionLink::SetOnExecute(const TNotifyEvent&) {}

bool TActionLink::IsCustomAction() const {
    return dynamic_cast<const TCustomAction*>(Action()) != nullptr;
}

// ---- TBasicAction ---------------------------------------------------------------------

TBasicAction::~TBasicAction() {
    for (TBasicActionLink* Link : FClients) Link->FAction = nullptr;
}

bool TBasicAction::Execute() {
    const TNotifyEvent Handler = OnExecute;
    if (!Handler) return false;
    Handler(this);
    return true;
}

bool TBasicAction::Update() {
    const TNotifyEvent Handler = OnUpdate;
    if (!Handler) return false;
    Handler(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
    if (Value == FActionComponent) return;
    // The pair stays registered afterwards: removing it would also take away a client's
    // own request to hear of this action's end.
    if (Value != nullptr) Value->FreeNotification(this);
    FActionComponent = Value;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
    const TNotifyEvent New = Value;
    if (!ForEachLink([&New](TBasicActionLink* Link) { Link->SetOnExecute(New); })) return;
    OnExecute = New;
    Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (Value == nullptr || Value->FAction == this) return;
    if (Value->FAction != nullptr) Value->FAction->UnRegisterChanges(Value);
    Value->FAction = this;
    FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    const auto It = std::find(FClients.begin(), FClients.end(), Value);
    if (It == FClients.end()) return;
    (*It)->FAction = nullptr;
    FClients.erase(It);
}

bool TBasicAction::ForEachLink(const std::function<void(TBasicActionLink*)>& Proc) {
    const std::weak_ptr<char> Life = FLife;
    for (TBasicActionLink* Link : std::vector<TBasicActionLink*>(FClients)) {
        if (Life.expired()) return false;
        if (std::find(FClients.begin(), FClients.end(), Link) != FClients.end()) Proc(Link);
    }
    return !Life.expired();
}

void TBasicAction::Change() {
    ForEachLink([](TBasicActionLink* Link) { Link->Change(); });
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---- TContainedAction -----------------------------------------------------------------

TContainedAction::~TContainedAction() {
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList != nullptr) {
        auto& L = FActionList->FActions;
        L.erase(std::find(L.begin(), L.end(), this));
    }
    FActionList = Value;
    if (Value != nullptr) Value->FActions.push_back(this);
}

int TContainedAction::Index() const {
    if (FActionList == nullptr) return -1;
    const auto& L = FActionList->FActions;
    return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TContainedAction::SetCategory(const String& Value) {
    if (Value == FCategory) return;
    FCategory = Value;
    Change();
}

bool TContainedAction::Execute() {
    const std::weak_ptr<char> Life = LifeToken();
    if (FActionList != nullptr && FActionList->ExecuteAction(this)) return true;
    return !Life.expired() && TBasicAction::Execute();
}

bool TContainedAction::Update() {
    const std::weak_ptr<char> Life = LifeToken();
    if (FActionList != nullptr && FActionList->UpdateAction(this)) return true;
    return !Life.expired() && TBasicAction::Update();
}

TComponent* TContainedAction::GetParentComponent() const {
    return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
    if (auto* List = dynamic_cast<TCustomActionList*>(Value)) SetActionList(List);
}

// ---- TCustomAction --------------------------------------------------------------------

template <typename V, typename TTell>
void TCustomAction::Set(V& Field, const V& Value, TTell Tell) {
    if (Field == Value) return;
    // A copy: Value may live in a client that a link changes.
    const V New = Value;
    const bool Alive = ForEachLink([&New, Tell](TBasicActionLink* Link) {
        if (auto* L = dynamic_cast<TActionLink*>(Link)) (L->*Tell)(New);
    });
    if (!Alive) return;
    Field = New;
    Change();
}

void TCustomAction::SetCaption(const String& Value) {
    Set(FCaption, Value, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool Value) {
    Set(FChecked, Value, &TActionLink::SetChecked);
}

void TCustomAction::SetEnabled(bool Value) {
    Set(FEnabled, Value, &TActionLink::SetEnabled);
}

void TCustomAction::SetHint(const String& Value) {
    Set(FHint, Value, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int Value) {
    Set(FImageIndex, Value, &TActionLink::SetImageIndex);
}

void TCustomAction::SetShortCut(TShortCut Value) {
    Set(FShortCut, Value, &TActionLink::SetShortCut);
}

void TCustomAction::SetVisible(bool Value) {
    Set(FVisible, Value, &TActionLink::SetVisible);
}

bool TCustomAction::Execute() {
    const std::weak_ptr<char> Life = LifeToken();
    Update();
    if (Life.expired() || !FEnabled) return false;
    return TContainedAction::Execute();
}

// ---- TCustomActionList ----------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner)
    : TComponent(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
    FImageChangeLink->OnChange = [this](TObject*) { Change(); };
}

TCustomActionList::~TCustomActionList() {
    for (TContainedAction* A : FActions) A->FActionList = nullptr;
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount()) RaiseListIndexError(Index);
    return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages != nullptr) FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(FImageChangeLink.get());
        Value->FreeNotification(this);
    }
    Change();
}

bool TCustomActionList::RunHandler(const TActionEvent& Handler, TBasicAction* Action) {
    const TActionEvent Run = Handler;
    if (!Run) return false;
    bool Handled = false;
    Run(Action, Handled);
    return Handled;
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
    return RunHandler(OnExecute, Action);
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
    return RunHandler(OnUpdate, Action);
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TContainedAction* A : std::vector<TContainedAction*>(FActions))
        if (A->Owner() == Root) Proc(A);
}

void TCustomActionList::Change() {
    const TNotifyEvent Handler = OnChange;
    if (Handler) Handler(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // The dying list may be past its own destructor here: only the pointer is dropped.
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        Change();
    }
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvActnList() {
    RegisterQvImgList();
    RegisterClass<TBasicAction, TComponent>(u"TBasicAction");
    RegisterClass<TContainedAction, TBasicAction>(u"TContainedAction")
        .Prop(u"Category", &TContainedAction::Category, &TContainedAction::SetCategory);
    using A = TCustomAction;
    RegisterClass<TCustomAction, TContainedAction>(u"TCustomAction")
        .Prop(u"Caption", &A::Caption, &A::SetCaption)
        .Prop(u"Checked", &A::Checked, &A::SetChecked, false)
        .Prop(u"Enabled", &A::Enabled, &A::SetEnabled, true)
        .Prop(u"Hint", &A::Hint, &A::SetHint)
        .Prop(u"ImageIndex", &A::ImageIndex, &A::SetImageIndex, -1)
        .Prop(u"ShortCut", &A::ShortCut, &A::SetShortCut, TShortCut{0})
        .Prop(u"Visible", &A::Visible, &A::SetVisible, true);
    RegisterClass<TAction, TCustomAction>(u"TAction");
    RegisterClass<TCustomActionList, TComponent>(u"TCustomActionList")
        .Component<TCustomImageList>(u"Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
    RegisterClass<TActionList, TCustomActionList>(u"TActionList");
}
