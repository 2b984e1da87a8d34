// The skin scheme: its colours and the values it takes from the settings file, the tinted
// images' pixels, which forms a scheme change repaints, and the bound list when forms,
// unbinding and the scheme itself go in any order.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/uProSettings.h"
#include "app/uSkinLib.h"
#include "controls/form_skin_fixture.h"
#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvPaths.h"
#include "skin/uPelluxResManager.h"

namespace fs = std::filesystem;

namespace {

class SkinScheme : public FormSkinTest {
protected:
    void SetUp() override {
        Folder = fs::current_path() / ("scheme-" + std::to_string(++Counter));
        fs::create_directory(Folder);
        SetTempPathForTests(Utf8ToString(Folder.string()));
        ResetProSettingsForTests();
        FormSkinTest::SetUp();
    }
    void TearDown() override {
        Lib.reset();
        HighDPIEnabled = false;
        FormSkinTest::TearDown();
        ResetProSettingsForTests();
        SetTempPathForTests(u"");
    }
    void PutSettings(const std::string& Text) const {
        std::ofstream(Folder / "VarnothOptions.ini", std::ios::binary) << Text;
    }
    // A shown skinned form with a plain title colour, and a count of its full repaints.
    TPelluxForm* Skinned(TRect Bounds, int& Repaints) {
        TForm* F = NewSkinned(Bounds, bsSizeable, false);
        Skin->SetActiveGradient(false);
        Skin->Changed = [&Repaints](TObject*) { ++Repaints; };
        ShowAndSettle(F);
        return Skin;
    }
    static TForm* FormOf(TPelluxForm* S) { return static_cast<TForm*>(S->DestForm()); }
    static uint32_t Pixel(const char16_t* Name, int X, int Y) {
        return SkinResManager().GetImageByName(Name, false)->GetPixel(X, Y);
    }

    fs::path Folder;
    std::unique_ptr<TSkinLib> Lib;
    static inline int Counter = 0;
};

TEST_F(SkinScheme, ColoursAndOutOfRangeSettingsAreKeptInRange) {
    Lib = std::make_unique<TSkinLib>();
    EXPECT_EQ(Lib->RealColor(), 14454598);
    Lib->SetColorMode(cmCustom);
    Lib->SetS(0);
    for (int H : {0, 37, 100}) {
        Lib->SetH(H);
        EXPECT_EQ(Lib->Color(), 0x808080) << H;  // 127.5 rounds to even
    }
    Lib->SetH(50);
    Lib->SetS(50);
    EXPECT_EQ(Lib->Color(), 0xBFBF40);  // R 64, G and B 191
    EXPECT_EQ(ProSettings()->SkinStyle()->ColorMode(), cmCustom);
    // Setters keep the value in range, in the scheme and in the file alike.
    Lib->SetColorMode(cmDefault);
    Lib->SetColorIndex(42);
    EXPECT_EQ(Lib->Color(), 4671045);
    EXPECT_EQ(ProSettings()->IniObj()->ReadInteger(u"SkinStyle", u"ColorIndex", 0), 15);
    Lib.reset();

    // A hand-edited file: the program's scheme, made by its set-up step, reads it in range.
    AppShutdown();
    ResetProSettingsForTests();
    PutSettings("[SkinStyle]\nColorIndex=99\nColorMode=1\nH=-5\nS=400\n");
    RegisterSkinLib();
    AppInit();
    ASSERT_TRUE(SkinLibAssigned());
    EXPECT_EQ(SkinLib().ColorIndex(), 15);
    EXPECT_EQ(SkinLib().Color(), 0x0000FF);  // H 0, S 100: red
    FreeSkinLib();
    PutSettings("[SkinStyle]\nColorIndex=-3\n");
    ResetProSettingsForTests();
    EXPECT_EQ(SkinLib().Color(), 14454598);
    AppShutdown();
    EXPECT_FALSE(SkinLibAssigned());
    AppInit();  // for the fixture's own shut-down
}

TEST_F(SkinScheme, TintedPixelsForATableAndACustomColourAndTheDefaultPutBack) {
    const uint32_t Face = Pixel(u"an2", 8, 4), Blue = Pixel(u"an2", 72, 0);
    const uint32_t Icon = Pixel(u"icons8-home-17", 8, 10), Clear = Pixel(u"icons8-home-17", 0, 0);
    ASSERT_EQ(Face, 0xFF4690DCu);
    ASSERT_EQ(Blue, 0xFF4690DCu);
    ASSERT_EQ(Icon, 0xFF4690DCu);
    Lib = std::make_unique<TSkinLib>();

    // Table colour 5 (R 190, G 26, B 46): the first image takes its hue and saturation,
    // the titles the tinted image's average, which also tints the images after it.
    Lib->SetColorIndex(5);
    Lib->Apply();
    EXPECT_EQ(Pixel(u"an2", 8, 4), 0xFFE22645u);
    EXPECT_EQ(Pixel(u"an2", 72, 0), 0xFFE22645u);
    EXPECT_EQ(Lib->RealColor(), AverageColor(SkinResManager().GetImageByName(u"an2", false)));
    EXPECT_EQ(Lib->RealColor(), 0x482BD7u);
    EXPECT_EQ(Pixel(u"icons8-home-17", 8, 10), 0xFFD83054u);
    EXPECT_EQ(Pixel(u"icons8-home-17", 0, 0) >> 24, 0u);

    // Custom H 50, S 50: each tint starts from the stored colours again.
    Lib->SetColorMode(cmCustom);
    Lib->SetH(50);
    Lib->SetS(50);
    Lib->Apply();
    EXPECT_EQ(Pixel(u"an2", 8, 4), 0xFF46C2BFu);
    EXPECT_EQ(Pixel(u"an2", 72, 0), 0xFF46C2BFu);

    // Back to the default colour: the stored images bit for bit, titles in table colour 0.
    Lib->SetColorMode(cmDefault);
    Lib->SetColorIndex(0);
    Lib->Apply();
    EXPECT_EQ(Pixel(u"an2", 8, 4), Face);
    EXPECT_EQ(Pixel(u"an2", 72, 0), Blue);
    EXPECT_EQ(Pixel(u"icons8-home-17", 8, 10), Icon);
    EXPECT_EQ(Pixel(u"icons8-home-17", 0, 0), Clear);
    EXPECT_EQ(Lib->RealColor(), 14454598);

    // At 150 %: the first fourteen are tinted in their variants, the base kept; the
    // others have no variant made.
    HighDPIEnabled = true;
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144}});
    Lib->SetColorIndex(5);
    Lib->Apply();
    TPelluxImage* Variant = SkinResManager().GetImageByName(u"an2", true);
    ASSERT_GE(SkinResManager().IndexOfRes(u"an2@DPI150"), 0);
    EXPECT_EQ(Variant->GetPixel(12, 6), 0xFFE22645u);
    EXPECT_EQ(Pixel(u"an2", 8, 4), Face);
    EXPECT_EQ(Lib->RealColor(), AverageColor(Variant));
    EXPECT_LT(SkinResManager().IndexOfRes(u"icons8-home-17@DPI150"), 0);
    Lib->SetColorIndex(0);
    Lib->Apply();
    EXPECT_EQ(Variant->GetPixel(12, 6), Face);
}

