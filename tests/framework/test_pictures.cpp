// Pictures: each kind loaded (by content, then by extension), drawn onto a canvas,
// saved, copied and stored in the text form; bad files change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <jpeglib.h>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvPictures.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvBmp.h"
#include "platform/uQvPng.h"
#include "platform/uQvStrUtils.h"
#include "support/qv_error_of.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 3 x 2: opaque red, green, blue; then transparent white, half-transparent black and an
// opaque dark colour.
const std::vector<uint32_t> Sample = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                      0x00FFFFFFu, 0x80000000u, 0xFF0A141Eu};

Bytes SamplePng() {
    return EncodePng(Sample.data(), 3, 2);
}

Bytes MakeJpeg(int W, int H, uint8_t R, uint8_t G, uint8_t B) {
    jpeg_compress_struct C;
    jpeg_error_mgr E;
    C.err = jpeg_std_error(&E);
    jpeg_create_compress(&C);
    unsigned char* Buf = nullptr;
    unsigned long Len = 0;
    jpeg_mem_dest(&C, &Buf, &Len);
    C.image_width = static_cast<JDIMENSION>(W);
    C.image_height = static_cast<JDIMENSION>(H);
    C.input_components = 3;
    C.in_color_space = JCS_RGB;
    jpeg_set_defaults(&C);
    jpeg_set_quality(&C, 95, TRUE);
    jpeg_start_compress(&C, TRUE);
    std::vector<uint8_t> Row;
    for (int X = 0; X < W; ++X) Row.insert(Row.end(), {R, G, B});
    while (C.next_scanline < C.image_height) {
        JSAMPROW P = Row.data();
        jpeg_write_scanlines(&C, &P, 1);
    }
    jpeg_finish_compress(&C);
    Bytes Out(Buf, Buf + Len);
    jpeg_destroy_compress(&C);
    std::free(Buf);
    return Out;
}

// An image block of 2 x 2 indexes in a four-colour table, each index a literal code after
// a clear code, so the code width never grows.
void PutImage(Bytes& B, const std::vector<uint8_t>& Indices) {
    B.insert(B.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2});
    std::vector<int> Codes;
    for (uint8_t I : Indices) Codes.insert(Codes.end(), {4, I});
    Codes.push_back(5);
    Bytes Packed;
    uint32_t Acc = 0;
    int Bits = 0;
    for (int C : Codes) {
        Acc |= uint32_t(C) << Bits;
        for (Bits += 3; Bits >= 8; Bits -= 8, Acc >>= 8) Packed.push_back(uint8_t(Acc));
    }
    if (Bits > 0) Packed.push_back(uint8_t(Acc));
    B.push_back(uint8_t(Packed.size()));
    B.insert(B.end(), Packed.begin(), Packed.end());
    B.push_back(0);
}

// A 2 x 2 animation playing twice: red, green, blue and a transparent pixel for 200 ms,
// then all blue with a 0 ms delay (which plays as 100 ms).
Bytes MakeGif() {
    Bytes B = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0};
    B.insert(B.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    B.insert(B.end(), {0x21, 0xFF, 11});
    for (char C : std::string("NETSCAPE2.0")) B.push_back(uint8_t(C));
    B.insert(B.end(), {3, 1, 2, 0, 0});
    B.insert(B.end(), {0x21, 0xF9, 4, 0x01, 20, 0, 3, 0});
    PutImage(B, {0, 1, 2, 3});
    B.insert(B.end(), {0x21, 0xF9, 4, 0x00, 0, 0, 0, 0});
    PutImage(B, {2, 2, 2, 2});
    B.push_back(0x3B);
    return B;
}

void WriteFile(const char* Name, const Bytes& Data) {
    std::ofstream(Name, std::ios::binary)
        .write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
}

Bytes ReadFile(const char* Name) {
    std::ifstream In(Name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), {});
}

std::vector<uint32_t> PixelsOf(const TGraphic& G) {
    return std::vector<uint32_t>(G.PixelData(), G.PixelData() + static_cast<size_t>(G.Width()) * G.Height());
}

uint32_t Px(TBitmap& B, int X, int Y) {
    return B.ScanLine(Y)[X];
}

// A canvas to draw on, filled with one colour.
std::unique_ptr<TBitmap> Target(int W, int H, uint32_t Fill) {
    auto B = std::make_unique<TBitmap>(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) B->ScanLine(Y)[X] = Fill;
    return B;
}

