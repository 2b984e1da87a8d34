#include "platform/uQvStrUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
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

int CompareStr(std::u16string_view A, std::u16string_view B) { return Sign(A.compare(B)); }

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
