#pragma once
// Fixture of the form-skin tests: skinned forms on the headless screen, probes of the
// composed screen in window coordinates, and the non-client messages of scripted input.

#include "controls/pellux_fixture.h"
#include "forms/uPelluxForm.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

class FormSkinTest : public PelluxTest {
protected:
    // A form with a skin, shown and past its first-show fade (30 ms).
    TForm* NewSkinned(TRect Bounds, TFormBorderStyle Border = bsSizeable, bool Show = true) {
        auto* F = Create<TForm>(Application);
        F->SetBorderStyle(Border);
        F->SetBoundsRect(Bounds);
        Skin = new TPelluxForm(F);
        if (Show) ShowAndSettle(F);
        return F;
    }
    void ShowAndSettle(TForm* F) {
        F->Show();
        ProcessMessages();
        Wait(30);
    }
    // The composed screen at a point of F's window (0xAARRGGBB).
    static uint32_t WinAt(TForm* F, int X, int Y) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        const RECT B = QvScreenBounds();
        return QvComposedScreen().Pixel(W.Left + X - B.Left, W.Top + Y - B.Top);
    }
    // Moves the pointer to a point of F's window.
    void MoveToWin(TForm* F, int X, int Y) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        Headless->MouseMove(W.Left + X, W.Top + Y);
        RunScript();
    }
    static TPoint WinToScreen(TForm* F, int X, int Y) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        return TPoint{W.Left + X, W.Top + Y};
    }
    TPelluxForm* Skin = nullptr;
};
