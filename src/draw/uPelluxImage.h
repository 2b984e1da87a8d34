#pragma once
// The skin image: a surface with a Tag, the type every skin image, cut frame and part of
// the drawing helpers is.

#include <memory>
#include <vector>

#include "draw/uQvSurface.h"

class TPelluxImage : public TSurface32 {
public:
    // Free for the owner's use; 0 at creation. Not copied by CopyPropertiesTo or Assign.
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

private:
    int FTag = 0;
};

// Frames and parts returned by the splitting helpers; the array owns its images.
using TPelluxImageArray = std::vector<std::unique_ptr<TPelluxImage>>;

// Frees every element and empties the array.
void FreeFrames(TPelluxImageArray& Frames);

// Registers TPelluxImage and its Tag for stored layouts (after the surfaces). Calling it
// again does nothing.
void RegisterPelluxImage();
