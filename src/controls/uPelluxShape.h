#pragma once
// TPelluxShape: a vector figure (circle, ellipse, rectangle, rounded rectangle, square,
// rounded square or SVG path) filled antialiased with an opacity of its own and outlined
// solid, dotted or dashed. The application's pages use it as the white rounded card behind
// a group of controls, so it accepts children.

#include <memory>

#include "controls/base/uPelluxCtrls.h"
#include "draw/uQvSvg.h"

enum TQvShapeKind { skCircle, skEllipse, skRectangle, skRoundRect, skRoundSquare, skSquare, skSVG };

class TPelluxCustomShape : public TPelluxCustomControl {
public:
    explicit TPelluxCustomShape(TComponent* AOwner);
    ~TPelluxCustomShape() override;

    TQvShapeKind Shape() const { return FShape; }
    void SetShape(TQvShapeKind Value);
    // Opacity of the fill; the outline stays opaque.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value);
    TQvPen* Pen() const { return FPen.get(); }
    void SetPen(const TQvPen* Value) { FPen->Assign(Value); }
    TQvBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TQvBrush* Value) { FBrush->Assign(Value); }
    // Corner radius of the rounded figures; values of 0 or less become 1.
    int RoundRadius() const { return FRoundRadius; }
    void SetRoundRadius(int Value);
    const String& SvgPath() const { return FSvgPath; }
    // Raises the path parser's error for invalid data, keeping the old path.
    void SetSvgPath(const String& Value);

    // The figure's outline polygon in the control's current size (empty for skSVG).
    TArrayOfFloatPoint FigurePoints() const;

protected:
    void DrawSkin(TSurface32* Buffer) override;

private:
    TQvShapeKind FShape = skCircle;
    uint8_t FAlpha = 255;
    std::unique_ptr<TQvPen> FPen;
    std::unique_ptr<TQvBrush> FBrush;
    int FRoundRadius = 8;
    String FSvgPath;
};

class TPelluxShape : public TPelluxCustomShape {
public:
    explicit TPelluxShape(TComponent* AOwner) : TPelluxCustomShape(AOwner) {}
};

// Registers the shape, line, circle shape and marker classes for stored layouts.
// Calling it again does nothing.
void RegisterPelluxShapes();
