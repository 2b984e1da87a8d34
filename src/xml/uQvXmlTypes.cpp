#include "xml/uQvXmlTypes.h"

std::string_view XmlElementTypeName(TXmlElementType Type) {
    static constexpr std::string_view Names[] = {
        "Element",     "Attribute",   "CharData",   "Comment",    "CData",      "ConditionalSection",
        "Declaration", "Stylesheet",  "DocType",    "DtdElement", "DtdAttList", "DtdEntity",
        "DtdNotation", "Instruction", "WhiteSpace", "QuotedText", "EndTag",     "Error",
    };
    return Names[Type];
}

std::string_view XmlEncodingName(TXmlStringEncoding Encoding) {
    static constexpr std::string_view Names[] = {
        "ANSI", "UTF-8", "UTF-16BE", "UTF-16LE", "UTF-32BE", "UTF-32LE", "UCS-4 (2143)", "UCS-4 (3412)", "EBCDIC",
    };
    return Names[Encoding];
}

std::string_view XmlEolText(TXmlEolStyle Style) {
    switch (Style) {
        case esLF:
            return "\n";
        case esCR:
            return "\r";
        case esCRLF:
            break;
    }
    return "\r\n";
}
