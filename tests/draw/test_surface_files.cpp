#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "draw/uQvSurface.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvBmp.h"
#include "platform/uQvPicture.h"
#include "platform/uQvPng.h"

namespace {

uint32_t Get32(const std::vector<uint8_t>& B, size_t At) {
    return uint32_t{B[At]} | uint32_t{B[At + 1]} << 8 | uint32_t{B[At + 2]} << 16 | uint32_t{B[At + 3]} << 24;
}

}  // namespace

TEST(SurfaceFiles, SavesA32BitBmpEitherWayUp) {
    TSurface32 S;
    S.SetSize(2, 3);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 2; ++X) S.SetPixel(X, Y, 0x80000000u | (Y << 8) | X);
    const std::vector<uint8_t> Down = S.SaveToBytes();
    ASSERT_EQ(Down.size(), 54u + 24u);
    EXPECT_EQ(Down[0], 'B');
    EXPECT_EQ(Down[1], 'M');
    EXPECT_EQ(Get32(Down, 2), 78u);
    EXPECT_EQ(Get32(Down, 10), 54u);
    EXPECT_EQ(Get32(Down, 18), 2u);
    EXPECT_EQ(static_cast<int32_t>(Get32(Down, 22)), -3);
    EXPECT_EQ(Get32(Down, 54), S.GetPixel(0, 0));
    const std::vector<uint8_t> Up = S.SaveToBytes(true);
    EXPECT_EQ(static_cast<int32_t>(Get32(Up, 22)), 3);
    EXPECT_EQ(Get32(Up, 54), S.GetPixel(0, 2));  // last row first

    S.SaveToFile(u"saved.bmp");
    TSurface32 Back;
    Back.LoadFromFile(u"saved.bmp");
    ASSERT_EQ(Back.Width(), 2);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 2; ++X) EXPECT_EQ(Back.GetPixel(X, Y), S.GetPixel(X, Y));
}

TEST(SurfaceFiles, PicturesWithoutA32BitBitmapAreComposedOverWhite) {
    const uint32_t Px[2] = {0x80FF0000u, 0x00123456u};
    const std::vector<uint8_t> Png = EncodePng(Px, 2, 1);
    TSurface32 S;
    int Changes = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    S.LoadFromBytes(Png.data(), Png.size());
    EXPECT_EQ(Changes, 1);
    ASSERT_EQ(S.Width(), 2);
    // Red 255 at alpha 128 over white: (255*128 + 255*127 + 127) / 255 = 255; green and
    // blue (255*127 + 127) / 255 = 127.
    EXPECT_EQ(S.GetPixel(0, 0), 0xFFFF7F7Fu);
    EXPECT_EQ(S.GetPixel(1, 0), 0xFFFFFFFFu);
}

TEST(SurfaceFiles, ABadPictureLeavesTheSurfaceAsItWas) {
    TSurface32 S;
    S.SetSize(1, 1);
    S.Clear(0x12345678u);
    const uint8_t Junk[] = {'B', 'M', 1, 2, 3};
    EXPECT_THROW(S.LoadFromBytes(Junk, sizeof Junk), EQvError);
    EXPECT_THROW(S.LoadFromFile(u"no-such-file.png"), EQvError);
    EXPECT_THROW(S.LoadFromResourceName(nullptr, u"NO_SUCH_RESOURCE"), EQvError);
    ASSERT_EQ(S.Width(), 1);
    EXPECT_EQ(S.GetPixel(0, 0), 0x12345678u);
}

namespace {

// A component holding a surface, as the image lists and controls of stored layouts do.
class TSurfaceHolder : public TComponent {
public:
    explicit TSurfaceHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TSurface32* Bitmap() { return &FBitmap; }

private:
    TSurface32 FBitmap;
};

void RegisterHolder() {
    RegisterQvSurfaces();
    RegisterClass<TSurfaceHolder, TComponent>(u"TSurfaceHolder").Object(u"Bitmap", &TSurfaceHolder::Bitmap);
}

}  // namespace

TEST(SurfaceFiles, StoredLayoutsCarryDataAndNonDefaultModes) {
    RegisterHolder();
    TSurfaceHolder Holder(nullptr);
    Holder.SetName(u"Holder");
    TSurface32& S = *Holder.Bitmap();
    S.SetSize(2, 1);
    S.SetPixel(0, 0, 0x80112233u);
    S.SetPixel(1, 0, 0xFF445566u);
    S.SetDrawMode(dmBlend);
    S.SetMasterAlpha(200);
    const String Text = WriteComponentText(&Holder);
    EXPECT_NE(Text.find(u"Bitmap.DrawMode = dmBlend"), String::npos) << StringToUtf8(Text);
    EXPECT_NE(Text.find(u"Bitmap.MasterAlpha = 200"), String::npos);
    EXPECT_NE(Text.find(u"Bitmap.ResamplerClassName = 'TNearestResampler'"), String::npos);
    EXPECT_EQ(Text.find(u"CombineMode"), String::npos);  // defaults are omitted
    EXPECT_EQ(Text.find(u"WrapMode"), String::npos);
    EXPECT_NE(Text.find(u"Bitmap.Data"), String::npos);

    TSurfaceHolder Back(nullptr);
    ReadComponentText(&Back, Text);
    const TSurface32& B = *Back.Bitmap();
    ASSERT_EQ(B.Width(), 2);
    EXPECT_EQ(B.GetPixel(0, 0), 0x80112233u);
    EXPECT_EQ(B.GetPixel(1, 0), 0xFF445566u);
    EXPECT_EQ(B.DrawMode(), dmBlend);
    EXPECT_EQ(B.MasterAlpha(), 200);

    // An empty surface stores no Data.
    S.SetSize(0, 0);
    EXPECT_EQ(WriteComponentText(&Holder).find(u"Data"), String::npos);
}

TEST(SurfaceFiles, StreamsAndDamagedData) {
    TSurface32 S;
    S.SetSize(3, 2);
    S.Clear(0x7F010203u);
    TMemoryStream Bmp;
    S.SaveToStream(Bmp);
    EXPECT_EQ(Bmp.Size(), 54 + 24);
    Bmp.SetPosition(0);
    TSurface32 T;
    T.LoadFromStream(Bmp);
    EXPECT_EQ(T.GetPixel(2, 1), 0x7F010203u);

    TMemoryStream Data;
    S.WriteData(Data);
    EXPECT_EQ(Data.Size(), 8 + 24);
    // A record claiming more pixels than the stream holds is refused before allocating.
    TMemoryStream Bad;
    const uint8_t Head[8] = {0xFF, 0x7F, 0, 0, 0x00, 0x20, 0, 0};  // 32767 x 8192
    Bad.WriteBuffer(Head, 8);
    Bad.SetPosition(0);
    try {
        T.ReadData(Bad);
        ADD_FAILURE();
    } catch (const EReadError& E) {
        EXPECT_STREQ(E.what(), "Stream read error");
    }
    EXPECT_EQ(T.Width(), 3);
    Data.SetPosition(0);
    Data.SetSize(8 + 23);
    EXPECT_THROW(T.ReadData(Data), EReadError);
    EXPECT_EQ(T.GetPixel(0, 0), 0x7F010203u);
}
