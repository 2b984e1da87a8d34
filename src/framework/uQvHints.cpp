#include "framework/uQvHints.h"

#include <algorithm>

#include "platform/uQvColor.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

String GetShortHint(const String& Hint) {
    const size_t Bar = Hint.find(u'|');
    return Bar == String::npos ? Hint : Hint.substr(0, Bar);
}

String GetLongHint(const String& Hint) {
    const size_t Bar = Hint.find(u'|');
    return Bar == String::npos ? Hint : Hint.substr(Bar + 1);
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    Canvas()->Font()->SetColor(clInfoText);
    Canvas()->Brush()->SetStyle(bsClear);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.ClassStyle |= CS_SAVEBITS | CS_DROPSHADOW;
    Params.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& Text, void*) {
    TRect R = Rect(0, 0, MaxWidth, 0);
    const HDC Dc = CreateCompatibleDC(nullptr);
    Canvas()->SetHandle(Dc);
    DrawTextW(Canvas()->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    Canvas()->SetHandle(nullptr);
    DeleteDC(Dc);
    R.Right += 6;
    R.Bottom += 2;
    return R;
}

void THintWindow::ActivateHint(const TRect& Rect, const String& Text) {
    ActivateHintData(Rect, Text, nullptr);
}

void THintWindow::ActivateHintData(const TRect& Rect, const String& Text, void*) {
    SetCaption(Text);
    // Two more rows below, so the text has as much room under it as above.
    TRect R = Rect;
    R.Bottom += 4;
    // Kept on the monitor it starts on.
    MONITORINFO Info;
    if (GetMonitorInfo(MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST), &Info)) {
        const TRect M = Info.rcMonitor;
        OffsetRect(R, std::min(0, M.Right - R.Right), std::min(0, M.Bottom - R.Bottom));
        OffsetRect(R, std::max(0, M.Left - R.Left), std::max(0, M.Top - R.Top));
    }
    const HWND H = Handle();
    SetWindowPos(H, HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(H, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::Active() const {
    return HandleAllocated() && IsWindowVisible(const_cast<THintWindow*>(this)->Handle());
}

void THintWindow::Paint() {
    TCanvas* C = Canvas();
    const TRect Client = GetClientRect();
    const HBRUSH Back = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(C->Handle(), &Client, Back);
    DeleteObject(Back);
    TRect R = Client;
    R.Left += 2;
    R.Top += 2;
    C->Brush()->SetStyle(bsClear);
    String Text = Caption();
    DrawTextW(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_NCHITTEST:
            // The pointer reaches what lies beneath.
            M.Result = HTTRANSPARENT;
            return;
        case WM_NCPAINT: {
            // The frame in the window-frame colour, not the pale inactive border.
            const HWND H = Handle();
            const HDC Dc = GetWindowDC(H);
            RECT W;
            GetWindowRect(H, &W);
            const RECT Frame = Rect(0, 0, W.Width(), W.Height());
            const HBRUSH B = CreateSolidBrush(ColorToRGB(clWindowFrame));
            FrameRect(Dc, &Frame, B);
            DeleteObject(B);
            ReleaseDC(H, Dc);
            return;
        }
        default:
            TCustomControl::WndProc(M);
    }
}
