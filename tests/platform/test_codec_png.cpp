// PNG reading and writing: every colour type to BGRA with exact values, the writer's
// modes round-tripping, and bad files refused with a clear error.
#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/uQvPicture.h"
#include "platform/uQvPng.h"
#include "platform/uQvPngPalette.h"
#include "support/qv_address_space.h"
#include "support/qv_error_of.h"

#include <exception>
#include <filesystem>
#include <set>

namespace {

using Bytes = std::vector<uint8_t>;

void Put32BE(Bytes& Out, uint32_t V) {
    for (int S = 24; S >= 0; S -= 8) Out.push_back(static_cast<uint8_t>(V >> S));
}

void AddChunk(Bytes& Png, const char* Type, const Bytes& Body) {
    Put32BE(Png, static_cast<uint32_t>(Body.size()));
    Bytes Typed(Type, Type + 4);
    Typed.insert(Typed.end(), Body.begin(), Body.end());
    Png.insert(Png.end(), Typed.begin(), Typed.end());
    Put32BE(Png, static_cast<uint32_t>(crc32(0, Typed.data(), static_cast<uInt>(Typed.size()))));
}

struct TChunk {
    const char* Type;
    Bytes Body;
};

// A PNG built by hand, so the tests reach colour types and depths the writer never makes.
// Rows are raw scanlines without the filter byte.
Bytes MakePng(uint32_t W, uint32_t H, uint8_t Depth, uint8_t ColorType, const std::vector<Bytes>& Rows,
              const std::vector<TChunk>& Before = {}) {
    Bytes Png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes Ihdr;
    Put32BE(Ihdr, W);
    Put32BE(Ihdr, H);
    Ihdr.insert(Ihdr.end(), {Depth, ColorType, 0, 0, 0});
    AddChunk(Png, "IHDR", Ihdr);
    for (const TChunk& C : Before) AddChunk(Png, C.Type, C.Body);
    Bytes Raw;
    for (const Bytes& Row : Rows) {
        Raw.push_back(0);
        Raw.insert(Raw.end(), Row.begin(), Row.end());
    }
    uLongf Len = compressBound(static_cast<uLong>(Raw.size()));
    Bytes Z(Len);
    compress2(Z.data(), &Len, Raw.data(), static_cast<uLong>(Raw.size()), 9);
    Z.resize(Len);
    AddChunk(Png, "IDAT", Z);
    AddChunk(Png, "IEND", {});
    return Png;
}

TQvPicture Decode(const Bytes& B, const TQvPictureLimits& L = {}) {
    return DecodePng(B.data(), B.size(), L);
}

std::string ErrorOf(const Bytes& B, const TQvPictureLimits& L = {}) {
    return QvErrorOf([&] { Decode(B, L); });
}

// A picture with every kind of pixel the writer must keep: opaque, clear, translucent.
std::vector<uint32_t> Sample(int W, int H) {
    std::vector<uint32_t> P(static_cast<size_t>(W) * H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const uint32_t A = (X + Y) % 3 == 0 ? 255 : (X * 37 + Y * 11) % 256;
            P[static_cast<size_t>(Y) * W + X] = A << 24 | uint32_t(X * 29 % 256) << 16 |
                                                uint32_t(Y * 53 % 256) << 8 | uint32_t((X ^ Y) * 7 % 256);
        }
    return P;
}

}  // namespace

