// The surface "Data" record on arbitrary bytes. A record is read whole or refused with
// EReadError leaving the surface as it was; one that is read writes back byte for byte, and
// the stream reader takes exactly the bytes the record reader does. The last byte chooses a
// resize handler that shrinks or grows the surface while it is read: the part that is kept
// holds the record's pixels at their places, and nothing is read or written past either.
#include "draw/uQvSurface.h"
#include "draw/uQvSurfaceRecord.h"
#include "framework/uQvStreams.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

void Require(bool Condition) {
    if (!Condition) std::abort();
}

std::vector<TColor32> SurfacePixels(const TCustomSurface32& S) {
    return {S.Bits(), S.Bits() + static_cast<size_t>(S.Width()) * S.Height()};
}

uint32_t StoredPixel(const uint8_t* Data, int Width, int X, int Y) {
    const uint8_t* At = Data + SurfaceRecordHeadSize + 4 * (static_cast<size_t>(Y) * Width + X);
    return uint32_t{At[0]} | uint32_t{At[1]} << 8 | uint32_t{At[2]} << 16 | uint32_t{At[3]} << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TSurface32 Plain;
    Plain.SetSize(3, 2);
    Plain.Clear(0x80402010u);
    const std::vector<TColor32> Before = SurfacePixels(Plain);
    size_t Used = 0;
    try {
        Used = Plain.ReadDataRecord(Data, Size);
    } catch (const EReadError&) {
        Require(Plain.Width() == 3 && Plain.Height() == 2 && SurfacePixels(Plain) == Before);
        return 0;
    }
    Require(Used <= Size);
    const std::vector<uint8_t> Again = Plain.DataRecord();
    // An empty record keeps no height: it writes back as 0 x 0.
    if (Plain.Empty())
        Require(Again.size() == SurfaceRecordHeadSize);
    else
        Require(Again.size() == Used && std::memcmp(Again.data(), Data, Used) == 0);

    TMemoryStream Stream(std::string_view(reinterpret_cast<const char*>(Data), Size));
    TSurface32 Streamed;
    Streamed.ReadData(Stream);
    Require(static_cast<size_t>(Stream.Position()) == Used && SurfacePixels(Streamed) == SurfacePixels(Plain));

    if (Size == 0 || Plain.Empty()) return 0;
    const int Width = Plain.Width(), Height = Plain.Height();
    const int NewWidth = 1 + Data[Size - 1] % (Width + 8), NewHeight = 1 + Data[Size - 1] / 16 % (Height + 4);
    TSurface32 Resized;
    Resized.OnResize = [&](TObject*) {
        if (Resized.Width() == Width && Resized.Height() == Height) Resized.SetSize(NewWidth, NewHeight);
    };
    Resized.ReadDataRecord(Data, Size);
    Require(Resized.Width() == NewWidth && Resized.Height() == NewHeight);
    for (int Y = 0; Y < NewHeight; ++Y)
        for (int X = 0; X < NewWidth; ++X)
            if (X < Width && Y < Height) Require(Resized.GetPixel(X, Y) == StoredPixel(Data, Width, X, Y));
    return 0;
}
