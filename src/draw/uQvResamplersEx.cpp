#include "draw/uQvResamplersEx.h"

#include <algorithm>
#include <cmath>

#include "platform/uQvPixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// Bilinear interpolation of four pixels, per channel (alpha included):
// top = (P00*Wx + P10*(256 - Wx)) >> 8, bottom likewise, result =
// (top*Wy + bottom*(256 - Wy)) >> 8, weights 0..256. Two channels share a 32-bit word;
// no lane ever exceeds 255 * 256, so none carries into the next.
inline TColor32 Bilerp(TColor32 P00, TColor32 P10, TColor32 P01, TColor32 P11, uint32_t Wx, uint32_t Wy) {
    constexpr uint32_t Mask = 0x00FF00FFu;
    const uint32_t Ix = 256 - Wx, Iy = 256 - Wy;
    const uint32_t TopRB = (((P00 & Mask) * Wx + (P10 & Mask) * Ix) >> 8) & Mask;
    const uint32_t TopAG = ((((P00 >> 8) & Mask) * Wx + ((P10 >> 8) & Mask) * Ix) >> 8) & Mask;
    const uint32_t BotRB = (((P01 & Mask) * Wx + (P11 & Mask) * Ix) >> 8) & Mask;
    const uint32_t BotAG = ((((P01 >> 8) & Mask) * Wx + ((P11 >> 8) & Mask) * Ix) >> 8) & Mask;
    const uint32_t RB = ((TopRB * Wy + BotRB * Iy) >> 8) & Mask;
    const uint32_t AG = ((TopAG * Wy + BotAG * Iy) >> 8) & Mask;
    return RB | (AG << 8);
}

int Sign(TFixed V) {
    return V > 0 ? 1 : (V < 0 ? -1 : 0);
}

TFixed ClampFixed(int64_t V) {
    return static_cast<TFixed>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
}

}  // namespace

// --- kernels ---------------------------------------------------------------------------------

float TBoxKernel::Filter(float Value) const {
    return (Value >= -0.5f && Value < 0.5f) ? 1.0f : 0.0f;
}

float TLinearKernel::Filter(float Value) const {
    return (Value >= -1.0f && Value < 1.0f) ? 1.0f - std::fabs(Value) : 0.0f;
}

// --- TLinearResampler ----------------------------------------------------------------------------

TLinearResampler::TLinearResampler() : FKernel(std::make_unique<TLinearKernel>()) {}

std::unique_ptr<TCustomResampler> TLinearResampler::NewInstance() const {
    return std::make_unique<TLinearResampler>();
}

TColor32 TLinearResampler::SampleByReader(int I, int J, uint32_t Wx, uint32_t Wy) const {
    return Bilerp(ReadPixel(I, J), ReadPixel(I + 1, J), ReadPixel(I, J + 1), ReadPixel(I + 1, J + 1), Wx, Wy);
}

TColor32 TLinearResampler::SampleEdgeBand(TFixed X, TFixed Y, int I, int J, uint32_t Wx, uint32_t Wy) const {
    const TCustomSurface32& B = *Bitmap();
    const int L = FClip.Left, T = FClip.Top, R = FClip.Right - 1, Bt = FClip.Bottom - 1;
    const int Sx = Sign(X), Sy = Sign(Y);
    auto Col = [R](int V) { return std::clamp(V, 0, R); };
    auto Row = [Bt](int V) { return std::clamp(V, 0, Bt); };
    TColor32 C1 = *B.PixelPtr(Col(I), Row(J));
    TColor32 C2 = *B.PixelPtr(Col(I + Sx), Row(J));
    TColor32 C3 = *B.PixelPtr(Col(I), Row(J + Sy));
    TColor32 C4 = *B.PixelPtr(Col(I + Sx), Row(J + Sy));
    if (int64_t{X} <= int64_t{L} * 65536) {
        C1 = SetAlpha(C1, 0);
        C3 = SetAlpha(C3, 0);
    } else if (I == R) {
        C2 = SetAlpha(C2, 0);
        C4 = SetAlpha(C4, 0);
    }
    if (int64_t{Y} <= int64_t{T} * 65536) {
        C1 = SetAlpha(C1, 0);
        C2 = SetAlpha(C2, 0);
    } else if (J == Bt) {
        C3 = SetAlpha(C3, 0);
        C4 = SetAlpha(C4, 0);
    }
    return WeightedMix(WeightedMix(C1, C2, Wx), WeightedMix(C3, C4, Wx), Wy);
}

