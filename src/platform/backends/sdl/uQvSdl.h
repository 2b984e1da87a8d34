#pragma once
// Choosing the display a program shows its windows on. This header stays free of SDL, so
// a program's main can include it.
//
// DISPLAY set: SDL with the X11 driver (XWayland too), one native window per top-level
// window. Only WAYLAND_DISPLAY set: one window shows the whole screen (Wayland lets no
// program place its windows or see the pointer beyond them); QV_VIRTUAL_DESKTOP=1 asks
// for that mode on X11 as well. Neither: no display, the headless backend stays.

#include <string>

enum class TQvDisplayKind { None, X11, Wayland };

TQvDisplayKind QvDisplayFromEnvironment();
// Opens the display and installs the SDL backend for it; false with the reason in Error
// when it cannot be opened.
bool QvInstallSdlBackend(TQvDisplayKind Kind, std::string& Error);
