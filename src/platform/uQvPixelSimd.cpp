#include "platform/uQvPixelSimd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <algorithm>

// The vector forms compute on 16-bit lanes. Every intermediate of the formulas stays
// below 65536 (F*W + B*(256 - W) + 128 <= 65408, F*256 + 128 <= 65408, and for the
// divisions by 255 t + 1 + (t >> 8) <= 65407 with t <= 255*255 + 127), so unsigned 16-bit
// wrap-around never occurs and the results equal the plain forms bit for bit.

namespace {

#define QV_SSE2 __attribute__((target("sse2")))
#define QV_AVX2 __attribute__((target("avx2")))

// --- SSE2: four pixels per step -----------------------------------------------------

// Each pixel's alpha copied into its four 16-bit lanes.
QV_SSE2 inline __m128i AlphaLanes(__m128i P16) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(P16, 0xFF), 0xFF);
}

// OverBlend of two unpacked pixels.
QV_SSE2 inline __m128i OverHalf(__m128i F, __m128i B) {
    const __m128i Half = _mm_set1_epi16(128);
    const __m128i A = AlphaLanes(F);
    // The alpha lane takes F's own alpha: (a*256 + 128) >> 8 = a.
    const __m128i FMul = _mm_or_si128(_mm_and_si128(A, _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1)),
                                      _mm_set_epi16(256, 0, 0, 0, 256, 0, 0, 0));
    const __m128i T1 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(F, FMul), Half), 8);
    const __m128i T2 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(B, A), Half), 8);
    return _mm_sub_epi16(_mm_add_epi16(T1, B), T2);
}

// (F*W + B*(256 - W) + 128) >> 8 on unpacked lanes.
QV_SSE2 inline __m128i MixHalf(__m128i F, __m128i B, __m128i W) {
    const __m128i Inv = _mm_sub_epi16(_mm_set1_epi16(256), W);
    const __m128i Sum =
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(F, W), _mm_mullo_epi16(B, Inv)), _mm_set1_epi16(128));
    return _mm_srli_epi16(Sum, 8);
}

QV_SSE2 inline bool AllTransparent(__m128i S) {
    const __m128i A = _mm_and_si128(S, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(A, _mm_setzero_si128())) == 0xFFFF;
}

QV_SSE2 inline bool AllOpaque(__m128i S) {
    const __m128i A = _mm_and_si128(S, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(A, _mm_set1_epi32(static_cast<int>(0xFF000000u)))) == 0xFFFF;
}

// OverBlend with a = 255, on bytes: (F*255 + 128) >> 8 is F - [F > 128] and
// B - ((B*255 + 128) >> 8) is [B > 128], so the colour is F - [F > 128] + [B > 128]
// (never past 255) and the alpha 255 + [Ba > 128], clamped to 255.
QV_SSE2 inline __m128i OverOpaque(__m128i F, __m128i B) {
    const __m128i Bias = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i FHigh = _mm_cmpgt_epi8(_mm_xor_si128(F, Bias), _mm_setzero_si128());
    const __m128i BHigh = _mm_cmpgt_epi8(_mm_xor_si128(B, Bias), _mm_setzero_si128());
    const __m128i R = _mm_sub_epi8(_mm_add_epi8(F, FHigh), BHigh);
    return _mm_or_si128(R, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

QV_SSE2 void Sse2OverBlendLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    const __m128i Zero = _mm_setzero_si128();
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I));
        if (AllTransparent(S)) continue;  // a = 0 leaves the destination as it is
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + I));
        if (AllOpaque(S)) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), OverOpaque(S, D));
            continue;
        }
        const __m128i Lo = OverHalf(_mm_unpacklo_epi8(S, Zero), _mm_unpacklo_epi8(D, Zero));
        const __m128i Hi = OverHalf(_mm_unpackhi_epi8(S, Zero), _mm_unpackhi_epi8(D, Zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), _mm_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) Dst[I] = OverBlend(Src[I], Dst[I]);
}

