#include "platform/backends/sdl/uQvSdlX11.h"

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#endif

#include <cstdio>

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

struct TNative {
    Display* Dpy = nullptr;
    Window Win = 0;
};

TNative NativeOf(SDL_Window* W) {
    SDL_SysWMinfo Info;
    SDL_VERSION(&Info.version);
    if (W == nullptr || !SDL_GetWindowWMInfo(W, &Info) || Info.subsystem != SDL_SYSWM_X11) return {};
    return TNative{Info.info.x11.display, Info.info.x11.window};
}

// The compositor's selection and the first XFixes event number, once watched.
Atom CompositorSelection = 0;
int FixesEventBase = -1;

Atom CompositorAtom(Display* Dpy) {
    char Name[32];
    std::snprintf(Name, sizeof Name, "_NET_WM_CM_S%d", DefaultScreen(Dpy));
    return XInternAtom(Dpy, Name, False);
}

void (*LostHandler)() = nullptr;
bool LostOnce = false;

// Xlib calls this and then the display's exit handler below; returning from both leaves
// the connection marked broken instead of ending the process.
int QuietIOError(Display*) { return 0; }

void ConnectionBroke(Display*, void*) {
    if (LostOnce) return;
    LostOnce = true;
    if (LostHandler) LostHandler();
}

}  // namespace

void* QvX11DisplayOf(SDL_Window* W) { return NativeOf(W).Dpy; }

int QvX11ConnectionFd(void* D) { return D ? ConnectionNumber(static_cast<Display*>(D)) : -1; }

void QvX11WatchConnection(void* D, void (*Lost)()) {
    if (D == nullptr) return;
    LostHandler = Lost;
    XSetIOErrorHandler(QuietIOError);
    XSetIOErrorExitHandler(static_cast<Display*>(D), ConnectionBroke, nullptr);
}

void QvX11Flush(void* D) {
    if (D) XFlush(static_cast<Display*>(D));
}

