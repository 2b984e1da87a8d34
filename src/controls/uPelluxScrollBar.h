#pragma once
// TPelluxScrollBar: the stand-alone skinned scroll bar the list controls embed, drawn from
// twenty named images (track, thumb in three states, two arrows in three states, for
// each direction). Its arrows show only while the pointer is over the bar (or it is
// pressed or focused). A page size makes the thumb proportional; arrows and track repeat
// while held (11 ms, then every 50 ms), paging stops once the thumb reaches the pointer;
// the thumb drags; wheel and arrow keys step while it may take the focus.
//
// Its geometry is a pure function (LayoutScrollBar) so that every range can be checked
// without pixels: the thumb stays inside the track whatever the bounds and page size.

#include <memory>

#include "controls/base/uPelluxCtrls.h"
#include "controls/base/uSimpleTimer.h"
#include "skin/uPelluxResManager.h"

enum TScrollBarKind { sbHorizontal, sbVertical };

// The skin images, in the order of their published properties; each part's normal,
// highlight and down images follow each other.
enum TQvScrollBarImage {
    sbiBkg,
    sbiBarNormal,
    sbiBarHighlight,
    sbiBarDown,
    sbiHorzBkg,
    sbiHorzBarNormal,
    sbiHorzBarHighlight,
    sbiHorzBarDown,
    sbiArrowUpNormal,
    sbiArrowUpHighlight,
    sbiArrowUpDown,
    sbiArrowDownNormal,
    sbiArrowDownHighlight,
    sbiArrowDownDown,
    sbiArrowLeftNormal,
    sbiArrowLeftHighlight,
    sbiArrowLeftDown,
    sbiArrowRightNormal,
    sbiArrowRightHighlight,
    sbiArrowRightDown,
};
inline constexpr int ScrollBarImageCount = sbiArrowRightDown + 1;

// The published name of an image's property ("Scrollbar_bkg", ...); the default image is
// "Pellux" followed by it.
const char16_t* ScrollBarImageProp(TQvScrollBarImage Image);

// The parts of the bar, as the press and hover logic numbers them.
enum TQvScrollBarPartIndex { sbpThumb = 0, sbpFar = 1, sbpNear = 2 };

struct TQvScrollBarGeometry {
    // Indexed by TQvScrollBarPartIndex: thumb, far arrow (right or down), near arrow.
    TRect Parts[3];
    TRect Track;
    // First and last possible thumb centre along the track; the thumb's centre offset.
    int Offset1 = 0;
    int Offset2 = 0;
    int BOffset = 0;
};

// Lays out a W x H bar. Arrow is the size of the near arrow's image (nullptr: missing,
// then the arrows and the track keep what G holds). MinThumb is the shortest thumb. The
// thumb's length follows the page's share of the range and is clamped to the track, its
// place follows the position's share of the scrollable range clamped to 0 .. 1, so every
// range and page size (equal or reversed bounds, a page beyond the range) keeps the thumb
// inside the track.
void LayoutScrollBar(TScrollBarKind Kind, int W, int H, const TSize* Arrow, int Min, int Max, int Position,
                     int PageSize, int MinThumb, TQvScrollBarGeometry& G);

class TPelluxScrollBar : public TPelluxCustomControl {
public:
    explicit TPelluxScrollBar(TComponent* AOwner);
    ~TPelluxScrollBar() override;

    const TQvResID& SkinImage(TQvScrollBarImage Image) const { return FImages[Image]; }
    void SetSkinImage(TQvScrollBarImage Image, const TQvResID& Value);

    TScrollBarKind Kind() const { return FKind; }
    // Also turns a bar whose shape does not match the kind (a horizontal bar narrower
    // than high, a vertical one wider than high).
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    // Raises a smaller position to it; no OnChange.
    void SetMin(int Value);
    int Max() const { return FMax; }
    // Lowers a position past the new end to it; no OnChange.
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // Clamped to Min .. UpperPosition(); a change repaints and raises OnChange.
    void SetPosition(int Value);
    int PageSize() const { return FPageSize; }
    // Ignored when the page would reach past Max from the current position.
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    // Setting it hides the bar at once; SetRange then shows it exactly while a page size
    // is set.
    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    // Takes the focus on a press, the arrow keys and the wheel; also sets TabStop.
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    // Only stored (and forgotten when that control is freed).
    TWinControl* BindingWinControl() const { return FBindingWinControl; }
    void SetBindingWinControl(TWinControl* Value);

    // The largest position: Max - PageSize + 1 with a page size, else Max; never below Min.
    int UpperPosition() const;
    // Stores the bounds and the page size; a position outside the range goes through
    // SetPosition (clamped, with OnChange), one inside is stored without an event.
    void SetRange(int AMin, int AMax, int APosition, int APageSize);
    // The bar's thickness from its track image (0 when missing); every resize keeps it.
    int GetRealSize();

    // The layout for the current size and values.
    const TQvScrollBarGeometry& Geometry();
    bool PartHovered(TQvScrollBarPartIndex Part) const { return FButtons[Part].Hover; }
    bool PartPressed(TQvScrollBarPartIndex Part) const { return FButtons[Part].Pressed; }
    // 0 idle, 1 near arrow, 2 far arrow, 3 paging toward the start, 4 toward the end.
    int TimerMode() const { return FTimerMode; }

    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    // After a thumb drag ends.
    TNotifyEvent OnLastChange;
    // The far (right or down) arrow pressed or repeating; without it the bar steps itself.
    TNotifyEvent OnUpButtonClick;
    // The near (left or up) arrow likewise.
    TNotifyEvent OnDownButtonClick;
    TNotifyEvent OnPageUp;
    TNotifyEvent OnPageDown;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    struct TPart {
        bool Hover = false;
        bool Pressed = false;
    };

    TPelluxImage* Image(TQvScrollBarImage Which) const;
    // Sets the thickness to GetRealSize (when there is a track image).
    void KeepThickness();
    void Layout();
    // The part under a point (thumb, far arrow, near arrow), -1 for none.
    int PartAt(int X, int Y) const;
    int Along(int X, int Y) const { return FKind == sbVertical ? Y : X; }
    void UpdateHover(int X, int Y);
    void ArrowStep(int Part);
    void PageStep(bool TowardEnd);
    void StartTimer(UINT Interval);
    void StopTimer();
    void TimerTick();
    void DrawPart(TSurface32* Buffer, int Part, TQvScrollBarImage Base, bool ShowNormal);

    TQvResID FImages[ScrollBarImageCount];
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FPageSize = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    bool FAutoHide = false;
    bool FCanFocused = false;
    TWinControl* FBindingWinControl = nullptr;

    TQvScrollBarGeometry FGeometry;
    TPart FButtons[3];
    bool FDown = false;
    int OMPos = 0;
    int OldBOffset = 0;
    int MX = 0;
    int MY = 0;
    bool MouseD = false;
    bool FMouseInClientRect = false;
    int ActiveButton = -1;
    int CaptureButton = -1;
    int FTimerMode = 0;
    bool WaitMode = false;
    bool FForcingSize = false;
    std::unique_ptr<TSimpleTimer> FRepeatTimer;
    std::unique_ptr<TSimpleTimer> FRealignTimer;
};

// Registers the scroll bar for stored layouts. Calling it again does nothing.
void RegisterPelluxScrollBar();
