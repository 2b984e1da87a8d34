#pragma once
// TPelluxHtmlLabel: a label whose caption is a small HTML-like markup (see
// uPelluxHtmlRender.h). The text block is placed by the two alignments; links turn the
// hot colour under the pointer, show the hand pointer and raise OnHyperLinkClick when
// released on with one of HyperLinkMouseButtons.

#include "controls/uPelluxLabel.h"
#include "controls/uPelluxHtmlRender.h"

using TPelluxHTLabelMouseButtons = TSet<TMouseButton>;
using TPelluxHyperLinkClickEvent = std::function<void(TObject* Sender, const String& LinkName)>;

class TPelluxCustomHtmlLabel : public TPelluxCustomLabel {
public:
    explicit TPelluxCustomHtmlLabel(TComponent* AOwner) : TPelluxCustomLabel(AOwner) {}

    TPelluxHTLabelMouseButtons HyperLinkMouseButtons() const { return FHyperLinkMouseButtons; }
    void SetHyperLinkMouseButtons(TPelluxHTLabelMouseButtons Value) { FHyperLinkMouseButtons = Value; }
    TColor HyperLinkFontHotColor() const { return FHyperLinkFontHotColor; }
    void SetHyperLinkFontHotColor(TColor Value);
    // Where the text block starts, as the last paint placed it.
    TRect LayoutRect() const { return FLayoutRect; }
    // The link under the pointer, empty when none.
    const String& HoveredLink() const { return FOldLinkName; }

    TPelluxHyperLinkClickEvent OnHyperLinkClick;

protected:
    void DrawCaption(TSurface32* Bitmap) override;
    void UpdateAutoSize() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeft() override;

private:
    THtmlRenderParams Params() const;
    // Lays the caption out in Font on Canvas in Mode.
    THtmlRenderResult Render(TCanvas* Canvas, const TRect& R, THtmlRenderMode Mode, THtmlRenderParams P);
    // The link at the recorded pointer position.
    THtmlRenderResult HitTest();

    TPelluxHTLabelMouseButtons FHyperLinkMouseButtons{mbLeft};
    TColor FHyperLinkFontHotColor = RGB(255, 0, 0);
    TRect FLayoutRect;
    bool FHyperlinkHovered = false;
    int FMouseX = 0;
    int FMouseY = 0;
    double FSuperSubScriptRatio = 2.0 / 3.0;
    String FOldLinkName;
};

class TPelluxHtmlLabel : public TPelluxCustomHtmlLabel {
public:
    explicit TPelluxHtmlLabel(TComponent* AOwner) : TPelluxCustomHtmlLabel(AOwner) {}
};

void RegisterPelluxHtmlLabel();
