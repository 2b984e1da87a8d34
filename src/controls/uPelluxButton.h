#pragma once
// The push-button family. TPelluxCustomButton holds the whole behaviour (hover, press,
// toggle groups, keys, mnemonic, default and cancel roles, a drop-down menu with its own
// arrow zone, auto-repeat while held) and paints a state frame, an optional layer, the
// arrow and the caption. TPelluxImageButton draws its frame unscaled at an offset (or
// stretched); TPelluxButton draws it as a nine-grid over the whole button.

#include <memory>

#include "controls/base/uPelluxCtrls.h"
#include "controls/base/uQvPressState.h"
#include "controls/base/uSimpleTimer.h"
#include "skin/uPngPictures.h"

class TPopupMenu;
class TPelluxCustomButton;

using TCustomPaintEvent = std::function<void(TObject* Sender, TSurface32* Bitmap)>;

// A pixel offset of a part of a button; a change repaints the button.
class TQvBtnItemOffset : public TPersistent {
public:
    explicit TQvBtnItemOffset(TPelluxCustomButton* AOwner, int AX = 0, int AY = 0)
        : FOwner(AOwner), FX(AX), FY(AY) {}
    int X() const { return FX; }
    void SetX(int Value);
    int Y() const { return FY; }
    void SetY(int Value);
    void Assign(const TPersistent* Source) override;

private:
    void Changed();
    TPelluxCustomButton* FOwner;
    int FX, FY;
};

class TPelluxCustomButton : public TPelluxCustomControl {
public:
    explicit TPelluxCustomButton(TComponent* AOwner);
    ~TPelluxCustomButton() override;

