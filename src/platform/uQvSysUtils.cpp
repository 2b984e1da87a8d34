#include "platform/uQvSysUtils.h"

#include "platform/uQvCodePageNames.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <string>

namespace {

String Ascii(std::string_view S) { return String(S.begin(), S.end()); }

bool IsBlank(char16_t C) { return C == u' ' || C == u'\t'; }

int HexDigit(char16_t C) {
    if (C >= u'0' && C <= u'9') return C - u'0';
    if (C >= u'a' && C <= u'f') return C - u'a' + 10;
    if (C >= u'A' && C <= u'F') return C - u'A' + 10;
    return -1;
}

// Parses the integer grammar shared by the 32- and 64-bit forms. Hexadecimal may use the
// full unsigned width (HexLimit) and wraps into the signed type; decimal must fit Lo..Hi.
bool ParseInteger(std::u16string_view S, int64_t Lo, int64_t Hi, uint64_t HexLimit, int64_t& Out) {
    size_t I = 0;
    while (I < S.size() && IsBlank(S[I])) ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) Negative = S[I++] == u'-';
    bool Hex = false;
    if (I < S.size() && S[I] == u'$') {
        Hex = true;
        ++I;
    } else if (I + 1 < S.size() && S[I] == u'0' && (S[I + 1] == u'x' || S[I + 1] == u'X')) {
        Hex = true;
        I += 2;
    }
    if (I >= S.size()) return false;
    uint64_t Magnitude = 0;
    if (Hex) {
        for (; I < S.size(); ++I) {
            const int D = HexDigit(S[I]);
            if (D < 0) return false;
            Magnitude = Magnitude * 16 + static_cast<uint64_t>(D);
            if (Magnitude > HexLimit) return false;
        }
        // Wraps like a two's-complement value of the target width.
        int64_t Signed;
        if (HexLimit == std::numeric_limits<uint64_t>::max())
            Signed = static_cast<int64_t>(Magnitude);
        else
            Signed = static_cast<int32_t>(static_cast<uint32_t>(Magnitude));
        Out = Negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(Signed)) : Signed;
        if (HexLimit != std::numeric_limits<uint64_t>::max()) Out = static_cast<int32_t>(Out);
        return true;
    }
    const uint64_t Limit = Negative ? static_cast<uint64_t>(-(Lo + 1)) + 1 : static_cast<uint64_t>(Hi);
    for (; I < S.size(); ++I) {
        if (S[I] < u'0' || S[I] > u'9') return false;
        const uint64_t D = S[I] - u'0';
        if (Magnitude > (Limit - D) / 10) return false;
        Magnitude = Magnitude * 10 + D;
    }
    Out = Negative ? static_cast<int64_t>(0 - Magnitude) : static_cast<int64_t>(Magnitude);
    return true;
}

[[noreturn]] void RaiseInteger(std::u16string_view S) {
    throw EConvertError(u"'" + String(S) + u"' is not a valid integer value");
}

// The decimal digits of |Value| rounded to Significant digits (at most 17) and the decimal
// exponent of the first digit. snprintf rounds the exact binary value correctly.
void DecimalDigits(double Value, int Significant, std::string& Digits, int& Exponent) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.*e", Significant - 1, std::fabs(Value));
    Digits.clear();
    const char* P = Buf;
    for (; *P && *P != 'e'; ++P)
        if (*P >= '0' && *P <= '9') Digits.push_back(*P);
    Exponent = *P == 'e' ? std::atoi(P + 1) : 0;
}

// Rounds a digit string (value 0.d1d2... x 10^(Exponent+1)) so that Keep digits remain,
// halves away from zero; a carry may add a leading digit.
void RoundDigits(std::string& Digits, int& Exponent, int Keep) {
    if (Keep < 0) {
        Digits = "0";
        Exponent = 0;
        return;
    }
    if (static_cast<size_t>(Keep) >= Digits.size()) return;
    const bool Up = Digits[Keep] >= '5';
    Digits.resize(Keep);
    if (Up) {
        int I = Keep - 1;
        while (I >= 0 && Digits[I] == '9') Digits[I--] = '0';
        if (I >= 0) {
            ++Digits[I];
        } else {
            Digits.insert(Digits.begin(), '1');
            ++Exponent;
        }
    }
    if (Digits.empty()) {
        Digits = "0";
        Exponent = 0;
    }
}

// Fixed notation with Decimals digits after the point, from the 17-significant-digit
// expansion rounded half away from zero. Thousands inserts ',' every three digits.
std::string FixedText(double Value, int Decimals, bool Thousands) {
    std::string Digits;
    int Exponent;
    DecimalDigits(Value, 17, Digits, Exponent);
    if (Digits.find_first_not_of('0') == std::string::npos) {
        Digits = "0";
        Exponent = 0;
    }
    const int Keep = Exponent + 1 + Decimals;
    if (Keep <= 0) {
        // Everything lies below the last kept decimal: 0 or one unit of it.
        const bool Up = Keep == 0 && !Digits.empty() && Digits[0] >= '5';
        Digits = Up ? "1" : "0";
        Exponent = Up ? -Decimals : 0;
    } else {
        RoundDigits(Digits, Exponent, Keep);
    }
    std::string IntPart, Frac;
    for (int Pos = Exponent; Pos >= 0; --Pos) {
        const int Index = Exponent - Pos;
        IntPart.push_back(Index < static_cast<int>(Digits.size()) ? Digits[Index] : '0');
    }
    if (IntPart.empty()) IntPart = "0";
    for (int K = 1; K <= Decimals; ++K) {
        const int Index = Exponent + K;
        Frac.push_back(Index >= 0 && Index < static_cast<int>(Digits.size()) ? Digits[Index] : '0');
    }
    if (Thousands) {
        std::string Grouped;
        const int N = static_cast<int>(IntPart.size());
        for (int I = 0; I < N; ++I) {
            if (I > 0 && (N - I) % 3 == 0) Grouped.push_back(',');
            Grouped.push_back(IntPart[I]);
        }
        IntPart = Grouped;
    }
    const bool AllZero = IntPart.find_first_not_of("0,") == std::string::npos &&
                         Frac.find_first_not_of('0') == std::string::npos;
    std::string Result = (Value < 0 && !AllZero) ? "-" : "";
    Result += IntPart;
    if (Decimals > 0) Result += "." + Frac;
    return Result;
}

std::string NonFinite(double Value) {
    if (std::isnan(Value)) return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

// Scientific form "d.ddddE+ddd" with Precision significant digits.
std::string ScientificText(double Value, int Precision) {
    std::string Digits;
    int Exponent;
    DecimalDigits(Value, 17, Digits, Exponent);
    if (Digits.find_first_not_of('0') == std::string::npos) Exponent = 0;
    RoundDigits(Digits, Exponent, Precision);
    Digits.resize(Precision, '0');
    std::string Result = Value < 0 ? "-" : "";
    Result += Digits.substr(0, 1);
    if (Precision > 1) Result += "." + Digits.substr(1);
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "E%c%03d", Exponent < 0 ? '-' : '+', std::abs(Exponent));
    return Result + Buf;
}

// General form: Precision significant digits, trailing zeros dropped, exponent form
// outside 1e-5 <= |x| < 10^Precision.
std::string GeneralText(double Value, int Precision) {
    if (!std::isfinite(Value)) return NonFinite(Value);
    if (Value == 0) return "0";
    std::string Digits;
    int Exponent;
    DecimalDigits(Value, Precision, Digits, Exponent);
    while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
    std::string Result = Value < 0 ? "-" : "";
    if (Exponent >= -5 && Exponent < Precision) {
        if (Exponent < 0) {
            Result += "0." + std::string(-Exponent - 1, '0') + Digits;
        } else {
            std::string Int = Digits.substr(0, std::min<size_t>(Digits.size(), Exponent + 1));
            Int.resize(Exponent + 1, '0');
            Result += Int;
            if (Digits.size() > static_cast<size_t>(Exponent + 1)) Result += "." + Digits.substr(Exponent + 1);
        }
    } else {
        Result += Digits.substr(0, 1);
        if (Digits.size() > 1) Result += "." + Digits.substr(1);
        Result += "E" + std::to_string(Exponent);
    }
    return Result;
}

// Simple case mapping as runs of code points sharing one offset (stride 2 for the
// alternating upper/lower pairs of the Latin and Cyrillic blocks). Generated from the
// Unicode 14 character database.
struct TCaseRun {
    char32_t First, Last;
    int32_t Delta;
    int32_t Stride;
};