TColor32 TLinearResampler::GetSampleFixed(TFixed X, TFixed Y) {
    TColor32 C = 0;
    SampleRun(X, Y, 0, 0, 1, &C);
    return C;
}

void TLinearResampler::SampleRun(TFixed AX, TFixed AY, TFixed Dx, TFixed Dy, int Count, TColor32* Out) {
    const TCustomSurface32* B = Bitmap();
    TRect Clip;
    if (B == nullptr || B->Empty() || !IntersectRect(Clip, FClip, B->BoundsRect())) {
        std::fill(Out, Out + std::max(Count, 0), 0u);
        return;
    }
    const uint8_t* G = CoverageGamma();
    const bool Edges = PixelAccessMode() == pamTransparentEdge;
    const int L = Clip.Left, T = Clip.Top, R = Clip.Right - 1, Bt = Clip.Bottom - 1;
    const int Stride = B->Width();
    int64_t X = AX, Y = AY;
    for (int N = 0; N < Count; ++N, X += Dx, Y += Dy) {
        const TFixed Fx = ClampFixed(X), Fy = ClampFixed(Y);
        const int I = Fx >> 16, J = Fy >> 16;
        const uint32_t Wx = G[255 - ((Fx >> 8) & 255)], Wy = G[255 - ((Fy >> 8) & 255)];
        if (!Edges) {
            Out[N] = SampleByReader(I, J, Wx, Wy);
        } else if (I >= L && I < R && J >= T && J < Bt) {
            const TColor32* P = B->PixelPtr(I, J);
            Out[N] = Bilerp(P[0], P[1], P[Stride], P[Stride + 1], Wx, Wy);
        } else if (I < L - 1 || J < T - 1 || I > R || J > Bt) {
            Out[N] = 0;
        } else {
            Out[N] = SampleEdgeBand(Fx, Fy, I, J, Wx, Wy);
        }
    }
}

void TLinearResampler::Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                                TCustomSurface32* Src, const TRect& SrcRect) {
    if (SrcRect.Width() < DstRect.Width() && SrcRect.Height() < DstRect.Height() && SrcRect.Width() > 1 &&
        SrcRect.Height() > 1)
        StretchBilinear(Dst, DstRect, DstClip, Src, SrcRect);
    else
        StretchKernel(Dst, DstRect, DstClip, Src, SrcRect, *FKernel);
}

// --- TLinearGridSampler ----------------------------------------------------------------------

TLinearGridSampler::TLinearGridSampler(TLinearResampler& Resampler, TFixed X0, TFixed Dx, int Count)
    : FResampler(Resampler), FCount(std::max(Count, 0)) {
    FX.resize(static_cast<size_t>(FCount));
    int64_t X = X0;
    for (int N = 0; N < FCount; ++N, X += Dx) FX[N] = ClampFixed(X);
    const TCustomSurface32* B = Resampler.Bitmap();
    FEdges = Resampler.PixelAccessMode() == pamTransparentEdge && B != nullptr && !B->Empty() &&
             IntersectRect(FClip, Resampler.FClip, B->BoundsRect());
    if (!FEdges) return;
    const uint8_t* G = CoverageGamma();
    FI.resize(static_cast<size_t>(FCount));
    // Along an axis-aligned row the source column moves one way, so the columns whose two
    // pixels lie inside the clip form one run.
    FLo = FCount;
    FHi = 0;
    FWeights.resize(static_cast<size_t>(FCount) * 8);
    for (int N = 0; N < FCount; ++N) {
        FI[N] = FX[N] >> 16;
        const uint16_t Wx = G[255 - ((FX[N] >> 8) & 255)];
        std::fill_n(&FWeights[static_cast<size_t>(N) * 8], 4, Wx);
        std::fill_n(&FWeights[static_cast<size_t>(N) * 8 + 4], 4, static_cast<uint16_t>(256 - Wx));
        if (FI[N] >= FClip.Left && FI[N] < FClip.Right - 1) {
            FLo = std::min(FLo, N);
            FHi = N + 1;
        }
    }
    for (int N = FLo; N < FHi; ++N)
        if (FI[N] < FClip.Left || FI[N] >= FClip.Right - 1) FEdges = false;
}

