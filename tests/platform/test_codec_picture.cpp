// The picture loader: content before extension, files and their errors.
#include <gtest/gtest.h>

#include "platform/uQvBmp.h"
#include "platform/uQvPicture.h"
#include "platform/uQvPng.h"
#include "support/qv_error_of.h"

#include <fstream>

namespace {

using Bytes = std::vector<uint8_t>;

const uint32_t Px[4] = {0xFF102030u, 0x80405060u, 0x00000000u, 0xFFFFFFFFu};

std::string ErrorOf(const Bytes& B, const String& Name) {
    return QvErrorOf([&] { LoadPicture(B.data(), B.size(), Name); });
}

void WriteBytes(const char* Name, const Bytes& B) {
    std::ofstream(Name, std::ios::binary)
        .write(reinterpret_cast<const char*>(B.data()), std::streamsize(B.size()));
}

}  // namespace

TEST(CodecPicture, ContentDecidesBeforeTheExtension) {
    const Bytes Png = EncodePng(Px, 2, 2);
    const Bytes Bmp = EncodeBmp32(Px, 2, 2);
    EXPECT_EQ(DetectPictureFormat(Png.data(), Png.size()), qfPng);
    EXPECT_EQ(DetectPictureFormat(Bmp.data(), Bmp.size()), qfBmp);
    const uint8_t Jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0}, Gif[] = {'G', 'I', 'F', '8', '7', 'a'};
    EXPECT_EQ(DetectPictureFormat(Jpeg, 4), qfJpeg);
    EXPECT_EQ(DetectPictureFormat(Gif, 6), qfGif);
    EXPECT_EQ(DetectPictureFormat(Gif, 5), qfUnknown);
    EXPECT_EQ(DetectPictureFormat(nullptr, 0), qfUnknown);

    // A PNG saved under a bitmap's name is still a PNG, and the other way round.
    const TQvPicture A = LoadPicture(Png.data(), Png.size(), u"skin.bmp");
    EXPECT_EQ(A.Format, qfPng);
    EXPECT_EQ(A.Frames[0].Pixels, std::vector<uint32_t>(Px, Px + 4));
    EXPECT_EQ(LoadPicture(Bmp.data(), Bmp.size(), u"skin.png").Format, qfBmp);

    // Unknown content: the extension picks the decoder, which explains what is wrong.
    const Bytes Junk = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(ErrorOf(Junk, u"photo.JPG"), "JPEG: not a JPEG file");
    EXPECT_EQ(ErrorOf(Junk, u"C:\\pics\\anim.Gif"), "GIF: not a GIF file");
    EXPECT_EQ(ErrorOf(Junk, u"图片.Jfif"), "JPEG: not a JPEG file");
    EXPECT_EQ(ErrorOf(Junk, u"dir.png/readme"), "Unknown picture format");
    EXPECT_EQ(ErrorOf(Junk, u""), "Unknown picture format");
    EXPECT_EQ(ErrorOf({}, u"x.txt"), "Unknown picture format");
}

TEST(CodecPicture, FilesLoadAndFailuresNameTheFile) {
    WriteBytes("pic.dat", EncodeBmp32(Px, 2, 2, true));
    const TQvPicture P = LoadPictureFromFile(u"pic.dat");
    EXPECT_EQ(P.Format, qfBmp);
    EXPECT_EQ(P.Pixel(1, 0), Px[1]);
    EXPECT_EQ(P.Pixel(0, 1), Px[2]);

    Bytes Cut = EncodePng(Px, 2, 2);
    Cut.resize(Cut.size() / 2);
    WriteBytes("cut.png", Cut);
    EXPECT_EQ(QvErrorOf([&] { LoadPictureFromFile(u"cut.png"); }),
              "PNG: the file is truncated (file \"cut.png\")");
    try {
        LoadPictureFromFile(u"缺少.png");
        ADD_FAILURE() << "no error";
    } catch (const EQvError& E) {
        EXPECT_EQ(E.Message(), u"Cannot open file \"缺少.png\"");
    }
}
