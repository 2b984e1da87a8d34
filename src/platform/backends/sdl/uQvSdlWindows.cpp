#include "platform/backends/sdl/uQvSdlWindows.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/backends/sdl/uQvSdlX11.h"
#include "platform/uQvBase.h"
#include "platform/uQvColor.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr unsigned AllChanges = tcGeometry | tcShown | tcStyle | tcOwner | tcLayer | tcShape;
// Requests remembered to tell a late echo from a placement the display imposed.
constexpr size_t RememberedRequests = 8;
// Above this many dirty rectangles their bounding box is presented instead.
constexpr size_t MaxPresentRects = 64;

bool Focusable(TQvSdlKind K) { return K == skNormal || K == skOwned; }

// The menu colour as 0xRRGGBB: what a menu's translucent pixels lie on where the display
// cannot show alpha.
uint32_t MenuUnderlay() {
    const COLORREF C = GetSysColor(COLOR_MENU);
    return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}

}  // namespace

TQvSdlWindows::TQvSdlWindows(const TQvSdlDisplay& Display, TPoint Origin) : FDisplay(Display), FOrigin(Origin) {
    ReadPlacement = [](SDL_Window* W, TRect& R) { return QvX11Placement(W, R); };
}

TQvSdlWindows::~TQvSdlWindows() {
    if (FLost) return;
    for (auto& [H, N] : FWindows)
        if (N.Win) SDL_DestroyWindow(N.Win);
}

TRect TQvSdlWindows::ToNative(const TRect& S) const {
    TRect R = S;
    OffsetRect(R, FOrigin.X, FOrigin.Y);
    return R;
}

TRect TQvSdlWindows::ToScreen(const TRect& N) const {
    TRect R = N;
    OffsetRect(R, -FOrigin.X, -FOrigin.Y);
    return R;
}

HWND TQvSdlWindows::Find(Uint32 Id) const {
    const auto It = FIds.find(Id);
    return It == FIds.end() ? nullptr : It->second;
}

SDL_Window* TQvSdlWindows::Native(HWND H) const {
    const auto It = FWindows.find(H);
    return It == FWindows.end() ? nullptr : It->second.Win;
}

// ---- What the window system reports ----------------------------------------------------

void TQvSdlWindows::Created(const TQvTopLevel& D) {
    TNative& N = FWindows[D.Handle];
    N.D = D;
    N.MenuClass = GetClassNameString(D.Handle) == u"#32768";
    Apply(N, AllChanges);
}

void TQvSdlWindows::Changed(const TQvTopLevel& D, unsigned Changes) {
    const auto It = FWindows.find(D.Handle);
    if (It == FWindows.end()) return Created(D);
    It->second.D = D;
    Apply(It->second, Changes);
}

void TQvSdlWindows::Destroyed(HWND H) {
    const auto It = FWindows.find(H);
    if (It == FWindows.end()) return;
    Unrealize(It->second);
    FWindows.erase(It);
    FOrder.erase(std::remove(FOrder.begin(), FOrder.end(), H), FOrder.end());
    if (FActive == H) FActive = nullptr;
}

void TQvSdlWindows::Reordered(const std::vector<HWND>& TopFirst) { FOrder = TopFirst; }

void TQvSdlWindows::Present(HWND H, const TQvRegion& Dirty) {
    const auto It = FWindows.find(H);
    if (It != FWindows.end()) Upload(It->second, &Dirty);
}

// ---- Native windows --------------------------------------------------------------------

bool TQvSdlWindows::WantsArgb(const TNative& N) const {
    return N.D.Pushed && N.D.PerPixel && FDisplay.Compositor && FDisplay.ArgbVisual != 0;
}

bool TQvSdlWindows::Showable(const TNative& N) const {
    if (IsRectEmpty(N.D.Window)) return false;
    if (N.D.Pushed && QvTopLevelPixels(N.D.Handle) == nullptr) return false;
    // Without alpha a translucent window the pointer passes through is pure decoration (a
    // shadow, a drag image): shown opaque it would only look broken.
    const bool ClickThrough = (N.D.ExStyle & WS_EX_TRANSPARENT) != 0;
    return !(N.D.Pushed && N.D.PerPixel && !WantsArgb(N) && ClickThrough);
}

