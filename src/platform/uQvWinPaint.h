#pragma once
// Painting: update regions, WM_PAINT, BeginPaint / EndPaint, WM_ERASEBKGND, WM_NCPAINT and
// window device contexts.
//
// Every top-level window owns one backing bitmap of its outer size. A window's DC draws
// into its top-level window's bitmap with the origin at the window (client or outer
// top-left) and is clipped to the window's visible part: inside every parent's client area,
// minus the siblings above it when it has WS_CLIPSIBLINGS (at every level), minus its
// children when it has WS_CLIPCHILDREN.
//
// WM_PAINT comes from the queue after input, for visible windows with an update region,
// parents before children; painting is suppressed, and window DCs draw nothing, while
// WM_SETREDRAW(FALSE) holds for the window or a parent. A window shown, sized or given SWP_FRAMECHANGED gets WM_NCPAINT and
// WM_ERASEBKGND for the exposed parts right away (before WM_WINDOWPOSCHANGED), WM_PAINT
// later; a moved or hidden child leaves its old place to be repainted by its parent.
//
// The caret is taken off while a window DC over it is held (BeginPaint to EndPaint, GetDC
// to ReleaseDC) and drawn again when the last one is released.

#include "platform/uQvWinTypes.h"

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_INTERNALPAINT = 0x0002;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
inline constexpr UINT RDW_NOFRAME = 0x0800;

inline constexpr DWORD DCX_WINDOW = 0x00000001;
inline constexpr DWORD DCX_CACHE = 0x00000002;
inline constexpr DWORD DCX_NORESETATTRS = 0x00000004;
inline constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
inline constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
inline constexpr DWORD DCX_PARENTCLIP = 0x00000020;
inline constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
inline constexpr DWORD DCX_INTERSECTRGN = 0x00000080;

// WM_NCPAINT's wParam when the whole frame is to be painted; otherwise it is a region in
// screen coordinates that the window system frees after the message.
inline const HRGN QvWholeWindowRgn = reinterpret_cast<HRGN>(intptr_t{1});

// Rect in client coordinates, null for the whole client area; Wnd 0 invalidates every
// top-level window. Children are invalidated along only when the window lacks
// WS_CLIPCHILDREN.
BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const RECT* Rect);
BOOL ValidateRgn(HWND Wnd, HRGN Rgn);
// The update region's box (client coordinates); FALSE when it is empty.
BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase);
// Copies the update region into Rgn; returns its complexity.
int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
// Sends WM_PAINT now to the window and its children that need it.
BOOL UpdateWindow(HWND Wnd);
// RDW_INVALIDATE / RDW_VALIDATE the client area part given by Rgn or Rect (client
// coordinates; neither: all of it), RDW_FRAME / RDW_NOFRAME the frame, RDW_ERASE /
// RDW_NOERASE the erase; RDW_ALLCHILDREN / RDW_NOCHILDREN choose the children (neither:
// they follow a parent without WS_CLIPCHILDREN); RDW_INTERNALPAINT asks for a WM_PAINT even
// without an update region, RDW_NOINTERNALPAINT takes that back; RDW_ERASENOW /
// RDW_UPDATENOW paint at once.
BOOL RedrawWindow(HWND Wnd, const RECT* Rect, HRGN Rgn, UINT Flags);

// WM_NCPAINT when the frame is pending, a DC clipped to the update region, WM_ERASEBKGND
// when an erase is pending (fErase tells whether the window still has to erase), and the
// update region validated.
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);

// The client area / the whole window (origin at its outer top-left); Wnd 0 gives a DC on
// the composed screen. 0 for message-only windows and dead handles. Free with ReleaseDC:
// what the DC drew shows on the screen from then on.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
// DCX_WINDOW: the whole window, else the client area. The clip comes from the flags, not
// the styles (every DC is a cache DC, so DCX_CACHE changes nothing): DCX_CLIPSIBLINGS
// leaves out the siblings above the window, DCX_CLIPCHILDREN its children; DCX_PARENTCLIP
// draws within the parent's visible client area (its children included) with the origin
// at the window. DCX_INTERSECTRGN / DCX_EXCLUDERGN narrow the DC by Clip (screen
// coordinates), which the DC takes over and frees when it is released; QvWholeWindowRgn
// (WM_NCPAINT's 1) stands for the whole window, a null Clip for no change. 0 for an
// unknown region.
HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags);
// Also frees the region GetDCEx took over.
int ReleaseDC(HWND Wnd, HDC Dc);

// The window's shape in window coordinates (outer top-left at 0, 0); the window takes the
// region over (the caller must not use or delete it afterwards); 0 removes the shape.
// Painting of the window and its children and hit testing keep to it. Redraw repaints the
// window (frame included).
int SetWindowRgn(HWND Wnd, HRGN Rgn, BOOL Redraw);
// Copies the shape into Rgn; ERROR (0) when the window has none.
int GetWindowRgn(HWND Wnd, HRGN Rgn);

// The backing bitmap of a top-level window (made on first need), 0 for other windows.
// Pixels written into it directly show on the screen once the window is drawn again
// through a DC.
HBITMAP QvBackingBitmap(HWND TopLevel);
