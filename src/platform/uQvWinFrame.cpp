#include "platform/uQvWinFrame.h"

#include <algorithm>

#include "platform/uQvWinTypes.h"

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

RECT QvSizedRect(const RECT& Start, UINT Edge, int Dx, int Dy, POINT MinTrack, POINT MaxTrack) {
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