bool QvX11HasWindowManager(void* D) {
    auto* Dpy = static_cast<Display*>(D);
    if (Dpy == nullptr) return false;
    const Atom Check = XInternAtom(Dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom Type = 0;
    int Format = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Data = nullptr;
    bool Found = false;
    if (XGetWindowProperty(Dpy, DefaultRootWindow(Dpy), Check, 0, 1, False, XA_WINDOW, &Type, &Format, &Count, &After,
                           &Data) == Success &&
        Data != nullptr && Count == 1 && Format == 32) {
        const Window Wm = *reinterpret_cast<Window*>(Data);
        XWindowAttributes A;
        // A window manager that went away leaves the property naming a dead window; reading
        // its attributes then fails with an error the default handler would end us for.
        int (*Old)(Display*, XErrorEvent*) = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        Found = XGetWindowAttributes(Dpy, Wm, &A) != 0;
        XSync(Dpy, False);
        XSetErrorHandler(Old);
    }
    if (Data) XFree(Data);
    return Found;
}

bool QvX11HasCompositor(void* D) {
    auto* Dpy = static_cast<Display*>(D);
    if (Dpy == nullptr) return false;
    return XGetSelectionOwner(Dpy, CompositorAtom(Dpy)) != 0;
}

bool QvX11WatchCompositor(void* D) {
    auto* Dpy = static_cast<Display*>(D);
    int Error = 0;
    if (Dpy == nullptr || !XFixesQueryExtension(Dpy, &FixesEventBase, &Error)) return false;
    CompositorSelection = CompositorAtom(Dpy);
    // A new owner, and the owner's window or connection going away (a compositor that
    // crashed never gives the selection up itself).
    XFixesSelectSelectionInput(Dpy, DefaultRootWindow(Dpy), CompositorSelection,
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    XFlush(Dpy);
    return true;
}

bool QvX11CompositorEvent(const SDL_SysWMmsg* M) {
    if (M == nullptr || M->subsystem != SDL_SYSWM_X11 || FixesEventBase < 0) return false;
    const XEvent& E = M->msg.x11.event;
    if (E.type != FixesEventBase + XFixesSelectionNotify) return false;
    return reinterpret_cast<const XFixesSelectionNotifyEvent&>(E).selection == CompositorSelection;
}

unsigned long QvX11ArgbVisual(void* D) {
    auto* Dpy = static_cast<Display*>(D);
    if (Dpy == nullptr) return 0;
    XVisualInfo Info;
    if (!XMatchVisualInfo(Dpy, DefaultScreen(Dpy), 32, TrueColor, &Info)) return 0;
    return Info.visualid;
}

std::string QvX11Resources(void* D) {
    const char* R = D ? XResourceManagerString(static_cast<Display*>(D)) : nullptr;
    return R ? std::string(R) : std::string();
}

void QvX11SetOwner(SDL_Window* W, SDL_Window* Owner) {
    const TNative N = NativeOf(W);
    if (N.Dpy == nullptr) return;
    const TNative O = NativeOf(Owner);
    if (O.Win != 0)
        XSetTransientForHint(N.Dpy, N.Win, O.Win);
    else
        XDeleteProperty(N.Dpy, N.Win, XA_WM_TRANSIENT_FOR);
}

void QvX11NoFocusOnMap(SDL_Window* W, bool NoFocus) {
    const TNative N = NativeOf(W);
    if (N.Dpy == nullptr) return;
    const Atom UserTime = XInternAtom(N.Dpy, "_NET_WM_USER_TIME", False);
    if (NoFocus) {
        const long Zero = 0;
        XChangeProperty(N.Dpy, N.Win, UserTime, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&Zero), 1);
    } else {
        XDeleteProperty(N.Dpy, N.Win, UserTime);
    }
}

void QvX11SetShape(SDL_Window* W, const std::vector<TRect>* Visible, bool ClickThrough) {
    const TNative N = NativeOf(W);
    int Event = 0, Error = 0;
    if (N.Dpy == nullptr || !XShapeQueryExtension(N.Dpy, &Event, &Error)) return;
    if (Visible == nullptr) {
        XShapeCombineMask(N.Dpy, N.Win, ShapeBounding, 0, 0, 0, ShapeSet);
    } else {
        std::vector<XRectangle> R;
        R.reserve(Visible->size());
        for (const TRect& V : *Visible)
            R.push_back(XRectangle{static_cast<short>(V.Left), static_cast<short>(V.Top),
                                   static_cast<unsigned short>(V.Width()), static_cast<unsigned short>(V.Height())});
        XShapeCombineRectangles(N.Dpy, N.Win, ShapeBounding, 0, 0, R.data(), static_cast<int>(R.size()), ShapeSet,
                                YXBanded);
    }
    if (ClickThrough)
        XShapeCombineRectangles(N.Dpy, N.Win, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
    else
        XShapeCombineMask(N.Dpy, N.Win, ShapeInput, 0, 0, 0, ShapeSet);
}

void QvX11SetInputShape(SDL_Window* W, const std::vector<TRect>& Input) {
    const TNative N = NativeOf(W);
    int Event = 0, Error = 0;
    if (N.Dpy == nullptr || !XShapeQueryExtension(N.Dpy, &Event, &Error)) return;
    std::vector<XRectangle> R;
    R.reserve(Input.size());
    for (const TRect& V : Input)
        R.push_back(XRectangle{static_cast<short>(V.Left), static_cast<short>(V.Top),
                               static_cast<unsigned short>(V.Width()), static_cast<unsigned short>(V.Height())});
    XShapeCombineRectangles(N.Dpy, N.Win, ShapeInput, 0, 0, R.data(), static_cast<int>(R.size()), ShapeSet,
                            YXBanded);
}

bool QvX11Placement(SDL_Window* Win, TRect& Root) {
    const TNative N = NativeOf(Win);
    if (N.Dpy == nullptr) return false;
    Window RootWin = 0, Child = 0;
    int X = 0, Y = 0;
    unsigned Wd = 0, Ht = 0, Border = 0, Depth = 0;
    if (!XGetGeometry(N.Dpy, N.Win, &RootWin, &X, &Y, &Wd, &Ht, &Border, &Depth)) return false;
    if (!XTranslateCoordinates(N.Dpy, N.Win, RootWin, 0, 0, &X, &Y, &Child)) return false;
    Root = Bounds(X, Y, static_cast<int>(Wd), static_cast<int>(Ht));
    return true;
}

void QvX11Restack(const std::vector<SDL_Window*>& TopFirst) {
    Display* Dpy = nullptr;
    for (auto It = TopFirst.rbegin(); It != TopFirst.rend(); ++It) {
        const TNative N = NativeOf(*It);
        if (N.Dpy == nullptr) continue;
        XRaiseWindow(N.Dpy, N.Win);
        Dpy = N.Dpy;
    }
    if (Dpy) XFlush(Dpy);
}

#else

void* QvX11DisplayOf(SDL_Window*) { return nullptr; }
int QvX11ConnectionFd(void*) { return -1; }
void QvX11WatchConnection(void*, void (*)()) {}
void QvX11Flush(void*) {}
bool QvX11HasWindowManager(void*) { return false; }
bool QvX11HasCompositor(void*) { return false; }
bool QvX11WatchCompositor(void*) { return false; }
bool QvX11CompositorEvent(const SDL_SysWMmsg*) { return false; }
unsigned long QvX11ArgbVisual(void*) { return 0; }
std::string QvX11Resources(void*) { return std::string(); }
void QvX11SetOwner(SDL_Window*, SDL_Window*) {}
void QvX11NoFocusOnMap(SDL_Window*, bool) {}
void QvX11SetShape(SDL_Window*, const std::vector<TRect>*, bool) {}
void QvX11SetInputShape(SDL_Window*, const std::vector<TRect>&) {}
bool QvX11Placement(SDL_Window*, TRect&) { return false; }
void QvX11Restack(const std::vector<SDL_Window*>&) {}

#endif
