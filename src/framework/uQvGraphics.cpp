#include "framework/uQvGraphics.h"

#include <algorithm>
#include <iterator>

#include "framework/uQvPictures.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvPicture.h"

namespace {

int Rop2Of(TPenMode Mode) {
    static constexpr int Table[] = {
        R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
        R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
        R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN,
    };
    static_assert(std::size(Table) == pmNotXor + 1);
    return Table[Mode];
}

void DeleteHandle(auto& Handle) {
    if (Handle != nullptr) DeleteObject(Handle);
    Handle = nullptr;
}

}  // namespace

UINT TextFormatFlags(TTextFormat Format) {
    static constexpr UINT Table[] = {
        DT_BOTTOM,     DT_CALCRECT,        DT_CENTER, DT_EDITCONTROL, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS,
        DT_EXPANDTABS, DT_EXTERNALLEADING, DT_LEFT,   DT_NOCLIP,      DT_NOPREFIX,     DT_RIGHT,
        DT_RTLREADING, DT_SINGLELINE,      DT_TOP,    DT_VCENTER,     DT_WORDBREAK,    DT_WORD_ELLIPSIS,
    };
    static_assert(std::size(Table) == tfWordEllipsis + 1);
    UINT Flags = 0;
    for (int I = 0; I <= tfWordEllipsis; ++I)
        if (Format.Contains(static_cast<TTextFormatItem>(I))) Flags |= Table[I];
    return Flags;
}

// ---- TGraphicsObject ------------------------------------------------------------------

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TFont ----------------------------------------------------------------------------

TFont::TFont() = default;

TFont::~TFont() {
    FreeHandle();
}

void TFont::FreeHandle() {
    DeleteHandle(FHandle);
}

void TFont::FontDataChanged() {
    FreeHandle();
    Changed();
}

void TFont::SetName(const String& Value) {
    if (Value.empty() || Value == FName) return;
    FName = Value;
    FontDataChanged();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    FontDataChanged();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FontDataChanged();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    FontDataChanged();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    FontDataChanged();
}

void TFont::SetQuality(TFontQuality Value) {
    if (Value == FQuality) return;
    FQuality = Value;
    FontDataChanged();
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value > 0) FPixelsPerInch = Value;
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW Log;
    Log.lfHeight = FHeight;
    Log.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    Log.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    Log.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    Log.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    Log.lfCharSet = FCharset;
    Log.lfQuality = static_cast<BYTE>(FQuality);
    Log.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                           : FPitch == fpVariable ? VARIABLE_PITCH
                                                  : DEFAULT_PITCH;
    const size_t N = std::min<size_t>(FName.size(), LF_FACESIZE - 1);
    std::copy_n(FName.begin(), N, Log.lfFaceName);
    return Log;
}

HFONT TFont::Handle() const {
    if (FHandle == nullptr) {
        const LOGFONTW Log = LogFont();
        FHandle = CreateFontIndirectW(&Log);
    }
    return FHandle;
}

void TFont::Assign(const TPersistent* Source) {
    const auto* F = dynamic_cast<const TFont*>(Source);
    if (F == nullptr) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (F == this) return;
    const bool DataDiffers = FName != F->FName || FHeight != F->FHeight || FStyle != F->FStyle ||
                             FCharset != F->FCharset || FPitch != F->FPitch || FQuality != F->FQuality;
    const bool ColorDiffers = FColor != F->FColor;
    FName = F->FName;
    FHeight = F->FHeight;
    FStyle = F->FStyle;
    FCharset = F->FCharset;
    FPitch = F->FPitch;
    FQuality = F->FQuality;
    FColor = F->FColor;
    FPixelsPerInch = F->FPixelsPerInch;
    if (DataDiffers) FreeHandle();
    if (DataDiffers || ColorDiffers) Changed();
}

// ---- TPen -----------------------------------------------------------------------------

TPen::TPen() = default;

