#include "forms/uPelluxNCButton.h"

#include "draw/uPelluxImage.h"
#include "forms/uPelluxForm.h"
#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

// ---- TPelluxCustomNCButton ----------------------------------------------------------------

TPelluxCustomNCButton::TPelluxCustomNCButton(TComponent* AOwner)
    : TPelluxNCCtrlBase(AOwner),
      FPicture(std::make_unique<TPngPictures>()),
      FFont(std::make_unique<TFont>()),
      FHotFont(std::make_unique<TFont>()),
      FCaptionOffset(std::make_unique<TQvOffset>()) {
    FPicture->SetActive(true);
    FPicture->SetPicturesChanged([this](TObject*) { PictureChanged(); });
    FFont->OnChange = [this](TObject*) { Invalidate(); };
    FHotFont->OnChange = [this](TObject*) { Invalidate(); };
    FCaptionOffset->OnChanged = [this](TObject*) { Invalidate(); };
}

TPelluxCustomNCButton::~TPelluxCustomNCButton() {
    // No change may reach a half-destroyed button.
    FPicture->SetPicturesChanged(nullptr);
}

TNCButtonState TPelluxCustomNCButton::State() const {
    if (FDown || FPress.Held()) return bsPressed;
    return FPress.Inside() ? bsHot : bsNormal;
}

void TPelluxCustomNCButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    if (Value) ReleaseGroup();
    Invalidate();
}

void TPelluxCustomNCButton::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Invalidate();
}

void TPelluxCustomNCButton::SetCaptionText(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Invalidate();
}

void TPelluxCustomNCButton::ReleaseGroup() {
    TPelluxForm* Skin = ParentObject();
    if (Skin == nullptr) return;
    const std::vector<TPelluxNCCtrlBase*> List = Skin->NCCtrlList();
    for (TPelluxNCCtrlBase* C : List) {
        auto* B = dynamic_cast<TPelluxCustomNCButton*>(C);
        if (B != nullptr && B != this && B->FGroupIndex == FGroupIndex && Skin->Listed(B)) B->SetDown(false);
    }
}

void TPelluxCustomNCButton::MouseEnter() {
    if (Visible() && FEnabled && FCursor != crDefault) {
        ::SetCursor(CursorHandle(FCursor));
        PelluxNCCursorShown = true;
    }
    TPelluxNCCtrlBase::MouseEnter();
}

void TPelluxCustomNCButton::MouseLeave() {
    if (Visible() && PelluxNCCursorShown) {
        PelluxNCCursorShown = false;
        ::SetCursor(CursorHandle(crArrow));
    }
    TPelluxNCCtrlBase::MouseLeave();
}

void TPelluxCustomNCButton::MouseHover() {
    if (!Visible() || !FEnabled || FCursor == crDefault) return;
    const HCURSOR Own = CursorHandle(FCursor);
    if (::GetCursor() != Own) ::SetCursor(Own);
}

void TPelluxCustomNCButton::LMouseDown() {
    if (FEnabled) FPress.Press();
    TPelluxNCCtrlBase::LMouseDown();
}

void TPelluxCustomNCButton::LMouseUp() {
    const TBusy Busy(this);
    // Whether the press began on this very button.
    const bool OwnPress = FPress.Release(true);
    if (!FEnabled || !Visible()) return TPelluxNCCtrlBase::LMouseUp();
    if (!OwnPress) return Invalidate();
    const TQvAliveCheck Alive = AliveCheck();
    if (FAllowAllUp) {
        SetDown(!FDown);
    } else if (FGroupIndex > 0) {
        SetDown(true);
    }
    TPelluxNCCtrlBase::LMouseUp();
    if (Alive.Alive()) Click();
}

void TPelluxCustomNCButton::Click() {
    if (FEnabled) Raise(OnClick);
}

void TPelluxCustomNCButton::PictureChanged() {
    Pos()->SetWidth(FPicture->GetSingleWidth());
    Pos()->SetHeight(FPicture->GetSingleHeight());
    Invalidate();
}

