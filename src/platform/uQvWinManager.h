#pragma once
// What a window manager does to our top-level windows on its own, fed by a backend that
// shows them natively. Each call turns it into what our own frame would have done, so
// handlers see the same messages either way.

#include "platform/uQvWinTypes.h"

// The native window of Top gained the keyboard focus (it becomes the active window), or
// lost it to another program (the application is deactivated).
void QvWmFocus(HWND Top, bool Gained);
// A close, minimize, maximize or restore request from the window manager: posted as
// WM_SYSCOMMAND (SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE) so handlers may refuse it.
void QvWmSysCommand(HWND Top, UINT Command);
// The window manager moved or sized the window (screen coordinates): our rectangle follows
// what the display reports, with the usual position-change messages.
void QvWmPlaced(HWND Top, const RECT& Screen);
// The display lost these pixels of the window (window coordinates; null: all of it): they
// are presented again when the loop next waits.
void QvWmExpose(HWND Top, const RECT* Part);
// A compositor started or stopped: what DisplayCaps says changed. Every top-level window
// gets WM_DWMCOMPOSITIONCHANGED posted, so what chose a fallback chooses again.
void QvWmCompositionChanged();
