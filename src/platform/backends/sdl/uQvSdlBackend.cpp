#include "platform/backends/sdl/uQvSdlBackend.h"

#include <poll.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <set>

#include "platform/backends/sdl/uQvSdlX11.h"
#include "platform/uQvImm.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvScreen.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinManager.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

// How long after a burst of input the loop wakes once more: SDL reports a lost focus
// only after a short delay (a window manager moves it in two steps), and nothing on the
// display connection would wake us for it.
constexpr uint64_t SettleMs = 250;

constexpr char LostMessage[] = "the connection to the display was lost";

// The backend the X connection watch reports to.
TQvSdlBackend* Live = nullptr;

void TraceTime(const char* What) {
    using namespace std::chrono;
    const auto Us = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "qv-sdl: %s at %lld.%03lld ms\n", What, static_cast<long long>(Us / 1000),
                 static_cast<long long>(Us % 1000));
}

void SetHints() {
    // Software presentation only: with acceleration SDL makes its own X window again at the
    // first surface request and loses the properties set on it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The click that activates a window is delivered to it, as on the original platform.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Closing windows is the program's business, not a reason for SDL_QUIT.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

}  // namespace

std::unique_ptr<TQvSdlBackend> TQvSdlBackend::Open(const TQvSdlOptions& Options, std::string& Error) {
    std::unique_ptr<TQvSdlBackend> B(new TQvSdlBackend());
    if (!B->Start(Options, Error)) return nullptr;
    return B;
}

namespace {

// SDL's video start, on its own so that the leak suppressions can name it: SDL and the
// bus library it opens keep start-up allocations for the whole process.
__attribute__((noinline)) int QvSdlStartVideo() { return SDL_InitSubSystem(SDL_INIT_VIDEO); }

}  // namespace

bool TQvSdlBackend::Start(const TQvSdlOptions& Options, std::string& Error) {
    SetHints();
    if (Options.Driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, Options.Driver);
    if (QvSdlStartVideo() != 0) {
        Error = SDL_GetError();
        return false;
    }
    FVideo = true;  // from here on the destructor undoes what was set up
    // A window that is never shown gives the X connection before any window of ours
    // exists, so the loop can wait on it and hear that it broke.
    FProbe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (FProbe == nullptr) {
        Error = SDL_GetError();
        return false;
    }
    FDisplay.X11 = QvX11DisplayOf(FProbe);
    if (FDisplay.X11) {
        FFd = QvX11ConnectionFd(FDisplay.X11);
        Live = this;
        QvX11WatchConnection(FDisplay.X11, [] {
            if (Live) Live->DisplayLost();
        });
        FDisplay.WindowManager = QvX11HasWindowManager(FDisplay.X11);
        // Watched before it is read, so no change falls between the two.
        if (QvX11WatchCompositor(FDisplay.X11)) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
        FDisplay.Compositor = QvX11HasCompositor(FDisplay.X11);
        FDisplay.ArgbVisual = QvX11ArgbVisual(FDisplay.X11);
        FDisplay.Shape = true;
        FResources = QvX11Resources(FDisplay.X11);
    }
    if (Options.VirtualDesktop) {
        SDL_Rect U{0, 0, 1280, 800};
        SDL_GetDisplayUsableBounds(0, &U);
        FDesktop = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, U.w, U.h,
                                    SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED);
        if (FDesktop == nullptr) {
            Error = SDL_GetError();
            return false;
        }
    }
    if (SDL_Rect P; !FDesktop && SDL_GetDisplayBounds(0, &P) == 0) FOrigin = TPoint{P.x, P.y};
    ReadMonitors();
    FWindows = std::make_unique<TQvSdlWindows>(FDisplay, FOrigin);
    const char* Trace = std::getenv("QV_SDL_TRACE");
    FTrace = Trace != nullptr && std::strcmp(Trace, "1") == 0;
    if (FTrace) {
        FWindows->OnPresented = [this] { Presented(); };
        TraceTime("display open");
    }
    SDL_StartTextInput();
    return true;
}

