#include "framework/uQvStreaming.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_set>

#include "framework/uQvCollections.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvStrUtils.h"

// ---- The parsed form ------------------------------------------------------------------

struct TFormProp;
struct TFormItem;

struct TFormValue {
    enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
    TKind Kind = vkInteger;
    int Line = 0;
    int64_t Int = 0;
    bool Hex = false;  // written as $hexadecimal: may stand for a 32-bit pattern
    double Float = 0;
    String Text;                   // string, or a (dotted) identifier
    std::vector<String> Names;     // set
    std::vector<TFormValue> List;  // list
    std::string Bytes;             // binary
    std::vector<TFormItem> Items;  // collection
};

struct TFormProp {
    String Name;  // dotted for properties of nested objects
    TFormValue Value;
    int Line = 0;
};

struct TFormItem {
    std::vector<TFormProp> Props;
    int Line = 0;
};

struct TFormObject {
    String Keyword;  // object, inherited or inline
    String Name;
    String ClassName;
    int Line = 0;
    std::vector<TFormProp> Props;
    std::vector<TFormObject> Children;
};

namespace {

// Nesting of objects, lists and collections beyond this is refused rather than recursed.
constexpr int MaxDepth = 200;

// A reading error that already carries its line.
class EFormError : public EReadError {
public:
    EFormError(int Line, const String& Message) : EReadError(Format(u"Line %d: %s", {Line, Message})) {}
};

[[noreturn]] void Fail(int Line, const String& Message) { throw EFormError(Line, Message); }

// Runs Body; a failure without a line gets this one.
template <typename F>
void AtLine(int Line, F Body) {
    try {
        Body();
    } catch (const EFormError&) {
        throw;
    } catch (const std::exception& E) {
        Fail(Line, Utf8ToString(E.what()));
    }
}

bool IsIdentStart(char16_t C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'_'; }
bool IsDigit(char16_t C) { return C >= u'0' && C <= u'9'; }

// ---- Lexer ----------------------------------------------------------------------------

struct TToken {
    enum TKind { tEOF, tIdent, tInteger, tFloat, tString, tSymbol };
    TKind Kind = tEOF;
    String Text;
    int64_t Int = 0;
    bool Hex = false;
    double Float = 0;
    char16_t Symbol = 0;
    int Line = 1;

    bool Is(char16_t S) const { return Kind == tSymbol && Symbol == S; }
    bool IsWord(std::u16string_view W) const { return Kind == tIdent && SameText(Text, W); }
};

class TLexer {
public:
    explicit TLexer(std::u16string_view Text) : FText(Text) {
        if (!FText.empty() && FText[0] == u'\uFEFF') FPos = 1;
    }

    const TToken& Peek() {
        if (!FPeeked) FPeeked = Scan();
        return *FPeeked;
    }
    TToken Take() {
        TToken T = Peek();
        FPeeked.reset();
        return T;
    }
    int Line() { return Peek().Line; }

    // The bytes of "{ hex }" after the opening brace was taken.
    std::string ReadBinary() {
        std::string Bytes;
        int Pending = -1;
        while (true) {
            if (FPos >= FText.size()) Fail(FLine, u"'}' expected");
            const char16_t C = FText[FPos++];
            if (C == u'}') break;
            if (C == u'\n' || (C == u'\r' && (FPos >= FText.size() || FText[FPos] != u'\n'))) ++FLine;
            if (C <= u' ') continue;
            int D = -1;
            if (C >= u'0' && C <= u'9') D = C - u'0';
            if (C >= u'A' && C <= u'F') D = C - u'A' + 10;
            if (C >= u'a' && C <= u'f') D = C - u'a' + 10;
            if (D < 0) Fail(FLine, u"Invalid binary value");
            if (Pending < 0) {
                Pending = D;
            } else {
                Bytes.push_back(static_cast<char>(Pending << 4 | D));
                Pending = -1;
            }
        }
        if (Pending >= 0) Fail(FLine, u"Invalid binary value");
        return Bytes;
    }

private:
    void SkipBlanks() {
        while (FPos < FText.size() && FText[FPos] <= u' ') {
            const char16_t C = FText[FPos++];
            if (C == u'\n' || (C == u'\r' && (FPos >= FText.size() || FText[FPos] != u'\n'))) ++FLine;
        }
    }

