#pragma once
// The surface the library uses everywhere: the 32-bit pixels of TCustomSurface32 with a
// font, a canvas, text output and copies to and from platform device contexts.

#include <memory>

#include "draw/uQvCustomSurface.h"
#include "framework/uQvGraphics.h"
#include "platform/uQvFont.h"

// The surface the library uses everywhere: adds the font, a canvas and text output, and
// copies to and from platform device contexts.
class TSurface32 : public TCustomSurface32 {
public:
    TSurface32();
    ~TSurface32() override;

    // --- font and canvas ---
    // The font of the text operations ("Tahoma", 8 points, the window-text colour at
    // first). It is selected into the surface's device context whenever either changes,
    // with the text colour set to the font's colour and a transparent background, so
    // text writes only the glyphs. A font the platform cannot make raises "Can't create
    // the font" when text needs it.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    // A canvas on the surface's device context (one that draws nowhere while the surface
    // is empty), made on first use. Drawing through it raises Changed.
    TCanvas* Canvas();

    // --- text through the platform, with the surface's font ---
    void Textout(int X, int Y, const String& Text);
    void Textout(int X, int Y, const TRect& ClipRect, const String& Text);
    // Formats Text in DstRect with the platform's DT_* flags.
    void Textout(const TRect& DstRect, UINT Flags, const String& Text);
    int TextWidth(const String& Text);
    int TextHeight(const String& Text);
    TSize TextExtent(const String& Text);

    // Text in Color (its alpha the opacity), drawn in white on a scratch surface whose
    // coverage becomes the alpha, then blended on. AALevel -1 draws antialiased glyphs, 0
    // monochrome ones, 1..4 supersamples 2^AALevel times per axis.
    void RenderText(int X, int Y, const String& Text, int AALevel, TColor32 Color);
    void RenderText(const TRect& DstRect, UINT Flags, const String& Text, TColor32 Color);
    void RenderText(const TRect& DstRect, UINT Flags, const String& Text, int AALevel, TColor32 Color);

    // --- platform device contexts (the platform's opaque block copy; alpha copied) ---
    using TCustomSurface32::Draw;
    using TCustomSurface32::DrawTo;
    void DrawTo(HDC Dc, int DstX, int DstY);
    void Draw(const TRect& DstRect, const TRect& SrcRect, HDC SrcDc);

protected:
    void HandleChanged(HDC NewHandle) override;

private:
    class TSurfaceDcCanvas;

    // The font's platform object, or "Can't create the font".
    HFONT FontHandle() const;
    void SelectFontInto(HDC Dc);
    // Selects the font again when something else (the canvas) selected its own since.
    void EnsureFont(HDC Dc);
    void FontChanged();
    // Replaces the font by the same one with another platform quality value.
    void RecreateFont(BYTE Quality);
    // The surface's DC, or a measuring DC while the surface is empty.
    HDC TextDc();
    // Turns white-on-transparent text into Color's red, green and blue with the coverage
    // (the blue byte) as alpha.
    static void ColourCoverage(TSurface32& Scratch, TColor32 Color);
    void BlendScratch(TSurface32& Scratch, int X, int Y, TColor32 Color, TCombineMode Mode);
    void RenderRect(const TRect& DstRect, UINT Flags, const String& Text, TColor32 Color);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TSurfaceDcCanvas> FCanvas;
    HDC FMeasureDc = nullptr;
};

// Registers the draw, combine and wrap modes and the surface classes with their stored
// properties for stored layouts. Calling it again does nothing.
void RegisterQvSurfaces();
