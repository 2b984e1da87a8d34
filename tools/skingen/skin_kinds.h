#pragma once
// Draws one image of the table by its kind.

#include <memory>

#include "draw/uQvSurface.h"
#include "skin_table.h"

// Registers the icon and picture programs; call once before drawing.
void RegisterSkinPrograms();

// The finished image: every frame drawn in its state, opaque images made fully opaque,
// recoloured images with their transparent pixels bled.
std::unique_ptr<TSurface32> DrawSkinImage(const TSkinImage& Image);
