// Bitmap files: the writer's exact bytes, the reader on every layout it accepts, and
// damaged or oversized files refused.
#include <gtest/gtest.h>

#include "platform/uQvBmp.h"
#include "platform/uQvPicture.h"
#include "support/qv_error_of.h"

#include <climits>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& B, uint32_t V) {
    B.push_back(uint8_t(V));
    B.push_back(uint8_t(V >> 8));
}
void Put32(Bytes& B, uint32_t V) {
    for (int S = 0; S < 32; S += 8) B.push_back(uint8_t(V >> S));
}
uint32_t Get32(const Bytes& B, size_t At) {
    return B[At] | uint32_t(B[At + 1]) << 8 | uint32_t(B[At + 2]) << 16 | uint32_t(B[At + 3]) << 24;
}

// A file with a 40-byte (or larger) information header; Extra follows the header
// (masks, palette) and the pixel rows follow Extra.
Bytes MakeBmp(int32_t W, int32_t H, uint16_t Bits, uint32_t Compression, const Bytes& Extra,
              const Bytes& Pixels, uint32_t InfoSize = 40, uint32_t ColorsUsed = 0) {
    Bytes B = {'B', 'M'};
    const uint32_t Offset = 14 + InfoSize + static_cast<uint32_t>(Extra.size());
    Put32(B, Offset + static_cast<uint32_t>(Pixels.size()));
    Put32(B, 0);
    Put32(B, Offset);
    Put32(B, InfoSize);
    Put32(B, static_cast<uint32_t>(W));
    Put32(B, static_cast<uint32_t>(H));
    Put16(B, 1);
    Put16(B, Bits);
    Put32(B, Compression);
    Put32(B, static_cast<uint32_t>(Pixels.size()));
    Put32(B, 2835);
    Put32(B, 2835);
    Put32(B, ColorsUsed);
    Put32(B, 0);
    B.resize(14 + InfoSize, 0);
    B.insert(B.end(), Extra.begin(), Extra.end());
    B.insert(B.end(), Pixels.begin(), Pixels.end());
    return B;
}

TQvPicture Decode(const Bytes& B, const TQvPictureLimits& L = {}) {
    return DecodeBmp(B.data(), B.size(), L);
}

std::string ErrorOf(const Bytes& B, const TQvPictureLimits& L = {}) {
    return QvErrorOf([&] { Decode(B, L); });
}

}  // namespace

TEST(CodecBmp, WriterHeaderBytesAreExact) {
    const uint32_t Px[6] = {0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00, 0x01020304, 0x05060708};
    for (bool BottomUp : {false, true}) {
        SCOPED_TRACE(BottomUp);
        const Bytes B = EncodeBmp32(Px, 3, 2, BottomUp);
        ASSERT_EQ(B.size(), 54u + 24u);
        EXPECT_EQ(B[0], 'B');
        EXPECT_EQ(B[1], 'M');
        EXPECT_EQ(Get32(B, 2), 78u);   // file size
        EXPECT_EQ(Get32(B, 6), 0u);    // reserved
        EXPECT_EQ(Get32(B, 10), 54u);  // pixel offset
        EXPECT_EQ(Get32(B, 14), 40u);
        EXPECT_EQ(Get32(B, 18), 3u);
        EXPECT_EQ(static_cast<int32_t>(Get32(B, 22)), BottomUp ? 2 : -2);
        EXPECT_EQ(B[26] | B[27] << 8, 1);   // planes
        EXPECT_EQ(B[28] | B[29] << 8, 32);  // bits
        EXPECT_EQ(Get32(B, 30), 0u);        // no compression
        EXPECT_EQ(Get32(B, 34), 24u);       // image size
        for (size_t At = 38; At < 54; At += 4) EXPECT_EQ(Get32(B, At), 0u) << At;
        // Pixels as stored, B G R A; bottom-up files start with the last row.
        const size_t First = BottomUp ? 3 : 0;
        EXPECT_EQ(Get32(B, 54), Px[First]);
        EXPECT_EQ(B[54], BottomUp ? 0x00 : 0x44);  // blue first
        EXPECT_EQ(B[57], BottomUp ? 0xDD : 0x11);  // alpha last
        EXPECT_EQ(Get32(B, 54 + 12), Px[3 - First]);

        const TQvPicture P = Decode(B);
        EXPECT_EQ(P.Frames[0].Pixels, std::vector<uint32_t>(Px, Px + 6));
        EXPECT_EQ(P.BitsPerPixel, 32);
        EXPECT_TRUE(P.HasAlpha);
    }
    const Bytes Empty = EncodeBmp32(nullptr, 0, 0);
    EXPECT_EQ(Empty.size(), 54u);
    EXPECT_EQ(Get32(Empty, 2), 54u);
    EXPECT_THROW(EncodeBmp32(Px, -1, 2), EQvError);
    EXPECT_THROW(EncodeBmp32(Px, 40000, 1), EQvError);
}

