#include "controls/uPelluxLabel.h"

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxText.h"
#include "draw/uQvPolygons.h"
#include "draw/uQvVectors.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"

namespace {

const UINT EllipsisFlags[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};

// Draws Caption into R with Flags in Font, its glow first when Light is active.
void DrawLabelText(TSurface32* Bitmap, const TFont* Font, const TQvLightClass* Light, const TRect& R,
                   const String& Caption, UINT Flags) {
    Bitmap->SetFont(Font);
    Bitmap->Canvas()->Font()->Assign(Font);
    if (Light->Active())
        DrawGlowText(Bitmap->Canvas(), R, Caption, Light->BlurRadius(), Light->Color(), Flags);
    Bitmap->Textout(R, Flags, Caption);
}

}  // namespace

// ---- TPelluxCustomLabel ---------------------------------------------------------------

TPelluxCustomLabel::TPelluxCustomLabel(TComponent* AOwner)
    : TPelluxCustomPanel(AOwner), FLight(std::make_unique<TQvLightClass>()) {
    SetAlpha(0);
    SetBorderSides({});
    SetBounds(Left(), Top(), 60, 17);
    SetAutoInvalidate(true);
    FLight->OnChanged = [this](TObject*) { Invalidate(); };
}

TPelluxCustomLabel::~TPelluxCustomLabel() = default;

void TPelluxCustomLabel::SetEllipsisPosition(TEllipsisPosition Value) {
    if (FEllipsisPosition == Value) return;
    FEllipsisPosition = Value;
    FAutoSize = false;
    Invalidate();
}

void TPelluxCustomLabel::SetAlignmentHorizontal(TAlignment Value) {
    if (FAlignmentHorizontal == Value) return;
    FAlignmentHorizontal = Value;
    RecreateWnd();
    Invalidate();
}

void TPelluxCustomLabel::SetAlignmentVertical(TVerticalAlignment Value) {
    if (FAlignmentVertical == Value) return;
    FAlignmentVertical = Value;
    RecreateWnd();
    Invalidate();
}

void TPelluxCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) UpdateAutoSize();
}

void TPelluxCustomLabel::SetRoundBackground(bool Value) {
    if (FRoundBackground == Value) return;
    FRoundBackground = Value;
    if (Value) {
        if (Alpha() == 0) SetAlpha(255);
        Invalidate();
    } else {
        UpdateAutoSize();
    }
}

void TPelluxCustomLabel::SetLight(const TQvLightClass* Value) {
    if (Value != nullptr) FLight->Assign(Value);
}

void TPelluxCustomLabel::WndProc(TMessage& Message) {
    if (Message.Msg != CM_TEXTCHANGED) {
        TPelluxCustomPanel::WndProc(Message);
        return;
    }
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomPanel::WndProc(Message);
    if (Alive.Alive()) UpdateAutoSize();
}

void TPelluxCustomLabel::Loaded() {
    TPelluxCustomPanel::Loaded();
    UpdateAutoSize();
}

void TPelluxCustomLabel::FontChanged() {
    TPelluxCustomPanel::FontChanged();
    if (HighDPIEnabled || Designing()) UpdateAutoSize();
}

void TPelluxCustomLabel::ScaledForPPI(int NewPPI) {
    TPelluxCustomPanel::ScaledForPPI(NewPPI);
    UpdateAutoSize();
}

void TPelluxCustomLabel::UpdateAutoSize() {
    if (ComponentState().Contains(csReading) || !FAutoSize || FRoundBackground) return;
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas()->Font()->Assign(Font());
    const HDC Dc = Measure.Canvas()->Handle();
    SetBounds(Left(), Top(), MeasureTextWidth(Dc, Caption()), MeasureTextHeight(Dc, Caption()));
}

UINT TPelluxCustomLabel::AlignmentFlags() const {
    UINT Flags = 0;
    if (FAlignmentHorizontal == taRightJustify) Flags |= DT_RIGHT;
    if (FAlignmentHorizontal == taCenter) Flags |= DT_CENTER;
    if (FAlignmentVertical == taAlignBottom) Flags |= DT_BOTTOM | DT_SINGLELINE;
    if (FAlignmentVertical == taVerticalCenter) Flags |= DT_VCENTER | DT_SINGLELINE;
    return Flags;
}

void TPelluxCustomLabel::DrawSkin(TSurface32* Buffer) {
    if (FRoundBackground) {
        const TArrayOfFloatPoint Shape =
            RoundRectPoints(FloatRect(0, 0, static_cast<float>(Width()), static_cast<float>(Height())),
                            static_cast<float>(FRoundSize));
        FillPolygonFS(Buffer, Shape, ::SetAlpha(ToColor32(Color()), Alpha()));
    } else {
        TPelluxCustomPanel::DrawSkin(Buffer);
    }
    DrawCaption(Buffer);
}

