#pragma once
// The base of the title-bar controls: components of a form that are not windows. The
// form skin paints them into its title strip, tells them where the mouse is, and hands them
// the presses and releases that fall on them; each keeps its place (TNCCtrlPos), its hover
// and press state (the shared TQvPressState) and its hint.
//
// A control joins its form skin by posting MM_ADDNCCTRL to the form, again every 100 ms
// until the skin confirms it, and leaves it through RemoveSelf or by being freed.

#include <memory>

#include "controls/base/uQvPressState.h"
#include "controls/base/uSimpleTimer.h"
#include "draw/uQvSurface.h"
#include "framework/uQvControl.h"
#include "skin/uPelluxIntf.h"

class TCustomForm;
class THintWindow;
class TPelluxForm;

enum TNCCtrlAlign { caLeft, caRight };
// Only the top side (the title bar) is served by the form skin.
enum TSideKind { skdTop, skdBottom, skdLeft, skdRight };

// Set by a title-bar button that shows a cursor of its own while the pointer is over it;
// the form skin then leaves the cursor alone.
extern bool PelluxNCCursorShown;

// Where a title-bar control sits: XValue and YValue at 96 dpi, measured from the left or
// the right edge of the form and from its top; Width and Height in pixels.
class TNCCtrlPos : public TPersistent {
public:
    explicit TNCCtrlPos(TCustomForm* AForm = nullptr);

    // Align, XValue and YValue raise OnChanged on a change while not locked.
    TNCCtrlAlign Align() const { return FAlign; }
    void SetAlign(TNCCtrlAlign Value);
    int XValue() const { return FXValue; }
    void SetXValue(int Value);
    int YValue() const { return FYValue; }
    void SetYValue(int Value);
    bool UseDefault() const { return FUseDefault; }
    void SetUseDefault(bool Value) { FUseDefault = Value; }
    // Stored without telling anyone.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    TCustomForm* Form() const { return FForm; }
    void SetForm(TCustomForm* Value) { FForm = Value; }

    // Width and Height through ScaleByDPI of the form.
    int DisplayWidth() const;
    int DisplayHeight() const;
    // The place in window coordinates: ScaleByDPI(XValue) from the left edge (caLeft) or
    // the form's width less it (caRight); ScaleByDPI(YValue) from the top.
    int DisplayX() const;
    int DisplayY() const;

    void Lock() { FLocked = true; }
    void UnLock() { FLocked = false; }
    bool Locked() const { return FLocked; }

    // Align, XValue, YValue and UseDefault, with one OnChanged.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChanged;

private:
    void Changed();

    TNCCtrlAlign FAlign = caLeft;
    int FXValue = 0;
    int FYValue = 0;
    int FWidth = 25;
    int FHeight = 25;
    TCustomForm* FForm;
    bool FUseDefault = false;
    bool FLocked = false;
};

class TPelluxNCCtrlBase : public TComponent {
public:
    explicit TPelluxNCCtrlBase(TComponent* AOwner);
    ~TPelluxNCCtrlBase() override;

    // ---- Published ----
    TSideKind PutSide() const { return FPutSide; }
    void SetPutSide(TSideKind Value) { FPutSide = Value; }
    TNCCtrlPos* Pos() const { return FPos.get(); }
    void SetPos(const TNCCtrlPos* Value) { FPos->Assign(Value); }
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    TNotifyEvent OnLMouseDown;
    TNotifyEvent OnLMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TQvDPIChangedEvent OnDPIChanged;

    // ---- Public ----
    // The mouse is over the control.
    bool CursorEnter() const { return FPress.Inside(); }
    // The hit rectangle in window coordinates.
    TRect ClientRect() { return GetClientRect(); }
    TPoint ClientRectOffset() const { return FClientRectOffset; }
    void SetClientRectOffset(TPoint Value) { FClientRectOffset = Value; }
    // Set by the form skin when it lists the control.
    bool Hooked() const { return FHooked; }
    void SetHooked(bool Value) { FHooked = Value; }
    TPelluxForm* ParentObject() const { return FParentObject; }
    void SetParentObject(TPelluxForm* Value) { FParentObject = Value; }
    int Data() const { return FData; }
    void SetData(int Value) { FData = Value; }
    TCustomForm* Form() const { return FForm; }
    // Puts the control on another window (a side of an opaque shadow border carries it
    // there); its place is measured in that window from then on.
    void MoveToForm(TCustomForm* Value) {
        FForm = Value;
        FPos->SetForm(Value);
    }
    // Where system commands go instead of the form, when set.
    TCustomForm* SourceForm() const { return FSourceForm; }
    void SetSourceForm(TCustomForm* Value);
    // Whether the control still lives, for code that goes on after raising an event.
    TQvAliveCheck AliveCheck() const { return TQvAliveCheck(FAlive); }
    // Inside one of its own handlers: freeing it now would pull the ground from under it.
    bool Busy() const { return FBusy > 0; }

    // Repaints the form's title bar now.
    void Invalidate();
    // Leaves the form skin, which frees the control (once the dispatch running unwinds).
    void RemoveSelf();

    // ---- Called by the form skin ----
    virtual void DoTimer();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseHover() {}
    virtual int GetWidth();
    virtual int GetHeight();
    virtual TRect GetClientRect();
    virtual void LMouseDown();
    virtual void LMouseUp();
    virtual void Paint(TSurface32* Surface);
    // P: the cursor in screen coordinates.
    virtual void NCMouseMove(TPoint P);
    virtual void DPIChanged();

protected:
    // Counts a handler of the control as running while it lives.
    class TBusy {
    public:
        explicit TBusy(TPelluxNCCtrlBase* C) : FAlive(C->FAlive), FCtrl(C) { ++FCtrl->FBusy; }
        ~TBusy() {
            if (*FAlive) --FCtrl->FBusy;
        }
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        std::shared_ptr<bool> FAlive;
        TPelluxNCCtrlBase* FCtrl;
    };

    // The form the mouse position is measured against and commands go to.
    TCustomForm* CommandForm() const { return FSourceForm != nullptr ? FSourceForm : FForm; }
    // The form's window is maximized.
    bool FormMaximized() const;
    // Whether the screen point lies on the control (and the form's window is under it).
    bool PointInside(TPoint Screen);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Posts MM_ADDNCCTRL while the form has a window and the skin has not listed it yet.
    void Register();
    void Raise(const TNotifyEvent& Event);
    // How often DoTimer runs (100 ms unless a class needs closer tracking).
    void SetTimerInterval(UINT Ms);

    TQvPressState FPress;

private:
    void PosChanged();
    void ShowHintAt(TPoint Cursor);
    void HideHint();

    TCustomForm* FForm;
    TCustomForm* FSourceForm = nullptr;
    std::unique_ptr<TNCCtrlPos> FPos;
    TPoint FOldPos;
    String FHint;
    THintWindow* FHintWindow = nullptr;
    bool FVisible = true;
    int FData = 0;
    TSideKind FPutSide = skdTop;
    TPoint FClientRectOffset;
    TPelluxForm* FParentObject = nullptr;
    std::unique_ptr<TSimpleTimer> FTimer;
    bool FHooked = false;
    int FBusy = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Registers the enumerations and TNCCtrlPos for stored layouts.
void RegisterPelluxNCCtrlBase();
