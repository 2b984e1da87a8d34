#include "app/dmMain.h"

#include "app/frmFlash.h"
#include "controls/uPelluxMessageBoxStyle.h"
#include "framework/uQvApplication.h"
#include "framework/uQvFormResources.h"
#include "platform/uQvTimers.h"

TMainDataModule* MainDataModule = nullptr;

TMainDataModule::TMainDataModule(TComponent* AOwner) : TDataModule(AOwner) {
    ReadFormResource(this, "dmMain");
    qvsknmsgbxstyl1 = dynamic_cast<TPelluxMessageBoxStyle*>(FindComponent(u"qvsknmsgbxstyl1"));
    OnCreate = [this](TObject* S) { DataModuleCreate(S); };
}

TMainDataModule::~TMainDataModule() {
    if (MainDataModule == this) MainDataModule = nullptr;
}

void TMainDataModule::DataModuleCreate(TObject*) {
    // The simulated loading job: about a second, the splash kept alive between steps.
    for (int V = 0; V <= 100; ++V) {
        if (FlashForm != nullptr) FlashForm->SetProgress(static_cast<BYTE>(V));
        Application->ProcessMessages();
        Sleep(10);
    }
}
