#pragma once
// Flat buttons that need no state images. TPelluxCustomColorButton fills itself with the
// colour of its state (optionally as an antialiased rounded rectangle, or clipped by a
// rounded window), with an icon per state, border lines and a focus frame.
// TPelluxCustomCornerButton always fills a rounded rectangle, rounds only the chosen
// corners and draws a border of any thickness. Both keep the whole behaviour of
// TPelluxCustomButton and replace only its paint.

#include "controls/uPelluxButton.h"
#include "skin/uPelluxResManager.h"

using TQvCorners = TSet<TQvCorner>;

class TPelluxCustomColorButton : public TPelluxCustomButton {
public:
    explicit TPelluxCustomColorButton(TComponent* AOwner);

    TColor NormalColor() const { return FNormalColor; }
    void SetNormalColor(TColor Value);
    TColor HotColor() const { return FHotColor; }
    void SetHotColor(TColor Value);
    // The fill while pressed or Down.
    TColor PressedColor() const { return FPressedColor; }
    void SetPressedColor(TColor Value);
    // Opacity of the fill.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value);
    // The icon in the normal state; HotImage (when set) while hot or pressed.
    const TQvResID& Image() const { return FImage; }
    void SetImage(const TQvResID& Value);
    const TQvResID& HotImage() const { return FHotImage; }
    void SetHotImage(const TQvResID& Value);
    // Colour of the border lines; takes effect at the next paint.
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    // Sides with a border line (square buttons only).
    TSides BorderSides() const { return FBorderSides; }
    void SetBorderSides(TSides Value);
    bool RoundFrame() const { return FRoundFrame; }
    void SetRoundFrame(bool Value);
    int RoundSize() const { return FRoundSize; }
    void SetRoundSize(int Value);
    // With RoundFrame: an antialiased rounded fill; off, the window itself is clipped to
    // a rounded rectangle.
    bool SmoothRound() const { return FSmoothRound; }
    void SetSmoothRound(bool Value);

protected:
    // The fill of the current state (the disabled grey first).
    TColor StateColor() const;
    bool IsHot() const { return VisualState() == TQvVisualState::Hot; }
    bool IsPressed() const { return MouseHeld() || Down(); }
    // How far icon and caption move now (PressedOffset while pressed).
    TPoint PressShift() const;
    // The icon of the state at ImageOffset.
    void DrawIcon(TSurface32* Work);
    // The caption at CaptionOffset, keeping clear of ArrowRoom pixels on the right.
    void DrawCaption(TSurface32* Work, int ArrowRoom);
    // Fill, border lines, icon, arrow, caption and overlay, on a work surface of the
    // client size.
    virtual void DrawFace(TSurface32* Work);
    void DrawSkin(TSurface32* Buffer) override;
    void DrawOverlay(TSurface32* Bitmap) override;
    void CreateWnd() override;
    void Resize() override;

private:
    // Keeps the window's rounded clip in step with the size and the rounding: set while
    // RoundFrame is on without SmoothRound, removed otherwise.
    void UpdateRegion();

    TColor FNormalColor;
    TColor FHotColor;
    TColor FPressedColor;
    uint8_t FAlpha = 255;
    TQvResID FImage;
    TQvResID FHotImage;
    TColor FBorderColor;
    TSides FBorderSides;
    bool FRoundFrame = false;
    int FRoundSize = 3;
    bool FSmoothRound = true;
    bool FHasRegion = false;
};

class TPelluxColorButton : public TPelluxCustomColorButton {
public:
    explicit TPelluxColorButton(TComponent* AOwner) : TPelluxCustomColorButton(AOwner) {}
};

class TPelluxCustomCornerButton : public TPelluxCustomColorButton {
public:
    explicit TPelluxCustomCornerButton(TComponent* AOwner);

    // The corners drawn rounded; the others are square.
    TQvCorners Corners() const { return FCorners; }
    void SetCorners(TQvCorners Value);
    // Thickness of the border lines.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

protected:
    void DrawFace(TSurface32* Work) override;

private:
    TQvCorners FCorners{TopLeft, TopRight, BottomLeft, BottomRight};
    int FBorderWidth = 1;
};

class TPelluxCornerButton : public TPelluxCustomCornerButton {
public:
    explicit TPelluxCornerButton(TComponent* AOwner) : TPelluxCustomCornerButton(AOwner) {}
};

// Registers the colour and corner button classes for stored layouts (after the button
// family). Calling it again does nothing.
void RegisterPelluxColorButtons();
