#pragma once
// Windows: classes, creation and destruction, window procedures and subclassing, window
// data, text, parents and owners, enabling, message-only windows and windows bound to a
// method, registered messages and the WH_CALLWNDPROC hook.
//
// Handles are never reused within a run. Creation sends WM_GETMINMAXINFO (resizable
// top-levels), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, then shows the
// window when WS_VISIBLE was asked for. Destruction destroys owned windows first, hides the
// window, sends WM_DESTROY to it and then its children, and WM_NCDESTROY bottom-up.

#include "platform/uQvWinTypes.h"

// ---- Classes ---------------------------------------------------------------------------
// Class names match without regard to ASCII case. Registering a name twice fails (0).
ATOM RegisterClass(const WNDCLASS* Class);
// Fails while windows of the class exist.
BOOL UnregisterClass(LPCWSTR ClassName, HINSTANCE Instance);
BOOL GetClassInfo(HINSTANCE Instance, LPCWSTR ClassName, WNDCLASS* Class);
int GetClassName(HWND Wnd, LPWSTR Buffer, int MaxCount);
String GetClassNameString(HWND Wnd);
// GCL_STYLE, GCLP_HBRBACKGROUND, GCLP_HCURSOR, GCLP_HICON, GCLP_WNDPROC, GCL_CBWNDEXTRA,
// GCL_CBCLSEXTRA or a byte offset into the class's extra bytes. A change applies to every
// window of the class.
ULONG_PTR GetClassLongPtr(HWND Wnd, int Index);
ULONG_PTR SetClassLongPtr(HWND Wnd, int Index, LONG_PTR Value);

// ---- Creation and destruction ----------------------------------------------------------
// Parent: the parent of a WS_CHILD window, the owner of a top-level one (its top-level
// window is used), or HWND_MESSAGE for a message-only window. Returns 0 on failure.
HWND CreateWindowEx(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param);
BOOL DestroyWindow(HWND Wnd);
BOOL IsWindow(HWND Wnd);

// Message-only windows whose messages go to Method (which calls DefWindowProc for what it
// does not handle), for timers and notification windows.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
// CreateWindowEx for a window whose every message, from the first (WM_GETMINMAXINFO,
// WM_NCCREATE) on, goes to Method: the window's procedure is a fixed one that calls the
// method bound to the window, whose default handling is DefWindowProc. The class gives
// styles, brush and cursor; its procedure is not used. Subclassing works as for any window:
// CallWindowProc with the procedure GWLP_WNDPROC returned reaches Method. *Handle (when
// given) holds the window's handle before its first message, and the result (0 when the
// creation failed) at the end.
HWND QvCreateWindowWithMethod(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y,
                              int Width, int Height, HWND Parent, HMENU Menu, TWndMethod Method,
                              HWND* Handle = nullptr);

// ---- Messages and procedures -----------------------------------------------------------
// Calls the window procedure at once (after the WH_CALLWNDPROC hooks); 0 for a dead handle.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Ids 0xC000..0xFFFF, the same id for the same name (ASCII case-insensitive); 0 when full.
UINT RegisterWindowMessage(LPCWSTR Name);

// WH_CALLWNDPROC only: the hook sees every sent message (CWPSTRUCT in lParam) before the
// window procedure; the newest hook is called first. Hooks are not re-entered by messages
// their own code sends.
HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId);
BOOL UnhookWindowsHookEx(HHOOK Hook);
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);

// ---- Window data -----------------------------------------------------------------------
// GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT (owner), GWLP_ID, GWL_STYLE, GWL_EXSTYLE,
// GWLP_USERDATA or a byte offset into the window's extra bytes. Style changes send
// WM_STYLECHANGING / WM_STYLECHANGED and take effect at once; WS_EX_TOPMOST is changed only
// through SetWindowPos.
LONG_PTR GetWindowLongPtr(HWND Wnd, int Index);
LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR Value);

BOOL SetProp(HWND Wnd, LPCWSTR Name, HANDLE Data);
HANDLE GetProp(HWND Wnd, LPCWSTR Name);
HANDLE RemoveProp(HWND Wnd, LPCWSTR Name);

// Text goes through WM_SETTEXT / WM_GETTEXT, so windows that keep their own text answer.
BOOL SetWindowText(HWND Wnd, LPCWSTR Text);
int GetWindowText(HWND Wnd, LPWSTR Buffer, int MaxCount);
int GetWindowTextLength(HWND Wnd);
String GetWindowTextString(HWND Wnd);

// ---- Relations -------------------------------------------------------------------------
// The parent of a child window, the owner of a WS_POPUP top-level window, else 0.
HWND GetParent(HWND Wnd);
// Makes Wnd a child of NewParent (0: a top-level window); its coordinates keep their values,
// now relative to the new parent. Returns the old parent (0 for a window that was top-level,
// and on failure).
HWND SetParent(HWND Wnd, HWND NewParent);
HWND GetAncestor(HWND Wnd, UINT Flags);
HWND GetWindow(HWND Wnd, UINT Cmd);
HWND GetTopWindow(HWND Wnd);
BOOL IsChild(HWND Parent, HWND Wnd);
// Top-level windows in z-order / the descendants of Parent, depth first.
BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param);
BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Proc, LPARAM Param);

// ---- State -----------------------------------------------------------------------------
// Returns TRUE when the window was disabled before. Disabling sends WM_CANCELMODE, takes
// the focus and capture away from the window and sends WM_ENABLE(FALSE).
BOOL EnableWindow(HWND Wnd, BOOL Enable);
BOOL IsWindowEnabled(HWND Wnd);
// The window a modal loop runs Wnd (a top-level window) for, null when its loop ended. It
// changes no behaviour of ours: a backend showing native windows hears it
// (TQvTopLevel::ModalFor) and keeps the modal window above that one. FALSE for a child
// window or an unknown one.
BOOL QvSetModalFor(HWND Wnd, HWND For);
// Wnd (a top-level window placed directly behind Host, like a shadow's side) belongs to
// Host's margin: a backend showing native windows may show it inside Host's native window
// (TQvTopLevel::MarginOf). Null undoes it. FALSE for a child window or an unknown one.
BOOL QvSetMarginOf(HWND Wnd, HWND Host);
// True when the window and all its parents have WS_VISIBLE.
BOOL IsWindowVisible(HWND Wnd);
// False after WM_SETREDRAW(FALSE) until WM_SETREDRAW(TRUE).
bool QvRedrawEnabled(HWND Wnd);

// ---- Tests -----------------------------------------------------------------------------
// Forgets every window, class, hook, timer, queued message and input state without sending
// anything, so each test starts from a clean window system.
void QvResetWindowSystem();
