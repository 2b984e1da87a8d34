#pragma once
// The vector forms of the pixel run kernels. Each returns nullptr when this processor (or
// this build's target) cannot run it.

#include "platform/uQvPixel.h"

const TPixelKernels* Sse2PixelKernels();
const TPixelKernels* Avx2PixelKernels();