TPen::~TPen() {
    FreeHandle();
}

void TPen::FreeHandle() {
    DeleteHandle(FHandle);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FreeHandle();
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 0 || Value == FWidth) return;
    FWidth = Value;
    FreeHandle();
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FreeHandle();
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    FMode = Value;
    Changed();
}

HPEN TPen::Handle() const {
    if (FHandle == nullptr) FHandle = CreatePen(FStyle, FWidth, ColorToRGB(FColor));
    return FHandle;
}

void TPen::Assign(const TPersistent* Source) {
    const auto* P = dynamic_cast<const TPen*>(Source);
    if (P == nullptr) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (P == this) return;
    const bool HandleDiffers = FColor != P->FColor || FWidth != P->FWidth || FStyle != P->FStyle;
    const bool Differs = HandleDiffers || FMode != P->FMode;
    FColor = P->FColor;
    FWidth = P->FWidth;
    FStyle = P->FStyle;
    FMode = P->FMode;
    if (HandleDiffers) FreeHandle();
    if (Differs) Changed();
}

// ---- TBrush ---------------------------------------------------------------------------

TBrush::TBrush() = default;

TBrush::~TBrush() {
    FreeHandle();
}

void TBrush::FreeHandle() {
    DeleteHandle(FHandle);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle != bsClear) return;
    FColor = Value;
    FStyle = bsSolid;
    FreeHandle();
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FreeHandle();
    Changed();
}

void TBrush::SetBitmap(const TBitmap* Value) {
    if (Value == nullptr && FBitmap == nullptr) return;
    if (Value == nullptr) {
        FBitmap.reset();
    } else {
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(Value);
        FBitmap = std::move(Copy);
    }
    FreeHandle();
    Changed();
}

HBRUSH TBrush::Handle() const {
    if (FHandle != nullptr) return FHandle;
    if (FBitmap != nullptr && !FBitmap->Empty()) {
        FHandle = CreatePatternBrush(FBitmap->Handle());
    } else if (FStyle == bsClear) {
        LOGBRUSH Log;
        Log.lbStyle = BS_NULL;
        FHandle = CreateBrushIndirect(&Log);
    } else {
        FHandle = CreateSolidBrush(ColorToRGB(FColor));
    }
    return FHandle;
}

void TBrush::Assign(const TPersistent* Source) {
    const auto* B = dynamic_cast<const TBrush*>(Source);
    if (B == nullptr) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (B == this) return;
    std::unique_ptr<TBitmap> Pattern;
    if (B->FBitmap != nullptr) {
        Pattern = std::make_unique<TBitmap>();
        Pattern->Assign(B->FBitmap.get());
    }
    const bool Differs =
        FColor != B->FColor || FStyle != B->FStyle || FBitmap != nullptr || Pattern != nullptr;
    FColor = B->FColor;
    FStyle = B->FStyle;
    FBitmap = std::move(Pattern);
    if (!Differs) return;
    FreeHandle();
    Changed();
}

// ---- TGraphic -------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
    const std::vector<uint8_t> Bytes = ReadPictureFile(FileName);
    LoadFromBytes(Bytes.data(), Bytes.size());
}

void TGraphic::SaveToFile(const String& FileName) const {
    WritePictureFile(FileName, SaveToBytes());
}

void TGraphic::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Remaining();
    if (Left < 0 || Left > int64_t{1} << 31) throw EReadError("Stream read error");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Left));
    Stream.ReadBuffer(Bytes.data(), Left);
    LoadFromBytes(Bytes.data(), Bytes.size());
}

void TGraphic::SaveToStream(TStream& Stream) const {
    const std::vector<uint8_t> Bytes = SaveToBytes();
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

// ---- TCanvas --------------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FFont->OnChange = [this](TObject*) { FState &= ~stFont; };
    FPen->OnChange = [this](TObject*) { FState &= ~stPen; };
    FBrush->OnChange = [this](TObject*) { FState &= ~stBrush; };
}

