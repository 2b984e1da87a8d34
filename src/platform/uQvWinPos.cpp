#include "platform/uQvWinPos.h"

#include <algorithm>
#include <map>

#include "platform/uQvInput.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWindows.h"
#include "platform/uQvWinState.h"

namespace {

struct TState {
    std::vector<TQvWnd*> Roots;  // unowned top-level windows, topmost first
    std::vector<TQvWnd*> ZCache;
    bool ZDirty = true;
    HWND Active = nullptr;
    std::vector<TQvPosChange> Changes;  // position changes in progress, innermost last
    std::map<uintptr_t, std::vector<WINDOWPOS>> Deferred;
    uintptr_t DeferSerial = 0;
};

TState& S() { return QvWinState<TState>(); }

constexpr UINT HideFlags = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT RaiseFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
constexpr RECT MinimizedRect{-32000, -32000, -32000 + 160, -32000 + 28};

std::vector<TQvWnd*>& Siblings(TQvWnd* W) {
    if (W->Parent) return W->Parent->Children;
    if (W->Owner) return W->Owner->Owned;
    return S().Roots;
}

bool Linked(TQvWnd* W) {
    auto& L = Siblings(W);
    return std::find(L.begin(), L.end(), W) != L.end();
}

void Remove(std::vector<TQvWnd*>& L, TQvWnd* W) { L.erase(std::remove(L.begin(), L.end(), W), L.end()); }

void Flatten(TQvWnd* W, std::vector<TQvWnd*>& Out) {
    for (TQvWnd* O : W->Owned) Flatten(O, Out);
    Out.push_back(W);
}

void SetTopmost(TQvWnd* W, bool On) {
    if (On)
        W->ExStyle |= WS_EX_TOPMOST;
    else
        W->ExStyle &= ~DWORD{WS_EX_TOPMOST};
    for (TQvWnd* O : W->Owned) SetTopmost(O, On);
}

bool MoveToFront(TQvWnd* W) {
    auto& L = Siblings(W);
    if (!L.empty() && L.front() == W) return false;
    Remove(L, W);
    L.insert(L.begin(), W);
    return true;
}

// True when raising W to the top would change nothing.
bool AtTop(TQvWnd* W) {
    for (; W != nullptr; W = W->Parent ? nullptr : W->Owner) {
        auto& L = Siblings(W);
        if (L.empty() || L.front() != W) return false;
    }
    return true;
}

// Reorders W; owners raised along with it are added to Reordered.
void ZPlace(TQvWnd* W, HWND After, std::vector<HWND>& Reordered) {
    if (W->MessageOnly || !Linked(W)) return;
    S().ZDirty = true;
    auto& L = Siblings(W);
    const bool TopLevel = W->Parent == nullptr;
    const bool OwnerTopmost = W->Owner && (W->Owner->ExStyle & WS_EX_TOPMOST);
    if (After == HWND_TOPMOST || After == HWND_TOP || After == HWND_NOTOPMOST) {
        if (After == HWND_TOPMOST && TopLevel) SetTopmost(W, true);
        if (After == HWND_NOTOPMOST) {
            if (!TopLevel || !(W->ExStyle & WS_EX_TOPMOST) || OwnerTopmost) return;
            SetTopmost(W, false);
        }
        MoveToFront(W);
        if (TopLevel)
            for (TQvWnd* O = W->Owner; O != nullptr; O = O->Owner)
                if (MoveToFront(O)) Reordered.push_back(O->Handle);
        return;
    }
    if (After == HWND_BOTTOM) {
        Remove(L, W);
        L.push_back(W);
        if (TopLevel && !OwnerTopmost) SetTopmost(W, false);
        return;
    }
    TQvWnd* A = QvWnd(After);
    if (A == nullptr || A == W) return;
    TQvWnd* Sib = A;
    while (Sib != nullptr && &Siblings(Sib) != &L) Sib = (Sib->Parent || !TopLevel) ? nullptr : Sib->Owner;
    if (Sib == nullptr) {
        // Different owner trees: only an unowned window can go behind the other tree.
        if (!TopLevel || W->Owner || A->Parent) return;
        Sib = A;
        while (Sib->Owner) Sib = Sib->Owner;
    }
    if (Sib == W) return;
    Remove(L, W);
    L.insert(std::find(L.begin(), L.end(), Sib) + 1, W);
}

bool CanActivate(const TQvWnd* W) {
    return W != nullptr && W->Parent == nullptr && !W->MessageOnly && W->Visible() && W->Enabled() &&
           !(W->ExStyle & WS_EX_NOACTIVATE);
}

void SendRaised(const std::vector<HWND>& Reordered) {
    for (HWND H : Reordered) {
        TQvWnd* W = QvWnd(H);
        if (W == nullptr) continue;
        WINDOWPOS Wp{H, HWND_TOP, W->Window.Left, W->Window.Top, W->Window.Width(), W->Window.Height(), RaiseFlags};
        QvSend(H, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Wp));
        if ((W = QvWnd(H)) == nullptr) continue;
        Wp = WINDOWPOS{H, HWND_TOP, W->Window.Left, W->Window.Top, W->Window.Width(), W->Window.Height(), RaiseFlags};
        QvSend(H, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Wp));
    }
}

}  // namespace

