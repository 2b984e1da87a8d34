#include "forms/uPelluxFormBackground.h"

#include <algorithm>
#include <cmath>

#include "draw/uPelluxCanvas.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uQvColor32.h"
#include "platform/uQvPixel.h"
#include "skin/uQvSkinColors.h"

namespace {

constexpr int Spare = 10;  // cache growth beyond the form, both ways

bool Shifted(const TQvFormBackgroundSpec& S) {
    return S.HueShift != 0 || S.SaturationShift != 0 || S.BrightnessShift != 0;
}

bool Outgrown(const TSurface32& Cache, const TQvFormBackgroundSpec& S) {
    return Cache.Width() < S.FormWidth || Cache.Height() < S.FormHeight;
}

}  // namespace

void TPelluxFormBackground::BuildColor(const TQvFormBackgroundSpec& Spec) {
    if (Shifted(Spec)) {
        FNCBkColor = AdjustColorHSB(Spec.TitlerColor, Spec.HueShift, Spec.SaturationShift, Spec.BrightnessShift);
        FClientBkColor = AdjustColorHSB(Spec.Color, Spec.HueShift, Spec.SaturationShift, Spec.BrightnessShift);
    } else {
        FNCBkColor = Spec.TitlerColor;
        FClientBkColor = Spec.Color;
    }
    if (Spec.ActiveGradient) {
        // One column of the gradient, stretched across: the strip is the same in every
        // column, from the title colour at the window top to the client colour.
        const int G = std::max(Spec.GradientHeight, 0);
        FColorBgBitmap.SetSize(std::max(Spec.MonitorWidth, Spec.FormWidth) + Spare, G);
        if (G > 0) {
            TSurface32 Column;
            Column.SetSize(1, G);
            GradientFillCanvas(Column.Canvas(), FNCBkColor, FClientBkColor, false, Rect(0, 0, 1, G));
            Column.DrawTo(&FColorBgBitmap, FColorBgBitmap.BoundsRect());
        }
    }
    LayOutColor(Spec);
}

void TPelluxFormBackground::LayOutColor(const TQvFormBackgroundSpec& Spec) {
    FColorBkGraphic.SetSize(Spec.FormWidth + Spare, Spec.FormHeight + Spare);
    FColorBkGraphic.Clear(SetAlpha(ToColor32(FClientBkColor), 255));
    // The client area starts T rows below the window top, where the strip starts.
    if (Spec.ActiveGradient && !FColorBgBitmap.Empty()) FColorBgBitmap.DrawTo(&FColorBkGraphic, 0, -Spec.TitleHeight);
}

void TPelluxFormBackground::BuildPicture(const TQvFormBackgroundSpec& Spec) {
    if (Spec.CustomPicture.empty()) return;
    if (TPelluxImage* Image = SkinResManager().GetImageByName(Spec.CustomPicture, true)) {
        FPictureSource.Assign(Image);
        FHasPicture = true;
    }
    if (!FHasPicture) return;
    // Recoloured from the picture as found each time, so shifts never compound.
    FPictureBgBitmap.Assign(&FPictureSource);
    if (Shifted(Spec)) AdjustHSB(&FPictureBgBitmap, Spec.HueShift, Spec.SaturationShift, Spec.BrightnessShift);
    FPictureBgColor = Spec.FillStyle == mfsBlur ? FadePictureEdges(FPictureBgBitmap) : clWhite;
    const int X = Spec.TiledBorder ? Spec.FrameWidth - Spec.BorderLeft : 0;
    const int Y = Spec.TiledBorder ? Spec.TitleHeight - Spec.BorderTop : 0;
    LayOutPicture(Spec, X, Y);
}

void TPelluxFormBackground::LayOutPicture(const TQvFormBackgroundSpec& Spec, int X, int Y) {
    TSurface32& Cache = FPictureBkGraphic;
    if (Spec.FillStyle == mfs9Block)
        Cache.SetSize(Spec.FormWidth, Spec.FormHeight);
    else
        Cache.SetSize(Spec.FormWidth + Spare, Spec.FormHeight + Spare);
    Cache.Clear(SetAlpha(ToColor32(FPictureBgColor), 255));
    switch (Spec.FillStyle) {
        case mfsBlur:
            FPictureBgBitmap.DrawTo(&Cache, X, Y);
            break;
        case mfsTile:
            TileImage(&FPictureBgBitmap, &Cache, X, Y);
            break;
        case mfsStretch:
            FPictureBgBitmap.DrawTo(&Cache, Cache.BoundsRect());
            break;
        case mfs9Block:
            DrawNineGridThirds(&FPictureBgBitmap, &Cache, false);
            break;
    }
}

