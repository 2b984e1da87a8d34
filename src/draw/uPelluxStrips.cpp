#include "draw/uPelluxStrips.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "draw/uPelluxGraphics.h"
#include "draw/uQvResamplers.h"
#include "draw/uQvSurfaceTransfer.h"
#include "draw/uQvTransforms.h"

namespace {

constexpr int CutPasses = 8;

// The fast form applies when each pass samples exactly the source pixel at the
// translated position, read without edge handling, and combines it without a callback.
bool CutsDirectly(const TCustomSurface32* Src, const TCustomSurface32* Dst) {
    const TCustomResampler* R = Src->Resampler();
    return Src != Dst && !Dst->MeasuringMode() && typeid(*R) == typeid(TNearestResampler) &&
           (R->PixelAccessMode() == pamSafe || R->PixelAccessMode() == pamUnsafe) &&
           Src->DrawMode() != dmCustom;
}

// The eight passes of the pixel blend with master alpha M (each pass P := WeightedMix(C,
// P, W), W = ((M + 1) * a) >> 8 fixed by C's alpha a) on 16-bit lanes of one word: every
// lane's F * W + B * (256 - W) + 128 stays below 65536, so the lanes never carry.
TColor32 BlendedPasses(TColor32 C, TColor32 P, uint32_t M) {
    const uint64_t W = PixelMasterWeight(C >> 24, M);
    if ((C >> 24) == 0 || W == 0) return P;
    auto Spread = [](TColor32 V) {
        const uint64_t X = V;
        return (X & 0x00FF00FFu) | (X & 0xFF00FF00u) << 24;
    };
    constexpr uint64_t Lanes = 0x00FF00FF00FF00FFu, Half = 0x0080008000800080u;
    const uint64_t F = Spread(C) * W;
    uint64_t B = Spread(P);
    for (int Pass = 0; Pass < CutPasses; ++Pass) B = ((F + B * (256 - W) + Half) >> 8) & Lanes;
    return static_cast<TColor32>((B & 0x00FF00FFu) | ((B >> 24) & 0xFF00FF00u));
}

// Each destination pixel of Area from its source pixel: Passes(C, P) gives what the eight
// passes make of the pixel P under the sample C.
template <typename TPasses>
void CutPixels(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst, const TRect& Area,
               TPasses Passes) {
    TColor32 LastIn = 0, LastOut = 0, LastSample = 0;
    bool HaveLast = false;
    for (int Y = Area.Top; Y < Area.Bottom; ++Y) {
        const TColor32* S = Src->PixelPtr(Area.Left + SrcRect.Left, Y + SrcRect.Top);
        TColor32* D = Dst->PixelPtr(Area.Left, Y);
        for (int X = 0, N = Area.Width(); X < N; ++X) {
            // Skin images are mostly runs of equal pixels over a uniform fill.
            if (HaveLast && S[X] == LastSample && D[X] == LastIn) {
                D[X] = LastOut;
                continue;
            }
            LastSample = S[X];
            LastIn = D[X];
            D[X] = Passes(S[X], D[X]);
            LastOut = D[X];
            HaveLast = true;
        }
    }
}

void CutDirectly(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst) {
    // The area the transform fills: the destination clip and the part of SrcRect inside
    // the source's clip, moved to the origin.
    TRect DstClip, Part, Area;
    if (!IntersectRect(DstClip, Dst->ClipRect(), Dst->BoundsRect()) || Src->Empty()) return;
    if (!IntersectRect(Part, SrcRect, Src->ClipRect())) return;
    OffsetRect(Part, -SrcRect.Left, -SrcRect.Top);
    if (!IntersectRect(Area, DstClip, Part)) return;
    // The blend of skin images with the four channels side by side; every other mode
    // through the transform's combine.
    if (Src->DrawMode() == dmBlend && Src->CombineMode() == cmBlend) {
        const uint32_t M = Src->MasterAlpha();
        CutPixels(Src, SrcRect, Dst, Area, [M](TColor32 C, TColor32 P) { return BlendedPasses(C, P, M); });
    } else {
        CutPixels(Src, SrcRect, Dst, Area, [Src](TColor32 C, TColor32 P) {
            for (int Pass = 0; Pass < CutPasses; ++Pass) CombineTransformed(*Src, C, P);
            return P;
        });
    }
    Dst->Changed(Area, AREAINFO_RECT);
    Dst->Changed(DstClip, AREAINFO_RECT);
}

// A new image with Image's draw properties, W x H, all 0.
std::unique_ptr<TPelluxImage> NewLike(const TSurface32* Image, int W, int H) {
    auto Result = std::make_unique<TPelluxImage>();
    Image->CopyPropertiesTo(Result.get());
    Result->SetSize(W, H);
    return Result;
}

void CutParts(TSurface32* Image, const TRect* Rects, int Count, TPelluxImageArray& Parts) {
    Parts.clear();
    for (int I = 0; I < Count; ++I) {
        auto Part = NewLike(Image, Rects[I].Width(), Rects[I].Height());
        if (!Part->Empty()) CutFrame(Image, Rects[I], Part.get());
        Parts.push_back(std::move(Part));
    }
}

void SplitEvenly(TSurface32* Image, int Count, bool Vertical, TPelluxImageArray& Frames) {
    Frames.clear();
    if (Image == nullptr || Count < 1) return;
    std::vector<TRect> Rects;
    const int W = Vertical ? Image->Width() : Image->Width() / Count;
    const int H = Vertical ? Image->Height() / Count : Image->Height();
    for (int K = 0; K < Count; ++K)
        Rects.push_back(Vertical ? Rect(0, K * H, W, K * H + H) : Rect(K * W, 0, K * W + W, H));
    CutParts(Image, Rects.data(), Count, Frames);
}

}  // namespace

