#pragma once
// JPEG reading. Colour and grey files come out as opaque BGRA; CMYK and YCCK files are
// converted to RGB (the inverted samples that Adobe writers store are recognised by their
// marker). A file cut short is an error rather than a picture padded with grey.

#include "platform/uQvPicture.h"

#include <cstddef>
#include <cstdint>

TQvPicture DecodeJpeg(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits = {});
