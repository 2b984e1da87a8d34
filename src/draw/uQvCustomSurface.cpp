#include "draw/uQvCustomSurface.h"

#include <algorithm>
#include <cstring>

#include "draw/uQvResamplers.h"
#include "framework/uQvPictures.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvBmp.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvPicture.h"
#include "platform/uQvPixel.h"
#include "platform/uQvResources.h"

// --- TCustomSurface32: life and size --------------------------------------------------

TCustomSurface32::TCustomSurface32() : FResampler(std::make_unique<TNearestResampler>()) {
    FResampler->FBitmap = this;
}

namespace {

// The bitmap and the device context over it, freed together.
void FreeBackend(HBITMAP Bitmap, HDC Dc) {
    if (Dc != nullptr) DeleteDC(Dc);
    if (Bitmap != nullptr) DeleteObject(Bitmap);
}

}  // namespace

TCustomSurface32::~TCustomSurface32() {
    FreeBackend(FBitmapHandle, FHandle);
}

void TCustomSurface32::HandleChanged(HDC) {}

bool TCustomSurface32::SetSize(int NewWidth, int NewHeight) {
    return TCustomMap::SetSize(NewWidth, NewHeight);
}

void TCustomSurface32::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
    // The new pixels are made before the old ones go, so a failure keeps the surface whole.
    void* NewBits = nullptr;
    HBITMAP NewBitmap = nullptr;
    HDC NewDc = nullptr;
    if (NewWidth > 0 && NewHeight > 0) {
        if (NewWidth > MaxSurfaceSide || NewHeight > MaxSurfaceSide ||
            int64_t{NewWidth} * NewHeight > MaxSurfacePixels)
            throw EQvError("Can't allocate the DIB handle");
        BITMAPINFO Info;
        Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        Info.bmiHeader.biWidth = NewWidth;
        Info.bmiHeader.biHeight = -NewHeight;  // top-down rows
        Info.bmiHeader.biPlanes = 1;
        Info.bmiHeader.biBitCount = 32;
        Info.bmiHeader.biCompression = BI_RGB;
        NewBitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &NewBits, nullptr, 0);
        if (NewBitmap == nullptr || NewBits == nullptr) {
            FreeBackend(NewBitmap, nullptr);
            throw EQvError("Can't allocate the DIB handle");
        }
        NewDc = CreateCompatibleDC(nullptr);
        if (NewDc == nullptr) {
            FreeBackend(NewBitmap, nullptr);
            throw EQvError("Can't create compatible DC");
        }
        if (SelectObject(NewDc, NewBitmap) == nullptr) {
            FreeBackend(NewBitmap, NewDc);
            throw EQvError("Can't select an object into DC");
        }
    }
    const HBITMAP OldBitmap = FBitmapHandle;
    const HDC OldDc = FHandle;
    FBits = static_cast<TColor32*>(NewBits);
    FBitmapHandle = NewBitmap;
    FHandle = NewDc;
    Width = NewWidth;
    Height = NewHeight;
    FClipRect = BoundsRect();
    HandleChanged(NewDc);
    FreeBackend(OldBitmap, OldDc);
}

void TCustomSurface32::SetClipRect(const TRect& Value) {
    IntersectRect(FClipRect, Value, BoundsRect());
}

// --- change notification ----------------------------------------------------------------

void TCustomSurface32::Changed() {
    if (FUpdateCount == 0 && !FMeasuringMode && OnChange) OnChange(this);
}

void TCustomSurface32::Changed(const TRect& Area, uint32_t Info) {
    if ((FUpdateCount == 0 || FMeasuringMode) && OnAreaChanged) OnAreaChanged(this, Area, Info);
    Changed();
}

void TCustomSurface32::BeginMeasuring(TAreaChangedEvent Callback) {
    FOldOnAreaChanged = std::move(OnAreaChanged);
    OnAreaChanged = std::move(Callback);
    FMeasuringMode = true;
}

