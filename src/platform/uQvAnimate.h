#pragma once
// AnimateWindow: showing and hiding top-level windows with a fade, a roll, a slide or from
// the centre, on the backend clock (the headless clock simply advances).

#include "platform/uQvWinTypes.h"

inline constexpr DWORD AW_HOR_POSITIVE = 0x00000001;
inline constexpr DWORD AW_HOR_NEGATIVE = 0x00000002;
inline constexpr DWORD AW_VER_POSITIVE = 0x00000004;
inline constexpr DWORD AW_VER_NEGATIVE = 0x00000008;
inline constexpr DWORD AW_CENTER = 0x00000010;
inline constexpr DWORD AW_HIDE = 0x00010000;
inline constexpr DWORD AW_ACTIVATE = 0x00020000;
inline constexpr DWORD AW_SLIDE = 0x00040000;
inline constexpr DWORD AW_BLEND = 0x00080000;

// Shows (ShowWindow SW_SHOW with AW_ACTIVATE, else SW_SHOWNA; the window is painted first)
// or hides (AW_HIDE: ShowWindow SW_HIDE at the end) the window over Time milliseconds. The
// screen changes every 10 ms. AW_BLEND fades between nothing and the window's own opacity
// and wins over the other kinds; AW_CENTER grows from or shrinks to the centre; otherwise
// the direction flags (AW_HOR_*, AW_VER_*, which may be combined) say which way the window
// is wiped in place, or with AW_SLIDE moved in or out. Blocks and dispatches nothing; the
// window's own layered settings are untouched. FALSE, doing nothing, for a child or
// message-only window, a window already shown (showing) or hidden (hiding), or a roll or
// slide without a direction.
BOOL AnimateWindow(HWND Wnd, DWORD Time, DWORD Flags);
