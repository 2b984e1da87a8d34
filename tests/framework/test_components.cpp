#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/uQvClasses.h"
#include "platform/uQvStrUtils.h"

namespace {

std::vector<std::string> Log;

class TLogged : public TComponent {
public:
    TLogged(TComponent* AOwner, std::string Tag) : TComponent(AOwner), FLabel(std::move(Tag)) {}
    ~TLogged() override { Log.push_back("~" + FLabel + (Owner() ? " owned" : " free")); }

private:
    std::string FLabel;
};

// Holds a reference to another component and drops it when told that component is going.
class TWatcher : public TComponent {
public:
    using TComponent::TComponent;
    TComponent* Watched = nullptr;
    int Told = 0;

    void SetWatched(TComponent* C) {
        if (Watched) Watched->RemoveFreeNotification(this);
        Watched = C;
        if (C) C->FreeNotification(this);
    }

protected:
    void Notification(TComponent* A, TOperation Op) override {
        TComponent::Notification(A, Op);
        if (Op == opRemove && A == Watched) {
            Watched = nullptr;
            ++Told;
        }
    }
};

// Overrides Notification without calling its base.
class TRude : public TComponent {
public:
    using TComponent::TComponent;
    int Told = 0;

protected:
    void Notification(TComponent*, TOperation Op) override { Told += Op == opRemove; }
};

}  // namespace

TEST(Ownership, OwnerDeletesItsComponentsInReverseOrderOfCreation) {
    Log.clear();
    auto* Owner = new TComponent(nullptr);
    new TLogged(Owner, "a");
    auto* B = new TLogged(Owner, "b");
    new TLogged(B, "b1");
    new TLogged(Owner, "c");
    ASSERT_EQ(Owner->ComponentCount(), 3);
    Owner->Free();
    EXPECT_EQ(Log, (std::vector<std::string>{"~c free", "~b1 free", "~b free", "~a free"}));
}

TEST(Ownership, AFreedOrDeletedComponentLeavesItsOwner) {
    Log.clear();
    TComponent Owner(nullptr);
    auto* A = new TLogged(&Owner, "a");
    auto* B = new TLogged(&Owner, "b");
    auto* C = new TLogged(&Owner, "c");
    B->Free();
    ASSERT_EQ(Owner.ComponentCount(), 2);
    EXPECT_EQ(Owner.Components(0), A);
    EXPECT_EQ(Owner.Components(1), C);
    delete A;  // plain delete takes the same way out
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_EQ(C->ComponentIndex(), 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"~b owned", "~a owned"}));
    try {
        Owner.Components(5);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (5)");
    }
}

TEST(Ownership, InsertComponentMovesBetweenOwnersAndRefusesCycles) {
    TComponent A(nullptr), B(nullptr);
    auto* C = new TComponent(&A);
    auto* D = new TComponent(C);
    B.InsertComponent(C);
    EXPECT_EQ(A.ComponentCount(), 0);
    EXPECT_EQ(C->Owner(), &B);
    EXPECT_THROW(D->InsertComponent(C), EComponentError);
    EXPECT_EQ(C->Owner(), &B);
}

TEST(Names, UniqueAmongTheOwnersNonEmptyNamesIgnoringCase) {
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    auto* B = new TComponent(&Owner);
    new TComponent(&Owner);  // several components may stay unnamed
    A->SetName(u"btnOk");
    try {
        B->SetName(u"BTNOK");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_STREQ(E.what(), "A component named BTNOK already exists");
    }
    EXPECT_EQ(B->Name(), u"");
    A->SetName(u"BtnOK");  // a change of case only is no clash with itself
    EXPECT_EQ(Owner.FindComponent(u"btnok"), A);
    EXPECT_EQ(Owner.FindComponent(u""), nullptr);
    try {
        B->SetName(u"2nd");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_STREQ(E.what(), "'2nd' is not a valid component name");
    }
    // A named component cannot join an owner that already has the name.
    TComponent Other(nullptr);
    auto* E = new TComponent(&Other);
    E->SetName(u"btnOk");
    EXPECT_THROW(Owner.InsertComponent(E), EComponentError);
    EXPECT_EQ(E->Owner(), &Other);
    A->SetTag(-7);
    EXPECT_EQ(A->Tag(), -7);
}

TEST(FreeNotification, ReferencesAcrossOwnersAreClearedInBothDirections) {
    TComponent Form1(nullptr), Form2(nullptr);
    auto* W = new TWatcher(&Form1);
    auto* Target = new TComponent(&Form2);
    W->SetWatched(Target);
    Target->Free();
    EXPECT_EQ(W->Watched, nullptr);
    EXPECT_EQ(W->Told, 1);

    // The watcher dying first unlinks itself from the target (no dangling entry).
    auto* Target2 = new TComponent(&Form2);
    auto* W2 = new TWatcher(&Form1);
    W2->SetWatched(Target2);
    W2->Free();
    Target2->Free();

    // RemoveFreeNotification stops the message.
    auto* W3 = new TWatcher(&Form1);
    auto* Target3 = new TComponent(nullptr);
    W3->SetWatched(Target3);
    W3->SetWatched(nullptr);
    W3->Watched = Target3;
    Target3->Free();
    EXPECT_EQ(W3->Told, 0);
}

