// The skin configuration: exact recolouring results, the byte-exact file, damaged files
// that change nothing, and the push to every skinned form while forms close meanwhile.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "draw/uQvSurface.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvForms.h"
#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"
#include "skin/uPelluxRes.h"
#include "skin/uQvSkinColors.h"
#include "skin/uQvSkinRegistry.h"
#include "support/qv_headless_fixture.h"

namespace {

const std::string DefaultFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<PelluxRes><Config><Custom><Form><Style>0</Style><FormBg/><DefaultSkinOrder>0</DefaultSkinOrder>"
    "<HitTestWidth>5</HitTestWidth><GradientHeight>168</GradientHeight><TitleHeight>27</TitleHeight>"
    "<TitlerColor>16761926</TitlerColor><Color>15920353</Color><FramWidth>2</FramWidth><HSB_H>0</HSB_H>"
    "<HSB_S>0</HSB_S><HSB_B>0</HSB_B></Form></Custom></Config></PelluxRes>";

void Put(const String& FileName, const std::string& Bytes) {
    ASSERT_TRUE(ForceDirectories(ExtractFilePath(FileName)));
    ASSERT_TRUE(WriteFileAtomic(FileName, Bytes).Ok());
}

std::string Get(const String& FileName) {
    std::string Bytes;
    EXPECT_TRUE(ReadFileBytes(FileName, Bytes).Ok());
    return Bytes;
}

// What a configuration holds, for comparing one state with another.
struct TSnapshot {
    String Picture, PictureName;
    int Style, Order, Hit, Title, Gradient, Fram, H, S, B;
    TColor Color, Titler;
    bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(const TPelluxRes& Res) {
    const TQvFormSkinRes* F = Res.Form();
    return TSnapshot{F->CustomPicture(),  F->CustomPictureName(), F->Style(),     F->DefaultSkinOrder(),
                     F->HitTestWidth(),   F->TitleHeight(),       F->GradientHeight(), F->FramWidth(),
                     HSB_H,               HSB_S,                  HSB_B,           F->Color(),
                     F->TitlerColor()};
}

// A form that counts the configuration pushes it gets.
class TProbeForm : public TForm {
public:
    using TForm::TForm;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == MM_SKINRESCHANGED) {
            ++Pushes;
            if (OnPush) OnPush();
        }
        TForm::WndProc(Message);
    }
    int Pushes = 0;
    std::function<void()> OnPush;
};

class TProbeSkin : public TComponent, public TQvFormSkinIntf {
public:
    using TComponent::TComponent;
    TSurface32* GetBackgroundPicture() override { return nullptr; }
    int FramWidth() const override { return 2; }
    int TitleHeight() const override { return 27; }
    TPelluxStyle Style() const override { return ssColor; }
    void RefreshSkin() override {}
};

class SkinConfig : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        RegisterQvSkinRegistry();
        RegisterPelluxRes();
        AppInit();
        HSB_H = HSB_S = HSB_B = 0;
    }
    void TearDown() override {
        HSB_H = HSB_S = HSB_B = 0;
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
};

}  // namespace

TEST(SkinColors, ExactIntegerResultsKeepAlphaAndTruncateTowardZero) {
    EXPECT_EQ(AdjustColorHSB(0x0000FF, 120, 0, 0), 0x00FF00);  // red turned a third
    EXPECT_EQ(AdjustColorHSB(0x3366CC, 0, 0, 0), 0x3366CC);
    EXPECT_EQ(AdjustColorHSB(0x808080, 50, 30, 0), 0x808080);  // grey has no hue
    EXPECT_EQ(AdjustColorHSB(0x808080, 0, 0, 50), 0xBFBFBF);
    // -50 % is -127 on the byte scale, and -127 * 128 / 255 is -63, not -64 and -65.
    EXPECT_EQ(AdjustColorHSB(0x808080, 0, 0, -50), 0x414141);
    EXPECT_EQ(AdjustColorHSB(15920353, 30, 20, -10), 0xDCCBCA);
    EXPECT_EQ(AdjustColorHSB(16761926, -200, -40, 25), 0x8E8EE3);

    uint8_t H, S, L;
    RGBtoHSL(0xFFFF0000, H, S, L);
    EXPECT_EQ((std::array<int, 3>{H, S, L}), (std::array<int, 3>{0, 255, 127}));
    RGBtoHSL(0xFFFF0033, H, S, L);  // a negative hue: -8 (not -9) + 510, then mod 256
    EXPECT_EQ(H, 246);
    EXPECT_EQ(HSLtoRGB(0, 255, 127, 255), 0xFFFD0101u);
    EXPECT_EQ(HSLtoRGB(40, 200, 0, 0x80), 0x80000000u);  // black keeps its alpha

    TSurface32 Image;
    Image.SetSize(4, 1);
    const TColor32 Before[4] = {0x00123456, 0x80FF0033, 0x80101010, 0xFF3366CC};
    for (int X = 0; X < 4; ++X) Image.SetPixel(X, 0, Before[X]);
    AdjustHSB(&Image, 100, -30, -20);
    EXPECT_EQ(Image.GetPixel(0, 0), 0x00123456u);  // transparent: untouched
    EXPECT_EQ(Image.GetPixel(1, 0), 0x8021B531u);
    EXPECT_EQ(Image.GetPixel(2, 0), 0x80000000u);  // a translucent shadow stays translucent
    EXPECT_EQ(Image.GetPixel(3, 0), 0xFF983E3Eu);
}