const uint16_t* TLinearGridSampler::MixedRow(int J) {
    for (int K = 0; K < 2; ++K)
        if (FRowOf[K] == J) {
            // Kept: the next row mixed goes to the other slot.
            FNext = K ^ 1;
            return FRows[K].data();
        }
    std::vector<uint16_t>& Row = FRows[FNext];
    FRowOf[FNext] = J;
    FNext ^= 1;
    Row.resize(static_cast<size_t>(FCount) * 4);
    LinearRowKernels().MixRow(FResampler.Bitmap()->ScanLine(J), FI.data(), FWeights.data(), FLo, FHi,
                              Row.data());
    return Row.data();
}

void TLinearGridSampler::SampleRow(TFixed Y, TColor32* Out) {
    const int J = Y >> 16;
    if (!FEdges || J < FClip.Top || J >= FClip.Bottom - 1 || FLo >= FHi) {
        // Edge rows and other access modes: position by position.
        for (int N = 0; N < FCount; ++N) FResampler.SampleRun(FX[N], Y, 0, 0, 1, &Out[N]);
        return;
    }
    const uint32_t Wy = CoverageGamma()[255 - ((Y >> 8) & 255)];
    for (int N = 0; N < FLo; ++N) FResampler.SampleRun(FX[N], Y, 0, 0, 1, &Out[N]);
    for (int N = FHi; N < FCount; ++N) FResampler.SampleRun(FX[N], Y, 0, 0, 1, &Out[N]);
    const uint16_t* Top = MixedRow(J);
    const uint16_t* Bottom = MixedRow(J + 1);
    LinearRowKernels().BlendRows(Top, Bottom, Wy, FLo, FHi, Out);
}

// --- row kernels of the grid sampler ----------------------------------------------------------

namespace {

// Row[N] := per channel (P * W + Q * (256 - W)) >> 8 for the pixels P = Line[I[N]] and
// Q = Line[I[N] + 1], W = Weights[N * 8] (the weights hold W four times, then 256 - W
// four times).
void PlainMixRow(const TColor32* Line, const int* I, const uint16_t* Weights, int Lo, int Hi, uint16_t* Row) {
    for (int N = Lo; N < Hi; ++N) {
        const TColor32 P = Line[I[N]], Q = Line[I[N] + 1];
        const uint32_t W = Weights[static_cast<size_t>(N) * 8], Iw = 256 - W;
        uint16_t* Out = &Row[static_cast<size_t>(N) * 4];
        for (int C = 0; C < 4; ++C)
            Out[C] = static_cast<uint16_t>((((P >> (8 * C)) & 0xFF) * W + ((Q >> (8 * C)) & 0xFF) * Iw) >> 8);
    }
}

// Out[N] := per channel (Top * Wy + Bottom * (256 - Wy)) >> 8.
void PlainBlendRows(const uint16_t* Top, const uint16_t* Bottom, uint32_t Wy, int Lo, int Hi, TColor32* Out) {
    const uint32_t Iy = 256 - Wy;
    for (int N = Lo; N < Hi; ++N) {
        TColor32 C = 0;
        for (int K = 0; K < 4; ++K) {
            const size_t At = static_cast<size_t>(N) * 4 + K;
            C |= static_cast<TColor32>((Top[At] * Wy + Bottom[At] * Iy) >> 8) << (8 * K);
        }
        Out[N] = C;
    }
}

#if defined(__x86_64__) || defined(__i386__)

// The channels of two pixels as 16-bit lanes times (W x 4, 256 - W x 4): the halves
// added are P * W + Q * (256 - W) <= 255 * 256, which 16 bits hold unsigned.
__attribute__((target("sse2"))) void Sse2MixRow(const TColor32* Line, const int* I, const uint16_t* Weights,
                                                int Lo, int Hi, uint16_t* Row) {
    const __m128i Zero = _mm_setzero_si128();
    for (int N = Lo; N < Hi; ++N) {
        const __m128i PQ =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Line + I[N])), Zero);
        const __m128i M =
            _mm_mullo_epi16(PQ, _mm_loadu_si128(reinterpret_cast<const __m128i*>(Weights + N * 8)));
        const __m128i Sum = _mm_srli_epi16(_mm_add_epi16(M, _mm_srli_si128(M, 8)), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(Row + static_cast<size_t>(N) * 4), Sum);
    }
}

