#include "forms/uPelluxNCLabel.h"

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxText.h"
#include "draw/uQvColor32.h"
#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvInput.h"
#include "platform/uQvWindows.h"

void StartNCDrag(TCustomForm* Form) {
    if (Form == nullptr || !Form->HandleAllocated()) return;
    ReleaseCapture();
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

TPelluxNCLabel::TPelluxNCLabel(TComponent* AOwner)
    : TPelluxNCCtrlBase(AOwner), FFont(std::make_unique<TFont>()), FLight(std::make_unique<TQvLightClass>()) {
    Pos()->SetXValue(5);
    Pos()->SetYValue(5);
    FCaption = Form() != nullptr ? Form()->Caption() : String(u"NCLabel");
    FFont->OnChange = [this](TObject*) { ResetSize(); };
    FLight->OnChanged = [this](TObject*) { Invalidate(); };
}

void TPelluxNCLabel::ResetSize() {
    FResetSize = true;
    Invalidate();
}

void TPelluxNCLabel::SetCaption(const String& Value) {
    FCaption = Value;
    ResetSize();
}

void TPelluxNCLabel::SetRenderText(bool Value) {
    if (FRenderText == Value) return;
    FRenderText = Value;
    Invalidate();
}

void TPelluxNCLabel::SetMaxWidth(int Value) {
    if (FMaxWidth == Value) return;
    FMaxWidth = Value;
    ResetSize();
}

void TPelluxNCLabel::SetEllipsisPosition(TEllipsisPosition Value) {
    if (FEllipsisPosition == Value) return;
    FEllipsisPosition = Value;
    Invalidate();
}

void TPelluxNCLabel::ScaledFont(TFont* Into) const {
    Into->Assign(FFont.get());
    if (HighDPIEnabled) ScaleFontByDPI(Form(), Into);
}

void TPelluxNCLabel::Measure() {
    if (!FResetSize) return;
    TSurface32 Scratch;
    Scratch.SetSize(1, 1);
    TFont F;
    ScaledFont(&F);
    Scratch.SetFont(&F);
    const TSize Text = Scratch.TextExtent(FCaption);
    FWidth = FMaxWidth > 0 ? FMaxWidth : Text.cx;
    FHeight = Text.cy;
    FResetSize = false;
}

int TPelluxNCLabel::GetWidth() {
    Measure();
    return FWidth;
}

int TPelluxNCLabel::GetHeight() {
    Measure();
    return FHeight;
}

void TPelluxNCLabel::LMouseDown() {
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    if (FCaptureMouse) StartNCDrag(Form());
    if (Alive.Alive()) TPelluxNCCtrlBase::LMouseDown();
}

void TPelluxNCLabel::Paint(TSurface32* Surface) {
    TPelluxNCCtrlBase::Paint(Surface);
    TFont F;
    ScaledFont(&F);
    Surface->SetFont(&F);
    Surface->Canvas()->SetFont(&F);
    Measure();
    const int X = Pos()->DisplayX(), Y = Pos()->DisplayY();
    TRect R = Rect(X, Y, X + FWidth, Y + FHeight);
    const TColor32 Colour = ToColor32(F.Color()) | 0xFF000000u;
    if (FMaxWidth <= 0) {
        if (FLight->Active())
            DrawGlowText(Surface->Canvas(), R, FCaption, FLight->BlurRadius(), FLight->Color(),
                         DT_SINGLELINE | DT_VCENTER);
        if (FRenderText)
            Surface->RenderText(X, Y, FCaption, 0, Colour);
        else
            Surface->Textout(X, Y, FCaption);
        return;
    }
    R.Right = R.Left + FMaxWidth;
    static constexpr UINT Ellipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
    const UINT Format = Ellipsis[FEllipsisPosition];
    if (FLight->Active())
        DrawGlowText(Surface->Canvas(), R, FCaption, FLight->BlurRadius(), FLight->Color(), Format);
    if (FRenderText)
        Surface->RenderText(R, Format, FCaption, Colour);
    else
        Surface->Textout(R, Format, FCaption);
}

void TPelluxNCLabel::DPIChanged() {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxNCCtrlBase::DPIChanged();
    if (Alive.Alive()) ResetSize();
}

void RegisterPelluxNCLabel() {
    RegisterClass<TPelluxNCLabel, TPelluxNCCtrlBase>(u"TPelluxNCLabel")
        .Prop(u"Caption", &TPelluxNCLabel::Caption, &TPelluxNCLabel::SetCaption)
        .Object(u"Font", &TPelluxNCLabel::Font)
        .Object(u"Light", &TPelluxNCLabel::Light)
        .Prop(u"CaptureMouse", &TPelluxNCLabel::CaptureMouse, &TPelluxNCLabel::SetCaptureMouse, true)
        .Prop(u"RenderText", &TPelluxNCLabel::RenderText, &TPelluxNCLabel::SetRenderText, false)
        .Prop(u"MaxWidth", &TPelluxNCLabel::MaxWidth, &TPelluxNCLabel::SetMaxWidth, 0)
        .Prop(u"EllipsisPosition", &TPelluxNCLabel::EllipsisPosition, &TPelluxNCLabel::SetEllipsisPosition,
              epNone);
}