class TGfxHolder : public TComponent {
public:
    explicit TGfxHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    TPicture* Picture() const { return FPicture.get(); }

private:
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TPen> FPen = std::make_unique<TPen>();
    std::unique_ptr<TBrush> FBrush = std::make_unique<TBrush>();
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

void RegisterHolder() {
    RegisterQvPictures();
    RegisterClass<TGfxHolder, TComponent>(u"TGfxHolder")
        .Object(u"Font", &TGfxHolder::Font)
        .Object(u"Pen", &TGfxHolder::Pen)
        .Object(u"Brush", &TGfxHolder::Brush)
        .Object(u"Picture", &TGfxHolder::Picture);
}

}  // namespace

TEST(Bitmap, SizeKeepsContentAndRowsAreChecked) {
    TBitmap B(3, 2);
    B.ScanLine(1)[2] = 0x12345678u;
    B.ScanLine(0)[0] = 0xFFAABBCCu;
    B.SetSize(2, 3);
    EXPECT_EQ(Px(B, 0, 0), 0xFFAABBCCu);
    EXPECT_EQ(Px(B, 1, 2), 0u);
    B.SetWidth(4);
    EXPECT_EQ(B.Width(), 4);
    EXPECT_EQ(Px(B, 0, 0), 0xFFAABBCCu);
    EXPECT_THROW(B.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(B.ScanLine(-1), EInvalidGraphicOperation);
    // A zero side leaves no pixels but remembers the other side.
    B.SetHeight(0);
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.Width(), 4);
    EXPECT_EQ(B.Handle(), nullptr);
    EXPECT_THROW(B.ScanLine(0), EInvalidGraphicOperation);
    // Drawing on an empty bitmap's canvas goes nowhere and measures all the same.
    EXPECT_NO_THROW(B.Canvas()->FillRect(Rect(0, 0, 4, 4)));
    EXPECT_GT(B.Canvas()->TextWidth(u"x"), 0);
    B.SetHeight(1);
    B.Canvas()->Brush()->SetColor(clRed);
    B.Canvas()->FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(Px(B, 3, 0), 0xFFFF0000u);
    // An impossible size is refused and changes nothing.
    EXPECT_THROW(B.SetSize(40000, 40000), EOutOfResources);
    EXPECT_EQ(B.Width(), 4);
    EXPECT_EQ(Px(B, 3, 0), 0xFFFF0000u);
}