constexpr TCaseRun UpperRuns[] = {
    {0x0061, 0x007A, -32, 1}, {0x00B5, 0x00B5, 743, 1}, {0x00E0, 0x00F6, -32, 1}, {0x00F8, 0x00FE, -32, 1},
    {0x00FF, 0x00FF, 121, 1}, {0x0101, 0x012F, -1, 2}, {0x0131, 0x0131, -232, 1}, {0x0133, 0x0137, -1, 2},
    {0x013A, 0x0148, -1, 2}, {0x014B, 0x0177, -1, 2}, {0x017A, 0x017E, -1, 2}, {0x017F, 0x017F, -300, 1},
    {0x0180, 0x0180, 195, 1}, {0x0183, 0x0185, -1, 2}, {0x0188, 0x0188, -1, 1}, {0x018C, 0x018C, -1, 1},
    {0x0192, 0x0192, -1, 1}, {0x0195, 0x0195, 97, 1}, {0x0199, 0x0199, -1, 1}, {0x019A, 0x019A, 163, 1},
    {0x019E, 0x019E, 130, 1}, {0x01A1, 0x01A5, -1, 2}, {0x01A8, 0x01A8, -1, 1}, {0x01AD, 0x01AD, -1, 1},
    {0x01B0, 0x01B0, -1, 1}, {0x01B4, 0x01B6, -1, 2}, {0x01B9, 0x01B9, -1, 1}, {0x01BD, 0x01BD, -1, 1},
    {0x01BF, 0x01BF, 56, 1}, {0x01C5, 0x01C5, -1, 1}, {0x01C6, 0x01C6, -2, 1}, {0x01C8, 0x01C8, -1, 1},
    {0x01C9, 0x01C9, -2, 1}, {0x01CB, 0x01CB, -1, 1}, {0x01CC, 0x01CC, -2, 1}, {0x01CE, 0x01DC, -1, 2},
    {0x01DD, 0x01DD, -79, 1}, {0x01DF, 0x01EF, -1, 2}, {0x01F2, 0x01F2, -1, 1}, {0x01F3, 0x01F3, -2, 1},
    {0x01F5, 0x01F5, -1, 1}, {0x01F9, 0x021F, -1, 2}, {0x0223, 0x0233, -1, 2}, {0x023C, 0x023C, -1, 1},
    {0x023F, 0x0240, 10815, 1}, {0x0242, 0x0242, -1, 1}, {0x0247, 0x024F, -1, 2},
    {0x0250, 0x0250, 10783, 1}, {0x0251, 0x0251, 10780, 1}, {0x0252, 0x0252, 10782, 1},
    {0x0253, 0x0253, -210, 1}, {0x0254, 0x0254, -206, 1}, {0x0256, 0x0257, -205, 1},
    {0x0259, 0x0259, -202, 1}, {0x025B, 0x025B, -203, 1}, {0x025C, 0x025C, 42319, 1},
    {0x0260, 0x0260, -205, 1}, {0x0261, 0x0261, 42315, 1}, {0x0263, 0x0263, -207, 1},
    {0x0265, 0x0265, 42280, 1}, {0x0266, 0x0266, 42308, 1}, {0x0268, 0x0268, -209, 1},
    {0x0269, 0x0269, -211, 1}, {0x026A, 0x026A, 42308, 1}, {0x026B, 0x026B, 10743, 1},
    {0x026C, 0x026C, 42305, 1}, {0x026F, 0x026F, -211, 1}, {0x0271, 0x0271, 10749, 1},
    {0x0272, 0x0272, -213, 1}, {0x0275, 0x0275, -214, 1}, {0x027D, 0x027D, 10727, 1},
    {0x0280, 0x0280, -218, 1}, {0x0282, 0x0282, 42307, 1}, {0x0283, 0x0283, -218, 1},
    {0x0287, 0x0287, 42282, 1}, {0x0288, 0x0288, -218, 1}, {0x0289, 0x0289, -69, 1},
    {0x028A, 0x028B, -217, 1}, {0x028C, 0x028C, -71, 1}, {0x0292, 0x0292, -219, 1},
    {0x029D, 0x029D, 42261, 1}, {0x029E, 0x029E, 42258, 1}, {0x0345, 0x0345, 84, 1},
    {0x0371, 0x0373, -1, 2}, {0x0377, 0x0377, -1, 1}, {0x037B, 0x037D, 130, 1}, {0x03AC, 0x03AC, -38, 1},
    {0x03AD, 0x03AF, -37, 1}, {0x03B1, 0x03C1, -32, 1}, {0x03C2, 0x03C2, -31, 1}, {0x03C3, 0x03CB, -32, 1},
    {0x03CC, 0x03CC, -64, 1}, {0x03CD, 0x03CE, -63, 1}, {0x03D0, 0x03D0, -62, 1}, {0x03D1, 0x03D1, -57, 1},
    {0x03D5, 0x03D5, -47, 1}, {0x03D6, 0x03D6, -54, 1}, {0x03D7, 0x03D7, -8, 1}, {0x03D9, 0x03EF, -1, 2},
    {0x03F0, 0x03F0, -86, 1}, {0x03F1, 0x03F1, -80, 1}, {0x03F2, 0x03F2, 7, 1}, {0x03F3, 0x03F3, -116, 1},
    {0x03F5, 0x03F5, -96, 1}, {0x03F8, 0x03F8, -1, 1}, {0x03FB, 0x03FB, -1, 1}, {0x0430, 0x044F, -32, 1},
    {0x0450, 0x045F, -80, 1}, {0x0461, 0x0481, -1, 2}, {0x048B, 0x04BF, -1, 2}, {0x04C2, 0x04CE, -1, 2},
    {0x04CF, 0x04CF, -15, 1}, {0x04D1, 0x052F, -1, 2}, {0x0561, 0x0586, -48, 1}, {0x10D0, 0x10FA, 3008, 1},
    {0x10FD, 0x10FF, 3008, 1}, {0x13F8, 0x13FD, -8, 1}, {0x1C80, 0x1C80, -6254, 1},
    {0x1C81, 0x1C81, -6253, 1}, {0x1C82, 0x1C82, -6244, 1}, {0x1C83, 0x1C84, -6242, 1},
    {0x1C85, 0x1C85, -6243, 1}, {0x1C86, 0x1C86, -6236, 1}, {0x1C87, 0x1C87, -6181, 1},
    {0x1C88, 0x1C88, 35266, 1}, {0x1D79, 0x1D79, 35332, 1}, {0x1D7D, 0x1D7D, 3814, 1},
    {0x1D8E, 0x1D8E, 35384, 1}, {0x1E01, 0x1E95, -1, 2}, {0x1E9B, 0x1E9B, -59, 1}, {0x1EA1, 0x1EFF, -1, 2},
    {0x1F00, 0x1F07, 8, 1}, {0x1F10, 0x1F15, 8, 1}, {0x1F20, 0x1F27, 8, 1}, {0x1F30, 0x1F37, 8, 1},
    {0x1F40, 0x1F45, 8, 1}, {0x1F51, 0x1F57, 8, 2}, {0x1F60, 0x1F67, 8, 1}, {0x1F70, 0x1F71, 74, 1},
    {0x1F72, 0x1F75, 86, 1}, {0x1F76, 0x1F77, 100, 1}, {0x1F78, 0x1F79, 128, 1}, {0x1F7A, 0x1F7B, 112, 1},
    {0x1F7C, 0x1F7D, 126, 1}, {0x1F80, 0x1F87, 8, 1}, {0x1F90, 0x1F97, 8, 1}, {0x1FA0, 0x1FA7, 8, 1},
    {0x1FB0, 0x1FB1, 8, 1}, {0x1FB3, 0x1FB3, 9, 1}, {0x1FBE, 0x1FBE, -7205, 1}, {0x1FC3, 0x1FC3, 9, 1},
    {0x1FD0, 0x1FD1, 8, 1}, {0x1FE0, 0x1FE1, 8, 1}, {0x1FE5, 0x1FE5, 7, 1}, {0x1FF3, 0x1FF3, 9, 1},
    {0x214E, 0x214E, -28, 1}, {0x2170, 0x217F, -16, 1}, {0x2184, 0x2184, -1, 1}, {0x24D0, 0x24E9, -26, 1},
    {0x2C30, 0x2C5F, -48, 1}, {0x2C61, 0x2C61, -1, 1}, {0x2C65, 0x2C65, -10795, 1},
    {0x2C66, 0x2C66, -10792, 1}, {0x2C68, 0x2C6C, -1, 2}, {0x2C73, 0x2C73, -1, 1}, {0x2C76, 0x2C76, -1, 1},
    {0x2C81, 0x2CE3, -1, 2}, {0x2CEC, 0x2CEE, -1, 2}, {0x2CF3, 0x2CF3, -1, 1}, {0x2D00, 0x2D25, -7264, 1},
    {0x2D27, 0x2D27, -7264, 1}, {0x2D2D, 0x2D2D, -7264, 1}, {0xA641, 0xA66D, -1, 2},
    {0xA681, 0xA69B, -1, 2}, {0xA723, 0xA72F, -1, 2}, {0xA733, 0xA76F, -1, 2}, {0xA77A, 0xA77C, -1, 2},
    {0xA77F, 0xA787, -1, 2}, {0xA78C, 0xA78C, -1, 1}, {0xA791, 0xA793, -1, 2}, {0xA794, 0xA794, 48, 1},
    {0xA797, 0xA7A9, -1, 2}, {0xA7B5, 0xA7C3, -1, 2}, {0xA7C8, 0xA7CA, -1, 2}, {0xA7D1, 0xA7D1, -1, 1},
    {0xA7D7, 0xA7D9, -1, 2}, {0xA7F6, 0xA7F6, -1, 1}, {0xAB53, 0xAB53, -928, 1},
    {0xAB70, 0xABBF, -38864, 1}, {0xFF41, 0xFF5A, -32, 1}, {0x10428, 0x1044F, -40, 1},
    {0x104D8, 0x104FB, -40, 1}, {0x10597, 0x105A1, -39, 1}, {0x105A3, 0x105B1, -39, 1},
    {0x105B3, 0x105B9, -39, 1}, {0x105BB, 0x105BC, -39, 1}, {0x10CC0, 0x10CF2, -64, 1},
    {0x118C0, 0x118DF, -32, 1}, {0x16E60, 0x16E7F, -32, 1}, {0x1E922, 0x1E943, -34, 1},
};
constexpr TCaseRun LowerRuns[] = {
    {0x0041, 0x005A, 32, 1}, {0x00C0, 0x00D6, 32, 1}, {0x00D8, 0x00DE, 32, 1}, {0x0100, 0x012E, 1, 2},
    {0x0130, 0x0130, -199, 1}, {0x0132, 0x0136, 1, 2}, {0x0139, 0x0147, 1, 2}, {0x014A, 0x0176, 1, 2},
    {0x0178, 0x0178, -121, 1}, {0x0179, 0x017D, 1, 2}, {0x0181, 0x0181, 210, 1}, {0x0182, 0x0184, 1, 2},
    {0x0186, 0x0186, 206, 1}, {0x0187, 0x0187, 1, 1}, {0x0189, 0x018A, 205, 1}, {0x018B, 0x018B, 1, 1},
    {0x018E, 0x018E, 79, 1}, {0x018F, 0x018F, 202, 1}, {0x0190, 0x0190, 203, 1}, {0x0191, 0x0191, 1, 1},
    {0x0193, 0x0193, 205, 1}, {0x0194, 0x0194, 207, 1}, {0x0196, 0x0196, 211, 1}, {0x0197, 0x0197, 209, 1},
    {0x0198, 0x0198, 1, 1}, {0x019C, 0x019C, 211, 1}, {0x019D, 0x019D, 213, 1}, {0x019F, 0x019F, 214, 1},
    {0x01A0, 0x01A4, 1, 2}, {0x01A6, 0x01A6, 218, 1}, {0x01A7, 0x01A7, 1, 1}, {0x01A9, 0x01A9, 218, 1},
    {0x01AC, 0x01AC, 1, 1}, {0x01AE, 0x01AE, 218, 1}, {0x01AF, 0x01AF, 1, 1}, {0x01B1, 0x01B2, 217, 1},
    {0x01B3, 0x01B5, 1, 2}, {0x01B7, 0x01B7, 219, 1}, {0x01B8, 0x01B8, 1, 1}, {0x01BC, 0x01BC, 1, 1},
    {0x01C4, 0x01C4, 2, 1}, {0x01C5, 0x01C5, 1, 1}, {0x01C7, 0x01C7, 2, 1}, {0x01C8, 0x01C8, 1, 1},
    {0x01CA, 0x01CA, 2, 1}, {0x01CB, 0x01DB, 1, 2}, {0x01DE, 0x01EE, 1, 2}, {0x01F1, 0x01F1, 2, 1},
    {0x01F2, 0x01F4, 1, 2}, {0x01F6, 0x01F6, -97, 1}, {0x01F7, 0x01F7, -56, 1}, {0x01F8, 0x021E, 1, 2},
    {0x0220, 0x0220, -130, 1}, {0x0222, 0x0232, 1, 2}, {0x023A, 0x023A, 10795, 1}, {0x023B, 0x023B, 1, 1},
    {0x023D, 0x023D, -163, 1}, {0x023E, 0x023E, 10792, 1}, {0x0241, 0x0241, 1, 1},
    {0x0243, 0x0243, -195, 1}, {0x0244, 0x0244, 69, 1}, {0x0245, 0x0245, 71, 1}, {0x0246, 0x024E, 1, 2},
    {0x0370, 0x0372, 1, 2}, {0x0376, 0x0376, 1, 1}, {0x037F, 0x037F, 116, 1}, {0x0386, 0x0386, 38, 1},
    {0x0388, 0x038A, 37, 1}, {0x038C, 0x038C, 64, 1}, {0x038E, 0x038F, 63, 1}, {0x0391, 0x03A1, 32, 1},
    {0x03A3, 0x03AB, 32, 1}, {0x03CF, 0x03CF, 8, 1}, {0x03D8, 0x03EE, 1, 2}, {0x03F4, 0x03F4, -60, 1},
    {0x03F7, 0x03F7, 1, 1}, {0x03F9, 0x03F9, -7, 1}, {0x03FA, 0x03FA, 1, 1}, {0x03FD, 0x03FF, -130, 1},
    {0x0400, 0x040F, 80, 1}, {0x0410, 0x042F, 32, 1}, {0x0460, 0x0480, 1, 2}, {0x048A, 0x04BE, 1, 2},
    {0x04C0, 0x04C0, 15, 1}, {0x04C1, 0x04CD, 1, 2}, {0x04D0, 0x052E, 1, 2}, {0x0531, 0x0556, 48, 1},
    {0x10A0, 0x10C5, 7264, 1}, {0x10C7, 0x10C7, 7264, 1}, {0x10CD, 0x10CD, 7264, 1},
    {0x13A0, 0x13EF, 38864, 1}, {0x13F0, 0x13F5, 8, 1}, {0x1C90, 0x1CBA, -3008, 1},
    {0x1CBD, 0x1CBF, -3008, 1}, {0x1E00, 0x1E94, 1, 2}, {0x1E9E, 0x1E9E, -7615, 1}, {0x1EA0, 0x1EFE, 1, 2},
    {0x1F08, 0x1F0F, -8, 1}, {0x1F18, 0x1F1D, -8, 1}, {0x1F28, 0x1F2F, -8, 1}, {0x1F38, 0x1F3F, -8, 1},
    {0x1F48, 0x1F4D, -8, 1}, {0x1F59, 0x1F5F, -8, 2}, {0x1F68, 0x1F6F, -8, 1}, {0x1F88, 0x1F8F, -8, 1},
    {0x1F98, 0x1F9F, -8, 1}, {0x1FA8, 0x1FAF, -8, 1}, {0x1FB8, 0x1FB9, -8, 1}, {0x1FBA, 0x1FBB, -74, 1},
    {0x1FBC, 0x1FBC, -9, 1}, {0x1FC8, 0x1FCB, -86, 1}, {0x1FCC, 0x1FCC, -9, 1}, {0x1FD8, 0x1FD9, -8, 1},
    {0x1FDA, 0x1FDB, -100, 1}, {0x1FE8, 0x1FE9, -8, 1}, {0x1FEA, 0x1FEB, -112, 1}, {0x1FEC, 0x1FEC, -7, 1},
    {0x1FF8, 0x1FF9, -128, 1}, {0x1FFA, 0x1FFB, -126, 1}, {0x1FFC, 0x1FFC, -9, 1},
    {0x2126, 0x2126, -7517, 1}, {0x212A, 0x212A, -8383, 1}, {0x212B, 0x212B, -8262, 1},
    {0x2132, 0x2132, 28, 1}, {0x2160, 0x216F, 16, 1}, {0x2183, 0x2183, 1, 1}, {0x24B6, 0x24CF, 26, 1},
    {0x2C00, 0x2C2F, 48, 1}, {0x2C60, 0x2C60, 1, 1}, {0x2C62, 0x2C62, -10743, 1},
    {0x2C63, 0x2C63, -3814, 1}, {0x2C64, 0x2C64, -10727, 1}, {0x2C67, 0x2C6B, 1, 2},
    {0x2C6D, 0x2C6D, -10780, 1}, {0x2C6E, 0x2C6E, -10749, 1}, {0x2C6F, 0x2C6F, -10783, 1},
    {0x2C70, 0x2C70, -10782, 1}, {0x2C72, 0x2C72, 1, 1}, {0x2C75, 0x2C75, 1, 1},
    {0x2C7E, 0x2C7F, -10815, 1}, {0x2C80, 0x2CE2, 1, 2}, {0x2CEB, 0x2CED, 1, 2}, {0x2CF2, 0x2CF2, 1, 1},
    {0xA640, 0xA66C, 1, 2}, {0xA680, 0xA69A, 1, 2}, {0xA722, 0xA72E, 1, 2}, {0xA732, 0xA76E, 1, 2},
    {0xA779, 0xA77B, 1, 2}, {0xA77D, 0xA77D, -35332, 1}, {0xA77E, 0xA786, 1, 2}, {0xA78B, 0xA78B, 1, 1},
    {0xA78D, 0xA78D, -42280, 1}, {0xA790, 0xA792, 1, 2}, {0xA796, 0xA7A8, 1, 2},
    {0xA7AA, 0xA7AA, -42308, 1}, {0xA7AB, 0xA7AB, -42319, 1}, {0xA7AC, 0xA7AC, -42315, 1},
    {0xA7AD, 0xA7AD, -42305, 1}, {0xA7AE, 0xA7AE, -42308, 1}, {0xA7B0, 0xA7B0, -42258, 1},
    {0xA7B1, 0xA7B1, -42282, 1}, {0xA7B2, 0xA7B2, -42261, 1}, {0xA7B3, 0xA7B3, 928, 1},
    {0xA7B4, 0xA7C2, 1, 2}, {0xA7C4, 0xA7C4, -48, 1}, {0xA7C5, 0xA7C5, -42307, 1},
    {0xA7C6, 0xA7C6, -35384, 1}, {0xA7C7, 0xA7C9, 1, 2}, {0xA7D0, 0xA7D0, 1, 1}, {0xA7D6, 0xA7D8, 1, 2},
    {0xA7F5, 0xA7F5, 1, 1}, {0xFF21, 0xFF3A, 32, 1}, {0x10400, 0x10427, 40, 1}, {0x104B0, 0x104D3, 40, 1},
    {0x10570, 0x1057A, 39, 1}, {0x1057C, 0x1058A, 39, 1}, {0x1058C, 0x10592, 39, 1},
    {0x10594, 0x10595, 39, 1}, {0x10C80, 0x10CB2, 64, 1}, {0x118A0, 0x118BF, 32, 1},
    {0x16E40, 0x16E5F, 32, 1}, {0x1E900, 0x1E921, 34, 1},
};

