#include "skin_styles.h"

#include <map>
#include <utility>
#include <vector>

#include "platform/uQvBase.h"

namespace {

using namespace Palette;

struct TStateLook {
    char State;
    TLook Look;
};

// Fill, second fill (gradient end), border, glyph, second glyph colour.
constexpr TColor32 None = 0;
constexpr TColor32 WhiteA(uint8_t A) {
    return (TColor32{A} << 24) | 0x00FFFFFFu;
}
constexpr TColor32 BlackA(uint8_t A) {
    return TColor32{A} << 24;
}

const std::map<std::string, std::vector<TStateLook>>& Styles() {
    static const std::map<std::string, std::vector<TStateLook>> S = {
        // Plain single looks for images that have one state; their programs name colours.
        {"plain", {{'n', {None, None, Border, Ink, White}}}},
        {"icon", {{'n', {None, None, None, Accent, TintStrong}}}},
        {"icon-ink", {{'n', {None, None, None, 0xFF56606E, Accent}}}},
        {"icon-grey", {{'n', {None, None, None, InkLight, White}}}},
        {"icon-white", {{'n', {None, None, None, White, WhiteA(140)}}}},
        {"icon-red", {{'n', {None, None, None, Danger, White}}}},
        {"icon-tile", {{'n', {White, None, None, Accent, TintStrong}}}},
        {"msg-error", {{'n', {Danger, 0xFFD23F3F, None, White, None}}}},
        {"msg-warn", {{'n', {Warning, 0xFFE88A10, None, White, None}}}},
        {"msg-info", {{'n', {AccentHot, Accent, None, White, None}}}},
        {"msg-ok", {{'n', {0xFF34B475, Success, None, White, None}}}},
        {"msg-question", {{'n', {0xFF7584D8, Question, None, White, None}}}},
        {"mark", {{'n', {None, None, None, Accent, White}}}},
        {"ok-mark", {{'n', {None, None, None, Success, White}}}},
        // Push buttons on white and light surfaces; captions are dark.
        {"button",
         {{'n', {White, 0xFFF9FAFB, Border, Ink, None}},
          {'h', {0xFFF3F8FE, None, Accent, Accent, None}},
          {'p', {TintStrong, None, AccentDown, AccentDown, None}},
          {'d', {0xFFF1F3F6, None, 0xFFE2E5EA, InkFaint, None}},
          {'x', {White, None, Accent, Accent, TintStrong}}}},
        {"tint",
         {{'n', {Tint, None, TintBorder, Accent, None}},
          {'h', {TintStrong, None, Accent, Accent, None}},
          {'p', {0xFFC4DCF6, None, AccentDown, AccentDown, None}},
          {'d', {0xFFF6F7F9, None, 0xFFE3E6EA, InkFaint, None}}}},
        // Filled accent buttons that carry white captions.
        {"primary",
         {{'n', {Accent, None, AccentDown, White, None}},
          {'h', {AccentHot, None, Accent, White, None}},
          {'p', {AccentDown, None, AccentDown, White, None}},
          {'d', {0xFFB9CCE3, None, 0xFFB9CCE3, White, None}}}},
        {"outline",
         {{'n', {White, None, 0xFF8DB8E8, Accent, None}},
          {'h', {Tint, None, Accent, Accent, None}},
          {'p', {TintStrong, None, AccentDown, AccentDown, None}},
          {'d', {0xFFF8F9FA, None, 0xFFE3E6EA, InkFaint, None}}}},
        {"flat",
         {{'n', {White, None, None, Ink, None}},
          {'h', {Tint, None, 0xFFC6DDF5, Accent, None}},
          {'p', {TintStrong, None, TintBorder, AccentDown, None}}}},
        {"ghost",
         {{'n', {None, None, None, InkMid, None}},
          {'h', {Tint, None, 0xFFC6DDF5, Accent, None}},
          {'p', {TintStrong, None, TintBorder, AccentDown, None}}}},
        {"tile",
         {{'n', {White, None, 0xFFDFE4EA, Accent, TintStrong}},
          {'h', {Tint, None, TintBorder, Accent, White}},
          {'p', {TintStrong, None, Accent, AccentDown, White}}}},
        // Caption buttons: dark glyphs for light title bars, white ones for coloured bars.
        {"cap-dark",
         {{'n', {None, None, None, Ink, None}},
          {'h', {BlackA(26), None, None, Ink, None}},
          {'p', {BlackA(52), None, None, Ink, None}}}},
        {"cap-dark-close",
         {{'n', {None, None, None, Ink, None}},
          {'h', {CloseHot, None, None, White, None}},
          {'p', {CloseDown, None, None, White, None}}}},
        {"cap-light",
         {{'n', {None, None, None, White, None}},
          {'h', {WhiteA(48), None, None, White, None}},
          {'p', {BlackA(36), None, None, White, None}},
          {'d', {None, None, None, WhiteA(90), None}}}},
        {"cap-light-close",
         {{'n', {None, None, None, White, None}},
          {'h', {CloseHot, None, None, White, None}},
          {'p', {CloseDown, None, None, White, None}},
          {'d', {None, None, None, WhiteA(110), None}}}},
        {"tab-close",
         {{'n', {BlackA(46), None, None, WhiteA(235), None}}, {'h', {Danger, None, None, White, None}}}},
        {"mini-close", {{'n', {None, None, None, InkLight, None}}, {'h', {Danger, None, None, White, None}}}},
        // Check marks, radio marks and switches.
        {"check",
         {{'n', {White, None, 0xFFAEB6C2, None, None}},
          {'h', {0xFFF4F9FF, None, Accent, None, None}},
          {'c', {Accent, None, Accent, White, None}},
          {'C', {AccentHot, None, AccentHot, White, None}}}},
        {"radio",
         {{'n', {White, None, 0xFFAEB6C2, None, None}},
          {'h', {0xFFF4F9FF, None, Accent, None, None}},
          {'c', {White, None, Accent, Accent, None}},
          {'C', {White, None, AccentHot, AccentHot, None}}}},
        {"switch-off",
         {{'n', {0xFFCBD1D9, None, None, White, BlackA(42)}},
          {'h', {0xFFBAC1CB, None, None, White, BlackA(42)}},
          {'p', {0xFFA9B1BC, None, None, 0xFFF4F6F8, BlackA(42)}}}},
        {"switch-on",
         {{'n', {Accent, None, None, White, BlackA(42)}},
          {'h', {AccentHot, None, None, White, BlackA(42)}},
          {'p', {AccentDown, None, None, 0xFFF4F6F8, BlackA(42)}}}},
        {"menu-mark",
         {{'n', {None, None, None, InkMid, None}},
          {'s', {None, None, None, 0xFF22282F, None}},
          {'d', {None, None, None, InkFaint, None}}}},
        // Glyph buttons on the coloured strip of the main window.
        {"bar-glyph",
         {{'n', {None, None, None, White, None}},
          {'h', {WhiteA(46), None, None, White, None}},
          {'p', {BlackA(34), None, None, White, None}},
          {'d', {None, None, None, WhiteA(110), None}},
          {'x', {WhiteA(28), None, WhiteA(90), White, None}}}},
        {"split", {{'n', {0xFFE6EAEF, None, None, InkMid, None}}, {'h', {Accent, None, None, White, None}}}},
        {"tips-close",
         {{'n', {None, None, None, WhiteA(230), None}},
          {'h', {WhiteA(52), None, None, White, None}},
          {'p', {BlackA(40), None, None, White, None}}}},
        // Small parts of edits, combo boxes and tool bars.
        {"drop",
         {{'n', {None, None, 0xFFD5DAE1, InkMid, None}},
          {'h', {Tint, None, 0xFFD5DAE1, Accent, None}},
          {'p', {TintStrong, None, 0xFFD5DAE1, AccentDown, None}},
          {'d', {None, None, 0xFFE6E9ED, InkFaint, None}}}},
        {"combo", {{'n', {None, None, None, InkMid, None}}, {'h', {Tint, None, None, Accent, None}}}},
        {"spin",
         {{'n', {0xFFF4F6F9, None, 0xFFDDE1E7, InkMid, None}},
          {'h', {Tint, None, TintBorder, Accent, None}},
          {'p', {Accent, None, Accent, White, None}}}},
        {"edit-button",
         {{'n', {None, None, 0xFFE2E6EB, InkMid, None}}, {'h', {None, None, 0xFFE2E6EB, Accent, None}}}},
        {"clear",
         {{'n', {0xFFC5CBD3, None, None, White, None}}, {'h', {0xFF959DA9, None, None, White, None}}}},
        {"scroll",
         {{'n', {0xFFC3C9D1, None, None, 0xFF99A1AC, None}},
          {'h', {0xFFA5ADB8, None, None, 0xFF5A6370, None}},
          {'p', {Accent, None, None, Accent, None}}}},
        {"browse",
         {{'n', {White, None, Border, Ink, None}},
          {'h', {Tint, None, Accent, Accent, None}},
          {'p', {TintStrong, None, AccentDown, AccentDown, None}},
          {'d', {0xFFF7F8FA, None, 0xFFE4E7EB, InkFaint, None}}}},
        // Tabs and bars of items.
        {"tabs",
         {{'n', {None, None, None, None, None}},
          {'h', {WhiteA(56), None, None, None, None}},
          {'p', {White, None, None, None, None}}}},
        {"tab-button",
         {{'n', {None, None, 0xFFDDE1E7, None, None}},
          {'h', {0xFFF1F4F8, None, 0xFFDDE1E7, None, None}},
          {'p', {None, None, Accent, None, None}}}},
        {"options-bar",
         {{'n', {None, None, None, None, None}},
          {'h', {0xFFF0F3F7, None, None, None, None}},
          {'p', {Accent, None, AccentDown, None, None}}}},
        {"about-bar",
         {{'n', {None, None, None, None, None}},
          {'h', {0xFFF0F3F7, None, None, None, None}},
          {'p', {Tint, None, Accent, None, None}}}},
        // Links of the navigation bar's bottom buttons: icons for the white and the hot fill.
        {"nav-hot", {{'n', {None, None, None, White, WhiteA(120)}}}},
    };
    return S;
}

}  // namespace

bool StyleDefined(const std::string& Style) {
    return Styles().count(Style) != 0;
}

TLook LookOf(const std::string& Style, char State) {
    const auto Found = Styles().find(Style);
    if (Found == Styles().end()) throw EQvError(Utf8ToString("unknown style " + Style));
    for (const TStateLook& L : Found->second)
        if (L.State == State) return L.Look;
    return Found->second.front().Look;
}

const char* StateName(char State) {
    switch (State) {
        case 'n':
            return "normal";
        case 'h':
            return "hot";
        case 'p':
            return "pressed";
        case 'd':
            return "disabled";
        case 'x':
            return "focused";
        case 's':
            return "selected";
        case 'c':
            return "checked";
        case 'C':
            return "checked hot";
        default:
            return "?";
    }
}