    TToken Scan() {
        SkipBlanks();
        TToken T;
        T.Line = FLine;
        if (FPos >= FText.size()) return T;
        const char16_t C = FText[FPos];
        if (IsIdentStart(C)) {
            T.Kind = TToken::tIdent;
            const size_t Start = FPos;
            while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]))) ++FPos;
            T.Text = String(FText.substr(Start, FPos - Start));
            return T;
        }
        const bool Signed = C == u'-' && FPos + 1 < FText.size() &&
                            (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == u'$' || FText[FPos + 1] == u'.');
        if (IsDigit(C) || C == u'$' || Signed) return ScanNumber(T);
        if (C == u'\'' || C == u'#') return ScanString(T);
        if (std::u16string_view(u"=:[](){}<>,.+").find(C) != std::u16string_view::npos) {
            T.Kind = TToken::tSymbol;
            T.Symbol = C;
            ++FPos;
            return T;
        }
        Fail(FLine, Format(u"Invalid character (#%d)", {static_cast<int>(C)}));
    }

    TToken ScanNumber(TToken& T) {
        const size_t Start = FPos;
        bool Negative = false;
        if (FText[FPos] == u'-') {
            Negative = true;
            ++FPos;
        }
        if (FPos < FText.size() && FText[FPos] == u'$') {
            ++FPos;
            const size_t Digits = FPos;
            uint64_t V = 0;
            while (FPos < FText.size() && (IsDigit(FText[FPos]) || (FText[FPos] >= u'a' && FText[FPos] <= u'f') ||
                                           (FText[FPos] >= u'A' && FText[FPos] <= u'F'))) {
                if (V >> 60) Fail(FLine, u"Integer value out of range");
                const char16_t D = FText[FPos++];
                V = V * 16 + (IsDigit(D) ? D - u'0' : (D | 0x20) - u'a' + 10);
            }
            if (FPos == Digits) Fail(FLine, u"Invalid number");
            T.Kind = TToken::tInteger;
            T.Hex = true;
            T.Int = Negative ? static_cast<int64_t>(0 - V) : static_cast<int64_t>(V);
            return T;
        }
        bool IsFloat = false;
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        if (FPos < FText.size() && FText[FPos] == u'.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1])) {
            IsFloat = true;
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
            size_t P = FPos + 1;
            if (P < FText.size() && (FText[P] == u'+' || FText[P] == u'-')) ++P;
            if (P < FText.size() && IsDigit(FText[P])) {
                IsFloat = true;
                FPos = P;
                while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
            }
        }
        const std::u16string_view Text = FText.substr(Start, FPos - Start);
        if (IsFloat) {
            T.Kind = TToken::tFloat;
            if (!TryStrToFloat(Text, T.Float)) Fail(FLine, u"Invalid floating point value " + String(Text));
        } else {
            T.Kind = TToken::tInteger;
            if (!TryStrToInt64(Text, T.Int)) Fail(FLine, u"Integer value out of range: " + String(Text));
        }
        return T;
    }

    TToken ScanString(TToken& T) {
        T.Kind = TToken::tString;
        while (FPos < FText.size()) {
            const char16_t C = FText[FPos];
            if (C == u'\'') {
                ++FPos;
                while (true) {
                    if (FPos >= FText.size() || FText[FPos] == u'\n' || FText[FPos] == u'\r')
                        Fail(FLine, u"Unterminated string");
                    const char16_t Q = FText[FPos++];
                    if (Q == u'\'') {
                        if (FPos < FText.size() && FText[FPos] == u'\'') {
                            T.Text.push_back(u'\'');
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    T.Text.push_back(Q);
                }
            } else if (C == u'#') {
                ++FPos;
                uint32_t Code = 0;
                size_t Digits = 0;
                const bool Hex = FPos < FText.size() && FText[FPos] == u'$';
                if (Hex) ++FPos;
                while (FPos < FText.size() && Code <= 0xFFFF) {
                    const char16_t D = FText[FPos];
                    int V = -1;
                    if (IsDigit(D)) V = D - u'0';
                    if (Hex && ((D >= u'a' && D <= u'f') || (D >= u'A' && D <= u'F'))) V = (D | 0x20) - u'a' + 10;
                    if (V < 0) break;
                    Code = Code * (Hex ? 16 : 10) + static_cast<uint32_t>(V);
                    ++Digits;
                    ++FPos;
                }
                if (Digits == 0 || Code > 0xFFFF) Fail(FLine, u"Invalid character code");
                T.Text.push_back(static_cast<char16_t>(Code));
            } else {
                break;
            }
        }
        return T;
    }

    std::u16string_view FText;
    size_t FPos = 0;
    int FLine = 1;
    std::optional<TToken> FPeeked;
};

// ---- Parser ---------------------------------------------------------------------------

class TParser {
public:
    explicit TParser(std::u16string_view Text) : FLex(Text) {}

    TFormObject ParseRoot() {
        TFormObject Root = ParseObject(0);
        if (FLex.Peek().Kind != TToken::tEOF) Fail(FLex.Line(), u"Text after the final 'end'");
        return Root;
    }

private:
    static bool IsObjectWord(const TToken& T) {
        return T.IsWord(u"object") || T.IsWord(u"inherited") || T.IsWord(u"inline");
    }

    String Ident(const char16_t* What) {
        const TToken T = FLex.Take();
        if (T.Kind != TToken::tIdent) Fail(T.Line, String(What) + u" expected");
        return T.Text;
    }

    void Expect(char16_t Symbol) {
        const TToken T = FLex.Take();
        if (!T.Is(Symbol)) Fail(T.Line, u"'" + String(1, Symbol) + u"' expected");
    }

    void SkipIndex() {
        // "[n]" after an object header or "item" orders inherited entries; it carries no value.
        if (!FLex.Peek().Is(u'[')) return;
        FLex.Take();
        if (FLex.Take().Kind != TToken::tInteger) Fail(FLex.Line(), u"Index expected");
        Expect(u']');
    }

    TFormObject ParseObject(int Depth) {
        if (Depth > MaxDepth) Fail(FLex.Line(), u"Objects nested too deeply");
        const TToken Head = FLex.Take();
        if (!IsObjectWord(Head)) Fail(Head.Line, u"'object' expected");
        TFormObject O;
        O.Keyword = LowerCase(Head.Text);
        O.Line = Head.Line;
        const String First = Ident(u"Class name");
        if (FLex.Peek().Is(u':')) {
            FLex.Take();
            O.Name = First;
            O.ClassName = Ident(u"Class name");
        } else {
            O.ClassName = First;
        }
        SkipIndex();
        while (true) {
            const TToken& T = FLex.Peek();
            if (T.Kind == TToken::tEOF) Fail(T.Line, u"'end' expected");
            if (T.IsWord(u"end")) {
                FLex.Take();
                break;
            }
            if (IsObjectWord(T))
                O.Children.push_back(ParseObject(Depth + 1));
            else
                O.Props.push_back(ParseProp(Depth));
        }
        return O;
    }

    TFormProp ParseProp(int Depth) {
        TFormProp P;
        P.Line = FLex.Line();
        P.Name = Ident(u"Property name");
        while (FLex.Peek().Is(u'.')) {
            FLex.Take();
            P.Name += u"." + Ident(u"Property name");
        }
        Expect(u'=');
        P.Value = ParseValue(Depth);
        return P;
    }

    TFormValue ParseValue(int Depth) {
        if (Depth > MaxDepth) Fail(FLex.Line(), u"Values nested too deeply");
        TToken T = FLex.Take();
        TFormValue V;
        V.Line = T.Line;
        switch (T.Kind) {
            case TToken::tInteger:
                V.Kind = TFormValue::vkInteger;
                V.Int = T.Int;
                V.Hex = T.Hex;
                return V;
            case TToken::tFloat:
                V.Kind = TFormValue::vkFloat;
                V.Float = T.Float;
                return V;
            case TToken::tString:
                V.Kind = TFormValue::vkString;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'+')) {
                    FLex.Take();
                    const TToken Next = FLex.Take();
                    if (Next.Kind != TToken::tString) Fail(Next.Line, u"String expected");
                    V.Text += Next.Text;
                }
                return V;
            case TToken::tIdent:
                V.Kind = TFormValue::vkIdent;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'.')) {
                    FLex.Take();
                    V.Text += u"." + Ident(u"Identifier");
                }
                return V;
            case TToken::tSymbol:
                break;
            case TToken::tEOF:
                Fail(T.Line, u"Property value expected");
        }
        if (T.Symbol == u'[') {
            V.Kind = TFormValue::vkSet;
            if (FLex.Peek().Is(u']')) {
                FLex.Take();
                return V;
            }
            while (true) {
                V.Names.push_back(Ident(u"Set element"));
                const TToken Sep = FLex.Take();
                if (Sep.Is(u']')) break;
                if (!Sep.Is(u',')) Fail(Sep.Line, u"',' or ']' expected");
            }
            return V;
        }
        if (T.Symbol == u'(') {
            V.Kind = TFormValue::vkList;
            while (!FLex.Peek().Is(u')')) {
                if (FLex.Peek().Kind == TToken::tEOF) Fail(FLex.Line(), u"')' expected");
                V.List.push_back(ParseValue(Depth + 1));
            }
            FLex.Take();
            return V;
        }
        if (T.Symbol == u'{') {
            V.Kind = TFormValue::vkBinary;
            V.Bytes = FLex.ReadBinary();
            return V;
        }
        if (T.Symbol == u'<') {
            V.Kind = TFormValue::vkCollection;
            while (!FLex.Peek().Is(u'>')) {
                const TToken Item = FLex.Take();
                if (!Item.IsWord(u"item")) Fail(Item.Line, u"'item' or '>' expected");
                TFormItem I;
                I.Line = Item.Line;
                SkipIndex();
                while (true) {
                    const TToken& Next = FLex.Peek();
                    if (Next.Kind == TToken::tEOF) Fail(Next.Line, u"'end' expected");
                    if (Next.IsWord(u"end")) {
                        FLex.Take();
                        break;
                    }
                    I.Props.push_back(ParseProp(Depth + 1));
                }
                V.Items.push_back(std::move(I));
            }
            FLex.Take();
            return V;
        }
        Fail(T.Line, u"Property value expected");
    }

    TLexer FLex;
};

