#pragma once
// The stored "Data" record of a surface, the binary property of stored layouts: width and
// height as unsigned 32-bit little-endian values, then the pixels row by row, each B, G, R,
// A. The record members of TCustomSurface32 are defined beside it, in uQvSurfaceRecord.cpp.

#include <cstddef>
#include <cstdint>

#include "draw/uQvCustomSurface.h"

constexpr size_t SurfaceRecordHeadSize = 8;

// The width and height the 8 bytes of a record head declare. Sides above 32767 or more
// than 2^28 pixels are refused with "Stream read error".
TSize SurfaceRecordSize(const uint8_t* Head);
