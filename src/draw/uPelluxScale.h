#pragma once
// Scaling, zooming and rotating skin images through the transform.

#include "draw/uQvSurface.h"

// Dst := Src scaled by Factor in both directions: Src gets a linear resampler reading
// transparent beyond its edge (it keeps it), Dst is sized to the scaled bounds with each
// edge rounded half to even (68 x 17 at 1.5 gives 102 x 26) and filled by the eight-pass
// copy.
void ScaleImage(TCustomSurface32* Src, TCustomSurface32* Dst, double Factor);
// Src scaled by max(Dst.W / Src.W, Dst.H / Src.H) + Delta in one pass, as ScaleImage
// otherwise, and drawn centred onto Dst (negative offsets crop). Nothing when either
// surface is missing or Src is empty.
void DrawZoomedCentered(TCustomSurface32* Src, TCustomSurface32* Dst, double Delta);
// Turns Surface in place by Angle degrees (positive turns clockwise on the screen) about
// its centre. The result is Surface's size, or with GrowToFit the size of the turned
// bounds; it starts filled with FillColor (a platform colour) and Surface's pixels are
// drawn on it in one pass, by dmTransparent unless KeepDrawMode. Afterwards OuterColor is
// the fill colour, and with KeepDrawMode the draw mode becomes dmTransparent.
void RotateImage(TCustomSurface32* Surface, bool GrowToFit, TColor FillColor, bool KeepDrawMode,
                 double Angle);
// GrowToFit false, the no-colour value 0x1FFFFFFF (opaque white), KeepDrawMode false.
void RotateImage(TCustomSurface32* Surface, double Angle);

class TControl;
class TCustomImageList;

// While GetDPIScale(Control) > 1: Surface (the caller's) becomes entry Index of ImageList,
// taken at the list's size with its alpha onto a transparent surface and scaled by that
// factor (ScaleImage), in dmBlend; true. False, Surface untouched, at 96 pixels per inch
// or below, and for a missing list or an index it does not hold.
bool ScaleImageListIcon(const TControl* Control, const TCustomImageList* ImageList, int Index,
                        TSurface32* Surface);
