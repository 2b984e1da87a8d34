#include "app/frmMain.h"

#include "app/dmMain.h"
#include "controls/uPelluxButton.h"
#include "controls/uPelluxMessageBoxStyle.h"
#include "skin/uPelluxRes.h"
#include "controls/uPelluxPanel.h"
#include "draw/uPelluxDPI.h"
#include "framework/uQvApplication.h"
#include "framework/uQvFormResources.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* AOwner) : TBaseForm(AOwner) {
    ReadFormResource(this, "frmMain");
    qvskncmg1 = Part<TPelluxNCImage>(u"qvskncmg1");
    pnlLeft = Part<TPelluxPanel>(u"pnlLeft");
    pnl1 = Part<TPelluxPanel>(u"pnl1");
    pnl2 = Part<TPelluxPanel>(u"pnl2");
    pnl3 = Part<TPelluxPanel>(u"pnl3");
    pnlSubClient = Part<TPelluxPanel>(u"pnlSubClient");
    pnlSplitter = Part<TPelluxPanel>(u"pnlSplitter");
    btnShowNAVBar = Part<TPelluxButton>(u"btnShowNAVBar");
    btnHideNAVBar = Part<TPelluxButton>(u"btnHideNAVBar");
    if (Application != nullptr) SetTitle(Application->Title());
    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnResize = [this](TObject* S) { FormResize(S); };
    sf1->Changed = [this](TObject* S) { sf1Changed(S); };
}

TMainForm::~TMainForm() {
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCreate(TObject* Sender) {
    TBaseForm::FormCreate(Sender);
    FAutoID = 0;
}

void TMainForm::FormResize(TObject*) {
    // The two splitter buttons stay centred together on the left panel's height.
    btnShowNAVBar->SetTop((pnlLeft->Height() - 2 * btnShowNAVBar->Height()) / 2 + pnlLeft->Top());
    btnHideNAVBar->SetTop(btnShowNAVBar->Top() + btnShowNAVBar->Height());
    // Maximized, the frame is gone and the window one pixel further up and left: the
    // picture moves with it so that it stays under the title bar's logo.
    const bool Normal = WindowState() == wsNormal;
    pnlLeft->SetBackgroundOffsetX(Normal ? 19 : 18);
    pnlLeft->SetBackgroundOffsetY(Normal ? -26 : -27);
    nclbl1->Pos()->SetYValue(8);
    CentreTitle();
}

void TMainForm::CentreTitle() {
    // The label measures in pixels of the form's dpi, and its place is given at 96 dpi: the
    // gap is scaled back so that the label sits in the middle at any dpi.
    const int Gap = (Width() - nclbl1->GetWidth()) / 2;
    const int Scaled = ScaleByDPI(this, USER_DEFAULT_SCREEN_DPI);
    nclbl1->Pos()->SetXValue(MulDiv(Gap, USER_DEFAULT_SCREEN_DPI, Scaled));
}

void TMainForm::sf1Changed(TObject*) {
    const TColor Title = sf1->TitlerColor();
    for (TPelluxPanel* P : {pnlLeft, pnl1, pnl2, pnl3}) P->SetColor(Title);
    sf1->SetColor(Title);
    if (MainDataModule != nullptr && MainDataModule->qvsknmsgbxstyl1 != nullptr)
        MainDataModule->qvsknmsgbxstyl1->Form()->SetTitlerColor(Title);
}
