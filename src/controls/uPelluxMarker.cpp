#include "controls/uPelluxMarker.h"

#include "draw/uPelluxCanvas.h"
#include "draw/uPelluxDPI.h"
#include "draw/uQvColor32.h"
#include "draw/uQvPolygons.h"
#include "draw/uQvVectors.h"
#include "framework/uQvApplication.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"

TPelluxMarker::TPelluxMarker(TComponent* AOwner)
    : TComponent(AOwner),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FFont(std::make_unique<TFont>()) {
    FPen->SetStyle(psSolid);
    FBrush->SetColor(RGB(28, 126, 251));
    FBrush->SetStyle(bsSolid);
    FFont->SetColor(clWhite);
    FFont->SetSize(9);
}

TPelluxMarker::~TPelluxMarker() = default;

void TPelluxCircleMarker::Draw(HDC Dc) {
    if (Dc == nullptr) return;
    const TComponent* Reference = Application != nullptr ? Application->MainForm() : nullptr;
    const auto Scaled = [Reference](int V) { return ScaleByDPI(Reference, V); };
    const int W = Scaled(Width()), H = Scaled(Height()), X = Scaled(this->X()), Y = Scaled(this->Y());
    if (W <= 0 || H <= 0) return;
    // Drawn on a copy of the box's pixels, which goes back when done.
    TSurface32 Box;
    Box.SetSize(W, H);
    Box.Draw(Rect(0, 0, W, H), Rect(X, Y, X + W, Y + H), Dc);
    const int Round = Scaled(RoundSize());
    const TArrayOfFloatPoint Figure =
        Round > 0 ? RoundRectPath(0, 0, W, H, Round)
                  : EllipsePoints(TFloatPoint{W / 2.0f, H / 2.0f}, W / 2.0f, H / 2.0f);
    if (Brush()->Style() != bsClear)
        FillPolygonFS(&Box, Figure, ::SetAlpha(ToColor32(Brush()->Color()), Alpha()), pfWinding);
    if (Pen()->Style() != psClear)
        StrokePolylineFS(&Box, Figure, ::SetAlpha(ToColor32(Pen()->Color()), Alpha()), true, 1.0f);
    Box.Font()->SetName(Font()->Name());
    Box.Font()->SetSize(Scaled(Font()->Size()));
    Box.Font()->SetStyle({});
    Box.RenderText(Rect(0, 0, W, H), DT_CENTER | DT_VCENTER | DT_SINGLELINE, Text(),
                   ::SetAlpha(ToColor32(Font()->Color()), 255));
    Box.DrawTo(Dc, X, Y);
}

void RegisterPelluxMarkers() {
    using T = TPelluxMarker;
    RegisterClass<T, TComponent>(u"TPelluxMarker")
        .Prop(u"Width", &T::Width, &T::SetWidth, 19)
        .Object(u"Pen", &T::Pen)
        .Prop(u"X", &T::X, &T::SetX, 0)
        .Prop(u"Y", &T::Y, &T::SetY, 0)
        .Object(u"Brush", &T::Brush)
        .Prop(u"Height", &T::Height, &T::SetHeight, 19)
        .Object(u"Font", &T::Font)
        .Prop(u"Text", &T::Text, &T::SetText, String(u"0"))
        .Prop(u"Alpha", &T::Alpha, &T::SetAlpha, uint8_t{255})
        .Prop(u"RoundSize", &T::RoundSize, &T::SetRoundSize, 0);
    RegisterClass<TPelluxCircleMarker, TPelluxMarker>(u"TPelluxCircleMarker");
}
