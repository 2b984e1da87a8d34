#include "platform/uQvPixel.h"

#include <algorithm>
#include <atomic>

#include "platform/uQvPixelSimd.h"

namespace {

void PlainOverBlendLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    for (int I = 0; I < Count; ++I) Dst[I] = OverBlend(Src[I], Dst[I]);
}

void PlainMasterBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M) {
    for (int I = 0; I < Count; ++I) LineBlendMaster(Src[I], Dst[I], M);
}

void PlainCombineLine(uint32_t F, uint32_t* Dst, int Count, uint32_t W) {
    if (W == 0 || Count <= 0) return;
    if (W >= 255) {
        std::fill_n(Dst, Count, F);
        return;
    }
    for (int I = 0; I < Count; ++I) Dst[I] = WeightedMix(F, Dst[I], W);
}

void PlainConstantBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t A, TLineBlendOptions O) {
    for (int I = 0; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = ConstantBlend(Src[I], Dst[I], A) | O.AlphaOr;
}

void PlainPremultipliedBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t K,
                                 TLineBlendOptions O) {
    for (int I = 0; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = PremultipliedBlend(Src[I], Dst[I], K) | O.AlphaOr;
}

void PlainPremultiplyLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    for (int I = 0; I < Count; ++I) Dst[I] = Premultiply(Src[I]);
}

const TPixelKernels PlainPixelKernels{"plain",
                                      PlainOverBlendLine,
                                      PlainMasterBlendLine,
                                      PlainCombineLine,
                                      PlainConstantBlendLine,
                                      PlainPremultipliedBlendLine,
                                      PlainPremultiplyLine};

struct TKernelSet {
    const TPixelKernels* Forms[3];
    int Count = 0;
    TKernelSet() {
        Forms[Count++] = &PlainPixelKernels;
        if (const TPixelKernels* K = Sse2PixelKernels()) Forms[Count++] = K;
        if (const TPixelKernels* K = Avx2PixelKernels()) Forms[Count++] = K;
    }
};

const TKernelSet& Kernels() {
    static const TKernelSet Set;
    return Set;
}

std::atomic<int> SimdLimit{static_cast<int>(TSimdWidth::Avx2)};

}  // namespace

uint32_t MergeOver(uint32_t F, uint32_t B) {
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

uint32_t MergeOverMaster(uint32_t F, uint32_t B, uint32_t M) {
    return MergeOver((F & 0x00FFFFFFu) | MulDiv255(F >> 24, M) << 24, B);
}

void LimitSimdWidth(TSimdWidth Widest) {
    SimdLimit.store(static_cast<int>(Widest), std::memory_order_relaxed);
}

int SimdFormIndex(int Count) {
    return std::min(Count - 1, SimdLimit.load(std::memory_order_relaxed));
}

const TPixelKernels& PixelKernels() {
    const TKernelSet& Set = Kernels();
    return *Set.Forms[SimdFormIndex(Set.Count)];
}

int PixelKernelCount() {
    return Kernels().Count;
}

const TPixelKernels& PixelKernelAt(int Index) {
    const TKernelSet& Set = Kernels();
    return *Set.Forms[std::clamp(Index, 0, Set.Count - 1)];
}

void MergeLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    for (int I = 0; I < Count; ++I) Dst[I] = MergeOver(Src[I], Dst[I]);
}

void MergeMasterLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M) {
    for (int I = 0; I < Count; ++I) Dst[I] = MergeOverMaster(Src[I], Dst[I], M);
}