char32_t MapCase(const TCaseRun* Runs, size_t Count, char32_t C) {
    if (C < 0x80) return C;  // handled by the callers' ASCII fast path
    size_t Lo = 0, Hi = Count;
    while (Lo < Hi) {
        const size_t Mid = (Lo + Hi) / 2;
        if (Runs[Mid].Last < C)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    if (Lo < Count && Runs[Lo].First <= C && (C - Runs[Lo].First) % Runs[Lo].Stride == 0)
        return static_cast<char32_t>(static_cast<int32_t>(C) + Runs[Lo].Delta);
    return C;
}

template <typename F>
String MapCodePoints(std::u16string_view S, F Map) {
    String R;
    R.reserve(S.size());
    for (size_t I = 0; I < S.size(); ++I) {
        char32_t C = S[I];
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < S.size() && S[I + 1] >= 0xDC00 && S[I + 1] < 0xE000) {
            C = 0x10000 + ((C - 0xD800) << 10) + (S[I + 1] - 0xDC00);
            ++I;
        }
        const char32_t M = Map(C);
        if (M >= 0x10000) {
            R.push_back(static_cast<char16_t>(0xD800 + ((M - 0x10000) >> 10)));
            R.push_back(static_cast<char16_t>(0xDC00 + ((M - 0x10000) & 0x3FF)));
        } else {
            R.push_back(static_cast<char16_t>(M));
        }
    }
    return R;
}