QV_SSE2 void Sse2MasterBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M) {
    const __m128i Zero = _mm_setzero_si128();
    const __m128i Master = _mm_set1_epi16(static_cast<short>(M));
    const __m128i One = _mm_set1_epi16(1);
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I));
        if (AllTransparent(S)) continue;
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + I));
        const __m128i SLo = _mm_unpacklo_epi8(S, Zero), SHi = _mm_unpackhi_epi8(S, Zero);
        // W = ((a + 1) * M) >> 8; a = 0 gives W = 0 and so the destination unchanged.
        const __m128i WLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(SLo), One), Master), 8);
        const __m128i WHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(AlphaLanes(SHi), One), Master), 8);
        const __m128i Lo = MixHalf(SLo, _mm_unpacklo_epi8(D, Zero), WLo);
        const __m128i Hi = MixHalf(SHi, _mm_unpackhi_epi8(D, Zero), WHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), _mm_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) LineBlendMaster(Src[I], Dst[I], M);
}

QV_SSE2 void Sse2CombineLine(uint32_t F, uint32_t* Dst, int Count, uint32_t W) {
    if (W == 0 || Count <= 0) return;
    if (W >= 255) {
        std::fill_n(Dst, Count, F);
        return;
    }
    const __m128i Zero = _mm_setzero_si128();
    const __m128i F16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(F)), Zero);
    // F*W + 128 is the same for every pixel.
    const __m128i FPart =
        _mm_add_epi16(_mm_mullo_epi16(F16, _mm_set1_epi16(static_cast<short>(W))), _mm_set1_epi16(128));
    const __m128i Inv = _mm_set1_epi16(static_cast<short>(256 - W));
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + I));
        const __m128i Lo =
            _mm_srli_epi16(_mm_add_epi16(FPart, _mm_mullo_epi16(_mm_unpacklo_epi8(D, Zero), Inv)), 8);
        const __m128i Hi =
            _mm_srli_epi16(_mm_add_epi16(FPart, _mm_mullo_epi16(_mm_unpackhi_epi8(D, Zero), Inv)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), _mm_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) Dst[I] = WeightedMix(F, Dst[I], W);
}

// floor(t / 255) in each 16-bit lane, t <= 255*255 + 127: (t + 1 + (t >> 8)) >> 8.
QV_SSE2 inline __m128i Div255(__m128i T) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(T, _mm_set1_epi16(1)), _mm_srli_epi16(T, 8)), 8);
}

// Out, except that the pixels of S whose colour is the key keep D; AlphaOr added.
QV_SSE2 inline __m128i Finish(__m128i Out, __m128i S, __m128i D, TLineBlendOptions O) {
    Out = _mm_or_si128(Out, _mm_set1_epi32(static_cast<int>(O.AlphaOr)));
    if (O.Key > 0x00FFFFFFu) return Out;
    const __m128i Mask = _mm_cmpeq_epi32(_mm_and_si128(S, _mm_set1_epi32(0x00FFFFFF)),
                                         _mm_set1_epi32(static_cast<int>(O.Key)));
    return _mm_or_si128(_mm_and_si128(Mask, D), _mm_andnot_si128(Mask, Out));
}

// MixDiv255 of unpacked lanes with A and 255 - A.
QV_SSE2 inline __m128i ConstantHalf(__m128i S, __m128i D, __m128i A, __m128i NA) {
    return Div255(
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(S, A), _mm_mullo_epi16(D, NA)), _mm_set1_epi16(127)));
}

QV_SSE2 void Sse2ConstantBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t A,
                                   TLineBlendOptions O) {
    const __m128i Zero = _mm_setzero_si128(), Av = _mm_set1_epi16(static_cast<short>(A)),
                  Nv = _mm_set1_epi16(static_cast<short>(255 - A));
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + I));
        const __m128i Lo = ConstantHalf(_mm_unpacklo_epi8(S, Zero), _mm_unpacklo_epi8(D, Zero), Av, Nv);
        const __m128i Hi = ConstantHalf(_mm_unpackhi_epi8(S, Zero), _mm_unpackhi_epi8(D, Zero), Av, Nv);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), Finish(_mm_packus_epi16(Lo, Hi), S, D, O));
    }
    for (; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = ConstantBlend(Src[I], Dst[I], A) | O.AlphaOr;
}

