#pragma once
// String and number helpers every layer uses: conversions with the fixed format settings
// ('.' decimal separator, never the process locale), Format, trimming and case rules.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "platform/uQvBase.h"
#include "platform/uQvColor.h"

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
int CompareText(std::u16string_view A, std::u16string_view B);
bool SameText(std::u16string_view A, std::u16string_view B);
// Code-unit order, case-sensitive.
int CompareStr(std::u16string_view A, std::u16string_view B);

// Unicode simple case mapping (one character to one character).
String AnsiUpperCase(std::u16string_view S);
String AnsiLowerCase(std::u16string_view S);
char32_t UnicodeUpper(char32_t C);
char32_t UnicodeLower(char32_t C);
// Case-insensitive through the simple upper-case mapping, then code-unit order.
int AnsiCompareText(std::u16string_view A, std::u16string_view B);
bool AnsiSameText(std::u16string_view A, std::u16string_view B);
// Wide-string order is UTF-16 code-unit order, case-sensitive.
int AnsiCompareStr(std::u16string_view A, std::u16string_view B);

// Replaces every (or the first) occurrence of From; IgnoreCase compares ASCII-insensitively.
String StringReplace(std::u16string_view S, std::u16string_view From, std::u16string_view To,
                     bool All = true, bool IgnoreCase = false);

// ---- Code pages ---------------------------------------------------------------------

// The code page of the program's narrow text: 936 (GBK).
int GetACP();
// UTF-16 to a code page (936, those iconv knows by "CP<n>" and those of uQvCodePageNames);
// characters the code page cannot hold become '?'. An unknown code page gives UTF-8.
std::string StringToCodePage(std::u16string_view S, int CodePage = 936);
// Bytes of a code page to UTF-16; bytes that do not decode become U+FFFD.
String CodePageToString(std::string_view Bytes, int CodePage = 936);

// ---- Colours --------------------------------------------------------------------------

// A colour name ("clWhite", any ASCII case), a decimal number or "$" hexadecimal in
// 0x00BBGGRR; anything else raises EConvertError.
TColor StringToColor(std::u16string_view S);
bool TryStringToColor(std::u16string_view S, TColor& Color);
// The colour's name when it has one, else "$" and eight hexadecimal digits.
String ColorToString(TColor Color);

// ---- Dates and times ------------------------------------------------------------------

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

bool IsLeapYear(int Year);
// 0 for a month outside 1..12.
int DaysInAMonth(int Year, int Month);
// Years 1..9999. EncodeDate/EncodeTime raise EConvertError "Invalid argument to date
// encode" / "Invalid argument to time encode".
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime Date);
int DaysInMonth(TDateTime Date);
// The same day (clamped to the month's end) and time, Months later or earlier.
TDateTime IncMonth(TDateTime Date, int Months = 1);
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);
// Whole milliseconds between the two, never negative.
int64_t MilliSecondsBetween(TDateTime A, TDateTime B);

// The local date and time; the clock can be replaced (a virtual clock in tests).
TDateTime Now();
TDateTime Today();
void SetNowSource(std::function<TDateTime()> Source);

// Patterns: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes right after h/hh), yy yyyy,
// h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, '/' and ':' separators, quoted text.
// Letters match in either case. Fixed settings: short date "yyyy/M/d", long time "H:mm:ss".
String FormatDateTime(std::u16string_view Pattern, TDateTime Value);
String DateToStr(TDateTime Value);
String TimeToStr(TDateTime Value);
// The time is left out when it is midnight.
String DateTimeToStr(TDateTime Value);
// "2024/3/5", "2024/3/5 13:04[:05[.250]]", "13:04" (two-digit years land within 50 years
// of now); blanks around are allowed.
bool TryStrToDateTime(std::u16string_view S, TDateTime& Value);
bool TryStrToDate(std::u16string_view S, TDateTime& Value);
bool TryStrToTime(std::u16string_view S, TDateTime& Value);
// Reads S laid out as Pattern (the FormatDateTime patterns with numeric fields).
bool TryStrToDateTime(std::u16string_view S, std::u16string_view Pattern, TDateTime& Value);

// ---- Random numbers -------------------------------------------------------------------

// An integer in [0, Range); 0 when Range <= 0.
int Random(int Range);
// A number in [0, 1).
double RandomFloat();
void Randomize();
// A fixed seed, so tests repeat.
void RandSeed(uint32_t Seed);
