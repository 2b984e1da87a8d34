#pragma once
// The composed screen: every shown top-level window over the desktop colour, bottom to top
// in z-order, as the user sees it.
//
// Normal windows are copied opaque within their region whatever the alpha bytes of their
// backing bitmap. A layered window with a constant alpha a blends each colour byte as
// (s * a + d * (255 - a) + 127) / 255, and its colour-key pixels are left out. Pushed
// premultiplied pixels with constant alpha k blend as
// d = s * k / 255 + d * (255 - A * k / 255) / 255 (each quotient rounded to nearest, A the
// pixel's alpha). Minimized and hidden windows are not shown. The screen is opaque: every
// alpha byte is 255.
//
// Only the parts that changed are composed again: what window DCs drew (counted when the
// DC is released), windows that moved, were shown, hidden, restacked, reshaped or changed
// their layered settings. The backend hears about the changed parts when the message loop
// is about to wait and during AnimateWindow.

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvWinTypes.h"

// The desktop colour under all windows.
inline constexpr uint32_t QvDesktopPixel = 0xFF808080;

// "DISPLAY" (in any case) as the driver gives a DC on the composed screen, with screen
// coordinates (the primary monitor's top-left at 0, 0); other drivers give 0. Reading it
// gives the screen as composed when the DC was made. Free with DeleteDC.
HDC CreateDCW(LPCWSTR Driver, LPCWSTR Device, LPCWSTR Output, const void* InitData);
inline HDC CreateDC(LPCWSTR Driver, LPCWSTR Device, LPCWSTR Output, const void* InitData) {
    return CreateDCW(Driver, Device, Output, InitData);
}

// Composes a part of the screen (screen coordinates; null: all of it) again and presents
// it, for a backend whose display lost what it showed.
void QvScreenInvalidate(const RECT* Screen);

// The virtual screen (every monitor) in screen coordinates.
RECT QvScreenBounds();
// The screen composed up to date; pixel (0, 0) is the top-left of QvScreenBounds().
const TGdiBitmap& QvComposedScreen();
// Writes the composed screen as a PNG file; throws EQvError when it cannot be written.
void QvSaveScreenshot(const String& FileName);
