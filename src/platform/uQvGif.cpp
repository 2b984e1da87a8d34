#include "platform/uQvGif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct TGifSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

int ReadGifBytes(GifFileType* Gif, GifByteType* Dest, int Length) {
    auto* Src = static_cast<TGifSource*>(Gif->UserData);
    if (Length <= 0) return 0;
    const size_t N = std::min(static_cast<size_t>(Length), Src->Size - Src->Pos);
    std::memcpy(Dest, Src->Data + Src->Pos, N);
    Src->Pos += N;
    return static_cast<int>(N);
}

struct TGifFile {
    GifFileType* Gif = nullptr;
    ~TGifFile() {
        if (Gif != nullptr) {
            int Ignored = 0;
            DGifCloseFile(Gif, &Ignored);
        }
    }
};

[[noreturn]] void Fail(const std::string& What) {
    throw EQvError("GIF: " + What);
}

// A failure that ran into the end of the data is a truncated file, whatever step noticed it.
[[noreturn]] void FailCode(int Code, const TGifSource& Src) {
    if (Code == D_GIF_ERR_READ_FAILED || Code == D_GIF_ERR_EOF_TOO_SOON || Src.Pos >= Src.Size)
        Fail("the file is truncated");
    const char* Text = GifErrorString(Code);
    Fail(std::string("damaged data (") + (Text != nullptr ? Text : "unknown error") + ")");
}

[[noreturn]] void FailGif(GifFileType* Gif) {
    FailCode(Gif->Error, *static_cast<const TGifSource*>(Gif->UserData));
}

// The graphic control extension that applies to the next frame.
struct TFrameControl {
    int Disposal = 0;
    int DelayCs = 0;
    int Transparent = -1;
};

constexpr int DisposeBackground = 2;
constexpr int DisposePrevious = 3;

int DelayMs(int Centiseconds) {
    const int Ms = Centiseconds * 10;
    return Ms <= 10 ? 100 : Ms;
}

// Reads an extension; a graphic control extension fills Next, a looping extension
// sets the picture's repeat count.
void ReadExtension(GifFileType* Gif, TFrameControl& Next, TQvPicture& P) {
    int Code = 0;
    GifByteType* Block = nullptr;
    if (DGifGetExtension(Gif, &Code, &Block) == GIF_ERROR) FailGif(Gif);
    bool Looping = false;
    bool First = true;
    while (Block != nullptr) {
        const int Length = Block[0];
        if (First && Code == GRAPHICS_EXT_FUNC_CODE && Length >= 4) {
            Next.Disposal = (Block[1] >> 2) & 7;
            Next.DelayCs = Block[2] | Block[3] << 8;
            Next.Transparent = (Block[1] & 1) ? Block[4] : -1;
        } else if (First && Code == APPLICATION_EXT_FUNC_CODE && Length == 11) {
            Looping = std::memcmp(Block + 1, "NETSCAPE2.0", 11) == 0 ||
                      std::memcmp(Block + 1, "ANIMEXTS1.0", 11) == 0;
        } else if (!First && Looping && Length >= 3 && Block[1] == 1) {
            P.LoopCount = Block[2] | Block[3] << 8;
        }
        First = false;
        if (DGifGetExtensionNext(Gif, &Block) == GIF_ERROR) FailGif(Gif);
    }
}

// Skips the compressed data of a frame that has no pixels.
void SkipImageData(GifFileType* Gif) {
    int CodeSize = 0;
    GifByteType* Block = nullptr;
    if (DGifGetCode(Gif, &CodeSize, &Block) == GIF_ERROR) FailGif(Gif);
    while (Block != nullptr)
        if (DGifGetCodeNext(Gif, &Block) == GIF_ERROR) FailGif(Gif);
}

}  // namespace