void TCustomSurface32::EndMeasuring() {
    FMeasuringMode = false;
    OnAreaChanged = std::move(FOldOnAreaChanged);
    FOldOnAreaChanged = nullptr;
}

void TCustomSurface32::PropertyChanged() {
    Changed();
}

void TCustomSurface32::SetDrawMode(TDrawMode Value) {
    if (FDrawMode == Value) return;
    FDrawMode = Value;
    PropertyChanged();
}

void TCustomSurface32::SetCombineMode(TCombineMode Value) {
    if (FCombineMode == Value) return;
    FCombineMode = Value;
    PropertyChanged();
}

void TCustomSurface32::SetWrapMode(TWrapMode Value) {
    if (FWrapMode == Value) return;
    FWrapMode = Value;
    PropertyChanged();
}

void TCustomSurface32::SetMasterAlpha(uint8_t Value) {
    if (FMasterAlpha == Value) return;
    FMasterAlpha = Value;
    PropertyChanged();
}

void TCustomSurface32::SetOuterColor(TColor32 Value) {
    if (FOuterColor == Value) return;
    FOuterColor = Value;
    PropertyChanged();
}

void TCustomSurface32::SetResampler(std::unique_ptr<TCustomResampler> Value) {
    if (!Value || Value.get() == FResampler.get()) return;
    Value->FBitmap = this;
    FResampler = std::move(Value);
    Changed();
}

String TCustomSurface32::ResamplerClassName() const {
    return FResampler->ClassName();
}

void TCustomSurface32::SetResamplerClassName(const String& Value) {
    if (Value == ResamplerClassName()) return;
    std::unique_ptr<TCustomResampler> R = CreateResamplerByName(Value);
    if (!R) throw EClassNotFound(u"Class " + Value + u" not found");
    SetResampler(std::move(R));
}

// --- copying ------------------------------------------------------------------------------

void TCustomSurface32::CopyPropertiesTo(TCustomSurface32* Dst) const {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Dst == this) return;
    Dst->SetDrawMode(FDrawMode);
    Dst->SetCombineMode(FCombineMode);
    Dst->SetWrapMode(FWrapMode);
    Dst->SetMasterAlpha(FMasterAlpha);
    Dst->SetOuterColor(FOuterColor);
    Dst->SetResampler(FResampler->NewInstance());
}

void TCustomSurface32::Assign(const TPersistent* APersistent) {
    if (const auto* Picture = dynamic_cast<const TPicture*>(APersistent)) {
        if (Picture->Graphic() != nullptr)
            Assign(Picture->Graphic());
        else
            SetSize(0, 0);
        return;
    }
    if (const auto* Graphic = dynamic_cast<const TGraphic*>(APersistent)) {
        // Only a bitmap's pixels are taken with their alpha.
        TakePixels(Graphic->PixelData(), Graphic->Width(), Graphic->Height(),
                   dynamic_cast<const TBitmap*>(Graphic) != nullptr);
        return;
    }
    const auto* Source = dynamic_cast<const TCustomSurface32*>(APersistent);
    if (Source == nullptr) {
        TNotifiablePersistent::Assign(APersistent);
        return;
    }
    if (Source == this) return;
    BeginUpdate();
    try {
        SetSize(Source->Width(), Source->Height());
        const TColor32* From = Source->Bits();
        PutPicture(Source->Width(), Source->Height(), [From](size_t I) { return From[I]; });
        Source->CopyPropertiesTo(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

void TCustomSurface32::AssignTo(TPersistent* Dest) const {
    if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
        TBitmap Copy;
        AssignTo(&Copy);
        Picture->SetGraphic(&Copy);
        return;
    }
    auto* Bitmap = dynamic_cast<TBitmap*>(Dest);
    if (Bitmap == nullptr) {
        TNotifiablePersistent::AssignTo(Dest);
        return;
    }
    Bitmap->SetSize(FWidth, FHeight);
    if (FBits != nullptr)
        for (int Y = 0; Y < FHeight; ++Y)
            std::memcpy(Bitmap->ScanLine(Y), ScanLine(Y), static_cast<size_t>(FWidth) * sizeof(TColor32));
    // Tells the bitmap's listeners about the new pixels.
    Bitmap->SetModified(true);
}

// --- streams and stored layouts ------------------------------------------------------------

void TCustomSurface32::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Remaining();
    if (Left < 0 || Left > int64_t{1} << 31) throw EReadError("Stream read error");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Left));
    Stream.ReadBuffer(Bytes.data(), Left);
    LoadFromBytes(Bytes.data(), Bytes.size());
}