char16_t AsciiUpper(char16_t C) { return (C >= u'a' && C <= u'z') ? C - 32 : C; }
char16_t AsciiLower(char16_t C) { return (C >= u'A' && C <= u'Z') ? C + 32 : C; }

int Sign(int64_t V) { return V < 0 ? -1 : (V > 0 ? 1 : 0); }

}  // namespace

// ---- Integers -------------------------------------------------------------------------

String IntToStr(int Value) { return Ascii(std::to_string(Value)); }
String IntToStr(int64_t Value) { return Ascii(std::to_string(Value)); }

String IntToHex(int64_t Value, int Digits) {
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%0*llX", std::clamp(Digits, 0, 16),
                  static_cast<unsigned long long>(Value));
    return Ascii(Buf);
}

bool TryStrToInt(std::u16string_view S, int& Value) {
    int64_t V;
    if (!ParseInteger(S, INT32_MIN, INT32_MAX, UINT32_MAX, V)) return false;
    Value = static_cast<int>(V);
    return true;
}

bool TryStrToInt64(std::u16string_view S, int64_t& Value) {
    return ParseInteger(S, INT64_MIN, INT64_MAX, UINT64_MAX, Value);
}

int StrToInt(std::u16string_view S) {
    int V;
    if (!TryStrToInt(S, V)) RaiseInteger(S);
    return V;
}

int64_t StrToInt64(std::u16string_view S) {
    int64_t V;
    if (!TryStrToInt64(S, V)) RaiseInteger(S);
    return V;
}

int StrToIntDef(std::u16string_view S, int Default) {
    int V;
    return TryStrToInt(S, V) ? V : Default;
}

int64_t StrToInt64Def(std::u16string_view S, int64_t Default) {
    int64_t V;
    return TryStrToInt64(S, V) ? V : Default;
}

// ---- Floating point -------------------------------------------------------------------

bool TryStrToFloat(std::u16string_view S, double& Value) {
    size_t B = 0, E = S.size();
    while (B < E && IsBlank(S[B])) ++B;
    while (E > B && IsBlank(S[E - 1])) --E;
    // Check the grammar first: from_chars alone would take "inf", "nan" and hexadecimal.
    std::string Text;
    size_t I = B;
    auto Digits = [&] {
        size_t N = 0;
        while (I < E && S[I] >= u'0' && S[I] <= u'9') Text.push_back(static_cast<char>(S[I++])), ++N;
        return N;
    };
    if (I < E && (S[I] == u'+' || S[I] == u'-')) {
        if (S[I] == u'-') Text.push_back('-');
        ++I;
    }
    size_t Mantissa = Digits();
    if (I < E && S[I] == u'.') {
        Text.push_back('.');
        ++I;
        Mantissa += Digits();
    }
    if (Mantissa == 0) return false;
    bool NegativeExponent = false;
    if (I < E && (S[I] == u'e' || S[I] == u'E')) {
        Text.push_back('e');
        ++I;
        if (I < E && (S[I] == u'+' || S[I] == u'-')) {
            NegativeExponent = S[I] == u'-';
            Text.push_back(static_cast<char>(S[I++]));
        }
        if (Digits() == 0) return false;
    }
    if (I != E) return false;
    double V = 0;
    const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
    if (R.ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large fails.
        if (!NegativeExponent) return false;
        V = Text[0] == '-' ? -0.0 : 0.0;
    } else if (R.ec != std::errc() || R.ptr != Text.data() + Text.size()) {
        return false;
    }
    Value = V;
    return true;
}

