#include "platform/uQvScreen.h"

#include <algorithm>
#include <cstring>

#include "platform/uQvBackend.h"
#include "platform/uQvGdiDevice.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvPixel.h"
#include "platform/uQvPng.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinState.h"

namespace {

enum TKind { skOpaque, skConstant, skPremultiplied };

// Everything about a shown window that decides its pixels on the screen, apart from what
// it painted.
struct TLook {
    RECT Window;
    TKind Kind = skOpaque;
    BYTE Alpha = 255;  // constant alpha, fade included
    bool UseKey = false;
    uint32_t Key = 0;                    // 0x00RRGGBB
    const TGdiBitmap* Pixels = nullptr;  // pushed pixels; null: the backing bitmap
    bool Shaped = false;
    std::optional<TQvAnimation> Animation;
    bool operator==(const TLook&) const = default;
};

struct TShown {
    const TQvWnd* W;
    TLook Look;
};

struct TState {
    bool Known = false;  // Bounds and Last describe the screen
    HBITMAP Handle = nullptr;
    TGdiBitmap* Bitmap = nullptr;
    RECT Bounds;
    TQvRegion Dirty;                           // to compose again
    TQvRegion Unpresented;                     // changed since the backend last heard
    std::vector<TRect> Pending;                // marked since, not yet in the two above
    std::vector<std::pair<HWND, TLook>> Last;  // bottom to top, as last seen
    ~TState() {
        if (Handle != nullptr) DeleteObject(Handle);
    }
};

TState& S() { return QvWinState<TState>(); }

TLook LookOf(const TQvWnd* W) {
    TLook L;
    L.Window = W->Window;
    L.Shaped = W->Shape.has_value();
    L.Animation = W->Animation;
    const BYTE Fade = W->Animation ? W->Animation->Fade : 255;
    const TQvLayer* Layer = (W->ExStyle & WS_EX_LAYERED) ? W->Layer.get() : nullptr;
    BYTE Alpha = 255;
    if (Layer != nullptr) {
        Alpha = Layer->Alpha;
        L.UseKey = Layer->UseKey;
        L.Key = GdiPixelOf(Layer->Key) & 0x00FFFFFF;
        if (Layer->Mode == lmPushed) {
            L.Pixels = Layer->Pixels.get();
            if (Layer->PerPixel) L.Kind = skPremultiplied;
            if (L.Pixels == nullptr) Alpha = 0;  // nothing pushed yet: nothing shows
        }
    }
    L.Alpha = static_cast<BYTE>(MulDiv255(Alpha, Fade));
    if (L.Kind == skOpaque && L.Alpha != 255) L.Kind = skConstant;
    if (L.Kind == skOpaque && L.UseKey) L.Kind = skConstant;
    return L;
}

bool Shown(const TQvWnd* W) {
    return W->Visible() && !W->MessageOnly && !(W->Style & WS_MINIMIZE);
}

// Shown top-level windows, bottom to top.
std::vector<TShown> ShownWindows() {
    std::vector<TShown> Out;
    const auto& Z = QvZOrder();
    for (auto It = Z.rbegin(); It != Z.rend(); ++It)
        if (Shown(*It)) Out.push_back(TShown{*It, LookOf(*It)});
    return Out;
}

// Where the window's pixels land on the screen.
TQvRegion AreaOf(const TQvWnd* W, const TLook& L) {
    const RECT& R = L.Window;
    POINT Shift{};
    if (L.Animation) Shift = L.Animation->Shift;
    // Pushed pixels may be smaller than the window; the backing bitmap has its size.
    const int Width = L.Pixels ? std::min(L.Pixels->Width(), R.Width()) : R.Width();
    const int Height = L.Pixels ? std::min(L.Pixels->Height(), R.Height()) : R.Height();
    TQvRegion Area(Bounds(R.Left + Shift.X, R.Top + Shift.Y, Width, Height));
    if (W->Shape) {
        TQvRegion Shape = *W->Shape;
        Shape.Offset(R.Left + Shift.X, R.Top + Shift.Y);
        Area &= Shape;
    }
    if (L.Animation) {
        RECT Part = L.Animation->Part;
        OffsetRect(Part, R.Left, R.Top);
        Area &= Part;
    }
    return Area;
}

// Adds the parts marked one by one, in one sweep (many small unions cost far more).
void FoldPending() {
    TState& St = S();
    if (St.Pending.empty()) return;
    TQvRegion Add = TQvRegion::FromRects(St.Pending);
    St.Pending.clear();
    Add &= St.Bounds;
    St.Dirty |= Add;
    St.Unpresented |= Add;
}

// Marks what differs between the windows as last seen and now.
void Collect() {
    TState& St = S();
    const RECT Screen = QvScreenBounds();
    if (!St.Known || Screen != St.Bounds) {
        St.Known = true;
        St.Bounds = Screen;
        St.Dirty = TQvRegion(Screen);
        St.Unpresented = TQvRegion(Screen);
        St.Last.clear();
    }
    FoldPending();
    const std::vector<TShown> Now = ShownWindows();
    std::vector<TRect> Changed;
    // Rank of every window that was shown before and still is, in the old order.
    std::vector<int> OldRank(Now.size(), -1);
    for (size_t I = 0; I < Now.size(); ++I) {
        const HWND H = Now[I].W->Handle;
        auto It = std::find_if(St.Last.begin(), St.Last.end(), [H](const auto& E) { return E.first == H; });
        if (It == St.Last.end()) {
            Changed.push_back(Now[I].Look.Window);
            continue;
        }
        OldRank[I] = static_cast<int>(It - St.Last.begin());
        if (!(It->second == Now[I].Look)) {
            Changed.push_back(It->second.Window);
            Changed.push_back(Now[I].Look.Window);
        }
    }
    for (const auto& [H, Look] : St.Last)
        if (std::none_of(Now.begin(), Now.end(), [H = H](const TShown& E) { return E.W->Handle == H; }))
            Changed.push_back(Look.Window);
    // Two windows that swapped places change where they overlap.
    for (size_t I = 0; I < Now.size(); ++I)
        for (size_t J = I + 1; J < Now.size(); ++J)
            if (OldRank[I] >= 0 && OldRank[J] >= 0 && OldRank[I] > OldRank[J]) {
                RECT Both;
                if (IntersectRect(Both, Now[I].Look.Window, Now[J].Look.Window)) Changed.push_back(Both);
            }
    St.Last.clear();
    for (const TShown& E : Now) St.Last.emplace_back(E.W->Handle, E.Look);
    if (Changed.empty()) return;
    TQvRegion Add = TQvRegion::FromRects(Changed);
    Add &= St.Bounds;
    St.Dirty |= Add;
    St.Unpresented |= Add;
}

// Source pixel rows of a window for screen row Y, or null where the source has no row.
const uint32_t* SourceRow(const TGdiBitmap& Src, int Y) {
    return (Y >= 0 && Y < Src.Height()) ? Src.Row(Y) : nullptr;
}

// Draws the window's part R (screen coordinates) onto the screen bitmap.
void DrawPart(const TGdiBitmap& Src, const TLook& L, POINT SrcOrigin, const RECT& R) {
    TState& St = S();
    const int Ox = St.Bounds.Left, Oy = St.Bounds.Top;
    // The screen is opaque; colour-key pixels show what lies below.
    const TPixelKernels& Kernels = PixelKernels();
    const TLineBlendOptions Options{L.UseKey ? L.Key : NoColorKey, 0xFF000000u};
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        const uint32_t* Row = SourceRow(Src, Y - SrcOrigin.Y);
        if (Row == nullptr) continue;
        // Only the columns the source has.
        const int X0 = std::max(R.Left, SrcOrigin.X), X1 = std::min(R.Right, SrcOrigin.X + Src.Width());
        if (X0 >= X1) continue;
        const uint32_t* Sp = Row + (X0 - SrcOrigin.X);
        uint32_t* Dp = St.Bitmap->Row(Y - Oy) + (X0 - Ox);
        const int N = X1 - X0;
        switch (L.Kind) {
            case skOpaque:
                for (int K = 0; K < N; ++K) Dp[K] = Sp[K] | 0xFF000000u;
                break;
            case skConstant:
                Kernels.ConstantBlendLine(Sp, Dp, N, L.Alpha, Options);
                break;
            case skPremultiplied:
                Kernels.PremultipliedBlendLine(Sp, Dp, N, L.Alpha, Options);
                break;
        }
    }
}