TCanvas::~TCanvas() {
    DeselectHandles();
}

HDC TCanvas::Handle() {
    RequiredState(stAll);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (Value == FHandle) return;
    DeselectHandles();
    FHandle = Value;
    FState = Value != nullptr ? unsigned{stHandle} : 0u;
}

void TCanvas::DeselectHandles() {
    if (FHandle == nullptr) return;
    // Only what is still ours leaves the context; what others selected since stays.
    if ((FState & stFont) && GetCurrentObject(FHandle, OBJ_FONT) == FFont->Handle())
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    if ((FState & stPen) && GetCurrentObject(FHandle, OBJ_PEN) == FPen->Handle())
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
    if ((FState & stBrush) && GetCurrentObject(FHandle, OBJ_BRUSH) == FBrush->Handle())
        SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    FState &= stHandle;
}

void TCanvas::RequiredState(unsigned Required) {
    if ((FState & stHandle) == 0) {
        CreateHandle();
        if (FHandle == nullptr) throw EInvalidOperation("Canvas does not allow drawing");
    }
    // An object counts as selected while the context still holds it: a surface that
    // shares its context selects its own font for its own text.
    auto Holds = [this](unsigned Bit, UINT Type, HGDIOBJ Object) {
        return (FState & Bit) != 0 && GetCurrentObject(FHandle, Type) == Object;
    };
    if ((Required & stFont) && !Holds(stFont, OBJ_FONT, FFont->Handle())) SelectFont();
    if ((Required & stPen) && !Holds(stPen, OBJ_PEN, FPen->Handle())) SelectPen();
    if ((Required & stBrush) && !Holds(stBrush, OBJ_BRUSH, FBrush->Handle())) SelectBrush();
}

void TCanvas::SelectFont() {
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    FState |= stFont;
    // Whoever selected another font may have changed the background mode as well.
    FState &= ~stBrush;
}

void TCanvas::SelectPen() {
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, Rop2Of(FPen->Mode()));
    FState |= stPen;
}

void TCanvas::SelectBrush() {
    SelectObject(FHandle, FBrush->Handle());
    const COLORREF Color = ColorToRGB(FBrush->Color());
    if (FBrush->Style() == bsSolid) {
        SetBkColor(FHandle, Color);
        SetBkMode(FHandle, OPAQUE);
    } else {
        SetBkColor(FHandle, ~Color & 0x00FFFFFFu);
        SetBkMode(FHandle, TRANSPARENT);
    }
    FState |= stBrush;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    RequiredState(stHandle);
    POINT P;
    GetCurrentPositionEx(FHandle, &P);
    return P;
}

