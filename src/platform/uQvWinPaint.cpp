#include "platform/uQvWinPaint.h"

#include <algorithm>
#include <cstring>

#include "platform/uQvColor.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiDevice.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinState.h"
#include "platform/uQvWindows.h"

namespace {

struct TState {
    // Regions GetDCEx took over, freed when their DC is released.
    std::vector<std::pair<HDC, HRGN>> OwnedClips;
};

TState& S() { return QvWinState<TState>(); }

RECT ClientBox(const TQvWnd* W) { return Rect(0, 0, W->Client.Width(), W->Client.Height()); }

bool RedrawOn(const TQvWnd* W) {
    for (; W != nullptr; W = W->Parent)
        if (!W->Redraw) return false;
    return true;
}

bool NeedsPaint(const TQvWnd* W) {
    return !W->MessageOnly && !(W->Style & WS_MINIMIZE) && (!W->Update.IsEmpty() || W->FramePending || W->InternalPaint) &&
           QvIsVisible(W) && RedrawOn(W);
}

// Offset of the window's client area inside its parent's client area.
POINT ClientInParent(const TQvWnd* W) { return POINT{W->Client.Left, W->Client.Top}; }

// Marks the frame for WM_NCPAINT: Part (window coordinates) of it, or all of it.
void AddFrame(TQvWnd* W, const TQvRegion* Part) {
    if (W->Window == W->Client) return;
    if (Part == nullptr) {
        W->FramePending = true;
        W->FramePart.reset();
        return;
    }
    RECT Client = W->Client;
    OffsetRect(Client, -W->Window.Left, -W->Window.Top);
    TQvRegion Frame = *Part;
    Frame &= Rect(0, 0, W->Window.Width(), W->Window.Height());
    Frame -= Client;
    if (Frame.IsEmpty()) return;
    if (!W->FramePending) {
        W->FramePending = true;
        W->FramePart = std::move(Frame);
    } else if (W->FramePart) {
        *W->FramePart |= Frame;
    }
}

void ClearFrame(TQvWnd* W) {
    W->FramePending = false;
    W->FramePart.reset();
}

// Adds Rgn (client coordinates of W) to W's update region; children follow when All, or
// when W does not clip them, with the part of their frame Rgn covers (all of it for Frame).
void Invalidate(TQvWnd* W, const TQvRegion& Rgn, bool Erase, bool Frame, UINT Children) {
    TQvRegion Part = Rgn;
    Part &= ClientBox(W);
    if (!Part.IsEmpty()) {
        W->Update |= Part;
        if (Erase) W->ErasePending = true;
    }
    if (Frame) AddFrame(W, nullptr);
    const bool Down = (Children & RDW_ALLCHILDREN) || (!(Children & RDW_NOCHILDREN) && !(W->Style & WS_CLIPCHILDREN));
    if (!Down || Part.IsEmpty()) return;
    for (TQvWnd* K : W->Children) {
        if (!K->Visible()) continue;
        TQvRegion Sub = Part;
        Sub &= K->Window;
        if (Sub.IsEmpty()) continue;
        if (!Frame) {
            TQvRegion KidFrame = Sub;
            KidFrame.Offset(-K->Window.Left, -K->Window.Top);
            AddFrame(K, &KidFrame);
        }
        const POINT O = ClientInParent(K);
        Sub.Offset(-O.X, -O.Y);
        Invalidate(K, Sub, Erase, Frame, Children & RDW_ALLCHILDREN ? RDW_ALLCHILDREN : 0);
    }
}

void Validate(TQvWnd* W, const TQvRegion* Rgn, bool NoErase, bool NoFrame, UINT Children) {
    if (Rgn == nullptr)
        W->Update.Clear();
    else
        W->Update -= *Rgn;
    if (W->Update.IsEmpty() || NoErase) W->ErasePending = false;
    if (NoFrame) ClearFrame(W);
    // The children follow as for invalidation.
    const bool Down = (Children & RDW_ALLCHILDREN) || (!(Children & RDW_NOCHILDREN) && !(W->Style & WS_CLIPCHILDREN));
    if (!Down) return;
    const UINT Next = Children & RDW_ALLCHILDREN ? RDW_ALLCHILDREN : 0;
    for (TQvWnd* K : W->Children) {
        if (Rgn == nullptr) {
            Validate(K, nullptr, NoErase, NoFrame, Next);
            continue;
        }
        TQvRegion Sub = *Rgn;
        const POINT O = ClientInParent(K);
        Sub.Offset(-O.X, -O.Y);
        Validate(K, &Sub, NoErase, NoFrame, Next);
    }
}

TQvRegion RegionOf(HRGN Rgn) {
    const TGdiRegion* R = GdiRegionOf(Rgn);
    return R ? R->Region : TQvRegion();
}

// Makes sure the top-level window has a backing bitmap of its outer size; the old pixels
// stay anchored top-left.
HBITMAP EnsureBacking(TQvWnd* Top) {
    const int W = std::max(Top->Window.Width(), 1), H = std::max(Top->Window.Height(), 1);
    TGdiBitmap* Old = GdiBitmapOf(Top->Backing);
    if (Old != nullptr && Old->Width() == W && Old->Height() == H) return Top->Backing;
    HBITMAP New = GdiCreateBitmap32(W, H);
    TGdiBitmap* N = GdiBitmapOf(New);
    if (N == nullptr) return Old ? Top->Backing : nullptr;
    if (Old != nullptr) {
        const int Cw = std::min(W, Old->Width()), Ch = std::min(H, Old->Height());
        for (int Y = 0; Y < Ch; ++Y) std::memcpy(N->Row(Y), Old->Row(Y), static_cast<size_t>(Cw) * 4);
        DeleteObject(Top->Backing);
    }
    Top->Backing = New;
    return New;
}

// The window's visible part in its top-level window's coordinates; ClipSiblings and
// ClipChildren decide for the window itself, its parents' styles for them.
TQvRegion Visible(const TQvWnd* W, bool Whole, bool ClipSiblings, bool ClipChildren) {
    // Nothing is drawn while WM_SETREDRAW(FALSE) holds for the window or a parent.
    if (!QvIsVisible(W) || !RedrawOn(W)) return TQvRegion();
    const TQvWnd* Top = QvTopLevel(const_cast<TQvWnd*>(W));
    const POINT T{Top->Window.Left, Top->Window.Top};
    auto ToTop = [&](RECT R, const TQvWnd* Parent) {
        if (Parent != nullptr) {
            const POINT O = QvClientOrigin(Parent);
            OffsetRect(R, O.X, O.Y);
        }
        OffsetRect(R, -T.X, -T.Y);
        return R;
    };
    TQvRegion Rgn(ToTop(Whole ? W->Window : W->Client, W->Parent));
    Rgn &= Rect(0, 0, Top->Window.Width(), Top->Window.Height());
    // Windows are taken out together: one subtraction of their union is far cheaper than
    // one each, and those clear of the region are left out first.
    std::vector<TRect> Out;
    auto TakeOut = [&] {
        if (!Out.empty()) Rgn -= TQvRegion::FromRects(Out);
        Out.clear();
    };
    auto Exclude = [&](const RECT& R) {
        RECT Both;
        if (IntersectRect(Both, R, Rgn.Bounds())) Out.push_back(Both);
    };
    // A shaped window hides only its shape: what lies around it stays the parent's.
    auto ExcludeWindow = [&](const TQvWnd* K, const TQvWnd* Parent) {
        const RECT R = ToTop(K->Window, Parent);
        if (!K->Shape) {
            Exclude(R);
            return;
        }
        TQvRegion Shape = *K->Shape;
        Shape.Offset(R.Left, R.Top);
        Shape &= R;
        Rgn -= Shape;
    };
    for (const TQvWnd* C = W;; C = C->Parent) {
        if (C->Shape) {
            TQvRegion Shape = *C->Shape;
            const RECT Outer = ToTop(C->Window, C->Parent);
            Shape.Offset(Outer.Left, Outer.Top);
            Rgn &= Shape;
        }
        if (C->Parent == nullptr) break;
        const TQvWnd* P = C->Parent;
        Rgn &= ToTop(P->Client, P->Parent);
        if (C == W ? ClipSiblings : (C->Style & WS_CLIPSIBLINGS) != 0) {
            for (const TQvWnd* S : P->Children) {
                if (S == C) break;
                if (S->Visible()) ExcludeWindow(S, P);
            }
            TakeOut();
        }
    }
    if (ClipChildren) {
        for (const TQvWnd* K : W->Children)
            if (K->Visible()) ExcludeWindow(K, W);
        TakeOut();
    }
    return Rgn;
}

// The DCX_CLIPSIBLINGS / DCX_CLIPCHILDREN the window's styles ask for.
DWORD StyleClip(const TQvWnd* W) {
    return ((W->Style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0) |
           ((W->Style & WS_CLIPCHILDREN) ? DCX_CLIPCHILDREN : 0);
}

// A DC on the window's part of its top-level bitmap, clipped as the DCX_* flags say; Limit
// (screen coordinates) narrows it (Exclude: takes it out).
HDC MakeDC(TQvWnd* W, DWORD Dcx, const TQvRegion* Limit, bool Exclude = false) {
    if (W == nullptr || W->MessageOnly) return nullptr;
    TQvWnd* Top = QvTopLevel(W);
    HBITMAP Backing = EnsureBacking(Top);
    if (Backing == nullptr) return nullptr;
    const bool Whole = (Dcx & DCX_WINDOW) != 0;
    const POINT Screen = Whole ? QvScreenRect(W).TopLeft() : QvClientOrigin(W);
    const POINT Origin{Screen.X - Top->Window.Left, Screen.Y - Top->Window.Top};
    // DCX_PARENTCLIP: the parent's visible client area, its children included.
    TQvRegion Vis = (Dcx & DCX_PARENTCLIP) && W->Parent != nullptr
                        ? Visible(W->Parent, false, (W->Parent->Style & WS_CLIPSIBLINGS) != 0, false)
                        : Visible(W, Whole, (Dcx & DCX_CLIPSIBLINGS) != 0, (Dcx & DCX_CLIPCHILDREN) != 0);
    if (Limit != nullptr) {
        TQvRegion L = *Limit;
        L.Offset(-Top->Window.Left, -Top->Window.Top);
        if (Exclude)
            Vis -= L;
        else
            Vis &= L;
    }
    const RECT Bounds = Vis.Bounds();
    Vis.Offset(-Origin.X, -Origin.Y);
    HDC Dc = GdiCreateDeviceDC(Backing, Origin, &Vis, W->Handle);
    if (Dc != nullptr) QvCaretHold(Dc, Top, Bounds);
    return Dc;
}

// The window's update region (client coordinates) in screen coordinates.
TQvRegion UpdateOnScreen(const TQvWnd* W) {
    TQvRegion R = W->Update;
    const POINT O = QvClientOrigin(W);
    R.Offset(O.X, O.Y);
    return R;
}

// What a window DC drew shows on the screen: its visible part is composed again.
void ShowDrawn(HDC Dc) {
    QvCaretRelease(Dc);
    const TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || D->Window == nullptr) return;
    TQvWnd* W = QvWnd(D->Window);
    if (W == nullptr) return;
    const TQvWnd* Top = QvTopLevel(W);
    const TGdiBitmap* Target = D->Target();
    if (Target == nullptr || Target != GdiBitmapOf(Top->Backing)) return;
    TQvRegion Drawn(Rect(0, 0, Target->Width(), Target->Height()));
    if (const auto& Vis = D->VisibleRegion()) {
        TQvRegion V = *Vis;
        V.Offset(D->DeviceOrigin().X, D->DeviceOrigin().Y);
        Drawn &= V;
    }
    Drawn.Offset(Top->Window.Left, Top->Window.Top);
    QvScreenChanged(Drawn);
}

// WM_NCPAINT with 1 for the whole frame or the region (screen coordinates) to paint, which
// is freed afterwards.
void SendFrame(HWND H) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || !W->FramePending) return;
    std::optional<TQvRegion> Part = std::move(W->FramePart);
    ClearFrame(W);
    if (!Part) {
        QvSend(H, WM_NCPAINT, 1, 0);
        return;
    }
    const RECT Screen = QvScreenRect(W);
    Part->Offset(Screen.Left, Screen.Top);
    const HRGN Rgn = GdiCreateRegion(std::move(*Part));
    QvSend(H, WM_NCPAINT, reinterpret_cast<WPARAM>(Rgn), 0);
    DeleteObject(Rgn);
}

