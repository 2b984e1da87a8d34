#include "platform/uQvPng.h"

#include "platform/uQvPngPalette.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// libpng reports errors by longjmp. Each step that calls libpng runs in a function of its
// own that holds no object with a destructor, and everything it fills lives in a context
// owned by the caller, so the jump skips nothing that needs cleaning up.

namespace {

struct TPngReadContext {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Pos = 0;
    const TQvPictureLimits* Limits = nullptr;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    char Error[256] = {};
    TQvPicture Picture;
    std::vector<png_bytep> Rows;

    ~TPngReadContext() {
        if (Png != nullptr) png_destroy_read_struct(&Png, Info != nullptr ? &Info : nullptr, nullptr);
    }
};

struct TPngWriteContext {
    std::vector<uint8_t> Out;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    char Error[256] = {};
    std::vector<png_bytep> Rows;
    TQvIndexedPixels Indexed;

    ~TPngWriteContext() {
        if (Png != nullptr) png_destroy_write_struct(&Png, Info != nullptr ? &Info : nullptr);
    }
};

void OnPngError(png_structp Png, png_const_charp Message) {
    char* Error = static_cast<char*>(png_get_error_ptr(Png));
    std::snprintf(Error, 256, "%s", Message != nullptr ? Message : "damaged data");
    png_longjmp(Png, 1);
}

// Warnings (unknown profiles, bad ancillary checksums) do not stop a picture from loading.
void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp Png, png_bytep Dest, png_size_t Length) {
    auto* Ctx = static_cast<TPngReadContext*>(png_get_io_ptr(Png));
    if (Length > Ctx->Size - Ctx->Pos) png_error(Png, "the file is truncated");
    std::memcpy(Dest, Ctx->Data + Ctx->Pos, Length);
    Ctx->Pos += Length;
}

void WriteToMemory(png_structp Png, png_bytep Src, png_size_t Length) {
    auto* Ctx = static_cast<TPngWriteContext*>(png_get_io_ptr(Png));
    bool Stored = true;
    try {
        Ctx->Out.insert(Ctx->Out.end(), Src, Src + Length);
    } catch (const std::bad_alloc&) {
        Stored = false;
    }
    // The jump must not leave from inside the handler: the exception would stay caught for ever.
    if (!Stored) png_error(Png, "out of memory");
}

void FlushMemory(png_structp) {}

uint32_t ScaleSample(uint32_t Value, int BitDepth) {
    if (BitDepth == 16) return (Value * 255 + 32767) / 65535;
    return Value * 255 / ((1u << BitDepth) - 1);
}

void DescribeTransparency(png_structp Png, png_infop Info, int ColorType, int BitDepth, TQvPngInfo& Out) {
    if (ColorType & PNG_COLOR_MASK_ALPHA) {
        Out.Transparency = ptPartial;
        return;
    }
    if (!png_get_valid(Png, Info, PNG_INFO_tRNS)) return;
    png_bytep Alphas = nullptr;
    int Count = 0;
    png_color_16p Key = nullptr;
    png_get_tRNS(Png, Info, &Alphas, &Count, &Key);
    if (ColorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp Palette = nullptr;
        int PaletteSize = 0;
        png_get_PLTE(Png, Info, &Palette, &PaletteSize);
        int FirstClear = -1;
        bool Partial = false;
        for (int I = 0; I < Count && Alphas != nullptr; ++I) {
            if (Alphas[I] != 0 && Alphas[I] != 255) Partial = true;
            if (Alphas[I] == 0 && FirstClear < 0) FirstClear = I;
        }
        if (Partial) {
            Out.Transparency = ptPartial;
        } else if (FirstClear >= 0) {
            Out.Transparency = ptBit;
            if (FirstClear < PaletteSize)
                Out.TransparentColor = uint32_t{Palette[FirstClear].red} << 16 |
                                       uint32_t{Palette[FirstClear].green} << 8 | Palette[FirstClear].blue;
        }
        return;
    }
    if (Key == nullptr) return;
    Out.Transparency = ptBit;
    if (ColorType == PNG_COLOR_TYPE_GRAY) {
        const uint32_t G = ScaleSample(Key->gray, BitDepth);
        Out.TransparentColor = G << 16 | G << 8 | G;
    } else {
        Out.TransparentColor = ScaleSample(Key->red, BitDepth) << 16 |
                               ScaleSample(Key->green, BitDepth) << 8 | ScaleSample(Key->blue, BitDepth);
    }
}

