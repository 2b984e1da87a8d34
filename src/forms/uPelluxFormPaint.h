#pragma once
// The frame lines of a skinned form, drawn onto the strips its non-client painting builds
// (title, left, right, bottom): a translucent dark outer line and, with DoubleFrame, a light
// inner line, with the corner pixels of a round window softened.

#include "draw/uQvSurface.h"

enum TQvFrameStrip { nsTitle, nsLeft, nsRight, nsBottom };

struct TQvFrameLook {
    TColor32 Outer = 0x80000000;  // black at alpha 128
    TColor32 Inner = 0xB0FFFFFF;  // white at alpha 176
    bool DoubleFrame = true;
    bool RoundWindow = true;
    int Frame = 2;  // the frame width the strips are made for
};

// The outer line colour: FrameColor, opaque, when KeepFrameColor; else black at alpha 128.
TColor32 SkinOuterFrameColor(bool KeepFrameColor, TColor FrameColor);

// Blends the lines of Kind onto Strip, inside its clip rectangle: (L, T0, R, B) with
// R = right - 1 and B = bottom - 1, except for the title strip, whose lines run to its
// bottom edge to meet the side strips.
void DrawSkinFrameLines(TSurface32* Strip, TQvFrameStrip Kind, const TQvFrameLook& Look);
