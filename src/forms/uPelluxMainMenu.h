#pragma once
// The title-bar menu of a form skin: a form's main menu shown as a row of text entries
// (TPelluxNCMenuItem) in the skinned title bar. Each visible top-level item gets a record
// with a popup menu holding copies of its children (owner-drawn by MenuSkin when set); the
// form skin builds the records and entries at its next non-client paint after Reset.
//
// While a popup of one entry is open, moving the pointer onto another entry closes it and
// the form skin opens the other one shortly after (it hears of the close from the popup
// list, TPopupListEx, which the title-bar menu installs while it has a main menu).
//
// The two menus are other components: the owning form skin asks to be told when they are
// freed and clears them here.

#include <memory>
#include <vector>

#include "forms/uPelluxNCCtrlBase.h"
#include "skin/uPngPictures.h"

class TMainMenu;
class TMenuItem;
class TPelluxForm;
class TPelluxMenu;
class TPelluxNCMenuItem;
class TPopupMenu;

// One entry of the title bar: the top-level item's caption, state and click handler, and
// the popup made of copies of its children.
struct TQvMainMenuData {
    TQvMainMenuData();
    ~TQvMainMenuData();
    String Caption;
    std::unique_ptr<TPopupMenu> PopupMenu;
    TPelluxNCMenuItem* NCMenuItem = nullptr;
    bool Enabled = true;
    TNotifyEvent OnClick;
};
using PQvMainMenuData = TQvMainMenuData*;

class TPelluxMainMenu : public TPersistent {
public:
    explicit TPelluxMainMenu(TPelluxForm* AOwner);
    // Frees the records; entries still alive are let go of, not removed.
    ~TPelluxMainMenu() override;

    TMainMenu* MainMenu() const { return FMainMenu; }
    // A new menu is built at the next non-client paint.
    void SetMainMenu(TMainMenu* Value);
    TPelluxMenu* MenuSkin() const { return FMenuSkin; }
    void SetMenuSkin(TPelluxMenu* Value);
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
    // The gap between entries; a change rebuilds them.
    int Space() const { return FSpace; }
    void SetSpace(int Value);

    TPelluxForm* PelluxForm() const { return FPelluxForm; }
    // A menu component is being freed: forget it (the entries go at the next paint).
    void Forget(TComponent* AComponent);

    // ---- Building ----
    bool Built() const { return FDone; }
    // Builds again at the next non-client paint.
    void Reset() { FDone = false; }
    // Reset and repaint the title bar now.
    void Refresh();
    // Frees the records and their entries, then makes them anew from MainMenu (nothing
    // without one): records, popups of copied items, and one entry per record on the form.
    void Build();
    // Whether there is anything for Build to do or undo.
    bool NeedsBuild() const { return !FDone && (FMainMenu != nullptr || !FList.empty()); }
    const std::vector<std::unique_ptr<TQvMainMenuData>>& List() const { return FList; }

    // ---- Switching between open menus ----
    // The entry whose popup is open.
    TPelluxNCMenuItem* LastFocusMenu() const { return FLastFocusMenu; }
    void SetLastFocusMenu(TPelluxNCMenuItem* Value) { FLastFocusMenu = Value; }
    // The entry to open once the open popup closed.
    TPelluxNCMenuItem* NextFocusMenu() const { return FNextFocusMenu; }
    void SetNextFocusMenu(TPelluxNCMenuItem* Value) { FNextFocusMenu = Value; }
    // A popup closed: the open entry lets go; true when another is to open next.
    bool MenuClosed();
    // Opens the next entry as a click would.
    void OpenNext();
    // Opens the first visible, enabled entry whose caption has Key as its accelerator;
    // false when none has.
    bool Accelerate(WORD Key);
    // An entry is being freed.
    void EntryGone(TPelluxNCMenuItem* Entry);

    // Copies the settings (the menus included) of another title-bar menu.
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

private:
    void Watch(TComponent* Old, TComponent* New);
    bool Designing() const;
    void FreeList();
    void CopyItems(TMenuItem* Source, TMenuItem* Target);

    TMainMenu* FMainMenu = nullptr;
    TPelluxMenu* FMenuSkin = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TNCCtrlPos> FPos;
    std::unique_ptr<TPngPictures> FPictures;
    TColor FHotColor = 11463932;
    TColor FPressColor = 8184058;
    int FSpace = 8;
    std::vector<std::unique_ptr<TQvMainMenuData>> FList;
    bool FDone = false;
    TPelluxNCMenuItem* FLastFocusMenu = nullptr;
    TPelluxNCMenuItem* FNextFocusMenu = nullptr;
    bool FHooked = false;
    TPelluxForm* FPelluxForm;
};

// Registers the title-bar menu settings for stored layouts.
void RegisterPelluxMainMenu();
