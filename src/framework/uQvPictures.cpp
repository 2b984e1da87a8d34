#include "framework/uQvPictures.h"

#include <algorithm>
#include <cstring>

#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvBmp.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGif.h"
#include "platform/uQvJpeg.h"
#include "platform/uQvPixel.h"
#include "platform/uQvPng.h"
#include "platform/uQvResources.h"

namespace {

[[noreturn]] void RaiseEmptySave() {
    throw EInvalidGraphicOperation("Cannot save an empty picture");
}

// A new top-down bitmap holding W x H pixels; with Premultiply each colour channel is
// multiplied by the pixel's alpha as (c * a + 127) / 255 (Premultiply), the form
// AlphaBlend reads.
// Raises EOutOfResources when the platform refuses the size.
HBITMAP NewBitmapOf(const uint32_t* Pixels, int W, int H, bool Premultiply, uint32_t** OutBits = nullptr) {
    void* Bits = nullptr;
    const HBITMAP B = GdiCreateBitmap32(W, H, &Bits);
    if (B == nullptr) throw EOutOfResources("Out of system resources");
    auto* Out = static_cast<uint32_t*>(Bits);
    if (OutBits != nullptr) *OutBits = Out;
    const size_t N = static_cast<size_t>(W) * H;
    if (!Premultiply) {
        std::memcpy(Out, Pixels, N * sizeof(uint32_t));
        return B;
    }
    const auto Line = PixelKernels().PremultiplyLine;
    for (size_t Y = 0; Y < static_cast<size_t>(H); ++Y) Line(Pixels + Y * W, Out + Y * W, W);
    return B;
}

// A memory device context over a bitmap for the length of one drawing.
class TScratchDc {
public:
    explicit TScratchDc(HBITMAP Bitmap) : FDc(CreateCompatibleDC(nullptr)) {
        if (FDc == nullptr) throw EOutOfResources("Out of system resources");
        SelectObject(FDc, Bitmap);
    }
    ~TScratchDc() { DeleteDC(FDc); }
    TScratchDc(const TScratchDc&) = delete;
    TScratchDc& operator=(const TScratchDc&) = delete;
    HDC Handle() const { return FDc; }

private:
    HDC FDc;
};

// Draws all of a W x H source stretched to R: blended as premultiplied alpha, or copied.
void DrawFrom(HDC Dst, const TRect& R, HDC Src, int W, int H, bool Blend, DWORD Rop) {
    if (Blend) {
        BLENDFUNCTION F;
        F.AlphaFormat = AC_SRC_ALPHA;
        AlphaBlend(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, W, H, F);
    } else {
        StretchBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, W, H, Rop);
    }
}

// A picture of one frame made from a graphic's pixels; alpha kept only where the
// graphic draws by it.
TQvPicture PictureOf(const TGraphic& G, TQvPictureFormat Format) {
    TQvPicture P;
    P.Format = Format;
    if (G.Empty()) return P;
    P.Width = G.Width();
    P.Height = G.Height();
    const size_t N = static_cast<size_t>(P.Width) * P.Height;
    TQvPictureFrame Frame;
    Frame.Pixels.assign(G.PixelData(), G.PixelData() + N);
    if (!G.HasAlpha())
        for (uint32_t& Px : Frame.Pixels) Px |= 0xFF000000u;
    P.HasAlpha =
        std::any_of(Frame.Pixels.begin(), Frame.Pixels.end(), [](uint32_t Px) { return Px < 0xFF000000u; });
    P.BitsPerPixel = P.HasAlpha ? 32 : 24;
    P.Frames.push_back(std::move(Frame));
    return P;
}

}  // namespace

// ---- TBitmap --------------------------------------------------------------------------

// The bitmap's canvas: a memory device context made on first use with the bitmap
// selected; drawing on it marks the bitmap changed.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& Owner) : FOwner(Owner) {
        OnChange = [this](TObject*) { FOwner.Changed(); };
    }
    ~TBitmapCanvas() override { FreeDc(); }

    // The bitmap has new pixels (or none).
    void BitmapChanged(HBITMAP NewHandle) {
        if (FDc == nullptr) return;
        if (NewHandle != nullptr)
            SelectObject(FDc, NewHandle);
        else
            FreeDc();
    }

