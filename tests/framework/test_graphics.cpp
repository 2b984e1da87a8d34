// Fonts, pens, brushes and the canvas: size arithmetic, change notification, and drawing
// that lands in exact pixels through the device context.
#include <gtest/gtest.h>

#include "framework/uQvGraphics.h"
#include "framework/uQvPictures.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvStrUtils.h"

namespace {

// Counts the notifications of anything with an OnChange.
template <typename T>
int* CountChanges(T& Object) {
    auto Count = std::make_shared<int>(0);
    Object.OnChange = [Count](TObject*) { ++*Count; };
    return Count.get();
}

uint32_t Px(TBitmap& B, int X, int Y) {
    return B.ScanLine(Y)[X];
}

// The pixels of a bitmap that differ from Background.
int Inked(TBitmap& B, uint32_t Background, const TRect& Inside = Rect(0, 0, 1 << 20, 1 << 20)) {
    int N = 0;
    for (int Y = std::max(0, Inside.Top); Y < std::min(B.Height(), Inside.Bottom); ++Y)
        for (int X = std::max(0, Inside.Left); X < std::min(B.Width(), Inside.Right); ++X)
            N += Px(B, X, Y) != Background;
    return N;
}

}  // namespace

TEST(Font, DefaultsAndSizeArithmetic) {
    TFont F;
    EXPECT_EQ(F.Name(), u"Tahoma");
    EXPECT_EQ(F.Size(), 8);
    EXPECT_EQ(F.Height(), -11);
    EXPECT_EQ(F.Color(), clWindowText);
    EXPECT_EQ(F.Charset(), DEFAULT_CHARSET);
    EXPECT_TRUE(F.Style().Empty());
    EXPECT_EQ(F.PixelsPerInch(), 96);

    const int Sizes[] = {8, 9, 10, 13};
    const int At96[] = {-11, -12, -13, -17};
    const int At144[] = {-16, -18, -20, -26};
    for (int I = 0; I < 4; ++I) {
        F.SetPixelsPerInch(96);
        F.SetSize(Sizes[I]);
        EXPECT_EQ(F.Height(), At96[I]) << Sizes[I];
        EXPECT_EQ(F.Size(), Sizes[I]);
        F.SetPixelsPerInch(144);
        F.SetSize(Sizes[I]);
        EXPECT_EQ(F.Height(), At144[I]) << Sizes[I];
        EXPECT_EQ(F.Size(), Sizes[I]);
    }
    // The height is what the font keeps; the size is read back through the rounding.
    F.SetPixelsPerInch(96);
    F.SetHeight(-14);
    EXPECT_EQ(F.Size(), 11);  // 10.5 rounds away from zero
    F.SetPixelsPerInch(144);
    EXPECT_EQ(F.Height(), -14);
    EXPECT_EQ(F.Size(), 7);
    // A positive height is a cell height and reads as a negative size.
    F.SetHeight(20);
    EXPECT_EQ(F.Size(), -10);
    // A resolution that would divide by zero is refused.
    F.SetPixelsPerInch(0);
    EXPECT_EQ(F.PixelsPerInch(), 144);
}

