// Forms, the application object and its loops, timers and the ordered set-up.

#include <string>
#include <vector>

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvTimer.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

namespace {

class FormsTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        AppInit();
        QvSetMessageBoxHook([this](const String& Text, const String& Caption, UINT Flags) {
            Boxes.push_back(StringToUtf8(Caption + u"|" + Text));
            EXPECT_EQ(Flags, MB_OK | MB_ICONERROR);
            return IDOK;
        });
    }
    void TearDown() override {
        AppShutdown();
        QvSetMessageBoxHook({});
        TQvHeadlessTest::TearDown();
    }
    TForm* NewForm(TRect R, const String& Name) {
        TForm* F = nullptr;
        Application->CreateForm(F);
        F->SetName(Name);
        F->SetBoundsRect(R);
        return F;
    }
    std::vector<std::string> Boxes;
};

// Records what its construction steps saw.
class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {}
    static TProbeForm* Ref;
    TProbeForm* SeenRef = nullptr;
    TCustomForm* SeenMain = reinterpret_cast<TCustomForm*>(1);

protected:
    void Created() override {
        TForm::Created();
        SeenRef = Ref;
        SeenMain = Application->MainForm();
    }
};
TProbeForm* TProbeForm::Ref = nullptr;

// A windowed child that raises OnClick when clicked.
class TClicker : public TWinControl {
public:
    TClicker(TWinControl* AParent, TRect R) : TWinControl(AParent) {
        SetBoundsRect(R);
        SetParent(AParent);
    }
};

}  // namespace

TEST_F(FormsTest, CreateFormSetsRefFirstAndTheFirstFormBecomesMainOnlyAfterwards) {
    Application->Run();  // no main form: returns at once
    TDataModule* Dm = nullptr;
    Application->CreateForm(Dm);
    EXPECT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(TProbeForm::Ref);
    TProbeForm* P = TProbeForm::Ref;
    EXPECT_EQ(P->SeenRef, P);
    EXPECT_EQ(P->SeenMain, nullptr);
    EXPECT_EQ(Application->MainForm(), P);
    EXPECT_FALSE(P->Visible());
    TForm* Second = NewForm(Bounds(0, 0, 100, 100), u"Second");
    EXPECT_EQ(Application->MainForm(), P);
    EXPECT_EQ(Screen->FormCount(), 2);
    EXPECT_EQ(Screen->Forms(1), Second);
    TProbeForm::Ref = nullptr;
}

TEST_F(FormsTest, FrameStylesClientSizeLayeringAndChildForms) {
    TForm* F = NewForm(Bounds(10, 10, 300, 200), u"F");
    F->SetBorderStyle(bsDialog);
    F->SetClientWidth(250);
    F->SetClientHeight(150);
    F->SetAlphaBlend(true);
    F->SetAlphaBlendValue(128);
    F->SetFormStyle(fsStayOnTop);
    F->Show();
    const LONG_PTR Style = GetWindowLongPtr(F->Handle(), GWL_STYLE);
    const LONG_PTR Ex = GetWindowLongPtr(F->Handle(), GWL_EXSTYLE);
    EXPECT_EQ(Style & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), WS_CAPTION);
    EXPECT_TRUE(Ex & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(Ex & WS_EX_TOPMOST);
    EXPECT_EQ(F->ClientWidth(), 250);  // the frame taken off before the window existed
    EXPECT_EQ(F->ClientHeight(), 150);
    COLORREF Key = 0;
    BYTE Alpha = 0;
    DWORD Flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(F->Handle(), &Key, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 128);
    EXPECT_EQ(Flags, LWA_ALPHA);
    EXPECT_EQ(GetActiveWindow(), F->Handle());
    EXPECT_EQ(Screen->ActiveForm(), F);

    // A form inside another is a child window without a caption, and belongs to it.
    TForm* Page = NewForm(Bounds(5, 5, 100, 80), u"Page");
    Page->SetParent(F);
    Page->Show();
    EXPECT_EQ(GetWindowLongPtr(Page->Handle(), GWL_STYLE) & (WS_CHILD | WS_CAPTION), WS_CHILD);
    EXPECT_EQ(::GetParent(Page->Handle()), F->Handle());
    auto* Frame = new TFrame(Page);
    Frame->SetParent(Page);
    auto* Inner = new TClicker(Frame, Bounds(1, 1, 10, 10));
    EXPECT_EQ(GetParentForm(Inner), F);
    EXPECT_EQ(GetParentForm(nullptr), nullptr);
}

