#pragma once
// Number text and string helpers every layer uses: conversions with the fixed format
// settings ('.' decimal separator, never the process locale), Format, trimming and the
// ASCII case rules. CompareText and SameText live in the base unit.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "platform/uQvBase.h"

// A text that does not convert, or a Format that does not fit its arguments.
class EConvertError : public EQvError {
public:
    using EQvError::EQvError;
};

// ---- Integers -------------------------------------------------------------------------

String IntToStr(int Value);
String IntToStr(int64_t Value);
// Upper-case hexadecimal, zero-padded to at least Digits digits.
String IntToHex(int64_t Value, int Digits);

// Optional leading blanks, an optional sign, then decimal digits or '$'/"0x" hexadecimal.
// Anything else (empty text, trailing characters, a value outside 32 bits) fails.
// Hexadecimal takes the full 32 bits ("$FFFFFFFF" is -1), as stored values rely on.
bool TryStrToInt(std::u16string_view S, int& Value);
bool TryStrToInt64(std::u16string_view S, int64_t& Value);
// Raises EConvertError "'%s' is not a valid integer value".
int StrToInt(std::u16string_view S);
int64_t StrToInt64(std::u16string_view S);
int StrToIntDef(std::u16string_view S, int Default);
int64_t StrToInt64Def(std::u16string_view S, int64_t Default);

// ---- Floating point -------------------------------------------------------------------

// '.' decimal separator, optional exponent, blanks around the number allowed.
bool TryStrToFloat(std::u16string_view S, double& Value);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::u16string_view S);
double StrToFloatDef(std::u16string_view S, double Default);
// Up to 15 significant digits without trailing zeros; exponent form ("1.5E20", "1E-6")
// outside 1e-5 <= |x| < 1e15.
String FloatToStr(double Value);

// ---- Format ---------------------------------------------------------------------------

// One argument of Format: an integer, a floating-point value or a text.
class TFormatArg {
public:
    enum TKind { fkInt, fkFloat, fkString };

    template <typename T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char16_t>)
    TFormatArg(T V) : FKind(fkInt), FInt(static_cast<int64_t>(V)), FIs64(sizeof(T) > 4) {}
    TFormatArg(double V) : FKind(fkFloat), FFloat(V) {}
    TFormatArg(float V) : FKind(fkFloat), FFloat(V) {}
    TFormatArg(std::u16string_view V) : FKind(fkString), FText(V) {}
    TFormatArg(const String& V) : FKind(fkString), FText(V) {}
    TFormatArg(const char16_t* V) : FKind(fkString), FText(V) {}

    TKind Kind() const { return FKind; }
    int64_t AsInt() const { return FInt; }
    bool Is64() const { return FIs64; }
    double AsFloat() const { return FFloat; }
    std::u16string_view AsText() const { return FText; }

private:
    TKind FKind;
    int64_t FInt = 0;
    bool FIs64 = false;
    double FFloat = 0;
    std::u16string_view FText;
};

// "%" ["-"] [width] ["." precision] type, with the types d (precision = minimum digits,
// zero-padded), u, x (upper-case hexadecimal), s (precision = maximum length),
// f, n (thousands separators), e, g, and "%%". A conversion that does not fit its argument,
// or a missing argument, raises EConvertError "Format '%s' invalid or incompatible with
// argument". %.Nf rounds the 17-significant-digit decimal expansion half away from zero.
String Format(std::u16string_view Fmt, std::initializer_list<TFormatArg> Args);

// ---- Text -----------------------------------------------------------------------------

// Removes characters <= U+0020 at the ends.
String Trim(std::u16string_view S);
String TrimLeft(std::u16string_view S);
String TrimRight(std::u16string_view S);

// ASCII-only case rules.
String UpperCase(std::u16string_view S);
String LowerCase(std::u16string_view S);
// Code-unit order, case-sensitive.
int CompareStr(std::u16string_view A, std::u16string_view B);

// Replaces every (or the first) occurrence of From; IgnoreCase compares ASCII-insensitively.
String StringReplace(std::u16string_view S, std::u16string_view From, std::u16string_view To,
                     bool All = true, bool IgnoreCase = false);
