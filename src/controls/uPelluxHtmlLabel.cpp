#include "controls/uPelluxHtmlLabel.h"

#include "framework/uQvRegistry.h"

void TPelluxCustomHtmlLabel::SetHyperLinkFontHotColor(TColor Value) {
    Change(FHyperLinkFontHotColor, Value);
}

THtmlRenderParams TPelluxCustomHtmlLabel::Params() const {
    THtmlRenderParams P;
    P.HotColor = FHyperLinkFontHotColor;
    P.ScriptRatio = FSuperSubScriptRatio;
    P.Mouse = TPoint{FMouseX, FMouseY};
    return P;
}

THtmlRenderResult TPelluxCustomHtmlLabel::Render(TCanvas* Canvas, const TRect& R, THtmlRenderMode Mode,
                                                 THtmlRenderParams P) {
    Canvas->Font()->Assign(Font());
    Canvas->Font()->SetStyle({});
    Canvas->Brush()->SetStyle(bsClear);
    return HtmlRender(Canvas, R, P, Mode, Caption());
}

void TPelluxCustomHtmlLabel::DrawCaption(TSurface32* Bitmap) {
    Bitmap->SetFont(Font());
    TCanvas* Canvas = Bitmap->Canvas();
    const TRect Client = Rect(0, 0, Width(), Height());
    const int TextWidth = Render(Canvas, Client, hrMeasureWidth, Params()).Width;
    const int TextHeight = Render(Canvas, Client, hrMeasureHeight, Params()).Height;
    TRect R = Client;
    if (AlignmentHorizontal() == taRightJustify) R.Left = Width() - TextWidth;
    if (AlignmentHorizontal() == taCenter) R.Left = (Width() - TextWidth) / 2;
    if (AlignmentVertical() == taAlignBottom) R.Top = Height() - TextHeight;
    if (AlignmentVertical() == taVerticalCenter) R.Top = (Height() - TextHeight) / 2;
    FLayoutRect = R;
    if (Enabled()) {
        Render(Canvas, R, hrDraw, Params());
        return;
    }
    // Engraved: a highlight copy one pixel down and right under a shadow copy.
    THtmlRenderParams P = Params();
    P.Look = HtmlLookDisabled;
    TFont Engraved;
    Engraved.Assign(Font());
    const auto Pass = [&](TColor Color, int Shift) {
        Canvas->Font()->Assign(&Engraved);
        Canvas->Font()->SetStyle({});
        Canvas->Font()->SetColor(Color);
        Canvas->Brush()->SetStyle(bsClear);
        TRect Shifted = R;
        OffsetRect(Shifted, Shift, Shift);
        HtmlRender(Canvas, Shifted, P, hrDraw, Caption());
    };
    Pass(clBtnHighlight, 1);
    Pass(clBtnShadow, 0);
}

void TPelluxCustomHtmlLabel::UpdateAutoSize() {
    if (ComponentState().Contains(csReading) || !AutoSize() || RoundBackground()) return;
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    TCanvas* Canvas = Measure.Canvas();
    const TRect R = Rect(0, 0, Width(), Height());
    const int W = Render(Canvas, R, hrMeasureWidth, Params()).Width;
    const int H = Render(Canvas, R, hrMeasureHeight, Params()).Height;
    SetBounds(Left(), Top(), W, H);
}

THtmlRenderResult TPelluxCustomHtmlLabel::HitTest() {
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    return Render(Measure.Canvas(), FLayoutRect, hrHitTest, Params());
}

void TPelluxCustomHtmlLabel::MouseMove(TShiftState Shift, int X, int Y) {
    TPelluxCustomLabel::MouseMove(Shift, X, Y);
    FMouseX = X;
    FMouseY = Y;
    const THtmlRenderResult Hit = HitTest();
    SetCursor(Hit.Hovered ? crHandPoint : crDefault);
    if (Hit.Hovered != FHyperlinkHovered || Hit.LinkName != FOldLinkName) {
        FHyperlinkHovered = Hit.Hovered;
        FOldLinkName = Hit.LinkName;
        Invalidate();
    }
}

void TPelluxCustomHtmlLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomLabel::MouseUp(Button, Shift, X, Y);
    if (!Alive.Alive()) return;
    FMouseX = X;
    FMouseY = Y;
    if (!FHyperLinkMouseButtons.Contains(Button)) return;
    const THtmlRenderResult Hit = HitTest();
    if (Hit.Hovered && OnHyperLinkClick) OnHyperLinkClick(this, Hit.LinkName);
}

void TPelluxCustomHtmlLabel::MouseLeft() {
    TPelluxCustomLabel::MouseLeft();
    FMouseX = 0;
    FMouseY = 0;
    if (!FHyperlinkHovered) return;
    FHyperlinkHovered = false;
    FOldLinkName.clear();
    Invalidate();
}

void RegisterPelluxHtmlLabel() {
    using T = TPelluxHtmlLabel;
    if (EnumInfoOf<TMouseButton>() == nullptr) RegisterEnum<TMouseButton>(u"TMouseButton", {u"mbLeft", u"mbRight", u"mbMiddle"});
    RegisterClass<TPelluxCustomHtmlLabel, TPelluxCustomLabel>(u"TPelluxCustomHtmlLabel");
    RegisterClass<T, TPelluxCustomHtmlLabel>(u"TPelluxHtmlLabel")
        .Prop(u"Alpha", &T::Alpha, &T::SetAlpha, uint8_t{192})
        .Prop(u"AlignmentHorizontal", &T::AlignmentHorizontal, &T::SetAlignmentHorizontal, taLeftJustify)
        .Prop(u"AlignmentVertical", &T::AlignmentVertical, &T::SetAlignmentVertical, taAlignTop)
        .Prop(u"AutoSize", &T::AutoSize, &T::SetAutoSize, true)
        .Prop(u"RoundBackground", &T::RoundBackground, &T::SetRoundBackground, false)
        .Prop(u"RoundSize", &T::RoundSize, &T::SetRoundSize, 5)
        .Prop(u"HyperLinkMouseButtons", &T::HyperLinkMouseButtons, &T::SetHyperLinkMouseButtons,
              TPelluxHTLabelMouseButtons{mbLeft})
        .Color(u"HyperLinkFontHotColor", &T::HyperLinkFontHotColor, &T::SetHyperLinkFontHotColor,
               RGB(255, 0, 0));
}
