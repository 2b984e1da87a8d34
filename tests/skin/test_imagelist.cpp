#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "draw/uPelluxPng.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "skin/uPelluxResDM.h"

namespace {

const char* ImagesDir = QV_SOURCE_DIR "/src/skin/images/";

struct TOrderLine {
    std::string ResID, DrawMode, Description;
};

std::vector<TOrderLine> ReadOrder() {
    std::ifstream In(std::string(ImagesDir) + "order.txt");
    std::vector<TOrderLine> Lines;
    std::string Line;
    while (std::getline(In, Line)) {
        std::istringstream Fields(Line);
        TOrderLine L;
        std::getline(Fields, L.ResID, '\t');
        std::getline(Fields, L.DrawMode, '\t');
        std::getline(Fields, L.Description, '\t');
        Lines.push_back(L);
    }
    return Lines;
}

bool SamePixels(const TCustomSurface32& A, const TCustomSurface32& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    // An empty surface has no bits to compare (and no pointer to pass to memcmp).
    return A.Width() * A.Height() == 0 ||
           std::memcmp(A.Bits(), B.Bits(), sizeof(TColor32) * A.Width() * A.Height()) == 0;
}

}  // namespace

TEST(ImageList, BuiltInListHoldsThePackedPicturesInStoredOrder) {
    TPelluxResDM* DM = CreatePelluxResDM();
    ASSERT_EQ(DM, PelluxResDM());
    EXPECT_EQ(DM->Name(), u"PelluxResDM");
    TPelluxImageList* List = DM->PelluxImageListMain();
    EXPECT_EQ(List->Name(), u"PelluxImageListMain");
    const std::vector<TOrderLine> Order = ReadOrder();
    ASSERT_EQ(Order.size(), 207u);
    ASSERT_EQ(List->Bitmaps()->Count(), 207);
    for (int I = 0; I < 207; ++I) {
        const TPelluxBitmapItem* Item = List->Bitmaps()->Items(I);
        const TOrderLine& L = Order[static_cast<size_t>(I)];
        ASSERT_EQ(Item->ResID(), Utf8ToString(L.ResID)) << I;
        EXPECT_EQ(Item->Description(), Utf8ToString(L.Description)) << L.ResID;
        EXPECT_EQ(Item->Bitmap()->DrawMode(), L.DrawMode == "dmOpaque" ? dmOpaque : dmBlend) << L.ResID;
        EXPECT_EQ(Item->Bitmap()->ResamplerClassName(), u"TNearestResampler");
        TSurface32 Decoded;
        bool HasTransparency = false;
        ReadPngIntoSurface(&Decoded, Utf8ToString(ImagesDir + L.ResID + ".png"), HasTransparency);
        EXPECT_TRUE(SamePixels(*Item->Bitmap(), Decoded)) << L.ResID;
        EXPECT_EQ(List->GetBitmap(I), Item->Bitmap());
    }
    EXPECT_EQ(List->GetBitmap(0)->Width(), 68);
    EXPECT_EQ(List->GetBitmap(0)->Height(), 17);
    EXPECT_EQ(List->Bitmaps()->Items(206)->ResID(), u"carbon_password");
    EXPECT_EQ(List->GetBitmap(206)->Width(), 22);
    EXPECT_THROW(List->GetBitmap(207), EListError);
    FreePelluxResDM();
    EXPECT_EQ(PelluxResDM(), nullptr);
}

TEST(ImageList, StoredFormRoundTripKeepsItemsValuesAndOrder) {
    RegisterPelluxImageList();
    TComponent Root(nullptr);
    Root.SetName(u"Root");
    auto* List = new TPelluxImageList(&Root);
    List->SetName(u"List");
    TPelluxBitmapItem* A = List->Bitmaps()->Add();
    A->SetResID(u"icons8-group-24 (1)");
    A->Bitmap()->SetSize(2, 1);
    A->Bitmap()->SetPixel(0, 0, 0x80FF0010);
    A->Bitmap()->SetPixel(1, 0, 0x01020304);
    A->Bitmap()->SetDrawMode(dmBlend);
    A->SetDescription(u"t1");
    TPelluxBitmapItem* B = List->Bitmaps()->Add();
    B->SetResID(u"0");
    B->Bitmap()->SetSize(1, 1);
    B->Bitmap()->SetPixel(0, 0, 0xFF00FF00);
    List->Bitmaps()->Add();  // all defaults: stores nothing but the item

    const std::string Text = WriteComponentTextUtf8(&Root);
    // The item values in stored order; defaults are left out.
    const size_t Res = Text.find("ResID = 'icons8-group-24 (1)'"), Mode = Text.find("Bitmap.DrawMode = dmBlend"),
                 Sampler = Text.find("Bitmap.ResamplerClassName = 'TNearestResampler'"),
                 Data = Text.find("Bitmap.Data = {"), Desc = Text.find("Description = 't1'");
    ASSERT_NE(Desc, std::string::npos) << Text;
    EXPECT_TRUE(Res < Mode && Mode < Sampler && Sampler < Data && Data < Desc) << Text;
    EXPECT_EQ(Text.find("dmOpaque"), std::string::npos);

    TComponent Copy(nullptr);
    ReadComponentTextUtf8(&Copy, Text);
    auto* Read = dynamic_cast<TPelluxImageList*>(Copy.FindComponent(u"List"));
    ASSERT_NE(Read, nullptr);
    ASSERT_EQ(Read->Bitmaps()->Count(), 3);
    for (int I = 0; I < 3; ++I) {
        const TPelluxBitmapItem* Was = List->Bitmaps()->Items(I);
        const TPelluxBitmapItem* Now = Read->Bitmaps()->Items(I);
        EXPECT_EQ(Now->ResID(), Was->ResID());
        EXPECT_EQ(Now->Description(), Was->Description());
        EXPECT_EQ(Now->Bitmap()->DrawMode(), Was->Bitmap()->DrawMode());
        EXPECT_TRUE(SamePixels(*Now->Bitmap(), *Was->Bitmap())) << I;
    }
    // Assigning an item copies its name, description and surface.
    TPelluxBitmapItem* C = Read->Bitmaps()->Items(2);
    C->Assign(A);
    EXPECT_EQ(C->ResID(), A->ResID());
    EXPECT_EQ(C->Bitmap()->DrawMode(), dmBlend);
    EXPECT_TRUE(SamePixels(*C->Bitmap(), *A->Bitmap()));
}
