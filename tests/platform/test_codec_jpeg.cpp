// JPEG reading: colour, grey and CMYK files, and bad files turned into errors instead of
// ending the process. Test files are made with the same library's encoder.
#include <gtest/gtest.h>

#include "platform/uQvJpeg.h"
#include "platform/uQvPicture.h"
#include "support/qv_address_space.h"
#include "support/qv_error_of.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes MakeJpeg(int W, int H, J_COLOR_SPACE In, int Components, const Bytes& Samples, bool Progressive = false,
               J_COLOR_SPACE Stored = JCS_UNKNOWN) {
    jpeg_compress_struct C;
    jpeg_error_mgr E;
    C.err = jpeg_std_error(&E);
    jpeg_create_compress(&C);
    unsigned char* Buf = nullptr;
    unsigned long Len = 0;
    jpeg_mem_dest(&C, &Buf, &Len);
    C.image_width = static_cast<JDIMENSION>(W);
    C.image_height = static_cast<JDIMENSION>(H);
    C.input_components = Components;
    C.in_color_space = In;
    jpeg_set_defaults(&C);
    if (Stored != JCS_UNKNOWN) jpeg_set_colorspace(&C, Stored);
    jpeg_set_quality(&C, 95, TRUE);
    if (Progressive) jpeg_simple_progression(&C);
    jpeg_start_compress(&C, TRUE);
    while (C.next_scanline < C.image_height) {
        JSAMPROW Row =
            const_cast<JSAMPROW>(Samples.data() + C.next_scanline * static_cast<size_t>(W) * Components);
        jpeg_write_scanlines(&C, &Row, 1);
    }
    jpeg_finish_compress(&C);
    Bytes Out(Buf, Buf + Len);
    jpeg_destroy_compress(&C);
    std::free(Buf);
    return Out;
}

Bytes Flat(int W, int H, std::initializer_list<uint8_t> Sample) {
    Bytes B;
    for (int I = 0; I < W * H; ++I) B.insert(B.end(), Sample);
    return B;
}

TQvPicture Decode(const Bytes& B, const TQvPictureLimits& L = {}) {
    return DecodeJpeg(B.data(), B.size(), L);
}

std::string ErrorOf(const Bytes& B, const TQvPictureLimits& L = {}) {
    return QvErrorOf([&] { Decode(B, L); });
}

// Largest difference of the colour channels; alpha must be opaque.
int Distance(uint32_t Pixel, uint8_t R, uint8_t G, uint8_t B) {
    EXPECT_EQ(Pixel >> 24, 255u);
    return std::max({std::abs(int(Pixel >> 16 & 0xFF) - R), std::abs(int(Pixel >> 8 & 0xFF) - G),
                     std::abs(int(Pixel & 0xFF) - B)});
}

// Offset of the frame header (baseline or progressive) in a file.
size_t FrameHeader(const Bytes& B) {
    for (size_t I = 0; I + 1 < B.size(); ++I)
        if (B[I] == 0xFF && (B[I + 1] == 0xC0 || B[I + 1] == 0xC2)) return I;
    ADD_FAILURE() << "no frame header";
    return 0;
}

}  // namespace

TEST(CodecJpeg, FlatColoursDecodeWithinTolerance) {
    const TQvPicture Rgb = Decode(MakeJpeg(16, 8, JCS_RGB, 3, Flat(16, 8, {200, 100, 50})));
    ASSERT_EQ(Rgb.Width, 16);
    ASSERT_EQ(Rgb.Height, 8);
    EXPECT_EQ(Rgb.Format, qfJpeg);
    EXPECT_FALSE(Rgb.HasAlpha);
    for (uint32_t P : Rgb.Frames[0].Pixels) ASSERT_LE(Distance(P, 200, 100, 50), 3);

    const TQvPicture Grey = Decode(MakeJpeg(5, 3, JCS_GRAYSCALE, 1, Flat(5, 3, {77})));
    EXPECT_EQ(Grey.BitsPerPixel, 8);
    for (uint32_t P : Grey.Frames[0].Pixels) ASSERT_LE(Distance(P, 77, 77, 77), 1);

    // Ink values stored inverted, as Adobe writers do: full magenta and yellow is red.
    for (J_COLOR_SPACE Stored : {JCS_CMYK, JCS_YCCK}) {
        const TQvPicture Cmyk =
            Decode(MakeJpeg(8, 8, JCS_CMYK, 4, Flat(8, 8, {255, 0, 0, 255}), false, Stored));
        EXPECT_EQ(Cmyk.BitsPerPixel, 32);
        for (uint32_t P : Cmyk.Frames[0].Pixels) ASSERT_LE(Distance(P, 255, 0, 0), 3);
        // Half black over no ink: mid grey.
        const TQvPicture Dark =
            Decode(MakeJpeg(8, 8, JCS_CMYK, 4, Flat(8, 8, {255, 255, 255, 128}), false, Stored));
        for (uint32_t P : Dark.Frames[0].Pixels) ASSERT_LE(Distance(P, 128, 128, 128), 3);
    }
}