TQvSdlBackend::~TQvSdlBackend() {
    if (Live == this) Live = nullptr;
    // After a lost connection nothing may touch the display again; the process is ending.
    if (FLost || !FVideo) return;
    FWindows.reset();
    for (auto& [Id, C] : FCursors) SDL_FreeCursor(C);
    if (FDesktop) SDL_DestroyWindow(FDesktop);
    if (FProbe) SDL_DestroyWindow(FProbe);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TQvSdlBackend::ReadMonitors() {
    FMonitors.clear();
    if (FDesktop) {
        int W = 0, H = 0;
        SDL_GetWindowSize(FDesktop, &W, &H);
        float Dpi = 0;
        if (SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(FDesktop), &Dpi, nullptr, nullptr) != 0) Dpi = 0;
        FMonitors.push_back(TQvMonitorDesc{Rect(0, 0, W, H), Rect(0, 0, W, H), QvSdlChooseDpi(Dpi, FResources)});
        return;
    }
    const int Count = SDL_GetNumVideoDisplays();
    for (int I = 0; I < Count; ++I) {
        SDL_Rect B, U;
        if (SDL_GetDisplayBounds(I, &B) != 0) continue;
        if (SDL_GetDisplayUsableBounds(I, &U) != 0) U = B;
        float Dpi = 0;
        if (SDL_GetDisplayDPI(I, &Dpi, nullptr, nullptr) != 0) Dpi = 0;
        FMonitors.push_back(TQvMonitorDesc{Bounds(B.x - FOrigin.X, B.y - FOrigin.Y, B.w, B.h),
                                           Bounds(U.x - FOrigin.X, U.y - FOrigin.Y, U.w, U.h),
                                           QvSdlChooseDpi(Dpi, FResources)});
    }
    if (FMonitors.empty()) FMonitors.push_back(TQvMonitorDesc{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080), 96});
}

// ---- Clock and waiting -----------------------------------------------------------------

uint64_t TQvSdlBackend::Now() const { return SDL_GetTicks64(); }

int64_t TQvSdlBackend::WallClock() const {
    using namespace std::chrono;
    const int64_t Ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const time_t Seconds = static_cast<time_t>(Ms / 1000);
    tm Local{};
    localtime_r(&Seconds, &Local);
    return Ms + static_cast<int64_t>(Local.tm_gmtoff) * 1000;
}

void TQvSdlBackend::Sleep(uint32_t Ms) { SDL_Delay(Ms); }

void TQvSdlBackend::Wait(std::optional<uint64_t> Deadline) {
    if (FLost) throw EQvDisplayLost(LostMessage);
    if (FDesktop) {
        String Title = GetWindowTextString(GetActiveWindow());
        if (!Title.empty() && Title != FDesktopTitle) {
            FDesktopTitle = std::move(Title);
            SDL_SetWindowTitle(FDesktop, StringToUtf8(FDesktopTitle).c_str());
        }
    } else {
        FWindows->Settle(GetActiveWindow());
        const auto Imposed = FWindows->TakeImposed();
        for (const auto& [H, R] : Imposed) QvWmPlaced(H, R);
        if (!Imposed.empty()) return;
    }
    if (Drain()) return;
    const uint64_t T = Now();
    int64_t Timeout = -1;
    if (Deadline) Timeout = *Deadline > T ? static_cast<int64_t>(*Deadline - T) : 0;
    if (FSettleAt != 0) {
        const int64_t S = FSettleAt > T ? static_cast<int64_t>(FSettleAt - T) : 0;
        if (Timeout < 0 || S < Timeout) Timeout = S;
        FSettleAt = 0;
    }
    if (Timeout != 0) Block(static_cast<int>(std::min<int64_t>(Timeout, INT_MAX)));
    Drain();
    FSettleAt = 0;
}