void SendErase(HWND H) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || !W->ErasePending) return;
    W->ErasePending = false;
    const TQvRegion Area = UpdateOnScreen(W);
    HDC Dc = MakeDC(W, StyleClip(W), &Area);
    if (Dc == nullptr) return;
    QvSend(H, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
    ShowDrawn(Dc);
    DeleteDC(Dc);
}

void EraseNow(HWND H, bool Children) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || !QvIsVisible(W) || !RedrawOn(W)) return;
    SendFrame(H);
    SendErase(H);
    if (!Children || (W = QvWnd(H)) == nullptr) return;
    std::vector<HWND> Kids;
    for (TQvWnd* K : W->Children) Kids.push_back(K->Handle);
    for (HWND K : Kids) EraseNow(K, true);
}

void PaintNow(HWND H, bool Children) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr) return;
    if (NeedsPaint(W)) {
        QvSend(H, WM_PAINT, 0, 0);
        QvPaintDispatched(H);
    }
    if (!Children || (W = QvWnd(H)) == nullptr) return;
    std::vector<HWND> Kids;
    for (TQvWnd* K : W->Children) Kids.push_back(K->Handle);
    for (HWND K : Kids) PaintNow(K, true);
}

TQvWnd* FindPaint(TQvWnd* W, HWND Filter) {
    if (NeedsPaint(W) && (Filter == nullptr || W->Handle == Filter)) return W;
    for (TQvWnd* K : W->Children)
        if (TQvWnd* F = FindPaint(K, Filter)) return F;
    return nullptr;
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

bool QvTakePaint(MSG& Msg, HWND Filter, UINT Min, UINT Max) {
    if ((Min != 0 || Max != 0) && (WM_PAINT < Min || WM_PAINT > Max)) return false;
    for (TQvWnd* T : QvZOrder()) {
        if (TQvWnd* W = FindPaint(T, Filter)) {
            Msg = MSG{};
            Msg.hwnd = W->Handle;
            Msg.message = WM_PAINT;
            return true;
        }
    }
    return false;
}

void QvPaintDispatched(HWND Handle) {
    // A window that did not paint is taken as painted, so WM_PAINT never repeats forever.
    if (TQvWnd* W = QvWnd(Handle)) {
        W->Update.Clear();
        W->ErasePending = false;
        ClearFrame(W);
        W->InternalPaint = false;
    }
}

void QvPaintPosChanged(HWND Handle, const RECT& OldWindow, const RECT& OldClient, bool WasVisible, UINT Flags) {
    TQvWnd* W = QvWnd(Handle);
    if (W == nullptr || W->MessageOnly) return;
    if (W->Parent == nullptr && W->Backing != nullptr) EnsureBacking(W);
    if (Flags & SWP_NOREDRAW) return;
    const bool Visible = QvIsVisible(W);
    const bool Sized = OldClient.Width() != W->Client.Width() || OldClient.Height() != W->Client.Height();
    const bool Moved = OldWindow.TopLeft() != W->Window.TopLeft();
    const bool OuterSized = OldWindow.Width() != W->Window.Width() || OldWindow.Height() != W->Window.Height();
    if (Visible) {
        const TQvRegion All(ClientBox(W));
        if (!WasVisible || (W->Parent != nullptr && Moved)) {
            Invalidate(W, All, true, true, RDW_ALLCHILDREN);
        } else if (Sized || OuterSized || (Flags & SWP_FRAMECHANGED)) {
            const UINT Cs = W->Class->Style;
            const bool Whole = ((Cs & CS_HREDRAW) && OldClient.Width() != W->Client.Width()) ||
                               ((Cs & CS_VREDRAW) && OldClient.Height() != W->Client.Height());
            Invalidate(W, Whole ? All : All - TQvRegion(Rect(0, 0, OldClient.Width(), OldClient.Height())), true,
                       OuterSized || (Flags & SWP_FRAMECHANGED), Whole ? RDW_ALLCHILDREN : 0);
        }
    }
    // The place a child left is its parent's to repaint, with the siblings below it.
    if (W->Parent != nullptr && WasVisible && QvIsVisible(W->Parent) && (Moved || OuterSized || !Visible)) {
        TQvRegion Left(OldWindow);
        if (Visible) Left -= W->Window;
        Invalidate(W->Parent, Left, true, false, RDW_ALLCHILDREN);
    }
    if (Visible) EraseNow(Handle, false);
}

void QvPaintWindowGone(TQvWnd* W) {
    if (W->Backing != nullptr) DeleteObject(W->Backing);
    W->Backing = nullptr;
}

HDC QvWindowDC(TQvWnd* W, const TQvRegion* Limit) { return MakeDC(W, DCX_WINDOW | StyleClip(W), Limit); }

TQvRegion QvVisibleRegion(const TQvWnd* W, bool Whole) {
    return Visible(W, Whole, (W->Style & WS_CLIPSIBLINGS) != 0, (W->Style & WS_CLIPCHILDREN) != 0);
}

bool QvWindowHolds(const TQvWnd* W, POINT Screen) {
    const RECT R = QvScreenRect(W);
    if (!PtInRect(R, Screen)) return false;
    if (W->Shape && !W->Shape->Contains(Screen.X - R.Left, Screen.Y - R.Top)) return false;
    return QvLayerHolds(W, Screen);
}

int SetWindowRgn(HWND Wnd, HRGN Rgn, BOOL Redraw) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || (Rgn != nullptr && GdiRegionOf(Rgn) == nullptr)) return 0;
    if (Rgn != nullptr) {
        W->Shape = GdiRegionOf(Rgn)->Region;
        DeleteObject(Rgn);
    } else {
        W->Shape.reset();
    }
    if (QvIsVisible(W)) QvScreenChanged(QvScreenRect(W));
    // Outside its new shape a child shows its parent again.
    if (Redraw && W->Parent != nullptr && W->Shape && QvIsVisible(W) && QvIsVisible(W->Parent)) {
        TQvRegion Shape = *W->Shape;
        Shape.Offset(W->Window.Left, W->Window.Top);
        Invalidate(W->Parent, TQvRegion(W->Window) - Shape, true, false, RDW_ALLCHILDREN);
    }
    if (Redraw && QvIsVisible(W)) {
        Invalidate(W, TQvRegion(ClientBox(W)), true, true, RDW_ALLCHILDREN);
        ClearFrame(W);
        W->FramePending = true;  // the frame is asked for even when the window has none
        EraseNow(Wnd, false);
    }
    return 1;
}

