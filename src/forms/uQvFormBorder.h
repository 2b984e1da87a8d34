#pragma once
// The layered shadow border of a skinned form: its stored settings and the state the form
// skin drives (shown with the form, hidden while it is minimized or maximized). The four
// side windows that draw it come with the border's own behaviour; until then the calls of
// the form skin only move the border between its states.

#include <vector>

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

class TQvFormLayerBorder : public TComponent {
public:
    explicit TQvFormLayerBorder(TComponent* AOwner);

    // ---- Published ----
    const TQvResID& Image() const { return FImage; }
    void SetImage(const TQvResID& Value) { FImage = Value; }
    TQvBorderSize* Size() const { return FSize.get(); }
    void SetSize(const TQvBorderSize* Value) { FSize->Assign(Value); }
    TQvBorderSize* InflateSize() const { return FInflateSize.get(); }
    void SetInflateSize(const TQvBorderSize* Value) { FInflateSize->Assign(Value); }
    TQvStretchKind StretchKind() const { return FStretchKind; }
    void SetStretchKind(TQvStretchKind Value) { FStretchKind = Value; }
    // The border windows let the mouse through and carry no title-bar controls.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    bool DragEnabled() const { return FDragEnabled; }
    void SetDragEnabled(bool Value) { FDragEnabled = Value; }

    // ---- Driven by the form skin ----
    TCustomForm* Form() const { return FForm; }
    // The side window that carries title-bar controls; none yet.
    HWND TopBorderWindow() const { return nullptr; }
    void InitFrame(TCustomForm* AForm);
    void Show();
    void Hide() { FHide = true; }
    void ShowWithForm(const std::vector<TPelluxNCCtrlBase*>& List);
    void CheckFormAlpha(bool Update) { static_cast<void>(Update); }
    void Minimizing();
    void Restoring();
    // Minimizing while the form is maximized, else Restoring.
    void ReAlign();
    void MoveWithForm(int ALeft, int ATop) { FLeftTop = TPoint{ALeft, ATop}; }
    void SetBoundsWithForm();

    bool Shown() const { return FVisible && !FHide; }
    bool Minimized() const { return FMinimized; }
    // Where the form was when the border last followed it.
    TPoint FormPlace() const { return FLeftTop; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FormZoomed() const;

    TQvResID FImage = u"PelluxSlider_Aio_light_bkg";
    std::unique_ptr<TQvBorderSize> FSize;
    std::unique_ptr<TQvBorderSize> FInflateSize;
    TQvStretchKind FStretchKind = skAuto;
    bool FTransparent = true;
    bool FDragEnabled = true;
    TCustomForm* FForm = nullptr;
    bool FVisible = false;
    bool FHide = false;
    bool FMinimized = false;
    TPoint FLeftTop;
};

// Registers the border classes for stored layouts.
void RegisterQvFormBorder();