// Header and transforms. False with Ctx.Error set when the file is bad or too large.
bool ReadPngHeader(TPngReadContext& Ctx) {
    if (setjmp(png_jmpbuf(Ctx.Png))) return false;
    // The size limits are ours (checked below with a uniform message), not libpng's.
    png_set_user_limits(Ctx.Png, 0x7fffffff, 0x7fffffff);
    png_set_keep_unknown_chunks(Ctx.Png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(Ctx.Png, Ctx.Info);

    png_uint_32 Width = 0, Height = 0;
    int BitDepth = 0, ColorType = 0, Interlace = 0;
    png_get_IHDR(Ctx.Png, Ctx.Info, &Width, &Height, &BitDepth, &ColorType, &Interlace, nullptr, nullptr);
    if (!PictureSizeAllowed(Width, Height, *Ctx.Limits)) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "picture too large (%u x %u pixels)",
                      static_cast<unsigned>(Width), static_cast<unsigned>(Height));
        return false;
    }

    // Deflate packs at most 1032 bytes into one, so a file too short to hold the rows is
    // cut off; saying so now spares allocating pixels for a picture that cannot come.
    const uint64_t RawBytes = uint64_t{Height} * (uint64_t{png_get_rowbytes(Ctx.Png, Ctx.Info)} + 1);
    if (RawBytes / 1032 > Ctx.Size) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "the file is truncated");
        return false;
    }

    TQvPicture& P = Ctx.Picture;
    P.Format = qfPng;
    P.Width = static_cast<int>(Width);
    P.Height = static_cast<int>(Height);
    P.BitsPerPixel = BitDepth * png_get_channels(Ctx.Png, Ctx.Info);
    P.Png.ColorType = ColorType;
    P.Png.BitDepth = BitDepth;
    P.Png.Interlaced = Interlace != PNG_INTERLACE_NONE;
    DescribeTransparency(Ctx.Png, Ctx.Info, ColorType, BitDepth, P.Png);
    P.HasAlpha = P.Png.Transparency != ptNone;

    const bool HasTrns = png_get_valid(Ctx.Png, Ctx.Info, PNG_INFO_tRNS) != 0;
    if (BitDepth == 16) png_set_scale_16(Ctx.Png);
    if (ColorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(Ctx.Png);
    if (ColorType == PNG_COLOR_TYPE_GRAY && BitDepth < 8) png_set_expand_gray_1_2_4_to_8(Ctx.Png);
    if (HasTrns) png_set_tRNS_to_alpha(Ctx.Png);
    if (!(ColorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(Ctx.Png);
    if (!(ColorType & PNG_COLOR_MASK_ALPHA) && !HasTrns) png_set_filler(Ctx.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(Ctx.Png);
    png_set_interlace_handling(Ctx.Png);
    png_read_update_info(Ctx.Png, Ctx.Info);
    if (png_get_rowbytes(Ctx.Png, Ctx.Info) != static_cast<size_t>(Width) * 4) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "unsupported pixel layout");
        return false;
    }
    return true;
}

bool ReadPngPixels(TPngReadContext& Ctx) {
    if (setjmp(png_jmpbuf(Ctx.Png))) return false;
    png_read_image(Ctx.Png, Ctx.Rows.data());
    return true;
}

bool WritePngSteps(TPngWriteContext& Ctx, int Width, int Height, const TQvPngWriteOptions& Options) {
    if (setjmp(png_jmpbuf(Ctx.Png))) return false;
    png_set_write_fn(Ctx.Png, &Ctx, WriteToMemory, FlushMemory);
    png_set_compression_level(Ctx.Png, Options.CompressionLevel);
    const int Interlace = Options.Interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    int ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
    if (Options.ColorMode == pcmRGB) ColorType = PNG_COLOR_TYPE_RGB;
    if (Options.ColorMode == pcmPalette) ColorType = PNG_COLOR_TYPE_PALETTE;
    png_set_IHDR(Ctx.Png, Ctx.Info, static_cast<png_uint_32>(Width), static_cast<png_uint_32>(Height), 8,
                 ColorType, Interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (Options.ColorMode == pcmPalette) {
        png_color Palette[256];
        png_byte Alphas[256];
        const int Count = static_cast<int>(Ctx.Indexed.Palette.size());
        int Translucent = 0;
        for (int I = 0; I < Count; ++I) {
            const uint32_t C = Ctx.Indexed.Palette[static_cast<size_t>(I)];
            Palette[I] = {static_cast<png_byte>(C >> 16), static_cast<png_byte>(C >> 8),
                          static_cast<png_byte>(C)};
            Alphas[I] = static_cast<png_byte>(C >> 24);
            if (Alphas[I] != 255) Translucent = I + 1;
        }
        png_set_PLTE(Ctx.Png, Ctx.Info, Palette, Count);
        if (Translucent > 0) png_set_tRNS(Ctx.Png, Ctx.Info, Alphas, Translucent, nullptr);
    }
    png_write_info(Ctx.Png, Ctx.Info);
    if (Options.ColorMode != pcmPalette) {
        png_set_bgr(Ctx.Png);
        if (Options.ColorMode == pcmRGB) png_set_filler(Ctx.Png, 0, PNG_FILLER_AFTER);
    }
    png_write_image(Ctx.Png, Ctx.Rows.data());
    png_write_end(Ctx.Png, nullptr);
    return true;
}

}  // namespace

TQvPicture DecodePng(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits) {
    static const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (Data == nullptr || Size < 8 || std::memcmp(Data, Signature, 8) != 0)
        throw EQvError("PNG: not a PNG file");
    // The header chunk comes first: refuse an oversized picture before anything else is read.
    if (Size >= 24 && std::memcmp(Data + 12, "IHDR", 4) == 0) {
        auto Be32 = [Data](size_t At) {
            return uint32_t{Data[At]} << 24 | uint32_t{Data[At + 1]} << 16 | uint32_t{Data[At + 2]} << 8 |
                   Data[At + 3];
        };
        CheckPictureSize("PNG", Be32(16), Be32(20), Limits);
    }
    TPngReadContext Ctx;
    Ctx.Data = Data;
    Ctx.Size = Size;
    Ctx.Limits = &Limits;
    Ctx.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, Ctx.Error, OnPngError, OnPngWarning);
    if (Ctx.Png == nullptr) throw EQvError("PNG: cannot start the decoder");
    Ctx.Info = png_create_info_struct(Ctx.Png);
    if (Ctx.Info == nullptr) throw EQvError("PNG: cannot start the decoder");
    png_set_read_fn(Ctx.Png, &Ctx, ReadFromMemory);
    if (!ReadPngHeader(Ctx)) throw EQvError(std::string("PNG: ") + Ctx.Error);

    TQvPicture& P = Ctx.Picture;
    P.Frames.resize(1);
    std::vector<uint32_t>& Pixels = P.Frames[0].Pixels;
    Pixels.resize(static_cast<size_t>(P.Width) * static_cast<size_t>(P.Height));
    Ctx.Rows.resize(static_cast<size_t>(P.Height));
    for (size_t Y = 0; Y < Ctx.Rows.size(); ++Y)
        Ctx.Rows[Y] = reinterpret_cast<png_bytep>(Pixels.data() + Y * static_cast<size_t>(P.Width));
    if (!ReadPngPixels(Ctx)) throw EQvError(std::string("PNG: ") + Ctx.Error);
    return std::move(Ctx.Picture);
}

