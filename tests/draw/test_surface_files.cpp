#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "draw/uQvSurface.h"
#include "platform/uQvBmp.h"
#include "platform/uQvPicture.h"
#include "platform/uQvPng.h"

namespace {

uint32_t Get32(const std::vector<uint8_t>& B, size_t At) {
    return uint32_t{B[At]} | uint32_t{B[At + 1]} << 8 | uint32_t{B[At + 2]} << 16 | uint32_t{B[At + 3]} << 24;
}

}  // namespace

TEST(SurfaceFiles, SavesA32BitBmpEitherWayUp) {
    TSurface32 S;
    S.SetSize(2, 3);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 2; ++X) S.SetPixel(X, Y, 0x80000000u | (Y << 8) | X);
    const std::vector<uint8_t> Down = S.SaveToBytes();
    ASSERT_EQ(Down.size(), 54u + 24u);
    EXPECT_EQ(Down[0], 'B');
    EXPECT_EQ(Down[1], 'M');
    EXPECT_EQ(Get32(Down, 2), 78u);
    EXPECT_EQ(Get32(Down, 10), 54u);
    EXPECT_EQ(Get32(Down, 18), 2u);
    EXPECT_EQ(static_cast<int32_t>(Get32(Down, 22)), -3);
    EXPECT_EQ(Get32(Down, 54), S.GetPixel(0, 0));
    const std::vector<uint8_t> Up = S.SaveToBytes(true);
    EXPECT_EQ(static_cast<int32_t>(Get32(Up, 22)), 3);
    EXPECT_EQ(Get32(Up, 54), S.GetPixel(0, 2));  // last row first

    S.SaveToFile(u"saved.bmp");
    TSurface32 Back;
    Back.LoadFromFile(u"saved.bmp");
    ASSERT_EQ(Back.Width(), 2);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 2; ++X) EXPECT_EQ(Back.GetPixel(X, Y), S.GetPixel(X, Y));
}

TEST(SurfaceFiles, PicturesWithoutA32BitBitmapAreComposedOverWhite) {
    const uint32_t Px[2] = {0x80FF0000u, 0x00123456u};
    const std::vector<uint8_t> Png = EncodePng(Px, 2, 1);
    TSurface32 S;
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    S.LoadFromBytes(Png.data(), Png.size());
    EXPECT_EQ(Changes, 1);
    ASSERT_EQ(S.Width(), 2);
    // Red 255 at alpha 128 over white: (255*128 + 255*127 + 127) / 255 = 255; green and
    // blue (255*127 + 127) / 255 = 127.
    EXPECT_EQ(S.GetPixel(0, 0), 0xFFFF7F7Fu);
    EXPECT_EQ(S.GetPixel(1, 0), 0xFFFFFFFFu);
}

TEST(SurfaceFiles, ABadPictureLeavesTheSurfaceAsItWas) {
    TSurface32 S;
    S.SetSize(1, 1);
    S.Clear(0x12345678u);
    const uint8_t Junk[] = {'B', 'M', 1, 2, 3};
    EXPECT_THROW(S.LoadFromBytes(Junk, sizeof Junk), EQvError);
    EXPECT_THROW(S.LoadFromFile(u"no-such-file.png"), EQvError);
    EXPECT_THROW(S.LoadFromResourceName(nullptr, u"NO_SUCH_RESOURCE"), EQvError);
    ASSERT_EQ(S.Width(), 1);
    EXPECT_EQ(S.GetPixel(0, 0), 0x12345678u);
}
