#include <gtest/gtest.h>

#include <string>

#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"
#include "test_gdi_support.h"

TEST(GdiDC, FreshMemoryDcDrawsNowhere) {
    HDC Dc = CreateCompatibleDC(nullptr);
    RECT R = Rect(0, 0, 10, 10);
    EXPECT_EQ(FillRect(Dc, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), TRUE);
    RECT Box;
    EXPECT_EQ(GetClipBox(Dc, &Box), NULLREGION);
    // The shared placeholder bitmap stayed untouched.
    TGdiBitmap* Placeholder = GdiBitmapOf(static_cast<HBITMAP>(GetCurrentObject(Dc, OBJ_BITMAP)));
    ASSERT_NE(Placeholder, nullptr);
    EXPECT_EQ(Placeholder->Pixel(0, 0), 0u);
    DeleteDC(Dc);
}

TEST(GdiDC, WindowOriginMovesDrawing) {
    TGdiCanvas C(6, 4);
    POINT Old;
    EXPECT_EQ(SetWindowOrgEx(C.Dc, 2, 1, &Old), TRUE);
    EXPECT_EQ(Old, Point(0, 0));
    RECT R = Rect(2, 1, 4, 2);  // logical (2, 1) is device (0, 0)
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(C.Dc, &R, Red);
    EXPECT_EQ(C.B->Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(C.B->Pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(C.B->Pixel(2, 0), 0u);
    POINT Org;
    GetWindowOrgEx(C.Dc, &Org);
    EXPECT_EQ(Org, Point(2, 1));
    RECT Box;
    EXPECT_EQ(GetClipBox(C.Dc, &Box), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(2, 1, 8, 5));
    POINT P[1] = {{5, 5}};
    LPtoDP(C.Dc, P, 1);
    EXPECT_EQ(P[0], Point(3, 4));
    DeleteObject(Red);
}

TEST(GdiDC, ClipThroughOriginVisibleRegionAndApplicationClip) {
    // A window DC: a child at (3, 2) of a 12 x 8 backing bitmap, its visible region a
    // 6 x 5 rectangle minus a sibling's 2 x 2 corner (device coordinates).
    HBITMAP Backing = GdiCreateBitmap32(12, 8);
    TQvRegion Visible = TQvRegion(Rect(0, 0, 6, 5)) - TQvRegion(Rect(4, 0, 6, 2));
    HDC Dc = GdiCreateDeviceDC(Backing, Point(3, 2), &Visible, nullptr);
    ASSERT_NE(Dc, nullptr);
    EXPECT_EQ(GetObjectType(Dc), DWORD{OBJ_DC});
    EXPECT_EQ(SelectObject(Dc, Backing), nullptr);  // no bitmaps into window DCs
    HBRUSH Black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT All = Rect(-50, -50, 50, 50);

    // The application clip (device coordinates) cannot widen the visible region.
    HRGN Clip = CreateRectRgn(1, 1, 20, 20);
    EXPECT_EQ(SelectClipRgn(Dc, Clip), COMPLEXREGION);
    FillRect(Dc, &All, Black);
    TGdiBitmap* B = GdiBitmapOf(Backing);
    std::string S;
    for (int Y = 0; Y < 8; ++Y) {
        for (int X = 0; X < 12; ++X) S += B->Pixel(X, Y) == 0 ? '.' : '#';
        S += '\n';
    }
    EXPECT_EQ(S,
              "............\n"
              "............\n"
              "............\n"
              "....###.....\n"
              "....#####...\n"
              "....#####...\n"
              "....#####...\n"
              "............\n");
    // The clip region is in device coordinates, so a window origin does not move it.
    SetWindowOrgEx(Dc, 1, 1, nullptr);
    RECT Box;
    EXPECT_EQ(GetClipBox(Dc, &Box), COMPLEXREGION);
    EXPECT_EQ(Box, Rect(2, 2, 7, 6));
    // IntersectClipRect works in logical coordinates.
    EXPECT_EQ(IntersectClipRect(Dc, 2, 2, 3, 3), SIMPLEREGION);
    EXPECT_EQ(PtVisible(Dc, 2, 2), TRUE);
    EXPECT_EQ(PtVisible(Dc, 3, 2), FALSE);
    HRGN Got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(Dc, Got), 1);
    EXPECT_EQ(GdiRegionOf(Got)->Region, TQvRegion(Rect(1, 1, 2, 2)));
    // Removing the clip leaves the visible region; the visible region is never widened.
    EXPECT_EQ(SelectClipRgn(Dc, nullptr), COMPLEXREGION);
    EXPECT_EQ(GetClipRgn(Dc, Got), 0);
    EXPECT_EQ(GdiDCOf(Dc)->DeviceClip(), Visible);
    for (HRGN R : {Clip, Got}) DeleteObject(R);
    DeleteDC(Dc);
    DeleteObject(Backing);
}

TEST(GdiDC, ExcludeAndCombineClip) {
    TGdiCanvas C(6, 3);
    EXPECT_EQ(ExcludeClipRect(C.Dc, 1, 0, 5, 3), COMPLEXREGION);
    HRGN Extra = CreateRectRgn(2, 1, 3, 2);
    EXPECT_EQ(ExtSelectClipRgn(C.Dc, Extra, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(ExtSelectClipRgn(C.Dc, nullptr, RGN_AND), ERROR);
    RECT All = Rect(0, 0, 6, 3);
    FillRect(C.Dc, &All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(C.Picture(),
              "#....#\n"
              "#.#..#\n"
              "#....#\n");
    // Without a clip, ExtSelectClipRgn combines with the whole device.
    SelectClipRgn(C.Dc, nullptr);
    EXPECT_EQ(ExtSelectClipRgn(C.Dc, Extra, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(PtVisible(C.Dc, 2, 1), FALSE);
    EXPECT_EQ(PtVisible(C.Dc, 5, 2), TRUE);
    DeleteObject(Extra);
}

TEST(GdiDC, SaveAndRestore) {
    TGdiCanvas C(4, 4);
    HPEN Pen = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
    SetTextColor(C.Dc, RGB(1, 2, 3));
    EXPECT_EQ(SaveDC(C.Dc), 1);
    SelectObject(C.Dc, Pen);
    SetTextColor(C.Dc, RGB(9, 9, 9));
    SetBkMode(C.Dc, TRANSPARENT);
    IntersectClipRect(C.Dc, 0, 0, 1, 1);
    SetWindowOrgEx(C.Dc, 5, 5, nullptr);
    EXPECT_EQ(SaveDC(C.Dc), 2);
    SetTextColor(C.Dc, RGB(7, 7, 7));
    EXPECT_EQ(SaveDC(C.Dc), 3);
    SetBrushOrgEx(C.Dc, 3, 3, nullptr);

    // -1 goes back one level.
    EXPECT_EQ(RestoreDC(C.Dc, -1), TRUE);
    EXPECT_EQ(GetTextColor(C.Dc), RGB(7, 7, 7));
    POINT Org;
    GetBrushOrgEx(C.Dc, &Org);
    EXPECT_EQ(Org, Point(0, 0));
    // A positive level drops everything above it.
    EXPECT_EQ(RestoreDC(C.Dc, 1), TRUE);
    EXPECT_EQ(GetTextColor(C.Dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(C.Dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(C.Dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    GetWindowOrgEx(C.Dc, &Org);
    EXPECT_EQ(Org, Point(0, 0));
    RECT Box;
    EXPECT_EQ(GetClipBox(C.Dc, &Box), SIMPLEREGION);
    EXPECT_EQ(Box, Rect(0, 0, 4, 4));
    EXPECT_EQ(RestoreDC(C.Dc, -1), FALSE);
    EXPECT_EQ(RestoreDC(C.Dc, 0), FALSE);
    EXPECT_EQ(SaveDC(C.Dc), 1);
    EXPECT_EQ(RestoreDC(C.Dc, 2), FALSE);
    EXPECT_EQ(RestoreDC(C.Dc, -2), FALSE);
    EXPECT_EQ(RestoreDC(C.Dc, -1), TRUE);
    // The pen kept alive by the saved state is freed with the DC after DeleteObject.
    EXPECT_EQ(DeleteObject(Pen), TRUE);
}

TEST(GdiDC, AttributesRejectBadValues) {
    TGdiCanvas C(1, 1);
    EXPECT_EQ(SetBkMode(C.Dc, 3), 0);
    EXPECT_EQ(SetBkMode(C.Dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetPolyFillMode(C.Dc, 0), 0);
    EXPECT_EQ(SetPolyFillMode(C.Dc, WINDING), ALTERNATE);
    EXPECT_EQ(SetROP2(C.Dc, 17), 0);
    EXPECT_EQ(SetROP2(C.Dc, R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(SetBkColor(nullptr, 0), CLR_INVALID);
    // System colours are resolved when stored.
    SetTextColor(C.Dc, static_cast<COLORREF>(clBtnFace));
    EXPECT_EQ(GetTextColor(C.Dc), GetSysColor(COLOR_BTNFACE));
}