protected:
    void CreateHandle() override {
        if (FDc == nullptr) {
            FDc = CreateCompatibleDC(nullptr);
            if (FDc == nullptr) return;
            if (FOwner.FHandle != nullptr) SelectObject(FDc, FOwner.FHandle);
        }
        SetHandle(FDc);
    }

private:
    void FreeDc() {
        if (FDc == nullptr) return;
        SetHandle(nullptr);
        DeleteDC(FDc);
        FDc = nullptr;
    }

    TBitmap& FOwner;
    HDC FDc = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) {
    SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle != nullptr) DeleteObject(FHandle);
}

void TBitmap::Replace(HBITMAP NewHandle, uint32_t* NewBits, int NewWidth, int NewHeight) {
    const HBITMAP Old = FHandle;
    FHandle = NewHandle;
    FBits = NewBits;
    FWidth = NewWidth;
    FHeight = NewHeight;
    if (FCanvas != nullptr) FCanvas->BitmapChanged(NewHandle);
    if (Old != nullptr) DeleteObject(Old);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight) return;
    HBITMAP New = nullptr;
    uint32_t* NewBits = nullptr;
    if (AWidth > 0 && AHeight > 0) {
        void* Bits = nullptr;
        New = GdiCreateBitmap32(AWidth, AHeight, &Bits);
        if (New == nullptr) throw EOutOfResources("Out of system resources");
        NewBits = static_cast<uint32_t*>(Bits);
        const int KeepW = std::min(AWidth, FWidth), KeepH = FBits != nullptr ? std::min(AHeight, FHeight) : 0;
        for (int Y = 0; Y < KeepH; ++Y)
            std::memcpy(NewBits + static_cast<size_t>(Y) * AWidth, FBits + static_cast<size_t>(Y) * FWidth,
                        static_cast<size_t>(KeepW) * sizeof(uint32_t));
    }
    Replace(New, NewBits, AWidth, AHeight);
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (FCanvas == nullptr) FCanvas = std::make_unique<TBitmapCanvas>(*this);
    return FCanvas.get();
}

uint32_t* TBitmap::ScanLine(int Row) {
    if (FBits == nullptr || Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return FBits + static_cast<size_t>(Row) * FWidth;
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
    if (Value == FAlphaFormat) return;
    FAlphaFormat = Value;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (FBits == nullptr) return clDefault;
    return static_cast<TColor>(GdiColorOf(FBits[static_cast<size_t>(FHeight - 1) * FWidth]));
}

void TBitmap::SetTransparentColor(TColor Value) {
    const TTransparentMode Mode = Value == clDefault ? tmAuto : tmFixed;
    if (Value == FTransparentColor && Mode == FTransparentMode) return;
    FTransparentColor = Value;
    FTransparentMode = Mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    if (Value == tmAuto)
        FTransparentColor = clDefault;
    else
        FTransparentColor = TransparentColor();
    FTransparentMode = Value;
    Changed();
}

void TBitmap::TakePicture(const TQvPicture& Picture) {
    if (Picture.Empty()) {
        Replace(nullptr, nullptr, 0, 0);
    } else {
        uint32_t* Bits = nullptr;
        const HBITMAP New = NewBitmapOf(Picture.Pixels(), Picture.Width, Picture.Height, false, &Bits);
        Replace(New, Bits, Picture.Width, Picture.Height);
    }
    FAlphaFormat = Picture.HasAlpha ? afDefined : afIgnored;
    Changed();
}

void TBitmap::LoadFromBytes(const uint8_t* Data, size_t Size) {
    TakePicture(DecodeBmp(Data, Size));
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
    if (Empty()) RaiseEmptySave();
    return EncodeBmp32(FBits, FWidth, FHeight, false);
}

void TBitmap::Assign(const TPersistent* Source) {
    const auto* G = dynamic_cast<const TGraphic*>(Source);
    if (G == nullptr) {
        TGraphic::Assign(Source);
        return;
    }
    if (G == this) return;
    const auto* B = dynamic_cast<const TBitmap*>(G);
    if (G->Empty()) {
        Replace(nullptr, nullptr, B != nullptr ? B->FWidth : 0, B != nullptr ? B->FHeight : 0);
    } else {
        uint32_t* Bits = nullptr;
        const HBITMAP New = NewBitmapOf(G->PixelData(), G->Width(), G->Height(), false, &Bits);
        Replace(New, Bits, G->Width(), G->Height());
    }
    if (B != nullptr) {
        FAlphaFormat = B->FAlphaFormat;
        FTransparentColor = B->FTransparentColor;
        FTransparentMode = B->FTransparentMode;
    } else {
        FAlphaFormat = G->HasAlpha() ? afDefined : afIgnored;
    }
    CopyTransparent(*G);
    Changed();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty()) return;
    const HDC Dst = ACanvas->Handle();
    if (FAlphaFormat == afDefined) {
        // Straight alpha is multiplied out on a copy, once per drawing.
        const HBITMAP Copy = NewBitmapOf(FBits, FWidth, FHeight, true);
        try {
            TScratchDc Src(Copy);
            DrawFrom(Dst, Rect, Src.Handle(), FWidth, FHeight, true, SRCCOPY);
        } catch (...) {
            DeleteObject(Copy);
            throw;
        }
        DeleteObject(Copy);
        return;
    }
    const HDC Src = Canvas()->Handle();
    if (FAlphaFormat == afPremultiplied)
        DrawFrom(Dst, Rect, Src, FWidth, FHeight, true, SRCCOPY);
    else if (Transparent())
        TransparentBlt(Dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Src, 0, 0, FWidth, FHeight,
                       ColorToRGB(TransparentColor()));
    else
        DrawFrom(Dst, Rect, Src, FWidth, FHeight, false, ACanvas->CopyMode());
}