bool TQvSdlBackend::Drain() {
    bool Any = false;
    for (;;) {
        bool Got = false;
        SDL_Event E;
        while (!FLost && SDL_PollEvent(&E)) {
            Got = true;
            Handle(E);
        }
        if (!Got) break;
        Any = true;
        // Finishing may ask the display (the pointer's position): drain again until a pass
        // finds nothing, so no event waits unseen in a queue while the loop sleeps.
        FinishBatch();
    }
    if (FLost) throw EQvDisplayLost(LostMessage);
    if (Any) FSettleAt = Now() + SettleMs;
    return Any;
}

void TQvSdlBackend::Block(int TimeoutMs) {
    if (FFd >= 0) {
        // SDL's own wait reads from a broken connection as if an event had come; waiting on
        // the connection ourselves lets the next drain find out instead.
        pollfd P{FFd, POLLIN, 0};
        ::poll(&P, 1, TimeoutMs);
        return;
    }
    SDL_Event E;
    if (SDL_WaitEventTimeout(&E, TimeoutMs)) {
        Handle(E);
        FinishBatch();
    }
}

void TQvSdlBackend::CompositorChanged(bool Running) {
    if (FLost || Running == FDisplay.Compositor) return;
    FDisplay.Compositor = Running;
    // The virtual desktop composes alpha itself: nothing changes for it.
    if (FDesktop) return;
    FWindows->DisplayChanged(FDisplay);
    QvWmCompositionChanged();
}

void TQvSdlBackend::DisplayLost() {
    if (FLost) return;
    FLost = true;
    if (FWindows) FWindows->Lost();
    // Wakes a wait inside SDL (a driver without a connection to wait on).
    SDL_Event E{};
    E.type = SDL_USEREVENT;
    SDL_PushEvent(&E);
}

void TQvSdlBackend::Presented() {
    if (FFirstFrame) {
        FFirstFrame = false;
        TraceTime("first frame");
    }
    if (FPressAt) {
        std::fprintf(stderr, "qv-sdl: press to frame %llu ms\n", static_cast<unsigned long long>(Now() - *FPressAt));
        TraceTime("frame after a press");
        FPressAt.reset();
    }
}

// ---- Events ----------------------------------------------------------------------------

HWND TQvSdlBackend::TargetOf(Uint32 Id) const { return FWindows->Find(Id); }

POINT TQvSdlBackend::GlobalPoint() const {
    int X = 0, Y = 0;
    SDL_GetGlobalMouseState(&X, &Y);
    return POINT{X - FOrigin.X, Y - FOrigin.Y};
}

POINT TQvSdlBackend::ScreenPoint(Uint32 Id, int X, int Y) const {
    if (FDesktop) return POINT{X, Y};
    // While a button is held the window under the pointer may be moving (our own move
    // loop): positions relative to it would lag behind, the display's own do not.
    if (FFd >= 0 && (FCaptured || SDL_GetMouseState(nullptr, nullptr) != 0)) return GlobalPoint();
    SDL_Window* W = SDL_GetWindowFromID(Id);
    if (W == nullptr) return FLastPoint.value_or(POINT{X, Y});
    int Wx = 0, Wy = 0;
    SDL_GetWindowPosition(W, &Wx, &Wy);
    return POINT{Wx + X - FOrigin.X, Wy + Y - FOrigin.Y};
}

void TQvSdlBackend::MoveTo(POINT P) {
    FOutside = false;
    if (FLastPoint && *FLastPoint == P) return;
    FLastPoint = P;
    QvInputMouseMove(P);
}

