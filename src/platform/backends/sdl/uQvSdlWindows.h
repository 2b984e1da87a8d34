#pragma once
// The native windows of the SDL backend: one borderless SDL window per shown top-level
// window, made at its first show, placed, stacked, shaped and made translucent as the
// window system describes it, and showing the dirty parts of its pixels.
//
// Native coordinates are the display's (X root coordinates); screen coordinates are ours,
// with the primary monitor's top-left at (0, 0): native = screen + Origin.
//
// What the display decides on its own is never fought: a placement it imposed (a window
// manager refusing a position or a size) is handed back to the window system, which moves
// our rectangle there, so hit testing matches what the user sees.

#include <SDL.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/backends/sdl/uQvSdlMapping.h"
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
        HWND OwnerSet = nullptr;
        bool ShapeSet = false;
        TQvRegion ShapeShown;  // the shape last set, when ShapeSet
        bool ShapeClickThrough = false;
        String Title;
        SDL_Surface* Surface = nullptr;  // the surface last presented to
        int SurfaceW = 0, SurfaceH = 0;
    };

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
};
