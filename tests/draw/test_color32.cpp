#include <gtest/gtest.h>

#include "draw/uQvColor32.h"

TEST(Color32, ComposesAndConverts) {
    EXPECT_EQ(Color32(0x12, 0x34, 0x56, 0x78), 0x78123456u);
    EXPECT_EQ(ToColor32(clRed), 0xFFFF0000u);
    EXPECT_EQ(ToColor32(0x00332211), 0xFF112233u);
    // System colours resolve first (button face 0xF0F0F0), and the no-colour value
    // reads as opaque white.
    EXPECT_EQ(ToColor32(clBtnFace), 0xFFF0F0F0u);
    EXPECT_EQ(ToColor32(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(FromColor32(0x80112233u), 0x00332211);
    EXPECT_EQ(Gray32(0x40, 0x80), 0x80404040u);
}

TEST(Color32, CoverageGammaTable) {
    const uint8_t* G = CoverageGamma();
    for (int I = 0; I <= 5; ++I) EXPECT_EQ(G[I], 0) << I;
    EXPECT_EQ(G[6], 1);
    EXPECT_EQ(G[64], 28);
    EXPECT_EQ(G[127], 84);
    EXPECT_EQ(G[128], 85);
    EXPECT_EQ(G[192], 162);
    EXPECT_EQ(G[255], 255);
    for (int I = 1; I < 256; ++I) EXPECT_LE(G[I - 1], G[I]) << I;
}
