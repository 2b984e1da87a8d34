#pragma once
// The caret: one for the program, owned by a window, a rectangle of the owner's client area
// drawn by inverting its pixels (drawing it again restores them), blinking on the backend
// clock: on for the blink time, off for as long, starting on whenever it is shown or moved.
//
// It is created hidden; HideCaret and ShowCaret nest. The window system takes it off while
// a window DC that could draw over it is held (BeginPaint to EndPaint, GetDC to ReleaseDC),
// so painting never leaves caret pixels behind. It goes with its window.

#include "platform/uQvWinTypes.h"

inline constexpr UINT INFINITE = 0xFFFFFFFF;

// Bitmap 0: a solid caret of Width x Height (0 gives SM_CXBORDER / SM_CYBORDER); 1: a gray
// (checkered) one; else the caret inverts where the bitmap is white and takes its size.
// Replaces the caret of any window. FALSE for a dead window or an unknown bitmap.
BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height);
// FALSE when there is no caret.
BOOL DestroyCaret();
// Wnd 0 means the caret's window; FALSE when there is no caret or Wnd does not own it.
// ShowCaret undoes one HideCaret (the caret shows when none is left).
BOOL HideCaret(HWND Wnd);
BOOL ShowCaret(HWND Wnd);
// Client coordinates of the caret's window; FALSE when there is no caret.
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(POINT* Point);
// Milliseconds on and off (530 by default, INFINITE: always on); 0 is refused. Kept for
// the program, whether a caret exists or not.
BOOL SetCaretBlinkTime(UINT Ms);
UINT GetCaretBlinkTime();