__attribute__((target("sse2"))) void Sse2BlendRows(const uint16_t* Top, const uint16_t* Bottom, uint32_t Wy,
                                                   int Lo, int Hi, TColor32* Out) {
    const __m128i WyV = _mm_set1_epi16(static_cast<short>(Wy)),
                  IyV = _mm_set1_epi16(static_cast<short>(256 - Wy));
    int N = Lo;
    for (; N + 2 <= Hi; N += 2) {
        const __m128i T = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Top + static_cast<size_t>(N) * 4));
        const __m128i B =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(Bottom + static_cast<size_t>(N) * 4));
        const __m128i R = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(T, WyV), _mm_mullo_epi16(B, IyV)), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(Out + N), _mm_packus_epi16(R, R));
    }
    PlainBlendRows(Top, Bottom, Wy, N, Hi, Out);
}

// Two columns per step in 256 bits; each 128-bit half is one column as above.
__attribute__((target("avx2"))) void Avx2MixRow(const TColor32* Line, const int* I, const uint16_t* Weights,
                                                int Lo, int Hi, uint16_t* Row) {
    int N = Lo;
    for (; N + 2 <= Hi; N += 2) {
        const __m128i Pairs =
            _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Line + I[N])),
                               _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Line + I[N + 1])));
        const __m256i M =
            _mm256_mullo_epi16(_mm256_cvtepu8_epi16(Pairs),
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Weights + N * 8)));
        const __m256i Sum = _mm256_srli_epi16(_mm256_add_epi16(M, _mm256_srli_si256(M, 8)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + static_cast<size_t>(N) * 4),
                         _mm256_castsi256_si128(_mm256_permute4x64_epi64(Sum, 0x08)));
    }
    Sse2MixRow(Line, I, Weights, N, Hi, Row);
}

__attribute__((target("avx2"))) void Avx2BlendRows(const uint16_t* Top, const uint16_t* Bottom, uint32_t Wy,
                                                   int Lo, int Hi, TColor32* Out) {
    const __m256i WyV = _mm256_set1_epi16(static_cast<short>(Wy));
    const __m256i IyV = _mm256_set1_epi16(static_cast<short>(256 - Wy));
    int N = Lo;
    for (; N + 4 <= Hi; N += 4) {
        const __m256i T =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Top + static_cast<size_t>(N) * 4));
        const __m256i B =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Bottom + static_cast<size_t>(N) * 4));
        const __m256i R =
            _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(T, WyV), _mm256_mullo_epi16(B, IyV)), 8);
        // Packing works per 128-bit half; the permutation puts the four pixels in order.
        const __m256i P = _mm256_permute4x64_epi64(_mm256_packus_epi16(R, R), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + N), _mm256_castsi256_si128(P));
    }
    Sse2BlendRows(Top, Bottom, Wy, N, Hi, Out);
}

#endif

const TLinearRowKernels PlainKernels{"plain", PlainMixRow, PlainBlendRows};
#if defined(__x86_64__) || defined(__i386__)
const TLinearRowKernels Sse2Kernels{"sse2", Sse2MixRow, Sse2BlendRows};
const TLinearRowKernels Avx2Kernels{"avx2", Avx2MixRow, Avx2BlendRows};
#endif

std::vector<const TLinearRowKernels*> AvailableRowKernels() {
    std::vector<const TLinearRowKernels*> Forms{&PlainKernels};
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("sse2")) Forms.push_back(&Sse2Kernels);
    if (__builtin_cpu_supports("avx2")) Forms.push_back(&Avx2Kernels);
#endif
    return Forms;
}

const std::vector<const TLinearRowKernels*>& RowKernelForms() {
    static const std::vector<const TLinearRowKernels*> Forms = AvailableRowKernels();
    return Forms;
}

}  // namespace

const TLinearRowKernels& LinearRowKernels() {
    const auto& Forms = RowKernelForms();
    return *Forms[static_cast<size_t>(SimdFormIndex(static_cast<int>(Forms.size())))];
}
int LinearRowKernelCount() {
    return static_cast<int>(RowKernelForms().size());
}
const TLinearRowKernels& LinearRowKernelAt(int Index) {
    return *RowKernelForms().at(static_cast<size_t>(Index));
}

// --- TKernelResampler -----------------------------------------------------------------------------

TKernelResampler::TKernelResampler() : FKernel(std::make_unique<TBoxKernel>()) {}

void TKernelResampler::SetKernel(const TCustomKernel& Value) {
    FKernel = Value.Clone();
    Changed();
}

