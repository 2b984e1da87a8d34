#pragma once
// Device contexts: memory DCs over bitmaps, their state, origins and clipping. Window and
// screen DCs come from the window system (GetDC, BeginPaint) and behave the same.
//
// Calls taking an unknown DC fail by result (0, FALSE, ERROR or CLR_INVALID) and change
// nothing.

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDevice.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiRegions.h"

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
enum : UINT {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
    TA_RTLREADING = 256,
    GDI_ERROR = 0xFFFFFFFF,
};

// A memory DC with the default pen, brush and font and no bitmap: it draws nowhere until
// a bitmap is selected. Dc is not used (every DC draws 32-bit pixels).
HDC CreateCompatibleDC(HDC Dc);
// Frees a DC made by CreateCompatibleDC or the window system; the objects selected into
// it are released (deleted ones are freed now).
BOOL DeleteDC(HDC Dc);
// Selects a bitmap (memory DCs only), pen, brush or font and returns the one it replaces;
// a region becomes the clip region (as SelectClipRgn) and the complexity is returned as a
// handle value. 0 on failure.
HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object);
// The selected object of an OBJ_* type (OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP), or 0.
HGDIOBJ GetCurrentObject(HDC Dc, UINT Type);

// Saves the state and returns the new save level (1 for the first), 0 on failure.
int SaveDC(HDC Dc);
// Restores the state saved at level Level (positive) or Level levels back (negative; -1 =
// the last SaveDC); the levels above it are dropped. FALSE for a level that does not exist.
BOOL RestoreDC(HDC Dc, int Level);

// The logical point shown at device (0, 0) when the viewport origin is (0, 0).
BOOL SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetWindowOrgEx(HDC Dc, POINT* Org);
BOOL OffsetWindowOrgEx(HDC Dc, int DX, int DY, POINT* Old);
// The device point where the window origin is shown.
BOOL SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC Dc, POINT* Org);
BOOL OffsetViewportOrgEx(HDC Dc, int DX, int DY, POINT* Old);
// Converts between logical and device coordinates in place.
BOOL LPtoDP(HDC Dc, POINT* Points, int Count);
BOOL DPtoLP(HDC Dc, POINT* Points, int Count);

// The application clip, in device coordinates; a null region removes it. Returns the
// complexity of the resulting effective clip, ERROR on failure.
int SelectClipRgn(HDC Dc, HRGN Rgn);
// Combines the clip with Rgn (device coordinates) by RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or
// RGN_COPY; without a clip the device's whole area takes its place. A null Rgn is only
// valid with RGN_COPY (removes the clip).
int ExtSelectClipRgn(HDC Dc, HRGN Rgn, int Mode);
// Narrow the clip by a rectangle in logical coordinates.
int IntersectClipRect(HDC Dc, int L, int T, int R, int B);
int ExcludeClipRect(HDC Dc, int L, int T, int R, int B);
// Moves the clip by a logical offset.
int OffsetClipRgn(HDC Dc, int DX, int DY);
// The box of the effective clip (visible region and clip) in logical coordinates, and its
// complexity.
int GetClipBox(HDC Dc, RECT* Box);
// Copies the application clip (device coordinates) into Rgn: 1 when there is one, 0 when
// there is none (Rgn unchanged), -1 on failure.
int GetClipRgn(HDC Dc, HRGN Rgn);
// Whether a logical point or any pixel of a logical rectangle is inside the effective clip.
BOOL PtVisible(HDC Dc, int X, int Y);
BOOL RectVisible(HDC Dc, const RECT* R);

COLORREF SetTextColor(HDC Dc, COLORREF Color);
COLORREF GetTextColor(HDC Dc);
COLORREF SetBkColor(HDC Dc, COLORREF Color);
COLORREF GetBkColor(HDC Dc);
// TRANSPARENT or OPAQUE; returns the previous mode, 0 for another value.
int SetBkMode(HDC Dc, int Mode);
int GetBkMode(HDC Dc);
// ALTERNATE or WINDING; returns the previous mode, 0 for another value.
int SetPolyFillMode(HDC Dc, int Mode);
int GetPolyFillMode(HDC Dc);
// R2_*; returns the previous mode, 0 for another value.
int SetROP2(HDC Dc, int Mode);
int GetROP2(HDC Dc);
// The brush origin in device coordinates: pattern pixel (x, y) of a device point is
// ((x - X) mod 8, (y - Y) mod 8).
BOOL SetBrushOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetBrushOrgEx(HDC Dc, POINT* Org);
UINT SetTextAlign(HDC Dc, UINT Align);
UINT GetTextAlign(HDC Dc);
int SetTextCharacterExtra(HDC Dc, int Extra);
int GetTextCharacterExtra(HDC Dc);
// The colours of the stock DC_BRUSH and DC_PEN while selected into this DC.
COLORREF SetDCBrushColor(HDC Dc, COLORREF Color);
COLORREF GetDCBrushColor(HDC Dc);
COLORREF SetDCPenColor(HDC Dc, COLORREF Color);
COLORREF GetDCPenColor(HDC Dc);
// The window of a window DC, 0 for memory DCs.
HWND WindowFromDC(HDC Dc);
