// Glyph outlines: contours in pixels (y down) that line up with the drawn glyphs, and the
// original's outline buffers (y up, 16.16) read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/uQvFontFace.h"
#include "platform/uQvGlyphCache.h"
#include "platform/uQvGlyphOutline.h"
#include "platform/uQvText.h"

namespace {

std::shared_ptr<TQvTextFont> Font(const String& Face, int Height, int Weight = 400) {
    TQvFontRequest S;
    S.FaceName = Face;
    S.Height = Height;
    S.Weight = Weight;
    return TQvTextFont::Get(S);
}

double FixedValue(FIXED F) { return F.value + F.fract / 65536.0; }

struct TParsed {
    int Polygons = 0;
    int Lines = 0, QSplines = 0, CSplines = 0;
    std::vector<POINTFX> Starts;
};

// Walks the buffer as a consumer would; fails the test on any inconsistency.
TParsed Parse(const std::vector<uint8_t>& B) {
    TParsed P;
    size_t At = 0;
    while (At < B.size()) {
        TTPOLYGONHEADER H;
        std::memcpy(&H, B.data() + At, sizeof H);
        EXPECT_EQ(H.dwType, TT_POLYGON_TYPE);
        EXPECT_LE(At + H.cb, B.size());
        P.Starts.push_back(H.pfxStart);
        ++P.Polygons;
        size_t C = At + sizeof H;
        while (C < At + H.cb) {
            WORD Head[2];
            std::memcpy(Head, B.data() + C, sizeof Head);
            if (Head[0] == TT_PRIM_LINE) ++P.Lines;
            else if (Head[0] == TT_PRIM_QSPLINE) ++P.QSplines;
            else if (Head[0] == TT_PRIM_CSPLINE) ++P.CSplines;
            else ADD_FAILURE() << "curve type " << Head[0];
            EXPECT_GT(Head[1], 0);
            C += sizeof Head + Head[1] * sizeof(POINTFX);
        }
        EXPECT_EQ(C, At + H.cb);
        At += H.cb;
        if (H.cb == 0) break;
    }
    return P;
}

}  // namespace

TEST(TextOutline, ContoursAreClosedAndLineUpWithTheDrawnGlyph) {
    for (auto F : {Font(u"微软雅黑", -16), Font(u"Tahoma", -16), Font(u"Noto Sans CJK SC", -16)}) {
        for (char32_t C : {U'口', U'H', U'g'}) {
            TQvGlyphOutline O;
            ASSERT_TRUE(QvGetGlyphOutline(*F, C, O));
            ASSERT_FALSE(O.Contours.empty());
            for (const auto& Contour : O.Contours) {
                ASSERT_FALSE(Contour.Segments.empty());
                EXPECT_EQ(Contour.Segments.back().End(), Contour.Start);
            }
            EXPECT_EQ(O.Advance, F->TextWidth(std::u16string(1, static_cast<char16_t>(C))));
            // The rendered glyph covers the same box, give or take the hinting's pixel.
            const TQvSizedFace* Face = F->FaceFor(C);
            const TQvGlyphBitmap& B = QvRenderGlyph(*Face, Face->Face()->GlyphIndex(C), false);
            EXPECT_NEAR(O.Bounds.Left, B.Left, 1);
            EXPECT_NEAR(O.Bounds.Top, -B.Top, 1);
            EXPECT_NEAR(O.Bounds.Right, B.Left + B.Width, 1);
            EXPECT_NEAR(O.Bounds.Bottom, -B.Top + B.Height, 1);
        }
    }
    // The descender of 'g' goes below the baseline (y down), the capital stays above.
    TQvGlyphOutline G, H;
    QvGetGlyphOutline(*Font(u"Tahoma", -16), U'g', G);
    QvGetGlyphOutline(*Font(u"Tahoma", -16), U'H', H);
    EXPECT_GT(G.Bounds.Bottom, 1);
    EXPECT_LE(H.Bounds.Bottom, 0);
    EXPECT_LT(H.Bounds.Top, -8);
}

TEST(TextOutline, CurveKindsFollowTheFace) {
    auto Count = [](const TQvGlyphOutline& O, TQvSegmentKind K) {
        int N = 0;
        for (const auto& C : O.Contours)
            for (const auto& S : C.Segments) N += S.Kind == K;
        return N;
    };
    TQvGlyphOutline TrueType, Cff;
    ASSERT_TRUE(QvGetGlyphOutline(*Font(u"Tahoma", -20), U'O', TrueType));
    ASSERT_TRUE(QvGetGlyphOutline(*Font(u"Noto Sans CJK SC", -20), U'O', Cff));
    EXPECT_GT(Count(TrueType, skQuadratic), 0);
    EXPECT_EQ(Count(TrueType, skCubic), 0);
    EXPECT_GT(Count(Cff, skCubic), 0);
    // A blank has no contours but an advance.
    TQvGlyphOutline Space;
    ASSERT_TRUE(QvGetGlyphOutline(*Font(u"Tahoma", -20), U' ', Space));
    EXPECT_TRUE(Space.Contours.empty());
    EXPECT_GT(Space.Advance, 0);
}