void TCustomSurface32::SaveToStream(TStream& Stream, bool SaveTopDown) const {
    const std::vector<uint8_t> Bytes = SaveToBytes(SaveTopDown);
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

// --- pictures ---------------------------------------------------------------------------

void TCustomSurface32::TakePixels(const uint32_t* Pixels, int W, int H, bool KeepAlpha) {
    if (Pixels == nullptr) W = H = 0;
    BeginUpdate();
    try {
        SetSize(W, H);
    } catch (...) {
        EndUpdate();
        throw;
    }
    if (KeepAlpha) {
        PutPicture(W, H, [Pixels](size_t I) { return Pixels[I]; });
    } else {
        // Pictures without alpha of their own are composed over opaque white by the
        // platform's constant rounding, (c*a + 255*(255 - a) + 127) / 255, and made opaque.
        PutPicture(W, H, [Pixels](size_t I) {
            return ConstantBlend(Pixels[I], 0xFFFFFFFFu, Pixels[I] >> 24) | 0xFF000000u;
        });
    }
    EndUpdate();
    Changed();
}

namespace {

// A 32-bit bitmap file keeps its alpha; every other picture is made opaque.
bool KeepsAlpha(const TQvPicture& Picture) {
    return Picture.Format == qfBmp && Picture.BitsPerPixel == 32;
}

}  // namespace

void TCustomSurface32::LoadFromFile(const String& FileName) {
    const TQvPicture P = LoadPictureFromFile(FileName);
    TakePixels(P.Empty() ? nullptr : P.Pixels(), P.Width, P.Height, KeepsAlpha(P));
}

void TCustomSurface32::LoadFromBytes(const uint8_t* Data, size_t Size, const String& NameHint) {
    const TQvPicture P = LoadPicture(Data, Size, NameHint);
    TakePixels(P.Empty() ? nullptr : P.Pixels(), P.Width, P.Height, KeepsAlpha(P));
}

void TCustomSurface32::LoadFromResourceName(HINSTANCE, const String& Name) {
    const TQvResource* R = FindQvResource(StringToUtf8(Name));
    if (R == nullptr) throw EQvError(u"Resource " + Name + u" not found");
    LoadFromBytes(R->Data, R->Size, Name);
}

std::vector<uint8_t> TCustomSurface32::SaveToBytes(bool SaveTopDown) const {
    return EncodeBmp32(FBits, FWidth, FHeight, SaveTopDown);
}

void TCustomSurface32::SaveToFile(const String& FileName, bool SaveTopDown) const {
    WritePictureFile(FileName, SaveToBytes(SaveTopDown));
}

// --- pixels -----------------------------------------------------------------------------

TColor32 TCustomSurface32::GetPixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return FOuterColor;
    return *PixelPtr(X, Y);
}

TColor32 TCustomSurface32::GetPixelS(int X, int Y) const {
    if (!PtInRect(FClipRect, Point(X, Y))) return FOuterColor;
    return *PixelPtr(X, Y);
}

void TCustomSurface32::SetPixel(int X, int Y, TColor32 Value) {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
    *PixelPtr(X, Y) = Value;
}

