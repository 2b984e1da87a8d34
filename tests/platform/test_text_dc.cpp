// Text through device contexts. Expected pictures are drawn with the same calls
// (TextOutW of the string the rule predicts), so the checks hold for any font.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/uQvFont.h"
#include "platform/uQvFontFace.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"

namespace {

constexpr uint32_t Back = 0x40FFFFFF;  // white with a telling alpha

struct TCanvas {
    HDC Dc = nullptr;
    HBITMAP Bm = nullptr;
    HGDIOBJ OldBm = nullptr;
    HFONT Font = nullptr;
    HGDIOBJ OldFont = nullptr;
    TGdiBitmap* B = nullptr;
    TCanvas(int W, int H, const char16_t* Face = u"微软雅黑", int Height = -12, int Quality = 0, int Weight = 400,
            bool TopDown = true) {
        Dc = CreateCompatibleDC(nullptr);
        if (TopDown) {
            Bm = GdiCreateBitmap32(W, H);
        } else {
            BITMAPINFO Bi{};
            Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            Bi.bmiHeader.biWidth = W;
            Bi.bmiHeader.biHeight = H;
            Bi.bmiHeader.biPlanes = 1;
            Bi.bmiHeader.biBitCount = 32;
            void* Bits = nullptr;
            Bm = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
        }
        OldBm = SelectObject(Dc, Bm);
        B = GdiBitmapOf(Bm);
        Clear();
        Font = CreateFontW(Height, 0, 0, 0, Weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, Quality, 0, Face);
        OldFont = SelectObject(Dc, Font);
        SetBkMode(Dc, TRANSPARENT);
        SetTextColor(Dc, RGB(0x10, 0x20, 0x30));
    }
    ~TCanvas() {
        SelectObject(Dc, OldFont);
        DeleteObject(Font);
        SelectObject(Dc, OldBm);
        DeleteObject(Bm);
        DeleteDC(Dc);
    }
    void Clear() {
        for (int Y = 0; Y < B->Height(); ++Y)
            for (int X = 0; X < B->Width(); ++X) B->Pixel(X, Y) = Back;
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> P;
        for (int Y = 0; Y < B->Height(); ++Y)
            for (int X = 0; X < B->Width(); ++X) P.push_back(B->Pixel(X, Y));
        return P;
    }
    // The box of the pixels that differ from the background.
    TRect Inked() const {
        TRect R = Rect(B->Width(), B->Height(), 0, 0);
        for (int Y = 0; Y < B->Height(); ++Y)
            for (int X = 0; X < B->Width(); ++X)
                if (B->Pixel(X, Y) != Back) R = Rect(std::min(R.Left, X), std::min(R.Top, Y), std::max(R.Right, X + 1),
                                                     std::max(R.Bottom, Y + 1));
        return R;
    }
    int Width(std::u16string_view S) const {
        SIZE Sz{};
        GetTextExtentPoint32W(Dc, S.data(), static_cast<int>(S.size()), &Sz);
        return Sz.cx;
    }
    TEXTMETRICW Metrics() const {
        TEXTMETRICW Tm{};
        GetTextMetricsW(Dc, &Tm);
        return Tm;
    }
    // What TextOutW of Text at (X, Y) gives on a clean canvas.
    std::vector<uint32_t> TextOutPicture(int X, int Y, std::u16string_view Text) {
        Clear();
        TextOutW(Dc, X, Y, Text.data(), static_cast<int>(Text.size()));
        auto P = Pixels();
        Clear();
        return P;
    }
    std::vector<uint32_t> DrawTextPicture(std::u16string_view Text, TRect R, UINT Flags) {
        Clear();
        DrawTextW(Dc, Text.data(), static_cast<int>(Text.size()), &R, Flags);
        auto P = Pixels();
        Clear();
        return P;
    }
};

}  // namespace