TEST(Font, ChangesAreReportedOnlyWhenReal) {
    TFont F;
    int* Count = CountChanges(F);
    F.SetName(u"Tahoma");
    F.SetSize(8);
    F.SetHeight(-11);
    F.SetStyle({});
    F.SetColor(clWindowText);
    F.SetCharset(DEFAULT_CHARSET);
    F.SetPitch(fpDefault);
    F.SetQuality(fqDefault);
    F.SetName(u"");  // ignored
    EXPECT_EQ(*Count, 0);

    const HFONT Before = F.Handle();
    ASSERT_NE(Before, nullptr);
    F.SetColor(clRed);  // the colour is not part of the platform font
    EXPECT_EQ(*Count, 1);
    EXPECT_EQ(F.Handle(), Before);
    F.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(*Count, 2);
    const HFONT Bold = F.Handle();
    EXPECT_NE(Bold, Before);
    EXPECT_EQ(GetObjectType(Before), 0u);  // the old one is freed
    LOGFONTW Log;
    ASSERT_EQ(GetObjectW(Bold, sizeof Log, &Log), static_cast<int>(sizeof Log));
    EXPECT_EQ(Log.lfWeight, FW_BOLD);
    EXPECT_EQ(Log.lfUnderline, 1);
    EXPECT_EQ(Log.lfItalic, 0);
    EXPECT_EQ(Log.lfHeight, -11);
    EXPECT_EQ(String(Log.lfFaceName), u"Tahoma");

    // Assign notifies once for any number of differences, and not at all for none.
    TFont G;
    G.SetName(u"微软雅黑");
    G.SetPixelsPerInch(144);
    G.SetSize(12);
    G.SetQuality(fqAntialiased);
    F.Assign(&G);
    EXPECT_EQ(*Count, 3);
    F.Assign(&G);
    EXPECT_EQ(*Count, 3);
    EXPECT_EQ(F.Name(), u"微软雅黑");
    EXPECT_EQ(F.Height(), -24);
    EXPECT_EQ(F.PixelsPerInch(), 144);
    EXPECT_EQ(F.Size(), 12);
    EXPECT_TRUE(F.Style().Empty());
    EXPECT_EQ(F.Color(), clWindowText);
    TPen P;
    EXPECT_THROW(F.Assign(&P), EConvertError);

    // Face names longer than the platform takes are cut, not overrun.
    F.SetName(String(40, u'x'));
    EXPECT_EQ(String(F.LogFont().lfFaceName), String(31, u'x'));
}

TEST(PenAndBrush, ChangesAndHandles) {
    TPen P;
    int* PenChanges = CountChanges(P);
    P.SetWidth(-3);
    P.SetWidth(1);
    P.SetColor(clBlack);
    EXPECT_EQ(*PenChanges, 0);
    P.SetStyle(psDash);
    P.SetMode(pmXor);
    EXPECT_EQ(*PenChanges, 2);
    LOGPEN Log;
    ASSERT_GT(GetObjectW(P.Handle(), sizeof Log, &Log), 0);
    EXPECT_EQ(Log.lopnStyle, static_cast<UINT>(PS_DASH));

    TBrush B;
    int* BrushChanges = CountChanges(B);
    B.SetColor(clWhite);
    EXPECT_EQ(*BrushChanges, 0);
    B.SetStyle(bsClear);
    LOGBRUSH Clear;
    ASSERT_GT(GetObjectW(B.Handle(), sizeof Clear, &Clear), 0);
    EXPECT_EQ(Clear.lbStyle, static_cast<UINT>(BS_NULL));
    // A colour makes a clear brush fill again, even the colour it had.
    B.SetColor(clWhite);
    EXPECT_EQ(B.Style(), bsSolid);
    EXPECT_EQ(*BrushChanges, 2);
    // A pattern bitmap is copied: the brush does not depend on the caller's bitmap.
    {
        TBitmap Pattern(8, 8);
        B.SetBitmap(&Pattern);
    }
    ASSERT_NE(B.Bitmap(), nullptr);
    EXPECT_EQ(B.Bitmap()->Width(), 8);
    LOGBRUSH Patterned;
    ASSERT_GT(GetObjectW(B.Handle(), sizeof Patterned, &Patterned), 0);
    EXPECT_EQ(Patterned.lbStyle, static_cast<UINT>(BS_PATTERN));
    TBrush Copy;
    Copy.Assign(&B);
    ASSERT_NE(Copy.Bitmap(), nullptr);
    EXPECT_NE(Copy.Bitmap(), B.Bitmap());
}

