#pragma once
// A form's shadow border composed into an alpha margin of the form's own native window:
// one window covers the form and its side windows, showing the form's pixels in the middle
// and the sides' pushed pixels around it, and takes presses only where something shows.
// Pure functions over the window system's pixels, so they are tested exactly.

#include <cstdint>
#include <vector>

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvPixel.h"
#include "platform/uQvWinTypes.h"

// One window shown in the native window.
struct TQvMarginLayer {
    TRect Rect;                          // in the native window's coordinates
    const TGdiBitmap* Pixels = nullptr;  // its pixels, from its top-left
    BYTE Alpha = 255;                    // constant alpha
    bool PerPixel = false;               // premultiplied alpha; else only the colour counts
    bool ClickThrough = false;           // presses pass through it
    const TQvRegion* Shape = nullptr;    // its window region (its own coordinates); null: all
    uint32_t Key = NoColorKey;           // pixels of this colour (0xRRGGBB) are left out
};

// Part (the native window's coordinates) of the layers, bottom first, composed over full
// transparency as premultiplied ARGB: Out gets Part.Width() pixels for each row.
void QvComposeMargin(const std::vector<TQvMarginLayer>& BottomFirst, const TRect& Part, uint32_t* Out);
// Where the native window takes presses: the pixels each layer shows (alpha times constant
// alpha above 0, within its shape, not its key), click-through layers left out.
TQvRegion QvMarginInput(const std::vector<TQvMarginLayer>& Layers);