std::function<TComponent*(const String&)>& GlobalFinder() {
    static std::function<TComponent*(const String&)> Finder;
    return Finder;
}

// ---- Writing values -------------------------------------------------------------------

String FloatText(double V) {
    const String Short = FloatToStr(V);
    double Back;
    if (TryStrToFloat(Short, Back) && Back == V) return Short;
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%.17g", V);
    return Utf8ToString(Buf);
}

String Spaces(int N) { return String(static_cast<size_t>(N), u' '); }

void FormatValue(const TFormValue& V, int Indent, String& Out);

void FormatProps(const std::vector<TFormProp>& Props, int Indent, String& Out) {
    for (const TFormProp& P : Props) {
        Out += Spaces(Indent) + P.Name + u" = ";
        FormatValue(P.Value, Indent, Out);
        Out += u"\n";
    }
}

void FormatValue(const TFormValue& V, int Indent, String& Out) {
    switch (V.Kind) {
        case TFormValue::vkInteger:
            Out += IntToStr(V.Int);
            break;
        case TFormValue::vkFloat:
            Out += FloatText(V.Float);
            break;
        case TFormValue::vkIdent:
            Out += V.Text;
            break;
        case TFormValue::vkString: {
            // Long texts continue on following lines, 64 characters a piece.
            constexpr size_t Piece = 64;
            if (V.Text.size() <= Piece) {
                Out += QuoteFormString(V.Text);
                break;
            }
            for (size_t I = 0; I < V.Text.size(); I += Piece) {
                if (I > 0) Out += u" +\n" + Spaces(Indent + 2);
                Out += QuoteFormString(std::u16string_view(V.Text).substr(I, Piece));
            }
            break;
        }
        case TFormValue::vkSet: {
            Out += u"[";
            for (size_t I = 0; I < V.Names.size(); ++I) Out += (I ? u", " : u"") + V.Names[I];
            Out += u"]";
            break;
        }
        case TFormValue::vkList: {
            Out += u"(";
            for (const TFormValue& Item : V.List) {
                Out += u"\n" + Spaces(Indent + 2);
                FormatValue(Item, Indent + 2, Out);
            }
            Out += u")";
            break;
        }
        case TFormValue::vkBinary: {
            static const char16_t Hex[] = u"0123456789ABCDEF";
            Out += u"{";
            for (size_t I = 0; I < V.Bytes.size(); ++I) {
                if (I % 32 == 0) Out += u"\n" + Spaces(Indent + 2);
                const auto B = static_cast<uint8_t>(V.Bytes[I]);
                Out.push_back(Hex[B >> 4]);
                Out.push_back(Hex[B & 15]);
            }
            Out += u"}";
            break;
        }
        case TFormValue::vkCollection: {
            Out += u"<";
            for (const TFormItem& Item : V.Items) {
                Out += u"\n" + Spaces(Indent + 2) + u"item\n";
                FormatProps(Item.Props, Indent + 4, Out);
                Out += Spaces(Indent + 2) + u"end";
            }
            Out += u">";
            break;
        }
    }
}

