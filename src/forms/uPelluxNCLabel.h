#pragma once
// The title-bar caption label: the form's caption (or any text) drawn in the title strip,
// optionally with a glow and cut to a width with an ellipsis. A press on it drags the window
// while CaptureMouse is set.

#include "forms/uPelluxNCCtrlBase.h"

class TPelluxNCLabel : public TPelluxNCCtrlBase {
public:
    explicit TPelluxNCLabel(TComponent* AOwner);

    const String& Caption() const { return FCaption; }
    // Always measures again, even for the same text.
    void SetCaption(const String& Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TQvLightClass* Light() const { return FLight.get(); }
    void SetLight(const TQvLightClass* Value) { FLight->Assign(Value); }
    bool CaptureMouse() const { return FCaptureMouse; }
    void SetCaptureMouse(bool Value) { FCaptureMouse = Value; }
    // Antialiased text output instead of the platform's.
    bool RenderText() const { return FRenderText; }
    void SetRenderText(bool Value);
    // 0: as wide as the text.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);

    int GetWidth() override;
    int GetHeight() override;
    void LMouseDown() override;
    void Paint(TSurface32* Surface) override;
    void DPIChanged() override;

private:
    // The font scaled for the form's dpi.
    void ScaledFont(TFont* Into) const;
    void Measure();
    void ResetSize();

    String FCaption;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TQvLightClass> FLight;
    bool FCaptureMouse = true;
    bool FRenderText = false;
    int FMaxWidth = 0;
    TEllipsisPosition FEllipsisPosition = epNone;
    int FWidth = 0;
    int FHeight = 0;
    bool FResetSize = true;
};

// The press on a label or a picture that starts dragging the form's window.
void StartNCDrag(TCustomForm* Form);

// Registers the label for stored layouts.
void RegisterPelluxNCLabel();
