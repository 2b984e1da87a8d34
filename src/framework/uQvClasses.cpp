#include "framework/uQvClasses.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <typeindex>

#include "platform/uQvStrUtils.h"

namespace {

String DemangledName(const std::type_info& Type) {
    static std::map<std::type_index, String> Cache;
    const auto It = Cache.find(Type);
    if (It != Cache.end()) return It->second;
    int Status = 0;
    char* Name = abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status);
    std::string Full = Status == 0 && Name != nullptr ? Name : Type.name();
    std::free(Name);
    // Unqualified, like the names in stored layouts and messages.
    if (Full.find('<') == std::string::npos) {
        const size_t Colon = Full.rfind("::");
        if (Colon != std::string::npos) Full.erase(0, Colon + 2);
    }
    const String Result = Utf8ToString(Full);
    Cache.emplace(Type, Result);
    return Result;
}

template <typename T>
void EraseOne(std::vector<T*>& List, T* Item) {
    const auto It = std::find(List.begin(), List.end(), Item);
    if (It != List.end()) List.erase(It);
}

}  // namespace

void RaiseListIndexError(int Index) {
    throw EListError(Format(u"List index out of bounds (%d)", {Index}));
}

bool IsValidIdent(std::u16string_view Ident) {
    if (Ident.empty()) return false;
    auto Alpha = [](char16_t C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'_'; };
    if (!Alpha(Ident[0])) return false;
    return std::all_of(Ident.begin() + 1, Ident.end(),
                       [&](char16_t C) { return Alpha(C) || (C >= u'0' && C <= u'9'); });
}

// ---- TObject --------------------------------------------------------------------------

String TObject::ClassName() const { return DemangledName(typeid(*this)); }

void TObject::Free() {
    try {
        BeforeDestruction();
    } catch (...) {
        delete this;
        throw;
    }
    delete this;
}

// ---- TPersistent ----------------------------------------------------------------------

void TPersistent::Assign(const TPersistent* Source) {
    if (Source == nullptr) AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
    const String SourceName = Source != nullptr ? Source->ClassName() : String(u"nil");
    throw EConvertError(Format(u"Cannot assign a %s to a %s", {SourceName, ClassName()}));
}

String TPersistent::GetNamePath() const {
    String Result = ClassName();
    if (const TPersistent* Owner = GetOwner()) {
        const String S = Owner->GetNamePath();
        if (!S.empty()) Result = S + u"." + Result;
    }
    return Result;
}

void TPersistent::DefineProperties(TFiler&) {}

// ---- TComponent -----------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    EndBeforeDelete();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::EndBeforeDelete() {
    // Deleted without Free(): do what BeforeDestruction would have done for this part.
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    RemoveFreeNotifications();
    DestroyComponents();
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) RaiseListIndexError(Index);
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    const auto& L = FOwner->FComponents;
    return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (FOwner == nullptr) return;
    auto& L = FOwner->FComponents;
    const int Count = static_cast<int>(L.size());
    Value = std::clamp(Value, 0, Count - 1);
    const int Current = ComponentIndex();
    if (Current == Value) return;
    L.erase(L.begin() + Current);
    L.insert(L.begin() + Value, this);
}

void TComponent::SetName(const String& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(u"'" + NewName + u"' is not a valid component name");
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
    if (AComponent == nullptr || NewName.empty() || SameText(CurName, NewName)) return;
    const TComponent* Found = FindComponent(NewName);
    if (Found != nullptr && Found != AComponent)
        throw EComponentError(u"A component named " + NewName + u" already exists");
}

TComponent* TComponent::FindComponent(std::u16string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* C : FComponents)
        if (SameText(C->FName, AName)) return C;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* A) {
    if (A == nullptr || A == this) return;
    // Components of one owner hear of each other's removal through the owner anyway.
    if (FOwner == nullptr || A->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), A) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(A);
            A->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* A) { EraseOne(FFreeNotifies, A); }

void TComponent::RemoveFreeNotification(TComponent* A) {
    if (A == nullptr) return;
    RemoveNotification(A);
    A->RemoveNotification(this);
}

void TComponent::RemoveFreeNotifications() {
    // Each partner is unlinked before it is told, so an override of Notification that does
    // not call its base cannot keep this loop going.
    while (!FFreeNotifies.empty()) {
        TComponent* C = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        C->RemoveNotification(this);
        C->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
    // Passed on to every owned component, last first; handlers may change the list.
    int I = ComponentCount() - 1;
    while (I >= 0) {
        FComponents[static_cast<size_t>(I)]->Notification(AComponent, Operation);
        --I;
        if (I >= ComponentCount()) I = ComponentCount() - 1;
    }
}

void TComponent::Insert(TComponent* A) {
    FComponents.push_back(A);
    A->FOwner = this;
}

void TComponent::Remove(TComponent* A) {
    EraseOne(FComponents, A);
    EraseOne(FPendingLoaded, A);
    A->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* A) {
    if (A == nullptr || A->FOwner == this) return;
    for (const TComponent* O = this; O != nullptr; O = O->FOwner)
        if (O == A) throw EComponentError(u"A component cannot own itself");
    ValidateRename(A, String(), A->FName);
    if (A->FOwner != nullptr) A->FOwner->RemoveComponent(A);
    Insert(A);
    Notification(A, opInsert);
}

void TComponent::RemoveComponent(TComponent* A) {
    if (A == nullptr || A->FOwner != this) return;
    Notification(A, opRemove);
    Remove(A);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* Instance = FComponents.back();
        if (Instance->FComponentState.Contains(csFreeNotification))
            RemoveComponent(Instance);
        else
            Remove(Instance);
        Instance->Free();
    }
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (Root != this) return;
    for (TComponent* C : std::vector<TComponent*>(FComponents))
        if (!C->HasParent()) Proc(C);
}

void TComponent::BeginReading() { FComponentState += TComponentState{csLoading, csReading}; }

void TComponent::EndReading(TComponent* Root, bool Complete) {
    FComponentState.Exclude(csReading);
    const bool Pending = std::find(Root->FPendingLoaded.begin(), Root->FPendingLoaded.end(), this) !=
                         Root->FPendingLoaded.end();
    if (Complete && !Pending) Root->FPendingLoaded.push_back(this);
    if (!Complete && !Pending) FComponentState.Exclude(csLoading);
}

void TComponent::SetWriting(bool Value) {
    if (Value)
        FComponentState.Include(csWriting);
    else
        FComponentState.Exclude(csWriting);
}

void TComponent::AfterConstruction() {
    RunPendingLoaded();
    Created();
    DoCreate();
}

void TComponent::RunPendingLoaded() {
    // Removal from this owner takes a component off the list, so every entry is alive.
    while (!FPendingLoaded.empty()) {
        TComponent* C = FPendingLoaded.front();
        FPendingLoaded.erase(FPendingLoaded.begin());
        C->FComponentState.Exclude(csReading);
        C->Loaded();
    }
}

void TComponent::BeforeDestruction() {
    if (FComponentState.Contains(csDestroying)) return;
    DoDestroy();
    FComponentState.Include(csDestroying);
    RemoveFreeNotifications();
    DestroyComponents();
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

// ---- TDataModule ----------------------------------------------------------------------

void TDataModule::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TDataModule::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}
