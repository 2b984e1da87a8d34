#include "platform/uQvWinFrame.h"

#include <algorithm>
#include <map>

#include "platform/uQvColor.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvImm.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

void Fill(HDC Dc, const RECT& R, int SysColor) {
    HBRUSH B = CreateSolidBrush(GetSysColor(SysColor));
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

// The caption font of a dpi: the system face at 9 points; made once per dpi.
HFONT CaptionFont(int Dpi) {
    static std::map<int, HFONT> Fonts;
    HFONT& F = Fonts[Dpi];
    if (F == nullptr || GetObjectType(F) != OBJ_FONT)
        F = CreateFontW(-MulDiv(9, Dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, 0, DEFAULT_PITCH, u"Tahoma");
    return F;
}

// The plain frame: border strips, the caption bar in the active or inactive caption colour
// and a cross for the close box.
void PaintFrame(HWND H, bool Active) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->MessageOnly || !QvIsVisible(W)) return;
    const TQvFrameMetrics M = QvFrameMetrics(W->Style, QvTopLevel(W)->Dpi);
    if (M.Border == 0 && M.Caption == 0) return;
    HDC Dc = GetWindowDC(H);
    if (Dc == nullptr) return;
    const int Wd = W->Window.Width(), Ht = W->Window.Height(), B = M.Border, C = M.Caption;
    const int Border = Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER;
    Fill(Dc, Rect(0, 0, Wd, B), Border);
    Fill(Dc, Rect(0, Ht - B, Wd, Ht), Border);
    Fill(Dc, Rect(0, B, B, Ht - B), Border);
    Fill(Dc, Rect(Wd - B, B, Wd, Ht - B), Border);
    if (C > 0) {
        Fill(Dc, Rect(B, B, Wd - B, B + C), Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        const int Dpi = static_cast<int>(QvTopLevel(W)->Dpi);
        const COLORREF Ink = GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
        if (!W->Text.empty()) {
            // The text runs from a small margin to the close box, cut with "..." at its end.
            const int Margin = MulDiv(6, Dpi, 96);
            RECT Title = Rect(B + Margin, B, Wd - B - C, B + C);
            if (Title.Right > Title.Left) {
                HFONT Font = CaptionFont(Dpi);
                HGDIOBJ OldFont = SelectObject(Dc, Font);
                SetBkMode(Dc, TRANSPARENT);
                SetTextColor(Dc, Ink);
                DrawTextW(Dc, W->Text.c_str(), static_cast<int>(W->Text.size()), &Title,
                          DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
                SelectObject(Dc, OldFont);
            }
        }
        const int Inset = C / 4, L = Wd - B - C + Inset, T = B + Inset, R = Wd - B - Inset, Bo = B + C - Inset;
        HPEN Pen = CreatePen(PS_SOLID, 1, Ink);
        HGDIOBJ Old = SelectObject(Dc, Pen);
        MoveToEx(Dc, L, T, nullptr);
        LineTo(Dc, R, Bo);
        MoveToEx(Dc, R - 1, T, nullptr);
        LineTo(Dc, L - 1, Bo);
        SelectObject(Dc, Old);
        DeleteObject(Pen);
    }
    ReleaseDC(H, Dc);
}

std::vector<HWND>& Loops() {
    static std::vector<HWND> L;
    return L;
}

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

// Moves the sizing edges of Start by (Dx, Dy) and keeps the size within the track sizes,
// holding the opposite edge still.
RECT SizedRect(const RECT& Start, UINT Edge, int Dx, int Dy, POINT MinTrack, POINT MaxTrack) {
    const bool L = Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT;
    const bool R = Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT;
    const bool T = Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT;
    const bool B = Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT;
    RECT N = Start;
    if (L) N.Left += Dx;
    if (R) N.Right += Dx;
    if (T) N.Top += Dy;
    if (B) N.Bottom += Dy;
    const int W = std::clamp(N.Width(), MinTrack.X, std::max(MinTrack.X, MaxTrack.X));
    const int H = std::clamp(N.Height(), MinTrack.Y, std::max(MinTrack.Y, MaxTrack.Y));
    if (L)
        N.Left = N.Right - W;
    else
        N.Right = N.Left + W;
    if (T)
        N.Top = N.Bottom - H;
    else
        N.Bottom = N.Top + H;
    return N;
}

void MoveSizeLoop(HWND H, WPARAM Cmd) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->MessageOnly || (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) || QvInMoveSizeLoop(H)) return;
    const bool Sizing = (Cmd & 0xFFF0) == SC_SIZE;
    const UINT Edge = static_cast<UINT>(Cmd & 0x000F);
    if (Sizing && (Edge < WMSZ_LEFT || Edge > WMSZ_BOTTOMRIGHT)) return;
    POINT Start;
    if (!GetCursorPos(&Start)) return;
    BOOL Full = TRUE;
    SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &Full, 0);
    POINT MinTrack{0, 0};
    POINT MaxTrack{INT32_MAX, INT32_MAX};
    if (Sizing && W->Parent == nullptr) {
        const MINMAXINFO Mm = QvGetMinMaxInfo(H);
        MinTrack = Mm.ptMinTrackSize;
        MaxTrack = Mm.ptMaxTrackSize;
        if ((W = QvWnd(H)) == nullptr) return;
    }
    const RECT StartRect = QvScreenRect(W);
    RECT Current = StartRect;
    auto Apply = [&](const RECT& R) {
        TQvWnd* Wnd = QvWnd(H);
        if (Wnd == nullptr) return;
        const POINT O = Wnd->Parent ? QvClientOrigin(Wnd->Parent) : POINT{};
        SetWindowPos(H, nullptr, R.Left - O.X, R.Top - O.Y, R.Width(), R.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | (Sizing ? 0 : SWP_NOSIZE));
    };
    // Leaves the capture and the loop list clean whatever a handler throws.
    struct TGuard {
        HWND H;
        ~TGuard() {
            Loops().erase(std::remove(Loops().begin(), Loops().end(), H), Loops().end());
            if (GetCapture() == H) {
                try {
                    ReleaseCapture();
                } catch (...) {
                }
            }
        }
    } Guard{H};
    Loops().push_back(H);
    SetCapture(H);
    QvSend(H, WM_ENTERSIZEMOVE, 0, 0);
    bool Cancel = false;
    for (;;) {
        if (QvWnd(H) == nullptr) return;
        if (GetCapture() != H) {
            Cancel = true;
            break;
        }
        MSG M;
        if (!PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (M.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(M.wParam));
            break;
        }
        if (M.message == WM_MOUSEMOVE) {
            const int Dx = M.pt.X - Start.X;
            const int Dy = M.pt.Y - Start.Y;
            RECT R;
            if (Sizing) {
                R = SizedRect(StartRect, Edge, Dx, Dy, MinTrack, MaxTrack);
                QvSend(H, WM_SIZING, Edge, reinterpret_cast<LPARAM>(&R));
            } else {
                R = StartRect;
                OffsetRect(R, Dx, Dy);
                QvSend(H, WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
            }
            if (QvWnd(H) == nullptr) return;
            Current = R;
            if (Full) Apply(Current);
            continue;
        }
        if (M.message == WM_LBUTTONUP) break;
        if ((M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
            (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCMBUTTONDBLCLK))
            continue;
        if (M.message == WM_KEYDOWN || M.message == WM_SYSKEYDOWN) {
            if (M.wParam == VK_ESCAPE) {
                Cancel = true;
                break;
            }
            continue;
        }
        if (M.message == WM_KEYUP || M.message == WM_SYSKEYUP || M.message == WM_CHAR || M.message == WM_SYSCHAR) continue;
        TranslateMessage(&M);
        DispatchMessage(&M);
    }
    if (Cancel) {
        TQvWnd* Now = QvWnd(H);
        if (Now != nullptr && QvScreenRect(Now) != StartRect) Apply(StartRect);
    } else if (!Full && Current != StartRect) {
        Apply(Current);
    }
    if (GetCapture() == H) ReleaseCapture();
    QvSend(H, WM_EXITSIZEMOVE, 0, 0);
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

bool QvInMoveSizeLoop(HWND Wnd) { return std::find(Loops().begin(), Loops().end(), Wnd) != Loops().end(); }

void QvFrameReset() { Loops().clear(); }

TQvFrameMetrics QvFrameMetrics(DWORD Style, UINT Dpi) {
    TQvFrameMetrics M;
    const int D = static_cast<int>(Dpi ? Dpi : USER_DEFAULT_SCREEN_DPI);
    if (Style & WS_THICKFRAME)
        M.Border = MulDiv(4, D, 96);
    else if (Style & (WS_BORDER | WS_DLGFRAME))
        M.Border = 1;
    if ((Style & WS_CAPTION) == WS_CAPTION) M.Caption = MulDiv(22, D, 96);
    return M;
}

RECT QvFrameClientRect(const RECT& Window, const TQvFrameMetrics& M) {
    RECT C{Window.Left + M.Border, Window.Top + M.Border + M.Caption, Window.Right - M.Border, Window.Bottom - M.Border};
    C.Right = std::max(C.Right, C.Left);
    C.Bottom = std::max(C.Bottom, C.Top);
    return C;
}

int QvFrameHitTest(const RECT& Window, POINT P, DWORD Style, const TQvFrameMetrics& M) {
    if (!PtInRect(Window, P)) return HTNOWHERE;
    const int B = M.Border;
    const bool OnLeft = P.X < Window.Left + B;
    const bool OnRight = P.X >= Window.Right - B;
    const bool OnTop = P.Y < Window.Top + B;
    const bool OnBottom = P.Y >= Window.Bottom - B;
    if ((Style & WS_THICKFRAME) && B > 0) {
        // Corners reach along each edge as far as the caption is high.
        const int K = std::max(B, M.Caption);
        const bool NearLeft = P.X < Window.Left + K;
        const bool NearRight = P.X >= Window.Right - K;
        const bool NearTop = P.Y < Window.Top + K;
        const bool NearBottom = P.Y >= Window.Bottom - K;
        if (OnTop) return NearLeft ? HTTOPLEFT : NearRight ? HTTOPRIGHT : HTTOP;
        if (OnBottom) return NearLeft ? HTBOTTOMLEFT : NearRight ? HTBOTTOMRIGHT : HTBOTTOM;
        if (OnLeft) return NearTop ? HTTOPLEFT : NearBottom ? HTBOTTOMLEFT : HTLEFT;
        if (OnRight) return NearTop ? HTTOPRIGHT : NearBottom ? HTBOTTOMRIGHT : HTRIGHT;
    } else if (OnLeft || OnRight || OnTop || OnBottom) {
        return HTBORDER;
    }
    if (M.Caption > 0 && P.Y < Window.Top + B + M.Caption) {
        if (P.X >= Window.Right - B - M.Caption) return HTCLOSE;
        return HTCAPTION;
    }
    return HTCLIENT;
}

BOOL AdjustWindowRectExForDpi(RECT* R, DWORD Style, BOOL, DWORD, UINT Dpi) {
    if (R == nullptr) return FALSE;
    const TQvFrameMetrics M = QvFrameMetrics(Style, Dpi);
    R->Left -= M.Border;
    R->Right += M.Border;
    R->Top -= M.Border + M.Caption;
    R->Bottom += M.Border;
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* R, DWORD Style, BOOL Menu, DWORD ExStyle) {
    return AdjustWindowRectExForDpi(R, Style, Menu, ExStyle, USER_DEFAULT_SCREEN_DPI);
}

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
                case SC_SIZE: MoveSizeLoop(H, WParam); break;
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
            if ((W->Style & WS_CAPTION) == WS_CAPTION) PaintFrame(H, GetActiveWindow() == QvTopLevel(W)->Handle);
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
            PaintFrame(H, WParam != 0);
            return TRUE;
        case WM_NCPAINT: PaintFrame(H, GetActiveWindow() == QvTopLevel(W)->Handle); return 0;
        case WM_ERASEBKGND: {
            // Class brushes below 32 are system colour indexes plus one.
            const auto Brush = reinterpret_cast<uintptr_t>(W->Class->Background);
            const HDC Dc = reinterpret_cast<HDC>(WParam);
            if (Brush == 0 || Dc == nullptr) return 0;
            const RECT R = Rect(0, 0, W->Client.Width(), W->Client.Height());
            if (Brush <= 31)
                Fill(Dc, R, static_cast<int>(Brush) - 1);
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
        case WM_MOUSEWHEEL: return Parent != nullptr ? QvSend(Parent, Msg, WParam, LParam) : 0;
        case WM_SETREDRAW: W->Redraw = WParam != 0; return 0;
        case WM_IME_COMPOSITION: QvImmDefComposition(H, LParam); return 0;
        case WM_CANCELMODE:
            if (GetCapture() == H) ReleaseCapture();
            return 0;
        case WM_SYSKEYDOWN:
            if (WParam == VK_F4 && (LParam & KF_ALTDOWN_BIT)) QvSend(QvTopLevel(W)->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        default: return 0;
    }
}
