#include "draw/uPelluxPng.h"

#include <cstring>
#include <exception>
#include <vector>

#include "framework/uQvPictures.h"
#include "framework/uQvStreams.h"
#include "platform/uQvPng.h"

void ReadPngIntoSurface(TCustomSurface32* Surface, const uint8_t* Data, size_t Size, bool& HasTransparency) {
    HasTransparency = false;
    if (Surface == nullptr) return;
    TQvPicture Picture = DecodePng(Data, Size);
    std::vector<uint32_t>& Pixels = Picture.Frames.front().Pixels;
    const TQvPngInfo& Info = Picture.Png;
    const bool AlphaChannel = Info.ColorType == 4 || Info.ColorType == 6;
    if (Info.Transparency == ptPartial && AlphaChannel) {
        HasTransparency = true;
    } else {
        // The decoder applied palette alphas and the transparent colour; start opaque and
        // take back only the one transparent colour.
        for (uint32_t& P : Pixels) P |= 0xFF000000u;
        if (Info.Transparency == ptBit) {
            HasTransparency = true;
            for (uint32_t& P : Pixels)
                if ((P & 0x00FFFFFFu) == Info.TransparentColor) P &= 0x00FFFFFFu;
        }
    }
    Surface->SetSize(Picture.Width, Picture.Height);
    if (!Surface->Empty()) std::memcpy(Surface->Bits(), Pixels.data(), Pixels.size() * sizeof(uint32_t));
    Surface->Changed();
}

void ReadPngIntoSurface(TCustomSurface32* Surface, TStream& Stream, bool& HasTransparency) {
    const int64_t Left = Stream.Remaining();
    if (Left < 0 || Left > int64_t{1} << 31) throw EReadError("Stream read error");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Left));
    Stream.ReadBuffer(Bytes.data(), Left);
    ReadPngIntoSurface(Surface, Bytes.data(), Bytes.size(), HasTransparency);
}

void ReadPngIntoSurface(TCustomSurface32* Surface, const String& FileName, bool& HasTransparency) {
    const std::vector<uint8_t> Bytes = ReadPictureFile(FileName);
    ReadPngIntoSurface(Surface, Bytes.data(), Bytes.size(), HasTransparency);
}

bool WriteSurfaceToPng(const TCustomSurface32* Surface, TPngImage* Png, bool To8Bit, bool KeepAlpha,
                       int Interlace, int CompressionLevel, TColor TransparentColor) {
    if (Surface == nullptr || Png == nullptr) return false;
    try {
        const size_t N = static_cast<size_t>(Surface->Width()) * Surface->Height();
        std::vector<uint32_t> Pixels(Surface->Bits(), Surface->Bits() + N);
        TQvPngWriteOptions Options;
        Options.Interlace = Interlace != 0;
        Options.CompressionLevel = CompressionLevel;
        Options.ColorMode = To8Bit ? pcmPalette : (KeepAlpha ? pcmRGBA : pcmRGB);
        if (To8Bit) {
            // A palette keeps no alphas but the one transparent colour.
            const uint32_t Clear = ToColor32(TransparentColor) & 0x00FFFFFFu;
            for (uint32_t& P : Pixels)
                P = (KeepAlpha && (P & 0x00FFFFFFu) == Clear) ? P & 0x00FFFFFFu : P | 0xFF000000u;
        }
        const std::vector<uint8_t> Bytes =
            EncodePng(Pixels.data(), Surface->Width(), Surface->Height(), Options);
        Png->LoadFromBytes(Bytes.data(), Bytes.size());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteSurfaceToPng(const TCustomSurface32* Surface, TPngImage* Png) {
    return WriteSurfaceToPng(Surface, Png, false, true, 0, 9, 0);
}
