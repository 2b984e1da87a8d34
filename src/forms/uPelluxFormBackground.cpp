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

TColor32 Opaque(TColor C) {
    return ToColor32(C) | 0xFF000000u;
}

bool Shifted(const TQvBackgroundLook& L) {
    return L.HueShift != 0 || L.SaturationShift != 0 || L.BrightnessShift != 0;
}

bool Outgrown(const TSurface32& Cache, const TQvBackgroundLook& L) {
    return Cache.Width() < L.FormWidth || Cache.Height() < L.FormHeight;
}

}  // namespace

void TQvFormBackground::Build(const TQvBackgroundLook& Look) {
    if (Look.Style == ssPicture)
        BuildPicture(Look);
    else
        BuildColor(Look);
}

void TQvFormBackground::BuildColor(const TQvBackgroundLook& Look) {
    if (Shifted(Look)) {
        FNCBkColor = AdjustColorHSB(Look.TitlerColor, Look.HueShift, Look.SaturationShift, Look.BrightnessShift);
        FClientBkColor = AdjustColorHSB(Look.Color, Look.HueShift, Look.SaturationShift, Look.BrightnessShift);
    } else {
        FNCBkColor = Look.TitlerColor;
        FClientBkColor = Look.Color;
    }
    if (Look.ActiveGradient) {
        // One column of the gradient, stretched across: the strip is the same in every
        // column, from the title colour at the window top to the client colour.
        const int G = std::max(Look.GradientHeight, 0);
        FColorBgBitmap.SetSize(std::max(Look.MonitorWidth, Look.FormWidth) + Spare, G);
        if (G > 0) {
            TSurface32 Column;
            Column.SetSize(1, G);
            GradientFillCanvas(Column.Canvas(), FNCBkColor, FClientBkColor, false, Rect(0, 0, 1, G));
            Column.ResetAlpha(255);
            FColorBgBitmap.Draw(FColorBgBitmap.BoundsRect(), Column.BoundsRect(), &Column);
        }
    }
    LayOutColor(Look);
}

void TQvFormBackground::LayOutColor(const TQvBackgroundLook& Look) {
    FColorBkGraphic.SetSize(Look.FormWidth + Spare, Look.FormHeight + Spare);
    FColorBkGraphic.Clear(Opaque(FClientBkColor));
    // The client area starts Title rows below the window top, where the strip starts.
    if (Look.ActiveGradient && FColorBgBitmap.Height() > 0) FColorBkGraphic.Draw(0, -Look.Title, &FColorBgBitmap);
}

void TQvFormBackground::BuildPicture(const TQvBackgroundLook& Look) {
    if (Look.CustomPicture.empty()) return;
    if (TPelluxImage* Image = SkinResManager().GetImageByName(Look.CustomPicture, true)) {
        FPictureSource.Assign(Image);
        FHasPicture = true;
    }
    if (!FHasPicture) return;
    // Recoloured from the picture as found each time, so shifts never compound.
    FPictureBgBitmap.Assign(&FPictureSource);
    if (Shifted(Look)) AdjustHSB(&FPictureBgBitmap, Look.HueShift, Look.SaturationShift, Look.BrightnessShift);
    FPictureBgColor = Look.FillStyle == mfsBlur ? FadePictureEdges(FPictureBgBitmap) : clWhite;
    const int X = Look.TiledBorder ? Look.Frame - Look.BorderLeft : 0;
    const int Y = Look.TiledBorder ? Look.Title - Look.BorderTop : 0;
    LayOutPicture(Look, X, Y);
}

void TQvFormBackground::LayOutPicture(const TQvBackgroundLook& Look, int X, int Y) {
    TSurface32& Cache = FPictureBkGraphic;
    if (Look.FillStyle == mfs9Block)
        Cache.SetSize(Look.FormWidth, Look.FormHeight);
    else
        Cache.SetSize(Look.FormWidth + Spare, Look.FormHeight + Spare);
    Cache.Clear(Opaque(FPictureBgColor));
    if (FPictureBgBitmap.Empty()) return;
    switch (Look.FillStyle) {
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

TSurface32* TQvFormBackground::Picture(TPelluxStyle Style) {
    TSurface32* S = Style == ssColor ? &FColorBkGraphic : Style == ssPicture ? &FPictureBkGraphic : nullptr;
    return S != nullptr && !S->Empty() ? S : nullptr;
}

void TQvFormBackground::PaintClient(HDC Dc, const TQvBackgroundLook& Look) {
    if (Dc == nullptr) return;
    if (Look.Style == ssColor) {
        if (Look.ActiveGradient && FColorBgBitmap.Width() < Look.MonitorWidth) BuildColor(Look);
        if (Outgrown(FColorBkGraphic, Look)) LayOutColor(Look);
        FColorBkGraphic.DrawTo(Dc, 0, 0);
        return;
    }
    if (Look.Style != ssPicture || !FHasPicture) return;
    if (Outgrown(FPictureBkGraphic, Look) || Look.FillStyle == mfsStretch || Look.FillStyle == mfs9Block)
        LayOutPicture(Look, 0, 0);
    // Aligned with the window's top-left corner, not the client area's.
    FPictureBkGraphic.DrawTo(Dc, -Look.Frame, -Look.Title);
}

void TQvFormBackground::PaintErase(HDC Dc, const TQvBackgroundLook& Look) {
    if (Dc == nullptr) return;
    if (Look.Style == ssColor && Picture(ssColor) != nullptr) FColorBkGraphic.DrawTo(Dc, 0, 0);
    if (Look.Style == ssPicture && Picture(ssPicture) != nullptr)
        FPictureBkGraphic.DrawTo(Dc, -Look.Frame, -Look.Title);
}

void TQvFormBackground::FillStrip(TSurface32* Strip, int X, int Y, const TQvBackgroundLook& Look) {
    TSurface32* Cache = Picture(Look.Style);
    if (Cache == nullptr) {
        Strip->Clear(Opaque(FClientBkColor));
        return;
    }
    // The colour cache starts at the client area and is the same in every column; the
    // picture cache starts at the window's corner.
    const TPoint At = Look.Style == ssColor ? TPoint{std::max(0, X - Look.Frame), Y - Look.Title} : TPoint{X, Y};
    Strip->Clear(Opaque(Look.Style == ssColor ? FClientBkColor : FPictureBgColor));
    Strip->Draw(0, 0, Rect(At.X, At.Y, At.X + Strip->Width(), At.Y + Strip->Height()), Cache);
}
TColor TQvFormBackground::FadePictureEdges(TSurface32& Picture) {
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
