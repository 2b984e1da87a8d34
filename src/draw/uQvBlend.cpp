#include "draw/uQvBlend.h"

#include <algorithm>

#include "draw/uQvBlendSimd.h"

namespace {

// round(X * 255 / Y) with halves to even, X <= Y, Y > 0.
uint32_t ScaleTo255(uint32_t X, uint32_t Y) {
    const uint32_t N = X * 255;
    uint32_t Q = N / Y;
    const uint32_t R2 = (N % Y) * 2;
    if (R2 > Y || (R2 == Y && (Q & 1) != 0)) ++Q;
    return Q;
}

void PlainOverBlendLine(const TColor32* Src, TColor32* Dst, int Count) {
    for (int I = 0; I < Count; ++I) Dst[I] = OverBlend(Src[I], Dst[I]);
}

void PlainMasterBlendLine(const TColor32* Src, TColor32* Dst, int Count, uint32_t M) {
    for (int I = 0; I < Count; ++I) LineBlendMaster(Src[I], Dst[I], M);
}

void PlainCombineLine(TColor32 F, TColor32* Dst, int Count, uint32_t W) {
    if (W == 0 || Count <= 0) return;
    if (W >= 255) {
        std::fill_n(Dst, Count, F);
        return;
    }
    for (int I = 0; I < Count; ++I) Dst[I] = WeightedMix(F, Dst[I], W);
}

const TBlendKernels PlainKernels{"plain", PlainOverBlendLine, PlainMasterBlendLine, PlainCombineLine};

struct TKernelSet {
    const TBlendKernels* Forms[3];
    int Count = 0;
    TKernelSet() {
        Forms[Count++] = &PlainKernels;
        if (const TBlendKernels* K = Sse2BlendKernels()) Forms[Count++] = K;
        if (const TBlendKernels* K = Avx2BlendKernels()) Forms[Count++] = K;
    }
};

const TKernelSet& Kernels() {
    static const TKernelSet Set;
    return Set;
}

}  // namespace

TColor32 MergeOver(TColor32 F, TColor32 B) {
    const uint32_t A = F >> 24;
    if (A == 0) return B;
    const uint32_t Ba = B >> 24;
    if (Ba == 255) return WeightedMix(F, B, A) | 0xFF000000u;
    if (A == 255 || Ba == 0) return F;
    // B's share of the result, round(Ba * (255 - a) / 255); the result alpha is a plus
    // that share, which equals a + Ba - round(a * Ba / 255) since no product of bytes
    // divided by 255 ends in an exact half.
    const uint32_t BShare = MulDiv255(Ba, 255 - A);
    const uint32_t Ra = A + BShare;
    const uint32_t Fw = ScaleTo255(A, Ra);
    const uint32_t Bw = 255 - Fw;
    auto Mix = [Fw, Bw](uint32_t Fc, uint32_t Bc) { return MulDiv255(Fc, Fw) + MulDiv255(Bc, Bw); };
    return (Ra << 24) | (Mix((F >> 16) & 0xFF, (B >> 16) & 0xFF) << 16) |
           (Mix((F >> 8) & 0xFF, (B >> 8) & 0xFF) << 8) | Mix(F & 0xFF, B & 0xFF);
}

TColor32 MergeOverMaster(TColor32 F, TColor32 B, uint32_t M) {
    return MergeOver(SetAlpha(F, static_cast<uint8_t>(MulDiv255(F >> 24, M))), B);
}

const TBlendKernels& BlendKernels() {
    const TKernelSet& Set = Kernels();
    return *Set.Forms[Set.Count - 1];
}

int BlendKernelCount() {
    return Kernels().Count;
}

const TBlendKernels& BlendKernelAt(int Index) {
    const TKernelSet& Set = Kernels();
    return *Set.Forms[std::clamp(Index, 0, Set.Count - 1)];
}

void MergeLine(const TColor32* Src, TColor32* Dst, int Count) {
    for (int I = 0; I < Count; ++I) Dst[I] = MergeOver(Src[I], Dst[I]);
}

void MergeMasterLine(const TColor32* Src, TColor32* Dst, int Count, uint32_t M) {
    for (int I = 0; I < Count; ++I) Dst[I] = MergeOverMaster(Src[I], Dst[I], M);
}