TEST(CodecBmp, TwentyFourBitRowsArePaddedAndOriented) {
    // 3 x 2: rows of 9 bytes padded to 12.
    const Bytes Row0 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE};
    const Bytes Row1 = {10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    Bytes BottomUp = Row1;
    BottomUp.insert(BottomUp.end(), Row0.begin(), Row0.end());
    Bytes TopDown = Row0;
    TopDown.insert(TopDown.end(), Row1.begin(), Row1.end());
    for (const Bytes& File : {MakeBmp(3, 2, 24, 0, {}, BottomUp), MakeBmp(3, -2, 24, 0, {}, TopDown)}) {
        const TQvPicture P = Decode(File);
        ASSERT_EQ(P.Width, 3);
        ASSERT_EQ(P.Height, 2);
        EXPECT_EQ(P.Pixel(0, 0), 0xFF030201u);
        EXPECT_EQ(P.Pixel(2, 0), 0xFF090807u);
        EXPECT_EQ(P.Pixel(1, 1), 0xFF0F0E0Du);
        EXPECT_FALSE(P.HasAlpha);
        EXPECT_EQ(P.BitsPerPixel, 24);
    }
    // The last row may lack its padding.
    Bytes Short = MakeBmp(3, -2, 24, 0, {}, TopDown);
    Short.resize(Short.size() - 3);
    EXPECT_EQ(Decode(Short).Pixel(2, 1), 0xFF121110u);
}

