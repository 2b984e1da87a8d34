#pragma once
// The background caches of a form skin: the colours actually painted for the title and the
// client area, and the client background surface of each style, from which the client
// area and the frame strips are painted by plain copies.
//
// The colour style is a ClientBkColor fill continuing the vertical gradient the title bar
// begins; the picture style lays the CustomPicture image out over the form by one of four
// fill styles. Both follow the skin configuration's colour shift. Caches are 10 pixels
// larger than the form both ways, so a little growth does not rebuild them.

#include "draw/uQvSurface.h"
#include "skin/uPelluxIntf.h"
#include "skin/uPelluxResManager.h"

// What the caches are built from; sizes in pixels.
struct TQvBackgroundLook {
    TPelluxStyle Style = ssColor;
    TColor Color = 15920353;
    TColor TitlerColor = 16761926;
    bool ActiveGradient = true;
    int GradientHeight = 168;  // scaled
    int Title = 27;            // scaled
    int Frame = 2;
    int FormWidth = 0;
    int FormHeight = 0;
    int MonitorWidth = 0;
    TQvResID CustomPicture;
    TQvFillStyle FillStyle = mfsBlur;
    // Hue (degrees), saturation and brightness (percent) shifts; all 0: nothing shifted.
    int HueShift = 0;
    int SaturationShift = 0;
    int BrightnessShift = 0;
    // An image border that tiles its image shifts the picture by (Frame - Left, Title - Top).
    bool TiledBorder = false;
    int BorderLeft = 0;
    int BorderTop = 0;
};

class TQvFormBackground {
public:
    TColor NCBkColor() const { return FNCBkColor; }
    void SetNCBkColor(TColor Value) { FNCBkColor = Value; }
    TColor ClientBkColor() const { return FClientBkColor; }
    TColor PictureBgColor() const { return FPictureBgColor; }
    const TSurface32& GradientStrip() const { return FColorBgBitmap; }

    // The caches of the look's style.
    void Build(const TQvBackgroundLook& Look);
    // The shifted colours, the gradient strip and the client cache.
    void BuildColor(const TQvBackgroundLook& Look);
    // The picture copy (kept when the image is not found), recoloured from the picture as
    // found and laid out by the fill style. Nothing for an empty CustomPicture.
    void BuildPicture(const TQvBackgroundLook& Look);

    // The client background of Style; nullptr for a style without a cache.
    TSurface32* Picture(TPelluxStyle Style);

    // The client area of the form (Dc in client coordinates), the caches grown first when
    // the form outgrew them.
    void PaintClient(HDC Dc, const TQvBackgroundLook& Look);
    // The cache as it is, for an erase request.
    void PaintErase(HDC Dc, const TQvBackgroundLook& Look);
    // Fills Strip, which lies at (X, Y) of the window, with what the cache holds there.
    void FillStrip(TSurface32* Strip, int X, int Y, const TQvBackgroundLook& Look);

    // Fades Picture's right and bottom 100 pixels (less for a smaller picture) into its
    // average colour, which it returns.
    static TColor FadePictureEdges(TSurface32& Picture);

private:
    void LayOutColor(const TQvBackgroundLook& Look);
    void LayOutPicture(const TQvBackgroundLook& Look, int X, int Y);

    TColor FNCBkColor = 16761926;
    TColor FClientBkColor = 15920353;
    TColor FPictureBgColor = clWhite;
    bool FHasPicture = false;
    TSurface32 FColorBgBitmap;     // the gradient strip
    TSurface32 FColorBkGraphic;    // colour-style client background
    TSurface32 FPictureSource;     // the picture as found, before recolouring
    TSurface32 FPictureBgBitmap;   // the picture, recoloured (and faded for mfsBlur)
    TSurface32 FPictureBkGraphic;  // picture-style client background
};