TEST_F(FormsTest, PositionCentresByTruncatingHalvesInsideTheDesktop) {
    TForm* Main = NewForm(Bounds(10, 20, 400, 300), u"Main");
    Main->Show();
    TForm* D = NewForm(Bounds(0, 0, 201, 101), u"D");
    D->SetPosition(poMainFormCenter);
    D->Show();
    EXPECT_EQ(D->BoundsRect(), Bounds(10 + 99, 20 + 99, 201, 101));
    D->Hide();
    D->SetPosition(poScreenCenter);
    D->SetWidth(301);
    D->Show();
    EXPECT_EQ(D->BoundsRect(), Bounds((1920 - 301) / 2, (1080 - 101) / 2, 301, 101));
    D->Hide();
    // Owned by a form: centred on it; wider than the main form at the corner: kept at 0.
    Main->SetBounds(0, 0, 200, 200);
    auto* Owned = Create<TForm>(Main);
    Owned->SetBounds(0, 0, 301, 51);
    Owned->SetPosition(poOwnerFormCenter);
    Owned->Show();
    EXPECT_EQ(Owned->BoundsRect(), Bounds(0, (200 - 51) / 2, 301, 51));
}

TEST_F(FormsTest, CloseActionsAndTheMainFormEndingRun) {
    TForm* Main = NewForm(Bounds(0, 0, 400, 300), u"Main");
    TForm* F = NewForm(Bounds(50, 50, 200, 100), u"F");
    F->Show();
    TCloseAction Next = caNone;
    bool Allow = false;
    std::vector<std::string> Log;
    F->OnCloseQuery = [&](TObject*, bool& CanClose) {
        Log.push_back("query");
        CanClose = Allow;
    };
    F->OnClose = [&](TObject*, TCloseAction& A) {
        EXPECT_EQ(A, caHide);
        A = Next;
    };
    F->OnHide = [&](TObject*) { Log.push_back("hide"); };
    TWindowState Resized = wsNormal;
    F->OnResize = [&](TObject*) { Resized = F->WindowState(); };
    F->Close();  // refused
    SendMessage(F->Handle(), WM_CLOSE, 0, 0);
    Allow = true;
    F->Close();  // caNone
    EXPECT_TRUE(F->Visible());
    Next = caMinimize;
    F->Close();
    EXPECT_EQ(F->WindowState(), wsMinimized);
    EXPECT_TRUE(IsIconic(F->Handle()));
    EXPECT_EQ(Resized, wsMinimized);  // OnResize already sees the new state
    Next = caHide;
    F->Close();
    EXPECT_FALSE(F->Visible());
    EXPECT_EQ(Log, (std::vector<std::string>{"query", "query", "query", "query", "query", "hide"}));
    Next = caFree;
    const TQvAliveCheck Alive = F->AliveCheck();
    F->Close();
    EXPECT_TRUE(Alive.Alive());  // freed only when the post arrives
    Application->ProcessMessages();
    EXPECT_FALSE(Alive.Alive());
    EXPECT_EQ(Screen->FormCount(), 1);

    // Closing the main form (by the window manager) ends Run; the form stays.
    Headless->Step([&] {
        EXPECT_TRUE(Main->Visible());
        SendMessage(Main->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Application->MainForm(), Main);
}

TEST_F(FormsTest, ReleaseOfAFormAlreadyFreedDropsThePost) {
    TForm* F = NewForm(Bounds(0, 0, 100, 100), u"F");
    TForm* G = NewForm(Bounds(0, 0, 100, 100), u"G");
    F->Release();
    G->Release();
    const TQvAliveCheck GAlive = G->AliveCheck();
    F->Free();
    Application->ProcessMessages();  // F's post went with it; G's frees G
    EXPECT_FALSE(GAlive.Alive());
    EXPECT_EQ(Screen->FormCount(), 0);
}

// A component that, like a form's skin, reaches back into its owning form as it dies.
class TReachesBack : public TComponent {
public:
    explicit TReachesBack(TCustomForm* Form) : TComponent(Form), F(Form) {}
    ~TReachesBack() override {
        SawWindow = F->HandleAllocated() && IsWindow(F->Handle());
        for (int I = 0; I < Screen->FormCount(); ++I) SawListed |= Screen->Forms(I) == F;
    }
    TCustomForm* F;
    static inline bool SawWindow = false, SawListed = false;
};

TEST_F(FormsTest, AFormDeletedWithoutFreeFreesItsComponentsWhileItIsWhole) {
    TForm* F = NewForm(Bounds(0, 0, 100, 100), u"F");
    F->HandleNeeded();
    new TReachesBack(F);
    delete F;
    EXPECT_TRUE(TReachesBack::SawWindow);
    EXPECT_TRUE(TReachesBack::SawListed);
}

TEST_F(FormsTest, ExceptionInAClickIsShownAndAFormFreedByItsOwnButtonIsSafe) {
    Application->SetTitle(u"Varnoth");
    TForm* Main = NewForm(Bounds(0, 0, 400, 300), u"Main");
    Main->Show();
    TForm* F = NewForm(Bounds(100, 100, 200, 150), u"F");
    F->SetBorderStyle(bsNone);
    F->Show();
    auto* Bad = new TClicker(F, Bounds(10, 10, 40, 20));
    Bad->OnClick = [](TObject*) { throw EQvError(u"Boom"); };
    auto* Quit = new TClicker(F, Bounds(10, 50, 40, 20));
    Quit->OnClick = [&](TObject*) {
        F->OnClose = [](TObject*, TCloseAction& A) { A = caFree; };
        F->Close();
    };
    Application->ProcessMessages();
    const TQvAliveCheck Alive = F->AliveCheck();
    Headless->Click(120, 120);
    Headless->Delay(1000);      // not a double click
    Headless->Click(120, 120);  // the loop went on
    Headless->Click(120, 160);
    RunScript();
    EXPECT_EQ(Boxes, (std::vector<std::string>{"Varnoth|Boom", "Varnoth|Boom"}));
    EXPECT_FALSE(Alive.Alive());
    // OnException takes over; EAbort stays silent.
    std::vector<std::string> Seen;
    Application->OnException = [&](TObject*, std::exception_ptr E) {
        Seen.push_back(StringToUtf8(ExceptionText(E)));
    };
    Application->HandleException(Application, std::make_exception_ptr(EQvError(u"Other")));
    Application->HandleException(Application, std::make_exception_ptr(EAbort(u"Operation aborted")));
    EXPECT_EQ(Seen, std::vector<std::string>{"Other"});
    EXPECT_EQ(Boxes.size(), 2u);
    Application->OnException = [](TObject*, std::exception_ptr) { throw EQvError(u"Handler"); };
    Application->HandleException(Application, std::make_exception_ptr(EQvError(u"Other")));
    EXPECT_EQ(Boxes.back(), "Varnoth|Handler");
}

TEST_F(FormsTest, ModalLoopsNestReuseTheirDialogAndRestoreTheWindows) {
    TForm* Main = NewForm(Bounds(0, 0, 400, 300), u"Main");
    Main->Show();
    TForm* A = NewForm(Bounds(10, 10, 200, 150), u"A");
    TForm* B = NewForm(Bounds(20, 20, 100, 80), u"B");
    int Refusals = 1;
    A->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = Refusals-- <= 0; };
    TModalResult RB = mrNone;
    Headless->Step([&] {
        EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
        EXPECT_TRUE(A->Modal());
        EXPECT_EQ(QvDescribeTopLevel(A->Handle()).ModalFor, Main->Handle());
        RB = B->ShowModal();
        EXPECT_FALSE(IsWindowEnabled(Main->Handle()));  // still inside A's loop
        EXPECT_TRUE(IsWindowEnabled(A->Handle()));
        A->SetModalResult(mrOk);  // refused once by the query: the loop goes on
    });
    Headless->Step([&] {
        EXPECT_FALSE(IsWindowEnabled(A->Handle()));
        EXPECT_EQ(GetActiveWindow(), B->Handle());
        EXPECT_EQ(QvDescribeTopLevel(B->Handle()).ModalFor, A->Handle());
        B->SetModalResult(mrYes);
    });
    Headless->Step([&] {
        EXPECT_EQ(A->ModalResult(), mrNone);
        EXPECT_TRUE(A->Visible());
        A->SetModalResult(mrOk);
    });
    EXPECT_EQ(A->ShowModal(), mrOk);
    EXPECT_EQ(RB, mrYes);
    EXPECT_FALSE(A->Visible());
    EXPECT_FALSE(B->Visible());
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_EQ(GetActiveWindow(), Main->Handle());

    // Reused: the old result does not end the new loop; Close is a cancel.
    Headless->Step([&] {
        EXPECT_EQ(A->ModalResult(), mrNone);
        A->Close();
    });
    EXPECT_EQ(A->ShowModal(), mrCancel);
    A->Show();
    EXPECT_EQ(QvDescribeTopLevel(A->Handle()).ModalFor, nullptr);  // shown again, no loop
    EXPECT_THROW(
        {
            try {
                A->ShowModal();
            } catch (const EInvalidOperation& E) {
                EXPECT_STREQ(E.what(), "Cannot make a visible window modal");
                throw;
            }
        },
        EInvalidOperation);
}

TEST_F(FormsTest, ModalLoopsEndOnTerminateAndWhenTheirFormIsFreed) {
    TForm* Main = NewForm(Bounds(0, 0, 400, 300), u"Main");
    Main->Show();
    TForm* D = NewForm(Bounds(10, 10, 100, 80), u"D");
    // Closed with caFree inside the loop: freed after ShowModal returned.
    D->OnClose = [](TObject*, TCloseAction& A) { A = caFree; };
    Headless->Step([&] { D->SetModalResult(mrRetry); });
    const TQvAliveCheck DAlive = D->AliveCheck();
    EXPECT_EQ(D->ShowModal(), mrRetry);
    EXPECT_TRUE(DAlive.Alive());
    Application->ProcessMessages();
    EXPECT_FALSE(DAlive.Alive());

    // Freed from inside: the loop ends cleanly and the other windows come back.
    TForm* E = NewForm(Bounds(10, 10, 100, 80), u"E");
    Headless->Step([&] { E->Free(); });
    EXPECT_EQ(E->ShowModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));

    TForm* T = NewForm(Bounds(10, 10, 100, 80), u"T");
    Headless->Step([&] { Application->Terminate(); });
    EXPECT_EQ(T->ShowModal(), mrCancel);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_EQ(T->ShowModal(), mrCancel);  // after Terminate: at once, without waiting
}

