#pragma once
// The binary container of image-list items in which the built-in skin images are compiled
// into the program: the items in stored order, each with the values an item stores
// (ResID, draw mode, resampler class, the surface's "Data" record, description), so that
// start-up copies pixels and decodes no picture. The build-time packer writes it; the
// resource data module reads it. Kept free of the image-list classes so the packer can
// use it without the library it builds.
//
//   "QVIL" u32 version (1) u32 item count, then per item:
//   str ResID, u8 draw mode, str resampler class name, str description,
//   u32 width, u32 height, width*height pixels B, G, R, A (straight alpha, rows top down)
//   where str is u32 byte length + UTF-8 bytes; all numbers little-endian.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/uQvBase.h"

struct TImageDataItem {
    String ResID;
    int DrawMode = 0;  // a TDrawMode value
    String ResamplerClassName;
    String Description;
    // The surface's "Data" record: the 8-byte size head and the pixels, in place.
    const uint8_t* Record = nullptr;
    size_t RecordSize = 0;
};

// Appends one item to a container being built (Out starts empty: the head is written
// first and the count kept up to date).
void AppendImageDataItem(std::vector<uint8_t>& Out, const TImageDataItem& Item);

// Walks the items of a container in stored order. A container that is damaged or cut
// short raises EReadError "Stream read error" (items before the damage were passed on).
void ReadImageData(const uint8_t* Data, size_t Size, const std::function<void(const TImageDataItem&)>& OnItem);
