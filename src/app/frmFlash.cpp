#include "app/frmFlash.h"

#include <string>

#include "framework/uQvFormResources.h"
#include "platform/uQvAnimate.h"

TFlashForm* FlashForm = nullptr;

TFlashForm::TFlashForm(TComponent* AOwner) : TForm(AOwner) {
    ReadFormResource(this, "frmFlash");
    lb1 = dynamic_cast<TLabel*>(FindComponent(u"lb1"));
    lb2 = dynamic_cast<TLabel*>(FindComponent(u"lb2"));
    lblLoadingText = dynamic_cast<TLabel*>(FindComponent(u"lblLoadingText"));
    lbl3 = dynamic_cast<TLabel*>(FindComponent(u"lbl3"));
    OnShow = [this](TObject* S) { FormShow(S); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
    // The banner covers the whole window: a click anywhere is a click on it.
    OnClick = [this](TObject* S) { BannerClick(S); };
    for (int I = 0; I < ControlCount(); ++I) Controls(I)->OnClick = OnClick;
}

TFlashForm::~TFlashForm() {
    if (FlashForm == this) FlashForm = nullptr;
}

void TFlashForm::SetProgress(BYTE Value) {
    if (FProgress == Value) return;
    FProgress = Value;
    const std::string Percent = std::to_string(Value);
    lblLoadingText->SetCaption(u"模拟系统初始化进度...(" + String(Percent.begin(), Percent.end()) + u"%)");
}

void TFlashForm::FormShow(TObject*) {
    // Stored fully transparent, so nothing shows before the first picture is ready.
    SetAlphaBlend(false);
    if (Tag() == 1) lblLoadingText->Hide();
}

void TFlashForm::DoClose() {
    try {
        if (HandleAllocated()) AnimateWindow(Handle(), 455, AW_HIDE | AW_SLIDE | AW_BLEND);
        Close();
    } catch (...) {
    }
}

void TFlashForm::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
    if (FlashForm == this) FlashForm = nullptr;
}

void TFlashForm::BannerClick(TObject*) {
    if (Tag() == 1) DoClose();
}
