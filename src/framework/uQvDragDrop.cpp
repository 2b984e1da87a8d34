#include "framework/uQvDragDrop.h"

#include <cstdlib>

#include "framework/uQvApplication.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr Char DragImageClass[] = u"TQvDragImage";
constexpr int DefaultThreshold = 5;
constexpr uint32_t TransparentRgb = 0xFF00FF;  // magenta, as 0xRRGGBB of a pixel

// The drag running now. Gen counts drags, so code that raised an event can tell whether
// the drag it belongs to is still the one running.
struct TDrag {
    bool Active = false;
    bool Started = false;
    unsigned Gen = 0;
    TControl* Source = nullptr;
    TQvAliveCheck SourceAlive{std::make_shared<const bool>(false)};
    std::unique_ptr<TDragObject> Object;
    TControl* Target = nullptr;
    TQvAliveCheck TargetAlive{std::make_shared<const bool>(false)};
    bool Accepted = false;
    TPoint StartPos;
    int Threshold = DefaultThreshold;
    HWND Capture = nullptr;
};

TDrag& D() {
    static TDrag Drag;
    return Drag;
}

// What OnDragOver and OnDragDrop see as Source: the dragged control, else the object.
TObject* SourceOf(TDragObject* O) {
    if (auto* C = dynamic_cast<TDragControlObject*>(O)) return C->Control();
    return O;
}

// Asks Target whether it takes the drag at Screen; false when it does not or the drag
// ended meanwhile.
bool AskTarget(TControl* Target, TPoint Screen, TDragState State) {
    const TPoint P = Target->ScreenToClient(Screen);
    bool Accept = false;
    Target->DragOver(SourceOf(D().Object.get()), P.X, P.Y, State, Accept);
    return Accept;
}

void ShowCursor(TCursor C) {
    const TCursor Over = Screen != nullptr ? Screen->Cursor() : crDefault;
    ::SetCursor(CursorHandle(Over != crDefault ? Over : C));
}

HWND CaptureWindowFor(TControl* C) {
    auto* W = C->AsWinControl();
    if (W == nullptr) W = C->Parent();
    return W != nullptr ? W->Handle() : nullptr;
}

}  // namespace

// ---- TDragImageList -------------------------------------------------------------------

TDragImageList::TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {
    SetColorDepth(cd32Bit);
}

TDragImageList::~TDragImageList() {
    HideDragImage();
}

void TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
    FDragIndex = Index;
    FHotSpot = TPoint{HotSpotX, HotSpotY};
    FShownIndex = -1;
}

void TDragImageList::ShowDragImage(TPoint Screen) {
    const TGdiBitmap* Bits = this->Bits(FDragIndex);
    if (Bits == nullptr) {
        HideDragImage();
        return;
    }
    const POINT Pos{Screen.X - FHotSpot.X, Screen.Y - FHotSpot.Y};
    if (FWindow == nullptr) {
        if (!GetClassInfo(nullptr, DragImageClass, nullptr)) {
            WNDCLASS C;
            C.lpfnWndProc = DefWindowProc;
            C.lpszClassName = DragImageClass;
            RegisterClass(&C);
        }
        FWindow = CreateWindowEx(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                 DragImageClass, u"", WS_POPUP, Pos.X, Pos.Y, Width(), Height(), nullptr, nullptr,
                                 nullptr, nullptr);
        if (FWindow == nullptr) return;
    }
    if (FShownIndex != FDragIndex) {
        // Premultiplied for the layered window; the transparent colour shows nothing.
        void* Out = nullptr;
        const HBITMAP B = GdiCreateBitmap32(Width(), Height(), &Out);
        if (B == nullptr) return;
        auto* Dst = static_cast<uint32_t*>(Out);
        for (int Y = 0; Y < Height(); ++Y)
            for (int X = 0; X < Width(); ++X) {
                const uint32_t S = Bits->Pixel(X, Y);
                const uint32_t A = S >> 24;
                uint32_t P = 0;
                if ((S & 0xFFFFFF) != TransparentRgb && A != 0) {
                    const auto Mul = [A](uint32_t C) { return (C * A + 127) / 255; };
                    P = (A << 24) | (Mul((S >> 16) & 0xFF) << 16) | (Mul((S >> 8) & 0xFF) << 8) | Mul(S & 0xFF);
                }
                Dst[static_cast<size_t>(Y) * static_cast<size_t>(Width()) + static_cast<size_t>(X)] = P;
            }
        const HDC Dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ Old = SelectObject(Dc, B);
        const SIZE Size{Width(), Height()};
        const POINT Zero{0, 0};
        BLENDFUNCTION Blend;
        Blend.AlphaFormat = AC_SRC_ALPHA;
        UpdateLayeredWindow(FWindow, nullptr, &Pos, &Size, Dc, &Zero, 0, &Blend, ULW_ALPHA);
        SelectObject(Dc, Old);
        DeleteDC(Dc);
        DeleteObject(B);
        FShownIndex = FDragIndex;
    }
    SetWindowPos(FWindow, HWND_TOPMOST, Pos.X, Pos.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TDragImageList::HideDragImage() {
    if (FWindow == nullptr) return;
    const HWND H = FWindow;
    FWindow = nullptr;
    FShownIndex = -1;
    DestroyWindow(H);
}

// ---- Drag objects ---------------------------------------------------------------------

TDragObject::~TDragObject() = default;

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject*, int, int, bool) {}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? FControl->DragCursor() : crNoDrop;
}

