#pragma once
// Title-bar buttons: a button drawn from a skin-image state strip, with an optional
// caption, toggle groups and a cursor of its own (TPelluxCustomNCButton, published as
// TPelluxNCButton), and the close, minimize and maximize/restore buttons that send their
// system command to the form (TPelluxSystemButton).
//
// A button clicks only on a release that ends a press it took itself: pressing one button
// and releasing over another clicks neither.

#include "forms/uPelluxNCCtrlBase.h"
#include "skin/uPngPictures.h"

enum TNCButtonState { bsNormal, bsHot, bsPressed };
enum TSystemButtonKind { bkClose, bkMinimize, bkMaximize };

class TPelluxCustomNCButton : public TPelluxNCCtrlBase {
public:
    explicit TPelluxCustomNCButton(TComponent* AOwner);
    ~TPelluxCustomNCButton() override;

    TPngPictures* Picture() const { return FPicture.get(); }
    void SetPicture(const TPngPictures* Value) { FPicture->Assign(Value); }
    // Latched: shows pressed until released (by its group or a second click).
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The cursor shown over the button; 0 (crDefault): none of its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }

    // What the button shows while enabled.
    TNCButtonState State() const;

    TNotifyEvent OnClick;

    void MouseEnter() override;
    void MouseLeave() override;
    void MouseHover() override;
    void LMouseDown() override;
    void LMouseUp() override;
    void Paint(TSurface32* Surface) override;

protected:
    // The position takes the size of one frame of the picture.
    virtual void PictureChanged();
    // Every other button of the form skin's list in the same group lets go.
    virtual void ReleaseGroup();
    // Raises OnClick when enabled.
    virtual void Click();

    TFont* CaptionFont() const { return FFont.get(); }
    TFont* CaptionHotFont() const { return FHotFont.get(); }
    const String& CaptionText() const { return FCaption; }
    void SetCaptionText(const String& Value);
    TQvOffset* CaptionOffsetObj() const { return FCaptionOffset.get(); }

private:
    std::unique_ptr<TPngPictures> FPicture;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FEnabled = true;
    TCursor FCursor = crDefault;
    bool FAllowAllUp = false;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FHotFont;
    String FCaption;
    std::unique_ptr<TQvOffset> FCaptionOffset;
};

class TPelluxNCButton : public TPelluxCustomNCButton {
public:
    explicit TPelluxNCButton(TComponent* AOwner) : TPelluxCustomNCButton(AOwner) {}

    TFont* Font() const { return CaptionFont(); }
    void SetFont(const TFont* Value);
    TFont* HotFont() const { return CaptionHotFont(); }
    void SetHotFont(const TFont* Value);
    const String& Caption() const { return CaptionText(); }
    void SetCaption(const String& Value) { SetCaptionText(Value); }
    TQvOffset* CaptionOffset() const { return CaptionOffsetObj(); }
    void SetCaptionOffset(const TQvOffset* Value) { CaptionOffsetObj()->Assign(Value); }
};

class TPelluxSystemButton : public TPelluxCustomNCButton {
public:
    explicit TPelluxSystemButton(TComponent* AOwner);

    TSystemButtonKind Kind() const { return FKind; }
    void SetKind(TSystemButtonKind Value);
    const TQvResID& CloseImage() const { return FCloseImage; }
    void SetCloseImage(const TQvResID& Value);
    const TQvResID& MinimizeImage() const { return FMinimizeImage; }
    void SetMinimizeImage(const TQvResID& Value);
    const TQvResID& MaximizeImage() const { return FMaximizeImage; }
    void SetMaximizeImage(const TQvResID& Value);
    const TQvResID& RestoresizeImage() const { return FRestoresizeImage; }
    void SetRestoresizeImage(const TQvResID& Value);

    void Paint(TSurface32* Surface) override;

protected:
    void PictureChanged() override;
    // OnClick, then the system command to the form.
    void Click() override;
    // The picture of the kind and, with UseDefault, its standard place.
    virtual void KindChanged();

private:
    void SetImageName(TQvResID& Field, const TQvResID& Value);
    // The button's system command: SC_CLOSE, SC_MINIMIZE, or SC_MAXIMIZE / SC_RESTORE.
    UINT Command() const;
    // The image of the kind; the maximize button shows the restore image while its form is
    // maximized.
    const TQvResID& KindImage() const;

    TSystemButtonKind FKind = bkClose;
    TQvResID FCloseImage = u"PelluxBtn_close";
    TQvResID FMinimizeImage = u"PelluxBtn_mini";
    TQvResID FMaximizeImage = u"PelluxBtn_max";
    TQvResID FRestoresizeImage = u"PelluxBtn_restore";
};

// The small close button of popups and message boxes, at its fixed title-bar place.
TPelluxSystemButton* NewTipsCloseButton(TComponent* AOwner);

// Registers the button classes for stored layouts.
void RegisterPelluxNCButtons();
