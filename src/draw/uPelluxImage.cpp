#include "draw/uPelluxImage.h"

#include "framework/uQvRegistry.h"

void FreeFrames(TPelluxImageArray& Frames) {
    Frames.clear();
}

void RegisterPelluxImage() {
    RegisterQvSurfaces();
    RegisterClass<TPelluxImage, TSurface32>(u"TPelluxImage")
        .Prop(u"Tag", &TPelluxImage::Tag, &TPelluxImage::SetTag, 0);
}
