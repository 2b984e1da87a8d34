#include "framework/uQvApplication.h"

#include <algorithm>
#include <utility>

#include "framework/uQvDialogs.h"
#include "framework/uQvHintCycle.h"
#include "platform/uQvBackend.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

TQvMessageBoxHook& MessageBoxHook() {
    static TQvMessageBoxHook Hook;
    return Hook;
}

constexpr Char AppWindowClass[] = u"TApplication";

}  // namespace

void Abort() {
    throw EAbort(u"Operation aborted");
}

void QvSetMessageBoxHook(TQvMessageBoxHook Hook) {
    MessageBoxHook() = std::move(Hook);
}

String ExceptionText(std::exception_ptr E) {
    try {
        std::rethrow_exception(E);
    } catch (const std::exception& X) {
        return Utf8ToString(X.what());
    } catch (...) {
        return u"unknown exception";
    }
}

// ---- TApplication ---------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    if (!GetClassInfo(nullptr, AppWindowClass, nullptr)) {
        WNDCLASS C;
        C.lpfnWndProc = DefWindowProc;
        C.lpszClassName = AppWindowClass;
        RegisterClass(&C);
    }
    QvCreateWindowWithMethod(
        0, AppWindowClass, FTitle.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
        [this](TMessage& M) { WndProc(M); }, &FHandle);
    QvSetExceptionHandler([this](std::exception_ptr E) { HandleException(this, E); });
    FHintCycle = std::make_unique<TQvHintCycle>(this);
    NewHintWindow();
}

TApplication::~TApplication() {
    QvSetExceptionHandler({});
    CancelHint();
    // Forms go before the window that owns theirs.
    DestroyComponents();
    FHintCycle.reset();
    if (FHandle != nullptr) {
        const HWND H = FHandle;
        FHooks.clear();
        DestroyWindow(H);
        FHandle = nullptr;
    }
}

void TApplication::SetTitle(const String& Value) {
    if (FTitle == Value) return;
    FTitle = Value;
    if (FHandle != nullptr) SetWindowText(FHandle, FTitle.c_str());
}

void TApplication::FormCreated(TComponent* Instance) {
    if (FMainForm == nullptr)
        if (auto* F = dynamic_cast<TForm*>(Instance)) {
            FMainForm = F;
            // Told when it dies, however it is freed.
            FreeNotification(F);
            // A window made in OnCreate was owned as any form's before it was the main one.
            F->UpdateOwnerWindow();
        }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FHintWindow) FHintWindow = nullptr;
    if (Operation != opRemove || AComponent != FMainForm) return;
    FMainForm = nullptr;
    // A running program whose main form is gone has nothing left to show.
    if (FRunning) Terminate();
}

void TApplication::Run() {
    if (FMainForm == nullptr) return;
    FRunning = true;
    try {
        if (FShowMainForm) FMainForm->Show();
        while (!FTerminated) HandleMessage();
    } catch (...) {
        FRunning = false;
        throw;
    }
    FRunning = false;
}

bool TApplication::ProcessMessage() {
    MSG M;
    if (!PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) return false;
    if (M.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    TranslateMessage(&M);
    DispatchMessage(&M);
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) Idle();
}

void TApplication::Idle() {
    // The pointer may have left our windows without a message saying so (a pointer that
    // cannot be read changes nothing).
    if (POINT P; GetCursorPos(&P)) {
        TControl* UnderMouse = FindDragTarget(P, false);
        QvSetMouseControl(UnderMouse);
        if (FHintCycle) FHintCycle->Idle(UnderMouse);
    }
    bool Done = true;
    try {
        if (OnIdle) OnIdle(this, Done);
    } catch (const EQvStalled&) {
        throw;
    } catch (...) {
        HandleException(this, std::current_exception());
    }
    if (Done) WaitMessage();
}

