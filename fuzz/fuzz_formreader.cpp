// The text-form reader on arbitrary bytes, through classes with every kind of property.
// Reading either succeeds or raises EReadError, and a failure leaves no component in a
// loading state. What was read writes out as a form that reads back and writes the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "framework/uQvCollections.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStringList.h"

namespace {

enum TFzShape { fzCircle, fzSquare, fzStar };
enum TFzSide { fzLeft, fzTop, fzRight, fzBottom };
using TFzSides = TSet<TFzSide>;

void Check(bool Condition) {
    if (!Condition) std::abort();
}

class TFzItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String Description;
    std::string Data;
    int Size = 0;
};

class TFzPart : public TComponent {
public:
    explicit TFzPart(TComponent* AOwner) : TComponent(AOwner) {}
    ~TFzPart() override {
        SetBuddy(nullptr);
        for (TFzPart* C : FChildren) C->FParentBox = nullptr;
        if (FParentBox) FParentBox->Forget(this);
    }
    virtual bool IsBox() const { return false; }
    bool HasParent() const override { return FParentBox != nullptr; }
    TComponent* GetParentComponent() const override { return FParentBox; }
    void SetParentComponent(TComponent* Value) override {
        auto* Box = dynamic_cast<TFzPart*>(Value);
        if (Box && !Box->IsBox()) Box = nullptr;
        for (const TFzPart* P = Box; P != nullptr; P = P->FParentBox)
            if (P == this) throw EComponentError(u"A part cannot hold itself");
        if (FParentBox) FParentBox->Forget(this);
        FParentBox = Box;
        if (FParentBox) FParentBox->FChildren.push_back(this);
    }
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (TFzPart* C : std::vector<TFzPart*>(FChildren)) Proc(C);
    }

    int Left = 0;
    bool Active = false;
    String Caption;
    TFzShape Shape = fzCircle;
    TFzSides Sides{fzLeft, fzTop};
    TColor Color = clWhite;
    double Ratio = 0.5;
    int64_t Big = 0;
    std::string Blob;
    TFont Font;
    TOwnedCollection Items{this, CollectionItemClass<TFzItem>()};
    TStringList Lines;

    TFzPart* Buddy() const { return FBuddy; }
    void SetBuddy(TFzPart* Value) {
        if (FBuddy != nullptr) FBuddy->RemoveFreeNotification(this);
        FBuddy = Value;
        if (FBuddy != nullptr) FBuddy->FreeNotification(this);
    }

    void DefineProperties(TFiler& Filer) override {
        TComponent::DefineProperties(Filer);
        Filer.DefineBinaryProperty(
            u"Blob",
            [this](TStream& S) {
                Blob.assign(static_cast<size_t>(S.Size()), '\0');
                S.ReadBuffer(Blob.data(), S.Size());
            },
            [this](TStream& S) { S.WriteBuffer(Blob.data(), static_cast<int64_t>(Blob.size())); },
            !Blob.empty());
    }

    // References are set and reading is over by now.
    void Loaded() override {
        Check(ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading));
        TComponent::Loaded();
    }

protected:
    void Notification(TComponent* A, TOperation Op) override {
        TComponent::Notification(A, Op);
        if (Op == opRemove && A == FBuddy) FBuddy = nullptr;
    }

private:
    void Forget(TFzPart* C) { FChildren.erase(std::find(FChildren.begin(), FChildren.end(), C)); }
    TFzPart* FBuddy = nullptr;
    TFzPart* FParentBox = nullptr;
    std::vector<TFzPart*> FChildren;
};

class TFzBox : public TFzPart {
public:
    using TFzPart::TFzPart;
    bool IsBox() const override { return true; }
};

// Reads its own layout in its constructor, as forms and frames do. It is no box: the
// writer lists only the components of the root, and this one's own stay its own.
class TFzFrame : public TFzPart {
public:
    explicit TFzFrame(TComponent* AOwner) : TFzPart(AOwner) {
        ReadStoredLayout(this, u"object TFzFrame\n  Left = 3\n"
                               u"  object Inner: TFzPart\n    Buddy = Inner\n  end\nend\n");
    }
};

class TFzModule : public TDataModule {
public:
    using TDataModule::TDataModule;
};

