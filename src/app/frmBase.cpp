#include "app/frmBase.h"

#include "app/uSkinLib.h"
#include "framework/uQvFormResources.h"

TBaseForm::TBaseForm(TComponent* AOwner) : TForm(AOwner) {
    ReadFormResource(this, "frmBase");
    sf1 = Part<TPelluxForm>(u"sf1");
    systmbtn1 = Part<TPelluxSystemButton>(u"systmbtn1");
    systmbtn2 = Part<TPelluxSystemButton>(u"systmbtn2");
    systmbtn3 = Part<TPelluxSystemButton>(u"systmbtn3");
    nclbl1 = Part<TPelluxNCLabel>(u"nclbl1");
    qvfrmlyrbrdr1 = Part<TQvFormLayerBorder>(u"qvfrmlyrbrdr1");
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
    if (FFollowsScheme) SkinLib().BindingPelluxForm(sf1);
}

void TBaseForm::FormDestroy(TObject*) {
    // After the scheme's own end nothing is bound any more (a freed skin leaves by itself).
    if (SkinLibAssigned()) SkinLib().UnbindPelluxForm(sf1);
}

void TBaseForm::SetTitle(const String& Title) {
    SetCaption(Title);
    nclbl1->SetCaption(Title);
}
