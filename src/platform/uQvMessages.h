#pragma once
// The message queue. Sent messages are direct calls (platform/uQvWindows.h); retrieval
// takes posted messages (first in, first out), then WM_QUIT, then input (converted to
// messages only when it is retrieved, so the hit test comes right before the mouse
// message), then painting, then due timers. Consecutive mouse moves over one window fold
// into the last one.
//
// An exception escaping a window procedure is caught by DispatchMessage and handed to the
// exception handler (by default the backend, which records or reports it); the loop goes
// on. EQvStalled (a waiting loop that can never wake) is let through.

#include <exception>
#include <functional>

#include "platform/uQvWinTypes.h"

// Posting to a dead window fails; messages of a window destroyed meanwhile are dropped.
// Wnd 0 posts a message with no window (DispatchMessage ignores it unless it is a timer).
BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(int ExitCode);
// Filter: only messages of that window; Min..Max: only those numbers (0, 0: all).
BOOL PeekMessage(MSG* Msg, HWND Filter, UINT Min, UINT Max, UINT RemoveFlags);
// Waits on the backend until a message comes; FALSE for WM_QUIT.
BOOL GetMessage(MSG* Msg, HWND Filter, UINT Min, UINT Max);
// Waits until a message can be retrieved.
BOOL WaitMessage();
// Posts WM_CHAR / WM_SYSCHAR ahead of everything else for the keys that make a control
// character (Back, Tab, Enter, Esc, Ctrl+A..Z) and for Alt+letter or digit; printable
// characters arrive as text input.
BOOL TranslateMessage(const MSG* Msg);
LRESULT DispatchMessage(const MSG* Msg);
// Time and cursor position of the message last retrieved.
DWORD GetMessageTime();
DWORD GetMessagePos();

// Receives exceptions caught at dispatch; an empty handler restores the default.
using TQvExceptionHandler = std::function<void(std::exception_ptr)>;
void QvSetExceptionHandler(TQvExceptionHandler Handler);
