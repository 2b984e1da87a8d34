#pragma once
// The headless backend: a virtual screen, a virtual clock that only moves when a test (or
// Sleep, or a waiting loop) moves it, and scripted input. Tests are deterministic.
//
// Scripted input is a list of steps. A loop that waits with an empty queue runs the next
// step (after its delay) or jumps the clock to the next timer deadline, whichever comes
// first; with neither it raises EQvStalled. Loops that only ever wake on timers stop with
// EQvStalled once the clock has run WaitLimit past the last step (or the test's last
// Advance).

#include <deque>
#include <functional>
#include <string>

#include "platform/uQvBackend.h"
#include "platform/uQvInput.h"

class TQvHeadless : public TQvBackend {
public:
    TQvHeadless();

    // ---- Backend ----
    uint64_t Now() const override { return FNow; }
    int64_t WallClock() const override;
    void Wait(std::optional<uint64_t> Deadline) override;
    void Sleep(uint32_t Ms) override { FNow += Ms; }
    std::vector<TQvMonitorDesc> Monitors() const override { return FMonitors; }
    bool CursorPosAvailable() const override { return !FCursorPosFails; }
    // A Chinese machine (2052) unless a test sets another LCID (0: the environment decides).
    DWORD SystemLCID() const override { return FLcid; }
    void SetSystemLCID(DWORD Lcid) { FLcid = Lcid; }
    void CursorChanged(HCURSOR Cursor) override { FCursor = Cursor; }
    void ReportException(const std::string& What) override { FExceptions.push_back(What); }
    // An in-process clipboard: tests put text there and read what the program copied.
    String ClipboardText() const override { return FClipboard; }
    void SetClipboardText(const String& Text) override { FClipboard = Text; }
    void ImeInputRect(const RECT& Screen) override { FImeRect = Screen; }
    // Nothing to show: the parts are only recorded (and OnPresent hears of them).
    void Present(const TQvRegion& Changed) override;

    // ---- Clock ----
    // The clock starts at 10,000,000 ms; WallClock starts at 2024-01-15 09:00:00.
    void Advance(uint64_t Ms) {
        FNow += Ms;
        FLastStep = FNow;
    }
    // How long waits may run on timers alone after the last scripted step or Advance
    // (default 10 min).
    void SetWaitLimit(uint64_t Ms) { FWaitLimit = Ms; }

    // ---- Screen ----
    // Default: one 1920 x 1080 monitor at 96 dpi with work area (0, 0, 1920, 1040).
    void SetMonitors(std::vector<TQvMonitorDesc> Monitors);
    // What the screen reports it can show (everything by default); the composition itself
    // stays exact.
    TQvDisplayCaps DisplayCaps() const override { return FCaps; }
    void SetDisplayCaps(TQvDisplayCaps Caps) { FCaps = Caps; }

    // ---- Scripted input (screen coordinates) ----
    void MouseMove(int X, int Y);
    void Press(TQvButton Button = TQvButton::Left);
    void Release(TQvButton Button = TQvButton::Left);
    void Click(int X, int Y, TQvButton Button = TQvButton::Left);
    void DoubleClick(int X, int Y, TQvButton Button = TQvButton::Left);
    // Press at the start, Steps moves along the line, release at the end.
    void Drag(int X0, int Y0, int X1, int Y1, int Steps = 4);
    void Wheel(int Delta);
    // The horizontal wheel: positive to the right.
    void HWheel(int Delta);
    void KeyDown(int VirtKey);
    void KeyUp(int VirtKey);
    // Down then up.
    void Key(int VirtKey);
    void Text(const String& Text);
    // The input method: a composition in progress ("" abandons it) and a commit.
    void ImeComposition(const String& Text);
    void ImeCommit(const String& Text);
    // Another program puts Text on the clipboard.
    void ExternalCopy(const String& Text);
    // The next step runs at least Ms after the previous one.
    void Delay(uint64_t Ms) { FNextDelay += Ms; }
    // Any action as a step of its own.
    void Step(std::function<void()> Action);
    bool ScriptDone() const { return FScript.empty(); }
    size_t StepsLeft() const { return FScript.size(); }
    // Runs the next step now (the clock moves by its delay). False when none is left.
    bool RunStep();

    // ---- Records ----
    const std::vector<std::string>& Exceptions() const { return FExceptions; }
    void ClearExceptions() { FExceptions.clear(); }
    void SetCursorPosFails(bool Fails) { FCursorPosFails = Fails; }
    HCURSOR Cursor() const { return FCursor; }
    // The last rectangle the input method was asked to keep clear of.
    std::optional<RECT> ImeRect() const { return FImeRect; }
    // The union of the screen parts presented since the last ClearPresented, and how many
    // presentations there were.
    const TQvRegion& Presented() const { return FPresented; }
    int PresentCount() const { return FPresentCount; }
    void ClearPresented() {
        FPresented.Clear();
        FPresentCount = 0;
    }
    // Called at every presentation (a test sampling the screen while AnimateWindow runs).
    std::function<void(const TQvRegion& Changed)> OnPresent;
    // Writes the composed screen as a PNG file (EQvError when it cannot) and records the name.
    void SaveScreenshot(const String& FileName);
    const std::vector<String>& Screenshots() const { return FScreenshots; }

private:
    struct TStep {
        uint64_t Delay;
        std::function<void()> Action;
    };
    void Add(std::function<void()> Action);
    void Run(TStep& S);

    uint64_t FNow = 10000000;
    uint64_t FStart = 10000000;
    uint64_t FLastStep = 10000000;
    uint64_t FWaitLimit = 600000;
    std::vector<TQvMonitorDesc> FMonitors;
    TQvDisplayCaps FCaps;
    std::deque<TStep> FScript;
    uint64_t FNextDelay = 0;
    std::optional<uint64_t> FHeadDue;  // when the head step may run
    std::vector<std::string> FExceptions;
    bool FCursorPosFails = false;
    DWORD FLcid = 2052;
    HCURSOR FCursor = nullptr;
    String FClipboard;
    std::optional<RECT> FImeRect;
    TQvRegion FPresented;
    int FPresentCount = 0;
    std::vector<String> FScreenshots;
};

// The headless backend in use, or null when another backend is installed.
TQvHeadless* QvHeadless();
// Installs a fresh headless backend and resets the window system (tests).
TQvHeadless& QvInstallHeadless();
