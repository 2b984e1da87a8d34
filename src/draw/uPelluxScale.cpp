#include "draw/uPelluxScale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "draw/uPelluxDPI.h"
#include "draw/uQvResamplersEx.h"
#include "draw/uQvTransforms.h"
#include "framework/uQvImgList.h"
#include "platform/uQvGdiBitmaps.h"

namespace {

void UseLinearResampler(TCustomSurface32* Src) {
    auto Linear = std::make_unique<TLinearResampler>();
    Linear->SetPixelAccessMode(pamTransparentEdge);
    Src->SetResampler(std::move(Linear));
}

int RoundedEdge(float V) {
    return std::isfinite(V) ? RoundHalfEven(static_cast<double>(V)) : 0;
}

// Sizes Dst to the scaled bounds of Src and returns the transformation, or false when the
// result is empty.
bool PrepareScale(TCustomSurface32* Src, TCustomSurface32* Dst, double Factor, TAffineTransformation& T) {
    UseLinearResampler(Src);
    T.SetSrcRect(FloatRect(Src->BoundsRect()));
    T.Scale(static_cast<float>(Factor));
    const TFloatRect B = T.GetTransformedBounds();
    Dst->SetSize(std::max(RoundedEdge(B.Right) - RoundedEdge(B.Left), 0),
                 std::max(RoundedEdge(B.Bottom) - RoundedEdge(B.Top), 0));
    return !Dst->Empty();
}

// Dst takes the size and pixels of From.
void TakePixels(TCustomSurface32* Dst, const TCustomSurface32& From) {
    Dst->SetSize(From.Width(), From.Height());
    if (!Dst->Empty())
        std::memcpy(Dst->Bits(), From.Bits(),
                    sizeof(TColor32) * static_cast<size_t>(From.Width()) * From.Height());
    Dst->Changed();
}

}  // namespace

void ScaleImage(TCustomSurface32* Src, TCustomSurface32* Dst, double Factor) {
    if (Src == nullptr || Dst == nullptr) return;
    if (Src == Dst) {
        TSurface32 Scaled;
        ScaleImage(Src, &Scaled, Factor);
        TakePixels(Dst, Scaled);
        return;
    }
    TAffineTransformation T;
    if (!PrepareScale(Src, Dst, Factor, T)) return;
    for (int Pass = 0; Pass < 8; ++Pass) Transform(Dst, Src, &T);
}

void DrawZoomedCentered(TCustomSurface32* Src, TCustomSurface32* Dst, double Delta) {
    if (Src == nullptr || Dst == nullptr || Src->Empty()) return;
    const double S = std::max(static_cast<double>(Dst->Width()) / Src->Width(),
                              static_cast<double>(Dst->Height()) / Src->Height()) +
                     Delta;
    TSurface32 Zoomed;
    Src->CopyPropertiesTo(&Zoomed);
    TAffineTransformation T;
    if (!PrepareScale(Src, &Zoomed, S, T)) return;
    Transform(&Zoomed, Src, &T);
    Dst->Draw((Dst->Width() - Zoomed.Width()) / 2, (Dst->Height() - Zoomed.Height()) / 2, &Zoomed);
}

void RotateImage(TCustomSurface32* Surface, bool GrowToFit, TColor FillColor, bool KeepDrawMode,
                 double Angle) {
    if (Surface == nullptr) return;
    const float W = static_cast<float>(Surface->Width()), H = static_cast<float>(Surface->Height());
    // The centre is the pivot, so the picture turns in place and the same call always
    // gives the same pixels.
    TAffineTransformation T;
    T.SetSrcRect(FloatRect(Surface->BoundsRect()));
    T.Translate(-W / 2, -H / 2);
    T.Rotate(static_cast<float>(-Angle));
    int NewW = Surface->Width(), NewH = Surface->Height();
    if (GrowToFit) {
        const TFloatRect B = T.GetTransformedBounds();
        NewW = std::max(RoundedEdge(B.Right - B.Left), 0);
        NewH = std::max(RoundedEdge(B.Bottom - B.Top), 0);
    }
    T.Translate(static_cast<float>(NewW) / 2, static_cast<float>(NewH) / 2);
    const TColor32 Fill = ToColor32(FillColor);
    TSurface32 Result;
    Result.SetSize(NewW, NewH);
    Result.Clear(Fill);
    if (!KeepDrawMode) Surface->SetDrawMode(dmTransparent);
    Transform(&Result, Surface, &T);
    TakePixels(Surface, Result);
    Surface->SetOuterColor(Fill);
    if (KeepDrawMode) Surface->SetDrawMode(dmTransparent);
}

void RotateImage(TCustomSurface32* Surface, double Angle) {
    RotateImage(Surface, false, static_cast<TColor>(0x1FFFFFFF), false, Angle);
}

bool ScaleImageListIcon(const TControl* Control, const TCustomImageList* ImageList, int Index,
                        TSurface32* Surface) {
    if (ImageList == nullptr || Surface == nullptr) return false;
    const double Factor = GetDPIScale(Control);
    const TGdiBitmap* Entry = ImageList->Bits(Index);
    if (Factor <= 1.0 || Entry == nullptr) return false;
    TSurface32 Icon;
    Icon.SetSize(Entry->Width(), Entry->Height());
    Icon.SetDrawMode(dmBlend);
    for (int Y = 0; Y < Icon.Height(); ++Y)
        std::memcpy(Icon.ScanLine(Y), Entry->Row(Y), sizeof(TColor32) * static_cast<size_t>(Icon.Width()));
    Icon.Changed();
    ScaleImage(&Icon, Surface, Factor);
    Surface->SetDrawMode(dmBlend);
    return true;
}