void TPelluxCustomNCButton::Paint(TSurface32* Surface) {
    TPelluxNCCtrlBase::Paint(Surface);
    const int X = Pos()->DisplayX(), Y = Pos()->DisplayY();
    const TNCButtonState S = State();
    if (FPicture->Active()) {
        TPelluxImage Frame;
        const bool Got = !FEnabled        ? FPicture->GetDisableImage(&Frame)
                         : S == bsHot     ? FPicture->GetHotImage(&Frame)
                         : S == bsPressed ? FPicture->GetPressedImage(&Frame)
                                          : FPicture->GetNormalImage(&Frame);
        if (Got) {
            Frame.SetDrawMode(dmBlend);
            Frame.DrawTo(Surface, X, Y);
        }
    }
    if (FCaption.empty()) return;
    Surface->SetFont(S == bsNormal ? FFont.get() : FHotFont.get());
    const TSize Text = Surface->TextExtent(FCaption);
    if (Pos()->Width() < Text.cx) Pos()->SetWidth(Text.cx);
    if (Pos()->Height() < Text.cy) Pos()->SetHeight(Text.cy);
    Surface->Textout(X + FCaptionOffset->X(), Y + FCaptionOffset->Y(), FCaption);
}

// ---- TPelluxNCButton ----------------------------------------------------------------------

void TPelluxNCButton::SetFont(const TFont* Value) {
    CaptionFont()->Assign(Value);
}

void TPelluxNCButton::SetHotFont(const TFont* Value) {
    CaptionHotFont()->Assign(Value);
}

// ---- TPelluxSystemButton ------------------------------------------------------------------

TPelluxSystemButton::TPelluxSystemButton(TComponent* AOwner) : TPelluxCustomNCButton(AOwner) {
    Pos()->SetAlign(caRight);
    Pos()->SetXValue(40);
    Pos()->SetYValue(-1);
    Pos()->SetUseDefault(true);
    Picture()->SetImage(FCloseImage);
    KindChanged();
}

void TPelluxSystemButton::SetKind(TSystemButtonKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    KindChanged();
}

void TPelluxSystemButton::SetImageName(TQvResID& Field, const TQvResID& Value) {
    if (Field == Value) return;
    Field = Value;
    PictureChanged();
}

void TPelluxSystemButton::SetCloseImage(const TQvResID& Value) {
    SetImageName(FCloseImage, Value);
}

void TPelluxSystemButton::SetMinimizeImage(const TQvResID& Value) {
    SetImageName(FMinimizeImage, Value);
}

void TPelluxSystemButton::SetMaximizeImage(const TQvResID& Value) {
    SetImageName(FMaximizeImage, Value);
}

void TPelluxSystemButton::SetRestoresizeImage(const TQvResID& Value) {
    SetImageName(FRestoresizeImage, Value);
}

void TPelluxSystemButton::PictureChanged() {
    TPelluxCustomNCButton::PictureChanged();
    KindChanged();
}

namespace {

bool FormZoomed(const TCustomForm* F) {
    return F != nullptr && F->HandleAllocated() && IsZoomed(const_cast<TCustomForm*>(F)->Handle());
}

}  // namespace

const TQvResID& TPelluxSystemButton::KindImage() const {
    if (FKind == bkClose) return FCloseImage;
    if (FKind == bkMinimize) return FMinimizeImage;
    return FormZoomed(Form()) ? FRestoresizeImage : FMaximizeImage;
}

void TPelluxSystemButton::KindChanged() {
    static constexpr int DefaultX[] = {40, 96, 68};
    // The image the paint would choose, so a change of pictures while the form is
    // maximized does not swing back and forth between the two maximize images.
    Picture()->SetImage(KindImage());
    if (!Pos()->UseDefault()) return;
    Pos()->SetXValue(DefaultX[FKind]);
    Pos()->SetYValue(-1);
}

