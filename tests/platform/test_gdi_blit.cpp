#include <gtest/gtest.h>

#include <vector>

#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiPrimitives.h"
#include "test_gdi_support.h"

namespace {

// Fills the canvas with distinct pixels: alpha, red = x, green = y, blue = a tag.
void Number(TGdiCanvas& C, uint8_t Tag, uint8_t Alpha = 0x7F) {
    for (int Y = 0; Y < C.B->Height(); ++Y)
        for (int X = 0; X < C.B->Width(); ++X)
            C.B->Pixel(X, Y) = uint32_t{Alpha} << 24 | uint32_t(X) << 16 | uint32_t(Y) << 8 | Tag;
}

uint32_t Numbered(int X, int Y, uint8_t Tag, uint8_t Alpha = 0x7F) {
    return uint32_t{Alpha} << 24 | uint32_t(X) << 16 | uint32_t(Y) << 8 | Tag;
}

}  // namespace

TEST(GdiBlit, CopyMovesAllFourBytesWithinClipAndSource) {
    TGdiCanvas Src(4, 4), Dst(6, 6, 0x11111111);
    Number(Src, 1);
    SetWindowOrgEx(Src.Dc, 1, 0, nullptr);  // source logical (1, 0) is its pixel (0, 0)
    IntersectClipRect(Dst.Dc, 0, 0, 5, 5);
    // Source (3, 2) .. : columns beyond the source bitmap are left alone.
    EXPECT_EQ(BitBlt(Dst.Dc, 2, 1, 4, 2, Src.Dc, 3, 2, SRCCOPY), TRUE);
    EXPECT_EQ(Dst.At(2, 1), Numbered(2, 2, 1));
    EXPECT_EQ(Dst.At(3, 2), Numbered(3, 3, 1));
    EXPECT_EQ(Dst.At(4, 1), 0x11111111u);  // source column 4 does not exist
    EXPECT_EQ(Dst.At(5, 1), 0x11111111u);  // outside the clip
    EXPECT_EQ(Dst.At(2, 3), 0x11111111u);
    EXPECT_EQ(BitBlt(Dst.Dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY), FALSE);
    EXPECT_EQ(BitBlt(Dst.Dc, 0, 0, -1, 1, Src.Dc, 0, 0, SRCCOPY), FALSE);
}

TEST(GdiBlit, OverlappingCopiesWithinOneBitmap) {
    // Scrolling a numbered bitmap in each direction gives what a copy through a separate
    // buffer gives.
    const int Moves[][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}, {2, 3}, {-3, -2}, {2, -1}};
    for (const auto& M : Moves) {
        TGdiCanvas C(8, 7);
        Number(C, 9);
        // Two clip parts on the same rows make the row order matter too.
        ExcludeClipRect(C.Dc, 3, 0, 4, 7);
        std::vector<uint32_t> Before(C.B->Row(0), C.B->Row(0) + 56);
        BitBlt(C.Dc, 1 + M[0], 1 + M[1], 5, 4, C.Dc, 1, 1, SRCCOPY);
        for (int Y = 0; Y < 7; ++Y)
            for (int X = 0; X < 8; ++X) {
                const int SX = X - M[0], SY = Y - M[1];
                const bool Written = X != 3 && X >= 1 + M[0] && X < 6 + M[0] && Y >= 1 + M[1] && Y < 5 + M[1];
                const uint32_t Want = Written ? Before[SY * 8 + SX] : Before[Y * 8 + X];
                ASSERT_EQ(C.At(X, Y), Want) << M[0] << "," << M[1] << " at " << X << "," << Y;
            }
    }
}

