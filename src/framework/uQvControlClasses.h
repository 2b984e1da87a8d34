#pragma once
// Registration of the control classes (TControl, TWinControl, TGraphicControl,
// TCustomControl; the menus through RegisterQvMenus) and their sub-objects and enumerations with their stored
// properties, so stored layouts make and fill them.

// Calling it again does nothing.
void RegisterQvControls();
