#include "framework/uQvFormReader.h"

#include "platform/uQvStrUtils.h"

#include <algorithm>
#include <map>
#include <utility>
#include <unordered_set>

#include "framework/uQvCollections.h"
#include "framework/uQvFormParser.h"
#include "framework/uQvRegistry.h"

struct TReader::TLevel {
    const TFormValue* Single = nullptr;
    const std::vector<TFormValue>* List = nullptr;
    size_t Index = 0;
};

TReader::TReader(const TFormValue& Value) { FLevels.push_back({&Value, nullptr, 0}); }
TReader::~TReader() = default;

const TFormValue& TReader::Next() {
    TLevel& L = FLevels.back();
    if (L.List != nullptr) {
        if (L.Index >= L.List->size()) throw EReadError("Invalid property value");
        return (*L.List)[L.Index++];
    }
    if (L.Index > 0) throw EReadError("Invalid property value");
    L.Index = 1;
    return *L.Single;
}

bool TReader::EndOfList() const {
    const TLevel& L = FLevels.back();
    return L.List != nullptr ? L.Index >= L.List->size() : L.Index > 0;
}

void TReader::ReadListBegin() {
    const TFormValue& V = Next();
    if (V.Kind != TFormValue::vkList) throw EReadError("Invalid property value");
    FLevels.push_back({nullptr, &V.List, 0});
}

void TReader::ReadListEnd() {
    if (FLevels.size() < 2 || !EndOfList()) throw EReadError("Invalid property value");
    FLevels.pop_back();
}

bool TReader::ReadBoolean() {
    const TFormValue& V = Next();
    if (V.Kind == TFormValue::vkIdent && SameText(V.Text, u"True")) return true;
    if (V.Kind == TFormValue::vkIdent && SameText(V.Text, u"False")) return false;
    throw EReadError("Invalid property value");
}

int64_t TReader::ReadInt64() {
    const TFormValue& V = Next();
    if (V.Kind != TFormValue::vkInteger) throw EReadError("Invalid property value");
    return V.Int;
}

int TReader::ReadInteger() {
    const int64_t V = ReadInt64();
    if (V < INT32_MIN || V > INT32_MAX) throw EReadError("Invalid property value");
    return static_cast<int>(V);
}

double TReader::ReadFloat() {
    const TFormValue& V = Next();
    if (V.Kind == TFormValue::vkFloat) return V.Float;
    if (V.Kind == TFormValue::vkInteger) return static_cast<double>(V.Int);
    throw EReadError("Invalid property value");
}

String TReader::ReadString() {
    const TFormValue& V = Next();
    if (V.Kind != TFormValue::vkString) throw EReadError("Invalid property value");
    return V.Text;
}

String TReader::ReadIdent() {
    const TFormValue& V = Next();
    if (V.Kind != TFormValue::vkIdent) throw EReadError("Invalid property value");
    return V.Text;
}

namespace {

std::function<TComponent*(const String&)>& GlobalFinder() {
    static std::function<TComponent*(const String&)> Finder;
    return Finder;
}

// Finds the object a property belongs to again when references are resolved, so that a
// reference never lands on an object that has gone meanwhile.
using TLocator = std::function<TPersistent*()>;

class TLayoutReader {
public:
    explicit TLayoutReader(TComponent* Root) : FRoot(Root) {}

    void Read(const TFormObject& Node) {
        if (Node.Keyword != u"object" && Node.Keyword != u"inherited") FormFail(Node.Line, u"'object' expected");
        if (const TClassInfo* Info = FindClassInfo(Node.ClassName); Info != nullptr && !Info->IsInstance(FRoot))
            FormFail(Node.Line, u"Cannot read a " + Node.ClassName + u" into a " + FRoot->ClassName());
        MarkLoading(FRoot);
        // The most derived class's layout, read last, names the root.
        if (!Node.Name.empty() && (FRoot->Name().empty() || Node.Keyword == u"inherited")) {
            // A root whose name its owner already uses keeps its own name.
            try {
                FRoot->SetName(Node.Name);
            } catch (const EComponentError&) {
            }
        }
        ReadBody(FRoot, Node, 0);
    }

    void Finish(bool Defer) {
        for (const TFixup& F : FFixups) ResolveFixup(F);
        for (TComponent* C : AliveLoaded()) C->EndReading(FRoot, true);
        if (!Defer) FRoot->RunPendingLoaded();
    }

    void Abandon() {
        for (TComponent* C : AliveLoaded()) C->EndReading(FRoot, false);
    }

private:
    struct TFixup {
        TLocator Locate;
        String PropName;
        String Target;
        int Line;
        bool Replaced = false;  // a later value of the same property came after it
    };