UINT TPelluxSystemButton::Command() const {
    switch (FKind) {
        case bkClose:
            return SC_CLOSE;
        case bkMinimize:
            return SC_MINIMIZE;
        case bkMaximize:
            break;
    }
    return FormZoomed(CommandForm()) ? SC_RESTORE : SC_MAXIMIZE;
}

void TPelluxSystemButton::Click() {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomNCButton::Click();
    if (!Alive.Alive() || !Enabled()) return;
    TCustomForm* F = CommandForm();
    if (F != nullptr && F->HandleAllocated()) SendMessage(F->Handle(), WM_SYSCOMMAND, Command(), 0);
}

void TPelluxSystemButton::Paint(TSurface32* Surface) {
    if (FKind == bkMaximize) {
        Picture()->Lock();
        Picture()->SetImage(KindImage());
        Picture()->UnLock();
    }
    TPelluxCustomNCButton::Paint(Surface);
}

TPelluxSystemButton* NewTipsCloseButton(TComponent* AOwner) {
    auto* B = new TPelluxSystemButton(AOwner);
    B->Pos()->SetUseDefault(false);
    B->Pos()->SetXValue(22);
    B->Pos()->SetYValue(4);
    B->SetCloseImage(u"PelluxTips_close");
    return B;
}

// ---- Registration -------------------------------------------------------------------------

void RegisterPelluxNCButtons() {
    RegisterEnum<TNCButtonState>(u"TNCButtonState", {u"bsNormal", u"bsHot", u"bsPressed"});
    RegisterEnum<TSystemButtonKind>(u"TSystemButtonKind", {u"bkClose", u"bkMinimize", u"bkMaximize"});
    RegisterClass<TPelluxCustomNCButton, TPelluxNCCtrlBase>(u"TPelluxCustomNCButton")
        .Object(u"Picture", &TPelluxCustomNCButton::Picture)
        .Prop(u"Down", &TPelluxCustomNCButton::Down, &TPelluxCustomNCButton::SetDown, false)
        .Prop(u"GroupIndex", &TPelluxCustomNCButton::GroupIndex, &TPelluxCustomNCButton::SetGroupIndex, 0)
        .Prop(u"Enabled", &TPelluxCustomNCButton::Enabled, &TPelluxCustomNCButton::SetEnabled, true)
        .Prop(u"Cursor", &TPelluxCustomNCButton::Cursor, &TPelluxCustomNCButton::SetCursor, crDefault)
        .Prop(u"AllowAllUp", &TPelluxCustomNCButton::AllowAllUp, &TPelluxCustomNCButton::SetAllowAllUp,
              false);
    RegisterClass<TPelluxNCButton, TPelluxCustomNCButton>(u"TPelluxNCButton")
        .Object(u"Font", &TPelluxNCButton::Font)
        .Object(u"HotFont", &TPelluxNCButton::HotFont)
        .Prop(u"Caption", &TPelluxNCButton::Caption, &TPelluxNCButton::SetCaption, u"")
        .Object(u"CaptionOffset", &TPelluxNCButton::CaptionOffset);
    RegisterClass<TPelluxSystemButton, TPelluxCustomNCButton>(u"TPelluxSystemButton")
        .Prop(u"Kind", &TPelluxSystemButton::Kind, &TPelluxSystemButton::SetKind, bkClose)
        .Prop(u"CloseImage", &TPelluxSystemButton::CloseImage, &TPelluxSystemButton::SetCloseImage,
              u"PelluxBtn_close")
        .Prop(u"MinimizeImage", &TPelluxSystemButton::MinimizeImage, &TPelluxSystemButton::SetMinimizeImage,
              u"PelluxBtn_mini")
        .Prop(u"MaximizeImage", &TPelluxSystemButton::MaximizeImage, &TPelluxSystemButton::SetMaximizeImage,
              u"PelluxBtn_max")
        .Prop(u"RestoresizeImage", &TPelluxSystemButton::RestoresizeImage,
              &TPelluxSystemButton::SetRestoresizeImage, u"PelluxBtn_restore");
}
