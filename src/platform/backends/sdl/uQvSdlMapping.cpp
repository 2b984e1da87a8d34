#include "platform/backends/sdl/uQvSdlMapping.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/uQvBase.h"

namespace {

// Virtual keys the window system's types do not name.
constexpr int VkSnapshot = 0x2C, VkLWin = 0x5B, VkRWin = 0x5C, VkNumLock = 0x90, VkScroll = 0x91;
constexpr int VkOem1 = 0xBA, VkOemPlus = 0xBB, VkOemComma = 0xBC, VkOemMinus = 0xBD, VkOemPeriod = 0xBE,
              VkOem2 = 0xBF, VkOem3 = 0xC0, VkOem4 = 0xDB, VkOem5 = 0xDC, VkOem6 = 0xDD, VkOem7 = 0xDE,
              VkOem102 = 0xE2;

// The set-1 scan codes of the letters A..Z and the digits 1..9, 0 in HID order.
constexpr UINT LetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                 0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct TEntry {
    SDL_Scancode Code;
    int Vk;
    UINT Scan;
    bool Extended;
};

constexpr TEntry Keys[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_MINUS, VkOemMinus, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VkOemPlus, 0x0D, false},
    {SDL_SCANCODE_LEFTBRACKET, VkOem4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VkOem6, 0x1B, false},
    {SDL_SCANCODE_BACKSLASH, VkOem5, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, VkOem5, 0x2B, false},
    {SDL_SCANCODE_SEMICOLON, VkOem1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VkOem7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VkOem3, 0x29, false},
    {SDL_SCANCODE_COMMA, VkOemComma, 0x33, false},
    {SDL_SCANCODE_PERIOD, VkOemPeriod, 0x34, false},
    {SDL_SCANCODE_SLASH, VkOem2, 0x35, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VkOem102, 0x56, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_F11, VK_F1 + 10, 0x57, false},
    {SDL_SCANCODE_F12, VK_F1 + 11, 0x58, false},
    {SDL_SCANCODE_PRINTSCREEN, VkSnapshot, 0x37, true},
    {SDL_SCANCODE_SCROLLLOCK, VkScroll, 0x46, false},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VkNumLock, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D, false},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A, false},
    {SDL_SCANCODE_LALT, VK_MENU, 0x38, false},
    {SDL_SCANCODE_LGUI, VkLWin, 0x5B, true},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36, false},
    {SDL_SCANCODE_RALT, VK_MENU, 0x38, true},
    {SDL_SCANCODE_RGUI, VkRWin, 0x5C, true},
};

// The keypad keys 1..9, 0 and '.': the digit with Num Lock on, else what the key's second
// label says (not extended, unlike the keys of the navigation block).
struct TPad {
    int Digit;
    int Nav;
    UINT Scan;
};
constexpr TPad Pad[] = {{VK_NUMPAD0 + 1, VK_END, 0x4F},  {VK_NUMPAD0 + 2, VK_DOWN, 0x50},  {VK_NUMPAD0 + 3, VK_NEXT, 0x51},
                        {VK_NUMPAD0 + 4, VK_LEFT, 0x4B}, {VK_NUMPAD0 + 5, 0x0C, 0x4C},     {VK_NUMPAD0 + 6, VK_RIGHT, 0x4D},
                        {VK_NUMPAD0 + 7, VK_HOME, 0x47}, {VK_NUMPAD0 + 8, VK_UP, 0x48},    {VK_NUMPAD0 + 9, VK_PRIOR, 0x49},
                        {VK_NUMPAD0, VK_INSERT, 0x52},   {VK_DECIMAL, VK_DELETE, 0x53}};

// Code points of a UTF-8 text (a malformed sequence counts as one).
size_t CodePoints(std::string_view Utf8) {
    size_t N = 0;
    for (unsigned char C : Utf8)
        if ((C & 0xC0) != 0x80) ++N;
    return N;
}

}  // namespace

