#pragma once
// The native windows of the SDL backend: one borderless SDL window per shown top-level
// window, made at its first show, placed, stacked, shaped and made translucent as the
// window system describes it, and showing the dirty parts of its pixels.
//
// Native coordinates are the display's (X root coordinates); screen coordinates are ours,
// with the primary monitor's top-left at (0, 0): native = screen + Origin.
//
// Where a compositor shows alpha, the windows of a form's margin (TQvTopLevel::MarginOf:
// the sides of its shadow) get no native windows of their own: the form's native window is
// made larger by them, with an alpha visual, shows the form in the middle and the sides
// around it (uQvSdlMargin.h), and takes presses only where something shows; our window
// system routes them by screen point to the form or a side, as it would anyway.
//
// What the display decides on its own is never fought: a placement it imposed (a window
// manager refusing a position or a size) is handed back to the window system, which moves
// our rectangle there, so hit testing matches what the user sees.

#include <SDL.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/backends/sdl/uQvSdlMapping.h"
#include "platform/backends/sdl/uQvSdlMargin.h"
#include "platform/uQvBackend.h"

// What the display can do, as found when the backend opened it.
struct TQvSdlDisplay {
    void* X11 = nullptr;  // the X display, null on another video driver
    bool WindowManager = false;
    bool Compositor = false;
    unsigned long ArgbVisual = 0;  // X visual with alpha, 0: none
    bool Shape = false;
};

class TQvSdlWindows {
public:
    TQvSdlWindows(const TQvSdlDisplay& Display, TPoint Origin);
    ~TQvSdlWindows();
    TQvSdlWindows(const TQvSdlWindows&) = delete;
    TQvSdlWindows& operator=(const TQvSdlWindows&) = delete;

    // ---- What the window system reports ----
    void Created(const TQvTopLevel& D);
    void Changed(const TQvTopLevel& D, unsigned Changes);
    void Destroyed(HWND Handle);
    void Reordered(const std::vector<HWND>& TopFirst);
    void Present(HWND Handle, const TQvRegion& Dirty);
    // What the display can do changed (a compositor started or stopped): windows are made
    // again with or without an alpha visual, shown or not, translucent or opaque for it.
    void DisplayChanged(const TQvSdlDisplay& Display);
    // The display lost the window's pixels (an expose).
    void Exposed(HWND Handle);

    // Before the loop waits: the keyboard goes to the native window of Active when the
    // window system activated another window than the display focuses, the native windows
    // are stacked in our order and titles follow the windows' texts.
    void Settle(HWND Active);
    // The placements the display imposed since the last call (screen coordinates).
    std::vector<std::pair<HWND, TRect>> TakeImposed();
    // A move or size the display reported for Handle's window (native coordinates): the
    // rectangle to follow (screen coordinates), or nothing when it is a late echo of an
    // earlier request of ours.
    std::optional<TRect> Reported(HWND Handle, std::optional<TPoint> Position, std::optional<TSize> Size);

    HWND Find(Uint32 WindowId) const;
    SDL_Window* Native(HWND Handle) const;
    // The screen rectangle Handle's native window covers (a form's with its margin), empty
    // for a window that has none.
    TRect Covered(HWND Handle) const;
    TPoint Origin() const { return FOrigin; }
    // The display is gone: native windows are forgotten without another call to it.
    void Lost() { FLost = true; }

    // Reads where the display really put a window (native coordinates); the default asks
    // the X server and fails on other drivers. Tests stand in for a window manager here.
    std::function<bool(SDL_Window*, TRect&)> ReadPlacement;
    // Called after each presentation (the backend's timing trace).
    std::function<void()> OnPresented;

private:
    struct TNative {
        TQvTopLevel D;
        SDL_Window* Win = nullptr;
        Uint32 Id = 0;
        TQvSdlKind Kind = skNormal;
        bool MenuClass = false;
        bool Argb = false;
        bool Mapped = false;
        bool Iconified = false;
        TRect Placed;                // native rectangle as last set or reported
        std::deque<TRect> Requests;  // recent requests, the latest last
        float Opacity = 1;
        HWND OwnerSet = nullptr;  // the window it is kept above
        bool ModalSet = false;    // ... as a modal window
        bool ShapeSet = false;
        TQvRegion ShapeShown;  // the shape last set, when ShapeSet
        bool ShapeClickThrough = false;
        bool InputSet = false;  // a margin's input shape was set
        TQvRegion InputShown;
        String Title;
        SDL_Surface* Surface = nullptr;  // the surface last presented to
        int SurfaceW = 0, SurfaceH = 0;
    };

    // A compositor shows alpha: margins are composed.
    bool Composes() const { return FDisplay.Compositor && FDisplay.ArgbVisual != 0; }
    // The form whose native window shows N in its margin, or null.
    TNative* HostOf(const TNative& N);
    // N's native window shows a margin.
    bool IsHost(const TNative& N) const;
    // The screen rectangle N's native window covers; a host's takes in its shown sides.
    TRect CoveredBy(const TNative& N) const;
    // The window's own rectangle for its native window covering Covered (screen).
    TRect Uncovered(const TNative& N, const TRect& Covered) const;
    std::vector<TQvMarginLayer> MarginLayers(const TNative& Host, const TRect& Covered) const;
    void ApplyInput(TNative& N, const std::vector<TQvMarginLayer>& Layers);
    // Hosts whose margin changed are placed and shown again (once their sides and the
    // form were all told of).
    void ResolveHosts();
    bool Showable(const TNative& N) const;
    bool WantsArgb(const TNative& N) const;
    void Realize(TNative& N);
    void Unrealize(TNative& N);
    void Apply(TNative& N, unsigned Changes);
    void Place(TNative& N);
    // R is where the window is now and what the display's next report should say.
    void Expect(TNative& N, const TRect& R);
    void MapState(TNative& N);
    void ApplyShape(TNative& N);
    void ApplyOwner(TNative& N);
    void Upload(TNative& N, const TQvRegion* Dirty);
    TRect ToNative(const TRect& Screen) const;
    TRect ToScreen(const TRect& Native) const;

    TQvSdlDisplay FDisplay;
    TPoint FOrigin;
    bool FLost = false;
    std::map<HWND, TNative> FWindows;
    std::map<Uint32, HWND> FIds;
    std::vector<HWND> FOrder;  // our z-order, topmost first
    std::vector<SDL_Window*> FStacked;
    HWND FActive = nullptr;  // the active window the display was last told of
    std::vector<std::pair<HWND, TRect>> FImposed;
    std::set<HWND> FHostsPending;
};
