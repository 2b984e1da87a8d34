#pragma once
// A skin image in the title bar (the caption picture). A press on it drags the window
// while CaptureMouse is set; without it the press goes past it to the window.

#include "forms/uPelluxNCCtrlBase.h"
#include "skin/uPelluxResManager.h"

class TPelluxNCImage : public TPelluxNCCtrlBase {
public:
    explicit TPelluxNCImage(TComponent* AOwner);

    const TQvResID& Picture() const { return FPicture; }
    void SetPicture(const TQvResID& Value);
    bool CaptureMouse() const { return FCaptureMouse; }
    void SetCaptureMouse(bool Value) { FCaptureMouse = Value; }

    // The image's size; 0 x 0 without one.
    int GetWidth() override;
    int GetHeight() override;
    void LMouseDown() override;
    void Paint(TSurface32* Surface) override;

private:
    TPelluxImage* Image() const;

    TQvResID FPicture;
    bool FCaptureMouse = true;
};

// Registers the image for stored layouts.
void RegisterPelluxNCImage();
