#include "platform/uQvMoveSize.h"

#include <algorithm>
#include <vector>

#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWinState.h"
#include "platform/uQvWindows.h"

namespace {

struct TLoops {
    std::vector<HWND> Running;
};

std::vector<HWND>& Loops() { return QvWinState<TLoops>().Running; }

}  // namespace

bool QvInMoveSizeLoop(HWND Wnd) { return std::find(Loops().begin(), Loops().end(), Wnd) != Loops().end(); }

void QvMoveSizeLoop(HWND H, WPARAM Cmd) {
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
                R = QvSizedRect(StartRect, Edge, Dx, Dy, MinTrack, MaxTrack);
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

