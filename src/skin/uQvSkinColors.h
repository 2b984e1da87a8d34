#pragma once
// Recolouring of skin colours and skin images by hue, saturation and brightness: one
// platform colour (AdjustColorHSB, the form skins' caption and client colours) and every
// pixel of a surface (AdjustHSB, the skin scheme's tinted images), with the byte-scale
// HSL conversions the latter works in. All arithmetic is integer; divisions truncate
// toward zero, so the results are exact and the same on every machine.

#include <cstdint>

#include "draw/uQvColor32.h"
#include "draw/uQvCustomSurface.h"
#include "platform/uQvColor.h"

// Recolours a platform colour (0x00BBGGRR): hue shifted by HueShift degrees, saturation
// and brightness changed by Saturation and Brightness percent. Grey colours keep their
// grey and change only with brightness; all three 0 give the colour back.
TColor AdjustColorHSB(TColor Color, int HueShift, int Saturation, int Brightness);

// The byte-scale hue (a circle of 255 steps), saturation and lightness of a colour's
// red, green and blue; its alpha plays no part.
void RGBtoHSL(TColor32 Color, uint8_t& H, uint8_t& S, uint8_t& L);
// The colour of a byte-scale hue, saturation and lightness, with alpha A. A colour with
// no value (black) keeps alpha A too, so translucent pixels stay translucent.
TColor32 HSLtoRGB(uint8_t H, uint8_t S, uint8_t L, uint8_t A);

// Recolours every pixel with a non-zero alpha in place, keeping its alpha: hue turned by
// HueShift steps of the 255-step circle, saturation raised by SaturationShift when it is
// positive and scaled by SaturationShift percent otherwise, lightness raised (or lowered)
// by LightnessShift. Fully transparent pixels stay bit for bit as they were.
void AdjustHSB(TCustomSurface32* Surface, int HueShift, int SaturationShift, int LightnessShift);
