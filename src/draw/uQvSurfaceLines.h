#pragma once
// The geometry of the surfaces' lines; the line and frame members of TCustomSurface32 are
// defined beside it, in uQvSurfaceLines.cpp.

#include <cstdint>

#include "draw/uQvCustomSurface.h"

// The rectangle covering the pixels from (X1, Y1) to (X2, Y2) inclusive, in either order.
TRect PixelSpan(int X1, int Y1, int X2, int Y2);

// Clips the segment from (X1, Y1) to (X2, Y2) to the closed rectangle [L, R] x [T, B],
// moving the ends that lie outside along the segment (the steps truncate toward zero);
// false when nothing remains.
bool ClipSegment(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2, int64_t L, int64_t T, int64_t R,
                 int64_t B);
