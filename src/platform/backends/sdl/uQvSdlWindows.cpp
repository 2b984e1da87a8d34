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

constexpr unsigned AllChanges = tcGeometry | tcShown | tcStyle | tcOwner | tcLayer | tcShape | tcModal | tcMargin;
// Requests remembered to tell a late echo from a placement the display imposed.
constexpr size_t RememberedRequests = 8;
// Above this many dirty rectangles their bounding box is presented instead.
constexpr size_t MaxPresentRects = 64;

bool Focusable(TQvSdlKind K) { return K == skNormal || K == skOwned; }

// The menu colour as 0xRRGGBB: what a menu's translucent pixels lie on where the display
// cannot show alpha.
uint32_t Rgb(COLORREF C) { return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF); }

uint32_t MenuUnderlay() { return Rgb(GetSysColor(COLOR_MENU)); }

bool ClickThrough(const TQvTopLevel& D) { return (D.ExStyle & WS_EX_LAYERED) && (D.ExStyle & WS_EX_TRANSPARENT); }

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
    // A side leaving a margin changes that host too.
    if (const HWND Was = It->second.D.MarginOf) FHostsPending.insert(Was);
    It->second.D = D;
    Apply(It->second, Changes);
}

void TQvSdlWindows::Destroyed(HWND H) {
    const auto It = FWindows.find(H);
    if (It == FWindows.end()) return;
    Unrealize(It->second);
    if (const HWND Host = It->second.D.MarginOf) FHostsPending.insert(Host);
    FHostsPending.erase(H);
    FWindows.erase(It);
    FOrder.erase(std::remove(FOrder.begin(), FOrder.end(), H), FOrder.end());
    if (FActive == H) FActive = nullptr;
}

void TQvSdlWindows::Reordered(const std::vector<HWND>& TopFirst) { FOrder = TopFirst; }

void TQvSdlWindows::Present(HWND H, const TQvRegion& Dirty) {
    ResolveHosts();
    const auto It = FWindows.find(H);
    if (It == FWindows.end()) return;
    const bool Side = Composes() && It->second.D.MarginOf != nullptr;
    TNative* Host = Side ? HostOf(It->second) : IsHost(It->second) ? &It->second : nullptr;
    if (!Side && Host == nullptr) return Upload(It->second, &Dirty);
    if (Host == nullptr) return;
    // In the host's coordinates.
    const TRect Covered = CoveredBy(*Host);
    TQvRegion Part = Dirty;
    Part.Offset(It->second.D.Window.Left - Covered.Left, It->second.D.Window.Top - Covered.Top);
    Upload(*Host, &Part);
}

void TQvSdlWindows::Exposed(HWND H) {
    const auto It = FWindows.find(H);
    // A host's margin is not the form's to paint again: it is shown again here.
    if (It != FWindows.end() && IsHost(It->second)) Upload(It->second, nullptr);
}

TRect TQvSdlWindows::Covered(HWND H) const {
    const auto It = FWindows.find(H);
    return It == FWindows.end() || It->second.Win == nullptr ? TRect() : CoveredBy(It->second);
}

// ---- Margins ---------------------------------------------------------------------------

TQvSdlWindows::TNative* TQvSdlWindows::HostOf(const TNative& N) {
    if (!Composes() || N.D.MarginOf == nullptr) return nullptr;
    const auto It = FWindows.find(N.D.MarginOf);
    return It == FWindows.end() || It->second.D.MarginOf != nullptr ? nullptr : &It->second;
}

bool TQvSdlWindows::IsHost(const TNative& N) const {
    if (!Composes() || N.D.MarginOf != nullptr) return false;
    return std::any_of(FWindows.begin(), FWindows.end(),
                       [&](const auto& E) { return E.second.D.MarginOf == N.D.Handle; });
}

TRect TQvSdlWindows::CoveredBy(const TNative& N) const {
    TRect R = N.D.Window;
    if (!IsHost(N)) return R;
    for (const auto& [H, O] : FWindows)
        if (O.D.MarginOf == N.D.Handle && O.D.Shown && O.D.Alpha > 0 && QvTopLevelPixels(H) != nullptr)
            UnionRect(R, R, O.D.Window);
    return R;
}

TRect TQvSdlWindows::Uncovered(const TNative& N, const TRect& C) const {
    const TRect S = CoveredBy(N), &W = N.D.Window;
    return Rect(C.Left + (W.Left - S.Left), C.Top + (W.Top - S.Top), C.Right - (S.Right - W.Right),
                C.Bottom - (S.Bottom - W.Bottom));
}

