#include <gtest/gtest.h>

#include <climits>

#include "platform/uQvBase.h"
#include "platform/uQvColor.h"
#include "platform/uQvGeometry.h"
#include "platform/uQvHandles.h"
#include "platform/uQvResources.h"

TEST(Utf, RoundTripsMixedText) {
    const String Text = u"确定 OK \U0001F600 &x";
    EXPECT_EQ(Utf8ToString(StringToUtf8(Text)), Text);
    EXPECT_EQ(StringToUtf8(u"微软雅黑"), "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91");
    EXPECT_EQ(Utf8ToString("\xF0\x9F\x98\x80").size(), 2u);  // one supplementary char, two units
}

TEST(Utf, InvalidInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToString("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToString("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong '/'
    EXPECT_EQ(Utf8ToString("\xED\xA0\x80"), u"\uFFFD");             // encoded surrogate
    EXPECT_EQ(Utf8ToString("\xE4\xBD" "A"), u"\uFFFDA");            // truncated, resumes at 'A'
    EXPECT_EQ(Utf8ToString("\xE4\xBD"), u"\uFFFD");                 // truncated at the end
    EXPECT_EQ(Utf8ToString("\xF4\x90\x80\x80"), u"\uFFFD");         // above U+10FFFF
    EXPECT_EQ(StringToUtf8(String(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");  // lone surrogate
    EXPECT_EQ(StringToUtf8(String(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(Numbers, RoundHalfEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(1e300), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-1e300), INT_MIN);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven64(4294967296.5), 4294967296LL);
}

TEST(Numbers, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(35, 144, 96), 53);
    EXPECT_EQ(MulDiv(1, 144, 96), 2);
    EXPECT_EQ(MulDiv(-1, 144, 96), -2);
    EXPECT_EQ(MulDiv(27, 144, 96), 41);
    EXPECT_EQ(MulDiv(1, -144, 96), -2);
    EXPECT_EQ(MulDiv(-1, -144, -96), -2);
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(4, 1, 3), 1);
    EXPECT_EQ(MulDiv(7, 0, 3), 0);
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, 1), -1);               // result outside 32 bits
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);    // 64-bit product is kept
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
}

enum TShiftKey { ssShift, ssAlt, ssCtrl, ssLeft };

TEST(Sets, BehaveLikeTheOriginalsSets) {
    TSet<TShiftKey> S{ssShift, ssCtrl};
    EXPECT_TRUE(S.Contains(ssShift));
    EXPECT_FALSE(S.Contains(ssAlt));
    S.Include(ssAlt).Exclude(ssShift);
    EXPECT_EQ(S, (TSet<TShiftKey>{ssAlt, ssCtrl}));
    EXPECT_EQ(S * (TSet<TShiftKey>{ssCtrl, ssLeft}), TSet<TShiftKey>{ssCtrl});
    EXPECT_EQ(S - ssCtrl, TSet<TShiftKey>{ssAlt});
    EXPECT_TRUE(TSet<TShiftKey>{ssAlt}.SubsetOf(S));
    EXPECT_FALSE(S.SubsetOf(TSet<TShiftKey>{ssAlt}));
    EXPECT_TRUE(TSet<TShiftKey>{}.Empty());
}

TEST(Errors, CarryTheirTextInBothForms) {
    const EQvError E(String(u"Invalid SrcRect 无效"));
    EXPECT_STREQ(E.what(), "Invalid SrcRect \xE6\x97\xA0\xE6\x95\x88");
    EXPECT_EQ(E.Message(), u"Invalid SrcRect 无效");
}

TEST(Geometry, RectanglesFollowThePlatformRules) {
    const TRect R = Rect(10, 20, 30, 40);
    EXPECT_TRUE(PtInRect(R, Point(10, 20)));
    EXPECT_FALSE(PtInRect(R, Point(30, 25)));
    EXPECT_FALSE(PtInRect(R, Point(15, 40)));
    EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 5, 10)));
    EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 4, 10)));

    TRect Out = Rect(1, 2, 3, 4);
    EXPECT_FALSE(IntersectRect(Out, R, Rect(30, 20, 50, 40)));  // touching edges share nothing
    EXPECT_EQ(Out, TRect{});
    EXPECT_TRUE(IntersectRect(Out, R, Rect(25, 0, 50, 35)));
    EXPECT_EQ(Out, Rect(25, 20, 30, 35));

    EXPECT_TRUE(UnionRect(Out, Rect(0, 0, 0, 0), R));  // empty rectangles are ignored
    EXPECT_EQ(Out, R);
    EXPECT_TRUE(UnionRect(Out, R, Rect(-5, 25, 0, 50)));
    EXPECT_EQ(Out, Rect(-5, 20, 30, 50));
    EXPECT_FALSE(UnionRect(Out, Rect(3, 3, 3, 3), Rect(1, 1, 0, 0)));
    EXPECT_EQ(Out, TRect{});

    EXPECT_EQ(CenterPoint(Rect(-3, -3, 0, 0)), Point(-1, -1));  // truncating halving
    EXPECT_EQ(Bounds(5, 6, 7, 8), Rect(5, 6, 12, 14));
}

TEST(Colors, SystemColorsResolve) {
    EXPECT_EQ(clBtnFace, static_cast<TColor>(0xFF00000F));
    EXPECT_LT(clBtnFace, 0);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
    EXPECT_EQ(ColorToRGB(clHighlight), 0xD77800u);
    EXPECT_EQ(ColorToRGB(clInfoBk), 0xE1FFFFu);
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);  // not a system colour: passes through
    EXPECT_EQ(GetSysColor(25), 0u);
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
}

TEST(Colors, NamesMatchWithoutRegardToCase) {
    TColor C = 0;
    EXPECT_TRUE(IdentToColor(u"CLWHITE", C));
    EXPECT_EQ(C, clWhite);
    EXPECT_TRUE(IdentToColor(u"clbtnface", C));
    EXPECT_EQ(C, clBtnFace);
    EXPECT_FALSE(IdentToColor(u"clWhitish", C));
    String Name;
    EXPECT_TRUE(ColorToIdent(clSilver, Name));
    EXPECT_EQ(Name, u"clSilver");
    EXPECT_FALSE(ColorToIdent(0x123456, Name));
}

TEST(Resources, UnknownNamesAreNotFound) {
    EXPECT_EQ(FindQvResource("NO_SUCH_RESOURCE"), nullptr);
}

TEST(Resources, CompiledInFilesAreFoundByNameWithoutRegardToCase) {
    const TQvResource* R = FindQvResource("qv_test_text");
    ASSERT_NE(R, nullptr);
    EXPECT_STREQ(R->Name, "QV_TEST_TEXT");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(R->Data), R->Size), "Pellux resource\n");
    EXPECT_EQ(AllQvResources().size(), 1u);
}

TEST(Handles, PackedPointsAreSignExtended) {
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(-5, 7)), -5);
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(-5, -32768)), -32768);
    EXPECT_EQ(LOWORD(0x12345678u), 0x5678);
    EXPECT_EQ(HIWORD(0x12345678u), 0x1234);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, -120)), -120);
}
