#include "app/frmBase.h"

#include "framework/uQvFormResources.h"

TBaseForm::TBaseForm(TComponent* AOwner) : TForm(AOwner) {
    ReadFormResource(this, "frmBase");
}

void TBaseForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
    // Owned by the desktop: no owner window of ours.
    Params.WndParent = nullptr;
}
