#include "platform/uQvBmp.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;
constexpr size_t FileHeaderSize = 14;

uint16_t U16(const uint8_t* P) {
    return static_cast<uint16_t>(P[0] | P[1] << 8);
}
uint32_t U32(const uint8_t* P) {
    return uint32_t{P[0]} | uint32_t{P[1]} << 8 | uint32_t{P[2]} << 16 | uint32_t{P[3]} << 24;
}
int32_t I32(const uint8_t* P) {
    return static_cast<int32_t>(U32(P));
}

void Put16(std::vector<uint8_t>& Out, uint16_t V) {
    Out.push_back(static_cast<uint8_t>(V));
    Out.push_back(static_cast<uint8_t>(V >> 8));
}
void Put32(std::vector<uint8_t>& Out, uint32_t V) {
    for (int I = 0; I < 4; ++I) Out.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

[[noreturn]] void Fail(const std::string& What) {
    throw EQvError("BMP: " + What);
}

// One colour channel held under a bit mask, widened to 8 bits with rounding.
struct TMaskChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint64_t Max = 0;  // largest value the channel can hold

    explicit TMaskChannel(uint32_t M) : Mask(M) {
        if (M == 0) return;
        Shift = std::countr_zero(M);
        Max = (uint64_t{M} >> Shift);
    }
    uint32_t Get(uint32_t Pixel, uint32_t Absent) const {
        if (Mask == 0) return Absent;
        const uint64_t V = (Pixel & Mask) >> Shift;
        return static_cast<uint32_t>((V * 255 + Max / 2) / Max);
    }
};

struct THeader {
    int64_t Width = 0;
    int64_t Height = 0;  // positive; TopDown tells the row order
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = BI_RGB;
    uint32_t ColorsUsed = 0;
    uint32_t Masks[4] = {0, 0, 0, 0};  // R, G, B, A
    bool HasMasks = false;
    size_t PaletteStart = 0;
    size_t PaletteEntrySize = 4;
    size_t PixelOffset = 0;
};

THeader ReadHeader(const uint8_t* Data, size_t Size) {
    if (Size < FileHeaderSize + 4) Fail("the file is truncated");
    THeader H;
    H.PixelOffset = U32(Data + 10);
    const uint32_t InfoSize = U32(Data + 14);
    const uint8_t* Info = Data + FileHeaderSize;
    if (InfoSize == 12) {
        if (Size < FileHeaderSize + 12) Fail("the file is truncated");
        H.Width = U16(Info + 4);
        H.Height = U16(Info + 6);
        H.Bits = U16(Info + 10);
        H.PaletteEntrySize = 3;
    } else if (InfoSize >= 40 && InfoSize <= 124) {
        if (Size < FileHeaderSize + InfoSize) Fail("the file is truncated");
        H.Width = I32(Info + 4);
        const int32_t Height = I32(Info + 8);
        H.TopDown = Height < 0;
        H.Height = Height < 0 ? -int64_t{Height} : Height;
        H.Bits = U16(Info + 14);
        H.Compression = U32(Info + 16);
        H.ColorsUsed = U32(Info + 32);
        // The OS/2 version 2 header gives compression codes other meanings.
        if (InfoSize == 64 && H.Compression != BI_RGB) Fail("unsupported OS/2 compression");
        if (H.Compression == BI_BITFIELDS || H.Compression == BI_ALPHABITFIELDS) {
            const size_t Count = (H.Compression == BI_ALPHABITFIELDS || InfoSize >= 56) ? 4 : 3;
            // Masks live inside the larger headers and follow the 40-byte one.
            const size_t At = FileHeaderSize + 40;
            if (Size < At + 4 * Count) Fail("the file is truncated");
            for (size_t I = 0; I < Count; ++I) H.Masks[I] = U32(Data + At + 4 * I);
            H.HasMasks = true;
            H.PaletteStart = InfoSize == 40 ? At + 4 * Count : FileHeaderSize + InfoSize;
        }
    } else {
        Fail("unsupported header size " + std::to_string(InfoSize));
    }
    if (H.PaletteStart == 0) H.PaletteStart = FileHeaderSize + InfoSize;
    if (H.Width < 0) Fail("damaged header (negative width)");
    return H;
}

std::vector<uint32_t> ReadPalette(const uint8_t* Data, size_t Size, const THeader& H) {
    size_t Count = H.ColorsUsed != 0 ? H.ColorsUsed : size_t{1} << H.Bits;
    Count = std::min(Count, size_t{1} << H.Bits);
    // Some writers count more colours than they store before the pixels.
    if (H.PixelOffset > H.PaletteStart)
        Count = std::min(Count, (H.PixelOffset - H.PaletteStart) / H.PaletteEntrySize);
    if (Count == 0) Fail("damaged header (empty colour table)");
    if (H.PaletteStart + Count * H.PaletteEntrySize > Size) Fail("the file is truncated");
    std::vector<uint32_t> Palette(size_t{1} << H.Bits, 0xFF000000u);
    for (size_t I = 0; I < Count; ++I) {
        const uint8_t* E = Data + H.PaletteStart + I * H.PaletteEntrySize;
        Palette[I] = 0xFF000000u | uint32_t{E[2]} << 16 | uint32_t{E[1]} << 8 | E[0];
    }
    return Palette;
}

}  // namespace

