#pragma once
// The parser behind TQvXmlDocument::LoadFromStream. It works without recursion, so any
// depth of nesting only costs memory.

#include <string_view>

class TQvXmlDocument;

// Reads Bytes, a whole stream, into Doc, whose tree and string table are empty: detects
// and decodes the encoding, builds the nodes and reports what it finds wrong.
void XmlParse(TQvXmlDocument& Doc, std::string_view Bytes);
