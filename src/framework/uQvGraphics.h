#pragma once
// Fonts, pens, brushes and the canvas: the drawing objects of the component framework.
// Each object describes what to draw with and makes its platform object on first use;
// a canvas draws through a device context and selects its font, pen and brush into it
// only when they changed (or when someone else selected other objects meanwhile).

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "framework/uQvClasses.h"
#include "platform/uQvColor.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGeometry.h"

class TBitmap;
class TCanvas;

// Raised for pictures that cannot be read or made, and for operations a kind of picture
// does not support.
class EInvalidGraphic : public EQvError {
public:
    using EQvError::EQvError;
};
class EInvalidGraphicOperation : public EQvError {
public:
    using EQvError::EQvError;
};

// ---- Value types ----------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
// The platform's quality values 0..6, in order.
enum TFontQuality {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural,
};
using TFontCharset = uint8_t;

// In the order of the platform's PS_* values.
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How a pen combines with the pixels (the platform's R2_* operations).
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor,
};
// Solid fills, or none. A brush with a bitmap paints its 8 x 8 pattern instead.
enum TBrushStyle { bsSolid, bsClear };

// Formats of TCanvas::TextRect, each one of the platform's DT_* flags.
enum TTextFormatItem {
    tfBottom,
    tfCalcRect,
    tfCenter,
    tfEditControl,
    tfEndEllipsis,
    tfPathEllipsis,
    tfExpandTabs,
    tfExternalLeading,
    tfLeft,
    tfNoClip,
    tfNoPrefix,
    tfRight,
    tfRtlReading,
    tfSingleLine,
    tfTop,
    tfVerticalCenter,
    tfWordBreak,
    tfWordEllipsis,
};
using TTextFormat = TSet<TTextFormatItem>;
// The DT_* flags of a format.
UINT TextFormatFlags(TTextFormat Format);

// Copy modes of TCanvas::CopyRect and of bitmaps drawn on a canvas.
constexpr DWORD cmSrcCopy = SRCCOPY, cmSrcPaint = SRCPAINT, cmSrcAnd = SRCAND, cmSrcInvert = SRCINVERT,
                cmSrcErase = SRCERASE, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                cmMergeCopy = MERGECOPY, cmMergePaint = MERGEPAINT, cmPatCopy = PATCOPY,
                cmPatPaint = PATPAINT, cmPatInvert = PATINVERT, cmDstInvert = DSTINVERT,
                cmBlackness = BLACKNESS, cmWhiteness = WHITENESS;

// ---- Drawing objects ------------------------------------------------------------------

// Something a canvas draws with; OnChange fires when a property really changed.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// A font: face, size, style, colour and the rest of what text is drawn with.
// Height is the stored measure: negative, the character height in pixels; positive, the
// cell height. Size is in points at PixelsPerInch: Height = -MulDiv(Size, ppi, 72) and
// Size = -MulDiv(Height, 72, ppi).
class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;

    const String& Name() const { return FName; }
    // An empty name is ignored.
    void SetName(const String& Value);
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);
    // Only changes how Size reads and writes; the font itself stays. Values below 1 are
    // ignored.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

    // The platform font, made on first use and again after a change of the face, size,
    // style, charset, pitch or quality (the colour is not part of it). 0 when the platform
    // cannot make it.
    HFONT Handle() const;
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The description the platform font is made from.
    LOGFONTW LogFont() const;

    // From another font: every property, PixelsPerInch included; one OnChange at most.
    void Assign(const TPersistent* Source) override;

private:
    void FontDataChanged();
    void FreeHandle();

    String FName = u"Tahoma";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    TFontQuality FQuality = fqDefault;
    int FPixelsPerInch = 96;
    mutable HFONT FHandle = nullptr;
};

// A pen: colour, width, style and how it combines with the pixels.
class TPen : public TGraphicsObject {
public:
    TPen();
    ~TPen() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Negative widths are ignored; 0 draws like 1.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    HPEN Handle() const;
    void Assign(const TPersistent* Source) override;

private:
    void FreeHandle();

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    mutable HPEN FHandle = nullptr;
};

// A brush: a solid colour, nothing (bsClear), or the 8 x 8 pattern of a bitmap.
class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;

    TColor Color() const { return FColor; }
    // Setting a colour makes a clear brush solid again, as callers that only set a
    // colour expect a fill.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // The brush keeps its own copy of the bitmap; nullptr removes the pattern.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* Value);

    HBRUSH Handle() const;
    void Assign(const TPersistent* Source) override;

private:
    void FreeHandle();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
    mutable HBRUSH FHandle = nullptr;
};

// ---- Graphics -------------------------------------------------------------------------

