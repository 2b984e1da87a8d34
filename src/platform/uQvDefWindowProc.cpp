#include "platform/uQvDefWindowProc.h"

#include <algorithm>

#include "platform/uQvFramePaint.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvImm.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMoveSize.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

TQvFrameMetrics MetricsOf(const TQvWnd* W) {
    if (W->MessageOnly) return TQvFrameMetrics{};
    return QvFrameMetrics(W->Style, QvTopLevel(const_cast<TQvWnd*>(W))->Dpi);
}

HCURSOR CursorForHit(int Hit) {
    switch (Hit) {
        case HTLEFT:
        case HTRIGHT: return LoadCursor(nullptr, IDC_SIZEWE);
        case HTTOP:
        case HTBOTTOM: return LoadCursor(nullptr, IDC_SIZENS);
        case HTTOPLEFT:
        case HTBOTTOMRIGHT: return LoadCursor(nullptr, IDC_SIZENWSE);
        case HTTOPRIGHT:
        case HTBOTTOMLEFT: return LoadCursor(nullptr, IDC_SIZENESW);
        default: return LoadCursor(nullptr, IDC_ARROW);
    }
}

// WM_PRINT: the frame, background, client area and children into Dc (origin at the
// window's top-left), as the flags ask.
void Print(HWND H, HDC Dc, LPARAM Flags) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->MessageOnly || Dc == nullptr) return;
    if ((Flags & PRF_CHECKVISIBLE) && !QvIsVisible(W)) return;
    if (Flags & PRF_NONCLIENT) QvPaintPlainFrameDC(H, Dc, GetActiveWindow() == QvTopLevel(W)->Handle);
    if ((W = QvWnd(H)) == nullptr) return;
    const POINT C{W->Client.Left - W->Window.Left, W->Client.Top - W->Window.Top};
    const RECT Client = Bounds(C.X, C.Y, W->Client.Width(), W->Client.Height());
    if (Flags & (PRF_ERASEBKGND | PRF_CLIENT)) {
        const int Saved = SaveDC(Dc);
        IntersectClipRect(Dc, Client.Left, Client.Top, Client.Right, Client.Bottom);
        OffsetViewportOrgEx(Dc, C.X, C.Y, nullptr);
        if (Flags & PRF_ERASEBKGND) QvSend(H, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
        if (Flags & PRF_CLIENT) QvSend(H, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc), Flags);
        RestoreDC(Dc, Saved);
    }
    if (!(Flags & PRF_CHILDREN) || (W = QvWnd(H)) == nullptr) return;
    // The lowest child first, so the upper ones paint over it.
    std::vector<HWND> Kids;
    for (auto It = W->Children.rbegin(); It != W->Children.rend(); ++It) Kids.push_back((*It)->Handle);
    for (HWND K : Kids) {
        const TQvWnd* Kw = QvWnd(K);
        if (Kw == nullptr || !Kw->Visible()) continue;
        const int Saved = SaveDC(Dc);
        IntersectClipRect(Dc, Client.Left, Client.Top, Client.Right, Client.Bottom);
        OffsetViewportOrgEx(Dc, C.X + Kw->Window.Left, C.Y + Kw->Window.Top, nullptr);
        IntersectClipRect(Dc, 0, 0, Kw->Window.Width(), Kw->Window.Height());
        QvSend(K, WM_PRINT, reinterpret_cast<WPARAM>(Dc), Flags);
        RestoreDC(Dc, Saved);
    }
}

void SizeMessages(HWND H, const WINDOWPOS* Wp) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr) return;
    const TQvPosChange* C = QvCurrentPosChange(Wp);
    const bool Moved = C ? C->Moved : !(Wp->flags & SWP_NOMOVE);
    const bool Sized = (C ? C->Sized : !(Wp->flags & SWP_NOSIZE)) || (Wp->flags & SWP_STATECHANGED);
    if (Moved) {
        QvSend(H, WM_MOVE, 0, MAKELPARAM(W->Client.Left, W->Client.Top));
        if ((W = QvWnd(H)) == nullptr) return;
    }
    if (Sized) {
        const WPARAM Type = (W->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : (W->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        QvSend(H, WM_SIZE, Type, MAKELPARAM(W->Client.Width(), W->Client.Height()));
    }
}

}  // namespace

