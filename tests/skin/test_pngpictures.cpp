#include <gtest/gtest.h>

#include <cstring>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxStrips.h"
#include "framework/uQvControl.h"
#include "skin/uPelluxResDM.h"
#include "skin/uPngPictures.h"

namespace {

class PngPictures : public ::testing::Test {
protected:
    void TearDown() override {
        FreeSkinResManager();
        FreePelluxResDM();
        HighDPIEnabled = false;
        SetDefaultDPIControlSource(nullptr);
    }
    TControl Dpi{nullptr};
};

}  // namespace

TEST_F(PngPictures, CutsTheFrameOfEachStateAndTellsChangesAsTheSettersSay) {
    TPngPictures P;
    int Told = 0;
    P.SetPicturesChanged([&](TObject* Sender) {
        EXPECT_EQ(Sender, &P);
        ++Told;
    });
    EXPECT_EQ(Told, 1);
    TPelluxImage Frame;
    EXPECT_FALSE(P.GetNormalImage(&Frame));
    P.SetImage(u"PelluxCheckBox");
    P.SetCount(4);
    EXPECT_EQ(Told, 3);
    P.SetImage(u"PelluxCheckBox");
    P.SetPressed(3);
    EXPECT_EQ(Told, 3);
    P.SetHot(1);
    EXPECT_EQ(Told, 4);
    P.Lock();
    P.Lock();
    P.SetHot(3);
    P.UnLock();
    EXPECT_EQ(Told, 4);

    EXPECT_EQ(P.GetSingleWidth(), 17);
    EXPECT_EQ(P.GetSingleHeight(), 17);
    EXPECT_EQ(P.SourceSize().cx, 68);
    ASSERT_TRUE(P.GetHotImage(&Frame));
    TPelluxImage Expected;
    P.SourceImage()->CopyPropertiesTo(&Expected);
    Expected.SetSize(17, 17);
    CutFrameByTransform(P.SourceImage(), Rect(51, 0, 68, 17), &Expected);
    ASSERT_EQ(Frame.Width(), 17);
    EXPECT_EQ(std::memcmp(Frame.Bits(), Expected.Bits(), 17 * 17 * 4), 0);
    EXPECT_EQ(Frame.DrawMode(), dmBlend);
    // A frame past the count fails and leaves the image as it was.
    EXPECT_FALSE(P.GetFrame(4, &Frame));
    EXPECT_EQ(Frame.Width(), 17);

    TPngPictures V;
    V.SetMultiLineMode(true);
    V.SetImage(u"PelluxBrower_up");
    V.SetCount(4);
    ASSERT_TRUE(V.GetFrame(3, &Frame));
    EXPECT_EQ(Frame.Width(), 29);
    EXPECT_EQ(Frame.Height(), 30);
    V.SetCount(0);
    EXPECT_EQ(V.GetSingleHeight(), 0);
}

TEST_F(PngPictures, ResolvesAgainWhenTheDPIChangesOrTheListIsReplaced) {
    HighDPIEnabled = true;
    Dpi.ScaleForPPI(96);
    SetDefaultDPIControlSource([this] { return &Dpi; });
    TPngPictures P;
    P.SetImage(u"PelluxCheckBox");
    P.SetCount(4);
    TPelluxImage* Base = P.SourceImage();
    int Told = 0;
    P.SetPicturesChanged([&](TObject*) { ++Told; });
    Dpi.ScaleForPPI(144);
    TPelluxImage Frame;
    ASSERT_TRUE(P.GetNormalImage(&Frame));
    EXPECT_EQ(Told, 2);
    EXPECT_NE(P.SourceImage(), Base);
    EXPECT_EQ(P.DPIScale(), 1.5);
    EXPECT_EQ(P.GetSingleWidth(), 25);
    EXPECT_EQ(Frame.Height(), 26);

    // Deleting the variant and the base leaves nothing to cut, rather than a freed image.
    SkinResManager().Delete(u"PelluxCheckBox@DPI150");
    SkinResManager().Delete(u"PelluxCheckBox");
    EXPECT_FALSE(P.GetNormalImage(&Frame));
    EXPECT_EQ(P.SourceImage(), nullptr);
    EXPECT_EQ(P.GetSingleWidth(), 0);
    SkinResManager().Reload();
    EXPECT_EQ(P.GetSingleWidth(), 25);
}
