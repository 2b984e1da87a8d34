#include "treeview/uQvTreeOptions.h"

#include <algorithm>

#include "framework/uQvRegistry.h"

// ---- Options --------------------------------------------------------------------------

void TQvTreeOptions::Changed() {
    if (OnChange) OnChange(this);
}

void TQvTreeOptions::SetPaintOptions(TQvPaintOptions Value) {
    if (FPaintOptions == Value) return;
    FPaintOptions = Value;
    Changed();
}

void TQvTreeOptions::SetSelectionOptions(TQvSelectionOptions Value) {
    if (FSelectionOptions == Value) return;
    FSelectionOptions = Value;
    Changed();
}

void TQvTreeOptions::SetMiscOptions(TQvMiscOptions Value) {
    if (FMiscOptions == Value) return;
    FMiscOptions = Value;
    Changed();
}

void TQvTreeOptions::SetAutoOptions(TQvAutoOptions Value) {
    if (FAutoOptions == Value) return;
    FAutoOptions = Value;
    Changed();
}

void TQvTreeOptions::Assign(const TPersistent* Source) {
    const auto* O = dynamic_cast<const TQvTreeOptions*>(Source);
    if (O == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (O == this) return;
    const bool Same = FPaintOptions == O->FPaintOptions && FSelectionOptions == O->FSelectionOptions &&
                      FMiscOptions == O->FMiscOptions && FAutoOptions == O->FAutoOptions;
    FPaintOptions = O->FPaintOptions;
    FSelectionOptions = O->FSelectionOptions;
    FMiscOptions = O->FMiscOptions;
    FAutoOptions = O->FAutoOptions;
    if (!Same) Changed();
}

// ---- Colours --------------------------------------------------------------------------

TQvTreeColors::TQvTreeColors() {
    FColors[tciDisabledColor] = clBtnShadow;
    FColors[tciDropMarkColor] = clHighlight;
    FColors[tciDropTargetColor] = clHighlight;
    FColors[tciFocusedSelectionColor] = clHighlight;
    FColors[tciGridLineColor] = clBtnFace;
    FColors[tciTreeLineColor] = clBtnShadow;
    FColors[tciUnfocusedSelectionColor] = clBtnFace;
    FColors[tciBorderColor] = clBtnFace;
    FColors[tciHotColor] = clWindowText;
    FColors[tciFocusedSelectionBorderColor] = clHighlight;
    FColors[tciUnfocusedSelectionBorderColor] = clBtnFace;
    FColors[tciDropTargetBorderColor] = clHighlight;
    FColors[tciSelectionRectangleBlendColor] = clHighlight;
    FColors[tciSelectionRectangleBorderColor] = clHighlight;
    FColors[tciHeaderHotColor] = clBtnShadow;
    FColors[tciSelectionTextColor] = clHighlightText;
}

TColor TQvTreeColors::GetColor(int Index) const {
    return Index >= 0 && Index < tciColorCount ? FColors[Index] : clNone;
}

void TQvTreeColors::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= tciColorCount || FColors[Index] == Value) return;
    FColors[Index] = Value;
    if (OnChange) OnChange(this);
}

void TQvTreeColors::Assign(const TPersistent* Source) {
    const auto* C = dynamic_cast<const TQvTreeColors*>(Source);
    if (C == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (C == this || std::equal(std::begin(FColors), std::end(FColors), std::begin(C->FColors))) return;
    std::copy(std::begin(C->FColors), std::end(C->FColors), std::begin(FColors));
    if (OnChange) OnChange(this);
}

// ---- Scroll bars ----------------------------------------------------------------------

void TQvScrollBarOptions::Changed() {
    if (OnChange) OnChange(this);
}

void TQvScrollBarOptions::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    Changed();
}

void TQvScrollBarOptions::SetAlwaysVisible(bool Value) {
    if (FAlwaysVisible == Value) return;
    FAlwaysVisible = Value;
    Changed();
}

void TQvScrollBarOptions::SetHorizontalIncrement(int Value) {
    Value = std::max(Value, 1);
    if (FHorizontalIncrement == Value) return;
    FHorizontalIncrement = Value;
    Changed();
}

void TQvScrollBarOptions::SetVerticalIncrement(int Value) {
    Value = std::max(Value, 1);
    if (FVerticalIncrement == Value) return;
    FVerticalIncrement = Value;
    Changed();
}

void TQvScrollBarOptions::Assign(const TPersistent* Source) {
    const auto* S = dynamic_cast<const TQvScrollBarOptions*>(Source);
    if (S == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (S == this) return;
    FScrollBars = S->FScrollBars;
    FAlwaysVisible = S->FAlwaysVisible;
    FHorizontalIncrement = S->FHorizontalIncrement;
    FVerticalIncrement = S->FVerticalIncrement;
    Changed();
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvTreeOptions() {
    RegisterClass<TQvTreeOptions, TPersistent>(u"TQvTreeOptions")
        .Prop(u"AutoOptions", &TQvTreeOptions::AutoOptions, &TQvTreeOptions::SetAutoOptions, DefaultAutoOptions)
        .Prop(u"MiscOptions", &TQvTreeOptions::MiscOptions, &TQvTreeOptions::SetMiscOptions, DefaultMiscOptions)
        .Prop(u"PaintOptions", &TQvTreeOptions::PaintOptions, &TQvTreeOptions::SetPaintOptions,
              DefaultPaintOptions)
        .Prop(u"SelectionOptions", &TQvTreeOptions::SelectionOptions, &TQvTreeOptions::SetSelectionOptions,
              DefaultSelectionOptions);

    static const char16_t* const ColorNames[tciColorCount] = {
        u"DisabledColor",           u"DropMarkColor",
        u"DropTargetColor",         u"FocusedSelectionColor",
        u"GridLineColor",           u"TreeLineColor",
        u"UnfocusedSelectionColor", u"BorderColor",
        u"HotColor",                u"FocusedSelectionBorderColor",
        u"UnfocusedSelectionBorderColor", u"DropTargetBorderColor",
        u"SelectionRectangleBlendColor",  u"SelectionRectangleBorderColor",
        u"HeaderHotColor",          u"SelectionTextColor",
    };
    auto Colors = RegisterClass<TQvTreeColors, TPersistent>(u"TQvTreeColors");
    const TQvTreeColors Defaults;
    for (int I = 0; I < tciColorCount; ++I)
        Colors.Color(
            ColorNames[I], [I](TQvTreeColors* C) { return C->GetColor(I); },
            [I](TQvTreeColors* C, TColor V) { C->SetColor(I, V); }, Defaults.GetColor(I));

    RegisterClass<TQvScrollBarOptions, TPersistent>(u"TQvScrollBarOptions")
        .Prop(u"AlwaysVisible", &TQvScrollBarOptions::AlwaysVisible, &TQvScrollBarOptions::SetAlwaysVisible, false)
        .Prop(u"HorizontalIncrement", &TQvScrollBarOptions::HorizontalIncrement,
              &TQvScrollBarOptions::SetHorizontalIncrement, 20)
        .Prop(u"ScrollBars", &TQvScrollBarOptions::ScrollBars, &TQvScrollBarOptions::SetScrollBars, ssBoth)
        .Prop(u"VerticalIncrement", &TQvScrollBarOptions::VerticalIncrement,
              &TQvScrollBarOptions::SetVerticalIncrement, 20);
}