TEST(Canvas, FillsLinesAndShapesLandInExactPixels) {
    TBitmap B(12, 10);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(1, 1, 4, 3));
    for (int Y = 0; Y < 10; ++Y)
        for (int X = 0; X < 12; ++X)
            ASSERT_EQ(Px(B, X, Y), X >= 1 && X < 4 && Y >= 1 && Y < 3 ? 0xFFFF0000u : 0u) << X << "," << Y;

    // A line never draws its end point; the pen's colour and width apply.
    C->Pen()->SetColor(clBlue);
    C->MoveTo(0, 5);
    C->LineTo(5, 5);
    EXPECT_EQ(Px(B, 0, 5), 0xFF0000FFu);
    EXPECT_EQ(Px(B, 4, 5), 0xFF0000FFu);
    EXPECT_EQ(Px(B, 5, 5), 0u);
    EXPECT_EQ(C->PenPos(), Point(5, 5));

    // A rectangle: pen outline inside the box, brush inside; a clear brush leaves the inside.
    C->Pen()->SetColor(clLime);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(6, 0, 10, 4);
    EXPECT_EQ(Px(B, 6, 0), 0xFF00FF00u);
    EXPECT_EQ(Px(B, 9, 3), 0xFF00FF00u);
    EXPECT_EQ(Px(B, 7, 1), 0xFFFFFF00u);
    EXPECT_EQ(Px(B, 10, 4), 0u);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(6, 5, 10, 9);
    EXPECT_EQ(Px(B, 6, 5), 0xFF00FF00u);
    EXPECT_EQ(Px(B, 7, 6), 0u);

    // Without a pen the fill is one pixel smaller on the right and bottom.
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clFuchsia);
    C->Rectangle(0, 7, 3, 10);
    EXPECT_EQ(Px(B, 0, 7), 0xFFFF00FFu);
    EXPECT_EQ(Px(B, 1, 8), 0xFFFF00FFu);
    EXPECT_EQ(Px(B, 2, 8), 0u);
    EXPECT_EQ(Px(B, 1, 9), 0u);

    // Pixels reads the platform colour and writes opaque pixels.
    C->SetPixels(11, 9, clAqua);
    EXPECT_EQ(Px(B, 11, 9), 0xFF00FFFFu);
    EXPECT_EQ(C->Pixels(11, 9), clAqua);
    EXPECT_EQ(C->Pixels(40, 40), -1);
}

