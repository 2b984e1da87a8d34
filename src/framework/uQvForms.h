#pragma once
// Forms and frames. A form is a root control: a top-level window of its own (hidden until
// shown) with a frame that follows BorderStyle and BorderIcons, placed by Position at each
// show, and the modal loop, closing and release protocol. A form given a Parent is a
// child window like a panel. A frame is a windowed container with a layout of its own.

#include <vector>

#include "framework/uQvWinControl.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPopupMode { pmNone, pmAuto, pmExplicit };

class TMonitor;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TDPIChangedEvent = std::function<void(TObject* Sender, int NewPPI)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // ---- Frame and placement ----
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    // Applied each time the form is shown, before it appears.
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    // Without a window the frame its styles will give is already taken off.
    TRect GetClientRect() const override;
    // Exact even while the form is smaller than its frame (stored layouts set the bounds
    // first).
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // The monitor holding most of the form (nearest when none).
    TMonitor* Monitor() const;

    // ---- Owner window ----
    // pmExplicit: owned by PopupParent's window; otherwise (and without a PopupParent) by
    // the main form's once it has one and MainFormOnTaskBar, else by the application
    // window. CreateParams may override it; a change re-owns an existing window.
    TPopupMode PopupMode() const { return FPopupMode; }
    void SetPopupMode(TPopupMode Value);
    // Setting a form also sets pmExplicit; a parent freed first leaves nullptr behind.
    // Raises EInvalidOperation for a chain that leads back to this form.
    TCustomForm* PopupParent() const { return FPopupParent; }
    void SetPopupParent(TCustomForm* Value);

    // ---- Scaling ----
    // When set, a stored layout (read at PixelsPerInch) is scaled to the dpi of the monitor
    // it lies on once it has been read, and the form follows later dpi changes.
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    // The dpi the form's sizes are for; a stored layout sets the dpi it was made at (96
    // when it names none).
    int PixelsPerInch() const { return CurrentPPI(); }
    void SetPixelsPerInch(int Value);

    // ---- Layered looks ----
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(BYTE Value);
    bool TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(bool Value);
    TColor TransparentColorValue() const { return FTransparentColorValue; }
    void SetTransparentColorValue(TColor Value);

    // ---- Showing and closing ----
    // Visible, in front and active.
    void Show();
    // Raises EInvalidOperation "Cannot make a visible window modal" when visible. Runs a
    // nested loop with the application's other windows disabled until ModalResult is set
    // and the form agrees to close (or the application terminates: mrCancel when unset).
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModalLoop != nullptr; }
    // Modal: ModalResult mrCancel. Else CloseQuery, then OnClose (default caHide) decides;
    // closing the main form terminates the application.
    void Close();
    // OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    // Frees the form once the messages queued now are handled (safe from its own events).
    void Release();
    // True while its window is the active one.
    bool Active() const { return FActive; }

    void SetParent(TWinControl* AParent) override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    // After the form moved to the suggested place and rescaled to NewPPI.
    TDPIChangedEvent OnDPIChanged;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool CanBeRoot() const override { return Parent() == nullptr; }
    void DoCreate() override;
    void DoDestroy() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();

private:
    friend class TApplication;
    struct TModalLoop;
    void FrameStyles(DWORD& Style, DWORD& ExStyle) const;
    // The outer size less the client size the frame styles give.
    TSize FrameSize() const;
    HWND OwnerWindow() const;
    void UpdateOwnerWindow();
    // Windows owned by this form's would be destroyed with it: the application window
    // holds them meanwhile. Returns their forms.
    std::vector<TCustomForm*> HandOverOwnedForms();
    void DpiChanged(TMessage& Message);
    void ApplyPosition();
    void UpdateLayered();
    void ShowingChanged();
    void CloseModal();
    void FrameChanged();

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FAlphaBlend = false;
    BYTE FAlphaBlendValue = 255;
    bool FTransparentColor = false;
    TColor FTransparentColorValue = clBlack;
    TModalResult FModalResult = mrNone;
    TModalLoop* FModalLoop = nullptr;
    bool FActive = false;
    TPopupMode FPopupMode = pmNone;
    TCustomForm* FPopupParent = nullptr;
    bool FScaled = true;
    int FLayoutPPI = 0;  // the stored PixelsPerInch of the layout being read; 0: none
    bool FDpiChanging = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A windowed container with a layout of its own, placed inside a form.
class TFrame : public TWinControl {
public:
    explicit TFrame(TComponent* AOwner);
};

// The outermost form of Control's parent chain (Control itself when it is one); nullptr
// when there is none.
TCustomForm* GetParentForm(const TControl* Control);
