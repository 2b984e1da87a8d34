#pragma once
// The controls gallery: one borderless window showing every style of the skinned buttons,
// panels and labels side by side, built in code. The tour shows it at 100 % and 150 %,
// and tests compare its partial and full repaints.

#include "framework/uQvForms.h"

class TPelluxButton;

class TGalleryForm : public TForm {
public:
    // Laid out at 96 pixels per inch; ScaleForPPI shows it at another scale.
    explicit TGalleryForm(TComponent* AOwner);

    // The button the tour hovers to show the hot frame.
    TPelluxButton* HotButton() const { return FHotButton; }

private:
    TPelluxButton* FHotButton = nullptr;
};
