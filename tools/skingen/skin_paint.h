#pragma once
// The painting primitives of the skin generator: coverage masks made by the drawing
// layer's rasteriser and text output, composited in straight alpha so that edges drawn on
// transparent pixels keep their colour instead of darkening towards black.

#include <cstdint>
#include <string>
#include <vector>

#include "draw/uQvSurface.h"
#include "draw/uQvVectors.h"

// What a mask is painted with: one colour, or a linear gradient between two points.
struct TInk {
    TColor32 From = 0;
    TColor32 To = 0;
    TFloatPoint P0;
    TFloatPoint P1;
    bool Gradient = false;

    static TInk Solid(TColor32 C) { return {C, C, {}, {}, false}; }
    static TInk Linear(TColor32 A, TColor32 B, TFloatPoint P0, TFloatPoint P1) {
        return {A, B, P0, P1, true};
    }
    // The colour at the centre of pixel (X, Y).
    TColor32 At(int X, int Y) const;
    bool Visible() const { return (From >> 24) != 0 || (To >> 24) != 0; }
};

// Coverage of one figure, 0..255 per pixel, the size of the frame it was made for.
struct TMask {
    int W = 0;
    int H = 0;
    std::vector<uint8_t> A;

    uint8_t At(int X, int Y) const { return X < 0 || Y < 0 || X >= W || Y >= H ? 0 : A[Y * W + X]; }
    // Three box-blur passes of the given radius in each direction: close to a Gaussian.
    void Blur(int Radius);
};

// Paints into one frame of a strip surface: (OriginX, OriginY) is the frame's top-left
// corner and every coordinate given to the painter is relative to it.
class TSkinPaint {
public:
    TSkinPaint(TSurface32& Target, int OriginX, int OriginY, int W, int H);

    int W() const { return FW; }
    int H() const { return FH; }

    TMask FillMask(const TArrayOfArrayOfFloatPoint& Contours, TPolyFillMode Mode = pfWinding) const;
    TMask StrokeMask(const TArrayOfArrayOfFloatPoint& Contours, const std::vector<bool>& Closed, float Width,
                     TJoinStyle Join, TEndStyle End) const;
    // Text at (X, Y) (top-left of its cell) in the named face; Height is the character
    // height in pixels.
    TMask TextMask(const String& Text, const String& Face, int Height, bool Bold, int X, int Y) const;
    static TSize TextSize(const String& Text, const String& Face, int Height, bool Bold);

    // Source-over of Ink through the mask, shifted by (Dx, Dy).
    void Paint(const TMask& M, const TInk& Ink, int Dx = 0, int Dy = 0);
    // Lowers the alpha of the frame's pixels by the mask's coverage.
    void Erase(const TMask& M);
    // Source-over of a whole surface with its top-left corner at (X, Y).
    void Layer(const TSurface32& Src, int X, int Y);

private:
    TColor32& Pixel(int X, int Y) { return *FTarget.PixelPtr(FOX + X, FOY + Y); }

    TSurface32& FTarget;
    int FOX;
    int FOY;
    int FW;
    int FH;
};

// Gives every fully transparent pixel the colour of its nearest visible pixels (alpha
// stays 0), so that scaling and colour averaging see no black around the figure.
void BleedTransparentColours(TSurface32& Surface);

// Writes the surface as a PNG: with an alpha channel, or as RGB for opaque images.
void SaveSurfacePng(const TSurface32& Surface, const std::string& FileName, bool Opaque);
