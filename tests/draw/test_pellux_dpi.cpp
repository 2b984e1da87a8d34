#include <gtest/gtest.h>

#include <vector>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxScale.h"
#include "framework/uQvControl.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvImgList.h"

namespace {

// Turns the process-wide switch on for one test and back off after it.
struct THighDpiOn {
    THighDpiOn() { HighDPIEnabled = true; }
    ~THighDpiOn() {
        HighDPIEnabled = false;
        SetDefaultDPIControlSource(nullptr);
    }
};

}  // namespace

TEST(DPI, SizesAtCommonPixelsPerInchRoundHalvesAwayFromZero) {
    struct TCase {
        int PPI, Value, Scaled;
    };
    // Every exact half (x.5) goes away from zero, as the platform's MulDiv does.
    const TCase Cases[] = {{120, 2, 3},   {120, 22, 28}, {120, -2, -3}, {144, 1, 2},   {144, 17, 26},
                           {144, -1, -2}, {168, 2, 4},   {168, 6, 11},  {168, 1, 2},   {192, 7, 14},
                           {192, -3, -6}, {240, 1, 3},   {240, 3, 8},   {240, -1, -3}, {288, 5, 15}};
    EXPECT_EQ(ScaleValueByPPI(17, 144), 17);
    EXPECT_EQ(DPIScaleOf(144), 1.0);
    THighDpiOn On;
    for (const TCase& C : Cases)
        EXPECT_EQ(ScaleValueByPPI(C.Value, C.PPI), C.Scaled) << C.PPI << " " << C.Value;
    EXPECT_EQ(DPIScaleOf(168), 1.75);
}

TEST(DPI, ControlsScreenAndFonts) {
    TControl Control(nullptr);
    Control.ScaleForPPI(144);
    TFont Font;
    Font.SetSize(9);
    EXPECT_EQ(ScaleByDPI(&Control, 17), 17);
    ScaleFontByDPI(&Control, &Font);
    EXPECT_EQ(Font.Size(), 9);

    THighDpiOn On;
    EXPECT_EQ(ScaleByDPI(&Control, 17), 26);
    EXPECT_EQ(ScaleByDPI(nullptr, 17), MulDiv(17, ScreenPixelsPerInch(), 96));
    TPoint P;
    ScalePointByDPI(&Control, Point(3, -1), P);
    EXPECT_EQ(P, Point(5, -2));
    EXPECT_EQ(GetDPIScale(&Control), 1.5);
    // A nil control stands for the main or active form once the application names one.
    EXPECT_EQ(GetDPIScale(nullptr), ScreenPixelsPerInch() / 96.0);
    SetDefaultDPIControlSource([&] { return &Control; });
    EXPECT_EQ(GetDPIScale(nullptr), 1.5);
    EXPECT_TRUE(IsHighDPI());
    ScaleFontByDPI(&Control, &Font);
    EXPECT_EQ(Font.Size(), 14);

    TFont Target;
    Target.SetStyle(TFontStyles{fsBold});
    Target.SetColor(0x123456);
    Font.SetName(u"DejaVu Sans");
    CopyFontKeepStyle(&Font, &Target);
    EXPECT_EQ(Target.Name(), u"DejaVu Sans");
    EXPECT_EQ(Target.Size(), 14);
    EXPECT_EQ(Target.Style(), TFontStyles{fsBold});
    EXPECT_EQ(Target.Color(), 0x123456);
}

TEST(DPI, ImageListIconsScaleAt144And192ButNotAt96) {
    TImageList List(nullptr);
    List.SetSize(16, 16);
    std::vector<uint32_t> Pixels(16 * 16, 0xFF2040C0u);
    Pixels[0] = 0x00000000u;  // a transparent corner stays transparent
    ASSERT_EQ(List.AddPixels(Pixels.data(), 16, 16, 16 * 4), 0);
    TControl Control(nullptr);
    TSurface32 Icon;
    Icon.SetSize(3, 3);

    Control.ScaleForPPI(144);
    EXPECT_FALSE(ScaleImageListIcon(&Control, &List, 0, &Icon));  // switch off: scale 1
    THighDpiOn On;
    EXPECT_FALSE(ScaleImageListIcon(&Control, &List, 1, &Icon));
    EXPECT_FALSE(ScaleImageListIcon(&Control, nullptr, 0, &Icon));
    EXPECT_EQ(Icon.Width(), 3);
    ASSERT_TRUE(ScaleImageListIcon(&Control, &List, 0, &Icon));
    EXPECT_EQ(Icon.Width(), 24);
    EXPECT_EQ(Icon.Height(), 24);
    EXPECT_EQ(Icon.DrawMode(), dmBlend);
    EXPECT_EQ(Icon.GetPixel(12, 12), 0xFF2040C0u);
    EXPECT_EQ(Icon.GetPixel(0, 0) >> 24, 0u);

    Control.ScaleForPPI(192);
    ASSERT_TRUE(ScaleImageListIcon(&Control, &List, 0, &Icon));
    EXPECT_EQ(Icon.Width(), 32);
    EXPECT_EQ(Icon.Height(), 32);
    EXPECT_EQ(Icon.GetPixel(20, 20), 0xFF2040C0u);

    Control.ScaleForPPI(96);
    Icon.SetSize(3, 3);
    EXPECT_FALSE(ScaleImageListIcon(&Control, &List, 0, &Icon));
    EXPECT_EQ(Icon.Width(), 3);
}
