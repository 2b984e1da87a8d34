// A window on the display that shows and prints what is typed into it: each change of its
// text goes to stdout as one line "text: <UTF-8>". Ctrl+V appends the clipboard's text,
// Ctrl+C copies the window's text, Backspace takes the last character away. For checking
// keyboard, input method and clipboard on a real display by hand or by a script.
#include <cstdio>
#include <string>

#include "platform/backends/sdl/uQvSdl.h"
#include "platform/uQvBackend.h"
#include "platform/uQvClipboard.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvFont.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWindows.h"

namespace {

String Typed;

void Changed(HWND H) {
    std::printf("text: %s\n", StringToUtf8(Typed).c_str());
    std::fflush(stdout);
    InvalidateRect(H, nullptr, TRUE);
}

void Paste(HWND H) {
    String Clip;
    if (!OpenClipboard(H)) return;
    if (GetClipboardData(CF_UNICODETEXT, &Clip)) Typed += Clip;
    CloseClipboard();
    Changed(H);
}

void Copy(HWND H) {
    if (!OpenClipboard(H)) return;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Typed);
    CloseClipboard();
}

LRESULT EchoProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
        case WM_CHAR:
            if (W == 22) {
                Paste(H);
            } else if (W == 3) {
                Copy(H);
            } else if (W == 8) {
                if (!Typed.empty()) Typed.pop_back();
                Changed(H);
            } else if (W >= 32) {
                Typed += static_cast<Char>(W);
                Changed(H);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT Ps;
            HDC Dc = BeginPaint(H, &Ps);
            HFONT F = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"微软雅黑");
            HGDIOBJ Old = SelectObject(Dc, F);
            SetBkMode(Dc, TRANSPARENT);
            TextOutW(Dc, 12, 12, Typed.c_str(), static_cast<int>(Typed.size()));
            SelectObject(Dc, Old);
            DeleteObject(F);
            EndPaint(H, &Ps);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProc(H, Msg, W, L);
    }
}

}  // namespace

int main() {
    std::string Error;
    if (!QvInstallSdlBackend(QvDisplayFromEnvironment(), Error)) {
        std::fprintf(stderr, "qv_sdl_echo: %s\n", Error.c_str());
        return 1;
    }
    UseQvPinnedFonts();
    WNDCLASS C;
    C.lpfnWndProc = EchoProc;
    C.lpszClassName = u"QvEcho";
    C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    RegisterClass(&C);
    HWND H = CreateWindowEx(0, u"QvEcho", u"echo 回显", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 160,
                            nullptr, nullptr, nullptr, nullptr);
    SetFocus(H);
    MSG M;
    try {
        while (GetMessage(&M, nullptr, 0, 0)) {
            TranslateMessage(&M);
            DispatchMessage(&M);
        }
    } catch (const EQvDisplayLost& E) {
        std::fprintf(stderr, "qv_sdl_echo: %s\n", E.what());
        return 2;
    }
    return 0;
}
