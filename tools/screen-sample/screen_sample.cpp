// Draws the screen sample picture: plain framed windows (active and inactive captions, a
// title cut with an ellipsis, a rounded window region), a layered window with per-pixel
// alpha and one with a colour key, composed on the headless screen. Usage:
// qv_screen_sample <file.png>, or qv_screen_sample --display to show the same windows on
// the display (closing a framed window ends it).
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "platform/backends/headless/uQvHeadless.h"
#include "platform/backends/sdl/uQvSdl.h"
#include "platform/uQvFont.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvScreen.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

void Fill(HDC Dc, const RECT& R, COLORREF C) {
    HBRUSH B = CreateSolidBrush(C);
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

void Say(HDC Dc, int X, int Y, const String& Text, COLORREF C, int Height = -13) {
    HFONT F = CreateFontW(Height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"微软雅黑");
    HGDIOBJ Old = SelectObject(Dc, F);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, C);
    TextOutW(Dc, X, Y, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(Dc, Old);
    DeleteObject(F);
}

LRESULT SamplePaint(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_DESTROY) PostQuitMessage(0);
    if (Msg != WM_PAINT) return DefWindowProc(H, Msg, W, L);
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(H, &Ps);
    RECT C;
    GetClientRect(H, &C);
    const String Text = GetWindowTextString(H);
    Say(Dc, 12, 12, u"客户区 Client area", RGB(0x30, 0x30, 0x30));
    Fill(Dc, Rect(12, 40, C.Right - 12, 44), RGB(0x00, 0x78, 0xD7));
    for (int K = 0; K < 5; ++K) Fill(Dc, Bounds(12 + K * 36, 56, 28, 28), RGB(40 * K, 120, 200 - 30 * K));
    EndPaint(H, &Ps);
    return 0;
}

HWND Framed(const char16_t* Title, int X, int Y, int W, int H) {
    return CreateWindowEx(0, u"QvSample", Title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H, nullptr,
                          nullptr, nullptr, nullptr);
}

// A premultiplied disc with a soft edge and a translucent body.
HWND AlphaDisc(int X, int Y, int Size) {
    HWND H = CreateWindowEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, u"QvSample", u"", WS_POPUP | WS_VISIBLE, X, Y,
                            Size, Size, nullptr, nullptr, nullptr, nullptr);
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(Size, Size, &Bits);
    auto* P = static_cast<uint32_t*>(Bits);
    const double R = Size / 2.0;
    for (int Yy = 0; Yy < Size; ++Yy)
        for (int Xx = 0; Xx < Size; ++Xx) {
            const double D = std::hypot(Xx + 0.5 - R, Yy + 0.5 - R);
            const double Edge = std::clamp(R - D, 0.0, 1.0);
            const double Body = D < R * 0.55 ? 1.0 : 0.55;
            const uint32_t A = static_cast<uint32_t>(std::lround(255 * Edge * Body));
            const uint32_t Rr = 0xE0 * A / 255, G = 0x40 * A / 255, B = 0x60 * A / 255;
            P[Yy * Size + Xx] = (A << 24) | (Rr << 16) | (G << 8) | B;
        }
    HDC Src = CreateCompatibleDC(nullptr);
    SelectObject(Src, Bm);
    POINT Pos{X, Y}, Zero{0, 0};
    SIZE Sz{Size, Size};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(H, nullptr, &Pos, &Sz, Src, &Zero, 0, &Blend, ULW_ALPHA);
    DeleteDC(Src);
    DeleteObject(Bm);
    return H;
}

LRESULT KeyedPaint(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg != WM_PAINT) return DefWindowProc(H, Msg, W, L);
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(H, &Ps);
    RECT C;
    GetClientRect(H, &C);
    Fill(Dc, C, RGB(0xA6, 0xA6, 0xA6));  // the key colour: not shown
    for (int K = 0; K < 4; ++K)
        Fill(Dc, Bounds(10 + K * 50, 10 + K * 20, 40, 40), RGB(0x20, 0x90 + K * 30, 0x40));
    Say(Dc, 10, C.Bottom - 28, u"颜色键 colour key", RGB(0x10, 0x10, 0x60));
    EndPaint(H, &Ps);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv_screen_sample <file.png>\n");
        return 2;
    }
    if (!UseQvPinnedFonts()) std::fprintf(stderr, "warning: packaged fonts missing, using the machine's\n");
    try {
        const bool OnDisplay = std::string_view(argv[1]) == "--display";
        TQvHeadless* Headless = nullptr;
        if (OnDisplay) {
            std::string Error;
            if (!QvInstallSdlBackend(QvDisplayFromEnvironment(), Error)) {
                std::fprintf(stderr, "qv_screen_sample: %s\n", Error.c_str());
                return 1;
            }
        } else {
            Headless = &QvInstallHeadless();
            Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 900, 600), Rect(0, 0, 900, 600), 96}});
        }
        WNDCLASS C;
        C.lpfnWndProc = SamplePaint;
        C.lpszClassName = u"QvSample";
        C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
        RegisterClass(&C);
        WNDCLASS K;
        K.lpfnWndProc = KeyedPaint;
        K.lpszClassName = u"QvKeyed";
        RegisterClass(&K);

        Framed(u"Inactive window 未激活", 30, 30, 360, 200);
        HWND Long =
            Framed(u"A title too long for its caption is cut with an ellipsis 标题", 60, 180, 300, 170);
        SetWindowRgn(Long, CreateRoundRectRgn(0, 0, 301, 171, 9, 9), TRUE);
        HWND Main = Framed(u"Varnoth 主窗口", 440, 40, 420, 250);
        SetActiveWindow(Main);
        HWND Keyed = CreateWindowEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, u"QvKeyed", u"", WS_POPUP | WS_VISIBLE,
                                    60, 400, 240, 150, nullptr, nullptr, nullptr, nullptr);
        SetLayeredWindowAttributes(Keyed, RGB(0xA6, 0xA6, 0xA6), 0, LWA_COLORKEY);
        AlphaDisc(560, 230, 220);
        HWND Faded = Framed(u"Constant alpha 160 半透明", 390, 380, 260, 150);
        SetWindowLongPtr(Faded, GWL_EXSTYLE, GetWindowLongPtr(Faded, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(Faded, 0, 160, LWA_ALPHA);
        SetActiveWindow(Main);
        MSG M;
        if (OnDisplay) {
            while (GetMessage(&M, nullptr, 0, 0)) {
                TranslateMessage(&M);
                DispatchMessage(&M);
            }
            return 0;
        }
        while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&M);
        Headless->SaveScreenshot(Utf8ToString(argv[1]));
    } catch (const std::exception& E) {
        std::fprintf(stderr, "qv_screen_sample: %s\n", E.what());
        return 1;
    }
    return 0;
}
