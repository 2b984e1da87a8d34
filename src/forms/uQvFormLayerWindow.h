#pragma once
// One side of a form's layered shadow border: a borderless, never-activated popup that
// shows its slice of the border image with per-pixel alpha. A transparent side lets the
// mouse through; an opaque one carries the title-bar controls placed on its side, hands
// them the mouse, and drags the form when a press falls on no control.

#include <vector>

#include "draw/uQvSurface.h"
#include "framework/uQvForms.h"

class TQvFormLayerBorder;
class TPelluxNCCtrlBase;

enum TqvFormLayerBorderType { mpflLeft, mpflTop, mpflRight, mpflBottom };

class TqvFormLayerWindow : public TForm {
public:
    // Owned by Border; Form is the skinned form the side belongs to.
    TqvFormLayerWindow(TQvFormLayerBorder* Border, TqvFormLayerBorderType Side, bool Transparent,
                       TCustomForm* Form);

    TqvFormLayerBorderType BorderType() const { return FBorderType; }
    bool Drag() const { return FDrag; }
    void SetDrag(bool Value) { FDrag = Value; }
    bool IsHided() const { return FHided; }

    // Shown (constant alpha 255) or hidden (constant alpha 0); the window stays where it is.
    void ShowSide();
    void HideSide();
    // Pushes the side's slice, with the title-bar controls of its side painted on when the
    // border is opaque and neither Hidden nor the side is hidden.
    void DrawSelf(bool Hidden);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    // The title-bar controls of this side (those already moved here and those still on the
    // form), in the skin's order.
    std::vector<TPelluxNCCtrlBase*> SideControls() const;
    bool OnThisSide(const TPelluxNCCtrlBase* Control) const;
    void NCPress();
    void NCRelease();

    TqvFormLayerBorderType FBorderType;
    bool FTransparent;
    bool FDrag = true;
    bool FHided = false;
    bool FShaped = false;  // a window region holds the solid pixels
    TQvFormLayerBorder* FLayerBorder;
    TCustomForm* FForm;
};

// A copy of Src with premultiplied alpha, as layered windows take their pixels.
void QvPremultiply(const TSurface32& Src, TSurface32& Dst);