std::vector<uint8_t> EncodePng(const uint32_t* Pixels, int Width, int Height,
                               const TQvPngWriteOptions& Options) {
    if (Pixels == nullptr || Width <= 0 || Height <= 0)
        throw EQvError("PNG: nothing to write (empty picture)");
    if (!PictureSizeAllowed(Width, Height, TQvPictureLimits{}))
        throw EQvError("PNG: picture too large to write (" + std::to_string(Width) + " x " +
                       std::to_string(Height) + " pixels)");
    if (Options.CompressionLevel < 0 || Options.CompressionLevel > 9)
        throw EQvError("PNG: compression level must be 0 to 9");

    TPngWriteContext Ctx;
    const size_t W = static_cast<size_t>(Width);
    Ctx.Rows.resize(static_cast<size_t>(Height));
    if (Options.ColorMode == pcmPalette) {
        Ctx.Indexed = BuildPalette(Pixels, W * static_cast<size_t>(Height));
        for (size_t Y = 0; Y < Ctx.Rows.size(); ++Y) Ctx.Rows[Y] = Ctx.Indexed.Indices.data() + Y * W;
    } else {
        // libpng copies each row before transforming it; the caller's pixels stay as they are.
        for (size_t Y = 0; Y < Ctx.Rows.size(); ++Y)
            Ctx.Rows[Y] = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(Pixels + Y * W));
    }
    Ctx.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, Ctx.Error, OnPngError, OnPngWarning);
    if (Ctx.Png == nullptr) throw EQvError("PNG: cannot start the encoder");
    Ctx.Info = png_create_info_struct(Ctx.Png);
    if (Ctx.Info == nullptr) throw EQvError("PNG: cannot start the encoder");
    if (!WritePngSteps(Ctx, Width, Height, Options)) throw EQvError(std::string("PNG: ") + Ctx.Error);
    return std::move(Ctx.Out);
}

void SavePngToFile(const String& FileName, const uint32_t* Pixels, int Width, int Height,
                   const TQvPngWriteOptions& Options) {
    WritePictureFile(FileName, EncodePng(Pixels, Width, Height, Options));
}
