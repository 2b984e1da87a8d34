#include "platform/uQvWinManager.h"

#include "platform/uQvMessages.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPos.h"

namespace {
TQvWnd* TopLevel(HWND Handle) {
    TQvWnd* W = QvWnd(Handle);
    return W != nullptr && !W->IsChild() && !W->MessageOnly ? W : nullptr;
}
}  // namespace

void QvWmFocus(HWND Top, bool Gained) {
    if (!Gained) {
        if (GetActiveWindow() == Top) QvActivate(nullptr, WA_INACTIVE, true);
        return;
    }
    if (TopLevel(Top) != nullptr && !(TopLevel(Top)->ExStyle & WS_EX_NOACTIVATE)) QvActivate(Top, WA_ACTIVE, true);
}

void QvWmSysCommand(HWND Top, UINT Command) {
    if (TopLevel(Top) != nullptr) PostMessage(Top, WM_SYSCOMMAND, Command, 0);
}

void QvWmPlaced(HWND Top, const RECT& Screen) {
    const TQvWnd* W = TopLevel(Top);
    if (W == nullptr || W->Window == Screen) return;
    const bool Moved = Screen.Left != W->Window.Left || Screen.Top != W->Window.Top;
    const bool Sized = Screen.Width() != W->Window.Width() || Screen.Height() != W->Window.Height();
    SetWindowPos(Top, nullptr, Screen.Left, Screen.Top, Screen.Width(), Screen.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (Moved ? 0 : SWP_NOMOVE) | (Sized ? 0 : SWP_NOSIZE));
}

void QvWmCompositionChanged() {
    for (const TQvWnd* W : QvZOrder()) PostMessage(W->Handle, WM_DWMCOMPOSITIONCHANGED, 0, 0);
}

void QvWmExpose(HWND Top, const RECT* Part) {
    const TQvWnd* W = TopLevel(Top);
    if (W == nullptr) return;
    RECT R = Part ? *Part : Rect(0, 0, W->Window.Width(), W->Window.Height());
    OffsetRect(R, W->Window.Left, W->Window.Top);
    QvScreenInvalidate(&R);
}