TQvPicture DecodeBmp(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits) {
    if (Data == nullptr || Size < 2 || Data[0] != 'B' || Data[1] != 'M') Fail("not a BMP file");
    THeader H = ReadHeader(Data, Size);
    CheckPictureSize("BMP", H.Width, H.Height, Limits);

    const int Bits = H.Bits;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        Fail("unsupported bit count " + std::to_string(Bits));
    const bool Masked = H.Compression == BI_BITFIELDS || H.Compression == BI_ALPHABITFIELDS;
    if (H.Compression != BI_RGB && !(Masked && (Bits == 16 || Bits == 32)))
        Fail("unsupported compression " + std::to_string(H.Compression) + " for " + std::to_string(Bits) +
             "-bit pixels");
    if (!Masked && Bits == 16) {
        H.Masks[0] = 0x7C00, H.Masks[1] = 0x03E0, H.Masks[2] = 0x001F, H.Masks[3] = 0;
        H.HasMasks = true;
    }

    std::vector<uint32_t> Palette;
    if (Bits <= 8) Palette = ReadPalette(Data, Size, H);

    const uint64_t W = static_cast<uint64_t>(H.Width);
    const uint64_t Rows = static_cast<uint64_t>(H.Height);
    const uint64_t Stride = (W * static_cast<uint64_t>(Bits) + 31) / 32 * 4;
    const uint64_t LastRow = (W * static_cast<uint64_t>(Bits) + 7) / 8;  // its padding may be missing
    if (W > 0 && Rows > 0) {
        if (H.PixelOffset < H.PaletteStart)
            Fail("damaged header (pixel data offset " + std::to_string(H.PixelOffset) + ")");
        if (H.PixelOffset > Size || Stride * (Rows - 1) + LastRow > Size - H.PixelOffset)
            Fail("the file is truncated");
    }

    TQvPicture P;
    P.Format = qfBmp;
    P.Width = static_cast<int>(W);
    P.Height = static_cast<int>(Rows);
    P.BitsPerPixel = Bits;
    P.Frames.resize(1);
    std::vector<uint32_t>& Out = P.Frames[0].Pixels;
    Out.resize(W * Rows);

    const TMaskChannel R(H.Masks[0]), G(H.Masks[1]), B(H.Masks[2]), A(H.Masks[3]);
    const bool RawAlpha = Bits == 32 && !Masked;
    bool AnyAlpha = false, AnyColor = false;
    for (uint64_t Y = 0; Y < Rows; ++Y) {
        const uint8_t* Src = Data + H.PixelOffset + Stride * (H.TopDown ? Y : Rows - 1 - Y);
        uint32_t* Dst = Out.data() + Y * W;
        for (uint64_t X = 0; X < W; ++X) {
            uint32_t C;
            if (Bits <= 8) {
                const uint64_t Bit = X * static_cast<uint64_t>(Bits);
                const unsigned Index = (Src[Bit / 8] >> (8 - Bits - Bit % 8)) & ((1u << Bits) - 1);
                C = Palette[Index];
            } else if (Bits == 24) {
                const uint8_t* S = Src + 3 * X;
                C = 0xFF000000u | uint32_t{S[2]} << 16 | uint32_t{S[1]} << 8 | S[0];
            } else if (RawAlpha) {
                C = U32(Src + 4 * X);
            } else {
                const uint32_t V = Bits == 16 ? U16(Src + 2 * X) : U32(Src + 4 * X);
                C = A.Get(V, 255) << 24 | R.Get(V, 0) << 16 | G.Get(V, 0) << 8 | B.Get(V, 0);
            }
            AnyAlpha |= (C >> 24) != 0;
            AnyColor |= (C & 0xFFFFFF) != 0;
            Dst[X] = C;
        }
    }
    const bool AlphaStored = RawAlpha || (Masked && H.Masks[3] != 0);
    P.HasAlpha = AlphaStored;
    if (AlphaStored && !AnyAlpha && AnyColor) {
        for (uint32_t& C : Out) C |= 0xFF000000u;
        P.HasAlpha = false;
    }
    return P;
}

std::vector<uint8_t> EncodeBmp32(const uint32_t* Pixels, int Width, int Height, bool BottomUp) {
    if (Width < 0 || Height < 0 || (Pixels == nullptr && Width > 0 && Height > 0))
        Fail("nothing to write (bad picture size)");
    if (!PictureSizeAllowed(Width, Height, TQvPictureLimits{}))
        Fail("picture too large to write (" + std::to_string(Width) + " x " + std::to_string(Height) +
             " pixels)");
    const uint32_t ImageSize = 4u * static_cast<uint32_t>(Width) * static_cast<uint32_t>(Height);
    std::vector<uint8_t> Out;
    Out.reserve(54 + size_t{ImageSize});
    Out.push_back('B');
    Out.push_back('M');
    Put32(Out, 54 + ImageSize);
    Put32(Out, 0);
    Put32(Out, 54);
    Put32(Out, 40);
    Put32(Out, static_cast<uint32_t>(Width));
    Put32(Out, static_cast<uint32_t>(BottomUp ? Height : -Height));
    Put16(Out, 1);
    Put16(Out, 32);
    Put32(Out, BI_RGB);
    Put32(Out, ImageSize);
    for (int I = 0; I < 4; ++I) Put32(Out, 0);
    const size_t W = static_cast<size_t>(Width);
    Out.resize(54 + size_t{ImageSize});
    if (ImageSize == 0) return Out;
    for (size_t Y = 0; Y < static_cast<size_t>(Height); ++Y) {
        const size_t Src = BottomUp ? static_cast<size_t>(Height) - 1 - Y : Y;
        std::memcpy(Out.data() + 54 + Y * W * 4, Pixels + Src * W, W * 4);
    }
    return Out;
}

void SaveBmp32ToFile(const String& FileName, const uint32_t* Pixels, int Width, int Height, bool BottomUp) {
    WritePictureFile(FileName, EncodeBmp32(Pixels, Width, Height, BottomUp));
}
