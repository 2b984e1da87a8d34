#include "forms/uQvFormBorder.h"

#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvWinPos.h"

void TQvBorderSize::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TQvBorderSize*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    FLeft = From->FLeft;
    FTop = From->FTop;
    FRight = From->FRight;
    FBottom = From->FBottom;
}

TQvFormLayerBorder::TQvFormLayerBorder(TComponent* AOwner)
    : TComponent(AOwner),
      FSize(std::make_unique<TQvBorderSize>()),
      FInflateSize(std::make_unique<TQvBorderSize>(5, 5, -5, -5)) {}

void TQvFormLayerBorder::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm) FForm = nullptr;
}

bool TQvFormLayerBorder::FormZoomed() const {
    return FForm != nullptr && FForm->HandleAllocated() && IsZoomed(FForm->Handle());
}

void TQvFormLayerBorder::InitFrame(TCustomForm* AForm) {
    if (FForm == AForm) return;
    if (FForm != nullptr) RemoveFreeNotification(FForm);
    FForm = AForm;
    if (AForm != nullptr) FreeNotification(AForm);
}

void TQvFormLayerBorder::Show() {
    FVisible = true;
    FHide = false;
}

void TQvFormLayerBorder::ShowWithForm(const std::vector<TPelluxNCCtrlBase*>&) {
    Show();
    if (FForm != nullptr) FLeftTop = TPoint{FForm->Left(), FForm->Top()};
}

void TQvFormLayerBorder::Minimizing() {
    if (FMinimized) return;
    FMinimized = true;
    FHide = true;
    FVisible = false;
}

void TQvFormLayerBorder::Restoring() {
    if (!FMinimized) return;
    FMinimized = false;
    FHide = false;
    FVisible = true;
}

void TQvFormLayerBorder::ReAlign() {
    if (FormZoomed())
        Minimizing();
    else
        Restoring();
}

void TQvFormLayerBorder::SetBoundsWithForm() {
    if (FormZoomed()) return Minimizing();
    if (FHide && FForm != nullptr && FForm->HandleAllocated() && !IsIconic(FForm->Handle())) Restoring();
}

void RegisterQvFormBorder() {
    RegisterEnum<TQvStretchKind>(u"TQvStretchKind", {u"skAuto", u"skTile"});
    RegisterClass<TQvBorderSize, TPersistent>(u"TQvBorderSize")
        .Prop(u"Left", &TQvBorderSize::Left, &TQvBorderSize::SetLeft)
        .Prop(u"Top", &TQvBorderSize::Top, &TQvBorderSize::SetTop)
        .Prop(u"Right", &TQvBorderSize::Right, &TQvBorderSize::SetRight)
        .Prop(u"Bottom", &TQvBorderSize::Bottom, &TQvBorderSize::SetBottom);
    RegisterClass<TQvFormLayerBorder, TComponent>(u"TQvFormLayerBorder")
        .Prop(u"Image", &TQvFormLayerBorder::Image, &TQvFormLayerBorder::SetImage,
              u"PelluxSlider_Aio_light_bkg")
        .Object(u"Size", &TQvFormLayerBorder::Size)
        .Object(u"InflateSize", &TQvFormLayerBorder::InflateSize)
        .Prop(u"StretchKind", &TQvFormLayerBorder::StretchKind, &TQvFormLayerBorder::SetStretchKind, skAuto)
        .Prop(u"Transparent", &TQvFormLayerBorder::Transparent, &TQvFormLayerBorder::SetTransparent, true)
        .Prop(u"DragEnabled", &TQvFormLayerBorder::DragEnabled, &TQvFormLayerBorder::SetDragEnabled, true);
}
