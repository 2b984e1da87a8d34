// A plug-in in the shape of the sub-frame library: it fills a host window with a child
// window of its own class, using nothing but the host's window system.

#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

extern "C" void CallSubFrameInDll(HWND Parent) {
    if (!GetClassInfo(nullptr, u"TSubFrame", nullptr)) {
        WNDCLASS C;
        C.lpfnWndProc = DefWindowProc;
        C.lpszClassName = u"TSubFrame";
        if (!RegisterClass(&C)) return;
    }
    RECT R;
    if (!GetClientRect(Parent, &R)) return;
    CreateWindowEx(0, u"TSubFrame", u"sub frame", WS_CHILD | WS_VISIBLE, 0, 0, R.Width(), R.Height(), Parent, nullptr,
                   nullptr, nullptr);
}