// ---- The drag -------------------------------------------------------------------------

void TQvDragDrop::Begin(TControl* Source, TDragObject* Object, bool Immediate, int Threshold) {
    std::unique_ptr<TDragObject> Owned(Object);
    if (Source == nullptr || D().Active) return;
    const HWND Capture = CaptureWindowFor(Source);
    if (Capture == nullptr) return;
    const TQvAliveCheck Alive = Source->AliveCheck();
    if (!Owned) {
        TDragObject* Given = nullptr;
        Source->DoStartDrag(Given);
        Owned.reset(Given);
        if (!Alive.Alive() || D().Active) return;
        if (!Owned) Owned = std::make_unique<TDragControlObject>(Source);
    }
    TDrag& S = D();
    ++S.Gen;
    S.Active = true;
    S.Started = false;
    S.Source = Source;
    S.SourceAlive = Alive;
    S.Object = std::move(Owned);
    S.Target = nullptr;
    S.Accepted = false;
    POINT P{0, 0};
    GetCursorPos(&P);
    S.StartPos = P;
    S.Threshold = Threshold < 0 ? DefaultThreshold : Threshold;
    S.Capture = Capture;
    SetCapture(Capture);
    if (Immediate) {
        S.Started = true;
        DragTo(P);
    }
}

bool TQvDragDrop::Dragging() {
    return D().Active;
}

TDragObject* TQvDragDrop::Object() {
    return D().Active ? D().Object.get() : nullptr;
}

TCursor TQvDragDrop::Cursor() {
    TDrag& S = D();
    if (!S.Active || !S.Started) return crDefault;
    return S.Object->GetDragCursor(S.Accepted, S.Object->FDragPos.X, S.Object->FDragPos.Y);
}

void TQvDragDrop::DragTo(TPoint P) {
    TDrag& S = D();
    const unsigned Gen = S.Gen;
    S.Object->FDragPos = P;
    TControl* Now = FindDragTarget(P, false);
    if (S.Target != nullptr && !S.TargetAlive.Alive()) S.Target = nullptr;
    if (Now != S.Target) {
        if (TControl* Old = S.Target) {
            S.Target = nullptr;
            AskTarget(Old, P, dsDragLeave);
            if (!S.Active || S.Gen != Gen) return;
        }
        S.Target = Now;
        S.TargetAlive = Now != nullptr ? Now->AliveCheck() : TQvAliveCheck(std::make_shared<const bool>(false));
        S.Object->FDragTarget = Now;
        if (Now != nullptr) {
            AskTarget(Now, P, dsDragEnter);
            if (!S.Active || S.Gen != Gen) return;
        }
    }
    bool Accepted = false;
    if (S.Target != nullptr && S.TargetAlive.Alive()) {
        Accepted = AskTarget(S.Target, P, dsDragMove);
        if (!S.Active || S.Gen != Gen) return;
    }
    S.Accepted = Accepted;
    ShowCursor(Cursor());
    if (TDragImageList* Images = S.Object->GetDragImages()) Images->ShowDragImage(P);
}

