#include "platform/uQvMessages.h"

#include <deque>

#include "platform/uQvBackend.h"
#include "platform/uQvInput.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinState.h"

namespace {

struct TState {
    std::deque<MSG> Posted;
    bool Quit = false;
    int QuitCode = 0;
    DWORD LastTime = 0;
    POINT LastPos;
    TQvExceptionHandler Handler;
};

TState& S() { return QvWinState<TState>(); }

TQvExceptionHandler& Handler() { return S().Handler; }

bool InRange(UINT Msg, UINT Min, UINT Max) { return (Min == 0 && Max == 0) || (Msg >= Min && Msg <= Max); }

bool TakePosted(MSG& Msg, HWND Filter, UINT Min, UINT Max, bool Remove) {
    auto& Q = S().Posted;
    for (auto It = Q.begin(); It != Q.end();) {
        if (It->hwnd != nullptr && QvWnd(It->hwnd) == nullptr) {
            It = Q.erase(It);
            continue;
        }
        if ((Filter == nullptr || It->hwnd == Filter) && InRange(It->message, Min, Max)) {
            Msg = *It;
            if (Remove) Q.erase(It);
            return true;
        }
        ++It;
    }
    return false;
}

std::string Describe(std::exception_ptr E) {
    try {
        std::rethrow_exception(E);
    } catch (const std::exception& X) {
        return X.what();
    } catch (...) {
        return "unknown exception";
    }
}

// Calls a procedure, keeping the loop alive whatever it throws.
template <typename F>
LRESULT Guarded(F&& Call) {
    try {
        return Call();
    } catch (const EQvStalled&) {
        throw;
    } catch (...) {
        QvReportDispatchException(std::current_exception());
        return 0;
    }
}

}  // namespace

void QvReportDispatchException(std::exception_ptr E) {
    if (Handler()) {
        TQvExceptionHandler H = Handler();
        H(E);
    } else {
        QvBackend().ReportException(Describe(E));
    }
}

void QvSetExceptionHandler(TQvExceptionHandler H) { Handler() = std::move(H); }

BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd != nullptr && QvWnd(Wnd) == nullptr) return FALSE;
    MSG M;
    M.hwnd = Wnd;
    M.message = Msg;
    M.wParam = WParam;
    M.lParam = LParam;
    M.time = GetTickCount();
    GetCursorPos(&M.pt);
    S().Posted.push_back(M);
    return TRUE;
}

void PostQuitMessage(int ExitCode) {
    S().Quit = true;
    S().QuitCode = ExitCode;
}

BOOL PeekMessage(MSG* Msg, HWND Filter, UINT Min, UINT Max, UINT RemoveFlags) {
    if (Msg == nullptr) return FALSE;
    const bool Remove = (RemoveFlags & PM_REMOVE) != 0;
    QvRunSysTimers(QvInputPendingSince());
    MSG M;
    bool Got = TakePosted(M, Filter, Min, Max, Remove);
    if (!Got && S().Quit && Filter == nullptr && InRange(WM_QUIT, Min, Max)) {
        M = MSG{};
        M.message = WM_QUIT;
        M.wParam = static_cast<WPARAM>(S().QuitCode);
        M.time = GetTickCount();
        GetCursorPos(&M.pt);
        if (Remove) S().Quit = false;
        Got = true;
    }
    if (!Got) Got = QvTakeInput(M, Filter, Min, Max, Remove);
    // Taking input may have posted something (WM_MOUSELEAVE for a pointer that left).
    if (!Got) Got = TakePosted(M, Filter, Min, Max, Remove);
    if (!Got) Got = QvTakePaint(M, Filter, Min, Max);
    if (!Got) Got = QvTakeTimer(M, Filter, Min, Max, Remove);
    if (!Got) return FALSE;
    if (M.message == WM_TIMER || M.message == WM_PAINT) {
        M.time = GetTickCount();
        GetCursorPos(&M.pt);
    }
    *Msg = M;
    S().LastTime = M.time;
    S().LastPos = M.pt;
    return TRUE;
}

BOOL WaitMessage() {
    MSG M;
    if (PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    QvScreenPresent();
    std::optional<uint64_t> Deadline = QvNextTimerDeadline();
    QvBackend().Wait(Deadline);
    return TRUE;
}

BOOL GetMessage(MSG* Msg, HWND Filter, UINT Min, UINT Max) {
    if (Msg == nullptr) return FALSE;
    while (!PeekMessage(Msg, Filter, Min, Max, PM_REMOVE)) {
        std::optional<uint64_t> Deadline = QvNextTimerDeadline();
        // A due timer the filter hides must not turn the wait into a busy loop.
        if (Deadline && *Deadline <= QvBackend().Now()) Deadline.reset();
        QvScreenPresent();
        QvBackend().Wait(Deadline);
    }
    return Msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG* Msg) {
    if (Msg == nullptr) return FALSE;
    if (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN) {
        return Msg->message == WM_KEYUP || Msg->message == WM_SYSKEYUP;
    }
    const int Vk = static_cast<int>(Msg->wParam);
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool Shift = GetKeyState(VK_SHIFT) < 0;
    const bool Alt = (Msg->lParam & KF_ALTDOWN_BIT) != 0;
    Char C = 0;
    switch (Vk) {
        case VK_BACK: C = 8; break;
        case VK_TAB: C = 9; break;
        case VK_RETURN: C = 13; break;
        case VK_ESCAPE: C = 27; break;
        default:
            if (Vk >= 'A' && Vk <= 'Z') {
                if (Ctrl && !Alt)
                    C = static_cast<Char>(Vk - 'A' + 1);
                else if (Alt && !Ctrl)
                    C = static_cast<Char>(Shift ? Vk : Vk + 32);
            } else if (Vk >= '0' && Vk <= '9' && Alt && !Ctrl) {
                C = static_cast<Char>(Vk);
            }
    }
    if (C == 0) return TRUE;
    MSG M = *Msg;
    M.message = Msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    M.wParam = C;
    S().Posted.push_front(M);
    return TRUE;
}

LRESULT DispatchMessage(const MSG* Msg) {
    if (Msg == nullptr) return 0;
    if (Msg->message == WM_TIMER) {
        if (!QvTimerExists(Msg->hwnd, Msg->wParam)) return 0;
        if (Msg->lParam != 0) {
            auto Proc = reinterpret_cast<TIMERPROC>(Msg->lParam);
            return Guarded([&] {
                Proc(Msg->hwnd, WM_TIMER, Msg->wParam, Msg->time);
                return LRESULT{0};
            });
        }
    }
    TQvWnd* W = QvWnd(Msg->hwnd);
    if (W == nullptr) return 0;
    const LRESULT R = Guarded([&] { return QvCallProc(W, Msg->message, Msg->wParam, Msg->lParam); });
    if (Msg->message == WM_PAINT) QvPaintDispatched(Msg->hwnd);
    return R;
}

DWORD GetMessageTime() { return S().LastTime; }

DWORD GetMessagePos() { return static_cast<DWORD>(MAKELPARAM(S().LastPos.X, S().LastPos.Y)); }
