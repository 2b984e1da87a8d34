#include "xml/uQvXmlParser.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/uQvXmlCharsets.h"
#include "xml/uQvXmlDocument.h"
#include "xml/uQvXmlEncoding.h"

namespace {

// Character classes of the scanners, one table lookup per byte.
enum : uint8_t {
    ccBlank = 1,     // TAB, LF, CR, space
    ccNameEnd = 2,   // ends an element name: blank, "/", ">", "["
    ccAttrEnd = 4,   // ends an attribute name: blank, "=", "/", ">", "?"
    ccListEnd = 8,   // ends an attribute list: "!", "/", ">", "?"
    ccTokenEnd = 16  // ends a name in a document type: blank, ">", "["
};

struct TCharClasses {
    uint8_t Of[256] = {};
    constexpr TCharClasses() {
        for (unsigned char C : {'\t', '\n', '\r', ' '}) Of[C] = ccBlank | ccNameEnd | ccAttrEnd | ccTokenEnd;
        for (unsigned char C : {'/', '>', '['}) Of[C] |= ccNameEnd;
        for (unsigned char C : {'=', '/', '>', '?'}) Of[C] |= ccAttrEnd;
        for (unsigned char C : {'!', '/', '>', '?'}) Of[C] |= ccListEnd;
        for (unsigned char C : {'>', '['}) Of[C] |= ccTokenEnd;
    }
};
constexpr TCharClasses Classes;

bool Is(char C, uint8_t Class) { return (Classes.Of[static_cast<unsigned char>(C)] & Class) != 0; }

// Text blanks: every byte below 33.
bool IsLow(char C) { return static_cast<unsigned char>(C) < 33; }

std::string_view TrimLow(std::string_view S) {
    while (!S.empty() && IsLow(S.front())) S.remove_prefix(1);
    while (!S.empty() && IsLow(S.back())) S.remove_suffix(1);
    return S;
}

bool SameAsciiNoCase(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return (X >= 'a' && X <= 'z' ? X - 32 : X) == (Y >= 'a' && Y <= 'z' ? Y - 32 : Y);
           });
}

// An end tag that names an element further out closes up to it only this far out.
constexpr size_t RepairReach = 256;
// Tags quoted in diagnostics are cut to this many bytes.
constexpr size_t QuotedTagLength = 40;

enum TTagKind {
    tkElement,
    tkEndTag,
    tkComment,
    tkCData,
    tkDocType,
    tkDtdElement,
    tkDtdAttList,
    tkDtdEntity,
    tkDtdNotation,
    tkStyleSheet,
    tkDeclaration,
    tkInstruction,
    tkUnknown,
};

struct TKeyword {
    std::string_view Text;
    TTagKind Kind;
};
constexpr TKeyword DtdKeywords[] = {
    {"ATTLIST", tkDtdAttList}, {"DOCTYPE", tkDocType},     {"ELEMENT", tkDtdElement},
    {"ENTITY", tkDtdEntity},   {"NOTATION", tkDtdNotation},
};

TXmlElementType DtdType(TTagKind Kind) {
    switch (Kind) {
        case tkDtdAttList:
            return xeDtdAttList;
        case tkDtdEntity:
            return xeDtdEntity;
        case tkDtdNotation:
            return xeDtdNotation;
        default:
            return xeDtdElement;
    }
}

