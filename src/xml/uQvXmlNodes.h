#pragma once
// Nodes of the XML document model: the base class, the text kinds and attributes. Names
// and texts live in the document's string table; a node holds their IDs. Text nodes keep
// their text escaped, with LF line ends, as it stands in a file.

#include <memory>
#include <string_view>
#include <vector>

#include "framework/uQvClasses.h"
#include "xml/uQvXmlPool.h"
#include "xml/uQvXmlTypes.h"

class TQvXmlDocument;
class TXmlNode;
class TXmlContainerNode;

using TXmlNodeList = std::vector<std::unique_ptr<TXmlNode>>;

// Frees a list of nodes and their subtrees without recursion, so trees of any depth go.
void XmlFreeNodes(TXmlNodeList& Nodes);

class TXmlNode : public TObject {
public:
    explicit TXmlNode(TQvXmlDocument* AOwner) : FOwner(AOwner) {}
    static void* operator new(size_t Size) { return XmlNodeAlloc(Size); }
    static void operator delete(void* Node, size_t Size) noexcept { XmlNodeFree(Node, Size); }

    virtual TXmlElementType ElementType() const = 0;
    String ElementTypeName() const;
    TQvXmlDocument* Document() const { return FOwner; }
    TXmlContainerNode* Parent() const { return FParent; }

    // Elements, attributes and document types have a name of their own; the other kinds
    // answer their type name ("xml", "xml-stylesheet" and "PI" for declarations, style
    // sheets and instructions) and refuse a new one with EQvXmlError "cannot set name on
    // this type of element".
    String Name() const { return Utf8ToString(NameUtf8()); }
    void SetName(const String& Value) { SetNameUtf8(StringToUtf8(Value)); }
    virtual std::string_view NameUtf8() const { return XmlElementTypeName(ElementType()); }
    virtual void SetNameUtf8(std::string_view Value);

    // The text with references resolved (and LF line ends in the document's style).
    virtual String Value() const = 0;
    virtual void SetValue(const String& Value) = 0;
    // Raises EConvertError when Value is no integer, the empty text included.
    int ValueAsInteger() const;
    void SetValueAsInteger(int Value);

    // The child list: attributes and the white space between them first (the direct
    // nodes), then the content. Kinds without a list have no children; adding to them
    // raises "cannot add node to this type of element", deleting "cannot manipulate nodes
    // in this type of element".
    virtual int NodeCount() const { return 0; }
    virtual TXmlNode* Nodes(int Index) const;
    virtual int DirectNodeCount() const { return 0; }
    // A new node of this node's kind named Name, appended as the last child.
    TXmlNode* NodeNew(const String& Name);
    // Takes Node over as the last child (an attribute as the last direct node) and returns
    // it. A node made for another document is refused with the failure "XML owner is not
    // assigned" and freed; the result is then nullptr.
    virtual TXmlNode* NodeAdd(std::unique_ptr<TXmlNode> Node);
    virtual void NodeDelete(int Index);

    // The first node of the subtree, in document order and attributes included, whose
    // Name (or FullPath, when Name begins with "/") equals Name ignoring case.
    TXmlNode* FindNode(const String& Name) const;
    // "/" + Name, after the parent's FullPath.
    String FullPath() const;

private:
    friend class TXmlContainerNode;
    friend void XmlFreeNodes(TXmlNodeList& Nodes);
    // The child list of kinds that have one.
    virtual TXmlNodeList* ChildList() { return nullptr; }

    TQvXmlDocument* FOwner;
    TXmlContainerNode* FParent = nullptr;
};

// Text as it stands in a file. Value resolves references; SetValue stores the text with
// LF line ends and the five markup characters escaped.
class TXmlCharData : public TXmlNode {
public:
    using TXmlNode::TXmlNode;
    TXmlElementType ElementType() const override { return xeCharData; }
    String Value() const override;
    void SetValue(const String& Value) override;

    int ValueID() const { return FValueID; }
    void SetValueID(int ID) { FValueID = ID; }
    // The stored text, and storing one as it is.
    std::string_view Text() const;
    void SetText(std::string_view Utf8);

private:
    int FValueID = 0;
};

class TXmlComment : public TXmlCharData {
public:
    using TXmlCharData::TXmlCharData;
    TXmlElementType ElementType() const override { return xeComment; }
};

// A CDATA section's text is literal: no references, nothing escaped.
class TXmlCData : public TXmlComment {
public:
    using TXmlComment::TXmlComment;
    TXmlElementType ElementType() const override { return xeCData; }
    String Value() const override;
    void SetValue(const String& Value) override;
};

// "<![INCLUDE[ ... ]]>" and its kin inside a document type, kept as written.
class TXmlConditionalSection : public TXmlComment {
public:
    using TXmlComment::TXmlComment;
    TXmlElementType ElementType() const override { return xeCondSection; }
};

// A processing instruction; its text is everything between "<?" and "?>".
class TXmlInstruction : public TXmlCharData {
public:
    using TXmlCharData::TXmlCharData;
    TXmlElementType ElementType() const override { return xeInstruction; }
    std::string_view NameUtf8() const override { return "PI"; }
};

class TXmlWhiteSpace : public TXmlCharData {
public:
    using TXmlCharData::TXmlCharData;
    TXmlElementType ElementType() const override { return xeWhiteSpace; }
};

class TXmlQuotedText : public TXmlCharData {
public:
    using TXmlCharData::TXmlCharData;
    TXmlElementType ElementType() const override { return xeQuotedText; }
    TXmlQuoteCharStyle QuoteStyle() const { return FQuoteStyle; }
    void SetQuoteStyle(TXmlQuoteCharStyle Value) { FQuoteStyle = Value; }
    char QuoteChar() const { return FQuoteStyle == qsApos ? '\'' : '"'; }

private:
    TXmlQuoteCharStyle FQuoteStyle = qsQuote;
};

// name="value": the value is stored escaped, line ends as given, with its quote style.
class TXmlAttribute : public TXmlNode {
public:
    explicit TXmlAttribute(TQvXmlDocument* AOwner) : TXmlNode(AOwner), FCoreValue(AOwner) {}
    TXmlElementType ElementType() const override { return xeAttribute; }
    std::string_view NameUtf8() const override;
    void SetNameUtf8(std::string_view Value) override;
    String Value() const override;
    void SetValue(const String& Value) override;

    int NameID() const { return FNameID; }
    void SetNameID(int ID) { FNameID = ID; }
    TXmlQuotedText& CoreValue() { return FCoreValue; }
    const TXmlQuotedText& CoreValue() const { return FCoreValue; }

private:
    int FNameID = 0;
    TXmlQuotedText FCoreValue;
};