bool Opaque(const TLook& L) {
    return L.Kind == skOpaque;
}

void Compose() {
    Collect();
    TState& St = S();
    if (St.Bitmap == nullptr || St.Bitmap->Width() != St.Bounds.Width() ||
        St.Bitmap->Height() != St.Bounds.Height()) {
        if (St.Handle != nullptr) DeleteObject(St.Handle);
        St.Handle = GdiCreateBitmap32(St.Bounds.Width(), St.Bounds.Height());
        St.Bitmap = GdiBitmapOf(St.Handle);
        St.Dirty = TQvRegion(St.Bounds);
    }
    if (St.Dirty.IsEmpty() || St.Bitmap == nullptr) return;
    // Top to bottom: what each window shows of the dirty part; opaque windows hide what
    // lies below them, so every pixel is written once below the first translucent window.
    const std::vector<TShown> Now = ShownWindows();
    std::vector<std::pair<size_t, TQvRegion>> Parts;
    TQvRegion Left = St.Dirty;
    for (size_t I = Now.size(); I-- > 0 && !Left.IsEmpty();) {
        const TLook& L = Now[I].Look;
        if (L.Alpha == 0) continue;
        TQvRegion Area = AreaOf(Now[I].W, L);
        Area &= Left;
        if (Area.IsEmpty()) continue;
        if (Opaque(L)) Left -= Area;
        Parts.emplace_back(I, std::move(Area));
    }
    const int Ox = St.Bounds.Left, Oy = St.Bounds.Top;
    for (const RECT& R : Left.Rects())
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            uint32_t* Row = St.Bitmap->Row(Y - Oy);
            std::fill(Row + (R.Left - Ox), Row + (R.Right - Ox), QvDesktopPixel);
        }
    for (auto It = Parts.rbegin(); It != Parts.rend(); ++It) {
        const TShown& E = Now[It->first];
        const TGdiBitmap* Src = E.Look.Pixels ? E.Look.Pixels : GdiBitmapOf(QvBackingBitmap(E.W->Handle));
        if (Src == nullptr) continue;
        POINT Origin{E.Look.Window.Left, E.Look.Window.Top};
        if (E.Look.Animation) {
            Origin.X += E.Look.Animation->Shift.X;
            Origin.Y += E.Look.Animation->Shift.Y;
        }
        for (const RECT& R : It->second.Rects()) DrawPart(*Src, E.Look, Origin, R);
    }
    St.Dirty.Clear();
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