TQvPicture DecodeGif(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits) {
    if (Data == nullptr || Size < 6 ||
        (std::memcmp(Data, "GIF87a", 6) != 0 && std::memcmp(Data, "GIF89a", 6) != 0))
        Fail("not a GIF file");
    TGifSource Source{Data, Size, 0};
    TGifFile File;
    int OpenError = 0;
    File.Gif = DGifOpen(&Source, ReadGifBytes, &OpenError);
    if (File.Gif == nullptr) FailCode(OpenError, Source);
    GifFileType* Gif = File.Gif;

    TQvPicture P;
    P.Format = qfGif;
    P.BitsPerPixel = 8;
    // A screen of size 0 takes the size of the first frame.
    int64_t CanvasW = Gif->SWidth, CanvasH = Gif->SHeight;
    if (CanvasW > 0 && CanvasH > 0) CheckPictureSize("GIF", CanvasW, CanvasH, Limits);

    std::vector<uint32_t> Canvas, Saved;
    std::vector<GifPixelType> Line;
    TFrameControl Next;
    uint64_t PixelsSoFar = 0;
    for (;;) {
        GifRecordType Record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(Gif, &Record) == GIF_ERROR) {
            // Junk or nothing where the trailer belongs: the frames read so far stand.
            if (!P.Frames.empty()) break;
            FailGif(Gif);
        }
        if (Record == TERMINATE_RECORD_TYPE) break;
        if (Record == EXTENSION_RECORD_TYPE) {
            ReadExtension(Gif, Next, P);
            continue;
        }
        if (Record != IMAGE_DESC_RECORD_TYPE) Fail("damaged data (unknown record)");

        if (DGifGetImageDesc(Gif) == GIF_ERROR) FailGif(Gif);
        const GifImageDesc& Desc = Gif->Image;
        CheckPictureSize("GIF", Desc.Width, Desc.Height, Limits);
        if (Canvas.empty()) {
            if (CanvasW <= 0 || CanvasH <= 0) {
                CanvasW = int64_t{Desc.Left} + Desc.Width;
                CanvasH = int64_t{Desc.Top} + Desc.Height;
                CheckPictureSize("GIF", CanvasW, CanvasH, Limits);
                if (CanvasW == 0 || CanvasH == 0) Fail("the picture has no area");
            }
            P.Width = static_cast<int>(CanvasW);
            P.Height = static_cast<int>(CanvasH);
        }
        // Every frame is a full copy of the screen; together they stay within the limits.
        const uint64_t ScreenPixels = static_cast<uint64_t>(CanvasW) * static_cast<uint64_t>(CanvasH);
        if (PixelsSoFar + ScreenPixels > Limits.MaxPixels)
            Fail("picture too large (" + std::to_string(P.Frames.size() + 1) + " frames of " +
                 std::to_string(CanvasW) + " x " + std::to_string(CanvasH) + " pixels)");
        PixelsSoFar += ScreenPixels;
        if (Canvas.empty()) Canvas.assign(ScreenPixels, 0);

        const ColorMapObject* Map = Desc.ColorMap != nullptr ? Desc.ColorMap : Gif->SColorMap;
        if (Map == nullptr) Fail("a frame has no colour table");
        if (Next.Disposal == DisposePrevious) Saved = Canvas;

        const int FrameW = Desc.Width, FrameH = Desc.Height;
        if (FrameW == 0 || FrameH == 0) {
            SkipImageData(Gif);
        } else {
            Line.resize(static_cast<size_t>(FrameW));
            // Interlaced frames store rows in four passes: every 8th from 0, every 8th
            // from 4, every 4th from 2, every 2nd from 1.
            static const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
            const int Passes = Desc.Interlace ? 4 : 1;
            for (int Pass = 0; Pass < Passes; ++Pass) {
                const int Y0 = Desc.Interlace ? Start[Pass] : 0, DY = Desc.Interlace ? Step[Pass] : 1;
                for (int Y = Y0; Y < FrameH; Y += DY) {
                    if (DGifGetLine(Gif, Line.data(), FrameW) == GIF_ERROR) FailGif(Gif);
                    const int64_t CY = int64_t{Desc.Top} + Y;
                    if (CY >= CanvasH) continue;
                    uint32_t* Row = Canvas.data() + static_cast<size_t>(CY) * static_cast<size_t>(CanvasW);
                    const int64_t Visible = std::min<int64_t>(FrameW, CanvasW - Desc.Left);
                    for (int64_t X = 0; X < Visible; ++X) {
                        const int Index = Line[static_cast<size_t>(X)];
                        // Indexes beyond the table show nothing, like the transparent one.
                        if (Index == Next.Transparent || Index >= Map->ColorCount) continue;
                        const GifColorType& C = Map->Colors[Index];
                        Row[Desc.Left + X] =
                            0xFF000000u | uint32_t{C.Red} << 16 | uint32_t{C.Green} << 8 | C.Blue;
                    }
                }
            }
        }
        P.Frames.push_back({Canvas, DelayMs(Next.DelayCs)});

        if (Next.Disposal == DisposeBackground) {
            const int64_t X1 = std::min<int64_t>(int64_t{Desc.Left} + FrameW, CanvasW);
            const int64_t Y1 = std::min<int64_t>(int64_t{Desc.Top} + FrameH, CanvasH);
            for (int64_t Y = Desc.Top; Y < Y1; ++Y)
                for (int64_t X = Desc.Left; X < X1; ++X) Canvas[static_cast<size_t>(Y * CanvasW + X)] = 0;
        } else if (Next.Disposal == DisposePrevious) {
            Canvas.swap(Saved);
        }
        Next = TFrameControl{};
    }
    if (P.Frames.empty()) Fail("the file holds no picture");
    for (const TQvPictureFrame& F : P.Frames)
        if (std::any_of(F.Pixels.begin(), F.Pixels.end(), [](uint32_t C) { return C >> 24 != 0xFF; })) {
            P.HasAlpha = true;
            break;
        }
    return P;
}