std::vector<TQvMarginLayer> TQvSdlWindows::MarginLayers(const TNative& Host, const TRect& Covered) const {
    // The sides in our z-order, bottom first (those not ordered yet at the bottom), then
    // the form.
    std::vector<const TNative*> Sides;
    for (const auto& [H, O] : FWindows)
        if (O.D.MarginOf == Host.D.Handle && O.D.Shown) Sides.push_back(&O);
    const auto Rank = [this](const TNative* O) {
        const auto At = std::find(FOrder.begin(), FOrder.end(), O->D.Handle);
        return At - FOrder.begin();
    };
    std::stable_sort(Sides.begin(), Sides.end(), [&](const TNative* A, const TNative* B) { return Rank(A) > Rank(B); });
    Sides.push_back(&Host);
    std::vector<TQvMarginLayer> Layers;
    for (const TNative* O : Sides) {
        const TQvTopLevel& D = O->D;
        TRect R = D.Window;
        OffsetRect(R, -Covered.Left, -Covered.Top);
        Layers.push_back(TQvMarginLayer{R, QvTopLevelPixels(D.Handle), D.Alpha, D.Pushed && D.PerPixel, ClickThrough(D),
                                        D.Shape ? &*D.Shape : nullptr, D.UseKey ? Rgb(D.Key) : NoColorKey});
    }
    return Layers;
}

void TQvSdlWindows::ApplyInput(TNative& N, const std::vector<TQvMarginLayer>& Layers) {
    if (!FDisplay.Shape) return;
    TQvRegion Input = QvMarginInput(Layers);
    if (N.InputSet && Input == N.InputShown) return;
    if (N.ShapeSet) {
        // What the window was shaped by before it showed a margin.
        QvX11SetShape(N.Win, nullptr, false);
        N.ShapeSet = false;
    }
    QvX11SetInputShape(N.Win, Input.Rects());
    N.InputSet = true;
    N.InputShown = std::move(Input);
}

void TQvSdlWindows::ResolveHosts() {
    if (FLost) return;
    const std::set<HWND> Pending = std::exchange(FHostsPending, {});
    for (HWND H : Pending) {
        const auto It = FWindows.find(H);
        if (It == FWindows.end()) continue;
        TNative& N = It->second;
        const bool Had = N.Win != nullptr;
        const TRect Was = N.Placed;
        Apply(N, tcGeometry | tcLayer);
        // A margin that grew or shrank is a new surface: all of it is shown again.
        if (Had && N.Win != nullptr && (N.Placed.Width() != Was.Width() || N.Placed.Height() != Was.Height()))
            Upload(N, nullptr);
    }
}

void TQvSdlWindows::DisplayChanged(const TQvSdlDisplay& Display) {
    FDisplay = Display;
    for (auto& [H, N] : FWindows) Apply(N, tcLayer);
    ResolveHosts();
}

// ---- Native windows --------------------------------------------------------------------

bool TQvSdlWindows::WantsArgb(const TNative& N) const {
    return (N.D.Pushed && N.D.PerPixel && Composes()) || IsHost(N);
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
    const TRect R = ToNative(CoveredBy(N));
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
    N.ModalSet = false;
    N.ShapeSet = false;
    N.InputSet = false;
    N.Surface = nullptr;
    ApplyOwner(N);
    for (auto& [Other, O] : FWindows)
        if ((O.D.Owner == H || O.D.ModalFor == H) && O.Win) ApplyOwner(O);
}

void TQvSdlWindows::Unrealize(TNative& N) {
    if (N.Win == nullptr) return;
    FIds.erase(N.Id);
    if (!FLost) SDL_DestroyWindow(N.Win);
    N.Win = nullptr;
    // Windows kept above this one hear of its next native window when it is made.
    for (auto& [H, O] : FWindows)
        if (O.OwnerSet == N.D.Handle) {
            O.OwnerSet = nullptr;
            O.ModalSet = false;
        }
    N.Mapped = N.Iconified = false;
    FStacked.clear();
}

void TQvSdlWindows::Apply(TNative& N, unsigned Changes) {
    if (FLost) return;
    if (Composes() && N.D.MarginOf != nullptr) {
        // Shown in its host's margin (the host may be told of after it).
        Unrealize(N);
        FHostsPending.insert(N.D.MarginOf);
        return;
    }
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
    if (Changes & (tcOwner | tcModal)) ApplyOwner(N);
    if (Changes & (tcShape | tcStyle | tcLayer)) ApplyShape(N);
    if (Changes & tcGeometry) Place(N);
    if (Changes & tcLayer) {
        // Constant alpha needs a compositor; without one the window stays opaque.
        const BYTE A = N.D.Alpha;
        // A host's constant alpha is the form's alone: it goes into the composed pixels.
        const bool Opacity = FDisplay.Compositor && A > 0 && A < 255 && !IsHost(N);
        const float Want = Opacity ? static_cast<float>(A) / 255.0f : 1.0f;
        if (Want != N.Opacity && SDL_SetWindowOpacity(N.Win, Want) == 0) N.Opacity = Want;
    }
    MapState(N);
}