void TCanvas::TextOut(int X, int Y, const String& Text) {
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    ExtTextOutW(FHandle, X, Y, FTextFlags, nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    MoveToEx(FHandle, X + TextWidth(Text), Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text) {
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    UINT Options = ETO_CLIPPED | FTextFlags;
    if (FBrush->Style() != bsClear) Options |= ETO_OPAQUE;
    const RECT R = Rect;
    ExtTextOutW(FHandle, X, Y, Options, &R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

int TCanvas::TextRect(TRect& Rect, const String& Text, TTextFormat Format) {
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    RECT R = Rect;
    const int Result =
        DrawTextW(FHandle, Text.data(), static_cast<int>(Text.size()), &R, TextFormatFlags(Format));
    Rect = R;
    Changed();
    return Result;
}

TSize TCanvas::TextExtent(const String& Text) {
    RequiredState(stHandle | stFont);
    SIZE Size;
    if (!GetTextExtentPoint32W(FHandle, Text.data(), static_cast<int>(Text.size()), &Size)) return {};
    return Size;
}

int TCanvas::TextWidth(const String& Text) {
    return TextExtent(Text).cx;
}

int TCanvas::TextHeight(const String& Text) {
    return TextExtent(Text).cy;
}

void TCanvas::FillRect(const TRect& Rect) {
    Changing();
    RequiredState(stHandle | stBrush);
    ::FillRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    Changing();
    RequiredState(stHandle | stBrush);
    ::FrameRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState(stHandle);
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState(stHandle);
    return static_cast<TColor>(::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState(stHandle | stPen);
    ::SetPixel(FHandle, X, Y, ColorToRGB(Value));
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
    Changing();
    RequiredState(stHandle | stBrush);
    ::DrawFocusRect(FHandle, &Rect);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->Empty()) return;
    StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->Empty()) return;
    Changing();
    RequiredState(stHandle);
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (Canvas == nullptr) return;
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    Canvas->RequiredState(stHandle | stBrush);
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left,
               Source.Top, Source.Width(), Source.Height(), FCopyMode);
    Changed();
}

TRect TCanvas::ClipRect() {
    RequiredState(stHandle);
    RECT R;
    GetClipBox(FHandle, &R);
    return R;
}

void TCanvas::Refresh() {
    DeselectHandles();
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvGraphics() {
    RegisterEnum<TFontStyle>(u"TFontStyle", {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"});
    RegisterEnum<TFontPitch>(u"TFontPitch", {u"fpDefault", u"fpVariable", u"fpFixed"});
    RegisterEnum<TFontQuality>(u"TFontQuality", {u"fqDefault", u"fqDraft", u"fqProof", u"fqNonAntialiased",
                                                 u"fqAntialiased", u"fqClearType", u"fqClearTypeNatural"});
    RegisterEnum<TPenStyle>(u"TPenStyle", {u"psSolid", u"psDash", u"psDot", u"psDashDot", u"psDashDotDot",
                                           u"psClear", u"psInsideFrame"});
    RegisterEnum<TPenMode>(
        u"TPenMode", {u"pmBlack", u"pmWhite", u"pmNop", u"pmNot", u"pmCopy", u"pmNotCopy", u"pmMergePenNot",
                      u"pmMaskPenNot", u"pmMergeNotPen", u"pmMaskNotPen", u"pmMerge", u"pmNotMerge",
                      u"pmMask", u"pmNotMask", u"pmXor", u"pmNotXor"});
    RegisterEnum<TBrushStyle>(u"TBrushStyle", {u"bsSolid", u"bsClear"});

    RegisterClass<TGraphicsObject, TPersistent>(u"TGraphicsObject");
    // Height is what layouts store; Size is read (for layouts that give one) but never
    // written, as it follows from Height.
    RegisterClass<TFont, TGraphicsObject>(u"TFont")
        .Prop(u"Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
        .Color(u"Color", &TFont::Color, &TFont::SetColor, clWindowText)
        .Prop(u"Height", &TFont::Height, &TFont::SetHeight)
        .Prop(u"Name", &TFont::Name, &TFont::SetName, u"Tahoma")
        .Prop(u"Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault)
        .Prop(u"Quality", &TFont::Quality, &TFont::SetQuality, fqDefault)
        .Prop(u"Size", &TFont::Size, &TFont::SetSize)
        .Stored([](TFont*) { return false; })
        .Prop(u"Style", &TFont::Style, &TFont::SetStyle, TFontStyles{});
    RegisterClass<TPen, TGraphicsObject>(u"TPen")
        .Color(u"Color", &TPen::Color, &TPen::SetColor, clBlack)
        .Prop(u"Mode", &TPen::Mode, &TPen::SetMode, pmCopy)
        .Prop(u"Style", &TPen::Style, &TPen::SetStyle, psSolid)
        .Prop(u"Width", &TPen::Width, &TPen::SetWidth, 1);
    RegisterClass<TBrush, TGraphicsObject>(u"TBrush")
        .Color(u"Color", &TBrush::Color, &TBrush::SetColor, clWhite)
        .Prop(u"Style", &TBrush::Style, &TBrush::SetStyle, bsSolid);
}