TEST(Canvas, PolygonsFramesFocusAndPenModes) {
    TBitmap B(10, 10);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 10, 10));
    const std::vector<uint32_t> White(100, 0xFFFFFFFFu);

    C->Brush()->SetColor(clBlack);
    C->FrameRect(Rect(2, 2, 5, 5));
    EXPECT_EQ(Px(B, 2, 2), 0xFF000000u);
    EXPECT_EQ(Px(B, 4, 4), 0xFF000000u);
    EXPECT_EQ(Px(B, 3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(Px(B, 5, 5), 0xFFFFFFFFu);

    // The focus rectangle inverts every other outline pixel and undoes itself.
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 10, 10));
    C->DrawFocusRect(Rect(1, 1, 9, 9));
    EXPECT_EQ(Px(B, 1, 1), 0xFF000000u);
    EXPECT_EQ(Px(B, 2, 1), 0xFFFFFFFFu);
    C->DrawFocusRect(Rect(1, 1, 9, 9));
    EXPECT_EQ(Inked(B, 0xFFFFFFFFu), 0);

    // An exclusive-or pen drawn twice restores the pixels.
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetColor(clRed);
    C->Polyline({Point(0, 0), Point(9, 9), Point(9, 0)});
    EXPECT_EQ(Px(B, 3, 3), 0xFF00FFFFu);
    C->Polyline({Point(0, 0), Point(9, 9), Point(9, 0)});
    EXPECT_EQ(Inked(B, 0xFFFFFFFFu), 0);

    // A filled triangle stays within its points.
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetColor(clBlue);
    C->Brush()->SetColor(clBlue);
    C->Polygon({Point(0, 0), Point(6, 0), Point(0, 6)});
    EXPECT_EQ(Px(B, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(Px(B, 8, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Px(B, 6, 0), 0xFF0000FFu);  // the outline takes in the corner points
    EXPECT_EQ(Inked(B, 0xFFFFFFFFu, Rect(7, 0, 10, 10)), 0);
}

TEST(Canvas, TextOutUsesFontBrushAndPenPosition) {
    TBitmap B(60, 20);
    TCanvas* C = B.Canvas();
    C->Font()->SetColor(clRed);
    C->Brush()->SetColor(clBlue);
    C->TextOut(2, 2, u"Wg");
    const TSize Ext = C->TextExtent(u"Wg");
    ASSERT_GT(Ext.cx, 0);
    EXPECT_EQ(C->TextWidth(u"Wg"), C->TextWidth(u"W") + C->TextWidth(u"g"));
    EXPECT_EQ(C->PenPos(), Point(2 + Ext.cx, 2));
    // An opaque brush fills the text cell; the glyphs are in the font's colour; nothing
    // outside the cell changes.
    int Red = 0, Blue = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 60; ++X) {
            const uint32_t P = Px(B, X, Y);
            const bool InCell = X >= 2 && X < 2 + Ext.cx && Y >= 2 && Y < 2 + Ext.cy;
            if (!InCell) {
                ASSERT_EQ(P, 0u) << X << "," << Y;
                continue;
            }
            ASSERT_EQ(P & 0x00FF00, 0u);  // only red glyphs over blue
            Red += ((P >> 16) & 255) > (P & 255);
            Blue += (P & 0xFFFFFF) == 0x0000FF;
        }
    EXPECT_GT(Red, 5);
    EXPECT_GT(Blue, 20);

    // A clear brush leaves the background between the glyphs.
    TBitmap T(60, 20);
    T.Canvas()->Brush()->SetColor(clGreen);
    T.Canvas()->FillRect(Rect(0, 0, 60, 20));
    T.Canvas()->Brush()->SetStyle(bsClear);
    T.Canvas()->Font()->SetColor(clRed);
    T.Canvas()->TextOut(2, 2, u"Wg");
    int Green = 0, Mixed = 0;
    for (int Y = 2; Y < 2 + Ext.cy; ++Y)
        for (int X = 2; X < 2 + Ext.cx; ++X) {
            Green += Px(T, X, Y) == 0xFF008000u;
            Mixed += (Px(T, X, Y) >> 16 & 255) != 0;
        }
    EXPECT_GT(Green, Ext.cx * Ext.cy / 2);
    EXPECT_GT(Mixed, 5);
}

TEST(Canvas, TextRectClipsAndFormats) {
    TBitmap B(40, 30);
    TCanvas* C = B.Canvas();
    C->Font()->SetHeight(-20);
    C->Font()->SetColor(clWhite);
    C->Brush()->SetStyle(bsClear);
    const TRect Clip = Rect(5, 5, 15, 15);
    C->TextRect(Clip, 0, 0, u"WWWW");
    EXPECT_GT(Inked(B, 0u, Clip), 0);
    EXPECT_EQ(Inked(B, 0u), Inked(B, 0u, Clip));

    // With a brush the whole rectangle is the background, and still nothing outside.
    TBitmap O(40, 30);
    O.Canvas()->Brush()->SetColor(clLime);
    O.Canvas()->TextRect(Clip, 100, 100, u"x");
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X)
            ASSERT_EQ(Px(O, X, Y), PtInRect(Clip, Point(X, Y)) ? 0xFF00FF00u : 0u) << X << "," << Y;

    // Formats: a calculated rectangle draws nothing; right alignment keeps the ink right.
    TBitmap F(100, 20);
    TCanvas* FC = F.Canvas();
    FC->Font()->SetColor(clWhite);
    FC->Brush()->SetStyle(bsClear);
    TRect R = Rect(10, 2, 100, 20);
    const int H = FC->TextRect(R, u"Right", {tfCalcRect, tfSingleLine});
    EXPECT_EQ(R, Rect(10, 2, 10 + FC->TextWidth(u"Right"), 2 + FC->TextHeight(u"Right")));
    EXPECT_EQ(H, FC->TextHeight(u"Right"));
    EXPECT_EQ(Inked(F, 0u), 0);
    TRect Whole = Rect(0, 0, 100, 20);
    FC->TextRect(Whole, u"Right", {tfRight, tfSingleLine, tfVerticalCenter});
    EXPECT_GT(Inked(F, 0u), 0);
    EXPECT_EQ(Inked(F, 0u, Rect(0, 0, 100 - FC->TextWidth(u"Right"), 20)), 0);
    EXPECT_EQ(TextFormatFlags({tfCenter, tfWordBreak, tfEndEllipsis, tfNoPrefix}),
              DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
}

TEST(Canvas, SelectsItsObjectsOnlyWhenNeeded) {
    TBitmap B(30, 20);
    TCanvas* C = B.Canvas();
    C->TextOut(0, 0, u"a");
    const HDC Dc = C->Handle();
    const HFONT Font = C->Font()->Handle();
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_FONT), Font);
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_PEN), C->Pen()->Handle());

    // What a drawing does not need stays as someone else left it ...
    SelectObject(Dc, GetStockObject(WHITE_PEN));
    C->FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_PEN), GetStockObject(WHITE_PEN));
    // ... and what it needs is selected again; an unchanged font keeps its platform font.
    C->LineTo(5, 5);
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_PEN), C->Pen()->Handle());
    SelectObject(Dc, GetStockObject(SYSTEM_FONT));
    C->TextOut(0, 0, u"a");
    EXPECT_EQ(C->Font()->Handle(), Font);
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_FONT), Font);

    // A changed font is selected at the next text, with its colour.
    C->Font()->SetColor(clRed);
    C->Font()->SetSize(14);
    C->TextOut(0, 0, u"a");
    EXPECT_NE(C->Font()->Handle(), Font);
    EXPECT_EQ(GetCurrentObject(Dc, OBJ_FONT), C->Font()->Handle());
    EXPECT_EQ(GetTextColor(Dc), ColorToRGB(clRed));
    EXPECT_EQ(GetBkMode(Dc), OPAQUE);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(0, 0, u"a");
    EXPECT_EQ(GetBkMode(Dc), TRANSPARENT);

    // Refresh takes the objects out of the context.
    C->Refresh();
    EXPECT_NE(GetCurrentObject(Dc, OBJ_FONT), C->Font()->Handle());
}