int GetWindowRgn(HWND Wnd, HRGN Rgn) {
    TQvWnd* W = QvWnd(Wnd);
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (W == nullptr || R == nullptr || !W->Shape) return RGN_ERROR;
    R->Region = *W->Shape;
    return R->Region.Complexity();
}

// ---- Update regions --------------------------------------------------------------------

BOOL InvalidateRect(HWND Wnd, const RECT* R, BOOL Erase) {
    if (Wnd == nullptr) {
        for (TQvWnd* T : QvZOrder()) Invalidate(T, TQvRegion(ClientBox(T)), Erase, true, RDW_ALLCHILDREN);
        return TRUE;
    }
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    Invalidate(W, TQvRegion(R ? QvSaneRect(*R) : ClientBox(W)), Erase, false, 0);
    return TRUE;
}

BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    Invalidate(W, Rgn ? RegionOf(Rgn) : TQvRegion(ClientBox(W)), Erase, false, 0);
    return TRUE;
}

BOOL ValidateRect(HWND Wnd, const RECT* R) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    const TQvRegion Rgn(R ? QvSaneRect(*R) : ClientBox(W));
    Validate(W, R ? &Rgn : nullptr, false, false, 0);
    return TRUE;
}

BOOL ValidateRgn(HWND Wnd, HRGN Rgn) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    const TQvRegion R = RegionOf(Rgn);
    Validate(W, Rgn ? &R : nullptr, false, false, 0);
    return TRUE;
}

