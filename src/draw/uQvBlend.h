#pragma once
// The blend formulas of the drawing layer, written once in plain integer form, and the
// run kernels the surfaces use for their hot loops.
//
// Every formula works on 8-bit channels as integers; intermediate values stay below
// 65536 and results are clamped to 0..255. The fast kernels (SSE2, AVX2; chosen at run
// time) give exactly the integers of the plain forms below, which a test checks on every
// input combination.

#include <cstdint>

#include "draw/uQvColor32.h"

namespace QvBlend {

constexpr uint32_t Channel(TColor32 C, int Shift) {
    return (C >> Shift) & 0xFFu;
}

// F*W + B*(256 - W), rounded down after adding one half: W = 0 gives B exactly, W = 255
// does not give F exactly (F = 0, B = 255 gives 1), as stored pictures expect.
constexpr uint32_t MixChannel(uint32_t F, uint32_t B, uint32_t W) {
    return (F * W + B * (256 - W) + 128) >> 8;
}

}  // namespace QvBlend

// Weighted mix of all four channels, weight W in 0..255.
constexpr TColor32 WeightedMix(TColor32 F, TColor32 B, uint32_t W) {
    using namespace QvBlend;
    return (MixChannel(Channel(F, 24), Channel(B, 24), W) << 24) |
           (MixChannel(Channel(F, 16), Channel(B, 16), W) << 16) |
           (MixChannel(Channel(F, 8), Channel(B, 8), W) << 8) | MixChannel(Channel(F, 0), Channel(B, 0), W);
}

// F over B by F's alpha a. Colour: ((F*a + 128) >> 8) + B - ((B*a + 128) >> 8); alpha:
// a + Ba - ((Ba*a + 128) >> 8); each clamped to 255. a = 0 gives B; an opaque white over
// black gives 254 in the colour channels, which is the result callers rely on.
constexpr TColor32 OverBlend(TColor32 F, TColor32 B) {
    using namespace QvBlend;
    const uint32_t A = F >> 24;
    auto Colour = [A](uint32_t Fc, uint32_t Bc) {
        const uint32_t R = ((Fc * A + 128) >> 8) + Bc - ((Bc * A + 128) >> 8);
        return R > 255 ? 255u : R;
    };
    const uint32_t Ba = B >> 24;
    uint32_t Ra = A + Ba - ((Ba * A + 128) >> 8);
    if (Ra > 255) Ra = 255;
    return (Ra << 24) | (Colour(Channel(F, 16), Channel(B, 16)) << 16) |
           (Colour(Channel(F, 8), Channel(B, 8)) << 8) | Colour(Channel(F, 0), Channel(B, 0));
}

// Combine F into the pixel P with weight W: 0 leaves P, 255 copies F, else the mix.
constexpr void CombineInto(TColor32 F, TColor32& P, uint32_t W) {
    if (W == 0) return;
    P = W >= 255 ? F : WeightedMix(F, P, W);
}

// Blend F into P by F's own alpha (combine into with W = alpha).
constexpr void BlendInto(TColor32 F, TColor32& P) {
    CombineInto(F, P, F >> 24);
}

// The weight of a single pixel blended with master alpha M: ((M + 1) * a) >> 8.
constexpr uint32_t PixelMasterWeight(uint32_t A, uint32_t M) {
    return ((M + 1) * A) >> 8;
}
// The weight of a run of pixels blended with master alpha M: ((a + 1) * M) >> 8. Both are
// a when M = 255 and differ otherwise (M = 1, a = 200 gives 1 and 0).
constexpr uint32_t LineMasterWeight(uint32_t A, uint32_t M) {
    return ((A + 1) * M) >> 8;
}

// Blend F into P with master alpha M, one pixel at a time (transforms, polygon fills
// passing coverage as M). Never a plain copy: the mix applies even at full weight.
constexpr void BlendIntoMaster(TColor32 F, TColor32& P, uint32_t M) {
    const uint32_t A = F >> 24;
    if (A == 0) return;
    const uint32_t W = PixelMasterWeight(A, M);
    if (W == 0) return;
    P = WeightedMix(F, P, W);
}

// The same for a run of pixels (block transfer and stretched drawing with M < 255).
constexpr void LineBlendMaster(TColor32 F, TColor32& P, uint32_t M) {
    const uint32_t A = F >> 24;
    if (A == 0) return;
    const uint32_t W = LineMasterWeight(A, M);
    if (W == 0) return;
    P = WeightedMix(F, P, W);
}

// round(X * Y / 255) for X, Y in 0..255 (no exact halves exist, 255 being odd).
constexpr uint32_t MulDiv255(uint32_t X, uint32_t Y) {
    return (X * Y + 127) / 255;
}

// Straight-alpha F composited over straight-alpha B. a = 0 gives B; an opaque B gives the
// weighted mix with alpha 255; a = 255 or a transparent B gives F; otherwise alpha
// a + Ba - round(a*Ba/255) and colours the alpha-weighted mean of F and B.
TColor32 MergeOver(TColor32 F, TColor32 B);
// MergeOver with F's alpha first scaled by M, round(a*M/255).
TColor32 MergeOverMaster(TColor32 F, TColor32 B, uint32_t M);
inline void MergeInto(TColor32 F, TColor32& P) {
    P = MergeOver(F, P);
}

// Run kernels. Each has a plain reference form and, where the processor offers them,
// SSE2 and AVX2 forms with identical results.
struct TBlendKernels {
    const char* Name;
    // Dst[i] := OverBlend(Src[i], Dst[i]).
    void (*OverBlendLine)(const TColor32* Src, TColor32* Dst, int Count);
    // Dst[i] := line blend of Src[i] with master alpha M (0..255).
    void (*MasterBlendLine)(const TColor32* Src, TColor32* Dst, int Count, uint32_t M);
    // Combine the one colour F into every Dst[i] with weight W.
    void (*CombineLine)(TColor32 F, TColor32* Dst, int Count, uint32_t W);
};

// The kernels in use: the fastest the processor supports, chosen once.
const TBlendKernels& BlendKernels();
// Every form this processor can run, the plain reference first (for tests and benchmarks).
int BlendKernelCount();
const TBlendKernels& BlendKernelAt(int Index);

// Plain runs of the merge (it has no vector form).
void MergeLine(const TColor32* Src, TColor32* Dst, int Count);
void MergeMasterLine(const TColor32* Src, TColor32* Dst, int Count, uint32_t M);
