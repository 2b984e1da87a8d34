#pragma once
// The palette of the skin and the looks of each state, by style name. A frame's state is
// one letter: n normal, h hot, p pressed, d disabled, x focused, s selected, c checked,
// C checked and hot.

#include <string>

#include "skin_glyph.h"

namespace Palette {
constexpr TColor32 Accent = 0xFF4690DC;  // RGB(70, 144, 220), the product's title colour
constexpr TColor32 AccentHot = 0xFF5CA0E6;
constexpr TColor32 AccentDown = 0xFF347AC4;
constexpr TColor32 AccentDeep = 0xFF1F5A9E;
constexpr TColor32 Tint = 0xFFEAF3FC;
constexpr TColor32 TintStrong = 0xFFD6E7F9;
constexpr TColor32 TintBorder = 0xFF9CC3EE;
constexpr TColor32 Ink = 0xFF48505C;
constexpr TColor32 InkMid = 0xFF6E7682;
constexpr TColor32 InkLight = 0xFFA0A8B2;
constexpr TColor32 InkFaint = 0xFFC3C8CF;
constexpr TColor32 Border = 0xFFCDD3DB;
constexpr TColor32 BorderLight = 0xFFE2E6EB;
constexpr TColor32 Surface = 0xFFF5F7FA;
constexpr TColor32 White = 0xFFFFFFFF;
constexpr TColor32 Danger = 0xFFE24C4C;
constexpr TColor32 CloseHot = 0xFFE81123;
constexpr TColor32 CloseDown = 0xFFC50F1F;
constexpr TColor32 Success = 0xFF28A769;
constexpr TColor32 Warning = 0xFFF09B1E;
constexpr TColor32 Question = 0xFF6574CD;
}  // namespace Palette

// The look of State in the named style; a style without that state answers its normal look.
// An unknown style raises EQvError.
TLook LookOf(const std::string& Style, char State);
bool StyleDefined(const std::string& Style);

// "normal", "hot", ... for the contact sheet and the image table.
const char* StateName(char State);
