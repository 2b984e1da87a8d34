#include "controls/uPelluxScrollBar.h"

#include <algorithm>
#include <cstdint>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxStrips.h"
#include "framework/uQvRegistry.h"

namespace {

constexpr const char16_t* ImageProps[ScrollBarImageCount] = {
    u"Scrollbar_bkg",
    u"Scrollbar_bar_normal",
    u"Scrollbar_bar_highlight",
    u"Scrollbar_bar_down",
    u"Scrollbar_horz_bkg",
    u"Scrollbar_horzbar_normal",
    u"Scrollbar_horzbar_highlight",
    u"Scrollbar_horzbar_down",
    u"Scrollbar_arrowup_normal",
    u"Scrollbar_arrowup_highlight",
    u"Scrollbar_arrowup_down",
    u"Scrollbar_arrowdown_normal",
    u"Scrollbar_arrowdown_highlight",
    u"Scrollbar_arrowdown_down",
    u"Scrollbar_arrowleft_normal",
    u"Scrollbar_arrowleft_highlight",
    u"Scrollbar_arrowleft_down",
    u"Scrollbar_arrowright_normal",
    u"Scrollbar_arrowright_highlight",
    u"Scrollbar_arrowright_down",
};

constexpr UINT FirstRepeat = 11;
constexpr UINT Repeat = 50;

}  // namespace

const char16_t* ScrollBarImageProp(TQvScrollBarImage Image) {
    return ImageProps[Image];
}

void LayoutScrollBar(TScrollBarKind Kind, int W, int H, const TSize* Arrow, int Min, int Max, int Position,
                     int PageSize, int MinThumb, TQvScrollBarGeometry& G) {
    const bool Vertical = Kind == sbVertical;
    TRect& Thumb = G.Parts[sbpThumb];
    if (Arrow != nullptr) {
        if (Vertical) {
            const int AH = Arrow->cy;
            G.Parts[sbpNear] = Rect(0, 0, W, AH);
            G.Parts[sbpFar] = Rect(0, H - AH, W, H);
            G.Track = Rect(0, AH, W, H - AH);
        } else {
            const int AW = Arrow->cx;
            G.Parts[sbpNear] = Rect(0, 0, AW, Arrow->cy);
            G.Parts[sbpFar] = Rect(W - AW, 0, W, H);
            G.Track = Rect(AW, 0, W - AW, H);
        }
    }
    const int Start = Vertical ? G.Track.Top : G.Track.Left;
    // A bar too short for its arrows has an empty track.
    const int Room = std::max(0, (Vertical ? G.Track.Bottom : G.Track.Right) - Start);
    // In 64 bits: the bounds may span all of int.
    const int64_t Span = static_cast<int64_t>(Max) - Min;
    const int64_t Scrollable = Span - PageSize + 1;
    int U = MinThumb;
    double Ratio;
    if (PageSize != 0) {
        const int64_t Whole = Span + 1;
        const int Share = Whole == 0 ? 0 : RoundHalfEven(static_cast<double>(Room) * PageSize / Whole);
        U = std::max(Share, MinThumb);
        // Vertical bars put a thumb that cannot move at the start, horizontal ones at the end.
        Ratio = Scrollable > 0 ? static_cast<double>(Position - static_cast<int64_t>(Min)) / Scrollable
                               : (Vertical ? 0.0 : 1.0);
    } else {
        Ratio = Span == 0 ? 0.0 : static_cast<double>(Position - static_cast<int64_t>(Min)) / Span;
    }
    U = std::clamp(U, 0, Room);
    Ratio = std::clamp(Ratio, 0.0, 1.0);
    G.Offset1 = Start + U / 2;
    G.Offset2 = Start + Room - U / 2;
    G.BOffset = RoundHalfEven(Ratio * (G.Offset2 - G.Offset1));
    const int From = G.Offset1 + G.BOffset - U / 2, To = G.Offset1 + G.BOffset + U / 2;
    Thumb =
        Vertical ? Rect(G.Track.Left, From, G.Track.Right, To) : Rect(From, G.Track.Top, To, G.Track.Bottom);
}

// ---- TPelluxScrollBar -----------------------------------------------------------------

