#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/uQvCollections.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStringList.h"
#include "support/qv_error_of.h"

namespace {

enum TTestShape { tsCircle, tsSquare, tsStar };
enum TTestSide { tdLeft, tdTop, tdRight, tdBottom };
using TTestSides = TSet<TTestSide>;
enum TTestFontStyle { fsBold, fsItalic };
using TTestFontStyles = TSet<TTestFontStyle>;

std::vector<std::string> LoadedLog;

class TTestFont : public TPersistent {
public:
    int Height() const { return FHeight; }
    void SetHeight(int V) { FHeight = V; }
    const String& Name() const { return FName; }
    void SetName(const String& V) { FName = V; }
    TTestFontStyles Style() const { return FStyle; }
    void SetStyle(TTestFontStyles V) { FStyle = V; }

private:
    int FHeight = -11;
    String FName = u"Tahoma";
    TTestFontStyles FStyle;
};

class TTestItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String ResID, Description;
    std::string Data;
    int Size = 0;
};

class TTestPart : public TComponent {
public:
    explicit TTestPart(TComponent* AOwner) : TComponent(AOwner) {}
    ~TTestPart() override {
        SetBuddy(nullptr);
        for (TTestPart* C : FChildren) C->FParentBox = nullptr;
        if (FParentBox) FParentBox->Forget(this);
    }
    virtual bool IsBox() const { return false; }
    bool HasParent() const override { return FParentBox != nullptr; }
    TComponent* GetParentComponent() const override { return FParentBox; }
    void SetParentComponent(TComponent* Value) override {
        if (FParentBox) FParentBox->Forget(this);
        FParentBox = dynamic_cast<TTestPart*>(Value);
        if (FParentBox && !FParentBox->IsBox()) FParentBox = nullptr;
        if (FParentBox) FParentBox->FChildren.push_back(this);
    }
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (TTestPart* C : std::vector<TTestPart*>(FChildren)) Proc(C);
    }
    int ChildCount() const { return static_cast<int>(FChildren.size()); }

    int Left = 0;
    bool Active = false;
    String Caption;
    TTestShape Shape = tsCircle;
    TTestSides Sides{tdLeft, tdTop, tdRight, tdBottom};
    TColor Color = clWhite;
    double Ratio = 0;
    int64_t Big = 0;
    std::string Blob;
    TTestFont Font;
    TOwnedCollection Items{this, CollectionItemClass<TTestItem>()};
    TStringList Lines;

    TTestPart* Buddy() const { return FBuddy; }
    void SetBuddy(TTestPart* Value) {
        if (FBuddy != nullptr) FBuddy->RemoveFreeNotification(this);
        FBuddy = Value;
        if (FBuddy != nullptr) FBuddy->FreeNotification(this);
    }

    void DefineProperties(TFiler& Filer) override {
        TComponent::DefineProperties(Filer);
        Filer.DefineBinaryProperty(
            u"Blob", [this](TStream& S) { Blob.assign(static_cast<size_t>(S.Size()), '\0'), S.ReadBuffer(Blob.data(), S.Size()); },
            [this](TStream& S) { S.WriteBuffer(Blob.data(), static_cast<int64_t>(Blob.size())); }, !Blob.empty());
    }

    void Loaded() override {
        LoadedLog.push_back(StringToUtf8(Name()) + (ComponentState().Contains(csLoading) ? " loading" : "") +
                            (ComponentState().Contains(csReading) ? " reading" : ""));
        TComponent::Loaded();
    }

protected:
    void Notification(TComponent* A, TOperation Op) override {
        TComponent::Notification(A, Op);
        if (Op == opRemove && A == FBuddy) FBuddy = nullptr;
    }

private:
    void Forget(TTestPart* C) { FChildren.erase(std::find(FChildren.begin(), FChildren.end(), C)); }
    TTestPart* FBuddy = nullptr;
    TTestPart* FParentBox = nullptr;
    std::vector<TTestPart*> FChildren;
};

