#include "skin/uQvSkinColors.h"

#include <algorithm>

namespace {

// 64-bit throughout, so that no offset a configuration holds can overflow; C++ division
// truncates toward zero, which is the rounding every formula here is written for.
using TWide = int64_t;

TWide ClampByte(TWide V) {
    return std::clamp<TWide>(V, 0, 255);
}

// Moves each channel toward white (B > 0) or black (B < 0) by B/255 of the way.
void Brighten(TWide B, TWide (&C)[3]) {
    for (TWide& V : C) V = ClampByte(B > 0 ? B * (255 - V) / 255 + V : B * V / 255 + V);
}

// A hue in degrees brought into 0..360 by whole turns (360 itself stays: it is read as 0).
TWide WrapDegrees(TWide H) {
    if (H < 0) H += (-H + 359) / 360 * 360;
    if (H > 360) H -= (H - 1) / 360 * 360;
    return H;
}

// Hue shift by HueShift degrees and saturation change S (on the 0..255 scale) of the
// red, green and blue in C. Grey stays grey.
void ShiftHueAndSaturation(TWide S, int HueShift, TWide (&C)[3]) {
    const TWide R = C[0], G = C[1], Bl = C[2];
    const TWide X = std::max({R, G, Bl}), Z = std::min({R, G, Bl});
    const TWide D = X - Z;
    if (D == 0) return;
    const TWide Sum = X + Z;
    const TWide L = Sum / 2;
    const TWide Sat = Sum > 255 ? D * 255 / (510 - Sum) : D * 255 / Sum;

    if (HueShift != 0) {
        TWide H = R == X ? (G - Bl) * 60 / D : G == X ? (Bl - R) * 60 / D + 120 : (R - G) * 60 / D + 240;
        H = WrapDegrees(H + HueShift);
        const TWide Sector = H / 60;
        TWide F = H % 60;
        if (Sector % 2 == 1) F = 60 - F;
        TWide E = (F * 255 + 30) / 60;
        E -= (255 - Sat) * (E - 128) / 255;
        const TWide T = L - 128;
        const TWide Y = ClampByte(T > 0 ? (T * (255 - E) + 64) / 128 + E : T < 0 ? E * T / 128 + E : E);
        switch (Sector) {
            case 1: C[0] = Y, C[1] = X, C[2] = Z; break;
            case 2: C[0] = Z, C[1] = X, C[2] = Y; break;
            case 3: C[0] = Z, C[1] = Y, C[2] = X; break;
            case 4: C[0] = Y, C[1] = Z, C[2] = X; break;
            case 5: C[0] = X, C[1] = Z, C[2] = Y; break;
            default: C[0] = X, C[1] = Y, C[2] = Z; break;  // sectors 0 and 6 (360 degrees)
        }
    }

    if (S != 0) {
        if (S > 0) {
            // Sat is at least 1 here, and so is K: no division by zero.
            TWide K = Sat;
            if (S + K < 255) K = 255 - S;
            S = 65025 / K - 255;
        }
        for (TWide& V : C) V = ClampByte(V + S * (V - L) / 255);
    }
}

// X / 255 for X up to 255 * 255, by multiplication.
int Div255(int X) {
    return static_cast<int>((static_cast<uint32_t>(X) * 0x8081u) >> 23);
}

}  // namespace

TColor AdjustColorHSB(TColor Color, int HueShift, int Saturation, int Brightness) {
    if (HueShift == 0 && Saturation == 0 && Brightness == 0) return Color;
    // A system colour is recoloured as the colour it stands for.
    const uint32_t Rgb = static_cast<uint32_t>(Color < 0 ? static_cast<TColor>(ColorToRGB(Color)) : Color);
    const TWide S = TWide{Saturation} * 255 / 100;
    const TWide B = TWide{Brightness} * 255 / 100;
    TWide C[3] = {Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF};
    // Raising saturation works on the brightened colour, lowering it before brightening.
    if (S > 0 && B != 0) Brighten(B, C);
    ShiftHueAndSaturation(S, HueShift, C);
    if (S <= 0 && B != 0) Brighten(B, C);
    return static_cast<TColor>(C[0] | C[1] << 8 | C[2] << 16);
}

void RGBtoHSL(TColor32 Color, uint8_t& H, uint8_t& S, uint8_t& L) {
    const int R = (Color >> 16) & 0xFF, G = (Color >> 8) & 0xFF, B = Color & 0xFF;
    const int Max = std::max({R, G, B}), Min = std::min({R, G, B});
    L = static_cast<uint8_t>((Max + Min) >> 1);
    if (Max == Min) {
        H = 0;
        S = 0;
        return;
    }
    const int D = (Max - Min) * 255;
    S = static_cast<uint8_t>(L <= 127 ? D / (Max + Min) : D / (510 - Max - Min));
    const int D6 = 6 * D;
    int HL;
    if (R == Max)
        HL = (G - B) * 65025 / D6;
    else if (G == Max)
        HL = (B - R) * 65025 / D6 + 85;
    else
        HL = (R - G) * 65025 / D6 + 170;
    // The circle has 255 steps; a negative hue is taken from 510, two steps short of a turn.
    if (HL < 0) HL += 510;
    H = static_cast<uint8_t>(HL % 256);
}

TColor32 HSLtoRGB(uint8_t H, uint8_t S, uint8_t L, uint8_t A) {
    const TColor32 Alpha = static_cast<TColor32>(A) << 24;
    const int V = L <= 127 ? ((S + 256) * L) >> 8 : L + S - Div255(L * S);
    if (V <= 0) return Alpha;
    const int M = 2 * L - V;
    const int H6 = 6 * H;
    const int F = ((H6 & 0xFF) * (V - M)) >> 8;
    const int M1 = M + F, M2 = V - F;
    int R, G, B;
    switch (H6 >> 8) {  // 0..5 for a byte hue
        case 0: R = V, G = M1, B = M; break;
        case 1: R = M2, G = V, B = M; break;
        case 2: R = M, G = V, B = M1; break;
        case 3: R = M, G = M2, B = V; break;
        case 4: R = M1, G = M, B = V; break;
        default: R = V, G = M, B = M2; break;
    }
    return Alpha | static_cast<TColor32>(R & 0xFF) << 16 | static_cast<TColor32>(G & 0xFF) << 8 |
           static_cast<TColor32>(B & 0xFF);
}

void AdjustHSB(TCustomSurface32* Surface, int HueShift, int SaturationShift, int LightnessShift) {
    if (Surface == nullptr || Surface->Empty()) return;
    TColor32* Pixel = Surface->Bits();
    TColor32* const End = Pixel + static_cast<ptrdiff_t>(Surface->Width()) * Surface->Height();
    for (; Pixel != End; ++Pixel) {
        const uint8_t A = static_cast<uint8_t>(*Pixel >> 24);
        if (A == 0) continue;
        uint8_t H, S, L;
        RGBtoHSL(*Pixel, H, S, L);
        // The hue goes round the circle either way.
        const TWide NewH = ((H + TWide{HueShift}) % 256 + 256) % 256;
        const TWide NewS = ClampByte(SaturationShift > 0 ? S + TWide{SaturationShift}
                                                         : S + S * TWide{SaturationShift} / 100);
        const TWide NewL = ClampByte(L + TWide{LightnessShift});
        *Pixel = HSLtoRGB(static_cast<uint8_t>(NewH), static_cast<uint8_t>(NewS), static_cast<uint8_t>(NewL), A);
    }
    Surface->Changed();
}
