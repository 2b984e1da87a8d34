// Figures from arbitrary floats (NaN, infinities and huge values included): fills and
// strokes of every style end and never write outside the clip rectangle.
#include "draw/uQvPolygons.h"
#include "draw/uQvSurface.h"
#include "platform/uQvFontConfig.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// The packaged fonts, as the tests measure with: runs repeat on any machine, and the
// machine's font configuration (whose reader loses memory) is never read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseQvPinnedFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 4) return 0;
    const uint8_t Style = Data[0];
    float Width = 0;
    std::memcpy(&Width, Data, sizeof(float));
    TArrayOfArrayOfFloatPoint Contours(1);
    for (size_t I = 4; I + 8 <= Size; I += 8) {
        TFloatPoint P;
        std::memcpy(&P.X, Data + I, sizeof(float));
        std::memcpy(&P.Y, Data + I + 4, sizeof(float));
        // A NaN in both coordinates starts a new contour.
        if (P.X != P.X && P.Y != P.Y)
            Contours.emplace_back();
        else
            Contours.back().push_back(P);
    }
    TSurface32 S;
    S.SetSize(24, 16);
    S.SetClipRect(Rect(2, 2, 20, 14));
    FillPolyPolygonFS(&S, Contours, 0xFFFFFFFFu, Style & 1 ? pfWinding : pfAlternate);
    StrokePolyPolylineFS(&S, Contours, 0x80FF0000u, (Style & 2) != 0, Width,
                         static_cast<TJoinStyle>((Style >> 2) % 3), static_cast<TEndStyle>((Style >> 4) % 3),
                         static_cast<float>(Style >> 6));
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 24; ++X)
            if ((X < 2 || X >= 20 || Y < 2 || Y >= 14) && S.GetPixel(X, Y) != 0) std::abort();
    return 0;
}
