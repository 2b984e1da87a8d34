#pragma once
// Polygon, arc and gradient helpers of the round gauges and gradient panels: point
// conversions and rotation, elliptical arcs as flattened Bezier pieces, and the gradient
// fill of polygons.

#include <vector>

#include "draw/uQvSurface.h"
#include "draw/uQvVectors.h"

using TArrayOfFixedPoint = std::vector<TFixedPoint>;

// Element-wise 16.16 fixed point (value * 65536, rounded half to even and limited to
// 32 bits) and back.
TArrayOfFixedPoint FloatToFixedPoints(const TArrayOfFloatPoint& Points);
TArrayOfFloatPoint FixedToFloatPoints(const TArrayOfFixedPoint& Points);

// One closed, antialiased polygon of Count points, filled and outlined.
void DrawPolygon(TCustomSurface32* Surface, const TFloatPoint* Points, int Count, TPolyFillMode FillMode,
                 TColor32 FillColor, TColor32 OutlineColor);

// Angle in radians; 0 copies. Otherwise (x, y) becomes
// (round((x - cx) cos A + (y - cy) sin A + cx), round((y - cy) cos A - (x - cx) sin A + cy)).
void RotatePoints(const TPoint* Points, int Count, const TPoint& Centre, double Angle,
                  std::vector<TPoint>& Result);

// The points of the arc of the ellipse inscribed in Rect from EndDegrees counter-clockwise
// round to StartDegrees (0 to the right, angles growing counter-clockwise on the screen;
// equal angles give the whole ellipse), in 16.16 fixed point: cubic Bezier pieces of at
// most 90 degrees, each halved until flat within half a pixel, the first point of the
// curve then the end point of every flat piece.
void GetArcPoints(const TFloatRect& Rect, double StartDegrees, double EndDegrees, TArrayOfFixedPoint& Points);

// Fills the contours with a linear gradient through Colors, spread evenly over the
// contours' extent along the direction AngleDegrees (0 left to right, counter-clockwise
// on the screen; within 5 degrees of an axis the gradient is exactly horizontal or
// vertical). The gradient is rendered into a scratch surface (dmBlend, cmMerge) from
// which the contours are filled.
void GradientFillPolygons(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                          TPolyFillMode FillMode, double AngleDegrees, const std::vector<TColor32>& Colors);
