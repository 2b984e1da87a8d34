#include "app/frmBase.h"

#include "app/frmLogin.h"
#include "app/uSkinLib.h"
#include "framework/uQvFormResources.h"

namespace {

template <typename T>
T* Part(TComponent* Root, const char16_t* Name) {
    return dynamic_cast<T*>(Root->FindComponent(Name));
}

}  // namespace

TBaseForm::TBaseForm(TComponent* AOwner) : TForm(AOwner) {
    ReadFormResource(this, "frmBase");
    sf1 = Part<TPelluxForm>(this, u"sf1");
    systmbtn1 = Part<TPelluxSystemButton>(this, u"systmbtn1");
    systmbtn2 = Part<TPelluxSystemButton>(this, u"systmbtn2");
    systmbtn3 = Part<TPelluxSystemButton>(this, u"systmbtn3");
    nclbl1 = Part<TPelluxNCLabel>(this, u"nclbl1");
    qvfrmlyrbrdr1 = Part<TQvFormLayerBorder>(this, u"qvfrmlyrbrdr1");
    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnDestroy = [this](TObject* S) { FormDestroy(S); };
}

void TBaseForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
    // Owned by the desktop: no owner window of ours.
    Params.WndParent = nullptr;
}

void TBaseForm::FormCreate(TObject*) {
    // The login window keeps its own colours whatever the scheme.
    if (dynamic_cast<TLoginForm*>(this) == nullptr) SkinLib().BindingPelluxForm(sf1);
}

void TBaseForm::FormDestroy(TObject*) {
    // After the scheme's own end nothing is bound any more (a freed skin leaves by itself).
    if (SkinLibAssigned()) SkinLib().UnbindPelluxForm(sf1);
}

void TBaseForm::SetTitle(const String& Title) {
    SetCaption(Title);
    nclbl1->SetCaption(Title);
}
