#pragma once
// Types the shell's units share.

#include <cstdint>

// How the skin scheme picks its colour: from the fixed table by index, or from hue and
// saturation.
enum TColorMode : uint8_t { cmDefault = 0, cmCustom = 1 };

// The colour mode stored as Value; a value that names no mode reads as cmDefault.
TColorMode ColorModeFromOrdinal(int Value);