void TPelluxCustomLabel::DrawCaption(TSurface32* Bitmap) {
    TRect R = Rect(0, 0, Width(), Height());
    UINT Flags = AlignmentFlags();
    if (FWordWap) {
        Bitmap->SetFont(Font());
        Bitmap->Canvas()->Font()->Assign(Font());
        // The height of the text as one unwrapped block places the wrapped block.
        const int H = MeasureTextHeight(Bitmap->Canvas()->Handle(), Caption());
        if (FAlignmentVertical == taVerticalCenter) {
            Flags &= ~static_cast<UINT>(DT_SINGLELINE);
            R.Top = (Height() - H) / 2;
            R.Bottom = R.Top + H;
        } else if (FAlignmentVertical == taAlignBottom) {
            Flags &= ~static_cast<UINT>(DT_SINGLELINE);
            R.Top = R.Bottom - H;
        }
        Flags |= DT_WORDBREAK;
    }
    Flags |= EllipsisFlags[FEllipsisPosition];
    DrawLabelText(Bitmap, Font(), FLight.get(), R, Caption(), Flags);
}

// ---- TQvURLButton ---------------------------------------------------------------------

TQvURLButton::TQvURLButton(TComponent* AOwner) : TPelluxLabel(AOwner), FFontHot(std::make_unique<TFont>()) {
    FFontHot->SetColor(clBlue);
    FFontHot->OnChange = [this](TObject*) { Invalidate(); };
    SetCursor(crHandPoint);
}

TQvURLButton::~TQvURLButton() = default;

void TQvURLButton::DrawSkin(TSurface32* Buffer) {
    if (AutoSize() && Align() == alNone) UpdateAutoSize();
    TFont* TextFont = Font();
    if (FMouseInside) {
        const auto Saved = FFontHot->OnChange;
        FFontHot->OnChange = nullptr;
        CopyFontKeepStyle(Font(), FFontHot.get());
        FFontHot->OnChange = Saved;
        TextFont = FFontHot.get();
    }
    DrawLabelText(Buffer, TextFont, Light(), Rect(0, 0, Width(), Height()), Caption(), AlignmentFlags());
}

void TQvURLButton::MouseEntered() {
    TPelluxLabel::MouseEntered();
    FMouseInside = true;
    Invalidate();
}

void TQvURLButton::MouseLeft() {
    TPelluxLabel::MouseLeft();
    FMouseInside = false;
    Invalidate();
}

void TQvURLButton::Click() {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxLabel::Click();
    if (Alive.Alive() && CanFocus()) SetFocus();
}

// ---- registration ---------------------------------------------------------------------

namespace {

template <typename T>
void PublishLabel(TClassBuilder<T>& B) {
    B.Prop(u"Alpha", &T::Alpha, &T::SetAlpha, uint8_t{192})
        .Prop(u"EllipsisPosition", &T::EllipsisPosition, &T::SetEllipsisPosition, epNone)
        .Prop(u"AlignmentHorizontal", &T::AlignmentHorizontal, &T::SetAlignmentHorizontal, taLeftJustify)
        .Prop(u"AlignmentVertical", &T::AlignmentVertical, &T::SetAlignmentVertical, taAlignTop)
        .Prop(u"AutoSize", &T::AutoSize, &T::SetAutoSize, true)
        .Prop(u"RoundBackground", &T::RoundBackground, &T::SetRoundBackground, false)
        .Prop(u"RoundSize", &T::RoundSize, &T::SetRoundSize, 5)
        .Object(u"Light", &T::Light)
        .Prop(u"WordWap", &T::WordWap, &T::SetWordWap, false);
}

}  // namespace

void RegisterPelluxLabels() {
    RegisterEnum<TVerticalAlignment>(u"TVerticalAlignment", {u"taAlignTop", u"taAlignBottom", u"taVerticalCenter"});
    RegisterClass<TPelluxCustomLabel, TPelluxCustomPanel>(u"TPelluxCustomLabel");
    auto Label = RegisterClass<TPelluxLabel, TPelluxCustomLabel>(u"TPelluxLabel");
    PublishLabel(Label);
    auto Url = RegisterClass<TQvURLButton, TPelluxLabel>(u"TQvURLButton");
    Url.Object(u"FontHot", &TQvURLButton::FontHot);
}
