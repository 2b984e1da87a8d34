// The HTML label: markup runs, sizes and colours, references, rules, links with their
// case kept, the hot colour under the pointer and the buttons that raise the click.

#include "controls/uPelluxHtmlLabel.h"
#include "draw/uQvColor32.h"
#include "controls/pellux_fixture.h"

namespace {

class HtmlLabelTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        Canvas.SetSize(10, 10);
        Canvas.Canvas()->Font()->SetName(u"DejaVu Sans");
        Canvas.Canvas()->Font()->SetSize(9);
    }
    THtmlRenderResult Measure(const String& Text, THtmlRenderMode Mode, TPoint Mouse = {0, 0}) {
        THtmlRenderParams P;
        P.Mouse = Mouse;
        return HtmlRender(Canvas.Canvas(), Rect(0, 0, 400, 100), P, Mode, Text);
    }
    int Width(const String& Text) { return Measure(Text, hrMeasureWidth).Width; }
    int Plain(const String& Text) { return Canvas.Canvas()->TextWidth(Text); }
    TSurface32 Canvas;
};

TEST_F(HtmlLabelTest, MarkupSizesReferencesAndRules) {
    TCanvas* C = Canvas.Canvas();
    const int Th = C->TextHeight(u"W");
    // Escaped brackets are text, not a bold tag.
    EXPECT_EQ(Width(u"&lt;b&gt;"), Plain(u"<b>") + 1);
    EXPECT_EQ(Width(u"A&amp;B&nbsp;&copy;"), Plain(u"A&B \u00A9") + 1);
    // SIZE 4 doubles the size of the run, and </FONT> returns to the start.
    C->Font()->SetSize(18);
    const int Big = C->TextWidth(u"x");
    C->Font()->SetSize(9);
    EXPECT_EQ(Width(u"<FONT SIZE=4>x</FONT>y"), Big + Plain(u"y") + 1);
    // Tags take no room; a break starts a new line, the widest line counts.
    EXPECT_EQ(Width(u"<u>mm</u><XYZ q=1>m"), Plain(u"mmm") + 1);
    EXPECT_LT(Width(u"<SUP>mmmm</SUP>"), Width(u"mmmm"));
    EXPECT_EQ(Width(u"ab<BR>abcdef"), Plain(u"abcdef") + 1);
    EXPECT_EQ(Measure(u"ab<br>cd", hrMeasureHeight).Height, 2 * Th);
    EXPECT_EQ(Measure(u"ab", hrMeasureHeight).Height, Th);
    // A rule of SIZE 3 takes 4 pixels and its own line end; with attributes no extra break.
    EXPECT_EQ(Measure(u"<HR SIZE=3>", hrMeasureHeight).Height, 4 + Th);
    EXPECT_EQ(Measure(u"", hrMeasureWidth).Width, Th + 1);
    // Sizes compound within 1..1000 points, however often a caption doubles them.
    C->Font()->SetSize(1000);
    const int Huge = C->TextWidth(u"x");
    C->Font()->SetSize(9);
    String Doubling;
    for (int I = 0; I < 40; ++I) Doubling += u"<FONT SIZE=4>";
    EXPECT_EQ(Width(Doubling + u"x"), Huge + 1);
    // Unclosed tags and stray brackets never hang or throw.
    EXPECT_GT(Width(u"a<b"), 0);
    EXPECT_GT(Width(u"<<<>>><FONT COLOR=\"#zz\" SIZE=x>q"), 0);
}

TEST_F(HtmlLabelTest, LinksKeepTheirCaseAndTurnHot) {
    const String Text = u"go <a href='docs/Start.html'>here</a> now";
    const int X = Plain(u"go ") + 2;
    const THtmlRenderResult Hit = Measure(Text, hrHitTest, {X, 5});
    EXPECT_TRUE(Hit.Hovered);
    EXPECT_EQ(Hit.LinkName, u"docs/Start.html");
    EXPECT_FALSE(Measure(Text, hrHitTest, {1, 5}).Hovered);
    EXPECT_FALSE(Measure(Text, hrHitTest, {0, 0}).Hovered);

    auto* L = new TPelluxHtmlLabel(Form);
    L->SetBounds(10, 10, 10, 10);
    L->Font()->SetColor(clWhite);
    L->SetCaption(u"<font color=\"#0000FF\">red</font> <a href=\"Next\">link</a>");
    L->SetParent(Form);
    ProcessMessages();
    const auto Count = [&](auto Pred) {
        int N = 0;
        for (int Y = 0; Y < L->Height(); ++Y)
            for (int Xp = 0; Xp < L->Width(); ++Xp) N += Pred(At(L, Xp, Y));
        return N;
    };
    const auto Red = [](uint32_t P) { return RedComponent(P) > 180 && GreenComponent(P) < 80 && BlueComponent(P) < 120; };
    const auto Blue = [](uint32_t P) { return BlueComponent(P) > 200 && RedComponent(P) < 80; };
    const int RedBefore = Count(Red);
    EXPECT_GT(RedBefore, 5);
    EXPECT_GT(Count(Blue), 5);
    std::vector<String> Clicks;
    L->OnHyperLinkClick = [&](TObject*, const String& Name) { Clicks.push_back(Name); };

    // Over the link: the hot colour, the hand pointer, a click with the left button.
    const int LinkX = L->Width() - 4;
    MoveTo(L, LinkX, L->Height() / 2);
    EXPECT_EQ(L->HoveredLink(), u"Next");
    EXPECT_EQ(L->Cursor(), crHandPoint);
    EXPECT_EQ(Count(Blue), 0);
    EXPECT_GT(Count(Red), RedBefore);
    const TPoint S = L->ClientToScreen(TPoint{LinkX, L->Height() / 2});
    Headless->Click(S.X, S.Y);
    RunScript();
    EXPECT_EQ(Clicks, std::vector<String>{u"Next"});
    L->SetHyperLinkMouseButtons({mbRight});
    Headless->Click(S.X, S.Y);
    RunScript();
    EXPECT_EQ(Clicks.size(), 1u);

    // Leaving ends the hot link.
    MoveTo(Form, 300, 250);
    EXPECT_EQ(L->HoveredLink(), u"");
    EXPECT_GT(Count(Blue), 5);
}

}  // namespace
