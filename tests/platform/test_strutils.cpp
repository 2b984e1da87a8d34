#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>

#include "platform/uQvCodePages.h"
#include "platform/uQvColor.h"
#include "platform/uQvRandom.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvUnicodeCase.h"

TEST(StrUtilsIntegers, AcceptsBlanksSignsAndBothHexPrefixes) {
    int V = 0;
    EXPECT_TRUE(TryStrToInt(u"  42", V) && V == 42);
    EXPECT_TRUE(TryStrToInt(u"-17", V) && V == -17);
    EXPECT_TRUE(TryStrToInt(u"+7", V) && V == 7);
    EXPECT_TRUE(TryStrToInt(u"$ff", V) && V == 255);
    EXPECT_TRUE(TryStrToInt(u"0x1F", V) && V == 31);
    EXPECT_TRUE(TryStrToInt(u"0X10", V) && V == 16);
    EXPECT_TRUE(TryStrToInt(u"-$10", V) && V == -16);
    EXPECT_TRUE(TryStrToInt(u"$FFFFFFFF", V) && V == -1);  // hexadecimal takes all 32 bits
    EXPECT_TRUE(TryStrToInt(u"2147483647", V) && V == 2147483647);
    EXPECT_TRUE(TryStrToInt(u"-2147483648", V) && V == std::numeric_limits<int>::min());
}

TEST(StrUtilsIntegers, RejectsEverythingElseAndLeavesTheValue) {
    for (const char16_t* Bad : {u"", u" ", u"2147483648", u"-2147483649", u"12 ", u"1a", u"--1", u"$", u"0x",
                                u"$100000000", u"1.0", u"\uFF11", u"abc", u"+", u"99999999999999999999"}) {
        int V = 1234;
        EXPECT_FALSE(TryStrToInt(Bad, V)) << StringToUtf8(Bad);
        EXPECT_EQ(V, 1234);
    }
    EXPECT_EQ(StrToIntDef(u"abc", 1433), 1433);
    int64_t W = 0;
    EXPECT_TRUE(TryStrToInt64(u"-9223372036854775808", W) && W == std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", W));
    try {
        StrToInt(u"12x");
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "'12x' is not a valid integer value");
    }
    EXPECT_EQ(IntToStr(-5), u"-5");
    EXPECT_EQ(IntToStr(int64_t{1} << 40), u"1099511627776");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
}

TEST(StrUtilsFloats, ParsesOnlyThePlainDecimalGrammar) {
    double V = 0;
    EXPECT_TRUE(TryStrToFloat(u" 1.5 ", V) && V == 1.5);
    EXPECT_TRUE(TryStrToFloat(u"-2.5e3", V) && V == -2500);
    EXPECT_TRUE(TryStrToFloat(u".5", V) && V == 0.5);
    EXPECT_TRUE(TryStrToFloat(u"5.", V) && V == 5);
    EXPECT_TRUE(TryStrToFloat(u"1E-400", V) && V == 0);
    for (const char16_t* Bad : {u"", u"1,5", u"1e", u"inf", u"nan", u"0x10", u"1e999", u"--1", u".", u"1.2.3"}) {
        V = 7;
        EXPECT_FALSE(TryStrToFloat(Bad, V)) << StringToUtf8(Bad);
        EXPECT_EQ(V, 7);
    }
    try {
        StrToFloat(u"x");
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "'x' is not a valid floating point value");
    }
}

TEST(StrUtilsFloats, FloatToStrUsesFifteenDigitsAndExponentOutsideTheRange) {
    EXPECT_EQ(FloatToStr(12345.0), u"12345");
    EXPECT_EQ(FloatToStr(0.1), u"0.1");
    EXPECT_EQ(FloatToStr(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), u"0.666666666666667");
    EXPECT_EQ(FloatToStr(-2.5), u"-2.5");
    EXPECT_EQ(FloatToStr(0.0), u"0");
    EXPECT_EQ(FloatToStr(123456789012345.0), u"123456789012345");
    EXPECT_EQ(FloatToStr(1e15), u"1E15");
    EXPECT_EQ(FloatToStr(1e-5), u"0.00001");
    EXPECT_EQ(FloatToStr(1.5e-6), u"1.5E-6");
    EXPECT_EQ(FloatToStr(-1.25e300), u"-1.25E300");
    EXPECT_EQ(FloatToStr(9.9999999999999999e14), u"1E15");  // rounding carries into the exponent
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), u"INF");
}

