#include "framework/uQvMargins.h"

#include <algorithm>

#include "framework/uQvControl.h"
#include "platform/uQvBase.h"

TMargins::TMargins(TControl* AControl) : FControl(AControl) {}

void TMargins::SetMargin(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
}

void TMargins::SetBounds(int ALeft, int ATop, int ARight, int ABottom) {
    if (FLeft == ALeft && FTop == ATop && FRight == ARight && FBottom == ABottom) return;
    FLeft = ALeft;
    FTop = ATop;
    FRight = ARight;
    FBottom = ABottom;
    Changed();
}

void TMargins::Changed() {
    if (OnChange) OnChange(this);
}

void TMargins::Assign(const TPersistent* Source) {
    if (const auto* M = dynamic_cast<const TMargins*>(Source)) {
        SetBounds(M->FLeft, M->FTop, M->FRight, M->FBottom);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TMargins::GetOwner() const {
    return FControl;
}

void TSizeConstraints::SetMinWidth(int Value) {
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && FMaxWidth < Value) FMaxWidth = Value;
    Changed();
}

void TSizeConstraints::SetMinHeight(int Value) {
    if (Value == FMinHeight) return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && FMaxHeight < Value) FMaxHeight = Value;
    Changed();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    if (Value == FMaxWidth) return;
    FMaxWidth = Value;
    if (Value > 0 && FMinWidth > Value) FMinWidth = Value;
    Changed();
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (Value == FMaxHeight) return;
    FMaxHeight = Value;
    if (Value > 0 && FMinHeight > Value) FMinHeight = Value;
    Changed();
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (FMaxWidth > 0) Width = std::min(Width, FMaxWidth);
    if (FMaxHeight > 0) Height = std::min(Height, FMaxHeight);
    Width = std::max(Width, FMinWidth);
    Height = std::max(Height, FMinHeight);
}

void TSizeConstraints::ScaleQuietly(int M, int D) {
    FMinWidth = MulDiv(FMinWidth, M, D);
    FMinHeight = MulDiv(FMinHeight, M, D);
    FMaxWidth = MulDiv(FMaxWidth, M, D);
    FMaxHeight = MulDiv(FMaxHeight, M, D);
}

void TSizeConstraints::Changed() {
    if (OnChange) OnChange(this);
}

void TSizeConstraints::Assign(const TPersistent* Source) {
    if (const auto* C = dynamic_cast<const TSizeConstraints*>(Source)) {
        FMinWidth = C->FMinWidth;
        FMinHeight = C->FMinHeight;
        FMaxWidth = C->FMaxWidth;
        FMaxHeight = C->FMaxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TSizeConstraints::GetOwner() const {
    return FControl;
}