TEST_F(FormsTest, TimerRunsOnlyWithAHandlerAndIdleRunsWhenTheQueueIsEmpty) {
    auto* T = new TTimer(Application);
    EXPECT_EQ(T->Interval(), 1000u);
    EXPECT_TRUE(T->Enabled());
    EXPECT_FALSE(T->Running());
    int Ticks = 0, Idles = 0;
    T->SetOnTimer([&](TObject*) {
        if (++Ticks == 2) Application->Terminate();
    });
    EXPECT_TRUE(T->Running());
    Application->OnIdle = [&](TObject*, bool&) { ++Idles; };
    while (!Application->Terminated()) Application->HandleMessage();
    EXPECT_EQ(Ticks, 2);
    EXPECT_GE(Idles, 2);
    T->SetEnabled(false);
    EXPECT_FALSE(T->Running());
}

TEST_F(FormsTest, InitStepsRunInOrderAndShutdownFreesFormsFirst) {
    std::vector<std::string> Log;
    QvRegisterInitStep(
        ioMenuHook, u"test.b", [&] { Log.push_back("init b"); }, [&] { Log.push_back("down b"); });
    QvRegisterInitStep(
        ioSkinImages, u"test.a", [&] { Log.push_back("init a"); }, [&] { Log.push_back("down a"); });
    AppShutdown();
    AppInit();
    TForm* F = NewForm(Bounds(0, 0, 10, 10), u"F");
    F->OnDestroy = [&](TObject*) { Log.push_back("form"); };
    auto* Loose = Create<TForm>(nullptr);  // not owned by the application: freed too
    Loose->OnDestroy = [&](TObject*) { Log.push_back("loose"); };
    AppShutdown();
    QvUnregisterInitStep(u"test.a");
    QvUnregisterInitStep(u"test.b");
    EXPECT_EQ(Log, (std::vector<std::string>{"init a", "init b", "loose", "form", "down b", "down a"}));
    AppInit();
}

