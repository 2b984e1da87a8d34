#pragma once
// The controls gallery: one borderless window showing every style of the skinned buttons,
// panels and labels side by side, built in code. The tour shows it at 100 % and 150 %,
// and tests compare its partial and full repaints.

#include "framework/uQvForms.h"

class TPelluxButton;

class TPelluxCircleMarker;

// Buttons, panels and labels; or shapes, lines, markers and HTML labels.
enum TGalleryPage { gpControls, gpShapes };

class TGalleryForm : public TForm {
public:
    // Laid out at 96 pixels per inch; ScaleForPPI shows it at another scale.
    explicit TGalleryForm(TComponent* AOwner, TGalleryPage Page = gpControls);

    // The button the tour hovers to show the hot frame (controls page only).
    TPelluxButton* HotButton() const { return FHotButton; }

private:
    void BuildControls();
    void BuildShapes();

    TPelluxButton* FHotButton = nullptr;
};
