#include "platform/uQvDateTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/uQvStrUtils.h"

namespace {

bool IsBlank(char16_t C) { return C == u' ' || C == u'\t'; }

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
