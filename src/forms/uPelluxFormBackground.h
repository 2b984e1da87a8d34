#pragma once
// The client background of a skinned form and the colours of its title bar: caches built
// from the form skin's settings and painted by copying. In colour style a plain client
// colour continues a vertical gradient that starts in the title bar; in picture style a
// skin image is laid out by one of four fill styles. Caches are 10 pixels larger than the
// form both ways, so a little growth does not rebuild them.

#include "draw/uQvSurface.h"
#include "skin/uPelluxIntf.h"
#include "skin/uPelluxResManager.h"

// What the caches are built from; the form skin fills it from its settings, its size and
// the configuration's recolouring shifts.
struct TQvFormBackgroundSpec {
    TPelluxStyle Style = ssColor;
    TColor TitlerColor = clWhite;
    TColor Color = clWhite;
    bool ActiveGradient = false;
    int GradientHeight = 0;  // scaled
    TQvResID CustomPicture;
    TQvFillStyle FillStyle = mfsBlur;
    // Hue (degrees), saturation and brightness (percent) shifts; all 0: nothing shifted.
    int HueShift = 0;
    int SaturationShift = 0;
    int BrightnessShift = 0;
    int FormWidth = 0;
    int FormHeight = 0;
    int MonitorWidth = 0;
    int TitleHeight = 0;  // T, scaled
    int FrameWidth = 0;   // F
    // An image border that tiles its image shifts the picture by (F - Left, T - Top).
    bool TiledBorder = false;
    int BorderLeft = 0;
    int BorderTop = 0;
};

class TPelluxFormBackground {
public:
    // Colour style: the shifted colours, the gradient strip and the client cache.
    void BuildColor(const TQvFormBackgroundSpec& Spec);
    // Picture style: the picture copy (kept when the image is not found), recoloured and
    // laid out by the fill style. Nothing for an empty CustomPicture.
    void BuildPicture(const TQvFormBackgroundSpec& Spec);
    // Paints the client area onto Dc, rebuilding what the form outgrew.
    void Paint(HDC Dc, const TQvFormBackgroundSpec& Spec);
    // The current cache as it is (the erase painting); nothing for a null Dc.
    void Erase(HDC Dc, const TQvFormBackgroundSpec& Spec);
    // The picture children sample: the colour or the picture cache by style.
    TSurface32* Picture(TPelluxStyle Style) { return Style == ssPicture ? &FPictureBkGraphic : &FColorBkGraphic; }

    // Fades Picture's right and bottom 100 pixels (less for a smaller picture) into its
    // average colour, which it returns.
    static TColor FadePictureEdges(TSurface32& Picture);

    TColor NCBkColor() const { return FNCBkColor; }
    TColor ClientBkColor() const { return FClientBkColor; }
    TColor PictureBgColor() const { return FPictureBgColor; }
    const TSurface32& GradientStrip() const { return FColorBgBitmap; }

private:
    void LayOutColor(const TQvFormBackgroundSpec& Spec);
    void LayOutPicture(const TQvFormBackgroundSpec& Spec, int X, int Y);

    TSurface32 FColorBgBitmap;
    TSurface32 FColorBkGraphic;
    TSurface32 FPictureSource;  // the picture as found, before recolouring
    TSurface32 FPictureBgBitmap;
    TSurface32 FPictureBkGraphic;
    bool FHasPicture = false;
    TColor FNCBkColor = clWhite;
    TColor FClientBkColor = clWhite;
    TColor FPictureBgColor = clWhite;
};
