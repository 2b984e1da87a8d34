#pragma once
// Nodes with children: elements, declarations, document types and the declarations of a
// document type. Trees of any depth are freed without recursion.

#include <memory>

#include "xml/uQvXmlNodes.h"

class TXmlAttribute;

class TXmlContainerNode : public TXmlNode {
public:
    using TXmlNode::TXmlNode;
    ~TXmlContainerNode() override;

    // The text of the value node (the first text of the content), or empty.
    String Value() const override;
    // Empty text removes the value node; other text replaces its text or goes into a new
    // text node right after the direct nodes.
    void SetValue(const String& Value) override;

    int NodeCount() const override { return static_cast<int>(FNodes.size()); }
    TXmlNode* Nodes(int Index) const override;
    int DirectNodeCount() const override { return FDirectNodeCount; }
    TXmlNode* NodeAdd(std::unique_ptr<TXmlNode> Node) override;
    void NodeDelete(int Index) override;
    // Inserts Node as child Index (0..NodeCount); an attribute must go among the direct
    // nodes and other nodes after them, else EListError.
    TXmlNode* NodeInsert(int Index, std::unique_ptr<TXmlNode> Node);

    TXmlAttribute* AttributeAdd(const String& Name, const String& Value);
    TXmlAttribute* AttributeByName(const String& Name) const;
    int AttributeCount() const;
    TXmlAttribute* Attributes(int Index) const;

    // The index in the child list of the value node, -1 when there is none.
    int ValueIndex() const { return FValueIndex; }
    void SetValueIndex(int Index) { FValueIndex = Index; }
    // ncClose when read from an empty-element tag, ncFull when closed by an end tag.
    TXmlNodeClosingStyle NodeClosingStyle() const { return FNodeClosingStyle; }
    void SetNodeClosingStyle(TXmlNodeClosingStyle Value) { FNodeClosingStyle = Value; }
    const TXmlNodeList& NodeList() const { return FNodes; }

    // Building without checks, for the parser: a direct node (attribute or the white space
    // between attributes), or content appended at the end (its index is returned).
    void AddDirect(std::unique_ptr<TXmlNode> Node);
    int AddContent(std::unique_ptr<TXmlNode> Node);

private:
    TXmlNodeList* ChildList() override { return &FNodes; }
    TXmlNode* Insert(size_t Index, std::unique_ptr<TXmlNode> Node);

    TXmlNodeList FNodes;
    int FDirectNodeCount = 0;
    int FValueIndex = -1;
    TXmlNodeClosingStyle FNodeClosingStyle = ncClose;
};

class TXmlElement : public TXmlContainerNode {
public:
    using TXmlContainerNode::TXmlContainerNode;
    TXmlElementType ElementType() const override { return xeElement; }
    std::string_view NameUtf8() const override;
    void SetNameUtf8(std::string_view Value) override;
    int NameID() const { return FNameID; }
    void SetNameID(int ID) { FNameID = ID; }

private:
    int FNameID = 0;
};

// <?xml version="1.0" encoding="utf-8"?>: its attributes are its content.
class TXmlDeclaration : public TXmlContainerNode {
public:
    using TXmlContainerNode::TXmlContainerNode;
    TXmlElementType ElementType() const override { return xeDeclaration; }
    std::string_view NameUtf8() const override { return "xml"; }
    // The value of the "encoding" attribute, empty without one.
    String Encoding() const;
};

class TXmlStyleSheet : public TXmlDeclaration {
public:
    using TXmlDeclaration::TXmlDeclaration;
    TXmlElementType ElementType() const override { return xeStylesheet; }
    std::string_view NameUtf8() const override { return "xml-stylesheet"; }
};

// <!DOCTYPE name external-id [internal subset]>: the subset's declarations, comments,
// instructions and white space are its children.
class TXmlDocType : public TXmlContainerNode {
public:
    using TXmlContainerNode::TXmlContainerNode;
    TXmlElementType ElementType() const override { return xeDocType; }
    std::string_view NameUtf8() const override;
    void SetNameUtf8(std::string_view Value) override;
    int NameID() const { return FNameID; }
    void SetNameID(int ID) { FNameID = ID; }
    // "SYSTEM \"file.dtd\"", "PUBLIC ...", as written; empty without one.
    String ExternalID() const;
    void SetExternalID(const String& Value);
    std::string_view ExternalIDUtf8() const;

private:
    int FNameID = 0;
    int FExternalID = 0;
};

// <!ELEMENT name body>; the body, as written, is the value node's text.
class TXmlDtdElement : public TXmlElement {
public:
    using TXmlElement::TXmlElement;
    TXmlElementType ElementType() const override { return xeDtdElement; }
    // The body as written ("(#PCDATA)", "\"text\"", "SYSTEM \"file\"").
    std::string_view BodyUtf8() const;
};

class TXmlDtdAttList : public TXmlDtdElement {
public:
    using TXmlDtdElement::TXmlDtdElement;
    TXmlElementType ElementType() const override { return xeDtdAttList; }
};

// A parameter entity is named "% name".
class TXmlDtdEntity : public TXmlDtdElement {
public:
    using TXmlDtdElement::TXmlDtdElement;
    TXmlElementType ElementType() const override { return xeDtdEntity; }
};

class TXmlDtdNotation : public TXmlDtdElement {
public:
    using TXmlDtdElement::TXmlDtdElement;
    TXmlElementType ElementType() const override { return xeDtdNotation; }
};

// A new node of a kind that has a class; nullptr for xeEndTag and xeError.
std::unique_ptr<TXmlNode> XmlNewNode(TXmlElementType Type, TQvXmlDocument* Owner);
