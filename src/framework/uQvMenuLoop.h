#pragma once
// The modal menu loop of popup menus. Each open level is a "#32768" window (WS_POPUP,
// topmost, never activated, class style with CS_DROPSHADOW) made through the ordinary
// creation path, so a WH_CALLWNDPROC hook sees its WM_CREATE and may subclass it. A window
// is its items' box plus a frame of 3 px (scaled to the screen's dpi) on every side.
//
// The loop holds the capture and reads input itself; everything else (timers, painting,
// posted messages) is dispatched as usual. The popup list window hears the loop's
// notifications; the chosen item's WM_COMMAND is posted to it after the loop closed.
// A press outside every menu window ends the loop and stays queued for the window under
// it; WM_CANCELMODE sent to the popup list ends it with nothing chosen, and so does the
// death of the menu or of an item on show.

#include "platform/uQvGeometry.h"

class TPopupMenu;

inline constexpr const char16_t* MenuWindowClassName = u"#32768";
// How long the pointer rests on an item before its submenu opens (or another one closes).
inline constexpr unsigned MenuHoverDelay = 400;

// Shows Menu's visible items at the screen point At and runs until the menu closes.
void RunMenuLoop(TPopupMenu* Menu, TPoint At);
// Ends the running loop with nothing chosen; nothing happens without one.
void CancelMenuLoop();
bool MenuLoopActive();
