#include "app/frmLogin.h"

#include "framework/uQvApplication.h"
#include "framework/uQvFormResources.h"

TLoginForm* LoginForm = nullptr;

TLoginForm::TLoginForm(TComponent* AOwner) : TBaseForm(AOwner) {
    ReadFormResource(this, "frmLogin");
    // The login window keeps its own colours whatever the scheme.
    FFollowsScheme = false;
    lblContact = Part<TLabel>(u"lblContact");
    pnlVCenter = Part<TWinControl>(u"pnlVCenter");
    pnlHCenter = Part<TWinControl>(u"pnlHCenter");
    btn1 = Part<TButton>(u"btn1");
    if (Application != nullptr) SetTitle(Application->Title());
    OnResize = [this](TObject* S) { FormResize(S); };
    btn1->OnClick = [this](TObject* S) { btn1Click(S); };
}

void TLoginForm::FormResize(TObject*) {
    pnlVCenter->SetTop((ClientHeight() - pnlVCenter->Height() - lblContact->Height()) / 2);
    pnlHCenter->SetLeft((pnlVCenter->Width() - pnlHCenter->Width()) / 2);
}

void TLoginForm::btn1Click(TObject*) {
    FAllowLogin = true;
    SetModalResult(mrOk);
}
