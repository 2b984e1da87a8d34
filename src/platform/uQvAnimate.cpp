#include "platform/uQvAnimate.h"

#include "platform/uQvBackend.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"

namespace {

constexpr DWORD FrameMs = 10;
constexpr DWORD Directions = AW_HOR_POSITIVE | AW_HOR_NEGATIVE | AW_VER_POSITIVE | AW_VER_NEGATIVE;

// The shown span [From, To) and pixel shift along one axis of Size pixels, Shown of them
// showing. Positive means the animation runs towards larger coordinates: a window being
// shown appears at the start of the axis, one being hidden keeps its end.
void Axis(int Size, int Shown, bool Positive, bool Negative, bool Hiding, bool Slide, int& From, int& To,
          int& Shift) {
    From = 0;
    To = Size;
    Shift = 0;
    if (!Positive && !Negative) return;
    const bool AtStart = Positive != Hiding;
    const int Gone = Size - Shown;
    if (AtStart) {
        To = Shown;
        if (Slide) Shift = -Gone;
    } else {
        From = Gone;
        if (Slide) Shift = Gone;
    }
}

// The animation state with Num / Den of the window showing.
TQvAnimation StateAt(const TQvWnd* W, DWORD Flags, DWORD Num, DWORD Den) {
    const int Wd = W->Window.Width(), Ht = W->Window.Height();
    TQvAnimation A;
    A.Part = Rect(0, 0, Wd, Ht);
    if (Flags & AW_BLEND) {
        A.Fade = static_cast<BYTE>((255 * uint64_t{Num} + Den / 2) / Den);
        return A;
    }
    const int ShownW = static_cast<int>(int64_t{Wd} * Num / Den),
              ShownH = static_cast<int>(int64_t{Ht} * Num / Den);
    if (Flags & AW_CENTER) {
        A.Part = Bounds((Wd - ShownW) / 2, (Ht - ShownH) / 2, ShownW, ShownH);
        return A;
    }
    const bool Hiding = (Flags & AW_HIDE) != 0, Slide = (Flags & AW_SLIDE) != 0;
    // Both directions on one axis count as the positive one.
    Axis(Wd, ShownW, (Flags & AW_HOR_POSITIVE) != 0, (Flags & AW_HOR_NEGATIVE) != 0, Hiding, Slide,
         A.Part.Left, A.Part.Right, A.Shift.X);
    Axis(Ht, ShownH, (Flags & AW_VER_POSITIVE) != 0, (Flags & AW_VER_NEGATIVE) != 0, Hiding, Slide,
         A.Part.Top, A.Part.Bottom, A.Shift.Y);
    return A;
}

}  // namespace

BOOL AnimateWindow(HWND Wnd, DWORD Time, DWORD Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->MessageOnly || W->Parent != nullptr) return FALSE;
    const bool Hiding = (Flags & AW_HIDE) != 0;
    if (Hiding != W->Visible()) return FALSE;
    if (!(Flags & (AW_BLEND | AW_CENTER)) && !(Flags & Directions)) return FALSE;
    // Whatever a handler throws, the window is left without its animation state.
    struct TGuard {
        HWND Wnd;
        ~TGuard() {
            if (TQvWnd* Gone = QvWnd(Wnd)) Gone->Animation.reset();
        }
    } Guard{Wnd};
    const DWORD Den = Time == 0 ? 1 : Time;
    auto Frame = [&](DWORD Elapsed) {
        TQvWnd* Now = QvWnd(Wnd);
        if (Now == nullptr) return false;
        Now->Animation = StateAt(Now, Flags, Hiding ? Den - Elapsed : Elapsed, Den);
        QvScreenPresent();
        return true;
    };
    if (!Hiding) {
        W->Animation = StateAt(W, Flags, 0, Den);
        ShowWindow(Wnd, (Flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
        if (QvWnd(Wnd) == nullptr) return FALSE;
        // The window is painted before it starts to show.
        RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    for (DWORD Elapsed = 0;;) {
        if (!Frame(Elapsed)) return FALSE;
        if (Elapsed >= Time) break;
        const DWORD Step = std::min(FrameMs, Time - Elapsed);
        QvBackend().Sleep(Step);
        Elapsed += Step;
    }
    if (Hiding) ShowWindow(Wnd, SW_HIDE);
    return QvWnd(Wnd) != nullptr;
}