TEST(TextDC, FontObjects) {
    LOGFONTW L;
    L.lfHeight = -13;
    L.lfWeight = FW_BOLD;
    L.lfItalic = 1;
    L.lfCharSet = GB2312_CHARSET;
    std::memcpy(L.lfFaceName, u"微软雅黑", 5 * sizeof(char16_t));
    HFONT F = CreateFontIndirectW(&L);
    ASSERT_NE(F, nullptr);
    EXPECT_EQ(GetObjectType(F), static_cast<DWORD>(OBJ_FONT));
    LOGFONTW Back{};
    EXPECT_EQ(GetObjectW(F, sizeof Back, &Back), static_cast<int>(sizeof Back));
    EXPECT_EQ(std::memcmp(&Back, &L, sizeof L), 0);
    EXPECT_EQ(QvFontOf(F)->Request().Weight, 700);
    EXPECT_TRUE(QvFontOf(F)->Request().Italic);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);

    HDC Dc = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Dc, F);
    ASSERT_NE(Old, nullptr);  // the default font
    Char Face[LF_FACESIZE];
    EXPECT_EQ(GetTextFaceW(Dc, LF_FACESIZE, Face), 4);
    EXPECT_EQ(String(Face), u"微软雅黑");
    // Deleting a selected font keeps it drawing until it is deselected.
    EXPECT_TRUE(DeleteObject(F));
    TEXTMETRICW Tm{};
    EXPECT_TRUE(GetTextMetricsW(Dc, &Tm));
    EXPECT_EQ(Tm.tmWeight, 700);
    EXPECT_EQ(Tm.tmItalic, 1);
    EXPECT_EQ(Tm.tmCharSet, GB2312_CHARSET);
    EXPECT_EQ(Tm.tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);  // variable pitch
    HGDIOBJ Fixed = GetStockObject(ANSI_FIXED_FONT);
    SelectObject(Dc, Fixed);
    GetTextMetricsW(Dc, &Tm);
    EXPECT_EQ(Tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    SelectObject(Dc, Old);
    DeleteDC(Dc);

    HGDIOBJ Gui = GetStockObject(DEFAULT_GUI_FONT);
    ASSERT_NE(Gui, nullptr);
    EXPECT_EQ(GetObjectType(Gui), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(QvFontOf(static_cast<HFONT>(Gui))->PrimaryFamily(), "DejaVu Sans");
}

TEST(TextDC, MetricsAndExtents) {
    TCanvas C(10, 10, u"微软雅黑", -12);
    const TEXTMETRICW Tm = C.Metrics();
    const TQvFontMetrics& M = QvFontOf(C.Font)->Metrics();
    EXPECT_EQ(Tm.tmHeight, M.Height);
    EXPECT_EQ(Tm.tmAscent + Tm.tmDescent, Tm.tmHeight);
    EXPECT_EQ(Tm.tmInternalLeading, Tm.tmHeight - 12);

    SIZE S{};
    EXPECT_TRUE(GetTextExtentPoint32W(C.Dc, u"微软雅黑 Ab", 7, &S));
    EXPECT_EQ(S.cy, Tm.tmHeight);
    EXPECT_EQ(S.cx, QvFontOf(C.Font)->TextWidth(u"微软雅黑 Ab"));
    // No prefix processing when measuring.
    EXPECT_EQ(C.Width(u"&a"), C.Width(u"&") + C.Width(u"a"));
    EXPECT_TRUE(GetTextExtentPoint32W(C.Dc, nullptr, 0, &S));
    EXPECT_EQ(S.cx, 0);
    EXPECT_FALSE(GetTextExtentPoint32W(C.Dc, u"a", -1, &S));
    EXPECT_FALSE(GetTextExtentPoint32W(nullptr, u"a", 1, &S));

    int Fit = 0, Dx[4] = {};
    EXPECT_TRUE(GetTextExtentExPointW(C.Dc, u"ab中c", 4, C.Width(u"ab中"), &Fit, Dx, &S));
    EXPECT_EQ(Fit, 3);
    EXPECT_EQ(Dx[2], C.Width(u"ab中"));
    EXPECT_EQ(Dx[3], S.cx);
    int W[3] = {};
    EXPECT_TRUE(GetCharWidth32W(C.Dc, 'a', 'c', W));
    EXPECT_EQ(W[1], C.Width(u"b"));
}

TEST(TextDC, TextOutKeepsAlphaAndHonoursOriginAndClip) {
    TCanvas C(120, 30);
    TextOutW(C.Dc, 5, 4, u"微软雅黑Ag", 6);
    int Inked = 0;
    for (uint32_t P : C.Pixels()) {
        EXPECT_EQ(P >> 24, Back >> 24);
        Inked += P != Back;
    }
    EXPECT_GT(Inked, 40);
    const TRect Box = C.Inked();
    EXPECT_GE(Box.Left, 5);
    EXPECT_GE(Box.Top, 4);
    EXPECT_LE(Box.Right, 5 + C.Width(u"微软雅黑Ag") + 1);
    EXPECT_LE(Box.Bottom, 4 + C.Metrics().tmHeight);

    // The window origin moves the text; the clip limits it.
    const auto Plain = C.TextOutPicture(5, 4, u"微软雅黑Ag");
    SetWindowOrgEx(C.Dc, -3, 2, nullptr);
    EXPECT_EQ(C.TextOutPicture(2, 6, u"微软雅黑Ag"), Plain);
    SetWindowOrgEx(C.Dc, 0, 0, nullptr);
    IntersectClipRect(C.Dc, 0, 0, 20, 30);
    TextOutW(C.Dc, 5, 4, u"微软雅黑Ag", 6);
    EXPECT_LE(C.Inked().Right, 20);
    EXPECT_GT(C.Inked().Right, 10);
}

TEST(TextDC, BackgroundsAreOpaqueFills) {
    TCanvas C(100, 30);
    SetBkColor(C.Dc, RGB(0, 0, 255));
    // ETO_OPAQUE fills the rectangle, ETO_CLIPPED keeps the text inside it.
    const RECT R = Rect(10, 5, 30, 25);
    ExtTextOutW(C.Dc, 2, 5, ETO_OPAQUE | ETO_CLIPPED, &R, u"确定确定", 4, nullptr);
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 100; ++X) {
            const uint32_t P = C.B->Pixel(X, Y);
            if (X < 10 || X >= 30 || Y < 5 || Y >= 25) {
                EXPECT_EQ(P, Back);
            } else {
                EXPECT_EQ(P >> 24, 0xFFu);  // filled: alpha 255, text keeps it
            }
        }
    EXPECT_EQ(C.B->Pixel(29, 24), 0xFF0000FFu);

    // Background mode OPAQUE fills the text cell.
    C.Clear();
    SetBkMode(C.Dc, OPAQUE);
    TextOutW(C.Dc, 3, 2, u"ab", 2);
    const int W = C.Width(u"ab"), H = C.Metrics().tmHeight;
    EXPECT_EQ(C.Inked(), Rect(3, 2, 3 + W, 2 + H));
    EXPECT_EQ(C.B->Pixel(3, 2 + H - 1) >> 24, 0xFFu);
}

