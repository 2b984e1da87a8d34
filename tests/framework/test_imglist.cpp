// Image lists: entries made from strips, masks and alpha; drawn blended, disabled, opaque,
// as masks and over their background; edits and their change notification; damaged
// stored data.
#include <gtest/gtest.h>

#include <memory>

#include "framework/uQvImgList.h"
#include "framework/uQvStreams.h"
#include "support/qv_error_of.h"

namespace {

std::unique_ptr<TBitmap> Filled(int W, int H, uint32_t Pixel) {
    auto B = std::make_unique<TBitmap>(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) B->ScanLine(Y)[X] = Pixel;
    return B;
}

uint32_t Px(TBitmap& B, int X, int Y) {
    return B.ScanLine(Y)[X];
}

uint32_t Entry(const TCustomImageList& L, int Index, int X = 0, int Y = 0) {
    return L.Bits(Index)->Pixel(X, Y);
}

}  // namespace

TEST(ImageList, StripsMasksAndAlphaMakeEntries) {
    TImageList L(nullptr);
    EXPECT_EQ(L.Width(), 16);
    EXPECT_EQ(L.Height(), 16);
    EXPECT_TRUE(L.Masked());
    EXPECT_EQ(L.ColorDepth(), cd32Bit);
    L.SetSize(2, 2);

    // A 5 x 3 strip gives two entries; the fifth column and the third row are cut. Without
    // an alpha format the pictures are opaque.
    TBitmap Strip(5, 3);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 5; ++X) Strip.ScanLine(Y)[X] = uint32_t(X << 8 | Y);
    EXPECT_EQ(L.Add(&Strip, nullptr), 0);
    ASSERT_EQ(L.Count(), 2);
    EXPECT_EQ(Entry(L, 1, 1, 1), 0xFF000301u);
    EXPECT_EQ(L.Bits(1)->Stride(), 8);

    // A narrower picture gives one entry, padded with transparent pixels; straight alpha
    // is kept, premultiplied alpha made straight.
    auto Narrow = Filled(1, 1, 0x80112233u);
    Narrow->SetAlphaFormat(afDefined);
    EXPECT_EQ(L.Add(Narrow.get(), nullptr), 2);
    EXPECT_EQ(Entry(L, 2), 0x80112233u);
    EXPECT_EQ(Entry(L, 2, 1, 0), 0u);
    EXPECT_EQ(Entry(L, 2, 0, 1), 0u);
    auto Premultiplied = Filled(2, 2, 0x80404040u);
    Premultiplied->SetAlphaFormat(afPremultiplied);
    L.Add(Premultiplied.get(), nullptr);
    EXPECT_EQ(Entry(L, 3), 0x80808080u);

    // White in a mask, or the mask colour, leaves a pixel out (alpha 0, colour kept).
    auto Blue = Filled(2, 2, 0xFF0000FFu);
    auto Mask = Filled(2, 2, 0xFF000000u);
    Mask->ScanLine(0)[0] = 0xFFFFFFFFu;
    EXPECT_EQ(L.Add(Blue.get(), Mask.get()), 4);
    EXPECT_EQ(Entry(L, 4, 0, 0), 0x000000FFu);
    EXPECT_EQ(Entry(L, 4, 1, 0), 0xFF0000FFu);
    Blue->ScanLine(1)[1] = 0xFFFF0000u;
    EXPECT_EQ(L.AddMasked(Blue.get(), clRed), 5);
    EXPECT_EQ(Entry(L, 5, 1, 1), 0x00FF0000u);
    EXPECT_EQ(Entry(L, 5, 0, 0), 0xFF0000FFu);

    TBitmap Empty;
    EXPECT_EQ(L.Add(&Empty, nullptr), -1);
    EXPECT_EQ(L.AddMasked(nullptr, clRed), -1);
    EXPECT_EQ(L.Count(), 6);

    // GetBitmap hands out a copy with its alpha.
    TBitmap Copy;
    ASSERT_TRUE(L.GetBitmap(2, &Copy));
    EXPECT_EQ(Copy.Width(), 2);
    EXPECT_EQ(Copy.AlphaFormat(), afDefined);
    EXPECT_EQ(Px(Copy, 0, 0), 0x80112233u);
    EXPECT_FALSE(L.GetBitmap(6, &Copy));
    EXPECT_EQ(L.Bits(-1), nullptr);

    // A new size deletes the entries; sizes no bitmap can have are ignored.
    L.SetWidth(0);
    EXPECT_EQ(L.Width(), 2);
    L.SetSize(3, 3);
    EXPECT_EQ(L.Count(), 0);
}

