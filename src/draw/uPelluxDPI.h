#pragma once
// Scaling of sizes given at 96 pixels per inch for the pixels per inch of a control, of
// the screen or of a given value. While HighDPIEnabled is off every helper returns its
// input unchanged.

#include <functional>

#include "platform/uQvGeometry.h"
#include "platform/uQvHighDpi.h"

class TComponent;
class TControl;
class TFont;

// --- by a pixels-per-inch value ---
// 1.0 while HighDPIEnabled is off, else PixelsPerInch / 96.
double DPIScaleOf(int PixelsPerInch);
// Value while HighDPIEnabled is off, else MulDiv(Value, PixelsPerInch, 96) (halves away
// from zero).
int ScaleValueByPPI(int Value, int PixelsPerInch);

// --- by a control or component ---
// The control that stands in for a nil control in GetDPIScale. Without a source set here
// it is the application's main form, else the screen's active form; when that is nil,
// the screen's pixels per inch are used. Tests set a source of their own.
void SetDefaultDPIControlSource(std::function<const TControl*()> Source);

// 1.0 while HighDPIEnabled is off; otherwise the control's current pixels per inch (a nil
// control: the default control's, else the screen's) divided by 96.
double GetDPIScale(const TControl* Control);
// Value while HighDPIEnabled is off; otherwise MulDiv(Value, ppi, 96) with the current
// pixels per inch of the component when it is a control, the screen's otherwise (nil
// included).
int ScaleByDPI(const TComponent* Component, int Value);
// Both coordinates of Size through ScaleByDPI.
void ScalePointByDPI(const TControl* Control, const TPoint& Size, TPoint& Point);
// GetDPIScale(nullptr) > 1.
bool IsHighDPI();
// When HighDPIEnabled: Font's size (points) through ScaleByDPI.
void ScaleFontByDPI(const TComponent* Component, TFont* Font);
// When HighDPIEnabled: Target takes Source's font but keeps its own style and colour.
void CopyFontKeepStyle(const TFont* Source, TFont* Target);
