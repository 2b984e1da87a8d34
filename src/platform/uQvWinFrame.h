#pragma once
// The plain frame a window gets from its styles (WS_CAPTION, WS_THICKFRAME, WS_BORDER /
// WS_DLGFRAME) as pure geometry, so it is tested without pixels: frame metrics, the client
// rectangle, hit zones, and the rectangle the move/size loop proposes while sizing.

#include "platform/uQvWinTypes.h"

struct TQvFrameMetrics {
    int Border = 0;   // frame width on every side
    int Caption = 0;  // caption height below the top border
};
TQvFrameMetrics QvFrameMetrics(DWORD Style, UINT Dpi);
// The client rectangle of a window rectangle.
RECT QvFrameClientRect(const RECT& Window, const TQvFrameMetrics& M);
// Hit code of a screen point for a window at Window (screen): sizing borders and corners
// (WS_THICKFRAME), HTBORDER, the close box at the right end of the caption, the caption,
// the client area; HTNOWHERE outside.
int QvFrameHitTest(const RECT& Window, POINT Point, DWORD Style, const TQvFrameMetrics& M);
// Start with the edges named by Edge (WMSZ_LEFT .. WMSZ_BOTTOMRIGHT) moved by (Dx, Dy),
// the size then kept within the track sizes while the opposite edges stay still.
RECT QvSizedRect(const RECT& Start, UINT Edge, int Dx, int Dy, POINT MinTrack, POINT MaxTrack);
// Grows a client rectangle to the window rectangle of a window with these styles.
BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);
BOOL AdjustWindowRectExForDpi(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle, UINT Dpi);
