#pragma once
// Fixture of the control tests: the library set up on the headless backend, a shown form
// to put controls on, and probes of the composed screen.

#include "controls/uPelluxControls.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvForms.h"
#include "platform/uQvScreen.h"
#include "support/qv_headless_fixture.h"

class PelluxTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        RegisterPelluxControls();
        AppInit();
        Application->CreateForm(Form);
        Form->SetBounds(0, 0, 400, 300);
        Form->SetColor(RGB(30, 60, 90));
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
    // The composed screen's pixel at a point of Control's client area (0xAARRGGBB).
    static uint32_t At(const TControl* Control, int X, int Y) {
        const TPoint S = Control->ClientToScreen(TPoint{X, Y});
        const RECT B = QvScreenBounds();
        return QvComposedScreen().Pixel(S.X - B.Left, S.Y - B.Top);
    }
    // Moves the pointer to a client point of Control and dispatches what follows.
    void MoveTo(const TControl* Control, int X, int Y) {
        const TPoint S = Control->ClientToScreen(TPoint{X, Y});
        Headless->MouseMove(S.X, S.Y);
        RunScript();
    }
    // A new control of class T in Parent at R.
    template <typename T>
    static T* Place(TWinControl* Parent, TRect R) {
        auto* C = new T(Parent);
        C->SetBoundsRect(R);
        C->SetParent(Parent);
        return C;
    }
    // The same on the form, shown.
    template <typename T>
    T* Place(TRect R) {
        T* C = Place<T>(Form, R);
        ProcessMessages();
        return C;
    }
    void Wait(uint64_t Ms) {
        Headless->Advance(Ms);
        ProcessMessages();
    }
    TForm* Form = nullptr;
};
