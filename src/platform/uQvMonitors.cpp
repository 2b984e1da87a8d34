#include "platform/uQvMonitors.h"

#include <algorithm>
#include <cstdlib>

#include "platform/uQvBackend.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinState.h"

namespace {

struct TState {
    bool Loaded = false;
    std::vector<TQvMonitorDesc> Monitors;
    BOOL DragFullWindows = TRUE;
    UINT WheelLines = 3;
    BOOL MenuAnimation = TRUE;
    BOOL MenuFade = TRUE;
    BOOL SelectionFade = TRUE;
    UINT HoverWidth = 4;
    UINT HoverHeight = 4;
    UINT HoverTime = 400;
};

TState& S() { return QvWinState<TState>(); }

const std::vector<TQvMonitorDesc>& List() {
    if (!S().Loaded) {
        S().Monitors = QvBackend().Monitors();
        if (S().Monitors.empty()) S().Monitors.push_back(TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040), 96});
        S().Loaded = true;
    }
    return S().Monitors;
}

HMONITOR Handle(size_t Index) { return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(Index + 1)); }

const TQvMonitorDesc* Desc(HMONITOR M) {
    const auto I = reinterpret_cast<uintptr_t>(M);
    if (I == 0 || I > List().size()) return nullptr;
    return &List()[I - 1];
}

int64_t Distance2(const RECT& R, POINT P) {
    const int64_t Dx = P.X < R.Left ? R.Left - P.X : P.X >= R.Right ? P.X - R.Right + 1 : 0;
    const int64_t Dy = P.Y < R.Top ? R.Top - P.Y : P.Y >= R.Bottom ? P.Y - R.Bottom + 1 : 0;
    return Dx * Dx + Dy * Dy;
}

HMONITOR Fallback(DWORD Flags, POINT Near) {
    if (Flags == MONITOR_DEFAULTTOPRIMARY) return Handle(0);
    if (Flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    size_t Best = 0;
    for (size_t I = 1; I < List().size(); ++I)
        if (Distance2(List()[I].Bounds, Near) < Distance2(List()[Best].Bounds, Near)) Best = I;
    return Handle(Best);
}

RECT VirtualScreen() {
    RECT V = List()[0].Bounds;
    for (auto& M : List()) UnionRect(V, V, M.Bounds);
    return V;
}

}  // namespace

HMONITOR MonitorFromPoint(POINT Point, DWORD Flags) {
    for (size_t I = 0; I < List().size(); ++I)
        if (PtInRect(List()[I].Bounds, Point)) return Handle(I);
    return Fallback(Flags, Point);
}

HMONITOR MonitorFromRect(const RECT* R, DWORD Flags) {
    if (R == nullptr) return nullptr;
    int64_t BestArea = 0;
    HMONITOR Best = nullptr;
    for (size_t I = 0; I < List().size(); ++I) {
        RECT X;
        if (!IntersectRect(X, *R, List()[I].Bounds)) continue;
        const int64_t Area = int64_t{X.Width()} * X.Height();
        if (Area > BestArea) {
            BestArea = Area;
            Best = Handle(I);
        }
    }
    return Best ? Best : Fallback(Flags, CenterPoint(*R));
}

HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->MessageOnly) return Fallback(Flags, POINT{});
    W = QvTopLevel(W);
    const RECT R = (W->Style & WS_MINIMIZE) ? W->NormalRect : W->Window;
    return MonitorFromRect(&R, Flags);
}

