#pragma once
// Layered windows: top-level windows with WS_EX_LAYERED that the screen composes with
// alpha.
//
// SetLayeredWindowAttributes keeps the window painting as usual and composes it with a
// constant alpha and/or a colour key (pixels of exactly that colour are not shown).
// UpdateLayeredWindow pushes premultiplied pixels that replace whatever the window paints;
// painting through DCs still works but no longer shows. The last of the two calls decides;
// clearing WS_EX_LAYERED forgets both. A layered window that got neither is shown as a
// normal window.
//
// The mouse passes through a layered window where it shows nothing: a pushed pixel whose
// alpha, times the constant alpha, is 0; a colour-key pixel; constant alpha 0; and
// everywhere with WS_EX_TRANSPARENT.

#include "platform/uQvGdiBlit.h"
#include "platform/uQvWinTypes.h"

inline constexpr DWORD ULW_COLORKEY = 0x1;
inline constexpr DWORD ULW_ALPHA = 0x2;
inline constexpr DWORD ULW_OPAQUE = 0x4;
inline constexpr DWORD LWA_COLORKEY = 0x1;
inline constexpr DWORD LWA_ALPHA = 0x2;

// Moves / sizes the window to Pos / Size (screen; null keeps them) and takes Size pixels
// from Src at SrcPos (logical coordinates of Src; null is (0, 0)). A null Src keeps the
// pixels pushed before. ULW_ALPHA composes with Blend's constant alpha, and with per-pixel
// premultiplied alpha when Blend asks for AC_SRC_ALPHA; ULW_COLORKEY leaves out pixels of
// colour Key; ULW_OPAQUE (or no flag) shows the pixels opaque. Dst is not used. FALSE for a
// window that is not a layered top-level window, a missing or invalid blend with
// ULW_ALPHA, an empty size or an unknown Src.
BOOL UpdateLayeredWindow(HWND Wnd, HDC Dst, const POINT* Pos, const SIZE* Size, HDC Src, const POINT* SrcPos,
                         COLORREF Key, const BLENDFUNCTION* Blend, DWORD Flags);
// LWA_ALPHA: constant alpha Alpha; LWA_COLORKEY: pixels of colour Key are transparent.
// FALSE for a window that is not a layered top-level window.
BOOL SetLayeredWindowAttributes(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags);
// What SetLayeredWindowAttributes set; FALSE when it was not called since the window became
// layered, or UpdateLayeredWindow was called after it.
BOOL GetLayeredWindowAttributes(HWND Wnd, COLORREF* Key, BYTE* Alpha, DWORD* Flags);
