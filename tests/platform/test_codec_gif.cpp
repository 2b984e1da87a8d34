// GIF reading: frames composited with transparency and disposal, delays, interlacing,
// and damaged files refused. Files are assembled here byte by byte.
#include <gtest/gtest.h>

#include "platform/uQvGif.h"
#include "platform/uQvPicture.h"
#include "support/qv_address_space.h"
#include "support/qv_error_of.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& B, int V) {
    B.push_back(uint8_t(V));
    B.push_back(uint8_t(V >> 8));
}

// Codes of a fixed width: a clear code comes often enough that the decoder's table never
// grows to the next width, so every pixel is one literal code.
Bytes Lzw(const Bytes& Indices, int MinCodeSize) {
    const int Clear = 1 << MinCodeSize, Width = MinCodeSize + 1;
    const int PerClear = std::max(1, Clear / 2 - 1);
    std::vector<int> Codes;
    for (size_t I = 0; I < Indices.size(); ++I) {
        if (I % PerClear == 0) Codes.push_back(Clear);
        Codes.push_back(Indices[I]);
    }
    Codes.push_back(Clear + 1);
    Bytes Packed;
    uint32_t Acc = 0;
    int Bits = 0;
    for (int C : Codes) {
        Acc |= uint32_t(C) << Bits;
        Bits += Width;
        while (Bits >= 8) {
            Packed.push_back(uint8_t(Acc));
            Acc >>= 8;
            Bits -= 8;
        }
    }
    if (Bits > 0) Packed.push_back(uint8_t(Acc));
    Bytes Out = {uint8_t(MinCodeSize)};
    for (size_t I = 0; I < Packed.size(); I += 255) {
        const size_t N = std::min<size_t>(255, Packed.size() - I);
        Out.push_back(uint8_t(N));
        Out.insert(Out.end(), Packed.begin() + I, Packed.begin() + I + N);
    }
    Out.push_back(0);
    return Out;
}

// A four-colour global table: 0 red, 1 green, 2 blue, 3 white.
const Bytes Colors4 = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

struct TGifFrame {
    int Left = 0, Top = 0, W = 1, H = 1;
    Bytes Indices;
    int Disposal = 0, DelayCs = 0, Transparent = -1;
    bool Control = true;
    bool Interlace = false;
    Bytes LocalColors;  // four colours when set
};

Bytes MakeGif(int W, int H, const std::vector<TGifFrame>& Frames, bool GlobalColors = true, int Loops = -1) {
    Bytes B = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(B, W);
    Put16(B, H);
    B.push_back(GlobalColors ? 0x81 : 0x00);  // table of 4 entries
    B.push_back(0);
    B.push_back(0);
    if (GlobalColors) B.insert(B.end(), Colors4.begin(), Colors4.end());
    if (Loops >= 0) {
        B.insert(B.end(), {0x21, 0xFF, 11});
        for (char C : std::string("NETSCAPE2.0")) B.push_back(uint8_t(C));
        B.insert(B.end(), {3, 1, uint8_t(Loops), uint8_t(Loops >> 8), 0});
    }
    for (const TGifFrame& F : Frames) {
        if (F.Control) {
            B.insert(B.end(), {0x21, 0xF9, 4, uint8_t(F.Disposal << 2 | (F.Transparent >= 0 ? 1 : 0))});
            Put16(B, F.DelayCs);
            B.push_back(uint8_t(F.Transparent >= 0 ? F.Transparent : 0));
            B.push_back(0);
        }
        B.push_back(0x2C);
        Put16(B, F.Left);
        Put16(B, F.Top);
        Put16(B, F.W);
        Put16(B, F.H);
        B.push_back(uint8_t((F.LocalColors.empty() ? 0 : 0x81) | (F.Interlace ? 0x40 : 0)));
        B.insert(B.end(), F.LocalColors.begin(), F.LocalColors.end());
        const Bytes Data = Lzw(F.Indices, 2);
        B.insert(B.end(), Data.begin(), Data.end());
    }
    B.push_back(0x3B);
    return B;
}

TQvPicture Decode(const Bytes& B, const TQvPictureLimits& L = {}) {
    return DecodeGif(B.data(), B.size(), L);
}

std::string ErrorOf(const Bytes& B, const TQvPictureLimits& L = {}) {
    return QvErrorOf([&] { Decode(B, L); });
}

constexpr uint32_t Red = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu, White = 0xFFFFFFFFu, Clear = 0;

}  // namespace

