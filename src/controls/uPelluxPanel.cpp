#include "controls/uPelluxPanel.h"

#include "draw/uPelluxDPI.h"
#include "draw/uQvMisc.h"
#include "framework/uQvRegistry.h"

namespace {

// The closed rectangle polygon of columns X1..X2 and rows Y1..Y2 (right and bottom
// exclusive), as the gradient fill takes it.
TArrayOfArrayOfFloatPoint RectContour(int X1, int Y1, int X2, int Y2) {
    const float L = static_cast<float>(X1), T = static_cast<float>(Y1);
    const float R = static_cast<float>(X2), B = static_cast<float>(Y2);
    return {{{L, T}, {R, T}, {R, B}, {L, B}}};
}

}  // namespace

// ---- TPelluxCustomPanel ---------------------------------------------------------------

TPelluxCustomPanel::TPelluxCustomPanel(TComponent* AOwner) : TPelluxCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls + csCaptureMouse + csClickEvents + csDoubleClicks);
    SetColor(clWhite);
    SetBounds(Left(), Top(), 185, 114);
}

void TPelluxCustomPanel::SetBorderSides(TSides Value) {
    if (FBorderSides == Value) return;
    FBorderSides = Value;
    Realign();
    Invalidate();
}

void TPelluxCustomPanel::SetDoubleBorder(bool Value) {
    if (FDoubleBorder == Value) return;
    FDoubleBorder = Value;
    Realign();
    Invalidate();
}

void TPelluxCustomPanel::AdjustClientRect(TRect& Rect) const {
    TPelluxCustomControl::AdjustClientRect(Rect);
    const int Inset = FDoubleBorder ? 2 : 1;
    if (FBorderSides.Contains(sdLeft)) Rect.Left += Inset;
    if (FBorderSides.Contains(sdTop)) Rect.Top += Inset;
    if (FBorderSides.Contains(sdRight)) Rect.Right -= Inset;
    if (FBorderSides.Contains(sdBottom)) Rect.Bottom -= Inset;
}

void TPelluxCustomPanel::DrawSkin(TSurface32* Buffer) {
    const bool Opaque = FAlpha == 255 || Designing();
    if (FBackgroundFillType == ftGradient) {
        DrawGradient(Buffer);
    } else {
        TPelluxImage* Image = SkinResManager().GetImageByName(FBackgroundImage, true);
        if (FAlpha > 0) {
            const TColor32 Fill = ToColor32(Color());
            if (Opaque)
                Buffer->FillRectS(Buffer->BoundsRect(), ::SetAlpha(Fill, 255));
            else
                Buffer->FillRectTS(Buffer->BoundsRect(), ::SetAlpha(Fill, FAlpha));
        }
        if (Image != nullptr) {
            if (FBackgroundFillType == ftNormal)
                Image->DrawTo(Buffer, ScaleByDPI(this, FBackgroundOffsetX), ScaleByDPI(this, FBackgroundOffsetY));
            else
                DrawImageByMode(Image, Buffer, FBackgroundFillType);
        }
    }
    DrawPanelCaption(Buffer);
    if (!Opaque && OnCustomDraw) OnCustomDraw(this, Buffer);
    DrawBorder(Buffer);
}

void TPelluxCustomPanel::DrawPanelCaption(TSurface32* Bitmap) {
    if (!FCaptionVisible) return;
    // Font already follows the control's scale (ScaleForPPI scales font heights), so it is
    // not scaled again here.
    Bitmap->SetFont(Font());
    const TSize Extent = Bitmap->TextExtent(Caption());
    Bitmap->Textout((Width() - Extent.cx) / 2, (Height() - Extent.cy) / 2, Caption());
}

