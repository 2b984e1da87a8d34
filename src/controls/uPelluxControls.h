#pragma once
// The control library's registration: its set-up steps (the light timers, the menu hook,
// and its classes for stored layouts, which need the framework's registered first). Calling
// it again does nothing more.

// The set-up step that registers the control classes.
inline constexpr int ioPelluxClasses = 350;

void RegisterPelluxControls();