LRESULT DefWindowProc(HWND H, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr) return 0;
    const HWND Parent = W->Parent ? W->Parent->Handle : nullptr;
    switch (Msg) {
        case WM_NCCREATE: {
            const auto* Cs = reinterpret_cast<const CREATESTRUCT*>(LParam);
            if (Cs != nullptr && Cs->lpszName != nullptr) W->Text = Cs->lpszName;
            return TRUE;
        }
        case WM_NCCALCSIZE: {
            RECT* R = WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0] : reinterpret_cast<RECT*>(LParam);
            if (R != nullptr) *R = QvFrameClientRect(*R, MetricsOf(W));
            return 0;
        }
        case WM_NCHITTEST:
            return QvFrameHitTest(QvScreenRect(W), POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}, W->Style, MetricsOf(W));
        case WM_NCLBUTTONDOWN: {
            const int Hit = static_cast<int>(WParam);
            W->ClosePressed = Hit == HTCLOSE;
            if (Hit == HTCAPTION) {
                if (Parent == nullptr && GetActiveWindow() != H && !(W->ExStyle & WS_EX_NOACTIVATE)) SetActiveWindow(H);
                QvSend(H, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, LParam);
            } else if (Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT) {
                QvSend(H, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(Hit - (HTLEFT - WMSZ_LEFT)), LParam);
            }
            return 0;
        }
        case WM_NCLBUTTONUP: {
            const bool Close = W->ClosePressed && static_cast<int>(WParam) == HTCLOSE;
            W->ClosePressed = false;
            if (Close) QvSend(H, WM_SYSCOMMAND, SC_CLOSE, LParam);
            return 0;
        }
        case WM_NCLBUTTONDBLCLK:
            if (static_cast<int>(WParam) == HTCAPTION && (W->Style & WS_MAXIMIZEBOX) && Parent == nullptr)
                QvSend(H, WM_SYSCOMMAND, IsZoomed(H) ? SC_RESTORE : SC_MAXIMIZE, LParam);
            return 0;
        case WM_SYSCOMMAND:
            switch (WParam & 0xFFF0) {
                case SC_MOVE:
                case SC_SIZE: QvMoveSizeLoop(H, WParam); break;
                case SC_MINIMIZE: ShowWindow(H, SW_MINIMIZE); break;
                case SC_MAXIMIZE: ShowWindow(H, SW_SHOWMAXIMIZED); break;
                case SC_RESTORE: ShowWindow(H, SW_RESTORE); break;
                case SC_CLOSE: QvSend(H, WM_CLOSE, 0, 0); break;
                default: break;  // no system menu exists, so SC_KEYMENU does nothing
            }
            return 0;
        case WM_CLOSE: DestroyWindow(H); return 0;
        case WM_SETTEXT:
            W->Text = LParam ? String(reinterpret_cast<LPCWSTR>(LParam)) : String();
            // The caption shows the new text at once.
            if ((W->Style & WS_CAPTION) == WS_CAPTION) QvPaintPlainFrame(H, GetActiveWindow() == QvTopLevel(W)->Handle);
            return TRUE;
        case WM_GETTEXT: {
            auto* Buffer = reinterpret_cast<LPWSTR>(LParam);
            if (Buffer == nullptr || WParam == 0) return 0;
            size_t N = std::min<size_t>(W->Text.size(), WParam - 1);
            // A cut never leaves half of a surrogate pair behind.
            if (N > 0 && N < W->Text.size() && W->Text[N - 1] >= 0xD800 && W->Text[N - 1] <= 0xDBFF) --N;
            std::copy_n(W->Text.data(), N, Buffer);
            Buffer[N] = 0;
            return static_cast<LRESULT>(N);
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(W->Text.size());
        case WM_WINDOWPOSCHANGING: {
            auto* Wp = reinterpret_cast<WINDOWPOS*>(LParam);
            if (Wp != nullptr && !(Wp->flags & SWP_NOSIZE) && Parent == nullptr && !W->MessageOnly &&
                (W->Style & WS_THICKFRAME) && !(W->Style & WS_MINIMIZE)) {
                const MINMAXINFO Mm = QvGetMinMaxInfo(H);
                Wp->cx = std::clamp(Wp->cx, Mm.ptMinTrackSize.X, std::max(Mm.ptMinTrackSize.X, Mm.ptMaxTrackSize.X));
                Wp->cy = std::clamp(Wp->cy, Mm.ptMinTrackSize.Y, std::max(Mm.ptMinTrackSize.Y, Mm.ptMaxTrackSize.Y));
            }
            return 0;
        }
        case WM_WINDOWPOSCHANGED:
            if (LParam != 0) SizeMessages(H, reinterpret_cast<const WINDOWPOS*>(LParam));
            return 0;
        case WM_MOUSEACTIVATE:
            if (Parent != nullptr)
                if (LRESULT R = QvSend(Parent, WM_MOUSEACTIVATE, WParam, LParam)) return R;
            return MA_ACTIVATE;
        case WM_SETCURSOR: {
            if (Parent != nullptr && QvSend(Parent, WM_SETCURSOR, WParam, LParam)) return TRUE;
            const int Hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(LParam)));
            if (Hit == HTERROR) return FALSE;
            if (Hit == HTCLIENT) {
                TQvWnd* Now = QvWnd(H);
                if (Now == nullptr || Now->Class->Cursor == nullptr) return FALSE;
                SetCursor(Now->Class->Cursor);
                return TRUE;
            }
            SetCursor(CursorForHit(Hit));
            return TRUE;
        }
        case WM_NCACTIVATE:
            QvPaintPlainFrame(H, WParam != 0);
            return TRUE;
        case WM_NCPAINT:
            QvPaintPlainFrame(H, GetActiveWindow() == QvTopLevel(W)->Handle, reinterpret_cast<HRGN>(WParam));
            return 0;
        case WM_ERASEBKGND: {
            // Class brushes below 32 are system colour indexes plus one.
            const auto Brush = reinterpret_cast<uintptr_t>(W->Class->Background);
            const HDC Dc = reinterpret_cast<HDC>(WParam);
            if (Brush == 0 || Dc == nullptr) return 0;
            const RECT R = Rect(0, 0, W->Client.Width(), W->Client.Height());
            if (Brush <= 31)
                QvFillSysColor(Dc, R, static_cast<int>(Brush) - 1);
            else
                FillRect(Dc, &R, W->Class->Background);
            return 1;
        }
        case WM_PAINT:
            if (WParam == 0) {
                PAINTSTRUCT Ps;
                BeginPaint(H, &Ps);
                EndPaint(H, &Ps);
            }
            return 0;
        case WM_RBUTTONUP: {
            POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            ClientToScreen(H, &P);
            QvSend(H, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(H), MAKELPARAM(P.X, P.Y));
            return 0;
        }
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: return Parent != nullptr ? QvSend(Parent, Msg, WParam, LParam) : 0;
        case WM_SETREDRAW: W->Redraw = WParam != 0; return 0;
        case WM_SETFONT:
            W->Font = reinterpret_cast<HFONT>(WParam);
            if (LOWORD(static_cast<uintptr_t>(LParam))) InvalidateRect(H, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(W->Font);
        case WM_PRINT: Print(H, reinterpret_cast<HDC>(WParam), LParam); return 0;
        // Painting into a given DC is WM_PAINT with that DC, as the framework's windows take it.
        case WM_PRINTCLIENT: return WParam != 0 ? QvSend(H, WM_PAINT, WParam, 0) : 0;
        case WM_IME_COMPOSITION: QvImmDefComposition(H, LParam); return 0;
        case WM_CANCELMODE:
            if (GetCapture() == H) ReleaseCapture();
            return 0;
        case WM_SYSKEYDOWN:
            if (WParam == VK_F4 && (LParam & KF_ALTDOWN_BIT)) {
                QvSend(QvTopLevel(W)->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
                return 0;
            }
            [[fallthrough]];
        case WM_KEYDOWN:
            // Shift+F10 asks for the context menu at no particular point.
            if (WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) QvSend(H, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(H), -1);
            return 0;
        case WM_KEYUP:
            if (WParam == VK_APPS) QvSend(H, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(H), -1);
            return 0;
        default: return 0;
    }
}
