#pragma once
// The little shape language the image table is written in. A program is a list of
// whitespace-separated commands; figures are drawn in a design grid that is mapped onto
// a box of the frame, and points are snapped to the pixel grid so that scaled strokes
// stay crisp.
//
// Geometry (a figure command after a paint command starts a new figure):
//   M x y, L x y                    move, line
//   C x1 y1 x2 y2 x y, Q x1 y1 x y  cubic and quadratic curves
//   A cx cy r a0 a1                 circular arc, degrees, clockwise on screen
//   Z                               closes the current contour
//   O cx cy r, E cx cy rx ry        circle, ellipse
//   R x y w h r                     rectangle with corner radius r
//   N cx cy r1 r2 n                 cog wheel: n teeth between radii r1 and r2
//   P cx cy r1 r2 n                 star of n points between radii r1 (inner) and r2
// Painting:
//   s stroke, f fill (non-zero), e fill (even-odd), x erase by fill, X erase by stroke,
//   h r dy  soft shadow of the fill, blurred by r pixels and moved down by dy
// Settings:
//   w k  stroke width, k times the frame's base stroke (one pixel in pixel programs);
//   k slot  colour (g glyph, G second glyph colour, f fill with the state's gradient when
//   it has one, F second fill colour, b border, w white, or #RRGGBB[AA]);
//   G x0 y0 x1 y1 #c0 #c1  linear gradient between two points (until the next k);
//   c r|b|s  line caps; j r|m|b  joins (round by default)
// Numbers may be written W or H (the box's width or height in design units), optionally
// followed by one operation: W-1, H/2, W*0.5.
// Control: ?abc ... ;  only in the states a, b or c; @name  the named program.

#include <string>

#include "skin_paint.h"

// The colours a state gives the slots of a program.
struct TLook {
    TColor32 Fill = 0;
    TColor32 Fill2 = 0;  // 0: no gradient
    TColor32 Border = 0;
    TColor32 Glyph = 0;
    TColor32 Glyph2 = 0;
};

// Where and how a program is drawn in a frame.
struct TGlyphPlace {
    float X = 0;
    float Y = 0;
    float W = 0;  // the box in pixels
    float H = 0;
    float Grid = 0;    // design units across the box's width; 0 = pixels
    float Stroke = 1;  // stroke width in pixels until the program sets one
    char State = 'n';
};

// Registers a named program for @name.
void DefineGlyph(const std::string& Name, const std::string& Program);

// Runs the program; a malformed program raises EQvError naming the offending token.
void DrawGlyph(TSkinPaint& Paint, const std::string& Program, const TGlyphPlace& Place, const TLook& Look);
