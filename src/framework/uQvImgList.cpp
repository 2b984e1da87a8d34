#include "framework/uQvImgList.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>

#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvPixel.h"

namespace {

constexpr uint32_t RgbMask = 0x00FFFFFFu;

// Straight colour from premultiplied, halves rounded up and a transparent pixel kept as
// it is: the image list's own rounding, unlike the pixel unit's halves to even, so the
// entries it made before keep their values.
uint32_t UnpremultiplyHalfUp(uint32_t P) {
    const uint32_t A = P >> 24;
    if (A == 0 || A == 255) return P;
    auto Div = [A](uint32_t C) { return std::min<uint32_t>(255, (C * 255 + A / 2) / A); };
    return (A << 24) | (Div((P >> 16) & 255) << 16) | (Div((P >> 8) & 255) << 8) | Div(P & 255);
}

// Colour channels mixed with B: a quarter of B (Quarters = 1) or half (2), rounded half up.
uint32_t MixRgb(uint32_t P, uint32_t B, uint32_t Quarters) {
    uint32_t Out = P & 0xFF000000u;
    for (int Shift = 0; Shift < 24; Shift += 8) {
        const uint32_t C = (P >> Shift) & 255, D = (B >> Shift) & 255;
        Out |= ((C * (4 - Quarters) + D * Quarters + 2) / 4) << Shift;
    }
    return Out;
}

bool IsColour(TColor C) {
    return C != clNone && C != clDefault;
}

[[noreturn]] void RaiseIndexError() {
    throw EInvalidOperation("Invalid ImageList Index");
}

// The stored "Bitmap" container: the bytes 'Q' 'V' 'I' 'L', then four little-endian
// 32-bit words (format version 1, entry width, entry height, entry count), then each
// entry's pixels in turn: top-down rows of straight-alpha 0xAARRGGBB words.
constexpr char StoreMagic[4] = {'Q', 'V', 'I', 'L'};
constexpr uint32_t StoreVersion = 1;

}  // namespace

// ---- TChangeLink ----------------------------------------------------------------------

TChangeLink::~TChangeLink() {
    if (FSender != nullptr) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    const TNotifyEvent Handler = OnChange;
    if (Handler) Handler(FSender);
}

// ---- TCustomImageList -----------------------------------------------------------------

struct TCustomImageList::TSource {
    int Width = 0;
    int Height = 0;
    // The straight-alpha pixel at (X, Y) of the strip, masked.
    std::function<uint32_t(int X, int Y)> Pixel;
};

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* Link : FLinks) Link->FSender = nullptr;
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth < 1 || AHeight < 1 || AWidth > GdiMaxBitmapSide || AHeight > GdiMaxBitmapSide) return;
    if (int64_t{AWidth} * AHeight > GdiMaxBitmapPixels) return;
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    FImages.clear();
    FScratch.reset();
    Change();
}

void TCustomImageList::SetColorDepth(TColorDepth Value) {
    if (Value == FColorDepth) return;
    FColorDepth = Value;
    Change();
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == FMasked) return;
    FMasked = Value;
    Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor) return;
    FBkColor = Value;
    Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (Value == FBlendColor) return;
    FBlendColor = Value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value == FDrawingStyle) return;
    FDrawingStyle = Value;
    Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (Value == FImageType) return;
    FImageType = Value;
    Change();
}

// ---- Making entries -------------------------------------------------------------------

std::vector<TCustomImageList::TEntry> TCustomImageList::Entries(const TSource& Source) const {
    std::vector<TEntry> Result;
    if (Source.Width < 1 || Source.Height < 1) return Result;
    const int N = std::max(1, Source.Width / FWidth);
    const int Rows = std::min(Source.Height, FHeight);
    for (int I = 0; I < N; ++I) {
        TEntry E = TGdiBitmap::Create(FWidth, FHeight);
        if (!E) throw EOutOfResources("Out of system resources");
        const int Left = I * FWidth, Cols = std::min(FWidth, Source.Width - Left);
        for (int Y = 0; Y < Rows; ++Y) {
            uint32_t* Row = E->Row(Y);
            for (int X = 0; X < Cols; ++X) Row[X] = Source.Pixel(Left + X, Y);
        }
        Result.push_back(std::move(E));
    }
    return Result;
}

