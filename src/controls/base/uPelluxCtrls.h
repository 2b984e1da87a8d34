#pragma once
// TPelluxCustomControl: the base of every skinned control. Each paint rebuilds the back
// buffer in three steps: the part of the parent's picture under the control (or a plain
// Color fill), which the application may paint itself through OnBackgroundChanging; then
// OnBackgroundChanged; then the control's own DrawSkin. Rounded and translucent skins so
// sit on whatever lies under them. Every control is in the registry of skinned controls
// from construction to destruction, so a skin change reaches it.

#include "controls/base/uQvPaintBox.h"
#include "skin/uPelluxIntf.h"

class TPelluxCustomControl : public TQvCustomPaintBox {
public:
    explicit TPelluxCustomControl(TComponent* AOwner);
    ~TPelluxCustomControl() override;

    // Build the background from the parent's picture; false: fill with Color.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Repaint self and the child windows whenever the control moves.
    bool AutoInvalidate() const { return FAutoInvalidate; }
    void SetAutoInvalidate(bool Value) { FAutoInvalidate = Value; }
    // Answer a background-erase request with the current buffer.
    bool EraseBackground() const { return FEraseBackground; }
    void SetEraseBackground(bool Value) { FEraseBackground = Value; }
    // Defer repainting while the control is being resized: a burst of size changes ends
    // in one repaint 10 ms after the last.
    bool DelayRefresh() const { return FDelayRefresh; }
    void SetDelayRefresh(bool Value) { FDelayRefresh = Value; }
    // True while a deferred refresh is pending; descendants skip expensive drawing then.
    bool StopDrawBody() const { return FStopDrawBody; }
    // Shift applied to the control's position when sampling the parent's picture.
    int XOffset() const { return FXOffset; }
    void SetXOffset(int Value);
    int YOffset() const { return FYOffset; }
    void SetYOffset(int Value);
    TQvAboutInfo About() const { return aiPelluxComponent; }
    void SetAbout(TQvAboutInfo) {}

    // What this control's children sample their background from.
    TSurface32* BackgroundPicture() { return GetBackgroundPicture(); }
    // Rebuilds the buffer now when it is not current (children sample it).
    void UpdateBuffer();
    // Outside design time posts MM_REFRESHCONTROL to every direct windowed child; All
    // asks for nothing more (the library never passes true).
    void RefreshSubControl(bool All = false);
    // Repaints the non-client area when the control has a border.
    void InvalidateNC();

    void WndProc(TMessage& Message) override;

    TQvBackgroundEvent OnBackgroundChanging;
    TQvCustomDrawEvent OnBackgroundChanged;
    TNotifyEvent OnVisibleChanged;
    TQvDPIChangedEvent OnDPIChanged;

    // The timer id of the deferred refresh.
    static constexpr UINT_PTR DelayRefreshTimer = 10000;

protected:
    virtual TSurface32* GetBackgroundPicture() { return Buffer(); }
    // The control's own drawing into Buffer, which holds the background.
    virtual void DrawSkin(TSurface32* Buffer) { (void)Buffer; }
    virtual TSurface32* GetBodyPicture() { return nullptr; }
    virtual void BackgroundChanging(TSurface32* Buffer, bool& Handled);
    virtual void BackgroundChanged(TSurface32* Buffer);
    virtual void VisibleChanged();

    // Stores Value in Field and repaints when it differs: the setter of most properties.
    template <typename V>
    void Change(V& Field, const V& Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }

    void CreateParams(TCreateParams& Params) override;
    void RenderBuffer() override;
    void Resize() override;
    void ScaledForPPI(int NewPPI) override;

private:
    bool FTransparent = true;
    bool FAutoInvalidate = false;
    bool FEraseBackground = false;
    bool FDelayRefresh = false;
    bool FStopDrawBody = false;
    int FXOffset = 0;
    int FYOffset = 0;
};

// Fills Surface with what lies under Control at R (the parent's client coordinates): a
// skinned form's background picture, a skinned parent's buffer, or else what the parent
// and the windowless siblings behind Control paint. Without a parent: opaque white.
void CopyParentBackground(TControl* Control, TSurface32* Surface, const TRect& R);
