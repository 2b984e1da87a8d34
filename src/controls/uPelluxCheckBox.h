#pragma once
// Two-state controls drawn from skin strips: the check box (independent on/off with a
// caption), the radio box (one checked per group among the radio boxes of one parent)
// and the switch (an on/off slider picture with optional captions). None animates: a
// change of state repaints at once. Hover and press come from the shared press state.

#include <memory>

#include "controls/base/uPelluxCtrls.h"
#include "controls/base/uQvPressState.h"
#include "framework/uQvMenus.h"
#include "skin/uPngPictures.h"

// The check box and the radio box share their look: a frame of a four-frame strip at the
// left (or, right to left, at the right), the caption beside it with an optional glow.
// Neither derives from the other; this holds what both draw and how both take keys.
class TPelluxToggleBase : public TPelluxCustomControl {
public:
    TPelluxToggleBase(TComponent* AOwner, const TQvResID& DefaultPictures);
    ~TPelluxToggleBase() override;

    bool Checked() const { return FChecked; }
    const TQvResID& Pictures() const { return FPictures; }
    void SetPictures(const TQvResID& Value);
    TQvLightClass* Light() const { return FLight.get(); }
    // Copies the glow's values; nil is ignored.
    void SetLight(const TQvLightClass* Value);
    // bdRightToLeft puts the box at the right edge and aligns the caption to its left.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);

    // The pointer is over the control.
    bool Hovered() const { return FPress.Inside(); }
    // The index in the strip the control shows now.
    virtual int FrameIndex() const = 0;

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChanged;

protected:
    // Raises OnChanged.
    virtual void DoChanged();
    void StoreChecked(bool Value) { FChecked = Value; }
    // The gap between box and caption.
    virtual int CaptionGap() const = 0;
    void DrawSkin(TSurface32* Buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    // Takes the focus when it can (not at design time); false when the control died.
    bool FocusOnPress();
    TQvPressState& Press() { return FPress; }

private:
    bool FChecked = false;
    TQvResID FPictures;
    std::unique_ptr<TQvLightClass> FLight;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TQvPressState FPress;
};

class TPelluxCheckBox : public TPelluxToggleBase {
public:
    explicit TPelluxCheckBox(TComponent* AOwner);

    // A change stores, repaints, then raises OnChanged.
    void SetChecked(bool Value);
    int FrameIndex() const override;

protected:
    int CaptionGap() const override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

class TPelluxRadioBox : public TPelluxToggleBase {
public:
    explicit TPelluxRadioBox(TComponent* AOwner);

    // Checking unchecks the other radio boxes of the group first (each through its own
    // SetChecked); every call repaints. Code that checks a radio box raises OnChanged but
    // no click.
    void SetChecked(bool Value);
    // Radio boxes under one parent with the same index form a group (0 is a group too).
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    int FrameIndex() const override;

    // Raises the click event only when the checked state differs from the one last
    // reported, so clicking a checked radio box reports nothing.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    int CaptionGap() const override { return 3; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

private:
    // The focusable radio box of the group after (or before) this one in tab order,
    // wrapping; nullptr when the group has no other.
    TPelluxRadioBox* NextInGroup(bool GoForward) const;
    // Unchecks the other boxes of the group; false when this box died meanwhile.
    bool UncheckGroup();

    int FGroupIndex = 0;
    bool FOldChecked = false;
};

using TSWBCustomDraw = std::function<void(TObject* Sender, TSurface32* Surface)>;

class TPelluxSwitchButton : public TPelluxCustomControl {
public:
    explicit TPelluxSwitchButton(TComponent* AOwner);
    ~TPelluxSwitchButton() override;

    bool Checked() const { return FChecked; }
    // A change stores, repaints and raises OnChanged.
    void SetChecked(bool Value);
    // Space toggles and a press takes the focus only while set.
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value) { FCanFocused = Value; }
    TPngPictures* ImageON() const { return FImageON.get(); }
    void SetImageON(const TPngPictures* Value) { FImageON->Assign(Value); }
    TPngPictures* ImageOFF() const { return FImageOFF.get(); }
    void SetImageOFF(const TPngPictures* Value) { FImageOFF->Assign(Value); }
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    const String& CaptionON() const { return FCaptionON; }
    void SetCaptionON(const String& Value);
    const String& CaptionOFF() const { return FCaptionOFF; }
    void SetCaptionOFF(const String& Value);
    TQvSwitchButtonCaptionAlign CaptionAlign() const { return FCaptionAlign; }
    void SetCaptionAlign(TQvSwitchButtonCaptionAlign Value);

    // What the switch shows now: pressed while held, else hot while the pointer is over it.
    TQvVisualState VisualState() const {
        return FPress.Held() ? TQvVisualState::Pressed : FPress.Inside() ? TQvVisualState::Hot : TQvVisualState::Normal;
    }

    TNotifyEvent OnChanged;
    TSWBCustomDraw CustomDraw;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool FChecked = false;
    bool FCanFocused = true;
    std::unique_ptr<TPngPictures> FImageON;
    std::unique_ptr<TPngPictures> FImageOFF;
    bool FCaptionVisible = false;
    String FCaptionON;
    String FCaptionOFF;
    TQvSwitchButtonCaptionAlign FCaptionAlign = sbcaLeft;
    TQvPressState FPress;
};

// Registers the check box, radio box and switch for stored layouts. Calling it again does
// nothing.
void RegisterPelluxToggles();
