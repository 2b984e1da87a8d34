#include "xml/uQvXmlElements.h"

#include <utility>

#include "xml/uQvXmlDocument.h"
#include "xml/uQvXmlText.h"

std::unique_ptr<TXmlNode> XmlNewNode(TXmlElementType Type, TQvXmlDocument* Owner) {
    switch (Type) {
        case xeElement:
            return std::make_unique<TXmlElement>(Owner);
        case xeAttribute:
            return std::make_unique<TXmlAttribute>(Owner);
        case xeCharData:
            return std::make_unique<TXmlCharData>(Owner);
        case xeComment:
            return std::make_unique<TXmlComment>(Owner);
        case xeCData:
            return std::make_unique<TXmlCData>(Owner);
        case xeCondSection:
            return std::make_unique<TXmlConditionalSection>(Owner);
        case xeDeclaration:
            return std::make_unique<TXmlDeclaration>(Owner);
        case xeStylesheet:
            return std::make_unique<TXmlStyleSheet>(Owner);
        case xeDocType:
            return std::make_unique<TXmlDocType>(Owner);
        case xeDtdElement:
            return std::make_unique<TXmlDtdElement>(Owner);
        case xeDtdAttList:
            return std::make_unique<TXmlDtdAttList>(Owner);
        case xeDtdEntity:
            return std::make_unique<TXmlDtdEntity>(Owner);
        case xeDtdNotation:
            return std::make_unique<TXmlDtdNotation>(Owner);
        case xeInstruction:
            return std::make_unique<TXmlInstruction>(Owner);
        case xeWhiteSpace:
            return std::make_unique<TXmlWhiteSpace>(Owner);
        case xeQuotedText:
            return std::make_unique<TXmlQuotedText>(Owner);
        case xeEndTag:
        case xeError:
            break;
    }
    return nullptr;
}

// ---- TXmlContainerNode ----------------------------------------------------------------

TXmlContainerNode::~TXmlContainerNode() { XmlFreeNodes(FNodes); }

TXmlNode* TXmlContainerNode::Nodes(int Index) const {
    if (Index < 0 || Index >= NodeCount()) RaiseListIndexError(Index);
    return FNodes[static_cast<size_t>(Index)].get();
}

String TXmlContainerNode::Value() const { return FValueIndex < 0 ? String() : Nodes(FValueIndex)->Value(); }

void TXmlContainerNode::SetValue(const String& Value) {
    if (Value.empty()) {
        if (FValueIndex >= 0) NodeDelete(FValueIndex);
        return;
    }
    TXmlNode* Old = FValueIndex >= 0 ? Nodes(FValueIndex) : nullptr;
    // A CDATA section stays one while its text can be written as one.
    if (Old != nullptr && (Old->ElementType() != xeCData || StringToUtf8(Value).find("]]>") == std::string::npos)) {
        Old->SetValue(Value);
        return;
    }
    auto Text = std::make_unique<TXmlCharData>(Document());
    Text->SetValue(Value);
    if (Old != nullptr) {
        const int Index = FValueIndex;
        NodeDelete(Index);
        Insert(static_cast<size_t>(Index), std::move(Text));
        FValueIndex = Index;
        return;
    }
    Insert(static_cast<size_t>(FDirectNodeCount), std::move(Text));
    FValueIndex = FDirectNodeCount;
}

TXmlNode* TXmlContainerNode::Insert(size_t Index, std::unique_ptr<TXmlNode> Node) {
    if (Node->Document() != Document()) {
        Document()->Report(wsFail, u"XML owner is not assigned", {});
        return nullptr;
    }
    Node->FParent = this;
    TXmlNode* Raw = Node.get();
    FNodes.insert(FNodes.begin() + static_cast<std::ptrdiff_t>(Index), std::move(Node));
    if (FValueIndex >= static_cast<int>(Index)) ++FValueIndex;
    return Raw;
}

TXmlNode* TXmlContainerNode::NodeAdd(std::unique_ptr<TXmlNode> Node) {
    if (!Node) return nullptr;
    const bool Direct = Node->ElementType() == xeAttribute;
    TXmlNode* Added = Insert(Direct ? static_cast<size_t>(FDirectNodeCount) : FNodes.size(), std::move(Node));
    if (Added != nullptr && Direct) ++FDirectNodeCount;
    return Added;
}

