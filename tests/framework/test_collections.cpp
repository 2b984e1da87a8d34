#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/uQvCollections.h"
#include "platform/uQvStrUtils.h"

namespace {

std::vector<std::string> Events;

class TNamedItem : public TCollectionItem {
public:
    explicit TNamedItem(TCollection* C) : TCollectionItem(C), Label("made") {}
    std::string Label;
    void Touch() { Changed(false); }
    void Assign(const TPersistent* Source) override {
        if (auto* Other = dynamic_cast<const TNamedItem*>(Source)) {
            Label = Other->Label;
            return;
        }
        TCollectionItem::Assign(Source);
    }
};

class TOtherItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
};

class TWatchedCollection : public TOwnedCollection {
public:
    explicit TWatchedCollection(TPersistent* Owner) : TOwnedCollection(Owner, CollectionItemClass<TNamedItem>()) {}
    TNamedItem* Item(int I) const { return static_cast<TNamedItem*>(Items(I)); }
    TNamedItem* Add() { return static_cast<TNamedItem*>(TOwnedCollection::Add()); }
    TNamedItem* Insert(int I) { return static_cast<TNamedItem*>(TOwnedCollection::Insert(I)); }

protected:
    void Update(TCollectionItem* Item) override {
        Events.push_back(Item ? "update " + static_cast<TNamedItem*>(Item)->Label : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        // The item is whole when it is announced: its own fields are set.
        const auto* Named = dynamic_cast<TNamedItem*>(Item);
        const char* Names[] = {"added", "extracting", "deleting"};
        Events.push_back(std::string(Names[Action]) + " " + (Named ? Named->Label : "?"));
    }
};

std::vector<std::string> Labels(const TWatchedCollection& C) {
    std::vector<std::string> R;
    for (int I = 0; I < C.Count(); ++I) R.push_back(C.Item(I)->Label);
    return R;
}

}  // namespace

TEST(Collections, AddInsertDeleteShiftItemsAndAnnounceWholeItems) {
    TPersistent Owner;
    TWatchedCollection C(&Owner);
    Events.clear();
    C.Add()->Label = "a";
    C.Add()->Label = "c";
    C.Insert(1)->Label = "b";
    EXPECT_EQ(Labels(C), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Events, (std::vector<std::string>{"added made", "update all", "added made", "update all", "added made",
                                                "update all", "update all"}));
    EXPECT_EQ(C.Item(2)->Index(), 2);
    EXPECT_EQ(C.GetOwner(), &Owner);

    Events.clear();
    C.Delete(0);
    EXPECT_EQ(Labels(C), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(C.Item(0)->Index(), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"deleting a", "extracting a", "update all"}));
    try {
        C.Items(2);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (2)");
    }
    EXPECT_THROW(C.Delete(-1), EListError);
    EXPECT_THROW(C.Insert(5), EListError);
    EXPECT_EQ(C.Count(), 2);
}

TEST(Collections, UpdatesNestAndTheLastEndUpdateReportsOnce) {
    TWatchedCollection C(nullptr);
    C.Add()->Label = "x";
    Events.clear();
    C.BeginUpdate();
    C.BeginUpdate();
    C.Add();
    C.Item(0)->Touch();
    C.EndUpdate();
    EXPECT_EQ(Events, (std::vector<std::string>{"added made"}));
    C.EndUpdate();
    EXPECT_EQ(Events.back(), "update all");
    C.EndUpdate();  // unpaired: ignored
    EXPECT_EQ(C.UpdateCount(), 0);
    Events.clear();
    C.Item(0)->Touch();
    EXPECT_EQ(Events, (std::vector<std::string>{"update x"}));
    Events.clear();
    C.Clear();
    EXPECT_EQ(Events, (std::vector<std::string>{"extracting made", "extracting x", "update all"}));
}

TEST(Collections, ItemsMoveWithinAndBetweenCollections) {
    TWatchedCollection A(nullptr), B(nullptr);
    for (const char* L : {"a", "b", "c"}) A.Add()->Label = L;
    A.Item(0)->SetIndex(2);
    EXPECT_EQ(Labels(A), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_THROW(A.Item(0)->SetIndex(3), EListError);
    TNamedItem* Moved = A.Item(1);
    const int ID = Moved->ID();
    Moved->SetCollection(&B);
    EXPECT_EQ(Labels(A), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(Labels(B), (std::vector<std::string>{"c"}));
    EXPECT_EQ(Moved->Collection(), &B);
    EXPECT_EQ(A.FindItemID(ID), nullptr);

    TCollection Others(CollectionItemClass<TOtherItem>());
    EXPECT_THROW(Moved->SetCollection(&Others), EInvalidOperation);
    EXPECT_EQ(Moved->Collection(), &B);

    Moved->Free();  // a freed item leaves its collection
    EXPECT_EQ(B.Count(), 0);
    Moved = A.Item(0);
    Moved->SetCollection(nullptr);
    EXPECT_EQ(A.Count(), 1);
    delete Moved;
}

TEST(Collections, AssignCopiesEveryItem) {
    TWatchedCollection A(nullptr), B(nullptr);
    for (const char* L : {"a", "b"}) A.Add()->Label = L;
    B.Add()->Label = "old";
    B.Assign(&A);
    EXPECT_EQ(Labels(B), (std::vector<std::string>{"a", "b"}));
    EXPECT_NE(B.Item(0), A.Item(0));
    EXPECT_NE(B.Item(0)->ID(), B.Item(1)->ID());
    TCollection Others(CollectionItemClass<TOtherItem>());
    Others.Add();
    EXPECT_THROW(B.Assign(&Others), EConvertError);  // the items do not know each other
    TPersistent Plain;
    try {
        B.Assign(&Plain);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a TPersistent to a TWatchedCollection");
    }
}
