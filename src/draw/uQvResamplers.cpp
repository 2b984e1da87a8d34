#include "draw/uQvResamplers.h"

#include "draw/uQvResamplersEx.h"
#include "draw/uQvSurfaceTransfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

// --- TCustomSampler ---------------------------------------------------------------------

TColor32 TCustomSampler::GetSampleInt(int X, int Y) {
    return GetSampleFixed(Fixed(X), Fixed(Y));
}

TColor32 TCustomSampler::GetSampleFloat(float X, float Y) {
    if (!std::isfinite(X) || !std::isfinite(Y)) return 0;
    return GetSampleFixed(RoundHalfEven(static_cast<double>(X) * 65536.0),
                          RoundHalfEven(static_cast<double>(Y) * 65536.0));
}

TFloatRect TCustomSampler::GetSampleBounds() const {
    return {};
}

// --- TCustomResampler ---------------------------------------------------------------------

void TCustomResampler::SetPixelAccessMode(TPixelAccessMode Value) {
    if (FPixelAccessMode == Value) return;
    FPixelAccessMode = Value;
    Changed();
}

void TCustomResampler::PrepareSampling() {
    FClip = FBitmap != nullptr ? FBitmap->ClipRect() : TRect{};
}

TFloatRect TCustomResampler::GetSampleBounds() const {
    TRect R = FBitmap != nullptr ? FBitmap->ClipRect() : TRect{};
    if (FPixelAccessMode == pamTransparentEdge) InflateRect(R, 1, 1);
    return FloatRect(R);
}

TColor32 TCustomResampler::ReadPixel(int X, int Y) const {
    const TCustomSurface32* B = FBitmap;
    if (B == nullptr || B->Empty()) return 0;
    // The clip noted by PrepareSampling, kept inside the surface in case it was resized
    // since.
    TRect Clip;
    IntersectRect(Clip, FClip, B->BoundsRect());
    switch (FPixelAccessMode) {
        case pamSafe:
            if (!PtInRect(Clip, Point(X, Y))) return B->OuterColor();
            return *B->PixelPtr(X, Y);
        case pamTransparentEdge: {
            if (IsRectEmpty(Clip)) return 0;
            const int Cx = std::clamp(X, Clip.Left, Clip.Right - 1);
            const int Cy = std::clamp(Y, Clip.Top, Clip.Bottom - 1);
            const TColor32 C = *B->PixelPtr(Cx, Cy);
            return (Cx != X || Cy != Y) ? SetAlpha(C, 0) : C;
        }
        case pamWrap: {
            const int W = B->Width(), H = B->Height();
            return *B->PixelPtr(((X % W) + W) % W, ((Y % H) + H) % H);
        }
        case pamUnsafe:
            // Unchecked in intent; clamped all the same so that memory is never misread.
            return *B->PixelPtr(std::clamp(X, 0, B->Width() - 1), std::clamp(Y, 0, B->Height() - 1));
    }
    return 0;
}

// --- TNearestResampler ------------------------------------------------------------------

TColor32 TNearestResampler::GetSampleInt(int X, int Y) {
    return ReadPixel(X, Y);
}

TColor32 TNearestResampler::GetSampleFixed(TFixed X, TFixed Y) {
    return ReadPixel(FixedRound(X), FixedRound(Y));
}

std::unique_ptr<TCustomResampler> TNearestResampler::NewInstance() const {
    return std::make_unique<TNearestResampler>();
}

void TNearestResampler::Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                                 TCustomSurface32* Src, const TRect& SrcRect) {
    StretchNearest(Dst, DstRect, DstClip, Src, SrcRect);
}

