#pragma once
// Helpers of the painting and screen tests: windows painted in one colour and pixel probes
// of the composed screen.

#include "platform/uQvColor.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWinPaint.h"
#include "support/qv_message_log.h"

// The screen pixel a fill of Color gives (B, G, R, A in memory).
inline uint32_t Px(COLORREF Color) {
    return 0xFF000000u | ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

inline uint32_t ScreenAt(int X, int Y) {
    const RECT B = QvScreenBounds();
    return QvComposedScreen().Pixel(X - B.Left, Y - B.Top);
}

inline void FillDC(HDC Dc, const RECT& R, COLORREF Color) {
    HBRUSH B = CreateSolidBrush(Color);
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

// A logged window whose WM_PAINT fills its client area with Color.
inline HWND SolidWindow(TQvMessageLog& Log, const char* Name, COLORREF Color, DWORD Style, const RECT& Bounds,
                        DWORD ExStyle = 0, HWND Parent = nullptr) {
    HWND H = Log.Create(Name, Style, Bounds, Parent, ExStyle);
    Log.On(H, WM_PAINT, [Color](HWND W, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(W, &Ps);
        RECT C;
        GetClientRect(W, &C);
        FillDC(Dc, C, Color);
        EndPaint(W, &Ps);
        return true;
    });
    return H;
}