void QvScreenChanged(const TQvRegion& Screen) {
    auto& P = S().Pending;
    P.insert(P.end(), Screen.Rects().begin(), Screen.Rects().end());
    if (P.size() > 4096) FoldPending();
}

void QvScreenChanged(const RECT& Screen) {
    QvScreenChanged(TQvRegion(Screen));
}

void QvScreenPresent() {
    Collect();
    TState& St = S();
    const TQvRegion Changed = std::move(St.Unpresented);
    St.Unpresented.Clear();
    QvTopLevelsSync(Changed);
    if (!Changed.IsEmpty()) QvBackend().Present(Changed);
}

HDC QvScreenDC() {
    Compose();
    TState& St = S();
    return GdiCreateDeviceDC(St.Handle, TPoint{-St.Bounds.Left, -St.Bounds.Top}, nullptr, nullptr);
}

// ---- Screen ----------------------------------------------------------------------------

HDC CreateDCW(LPCWSTR Driver, LPCWSTR, LPCWSTR, const void*) {
    if (Driver == nullptr) return nullptr;
    const std::u16string_view Name(Driver);
    static constexpr std::u16string_view Display = u"DISPLAY";
    if (Name.size() != Display.size()) return nullptr;
    for (size_t I = 0; I < Name.size(); ++I) {
        const Char C = (Name[I] >= u'a' && Name[I] <= u'z') ? static_cast<Char>(Name[I] - 32) : Name[I];
        if (C != Display[I]) return nullptr;
    }
    return QvScreenDC();
}

void QvScreenInvalidate(const RECT* Screen) {
    Collect();
    QvScreenChanged(Screen ? *Screen : S().Bounds);
}

RECT QvScreenBounds() {
    return Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                  GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

const TGdiBitmap& QvComposedScreen() {
    Compose();
    if (S().Bitmap != nullptr) return *S().Bitmap;
    // A virtual screen too large for one bitmap: a single desktop pixel rather than a crash.
    static const std::shared_ptr<TGdiBitmap> Fallback = [] {
        auto B = TGdiBitmap::Create(1, 1);
        B->Pixel(0, 0) = QvDesktopPixel;
        return B;
    }();
    return *Fallback;
}

void QvSaveScreenshot(const String& FileName) {
    const TGdiBitmap& Screen = QvComposedScreen();
    std::vector<uint32_t> Pixels(static_cast<size_t>(Screen.Width()) * Screen.Height());
    for (int Y = 0; Y < Screen.Height(); ++Y)
        std::memcpy(&Pixels[static_cast<size_t>(Y) * Screen.Width()], Screen.Row(Y),
                    static_cast<size_t>(Screen.Width()) * 4);
    TQvPngWriteOptions Options;
    Options.ColorMode = pcmRGB;
    Options.CompressionLevel = 6;
    SavePngToFile(FileName, Pixels.data(), Screen.Width(), Screen.Height(), Options);
}
