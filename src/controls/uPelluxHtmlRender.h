#pragma once
// The markup engine of the HTML label: a small HTML-like text (bold, italic, underline,
// strike-out, font colour and relative size, superscript and subscript, rules, line
// breaks, a few character references, links) laid out line by line from the left edge
// of a rectangle. One parse serves four modes: draw, measure the height, measure the
// width, and find the link under a point.

#include "framework/uQvGraphics.h"

enum THtmlRenderMode { hrDraw, hrMeasureHeight, hrMeasureWidth, hrHitTest };

// The normal look, and the disabled one, which ignores the colours of the markup.
inline constexpr int HtmlLookNormal = 0;
inline constexpr int HtmlLookDisabled = 4;

struct THtmlRenderResult {
    // The point lies on a link (hit-test and draw), and its name.
    bool Hovered = false;
    String LinkName;
    // Measure width: the widest line + 1 (the text height + 1 for no width at all).
    int Width = 0;
    // Measure height: where the text ends below Rect's top.
    int Height = 0;
};

struct THtmlRenderParams {
    int Look = HtmlLookNormal;
    // Scales rule widths for looks that ask for it (neither of the two above does).
    int Percent = 100;
    // The colour of the link under Mouse.
    TColor HotColor = RGB(255, 0, 0);
    // Font scale of superscript and subscript runs.
    double ScriptRatio = 2.0 / 3.0;
    // (0, 0) stands for no pointer.
    TPoint Mouse{0, 0};
};

// Lays Text out in Rect in the canvas's font (which it changes on the way and restores).
THtmlRenderResult HtmlRender(TCanvas* Canvas, const TRect& Rect, const THtmlRenderParams& Params,
                             THtmlRenderMode Mode, const String& Text);
