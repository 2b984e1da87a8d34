#include "draw/uQvColor32.h"

#include <cmath>

TColor32 ToColor32(TColor Color) {
    const COLORREF Rgb = ColorToRGB(Color);
    return Color32(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb), 255);
}

TColor FromColor32(TColor32 Color) {
    return static_cast<TColor>(RGB(RedComponent(Color), GreenComponent(Color), BlueComponent(Color)));
}

namespace {

struct TGammaTable {
    uint8_t Values[256];
    TGammaTable() {
        // The exponent is a 32-bit float; the power itself is taken in double.
        const double Exponent = static_cast<double>(1.6f);
        for (int I = 0; I < 256; ++I) {
            const double V = 255.0 * std::pow(I * (1.0 / 255.0), Exponent);
            Values[I] = static_cast<uint8_t>(RoundHalfEven(V));
        }
    }
};

}  // namespace

const uint8_t* CoverageGamma() {
    static const TGammaTable Table;
    return Table.Values;
}
