// SVG path data on arbitrary bytes: reading either draws or raises the reader's error,
// always ends, and never writes outside the surface.
#include "draw/uQvSurface.h"
#include "draw/uQvSvg.h"
#include "platform/uQvFontConfig.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// The packaged fonts, as the tests measure with: runs repeat on any machine, and the
// machine's font configuration (whose reader loses memory) is never read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseQvPinnedFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TSurface32 S;
    S.SetSize(24, 16);
    S.SetClipRect(Rect(2, 2, 20, 14));
    TQvSVGPathRenderer R(&S);
    R.SetStrokeWidth(static_cast<int>(Size % 5));
    try {
        R.SetPath(std::string(reinterpret_cast<const char*>(Data), Size));
    } catch (const EQvError&) {
    }
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 24; ++X)
            if ((X < 2 || X >= 20 || Y < 2 || Y >= 14) && S.GetPixel(X, Y) != 0) std::abort();
    return 0;
}