TEST(GdiBlit, PatternAndFillOperations) {
    TGdiCanvas C(4, 2, 0x40102030);
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(C.Dc, Red);
    EXPECT_EQ(PatBlt(C.Dc, 0, 0, 1, 1, PATCOPY), TRUE);
    EXPECT_EQ(C.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(PatBlt(C.Dc, 2, 1, -1, -1, BLACKNESS), TRUE);  // negative sizes extend left and up
    EXPECT_EQ(C.At(1, 0), 0xFF000000u);
    EXPECT_EQ(PatBlt(C.Dc, 2, 0, 1, 1, WHITENESS), TRUE);
    EXPECT_EQ(C.At(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PatBlt(C.Dc, 3, 0, 1, 1, DSTINVERT), TRUE);
    EXPECT_EQ(C.At(3, 0), 0x40EFDFCFu);  // alpha kept
    EXPECT_EQ(PatBlt(C.Dc, 0, 1, 1, 1, PATINVERT), TRUE);
    EXPECT_EQ(C.At(0, 1), 0x40EF2030u);
    EXPECT_EQ(PatBlt(C.Dc, 0, 0, 1, 1, SRCCOPY), FALSE);

    // Source operations combine colour and alpha bytes alike.
    TGdiCanvas S(1, 1, 0xF00F0FF0), D(1, 1, 0x3C3C3C3C);
    BitBlt(D.Dc, 0, 0, 1, 1, S.Dc, 0, 0, SRCAND);
    EXPECT_EQ(D.At(0, 0), 0x300C0C30u);
    BitBlt(D.Dc, 0, 0, 1, 1, S.Dc, 0, 0, SRCPAINT);
    EXPECT_EQ(D.At(0, 0), 0xF00F0FF0u);
    SelectObject(C.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Red);
}

TEST(GdiBlit, StretchUsesNearestRowsAndColumns) {
    TGdiCanvas Src(5, 2), Dst(8, 4);
    Number(Src, 3, 0x22);
    // Enlarging 2 -> 5 columns: column x takes trunc(x * 0.4).
    StretchBlt(Dst.Dc, 0, 0, 5, 2, Src.Dc, 1, 0, 2, 1, SRCCOPY);
    const int Cols[5] = {1, 1, 1, 2, 2};
    for (int X = 0; X < 5; ++X) {
        EXPECT_EQ(Dst.At(X, 0), Numbered(Cols[X], 0, 3, 0x22)) << X;
        EXPECT_EQ(Dst.At(X, 1), Numbered(Cols[X], 0, 3, 0x22)) << X;
    }
    // Shrinking 5 -> 2 columns: trunc(x * 2.5) = 0, 2.
    StretchBlt(Dst.Dc, 0, 2, 2, 1, Src.Dc, 0, 0, 5, 1, SRCCOPY);
    EXPECT_EQ(Dst.At(0, 2), Numbered(0, 0, 3, 0x22));
    EXPECT_EQ(Dst.At(1, 2), Numbered(2, 0, 3, 0x22));
    // A single column takes the middle one: (0 + 5 - 1) div 2 = 2.
    StretchBlt(Dst.Dc, 7, 0, 1, 1, Src.Dc, 0, 0, 5, 1, SRCCOPY);
    EXPECT_EQ(Dst.At(7, 0), Numbered(2, 0, 3, 0x22));
    // A negative destination width mirrors.
    StretchBlt(Dst.Dc, 8, 3, -5, 1, Src.Dc, 0, 1, 5, 1, SRCCOPY);
    for (int X = 3; X < 8; ++X) EXPECT_EQ(Dst.At(X, 3), Numbered(7 - X, 1, 3, 0x22)) << X;
    // Zero sizes draw nothing and fail nothing.
    EXPECT_EQ(StretchBlt(Dst.Dc, 0, 0, 0, 4, Src.Dc, 0, 0, 5, 2, SRCCOPY), TRUE);
}

TEST(GdiBlit, AlphaBlendArithmetic) {
    // Constant alpha: each byte (s * a + d * (255 - a) + 127) / 255.
    TGdiCanvas S(2, 1, 0xFF804020), D(2, 1, 0x00102030);
    BLENDFUNCTION Bf;
    Bf.SourceConstantAlpha = 128;
    EXPECT_EQ(AlphaBlend(D.Dc, 0, 0, 2, 1, S.Dc, 0, 0, 2, 1, Bf), TRUE);
    const uint32_t A =
        ((0xFFu * 128 + 0x00u * 127 + 127) / 255) << 24 | ((0x80u * 128 + 0x10u * 127 + 127) / 255) << 16 |
        ((0x40u * 128 + 0x20u * 127 + 127) / 255) << 8 | ((0x20u * 128 + 0x30u * 127 + 127) / 255);
    EXPECT_EQ(D.At(0, 0), A);
    EXPECT_EQ(D.At(0, 0), 0x80483028u);
    Bf.SourceConstantAlpha = 0;
    AlphaBlend(D.Dc, 1, 0, 1, 1, S.Dc, 0, 0, 1, 1, Bf);
    EXPECT_EQ(D.At(1, 0), 0x80483028u);
    Bf.SourceConstantAlpha = 255;
    AlphaBlend(D.Dc, 1, 0, 1, 1, S.Dc, 0, 0, 1, 1, Bf);
    EXPECT_EQ(D.At(1, 0), 0xFF804020u);

    // Premultiplied source alpha: half-transparent white over black.
    TGdiCanvas P(1, 1, 0x80808080), Q(1, 1, 0xFF000000);
    Bf.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(Q.Dc, 0, 0, 1, 1, P.Dc, 0, 0, 1, 1, Bf);
    EXPECT_EQ(Q.At(0, 0), 0xFF808080u);
    Bf.BlendOp = 1;
    EXPECT_EQ(AlphaBlend(Q.Dc, 0, 0, 1, 1, P.Dc, 0, 0, 1, 1, Bf), FALSE);
}

TEST(GdiBlit, TransparentCopySkipsTheKey) {
    TGdiCanvas S(2, 1, 0x00FF00FF), D(2, 1, 0x12345678);
    S.B->Pixel(1, 0) = 0x80010203;
    TransparentBlt(D.Dc, 0, 0, 2, 1, S.Dc, 0, 0, 2, 1, RGB(255, 0, 255));
    EXPECT_EQ(D.At(0, 0), 0x12345678u);
    EXPECT_EQ(D.At(1, 0), 0x80010203u);
}

TEST(GdiBlit, ConstantAlphaMatchesTheFormulaOnEveryByte) {
    // Source byte = x, destination byte = y, in all four channels.
    TGdiCanvas S(256, 256), D(256, 256);
    for (int A : {0, 1, 127, 128, 200, 254, 255}) {
        for (int Y = 0; Y < 256; ++Y)
            for (int X = 0; X < 256; ++X) {
                S.B->Pixel(X, Y) = 0x01010101u * static_cast<uint32_t>(X);
                D.B->Pixel(X, Y) = 0x01010101u * static_cast<uint32_t>(Y);
            }
        BLENDFUNCTION Bf;
        Bf.SourceConstantAlpha = static_cast<BYTE>(A);
        AlphaBlend(D.Dc, 0, 0, 256, 256, S.Dc, 0, 0, 256, 256, Bf);
        for (int Y = 0; Y < 256; ++Y)
            for (int X = 0; X < 256; ++X) {
                const uint32_t Want =
                    static_cast<uint32_t>((X * A + Y * (255 - A) + 127) / 255) * 0x01010101u;
                ASSERT_EQ(D.At(X, Y), Want) << "alpha " << A << " s " << X << " d " << Y;
            }
    }
}