void TQvSdlWindows::Place(TNative& N) {
    if (N.D.Style & WS_MINIMIZE) return;  // its rectangle is parked off screen meanwhile
    const TRect Want = ToNative(CoveredBy(N));
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
        FImposed.emplace_back(N.D.Handle, Uncovered(N, ToScreen(Got)));
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
    // A host's shape is in its composed pixels, and where it takes presses follows them.
    if (IsHost(N)) return ApplyInput(N, MarginLayers(N, CoveredBy(N)));
    if (N.InputSet) {
        QvX11SetShape(N.Win, nullptr, false);
        N.InputSet = false;
    }
    const bool ClickThrough = ::ClickThrough(N.D);
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
    // A modal loop's window is kept above the one it runs for; once the loop ends, above
    // its owner again.
    SDL_Window* ModalFor = Native(N.D.ModalFor);
    const HWND Want = ModalFor ? N.D.ModalFor : Native(N.D.Owner) ? N.D.Owner : nullptr;
    if (Want == N.OwnerSet && (ModalFor != nullptr) == N.ModalSet) return;
    if (ModalFor)
        SDL_SetWindowModalFor(N.Win, ModalFor);
    else
        QvX11SetOwner(N.Win, Native(Want));
    N.OwnerSet = Want;
    N.ModalSet = ModalFor != nullptr;
}

void TQvSdlWindows::Upload(TNative& N, const TQvRegion* Dirty) {
    if (FLost || !N.Mapped || N.Win == nullptr) return;
    const bool Host = IsHost(N);
    const TGdiBitmap* Px = QvTopLevelPixels(N.D.Handle);
    SDL_Surface* S = Px ? SDL_GetWindowSurface(N.Win) : nullptr;
    if (S == nullptr) return;
    const TRect Covered = CoveredBy(N);
    const std::vector<TQvMarginLayer> Layers = Host ? MarginLayers(N, Covered) : std::vector<TQvMarginLayer>();
    // A new surface (SDL makes one after a size change) starts empty: all of it is shown.
    const bool Fresh = S != N.Surface || S->w != N.SurfaceW || S->h != N.SurfaceH;
    N.Surface = S;
    N.SurfaceW = S->w;
    N.SurfaceH = S->h;
    const TRect All = Host ? Rect(0, 0, std::min(S->w, Covered.Width()), std::min(S->h, Covered.Height()))
                           : Rect(0, 0, std::min(S->w, Px->Width()), std::min(S->h, Px->Height()));
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
    std::vector<uint32_t> Row, Composed;
    std::vector<SDL_Rect> Shown;
    if (SDL_MUSTLOCK(S) && SDL_LockSurface(S) != 0) return;
    for (const TRect& P : Parts) {
        TRect R;
        if (!IntersectRect(R, P, All)) continue;
        const int W = R.Width();
        Row.resize(static_cast<size_t>(W));
        if (Host) {
            Composed.resize(static_cast<size_t>(W) * static_cast<size_t>(R.Height()));
            QvComposeMargin(Layers, R, Composed.data());
        }
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* Src = Host ? Composed.data() + static_cast<ptrdiff_t>(Y - R.Top) * W : Px->Row(Y) + R.Left;
            // Pushed alpha goes to the display as it is where it can show it; anything else
            // is opaque.
            if (Host)
                std::copy(Src, Src + W, Row.begin());
            else if (PerPixel && !N.Argb)
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
    // The key colour's pixels, and a margin's visible ones, may have moved with what was
    // painted.
    if (Host && !Shown.empty())
        ApplyInput(N, Layers);
    else if (N.D.UseKey && !Shown.empty())
        ApplyShape(N);
    if (Shown.empty()) return;
    SDL_UpdateWindowSurfaceRects(N.Win, Shown.data(), static_cast<int>(Shown.size()));
    if (OnPresented) OnPresented();
}

// ---- Settling with the display ---------------------------------------------------------

void TQvSdlWindows::Settle(HWND Active) {
    if (FLost) return;
    ResolveHosts();
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
    return Uncovered(N, ToScreen(R));
}
