#include "xml/uQvXmlEncoding.h"

#include <utility>


#include "platform/uQvCodePages.h"
#include "xml/uQvXmlText.h"

namespace {

struct TSignatureRow {
    std::string_view Bytes;
    TXmlStringEncoding Encoding;
    bool IsBOM;
};

using namespace std::string_view_literals;

// In the order of the table: the first match over its whole length wins.
const TSignatureRow Signatures[] = {
    {"\x3C\x3F\x78\x6D"sv, seAnsi, false},      {"\xEF\xBB\xBF"sv, seUTF8, true},
    {"\x00\x00\xFE\xFF"sv, seUTF32BE, true},    {"\xFF\xFE\x00\x00"sv, seUTF32LE, true},
    {"\x00\x00\xFF\xFE"sv, seUCS4_2143, true},  {"\xFE\xFF\x00\x00"sv, seUCS4_3412, true},
    {"\xFE\xFF"sv, seUTF16BE, true},            {"\xFF\xFE"sv, seUTF16LE, true},
    {"\x00\x00\x00\x3C"sv, seUTF32BE, false},   {"\x3C\x00\x00\x00"sv, seUTF32LE, false},
    {"\x00\x00\x3C\x00"sv, seUCS4_2143, false}, {"\x00\x3C\x00\x00"sv, seUCS4_3412, false},
    {"\x00\x3C\x00\x3F"sv, seUTF16BE, false},   {"\x3C\x00\x3F\x00"sv, seUTF16LE, false},
    {"\x4C\x6F\xA7\x94"sv, seEBCDIC, false},
};

bool IsUtf8(TXmlStringEncoding Encoding, int CodePage) {
    return Encoding == seUTF8 || (Encoding == seAnsi && (CodePage == 0 || CodePage == 65001));
}

}  // namespace

std::optional<TXmlSignature> XmlDetectSignature(std::string_view Head) {
    for (const TSignatureRow& Row : Signatures)
        if (Head.starts_with(Row.Bytes)) return TXmlSignature{Row.Encoding, static_cast<int>(Row.Bytes.size()), Row.IsBOM};
    return std::nullopt;
}

bool XmlEncodingSupported(TXmlStringEncoding Encoding) {
    return Encoding == seAnsi || Encoding == seUTF8 || Encoding == seUTF16BE || Encoding == seUTF16LE;
}

std::string XmlDecode(std::string_view Bytes, TXmlStringEncoding Encoding, int CodePage) {
    if (IsUtf8(Encoding, CodePage)) return XmlNormaliseEol(Bytes);
    if (Encoding == seAnsi) return XmlNormaliseEol(StringToUtf8(CodePageToString(Bytes, CodePage)));
    // UTF-16; an odd last byte is no character and is left out.
    const bool BigEndian = Encoding == seUTF16BE;
    String Units(Bytes.size() / 2, u'\0');
    for (size_t I = 0; I < Units.size(); ++I) {
        const auto Hi = static_cast<uint8_t>(Bytes[2 * I + (BigEndian ? 0 : 1)]);
        const auto Lo = static_cast<uint8_t>(Bytes[2 * I + (BigEndian ? 1 : 0)]);
        Units[I] = static_cast<char16_t>(Hi << 8 | Lo);
    }
    return XmlNormaliseEol(StringToUtf8(Units));
}

size_t XmlUndecodedLength(std::string_view Data, size_t Decoded) {
    size_t I = 0;
    for (size_t Out = 0; Out < Decoded && I < Data.size(); ++Out)
        I += Data[I] == '\r' && I + 1 < Data.size() && Data[I + 1] == '\n' ? 2 : 1;
    return I;
}

bool XmlEncode(std::string Utf8, TXmlStringEncoding Encoding, int CodePage, std::string& Out) {
    if (IsUtf8(Encoding, CodePage)) {
        Out = std::move(Utf8);
        return true;
    }
    const String Text = Utf8ToString(Utf8);
    if (Encoding == seAnsi) {
        Out = StringToCodePage(Text, CodePage);
        return CodePageToString(Out, CodePage) == Text;
    }
    const bool BigEndian = Encoding == seUTF16BE;
    Out.clear();
    Out.reserve(2 + Text.size() * 2);
    auto Put = [&](char16_t U) {
        Out += static_cast<char>(BigEndian ? U >> 8 : U & 0xFF);
        Out += static_cast<char>(BigEndian ? U & 0xFF : U >> 8);
    };
    Put(u'\xFEFF');
    for (char16_t U : Text) Put(U);
    return true;
}
