#pragma once
// The pictures of the skin: shape programs for the illustrations, the avatar and the
// product mark, and the two images that carry the product's name (splash and logo).

#include "draw/uQvSurface.h"
#include "skin_table.h"

// Makes @landscape, @network-error, @avatar, @mark and @mark-cut known to DrawGlyph.
void RegisterSkinPictures();

// Draws an image of kind kBrand onto its (transparent) surface.
void DrawBrand(const TSkinImage& Image, TSurface32& Surface);
