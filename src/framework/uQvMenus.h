#pragma once
// Popup menus as controls see them: a control's PopupMenu is shown at the point of a
// context-menu request (right click, the menu key, Shift+F10). Popup raises OnPopup first
// (menus rebuild their items there), then runs the menu loop.

#include "framework/uQvClasses.h"
#include "platform/uQvGeometry.h"

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}

    // Shown by the default context-menu handling of its controls.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    // The screen point it was last shown at.
    TPoint PopupPoint() const { return FPopupPoint; }

    // Shows the menu with its top-left at the screen point (X, Y).
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
};
