#include "framework/uQvFormLexer.h"

#include "platform/uQvStrUtils.h"

namespace {

bool IsIdentStart(char16_t C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'_'; }
bool IsDigit(char16_t C) { return C >= u'0' && C <= u'9'; }

}  // namespace

TFormLexer::TFormLexer(std::u16string_view Text) : FText(Text) {
    if (!FText.empty() && FText[0] == u'\uFEFF') FPos = 1;
}

std::string TFormLexer::ReadBinary() {
    std::string Bytes;
    int Pending = -1;
    while (true) {
        if (FPos >= FText.size()) FormFail(FLine, u"'}' expected");
        const char16_t C = FText[FPos++];
        if (C == u'}') break;
        if (C == u'\n' || (C == u'\r' && (FPos >= FText.size() || FText[FPos] != u'\n'))) ++FLine;
        if (C <= u' ') continue;
        int D = -1;
        if (C >= u'0' && C <= u'9') D = C - u'0';
        if (C >= u'A' && C <= u'F') D = C - u'A' + 10;
        if (C >= u'a' && C <= u'f') D = C - u'a' + 10;
        if (D < 0) FormFail(FLine, u"Invalid binary value");
        if (Pending < 0) {
            Pending = D;
        } else {
            Bytes.push_back(static_cast<char>(Pending << 4 | D));
            Pending = -1;
        }
    }
    if (Pending >= 0) FormFail(FLine, u"Invalid binary value");
    return Bytes;
}

void TFormLexer::SkipBlanks() {
    while (FPos < FText.size() && FText[FPos] <= u' ') {
        const char16_t C = FText[FPos++];
        if (C == u'\n' || (C == u'\r' && (FPos >= FText.size() || FText[FPos] != u'\n'))) ++FLine;
    }
}

TFormToken TFormLexer::Scan() {
    SkipBlanks();
    TFormToken T;
    T.Line = FLine;
    if (FPos >= FText.size()) return T;
    const char16_t C = FText[FPos];
    if (IsIdentStart(C)) {
        T.Kind = TFormToken::tIdent;
        const size_t Start = FPos;
        while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]))) ++FPos;
        T.Text = String(FText.substr(Start, FPos - Start));
        return T;
    }
    const bool Signed = C == u'-' && FPos + 1 < FText.size() &&
                        (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == u'$' || FText[FPos + 1] == u'.');
    if (IsDigit(C) || C == u'$' || Signed) return ScanNumber(T);
    if (C == u'\'' || C == u'#') return ScanString(T);
    if (std::u16string_view(u"=:[](){}<>,.+").find(C) != std::u16string_view::npos) {
        T.Kind = TFormToken::tSymbol;
        T.Symbol = C;
        ++FPos;
        return T;
    }
    FormFail(FLine, Format(u"Invalid character (#%d)", {static_cast<int>(C)}));
}

TFormToken TFormLexer::ScanNumber(TFormToken& T) {
    const size_t Start = FPos;
    bool Negative = false;
    if (FText[FPos] == u'-') {
        Negative = true;
        ++FPos;
    }
    if (FPos < FText.size() && FText[FPos] == u'$') {
        ++FPos;
        const size_t Digits = FPos;
        while (FPos < FText.size() && (IsDigit(FText[FPos]) || (FText[FPos] >= u'a' && FText[FPos] <= u'f') ||
                                       (FText[FPos] >= u'A' && FText[FPos] <= u'F')))
            ++FPos;
        if (FPos == Digits) FormFail(FLine, u"Invalid number");
        // The range of a signed 64-bit integer, as for decimal numbers: $8000000000000000
        // and more would turn negative.
        const uint64_t Limit = Negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX};
        uint64_t V = 0;
        for (size_t I = Digits; I < FPos; ++I) {
            const char16_t C = FText[I];
            const uint64_t D = IsDigit(C) ? C - u'0' : (C | 0x20) - u'a' + 10;
            if (V > (Limit - D) / 16)
                FormFail(FLine, u"Integer value out of range: " + String(FText.substr(Start, FPos - Start)));
            V = V * 16 + D;
        }
        T.Kind = TFormToken::tInteger;
        T.Hex = true;
        T.Int = Negative ? static_cast<int64_t>(0 - V) : static_cast<int64_t>(V);
        return T;
    }
    bool IsFloat = false;
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    if (FPos < FText.size() && FText[FPos] == u'.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1])) {
        IsFloat = true;
        ++FPos;
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
        size_t P = FPos + 1;
        if (P < FText.size() && (FText[P] == u'+' || FText[P] == u'-')) ++P;
        if (P < FText.size() && IsDigit(FText[P])) {
            IsFloat = true;
            FPos = P;
            while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        }
    }
    const std::u16string_view Text = FText.substr(Start, FPos - Start);
    if (IsFloat) {
        T.Kind = TFormToken::tFloat;
        if (!TryStrToFloat(Text, T.Float)) FormFail(FLine, u"Invalid floating point value " + String(Text));
    } else {
        T.Kind = TFormToken::tInteger;
        if (!TryStrToInt64(Text, T.Int)) FormFail(FLine, u"Integer value out of range: " + String(Text));
    }
    return T;
}

TFormToken TFormLexer::ScanString(TFormToken& T) {
    T.Kind = TFormToken::tString;
    while (FPos < FText.size()) {
        const char16_t C = FText[FPos];
        if (C == u'\'') {
            ++FPos;
            while (true) {
                if (FPos >= FText.size() || FText[FPos] == u'\n' || FText[FPos] == u'\r')
                    FormFail(FLine, u"Unterminated string");
                const char16_t Q = FText[FPos++];
                if (Q == u'\'') {
                    if (FPos < FText.size() && FText[FPos] == u'\'') {
                        T.Text.push_back(u'\'');
                        ++FPos;
                        continue;
                    }
                    break;
                }
                T.Text.push_back(Q);
            }
        } else if (C == u'#') {
            ++FPos;
            uint32_t Code = 0;
            size_t Digits = 0;
            const bool Hex = FPos < FText.size() && FText[FPos] == u'$';
            if (Hex) ++FPos;
            while (FPos < FText.size() && Code <= 0xFFFF) {
                const char16_t D = FText[FPos];
                int V = -1;
                if (IsDigit(D)) V = D - u'0';
                if (Hex && ((D >= u'a' && D <= u'f') || (D >= u'A' && D <= u'F'))) V = (D | 0x20) - u'a' + 10;
                if (V < 0) break;
                Code = Code * (Hex ? 16 : 10) + static_cast<uint32_t>(V);
                ++Digits;
                ++FPos;
            }
            if (Digits == 0 || Code > 0xFFFF) FormFail(FLine, u"Invalid character code");
            T.Text.push_back(static_cast<char16_t>(Code));
        } else {
            break;
        }
    }
    return T;
}
