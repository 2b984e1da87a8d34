#include <gtest/gtest.h>

#include <string>

#include "platform/uQvGdiPrimitives.h"
#include "test_gdi_support.h"

namespace {

constexpr uint32_t Black = 0xFF000000, White = 0xFFFFFFFF;

uint32_t Sys(int Index) {
    return GdiPixelOf(GetSysColor(Index));
}

// A 2 x 2 black/white checker bitmap: as a pattern brush it dots every other pixel.
HBRUSH DottedBrush() {
    HBITMAP Bm = GdiCreateBitmap32(2, 2);
    TGdiBitmap* B = GdiBitmapOf(Bm);
    B->Pixel(0, 0) = White;
    B->Pixel(1, 1) = White;
    B->Pixel(1, 0) = Black;
    B->Pixel(0, 1) = Black;
    HBRUSH Brush = CreatePatternBrush(Bm);
    DeleteObject(Bm);  // the brush keeps its own copy
    return Brush;
}

}  // namespace

TEST(GdiPrimitives, FrameRectSmallSizes) {
    TGdiCanvas C(4, 4);
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    RECT One = Rect(1, 1, 2, 2);
    FrameRect(C.Dc, &One, Red);
    EXPECT_EQ(C.Picture(),
              "....\n"
              ".#..\n"
              "....\n"
              "....\n");
    EXPECT_EQ(C.At(1, 1), 0xFFFF0000u);
    TGdiCanvas D(4, 4);
    RECT Two = Rect(1, 1, 3, 3);
    FrameRect(D.Dc, &Two, Red);
    EXPECT_EQ(D.Picture(),
              "....\n"
              ".##.\n"
              ".##.\n"
              "....\n");
    TGdiCanvas E(5, 5);
    RECT Three = Rect(1, 1, 4, 4);
    FrameRect(E.Dc, &Three, Red);
    EXPECT_EQ(E.Picture(),
              ".....\n"
              ".###.\n"
              ".#.#.\n"
              ".###.\n"
              ".....\n");
    RECT Empty = Rect(2, 2, 2, 4);
    FrameRect(E.Dc, &Empty, Red);
    EXPECT_EQ(E.At(2, 2), 0u);
    DeleteObject(Red);
}

TEST(GdiPrimitives, FillRectTakesSystemColourIndexes) {
    TGdiCanvas C(2, 1);
    RECT R = Rect(0, 0, 2, 1);
    EXPECT_EQ(FillRect(C.Dc, &R, reinterpret_cast<HBRUSH>(uintptr_t{COLOR_BTNFACE + 1})), TRUE);
    EXPECT_EQ(C.At(0, 0), Sys(COLOR_BTNFACE));
    EXPECT_EQ(FillRect(C.Dc, &R, reinterpret_cast<HBRUSH>(uintptr_t{0x999999})), FALSE);
    EXPECT_EQ(FillRect(C.Dc, &R, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), TRUE);
    EXPECT_EQ(C.At(1, 0), Sys(COLOR_BTNFACE));
}

TEST(GdiPrimitives, PatternBrushLinesUpAcrossFills) {
    HBRUSH Dots = DottedBrush();
    // Two fills side by side give the same pixels as one fill: the pattern follows device
    // coordinates, not the rectangles.
    TGdiCanvas Split(16, 4), Whole(16, 4);
    RECT A = Rect(0, 0, 5, 4), B = Rect(5, 0, 16, 4), All = Rect(0, 0, 16, 4);
    FillRect(Split.Dc, &A, Dots);
    FillRect(Split.Dc, &B, Dots);
    FillRect(Whole.Dc, &All, Dots);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 16; ++X) {
            ASSERT_EQ(Split.At(X, Y), Whole.At(X, Y)) << X << "," << Y;
            ASSERT_EQ(Whole.At(X, Y), (X + Y) % 2 == 0 ? White : Black) << X << "," << Y;
        }
    // The brush origin shifts the pattern; the window origin does not.
    SetBrushOrgEx(Whole.Dc, 1, 0, nullptr);
    SetWindowOrgEx(Whole.Dc, 3, 0, nullptr);
    RECT Moved = Rect(3, 0, 19, 4);
    FillRect(Whole.Dc, &Moved, Dots);
    EXPECT_EQ(Whole.At(0, 0), Black);
    EXPECT_EQ(Whole.At(1, 0), White);

    // In a window DC the pattern aligns to the window (device) coordinates.
    HBITMAP Backing = GdiCreateBitmap32(8, 8);
    HDC Win = GdiCreateDeviceDC(Backing, Point(3, 2), nullptr, nullptr);
    RECT Client = Rect(0, 0, 4, 4);
    FillRect(Win, &Client, Dots);
    TGdiBitmap* Bk = GdiBitmapOf(Backing);
    EXPECT_EQ(Bk->Pixel(3, 2), White);  // device (0, 0)
    EXPECT_EQ(Bk->Pixel(4, 2), Black);
    DeleteDC(Win);
    DeleteObject(Backing);
    DeleteObject(Dots);
}