// A picture of some kind (bitmap, PNG, JPEG, animated GIF) that can be read, written and
// drawn on a canvas. Reading a picture that cannot be decoded raises EQvError and leaves
// the graphic as it was.
class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The shown pixels as straight-alpha 0xAARRGGBB words, top-down, Width * Height of
    // them; nullptr when empty.
    virtual const uint32_t* PixelData() const = 0;
    // Whether the pixels carry an alpha that drawing blends by.
    virtual bool HasAlpha() const = 0;
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // The stored form of the picture, in the kind's own file format.
    virtual void LoadFromBytes(const uint8_t* Data, size_t Size) = 0;
    // Raises EInvalidGraphicOperation "Cannot save an empty picture" when empty.
    virtual std::vector<uint8_t> SaveToBytes() const = 0;
    void LoadFromFile(const String& FileName);
    // Written beside the target and renamed over it.
    void SaveToFile(const String& FileName) const;
    // Reads from the stream's position to its end.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;

    // A new, empty graphic of the same kind.
    virtual std::unique_ptr<TGraphic> NewEmpty() const = 0;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Draws the picture stretched to Rect: pictures with alpha are blended over what is
    // there, others copied opaque.
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void Changed();
    // Takes Source's Transparent without a notification of its own.
    void CopyTransparent(const TGraphic& Source) { FTransparent = Source.FTransparent; }

private:
    bool FTransparent = false;
    bool FModified = false;
};

// ---- Canvas ---------------------------------------------------------------------------

// Drawing through a device context with a font, a pen and a brush. A canvas without a
// device context makes one through CreateHandle (bitmaps and surfaces do); when none can
// be made, drawing raises EInvalidOperation "Canvas does not allow drawing".
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // The device context with the canvas's font, pen and brush selected.
    HDC Handle();
    // Takes another device context; the canvas's objects leave the old one.
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD Value) { FCopyMode = Value; }
    // ETO_* options added to every TextOut and TextRect.
    UINT TextFlags() const { return FTextFlags; }
    void SetTextFlags(UINT Value) { FTextFlags = Value; }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }

    // Painting code holds the lock around work on the canvas's pixels (a plain counter:
    // everything runs on one thread).
    void Lock() { ++FLockCount; }
    void Unlock() { --FLockCount; }
    int LockCount() const { return FLockCount; }

    // Text with the top-left of its cell at (X, Y), over the brush colour unless the brush
    // is clear; the pen position moves to the end of the text.
    void TextOut(int X, int Y, const String& Text);
    // Text at (X, Y) clipped to Rect, which is filled with the brush unless it is clear.
    void TextRect(const TRect& Rect, int X, int Y, const String& Text);
    // Text formatted in Rect (tfCalcRect measures into Rect and draws nothing). Returns the
    // height of the text.
    int TextRect(TRect& Rect, const String& Text, TTextFormat Format);
    int TextWidth(const String& Text);
    int TextHeight(const String& Text);
    TSize TextExtent(const String& Text);

    // Fills with the brush; FrameRect draws a one-pixel frame just inside Rect.
    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    // Lines with the pen; the end point of a line is not drawn.
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void Polyline(std::initializer_list<TPoint> Points) {
        Polyline(std::span(Points.begin(), Points.size()));
    }
    // Shapes: outline with the pen, inside filled with the brush.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void RoundRect(const TRect& R, int CX, int CY) { RoundRect(R.Left, R.Top, R.Right, R.Bottom, CX, CY); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Polygon(std::span<const TPoint> Points);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span(Points.begin(), Points.size())); }
    // The colour of a pixel (-1 outside the clip) and setting one.
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    // Inverts every other pixel of Rect's outline; drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& Rect);

    // A graphic at its own size with its top-left at (X, Y), or stretched to Rect.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Source of Canvas stretched to Dest, by CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    // The box of the device context's clip, in logical coordinates.
    TRect ClipRect();
    // Takes the canvas's objects out of the device context; the next drawing selects them
    // again.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Called when drawing needs a device context and there is none.
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();

    enum : unsigned { stHandle = 1, stFont = 2, stPen = 4, stBrush = 8, stAll = 15 };
    void RequiredState(unsigned Required);

private:
    void SelectFont();
    void SelectPen();
    void SelectBrush();
    void DeselectHandles();

    HDC FHandle = nullptr;
    unsigned FState = 0;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    DWORD FCopyMode = cmSrcCopy;
    UINT FTextFlags = 0;
    int FLockCount = 0;
};

// Registers the font, pen and brush enumerations and classes with their stored
// properties (Font.Name, Font.Style = [fsBold], Pen.Style = psClear, Brush.Color, ...).
// Calling it again does nothing.
void RegisterQvGraphics();
