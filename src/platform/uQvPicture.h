#pragma once
// Decoded pictures and the loader that picks a codec.
//
// A decoded picture is one or more frames of straight-alpha 32-bit pixels, top-down, with
// no row padding. A pixel is a uint32_t 0xAARRGGBB, so in memory the bytes run B, G, R, A
// (the layout of the platform's 32-bit bitmaps). Every frame has the picture's full size;
// animated GIF frames are already composited (disposal and transparency applied), so a
// player only shows frame after frame, each for its DelayMs.
//
// Binding a picture to a bitmap or surface is left to the caller: copy Frames[i].Pixels
// row by row. BitsPerPixel and HasAlpha tell the caller what the stored file held (a
// 32-bit bitmap keeps its alpha; other pictures are usually flattened over white).
//
// Decoders throw EQvError with the format's name and what is wrong ("PNG: the file is
// truncated"); they never return a partial picture, so a failed load changes nothing.

#include "platform/uQvBase.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "pixels are stored as little-endian 0xAARRGGBB words (bytes B, G, R, A)");

enum TQvPictureFormat { qfUnknown, qfPng, qfJpeg, qfGif, qfBmp };

// Decompression-bomb guard: every decoder checks the stored size against these before it
// allocates pixels. MaxPixels also bounds the sum over all frames of an animation.
struct TQvPictureLimits {
    int MaxSide = 32767;
    uint64_t MaxPixels = uint64_t{1} << 28;
};

// What a PNG file stored, for helpers that treat its transparency on their own.
enum TQvPngTransparency {
    ptNone,     // fully opaque
    ptBit,      // one transparent colour, or a palette whose alphas are only 0 and 255
    ptPartial,  // an alpha channel, or a palette with partial alphas
};

struct TQvPngInfo {
    int ColorType = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int BitDepth = 0;
    bool Interlaced = false;
    TQvPngTransparency Transparency = ptNone;
    // For ptBit: the transparent colour as 0x00RRGGBB (grey expanded to 8-bit RGB).
    uint32_t TransparentColor = 0;
};

struct TQvPictureFrame {
    std::vector<uint32_t> Pixels;  // Width * Height, top-down
    int DelayMs = 0;               // how long the frame shows (animations only)
};

struct TQvPicture {
    TQvPictureFormat Format = qfUnknown;
    int Width = 0;
    int Height = 0;
    std::vector<TQvPictureFrame> Frames;  // at least one after a successful decode
    int BitsPerPixel = 0;                 // of the stored picture: 24 or 32 for bitmaps, 8 for GIF, ...
    bool HasAlpha = false;                // the stored picture carries transparency
    int LoopCount = 0;  // GIF repetitions; 0, also without a looping extension, plays forever
    TQvPngInfo Png;     // PNG files only

    bool Empty() const { return Frames.empty() || Width == 0 || Height == 0; }
    const uint32_t* Pixels(size_t Frame = 0) const { return Frames.at(Frame).Pixels.data(); }
    uint32_t Pixel(int X, int Y, size_t Frame = 0) const {
        return Frames.at(Frame).Pixels.at(static_cast<size_t>(Y) * Width + X);
    }
};

// Throws EQvError "<Format>: picture too large (W x H pixels)" when a stored size exceeds
// the limits; negative sizes count as damaged. Codecs call it before allocating.
void CheckPictureSize(const char* Format, int64_t Width, int64_t Height, const TQvPictureLimits& Limits);
// The same test without throwing.
bool PictureSizeAllowed(int64_t Width, int64_t Height, const TQvPictureLimits& Limits);

// Format by content (PNG, JPEG, GIF and BMP signatures), qfUnknown when none matches.
TQvPictureFormat DetectPictureFormat(const uint8_t* Data, size_t Size);
// Format by the file name's extension, without regard to case; qfUnknown when unknown.
TQvPictureFormat PictureFormatFromExtension(const String& FileName);
const char* PictureFormatName(TQvPictureFormat Format);

// Decodes a picture held in memory. The content decides the codec; when it matches no
// signature the extension of FileName (a hint, never opened) does. Throws EQvError.
TQvPicture LoadPicture(const uint8_t* Data, size_t Size, const String& FileName = String(),
                       const TQvPictureLimits& Limits = {});
TQvPicture LoadPictureFromFile(const String& FileName, const TQvPictureLimits& Limits = {});

// Whole-file helpers shared by the codecs. Both throw EQvError naming the file.
std::vector<uint8_t> ReadPictureFile(const String& FileName);
void WritePictureFile(const String& FileName, const std::vector<uint8_t>& Bytes);