TEST(CodecGif, StillPictureWithTransparentIndex) {
    TGifFrame F;
    F.W = 3, F.H = 2;
    F.Indices = {0, 1, 2, 3, 1, 0};
    const TQvPicture P = Decode(MakeGif(3, 2, {F}));
    ASSERT_EQ(P.Frames.size(), 1u);
    EXPECT_EQ(P.Frames[0].Pixels, (std::vector<uint32_t>{Red, Green, Blue, White, Green, Red}));
    EXPECT_FALSE(P.HasAlpha);
    EXPECT_EQ(P.Format, qfGif);

    F.Transparent = 1;
    const TQvPicture T = Decode(MakeGif(3, 2, {F}));
    EXPECT_EQ(T.Frames[0].Pixels, (std::vector<uint32_t>{Red, Clear, Blue, White, Clear, Red}));
    EXPECT_TRUE(T.HasAlpha);

    // A local table replaces the global one for its frame.
    F.Transparent = -1;
    F.LocalColors = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    EXPECT_EQ(Decode(MakeGif(3, 2, {F})).Pixel(2, 0), 0xFF030303u);
}

TEST(CodecGif, AnimationAppliesDisposalModes) {
    TGifFrame Back;  // red screen, kept
    Back.W = 4, Back.H = 4, Back.Indices = Bytes(16, 0), Back.Disposal = 1, Back.DelayCs = 5;
    TGifFrame Square;  // blue square at (1,1) with one transparent pixel, then cleared
    Square.Left = 1, Square.Top = 1, Square.W = 2, Square.H = 2;
    Square.Indices = {2, 1, 2, 2}, Square.Transparent = 1, Square.Disposal = 2, Square.DelayCs = 0;
    TGifFrame Dot;  // green dot at (0,0), then the screen as it was before it
    Dot.Indices = {1}, Dot.Disposal = 3, Dot.DelayCs = 1;
    TGifFrame Corner;  // white dot at (3,3)
    Corner.Left = 3, Corner.Top = 3, Corner.Indices = {3}, Corner.DelayCs = 2;
    const TQvPicture P = Decode(MakeGif(4, 4, {Back, Square, Dot, Corner}, true, 0));
    ASSERT_EQ(P.Frames.size(), 4u);
    EXPECT_EQ(P.Width, 4);
    EXPECT_EQ(P.LoopCount, 0);

    EXPECT_EQ(P.Frames[0].Pixels, std::vector<uint32_t>(16, Red));
    EXPECT_EQ(P.Pixel(1, 1, 1), Blue);
    EXPECT_EQ(P.Pixel(2, 1, 1), Red);  // transparent pixel shows the frame below
    EXPECT_EQ(P.Pixel(2, 2, 1), Blue);
    EXPECT_EQ(P.Pixel(0, 0, 1), Red);

    EXPECT_EQ(P.Pixel(0, 0, 2), Green);
    for (int Y = 1; Y <= 2; ++Y)
        for (int X = 1; X <= 2; ++X) EXPECT_EQ(P.Pixel(X, Y, 2), Clear) << X << "," << Y;
    EXPECT_EQ(P.Pixel(3, 3, 2), Red);

    EXPECT_EQ(P.Pixel(0, 0, 3), Red);  // the dot was taken back
    EXPECT_EQ(P.Pixel(1, 1, 3), Clear);
    EXPECT_EQ(P.Pixel(3, 3, 3), White);
    EXPECT_TRUE(P.HasAlpha);

    // 5 cs plays as 50 ms; 0 and 1 cs (10 ms) play as 100 ms; 2 cs as 20 ms.
    EXPECT_EQ(P.Frames[0].DelayMs, 50);
    EXPECT_EQ(P.Frames[1].DelayMs, 100);
    EXPECT_EQ(P.Frames[2].DelayMs, 100);
    EXPECT_EQ(P.Frames[3].DelayMs, 20);

    // Without a looping extension the count stays 0; with one it is read.
    EXPECT_EQ(Decode(MakeGif(4, 4, {Back}, true, 3)).LoopCount, 3);
}

TEST(CodecGif, InterlacedAndClippedFrames) {
    // Eight rows, each filled with the colour of its row number mod 4, stored in the
    // interlaced order 0, 4 | 2, 6 | 1, 3, 5, 7.
    TGifFrame F;
    F.W = 2, F.H = 8, F.Interlace = true;
    for (int Row : {0, 4, 2, 6, 1, 3, 5, 7})
        F.Indices.insert(F.Indices.end(), {uint8_t(Row % 4), uint8_t(Row % 4)});
    const TQvPicture P = Decode(MakeGif(2, 8, {F}));
    const uint32_t ByRow[4] = {Red, Green, Blue, White};
    for (int Y = 0; Y < 8; ++Y) EXPECT_EQ(P.Pixel(1, Y), ByRow[Y % 4]) << Y;

    // A frame hanging over the screen's edge is cut to it.
    TGifFrame Over;
    Over.Left = 1, Over.Top = 1, Over.W = 3, Over.H = 3, Over.Indices = Bytes(9, 2);
    const TQvPicture C = Decode(MakeGif(2, 2, {Over}));
    EXPECT_EQ(C.Frames[0].Pixels, (std::vector<uint32_t>{Clear, Clear, Clear, Blue}));

    // A screen of no size takes the first frame's extent.
    const TQvPicture Z = Decode(MakeGif(0, 0, {Over}));
    EXPECT_EQ(Z.Width, 4);
    EXPECT_EQ(Z.Height, 4);
    EXPECT_EQ(Z.Pixel(3, 3), Blue);
}

