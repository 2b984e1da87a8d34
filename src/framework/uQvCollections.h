#pragma once
// Owned, ordered collections of persistent items with update nesting and notifications.

#include <functional>
#include <vector>

#include "framework/uQvClasses.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// An item of a collection. Items are made by the collection's Add or Insert, which announce
// them (Notify cnAdded, Update) once they are fully constructed; the constructor alone only
// joins the list. Freeing an item takes it out of its collection.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    void BeforeDestruction() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (its end), or out of any with nullptr.
    virtual void SetCollection(TCollection* Value);
    int Index() const;
    // Moves the item within its collection; later items shift.
    virtual void SetIndex(int Value);
    int ID() const { return FID; }
    virtual String DisplayName() const { return ClassName(); }

    TPersistent* GetOwner() const override;
    String GetNamePath() const override;

protected:
    // Tells the collection (Update(this), or Update(nullptr) for AllItems) unless it is
    // inside BeginUpdate/EndUpdate.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// What a collection makes and accepts as items.
struct TCollectionItemClass {
    std::function<TCollectionItem*(TCollection*)> Create;
    std::function<bool(const TCollectionItem*)> Accepts;
};

template <typename T>
TCollectionItemClass CollectionItemClass() {
    return {[](TCollection* C) -> TCollectionItem* { return new T(C); },
            [](const TCollectionItem* I) { return dynamic_cast<const T*>(I) != nullptr; }};
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    // Adds an item and moves it to Index.
    TCollectionItem* Insert(int Index);
    // Notify(cnDeleting), then frees the item; later items shift down.
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TCollectionItem* Items(int Index) const;
    TCollectionItem* FindItemID(int ID) const;

    // Nested; the last EndUpdate calls Update(nullptr).
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clears, then adds and assigns a copy of each item.
    void Assign(const TPersistent* Source) override;
    const TCollectionItemClass& ItemClass() const { return FItemClass; }

protected:
    // Item changed (nullptr: the whole collection).
    virtual void Update(TCollectionItem*) {}
    virtual void Notify(TCollectionItem*, TCollectionNotification) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item, bool Announce);
    void RemoveItem(TCollectionItem* Item, bool Announce);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection that belongs to an object (a control's item list).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