TEST(Canvas, HandlesLockAndNotifications) {
    TCanvas Bare;
    EXPECT_FALSE(Bare.HandleAllocated());
    try {
        Bare.FillRect(Rect(0, 0, 1, 1));
        FAIL() << "drawing without a device context";
    } catch (const EInvalidOperation& E) {
        EXPECT_STREQ(E.what(), "Canvas does not allow drawing");
    }
    // A context given from outside is drawn into, and given back without the canvas's
    // objects when the canvas moves on.
    void* Bits = nullptr;
    const HBITMAP Bm = GdiCreateBitmap32(4, 4, &Bits);
    const HDC Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bm);
    Bare.SetHandle(Dc);
    int Changes = 0, Changings = 0;
    Bare.OnChange = [&](TObject*) { ++Changes; };
    Bare.OnChanging = [&](TObject*) { ++Changings; };
    Bare.Brush()->SetColor(clBlack);
    Bare.FillRect(Rect(0, 0, 2, 1));
    EXPECT_EQ(static_cast<uint32_t*>(Bits)[1], 0xFF000000u);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);
    EXPECT_EQ(Bare.ClipRect(), Rect(0, 0, 4, 4));
    Bare.SetHandle(nullptr);
    EXPECT_NE(GetCurrentObject(Dc, OBJ_BRUSH), Bare.Brush()->Handle());
    DeleteDC(Dc);
    DeleteObject(Bm);

    Bare.Lock();
    Bare.Lock();
    EXPECT_EQ(Bare.LockCount(), 2);
    Bare.Unlock();
    Bare.Unlock();
    EXPECT_EQ(Bare.LockCount(), 0);

    // A bitmap hears about drawing on its canvas.
    TBitmap Bmp(3, 3);
    int BitmapChanges = 0;
    Bmp.OnChange = [&](TObject*) { ++BitmapChanges; };
    Bmp.Canvas()->FillRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(BitmapChanges, 1);
    EXPECT_TRUE(Bmp.Modified());
}

TEST(Canvas, CopyRectStretchesByCopyMode) {
    TBitmap Src(2, 2), Dst(4, 4);
    Src.ScanLine(0)[0] = 0xFF112233u;
    Src.ScanLine(0)[1] = 0xFF445566u;
    Src.ScanLine(1)[0] = 0xFF778899u;
    Src.ScanLine(1)[1] = 0x80AABBCCu;
    Dst.Canvas()->CopyRect(Rect(0, 0, 4, 4), Src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Px(Dst, 0, 0), 0xFF112233u);
    EXPECT_EQ(Px(Dst, 3, 0), 0xFF445566u);
    EXPECT_EQ(Px(Dst, 1, 3), 0xFF778899u);
    EXPECT_EQ(Px(Dst, 2, 2), 0x80AABBCCu);  // all four bytes copied
    Dst.Canvas()->SetCopyMode(cmDstInvert);
    Dst.Canvas()->CopyRect(Rect(0, 0, 1, 1), Src.Canvas(), Rect(0, 0, 1, 1));
    EXPECT_EQ(Px(Dst, 0, 0) & 0xFFFFFF, 0xEEDDCCu);
}
