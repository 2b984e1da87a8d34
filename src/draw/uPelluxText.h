#pragma once
// Text on device contexts: drawing and measuring with the platform's text call, and the
// glow halo painted behind a text.

#include "platform/uQvBase.h"
#include "platform/uQvColor.h"
#include "platform/uQvGeometry.h"
#include "platform/uQvHandles.h"

class TBitmap;
class TCanvas;

// The platform's text drawing on Dc with DT_* Format (DT_CALCRECT measures into Rect);
// returns its result, the height of the text.
int DrawTextWide(HDC Dc, const String& Text, TRect& Rect, UINT Format);
// The width / height of the rectangle DrawTextWide computes with DT_CALCRECT from an
// empty rectangle, in Dc's font.
int MeasureTextWidth(HDC Dc, const String& Text);
int MeasureTextHeight(HDC Dc, const String& Text);

constexpr int RectWidth(const TRect& R) {
    return R.Right - R.Left;
}
constexpr int RectHeight(const TRect& R) {
    return R.Bottom - R.Top;
}

// Paints the glow halo of Text, laid out in Rect with Format in Canvas's font, into what
// Canvas shows under Rect: the text's shape blurred and greyed becomes a mask m per pixel
// (85 on the text, 255 far from it), and 2 * GlowSize times every colour channel c moves
// to floor((c - g) * m / 256) + g, g being GlowColor's channel. The caller draws the text
// itself afterwards. Nothing for a text of blanks only or an empty Rect.
void DrawGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor,
                  UINT Format);
// Box blur of the colour bytes of Bitmap (width 2 * Radius + 1, edge pixels repeated,
// integer division): Passes times along the rows, Passes + 1 times along the columns;
// then every pixel becomes the grey (R + G + B) div 3. Alpha bytes are kept. Nothing for
// an empty bitmap or a Radius below 1.
void BoxBlurGray(TBitmap* Bitmap, int Radius, int Passes);
