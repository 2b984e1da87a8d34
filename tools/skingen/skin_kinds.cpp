#include "skin_kinds.h"

#include <algorithm>
#include <string>

#include "platform/uQvPixel.h"
#include "platform/uQvBase.h"
#include "skin_glyph.h"
#include "skin_icons.h"
#include "skin_pictures.h"
#include "skin_styles.h"

namespace {

// Icons keep one-pixel strokes up to 18 pixels, then grow to 1.5 and 2 pixels.
float IconStroke(int Side) {
    return Side <= 18 ? 1.0f : Side <= 22 ? 1.5f : 2.0f;
}

// Where a frame's glyph goes: a centred square box, or the whole frame.
TGlyphPlace GlyphBox(const TSkinImage& Image, int Side, float Grid, float Stroke, char State) {
    const int Fw = Image.FrameW(), Fh = Image.FrameH();
    if (Side <= 0) return {0, 0, static_cast<float>(Fw), static_cast<float>(Fh), 0, Stroke, State};
    return {static_cast<float>((Fw - Side) / 2),
            static_cast<float>((Fh - Side) / 2),
            static_cast<float>(Side),
            static_cast<float>(Side),
            Grid,
            Stroke,
            State};
}

// Each frame: the plate program over the frame, then the glyph program in its box, both
// coloured by the look of the frame's state.
void DrawLayered(const TSkinImage& Image, TSurface32& S, int Side, float Grid, float Stroke) {
    const int Fw = Image.FrameW(), Fh = Image.FrameH();
    for (int K = 0; K < Image.Frames(); ++K) {
        const bool Vertical = (Image.Flags & fVertical) != 0;
        TSkinPaint P(S, Vertical ? 0 : K * Fw, Vertical ? K * Fh : 0, Fw, Fh);
        const char State = Image.States[K];
        const TLook Look = LookOf(Image.Style, State);
        if (*Image.Plate != 0)
            DrawGlyph(P, Image.Plate, {0, 0, static_cast<float>(Fw), static_cast<float>(Fh), 0, 1, State},
                      Look);
        if (*Image.Glyph != 0) DrawGlyph(P, Image.Glyph, GlyphBox(Image, Side, Grid, Stroke, State), Look);
    }
}

// Strips of states, frames, bars, scroll parts, spin buttons, tabs and pictures: pixel
// programs with one-pixel base strokes, glyphs in the row's box.
void DrawStates(const TSkinImage& Image, TSurface32& S) {
    DrawLayered(Image, S, Image.Box, static_cast<float>(Image.Grid), Image.Stroke > 0 ? Image.Stroke : 1.0f);
}

// Icons: the library's icons are drawn on a 24-unit grid scaled to the largest square
// of the image; inline programs are in pixels.
void DrawIcon(const TSkinImage& Image, TSurface32& S) {
    const int Side = std::min(Image.W, Image.H);
    const bool Library = Image.Glyph[0] == '@';
    const float Grid = Image.Grid > 0 ? static_cast<float>(Image.Grid)
                       : Library      ? 24.0f
                                      : static_cast<float>(Side);
    DrawLayered(Image, S, Side, Grid, Image.Stroke > 0 ? Image.Stroke : IconStroke(Side));
}

// Whatever an opaque image's program left uncovered shows white.
void ForceOpaque(TSurface32& S) {
    TColor32* Bits = S.Bits();
    for (int I = 0, N = S.Width() * S.Height(); I < N; ++I)
        if (AlphaComponent(Bits[I]) != 255) Bits[I] = MergeOver(Bits[I], clWhite32) | 0xFF000000u;
}

}  // namespace

void RegisterSkinPrograms() {
    RegisterSkinIcons();
    RegisterSkinPictures();
}

std::unique_ptr<TSurface32> DrawSkinImage(const TSkinImage& Image) {
    if (!StyleDefined(Image.Style))
        throw EQvError(Utf8ToString(std::string("unknown style of ") + Image.ResID));
    auto S = std::make_unique<TSurface32>();
    S->SetSize(Image.W, Image.H);
    S->Clear(clTransparent32);
    switch (Image.Kind) {
        case kIcon:
            DrawIcon(Image, *S);
            break;
        case kBrand:
            DrawBrand(Image, *S);
            break;
        default:
            DrawStates(Image, *S);
            break;
    }
    if ((Image.Flags & fOpaque) != 0) ForceOpaque(*S);
    if (Image.Recoloured()) BleedTransparentColours(*S);
    S->SetDrawMode((Image.Flags & fOpaque) != 0 ? dmOpaque : dmBlend);
    return S;
}
