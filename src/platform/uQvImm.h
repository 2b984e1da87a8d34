#pragma once
// The input method as windows see it: an input context, associated with every window
// unless it was detached, and the composition messages.
//
// Text the input method commits reaches the focus window (else the active window) as
// WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION with GCS_RESULTSTR in lParam, and
// WM_IME_ENDCOMPOSITION, in order with the rest of the input; while that window's context
// is detached or closed the commit is dropped. During WM_IME_COMPOSITION,
// ImmGetCompositionStringW(GCS_RESULTSTR) gives the committed text. A window that passes the
// message to DefWindowProc gets the text as posted WM_CHARs, one UTF-16 unit each; one that
// answers it itself gets none. A composition in progress arrives the same way, with
// GCS_COMPSTR, before its commit. Single characters typed on the keyboard are plain WM_CHARs
// (platform/uQvInput.h).
//
// All windows share one context, as on the original platform, so a window that detaches
// its context and later associates it again gets the same one back.

#include <string_view>

#include "platform/uQvWinTypes.h"

struct LOGFONTW;

// lParam bits of WM_IME_COMPOSITION and indexes of ImmGetCompositionStringW.
inline constexpr DWORD GCS_COMPSTR = 0x0008;
inline constexpr DWORD GCS_CURSORPOS = 0x0080;
inline constexpr DWORD GCS_RESULTSTR = 0x0800;
inline constexpr LONG IMM_ERROR_NODATA = -1;
inline constexpr LONG IMM_ERROR_GENERAL = -2;

// COMPOSITIONFORM styles.
inline constexpr DWORD CFS_DEFAULT = 0x0000;
inline constexpr DWORD CFS_RECT = 0x0001;
inline constexpr DWORD CFS_POINT = 0x0002;
inline constexpr DWORD CFS_FORCE_POSITION = 0x0020;

// Where the composition is shown, in client coordinates of the window composing.
struct COMPOSITIONFORM {
    DWORD dwStyle = CFS_DEFAULT;
    POINT ptCurrentPos;
    RECT rcArea;
};

// The window's context; 0 when it is detached or the window does not exist.
HIMC ImmGetContext(HWND Wnd);
BOOL ImmReleaseContext(HWND Wnd, HIMC Imc);
// Associates Imc with the window (0 detaches it) and returns the context it had before
// (0 when it had none). An unknown context changes nothing and gives 0.
HIMC ImmAssociateContext(HWND Wnd, HIMC Imc);

// GCS_COMPSTR, GCS_RESULTSTR: with BufLen 0 the size of the string in bytes, else the
// number of bytes copied to Buf (whole UTF-16 units, never half of a surrogate pair; not
// zero-terminated). GCS_CURSORPOS: the cursor position in the composition string, in
// UTF-16 units. IMM_ERROR_GENERAL for an unknown context or index.
LONG ImmGetCompositionStringW(HIMC Imc, DWORD Index, void* Buf, DWORD BufLen);
// Accepted and ignored: the input method draws its candidates in its own font.
BOOL ImmSetCompositionFontW(HIMC Imc, const LOGFONTW* Font);
// Recorded per context. The backend is told the screen rectangle the input method should
// keep its candidates clear of: for CFS_RECT from the current position to the bottom-right
// of the area, for CFS_POINT and CFS_FORCE_POSITION the bare point, for CFS_DEFAULT the
// client area; relative to the window the context serves now (the focus window, else the
// active window).
BOOL ImmSetCompositionWindow(HIMC Imc, const COMPOSITIONFORM* Form);
BOOL ImmGetCompositionWindow(HIMC Imc, COMPOSITIONFORM* Form);
// A context starts open; while it is closed, commits to its windows are dropped.
BOOL ImmGetOpenStatus(HIMC Imc);
BOOL ImmSetOpenStatus(HIMC Imc, BOOL Open);

// ---- Raw input from a backend ----------------------------------------------------------
// The composition in progress is now Text (an empty Text ends it without a result):
// WM_IME_STARTCOMPOSITION when none was in progress, then WM_IME_COMPOSITION with
// GCS_COMPSTR | GCS_CURSORPOS.
void QvInputImeComposition(std::u16string_view Text);
// The input method committed Text: WM_IME_STARTCOMPOSITION unless a composition is in
// progress, WM_IME_COMPOSITION with GCS_RESULTSTR, WM_IME_ENDCOMPOSITION.
void QvInputImeCommit(std::u16string_view Text);

// ---- Window system ---------------------------------------------------------------------
// DefWindowProc(WM_IME_COMPOSITION): posts the window's result string as WM_CHARs when
// lParam carries GCS_RESULTSTR.
void QvImmDefComposition(HWND Wnd, LPARAM LParam);
