#include "platform/uQvHighDpi.h"

#include "platform/uQvMonitors.h"

bool HighDPIEnabled = false;

int ScreenPixelsPerInch() {
    UINT X = 0, Y = 0;
    if (QvMonitorCount() > 0 && GetDpiForMonitor(QvMonitorAt(0), MDT_EFFECTIVE_DPI, &X, &Y) == 0 && X > 0)
        return static_cast<int>(X);
    return 96;
}
