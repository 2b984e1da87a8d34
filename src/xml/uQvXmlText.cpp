#include "xml/uQvXmlText.h"


namespace {

// Declared entities may add this much text to one resolution, plus four times the text's
// own length; references past it stay as written, so a small document cannot expand into
// gigabytes.
constexpr size_t EntityBudget = 1024 * 1024;

int DigitValue(char C, bool Hex) {
    if (C >= '0' && C <= '9') return C - '0';
    if (!Hex) return -1;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// The code of "#65" or "#x41", or -1 when it is no character reference of a valid code.
long CharacterCode(std::string_view Name) {
    if (Name.size() < 2 || Name[0] != '#') return -1;
    const bool Hex = Name[1] == 'x' || Name[1] == 'X';
    const std::string_view Digits = Name.substr(Hex ? 2 : 1);
    if (Digits.empty()) return -1;
    long Code = 0;
    for (char C : Digits) {
        const int D = DigitValue(C, Hex);
        if (D < 0) return -1;
        Code = Code * (Hex ? 16 : 10) + D;
        if (Code > 0x10FFFF) return -1;  // also keeps long digit strings from overflowing
    }
    if (Code == 0 || (Code >= 0xD800 && Code <= 0xDFFF)) return -1;
    return Code;
}

std::optional<std::string_view> Predefined(std::string_view Name) {
    if (Name == "amp") return "&";
    if (Name == "lt") return "<";
    if (Name == "gt") return ">";
    if (Name == "quot") return "\"";
    if (Name == "apos") return "'";
    return std::nullopt;
}

}  // namespace

std::string XmlEscape(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (char C : Text) {
        switch (C) {
            case '&':
                Out += "&amp;";
                break;
            case '<':
                Out += "&lt;";
                break;
            case '>':
                Out += "&gt;";
                break;
            case '"':
                Out += "&quot;";
                break;
            case '\'':
                Out += "&apos;";
                break;
            default:
                Out += C;
        }
    }
    return Out;
}

std::string XmlNormaliseEol(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (size_t Cr; (Cr = Text.find('\r')) != std::string_view::npos;) {
        Out += Text.substr(0, Cr);
        Out += '\n';
        Text.remove_prefix(Cr + (Cr + 1 < Text.size() && Text[Cr + 1] == '\n' ? 2 : 1));
    }
    Out += Text;
    return Out;
}

void XmlAppendLfToEol(std::string& Out, std::string_view Text, std::string_view Eol) {
    if (Eol == "\n") {
        Out += Text;
        return;
    }
    for (size_t Lf; (Lf = Text.find('\n')) != std::string_view::npos; Text.remove_prefix(Lf + 1)) {
        Out += Text.substr(0, Lf);
        Out += Eol;
    }
    Out += Text;
}

std::string XmlLfToEol(std::string_view Text, std::string_view Eol) {
    std::string Out;
    XmlAppendLfToEol(Out, Text, Eol);
    return Out;
}

void XmlAppendUtf8(std::string& Out, char32_t Code) {
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | Code >> 6);
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | Code >> 12);
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | Code >> 18);
        Out += static_cast<char>(0x80 | (Code >> 12 & 0x3F));
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

std::string XmlResolveReferences(std::string_view Text, const TXmlEntityLookup& Lookup) {
    if (Text.find('&') == std::string_view::npos) return std::string(Text);
    std::string Out;
    Out.reserve(Text.size());
    size_t Budget = EntityBudget + 4 * Text.size();
    size_t I = 0;
    while (I < Text.size()) {
        const size_t Amp = Text.find('&', I);
        if (Amp == std::string_view::npos) break;
        Out += Text.substr(I, Amp - I);
        // The reference runs to the first ";" unless another "&" comes first.
        size_t End = Amp + 1;
        while (End < Text.size() && Text[End] != ';' && Text[End] != '&') ++End;
        if (End == Text.size() || Text[End] != ';') {
            Out += Text.substr(Amp, End - Amp);
            I = End;
            continue;
        }
        const std::string_view Name = Text.substr(Amp + 1, End - Amp - 1);
        I = End + 1;
        if (const long Code = CharacterCode(Name); Code > 0) {
            XmlAppendUtf8(Out, static_cast<char32_t>(Code));
        } else if (const auto Fixed = Predefined(Name)) {
            Out += *Fixed;
        } else if (const auto Declared = Lookup ? Lookup(Name) : std::nullopt;
                   Declared && Declared->size() <= Budget) {
            Out += *Declared;
            Budget -= Declared->size();
        } else {
            Out += Text.substr(Amp, I - Amp);
        }
    }
    if (I < Text.size()) Out += Text.substr(I);
    return Out;
}