TEST(TextDC, TextAlignmentAndAdvances) {
    TCanvas C(120, 40, u"Tahoma", -13);
    const TEXTMETRICW Tm = C.Metrics();
    const auto TopLeft = C.TextOutPicture(10, 5, u"Hello");
    SetTextAlign(C.Dc, TA_BASELINE | TA_RIGHT);
    EXPECT_EQ(C.TextOutPicture(10 + C.Width(u"Hello"), 5 + Tm.tmAscent, u"Hello"), TopLeft);
    SetTextAlign(C.Dc, TA_LEFT | TA_TOP);
    // Advances given per unit: the natural ones reproduce the text.
    int Dx[5];
    for (int I = 0; I < 5; ++I) Dx[I] = C.Width(std::u16string(1, u"Hello"[I]));
    ExtTextOutW(C.Dc, 10, 5, 0, nullptr, u"Hello", 5, Dx);
    EXPECT_EQ(C.Pixels(), TopLeft);
    // Wider advances spread the letters.
    C.Clear();
    for (int& D : Dx) D += 4;
    ExtTextOutW(C.Dc, 10, 5, 0, nullptr, u"Hello", 5, Dx);
    EXPECT_GT(C.Inked().Right, 10 + C.Width(u"Hello") + 8);
}

TEST(TextDC, BottomUpBitmapsShowTextUpright) {
    TCanvas Down(80, 20, u"Tahoma", -13, 0, 400, true), Up(80, 20, u"Tahoma", -13, 0, 400, false);
    TextOutW(Down.Dc, 2, 2, u"Fg", 2);
    TextOutW(Up.Dc, 2, 2, u"Fg", 2);
    EXPECT_EQ(Down.Pixels(), Up.Pixels());
}

TEST(TextDC, MonochromeAndAntialiased) {
    for (int Quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, DEFAULT_QUALITY}) {
        TCanvas C(100, 24, u"微软雅黑", -16, Quality);
        TextOutW(C.Dc, 2, 2, u"永和Aa", 4);
        int Full = 0, Partial = 0;
        for (uint32_t P : C.Pixels()) {
            if (P == Back) continue;
            ((P & 0xFFFFFF) == 0x102030 ? Full : Partial)++;
        }
        EXPECT_GT(Full, 10);
        if (Quality == NONANTIALIASED_QUALITY) {
            EXPECT_EQ(Partial, 0);
        } else {
            EXPECT_GT(Partial, 10);
        }
    }
}

