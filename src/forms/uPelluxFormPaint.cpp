#include "forms/uPelluxFormPaint.h"

#include "draw/uQvColor32.h"

TColor32 SkinOuterFrameColor(bool KeepFrameColor, TColor FrameColor) {
    return KeepFrameColor ? (ToColor32(FrameColor) | 0xFF000000u) : 0x80000000u;
}

void DrawSkinFrameLines(TSurface32* S, TQvFrameStrip Kind, const TQvFrameLook& Look) {
    const TRect C = S->ClipRect();
    const int L = C.Left, T0 = C.Top, R = C.Right - 1;
    const int B = Kind == nsTitle ? C.Bottom : C.Bottom - 1;
    const TColor32 O = Look.Outer, I = Look.Inner;
    switch (Kind) {
        case nsTitle:
            S->HorzLineTS(L, T0, R, O);
            S->VertLineTS(L, T0, B, O);
            S->VertLineTS(R, T0, B, O);
            if (Look.DoubleFrame) {
                S->HorzLineTS(L + 1, T0 + 1, R - 1, I);
                S->VertLineTS(L + 1, T0 + 1, B, I);
                S->VertLineTS(R - 1, T0 + 1, B, I);
            }
            if (Look.RoundWindow) {
                S->SetPixelTS(1, 1, O);
                S->SetPixelTS(R - 1, 1, O);
                if (Look.Frame > 1 && Look.DoubleFrame) {
                    S->SetPixelTS(2, 2, I);
                    S->SetPixelTS(R - 2, 2, I);
                }
            }
            break;
        case nsLeft:
            S->VertLineTS(L, T0, B, O);
            if (Look.DoubleFrame) S->VertLineTS(L + 1, T0, B, I);
            break;
        case nsRight:
            S->VertLineTS(R, T0, B, O);
            if (Look.DoubleFrame) S->VertLineTS(R - 1, T0, B, I);
            break;
        case nsBottom:
            S->HorzLineTS(L, B, R, O);
            S->VertLineTS(L, B - 1, 2, O);
            S->VertLineTS(R, B - 1, 2, O);
            if (Look.DoubleFrame) S->HorzLineTS(L + 1, B - 1, L + R - 1, I);
            if (Look.RoundWindow) {
                S->SetPixelTS(1, B - 1, O);
                S->SetPixelTS(R - 1, B - 1, O);
            }
            break;
    }
}
