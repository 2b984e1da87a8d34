#include "forms/uPelluxMainMenu.h"

#include "forms/uPelluxForm.h"
#include "framework/uQvMenus.h"
#include "framework/uQvRegistry.h"

TPelluxMainMenu::TPelluxMainMenu(TPelluxForm* AOwner)
    : FFont(std::make_unique<TFont>()),
      FPos(std::make_unique<TNCCtrlPos>(AOwner != nullptr ? AOwner->DestForm() : nullptr)),
      FPictures(std::make_unique<TPngPictures>()),
      FPelluxForm(AOwner) {
    FPos->SetXValue(5);
    FPos->SetYValue(5);
    FPictures->SetImage(u"PelluxFlatBtn");
    FPictures->SetCount(3);
    FPictures->SetNormal(0);
    FPictures->SetHot(1);
    FPictures->SetPressed(2);
    FPictures->SetActive(true);
}

TPelluxMainMenu::~TPelluxMainMenu() = default;

void TPelluxMainMenu::Watch(TComponent* Old, TComponent* New) {
    if (FPelluxForm == nullptr) return;
    if (Old != nullptr && Old != FMainMenu && Old != FMenuSkin) FPelluxForm->RemoveFreeNotification(Old);
    if (New != nullptr) FPelluxForm->FreeNotification(New);
}

void TPelluxMainMenu::SetMainMenu(TMainMenu* Value) {
    if (FMainMenu == Value) return;
    TComponent* Old = FMainMenu;
    FMainMenu = Value;
    Watch(Old, Value);
}

void TPelluxMainMenu::SetMenuSkin(TComponent* Value) {
    if (FMenuSkin == Value) return;
    TComponent* Old = FMenuSkin;
    FMenuSkin = Value;
    Watch(Old, Value);
}

void TPelluxMainMenu::Forget(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    if (FMainMenu == AComponent) FMainMenu = nullptr;
    if (FMenuSkin == AComponent) FMenuSkin = nullptr;
}

void TPelluxMainMenu::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TPelluxMainMenu*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    SetMainMenu(From->FMainMenu);
    SetMenuSkin(From->FMenuSkin);
    FFont->Assign(From->FFont.get());
    FPos->Assign(From->FPos.get());
    FPictures->Assign(From->FPictures.get());
    FHotColor = From->FHotColor;
    FPressColor = From->FPressColor;
    FSpace = From->FSpace;
}

TPersistent* TPelluxMainMenu::GetOwner() const {
    return FPelluxForm;
}

void RegisterPelluxMainMenu() {
    RegisterClass<TPelluxMainMenu, TPersistent>(u"TPelluxMainMenu")
        .Component<TMainMenu>(u"MainMenu", &TPelluxMainMenu::MainMenu, &TPelluxMainMenu::SetMainMenu)
        .Component<TComponent>(u"MenuSkin", &TPelluxMainMenu::MenuSkin, &TPelluxMainMenu::SetMenuSkin)
        .Object(u"Font", &TPelluxMainMenu::Font)
        .Object(u"Pos", &TPelluxMainMenu::Pos)
        .Object(u"Pictures", &TPelluxMainMenu::Pictures)
        .Color(u"HotColor", &TPelluxMainMenu::HotColor, &TPelluxMainMenu::SetHotColor, TColor{11463932})
        .Color(u"PressColor", &TPelluxMainMenu::PressColor, &TPelluxMainMenu::SetPressColor, TColor{8184058})
        .Prop(u"Space", &TPelluxMainMenu::Space, &TPelluxMainMenu::SetSpace, 8);
}