BOOL GetUpdateRect(HWND Wnd, RECT* R, BOOL Erase) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    if (R != nullptr) *R = W->Update.Bounds();
    if (Erase) SendErase(Wnd);
    W = QvWnd(Wnd);
    return W != nullptr && !W->Update.IsEmpty();
}

int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase) {
    TQvWnd* W = QvWnd(Wnd);
    TGdiRegion* R = GdiRegionOf(Rgn);
    if (W == nullptr || R == nullptr) return RGN_ERROR;
    R->Region = W->Update;
    if (Erase) SendErase(Wnd);
    return R->Region.Complexity();
}

BOOL UpdateWindow(HWND Wnd) { return RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

BOOL RedrawWindow(HWND Wnd, const RECT* R, HRGN Rgn, UINT Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    const UINT Children = Flags & (RDW_ALLCHILDREN | RDW_NOCHILDREN);
    TQvRegion Area = Rgn ? RegionOf(Rgn) : TQvRegion(R ? QvSaneRect(*R) : ClientBox(W));
    if (Flags & RDW_INVALIDATE) {
        Invalidate(W, Area, (Flags & RDW_ERASE) != 0, (Flags & RDW_FRAME) != 0, Children);
    } else if (Flags & RDW_VALIDATE) {
        Validate(W, (Rgn || R) ? &Area : nullptr, (Flags & RDW_NOERASE) != 0, (Flags & RDW_NOFRAME) != 0, Children);
    }
    // A WM_PAINT without an update region, until the window is painted or told otherwise.
    if (Flags & RDW_INTERNALPAINT)
        W->InternalPaint = true;
    else if (Flags & RDW_NOINTERNALPAINT)
        W->InternalPaint = false;
    const bool Down = !(Flags & RDW_NOCHILDREN);
    if (Flags & RDW_UPDATENOW) {
        EraseNow(Wnd, Down);
        PaintNow(Wnd, Down);
    } else if (Flags & RDW_ERASENOW) {
        EraseNow(Wnd, Down);
    }
    return TRUE;
}

// ---- Painting --------------------------------------------------------------------------

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint) {
    if (Paint == nullptr || QvWnd(Wnd) == nullptr) return nullptr;
    SendFrame(Wnd);
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return nullptr;
    const TQvRegion Area = UpdateOnScreen(W);
    const RECT Box = W->Update.Bounds();
    const bool Erase = W->ErasePending;
    W->Update.Clear();
    W->ErasePending = false;
    W->InternalPaint = false;
    HDC Dc = MakeDC(W, StyleClip(W), &Area);
    *Paint = PAINTSTRUCT{};
    Paint->hdc = Dc;
    Paint->rcPaint = Box;
    Paint->fErase = Erase;
    if (Erase && Dc != nullptr) Paint->fErase = QvSend(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0) == 0;
    return Dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* Paint) {
    if (Paint == nullptr || Paint->hdc == nullptr) return FALSE;
    ShowDrawn(Paint->hdc);
    DeleteDC(Paint->hdc);
    return TRUE;
}