TEST(CodecGif, TruncatedAndDamagedFilesFailClearly) {
    TGifFrame F;
    F.W = 16, F.H = 16, F.Indices = Bytes(256, 2);
    const Bytes Good = MakeGif(16, 16, {F, F});
    EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + 4)), "GIF: not a GIF file");
    for (size_t Cut : {size_t{10}, size_t{20}, size_t{40}, Good.size() / 2, Good.size() - 5})
        EXPECT_EQ(ErrorOf(Bytes(Good.begin(), Good.begin() + static_cast<ptrdiff_t>(Cut))),
                  "GIF: the file is truncated")
            << Cut;
    // Complete frames without the trailer still play.
    EXPECT_EQ(Decode(Bytes(Good.begin(), Good.end() - 1)).Frames.size(), 2u);

    EXPECT_EQ(ErrorOf(MakeGif(16, 16, {F}, false)), "GIF: a frame has no colour table");
    EXPECT_EQ(ErrorOf(MakeGif(4, 4, {})), "GIF: the file holds no picture");

    // A code that is not yet in the table.
    TGifFrame One;
    One.Indices = {0};
    Bytes BadCode = MakeGif(1, 1, {One});
    const Bytes Lz = Lzw({0}, 2);
    const size_t At = BadCode.size() - 1 - Lz.size();
    ASSERT_EQ(BadCode[At], 2);
    BadCode[At + 2] = 0x3F;  // codes 7 then 7 (a code past the table) instead of clear, 0
    EXPECT_EQ(ErrorOf(BadCode).rfind("GIF: damaged data", 0), 0u) << ErrorOf(BadCode);
}

TEST(CodecGif, SizeLimitsCoverScreenFramesAndAllFramesTogether) {
    TGifFrame F;
    F.Indices = {0};
    EXPECT_EQ(ErrorOf(MakeGif(32768, 1, {F})), "GIF: picture too large (32768 x 1 pixels)");
    EXPECT_EQ(ErrorOf(MakeGif(20000, 20000, {F})), "GIF: picture too large (20000 x 20000 pixels)");
    TGifFrame Wide = F;
    Wide.W = 40000;
    EXPECT_EQ(ErrorOf(MakeGif(1, 1, {Wide})), "GIF: picture too large (40000 x 1 pixels)");

    // Each frame is a full screen: 10 x 10 screens, 3 frames, 300 pixels in all.
    TGifFrame Full;
    Full.W = 10, Full.H = 10, Full.Indices = Bytes(100, 1);
    EXPECT_EQ(Decode(MakeGif(10, 10, {Full, Full, Full}), {100, 300}).Frames.size(), 3u);
    EXPECT_EQ(ErrorOf(MakeGif(10, 10, {Full, Full, Full}), {100, 299}),
              "GIF: picture too large (3 frames of 10 x 10 pixels)");
}

// A screen of 16384 x 16384 pixels declared by a few bytes costs only what its frames need:
// the canvas reaches as far as the frames do, a frame is held only as its data arrives, and
// disposal keeps only the frame's rectangle.
TEST(CodecGif, TinyFilesDeclaringHugeScreensAllocateOnlyWhatTheirFramesNeed) {
    TGifFrame Dot;
    Dot.Indices = {2};
    TGifFrame Later = Dot;
    Later.Left = 5, Later.Top = 3, Later.Indices = {1}, Later.Disposal = 3;
    TGifFrame Huge;
    Huge.W = 16384, Huge.H = 16384, Huge.Indices = Bytes(64, 1);
    const Bytes Small = MakeGif(16384, 16384, {Dot, Later, Dot}), Truncated = MakeGif(16384, 16384, {Huge});
    auto Check = [&] {
        const TQvPicture P = Decode(Small);
        return P.Width == 6 && P.Height == 4 && P.Frames.size() == 3 && P.Pixel(0, 0) == Blue &&
               P.Pixel(5, 3) == Clear && P.Pixel(5, 3, 1) == Green && P.Pixel(5, 3, 2) == Clear &&
               ErrorOf(Truncated) == "GIF: the file is truncated";
    };
    EXPECT_LT(Truncated.size(), 200u);
    EXPECT_TRUE(Check()) << ErrorOf(Small) << " / " << ErrorOf(Truncated);
    if (!QV_ADDRESS_SPACE_LIMITS) GTEST_SKIP() << "the address sanitizer reserves more than any small limit";
    EXPECT_EXIT(
        {
            if (!QvLimitAddressSpace(64u << 20)) std::_Exit(2);
            std::_Exit(Check() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
