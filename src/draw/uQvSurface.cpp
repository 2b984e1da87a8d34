#include "draw/uQvSurface.h"

#include <algorithm>

#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiDC.h"

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