TPelluxScrollBar::TPelluxScrollBar(TComponent* AOwner)
    : TPelluxCustomControl(AOwner),
      FRepeatTimer(std::make_unique<TSimpleTimer>(FirstRepeat, nullptr)),
      FRealignTimer(std::make_unique<TSimpleTimer>(50, nullptr)) {
    for (int I = 0; I < ScrollBarImageCount; ++I) FImages[I] = String(u"Pellux") + ImageProps[I];
    SetColor(clWhite);
    SetBounds(Left(), Top(), 200, 19);
    FRepeatTimer->SetOnTimer([this](TObject*) { TimerTick(); });
    FRealignTimer->SetAutoDisable(true);
    // A shown or hidden aligned bar nudges its height so that the parent aligns again.
    FRealignTimer->SetOnTimer([this](TObject*) {
        const int H = Height();
        SetHeight(H - 1);
        SetHeight(H);
    });
}

TPelluxScrollBar::~TPelluxScrollBar() = default;

void TPelluxScrollBar::SetSkinImage(TQvScrollBarImage Which, const TQvResID& Value) {
    if (FImages[Which] == Value) return;
    FImages[Which] = Value;
    Invalidate();
}

TPelluxImage* TPelluxScrollBar::Image(TQvScrollBarImage Which) const {
    return SkinResManager().GetImageByName(FImages[Which], true);
}

void TPelluxScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    const bool Mismatch = Value == sbHorizontal ? Width() < Height() : Width() > Height();
    if (Mismatch) SetBounds(Left(), Top(), Height(), Width());
    KeepThickness();
    Invalidate();
}

int TPelluxScrollBar::UpperPosition() const {
    const int64_t Upper = FPageSize != 0 ? static_cast<int64_t>(FMax) - FPageSize + 1 : FMax;
    return static_cast<int>(std::clamp<int64_t>(Upper, FMin, INT32_MAX));
}

void TPelluxScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, UpperPosition());
    if (FPosition == Value) return;
    FPosition = Value;
    Invalidate();
    if (OnChange) OnChange(this);
}

void TPelluxScrollBar::SetMin(int Value) {
    if (FMin == Value) return;
    FMin = Value;
    if (FPosition < Value) FPosition = Value;
    Invalidate();
}

void TPelluxScrollBar::SetMax(int Value) {
    if (FMax == Value) return;
    FMax = Value;
    FPosition = std::min(FPosition, UpperPosition());
    Invalidate();
}

void TPelluxScrollBar::SetPageSize(int Value) {
    // The page from the current position must still end within Max.
    if (static_cast<int64_t>(FMax) + 1 < static_cast<int64_t>(Value) + FPosition) return;
    if (FPageSize == Value) return;
    FPageSize = Value;
    Invalidate();
}

void TPelluxScrollBar::SetSmallChange(int Value) {
    Change(FSmallChange, Value);
}

void TPelluxScrollBar::SetLargeChange(int Value) {
    Change(FLargeChange, Value);
}

void TPelluxScrollBar::SetAutoHide(bool Value) {
    if (FAutoHide == Value) return;
    FAutoHide = Value;
    if (Value) Hide();
}

void TPelluxScrollBar::SetCanFocused(bool Value) {
    FCanFocused = Value;
    SetTabStop(Value);
    TPaintBoxOptions O = Options();
    if (Value)
        O.Include(pboWantArrowKeys);
    else
        O.Exclude(pboWantArrowKeys);
    SetOptions(O);
}

void TPelluxScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize) {
    if (Designing()) return;
    const TQvAliveCheck Alive = AliveCheck();
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    if (APosition < FMin)
        SetPosition(FMin);
    else if (APosition > UpperPosition())
        SetPosition(UpperPosition());
    else
        FPosition = APosition;
    if (!Alive.Alive()) return;
    if (FAutoHide && Visible() != (APageSize != 0)) {
        SetVisible(APageSize != 0);
        if (Align() != alNone) FRealignTimer->SetEnabled(true);
    }
    Invalidate();
}

int TPelluxScrollBar::GetRealSize() {
    if (FKind == sbHorizontal) {
        const TPelluxImage* I = Image(sbiHorzBkg);
        return I != nullptr ? I->Height() : 0;
    }
    const TPelluxImage* I = Image(sbiBkg);
    return I != nullptr ? I->Width() : 0;
}

void TPelluxScrollBar::SetBindingWinControl(TWinControl* Value) {
    if (FBindingWinControl == Value) return;
    if (FBindingWinControl != nullptr) FBindingWinControl->RemoveFreeNotification(this);
    FBindingWinControl = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TPelluxScrollBar::Notification(TComponent* AComponent, TOperation Operation) {
    TPelluxCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBindingWinControl) FBindingWinControl = nullptr;
}

void TPelluxScrollBar::Resize() {
    TPelluxCustomControl::Resize();
    KeepThickness();
}