TEST(StrUtilsFormat, IntegersHexAndStrings) {
    EXPECT_EQ(Format(u"%d items", {3}), u"3 items");
    EXPECT_EQ(Format(u"%.5d", {-42}), u"-00042");
    EXPECT_EQ(Format(u"%x|%.4x|%X", {255, 10, -1}), u"FF|000A|FFFFFFFF");
    EXPECT_EQ(Format(u"%u", {-1}), u"4294967295");
    EXPECT_EQ(Format(u"[%5s|%-5s|%.2s]", {u"ab", u"cd", u"xyz"}), u"[   ab|cd   |xy]");
    EXPECT_EQ(Format(u"%1:s-%0:s-%s", {u"a", u"b"}), u"b-a-b");
    EXPECT_EQ(Format(u"模拟系统初始化进度...(%d%%)", {100}), u"模拟系统初始化进度...(100%)");
    EXPECT_EQ(Format(u"%d", {int64_t{1} << 40}), u"1099511627776");
}

TEST(StrUtilsFormat, FixedPointRoundsTheDecimalExpansionHalfAwayFromZero) {
    EXPECT_EQ(Format(u"%.2f", {1.125}), u"1.13");     // exactly representable half
    EXPECT_EQ(Format(u"%.2f", {-1.125}), u"-1.13");
    EXPECT_EQ(Format(u"%.2f", {2.675}), u"2.67");     // 2.67499999999999982...
    EXPECT_EQ(Format(u"%.0f", {0.5}), u"1");
    EXPECT_EQ(Format(u"%.0f", {2.5}), u"3");
    EXPECT_EQ(Format(u"%.3f", {0.0004}), u"0.000");
    EXPECT_EQ(Format(u"%.3f", {0.0005}), u"0.001");
    EXPECT_EQ(Format(u"%.1f", {99.96}), u"100.0");
    EXPECT_EQ(Format(u"%f", {3}), u"3.00");
    EXPECT_EQ(Format(u"%.2f", {1e20}), u"100000000000000000000.00");
    EXPECT_EQ(Format(u"%n", {1234567.891}), u"1,234,567.89");
    EXPECT_EQ(Format(u"%e", {1234.5}), u"1.23450000000000E+003");
    EXPECT_EQ(Format(u"%.3e", {-0.000123456}), u"-1.23E-004");
    EXPECT_EQ(Format(u"%g", {0.5}), u"0.5");
}

TEST(StrUtilsFormat, MismatchedOrMissingArgumentsRaise) {
    for (const char16_t* Bad : {u"%d", u"%s", u"%z", u"%.f", u"%"}) {
        EXPECT_THROW(Format(Bad, {u"text"}) + Format(Bad, {1.5}), EConvertError) << StringToUtf8(Bad);
    }
    EXPECT_THROW(Format(u"%d %d", {1}), EConvertError);
    try {
        Format(u"%d", {u"x"});
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Format '%d' invalid or incompatible with argument");
    }
}

TEST(StrUtilsText, TrimAndAsciiCaseRules) {
    EXPECT_EQ(Trim(u"\t a b \n\r"), u"a b");
    EXPECT_EQ(Trim(String(u"\0x\0", 3)), u"x");
    EXPECT_EQ(TrimLeft(u"  x "), u"x ");
    EXPECT_EQ(TrimRight(u"  x "), u"  x");
    EXPECT_EQ(Trim(u"\u3000x"), u"\u3000x");  // only characters up to U+0020
    EXPECT_EQ(UpperCase(u"abcé"), u"ABCé");
    EXPECT_EQ(LowerCase(u"ABCÉ"), u"abcÉ");
    EXPECT_LT(CompareText(u"a", u"B"), 0);
    EXPECT_GT(CompareText(u"_", u"a"), 0);  // compared as upper case: '_' follows 'A'
    EXPECT_LT(CompareText(u"ab", u"ABC"), 0);
    EXPECT_TRUE(SameText(u"ServerPort", u"SERVERPORT"));
    EXPECT_FALSE(SameText(u"é", u"É"));
    EXPECT_TRUE(SameText(std::string_view("Qv_Test_TEXT"), "qv_test_text"));  // UTF-8 names alike
    EXPECT_FALSE(SameText(std::string_view("\xC3\xA9"), "\xC3\x89"));
    EXPECT_EQ(StringReplace(u"a-b-c", u"-", u"+"), u"a+b+c");
    EXPECT_EQ(StringReplace(u"aXbx", u"x", u"_", false, true), u"a_bx");
}

