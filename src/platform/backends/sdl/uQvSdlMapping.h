#pragma once
// What SDL reports, in our window system's terms: keys as virtual-key codes with their
// scan codes, text events as characters or input-method messages, window events as what
// a window manager asks of a window, the wheel in 1/120 notches, the dpi of a display, the
// cursor shapes and the kind of native window a top-level window needs. Pure functions
// (and two small state machines), so they are tested without a display.

#include <SDL.h>

#include <string_view>
#include <vector>

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvWinTypes.h"

// ---- Keys ------------------------------------------------------------------------------

struct TQvSdlKey {
    int Vk = 0;  // 0: no key of ours
    UINT Scan = 0;
    bool Extended = false;
    bool operator==(const TQvSdlKey&) const = default;
};

// Letters follow the layout (the key that types 'a' is 'A' wherever it sits), the rest
// follows the key's position; the keypad gives digits with Num Lock on and the navigation
// keys without. Both Shift, Ctrl and Alt keys give VK_SHIFT, VK_CONTROL and VK_MENU (the
// right-hand Ctrl and Alt extended).
TQvSdlKey QvSdlMapKey(SDL_Scancode Code, SDL_Keycode Sym, Uint16 Mods);

// ---- Text ------------------------------------------------------------------------------

// What one SDL text event becomes.
struct TQvSdlTextAction {
    enum TKind { None, Chars, Composition, Commit } Kind = None;
    String Text;
    bool operator==(const TQvSdlTextAction&) const = default;
};

// SDL_TEXTEDITING shows the composition in progress and SDL_TEXTINPUT commits. A single
// character typed without a composition is a plain character (WM_CHAR); a commit that ends
// a composition, or brings several characters at once, goes through the input method's
// messages. Text typed with the left Alt key held is dropped: the key itself becomes the
// WM_SYSCHAR of a mnemonic.
class TQvSdlTextState {
public:
    TQvSdlTextAction Editing(std::string_view Utf8);
    TQvSdlTextAction Input(std::string_view Utf8, Uint16 Mods);
    bool Composing() const { return FComposing; }

private:
    bool FComposing = false;
};

// ---- Window events ---------------------------------------------------------------------

// What a window event of a native window asks of its top-level window, whose styles are
// Style. Minimize, maximize and restore the window system did itself come back as events
// too; they ask for nothing.
struct TQvSdlWmRequest {
    enum TKind { None, Focus, Unfocus, SysCommand, Moved, Sized, Expose, Enter, Leave } Kind = None;
    UINT Command = 0;  // SysCommand: SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE
    int A = 0;         // Moved: x, y; Sized: width, height (native coordinates)
    int B = 0;
    bool operator==(const TQvSdlWmRequest&) const = default;
};
TQvSdlWmRequest QvSdlWindowRequest(const SDL_WindowEvent& Event, DWORD Style);

// ---- Wheel -----------------------------------------------------------------------------

// Precise wheel motion in 1/120 notches, keeping the fractions a touchpad sends until they
// make a whole unit.
class TQvSdlWheel {
public:
    // Positive away from the user (vertical) or to the right (horizontal).
    int Add(float Notches);

private:
    double FRest = 0;
};

// ---- Displays --------------------------------------------------------------------------

// Xft.dpi of an X resource database text (XResourceManagerString); 0 when it is absent or
// not a number from 48 to 960.
UINT QvXftDpi(std::string_view Resources);
// A display's dpi: what SDL measured (0 or less: it could not tell) snapped to the steps of
// 24 a desktop scales by, else Xft.dpi, else 96.
UINT QvSdlChooseDpi(float Measured, std::string_view Resources);

// ---- Cursors ---------------------------------------------------------------------------

// The SDL cursor for a standard cursor id (IDC_*); others give the arrow.
SDL_SystemCursor QvSdlCursorFor(int CursorId);

// ---- Native windows --------------------------------------------------------------------

enum TQvSdlKind {
    skNormal,     // has a taskbar entry
    skOwned,      // no taskbar entry, kept above its owner
    skPopupMenu,  // menus: placed exactly, never focused by the window manager
    skTooltip,    // hints, tips, drop-downs, windows that never activate
};
// The taskbar entry follows WS_EX_APPWINDOW, or being unowned without WS_EX_TOOLWINDOW;
// menus, windows that never activate and frameless topmost tool popups (hints, tips,
// drop-down lists) are placed by us alone. A frameless form is a normal or owned window,
// so it keeps the keyboard.
TQvSdlKind QvSdlKindOf(DWORD Style, DWORD ExStyle, bool Owned, bool MenuClass);
// The SDL_CreateWindow flags of a kind (borderless and hidden included).
Uint32 QvSdlKindFlags(TQvSdlKind Kind);

// ---- Pixels ----------------------------------------------------------------------------

// Premultiplied pixels over an opaque colour (0xRRGGBB), for a display that cannot show
// alpha: each colour byte becomes s + u * (255 - a) / 255 rounded to nearest, alpha 255.
void QvSdlOverUnderlay(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t Underlay);
// The pixels for which Keep(pixel) holds, as a region in the bitmap's coordinates.
template <typename F>
TQvRegion QvSdlPixelsWhere(const TGdiBitmap& Px, F Keep) {
    TQvRegionBuilder B;
    std::vector<int> Xs;
    for (int Y = 0; Y < Px.Height(); ++Y) {
        const uint32_t* Row = Px.Row(Y);
        Xs.clear();
        for (int X = 0; X < Px.Width();) {
            while (X < Px.Width() && !Keep(Row[X])) ++X;
            if (X == Px.Width()) break;
            Xs.push_back(X);
            while (X < Px.Width() && Keep(Row[X])) ++X;
            Xs.push_back(X);
        }
        B.AddBand(Y, Y + 1, Xs.data(), Xs.size());
    }
    return B.Finish();
}
// The pixels of a window that are not its colour key (0xRRGGBB), in window coordinates:
// the shape that makes the key's pixels transparent.
TQvRegion QvSdlKeyShape(const TGdiBitmap& Pixels, uint32_t Key);