std::vector<TCustomImageList::TEntry> TCustomImageList::EntriesOf(const TBitmap* Image, const TBitmap* Mask,
                                                                  TColor MaskColor) const {
    if (Image == nullptr || Image->Empty()) return {};
    const uint32_t* Pixels = Image->PixelData();
    const int W = Image->Width();
    const TAlphaFormat Format = Image->AlphaFormat();
    const bool Keyed = IsColour(MaskColor);
    const uint32_t Key = Keyed ? GdiPixelOf(ColorToRGB(MaskColor)) & RgbMask : 0;
    const bool HasMask = Mask != nullptr && !Mask->Empty();
    TSource S;
    S.Width = W;
    S.Height = Image->Height();
    S.Pixel = [=](int X, int Y) {
        uint32_t P = Pixels[static_cast<size_t>(Y) * W + X];
        if (Format == afIgnored)
            P |= 0xFF000000u;
        else if (Format == afPremultiplied)
            P = UnpremultiplyHalfUp(P);
        // A mask is white where the image is left out, as monochrome masks are.
        const bool Out =
            (Keyed && (P & RgbMask) == Key) ||
            (HasMask && X < Mask->Width() && Y < Mask->Height() &&
             (Mask->PixelData()[static_cast<size_t>(Y) * Mask->Width() + X] & RgbMask) == RgbMask);
        return Out ? P & RgbMask : P;
    };
    return Entries(S);
}

int TCustomImageList::AddPixels(const uint32_t* Pixels, int AWidth, int AHeight, ptrdiff_t Stride) {
    if (Pixels == nullptr) return -1;
    TSource S;
    S.Width = AWidth;
    S.Height = AHeight;
    S.Pixel = [=](int X, int Y) {
        return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(Pixels) + Y * Stride)[X];
    };
    const int First = Count();
    std::vector<TEntry> New = Entries(S);
    if (New.empty()) return -1;
    InsertEntries(First, std::move(New));
    return First;
}

int TCustomImageList::Add(const TBitmap* Image, const TBitmap* Mask) {
    const int First = Count();
    std::vector<TEntry> New = EntriesOf(Image, Mask, clNone);
    if (New.empty()) return -1;
    InsertEntries(First, std::move(New));
    return First;
}

int TCustomImageList::AddMasked(const TBitmap* Image, TColor MaskColor) {
    const int First = Count();
    std::vector<TEntry> New = EntriesOf(Image, nullptr, MaskColor);
    if (New.empty()) return -1;
    InsertEntries(First, std::move(New));
    return First;
}

void TCustomImageList::Insert(int Index, const TBitmap* Image, const TBitmap* Mask) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    InsertEntries(Index, EntriesOf(Image, Mask, clNone));
}

void TCustomImageList::InsertMasked(int Index, const TBitmap* Image, TColor MaskColor) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    InsertEntries(Index, EntriesOf(Image, nullptr, MaskColor));
}

void TCustomImageList::Replace(int Index, const TBitmap* Image, const TBitmap* Mask) {
    CheckIndex(Index);
    ReplaceEntry(Index, EntriesOf(Image, Mask, clNone));
}

void TCustomImageList::ReplaceMasked(int Index, const TBitmap* Image, TColor MaskColor) {
    CheckIndex(Index);
    ReplaceEntry(Index, EntriesOf(Image, nullptr, MaskColor));
}

void TCustomImageList::InsertEntries(int Index, std::vector<TEntry> New) {
    if (New.empty()) return;
    FImages.insert(FImages.begin() + Index, std::make_move_iterator(New.begin()),
                   std::make_move_iterator(New.end()));
    Change();
}

void TCustomImageList::ReplaceEntry(int Index, std::vector<TEntry> New) {
    if (New.empty()) return;
    FImages[static_cast<size_t>(Index)] = std::move(New.front());
    Change();
}

void TCustomImageList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseIndexError();
}