double StrToFloat(std::u16string_view S) {
    double V;
    if (!TryStrToFloat(S, V)) throw EConvertError(u"'" + String(S) + u"' is not a valid floating point value");
    return V;
}

double StrToFloatDef(std::u16string_view S, double Default) {
    double V;
    return TryStrToFloat(S, V) ? V : Default;
}

String FloatToStr(double Value) { return Ascii(GeneralText(Value, 15)); }

// ---- Format ---------------------------------------------------------------------------

String Format(std::u16string_view Fmt, std::initializer_list<TFormatArg> Args) {
    auto Fail = [&]() -> void {
        throw EConvertError(u"Format '" + String(Fmt) + u"' invalid or incompatible with argument");
    };
    String Out;
    size_t ArgIndex = 0;
    size_t I = 0;
    while (I < Fmt.size()) {
        const char16_t C = Fmt[I++];
        if (C != u'%') {
            Out.push_back(C);
            continue;
        }
        if (I < Fmt.size() && Fmt[I] == u'%') {
            Out.push_back(u'%');
            ++I;
            continue;
        }
        auto Number = [&](int& N) {
            bool Any = false;
            N = 0;
            while (I < Fmt.size() && Fmt[I] >= u'0' && Fmt[I] <= u'9') {
                N = std::min(N * 10 + (Fmt[I++] - u'0'), 100000);
                Any = true;
            }
            return Any;
        };
        int Width = -1, Precision = -1, N;
        bool LeftAlign = false;
        const size_t Mark = I;
        if (Number(N) && I < Fmt.size() && Fmt[I] == u':') {
            ArgIndex = static_cast<size_t>(N);
            ++I;
        } else {
            I = Mark;
        }
        if (I < Fmt.size() && Fmt[I] == u'-') {
            LeftAlign = true;
            ++I;
        }
        if (Number(N)) Width = N;
        if (I < Fmt.size() && Fmt[I] == u'.') {
            ++I;
            if (!Number(N)) Fail();
            Precision = N;
        }
        if (I >= Fmt.size() || ArgIndex >= Args.size()) Fail();
        const char16_t Type = AsciiLower(Fmt[I++]);
        const TFormatArg& A = Args.begin()[ArgIndex++];
        String Piece;
        switch (Type) {
            case u'd':
            case u'u': {
                if (A.Kind() != TFormatArg::fkInt) Fail();
                int64_t V = A.AsInt();
                if (Type == u'u' && !A.Is64()) V = static_cast<uint32_t>(V);
                std::string Digits = (Type == u'u' && A.Is64())
                                         ? std::to_string(static_cast<uint64_t>(V))
                                         : std::to_string(V < 0 ? 0 - static_cast<uint64_t>(V) : V);
                if (Precision > static_cast<int>(Digits.size()))
                    Digits.insert(0, Precision - Digits.size(), '0');
                Piece = Ascii((V < 0 && Type == u'd' ? "-" : "") + Digits);
                break;
            }
            case u'x': {
                if (A.Kind() != TFormatArg::fkInt) Fail();
                const uint64_t V = A.Is64() ? static_cast<uint64_t>(A.AsInt())
                                            : static_cast<uint32_t>(A.AsInt());
                char Buf[32];
                std::snprintf(Buf, sizeof Buf, "%0*llX", std::clamp(Precision, 0, 16),
                              static_cast<unsigned long long>(V));
                Piece = Ascii(Buf);
                break;
            }
            case u's': {
                if (A.Kind() != TFormatArg::fkString) Fail();
                std::u16string_view T = A.AsText();
                if (Precision >= 0 && static_cast<size_t>(Precision) < T.size()) T = T.substr(0, Precision);
                Piece = String(T);
                break;
            }
            case u'f':
            case u'n':
            case u'e':
            case u'g': {
                if (A.Kind() == TFormatArg::fkString) Fail();
                const double V = A.Kind() == TFormatArg::fkFloat ? A.AsFloat() : static_cast<double>(A.AsInt());
                if (!std::isfinite(V)) {
                    Piece = Ascii(NonFinite(V));
                } else if (Type == u'f' || Type == u'n') {
                    Piece = Ascii(FixedText(V, Precision < 0 ? 2 : std::min(Precision, 18), Type == u'n'));
                } else if (Type == u'e') {
                    Piece = Ascii(ScientificText(V, Precision < 1 ? 15 : std::min(Precision, 17)));
                } else {
                    Piece = Ascii(GeneralText(V, Precision < 1 ? 15 : std::min(Precision, 17)));
                }
                break;
            }
            default:
                Fail();
        }
        if (Width > static_cast<int>(Piece.size())) {
            const String Pad(Width - Piece.size(), u' ');
            Piece = LeftAlign ? Piece + Pad : Pad + Piece;
        }
        Out += Piece;
    }
    return Out;
}

// ---- Text -----------------------------------------------------------------------------

String Trim(std::u16string_view S) {
    size_t B = 0, E = S.size();
    while (B < E && S[B] <= u' ') ++B;
    while (E > B && S[E - 1] <= u' ') --E;
    return String(S.substr(B, E - B));
}

String TrimLeft(std::u16string_view S) {
    size_t B = 0;
    while (B < S.size() && S[B] <= u' ') ++B;
    return String(S.substr(B));
}

String TrimRight(std::u16string_view S) {
    size_t E = S.size();
    while (E > 0 && S[E - 1] <= u' ') --E;
    return String(S.substr(0, E));
}

String UpperCase(std::u16string_view S) {
    String R(S);
    for (char16_t& C : R) C = AsciiUpper(C);
    return R;
}

String LowerCase(std::u16string_view S) {
    String R(S);
    for (char16_t& C : R) C = AsciiLower(C);
    return R;
}

int CompareText(std::u16string_view A, std::u16string_view B) {
    const size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        const int D = static_cast<int>(AsciiUpper(A[I])) - static_cast<int>(AsciiUpper(B[I]));
        if (D != 0) return D;
    }
    return Sign(static_cast<int64_t>(A.size()) - static_cast<int64_t>(B.size()));
}

bool SameText(std::u16string_view A, std::u16string_view B) {
    return A.size() == B.size() && CompareText(A, B) == 0;
}

int CompareStr(std::u16string_view A, std::u16string_view B) { return Sign(A.compare(B)); }

char32_t UnicodeUpper(char32_t C) {
    if (C < 0x80) return (C >= U'a' && C <= U'z') ? C - 32 : C;
    return MapCase(UpperRuns, std::size(UpperRuns), C);
}

char32_t UnicodeLower(char32_t C) {
    if (C < 0x80) return (C >= U'A' && C <= U'Z') ? C + 32 : C;
    return MapCase(LowerRuns, std::size(LowerRuns), C);
}

String AnsiUpperCase(std::u16string_view S) { return MapCodePoints(S, UnicodeUpper); }
String AnsiLowerCase(std::u16string_view S) { return MapCodePoints(S, UnicodeLower); }

int AnsiCompareText(std::u16string_view A, std::u16string_view B) {
    return Sign(AnsiUpperCase(A).compare(AnsiUpperCase(B)));
}

bool AnsiSameText(std::u16string_view A, std::u16string_view B) { return AnsiCompareText(A, B) == 0; }

int AnsiCompareStr(std::u16string_view A, std::u16string_view B) { return Sign(A.compare(B)); }

String StringReplace(std::u16string_view S, std::u16string_view From, std::u16string_view To, bool All,
                     bool IgnoreCase) {
    if (From.empty()) return String(S);
    String R;
    size_t I = 0;
    while (I < S.size()) {
        const bool Match = I + From.size() <= S.size() &&
                           (IgnoreCase ? SameText(S.substr(I, From.size()), From) : S.substr(I, From.size()) == From);
        if (Match) {
            R += To;
            I += From.size();
            if (!All) break;
        } else {
            R.push_back(S[I++]);
        }
    }
    if (I < S.size()) R += S.substr(I);
    return R;
}

// ---- Code pages ---------------------------------------------------------------------

