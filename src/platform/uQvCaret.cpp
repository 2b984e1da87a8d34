#include "platform/uQvCaret.h"

#include "platform/uQvBackend.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinState.h"

namespace {

enum TShape { csSolid, csGray, csBitmap };

// A window DC that could draw over the caret.
struct THold {
    HDC Dc;
    HWND Top;
    RECT Bounds;  // top-level coordinates
};

// The inverted pixels: the same pixels are inverted again to take the caret off.
struct TDrawn {
    HWND Top = nullptr;
    TQvRegion Pixels;  // top-level coordinates
    POINT Origin;      // caret's top-left there
};

struct TState {
    HWND Owner = nullptr;  // none: no caret
    TShape Shape = csSolid;
    std::shared_ptr<TGdiObject> Bitmap;
    int Width = 0;
    int Height = 0;
    POINT Pos;
    int Hidden = 1;
    uint64_t ShownAt = 0;  // the blink starts on at this time
    UINT BlinkTime = 530;
    std::optional<TDrawn> Drawn;
    std::vector<THold> Holds;
};

TState& S() { return QvWinState<TState>(); }

uint32_t Mask(const TState& C, int X, int Y) {
    switch (C.Shape) {
        case csGray: return ((X + Y) & 1) ? 0 : 0x00FFFFFFu;
        case csBitmap: {
            const auto* B = static_cast<const TGdiBitmap*>(C.Bitmap.get());
            return (X >= 0 && Y >= 0 && X < B->Width() && Y < B->Height()) ? B->Pixel(X, Y) & 0x00FFFFFFu : 0;
        }
        case csSolid: break;
    }
    return 0x00FFFFFFu;
}

// Inverts the caret's pixels (alpha bytes stay) and has the screen show them.
void Invert(const TDrawn& D) {
    TQvWnd* Top = QvWnd(D.Top);
    TGdiBitmap* B = Top ? GdiBitmapOf(QvBackingBitmap(D.Top)) : nullptr;
    if (B == nullptr) return;
    TQvRegion Part = D.Pixels;
    Part &= Rect(0, 0, B->Width(), B->Height());
    for (const TRect& R : Part.Rects())
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            uint32_t* Row = B->Row(Y);
            for (int X = R.Left; X < R.Right; ++X) Row[X] ^= Mask(S(), X - D.Origin.X, Y - D.Origin.Y);
        }
    Part.Offset(Top->Window.Left, Top->Window.Top);
    QvScreenChanged(Part);
}

// Where the caret lies in its top-level window, clipped as the owner's DCs are.
std::optional<TDrawn> Place() {
    TState& C = S();
    TQvWnd* W = QvWnd(C.Owner);
    if (W == nullptr) return std::nullopt;
    const TQvWnd* Top = QvTopLevel(W);
    const POINT O = QvClientOrigin(W);
    const POINT At{O.X - Top->Window.Left + C.Pos.X, O.Y - Top->Window.Top + C.Pos.Y};
    TDrawn D{Top->Handle, QvVisibleRegion(W, false), At};
    D.Pixels &= Bounds(At.X, At.Y, C.Width, C.Height);
    return D;
}

// DCs deleted without ReleaseDC hold nothing any more.
void DropDeadHolds() {
    std::erase_if(S().Holds, [](const THold& H) { return GdiDCOf(H.Dc) == nullptr; });
}

bool Held(const TDrawn& Where) {
    DropDeadHolds();
    RECT Both;
    for (const THold& H : S().Holds)
        if (H.Top == Where.Top && IntersectRect(Both, H.Bounds, Where.Pixels.Bounds())) return true;
    return false;
}

bool BlinkOn() {
    const TState& C = S();
    if (C.BlinkTime == INFINITE) return true;
    return (QvBackend().Now() - C.ShownAt) / C.BlinkTime % 2 == 0;
}

