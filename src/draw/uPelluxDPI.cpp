#include "draw/uPelluxDPI.h"

#include "framework/uQvApplication.h"
#include "framework/uQvControl.h"
#include "framework/uQvForms.h"
#include "framework/uQvGraphics.h"
#include "platform/uQvBase.h"

namespace {

std::function<const TControl*()>& DefaultControlSource() {
    static std::function<const TControl*()> Source;
    return Source;
}

// The application's main form, else the screen's active form.
const TControl* ApplicationDPIControl() {
    if (Application != nullptr && Application->MainForm() != nullptr) return Application->MainForm();
    if (Screen != nullptr) return Screen->ActiveForm();
    return nullptr;
}

int ComponentPPI(const TComponent* Component) {
    if (const auto* Control = dynamic_cast<const TControl*>(Component)) return Control->CurrentPPI();
    return ScreenPixelsPerInch();
}

}  // namespace

double DPIScaleOf(int PixelsPerInch) {
    return HighDPIEnabled ? PixelsPerInch / 96.0 : 1.0;
}

int ScaleValueByPPI(int Value, int PixelsPerInch) {
    return HighDPIEnabled ? MulDiv(Value, PixelsPerInch, 96) : Value;
}

void SetDefaultDPIControlSource(std::function<const TControl*()> Source) {
    DefaultControlSource() = std::move(Source);
}

double GetDPIScale(const TControl* Control) {
    if (!HighDPIEnabled) return 1.0;
    if (Control == nullptr) Control = DefaultControlSource() ? DefaultControlSource()() : ApplicationDPIControl();
    return DPIScaleOf(Control != nullptr ? Control->CurrentPPI() : ScreenPixelsPerInch());
}

int ScaleByDPI(const TComponent* Component, int Value) {
    return HighDPIEnabled ? ScaleValueByPPI(Value, ComponentPPI(Component)) : Value;
}

void ScalePointByDPI(const TControl* Control, const TPoint& Size, TPoint& Point) {
    Point = TPoint{ScaleByDPI(Control, Size.X), ScaleByDPI(Control, Size.Y)};
}

bool IsHighDPI() {
    return GetDPIScale(nullptr) > 1.0;
}

void ScaleFontByDPI(const TComponent* Component, TFont* Font) {
    if (!HighDPIEnabled || Font == nullptr) return;
    Font->SetSize(ScaleByDPI(Component, Font->Size()));
}

void CopyFontKeepStyle(const TFont* Source, TFont* Target) {
    if (!HighDPIEnabled || Source == nullptr || Target == nullptr || Source == Target) return;
    const TFontStyles Style = Target->Style();
    const TColor Color = Target->Color();
    Target->Assign(Source);
    Target->SetStyle(Style);
    Target->SetColor(Color);
}