void QvCheckDpi(HWND H) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->Parent || W->MessageOnly || (W->Style & WS_MINIMIZE)) return;
    const UINT New = QvDpiAt(W->Window);
    const UINT Old = W->Dpi;
    if (New == Old) return;
    W->Dpi = New;
    RECT Suggested = Bounds(W->Window.Left, W->Window.Top, MulDiv(W->Window.Width(), static_cast<int>(New), static_cast<int>(Old)),
                            MulDiv(W->Window.Height(), static_cast<int>(New), static_cast<int>(Old)));
    QvSend(H, WM_DPICHANGED, MAKEWPARAM(static_cast<int>(New), static_cast<int>(New)), reinterpret_cast<LPARAM>(&Suggested));
}

namespace {

void ShowOwned(TQvWnd* W, bool Show) {
    std::vector<HWND> List;
    std::vector<TQvWnd*> Flat;
    for (TQvWnd* O : W->Owned) Flatten(O, Flat);
    for (TQvWnd* O : Flat)
        if (Show ? O->HiddenWithOwner : O->Visible()) List.push_back(O->Handle);
    // Bottom first on the way back, so the windows keep their order.
    if (Show) std::reverse(List.begin(), List.end());
    for (HWND H : List) {
        TQvWnd* O = QvWnd(H);
        if (O == nullptr) continue;
        QvSend(H, WM_SHOWWINDOW, Show, Show ? SW_PARENTOPENING : SW_PARENTCLOSING);
        SetWindowPos(H, nullptr, 0, 0, 0, 0, Show ? (SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) : HideFlags);
        if ((O = QvWnd(H)) != nullptr) O->HiddenWithOwner = !Show;
    }
}

enum TStateCmd { scMinimize, scMaximize, scRestore };

void ChangeState(HWND H, TStateCmd Cmd, bool Activate) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr) return;
    const MINMAXINFO Mm = QvGetMinMaxInfo(H);
    if ((W = QvWnd(H)) == nullptr) return;
    const bool WasMin = (W->Style & WS_MINIMIZE) != 0;
    const bool WasMax = (W->Style & WS_MAXIMIZE) != 0;
    const bool WasVisible = W->Visible();
    if (Cmd == scRestore && WasMin && W->RestoreToMaximized) Cmd = scMaximize;
    if ((Cmd == scMinimize && WasMin) || (Cmd == scMaximize && WasMax) || (Cmd == scRestore && !WasMin && !WasMax)) {
        if (!WasVisible) ShowWindow(H, Activate ? SW_SHOW : SW_SHOWNA);
        else if (Activate) SetActiveWindow(H);
        return;
    }
    if (!WasMin && !WasMax) W->NormalRect = W->Window;
    RECT New;
    UINT Flags;
    if (Cmd == scMinimize) {
        W->RestoreToMaximized = WasMax;
        ShowOwned(W, false);
        if ((W = QvWnd(H)) == nullptr) return;
        W->Style = (W->Style | WS_MINIMIZE) & ~DWORD{WS_MAXIMIZE};
        New = MinimizedRect;
        Flags = SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOCOPYBITS | SWP_STATECHANGED;
    } else {
        if (Cmd == scMaximize) {
            MONITORINFO Mi;
            GetMonitorInfo(MonitorFromRect(&W->NormalRect, MONITOR_DEFAULTTONEAREST), &Mi);
            const int Cx = std::min(Mm.ptMaxSize.X, std::max(Mm.ptMaxTrackSize.X, 0));
            const int Cy = std::min(Mm.ptMaxSize.Y, std::max(Mm.ptMaxTrackSize.Y, 0));
            New = QvSaneBounds(int64_t{Mi.rcMonitor.Left} + Mm.ptMaxPosition.X, int64_t{Mi.rcMonitor.Top} + Mm.ptMaxPosition.Y,
                               Cx, Cy);
            W->Style = (W->Style | WS_MAXIMIZE) & ~DWORD{WS_MINIMIZE};
        } else {
            New = W->NormalRect;
            W->Style &= ~DWORD{WS_MINIMIZE | WS_MAXIMIZE};
        }
        W->RestoreToMaximized = false;
        Flags = SWP_FRAMECHANGED | SWP_STATECHANGED | (WasVisible ? 0 : SWP_SHOWWINDOW) | (Activate ? 0 : SWP_NOACTIVATE);
    }
    if (!WasVisible) {
        QvSend(H, WM_SHOWWINDOW, TRUE, 0);
        if (QvWnd(H) == nullptr) return;
    }
    SetWindowPos(H, HWND_TOP, New.Left, New.Top, New.Width(), New.Height(), Flags);
    if (QvWnd(H) == nullptr) return;
    if (WasMin) ShowOwned(QvWnd(H), true);
    if (Cmd == scMinimize && S().Active == H) QvActivateOther(H);
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

