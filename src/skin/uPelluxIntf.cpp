#include "skin/uPelluxIntf.h"

#include "framework/uQvRegistry.h"

namespace {

// Stores Value and tells the owner, only when it differs.
template <typename V, typename O>
void Store(V& Field, const V& Value, O* Object) {
    if (Field == Value) return;
    Field = Value;
    Object->Changed();
}

}  // namespace

// ---- TQvLightClass ------------------------------------------------------------------------

void TQvLightClass::SetBlurRadius(int Value) {
    Store(FBlurRadius, Value, this);
}

void TQvLightClass::SetActive(bool Value) {
    Store(FActive, Value, this);
}

void TQvLightClass::SetColor(TColor Value) {
    Store(FColor, Value, this);
}

void TQvLightClass::Assign(const TPersistent* Source) {
    if (const auto* From = dynamic_cast<const TQvLightClass*>(Source)) {
        SetActive(From->FActive);
        SetColor(From->FColor);
        return;
    }
    TPersistent::Assign(Source);
}

void TQvLightClass::Changed() {
    if (OnChanged) OnChanged(this);
}

// ---- TQvTextObj ---------------------------------------------------------------------------

TQvTextObj::TQvTextObj() : FLight(std::make_unique<TQvLightClass>()) {
    FLight->OnChanged = [this](TObject*) { Changed(); };
}

void TQvTextObj::SetLight(const TQvLightClass* Value) {
    FLight->Assign(Value);
}

void TQvTextObj::SetText(const String& Value) {
    Store(FText, Value, this);
}

void TQvTextObj::SetVisible(bool Value) {
    Store(FVisible, Value, this);
}

void TQvTextObj::Assign(const TPersistent* Source) {
    if (const auto* From = dynamic_cast<const TQvTextObj*>(Source)) {
        FLight->Assign(From->FLight.get());
        SetText(From->FText);
        SetVisible(From->FVisible);
        return;
    }
    TPersistent::Assign(Source);
}

void TQvTextObj::Changed() {
    if (OnChanged) OnChanged(this);
}

// ---- TQvCaption ---------------------------------------------------------------------------

TQvCaption::TQvCaption() : FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { Changed(); };
}

void TQvCaption::SetOffsetX(int Value) {
    Store(FOffsetX, Value, this);
}

void TQvCaption::SetOffsetY(int Value) {
    Store(FOffsetY, Value, this);
}

void TQvCaption::SetFont(const TFont* Value) {
    // Every assignment counts as one change, whether or not the font differed.
    TNotifyEvent Relay = std::move(FFont->OnChange);
    FFont->OnChange = nullptr;
    try {
        FFont->Assign(Value);
    } catch (...) {
        FFont->OnChange = std::move(Relay);
        throw;
    }
    FFont->OnChange = std::move(Relay);
    Changed();
}

void TQvCaption::Assign(const TPersistent* Source) {
    TQvTextObj::Assign(Source);
    if (const auto* From = dynamic_cast<const TQvCaption*>(Source)) FFont->Assign(From->FFont.get());
}

// ---- TQvOffset ----------------------------------------------------------------------------

void TQvOffset::SetX(int Value) {
    Store(FX, Value, this);
}

void TQvOffset::SetY(int Value) {
    Store(FY, Value, this);
}

void TQvOffset::Assign(const TPersistent* Source) {
    if (const auto* From = dynamic_cast<const TQvOffset*>(Source)) {
        if (FX == From->FX && FY == From->FY) return;
        FX = From->FX;
        FY = From->FY;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TQvOffset::Changed() {
    if (OnChanged) OnChanged(this);
}

// ---- Registration -------------------------------------------------------------------------

void RegisterPelluxIntf() {
    RegisterQvGraphics();
    RegisterEnum<TEllipsisPosition>(u"TEllipsisPosition",
                                    {u"epNone", u"epPathEllipsis", u"epEndEllipsis", u"epWordEllipsis"});
    RegisterEnum<TGradientDirection>(u"TGradientDirection", {u"gdHorizontal", u"gdVertical"});
    RegisterEnum<TGradientAlign>(u"TGradientAlign", {u"gaCenter", u"gaLeft", u"gaRight"});
    RegisterEnum<TQvTextKind>(u"TQvTextKind", {u"tkAll", u"tkEN", u"tkNumInt", u"tkNumReal", u"tkENandNum"});
    RegisterEnum<TQvSwitchButtonCaptionAlign>(u"TQvSwitchButtonCaptionAlign", {u"sbcaLeft", u"sbcaRigth"});
    RegisterEnum<TQvCorner>(u"TQvCorner", {u"TopLeft", u"TopRight", u"BottomLeft", u"BottomRight"});
    RegisterEnum<TPelluxStyle>(u"TPelluxStyle", {u"ssColor", u"ssPicture"});
    RegisterEnum<TQvFillStyle>(u"TQvFillStyle", {u"mfsBlur", u"mfsTile", u"mfsStretch", u"mfs9Block"});
    RegisterEnum<TQvPngFillType>(u"TQvPngFillType", {u"ftNormal", u"ftTile", u"ftAutoStretch", u"ftCenter",
                                                     u"ftStretch", u"ftGradient"});
    RegisterEnum<TPelluxCustomComboBoxStyle>(u"TPelluxCustomComboBoxStyle",
                                             {u"csDropDown", u"csDropDownList"});
    RegisterEnum<TSide>(u"TSide", {u"sdLeft", u"sdTop", u"sdRight", u"sdBottom"});
    RegisterEnum<TQvAboutInfo>(u"TQvAboutInfo", {u"aiPelluxComponent"});

    RegisterClass<TQvLightClass, TPersistent>(u"TQvLightClass")
        .Prop(u"BlurRadius", &TQvLightClass::BlurRadius, &TQvLightClass::SetBlurRadius, 1)
        .Prop(u"Active", &TQvLightClass::Active, &TQvLightClass::SetActive, false)
        .Color(u"Color", &TQvLightClass::Color, &TQvLightClass::SetColor, TColor{0xFFFFFE});
    RegisterClass<TQvTextObj, TPersistent>(u"TQvTextObj")
        .Object(u"Light", &TQvTextObj::Light)
        .Prop(u"Text", &TQvTextObj::Text, &TQvTextObj::SetText, u"")
        .Prop(u"Visible", &TQvTextObj::Visible, &TQvTextObj::SetVisible, true);
    RegisterClass<TQvCaption, TQvTextObj>(u"TQvCaption")
        .Prop(u"OffsetX", &TQvCaption::OffsetX, &TQvCaption::SetOffsetX, 0)
        .Prop(u"OffsetY", &TQvCaption::OffsetY, &TQvCaption::SetOffsetY, 0)
        .Object(u"Font", &TQvCaption::Font);
    RegisterClass<TQvOffset, TPersistent>(u"TQvOffset")
        .Prop(u"X", &TQvOffset::X, &TQvOffset::SetX, 0)
        .Prop(u"Y", &TQvOffset::Y, &TQvOffset::SetY, 0);
}
