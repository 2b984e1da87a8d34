#pragma once
// Small value types shared by the surfaces, samplers and vector code: 16.16 fixed point,
// floating-point points and rectangles, and the modes of a surface.

#include <climits>
#include <cstdint>
#include <functional>

#include "draw/uQvColor32.h"
#include "platform/uQvGeometry.h"

// A 64-bit coordinate cut down to the int range; the surfaces are far smaller, so cutting
// never changes what a rectangle covers on them.
constexpr int ClampToInt(int64_t V) {
    return static_cast<int>(V < INT32_MIN ? INT32_MIN : V > INT32_MAX ? INT32_MAX : V);
}

// 16.16 fixed point: value * 65536 in a signed 32-bit integer.
using TFixed = int32_t;
constexpr TFixed FixedOne = 0x10000;
constexpr TFixed FixedHalf = 0x7FFF;

// (A * B) >> 16 on the 64-bit product, rounding toward minus infinity.
constexpr TFixed FixedMul(TFixed A, TFixed B) {
    return static_cast<TFixed>((int64_t{A} * B) >> 16);
}
// (A + 32767) >> 16: an exact half rounds down.
constexpr int FixedRound(TFixed A) {
    return static_cast<int>((int64_t{A} + FixedHalf) >> 16);
}
constexpr int FixedFloor(TFixed A) {
    return A >> 16;
}
constexpr TFixed Fixed(int Value) {
    return static_cast<TFixed>(static_cast<uint32_t>(Value) << 16);
}

struct TFixedPoint {
    TFixed X = 0;
    TFixed Y = 0;
    constexpr bool operator==(const TFixedPoint&) const = default;
};

struct TFloatPoint {
    float X = 0;
    float Y = 0;
    constexpr bool operator==(const TFloatPoint&) const = default;
};

struct TFloatRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
    constexpr float Width() const { return Right - Left; }
    constexpr float Height() const { return Bottom - Top; }
    constexpr bool operator==(const TFloatRect&) const = default;
};

constexpr TFloatPoint FloatPoint(float X, float Y) {
    return {X, Y};
}
constexpr TFloatRect FloatRect(float Left, float Top, float Right, float Bottom) {
    return {Left, Top, Right, Bottom};
}
constexpr TFloatRect FloatRect(const TRect& R) {
    return {static_cast<float>(R.Left), static_cast<float>(R.Top), static_cast<float>(R.Right),
            static_cast<float>(R.Bottom)};
}

// How a surface combines when it is drawn onto another.
enum TDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
// Which blend family dmBlend and the transparent ("T") operations use.
enum TCombineMode { cmBlend, cmMerge };
// Edge rule of samplers.
enum TWrapMode { wmClamp, wmRepeat, wmMirror };

// Per-pixel combine of dmCustom: F is the source colour, B the destination pixel, M the
// source's master alpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

// The Info of an area notification for a rectangle.
constexpr uint32_t AREAINFO_RECT = 0x80000000u;
