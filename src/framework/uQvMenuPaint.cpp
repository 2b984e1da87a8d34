#include "framework/uQvMenuPaint.h"

#include <algorithm>

#include "framework/uQvImgList.h"
#include "framework/uQvPictures.h"
#include "platform/uQvBase.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvHighDpi.h"

namespace {

constexpr TColor MenuFill = static_cast<TColor>(RGB(255, 255, 255));
constexpr TColor MenuFrame = static_cast<TColor>(RGB(204, 204, 204));
constexpr TColor MenuText = static_cast<TColor>(RGB(33, 33, 33));
constexpr TColor MenuGrayText = static_cast<TColor>(RGB(160, 160, 160));
constexpr TColor MenuShortCutText = static_cast<TColor>(RGB(110, 110, 110));
constexpr TColor MenuHighlight = static_cast<TColor>(RGB(220, 234, 249));
constexpr TColor MenuHighlightEdge = static_cast<TColor>(RGB(184, 213, 243));
constexpr TColor MenuAccent = static_cast<TColor>(RGB(70, 144, 220));
constexpr TColor MenuLine = static_cast<TColor>(RGB(226, 226, 226));

// Layout at 96 dpi: the glyph column, the text-to-shortcut gap, the arrow column.
constexpr int GlyphColumn = 28;
constexpr int RowHeight = 24;
constexpr int SeparatorHeight = 7;
constexpr int ShortCutGap = 24;
constexpr int ArrowColumn = 22;

}  // namespace

int MenuScale(int Value) { return MulDiv(Value, ScreenPixelsPerInch(), 96); }

namespace {
HDC MeasureDC = nullptr;
}

TMenuMeasureCanvas::TMenuMeasureCanvas() {
    SetHandle(CreateCompatibleDC(nullptr));
    MeasureDC = Handle();
}

TMenuMeasureCanvas::~TMenuMeasureCanvas() {
    HDC Dc = Handle();
    SetHandle(nullptr);
    if (MeasureDC == Dc) MeasureDC = nullptr;
    DeleteDC(Dc);
}

HDC MenuMeasureDC() { return MeasureDC; }

void PrepareMenuCanvas(TCanvas* Canvas, const TMenuItem* Item) {
    TFont* Font = Canvas->Font();
    Font->SetName(u"Tahoma");
    Font->SetHeight(-MenuScale(12));
    Font->SetColor(Item->Enabled() ? MenuText : MenuGrayText);
    Font->SetStyle(Item->Default() ? TFontStyles{fsBold} : TFontStyles{});
    Canvas->Brush()->SetStyle(bsClear);
}

TSize MeasurePlainMenuItem(TCanvas* Canvas, const TMenuItem* Item) {
    if (Item->IsLine()) return TSize{MenuScale(GlyphColumn), MenuScale(SeparatorHeight)};
    PrepareMenuCanvas(Canvas, Item);
    TRect Text{0, 0, 0, 0};
    Canvas->TextRect(Text, Item->Caption().empty() ? String(u" ") : Item->Caption(), {tfCalcRect, tfSingleLine});
    int Width = MenuScale(GlyphColumn) + Text.Width() + MenuScale(ArrowColumn);
    if (Item->ShortCut() != 0) Width += MenuScale(ShortCutGap) + Canvas->TextWidth(ShortCutToText(Item->ShortCut()));
    return TSize{Width, std::max(MenuScale(RowHeight), Text.Height() + MenuScale(8))};
}