void QvZLink(TQvWnd* W) {
    if (W->MessageOnly) return;
    auto& L = Siblings(W);
    L.insert(L.begin(), W);
    S().ZDirty = true;
}

void QvZDetach(TQvWnd* W) {
    if (W->MessageOnly) return;
    Remove(Siblings(W), W);
    S().ZDirty = true;
}

void QvZUnlink(TQvWnd* W) {
    if (W->MessageOnly) return;
    Remove(Siblings(W), W);
    // Windows it owned become unowned and stay where they were, on top.
    for (auto It = W->Owned.rbegin(); It != W->Owned.rend(); ++It) {
        (*It)->Owner = nullptr;
        S().Roots.insert(S().Roots.begin(), *It);
    }
    W->Owned.clear();
    if (S().Active == W->Handle) S().Active = nullptr;
    S().ZDirty = true;
}

const std::vector<TQvWnd*>& QvZOrder() {
    if (S().ZDirty) {
        auto& Z = S().ZCache;
        Z.clear();
        for (TQvWnd* R : S().Roots) Flatten(R, Z);
        std::stable_partition(Z.begin(), Z.end(), [](TQvWnd* W) { return (W->ExStyle & WS_EX_TOPMOST) != 0; });
        S().ZDirty = false;
    }
    return S().ZCache;
}

const TQvPosChange* QvCurrentPosChange(const WINDOWPOS* Pos) {
    for (auto It = S().Changes.rbegin(); It != S().Changes.rend(); ++It)
        if (It->Pos == Pos) return &*It;
    return nullptr;
}