TEST(Picture, LoadsEachKindByContentThenExtension) {
    RegisterQvPictures();
    WriteFile("sample.png", SamplePng());
    WriteFile("photo.jpg", MakeJpeg(8, 8, 200, 100, 50));
    WriteFile("anim.gif", MakeGif());
    WriteFile("plain.bmp", EncodeBmp32(Sample.data(), 3, 2));
    // A PNG named as a JPEG is still a PNG: the content decides.
    WriteFile("misnamed.jpg", SamplePng());

    TPicture P;
    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };
    P.LoadFromFile(u"sample.png");
    ASSERT_NE(dynamic_cast<TPngImage*>(P.Graphic()), nullptr);
    EXPECT_EQ(P.Width(), 3);
    EXPECT_EQ(P.Height(), 2);
    EXPECT_EQ(PixelsOf(*P.Graphic()), Sample);
    EXPECT_TRUE(P.Graphic()->HasAlpha());
    EXPECT_FALSE(P.Graphic()->Modified());
    EXPECT_EQ(Changes, 1);

    P.LoadFromFile(u"photo.jpg");
    ASSERT_NE(dynamic_cast<TJPEGImage*>(P.Graphic()), nullptr);
    EXPECT_FALSE(P.Graphic()->HasAlpha());
    const uint32_t Photo = P.Graphic()->PixelData()[9];
    EXPECT_NEAR(int(Photo >> 16 & 255), 200, 3);
    EXPECT_NEAR(int(Photo & 255), 50, 3);

    P.LoadFromFile(u"anim.gif");
    auto* Gif = dynamic_cast<TGIFImage*>(P.Graphic());
    ASSERT_NE(Gif, nullptr);
    EXPECT_EQ(Gif->FrameCount(), 2);

    P.LoadFromFile(u"plain.bmp");
    auto* Bmp = dynamic_cast<TBitmap*>(P.Graphic());
    ASSERT_NE(Bmp, nullptr);
    EXPECT_EQ(PixelsOf(*Bmp), Sample);
    EXPECT_EQ(Bmp->AlphaFormat(), afDefined);

    P.LoadFromFile(u"misnamed.jpg");
    EXPECT_NE(dynamic_cast<TPngImage*>(P.Graphic()), nullptr);
    EXPECT_EQ(Changes, 5);

    // Without a signature the extension picks the reader, whose error is reported.
    WriteFile("junk.png", Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    WriteFile("junk.dat", Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_THROW(P.LoadFromFile(u"junk.png"), EQvError);
    EXPECT_EQ(QvErrorOf([&] { P.LoadFromFile(u"junk.dat"); }), "Unknown picture format");
}

TEST(Picture, ABadFileLeavesThePictureAsItWas) {
    TPicture P;
    const Bytes Png = SamplePng();
    P.LoadFromBytes(Png.data(), Png.size());
    const TGraphic* Before = P.Graphic();
    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };

    Bytes Truncated(Png.begin(), Png.begin() + static_cast<std::ptrdiff_t>(Png.size() / 2));
    WriteFile("truncated.png", Truncated);
    Bytes Damaged = MakeJpeg(16, 16, 1, 2, 3);
    for (size_t I = Damaged.size() / 3; I < Damaged.size() - 2; ++I) Damaged[I] = 0xFF;
    WriteFile("damaged.jpg", Damaged);
    Bytes Gif = MakeGif();
    Gif.resize(30);
    WriteFile("cut.gif", Gif);

    EXPECT_THROW(P.LoadFromFile(u"truncated.png"), EQvError);
    EXPECT_THROW(P.LoadFromFile(u"damaged.jpg"), EQvError);
    EXPECT_THROW(P.LoadFromFile(u"cut.gif"), EQvError);
    EXPECT_THROW(P.LoadFromFile(u"no-such-file.png"), EQvError);
    EXPECT_THROW(P.LoadFromResourceName(nullptr, u"NO_SUCH_PICTURE"), EQvError);
    // A kind's own reader refuses another kind's file.
    TPngImage Png2;
    const Bytes Jpeg = MakeJpeg(4, 4, 9, 9, 9);
    EXPECT_THROW(Png2.LoadFromBytes(Jpeg.data(), Jpeg.size()), EQvError);
    EXPECT_TRUE(Png2.Empty());

    EXPECT_EQ(P.Graphic(), Before);
    EXPECT_EQ(PixelsOf(*P.Graphic()), Sample);
    EXPECT_EQ(Changes, 0);
}

TEST(Picture, DrawingBlendsAlphaAndCopiesTheRest) {
    // Straight alpha is multiplied out, (c*a + 127) / 255, and put over the canvas.
    TPicture P;
    const uint32_t Half = 0x80FF0000u;  // red at alpha 128
    const Bytes Png = EncodePng(&Half, 1, 1);
    P.LoadFromBytes(Png.data(), Png.size());
    auto Dst = Target(3, 3, 0xFFFFFFFFu);
    Dst->Canvas()->Draw(1, 1, P.Graphic());
    EXPECT_EQ(Px(*Dst, 1, 1), 0xFFFF7F7Fu);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Px(*Dst, 2, 2), 0xFFFFFFFFu);

    // An opaque JPEG is copied as decoded, and stretched by whole pixels.
    const Bytes Jpeg = MakeJpeg(2, 2, 10, 200, 90);
    P.LoadFromBytes(Jpeg.data(), Jpeg.size());
    auto Photo = Target(4, 4, 0);
    Photo->Canvas()->StretchDraw(Rect(0, 0, 4, 4), P.Graphic());
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            ASSERT_EQ(Px(*Photo, X, Y), P.Graphic()->PixelData()[(Y / 2) * 2 + X / 2]);

    // A bitmap without alpha is copied with all four bytes; with alpha it is blended.
    TBitmap Bmp(1, 1);
    Bmp.ScanLine(0)[0] = Half;
    auto Copied = Target(1, 1, 0xFF00FF00u);
    Copied->Canvas()->Draw(0, 0, &Bmp);
    EXPECT_EQ(Px(*Copied, 0, 0), Half);
    Bmp.SetAlphaFormat(afDefined);
    auto Blended = Target(1, 1, 0xFFFFFFFFu);
    Blended->Canvas()->Draw(0, 0, &Bmp);
    EXPECT_EQ(Px(*Blended, 0, 0), 0xFFFF7F7Fu);
    // A transparent bitmap leaves out its bottom-left colour (or the one it is given).
    TBitmap Keyed(2, 1);
    Keyed.ScanLine(0)[0] = 0xFF0000FFu;
    Keyed.ScanLine(0)[1] = 0xFF00FF00u;
    Keyed.SetTransparent(true);
    EXPECT_EQ(Keyed.TransparentColor(), clBlue);
    auto Under = Target(2, 1, 0xFF123456u);
    Under->Canvas()->Draw(0, 0, &Keyed);
    EXPECT_EQ(Px(*Under, 0, 0), 0xFF123456u);
    EXPECT_EQ(Px(*Under, 1, 0), 0xFF00FF00u);
    Keyed.SetTransparentColor(clLime);
    EXPECT_EQ(Keyed.TransparentMode(), tmFixed);
    Under->Canvas()->Draw(0, 0, &Keyed);
    EXPECT_EQ(Px(*Under, 0, 0), 0xFF0000FFu);
    // Nothing to draw draws nothing.
    EXPECT_NO_THROW(Under->Canvas()->Draw(0, 0, nullptr));
}

