#include "draw/uQvSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "draw/uQvResamplers.h"
#include "framework/uQvPictures.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvBmp.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvPicture.h"
#include "platform/uQvResources.h"

namespace {

// A rectangle of 64-bit coordinates cut down to the int range; the surfaces are far
// smaller, so cutting never changes what a rectangle covers on them.
int ClampToInt(int64_t V) {
    return static_cast<int>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
}

TRect Normalized(int X1, int Y1, int X2, int Y2) {
    return Rect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2));
}

// The rectangle covering the pixels from (X1, Y1) to (X2, Y2) inclusive.
TRect PixelSpan(int X1, int Y1, int X2, int Y2) {
    const TRect R = Normalized(X1, Y1, X2, Y2);
    return Rect(R.Left, R.Top, ClampToInt(int64_t{R.Right} + 1), ClampToInt(int64_t{R.Bottom} + 1));
}

}  // namespace

// --- TNotifiablePersistent ------------------------------------------------------------

void TNotifiablePersistent::BeginUpdate() {
    ++FUpdateCount;
}

void TNotifiablePersistent::EndUpdate() {
    if (FUpdateCount <= 0) throw EQvError("Unpaired TThreadPersistent.EndUpdate");
    --FUpdateCount;
}

void TNotifiablePersistent::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

// --- TThreadPersistent ----------------------------------------------------------------

void TThreadPersistent::Lock() {
    ++FLockCount;
    FLock.lock();
}

void TThreadPersistent::Unlock() {
    FLock.unlock();
    --FLockCount;
}

// --- TCustomMap -----------------------------------------------------------------------

void TCustomMap::SetHeight(int NewHeight) {
    SetSize(FWidth, NewHeight);
}
void TCustomMap::SetWidth(int NewWidth) {
    SetSize(NewWidth, FHeight);
}
void TCustomMap::Delete() {
    SetSize(0, 0);
}

void TCustomMap::Resized() {
    if (OnResize) OnResize(this);
}

bool TCustomMap::SetSize(int NewWidth, int NewHeight) {
    NewWidth = std::max(NewWidth, 0);
    NewHeight = std::max(NewHeight, 0);
    const bool Resizing = NewWidth != FWidth || NewHeight != FHeight;
    ChangeSize(FWidth, FHeight, NewWidth, NewHeight);
    Changed();
    if (Resizing) Resized();
    return Resizing;
}

void TCustomMap::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
    Width = NewWidth;
    Height = NewHeight;
}

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
        if (FBits != nullptr)
            std::memcpy(FBits, Source->Bits(), static_cast<size_t>(FWidth) * FHeight * sizeof(TColor32));
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