void TPelluxScrollBar::KeepThickness() {
    if (FForcingSize) return;
    const int Real = GetRealSize();
    // Without its track image the bar keeps the size it was given.
    if (Real <= 0) return;
    FForcingSize = true;
    if (FKind == sbHorizontal && Height() != Real) SetBounds(Left(), Top(), Width(), Real);
    if (FKind == sbVertical && Width() != Real) SetBounds(Left(), Top(), Real, Height());
    FForcingSize = false;
}

// ---- layout and hit testing -----------------------------------------------------------

void TPelluxScrollBar::Layout() {
    const TPelluxImage* A = Image(FKind == sbVertical ? sbiArrowUpNormal : sbiArrowLeftNormal);
    const TSize Arrow{A != nullptr ? A->Width() : 0, A != nullptr ? A->Height() : 0};
    LayoutScrollBar(FKind, Width(), Height(), A != nullptr ? &Arrow : nullptr, FMin, FMax, FPosition,
                    FPageSize, ScaleByDPI(this, 21), FGeometry);
}

const TQvScrollBarGeometry& TPelluxScrollBar::Geometry() {
    Layout();
    return FGeometry;
}

int TPelluxScrollBar::PartAt(int X, int Y) const {
    for (int I = sbpThumb; I <= sbpNear; ++I)
        if (PtInRect(FGeometry.Parts[I], TPoint{X, Y})) return I;
    return -1;
}

void TPelluxScrollBar::UpdateHover(int X, int Y) {
    Layout();
    int Hit = PartAt(X, Y);
    // While a part is held no other part lights up.
    if (CaptureButton >= 0 && Hit != CaptureButton) Hit = -1;
    if (Hit == ActiveButton) return;
    const auto HeldArrow = [this](int Part) {
        return Part >= sbpFar && Part == CaptureButton && (FTimerMode == 1 || FTimerMode == 2);
    };
    if (ActiveButton >= 0) {
        FButtons[ActiveButton].Hover = false;
        // A held arrow pauses while the pointer is off it.
        if (HeldArrow(ActiveButton)) StopTimer();
    }
    ActiveButton = Hit;
    if (Hit >= 0) {
        FButtons[Hit].Hover = true;
        if (HeldArrow(Hit)) {
            WaitMode = false;
            StartTimer(Repeat);
        }
    }
    Invalidate();
}

// ---- stepping and the repeat timer ----------------------------------------------------

void TPelluxScrollBar::ArrowStep(int Part) {
    if (Part == sbpFar) {
        if (OnUpButtonClick)
            OnUpButtonClick(this);
        else
            SetPosition(FPosition + FSmallChange);
    } else if (OnDownButtonClick) {
        OnDownButtonClick(this);
    } else {
        SetPosition(FPosition - FSmallChange);
    }
}

void TPelluxScrollBar::PageStep(bool TowardEnd) {
    const TQvAliveCheck Alive = AliveCheck();
    SetPosition(TowardEnd ? FPosition + FLargeChange : FPosition - FLargeChange);
    if (!Alive.Alive()) return;
    const TNotifyEvent& Event = TowardEnd ? OnPageDown : OnPageUp;
    if (Event) Event(this);
}

void TPelluxScrollBar::StartTimer(UINT Interval) {
    FRepeatTimer->SetInterval(Interval);
    FRepeatTimer->SetEnabled(true);
}

void TPelluxScrollBar::StopTimer() {
    FRepeatTimer->SetEnabled(false);
}

void TPelluxScrollBar::TimerTick() {
    if (WaitMode) {
        WaitMode = false;
        StartTimer(Repeat);
        return;
    }
    switch (FTimerMode) {
        case 1:
            ArrowStep(sbpNear);
            return;
        case 2:
            ArrowStep(sbpFar);
            return;
        case 3:
        case 4: {
            const TQvAliveCheck Alive = AliveCheck();
            UpdateHover(MX, MY);
            const TRect& Thumb = FGeometry.Parts[sbpThumb];
            const int P = Along(MX, MY);
            const bool InTrack = PtInRect(FGeometry.Track, TPoint{MX, MY});
            // Paging goes on while the pointer is on the track beyond the thumb.
            const bool Beyond = FTimerMode == 3 ? P < (FKind == sbVertical ? Thumb.Top : Thumb.Left)
                                                : P >= (FKind == sbVertical ? Thumb.Bottom : Thumb.Right);
            if (InTrack && Beyond) {
                PageStep(FTimerMode == 4);
            } else if (Alive.Alive()) {
                StopTimer();
                FTimerMode = 0;
            }
            return;
        }
        default:
            StopTimer();
            return;
    }
}