TQvSdlKey QvSdlMapKey(SDL_Scancode Code, SDL_Keycode Sym, Uint16 Mods) {
    if (Sym >= 'a' && Sym <= 'z') {
        // The scan code stays the key's position's.
        const int I = static_cast<int>(Sym - 'a');
        const bool Letter = Code >= SDL_SCANCODE_A && Code <= SDL_SCANCODE_Z;
        return TQvSdlKey{'A' + I, Letter ? LetterScan[Code - SDL_SCANCODE_A] : LetterScan[I], false};
    }
    if (Code >= SDL_SCANCODE_A && Code <= SDL_SCANCODE_Z) {
        // A layout whose key types no Latin letter: the letter of its position.
        const int I = Code - SDL_SCANCODE_A;
        return TQvSdlKey{'A' + I, LetterScan[I], false};
    }
    if (Code >= SDL_SCANCODE_1 && Code <= SDL_SCANCODE_0) {
        const int I = Code - SDL_SCANCODE_1;  // 1..9, then 0
        return TQvSdlKey{I == 9 ? '0' : '1' + I, static_cast<UINT>(0x02 + I), false};
    }
    if (Code >= SDL_SCANCODE_F1 && Code <= SDL_SCANCODE_F10) {
        const int I = Code - SDL_SCANCODE_F1;
        return TQvSdlKey{VK_F1 + I, static_cast<UINT>(0x3B + I), false};
    }
    if (Code >= SDL_SCANCODE_KP_1 && Code <= SDL_SCANCODE_KP_PERIOD) {
        const TPad& P = Pad[Code - SDL_SCANCODE_KP_1];
        return TQvSdlKey{(Mods & KMOD_NUM) ? P.Digit : P.Nav, P.Scan, false};
    }
    for (const TEntry& E : Keys)
        if (E.Code == Code) return TQvSdlKey{E.Vk, E.Scan, E.Extended};
    return TQvSdlKey{};
}

TQvSdlTextAction TQvSdlTextState::Editing(std::string_view Utf8) {
    if (Utf8.empty()) {
        if (!FComposing) return {};
        FComposing = false;
        return TQvSdlTextAction{TQvSdlTextAction::Composition, String()};
    }
    FComposing = true;
    return TQvSdlTextAction{TQvSdlTextAction::Composition, Utf8ToString(Utf8)};
}

TQvSdlTextAction TQvSdlTextState::Input(std::string_view Utf8, Uint16 Mods) {
    const bool WasComposing = std::exchange(FComposing, false);
    if (Utf8.empty()) return {};
    if (!WasComposing && (Mods & KMOD_LALT) && !(Mods & KMOD_CTRL)) return {};
    const auto Kind = (!WasComposing && CodePoints(Utf8) == 1) ? TQvSdlTextAction::Chars : TQvSdlTextAction::Commit;
    return TQvSdlTextAction{Kind, Utf8ToString(Utf8)};
}

TQvSdlWmRequest QvSdlWindowRequest(const SDL_WindowEvent& E, DWORD Style) {
    using R = TQvSdlWmRequest;
    const bool Minimized = (Style & WS_MINIMIZE) != 0, Maximized = (Style & WS_MAXIMIZE) != 0;
    switch (E.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: return R{R::Focus};
        case SDL_WINDOWEVENT_FOCUS_LOST: return R{R::Unfocus};
        case SDL_WINDOWEVENT_CLOSE: return R{R::SysCommand, SC_CLOSE};
        case SDL_WINDOWEVENT_MINIMIZED: return Minimized ? R{} : R{R::SysCommand, SC_MINIMIZE};
        case SDL_WINDOWEVENT_MAXIMIZED: return Maximized ? R{} : R{R::SysCommand, SC_MAXIMIZE};
        // Our own restores (from minimized to maximized too) leave the window restored first.
        case SDL_WINDOWEVENT_RESTORED: return Minimized ? R{R::SysCommand, SC_RESTORE} : R{};
        case SDL_WINDOWEVENT_MOVED: return R{R::Moved, 0, E.data1, E.data2};
        case SDL_WINDOWEVENT_SIZE_CHANGED: return R{R::Sized, 0, E.data1, E.data2};
        case SDL_WINDOWEVENT_EXPOSED: return R{R::Expose};
        case SDL_WINDOWEVENT_ENTER: return R{R::Enter};
        case SDL_WINDOWEVENT_LEAVE: return R{R::Leave};
        default: return R{};
    }
}