void TQvSdlWindows::Realize(TNative& N) {
    const HWND H = N.D.Handle;
    N.Kind = QvSdlKindOf(N.D.Style, N.D.ExStyle, N.D.Owner != nullptr, N.MenuClass);
    N.Argb = WantsArgb(N);
    Uint32 Flags = QvSdlKindFlags(N.Kind);
    if (N.D.ExStyle & WS_EX_TOPMOST) Flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (N.Argb) {
        char Visual[32];
        std::snprintf(Visual, sizeof Visual, "0x%lx", FDisplay.ArgbVisual);
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, Visual);
    }
    const TRect R = ToNative(N.D.Window);
    N.Title = GetWindowTextString(H);
    N.Win = SDL_CreateWindow(StringToUtf8(N.Title).c_str(), R.Left, R.Top, std::max(1, R.Width()),
                             std::max(1, R.Height()), Flags);
    if (N.Argb) SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, "");
    if (N.Win == nullptr) {
        std::fprintf(stderr, "SDL backend: cannot make a native window: %s\n", SDL_GetError());
        return;
    }
    N.Id = SDL_GetWindowID(N.Win);
    FIds[N.Id] = H;
    N.Placed = R;
    N.Requests.assign(1, R);
    N.Mapped = N.Iconified = false;
    N.Opacity = 1;
    N.OwnerSet = nullptr;
    N.ShapeSet = false;
    N.Surface = nullptr;
    ApplyOwner(N);
    for (auto& [Other, O] : FWindows)
        if (O.D.Owner == H && O.Win) ApplyOwner(O);
}

void TQvSdlWindows::Unrealize(TNative& N) {
    if (N.Win == nullptr) return;
    FIds.erase(N.Id);
    if (!FLost) SDL_DestroyWindow(N.Win);
    N.Win = nullptr;
    N.Mapped = N.Iconified = false;
    FStacked.clear();
}

