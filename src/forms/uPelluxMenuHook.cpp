#include "forms/uPelluxMenuHook.h"

#include <unordered_map>

#include "framework/uQvAppInit.h"
#include "framework/uQvMenuLoop.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWindows.h"

namespace {

struct TSavedEffects {
    bool Saved = false;
    BOOL MenuFade = FALSE;
    BOOL MenuAnimation = FALSE;
    BOOL SelectionFade = FALSE;
};
TSavedEffects Effects;

struct THeldWindow {
    WNDPROC OldProc = nullptr;
    bool Drawn = false;
};
// The subclassed menu windows; a window leaves at WM_NCDESTROY.
std::unordered_map<HWND, THeldWindow>& Held() {
    static std::unordered_map<HWND, THeldWindow> Map;
    return Map;
}
HHOOK Hook = nullptr;

void SaveEffects() {
    if (Effects.Saved) return;
    SystemParametersInfo(SPI_GETMENUFADE, 0, &Effects.MenuFade, 0);
    SystemParametersInfo(SPI_GETMENUANIMATION, 0, &Effects.MenuAnimation, 0);
    SystemParametersInfo(SPI_GETSELECTIONFADE, 0, &Effects.SelectionFade, 0);
    Effects.Saved = true;
}

void SetEffect(UINT Action, BOOL Value) {
    // The value travels in the pointer argument, as the platform's setters expect.
    SystemParametersInfo(Action, 0, reinterpret_cast<void*>(static_cast<intptr_t>(Value)), 0);
}

void RestoreEffects() {
    if (!Effects.Saved) return;
    SetEffect(SPI_SETMENUFADE, Effects.MenuFade);
    SetEffect(SPI_SETMENUANIMATION, Effects.MenuAnimation);
    SetEffect(SPI_SETSELECTIONFADE, Effects.SelectionFade);
    Effects.Saved = false;
}

LRESULT MenuWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto It = Held().find(Wnd);
    if (It == Held().end()) return DefWindowProc(Wnd, Msg, WParam, LParam);
    const WNDPROC Old = It->second.OldProc;
    if (!It->second.Drawn) {
        if (Msg == WM_NCPAINT) return 0;
        if (Msg == WM_ERASEBKGND) return 1;
    }
    if (Msg == WM_NCDESTROY) {
        SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
        Held().erase(It);
    }
    return CallWindowProc(Old, Wnd, Msg, WParam, LParam);
}

LRESULT CallWndProc(int Code, WPARAM WParam, LPARAM LParam) {
    const auto* Cwp = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && Cwp != nullptr && Cwp->message == WM_CREATE &&
        GetClassNameString(Cwp->hwnd) == MenuWindowClassName && Held().count(Cwp->hwnd) == 0) {
        const ULONG_PTR Style = GetClassLongPtr(Cwp->hwnd, GCL_STYLE);
        if (Style & CS_DROPSHADOW)
            SetClassLongPtr(Cwp->hwnd, GCL_STYLE,
                            static_cast<LONG_PTR>(Style & ~static_cast<ULONG_PTR>(CS_DROPSHADOW)));
        const auto Old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtr(Cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuWindowProc)));
        Held()[Cwp->hwnd] = THeldWindow{Old, false};
    }
    return CallNextHookEx(Hook, Code, WParam, LParam);
}

void Install() {
    SaveEffects();
    SetEffect(SPI_SETSELECTIONFADE, FALSE);
    if (Hook == nullptr) Hook = SetWindowsHookEx(WH_CALLWNDPROC, &CallWndProc, nullptr, 0);
}

void Uninstall() {
    if (Hook != nullptr) UnhookWindowsHookEx(Hook);
    Hook = nullptr;
    // Windows of a window system that went away never saw their WM_NCDESTROY here.
    Held().clear();
    RestoreEffects();
}

}  // namespace

void RegisterPelluxMenuHook() {
    QvRegisterInitStep(ioMenuHook, u"menu hook", Install, Uninstall);
}

bool PelluxMenuHookInstalled() {
    return Hook != nullptr;
}

void PelluxMenuWindowDrawn(HWND Wnd) {
    if (auto It = Held().find(Wnd); It != Held().end()) It->second.Drawn = true;
}

void PelluxMenuEffectsOff() {
    SaveEffects();
    SetEffect(SPI_SETMENUFADE, FALSE);
    SetEffect(SPI_SETMENUANIMATION, FALSE);
}
