#pragma once
// Encodings of XML streams: recognising one from the first bytes, decoding to the UTF-8
// with LF line ends the parser works on, and encoding the writer's UTF-8 for a stream.

#include <optional>
#include <string>
#include <string_view>

#include "xml/uQvXmlTypes.h"

struct TXmlSignature {
    TXmlStringEncoding Encoding;
    int Length;  // bytes of the signature
    bool IsBOM;  // a byte order mark, not the start of the text
};

// The first signature of the autodetection table of XML that starts Head.
std::optional<TXmlSignature> XmlDetectSignature(std::string_view Head);
// Whether the parser and the writer handle the encoding (ANSI, UTF-8, UTF-16).
bool XmlEncodingSupported(TXmlStringEncoding Encoding);

// Bytes of a supported encoding as UTF-8 with LF line ends (CR LF and lone CR become LF).
// ANSI with code page 0 or 65001 is UTF-8 already; other code pages are converted.
std::string XmlDecode(std::string_view Bytes, TXmlStringEncoding Encoding, int CodePage);
// How many bytes of 8-bit data decode into the first Decoded bytes of XmlDecode(Data,
// seUTF8, 0), that is with its line ends counted as one byte each.
size_t XmlUndecodedLength(std::string_view Data, size_t Decoded);

// UTF-8 text as the bytes of a supported encoding (UTF-16 after its byte order mark).
// Returns false when some character had no equivalent in the code page and was replaced.
bool XmlEncode(std::string Utf8, TXmlStringEncoding Encoding, int CodePage, std::string& Out);
