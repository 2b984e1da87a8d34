#include "controls/uPelluxMessageBoxStyle.h"

#include <algorithm>

#include "controls/uPelluxControls.h"
#include "draw/uPelluxDPI.h"
#include "forms/uPelluxNCLabel.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "platform/uQvHighDpi.h"
#include "framework/uQvRegistry.h"
#include "skin/uPelluxRes.h"
#include "skin/uPngPictures.h"

namespace {

const char16_t* const BuiltInCaptions[8] = {u"确定", u"是",   u"否",   u"取消",
                                            u"中止", u"重试", u"忽略", u"下次不再显示"};

struct TSharedState {
    String Captions[8];
    TPelluxMessageBoxStyle* Style = nullptr;
};

TSharedState& Shared() {
    static TSharedState State;
    return State;
}

std::unique_ptr<TFont> NewFont(int Size, TFontStyles Style = {}) {
    auto F = std::make_unique<TFont>();
    F->SetSize(Size);
    F->SetStyle(Style);
    return F;
}

}  // namespace

TPelluxMessageBoxStyle::TPelluxMessageBoxStyle(TComponent* AOwner)
    : TComponent(AOwner),
      FButtonPictures(std::make_unique<TPngPictures>()),
      FForm(std::make_unique<TQvFormSkinRes>()),
      FMessageFont(std::make_unique<TFont>()),
      FMessageLight(std::make_unique<TQvLightClass>()),
      FCaptionFont(NewFont(9, {fsBold})),
      FCaptionLight(std::make_unique<TQvLightClass>()),
      FButtonFont(NewFont(9)),
      FButtonHotFont(NewFont(9)) {
    FButtonPictures->SetImage(u"PelluxButton");
    FButtonPictures->SetCount(5);
    FButtonPictures->SetNormal(0);
    FButtonPictures->SetHot(1);
    FButtonPictures->SetPressed(2);
    FButtonPictures->SetDisable(3);
    FButtonPictures->SetActive(true);
    for (int I = 0; I < 8; ++I) FCaptions[I] = BuiltInCaptions[I];
    Shared().Style = this;
}

TPelluxMessageBoxStyle::~TPelluxMessageBoxStyle() {
    // Only what this style put there: a newer style stays in force.
    if (Shared().Style == this) Shared().Style = nullptr;
}

void TPelluxMessageBoxStyle::SetButtonPictures(const TPngPictures* Value) {
    FButtonPictures->Assign(Value);
}

void TPelluxMessageBoxStyle::SetForm(const TQvFormSkinRes* Value) {
    FForm->Assign(Value);
}

void TPelluxMessageBoxStyle::SetCaption(int Index, const String& Value) {
    FCaptions[Index] = Value;
    Shared().Captions[Index] = Value;
}

int MessageWindowPPI() {
    if (!HighDPIEnabled) return 96;
    if (Application != nullptr && Application->MainForm() != nullptr)
        return Application->MainForm()->CurrentPPI();
    return Screen != nullptr ? Screen->PixelsPerInch() : 96;
}

void FitMessageCaption(TPelluxNCLabel* Caption, const TCustomForm* Window) {
    Caption->SetMaxWidth(0);
    const int Room = Window->Width() - Caption->Pos()->DisplayX() - ScaleByDPI(Window, 22 + 6);
    if (Caption->GetWidth() <= Room) return;
    Caption->SetEllipsisPosition(epEndEllipsis);
    Caption->SetMaxWidth(std::max(Room, 0));
}

String DefaultMessageBoxCaption(int Index) {
    return BuiltInCaptions[Index];
}

String MessageBoxCaption(int Index) {
    const String& Override = Shared().Captions[Index];
    return Override.empty() ? DefaultMessageBoxCaption(Index) : Override;
}

TPelluxMessageBoxStyle* CurrentMessageBoxStyle() {
    return Shared().Style;
}

void RegisterPelluxMessageBoxStyle() {
    using T = TPelluxMessageBoxStyle;
    QvRegisterInitStep(
        ioPelluxClasses + 1, u"message box style",
        [] {
            RegisterClass<T, TComponent>(u"TPelluxMessageBoxStyle")
                .Object(u"ButtonPictures", &T::ButtonPictures)
                .Object(u"Form", &T::Form)
                .Object(u"MessageFont", &T::MessageFont)
                .Object(u"MessageLight", &T::MessageLight)
                .Object(u"CaptionFont", &T::CaptionFont)
                .Object(u"CaptionLight", &T::CaptionLight)
                .Object(u"ButtonFont", &T::ButtonFont)
                .Object(u"ButtonHotFont", &T::ButtonHotFont)
                .Prop(u"HideLine", &T::HideLine, &T::SetHideLine, false)
                .Prop(u"DefineYesButtonText", &T::DefineYesButtonText, &T::SetDefineYesButtonText, u"是")
                .Prop(u"DefineNoButtonText", &T::DefineNoButtonText, &T::SetDefineNoButtonText, u"否")
                .Prop(u"DefineOKButtonText", &T::DefineOKButtonText, &T::SetDefineOKButtonText, u"确定")
                .Prop(u"DefineCancelButtonText", &T::DefineCancelButtonText, &T::SetDefineCancelButtonText,
                      u"取消")
                .Prop(u"DefineAbortButtonText", &T::DefineAbortButtonText, &T::SetDefineAbortButtonText,
                      u"中止")
                .Prop(u"DefineRetryButtonText", &T::DefineRetryButtonText, &T::SetDefineRetryButtonText,
                      u"重试")
                .Prop(u"DefineIgnoreButtonText", &T::DefineIgnoreButtonText, &T::SetDefineIgnoreButtonText,
                      u"忽略")
                .Prop(u"DefineDonotShowAgainText", &T::DefineDonotShowAgainText,
                      &T::SetDefineDonotShowAgainText, u"下次不再显示");
        },
        // The overrides are the program's: the next start begins with the built-in ones.
        [] {
            for (String& C : Shared().Captions) C.clear();
        });
}
