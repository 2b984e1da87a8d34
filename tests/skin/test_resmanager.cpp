#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvControl.h"
#include "platform/uQvFiles.h"
#include "skin/uPelluxResDM.h"
#include "skin/uPelluxResManager.h"
#include "skin/uPelluxSkin.h"
#include "support/qv_headless_fixture.h"

namespace {

bool SamePixels(const TCustomSurface32& A, const TCustomSurface32& B) {
    return A.Width() == B.Width() && A.Height() == B.Height() &&
           std::memcmp(A.Bits(), B.Bits(), sizeof(TColor32) * A.Width() * A.Height()) == 0;
}

// A fresh manager and data module per test, at the pixels per inch the test sets.
class ResManager : public ::testing::Test {
protected:
    void TearDown() override {
        FreeSkinResManager();
        FreePelluxResDM();
        HighDPIEnabled = false;
        SetDefaultDPIControlSource(nullptr);
    }
    void SetPPI(int PPI) {
        HighDPIEnabled = true;
        FDpiControl.ScaleForPPI(PPI);
        SetDefaultDPIControlSource([this] { return &FDpiControl; });
    }
    TPelluxImage* Item(const char16_t* ResID) {
        TPelluxResManager& M = SkinResManager();
        const int I = M.IndexOfRes(ResID);
        return I < 0 ? nullptr : M.ImageList()->GetBitmap(I);
    }

private:
    TControl FDpiControl{nullptr};
};

std::string ReadSource(const char* Name) {
    std::string Data;
    EXPECT_TRUE(ReadFileBytes(Utf8ToString(std::string(QV_SOURCE_DIR "/src/skin/images/") + Name), Data));
    return Data;
}

// A PNG head declaring Width x Height, with no image data after it.
std::string PngHead(uint32_t Width, uint32_t Height) {
    std::string Chunk = "IHDR";
    for (uint32_t V : {Width, Height})
        for (int S = 24; S >= 0; S -= 8) Chunk += static_cast<char>(V >> S);
    Chunk += std::string("\x08\x06\x00\x00\x00", 5);
    const uLong Crc = crc32(0, reinterpret_cast<const Bytef*>(Chunk.data()), static_cast<uInt>(Chunk.size()));
    std::string Png = "\x89PNG\r\n\x1a\n";
    Png += std::string("\x00\x00\x00\x0d", 4) + Chunk;
    for (int S = 24; S >= 0; S -= 8) Png += static_cast<char>(Crc >> S);
    return Png;
}

}  // namespace

TEST_F(ResManager, LookupsTrimAndIgnoreCaseAndTheEventHasTheLastWord) {
    TPelluxResManager& M = SkinResManager();
    EXPECT_EQ(M.ImageList(), PelluxResDM()->PelluxImageListMain());
    TPelluxImage* Button = M.GetImageByName(u"  pelluxbutton\t", false);
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button, Item(u"PelluxButton"));
    EXPECT_EQ(M.GetImageByName(u"   ", false), nullptr);
    EXPECT_EQ(M.GetImageByName(u"NoSuchImage", true), nullptr);
    EXPECT_EQ(M.ReplaceRes(u"NoSuchImage", Button), -1);
    // Without high DPI the variant flag changes nothing.
    EXPECT_EQ(M.GetImageByName(u"PelluxButton", true), Button);
    EXPECT_EQ(M.ImageList()->Bitmaps()->Count(), 207);

    TPelluxImage Other;
    String Asked;
    M.OnGetImage = [&](TObject* Sender, const String& ResID, TPelluxImage*& Image) {
        EXPECT_EQ(Sender, &M);
        Asked = ResID;
        if (Image == nullptr) Image = &Other;
    };
    EXPECT_EQ(M.GetImageByName(u"NoSuchImage", false), &Other);
    EXPECT_EQ(Asked, u"NoSuchImage");
    EXPECT_EQ(M.GetImageByName(u"PelluxButton", false), Button);
}

