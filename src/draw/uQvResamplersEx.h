#pragma once
// The linear, kernel and draft resamplers, and the two stretch paths they draw with:
// the bilinear stretch for enlarging and the two-pass kernel resample for the rest.

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "draw/uQvResamplers.h"

// A filter kernel: a weight for a distance in source pixels.
class TCustomKernel : public TNotifiablePersistent {
public:
    virtual float Filter(float Value) const = 0;
    // The distance beyond which Filter is 0.
    virtual float GetWidth() const = 0;
    virtual std::unique_ptr<TCustomKernel> Clone() const = 0;
};

// 1 for -0.5 <= x < 0.5, else 0: a plain average of the pixels a position covers.
class TBoxKernel : public TCustomKernel {
public:
    float Filter(float Value) const override;
    float GetWidth() const override { return 0.5f; }
    std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TBoxKernel>(); }
};

// 1 - |x| for -1 <= x < 1, else 0.
class TLinearKernel : public TCustomKernel {
public:
    float Filter(float Value) const override;
    float GetWidth() const override { return 1.0f; }
    std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TLinearKernel>(); }
};

// Bilinear sampling and stretching. Sampling weighs the four pixels around a position by
// the coverage gamma table; with pamTransparentEdge, positions beyond the centres of the
// border pixels mix with alpha-0 copies of them, so a scaled picture fades out at its
// edge, and positions more than a pixel outside read transparent black.
class TLinearResampler : public TCustomResampler {
public:
    TLinearResampler();

    TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
    int GetWidth() const override { return 1; }
    // Enlarging in both directions from a source of at least 2 x 2 pixels: the bilinear
    // stretch; otherwise the kernel resample with the linear kernel.
    void Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                  const TRect& SrcRect) override;
    std::unique_ptr<TCustomResampler> NewInstance() const override;

    const TCustomKernel& Kernel() const { return *FKernel; }

    // Samples Count positions from (X, Y) in steps of (Dx, Dy), all 16.16 fixed point,
    // into Out; the same colours as GetSampleFixed, position by position. Sampling must
    // have been prepared.
    void SampleRun(TFixed X, TFixed Y, TFixed Dx, TFixed Dy, int Count, TColor32* Out);

private:
    friend class TLinearGridSampler;
    TColor32 SampleEdgeBand(TFixed X, TFixed Y, int I, int J, uint32_t Wx, uint32_t Wy) const;
    TColor32 SampleByReader(int I, int J, uint32_t Wx, uint32_t Wy) const;

    std::unique_ptr<TCustomKernel> FKernel;
};

// Linear samples of an axis-aligned grid of positions: the columns at X0 + i * Dx
// (i < Count) are the same for every row, so each source row is mixed horizontally once
// and kept while the rows that need it are sampled. The colours are GetSampleFixed's,
// position by position. The resampler's sampling must have been prepared.
class TLinearGridSampler {
public:
    TLinearGridSampler(TLinearResampler& Resampler, TFixed X0, TFixed Dx, int Count);
    void SampleRow(TFixed Y, TColor32* Out);

private:
    // The horizontal mix of source row J over the interior columns, 4 channels of 16 bits
    // per column.
    const uint16_t* MixedRow(int J);

    TLinearResampler& FResampler;
    int FCount;
    std::vector<TFixed> FX;
    std::vector<int> FI;
    // Per column (Wx x 4, 256 - Wx x 4), the lanes of the horizontal mix.
    std::vector<uint16_t> FWeights;
    // Columns [FLo, FHi) read two pixels inside the clip.
    int FLo = 0, FHi = 0;
    bool FEdges = false;
    TRect FClip;
    std::vector<uint16_t> FRows[2];
    int FRowOf[2] = {INT32_MIN, INT32_MIN};
    int FNext = 0;
};

// The two loops of the grid sampler, in a plain form and the vector forms this processor
// runs (the fastest last; the widest within the SIMD limit is used); every form gives the
// plain form's integers.
struct TLinearRowKernels {
    const char* Name;
    // Row[N * 4 + c] := (P_c * W + Q_c * (256 - W)) >> 8 for N in [Lo, Hi), P = Line[I[N]],
    // Q = Line[I[N] + 1], Weights[N * 8 ..] = W four times then 256 - W four times.
    void (*MixRow)(const TColor32* Line, const int* I, const uint16_t* Weights, int Lo, int Hi,
                   uint16_t* Row);
    // Out[N] := per channel (Top * Wy + Bottom * (256 - Wy)) >> 8 for N in [Lo, Hi).
    void (*BlendRows)(const uint16_t* Top, const uint16_t* Bottom, uint32_t Wy, int Lo, int Hi,
                      TColor32* Out);
};
const TLinearRowKernels& LinearRowKernels();
int LinearRowKernelCount();
const TLinearRowKernels& LinearRowKernelAt(int Index);

// Samples and stretches through a kernel (a box kernel at creation): a sample is the
// kernel-weighted sum of the pixels within the kernel's reach of the position.
class TKernelResampler : public TCustomResampler {
public:
    TKernelResampler();

    const TCustomKernel& Kernel() const { return *FKernel; }
    // Takes a copy of Value.
    void SetKernel(const TCustomKernel& Value);

    TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
    int GetWidth() const override;
    void Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                  const TRect& SrcRect) override;
    std::unique_ptr<TCustomResampler> NewInstance() const override;

private:
    std::unique_ptr<TCustomKernel> FKernel;
};

// A quick form of the linear resampler: shrinking averages the covered pixels (box
// kernel); enlarging and sampling are the linear resampler's.
class TDraftResampler : public TLinearResampler {
public:
    void Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                  const TRect& SrcRect) override;
    std::unique_ptr<TCustomResampler> NewInstance() const override;
};

// One source index and its weight (parts of 256) in a mapping table.
struct TKernelEntry {
    int Index;
    int Weight;
};
using TKernelMapping = std::vector<std::vector<TKernelEntry>>;

// The mapping of the destination positions [ClipLo, ClipHi) of the range [D0, D1) onto
// the source range [S0, S1) through Kernel: per position the source indexes (clamped
// into the range) and weights summing to 256.
TKernelMapping BuildKernelMapping(int S0, int S1, int D0, int D1, int ClipLo, int ClipHi,
                                  const TCustomKernel& Kernel);

// The bilinear stretch of SrcRect of Src onto DstRect of Dst, within DstClip.
void StretchBilinear(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                     const TRect& SrcRect);
// The two-pass kernel resample of SrcRect of Src onto DstRect of Dst, within DstClip.
void StretchKernel(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                   const TRect& SrcRect, const TCustomKernel& Kernel);

// Combines one resampled colour into a destination pixel by Src's draw mode: dmOpaque
// assigns, dmBlend blends one pixel with master alpha (or merges for cmMerge),
// dmTransparent skips Src's OuterColor, dmCustom calls OnPixelCombine or assigns.
void CombineResampled(const TCustomSurface32& Src, TColor32 C, TColor32& D);

// The resampler classes of this unit by stored name ("TLinearResampler",
// "TKernelResampler", "TDraftResampler"); nullptr for other names.
std::unique_ptr<TCustomResampler> CreateExtraResampler(const String& ClassName);
