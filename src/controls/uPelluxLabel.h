#pragma once
// Labels: a panel that draws one text with alignment, word wrap, ellipsis and glow, and
// that takes the size of its caption while AutoSize holds. TQvURLButton is the link
// label: no background, a hot font while hovered, the hand pointer.

#include <memory>

#include "controls/uPelluxPanel.h"
#include "framework/uQvStdCtrls.h"

enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

class TPelluxCustomLabel : public TPelluxCustomPanel {
public:
    explicit TPelluxCustomLabel(TComponent* AOwner);
    ~TPelluxCustomLabel() override;

    // Setting it also ends AutoSize: an ellipsis only shows on a fixed size.
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);
    TAlignment AlignmentHorizontal() const { return FAlignmentHorizontal; }
    void SetAlignmentHorizontal(TAlignment Value);
    TVerticalAlignment AlignmentVertical() const { return FAlignmentVertical; }
    void SetAlignmentVertical(TVerticalAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // A rounded, antialiased Color fill instead of the panel background.
    bool RoundBackground() const { return FRoundBackground; }
    void SetRoundBackground(bool Value);
    int RoundSize() const { return FRoundSize; }
    void SetRoundSize(int Value) { FRoundSize = Value; }
    TQvLightClass* Light() const { return FLight.get(); }
    // Copies the glow's values; nil is ignored.
    void SetLight(const TQvLightClass* Value);
    // Word wrap (the stored name keeps its historical spelling).
    bool WordWap() const { return FWordWap; }
    void SetWordWap(bool Value) { FWordWap = Value; }

    void WndProc(TMessage& Message) override;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    virtual void DrawCaption(TSurface32* Bitmap);
    // Width and height of the caption in Font, unless reading, AutoSize off or a round
    // background.
    virtual void UpdateAutoSize();
    // The horizontal and vertical DT_* flags of the two alignments.
    UINT AlignmentFlags() const;
    void Loaded() override;
    void FontChanged() override;
    // The scaled bounds of a new scale round the text's own size: measure again.
    void ScaledForPPI(int NewPPI) override;

private:
    TEllipsisPosition FEllipsisPosition = epNone;
    TAlignment FAlignmentHorizontal = taLeftJustify;
    TVerticalAlignment FAlignmentVertical = taAlignTop;
    bool FAutoSize = true;
    bool FRoundBackground = false;
    int FRoundSize = 5;
    std::unique_ptr<TQvLightClass> FLight;
    bool FWordWap = false;
};

class TPelluxLabel : public TPelluxCustomLabel {
public:
    explicit TPelluxLabel(TComponent* AOwner) : TPelluxCustomLabel(AOwner) {}
};

// A link label: only its text, in FontHot while the pointer is over it.
class TQvURLButton : public TPelluxLabel {
public:
    explicit TQvURLButton(TComponent* AOwner);
    ~TQvURLButton() override;

    TFont* FontHot() const { return FFontHot.get(); }
    void SetFontHot(const TFont* Value) { FFontHot->Assign(Value); }
    bool MouseInside() const { return FMouseInside; }

    void Click() override;

protected:
    void DrawSkin(TSurface32* Buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;

private:
    std::unique_ptr<TFont> FFontHot;
    bool FMouseInside = false;
};

// Registers the label classes for stored layouts. Calling it again does nothing.
void RegisterPelluxLabels();
