#pragma once
// The vocabulary of the XML document model: node kinds, encodings, output styles, the
// styles of diagnostics and the model's error.

#include <cstdint>
#include <string_view>

#include "platform/uQvBase.h"

enum TXmlElementType {
    xeElement,
    xeAttribute,
    xeCharData,
    xeComment,
    xeCData,
    xeCondSection,
    xeDeclaration,
    xeStylesheet,
    xeDocType,
    xeDtdElement,
    xeDtdAttList,
    xeDtdEntity,
    xeDtdNotation,
    xeInstruction,
    xeWhiteSpace,
    xeQuotedText,
    xeEndTag,
    xeError,
};

enum TXmlStringEncoding {
    seAnsi,
    seUTF8,
    seUTF16BE,
    seUTF16LE,
    seUTF32BE,
    seUTF32LE,
    seUCS4_2143,
    seUCS4_3412,
    seEBCDIC,
};

enum TXmlEolStyle { esLF, esCRLF, esCR };
enum TXmlFormatType { xfCompact, xfReadable, xfPreserve };
enum TXmlNodeClosingStyle { ncDefault, ncFull, ncClose };
enum TXmlQuoteCharStyle { qsQuote, qsApos };
enum TXmlWarnStyle { wsInfo, wsHint, wsWarn, wsFail };

// The byte order mark found at the start of a stream.
struct TXmlBomInfo {
    uint8_t BOM[4] = {0, 0, 0, 0};
    int Len = 0;
    TXmlStringEncoding Encoding = seUTF8;
    bool HasBOM = false;
};

// Errors the node operations raise ("cannot set name on this type of element", ...).
class EQvXmlError : public EQvError {
public:
    using EQvError::EQvError;
};

// "Element", "Attribute", "CharData", ... ("ConditionalSection" for xeCondSection).
std::string_view XmlElementTypeName(TXmlElementType Type);
// "ANSI", "UTF-8", "UTF-16BE", ... as diagnostics name the encodings.
std::string_view XmlEncodingName(TXmlStringEncoding Encoding);
// The end-of-line sequence of a style: "\n", "\r\n" or "\r".
std::string_view XmlEolText(TXmlEolStyle Style);
