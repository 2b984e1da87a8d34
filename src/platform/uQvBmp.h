#pragma once
// Device-independent bitmap files.
//
// The reader takes 1-, 4- and 8-bit palettes, 16-bit (5-5-5 or bit fields), 24-bit and
// 32-bit pictures, uncompressed or with bit-field masks, stored top-down or bottom-up.
// A 32-bit picture without masks keeps its fourth byte as alpha. When the stored alpha
// (that byte, or an alpha mask) is 0 in every pixel while the colours are not all black,
// the writer did not use it, and the picture is read as opaque.
//
// The writer produces the 32-bit format of the drawing layer: a 14-byte file header
// ("BM", file size 54 + 4 * W * H, 0, pixel offset 54), a 40-byte information header
// (W; -H for top-down rows, +H with the rows written last to first; 1 plane; 32 bits;
// no compression; image size 4 * W * H; the remaining four fields 0), then the pixels
// as stored (B, G, R, A).

#include "platform/uQvPicture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

TQvPicture DecodeBmp(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits = {});

std::vector<uint8_t> EncodeBmp32(const uint32_t* Pixels, int Width, int Height, bool BottomUp = false);
void SaveBmp32ToFile(const String& FileName, const uint32_t* Pixels, int Width, int Height,
                     bool BottomUp = false);