// ---- TDecodedImage --------------------------------------------------------------------

TDecodedImage::~TDecodedImage() {
    FreeCache();
}

void TDecodedImage::FreeCache() {
    if (FCacheDc != nullptr) DeleteDC(FCacheDc);
    if (FCacheBitmap != nullptr) DeleteObject(FCacheBitmap);
    FCacheDc = nullptr;
    FCacheBitmap = nullptr;
}

const uint32_t* TDecodedImage::PixelData() const {
    return Empty() ? nullptr : FImage.Frames[FFrame].Pixels.data();
}

void TDecodedImage::LoadFromBytes(const uint8_t* Data, size_t Size) {
    TQvPicture Picture = Decode(Data, Size);
    TakePicture(std::move(Picture), std::vector<uint8_t>(Data, Data + Size));
}

void TDecodedImage::TakePicture(TQvPicture Picture, std::vector<uint8_t> Bytes) {
    FImage = std::move(Picture);
    FSource = std::move(Bytes);
    FFrame = 0;
    Changed();
}

void TDecodedImage::CopyFrom(const TDecodedImage& Source) {
    if (&Source == this) return;
    FImage = Source.FImage;
    FSource = Source.FSource;
    FFrame = Source.FFrame;
    CopyTransparent(Source);
    Changed();
}

void TDecodedImage::SetShownFrame(size_t Frame) {
    if (Frame == FFrame) return;
    FFrame = Frame;
    Changed();
}

void TDecodedImage::Changed() {
    FreeCache();
    TGraphic::Changed();
}

void TDecodedImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty()) return;
    const HDC Dst = ACanvas->Handle();
    if (FCacheDc == nullptr) {
        const HBITMAP Bitmap = NewBitmapOf(PixelData(), FImage.Width, FImage.Height, HasAlpha());
        const HDC Dc = CreateCompatibleDC(nullptr);
        if (Dc == nullptr) {
            DeleteObject(Bitmap);
            throw EOutOfResources("Out of system resources");
        }
        SelectObject(Dc, Bitmap);
        FCacheBitmap = Bitmap;
        FCacheDc = Dc;
    }
    DrawFrom(Dst, Rect, FCacheDc, FImage.Width, FImage.Height, HasAlpha(), SRCCOPY);
}

// ---- TPngImage, TJPEGImage, TGIFImage -------------------------------------------------

TQvPicture TPngImage::Decode(const uint8_t* Data, size_t Size) const {
    return DecodePng(Data, Size);
}

