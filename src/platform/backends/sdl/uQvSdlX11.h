#pragma once
// What the SDL backend needs of an X display beyond SDL itself: the connection (to wait on
// it and to hear that it is gone), the window manager and compositor, X resources, owners,
// stacking, shapes and the true placement of a window. Every call is harmless for a window
// SDL did not make on X11 (another video driver): it does nothing and answers "cannot".

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/uQvGeometry.h"

// The X display SDL's windows live on; null for another video driver.
void* QvX11DisplayOf(SDL_Window* Window);
// The display connection's file descriptor, -1 for none.
int QvX11ConnectionFd(void* Display);
// Lost is called once when the connection breaks (the X server went away), from inside
// whatever X call noticed it; every X call after that returns at once and does nothing.
void QvX11WatchConnection(void* Display, void (*Lost)());
// Sends what is buffered.
void QvX11Flush(void* Display);
// A window manager runs (_NET_SUPPORTING_WM_CHECK names a live window).
bool QvX11HasWindowManager(void* Display);
// A compositing manager runs (someone owns _NET_WM_CM_S<screen>).
bool QvX11HasCompositor(void* Display);
// Asks the X server to tell when the compositor's selection changes hands (XFixes); false
// when it cannot, and then nobody hears of a compositor starting or stopping.
bool QvX11WatchCompositor(void* Display);
// Whether an event SDL passed on (SDL_SYSWMEVENT) tells of such a change.
bool QvX11CompositorEvent(const SDL_SysWMmsg* Message);
// The visual of depth 32 with an alpha channel, 0 when there is none.
unsigned long QvX11ArgbVisual(void* Display);
// The X resource database as text ("" when none).
std::string QvX11Resources(void* Display);
// Keeps Window above Owner (transient-for); a null Owner removes the hint.
void QvX11SetOwner(SDL_Window* Window, SDL_Window* Owner);
// Asks the window manager not to give the window the keyboard when it is next mapped
// (_NET_WM_USER_TIME 0), or lets it do as it likes.
void QvX11NoFocusOnMap(SDL_Window* Window, bool NoFocus);
// The shape of the window (window coordinates): null Visible shows it whole; ClickThrough
// lets every press through to what lies below.
void QvX11SetShape(SDL_Window* Window, const std::vector<TRect>* Visible, bool ClickThrough);
// Where the window takes presses (window coordinates); the rest lets them through to what
// lies below. Its visible shape is left as it is.
void QvX11SetInputShape(SDL_Window* Window, const std::vector<TRect>& Input);
// The window's rectangle as the X server has it, in root coordinates. False when it
// cannot be read.
bool QvX11Placement(SDL_Window* Window, TRect& Root);
// Raises the windows from the last to the first, so they end up in this order, topmost
// first.
void QvX11Restack(const std::vector<SDL_Window*>& TopFirst);