void TCustomImageList::Delete(int Index) {
    if (Index == -1) {
        Clear();
        return;
    }
    CheckIndex(Index);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TCustomImageList::Clear() {
    if (FImages.empty()) return;
    FImages.clear();
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex) return;
    TEntry E = std::move(FImages[static_cast<size_t>(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(E));
    Change();
}

// ---- Reading entries ------------------------------------------------------------------

const TGdiBitmap* TCustomImageList::Bits(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return FImages[static_cast<size_t>(Index)].get();
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) const {
    const TGdiBitmap* E = Bits(Index);
    if (E == nullptr || Image == nullptr) return false;
    TQvPicture P;
    P.Width = FWidth;
    P.Height = FHeight;
    P.HasAlpha = true;
    P.BitsPerPixel = 32;
    TQvPictureFrame Frame;
    for (int Y = 0; Y < FHeight; ++Y) Frame.Pixels.insert(Frame.Pixels.end(), E->Row(Y), E->Row(Y) + FWidth);
    P.Frames.push_back(std::move(Frame));
    Image->TakePicture(P);
    return true;
}

// ---- Drawing --------------------------------------------------------------------------

uint32_t* TCustomImageList::PrepareScratch() {
    if (FScratch == nullptr) {
        auto Scratch = std::make_unique<TBitmap>(FWidth, FHeight);
        Scratch->SetAlphaFormat(afDefined);
        FScratch = std::move(Scratch);
    }
    return FScratch->ScanLine(0);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
    const TGdiBitmap* E = Bits(Index);
    if (Canvas == nullptr || E == nullptr) return;
    uint32_t* Out = PrepareScratch();
    // What each pixel becomes before it is blended by its (straight) alpha.
    std::function<uint32_t(uint32_t)> Look = [](uint32_t P) { return P; };
    if (!Enabled) {
        Look = [](uint32_t P) { return ((P >> 25) << 24) | static_cast<uint32_t>(Intensity(P)) * 0x010101u; };
    } else if (AImageType == itMask) {
        Look = [](uint32_t P) { return (P >> 24) != 0 ? 0xFF000000u : 0xFFFFFFFFu; };
    } else if (ADrawingStyle == dsFocus || ADrawingStyle == dsSelected) {
        const uint32_t Quarters = ADrawingStyle == dsFocus ? 1 : 2;
        if (FBlendColor == clNone) {
            Look = [Quarters](uint32_t P) {
                return (((P >> 24) * (4 - Quarters) / 4) << 24) | (P & RgbMask);
            };
        } else {
            const uint32_t B = GdiPixelOf(ColorToRGB(FBlendColor == clDefault ? clHighlight : FBlendColor));
            Look = [B, Quarters](uint32_t P) { return MixRgb(P, B, Quarters); };
        }
    }
    const uint32_t Opaque = FMasked ? 0 : 0xFF000000u;
    for (int Row = 0; Row < FHeight; ++Row) {
        const uint32_t* In = E->Row(Row);
        uint32_t* Dst = Out + static_cast<size_t>(Row) * FWidth;
        for (int Col = 0; Col < FWidth; ++Col) Dst[Col] = Look(In[Col] | Opaque);
    }
    if (Enabled && AImageType == itImage && ADrawingStyle == dsNormal && FMasked && IsColour(FBkColor)) {
        const HBRUSH Brush = CreateSolidBrush(ColorToRGB(FBkColor));
        const RECT R = Bounds(X, Y, FWidth, FHeight);
        FillRect(Canvas->Handle(), &R, Brush);
        DeleteObject(Brush);
    }
    Canvas->Draw(X, Y, FScratch.get());
}

// ---- Change notification --------------------------------------------------------------

void TCustomImageList::BeginUpdate() {
    ++FUpdateCount;
}

void TCustomImageList::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (Value == nullptr || Value->FSender == this) return;
    if (Value->FSender != nullptr) Value->FSender->UnRegisterChanges(Value);
    Value->FSender = this;
    FLinks.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    const auto It = std::find(FLinks.begin(), FLinks.end(), Value);
    if (It == FLinks.end()) return;
    (*It)->FSender = nullptr;
    FLinks.erase(It);
}

void TCustomImageList::Change() {
    FChanged = true;
    if (FUpdateCount > 0) return;
    FChanged = false;
    // A handler may free links, other controls or the list itself.
    const std::weak_ptr<char> Life = FLife;
    for (TChangeLink* Link : std::vector<TChangeLink*>(FLinks)) {
        if (Life.expired()) return;
        if (std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end()) Link->Change();
    }
    if (Life.expired()) return;
    const TNotifyEvent Handler = OnChange;
    if (Handler) Handler(this);
}

void TCustomImageList::Assign(const TPersistent* Source) {
    const auto* S = dynamic_cast<const TCustomImageList*>(Source);
    if (S == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    if (S == this) return;
    FWidth = S->FWidth;
    FHeight = S->FHeight;
    FColorDepth = S->FColorDepth;
    FMasked = S->FMasked;
    FBkColor = S->FBkColor;
    FBlendColor = S->FBlendColor;
    FDrawingStyle = S->FDrawingStyle;
    FImageType = S->FImageType;
    // Entries are copied, so later drawing into one list's bits leaves the other alone.
    std::vector<TEntry> Copies;
    for (const TEntry& E : S->FImages) {
        TEntry C = TGdiBitmap::Create(FWidth, FHeight);
        if (!C) throw EOutOfResources("Out of system resources");
        for (int Y = 0; Y < FHeight; ++Y) std::memcpy(C->Row(Y), E->Row(Y), static_cast<size_t>(FWidth) * 4);
        Copies.push_back(std::move(C));
    }
    FImages = std::move(Copies);
    FScratch.reset();
    Change();
}

// ---- Stored form ----------------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        u"Bitmap", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, Count() > 0);
}

void TCustomImageList::WriteData(TStream& Stream) const {
    Stream.WriteBuffer(StoreMagic, sizeof(StoreMagic));
    for (const uint32_t Word : {StoreVersion, static_cast<uint32_t>(FWidth), static_cast<uint32_t>(FHeight),
                                static_cast<uint32_t>(Count())})
        Stream.WriteUInt32(Word);
    for (const TEntry& E : FImages)
        for (int Y = 0; Y < FHeight; ++Y) Stream.WriteBuffer(E->Row(Y), int64_t{FWidth} * 4);
}

void TCustomImageList::ReadData(TStream& Stream) {
    char Magic[sizeof(StoreMagic)];
    Stream.ReadBuffer(Magic, sizeof(Magic));
    if (std::memcmp(Magic, StoreMagic, sizeof(Magic)) != 0 || Stream.ReadUInt32() != StoreVersion)
        throw EReadError("Invalid image list data");
    const uint32_t W = Stream.ReadUInt32(), H = Stream.ReadUInt32(), N = Stream.ReadUInt32();
    if (W < 1 || H < 1 || W > GdiMaxBitmapSide || H > GdiMaxBitmapSide ||
        uint64_t{W} * H > uint64_t{GdiMaxBitmapPixels})
        throw EReadError("Invalid image list data");
    // Checked before anything is allocated, so a damaged count cannot ask for gigabytes.
    if (uint64_t{W} * H * 4 * N != static_cast<uint64_t>(Stream.Remaining()))
        throw EReadError("Stream read error");
    std::vector<TEntry> Read;
    for (uint32_t I = 0; I < N; ++I) {
        TEntry E = TGdiBitmap::Create(static_cast<int>(W), static_cast<int>(H));
        if (!E) throw EOutOfResources("Out of system resources");
        for (int Y = 0; Y < static_cast<int>(H); ++Y) Stream.ReadBuffer(E->Row(Y), int64_t{W} * 4);
        Read.push_back(std::move(E));
    }
    FWidth = static_cast<int>(W);
    FHeight = static_cast<int>(H);
    FImages = std::move(Read);
    FScratch.reset();
    Change();
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvImgList() {
    RegisterQvPictures();
    RegisterEnum<TDrawingStyle>(u"TDrawingStyle", {u"dsFocus", u"dsSelected", u"dsNormal", u"dsTransparent"});
    RegisterEnum<TImageType>(u"TImageType", {u"itImage", u"itMask"});
    RegisterEnum<TColorDepth>(
        u"TColorDepth", {u"cdDeviceDependent", u"cd4Bit", u"cd8Bit", u"cd16Bit", u"cd24Bit", u"cd32Bit"});
    using L = TCustomImageList;
    RegisterClass<TCustomImageList, TComponent>(u"TCustomImageList")
        .Color(u"BkColor", &L::BkColor, &L::SetBkColor, clNone)
        .Color(u"BlendColor", &L::BlendColor, &L::SetBlendColor, clNone)
        .Prop(u"ColorDepth", &L::ColorDepth, &L::SetColorDepth, cd32Bit)
        .Prop(u"DrawingStyle", &L::DrawingStyle, &L::SetDrawingStyle, dsNormal)
        .Prop(u"Height", &L::Height, &L::SetHeight, 16)
        .Prop(u"ImageType", &L::ImageType, &L::SetImageType, itImage)
        .Prop(u"Masked", &L::Masked, &L::SetMasked, true)
        .Prop(u"Width", &L::Width, &L::SetWidth, 16);
    RegisterClass<TImageList, TCustomImageList>(u"TImageList");
}
