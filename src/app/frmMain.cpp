#include "app/frmMain.h"

#include "framework/uQvApplication.h"
#include "framework/uQvFormResources.h"

TMainForm* MainForm = nullptr;

namespace {

template <typename T>
T* Part(TComponent* Root, const char16_t* Name) {
    return dynamic_cast<T*>(Root->FindComponent(Name));
}

}  // namespace

TMainForm::TMainForm(TComponent* AOwner) : TBaseForm(AOwner) {
    ReadFormResource(this, "frmMain");
    pnlLeft = Part<TWinControl>(this, u"pnlLeft");
    pnl1 = Part<TWinControl>(this, u"pnl1");
    pnl2 = Part<TWinControl>(this, u"pnl2");
    pnl3 = Part<TWinControl>(this, u"pnl3");
    pnlSubClient = Part<TWinControl>(this, u"pnlSubClient");
    pnlSplitter = Part<TWinControl>(this, u"pnlSplitter");
    btnShowNAVBar = Part<TButton>(this, u"btnShowNAVBar");
    btnHideNAVBar = Part<TButton>(this, u"btnHideNAVBar");
    if (Application != nullptr) SetCaption(Application->Title());
    OnResize = [this](TObject* S) { FormResize(S); };
}

TMainForm::~TMainForm() {
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormResize(TObject*) {
    // The two splitter buttons stay centred together on the left panel's height.
    btnShowNAVBar->SetTop((pnlLeft->Height() - 2 * btnShowNAVBar->Height()) / 2 + pnlLeft->Top());
    btnHideNAVBar->SetTop(btnShowNAVBar->Top() + btnShowNAVBar->Height());
}