// PremultipliedBlend of unpacked lanes; K = 255 leaves the source as it is. Sums above
// 255 are held there by the saturating pack that follows.
QV_SSE2 inline __m128i PremultipliedHalf(__m128i S, __m128i D, __m128i K, bool Scale) {
    const __m128i Half = _mm_set1_epi16(127);
    if (Scale) S = Div255(_mm_add_epi16(_mm_mullo_epi16(S, K), Half));
    const __m128i Keep = _mm_sub_epi16(_mm_set1_epi16(255), AlphaLanes(S));
    return _mm_add_epi16(S, Div255(_mm_add_epi16(_mm_mullo_epi16(D, Keep), Half)));
}

QV_SSE2 void Sse2PremultipliedBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t K,
                                        TLineBlendOptions O) {
    const __m128i Zero = _mm_setzero_si128(), Kv = _mm_set1_epi16(static_cast<short>(K));
    const bool Scale = K != 255;
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + I));
        const __m128i Lo =
            PremultipliedHalf(_mm_unpacklo_epi8(S, Zero), _mm_unpacklo_epi8(D, Zero), Kv, Scale);
        const __m128i Hi =
            PremultipliedHalf(_mm_unpackhi_epi8(S, Zero), _mm_unpackhi_epi8(D, Zero), Kv, Scale);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), Finish(_mm_packus_epi16(Lo, Hi), S, D, O));
    }
    for (; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = PremultipliedBlend(Src[I], Dst[I], K) | O.AlphaOr;
}

// MulDiv255(c, a) in the colour lanes; the alpha lane is multiplied by 255, which gives a.
QV_SSE2 inline __m128i PremultiplyHalf(__m128i P) {
    const __m128i Mul =
        _mm_or_si128(_mm_and_si128(AlphaLanes(P), _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1)),
                     _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0));
    return Div255(_mm_add_epi16(_mm_mullo_epi16(P, Mul), _mm_set1_epi16(127)));
}

QV_SSE2 void Sse2PremultiplyLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    const __m128i Zero = _mm_setzero_si128();
    int I = 0;
    for (; I + 4 <= Count; I += 4) {
        __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I));
        if (!AllOpaque(S))  // opaque pixels stay as they are
            S = _mm_packus_epi16(PremultiplyHalf(_mm_unpacklo_epi8(S, Zero)),
                                 PremultiplyHalf(_mm_unpackhi_epi8(S, Zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + I), S);
    }
    for (; I < Count; ++I) Dst[I] = Premultiply(Src[I]);
}

// --- AVX2: eight pixels per step (unpack and pack work within 128-bit halves, so the
// pixel order is kept) ------------------------------------------------------------------

QV_AVX2 inline __m256i AlphaLanes256(__m256i P16) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(P16, 0xFF), 0xFF);
}

QV_AVX2 inline __m256i OverHalf256(__m256i F, __m256i B) {
    const __m256i Half = _mm256_set1_epi16(128);
    const __m256i A = AlphaLanes256(F);
    const __m256i FMul = _mm256_or_si256(
        _mm256_and_si256(A, _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1)),
        _mm256_set_epi16(256, 0, 0, 0, 256, 0, 0, 0, 256, 0, 0, 0, 256, 0, 0, 0));
    const __m256i T1 = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(F, FMul), Half), 8);
    const __m256i T2 = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(B, A), Half), 8);
    return _mm256_sub_epi16(_mm256_add_epi16(T1, B), T2);
}

QV_AVX2 inline __m256i MixHalf256(__m256i F, __m256i B, __m256i W) {
    const __m256i Inv = _mm256_sub_epi16(_mm256_set1_epi16(256), W);
    const __m256i Sum = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(F, W), _mm256_mullo_epi16(B, Inv)), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(Sum, 8);
}

QV_AVX2 inline bool AllTransparent256(__m256i S) {
    return _mm256_testz_si256(S, _mm256_set1_epi32(static_cast<int>(0xFF000000u))) != 0;
}

QV_AVX2 inline bool AllOpaque256(__m256i S) {
    const __m256i AlphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm256_testc_si256(S, AlphaMask) != 0;
}