void TQvSdlBackend::Handle(const SDL_Event& E) {
    try {
        switch (E.type) {
            case SDL_QUIT: PostQuitMessage(0); break;
            case SDL_WINDOWEVENT: WindowEvent(E.window); break;
            case SDL_MOUSEMOTION: MoveTo(ScreenPoint(E.motion.windowID, E.motion.x, E.motion.y)); break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const Uint8 B = E.button.button;
                if (B != SDL_BUTTON_LEFT && B != SDL_BUTTON_RIGHT && B != SDL_BUTTON_MIDDLE) break;
                MoveTo(ScreenPoint(E.button.windowID, E.button.x, E.button.y));
                const TQvButton Button = B == SDL_BUTTON_LEFT    ? TQvButton::Left
                                         : B == SDL_BUTTON_RIGHT ? TQvButton::Right
                                                                 : TQvButton::Middle;
                QvInputMouseButton(Button, E.type == SDL_MOUSEBUTTONDOWN);
                if (FTrace && E.type == SDL_MOUSEBUTTONDOWN) FPressAt = Now();
                break;
            }
            case SDL_MOUSEWHEEL: {
                const float Sign = E.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
                if (const int D = FWheelY.Add(E.wheel.preciseY * Sign)) QvInputWheel(D);
                if (const int D = FWheelX.Add(E.wheel.preciseX * Sign)) QvInputWheel(D, true);
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const SDL_Keysym& K = E.key.keysym;
                const TQvSdlKey Key = QvSdlMapKey(K.scancode, K.sym, K.mod);
                if (Key.Vk) QvInputKey(Key.Vk, Key.Scan, E.type == SDL_KEYDOWN, Key.Extended);
                break;
            }
            case SDL_TEXTEDITING: ApplyText(FText.Editing(E.edit.text)); break;
            case SDL_TEXTEDITING_EXT:
                ApplyText(FText.Editing(E.editExt.text ? E.editExt.text : ""));
                SDL_free(E.editExt.text);
                break;
            case SDL_TEXTINPUT: ApplyText(FText.Input(E.text.text, static_cast<Uint16>(SDL_GetModState()))); break;
            case SDL_SYSWMEVENT:
                if (QvX11CompositorEvent(E.syswm.msg)) CompositorChanged(QvX11HasCompositor(FDisplay.X11));
                break;
            case SDL_DISPLAYEVENT:
                ReadMonitors();
                QvMonitorsChanged();
                break;
            default: break;
        }
    } catch (const EQvStalled&) {
        throw;
    } catch (const std::exception& X) {
        ReportException(X.what());
    }
}

void TQvSdlBackend::WindowEvent(const SDL_WindowEvent& E) {
    if (FDesktop && E.windowID == SDL_GetWindowID(FDesktop)) {
        switch (E.event) {
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                ReadMonitors();
                QvMonitorsChanged();
                QvScreenInvalidate(nullptr);
                break;
            case SDL_WINDOWEVENT_EXPOSED: QvScreenInvalidate(nullptr); break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                if (FocusMeans()) FFocusLost = GetActiveWindow();
                break;
            case SDL_WINDOWEVENT_LEAVE: FLeft = true; break;
            case SDL_WINDOWEVENT_CLOSE:
                if (const HWND A = GetActiveWindow())
                    QvWmSysCommand(A, SC_CLOSE);
                else
                    PostQuitMessage(0);
                break;
            default: break;
        }
        return;
    }
    const HWND H = TargetOf(E.windowID);
    if (H == nullptr) return;
    const TQvSdlWmRequest R = QvSdlWindowRequest(E, QvDescribeTopLevel(H).Style);
    switch (R.Kind) {
        // Without a window manager only we move the keyboard (and SDL, which gives it to
        // every window it shows there, and X, which drops it when that window hides): its
        // moves say nothing the window system does not know.
        case TQvSdlWmRequest::Focus:
            if (FocusMeans()) FFocusGained = H;
            break;
        case TQvSdlWmRequest::Unfocus:
            if (FocusMeans()) FFocusLost = H;
            break;
        case TQvSdlWmRequest::SysCommand: QvWmSysCommand(H, R.Command); break;
        case TQvSdlWmRequest::Moved:
            if (const auto S = FWindows->Reported(H, TPoint{R.A, R.B}, std::nullopt)) QvWmPlaced(H, *S);
            break;
        case TQvSdlWmRequest::Sized:
            if (const auto S = FWindows->Reported(H, std::nullopt, TSize{R.A, R.B})) QvWmPlaced(H, *S);
            break;
        case TQvSdlWmRequest::Expose:
            QvWmExpose(H, nullptr);
            FWindows->Exposed(H);
            break;
        case TQvSdlWmRequest::Enter: FOutside = false; break;
        case TQvSdlWmRequest::Leave: FLeft = true; break;
        case TQvSdlWmRequest::None: break;
    }
}

