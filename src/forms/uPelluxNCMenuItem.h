#pragma once
// TPelluxNCMenuItem: one entry of the title-bar menu, a text button in the title bar that
// opens its record's popup menu, or runs the top-level item's click handler when the popup
// has no items.
//
// A click counter decides what a press does: the press of a full click counts without
// opening, the release's Click opens, a further click on the same entry closes (the values
// it counts then open nothing), and leaving the entry starts over. The entry tracks the
// pointer itself every 10 ms, which keeps working while a popup's loop holds the input, so
// hovering another entry while a popup is open switches to that entry's popup.

#include "forms/uPelluxNCButton.h"

class TPelluxMainMenu;
struct TQvMainMenuData;

class TPelluxNCMenuItem : public TPelluxNCButton {
public:
    TPelluxNCMenuItem(TCustomForm* AForm, TPelluxMainMenu* AMainMenu, TQvMainMenuData* AMenuData);
    ~TPelluxNCMenuItem() override;

    TQvMainMenuData* MenuData() const { return FMenuData; }
    TPelluxMainMenu* PelluxMainMenu() const { return FPelluxMainMenu; }
    int ClickCount() const { return FClickCount; }
    void SetClickCount(int Value) { FClickCount = Value; }
    // The title-bar menu lets go of the entry (it rebuilds or is freed): the entry shows
    // and does nothing from now on.
    void Detach();

    // Visible and enabled: LMouseDown, then OnClick.
    void Click() override;

    void DoTimer() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void LMouseDown() override;
    void LMouseUp() override;
    int GetWidth() override;
    int GetHeight() override;
    void Paint(TSurface32* Surface) override;
    void DPIChanged() override;

private:
    TPopupMenu* Popup() const;
    // The caption's size in the menu's font, 4 pixels more each way.
    void Measure();
    // Ends a press the popup's loop swallowed the release of.
    void EndPress();

    TQvMainMenuData* FMenuData;
    TPelluxMainMenu* FPelluxMainMenu;
    int FClickCount = 0;
    // LMouseDown runs for Click, not for a press.
    bool FInClick = false;
};
