#include "controls/uPelluxCircleShape.h"

#include "draw/uPelluxCanvas.h"
#include "framework/uQvRegistry.h"

TPelluxCircleShape::TPelluxCircleShape(TComponent* AOwner) : TPelluxCustomPanel(AOwner) {
    SetColor(RGB(28, 183, 235));
    SetBounds(Left(), Top(), 120, 120);
    SetAlpha(0);
    SetBorderSides({});
}

void TPelluxCircleShape::DrawSkin(TSurface32* Buffer) {
    TPelluxImage* Image = SkinResManager().GetImageByName(FPicture, true);
    if (Image == nullptr) return;
    // A picture without its own transparency is shown opaque.
    TSurface32 Opaque;
    TCustomSurface32* Shown = Image;
    if (Image->DrawMode() != dmBlend) {
        Opaque.Assign(Image);
        Opaque.ResetAlpha(255);
        Shown = &Opaque;
    }
    DrawImageInEllipse(Buffer->Handle(), Rect(0, 0, Width(), Height()), Shown, Color());
}

void RegisterPelluxCircleShape() {
    using T = TPelluxCircleShape;
    RegisterClass<T, TPelluxCustomPanel>(u"TPelluxCircleShape")
        .Prop(u"Alpha", &T::Alpha, &T::SetAlpha, uint8_t{192})
        .Prop(u"BorderSides", &T::BorderSides, &T::SetBorderSides, TSides{sdLeft, sdTop, sdRight, sdBottom})
        .Color(u"BorderColor", &T::BorderColor, &T::SetBorderColor, RGB(186, 203, 217))
        .Prop(u"BackgroundImage", &T::BackgroundImage, &T::SetBackgroundImage, String())
        .Prop(u"BackgroundOffsetX", &T::BackgroundOffsetX, &T::SetBackgroundOffsetX, 0)
        .Prop(u"BackgroundOffsetY", &T::BackgroundOffsetY, &T::SetBackgroundOffsetY, 0)
        .Prop(u"DoubleBorder", &T::DoubleBorder, &T::SetDoubleBorder, true)
        .Prop(u"Picture", &T::Picture, &T::SetPicture, String());
}