// A part that holds other parts in stored layouts.
class TTestBox : public TTestPart {
public:
    using TTestPart::TTestPart;
    bool IsBox() const override { return true; }
};

class TTestModule : public TDataModule {
public:
    using TDataModule::TDataModule;
    void Loaded() override {
        LoadedLog.push_back(StringToUtf8(Name()) + (ComponentState().Contains(csLoading) ? " loading" : ""));
        TDataModule::Loaded();
    }
};

void RegisterTestClasses() {
    RegisterEnum<TTestShape>(u"TTestShape", {u"tsCircle", u"tsSquare", u"tsStar"});
    RegisterEnum<TTestSide>(u"TTestSide", {u"tdLeft", u"tdTop", u"tdRight", u"tdBottom"});
    RegisterEnum<TTestFontStyle>(u"TTestFontStyle", {u"fsBold", u"fsItalic"});
    RegisterClass<TTestFont, TPersistent>(u"TTestFont")
        .Prop(u"Height", &TTestFont::Height, &TTestFont::SetHeight, -11)
        .Prop(u"Name", &TTestFont::Name, &TTestFont::SetName, u"Tahoma")
        .Prop(u"Style", &TTestFont::Style, &TTestFont::SetStyle, TTestFontStyles{});
    RegisterClass<TTestItem, TCollectionItem>(u"TTestItem")
        .Prop(u"ResID", [](TTestItem* I) { return I->ResID; }, [](TTestItem* I, const String& V) { I->ResID = V; })
        .Binary(
            u"Data", [](TTestItem* I, TStream& S) {
                I->Data.assign(static_cast<size_t>(S.Size()), '\0');
                S.ReadBuffer(I->Data.data(), S.Size());
            },
            [](TTestItem* I, TStream& S) { S.WriteBuffer(I->Data.data(), static_cast<int64_t>(I->Data.size())); },
            [](TTestItem* I) { return !I->Data.empty(); })
        .Prop(u"Description", [](TTestItem* I) { return I->Description; },
              [](TTestItem* I, const String& V) { I->Description = V; })
        .Prop(u"Size", [](TTestItem* I) { return I->Size; }, [](TTestItem* I, int V) { I->Size = V; }, 0);
    RegisterClass<TTestPart, TComponent>(u"TTestPart")
        .Prop(u"Left", [](TTestPart* P) { return P->Left; }, [](TTestPart* P, int V) { P->Left = V; })
        .Prop(u"Active", [](TTestPart* P) { return P->Active; }, [](TTestPart* P, bool V) { P->Active = V; }, false)
        .Prop(u"Caption", [](TTestPart* P) { return P->Caption; }, [](TTestPart* P, const String& V) { P->Caption = V; })
        .Prop(u"Shape", [](TTestPart* P) { return P->Shape; }, [](TTestPart* P, TTestShape V) { P->Shape = V; },
              tsCircle)
        .Prop(u"Sides", [](TTestPart* P) { return P->Sides; }, [](TTestPart* P, TTestSides V) { P->Sides = V; },
              TTestSides{tdLeft, tdTop, tdRight, tdBottom})
        .Color(u"Color", [](TTestPart* P) { return P->Color; }, [](TTestPart* P, TColor V) { P->Color = V; }, clWhite)
        .Prop(u"Ratio", [](TTestPart* P) { return P->Ratio; }, [](TTestPart* P, double V) { P->Ratio = V; })
        .Object(u"Font", [](TTestPart* P) { return &P->Font; })
        .Object(u"Items", [](TTestPart* P) { return &P->Items; })
        .Component<TTestPart>(u"Buddy", &TTestPart::Buddy, &TTestPart::SetBuddy)
        .Object(u"Lines", [](TTestPart* P) { return &P->Lines; })
        .Prop(u"Big", [](TTestPart* P) { return P->Big; }, [](TTestPart* P, int64_t V) { P->Big = V; }, int64_t{0});
    RegisterClass<TTestBox, TTestPart>(u"TTestBox");
    RegisterClass<TTestModule, TDataModule>(u"TTestModule");
}

