#pragma once
// GIF reading, animations included.
//
// Every frame is composited onto the logical screen the way a player shows it: pixels of
// the transparent index leave what is below, and after a frame has shown its disposal
// mode applies (0 and 1 keep it, 2 clears its rectangle to transparent, 3 restores what
// was there before it). The screen starts transparent. Delays of 10 ms or less play as
// 100 ms, as players have always done for such files. A missing trailer after complete
// frames is accepted; a frame cut short is an error.

#include "platform/uQvPicture.h"

#include <cstddef>
#include <cstdint>

TQvPicture DecodeGif(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits = {});