    // The components read that still exist: the root and those it still owns.
    std::vector<TComponent*> AliveLoaded() const {
        std::unordered_set<const TComponent*> Owned;
        for (int I = 0; I < FRoot->ComponentCount(); ++I) Owned.insert(FRoot->Components(I));
        std::vector<TComponent*> Alive;
        for (TComponent* C : FLoaded)
            if (C == FRoot || Owned.count(C) != 0) Alive.push_back(C);
        return Alive;
    }

    void MarkLoading(TComponent* C) {
        C->BeginReading();
        if (std::find(FLoaded.begin(), FLoaded.end(), C) == FLoaded.end()) FLoaded.push_back(C);
    }

    void ReadBody(TComponent* Instance, const TFormObject& Node, int Depth) {
        const TLocator Self = [Instance]() -> TPersistent* { return Instance; };
        for (const TFormProp& P : Node.Props) ReadProp(Instance, Self, P);
        for (const TFormObject& Child : Node.Children) ReadChild(Instance, Child, Depth + 1);
    }

    void ReadChild(TComponent* Parent, const TFormObject& Node, int Depth) {
        if (Depth > MaxFormDepth) FormFail(Node.Line, u"Objects nested too deeply");
        TComponent* C = nullptr;
        bool Created = false;
        if (Node.Keyword != u"object") {
            C = FRoot->FindComponent(Node.Name);
            if (C == nullptr) FormFail(Node.Line, u"Ancestor for '" + Node.Name + u"' not found");
        } else {
            const TClassInfo* Info = FindClassInfo(Node.ClassName);
            if (Info == nullptr) FormFail(Node.Line, u"Class " + Node.ClassName + u" not found");
            if (!Info->CreateComponent) FormFail(Node.Line, u"Class " + Node.ClassName + u" cannot be created here");
            AtFormLine(Node.Line, [&] { C = Info->CreateComponent(FRoot); });
            // A class that read its own layout in its constructor expects the second
            // construction step, as Create<T> gives it, and is freed as there if that fails.
            try {
                if (C->HasPendingLoaded()) AtFormLine(Node.Line, [&] { C->AfterConstruction(); });
            } catch (...) {
                C->Free();
                throw;
            }
            Created = true;
        }
        try {
            MarkLoading(C);
            AtFormLine(Node.Line, [&] {
                if (Created) C->SetName(Node.Name);
                C->SetParentComponent(Parent);
            });
            ReadBody(C, Node, Depth);
        } catch (...) {
            if (Created) {
                FLoaded.erase(std::find(FLoaded.begin(), FLoaded.end(), C));
                C->Free();
            }
            throw;
        }
    }

    static TPersistent* Step(TPersistent* Object, const String& PropName) {
        const TClassInfo* Info = ClassInfoOf(Object);
        const TPropInfo* P = Info != nullptr ? Info->FindProp(PropName) : nullptr;
        if (P == nullptr || P->Kind != pkObject) return nullptr;
        return P->GetObject(Object);
    }

    static TLocator StepLocator(TLocator From, const String& PropName) {
        return [From, PropName]() -> TPersistent* {
            TPersistent* O = From();
            return O != nullptr ? Step(O, PropName) : nullptr;
        };
    }

    void ReadProp(TPersistent* Instance, TLocator Locate, const TFormProp& Prop) {
        AtFormLine(Prop.Line, [&] {
            std::vector<String> Path;
            size_t Start = 0;
            while (true) {
                const size_t Dot = Prop.Name.find(u'.', Start);
                Path.push_back(Prop.Name.substr(Start, Dot - Start));
                if (Dot == String::npos) break;
                Start = Dot + 1;
            }
            TPersistent* Object = Instance;
            for (size_t I = 0; I + 1 < Path.size(); ++I) {
                TPersistent* Sub = Step(Object, Path[I]);
                if (Sub == nullptr)
                    FormFail(Prop.Line, u"Property " + Path[I] + u" does not exist in " + Object->ClassName());
                Object = Sub;
                Locate = StepLocator(Locate, Path[I]);
            }
            const TClassInfo* Info = ClassInfoOf(Object);
            const TPropInfo* P = Info != nullptr ? Info->FindProp(Path.back()) : nullptr;
            if (P != nullptr)
                SetValue(Object, Locate, *P, Prop.Value);
            else if (!ReadDefined(Object, Path.back(), Prop.Value))
                FormFail(Prop.Line, u"Property " + Prop.Name + u" does not exist in " + Instance->ClassName());
        });
    }