class TXmlParser {
public:
    TXmlParser(TQvXmlDocument& Doc, std::string_view Bytes)
        : FDoc(Doc), FSymbols(Doc.SymbolTable()), FRaw(Bytes), FPreserve(Doc.PreserveWhiteSpace()),
          FListening(Doc.HasDebugHandler()) {}
    void Run();

private:
    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek(size_t Ahead = 0) const { return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0'; }
    std::string_view Slice(size_t From, size_t To) const { return FText.substr(From, To - From); }
    bool LookingAt(std::string_view S, bool IgnoreCase = false, size_t Ahead = 0) const {
        const std::string_view Here = FText.substr(std::min(FPos + Ahead, FText.size()), S.size());
        return IgnoreCase ? SameAsciiNoCase(Here, S) : Here == S;
    }
    void SkipBlanks() {
        while (!AtEnd() && Is(FText[FPos], ccBlank)) ++FPos;
    }
    size_t FindChar(char C) const {
        const void* P = FPos < FText.size() ? std::memchr(FText.data() + FPos, C, FText.size() - FPos) : nullptr;
        return P != nullptr ? static_cast<size_t>(static_cast<const char*>(P) - FText.data()) : FText.size();
    }
    // The first of Stops outside quoted runs, or the end when a quote is left open.
    size_t FindOutsideQuotes(std::string_view Stops) const;
    // The text up to Terminator, which is skipped; at the end of input: nothing.
    std::optional<std::string_view> UpTo(std::string_view Terminator);

    int LineAt(size_t Pos);
    std::string QuotedTag(size_t From) const;
    void Premature();
    void IllegalTag(size_t TagStart);
    void IllegalEndTag();

    TTagKind Classify();
    TXmlContainerNode* Current() const { return FOpen.empty() ? nullptr : FOpen.back(); }
    TXmlNode* Attach(TXmlContainerNode* Parent, std::unique_ptr<TXmlNode> Node);
    void Loaded(TXmlNode* Node) {
        if (FDoc.OnNodeLoaded) FDoc.OnNodeLoaded(&FDoc, Node);
    }
    template <class T>
    T* AddText(TXmlContainerNode* Parent, std::string_view Text);
    void AddSplitText(TXmlContainerNode* Parent, std::string_view Text, bool MayBeValue);

    bool TopLevelText();
    void ParseTag();
    void ParseElement(size_t TagStart);
    bool ParseAttributes(TXmlContainerNode* Node);
    void ParseEndTag(size_t TagStart);
    void CloseInnermost();
    void ParseTextTag(TTagKind Kind, TXmlContainerNode* Parent);
    void ParseDeclaration(TTagKind Kind);
    void ApplyDeclaredEncoding(const std::string& Name);
    void ParseDocType();
    bool ParseDtdSubset(TXmlDocType* DocType);
    void ParseConditionalSection(TXmlDocType* DocType);
    void ParseDtdNode(TTagKind Kind, TXmlDocType* DocType);

    TQvXmlDocument& FDoc;
    TQvXmlSymbolTable& FSymbols;
    std::string_view FRaw;   // the stream after its byte order mark
    std::string FDecoded;    // the text, when it differs from the bytes
    std::string_view FText;  // the text: UTF-8, LF line ends
    size_t FPos = 0;
    const bool FPreserve;
    const bool FListening;
    bool FStop = false;
    bool FByteStream = false;  // 8-bit data without a BOM: a declaration may name its code page
    bool FDeclarationSeen = false;
    std::vector<TXmlElement*> FOpen;  // elements whose end tag is still to come
    size_t FLinePos = 0;              // LineAt's memo: FLinePos lies on line FLine
    int FLine = 1;
};

// ---- Input and diagnostics ------------------------------------------------------------

size_t TXmlParser::FindOutsideQuotes(std::string_view Stops) const {
    char Quote = 0;
    for (size_t I = FPos; I < FText.size(); ++I) {
        const char C = FText[I];
        if (Quote != 0) {
            if (C == Quote) Quote = 0;
        } else if (C == '"' || C == '\'') {
            Quote = C;
        } else if (Stops.find(C) != std::string_view::npos) {
            return I;
        }
    }
    return FText.size();
}

std::optional<std::string_view> TXmlParser::UpTo(std::string_view Terminator) {
    const size_t End = FText.find(Terminator, FPos);
    if (End == std::string_view::npos) {
        FPos = FText.size();
        return std::nullopt;
    }
    const std::string_view Text = Slice(FPos, End);
    FPos = End + Terminator.size();
    return Text;
}

int TXmlParser::LineAt(size_t Pos) {
    // Counted from the last diagnostic's position, which is mostly just before.
    const std::string_view Between = Slice(std::min(Pos, FLinePos), std::max(Pos, FLinePos));
    const int Lines = static_cast<int>(std::count(Between.begin(), Between.end(), '\n'));
    FLine += Pos >= FLinePos ? Lines : -Lines;
    FLinePos = Pos;
    return FLine;
}

std::string TXmlParser::QuotedTag(size_t From) const {
    size_t End = From;
    while (End < FText.size() && End - From < QuotedTagLength && !Is(FText[End], ccBlank) && FText[End] != '>')
        ++End;
    if (End < FText.size() && FText[End] == '>') ++End;
    return std::string(Slice(From, End));
}

void TXmlParser::Premature() {
    FDoc.Report(wsWarn, u"stream terminated prematurely at pos %d", {FPos});
    FStop = true;
}

void TXmlParser::IllegalTag(size_t TagStart) {
    if (FListening)
        FDoc.Report(wsWarn, u"illegal tag (\"%s\") at pos %d", {Utf8ToString(QuotedTag(TagStart)), TagStart});
    // At the top the parse ends; inside an element that element does.
    if (FOpen.empty())
        FStop = true;
    else
        CloseInnermost();
}

void TXmlParser::IllegalEndTag() {
    if (FListening)
        FDoc.Report(wsWarn, u"illegal end tag (\"%s\") at line %d (streampos %d)",
                    {Utf8ToString(QuotedTag(FPos)), LineAt(FPos), FPos});
}

// ---- Building -------------------------------------------------------------------------

TXmlNode* TXmlParser::Attach(TXmlContainerNode* Parent, std::unique_ptr<TXmlNode> Node) {
    TXmlNode* Raw = Node.get();
    if (Parent != nullptr)
        Parent->AddContent(std::move(Node));
    else
        FDoc.RootNodeAdd(std::move(Node));
    if (FDoc.OnNodeNew) FDoc.OnNodeNew(&FDoc, Raw);
    return Raw;
}

template <class T>
T* TXmlParser::AddText(TXmlContainerNode* Parent, std::string_view Text) {
    auto Node = std::make_unique<T>(&FDoc);
    Node->SetValueID(FSymbols.Add(Text));
    return static_cast<T*>(Attach(Parent, std::move(Node)));
}

// Content text: the blanks around it become white-space nodes when they are kept, the
// text between them a text node, the first of which is the element's value.
void TXmlParser::AddSplitText(TXmlContainerNode* Parent, std::string_view Text, bool MayBeValue) {
    size_t Begin = 0;
    while (Begin < Text.size() && IsLow(Text[Begin])) ++Begin;
    size_t End = Text.size();
    while (End > Begin && IsLow(Text[End - 1])) --End;
    if (FPreserve && Begin > 0) Loaded(AddText<TXmlWhiteSpace>(Parent, Text.substr(0, Begin)));
    if (End > Begin) {
        TXmlCharData* Core = AddText<TXmlCharData>(Parent, Text.substr(Begin, End - Begin));
        if (MayBeValue && Parent->ValueIndex() < 0) Parent->SetValueIndex(Parent->NodeCount() - 1);
        Loaded(Core);
    }
    if (FPreserve && End < Text.size() && End > Begin) Loaded(AddText<TXmlWhiteSpace>(Parent, Text.substr(End)));
}

// ---- The document ---------------------------------------------------------------------

void TXmlParser::Run() {
    if (FRaw.size() <= 4) {
        FDoc.Report(wsWarn, u"stream terminated prematurely at pos %d", {FRaw.size()});
        return;
    }
    TXmlBomInfo Bom;
    const std::optional<TXmlSignature> Signature = XmlDetectSignature(FRaw);
    if (!Signature) FDoc.Report(wsWarn, u"unknown encoding", {});
    Bom.Encoding = Signature ? Signature->Encoding : seUTF8;
    if (Signature && Signature->IsBOM) {
        Bom.HasBOM = true;
        Bom.Len = Signature->Length;
        std::memcpy(Bom.BOM, FRaw.data(), static_cast<size_t>(Bom.Len));
    }
    FDoc.SetExternalBomInfo(Bom);
    FDoc.SetExternalEncoding(Bom.Encoding);
    FDoc.SetExternalCodePage(Bom.Encoding == seUTF8      ? 65001
                             : Bom.Encoding == seUTF16LE ? 1200
                             : Bom.Encoding == seUTF16BE ? 1201
                                                         : 0);
    if (!XmlEncodingSupported(Bom.Encoding)) {
        FDoc.Report(wsFail, u"unsupported encoding (%s)", {Utf8ToString(XmlEncodingName(Bom.Encoding))});
        return;
    }
    if (Bom.HasBOM) {
        FDoc.Report(wsInfo, u"BOM with encoding %s", {Utf8ToString(XmlEncodingName(Bom.Encoding))});
        FRaw.remove_prefix(static_cast<size_t>(Bom.Len));
    }
    FByteStream = !Bom.HasBOM && (Bom.Encoding == seAnsi || Bom.Encoding == seUTF8);
    if (FByteStream && FRaw.find('\r') == std::string_view::npos) {
        FText = FRaw;  // nothing to decode
    } else {
        FDecoded = XmlDecode(FRaw, Bom.Encoding, 0);
        FText = FDecoded;
    }
    FSymbols.Reserve(FText.size() / 64);

    while (!FStop && !FDoc.AbortParsing()) {
        if (FOpen.empty()) {
            if (!TopLevelText()) break;
        } else {
            const size_t Lt = FindChar('<');
            AddSplitText(FOpen.back(), Slice(FPos, Lt), true);
            FPos = Lt;
            if (AtEnd()) {
                Premature();
                break;
            }
        }
        ParseTag();
    }
}

// Text outside the root element; false at the end of the input.
bool TXmlParser::TopLevelText() {
    const size_t Lt = FindChar('<');
    std::string_view Text = Slice(FPos, Lt);
    if (!FPreserve) Text = TrimLow(Text);
    if (!Text.empty()) Loaded(AddText<TXmlCharData>(nullptr, Text));
    FPos = Lt;
    return !AtEnd();
}

TTagKind TXmlParser::Classify() {
    if (LookingAt("!--")) {
        FPos += 3;
        return tkComment;
    }
    if (LookingAt("![CDATA[", true)) {
        FPos += 8;
        return tkCData;
    }
    if (Peek() == '!') {
        for (const TKeyword& K : DtdKeywords) {
            if (LookingAt(K.Text, true, 1)) {
                FPos += 1 + K.Text.size();
                return K.Kind;
            }
        }
        return tkUnknown;
    }
    if (Peek() == '/') {
        ++FPos;
        return tkEndTag;
    }
    if (Peek() == '?') {
        // "<?xml-model ...?>" and the like are instructions, not declarations.
        auto Keyword = [this](std::string_view K) {
            const char After = Peek(K.size());
            return LookingAt(K, true) && (Is(After, ccBlank) || After == '?');
        };
        if (Keyword("?xml-stylesheet")) {
            FPos += 15;
            return tkStyleSheet;
        }
        if (Keyword("?xml")) {
            FPos += 4;
            return tkDeclaration;
        }
        ++FPos;
        return tkInstruction;
    }
    return tkElement;
}

void TXmlParser::ParseTag() {
    const size_t TagStart = FPos++;
    if (AtEnd()) {
        Premature();
        return;
    }
    const TTagKind Kind = Classify();
    const bool Inside = !FOpen.empty();
    switch (Kind) {
        case tkElement:
            ParseElement(TagStart);
            break;
        case tkEndTag:
            ParseEndTag(TagStart);
            break;
        case tkComment:
        case tkCData:
        case tkInstruction:
            ParseTextTag(Kind, Current());
            break;
        case tkDeclaration:
        case tkStyleSheet:
            if (Inside)
                IllegalTag(TagStart);
            else
                ParseDeclaration(Kind);
            break;
        case tkDocType:
            if (Inside)
                IllegalTag(TagStart);
            else
                ParseDocType();
            break;
        case tkDtdElement:
        case tkDtdAttList:
        case tkDtdEntity:
        case tkDtdNotation:
            if (Inside)
                IllegalTag(TagStart);
            else
                ParseDtdNode(Kind, nullptr);
            break;
        case tkUnknown:
            IllegalTag(TagStart);
            break;
    }
}

// ---- Elements -------------------------------------------------------------------------

void TXmlParser::ParseElement(size_t TagStart) {
    const size_t Start = FPos;
    while (!AtEnd() && !Is(FText[FPos], ccNameEnd)) ++FPos;
    const std::string_view Name = Slice(Start, FPos);
    if (Name.empty()) {
        IllegalTag(TagStart);
        return;
    }
    auto Node = std::make_unique<TXmlElement>(&FDoc);
    Node->SetNameID(FSymbols.Add(Name));
    auto* Element = static_cast<TXmlElement*>(Attach(Current(), std::move(Node)));
    if (!ParseAttributes(Element)) return;
    if (LookingAt("/>")) {
        FPos += 2;
        Element->SetNodeClosingStyle(ncClose);
        Loaded(Element);
    } else if (Peek() == '>') {
        ++FPos;
        FOpen.push_back(Element);
    } else {
        IllegalEndTag();
        Loaded(Element);
    }
}

// Attributes and the white space between them, up to the character that ends the list;
// false when the input ended first.
bool TXmlParser::ParseAttributes(TXmlContainerNode* Node) {
    for (;;) {
        const size_t RunStart = FPos;
        SkipBlanks();
        if (FPos > RunStart && !(FPos - RunStart == 1 && FText[RunStart] == ' ')) {
            if (FListening)
                FDoc.Report(wsHint, u"non-default chardata at line %d (pos %d)", {LineAt(RunStart), RunStart});
            if (FPreserve) {
                auto Space = std::make_unique<TXmlWhiteSpace>(&FDoc);
                Space->SetValueID(FSymbols.Add(Slice(RunStart, FPos)));
                Node->AddDirect(std::move(Space));
            }
        }
        if (AtEnd()) {
            Premature();
            return false;
        }
        const char C = FText[FPos];
        if (Is(C, ccListEnd)) return true;
        if (C == '"' || C == '\'') {
            FDoc.Report(wsWarn, u"illegal quote at pos %d", {FPos});
            ++FPos;
            continue;
        }
        const size_t NameStart = FPos;
        while (!AtEnd() && !Is(FText[FPos], ccAttrEnd)) ++FPos;
        auto Attr = std::make_unique<TXmlAttribute>(&FDoc);
        Attr->SetNameID(FSymbols.Add(Slice(NameStart, FPos)));
        const size_t NameEnd = FPos;
        SkipBlanks();
        bool Ok = true;
        if (Peek() == '=') {
            ++FPos;
            SkipBlanks();
        } else {
            // No "=": the blanks after the name are the next run.
            FPos = NameEnd;
            Ok = false;
        }
        const char Quote = Peek();
        if (Ok && (Quote == '"' || Quote == '\'')) {
            const size_t End = FText.find(Quote, FPos + 1);
            if (End == std::string_view::npos) {
                Node->AddDirect(std::move(Attr));
                FPos = FText.size();
                Premature();
                return false;
            }
            Attr->CoreValue().SetValueID(FSymbols.Add(Slice(FPos + 1, End)));
            Attr->CoreValue().SetQuoteStyle(Quote == '"' ? qsQuote : qsApos);
            FPos = End + 1;
        } else if (!AtEnd()) {
            FDoc.Report(wsWarn, u"quote char expected at pos %d", {FPos});
        }
        Node->AddDirect(std::move(Attr));
    }
}

void TXmlParser::ParseEndTag(size_t TagStart) {
    if (FOpen.empty()) {
        if (FListening)
            FDoc.Report(wsWarn, u"unsupported tag (\"%s\") at pos %d", {Utf8ToString(QuotedTag(TagStart)), TagStart});
        FStop = true;
        return;
    }
    const size_t Gt = FindChar('>');
    if (Gt == FText.size()) {
        FPos = Gt;
        Premature();
        return;
    }
    const std::string_view Name = TrimLow(Slice(FPos, Gt));
    FPos = Gt + 1;
    TXmlElement* Element = FOpen.back();
    Element->SetNodeClosingStyle(ncFull);
    if (Name == Element->NameUtf8()) {
        CloseInnermost();
        return;
    }
    if (FDoc.FixStructuralErrors()) {
        const size_t Reach = std::min(FOpen.size(), RepairReach + 1);
        for (size_t Up = 2; Up <= Reach; ++Up) {
            if (FOpen[FOpen.size() - Up]->NameUtf8() != Name) continue;
            if (FListening)
                FDoc.Report(wsWarn, u"level mismatch between subnode \"%s\" and endnode \"%s\" at line %d (pos %d)",
                            {Element->Name(), Utf8ToString(Name), LineAt(TagStart), TagStart});
            FOpen[FOpen.size() - Up]->SetNodeClosingStyle(ncFull);
            for (size_t I = 0; I < Up; ++I) CloseInnermost();
            return;
        }
    }
    if (FListening)
        FDoc.Report(wsWarn, u"begin and end tag mismatch: \"%s\" and \"%s\" at line %d (pos %d)",
                    {Element->Name(), Utf8ToString(Name), LineAt(TagStart), TagStart});
    CloseInnermost();
}

void TXmlParser::CloseInnermost() {
    TXmlElement* Element = FOpen.back();
    FOpen.pop_back();
    Loaded(Element);
}

// Comments, CDATA sections and instructions, in an element, a document type or the root list.
void TXmlParser::ParseTextTag(TTagKind Kind, TXmlContainerNode* Parent) {
    const std::optional<std::string_view> Text = UpTo(Kind == tkComment ? "-->" : Kind == tkCData ? "]]>" : "?>");
    if (!Text) {
        Premature();
        return;
    }
    if (Kind == tkComment && FDoc.DropCommentsOnParse()) {
        FDoc.Report(wsInfo, u"option DropCommentsOnParse is true, deleting comment", {});
        return;
    }
    if (Kind == tkComment) {
        Loaded(AddText<TXmlComment>(Parent, *Text));
    } else if (Kind == tkInstruction) {
        Loaded(AddText<TXmlInstruction>(Parent, *Text));
    } else {
        TXmlCData* Section = AddText<TXmlCData>(Parent, *Text);
        if (Parent != nullptr && Parent->ValueIndex() < 0) Parent->SetValueIndex(Parent->NodeCount() - 1);
        Loaded(Section);
    }
}

// ---- Declarations ---------------------------------------------------------------------

void TXmlParser::ParseDeclaration(TTagKind Kind) {
    std::unique_ptr<TXmlDeclaration> Node;
    if (Kind == tkStyleSheet)
        Node = std::make_unique<TXmlStyleSheet>(&FDoc);
    else
        Node = std::make_unique<TXmlDeclaration>(&FDoc);
    auto* Declaration = static_cast<TXmlDeclaration*>(Attach(nullptr, std::move(Node)));
    if (!ParseAttributes(Declaration)) return;
    if (LookingAt("?>")) {
        FPos += 2;
        if (Peek() == '\n') ++FPos;
    } else {
        IllegalEndTag();
    }
    const bool First = Kind == tkDeclaration && !FDeclarationSeen;
    const std::string Encoding = First ? StringToUtf8(Declaration->Encoding()) : std::string();
    Loaded(Declaration);
    if (First) {
        FDeclarationSeen = true;
        ApplyDeclaredEncoding(Encoding);
    }
}

// The rest of an 8-bit stream is read in the code page the declaration names. Data that
// came as UTF-16, or with a UTF-8 byte order mark, keeps its encoding: the bytes already
// said what they are, and 8-bit data is never UTF-16 or UTF-32.
void TXmlParser::ApplyDeclaredEncoding(const std::string& Name) {
    int CodePage = XmlCharsetCodePage(Name);
    FDoc.Report(wsInfo, u"declaration with encoding \"%s\" and codepage %d", {Utf8ToString(Name), CodePage});
    if (!FByteStream) return;
    if (CodePage == 1200 || CodePage == 1201 || CodePage == 12000 || CodePage == 12001) CodePage = 65001;
    FDoc.SetExternalEncoding(CodePage == 65001 ? seUTF8 : seAnsi);
    FDoc.SetExternalCodePage(CodePage);
    if (CodePage == 65001) return;
    const std::string_view Rest =
        FText.data() == FRaw.data() ? FRaw.substr(FPos) : FRaw.substr(XmlUndecodedLength(FRaw, FPos));
    std::string Text(FText.substr(0, FPos));
    Text += XmlDecode(Rest, seAnsi, CodePage);
    FDecoded = std::move(Text);
    FText = FDecoded;
}

// ---- Document types -------------------------------------------------------------------

void TXmlParser::ParseDocType() {
    auto* DocType = static_cast<TXmlDocType*>(Attach(nullptr, std::make_unique<TXmlDocType>(&FDoc)));
    SkipBlanks();
    const size_t NameStart = FPos;
    while (!AtEnd() && !Is(FText[FPos], ccTokenEnd)) ++FPos;
    DocType->SetNameID(FSymbols.Add(Slice(NameStart, FPos)));
    const size_t IdStart = FPos;
    FPos = FindOutsideQuotes("[>");
    const std::string_view ExternalID = TrimLow(Slice(IdStart, FPos));
    DocType->SetExternalID(Utf8ToString(ExternalID));
    if (Peek() == '[') {
        ++FPos;
        if (!ParseDtdSubset(DocType)) return;
        SkipBlanks();
    }
    if (Peek() == '>') {
        ++FPos;
    } else if (AtEnd()) {
        Premature();
        return;
    } else {
        IllegalEndTag();
    }
    Loaded(DocType);
}

// The internal subset up to its "]"; false when the parse has to stop.
bool TXmlParser::ParseDtdSubset(TXmlDocType* DocType) {
    for (;;) {
        const size_t Start = FPos;
        while (!AtEnd() && FText[FPos] != '<' && FText[FPos] != ']') ++FPos;
        AddSplitText(DocType, Slice(Start, FPos), false);
        if (AtEnd()) {
            Premature();
            return false;
        }
        if (FText[FPos] == ']') {
            ++FPos;
            return true;
        }
        const size_t TagStart = FPos++;
        if (LookingAt("![") && !LookingAt("![CDATA[", true)) {
            FPos += 2;
            ParseConditionalSection(DocType);
        } else {
            const TTagKind Kind = AtEnd() ? tkUnknown : Classify();
            if (Kind == tkComment || Kind == tkInstruction)
                ParseTextTag(Kind, DocType);
            else if (Kind == tkDtdElement || Kind == tkDtdAttList || Kind == tkDtdEntity || Kind == tkDtdNotation)
                ParseDtdNode(Kind, DocType);
            else
                IllegalTag(TagStart);
        }
        if (FStop) return false;
    }
}

// "<![" ... "]]>", sections inside it included. The next opening and closing are each
// searched for once, so nesting never rescans the text.
void TXmlParser::ParseConditionalSection(TXmlDocType* DocType) {
    const size_t Start = FPos;
    size_t Open = FText.find("<![", FPos);
    size_t Close = FText.find("]]>", FPos);
    for (int Depth = 1;;) {
        if (Close == std::string_view::npos) {
            FPos = FText.size();
            Premature();
            return;
        }
        if (Open < Close) {
            ++Depth;
            FPos = Open + 3;
            Open = FText.find("<![", FPos);
            continue;
        }
        FPos = Close + 3;
        if (--Depth == 0) break;
        Close = FText.find("]]>", FPos);
    }
    Loaded(AddText<TXmlConditionalSection>(DocType, Slice(Start, FPos - 3)));
}

// <!ELEMENT name body>, <!ENTITY % name body> and their kin; the body is kept as written.
void TXmlParser::ParseDtdNode(TTagKind Kind, TXmlDocType* DocType) {
    SkipBlanks();
    std::string Name;
    if (Kind == tkDtdEntity && Peek() == '%' && Is(Peek(1), ccBlank)) {
        ++FPos;
        SkipBlanks();
        Name = "% ";
    }
    const size_t NameStart = FPos;
    while (!AtEnd() && !Is(FText[FPos], ccTokenEnd)) ++FPos;
    Name += Slice(NameStart, FPos);
    const size_t BodyStart = FPos;
    FPos = FindOutsideQuotes(">");
    const std::string_view Body = TrimLow(Slice(BodyStart, FPos));
    auto Node = XmlNewNode(DtdType(Kind), &FDoc);
    auto* Declaration = static_cast<TXmlDtdElement*>(Node.get());
    Declaration->SetNameID(FSymbols.Add(Name));
    if (!Body.empty()) {
        auto Text = std::make_unique<TXmlCharData>(&FDoc);
        Text->SetValueID(FSymbols.Add(Body));
        Declaration->SetValueIndex(Declaration->AddContent(std::move(Text)));
    }
    Attach(DocType, std::move(Node));
    if (AtEnd()) {
        Premature();
        return;
    }
    ++FPos;
    Loaded(Declaration);
}

}  // namespace

void XmlParse(TQvXmlDocument& Doc, std::string_view Bytes) { TXmlParser(Doc, Bytes).Run(); }
