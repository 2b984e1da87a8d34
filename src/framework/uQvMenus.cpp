#include "framework/uQvMenus.h"

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent == Value) return;
    if (FPopupComponent != nullptr) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint{X, Y};
    DoPopup();
}

void TPopupMenu::DoPopup() {
    if (OnPopup) OnPopup(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}
