#pragma once
// Sub-objects of a control's layout: the margins kept around an aligned control and the
// size constraints. Both tell their control when they change.

#include "framework/uQvClasses.h"
#include "platform/uQvGeometry.h"

class TControl;

class TMargins : public TPersistent {
public:
    // Three pixels on each side, as the designer's default.
    explicit TMargins(TControl* AControl);

    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetMargin(FLeft, Value); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetMargin(FTop, Value); }
    int Right() const { return FRight; }
    void SetRight(int Value) { SetMargin(FRight, Value); }
    int Bottom() const { return FBottom; }
    void SetBottom(int Value) { SetMargin(FBottom, Value); }
    void SetBounds(int ALeft, int ATop, int ARight, int ABottom);
    // (Left, Top, Right, Bottom) as a rectangle of widths.
    TRect AsRect() const { return TRect{FLeft, FTop, FRight, FBottom}; }

    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;
    TNotifyEvent OnChange;

private:
    void SetMargin(int& Field, int Value);
    void Changed();
    TControl* FControl;
    int FLeft = 3, FTop = 3, FRight = 3, FBottom = 3;
};

// 0 means "no limit" for each value.
class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}

    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    // A maximum below the minimum raises the minimum's partner: setting MaxWidth below
    // MinWidth lowers MinWidth, and the other way round.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    // Width and height kept within the limits.
    void Apply(int& Width, int& Height) const;
    // Every limit multiplied by M / D (MulDiv), without OnChange: the control that scales
    // sets its bounds next.
    void ScaleQuietly(int M, int D);

    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TControl* FControl;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};
