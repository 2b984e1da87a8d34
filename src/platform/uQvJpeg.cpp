#include "platform/uQvJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <string>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include "platform/uQvPixel.h"

// The library reports errors through its error manager; ours jumps back to the step that
// called it. As with the PNG reader, those steps hold no object with a destructor and
// fill a context owned by the caller.

namespace {

// Progressive files may hold any number of scans, each one a full pass over the
// coefficients; a damaged file can make that take minutes.
constexpr int MaxScans = 1000;

struct TJpegContext {
    jpeg_decompress_struct Info{};
    jpeg_error_mgr ErrorMgr{};
    jpeg_progress_mgr Progress{};
    jmp_buf Jump;
    char Error[JMSG_LENGTH_MAX] = {};
    bool Created = false;
    size_t Size = 0;
    const TQvPictureLimits* Limits = nullptr;
    TQvPicture Picture;
    std::vector<JSAMPROW> Rows;

    ~TJpegContext() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

TJpegContext* ContextOf(j_common_ptr Info) {
    return static_cast<TJpegContext*>(Info->client_data);
}

[[noreturn]] void FailWith(j_common_ptr Info, const char* Message) {
    TJpegContext* Ctx = ContextOf(Info);
    std::snprintf(Ctx->Error, sizeof Ctx->Error, "%s", Message);
    longjmp(Ctx->Jump, 1);
}

[[noreturn]] void OnJpegError(j_common_ptr Info) {
    char Message[JMSG_LENGTH_MAX];
    Info->err->format_message(Info, Message);
    FailWith(Info, Message);
}

// Warnings about damaged entropy data leave a usable picture and are ignored; running
// out of data is not (the library would pad the rest of the picture with grey).
void OnJpegMessage(j_common_ptr Info, int Level) {
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF) FailWith(Info, "the file is truncated");
}

void OnJpegProgress(j_common_ptr Info) {
    auto* D = reinterpret_cast<j_decompress_ptr>(Info);
    if (Info->is_decompressor && D->input_scan_number > MaxScans) FailWith(Info, "too many scans");
}

bool ReadJpegHeader(TJpegContext& Ctx, const uint8_t* Data, size_t Size) {
    if (setjmp(Ctx.Jump)) return false;
    jpeg_create_decompress(&Ctx.Info);
    Ctx.Created = true;
    Ctx.Info.progress = &Ctx.Progress;
    jpeg_mem_src(&Ctx.Info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&Ctx.Info, TRUE);
    if (!PictureSizeAllowed(Ctx.Info.image_width, Ctx.Info.image_height, *Ctx.Limits)) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "picture too large (%u x %u pixels)", Ctx.Info.image_width,
                      Ctx.Info.image_height);
        return false;
    }
    // The entropy coder spends at least a bit on every 8 x 8 block of the fullest component,
    // so a file cannot hold more blocks than it has bits; a larger declared size is damaged
    // or hostile and is refused before anything is allocated for it.
    const uint64_t Blocks = (uint64_t{Ctx.Info.image_width} + 7) / 8 * ((uint64_t{Ctx.Info.image_height} + 7) / 8);
    if (Blocks > uint64_t{Ctx.Size} * 8) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "the file is too small for its picture size (%u x %u pixels)",
                      Ctx.Info.image_width, Ctx.Info.image_height);
        return false;
    }
    // The library's own buffers (a progressive file keeps every coefficient of the picture)
    // stay within what a picture of that size needs: 128 bytes a block and component, and
    // room for the row buffers.
    Ctx.Info.mem->max_memory_to_use =
        static_cast<long>(Blocks * 128 * static_cast<uint64_t>(Ctx.Info.num_components) + (uint64_t{32} << 20));
    const bool Cmyk = Ctx.Info.jpeg_color_space == JCS_CMYK || Ctx.Info.jpeg_color_space == JCS_YCCK;
    Ctx.Info.out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&Ctx.Info);
    if (Ctx.Info.output_components != 4 || Ctx.Info.output_width != Ctx.Info.image_width ||
        Ctx.Info.output_height != Ctx.Info.image_height)
        FailWith(reinterpret_cast<j_common_ptr>(&Ctx.Info), "unsupported colour layout");
    return true;
}

bool ReadJpegRows(TJpegContext& Ctx) {
    if (setjmp(Ctx.Jump)) return false;
    while (Ctx.Info.output_scanline < Ctx.Info.output_height) {
        const JDIMENSION Line = Ctx.Info.output_scanline;
        if (jpeg_read_scanlines(&Ctx.Info, Ctx.Rows.data() + Line, Ctx.Info.output_height - Line) == 0)
            FailWith(reinterpret_cast<j_common_ptr>(&Ctx.Info), "the file is truncated");
    }
    return true;
}

// CMYK bytes in place to BGRA. Adobe writers store the inks inverted (255 = no ink).
void CmykToBgra(std::vector<uint32_t>& Pixels, bool Inverted) {
    for (uint32_t& P : Pixels) {
        uint32_t C = P & 0xFF, M = (P >> 8) & 0xFF, Y = (P >> 16) & 0xFF, K = P >> 24;
        if (!Inverted) C = 255 - C, M = 255 - M, Y = 255 - Y, K = 255 - K;
        P = 0xFF000000u | MulDiv255(C, K) << 16 | MulDiv255(M, K) << 8 | MulDiv255(Y, K);
    }
}

}  // namespace

TQvPicture DecodeJpeg(const uint8_t* Data, size_t Size, const TQvPictureLimits& Limits) {
    if (Data == nullptr || Size < 3 || Data[0] != 0xFF || Data[1] != 0xD8 || Data[2] != 0xFF)
        throw EQvError("JPEG: not a JPEG file");
    TJpegContext Ctx;
    Ctx.Limits = &Limits;
    Ctx.Size = Size;
    Ctx.Info.err = jpeg_std_error(&Ctx.ErrorMgr);
    Ctx.ErrorMgr.error_exit = OnJpegError;
    Ctx.ErrorMgr.emit_message = OnJpegMessage;
    Ctx.Progress.progress_monitor = OnJpegProgress;
    Ctx.Info.client_data = &Ctx;
    if (!ReadJpegHeader(Ctx, Data, Size)) throw EQvError(std::string("JPEG: ") + Ctx.Error);

    TQvPicture& P = Ctx.Picture;
    P.Format = qfJpeg;
    P.Width = static_cast<int>(Ctx.Info.output_width);
    P.Height = static_cast<int>(Ctx.Info.output_height);
    P.BitsPerPixel = 8 * Ctx.Info.num_components;
    P.Frames.resize(1);
    std::vector<uint32_t>& Pixels = P.Frames[0].Pixels;
    Pixels.resize(static_cast<size_t>(P.Width) * static_cast<size_t>(P.Height));
    Ctx.Rows.resize(static_cast<size_t>(P.Height));
    for (size_t Y = 0; Y < Ctx.Rows.size(); ++Y)
        Ctx.Rows[Y] = reinterpret_cast<JSAMPROW>(Pixels.data() + Y * static_cast<size_t>(P.Width));
    if (!ReadJpegRows(Ctx)) throw EQvError(std::string("JPEG: ") + Ctx.Error);
    if (Ctx.Info.out_color_space == JCS_CMYK) CmykToBgra(Pixels, Ctx.Info.saw_Adobe_marker);
    return std::move(Ctx.Picture);
}