void FormatObject(const TFormObject& O, int Indent, String& Out) {
    Out += Spaces(Indent) + O.Keyword + u" " + (O.Name.empty() ? O.ClassName : O.Name + u": " + O.ClassName) + u"\n";
    FormatProps(O.Props, Indent + 2, Out);
    for (const TFormObject& C : O.Children) FormatObject(C, Indent + 2, Out);
    Out += Spaces(Indent) + u"end\n";
}

}  // namespace

// ---- TReader / TWriter ----------------------------------------------------------------

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

// ---- Applying a form to objects -------------------------------------------------------

// Finds the object a property belongs to again when references are resolved, so that a
// reference never lands on an object that has gone meanwhile.
using TLocator = std::function<TPersistent*()>;

class TLayoutReader {
public:
    explicit TLayoutReader(TComponent* Root) : FRoot(Root) {}

    void Read(const TFormObject& Node) {
        if (Node.Keyword != u"object" && Node.Keyword != u"inherited") Fail(Node.Line, u"'object' expected");
        if (const TClassInfo* Info = FindClassInfo(Node.ClassName); Info != nullptr && !Info->IsInstance(FRoot))
            Fail(Node.Line, u"Cannot read a " + Node.ClassName + u" into a " + FRoot->ClassName());
        MarkLoading(FRoot);
        if (!Node.Name.empty() && FRoot->Name().empty()) {
            // A root whose name its owner already uses keeps its own (empty) name.
            try {
                FRoot->SetName(Node.Name);
            } catch (const EComponentError&) {
            }
        }
        ReadBody(FRoot, Node, 0);
    }

