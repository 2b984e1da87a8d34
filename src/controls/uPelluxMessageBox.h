#pragma once
// The skinned message box: a modal dialog with a painted title bar (caption and close
// button), an optional icon, the message, a bottom strip with up to seven standard buttons
// and, optionally, a "do not show again" check box. SkinMessageBoxEx builds, lays out and
// shows one and returns the modal result of the button pressed; the style in force
// (uPelluxMessageBoxStyle) gives it its fonts, glows, pictures and window skin.
//
// Sizes are 96-dpi pixels; while HighDPIEnabled the window is scaled for the dpi first and
// every size with it.


#include "controls/uPelluxMessageBoxStyle.h"
#include "framework/uQvForms.h"
#include "skin/uPelluxResManager.h"

class TPelluxButton;
class TPelluxCheckBox;
class TPelluxForm;
class TPelluxLabel;
class TPelluxNCLabel;
class TPelluxPanel;
class TPelluxSystemButton;

// Icon codes of SkinMessageBox; micWarning serves the framework's warning flag.
enum TQvMsgIcon { micNone, micInfo, micError, micOK, micQuestion, micWarning };

// The modal result of each button.
TModalResult MessageBoxResult(TQvMsgButton Button);
// The skin image of an icon code; empty for none (or an unknown code).
TQvResID MessageBoxIconImage(int Icon);

class TPelluxMessageForm : public TForm {
public:
    // At (X, Y), or centred on the screen when X < -9999.
    TPelluxMessageForm(TComponent* AOwner, int X, int Y);

    TPelluxForm* PelluxForm() const { return FPelluxForm; }
    TPelluxSystemButton* CloseNCButton() const { return FCloseNCButton; }
    TPelluxNCLabel* CaptionLabel() const { return FCaption; }
    TPelluxLabel* Msg() const { return FMsg; }
    TPelluxPanel* BottomPanel() const { return FBottomPanel; }
    // Made by the layout: nullptr until then, or when not asked for.
    TPelluxPanel* IconPanel() const { return FIcon; }
    TPelluxCheckBox* CheckBox() const { return FCheckBox; }
    // The button of a kind; nullptr when the box has none.
    TPelluxButton* Button(TQvMsgButton Kind) const { return FButtons[Kind]; }

    // Caption, text, icon, buttons and check box placed, the window sized. The window is
    // scaled for the dpi first (while HighDPIEnabled).
    void Layout(const String& ACaption, const String& AText, int AIcon, bool ShowDontShowAgain,
                bool DontShowAgain, TQvMsgButtons AButtons);
    // What Ctrl+C puts on the clipboard: caption, line break, text, line break.
    String ClipboardText() const;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    void ApplyStyle();
    // Cl: the control, its sizes and font for 96 dpi; it takes the window's dpi before it
    // is placed at R (window pixels), so the parent does not scale it again.
    void Place(TControl* Cl, TWinControl* Parent, const TRect& R);

    TPelluxForm* FPelluxForm = nullptr;
    TPelluxSystemButton* FCloseNCButton = nullptr;
    TPelluxNCLabel* FCaption = nullptr;
    TPelluxLabel* FMsg = nullptr;
    TPelluxPanel* FBottomPanel = nullptr;
    TPelluxPanel* FIcon = nullptr;
    TPelluxCheckBox* FCheckBox = nullptr;
    TPelluxButton* FButtons[7] = {};
    String FText;
};

// Shows a message box and returns the modal result (the close button: mrCancel). X below
// -9999 centres the window; otherwise (X, Y) is its top-left. With ShowDontShowAgain the
// check box shows DontShowAgain and writes its state back.
TModalResult SkinMessageBoxEx(const String& ACaption, const String& AText, int AIcon, int X, int Y,
                              bool& DontShowAgain, bool ShowDontShowAgain, TQvMsgButtons AButtons);
// Centred, without the check box.
TModalResult SkinMessageBox(const String& ACaption, const String& AText, int AIcon, TQvMsgButtons AButtons);
// The framework's message box flags (MB_OK … MB_ICON…) shown as a skinned message box: the
// form of the application's message box hook.
int SkinMessageBoxFlags(const String& Text, const String& Caption, UINT Flags);