TEST(GIFImage, FramesDelaysAndTransparency) {
    TPicture P;
    const Bytes Gif = MakeGif();
    P.LoadFromBytes(Gif.data(), Gif.size());
    auto* G = dynamic_cast<TGIFImage*>(P.Graphic());
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->FrameCount(), 2);
    EXPECT_EQ(G->FrameIndex(), 0);
    EXPECT_EQ(G->FrameDelay(0), 200);
    EXPECT_EQ(G->FrameDelay(1), 100);
    EXPECT_EQ(G->LoopCount(), 2);
    EXPECT_TRUE(G->HasAlpha());
    EXPECT_EQ(PixelsOf(*G), (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0u}));

    // The transparent pixel leaves the canvas; the others are drawn.
    auto Dst = Target(2, 2, 0xFF808080u);
    Dst->Canvas()->Draw(0, 0, G);
    EXPECT_EQ(Px(*Dst, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Px(*Dst, 1, 1), 0xFF808080u);

    // Stepping the frame tells the picture, and the next drawing shows the new frame.
    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };
    G->SetFrameIndex(1);
    EXPECT_EQ(Changes, 1);
    G->SetFrameIndex(1);
    EXPECT_EQ(Changes, 1);
    Dst->Canvas()->Draw(0, 0, G);
    EXPECT_EQ(Px(*Dst, 1, 1), 0xFF0000FFu);
    try {
        G->SetFrameIndex(5);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(G->FrameDelay(-1), EListError);
    EXPECT_EQ(G->FrameIndex(), 1);
}

TEST(Picture, SavesInItsOwnFormat) {
    const Bytes Png = SamplePng(), Jpeg = MakeJpeg(8, 8, 1, 2, 3), Gif = MakeGif();
    TPicture P;
    for (const Bytes* File : {&Png, &Jpeg, &Gif}) {
        P.LoadFromBytes(File->data(), File->size());
        P.SaveToFile(u"saved.pic");
        EXPECT_EQ(ReadFile("saved.pic"), *File);  // written back as read
    }
    // A bitmap is written as a 32-bit BMP and read back with its alpha.
    TBitmap Bmp(3, 2);
    std::copy(Sample.begin(), Sample.end(), Bmp.ScanLine(0));
    Bmp.SaveToFile(u"saved.bmp");
    TPicture Back;
    Back.LoadFromFile(u"saved.bmp");
    EXPECT_EQ(PixelsOf(*Back.Graphic()), Sample);
    // A PNG made from other pixels is encoded, alpha kept.
    TPngImage FromBitmap;
    Bmp.SetAlphaFormat(afDefined);
    FromBitmap.Assign(&Bmp);
    TMemoryStream Stream;
    FromBitmap.SaveToStream(Stream);
    Stream.SetPosition(0);
    Back.LoadFromStream(Stream);
    ASSERT_NE(dynamic_cast<TPngImage*>(Back.Graphic()), nullptr);
    EXPECT_EQ(PixelsOf(*Back.Graphic()), Sample);

    // There is nothing to save in an empty picture; no file is written.
    TPicture Empty;
    try {
        Empty.SaveToFile(u"empty.png");
        FAIL();
    } catch (const EInvalidGraphicOperation& E) {
        EXPECT_STREQ(E.what(), "Cannot save an empty picture");
    }
    EXPECT_THROW(Empty.Bitmap()->SaveToFile(u"empty.bmp"), EInvalidGraphicOperation);
    EXPECT_TRUE(ReadFile("empty.png").empty());
    EXPECT_TRUE(ReadFile("empty.bmp").empty());
}

