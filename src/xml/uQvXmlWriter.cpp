#include "xml/uQvXmlWriter.h"

#include <string_view>
#include <vector>

#include "xml/uQvXmlDocument.h"
#include "xml/uQvXmlText.h"

namespace {

// The kinds written inside an element besides elements.
bool IsTextKind(TXmlElementType Type) {
    return Type == xeCharData || Type == xeWhiteSpace || Type == xeComment || Type == xeCData ||
           Type == xeInstruction;
}

std::string_view DtdKeyword(TXmlElementType Type) {
    switch (Type) {
        case xeDtdAttList:
            return "ATTLIST";
        case xeDtdEntity:
            return "ENTITY";
        case xeDtdNotation:
            return "NOTATION";
        default:
            return "ELEMENT";
    }
}

class TXmlWriter {
public:
    explicit TXmlWriter(const TQvXmlDocument& Doc)
        : FDoc(Doc),
          FReadable(Doc.XmlFormat() == xfReadable),
          FEol(Doc.EolText()),
          FIndent(Doc.IndentUtf8()),
          FCloseTag(Doc.DirectCloseTagUtf8()) {}

    std::string Run();

private:
    struct TFrame {
        const TXmlContainerNode* Node;
        size_t Next;  // the next child to write
        int Depth;
        bool HasElements;
    };

    void Indent(int Depth) {
        if (FReadable)
            for (int I = 0; I < Depth; ++I) FOut += FIndent;
    }
    void LineEnd() {
        if (FReadable) FOut += FEol;
    }
    void Text(std::string_view Stored) { XmlAppendLfToEol(FOut, Stored, FEol); }
    void Attributes(const TXmlContainerNode& Node);
    void TextNode(const TXmlCharData& Node);
    void Declaration(const TXmlDeclaration& Node);
    void DocType(const TXmlDocType& Node);
    void DtdNode(const TXmlDtdElement& Node);
    // Writes the start of an element and, when it has content, pushes it.
    void Open(const TXmlElement& Element, int Depth);
    void Element(const TXmlElement& Element, int Depth);

