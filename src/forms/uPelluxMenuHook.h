#pragma once
// The menu skin's watch over menu windows, process-wide while the library is set up. A
// WH_CALLWNDPROC hook sees each menu window ("#32768") being created, takes the drop shadow
// off its class (the skin draws a shadow of its own) and subclasses it so that its frame
// and background are not painted before the skin drew its first item: that would flash the
// plain look for a frame.
//
// The menu effects (menu fade, menu animation, selection fade) are this process's settings:
// the set-up step saves all three before anything changes them and switches the selection
// fade off, the menu skin switches the other two off, and the shutdown step puts all three
// back as they were.

#include "platform/uQvWinTypes.h"

// Registers the set-up step of the hook. Calling it again does nothing more.
void RegisterPelluxMenuHook();
// The hook is installed.
bool PelluxMenuHookInstalled();
// The skin drew an item of Wnd: its frame and background messages go through again.
void PelluxMenuWindowDrawn(HWND Wnd);
// Switches the menu fade and animation off, saving the effects first when nothing did yet.
void PelluxMenuEffectsOff();