TEST(Picture, CompiledInResourcesAndStreams) {
    TPicture P;
    P.LoadFromResourceName(nullptr, u"QV_TEST_PICTURE");
    ASSERT_NE(dynamic_cast<TPngImage*>(P.Graphic()), nullptr);
    EXPECT_EQ(P.Width(), 3);
    EXPECT_EQ(P.Height(), 2);
    EXPECT_EQ(P.Graphic()->PixelData()[0], 0xFFFF0000u);
    EXPECT_EQ(P.Graphic()->PixelData()[4], 0x80000000u);
    // Streams are read from their position.
    TMemoryStream Stream;
    const uint8_t Lead[3] = {7, 7, 7};
    Stream.WriteBuffer(Lead, 3);
    const Bytes Gif = MakeGif();
    Stream.WriteBuffer(Gif.data(), static_cast<int64_t>(Gif.size()));
    Stream.SetPosition(3);
    P.LoadFromStream(Stream);
    EXPECT_NE(dynamic_cast<TGIFImage*>(P.Graphic()), nullptr);
}

TEST(Picture, AssignCopiesAndConverts) {
    TPicture A;
    const Bytes Gif = MakeGif();
    A.LoadFromBytes(Gif.data(), Gif.size());
    static_cast<TGIFImage*>(A.Graphic())->SetFrameIndex(1);
    TPicture B;
    B.Assign(&A);
    ASSERT_NE(B.Graphic(), A.Graphic());
    auto* Copy = dynamic_cast<TGIFImage*>(B.Graphic());
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Copy->FrameIndex(), 1);
    Copy->SetFrameIndex(0);
    EXPECT_EQ(static_cast<TGIFImage*>(A.Graphic())->FrameIndex(), 1);
    // The copy's changes reach its own picture only.
    int AChanges = 0, BChanges = 0;
    A.OnChange = [&](TObject*) { ++AChanges; };
    B.OnChange = [&](TObject*) { ++BChanges; };
    Copy->SetFrameIndex(1);
    EXPECT_EQ(AChanges, 0);
    EXPECT_EQ(BChanges, 1);

    // A graphic is copied in; nothing empties the picture.
    TBitmap Bmp(2, 2);
    B.SetGraphic(&Bmp);
    ASSERT_NE(dynamic_cast<TBitmap*>(B.Graphic()), nullptr);
    EXPECT_NE(B.Graphic(), &Bmp);
    B.Assign(nullptr);
    EXPECT_EQ(B.Graphic(), nullptr);
    EXPECT_EQ(B.Width(), 0);
    // Bitmap() turns any other kind into an empty bitmap.
    TBitmap* Forced = A.Bitmap();
    EXPECT_TRUE(Forced->Empty());
    EXPECT_EQ(A.Graphic(), Forced);
    EXPECT_EQ(A.Bitmap(), Forced);

    // A bitmap takes the pixels of any kind; a JPEG only another JPEG.
    TPngImage Png;
    const Bytes PngBytes = SamplePng();
    Png.LoadFromBytes(PngBytes.data(), PngBytes.size());
    TBitmap FromPng;
    FromPng.Assign(&Png);
    EXPECT_EQ(PixelsOf(FromPng), Sample);
    EXPECT_EQ(FromPng.AlphaFormat(), afDefined);
    TJPEGImage Jpeg;
    try {
        Jpeg.Assign(&FromPng);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a TBitmap to a TJPEGImage");
    }
    TPicture Holder;
    TPen Pen;
    EXPECT_THROW(Holder.Assign(&Pen), EConvertError);
}