TEST(CodecPng, GreyAndGreyAlphaWidenToBgra) {
    const TQvPicture G = Decode(MakePng(3, 1, 8, 0, {{0, 0x80, 0xFF}}));
    EXPECT_EQ(G.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(G.Pixel(1, 0), 0xFF808080u);
    EXPECT_EQ(G.Pixel(2, 0), 0xFFFFFFFFu);
    EXPECT_FALSE(G.HasAlpha);
    EXPECT_EQ(G.Png.Transparency, ptNone);

    const TQvPicture GA = Decode(MakePng(2, 1, 8, 4, {{0x40, 0x00, 0xC0, 0x7F}}));
    EXPECT_EQ(GA.Pixel(0, 0), 0x00404040u);
    EXPECT_EQ(GA.Pixel(1, 0), 0x7FC0C0C0u);
    EXPECT_TRUE(GA.HasAlpha);
    EXPECT_EQ(GA.Png.Transparency, ptPartial);
    EXPECT_EQ(GA.BitsPerPixel, 16);

    // 1-bit grey: the bits of one byte, most significant first.
    const TQvPicture Bits = Decode(MakePng(4, 1, 1, 0, {{0b10100000}}));
    EXPECT_EQ(Bits.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Bits.Pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(Bits.Pixel(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Bits.Pixel(3, 0), 0xFF000000u);
}

TEST(CodecPng, SixteenBitSamplesAreScaledWithRounding) {
    // R G B A, 16 bits each, big-endian. 0x01FF is 1.99 in 8 bits: rounding gives 2 where
    // keeping the high byte would give 1.
    const TQvPicture P = Decode(MakePng(2, 1, 16, 6,
                                        {{0xFF, 0xFF, 0x00, 0x00, 0x01, 0xFF, 0x80, 0x80,  //
                                          0x12, 0x12, 0x34, 0x34, 0x00, 0x00, 0xFF, 0xFF}}));
    EXPECT_EQ(P.Pixel(0, 0), 0x80FF0002u);
    EXPECT_EQ(P.Pixel(1, 0), 0xFF123400u);
    EXPECT_EQ(P.Png.BitDepth, 16);
    EXPECT_EQ(P.BitsPerPixel, 64);
}

TEST(CodecPng, PaletteTransparencyBecomesAlpha) {
    const TChunk Plte{"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255}};
    const TQvPicture P = Decode(MakePng(3, 1, 8, 3, {{0, 1, 2}}, {Plte, {"tRNS", {0, 128}}}));
    EXPECT_EQ(P.Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(P.Pixel(1, 0), 0x8000FF00u);
    EXPECT_EQ(P.Pixel(2, 0), 0xFF0000FFu);  // beyond the transparency chunk: opaque
    EXPECT_EQ(P.Png.ColorType, 3);
    EXPECT_EQ(P.Png.Transparency, ptPartial);

    // Only fully clear and opaque entries: one transparent colour, the first clear entry.
    const TQvPicture B = Decode(MakePng(3, 1, 8, 3, {{0, 1, 2}}, {Plte, {"tRNS", {255, 0}}}));
    EXPECT_EQ(B.Png.Transparency, ptBit);
    EXPECT_EQ(B.Png.TransparentColor, 0x00FF00u);
    EXPECT_EQ(B.Pixel(1, 0), 0x0000FF00u);

    // A 4-bit palette packs two pixels in a byte.
    const TQvPicture Four = Decode(MakePng(3, 1, 4, 3, {{0x21, 0x00}}, {Plte}));
    EXPECT_EQ(Four.Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(Four.Pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(Four.Pixel(2, 0), 0xFFFF0000u);
    EXPECT_FALSE(Four.HasAlpha);
}

TEST(CodecPng, TransparentColourKeyClearsMatchingPixels) {
    const TQvPicture G = Decode(MakePng(3, 1, 8, 0, {{50, 51, 50}}, {{"tRNS", {0, 50}}}));
    EXPECT_EQ(G.Pixel(0, 0), 0x00323232u);
    EXPECT_EQ(G.Pixel(1, 0), 0xFF333333u);
    EXPECT_EQ(G.Pixel(2, 0), 0x00323232u);
    EXPECT_EQ(G.Png.Transparency, ptBit);
    EXPECT_EQ(G.Png.TransparentColor, 0x323232u);

    // 16-bit RGB: the key compares all 16 bits, so a near miss stays opaque.
    const TQvPicture C = Decode(MakePng(2, 1, 16, 2,
                                        {{0x10, 0x00, 0x20, 0x00, 0x30, 0x00,  //
                                          0x10, 0x00, 0x20, 0x00, 0x30, 0x01}},
                                        {{"tRNS", {0x10, 0x00, 0x20, 0x00, 0x30, 0x00}}}));
    EXPECT_EQ(C.Pixel(0, 0) >> 24, 0u);
    EXPECT_EQ(C.Pixel(1, 0) >> 24, 255u);
    EXPECT_EQ(C.Pixel(1, 0) & 0xFFFFFF, 0x102030u);
}

TEST(CodecPng, WriterModesRoundTrip) {
    const int W = 13, H = 9;
    const std::vector<uint32_t> In = Sample(W, H);
    for (bool Interlace : {false, true}) {
        SCOPED_TRACE(Interlace);
        const Bytes Rgba = EncodePng(In.data(), W, H, {pcmRGBA, Interlace, 9});
        const TQvPicture P = Decode(Rgba);
        ASSERT_EQ(P.Width, W);
        ASSERT_EQ(P.Height, H);
        EXPECT_EQ(P.Frames[0].Pixels, In);
        EXPECT_EQ(P.Png.Interlaced, Interlace);
        EXPECT_EQ(P.Png.ColorType, 6);

        const TQvPicture Rgb = Decode(EncodePng(In.data(), W, H, {pcmRGB, Interlace, 9}));
        EXPECT_EQ(Rgb.Png.ColorType, 2);
        for (size_t I = 0; I < In.size(); ++I) ASSERT_EQ(Rgb.Frames[0].Pixels[I], In[I] | 0xFF000000u);
    }
    // Fewer than 257 colours: the palette is exact, alpha included.
    const TQvPicture Pal = Decode(EncodePng(In.data(), W, H, {pcmPalette, false, 9}));
    EXPECT_EQ(Pal.Png.ColorType, 3);
    EXPECT_EQ(Pal.Png.Transparency, ptPartial);
    EXPECT_EQ(Pal.Frames[0].Pixels, In);

    // Level 9 compresses a flat picture far better than level 0 stores it.
    const std::vector<uint32_t> Flat(64 * 64, 0xFF336699u);
    EXPECT_LT(EncodePng(Flat.data(), 64, 64, {pcmRGBA, false, 9}).size() * 20,
              EncodePng(Flat.data(), 64, 64, {pcmRGBA, false, 0}).size());
}

// Running out of memory while writing is an error, and the failed allocation's exception is
// over once it is reported (the error jump must not leave from inside its handler).
TEST(CodecPng, WriterOutOfMemoryIsAnErrorAndLeavesNoExceptionBehind) {
    if (!QV_ADDRESS_SPACE_LIMITS) GTEST_SKIP() << "the address sanitizer reserves more than any small limit";
    const int W = 2048, H = 2048;
    std::vector<uint32_t> Noise(static_cast<size_t>(W) * H);
    uint32_t X = 1;
    for (uint32_t& P : Noise) P = X = X * 1664525u + 1013904223u;
    EXPECT_EXIT(
        {
            // A few megabytes more than the process holds now; the stored picture needs 16.
            if (!QvLimitAddressSpace(6u << 20)) std::_Exit(2);
            const std::string Error = QvErrorOf([&] { EncodePng(Noise.data(), W, H, {pcmRGBA, false, 0}); });
            std::_Exit(Error == "PNG: out of memory" && std::current_exception() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(CodecPng, PaletteOfManyColoursIsReduced) {
    // 64 x 64 with 4096 colours: a median cut keeps every pixel close to its colour.
    const int W = 64, H = 64;
    std::vector<uint32_t> In(W * H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            In[Y * W + X] = 0xFF000000u | uint32_t(X * 4) << 16 | uint32_t(Y * 4) << 8 | 0x40;
    const TQvIndexedPixels Ix = BuildPalette(In.data(), In.size());
    EXPECT_FALSE(Ix.Exact);
    EXPECT_EQ(Ix.Palette.size(), 256u);
    const TQvPicture P = Decode(EncodePng(In.data(), W, H, {pcmPalette, false, 9}));
    int Worst = 0;
    for (size_t I = 0; I < In.size(); ++I)
        for (int S = 0; S < 32; S += 8)
            Worst =
                std::max(Worst, std::abs(int(In[I] >> S & 0xFF) - int(P.Frames[0].Pixels[I] >> S & 0xFF)));
    EXPECT_LE(Worst, 12);

    // Translucent entries lead, so the transparency chunk stays short.
    const uint32_t Mixed[] = {0xFF000000u, 0x80FFFFFFu, 0xFF00FF00u, 0x00000000u, 0xFF00FF00u};
    const TQvIndexedPixels M = BuildPalette(Mixed, 5);
    EXPECT_TRUE(M.Exact);
    ASSERT_EQ(M.Palette.size(), 4u);
    EXPECT_NE(M.Palette[0] >> 24, 255u);
    EXPECT_NE(M.Palette[1] >> 24, 255u);
    for (int I = 0; I < 5; ++I) EXPECT_EQ(M.Palette[M.Indices[I]], Mixed[I]);
}

TEST(CodecPng, TruncatedAndDamagedFilesFailClearly) {
    const std::vector<uint32_t> In = Sample(40, 30);
    const Bytes Good = EncodePng(In.data(), 40, 30);
    EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + 5)), "PNG: not a PNG file");
    for (size_t Cut : {size_t{8}, size_t{20}, size_t{33}, size_t{50}, Good.size() / 2, Good.size() - 20})
        EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + static_cast<ptrdiff_t>(Cut))),
                  "PNG: the file is truncated")
            << Cut;
    // Only the end marker missing: every pixel is there, and the picture loads.
    EXPECT_EQ(Decode(Bytes(Good.begin(), Good.end() - 12)).Frames[0].Pixels, In);

    Bytes BadCrc = Good;
    BadCrc[20] ^= 0x01;  // inside the header chunk
    EXPECT_NE(ErrorOf(BadCrc).find("PNG: "), std::string::npos);
    EXPECT_NE(ErrorOf(BadCrc), "no error");

    // Checksums right, compressed data wrong.
    Bytes Png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AddChunk(Png, "IHDR", {0, 0, 0, 2, 0, 0, 0, 2, 8, 0, 0, 0, 0});
    AddChunk(Png, "IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
    AddChunk(Png, "IEND", {});
    EXPECT_EQ(ErrorOf(Png).rfind("PNG: ", 0), 0u);

    // A bit depth that does not exist.
    EXPECT_EQ(ErrorOf(MakePng(1, 1, 3, 0, {{0}})).rfind("PNG: ", 0), 0u);
}

TEST(CodecPng, SizeLimitsAreCheckedBeforeDecoding) {
    // Headers alone: nothing but the size is read before the refusal.
    auto Header = [](uint32_t W, uint32_t H) {
        Bytes Png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Bytes Ihdr;
        Put32BE(Ihdr, W);
        Put32BE(Ihdr, H);
        Ihdr.insert(Ihdr.end(), {8, 6, 0, 0, 0});
        AddChunk(Png, "IHDR", Ihdr);
        return Png;
    };
    EXPECT_EQ(ErrorOf(Header(32768, 1)), "PNG: picture too large (32768 x 1 pixels)");
    EXPECT_EQ(ErrorOf(Header(1, 2000000)), "PNG: picture too large (1 x 2000000 pixels)");
    EXPECT_EQ(ErrorOf(Header(20000, 20000)), "PNG: picture too large (20000 x 20000 pixels)");
    // Within the limits the same header gets as far as the missing data.
    EXPECT_EQ(ErrorOf(Header(32767, 8192)), "PNG: the file is truncated");

    // A complete small file whose header promises 30000 x 8000 pixels.
    EXPECT_EQ(ErrorOf(MakePng(30000, 8000, 8, 6, {Bytes(16, 0)})), "PNG: the file is truncated");

    const std::vector<uint32_t> In = Sample(5, 4);
    const Bytes Small = EncodePng(In.data(), 5, 4);
    EXPECT_EQ(ErrorOf(Small, {4, 1000}), "PNG: picture too large (5 x 4 pixels)");
    EXPECT_EQ(ErrorOf(Small, {5, 19}), "PNG: picture too large (5 x 4 pixels)");
    EXPECT_EQ(Decode(Small, {5, 20}).Width, 5);
}

TEST(CodecPng, FilesRoundTripAndFailedSavesKeepTheOldFile) {
    const std::vector<uint32_t> In = Sample(7, 5);
    SavePngToFile(u"shot.png", In.data(), 7, 5);
    EXPECT_EQ(LoadPictureFromFile(u"shot.png").Frames[0].Pixels, In);

    // A name already taken by a folder: the error is reported and nothing is left behind.
    std::filesystem::create_directory("taken.png");
    const uint32_t One = 0xFFFFFFFFu;
    EXPECT_THROW(SavePngToFile(u"taken.png", &One, 1, 1), EQvError);
    EXPECT_TRUE(std::filesystem::is_directory("taken.png"));
    EXPECT_FALSE(std::filesystem::exists("taken.png.part"));
    EXPECT_THROW(SavePngToFile(u"no-such-folder/shot.png", &One, 1, 1), EQvError);
}
