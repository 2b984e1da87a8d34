#include "skin_table.h"

#include <algorithm>
#include <cstring>

namespace {

// Shapes several images share.
constexpr const char* Round3 = "R .5 .5 W-1 H-1 3 k f f k b s";
constexpr const char* Round4 = "R .5 .5 W-1 H-1 4 k f f k b s";
constexpr const char* FullFill = "R 0 0 W H 0 k f f";
constexpr const char* BarPlate = "R 4 3 25 20 3 k f f ?x k b s ;";
constexpr const char* CapClose = "M .5 .5 L 9.5 9.5 M 9.5 .5 L .5 9.5 w 1.1 k g s";
constexpr const char* CapMin = "M 0 5.5 L 10 5.5 c b k g s";
constexpr const char* CapMax = "R .5 .5 9 9 0 k g s";
constexpr const char* CapRestore =
    "R .5 2.5 7 7 0 k g s M 2.5 2.5 L 2.5 .5 L 9.5 .5 L 9.5 7.5 L 7.5 7.5 c b j m s";
constexpr const char* CheckBox = "R 2.5 2.5 12 12 2 k f f k b s";
constexpr const char* CheckTick = "M 5.3 8.7 L 7.6 11 L 11.8 6.3 w 1.6 k g s";
constexpr const char* SmallBox = "R 1.5 1.5 12 12 2 k f f k b s";
constexpr const char* SmallTick = "M 4.3 7.7 L 6.6 10 L 10.8 5.3 w 1.6 k g s";
constexpr const char* ThumbV = "R 2.5 1 5 H-2 2.5 k f f";
constexpr const char* ThumbH = "R 1 2.5 W-2 5 2.5 k f f";
constexpr const char* ArrowUp = "M 2 6.2 L 5 2.8 L 8 6.2 Z k g f";
constexpr const char* ArrowDown = "M 2 2.8 L 5 6.2 L 8 2.8 Z k g f";
constexpr const char* ArrowLeft = "M 6.2 2 L 2.8 5 L 6.2 8 Z k g f";
constexpr const char* ArrowRight = "M 2.8 2 L 6.2 5 L 2.8 8 Z k g f";
constexpr const char* SpinUp = "R .5 1.5 21 10 2 k f f k b s";
constexpr const char* SpinDown = "R .5 .5 21 10 2 k f f k b s";
constexpr const char* SpinUpGlyph = "M 7.5 8.5 L 11 4.5 L 14.5 8.5 Z k g f";
constexpr const char* SpinDownGlyph = "M 7.5 3.5 L 11 7.5 L 14.5 3.5 Z k g f";
constexpr const char* Browse = "R 3.5 3.5 W-7 H-7 3 k f f k b s";
constexpr const char* TabButton = "R 0 0 W H 0 k f f ?nh R 0 H-1 W 1 0 k b f ; ?p R 0 H-2 W 2 0 k b f ;";
constexpr const char* Tile = "R .5 .5 W-1 H-1 8 k f f k b s";
constexpr const char* MenuBack = "R 4 3 149 29 4 k #00000030 h 2 1 k w f R 4.5 3.5 148 28 3.5 k #D9DEE5 s";
constexpr const char* Calendar =
    "M .5 2 L .5 14 k b c b s R 7.5 2.5 12 11 1.5 k g c r s M 7.5 5.5 L 19.5 5.5 s "
    "R 10 7.5 2 2 0 R 13 7.5 2 2 0 R 16 7.5 2 2 0 R 10 10.5 2 2 0 R 13 10.5 2 2 0 f M 10.5 1 L 10.5 3.5 M "
    "16.5 1 L 16.5 3.5 s";

constexpr unsigned D = fDerived;
constexpr unsigned Nm = fNamed;
constexpr unsigned R = fRole;
constexpr unsigned O = fOpaque;
constexpr unsigned N = fNav;

const std::vector<TSkinImage> Images = {
    // --- check and radio marks ---
    {"PelluxCheckBox", 68, 17, "nhcC", kButton, "check", CheckBox, CheckTick, 0, 0, 0, 0,
     "check box: unchecked, unchecked hot, checked, checked hot"},
    {"PelluxRadiobtn", 68, 17, "ncCh", kButton, "radio", "O 8.5 8.5 6 k f f k b s", "O 8.5 8.5 3 k g f", 0, 0,
     0, 0, "radio box: unchecked, checked, checked hot, unchecked hot"},
    {"PelluxCheckedCheckbox_18", 15, 15, "c", kButton, "check", SmallBox, SmallTick, 0, 0, 0, 0,
     "check-box item of an edit, checked"},
    {"PelluxCheckedCheckbox_h_18", 15, 15, "C", kButton, "check", SmallBox, SmallTick, 0, 0, 0, 0,
     "check-box item of an edit, checked and hot"},
    {"PelluxUncheckedCheckbox_18", 15, 15, "n", kButton, "check", SmallBox, "", 0, 0, 0, 0,
     "check-box item of an edit, unchecked"},
    {"PelluxUncheckedCheckbox_h_18", 15, 15, "h", kButton, "check", SmallBox, "", 0, 0, 0, 0,
     "check-box item of an edit, unchecked and hot"},
    // --- buttons ---
    {"PelluxButton", 340, 27, "nhpdx", kButton, "button",
     "R .5 .5 W-1 H-1 3 k f f k b s ?x R 1.5 1.5 W-3 H-3 2 k G s ;", "", 0, 0, 0, 0,
     "skinned button, message box and popup buttons (nine-grid per frame); frame 4 unused by the controls"},
    {"PelluxFlatBtn", 66, 22, "nhp", kButton, "flat", Round3, "", 0, 0, 0, 0,
     "tool-bar item background (nine-grid to the item), mini tool bar"},
    {"PelluxDropdownMenu", 60, 32, "nhpd", kButton, "drop",
     "?hp R 2 5 11 22 2 k f f ; M .5 9 L .5 23 k b c b s", "M 4.5 14.5 L 7.5 17.5 L 10.5 14.5 w 1.3 k g s", 0,
     0, 0, 0, "drop-down arrow zone of buttons and tool-bar items (cut to the button height)"},
    {"PelluxToolbtn", 87, 29, "nhp", kButton, "ghost", Round3, "", 0, 0, 0, 0, "tool button background"},
    // --- caption buttons ---
    {"PelluxBtn_close", 105, 35, "nhp", kButton, "cap-dark-close", FullFill, CapClose, 10, 0, 0, 0,
     "close button of light title bars"},
    {"PelluxBtn_max", 105, 35, "nhp", kButton, "cap-dark", FullFill, CapMax, 10, 0, 0, 0,
     "maximize button of light title bars"},
    {"PelluxBtn_mini", 105, 35, "nhp", kButton, "cap-dark", FullFill, CapMin, 10, 0, 0, 0,
     "minimize button of light title bars"},
    {"PelluxBtn_restore", 105, 35, "nhp", kButton, "cap-dark", FullFill, CapRestore, 10, 0, 0, 0,
     "restore button of light title bars"},
    {"PelluxBtn_close2", 105, 35, "nhp", kButton, "cap-light-close", FullFill, CapClose, 10, 0, 0, 0,
     "close button of coloured title bars (main window, dialogs)"},
    {"PelluxBtn_mini2", 105, 35, "nhp", kButton, "cap-light", FullFill, CapMin, 10, 0, 0, 0,
     "minimize button of coloured title bars"},
    {"PelluxBtn_max2", 105, 35, "nhp", kButton, "cap-light", FullFill, CapMax, 10, 0, 0, 0,
     "maximize button of coloured title bars"},
    {"PelluxBtn_restore2", 105, 35, "nhp", kButton, "cap-light", FullFill, CapRestore, 10, 0, 0, 0,
     "restore button of coloured title bars"},
    // --- message icons ---
    {"PelluxMsgIcon_Error", 40, 40, "n", kIcon, "msg-error", "O 20 20 19 k f f",
     "M 14 14 L 26 26 M 26 14 L 14 26 w 3.2 k g s", 0, 0, 1, 0, "message box and popup icon: error"},
    {"PelluxMsgIcon_Warn", 40, 40, "n", kIcon, "msg-warn", "M 20 5 L 36.5 33.5 L 3.5 33.5 Z j r w 4 k f s f",
     "M 20 14 L 20 24 w 3.2 k g s O 20 29 1.9 f", 0, 0, 1, 0, "message box icon: warning"},
    {"PelluxMsgIcon_Info", 40, 40, "n", kIcon, "msg-info", "O 20 20 19 k f f",
     "O 20 12.5 2.1 k g f M 20 18 L 20 29 w 3.2 s", 0, 0, 1, 0, "message box and popup icon: information"},
    {"PelluxMsgIcon_OK", 40, 40, "n", kIcon, "msg-ok", "O 20 20 19 k f f",
     "M 12.5 20.5 L 17.5 25.5 L 27.5 15 w 3.2 k g s", 0, 0, 1, 0, "message box and popup icon: success"},
    {"PelluxMsgIcon_Question", 40, 40, "n", kIcon, "msg-question", "O 20 20 19 k f f",
     "M 15.2 15.8 C 15.2 12.9 17.4 10.8 20.1 10.8 C 22.9 10.8 25 12.8 25 15.4 C 25 17.6 23.6 18.7 22.1 19.6 "
     "C 20.8 20.4 20.1 21.3 20.1 23.2 w 3 k g s O 20.1 28.6 1.9 f",
     0, 0, 1, 0, "message box icon: question"},
    // --- nine-grid borders ---
    {"PelluxBorderHot", 35, 35, "n", kFrame, "plain",
     "R 0 0 W H 0 k w f R .5 .5 W-1 H-1 0 k #4690DC s R 1.5 1.5 W-3 H-3 0 k #D6E7F9 s "
     "R 0 0 1 1 0 R 34 0 1 1 0 R 0 34 1 1 0 R 34 34 1 1 0 k #A9CBEE f",
     "", 0, 0, 0, O, "edit and bordered panel frame, hot or focused: accent ring with a light inner ring"},
    {"PelluxBorderNormal", 35, 35, "n", kFrame, "plain",
     "R 0 0 W H 0 k w f R .5 .5 W-1 H-1 0 k #CDD3DB s R 0 0 1 1 0 R 34 0 1 1 0 R 0 34 1 1 0 R 34 34 1 1 0 k "
     "#E6E9EE f",
     "", 0, 0, 0, O, "edit and bordered panel frame, normal"},
    // --- tips and popups ---
    {"PelluxTips_close", 54, 18, "nhp", kButton, "tips-close", "O 9 9 8 k f f",
     "M 5.5 5.5 L 12.5 12.5 M 12.5 5.5 L 5.5 12.5 w 1.2 k g s", 0, 0, 0, 0,
     "close button in the title of popup messages and message boxes"},
    {"PelluxMini_close_btn", 24, 12, "nh", kButton, "mini-close", "O 6 6 6 k f f",
     "M 3.5 3.5 L 8.5 8.5 M 8.5 3.5 L 3.5 8.5 w 1.1 k g s", 0, 0, 0, 0,
     "close button of balloon tips and tab sets"},
    // --- colour and light previews ---
    {"PelluxSlider_dragBackground", 12, 21, "n", kButton, "plain",
     "R 1.5 1.5 9 17 3 k #0000002E h 1 1 k w f k #B4BCC7 s M 4 8 L 8 8 M 4 10.5 L 8 10.5 M 4 13 L 8 13 k "
     "#A0A8B2 c b s",
     "", 0, 0, 0, 0, "slider thumb"},
    {"PelluxPreview_bkg", 60, 134, "n", kFrame, "plain",
     "R 5 4 50 124 4 k #00000022 h 3 1 k w f R 5.5 4.5 49 123 3.5 k #DCE1E7 s", "", 0, 0, 0, 0,
     "preview card (nine-grid)"},
    {"PelluxSlider_Aio_light_bkg", 60, 134, "n", kFrame, "plain",
     "R 8 8 44 118 2 k #00000048 h 3 1 R 8 8 44 118 0 x", "", 0, 0, 0, 0,
     "soft shadow of the layered form border: 8 pixels around the form edge (nine-grid)"},
    {"PelluxDrag_flag", 8, 8, "n", kButton, "plain", "O 4 4 3 k w f k #3A4250 w 1.2 s", "", 0, 0, 0, 0,
     "marker of the picked point on a colour preview"},
    // --- edits ---
    {"PelluxPasswordchar", 6, 6, "n", kButton, "plain", "O 3 3 2.6 k #3C424C f", "", 0, 0, 0, 0,
     "one hidden character of the password edit"},
    {"PelluxKeyboard", 24, 24, "n", kIcon, "icon-grey", "", "@keyboard", 0, 0, 1, 0,
     "keyboard button item of the password edit"},
    {"PelluxSearch_icon", 20, 20, "n", kIcon, "icon-grey", "", "@search", 0, 0, 1.5f, 0,
     "magnifier item of the search edit"},
    {"PelluxCancel_18_Normal", 18, 18, "n", kButton, "clear", "O 9 9 7 k f f",
     "M 6.5 6.5 L 11.5 11.5 M 11.5 6.5 L 6.5 11.5 w 1.3 k g s", 0, 0, 0, 0, "clear button, normal"},
    {"PelluxCancel_18_Hot", 18, 18, "h", kButton, "clear", "O 9 9 7 k f f",
     "M 6.5 6.5 L 11.5 11.5 M 11.5 6.5 L 6.5 11.5 w 1.3 k g s", 0, 0, 0, 0, "clear button, hot"},
    // --- combo box arrows ---
    {"PelluxDrop_arrow_hot", 23, 24, "h", kButton, "combo", "R 2 2 19 20 3 k f f",
     "M 7.5 10.5 L 11.5 14.5 L 15.5 10.5 w 1.5 k g s", 0, 0, 0, 0, "combo box arrow under the mouse"},
    {"PelluxDrop_arrow_normal", 24, 24, "n", kButton, "combo", "", "M 8 10.5 L 12 14.5 L 16 10.5 w 1.5 k g s",
     0, 0, 0, 0, "combo box arrow"},
    // --- tree expanders ---
    {"PelluxExpand_1", 17, 17, "n", kIcon, "plain", "", "M 7 5 L 10.5 8.5 L 7 12 w 1.3 k #7A838F s", 0, 0, 1,
     0, "tree expander, collapsed"},
    {"PelluxExpand_2", 17, 17, "n", kIcon, "plain", "", "M 5 7 L 8.5 10.5 L 12 7 w 1.3 k #7A838F s", 0, 0, 1,
     0, "tree expander, expanded"},
    // --- menus ---
    {"PelluxMenu_bk", 157, 38, "n", kFrame, "plain", MenuBack, "", 0, 0, 0, 0,
     "popup menu window background with its shadow (nine-block)"},
    {"PelluxMenu_hilight", 22, 22, "n", kFrame, "plain", "R 0 0 W H 3 k #4690DC f", "", 0, 0, 0, 0,
     "highlight of the selected menu item (white text)"},
    {"PelluxMenu_sub_arrow", 21, 11, "nsd", kButton, "menu-mark", "", "M 2.5 3 L 5 5.5 L 2.5 8 w 1.2 k g s",
     0, 0, 0, 0, "submenu arrow: enabled, selected, disabled"},
    {"PelluxMenu_icon_check", 60, 20, "nsd", kButton, "menu-mark", "",
     "M 5.5 10.2 L 8.6 13.2 L 14.5 7 w 1.6 k g s", 0, 0, 0, 0,
     "check mark of menu items: enabled, selected, disabled"},
    {"PelluxMenu_icon_radio", 60, 20, "nsd", kButton, "menu-mark", "", "O 10 10 3 k g f", 0, 0, 0, 0,
     "radio mark of menu items: enabled, selected, disabled"},
    // --- tabs ---
    {"PelluxTabDown", 10, 35, "p", kTab, "plain",
     "R 0 0 W H 0 k w f M .5 H L .5 0 M 9.5 0 L 9.5 H k #D8DDE4 c b s R 0 0 W 2 0 k #4690DC f", "", 0, 0, 0,
     O, "selected tab (three-part)"},
    {"PelluxTabHover", 10, 35, "h", kTab, "plain", "R 0 0 W H+3 2 k #F1F4F8 f", "", 0, 0, 0, 0,
     "tab under the mouse (three-part)"},
    {"PelluxTab_button_normal", 10, 25, "n", kTab, "tab-button", TabButton, "", 0, 0, 0, 0,
     "tab button, normal"},
    {"PelluxTab_button_hot", 10, 25, "h", kTab, "tab-button", TabButton, "", 0, 0, 0, 0, "tab button, hot"},
    {"PelluxTab_button_down", 10, 25, "p", kTab, "tab-button", TabButton, "", 0, 0, 0, 0, "tab button, down"},
    {"PelluxColor_tabs", 219, 26, "nhp", kTab, "tabs", "R 1 2 W-2 H+4 4 k f f", "", 0, 0, 0, 0,
     "tabs of the main window's tab strip on the coloured bar (nine-grid to the tab)"},
    // --- progress bars ---
    {"PelluxBar_base", 102, 13, "n", kBar, "plain", "R .5 .5 W-1 H-1 6 k #E9ECF0 f k #DDE1E7 s", "", 0, 0, 0,
     0, "progress bar track"},
    {"PelluxBar_cur", 102, 13, "n", kBar, "plain", "G 0 0 0 H #62ABEC #3C86D4 R 0 0 W H 6 f", "", 0, 0, 0, 0,
     "progress bar fill (ends of 6 pixels kept)"},
    {"PelluxBar_base2", 78, 24, "n", kBar, "plain", "R .5 .5 W-1 H-1 4 k w f k #CDD3DB s", "", 0, 0, 0, 0,
     "framed progress track"},
    {"PelluxBar_cur2", 81, 22, "n", kBar, "plain", "G 0 1 0 21 #45C08A #23A066 R 1 1 W-2 H-2 3 f", "", 0, 0,
     0, 0, "framed progress fill, inset by one pixel"},
    {"PelluxBar_base3", 342, 22, "n", kBar, "plain", "R 0 0 W H 6 k #ECEFF3 f", "", 0, 0, 0, 0,
     "wide progress track"},
    {"PelluxBar_cur3", 342, 22, "n", kBar, "plain",
     "G 0 0 W 0 #86C0F2 #3D82D0 R 0 0 W H 6 f R 2 1 W-4 7 4 k #FFFFFF24 f", "", 0, 0, 0, 0,
     "wide progress fill, light to deep"},
    // --- scroll bars ---
    {"PelluxScrollbar_bar_down", 10, 42, "p", kScroll, "scroll", ThumbV, "", 0, 0, 0, 0,
     "vertical thumb, pressed"},
    {"PelluxScrollbar_bar_highlight", 10, 42, "h", kScroll, "scroll", ThumbV, "", 0, 0, 0, 0,
     "vertical thumb, hot"},
    {"PelluxScrollbar_bar_normal", 10, 42, "n", kScroll, "scroll", ThumbV, "", 0, 0, 0, 0, "vertical thumb"},
    {"PelluxScrollbar_bkg", 10, 62, "n", kScroll, "plain", "R 1 0 8 H 4 k #F0F2F5 f", "", 0, 0, 0, 0,
     "vertical track (three-part)"},
    {"PelluxScrollbar_arrowdown_normal", 10, 9, "n", kScroll, "scroll", "", ArrowDown, 0, 0, 0, 0,
     "down arrow"},
    {"PelluxScrollbar_arrowup_normal", 10, 9, "n", kScroll, "scroll", "", ArrowUp, 0, 0, 0, 0, "up arrow"},
    {"PelluxScrollbar_horz_bkg", 34, 10, "n", kScroll, "plain", "R 0 1 W 8 4 k #F0F2F5 f", "", 0, 0, 0, 0,
     "horizontal track (three-part)"},
    {"PelluxScrollbar_horzbar_down", 34, 10, "p", kScroll, "scroll", ThumbH, "", 0, 0, 0, 0,
     "horizontal thumb, pressed"},
    {"PelluxScrollbar_horzbar_highlight", 34, 10, "h", kScroll, "scroll", ThumbH, "", 0, 0, 0, 0,
     "horizontal thumb, hot"},
    {"PelluxScrollbar_horzbar_normal", 34, 10, "n", kScroll, "scroll", ThumbH, "", 0, 0, 0, 0,
     "horizontal thumb"},
    {"PelluxScrollbar_arrowleft_normal", 9, 10, "n", kScroll, "scroll", "", ArrowLeft, 0, 0, 0, 0,
     "left arrow"},
    {"PelluxScrollbar_arrowright_normal", 9, 10, "n", kScroll, "scroll", "", ArrowRight, 0, 0, 0, 0,
     "right arrow"},
    {"PelluxScrollbar_arrowdown_down", 10, 9, "p", kScroll, "scroll", "", ArrowDown, 0, 0, 0, 0,
     "down arrow, pressed"},
    {"PelluxScrollbar_arrowdown_highlight", 10, 9, "h", kScroll, "scroll", "", ArrowDown, 0, 0, 0, 0,
     "down arrow, hot"},
    {"PelluxScrollbar_arrowleft_down", 9, 10, "p", kScroll, "scroll", "", ArrowLeft, 0, 0, 0, 0,
     "left arrow, pressed"},
    {"PelluxScrollbar_arrowleft_highlight", 9, 10, "h", kScroll, "scroll", "", ArrowLeft, 0, 0, 0, 0,
     "left arrow, hot"},
    {"PelluxScrollbar_arrowright_down", 9, 10, "p", kScroll, "scroll", "", ArrowRight, 0, 0, 0, 0,
     "right arrow, pressed"},
    {"PelluxScrollbar_arrowright_highlight", 9, 10, "h", kScroll, "scroll", "", ArrowRight, 0, 0, 0, 0,
     "right arrow, hot"},
    {"PelluxScrollbar_arrowup_down", 10, 9, "p", kScroll, "scroll", "", ArrowUp, 0, 0, 0, 0,
     "up arrow, pressed"},
    {"PelluxScrollbar_arrowup_highlight", 10, 9, "h", kScroll, "scroll", "", ArrowUp, 0, 0, 0, 0,
     "up arrow, hot"},
    // --- switch ---
    {"PelluxSwitch_on", 102, 17, "nhp", kButton, "switch-on", "R 0 0 34 17 8.5 k f f",
     "O 25.5 8.5 6.5 k G h 1 1 k g f", 0, 0, 0, 0, "switch, on"},
    {"PelluxSwitch_off", 102, 17, "nhp", kButton, "switch-off", "R 0 0 34 17 8.5 k f f",
     "O 8.5 8.5 6.5 k G h 1 1 k g f", 0, 0, 0, 0, "switch, off"},
    // --- tool-bar scroll arrows (the front and down strips run from disabled to normal) ---
    {"PelluxBrower_back", 120, 29, "nhpd", kButton, "browse", Browse,
     "M 16.5 10.5 L 12.5 14.5 L 16.5 18.5 w 1.5 k g s", 0, 0, 0, 0, "tool-bar scroll button back"},
    {"PelluxBrower_front", 120, 29, "dphn", kButton, "browse", Browse,
     "M 13.5 10.5 L 17.5 14.5 L 13.5 18.5 w 1.5 k g s", 0, 0, 0, 0, "tool-bar scroll button forward"},
    {"PelluxBrower_up", 29, 120, "nhpd", kButton, "browse", Browse,
     "M 10.5 16.5 L 14.5 12.5 L 18.5 16.5 w 1.5 k g s", 0, 0, 0, fVertical,
     "tool-bar scroll button up (column tool bars)"},
    {"PelluxBrower_down", 29, 120, "dphn", kButton, "browse", Browse,
     "M 10.5 13.5 L 14.5 17.5 L 18.5 13.5 w 1.5 k g s", 0, 0, 0, fVertical,
     "tool-bar scroll button down (column tool bars)"},
    // --- date picker ---
    {"PelluxCalendar_18_N", 25, 16, "n", kButton, "edit-button", "", Calendar, 0, 0, 0, 0,
     "calendar button of the date picker"},
    {"PelluxCalendar_18_H", 25, 16, "h", kButton, "edit-button", "", Calendar, 0, 0, 0, 0,
     "calendar button of the date picker, hot"},
    // --- spin buttons ---
    {"PelluxSpin_normal_up", 23, 12, "n", kSpin, "spin", SpinUp, SpinUpGlyph, 0, 0, 0, 0,
     "spin edit up button"},
    {"PelluxSpin_highlight_up", 23, 12, "h", kSpin, "spin", SpinUp, SpinUpGlyph, 0, 0, 0, 0,
     "spin edit up button, hot"},
    {"PelluxSpin_pushed_up", 23, 12, "p", kSpin, "spin", SpinUp, SpinUpGlyph, 0, 0, 0, 0,
     "spin edit up button, pressed"},
    {"PelluxSpin_normal_down", 23, 12, "n", kSpin, "spin", SpinDown, SpinDownGlyph, 0, 0, 0, 0,
     "spin edit down button"},
    {"PelluxSpin_highlight_down", 23, 12, "h", kSpin, "spin", SpinDown, SpinDownGlyph, 0, 0, 0, 0,
     "spin edit down button, hot"},
    {"PelluxSpin_pushed_down", 23, 12, "p", kSpin, "spin", SpinDown, SpinDownGlyph, 0, 0, 0, 0,
     "spin edit down button, pressed"},

    // === application images ===
    {"bj", 9, 428, "n", kPicture, "plain", "G 0 0 0 H #3479C6 #74B1E8 R 0 0 W H 0 f", "", 0, 0, 0, 0,
     "login band background, tiled across (the band is 428 high)"},
    {"an1", 32, 26, "nh", kButton, "tab-close", "O 8 13 6 k f f",
     "M 5.8 10.8 L 10.2 15.2 M 10.2 10.8 L 5.8 15.2 w 1.2 k g s", 0, 0, 0, D,
     "close button of the main tab strip; 2 frames of 16 x 26 at the top of a 26-high tab"},
    {"an2", 204, 27, "nhp", kButton, "primary", Round3, "", 0, 0, 0, D,
     "message-box buttons of the application style, white captions; 3 frames of 68 x 27 (buttons 70 x 27, "
     "nine-grid)"},
    {"menubk", 157, 38, "n", kFrame, "plain",
     "R 4 3 149 29 5 k #0000002C h 2 1 k w f R 4.5 3.5 148 28 4.5 k #E1E5EA s", "", 0, 0, 0, D,
     "background of the application's menus, as PelluxMenu_bk (nine-block)"},
    {"an3", 204, 27, "nhp", kButton, "outline", Round3, "", 0, 0, 0, R,
     "secondary button of the application style, as an2"},
    {"gray-bj", 60, 12, "n", kBar, "plain", "R 0 0 W H 6 k #E3E7EC f", "", 0, 0, 0, D,
     "track of the loading window's progress bar (391 x 25 bar, nine-grid to its width)"},
    {"lsbj", 60, 12, "n", kBar, "plain", "G 0 0 0 H #5EA6EA #3D87D6 R 0 0 W H 6 f", "", 0, 0, 0, D,
     "fill of the loading window's progress bar (ends of 6 pixels kept)"},
    {"ht", 22, 22, "n", kFrame, "plain", "R 0 0 W H 3 k #E0EDFB f", "", 0, 0, 0, D,
     "highlight of the application's menu items (dark text), as PelluxMenu_hilight"},
    {"house2", 99, 26, "nhp", kButton, "bar-glyph", BarPlate, "@home", 16, 24, 1.5f, D,
     "home button of the tab strip, 33 x 26, 3 frames"},
    {"jt", 99, 26, "nhp", kButton, "bar-glyph", BarPlate, "M 12.5 11 L 16.5 15 L 20.5 11 w 1.5 k g s", 0, 0,
     0, D, "tabs-menu button of the tab strip, 33 x 26, 3 frames"},
    {"search-bk", 120, 28, "n", kFrame, "plain", "R .5 .5 W-1 H-1 13.5 k w f k #CDD3DB s", "", 0, 0, 0, R,
     "rounded search field (nine-grid)"},
    {"search", 84, 28, "nhp", kButton, "ghost", "O 14 14 12 k f f", "@search", 16, 24, 1.5f, R,
     "search button, 3 frames of 28 x 28"},
    {"zuo", 24, 26, "nh", kButton, "split", "R -4 3 15 20 4 k f f",
     "M 6.5 9.5 L 3.5 13 L 6.5 16.5 w 1.4 k g s", 0, 0, 0, D,
     "collapse button of the splitter, 12 x 26, 2 frames"},
    {"you", 24, 26, "nh", kButton, "split", "R -4 3 15 20 4 k f f", "M 4 9.5 L 7 13 L 4 16.5 w 1.4 k g s", 0,
     0, 0, D, "expand button of the splitter, 12 x 26, 2 frames"},
    {"bi", 165, 26, "nhpdx", kButton, "bar-glyph", BarPlate,
     "M 12.5 9 L 20.5 17 M 20.5 9 L 12.5 17 w 1.4 k g s", 0, 0, 0, D,
     "spare close-page button of the tab strip, 33 x 26, the button's 5 frames"},
    {"zoom", 200, 150, "n", kPicture, "plain", "@landscape", "", 0, 0, 0, O | R,
     "sample picture for zoomed and stretched drawing"},
    {"fdfd", 170, 23, "n", kBrand, "plain", "", "", 0, 0, 0, D,
     "product logo in the main title bar at (20, 14); below 26 rows it would show in the left panel, so it "
     "stays in the bar"},
    {"flash", 590, 365, "n", kBrand, "plain", "", "", 0, 0, 0, 0, "splash and About picture"},
    {"0", 20, 20, "n", kIcon, "mark", "", "@mark", 0, 0, 0, R, "product mark"},
    {"defaultnav", 24, 24, "n", kIcon, "icon", "", "@apps", 0, 0, 0, D,
     "icon of the navigation button \"system navigation\""},
    {"defaultnav_hot", 24, 24, "n", kIcon, "nav-hot", "", "@apps", 0, 0, 0, D,
     "the same on the hot (coloured) button"},
    {"customnav", 24, 24, "n", kIcon, "icon", "", "@star", 0, 0, 0, D,
     "icon of the navigation button \"frequently used\""},
    {"customnav_hot", 24, 24, "n", kIcon, "nav-hot", "", "@star", 0, 0, 0, D,
     "the same on the hot (coloured) button"},
    {"icons8-trash-32", 32, 32, "n", kIcon, "icon-red", "", "@trash", 0, 0, 0, Nm,
     "delete button of the user table page"},
    {"icons8-trash-24hot", 24, 24, "n", kIcon, "icon-white", "", "@trash", 0, 0, 0, Nm,
     "delete icon on a hot or pressed button"},
    {"software_bkg", 90, 90, "n", kFrame, "plain",
     "R 3 2 84 84 6 k #0000001F h 2 1 k w f G 0 3 0 28 #EEF5FD #FFFFFF R 4 3 82 25 5 f R 3.5 2.5 83 83 5.5 k "
     "#E1E5EA s",
     "", 0, 0, 0, R, "card behind the image buttons (nine-grid)"},
    {"software_info_upgrade", 204, 68, "nhp", kButton, "tile", Tile, "@upgrade", 32, 24, 2, D,
     "image button \"upgrade\", 3 frames of 68 x 68"},
    {"btn_browser_dir", 204, 68, "nhp", kButton, "tile", Tile, "@folder", 32, 24, 2, D,
     "image button \"folder\", 3 frames of 68 x 68"},
    {"btn_browser_file", 204, 68, "nhp", kButton, "tile", Tile, "@file", 32, 24, 2, D,
     "image button \"file\", 3 frames of 68 x 68"},
    {"garbage", 204, 68, "nhp", kButton, "tile", Tile, "@trash", 32, 24, 2, D,
     "image button \"delete\", 3 frames of 68 x 68"},
    {"img_file_recv", 204, 68, "nhp", kButton, "tile", Tile, "@inbox", 32, 24, 2, D,
     "image button \"Inbox\", 3 frames of 68 x 68 (room for the badge at 45, 0)"},
    {"icons8-speech-bubble-24", 24, 24, "n", kIcon, "icon-ink", "", "@speech-bubble", 0, 0, 0, Nm,
     "\"Messages\" button icon"},
    {"icons8-group-24 (1)", 24, 24, "n", kIcon, "icon-ink", "", "@group", 0, 0, 0, Nm,
     "\"Users\" button icon"},
    {"icons8-account-24", 24, 24, "n", kIcon, "icon-ink", "", "@account-circle", 0, 0, 0, Nm, "account icon"},
    {"EditStyle2Hot", 35, 35, "n", kFrame, "plain", "R 0 0 W H 0 k w f R .5 .5 W-1 H-1 0 k #4690DC s", "", 0,
     0, 0, O | D, "filled edit style, hot: white field, accent border (nine-grid)"},
    {"EditStyle2Normal", 35, 35, "n", kFrame, "plain",
     "R 0 0 W H 0 k #F2F4F7 f R .5 .5 W-1 H-1 0 k #E3E7EC s", "", 0, 0, 0, O | D,
     "filled edit style: grey field (nine-grid)"},
    {"ed1", 16, 16, "n", kIcon, "plain", "", "O 8 8 6.5 k #B4BBC5 s M 5.3 8.2 L 7.2 10.1 L 10.8 6.2 w 1.2 s",
     0, 0, 1, D, "edit item: input not yet valid"},
    {"ed2", 16, 16, "n", kIcon, "ok-mark", "", "O 8 8 7 k g f M 4.9 8.2 L 7.1 10.4 L 11.2 6 w 1.6 k w s", 0,
     0, 1, D, "edit item: input valid"},
    {"icons8-search-filled-24", 24, 24, "n", kIcon, "icon-ink", "", "@search-filled", 0, 0, 0, Nm,
     "search icon (filled)"},
    {"EditStyle3Hot", 35, 35, "n", kFrame, "plain",
     "R .5 .5 W-1 H-1 11 k w f k #4690DC s R 1.5 1.5 W-3 H-3 10 k #D6E7F9 s", "", 0, 0, 0, D,
     "rounded edit style, hot (nine-grid)"},
    {"EditStyle3Normal", 35, 35, "n", kFrame, "plain", "R .5 .5 W-1 H-1 11 k w f k #CDD3DB s", "", 0, 0, 0, D,
     "rounded edit style (nine-grid)"},
    {"EditStyle4Hot", 35, 35, "n", kFrame, "plain", "R 0 H-2 W 2 0 k #4690DC f", "", 0, 0, 0, D,
     "underlined edit style, hot (nine-grid)"},
    {"EditStyle4Normal", 35, 35, "n", kFrame, "plain", "R 0 H-1 W 1 0 k #C8CED6 f", "", 0, 0, 0, D,
     "underlined edit style (nine-grid)"},
    {"EditStyle5Normal", 35, 35, "n", kFrame, "plain", "R 0 0 W H 4 k #F0F3F7 f", "", 0, 0, 0, D,
     "soft filled edit style (nine-grid)"},
    {"cp", 24, 24, "n", kIcon, "icon", "", "@price-tag", 0, 0, 0, R, "product prices icon"},
    {"icons8-important-mail-24", 24, 24, "n", kIcon, "icon", "", "@important-mail", 0, 0, 0, Nm,
     "icon beside the e-mail edit"},
    {"icons8-browse-page-30", 30, 30, "n", kIcon, "icon", "", "@browse-page", 0, 0, 0, Nm,
     "feature icon: browse pages"},
    {"icons8-image-30", 30, 30, "n", kIcon, "icon", "", "@image", 0, 0, 0, Nm, "feature icon: pictures"},
    {"icons8-open-in-browser-30", 30, 30, "n", kIcon, "icon", "", "@open-in-browser", 0, 0, 0, Nm,
     "feature icon: open in the browser"},
    {"windowBkg", 240, 120, "n", kPicture, "plain",
     "G 0 0 0 36 #2C67AD #3C7FC8 R 0 0 W 36 0 f R 0 36 W H-36 0 k w f R 0 H-40 W 40 0 k #F5F7FA f R 0 H-40 W "
     "1 0 k #E4E8ED f "
     "R .5 .5 W-1 H-1 0 k #95A1A9 s",
     "", 0, 0, 0, D,
     "picture background of ImageBkForm: 36-pixel title band, white client, footer (nine-block)"},
    {"btn_sys_close", 108, 24, "nhpd", kButton, "cap-light-close", "R 1 1 W-2 H-2 3 k f f", CapClose, 10, 0,
     0, D, "close button of ImageBkForm: 4 frames of 27 x 24 (buttons 27 apart)"},
    {"btn_sys_maximize", 108, 24, "nhpd", kButton, "cap-light", "R 1 1 W-2 H-2 3 k f f", CapMax, 10, 0, 0, D,
     "maximize button of ImageBkForm, 4 frames of 27 x 24"},
    {"btn_sys_restore", 108, 24, "nhpd", kButton, "cap-light", "R 1 1 W-2 H-2 3 k f f", CapRestore, 10, 0, 0,
     D, "restore button of ImageBkForm, 4 frames of 27 x 24"},
    {"btn_sys_minimize", 108, 24, "nhpd", kButton, "cap-light", "R 1 1 W-2 H-2 3 k f f", CapMin, 10, 0, 0, D,
     "minimize button of ImageBkForm, 4 frames of 27 x 24"},
    {"software_info_run", 384, 32, "nhpd", kButton, "tint", Round4, "", 0, 0, 0, D,
     "OK button of ImageBkForm, 4 frames of 96 x 32 (nine-grid)"},
    {"software_upgrade_btn", 384, 32, "nhpd", kButton, "outline", Round4, "", 0, 0, 0, D,
     "Cancel button of ImageBkForm, 4 frames of 96 x 32 (nine-grid)"},
    {"net_err", 200, 150, "n", kPicture, "plain", "@network-error", "", 0, 0, 0, O | R,
     "picture shown when a page cannot be reached"},
    {"icons8-navigation-toolbar-bottom-30", 30, 30, "n", kIcon, "icon", "", "@toolbar-bottom", 0, 0, 0, Nm,
     "feature icon: bottom tool bar"},
    {"optionsbar", 357, 35, "nhp", kButton, "options-bar", FullFill, "", 0, 0, 0, D,
     "items of the settings dialog's side bar: 3 frames of 119 x 35 (white text when down)"},
    {"aboutbar", 357, 35, "nhp", kButton, "about-bar", "R 0 0 W H 0 k f f ?p R 0 0 3 H 0 k b f ;", "", 0, 0,
     0, R, "side-bar items with dark text: 3 frames of 119 x 35, accent edge when down"},
    {"icons8-home-24", 24, 24, "n", kIcon, "icon-tile", FullFill, "@home", 0, 0, 0, O | Nm,
     "home icon on white"},
    {"icons8-clear-shopping-cart-30", 30, 30, "n", kIcon, "icon", "", "@clear-cart", 0, 0, 0, Nm,
     "home page link \"product prices\""},
    {"icons8-home-page-30", 30, 30, "n", kIcon, "icon", "", "@home-page", 0, 0, 0, Nm,
     "home page link \"open home page\""},
    {"icons8-paint-palette-26", 26, 26, "n", kIcon, "icon", "", "@palette", 0, 0, 0, Nm,
     "home page link \"change colour scheme\""},
    {"default_handsome", 80, 80, "n", kPicture, "plain", "@avatar", "", 0, 0, 0, O | D,
     "user picture of the navigation bar (80 x 80 circle shape)"},
    {"icons8-secured-letter-16", 16, 16, "n", kIcon, "icon", "", "@secured-letter", 0, 0, 0, Nm,
     "secured mail icon"},
    {"icons8-play-24", 24, 24, "n", kIcon, "icon", "", "@play", 0, 0, 0, Nm, "download list: resume"},
    {"icons8-pause-24", 24, 24, "n", kIcon, "icon", "", "@pause", 0, 0, 0, Nm, "download list: pause"},
    {"icons8-waste-24", 24, 24, "n", kIcon, "icon-red", "", "@trash", 0, 0, 0, Nm, "download list: delete"},
    {"icons8-plus-math-24", 24, 24, "n", kIcon, "icon", "", "@plus", 0, 0, 0, Nm,
     "download list: new download"},
    // The navigation icons (17 x 18; t5 18 x 18).
    {"icons8-account-17", 17, 18, "n", kIcon, "icon", "", "@account", 0, 0, 0, N, "navigation: account"},
    {"icons8-chart-17", 17, 18, "n", kIcon, "icon", "", "@chart", 0, 0, 0, N, "navigation: gauges"},
    {"icons8-combo-chart-17", 17, 18, "n", kIcon, "icon", "", "@combo-chart", 0, 0, 0, N,
     "navigation: charts"},
    {"icons8-communication-17", 17, 18, "n", kIcon, "icon", "", "@communication", 0, 0, 0, N,
     "navigation: messages"},
    {"icons8-community-grants-17", 17, 18, "n", kIcon, "icon", "", "@community-grants", 0, 0, 0, N,
     "navigation: grants"},
    {"icons8-desktop-download-17 (1)", 17, 18, "n", kIcon, "icon", "", "@desktop-download", 0, 0, 0, N,
     "navigation: download list"},
    {"icons8-device-manager-17", 17, 18, "n", kIcon, "icon", "", "@device-manager", 0, 0, 0, N,
     "navigation: devices"},
    {"icons8-encashment-car-17", 17, 18, "n", kIcon, "icon", "", "@encashment-car", 0, 0, 0, N,
     "navigation: delivery"},
    {"icons8-expired-17", 17, 18, "n", kIcon, "icon", "", "@expired", 0, 0, 0, N, "navigation: expired"},
    {"icons8-group-task-17", 17, 18, "n", kIcon, "icon", "", "@group-task", 0, 0, 0, N, "navigation: tasks"},
    {"icons8-hierarchy-17", 17, 18, "n", kIcon, "icon", "", "@hierarchy", 0, 0, 0, N,
     "navigation: hierarchy"},
    {"icons8-home-17", 17, 18, "n", kIcon, "icon", "", "@home", 0, 0, 0, N, "navigation: home"},
    {"icons8-inspection-17", 17, 18, "n", kIcon, "icon", "", "@inspection", 0, 0, 0, N,
     "navigation: inspection"},
    {"icons8-name-tag-17", 17, 18, "n", kIcon, "icon", "", "@name-tag", 0, 0, 0, N, "navigation: name tag"},
    {"icons8-network-drive-17", 17, 18, "n", kIcon, "icon", "", "@network-drive", 0, 0, 0, N,
     "navigation: network drive"},
    {"icons8-people-17", 17, 18, "n", kIcon, "icon", "", "@people", 0, 0, 0, N, "navigation: people"},
    {"icons8-planner-17", 17, 18, "n", kIcon, "icon", "", "@planner", 0, 0, 0, N, "navigation: planner"},
    {"icons8-processor-17", 17, 18, "n", kIcon, "icon", "", "@processor", 0, 0, 0, N,
     "navigation: library page"},
    {"icons8-receipt-17", 17, 18, "n", kIcon, "icon", "", "@receipt", 0, 0, 0, N, "navigation: receipts"},
    {"icons8-services-17", 17, 18, "n", kIcon, "icon", "", "@services", 0, 0, 0, N, "navigation: services"},
    {"icons8-settings-17", 17, 18, "n", kIcon, "icon", "", "@settings", 0, 0, 0, N, "navigation: settings"},
    {"icons8-study-17", 17, 18, "n", kIcon, "icon", "", "@study", 0, 0, 0, N, "navigation: study"},
    {"icons8-survey-17", 17, 18, "n", kIcon, "icon", "", "@survey", 0, 0, 0, N, "navigation: survey"},
    {"icons8-wallet-17", 17, 18, "n", kIcon, "icon", "", "@wallet", 0, 0, 0, N, "navigation: wallet"},
    {"icons8-webcam-17", 17, 18, "n", kIcon, "icon", "", "@webcam", 0, 0, 0, N, "navigation: camera"},
    {"t5", 18, 18, "n", kIcon, "icon", "", "@table", 0, 0, 0, N, "navigation: tables"},
    // The tool-bar icons of the table page, in the order of its buttons.
    {"1", 16, 16, "n", kIcon, "icon", "", "@first", 0, 0, 0, 0, "tool bar: first"},
    {"2", 16, 16, "n", kIcon, "icon", "", "@previous", 0, 0, 0, 0, "tool bar: previous"},
    {"3", 16, 16, "n", kIcon, "icon", "", "@next", 0, 0, 0, 0, "tool bar: next"},
    {"4", 16, 16, "n", kIcon, "icon", "", "@last", 0, 0, 0, 0, "tool bar: last"},
    {"5", 16, 16, "n", kIcon, "icon", "", "@add", 0, 0, 0, 0, "tool bar: new"},
    {"6", 16, 16, "n", kIcon, "icon", "", "@copy", 0, 0, 0, 0, "tool bar: copy"},
    {"7", 16, 16, "n", kIcon, "icon", "", "@edit", 0, 0, 0, 0, "tool bar: modify"},
    {"8", 16, 16, "n", kIcon, "icon", "", "@trash", 0, 0, 0, 0, "tool bar: delete"},
    {"9", 16, 16, "n", kIcon, "icon", "", "@save", 0, 0, 0, 0, "tool bar: save"},
    {"10", 16, 16, "n", kIcon, "icon", "", "@cancel", 0, 0, 0, 0, "tool bar: cancel"},
    {"11", 16, 16, "n", kIcon, "icon", "", "@search", 0, 0, 0, 0, "tool bar: query"},
    {"12", 16, 16, "n", kIcon, "icon", "", "@columns", 0, 0, 0, 0, "tool bar: columns"},
    {"13", 16, 16, "n", kIcon, "icon", "", "@export", 0, 0, 0, 0, "tool bar: export"},
    {"14", 16, 16, "n", kIcon, "icon", "", "@print", 0, 0, 0, 0, "tool bar: print"},
    {"15", 16, 16, "n", kIcon, "icon", "", "@preview", 0, 0, 0, 0, "tool bar: preview"},
    {"16", 16, 16, "n", kIcon, "icon", "", "@design", 0, 0, 0, 0, "tool bar: design"},
    {"icons8-picture-16", 16, 16, "n", kIcon, "icon", "", "@image", 0, 0, 0, 0, "tool bar: picture"},
    {"icons8-toolbox-16", 16, 16, "n", kIcon, "icon", "", "@toolbox", 0, 0, 0, 0, "tool bar: tools"},
    {"ant-design_user-outlined", 22, 22, "n", kIcon, "icon-grey", "", "@user-outline", 0, 22, 1.5f, 0,
     "user-name item of the login edit"},
    {"carbon_password", 22, 22, "n", kIcon, "icon-grey", "", "@lock-outline", 0, 22, 1.5f, 0,
     "password item of the login edit"},
};

const std::vector<std::string> Recoloured = {
    "an2",
    "an1",
    "an3",
    "lsbj",
    "ht",
    "house2",
    "jt",
    "bi",
    "0",
    "defaultnav",
    "customnav",
    "PelluxBtn_mini2",
    "PelluxBtn_max2",
    "PelluxBtn_restore2",
    "icons8-account-17",
    "icons8-chart-17",
    "icons8-combo-chart-17",
    "icons8-communication-17",
    "icons8-community-grants-17",
    "icons8-desktop-download-17 (1)",
    "icons8-device-manager-17",
    "icons8-encashment-car-17",
    "icons8-expired-17",
    "icons8-group-task-17",
    "icons8-hierarchy-17",
    "icons8-home-17",
    "icons8-inspection-17",
    "icons8-name-tag-17",
    "icons8-network-drive-17",
    "icons8-people-17",
    "icons8-planner-17",
    "icons8-processor-17",
    "icons8-receipt-17",
    "icons8-services-17",
    "icons8-settings-17",
    "icons8-study-17",
    "icons8-survey-17",
    "icons8-wallet-17",
    "icons8-webcam-17",
    "t5",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "10",
    "11",
    "12",
    "13",
    "14",
    "15",
    "16",
    "icons8-picture-16",
    "icons8-toolbox-16",
};

}  // namespace

int TSkinImage::Frames() const {
    return static_cast<int>(std::strlen(States));
}

int TSkinImage::FrameW() const {
    return (Flags & fVertical) != 0 ? W : W / Frames();
}

int TSkinImage::FrameH() const {
    return (Flags & fVertical) != 0 ? H / Frames() : H;
}

bool TSkinImage::Recoloured() const {
    return std::find(::Recoloured.begin(), ::Recoloured.end(), ResID) != ::Recoloured.end();
}

const std::vector<TSkinImage>& SkinImages() {
    return Images;
}

const std::vector<std::string>& RecolouredImages() {
    return Recoloured;
}

std::string ImageFileName(const TSkinImage& Image) {
    return std::string(Image.ResID) + ".png";
}