void TApplication::Terminate() {
    if (FTerminated) return;
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::HandleException(TObject* Sender, std::exception_ptr E) {
    try {
        std::rethrow_exception(E);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    if (!OnException) {
        ShowException(E);
        return;
    }
    // A failing handler must not take the loop down with it: its own error is shown.
    try {
        OnException(Sender, E);
    } catch (const EQvStalled&) {
        throw;
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TApplication::ShowException(std::exception_ptr E) {
    const String Text = ExceptionText(E);
    // Without a hook the backend keeps a record too (headless tests fail on it).
    if (!MessageBoxHook()) QvBackend().ReportException(StringToUtf8(FTitle + u": " + Text));
    MessageBox(Text, FTitle, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
    const String Title = Caption.empty() ? FTitle : Caption;
    if (const TQvMessageBoxHook Hook = MessageBoxHook()) return Hook(Text, Title, Flags);
    return PlainMessageBox(Text, Title, Flags);
}

void TApplication::Minimize() {
    if (FMinimized) return;
    FMinimized = true;
    if (FMainForm != nullptr && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
    if (!FMinimized) return;
    FMinimized = false;
    // The form skin's hook on this window takes exactly these flags for "restore".
    if (FHandle != nullptr)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (FMainForm != nullptr && FMainForm->HandleAllocated() && IsIconic(FMainForm->Handle()))
        ShowWindow(FMainForm->Handle(), SW_RESTORE);
    if (OnRestore) OnRestore(this);
}

void TApplication::MainFormMinimized(bool Minimized) {
    if (FMinimized == Minimized) return;
    FMinimized = Minimized;
    const TNotifyEvent& Event = Minimized ? OnMinimize : OnRestore;
    if (Event) Event(this);
}

void TApplication::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    CancelHint();
    delete std::exchange(FHintWindow, nullptr);
    if (Value) NewHintWindow();
}

void TApplication::SetHintWindowClass(THintWindowClass Value) {
    if (Value == nullptr) return;
    FHintWindowClass = Value;
    CancelHint();
    delete std::exchange(FHintWindow, nullptr);
    if (FShowHint) NewHintWindow();
}

void TApplication::NewHintWindow() {
    FHintWindow = FHintWindowClass(this);
    FreeNotification(FHintWindow);
}

void TApplication::CancelHint() {
    if (FHintCycle) FHintCycle->Cancel();
}

int TApplication::HookMainWindow(TWindowHook Hook) {
    const int Id = FNextHookId++;
    FHooks.emplace_back(Id, std::move(Hook));
    return Id;
}

void TApplication::UnhookMainWindow(int Id) {
    FHooks.erase(std::remove_if(FHooks.begin(), FHooks.end(), [Id](const auto& H) { return H.first == Id; }),
                 FHooks.end());
}

void TApplication::WndProc(TMessage& M) {
    // A hook may unhook itself or others: run over a copy, newest first, skipping those
    // unhooked meanwhile (their owners may be gone).
    const auto Hooks = FHooks;
    for (auto It = Hooks.rbegin(); It != Hooks.rend(); ++It) {
        const int Id = It->first;
        if (std::none_of(FHooks.begin(), FHooks.end(), [Id](const auto& H) { return H.first == Id; }))
            continue;
        if (It->second(M)) return;
    }
    if (M.Msg == WM_CLOSE) {
        if (FMainForm != nullptr) FMainForm->Close();
        return;
    }
    M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
}

// ---- TScreen --------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) RaiseListIndexError(Index);
    return FForms[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) SetActiveForm(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (FActiveForm == Form) return;
    FActiveForm = Form;
    if (OnActiveFormChange) OnActiveFormChange(this);
}

TWinControl* TScreen::ActiveControl() const {
    return FActiveForm != nullptr ? FActiveForm->ActiveControl() : nullptr;
}

namespace {

MONITORINFO PrimaryInfo() {
    MONITORINFO Info;
    GetMonitorInfo(QvMonitorAt(0), &Info);
    return Info;
}

}  // namespace

int TScreen::Width() const {
    return PrimaryInfo().rcMonitor.Width();
}

int TScreen::Height() const {
    return PrimaryInfo().rcMonitor.Height();
}

TRect TScreen::WorkAreaRect() const {
    return PrimaryInfo().rcWork;
}

int TScreen::PixelsPerInch() const {
    UINT X = 96, Y = 96;
    GetDpiForMonitor(QvMonitorAt(0), 0, &X, &Y);
    return static_cast<int>(Y);
}

int TScreen::MonitorCount() const {
    return QvMonitorCount();
}

TMonitor* TScreen::Monitors(int Index) const {
    if (Index < 0 || Index >= MonitorCount()) RaiseListIndexError(Index);
    return MonitorOf(QvMonitorAt(Index));
}

TMonitor* TScreen::MonitorOf(HMONITOR Handle) const {
    for (const auto& M : FMonitors)
        if (M->Handle() == Handle) return M.get();
    FMonitors.push_back(std::make_unique<TMonitor>(Handle));
    return FMonitors.back().get();
}

TMonitor* TScreen::MonitorFromWindow(HWND Wnd) const {
    return MonitorOf(::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST));
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point) const {
    return MonitorOf(::MonitorFromPoint(Point, MONITOR_DEFAULTTONEAREST));
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect) const {
    const RECT R = Rect;
    return MonitorOf(::MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST));
}

// ---- TMonitor -------------------------------------------------------------------------

namespace {

MONITORINFO InfoOf(HMONITOR M) {
    MONITORINFO Info{};
    GetMonitorInfo(M, &Info);
    return Info;
}

}  // namespace

int TMonitor::MonitorNum() const {
    for (int I = 0; I < QvMonitorCount(); ++I)
        if (QvMonitorAt(I) == FHandle) return I;
    return -1;
}

TRect TMonitor::BoundsRect() const {
    return InfoOf(FHandle).rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
    return InfoOf(FHandle).rcWork;
}

int TMonitor::PixelsPerInch() const {
    UINT X = USER_DEFAULT_SCREEN_DPI, Y = USER_DEFAULT_SCREEN_DPI;
    GetDpiForMonitor(FHandle, MDT_EFFECTIVE_DPI, &X, &Y);
    return static_cast<int>(Y);
}

bool TMonitor::Primary() const {
    return (InfoOf(FHandle).dwFlags & MONITORINFOF_PRIMARY) != 0;
}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    if (Value != crDefault) {
        ::SetCursor(CursorHandle(Value));
        return;
    }
    // Back to what the window under the pointer shows, not always the arrow.
    POINT P;
    const HWND H = GetCursorPos(&P) ? WindowFromPoint(P) : nullptr;
    if (H == nullptr) {
        ::SetCursor(CursorHandle(crArrow));
        return;
    }
    const LRESULT Hit = SendMessage(H, WM_NCHITTEST, 0, MAKELPARAM(P.X, P.Y));
    SendMessage(H, WM_SETCURSOR, reinterpret_cast<WPARAM>(H), MAKELPARAM(static_cast<int>(Hit), WM_MOUSEMOVE));
}
