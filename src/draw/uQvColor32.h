#pragma once
// 32-bit colours of the drawing layer: A<<24 | R<<16 | G<<8 | B, straight (not
// premultiplied) alpha, bytes B, G, R, A in memory.

#include <cstdint>

#include "platform/uQvColor.h"
#include "platform/uQvPixel.h"

using TColor32 = uint32_t;
using PColor32 = TColor32*;

constexpr TColor32 Color32(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255) {
    return (TColor32{A} << 24) | (TColor32{R} << 16) | (TColor32{G} << 8) | TColor32{B};
}

constexpr uint8_t AlphaComponent(TColor32 C) {
    return static_cast<uint8_t>(C >> 24);
}
constexpr uint8_t RedComponent(TColor32 C) {
    return static_cast<uint8_t>(C >> 16);
}
constexpr uint8_t GreenComponent(TColor32 C) {
    return static_cast<uint8_t>(C >> 8);
}
constexpr uint8_t BlueComponent(TColor32 C) {
    return static_cast<uint8_t>(C);
}

// The colour with its alpha byte replaced.
constexpr TColor32 SetAlpha(TColor32 C, uint8_t A) {
    return (C & 0x00FFFFFFu) | (TColor32{A} << 24);
}

// A platform colour (0x00BBGGRR; negative = system colour of index value & 0xFF) as an
// opaque 32-bit colour.
TColor32 ToColor32(TColor Color);
// The platform colour of a 32-bit colour's red, green and blue (alpha dropped).
TColor FromColor32(TColor32 Color);

// The grey of intensity I (see Intensity) with alpha A.
constexpr TColor32 Gray32(uint8_t I, uint8_t A = 255) {
    return (TColor32{A} << 24) | (TColor32{I} * 0x010101u);
}

constexpr TColor32 clBlack32 = 0xFF000000u, clWhite32 = 0xFFFFFFFFu, clTransparent32 = 0x00000000u;

// The coverage gamma table: G[i] = round(255 * (i/255)^1.6), the exponent being the
// single-precision 1.6 and the rounding half to even. It turns fractional coverage and
// interpolation positions into 8-bit weights. Built on first use, read-only after.
const uint8_t* CoverageGamma();
