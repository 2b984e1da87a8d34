#include "controls/uPelluxShape.h"

#include "controls/uPelluxCircleShape.h"
#include "controls/uPelluxLine.h"
#include "controls/uPelluxMarker.h"
#include "draw/uQvPolygons.h"
#include "draw/uQvVectors.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvCodePages.h"

TPelluxCustomShape::TPelluxCustomShape(TComponent* AOwner)
    : TPelluxCustomControl(AOwner), FPen(std::make_unique<TQvPen>()), FBrush(std::make_unique<TQvBrush>()) {
    SetControlStyle(ControlStyle() + csAcceptsControls + csCaptureMouse + csClickEvents + csDoubleClicks);
    SetColor(clWhite);
    SetBounds(Left(), Top(), 65, 65);
    FPen->SetVisible(false);
    FPen->SetColor(RGB(248, 111, 86));
    FPen->SetWidth(2);
    FPen->SetStyle(psSolid);
    const auto Repaint = [this](TObject*) { Invalidate(); };
    FPen->OnChanged = Repaint;
    FBrush->OnChanged = Repaint;
}

TPelluxCustomShape::~TPelluxCustomShape() = default;

void TPelluxCustomShape::SetShape(TQvShapeKind Value) {
    Change(FShape, Value);
}

void TPelluxCustomShape::SetAlpha(uint8_t Value) {
    Change(FAlpha, Value);
}

void TPelluxCustomShape::SetRoundRadius(int Value) {
    if (FRoundRadius == Value) return;
    FRoundRadius = Value > 0 ? Value : 1;
    if (FShape == skRoundRect || FShape == skRoundSquare) Invalidate();
}

void TPelluxCustomShape::SetSvgPath(const String& Value) {
    if (FSvgPath == Value) return;
    // Refused where it is set, so painting never meets a broken path: the parser's
    // exception reaches the caller and the old path stays.
    if (!Value.empty()) {
        TSurface32 Probe;
        Probe.SetSize(1, 1);
        TQvSVGPathRenderer(&Probe).SetPath(StringToCodePage(Value, GetACP()));
    }
    FSvgPath = Value;
    if (FShape == skSVG) Invalidate();
}

TArrayOfFloatPoint TPelluxCustomShape::FigurePoints() const {
    const float W = static_cast<float>(Width()), H = static_cast<float>(Height());
    const float Cx = W / 2, Cy = H / 2;
    const float P = FPen->Visible() ? static_cast<float>(FPen->Width()) / 2 : 0;
    const auto Square = [&] {
        const float S = static_cast<float>(std::min(Width(), Height()));
        return FloatRect(1 + P, 1 + P, S - 1 - P, S - 1 - P);
    };
    const TFloatRect Box = FloatRect(1 + P, 1 + P, W - 1 - P, H - 1 - P);
    const float Radius = static_cast<float>(FRoundRadius);
    switch (FShape) {
        case skCircle:
            return CirclePoints(TFloatPoint{Cx, Cy}, std::min(Cx, Cy) - 1 - P);
        case skEllipse:
            // Offset by one pen half and a pixel, as stored layouts were drawn with: the box
            // runs from 3 + 2p to the far edges less one.
            return EllipsePoints(TFloatPoint{Cx + 1 + P, Cy + 1 + P}, Cx - 2 - P, Cy - 2 - P);
        case skRectangle:
            return RectanglePoints(Box);
        case skRoundRect:
            return RoundRectPoints(Box, Radius);
        case skRoundSquare:
            return RoundRectPoints(Square(), Radius);
        case skSquare:
            return RectanglePoints(Square());
        case skSVG:
            break;
    }
    return {};
}

void TPelluxCustomShape::DrawSkin(TSurface32* Buffer) {
    if (FShape == skSVG) {
        if (FSvgPath.empty()) return;
        TQvSVGPathRenderer Renderer(Buffer);
        Renderer.SetAlpha(FAlpha);
        Renderer.SetFillColor(FBrush->Color());
        Renderer.SetStrokeColor(FPen->Color());
        Renderer.SetStrokeWidth(FPen->Width());
        TQvSVGPathColors Colors;
        if (FBrush->Visible()) Colors += TQvSVGPathColors{pcFill};
        if (FPen->Visible()) Colors += TQvSVGPathColors{pcStroke};
        Renderer.SetColors(Colors);
        Renderer.SetPath(StringToCodePage(FSvgPath, GetACP()));
        return;
    }
    const TArrayOfFloatPoint Figure = FigurePoints();
    if (FBrush->Visible()) FillPolygonFS(Buffer, Figure, ::SetAlpha(ToColor32(FBrush->Color()), FAlpha), pfAlternate);
    if (!FPen->Visible()) return;
    const TColor32 Line = ::SetAlpha(ToColor32(FPen->Color()), 255);
    const float Width = static_cast<float>(FPen->Width());
    if (FPen->Style() != psDot && FPen->Style() != psDash) {
        StrokePolylineFS(Buffer, Figure, Line, true, Width, jsMiter, esButt, 4.0f);
        return;
    }
    const std::vector<float> Pattern = FPen->Style() == psDot ? std::vector<float>{5, 3} : std::vector<float>{21, 7};
    for (const TArrayOfFloatPoint& Dash : DashPolyline(Figure, Pattern, true))
        StrokePolylineFS(Buffer, Dash, Line, false, Width, jsMiter, esButt, 4.0f);
}

// ---- registration ---------------------------------------------------------------------

void RegisterPelluxShapes() {
    RegisterEnum<TQvShapeKind>(u"TQvShapeKind", {u"skCircle", u"skEllipse", u"skRectangle", u"skRoundRect",
                                                  u"skRoundSquare", u"skSquare", u"skSVG"});
    RegisterClass<TQvBrush, TPersistent>(u"TQvBrush")
        .Color(u"Color", &TQvBrush::Color, &TQvBrush::SetColor, TColor{9134950})
        .Prop(u"Visible", &TQvBrush::Visible, &TQvBrush::SetVisible, true);
    RegisterClass<TQvPen, TQvBrush>(u"TQvPen")
        .Prop(u"Width", &TQvPen::Width, &TQvPen::SetWidth, 1)
        .Prop(u"Style", &TQvPen::Style, &TQvPen::SetStyle, psSolid);
    RegisterClass<TPelluxCustomShape, TCustomControl>(u"TPelluxCustomShape");
    RegisterClass<TPelluxShape, TPelluxCustomShape>(u"TPelluxShape")
        .Prop(u"Shape", &TPelluxShape::Shape, &TPelluxShape::SetShape, skCircle)
        .Prop(u"Alpha", &TPelluxShape::Alpha, &TPelluxShape::SetAlpha, uint8_t{255})
        .Object(u"Pen", &TPelluxShape::Pen)
        .Object(u"Brush", &TPelluxShape::Brush)
        .Prop(u"RoundRadius", &TPelluxShape::RoundRadius, &TPelluxShape::SetRoundRadius, 8)
        .Prop(u"SvgPath", &TPelluxShape::SvgPath, &TPelluxShape::SetSvgPath, String());
    RegisterPelluxLine();
    RegisterPelluxCircleShape();
    RegisterPelluxMarkers();
}
