#pragma once
// TControl: the base of everything shown. It keeps its bounds in its parent's client
// coordinates, its layout rules (Align with margins, Anchors, Constraints), its looks
// shared with the parent (Font, Color, ShowHint), its text, cursor and context menu, and
// turns window messages into mouse events and clicks. Messages reach it through
// WindowProc (replaceable, to subclass a control), whose default is WndProc.
//
// Windowless (graphic) controls get their mouse input from their parent window, which
// forwards each mouse message to the topmost visible, enabled graphic child under the
// point, or to the one holding the mouse capture.

#include <memory>

#include "framework/uQvControlTypes.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvMargins.h"

class TPopupMenu;
class TBasicAction;
class TControlActionLink;

// Tells whether a control still lives: handlers may free the control that raised them,
// so code that goes on after raising an event asks first.
class TQvAliveCheck {
public:
    explicit TQvAliveCheck(std::shared_ptr<const bool> Flag) : FFlag(std::move(Flag)) {}
    bool Alive() const { return *FFlag; }

private:
    std::shared_ptr<const bool> FFlag;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // This control as a windowed one, or nullptr: a cheap test where dynamic_cast would
    // walk the class tree (hit tests and paints ask it of every child).
    virtual TWinControl* AsWinControl() { return nullptr; }
    virtual const TWinControl* AsWinControl() const { return nullptr; }

    // ---- Parent and place ----
    TWinControl* Parent() const { return FParent; }
    // Moves the control into AParent's Controls (at the front of the z-order); nullptr
    // takes it out. A windowed control loses its window when it loses its parent.
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // Sizes pass OnCanResize and the constraints first; a change moves the window, asks
    // the parent to realign and raises OnResize.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // The client area in the control's own coordinates.
    virtual TRect GetClientRect() const;
    TRect ClientRect() const { return GetClientRect(); }
    int ClientWidth() const { return GetClientRect().Width(); }
    int ClientHeight() const { return GetClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // The screen point of the client area's top-left.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // The screen rectangle the control covers (its bounds; the window for windowed ones).
    TRect ScreenRect() const;

    // ---- Layout ----
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    bool AlignWithMargins() const { return FAlignWithMargins; }
    void SetAlignWithMargins(bool Value);
    TMargins* Margins() const { return FMargins.get(); }
    void SetMargins(const TMargins* Value) { FMargins->Assign(Value); }
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(const TSizeConstraints* Value) { FConstraints->Assign(Value); }

    // ---- State ----
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // ---- Looks ----
    TFont* Font() const { return FFont.get(); }
    // Copies Value; the control then no longer follows its parent's font.
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    // Caption and Text are one string.
    const String& Caption() const { return FText; }
    void SetCaption(const String& Value) { SetText(Value); }
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // The linked action: the control shows its caption, enabled state, visibility and hint
    // (where the control's own still equal the action's) and a click runs it when the
    // control has no OnClick of its own. nullptr unlinks.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // ---- Scaling ----
    // The pixels per inch the control's sizes are for (96 until scaled).
    int CurrentPPI() const { return FCurrentPPI; }
    // Rescales the control and everything inside it to NewPPI, from OldPPI when the sizes
    // are for another dpi than CurrentPPI (a stored layout read at its own dpi).
    void ScaleForPPI(int NewPPI, int OldPPI = 0);
    // Bounds, margins, constraints and (unless ParentFont) font height multiplied by M / D:
    // L' = MulDiv(L, M, D), W' = MulDiv(L + W, M, D) - L', the same for T and H.
    virtual void ChangeScale(int M, int D);
    // Told once ScaleForPPI has rescaled this control (and everything inside) to NewPPI.
    virtual void ScaledForPPI(int NewPPI) { (void)NewPPI; }

    // ---- Painting ----
    virtual void Invalidate();
    virtual void Update();
    void Repaint();
    void Refresh() { Repaint(); }
    // Last (in front of its siblings) or first in the parent's z-order.
    void BringToFront();
    void SendToBack();

    // ---- Messages ----
    // Sends a message straight to WindowProc.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // What a message nobody handled gets (nothing for windowless controls).
    virtual void DefaultHandler(TMessage& Message);
    // The control's message procedure: WndProc unless replaced. To subclass, keep the old
    // value and call it for what the new one does not handle.
    TWndMethod WindowProc;

    // ---- Drag and drop ----
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    // Starts a drag of this control: at once, or once the pointer moved more than
    // Threshold pixels (-1: 5) with the button held.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag, dropping where the pointer is when Drop.
    void EndDrag(bool Drop);
    bool Dragging() const;
    // Another drag is over this control; Accept starts true only with OnDragOver.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    // Whether the control still lives, for code that raises events that may free it.
    TQvAliveCheck AliveCheck() const { return TQvAliveCheck(FAlive); }
    // Raises OnClick, else runs the linked action.
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TContextPopupEvent OnContextPopup;

    void Loaded() override;

protected:
    friend class TWinControl;

    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // OnMouseWheel, then OnMouseWheelDown / OnMouseWheelUp; true when handled.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    // A new size as it will be: not negative, passed through CanResize (refused: the
    // current size) and the constraints.
    void CheckNewSize(int& Width, int& Height);
    // The drag starts (OnStartDrag may hand over its own object) and ends.
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    friend class TQvDragDrop;
    // Raises OnContextPopup; MousePos is in client coordinates, (-1, -1) from the keyboard.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // Tells the parent that this control's place in the layout may have changed.
    virtual void RequestAlign();
    // The parent's font, colour or hint setting changed.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Called when the font changed (CM_FONTCHANGED follows).
    virtual void FontChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Updates the anchoring origin to the current bounds and parent size.
    void UpdateAnchorRules();
    // Tells the control under a press's parent form that a press happened elsewhere.
    void SendCancelMode(TControl* Sender);
    // Message handlers shared by windowed and windowless controls.
    void HandleMouseMessage(TMessage& Message);
    void HandleContextMenu(TMessage& Message);

    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;

private:
    void FontObjectChanged();
    void ApplyAnchors(TSize NewParent);

    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    bool FAlignWithMargins = false;
    std::unique_ptr<TMargins> FMargins;
    TAnchors FAnchors{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> FConstraints;
    TRect FAnchorOrigin;  // bounds when the anchors were last taken
    TSize FAnchorParent;  // the parent's client size then
    bool FVisible = true;
    bool FEnabled = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FSettingParentFont = false;
    TColor FColor = clWindow;
    bool FParentColor = true;
    String FText;
    TCursor FCursor = crDefault;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    std::unique_ptr<TControlActionLink> FActionLink;
    int FCurrentPPI = 96;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The outermost windowed control of the parent chain (the control itself when it is one
// without a parent); nullptr for a windowless control without a parent.
TWinControl* GetRootControl(const TControl* Control);

// The control that has the mouse: set on routed moves, told with CM_MOUSEENTER and
// CM_MOUSELEAVE. Cleared when it dies.
TControl* QvMouseControl();
// Makes Control the one under the mouse (nullptr: none of ours), sending CM_MOUSELEAVE to
// the old one and CM_MOUSEENTER to the new.
void QvSetMouseControl(TControl* Control);
// The windowless control holding the mouse capture through its parent's window.
TControl* QvCaptureControl();