HDC GetDC(HWND Wnd) {
    if (Wnd == nullptr) return QvScreenDC();
    TQvWnd* W = QvWnd(Wnd);
    return W ? MakeDC(W, StyleClip(W), nullptr) : nullptr;
}

HDC GetWindowDC(HWND Wnd) {
    if (Wnd == nullptr) return QvScreenDC();
    TQvWnd* W = QvWnd(Wnd);
    return W ? MakeDC(W, DCX_WINDOW | StyleClip(W), nullptr) : nullptr;
}

HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags) {
    if (Wnd == nullptr) return QvScreenDC();
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return nullptr;
    const bool Combine = (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) != 0 && Clip != nullptr;
    const bool All = Clip == QvWholeWindowRgn;
    if (Combine && !All && GdiRegionOf(Clip) == nullptr) return nullptr;
    const bool Exclude = (Flags & DCX_EXCLUDERGN) != 0;
    // Excluding the whole window leaves nothing; intersecting with it changes nothing.
    const TQvRegion Nothing;
    const TQvRegion* Limit = !Combine ? nullptr
                             : All    ? (Exclude ? &Nothing : nullptr)
                                      : &GdiRegionOf(Clip)->Region;
    HDC Dc = MakeDC(W, Flags, Limit, Exclude && !All);
    if (Dc == nullptr || !Combine || All) return Dc;
    // The region is freed with its DC; DCs deleted without ReleaseDC give theirs up here.
    auto& Owned = S().OwnedClips;
    for (auto It = Owned.begin(); It != Owned.end();)
        if (GdiDCOf(It->first) == nullptr) {
            DeleteObject(It->second);
            It = Owned.erase(It);
        } else {
            ++It;
        }
    Owned.emplace_back(Dc, Clip);
    return Dc;
}

int ReleaseDC(HWND, HDC Dc) {
    if (Dc == nullptr) return 0;
    ShowDrawn(Dc);
    auto& Owned = S().OwnedClips;
    for (auto It = Owned.begin(); It != Owned.end(); ++It)
        if (It->first == Dc) {
            DeleteObject(It->second);
            Owned.erase(It);
            break;
        }
    return DeleteDC(Dc) ? 1 : 0;
}

HBITMAP QvBackingBitmap(HWND TopLevel) {
    TQvWnd* W = QvWnd(TopLevel);
    if (W == nullptr || W->Parent != nullptr || W->MessageOnly) return nullptr;
    return EnsureBacking(W);
}
