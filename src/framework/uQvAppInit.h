#pragma once
// The ordered set-up and shut-down of the library. AppInit makes Application and Screen
// and registers the framework's classes, then runs the init steps the upper layers
// registered, lowest order first (ties in registration order). AppShutdown frees every
// form first, then runs the shutdown steps of the steps that ran, in reverse, then frees
// Application and Screen. Steps stay registered across AppInit / AppShutdown cycles.

#include <functional>

#include "platform/uQvBase.h"

// Order keys of the known steps; later layers pick values between them.
inline constexpr int ioSkinImages = 100;       // the skin resource data module
inline constexpr int ioResourceManager = 200;  // the skin resource manager
inline constexpr int ioLightTimers = 300;      // the light timers' hidden window
inline constexpr int ioMenuHook = 400;         // the menu hook
inline constexpr int ioSettings = 500;         // the settings store

// Registers (or, for a Name already known, replaces) a step. Either part may be empty.
void QvRegisterInitStep(int Order, const String& Name, std::function<void()> Init,
                        std::function<void()> Shutdown);
void QvUnregisterInitStep(const String& Name);

// Raises nothing when already initialised. A failing step shuts down the steps that ran
// before it and passes the error on.
void AppInit();
void AppShutdown();
bool AppInitialized();
