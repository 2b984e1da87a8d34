#pragma once
// A hidden top-level container for benchmarks that place controls without a form.

#include "framework/uQvWinControl.h"

class TBenchRoot : public TWinControl {
public:
    TBenchRoot(int Width, int Height) : TWinControl(nullptr) {
        SetControlStyle(ControlStyle() + csAcceptsControls);
        SetVisible(false);
        SetBounds(0, 0, Width, Height);
    }

protected:
    void CreateParams(TCreateParams& P) override {
        TWinControl::CreateParams(P);
        P.Style = WS_POPUP | WS_CLIPCHILDREN;
        P.WndParent = nullptr;
    }
    bool CanBeRoot() const override { return true; }
};