const char16_t* const Canonical =
    u"object Module1: TTestModule\n"
    u"  object Part1: TTestPart\n"
    u"    Left = 10\n"
    u"    Active = True\n"
    u"    Caption = 'It''s '#30830#23450\n"
    u"    Shape = tsStar\n"
    u"    Sides = [tdLeft, tdRight]\n"
    u"    Color = clRed\n"
    u"    Ratio = 0.25\n"
    u"    Font.Height = -12\n"
    u"    Font.Name = #24494#36719#38597#40657\n"
    u"    Font.Style = [fsBold]\n"
    u"    Items = <\n"
    u"      item\n"
    u"        ResID = 'PelluxCheckBox'\n"
    u"        Data = {\n"
    u"          44000000110000000102030405060708090A0B0C0D0E0F101112131415161718\n"
    u"          191A}\n"
    u"        Size = 3\n"
    u"      end\n"
    u"      item\n"
    u"        Description = 't1'\n"
    u"      end>\n"
    u"    Buddy = Inner\n"
    u"    Lines.Strings = (\n"
    u"      'first'\n"
    u"      ''\n"
    u"      'third')\n"
    u"    Big = -1099511627776\n"
    u"    Blob = {\n"
    u"      0001FF}\n"
    u"  end\n"
    u"  object Box1: TTestBox\n"
    u"    Left = 0\n"
    u"    Color = 14454598\n"
    u"    object Inner: TTestPart\n"
    u"      Left = 5\n"
    u"      Caption = 'A long caption that goes on and on so that it has to continue on' +\n"
    u"        ' the next line'\n"
    u"      Buddy = Part1\n"
    u"    end\n"
    u"  end\n"
    u"end\n";

class Streaming : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        LoadedLog.clear();
    }
};

}  // namespace

TEST_F(Streaming, ARoundTripGivesBackTheSameForm) {
    const String Text = String(Canonical);
    TComponent Owner(nullptr);
    auto* M = new TTestModule(&Owner);
    ReadComponentText(M, Text);
    EXPECT_EQ(M->Name(), u"Module1");
    ASSERT_EQ(M->ComponentCount(), 3);
    auto* Part1 = static_cast<TTestPart*>(M->FindComponent(u"Part1"));
    auto* Box1 = static_cast<TTestBox*>(M->FindComponent(u"box1"));
    auto* Inner = static_cast<TTestPart*>(M->FindComponent(u"Inner"));
    ASSERT_TRUE(Part1 && Box1 && Inner);
    EXPECT_EQ(Part1->Caption, u"It's 确定");
    EXPECT_EQ(Part1->Shape, tsStar);
    EXPECT_EQ(Part1->Sides, (TTestSides{tdLeft, tdRight}));
    EXPECT_EQ(Part1->Color, clRed);
    EXPECT_EQ(Part1->Ratio, 0.25);
    EXPECT_EQ(Part1->Font.Height(), -12);
    EXPECT_EQ(Part1->Font.Name(), u"微软雅黑");
    ASSERT_EQ(Part1->Items.Count(), 2);
    const auto* Item0 = static_cast<TTestItem*>(Part1->Items.Items(0));
    EXPECT_EQ(Item0->Data.size(), 34u);
    EXPECT_EQ(Item0->Data.substr(0, 8), std::string("\x44\0\0\0\x11\0\0\0", 8));
    EXPECT_EQ(static_cast<TTestItem*>(Part1->Items.Items(1))->Description, u"t1");
    EXPECT_EQ(Part1->Buddy(), Inner);  // a reference to a component read later
    EXPECT_EQ(Inner->Buddy(), Part1);
    EXPECT_EQ(Part1->Lines.Text(), u"first\r\n\r\nthird\r\n");
    EXPECT_EQ(Part1->Big, -1099511627776);
    EXPECT_EQ(Part1->Blob, std::string("\x00\x01\xFF", 3));
    EXPECT_EQ(Box1->ChildCount(), 1);
    EXPECT_EQ(Inner->GetParentComponent(), Box1);
    EXPECT_EQ(StringToUtf8(WriteComponentText(M)), StringToUtf8(Text));

    // Freeing a referenced component clears the reference.
    Inner->Free();
    EXPECT_EQ(Part1->Buddy(), nullptr);
    EXPECT_EQ(Box1->ChildCount(), 0);
}

