#pragma once
// The 32-bit ARGB pixels on which every pixel of the skin library is composed, and the
// modes that govern how they are drawn: fills, frames, lines, block and stretched
// transfer, pictures, the stored record, change notification. The members are defined by
// concern: uQvCustomSurface.cpp (size, modes, pixels, fills, copying, pictures),
// uQvSurfaceLines.cpp, uQvSurfaceTransfer.cpp and uQvSurfaceRecord.cpp.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "draw/uQvColor32.h"
#include "draw/uQvCustomMap.h"
#include "draw/uQvSurfaceTypes.h"
#include "platform/uQvBase.h"
#include "platform/uQvGeometry.h"
#include "platform/uQvHandles.h"

class TCustomResampler;

using TAreaChangedEvent = std::function<void(TObject* Sender, const TRect& Area, uint32_t Info)>;

// The pixels and the modes that govern how they are drawn.
class TCustomSurface32 : public TCustomMap {
public:
    TCustomSurface32();
    ~TCustomSurface32() override;

    // Sides beyond this, or more pixels than MaxSurfacePixels, are refused.
    static constexpr int MaxSurfaceSide = 32767;
    static constexpr int64_t MaxSurfacePixels = int64_t{1} << 28;

    // --- size and pixels ---
    // Discards the contents and allocates W*H pixels, all 0; a zero side leaves the
    // surface empty; negative sizes count as 0. Resets ClipRect and raises Changed.
    // When the pixels cannot be allocated the surface keeps its old contents and
    // "Can't allocate the DIB handle" is raised.
    bool SetSize(int NewWidth, int NewHeight) override;
    TColor32* Bits() const { return FBits; }
    TColor32* ScanLine(int Y) const { return FBits + static_cast<ptrdiff_t>(Y) * FWidth; }
    TColor32* PixelPtr(int X, int Y) const { return ScanLine(Y) + X; }
    TRect BoundsRect() const { return Rect(0, 0, FWidth, FHeight); }
    const TRect& ClipRect() const { return FClipRect; }
    // Limited to the surface's bounds.
    void SetClipRect(const TRect& Value);
    void ResetClipRect() { FClipRect = BoundsRect(); }

    // Pixel reads return OuterColor outside the surface (GetPixelS: outside ClipRect).
    TColor32 GetPixel(int X, int Y) const;
    TColor32 GetPixelS(int X, int Y) const;
    // Writes outside the surface (SetPixelS: outside ClipRect) are ignored.
    void SetPixel(int X, int Y, TColor32 Value);
    void SetPixelS(int X, int Y, TColor32 Value);
    // Blends Value in by its alpha (cmBlend) or merges it (cmMerge).
    void SetPixelT(int X, int Y, TColor32 Value);
    void SetPixelTS(int X, int Y, TColor32 Value);

    void Clear(TColor32 FillColor);
    void ResetAlpha(uint8_t Alpha = 255);

