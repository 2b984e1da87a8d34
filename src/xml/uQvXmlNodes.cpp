#include "xml/uQvXmlNodes.h"

#include <utility>

#include "platform/uQvStrUtils.h"
#include "platform/uQvUnicodeCase.h"
#include "xml/uQvXmlDocument.h"
#include "xml/uQvXmlText.h"

namespace {

bool IsAscii(std::string_view S) {
    for (char C : S)
        if (static_cast<unsigned char>(C) >= 0x80) return false;
    return true;
}

char16_t AsciiUpper(char C) { return static_cast<char16_t>(C >= 'a' && C <= 'z' ? C - 32 : C); }

String UpperName(std::string_view Name) {
    if (!IsAscii(Name)) return AnsiUpperCase(Utf8ToString(Name));
    String U(Name.size(), u'\0');
    for (size_t I = 0; I < Name.size(); ++I) U[I] = AsciiUpper(Name[I]);
    return U;
}

// Name equals Upper (an upper-cased text) ignoring case; ASCII names need no conversion.
bool SameName(std::string_view Name, std::u16string_view Upper) {
    if (!IsAscii(Name)) return AnsiUpperCase(Utf8ToString(Name)) == Upper;
    if (Name.size() != Upper.size()) return false;
    for (size_t I = 0; I < Name.size(); ++I)
        if (AsciiUpper(Name[I]) != Upper[I]) return false;
    return true;
}

// FullPath equality, walking up from the node: each name, preceded by "/", must end what
// is left of the path, which is used up exactly at the root list.
bool PathMatches(const TXmlNode* Node, std::u16string_view Upper) {
    for (const TXmlNode* N = Node; N != nullptr; N = N->Parent()) {
        const String Name = UpperName(N->NameUtf8());
        if (Upper.size() <= Name.size() || !Upper.ends_with(Name) || Upper[Upper.size() - Name.size() - 1] != u'/')
            return false;
        Upper.remove_suffix(Name.size() + 1);
    }
    return Upper.empty();
}

}  // namespace

// ---- TXmlNode -------------------------------------------------------------------------

void XmlFreeNodes(TXmlNodeList& Nodes) {
    // Children are taken out before their parent goes, so no destructor meets a subtree.
    TXmlNodeList Pending = std::move(Nodes);
    Nodes.clear();
    while (!Pending.empty()) {
        std::unique_ptr<TXmlNode> Node = std::move(Pending.back());
        Pending.pop_back();
        if (TXmlNodeList* Children = Node->ChildList(); Children != nullptr && !Children->empty()) {
            for (auto& Child : *Children) Pending.push_back(std::move(Child));
            Children->clear();
        }
    }
}


String TXmlNode::ElementTypeName() const { return Utf8ToString(XmlElementTypeName(ElementType())); }

void TXmlNode::SetNameUtf8(std::string_view) { throw EQvXmlError("cannot set name on this type of element"); }

int TXmlNode::ValueAsInteger() const { return StrToInt(Value()); }

void TXmlNode::SetValueAsInteger(int Value) { SetValue(IntToStr(Value)); }

TXmlNode* TXmlNode::Nodes(int Index) const { RaiseListIndexError(Index); }

TXmlNode* TXmlNode::NodeNew(const String& Name) {
    std::unique_ptr<TXmlNode> Node = XmlNewNode(ElementType(), FOwner);
    Node->SetName(Name);
    return NodeAdd(std::move(Node));
}

TXmlNode* TXmlNode::NodeAdd(std::unique_ptr<TXmlNode>) {
    throw EQvXmlError("cannot add node to this type of element");
}

void TXmlNode::NodeDelete(int) { throw EQvXmlError("cannot manipulate nodes in this type of element"); }

TXmlNode* TXmlNode::FindNode(const String& Name) const {
    const bool ByPath = !Name.empty() && Name[0] == u'/';
    const String Upper = AnsiUpperCase(Name);
    auto Matches = [&](const TXmlNode* N) { return ByPath ? PathMatches(N, Upper) : SameName(N->NameUtf8(), Upper); };
    // Depth first in document order, with an explicit stack of (list owner, next child).
    std::vector<std::pair<const TXmlNode*, int>> Stack{{this, 0}};
    while (!Stack.empty()) {
        auto& [Owner, Next] = Stack.back();
        if (Next >= Owner->NodeCount()) {
            Stack.pop_back();
            continue;
        }
        TXmlNode* Child = Owner->Nodes(Next++);
        if (Matches(Child)) return Child;
        if (Child->NodeCount() > 0) Stack.emplace_back(Child, 0);
    }
    return nullptr;
}

String TXmlNode::FullPath() const {
    std::vector<std::string_view> Names;
    for (const TXmlNode* N = this; N != nullptr; N = N->Parent()) Names.push_back(N->NameUtf8());
    std::string Path;
    for (auto It = Names.rbegin(); It != Names.rend(); ++It) {
        Path += '/';
        Path += *It;
    }
    return Utf8ToString(Path);
}

// ---- Text kinds -----------------------------------------------------------------------

std::string_view TXmlCharData::Text() const { return Document()->SymbolTable().Text(FValueID); }

void TXmlCharData::SetText(std::string_view Utf8) { FValueID = Document()->SymbolTable().Add(Utf8); }

String TXmlCharData::Value() const {
    const TQvXmlDocument* Doc = Document();
    const std::string Text = XmlLfToEol(this->Text(), Doc->EolText());
    return Utf8ToString(
        XmlResolveReferences(Text, [Doc](std::string_view Name) { return Doc->EntityReplacement(Name); }));
}

void TXmlCharData::SetValue(const String& Value) { SetText(XmlEscape(XmlNormaliseEol(StringToUtf8(Value)))); }

String TXmlCData::Value() const { return Utf8ToString(XmlLfToEol(Text(), Document()->EolText())); }

void TXmlCData::SetValue(const String& Value) { SetText(XmlNormaliseEol(StringToUtf8(Value))); }

// ---- TXmlAttribute --------------------------------------------------------------------

std::string_view TXmlAttribute::NameUtf8() const { return Document()->SymbolTable().Text(FNameID); }

void TXmlAttribute::SetNameUtf8(std::string_view Value) { FNameID = Document()->SymbolTable().Add(Value); }

String TXmlAttribute::Value() const {
    const TQvXmlDocument* Doc = Document();
    return Utf8ToString(XmlResolveReferences(FCoreValue.Text(),
                                             [Doc](std::string_view Name) { return Doc->EntityReplacement(Name); }));
}

void TXmlAttribute::SetValue(const String& Value) { FCoreValue.SetText(XmlEscape(StringToUtf8(Value))); }