int TKernelResampler::GetWidth() const {
    return static_cast<int>(std::ceil(FKernel->GetWidth()));
}

std::unique_ptr<TCustomResampler> TKernelResampler::NewInstance() const {
    auto R = std::make_unique<TKernelResampler>();
    R->SetKernel(*FKernel);
    return R;
}

TColor32 TKernelResampler::GetSampleFixed(TFixed X, TFixed Y) {
    // The position in pixels, pixel centres at the integers.
    const float Px = static_cast<float>(X) / 65536.0f, Py = static_cast<float>(Y) / 65536.0f;
    const float W = FKernel->GetWidth();
    const int X0 = static_cast<int>(std::floor(Px - W)), X1 = static_cast<int>(std::ceil(Px + W));
    const int Y0 = static_cast<int>(std::floor(Py - W)), Y1 = static_cast<int>(std::ceil(Py + W));
    int64_t Sum[4] = {0, 0, 0, 0};
    int64_t Total = 0;
    for (int J = Y0; J <= Y1; ++J) {
        const int Wy = RoundHalfEven(FKernel->Filter(Py - static_cast<float>(J)) * 256.0f);
        if (Wy == 0) continue;
        for (int I = X0; I <= X1; ++I) {
            const int Wx = RoundHalfEven(FKernel->Filter(Px - static_cast<float>(I)) * 256.0f);
            if (Wx == 0) continue;
            const TColor32 C = ReadPixel(I, J);
            const int64_t Weight = int64_t{Wx} * Wy;
            for (int K = 0; K < 4; ++K) Sum[K] += ((C >> (8 * K)) & 0xFF) * Weight;
            Total += Weight;
        }
    }
    if (Total <= 0) return 0;
    TColor32 Result = 0;
    for (int K = 0; K < 4; ++K) {
        const int64_t V = std::clamp<int64_t>((Sum[K] + Total / 2) / Total, 0, 255);
        Result |= static_cast<TColor32>(V) << (8 * K);
    }
    return Result;
}

void TKernelResampler::Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                                TCustomSurface32* Src, const TRect& SrcRect) {
    StretchKernel(Dst, DstRect, DstClip, Src, SrcRect, *FKernel);
}

// --- TDraftResampler ------------------------------------------------------------------------------

std::unique_ptr<TCustomResampler> TDraftResampler::NewInstance() const {
    return std::make_unique<TDraftResampler>();
}

void TDraftResampler::Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                               TCustomSurface32* Src, const TRect& SrcRect) {
    if (SrcRect.Width() > DstRect.Width() && SrcRect.Height() > DstRect.Height())
        StretchKernel(Dst, DstRect, DstClip, Src, SrcRect, TBoxKernel());
    else
        TLinearResampler::Resample(Dst, DstRect, DstClip, Src, SrcRect);
}

// --- stretch paths ------------------------------------------------------------------------------------

void CombineResampled(const TCustomSurface32& Src, TColor32 C, TColor32& D) {
    switch (Src.DrawMode()) {
        case dmOpaque:
            D = C;
            break;
        case dmBlend: {
            const uint32_t M = Src.MasterAlpha();
            if (Src.CombineMode() == cmMerge)
                D = M == 255 ? MergeOver(C, D) : MergeOverMaster(C, D, M);
            else
                BlendIntoMaster(C, D, M);
            break;
        }
        case dmTransparent:
            if (C != Src.OuterColor()) D = C;
            break;
        case dmCustom:
            if (Src.OnPixelCombine)
                Src.OnPixelCombine(C, D, Src.MasterAlpha());
            else
                D = C;
            break;
    }
}

namespace {

void CheckTransfer(TCustomSurface32* Dst, TCustomSurface32* Src, const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() || SrcRect.Bottom > Src->Height())
        throw EQvError("Invalid SrcRect");
}

// The part of DstRect to draw: inside DstClip and the destination; false when empty or
// nothing would be drawn.
bool DrawPart(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
              const TRect& SrcRect, TRect& Part) {
    if (IsRectEmpty(SrcRect) || IsRectEmpty(DstRect) || Dst->Empty() || Dst->MeasuringMode()) return false;
    if (Src->DrawMode() == dmBlend && Src->MasterAlpha() == 0) return false;
    return IntersectRect(Part, DstRect, DstClip) && IntersectRect(Part, Part, Dst->BoundsRect());
}

struct TBilinearStep {
    int Pos;
    uint32_t Weight;
};

