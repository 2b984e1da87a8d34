#include "platform/uQvGif.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
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

// A frame as stored: its place, the colours its indexes stand for, and the indexes of its
// rows that fall on the screen, in the order the file holds them.
struct TStoredFrame {
    int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // the declared rectangle
    int64_t Visible = 0;                                // indexes kept per row
    std::vector<int64_t> RowY;
    std::vector<GifPixelType> Indices;
    // 0 (never an opaque colour) for the transparent index and those beyond the table:
    // they show what is below.
    std::array<uint32_t, 256> Colors{};
    TFrameControl Control;
};

// Rows of an interlaced frame come in four passes: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
template <class F>
void ForEachRow(bool Interlace, int Height, F&& Row) {
    static const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < (Interlace ? 4 : 1); ++Pass)
        for (int Y = Interlace ? Start[Pass] : 0; Y < Height; Y += Interlace ? Step[Pass] : 1) Row(Y);
}

// Reads one frame's rows. The indexes are kept as they come, so what is held never runs
// ahead of what the file really contains.
void ReadFrame(GifFileType* Gif, TStoredFrame& F, int64_t ScreenW, int64_t ScreenH) {
    const GifImageDesc& Desc = Gif->Image;
    std::vector<GifPixelType> Line(static_cast<size_t>(Desc.Width));
    F.Visible = std::clamp<int64_t>(ScreenW - Desc.Left, 0, Desc.Width);
    ForEachRow(Desc.Interlace, Desc.Height, [&](int Y) {
        if (DGifGetLine(Gif, Line.data(), Desc.Width) == GIF_ERROR) FailGif(Gif);
        const int64_t CY = int64_t{Desc.Top} + Y;
        if (CY >= ScreenH || F.Visible == 0) return;
        F.RowY.push_back(CY);
        F.Indices.insert(F.Indices.end(), Line.begin(), Line.begin() + F.Visible);
    });
}

void DrawFrame(const TStoredFrame& F, std::vector<uint32_t>& Canvas, int64_t CanvasW) {
    const GifPixelType* Index = F.Indices.data();
    for (const int64_t Y : F.RowY) {
        uint32_t* Row = Canvas.data() + static_cast<size_t>(Y * CanvasW + F.Left);
        for (int64_t X = 0; X < F.Visible; ++X, ++Index)
            if (const uint32_t C = F.Colors[*Index]; C != 0) Row[X] = C;
    }
}

// Every canvas pixel under a frame's rectangle, row by row.
template <class Fn>
void ForEachCovered(const TStoredFrame& F, std::vector<uint32_t>& Canvas, int64_t CanvasW, int64_t CanvasH,
                    Fn&& Do) {
    const int64_t X1 = std::min(F.Right, CanvasW), Y1 = std::min(F.Bottom, CanvasH);
    for (int64_t Y = F.Top; Y < Y1; ++Y)
        for (int64_t X = F.Left; X < X1; ++X) Do(Canvas[static_cast<size_t>(Y * CanvasW + X)]);
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
    int64_t ScreenW = Gif->SWidth, ScreenH = Gif->SHeight;
    if (ScreenW > 0 && ScreenH > 0) CheckPictureSize("GIF", ScreenW, ScreenH, Limits);

    // First every frame is read, then the canvas is made: only as large as the frames
    // reach, and only once the file has shown it holds them.
    std::vector<TStoredFrame> Frames;
    TFrameControl Next;
    uint64_t Stored = 0;
    for (;;) {
        GifRecordType Record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(Gif, &Record) == GIF_ERROR) {
            // Junk or nothing where the trailer belongs: the frames read so far stand.
            if (!Frames.empty()) break;
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
        if (Frames.empty() && (ScreenW <= 0 || ScreenH <= 0)) {
            ScreenW = int64_t{Desc.Left} + Desc.Width;
            ScreenH = int64_t{Desc.Top} + Desc.Height;
            CheckPictureSize("GIF", ScreenW, ScreenH, Limits);
            if (ScreenW == 0 || ScreenH == 0) Fail("the picture has no area");
        }
        const ColorMapObject* Map = Desc.ColorMap != nullptr ? Desc.ColorMap : Gif->SColorMap;
        if (Map == nullptr) Fail("a frame has no colour table");

        TStoredFrame& F = Frames.emplace_back();
        F.Left = Desc.Left, F.Top = Desc.Top;
        F.Right = F.Left + Desc.Width, F.Bottom = F.Top + Desc.Height;
        F.Control = Next;
        for (int I = 0; I < std::min(Map->ColorCount, 256); ++I) {
            const GifColorType& C = Map->Colors[I];
            if (I != Next.Transparent)
                F.Colors[static_cast<size_t>(I)] =
                    0xFF000000u | uint32_t{C.Red} << 16 | uint32_t{C.Green} << 8 | C.Blue;
        }
        if (Desc.Width == 0 || Desc.Height == 0)
            SkipImageData(Gif);
        else
            ReadFrame(Gif, F, ScreenW, ScreenH);
        // Each frame becomes at least as many pixels as it shows, and at least one.
        Stored += std::max<size_t>(F.Indices.size(), 1);
        if (Stored > Limits.MaxPixels)
            Fail("picture too large (" + std::to_string(Frames.size()) + " frames of " + std::to_string(ScreenW) +
                 " x " + std::to_string(ScreenH) + " pixels)");
        Next = TFrameControl{};
    }
    if (Frames.empty()) Fail("the file holds no picture");

    int64_t CanvasW = 0, CanvasH = 0;
    for (const TStoredFrame& F : Frames) CanvasW = std::max(CanvasW, F.Right), CanvasH = std::max(CanvasH, F.Bottom);
    CanvasW = std::min(CanvasW, ScreenW), CanvasH = std::min(CanvasH, ScreenH);
    if (CanvasW == 0 || CanvasH == 0) Fail("the picture has no area");
    // Every frame is a full copy of the canvas; together they stay within the limits.
    const uint64_t CanvasPixels = static_cast<uint64_t>(CanvasW) * static_cast<uint64_t>(CanvasH);
    if (CanvasPixels * Frames.size() > Limits.MaxPixels)
        Fail("picture too large (" + std::to_string(Frames.size()) + " frames of " + std::to_string(CanvasW) +
             " x " + std::to_string(CanvasH) + " pixels)");
    P.Width = static_cast<int>(CanvasW);
    P.Height = static_cast<int>(CanvasH);

    std::vector<uint32_t> Canvas(CanvasPixels, 0), Saved;
    for (const TStoredFrame& F : Frames) {
        const int Disposal = F.Control.Disposal;
        // Only what the frame covers is ever taken back, so only that is kept.
        if (Disposal == DisposePrevious) {
            Saved.clear();
            ForEachCovered(F, Canvas, CanvasW, CanvasH, [&](uint32_t& C) { Saved.push_back(C); });
        }
        DrawFrame(F, Canvas, CanvasW);
        P.Frames.push_back({Canvas, DelayMs(F.Control.DelayCs)});
        if (Disposal == DisposeBackground) {
            ForEachCovered(F, Canvas, CanvasW, CanvasH, [](uint32_t& C) { C = 0; });
        } else if (Disposal == DisposePrevious) {
            size_t At = 0;
            ForEachCovered(F, Canvas, CanvasW, CanvasH, [&](uint32_t& C) { C = Saved[At++]; });
        }
    }
    for (const TQvPictureFrame& F : P.Frames)
        if (std::any_of(F.Pixels.begin(), F.Pixels.end(), [](uint32_t C) { return C >> 24 != 0xFF; })) {
            P.HasAlpha = true;
            break;
        }
    return P;
}
