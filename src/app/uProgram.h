#pragma once
// The program: initialization, the start-up sequence and finalization.
//
// Initialization turns the high-DPI switch on and registers the process-wide objects as
// set-up steps of AppInit, so that AppShutdown frees them in reverse after every window:
// the settings (ioSettings) and the skin scheme (ioSkinScheme, registered by the skin
// scheme's unit). The registries of skinned forms and controls belong to steps of lower
// order and so go last.
//
// The body makes the skinned message box the application's message box (its style is in
// the data module), shows the splash, makes the data module (whose loading job drives
// the splash to 100), waits for the splash gate, fades the splash out, shows the login
// window modally and, when its button opened the gate, makes the main window and runs
// the loop until it closes.

#include "framework/uQvAppInit.h"
#include "platform/uQvBase.h"

// The skin scheme: made after the settings, freed before them.
inline constexpr int ioSkinScheme = 600;

// The login window's AllowLogin, taken before it was freed.
extern bool LoginAllowed;

// "Varnoth - 通用系统UI框架 (<web address>)": the application's title and the caption of
// the splash, login and main windows.
String ApplicationTitle();
// Registers the start-up's own classes and steps; HighDPIEnabled on; AppInit.
void ProgramInitialization();
void ProgramBody();
// AppShutdown: every window, then the skin scheme, the settings and the registries.
void ProgramFinalization();
// The three in order; finalization runs however the body ends.
void RunProgram();
