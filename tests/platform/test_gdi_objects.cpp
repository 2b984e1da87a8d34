#include <gtest/gtest.h>

#include <cstring>

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiRegions.h"

namespace {

BITMAPINFO Info32(int Width, int Height) {
    BITMAPINFO Bi{};
    Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Bi.bmiHeader.biWidth = Width;
    Bi.bmiHeader.biHeight = Height;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    Bi.bmiHeader.biCompression = BI_RGB;
    return Bi;
}

}  // namespace

TEST(GdiObjects, HandlesAreNeverReusedAndStaleOnesFail) {
    HRGN A = CreateRectRgn(0, 0, 1, 1);
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(GetObjectType(A), DWORD{OBJ_REGION});
    EXPECT_EQ(DeleteObject(A), TRUE);
    EXPECT_EQ(GetObjectType(A), 0u);
    EXPECT_EQ(DeleteObject(A), FALSE);
    // The slot is reused, the handle is not.
    HRGN B = CreateRectRgn(0, 0, 1, 1);
    EXPECT_NE(A, B);
    EXPECT_EQ(PtInRegion(A, 0, 0), FALSE);
    EXPECT_EQ(PtInRegion(B, 0, 0), TRUE);
    DeleteObject(B);
    EXPECT_EQ(GetObjectType(nullptr), 0u);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(uintptr_t{0x12345})), 0u);
}

TEST(GdiObjects, TypesAndStockObjects) {
    HDC Dc = CreateCompatibleDC(nullptr);
    HPEN Pen = CreatePen(PS_SOLID, 2, RGB(1, 2, 3));
    HBRUSH Brush = CreateSolidBrush(RGB(4, 5, 6));
    HBITMAP Bm = CreateCompatibleBitmap(Dc, 3, 3);
    EXPECT_EQ(GetObjectType(Dc), DWORD{OBJ_MEMDC});
    EXPECT_EQ(GetObjectType(Pen), DWORD{OBJ_PEN});
    EXPECT_EQ(GetObjectType(Brush), DWORD{OBJ_BRUSH});
    EXPECT_EQ(GetObjectType(Bm), DWORD{OBJ_BITMAP});

    // A DC is not freed by DeleteObject, and a stock object survives DeleteObject.
    EXPECT_EQ(DeleteObject(Dc), FALSE);
    EXPECT_EQ(GetObjectType(Dc), DWORD{OBJ_MEMDC});
    HGDIOBJ White = GetStockObject(WHITE_BRUSH);
    EXPECT_EQ(DeleteObject(White), TRUE);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), White);
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), DWORD{OBJ_PEN});
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(20), nullptr);

    LOGPEN Lp;
    ASSERT_EQ(GetObject(Pen, sizeof(Lp), &Lp), static_cast<int>(sizeof(LOGPEN)));
    EXPECT_EQ(Lp.lopnWidth.X, 2);
    EXPECT_EQ(Lp.lopnColor, RGB(1, 2, 3));
    LOGBRUSH Lb;
    ASSERT_EQ(GetObject(GetStockObject(NULL_BRUSH), sizeof(Lb), &Lb), static_cast<int>(sizeof(LOGBRUSH)));
    EXPECT_EQ(Lb.lbStyle, UINT{BS_NULL});
    // A buffer too small is refused rather than overrun.
    EXPECT_EQ(GetObject(Pen, 4, &Lp), 0);

    EXPECT_EQ(DeleteObject(Pen), TRUE);
    EXPECT_EQ(DeleteObject(Brush), TRUE);
    EXPECT_EQ(DeleteObject(Bm), TRUE);
    EXPECT_EQ(DeleteDC(Dc), TRUE);
    EXPECT_EQ(DeleteDC(Dc), FALSE);
}

TEST(GdiObjects, SelectObjectReturnsWhatItReplaces) {
    HDC Dc = CreateCompatibleDC(nullptr);
    HPEN Pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH Brush = CreateSolidBrush(0);
    HBITMAP Bm = GdiCreateBitmap32(2, 2);
    EXPECT_EQ(SelectObject(Dc, Pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(Dc, Brush), GetStockObject(WHITE_BRUSH));
    HGDIOBJ DefaultBitmap = SelectObject(Dc, Bm);
    EXPECT_NE(DefaultBitmap, nullptr);
    EXPECT_EQ(GetObjectType(DefaultBitmap), DWORD{OBJ_BITMAP});
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_BITMAP), Bm);
    EXPECT_EQ(SelectObject(Dc, DefaultBitmap), Bm);
    EXPECT_EQ(SelectObject(Dc, Dc), nullptr);
    EXPECT_EQ(SelectObject(nullptr, Pen), nullptr);
    DeleteObject(Bm);
    DeleteObject(Pen);
    DeleteObject(Brush);
    DeleteDC(Dc);
}

TEST(GdiObjects, DeletingASelectedBitmapKeepsItsPixelsUntilReleased) {
    HDC Dc = CreateCompatibleDC(nullptr);
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(4, 4, &Bits);
    SelectObject(Dc, Bm);
    const size_t Before = GdiObjectCount();
    EXPECT_EQ(DeleteObject(Bm), TRUE);
    EXPECT_EQ(GetObjectType(Bm), 0u);
    EXPECT_EQ(GdiObjectCount(), Before - 1);
    // The DC still draws into the same pixels; the memory is freed with the DC (the
    // sanitizer build checks both).
    TGdiDC* D = GdiDCOf(Dc);
    ASSERT_NE(D->Target(), nullptr);
    EXPECT_EQ(D->Target()->Bits(), Bits);
    static_cast<uint32_t*>(Bits)[15] = 0xFF010203;
    EXPECT_EQ(D->Target()->Pixel(3, 3), 0xFF010203u);
    DeleteDC(Dc);
}