void TQvSdlBackend::FinishBatch() {
    try {
        // The keyboard moving between two windows of ours is no deactivation.
        if (FFocusGained) {
            QvWmFocus(FFocusGained, true);
            ApplyImeRect();
        } else if (FFocusLost && SDL_GetKeyboardFocus() == nullptr) {
            if (const HWND A = GetActiveWindow()) QvWmFocus(A, false);
        }
        FFocusGained = FFocusLost = nullptr;
        if (FLeft && !FCaptured && SDL_GetMouseFocus() == nullptr && SDL_GetMouseState(nullptr, nullptr) == 0) {
            FOutside = true;
            QvInputPointerLeft(FDesktop || FFd < 0 ? FLastPoint.value_or(POINT{-1, -1}) : GlobalPoint());
            FLastPoint.reset();
        }
        FLeft = false;
    } catch (const EQvStalled&) {
        throw;
    } catch (const std::exception& X) {
        ReportException(X.what());
    }
}

void TQvSdlBackend::ApplyText(const TQvSdlTextAction& A) {
    switch (A.Kind) {
        case TQvSdlTextAction::Chars: QvInputText(A.Text); break;
        case TQvSdlTextAction::Composition: QvInputImeComposition(A.Text); break;
        case TQvSdlTextAction::Commit: QvInputImeCommit(A.Text); break;
        case TQvSdlTextAction::None: break;
    }
}

// ---- Pointer, keyboard, clipboard ------------------------------------------------------

std::optional<POINT> TQvSdlBackend::PointerPos() const {
    if (FLost || FDesktop || FFd < 0 || !FOutside) return std::nullopt;
    return GlobalPoint();
}

void TQvSdlBackend::WarpPointer(POINT P) {
    if (FLost) return;
    if (FDesktop)
        SDL_WarpMouseInWindow(FDesktop, P.X, P.Y);
    else
        SDL_WarpMouseGlobal(P.X + FOrigin.X, P.Y + FOrigin.Y);
    FLastPoint = P;
}

void TQvSdlBackend::CaptureChanged(bool Captured) {
    FCaptured = Captured;
    if (FLost) return;
    // Beyond our windows the pointer can be followed only while a button is held.
    if (!Captured)
        SDL_CaptureMouse(SDL_FALSE);
    else if (SDL_GetMouseState(nullptr, nullptr) != 0)
        SDL_CaptureMouse(SDL_TRUE);
}

void TQvSdlBackend::CursorChanged(HCURSOR C) {
    if (FLost) return;
    if (C == nullptr) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    const SDL_SystemCursor Id = QvSdlCursorFor(QvCursorId(C));
    SDL_Cursor*& Shape = FCursors[Id];
    if (Shape == nullptr) Shape = SDL_CreateSystemCursor(Id);
    if (Shape) SDL_SetCursor(Shape);
    SDL_ShowCursor(SDL_ENABLE);
}

void TQvSdlBackend::ReportException(const std::string& What) {
    std::fprintf(stderr, "error while a message was handled: %s\n", What.c_str());
}

String TQvSdlBackend::ClipboardText() const {
    if (FLost) return String();
    char* T = SDL_GetClipboardText();
    String S = T ? Utf8ToString(T) : String();
    SDL_free(T);
    return S;
}