TEST(TextDC, DrawTextEllipsisKeepsWhatFits) {
    TCanvas C(200, 30);
    const String Text = u"微软雅黑Tahoma混排文字";
    const int Limit = C.Width(u"微软雅黑Ta") + C.Width(u"...");
    // The rule: the longest start whose width plus the ellipsis fits.
    String Expected;
    for (size_t K = Text.size(); K > 0; --K)
        if (C.Width(Text.substr(0, K)) + C.Width(u"...") <= Limit) {
            Expected = Text.substr(0, K) + u"...";
            break;
        }
    EXPECT_EQ(Expected, u"微软雅黑Ta...");
    EXPECT_EQ(C.DrawTextPicture(Text, Rect(4, 3, 4 + Limit, 30), DT_SINGLELINE | DT_END_ELLIPSIS),
              C.TextOutPicture(4, 3, Expected));
}

TEST(TextDC, DrawTextWordBreakOfChineseAndCalculatedRectangles) {
    TCanvas C(200, 100);
    const int LH = C.Metrics().tmHeight;
    const String Text = u"确定要删除所选的文件吗？此操作不能撤销。";
    const int W = C.Width(u"确定要删除所");
    RECT R = Rect(0, 0, W, 0);
    const int H = DrawTextW(C.Dc, Text.c_str(), -1, &R, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(H, R.Bottom);
    EXPECT_EQ(H % LH, 0);
    EXPECT_GE(H / LH, 4);
    EXPECT_LE(R.Right, W);
    EXPECT_EQ(C.Inked(), Rect(C.B->Width(), C.B->Height(), 0, 0));  // nothing drawn

    // Drawn line by line: the first line holds six ideographs, and no line starts with
    // closing punctuation.
    TQvTextLayout L;
    auto Font = QvFontOf(C.Font);
    QvLayoutText(Text, Rect(0, 0, W, 100), DT_WORDBREAK, LH,
                 [&](std::u16string_view T, std::vector<int>& A) { Font->Advances(T, A); }, L);
    ASSERT_EQ(static_cast<int>(L.Lines.size()) * LH, H);
    EXPECT_EQ(L.Lines[0].Text, u"确定要删除所");
    for (const auto& Line : L.Lines) EXPECT_FALSE(QvIsClosingPunctuation(Line.Text[0])) << StringToUtf8(Line.Text);

    // Single-line measuring and the empty cases.
    R = Rect(7, 9, 7, 9);
    EXPECT_EQ(DrawTextW(C.Dc, u"微软雅黑", -1, &R, DT_CALCRECT | DT_SINGLELINE), LH);
    EXPECT_EQ(R, Rect(7, 9, 7 + C.Width(u"微软雅黑"), 9 + LH));
    R = Rect(0, 0, 50, 50);
    EXPECT_EQ(DrawTextW(C.Dc, u"", -1, &R, DT_CALCRECT), 0);
    EXPECT_EQ(R, Rect(0, 0, 0, 0));
    EXPECT_EQ(DrawTextW(C.Dc, u"x", 1, nullptr, 0), 0);
}

TEST(TextDC, DrawTextVerticalCentringAndAlignment) {
    TCanvas C(200, 60);
    const int LH = C.Metrics().tmHeight, W = C.Width(u"居中");
    const TRect R = Rect(10, 10, 111, 51);
    RECT Copy = R;
    const auto Centred = C.DrawTextPicture(u"居中", R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const int Y = 10 + (41 - LH) / 2;
    EXPECT_EQ(Centred, C.TextOutPicture(10 + (101 - W) / 2, Y, u"居中"));
    EXPECT_EQ(DrawTextW(C.Dc, u"居中", -1, &Copy, DT_CENTER | DT_VCENTER | DT_SINGLELINE), Y + LH - 10);
    EXPECT_EQ(C.DrawTextPicture(u"居中", R, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE),
              C.TextOutPicture(111 - W, 51 - LH, u"居中"));
}

TEST(TextDC, DrawTextPrefixUnderline) {
    TCanvas C(100, 30, u"Tahoma", -13);
    const TQvFontMetrics& M = QvFontOf(C.Font)->Metrics();
    const auto Drawn = C.DrawTextPicture(u"&File", Rect(4, 2, 100, 30), DT_SINGLELINE);
    // The same as "File" plus a stroke under the 'F' only.
    C.Clear();
    TextOutW(C.Dc, 4, 2, u"File", 4);
    const int Row = 2 + M.Ascent + M.UnderlineOffset, FW = C.Width(u"F");
    std::vector<uint32_t> Expected = C.Pixels();
    for (int T = 0; T < M.UnderlineThickness; ++T)
        for (int X = 4; X < 4 + FW; ++X) Expected[static_cast<size_t>(Row + T) * 100 + X] = (Back & 0xFF000000) | 0x102030;
    EXPECT_EQ(Drawn, Expected);
    // Without prefix processing the '&' shows.
    EXPECT_EQ(C.DrawTextPicture(u"&File", Rect(4, 2, 100, 30), DT_SINGLELINE | DT_NOPREFIX),
              C.TextOutPicture(4, 2, u"&File"));
    EXPECT_EQ(C.DrawTextPicture(u"A && B", Rect(4, 2, 100, 30), DT_SINGLELINE), C.TextOutPicture(4, 2, u"A & B"));
}

TEST(TextDC, DrawTextPathEllipsisAndClipping) {
    TCanvas C(300, 30, u"Tahoma", -12);
    const String Path = u"D:\\Projects\\Varnoth\\Images\\background.png";
    const int Limit = C.Width(u"D:\\Pro...\\background.png");
    const auto Drawn = C.DrawTextPicture(Path, Rect(0, 0, Limit, 30), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(Drawn, C.TextOutPicture(0, 0, u"D:\\Pro...\\background.png"));
    // Clipped to the rectangle unless DT_NOCLIP.
    C.DrawTextPicture(u"", Rect(0, 0, 1, 1), 0);
    RECT R = Rect(0, 0, 20, 30);
    DrawTextW(C.Dc, Path.c_str(), -1, &R, DT_SINGLELINE);
    EXPECT_LE(C.Inked().Right, 20);
    C.Clear();
    DrawTextW(C.Dc, Path.c_str(), -1, &R, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(C.Inked().Right, 100);
}

TEST(TextDC, RightToLeftReading) {
    TCanvas C(100, 30, u"Tahoma", -13);
    EXPECT_EQ(C.DrawTextPicture(u"abc.", Rect(2, 2, 100, 30), DT_SINGLELINE | DT_RTLREADING),
              C.TextOutPicture(2, 2, u".abc"));
}

TEST(TextDC, GlyphOutlineThroughTheDC) {
    TCanvas C(10, 10, u"微软雅黑", -20);
    GLYPHMETRICS A{}, B{};
    const DWORD Size = GetGlyphOutlineW(C.Dc, U'字', GGO_NATIVE, &A, 0, nullptr, nullptr);
    EXPECT_EQ(Size, QvGlyphOutlineData(*QvFontOf(C.Font), U'字', GGO_NATIVE, &B, 0, nullptr, nullptr));
    EXPECT_GT(Size, 0u);
    EXPECT_EQ(A.gmCellIncX, C.Width(u"字"));
    EXPECT_EQ(GetGlyphOutlineW(nullptr, U'字', GGO_NATIVE, &A, 0, nullptr, nullptr), GDI_ERROR);
}

TEST(TextDC, GlyphIndexesAndCharacterExtra) {
    TCanvas C(120, 30, u"Tahoma", -13);
    const auto ByChars = C.TextOutPicture(3, 3, u"Ab");
    const TQvSizedFace* Face = QvFontOf(C.Font)->PrimaryFace();
    const Char Glyphs[2] = {static_cast<Char>(Face->Face()->GlyphIndex(U'A')),
                            static_cast<Char>(Face->Face()->GlyphIndex(U'b'))};
    ExtTextOutW(C.Dc, 3, 3, ETO_GLYPH_INDEX, nullptr, Glyphs, 2, nullptr);
    EXPECT_EQ(C.Pixels(), ByChars);

    // Extra spacing widens measuring and drawing alike.
    SetTextCharacterExtra(C.Dc, 3);
    EXPECT_EQ(C.Width(u"Ab"), QvFontOf(C.Font)->TextWidth(u"Ab") + 6);
    C.Clear();
    TextOutW(C.Dc, 3, 3, u"Ab", 2);
    EXPECT_NE(C.Pixels(), ByChars);
    SetTextCharacterExtra(C.Dc, 0);
}
