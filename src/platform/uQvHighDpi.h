#pragma once
// The process-wide high-DPI switch and the screen's pixels per inch, beside the
// per-monitor dpi of the window system.

// Whether sizes given at 96 pixels per inch are scaled for the monitors' pixels per inch.
// Off until the program's start-up turns it on; while off every DPI helper returns its
// input unchanged.
extern bool HighDPIEnabled;

// The screen's pixels per inch: the primary monitor's effective dpi, 96 when the window
// system knows no monitor.
int ScreenPixelsPerInch();
