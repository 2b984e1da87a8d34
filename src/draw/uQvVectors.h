#pragma once
// Vector geometry of the drawing layer: point arrays, contour normals, offset contours
// with their joins, stroke outlines with end caps, and the builders of rectangles,
// rounded rectangles, circles, ellipses and arcs.
//
// Coordinates are surface pixels as 32-bit floats; pixel (x, y) is the square
// [x, x + 1) x [y, y + 1), so its centre is (x + 0.5, y + 0.5). Arithmetic on points is
// single precision, one rounding per operation; transcendental functions are taken in
// double and stored as floats.

#include <cstdint>
#include <vector>

#include "draw/uQvSurfaceTypes.h"

using TArrayOfFloatPoint = std::vector<TFloatPoint>;
using TArrayOfArrayOfFloatPoint = std::vector<TArrayOfFloatPoint>;

// Fill rule: alternate (even-odd) or winding (non-zero).
enum TPolyFillMode : uint8_t {
    pfAlternate = 0,
    pfWinding = 1,
    pfEvenOdd = pfAlternate,
    pfNonZero = pfWinding
};

enum TJoinStyle { jsMiter, jsBevel, jsRound };
enum TEndStyle { esButt, esSquare, esRound };

// Upper bound of the points one circle, ellipse, arc or round join may produce. A radius
// of 32767 pixels needs about 1140 points for chords within 1/8 pixel, so the bound only
// ever cuts absurd radii, which would otherwise ask for millions of points.
constexpr int MaxArcPoints = 4096;
// Coordinates are kept within this magnitude, far beyond any surface, so differences of
// two coordinates can never overflow a float.
constexpr float MaxCoordinate = 1e30f;

// True when both coordinates are finite.
bool IsFinitePoint(const TFloatPoint& P);
// The finite points of Points, each coordinate limited to +-MaxCoordinate.
TArrayOfFloatPoint SanitizedPoints(const TArrayOfFloatPoint& Points);

// One normal per point: for the edge from point i to the next (the last point's edge
// returns to the first), the direction d divided by its length when that exceeds 0.0001,
// turned to (d.y, -d.x). A zero-length edge gives (0, 0). Computed in double.
TArrayOfFloatPoint ContourNormals(const TArrayOfFloatPoint& Points);

// The contour moved by Delta along its normals, with joins of the given style. A miter
// that would reach farther than MiterLimit half-widths becomes two points.
TArrayOfFloatPoint GrowContour(const TArrayOfFloatPoint& Points, const TArrayOfFloatPoint& Normals,
                               float Delta, TJoinStyle JoinStyle, bool Closed, float MiterLimit);

// The closed outline of an open polyline, end caps included; empty when all points
// coincide.
TArrayOfFloatPoint BuildStrokeOutline(const TArrayOfFloatPoint& Points, float StrokeWidth,
                                      TJoinStyle JoinStyle, TEndStyle EndStyle, float MiterLimit = 4.0f);
// The outlines of several polylines, to be filled with the winding rule. A closed
// polyline yields its outer and (reversed) inner offset; an open one its stroke outline,
// always with a miter limit of 4.
TArrayOfArrayOfFloatPoint BuildPolyStrokeOutline(const TArrayOfArrayOfFloatPoint& Contours, bool Closed,
                                                 float StrokeWidth, TJoinStyle JoinStyle, TEndStyle EndStyle,
                                                 float MiterLimit = 4.0f);

// (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom).
TArrayOfFloatPoint RectanglePoints(const TFloatRect& R);
// A rectangle with circular corners of the given radius; a radius of half the shorter side
// or more gives the stadium of that half (a circle for a square).
TArrayOfFloatPoint RoundRectPoints(const TFloatRect& R, float Radius);
// Steps points on the circle, from the rightmost point towards +y; Steps < 1 means
// CircleStepCount(Radius).
TArrayOfFloatPoint CirclePoints(const TFloatPoint& Centre, float Radius, int Steps = 0);
TArrayOfFloatPoint EllipsePoints(const TFloatPoint& Centre, float RadiusX, float RadiusY);
// Points of the circular arc from StartAngle to EndAngle (radians; positive angles turn
// towards +y). A negative radius starts on the opposite side.
TArrayOfFloatPoint CircularArcPoints(const TFloatPoint& Centre, float Radius, float StartAngle,
                                     float EndAngle);
// trunc(pi / arccos(r / (r + 0.125))), r = |Radius|: chords then stay within 1/8 pixel of
// the circle. Limited to MaxArcPoints; 0 for a radius that is not finite.
int CircleStepCount(float Radius);

// Cuts the polyline (closed: with the edge back to the first point) into dashes by
// Pattern, lengths along the line alternating drawn and skipped, starting with a drawn
// run at the first point. Each dash is an open polyline keeping the corners it passes.
// Nothing for an empty pattern or one whose lengths are not all positive.
TArrayOfArrayOfFloatPoint DashPolyline(const TArrayOfFloatPoint& Points, const std::vector<float>& Pattern,
                                       bool Closed);

// Reverses the order of the points.
TArrayOfFloatPoint ReversePoints(const TArrayOfFloatPoint& Points);