void TPelluxFormBackground::Paint(HDC Dc, const TQvFormBackgroundSpec& Spec) {
    if (Dc == nullptr) return;
    if (Spec.Style == ssColor) {
        if (Spec.ActiveGradient && FColorBgBitmap.Width() < Spec.MonitorWidth) BuildColor(Spec);
        if (Outgrown(FColorBkGraphic, Spec)) LayOutColor(Spec);
        FColorBkGraphic.DrawTo(Dc, 0, 0);
        return;
    }
    if (Spec.Style != ssPicture || !FHasPicture) return;
    if (Outgrown(FPictureBkGraphic, Spec) || Spec.FillStyle == mfsStretch || Spec.FillStyle == mfs9Block)
        LayOutPicture(Spec, 0, 0);
    // Aligned with the window's top-left corner, not the client area's.
    FPictureBkGraphic.DrawTo(Dc, -Spec.FrameWidth, -Spec.TitleHeight);
}

void TPelluxFormBackground::Erase(HDC Dc, const TQvFormBackgroundSpec& Spec) {
    if (Dc == nullptr) return;
    if (Spec.Style == ssColor)
        FColorBkGraphic.DrawTo(Dc, 0, 0);
    else if (Spec.Style == ssPicture)
        FPictureBkGraphic.DrawTo(Dc, -Spec.FrameWidth, -Spec.TitleHeight);
}

TColor TPelluxFormBackground::FadePictureEdges(TSurface32& Picture) {
    const int W = Picture.Width(), H = Picture.Height();
    uint64_t Sum[3] = {0, 0, 0};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const TColor32 P = Picture.GetPixel(X, Y);
            Sum[0] += RedComponent(P);
            Sum[1] += GreenComponent(P);
            Sum[2] += BlueComponent(P);
        }
    const uint64_t Count = std::max<uint64_t>(static_cast<uint64_t>(W) * H, 1);
    const TColor32 Average = Color32(static_cast<uint8_t>(Sum[0] / Count), static_cast<uint8_t>(Sum[1] / Count),
                                     static_cast<uint8_t>(Sum[2] / Count));
    // The band is 100 pixels; a smaller picture fades over all of its own width or height
    // and reads nothing outside itself.
    const int Band = std::min({100, W, H});
    if (Band > 0) {
        TSurface32 Out;
        Out.Assign(&Picture);
        Out.FillRect(W - Band, 0, W, H, Average);
        Out.FillRect(0, H - Band, W - Band, H, Average);
        // 255 - round(2.55 d) across the full band, the same slope over a shorter one.
        const auto Fade = [Band](double D) {
            D = std::min(D, Band - 1.0);
            return static_cast<uint32_t>(255 - RoundHalfEven(Band == 100 ? 2.55 * D : 255.0 * D / Band));
        };
        const auto Blend = [&](int X, int Y, uint32_t A) {
            Out.SetPixel(X, Y, ConstantBlend(Picture.GetPixel(X, Y) | 0xFF000000u, Out.GetPixel(X, Y), A));
        };
        for (int I = 0; I < Band; ++I)
            for (int J = 0; J < Band; ++J) Blend(W - Band + I, H - Band + J, Fade(std::hypot(static_cast<double>(I), static_cast<double>(J))));
        for (int I = 0; I < Band; ++I) {
            for (int Y = 0; Y < H - Band; ++Y) Blend(W - Band + I, Y, Fade(I));
            for (int X = 0; X < W - Band; ++X) Blend(X, H - Band + I, Fade(I));
        }
        Out.ResetAlpha(255);
        Picture.Assign(&Out);
    }
    return RGB(RedComponent(Average), GreenComponent(Average), BlueComponent(Average));
}
