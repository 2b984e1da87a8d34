#include "platform/uQvFramePaint.h"

#include <map>

#include "platform/uQvColor.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiPrimitives.h"
#include "platform/uQvWinFrame.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"

namespace {

// The caption font of a dpi: the system face at 9 points; made once per dpi.
HFONT CaptionFont(int Dpi) {
    static std::map<int, HFONT> Fonts;
    HFONT& F = Fonts[Dpi];
    if (F == nullptr || GetObjectType(F) != OBJ_FONT)
        F = CreateFontW(-MulDiv(9, Dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, 0, DEFAULT_PITCH, u"Tahoma");
    return F;
}

}  // namespace

void QvFillSysColor(HDC Dc, const RECT& R, int SysColor) {
    HBRUSH B = CreateSolidBrush(GetSysColor(SysColor));
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

void QvPaintPlainFrame(HWND H, bool Active, HRGN Rgn) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->MessageOnly || !QvIsVisible(W)) return;
    const TQvFrameMetrics M = QvFrameMetrics(W->Style, QvTopLevel(W)->Dpi);
    if (M.Border == 0 && M.Caption == 0) return;
    const TGdiRegion* Part = Rgn != QvWholeWindowRgn ? GdiRegionOf(Rgn) : nullptr;
    HDC Dc = QvWindowDC(W, Part ? &Part->Region : nullptr);
    if (Dc == nullptr) return;
    QvPaintPlainFrameDC(H, Dc, Active);
    ReleaseDC(H, Dc);
}

// The plain frame: border strips, the caption bar in the active or inactive caption colour
// and a cross for the close box.
void QvPaintPlainFrameDC(HWND H, HDC Dc, bool Active) {
    TQvWnd* W = QvWnd(H);
    if (W == nullptr || W->MessageOnly) return;
    const TQvFrameMetrics M = QvFrameMetrics(W->Style, QvTopLevel(W)->Dpi);
    if (M.Border == 0 && M.Caption == 0) return;
    const int Wd = W->Window.Width(), Ht = W->Window.Height(), B = M.Border, C = M.Caption;
    const int Border = Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER;
    QvFillSysColor(Dc, Rect(0, 0, Wd, B), Border);
    QvFillSysColor(Dc, Rect(0, Ht - B, Wd, Ht), Border);
    QvFillSysColor(Dc, Rect(0, B, B, Ht - B), Border);
    QvFillSysColor(Dc, Rect(Wd - B, B, Wd, Ht - B), Border);
    if (C > 0) {
        QvFillSysColor(Dc, Rect(B, B, Wd - B, B + C), Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
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
}

