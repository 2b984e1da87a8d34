#include "platform/uQvInput.h"

#include <algorithm>
#include <deque>

#include "platform/uQvBackend.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "platform/uQvWinState.h"

namespace {

enum TKind { ikMove, ikDown, ikUp, ikWheel, ikKey, ikChar, ikMade };

struct TRaw {
    TKind Kind = ikMove;
    POINT Pt;
    int Button = 0;  // TQvButton
    int Delta = 0;
    int Vk = 0;
    UINT Scan = 0;
    bool Down = false;
    bool Extended = false;
    bool Horizontal = false;  // wheel
    Char Ch = 0;
    TQvInputMaker Make;
    uint64_t Time = 0;
};

struct TClick {
    bool Valid = false;
    int Button = 0;
    HWND Wnd = nullptr;
    bool NonClient = false;
    uint64_t Time = 0;
    POINT Pt;
};

// TrackMouseEvent: one window at a time, its client or (TME_NONCLIENT) its non-client area.
struct TTrack {
    HWND Wnd = nullptr;
    DWORD Flags = 0;  // TME_LEAVE | TME_HOVER | TME_NONCLIENT
    DWORD HoverTime = 0;
    RECT HoverRect;   // screen; moves inside it do not end the rest
    POINT Point;      // where the pointer was last seen over the area
    int Hit = HTNOWHERE;
};

struct TState {
    std::deque<TRaw> Raw;
    MSG Pending;
    TRaw PendingRaw;  // what Pending was made from
    uint64_t PendingTime = 0;
    bool HavePending = false;
    POINT Cursor;
    BYTE Keys[256] = {};       // as of the last retrieved message
    BYTE AsyncKeys[256] = {};  // as the backend reported
    HWND Capture = nullptr;
    HWND Focus = nullptr;
    TTrack Track;
    HWND LastTarget = nullptr;  // of the last routed mouse event, and its hit code
    int LastHit = HTNOWHERE;
    TClick LastClick;
    HCURSOR CursorShape = nullptr;
    uint64_t Probes = 0;
};

TState& S() { return QvWinState<TState>(); }

constexpr uint64_t DoubleClickTime = 500;
constexpr int DoubleClickSize = 4;
constexpr int ButtonVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
constexpr UINT ButtonMsg[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
constexpr UINT NcButtonMsg[3] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
constexpr int StandardCursors[] = {IDC_ARROW, IDC_IBEAM,  IDC_WAIT,   IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE, IDC_SIZENESW,
                                   IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO,    IDC_HAND,    IDC_APPSTARTING};

bool Down(const BYTE* Keys, int Vk) { return (Keys[Vk & 0xFF] & 0x80) != 0; }

WPARAM MouseKeys(const BYTE* Keys) {
    WPARAM K = 0;
    if (Down(Keys, VK_LBUTTON)) K |= MK_LBUTTON;
    if (Down(Keys, VK_RBUTTON)) K |= MK_RBUTTON;
    if (Down(Keys, VK_MBUTTON)) K |= MK_MBUTTON;
    if (Down(Keys, VK_SHIFT)) K |= MK_SHIFT;
    if (Down(Keys, VK_CONTROL)) K |= MK_CONTROL;
    return K;
}

void SetKey(BYTE* Keys, int Vk, bool IsDown) {
    BYTE& K = Keys[Vk & 0xFF];
    if (IsDown) {
        if (!(K & 0x80)) K ^= 0x01;
        K |= 0x80;
    } else {
        K &= static_cast<BYTE>(~0x80);
    }
}

// The window under a point by geometry alone (no messages), for folding moves and for
// leave tracking while the mouse is captured.
TQvWnd* GeometricTarget(POINT Pt) {
    if (TQvWnd* C = QvWnd(S().Capture)) return C;
    auto Cands = QvHitCandidates(Pt, false);
    return Cands.empty() ? nullptr : Cands.front();
}

bool OverClient(TQvWnd* W, POINT Pt) {
    const POINT O = QvClientOrigin(W);
    return PtInRect(Bounds(O.X, O.Y, W->Client.Width(), W->Client.Height()), Pt);
}

void StopTracking() {
    S().Track = TTrack{};
    QvKillSysTimer(stMouseHover);
}

// By geometry: the pointer is over the window's client area, or (NonClient) the rest of it.
bool OverArea(TQvWnd* W, POINT Pt, bool NonClient) {
    auto Cands = QvHitCandidates(Pt, false);
    return !Cands.empty() && Cands.front() == W && OverClient(W, Pt) != NonClient;
}

void FireHover() {
    TTrack& T = S().Track;
    TQvWnd* W = QvWnd(T.Wnd);
    if (W == nullptr || !(T.Flags & TME_HOVER)) return;
    // One message per request; leave tracking goes on.
    T.Flags &= ~DWORD{TME_HOVER};
    const HWND H = T.Wnd;
    const POINT Pt = T.Point;
    if (T.Flags & TME_NONCLIENT) {
        PostMessage(H, WM_NCMOUSEHOVER, static_cast<WPARAM>(T.Hit), MAKELPARAM(Pt.X, Pt.Y));
    } else {
        const POINT O = QvClientOrigin(W);
        PostMessage(H, WM_MOUSEHOVER, MouseKeys(S().Keys), MAKELPARAM(Pt.X - O.X, Pt.Y - O.Y));
    }
    if (!(T.Flags & TME_LEAVE)) StopTracking();
}

// The pointer comes to rest at Pt at Time: hover is due after the hover time unless it
// leaves the hover rectangle around Pt first.
void StartRest(POINT Pt, uint64_t Time) {
    TTrack& T = S().Track;
    UINT Cx = 4, Cy = 4;
    SystemParametersInfo(SPI_GETMOUSEHOVERWIDTH, 0, &Cx, 0);
    SystemParametersInfo(SPI_GETMOUSEHOVERHEIGHT, 0, &Cy, 0);
    const int W = static_cast<int>(std::min<UINT>(Cx, QvCoordLimit)),
              H = static_cast<int>(std::min<UINT>(Cy, QvCoordLimit));
    T.HoverRect = Rect(Pt.X - W / 2, Pt.Y - H / 2, Pt.X - W / 2 + W, Pt.Y - H / 2 + H);
    QvSetSysTimer(stMouseHover, Time + T.HoverTime, FireHover);
}

void CheckTrack(HWND Target, int Hit, POINT Pt, uint64_t Time) {
    TTrack& T = S().Track;
    if (T.Wnd == nullptr) return;
    TQvWnd* W = QvWnd(T.Wnd);
    if (W == nullptr) {
        StopTracking();
        return;
    }
    const bool NonClient = (T.Flags & TME_NONCLIENT) != 0;
    const bool Over =
        QvWnd(S().Capture) != nullptr
            ? OverArea(W, Pt, NonClient)
            : Target == T.Wnd && (NonClient ? Hit != HTCLIENT && Hit != HTNOWHERE : Hit == HTCLIENT);
    if (!Over) {
        // Leaving ends every kind of tracking.
        const bool Leave = (T.Flags & TME_LEAVE) != 0;
        const HWND H = T.Wnd;
        StopTracking();
        if (Leave) PostMessage(H, NonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return;
    }
    T.Point = Pt;
    if (NonClient && Target == T.Wnd) T.Hit = Hit;
    if ((T.Flags & TME_HOVER) && !PtInRect(T.HoverRect, Pt)) StartRest(Pt, Time);
}

// Asks the windows under the point, children first; HTTRANSPARENT passes to the next.
void Route(POINT Pt, HWND& Target, int& Hit) {
    std::vector<HWND> List;
    for (TQvWnd* W : QvHitCandidates(Pt, false)) List.push_back(W->Handle);
    S().Probes = 0;
    for (HWND H : List) {
        TQvWnd* W = QvWnd(H);
        if (W == nullptr) continue;
        if (!W->Enabled()) {
            Target = H;
            Hit = HTERROR;
            return;
        }
        const int R = static_cast<int>(QvSend(H, WM_NCHITTEST, 0, MAKELPARAM(Pt.X, Pt.Y)));
        if (R != HTTRANSPARENT && QvWnd(H) != nullptr) {
            Target = H;
            Hit = R;
            return;
        }
    }
    Target = nullptr;
    Hit = HTNOWHERE;
}

// A press on a window disabled by a modal loop raises the enabled window it owns.
void ActivateEnabledPopup(HWND Disabled) {
    TQvWnd* Top = QvTopLevel(QvWnd(Disabled));
    if (Top == nullptr) return;
    for (TQvWnd* Z : QvZOrder()) {
        TQvWnd* O = Z->Owner;
        while (O != nullptr && O != Top) O = O->Owner;
        if (O == Top && Z->Visible() && Z->Enabled() && !(Z->ExStyle & WS_EX_NOACTIVATE)) {
            SetActiveWindow(Z->Handle);
            return;
        }
    }
}

bool ConvertMouse(const TRaw& E, MSG& M) {
    if (E.Kind == ikDown || E.Kind == ikUp) SetKey(S().Keys, ButtonVk[E.Button], E.Kind == ikDown);
    const POINT Pt = E.Pt;
    HWND Target = nullptr;
    int Hit = HTCLIENT;
    const bool Captured = QvWnd(S().Capture) != nullptr;
    if (Captured)
        Target = S().Capture;
    else
        Route(Pt, Target, Hit);
    S().LastTarget = Target;
    S().LastHit = Hit;
    CheckTrack(Target, Hit, Pt, E.Time);
    if (Target == nullptr) return false;
    const bool Client = Hit == HTCLIENT;
    UINT Msg = E.Kind == ikMove ? (Client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE)
                                : (Client ? ButtonMsg[E.Button] : NcButtonMsg[E.Button]) + (E.Kind == ikUp ? 1 : 0);
    if (Hit == HTERROR) {
        QvSend(Target, WM_SETCURSOR, reinterpret_cast<WPARAM>(Target), MAKELPARAM(HTERROR, static_cast<int>(Msg)));
        if (E.Kind == ikDown) ActivateEnabledPopup(Target);
        return false;
    }
    if (E.Kind == ikDown) {
        TClick& L = S().LastClick;
        const bool Pair = L.Valid && L.Button == E.Button && L.Wnd == Target && L.NonClient == !Client &&
                          E.Time - L.Time <= DoubleClickTime &&
                          PtInRect(Rect(L.Pt.X - DoubleClickSize / 2, L.Pt.Y - DoubleClickSize / 2,
                                        L.Pt.X + DoubleClickSize / 2, L.Pt.Y + DoubleClickSize / 2),
                                   Pt);
        if (Pair) {
            L.Valid = false;
            const TQvWnd* W = QvWnd(Target);
            if (!Client || (W->Class->Style & CS_DBLCLKS)) Msg += 2;
        } else {
            L = TClick{true, E.Button, Target, !Client, E.Time, Pt};
        }
        if (!Captured && Target != GetActiveWindow()) {
            TQvWnd* Top = QvTopLevel(QvWnd(Target));
            const HWND TopH = Top->Handle;
            const int R = static_cast<int>(
                QvSend(Target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(TopH), MAKELPARAM(Hit, static_cast<int>(Msg))));
            if (R != MA_NOACTIVATE && R != MA_NOACTIVATEANDEAT && TopH != GetActiveWindow())
                QvActivate(TopH, WA_CLICKACTIVE, true);
            if (R == MA_ACTIVATEANDEAT || R == MA_NOACTIVATEANDEAT) return false;
            if (QvWnd(Target) == nullptr) return false;
        }
    }
    if (!Captured) {
        QvSend(Target, WM_SETCURSOR, reinterpret_cast<WPARAM>(Target), MAKELPARAM(Hit, static_cast<int>(Msg)));
        if (QvWnd(Target) == nullptr) return false;
        // Something asked about another point meanwhile: the window hears about this point
        // again right before its mouse message.
        if (S().Probes != 0) QvSend(Target, WM_NCHITTEST, 0, MAKELPARAM(Pt.X, Pt.Y));
        if (QvWnd(Target) == nullptr) return false;
    }
    M = MSG{};
    M.hwnd = Target;
    M.message = Msg;
    M.time = static_cast<DWORD>(E.Time);
    M.pt = Pt;
    if (Client) {
        const POINT O = QvClientOrigin(QvWnd(Target));
        M.wParam = MouseKeys(S().Keys);
        M.lParam = MAKELPARAM(Pt.X - O.X, Pt.Y - O.Y);
    } else {
        M.wParam = static_cast<WPARAM>(Hit);
        M.lParam = MAKELPARAM(Pt.X, Pt.Y);
    }
    return true;
}

HWND KeyTarget() {
    if (QvWnd(S().Focus)) return S().Focus;
    const HWND A = GetActiveWindow();
    return QvWnd(A) ? A : nullptr;
}

bool Convert(const TRaw& E, MSG& M) {
    switch (E.Kind) {
        case ikMove:
        case ikDown:
        case ikUp: return ConvertMouse(E, M);
        case ikWheel: {
            HWND Target = KeyTarget();
            if (Target == nullptr) {
                TQvWnd* W = GeometricTarget(E.Pt);
                if (W == nullptr) return false;
                Target = W->Handle;
            }
            const UINT Msg = E.Horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
            M = MSG{Target, Msg, MAKEWPARAM(static_cast<int>(MouseKeys(S().Keys)), E.Delta),
                    MAKELPARAM(E.Pt.X, E.Pt.Y), static_cast<DWORD>(E.Time), E.Pt};
            return true;
        }
        case ikKey: {
            const bool WasDown = Down(S().Keys, E.Vk);
            SetKey(S().Keys, E.Vk, E.Down);
            const HWND Target = KeyTarget();
            if (Target == nullptr) return false;
            const bool Alt = Down(S().Keys, VK_MENU);
            const bool Ctrl = Down(S().Keys, VK_CONTROL);
            const bool Sys = (Alt && !Ctrl) || E.Vk == VK_MENU || E.Vk == VK_F10 || QvWnd(S().Focus) == nullptr;
            const UINT Msg = E.Down ? (Sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (Sys ? WM_SYSKEYUP : WM_KEYUP);
            LPARAM L = 1 | static_cast<LPARAM>((E.Scan & 0xFF) << 16);
            if (E.Extended) L |= KF_EXTENDED_BIT;
            if (Alt) L |= KF_ALTDOWN_BIT;
            if (WasDown || !E.Down) L |= KF_REPEAT_BIT;
            if (!E.Down) L |= KF_UP_BIT;
            M = MSG{Target, Msg, static_cast<WPARAM>(E.Vk), L, static_cast<DWORD>(E.Time), S().Cursor};
            return true;
        }
        case ikChar: {
            const HWND Target = KeyTarget();
            if (Target == nullptr) return false;
            M = MSG{Target, WM_CHAR, E.Ch, 1, static_cast<DWORD>(E.Time), S().Cursor};
            return true;
        }
        case ikMade: {
            M = MSG{};
            if (!E.Make(KeyTarget(), M)) return false;
            M.time = static_cast<DWORD>(E.Time);
            M.pt = S().Cursor;
            return QvWnd(M.hwnd) != nullptr;
        }
    }
    return false;
}

bool Matches(const MSG& M, HWND Filter, UINT Min, UINT Max) {
    if (Filter != nullptr && M.hwnd != Filter) return false;
    return (Min == 0 && Max == 0) || (M.message >= Min && M.message <= Max);
}

void Push(TRaw E) {
    E.Time = QvBackend().Now();
    S().Raw.push_back(E);
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

bool QvTakeInput(MSG& Msg, HWND Filter, UINT Min, UINT Max, bool Remove) {
    for (;;) {
        if (!S().HavePending) {
            auto& Q = S().Raw;
            if (Q.empty()) return false;
            while (Q.size() >= 2 && Q[0].Kind == ikMove && Q[1].Kind == ikMove &&
                   GeometricTarget(Q[0].Pt) == GeometricTarget(Q[1].Pt))
                Q.pop_front();
            const TRaw E = Q.front();
            Q.pop_front();
            MSG M;
            try {
                if (!Convert(E, M)) continue;
            } catch (const EQvStalled&) {
                throw;
            } catch (...) {
                QvReportDispatchException(std::current_exception());
                continue;
            }
            S().Pending = M;
            S().PendingRaw = E;
            S().PendingTime = E.Time;
            S().HavePending = true;
        }
        if (QvWnd(S().Pending.hwnd) == nullptr) {
            S().HavePending = false;
            continue;
        }
        if (!Matches(S().Pending, Filter, Min, Max)) return false;
        Msg = S().Pending;
        if (Remove) S().HavePending = false;
        return true;
    }
}

void QvInputRetarget() {
    if (!S().HavePending) return;
    S().Raw.push_front(S().PendingRaw);
    S().HavePending = false;
}

bool QvHasInput() { return S().HavePending || !S().Raw.empty(); }

std::optional<uint64_t> QvInputPendingSince() {
    if (S().HavePending) return S().PendingTime;
    if (!S().Raw.empty()) return S().Raw.front().Time;
    return std::nullopt;
}

void QvNoteHitTestProbe() { ++S().Probes; }

void QvInputWindowGone(TQvWnd* W) {
    const HWND H = W->Handle;
    if (S().Capture == H) S().Capture = nullptr;
    if (S().Focus == H) S().Focus = nullptr;
    if (S().Track.Wnd == H) StopTracking();
    if (S().LastTarget == H) S().LastTarget = nullptr;
    if (S().LastClick.Wnd == H) S().LastClick.Valid = false;
    if (S().HavePending && S().Pending.hwnd == H) S().HavePending = false;
}

// ---- Capture and focus -----------------------------------------------------------------

HWND SetCapture(HWND Wnd) {
    const HWND Old = QvWnd(S().Capture) ? S().Capture : nullptr;
    if (QvWnd(Wnd) == nullptr) return nullptr;
    S().Capture = Wnd;
    if (Old == nullptr) QvBackend().CaptureChanged(true);
    if (Old != nullptr && Old != Wnd) QvSend(Old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(Wnd));
    return Old;
}

BOOL ReleaseCapture() {
    const HWND Old = S().Capture;
    S().Capture = nullptr;
    if (Old != nullptr) QvBackend().CaptureChanged(false);
    if (QvWnd(Old) != nullptr) QvSend(Old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return QvWnd(S().Capture) ? S().Capture : nullptr; }

HWND SetFocus(HWND Wnd) {
    if (Wnd != nullptr) {
        TQvWnd* W = QvWnd(Wnd);
        if (W == nullptr || W->MessageOnly) return nullptr;
        TQvWnd* Top = QvTopLevel(W);
        if (Top->ExStyle & WS_EX_NOACTIVATE) return nullptr;
        if (S().Focus == Wnd) return Wnd;
        if (GetActiveWindow() != Top->Handle && !QvActivate(Top->Handle, WA_ACTIVE, false)) return nullptr;
        if (QvWnd(Wnd) == nullptr) return nullptr;
    }
    const HWND Old = QvWnd(S().Focus) ? S().Focus : nullptr;
    if (Old == Wnd) return Old;
    S().Focus = Wnd;
    if (Old != nullptr) QvSend(Old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Wnd), 0);
    if (Wnd != nullptr && S().Focus == Wnd && QvWnd(Wnd) != nullptr)
        QvSend(Wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(Old), 0);
    return Old;
}

HWND GetFocus() { return QvWnd(S().Focus) ? S().Focus : nullptr; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* E) {
    if (E == nullptr || E->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
    TTrack& T = S().Track;
    if (E->dwFlags & TME_QUERY) {
        const bool Live = QvWnd(T.Wnd) != nullptr;
        E->dwFlags = Live ? T.Flags : 0;
        E->hwndTrack = Live ? T.Wnd : nullptr;
        E->dwHoverTime = Live && (T.Flags & TME_HOVER) ? T.HoverTime : 0;
        return TRUE;
    }
    const DWORD What = E->dwFlags & (TME_HOVER | TME_LEAVE);
    const DWORD Area = E->dwFlags & TME_NONCLIENT;
    if (What == 0 || (E->dwFlags & ~(TME_HOVER | TME_LEAVE | TME_NONCLIENT | TME_CANCEL))) return FALSE;
    TQvWnd* W = QvWnd(E->hwndTrack);
    if (W == nullptr) return FALSE;
    const bool Same = T.Wnd == E->hwndTrack && (T.Flags & TME_NONCLIENT) == Area;
    if (E->dwFlags & TME_CANCEL) {
        if (Same) {
            T.Flags &= ~What;
            if (!(T.Flags & TME_HOVER)) QvKillSysTimer(stMouseHover);
            if (!(T.Flags & (TME_HOVER | TME_LEAVE))) StopTracking();
        }
        return TRUE;
    }
    const POINT Pt = S().Cursor;
    if (!OverArea(W, Pt, Area != 0)) {
        if (What & TME_LEAVE) PostMessage(E->hwndTrack, Area ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    // Tracking another window or area forgets the previous request.
    if (!Same) {
        StopTracking();
        T.Wnd = E->hwndTrack;
        T.Flags = Area;
        T.Hit = S().LastTarget == T.Wnd ? S().LastHit : HTNOWHERE;
    }
    T.Flags |= What;
    T.Point = Pt;
    if (What & TME_HOVER) {
        T.HoverTime = E->dwHoverTime;
        if (T.HoverTime == HOVER_DEFAULT) SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, &T.HoverTime, 0);
        StartRest(Pt, QvBackend().Now());
    }
    return TRUE;
}

// ---- Keyboard and pointer --------------------------------------------------------------

SHORT GetKeyState(int VirtKey) {
    const BYTE K = S().Keys[VirtKey & 0xFF];
    return static_cast<SHORT>(((K & 0x80) ? 0x8000 : 0) | (K & 0x01));
}

SHORT GetAsyncKeyState(int VirtKey) { return static_cast<SHORT>((S().AsyncKeys[VirtKey & 0xFF] & 0x80) ? 0x8000 : 0); }

BOOL GetCursorPos(POINT* P) {
    if (P == nullptr || !QvBackend().CursorPosAvailable()) return FALSE;
    *P = QvBackend().PointerPos().value_or(S().Cursor);
    return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
    const POINT Pt{QvClampCoord(X), QvClampCoord(Y)};
    QvBackend().WarpPointer(Pt);
    QvInputMouseMove(Pt);
    return TRUE;
}

UINT GetDoubleClickTime() { return static_cast<UINT>(DoubleClickTime); }

HCURSOR LoadCursor(HINSTANCE, int Id) {
    for (int C : StandardCursors)
        if (C == Id) return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(Id));
    return nullptr;
}

HCURSOR SetCursor(HCURSOR Cursor) {
    const HCURSOR Old = S().CursorShape;
    S().CursorShape = Cursor;
    if (Old != Cursor) QvBackend().CursorChanged(Cursor);
    return Old;
}

HCURSOR GetCursor() { return S().CursorShape; }

int QvCursorId(HCURSOR Cursor) {
    const auto V = reinterpret_cast<uintptr_t>(Cursor);
    for (int C : StandardCursors)
        if (static_cast<uintptr_t>(C) == V) return C;
    return 0;
}

// ---- Raw input -------------------------------------------------------------------------

void QvInputMouseMove(POINT Screen) {
    Screen = POINT{QvClampCoord(Screen.X), QvClampCoord(Screen.Y)};
    S().Cursor = Screen;
    TRaw E;
    E.Kind = ikMove;
    E.Pt = Screen;
    Push(E);
}

void QvInputPointerLeft(POINT Screen) {
    Screen = POINT{QvClampCoord(Screen.X), QvClampCoord(Screen.Y)};
    S().Cursor = Screen;
    // Taken in its place among the rest of the input; a captured pointer keeps moving.
    QvInputMessage([](HWND, MSG&) {
        if (QvWnd(S().Capture) != nullptr) return false;
        const TTrack T = S().Track;
        StopTracking();
        S().LastTarget = nullptr;
        if (QvWnd(T.Wnd) != nullptr && (T.Flags & TME_LEAVE))
            PostMessage(T.Wnd, (T.Flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return false;
    });
}

void QvInputMouseButton(TQvButton Button, bool IsDown) {
    const int B = static_cast<int>(Button);
    SetKey(S().AsyncKeys, ButtonVk[B], IsDown);
    TRaw E;
    E.Kind = IsDown ? ikDown : ikUp;
    E.Button = B;
    E.Pt = S().Cursor;
    Push(E);
}

void QvInputWheel(int Delta, bool Horizontal) {
    TRaw E;
    E.Kind = ikWheel;
    E.Delta = Delta;
    E.Horizontal = Horizontal;
    E.Pt = S().Cursor;
    Push(E);
}

void QvInputKey(int VirtKey, UINT ScanCode, bool IsDown, bool Extended) {
    SetKey(S().AsyncKeys, VirtKey, IsDown);
    TRaw E;
    E.Kind = ikKey;
    E.Vk = VirtKey & 0xFF;
    E.Scan = ScanCode;
    E.Down = IsDown;
    E.Extended = Extended;
    Push(E);
}

void QvInputText(std::u16string_view Text) {
    for (Char C : Text) {
        TRaw E;
        E.Kind = ikChar;
        E.Ch = C;
        Push(E);
    }
}

void QvInputMessage(TQvInputMaker Make) {
    TRaw E;
    E.Kind = ikMade;
    E.Make = std::move(Make);
    Push(std::move(E));
}