    // A property declared through DefineProperties.
    static bool ReadDefined(TPersistent* Object, const String& Name, const TFormValue& Value) {
        class TFinder : public TFiler {
        public:
            TFinder(const String& N, const TFormValue& V) : FName(N), FValue(V) {}
            void DefineProperty(const String& N, const TReaderProc& ReadData, const TWriterProc&, bool) override {
                if (Found || !SameText(N, FName)) return;
                Found = true;
                if (!ReadData) throw EReadError("Invalid property value");
                TReader Reader(FValue);
                ReadData(Reader);
                if (!Reader.EndOfList()) throw EReadError("Invalid property value");
            }
            void DefineBinaryProperty(const String& N, const TStreamProc& ReadData, const TStreamProc&,
                                      bool) override {
                if (Found || !SameText(N, FName)) return;
                Found = true;
                if (!ReadData || FValue.Kind != TFormValue::vkBinary) throw EReadError("Invalid property value");
                TMemoryStream Stream(FValue.Bytes);
                ReadData(Stream);
            }
            bool Found = false;

        private:
            const String& FName;
            const TFormValue& FValue;
        };
        TFinder Finder(Name, Value);
        Object->DefineProperties(Finder);
        return Finder.Found;
    }

    [[noreturn]] static void Invalid(const TPropInfo& P) {
        throw EReadError(u"Invalid property value for " + P.Name);
    }

    static void SetOrdinal(TPersistent* Object, const TPropInfo& P, int64_t Value) {
        if (!P.SetOrd(Object, Value)) Invalid(P);
    }

    // "$FFFFFFFF" stands for the 32-bit pattern when the property holds 32 bits.
    static int64_t IntegerOf(const TPropInfo& P, const TFormValue& V) {
        if (V.Hex && P.Kind != pkInt64 && V.Int > INT32_MAX && V.Int <= int64_t{UINT32_MAX})
            return static_cast<int32_t>(static_cast<uint32_t>(V.Int));
        return V.Int;
    }

    void SetValue(TPersistent* Object, const TLocator& Locate, const TPropInfo& P, const TFormValue& V) {
        switch (P.Kind) {
            case pkInteger:
            case pkInt64:
                if (V.Kind != TFormValue::vkInteger) Invalid(P);
                SetOrdinal(Object, P, IntegerOf(P, V));
                return;
            case pkBoolean:
                if (V.Kind == TFormValue::vkIdent && SameText(V.Text, u"True"))
                    SetOrdinal(Object, P, 1);
                else if (V.Kind == TFormValue::vkIdent && SameText(V.Text, u"False"))
                    SetOrdinal(Object, P, 0);
                else
                    Invalid(P);
                return;
            case pkEnum: {
                const int Value = V.Kind == TFormValue::vkIdent ? P.Enum->ValueOf(V.Text) : -1;
                if (Value < 0) Invalid(P);
                SetOrdinal(Object, P, Value);
                return;
            }
            case pkSet: {
                if (V.Kind != TFormValue::vkSet) Invalid(P);
                uint64_t Bits = 0;
                for (const String& Name : V.Names) {
                    const int Value = P.Enum->ValueOf(Name);
                    if (Value < 0 || Value >= 64) Invalid(P);
                    Bits |= uint64_t{1} << Value;
                }
                SetOrdinal(Object, P, static_cast<int64_t>(Bits));
                return;
            }
            case pkColor: {
                TColor Color = 0;
                if (V.Kind == TFormValue::vkInteger)
                    SetOrdinal(Object, P, IntegerOf(P, V));
                else if (V.Kind == TFormValue::vkIdent && IdentToColor(V.Text, Color))
                    SetOrdinal(Object, P, Color);
                else
                    Invalid(P);
                return;
            }
            case pkFloat:
                if (V.Kind == TFormValue::vkFloat)
                    P.SetFloat(Object, V.Float);
                else if (V.Kind == TFormValue::vkInteger)
                    P.SetFloat(Object, static_cast<double>(V.Int));
                else
                    Invalid(P);
                return;
            case pkString:
                if (V.Kind != TFormValue::vkString) Invalid(P);
                P.SetString(Object, V.Text);
                return;
            case pkObject: {
                auto* Collection = dynamic_cast<TCollection*>(P.GetObject(Object));
                if (V.Kind != TFormValue::vkCollection || Collection == nullptr) Invalid(P);
                ReadCollection(Collection, StepLocator(Locate, P.Name), V);
                return;
            }
            case pkComponent: {
                if (V.Kind != TFormValue::vkIdent) Invalid(P);
                // The last value given counts, as for every other property, although
                // references are set only at the end.
                const auto [Pending, Fresh] = FLastFixup.try_emplace({Object, &P}, FFixups.size());
                if (!Fresh) FFixups[Pending->second].Replaced = true;
                if (SameText(V.Text, u"nil")) {
                    FLastFixup.erase(Pending);
                    if (!P.SetComponent(Object, nullptr)) Invalid(P);
                    return;
                }
                Pending->second = FFixups.size();
                FFixups.push_back({Locate, P.Name, V.Text, V.Line});
                return;
            }
            case pkBinary: {
                if (V.Kind != TFormValue::vkBinary || !P.ReadData) Invalid(P);
                TMemoryStream Stream(V.Bytes);
                P.ReadData(Object, Stream);
                return;
            }
        }
    }