namespace {

// One conversion descriptor per call: conversions are rare and short.
class TIconv {
public:
    TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {}
    ~TIconv() {
        if (Valid()) iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as possible; returns false at a sequence it cannot convert.
    bool Convert(const char*& In, size_t& InLeft, std::string& Out) {
        char Buffer[256];
        while (InLeft > 0) {
            char* OutPtr = Buffer;
            size_t OutLeft = sizeof Buffer;
            const size_t R = iconv(FHandle, const_cast<char**>(&In), &InLeft, &OutPtr, &OutLeft);
            Out.append(Buffer, static_cast<size_t>(OutPtr - Buffer));
            if (R == static_cast<size_t>(-1) && errno != E2BIG) return false;
        }
        char* OutPtr = Buffer;
        size_t OutLeft = sizeof Buffer;
        iconv(FHandle, nullptr, nullptr, &OutPtr, &OutLeft);
        Out.append(Buffer, static_cast<size_t>(OutPtr - Buffer));
        return true;
    }

private:
    iconv_t FHandle;
};

std::string CodePageName(int CodePage) {
    const char* Name = CodePageIconvName(CodePage);
    return Name != nullptr ? Name : "CP" + std::to_string(CodePage);
}

}  // namespace

int GetACP() { return 936; }

std::string StringToCodePage(std::u16string_view S, int CodePage) {
    TIconv Conv(CodePageName(CodePage).c_str(), "UTF-16LE");
    if (!Conv.Valid()) return StringToUtf8(S);
    std::u16string Units(S);
    std::string Bytes;
    for (char16_t U : Units) {
        Bytes.push_back(static_cast<char>(U & 0xFF));
        Bytes.push_back(static_cast<char>(U >> 8));
    }
    std::string Out;
    const char* In = Bytes.data();
    size_t Left = Bytes.size();
    while (!Conv.Convert(In, Left, Out)) {
        // Skip the character it cannot hold (a surrogate pair counts as one).
        auto UnitAt = [&](size_t K) {
            return static_cast<uint16_t>(static_cast<uint8_t>(In[K]) | static_cast<uint8_t>(In[K + 1]) << 8);
        };
        const bool Pair = Left >= 4 && UnitAt(0) >= 0xD800 && UnitAt(0) < 0xDC00 && UnitAt(2) >= 0xDC00 &&
                          UnitAt(2) < 0xE000;
        const size_t Skip = Pair ? 4 : 2;
        Out.push_back('?');
        In += std::min(Skip, Left);
        Left -= std::min(Skip, Left);
    }
    return Out;
}

String CodePageToString(std::string_view Bytes, int CodePage) {
    TIconv Conv("UTF-16LE", CodePageName(CodePage).c_str());
    if (!Conv.Valid()) return Utf8ToString(Bytes);
    std::string Out;
    const char* In = Bytes.data();
    size_t Left = Bytes.size();
    std::string Units;
    while (true) {
        Units.clear();
        const bool Done = Conv.Convert(In, Left, Units);
        Out += Units;
        if (Done) break;
        Out += std::string("\xFD\xFF", 2);  // U+FFFD, little-endian
        ++In;
        --Left;
    }
    String R;
    for (size_t I = 0; I + 1 < Out.size(); I += 2)
        R.push_back(static_cast<char16_t>(static_cast<uint8_t>(Out[I]) | static_cast<uint8_t>(Out[I + 1]) << 8));
    return R;
}

// ---- Colours --------------------------------------------------------------------------

bool TryStringToColor(std::u16string_view S, TColor& Color) {
    if (IdentToColor(S, Color)) return true;
    int V;
    if (!TryStrToInt(S, V)) return false;
    Color = V;
    return true;
}

TColor StringToColor(std::u16string_view S) {
    TColor C;
    if (!TryStringToColor(S, C)) RaiseInteger(S);
    return C;
}

String ColorToString(TColor Color) {
    String Name;
    if (ColorToIdent(Color, Name)) return Name;
    String Text = u"$";
    Text += IntToHex(static_cast<uint32_t>(Color), 8);
    return Text;
}

// ---- Dates and times ------------------------------------------------------------------

namespace {

constexpr int64_t MSecsPerDay = 86400000;
// Days from 1970-01-01 back to 1899-12-30, the origin of TDateTime.
constexpr int64_t EpochShift = 25569;

// Proleptic Gregorian calendar, days since 1970-01-01.
int64_t DaysFromCivil(int Y, int M, int D) {
    Y -= M <= 2;
    const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
    const int64_t YearOfEra = Y - Era * 400;
    const int64_t DayOfYear = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const int64_t DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
    return Era * 146097 + DayOfEra - 719468;
}

void CivilFromDays(int64_t Z, int& Y, int& M, int& D) {
    Z += 719468;
    const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const int64_t DayOfEra = Z - Era * 146097;
    const int64_t YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const int64_t MP = (5 * DayOfYear + 2) / 153;
    D = static_cast<int>(DayOfYear - (153 * MP + 2) / 5 + 1);
    M = static_cast<int>(MP < 10 ? MP + 3 : MP - 9);
    Y = static_cast<int>(YearOfEra + Era * 400 + (M <= 2));
}

// Whole days (toward zero) and the time of day in milliseconds, as the original splits a
// value: the time is the rounded absolute fraction.
void SplitDateTime(TDateTime Value, int64_t& Days, int64_t& MSecs) {
    if (!std::isfinite(Value)) Value = 0;
    Value = std::clamp(Value, -1e7, 1e7);
    double Whole;
    const double Fraction = std::modf(Value, &Whole);
    Days = static_cast<int64_t>(Whole);
    MSecs = RoundHalfEven64(std::fabs(Fraction) * MSecsPerDay);
    if (MSecs >= MSecsPerDay) {
        MSecs -= MSecsPerDay;
        Days += Value < 0 ? -1 : 1;
    }
}

const char16_t* const ShortDayNames[] = {u"周日", u"周一", u"周二", u"周三", u"周四", u"周五", u"周六"};
const char16_t* const LongDayNames[] = {u"星期日", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六"};
const char16_t* const ShortMonthNames[] = {u"1月", u"2月", u"3月", u"4月",  u"5月",  u"6月",
                                           u"7月", u"8月", u"9月", u"10月", u"11月", u"12月"};
const char16_t* const LongMonthNames[] = {u"一月", u"二月", u"三月", u"四月",   u"五月",   u"六月",
                                          u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
constexpr std::u16string_view ShortDateFormat = u"yyyy/M/d", LongDateFormat = u"yyyy'年'M'月'd'日'",
                              ShortTimeFormat = u"H:mm", LongTimeFormat = u"H:mm:ss";
constexpr std::u16string_view TimeAMString = u"上午", TimePMString = u"下午";

String Padded(int Value, int Digits) {
    String S = IntToStr(std::abs(Value));
    if (static_cast<int>(S.size()) < Digits) S.insert(0, Digits - S.size(), u'0');
    return Value < 0 ? u"-" + S : S;
}

bool StartsWithText(std::u16string_view S, size_t At, std::u16string_view Word) {
    return S.size() - At >= Word.size() && SameText(S.substr(At, Word.size()), Word);
}

// Pattern contains an am/pm field (outside quotes): hours then count 1..12.
bool HasAmPm(std::u16string_view P) {
    char16_t Quote = 0;
    for (size_t I = 0; I < P.size(); ++I) {
        if (Quote) {
            if (P[I] == Quote) Quote = 0;
        } else if (P[I] == u'\'' || P[I] == u'"') {
            Quote = P[I];
        } else if (StartsWithText(P, I, u"am/pm") || StartsWithText(P, I, u"a/p") || StartsWithText(P, I, u"ampm")) {
            return true;
        }
    }
    return false;
}

std::function<TDateTime()>& NowSource() {
    static std::function<TDateTime()> Source;
    return Source;
}

std::mt19937& Generator() {
    static std::mt19937 G(5489u);
    return G;
}

size_t RunLength(std::u16string_view P, size_t I) {
    size_t N = 1;
    while (I + N < P.size() && AsciiUpper(P[I + N]) == AsciiUpper(P[I])) ++N;
    return N;
}

}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Days[Month - 1] + (Month == 2 && IsLeapYear(Year));
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Day < 1 || Day > DaysInAMonth(Year, Month)) return false;
    Date = static_cast<double>(DaysFromCivil(Year, Month, Day) + EpochShift);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime D;
    if (!TryEncodeDate(Year, Month, Day, D)) throw EConvertError("Invalid argument to date encode");
    return D;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999) return false;
    Time = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * int64_t{1000} + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime T;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, T)) throw EConvertError("Invalid argument to time encode");
    return T;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    const TDateTime D = EncodeDate(Year, Month, Day);
    const TDateTime T = EncodeTime(Hour, Min, Sec, MSec);
    return D >= 0 ? D + T : D - T;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    int64_t Days, MSecs;
    SplitDateTime(Date, Days, MSecs);
    CivilFromDays(Days - EpochShift, Year, Month, Day);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    int64_t Days, MSecs;
    SplitDateTime(Time, Days, MSecs);
    Hour = static_cast<int>(MSecs / 3600000);
    Min = static_cast<int>(MSecs / 60000 % 60);
    Sec = static_cast<int>(MSecs / 1000 % 60);
    MSec = static_cast<int>(MSecs % 1000);
}

