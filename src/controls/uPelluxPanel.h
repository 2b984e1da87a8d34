#pragma once
// Panels: TPelluxCustomPanel is the container and background control of the library. Its
// background is a colour with its own opacity, a two-colour gradient, or a skin image laid
// out by a fill type, framed by one-pixel lines on chosen sides (optionally doubled by a
// white inner line), with an optional centred caption. TPelluxBorderPanel frames itself
// with a two-pixel ring cut from a nine-grid image that turns hot on focus or hover.

#include "controls/base/uPelluxCtrls.h"
#include "draw/uPelluxGraphics.h"
#include "skin/uPelluxResManager.h"

class TPelluxCustomPanel : public TPelluxCustomControl {
public:
    explicit TPelluxCustomPanel(TComponent* AOwner);

    // Opacity of the colour fill; 0 draws no fill.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value) { Change(FAlpha, Value); }
    TSides BorderSides() const { return FBorderSides; }
    void SetBorderSides(TSides Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Change(FBorderColor, Value); }
    uint8_t BorderAlpha() const { return FBorderAlpha; }
    void SetBorderAlpha(uint8_t Value) { Change(FBorderAlpha, Value); }
    // A white line inside each border line.
    bool DoubleBorder() const { return FDoubleBorder; }
    void SetDoubleBorder(bool Value);
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value) { Change(FCaptionVisible, Value); }
    TQvPngFillType BackgroundFillType() const { return FBackgroundFillType; }
    void SetBackgroundFillType(TQvPngFillType Value) { Change(FBackgroundFillType, Value); }
    TQvResID BackgroundImage() const { return FBackgroundImage; }
    void SetBackgroundImage(const TQvResID& Value) { Change(FBackgroundImage, Value); }
    // Where an ftNormal image sits (unscaled pixels); setting them does not repaint.
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    void SetBackgroundOffsetX(int Value) { FBackgroundOffsetX = Value; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffsetY(int Value) { FBackgroundOffsetY = Value; }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { Change(FGradientDirection, Value); }
    TGradientAlign GradientAlign() const { return FGradientAlign; }
    void SetGradientAlign(TGradientAlign Value) { Change(FGradientAlign, Value); }
    // Length of the gradient in percent of the width or height.
    int GradientSize() const { return FGradientSize; }
    void SetGradientSize(int Value) { Change(FGradientSize, Value); }
    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor Value) { Change(FGradientStartColor, Value); }
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor Value) { Change(FGradientEndColor, Value); }

    // The client area shrinks by the border: 1 per bordered side, 2 with DoubleBorder.
    void AdjustClientRect(TRect& Rect) const override;

    // Raised after the caption when the colour fill is translucent.
    TQvCustomDrawEvent OnCustomDraw;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    virtual void DrawBorder(TSurface32* Bitmap);
    // The gradient pieces, drawn on a transparent scratch surface and blended on.
    void DrawGradient(TSurface32* Bitmap);
    // Caption centred in the control, with CaptionVisible.
    void DrawPanelCaption(TSurface32* Bitmap);

private:
    uint8_t FAlpha = 192;
    TSides FBorderSides{sdLeft, sdTop, sdRight, sdBottom};
    TColor FBorderColor = RGB(186, 203, 217);
    uint8_t FBorderAlpha = 255;
    bool FDoubleBorder = true;
    bool FCaptionVisible = false;
    TQvPngFillType FBackgroundFillType = ftNormal;
    TQvResID FBackgroundImage;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TGradientDirection FGradientDirection = gdVertical;
    TGradientAlign FGradientAlign = gaCenter;
    int FGradientSize = 60;
    TColor FGradientStartColor = RGB(70, 196, 255);
    TColor FGradientEndColor = RGB(243, 248, 253);
};

class TPelluxPanel : public TPelluxCustomPanel {
public:
    explicit TPelluxPanel(TComponent* AOwner) : TPelluxCustomPanel(AOwner) {}
};

// A panel framed by a two-pixel nine-grid ring that shows its hot image while the panel
// is focused, told it is in focus (UpdateFrame) or hovered.
class TPelluxBorderPanel : public TPelluxPanel {
public:
    explicit TPelluxBorderPanel(TComponent* AOwner);

    bool ActiveHotFrame() const { return FActiveHotFrame; }
    void SetActiveHotFrame(bool Value) { Change(FActiveHotFrame, Value); }
    TQvResID BorderEffectNormal() const { return FBorderEffectNormal; }
    void SetBorderEffectNormal(const TQvResID& Value) { Change(FBorderEffectNormal, Value); }
    TQvResID BorderEffectHot() const { return FBorderEffectHot; }
    void SetBorderEffectHot(const TQvResID& Value) { Change(FBorderEffectHot, Value); }
    // The focus-driven and mouse-driven hot flags.
    bool InControl() const { return FInControl; }
    void SetInControl(bool Value) { Change(FInControl, Value); }
    bool OverControl() const { return FOverControl; }
    void SetOverControl(bool Value) { Change(FOverControl, Value); }
    // Mouse enter and leave drive the hot flag.
    bool CMMouse() const { return FCMMouse; }
    void SetCMMouse(bool Value) { FCMMouse = Value; }
    // Client inset on every side, applied at the next client-rectangle adjustment.
    int NCSize() const { return FNCSize; }
    void SetNCSize(int Value) { FNCSize = Value; }
    // Whether the ring shows its hot image now.
    bool Hot() const;

    // Sets the mouse flag (ViaMouse) or the focus flag to InFocus and repaints.
    virtual void UpdateFrame(bool ViaMouse, bool InFocus);
    void AdjustClientRect(TRect& Rect) const override;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;

private:
    bool FActiveHotFrame = true;
    TQvResID FBorderEffectNormal = u"PelluxBorderNormal";
    TQvResID FBorderEffectHot = u"PelluxBorderHot";
    bool FInControl = false;
    bool FOverControl = false;
    bool FCMMouse = true;
    int FNCSize = 2;
};

// Registers the panel classes for stored layouts. Calling it again does nothing.
void RegisterPelluxPanels();
