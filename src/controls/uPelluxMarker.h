#pragma once
// Markers: a badge (a number on a coloured ellipse or rounded rectangle) that is not a
// control. Its host draws it onto its own device context while it paints, typically from
// OnBackgroundChanged; changing a marker repaints nothing by itself.

#include <memory>

#include "framework/uQvClasses.h"
#include "framework/uQvGraphics.h"

class TPelluxMarker : public TComponent {
public:
    explicit TPelluxMarker(TComponent* AOwner);
    ~TPelluxMarker() override;

    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* Value) { FPen->Assign(Value); }
    int X() const { return FX; }
    void SetX(int Value) { FX = Value; }
    int Y() const { return FY; }
    void SetY(int Value) { FY = Value; }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    const String& Text() const { return FText; }
    void SetText(const String& Value) { FText = Value; }
    // Opacity of the fill and the outline.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value) { FAlpha = Value; }
    // 0: an ellipse; above 0: a rounded rectangle with corner arcs of diameter RoundSize / 2.
    int RoundSize() const { return FRoundSize; }
    void SetRoundSize(int Value) { FRoundSize = Value; }

    // Paints the marker onto Dc (nothing for a null Dc).
    virtual void Draw(HDC Dc) = 0;

private:
    int FWidth = 19;
    std::unique_ptr<TPen> FPen;
    int FX = 0;
    int FY = 0;
    std::unique_ptr<TBrush> FBrush;
    int FHeight = 19;
    std::unique_ptr<TFont> FFont;
    String FText = u"0";
    uint8_t FAlpha = 255;
    int FRoundSize = 0;
};

// The marker drawn antialiased: sizes, position and font size follow the main form's
// scale; the text is centred in the box in the font's face and size, regular style.
class TPelluxCircleMarker : public TPelluxMarker {
public:
    explicit TPelluxCircleMarker(TComponent* AOwner) : TPelluxMarker(AOwner) {}
    void Draw(HDC Dc) override;
};

void RegisterPelluxMarkers();
