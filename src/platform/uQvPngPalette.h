#pragma once
// Reduction of 32-bit pixels to an 8-bit palette, for palette PNGs.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TQvIndexedPixels {
    // Colours as 0xAARRGGBB; entries with alpha below 255 come first, so a transparency
    // chunk covers only the leading part of the palette.
    std::vector<uint32_t> Palette;
    std::vector<uint8_t> Indices;  // one per pixel
    bool Exact = false;            // every pixel kept its colour
};

// Up to MaxColors (1..256) entries. When the pixels hold no more distinct colours than
// that, the palette is exact; otherwise colours are grouped by median cut over A, R, G, B
// (weighted by pixel count) and each group is represented by its mean.
TQvIndexedPixels BuildPalette(const uint32_t* Pixels, size_t Count, int MaxColors = 256);
