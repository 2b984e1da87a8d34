#include "platform/uQvWinLayered.h"

#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvPixel.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"

namespace {

TQvWnd* LayeredTop(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->Parent != nullptr || W->MessageOnly || !(W->ExStyle & WS_EX_LAYERED))
        return nullptr;
    return W;
}

TQvLayer& LayerOf(TQvWnd* W) {
    if (!W->Layer) W->Layer = std::make_unique<TQvLayer>();
    return *W->Layer;
}

// Size pixels of Src from logical point From, in a new zero (transparent) bitmap; what lies
// outside Src's bitmap stays transparent.
std::shared_ptr<TGdiBitmap> CopyPixels(HDC Src, POINT From, SIZE Size) {
    HBITMAP Bm = GdiCreateBitmap32(Size.cx, Size.cy);
    if (Bm == nullptr) return nullptr;
    auto Pixels = std::static_pointer_cast<TGdiBitmap>(GdiLookupShared(Bm));
    HDC Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bm);
    const BOOL Ok = BitBlt(Dc, 0, 0, Size.cx, Size.cy, Src, From.X, From.Y, SRCCOPY);
    DeleteDC(Dc);
    DeleteObject(Bm);
    return Ok ? Pixels : nullptr;
}

}  // namespace

bool QvLayerHolds(const TQvWnd* W, POINT Screen) {
    if (W->Parent != nullptr || !(W->ExStyle & WS_EX_LAYERED)) return true;
    if (W->ExStyle & WS_EX_TRANSPARENT) return false;
    const TQvLayer* L = W->Layer.get();
    if (L == nullptr) return true;
    const int X = Screen.X - W->Window.Left, Y = Screen.Y - W->Window.Top;
    if (L->Mode == lmPushed) {
        const TGdiBitmap* P = L->Pixels.get();
        if (P == nullptr || X < 0 || Y < 0 || X >= P->Width() || Y >= P->Height()) return false;
        const uint32_t Px = P->Pixel(X, Y);
        if (L->UseKey && (Px & 0x00FFFFFF) == (GdiPixelOf(L->Key) & 0x00FFFFFF)) return false;
        const uint32_t A = L->PerPixel ? Px >> 24 : 255;
        // Rounded as the screen composes it: what shows nothing lets the point through.
        return MulDiv255(A, L->Alpha) != 0;
    }
    if (L->Alpha == 0) return false;
    if (L->UseKey) {
        const TGdiBitmap* B = GdiBitmapOf(W->Backing);
        if (B != nullptr && X >= 0 && Y >= 0 && X < B->Width() && Y < B->Height() &&
            (B->Pixel(X, Y) & 0x00FFFFFF) == (GdiPixelOf(L->Key) & 0x00FFFFFF))
            return false;
    }
    return true;
}

BOOL SetLayeredWindowAttributes(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags) {
    TQvWnd* W = LayeredTop(Wnd);
    if (W == nullptr) return FALSE;
    TQvLayer& L = LayerOf(W);
    L.Mode = lmPainted;
    L.Flags = Flags & (LWA_COLORKEY | LWA_ALPHA);
    L.UseKey = (Flags & LWA_COLORKEY) != 0;
    L.Key = Key;
    L.Alpha = (Flags & LWA_ALPHA) ? Alpha : 255;
    L.PerPixel = false;
    L.Pixels.reset();
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND Wnd, COLORREF* Key, BYTE* Alpha, DWORD* Flags) {
    TQvWnd* W = LayeredTop(Wnd);
    if (W == nullptr || !W->Layer || W->Layer->Mode != lmPainted) return FALSE;
    const TQvLayer& L = *W->Layer;
    if (Key != nullptr) *Key = L.Key;
    if (Alpha != nullptr) *Alpha = L.Alpha;
    if (Flags != nullptr) *Flags = L.Flags;
    return TRUE;
}

BOOL UpdateLayeredWindow(HWND Wnd, HDC, const POINT* Pos, const SIZE* Size, HDC Src, const POINT* SrcPos,
                         COLORREF Key, const BLENDFUNCTION* Blend, DWORD Flags) {
    TQvWnd* W = LayeredTop(Wnd);
    if (W == nullptr) return FALSE;
    if ((Flags & ULW_ALPHA) && (Blend == nullptr || Blend->BlendOp != AC_SRC_OVER)) return FALSE;
    if (Size != nullptr && (Size->cx <= 0 || Size->cy <= 0)) return FALSE;
    if (Src != nullptr && GdiDCOf(Src) == nullptr) return FALSE;
    // The pixels are taken before the window moves, so a handler that reacts to the move
    // cannot change what was pushed.
    const SIZE Want = Size ? *Size : SIZE{W->Window.Width(), W->Window.Height()};
    std::shared_ptr<TGdiBitmap> Pixels;
    if (Src != nullptr && Want.cx > 0 && Want.cy > 0) {
        Pixels = CopyPixels(Src, SrcPos ? *SrcPos : POINT{}, Want);
        if (!Pixels) return FALSE;
    }
    const RECT Old = W->Window;
    if (Pos != nullptr || Size != nullptr) {
        UINT Move = SWP_NOZORDER | SWP_NOACTIVATE;
        if (Pos == nullptr) Move |= SWP_NOMOVE;
        if (Size == nullptr) Move |= SWP_NOSIZE;
        SetWindowPos(Wnd, nullptr, Pos ? Pos->X : 0, Pos ? Pos->Y : 0, Want.cx, Want.cy, Move);
        if ((W = LayeredTop(Wnd)) == nullptr) return FALSE;
    }
    TQvLayer& L = LayerOf(W);
    L.Mode = lmPushed;
    L.Flags = 0;
    L.UseKey = (Flags & ULW_COLORKEY) != 0;
    L.Key = Key;
    const bool Alpha = (Flags & ULW_ALPHA) != 0 && !(Flags & ULW_OPAQUE);
    L.Alpha = Alpha ? Blend->SourceConstantAlpha : 255;
    L.PerPixel = Alpha && (Blend->AlphaFormat & AC_SRC_ALPHA) != 0;
    if (Pixels) L.Pixels = std::move(Pixels);
    QvScreenChanged(Old);
    QvScreenChanged(W->Window);
    return TRUE;
}
