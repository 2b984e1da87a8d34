#include "platform/backends/headless/uQvHeadless.h"

#include "platform/uQvImm.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWindows.h"

namespace {
// 2024-01-15 09:00:00 as milliseconds since 1970-01-01.
constexpr int64_t StartWallClock = 1705309200000;
}  // namespace

TQvHeadless::TQvHeadless() { FMonitors.push_back(TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 96}); }

int64_t TQvHeadless::WallClock() const { return StartWallClock + static_cast<int64_t>(FNow - FStart); }

void TQvHeadless::SetMonitors(std::vector<TQvMonitorDesc> Monitors) {
    FMonitors = std::move(Monitors);
    if (QvHeadless() == this) QvMonitorsChanged();
}

void TQvHeadless::Present(const TQvRegion& Changed) {
    FPresented |= Changed;
    ++FPresentCount;
    if (OnPresent) OnPresent(Changed);
}

void TQvHeadless::SaveScreenshot(const String& FileName) {
    QvSaveScreenshot(FileName);
    FScreenshots.push_back(FileName);
}

void TQvHeadless::Add(std::function<void()> Action) {
    FScript.push_back(TStep{FNextDelay, std::move(Action)});
    FNextDelay = 0;
}

void TQvHeadless::Step(std::function<void()> Action) { Add(std::move(Action)); }

void TQvHeadless::Run(TStep& S) {
    auto Action = std::move(S.Action);
    FScript.pop_front();
    FHeadDue.reset();
    FLastStep = FNow;
    Action();
}

bool TQvHeadless::RunStep() {
    if (FScript.empty()) return false;
    FNow += FScript.front().Delay;
    Run(FScript.front());
    return true;
}

void TQvHeadless::Wait(std::optional<uint64_t> Deadline) {
    if (!FScript.empty()) {
        if (!FHeadDue) FHeadDue = FNow + FScript.front().Delay;
        if (!Deadline || *FHeadDue <= *Deadline) {
            if (*FHeadDue > FNow) FNow = *FHeadDue;
            Run(FScript.front());
            return;
        }
    }
    if (!Deadline)
        throw EQvStalled(
            "headless: a loop waits for input, but no scripted input is left and no timer is pending, "
            "so nothing can ever happen");
    if (*Deadline > FLastStep + FWaitLimit)
        throw EQvStalled("headless: a loop has waited " + std::to_string(FWaitLimit) +
                         " ms of virtual time on timers alone; no scripted input is left to end it");
    if (*Deadline > FNow) FNow = *Deadline;
}

void TQvHeadless::MouseMove(int X, int Y) {
    Add([X, Y] { QvInputMouseMove(POINT{X, Y}); });
}

void TQvHeadless::Press(TQvButton Button) {
    Add([Button] { QvInputMouseButton(Button, true); });
}

void TQvHeadless::Release(TQvButton Button) {
    Add([Button] { QvInputMouseButton(Button, false); });
}

void TQvHeadless::Click(int X, int Y, TQvButton Button) {
    MouseMove(X, Y);
    Press(Button);
    Release(Button);
}

void TQvHeadless::DoubleClick(int X, int Y, TQvButton Button) {
    Click(X, Y, Button);
    Press(Button);
    Release(Button);
}

void TQvHeadless::Drag(int X0, int Y0, int X1, int Y1, int Steps) {
    if (Steps < 1) Steps = 1;
    MouseMove(X0, Y0);
    Press();
    for (int I = 1; I <= Steps; ++I) MouseMove(X0 + (X1 - X0) * I / Steps, Y0 + (Y1 - Y0) * I / Steps);
    Release();
}

void TQvHeadless::Wheel(int Delta) {
    Add([Delta] { QvInputWheel(Delta); });
}

void TQvHeadless::HWheel(int Delta) {
    Add([Delta] { QvInputWheel(Delta, true); });
}

void TQvHeadless::KeyDown(int VirtKey) {
    Add([VirtKey] { QvInputKey(VirtKey, 0, true); });
}

void TQvHeadless::KeyUp(int VirtKey) {
    Add([VirtKey] { QvInputKey(VirtKey, 0, false); });
}

void TQvHeadless::Key(int VirtKey) {
    KeyDown(VirtKey);
    KeyUp(VirtKey);
}

void TQvHeadless::Text(const String& Text) {
    Add([Text] { QvInputText(Text); });
}

void TQvHeadless::ImeComposition(const String& Text) {
    Add([Text] { QvInputImeComposition(Text); });
}

void TQvHeadless::ImeCommit(const String& Text) {
    Add([Text] { QvInputImeCommit(Text); });
}

void TQvHeadless::ExternalCopy(const String& Text) {
    Add([this, Text] { FClipboard = Text; });
}

TQvHeadless* QvHeadless() { return dynamic_cast<TQvHeadless*>(&QvBackend()); }

TQvHeadless& QvInstallHeadless() {
    auto Backend = std::make_unique<TQvHeadless>();
    TQvHeadless& H = *Backend;
    QvSetBackend(std::move(Backend));
    QvResetWindowSystem();
    return H;
}