// Per destination position of [ClipLo, ClipHi): t = SrcStart - 0.5 + scale * (i + 0.5),
// limited to 0 .. SrcLimit - 1; the source position is floor(t) and the weight of that
// pixel 256 - round(frac(t) * 256). Trailing positions whose neighbour would be the
// source range's end step back one pixel with weight 0.
std::vector<TBilinearStep> BilinearMap(int SrcStart, int SrcEnd, int SrcLimit, int DstStart, int DstEnd,
                                       int ClipLo, int ClipHi) {
    const float Scale = static_cast<float>(SrcEnd - SrcStart) / static_cast<float>(DstEnd - DstStart);
    const float Last = static_cast<float>(SrcLimit - 1);
    std::vector<TBilinearStep> Map(static_cast<size_t>(ClipHi - ClipLo));
    for (int X = ClipLo; X < ClipHi; ++X) {
        float T = (static_cast<float>(SrcStart) - 0.5f) + Scale * (static_cast<float>(X - DstStart) + 0.5f);
        if (T < 0.0f) T = 0.0f;
        if (T > Last) T = Last;
        const float Floor = std::floor(T);
        Map[X - ClipLo] = {static_cast<int>(Floor),
                           static_cast<uint32_t>(256 - RoundHalfEven((T - Floor) * 256.0f))};
    }
    for (size_t K = Map.size(); K-- > 0 && Map[K].Pos + 1 == SrcEnd;) Map[K] = {Map[K].Pos - 1, 0};
    // Every read stays inside the source, whatever the rectangles.
    for (TBilinearStep& S : Map) S.Pos = std::clamp(S.Pos, 0, SrcLimit - 2);
    return Map;
}

}  // namespace

void StretchBilinear(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                     const TRect& SrcRect) {
    CheckTransfer(Dst, Src, SrcRect);
    TRect Part;
    if (SrcRect.Width() < 2 || SrcRect.Height() < 2) return;
    if (!DrawPart(Dst, DstRect, DstClip, Src, SrcRect, Part)) return;
    const std::vector<TBilinearStep> Cols = BilinearMap(SrcRect.Left, SrcRect.Right, Src->Width(),
                                                        DstRect.Left, DstRect.Right, Part.Left, Part.Right);
    const std::vector<TBilinearStep> Rows = BilinearMap(SrcRect.Top, SrcRect.Bottom, Src->Height(),
                                                        DstRect.Top, DstRect.Bottom, Part.Top, Part.Bottom);
    const int N = Part.Width();
    const int Stride = Src->Width();
    std::vector<TColor32> Line(static_cast<size_t>(N));
    for (int Y = Part.Top; Y < Part.Bottom; ++Y) {
        const TBilinearStep& Ry = Rows[Y - Part.Top];
        const TColor32* Row = Src->ScanLine(Ry.Pos);
        for (int I = 0; I < N; ++I) {
            const TColor32* P = Row + Cols[I].Pos;
            Line[I] = Bilerp(P[0], P[1], P[Stride], P[Stride + 1], Cols[I].Weight, Ry.Weight);
        }
        TColor32* D = Dst->PixelPtr(Part.Left, Y);
        if (Src->DrawMode() == dmOpaque) {
            std::copy(Line.begin(), Line.end(), D);
            continue;
        }
        for (int I = 0; I < N; ++I) CombineResampled(*Src, Line[I], D[I]);
    }
}

TKernelMapping BuildKernelMapping(int S0, int S1, int D0, int D1, int ClipLo, int ClipHi,
                                  const TCustomKernel& Kernel) {
    TKernelMapping Map(static_cast<size_t>(std::max(ClipHi - ClipLo, 0)));
    if (S1 - S0 == 1) {
        for (auto& Entries : Map) Entries = {{S0, 256}};
        return Map;
    }
    const float M = static_cast<float>(D1 - D0) / static_cast<float>(S1 - S0);
    const float Width = Kernel.GetWidth();
    // Enlarging reads the kernel as it is; shrinking widens it by 1 / m.
    const float Reach = M >= 1.0f ? Width : Width / M;
    for (int I = ClipLo; I < ClipHi; ++I) {
        std::vector<TKernelEntry>& Entries = Map[static_cast<size_t>(I - ClipLo)];
        const float B = (static_cast<float>(S0) - 0.5f) + (static_cast<float>(I - D0) + 0.5f) / M;
        const int Lo = static_cast<int>(std::floor(B - Reach)), Hi = static_cast<int>(std::ceil(B + Reach));
        int Sum = 0;
        for (int J = Lo; J <= Hi; ++J) {
            const float D = B - static_cast<float>(J);
            const int W = M >= 1.0f ? RoundHalfEven(Kernel.Filter(D) * 256.0f)
                                    : RoundHalfEven(M * Kernel.Filter(D * M) * 256.0f);
            if (W == 0) continue;
            Entries.push_back({std::clamp(J, S0, S1 - 1), W});
            Sum += W;
        }
        if (Entries.empty()) {
            Entries.push_back({std::clamp(static_cast<int>(std::floor(B)), S0, S1 - 1), 256});
            continue;
        }
        Entries[(Entries.size() - 1) / 2].Weight -= Sum - 256;
    }
    return Map;
}