void RegisterFuzzClasses() {
    RegisterQvGraphics();
    RegisterEnum<TFzShape>(u"TFzShape", {u"fzCircle", u"fzSquare", u"fzStar"});
    RegisterEnum<TFzSide>(u"TFzSide", {u"fzLeft", u"fzTop", u"fzRight", u"fzBottom"});
    RegisterClass<TFzItem, TCollectionItem>(u"TFzItem")
        .Binary(
            u"Data",
            [](TFzItem* I, TStream& S) {
                I->Data.assign(static_cast<size_t>(S.Size()), '\0');
                S.ReadBuffer(I->Data.data(), S.Size());
            },
            [](TFzItem* I, TStream& S) {
                S.WriteBuffer(I->Data.data(), static_cast<int64_t>(I->Data.size()));
            },
            [](TFzItem* I) { return !I->Data.empty(); })
        .Prop(u"Description", [](TFzItem* I) { return I->Description; },
              [](TFzItem* I, const String& V) { I->Description = V; })
        .Prop(u"Size", [](TFzItem* I) { return I->Size; }, [](TFzItem* I, int V) { I->Size = V; }, 0);
    RegisterClass<TFzPart, TComponent>(u"TFzPart")
        .Prop(u"Left", [](TFzPart* P) { return P->Left; }, [](TFzPart* P, int V) { P->Left = V; })
        .Prop(u"Active", [](TFzPart* P) { return P->Active; },
              [](TFzPart* P, bool V) { P->Active = V; }, false)
        .Prop(u"Caption", [](TFzPart* P) { return P->Caption; },
              [](TFzPart* P, const String& V) { P->Caption = V; })
        .Prop(u"Shape", [](TFzPart* P) { return P->Shape; },
              [](TFzPart* P, TFzShape V) { P->Shape = V; }, fzCircle)
        .Prop(u"Sides", [](TFzPart* P) { return P->Sides; }, [](TFzPart* P, TFzSides V) { P->Sides = V; },
              TFzSides{fzLeft, fzTop})
        .Color(u"Color", [](TFzPart* P) { return P->Color; },
               [](TFzPart* P, TColor V) { P->Color = V; }, clWhite)
        .Prop(u"Ratio", [](TFzPart* P) { return P->Ratio; }, [](TFzPart* P, double V) { P->Ratio = V; }, 0.5)
        .Prop(u"Big", [](TFzPart* P) { return P->Big; },
              [](TFzPart* P, int64_t V) { P->Big = V; }, int64_t{0})
        .Object(u"Font", [](TFzPart* P) { return &P->Font; })
        .Object(u"Items", [](TFzPart* P) { return &P->Items; })
        .Object(u"Lines", [](TFzPart* P) { return &P->Lines; })
        .Component<TFzPart>(u"Buddy", &TFzPart::Buddy, &TFzPart::SetBuddy);
    RegisterClass<TFzBox, TFzPart>(u"TFzBox");
    RegisterClass<TFzFrame, TFzPart>(u"TFzFrame");
    RegisterClass<TFzModule, TDataModule>(u"TFzModule");
}

// A module outside every root, for references written "Other.Far".
TFzModule* OtherModule() {
    static TFzModule* Other = [] {
        auto* M = new TFzModule(nullptr);
        M->SetName(u"Other");
        (new TFzPart(M))->SetName(u"Far");
        SetFindGlobalComponent([M](const String& Name) { return SameText(Name, M->Name()) ? M : nullptr; });
        return M;
    }();
    return Other;
}

bool NothingLoading(const TComponent* Root) {
    const TComponentState State = Root->ComponentState();
    if (State.Contains(csLoading) || State.Contains(csReading)) return false;
    for (int I = 0; I < Root->ComponentCount(); ++I)
        if (!NothingLoading(Root->Components(I))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterFuzzClasses();
    OtherModule();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    String Written;
    {
        TFzModule Root(nullptr);
        try {
            ReadComponentTextUtf8(&Root, Text);
            Check(NothingLoading(&Root));
            // A root named like the outside module hides it from references.
            if (!SameText(Root.Name(), OtherModule()->Name())) Written = WriteComponentText(&Root);
        } catch (const EReadError&) {
            Check(NothingLoading(&Root));
        }
    }
    if (!Written.empty()) {
        TFzModule Back(nullptr);
        ReadComponentText(&Back, Written);
        Check(WriteComponentText(&Back) == Written);
    }
    // The root made from the class the text names: freed again when reading fails.
    TComponent Owner(nullptr);
    try {
        TComponent* Made = ReadNewComponentText(Utf8ToString(Text), &Owner);
        Check(Made->Owner() == &Owner && NothingLoading(Made));
    } catch (const EReadError&) {
        Check(Owner.ComponentCount() == 0);
    }
    return 0;
}
