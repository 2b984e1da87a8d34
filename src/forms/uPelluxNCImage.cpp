#include "forms/uPelluxNCImage.h"

#include "forms/uPelluxForm.h"
#include "forms/uPelluxNCLabel.h"
#include "framework/uQvRegistry.h"

TPelluxNCImage::TPelluxNCImage(TComponent* AOwner) : TPelluxNCCtrlBase(AOwner) {
    Pos()->SetXValue(2);
    Pos()->SetYValue(2);
}

void TPelluxNCImage::SetPicture(const TQvResID& Value) {
    if (FPicture == Value) return;
    FPicture = Value;
    Invalidate();
}

TPelluxImage* TPelluxNCImage::Image() const {
    return FPicture.empty() ? nullptr : SkinResManager().GetImageByName(FPicture, true);
}

int TPelluxNCImage::GetWidth() {
    const TPelluxImage* I = Image();
    return I != nullptr ? I->Width() : 0;
}

int TPelluxNCImage::GetHeight() {
    const TPelluxImage* I = Image();
    return I != nullptr ? I->Height() : 0;
}

void TPelluxNCImage::LMouseDown() {
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    if (FCaptureMouse) StartNCDrag(Form());
    if (Alive.Alive()) TPelluxNCCtrlBase::LMouseDown();
}

void TPelluxNCImage::Paint(TSurface32* Surface) {
    TPelluxNCCtrlBase::Paint(Surface);
    TPelluxImage* I = Image();
    if (I == nullptr) return;
    int X = Pos()->DisplayX();
    if (FormMaximized() && ParentObject() != nullptr) X -= ParentObject()->RealFrameWidth();
    I->DrawTo(Surface, X, Pos()->DisplayY());
}

void RegisterPelluxNCImage() {
    RegisterClass<TPelluxNCImage, TPelluxNCCtrlBase>(u"TPelluxNCImage")
        .Prop(u"Picture", &TPelluxNCImage::Picture, &TPelluxNCImage::SetPicture, u"")
        .Prop(u"CaptureMouse", &TPelluxNCImage::CaptureMouse, &TPelluxNCImage::SetCaptureMouse, true);
}
