// The program's start-up headless, its plain message box and stored layouts compiled in.

#include <string>

#include "app/dmMain.h"
#include "app/frmFlash.h"
#include "app/frmLogin.h"
#include "app/frmMain.h"
#include "app/uProSettings.h"
#include "app/uProgram.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvFormResources.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStdCtrls.h"
#include "platform/uQvPaths.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

#include "app/program_fixture.h"

namespace {

class Startup : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        AppInit();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
    // Clicks the control at Path once the script reaches this step.
    void ClickLater(const char16_t* Path) {
        Headless->Step([this, Path] {
            TControl* C = QvFindControl(Path);
            ASSERT_NE(C, nullptr) << StringToUtf8(Path);
            const TPoint P = QvControlCenter(C);
            Headless->Click(P.X, P.Y);
        });
    }
};

// The whole program, with the settings in the test's own folder.
class Program : public TProgramTest {
protected:
    void AltF4() {
        Headless->KeyDown(VK_MENU);
        Headless->Key(VK_F4);
        Headless->KeyUp(VK_MENU);
    }
    // Nothing of the program outlives it.
    void ExpectAllGone() {
        EXPECT_EQ(Application, nullptr);
        EXPECT_EQ(FlashForm, nullptr);
        EXPECT_EQ(LoginForm, nullptr);
        EXPECT_EQ(MainForm, nullptr);
        EXPECT_EQ(MainDataModule, nullptr);
        EXPECT_TRUE(QvRootControls().empty());
        EXPECT_EQ(ProSettings(), nullptr);
    }
};

// Reads its stored layout in the constructor and notes what the constructor body saw.
class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {
        ReadFormResource(this, "frmProbe");
        btnGo = dynamic_cast<TButton*>(FindComponent(u"btnGo"));
        SeenCaption = Caption();
        SeenLoading = ComponentState().Contains(csLoading);
    }
    TButton* btnGo = nullptr;
    String SeenCaption;
    bool SeenLoading = false;
    bool LoadedBeforeCreated = false;

protected:
    void Created() override {
        TForm::Created();
        LoadedBeforeCreated = !ComponentState().Contains(csLoading);
    }
};

class TProbeMoreForm : public TProbeForm {
public:
    explicit TProbeMoreForm(TComponent* AOwner) : TProbeForm(AOwner) {
        ReadFormResource(this, "frmProbeMore");
        SeenLeftInMore = btnGo->Left();
    }
    int SeenLeftInMore = 0;
};

}  // namespace

TEST_F(Startup, StoredLayoutsAreReadBaseFirstBeforeTheConstructorBodies) {
    RegisterClass<TProbeForm, TForm>(u"TProbeForm");
    RegisterClass<TProbeMoreForm, TProbeForm>(u"TProbeMoreForm");
    TProbeMoreForm* F = Create<TProbeMoreForm>(nullptr);
    ASSERT_NE(F->btnGo, nullptr);
    EXPECT_EQ(F->SeenCaption, u"Probe 探针");
    EXPECT_TRUE(F->SeenLoading);  // Loaded() waits for AfterConstruction
    EXPECT_EQ(F->SeenLeftInMore, 100);
    EXPECT_TRUE(F->LoadedBeforeCreated);
    EXPECT_EQ(F->Caption(), u"More");
    EXPECT_EQ(F->ClientWidth(), 300);
    EXPECT_TRUE(F->btnGo->Default());
    auto* Label = dynamic_cast<TLabel*>(F->FindComponent(u"lblHello"));
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->FocusControl(), F->btnGo);
    EXPECT_GT(Label->Width(), 40);  // sized to its text once loaded
    EXPECT_THROW(ReadFormResource(F, "frmNowhere"), EResNotFound);
    // Enter takes the default button, Esc the cancel one; each result goes to the form.
    Headless->Key(VK_RETURN);
    EXPECT_EQ(F->ShowModal(), mrOk);
    Headless->Key(VK_ESCAPE);
    EXPECT_EQ(F->ShowModal(), mrCancel);
    F->Free();
}

