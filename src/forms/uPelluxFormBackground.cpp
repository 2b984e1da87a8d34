#include "forms/uPelluxFormBackground.h"

#include <algorithm>

#include "draw/uPelluxCanvas.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uQvColor32.h"
#include "skin/uPelluxRes.h"
#include "skin/uQvSkinColors.h"

namespace {

TColor32 Opaque(TColor C) {
    return ToColor32(C) | 0xFF000000u;
}

bool Shifted() {
    return HSB_H != 0 || HSB_S != 0 || HSB_B != 0;
}

}  // namespace

void TQvFormBackground::Build(const TQvBackgroundLook& Look) {
    if (Look.Style == ssPicture)
        BuildPicture(Look);
    else
        BuildColor(Look);
}

void TQvFormBackground::BuildColor(const TQvBackgroundLook& Look) {
    FNCBkColor = Shifted() ? AdjustColorHSB(Look.TitlerColor, HSB_H, HSB_S, HSB_B) : Look.TitlerColor;
    FClientBkColor = Shifted() ? AdjustColorHSB(Look.Color, HSB_H, HSB_S, HSB_B) : Look.Color;
    if (Look.ActiveGradient) {
        const int G = std::max(0, Look.GradientHeight);
        FColorBgBitmap.SetSize(std::max(Look.MonitorWidth, Look.FormWidth) + 10, G);
        if (G > 0) {
            // One column of the gradient, stretched: every column is the same.
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
    FColorBkGraphic.SetSize(Look.FormWidth + 10, Look.FormHeight + 10);
    FColorBkGraphic.Clear(Opaque(FClientBkColor));
    // The client area continues the gradient the title bar begins.
    if (Look.ActiveGradient && FColorBgBitmap.Height() > 0)
        FColorBkGraphic.Draw(0, -Look.Title, &FColorBgBitmap);
}

void TQvFormBackground::BuildPicture(const TQvBackgroundLook& Look) {
    if (Look.CustomPicture.empty()) return;
    if (TPelluxImage* Source = SkinResManager().GetImageByName(Look.CustomPicture, true)) {
        FPictureBgBitmap.Assign(Source);
        FPictureBgBitmap.SetDrawMode(dmOpaque);
    }
    FPictureBgColor = clWhite;
    LayOutPicture(Look);
}

void TQvFormBackground::LayOutPicture(const TQvBackgroundLook& Look) {
    FPictureBkGraphic.SetSize(Look.FormWidth + 10, Look.FormHeight + 10);
    FPictureBkGraphic.Clear(Opaque(FPictureBgColor));
    if (FPictureBgBitmap.Width() == 0 || FPictureBgBitmap.Height() == 0) return;
    switch (Look.FillStyle) {
        case mfsTile:
            TileRect(&FPictureBgBitmap, &FPictureBkGraphic, FPictureBgBitmap.BoundsRect(),
                     FPictureBkGraphic.BoundsRect());
            break;
        case mfsStretch:
            FPictureBkGraphic.Draw(FPictureBkGraphic.BoundsRect(), FPictureBgBitmap.BoundsRect(),
                                   &FPictureBgBitmap);
            break;
        case mfsBlur:
        case mfs9Block:
            FPictureBkGraphic.Draw(0, 0, &FPictureBgBitmap);
            break;
    }
}

TSurface32* TQvFormBackground::Picture(TPelluxStyle Style) {
    TSurface32* S = Style == ssColor ? &FColorBkGraphic : Style == ssPicture ? &FPictureBkGraphic : nullptr;
    return S != nullptr && S->Width() > 0 && S->Height() > 0 ? S : nullptr;
}

void TQvFormBackground::PaintClient(HDC Dc, const TQvBackgroundLook& Look) {
    if (Dc == nullptr) return;
    if (Look.Style == ssColor) {
        if (Look.ActiveGradient && FColorBgBitmap.Width() < Look.MonitorWidth) BuildColor(Look);
        if (FColorBkGraphic.Width() < Look.FormWidth || FColorBkGraphic.Height() < Look.FormHeight)
            LayOutColor(Look);
        FColorBkGraphic.DrawTo(Dc, 0, 0);
    } else if (Look.Style == ssPicture && Picture(ssPicture) != nullptr) {
        if (FPictureBkGraphic.Width() < Look.FormWidth || FPictureBkGraphic.Height() < Look.FormHeight ||
            Look.FillStyle == mfsStretch || Look.FillStyle == mfs9Block)
            LayOutPicture(Look);
        FPictureBkGraphic.DrawTo(Dc, -Look.Frame, -Look.Title);
    }
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
    const TPoint At =
        Look.Style == ssColor ? TPoint{std::max(0, X - Look.Frame), Y - Look.Title} : TPoint{X, Y};
    Strip->Clear(Opaque(Look.Style == ssColor ? FClientBkColor : FPictureBgColor));
    Strip->Draw(0, 0, Rect(At.X, At.Y, At.X + Strip->Width(), At.Y + Strip->Height()), Cache);
}