TEST_F(SkinScheme, ASchemeChangeRepaintsEveryBoundFormAndNothingElse) {
    int BoundRepaints = 0, OtherRepaints = 0, PlainRepaints = 0;
    TPelluxForm* Bound = Skinned(Bounds(50, 50, 300, 200), BoundRepaints);
    TPelluxForm* Other = Skinned(Bounds(400, 50, 300, 200), OtherRepaints);
    TPelluxForm* Plain = Skinned(Bounds(50, 300, 300, 200), PlainRepaints);
    Lib = std::make_unique<TSkinLib>();
    Lib->BindingPelluxForm(Bound);
    Lib->BindingPelluxForm(Other);
    ProcessMessages();
    const uint32_t PlainTitle = WinAt(FormOf(Plain), 150, 10);
    BoundRepaints = OtherRepaints = PlainRepaints = 0;

    Lib->SetColorIndex(5);
    Lib->Apply();
    ProcessMessages();
    EXPECT_EQ(BoundRepaints, 1);
    EXPECT_EQ(OtherRepaints, 1);
    EXPECT_EQ(PlainRepaints, 0);
    for (TPelluxForm* S : {Bound, Other}) {
        EXPECT_EQ(S->TitlerColor(), Lib->RealColor());
        EXPECT_EQ(WinAt(FormOf(S), 150, 10) & 0xFFFFFF, ToColor32(Lib->RealColor()) & 0xFFFFFF);
    }
    EXPECT_EQ(WinAt(FormOf(Plain), 150, 10), PlainTitle);
}

TEST_F(SkinScheme, BoundFormsLeaveTheListHoweverTheyGo) {
    int RepaintsA = 0, RepaintsB = 0, RepaintsC = 0;
    TPelluxForm* A = Skinned(Bounds(50, 50, 300, 200), RepaintsA);
    TPelluxForm* B = Skinned(Bounds(400, 50, 300, 200), RepaintsB);
    TPelluxForm* C = Skinned(Bounds(50, 300, 300, 200), RepaintsC);
    Lib = std::make_unique<TSkinLib>();
    RepaintsA = 0;
    Lib->BindingPelluxForm(A);
    Lib->BindingPelluxForm(B);
    Lib->BindingPelluxForm(A);  // listed once, given the colour again
    EXPECT_EQ(RepaintsA, 2);
    EXPECT_EQ(Lib->PelluxFormList(), (std::vector<TPelluxForm*>{A, B}));

    // A form freed while bound, or a skin freed apart from its form, leaves the list; the
    // next change passes them by.
    A->DestForm()->Free();
    Lib->BindingPelluxForm(C);
    TForm* FormOfC = FormOf(C);
    C->Free();
    EXPECT_EQ(Lib->PelluxFormList(), std::vector<TPelluxForm*>{B});
    Lib->SetColorIndex(3);
    Lib->Apply();
    EXPECT_EQ(B->TitlerColor(), Lib->RealColor());

    Lib->UnbindPelluxForm(B);
    Lib->UnbindPelluxForm(B);
    RepaintsB = 0;
    Lib->Apply();
    EXPECT_EQ(RepaintsB, 0);
    EXPECT_TRUE(Lib->PelluxFormList().empty());

    // The scheme freed first: the form it held is freed later without touching it.
    Lib->BindingPelluxForm(B);
    Lib.reset();
    B->DestForm()->Free();
    FormOfC->Free();
}

}  // namespace