TEST_F(Startup, TheMessageBoxAnswersEnterEscAndClicks) {
    Headless->Key(VK_RETURN);
    EXPECT_EQ(Application->MessageBox(u"Save the changes?", u"Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDYES);
    Headless->Key(VK_ESCAPE);
    EXPECT_EQ(Application->MessageBox(u"Save?", u"", MB_YESNOCANCEL), IDCANCEL);
    Headless->Key(VK_ESCAPE);
    EXPECT_EQ(Application->MessageBox(u"Done 完成", u"", MB_OK | MB_ICONINFORMATION), IDOK);
    ClickLater(u"QvMessageBox.btnNo");
    EXPECT_EQ(Application->MessageBox(u"Really?", u"", MB_YESNO | MB_ICONWARNING), IDNO);
    // Esc does nothing in a Yes/No box; the mnemonic answers.
    Headless->Key(VK_ESCAPE);
    Headless->KeyDown(VK_MENU);
    Headless->Key('Y');
    Headless->KeyUp(VK_MENU);
    EXPECT_EQ(Application->MessageBox(u"Really?", u"", MB_YESNO), IDYES);
    ClickLater(u"QvMessageBox.btnCancel");
    EXPECT_EQ(Application->MessageBox(u"Go on?", u"", MB_OKCANCEL | MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(Program, TheSplashCountsToOneHundredAndTheLoginButtonOpensTheMainWindow) {
    String LastSplashText;
    int LoadingFrames = 0;  // presented while the loading job runs
    Headless->OnPresent = [&](const TQvRegion&) {
        if (FlashForm == nullptr) return;
        LastSplashText = FlashForm->lblLoadingText->Caption();
        if (FlashForm->Progress() < 100) ++LoadingFrames;
    };
    bool LoginShown = false, MainShown = false;
    Headless->Delay(50);  // the login window fades in first
    Headless->Step([&] {
        LoginShown = LoginForm != nullptr && LoginForm->Showing() && LoginForm->Caption() == ApplicationTitle() &&
                     LoginForm->WindowState() == wsMaximized;
        const TPoint P = QvControlCenter(QvFindControl(u"LoginForm.btn1"));
        Headless->Click(P.X, P.Y);
        Headless->Step([&] {
            MainShown = MainForm != nullptr && Application->MainForm() == MainForm && MainForm->Showing() &&
                        IsZoomed(MainForm->Handle());
            AltF4();
        });
    });
    RunProgram();
    EXPECT_EQ(LastSplashText, u"模拟系统初始化进度...(100%)");
    EXPECT_GT(LoadingFrames, 50);
    EXPECT_TRUE(LoginShown);
    EXPECT_TRUE(LoginAllowed);
    EXPECT_TRUE(MainShown);
    ExpectAllGone();
}

TEST_F(Program, ALostDisplayEndsTheProgramAfterItsShutDownWithTheSettingsSaved) {
    // The display goes away while the main window waits for input: the wait raises, every
    // loop lets it through (none may take it for a handler's error and wait again), the
    // shut-down steps run and the exception reaches the program's main.
    Headless->Delay(50);  // the login window fades in first
    Headless->Step([&] {
        const TPoint P = QvControlCenter(QvFindControl(u"LoginForm.btn1"));
        Headless->Click(P.X, P.Y);
        Headless->Step([&] {
            ProSettings()->Page2()->SetActiveTest(true);
            throw EQvDisplayLost("the connection to the display was lost");
        });
    });
    EXPECT_THROW(RunProgram(), EQvDisplayLost);
    ExpectAllGone();
    TIniFile Saved(AppTempPath() + u"VarnothOptions.ini");
    EXPECT_TRUE(Saved.ReadBool(u"Page2", u"ActiveTest", false));
}

TEST_F(Program, ClosingTheLoginWindowOtherwiseEndsWithoutAMainWindow) {
    Headless->Step([&] { AltF4(); });
    RunProgram();
    EXPECT_FALSE(LoginAllowed);
    ExpectAllGone();
}

TEST_F(Startup, AnExceptionInAHandlerIsShownAndAFormMayFreeItselfFromItsButton) {
    ExpectExceptions = true;
    TForm* F = Create<TForm>(nullptr);
    F->SetBounds(100, 100, 300, 200);
    auto* Throw = new TButton(F);
    Throw->SetParent(F);
    Throw->OnClick = [](TObject*) { throw EQvError("the handler failed"); };
    auto* Free = new TButton(F);
    Free->SetBounds(100, 0, 75, 25);
    Free->SetParent(F);
    Free->OnClick = [F](TObject*) { F->Free(); };
    F->Show();
    ProcessMessages();
    const TQvAliveCheck Alive = F->AliveCheck();
    bool BoxShown = false;
    TPoint P = QvControlCenter(Throw);
    Headless->Click(P.X, P.Y);
    Headless->Step([&] { BoxShown = QvFindControl(u"QvMessageBox.btnOK") != nullptr; });
    Headless->Key(VK_RETURN);
    P = QvControlCenter(Free);
    Headless->Click(P.X, P.Y);
    RunScript();
    EXPECT_TRUE(BoxShown);
    ASSERT_EQ(Headless->Exceptions().size(), 1u);
    EXPECT_NE(Headless->Exceptions()[0].find("the handler failed"), std::string::npos);
    EXPECT_FALSE(Alive.Alive());
    EXPECT_EQ(Screen->FormCount(), 0);
}