    void Finish(bool Defer) {
        for (const TFixup& F : FFixups) ResolveFixup(F);
        const std::vector<TComponent*> Alive = AliveLoaded();
        for (TComponent* C : Alive) C->FComponentState.Exclude(csReading);
        for (TComponent* C : Alive)
            if (std::find(FRoot->FPendingLoaded.begin(), FRoot->FPendingLoaded.end(), C) == FRoot->FPendingLoaded.end())
                FRoot->FPendingLoaded.push_back(C);
        if (!Defer) FRoot->RunPendingLoaded();
    }

    void Abandon() {
        for (TComponent* C : AliveLoaded()) {
            C->FComponentState.Exclude(csReading);
            if (std::find(FRoot->FPendingLoaded.begin(), FRoot->FPendingLoaded.end(), C) == FRoot->FPendingLoaded.end())
                C->FComponentState.Exclude(csLoading);
        }
    }

private:
    struct TFixup {
        TLocator Locate;
        String PropName;
        String Target;
        int Line;
    };

    // The components read that still exist: the root and those it still owns.
    std::vector<TComponent*> AliveLoaded() const {
        const std::unordered_set<const TComponent*> Owned(FRoot->FComponents.begin(), FRoot->FComponents.end());
        std::vector<TComponent*> Alive;
        for (TComponent* C : FLoaded)
            if (C == FRoot || Owned.count(C) != 0) Alive.push_back(C);
        return Alive;
    }

