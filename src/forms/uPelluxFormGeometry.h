#pragma once
// The non-client layout of a skinned form as pure functions: the title bar and the frame,
// the client rectangle the window system is told, the hit zones, the maximize and track
// sizes, and the shape of the window region. Nothing here touches a window, so each rule is
// tested on its own; the form skin feeds them its window's sizes.

#include "platform/uQvGeometry.h"
#include "platform/uQvWinTypes.h"

// What the skin reserves around the client area, in pixels.
struct TQvNCMetrics {
    int Title = 0;  // title bar height at the top (already scaled for the dpi)
    int Frame = 0;  // left, right and bottom frame width (0 while maximized)
};

// The title bar (0, 0, W, T) of a window W wide.
TRect SkinTitleRect(int Width, const TQvNCMetrics& M);
// The client area (F, T, W - F, H - F) in window coordinates.
TRect SkinClientArea(int Width, int Height, const TQvNCMetrics& M);
// The answer to WM_NCCALCSIZE: the proposed window rectangle shrunk by the frame and the
// title; a window smaller than its frame gets an empty client rectangle, never an inverted one.
RECT SkinCalcClientRect(const RECT& Proposed, const TQvNCMetrics& M);

struct TQvHitZones {
    int Width = 0;
    int Height = 0;
    // The width of the resize bands along the edges.
    int HitTestWidth = 5;
    // Sizeable or sizeable tool window.
    bool Resizable = true;
    bool Maximized = false;
};

// The hit code of P (window coordinates): the eight resize bands (only for a resizable
// window that is not maximized), then the title bar, then the client area, else HTNOWHERE.
int SkinHitTest(TPoint P, const TQvHitZones& Zones, const TQvNCMetrics& M);
// One of HTLEFT .. HTBOTTOMRIGHT.
bool IsSizingHit(int Code);

struct TQvMinMaxInput {
    TRect Monitor;  // the form's monitor, screen coordinates
    TRect Work;     // its work area, screen coordinates
    // The form was designed maximized: its maximized height is one short of the work area
    // until the first show grows it by one.
    bool DesignedMaximized = false;
    int Title = 0;  // title bar height in pixels
    bool FlatFrame = false;
    // The form's size constraints; 0 where none is set.
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// Edits the structure WM_GETMINMAXINFO carries. The maximized position is the work area's
// top-left relative to the form's own monitor, so a form maximizes into the work area of
// whichever monitor holds it.
void SkinMinMaxInfo(MINMAXINFO& Info, const TQvMinMaxInput& In);

enum TQvRegionShape {
    rsRectangle,     // maximized, or not round
    rsRoundCorners,  // all four corners cut
    rsRoundTop,      // only the top corners cut
};

TQvRegionShape SkinRegionShape(bool RoundWindow, bool Maximized, int Frame, bool FlatFrame);
// A new region of that shape for a W x H window (the caller hands it on or deletes it).
HRGN CreateSkinRegion(TQvRegionShape Shape, int Width, int Height);
