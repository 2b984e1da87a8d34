// JPEG reader on arbitrary bytes: errors are exceptions, never an exit or a crash.
#include "platform/uQvJpeg.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TQvPictureLimits Limits{4096, uint64_t{1} << 22};
    try {
        const TQvPicture P = DecodeJpeg(Data, Size, Limits);
        if (P.Frames.size() != 1 || P.Frames[0].Pixels.size() != static_cast<size_t>(P.Width) * P.Height)
            std::abort();
        for (uint32_t C : P.Frames[0].Pixels)
            if (C >> 24 != 0xFF) std::abort();
    } catch (const EQvError&) {
    }
    return 0;
}
