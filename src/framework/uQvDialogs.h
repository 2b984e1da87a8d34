#pragma once
// The plain message box: a modal dialog with an icon, the text and the buttons the flags
// ask for, laid out to the measured text. Enter presses the first button, Esc the Cancel
// button (the OK button of an MB_OK box; nothing in a Yes/No box). It is what
// Application->MessageBox shows while no other message box is hooked in.

#include "framework/uQvForms.h"

// Flags: MB_OK, MB_OKCANCEL, MB_YESNOCANCEL or MB_YESNO, plus one MB_ICON* value.
// Returns IDOK, IDCANCEL, IDYES or IDNO.
int PlainMessageBox(const String& Text, const String& Caption, UINT Flags);
