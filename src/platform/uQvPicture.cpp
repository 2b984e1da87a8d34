#include "platform/uQvPicture.h"

#include "platform/uQvBmp.h"
#include "platform/uQvFiles.h"
#include "platform/uQvGif.h"
#include "platform/uQvJpeg.h"
#include "platform/uQvPng.h"
#include "platform/uQvStrUtils.h"

#include <cstring>
#include <string_view>

namespace {

// Whole files are read into memory; a picture within the limits stays well below this.
constexpr uint64_t MaxPictureFileSize = uint64_t{2} << 30;

// "<What> "<file name>"<After>", appended piece by piece.
EQvError FileError(const char* What, const String& FileName, const char* After = "") {
    std::string Text = What;
    Text += " \"";
    Text += StringToUtf8(FileName);
    Text += '"';
    Text += After;
    return EQvError(Text);
}

}  // namespace

bool PictureSizeAllowed(int64_t Width, int64_t Height, const TQvPictureLimits& Limits) {
    if (Width < 0 || Height < 0) return false;
    if (Width > Limits.MaxSide || Height > Limits.MaxSide) return false;
    return static_cast<uint64_t>(Width) * static_cast<uint64_t>(Height) <= Limits.MaxPixels;
}

void CheckPictureSize(const char* Format, int64_t Width, int64_t Height, const TQvPictureLimits& Limits) {
    if (Width < 0 || Height < 0)
        throw EQvError(std::string(Format) + ": damaged header (negative picture size)");
    if (!PictureSizeAllowed(Width, Height, Limits))
        throw EQvError(std::string(Format) + ": picture too large (" + std::to_string(Width) + " x " +
                       std::to_string(Height) + " pixels)");
}

TQvPictureFormat DetectPictureFormat(const uint8_t* Data, size_t Size) {
    static const uint8_t PngSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (Data == nullptr) return qfUnknown;
    if (Size >= 8 && std::memcmp(Data, PngSig, 8) == 0) return qfPng;
    if (Size >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF) return qfJpeg;
    if (Size >= 6 && (std::memcmp(Data, "GIF87a", 6) == 0 || std::memcmp(Data, "GIF89a", 6) == 0))
        return qfGif;
    if (Size >= 2 && Data[0] == 'B' && Data[1] == 'M') return qfBmp;
    return qfUnknown;
}

TQvPictureFormat PictureFormatFromExtension(const String& FileName) {
    const size_t Dot = FileName.find_last_of(u'.');
    const size_t Slash = FileName.find_last_of(u"/\\");
    if (Dot == String::npos || (Slash != String::npos && Dot < Slash)) return qfUnknown;
    const String Ext = LowerCase(FileName.substr(Dot));
    if (Ext == u".png") return qfPng;
    if (Ext == u".jpg" || Ext == u".jpeg" || Ext == u".jpe" || Ext == u".jfif") return qfJpeg;
    if (Ext == u".gif") return qfGif;
    if (Ext == u".bmp" || Ext == u".dib") return qfBmp;
    return qfUnknown;
}

const char* PictureFormatName(TQvPictureFormat Format) {
    switch (Format) {
        case qfPng:
            return "PNG";
        case qfJpeg:
            return "JPEG";
        case qfGif:
            return "GIF";
        case qfBmp:
            return "BMP";
        case qfUnknown:
            break;
    }
    return "unknown";
}

TQvPicture LoadPicture(const uint8_t* Data, size_t Size, const String& FileName,
                       const TQvPictureLimits& Limits) {
    TQvPictureFormat Format = DetectPictureFormat(Data, Size);
    if (Format == qfUnknown) Format = PictureFormatFromExtension(FileName);
    switch (Format) {
        case qfPng:
            return DecodePng(Data, Size, Limits);
        case qfJpeg:
            return DecodeJpeg(Data, Size, Limits);
        case qfGif:
            return DecodeGif(Data, Size, Limits);
        case qfBmp:
            return DecodeBmp(Data, Size, Limits);
        case qfUnknown:
            break;
    }
    throw EQvError("Unknown picture format");
}

TQvPicture LoadPictureFromFile(const String& FileName, const TQvPictureLimits& Limits) {
    const std::vector<uint8_t> Bytes = ReadPictureFile(FileName);
    try {
        return LoadPicture(Bytes.data(), Bytes.size(), FileName, Limits);
    } catch (const EQvError& E) {
        std::string Text = E.what();
        Text += " (file";
        throw FileError(Text.c_str(), FileName, ")");
    }
}

std::vector<uint8_t> ReadPictureFile(const String& FileName) {
    std::vector<uint8_t> Bytes;
    const TQvFileResult R = ReadFileBytes(FileName, Bytes, MaxPictureFileSize);
    switch (R.Failure()) {
        case ffNone:
            return Bytes;
        case ffOpen:
            throw FileError("Cannot open file", FileName);
        case ffNotRegular:
            throw FileError("Cannot open file", FileName, " (not a regular file)");
        case ffTooLarge:
            throw FileError("File too large for a picture:", FileName);
        default:
            throw FileError("Cannot read file", FileName);
    }
}

// Written beside the target and renamed over it, so a failed write (full disk, no
// permission) never leaves a previous file half overwritten.
void WritePictureFile(const String& FileName, const std::vector<uint8_t>& Bytes) {
    const std::string_view Data(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    const TQvFileResult R = WriteFileAtomic(FileName, Data, 0666);
    if (!R) throw FileError(R.Failure() == ffCreate ? "Cannot create file" : "Cannot write file", FileName);
}
