#include "controls/uPelluxLine.h"

#include "draw/uPelluxCanvas.h"
#include "draw/uQvPolygons.h"
#include "draw/uQvVectors.h"
#include "framework/uQvRegistry.h"

TPelluxLine::TPelluxLine(TComponent* AOwner) : TPelluxCustomControl(AOwner) {
    SetColor(RGB(243, 248, 253));
    SetBounds(Left(), Top(), 255, 3);
    SetAutoInvalidate(true);
}

void TPelluxLine::SetKind(TLineKind Value) {
    FKind = Value;
    const bool Mismatch = (FKind == lkHorizontal && Width() < Height()) || (FKind == lkVertical && Height() < Width());
    if (Mismatch) SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TPelluxLine::SetGradientSize(int Value) {
    if (Value != FGradientSize && Value >= 0 && Value <= 100) FGradientSize = Value;
    Invalidate();
}

void TPelluxLine::Resize() {
    TPelluxCustomControl::Resize();
    const bool Horizontal = FKind == lkHorizontal;
    const int Thickness = Horizontal ? Height() : Width();
    const int Wanted = FAutoSize ? 3 : std::max(Thickness, 1);
    if (Wanted == Thickness) return;
    if (Horizontal)
        SetBounds(Left(), Top(), Width(), Wanted);
    else
        SetBounds(Left(), Top(), Wanted, Height());
}

void TPelluxLine::DrawSkin(TSurface32* Buffer) {
    Buffer->BeginUpdate();
    const int W = Width(), H = Height();
    const int Thickness = FKind == lkHorizontal ? H : W;
    const TColor32 Line = SetAlpha(ToColor32(Color()), 255);
    if (FStyle == psDot || FStyle == psDash) {
        // Stroked along the top or left edge and centred on it, so about half of the
        // stroke falls inside the control.
        const TArrayOfFloatPoint Edge{TFloatPoint{0, 0}, FKind == lkHorizontal ? TFloatPoint{static_cast<float>(W), 0}
                                                                              : TFloatPoint{0, static_cast<float>(H)}};
        const std::vector<float> Pattern = FStyle == psDot ? std::vector<float>{4, 2} : std::vector<float>{21, 7};
        for (const TArrayOfFloatPoint& Dash : DashPolyline(Edge, Pattern, false))
            StrokePolylineFS(Buffer, Dash, Line, false, static_cast<float>(Thickness + 1), jsMiter, esButt, 4.0f);
    } else {
        Buffer->FillRectS(Buffer->BoundsRect(), Line);
    }
    if (FActiveGradient) DrawGradient(Buffer);
    Buffer->EndUpdate();
    Buffer->Changed();
}

void TPelluxLine::DrawGradient(TSurface32* Buffer) {
    const bool Horizontal = FKind == lkHorizontal;
    const int Length = Horizontal ? Width() : Height();
    const int Across = std::max((Horizontal ? Height() : Width()) - 1, 1) + 1;
    // Integer percent, so 29 % of 100 is 29.
    const int S = static_cast<int>(static_cast<int64_t>(FGradientSize) * Length / 100);
    const int C = Length / 2;
    TCanvas* Canvas = Buffer->Canvas();
    // A piece from colour A at its left (top) end to B at its right (bottom) end.
    const auto Piece = [&](int From, int To, TColor A, TColor B) {
        const TRect R = Horizontal ? Rect(From, 0, To, Across) : Rect(0, From, Across, To);
        GradientFillCanvas(Canvas, A, B, Horizontal, R);
    };
    switch (FGradientAlign) {
        case gaCenter:
            Piece(C - S, C, FGradientEndColor, FGradientStartColor);
            // The second vertical piece always reaches the bottom end.
            Piece(C - 1, Horizontal ? C + S : Length, FGradientStartColor, FGradientEndColor);
            break;
        case gaLeft:
            Piece(0, S, FGradientStartColor, FGradientEndColor);
            break;
        case gaRight:
            Piece(Length - S, Length, FGradientEndColor, FGradientStartColor);
            break;
    }
}

void RegisterPelluxLine() {
    RegisterEnum<TLineKind>(u"TLineKind", {u"lkHorizontal", u"lkVertical"});
    RegisterClass<TPelluxLine, TCustomControl>(u"TPelluxLine")
        .Prop(u"Kind", &TPelluxLine::Kind, &TPelluxLine::SetKind, lkHorizontal)
        .Prop(u"GradientSize", &TPelluxLine::GradientSize, &TPelluxLine::SetGradientSize, 60)
        .Prop(u"ActiveGradient", &TPelluxLine::ActiveGradient, &TPelluxLine::SetActiveGradient, true)
        .Color(u"GradientStartColor", &TPelluxLine::GradientStartColor, &TPelluxLine::SetGradientStartColor,
               RGB(140, 170, 188))
        .Prop(u"AutoSize", &TPelluxLine::AutoSize, &TPelluxLine::SetAutoSize, false)
        .Prop(u"GradientAlign", &TPelluxLine::GradientAlign, &TPelluxLine::SetGradientAlign, gaCenter)
        .Color(u"GradientEndColor", &TPelluxLine::GradientEndColor, &TPelluxLine::SetGradientEndColor,
               RGB(243, 248, 253))
        .Prop(u"Style", &TPelluxLine::Style, &TPelluxLine::SetStyle, psSolid);
}