TEST(GdiPrimitives, MonochromePatternUsesTextAndBackgroundColours) {
    const uint8_t Rows[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    HBITMAP Mono = CreateBitmap(8, 8, 1, 1, Rows);
    HBRUSH Brush = CreatePatternBrush(Mono);
    TGdiCanvas C(2, 1);
    SetTextColor(C.Dc, RGB(0, 0, 255));
    SetBkColor(C.Dc, RGB(0, 255, 0));
    RECT R = Rect(0, 0, 2, 1);
    FillRect(C.Dc, &R, Brush);
    EXPECT_EQ(C.At(0, 0), 0xFF00FF00u);  // 1 bit: background colour
    EXPECT_EQ(C.At(1, 0), 0xFF0000FFu);  // 0 bit: text colour
    DeleteObject(Brush);
    DeleteObject(Mono);
}

TEST(GdiPrimitives, LineToLeavesTheEndPoint) {
    TGdiCanvas C(6, 6);
    SelectObject(C.Dc, GetStockObject(WHITE_PEN));
    MoveToEx(C.Dc, 0, 0, nullptr);
    LineTo(C.Dc, 4, 0);
    EXPECT_EQ(C.Picture(),
              "####..\n"
              "......\n"
              "......\n"
              "......\n"
              "......\n"
              "......\n");
    POINT P;
    GetCurrentPositionEx(C.Dc, &P);
    EXPECT_EQ(P, Point(4, 0));
    // Continuing from the end point draws it as the next line's start.
    LineTo(C.Dc, 4, 3);
    EXPECT_EQ(C.At(4, 0), White);
    EXPECT_EQ(C.At(4, 2), White);
    EXPECT_EQ(C.At(4, 3), 0u);
    // A line to where it starts draws nothing.
    LineTo(C.Dc, 4, 3);
    EXPECT_EQ(C.At(4, 3), 0u);

    TGdiCanvas D(6, 3);
    SelectObject(D.Dc, GetStockObject(WHITE_PEN));
    MoveToEx(D.Dc, 0, 0, nullptr);
    LineTo(D.Dc, 4, 1);  // halfway steps round towards the larger coordinate
    EXPECT_EQ(D.Picture(),
              "##....\n"
              "..##..\n"
              "......\n");
    // Drawn the other way, the end at (0, 0) is left out.
    TGdiCanvas E(6, 3);
    SelectObject(E.Dc, GetStockObject(WHITE_PEN));
    MoveToEx(E.Dc, 4, 1, nullptr);
    LineTo(E.Dc, 0, 0);
    EXPECT_EQ(E.At(0, 0), 0u);
    EXPECT_EQ(E.At(4, 1), White);
}

TEST(GdiPrimitives, PolylineAndFarOffLines) {
    TGdiCanvas C(5, 5);
    SelectObject(C.Dc, GetStockObject(WHITE_PEN));
    const POINT Path[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    Polyline(C.Dc, Path, 4);
    EXPECT_EQ(C.Picture(),
              "#####\n"
              "....#\n"
              "....#\n"
              "....#\n"
              ".####\n");
    // A line with far-off ends costs only what the clip shows and draws what crosses it.
    TGdiCanvas D(4, 3);
    SelectObject(D.Dc, GetStockObject(WHITE_PEN));
    MoveToEx(D.Dc, -2000000000, 1, nullptr);
    LineTo(D.Dc, 2000000000, 1);
    EXPECT_EQ(D.Picture(),
              "....\n"
              "####\n"
              "....\n");
}

TEST(GdiPrimitives, DottedPenFillsGapsOnlyWhenOpaque) {
    HPEN Dot = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
    TGdiCanvas C(8, 2);
    SelectObject(C.Dc, Dot);
    SetBkColor(C.Dc, RGB(255, 0, 0));
    MoveToEx(C.Dc, 0, 0, nullptr);
    LineTo(C.Dc, 8, 0);
    const uint32_t R = 0xFFFF0000;
    const uint32_t Want[8] = {White, White, White, R, R, R, White, White};
    for (int X = 0; X < 8; ++X) EXPECT_EQ(C.At(X, 0), Want[X]) << X;
    SetBkMode(C.Dc, TRANSPARENT);
    MoveToEx(C.Dc, 0, 1, nullptr);
    LineTo(C.Dc, 8, 1);
    EXPECT_EQ(C.At(3, 1), 0u);
    EXPECT_EQ(C.At(6, 1), White);
    SelectObject(C.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Dot);
}

TEST(GdiPrimitives, WidePensAreCentredBands) {
    // Width 3: centred on the path row, round ends reaching a pixel past each end.
    HPEN Three = CreatePen(PS_SOLID, 3, RGB(255, 255, 255));
    TGdiCanvas C(12, 9);
    SelectObject(C.Dc, Three);
    MoveToEx(C.Dc, 2, 4, nullptr);
    LineTo(C.Dc, 8, 4);
    EXPECT_EQ(C.Picture(),
              "............\n"
              "............\n"
              "............\n"
              ".#########..\n"
              ".#########..\n"
              ".#########..\n"
              "............\n"
              "............\n"
              "............\n");
    // Width 2: the extra row goes above the path.
    HPEN Two = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
    TGdiCanvas D(12, 7);
    SelectObject(D.Dc, Two);
    MoveToEx(D.Dc, 2, 4, nullptr);
    LineTo(D.Dc, 8, 4);
    EXPECT_EQ(D.Picture(),
              "............\n"
              "............\n"
              "............\n"
              ".########...\n"
              ".########...\n"
              "............\n"
              "............\n");
    // Width 5 vertical: round end caps narrow towards the ends.
    HPEN Five = CreatePen(PS_SOLID, 5, RGB(255, 255, 255));
    TGdiCanvas E(9, 12);
    SelectObject(E.Dc, Five);
    MoveToEx(E.Dc, 4, 3, nullptr);
    LineTo(E.Dc, 4, 8);
    EXPECT_EQ(E.Picture(),
              ".........\n"
              "...###...\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "..#####..\n"
              "...###...\n"
              ".........\n");
    SelectObject(E.Dc, GetStockObject(BLACK_PEN));
    SelectObject(D.Dc, GetStockObject(BLACK_PEN));
    SelectObject(C.Dc, GetStockObject(BLACK_PEN));
    for (HPEN P : {Two, Three, Five}) DeleteObject(P);
}

TEST(GdiPrimitives, ShapesKeepTheirOutlineInside) {
    TGdiCanvas C(6, 5);
    SelectObject(C.Dc, GetStockObject(WHITE_PEN));
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(C.Dc, Red);
    Rectangle(C.Dc, 0, 0, 5, 4);
    EXPECT_EQ(C.Picture(),
              "#####.\n"
              "#####.\n"
              "#####.\n"
              "#####.\n"
              "......\n");
    EXPECT_EQ(C.At(0, 0), White);
    EXPECT_EQ(C.At(4, 3), White);
    EXPECT_EQ(C.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(C.At(3, 2), 0xFFFF0000u);

    // The null pen fills one pixel less on the right and bottom.
    TGdiCanvas D(6, 5);
    SelectObject(D.Dc, GetStockObject(NULL_PEN));
    SelectObject(D.Dc, Red);
    Rectangle(D.Dc, 0, 0, 5, 4);
    EXPECT_EQ(D.Picture(),
              "####..\n"
              "####..\n"
              "####..\n"
              "......\n"
              "......\n");

    // Ellipse outline: a thin ring inside the box, filled inside.
    TGdiCanvas E(8, 8);
    SelectObject(E.Dc, GetStockObject(WHITE_PEN));
    SelectObject(E.Dc, GetStockObject(NULL_BRUSH));
    Ellipse(E.Dc, 0, 0, 8, 8);
    EXPECT_EQ(E.Picture(),
              "..####..\n"
              ".#....#.\n"
              "#......#\n"
              "#......#\n"
              "#......#\n"
              "#......#\n"
              ".#....#.\n"
              "..####..\n");
    // Round rectangle with 4 x 4 corners cuts a single pixel at each corner.
    TGdiCanvas F(6, 5);
    SelectObject(F.Dc, GetStockObject(WHITE_PEN));
    SelectObject(F.Dc, GetStockObject(WHITE_BRUSH));
    RoundRect(F.Dc, 0, 0, 6, 5, 4, 4);
    EXPECT_EQ(F.Picture(),
              ".####.\n"
              "######\n"
              "######\n"
              "######\n"
              ".####.\n");
    // Shapes larger than the bitmap: their outline stays at the shape's own edge, never
    // at the edge of what is visible.
    TGdiCanvas G(4, 4);
    SelectObject(G.Dc, GetStockObject(WHITE_PEN));
    SelectObject(G.Dc, GetStockObject(NULL_BRUSH));
    Ellipse(G.Dc, -10, -10, 14, 14);
    RoundRect(G.Dc, -10, -10, 14, 14, 6, 6);
    Rectangle(G.Dc, -10, -10, 14, 14);
    EXPECT_EQ(G.Picture(), "....\n....\n....\n....\n");
    RoundRect(G.Dc, -10, -10, 4, 14, 6, 6);
    EXPECT_EQ(G.Picture(), "...#\n...#\n...#\n...#\n");
    for (TGdiCanvas* X : {&C, &D, &E, &F, &G}) {
        SelectObject(X->Dc, GetStockObject(BLACK_PEN));
        SelectObject(X->Dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteObject(Red);
}

TEST(GdiPrimitives, PolygonFillModes) {
    const POINT Star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    TGdiCanvas Alt(21, 20), Wind(21, 20);
    for (TGdiCanvas* C : {&Alt, &Wind}) {
        SelectObject(C->Dc, GetStockObject(NULL_PEN));
        SelectObject(C->Dc, GetStockObject(WHITE_BRUSH));
    }
    SetPolyFillMode(Wind.Dc, WINDING);
    Polygon(Alt.Dc, Star, 5);
    Polygon(Wind.Dc, Star, 5);
    EXPECT_EQ(Alt.At(10, 10), 0u);      // the centre pentagon is a hole by the alternate rule
    EXPECT_EQ(Wind.At(10, 10), White);  // and inside by the winding rule
    EXPECT_EQ(Alt.At(10, 3), White);
    EXPECT_EQ(Wind.At(10, 3), White);
    // Outside both: between two points.
    EXPECT_EQ(Wind.At(10, 18), 0u);

    // With a pen the outline closes through every vertex, right and bottom included.
    TGdiCanvas Sq(6, 6);
    SelectObject(Sq.Dc, GetStockObject(WHITE_PEN));
    SelectObject(Sq.Dc, GetStockObject(NULL_BRUSH));
    const POINT Box[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    Polygon(Sq.Dc, Box, 4);
    EXPECT_EQ(Sq.Picture(),
              "#####.\n"
              "#...#.\n"
              "#...#.\n"
              "#...#.\n"
              "#####.\n"
              "......\n");
    SelectObject(Sq.Dc, GetStockObject(BLACK_PEN));
    SelectObject(Sq.Dc, GetStockObject(WHITE_BRUSH));
    for (TGdiCanvas* C : {&Alt, &Wind}) SelectObject(C->Dc, GetStockObject(BLACK_PEN));
}

TEST(GdiPrimitives, FocusRectTwiceRestoresPixels) {
    TGdiCanvas C(7, 5, 0x80123456);
    RECT R = Rect(1, 1, 6, 5);
    DrawFocusRect(C.Dc, &R);
    EXPECT_EQ(C.Picture(0x80123456),
              ".......\n"
              ".#.#.#.\n"
              ".......\n"
              ".#...#.\n"
              "..#.#..\n");
    EXPECT_EQ(C.At(1, 1), 0x80EDCBA9u);  // RGB inverted, alpha kept
    EXPECT_EQ(C.At(3, 2), 0x80123456u);  // inside untouched
    DrawFocusRect(C.Dc, &R);
    for (int Y = 0; Y < 5; ++Y)
        for (int X = 0; X < 7; ++X) ASSERT_EQ(C.At(X, Y), 0x80123456u);
}

TEST(GdiPrimitives, DrawEdgeColoursAndAdjust) {
    TGdiCanvas C(4, 4);
    RECT R = Rect(0, 0, 4, 4);
    EXPECT_EQ(DrawEdge(C.Dc, &R, EDGE_RAISED, BF_RECT | BF_ADJUST), TRUE);
    EXPECT_EQ(R, Rect(2, 2, 2, 2));
    const uint32_t L = Sys(COLOR_3DLIGHT), K = Sys(COLOR_3DDKSHADOW), H = Sys(COLOR_BTNHIGHLIGHT),
                   S = Sys(COLOR_BTNSHADOW);
    const uint32_t Want[4][4] = {{L, L, L, K}, {L, H, S, K}, {L, S, S, K}, {K, K, K, K}};
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X) EXPECT_EQ(C.At(X, Y), Want[Y][X]) << X << "," << Y;

    // Sunken, top and left only, with the middle filled.
    TGdiCanvas D(4, 3);
    RECT T = Rect(0, 0, 4, 3);
    DrawEdge(D.Dc, &T, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MIDDLE);
    EXPECT_EQ(D.At(0, 0), S);
    EXPECT_EQ(D.At(0, 2), 0u);  // the left side stops short of the bottom-right corners
    EXPECT_EQ(D.At(3, 0), 0u);
    EXPECT_EQ(D.At(1, 1), Sys(COLOR_BTNFACE));
    EXPECT_EQ(D.At(3, 2), Sys(COLOR_BTNFACE));
    EXPECT_EQ(DrawEdge(D.Dc, &T, EDGE_RAISED, BF_DIAGONAL), FALSE);
}

TEST(GdiPrimitives, PixelsAndRasterOperations) {
    TGdiCanvas C(3, 2, 0x00000000);
    EXPECT_EQ(SetPixel(C.Dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(C.At(1, 1), 0xFF010203u);
    EXPECT_EQ(GetPixel(C.Dc, 1, 1), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(C.Dc, 3, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(C.Dc, -1, 0), CLR_INVALID);
    IntersectClipRect(C.Dc, 0, 0, 1, 1);
    EXPECT_EQ(GetPixel(C.Dc, 1, 1), CLR_INVALID);
    SelectClipRgn(C.Dc, nullptr);

    // An XOR pen drawn twice restores the pixels and keeps their alpha.
    TGdiCanvas D(4, 1, 0x40336699);
    HPEN Pen = CreatePen(PS_SOLID, 1, RGB(0xFF, 0x0F, 0x00));
    SelectObject(D.Dc, Pen);
    SetROP2(D.Dc, R2_XORPEN);
    MoveToEx(D.Dc, 0, 0, nullptr);
    LineTo(D.Dc, 4, 0);
    EXPECT_EQ(D.At(0, 0), 0x40CC6999u);
    MoveToEx(D.Dc, 0, 0, nullptr);
    LineTo(D.Dc, 4, 0);
    EXPECT_EQ(D.At(3, 0), 0x40336699u);
    SetROP2(D.Dc, R2_BLACK);
    MoveToEx(D.Dc, 0, 0, nullptr);
    LineTo(D.Dc, 1, 0);
    EXPECT_EQ(D.At(0, 0), 0xFF000000u);
    SelectObject(D.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Pen);
}

TEST(GdiPrimitives, RegionsFillAndFrame) {
    TGdiCanvas C(6, 6);
    HRGN R = CreateRectRgn(1, 1, 5, 5);
    HBRUSH White = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    SetWindowOrgEx(C.Dc, 1, 1, nullptr);  // regions are logical coordinates here
    FrameRgn(C.Dc, R, White, 1, 1);
    EXPECT_EQ(C.Picture(),
              "####..\n"
              "#..#..\n"
              "#..#..\n"
              "####..\n"
              "......\n"
              "......\n");
    FillRgn(C.Dc, R, White);
    EXPECT_EQ(C.At(1, 1), ::White);
    EXPECT_EQ(FillRgn(C.Dc, nullptr, White), FALSE);
    DeleteObject(R);
}
