#pragma once
// Glyph outlines as contours of lines and quadratic or cubic curves, in a form the vector
// layer fills directly, and the data of the platform's GetGlyphOutlineW.

#include <cstdint>
#include <vector>

#include "platform/uQvGeometry.h"
#include "platform/uQvHandles.h"

class TQvTextFont;

struct TQvPointF {
    float X = 0;
    float Y = 0;
    bool operator==(const TQvPointF&) const = default;
};

enum TQvSegmentKind { skLine, skQuadratic, skCubic };

// One piece of a contour from the previous end point: a line to P[0], a quadratic curve
// with control P[0] to P[1], or a cubic curve with controls P[0], P[1] to P[2].
struct TQvOutlineSegment {
    TQvSegmentKind Kind = skLine;
    TQvPointF P[3];
    const TQvPointF& End() const { return P[Kind == skLine ? 0 : Kind == skQuadratic ? 1 : 2]; }
};

// A closed contour: the last segment ends at Start.
struct TQvOutlineContour {
    TQvPointF Start;
    std::vector<TQvOutlineSegment> Segments;
};

// Pixels, origin at the pen position on the baseline, y growing downward. Filled with the
// non-zero rule the glyph shows as drawn.
struct TQvGlyphOutline {
    std::vector<TQvOutlineContour> Contours;
    int Advance = 0;  // whole pixels, as text measuring adds them
    TRect Bounds;     // the outline's box rounded outward; empty for a blank glyph
};

// The outline of the glyph that draws C in Font (with the fallback faces, synthetic bold
// and italic applied), unhinted. False when no face can give one.
bool QvGetGlyphOutline(const TQvTextFont& Font, char32_t C, TQvGlyphOutline& Out);
// The same for a glyph index of the font's first face.
bool QvGetGlyphOutlineByIndex(const TQvTextFont& Font, uint32_t Glyph, TQvGlyphOutline& Out);

// ---- GetGlyphOutlineW ----------------------------------------------------------------

enum : UINT {
    GGO_METRICS = 0,
    GGO_BITMAP = 1,
    GGO_NATIVE = 2,
    GGO_BEZIER = 3,
    GGO_GRAY2_BITMAP = 4,
    GGO_GRAY4_BITMAP = 5,
    GGO_GRAY8_BITMAP = 6,
    GGO_GLYPH_INDEX = 0x80,
    GGO_UNHINTED = 0x100,
};
enum : WORD { TT_PRIM_LINE = 1, TT_PRIM_QSPLINE = 2, TT_PRIM_CSPLINE = 3 };
enum : DWORD { TT_POLYGON_TYPE = 24 };

struct FIXED {
    WORD fract;
    short value;
};
struct MAT2 {
    FIXED eM11, eM12, eM21, eM22;
};
struct POINTFX {
    FIXED x, y;
};
struct TTPOLYGONHEADER {
    DWORD cb;  // bytes of this header and its curves
    DWORD dwType;
    POINTFX pfxStart;
};
struct TTPOLYCURVE {
    WORD wType;
    WORD cpfx;
    POINTFX apfx[1];
};
struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // left and top of the black box, y upward from the baseline
    short gmCellIncX;
    short gmCellIncY;
};

// What GetGlyphOutlineW returns for Font: GGO_METRICS, GGO_NATIVE (lines, quadratic and
// cubic pieces), GGO_BEZIER (lines and cubic pieces), GGO_GRAY8_BITMAP (65 levels, rows
// padded to 4 bytes), each with GGO_GLYPH_INDEX. Coordinates are y upward as the original
// reports them; the matrix may be null for the identity. With a null buffer or size 0 the
// size needed is returned; 0xFFFFFFFF (GDI_ERROR) for a failure or a buffer too small.
DWORD QvGlyphOutlineData(const TQvTextFont& Font, UINT Char, UINT Format, GLYPHMETRICS* Metrics,
                         DWORD BufferSize, void* Buffer, const MAT2* Matrix);