QV_AVX2 inline __m256i OverOpaque256(__m256i F, __m256i B) {
    const __m256i Bias = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i FHigh = _mm256_cmpgt_epi8(_mm256_xor_si256(F, Bias), _mm256_setzero_si256());
    const __m256i BHigh = _mm256_cmpgt_epi8(_mm256_xor_si256(B, Bias), _mm256_setzero_si256());
    const __m256i R = _mm256_sub_epi8(_mm256_add_epi8(F, FHigh), BHigh);
    return _mm256_or_si256(R, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

QV_AVX2 void Avx2OverBlendLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    const __m256i Zero = _mm256_setzero_si256();
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I));
        if (AllTransparent256(S)) continue;
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + I));
        if (AllOpaque256(S)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I), OverOpaque256(S, D));
            continue;
        }
        const __m256i Lo = OverHalf256(_mm256_unpacklo_epi8(S, Zero), _mm256_unpacklo_epi8(D, Zero));
        const __m256i Hi = OverHalf256(_mm256_unpackhi_epi8(S, Zero), _mm256_unpackhi_epi8(D, Zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I), _mm256_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) Dst[I] = OverBlend(Src[I], Dst[I]);
}

QV_AVX2 void Avx2MasterBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t M) {
    const __m256i Zero = _mm256_setzero_si256();
    const __m256i Master = _mm256_set1_epi16(static_cast<short>(M));
    const __m256i One = _mm256_set1_epi16(1);
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I));
        if (AllTransparent256(S)) continue;
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + I));
        const __m256i SLo = _mm256_unpacklo_epi8(S, Zero), SHi = _mm256_unpackhi_epi8(S, Zero);
        const __m256i WLo =
            _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes256(SLo), One), Master), 8);
        const __m256i WHi =
            _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(AlphaLanes256(SHi), One), Master), 8);
        const __m256i Lo = MixHalf256(SLo, _mm256_unpacklo_epi8(D, Zero), WLo);
        const __m256i Hi = MixHalf256(SHi, _mm256_unpackhi_epi8(D, Zero), WHi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I), _mm256_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) LineBlendMaster(Src[I], Dst[I], M);
}

QV_AVX2 void Avx2CombineLine(uint32_t F, uint32_t* Dst, int Count, uint32_t W) {
    if (W == 0 || Count <= 0) return;
    if (W >= 255) {
        std::fill_n(Dst, Count, F);
        return;
    }
    const __m256i Zero = _mm256_setzero_si256();
    const __m256i F16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(F)), Zero);
    const __m256i FPart = _mm256_add_epi16(_mm256_mullo_epi16(F16, _mm256_set1_epi16(static_cast<short>(W))),
                                           _mm256_set1_epi16(128));
    const __m256i Inv = _mm256_set1_epi16(static_cast<short>(256 - W));
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + I));
        const __m256i Lo = _mm256_srli_epi16(
            _mm256_add_epi16(FPart, _mm256_mullo_epi16(_mm256_unpacklo_epi8(D, Zero), Inv)), 8);
        const __m256i Hi = _mm256_srli_epi16(
            _mm256_add_epi16(FPart, _mm256_mullo_epi16(_mm256_unpackhi_epi8(D, Zero), Inv)), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I), _mm256_packus_epi16(Lo, Hi));
    }
    for (; I < Count; ++I) Dst[I] = WeightedMix(F, Dst[I], W);
}

QV_AVX2 inline __m256i Div255_256(__m256i T) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(T, _mm256_set1_epi16(1)), _mm256_srli_epi16(T, 8)), 8);
}

QV_AVX2 inline __m256i Finish256(__m256i Out, __m256i S, __m256i D, TLineBlendOptions O) {
    Out = _mm256_or_si256(Out, _mm256_set1_epi32(static_cast<int>(O.AlphaOr)));
    if (O.Key > 0x00FFFFFFu) return Out;
    const __m256i Mask = _mm256_cmpeq_epi32(_mm256_and_si256(S, _mm256_set1_epi32(0x00FFFFFF)),
                                            _mm256_set1_epi32(static_cast<int>(O.Key)));
    return _mm256_blendv_epi8(Out, D, Mask);
}

QV_AVX2 inline __m256i ConstantHalf256(__m256i S, __m256i D, __m256i A, __m256i NA) {
    return Div255_256(_mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(S, A), _mm256_mullo_epi16(D, NA)),
                                       _mm256_set1_epi16(127)));
}