TEST(CodecJpeg, ProgressiveFilesMatchBaselineOnes) {
    Bytes Ramp;
    for (int Y = 0; Y < 24; ++Y)
        for (int X = 0; X < 24; ++X) Ramp.insert(Ramp.end(), {uint8_t(X * 10), uint8_t(Y * 10), 128});
    const TQvPicture Base = Decode(MakeJpeg(24, 24, JCS_RGB, 3, Ramp));
    const TQvPicture Prog = Decode(MakeJpeg(24, 24, JCS_RGB, 3, Ramp, true));
    ASSERT_EQ(Prog.Frames[0].Pixels.size(), Base.Frames[0].Pixels.size());
    for (size_t I = 0; I < Ramp.size() / 3; ++I) {
        const uint32_t P = Prog.Frames[0].Pixels[I];
        ASSERT_LE(Distance(P, Ramp[I * 3], Ramp[I * 3 + 1], Ramp[I * 3 + 2]), 12) << I;
    }
}

TEST(CodecJpeg, TruncatedAndDamagedFilesAreErrorsNotExits) {
    Bytes Ramp;
    for (int I = 0; I < 32 * 32; ++I)
        Ramp.insert(Ramp.end(), {uint8_t(I * 7), uint8_t(I / 4), uint8_t(I * 13)});
    for (bool Progressive : {false, true}) {
        SCOPED_TRACE(Progressive);
        const Bytes Good = MakeJpeg(32, 32, JCS_RGB, 3, Ramp, Progressive);
        for (size_t Cut : {size_t{3}, size_t{40}, FrameHeader(Good) + 6, Good.size() / 2, Good.size() - 10})
            EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + static_cast<ptrdiff_t>(Cut))),
                      "JPEG: the file is truncated")
                << Cut;
    }
    const Bytes Good = MakeJpeg(8, 8, JCS_RGB, 3, Flat(8, 8, {1, 2, 3}));
    const size_t Sof = FrameHeader(Good);
    Bytes Precision = Good;
    Precision[Sof + 4] = 7;
    EXPECT_EQ(ErrorOf(Precision).rfind("JPEG: ", 0), 0u);
    EXPECT_NE(ErrorOf(Precision), "no error");
    Bytes NoComponents = Good;
    NoComponents[Sof + 9] = 0;
    EXPECT_EQ(ErrorOf(NoComponents).rfind("JPEG: ", 0), 0u);
    EXPECT_NE(ErrorOf(NoComponents), "no error");
    EXPECT_EQ(ErrorOf({0xFF, 0xD8}), "JPEG: not a JPEG file");
    // The decoder is usable again after every failure.
    EXPECT_EQ(Decode(Good).Width, 8);
}

TEST(CodecJpeg, SizeLimitsAreCheckedBeforeDecoding) {
    const Bytes Good = MakeJpeg(8, 8, JCS_RGB, 3, Flat(8, 8, {9, 9, 9}));
    const size_t Sof = FrameHeader(Good);
    auto Sized = [&](uint16_t W, uint16_t H) {
        Bytes B = Good;
        B[Sof + 5] = uint8_t(H >> 8), B[Sof + 6] = uint8_t(H);
        B[Sof + 7] = uint8_t(W >> 8), B[Sof + 8] = uint8_t(W);
        return B;
    };
    EXPECT_EQ(ErrorOf(Sized(40000, 8)), "JPEG: picture too large (40000 x 8 pixels)");
    EXPECT_EQ(ErrorOf(Sized(20000, 20000)), "JPEG: picture too large (20000 x 20000 pixels)");
    EXPECT_EQ(ErrorOf(Good, {7, 1000}), "JPEG: picture too large (8 x 8 pixels)");
    EXPECT_EQ(Decode(Good, {8, 64}).Width, 8);
}

// A few hundred bytes that declare 16384 x 16384 pixels are refused before the gigabytes such
// a picture needs are allocated, baseline and progressive (whole-picture coefficients) alike;
// a large flat picture, which compresses to little, still reads.
TEST(CodecJpeg, TinyFilesDeclaringHugePicturesFailBeforeAllocating) {
    auto Bomb = [](bool Progressive) {
        Bytes B = MakeJpeg(16, 16, JCS_RGB, 3, Flat(16, 16, {1, 2, 3}), Progressive);
        const size_t Sof = FrameHeader(B);
        B[Sof + 5] = 0x40, B[Sof + 6] = 0, B[Sof + 7] = 0x40, B[Sof + 8] = 0;
        return B;
    };
    const Bytes Baseline = Bomb(false), Progressive = Bomb(true);
    const Bytes Large = MakeJpeg(1024, 1024, JCS_RGB, 3, Flat(1024, 1024, {40, 80, 120}), true);
    const std::string Refused = "JPEG: the file is too small for its picture size (16384 x 16384 pixels)";
    EXPECT_LT(Progressive.size(), 1000u);
    EXPECT_EQ(ErrorOf(Baseline), Refused);
    EXPECT_EQ(ErrorOf(Progressive), Refused);
    if (!QV_ADDRESS_SPACE_LIMITS) GTEST_SKIP() << "the address sanitizer reserves more than any small limit";
    EXPECT_EXIT(
        {
            if (!QvLimitAddressSpace(64u << 20)) std::_Exit(2);
            const bool Ok = ErrorOf(Baseline) == Refused && ErrorOf(Progressive) == Refused &&
                            Decode(Large).Pixel(1023, 1023) != 0;
            std::_Exit(Ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
