#pragma once
// PNG reading and writing.
//
// Reading gives 8-bit BGRA whatever the file stores: grey and grey+alpha are widened to
// RGB, palettes are expanded with their transparency chunk applied as alpha, a single
// transparent colour becomes alpha 0, 16-bit samples are scaled to 8 bits with rounding,
// and interlaced files are de-interlaced. Gamma and colour profiles are not applied.

#include "platform/uQvPicture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

TQvPicture DecodePng(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits = {});

enum TQvPngColorMode {
    pcmRGBA,     // 8-bit RGBA, alpha as given
    pcmRGB,      // 8-bit RGB, alpha dropped
    pcmPalette,  // 8-bit palette; alphas other than 255 go into a transparency chunk
};

struct TQvPngWriteOptions {
    TQvPngColorMode ColorMode = pcmRGBA;
    bool Interlace = false;    // Adam7
    int CompressionLevel = 9;  // zlib level 0..9
};

// Encodes Width x Height pixels (0xAARRGGBB, straight alpha, top-down, no padding).
// A palette holds the exact colours when there are at most 256 of them, otherwise a
// median-cut reduction. Throws EQvError on bad arguments.
std::vector<uint8_t> EncodePng(const uint32_t* Pixels, int Width, int Height,
                               const TQvPngWriteOptions& Options = {});
void SavePngToFile(const String& FileName, const uint32_t* Pixels, int Width, int Height,
                   const TQvPngWriteOptions& Options = {});
