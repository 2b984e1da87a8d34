#pragma once
// TPelluxMessageBoxStyle: the look of every message box of a program, placed once (the
// data module holds it). Its fonts, glows, button pictures and window settings are what
// message boxes use from the moment it is made until it is freed; the captions set through
// its Define… setters change the buttons of every later message box, whoever made them.
//
// The shared state is one per process: the caption overrides (empty: the built-in
// caption) and the style in force, the most recently made one. A style that is freed
// withdraws itself, so later boxes fall back to the built-in look instead of reading
// freed objects.

#include <memory>

#include "framework/uQvClasses.h"
#include "framework/uQvGraphics.h"
#include "skin/uPelluxIntf.h"

class TCustomForm;
class TPelluxNCLabel;
class TPngPictures;
class TQvFormSkinRes;

// The buttons of a message box in their fixed order; the order is also the layout order.
enum TQvMsgButton { mbOK, mbYes, mbNo, mbCancel, mbAbort, mbRetry, mbIgnore };
using TQvMsgButtons = TSet<TQvMsgButton>;

// Index 7 of the caption table: the check box.
inline constexpr int QvDontShowAgainIndex = 7;

class TPelluxMessageBoxStyle : public TComponent {
public:
    explicit TPelluxMessageBoxStyle(TComponent* AOwner);
    ~TPelluxMessageBoxStyle() override;

    TPngPictures* ButtonPictures() const { return FButtonPictures.get(); }
    void SetButtonPictures(const TPngPictures* Value);
    TQvFormSkinRes* Form() const { return FForm.get(); }
    void SetForm(const TQvFormSkinRes* Value);
    TFont* MessageFont() const { return FMessageFont.get(); }
    void SetMessageFont(const TFont* Value) { FMessageFont->Assign(Value); }
    TQvLightClass* MessageLight() const { return FMessageLight.get(); }
    void SetMessageLight(const TQvLightClass* Value) { FMessageLight->Assign(Value); }
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(const TFont* Value) { FCaptionFont->Assign(Value); }
    TQvLightClass* CaptionLight() const { return FCaptionLight.get(); }
    void SetCaptionLight(const TQvLightClass* Value) { FCaptionLight->Assign(Value); }
    TFont* ButtonFont() const { return FButtonFont.get(); }
    void SetButtonFont(const TFont* Value) { FButtonFont->Assign(Value); }
    TFont* ButtonHotFont() const { return FButtonHotFont.get(); }
    void SetButtonHotFont(const TFont* Value) { FButtonHotFont->Assign(Value); }
    // The bottom strip without its top line.
    bool HideLine() const { return FHideLine; }
    void SetHideLine(bool Value) { FHideLine = Value; }

    // Each setter also sets the shared caption of its button (empty restores the default).
    const String& DefineOKButtonText() const { return FCaptions[mbOK]; }
    void SetDefineOKButtonText(const String& Value) { SetCaption(mbOK, Value); }
    const String& DefineYesButtonText() const { return FCaptions[mbYes]; }
    void SetDefineYesButtonText(const String& Value) { SetCaption(mbYes, Value); }
    const String& DefineNoButtonText() const { return FCaptions[mbNo]; }
    void SetDefineNoButtonText(const String& Value) { SetCaption(mbNo, Value); }
    const String& DefineCancelButtonText() const { return FCaptions[mbCancel]; }
    void SetDefineCancelButtonText(const String& Value) { SetCaption(mbCancel, Value); }
    const String& DefineAbortButtonText() const { return FCaptions[mbAbort]; }
    void SetDefineAbortButtonText(const String& Value) { SetCaption(mbAbort, Value); }
    const String& DefineRetryButtonText() const { return FCaptions[mbRetry]; }
    void SetDefineRetryButtonText(const String& Value) { SetCaption(mbRetry, Value); }
    const String& DefineIgnoreButtonText() const { return FCaptions[mbIgnore]; }
    void SetDefineIgnoreButtonText(const String& Value) { SetCaption(mbIgnore, Value); }
    const String& DefineDonotShowAgainText() const { return FCaptions[QvDontShowAgainIndex]; }
    void SetDefineDonotShowAgainText(const String& Value) { SetCaption(QvDontShowAgainIndex, Value); }

private:
    void SetCaption(int Index, const String& Value);

    std::unique_ptr<TPngPictures> FButtonPictures;
    std::unique_ptr<TQvFormSkinRes> FForm;
    std::unique_ptr<TFont> FMessageFont;
    std::unique_ptr<TQvLightClass> FMessageLight;
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<TQvLightClass> FCaptionLight;
    std::unique_ptr<TFont> FButtonFont;
    std::unique_ptr<TFont> FButtonHotFont;
    bool FHideLine = false;
    String FCaptions[8];
};

// The dpi message windows are made for: the main form's, else the screen's; 96 while
// HighDPIEnabled is off.
int MessageWindowPPI();

// Cuts a message window's title-bar caption with an ellipsis where it would run under
// the close button (at 22 from the right edge); a caption that fits is left whole.
void FitMessageCaption(TPelluxNCLabel* Caption, const TCustomForm* Window);

// The built-in caption of a button (index of TQvMsgButton) or of the check box (7).
String DefaultMessageBoxCaption(int Index);
// The caption a message box shows now: the shared override, else the built-in one.
String MessageBoxCaption(int Index);
// The style in force; nullptr when none lives.
TPelluxMessageBoxStyle* CurrentMessageBoxStyle();

// Registers the style for stored layouts, and a shut-down step that forgets the shared
// captions. Calling it again does nothing more.
void RegisterPelluxMessageBoxStyle();
