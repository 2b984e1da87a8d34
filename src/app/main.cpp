// A short headless session of the window system, told as it happens: two windows are
// opened, clicked, dragged by their caption, resized by a corner, closed with Alt+F4 and by
// their owner's closing, all on the virtual screen and clock.

#include <cstdio>
#include <string>

#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTimers.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

HWND MainWindow = nullptr;
uint64_t Start = 0;

std::string NameOf(HWND Wnd) { return StringToUtf8(GetWindowTextString(Wnd)); }

void Say(HWND Wnd, const std::string& What) {
    std::printf("%6llu ms  %-14s %s\n", static_cast<unsigned long long>(GetTickCount64() - Start), NameOf(Wnd).c_str(),
                What.c_str());
}

std::string Pair(int A, int B, const char* Sep) { return std::to_string(A) + Sep + std::to_string(B); }

LRESULT DemoProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_NCHITTEST: {
            // A painted title bar of 30 pixels and a 12-pixel sizing corner.
            RECT R;
            GetWindowRect(Wnd, &R);
            const POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            if (!PtInRect(R, P)) return HTNOWHERE;
            if (P.X >= R.Right - 12 && P.Y >= R.Bottom - 12) return HTBOTTOMRIGHT;
            if (P.Y < R.Top + 30) return HTCAPTION;
            return HTCLIENT;
        }
        case WM_ACTIVATE: Say(Wnd, LOWORD(WParam) == WA_INACTIVE ? "deactivated" : "activated"); break;
        case WM_MOVE: Say(Wnd, "client moved to " + Pair(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam), ", ")); break;
        case WM_SIZE:
            Say(Wnd, "client sized to " + Pair(LOWORD(static_cast<WPARAM>(LParam)), HIWORD(static_cast<WPARAM>(LParam)), " x "));
            break;
        case WM_LBUTTONDOWN: Say(Wnd, "clicked at " + Pair(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam), ", ")); break;
        case WM_ENTERSIZEMOVE: Say(Wnd, "drag starts"); break;
        case WM_EXITSIZEMOVE: {
            RECT R;
            GetWindowRect(Wnd, &R);
            Say(Wnd, "drag ends at " + Pair(R.Left, R.Top, ", ") + ", " + Pair(R.Width(), R.Height(), " x "));
            break;
        }
        case WM_TIMER: Say(Wnd, "timer " + std::to_string(WParam) + " ticks"); return 0;
        case WM_CLOSE: Say(Wnd, "asked to close"); break;
        case WM_DESTROY:
            Say(Wnd, "destroyed");
            if (Wnd == MainWindow) PostQuitMessage(0);
            break;
        default: break;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

}  // namespace

int main() {
    TQvHeadless& Screen = QvInstallHeadless();
    Start = GetTickCount64();
    std::puts("varnoth: headless window system session (virtual screen 1920 x 1080, virtual clock)");

    WNDCLASS C;
    C.style = CS_DBLCLKS;
    C.lpfnWndProc = DemoProc;
    C.lpszClassName = u"TDemoWindow";
    C.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClass(&C);
    MainWindow = CreateWindowEx(0, u"TDemoWindow", u"main window", WS_POPUP | WS_THICKFRAME | WS_VISIBLE, 200, 150, 640,
                                400, nullptr, nullptr, nullptr, nullptr);
    HWND Palette = CreateWindowEx(WS_EX_TOOLWINDOW, u"TDemoWindow", u"palette", WS_POPUP | WS_VISIBLE, 900, 150, 200, 300,
                                  MainWindow, nullptr, nullptr, nullptr);
    SetTimer(Palette, 1, 250, nullptr);

    Screen.Click(400, 300);               // into the main window, which takes the activation
    Screen.Delay(100);
    Screen.Drag(300, 165, 420, 225, 3);   // by the caption
    Screen.Delay(100);
    Screen.Drag(955, 605, 1005, 645, 2);  // by the sizing corner, where the window now is
    Screen.Delay(200);
    Screen.Click(1000, 200);              // the palette
    Screen.Step([Palette] { KillTimer(Palette, 1); });
    Screen.KeyDown(VK_MENU);
    Screen.Key(VK_F4);                    // closes the palette
    Screen.KeyUp(VK_MENU);
    Screen.Delay(300);
    Screen.Step([] { SendMessage(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); });

    MSG M;
    try {
        while (GetMessage(&M, nullptr, 0, 0)) {
            TranslateMessage(&M);
            DispatchMessage(&M);
        }
    } catch (const EQvStalled& E) {
        std::printf("the session stalled: %s\n", E.what());
        return 1;
    }
    for (const std::string& E : Screen.Exceptions()) std::printf("exception caught at dispatch: %s\n", E.c_str());
    std::printf("session over after %llu ms of virtual time, exit code %d\n",
                static_cast<unsigned long long>(GetTickCount64() - Start), static_cast<int>(M.wParam));
    return Screen.Exceptions().empty() ? 0 : 1;
}
