// BMP reader on arbitrary bytes. A picture that decodes must read back pixel for pixel
// from the 32-bit file the writer makes of it, in either row order.
#include "platform/uQvBmp.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TQvPictureLimits Limits{4096, uint64_t{1} << 22};
    TQvPicture P;
    try {
        P = DecodeBmp(Data, Size, Limits);
    } catch (const EQvError&) {
        return 0;
    }
    if (P.Frames.size() != 1 || P.Frames[0].Pixels.size() != static_cast<size_t>(P.Width) * P.Height)
        std::abort();
    const std::vector<uint8_t> Again = EncodeBmp32(P.Pixels(), P.Width, P.Height, (Size & 1) != 0);
    if (DecodeBmp(Again.data(), Again.size()).Frames[0].Pixels != P.Frames[0].Pixels) std::abort();
    return 0;
}