void TQvSdlBackend::SetClipboardText(const String& Text) {
    if (!FLost) SDL_SetClipboardText(StringToUtf8(Text).c_str());
}

void TQvSdlBackend::ImeInputRect(const RECT& Screen) {
    FImeRect = Screen;
    ApplyImeRect();
}

void TQvSdlBackend::ApplyImeRect() {
    if (FLost || !FImeRect) return;
    SDL_Window* W = FDesktop ? FDesktop : SDL_GetKeyboardFocus();
    if (W == nullptr) return;
    int X = 0, Y = 0;
    if (!FDesktop) SDL_GetWindowPosition(W, &X, &Y);
    SDL_Rect R{FImeRect->Left + FOrigin.X - X, FImeRect->Top + FOrigin.Y - Y, FImeRect->Width(), FImeRect->Height()};
    SDL_SetTextInputRect(&R);
}

TQvDisplayCaps TQvSdlBackend::DisplayCaps() const {
    std::set<UINT> Dpis;
    for (const TQvMonitorDesc& M : FMonitors) Dpis.insert(M.Dpi);
    // The virtual desktop composes alpha and shapes itself.
    return TQvDisplayCaps{FDesktop != nullptr || FDisplay.Compositor, FDesktop != nullptr || FDisplay.Shape,
                          Dpis.size() > 1};
}

// ---- Windows ---------------------------------------------------------------------------

void TQvSdlBackend::WindowCreated(const TQvTopLevel& D) {
    if (FTrace && D.Shown && FFirstFrame) TraceTime("first window shown");
    if (!FDesktop) FWindows->Created(D);
}

void TQvSdlBackend::WindowChanged(const TQvTopLevel& D, unsigned Changes) {
    if (!FDesktop) FWindows->Changed(D, Changes);
}

void TQvSdlBackend::WindowDestroyed(HWND H) {
    if (!FDesktop) FWindows->Destroyed(H);
}

void TQvSdlBackend::ZOrderChanged(const std::vector<HWND>& TopFirst) {
    if (!FDesktop) FWindows->Reordered(TopFirst);
}

void TQvSdlBackend::PresentWindow(HWND H, const TQvRegion& Dirty) {
    if (!FDesktop) FWindows->Present(H, Dirty);
}

void TQvSdlBackend::Present(const TQvRegion& Changed) {
    if (FLost || FDesktop == nullptr) return;
    SDL_Surface* S = SDL_GetWindowSurface(FDesktop);
    if (S == nullptr) return;
    const TGdiBitmap& Screen = QvComposedScreen();
    const TRect All = Rect(0, 0, std::min(S->w, Screen.Width()), std::min(S->h, Screen.Height()));
    std::vector<SDL_Rect> Shown;
    std::vector<uint32_t> Row;
    if (SDL_MUSTLOCK(S) && SDL_LockSurface(S) != 0) return;
    for (const TRect& P : Changed.Rects()) {
        TRect R;
        if (!IntersectRect(R, P, All)) continue;
        Row.resize(static_cast<size_t>(R.Width()));
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* Src = Screen.Row(Y) + R.Left;
            std::copy(Src, Src + R.Width(), Row.begin());
            SDL_ConvertPixels(R.Width(), 1, SDL_PIXELFORMAT_ARGB8888, Row.data(), R.Width() * 4, S->format->format,
                              static_cast<uint8_t*>(S->pixels) + static_cast<ptrdiff_t>(Y) * S->pitch +
                                  R.Left * S->format->BytesPerPixel,
                              S->pitch);
        }
        Shown.push_back(SDL_Rect{R.Left, R.Top, R.Width(), R.Height()});
    }
    if (SDL_MUSTLOCK(S)) SDL_UnlockSurface(S);
    if (!Shown.empty()) SDL_UpdateWindowSurfaceRects(FDesktop, Shown.data(), static_cast<int>(Shown.size()));
}
