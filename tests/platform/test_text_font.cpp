// Fonts resolve to the packaged faces, measure additively and draw with the glyph write
// rule. Widths are compared with the same API rather than hard-coded.
#include <gtest/gtest.h>

#include <vector>

#include "platform/uQvFontConfig.h"
#include "platform/uQvGlyphCache.h"
#include "platform/uQvText.h"

namespace {

std::shared_ptr<TQvTextFont> Font(const String& Face, int Height, int Weight = 400, int Quality = 0) {
    TQvFontRequest S;
    S.FaceName = Face;
    S.Height = Height;
    S.Weight = Weight;
    S.Quality = Quality;
    return TQvTextFont::Get(S);
}

struct TBuffer {
    std::vector<uint32_t> Pixels;
    int W, H;
    TBuffer(int Width, int Height, uint32_t Fill) : Pixels(static_cast<size_t>(Width) * Height, Fill), W(Width), H(Height) {}
    TQvPixelTarget Target() { return {Pixels.data(), W, H, W}; }
    uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * W + X]; }
};

const String Mixed = u"微软雅黑 Tahoma 确定，取消！(OK) 123";

}  // namespace

TEST(TextFont, AliasesResolveToThePackagedFaces) {
    ASSERT_TRUE(QvFontsPinned());
    EXPECT_EQ(Font(u"微软雅黑", -12)->PrimaryFamily(), "WenQuanYi Micro Hei");
    EXPECT_EQ(Font(u"Microsoft YaHei", -12)->PrimaryFamily(), "WenQuanYi Micro Hei");
    for (const char16_t* Latin : {u"Tahoma", u"MS Sans Serif", u"Default", u"", u"No Such Face Anywhere"})
        EXPECT_EQ(Font(String(Latin), -11)->PrimaryFamily(), "DejaVu Sans") << StringToUtf8(String(Latin));
    // Same request, same object.
    EXPECT_EQ(Font(u"Tahoma", -11).get(), Font(u"Tahoma", -11).get());
}

TEST(TextFont, MetricsOfTheCommonHeights) {
    // Ascent and descent are the faces' win metrics scaled and rounded; the packaged faces
    // share them closely enough to give the same cells.
    struct TCase {
        int Height, Ascent, Descent;
    };
    for (const char16_t* Face : {u"微软雅黑", u"Tahoma"}) {
        for (TCase C : {TCase{-11, 10, 3}, TCase{-12, 11, 3}, TCase{-13, 12, 3}, TCase{-17, 16, 4}}) {
            const TQvFontMetrics& M = Font(String(Face), C.Height)->Metrics();
            SCOPED_TRACE(StringToUtf8(String(Face)) + " " + std::to_string(C.Height));
            EXPECT_EQ(M.Ascent, C.Ascent);
            EXPECT_EQ(M.Descent, C.Descent);
            EXPECT_EQ(M.Height, C.Ascent + C.Descent);
            EXPECT_EQ(M.Em, -C.Height);
            EXPECT_EQ(M.InternalLeading, M.Height + C.Height);
            EXPECT_GE(M.UnderlineOffset, 0);
            EXPECT_LE(M.UnderlineOffset + M.UnderlineThickness, M.Descent);
            EXPECT_LT(M.StrikeOutOffset, 0);  // above the baseline
        }
    }
    // A positive height is the cell height.
    for (int H : {13, 16, 20, 31}) EXPECT_EQ(Font(u"微软雅黑", H)->Metrics().Height, H);
    // Zero asks for the default size.
    EXPECT_GT(Font(u"Tahoma", 0)->Metrics().Height, 0);
}

TEST(TextFont, WidthsAreAdditive) {
    for (auto F : {Font(u"微软雅黑", -12), Font(u"Tahoma", -11), Font(u"Tahoma", -13, 700)}) {
        std::vector<int> Adv;
        F->Advances(Mixed, Adv);
        int Sum = 0;
        for (int A : Adv) Sum += A;
        EXPECT_EQ(Sum, F->TextWidth(Mixed));
        // Every split point: width(a + b) = width(a) + width(b).
        for (size_t Cut = 0; Cut <= Mixed.size(); ++Cut) {
            const std::u16string_view V(Mixed);
            EXPECT_EQ(F->TextWidth(V.substr(0, Cut)) + F->TextWidth(V.substr(Cut)), Sum) << Cut;
        }
        // Kerning pairs do not pull letters together.
        EXPECT_EQ(F->TextWidth(u"AV"), F->TextWidth(u"A") + F->TextWidth(u"V"));
        EXPECT_EQ(F->TextWidth(u"fi"), F->TextWidth(u"f") + F->TextWidth(u"i"));
    }
    // A surrogate pair's second half adds nothing; controls take no room.
    std::vector<int> Adv;
    Font(u"微软雅黑", -12)->Advances(u"a\U0001F600\r", Adv);
    ASSERT_EQ(Adv.size(), 4u);
    EXPECT_EQ(Adv[2], 0);
    EXPECT_EQ(Adv[3], 0);
}