TEST(PictureStreaming, FontsPensBrushesAndPicturesThroughTheTextForm) {
    RegisterHolder();
    TGfxHolder H(nullptr);
    H.SetName(u"Holder");
    H.Font()->SetName(u"微软雅黑");
    H.Font()->SetStyle({fsBold, fsItalic});
    H.Font()->SetColor(clRed);
    H.Font()->SetHeight(-16);
    H.Pen()->SetStyle(psClear);
    H.Brush()->SetColor(clBlue);
    H.Brush()->SetStyle(bsClear);
    const Bytes Png = SamplePng();
    H.Picture()->LoadFromBytes(Png.data(), Png.size());

    const String Text = WriteComponentText(&H);
    EXPECT_NE(Text.find(u"Font.Style = [fsBold, fsItalic]"), String::npos) << StringToUtf8(Text);
    EXPECT_NE(Text.find(u"Font.Color = clRed"), String::npos);
    EXPECT_NE(Text.find(u"Font.Height = -16"), String::npos);
    EXPECT_EQ(Text.find(u"Font.Size"), String::npos);
    EXPECT_NE(Text.find(u"Pen.Style = psClear"), String::npos);
    EXPECT_NE(Text.find(u"Picture.Data = {"), String::npos);
    EXPECT_EQ(Text.find(u"Font.Charset"), String::npos);  // defaults are left out

    TGfxHolder Back(nullptr);
    ReadComponentText(&Back, Text);
    EXPECT_EQ(Back.Font()->Name(), u"微软雅黑");
    EXPECT_EQ(Back.Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(Back.Font()->Color(), clRed);
    EXPECT_EQ(Back.Font()->Height(), -16);
    EXPECT_EQ(Back.Pen()->Style(), psClear);
    EXPECT_EQ(Back.Brush()->Color(), clBlue);
    EXPECT_EQ(Back.Brush()->Style(), bsClear);
    ASSERT_NE(dynamic_cast<TPngImage*>(Back.Picture()->Graphic()), nullptr);
    EXPECT_EQ(PixelsOf(*Back.Picture()->Graphic()), Sample);
    EXPECT_EQ(WriteComponentText(&Back), Text);

    // What layouts write by hand: a size in points, colours and value names.
    TGfxHolder Hand(nullptr);
    ReadComponentText(&Hand,
                      u"object Hand: TGfxHolder\n"
                      u"  Font.Size = 9\n"
                      u"  Font.Color = clWindowText\n"
                      u"  Font.Style = [fsUnderline]\n"
                      u"  Font.Charset = 134\n"
                      u"  Pen.Width = 2\n"
                      u"end\n");
    EXPECT_EQ(Hand.Font()->Height(), -12);
    EXPECT_EQ(Hand.Font()->Color(), clWindowText);
    EXPECT_EQ(Hand.Font()->Style(), TFontStyles{fsUnderline});
    EXPECT_EQ(Hand.Font()->Charset(), GB2312_CHARSET);
    EXPECT_EQ(Hand.Pen()->Width(), 2);
}

TEST(PictureStreaming, BadPictureDataNamesTheLineAndKeepsThePicture) {
    RegisterHolder();
    TGfxHolder H(nullptr);
    const Bytes Gif = MakeGif();
    H.Picture()->LoadFromBytes(Gif.data(), Gif.size());
    const TGraphic* Before = H.Picture()->Graphic();
    // "TPngImage" and bytes that are no PNG; then a class no one knows.
    const String Damaged =
        u"object H: TGfxHolder\n"
        u"  Font.Height = -20\n"
        u"  Picture.Data = {0954506E67496D616765000102}\n"
        u"end\n";
    try {
        ReadComponentText(&H, Damaged);
        FAIL();
    } catch (const EReadError& E) {
        EXPECT_EQ(std::string(E.what()).rfind("Line 3: ", 0), 0u) << E.what();
    }
    const String Unknown =
        u"object H: TGfxHolder\n"
        u"  Picture.Data = {0454466F6F00}\n"
        u"end\n";
    try {
        ReadComponentText(&H, Unknown);
        FAIL();
    } catch (const EReadError& E) {
        EXPECT_STREQ(E.what(), "Line 2: Unknown picture class TFoo");
    }
    EXPECT_EQ(H.Picture()->Graphic(), Before);
    // An empty class name stores no picture at all.
    ReadComponentText(&H, u"object H: TGfxHolder\n  Picture.Data = {00}\nend\n");
    EXPECT_EQ(H.Picture()->Graphic(), nullptr);
}