void CutFrameByTransform(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst) {
    if (Src == nullptr || Dst == nullptr) return;
    TAffineTransformation T;
    T.SetSrcRect(FloatRect(SrcRect));
    T.Translate(static_cast<float>(-SrcRect.Left), static_cast<float>(-SrcRect.Top));
    for (int Pass = 0; Pass < CutPasses; ++Pass) Transform(Dst, Src, &T);
}

void CutFrame(TCustomSurface32* Src, const TRect& SrcRect, TCustomSurface32* Dst) {
    if (Src == nullptr || Dst == nullptr) return;
    if (CutsDirectly(Src, Dst))
        CutDirectly(Src, SrcRect, Dst);
    else
        CutFrameByTransform(Src, SrcRect, Dst);
}

void SplitStrip(TSurface32* Image, int Count, TPelluxImageArray& Frames) {
    SplitEvenly(Image, Count, false, Frames);
}

void SplitStripVertical(TSurface32* Image, int Count, TPelluxImageArray& Frames) {
    SplitEvenly(Image, Count, true, Frames);
}

void SplitThreeParts(TSurface32* Image, int Margin, TPelluxImageArray& Parts) {
    if (Image == nullptr || Margin <= 0 || Margin >= Image->Width() / 3) {
        SplitStrip(Image, 3, Parts);
        return;
    }
    const int W = Image->Width(), H = Image->Height();
    const TRect Rects[3] = {Rect(0, 0, Margin, H), Rect(Margin, 0, W - Margin, H), Rect(W - Margin, 0, W, H)};
    CutParts(Image, Rects, 3, Parts);
}

std::unique_ptr<TPelluxImage> StretchThreePartsH(TSurface32* Image, int NewWidth, int Margin) {
    if (Image == nullptr) return nullptr;
    auto Result = NewLike(Image, std::max(NewWidth, 0), Image->Height());
    if (Result->Empty()) return Result;
    TPelluxImageArray Parts;
    if (Margin != 0)
        SplitThreeParts(Image, Margin, Parts);
    else
        SplitStrip(Image, 3, Parts);
    TPelluxImage *Left = Parts[0].get(), *Middle = Parts[1].get(), *Right = Parts[2].get();
    const int H = Result->Height();
    if (Left->Width() < NewWidth) {
        CopyStretched(Left, Result.get(), Left->BoundsRect(), Left->BoundsRect());
        if (Margin == 0 || Margin + 3 < NewWidth) {
            CopyStretched(Middle, Result.get(), Middle->BoundsRect(),
                          Rect(Left->Width(), 0, NewWidth - Right->Width(), H));
            CopyStretched(Right, Result.get(), Right->BoundsRect(),
                          Rect(NewWidth - Right->Width(), 0, NewWidth, H));
        }
    } else {
        Result->Draw(0, 0, Left);
    }
    return Result;
}

std::unique_ptr<TPelluxImage> StretchThreePartsV(TSurface32* Image, int NewHeight) {
    if (Image == nullptr) return nullptr;
    auto Result = NewLike(Image, Image->Width(), std::max(NewHeight, 0));
    if (Result->Empty()) return Result;
    TPelluxImageArray Parts;
    SplitStripVertical(Image, 3, Parts);
    TPelluxImage *Top = Parts[0].get(), *Middle = Parts[1].get(), *Bottom = Parts[2].get();
    const int W = Result->Width();
    if (Middle->Height() < NewHeight) {
        CopyStretched(Middle, Result.get(), Middle->BoundsRect(),
                      Rect(0, Top->Height(), W, NewHeight - Bottom->Height()));
        CopyStretched(Top, Result.get(), Top->BoundsRect(), Top->BoundsRect());
        CopyStretched(Bottom, Result.get(), Bottom->BoundsRect(),
                      Rect(0, NewHeight - Bottom->Height(), W, NewHeight));
    } else {
        TPelluxImage* Whole = NewHeight > 3 ? Middle : Top;
        Result->Draw(Result->BoundsRect(), Whole->BoundsRect(), Whole);
    }
    return Result;
}

std::unique_ptr<TPelluxImage> CropMiddleBand(TSurface32* Image, int Height, int Width) {
    if (Image == nullptr) return nullptr;
    const int Y = (Image->Height() - Height) / 2;
    auto Result = std::make_unique<TPelluxImage>();
    if (Height <= 0 || Width <= 0 || Y < 0 || Y + Height > Image->Height() || Width > Image->Width()) {
        Result->Assign(Image);
        return Result;
    }
    Image->CopyPropertiesTo(Result.get());
    Result->SetSize(Width, Height);
    for (int Row = 0; Row < Height; ++Row)
        std::memcpy(Result->ScanLine(Row), Image->PixelPtr(0, Y + Row),
                    sizeof(TColor32) * static_cast<size_t>(Width));
    Result->Changed();
    return Result;
}