void TPelluxCustomPanel::DrawGradient(TSurface32* Bitmap) {
    const int W = Width(), H = Height();
    const bool Horizontal = FGradientDirection == gdHorizontal;
    // Integer percent, so 29 % of 100 is 29 (truncated toward zero for negative sizes).
    const int S = static_cast<int>(static_cast<int64_t>(FGradientSize) * (Horizontal ? W : H) / 100);
    TSurface32 Scratch;
    Scratch.SetSize(Bitmap->Width(), Bitmap->Height());
    Scratch.Clear(0);
    Scratch.SetDrawMode(dmBlend);
    const std::vector<TColor32> Colors{::SetAlpha(ToColor32(FGradientStartColor), FAlpha),
                                       ::SetAlpha(ToColor32(FGradientEndColor), FAlpha)};
    // Angle 0 puts the start colour at the left edge, 180 at the right, 270 at the top and
    // 90 at the bottom.
    const auto Piece = [&](int From, int To, double Angle) {
        if (To <= From) return;
        const TArrayOfArrayOfFloatPoint C = Horizontal ? RectContour(From, 0, To, std::max(H - 1, 1) + 1)
                                                       : RectContour(0, From, std::max(W - 1, 1) + 1, To);
        GradientFillPolygons(&Scratch, C, pfAlternate, Angle, Colors);
    };
    const int Mid = (Horizontal ? W : H) / 2;
    const int Extent = Horizontal ? W : H;
    switch (FGradientAlign) {
        case gaCenter:
            Piece(Mid - S, Mid, Horizontal ? 180 : 90);
            // The second vertical piece always reaches the bottom edge.
            Piece(Mid, Horizontal ? Mid + S : Extent, Horizontal ? 0 : 270);
            break;
        case gaLeft:
            Piece(0, S, Horizontal ? 0 : 270);
            break;
        case gaRight:
            Piece(Extent - S, Extent, Horizontal ? 180 : 90);
            break;
    }
    Scratch.DrawTo(Bitmap);
}

void TPelluxCustomPanel::DrawBorder(TSurface32* Bitmap) {
    if (Designing()) return;
    const int W = Width(), H = Height();
    const TColor32 Outer = ::SetAlpha(ToColor32(FBorderColor), FBorderAlpha);
    const TColor32 Inner = ::SetAlpha(0xFFFFFF, FBorderAlpha);
    if (FBorderSides.Contains(sdLeft)) {
        Bitmap->LineAS(0, 0, 0, H, Outer);
        if (FDoubleBorder) Bitmap->LineAS(1, 1, 1, H, Inner);
    }
    if (FBorderSides.Contains(sdTop)) {
        Bitmap->LineAS(0, 0, W, 0, Outer);
        if (FDoubleBorder) Bitmap->LineAS(1, 1, W, 1, Inner);
    }
    if (FBorderSides.Contains(sdRight)) {
        if (W > 1) Bitmap->LineAS(W - 1, 0, W - 1, H, Outer);
        if (FDoubleBorder && W > 2 && H > 1) Bitmap->LineAS(W - 2, 1, W - 2, H - 1, Inner);
    }
    if (FBorderSides.Contains(sdBottom)) {
        if (W > 1 && H > 1) Bitmap->LineAS(0, H - 1, W, H - 1, Outer);
        if (FDoubleBorder && W > 2 && H > 2) Bitmap->LineAS(1, H - 2, W - 1, H - 2, Inner);
    }
}

// ---- TPelluxBorderPanel ---------------------------------------------------------------

TPelluxBorderPanel::TPelluxBorderPanel(TComponent* AOwner) : TPelluxPanel(AOwner) {
    SetAlpha(0);
}

bool TPelluxBorderPanel::Hot() const {
    return (FInControl || FOverControl || Focused()) && FActiveHotFrame;
}

void TPelluxBorderPanel::UpdateFrame(bool ViaMouse, bool InFocus) {
    if (Designing()) return;
    if (ViaMouse)
        FOverControl = InFocus;
    else
        FInControl = InFocus;
    Invalidate();
}

void TPelluxBorderPanel::AdjustClientRect(TRect& Rect) const {
    TPelluxCustomControl::AdjustClientRect(Rect);
    InflateRect(Rect, -FNCSize, -FNCSize);
}

