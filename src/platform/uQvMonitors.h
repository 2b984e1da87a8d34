#pragma once
// Monitors, work areas and dpi of the virtual screen (primary monitor at (0, 0)), system
// metrics, and the process-local system parameters.

#include "platform/uQvWinTypes.h"

HMONITOR MonitorFromPoint(POINT Point, DWORD Flags);
// The monitor with the largest intersection; Flags decide when there is none.
HMONITOR MonitorFromRect(const RECT* Rect, DWORD Flags);
HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags);
BOOL GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info);
// Monitors in the backend's order, the primary first.
int QvMonitorCount();
HMONITOR QvMonitorAt(int Index);

// MDT_EFFECTIVE_DPI only; returns 0 on success.
int GetDpiForMonitor(HMONITOR Monitor, int Type, UINT* DpiX, UINT* DpiY);
// The dpi of the monitor the window's top-level window lies on (0 for a dead handle).
UINT GetDpiForWindow(HWND Wnd);

// The values at 96 dpi.
int GetSystemMetrics(int Index);
// At Dpi (0: 96): scroll bar sizes, SM_CYCAPTION, the sizing frame and the minimum track
// size scale with MulDiv(value, Dpi, 96); every other metric is as GetSystemMetrics gives it.
int GetSystemMetricsForDpi(int Index, UINT Dpi);
// SPI_GETWORKAREA (primary work area), SPI_GET/SETDRAGFULLWINDOWS (default on),
// SPI_GET/SETWHEELSCROLLLINES (3), SPI_GET/SETMOUSEHOVERWIDTH, HEIGHT (4) and TIME (400 ms;
// new values in UiParam), SPI_GET/SETMENUANIMATION, SPI_GET/SETMENUFADE and
// SPI_GET/SETSELECTIONFADE. Settings are kept for this process only.
BOOL SystemParametersInfo(UINT Action, UINT UiParam, void* PvParam, UINT WinIni);

// The backend's monitors changed: re-read them; windows now on a monitor of another dpi get
// WM_DPICHANGED.
void QvMonitorsChanged();