TEST(UnicodeCase, UnicodeSimpleCaseMapping) {
    EXPECT_EQ(AnsiUpperCase(u"abcéßǆ"), u"ABCÉßǄ");  // ß has no single-character upper case
    EXPECT_EQ(AnsiUpperCase(u"ᾀ"), u"ᾈ");
    EXPECT_EQ(AnsiUpperCase(u"привет ǳ"), u"ПРИВЕТ Ǳ");
    EXPECT_EQ(AnsiLowerCase(u"ĀĂİΣ"), u"āăiσ");
    EXPECT_EQ(AnsiUpperCase(u"\U00010428"), u"\U00010400");  // outside the BMP
    EXPECT_EQ(AnsiUpperCase(u"ａｂ确定"), u"ＡＢ确定");
    EXPECT_EQ(AnsiCompareText(u"éCOLE", u"École"), 0);
    EXPECT_TRUE(AnsiSameText(u"ΣΊΣΥΦΟΣ", u"σίσυφοσ"));
    EXPECT_LT(AnsiCompareStr(u"B", u"a"), 0);  // code-unit order, case-sensitive
}

TEST(ColorNames, NamesNumbersAndHexadecimal) {
    EXPECT_EQ(StringToColor(u"clWhite"), clWhite);
    EXPECT_EQ(StringToColor(u"CLWHITE"), clWhite);
    EXPECT_EQ(StringToColor(u"$0000FF"), clRed);
    EXPECT_EQ(StringToColor(u"14454598"), 14454598);
    EXPECT_EQ(StringToColor(u"clBtnFace"), clBtnFace);
    EXPECT_THROW(StringToColor(u"#FF0000"), EConvertError);
    EXPECT_EQ(ColorToString(clRed), u"clRed");
    EXPECT_EQ(ColorToString(0x123456), u"$00123456");
    EXPECT_EQ(ColorToString(SysColor(25)), u"$FF000019");
    TColor C = 5;
    EXPECT_FALSE(TryStringToColor(u"clNothing", C));
    EXPECT_EQ(C, 5);
}


TEST(Random, SeededSequencesRepeatAndStayInRange) {
    RandSeed(42);
    int First[8];
    for (int& V : First) V = Random(1000);
    RandSeed(42);
    for (int V : First) EXPECT_EQ(Random(1000), V);
    for (int I = 0; I < 1000; ++I) {
        const int V = Random(7);
        ASSERT_TRUE(V >= 0 && V < 7);
        const double F = RandomFloat();
        ASSERT_TRUE(F >= 0 && F < 1);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
}

TEST(CodePages, GbkWithQuestionMarksForTheRest) {
    EXPECT_EQ(GetACP(), 936);
    EXPECT_EQ(StringToCodePage(u"确定A"), "\xC8\xB7\xB6\xA8" "A");
    EXPECT_EQ(StringToCodePage(u"a\u0E01b\U0001F600c"), "a?b?c");  // a Thai letter, an emoji
    EXPECT_EQ(StringToCodePage(String(1, u'\xD800') + u"x"), "?x");    // a lone surrogate
    EXPECT_EQ(CodePageToString("\xC8\xB7\xB6\xA8"), u"确定");
    EXPECT_EQ(CodePageToString("a\xFF" "b\xC8"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(StringToCodePage(u"确", 65001), "\xE7\xA1\xAE");
}
