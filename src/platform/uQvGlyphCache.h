#pragma once
// Rendered glyphs: 8-bit coverage masks cut from the faces' outlines, kept in a bounded
// cache so repeated text costs no rasterisation.

#include <cstddef>
#include <cstdint>
#include <vector>

class TQvSizedFace;

struct TQvGlyphBitmap {
    int Left = 0;  // from the pen position to the first column
    int Top = 0;   // from the baseline up to the first row
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Coverage;  // Width * Height, 0..255; monochrome glyphs use 0 and 255
};

// The glyph's coverage mask, antialiased greyscale or monochrome; never subpixel.
// The reference stays valid until the next call.
const TQvGlyphBitmap& QvRenderGlyph(const TQvSizedFace& Face, uint32_t Glyph, bool Monochrome);

// Empties the cache (tests; a switch of the font set).
void QvClearGlyphCache();
size_t QvGlyphCacheSize();