    void ReadCollection(TCollection* Collection, const TLocator& Locate, const TFormValue& V) {
        Collection->BeginUpdate();
        try {
            Collection->Clear();
            for (size_t I = 0; I < V.Items.size(); ++I) {
                TCollectionItem* Item = Collection->Add();
                const TLocator ItemLocator = [Locate, I]() -> TPersistent* {
                    auto* C = dynamic_cast<TCollection*>(Locate());
                    return C != nullptr && I < static_cast<size_t>(C->Count()) ? C->Items(static_cast<int>(I)) : nullptr;
                };
                for (const TFormProp& P : V.Items[I].Props) ReadProp(Item, ItemLocator, P);
            }
        } catch (...) {
            Collection->EndUpdate();
            throw;
        }
        Collection->EndUpdate();
    }

    TComponent* FindReference(const String& Name) const {
        std::vector<String> Parts;
        size_t Start = 0;
        while (true) {
            const size_t Dot = Name.find(u'.', Start);
            Parts.push_back(Name.substr(Start, Dot - Start));
            if (Dot == String::npos) break;
            Start = Dot + 1;
        }
        TComponent* C = nullptr;
        if (!FRoot->Name().empty() && SameText(Parts[0], FRoot->Name()))
            C = FRoot;
        else
            C = FRoot->FindComponent(Parts[0]);
        if (C == nullptr && GlobalFinder()) C = GlobalFinder()(Parts[0]);
        for (size_t I = 1; C != nullptr && I < Parts.size(); ++I) C = C->FindComponent(Parts[I]);
        return C;
    }

    void ResolveFixup(const TFixup& F) {
        if (F.Replaced) return;
        AtFormLine(F.Line, [&] {
            TPersistent* Object = F.Locate();
            const TClassInfo* Info = Object != nullptr ? ClassInfoOf(Object) : nullptr;
            const TPropInfo* P = Info != nullptr ? Info->FindProp(F.PropName) : nullptr;
            if (P == nullptr || P->Kind != pkComponent) return;  // the object was replaced meanwhile
            TComponent* Target = FindReference(F.Target);
            if (Target == nullptr) FormFail(F.Line, u"Unresolved reference to '" + F.Target + u"'");
            if (!P->SetComponent(Object, Target)) Invalid(*P);
        });
    }

    TComponent* FRoot;
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    // The latest reference given for a property of an object, while reading.
    std::map<std::pair<const TPersistent*, const TPropInfo*>, size_t> FLastFixup;
};

void ReadInto(TComponent* Root, std::u16string_view Text, bool Defer) {
    if (Root == nullptr) throw EReadError("No component to read into");
    const TFormObject Form = ParseFormText(Text);
    TLayoutReader Reader(Root);
    try {
        Reader.Read(Form);
        Reader.Finish(Defer);
    } catch (...) {
        Reader.Abandon();
        throw;
    }
}

}  // namespace

void ReadComponentText(TComponent* Root, std::u16string_view Text) { ReadInto(Root, Text, false); }

void ReadComponentTextUtf8(TComponent* Root, std::string_view Text) { ReadInto(Root, Utf8ToString(Text), false); }

void ReadStoredLayout(TComponent* Root, std::u16string_view Text) { ReadInto(Root, Text, true); }

void ReadStoredLayoutUtf8(TComponent* Root, std::string_view Text) { ReadInto(Root, Utf8ToString(Text), true); }

TComponent* ReadNewComponentText(std::u16string_view Text, TComponent* Owner) {
    const TFormObject Form = ParseFormText(Text);
    const TClassInfo* Info = FindClassInfo(Form.ClassName);
    if (Info == nullptr) FormFail(Form.Line, u"Class " + Form.ClassName + u" not found");
    if (!Info->CreateComponent) FormFail(Form.Line, u"Class " + Form.ClassName + u" cannot be created here");
    TComponent* Root = nullptr;
    AtFormLine(Form.Line, [&] { Root = Info->CreateComponent(Owner); });
    TLayoutReader Reader(Root);
    try {
        Reader.Read(Form);
        Reader.Finish(false);
    } catch (...) {
        Root->Free();
        throw;
    }
    return Root;
}

void SetFindGlobalComponent(std::function<TComponent*(const String& Name)> Finder) {
    GlobalFinder() = std::move(Finder);
}