void TPelluxBorderPanel::DrawSkin(TSurface32* Buffer) {
    if (Designing()) {
        TPelluxPanel::DrawSkin(Buffer);
        return;
    }
    const int W = Width(), H = Height();
    if (!Transparent()) {
        CopyParentBackground(this, Buffer, BoundsRect());
        Buffer->FillRectTS(2, 2, W - 2, H - 2, ::SetAlpha(ToColor32(Color()), Alpha()));
    }
    if (!BackgroundImage().empty()) TPelluxPanel::DrawSkin(Buffer);
    TSurface32 Work;
    Work.Assign(Buffer);
    if (TPelluxImage* Ring = SkinResManager().GetImageByName(Hot() ? FBorderEffectHot : FBorderEffectNormal, true))
        DrawNineGridThirds(Ring, &Work, false);
    DrawPanelCaption(Buffer);
    const TRect Strips[] = {Rect(0, 0, W, 2), Rect(0, H - 2, W, H), Rect(0, 0, 2, H), Rect(W - 2, 0, W, H)};
    for (const TRect& R : Strips) Buffer->Draw(R.Left, R.Top, R, &Work);
}

void TPelluxBorderPanel::MouseEntered() {
    TPelluxPanel::MouseEntered();
    // Without mouse tracking the owner of the panel drives the frame; lighting it here
    // would leave it lit, since the leave does not put it out.
    if (FCMMouse) UpdateFrame(true, true);
}

void TPelluxBorderPanel::MouseLeft() {
    TPelluxPanel::MouseLeft();
    if (FCMMouse) UpdateFrame(true, false);
}

// ---- registration ---------------------------------------------------------------------

namespace {

template <typename T>
TClassBuilder<T>& PublishPanel(TClassBuilder<T>& B) {
    return B.Prop(u"Alpha", &T::Alpha, &T::SetAlpha, uint8_t{192})
        .Prop(u"BorderSides", &T::BorderSides, &T::SetBorderSides, TSides{sdLeft, sdTop, sdRight, sdBottom})
        .Color(u"BorderColor", &T::BorderColor, &T::SetBorderColor, RGB(186, 203, 217))
        .Prop(u"BorderAlpha", &T::BorderAlpha, &T::SetBorderAlpha, uint8_t{255})
        .Prop(u"DoubleBorder", &T::DoubleBorder, &T::SetDoubleBorder, true)
        .Prop(u"CaptionVisible", &T::CaptionVisible, &T::SetCaptionVisible, false)
        .Prop(u"BackgroundFillType", &T::BackgroundFillType, &T::SetBackgroundFillType, ftNormal)
        .Prop(u"BackgroundImage", &T::BackgroundImage, &T::SetBackgroundImage, String())
        .Prop(u"BackgroundOffsetX", &T::BackgroundOffsetX, &T::SetBackgroundOffsetX, 0)
        .Prop(u"BackgroundOffsetY", &T::BackgroundOffsetY, &T::SetBackgroundOffsetY, 0)
        .Prop(u"GradientDirection", &T::GradientDirection, &T::SetGradientDirection, gdVertical)
        .Prop(u"GradientAlign", &T::GradientAlign, &T::SetGradientAlign, gaCenter)
        .Prop(u"GradientSize", &T::GradientSize, &T::SetGradientSize, 60)
        .Color(u"GradientStartColor", &T::GradientStartColor, &T::SetGradientStartColor, RGB(70, 196, 255))
        .Color(u"GradientEndColor", &T::GradientEndColor, &T::SetGradientEndColor, RGB(243, 248, 253));
}

}  // namespace

void RegisterPelluxPanels() {
    RegisterClass<TPelluxCustomPanel, TCustomControl>(u"TPelluxCustomPanel");
    auto Panel = RegisterClass<TPelluxPanel, TPelluxCustomPanel>(u"TPelluxPanel");
    PublishPanel(Panel);
    auto Border = RegisterClass<TPelluxBorderPanel, TPelluxPanel>(u"TPelluxBorderPanel");
    Border.Prop(u"ActiveHotFrame", &TPelluxBorderPanel::ActiveHotFrame, &TPelluxBorderPanel::SetActiveHotFrame, true)
        .Prop(u"BorderEffectNormal", &TPelluxBorderPanel::BorderEffectNormal,
              &TPelluxBorderPanel::SetBorderEffectNormal, String(u"PelluxBorderNormal"))
        .Prop(u"BorderEffectHot", &TPelluxBorderPanel::BorderEffectHot, &TPelluxBorderPanel::SetBorderEffectHot,
              String(u"PelluxBorderHot"));
}
