#pragma once
// Popup messages: short notifications in small skinned windows that appear at the bottom
// right of the primary work area (or above a given point), fade in, stay for a while, fade
// out and free themselves; the pointer over one keeps it. TPelluxPopupMessage measures and
// places each window (TPelluxPopupForm): they stack upward, and a full column goes on in a
// new column to its left.
//
// Sizes are 96-dpi pixels scaled for the main form's dpi; a window's height is worked out
// once, in screen pixels, and serves both its place and its size.

#include <memory>
#include <vector>

#include "framework/uQvForms.h"
#include "framework/uQvGraphics.h"
#include "skin/uPngPictures.h"

class TPelluxButton;
class TPelluxForm;
class TPelluxLabel;
class TPelluxNCLabel;
class TPelluxPanel;
class TPelluxPopupMessage;
class TPelluxSystemButton;
class TTimer;

enum TQvMessageIcon { miSuccess, miFailue, miInformation, miNone };

// The optional button of the popup windows.
class TMsgButton : public TPersistent {
public:
    TMsgButton();
    ~TMsgButton() override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TFont* HotFont() const { return FHotFont.get(); }
    void SetHotFont(const TFont* Value) { FHotFont->Assign(Value); }
    TPngPictures* Pictures() const { return FPictures.get(); }
    void SetPictures(const TPngPictures* Value) { FPictures->Assign(Value); }

    void Assign(const TPersistent* Source) override;

private:
    bool FVisible = false;
    String FCaption = u"OK";
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FHotFont;
    std::unique_ptr<TPngPictures> FPictures;
};

class TPelluxPopupForm : public TForm {
public:
    // At (X, Y), or centred on the screen when X < -9999; AClosePause 0 stays until closed
    // (or hovered and left). The window is made for the dpi of the message windows.
    TPelluxPopupForm(TComponent* AOwner, int X, int Y, int AClosePause, bool ActiveAnimate);
    ~TPelluxPopupForm() override;

    // The caller's identifier; only kept.
    const String& ID() const { return FID; }
    void SetID(const String& Value) { FID = Value; }
    int ClosePause() const { return FClosePause; }
    bool ActiveAnimate() const { return FActiveAnimate; }
    // Fading out (or about to close).
    bool BlendHide() const { return FBlendHide; }
    // The pointer is over the window: it stays.
    bool Held() const { return FHeld; }
    // The opacity the fade has reached.
    BYTE Alpha() const { return FAlpha; }

    TPelluxForm* PelluxForm() const { return FPelluxForm; }
    TPelluxSystemButton* CloseNCButton() const { return FCloseNCButton; }
    TPelluxNCLabel* CaptionLabel() const { return FCaption; }
    TPelluxLabel* Msg() const { return FMsg; }
    // Made by the component when there is an icon or a button; nullptr otherwise.
    TPelluxPanel* IconPanel() const { return FIcon; }
    TPelluxButton* MsgButton() const { return FButton; }

    // The component that made the window; nullptr once it is gone.
    TPelluxPopupMessage* Source() const { return FSource; }

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TPelluxPopupMessage;
    void FadeStep();
    void CloseCheck();
    // Whether the pointer is over the window or one of its controls, and what follows.
    void CheckHover();
    void StartFadeOut();
    // C, its sizes and font for 96 dpi, takes the window's dpi and is placed at R.
    void Place(TControl* C, const TRect& R);
    // The pointer entering or leaving C is the window's own.
    void HearHover(TControl* C);

    bool FBlendHide = false;
    int FClosePause;
    uint64_t FPopupTime = 0;
    uint64_t FMadeAt = 0;
    TTimer* FTimer = nullptr;
    TTimer* FAnimate = nullptr;
    String FID;
    bool FActiveAnimate;
    bool FHeld = false;
    BYTE FAlpha = 0;
    TPelluxSystemButton* FCloseNCButton = nullptr;
    TPelluxForm* FPelluxForm = nullptr;
    TPelluxNCLabel* FCaption = nullptr;
    TPelluxLabel* FMsg = nullptr;
    TPelluxPanel* FIcon = nullptr;
    TPelluxButton* FButton = nullptr;
    TPelluxPopupMessage* FSource = nullptr;
};

