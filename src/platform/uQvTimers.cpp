#include "platform/uQvTimers.h"

#include <algorithm>

#include "platform/uQvBackend.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinState.h"

namespace {

struct TTimer {
    HWND Wnd;
    UINT_PTR Id;
    UINT Interval;
    uint64_t Due;
    TIMERPROC Proc;
    uint64_t Seq;  // creation order breaks ties between equal deadlines
};

// A timer of the window system itself: no message, a call when it is due.
struct TSysTimer {
    TQvSysTimer Key;
    uint64_t Due;
    std::function<void()> Fire;
};

struct TState {
    std::vector<TTimer> Timers;
    std::vector<TSysTimer> SysTimers;
    uint64_t Seq = 0;
    UINT_PTR NextThreadId = 1;
};

TState& S() { return QvWinState<TState>(); }

constexpr UINT MinInterval = 10;
constexpr UINT MaxInterval = 0x7FFFFFFF;

TTimer* Find(HWND Wnd, UINT_PTR Id) {
    for (TTimer& T : S().Timers)
        if (T.Wnd == Wnd && T.Id == Id) return &T;
    return nullptr;
}

}  // namespace

UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse, TIMERPROC Proc) {
    if (Wnd != nullptr && QvWnd(Wnd) == nullptr) return 0;
    const UINT Interval = std::clamp(Elapse, MinInterval, MaxInterval);
    const uint64_t Due = QvBackend().Now() + Interval;
    if (Wnd == nullptr && (Id == 0 || Find(nullptr, Id) == nullptr)) Id = S().NextThreadId++;
    if (TTimer* T = Find(Wnd, Id)) {
        T->Interval = Interval;
        T->Due = Due;
        T->Proc = Proc;
        T->Seq = ++S().Seq;
    } else {
        S().Timers.push_back(TTimer{Wnd, Id, Interval, Due, Proc, ++S().Seq});
    }
    return (Wnd != nullptr && Id == 0) ? 1 : Id;
}

BOOL KillTimer(HWND Wnd, UINT_PTR Id) {
    auto& Ts = S().Timers;
    auto It = std::find_if(Ts.begin(), Ts.end(), [&](const TTimer& T) { return T.Wnd == Wnd && T.Id == Id; });
    if (It == Ts.end()) return FALSE;
    Ts.erase(It);
    return TRUE;
}

DWORD GetTickCount() { return static_cast<DWORD>(QvBackend().Now()); }

uint64_t GetTickCount64() { return QvBackend().Now(); }

void Sleep(DWORD Ms) {
    // What was painted shows before the thread blocks, as painting into a window does at
    // once on the original platform: a loop that paints and sleeps (the splash's loading
    // job) is seen while it runs.
    QvScreenPresent();
    QvBackend().Sleep(Ms);
}

void QvTimersWindowGone(HWND Handle) {
    auto& Ts = S().Timers;
    Ts.erase(std::remove_if(Ts.begin(), Ts.end(), [&](const TTimer& T) { return T.Wnd == Handle; }), Ts.end());
}

void QvSetSysTimer(TQvSysTimer Key, uint64_t Due, std::function<void()> Fire) {
    QvKillSysTimer(Key);
    S().SysTimers.push_back(TSysTimer{Key, Due, std::move(Fire)});
}

void QvKillSysTimer(TQvSysTimer Key) {
    auto& Ts = S().SysTimers;
    Ts.erase(std::remove_if(Ts.begin(), Ts.end(), [&](const TSysTimer& T) { return T.Key == Key; }),
             Ts.end());
}

void QvRunSysTimers(std::optional<uint64_t> InputSince) {
    // Input that came before a deadline is taken first: the pointer may have moved on.
    const uint64_t Limit = InputSince ? std::min(*InputSince, QvBackend().Now()) : QvBackend().Now();
    for (;;) {
        auto& Ts = S().SysTimers;
        auto It = std::min_element(Ts.begin(), Ts.end(),
                                   [](const TSysTimer& A, const TSysTimer& B) { return A.Due < B.Due; });
        if (It == Ts.end() || It->Due > Limit) return;
        // One shot: the call sets the timer again when it wants another.
        std::function<void()> Fire = std::move(It->Fire);
        Ts.erase(It);
        Fire();
    }
}

bool QvTakeTimer(MSG& Msg, HWND Filter, UINT Min, UINT Max, bool Remove) {
    if ((Min != 0 || Max != 0) && (WM_TIMER < Min || WM_TIMER > Max)) return false;
    const uint64_t Now = QvBackend().Now();
    TTimer* Best = nullptr;
    for (TTimer& T : S().Timers) {
        if (T.Due > Now || (Filter != nullptr && T.Wnd != Filter)) continue;
        if (Best == nullptr || T.Due < Best->Due || (T.Due == Best->Due && T.Seq < Best->Seq)) Best = &T;
    }
    if (Best == nullptr) return false;
    Msg.hwnd = Best->Wnd;
    Msg.message = WM_TIMER;
    Msg.wParam = Best->Id;
    Msg.lParam = reinterpret_cast<LPARAM>(Best->Proc);
    Msg.time = static_cast<DWORD>(Now);
    if (Remove) Best->Due += (Now - Best->Due) / Best->Interval * Best->Interval + Best->Interval;
    return true;
}

std::optional<uint64_t> QvNextTimerDeadline() {
    std::optional<uint64_t> Next;
    for (const TTimer& T : S().Timers)
        if (!Next || T.Due < *Next) Next = T.Due;
    for (const TSysTimer& T : S().SysTimers)
        if (!Next || T.Due < *Next) Next = T.Due;
    return Next;
}

bool QvTimerExists(HWND Handle, UINT_PTR Id) { return Find(Handle, Id) != nullptr; }

TIMERPROC QvTimerProc(HWND Handle, UINT_PTR Id) {
    const TTimer* T = Find(Handle, Id);
    return T != nullptr ? T->Proc : nullptr;
}