TEST(TextOutline, SyntheticStylesReachTheOutline) {
    TQvGlyphOutline Plain, Bold;
    QvGetGlyphOutline(*Font(u"微软雅黑", -20), U'口', Plain);
    QvGetGlyphOutline(*Font(u"微软雅黑", -20, 700), U'口', Bold);
    EXPECT_EQ(Bold.Advance, Plain.Advance + 1);
    EXPECT_EQ(Bold.Bounds.Left, Plain.Bounds.Left);
    EXPECT_GE(Bold.Bounds.Right, Plain.Bounds.Right);
}

TEST(TextOutline, OriginalBufferFormats) {
    auto F = Font(u"Tahoma", -20);
    GLYPHMETRICS M{};
    EXPECT_EQ(QvGlyphOutlineData(*F, U'H', GGO_METRICS, &M, 0, nullptr, nullptr), 0u);
    TQvGlyphOutline O;
    QvGetGlyphOutline(*F, U'H', O);
    EXPECT_EQ(M.gmCellIncX, O.Advance);
    EXPECT_EQ(M.gmCellIncY, 0);
    EXPECT_EQ(M.gmptGlyphOrigin.X, O.Bounds.Left);
    EXPECT_EQ(M.gmptGlyphOrigin.Y, -O.Bounds.Top);  // y upward
    EXPECT_EQ(static_cast<int>(M.gmBlackBoxX), O.Bounds.Width());

    const GLYPHMETRICS HMetrics = M;
    for (UINT Format : {GGO_NATIVE, GGO_BEZIER}) {
        const DWORD Size = QvGlyphOutlineData(*F, U'O', Format, &M, 0, nullptr, nullptr);
        ASSERT_NE(Size, 0xFFFFFFFFu);
        ASSERT_GT(Size, 0u);
        std::vector<uint8_t> Buf(Size);
        EXPECT_EQ(QvGlyphOutlineData(*F, U'O', Format, &M, Size, Buf.data(), nullptr), Size);
        EXPECT_EQ(QvGlyphOutlineData(*F, U'O', Format, &M, Size - 1, Buf.data(), nullptr), 0xFFFFFFFFu);
        const TParsed P = Parse(Buf);
        TQvGlyphOutline Ring;
        QvGetGlyphOutline(*F, U'O', Ring);
        EXPECT_EQ(P.Polygons, static_cast<int>(Ring.Contours.size()));
        if (Format == GGO_NATIVE) {
            EXPECT_GT(P.QSplines, 0);
        }
        if (Format == GGO_BEZIER) {
            EXPECT_EQ(P.QSplines, 0);
            EXPECT_GT(P.CSplines, 0);
        }
        // Same start points, y mirrored.
        EXPECT_NEAR(FixedValue(P.Starts[0].x), Ring.Contours[0].Start.X, 1e-4);
        EXPECT_NEAR(FixedValue(P.Starts[0].y), -Ring.Contours[0].Start.Y, 1e-4);
    }

    // A matrix doubling the width doubles the advance and the box.
    MAT2 Wide = {{0, 2}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS MW{};
    QvGlyphOutlineData(*F, U'H', GGO_METRICS, &MW, 0, nullptr, &Wide);
    EXPECT_EQ(MW.gmCellIncX, 2 * O.Advance);
    EXPECT_NEAR(static_cast<int>(MW.gmBlackBoxX), 2 * static_cast<int>(HMetrics.gmBlackBoxX), 2);

    // Grey levels 0..64 in rows padded to four bytes.
    const DWORD Size = QvGlyphOutlineData(*F, U'H', GGO_GRAY8_BITMAP, &M, 0, nullptr, nullptr);
    EXPECT_EQ(Size, ((M.gmBlackBoxX + 3) & ~3u) * M.gmBlackBoxY);
    std::vector<uint8_t> Gray(Size);
    QvGlyphOutlineData(*F, U'H', GGO_GRAY8_BITMAP, &M, Size, Gray.data(), nullptr);
    EXPECT_EQ(*std::max_element(Gray.begin(), Gray.end()), 64);

    EXPECT_EQ(QvGlyphOutlineData(*F, U'H', GGO_BITMAP, &M, 0, nullptr, nullptr), 0xFFFFFFFFu);
    // By glyph index.
    const uint32_t Index = F->PrimaryFace()->Face()->GlyphIndex(U'H');
    GLYPHMETRICS MI{};
    QvGlyphOutlineData(*F, Index, GGO_METRICS | GGO_GLYPH_INDEX, &MI, 0, nullptr, nullptr);
    EXPECT_EQ(MI.gmCellIncX, M.gmCellIncX);
}