MINMAXINFO QvGetMinMaxInfo(HWND Handle) {
    MINMAXINFO Mm;
    TQvWnd* W = QvWnd(Handle);
    if (W == nullptr) return Mm;
    MONITORINFO Mi;
    const RECT& Ref = (W->Style & WS_MINIMIZE) ? W->NormalRect : W->Window;
    GetMonitorInfo(MonitorFromRect(&Ref, MONITOR_DEFAULTTONEAREST), &Mi);
    Mm.ptMaxSize = POINT{Mi.rcWork.Width(), Mi.rcWork.Height()};
    Mm.ptMaxPosition = POINT{Mi.rcWork.Left - Mi.rcMonitor.Left, Mi.rcWork.Top - Mi.rcMonitor.Top};
    Mm.ptMinTrackSize = POINT{136, 39};
    Mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    QvSend(Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Mm));
    return Mm;
}

void QvActivateOther(HWND Leaving) {
    if (S().Active != Leaving) return;
    TQvWnd* L = QvWnd(Leaving);
    TQvWnd* To = nullptr;
    if (L && L->Owner && CanActivate(L->Owner)) To = L->Owner;
    if (To == nullptr) {
        const auto Z = QvZOrder();
        auto It = std::find(Z.begin(), Z.end(), L);
        if (It != Z.end())
            for (++It; It != Z.end() && To == nullptr; ++It)
                if (CanActivate(*It)) To = *It;
        if (To == nullptr && !Z.empty() && Z.front() != L && CanActivate(Z.front())) To = Z.front();
    }
    QvActivate(To ? To->Handle : nullptr, WA_ACTIVE, true);
}

bool QvActivate(HWND Handle, int How, bool MoveFocus) {
    const HWND Old = S().Active;
    if (Handle == Old) return true;
    if (Handle != nullptr) {
        TQvWnd* W = QvWnd(Handle);
        if (!CanActivate(W)) return false;
        if (!AtTop(W)) SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, RaiseFlags);
        if (QvWnd(Handle) == nullptr) return false;
    }
    if (QvWnd(Old) != nullptr) {
        QvSend(Old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(Handle));
        QvSend(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Old) ? 1 : 0), reinterpret_cast<LPARAM>(Handle));
    }
    if (Handle != nullptr && QvWnd(Handle) == nullptr) Handle = nullptr;
    S().Active = Handle;
    if ((Old == nullptr) != (Handle == nullptr)) {
        std::vector<HWND> Tops;
        for (TQvWnd* T : QvZOrder()) Tops.push_back(T->Handle);
        for (HWND T : Tops) QvSend(T, WM_ACTIVATEAPP, Handle != nullptr, 0);
    }
    if (Handle != nullptr && QvWnd(Handle) != nullptr) {
        QvSend(Handle, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(Old));
        QvSend(Handle, WM_ACTIVATE, MAKEWPARAM(How, IsIconic(Handle) ? 1 : 0), reinterpret_cast<LPARAM>(Old));
    }
    if (!MoveFocus || S().Active != Handle) return true;
    if (Handle == nullptr) {
        SetFocus(nullptr);
    } else if (TQvWnd* W = QvWnd(Handle)) {
        TQvWnd* F = QvWnd(GetFocus());
        if (F == nullptr || QvTopLevel(F) != W) SetFocus((W->Style & WS_MINIMIZE) ? nullptr : Handle);
    }
    return true;
}


static bool Holds(const TQvWnd* W, POINT Pt) { return QvWindowHolds(W, Pt); }

static void Collect(TQvWnd* W, POINT Pt, std::vector<TQvWnd*>& Out) {
    const POINT O = QvClientOrigin(W);
    if (PtInRect(Bounds(O.X, O.Y, W->Client.Width(), W->Client.Height()), Pt))
        for (TQvWnd* K : W->Children)
            if (K->Visible() && K->Enabled() && Holds(K, Pt)) Collect(K, Pt, Out);
    Out.push_back(W);
}

