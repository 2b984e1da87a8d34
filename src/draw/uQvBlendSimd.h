#pragma once
// The vector forms of the blend run kernels. Each returns nullptr when this processor
// (or this build's target) cannot run it.

#include "draw/uQvBlend.h"

const TBlendKernels* Sse2BlendKernels();
const TBlendKernels* Avx2BlendKernels();
