// A form and its shadow composed into one native window with an alpha margin: every pixel
// of the composition and the exact region that takes presses.

#include "platform/backends/sdl/uQvSdlMargin.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<TGdiBitmap> Pixels(int W, int H, std::vector<uint32_t> Px) {
    auto B = TGdiBitmap::Create(W, H);
    for (int I = 0; I < W * H; ++I) B->Pixel(I % W, I / W) = Px[static_cast<size_t>(I)];
    return B;
}

}  // namespace

TEST(SdlMargin, TheFormCoversItsSidesAndOnlyWhatShowsTakesPresses) {
    constexpr uint32_t C = 0x00112233, Key = 0x00FF00FF;  // the form paints no alpha
    // A faint shadow row at constant alpha 127 (its last pixel rounds to nothing), a
    // click-through strip, and the form over both with a colour key and a region that
    // leaves out its bottom-right pixel.
    const auto Shadow = Pixels(6, 1, {0, 0x40000000, 0x80402010, 0x80402010, 0, 0x01000000});
    const auto Strip = Pixels(3, 1, {0x80000000, 0x80000000, 0x80000000});
    const auto Form = Pixels(3, 2, {C, Key, C, C, C, C});
    const TQvRegion FormShape = TQvRegion::FromRects({Rect(0, 0, 3, 1), Rect(0, 1, 2, 2)});
    const std::vector<TQvMarginLayer> Layers{
        {Rect(0, 0, 6, 1), Shadow.get(), 127, true, false, nullptr, NoColorKey},
        {Rect(0, 2, 3, 3), Strip.get(), 255, true, true, nullptr, NoColorKey},
        {Rect(1, 1, 4, 3), Form.get(), 255, false, false, &FormShape, Key},
    };
    constexpr uint32_t F = 0xFF112233;
    const std::vector<uint32_t> Want{
        0,          0x20000000, 0x40201008, 0x40201008, 0, 0,  //
        0,          F,          0,          F,          0, 0,  //
        0x80000000, F,          F,          0,          0, 0,
    };
    std::vector<uint32_t> All(18, 0xDEADBEEF);
    QvComposeMargin(Layers, Rect(0, 0, 6, 3), All.data());
    EXPECT_EQ(All, Want);
    // A part is composed alone, at its place.
    std::vector<uint32_t> Part(6, 0xDEADBEEF);
    QvComposeMargin(Layers, Rect(2, 1, 5, 3), Part.data());
    EXPECT_EQ(Part, (std::vector<uint32_t>{0, F, 0, F, 0, 0}));
    EXPECT_EQ(QvMarginInput(Layers),
              TQvRegion::FromRects({Rect(1, 0, 4, 1), Rect(1, 1, 2, 2), Rect(3, 1, 4, 2), Rect(1, 2, 3, 3)}));
    // A layer hidden by constant alpha 0 neither shows nor takes presses.
    std::vector<TQvMarginLayer> Hidden{Layers[0]};
    Hidden[0].Alpha = 0;
    QvComposeMargin(Hidden, Rect(0, 0, 6, 1), All.data());
    EXPECT_EQ(std::vector<uint32_t>(All.begin(), All.begin() + 6), std::vector<uint32_t>(6, 0));
    EXPECT_TRUE(QvMarginInput(Hidden).IsEmpty());
}
