#pragma once
// The writer behind TQvXmlDocument::SaveToStream: the document as UTF-8 text, before it is
// encoded. It works without recursion, so any depth of nesting only costs memory.

#include <string>

class TQvXmlDocument;

std::string XmlWriteDocument(const TQvXmlDocument& Doc);