    // --- fills and frames; rectangles are [X1, X2) x [Y1, Y2) ---
    // The unclipped forms still never write outside the surface.
    void FillRect(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FillRectS(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FillRectS(const TRect& R, TColor32 Value) { FillRectS(R.Left, R.Top, R.Right, R.Bottom, Value); }
    void FillRectT(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FillRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FillRectTS(const TRect& R, TColor32 Value) { FillRectTS(R.Left, R.Top, R.Right, R.Bottom, Value); }
    void FrameRectS(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FrameRectS(const TRect& R, TColor32 Value) { FrameRectS(R.Left, R.Top, R.Right, R.Bottom, Value); }
    void FrameRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value);
    void FrameRectTS(const TRect& R, TColor32 Value) { FrameRectTS(R.Left, R.Top, R.Right, R.Bottom, Value); }

    // --- lines; end points inclusive for the horizontal and vertical forms ---
    void HorzLine(int X1, int Y, int X2, TColor32 Value);
    void HorzLineS(int X1, int Y, int X2, TColor32 Value);
    void HorzLineT(int X1, int Y, int X2, TColor32 Value);
    void HorzLineTS(int X1, int Y, int X2, TColor32 Value);
    void VertLine(int X, int Y1, int Y2, TColor32 Value);
    void VertLineS(int X, int Y1, int Y2, TColor32 Value);
    void VertLineT(int X, int Y1, int Y2, TColor32 Value);
    void VertLineTS(int X, int Y1, int Y2, TColor32 Value);
    // Straight lines; the last point is drawn only when L is true.
    void Line(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
    void LineS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
    void LineT(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
    void LineTS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
    // Antialiased integer line.
    void LineAS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
    // Antialiased line between 16.16 fixed-point (LineXS) or floating-point end points.
    void LineXS(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L = false);
    void LineFS(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L = false);
    void MoveTo(int X, int Y);
    void LineToS(int X, int Y);
    TPoint PenPos() const { return FPenPos; }
    TColor32 PenColor() const { return FPenColor; }
    void SetPenColor(TColor32 Value) { FPenColor = Value; }

    // --- drawing another surface onto this one (this is the destination) ---
    void Draw(int DstX, int DstY, TCustomSurface32* Src);
    void Draw(int DstX, int DstY, const TRect& SrcRect, TCustomSurface32* Src);
    // Stretched when the rectangles differ in size, through Src's resampler.
    void Draw(const TRect& DstRect, const TRect& SrcRect, TCustomSurface32* Src);
    // The same seen from the source.
    void DrawTo(TCustomSurface32* Dst);
    void DrawTo(TCustomSurface32* Dst, int DstX, int DstY);
    void DrawTo(TCustomSurface32* Dst, const TRect& DstRect);
    void DrawTo(TCustomSurface32* Dst, const TRect& DstRect, const TRect& SrcRect);

    // --- modes ---
    TDrawMode DrawMode() const { return FDrawMode; }
    void SetDrawMode(TDrawMode Value);
    TCombineMode CombineMode() const { return FCombineMode; }
    void SetCombineMode(TCombineMode Value);
    TWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TWrapMode Value);
    uint8_t MasterAlpha() const { return FMasterAlpha; }
    void SetMasterAlpha(uint8_t Value);
    TColor32 OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor32 Value);

    // The resampler used when this surface is drawn stretched or transformed; a surface
    // always has one (nearest at creation). Setting one replaces and frees the previous
    // one and raises Changed.
    TCustomResampler* Resampler() const { return FResampler.get(); }
    void SetResampler(std::unique_ptr<TCustomResampler> Value);
    String ResamplerClassName() const;
    // Unknown names are refused with an error and change nothing.
    void SetResamplerClassName(const String& Value);

    TPixelCombineEvent OnPixelCombine;
    TAreaChangedEvent OnAreaChanged;

    // --- change notification ---
    void Changed() override;
    virtual void Changed(const TRect& Area, uint32_t Info = AREAINFO_RECT);
    // While measuring, operations only report their area to Callback and change no pixel.
    void BeginMeasuring(TAreaChangedEvent Callback);
    void EndMeasuring();
    bool MeasuringMode() const { return FMeasuringMode; }

    // --- copying ---
    // Copies the draw properties and a new resampler of the same class; no pixels.
    virtual void CopyPropertiesTo(TCustomSurface32* Dst) const;
    // Size, pixels and draw properties of another surface. From a picture (TPicture or
    // any TGraphic) its size and pixels: a bitmap keeps its alpha, any other picture is
    // put over opaque white and made opaque; an empty picture empties the surface.
    void Assign(const TPersistent* Source) override;

    // --- pictures ---
    // Loads any picture the platform decodes (format by content, then by the name's
    // extension) and takes its size and pixels: a 32-bit bitmap keeps its alpha, any
    // other picture is put over opaque white and made opaque. A picture that cannot be
    // read raises an error and leaves the surface as it was.
    virtual void LoadFromFile(const String& FileName);
    void LoadFromBytes(const uint8_t* Data, size_t Size, const String& NameHint = String());
    // A picture compiled into the program; Instance is accepted for the familiar call
    // shape and not used.
    void LoadFromResourceName(HINSTANCE Instance, const String& Name);
    // Writes a 32-bit BMP: rows top to bottom with a negative height, or with
    // SaveTopDown the height positive and the rows written from the last to the first.
    virtual void SaveToFile(const String& FileName, bool SaveTopDown = false) const;
    std::vector<uint8_t> SaveToBytes(bool SaveTopDown = false) const;
    // The same through streams; loading reads the stream from its position to its end.
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream, bool SaveTopDown = false) const;

    // The binary "Data" property of stored layouts (written only when not empty).
    void DefineProperties(TFiler& Filer) override;
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

    // The stored "Data" record: width and height as unsigned 32-bit little-endian values,
    // then the pixels row by row, each B, G, R, A.
    std::vector<uint8_t> DataRecord() const;
    // Reads a "Data" record. Sides above 32767, more than 2^28 pixels or fewer pixel bytes
    // than the size needs are refused with "Stream read error", leaving the surface as it
    // was. The pixels go in as far as the surface holds them once resized (a resize
    // handler may change the size). Returns the number of bytes used.
    size_t ReadDataRecord(const uint8_t* Data, size_t Size);

    // The platform bitmap that holds the pixels and a device context drawing into it, so
    // platform drawing and the blend code see the same pixels; 0 while empty.
    HBITMAP BitmapHandle() const { return FBitmapHandle; }
    HDC Handle() const { return FHandle; }

protected:
    // Into a TBitmap (pixels with their alpha) or a TPicture (which then holds such a
    // bitmap).
    void AssignTo(TPersistent* Dest) const override;
    void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) override;
    // Setters of draw properties call this when a value really changed.
    virtual void PropertyChanged();
    // Called with the new device context after the pixels were reallocated (0 when the
    // surface became empty), before the old one is freed.
    virtual void HandleChanged(HDC NewHandle);

    TColor32* FBits = nullptr;
    TRect FClipRect;
    HBITMAP FBitmapHandle = nullptr;
    HDC FHandle = nullptr;

private:
    friend class TCustomResampler;
    template <bool Transparent>
    void HorzRun(int X1, int Y, int X2, TColor32 Value, const TRect& Clip);
    template <bool Transparent>
    void VertRun(int X, int Y1, int Y2, TColor32 Value, const TRect& Clip);
    template <bool Transparent>
    void BresenhamLine(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L, const TRect& Clip);
    void FillArea(const TRect& R, TColor32 Value, bool Transparent);
    void FrameArea(int X1, int Y1, int X2, int Y2, TColor32 Value, bool Transparent);
    void SplatT(int64_t X, int64_t Y, TColor32 Value);
    // Takes W x H straight-alpha pixels; unless KeepAlpha they are put over opaque white.
    void TakePixels(const uint32_t* Pixels, int W, int H, bool KeepAlpha);
    // Puts the pixels of a W x H picture, Pixel(I) being its pixel I counted row by row,
    // into the surface after SetSize(W, H), as far as the surface holds them: a resize
    // handler may have changed the size meanwhile.
    template <typename F>
    void PutPicture(int W, int H, F&& Pixel) {
        const int Rows = std::min(H, FHeight), Cols = std::min(W, FWidth);
        for (int Y = 0; Y < Rows; ++Y) {
            TColor32* Row = ScanLine(Y);
            const size_t First = static_cast<size_t>(Y) * static_cast<size_t>(W);
            for (int X = 0; X < Cols; ++X) Row[X] = Pixel(First + static_cast<size_t>(X));
        }
    }
    void BlendPixelT(TColor32& P, TColor32 Value) const;

    TDrawMode FDrawMode = dmOpaque;
    TCombineMode FCombineMode = cmBlend;
    TWrapMode FWrapMode = wmClamp;
    uint8_t FMasterAlpha = 255;
    TColor32 FOuterColor = 0;
    TColor32 FPenColor = clWhite32;
    TPoint FPenPos;
    std::unique_ptr<TCustomResampler> FResampler;
    bool FMeasuringMode = false;
    TAreaChangedEvent FOldOnAreaChanged;
};
