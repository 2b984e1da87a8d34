// PNG reader on arbitrary bytes. A picture that decodes must survive the writer: written
// as RGBA (and, when it has few colours, as a palette) it reads back pixel for pixel.
#include "platform/uQvPng.h"
#include "platform/uQvPngPalette.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool Ok) {
    if (!Ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TQvPictureLimits Limits{4096, uint64_t{1} << 22};
    TQvPicture P;
    try {
        P = DecodePng(Data, Size, Limits);
    } catch (const EQvError&) {
        return 0;
    }
    Check(P.Frames.size() == 1 && P.Width > 0 && P.Height > 0);
    Check(P.Frames[0].Pixels.size() == static_cast<size_t>(P.Width) * P.Height);
    if (P.Frames[0].Pixels.size() > 65536) return 0;

    const std::vector<uint8_t> Again =
        EncodePng(P.Pixels(), P.Width, P.Height, {pcmRGBA, (Size & 1) != 0, 1});
    Check(DecodePng(Again.data(), Again.size()).Frames[0].Pixels == P.Frames[0].Pixels);
    if (BuildPalette(P.Pixels(), P.Frames[0].Pixels.size()).Exact) {
        const std::vector<uint8_t> Pal = EncodePng(P.Pixels(), P.Width, P.Height, {pcmPalette, false, 1});
        Check(DecodePng(Pal.data(), Pal.size()).Frames[0].Pixels == P.Frames[0].Pixels);
    }
    return 0;
}