std::vector<uint8_t> TPngImage::SaveToBytes() const {
    if (Empty()) RaiseEmptySave();
    // A picture read from a file is written back as it was read.
    if (!FSource.empty()) return FSource;
    TQvPngWriteOptions Options;
    Options.ColorMode = HasAlpha() ? pcmRGBA : pcmRGB;
    return EncodePng(PixelData(), FImage.Width, FImage.Height, Options);
}

void TPngImage::Assign(const TPersistent* Source) {
    if (const auto* P = dynamic_cast<const TPngImage*>(Source)) {
        CopyFrom(*P);
        return;
    }
    const auto* G = dynamic_cast<const TGraphic*>(Source);
    if (G == nullptr) {
        TDecodedImage::Assign(Source);
        return;
    }
    TakePicture(PictureOf(*G, qfPng), {});
}

TQvPicture TJPEGImage::Decode(const uint8_t* Data, size_t Size) const {
    return DecodeJpeg(Data, Size);
}

std::vector<uint8_t> TJPEGImage::SaveToBytes() const {
    if (Empty()) RaiseEmptySave();
    return FSource;
}

void TJPEGImage::Assign(const TPersistent* Source) {
    if (const auto* J = dynamic_cast<const TJPEGImage*>(Source))
        CopyFrom(*J);
    else
        TDecodedImage::Assign(Source);
}

TQvPicture TGIFImage::Decode(const uint8_t* Data, size_t Size) const {
    return DecodeGif(Data, Size);
}

void TGIFImage::SetFrameIndex(int Value) {
    if (Value < 0 || Value >= FrameCount()) RaiseListIndexError(Value);
    SetShownFrame(static_cast<size_t>(Value));
}

int TGIFImage::FrameDelay(int Index) const {
    if (Index < 0 || Index >= FrameCount()) RaiseListIndexError(Index);
    return FImage.Frames[static_cast<size_t>(Index)].DelayMs;
}

std::vector<uint8_t> TGIFImage::SaveToBytes() const {
    if (Empty()) RaiseEmptySave();
    return FSource;
}

void TGIFImage::Assign(const TPersistent* Source) {
    if (const auto* G = dynamic_cast<const TGIFImage*>(Source))
        CopyFrom(*G);
    else
        TDecodedImage::Assign(Source);
}

// ---- TPicture -------------------------------------------------------------------------

std::unique_ptr<TGraphic> NewGraphicFor(TQvPictureFormat Format) {
    switch (Format) {
        case qfBmp:
            return std::make_unique<TBitmap>();
        case qfPng:
            return std::make_unique<TPngImage>();
        case qfJpeg:
            return std::make_unique<TJPEGImage>();
        case qfGif:
            return std::make_unique<TGIFImage>();
        case qfUnknown:
            break;
    }
    return nullptr;
}

std::unique_ptr<TGraphic> NewGraphicByName(std::u16string_view ClassName) {
    if (ClassName == u"TBitmap") return std::make_unique<TBitmap>();
    if (ClassName == u"TPngImage") return std::make_unique<TPngImage>();
    if (ClassName == u"TJPEGImage") return std::make_unique<TJPEGImage>();
    if (ClassName == u"TGIFImage") return std::make_unique<TGIFImage>();
    return nullptr;
}

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Graphic) {
    FGraphic = std::move(Graphic);
    if (FGraphic != nullptr) FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* Value) {
    if (Value == nullptr) {
        if (FGraphic != nullptr) Take(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> Copy = Value->NewEmpty();
    Copy->Assign(Value);
    Take(std::move(Copy));
}

TBitmap* TPicture::Bitmap() {
    if (dynamic_cast<TBitmap*>(FGraphic.get()) == nullptr) Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::LoadFromBytes(const uint8_t* Data, size_t Size, const String& NameHint) {
    TQvPicture Decoded = LoadPicture(Data, Size, NameHint);
    std::unique_ptr<TGraphic> Graphic = NewGraphicFor(Decoded.Format);
    if (Graphic == nullptr) throw EInvalidGraphic("Unknown picture format");
    if (auto* B = dynamic_cast<TBitmap*>(Graphic.get()))
        B->TakePicture(Decoded);
    else
        static_cast<TDecodedImage*>(Graphic.get())
            ->TakePicture(std::move(Decoded), std::vector<uint8_t>(Data, Data + Size));
    Graphic->SetModified(false);
    Take(std::move(Graphic));
}

void TPicture::LoadFromFile(const String& FileName) {
    const std::vector<uint8_t> Bytes = ReadPictureFile(FileName);
    LoadFromBytes(Bytes.data(), Bytes.size(), FileName);
}

void TPicture::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Remaining();
    if (Left < 0 || Left > int64_t{1} << 31) throw EReadError("Stream read error");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Left));
    Stream.ReadBuffer(Bytes.data(), Left);
    LoadFromBytes(Bytes.data(), Bytes.size());
}