TEST(CodecBmp, BitFieldsAndSixteenBitPixels) {
    // 32-bit with masks after a 40-byte header, channels in unusual places, no alpha mask.
    Bytes Masks;
    Put32(Masks, 0x000000FF);  // red
    Put32(Masks, 0x0000FF00);  // green
    Put32(Masks, 0x00FF0000);  // blue
    const TQvPicture P = Decode(MakeBmp(1, 1, 32, 3, Masks, {0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(P.Pixel(0, 0), 0xFF112233u);
    EXPECT_FALSE(P.HasAlpha);

    // A 124-byte header carries all four masks itself.
    Bytes V5(124 - 40, 0);
    const uint32_t V5Masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    for (int I = 0; I < 4; ++I)
        for (int S = 0; S < 4; ++S) V5[I * 4 + S] = uint8_t(V5Masks[I] >> (8 * S));
    Bytes V5File = MakeBmp(1, 1, 32, 3, {}, {0x30, 0x20, 0x10, 0x80}, 124);
    std::copy(V5.begin(), V5.end(), V5File.begin() + 54);
    const TQvPicture A = Decode(V5File);
    EXPECT_EQ(A.Pixel(0, 0), 0x80102030u);
    EXPECT_TRUE(A.HasAlpha);

    // 16-bit 5-5-5 without masks; 5-bit values widen with rounding (31 -> 255, 16 -> 132, 1 -> 8).
    const TQvPicture S = Decode(MakeBmp(2, 1, 16, 0, {}, {0x1F, 0x7C, 0x01, 0x40}));
    EXPECT_EQ(S.Pixel(0, 0), 0xFFFF00FFu);
    EXPECT_EQ(S.Pixel(1, 0), 0xFF840008u);
    // 5-6-5 through masks.
    Bytes M565;
    Put32(M565, 0xF800);
    Put32(M565, 0x07E0);
    Put32(M565, 0x001F);
    EXPECT_EQ(Decode(MakeBmp(1, 1, 16, 3, M565, {0xE0, 0x07, 0, 0})).Pixel(0, 0), 0xFF00FF00u);
}

TEST(CodecBmp, PalettesOfOneFourAndEightBits) {
    const Bytes Pal = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};  // red green blue white
    const TQvPicture P8 = Decode(MakeBmp(3, 1, 8, 0, Pal, {3, 0, 2, 0}, 40, 4));
    EXPECT_EQ(P8.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(P8.Pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(P8.Pixel(2, 0), 0xFF0000FFu);
    const TQvPicture P4 = Decode(MakeBmp(3, 1, 4, 0, Pal, {0x12, 0x30, 0, 0}, 40, 4));
    EXPECT_EQ(P4.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(P4.Pixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(P4.Pixel(2, 0), 0xFFFFFFFFu);
    const TQvPicture P1 = Decode(MakeBmp(3, 1, 1, 0, Pal, {0xA0, 0, 0, 0}, 40, 2));
    EXPECT_EQ(P1.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(P1.Pixel(1, 0), 0xFFFF0000u);
    // An index past the stored colours shows black rather than reading past the table.
    EXPECT_EQ(Decode(MakeBmp(1, 1, 8, 0, Pal, {200, 0, 0, 0}, 40, 4)).Pixel(0, 0), 0xFF000000u);
}

TEST(CodecBmp, UnusedFourthByteMeansOpaque) {
    // Many writers leave the fourth byte of 32-bit pixels at 0.
    const TQvPicture Zero = Decode(MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(Zero.Pixel(0, 0), 0xFF030201u);
    EXPECT_EQ(Zero.Pixel(1, 0), 0xFF060504u);
    EXPECT_FALSE(Zero.HasAlpha);
    // One used alpha byte and every alpha is kept, zeros included.
    const TQvPicture Used = Decode(MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 9}));
    EXPECT_EQ(Used.Pixel(0, 0), 0x00030201u);
    EXPECT_EQ(Used.Pixel(1, 0), 0x09060504u);
    // The same through an alpha mask.
    Bytes Masks;
    for (uint32_t M : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(Masks, M);
    const TQvPicture Masked = Decode(MakeBmp(1, 1, 32, 6, Masks, {1, 2, 3, 0}));
    EXPECT_EQ(Masked.Pixel(0, 0), 0xFF030201u);
    EXPECT_FALSE(Masked.HasAlpha);
    // A fully clear black picture stays clear.
    EXPECT_EQ(Decode(MakeBmp(1, 1, 32, 0, {}, {0, 0, 0, 0})).Pixel(0, 0), 0u);
}

TEST(CodecBmp, DamagedAndTruncatedFilesFailClearly) {
    const Bytes Good = MakeBmp(4, 4, 24, 0, {}, Bytes(48, 7));
    EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + 10)), "BMP: the file is truncated");
    EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + 40)), "BMP: the file is truncated");
    EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.end() - 13)), "BMP: the file is truncated");
    EXPECT_EQ(ErrorOf({'P', 'K', 3, 4}), "BMP: not a BMP file");

    Bytes OddHeader = Good;
    OddHeader[14] = 20;
    EXPECT_EQ(ErrorOf(OddHeader), "BMP: unsupported header size 20");
    EXPECT_EQ(ErrorOf(MakeBmp(4, 4, 8, 1, Bytes(1024, 0), Bytes(16, 0))),
              "BMP: unsupported compression 1 for 8-bit pixels");
    EXPECT_EQ(ErrorOf(MakeBmp(4, 4, 7, 0, {}, Bytes(64, 0))), "BMP: unsupported bit count 7");
    EXPECT_EQ(ErrorOf(MakeBmp(-4, 4, 24, 0, {}, Bytes(48, 0))), "BMP: damaged header (negative width)");

    Bytes InsideHeader = Good;
    InsideHeader[10] = 20;
    EXPECT_EQ(ErrorOf(InsideHeader), "BMP: damaged header (pixel data offset 20)");
    Bytes PastEnd = Good;
    PastEnd[12] = 0x10;
    EXPECT_EQ(ErrorOf(PastEnd), "BMP: the file is truncated");
    // An 8-bit file whose colour table is cut short, or has no room at all.
    Bytes CutTable = MakeBmp(1, 1, 8, 0, Bytes(1024, 0), {0, 0, 0, 0});
    CutTable.resize(154);
    EXPECT_EQ(ErrorOf(CutTable), "BMP: the file is truncated");
    EXPECT_EQ(ErrorOf(MakeBmp(1, 1, 8, 0, {1, 2}, {0, 0, 0, 0})), "BMP: damaged header (empty colour table)");
}

TEST(CodecBmp, SizeLimitsAreCheckedBeforeDecoding) {
    EXPECT_EQ(ErrorOf(MakeBmp(32768, 1, 24, 0, {}, {})), "BMP: picture too large (32768 x 1 pixels)");
    EXPECT_EQ(ErrorOf(MakeBmp(20000, -20000, 32, 0, {}, {})),
              "BMP: picture too large (20000 x 20000 pixels)");
    EXPECT_EQ(ErrorOf(MakeBmp(1, INT_MIN, 24, 0, {}, {})), "BMP: picture too large (1 x 2147483648 pixels)");
    // Allowed sizes reach the check of the pixel data.
    EXPECT_EQ(ErrorOf(MakeBmp(32767, 8192, 24, 0, {}, {})), "BMP: the file is truncated");
    const Bytes Small = MakeBmp(3, 3, 24, 0, {}, Bytes(36, 0));
    EXPECT_EQ(ErrorOf(Small, {2, 100}), "BMP: picture too large (3 x 3 pixels)");
    EXPECT_EQ(Decode(Small, {3, 9}).Width, 3);
}
