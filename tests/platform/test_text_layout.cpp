// Layout of text in a rectangle with a fixed-pitch measure: Latin units 10 pixels wide,
// ideographs 20, line height 16, so every position below is exact.
#include <gtest/gtest.h>

#include "platform/uQvDrawText.h"

namespace {

void FixedAdvances(std::u16string_view Text, std::vector<int>& Out) {
    Out.assign(Text.size(), 0);
    for (size_t I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I];
        if (C >= 0xDC00 && C <= 0xDFFF) continue;  // second half of a pair
        Out[I] = (C >= 0x2E80 || (C >= 0xD800 && C <= 0xDBFF)) ? 20 : 10;
    }
}

constexpr int LH = 16;

TQvTextLayout Layout(std::u16string_view Text, TRect R, UINT Format) {
    TQvTextLayout L;
    QvLayoutText(Text, R, Format, LH, FixedAdvances, L);
    return L;
}

std::vector<String> Texts(const TQvTextLayout& L) {
    std::vector<String> T;
    for (const auto& Line : L.Lines) T.push_back(Line.Text);
    return T;
}

}  // namespace

TEST(TextLayout, LineBreaksAndSingleLine) {
    auto L = Layout(u"ab\r\ncd\ref\ngh\n", Rect(0, 0, 100, 100), DT_LEFT);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"ab", u"cd", u"ef", u"gh"}));  // final break adds none
    EXPECT_EQ(L.Result, 4 * LH);
    EXPECT_EQ(L.Lines[2].Y, 2 * LH);

    L = Layout(u"ab\r\ncd", Rect(0, 0, 100, 100), DT_SINGLELINE);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"abcd"}));  // breaks draw as nothing
    L = Layout(u"a\tb", Rect(0, 0, 100, 100), DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(L.Lines[0].Text, u"a b");
    EXPECT_EQ(L.Lines[0].Width, 30);
}

TEST(TextLayout, AlignmentAndVerticalCentring) {
    const TRect R = Rect(10, 20, 111, 61);  // 101 x 41
    auto L = Layout(u"abc", R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(L.Lines[0].X, 10 + (101 - 30) / 2);
    EXPECT_EQ(L.Lines[0].Y, 20 + (41 - LH) / 2);
    EXPECT_EQ(L.Result, L.Lines[0].Y + LH - 20);  // offset to the bottom of the text

    L = Layout(u"abc", R, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(L.Lines[0].X, 111 - 30);
    EXPECT_EQ(L.Lines[0].Y, 61 - LH);
    EXPECT_EQ(L.Result, 41);

    // Vertical placement needs a single line; multi-line text starts at the top.
    L = Layout(u"a\nb", R, DT_VCENTER | DT_BOTTOM);
    EXPECT_EQ(L.Lines[0].Y, 20);
    EXPECT_EQ(L.Result, 2 * LH);

    // Text wider than the rectangle centres to a negative offset, truncating toward zero.
    L = Layout(u"abcd", Rect(0, 0, 15, 10), DT_CENTER | DT_SINGLELINE);
    EXPECT_EQ(L.Lines[0].X, (15 - 40) / 2);
}

TEST(TextLayout, WordBreakAtBlanksDropsTrailingBlanks) {
    auto L = Layout(u"aaa bbb  ccc", Rect(0, 0, 75, 100), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"aaa bbb", u"ccc"}));
    EXPECT_EQ(L.Lines[0].Width, 70);

    // A word wider than the rectangle stays whole unless the edit-control mode breaks it.
    L = Layout(u"ab cdefgh ij", Rect(0, 0, 45, 100), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"ab", u"cdefgh", u"ij"}));
    L = Layout(u"ab cdefgh ij", Rect(0, 0, 45, 100), DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"ab", u"cdef", u"gh", u"ij"}));

    // The single-line flag wins over word break.
    L = Layout(u"aaa bbb", Rect(0, 0, 35, 100), DT_WORDBREAK | DT_SINGLELINE);
    EXPECT_EQ(L.Lines.size(), 1u);
}

TEST(TextLayout, ChineseWordBreakKeepsPunctuationRules) {
    // Ideographs break anywhere (20 px each, four to a line of 85).
    auto L = Layout(u"中文文本换行测试", Rect(0, 0, 85, 200), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"中文文本", u"换行测试"}));

    // A closing mark never starts a line: the ideograph before it moves along.
    L = Layout(u"中文文本，换行", Rect(0, 0, 85, 200), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"中文文", u"本，换行"}));

    // An opening mark never ends a line.
    L = Layout(u"中文文（本）", Rect(0, 0, 85, 200), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"中文文", u"（本）"}));

    // Latin words inside Chinese text stay whole; a line may break on either side.
    L = Layout(u"打开abc文件", Rect(0, 0, 85, 200), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"打开abc", u"文件"}));
    L = Layout(u"打开abcdef文件", Rect(0, 0, 85, 200), DT_WORDBREAK);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"打开", u"abcdef文", u"件"}));
}

