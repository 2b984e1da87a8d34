#include "xml/uQvXmlDocument.h"

#include <algorithm>
#include <utility>

#include "platform/uQvFiles.h"
#include "xml/uQvXmlCharsets.h"
#include "xml/uQvXmlEncoding.h"
#include "xml/uQvXmlParser.h"
#include "xml/uQvXmlText.h"
#include "xml/uQvXmlWriter.h"

TQvXmlDocument::TQvXmlDocument(TComponent* AOwner) : TDebugComponent(AOwner) { Clear(); }

TQvXmlDocument::~TQvXmlDocument() { XmlFreeNodes(FRootNodes); }

void TQvXmlDocument::Reset() {
    XmlFreeNodes(FRootNodes);
    FSymbolTable.Clear();
}

void TQvXmlDocument::Clear() {
    Reset();
    FExternalEncoding = seUTF8;
    FExternalCodePage = 0;
    FExternalBomInfo = TXmlBomInfo();
    if (FHasDeclaration) {
        auto Declaration = std::make_unique<TXmlDeclaration>(this);
        Declaration->AttributeAdd(u"version", u"1.0");
        Declaration->AttributeAdd(u"encoding", u"utf-8");
        RootNodeAdd(std::move(Declaration));
    }
    if (FHasDocType) {
        auto DocType = std::make_unique<TXmlDocType>(this);
        DocType->SetNameUtf8(FRootName);
        DocType->SetExternalID(u"SYSTEM");
        RootNodeAdd(std::move(DocType));
    }
    if (FHasRoot) {
        auto Root = std::make_unique<TXmlElement>(this);
        Root->SetNameUtf8(FRootName);
        RootNodeAdd(std::move(Root));
    }
}

void TQvXmlDocument::New() {
    FHasDeclaration = true;
    Clear();
}

TXmlElement* TQvXmlDocument::Root() const {
    for (const auto& Node : FRootNodes)
        if (Node->ElementType() == xeElement) return static_cast<TXmlElement*>(Node.get());
    return nullptr;
}

TXmlNode* TQvXmlDocument::RootNodes(int Index) const {
    if (Index < 0 || Index >= RootNodeCount()) RaiseListIndexError(Index);
    return FRootNodes[static_cast<size_t>(Index)].get();
}

TXmlNode* TQvXmlDocument::RootNodeAdd(std::unique_ptr<TXmlNode> Node) {
    if (!Node) return nullptr;
    if (Node->Document() != this) {
        Report(wsFail, u"XML owner is not assigned", {});
        return nullptr;
    }
    FRootNodes.push_back(std::move(Node));
    return FRootNodes.back().get();
}

void TQvXmlDocument::RootNodeDelete(int Index) {
    if (Index < 0 || Index >= RootNodeCount()) RaiseListIndexError(Index);
    TXmlNodeList Gone;
    Gone.push_back(std::move(FRootNodes[static_cast<size_t>(Index)]));
    FRootNodes.erase(FRootNodes.begin() + Index);
    XmlFreeNodes(Gone);
}

void TQvXmlDocument::LoadFromStream(TStream& Stream) {
    Reset();
    FAbortParsing = false;
    // A memory stream is read where it lies; other streams are read whole first.
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream)) {
        const int64_t Start = std::min(Memory->Position(), Memory->Size());
        Memory->Seek(0, soEnd);
        XmlParse(*this, Memory->Bytes().substr(static_cast<size_t>(Start)));
        return;
    }
    std::string Bytes;
    const int64_t Expected = Stream.Remaining();
    if (Expected > 0) Bytes.reserve(static_cast<size_t>(Expected));
    char Buffer[64 * 1024];
    for (int64_t N; (N = Stream.Read(Buffer, sizeof Buffer)) > 0;) Bytes.append(Buffer, static_cast<size_t>(N));
    XmlParse(*this, Bytes);
}

void TQvXmlDocument::LoadFromFile(const String& FileName) {
    TFileStream Stream(FileName, fmOpenRead);
    LoadFromStream(Stream);
}

namespace {

// The bytes a save writes, or nothing when the encoding cannot be written.
std::optional<std::string> Encoded(const TQvXmlDocument& Doc) {
    if (Doc.ParserWarnings() && Doc.Root() == nullptr) throw EQvXmlError("XML root element not defined.");
    const TXmlStringEncoding Encoding = Doc.ExternalEncoding();
    if (!XmlEncodingSupported(Encoding)) {
        Doc.Report(wsFail, u"unsupported encoding (%s)", {Utf8ToString(XmlEncodingName(Encoding))});
        return std::nullopt;
    }
    if (Doc.RootNodeCount() > 0 && Doc.RootNodes(0)->ElementType() == xeDeclaration) {
        const String Name = static_cast<const TXmlDeclaration*>(Doc.RootNodes(0))->Encoding();
        Doc.Report(wsInfo, u"writing declaration with encoding \"%s\" and codepage %d",
                   {Name, XmlCharsetCodePage(StringToUtf8(Name))});
    }
    std::string Bytes;
    if (!XmlEncode(XmlWriteDocument(Doc), Encoding, Doc.ExternalCodePage(), Bytes))
        Doc.Report(wsWarn, u"default char used for codepage substitution", {});
    return Bytes;
}

}  // namespace

void TQvXmlDocument::SaveToStream(TStream& Stream) {
    if (const std::optional<std::string> Bytes = Encoded(*this))
        Stream.WriteBuffer(Bytes->data(), static_cast<int64_t>(Bytes->size()));
}

void TQvXmlDocument::SaveToFile(const String& FileName) {
    const std::optional<std::string> Bytes = Encoded(*this);
    if (!Bytes) return;
    if (const TQvFileResult R = WriteFileAtomic(FileName, *Bytes, 0666); !R)
        throw EFCreateError(u"Cannot create file \"" + FileName + u"\". " + R.Reason());
}

std::optional<std::string> TQvXmlDocument::EntityReplacement(std::string_view Name) const {
    for (const auto& Node : FRootNodes) {
        if (Node->ElementType() != xeDocType) continue;
        for (const auto& Child : static_cast<const TXmlDocType&>(*Node).NodeList()) {
            if (Child->ElementType() != xeDtdEntity || Child->NameUtf8() != Name) continue;
            // Only internal entities, "<!ENTITY name "text">", have a replacement here; its
            // character references count, other entities in it are kept as written.
            const std::string_view Body = static_cast<const TXmlDtdEntity&>(*Child).BodyUtf8();
            if (Body.empty() || (Body[0] != '"' && Body[0] != '\'')) return std::nullopt;
            const size_t End = Body.find(Body[0], 1);
            if (End == std::string_view::npos) return std::nullopt;
            return XmlResolveReferences(Body.substr(1, End - 1), {});
        }
    }
    return std::nullopt;
}

void TQvXmlDocument::Report(TXmlWarnStyle Style, std::u16string_view Format,
                            std::initializer_list<TFormatArg> Args) const {
    if (!HasDebugHandler()) return;
    DoDebugOut(const_cast<TQvXmlDocument*>(this), Style, ::Format(Format, Args));
}
