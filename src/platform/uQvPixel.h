#pragma once
// Pixel arithmetic, written once: the divisions by 255, premultiplying, the grey intensity,
// the platform's blends (constant alpha and premultiplied source, rounded to nearest) and
// the drawing layer's straight-alpha blends (weights out of 256, rounded down after adding
// one half). Pixels are A<<24 | R<<16 | G<<8 | B (bytes B, G, R, A in memory).
//
// Every formula is stated with its rounding once, in plain integer form on 8-bit channels
// (intermediates stay below 65536, results are clamped to 0..255). The run kernels at the
// end have SSE2 and AVX2 forms, chosen at run time, that give exactly the integers of the
// plain forms; a test checks them on every input combination.

#include <cstdint>

// --- divisions by 255 -----------------------------------------------------------------

// round(X * Y / 255) for bytes X and Y. No product of bytes divided by 255 ends in an
// exact half (255 is odd), so there is no tie to break.
constexpr uint32_t MulDiv255(uint32_t X, uint32_t Y) {
    return (X * Y + 127) / 255;
}

// floor(X * Y / 255) for bytes X and Y: the weights of pattern fills round down.
constexpr uint32_t MulDiv255Down(uint32_t X, uint32_t Y) {
    return X * Y / 255;
}

// round((S * A + D * (255 - A)) / 255) for bytes, again without ties: the platform's
// constant-alpha mix (AlphaBlend, the screen, glyph coverage). A = 255 gives S and A = 0
// gives D exactly.
constexpr uint32_t MixDiv255(uint32_t S, uint32_t D, uint32_t A) {
    return (S * A + D * (255 - A) + 127) / 255;
}

// round(X * 255 / Y) with halves to even, for X <= Y and Y > 0: X as a share of Y, out of
// 255 (un-premultiplying, the merge's weights).
constexpr uint32_t ScaleTo255(uint32_t X, uint32_t Y) {
    const uint32_t N = X * 255;
    uint32_t Q = N / Y;
    const uint32_t R2 = (N % Y) * 2;
    if (R2 > Y || (R2 == Y && (Q & 1) != 0)) ++Q;
    return Q;
}

// --- whole pixels, platform rounding -------------------------------------------------------

namespace QvPixel {

constexpr uint32_t Channel(uint32_t C, int Shift) {
    return (C >> Shift) & 0xFFu;
}

// The four channels of a pixel, each through F(channel value, shift).
template <typename F>
constexpr uint32_t PerChannel(F&& Fn) {
    return Fn(24) << 24 | Fn(16) << 16 | Fn(8) << 8 | Fn(0);
}

}  // namespace QvPixel

// Each colour byte multiplied by the pixel's alpha a, MulDiv255(c, a); the alpha stays.
// The form AlphaBlend with AC_SRC_ALPHA and premultiplied layered pixels read.
constexpr uint32_t Premultiply(uint32_t P) {
    const uint32_t A = P >> 24;
    return (A << 24) | MulDiv255(QvPixel::Channel(P, 16), A) << 16 |
           MulDiv255(QvPixel::Channel(P, 8), A) << 8 | MulDiv255(QvPixel::Channel(P, 0), A);
}

// Back to straight alpha: each colour byte ScaleTo255(min(c, a), a), halves to even; a
// transparent pixel gives 0. Premultiply(Unpremultiply(P)) == P for every premultiplied P.
constexpr uint32_t Unpremultiply(uint32_t P) {
    const uint32_t A = P >> 24;
    if (A == 0) return 0;
    auto Up = [A](uint32_t C) { return ScaleTo255(C < A ? C : A, A); };
    return (A << 24) | Up(QvPixel::Channel(P, 16)) << 16 | Up(QvPixel::Channel(P, 8)) << 8 |
           Up(QvPixel::Channel(P, 0));
}

// S over D with constant alpha A: every byte, alpha included, MixDiv255(s, d, A).
constexpr uint32_t ConstantBlend(uint32_t S, uint32_t D, uint32_t A) {
    return QvPixel::PerChannel(
        [&](int Shift) { return MixDiv255(QvPixel::Channel(S, Shift), QvPixel::Channel(D, Shift), A); });
}

// Premultiplied S with constant alpha K over D: with k = MulDiv255(s.alpha, K), every
// byte, alpha included, becomes min(255, MulDiv255(s, K) + MulDiv255(d, 255 - k)).
constexpr uint32_t PremultipliedBlend(uint32_t S, uint32_t D, uint32_t K) {
    const uint32_t Keep = 255 - MulDiv255(S >> 24, K);
    return QvPixel::PerChannel([&](int Shift) {
        const uint32_t R =
            MulDiv255(QvPixel::Channel(S, Shift), K) + MulDiv255(QvPixel::Channel(D, Shift), Keep);
        return R > 255 ? 255u : R;
    });
}

// Perceived brightness, (R*61 + G*174 + B*21) >> 8, rounded down (white gives 255): the
// grey formula image lists and the drawing layer share.
constexpr int Intensity(uint32_t C) {
    return static_cast<int>(
        (QvPixel::Channel(C, 16) * 61 + QvPixel::Channel(C, 8) * 174 + QvPixel::Channel(C, 0) * 21) >> 8);
}

// --- whole pixels, drawing-layer rounding (straight alpha, weights out of 256) ----------------

