// GIF reader on arbitrary bytes: every frame has the screen's size and a playable delay.
#include "platform/uQvGif.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TQvPictureLimits Limits{4096, uint64_t{1} << 22};
    try {
        const TQvPicture P = DecodeGif(Data, Size, Limits);
        if (P.Frames.empty() || P.Width <= 0 || P.Height <= 0) std::abort();
        uint64_t Total = 0;
        for (const TQvPictureFrame& F : P.Frames) {
            if (F.Pixels.size() != static_cast<size_t>(P.Width) * P.Height || F.DelayMs <= 10) std::abort();
            Total += F.Pixels.size();
        }
        if (Total > Limits.MaxPixels) std::abort();
    } catch (const EQvError&) {
    }
    return 0;
}