TXmlNode* TXmlContainerNode::NodeInsert(int Index, std::unique_ptr<TXmlNode> Node) {
    if (!Node) return nullptr;
    const bool Direct = Node->ElementType() == xeAttribute;
    if (Index < 0 || Index > NodeCount() || (Direct ? Index > FDirectNodeCount : Index < FDirectNodeCount))
        RaiseListIndexError(Index);
    TXmlNode* Added = Insert(static_cast<size_t>(Index), std::move(Node));
    if (Added != nullptr && Direct) ++FDirectNodeCount;
    return Added;
}

void TXmlContainerNode::NodeDelete(int Index) {
    if (Index < 0 || Index >= NodeCount()) RaiseListIndexError(Index);
    TXmlNodeList Gone;
    Gone.push_back(std::move(FNodes[static_cast<size_t>(Index)]));
    FNodes.erase(FNodes.begin() + Index);
    if (Index < FDirectNodeCount) --FDirectNodeCount;
    if (FValueIndex == Index)
        FValueIndex = -1;
    else if (FValueIndex > Index)
        --FValueIndex;
    XmlFreeNodes(Gone);
}

void TXmlContainerNode::AddDirect(std::unique_ptr<TXmlNode> Node) {
    Node->FParent = this;
    FNodes.insert(FNodes.begin() + FDirectNodeCount, std::move(Node));
    ++FDirectNodeCount;
    if (FValueIndex >= 0) ++FValueIndex;
}

int TXmlContainerNode::AddContent(std::unique_ptr<TXmlNode> Node) {
    Node->FParent = this;
    FNodes.push_back(std::move(Node));
    return static_cast<int>(FNodes.size()) - 1;
}

TXmlAttribute* TXmlContainerNode::AttributeAdd(const String& Name, const String& Value) {
    auto Attr = std::make_unique<TXmlAttribute>(Document());
    Attr->SetName(Name);
    Attr->SetValue(Value);
    return static_cast<TXmlAttribute*>(NodeAdd(std::move(Attr)));
}

TXmlAttribute* TXmlContainerNode::AttributeByName(const String& Name) const {
    const std::string Key = StringToUtf8(Name);
    for (int I = 0; I < FDirectNodeCount; ++I)
        if (auto* A = dynamic_cast<TXmlAttribute*>(FNodes[static_cast<size_t>(I)].get()); A && A->NameUtf8() == Key)
            return A;
    return nullptr;
}

int TXmlContainerNode::AttributeCount() const {
    int Count = 0;
    for (int I = 0; I < FDirectNodeCount; ++I) Count += FNodes[static_cast<size_t>(I)]->ElementType() == xeAttribute;
    return Count;
}

TXmlAttribute* TXmlContainerNode::Attributes(int Index) const {
    int Seen = 0;
    for (int I = 0; I < FDirectNodeCount && Index >= 0; ++I)
        if (auto* A = dynamic_cast<TXmlAttribute*>(FNodes[static_cast<size_t>(I)].get()); A && Seen++ == Index)
            return A;
    RaiseListIndexError(Index);
}

// ---- Named kinds ----------------------------------------------------------------------

std::string_view TXmlElement::NameUtf8() const { return Document()->SymbolTable().Text(FNameID); }

void TXmlElement::SetNameUtf8(std::string_view Value) { FNameID = Document()->SymbolTable().Add(Value); }

String TXmlDeclaration::Encoding() const {
    const TXmlAttribute* A = AttributeByName(u"encoding");
    return A != nullptr ? A->Value() : String();
}

std::string_view TXmlDocType::NameUtf8() const { return Document()->SymbolTable().Text(FNameID); }

void TXmlDocType::SetNameUtf8(std::string_view Value) { FNameID = Document()->SymbolTable().Add(Value); }

String TXmlDocType::ExternalID() const { return Utf8ToString(ExternalIDUtf8()); }

void TXmlDocType::SetExternalID(const String& Value) {
    FExternalID = Document()->SymbolTable().Add(StringToUtf8(Value));
}

std::string_view TXmlDocType::ExternalIDUtf8() const { return Document()->SymbolTable().Text(FExternalID); }

std::string_view TXmlDtdElement::BodyUtf8() const {
    const auto* Body = ValueIndex() >= 0 ? dynamic_cast<const TXmlCharData*>(Nodes(ValueIndex())) : nullptr;
    return Body != nullptr ? Body->Text() : std::string_view();
}