    const TQvXmlDocument& FDoc;
    const bool FReadable;
    const std::string_view FEol;
    const std::string_view FIndent;
    const std::string_view FCloseTag;
    std::vector<TFrame> FStack;
    std::string FOut;
};

void TXmlWriter::Attributes(const TXmlContainerNode& Node) {
    const TXmlNodeList& Nodes = Node.NodeList();
    for (size_t I = 0; I < static_cast<size_t>(Node.DirectNodeCount()); ++I) {
        const TXmlNode& N = *Nodes[I];
        if (N.ElementType() == xeWhiteSpace) {
            Text(static_cast<const TXmlCharData&>(N).Text());
        } else if (N.ElementType() == xeAttribute) {
            const auto& A = static_cast<const TXmlAttribute&>(N);
            // White space written before it takes the place of the separating space.
            if (I == 0 || Nodes[I - 1]->ElementType() != xeWhiteSpace) FOut += ' ';
            FOut += A.NameUtf8();
            FOut += '=';
            FOut += A.CoreValue().QuoteChar();
            FOut += A.CoreValue().Text();
            FOut += A.CoreValue().QuoteChar();
        }
    }
}

void TXmlWriter::TextNode(const TXmlCharData& Node) {
    switch (Node.ElementType()) {
        case xeComment:
            FOut += "<!--";
            Text(Node.Text());
            FOut += "-->";
            break;
        case xeCData:
            FOut += "<![CDATA[";
            Text(Node.Text());
            FOut += "]]>";
            break;
        case xeCondSection:
            FOut += "<![";
            Text(Node.Text());
            FOut += "]]>";
            break;
        case xeInstruction:
            FOut += "<?";
            Text(Node.Text());
            FOut += "?>";
            break;
        default:
            Text(Node.Text());
    }
}

void TXmlWriter::Declaration(const TXmlDeclaration& Node) {
    FOut += "<?";
    FOut += Node.NameUtf8();
    Attributes(Node);
    FOut += "?>";
    // Whatever the format: the parser takes one line end after a declaration again.
    FOut += FEol;
}

void TXmlWriter::DocType(const TXmlDocType& Node) {
    FOut += "<!DOCTYPE ";
    FOut += Node.NameUtf8();
    if (!Node.ExternalIDUtf8().empty()) {
        FOut += ' ';
        FOut += Node.ExternalIDUtf8();
    }
    if (Node.NodeCount() > 0) {
        FOut += " [";
        LineEnd();
        for (const auto& Child : Node.NodeList()) {
            Indent(1);
            if (const auto* Dtd = dynamic_cast<const TXmlDtdElement*>(Child.get()))
                DtdNode(*Dtd);
            else if (const auto* Chars = dynamic_cast<const TXmlCharData*>(Child.get()))
                TextNode(*Chars);
            LineEnd();
        }
        FOut += ']';
    }
    FOut += '>';
    LineEnd();
}

void TXmlWriter::DtdNode(const TXmlDtdElement& Node) {
    FOut += "<!";
    FOut += DtdKeyword(Node.ElementType());
    FOut += ' ';
    FOut += Node.NameUtf8();
    if (!Node.BodyUtf8().empty()) {
        FOut += ' ';
        Text(Node.BodyUtf8());
    }
    FOut += '>';
}

void TXmlWriter::Open(const TXmlElement& Element, int Depth) {
    Indent(Depth);
    FOut += '<';
    FOut += Element.NameUtf8();
    Attributes(Element);
    const TXmlNodeList& Nodes = Element.NodeList();
    const size_t First = static_cast<size_t>(Element.DirectNodeCount());
    const TXmlNodeClosingStyle Style =
        FDoc.NodeClosingStyle() != ncDefault ? FDoc.NodeClosingStyle() : Element.NodeClosingStyle();
    if (First == Nodes.size() && Style == ncClose) {
        FOut += FCloseTag;
        LineEnd();
        return;
    }
    FOut += '>';
    if (First < Nodes.size() && !IsTextKind(Nodes[First]->ElementType())) LineEnd();
    bool HasElements = false;
    for (size_t I = First; I < Nodes.size() && !HasElements; ++I) HasElements = Nodes[I]->ElementType() == xeElement;
    FStack.push_back({&Element, First, Depth, HasElements});
}

void TXmlWriter::Element(const TXmlElement& Root, int Depth) {
    Open(Root, Depth);
    while (!FStack.empty()) {
        TFrame& Frame = FStack.back();
        const TXmlNodeList& Nodes = Frame.Node->NodeList();
        if (Frame.Next == Nodes.size()) {
            if (Frame.HasElements) Indent(Frame.Depth);
            FOut += "</";
            FOut += Frame.Node->NameUtf8();
            FOut += '>';
            LineEnd();
            FStack.pop_back();
            continue;
        }
        const bool FirstPosition = Frame.Next == static_cast<size_t>(Frame.Node->DirectNodeCount());
        const TXmlNode& Child = *Nodes[Frame.Next++];
        const int ChildDepth = Frame.Depth + 1;
        const bool HasElements = Frame.HasElements;
        if (Child.ElementType() == xeElement) {
            Open(static_cast<const TXmlElement&>(Child), ChildDepth);  // may move Frame
        } else if (IsTextKind(Child.ElementType())) {
            if (HasElements && !FirstPosition) Indent(ChildDepth);
            TextNode(static_cast<const TXmlCharData&>(Child));
            if (HasElements) LineEnd();
        }
    }
}

std::string TXmlWriter::Run() {
    // Most of the output is stored text, written about once; markup adds a quarter.
    FOut.reserve(FDoc.SymbolTable().TextBytes() + FDoc.SymbolTable().TextBytes() / 4 + 256);
    for (const auto& Node : FDoc.RootNodeList()) {
        const TXmlElementType Type = Node->ElementType();
        if (Type == xeDeclaration || Type == xeStylesheet) {
            Declaration(static_cast<const TXmlDeclaration&>(*Node));
        } else if (Type == xeElement) {
            Element(static_cast<const TXmlElement&>(*Node), 0);
        } else if (Type == xeDocType) {
            DocType(static_cast<const TXmlDocType&>(*Node));
        } else if (const auto* Dtd = dynamic_cast<const TXmlDtdElement*>(Node.get())) {
            DtdNode(*Dtd);
            LineEnd();
        } else if (const auto* Chars = dynamic_cast<const TXmlCharData*>(Node.get())) {
            TextNode(*Chars);
            LineEnd();
        }
    }
    return std::move(FOut);
}

}  // namespace

std::string XmlWriteDocument(const TQvXmlDocument& Doc) { return TXmlWriter(Doc).Run(); }