std::vector<TQvWnd*> QvHitCandidates(POINT Pt, bool SkipDisabledTops) {
    std::vector<TQvWnd*> Out;
    for (TQvWnd* T : QvZOrder()) {
        if (!T->Visible() || !Holds(T, Pt)) continue;
        if (!T->Enabled()) {
            if (SkipDisabledTops) continue;
            Out.push_back(T);
            break;
        }
        Collect(T, Pt, Out);
    }
    return Out;
}

// ---- Geometry --------------------------------------------------------------------------

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    WINDOWPOS Wp{Wnd, InsertAfter, X, Y, Cx, Cy, Flags};
    if (Flags & SWP_NOMOVE) {
        Wp.x = W->Window.Left;
        Wp.y = W->Window.Top;
    }
    if (Flags & SWP_NOSIZE) {
        Wp.cx = W->Window.Width();
        Wp.cy = W->Window.Height();
    }
    if (!(Flags & SWP_NOSENDCHANGING)) {
        QvSend(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Wp));
        if ((W = QvWnd(Wnd)) == nullptr) return FALSE;
    }
    Flags = Wp.flags;
    const RECT OldWin = W->Window;
    const RECT OldClient = W->Client;
    const bool WasVisible = QvIsVisible(W);
    const RECT NewWin = QvSaneBounds((Flags & SWP_NOMOVE) ? OldWin.Left : Wp.x, (Flags & SWP_NOMOVE) ? OldWin.Top : Wp.y,
                                     (Flags & SWP_NOSIZE) ? OldWin.Width() : Wp.cx,
                                     (Flags & SWP_NOSIZE) ? OldWin.Height() : Wp.cy);
    RECT NewClient = OldClient;
    OffsetRect(NewClient, NewWin.Left - OldWin.Left, NewWin.Top - OldWin.Top);
    if (NewWin.Width() != OldWin.Width() || NewWin.Height() != OldWin.Height() || (Flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS P;
        P.rgrc[0] = NewWin;
        P.rgrc[1] = OldWin;
        P.rgrc[2] = OldClient;
        P.lppos = &Wp;
        QvSend(Wnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&P));
        if ((W = QvWnd(Wnd)) == nullptr) return FALSE;
        NewClient = QvSaneRect(P.rgrc[0]);
    }
    // A minimized window has no client area.
    if (W->Style & WS_MINIMIZE) NewClient = Rect(NewWin.Left, NewWin.Top, NewWin.Left, NewWin.Top);
    W->Window = NewWin;
    W->Client = NewClient;
    std::vector<HWND> Raised;
    if (!(Flags & SWP_NOZORDER)) ZPlace(W, Wp.hwndInsertAfter, Raised);
    bool Hidden = false;
    // Shown or hidden on purpose: no longer waiting for its owner's restore.
    if (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) W->HiddenWithOwner = false;
    if ((Flags & SWP_SHOWWINDOW) && !W->Visible()) {
        W->Style |= WS_VISIBLE;
    } else if ((Flags & SWP_HIDEWINDOW) && W->Visible()) {
        W->Style &= ~DWORD{WS_VISIBLE};
        Hidden = true;
    }
    QvPaintPosChanged(Wnd, OldWin, OldClient, WasVisible, Flags);
    if ((W = QvWnd(Wnd)) == nullptr) return FALSE;
    Wp.x = NewWin.Left;
    Wp.y = NewWin.Top;
    Wp.cx = NewWin.Width();
    Wp.cy = NewWin.Height();
    Wp.flags = Flags;
    S().Changes.push_back(TQvPosChange{&Wp, NewClient.TopLeft() != OldClient.TopLeft(),
                                       NewClient.Width() != OldClient.Width() || NewClient.Height() != OldClient.Height()});
    try {
        QvSend(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Wp));
    } catch (...) {
        S().Changes.pop_back();
        throw;
    }
    S().Changes.pop_back();
    SendRaised(Raised);
    QvCheckDpi(Wnd);
    if ((W = QvWnd(Wnd)) == nullptr) return TRUE;
    if (Hidden) {
        // A top-level window takes the focus along when the activation moves away.
        if (HWND F = GetFocus(); W->Parent != nullptr && F != nullptr && QvIsSelfOrDescendant(W, QvWnd(F)))
            SetFocus(W->Parent->Handle);
        if (S().Active == Wnd) QvActivateOther(Wnd);
    } else if (!(Flags & SWP_NOACTIVATE) && CanActivate(W)) {
        QvActivate(Wnd, WA_ACTIVE, true);
    }
    return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint) {
    return SetWindowPos(Wnd, nullptr, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND Wnd) { return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

HDWP BeginDeferWindowPos(int NumWindows) {
    if (NumWindows < 0) return nullptr;
    const uintptr_t Key = ++S().DeferSerial;
    S().Deferred[Key].reserve(static_cast<size_t>(NumWindows));
    return reinterpret_cast<HDWP>(Key);
}

HDWP DeferWindowPos(HDWP Info, HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags) {
    auto It = S().Deferred.find(reinterpret_cast<uintptr_t>(Info));
    if (It == S().Deferred.end()) return nullptr;
    if (!IsWindow(Wnd)) {
        S().Deferred.erase(It);
        return nullptr;
    }
    It->second.push_back(WINDOWPOS{Wnd, InsertAfter, X, Y, Cx, Cy, Flags});
    return Info;
}

BOOL EndDeferWindowPos(HDWP Info) {
    auto It = S().Deferred.find(reinterpret_cast<uintptr_t>(Info));
    if (It == S().Deferred.end()) return FALSE;
    const std::vector<WINDOWPOS> List = std::move(It->second);
    S().Deferred.erase(It);
    for (const WINDOWPOS& P : List) SetWindowPos(P.hwnd, P.hwndInsertAfter, P.x, P.y, P.cx, P.cy, P.flags);
    return TRUE;
}

// ---- Showing and state -----------------------------------------------------------------

BOOL ShowWindow(HWND Wnd, int Cmd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->MessageOnly) return FALSE;
    const BOOL WasVisible = W->Visible();
    const bool Child = W->Parent != nullptr;
    const bool Special = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
    auto Show = [&](bool Activate) {
        if (!WasVisible) {
            QvSend(Wnd, WM_SHOWWINDOW, TRUE, 0);
            if (QvWnd(Wnd) == nullptr) return;
        }
        const UINT Flags = (Activate && !Child) ? (SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE)
                                                : (SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, Flags);
    };
    switch (Cmd) {
        case SW_HIDE:
            if (!WasVisible) {
                W->HiddenWithOwner = false;  // hidden on purpose now
                return FALSE;
            }
            QvSend(Wnd, WM_SHOWWINDOW, FALSE, 0);
            SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, HideFlags);
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            if (Child) return WasVisible;
            ChangeState(Wnd, scMinimize, false);
            break;
        case SW_SHOWMAXIMIZED:
            if (Child) return WasVisible;
            ChangeState(Wnd, scMaximize, true);
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWNOACTIVATE:
            if (Special && !Child)
                ChangeState(Wnd, scRestore, Cmd != SW_SHOWNOACTIVATE);
            else
                Show(Cmd != SW_SHOWNOACTIVATE);
            break;
        case SW_SHOW: Show(true); break;
        case SW_SHOWNA: Show(false); break;
        default: return WasVisible;
    }
    return WasVisible;
}

