#pragma once
// The scanline rasteriser under every antialiased figure: it computes, for each pixel of
// each row, the signed area of a polygon set inside the pixel square, and the conversion
// of those areas into alpha by a fill rule and the coverage gamma table.
//
// All area arithmetic is in 32-bit floats in a fixed order (the order of contours, of
// their edges and of the row pieces), so a figure always gives the same pixels. Where a
// value is rounded inside the rasteriser it is rounded down (floor), also in the fillers
// that the span callbacks reach.

#include <cstdint>
#include <functional>

#include "draw/uQvColor32.h"
#include "draw/uQvVectors.h"

// A run of signed coverage values of one row: columns X1 to X2 inclusive.
struct TValueSpan {
    int X1 = 0;
    int X2 = 0;
    const float* Values = nullptr;
};

using TRenderSpanEvent = std::function<void(const TValueSpan& Span, int DstY)>;

// Rasterises the contours (each closed implicitly) within ClipRect and hands each row's
// touched span to RenderSpan, rows in ascending order. Non-finite points are dropped and
// coordinates are limited to +-MaxCoordinate first; rows and columns outside ClipRect are
// never reported.
void RasterizePolyPolygon(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& ClipRect,
                          const TRenderSpanEvent& RenderSpan);

// The same with the plain sequential running sum of every row's cells, the reference the
// faster form is checked against.
void RasterizePolyPolygonReference(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& ClipRect,
                                   const TRenderSpanEvent& RenderSpan);

// One contour clipped to the rectangle, side by side (left, right, top, bottom), each
// side only when a point lies outside it; empty when it lies wholly outside.
TArrayOfFloatPoint ClipContour(const TArrayOfFloatPoint& Points, const TFloatRect& ClipRect);

// Coverage to colour: each value v gives C with its alpha replaced by
// G[(A * 257 * f) >> 24], f = |floor(v * 65536)| limited to 65536 (winding) or folded
// modulo 131072 (alternate), A being C's alpha and G the coverage gamma table.
void CoverageToColors(const float* Values, int Count, TColor32 Color, TPolyFillMode Mode, TColor32* Out);
// Coverage to an 8-bit weight per value for fillers: a = floor(|v| * 256), clamped to
// 0..255 (winding) or folded modulo 512 (alternate), then G[a].
void CoverageToWeights(const float* Values, int Count, TPolyFillMode Mode, uint32_t* Out);

// The run conversions in a plain form and the vector forms this processor runs (chosen
// once, the fastest last); every form gives the reference integers.
struct TCoverageKernels {
    const char* Name;
    void (*ColorRun)(const float* Values, int Count, TColor32 Color, TPolyFillMode Mode, TColor32* Out);
    void (*WeightRun)(const float* Values, int Count, TPolyFillMode Mode, uint32_t* Out);
};
const TCoverageKernels& CoverageKernels();
int CoverageKernelCount();
const TCoverageKernels& CoverageKernelAt(int Index);

// The reference forms of the two conversions, value by value (tests compare the fast
// forms with these).
TColor32 CoverageColorRef(float Value, TColor32 Color, TPolyFillMode Mode);
uint32_t CoverageWeightRef(float Value, TPolyFillMode Mode);