TEST(FreeNotification, SiblingsHearThroughTheirOwnerAlsoWhileTheOwnerDies) {
    auto* Form = new TComponent(nullptr);
    auto* W = new TWatcher(Form);
    auto* Target = new TComponent(Form);
    W->SetWatched(Target);
    Target->Free();
    EXPECT_EQ(W->Told, 1);
    W->SetWatched(new TComponent(Form));  // created after W, so it dies first
    Form->Free();                         // ASan: W must not touch the freed target
    SUCCEED();
}

TEST(FreeNotification, AnOverrideThatSkipsItsBaseDoesNotHangTheLoop) {
    auto* Rude = new TRude(nullptr);
    auto* Target = new TComponent(nullptr);
    Target->FreeNotification(Rude);
    Target->Free();
    EXPECT_EQ(Rude->Told, 1);
    Rude->Free();
}

namespace {

std::vector<std::string> Steps;

class TBaseModule : public TDataModule {
public:
    explicit TBaseModule(TComponent* AOwner) : TDataModule(AOwner) { new TComponent(this); }
    ~TBaseModule() override { Steps.push_back("~base owns " + std::to_string(ComponentCount())); }
    void Created() override {
        TDataModule::Created();
        Steps.push_back("base created as " + StringToUtf8(ClassName()));
        Virtual();
    }
    virtual void Virtual() { Steps.push_back("base virtual"); }
};

class TDerivedModule : public TBaseModule {
public:
    explicit TDerivedModule(TComponent* AOwner, bool Fail = false) : TBaseModule(AOwner), FFail(Fail) {}
    ~TDerivedModule() override { Steps.push_back("~derived"); }
    void Created() override {
        TBaseModule::Created();
        Steps.push_back("derived created");
        if (FFail) throw EQvError("failed in Created");
    }
    void Virtual() override { Steps.push_back("derived virtual"); }

private:
    bool FFail;
};

}  // namespace

TEST(Construction, CreateReachesTheMostDerivedCreatedBaseFirstThenOnCreate) {
    Steps.clear();
    TComponent Application(nullptr);
    auto* M = Create<TDerivedModule>(&Application);
    EXPECT_EQ(Steps, (std::vector<std::string>{"base created as TDerivedModule", "derived virtual",
                                                "derived created"}));
    EXPECT_EQ(M->Owner(), &Application);

    Steps.clear();
    M->OnDestroy = [&](TObject* Sender) {
        // OnDestroy runs first, with everything still in place.
        EXPECT_EQ(static_cast<TComponent*>(Sender)->ComponentCount(), 1);
        EXPECT_FALSE(static_cast<TComponent*>(Sender)->ComponentState().Contains(csDestroying));
        Steps.push_back("OnDestroy");
    };
    M->Free();
    EXPECT_EQ(Steps, (std::vector<std::string>{"OnDestroy", "~derived", "~base owns 0"}));
    EXPECT_EQ(Application.ComponentCount(), 0);
}

TEST(Construction, OnCreateRunsAfterCreatedAndAFailureFreesTheObject) {
    TComponent Application(nullptr);
    Steps.clear();
    EXPECT_THROW(Create<TDerivedModule>(&Application, true), EQvError);
    EXPECT_EQ(Application.ComponentCount(), 0);  // freed, not leaked (ASan)
    EXPECT_EQ(Steps.back(), "~base owns 0");

    class TWithEvent : public TDataModule {
    public:
        explicit TWithEvent(TComponent* AOwner) : TDataModule(AOwner) {
            OnCreate = [this](TObject*) { Seen = CreatedRan; };
        }
        void Created() override { CreatedRan = true; }
        bool CreatedRan = false, Seen = false;
    };
    auto* W = Create<TWithEvent>(&Application);
    EXPECT_TRUE(W->Seen);
}

namespace {

class TPoint2 : public TPersistent {
public:
    int X = 0, Y = 0;
    void Assign(const TPersistent* Source) override {
        if (auto* P = dynamic_cast<const TPoint2*>(Source)) {
            X = P->X;
            Y = P->Y;
            return;
        }
        TPersistent::Assign(Source);
    }
};

class TSize2 : public TPersistent {
public:
    int W = 0;

protected:
    // Knows how to put itself into a point, though the point does not know sizes.
    void AssignTo(TPersistent* Dest) const override {
        if (auto* P = dynamic_cast<TPoint2*>(Dest)) {
            P->X = W;
            return;
        }
        TPersistent::AssignTo(Dest);
    }
};

}  // namespace

TEST(Persistent, AssignFallsBackToAssignToThenRaises) {
    TPoint2 A, B;
    B.X = 3;
    B.Y = 4;
    A.Assign(&B);
    EXPECT_EQ(A.Y, 4);
    TSize2 S;
    S.W = 9;
    A.Assign(&S);
    EXPECT_EQ(A.X, 9);
    try {
        S.Assign(&A);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a TPoint2 to a TSize2");
    }
    try {
        A.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a nil to a TPoint2");
    }
}