TEST(ImageList, DrawsBlendedDisabledOpaqueAndAsMask) {
    TImageList L(nullptr);
    L.SetSize(2, 1);
    // Red at alpha 128, then a fully transparent green.
    const uint32_t Row[2] = {0x80FF0000u, 0x0000FF00u};
    ASSERT_EQ(L.AddPixels(Row, 2, 1, sizeof Row), 0);
    auto White = [] { return Filled(4, 1, 0xFFFFFFFFu); };

    // Premultiplied as (c*a + 127) / 255 and blended: 128 + 255 * 127 / 255.
    auto Dst = White();
    L.Draw(Dst->Canvas(), 1, 0, 0);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFFFF7F7Fu);
    EXPECT_EQ(Px(*Dst, 2, 0), 0xFFFFFFFFu);

    // Disabled: the grey of intensity (255 * 61) >> 8 = 60 at half the alpha (64):
    // (60 * 64 + 127) / 255 = 15, plus 255 * 191 / 255.
    Dst = White();
    L.Draw(Dst->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFCECECEu);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFFFFFFFFu);

    // dsSelected without a blend colour: the image at half its alpha.
    Dst = White();
    L.Draw(Dst->Canvas(), 0, 0, 0, dsSelected, itImage);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFFBFBFu);

    // The mask: black where the image shows.
    Dst = Filled(2, 1, 0xFF123456u);
    L.Draw(Dst->Canvas(), 0, 0, 0, dsNormal, itMask);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFF000000u);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFFFFFFFFu);

    // dsNormal fills the background colour first; dsTransparent does not.
    L.SetBkColor(clBlue);
    Dst = Filled(2, 1, 0xFF000000u);
    L.Draw(Dst->Canvas(), 0, 0, 0);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFF80007Fu);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFF0000FFu);
    Dst = Filled(2, 1, 0xFF000000u);
    L.Draw(Dst->Canvas(), 0, 0, 0, dsTransparent, itImage);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFF800000u);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFF000000u);

    // Without a mask the entry is copied opaque, the hidden colour showing.
    L.SetMasked(false);
    Dst = White();
    L.Draw(Dst->Canvas(), 0, 0, 0);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Px(*Dst, 1, 0), 0xFF00FF00u);

    // A bad index or no canvas draws nothing.
    Dst = White();
    L.Draw(Dst->Canvas(), 0, 0, 1);
    L.Draw(nullptr, 0, 0, 0);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFFFFFFu);
}

TEST(ImageList, EditsNotifyOnceInAnUpdateAndFreedListsClearTheirLinks) {
    auto* L = new TImageList(nullptr);
    L->SetSize(1, 1);
    int Changes = 0;
    L->OnChange = [&](TObject*) { ++Changes; };
    TChangeLink Link;
    int LinkChanges = 0;
    Link.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, L);
        ++LinkChanges;
    };
    L->RegisterChanges(&Link);
    EXPECT_EQ(Link.Sender(), L);
    auto Add = [&](uint32_t P) { L->AddPixels(&P, 1, 1, 4); };
    auto Order = [&] {
        std::vector<uint32_t> V;
        for (int I = 0; I < L->Count(); ++I) V.push_back(Entry(*L, I) & 0xFF);
        return V;
    };
    for (uint32_t P : {1u, 2u, 3u}) Add(0xFF000000u | P);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(LinkChanges, 3);

    L->Move(0, 2);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{2, 3, 1}));
    L->Delete(1);
    auto Four = Filled(1, 1, 4);
    L->Insert(0, Four.get(), nullptr);
    L->Replace(2, Filled(1, 1, 5).get(), nullptr);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{4, 2, 5}));
    EXPECT_EQ(QvErrorOf([&] { L->Delete(3); }), "Invalid ImageList Index");
    EXPECT_EQ(QvErrorOf([&] { L->Move(0, 3); }), "Invalid ImageList Index");
    EXPECT_EQ(QvErrorOf([&] { L->Replace(-1, Four.get(), nullptr); }), "Invalid ImageList Index");
    EXPECT_EQ(QvErrorOf([&] { L->Insert(4, Four.get(), nullptr); }), "List index out of bounds (4)");
    EXPECT_EQ(Changes, 7);

    // Changes inside an update are told once at the last EndUpdate.
    L->BeginUpdate();
    L->BeginUpdate();
    Add(6);
    L->Clear();
    L->EndUpdate();
    EXPECT_EQ(Changes, 7);
    L->EndUpdate();
    EXPECT_EQ(Changes, 8);
    EXPECT_EQ(LinkChanges, 8);

    // A link freed first leaves the list.
    {
        TChangeLink Gone;
        L->RegisterChanges(&Gone);
    }
    Add(7);
    EXPECT_EQ(Changes, 9);

    // A handler that frees the list ends the notification; the link is cleared.
    Link.OnChange = [&](TObject*) {
        TImageList* Dying = L;
        L = nullptr;
        Dying->Free();
    };
    Add(8);
    EXPECT_EQ(L, nullptr);
    EXPECT_EQ(Link.Sender(), nullptr);
    EXPECT_EQ(Changes, 9);
}

TEST(ImageList, DamagedStoredDataLeavesTheListAsItWas) {
    TImageList L(nullptr);
    L.SetSize(2, 2);
    L.Add(Filled(4, 2, 0xFF010203u).get(), nullptr);
    TMemoryStream Good;
    L.WriteData(Good);
    ASSERT_EQ(Good.Size(), 20 + 2 * 16);

    auto Read = [&](std::string Bytes) {
        TMemoryStream S(Bytes);
        return QvErrorOf([&] { L.ReadData(S); });
    };
    std::string Bytes(Good.Bytes());
    EXPECT_EQ(Read(Bytes.substr(0, Bytes.size() - 1)), "Stream read error");
    std::string Huge = Bytes;
    Huge[16] = '\xFF';  // a count the data cannot hold
    EXPECT_EQ(Read(Huge), "Stream read error");
    std::string Foreign = Bytes;
    Foreign[0] = 'X';
    EXPECT_EQ(Read(Foreign), "Invalid image list data");
    std::string Wide = Bytes;
    Wide[10] = '\x7F';  // width 0x7F0002
    EXPECT_EQ(Read(Wide), "Invalid image list data");
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(Entry(L, 1, 1, 1), 0xFF010203u);

    // Good data brings its own entry size.
    TImageList Other(nullptr);
    Good.SetPosition(0);
    Other.ReadData(Good);
    EXPECT_EQ(Other.Width(), 2);
    EXPECT_EQ(Other.Count(), 2);
}
