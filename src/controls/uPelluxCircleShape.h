#pragma once
// TPelluxCircleShape: a skin picture inside a circle on a coloured ground (Color), as the
// navigation bar shows the user's picture. Outside the inscribed ellipse the background
// stays; the panel's own fill, border and caption are not drawn.

#include "controls/uPelluxPanel.h"

class TPelluxCircleShape : public TPelluxCustomPanel {
public:
    explicit TPelluxCircleShape(TComponent* AOwner);

    TQvResID Picture() const { return FPicture; }
    void SetPicture(const TQvResID& Value) { Change(FPicture, Value); }

protected:
    void DrawSkin(TSurface32* Buffer) override;

private:
    TQvResID FPicture;
};

void RegisterPelluxCircleShape();