void TCustomSurface32::SetPixelS(int X, int Y, TColor32 Value) {
    if (!PtInRect(FClipRect, Point(X, Y))) return;
    *PixelPtr(X, Y) = Value;
}

void TCustomSurface32::BlendPixelT(TColor32& P, TColor32 Value) const {
    if (FCombineMode == cmMerge)
        MergeInto(Value, P);
    else
        BlendInto(Value, P);
}

void TCustomSurface32::SetPixelT(int X, int Y, TColor32 Value) {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
    BlendPixelT(*PixelPtr(X, Y), Value);
}

void TCustomSurface32::SetPixelTS(int X, int Y, TColor32 Value) {
    if (!PtInRect(FClipRect, Point(X, Y))) return;
    BlendPixelT(*PixelPtr(X, Y), Value);
}

void TCustomSurface32::Clear(TColor32 FillColor) {
    if (FBits != nullptr) FillArea(BoundsRect(), FillColor, false);
    Changed();
}

void TCustomSurface32::ResetAlpha(uint8_t Alpha) {
    if (!FMeasuringMode && FBits != nullptr) {
        const TColor32 A = TColor32{Alpha} << 24;
        TColor32* P = FBits;
        for (size_t I = 0, N = static_cast<size_t>(FWidth) * FHeight; I < N; ++I)
            P[I] = (P[I] & 0x00FFFFFFu) | A;
    }
    Changed();
}

// --- fills ------------------------------------------------------------------------------

void TCustomSurface32::FillArea(const TRect& R, TColor32 Value, bool Transparent) {
    if (FMeasuringMode) return;
    const int N = R.Width();
    if (!Transparent || AlphaComponent(Value) == 255) {
        if (N <= 0 || R.Top >= R.Bottom) return;
        // One row is filled and copied down: a block copy runs several times faster than
        // the word-by-word fill.
        TColor32* First = PixelPtr(R.Left, R.Top);
        std::fill_n(First, N, Value);
        for (int Y = R.Top + 1; Y < R.Bottom; ++Y)
            std::memcpy(PixelPtr(R.Left, Y), First, N * sizeof(TColor32));
        return;
    }
    const uint32_t A = AlphaComponent(Value);
    if (FCombineMode == cmMerge) {
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            TColor32* P = PixelPtr(R.Left, Y);
            for (int X = 0; X < N; ++X) MergeInto(Value, P[X]);
        }
        return;
    }
    const auto Combine = PixelKernels().CombineLine;
    for (int Y = R.Top; Y < R.Bottom; ++Y) Combine(Value, PixelPtr(R.Left, Y), N, A);
}

void TCustomSurface32::FillRect(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    TRect R;
    if (!IntersectRect(R, Rect(X1, Y1, X2, Y2), BoundsRect())) return;
    FillArea(R, Value, false);
    Changed(Rect(X1, Y1, X2, Y2));
}

void TCustomSurface32::FillRectS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    if (X1 >= X2 || Y1 >= Y2) return;
    TRect R;
    if (!IntersectRect(R, Rect(X1, Y1, X2, Y2), FClipRect)) return;
    FillArea(R, Value, false);
    Changed(Rect(X1, Y1, X2, Y2));
}

void TCustomSurface32::FillRectT(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    if (AlphaComponent(Value) == 0) return;
    TRect R;
    if (!IntersectRect(R, Rect(X1, Y1, X2, Y2), BoundsRect())) return;
    FillArea(R, Value, true);
    Changed(Rect(X1, Y1, X2, Y2));
}

void TCustomSurface32::FillRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    if (X1 >= X2 || Y1 >= Y2 || AlphaComponent(Value) == 0) return;
    TRect R;
    if (!IntersectRect(R, Rect(X1, Y1, X2, Y2), FClipRect)) return;
    FillArea(R, Value, true);
    Changed(Rect(X1, Y1, X2, Y2));
}
