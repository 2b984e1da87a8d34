#pragma once
// TPelluxLine: a horizontal or vertical separator, solid or dashed, optionally overlaid
// with a two-colour gradient whose start colour sits at the centre or at one end. The
// line itself is drawn in Color.

#include "controls/base/uPelluxCtrls.h"

enum TLineKind { lkHorizontal, lkVertical };

class TPelluxLine : public TPelluxCustomControl {
public:
    explicit TPelluxLine(TComponent* AOwner);

    TLineKind Kind() const { return FKind; }
    // Also swaps width and height when they do not match the orientation.
    void SetKind(TLineKind Value);
    // Percent of the length; values outside 0..100 are ignored (the line still repaints).
    int GradientSize() const { return FGradientSize; }
    void SetGradientSize(int Value);
    bool ActiveGradient() const { return FActiveGradient; }
    void SetActiveGradient(bool Value) { Change(FActiveGradient, Value); }
    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor Value) { Change(FGradientStartColor, Value); }
    // Thickness forced to 3 pixels at the next resize.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    TGradientAlign GradientAlign() const { return FGradientAlign; }
    void SetGradientAlign(TGradientAlign Value) { Change(FGradientAlign, Value); }
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor Value) { Change(FGradientEndColor, Value); }
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value) { Change(FStyle, Value); }

protected:
    void DrawSkin(TSurface32* Buffer) override;
    void Resize() override;

private:
    void DrawGradient(TSurface32* Buffer);

    TLineKind FKind = lkHorizontal;
    int FGradientSize = 60;
    bool FActiveGradient = true;
    TColor FGradientStartColor = RGB(140, 170, 188);
    bool FAutoSize = false;
    TGradientAlign FGradientAlign = gaCenter;
    TColor FGradientEndColor = RGB(243, 248, 253);
    TPenStyle FStyle = psSolid;
};

void RegisterPelluxLine();
