#pragma once
// The title-bar menu settings of a form skin: the main menu to show as a row of entries in
// the skinned title bar, the skin of its popups, and how the entries look and where the
// first one goes. The entries themselves are built by the title-bar menu's own behaviour;
// here the settings are kept and stored with the form.
//
// The two menus are other components: the owning form skin asks to be told when they are
// freed and clears them here.

#include <memory>

#include "forms/uPelluxNCCtrlBase.h"
#include "skin/uPngPictures.h"

class TMainMenu;
class TPelluxForm;

class TPelluxMainMenu : public TPersistent {
public:
    explicit TPelluxMainMenu(TPelluxForm* AOwner);
    ~TPelluxMainMenu() override;

    TMainMenu* MainMenu() const { return FMainMenu; }
    void SetMainMenu(TMainMenu* Value);
    // The popup-menu skin component (owner-drawn popups when set).
    TComponent* MenuSkin() const { return FMenuSkin; }
    void SetMenuSkin(TComponent* Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TNCCtrlPos* Pos() const { return FPos.get(); }
    void SetPos(const TNCCtrlPos* Value) { FPos->Assign(Value); }
    TPngPictures* Pictures() const { return FPictures.get(); }
    void SetPictures(const TPngPictures* Value) { FPictures->Assign(Value); }
    TColor HotColor() const { return FHotColor; }
    void SetHotColor(TColor Value) { FHotColor = Value; }
    TColor PressColor() const { return FPressColor; }
    void SetPressColor(TColor Value) { FPressColor = Value; }
    // The gap between entries.
    int Space() const { return FSpace; }
    void SetSpace(int Value) { FSpace = Value; }

    TPelluxForm* PelluxForm() const { return FPelluxForm; }
    // A menu component is being freed: forget it.
    void Forget(TComponent* AComponent);

    // Copies the settings (the menus included) of another title-bar menu.
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

private:
    void Watch(TComponent* Old, TComponent* New);

    TMainMenu* FMainMenu = nullptr;
    TComponent* FMenuSkin = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TNCCtrlPos> FPos;
    std::unique_ptr<TPngPictures> FPictures;
    TColor FHotColor = 11463932;
    TColor FPressColor = 8184058;
    int FSpace = 8;
    TPelluxForm* FPelluxForm;
};

// Registers the title-bar menu settings for stored layouts.
void RegisterPelluxMainMenu();