// Takes the caret off and draws it again where and when it should show.
void Sync() {
    TState& C = S();
    if (C.Drawn) {
        const TDrawn Old = std::move(*C.Drawn);
        C.Drawn.reset();
        Invert(Old);
    }
    if (C.Owner == nullptr || C.Hidden > 0) {
        QvKillSysTimer(stCaretBlink);
        return;
    }
    if (C.BlinkTime != INFINITE) {
        const uint64_t Periods = (QvBackend().Now() - C.ShownAt) / C.BlinkTime;
        QvSetSysTimer(stCaretBlink, C.ShownAt + (Periods + 1) * C.BlinkTime, Sync);
    }
    if (!BlinkOn()) return;
    std::optional<TDrawn> D = Place();
    if (!D || D->Pixels.IsEmpty() || Held(*D)) return;
    Invert(*D);
    C.Drawn = std::move(D);
}

// Shows the caret from now on: on at once, then blinking.
void Restart() {
    S().ShownAt = QvBackend().Now();
    Sync();
}

void Forget() {
    TState& C = S();
    C.Hidden = 1;
    Sync();
    C.Owner = nullptr;
    C.Bitmap.reset();
    QvKillSysTimer(stCaretBlink);
}

bool Owns(HWND Wnd) {
    return S().Owner != nullptr && QvWnd(S().Owner) && (Wnd == nullptr || Wnd == S().Owner);
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

void QvCaretHold(HDC Dc, const TQvWnd* Top, const RECT& Bounds) {
    DropDeadHolds();
    TState& C = S();
    C.Holds.push_back(THold{Dc, Top->Handle, Bounds});
    if (C.Drawn && Held(*C.Drawn)) Sync();
}

void QvCaretRelease(HDC Dc) {
    TState& C = S();
    const auto Gone = std::erase_if(C.Holds, [&](const THold& H) { return H.Dc == Dc; });
    if (Gone != 0 && !C.Drawn && C.Owner != nullptr) Sync();
}

void QvCaretWindowGone(HWND Handle) {
    TState& C = S();
    if (C.Owner == Handle) Forget();
    std::erase_if(C.Holds, [&](const THold& H) { return H.Top == Handle; });
    if (C.Drawn && C.Drawn->Top == Handle) C.Drawn.reset();
}

// ---- Caret -----------------------------------------------------------------------------

BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height) {
    if (QvWnd(Wnd) == nullptr) return FALSE;
    std::shared_ptr<TGdiObject> Shape;
    const bool Gray = Bitmap == reinterpret_cast<HBITMAP>(intptr_t{1});
    if (Bitmap != nullptr && !Gray) {
        Shape = GdiLookupShared(Bitmap);
        if (!Shape || Shape->ObjectType() != OBJ_BITMAP) return FALSE;
    }
    if (S().Owner != nullptr) Forget();
    TState& C = S();
    C.Owner = Wnd;
    C.Shape = Shape ? csBitmap : Gray ? csGray : csSolid;
    if (Shape) {
        const auto* B = static_cast<const TGdiBitmap*>(Shape.get());
        Width = B->Width();
        Height = B->Height();
    }
    C.Bitmap = std::move(Shape);
    C.Width = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
    C.Height = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
    C.Pos = POINT{};
    C.Hidden = 1;
    return TRUE;
}

BOOL DestroyCaret() {
    if (!Owns(nullptr)) return FALSE;
    Forget();
    return TRUE;
}

BOOL HideCaret(HWND Wnd) {
    if (!Owns(Wnd)) return FALSE;
    if (S().Hidden++ == 0) Sync();
    return TRUE;
}

BOOL ShowCaret(HWND Wnd) {
    if (!Owns(Wnd)) return FALSE;
    TState& C = S();
    if (C.Hidden > 0 && --C.Hidden == 0) Restart();
    return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
    if (!Owns(nullptr)) return FALSE;
    S().Pos = POINT{QvClampCoord(X), QvClampCoord(Y)};
    Restart();
    return TRUE;
}

BOOL GetCaretPos(POINT* Point) {
    if (Point == nullptr || !Owns(nullptr)) return FALSE;
    *Point = S().Pos;
    return TRUE;
}

BOOL SetCaretBlinkTime(UINT Ms) {
    if (Ms == 0) return FALSE;
    S().BlinkTime = Ms;
    if (S().Owner != nullptr) Restart();
    return TRUE;
}

UINT GetCaretBlinkTime() { return S().BlinkTime; }
