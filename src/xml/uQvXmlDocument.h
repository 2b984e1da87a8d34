#pragma once
// The XML document: a list of root nodes (declaration, document type, comments,
// instructions, text outside tags and the root element) over one string table, read from
// and written to streams and files with its options of format, line ends and encoding.

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "framework/uQvStreams.h"
#include "platform/uQvStrUtils.h"
#include "xml/uQvDebugComponent.h"
#include "xml/uQvXmlElements.h"
#include "xml/uQvXmlSymbols.h"

using TXmlNodeEvent = std::function<void(TObject* Sender, TXmlNode* Node)>;

class TQvXmlDocument : public TDebugComponent {
public:
    // A document whose root list holds one element without a name.
    explicit TQvXmlDocument(TComponent* AOwner);
    ~TQvXmlDocument() override;

    // Empties the string table and the root list, then adds what HasDeclaration,
    // HasDocType and HasRoot ask for: a declaration (version "1.0", encoding "utf-8"), a
    // document type named RootName ("SYSTEM") and a root element named RootName. A
    // document built anew is written as UTF-8, as its declaration says.
    void Clear();
    // HasDeclaration := true, then Clear.
    void New();

    // The first element of the root list, or nullptr.
    TXmlElement* Root() const;
    int RootNodeCount() const { return static_cast<int>(FRootNodes.size()); }
    TXmlNode* RootNodes(int Index) const;
    // Takes Node over as the last root node (refused as TXmlNode::NodeAdd refuses).
    TXmlNode* RootNodeAdd(std::unique_ptr<TXmlNode> Node);
    void RootNodeDelete(int Index);

    // Reads the rest of the stream, replacing the whole tree; problems go to OnDebugOut
    // and the tree keeps what was read. Afterwards ExternalEncoding, ExternalCodePage and
    // ExternalBomInfo describe the stream.
    void LoadFromStream(TStream& Stream);
    // Raises EFOpenError when the file cannot be opened.
    void LoadFromFile(const String& FileName);
    // Writes the tree in ExternalEncoding (UTF-16 with its byte order mark, the others
    // without); an encoding that cannot be written gives the failure "unsupported encoding
    // (%s)" and writes nothing.
    void SaveToStream(TStream& Stream);
    // Writes beside the file and renames over it, so a failed save keeps the old file;
    // raises EFCreateError when it cannot be written.
    void SaveToFile(const String& FileName);

    bool AbortParsing() const { return FAbortParsing; }
    // Set from an OnNodeNew or OnNodeLoaded handler, stops the parse after that node.
    void SetAbortParsing(bool Value) { FAbortParsing = Value; }
    String DirectCloseTag() const { return Utf8ToString(FDirectCloseTag); }
    void SetDirectCloseTag(const String& Value) { FDirectCloseTag = StringToUtf8(Value); }
    bool DropCommentsOnParse() const { return FDropCommentsOnParse; }
    void SetDropCommentsOnParse(bool Value) { FDropCommentsOnParse = Value; }
    TXmlEolStyle EolStyle() const { return FEolStyle; }
    void SetEolStyle(TXmlEolStyle Value) { FEolStyle = Value; }
    const TXmlBomInfo& ExternalBomInfo() const { return FExternalBomInfo; }
    void SetExternalBomInfo(const TXmlBomInfo& Value) { FExternalBomInfo = Value; }
    int ExternalCodePage() const { return FExternalCodePage; }
    void SetExternalCodePage(int Value) { FExternalCodePage = Value; }
    TXmlStringEncoding ExternalEncoding() const { return FExternalEncoding; }
    void SetExternalEncoding(TXmlStringEncoding Value) { FExternalEncoding = Value; }
    // With it, an end tag that names an open element further out closes every element up
    // to that one (within 256 levels) instead of only the innermost.
    bool FixStructuralErrors() const { return FFixStructuralErrors; }
    void SetFixStructuralErrors(bool Value) { FFixStructuralErrors = Value; }
    bool HasDeclaration() const { return FHasDeclaration; }
    void SetHasDeclaration(bool Value) { FHasDeclaration = Value; }
    bool HasDocType() const { return FHasDocType; }
    void SetHasDocType(bool Value) { FHasDocType = Value; }
    bool HasRoot() const { return FHasRoot; }
    void SetHasRoot(bool Value) { FHasRoot = Value; }
    String IndentString() const { return Utf8ToString(FIndentString); }
    void SetIndentString(const String& Value) { FIndentString = StringToUtf8(Value); }
    TXmlNodeClosingStyle NodeClosingStyle() const { return FNodeClosingStyle; }
    void SetNodeClosingStyle(TXmlNodeClosingStyle Value) { FNodeClosingStyle = Value; }
    // With it, saving a document without a root element raises EQvXmlError "XML root
    // element not defined.".
    bool ParserWarnings() const { return FParserWarnings; }
    void SetParserWarnings(bool Value) { FParserWarnings = Value; }
    String RootName() const { return Utf8ToString(FRootName); }
    void SetRootName(const String& Value) { FRootName = StringToUtf8(Value); }
    TXmlFormatType XmlFormat() const { return FXmlFormat; }
    void SetXmlFormat(TXmlFormatType Value) { FXmlFormat = Value; }
    bool PreserveWhiteSpace() const { return FXmlFormat == xfPreserve; }

    // Raised by the parser for every node but attributes and the white space between them:
    // OnNodeNew once the node is in the tree, OnNodeLoaded once it is complete. A handler
    // may delete the node it gets from OnNodeLoaded (and nodes loaded before), never an
    // element that is still open.
    TXmlNodeEvent OnNodeNew;
    TXmlNodeEvent OnNodeLoaded;

    // For the nodes, the parser and the writer.
    TQvXmlSymbolTable& SymbolTable() { return FSymbolTable; }
    const TQvXmlSymbolTable& SymbolTable() const { return FSymbolTable; }
    const TXmlNodeList& RootNodeList() const { return FRootNodes; }
    std::string_view EolText() const { return XmlEolText(FEolStyle); }
    std::string_view IndentUtf8() const { return FIndentString; }
    std::string_view DirectCloseTagUtf8() const { return FDirectCloseTag; }
    // The replacement text of a general entity declared in the document type.
    std::optional<std::string> EntityReplacement(std::string_view Name) const;
    // Formats and reports a diagnostic, when anyone listens.
    void Report(TXmlWarnStyle Style, std::u16string_view Format, std::initializer_list<TFormatArg> Args) const;

private:
    // Frees the tree and the string table.
    void Reset();

    TXmlNodeList FRootNodes;
    TQvXmlSymbolTable FSymbolTable;
    bool FAbortParsing = false;
    std::string FDirectCloseTag = "/>";
    bool FDropCommentsOnParse = false;
    TXmlEolStyle FEolStyle = esCRLF;
    TXmlBomInfo FExternalBomInfo;
    int FExternalCodePage = 0;
    TXmlStringEncoding FExternalEncoding = seUTF8;
    bool FFixStructuralErrors = false;
    bool FHasDeclaration = false;
    bool FHasDocType = false;
    bool FHasRoot = true;
    std::string FIndentString = "\t";
    TXmlNodeClosingStyle FNodeClosingStyle = ncClose;
    bool FParserWarnings = false;
    std::string FRootName;
    TXmlFormatType FXmlFormat = xfPreserve;
};
