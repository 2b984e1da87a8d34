#pragma once
// Finding controls by name, for tests and the screenshot tour: a path of component names
// from a root control with a window ("frmLogin.btnLogin": the root named frmLogin, then
// the component it owns named btnLogin, and so on through owners), and what a script needs
// to know of the control found.

#include <vector>

#include "framework/uQvControl.h"

// The control at Path among the root controls that have a window; nullptr when none.
TControl* QvFindControl(std::u16string_view Path);
// The component path of a control from its root ("frmLogin.btnLogin").
String QvControlPath(const TComponent* Control);

struct TQvControlInfo {
    String Path;
    String ClassName;
    String Caption;
    TRect ScreenRect;
    // Visible on screen: visible itself, every parent visible and the root's window shown.
    bool Showing = false;
    // Enabled itself and through every parent.
    bool Enabled = false;
    bool Focused = false;
    TControlState State;
};
TQvControlInfo QvDescribeControl(const TControl* Control);
// The screen point in the middle of the control, where a script clicks it.
TPoint QvControlCenter(const TControl* Control);

// Root controls with a window, oldest first. Kept by TWinControl.
const std::vector<TWinControl*>& QvRootControls();
void QvRootControlShown(TWinControl* Root);
void QvRootControlGone(TWinControl* Root);
