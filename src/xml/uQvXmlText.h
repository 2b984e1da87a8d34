#pragma once
// Text rules of the document model on UTF-8: escaping of the five markup characters, line
// ends, and the resolution of character and entity references.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// "&", "<", ">", '"' and "'" as "&amp;", "&lt;", "&gt;", "&quot;" and "&apos;".
std::string XmlEscape(std::string_view Text);
// CR LF and lone CR become LF.
std::string XmlNormaliseEol(std::string_view Text);
// Every LF becomes Eol.
std::string XmlLfToEol(std::string_view Text, std::string_view Eol);
void XmlAppendLfToEol(std::string& Out, std::string_view Text, std::string_view Eol);
// Appends the UTF-8 form of a code point.
void XmlAppendUtf8(std::string& Out, char32_t Code);

// The replacement text of a named entity, or nothing when it is not declared.
using TXmlEntityLookup = std::function<std::optional<std::string>(std::string_view Name)>;

// Resolves "&name;" references: the five predefined names, "&#" decimal and "&#x"
// hexadecimal codes of 1..0x10FFFF other than surrogates, and declared entities (through
// Lookup, which may be empty). A reference is an "&" with a ";" before the next "&";
// anything else, and every reference that does not resolve, is kept as written.
std::string XmlResolveReferences(std::string_view Text, const TXmlEntityLookup& Lookup);