    // A grouped button may be released by clicking it again; a press does not latch Down.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    // No mouse handling at all (no hover, press or click by mouse).
    bool IgnoreMouse() const { return FIgnoreMouse; }
    void SetIgnoreMouse(bool Value) { FIgnoreMouse = Value; }
    // Auto-repeat while held: OnCycleDownClick every 10 ms after 300 ms.
    bool CycleDownClick() const { return FCycleDownClick; }
    void SetCycleDownClick(bool Value) { FCycleDownClick = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }
    // The latched pressed look; setting it releases the other buttons of the group.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // The caption font while hovered (it follows Font's face and size, keeping its own
    // style and colour).
    TFont* HotFont() const { return FHotFont.get(); }
    void SetHotFont(const TFont* Value) { FHotFont->Assign(Value); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Where the drop-down menu opens, relative to the button's bottom-left (unscaled).
    TQvBtnItemOffset* DropdownMenuOffset() const { return FDropdownMenuOffset.get(); }
    void SetDropdownMenuOffset(const TQvBtnItemOffset* Value) { FDropdownMenuOffset->Assign(Value); }
    // Pixels by which image and caption move while pressed.
    int PressedOffset() const { return FPressedOffset; }
    void SetPressedOffset(int Value);
    // The button takes the focus and keys; it also gates the default and cancel roles.
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value) { FCanFocused = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool ShowFocusFrame() const { return FShowFocusFrame; }
    void SetShowFocusFrame(bool Value);

    // Kept here, published by the subclasses.
    TPngPictures* Pictures() const { return FPictures.get(); }
    void SetPictures(const TPngPictures* Value) { FPictures->Assign(Value); }
    TPngPictures* Layers() const { return FLayers.get(); }
    void SetLayers(const TPngPictures* Value) { FLayers->Assign(Value); }
    bool LayerMode() const { return FLayerMode; }
    void SetLayerMode(bool Value);
    TQvBtnItemOffset* LayersOffset() const { return FLayersOffset.get(); }
    void SetLayersOffset(const TQvBtnItemOffset* Value) { FLayersOffset->Assign(Value); }
    TQvBtnItemOffset* ImageOffset() const { return FImageOffset.get(); }
    void SetImageOffset(const TQvBtnItemOffset* Value) { FImageOffset->Assign(Value); }
    TQvBtnItemOffset* CaptionOffset() const { return FCaptionOffset.get(); }
    void SetCaptionOffset(const TQvBtnItemOffset* Value) { FCaptionOffset->Assign(Value); }
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // Stretch the state frame over the client area.
    bool Streach() const { return FStreach; }
    void SetStreach(bool Value);

    // What the button shows now.
    TQvVisualState VisualState() const { return FPress.ButtonState(Enabled(), FDown); }
    // Whether this button answers Enter (focused, or the default one while no other
    // button of the family has the focus).
    bool Active() const { return FActive; }
    // The drop-down arrow's zone (client coordinates; empty without a menu).
    TRect ArrowRect() const { return FArrowRect; }
    // Left press of the pointer (used by timers and tests alike).
    bool MouseHeld() const { return FPress.Held(); }

    void Click() override;
    void WndProc(TMessage& Message) override;

    TCustomPaintEvent OnCustomPaint;
    TNotifyEvent OnCycleDownClick;

protected:
    virtual void ReleaseGroupSiblings();
    virtual void DrawDropdownArrow(TSurface32* Bitmap);
    virtual void DrawLayers(TSurface32* Bitmap);
    virtual void DrawOverlay(TSurface32* Bitmap) { (void)Bitmap; }
    void DrawSkin(TSurface32* Buffer) override;

    // Cuts the frame of State from Strip into Frame; false when there is none.
    static bool FetchFrame(TPngPictures* Strip, TQvVisualState State, TPelluxImage& Frame);
    // HotFont takes Font's face and size (high-DPI runs only), keeping style and colour.
    void PrepareHotFont();
    // Draws the caption into R with the family's flags; WordWrap centres the one line by
    // hand (the platform centres single lines only).
    void DrawCaptionText(TSurface32* Bitmap, TRect R, TFont* TextFont, TColor DisabledColor);
    void UpdateArrowRect();
    int ArrowWidth() const { return FDropdownMenu != nullptr ? FArrowRect.Width() : 0; }

    void MouseEntered() override;
    void MouseLeft() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void Resize() override;
    void ScaledForPPI(int NewPPI) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TQvPressState& Press() { return FPress; }

private:
    void OpenDropdownMenu();
    void StopRepeat();
    void SetActive(bool Value);
    void FocusChanged(TWinControl* NowFocused);

    bool FAllowAllUp = false;
    bool FIgnoreMouse = false;
    bool FCycleDownClick = false;
    bool FWordWrap = false;
    bool FDown = false;
    std::unique_ptr<TFont> FHotFont;
    int FGroupIndex = 0;
    std::unique_ptr<TQvBtnItemOffset> FDropdownMenuOffset;
    int FPressedOffset = 1;
    bool FCanFocused = true;
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FShowFocusFrame = false;
    std::unique_ptr<TPngPictures> FPictures;
    std::unique_ptr<TPngPictures> FLayers;
    std::unique_ptr<TPngPictures> FArrow;
    bool FLayerMode = false;
    std::unique_ptr<TQvBtnItemOffset> FLayersOffset;
    std::unique_ptr<TQvBtnItemOffset> FImageOffset;
    std::unique_ptr<TQvBtnItemOffset> FCaptionOffset;
    bool FCaptionVisible = false;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FStreach = false;
    std::unique_ptr<TSimpleTimer> FRepeatDelay;
    std::unique_ptr<TSimpleTimer> FRepeat;

    TQvPressState FPress;
    bool FMouseInArrow = false;
    bool FPressedInArrow = false;
    bool FActive = false;
    uint64_t FLastClick = 0;
    bool FLastClickValid = false;
    TRect FArrowRect;
};

// Draws its state frame unscaled at ImageOffset, or stretched with Streach.
class TPelluxImageButton : public TPelluxCustomButton {
public:
    explicit TPelluxImageButton(TComponent* AOwner) : TPelluxCustomButton(AOwner) {}
};

// Draws its state frame ("PelluxButton", five frames) as a nine-grid over the button.
class TPelluxButton : public TPelluxCustomButton {
public:
    explicit TPelluxButton(TComponent* AOwner);

protected:
    void DrawSkin(TSurface32* Buffer) override;
};

// Registers the button classes for stored layouts. Calling it again does nothing.
void RegisterPelluxButtons();