TEST_F(ResManager, DPIVariantsAreNamedByLevelAndScaledFromTheBaseByTheirFactor) {
    struct TCase {
        int PPI;
        const char16_t* Name;
        int Width, Height;
    };
    // 68 x 17 scaled, each edge rounded half to even (42.5 gives 42).
    const TCase Cases[] = {{120, u"PelluxCheckBox@DPI150", 85, 21},  {144, u"PelluxCheckBox@DPI150", 102, 26},
                           {168, u"PelluxCheckBox@DPI150", 119, 30}, {192, u"PelluxCheckBox@DPI200", 136, 34},
                           {240, u"PelluxCheckBox@DPI200", 170, 42}, {288, u"PelluxCheckBox@DPI300", 204, 51}};
    for (const TCase& C : Cases) {
        SetPPI(C.PPI);
        TPelluxResManager& M = SkinResManager();
        TPelluxImage* Variant = M.GetImageByName(u"PelluxCheckBox", true);
        ASSERT_NE(Variant, nullptr);
        const int Index = M.IndexOfRes(C.Name);
        ASSERT_GE(Index, 0) << C.PPI;
        EXPECT_EQ(M.ImageList()->GetBitmap(Index), Variant);
        EXPECT_EQ(M.ImageList()->Bitmaps()->Items(Index)->Description(), u"AutoAdd");
        EXPECT_EQ(Variant->Width(), C.Width) << C.PPI;
        EXPECT_EQ(Variant->Height(), C.Height) << C.PPI;
        EXPECT_EQ(Variant->DrawMode(), dmBlend);
        // Found again, not made again; a name with another level's suffix targets this one.
        EXPECT_EQ(M.GetImageByName(u"PelluxCheckBox", true), Variant);
        EXPECT_EQ(M.GetImageByName(u"PelluxCheckBox@DPI200", true), Variant);
        EXPECT_EQ(M.ImageList()->Bitmaps()->Count(), 208);
        EXPECT_EQ(M.GetImageByName(u"PelluxCheckBox", false), Item(u"PelluxCheckBox"));
        TearDown();
    }
    // 200 % first, then 300 %: the 300 % variant is three times the base, not 2 x 3.
    SetPPI(192);
    SkinResManager().GetImageByName(u"PelluxBtn_close", true);
    SetPPI(288);
    TPelluxImage* Triple = SkinResManager().GetImageByName(u"PelluxBtn_close", true);
    EXPECT_EQ(Triple->Width(), 315);
    EXPECT_EQ(Triple->Height(), 105);
}

TEST_F(ResManager, GreyingAndRestoringWithDPIVariantsStartFromTheBackedUpColours) {
    SetPPI(144);
    TPelluxResManager& M = SkinResManager();
    TPelluxImage Original;
    Original.Assign(Item(u"PelluxCheckBox"));
    TPelluxImage* Variant = M.GetImageByName(u"PelluxCheckBox", true);
    TPelluxImage Fresh;
    Fresh.Assign(Variant);

    TPelluxImage* Grey = M.MakeGrayscaleImageByID(u"PelluxCheckBox", true);
    ASSERT_EQ(Grey, Variant);
    TPelluxImage FirstGrey;
    MakeGrayscale(&FirstGrey, &Fresh, true);
    EXPECT_TRUE(SamePixels(*Grey, FirstGrey));
    // Recoloured after greying (as the skin scheme does), then greyed again: the same grey.
    Grey->FillRect(0, 0, 10, 10, 0xFFFF0000);
    EXPECT_TRUE(SamePixels(*M.MakeGrayscaleImageByID(u"PelluxCheckBox", true), FirstGrey));
    // The base keeps its own size and colours throughout.
    EXPECT_TRUE(SamePixels(*Item(u"PelluxCheckBox"), Original));
    EXPECT_EQ(Item(u"PelluxCheckBox$Bak$"), nullptr);
    EXPECT_TRUE(SamePixels(*Item(u"PelluxCheckBox_$Bak$"), Original));

    M.RestoreImageByID(u"PelluxCheckBox", true);
    EXPECT_TRUE(SamePixels(*Variant, Fresh));
    EXPECT_EQ(Variant->DrawMode(), dmBlend);
    EXPECT_TRUE(SamePixels(*Item(u"PelluxCheckBox"), Original));

    // Without DPI the base itself is greyed and restored.
    TPelluxImage* Base = M.MakeGrayscaleImageByID(u"PelluxCheckBox", false);
    EXPECT_EQ(Base, Item(u"PelluxCheckBox"));
    EXPECT_FALSE(SamePixels(*Base, Original));
    M.RestoreImageByID(u"PelluxCheckBox", false);
    EXPECT_TRUE(SamePixels(*Base, Original));
    EXPECT_EQ(M.MakeGrayscaleImageByID(u"NoSuchImage", true), nullptr);
}

TEST_F(ResManager, ReloadAndDeleteLeaveHandedOutSurfacesAlive) {
    SetPPI(192);
    TPelluxResManager& M = SkinResManager();
    TPelluxImage* Button = M.GetImageByName(u"PelluxButton", false);
    TPelluxImage Original;
    Original.Assign(Button);
    TPelluxImage* Variant = M.GetImageByName(u"PelluxButton", true);
    Button->Clear(0xFF123456);
    const unsigned Before = M.Generation();

    M.Reload();
    EXPECT_NE(M.Generation(), Before);
    EXPECT_EQ(M.ImageList(), PelluxResDM()->PelluxImageListMain());
    EXPECT_EQ(M.ImageList()->Bitmaps()->Count(), 207);
    // The same surface, refilled from the built-in list; the old variant still readable.
    EXPECT_EQ(M.GetImageByName(u"PelluxButton", false), Button);
    EXPECT_TRUE(SamePixels(*Button, Original));
    EXPECT_EQ(Variant->Width(), 680);
    EXPECT_NE(M.GetImageByName(u"PelluxButton", true), nullptr);

    M.Delete(u"PelluxButton");
    EXPECT_EQ(M.IndexOfRes(u"PelluxButton"), -1);
    EXPECT_TRUE(SamePixels(*Button, Original));
    EXPECT_EQ(M.GetImageByName(u"PelluxButton", false), nullptr);
}