TEST(TextLayout, SurrogatePairsAreNeverSplit) {
    const String Text = u"\U00020000\U00020001\U00020002";  // three ideographs outside the BMP
    auto L = Layout(Text, Rect(0, 0, 45, 100), DT_WORDBREAK | DT_EDITCONTROL);
    ASSERT_EQ(L.Lines.size(), 2u);
    EXPECT_EQ(L.Lines[0].Text, Text.substr(0, 4));
    L = Layout(Text, Rect(0, 0, 50, 100), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, Text.substr(0, 2) + u"...");
}

TEST(TextLayout, EndEllipsisKeepsWhatFits) {
    auto L = Layout(u"abcdefghij", Rect(0, 0, 75, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"abcd...");
    EXPECT_EQ(L.Lines[0].Width, 70);
    // Text that fits is left alone; exactly fitting counts as fitting.
    L = Layout(u"abcdefghij", Rect(0, 0, 100, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"abcdefghij");
    // Chinese and Latin mixed.
    L = Layout(u"微软雅黑Tahoma", Rect(0, 0, 95, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"微软雅...");
    // Without room for anything else the ellipsis stands alone.
    L = Layout(u"abcdef", Rect(0, 0, 20, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"...");
    // Each line of multi-line text is cut on its own.
    L = Layout(u"abcdefgh\nab", Rect(0, 0, 60, 40), DT_END_ELLIPSIS);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"abc...", u"ab"}));
}

TEST(TextLayout, EllipsisWithWordBreakOnlyAtTheEndOfTheText) {
    // The too-long word in the middle is clipped; the one at the end gets the ellipsis.
    auto L = Layout(u"abcdefgh ab abcdefgh", Rect(0, 0, 60, 100), DT_WORDBREAK | DT_END_ELLIPSIS);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"abcdefgh", u"ab", u"abc..."}));

    // Edit-control mode drops the partly visible last line and marks the cut.
    L = Layout(u"aaa bbb ccc ddd", Rect(0, 0, 35, 40), DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"aaa", u"...", }));
    L = Layout(u"aa bb cc dd ee", Rect(0, 0, 55, 40), DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"aa bb", u"cc..."}));
    EXPECT_EQ(L.Result, 2 * LH);
    L = Layout(u"aa bb cc dd ee", Rect(0, 0, 55, 40), DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_EQ(Texts(L), (std::vector<String>{u"aa bb", u"cc dd"}));
    L = Layout(u"aa bb cc dd ee ff", Rect(0, 0, 55, 40), DT_WORDBREAK);
    EXPECT_EQ(L.Lines.size(), 3u);  // without edit-control mode the third line shows clipped
}

