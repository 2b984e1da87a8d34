#pragma once
// Dates and times: TDateTime values, the calendar, the clock and their text forms with the
// fixed settings (Chinese day and month names, short date "yyyy/M/d").

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/uQvBase.h"

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