TEST_F(SkinConfig, DefaultFileIsByteExactAndSurvivesARoundTrip) {
    const String Folder = u"roundtrip/";
    TPelluxRes Res(nullptr, Folder);
    Res.Form()->SetCustomPictureName(u"a&b.jpg");
    Res.ApplyDefault();
    EXPECT_EQ(Res.Form()->CustomPictureName(), u"a&b.jpg");
    Res.Form()->SetCustomPictureName(u"");
    Res.Save();
    ASSERT_EQ(Get(Res.FileName()), DefaultFile);
    TPelluxRes Again(nullptr, Folder);
    EXPECT_EQ(Snap(Again), Snap(Res));
    Again.Save();
    EXPECT_EQ(Get(Again.FileName()), DefaultFile);

    // Settings away from the defaults (a system colour, a picture, offsets) come back too.
    Put(Folder + u"Skin/Custom/a&b.jpg", "x");
    Res.Form()->SetStyle(ssPicture);
    Res.Form()->SetColor(clBtnFace);
    Res.Form()->SetFramWidth(0);
    Res.Form()->SetCustomPictureName(u"a&b.jpg");
    HSB_H = -40;
    HSB_B = 15;
    Res.Save();
    const std::string Written = Get(Res.FileName());
    HSB_H = HSB_B = 0;
    TPelluxRes Third(nullptr, Folder);
    EXPECT_EQ(Third.Form()->CustomPicture(), Folder + u"Skin/Custom/a&b.jpg");
    EXPECT_EQ(Third.Form()->Color(), clBtnFace);
    EXPECT_EQ(HSB_H, -40);
    Third.Save();
    EXPECT_EQ(Get(Third.FileName()), Written);

    // A file read as UTF-16 is written back as UTF-8.
    std::string Utf16 = "\xFF\xFE";
    for (char C : std::string("<PelluxRes><Config><Custom><Form><TitleHeight>33</TitleHeight></Form>"
                              "</Custom></Config></PelluxRes>"))
        Utf16 += std::string{C, '\0'};
    Put(Res.FileName(), Utf16);
    Res.Load();
    EXPECT_EQ(Res.Form()->TitleHeight(), 33);
    Res.Save();
    EXPECT_EQ(Get(Res.FileName()).substr(0, 6), "<?xml ");
}