int DayOfWeek(TDateTime Date) {
    int64_t Days, MSecs;
    SplitDateTime(Date, Days, MSecs);
    // Day 0 (1899-12-30) was a Saturday.
    return static_cast<int>(((Days + 6) % 7 + 7) % 7) + 1;
}

int DaysInMonth(TDateTime Date) {
    int Y, M, D;
    DecodeDate(Date, Y, M, D);
    return DaysInAMonth(Y, M);
}

TDateTime IncMonth(TDateTime Date, int Months) {
    int Y, M, D;
    DecodeDate(Date, Y, M, D);
    int64_t Total = int64_t{Y} * 12 + (M - 1) + Months;
    Total = std::clamp<int64_t>(Total, 12, 9999 * 12 + 11);
    Y = static_cast<int>(Total / 12);
    M = static_cast<int>(Total % 12) + 1;
    D = std::min(D, DaysInAMonth(Y, M));
    const TDateTime NewDate = EncodeDate(Y, M, D);
    const TDateTime Time = std::fabs(TimeOf(Date));
    return NewDate >= 0 ? NewDate + Time : NewDate - Time;
}

TDateTime DateOf(TDateTime Value) { return std::trunc(Value); }

TDateTime TimeOf(TDateTime Value) { return Value - std::trunc(Value); }

int64_t MilliSecondsBetween(TDateTime A, TDateTime B) {
    auto Total = [](TDateTime V) {
        int64_t Days, MSecs;
        SplitDateTime(V, Days, MSecs);
        return Days * MSecsPerDay + (V < 0 ? -MSecs : MSecs);
    };
    const int64_t D = Total(A) - Total(B);
    return D < 0 ? -D : D;
}

TDateTime Now() {
    if (NowSource()) return NowSource()();
    const auto Point = std::chrono::system_clock::now();
    const std::time_t Seconds = std::chrono::system_clock::to_time_t(Point);
    std::tm Local{};
    localtime_r(&Seconds, &Local);
    const int MSec = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Point.time_since_epoch()).count() % 1000);
    TDateTime D, T;
    if (!TryEncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday, D)) return 0;
    TryEncodeTime(Local.tm_hour, Local.tm_min, std::min(Local.tm_sec, 59), MSec, T);
    return D + T;
}

TDateTime Today() { return DateOf(Now()); }

void SetNowSource(std::function<TDateTime()> Source) { NowSource() = std::move(Source); }

String FormatDateTime(std::u16string_view P, TDateTime Value) {
    int Y, Mo, D, H, Mi, S, Ms;
    DecodeDate(Value, Y, Mo, D);
    DecodeTime(Value, H, Mi, S, Ms);
    const bool TwelveHour = HasAmPm(P);
    String Out;
    bool AfterHour = false;
    size_t I = 0;
    while (I < P.size()) {
        const char16_t C = P[I];
        if (C == u'\'' || C == u'"') {
            const size_t End = P.find(C, I + 1);
            Out += P.substr(I + 1, (End == std::u16string_view::npos ? P.size() : End) - I - 1);
            I = End == std::u16string_view::npos ? P.size() : End + 1;
            continue;
        }
        const size_t N = RunLength(P, I);
        switch (AsciiUpper(C)) {
            case u'Y':
                Out += N <= 2 ? Padded(Y % 100, 2) : Padded(Y, 4);
                AfterHour = false;
                break;
            case u'M':
                if (AfterHour)
                    Out += N == 1 ? IntToStr(Mi) : Padded(Mi, 2);
                else if (N <= 2)
                    Out += N == 1 ? IntToStr(Mo) : Padded(Mo, 2);
                else
                    Out += N == 3 ? ShortMonthNames[Mo - 1] : LongMonthNames[Mo - 1];
                AfterHour = false;
                break;
            case u'D':
                if (N <= 2)
                    Out += N == 1 ? IntToStr(D) : Padded(D, 2);
                else if (N <= 4)
                    Out += (N == 3 ? ShortDayNames : LongDayNames)[DayOfWeek(Value) - 1];
                else
                    Out += FormatDateTime(N == 5 ? ShortDateFormat : LongDateFormat, Value);
                AfterHour = false;
                break;
            case u'H': {
                int Hour = H;
                if (TwelveHour) Hour = H % 12 == 0 ? 12 : H % 12;
                Out += N == 1 ? IntToStr(Hour) : Padded(Hour, 2);
                AfterHour = true;
                break;
            }
            case u'N':
                Out += N == 1 ? IntToStr(Mi) : Padded(Mi, 2);
                AfterHour = false;
                break;
            case u'S':
                Out += N == 1 ? IntToStr(S) : Padded(S, 2);
                AfterHour = false;
                break;
            case u'Z':
                Out += N < 3 ? IntToStr(Ms) : Padded(Ms, 3);
                AfterHour = false;
                break;
            case u'T':
                Out += FormatDateTime(N == 1 ? ShortTimeFormat : LongTimeFormat, Value);
                AfterHour = false;
                break;
            case u'C':
                Out += FormatDateTime(ShortDateFormat, Value);
                if (H || Mi || S || Ms) {
                    Out += u' ';
                    Out += FormatDateTime(LongTimeFormat, Value);
                }
                AfterHour = false;
                break;
            case u'A':
                if (StartsWithText(P, I, u"am/pm")) {
                    const bool Upper = C == u'A';
                    Out += H < 12 ? (Upper ? u"AM" : u"am") : (Upper ? u"PM" : u"pm");
                    I += 5;
                    continue;
                }
                if (StartsWithText(P, I, u"a/p")) {
                    Out += H < 12 ? (C == u'A' ? u"A" : u"a") : (C == u'A' ? u"P" : u"p");
                    I += 3;
                    continue;
                }
                if (StartsWithText(P, I, u"ampm")) {
                    Out += H < 12 ? TimeAMString : TimePMString;
                    I += 4;
                    continue;
                }
                Out += P.substr(I, N);
                break;
            default:
                Out += P.substr(I, N);  // separators are '/' and ':' themselves
                break;
        }
        I += N;
    }
    return Out;
}

String DateToStr(TDateTime Value) { return FormatDateTime(ShortDateFormat, Value); }
String TimeToStr(TDateTime Value) { return FormatDateTime(LongTimeFormat, Value); }
String DateTimeToStr(TDateTime Value) { return FormatDateTime(u"c", Value); }