void TPicture::LoadFromResourceName(HINSTANCE, const String& Name) {
    const TQvResource* R = FindQvResource(StringToUtf8(Name));
    if (R == nullptr) throw EQvError(u"Resource " + Name + u" not found");
    LoadFromBytes(R->Data, R->Size, Name);
}

void TPicture::SaveToFile(const String& FileName) const {
    if (FGraphic == nullptr) RaiseEmptySave();
    FGraphic->SaveToFile(FileName);
}

void TPicture::SaveToStream(TStream& Stream) const {
    if (FGraphic == nullptr) RaiseEmptySave();
    FGraphic->SaveToStream(Stream);
}

void TPicture::Assign(const TPersistent* Source) {
    if (Source == nullptr)
        SetGraphic(nullptr);
    else if (const auto* P = dynamic_cast<const TPicture*>(Source))
        SetGraphic(P->FGraphic.get());
    else if (const auto* G = dynamic_cast<const TGraphic*>(Source))
        SetGraphic(G);
    else
        TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) const {
    if (FGraphic != nullptr && dynamic_cast<TGraphic*>(Dest) != nullptr)
        Dest->Assign(FGraphic.get());
    else
        TPersistent::AssignTo(Dest);
}

void TPicture::DefineProperties(TFiler& Filer) {
    TPersistent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        u"Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); },
        FGraphic != nullptr && !FGraphic->Empty());
}

void TPicture::WriteData(TStream& Stream) const {
    if (FGraphic == nullptr) {
        const uint8_t None = 0;
        Stream.WriteBuffer(&None, 1);
        return;
    }
    const std::string Name = StringToUtf8(FGraphic->ClassName());
    const auto Length = static_cast<uint8_t>(Name.size());
    Stream.WriteBuffer(&Length, 1);
    Stream.WriteBuffer(Name.data(), Length);
    if (!FGraphic->Empty()) FGraphic->SaveToStream(Stream);
}

void TPicture::ReadData(TStream& Stream) {
    uint8_t Length = 0;
    Stream.ReadBuffer(&Length, 1);
    if (Length == 0) {
        SetGraphic(nullptr);
        return;
    }
    std::string Name(Length, '\0');
    Stream.ReadBuffer(Name.data(), Length);
    std::unique_ptr<TGraphic> Graphic = NewGraphicByName(Utf8ToString(Name));
    if (Graphic == nullptr) throw EReadError(u"Unknown picture class " + Utf8ToString(Name));
    if (Stream.Remaining() > 0) Graphic->LoadFromStream(Stream);
    Graphic->SetModified(false);
    Take(std::move(Graphic));
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvPictures() {
    RegisterQvGraphics();
    RegisterEnum<TAlphaFormat>(u"TAlphaFormat", {u"afIgnored", u"afDefined", u"afPremultiplied"});
    RegisterEnum<TTransparentMode>(u"TTransparentMode", {u"tmAuto", u"tmFixed"});
    RegisterClass<TGraphic, TPersistent>(u"TGraphic");
    RegisterClass<TBitmap, TGraphic>(u"TBitmap");
    RegisterClass<TDecodedImage, TGraphic>(u"TDecodedImage");
    RegisterClass<TPngImage, TDecodedImage>(u"TPngImage");
    RegisterClass<TJPEGImage, TDecodedImage>(u"TJPEGImage");
    RegisterClass<TGIFImage, TDecodedImage>(u"TGIFImage");
    RegisterClass<TPicture, TPersistent>(u"TPicture");
}
