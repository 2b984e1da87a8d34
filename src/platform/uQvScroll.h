#pragma once
// Scrolling: the scroll information kept per window, and moving pixels of a window or DC
// with what the move exposes handed back (and, for windows, invalidated).

#include "platform/uQvWinTypes.h"

// ---- Scroll information ----------------------------------------------------------------
// Kept per window and bar (SB_HORZ, SB_VERT) whatever the styles; never drawn. The position
// is clamped to [min, max - max(page - 1, 0)]. GetScrollInfo fails until the bar was set.
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max);

// ---- Moving pixels ---------------------------------------------------------------------
inline constexpr UINT SW_SCROLLCHILDREN = 0x0001;
inline constexpr UINT SW_INVALIDATE = 0x0002;
inline constexpr UINT SW_ERASE = 0x0004;
inline constexpr UINT SW_SMOOTHSCROLL = 0x0010;  // accepted; scrolls at once

// Moves the pixels of Scroll by (Dx, Dy); only pixels that land inside Clip change. Both
// rectangles are logical; Scroll defaults to the DC's clip box, Clip to Scroll. Pixels
// come only from the DC's visible clip and go only into it. The part of Scroll and Clip
// the move left without new pixels goes to UpdateRgn and (its box) UpdateRect, in device
// coordinates (client coordinates for a window's DC). FALSE for an unknown DC or region.
BOOL ScrollDC(HDC Dc, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN UpdateRgn, RECT* UpdateRect);

// Scrolls the client area part Scroll (null: all of it) by (Dx, Dy) within Clip (null:
// Scroll), in client coordinates: the pixels move, the window's update region inside moves
// along, and what is exposed is handed back in UpdateRgn / UpdateRect and, with
// SW_INVALIDATE, invalidated (SW_ERASE: with an erase). SW_SCROLLCHILDREN moves the child
// windows that meet Scroll (all of them without it). A caret of the window is hidden
// meanwhile and moves along when it lies in Scroll. Child windows whose pixels moved while
// they stayed are repainted. Returns the complexity of the exposed region, ERROR (0) for a
// dead window or an unknown region.
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN UpdateRgn,
                   RECT* UpdateRect, UINT Flags);
// ScrollWindowEx with SW_INVALIDATE | SW_ERASE, and SW_SCROLLCHILDREN when Scroll is null.
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip);