namespace {

// Reads up to MaxDigits decimal digits at I.
bool ReadNumber(std::u16string_view S, size_t& I, size_t MaxDigits, int& Value) {
    size_t N = 0;
    Value = 0;
    while (I < S.size() && N < MaxDigits && S[I] >= u'0' && S[I] <= u'9') {
        Value = Value * 10 + (S[I++] - u'0');
        ++N;
    }
    return N > 0;
}

void SkipBlanks(std::u16string_view S, size_t& I) {
    while (I < S.size() && IsBlank(S[I])) ++I;
}

// Two-digit years land within 50 years either side of the current year.
int ExpandYear(int Year, size_t Digits) {
    if (Digits > 2) return Year;
    int NowYear, M, D;
    DecodeDate(Now(), NowYear, M, D);
    int Result = NowYear / 100 * 100 + Year;
    if (Result < NowYear - 50) Result += 100;
    if (Result > NowYear + 50) Result -= 100;
    return Result;
}

bool ScanDate(std::u16string_view S, size_t& I, TDateTime& Date) {
    int Parts[3];
    size_t Digits[3];
    int Count = 0;
    while (Count < 3) {
        const size_t Start = I;
        if (!ReadNumber(S, I, 4, Parts[Count])) return false;
        Digits[Count++] = I - Start;
        if (I >= S.size() || S[I] != u'/') break;
        ++I;
    }
    if (Count < 2) return false;
    int Year, Month, Day;
    if (Count == 3) {
        Year = ExpandYear(Parts[0], Digits[0]);
        Month = Parts[1];
        Day = Parts[2];
    } else {
        DecodeDate(Now(), Year, Month, Day);
        Month = Parts[0];
        Day = Parts[1];
    }
    return TryEncodeDate(Year, Month, Day, Date);
}

bool ScanTime(std::u16string_view S, size_t& I, TDateTime& Time) {
    int H = 0, M = 0, Sec = 0, Ms = 0;
    if (!ReadNumber(S, I, 2, H) || I >= S.size() || S[I] != u':') return false;
    ++I;
    if (!ReadNumber(S, I, 2, M)) return false;
    if (I < S.size() && S[I] == u':') {
        ++I;
        if (!ReadNumber(S, I, 2, Sec)) return false;
        if (I < S.size() && S[I] == u'.') {
            ++I;
            const size_t Start = I;
            if (!ReadNumber(S, I, 3, Ms)) return false;
            for (size_t K = I - Start; K < 3; ++K) Ms *= 10;
        }
    }
    SkipBlanks(S, I);
    if (StartsWithText(S, I, u"AM") || StartsWithText(S, I, TimeAMString)) {
        if (H < 1 || H > 12) return false;
        H %= 12;
        I += 2;
    } else if (StartsWithText(S, I, u"PM") || StartsWithText(S, I, TimePMString)) {
        if (H < 1 || H > 12) return false;
        H = H % 12 + 12;
        I += 2;
    }
    return TryEncodeTime(H, M, Sec, Ms, Time);
}

}  // namespace

bool TryStrToDate(std::u16string_view S, TDateTime& Value) {
    size_t I = 0;
    SkipBlanks(S, I);
    TDateTime D;
    if (!ScanDate(S, I, D)) return false;
    SkipBlanks(S, I);
    if (I != S.size()) return false;
    Value = D;
    return true;
}

bool TryStrToTime(std::u16string_view S, TDateTime& Value) {
    size_t I = 0;
    SkipBlanks(S, I);
    TDateTime T;
    if (!ScanTime(S, I, T)) return false;
    SkipBlanks(S, I);
    if (I != S.size()) return false;
    Value = T;
    return true;
}

bool TryStrToDateTime(std::u16string_view S, TDateTime& Value) {
    size_t I = 0;
    SkipBlanks(S, I);
    TDateTime D = 0, T = 0;
    const size_t Start = I;
    if (!ScanDate(S, I, D)) {
        I = Start;
        D = 0;
        if (!ScanTime(S, I, T)) return false;
    } else {
        SkipBlanks(S, I);
        if (I < S.size() && !ScanTime(S, I, T)) return false;
    }
    SkipBlanks(S, I);
    if (I != S.size()) return false;
    Value = D >= 0 ? D + T : D - T;
    return true;
}

bool TryStrToDateTime(std::u16string_view S, std::u16string_view P, TDateTime& Value) {
    int Y = -1, Mo = -1, D = -1, H = 0, Mi = 0, Sec = 0, Ms = 0;
    int AmPm = -1;  // 0 am, 1 pm
    size_t YearDigits = 4;
    bool AfterHour = false;
    size_t I = 0, K = 0;
    SkipBlanks(S, I);
    auto MatchName = [&](const char16_t* const* Names, int Count, int& Index) {
        int Best = -1;
        size_t BestLen = 0;
        for (int J = 0; J < Count; ++J) {
            const std::u16string_view Name = Names[J];
            if (Name.size() > BestLen && StartsWithText(S, I, Name)) {
                Best = J;
                BestLen = Name.size();
            }
        }
        if (Best < 0) return false;
        Index = Best;
        I += BestLen;
        return true;
    };
    while (K < P.size()) {
        const char16_t C = P[K];
        if (C == u'\'' || C == u'"') {
            const size_t End = P.find(C, K + 1);
            const std::u16string_view Lit = P.substr(K + 1, (End == std::u16string_view::npos ? P.size() : End) - K - 1);
            if (S.substr(I, Lit.size()) != Lit) return false;
            I += Lit.size();
            K = End == std::u16string_view::npos ? P.size() : End + 1;
            continue;
        }
        if (IsBlank(C)) {
            // Blanks in the pattern match any run of blanks.
            if (I >= S.size() || !IsBlank(S[I])) return false;
            SkipBlanks(S, I);
            ++K;
            continue;
        }
        const size_t N = RunLength(P, K);
        const size_t Start = I;
        int Index;
        switch (AsciiUpper(C)) {
            case u'Y':
                if (!ReadNumber(S, I, N <= 2 ? 2 : 4, Y)) return false;
                YearDigits = I - Start;
                AfterHour = false;
                break;
            case u'M':
                if (AfterHour) {
                    if (!ReadNumber(S, I, 2, Mi)) return false;
                } else if (N <= 2) {
                    if (!ReadNumber(S, I, 2, Mo)) return false;
                } else {
                    if (!MatchName(N == 3 ? ShortMonthNames : LongMonthNames, 12, Index)) return false;
                    Mo = Index + 1;
                }
                AfterHour = false;
                break;
            case u'D':
                if (N <= 2) {
                    if (!ReadNumber(S, I, 2, D)) return false;
                } else if (N <= 4) {
                    if (!MatchName(N == 3 ? ShortDayNames : LongDayNames, 7, Index)) return false;
                } else {
                    return false;
                }
                AfterHour = false;
                break;
            case u'H':
                if (!ReadNumber(S, I, 2, H)) return false;
                AfterHour = true;
                break;
            case u'N':
                if (!ReadNumber(S, I, 2, Mi)) return false;
                AfterHour = false;
                break;
            case u'S':
                if (!ReadNumber(S, I, 2, Sec)) return false;
                AfterHour = false;
                break;
            case u'Z':
                if (!ReadNumber(S, I, 3, Ms)) return false;
                AfterHour = false;
                break;
            case u'A': {
                size_t Skip = 0;
                if (StartsWithText(P, K, u"am/pm")) Skip = 5;
                if (!Skip && StartsWithText(P, K, u"a/p")) Skip = 3;
                if (!Skip && StartsWithText(P, K, u"ampm")) Skip = 4;
                if (Skip) {
                    if (StartsWithText(S, I, u"am") || StartsWithText(S, I, TimeAMString)) {
                        AmPm = 0;
                    } else if (StartsWithText(S, I, u"pm") || StartsWithText(S, I, TimePMString)) {
                        AmPm = 1;
                    } else if (Skip == 3 && (StartsWithText(S, I, u"a") || StartsWithText(S, I, u"p"))) {
                        AmPm = AsciiUpper(S[I]) == u'P';
                        I += 1;
                        K += Skip;
                        continue;
                    } else {
                        return false;
                    }
                    I += 2;
                    K += Skip;
                    continue;
                }
                [[fallthrough]];
            }
            default:
                if (S.substr(I, N) != P.substr(K, N)) return false;
                I += N;
                break;
        }
        K += N;
    }
    SkipBlanks(S, I);
    if (I != S.size()) return false;
    if (AmPm >= 0) {
        if (H < 1 || H > 12) return false;
        H = H % 12 + (AmPm == 1 ? 12 : 0);
    }
    TDateTime Date = 0, Time = 0;
    if (Y >= 0 || Mo >= 0 || D >= 0) {
        int NowY, NowM, NowD;
        DecodeDate(Now(), NowY, NowM, NowD);
        if (!TryEncodeDate(Y >= 0 ? ExpandYear(Y, YearDigits) : NowY, Mo >= 0 ? Mo : 1, D >= 0 ? D : 1, Date))
            return false;
    }
    if (!TryEncodeTime(H, Mi, Sec, Ms, Time)) return false;
    Value = Date >= 0 ? Date + Time : Date - Time;
    return true;
}

// ---- Random numbers -------------------------------------------------------------------

int Random(int Range) {
    if (Range <= 0) return 0;
    return static_cast<int>((uint64_t{Generator()()} * static_cast<uint64_t>(Range)) >> 32);
}

double RandomFloat() { return Generator()() / 4294967296.0; }

void Randomize() {
    const auto Ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    Generator().seed(static_cast<uint32_t>(Ticks ^ (Ticks >> 32)));
}

void RandSeed(uint32_t Seed) { Generator().seed(Seed); }