TEST_F(Streaming, OnlyValuesThatDifferFromTheirDefaultsAreWritten) {
    TTestModule M(nullptr);
    auto* P = new TTestPart(&M);
    P->SetName(u"P");
    P->Color = SysColor(25);  // a system colour without a name
    P->Ratio = 0.1 + 0.2;  // needs 17 digits to come back exactly
    EXPECT_EQ(WriteComponentText(&M),
              u"object TTestModule\n"
              u"  object P: TTestPart\n"
              u"    Left = 0\n"
              u"    Color = -16777191\n"
              u"    Ratio = 0.30000000000000004\n"
              u"  end\n"
              u"end\n");
    TTestModule Back(nullptr);
    ReadComponentText(&Back, WriteComponentText(&M));
    EXPECT_EQ(static_cast<TTestPart*>(Back.Components(0))->Ratio, 0.1 + 0.2);
}

TEST_F(Streaming, HexadecimalColoursAndLooseLayoutAreAccepted) {
    TTestModule M(nullptr);
    ReadComponentText(&M,
                      u"\uFEFFOBJECT M: TTestModule\r\n"
                      u"object P: TTestPart Left=$10 Color=$FF000019 Caption='a'+\r\n  'b'#$41 Shape=TSSQUARE\r\n"
                      u"Sides=[] Lines.Strings=() Buddy = nil Font.Style = [fsItalic,fsBold] end END");
    auto* P = static_cast<TTestPart*>(M.FindComponent(u"P"));
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->Left, 16);
    EXPECT_EQ(P->Color, SysColor(25));
    EXPECT_EQ(P->Caption, u"abA");
    EXPECT_EQ(P->Shape, tsSquare);
    EXPECT_TRUE(P->Sides.Empty());
    EXPECT_EQ(P->Font.Style(), (TTestFontStyles{fsBold, fsItalic}));
}

TEST_F(Streaming, TheLastValueOfAPropertyCountsForReferencesToo) {
    TTestModule M(nullptr);
    ReadComponentText(&M, u"object M: TTestModule\n  object A: TTestPart\n  end\n"
                          u"  object P: TTestPart\n    Left = 1\n    Buddy = A\n"
                          u"    Left = 2\n    Buddy = nil\n  end\n"
                          u"  object Q: TTestPart\n    Buddy = Nobody\n    Buddy = A\n  end\nend\n");
    const auto* P = static_cast<TTestPart*>(M.FindComponent(u"P"));
    EXPECT_EQ(P->Left, 2);
    EXPECT_EQ(P->Buddy(), nullptr);
    EXPECT_EQ(static_cast<TTestPart*>(M.FindComponent(u"Q"))->Buddy(), M.FindComponent(u"A"));
}