void StretchKernel(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                   const TRect& SrcRect, const TCustomKernel& Kernel) {
    CheckTransfer(Dst, Src, SrcRect);
    TRect Part;
    if (!DrawPart(Dst, DstRect, DstClip, Src, SrcRect, Part)) return;
    const TKernelMapping Cols = BuildKernelMapping(SrcRect.Left, SrcRect.Right, DstRect.Left, DstRect.Right,
                                                   Part.Left, Part.Right, Kernel);
    const TKernelMapping Rows = BuildKernelMapping(SrcRect.Top, SrcRect.Bottom, DstRect.Top, DstRect.Bottom,
                                                   Part.Top, Part.Bottom, Kernel);
    // The source columns the horizontal table reads.
    int ColLo = INT32_MAX, ColHi = INT32_MIN;
    for (const auto& Entries : Cols)
        for (const TKernelEntry& E : Entries) {
            ColLo = std::min(ColLo, E.Index);
            ColHi = std::max(ColHi, E.Index);
        }
    if (ColLo > ColHi) return;
    const size_t Span = static_cast<size_t>(ColHi - ColLo + 1);
    std::vector<int32_t> Sums(Span * 4);
    const int N = Part.Width();
    std::vector<TColor32> Line(static_cast<size_t>(N));
    for (int Y = Part.Top; Y < Part.Bottom; ++Y) {
        // First pass: each used column summed over the rows, per channel.
        std::fill(Sums.begin(), Sums.end(), 0);
        for (const TKernelEntry& Ry : Rows[static_cast<size_t>(Y - Part.Top)]) {
            const TColor32* Row = Src->ScanLine(Ry.Index);
            for (size_t C = 0; C < Span; ++C) {
                const TColor32 P = Row[ColLo + static_cast<int>(C)];
                int32_t* S = &Sums[C * 4];
                S[0] += static_cast<int32_t>(P & 0xFF) * Ry.Weight;
                S[1] += static_cast<int32_t>((P >> 8) & 0xFF) * Ry.Weight;
                S[2] += static_cast<int32_t>((P >> 16) & 0xFF) * Ry.Weight;
                S[3] += static_cast<int32_t>(P >> 24) * Ry.Weight;
            }
        }
        // Second pass: each destination pixel from the column sums.
        for (int I = 0; I < N; ++I) {
            int32_t Acc[4] = {0, 0, 0, 0};
            for (const TKernelEntry& Cx : Cols[static_cast<size_t>(I)]) {
                const int32_t* S = &Sums[static_cast<size_t>(Cx.Index - ColLo) * 4];
                for (int K = 0; K < 4; ++K) Acc[K] += S[K] * Cx.Weight;
            }
            TColor32 C = 0;
            for (int K = 0; K < 4; ++K) C |= static_cast<TColor32>((Acc[K] >> 16) & 0xFF) << (8 * K);
            Line[static_cast<size_t>(I)] = C;
        }
        TColor32* D = Dst->PixelPtr(Part.Left, Y);
        for (int I = 0; I < N; ++I) CombineResampled(*Src, Line[static_cast<size_t>(I)], D[I]);
    }
}

// --- registry -----------------------------------------------------------------------------------

std::unique_ptr<TCustomResampler> CreateExtraResampler(const String& ClassName) {
    if (ClassName == u"TLinearResampler") return std::make_unique<TLinearResampler>();
    if (ClassName == u"TKernelResampler") return std::make_unique<TKernelResampler>();
    if (ClassName == u"TDraftResampler") return std::make_unique<TDraftResampler>();
    return nullptr;
}
