#pragma once
// Window timers and the clock, all on the backend clock (virtual in the headless backend).
// WM_TIMER is made when the queue is retrieved, after posted messages, input and painting,
// earliest deadline first; at most one is pending per timer and missed periods fold into
// one tick. A timer keeps its phase: the next deadline is the first multiple of the interval
// after the current time.

#include <cstdint>

#include "platform/uQvWinTypes.h"

// One timer per (window, id); setting it again restarts it with the new interval. Intervals
// below 10 ms run at 10 ms. Without a window a new id is returned (or Id's timer restarted).
// Returns 0 when the window is dead.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse, TIMERPROC Proc);
// FALSE when no such timer existed. No tick of a killed timer is delivered afterwards.
BOOL KillTimer(HWND Wnd, UINT_PTR Id);

// Milliseconds on the backend clock; the 32-bit count wraps around.
DWORD GetTickCount();
uint64_t GetTickCount64();
// Presents what was painted, then blocks without dispatching anything (the headless clock
// simply advances).
void Sleep(DWORD Ms);