TEST_F(Streaming, IntegersHoldTheSigned64BitRangeInHexadecimalAsInDecimal) {
    auto Big = [](const char16_t* Value) {
        TTestModule M(nullptr);
        ReadComponentText(&M, u"object M: TTestModule\n  object P: TTestPart\n    Big = " + String(Value) +
                                  u"\n  end\nend");
        return static_cast<TTestPart*>(M.Components(0))->Big;
    };
    EXPECT_EQ(Big(u"$7FFFFFFFFFFFFFFF"), INT64_MAX);
    EXPECT_EQ(Big(u"-$8000000000000000"), INT64_MIN);
    EXPECT_EQ(Big(u"$000000000000000001"), 1);
    EXPECT_EQ(Big(u"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(Big(u"-9223372036854775808"), INT64_MIN);
    for (const char16_t* Value : {u"$8000000000000000", u"$FFFFFFFFFFFFFFFF", u"$10000000000000000",
                                  u"-$8000000000000001", u"9223372036854775808", u"-9223372036854775809"})
        EXPECT_EQ(QvErrorOf([&] { Big(Value); }), "Line 3: Integer value out of range: " + StringToUtf8(Value));
}

TEST_F(Streaming, LoadedRunsAtTheEndInCreationOrderAfterReferencesAreSet) {
    TTestModule M(nullptr);
    ReadComponentText(&M, String(Canonical));
    EXPECT_EQ(LoadedLog, (std::vector<std::string>{"Module1 loading", "Part1 loading", "Box1 loading", "Inner loading"}));
    EXPECT_FALSE(M.ComponentState().Contains(csLoading));
    EXPECT_FALSE(M.Components(2)->ComponentState().Contains(csLoading));
}

namespace {

std::vector<std::string> Steps;

class TLayoutModule : public TTestModule {
public:
    explicit TLayoutModule(TComponent* AOwner) : TTestModule(AOwner) {
        ReadStoredLayout(this, u"object LayoutModule: TLayoutModule\n"
                               u"  object Part1: TTestPart\n    Left = 1\n    Buddy = Part2\n  end\n"
                               u"  object Part2: TTestPart\n    Left = 2\n  end\n"
                               u"end\n");
        // The components exist with their stored values before any code of the class runs.
        Part2 = static_cast<TTestPart*>(FindComponent(u"Part2"));
        Steps.push_back(Part2->Left == 2 && Part2->ComponentState().Contains(csLoading) ? "constructed, loading"
                                                                                      : "constructed");
        OnCreate = [this](TObject*) { Steps.push_back("OnCreate"); };
    }
    void Created() override {
        TTestModule::Created();
        Steps.push_back("Created after " + std::to_string(LoadedLog.size()) + " Loaded");
    }
    TTestPart* Part2;
};

class TFailingLayoutModule : public TLayoutModule {
public:
    using TLayoutModule::TLayoutModule;
    void Created() override { throw EQvError("Not today"); }
};

}  // namespace

TEST_F(Streaming, ALayoutReadInTheConstructorIsLoadedInAfterConstruction) {
    Steps.clear();
    TComponent Application(nullptr);
    auto* M = Create<TLayoutModule>(&Application);
    EXPECT_EQ(Steps, (std::vector<std::string>{"constructed, loading", "Created after 3 Loaded", "OnCreate"}));
    EXPECT_EQ(LoadedLog, (std::vector<std::string>{"LayoutModule loading", "Part1 loading", "Part2 loading"}));
    EXPECT_EQ(static_cast<TTestPart*>(M->FindComponent(u"Part1"))->Buddy(), M->Part2);

    // A second instance under the same owner cannot take the same name and stays unnamed.
    auto* M2 = Create<TLayoutModule>(&Application);
    EXPECT_EQ(M2->Name(), u"");
    EXPECT_EQ(M2->ComponentCount(), 2);
}

TEST_F(Streaming, AComponentWithItsOwnLayoutInsideAFormIsFullyConstructed) {
    RegisterClass<TLayoutModule, TTestModule>(u"TLayoutModule");
    Steps.clear();
    TTestModule M(nullptr);
    ReadComponentText(&M, u"object M: TTestModule\n  object Sub: TLayoutModule\n    Tag = 4\n  end\nend\n");
    auto* Sub = dynamic_cast<TLayoutModule*>(M.FindComponent(u"Sub"));
    ASSERT_NE(Sub, nullptr);
    EXPECT_EQ(Sub->Tag(), 4);
    EXPECT_EQ(Steps, (std::vector<std::string>{"constructed, loading", "Created after 3 Loaded", "OnCreate"}));
    EXPECT_EQ(static_cast<TTestPart*>(Sub->FindComponent(u"Part1"))->Buddy(), Sub->Part2);

    // One whose construction fails is freed, as any component whose reading fails.
    RegisterClass<TFailingLayoutModule, TLayoutModule>(u"TFailingLayoutModule");
    const char16_t* Failing = u"object M: TTestModule\n  object Bad: TFailingLayoutModule\n  end\nend\n";
    EXPECT_EQ(QvErrorOf([&] { ReadComponentText(&M, Failing); }), "Line 2: Not today");
    EXPECT_EQ(M.ComponentCount(), 1);
}

TEST_F(Streaming, ADamagedFormGivesAnErrorWithItsLine) {
    struct TCase {
        const char16_t* Text;
        const char* Message;
    };
    const TCase Cases[] = {
        {u"", "Line 1: 'object' expected"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Colour = 1\n  end\nend",
         "Line 3: Property Colour does not exist in TTestPart"},
        {u"object M: TTestModule\n  object P: TNothing\n  end\nend", "Line 2: Class TNothing not found"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Shape = tsOval\n  end\nend",
         "Line 3: Invalid property value for Shape"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Left = 99999999999\n  end\nend",
         "Line 3: Invalid property value for Left"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Left = 'x'\n  end\nend",
         "Line 3: Invalid property value for Left"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Caption = 'open\n  end\nend",
         "Line 3: Unterminated string"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Blob = {\n      0A0}\n  end\nend",
         "Line 4: Invalid binary value"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Buddy = Nobody\n  end\nend",
         "Line 3: Unresolved reference to 'Nobody'"},
        {u"object M: TTestModule\n  object P: TTestPart\n  end\n  object p: TTestPart\n  end\nend",
         "Line 4: A component named p already exists"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Left = 1\n", "Line 4: 'end' expected"},
        {u"object M: TTestModule\nend\nend", "Line 3: Text after the final 'end'"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Items = <\n      item\n        Bogus = 1\n"
         u"      end>\n  end\nend",
         "Line 5: Property Bogus does not exist in TTestItem"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Lines.Strings = (1)\n  end\nend",
         "Line 3: Invalid property value"},
        {u"object M: TTestModule\n  object P: TTestPart\n    Font.Size.X = 1\n  end\nend",
         "Line 3: Property Size does not exist in TTestFont"},
        {u"object M: TTestModule\n  Left ~ 1\nend", "Line 2: Invalid character (#126)"},
        {u"object M: TTestPart\nend", "Line 1: Cannot read a TTestPart into a TTestModule"},
        {u"object M: TTestModule\n  inherited Q: TTestPart\n  end\nend", "Line 2: Ancestor for 'Q' not found"},
    };
    for (const TCase& C : Cases) {
        TTestModule M(nullptr);
        try {
            ReadComponentText(&M, C.Text);
            ADD_FAILURE() << "read without error: " << C.Message;
        } catch (const EReadError& E) {
            EXPECT_STREQ(E.what(), C.Message);
        }
        EXPECT_FALSE(M.ComponentState().Contains(csLoading));
        EXPECT_FALSE(M.ComponentState().Contains(csReading));
    }
}

TEST_F(Streaming, AFailedReadKeepsWhatWasReadBeforeAndFreesTheBrokenComponent) {
    TTestModule M(nullptr);
    try {
        ReadComponentText(&M, u"object M: TTestModule\n  object A: TTestPart\n  end\n"
                              u"  object B: TTestPart\n    Left = x\n  end\nend");
        FAIL();
    } catch (const EReadError&) {
    }
    ASSERT_EQ(M.ComponentCount(), 1);
    EXPECT_EQ(M.Components(0)->Name(), u"A");
    EXPECT_FALSE(M.Components(0)->ComponentState().Contains(csLoading));
    EXPECT_TRUE(LoadedLog.empty());
}

TEST_F(Streaming, NestingBeyondTheLimitIsRefusedNotRecursed) {
    String Deep = u"object M: TTestModule\n";
    for (int I = 0; I < 5000; ++I) Deep += u"object TTestBox\n";
    TTestModule M(nullptr);
    EXPECT_THROW(ReadComponentText(&M, Deep), EReadError);
    String Lists = u"object M: TTestModule\n object P: TTestPart\n Lines.Strings = ";
    Lists += String(100000, u'(');
    EXPECT_THROW(ReadComponentText(&M, Lists), EReadError);
    EXPECT_EQ(M.ComponentCount(), 0);
}

TEST_F(Streaming, EveryTruncationAndCorruptionFailsCleanly) {
    const String Text = String(Canonical);
    int Failures = 0;
    for (size_t Cut = 0; Cut < Text.size(); ++Cut) {
        TTestModule M(nullptr);
        try {
            ReadComponentText(&M, std::u16string_view(Text).substr(0, Cut));
        } catch (const EReadError&) {
            ++Failures;
        }
    }
    // Nothing short of the whole form reads (the final line break is not needed).
    EXPECT_EQ(Failures, static_cast<int>(Text.size()) - 1);
    uint32_t Seed = 12345;
    const String Noise = u"'#${}()<>[]=.,:+-0aZ \n";
    for (int Round = 0; Round < 2000; ++Round) {
        String Damaged = Text;
        for (int K = 0; K < 3; ++K) {
            Seed = Seed * 1103515245 + 12345;
            const size_t At = (Seed >> 8) % Damaged.size();
            Damaged[At] = Noise[(Seed >> 4) % Noise.size()];
        }
        TTestModule M(nullptr);
        try {
            ReadComponentText(&M, Damaged);
        } catch (const EReadError&) {
        }
    }
}

TEST_F(Streaming, ANewRootIsMadeFromItsClassAndFreedWhenReadingFails) {
    TComponent Owner(nullptr);
    TComponent* Root = ReadNewComponentText(u"object Part9: TTestPart\n  Left = 9\nend\n", &Owner);
    ASSERT_NE(dynamic_cast<TTestPart*>(Root), nullptr);
    EXPECT_EQ(static_cast<TTestPart*>(Root)->Left, 9);
    EXPECT_EQ(Root->Owner(), &Owner);
    EXPECT_THROW(ReadNewComponentText(u"object Part8: TTestPart\n  Left = no\nend\n", &Owner), EReadError);
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST(Registry, ClassesPropertiesAndEnumerations) {
    RegisterTestClasses();
    const TClassInfo* Part = FindClassInfo(u"ttestpart");
    ASSERT_NE(Part, nullptr);
    const size_t Count = Part->AllProps().size();
    RegisterTestClasses();  // registering again adds nothing
    EXPECT_EQ(Part->AllProps().size(), Count);
    EXPECT_EQ(Part->AllProps().front()->Name, u"Tag");  // base class first
    EXPECT_EQ(Part->FindProp(u"CAPTION")->Kind, pkString);
    EXPECT_EQ(Part->FindProp(u"Big")->Kind, pkInt64);
    EXPECT_EQ(Part->FindProp(u"Sides")->Kind, pkSet);
    EXPECT_TRUE(FindClassInfo(u"TTestBox")->InheritsFrom(Part));

    class TUnregisteredBox : public TTestBox {
        using TTestBox::TTestBox;
    };
    TUnregisteredBox Box(nullptr);
    EXPECT_EQ(ClassInfoOf(&Box), FindClassInfo(u"TTestBox"));
    EXPECT_EQ(StoredClassName(&Box), u"TUnregisteredBox");
    EXPECT_THROW((RegisterClass<TUnregisteredBox, TTestBox>(u"TTestPart")), EQvError);

    const TEnumInfo* Shape = EnumInfoOf<TTestShape>();
    EXPECT_EQ(Shape->Name(2), u"tsStar");
    EXPECT_EQ(Shape->Name(3), u"");
    EXPECT_EQ(Shape->ValueOf(u"TSSQUARE"), 1);
    EXPECT_EQ(Shape->ValueOf(u"tsOval"), -1);
}