int TQvSdlWheel::Add(float Notches) {
    FRest += static_cast<double>(Notches) * WHEEL_DELTA;
    const int Whole = RoundHalfEven(FRest);
    FRest -= Whole;
    return Whole;
}

UINT QvXftDpi(std::string_view Resources) {
    static constexpr std::string_view Name = "Xft.dpi:";
    for (size_t At = 0; At < Resources.size();) {
        size_t End = Resources.find('\n', At);
        if (End == std::string_view::npos) End = Resources.size();
        std::string_view Line = Resources.substr(At, End - At);
        At = End + 1;
        if (Line.substr(0, Name.size()) != Name) continue;
        const std::string Value(Line.substr(Name.size()));
        char* Stop = nullptr;
        const double Dpi = std::strtod(Value.c_str(), &Stop);
        while (Stop && (*Stop == ' ' || *Stop == '\t' || *Stop == '\r')) ++Stop;
        if (Stop == Value.c_str() || (Stop && *Stop != '\0') || !(Dpi >= 48 && Dpi <= 960)) return 0;
        return static_cast<UINT>(RoundHalfEven(Dpi));
    }
    return 0;
}

UINT QvSdlChooseDpi(float Measured, std::string_view Resources) {
    if (Measured > 0) {
        // A measured dpi is the monitor's physical one (an ordinary monitor measures 90 to
        // 110): it lands on the step within 6 of it, else the step below, never under 96.
        const int Step = static_cast<int>((static_cast<double>(Measured) + 6) / 24) * 24;
        return static_cast<UINT>(Step < 96 ? 96 : Step);
    }
    if (const UINT Xft = QvXftDpi(Resources)) return Xft;
    return USER_DEFAULT_SCREEN_DPI;
}

SDL_SystemCursor QvSdlCursorFor(int Id) {
    switch (Id) {
        case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
        case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
        case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
        case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
        case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
        case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
        case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
        case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
        case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
        case IDC_APPSTARTING: return SDL_SYSTEM_CURSOR_WAITARROW;
        default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

TQvSdlKind QvSdlKindOf(DWORD Style, DWORD ExStyle, bool Owned, bool MenuClass) {
    if (MenuClass) return skPopupMenu;
    if (ExStyle & WS_EX_NOACTIVATE) return skTooltip;
    // A thin border (a hint's) is no frame; a caption or a sizing border is.
    const bool Framed = (Style & WS_CAPTION) == WS_CAPTION || (Style & WS_THICKFRAME) != 0;
    if ((Style & WS_POPUP) && !Framed && (ExStyle & WS_EX_TOOLWINDOW) && (ExStyle & WS_EX_TOPMOST)) return skTooltip;
    if ((ExStyle & WS_EX_APPWINDOW) || (!Owned && !(ExStyle & WS_EX_TOOLWINDOW))) return skNormal;
    return skOwned;
}

Uint32 QvSdlKindFlags(TQvSdlKind Kind) {
    Uint32 F = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    switch (Kind) {
        case skNormal: break;
        case skOwned: F |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_UTILITY; break;
        case skPopupMenu: F |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR; break;
        case skTooltip: F |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR; break;
    }
    return F;
}

void QvSdlOverUnderlay(const uint32_t* Src, uint32_t* Dst, int Count, uint32_t Underlay) {
    for (int I = 0; I < Count; ++I) {
        const uint32_t S = Src[I];
        const uint32_t Rest = 255 - (S >> 24);
        uint32_t Out = 0xFF000000;
        for (int Shift = 0; Shift < 24; Shift += 8) {
            const uint32_t C = ((S >> Shift) & 0xFF) + (((Underlay >> Shift) & 0xFF) * Rest + 127) / 255;
            Out |= (C > 255 ? 255 : C) << Shift;
        }
        Dst[I] = Out;
    }
}

TQvRegion QvSdlKeyShape(const TGdiBitmap& Px, uint32_t Key) {
    return QvSdlPixelsWhere(Px, [Key](uint32_t P) { return (P & 0xFFFFFF) != Key; });
}