TEST_F(ResManager, PictureFilesAreLoadedOnceAndBadOnesGiveNothing) {
    TPelluxResManager& M = SkinResManager();
    ASSERT_TRUE(WriteFileAtomic(u"pic.png", ReadSource("PelluxCheckBox.png")));
    TPelluxImage* Pic = M.GetImageByName(u"pic.png", true);
    ASSERT_NE(Pic, nullptr);
    EXPECT_TRUE(SamePixels(*Pic, *Item(u"PelluxCheckBox")));
    EXPECT_EQ(Pic->DrawMode(), dmBlend);
    EXPECT_EQ(M.GetImageByName(u"pic.png", true), Pic);
    EXPECT_EQ(M.RunTimeImageList()->Bitmaps()->Count(), 1);

    ASSERT_TRUE(WriteFileAtomic(u"bad.png", "not a picture"));
    ASSERT_TRUE(WriteFileAtomic(u"bomb.png", PngHead(30000, 30000)));
    for (int Paint = 0; Paint < 3; ++Paint) {
        EXPECT_EQ(M.GetImageByName(u"bad.png", true), nullptr);
        EXPECT_EQ(M.GetImageByName(u"bomb.png", true), nullptr);
        EXPECT_EQ(M.GetImageByFileName(u"missing.png"), nullptr);
    }
    ASSERT_TRUE(ForceDirectories(u"folder.png"));
    EXPECT_EQ(M.GetImageByFileName(u"folder.png"), nullptr);
    // Once the file changes it is tried again.
    ASSERT_TRUE(WriteFileAtomic(u"bad.png", ReadSource("PelluxRadiobtn.png")));
    EXPECT_NE(M.GetImageByName(u"bad.png", true), nullptr);
    EXPECT_EQ(M.RunTimeImageList()->Bitmaps()->Count(), 2);

    // Scaled for the DPI level and kept under the suffixed name.
    SetPPI(144);
    TPelluxImage* Scaled = M.GetImageByName(u"pic.png", true);
    ASSERT_NE(Scaled, Pic);
    EXPECT_EQ(Scaled->Width(), 102);
    EXPECT_GE(M.IndexOfFileName_RunTime(u"pic.png@DPI150"), 0);
    EXPECT_THROW(M.AddRes(u"bad2.png", u"", u""), EQvError);
    EXPECT_EQ(M.ImageList()->GetBitmap(M.AddRes(u"pic.png", u"", u"d"))->Width(), 68);
    EXPECT_GE(M.IndexOfRes(u"pic"), 0);
}

TEST_F(ResManager, RefreshReplacesTheListFromATextFormFile) {
    TPelluxResManager& M = SkinResManager();
    TPelluxImage* Kept = M.GetImageByName(u"PelluxRadiobtn", false);
    TPelluxImage* Dropped = M.GetImageByName(u"PelluxButton", false);
    // A missing file is first written from the list, then read back.
    M.Refresh(u"list.txt");
    EXPECT_EQ(M.ImageList()->Bitmaps()->Count(), 207);
    EXPECT_EQ(M.GetImageByName(u"PelluxRadiobtn", false), Kept);
    EXPECT_EQ(M.ImageList()->Bitmaps()->Items(206)->ResID(), u"carbon_password");

    ASSERT_TRUE(WriteFileAtomic(u"small.txt",
                                "object L: TPelluxImageList\n"
                                "  Bitmaps = <\n"
                                "    item\n"
                                "      ResID = 'pelluxradiobtn'\n"
                                "      Bitmap.DrawMode = dmBlend\n"
                                "      Bitmap.Data = {0100000001000000FF0000FF}\n"
                                "    end>\n"
                                "end\n"));
    M.Refresh(u"small.txt");
    ASSERT_EQ(M.ImageList()->Bitmaps()->Count(), 1);
    EXPECT_EQ(M.GetImageByName(u"PelluxRadiobtn", false), Kept);
    EXPECT_EQ(Kept->Width(), 1);
    EXPECT_EQ(Kept->GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(Dropped->Width(), 340);

    ASSERT_TRUE(WriteFileAtomic(u"broken.txt", "object L: TPelluxImageList\n  Bitmaps = <\n    item\n"));
    EXPECT_THROW(M.Refresh(u"broken.txt"), EReadError);
    EXPECT_EQ(M.ImageList()->Bitmaps()->Count(), 1);
    ASSERT_TRUE(ForceDirectories(u"dir.txt"));
    try {
        M.Refresh(u"dir.txt");
        ADD_FAILURE();
    } catch (const EQvError& E) {
        EXPECT_STREQ(E.what(), "Not found PelluxDesignTimeRes.tmp file!");
    }
}

class ResManagerSetUp : public TQvHeadlessTest {};

TEST_F(ResManagerSetUp, DataModuleLivesFromSetUpToShutDown) {
    RegisterPelluxSkin();
    AppInit();
    ASSERT_NE(PelluxResDM(), nullptr);
    EXPECT_EQ(SkinResManager().ImageList(), PelluxResDM()->PelluxImageListMain());
    AppShutdown();
    EXPECT_EQ(PelluxResDM(), nullptr);
}