TEST(TextFont, MixedTextNeverShowsMissingGlyphs) {
    for (auto F : {Font(u"微软雅黑", -12), Font(u"Tahoma", -11), Font(u"MS Sans Serif", -12, 700)}) {
        TQvShapedText S;
        F->Shape(Mixed + u"繁體字 ひらがな カタカナ 한국어 €£¥", false, S);
        EXPECT_EQ(S.MissingGlyphs(), 0);
        EXPECT_GT(S.Width, 0);
    }
    // The counter does see a character no face has.
    TQvShapedText S;
    Font(u"Tahoma", -11)->Shape(u"a\U0010FFFD", false, S);
    EXPECT_EQ(S.MissingGlyphs(), 1);
}

TEST(TextFont, SynthesizedBoldWidensEveryGlyph) {
    // The CJK face has no bold: each glyph is emboldened and one pixel wider.
    const String T = u"确定取消";
    EXPECT_EQ(Font(u"微软雅黑", -12, 700)->TextWidth(T), Font(u"微软雅黑", -12)->TextWidth(T) + 4);
    EXPECT_EQ(Font(u"微软雅黑", -12, 700)->Metrics().Overhang, 1);
    // The Latin face has a real bold.
    EXPECT_EQ(Font(u"Tahoma", -11, 700)->Metrics().Overhang, 0);
}

TEST(TextFont, DrawingKeepsAlphaAndWritesTheTextColour) {
    for (int Quality : {0, 3}) {
        auto F = Font(u"微软雅黑", -16, 400, Quality);
        TBuffer B(200, 24, 0x40102030);
        TQvShapedText S;
        F->Shape(u"一二三 Hello", false, S);
        F->Draw(B.Target(), 2, 2, S, RGB(0xF0, 0x80, 0x08), Rect(0, 0, 200, 24));
        int Full = 0, Partial = 0;
        for (uint32_t P : B.Pixels) {
            EXPECT_EQ(P >> 24, 0x40u);  // alpha byte as it was
            if ((P & 0xFFFFFF) == 0xF08008) ++Full;
            else if ((P & 0xFFFFFF) != 0x102030) ++Partial;
        }
        EXPECT_GT(Full, 20);
        if (Quality == 3)
            EXPECT_EQ(Partial, 0);  // monochrome: text colour or untouched
        else
            EXPECT_GT(Partial, 20);
    }
}

TEST(TextFont, DrawingStaysInsideTheClipAndTheBuffer) {
    auto F = Font(u"Tahoma", -13);
    TBuffer B(60, 20, 0xFF000000);
    TQvShapedText S;
    F->Shape(u"WWWWWWWWWWWWWWW", false, S);
    F->Draw(B.Target(), -7, -3, S, RGB(255, 255, 255), Rect(10, 5, 30, 12));
    int Inside = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 60; ++X)
            if (X < 10 || X >= 30 || Y < 5 || Y >= 12) {
                EXPECT_EQ(B.At(X, Y), 0xFF000000u) << X << "," << Y;
            } else {
                Inside += B.At(X, Y) != 0xFF000000u;
            }
    EXPECT_GT(Inside, 10);
}

TEST(TextFont, UnderlineAndStrikeOutRows) {
    TQvFontRequest Req;
    Req.FaceName = u"Tahoma";
    Req.Height = -13;
    Req.Underline = true;
    Req.StrikeOut = true;
    auto F = TQvTextFont::Get(Req);
    const TQvFontMetrics& M = F->Metrics();
    TBuffer B(100, 30, 0);
    TQvShapedText S;
    F->Shape(u"ab", false, S);
    F->Draw(B.Target(), 5, 4, S, RGB(255, 0, 0), Rect(0, 0, 100, 30));
    const int Base = 4 + M.Ascent;
    for (int X = 5; X < 5 + S.Width; ++X) {
        EXPECT_EQ(B.At(X, Base + M.UnderlineOffset), 0x00FF0000u) << X;
        EXPECT_EQ(B.At(X, Base + M.StrikeOutOffset), 0x00FF0000u) << X;
    }
    EXPECT_EQ(B.At(5 + S.Width, Base + M.UnderlineOffset), 0u);
}

TEST(TextFont, RightToLeftLinesMoveNeutralsToTheLeft) {
    auto F = Font(u"Tahoma", -12);
    TQvShapedText L, R;
    F->Shape(u"abc.", false, L);
    F->Shape(u"abc.", true, R);
    EXPECT_EQ(L.Width, R.Width);
    ASSERT_EQ(R.Glyphs.size(), 4u);
    EXPECT_EQ(R.Glyphs[0].Cluster, 3u);  // the full stop is drawn first, at the left
    EXPECT_EQ(R.Glyphs[0].X, 0);
    EXPECT_EQ(R.Glyphs[1].Cluster, 0u);  // the word keeps its order
    // Hebrew letters inside a left-to-right line are reversed.
    F->Shape(u"a\u05D0\u05D1b", false, L);
    ASSERT_EQ(L.Glyphs.size(), 4u);
    EXPECT_EQ(L.Glyphs[1].Cluster, 2u);
    EXPECT_EQ(L.Glyphs[2].Cluster, 1u);
}

TEST(TextFont, GlyphCacheIsReused) {
    QvClearGlyphCache();
    auto F = Font(u"微软雅黑", -12);
    TBuffer B(100, 20, 0);
    TQvShapedText S;
    F->Shape(u"缓存缓存", false, S);
    F->Draw(B.Target(), 0, 0, S, 0xFFFFFF, Rect(0, 0, 100, 20));
    EXPECT_EQ(QvGlyphCacheSize(), 2u);
}