class TPelluxPopupMessage : public TComponent {
public:
    explicit TPelluxPopupMessage(TComponent* AOwner);
    // Its open windows go on to their own end, no longer telling it anything.
    ~TPelluxPopupMessage() override;

    bool ActiveAnimate() const { return FActiveAnimate; }
    void SetActiveAnimate(bool Value) { FActiveAnimate = Value; }
    // Milliseconds a message stays; 0: until closed by the user.
    int ClosePause() const { return FClosePause; }
    void SetClosePause(int Value) { FClosePause = Value; }
    // Stored only: the windows always stack.
    bool HeapUp() const { return FHeapUp; }
    void SetHeapUp(bool Value) { FHeapUp = Value; }
    // A full column goes on in a new column to the left.
    bool AutoAlign() const { return FAutoAlign; }
    void SetAutoAlign(bool Value) { FAutoAlign = Value; }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { FMinHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    TColor TitileColor() const { return FTitileColor; }
    void SetTitileColor(TColor Value) { FTitileColor = Value; }
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(const TFont* Value) { FTitleFont->Assign(Value); }
    TFont* TextFont() const { return FTextFont.get(); }
    void SetTextFont(const TFont* Value) { FTextFont->Assign(Value); }
    int TextOffsetX() const { return FTextOffsetX; }
    void SetTextOffsetX(int Value) { FTextOffsetX = Value; }
    int TextOffsetY() const { return FTextOffsetY; }
    void SetTextOffsetY(int Value) { FTextOffsetY = Value; }
    TColor ClientColor() const { return FClientColor; }
    void SetClientColor(TColor Value) { FClientColor = Value; }
    const TQvResID& Icon_Success() const { return FIconSuccess; }
    void SetIcon_Success(const TQvResID& Value) { FIconSuccess = Value; }
    const TQvResID& Icon_Failue() const { return FIconFailue; }
    void SetIcon_Failue(const TQvResID& Value) { FIconFailue = Value; }
    const TQvResID& Icon_Information() const { return FIconInformation; }
    void SetIcon_Information(const TQvResID& Value) { FIconInformation = Value; }
    TMsgButton* Button() const { return FButton.get(); }
    void SetButton(const TMsgButton* Value) { FButton->Assign(Value); }

    // The open windows, oldest first.
    const std::vector<TPelluxPopupForm*>& List() const { return FList; }

    TPelluxPopupForm* Popup(const String& ACaption, const String& AText);
    TPelluxPopupForm* Popup(const String& ACaption, const String& AText, TQvMessageIcon AIcon);
    TPelluxPopupForm* PopupXY(const String& ACaption, const String& AText, TQvMessageIcon AIcon, int OrgX,
                              int OrgY);
    // OrgX <= 0: the next place of the stack; otherwise the window's bottom edge sits just
    // above (OrgX, OrgY) and every other open window of this component closes first.
    TPelluxPopupForm* Popup(const String& ACaption, const String& AText, TQvMessageIcon AIcon,
                            const String& AID, int OrgX, int OrgY);

    // The icon, the text or the window was clicked (Sender: what was).
    TNotifyEvent OnClick;
    // The button was clicked (Sender: the button); the window then closes.
    TNotifyEvent OnButtonClick;
    // A window is closing (Sender: the window).
    TNotifyEvent OnClose;

private:
    friend class TPelluxPopupForm;
    void Closing(TPelluxPopupForm* Form);
    void Clicked(TObject* Sender);

    bool FActiveAnimate = true;
    int FClosePause = 5000;
    bool FHeapUp = true;
    bool FAutoAlign = true;
    int FMinHeight = 100;
    int FWidth = 228;
    TColor FTitileColor = 16761926;
    std::unique_ptr<TFont> FTitleFont;
    std::unique_ptr<TFont> FTextFont;
    int FTextOffsetX = 10;
    int FTextOffsetY = 20;
    TColor FClientColor = 15920353;
    TQvResID FIconSuccess = u"PelluxMsgIcon_OK";
    TQvResID FIconFailue = u"PelluxMsgIcon_Error";
    TQvResID FIconInformation = u"PelluxMsgIcon_Info";
    std::unique_ptr<TMsgButton> FButton;
    std::vector<TPelluxPopupForm*> FList;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Registers the popup component for stored layouts. Calling it again does nothing more.
void RegisterPelluxPopupMessage();