BOOL IsIconic(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W != nullptr && (W->Style & WS_MINIMIZE) != 0;
}

BOOL IsZoomed(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W != nullptr && (W->Style & WS_MAXIMIZE) != 0;
}

BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* P) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || P == nullptr) return FALSE;
    const bool Min = (W->Style & WS_MINIMIZE) != 0;
    const bool Max = (W->Style & WS_MAXIMIZE) != 0;
    P->flags = (Min && W->RestoreToMaximized) ? WPF_RESTORETOMAXIMIZED : 0;
    P->showCmd = Min ? SW_SHOWMINIMIZED : Max ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    P->ptMinPosition = POINT{MinimizedRect.Left, MinimizedRect.Top};
    P->ptMaxPosition = POINT{-1, -1};
    P->rcNormalPosition = (Min || Max) ? W->NormalRect : W->Window;
    return TRUE;
}

BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* P) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || P == nullptr) return FALSE;
    W->NormalRect = P->rcNormalPosition;
    W->RestoreToMaximized = (P->flags & WPF_RESTORETOMAXIMIZED) != 0;
    if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        const RECT& R = P->rcNormalPosition;
        SetWindowPos(Wnd, nullptr, R.Left, R.Top, R.Width(), R.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (QvWnd(Wnd) != nullptr && (P->showCmd != SW_HIDE || IsWindowVisible(Wnd))) ShowWindow(Wnd, static_cast<int>(P->showCmd));
    return TRUE;
}

