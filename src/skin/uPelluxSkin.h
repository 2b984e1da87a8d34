#pragma once
// The skin library's part of the program's start: its classes for stored layouts and its
// steps of the ordered set-up and shut-down (the image data module, the resource manager,
// the shared form-skin settings, the registries of skinned forms and controls). Called
// once before AppInit.

void RegisterPelluxSkin();