TEST_F(SkinConfig, DamagedFilesChangeNothingAndNeverLeaveTheSettingsLocked) {
    const String Folder = u"damaged/";
    TPelluxRes Res(nullptr, Folder);
    int Told = 0;
    Res.Form()->OnChanged = [&](TObject*) { ++Told; };
    Res.Form()->SetStyle(ssPicture);
    Res.Form()->SetHitTestWidth(9);
    Res.Form()->SetGradientHeight(100);
    Res.Form()->SetFramWidth(4);
    Res.Form()->SetCustomPicture(u"kept.png");
    Res.Form()->SetCustomPictureName(u"kept.png");
    HSB_H = 7;
    const TSnapshot Before = Snap(Res);
    Told = 0;
    // Files that the picture names below would reach, were they taken as paths.
    Put(Folder + u"Skin/x.png", "x");
    Put(Folder + u"Skin/Custom/sub/y.png", "y");

    const std::string Head = "<PelluxRes><Config><Custom><Form>";
    const std::string Tail = "</Form></Custom></Config></PelluxRes>";
    const std::string Files[] = {
        "",
        std::string("\0\xFF\xFE<<<&&;>\x01", 11),
        "<?xml version=\"1.0\"?><Other><Config><Custom><Form><HitTestWidth>7</HitTestWidth>" + Tail,
        Head + "<Style>x</Style><HitTestWidth>12abc</HitTestWidth><FramWidth></FramWidth>"
               "<HSB_H>99999999999</HSB_H>" + Tail,
        Head + "<Style>2</Style><TitleHeight>1001</TitleHeight><FramWidth>-1</FramWidth>"
               "<GradientHeight>-5</GradientHeight><HitTestWidth>100000</HitTestWidth>" + Tail,
        Head + "<FormBg>../x.png</FormBg>" + Tail,
        Head + "<FormBg>sub/y.png</FormBg>" + Tail,
        Head + "<FormBg>" + (std::filesystem::current_path() / "damaged/Skin/x.png").string() + "</FormBg>" + Tail,
        Head + std::string(100000, '<') + Tail,
        Head + [] {
            std::string Deep;
            for (int I = 0; I < 100000; ++I) Deep += "<a>";
            return Deep;
        }(),
    };
    for (const std::string& Bytes : Files) {
        Put(Res.FileName(), Bytes);
        EXPECT_NO_THROW(Res.Load()) << Bytes.substr(0, 80);
        EXPECT_TRUE(Snap(Res) == Before) << Bytes.substr(0, 80);
        EXPECT_FALSE(Res.Form()->Locked());
    }
    ASSERT_TRUE(DeleteFile(Res.FileName()));
    EXPECT_NO_THROW(Res.Load());  // missing, without a default picture either
    EXPECT_TRUE(Snap(Res) == Before);
    EXPECT_EQ(Told, 0);

    // Among damaged values a sound one is still taken, and nothing is told.
    Put(Res.FileName(), Head + "<Style>9</Style><TitleHeight>31</TitleHeight><Color>junk</Color>" + Tail);
    Res.Load();
    EXPECT_EQ(Res.Form()->TitleHeight(), 31);
    EXPECT_EQ(Res.Form()->Style(), ssPicture);
    EXPECT_EQ(Told, 0);
    // A picture that is not there falls back to the default one, once it exists.
    Put(Folder + u"Skin/Default/skin_bk_leaf.jpg", "z");
    Put(Res.FileName(), Head + "<FormBg>../x.png</FormBg>" + Tail);
    Res.Load();
    EXPECT_EQ(Res.Form()->CustomPictureName(), u"skin_bk_leaf.jpg");
    EXPECT_EQ(Res.Form()->CustomPicture(), Folder + u"Skin/Default/skin_bk_leaf.jpg");
}

TEST_F(SkinConfig, PushReachesEveryLiveFormOnceAndPassesOverFormsClosedMeanwhile) {
    auto* A = Create<TProbeForm>(nullptr);
    auto* B = Create<TProbeForm>(nullptr);
    auto* C = Create<TProbeForm>(nullptr);
    for (TProbeForm* F : {A, B, C}) FormSkinHelper()->Add(F, new TProbeSkin(F));
    TPelluxRes Res(nullptr, u"push/");
    int Told = 0;
    Res.Form()->OnChanged = [&](TObject*) { ++Told; };

    // Two changes in one update push once; the first form pushed (the last registered)
    // closes the middle one, whose turn then never comes.
    bool Closed = false;
    C->OnPush = [&] {
        B->Release();
        B->OnPush = nullptr;
    };
    B->OnPush = [&] { Closed = true; };
    const TQvAliveCheck BAlive = B->AliveCheck();
    Res.Form()->BeginUpdate();
    Res.Form()->SetColor(0x123456);
    Res.Form()->SetColor(0x654321);
    Res.Form()->EndUpdate();
    EXPECT_FALSE(BAlive.Alive());
    EXPECT_FALSE(Closed);
    EXPECT_EQ(C->Pushes, 1);
    EXPECT_EQ(A->Pushes, 1);
    EXPECT_EQ(Told, 1);
    EXPECT_EQ(FormSkinHelper()->GetCount(), 2);

    // Loading tells nothing; the defaults push once; the shared settings stand apart.
    C->OnPush = nullptr;
    Res.Save();
    Res.Load();
    EXPECT_EQ(A->Pushes, 1);
    Res.ApplyDefault();
    EXPECT_EQ(A->Pushes, 2);
    EXPECT_EQ(C->Pushes, 2);
    EXPECT_EQ(Told, 2);
    SharedFormSkinRes()->SetColor(1);
    EXPECT_EQ(A->Pushes, 2);
    AppShutdown();
    AppInit();
    EXPECT_EQ(SharedFormSkinRes()->Color(), 15920353);  // made anew after the shut-down
}
