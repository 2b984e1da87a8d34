#pragma once
// Reading PNG pictures into surfaces with their transparency, and writing surfaces as PNG
// pictures.

#include <cstddef>
#include <cstdint>

#include "draw/uQvSurface.h"

class TPngImage;
class TStream;

// Reads a PNG into Surface (its size and pixels) keeping its transparency: an alpha
// channel (grey or colour with alpha) gives each pixel the stored alpha; one transparent
// colour makes every pixel of that colour transparent; otherwise, palette alphas
// included, every pixel is opaque. HasTransparency tells whether any transparency was
// kept (callers then draw the surface with dmBlend, else dmOpaque). A picture that is not
// a readable PNG raises EQvError and leaves Surface as it was.
void ReadPngIntoSurface(TCustomSurface32* Surface, const uint8_t* Data, size_t Size, bool& HasTransparency);
// From the stream's position to its end.
void ReadPngIntoSurface(TCustomSurface32* Surface, TStream& Stream, bool& HasTransparency);
void ReadPngIntoSurface(TCustomSurface32* Surface, const String& FileName, bool& HasTransparency);

// Makes Png the picture of Surface: a palette picture when To8Bit, else colour; with
// KeepAlpha a palette picture leaves out TransparentColor (a platform colour) and a colour
// picture takes every pixel's alpha. Interlace 0 is none, anything else Adam7;
// CompressionLevel is zlib's 0..9. False, Png unchanged, when the conversion fails.
bool WriteSurfaceToPng(const TCustomSurface32* Surface, TPngImage* Png, bool To8Bit, bool KeepAlpha,
                       int Interlace, int CompressionLevel, TColor TransparentColor);
// Colour with alpha, no interlace, level 9.
bool WriteSurfaceToPng(const TCustomSurface32* Surface, TPngImage* Png);
