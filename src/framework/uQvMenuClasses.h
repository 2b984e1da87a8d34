#pragma once
// Registration of the menu classes (TMenuItem, TMainMenu, TPopupMenu) and their stored
// properties, so stored layouts make menus with their nested items.

// Calling it again does nothing.
void RegisterQvMenus();