// ---- mouse, keys, wheel ---------------------------------------------------------------

void TPelluxScrollBar::MouseEntered() {
    TPelluxCustomControl::MouseEntered();
    FMouseInClientRect = true;
    Invalidate();
}

void TPelluxScrollBar::MouseLeft() {
    TPelluxCustomControl::MouseLeft();
    FMouseInClientRect = false;
    if (CaptureButton < 0 && !FDown && ActiveButton >= 0) {
        FButtons[ActiveButton].Hover = false;
        ActiveButton = -1;
    }
    // Paging needs the pointer on the track.
    if (FTimerMode >= 3) {
        StopTimer();
        FTimerMode = 0;
    }
    Invalidate();
}

void TPelluxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (Button != mbLeft) {
        TPelluxCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (FCanFocused && !Designing() && !Focused()) {
        if (CanFocus()) SetFocus();
        if (!Alive.Alive() || !Focused()) return;
    }
    MouseD = true;
    MX = X;
    MY = Y;
    Layout();
    FTimerMode = 0;
    WaitMode = true;
    const int Part = PartAt(X, Y);
    CaptureButton = Part;
    if (Part >= 0) FButtons[Part].Pressed = true;
    Invalidate();
    if (Part == sbpThumb) {
        OMPos = Along(X, Y);
        OldBOffset = FGeometry.BOffset;
        FDown = true;
    } else if (Part == sbpFar || Part == sbpNear) {
        FTimerMode = Part == sbpFar ? 2 : 1;
        StartTimer(FirstRepeat);
        ArrowStep(Part);
    } else if (PtInRect(FGeometry.Track, TPoint{X, Y})) {
        const TRect& Thumb = FGeometry.Parts[sbpThumb];
        const bool TowardEnd = Along(X, Y) >= (FKind == sbVertical ? Thumb.Top : Thumb.Left);
        FTimerMode = TowardEnd ? 4 : 3;
        StartTimer(FirstRepeat);
        PageStep(TowardEnd);
    }
    if (!Alive.Alive()) return;
    TPelluxCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPelluxScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    MX = X;
    MY = Y;
    UpdateHover(X, Y);
    if (FDown) {
        const int Span = FGeometry.Offset2 - FGeometry.Offset1;
        double Ratio = Span > 0 ? static_cast<double>(Along(X, Y) - OMPos + OldBOffset) / Span : 0.0;
        Ratio = std::clamp(Ratio, 0.0, 1.0);
        const int64_t Steps = static_cast<int64_t>(FMax) - FMin - (FPageSize != 0 ? FPageSize - 1 : 0);
        SetPosition(static_cast<int>(std::clamp<int64_t>(
            RoundHalfEven64(Ratio * static_cast<double>(Steps)) + FMin, INT32_MIN, INT32_MAX)));
        if (!Alive.Alive()) return;
    }
    TPelluxCustomControl::MouseMove(Shift, X, Y);
}

void TPelluxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    bool ThumbReleased = false;
    if (Button == mbLeft) {
        MouseD = false;
        if (FTimerMode >= 3) {
            StopTimer();
            FTimerMode = 0;
        }
        if (CaptureButton >= 0) {
            TPart& P = FButtons[CaptureButton];
            P.Pressed = false;
            if (!PtInRect(FGeometry.Parts[CaptureButton], TPoint{X, Y})) {
                P.Hover = false;
                if (ActiveButton == CaptureButton) ActiveButton = -1;
            }
            if (CaptureButton == sbpThumb) {
                FDown = false;
                ThumbReleased = true;
            } else {
                StopTimer();
                FTimerMode = 0;
            }
        }
        CaptureButton = -1;
        UpdateHover(X, Y);
        Invalidate();
    }
    TPelluxCustomControl::MouseUp(Button, Shift, X, Y);
    if (Alive.Alive() && ThumbReleased && OnLastChange) OnLastChange(this);
}

void TPelluxScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomControl::KeyDown(Key, Shift);
    if (!Alive.Alive() || !FCanFocused) return;
    if (Key == VK_LEFT || Key == VK_UP) SetPosition(FPosition - FSmallChange);
    if (Key == VK_RIGHT || Key == VK_DOWN) SetPosition(FPosition + FSmallChange);
}

bool TPelluxScrollBar::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (!FCanFocused || !Focused()) return TPelluxCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
    SetPosition(WheelDelta <= 0 ? FPosition + FSmallChange : FPosition - FSmallChange);
    return true;
}

