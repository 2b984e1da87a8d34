#include "framework/uQvFormWriter.h"

#include "platform/uQvStrUtils.h"

#include <cmath>

#include "framework/uQvCollections.h"
#include "framework/uQvFormFormatter.h"
#include "framework/uQvRegistry.h"

TWriter::TWriter() { FLists.emplace_back(); }
TWriter::~TWriter() = default;

void TWriter::Put(TFormValue Value) { FLists.back().push_back(std::move(Value)); }

void TWriter::WriteBoolean(bool Value) { WriteIdent(Value ? u"True" : u"False"); }

void TWriter::WriteInteger(int64_t Value) {
    TFormValue V;
    V.Kind = TFormValue::vkInteger;
    V.Int = Value;
    Put(std::move(V));
}

void TWriter::WriteFloat(double Value) {
    TFormValue V;
    V.Kind = TFormValue::vkFloat;
    V.Float = Value;
    Put(std::move(V));
}

void TWriter::WriteString(const String& Value) {
    TFormValue V;
    V.Kind = TFormValue::vkString;
    V.Text = Value;
    Put(std::move(V));
}

void TWriter::WriteIdent(const String& Value) {
    TFormValue V;
    V.Kind = TFormValue::vkIdent;
    V.Text = Value;
    Put(std::move(V));
}

void TWriter::WriteListBegin() { FLists.emplace_back(); }

void TWriter::WriteListEnd() {
    if (FLists.size() < 2) throw EWriteError("Invalid property value");
    TFormValue V;
    V.Kind = TFormValue::vkList;
    V.List = std::move(FLists.back());
    FLists.pop_back();
    Put(std::move(V));
}

TFormValue TWriter::TakeValue() {
    if (FLists.size() != 1 || FLists[0].size() != 1) throw EWriteError("Invalid property value");
    TFormValue V = std::move(FLists[0][0]);
    FLists[0].clear();
    return V;
}

namespace {

class TLayoutWriter {
public:
    explicit TLayoutWriter(TComponent* Root) : FRoot(Root) {}

    TFormObject WriteComponent(TComponent* C, int Depth) {
        if (Depth > MaxFormDepth) throw EWriteError("Components nested too deeply");
        TFormObject O;
        O.Keyword = u"object";
        O.Name = C->Name();
        O.ClassName = StoredClassName(C);
        C->SetWriting(true);
        try {
            WriteProps(C, String(), O.Props, 0);
            C->GetChildren([&](TComponent* Child) { O.Children.push_back(WriteComponent(Child, Depth + 1)); }, FRoot);
        } catch (...) {
            C->SetWriting(false);
            throw;
        }
        C->SetWriting(false);
        return O;
    }

private:
    static TFormValue Ident(const String& Text) {
        TFormValue V;
        V.Kind = TFormValue::vkIdent;
        V.Text = Text;
        return V;
    }

    String ReferenceName(const TComponent* C) const {
        if (C == FRoot) return FRoot->Name();
        if (C->Name().empty()) return String();
        if (C->Owner() == FRoot) return C->Name();
        if (C->Owner() != nullptr && !C->Owner()->Name().empty()) return C->Owner()->Name() + u"." + C->Name();
        return String();
    }

    void WriteProps(TPersistent* Object, const String& Prefix, std::vector<TFormProp>& Out, int Depth) {
        if (Depth > MaxFormDepth) throw EWriteError("Objects nested too deeply");
        if (const TClassInfo* Info = ClassInfoOf(Object))
            for (const TPropInfo* P : Info->AllProps()) WriteProp(Object, *P, Prefix, Out, Depth);
        WriteDefined(Object, Prefix, Out);
    }

