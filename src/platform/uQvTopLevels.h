#pragma once
// What a backend that shows top-level windows natively reads of them, and the bookkeeping
// that tells it what changed (TQvBackend's Window* calls).

#include "platform/uQvBackend.h"
#include "platform/uQvGdiBitmaps.h"

// The window as the backend hears of it; Handle is 0 for no top-level window.
TQvTopLevel QvDescribeTopLevel(HWND Handle);
// The pixels a top-level window shows, in window coordinates: what it pushed when it is
// TQvTopLevel::Pushed (null until something was pushed), else its backing bitmap. Colour
// bytes are valid; alpha bytes only for pushed per-pixel ones (premultiplied). The bitmap
// lives until the window next changes size, pushes pixels or is destroyed.
const TGdiBitmap* QvTopLevelPixels(HWND Handle);