void TQvSdlWindows::Apply(TNative& N, unsigned Changes) {
    if (FLost) return;
    if (N.Win == nullptr) {
        if (!N.D.Shown || !Showable(N)) return;
        Realize(N);
        if (N.Win == nullptr) return;
        Changes = AllChanges;
    } else if (Changes & (tcStyle | tcOwner | tcLayer)) {
        // The window's type is fixed when SDL makes it: another kind needs another window.
        const TQvSdlKind Kind = QvSdlKindOf(N.D.Style, N.D.ExStyle, N.D.Owner != nullptr, N.MenuClass);
        if (Kind != N.Kind || WantsArgb(N) != N.Argb) {
            Unrealize(N);
            return Apply(N, AllChanges);
        }
    }
    if (Changes & tcStyle) SDL_SetWindowAlwaysOnTop(N.Win, (N.D.ExStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
    if (Changes & tcOwner) ApplyOwner(N);
    if (Changes & (tcShape | tcStyle | tcLayer)) ApplyShape(N);
    if (Changes & tcGeometry) Place(N);
    if (Changes & tcLayer) {
        // Constant alpha needs a compositor; without one the window stays opaque.
        const BYTE A = N.D.Alpha;
        const float Want = (FDisplay.Compositor && A > 0 && A < 255) ? static_cast<float>(A) / 255.0f : 1.0f;
        if (Want != N.Opacity && SDL_SetWindowOpacity(N.Win, Want) == 0) N.Opacity = Want;
    }
    MapState(N);
}

void TQvSdlWindows::Place(TNative& N) {
    if (N.D.Style & WS_MINIMIZE) return;  // its rectangle is parked off screen meanwhile
    const TRect Want = ToNative(N.D.Window);
    if (Want == N.Placed || IsRectEmpty(Want)) return;
    if (Want.Left != N.Placed.Left || Want.Top != N.Placed.Top) SDL_SetWindowPosition(N.Win, Want.Left, Want.Top);
    if (Want.Width() != N.Placed.Width() || Want.Height() != N.Placed.Height())
        SDL_SetWindowSize(N.Win, Want.Width(), Want.Height());
    Expect(N, Want);
    TRect Got;
    if (N.Mapped && ReadPlacement && ReadPlacement(N.Win, Got) && Got != Want) {
        // What the display made of it is what we hear of next; our own request's echoes
        // are late from now on.
        Expect(N, Got);
        FImposed.emplace_back(N.D.Handle, ToScreen(Got));
    }
}

void TQvSdlWindows::Expect(TNative& N, const TRect& R) {
    N.Requests.push_back(R);
    while (N.Requests.size() > RememberedRequests) N.Requests.pop_front();
    N.Placed = R;
}

void TQvSdlWindows::MapState(TNative& N) {
    const bool Visible = (N.D.Style & WS_VISIBLE) != 0, Minimized = (N.D.Style & WS_MINIMIZE) != 0;
    if (Visible && Minimized) {
        // Iconified where a window manager can give it back, else simply not shown.
        if (!N.Mapped || N.Iconified) return;
        if (FDisplay.WindowManager) {
            SDL_MinimizeWindow(N.Win);
            N.Iconified = true;
        } else {
            SDL_HideWindow(N.Win);
            N.Mapped = false;
        }
        return;
    }
    const bool Want = N.D.Shown && N.D.Alpha > 0 && Showable(N);
    if (N.Iconified) {
        N.Iconified = false;
        if (Want) {
            SDL_RestoreWindow(N.Win);
            Upload(N, nullptr);
            FStacked.clear();
            return;
        }
    }
    if (Want && !N.Mapped) {
        QvX11NoFocusOnMap(N.Win, GetActiveWindow() != N.D.Handle);
        SDL_ShowWindow(N.Win);
        N.Mapped = true;
        Upload(N, nullptr);
        FStacked.clear();
    } else if (!Want && N.Mapped) {
        SDL_HideWindow(N.Win);
        N.Mapped = false;
    }
}

void TQvSdlWindows::ApplyShape(TNative& N) {
    if (!FDisplay.Shape) return;
    const bool ClickThrough = (N.D.ExStyle & WS_EX_LAYERED) && (N.D.ExStyle & WS_EX_TRANSPARENT);
    std::optional<TQvRegion> Visible = N.D.Shape;
    if (N.D.UseKey) {
        if (const TGdiBitmap* Px = QvTopLevelPixels(N.D.Handle)) {
            const COLORREF K = N.D.Key;
            TQvRegion Keyed = QvSdlKeyShape(*Px, ((K & 0xFF) << 16) | (K & 0xFF00) | ((K >> 16) & 0xFF));
            Visible = Visible ? *Visible & Keyed : Keyed;
        }
    }
    if (!Visible && !ClickThrough && !N.ShapeSet) return;
    if (Visible && N.ShapeSet && N.ShapeShown == *Visible && N.ShapeClickThrough == ClickThrough) return;
    QvX11SetShape(N.Win, Visible ? &Visible->Rects() : nullptr, ClickThrough);
    N.ShapeSet = Visible.has_value() || ClickThrough;
    N.ShapeShown = Visible.value_or(TQvRegion());
    N.ShapeClickThrough = ClickThrough;
}

void TQvSdlWindows::ApplyOwner(TNative& N) {
    const auto Owner = FWindows.find(N.D.Owner);
    const HWND Want = (Owner != FWindows.end() && Owner->second.Win) ? N.D.Owner : nullptr;
    if (Want == N.OwnerSet) return;
    QvX11SetOwner(N.Win, Want ? Owner->second.Win : nullptr);
    N.OwnerSet = Want;
}

void TQvSdlWindows::Upload(TNative& N, const TQvRegion* Dirty) {
    if (FLost || !N.Mapped || N.Win == nullptr) return;
    const TGdiBitmap* Px = QvTopLevelPixels(N.D.Handle);
    SDL_Surface* S = Px ? SDL_GetWindowSurface(N.Win) : nullptr;
    if (S == nullptr) return;
    // A new surface (SDL makes one after a size change) starts empty: all of it is shown.
    const bool Fresh = S != N.Surface || S->w != N.SurfaceW || S->h != N.SurfaceH;
    N.Surface = S;
    N.SurfaceW = S->w;
    N.SurfaceH = S->h;
    const TRect All = Rect(0, 0, std::min(S->w, Px->Width()), std::min(S->h, Px->Height()));
    std::vector<TRect> Parts;
    if (Dirty == nullptr || Fresh)
        Parts.push_back(All);
    else if (Dirty->Count() > MaxPresentRects)
        Parts.push_back(Dirty->Bounds());
    else
        Parts = Dirty->Rects();
    const bool PerPixel = N.D.Pushed && N.D.PerPixel;
    const uint32_t Underlay = MenuUnderlay();
    const Uint32 Format = S->format->format;
    const bool Direct = Format == SDL_PIXELFORMAT_ARGB8888 || Format == SDL_PIXELFORMAT_RGB888;
    std::vector<uint32_t> Row;
    std::vector<SDL_Rect> Shown;
    if (SDL_MUSTLOCK(S) && SDL_LockSurface(S) != 0) return;
    for (const TRect& P : Parts) {
        TRect R;
        if (!IntersectRect(R, P, All)) continue;
        const int W = R.Width();
        Row.resize(static_cast<size_t>(W));
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* Src = Px->Row(Y) + R.Left;
            // Pushed alpha goes to the display as it is where it can show it; anything else
            // is opaque.
            if (PerPixel && !N.Argb)
                QvSdlOverUnderlay(Src, Row.data(), W, Underlay);
            else if (PerPixel)
                std::copy(Src, Src + W, Row.begin());
            else
                for (int X = 0; X < W; ++X) Row[static_cast<size_t>(X)] = Src[X] | 0xFF000000;
            auto* Dst = static_cast<uint8_t*>(S->pixels) + static_cast<ptrdiff_t>(Y) * S->pitch;
            if (Direct)
                std::copy(Row.begin(), Row.end(), reinterpret_cast<uint32_t*>(Dst) + R.Left);
            else
                SDL_ConvertPixels(W, 1, SDL_PIXELFORMAT_ARGB8888, Row.data(), W * 4, Format,
                                  Dst + R.Left * S->format->BytesPerPixel, S->pitch);
        }
        Shown.push_back(SDL_Rect{R.Left, R.Top, W, R.Height()});
    }
    if (SDL_MUSTLOCK(S)) SDL_UnlockSurface(S);
    // The key colour's pixels may have moved with what was painted.
    if (N.D.UseKey && !Shown.empty()) ApplyShape(N);
    if (Shown.empty()) return;
    SDL_UpdateWindowSurfaceRects(N.Win, Shown.data(), static_cast<int>(Shown.size()));
    if (OnPresented) OnPresented();
}

// ---- Settling with the display ---------------------------------------------------------

void TQvSdlWindows::Settle(HWND Active) {
    if (FLost) return;
    const auto A = FWindows.find(Active);
    if (A != FWindows.end() && A->second.Mapped && Focusable(A->second.Kind)) {
        SDL_Window* Focus = SDL_GetKeyboardFocus();
        const bool FocusOurs = Focus != nullptr && FIds.count(SDL_GetWindowID(Focus)) != 0;
        if (Active != FActive || (FocusOurs && Focus != A->second.Win)) {
            SDL_SetWindowInputFocus(A->second.Win);
            FStacked.clear();  // giving the keyboard raises the window too
        }
    }
    FActive = Active;
    std::vector<SDL_Window*> Stack;
    for (HWND H : FOrder) {
        const auto It = FWindows.find(H);
        if (It != FWindows.end() && It->second.Mapped) Stack.push_back(It->second.Win);
    }
    if (Stack != FStacked) {
        QvX11Restack(Stack);
        FStacked = Stack;
    }
    for (auto& [H, N] : FWindows) {
        if (N.Win == nullptr) continue;
        String Title = GetWindowTextString(H);
        if (Title == N.Title) continue;
        N.Title = std::move(Title);
        SDL_SetWindowTitle(N.Win, StringToUtf8(N.Title).c_str());
    }
}

std::vector<std::pair<HWND, TRect>> TQvSdlWindows::TakeImposed() { return std::exchange(FImposed, {}); }

std::optional<TRect> TQvSdlWindows::Reported(HWND H, std::optional<TPoint> Position, std::optional<TSize> Size) {
    const auto It = FWindows.find(H);
    if (It == FWindows.end() || It->second.Win == nullptr || (It->second.D.Style & WS_MINIMIZE)) return std::nullopt;
    TNative& N = It->second;
    const auto& Q = N.Requests;
    // What matches an earlier request but not the latest is the display catching up.
    if (Position && !Q.empty()) {
        const auto Same = [&](const TRect& R) { return R.Left == Position->X && R.Top == Position->Y; };
        if (!Same(Q.back()) && std::any_of(Q.begin(), Q.end(), Same)) return std::nullopt;
    }
    if (Size && !Q.empty()) {
        const auto Same = [&](const TRect& R) { return R.Width() == Size->cx && R.Height() == Size->cy; };
        if (!Same(Q.back()) && std::any_of(Q.begin(), Q.end(), Same)) return std::nullopt;
    }
    TRect R = N.Placed;
    if (Position) R = Bounds(Position->X, Position->Y, R.Width(), R.Height());
    if (Size) R = Bounds(R.Left, R.Top, Size->cx, Size->cy);
    if (R != N.Placed) Expect(N, R);
    return ToScreen(R);
}