    void WriteProp(TPersistent* Object, const TPropInfo& P, const String& Prefix, std::vector<TFormProp>& Out,
                   int Depth) {
        if (P.IsStored && !P.IsStored(Object)) return;
        TFormValue V;
        switch (P.Kind) {
            case pkInteger:
            case pkInt64:
            case pkBoolean:
            case pkEnum:
            case pkSet:
            case pkColor: {
                const int64_t Value = P.GetOrd(Object);
                if (P.HasDefault && Value == P.DefaultOrd) return;
                if (P.Kind == pkBoolean) {
                    V = Ident(Value ? u"True" : u"False");
                } else if (P.Kind == pkEnum) {
                    const String Name = P.Enum->Name(Value);
                    if (Name.empty()) throw EWriteError(u"Invalid property value for " + P.Name);
                    V = Ident(Name);
                } else if (P.Kind == pkSet) {
                    V.Kind = TFormValue::vkSet;
                    for (int I = 0; I < 64; ++I) {
                        if ((static_cast<uint64_t>(Value) >> I & 1) == 0) continue;
                        const String Name = P.Enum->Name(I);
                        if (Name.empty()) throw EWriteError(u"Invalid property value for " + P.Name);
                        V.Names.push_back(Name);
                    }
                } else if (String Name; P.Kind == pkColor && ColorToIdent(static_cast<TColor>(Value), Name)) {
                    V = Ident(Name);
                } else {
                    V.Kind = TFormValue::vkInteger;
                    V.Int = Value;
                }
                break;
            }
            case pkFloat: {
                const double Value = P.GetFloat(Object);
                // Values a text cannot carry (NaN, infinities) are not stored.
                if (Value == P.DefaultFloat || !std::isfinite(Value)) return;
                V.Kind = TFormValue::vkFloat;
                V.Float = Value;
                break;
            }
            case pkString:
                V.Kind = TFormValue::vkString;
                V.Text = P.GetString(Object);
                if (V.Text == P.DefaultString) return;
                break;
            case pkObject: {
                TPersistent* Sub = P.GetObject(Object);
                if (Sub == nullptr || dynamic_cast<TComponent*>(Sub) != nullptr) return;
                if (auto* Collection = dynamic_cast<TCollection*>(Sub)) {
                    if (Collection->Count() == 0) return;
                    V.Kind = TFormValue::vkCollection;
                    for (int I = 0; I < Collection->Count(); ++I) {
                        TFormItem Item;
                        WriteProps(Collection->Items(I), String(), Item.Props, Depth + 1);
                        V.Items.push_back(std::move(Item));
                    }
                    break;
                }
                WriteProps(Sub, Prefix + P.Name + u".", Out, Depth + 1);
                return;
            }
            case pkComponent: {
                const auto* C = dynamic_cast<const TComponent*>(P.GetObject(Object));
                if (C == nullptr) return;
                const String Name = ReferenceName(C);
                if (Name.empty()) return;
                V = Ident(Name);
                break;
            }
            case pkBinary: {
                if (P.HasData && !P.HasData(Object)) return;
                TMemoryStream Stream;
                P.WriteData(Object, Stream);
                V.Kind = TFormValue::vkBinary;
                V.Bytes = std::string(Stream.Bytes());
                break;
            }
        }
        Out.push_back({Prefix + P.Name, std::move(V), 0});
    }

    static void WriteDefined(TPersistent* Object, const String& Prefix, std::vector<TFormProp>& Out) {
        class TCollector : public TFiler {
        public:
            TCollector(const String& Prefix, std::vector<TFormProp>& Out) : FPrefix(Prefix), FOut(Out) {}
            void DefineProperty(const String& Name, const TReaderProc&, const TWriterProc& WriteData,
                                bool HasData) override {
                if (!HasData || !WriteData) return;
                TWriter Writer;
                WriteData(Writer);
                FOut.push_back({FPrefix + Name, Writer.TakeValue(), 0});
            }
            void DefineBinaryProperty(const String& Name, const TStreamProc&, const TStreamProc& WriteData,
                                      bool HasData) override {
                if (!HasData || !WriteData) return;
                TMemoryStream Stream;
                WriteData(Stream);
                TFormValue V;
                V.Kind = TFormValue::vkBinary;
                V.Bytes = std::string(Stream.Bytes());
                FOut.push_back({FPrefix + Name, std::move(V), 0});
            }

        private:
            const String& FPrefix;
            std::vector<TFormProp>& FOut;
        };
        TCollector Collector(Prefix, Out);
        Object->DefineProperties(Collector);
    }

    TComponent* FRoot;
};

}  // namespace

String WriteComponentText(TComponent* Root) {
    TLayoutWriter Writer(Root);
    return FormatFormText(Writer.WriteComponent(Root, 0));
}

std::string WriteComponentTextUtf8(TComponent* Root) { return StringToUtf8(WriteComponentText(Root)); }