QV_AVX2 void Avx2ConstantBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t A,
                                   TLineBlendOptions O) {
    const __m256i Zero = _mm256_setzero_si256(), Av = _mm256_set1_epi16(static_cast<short>(A)),
                  Nv = _mm256_set1_epi16(static_cast<short>(255 - A));
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + I));
        const __m256i Lo =
            ConstantHalf256(_mm256_unpacklo_epi8(S, Zero), _mm256_unpacklo_epi8(D, Zero), Av, Nv);
        const __m256i Hi =
            ConstantHalf256(_mm256_unpackhi_epi8(S, Zero), _mm256_unpackhi_epi8(D, Zero), Av, Nv);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I),
                            Finish256(_mm256_packus_epi16(Lo, Hi), S, D, O));
    }
    for (; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = ConstantBlend(Src[I], Dst[I], A) | O.AlphaOr;
}

QV_AVX2 inline __m256i PremultipliedHalf256(__m256i S, __m256i D, __m256i K, bool Scale) {
    const __m256i Half = _mm256_set1_epi16(127);
    if (Scale) S = Div255_256(_mm256_add_epi16(_mm256_mullo_epi16(S, K), Half));
    const __m256i Keep = _mm256_sub_epi16(_mm256_set1_epi16(255), AlphaLanes256(S));
    return _mm256_add_epi16(S, Div255_256(_mm256_add_epi16(_mm256_mullo_epi16(D, Keep), Half)));
}

QV_AVX2 void Avx2PremultipliedBlendLine(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t K,
                                        TLineBlendOptions O) {
    const __m256i Zero = _mm256_setzero_si256(), Kv = _mm256_set1_epi16(static_cast<short>(K));
    const bool Scale = K != 255;
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + I));
        const __m256i Lo =
            PremultipliedHalf256(_mm256_unpacklo_epi8(S, Zero), _mm256_unpacklo_epi8(D, Zero), Kv, Scale);
        const __m256i Hi =
            PremultipliedHalf256(_mm256_unpackhi_epi8(S, Zero), _mm256_unpackhi_epi8(D, Zero), Kv, Scale);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I),
                            Finish256(_mm256_packus_epi16(Lo, Hi), S, D, O));
    }
    for (; I < Count; ++I)
        if ((Src[I] & 0x00FFFFFFu) != O.Key) Dst[I] = PremultipliedBlend(Src[I], Dst[I], K) | O.AlphaOr;
}

QV_AVX2 inline __m256i PremultiplyHalf256(__m256i P) {
    const __m256i Mul = _mm256_or_si256(
        _mm256_and_si256(AlphaLanes256(P),
                         _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1)),
        _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0));
    return Div255_256(_mm256_add_epi16(_mm256_mullo_epi16(P, Mul), _mm256_set1_epi16(127)));
}

QV_AVX2 void Avx2PremultiplyLine(const uint32_t* Src, uint32_t* Dst, int Count) {
    const __m256i Zero = _mm256_setzero_si256();
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I));
        if (!AllOpaque256(S))
            S = _mm256_packus_epi16(PremultiplyHalf256(_mm256_unpacklo_epi8(S, Zero)),
                                    PremultiplyHalf256(_mm256_unpackhi_epi8(S, Zero)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + I), S);
    }
    for (; I < Count; ++I) Dst[I] = Premultiply(Src[I]);
}

const TPixelKernels Sse2Kernels{"sse2",
                                Sse2OverBlendLine,
                                Sse2MasterBlendLine,
                                Sse2CombineLine,
                                Sse2ConstantBlendLine,
                                Sse2PremultipliedBlendLine,
                                Sse2PremultiplyLine};
const TPixelKernels Avx2Kernels{"avx2",
                                Avx2OverBlendLine,
                                Avx2MasterBlendLine,
                                Avx2CombineLine,
                                Avx2ConstantBlendLine,
                                Avx2PremultipliedBlendLine,
                                Avx2PremultiplyLine};

}  // namespace

const TPixelKernels* Sse2PixelKernels() {
    return __builtin_cpu_supports("sse2") ? &Sse2Kernels : nullptr;
}
const TPixelKernels* Avx2PixelKernels() {
    return __builtin_cpu_supports("avx2") ? &Avx2Kernels : nullptr;
}

#else

const TPixelKernels* Sse2PixelKernels() {
    return nullptr;
}
const TPixelKernels* Avx2PixelKernels() {
    return nullptr;
}

#endif