// F*W + B*(256 - W), rounded down after adding one half: W = 0 gives B exactly, W = 255
// does not give F exactly (F = 0, B = 255 gives 1), as stored pictures expect.
constexpr uint32_t MixChannel(uint32_t F, uint32_t B, uint32_t W) {
    return (F * W + B * (256 - W) + 128) >> 8;
}

// Weighted mix of all four channels, weight W in 0..255.
constexpr uint32_t WeightedMix(uint32_t F, uint32_t B, uint32_t W) {
    using QvPixel::Channel;
    return (MixChannel(Channel(F, 24), Channel(B, 24), W) << 24) |
           (MixChannel(Channel(F, 16), Channel(B, 16), W) << 16) |
           (MixChannel(Channel(F, 8), Channel(B, 8), W) << 8) | MixChannel(Channel(F, 0), Channel(B, 0), W);
}

// F over B by F's alpha a. Colour: ((F*a + 128) >> 8) + B - ((B*a + 128) >> 8); alpha:
// a + Ba - ((Ba*a + 128) >> 8); each clamped to 255. a = 0 gives B; an opaque white over
// black gives 254 in the colour channels, which is the result callers rely on.
constexpr uint32_t OverBlend(uint32_t F, uint32_t B) {
    using QvPixel::Channel;
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
constexpr void CombineInto(uint32_t F, uint32_t& P, uint32_t W) {
    if (W == 0) return;
    P = W >= 255 ? F : WeightedMix(F, P, W);
}

// Blend F into P by F's own alpha (combine into with W = alpha).
constexpr void BlendInto(uint32_t F, uint32_t& P) {
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
constexpr void BlendIntoMaster(uint32_t F, uint32_t& P, uint32_t M) {
    const uint32_t A = F >> 24;
    if (A == 0) return;
    const uint32_t W = PixelMasterWeight(A, M);
    if (W == 0) return;
    P = WeightedMix(F, P, W);
}

// The same for a run of pixels (block transfer and stretched drawing with M < 255).
constexpr void LineBlendMaster(uint32_t F, uint32_t& P, uint32_t M) {
    const uint32_t A = F >> 24;
    if (A == 0) return;
    const uint32_t W = LineMasterWeight(A, M);
    if (W == 0) return;
    P = WeightedMix(F, P, W);
}

// Straight-alpha F composited over straight-alpha B. a = 0 gives B; an opaque B gives the
// weighted mix with alpha 255; a = 255 or a transparent B gives F; otherwise alpha
// a + Ba - round(a*Ba/255) and colours the alpha-weighted mean of F and B.
uint32_t MergeOver(uint32_t F, uint32_t B);
// MergeOver with F's alpha first scaled by M, MulDiv255(a, M).
uint32_t MergeOverMaster(uint32_t F, uint32_t B, uint32_t M);
inline void MergeInto(uint32_t F, uint32_t& P) {
    P = MergeOver(F, P);
}

// --- run kernels ---------------------------------------------------------------------------

// A colour key of no pixel (keys are compared with the low 24 bits).
constexpr uint32_t NoColorKey = 0xFFFFFFFFu;

// What the constant and premultiplied run blends leave out and force: pixels whose colour
// (the low 24 bits) equals Key keep the destination, and AlphaOr is or-ed into every pixel
// written (the screen's pixels are opaque).
struct TLineBlendOptions {
    uint32_t Key = NoColorKey;
    uint32_t AlphaOr = 0;
};

// Each kernel has a plain reference form and, where the processor offers them, SSE2 and
// AVX2 forms with identical results.
struct TPixelKernels {
    const char* Name;
    // Dst[i] := OverBlend(Src[i], Dst[i]).
    void (*OverBlendLine)(const uint32_t* Src, uint32_t* Dst, int Count);
    // LineBlendMaster(Src[i], Dst[i], M), M in 0..255.
    void (*MasterBlendLine)(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M);
    // CombineInto(F, Dst[i], W): the one colour F into every pixel.
    void (*CombineLine)(uint32_t F, uint32_t* Dst, int Count, uint32_t W);
    // Dst[i] := ConstantBlend(Src[i], Dst[i], A) | AlphaOr, key pixels left out.
    void (*ConstantBlendLine)(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t A, TLineBlendOptions O);
    // Dst[i] := PremultipliedBlend(Src[i], Dst[i], K) | AlphaOr, key pixels left out.
    void (*PremultipliedBlendLine)(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t K,
                                   TLineBlendOptions O);
    // Dst[i] := Premultiply(Src[i]); Src may be Dst.
    void (*PremultiplyLine)(const uint32_t* Src, uint32_t* Dst, int Count);
};

// The widest vector form drawing may use. Every form gives the same integers, so a limit
// changes only speed; benchmarks set it to measure each width on one machine.
enum class TSimdWidth { Plain = 0, Sse2 = 1, Avx2 = 2 };
void LimitSimdWidth(TSimdWidth Widest);
// The form to use among Count forms listed plain, SSE2, AVX2 (as far as the processor
// runs them): the widest within the limit.
int SimdFormIndex(int Count);

// The kernels in use: the fastest the processor supports within the limit.
const TPixelKernels& PixelKernels();
// Every form this processor can run, the plain reference first (for tests and benchmarks).
int PixelKernelCount();
const TPixelKernels& PixelKernelAt(int Index);

// Plain runs of the merge (it has no vector form).
void MergeLine(const uint32_t* Src, uint32_t* Dst, int Count);
void MergeMasterLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M);