namespace {

// Source index for each destination position of [ClipLo, ClipHi) along one axis.
std::vector<int> NearestMap(int SrcLo, int SrcHi, int DstLo, int DstHi, int ClipLo, int ClipHi) {
    const int SrcSize = SrcHi - SrcLo, DstSize = DstHi - DstLo;
    std::vector<int> Map(static_cast<size_t>(ClipHi - ClipLo));
    if (DstSize < 2) {
        std::fill(Map.begin(), Map.end(), (SrcLo + SrcHi - 1) / 2);
        return Map;
    }
    // The ratio is single precision, the product with it double.
    const float Ratio = static_cast<float>(SrcSize) / static_cast<float>(DstSize);
    for (int I = ClipLo; I < ClipHi; ++I) {
        const double Pos = static_cast<double>(I - DstLo) * static_cast<double>(Ratio);
        Map[I - ClipLo] = std::min(SrcLo + static_cast<int>(Pos), SrcHi - 1);
    }
    return Map;
}

}  // namespace

void StretchNearest(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                    const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() || SrcRect.Bottom > Src->Height())
        throw EQvError("Invalid SrcRect");
    if (IsRectEmpty(SrcRect) || IsRectEmpty(DstRect)) return;
    TRect Part;
    if (!IntersectRect(Part, DstRect, DstClip) || !IntersectRect(Part, Part, Dst->BoundsRect())) return;
    if (Dst->MeasuringMode()) return;
    const std::vector<int> Cols =
        NearestMap(SrcRect.Left, SrcRect.Right, DstRect.Left, DstRect.Right, Part.Left, Part.Right);
    const std::vector<int> Rows =
        NearestMap(SrcRect.Top, SrcRect.Bottom, DstRect.Top, DstRect.Bottom, Part.Top, Part.Bottom);
    const int N = Part.Width();
    // A plain copy gathers straight into the destination and repeats a row by copying it.
    const bool Copies = Src->DrawMode() == dmOpaque || (Src->DrawMode() == dmCustom && !Src->OnPixelCombine);
    std::vector<TColor32> Gathered(Copies ? 0 : static_cast<size_t>(N));
    int Fetched = -1;
    for (int Y = Part.Top; Y < Part.Bottom; ++Y) {
        const int SrcY = Rows[Y - Part.Top];
        TColor32* Out = Dst->PixelPtr(Part.Left, Y);
        if (Copies) {
            if (SrcY == Fetched) {
                std::memcpy(Out, Out - Dst->Width(), static_cast<size_t>(N) * sizeof(TColor32));
            } else {
                const TColor32* Line = Src->ScanLine(SrcY);
                for (int I = 0; I < N; ++I) Out[I] = Line[Cols[I]];
                Fetched = SrcY;
            }
            continue;
        }
        if (SrcY != Fetched) {
            const TColor32* Line = Src->ScanLine(SrcY);
            for (int I = 0; I < N; ++I) Gathered[I] = Line[Cols[I]];
            Fetched = SrcY;
        }
        CombineRun(*Src, Gathered.data(), Out, N);
    }
}

// --- class registry ---------------------------------------------------------------------

namespace {

struct TResamplerRegistry {
    std::mutex Guard;
    std::map<String, TResamplerFactory> Factories;
};

TResamplerRegistry& Registry() {
    static TResamplerRegistry R;
    return R;
}

}  // namespace

void RegisterResamplerClass(const String& ClassName, TResamplerFactory Factory) {
    TResamplerRegistry& R = Registry();
    std::lock_guard<std::mutex> Lock(R.Guard);
    R.Factories[ClassName] = std::move(Factory);
}

std::unique_ptr<TCustomResampler> CreateResamplerByName(const String& ClassName) {
    if (ClassName == u"TNearestResampler") return std::make_unique<TNearestResampler>();
    if (std::unique_ptr<TCustomResampler> Extra = CreateExtraResampler(ClassName)) return Extra;
    TResamplerRegistry& R = Registry();
    std::lock_guard<std::mutex> Lock(R.Guard);
    const auto It = R.Factories.find(ClassName);
    if (It == R.Factories.end() || !It->second) return nullptr;
    return It->second();
}