// ---- Activation ------------------------------------------------------------------------

HWND SetActiveWindow(HWND Wnd) {
    const HWND Old = S().Active;
    TQvWnd* W = QvWnd(Wnd);
    if (W != nullptr) W = QvTopLevel(W);
    if (!CanActivate(W)) return nullptr;
    QvActivate(W->Handle, WA_ACTIVE, true);
    return Old;
}

HWND GetActiveWindow() { return S().Active; }

BOOL SetForegroundWindow(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || !CanActivate(QvTopLevel(W))) return FALSE;
    return QvActivate(QvTopLevel(W)->Handle, WA_ACTIVE, true);
}

HWND GetForegroundWindow() { return S().Active; }

void QvApplicationDeactivated() { QvActivate(nullptr, WA_INACTIVE, true); }

// ---- Coordinates -----------------------------------------------------------------------

BOOL GetWindowRect(HWND Wnd, RECT* R) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || R == nullptr) return FALSE;
    *R = QvScreenRect(W);
    return TRUE;
}

BOOL GetClientRect(HWND Wnd, RECT* R) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || R == nullptr) return FALSE;
    *R = Rect(0, 0, W->Client.Width(), W->Client.Height());
    return TRUE;
}

BOOL ClientToScreen(HWND Wnd, POINT* P) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || P == nullptr) return FALSE;
    const POINT O = QvClientOrigin(W);
    P->X += O.X;
    P->Y += O.Y;
    return TRUE;
}

BOOL ScreenToClient(HWND Wnd, POINT* P) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || P == nullptr) return FALSE;
    const POINT O = QvClientOrigin(W);
    P->X -= O.X;
    P->Y -= O.Y;
    return TRUE;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count) {
    TQvWnd* F = From ? QvWnd(From) : nullptr;
    TQvWnd* T = To ? QvWnd(To) : nullptr;
    if ((From && !F) || (To && !T)) return 0;
    const POINT A = F ? QvClientOrigin(F) : POINT{};
    const POINT B = T ? QvClientOrigin(T) : POINT{};
    const int Dx = A.X - B.X;
    const int Dy = A.Y - B.Y;
    for (UINT I = 0; Points != nullptr && I < Count; ++I) {
        Points[I].X += Dx;
        Points[I].Y += Dy;
    }
    return static_cast<int>(MAKELPARAM(Dx, Dy));
}

HWND WindowFromPoint(POINT Pt) {
    std::vector<HWND> List;
    for (TQvWnd* W : QvHitCandidates(Pt, true)) List.push_back(W->Handle);
    for (HWND H : List) {
        if (QvWnd(H) == nullptr) continue;
        QvNoteHitTestProbe();
        if (QvSend(H, WM_NCHITTEST, 0, MAKELPARAM(Pt.X, Pt.Y)) != HTTRANSPARENT) return H;
    }
    return nullptr;
}
