#pragma once
// The contact sheet: every image at 100 % on a neutral ground, labelled with its ResID and
// size; strips are shown frame by frame with each frame's state under it.

#include <memory>
#include <vector>

#include "draw/uQvSurface.h"
#include "skin_table.h"

// Images[i] is the drawn surface of SkinImages()[i].
std::unique_ptr<TSurface32> MakeContactSheet(const std::vector<std::unique_ptr<TSurface32>>& Images);