TEST(TextLayout, WordAndPathEllipsis) {
    auto L = Layout(u"one two three", Rect(0, 0, 100, 20), DT_SINGLELINE | DT_WORD_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"one two...");
    L = Layout(u"abcdefghijkl", Rect(0, 0, 60, 20), DT_SINGLELINE | DT_WORD_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"abc...");  // one long word is cut between characters

    L = Layout(u"C:\\Program Files\\Vendor\\app.exe", Rect(0, 0, 150, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"C:\\P...\\app.exe");
    EXPECT_LE(L.Lines[0].Width, 150);
    L = Layout(u"/data/docs/reports/file.txt", Rect(0, 0, 160, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"/dat.../file.txt");
    // The last part alone too wide: the ellipsis and the start of that part.
    L = Layout(u"a\\abcdefghij", Rect(0, 0, 80, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"...\\abcd");
    // Fitting paths are not touched.
    L = Layout(u"a\\b.txt", Rect(0, 0, 80, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"a\\b.txt");
}

TEST(TextLayout, Prefixes) {
    auto L = Layout(u"&File", Rect(0, 0, 100, 20), DT_SINGLELINE);
    EXPECT_EQ(L.Lines[0].Text, u"File");
    EXPECT_EQ(L.Lines[0].PrefixIndex, 0);
    EXPECT_EQ(L.Lines[0].Width, 40);  // the '&' takes no width

    L = Layout(u"A && B&", Rect(0, 0, 100, 20), DT_SINGLELINE);
    EXPECT_EQ(L.Lines[0].Text, u"A & B");  // "&&" is '&', a lone last '&' is not drawn
    EXPECT_EQ(L.Lines[0].PrefixIndex, -1);

    L = Layout(u"&File", Rect(0, 0, 100, 20), DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(L.Lines[0].Text, u"&File");
    EXPECT_EQ(L.Lines[0].PrefixIndex, -1);

    // The prefix follows its character through wrapping and is lost when it is cut off.
    L = Layout(u"ab c&d", Rect(0, 0, 25, 100), DT_WORDBREAK);
    ASSERT_EQ(L.Lines.size(), 2u);
    EXPECT_EQ(L.Lines[1].Text, u"cd");
    EXPECT_EQ(L.Lines[1].PrefixIndex, 1);
    L = Layout(u"abcde&f", Rect(0, 0, 50, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Lines[0].Text, u"ab...");
    EXPECT_EQ(L.Lines[0].PrefixIndex, -1);
}

TEST(TextLayout, CalculatedRectangles) {
    auto L = Layout(u"abc\nabcdef", Rect(5, 7, 5, 7), DT_CALCRECT);
    EXPECT_EQ(L.Bounds, Rect(5, 7, 65, 7 + 2 * LH));
    EXPECT_EQ(L.Result, 2 * LH);

    // Wrapped at the given width; a word too wide widens the rectangle.
    L = Layout(u"aa bb cccccc", Rect(0, 0, 55, 0), DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(L.Bounds, Rect(0, 0, 60, 2 * LH));

    // Empty text: one empty line on a single line, nothing otherwise.
    L = Layout(u"", Rect(0, 0, 50, 50), DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(L.Bounds, Rect(0, 0, 0, LH));
    L = Layout(u"", Rect(0, 0, 50, 50), DT_CALCRECT);
    EXPECT_EQ(L.Bounds, Rect(0, 0, 0, 0));
    EXPECT_EQ(L.Result, 0);

    // Measuring is not cut by ellipses.
    L = Layout(u"abcdefgh", Rect(0, 0, 0, 0), DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Bounds.Right, 80);
    // Edit-control wrapping of long words for the balloon tips' measuring.
    L = Layout(u"abcdefgh", Rect(0, 0, 30, 0),
               DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS);
    EXPECT_EQ(L.Bounds, Rect(0, 0, 30, 3 * LH));
}

// Random texts of Latin words, ideographs, punctuation, blanks and supplementary
// characters: wrapping loses and duplicates nothing, never splits a pair, and the cut and
// broken lines keep to the rectangle.
TEST(TextLayout, RandomTextsKeepTheInvariants) {
    const std::vector<String> Pieces = {u"a", u"bc", u"defgh", u" ", u"  ", u"中", u"文字", u"，", u"。",
                                        u"（", u"）", u"\U00020000", u"&", u"-", u"ijklmnopq"};
    uint32_t Seed = 12345;
    auto Next = [&](uint32_t N) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 16) % N;
    };
    auto Sum = [](const String& S) {
        std::vector<int> A;
        FixedAdvances(S, A);
        int W = 0;
        for (int V : A) W += V;
        return W;
    };
    auto NoBlanks = [](const String& S) {
        String R;
        for (char16_t C : S)
            if (C != u' ') R += C;
        return R;
    };
    for (int Round = 0; Round < 3000; ++Round) {
        String Text;
        const uint32_t Count = Next(12);
        for (uint32_t I = 0; I < Count; ++I) Text += Pieces[Next(static_cast<uint32_t>(Pieces.size()))];
        const int Limit = static_cast<int>(Next(120)) - 10;  // negative widths too
        const UINT Wrap = DT_WORDBREAK | DT_NOPREFIX | (Next(2) ? UINT{DT_EDITCONTROL} : 0u);
        SCOPED_TRACE(StringToUtf8(Text) + " / " + std::to_string(Limit));

        auto L = Layout(Text, Rect(0, 0, Limit, 1000), Wrap);
        String Joined;
        for (const auto& Line : L.Lines) {
            Joined += Line.Text;
            EXPECT_EQ(Line.Width, Sum(Line.Text));
            if (!Line.Text.empty()) {
                EXPECT_FALSE(Line.Text.front() >= 0xDC00 && Line.Text.front() <= 0xDFFF);
                EXPECT_FALSE(Line.Text.back() >= 0xD800 && Line.Text.back() <= 0xDBFF);
            }
            const bool OneChar = Line.Text.size() == 1 || (Line.Text.size() == 2 && Line.Text[0] >= 0xD800);
            if ((Wrap & DT_EDITCONTROL) && !OneChar) {
                EXPECT_LE(Line.Width, std::max(Limit, 0));
            }
        }
        EXPECT_EQ(NoBlanks(Joined), NoBlanks(Text));
        EXPECT_EQ(L.Result, static_cast<int>(L.Lines.size()) * LH);

        auto E = Layout(Text, Rect(0, 0, Limit, 20), DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        ASSERT_EQ(E.Lines.size(), 1u);
        if (E.Lines[0].Text != Text) {
            EXPECT_TRUE(E.Lines[0].Width <= Limit || E.Lines[0].Text == u"...");
            EXPECT_EQ(E.Lines[0].Text.substr(E.Lines[0].Text.size() - 3), u"...");
        }
        auto P = Layout(Text, Rect(0, 0, Limit, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
        ASSERT_EQ(P.Lines.size(), 1u);
        EXPECT_EQ(P.Lines[0].Width, Sum(P.Lines[0].Text));
    }
}
