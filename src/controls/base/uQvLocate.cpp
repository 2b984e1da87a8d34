#include "controls/base/uQvLocate.h"

#include "framework/uQvRegistry.h"

namespace {

template <typename V, typename O>
void Store(V& Field, const V& Value, O* Object) {
    if (Field == Value) return;
    Field = Value;
    Object->Changed();
}

}  // namespace

// ---- TQvLocateObj -------------------------------------------------------------------------

void TQvLocateObj::SetAlign(TQvAlign Value) {
    Store(FAlign, Value, this);
}

void TQvLocateObj::SetX(int Value) {
    Store(FX, Value, this);
}

void TQvLocateObj::SetY(int Value) {
    Store(FY, Value, this);
}

void TQvLocateObj::Assign(const TPersistent* Source) {
    if (const auto* From = dynamic_cast<const TQvLocateObj*>(Source)) {
        SetX(From->FX);
        SetY(From->FY);
        SetAlign(From->FAlign);
        return;
    }
    TPersistent::Assign(Source);
}

void TQvLocateObj::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TQvSpaceSize -------------------------------------------------------------------------

void TQvSpaceSize::SetActive(bool Value) {
    Store(FActive, Value, this);
}

void TQvSpaceSize::SetLeft(int Value) {
    Store(FLeft, Value, this);
}

void TQvSpaceSize::SetTop(int Value) {
    Store(FTop, Value, this);
}

void TQvSpaceSize::SetRight(int Value) {
    Store(FRight, Value, this);
}

void TQvSpaceSize::SetBottom(int Value) {
    Store(FBottom, Value, this);
}

void TQvSpaceSize::Assign(const TPersistent* Source) {
    if (const auto* From = dynamic_cast<const TQvSpaceSize*>(Source)) {
        SetActive(From->FActive);
        SetLeft(From->FLeft);
        SetTop(From->FTop);
        SetRight(From->FRight);
        SetBottom(From->FBottom);
        return;
    }
    TPersistent::Assign(Source);
}

void TQvSpaceSize::Changed() {
    if (OnChange) OnChange(this);
}

// ---- Registration -------------------------------------------------------------------------

void RegisterQvLocate() {
    RegisterEnum<TQvAlign>(u"TQvAlign", {u"agLeft", u"agRight"});
    RegisterClass<TQvLocateObj, TPersistent>(u"TQvLocateObj")
        .Prop(u"Align", &TQvLocateObj::Align, &TQvLocateObj::SetAlign, agLeft)
        .Prop(u"X", &TQvLocateObj::X, &TQvLocateObj::SetX, 0)
        .Prop(u"Y", &TQvLocateObj::Y, &TQvLocateObj::SetY, 0);
    RegisterClass<TQvSpaceSize, TPersistent>(u"TQvSpaceSize")
        .Prop(u"Active", &TQvSpaceSize::Active, &TQvSpaceSize::SetActive, true)
        .Prop(u"Left", &TQvSpaceSize::Left, &TQvSpaceSize::SetLeft, 0)
        .Prop(u"Top", &TQvSpaceSize::Top, &TQvSpaceSize::SetTop, 0)
        .Prop(u"Right", &TQvSpaceSize::Right, &TQvSpaceSize::SetRight, 0)
        .Prop(u"Bottom", &TQvSpaceSize::Bottom, &TQvSpaceSize::SetBottom, 0);
}