BOOL GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info) {
    const TQvMonitorDesc* D = Desc(Monitor);
    if (D == nullptr || Info == nullptr) return FALSE;
    Info->rcMonitor = D->Bounds;
    Info->rcWork = D->Work;
    Info->dwFlags = D == &List()[0] ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

int QvMonitorCount() { return static_cast<int>(List().size()); }

HMONITOR QvMonitorAt(int Index) {
    return (Index >= 0 && static_cast<size_t>(Index) < List().size()) ? Handle(static_cast<size_t>(Index)) : nullptr;
}

int GetDpiForMonitor(HMONITOR Monitor, int Type, UINT* DpiX, UINT* DpiY) {
    const TQvMonitorDesc* D = Desc(Monitor);
    if (D == nullptr || Type != MDT_EFFECTIVE_DPI || DpiX == nullptr || DpiY == nullptr) return -1;
    *DpiX = *DpiY = D->Dpi;
    return 0;
}

UINT GetDpiForWindow(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return 0;
    if (W->MessageOnly) return List()[0].Dpi;
    return QvTopLevel(W)->Dpi;
}

UINT QvDpiAt(const RECT& ScreenRect) { return Desc(MonitorFromRect(&ScreenRect, MONITOR_DEFAULTTONEAREST))->Dpi; }

int GetSystemMetrics(int Index) {
    const RECT V = VirtualScreen();
    switch (Index) {
        case SM_CXSCREEN: return List()[0].Bounds.Width();
        case SM_CYSCREEN: return List()[0].Bounds.Height();
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return 17;
        case SM_CYCAPTION: return 23;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXMINTRACK: return 136;
        case SM_CYMINTRACK: return 39;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
        case SM_CXDRAG:
        case SM_CYDRAG: return 4;
        case SM_CXMAXTRACK: return V.Width();
        case SM_CYMAXTRACK: return V.Height();
        case SM_XVIRTUALSCREEN: return V.Left;
        case SM_YVIRTUALSCREEN: return V.Top;
        case SM_CXVIRTUALSCREEN: return V.Width();
        case SM_CYVIRTUALSCREEN: return V.Height();
        case SM_CMONITORS: return static_cast<int>(List().size());
        default: return 0;
    }
}

int GetSystemMetricsForDpi(int Index, UINT Dpi) {
    const int D = static_cast<int>(Dpi ? Dpi : USER_DEFAULT_SCREEN_DPI);
    switch (Index) {
        // What is drawn at the window's scale: scroll bars, caption, sizing frame and the
        // smallest window that still holds them. Borders stay one pixel; screen sizes and
        // mouse tolerances are pixels of the screen.
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYCAPTION:
        case SM_CXFRAME:
        case SM_CYFRAME:
        case SM_CXMINTRACK:
        case SM_CYMINTRACK: return MulDiv(GetSystemMetrics(Index), D, USER_DEFAULT_SCREEN_DPI);
        default: return GetSystemMetrics(Index);
    }
}

BOOL SystemParametersInfo(UINT Action, UINT UiParam, void* PvParam, UINT) {
    auto GetBool = [&](BOOL Value) {
        if (PvParam == nullptr) return FALSE;
        *static_cast<BOOL*>(PvParam) = Value;
        return TRUE;
    };
    // The menu and fade switches take their new value in PvParam.
    const BOOL PvBool = PvParam != nullptr ? TRUE : FALSE;
    switch (Action) {
        case SPI_GETWORKAREA:
            if (PvParam == nullptr) return FALSE;
            *static_cast<RECT*>(PvParam) = List()[0].Work;
            return TRUE;
        case SPI_GETDRAGFULLWINDOWS: return GetBool(S().DragFullWindows);
        case SPI_SETDRAGFULLWINDOWS: S().DragFullWindows = UiParam != 0; return TRUE;
        case SPI_GETWHEELSCROLLLINES:
            if (PvParam == nullptr) return FALSE;
            *static_cast<UINT*>(PvParam) = S().WheelLines;
            return TRUE;
        case SPI_SETWHEELSCROLLLINES: S().WheelLines = UiParam; return TRUE;
        case SPI_GETMOUSEHOVERWIDTH:
        case SPI_GETMOUSEHOVERHEIGHT:
        case SPI_GETMOUSEHOVERTIME:
            if (PvParam == nullptr) return FALSE;
            *static_cast<UINT*>(PvParam) = Action == SPI_GETMOUSEHOVERWIDTH    ? S().HoverWidth
                                           : Action == SPI_GETMOUSEHOVERHEIGHT ? S().HoverHeight
                                                                               : S().HoverTime;
            return TRUE;
        case SPI_SETMOUSEHOVERWIDTH: S().HoverWidth = UiParam; return TRUE;
        case SPI_SETMOUSEHOVERHEIGHT: S().HoverHeight = UiParam; return TRUE;
        case SPI_SETMOUSEHOVERTIME: S().HoverTime = UiParam; return TRUE;
        case SPI_GETMENUANIMATION: return GetBool(S().MenuAnimation);
        case SPI_SETMENUANIMATION: S().MenuAnimation = PvBool; return TRUE;
        case SPI_GETMENUFADE: return GetBool(S().MenuFade);
        case SPI_SETMENUFADE: S().MenuFade = PvBool; return TRUE;
        case SPI_GETSELECTIONFADE: return GetBool(S().SelectionFade);
        case SPI_SETSELECTIONFADE: S().SelectionFade = PvBool; return TRUE;
        default: return FALSE;
    }
}

void QvMonitorsChanged() {
    S().Loaded = false;
    std::vector<HWND> Tops;
    for (TQvWnd* W : QvAllWindows())
        if (W->Parent == nullptr && !W->MessageOnly) Tops.push_back(W->Handle);
    for (HWND H : Tops) QvCheckDpi(H);
}

