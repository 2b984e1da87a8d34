#pragma once
// The layered shadow border of a skinned form: four per-pixel-alpha windows, one per side,
// that show the slices of one skin image rendered a little larger than the form, placed
// directly behind it. The form skin drives it: shown with the form, hidden while the form
// is minimized or maximized, moved with it and sliced again when it is resized. An opaque
// border (Transparent off) also carries the title-bar controls and drags the form.
//
// Where the display cannot show per-pixel alpha, a transparent border shows nothing and an
// opaque one only its solid pixels: a shadow is never drawn opaque.

#include <memory>
#include <optional>
#include <vector>

#include "draw/uQvSurface.h"
#include "forms/uQvFormLayerWindow.h"
#include "framework/uQvClasses.h"
#include "skin/uPelluxResManager.h"

class TCustomForm;
class TPelluxNCCtrlBase;

enum TQvStretchKind { skAuto, skTile };

// How far the border reaches on each side.
class TQvBorderSize : public TPersistent {
public:
    TQvBorderSize(int L = 8, int T = 8, int R = 8, int B = 8) : FLeft(L), FTop(T), FRight(R), FBottom(B) {}

    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    int Top() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }
    int Right() const { return FRight; }
    void SetRight(int Value) { FRight = Value; }
    int Bottom() const { return FBottom; }
    void SetBottom(int Value) { FBottom = Value; }
    int Width() const { return FLeft + FRight; }
    int Height() const { return FTop + FBottom; }

    void Assign(const TPersistent* Source) override;

private:
    int FLeft, FTop, FRight, FBottom;
};

// Where the four side windows lie, relative to the form's top-left corner, for a form of
// W x H. The image is rendered at (-Size.Left, -Size.Top) with the size
// (W + Size.Width()) x (H + Size.Height()); each side shows the part of it under its window.
struct TQvBorderLayout {
    TRect Sides[4];  // by TqvFormLayerBorderType
    TSize Image;
};
TQvBorderLayout QvBorderLayout(int W, int H, const TQvBorderSize& Size, const TQvBorderSize& Inflate,
                               bool Transparent);

class TQvFormLayerBorder : public TComponent {
public:
    explicit TQvFormLayerBorder(TComponent* AOwner);
    ~TQvFormLayerBorder() override;

    // ---- Published ----
    // Used from the next Show or SetBounds on.
    const TQvResID& Image() const { return FImage; }
    void SetImage(const TQvResID& Value) { FImage = Value; }
    TQvBorderSize* Size() const { return FSize.get(); }
    void SetSize(const TQvBorderSize* Value) { FSize->Assign(Value); }
    // How far each side reaches into the form; only the absolute values count.
    TQvBorderSize* InflateSize() const { return FInflateSize.get(); }
    void SetInflateSize(const TQvBorderSize* Value) { FInflateSize->Assign(Value); }
    TQvStretchKind StretchKind() const { return FStretchKind; }
    void SetStretchKind(TQvStretchKind Value) { FStretchKind = Value; }
    // The border windows let the mouse through and carry no title-bar controls.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    // A press on an opaque side that no control takes drags the form.
    bool DragEnabled() const { return FDragEnabled; }
    void SetDragEnabled(bool Value);

    // ---- Driven by the form skin ----
    TCustomForm* Form() const { return FForm; }
    // The side window that carries title-bar controls; none while the border has no windows.
    HWND TopBorderWindow() const;
    // Once per form: follows the form's closing and showing.
    void InitFrame(TCustomForm* AForm);
    // Slices the image for a form at (X, Y) of W x H and shows the four sides behind it.
    void Show(int X, int Y, int W, int H);
    // Shows the sides again where they are.
    void Show();
    void Hide();
    void ShowWithForm(const std::vector<TPelluxNCCtrlBase*>& List);
    void SetBounds(int X, int Y, int W, int H);
    void SetBoundsWithForm();
    void MoveWithForm(int ALeft, int ATop);
    void Minimizing();
    void Restoring();
    // Minimizing while the form is maximized, else Restoring.
    void ReAlign();
    void CheckFormAlpha(bool Update);
    // The display started or stopped showing per-pixel alpha: the sides are made again for
    // it (or go), hidden still while the form is minimized or maximized.
    void CompositionChanged();
    // Draws every side again.
    void SetAlphaBlend();
    void FreeLayerWindow();

    bool Shown() const { return FVisible && !FHide; }
    bool Minimized() const { return FMinimized; }
    TqvFormLayerWindow* SideWindow(TqvFormLayerBorderType Side) const { return FWindows[Side]; }
    // The slice a side shows; empty until the first Show.
    TSurface32* SideImage(TqvFormLayerBorderType Side) const { return FSlices[Side].get(); }

    // ---- For the side windows ----
    // The title-bar controls of the form's skin (none without one).
    std::vector<TPelluxNCCtrlBase*> NCCtrlList() const;
    // Moves a title-bar control of the form onto Window, keeping its place on the screen
    // relative to the form's edge it is aligned to.
    void AdoptControl(TPelluxNCCtrlBase* Control, TqvFormLayerWindow* Window);
    // The display shows per-pixel alpha.
    static bool Translucent();
    // The sides were shown for a display that showed per-pixel alpha, or did not; since
    // then it changed.
    bool Outdated() const { return FMadeTranslucent.has_value() && *FMadeTranslucent != Translucent(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TAdopted {
        TPelluxNCCtrlBase* Control;
        int Shift;  // added to XValue
    };
    bool FormZoomed() const;
    bool FormIconic() const;
    bool HasWindows() const;
    // The sides that show something on this display.
    bool Showable() const { return !FTransparent || Translucent(); }
    bool Slice(int W, int H);
    void CreateWindows();
    void DrawAll();
    void Place(int X, int Y, bool Showing);
    // Gives every adopted control back to the form.
    void ReleaseControls();
    void HookForm();
    void UnhookForm();

    TQvResID FImage = u"PelluxSlider_Aio_light_bkg";
    std::unique_ptr<TQvBorderSize> FSize;
    std::unique_ptr<TQvBorderSize> FInflateSize;
    TQvStretchKind FStretchKind = skAuto;
    bool FTransparent = true;
    bool FDragEnabled = true;
    TCustomForm* FForm = nullptr;
    int FWidth = 0, FHeight = 0;
    TQvBorderLayout FLayout{};
    std::unique_ptr<TSurface32> FSlices[4];
    TqvFormLayerWindow* FWindows[4] = {};
    std::vector<TAdopted> FAdopted;
    bool FVisible = false;
    bool FHide = false;
    bool FMinimized = false;
    bool FFormClosed = false;
    bool FPlacing = false;
    std::optional<bool> FMadeTranslucent;  // none before the first show
    // The form's own handlers, called first by the ones the border puts in their place.
    TCloseEvent FOldCloseEvent;
    TNotifyEvent FOldShowEvent;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Registers the border classes for stored layouts.
void RegisterQvFormBorder();
