#pragma once
// The clipboard, for Unicode text (CF_UNICODETEXT). The text itself lives in the backend
// (the desktop's clipboard, or an in-process string when headless), so other programs see
// what we copy and we see what they copy.
//
// The calls keep the order callers of the original rely on: one window opens the clipboard
// at a time (opening fails while another one holds it), data is set only while it is open
// and after it was emptied in that same opening, and data is read only while it is open.
// The availability queries work without opening it. A window destroyed while it holds the
// clipboard open no longer blocks the others.
//
// Text is kept up to its first U+0000, as a zero-terminated clipboard text would be. The
// clipboard holds no text when the text is empty.

#include "platform/uQvWinTypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;

// Owner may be 0 (the clipboard is then held by no window in particular).
BOOL OpenClipboard(HWND Owner);
BOOL CloseClipboard();
// The window holding the clipboard open, 0 when it is closed or held by none.
HWND GetOpenClipboardWindow();
BOOL EmptyClipboard();

// CF_UNICODETEXT only; other formats fail.
BOOL SetClipboardData(UINT Format, const String& Text);
// False (and Text left alone) when the clipboard is not open or holds no such data.
BOOL GetClipboardData(UINT Format, String* Text);
BOOL IsClipboardFormatAvailable(UINT Format);

// The clipboard holds non-empty text (paste commands are enabled by it).
bool QvClipboardHasText();
