#pragma once
// The kinds of pictures (a 32-bit bitmap over a DIB section, PNG, JPEG and animated GIF)
// and TPicture, which holds one of them, loads it by content and stores it in layouts.

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/uQvGraphics.h"
#include "platform/uQvHandles.h"
#include "platform/uQvPicture.h"

// How the fourth byte of a bitmap's pixels is read when the bitmap is drawn: not at all,
// as straight alpha, or as alpha that the colours are already multiplied by.
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
// Where the colour a transparent bitmap leaves out comes from.
enum TTransparentMode { tmAuto, tmFixed };

// A 32-bit top-down bitmap over a DIB section, with a canvas on a memory device context.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Keeps the part of the picture that fits; new pixels are 0. Negative sides count as
    // 0. A size the platform refuses raises EOutOfResources and changes nothing.
    void SetSize(int AWidth, int AHeight);
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }

    HBITMAP Handle() const { return FHandle; }
    // A canvas drawing into the bitmap; made on first use.
    TCanvas* Canvas();
    // A row of pixels (0xAARRGGBB words); raises EInvalidGraphicOperation "Scan line index
    // out of range" for a row that does not exist.
    uint32_t* ScanLine(int Row);
    const uint32_t* PixelData() const override { return FBits; }

    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat Value);
    bool HasAlpha() const override { return FAlphaFormat != afIgnored; }
    // A transparent bitmap without alpha leaves out the pixels of TransparentColor: the
    // bottom-left pixel's colour (tmAuto) or the one set (tmFixed).
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // Reads BMP files; a 32-bit file whose fourth byte holds alpha gets afDefined.
    void LoadFromBytes(const uint8_t* Data, size_t Size) override;
    // A 32-bit top-down BMP file.
    std::vector<uint8_t> SaveToBytes() const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TBitmap>(); }
    // From another bitmap: pixels, alpha format and transparency. From any other graphic:
    // its pixels, with afDefined when it has alpha.
    void Assign(const TPersistent* Source) override;
    // Takes a decoded picture (its first frame).
    void TakePicture(const TQvPicture& Picture);

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    class TBitmapCanvas;
    void Replace(HBITMAP NewHandle, uint32_t* NewBits, int NewWidth, int NewHeight);

    HBITMAP FHandle = nullptr;
    uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TAlphaFormat FAlphaFormat = afIgnored;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

class EOutOfResources : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// The common part of the decoded kinds (PNG, JPEG, GIF): the frames as straight-alpha
// pixels, and the bytes they were read from.
class TDecodedImage : public TGraphic {
public:
    ~TDecodedImage() override;

    bool Empty() const override { return FImage.Empty(); }
    int Width() const override { return Empty() ? 0 : FImage.Width; }
    int Height() const override { return Empty() ? 0 : FImage.Height; }
    const uint32_t* PixelData() const override;
    bool HasAlpha() const override { return FImage.HasAlpha; }
    const TQvPicture& Image() const { return FImage; }

    void LoadFromBytes(const uint8_t* Data, size_t Size) override;
    // Takes a picture decoded from Bytes (which the kinds that cannot write their format
    // keep for saving).
    void TakePicture(TQvPicture Picture, std::vector<uint8_t> Bytes);

protected:
    // The kind's decoder.
    virtual TQvPicture Decode(const uint8_t* Data, size_t Size) const = 0;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void Changed() override;
    void CopyFrom(const TDecodedImage& Source);
    size_t ShownFrame() const { return FFrame; }
    void SetShownFrame(size_t Frame);

    TQvPicture FImage;
    std::vector<uint8_t> FSource;

private:
    void FreeCache();

    size_t FFrame = 0;
    // The shown frame as a premultiplied bitmap in a memory DC, made at the first draw.
    HBITMAP FCacheBitmap = nullptr;
    HDC FCacheDc = nullptr;
};

// A PNG picture, transparency kept.
class TPngImage : public TDecodedImage {
public:
    std::vector<uint8_t> SaveToBytes() const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TPngImage>(); }
    // From another PNG, or the pixels of any graphic (alpha kept).
    void Assign(const TPersistent* Source) override;

protected:
    TQvPicture Decode(const uint8_t* Data, size_t Size) const override;
};

// A JPEG picture; saving writes back the bytes it was read from.
class TJPEGImage : public TDecodedImage {
public:
    std::vector<uint8_t> SaveToBytes() const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TJPEGImage>(); }
    void Assign(const TPersistent* Source) override;

protected:
    TQvPicture Decode(const uint8_t* Data, size_t Size) const override;
};

// A GIF picture with every frame of its animation already composed. One frame shows at
// a time (the first after loading); a player steps FrameIndex after each FrameDelay.
// Saving writes back the bytes it was read from.
class TGIFImage : public TDecodedImage {
public:
    int FrameCount() const { return static_cast<int>(FImage.Frames.size()); }
    int FrameIndex() const { return static_cast<int>(ShownFrame()); }
    // Raises "List index out of bounds (%d)" for a frame that does not exist.
    void SetFrameIndex(int Value);
    // Milliseconds the frame shows.
    int FrameDelay(int Index) const;
    // Repetitions of the animation; 0 plays forever.
    int LoopCount() const { return FImage.LoopCount; }

    std::vector<uint8_t> SaveToBytes() const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TGIFImage>(); }
    void Assign(const TPersistent* Source) override;

protected:
    TQvPicture Decode(const uint8_t* Data, size_t Size) const override;
};

// A picture of any kind. Loading chooses the kind by the content, then by the file
// name's extension; a picture that cannot be read raises EQvError and leaves the
// picture as it was.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    // nullptr when there is none.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of Value (of the same kind); nullptr removes the graphic.
    void SetGraphic(const TGraphic* Value);
    // The graphic as a bitmap: any other kind is replaced by an empty bitmap first.
    TBitmap* Bitmap();
    int Width() const { return FGraphic != nullptr ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic != nullptr ? FGraphic->Height() : 0; }

    void LoadFromFile(const String& FileName);
    void LoadFromBytes(const uint8_t* Data, size_t Size, const String& NameHint = String());
    // Reads from the stream's position to its end.
    void LoadFromStream(TStream& Stream);
    // A picture compiled into the program; Instance is accepted for the familiar call
    // shape and not used.
    void LoadFromResourceName(HINSTANCE Instance, const String& Name);
    // Writes the graphic in its own format; raises EInvalidGraphicOperation "Cannot save
    // an empty picture" when there is nothing to write.
    void SaveToFile(const String& FileName) const;
    void SaveToStream(TStream& Stream) const;

    // From another picture, a graphic (copied), or nullptr (emptied); others as their
    // AssignTo allows.
    void Assign(const TPersistent* Source) override;

    // The stored "Data": the graphic's class name (a length byte, then the ASCII name),
    // then the graphic in its own file format. Written only when there is a graphic.
    void DefineProperties(TFiler& Filer) override;
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) const override;
    virtual void Changed();

private:
    void Take(std::unique_ptr<TGraphic> Graphic);

    std::unique_ptr<TGraphic> FGraphic;
};

// The kind of graphic for a decoded picture's format (TBitmap for BMP files); nullptr for
// an unknown format.
std::unique_ptr<TGraphic> NewGraphicFor(TQvPictureFormat Format);
// The kind of graphic of a registered class name ("TBitmap", "TPngImage", "TJPEGImage",
// "TGIFImage"); nullptr for another name.
std::unique_ptr<TGraphic> NewGraphicByName(std::u16string_view ClassName);

// Registers the graphic classes, TPicture and their enumerations for stored layouts
// (Picture.Data). Calling it again does nothing.
void RegisterQvPictures();
