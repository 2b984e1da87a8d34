#pragma once
// The framework's own look for menu items that nobody owner-draws: a white box with a
// thin grey frame, a soft blue highlight, check and radio marks, icons in a glyph column,
// shortcuts right-aligned and an arrow for submenus. Sizes follow the screen's dpi.

#include "framework/uQvGraphics.h"
#include "framework/uQvMenus.h"

// Value scaled from 96 dpi to the screen's dpi.
int MenuScale(int Value);

// A canvas over a memory DC, for measuring items outside any paint.
class TMenuMeasureCanvas : public TCanvas {
public:
    TMenuMeasureCanvas();
    ~TMenuMeasureCanvas() override;
};
// The DC such a canvas draws on while a measure message is handled.
HDC MenuMeasureDC();

// The font, colours and text style menus draw Item with.
void PrepareMenuCanvas(TCanvas* Canvas, const TMenuItem* Item);
// The item's box (separators are short).
TSize MeasurePlainMenuItem(TCanvas* Canvas, const TMenuItem* Item);
void DrawPlainMenuItem(TCanvas* Canvas, const TMenuItem* Item, const TRect& Rect, TOwnerDrawState State);
// Background and frame of a menu window of that size (client coordinates).
void DrawPlainMenuFrame(TCanvas* Canvas, const TRect& Bounds);
