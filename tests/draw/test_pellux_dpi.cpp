#include <gtest/gtest.h>

#include "draw/uPelluxDPI.h"
#include "framework/uQvControl.h"
#include "framework/uQvGraphics.h"

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