    void MarkLoading(TComponent* C) {
        C->FComponentState += TComponentState{csLoading, csReading};
        if (std::find(FLoaded.begin(), FLoaded.end(), C) == FLoaded.end()) FLoaded.push_back(C);
    }

    void ReadBody(TComponent* Instance, const TFormObject& Node, int Depth) {
        const TLocator Self = [Instance]() -> TPersistent* { return Instance; };
        for (const TFormProp& P : Node.Props) ReadProp(Instance, Self, P);
        for (const TFormObject& Child : Node.Children) ReadChild(Instance, Child, Depth + 1);
    }

    void ReadChild(TComponent* Parent, const TFormObject& Node, int Depth) {
        if (Depth > MaxDepth) Fail(Node.Line, u"Objects nested too deeply");
        TComponent* C = nullptr;
        bool Created = false;
        if (Node.Keyword != u"object") {
            C = FRoot->FindComponent(Node.Name);
            if (C == nullptr) Fail(Node.Line, u"Ancestor for '" + Node.Name + u"' not found");
        } else {
            const TClassInfo* Info = FindClassInfo(Node.ClassName);
            if (Info == nullptr) Fail(Node.Line, u"Class " + Node.ClassName + u" not found");
            if (!Info->CreateComponent) Fail(Node.Line, u"Class " + Node.ClassName + u" cannot be created here");
            AtLine(Node.Line, [&] {
                C = Info->CreateComponent(FRoot);
                // A class that read its own layout in its constructor expects the second
                // construction step, as Create<T> gives it.
                if (!C->FPendingLoaded.empty()) C->AfterConstruction();
            });
            Created = true;
        }
        try {
            MarkLoading(C);
            AtLine(Node.Line, [&] {
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
        AtLine(Prop.Line, [&] {
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
                    Fail(Prop.Line, u"Property " + Path[I] + u" does not exist in " + Object->ClassName());
                Object = Sub;
                Locate = StepLocator(Locate, Path[I]);
            }
            const TClassInfo* Info = ClassInfoOf(Object);
            const TPropInfo* P = Info != nullptr ? Info->FindProp(Path.back()) : nullptr;
            if (P != nullptr)
                SetValue(Object, Locate, *P, Prop.Value);
            else if (!ReadDefined(Object, Path.back(), Prop.Value))
                Fail(Prop.Line, u"Property " + Prop.Name + u" does not exist in " + Instance->ClassName());
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
            case pkComponent:
                if (V.Kind != TFormValue::vkIdent) Invalid(P);
                if (SameText(V.Text, u"nil")) {
                    if (!P.SetComponent(Object, nullptr)) Invalid(P);
                    return;
                }
                FFixups.push_back({Locate, P.Name, V.Text, V.Line});
                return;
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
        AtLine(F.Line, [&] {
            TPersistent* Object = F.Locate();
            const TClassInfo* Info = Object != nullptr ? ClassInfoOf(Object) : nullptr;
            const TPropInfo* P = Info != nullptr ? Info->FindProp(F.PropName) : nullptr;
            if (P == nullptr || P->Kind != pkComponent) return;  // the object was replaced meanwhile
            TComponent* Target = FindReference(F.Target);
            if (Target == nullptr) Fail(F.Line, u"Unresolved reference to '" + F.Target + u"'");
            if (!P->SetComponent(Object, Target)) Invalid(*P);
        });
    }

    TComponent* FRoot;
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
};

// ---- Building a form from objects -----------------------------------------------------

class TLayoutWriter {
public:
    explicit TLayoutWriter(TComponent* Root) : FRoot(Root) {}

    TFormObject WriteComponent(TComponent* C, int Depth) {
        if (Depth > MaxDepth) throw EWriteError("Components nested too deeply");
        TFormObject O;
        O.Keyword = u"object";
        O.Name = C->Name();
        O.ClassName = StoredClassName(C);
        C->FComponentState.Include(csWriting);
        try {
            WriteProps(C, String(), O.Props, 0);
            C->GetChildren([&](TComponent* Child) { O.Children.push_back(WriteComponent(Child, Depth + 1)); }, FRoot);
        } catch (...) {
            C->FComponentState.Exclude(csWriting);
            throw;
        }
        C->FComponentState.Exclude(csWriting);
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
        if (Depth > MaxDepth) throw EWriteError("Objects nested too deeply");
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

// ---- Entry points ---------------------------------------------------------------------

namespace {

void ReadInto(TComponent* Root, std::u16string_view Text, bool Defer) {
    if (Root == nullptr) throw EReadError("No component to read into");
    TParser Parser(Text);
    const TFormObject Form = Parser.ParseRoot();
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
    TParser Parser(Text);
    const TFormObject Form = Parser.ParseRoot();
    const TClassInfo* Info = FindClassInfo(Form.ClassName);
    if (Info == nullptr) Fail(Form.Line, u"Class " + Form.ClassName + u" not found");
    if (!Info->CreateComponent) Fail(Form.Line, u"Class " + Form.ClassName + u" cannot be created here");
    TComponent* Root = nullptr;
    AtLine(Form.Line, [&] { Root = Info->CreateComponent(Owner); });
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

String WriteComponentText(TComponent* Root) {
    TLayoutWriter Writer(Root);
    const TFormObject Form = Writer.WriteComponent(Root, 0);
    String Out;
    FormatObject(Form, 0, Out);
    return Out;
}

std::string WriteComponentTextUtf8(TComponent* Root) { return StringToUtf8(WriteComponentText(Root)); }

void SetFindGlobalComponent(std::function<TComponent*(const String& Name)> Finder) {
    GlobalFinder() = std::move(Finder);
}

String QuoteFormString(std::u16string_view S) {
    if (S.empty()) return u"''";
    String Out;
    bool Quoted = false;
    for (const char16_t C : S) {
        if (C >= u' ' && C <= u'~') {
            if (!Quoted) Out.push_back(u'\'');
            Quoted = true;
            Out += C == u'\'' ? u"''" : String(1, C);
        } else {
            if (Quoted) Out.push_back(u'\'');
            Quoted = false;
            Out += u"#" + IntToStr(static_cast<int>(C));
        }
    }
    if (Quoted) Out.push_back(u'\'');
    return Out;
}
