#include "app/uProgram.h"

#include "app/dmMain.h"
#include "app/frmFlash.h"
#include "app/frmLogin.h"
#include "app/frmMain.h"
#include "app/uProSettings.h"
#include "app/uSkinLib.h"
#include "controls/uPelluxControls.h"
#include "controls/uPelluxMessageBox.h"
#include "framework/uQvApplication.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvHighDpi.h"

bool LoginAllowed = false;

namespace {

void RegisterProgramClasses() {
    RegisterClass<TFlashForm, TForm>(u"TFlashForm")
        .Prop(u"Progress", &TFlashForm::Progress, &TFlashForm::SetProgress, 0);
    RegisterClass<TBaseForm, TForm>(u"TBaseForm");
    RegisterClass<TLoginForm, TBaseForm>(u"TLoginForm");
    RegisterClass<TMainForm, TBaseForm>(u"TMainForm");
    RegisterClass<TMainDataModule, TDataModule>(u"TMainDataModule");
}

}  // namespace

String ApplicationTitle() {
    return u"Varnoth - 通用系统UI框架 (https://www.varnoth.org)";
}

void ProgramInitialization() {
    HighDPIEnabled = true;
    QvRegisterInitStep(ioSettings, u"settings", [] { ProSettings(); }, [] { ShutdownProSettings(); });
    RegisterSkinLib();
    RegisterPelluxControls();
    AppInit();
    RegisterProgramClasses();
}

void ProgramBody() {
    Application->Initialize();
    Application->SetMainFormOnTaskBar(true);
    Application->SetTitle(ApplicationTitle());
    // From now on every message box, those of exceptions caught at dispatch included, is
    // the skinned one, in the style the data module holds.
    QvSetMessageBoxHook(SkinMessageBoxFlags);

    FlashForm = Create<TFlashForm>(nullptr);
    FlashForm->SetCaption(ApplicationTitle());
    FlashForm->Show();
    Application->CreateForm(MainDataModule);
    // The splash gate: at least one round of messages, until the job reached 100.
    do {
        Application->ProcessMessages();
    } while (FlashForm != nullptr && FlashForm->Progress() < 100);
    if (FlashForm != nullptr) FlashForm->DoClose();

    LoginForm = Create<TLoginForm>(nullptr);
    const TQvAliveCheck Alive = LoginForm->AliveCheck();
    LoginForm->ShowModal();
    LoginAllowed = Alive.Alive() && LoginForm->AllowLogin();
    if (Alive.Alive()) LoginForm->Free();
    LoginForm = nullptr;

    if (LoginAllowed) Application->CreateForm(MainForm);
    Application->Run();
}

void ProgramFinalization() {
    QvSetMessageBoxHook({});
    AppShutdown();
}

void RunProgram() {
    ProgramInitialization();
    try {
        ProgramBody();
    } catch (...) {
        ProgramFinalization();
        throw;
    }
    ProgramFinalization();
}
