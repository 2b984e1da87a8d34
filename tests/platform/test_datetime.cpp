#include <gtest/gtest.h>

#include "platform/uQvDateTime.h"
#include "platform/uQvStrUtils.h"

TEST(DateTime, EncodeDecodeAndCalendarArithmetic) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(2024, 3, 5), 45356);
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Invalid argument to date encode");
    }
    TDateTime D = 5;
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, D));
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1, D));
    EXPECT_EQ(D, 5);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    // Every 97th day from year 1 to 9999 comes back as it went in.
    for (TDateTime Day = -693593; Day <= 2958465; Day += 97) {
        int Y, M, Dd;
        DecodeDate(Day, Y, M, Dd);
        ASSERT_EQ(EncodeDate(Y, M, Dd), Day) << Day;
    }
    int H, Mi, S, Ms;
    DecodeTime(EncodeDateTime(2024, 3, 5, 23, 59, 59, 999), H, Mi, S, Ms);
    EXPECT_EQ(H * 10000000 + Mi * 100000 + S * 1000 + Ms, 235959999);
    int Y, M, Dd;
    DecodeDate(45356.9999999999, Y, M, Dd);  // rounds up into the next day
    EXPECT_EQ(Dd, 6);
    DecodeDate(-1.25, Y, M, Dd);  // negative values count back, time stays positive
    DecodeTime(-1.25, H, Mi, S, Ms);
    EXPECT_EQ(Dd * 100 + H, 2906);

    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5)), 3);  // Tuesday
    EXPECT_EQ(DayOfWeek(0), 7);
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
    EXPECT_EQ(DaysInAMonth(2000, 2), 29);
    EXPECT_EQ(DaysInAMonth(1900, 2), 28);
    EXPECT_EQ(DaysInAMonth(2024, 13), 0);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31)), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 12, 15) + 0.25, 1), EncodeDate(2025, 1, 15) + 0.25);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -13), EncodeDate(2023, 2, 28));
    EXPECT_EQ(MilliSecondsBetween(EncodeTime(0, 0, 1, 500), EncodeTime(0, 0, 0, 250)), 1250);
    EXPECT_EQ(MilliSecondsBetween(45356.5, 45357.0), 43200000);
}

TEST(DateTime, FormattingWithTheFixedSettings) {
    const TDateTime T = EncodeDateTime(2024, 3, 5, 13, 4, 5, 7);
    EXPECT_EQ(FormatDateTime(u"yyyy/mm/dd", T), u"2024/03/05");
    EXPECT_EQ(FormatDateTime(u"HH:MM:SS", T), u"13:04:05");  // mm after hh is minutes
    EXPECT_EQ(FormatDateTime(u"yy-m-d h:n:s.zzz", T), u"24-3-5 13:4:5.007");
    EXPECT_EQ(FormatDateTime(u"dddd mmmm ddd mmm", T), u"星期二 三月 周二 3月");
    EXPECT_EQ(FormatDateTime(u"yyyy'年'\"mm\"", T), u"2024年mm");
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm|A/P|ampm", T), u"1:04 pm|P|下午");
    EXPECT_EQ(FormatDateTime(u"c", T), u"2024/3/5 13:04:05");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), u"2024/3/5");
    EXPECT_EQ(DateToStr(T) + u" " + TimeToStr(T), u"2024/3/5 13:04:05");
    EXPECT_EQ(FormatDateTime(u"ddddd|dddddd|t", T), u"2024/3/5|2024年3月5日|13:04");
}

TEST(DateTime, ParsingWithSettingsAndPatterns) {
    SetNowSource([] { return EncodeDateTime(2024, 6, 1, 9, 0, 0, 0); });
    TDateTime V = 0;
    ASSERT_TRUE(TryStrToDateTime(u" 2024/3/5 13:04:05 ", V));
    EXPECT_EQ(V, EncodeDateTime(2024, 3, 5, 13, 4, 5, 0));
    ASSERT_TRUE(TryStrToDateTime(u"2024/3/5", V));
    EXPECT_EQ(V, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToDateTime(u"1:30 PM", V));
    EXPECT_EQ(V, EncodeTime(13, 30, 0, 0));
    ASSERT_TRUE(TryStrToDate(u"99/12/31", V));  // two-digit years stay within 50 years of now
    EXPECT_EQ(V, EncodeDate(1999, 12, 31));
    ASSERT_TRUE(TryStrToDate(u"3/5", V));  // this year
    EXPECT_EQ(V, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToTime(u"13:04:05.25", V));
    EXPECT_EQ(V, EncodeTime(13, 4, 5, 250));
    V = 7;
    for (const char16_t* Bad : {u"", u"2024/2/30", u"2024-03-05", u"25:00", u"2024/3/5 x", u"13:04:05pm"})
        EXPECT_FALSE(TryStrToDateTime(Bad, V)) << StringToUtf8(Bad);
    EXPECT_EQ(V, 7);

    ASSERT_TRUE(TryStrToDateTime(u"2024/03/05", u"yyyy/mm/dd", V));
    EXPECT_EQ(V, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToDateTime(u"05.03.2024  07:08", u"dd.mm.yyyy hh:mm", V));
    EXPECT_EQ(V, EncodeDateTime(2024, 3, 5, 7, 8, 0, 0));
    ASSERT_TRUE(TryStrToDateTime(u"2024年三月5日 下午3点", u"yyyy'年'mmmmd'日' ampmh'点'", V));
    EXPECT_EQ(V, EncodeDateTime(2024, 3, 5, 15, 0, 0, 0));
    EXPECT_FALSE(TryStrToDateTime(u"2024-03-05", u"yyyy/mm/dd", V));
    EXPECT_FALSE(TryStrToDateTime(u"2024/02/30", u"yyyy/mm/dd", V));
    EXPECT_FALSE(TryStrToDateTime(u"2024/03/05 junk", u"yyyy/mm/dd", V));
    EXPECT_EQ(Today(), EncodeDate(2024, 6, 1));
    SetNowSource(nullptr);
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}