void TPelluxScrollBar::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        case WM_CAPTURECHANGED:
            // Without the pointer nothing may go on repeating (a handler may have opened
            // a window that took it).
            StopTimer();
            FTimerMode = 0;
            break;
        default:
            break;
    }
    TPelluxCustomControl::WndProc(M);
}

// ---- painting -------------------------------------------------------------------------

void TPelluxScrollBar::DrawPart(TSurface32* Buffer, int Part, TQvScrollBarImage Base, bool ShowNormal) {
    const TPart& P = FButtons[Part];
    int State = 0;
    if (P.Pressed || (Focused() && FCanFocused))
        State = 2;
    else if (P.Hover)
        State = 1;
    else if (!ShowNormal)
        return;
    TPelluxImage* Source = Image(static_cast<TQvScrollBarImage>(Base + State));
    const TRect& R = FGeometry.Parts[Part];
    if (Source == nullptr || R.Width() <= 0 || R.Height() <= 0) return;
    const std::unique_ptr<TPelluxImage> Sized = FKind == sbHorizontal
                                                    ? StretchThreePartsH(Source, R.Width(), 0)
                                                    : StretchThreePartsV(Source, R.Height());
    if (Sized != nullptr) Sized->DrawTo(Buffer, R.Left, R.Top);
}

void TPelluxScrollBar::DrawSkin(TSurface32* Buffer) {
    TPelluxImage* LeftHot = Image(sbiArrowLeftHighlight);
    TPelluxImage* UpHot = Image(sbiArrowUpHighlight);
    TPelluxImage* HorzBkg = Image(sbiHorzBkg);
    TPelluxImage* Bkg = Image(sbiBkg);
    if (LeftHot == nullptr || UpHot == nullptr || HorzBkg == nullptr || Bkg == nullptr) return;
    Layout();
    if (FKind == sbVertical) {
        const int B = Height() - 2 * UpHot->Height();
        if (B > 0)
            if (const auto Track = StretchThreePartsV(Bkg, std::max(B, Bkg->Height())))
                Track->DrawTo(Buffer, 0, UpHot->Height());
    } else {
        const int A = Width() - 2 * LeftHot->Width();
        if (A > 0)
            if (const auto Track = StretchThreePartsH(HorzBkg, std::max(A, HorzBkg->Width()), 0))
                Track->DrawTo(Buffer, LeftHot->Width(), 0);
    }
    const bool V = FKind == sbVertical;
    if (Enabled()) DrawPart(Buffer, sbpThumb, V ? sbiBarNormal : sbiHorzBarNormal, true);
    DrawPart(Buffer, sbpFar, V ? sbiArrowDownNormal : sbiArrowRightNormal, FMouseInClientRect);
    DrawPart(Buffer, sbpNear, V ? sbiArrowUpNormal : sbiArrowLeftNormal, FMouseInClientRect);
}

// ---- registration ---------------------------------------------------------------------

void RegisterPelluxScrollBar() {
    using T = TPelluxScrollBar;
    RegisterEnum<TScrollBarKind>(u"TScrollBarKind", {u"sbHorizontal", u"sbVertical"});
    auto B = RegisterClass<T, TCustomControl>(u"TPelluxScrollBar");
    for (int I = 0; I < ScrollBarImageCount; ++I) {
        const auto Which = static_cast<TQvScrollBarImage>(I);
        B.Prop(
            ImageProps[I], [Which](T* S) { return S->SkinImage(Which); },
            [Which](T* S, const String& V) { S->SetSkinImage(Which, V); }, String(u"Pellux") + ImageProps[I]);
    }
    // The bounds come before the position and the page size, which they limit.
    B.Prop(u"Kind", &T::Kind, &T::SetKind, sbHorizontal)
        .Prop(u"Min", &T::Min, &T::SetMin, 0)
        .Prop(u"Max", &T::Max, &T::SetMax, 100)
        .Prop(u"Position", &T::Position, &T::SetPosition, 0)
        .Prop(u"PageSize", &T::PageSize, &T::SetPageSize, 0)
        .Prop(u"SmallChange", &T::SmallChange, &T::SetSmallChange, 1)
        .Prop(u"LargeChange", &T::LargeChange, &T::SetLargeChange, 1)
        .Prop(u"AutoHide", &T::AutoHide, &T::SetAutoHide, false)
        .Prop(u"CanFocused", &T::CanFocused, &T::SetCanFocused, false);
}