TEST_F(FormsTest, StoredFormLayoutAndApplicationWindowHooks) {
    auto* F = new TForm(nullptr);
    ReadComponentText(F,
                      u"object frmDlg: TForm\n"
                      u"  Left = 0\n  Top = 0\n  Width = 10\n  Height = 10\n"
                      u"  BorderStyle = bsToolWindow\n  Caption = 'Dialog'\n"
                      u"  ClientHeight = 120\n  ClientWidth = 200\n"
                      u"  Position = poScreenCenter\n  KeyPreview = True\n"
                      u"  object Tick: TTimer\n    Interval = 250\n  end\n"
                      u"end\n");
    EXPECT_EQ(F->BorderStyle(), bsToolWindow);
    EXPECT_EQ(F->Position(), poScreenCenter);
    EXPECT_TRUE(F->KeyPreview());
    EXPECT_EQ(static_cast<TTimer*>(F->FindComponent(u"Tick"))->Interval(), 250u);
    F->Show();
    EXPECT_EQ(F->ClientWidth(), 200);
    EXPECT_EQ(F->ClientHeight(), 120);
    EXPECT_TRUE(GetWindowLongPtr(F->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowTextString(F->Handle()), u"Dialog");
    const String Text = WriteComponentText(F);
    EXPECT_NE(Text.find(u"BorderStyle = bsToolWindow"), String::npos);
    EXPECT_EQ(Text.find(u"FormStyle"), String::npos);  // defaults are not written

    // Restore reaches the hooks as a no-size, no-move, no-activate position change.
    std::vector<UINT> Flags;
    const int Id = Application->HookMainWindow([&](TMessage& M) {
        if (M.Msg == WM_WINDOWPOSCHANGING) Flags.push_back(reinterpret_cast<WINDOWPOS*>(M.LParam)->flags);
        return false;
    });
    Application->Minimize();
    EXPECT_TRUE(Application->Minimized());
    Application->Restore();
    Application->UnhookMainWindow(Id);
    Application->Minimize();
    Application->Restore();
    EXPECT_EQ(Flags, std::vector<UINT>{0x13});
    // A hook unhooked by a newer one while a message goes round is not called for it.
    bool OldCalled = false;
    const int Old = Application->HookMainWindow([&](TMessage&) { return OldCalled = true; });
    Application->HookMainWindow([&](TMessage&) {
        Application->UnhookMainWindow(Old);
        return false;
    });
    SendMessage(Application->Handle(), WM_NULL, 0, 0);
    EXPECT_FALSE(OldCalled);
    F->Free();
}

namespace {

// Wants no owner window whatever its popup settings say.
class TUnownedForm : public TForm {
public:
    explicit TUnownedForm(TComponent* AOwner) : TForm(AOwner) {}

protected:
    void CreateParams(TCreateParams& Params) override {
        TForm::CreateParams(Params);
        Params.WndParent = nullptr;
    }
};

HWND OwnerOf(TWinControl* C) {
    return reinterpret_cast<HWND>(GetWindowLongPtr(C->Handle(), GWLP_HWNDPARENT));
}

}  // namespace

TEST_F(FormsTest, OwnerWindowFollowsPopupSettingsAndSurvivesItsPopupParent) {
    Application->SetMainFormOnTaskBar(true);
    std::vector<TCustomForm*> Actives;
    Screen->OnActiveFormChange = [&](TObject*) { Actives.push_back(Screen->ActiveForm()); };
    TForm* Early = Create<TForm>(Application);  // before any main form
    EXPECT_EQ(OwnerOf(Early), Application->Handle());
    TForm* Main = NewForm(Bounds(0, 0, 400, 300), u"Main");
    Main->Show();
    EXPECT_EQ(OwnerOf(Main), nullptr);
    TForm* A = NewForm(Bounds(10, 10, 100, 100), u"A");
    TForm* B = NewForm(Bounds(20, 20, 100, 100), u"B");
    EXPECT_EQ(OwnerOf(B), Main->Handle());
    B->SetPopupParent(A);  // re-owns the window it already has
    EXPECT_EQ(B->PopupMode(), pmExplicit);
    EXPECT_EQ(OwnerOf(B), A->Handle());
    B->SetPopupMode(pmAuto);
    EXPECT_EQ(OwnerOf(B), Main->Handle());
    B->SetPopupMode(pmExplicit);
    EXPECT_THROW(A->SetPopupParent(B), EInvalidOperation);
    B->Show();
    EXPECT_EQ(Actives, (std::vector<TCustomForm*>{Main, B}));
    Screen->OnActiveFormChange = nullptr;
    const HWND BWnd = B->Handle();
    const HWND AWnd = A->Handle();
    Main->SetBorderStyle(bsSingle);  // a new window: A's stays and is owned by it
    EXPECT_TRUE(IsWindow(AWnd));
    EXPECT_EQ(OwnerOf(A), Main->Handle());
    EXPECT_EQ(OwnerOf(B), A->Handle());  // re-owning A kept what A owns
    // Freeing A would have taken B's window with it.
    A->Free();
    EXPECT_EQ(B->PopupParent(), nullptr);
    EXPECT_TRUE(IsWindow(BWnd));
    EXPECT_EQ(OwnerOf(B), Main->Handle());
    auto* U = Create<TUnownedForm>(Application);
    U->SetPopupParent(B);
    EXPECT_EQ(OwnerOf(U), nullptr);
}

TEST_F(FormsTest, StoredLayoutsScaleToTheirMonitorAndFollowDpiChanges) {
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144},
                           TQvMonitorDesc{Rect(2880, 0, 4800, 1080), Rect(2880, 0, 4800, 1040), 96}});
    ASSERT_EQ(Screen->MonitorCount(), 2);
    TMonitor* Second = Screen->Monitors(1);
    EXPECT_TRUE(Screen->Monitors(0)->Primary());
    EXPECT_FALSE(Second->Primary());
    EXPECT_EQ(Second->WorkareaRect(), Rect(2880, 0, 4800, 1040));
    EXPECT_EQ(Screen->MonitorFromPoint(TPoint{9000, -50}), Second);  // the nearest
    EXPECT_EQ(Screen->MonitorFromRect(Rect(2000, 0, 3100, 10)), Screen->Monitors(0));
    EXPECT_EQ(Screen->Width(), 2880);
    EXPECT_EQ(Screen->PixelsPerInch(), 144);

    const String Layout =
        u"object frmScaled: TForm\n"
        u"  Left = 10\n  Top = 10\n  Width = 400\n  Height = 300\n  Font.Height = -12\n"
        u"  object Ok: TCustomControl\n"
        u"    Left = 200\n    Top = 150\n    Width = 76\n    Height = 26\n"
        u"    Anchors = [akRight, akBottom]\n"
        u"  end\n"
        u"end\n";
    auto* F = Create<TForm>(Application);
    ReadComponentText(F, Layout);
    auto* Ok = static_cast<TControl*>(F->FindComponent(u"Ok"));
    // L' = MulDiv(L, 3, 2), W' = MulDiv(L + W, 3, 2) - L'; the anchored button is not
    // moved a second time by the form's own growth.
    EXPECT_EQ(F->BoundsRect(), Bounds(15, 15, 600, 450));
    EXPECT_EQ(Ok->BoundsRect(), Rect(300, 225, 414, 264));
    EXPECT_EQ(F->Font()->Height(), -18);
    EXPECT_EQ(F->PixelsPerInch(), 144);
    EXPECT_NE(WriteComponentText(F).find(u"PixelsPerInch = 144"), String::npos);
    const int Gap = F->ClientWidth() - Ok->BoundsRect().Right;
    F->Show();
    F->SetWidth(630);  // the anchors hold at the new size
    EXPECT_EQ(F->ClientWidth() - Ok->BoundsRect().Right, Gap);

    // Moved onto the 96 dpi monitor: placed where suggested and scaled back.
    std::vector<int> Seen;
    F->OnDPIChanged = [&](TObject*, int PPI) { Seen.push_back(PPI); };
    F->SetBounds(3000, 100, 630, 450);
    EXPECT_EQ(Seen, std::vector<int>{96});
    EXPECT_EQ(F->BoundsRect(), Bounds(3000, 100, 420, 300));
    EXPECT_EQ(Ok->Width(), 76);
    EXPECT_EQ(F->Monitor(), Second);
    EXPECT_EQ(F->Monitor()->PixelsPerInch(), 96);

    // Not scaled, or read at the dpi it is shown at: left alone.
    auto* G = Create<TForm>(Application);
    ReadComponentText(G, u"object G: TForm\n  Left = 10\n  Width = 400\n  Scaled = False\nend\n");
    auto* H = Create<TForm>(Application);
    ReadComponentText(H, u"object H: TForm\n  Left = 10\n  Width = 400\n  PixelsPerInch = 144\nend\n");
    EXPECT_EQ(G->BoundsRect().Width(), 400);
    EXPECT_EQ(H->BoundsRect().Width(), 400);
    EXPECT_EQ(H->PixelsPerInch(), 144);

    // Centred on the screen of the main form's monitor.
    TForm* Main = NewForm(Bounds(3000, 0, 400, 300), u"Main");
    Main->Show();
    TForm* D = NewForm(Bounds(0, 0, 200, 100), u"D");
    D->SetPosition(poScreenCenter);
    D->Show();
    EXPECT_EQ(D->BoundsRect(), Bounds(2880 + (1920 - 200) / 2, (1080 - 100) / 2, 200, 100));
}

