#include "framework/uQvCollections.h"

#include <algorithm>

#include "platform/uQvStrUtils.h"

// ---- TCollectionItem ------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* ACollection) {
    // Announcing here would show listeners an item whose derived part does not exist yet.
    if (ACollection != nullptr) ACollection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection != nullptr) FCollection->RemoveItem(this, false);
}

void TCollectionItem::BeforeDestruction() {
    if (FCollection != nullptr) FCollection->RemoveItem(this, true);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (Value == FCollection) return;
    if (Value != nullptr && !Value->FItemClass.Accepts(this)) throw EInvalidOperation("Invalid property value");
    if (FCollection != nullptr) FCollection->RemoveItem(this, true);
    if (Value != nullptr) Value->InsertItem(this, true);
}

int TCollectionItem::Index() const {
    if (FCollection == nullptr) return -1;
    const auto& L = FCollection->FItems;
    return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int Current = Index();
    if (Current < 0 || Current == Value) return;
    auto& L = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(L.size())) RaiseListIndexError(Value);
    L.erase(L.begin() + Current);
    L.insert(L.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection != nullptr && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

String TCollectionItem::GetNamePath() const {
    if (FCollection == nullptr) return ClassName();
    return FCollection->GetNamePath() + u"[" + IntToStr(Index()) + u"]";
}

// ---- TCollection ----------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
    // Items die quietly: nobody is left to tell.
    FUpdateCount = 1;
    while (!FItems.empty()) {
        TCollectionItem* Item = FItems.back();
        FItems.pop_back();
        Item->FCollection = nullptr;
        delete Item;
    }
}

void TCollection::InsertItem(TCollectionItem* Item, bool Announce) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    if (Announce) {
        Notify(Item, cnAdded);
        Changed();
    }
}

void TCollection::RemoveItem(TCollectionItem* Item, bool Announce) {
    if (Announce) Notify(Item, cnExtracting);
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end()) FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* Item = FItemClass.Create(this);
    if (Item->FCollection != this) InsertItem(Item, false);
    Notify(Item, cnAdded);
    Changed();
    return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* Item = Items(Index);
    Notify(Item, cnDeleting);
    Item->Free();
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    try {
        while (!FItems.empty()) FItems.back()->Free();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID) return Item;
    return nullptr;
}

void TCollection::EndUpdate() {
    if (FUpdateCount == 0) return;
    --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TCollection*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem* Item : Other->FItems) Add()->Assign(Item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