TEST(GdiBitmaps, DibSectionLayout) {
    // Top-down: row 0 first in memory; bytes B, G, R, A; stride width * 4; zero-filled.
    BITMAPINFO Bi = Info32(3, -2);
    void* Bits = nullptr;
    HBITMAP Bm = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    ASSERT_NE(Bm, nullptr);
    ASSERT_NE(Bits, nullptr);
    auto* Bytes = static_cast<uint8_t*>(Bits);
    for (int K = 0; K < 24; ++K) ASSERT_EQ(Bytes[K], 0);
    TGdiBitmap* B = GdiBitmapOf(Bm);
    B->Pixel(1, 1) = 0x80112233;
    EXPECT_EQ(Bytes[(1 * 3 + 1) * 4 + 0], 0x33);
    EXPECT_EQ(Bytes[(1 * 3 + 1) * 4 + 1], 0x22);
    EXPECT_EQ(Bytes[(1 * 3 + 1) * 4 + 2], 0x11);
    EXPECT_EQ(Bytes[(1 * 3 + 1) * 4 + 3], 0x80);

    DIBSECTION Ds;
    ASSERT_EQ(GetObject(Bm, sizeof(Ds), &Ds), static_cast<int>(sizeof(DIBSECTION)));
    EXPECT_EQ(Ds.dsBm.bmWidth, 3);
    EXPECT_EQ(Ds.dsBm.bmHeight, 2);
    EXPECT_EQ(Ds.dsBm.bmWidthBytes, 12);
    EXPECT_EQ(Ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(Ds.dsBm.bmBits, Bits);
    EXPECT_EQ(Ds.dsBmih.biHeight, -2);
    BITMAP Plain;
    ASSERT_EQ(GetObject(Bm, sizeof(Plain), &Plain), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(Plain.bmHeight, 2);
    EXPECT_EQ(GetObject(Bm, 0, nullptr), static_cast<int>(sizeof(DIBSECTION)));
    DeleteObject(Bm);

    // Bottom-up: the bottom row comes first in memory, Row(0) is still the top.
    Bi = Info32(2, 2);
    Bm = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    ASSERT_NE(Bm, nullptr);
    GdiBitmapOf(Bm)->Pixel(0, 0) = 0xFFABCDEF;
    EXPECT_EQ(static_cast<uint32_t*>(Bits)[2], 0xFFABCDEFu);
    DeleteObject(Bm);
}

TEST(GdiBitmaps, RefusesOtherFormatsAndAbsurdSizes) {
    void* Bits = reinterpret_cast<void*>(1);
    auto Try = [&](BITMAPINFO Bi) {
        Bits = reinterpret_cast<void*>(1);
        HBITMAP Bm = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
        if (Bm != nullptr) DeleteObject(Bm);
        return Bm != nullptr;
    };
    EXPECT_FALSE(Try(Info32(0, 5)));
    EXPECT_EQ(Bits, nullptr);
    EXPECT_FALSE(Try(Info32(5, 0)));
    EXPECT_FALSE(Try(Info32(-5, 5)));
    EXPECT_FALSE(Try(Info32(40000, 1)));
    EXPECT_FALSE(Try(Info32(1, -40000)));
    EXPECT_FALSE(Try(Info32(20000, 20000)));  // over 2^28 pixels
    EXPECT_FALSE(Try(Info32(1, INT32_MIN)));
    BITMAPINFO Bi = Info32(4, 4);
    Bi.bmiHeader.biBitCount = 24;
    EXPECT_FALSE(Try(Bi));
    Bi = Info32(4, 4);
    Bi.bmiHeader.biCompression = BI_BITFIELDS;
    EXPECT_FALSE(Try(Bi));
    EXPECT_TRUE(Try(Info32(32767, -1)));
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &Bits, nullptr, 0), nullptr);

    EXPECT_EQ(CreateCompatibleBitmap(nullptr, -1, 4), nullptr);
    HBITMAP Empty = CreateCompatibleBitmap(nullptr, 0, 0);
    BITMAP B;
    ASSERT_NE(Empty, nullptr);
    GetObject(Empty, sizeof(B), &B);
    EXPECT_EQ(B.bmWidth, 1);
    EXPECT_EQ(B.bmHeight, 1);
    DeleteObject(Empty);
}

TEST(GdiBitmaps, MonochromeBitmapRows) {
    // 10 pixels wide: each row takes one 16-bit word.
    const uint8_t Bits[] = {0xA0, 0x40, 0xFF, 0xC0};
    HBITMAP Bm = CreateBitmap(10, 2, 1, 1, Bits);
    ASSERT_NE(Bm, nullptr);
    TGdiBitmap* B = GdiBitmapOf(Bm);
    EXPECT_TRUE(B->Monochrome());
    const uint32_t W = 0xFFFFFFFF, K = 0xFF000000;
    const uint32_t Row0[10] = {W, K, W, K, K, K, K, K, K, W};
    const uint32_t Row1[10] = {W, W, W, W, W, W, W, W, W, W};
    for (int X = 0; X < 10; ++X) {
        EXPECT_EQ(B->Pixel(X, 0), Row0[X]) << X;
        EXPECT_EQ(B->Pixel(X, 1), Row1[X]) << X;
    }
    EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
    DeleteObject(Bm);
}