namespace {

void DrawCheck(TCanvas* Canvas, const TRect& Glyph, bool Radio, TColor Color) {
    const int Cx = (Glyph.Left + Glyph.Right) / 2;
    const int Cy = (Glyph.Top + Glyph.Bottom) / 2;
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    if (Radio) {
        const int R = MenuScale(3);
        Canvas->Ellipse(Cx - R, Cy - R, Cx + R + 1, Cy + R + 1);
    } else {
        // A tick drawn in strokes one pixel apart, so it reads as a two-pixel line.
        const int U = MenuScale(1);
        for (int D = 0; D <= U; ++D)
            Canvas->Polyline({TPoint{Cx - 5 * U, Cy - U + D}, TPoint{Cx - 2 * U, Cy + 2 * U + D},
                              TPoint{Cx + 4 * U, Cy - 4 * U + D}});
    }
    Canvas->Brush()->SetStyle(bsClear);
}

void DrawArrow(TCanvas* Canvas, const TRect& Row, TColor Color) {
    const int U = MenuScale(1);
    const int X = Row.Right - MenuScale(ArrowColumn) / 2 - 2 * U;
    const int Cy = (Row.Top + Row.Bottom) / 2;
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Polygon({TPoint{X, Cy - 4 * U}, TPoint{X + 4 * U, Cy}, TPoint{X, Cy + 4 * U}});
    Canvas->Brush()->SetStyle(bsClear);
}

}  // namespace

void DrawPlainMenuItem(TCanvas* Canvas, const TMenuItem* Item, const TRect& Rect, TOwnerDrawState State) {
    const bool Selected = State.Contains(odSelected) && !Item->IsLine();
    const bool Enabled = Item->Enabled();
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(MenuFill);
    Canvas->FillRect(Rect);
    if (Item->IsLine()) {
        const int Y = (Rect.Top + Rect.Bottom) / 2;
        Canvas->Brush()->SetColor(MenuLine);
        Canvas->FillRect(TRect{Rect.Left + MenuScale(GlyphColumn), Y, Rect.Right - MenuScale(6), Y + MenuScale(1)});
        return;
    }
    if (Selected) {
        const TRect Hi{Rect.Left + MenuScale(2), Rect.Top, Rect.Right - MenuScale(2), Rect.Bottom};
        Canvas->Brush()->SetColor(Enabled ? MenuHighlight : static_cast<TColor>(RGB(238, 238, 238)));
        Canvas->FillRect(Hi);
        if (Enabled) {
            Canvas->Brush()->SetColor(MenuHighlightEdge);
            Canvas->FrameRect(Hi);
        }
    }
    const TRect Glyph{Rect.Left, Rect.Top, Rect.Left + MenuScale(GlyphColumn), Rect.Bottom};
    TCustomImageList* Images = Item->GetImageList();
    if (Images != nullptr && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count()) {
        Images->Draw(Canvas, (Glyph.Left + Glyph.Right - Images->Width()) / 2,
                     (Glyph.Top + Glyph.Bottom - Images->Height()) / 2, Item->ImageIndex(), Enabled);
    } else if (Item->Checked()) {
        DrawCheck(Canvas, Glyph, Item->RadioItem(), Enabled ? MenuAccent : MenuGrayText);
    } else if (Item->HasBitmap()) {
        TBitmap* Picture = const_cast<TMenuItem*>(Item)->Bitmap();
        Canvas->Draw((Glyph.Left + Glyph.Right - Picture->Width()) / 2, (Glyph.Top + Glyph.Bottom - Picture->Height()) / 2,
                     Picture);
    }
    PrepareMenuCanvas(Canvas, Item);
    const bool RightToLeft = Item->BiDiMode() != bdLeftToRight;
    TRect Text{Glyph.Right, Rect.Top, Rect.Right - MenuScale(ArrowColumn), Rect.Bottom};
    TTextFormat Format{tfSingleLine, tfVerticalCenter};
    if (RightToLeft) Format.Include(tfRight);
    Canvas->TextRect(Text, Item->Caption(), Format);
    if (Item->ShortCut() != 0) {
        Canvas->Font()->SetColor(Enabled ? MenuShortCutText : MenuGrayText);
        Canvas->Font()->SetStyle({});
        TRect Keys = Text;
        Canvas->TextRect(Keys, ShortCutToText(Item->ShortCut()), {tfSingleLine, tfVerticalCenter, tfRight, tfNoPrefix});
    }
    if (Item->Count() > 0) DrawArrow(Canvas, Rect, Enabled ? static_cast<TColor>(RGB(96, 96, 96)) : MenuGrayText);
}

void DrawPlainMenuFrame(TCanvas* Canvas, const TRect& Bounds) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(MenuFill);
    Canvas->FillRect(Bounds);
    Canvas->Brush()->SetColor(MenuFrame);
    Canvas->FrameRect(Bounds);
}