void TQvDragDrop::End(bool Drop) {
    TDrag& S = D();
    if (!S.Active) return;
    // Taken out first: the events below may start another drag.
    std::unique_ptr<TDragObject> Object = std::move(S.Object);
    TControl* Source = S.Source;
    const TQvAliveCheck SourceAlive = S.SourceAlive;
    TControl* Target = S.Target != nullptr && S.TargetAlive.Alive() ? S.Target : nullptr;
    const TQvAliveCheck TargetAlive = S.TargetAlive;
    const bool Started = S.Started;
    const HWND Capture = S.Capture;
    S.Active = false;
    S.Target = nullptr;
    ++S.Gen;
    if (TDragImageList* Images = Object->GetDragImages()) Images->HideDragImage();
    if (GetCapture() == Capture) ReleaseCapture();
    const TPoint P = Object->FDragPos;
    // The target always hears the drag leave; on a drop its answer decides.
    bool Accepted = false;
    if (Target != nullptr && Started) {
        const TPoint L = Target->ScreenToClient(P);
        bool Accept = false;
        Target->DragOver(SourceOf(Object.get()), L.X, L.Y, dsDragLeave, Accept);
        Accepted = Drop && Accept && TargetAlive.Alive();
        if (Accepted) Target->DragDrop(SourceOf(Object.get()), L.X, L.Y);
    }
    if (!TargetAlive.Alive()) Target = nullptr;
    if (!Accepted) Target = nullptr;
    const TPoint L = Target != nullptr          ? Target->ScreenToClient(P)
                     : SourceAlive.Alive()      ? Source->ScreenToClient(P)
                                                : P;
    if (SourceAlive.Alive()) {
        Source->FControlState.Exclude(csLButtonDown);
        Source->FControlState.Exclude(csClicked);
        Source->DoEndDrag(Target, L.X, L.Y);
    }
    if (!TargetAlive.Alive()) Target = nullptr;
    Object->Finished(Target, L.X, L.Y, Accepted);
}

void TQvDragDrop::ControlGone(TControl* Control) {
    TDrag& S = D();
    if (!S.Active) return;
    if (S.Target == Control) S.Target = nullptr;
    if (S.Source == Control) {
        S.SourceAlive = TQvAliveCheck(std::make_shared<const bool>(false));
        End(false);
    }
}

bool TQvDragDrop::InputMessage(HWND Wnd, const TMessage& M) {
    TDrag& S = D();
    if (!S.Active) return false;
    switch (M.Msg) {
        case WM_MOUSEMOVE: {
            POINT P{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            ::ClientToScreen(Wnd, &P);
            if (!S.Started) {
                if (std::abs(P.X - S.StartPos.X) <= S.Threshold && std::abs(P.Y - S.StartPos.Y) <= S.Threshold)
                    return true;
                S.Started = true;
            }
            DragTo(P);
            return true;
        }
        case WM_LBUTTONUP: {
            POINT P{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            ::ClientToScreen(Wnd, &P);
            if (S.Started && P != S.Object->FDragPos) DragTo(P);
            if (S.Active) End(S.Started);
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
            return true;
        case WM_RBUTTONDOWN:
            End(false);
            return true;
        case WM_KEYDOWN:
            if (M.WParam != VK_ESCAPE) return false;
            S.Object->FCancelling = true;
            End(false);
            return true;
        case WM_CAPTURECHANGED:
            // Someone else took the mouse: the drag cannot go on.
            if (GetCapture() != S.Capture) End(false);
            return false;
        default:
            return false;
    }
}