TEST_F(FormsTest, MaximizeRestoreAndMinimizeReachOnResizeAndTheApplication) {
    TForm* Main = NewForm(Bounds(10, 10, 400, 300), u"Main");
    Main->Show();
    std::vector<TWindowState> States;
    Main->OnResize = [&](TObject*) { States.push_back(Main->WindowState()); };
    int Minimized = 0, Restored = 0;
    Application->OnMinimize = [&](TObject*) { ++Minimized; };
    Application->OnRestore = [&](TObject*) { ++Restored; };
    SendMessage(Main->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(Main->Handle()));
    SendMessage(Main->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Main->BoundsRect(), Bounds(10, 10, 400, 300));
    // Minimized by the window manager: the application knows, and Restore brings it back.
    SendMessage(Main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(Application->Minimized());
    Application->Restore();
    EXPECT_FALSE(IsIconic(Main->Handle()));
    EXPECT_FALSE(Application->Minimized());
    Application->Minimize();
    EXPECT_TRUE(IsIconic(Main->Handle()));
    EXPECT_EQ(Minimized, 2);
    EXPECT_EQ(Restored, 1);
    EXPECT_EQ(States, (std::vector<TWindowState>{wsMaximized, wsNormal, wsMinimized, wsNormal, wsMinimized}));
}
