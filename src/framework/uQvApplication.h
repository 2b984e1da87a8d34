#pragma once
// The application object and the screen. TApplication runs the message loop (Run,
// HandleMessage with idle processing, ProcessMessages), makes the forms (CreateForm; the
// first form becomes the main form), keeps a hidden window that owns the forms, and shows
// exceptions caught at dispatch. TScreen knows the forms, the active one, the primary
// monitor and the cursor override. AppInit makes the one Application and Screen.

#include <exception>
#include <memory>
#include <vector>

#include "framework/uQvForms.h"
#include "framework/uQvHints.h"

class TQvHintCycle;

// Silent: HandleException shows nothing for it.
class EAbort : public EQvError {
public:
    using EQvError::EQvError;
};
// Raises EAbort "Operation aborted".
[[noreturn]] void Abort();

// Message box flags and answers.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows a message box and returns the answer. Without a hook the plain message box of
// uQvDialogs shows; the skinned message box hooks itself in.
using TQvMessageBoxHook = std::function<int(const String& Text, const String& Caption, UINT Flags)>;
// An empty hook restores the default.
void QvSetMessageBoxHook(TQvMessageBoxHook Hook);

using TExceptionEvent = std::function<void(TObject* Sender, std::exception_ptr E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
// Sees a message of the application window before it does; true when handled.
using TWindowHook = std::function<bool(TMessage& Message)>;
// Last word before a hint shows: may change the text or the info, or clear CanShow.
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The text of an exception ("unknown exception" for one that is not a std::exception).
String ExceptionText(std::exception_ptr E);

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value);
    bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool Value) { FMainFormOnTaskBar = Value; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    // The hidden window that owns the forms; never shown.
    HWND Handle() const { return FHandle; }

    // Makes a T owned by the application: Ref is set before AfterConstruction (OnCreate),
    // and the first form made becomes MainForm once that returned.
    template <typename T>
    void CreateForm(T*& Ref) {
        T* Instance = new T(this);
        Ref = Instance;
        try {
            Instance->AfterConstruction();
        } catch (...) {
            Ref = nullptr;
            Instance->Free();
            throw;
        }
        FormCreated(Instance);
    }
    TCustomForm* MainForm() const { return FMainForm; }

    // Shows the main form and dispatches until Terminated; returns at once without one.
    void Run();
    // Dispatches every pending message; never waits.
    void ProcessMessages();
    // Dispatches one message, or runs idle processing and waits when there is none.
    void HandleMessage();
    // Posts WM_QUIT; Terminated is true from now on.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // EAbort is silent; others go to OnException, else to the message box with the text
    // and the title. Installed as the handler of exceptions caught at dispatch.
    void HandleException(TObject* Sender, std::exception_ptr E);
    void ShowException(std::exception_ptr E);
    // The message box hook with Caption (the title when empty).
    int MessageBox(const String& Text, const String& Caption, UINT Flags);

    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }
    // Hooks run newest first; the id returned unhooks.
    int HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(int Id);

    // ---- Hints ----
    // Off: no hints, and the hint window is freed.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    THintWindowClass HintWindowClass() const { return FHintWindowClass; }
    // Replaces the hint window at once by a new one of that class, owned by the application.
    void SetHintWindowClass(THintWindowClass Value);
    // The hint window; nullptr while hints are off.
    THintWindow* HintWindow() const { return FHintWindow; }
    void CancelHint();
    // Null only while the application is being freed.
    TQvHintCycle* HintCycle() const { return FHintCycle.get(); }
    TShowHintEvent OnShowHint;

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    // The main form was minimized or restored, by Minimize/Restore or by other means.
    void MainFormMinimized(bool Minimized);
    void FormCreated(TComponent* Instance);
    bool ProcessMessage();
    void Idle();
    void WndProc(TMessage& Message);
    void NewHintWindow();

    String FTitle;
    bool FMainFormOnTaskBar = false;
    bool FShowMainForm = true;
    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
    bool FMinimized = false;
    int FNextHookId = 1;
    std::vector<std::pair<int, TWindowHook>> FHooks;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    int FHintShortPause = 50;
    THintWindowClass FHintWindowClass = &CreateHintWindow<THintWindow>;
    THintWindow* FHintWindow = nullptr;
    std::unique_ptr<TQvHintCycle> FHintCycle;
};

// One monitor of the virtual screen. Its values are read when asked, so they follow changes
// of the screen; the object lives as long as the Screen.
class TMonitor {
public:
    explicit TMonitor(HMONITOR AHandle) : FHandle(AHandle) {}
    HMONITOR Handle() const { return FHandle; }
    // Its place in Screen->Monitors (the primary is 0); -1 once it is gone.
    int MonitorNum() const;
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }
    int PixelsPerInch() const;
    bool Primary() const;

private:
    HMONITOR FHandle;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // Every form, in creation order.
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const;
    // The primary monitor.
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int PixelsPerInch() const;
    // Every monitor, the primary first.
    int MonitorCount() const;
    TMonitor* Monitors(int Index) const;
    // The monitor holding the window (top-level window), the point or most of the
    // rectangle; the nearest one when none does.
    TMonitor* MonitorFromWindow(HWND Wnd) const;
    TMonitor* MonitorFromPoint(TPoint Point) const;
    TMonitor* MonitorFromRect(const TRect& Rect) const;
    // crDefault: no override.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    TNotifyEvent OnActiveFormChange;

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    TMonitor* MonitorOf(HMONITOR Handle) const;

    std::vector<TCustomForm*> FForms;
    mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
};

// Made by AppInit, freed by AppShutdown; null outside.
extern TApplication* Application;
extern TScreen* Screen;
