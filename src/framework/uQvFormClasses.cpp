#include "framework/uQvFormClasses.h"

#include "framework/uQvControlClasses.h"
#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStdCtrls.h"
#include "framework/uQvTimer.h"

void RegisterQvForms() {
    RegisterQvControls();
    RegisterEnum<TFormBorderStyle>(u"TFormBorderStyle", {u"bsNone", u"bsSingle", u"bsSizeable", u"bsDialog",
                                                         u"bsToolWindow", u"bsSizeToolWin"});
    RegisterEnum<TBorderIcon>(u"TBorderIcon", {u"biSystemMenu", u"biMinimize", u"biMaximize", u"biHelp"});
    RegisterEnum<TFormStyle>(u"TFormStyle", {u"fsNormal", u"fsMDIChild", u"fsMDIForm", u"fsStayOnTop"});
    RegisterEnum<TPosition>(
        u"TPosition", {u"poDesigned", u"poDefault", u"poDefaultPosOnly", u"poDefaultSizeOnly",
                       u"poScreenCenter", u"poDesktopCenter", u"poMainFormCenter", u"poOwnerFormCenter"});
    RegisterEnum<TWindowState>(u"TWindowState", {u"wsNormal", u"wsMinimized", u"wsMaximized"});
    RegisterEnum<TPopupMode>(u"TPopupMode", {u"pmNone", u"pmAuto", u"pmExplicit"});

    // The client size follows the frame, so it comes after BorderStyle and the bounds.
    RegisterClass<TCustomForm, TWinControl>(u"TCustomForm")
        .Prop(u"AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend, false)
        .Prop(u"AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue, 255)
        .Prop(u"BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
              TBorderIcons{biSystemMenu, biMinimize, biMaximize})
        .Prop(u"BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, bsSizeable)
        .Prop(u"ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
        .Prop(u"ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
        .Prop(u"FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, fsNormal)
        .Prop(u"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
        .Prop(u"PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch, 96)
        .Prop(u"PopupMode", &TCustomForm::PopupMode, &TCustomForm::SetPopupMode, pmNone)
        .Component<TCustomForm>(u"PopupParent", &TCustomForm::PopupParent, &TCustomForm::SetPopupParent)
        .Prop(u"Position", &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned)
        .Prop(u"Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true)
        .Prop(u"TransparentColor", &TCustomForm::TransparentColor, &TCustomForm::SetTransparentColor, false)
        .Color(u"TransparentColorValue", &TCustomForm::TransparentColorValue,
               &TCustomForm::SetTransparentColorValue, clBlack)
        .Prop(u"WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, wsNormal);
    RegisterClass<TForm, TCustomForm>(u"TForm");
    RegisterClass<TFrame, TWinControl>(u"TFrame");
    RegisterClass<TTimer, TComponent>(u"TTimer")
        .Prop(u"Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
        .Prop(u"Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
    RegisterQvStdCtrls();
}