void TCustomSurface32::DefineProperties(TFiler& Filer) {
    TNotifiablePersistent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        u"Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}

void TCustomSurface32::ReadData(TStream& Stream) {
    uint8_t Head[8];
    Stream.ReadBuffer(Head, 8);
    const uint32_t W =
        uint32_t{Head[0]} | uint32_t{Head[1]} << 8 | uint32_t{Head[2]} << 16 | uint32_t{Head[3]} << 24;
    const uint32_t H =
        uint32_t{Head[4]} | uint32_t{Head[5]} << 8 | uint32_t{Head[6]} << 16 | uint32_t{Head[7]} << 24;
    // The stored size is trusted only as far as the stream can back it.
    if (W > static_cast<uint32_t>(MaxSurfaceSide) || H > static_cast<uint32_t>(MaxSurfaceSide) ||
        uint64_t{W} * H > static_cast<uint64_t>(MaxSurfacePixels) ||
        Stream.Remaining() < static_cast<int64_t>(uint64_t{W} * H * 4))
        throw EReadError("Stream read error");
    std::vector<uint8_t> Record(8 + size_t{W} * H * 4);
    std::memcpy(Record.data(), Head, 8);
    Stream.ReadBuffer(Record.data() + 8, static_cast<int64_t>(Record.size() - 8));
    ReadDataRecord(Record.data(), Record.size());
}

void TCustomSurface32::WriteData(TStream& Stream) const {
    const std::vector<uint8_t> Record = DataRecord();
    Stream.WriteBuffer(Record.data(), static_cast<int64_t>(Record.size()));
}

void RegisterQvSurfaces() {
    RegisterEnum<TDrawMode>(u"TDrawMode", {u"dmOpaque", u"dmBlend", u"dmCustom", u"dmTransparent"});
    RegisterEnum<TCombineMode>(u"TCombineMode", {u"cmBlend", u"cmMerge"});
    RegisterEnum<TWrapMode>(u"TWrapMode", {u"wmClamp", u"wmRepeat", u"wmMirror"});
    RegisterClass<TNotifiablePersistent, TPersistent>(u"TNotifiablePersistent");
    RegisterClass<TThreadPersistent, TNotifiablePersistent>(u"TThreadPersistent");
    RegisterClass<TCustomMap, TThreadPersistent>(u"TCustomMap");
    RegisterClass<TCustomSurface32, TCustomMap>(u"TCustomSurface32")
        .Prop(u"DrawMode", &TCustomSurface32::DrawMode, &TCustomSurface32::SetDrawMode, dmOpaque)
        .Prop(u"CombineMode", &TCustomSurface32::CombineMode, &TCustomSurface32::SetCombineMode, cmBlend)
        .Prop(u"MasterAlpha", &TCustomSurface32::MasterAlpha, &TCustomSurface32::SetMasterAlpha, 255)
        .Prop(u"OuterColor", &TCustomSurface32::OuterColor, &TCustomSurface32::SetOuterColor, 0u)
        .Prop(u"WrapMode", &TCustomSurface32::WrapMode, &TCustomSurface32::SetWrapMode, wmClamp)
        .Prop(u"ResamplerClassName", &TCustomSurface32::ResamplerClassName,
              &TCustomSurface32::SetResamplerClassName);
    RegisterClass<TSurface32, TCustomSurface32>(u"TSurface32");
}

// --- stored "Data" record -----------------------------------------------------------------

std::vector<uint8_t> TCustomSurface32::DataRecord() const {
    const size_t Pixels = static_cast<size_t>(FWidth) * FHeight;
    std::vector<uint8_t> Out(8 + Pixels * 4);
    auto Put32 = [&Out](size_t At, uint32_t V) {
        for (int I = 0; I < 4; ++I) Out[At + I] = static_cast<uint8_t>(V >> (8 * I));
    };
    Put32(0, static_cast<uint32_t>(FWidth));
    Put32(4, static_cast<uint32_t>(FHeight));
    for (size_t I = 0; I < Pixels; ++I) Put32(8 + 4 * I, FBits[I]);
    return Out;
}

size_t TCustomSurface32::ReadDataRecord(const uint8_t* Data, size_t Size) {
    auto Get32 = [Data](size_t At) {
        uint32_t V = 0;
        for (int I = 0; I < 4; ++I) V |= uint32_t{Data[At + I]} << (8 * I);
        return V;
    };
    if (Data == nullptr || Size < 8) throw EReadError("Stream read error");
    const uint32_t W = Get32(0), H = Get32(4);
    // A stored size is trusted only as far as the record can back it.
    if (W > static_cast<uint32_t>(MaxSurfaceSide) || H > static_cast<uint32_t>(MaxSurfaceSide) ||
        uint64_t{W} * H > static_cast<uint64_t>(MaxSurfacePixels))
        throw EReadError("Stream read error");
    const size_t Pixels = static_cast<size_t>(W) * H;
    if ((Size - 8) / 4 < Pixels) throw EReadError("Stream read error");
    BeginUpdate();
    try {
        SetSize(static_cast<int>(W), static_cast<int>(H));
    } catch (...) {
        EndUpdate();
        throw;
    }
    for (size_t I = 0; I < Pixels && FBits != nullptr; ++I) FBits[I] = Get32(8 + 4 * I);
    EndUpdate();
    Changed();
    return 8 + Pixels * 4;
}

// --- pictures ---------------------------------------------------------------------------

void TCustomSurface32::TakePixels(const uint32_t* Pixels, int W, int H, bool KeepAlpha) {
    // Pictures without alpha of their own are composed over opaque white by the platform's
    // constant rounding, (c*a + 255*(255 - a) + 127) / 255, and made opaque.
    BeginUpdate();
    try {
        SetSize(Pixels != nullptr ? W : 0, Pixels != nullptr ? H : 0);
    } catch (...) {
        EndUpdate();
        throw;
    }
    if (FBits != nullptr) {
        const size_t N = static_cast<size_t>(FWidth) * FHeight;
        for (size_t I = 0; I < N; ++I) {
            const TColor32 C = Pixels[I];
            if (KeepAlpha) {
                FBits[I] = C;
                continue;
            }
            const uint32_t A = C >> 24;
            auto Over = [A](uint32_t V) { return (V * A + 255 * (255 - A) + 127) / 255; };
            FBits[I] =
                0xFF000000u | (Over((C >> 16) & 255) << 16) | (Over((C >> 8) & 255) << 8) | Over(C & 255);
        }
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
    if (!FMeasuringMode && FBits != nullptr)
        std::fill_n(FBits, static_cast<size_t>(FWidth) * FHeight, FillColor);
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
        for (int Y = R.Top; Y < R.Bottom; ++Y) std::fill_n(PixelPtr(R.Left, Y), N, Value);
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
    const auto Combine = BlendKernels().CombineLine;
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

// --- horizontal and vertical runs ---------------------------------------------------------

template <bool Transparent>
void TCustomSurface32::HorzRun(int X1, int Y, int X2, TColor32 Value, const TRect& Clip) {
    if (X1 > X2) std::swap(X1, X2);
    if (Y < Clip.Top || Y >= Clip.Bottom) return;
    X1 = std::max(X1, Clip.Left);
    X2 = std::min(X2, Clip.Right - 1);
    if (X1 > X2 || FMeasuringMode) return;
    TColor32* P = PixelPtr(X1, Y);
    const int N = X2 - X1 + 1;
    if (!Transparent) {
        std::fill_n(P, N, Value);
    } else if (FCombineMode == cmMerge) {
        for (int I = 0; I < N; ++I) MergeInto(Value, P[I]);
    } else {
        BlendKernels().CombineLine(Value, P, N, AlphaComponent(Value));
    }
}

template <bool Transparent>
void TCustomSurface32::VertRun(int X, int Y1, int Y2, TColor32 Value, const TRect& Clip) {
    if (Y1 > Y2) std::swap(Y1, Y2);
    if (X < Clip.Left || X >= Clip.Right) return;
    Y1 = std::max(Y1, Clip.Top);
    Y2 = std::min(Y2, Clip.Bottom - 1);
    if (Y1 > Y2 || FMeasuringMode) return;
    for (int Y = Y1; Y <= Y2; ++Y) {
        TColor32& P = *PixelPtr(X, Y);
        if (Transparent)
            BlendPixelT(P, Value);
        else
            P = Value;
    }
}

void TCustomSurface32::HorzLine(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<false>(X1, Y, X2, Value, BoundsRect());
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineS(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<false>(X1, Y, X2, Value, FClipRect);
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineT(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<true>(X1, Y, X2, Value, BoundsRect());
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineTS(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<true>(X1, Y, X2, Value, FClipRect);
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::VertLine(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<false>(X, Y1, Y2, Value, BoundsRect());
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineS(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<false>(X, Y1, Y2, Value, FClipRect);
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineT(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<true>(X, Y1, Y2, Value, BoundsRect());
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineTS(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<true>(X, Y1, Y2, Value, FClipRect);
    Changed(PixelSpan(X, Y1, X, Y2));
}

// --- frames -----------------------------------------------------------------------------

void TCustomSurface32::FrameArea(int X1, int Y1, int X2, int Y2, TColor32 Value, bool Transparent) {
    if (X1 >= X2 || Y1 >= Y2) return;
    TRect Visible;
    if (!IntersectRect(Visible, Rect(X1, Y1, X2, Y2), FClipRect)) return;
    // Each side is drawn once even when the rectangle is one pixel wide or high, so a
    // translucent frame never blends a pixel twice.
    auto Row = [&](int Y) {
        if (Transparent)
            HorzRun<true>(X1, Y, X2 - 1, Value, FClipRect);
        else
            HorzRun<false>(X1, Y, X2 - 1, Value, FClipRect);
    };
    auto Column = [&](int X) {
        if (Y1 + 1 > Y2 - 2) return;
        if (Transparent)
            VertRun<true>(X, Y1 + 1, Y2 - 2, Value, FClipRect);
        else
            VertRun<false>(X, Y1 + 1, Y2 - 2, Value, FClipRect);
    };
    Row(Y1);
    if (Y2 - 1 > Y1) Row(Y2 - 1);
    Column(X1);
    if (X2 - 1 > X1) Column(X2 - 1);
    Changed(Rect(X1, Y1, X2, Y2));
}

void TCustomSurface32::FrameRectS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    FrameArea(X1, Y1, X2, Y2, Value, false);
}

void TCustomSurface32::FrameRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    FrameArea(X1, Y1, X2, Y2, Value, true);
}

// --- straight lines -----------------------------------------------------------------------

// Bresenham: step i along the major axis puts the minor coordinate at the start plus
// round(i * minor / major), an exact half going towards the end point. Only the steps
// whose major coordinate lies in Clip are walked, so long lines cost what is visible.
template <bool Transparent>
void TCustomSurface32::BresenhamLine(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L,
                                     const TRect& Clip) {
    if (FMeasuringMode || IsRectEmpty(Clip)) return;
    const int64_t Dx = int64_t{X2} - X1, Dy = int64_t{Y2} - Y1;
    const bool XMajor = std::llabs(Dx) >= std::llabs(Dy);
    const int64_t Major = XMajor ? std::llabs(Dx) : std::llabs(Dy);
    const int64_t Minor = XMajor ? std::llabs(Dy) : std::llabs(Dx);
    const int64_t SMajor = (XMajor ? Dx : Dy) < 0 ? -1 : 1;
    const int64_t SMinor = (XMajor ? Dy : Dx) < 0 ? -1 : 1;
    const int64_t Start = XMajor ? X1 : Y1, MinorStart = XMajor ? Y1 : X1;
    const int64_t Last = L ? Major : Major - 1;
    if (Last < 0) return;
    // Steps whose major coordinate lies inside the clip.
    const int64_t Lo = XMajor ? Clip.Left : Clip.Top, Hi = (XMajor ? Clip.Right : Clip.Bottom) - 1;
    int64_t First, Final;
    if (SMajor > 0) {
        First = std::max<int64_t>(0, Lo - Start);
        Final = std::min<int64_t>(Last, Hi - Start);
    } else {
        First = std::max<int64_t>(0, Start - Hi);
        Final = std::min<int64_t>(Last, Start - Lo);
    }
    if (First > Final) return;
    const int64_t MinLo = XMajor ? Clip.Top : Clip.Left, MinHi = (XMajor ? Clip.Bottom : Clip.Right) - 1;
    if (Major == 0) {
        // A single point (only reached with L).
        if (MinorStart >= MinLo && MinorStart <= MinHi) {
            TColor32& P = *PixelPtr(X1, Y1);
            if (Transparent)
                BlendPixelT(P, Value);
            else
                P = Value;
        }
        return;
    }
    // Minor offset of step i: (2*i*Minor + Major) div (2*Major), kept as quotient and
    // remainder while stepping.
    const __int128 Num = static_cast<__int128>(2) * First * Minor + Major;
    int64_t Q = static_cast<int64_t>(Num / (2 * Major));
    int64_t R = static_cast<int64_t>(Num % (2 * Major));
    for (int64_t I = First; I <= Final; ++I) {
        const int64_t M = Start + SMajor * I, N = MinorStart + SMinor * Q;
        if (N >= MinLo && N <= MinHi) {
            const int X = static_cast<int>(XMajor ? M : N), Y = static_cast<int>(XMajor ? N : M);
            TColor32& P = *PixelPtr(X, Y);
            if (Transparent)
                BlendPixelT(P, Value);
            else
                P = Value;
        }
        R += 2 * Minor;
        if (R >= 2 * Major) {
            R -= 2 * Major;
            ++Q;
        }
    }
}

void TCustomSurface32::Line(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<false>(X1, Y1, X2, Y2, Value, L, BoundsRect());
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<false>(X1, Y1, X2, Y2, Value, L, FClipRect);
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineT(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<true>(X1, Y1, X2, Y2, Value, L, BoundsRect());
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineTS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<true>(X1, Y1, X2, Y2, Value, L, FClipRect);
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineAS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    const int64_t Dx = int64_t{X2} - X1, Dy = int64_t{Y2} - Y1;
    if (Dx == 0 && Dy == 0) {
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (Dy == 0) {
        HorzLineTS(X1, Y1, ClampToInt(X2 - (Dx > 0 ? 1 : -1)), Value);
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (Dx == 0) {
        VertLineTS(X1, Y1, ClampToInt(Y2 - (Dy > 0 ? 1 : -1)), Value);
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (std::llabs(Dx) == std::llabs(Dy)) {
        LineTS(X1, Y1, X2, Y2, Value, L);
        return;
    }
    if (!FMeasuringMode && !IsRectEmpty(FClipRect)) {
        // Two pixels per step along the major axis: the one on the line's minor position
        // weighted G[255 - f], its neighbour one minor step further G[f], f being the top
        // 8 bits of the 16-bit fraction. The slope divides with truncation toward zero.
        const uint8_t* G = CoverageGamma();
        const bool XMajor = std::llabs(Dx) > std::llabs(Dy);
        const int64_t Major = XMajor ? Dx : Dy, Minor = XMajor ? Dy : Dx;
        const int64_t Slope = Minor * 65536 / std::llabs(Major);
        const int64_t SMajor = Major < 0 ? -1 : 1, N = std::llabs(Major);
        const int64_t Start = XMajor ? X1 : Y1, MinorStart = XMajor ? Y1 : X1;
        const int64_t Lo = XMajor ? FClipRect.Left : FClipRect.Top;
        const int64_t Hi = (XMajor ? FClipRect.Right : FClipRect.Bottom) - 1;
        const int64_t Last = L ? N : N - 1;
        int64_t First = SMajor > 0 ? std::max<int64_t>(0, Lo - Start) : std::max<int64_t>(0, Start - Hi);
        const int64_t Final = SMajor > 0 ? std::min(Last, Hi - Start) : std::min(Last, Start - Lo);
        for (int64_t I = First; I <= Final; ++I) {
            const int64_t M = Start + SMajor * I;
            const int64_t Pos = (MinorStart << 16) + I * Slope;
            const int64_t Nm = Pos >> 16;
            const uint32_t F = static_cast<uint32_t>((Pos >> 8) & 0xFF);
            auto Put = [&](int64_t MinorC, uint32_t Weight) {
                const int64_t X = XMajor ? M : MinorC, Y = XMajor ? MinorC : M;
                if (X < FClipRect.Left || X >= FClipRect.Right || Y < FClipRect.Top || Y >= FClipRect.Bottom)
                    return;
                BlendIntoMaster(Value, *PixelPtr(static_cast<int>(X), static_cast<int>(Y)), Weight);
            };
            Put(Nm, G[255 - F]);
            Put(Nm + 1, G[F]);
        }
    }
    const TRect Span = PixelSpan(X1, Y1, X2, Y2);
    Changed(
        Rect(Span.Left, Span.Top, ClampToInt(int64_t{Span.Right} + 1), ClampToInt(int64_t{Span.Bottom} + 1)));
}

// --- antialiased fixed-point lines ----------------------------------------------------------

// One splat of Value at (X, Y) in 24.8 fixed point over the four pixels it touches.
void TCustomSurface32::SplatT(int64_t X, int64_t Y, TColor32 Value) {
    const TRect& C = FClipRect;
    if (X < int64_t{256} * C.Left - 256 || X >= int64_t{256} * C.Right || Y < int64_t{256} * C.Top - 256 ||
        Y >= int64_t{256} * C.Bottom)
        return;
    const uint8_t* G = CoverageGamma();
    const uint32_t Fx = static_cast<uint32_t>(X & 255), Fy = static_cast<uint32_t>(Y & 255);
    const int Px = static_cast<int>(X >> 8), Py = static_cast<int>(Y >> 8);
    const uint32_t A = AlphaComponent(Value);
    auto Put = [&](int Xp, int Yp, uint32_t P, uint32_t Q) {
        if (!PtInRect(C, Point(Xp, Yp))) return;
        TColor32& D = *PixelPtr(Xp, Yp);
        if (FCombineMode == cmMerge)
            CombineInto(MergeOver(Value, D), D, (P * Q) >> 8);
        else
            CombineInto(Value, D, ((A * P) * Q) >> 16);
    };
    Put(Px, Py, G[255 - Fx], G[255 - Fy]);
    Put(Px + 1, Py, G[Fx], G[255 - Fy]);
    Put(Px + 1, Py + 1, G[Fx], G[Fy]);
    Put(Px, Py + 1, G[255 - Fx], G[Fy]);
}

namespace {

// Clips the segment to the closed rectangle [L, R] x [T, B]; false when nothing remains.
bool ClipSegment(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2, int64_t L, int64_t T, int64_t R,
                 int64_t B) {
    auto Code = [&](int64_t X, int64_t Y) {
        return (X < L ? 1 : 0) | (X > R ? 2 : 0) | (Y < T ? 4 : 0) | (Y > B ? 8 : 0);
    };
    int C1 = Code(X1, Y1), C2 = Code(X2, Y2);
    for (int Guard = 0; Guard < 8; ++Guard) {
        if ((C1 | C2) == 0) return true;
        if ((C1 & C2) != 0) return false;
        const int C = C1 != 0 ? C1 : C2;
        int64_t X, Y;
        const __int128 Dx = X2 - X1, Dy = Y2 - Y1;
        if (C & 1) {
            X = L;
            Y = Y1 + static_cast<int64_t>(Dy * (L - X1) / Dx);
        } else if (C & 2) {
            X = R;
            Y = Y1 + static_cast<int64_t>(Dy * (R - X1) / Dx);
        } else if (C & 4) {
            Y = T;
            X = X1 + static_cast<int64_t>(Dx * (T - Y1) / Dy);
        } else {
            Y = B;
            X = X1 + static_cast<int64_t>(Dx * (B - Y1) / Dy);
        }
        if (C == C1) {
            X1 = X;
            Y1 = Y;
            C1 = Code(X1, Y1);
        } else {
            X2 = X;
            Y2 = Y;
            C2 = Code(X2, Y2);
        }
    }
    return (C1 | C2) == 0;
}

}  // namespace

void TCustomSurface32::LineXS(TFixed AX1, TFixed AY1, TFixed AX2, TFixed AY2, TColor32 Value, bool L) {
    const TRect Area = Rect(std::min(AX1, AX2) >> 16, std::min(AY1, AY2) >> 16,
                            ClampToInt(int64_t{std::max(AX1, AX2) >> 16} + 2),
                            ClampToInt(int64_t{std::max(AY1, AY2) >> 16} + 2));
    int64_t X1 = AX1, Y1 = AY1, X2 = AX2, Y2 = AY2;
    const TRect& C = FClipRect;
    if (IsRectEmpty(C)) return;
    if (!ClipSegment(X1, Y1, X2, Y2, (int64_t{C.Left} - 1) * 65536, (int64_t{C.Top} - 1) * 65536,
                     int64_t{C.Right} * 65536, int64_t{C.Bottom} * 65536))
        return;
    if (X2 != AX2 || Y2 != AY2) L = true;
    const int64_t Ex = X2 - X1, Ey = Y2 - Y1;
    X1 += 127;
    Y1 += 127;
    X2 += 127;
    Y2 += 127;
    // The length in single precision, rounded half to even.
    const float FEx = static_cast<float>(Ex), FEy = static_cast<float>(Ey);
    int64_t Hyp = RoundHalfEven64(static_cast<double>(std::sqrt(FEx * FEx + FEy * FEy)));
    if (Hyp == 0) return;
    if (L) Hyp += 65536;
    if (Hyp < 256) return;
    if (!FMeasuringMode) {
        const int64_t N = Hyp >> 16;
        int64_t Nx = Ex, Ny = Ey;
        if (N > 0) {
            const float H = 65536.0f / static_cast<float>(Hyp);
            Nx = RoundHalfEven64(static_cast<double>(FEx * H));
            Ny = RoundHalfEven64(static_cast<double>(FEy * H));
            for (int64_t I = 0; I < N; ++I) {
                SplatT(X1 >> 8, Y1 >> 8, Value);
                X1 += Nx;
                Y1 += Ny;
            }
        }
        // The remainder, with its share of the alpha, halfway between the last step and
        // the end point.
        const int64_t Rest = Hyp - (N << 16);
        const uint32_t A = static_cast<uint32_t>((int64_t{AlphaComponent(Value)} * Rest) >> 16);
        SplatT((X1 + X2 - Nx) >> 9, (Y1 + Y2 - Ny) >> 9,
               SetAlpha(Value, static_cast<uint8_t>(std::min(A, 255u))));
    }
    Changed(Area);
}

void TCustomSurface32::LineFS(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
    // A line with a non-finite end has no place on the surface.
    if (!std::isfinite(X1) || !std::isfinite(Y1) || !std::isfinite(X2) || !std::isfinite(Y2)) return;
    auto ToFixed = [](float V) {
        return static_cast<TFixed>(RoundHalfEven(static_cast<double>(V) * 65536.0));
    };
    LineXS(ToFixed(X1), ToFixed(Y1), ToFixed(X2), ToFixed(Y2), Value, L);
}

void TCustomSurface32::MoveTo(int X, int Y) {
    FPenPos = Point(X, Y);
}

void TCustomSurface32::LineToS(int X, int Y) {
    LineS(FPenPos.X, FPenPos.Y, X, Y, FPenColor);
    FPenPos = Point(X, Y);
}

// --- transfers ------------------------------------------------------------------------------

void CombineRun(const TCustomSurface32& Src, const TColor32* S, TColor32* D, int Count) {
    if (Count <= 0) return;
    switch (Src.DrawMode()) {
        case dmOpaque:
            std::memmove(D, S, static_cast<size_t>(Count) * sizeof(TColor32));
            break;
        case dmBlend: {
            const uint32_t M = Src.MasterAlpha();
            if (Src.CombineMode() == cmMerge) {
                if (M == 255)
                    MergeLine(S, D, Count);
                else
                    MergeMasterLine(S, D, Count, M);
            } else if (M == 255) {
                BlendKernels().OverBlendLine(S, D, Count);
            } else {
                BlendKernels().MasterBlendLine(S, D, Count, M);
            }
            break;
        }
        case dmTransparent: {
            const TColor32 Key = Src.OuterColor();
            for (int I = 0; I < Count; ++I)
                if (S[I] != Key) D[I] = S[I];
            break;
        }
        case dmCustom:
            if (Src.OnPixelCombine) {
                const TColor32 M = Src.MasterAlpha();
                for (int I = 0; I < Count; ++I) Src.OnPixelCombine(S[I], D[I], M);
            } else {
                std::memmove(D, S, static_cast<size_t>(Count) * sizeof(TColor32));
            }
            break;
    }
}

void CombineTransformed(const TCustomSurface32& Src, TColor32 C, TColor32& D) {
    auto Blend = [&] {
        if (Src.CombineMode() == cmMerge)
            D = MergeOverMaster(C, D, Src.MasterAlpha());
        else
            BlendIntoMaster(C, D, Src.MasterAlpha());
    };
    switch (Src.DrawMode()) {
        case dmOpaque:
            D = C;
            break;
        case dmBlend:
            Blend();
            break;
        case dmTransparent:
            if (C != Src.OuterColor()) D = C;
            break;
        case dmCustom:
            if (Src.OnPixelCombine)
                Src.OnPixelCombine(C, D, Src.MasterAlpha());
            else
                Blend();
            break;
    }
}

namespace {

bool DrawsNothing(const TCustomSurface32* Dst, const TCustomSurface32* Src) {
    return Dst->Empty() || Src->Empty() || (Src->DrawMode() == dmBlend && Src->MasterAlpha() == 0);
}

// A copy of a part of a surface with the same draw properties, for drawing a surface
// onto itself without reading pixels it has already overwritten.
std::unique_ptr<TCustomSurface32> CopyOfPart(TCustomSurface32* Src, const TRect& Part, TRect& NewRect) {
    auto Copy = std::make_unique<TCustomSurface32>();
    Copy->SetSize(Part.Width(), Part.Height());
    for (int Y = 0; Y < Part.Height(); ++Y)
        std::memcpy(Copy->ScanLine(Y), Src->PixelPtr(Part.Left, Part.Top + Y),
                    Part.Width() * sizeof(TColor32));
    Src->CopyPropertiesTo(Copy.get());
    Copy->OnPixelCombine = Src->OnPixelCombine;
    NewRect = Copy->BoundsRect();
    return Copy;
}

}  // namespace

TRect BlockTransfer(TCustomSurface32* Dst, int DstX, int DstY, const TRect& DstClip, TCustomSurface32* Src,
                    const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    if (DrawsNothing(Dst, Src)) return {};
    TRect SR;
    if (!IntersectRect(SR, SrcRect, Src->BoundsRect())) return {};
    const int64_t X = int64_t{DstX} + (int64_t{SR.Left} - SrcRect.Left);
    const int64_t Y = int64_t{DstY} + (int64_t{SR.Top} - SrcRect.Top);
    TRect Clip;
    if (!IntersectRect(Clip, DstClip, Dst->BoundsRect())) return {};
    TRect DR;
    if (!IntersectRect(
            DR, Rect(ClampToInt(X), ClampToInt(Y), ClampToInt(X + SR.Width()), ClampToInt(Y + SR.Height())),
            Clip))
        return {};
    // The source part that lands in DR.
    const int Sx = static_cast<int>(SR.Left + (DR.Left - X)), Sy = static_cast<int>(SR.Top + (DR.Top - Y));
    if (Dst->MeasuringMode()) return DR;
    TCustomSurface32* From = Src;
    std::unique_ptr<TCustomSurface32> Copy;
    int Fx = Sx, Fy = Sy;
    if (Src == Dst) {
        TRect CopyRect;
        Copy = CopyOfPart(Src, Rect(Sx, Sy, Sx + DR.Width(), Sy + DR.Height()), CopyRect);
        From = Copy.get();
        Fx = Fy = 0;
    }
    for (int Row = 0; Row < DR.Height(); ++Row)
        CombineRun(*From, From->PixelPtr(Fx, Fy + Row), Dst->PixelPtr(DR.Left, DR.Top + Row), DR.Width());
    return DR;
}

namespace {

// ceil(Cut * Num / Den) and the same rounded half to even, exactly; all non-negative.
int64_t CeilScaled(int64_t Cut, int64_t Num, int64_t Den) {
    const __int128 P = static_cast<__int128>(Cut) * Num;
    return static_cast<int64_t>((P + Den - 1) / Den);
}

int64_t RoundScaled(int64_t Cut, int64_t Num, int64_t Den) {
    const __int128 P = static_cast<__int128>(Cut) * Num;
    int64_t Q = static_cast<int64_t>(P / Den);
    const __int128 R2 = (P % Den) * 2;
    if (R2 > Den || (R2 == Den && (Q & 1) != 0)) ++Q;
    return Q;
}

}  // namespace

TRect StretchTransfer(TCustomSurface32* Dst, const TRect& ADstRect, const TRect& DstClip,
                      TCustomSurface32* Src, const TRect& ASrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    TRect DstRect = ADstRect, SrcRect = ASrcRect;
    // Empty or mirrored rectangles give no scale to draw with.
    const int64_t SrcW = int64_t{SrcRect.Right} - SrcRect.Left, SrcH = int64_t{SrcRect.Bottom} - SrcRect.Top;
    const int64_t DstW = int64_t{DstRect.Right} - DstRect.Left, DstH = int64_t{DstRect.Bottom} - DstRect.Top;
    if (SrcW <= 0 || SrcH <= 0 || DstW <= 0 || DstH <= 0) return {};
    // A source rectangle reaching outside the source is trimmed, and the destination in
    // proportion: up on the left and top, rounded on the right and bottom.
    int64_t DL = DstRect.Left, DT = DstRect.Top, DR = DstRect.Right, DB = DstRect.Bottom;
    if (SrcRect.Left < 0) {
        DL += CeilScaled(-int64_t{SrcRect.Left}, DstW, SrcW);
        SrcRect.Left = 0;
    }
    if (SrcRect.Top < 0) {
        DT += CeilScaled(-int64_t{SrcRect.Top}, DstH, SrcH);
        SrcRect.Top = 0;
    }
    if (SrcRect.Right > Src->Width()) {
        DR -= RoundScaled(int64_t{SrcRect.Right} - Src->Width(), DstW, SrcW);
        SrcRect.Right = Src->Width();
    }
    if (SrcRect.Bottom > Src->Height()) {
        DB -= RoundScaled(int64_t{SrcRect.Bottom} - Src->Height(), DstH, SrcH);
        SrcRect.Bottom = Src->Height();
    }
    DstRect = Rect(ClampToInt(DL), ClampToInt(DT), ClampToInt(DR), ClampToInt(DB));
    if (IsRectEmpty(SrcRect) || IsRectEmpty(DstRect) || DrawsNothing(Dst, Src)) return {};
    TRect Part;
    if (!IntersectRect(Part, DstRect, Dst->BoundsRect()) || !IntersectRect(Part, Part, DstClip)) return {};
    if (SrcRect.Width() == DstRect.Width() && SrcRect.Height() == DstRect.Height()) {
        BlockTransfer(Dst, DstRect.Left, DstRect.Top, Part, Src, SrcRect);
        return DstRect;
    }
    if (Dst->MeasuringMode()) return DstRect;
    if (Src == Dst) {
        TRect CopyRect;
        std::unique_ptr<TCustomSurface32> Copy = CopyOfPart(Src, SrcRect, CopyRect);
        Copy->Resampler()->Resample(Dst, DstRect, Part, Copy.get(), CopyRect);
    } else {
        Src->Resampler()->Resample(Dst, DstRect, Part, Src, SrcRect);
    }
    return DstRect;
}

void TCustomSurface32::Draw(int DstX, int DstY, TCustomSurface32* Src) {
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    Draw(DstX, DstY, Src->BoundsRect(), Src);
}

void TCustomSurface32::Draw(int DstX, int DstY, const TRect& SrcRect, TCustomSurface32* Src) {
    const TRect Done = BlockTransfer(this, DstX, DstY, FClipRect, Src, SrcRect);
    if (!IsRectEmpty(Done)) Changed(Done, AREAINFO_RECT);
}

void TCustomSurface32::Draw(const TRect& DstRect, const TRect& SrcRect, TCustomSurface32* Src) {
    const TRect Done = StretchTransfer(this, DstRect, FClipRect, Src, SrcRect);
    if (!IsRectEmpty(Done)) Changed(Done, AREAINFO_RECT);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(0, 0, this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, int DstX, int DstY) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstX, DstY, this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, const TRect& DstRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstRect, BoundsRect(), this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, const TRect& DstRect, const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstRect, SrcRect, this);
}

// --- TSurface32: font, canvas and text ----------------------------------------------------

namespace {

// The part of [0, Size) that lands inside [Lo, Hi) when placed at Origin.
bool VisibleSpan(int64_t Origin, int64_t Size, int64_t Lo, int64_t Hi, int64_t& From, int64_t& To) {
    From = std::max<int64_t>(0, Lo - Origin);
    To = std::min<int64_t>(Size, Hi - Origin);
    return From < To;
}

}  // namespace

// The surface's canvas: it draws into the surface's device context, or into a measuring
// one that draws nowhere while the surface is empty, and what it draws raises Changed.
class TSurface32::TSurfaceDcCanvas : public TCanvas {
public:
    explicit TSurfaceDcCanvas(TSurface32& Owner) : FOwner(Owner) {
        OnChange = [this](TObject*) { FOwner.Changed(); };
    }

protected:
    void CreateHandle() override { SetHandle(FOwner.TextDc()); }

private:
    TSurface32& FOwner;
};

TSurface32::TSurface32() : FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TSurface32::~TSurface32() {
    FCanvas.reset();
    if (FMeasureDc != nullptr) DeleteDC(FMeasureDc);
    // The surface's DC goes with the base; it lets go of the font now.
    if (FHandle != nullptr) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
}

TCanvas* TSurface32::Canvas() {
    if (FCanvas == nullptr) FCanvas = std::make_unique<TSurfaceDcCanvas>(*this);
    return FCanvas.get();
}

HFONT TSurface32::FontHandle() const {
    const HFONT F = FFont->Handle();
    if (F == nullptr) throw EQvError("Can't create the font");
    return F;
}

void TSurface32::SelectFontInto(HDC Dc) {
    SelectObject(Dc, FontHandle());
    SetTextColor(Dc, ColorToRGB(FFont->Color()));
    SetBkMode(Dc, TRANSPARENT);
}

void TSurface32::EnsureFont(HDC Dc) {
    if (GetCurrentObject(Dc, OBJ_FONT) != FontHandle()) SelectFontInto(Dc);
}

void TSurface32::FontChanged() {
    if (FHandle != nullptr) SelectFontInto(FHandle);
    if (FMeasureDc != nullptr) SelectFontInto(FMeasureDc);
}

void TSurface32::HandleChanged(HDC NewHandle) {
    // A font the platform cannot make is reported by the text operations, not here, in
    // the middle of a resize.
    if (NewHandle != nullptr && FFont->Handle() != nullptr) SelectFontInto(NewHandle);
    // The canvas finds the new context at its next drawing.
    if (FCanvas != nullptr) FCanvas->SetHandle(nullptr);
}

void TSurface32::RecreateFont(BYTE Quality) {
    TFont Font;
    Font.Assign(FFont.get());
    Font.SetQuality(Quality <= fqClearTypeNatural ? static_cast<TFontQuality>(Quality) : fqDefault);
    if (Font.Name() == u"Default") Font.SetName(u"MS Sans Serif");
    FFont->Assign(&Font);
}

HDC TSurface32::TextDc() {
    if (FHandle != nullptr) {
        EnsureFont(FHandle);
        return FHandle;
    }
    if (FMeasureDc == nullptr) {
        FMeasureDc = CreateCompatibleDC(nullptr);
        if (FMeasureDc == nullptr) throw EQvError("Can't create compatible DC");
        SelectFontInto(FMeasureDc);
    }
    EnsureFont(FMeasureDc);
    return FMeasureDc;
}

void TSurface32::Textout(int X, int Y, const String& Text) {
    if (FHandle == nullptr || MeasuringMode()) return;
    EnsureFont(FHandle);
    ExtTextOutW(FHandle, X, Y, 0, nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

void TSurface32::Textout(int X, int Y, const TRect& AClipRect, const String& Text) {
    if (FHandle == nullptr || MeasuringMode()) return;
    EnsureFont(FHandle);
    const RECT R = AClipRect;
    ExtTextOutW(FHandle, X, Y, ETO_CLIPPED, &R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

void TSurface32::Textout(const TRect& DstRect, UINT Flags, const String& Text) {
    if (FHandle == nullptr || MeasuringMode()) return;
    EnsureFont(FHandle);
    RECT R = DstRect;
    DrawTextW(FHandle, Text.data(), static_cast<int>(Text.size()), &R, Flags);
    Changed();
}

TSize TSurface32::TextExtent(const String& Text) {
    SIZE Size;
    if (!GetTextExtentPoint32W(TextDc(), Text.data(), static_cast<int>(Text.size()), &Size)) return {};
    return Size;
}

int TSurface32::TextWidth(const String& Text) {
    return TextExtent(Text).cx;
}
int TSurface32::TextHeight(const String& Text) {
    return TextExtent(Text).cy;
}

void TSurface32::ColourCoverage(TSurface32& Scratch, TColor32 Color) {
    const TColor32 Rgb = Color & 0x00FFFFFFu;
    TColor32* P = Scratch.Bits();
    for (size_t I = 0, N = static_cast<size_t>(Scratch.Width()) * Scratch.Height(); I < N; ++I)
        if (P[I] != 0) P[I] = Rgb | ((P[I] & 0xFF) << 24);
}

void TSurface32::BlendScratch(TSurface32& Scratch, int X, int Y, TColor32 Color, TCombineMode Mode) {
    Scratch.SetDrawMode(dmBlend);
    Scratch.SetCombineMode(Mode);
    Scratch.SetMasterAlpha(AlphaComponent(Color));
    Draw(X, Y, &Scratch);
}

void TSurface32::RenderText(int X, int Y, const String& Text, int AALevel, TColor32 Color) {
    if (Empty()) return;
    AALevel = std::clamp(AALevel, -1, 4);
    RecreateFont(AALevel >= 0 ? 3 : 4);
    struct TQualityBack {
        TSurface32* S;
        ~TQualityBack() {
            try {
                S->RecreateFont(0);
            } catch (const EQvError&) {
                // The font stays as it was drawn; nothing else is lost.
            }
        }
    } Restore{this};
    const String Padded = Text + u" ";
    TSurface32 Scratch;
    if (AALevel <= 0) {
        const TSize Ext = TextExtent(Padded);
        Scratch.SetSize(std::min(Ext.cx, FWidth), std::min(Ext.cy, FHeight));
        if (Scratch.Empty()) return;
        Scratch.SetFont(FFont.get());
        Scratch.Font()->SetColor(clWhite);
        Scratch.Textout(0, 0, Padded);
        ColourCoverage(Scratch, Color);
        BlendScratch(Scratch, X, Y, Color, cmBlend);
        return;
    }
    // Supersampling: the text k times larger, each k x k block averaged into one pixel.
    const int K = 1 << AALevel;
    Scratch.SetFont(FFont.get());
    Scratch.Font()->SetSize(FFont->Size() * K);
    Scratch.Font()->SetColor(clWhite);
    const TSize Ext = Scratch.TextExtent(Padded);
    const int64_t ResultW = (int64_t{Ext.cx} + K) / K, ResultH = (int64_t{Ext.cy} + K) / K;
    // Only the part of the result that can reach the clip is made.
    int64_t X0, X1, Y0, Y1;
    if (!VisibleSpan(X, ResultW, FClipRect.Left, FClipRect.Right, X0, X1) ||
        !VisibleSpan(Y, ResultH, FClipRect.Top, FClipRect.Bottom, Y0, Y1))
        return;
    const int W = static_cast<int>(X1 - X0), H = static_cast<int>(Y1 - Y0);
    TSurface32 Result;
    Result.SetSize(W, H);
    const uint32_t Rgb = Color & 0x00FFFFFFu;
    // The large text is made tile by tile, so that its scratch stays small whatever the
    // surface's size; whole-pixel offsets leave the glyphs' coverage unchanged.
    constexpr int Tile = 128;
    for (int Ty = 0; Ty < H; Ty += Tile)
        for (int Tx = 0; Tx < W; Tx += Tile) {
            const int Tw = std::min(Tile, W - Tx), Th = std::min(Tile, H - Ty);
            Scratch.SetSize(Tw * K, Th * K);
            Scratch.Textout(static_cast<int>(-(X0 + Tx) * K), static_cast<int>(-(Y0 + Ty) * K), Padded);
            for (int Ry = 0; Ry < Th; ++Ry)
                for (int Rx = 0; Rx < Tw; ++Rx) {
                    uint32_t Sum = 0;
                    for (int Sy = 0; Sy < K; ++Sy) {
                        const TColor32* Row = Scratch.PixelPtr(Rx * K, Ry * K + Sy);
                        for (int Sx = 0; Sx < K; ++Sx) Sum += Row[Sx] & 0xFF;
                    }
                    *Result.PixelPtr(Tx + Rx, Ty + Ry) = Rgb | ((Sum / (K * K)) << 24);
                }
        }
    BlendScratch(Result, static_cast<int>(X + X0), static_cast<int>(Y + Y0), Color, cmBlend);
}

void TSurface32::RenderRect(const TRect& DstRect, UINT Flags, const String& Text, TColor32 Color) {
    if (Empty()) return;
    // The scratch covers only the part of the rectangle inside the clip; the text is laid
    // out in the whole rectangle, placed so that the part lands on the scratch.
    TRect Part;
    if (!IntersectRect(Part, DstRect, FClipRect)) return;
    TSurface32 Scratch;
    Scratch.SetSize(Part.Width(), Part.Height());
    Scratch.SetFont(FFont.get());
    Scratch.Font()->SetColor(clWhite);
    Scratch.EnsureFont(Scratch.Handle());
    const int Dx = Part.Left - DstRect.Left, Dy = Part.Top - DstRect.Top;
    RECT R = Rect(-Dx, -Dy, -Dx + DstRect.Width(), -Dy + DstRect.Height());
    DrawTextW(Scratch.Handle(), Text.data(), static_cast<int>(Text.size()), &R, Flags);
    ColourCoverage(Scratch, Color);
    BlendScratch(Scratch, Part.Left, Part.Top, Color, CombineMode());
}

void TSurface32::RenderText(const TRect& DstRect, UINT Flags, const String& Text, TColor32 Color) {
    if (Empty()) return;
    RecreateFont(3);
    RenderRect(DstRect, Flags, Text, Color);
}

void TSurface32::RenderText(const TRect& DstRect, UINT Flags, const String& Text, int AALevel,
                            TColor32 Color) {
    if (Empty()) return;
    RecreateFont(static_cast<BYTE>(std::clamp(AALevel, 0, 255)));
    struct TQualityBack {
        TSurface32* S;
        ~TQualityBack() {
            try {
                S->RecreateFont(0);
            } catch (const EQvError&) {
            }
        }
    } Restore{this};
    RenderRect(DstRect, Flags, Text, Color);
}

// --- TSurface32: device contexts ------------------------------------------------------------

void TSurface32::DrawTo(HDC Dc, int DstX, int DstY) {
    if (Empty() || Dc == nullptr) return;
    BitBlt(Dc, DstX, DstY, FWidth, FHeight, FHandle, 0, 0, SRCCOPY);
}

void TSurface32::Draw(const TRect& DstRect, const TRect& SrcRect, HDC SrcDc) {
    if (Empty() || SrcDc == nullptr || MeasuringMode()) return;
    StretchBlt(FHandle, DstRect.Left, DstRect.Top, DstRect.Width(), DstRect.Height(), SrcDc, SrcRect.Left,
               SrcRect.Top, SrcRect.Width(), SrcRect.Height(), SRCCOPY);
    Changed(DstRect, AREAINFO_RECT);
}
