#pragma once
// TWinControl: a control with a window of its own. The window is made when first needed
// (Handle read, or the control shown inside a shown parent) from CreateParams, and every
// message of it, from the first, reaches the control's WindowProc. It holds child
// controls in z-order, aligns and anchors them, keeps the focus and Tab order, and runs
// the dialog-key pipeline: a key the focused control does not want (WM_GETDLGCODE,
// CM_WANTSPECIALKEY) goes to the root control as CM_DIALOGKEY, a character it does not
// want as CM_DIALOGCHAR, before the control's own KeyDown / KeyPress.
//
// TGraphicControl and TCustomControl, the bases of controls that paint themselves on a
// canvas, are here too.

#include <vector>

#include "framework/uQvControl.h"

class TWinControl;

// What CreateParams fills in for the window of a control.
struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT ClassStyle = 0;
    HBRUSH Background = nullptr;
    String WinClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    TWinControl* AsWinControl() override { return this; }
    const TWinControl* AsWinControl() const override { return this; }

    // ---- Window ----
    // The window, made now when there is none. Raises EInvalidOperation "Control '%s' has
    // no parent window" for a child control without a parent.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // The window of an outside owner or parent for a control without a Parent.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    // Destroys the window and makes a new one when it is shown again; text, bounds,
    // visibility, children and the focus live in the objects and survive.
    void RecreateWnd();
    // True while the control's window is shown (it and every parent visible).
    bool Showing() const { return FShowing; }

    // ---- Children ----
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // In z-order: earlier children lie behind later ones.
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The topmost visible child holding a client point (enabled unless AllowDisabled;
    // windowless only unless AllowWinControls).
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    // ---- Layout ----
    void DisableAlign();
    void EnableAlign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    // Aligns and anchors every child now.
    void Realign();
    // The room children are aligned in: the client rectangle, insets taken off.
    virtual void AdjustClientRect(TRect& Rect) const;
    TRect GetClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void ChangeScale(int M, int D) override;

    // ---- Focus and Tab order ----
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // Position among the parent's windowed children in Tab order; -1 when without parent.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Windowed children in Tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }
    // Every windowed descendant, container before its children, each level in Tab order.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // Visible and enabled, as every parent.
    virtual bool CanFocus() const;
    bool Focused() const;
    // Takes the focus (nothing when the control cannot take it now).
    virtual void SetFocus();
    // The next (or previous) control after CurControl that can take the focus, among this
    // control's descendants in Tab order, wrapping; TabStop ones only when CheckTabStop.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // The focused descendant the root keeps (its form's ActiveControl), if any.
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Root controls: focuses Control, now when the root's window is active, else when it
    // next is.
    virtual void SetActiveControl(TWinControl* Control);

    // ---- Messages ----
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // Sends a message to every child (Result of the last that answered non-zero stops it
    // for CM_DIALOGKEY-like broadcasts when StopOnResult).
    void Broadcast(TMessage& Message, bool StopOnResult = false);
    // Sends Msg to every child with lParam the control itself (parent notifications).
    void NotifyControls(UINT Msg);
    void Invalidate() override;
    void Update() override;
    // Paints the windowless children onto Dc (client coordinates), each clipped to its
    // bounds, in z-order, from First on (nullptr: all).
    void PaintControls(HDC Dc, TControl* First);

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    // Roots (forms): the root sees key messages before the focused control.
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }

    void Loaded() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // CreateParams, then the window.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Called once the window exists.
    virtual void CreateHandle();
    void DestroyHandle();
    // Paints the client area on Dc (WM_PAINT); the windowless children follow.
    virtual void PaintWindow(HDC Dc);
    // Places the children in Rect, aligned ones first.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // Showing follows Visible and the parent (for a control without a parent: CanBeRoot),
    // for this control and its windowed children; makes the window when it is to show.
    void UpdateControlState();
    // Whether the control may stand as a top-level window of its own (forms can; others
    // only inside an outside ParentWindow).
    virtual bool CanBeRoot() const;
    // The dialog-key step of a key down: true when the root took the key.
    bool WantsDialogKey(TMessage& Message);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(Char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // The key pipeline: true when the key was used by KeyPreview-like hooks or the control.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    // The key steps share one order: a root with KeyPreview first (RootStep), then the
    // control's own event (Raise); a key set to 0 is used up, and a freed control ends it.
    template <class TKey, class FRoot, class FRaise>
    bool KeyStep(TMessage& Message, FRoot&& RootStep, FRaise&& Raise) {
        const TQvAliveCheck Alive = AliveCheck();
        TWinControl* Root = GetRootControl(this);
        if (Root != nullptr && Root != this && Root->KeyPreview() && RootStep(Root)) return true;
        if (!Alive.Alive()) return true;
        TKey Key = static_cast<TKey>(Message.WParam);
        Raise(Key);
        if (!Alive.Alive()) return true;
        Message.WParam = Key;
        return Key == 0;
    }
    // CM_DIALOGKEY at the root: Tab and arrows move the focus, other keys go to the
    // children.
    virtual void DialogKey(TMessage& Message);
    // A root's window got or lost the focus to FocusedWindow's control.
    void FocusChanged(TWinControl* NewFocus);
    void FontChanged() override;

private:
    friend class TControl;
    void MainWndProc(TMessage& Message);
    void UpdateShowing(bool ParentShows);
    void UpdateBounds();
    void AlignControl(TControl* AControl);
    void RemoveFromTabList(TWinControl* Control);
    void ForwardMouse(TMessage& Message, bool& Handled);
    void SetCursorFor(TMessage& Message);
    void PaintHandler(TMessage& Message);
    void TrackMouse();

    HWND FHandle = nullptr;
    HWND FParentWindow = nullptr;
    std::vector<TControl*> FControls;  // z-order, back to front
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FTabStop = false;
    bool FShowing = false;
    bool FRealigning = false;
    bool FKeyPreview = false;
    int FPendingTabOrder = -1;               // a stored TabOrder read before the parent was set
    TWinControl* FActiveControl = nullptr;   // roots only
    TWinControl* FFocusedControl = nullptr;  // roots only: the one with the window focus
    TSize FLastClientSize{-1, -1};
};

// The deepest control of ours at a screen point: the window there, then its windowless
// child under the point (disabled ones too when AllowDisabled); nullptr over none.
TControl* FindDragTarget(TPoint Screen, bool AllowDisabled);

// A windowless control that paints on its parent's device context through Canvas.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC Dc) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};
